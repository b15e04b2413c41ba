#include "windows/LevelWindow.h"

#include <algorithm>
#include <cmath>

#include "content/GameBonuses.h"
#include "content/LevelInfo.h"
#include "content/LevelTable.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseTextSprite.h"
#include "gametext/KGETextParams.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "resources/TutorialHooks.h"
#include "ui/CaptionHintWindow.h"
#include "ui/DialogAnswers.h"
#include "hud/HudPieces.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"
#include "windows/BonusesSheet.h"
#include "windows/BonusesWindow.h"
#include "windows/EmptyPanel.h"
#include "windows/MapProfile.h"
#include "windows/PanelSkins.h"
#include "windows/TaskButton.h"

namespace {

constexpr u32 kLevelTimeColour = 0xFFFFFF8Bu;
constexpr u32 kLevelZeroTimeColour = 0xFFB28A69u;
constexpr i32 kTasksHeight = 150;
constexpr i32 kMedalHeight = 97;
constexpr i32 kBonusHeight = 114;

// The medal and bonus areas are framed by the window's message body: the
// window column's rows of these frames (971, 588 and 971, 765) are drawn
// with an open middle.
SKINRECT AreaFrame() { return SkinOf(skins::kDialogMessage, kInterfaceImage); }

const wchar* LevelWindowText(const wchar* key) { return SectionText(u"level_window", key); }

std::unique_ptr<ImageSprite> IconSprite(const wchar* name) {
  Sprite* sprite = FindPanelIcon(name);
  std::unique_ptr<ImageSprite> icon = sprite ? MakeImage(sprite, 0.5f, 0.5f) : nullptr;
  if (icon) icon->SetScale(0.5f, 0.5f);
  if (icon && sprite->GetFrameCount() > 1) icon->SetFrame(1);
  return icon;
}

KGETextSpriteW* LevelTimeText(u32 ms) {
  wchar text[16];
  FormatPanelTime(ms, text, 16);
  return MakePanelText(text, 4, nullptr, kKGEFixedColor, ms == 0 ? kLevelZeroTimeColour : kLevelTimeColour);
}

bool SameBonusSet(const BONUSSELECTION& a, const BONUSSELECTION& b) {
  auto sorted = [](const BONUSSELECTION& s) {
    std::vector<i32> v;
    for (u32 i = 0; i < std::min(s.count, kBonusSelectionSlots); ++i) v.push_back(s.slots[i]);
    std::sort(v.begin(), v.end());
    return v;
  };
  return sorted(a) == sorted(b);
}

}  // namespace

// --- LevelWindowBonus ----------------------------------------------------------------------------

namespace {
const SkinPiece& SlotPiece(i32 slot) {
  static const SkinPiece* const kSlots[] = {&skins::kLevelWindowSlot0, &skins::kLevelWindowSlot1,
                                            &skins::kLevelWindowSlot2};
  return *kSlots[std::clamp(slot, 0, 2)];
}
}  // namespace

LevelWindowBonus::LevelWindowBonus(GameWindow* window, i32 x, i32 y, i32 slot, i32 bonus)
    : ImageButton(window, &window->Controls(), kLevelWindowBonus, SkinOf(SlotPiece(slot), kInterfaceImage), -1,
                  SlotPiece(slot).Vertical(), static_cast<i32>(SlotPiece(slot).frames), SlotPiece(slot).Gap(), x, y,
                  nullptr),
      slot_(slot) {
  SetStateFrames(0, {0, 1, 1, 1});
  SetIconFrames(0, {0, 0, 0, 0, 0, 0, 0, 0});  // the bonus's picture in every state
  SetBonus(bonus);
  SetPosition(x, y);
}

void LevelWindowBonus::SetBonus(i32 bonus) {
  const GameBonuses* bonuses = GetGameBonuses();
  if (bonus < 0 || bonus >= static_cast<i32>(kBonusCount) || !bonuses) bonus = -1;
  if (bonus == bonus_) return;
  bonus_ = bonus;
  delete GetHintWindow();
  if (bonus < 0) {
    SetIcon(nullptr);
    State().SetState(kStateHidden, true, 0);
    SetData(0);
    return;
  }
  const BONUS& record = bonuses->Get(static_cast<u32>(bonus));
  SetData(reinterpret_cast<uintptr_t>(&record));
  if (record.icon) record.icon->Init();
  SetIcon(record.icon);
  State().SetState(kStateNormal, true, 0);
  new CaptionHintWindow(this, SectionText(u"bonuses", record.nameKey), true, SectionText(u"bonuses", record.descKey),
                        0, 0, nullptr, 0, 0, 0);
}

// --- LevelWindow ---------------------------------------------------------------------------------


LevelWindow::LevelWindow(i32 level, u32 kind, LevelWindowCallback callback, const wchar* mainKey,
                         const wchar* firstKey)
    : SpritesWindow(kId, true, true),
      level_(level),
      kind_(kind),
      profile_(GetMapProfile()),
      callback_(std::move(callback)) {
  const LevelTable* table = GetLevelTable();
  info_ = table && level >= 0 && level < static_cast<i32>(kLevelCount) ? &table->Get(static_cast<u32>(level)) : nullptr;
  mode_ = profile_ ? profile_->GetRegime() & 1 : 0;
  if (profile_) {
    i32 owned[kBonusCount] = {};
    available_ = profile_->ListBonuses(owned);
    selection_ = profile_->GetBonusSelection(mode_);
  }
  for (u32 i = std::min(selection_.count, kBonusSelectionSlots); i < kBonusSelectionSlots; ++i) selection_.slots[i] = -1;
  selection_.count = std::min(selection_.count, kBonusSelectionSlots);

  AddTopRow(kWidth);
  const i32 tasksTop = BuildTasksArea();
  medalTop_ = tasksTop + kTasksHeight;
  BuildMedalArea(medalTop_);
  BuildBonusArea(medalTop_ + kMedalHeight);
  AddBodyFrame(1);
  SetCaption(GetLevelName(level).c_str());
  Show(0, true);

  AddButtons(mainKey, firstKey);
  AddTasks(tasksTop);
  bool due = false;
  if (available_ > 0) {
    AddBonusSlots();
    if (available_ > kBonusSelectionSlots) {
      select_ = AddButtonAt(kLevelWindowSelectBonuses, LevelWindowText(u"select_bonuses"), bonusX_ + 262, bonusY_ + 7);
      if (profile_ && !profile_->HasFlags(kProfileFlagBonusChoice)) {
        profile_->MarkShown(kProfileFlagBonusChoice);
        due = profile_->AreTutorialsOn();
      }
    }
  }
  StartTutorials(due);
}

LevelWindow::~LevelWindow() {
  question_.Close();
  Unregister();  // no longer found by its id while its parts go
}

i32 LevelWindow::BuildTasksArea() {
  i32 w = 0, top = 0;
  GetSize(&w, &top);
  Sprite* back = manager_ ? manager_->GetInterfaceSprite(u"tasks_back") : nullptr;
  DXLTexture* image = back && back->IsLoaded() ? back->GetTexture() : nullptr;
  AddRow(0, top, kWidth, kTasksHeight, SKINRECT::InitSliced(0, 0, -1, -1, 22, 26, 0, 0, 0, 0, image), &pieces_);
  tasksCaption_.text.reset(MakePanelText(LevelWindowText(u"tasks_caption"), 3));
  const float tw = tasksCaption_.text ? static_cast<float>(tasksCaption_.text->GetWidth()) : 0.0f;
  tasksCaption_.x = std::floor((kWidth - tw) / 2);
  // Centred on top + 21, in the strip above the task buttons.
  const float th = tasksCaption_.text ? static_cast<float>(tasksCaption_.text->GetHeight()) : 0.0f;
  tasksCaption_.y = std::floor(static_cast<float>(top + 21) - th / 2);
  return top;
}

DXLRECT LevelWindow::GetTasksCaptionRect() const {
  const KGETextSpriteW* t = tasksCaption_.text.get();
  if (!t) return DXLRECT{};
  const i32 x = static_cast<i32>(tasksCaption_.x), y = static_cast<i32>(tasksCaption_.y);
  return DXLRECT{x, y, x + t->GetWidth(), y + t->GetHeight()};
}

void LevelWindow::BuildMedalArea(i32 top) {
  AddStretchedFrame(0, top, kWidth, kMedalHeight, AreaFrame(), &pieces_);
  AddRow(24, top + 8, 82, -1, SkinOf(skins::kWindowRow, kInterfaceImage), &pieces_);

  const u32 state = profile_ ? profile_->GetLevelState(mode_, static_cast<u32>(level_)) : 0;
  uncompleted_ = state < 3;
  medalX_ = 19.0f;
  medalY_ = static_cast<float>(top + 11);
  medal_.reset(GetMedalSprite(static_cast<i32>(state), &medalX_, &medalY_));
  if (medal_) medal_->SetPivot(0.5f, 0.5f);

  static const wchar* const kIcons[3] = {u"gold_small", u"silver_small", u"bronze_small"};
  rows_ = mode_ == 1 ? 3 : 2;
  const i32 step = rows_ == 2 ? 40 : 32;
  const LEVELREGIME* limits = info_ ? &info_->regimes[mode_] : nullptr;
  for (i32 i = 0; i < rows_; ++i) {
    rowY_[i] = top + 53 - (rows_ - 1) * step / 2 + i * step;
    rowIcon_[i] = IconSprite(kIcons[i]);
    const i32 limit = !limits ? 0 : i == 0 ? limits->gold : i == 1 ? limits->silver : limits->bronze;
    rowText_[i].reset(LevelTimeText(static_cast<u32>(std::max(limit, 0))));
    if (i > 0) AddPiece(kRowsX - 60, rowY_[i] - step / 2, 120, 1, SkinOf(skins::kWindowSeparator, kInterfaceImage),
                        &pieces_);
  }

  record_.text.reset(MakePanelText(LevelWindowText(u"record"), 3));
  const float rw = record_.text ? static_cast<float>(record_.text->GetWidth()) : 0.0f;
  record_.x = std::floor(kRecordX - rw / 2);
  record_.y = static_cast<float>(top + 33);
  bestTime_ = profile_ ? profile_->GetBestTime(mode_, static_cast<u32>(level_)) : 0;
  bestText_.reset(LevelTimeText(bestTime_));
  clock_.image = IconSprite(u"small_ico_clock");
  clock_.x = static_cast<float>(kRecordX);
  clock_.y = static_cast<float>(top + 73);
}

// 1 to 3 bonuses: three slots on the narrow plate; more: the wide plate
// with room for "select_bonuses"; none: no area at all.
i32 LevelWindow::BuildBonusArea(i32 top) {
  if (available_ == 0) return top;
  AddStretchedFrame(0, top, kWidth, kBonusHeight, AreaFrame(), &pieces_);
  bonusY_ = top + 5;
  if (available_ <= kBonusSelectionSlots) {
    Sprite* back = manager_ ? manager_->GetInterfaceSprite(u"bonuses_wnd") : nullptr;
    DXLTexture* image = back && back->IsLoaded() ? back->GetTexture() : nullptr;
    bonusX_ = (kWidth - 204) / 2 - 1;
    namespace bs = bonuses_sheet;
    AddRow(bonusX_, bonusY_, 204, bs::kPlateHeight,
           SKINRECT::InitSliced(bs::kPlateX, bs::kPlateY, bs::kPlateWidth, bs::kPlateHeight, bs::kPlateCaps,
                                bs::kPlateCaps, 0, 0, 0, 0, image),
           &pieces_);
  } else {
    bonusX_ = (kWidth - 437) / 2 - 1;
    AddPiece(bonusX_, bonusY_, 437, 88, SkinOf(skins::kLevelWindowPlate, kInterfaceImage), &pieces_);
  }
  return top + kBonusHeight;
}

void LevelWindow::AddButtons(const wchar* mainKey, const wchar* firstKey) {
  saved_ = kind_ == kLevelWindowFromMap && profile_ && profile_->HasSavedLevel(level_);
  buttonIds_.push_back(kLevelWindowCancel);
  if (kind_ == kLevelWindowRestartForm || saved_)
    buttonIds_.push_back(kLevelWindowRestart);
  else
    buttonIds_.push_back(kLevelWindowPlay);
  if (saved_) buttonIds_.push_back(kLevelWindowContinue);
  const i32 n = static_cast<i32>(buttonIds_.size());
  for (i32 i = 0; i < n; ++i) {
    const u32 id = buttonIds_[static_cast<size_t>(i)];
    const wchar* key = id == kLevelWindowCancel ? (firstKey ? firstKey : u"cancel")
                       : id == kLevelWindowPlay ? (mainKey ? mainKey : u"play")
                       : id == kLevelWindowRestart ? (mainKey ? mainKey : u"restart")
                                                    : u"continue";
    AddButton(id, LevelWindowText(key), n, 1, i);
  }
}

ImageButton* LevelWindow::AddButtonAt(u32 id, const wchar* caption, i32 x, i32 y) {
  return CreateButton(this, &Controls(), id, x, y, nullptr, -1, caption);
}

// A task count of 0 (a level of no task in this mode) makes no button.
void LevelWindow::AddTasks(i32 top) {
  if (!info_) return;
  const LEVELREGIME& regime = info_->regimes[mode_];
  const u32 count = std::min(regime.taskCount, kMaxLevelTasks);
  if (count == 0) return;
  const float step = static_cast<float>(kWidth - 29) / static_cast<float>(count);
  i32 garbage = 0;
  for (const POINTDEF& p : info_->points) garbage += p.kind == 0 && p.id != 0 ? 1 : 0;
  for (u32 i = 0; i < count; ++i) {
    const i32 from = static_cast<i32>(std::lround(static_cast<float>(i) * step));
    const i32 to = static_cast<i32>(std::lround(static_cast<float>(i + 1) * step));
    auto* button = new TaskButton(this, i, &regime.tasks[i], true);
    button->Place(12 + from, top + 38, to - from + 1);
    button->SetProgress(regime.tasks[i].kind == 4 ? garbage : 0, false);
    tasks_.push_back(button);
  }
}

void LevelWindow::AddBonusSlots() {
  i32 x = bonusX_ + 6;
  for (i32 i = 0; i < static_cast<i32>(kBonusSelectionSlots); ++i) {
    const i32 bonus = static_cast<u32>(i) < selection_.count ? selection_.slots[i] : -1;
    slots_[i] = new LevelWindowBonus(this, x, bonusY_ + 6, i, bonus);
    x += LevelWindowBonus::kWidth + 1;
  }
}

// The marker is taken (cleared) whether or not a tutorial runs.
void LevelWindow::StartTutorials(bool due) {
  const i32 marked = profile_ ? profile_->TakeNewBonusMarker() : -1;
  if (!profile_ || !profile_->AreTutorialsOn()) return;
  if (marked < 0 && !due) return;
  if (TutorialFactory* factory = GetResourceServices().tutorialFactory) factory->StartNewBonusTutorial(marked, due);
}

void LevelWindow::RefreshBonuses() {
  for (u32 i = 0; i < kBonusSelectionSlots; ++i)
    if (slots_[i]) slots_[i]->SetBonus(i < selection_.count ? selection_.slots[i] : -1);
}

void LevelWindow::Start(u32 fresh) {
  if (profile_) {
    if (profile_->GetLevelState(mode_, static_cast<u32>(level_)) < 2) profile_->SetLevelState(static_cast<u32>(level_), 2);
    if (!SameBonusSet(selection_, profile_->GetBonusSelection(mode_))) {
      profile_->SetBonusSelection(mode_, selection_);
      profile_->SaveProfile();
    }
  }
  if (callback_) callback_(1, level_, fresh);
}

bool LevelWindow::OnRestartAnswer(uintptr_t self, uintptr_t, u32 answer) {
  if (answer == kAnswerOk || answer == kAnswerYes) reinterpret_cast<LevelWindow*>(self)->Start(1);
  return true;
}

bool LevelWindow::OnKeyDown(u16 key, u32 extra) {
  if (key == kKeyEscape) {
    if (callback_) callback_(0, level_, 0);
    return true;
  }
  if (key == kKeyEnter) {
    Start(1);
    return true;
  }
  return SpritesWindow::OnKeyDown(key, extra);
}

u32 LevelWindow::OnCommand(GameButton* control) {
  switch (control ? control->GetId() : 0) {
    case kLevelWindowPlay:
      Start(1);
      return 2;
    case kLevelWindowRestart:
      if (saved_)
        question_.Open(u"restart_c", u"restart", kAnswerYes, kAnswerNo, &OnRestartAnswer,
                       reinterpret_cast<uintptr_t>(this));
      else
        Start(1);
      return 2;
    case kLevelWindowContinue:
      Start(0);
      return 2;
    case kLevelWindowCancel:
      if (callback_) callback_(0, level_, 0);
      return 2;
    case kLevelWindowSelectBonuses:
      // The bonuses window writes the choice back and refreshes the slots.
      // The button is back to normal at once behind the new window.
      if (manager_ && !manager_->FindWindow(BonusesWindow::kId)) new BonusesWindow(level_, &selection_);
      return 2;
    default:
      return 0;
  }
}

void LevelWindow::DrawForeground() {
  DXLViewer* viewer = DrawOwnPieces(&pieces_);
  SpritesWindow::DrawForeground();
  if (!viewer) return;
  const auto text = [&](KGETextSpriteW* t, float x, float y) {
    if (!t) return;
    viewer->SetTransform(&transform_);
    viewer->Translate(x, y);
    viewer->ApplyTransform(nullptr);
    t->Draw();
  };
  // An icon and its time 16 pixels to its right, the pair centred on x.
  const auto row = [&](ImageSprite* icon, KGETextSpriteW* t, float x, float y) {
    const float w = t ? static_cast<float>(t->GetWidth()) : 0.0f;
    const float iconX = std::floor(x - (w + 27) / 2 + 10);
    if (icon) DrawImageAt(icon, iconX, y, transform_);
    if (t) text(t, iconX + 16, std::floor(y - static_cast<float>(t->GetHeight()) / 2));
  };
  if (medal_) DrawImageAt(medal_.get(), medalX_, medalY_, transform_);
  for (i32 i = 0; i < rows_; ++i)
    row(rowIcon_[i].get(), rowText_[i].get(), static_cast<float>(kRowsX), static_cast<float>(rowY_[i]));
  text(record_.text.get(), record_.x, record_.y);
  row(clock_.image.get(), bestText_.get(), clock_.x, clock_.y);
  text(tasksCaption_.text.get(), tasksCaption_.x, tasksCaption_.y);
  viewer->SetTransform(&transform_);
}

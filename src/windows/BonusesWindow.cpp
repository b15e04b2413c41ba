#include "windows/BonusesWindow.h"

#include <algorithm>

#include "base/Maths.h"
#include "content/GameBonuses.h"
#include "content/LevelTable.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseTextSprite.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "hud/HudPieces.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"
#include "windows/BonusesSheet.h"
#include "windows/LevelWindow.h"
#include "windows/MapProfile.h"
#include "windows/PanelSkins.h"

namespace {

constexpr u32 kTextFont = 3;
constexpr u32 kCaptionFont = 1;
constexpr i32 kIconX = 26;      // the icon's middle
constexpr i32 kCaptionX = 56;   // the name's left
constexpr i32 kDescriptionX = 300;
constexpr i32 kCheckX = bonuses_sheet::kCheckX;  // the check mark's left, in its socket of the face
// The description wraps before the check mark (320 wide it ran under it).
constexpr i32 kDescriptionWidth = kCheckX - kDescriptionX - 6;
constexpr i32 kWindowPlateWidth = 204;  // the slot plate on the window (as on the level window)
constexpr u32 kStateColours[4] = {0xFF808080u, 0xFF808080u, 0xFFA0A0A0u, 0xFFC0C0C0u};

// The sheet "bonuses_wnd" of the interface set (windows/BonusesSheet.h).
Sprite* BackSprite() {
  WindowManager* manager = GetWindowManager();
  Sprite* s = manager ? manager->GetInterfaceSprite(u"bonuses_wnd") : nullptr;
  return s && s->IsLoaded() ? s : nullptr;
}
DXLTexture* Back() {
  Sprite* s = BackSprite();
  return s ? s->GetTexture() : nullptr;
}

const wchar* BonusesWindowText(const wchar* key) { return SectionText(u"bonuses_window", key); }

const BONUS* Bonus(i32 i) {
  const GameBonuses* bonuses = GetGameBonuses();
  return bonuses && i >= 0 && i < static_cast<i32>(kBonusCount) ? &bonuses->Get(static_cast<u32>(i)) : nullptr;
}

KGETextSpriteW* Description(const wchar* text) {
  KGETEXTPARAMS params{};
  params.flags = kKGEOwnCopy | kKGEWrap;
  params.color = 0xFFFFFFFFu;
  params.maxChars = 512;
  params.wrapWidth = kDescriptionWidth;
  KGESPRITEPARAMS box{};
  box.flags = kKGESpriteMaxSize;
  box.maxWidth = 0x200;
  box.maxHeight = 0x80;
  KGETextSpriteW* sprite = nullptr;
  KGECreateTextSpriteW(GetGameViewer(), GetGameFont(kTextFont), &params, &box, text, kKGEWholeText, nullptr, &sprite);
  return sprite;
}

}  // namespace

// --- BonusWindowPanel ----------------------------------------------------------------------------

// The face: seven frames of five pieces each, cut from the sheet.
BonusWindowPanel::BonusWindowPanel(GameWindow* window, i32 bonus, i32 x, i32 y, bool checked)
    : ImageButton(window, &window->Controls(), kBonusesPanel, x, y, Bonus(bonus) ? Bonus(bonus)->icon : nullptr),
      bonus_(bonus),
      checked_(checked) {
  width_ = kWidth;
  height_ = kHeight;
  rect_ = DXLRECT{x, y, x + kWidth, y + kHeight};
  texture_ = Back();
  AllocFrames(bonuses_sheet::kFacePieces, bonuses_sheet::kFaceFrames);
  for (i32 f = 0; f < bonuses_sheet::kFaceFrames && texture_; ++f) {
    i32 left = 0;
    for (i32 p = 0; p < bonuses_sheet::kFacePieces; ++p) {
      const i32 w = bonuses_sheet::kFacePieceWidths[p];
      texture_->MakeQuadPartInt(&quads_[static_cast<size_t>(f * bonuses_sheet::kFacePieces + p)], left, 0, left,
                                bonuses_sheet::kFaceY + f * bonuses_sheet::kFaceStep, w, kHeight, 0xFFFFFFFFu);
      left += w;
    }
  }
  SetIconFrames(0, {0, 0, 0, 0, 0, 0, 0, 0});  // the bonus's picture in every state
  const BONUS* b = Bonus(bonus);
  if (b) {
    SetCaptionPlain(SectionText(u"bonuses", b->nameKey), kCaptionFont, 2);
    description_.reset(Description(SectionText(u"bonuses", b->descKey)));
  }
  if (description_) descriptionY_ = static_cast<float>((kHeight - static_cast<i32>(description_->GetHeight())) / 2 - 1);
  if (Sprite* check = FindPanelIcon(u"small_green_check")) check_ = MakeImage(check, 0.0f, 0.0f);
  LayoutContent();
}

void BonusWindowPanel::LayoutContent() {
  ImageButton::LayoutContent();
  iconX_ = static_cast<float>(kIconX);
  iconY_ = static_cast<float>(kHeight / 2);
  if (!caption_) return;
  shrunk_ = 0;
  captionScale_ = 1.0f;
  captionX_ = static_cast<float>(kCaptionX);
  captionY_ = static_cast<float>((kHeight - static_cast<i32>(caption_->GetHeight())) / 2);
}

u32 BonusWindowPanel::FrameColour() const {
  const u32 to = kStateColours[state_.GetState() & 3];
  if (!state_.IsFading()) return to;
  return kis::LerpColor(kStateColours[state_.GetPrevious().state & 3], to, state_.GetProgress());
}

i32 BonusWindowPanel::FaceFrame() const { return bonuses_sheet::FaceFrame(state_.GetState(), checked_); }

// The face of the state (over the old one while the state fades) in the
// state's colour, then the description and the check mark (in the same
// colour) over it.
void BonusWindowPanel::DrawFrames() {
  const u32 colour = FrameColour();
  if (!texture_) return;
  BindDrawTexture(texture_);  // the face is cut from the bonuses' sheet, not what was drawn before
  const i32 now = FaceFrame();
  const i32 before = bonuses_sheet::FaceFrame(state_.GetPrevious().state, checked_);
  if (state_.IsFading() && before != now) {
    DrawFrame(before, colour);
    DrawFrame(now, WithAlpha(colour, static_cast<u32>(state_.GetProgress() * 255.0f) << 24));
  } else {
    DrawFrame(now, colour);
  }
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX base;
  viewer->GetTransform(&base);
  if (description_) {
    viewer->Translate(static_cast<float>(kDescriptionX), descriptionY_);
    viewer->ApplyTransform(nullptr);
    description_->Draw();
    viewer->SetTransform(&base);
    viewer->ApplyTransform(nullptr);
  }
  if (checked_ && check_) {
    check_->SetColor(colour);
    DrawImageAt(check_.get(), static_cast<float>(kCheckX), static_cast<float>(bonuses_sheet::kCheckY), base);
    viewer->SetTransform(&base);
    viewer->ApplyTransform(nullptr);
  }
}

// --- BonusWindowSlot ------------------------------------------------------------------------------

BonusWindowSlot::BonusWindowSlot(GameWindow* window, i32 position, i32 x, i32 y)
    : ImageButton(window, &window->Controls(), kBonusesSlot,
                  SKINRECT::InitPlain(bonuses_sheet::kSlotStep * std::clamp(position, 0, 2), 0, kWidth,
                                      bonuses_sheet::kSlotStates * bonuses_sheet::kSlotHeight, 0, 0, Back()),
                  -1, true, bonuses_sheet::kSlotStates, 0, x, y, nullptr),
      position_(position) {
  width_ = kWidth;
  height_ = bonuses_sheet::kSlotHeight;
  rect_ = DXLRECT{x, y, x + kWidth, y + bonuses_sheet::kSlotHeight};
  SetStateFrames(0, {0, 1, 2, 3, 0, 1, 2, 3});
  SetIconFrames(0, {0, 0, 0, 0, 0, 0, 0, 0});
  SetBonus(-1);
}

void BonusWindowSlot::SetBonus(i32 bonus) {
  if (bonus == bonus_) return;
  bonus_ = bonus;
  const BONUS* b = Bonus(bonus);
  if (!b) {
    bonus_ = -1;
    SetIcon(nullptr);
    Show(false, true, 0);
    return;
  }
  SetIcon(b->icon);
  Show(true, true, 0);
}

// --- BonusesWindow -------------------------------------------------------------------------------------

BonusesWindow::BonusesWindow(i32 level, BONUSSELECTION* choice)
    : SpritesWindow(kId, true, true),
      level_(level),
      info_(GetLevelTable() && level >= 0 && static_cast<u32>(level) < kLevelCount
                ? &GetLevelTable()->Get(static_cast<u32>(level))
                : nullptr),
      profile_(GetMapProfile()),
      choice_(choice) {
  // The caller's record as far as it holds: known bonuses, each once.
  if (choice_) {
    const u32 count = std::min(choice_->count, kBonusSelectionSlots);
    for (u32 i = 0; i < count; ++i) {
      const i32 b = choice_->slots[i];
      if (b < 0 || b >= static_cast<i32>(kBonusCount) || chosen_[b]) continue;
      chosen_[b] = true;
      working_.slots[working_.count++] = b;
    }
  }
  for (u32 i = working_.count; i < kBonusSelectionSlots; ++i) working_.slots[i] = -1;

  AddTopRow(kWidth);
  i32 w = 0, top = 0;
  GetSize(&w, &top);
  top -= 2;
  namespace bs = bonuses_sheet;
  const i32 plateX = (kWidth - kWindowPlateWidth) / 2, plateY = top + 6;
  const i32 client = plateY + bs::kPlateHeight + 8;
  AddStretchedFrame(0, top, kWidth, client - top + 5 + kPanelStep * static_cast<i32>(kBonusCount) + 6,
                    SKINRECT::InitSliced(bs::kFrameX, bs::kFrameY, bs::kFrameWidth, bs::kFrameHeight, bs::kFrameLeft,
                                         bs::kFrameRight, bs::kFrameTop, bs::kFrameBottom, 0, 0, Back()),
                    &pieces_);
  AddRow(plateX, plateY, kWindowPlateWidth, bs::kPlateHeight,
         SKINRECT::InitSliced(bs::kPlateX, bs::kPlateY, bs::kPlateWidth, bs::kPlateHeight, bs::kPlateCaps,
                              bs::kPlateCaps, 0, 0, 0, 0, Back()),
         &pieces_);
  AddBodyFrame(1);
  i32 x = plateX + 6;
  for (u32 i = 0; i < kBonusSelectionSlots; ++i) {
    slots_[i] = new BonusWindowSlot(this, static_cast<i32>(i), x, plateY + 6);
    x += BonusWindowSlot::kWidth + 1;
  }
  RefreshSlots(0);

  i32 owned[kBonusCount] = {};
  const u32 ownedCount = profile_ ? std::min(profile_->ListBonuses(owned), kBonusCount) : 0;
  bool has[kBonusCount] = {};
  for (u32 i = 0; i < ownedCount; ++i)
    if (owned[i] >= 0 && owned[i] < static_cast<i32>(kBonusCount)) has[owned[i]] = true;
  for (i32 b = 0; b < static_cast<i32>(kBonusCount); ++b) {
    if (!has[b]) continue;
    const i32 y = client + 5 + kPanelStep * static_cast<i32>(panels_.size());
    panels_.push_back(new BonusWindowPanel(this, b, 12, y, chosen_[b]));
  }
  const size_t n = panels_.size();
  if (n >= 1 && n < kBonusCount) {
    closingPiece_ = true;
    AddRow(12, client + 5 + kPanelStep * static_cast<i32>(n), BonusWindowPanel::kWidth, bs::kClosingHeight,
           SKINRECT::InitSliced(bs::kClosingX, bs::kClosingY, bs::kClosingWidth, bs::kClosingHeight, bs::kClosingCaps,
                                bs::kClosingCaps, 0, 0, 0, 0, Back()),
           &pieces_);
  }
  AddButton(kBonusesOk, BonusesWindowText(u"ok"), 1, 1, 0);
  SetCaption(BonusesWindowText(u"caption"));
  Show(0, true);
}

BonusWindowPanel* BonusesWindow::PanelOf(i32 bonus) const {
  for (BonusWindowPanel* p : panels_)
    if (p->GetBonus() == bonus) return p;
  return nullptr;
}

void BonusesWindow::RefreshSlots(u32 from) {
  for (u32 i = from; i < kBonusSelectionSlots; ++i)
    if (slots_[i]) slots_[i]->SetBonus(i < working_.count ? working_.slots[i] : -1);
}

// A fourth bonus first lets the third go.
void BonusesWindow::Choose(i32 bonus) {
  if (bonus < 0 || bonus >= static_cast<i32>(kBonusCount) || chosen_[bonus]) return;
  if (working_.count >= kBonusSelectionSlots) Remove(working_.slots[kBonusSelectionSlots - 1]);
  chosen_[bonus] = true;
  const u32 at = working_.count;
  working_.slots[at] = bonus;
  ++working_.count;
  RefreshSlots(at);
  if (BonusWindowPanel* p = PanelOf(bonus)) p->SetChecked(true);
}

void BonusesWindow::Remove(i32 bonus) {
  if (bonus < 0 || bonus >= static_cast<i32>(kBonusCount)) return;
  chosen_[bonus] = false;
  if (BonusWindowPanel* p = PanelOf(bonus)) p->SetChecked(false);
  u32 at = 0;
  while (at < working_.count && working_.slots[at] != bonus) ++at;
  if (at >= working_.count) return;
  for (u32 i = at; i + 1 < kBonusSelectionSlots; ++i) working_.slots[i] = working_.slots[i + 1];
  working_.slots[kBonusSelectionSlots - 1] = -1;
  --working_.count;
  RefreshSlots(at);
}

void BonusesWindow::Apply() {
  if (choice_) *choice_ = working_;
  if (LevelWindow* window = FindWindowOf<LevelWindow>()) window->RefreshBonuses();
}

bool BonusesWindow::OnKeyDown(u16 key, u32 extra) {
  if (key == 27 || key == 13) {
    if (!closing_) {
      Apply();
      Close();
    }
    return true;
  }
  return SpritesWindow::OnKeyDown(key, extra);
}

u32 BonusesWindow::OnCommand(GameButton* control) {
  switch (control ? control->GetId() : 0) {
    case kBonusesOk:
      Apply();
      Close();
      return 2;
    case kBonusesPanel: {
      const auto* panel = static_cast<BonusWindowPanel*>(control);
      if (panel->IsChecked())
        Remove(panel->GetBonus());
      else
        Choose(panel->GetBonus());
      return 1;
    }
    case kBonusesSlot:
      Remove(static_cast<BonusWindowSlot*>(control)->GetBonus());
      return 1;
  }
  return SpritesWindow::OnCommand(control);
}

void BonusesWindow::DrawForeground() {
  DrawOwnPieces(&pieces_);
  SpritesWindow::DrawForeground();
}

#include "windows/LevelPanel.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "content/BuildingTable.h"
#include "content/GameBonuses.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "engine/Require.h"
#include "engine/image/GlyphEffects.h"
#include "gametext/KGEBaseTextSprite.h"
#include "level/rules/LevelBonuses.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelScene.h"
#include "level/rules/LevelTasks.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "ui/DialogAnswers.h"
#include "ui/ImageButton.h"
#include "ui/NarrowButton.h"
#include "ui/WindowManager.h"
#include "content/ProductList.h"
#include "windows/ChildLevelPanel.h"
#include "windows/EmptyPanel.h"
#include "windows/PanelSkins.h"
#include "windows/WarehouseButton.h"

namespace {

constexpr i32 kMinWidth = 800;
constexpr i32 kMaxCentral = 900;
constexpr i32 kBlockStart = 279;
constexpr i32 kMenuWidth = 88;
constexpr i32 kMenuMaxWidth = 160;
constexpr i32 kTutorialWidth = 144;
constexpr i32 kTutorialMaxWidth = 200;
constexpr u32 kPromptPeriod = 1200;
constexpr u32 kPromptFadeIn = 500;
constexpr u32 kPromptFadeOut = 200;

i32 ScreenWidth() { return GetResourceServices().screen.width; }
i32 ScreenHeight() { return GetResourceServices().screen.height; }
i32 PanelNearest(float v) { return static_cast<i32>(std::floor(v + 0.5f)); }

// Mirrors the last block's last quad left to right.
void MirrorLastQuad(WindowSprites& sprites) {
  QuadBlockList& blocks = sprites.GetBlocks();
  if (blocks.GetCount() == 0) return;
  SWINDOWSPRITE* block = blocks.Get(blocks.GetCount() - 1);
  if (block->quads.empty()) return;
  DXLQUAD& q = block->quads.back();
  std::swap(q.v[0].u, q.v[1].u);
  std::swap(q.v[3].u, q.v[2].u);
}

}  // namespace

LevelPanelLayout ComputeLevelPanelLayout(i32 screenWidth) {
  LevelPanelLayout l{};
  l.width = std::max(screenWidth, kMinWidth);
  l.left = 0;
  l.block = kBlockStart;
  i32 a = l.width, leftMargin = 0, rightMargin = 0;
  if (l.width > kMinWidth) {
    a = std::min(l.width, kMaxCentral);
    l.block += (a - kMinWidth) / 2;
    const i32 rest = l.width - a;
    if (rest > 0) {
      leftMargin = rest / 2;
      rightMargin = rest - rest / 2;
      l.left += leftMargin;
    }
  }
  l.central = a;
  l.leftFill = leftMargin + 2;
  l.rightFill = rightMargin + 2;
  l.childX = l.left + l.block;
  l.childWidth = a - l.block - 101;
  l.rightX = a + l.left - 101;
  return l;
}

LevelPanel::LevelPanel(LevelMap& map, LevelPanelPartMaker* maker)
    : GameWindow(kLevelPanelId, false), map_(map), rules_(map.GetRules()), maker_(maker) {
  MakeMenuButton();
  RunLayout();
  timeBar_ = maker_->MakeTimeBar(*this);
  money_ = maker_->MakeMoneyWindow();
  warehouseWindow_ = maker_->MakeWarehouseWindow();
  menuWindow_ = maker_->MakeMenuWindow();
  if (rules_) {
    rules_->Money().AddListener(this);
    if (rules_->Stock()) rules_->Stock()->AddListener(this);
  }
  // The warehouse's levels are its kind's in the building table; without it, one.
  const BUILDING* warehouse = FindBuildingByName(u"warehouse");
  warehouseButton_ =
      new WarehouseButton(this, warehouse && warehouse->levelCount > 0 ? warehouse->levelCount - 1 : 0);
  RefreshWarehouseLevel();
  const u32 tasks = rules_ ? rules_->Tasks().GetTaskCount() : 0;
  for (u32 i = 0; i < tasks && i < kLevelPanelTaskRoom; ++i) tasks_.push_back(maker_->MakeTaskButton(*this, i));
  UpdateTaskButtons(-1, false);
  PlaceButtons();
  DXLOUTLINE outline;  // the text sprite keeps a copy
  DXLMakeOutline(&outline, 1, 2.0f, 0xFF000000u, 32, 0);
  prompt_.reset(MakePanelText(PanelText(u"click_to_start"), 4, &outline));
  promptX_ = static_cast<float>(ScreenWidth() / 2 - rect_.left);
  if (prompt_) {
    promptDx_ = -static_cast<float>(prompt_->GetWidth()) / 2.0f;
    promptDy_ = -static_cast<float>(prompt_->GetHeight()) / 2.0f;
  }
}

LevelPanel::~LevelPanel() {
  Unregister();
  while (!children_.empty()) delete children_.back();
  for (BonusButtonPart*& b : bonus_) delete std::exchange(b, nullptr);
  if (rules_) {
    rules_->Money().RemoveListener(this);
    if (rules_->Stock()) rules_->Stock()->RemoveListener(this);
  }
}

void LevelPanel::RemoveChildPanel(ChildLevelPanel* panel) {
  children_.erase(std::remove(children_.begin(), children_.end(), panel), children_.end());
  if (current_ == panel) current_ = nullptr;
}

ChildLevelPanel* LevelPanel::FindChildPanel(i32 kind) const {
  for (ChildLevelPanel* c : children_)
    if (c->GetKind() == kind) return c;
  return nullptr;
}

void LevelPanel::ShowEmptyPanel() {
  ChildLevelPanel* panel = FindChildPanel(kPanelKindEmpty);
  if (!panel) panel = new EmptyPanel(*this);
  panel->Show();
}

void LevelPanel::UpdateTaskButtons(i32 index, bool animate) {
  for (u32 i = 0; i < tasks_.size(); ++i)
    if (index < 0 || static_cast<u32>(index) == i)
      tasks_[i]->SetProgress(rules_ ? rules_->Tasks().GetProgress(i) : 0, animate);
}

void LevelPanel::CreateBonusButtons() {
  for (u32 s = 0; s < kLevelBonusSlots; ++s) {
    const bool used = rules_ && rules_->Bonuses().GetSlot(s).available != 0;
    delete std::exchange(bonus_[s], nullptr);  // the old button leaves the controls first
    if (used) SetBonusSlot(s, maker_->MakeBonusButton(*this, s).release());
  }
  PlaceButtons();
}

void LevelPanel::SetBonusSlot(u32 slot, BonusButtonPart* button) {
  if (slot < kLevelBonusSlots) bonus_[slot] = button;
}

void LevelPanel::ClearBonusSlot(u32 slot, const BonusButtonPart* button) {
  if (slot < kLevelBonusSlots && bonus_[slot] == button) bonus_[slot] = nullptr;
}

// The slot of a bonus button's record: the bonus table's records stand in
// slot order; -1 for anything else.
i32 LevelPanel::SlotOfBonus(uintptr_t record) const {
  const GameBonuses* bonuses = GetGameBonuses();
  for (u32 s = 0; bonuses && record && s < kLevelBonusSlots && s < kBonusCount; ++s)
    if (record == reinterpret_cast<uintptr_t>(&bonuses->Get(s))) return static_cast<i32>(s);
  return -1;
}

void LevelPanel::UpdateBonusButton(u32 slot, const BONUSSLOT& state, bool animate) {
  if (slot < kLevelBonusSlots && bonus_[slot]) bonus_[slot]->UpdateState(state, animate);
}

void LevelPanel::CreateTutorialButton() {
  if (tutorialButton_) return;
  const wchar* text = PanelText(u"close_tutorial");
  tutorialButton_ = new NarrowButton(this, kCommandCloseTutorial, kTutorialWidth, text, false);
  KGETextSpriteW* caption = tutorialButton_->GetCaption();
  if (caption && static_cast<i32>(caption->GetWidth()) > kTutorialWidth) {
    const i32 width = std::min(static_cast<i32>(caption->GetWidth()) + 20, kTutorialMaxWidth);
    delete tutorialButton_;
    tutorialButton_ = new NarrowButton(this, kCommandCloseTutorial, width, text, false);
  }
  tutorialButton_->Show(32.0f, 200, 0);
  PlaceButtons();
}

void LevelPanel::HideTutorialButton() {
  if (tutorialButton_) tutorialButton_->Hide();
}

bool LevelPanel::IsPointOver(i32 x, i32 y) const {
  kis::IntPoint p;
  ScreenToClient(&p, x, y);
  if (x >= menuPlate_.left && x < menuPlate_.right && y >= menuPlate_.top && y < menuPlate_.bottom && menuButton_ &&
      menuButton_->HitTest(p.x, p.y))
    return true;
  return tutorialButton_ && tutorialButton_->HitTest(p.x, p.y);
}

void LevelPanel::StartPromptFadeOut() {
  if (prompt_ && fadeOutStart_ < 0) fadeOutStart_ = clock_;
}

void LevelPanel::MakeMenuButton() {
  const SkinPiece& button = skins::kMenuButton;
  const SKINRECT skin = LevelSheetSkin(button);
  const wchar* text = PanelText(u"menu");
  for (i32 pass = 0; pass < 2; ++pass) {
    i32 width = kMenuWidth;
    if (menuButton_) {
      KGETextSpriteW* caption = menuButton_->GetCaption();
      const i32 need = caption ? static_cast<i32>(caption->GetWidth()) + 16 : 0;
      if (need <= kMenuWidth) return;
      width = std::min(need, kMenuMaxWidth);
      delete menuButton_;
    }
    menuButton_ = new ImageButton(this, &controls_, kCommandMenu, skin, width, button.Vertical(),
                                  static_cast<i32>(button.frames), button.Gap(), 0, 0, nullptr);
    DXLOUTLINE caption;
    GetCaptionOutline(0, &caption);
    menuButton_->SetCaption(text, 3, nullptr, &caption, 1);
  }
}

void LevelPanel::RunLayout() {
  const LevelPanelLayout l = ComputeLevelPanelLayout(ScreenWidth());
  if (!laidOut_ || l.childX != layout_.childX || l.childWidth != layout_.childWidth) ++generation_;
  laidOut_ = true;
  layout_ = l;
  rect_ = DXLRECT{0, ScreenHeight() - kPanelStripHeight, ScreenWidth(), ScreenHeight()};
  transform_ = plat::gfx::IdentityMatrix();
  BuildBackground();
}

void LevelPanel::BuildBackground() {
  back_.ClearQuads();
  front_.ClearQuads();
  const LevelPanelLayout& l = layout_;
  // The side fills: the source's right columns, or its body with its last
  // 4 columns stretched over the rest.
  const SkinPiece& side = skins::kPanelSide;
  const i32 sw = side.frameWidth, sh = side.frameHeight, body = sw - 4;
  const auto fill = [&](i32 x, i32 width, bool mirror) {
    if (width <= sw) {
      back_.AddPiece(x, 13, width, sh, LevelSheetColumns(side, sw - width, width));
      if (mirror) MirrorLastQuad(back_);
      return;
    }
    if (mirror) {
      back_.AddPiece(x, 13, width - body, sh, LevelSheetColumns(side, body, sw - body));
      MirrorLastQuad(back_);
      back_.AddPiece(x + width - body, 13, body, sh, LevelSheetColumns(side, 0, body));
      MirrorLastQuad(back_);
    } else {
      back_.AddPiece(x, 13, body, sh, LevelSheetColumns(side, 0, body));
      back_.AddPiece(x + body, 13, width - body, sh, LevelSheetColumns(side, body, sw - body));
    }
  };
  fill(-1, l.leftFill, false);
  fill(l.width - l.rightFill + 1, l.rightFill, true);
  // The task buttons' block: its caps, and its middle stretched between them.
  const SkinPiece& block = skins::kLeftBlock;
  const i32 bx = l.left - 16, bh = block.frameHeight, blockRight = l.left + l.block - block.right;
  back_.AddPiece(bx, 0, block.left, bh, LevelSheetColumns(block, 0, block.left));
  back_.AddPiece(bx + block.left, 0, blockRight - bx - block.left, bh,
                 LevelSheetColumns(block, block.left, block.frameWidth - block.left - block.right));
  back_.AddPiece(blockRight, 0, block.right, bh, LevelSheetColumns(block, block.frameWidth - block.right, block.right));
  const SkinPiece &post = skins::kLeftDivider, &right = skins::kRightBlock, &rightPost = skins::kRightDivider;
  front_.AddPiece(l.childX, -1, post.frameWidth, post.frameHeight, LevelSheetSkin(post));
  back_.AddPiece(l.rightX, 0, right.frameWidth, right.frameHeight, LevelSheetSkin(right));
  front_.AddPiece(l.rightX - rightPost.frameWidth, -1, rightPost.frameWidth, rightPost.frameHeight,
                  LevelSheetSkin(rightPost));
  // The menu plate in the top right corner of the screen.
  const SkinPiece& plate = skins::kMenuPlate;
  const i32 plateWidth = (menuButton_ ? menuButton_->GetWidth() : kMenuWidth) + 5;
  menuPlate_ = DXLRECT{ScreenWidth() - plateWidth, 0, ScreenWidth(), 31};
  const i32 px = menuPlate_.left - rect_.left, py = menuPlate_.top - rect_.top;
  back_.AddPiece(px, py, plate.left, plate.frameHeight, LevelSheetColumns(plate, 0, plate.left));
  back_.AddPiece(px + plate.left, py, plateWidth - plate.left, plate.frameHeight,
                 LevelSheetColumns(plate, plate.left, plate.frameWidth - plate.left));
}

void LevelPanel::PlaceButtons() {
  const LevelPanelLayout& l = layout_;
  if (menuButton_) menuButton_->SetPosition(menuPlate_.left + 4 - rect_.left, menuPlate_.top + 1 - rect_.top);
  if (warehouseButton_) warehouseButton_->SetPosition(l.rightX + 11, kPanelStripHeight - 104);
  if (tutorialButton_) {
    i32 y = 3;
    if (money_ && 3 + tutorialButton_->GetWidth() > money_->GetX() - 2) y += 32;
    tutorialButton_->SetPosition(3 - rect_.left, y - rect_.top);
  }
  i32 total = 0, n = 0;
  for (const auto& b : bonus_)
    if (b) total += b->GetWidth() - (n++ ? 2 : 0);
  i32 x = (ScreenWidth() - total) / 2;
  for (const auto& b : bonus_) {
    if (!b) continue;
    b->PlaceAt(x - rect_.left, -56);
    x += b->GetWidth() - 2;
  }
  if (!tasks_.empty()) {
    const float step = static_cast<float>(l.block - 9) / static_cast<float>(tasks_.size());
    for (size_t i = 0; i < tasks_.size(); ++i) {
      const i32 s0 = PanelNearest(static_cast<float>(i) * step), s1 = PanelNearest(static_cast<float>(i + 1) * step);
      tasks_[i]->Place(l.left + 4 + s0, 4, s1 - s0 + 1);
    }
  }
  if (timeBar_) timeBar_->Arrange(l.childX, l.childWidth);
}

void LevelPanel::OnScreenResize() {
  RunLayout();
  if (current_) current_->TakeArea(false);
  if (money_) money_->OnScreenResize();
  PlaceButtons();
  promptX_ = static_cast<float>(ScreenWidth() / 2 - rect_.left);
}

bool LevelPanel::HitTest(i32 x, i32 y) const {
  if (GameWindow::HitTest(x, y)) return true;
  if (x >= menuPlate_.left && x < menuPlate_.right && y >= menuPlate_.top && y < menuPlate_.bottom) return true;
  kis::IntPoint p;
  ScreenToClient(&p, x, y);
  if (tutorialButton_ && tutorialButton_->HitTest(p.x, p.y)) return true;
  for (const auto& b : bonus_)
    if (b && b->Contains(p.x, p.y)) return true;
  return false;
}

u32 LevelPanel::OnCommand(GameButton* control) {
  if (!control) return 0;
  const u32 id = control->GetId();
  if ((id & kPanelCommandMask) == kPanelCommandTop) return current_ ? current_->OnCommand(control) : 0;
  if (control == warehouseButton_) {
    if (warehouseWindow_) warehouseWindow_->Open();
    return 2;
  }
  if (id == kCommandBonus) {
    // A ready button (state 1) starts the clock if need be and uses its
    // slot, the one of the bonus record it carries.
    const i32 slot = SlotOfBonus(control->GetData());
    const BonusButtonPart* button = slot >= 0 ? GetBonusButton(static_cast<u32>(slot)) : nullptr;
    if (!button || !button->IsReady()) return kCommandSilent;
    if (rules_) {
      // The level scene's start also runs the time bar and tells the tutorial.
      if (!rules_->IsStarted()) {
        if (LevelScene* scene = rules_->Hooks().scene)
          scene->StartPlay();
        else
          rules_->StartPlay();
      }
      rules_->Bonuses().UseBonus(static_cast<u32>(slot));
    }
    return 2;
  }
  if (id == kCommandMenu) {
    if (menuWindow_) menuWindow_->Open(true);
    return 2;
  }
  if (id == kCommandCloseTutorial) {
    if (Require(GetWindowManager(), "the window manager for the close-tutorial question"))
      closeTutorial_.Open(u"close_tutorial_c", u"close_tutorial", kAnswerYes, kAnswerNo,
                          &LevelPanel::OnCloseTutorialAnswer, reinterpret_cast<uintptr_t>(this));
    return 2;
  }
  return 0;
}

bool LevelPanel::OnCloseTutorialAnswer(uintptr_t self, uintptr_t, u32 answer) {
  LevelRules* rules = reinterpret_cast<LevelPanel*>(self)->rules_;
  if ((answer == kAnswerOk || answer == kAnswerYes) && rules && rules->Hooks().scene) rules->Hooks().scene->StopTutorial();
  return true;
}

void LevelPanel::OnMoneyChanged() {
  if (current_) current_->RefreshButtons();
}

void LevelPanel::OnStockChanged(const STOCKENTRY& entry) {
  if (current_) current_->RefreshProductButtons(entry.product ? entry.product->id : 0);
}

// The button shows the level's warehouse level (the first level as 0); it
// makes its mark again only on a change.
void LevelPanel::RefreshWarehouseLevel() {
  if (warehouseButton_ && rules_) warehouseButton_->SetLevel(rules_->GetWarehouseLevel() - 1);
}

void LevelPanel::Draw() {
  RefreshWarehouseLevel();
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  viewer->Translate(static_cast<float>(rect_.left), static_cast<float>(rect_.top));
  viewer->GetTransform(&transform_);
  viewer->ApplyTransform(nullptr);
  if (timeBar_) timeBar_->Draw();
  if (current_) {
    const bool clipped = PushChildClip();
    current_->Draw();
    if (clipped) viewer->PopClip();
    viewer->SetTransform(&transform_);
    viewer->ApplyTransform(nullptr);
  }
  back_.DrawPieces();
  // The shown child's buttons stay inside the child area as its pieces do.
  for (i32 i = controlGroups_.GetCount() - 1; i >= 0; --i) {
    GameControls* group = controlGroups_.Get(i);
    const bool clipped = current_ && group == &current_->Group() && PushChildClip();
    group->Draw(transform_);
    if (clipped) viewer->PopClip();
  }
  controls_.Draw(transform_);
  viewer->SetTransform(&transform_);
  viewer->ApplyTransform(nullptr);
  front_.DrawPieces();
  DrawPrompt();
  if (tutorialButton_ && tutorialButton_->IsDone()) {
    delete tutorialButton_;
    tutorialButton_ = nullptr;
  }
}

// The child area (the strip's height) in the target's pixels, through the
// panel's transform.
bool LevelPanel::PushChildClip() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return false;
  const auto& m = transform_.m;
  const auto at = [&](float x, float y, i32* px, i32* py) {
    *px = static_cast<i32>(std::lround(x * m[0][0] + y * m[1][0] + m[3][0]));
    *py = static_cast<i32>(std::lround(x * m[0][1] + y * m[1][1] + m[3][1]));
  };
  DXLRECT r{};
  at(static_cast<float>(layout_.childX), 0.0f, &r.left, &r.top);
  at(static_cast<float>(layout_.childX + layout_.childWidth), static_cast<float>(kPanelStripHeight), &r.right,
     &r.bottom);
  viewer->PushClip(r);
  return true;
}

float LevelPanel::PromptScale() const {
  const float phase = static_cast<float>(clock_ % kPromptPeriod) / static_cast<float>(kPromptPeriod);
  const float radians = (phase * 360.0f - 90.0f) * 3.14159265f / 180.0f;
  return (std::sin(radians) + 1.0f) / 2.0f / 5.0f + 1.5f;
}

float LevelPanel::PromptAlpha() {
  float alpha = 1.0f;
  if (fadeInStart_ >= 0) {
    alpha = static_cast<float>(static_cast<i64>(clock_) - fadeInStart_) / static_cast<float>(kPromptFadeIn);
    if (alpha >= 1.0f) {
      alpha = 1.0f;
      fadeInStart_ = -1;
    }
  }
  if (fadeOutStart_ >= 0)
    alpha = std::min(alpha, 1.0f - static_cast<float>(static_cast<i64>(clock_) - fadeOutStart_) /
                                       static_cast<float>(kPromptFadeOut));
  return alpha;
}

void LevelPanel::DrawPrompt() {
  if (!prompt_) return;
  const float alpha = PromptAlpha();
  if (alpha <= 0.0f && fadeOutStart_ >= 0) {
    prompt_.reset();
    return;
  }
  DXLViewer* viewer = GetGameViewer();
  const float scale = PromptScale();
  viewer->SetTransform(&transform_);
  viewer->Translate(promptX_, promptY_);
  viewer->ScaleXY(scale, scale);
  viewer->Translate(promptDx_, promptDy_);
  viewer->ApplyTransform(nullptr);
  prompt_->SetColor(static_cast<u32>(std::clamp(alpha, 0.0f, 1.0f) * 255.0f) << 24 | 0x00FFFFFFu);
  prompt_->Draw();
  viewer->SetTransform(&transform_);
}

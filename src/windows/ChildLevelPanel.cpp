#include "windows/ChildLevelPanel.h"

#include <algorithm>

#include "engine/DXLViewer.h"
#include "level/map/LevelPoint.h"
#include "level/map/LevelPointMaker.h"
#include "content/ProductList.h"
#include "resources/ResourceServices.h"
#include "windows/CLPLevelBlock.h"
#include "windows/LevelPanel.h"
#include "windows/PanelSkins.h"

ChildLevelPanel::ChildLevelPanel(LevelPanel& owner) : owner_(&owner) { owner_->AddChildPanel(this); }

ChildLevelPanel::~ChildLevelPanel() {
  Hide();
  DeleteButtons();
  if (owner_) owner_->RemoveChildPanel(this);
}

void ChildLevelPanel::GetSize(i32* width, i32* height) const {
  if (width) *width = width_;
  if (height) *height = height_;
}

void ChildLevelPanel::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX saved{};
  viewer->GetTransform(&saved);
  viewer->Translate(static_cast<float>(x_), static_cast<float>(y_));
  viewer->ApplyTransform(nullptr);
  DrawPieces();
  viewer->SetTransform(&saved);
}

void ChildLevelPanel::RefreshButtons() {
  for (LevelPanelButton* b : std::vector<LevelPanelButton*>(lists_[0]))
    if (!b->GetProduct()) b->UpdateEnabled();
}

void ChildLevelPanel::RefreshProductButtons(u32 product) {
  for (LevelPanelButton* b : std::vector<LevelPanelButton*>(lists_[1]))
    if (b->GetCount() != 0 && (product == 0 || (b->GetProduct() && b->GetProduct()->id == product))) b->UpdateEnabled();
}

u32 ChildLevelPanel::OnCommand(GameButton* button) {
  if (!button || button->GetId() != kPanelRemove) return 0;
  auto* point = reinterpret_cast<BaseLevelPoint*>(button->GetData());
  if (!point) return 0;
  auto* working = point->GetKind() != kPointKindEmpty ? static_cast<LevelPoint*>(point) : nullptr;
  if (!working || working->GetLevel() < 1) {
    point->GetMaker()->MakeEmpty(point->GetIndex());
  } else {
    working->CreatePulldownJob();
  }
  return kCommandNothing;
}

void ChildLevelPanel::Show() {
  if (shown_ || !owner_) return;
  ChildLevelPanel* current = owner_->GetCurrentChild();
  if (current && current != this) current->Hide();
  owner_->SetCurrentChild(this);
  owner_->AddControlGroup(&group_);
  TakeArea(false);
  RefreshButtons();
  RefreshProductButtons(0);
  shown_ = true;
  OnShown();
}

void ChildLevelPanel::Hide() {
  if (!shown_) return;
  // A hint of a button that leaves the screen goes with it.
  for (i32 i = 0; i < group_.GetCount(); ++i)
    if (GameButton* b = group_.Get(i)) b->ReleaseHint();
  if (owner_) {
    if (owner_->GetCurrentChild() == this) owner_->SetCurrentChild(nullptr);
    owner_->RemoveControlGroup(&group_);
  }
  shown_ = false;
  OnHidden();
}

void ChildLevelPanel::TakeArea(bool force) {
  if (!owner_) return;
  x_ = owner_->GetChildX();
  y_ = kPanelStripHeight - kChildPanelHeight;
  width_ = owner_->GetChildWidth();
  height_ = kChildPanelHeight;
  if (!force && arranged_ && generation_ == owner_->GetGeneration()) return;
  generation_ = owner_->GetGeneration();
  arranged_ = true;
  ClearQuads();
  Arrange();
}

// Pieces at y 0 of the source height: the plain filler, and between `from`
// and `to` a notch whose right edge ends at to + 2.
void ChildLevelPanel::BuildBackground(i32 from, i32 to) {
  const SkinPiece &fill = skins::kChildFill, &notch = skins::kChildNotch;
  const SKINRECT plain = LevelSheetSkin(fill);
  const i32 fh = fill.frameHeight, nh = notch.frameHeight;
  if (from < to) {
    AddPiece(-1, 0, from + 1, fh, plain);
    const i32 e = to + 2, span = e - from;
    // The notch's middle columns, then as much of its right end as fits.
    const SkinSpan middle = notch.columns[0];
    if (span - notch.right > 0) {
      const i32 cols = std::min(span - notch.right, middle.to - middle.from);
      AddPiece(from, 0, span - notch.right, nh, LevelSheetColumns(notch, middle.from, cols));
    }
    const i32 last = std::min(notch.right, span);
    AddPiece(e - last, 0, last, nh, LevelSheetColumns(notch, notch.frameWidth - last, last));
    AddPiece(e, 0, width_ - e + 1, fh, plain);
  } else {
    AddPiece(-1, 0, width_ + 2, fh, plain);
  }
}

LevelPanelButton* ChildLevelPanel::CreateBackButton(const ButtonRowLayout& layout) {
  auto* b = new LevelPanelButton(this, kPanelBack, layout, 0, 1, FindPanelIcon(u"ico_back"));
  MoveButton(b, 0);
  return b;
}

LevelPanelButton* ChildLevelPanel::CreateEmptyButton(const ButtonRowLayout& layout, i32 cell, u32 command) {
  auto* b = new LevelPanelButton(this, command, layout, cell, 1, FindPanelIcon(u"ico_empty"));
  b->SetCaptionPlain(nullptr, 3, 0, {0, 0, 0, 0});
  b->SetEnabled(false);
  MoveButton(b, 0);
  return b;
}

LevelPanelButton* ChildLevelPanel::CreateButton(const ButtonRowLayout& layout, i32 cell, u32 command,
                                                const wchar* icon, i32 count, const PRODUCT* product) {
  auto* b = new LevelPanelButton(this, command, layout, cell, kButtonIconLow, FindPanelIcon(icon));
  MoveButton(b, 0);
  if (count != 0) b->SetProduct(count, product);
  return b;
}

LevelPanelButton* ChildLevelPanel::CreateRemoveButton(BaseLevelPoint* point) {
  if (removeButton_) return removeButton_;
  ButtonRowLayout row;
  SplitRowIntoCells(&row, 64, 1);
  removeButton_ = new LevelPanelButton(this, kPanelRemove, row, 0, 1, FindPanelIcon(u"ico_delete"));
  removeButton_->SetData(reinterpret_cast<uintptr_t>(point));
  removeButton_->CreateHint(PanelText(u"remove"));
  MoveButton(removeButton_, 0);
  return removeButton_;
}

LevelPanelButton* ChildLevelPanel::CreateUpgradeButton(const ButtonRowLayout& layout, i32 cell) {
  LevelPanelButton* b = CreateButton(layout, cell, kPanelUpgrade, u"ico_upgrade", 0, nullptr);
  b->CreateHint(PanelText(u"upgrade"));
  return b;
}

void ChildLevelPanel::RefreshRemoveButton() {
  if (!removeButton_) return;
  auto* point = reinterpret_cast<BaseLevelPoint*>(removeButton_->GetData());
  removeButton_->SetEnabled(point && !point->IsBusy() && !point->GetDamage());
}

CLPLevelBlock* ChildLevelPanel::CreateLevelBlock() {
  delete levelBlock_;
  levelBlock_ = new CLPLevelBlock(this);
  return levelBlock_;
}

void ChildLevelPanel::ForgetButton(LevelPanelButton* button) {
  for (auto& list : lists_) list.erase(std::remove(list.begin(), list.end(), button), list.end());
  if (removeButton_ == button) removeButton_ = nullptr;
  button->SetListIndex(-1);
}

void ChildLevelPanel::MoveButton(LevelPanelButton* button, i32 list) {
  if (button->GetListIndex() == list) return;
  for (auto& l : lists_) l.erase(std::remove(l.begin(), l.end(), button), l.end());
  lists_[list & 1].push_back(button);
  button->SetListIndex(list & 1);
}

void ChildLevelPanel::DeleteButtons() {
  for (auto& list : lists_) {
    std::vector<LevelPanelButton*> buttons;
    buttons.swap(list);
    for (LevelPanelButton* b : buttons) {
      b->SetListIndex(-1);
      delete b;
    }
  }
  removeButton_ = nullptr;
  delete levelBlock_;
  levelBlock_ = nullptr;
}

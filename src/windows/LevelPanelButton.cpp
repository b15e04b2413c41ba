#include "windows/LevelPanelButton.h"

#include <algorithm>
#include <cmath>

#include "base/NumberText.h"
#include "content/ContentArchive.h"
#include "content/ProductList.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseTextSprite.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "level/rules/WarehouseStock.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "ui/CaptionHintWindow.h"
#include "hud/HudPieces.h"
#include "windows/ChildLevelPanel.h"
#include "windows/LevelPanel.h"
#include "windows/PanelSkins.h"

namespace {

i32 Nearest(float v) { return static_cast<i32>(std::floor(v + 0.5f)); }

constexpr i32 kIconLowY = 28;
constexpr i32 kPictureY = 63;
constexpr i32 kFillHeight = 54;

}  // namespace

void SplitRowIntoCells(ButtonRowLayout* layout, i32 width, i32 count) {
  count = std::clamp(count, 0, kRowMaxCells);
  layout->width = width;
  layout->count = count;
  if (count == 0) return;
  const float step = static_cast<float>(width) / static_cast<float>(count);
  float sum = 0.0f;
  i32 start = 0;
  for (i32 i = 0; i < count; ++i) {
    sum += step;
    const i32 end = Nearest(sum);
    layout->cells[i] = {start, end - start};
    start = end;
  }
}

LevelPanelButton::LevelPanelButton(ChildLevelPanel* owner, u32 command, const ButtonRowLayout& layout, i32 cell,
                                   u32 flags, Sprite* icon)
    : ImageButton(owner ? owner->GetOwner() : nullptr, owner ? &owner->Group() : nullptr, command, 0, 0, nullptr),
      owner_(owner),
      flags_(flags) {
  if (cell >= 0 && cell < layout.count) {
    cellStart_ = layout.cells[cell].start;
    width_ = layout.cells[cell].width;
    if (cell == 0) flags_ |= kButtonFirstCell;
    if (cell == layout.count - 1) flags_ |= kButtonLastCell;
  }
  height_ = kPanelButtonHeight;
  BuildFace();
  SetStateFrames(4, {0, 1, 2, 3});
  SetPosition(0, kPanelButtonTop);
  SetIcon(icon);
}

LevelPanelButton::~LevelPanelButton() {
  if (owner_) owner_->ForgetButton(this);
}

// The face of each state: style 0 and 1 the whole height of their set in
// three quads (a cap, the stretched middle, a cap). Style 1 with the icon
// lowered stands the tool face over the goods set's count plate: the face's
// 54 rows, the plate's caps in the tool set and the plate's middle in the
// goods set (seven quads). Style 2 fills its face from the bottom: the count
// plate of the goods set, the empty rows above the fill from the greyed
// set, and the filled rows from the goods set (nine quads).
void LevelPanelButton::BuildFace() {
  const std::array<SKINRECT, kPanelSkinCount> faces = GetPanelButtonSkins();
  const u32 style = flags_ & kButtonStyleMask;
  const bool tools = style == 1;
  const SKINRECT& main = faces[tools ? 2 : 0];
  const SKINRECT& cap = faces[tools ? 3 : 1];
  u32 cells = 0;
  if (flags_ & kButtonFirstCell) cells |= kCellFirst;
  if (flags_ & kButtonLastCell) cells |= kCellLast;
  texture_ = main.image;
  const i32 face = main.top;  // the face's rows above the count plate
  if (style == 2) {
    const i32 filled = std::max(fillHeight_, 0);
    AllocFrames(9, 4);
    for (i32 s = 0; s < 4; ++s) {
      DXLQUAD* q = &quads_[static_cast<size_t>(s * 9)];
      q = MakeSkinQuads(width_, s, q, main, cap, cells, SkinBand{face, -1});
      q = MakeSkinQuads(width_, s, q, faces[4], faces[5], cells, SkinBand{0, kFillHeight - filled});
      MakeSkinQuads(width_, s, q, main, cap, cells, SkinBand{kFillHeight - filled, filled});
    }
  } else if (tools && (flags_ & kButtonIconLow)) {
    AllocFrames(7, 4);
    for (i32 s = 0; s < 4; ++s) {
      DXLQUAD* q = &quads_[static_cast<size_t>(s * 7)];
      q = MakeSkinQuads(width_, s, q, main, cap, cells, SkinBand{0, face});
      DXLQUAD plate[3];
      MakeSkinQuads(width_, s, plate, faces[0], faces[1], cells, SkinBand{face, -1});
      MakeSkinQuads(width_, s, q, main, cap, cells, SkinBand{face, -1});
      q[3] = q[2];
      q[2] = plate[1];  // the goods plate between the tool caps
    }
  } else {
    AllocFrames(3, 4);
    for (i32 s = 0; s < 4; ++s) MakeSkinQuads(width_, s, &quads_[static_cast<size_t>(s * 3)], main, cap, cells);
  }
}

void LevelPanelButton::SetPosition(i32 x, i32 y) { ImageButton::SetPosition(x + cellStart_, y); }

void LevelPanelButton::PlaceAt(i32 x) {
  const i32 ox = owner_ ? owner_->GetX() : 0, oy = owner_ ? owner_->GetY() : 0;
  SetPosition(ox + x, oy + kPanelButtonTop);
}

// An icon of fewer than three frames (normal, hover, pressed) shows its
// first in every state.
void LevelPanelButton::SetIcon(Sprite* sprite) {
  ImageButton::SetIcon(sprite);
  if (sprite && sprite->GetFrameCount() < 3) SetIconFrames(0, {0, 0, 0, 0, 0, 0, 0, 0});
  if (flags_ & kButtonIconLow) iconY_ = static_cast<float>(kIconLowY);
}

void LevelPanelButton::LayoutContent() {
  pictureX_ = static_cast<float>(width_ / 2);
  KGETextSpriteW* caption = GetCaption();
  if (!caption) return;
  captionX_ = static_cast<float>((width_ - static_cast<i32>(caption->GetWidth()) + 1) / 2);
  captionY_ = static_cast<float>(kPictureY + 1 - static_cast<i32>(caption->GetHeight()) / 2);
  if (picture_ && count_ != 0) {
    captionX_ += 12.0f;
    pictureX_ = captionX_ - 13.0f;
  }
}

void LevelPanelButton::Draw() {
  ImageButton::Draw();
  if (!picture_) return;
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  viewer->SetTransform(&savedTransform_);
  DrawImageAt(picture_.get(), pictureX_, static_cast<float>(kPictureY), savedTransform_);
}

void LevelPanelButton::SetProduct(i32 count, const PRODUCT* product) {
  count = std::max(count, 0);
  if (product != product_) {
    product_ = product;
    picture_.reset();
    SpriteSet* set = GetSpriteSet(kIconSpriteSet);
    if (product && product->icon && set) {
      product->icon->Init();
      picture_.reset(set->CreateImageSprite(product->icon, false));
      if (picture_) {
        if (product->icon->GetFrameCount() > 1) picture_->SetFrame(1);  // the normal of the button frames
        picture_->SetPivot(0.5f, 0.5f);
        picture_->SetScale(0.5f, 0.5f);
      }
    }
  }
  if (count != count_ || !captionMade_) {
    count_ = count;
    wchar text[16];
    kis::IntToStr(text, 16, count);
    // A count of 0 reads "0" too: the upgrade at its level's limit shows its price, not a blank plate.
    if (!captionMade_) {
      SetCaptionPlain(text, 3, 2, {0xFFC0C0C0u, 0xFF000000u, 0xFF303030u, 0xFF606060u});
      captionMade_ = true;
    } else {
      SetCaptionText(text);
    }
  }
  LayoutContent();
  if (owner_) owner_->MoveButton(this, count_ != 0 && product_ ? 1 : 0);
  UpdateEnabled();
}

void LevelPanelButton::UpdateEnabled() {
  if (count_ == 0) return;
  LevelRules* rules = owner_ && owner_->GetOwner() ? owner_->GetOwner()->GetRules() : nullptr;
  bool met = false;
  if (rules && product_) {
    WarehouseStock* stock = rules->Stock();
    met = stock && stock->GetCount(product_) >= count_;
  } else if (rules) {
    met = rules->Money().HasAtLeast(count_);
  }
  const u32 flags = met ? flags_ & ~kButtonUnmet : flags_ | kButtonUnmet;
  if (flags == flags_) return;
  flags_ = flags;
  ApplyState();
}

void LevelPanelButton::SetEnabled(bool on) {
  const u32 flags = on ? flags_ & ~kButtonDisabled : flags_ | kButtonDisabled;
  if (flags == flags_) return;
  flags_ = flags;
  ApplyState();
}

void LevelPanelButton::ApplyState() {
  const bool enabled = (flags_ & (kButtonUnmet | kButtonDisabled)) == 0;
  if (enabled == IsEnabled()) return;
  SetState(enabled ? 1 : 0, false, static_cast<u32>(-1));
}

// The filled height out of 54 pixels: 0 for 0, floor(50 v) + 2 between, 54
// for 1; the face is cut again only when that height changes.
void LevelPanelButton::SetFill(float value) {
  if (!(value >= 0.0f)) value = 0.0f;
  value = std::min(value, 1.0f);
  fill_ = value;
  const i32 h = value <= 0.0f ? 0 : value >= 1.0f ? kFillHeight : static_cast<i32>(std::floor(50.0f * value)) + 2;
  if (h == fillHeight_ || (flags_ & kButtonStyleMask) != 2) return;
  fillHeight_ = h;
  BuildFace();
}

void LevelPanelButton::CreateHint(const wchar* text) {
  if (hintWindow_) return;
  auto* hint = new CaptionHintWindow(this);
  hint->SetText(text);
}

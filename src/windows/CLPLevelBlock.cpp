#include "windows/CLPLevelBlock.h"

#include <algorithm>

#include "base/NumberText.h"
#include "content/ContentArchive.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "ui/CaptionHintWindow.h"
#include "ui/GameWindow.h"
#include "ui/HIText.h"
#include "hud/HudPieces.h"
#include "windows/ChildLevelPanel.h"
#include "windows/LevelPanel.h"
#include "windows/PanelSkins.h"

bool MakeLevelMark(i32 level, i32 maximum, i32 x, i32 y, u32 colour, DXLQUAD* out) {
  Sprite* sheet = GetLevelSheet();
  if (maximum <= 0 || !sheet || !sheet->GetTexture() || !out) return false;
  level = std::clamp(level, 0, maximum);
  if (maximum == 3) {
    const SkinPiece& plate = skins::kLevelPlate;
    sheet->GetTexture()->MakeQuadPartInt(out, x - plate.frameWidth / 2, y - 9, plate.x, plate.y + plate.stepY * level,
                                         plate.frameWidth, plate.frameHeight, colour);
    return true;
  }
  if (level == 0) return false;
  const SkinPiece& stars = skins::kLevelStars;
  const i32 width = stars.stepX * (level - 1) + stars.frameWidth;
  sheet->GetTexture()->MakeQuadPartInt(out, x - width / 2, y - 8, stars.x, stars.y, width, stars.frameHeight, colour);
  return true;
}

float PictureScale(const Sprite* picture, float room) {
  const i32 side = picture ? std::max(picture->GetFrameWidth(), picture->GetFrameHeight()) : 0;
  return side > 0 ? std::clamp(room / static_cast<float>(side), 0.5f, 1.0f) : 0.5f;
}

CLPLevelBlock::CLPLevelBlock(ChildLevelPanel* owner)
    : ActiveButton(owner ? owner->GetOwner() : nullptr, owner ? &owner->Group() : nullptr, kPanelLevelBlock),
      owner_(owner) {
  rect_ = DXLRECT{0, 0, kLevelBlockWidth, kLevelBlockHeight};
  Build();
}

CLPLevelBlock::~CLPLevelBlock() = default;

// The background (the frame's caps and stretched middle, the plate), and
// apart from it the marks, which are drawn over the picture.
void CLPLevelBlock::Build() {
  pieces_.ClearQuads();
  marks_.ClearQuads();
  const SkinPiece &frame = skins::kLevelBlock, &plate = skins::kLevelBlockPlate;
  pieces_.AddRow(0, 0, kLevelBlockWidth, frame.frameHeight, LevelSheetSkin(frame));
  pieces_.AddPiece(-22, 48, plate.frameWidth, plate.frameHeight, LevelSheetSkin(plate));
  static constexpr i32 kMarks[3][3][2] = {{{0, 0}}, {{-11, 0}, {10, 0}}, {{-17, 0}, {0, 5}, {17, 0}}};
  const i32 n = std::min(GetMarkCount(), 3);
  for (i32 j = 0; j < n; ++j) {
    const SkinPiece& dot = j + 1 < current_ ? skins::kLevelDotFull : skins::kLevelDotEmpty;
    marks_.AddPiece(kLevelBlockWidth / 2 - 10 + kMarks[n - 1][j][0], kMarksTop + kMarks[n - 1][j][1], dot.frameWidth,
                    dot.frameHeight, LevelSheetSkin(dot));
  }
}

void CLPLevelBlock::SetLevel(i32 levels, i32 current, Sprite* picture) {
  levels_ = std::max(levels, 0);
  current_ = current;
  picture_.reset();
  SpriteSet* set = picture ? GetSpriteSet(kIconSpriteSet) : nullptr;
  if (set) picture_.reset(set->CreateImageSprite(picture, false));
  if (picture_) {
    // Inside the frame's rim and above the marks when there are any.
    const float y = GetPictureY(), bottom = GetMarkCount() > 0 ? kMarksTop : kLevelBlockHeight - kRim;
    const float scale = PictureScale(picture, 2.0f * std::min(y - kRim, bottom - y) - 2.0f);
    picture_->SetPivot(0.5f, 0.5f);
    picture_->SetScale(scale, scale);
  }
  Build();
}

void CLPLevelBlock::CreateHint(const wchar* text, uintptr_t kind, uintptr_t data) {
  hintText_ = text ? text : u"";
  hintValues_[0] = kind;
  hintValues_[1] = data;
  SetHintEnabled(true);
  if (!hintWindow_) new CaptionHintWindow(this);
  flags_ |= kLevelBlockRedraw;
}

void CLPLevelBlock::SetHintData(uintptr_t data) {
  hintValues_[1] = data;
  flags_ |= kLevelBlockRedraw;
}

// The hint's caption expanded for the object, rebuilt only when marked.
void CLPLevelBlock::ShowHint() {
  if ((flags_ & kLevelBlockRedraw) && hintWindow_) {
    auto* hint = static_cast<CaptionHintWindow*>(hintWindow_);
    if (!hint->GetCaption()) hint->SetCaption(nullptr, u"", false);
    if (HIText* caption = hint->GetCaption())
      caption->SetTextEx(hintText_.c_str(), hintValues_[0], hintValues_[1], GetResourceServices().itemDescription);
    flags_ &= ~kLevelBlockRedraw;
  }
  ActiveButton::ShowHint();
}

void CLPLevelBlock::PlaceAt(i32 x) {
  const i32 ox = owner_ ? owner_->GetX() : 0, oy = owner_ ? owner_->GetY() : 0;
  rect_ = DXLRECT{ox + x, oy + kPanelButtonTop, ox + x + kLevelBlockWidth, oy + kPanelButtonTop + kLevelBlockHeight};
}

void CLPLevelBlock::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  state_.Update();
  DXLMATRIX saved{};
  viewer->GetTransform(&saved);
  viewer->Translate(static_cast<float>(rect_.left), static_cast<float>(rect_.top));
  viewer->ApplyTransform(nullptr);
  DXLMATRIX base{};
  viewer->GetTransform(&base);
  pieces_.DrawPieces();
  if (picture_) DrawImageAt(picture_.get(), static_cast<float>(kLevelBlockWidth / 2), GetPictureY(), base);
  viewer->SetTransform(&base);
  viewer->ApplyTransform(nullptr);
  marks_.DrawPieces();
  viewer->SetTransform(&saved);
  viewer->ApplyTransform(nullptr);
}

#include "resources/SubSprite.h"

#include "base/Maths.h"
#include "engine/DXLViewer.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"

namespace {

constexpr u32 kDarkColor = 0x202020u;

float FrameWidth(const ImageSprite* image) {
  return image && image->GetSprite() ? static_cast<float>(image->GetSprite()->GetFrameWidth()) : 0.0f;
}

float FrameHeight(const ImageSprite* image) {
  return image && image->GetSprite() ? static_cast<float>(image->GetSprite()->GetFrameHeight()) : 0.0f;
}

}  // namespace

SubSpriteCustom::~SubSpriteCustom() { DeleteSpriteEffects(&effects_); }

// --- SubSpriteImage ------------------------------------------------------------------------

SubSpriteImage::SubSpriteImage(ImageSprite* image, const SSDATA& d) : image_(image) {
  Place(d.x, d.y, d.pivotX, d.pivotY, d.scaleX, d.scaleY);
}

SubSpriteImage::SubSpriteImage(ImageSprite* image, float x, float y, float pivotX, float pivotY, float scaleX,
                               float scaleY)
    : image_(image) {
  Place(x, y, pivotX, pivotY, scaleX, scaleY);
}

SubSpriteImage::~SubSpriteImage() { delete image_; }

// The bounds are the scaled frame, whole pixels, with the pivot on (x, y).
void SubSpriteImage::Place(float x, float y, float pivotX, float pivotY, float scaleX, float scaleY) {
  x_ = x;
  y_ = y;
  if (image_) {
    image_->SetPivot(pivotX, pivotY);
    image_->SetScale(scaleX, scaleY);
  }
  const float fw = FrameWidth(image_), fh = FrameHeight(image_);
  const i32 w = kis::RoundToInt(fw * scaleX), h = kis::RoundToInt(fh * scaleY);
  const i32 left = kis::RoundToInt(x - fw * pivotX * scaleX);
  const i32 top = kis::RoundToInt(y - fh * pivotY * scaleY);
  bounds_ = DXLRECT{left, top, left + w, top + h};
}

i32 SubSpriteImage::LeftEdge() const {
  const float pivotX = image_ ? image_->GetPivotX() : 0.0f, scaleX = image_ ? image_->GetScaleX() : 1.0f;
  return kis::RoundToInt(x_ - FrameWidth(image_) * pivotX * scaleX);
}

SubSpriteCustom* SubSpriteImage::Clone() const {
  if (!image_ || !image_->GetSprite()) return nullptr;
  ImageSprite* copy = image_->GetSprite()->CreateImageSprite(image_->FrameState().mirror != 0);
  if (!copy) return nullptr;
  auto* clone = new SubSpriteImage(copy, x_, y_, image_->GetPivotX(), image_->GetPivotY(), image_->GetScaleX(),
                                   image_->GetScaleY());
  copy->CopyParams(*image_);
  return clone;
}

void SubSpriteImage::Mirror(i32 width) {
  const i32 before = LeftEdge();
  x_ = static_cast<float>(width) - x_;
  if (image_) image_->SetPivot(1.0f - image_->GetPivotX(), image_->GetPivotY());
  const i32 shift = LeftEdge() - before;
  bounds_.left += shift;
  bounds_.right += shift;
}

void SubSpriteImage::GetBounds(DXLRECT* out) const {
  if (out) *out = bounds_;
}

void SubSpriteImage::Draw(bool dark) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || !image_) return;
  DeferredEffectCalls calls;  // what the effects call runs after this draw
  viewer->Translate(x_, y_);
  if (effects_) {
    UpdateSpriteEffects(&effects_);
    const u32 alpha = effects_ ? effects_->color & 0xFF000000u : 0xFF000000u;
    image_->SetColor((image_->GetColor() & 0x00FFFFFFu) | alpha);
  }
  if (IsFinished()) return;
  const u32 color = image_->GetColor();
  if (dark) image_->SetColor((color & 0xFF000000u) | kDarkColor);
  image_->Draw();
  if (dark) image_->SetColor(color);
}

// --- Lists -------------------------------------------------------------------------------------

void AddSubSprite(SubSpriteList** slot, SubSpriteCustom* subSprite) {
  if (!slot || !subSprite) return;
  if (!*slot) *slot = new SubSpriteList;
  (*slot)->Add(subSprite);
}

void ClearSubSprites(SubSpriteList** slot) {
  if (!slot || !*slot) return;
  SubSpriteList* list = *slot;
  *slot = nullptr;
  for (i32 i = list->GetCount() - 1; i >= 0; --i) delete list->Get(i);
  delete list;
}

SubSpriteCustom* CreateSubSprite(const SSDATA& description, bool mirror, i32 width) {
  if (description.kind != kSubSpriteImage || !description.sprite) return nullptr;
  ImageSprite* image = description.sprite->CreateImageSprite(mirror);
  if (!image) return nullptr;
  SubSpriteCustom* subSprite = new SubSpriteImage(image, description);
  if (mirror) subSprite->Mirror(width);
  return subSprite;
}

void DrawSubSprites(SubSpriteList** slot, bool dark) {
  DXLViewer* viewer = GetGameViewer();
  if (!slot || !*slot || !viewer) return;
  DeferredEffectCalls calls;
  SubSpriteList* list = *slot;
  DXLMATRIX saved;
  viewer->GetTransform(&saved);
  for (i32 i = 0; i < list->GetCount(); ++i) {
    SubSpriteCustom* subSprite = list->Get(i);
    viewer->SetTransform(&saved);
    subSprite->Draw(dark);
    if (!subSprite->IsFinished()) continue;
    list->Delete(i--);
    delete subSprite;
  }
  if (list->GetCount() > 0) return;
  delete list;
  *slot = nullptr;
}

#include "ui/HISprite.h"

#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "ui/BaseHintWindow.h"

HISprite::HISprite(BaseHintWindow* window, Sprite* sprite, i32 frame, u32 color) : HintItem(window) {
  if (sprite && sprite->GetSet()) image_.reset(sprite->GetSet()->CreateImageSprite(sprite, false));
  if (image_) {
    image_->SetFrame(frame);
    image_->SetColor(color);
  }
  SetSize(-1, -1);
  SetAlpha(owner_ ? owner_->GetColor() : 0xFF000000u);
}

HISprite::~HISprite() = default;

void HISprite::SetRect(i32 x, i32 y, i32 width, i32 height) {
  const Sprite* sprite = image_ ? image_->GetSprite() : nullptr;
  if (width == -1) width = sprite ? sprite->GetFrameWidth() : 0;
  if (height == -1) height = sprite ? sprite->GetFrameHeight() : 0;
  HintItem::SetRect(x, y, width, height);
}

void HISprite::SetAlpha(u32 alpha) {
  if (image_) image_->SetColor((image_->GetColor() & 0x00FFFFFFu) | (alpha & 0xFF000000u));
}

void HISprite::Draw() {
  if (!image_) return;
  MoveToPlace();
  image_->Draw();
  UnbindDrawTexture();
}

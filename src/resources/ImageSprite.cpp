#include "resources/ImageSprite.h"

#include "engine/DXLViewer.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteSet.h"

ImageSprite::ImageSprite(SpriteSet* set, Sprite* sprite, bool mirror) : set_(set), sprite_(sprite) {
  if (sprite_) sprite_->InitFrameState(&frameState_, false, mirror);
  if (set_) set_->AddImageSprite(this);
}

ImageSprite::~ImageSprite() {
  if (set_) set_->RemoveImageSprite(this);
}

void ImageSprite::SetDrawState(const DXLDRAWSTATE* state) {
  if (!state) {
    drawState_.reset();
  } else if (drawState_) {
    *drawState_ = *state;
  } else {
    drawState_ = std::make_unique<DXLDRAWSTATE>(*state);
  }
}

void ImageSprite::SetDrawStateValues(u8 minFilter, u8 magFilter, u32 addressU, u32 addressV, u32 blendMode,
                                     u32 colorOp, u32 alphaOp) {
  DXLDRAWSTATE state;
  DXLMakeDrawState(&state, minFilter, magFilter, addressU, addressV, blendMode, colorOp, alphaOp);
  SetDrawState(&state);
}

void ImageSprite::CopyParams(const ImageSprite& other) {
  color_ = other.color_;
  pivotX_ = other.pivotX_;
  pivotY_ = other.pivotY_;
  scaleX_ = other.scaleX_;
  scaleY_ = other.scaleY_;
  angle_ = other.angle_;
}

void ImageSprite::SetAnimation(const DXLFRAMESEQ* seq, bool restart) {
  if (!seq) {
    frameState_.animated = 0;
    return;
  }
  frameState_.seq = *seq;
  frameState_.animated = 1;
  if (!restart) return;
  frameState_.seq.elapsed = GameFrameTime();
  UpdateAnimFrame(&frameState_.seq);
}

void ImageSprite::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || !sprite_) return;
  viewer->ScaleXY(scaleX_, scaleY_);
  if (angle_ != 0.0f) viewer->Rotate(angle_ * 3.1415927f / 180.0f);
  viewer->Translate(-pivotX_ * static_cast<float>(sprite_->GetFrameWidth()),
                    -pivotY_ * static_cast<float>(sprite_->GetFrameHeight()));
  viewer->ApplyTransform(nullptr);
  if (drawState_) {
    const DXLDRAWSTATE* previous = SetBlendState(drawState_.get());
    sprite_->DrawFrameState(&frameState_, color_);
    SetBlendState(previous);
  } else {
    sprite_->DrawFrameState(&frameState_, color_);
  }
}

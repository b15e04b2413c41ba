#include "resources/MapSprite.h"

#include "base/Strings.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

MapSprite::MapSprite(SpriteSet* set, const wchar* name, Sprite* sprite, i32 hotX, i32 hotY)
    : set_(set), sprite_(sprite), hotX_(hotX), hotY_(hotY) {
  kis::StrCopy(name_, kSpriteNameSize, name && name[0] ? name : sprite ? sprite->GetName() : nullptr);
  if (set_) set_->AddMapSprite(this);
}

MapSprite::~MapSprite() {
  Release(true);
  if (set_) set_->RemoveMapSprite(this);
}

void MapSprite::ForEachPicture(bool init) {
  auto visit = [init](Sprite* picture) {
    if (!picture) return;
    if (init) {
      picture->Init();
    } else {
      picture->Release(false);
    }
  };
  for (const SSDATA& d : front_)
    if (d.kind == kSubSpriteImage) visit(d.sprite);
  for (const SSDATA& d : behind_)
    if (d.kind == kSubSpriteImage) visit(d.sprite);
  if (shadow_) visit(shadow_->sprite);
}

// The pictures are taken on the first Init only, so that the one Release at
// a count of 0 gives back exactly what was taken.
void MapSprite::Init() {
  if (!sprite_) return;
  if (initCount_ == 0) {
    sprite_->Init();
    if (!sprite_->IsLoaded()) return;
    frameWidth_ = sprite_->GetFrameWidth();
    ForEachPicture(true);
  }
  ++initCount_;
}

void MapSprite::Release(bool force) {
  if (!DropInit(force)) return;
  if (sprite_) sprite_->Release(false);
  ForEachPicture(false);
}

void MapSprite::GetHotSpotOffset(bool mirror, float* x, float* y) const {
  if (x) *x = static_cast<float>(mirror ? hotX_ - frameWidth_ : -hotX_);
  if (y) *y = static_cast<float>(-hotY_);
}

#include "resources/MapSprite.h"

#include "base/Strings.h"
#include "resources/NameIndex.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

MapSprite::MapSprite(SpriteSet* set, const wchar* name, Sprite* sprite, i32 hotX, i32 hotY)
    : MapSprite(set, name, sprite, hotX, hotY, std::pmr::get_default_resource()) {}

MapSprite::MapSprite(SpriteSet* set, const wchar* name, Sprite* sprite, i32 hotX, i32 hotY,
                     std::pmr::memory_resource* lists)
    : set_(set), sprite_(sprite), hotX_(hotX), hotY_(hotY), behind_(lists), front_(lists) {
  NameIndex<MapSprite>::CopyToBuffer(name_, name && name[0] ? name : sprite ? sprite->GetName() : nullptr);
  if (set_) set_->AddMapSprite(this);
}

MapSprite::~MapSprite() {
  Release(true);
  if (set_) set_->RemoveMapSprite(this);
}

void MapSprite::operator delete(MapSprite* mapSprite, std::destroying_delete_t) {
  const bool pooled = mapSprite->pooled_ != 0;
  mapSprite->~MapSprite();
  if (!pooled) ::operator delete(mapSprite);
}

void MapSprite::SetShadow(std::unique_ptr<SHADOWDATA> shadow) {
  if (shadow) {
    shadow_ = *shadow;
  } else {
    shadow_.reset();
  }
}

void MapSprite::SetArrays(std::vector<u8> a, std::vector<u8> b) {
  ownArrays_ = std::move(a);
  ownArrays_.insert(ownArrays_.end(), b.begin(), b.end());
  const u32 bytesA = static_cast<u32>(ownArrays_.size() - b.size());
  KeepArrays(ownArrays_.data(), bytesA, ownArrays_.data() + bytesA, static_cast<u32>(b.size()));
}

void MapSprite::KeepArrays(const u8* a, u32 bytesA, const u8* b, u32 bytesB) {
  arrayA_ = a;
  arrayB_ = b;
  bytesA_ = bytesA;
  bytesB_ = bytesB;
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
  // In float: the hot spot comes from the data and may be any 32-bit value.
  const float hx = static_cast<float>(hotX_);
  if (x) *x = mirror ? hx - static_cast<float>(frameWidth_) : -hx;
  if (y) *y = -static_cast<float>(hotY_);
}

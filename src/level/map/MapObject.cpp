#include "level/map/MapObject.h"

#include "engine/DXLViewer.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "resources/MapShadow.h"
#include "resources/SpriteEffect.h"

MapObject::MapObject(LevelMap& map, u32 layer) : map_(map), serial_(map.TakeSerial()), layer_(layer & 1) {
  map_.AddObject(this);
}

MapObject::~MapObject() {
  DetachFromLevel();
  DeleteSpriteEffects(&effects_);
  delete shadow_;
  shadow_ = nullptr;
  map_.RemoveObject(this);
  if (dead_) map_.RemoveDisposed(this);
  map_.ForgetObject(this);
}

void MapObject::OnAdded() {
  if (shadow_) shadow_->Register();
}

void MapObject::OnRemoved() {
  if (shadow_) shadow_->Unregister();
}

// The row and key are stored by the map when the object sits in a band.
void MapObject::SetPos(i32 x, i32 y) {
  const i32 row = y + sortOffsetY_;
  const i32 key = row * kLevelWidth + x + sortOffsetX_;
  if (inBand_) {
    map_.PlaceInBand(this, row, key);
  } else {
    sortRow_ = row;
    sortKey_ = key;
  }
}

void MapObject::AttachToLevel(u32 flags) {
  if (attached_) {
    if (attachFlags_ == flags) return;
    DetachFromLevel();
  }
  attachFlags_ = flags;
  attached_ = true;
  map_.PlaceInBand(this, sortRow_, sortKey_);
  OnAdded();
}

void MapObject::DetachFromLevel() {
  if (!attached_) return;
  attached_ = false;
  map_.RemoveFromBand(this);
  SetBandPlace(-1, sortRow_, sortKey_);
  OnRemoved();
}

void MapObject::AddEffect(SpriteEffect* effect) {
  if (!effect) return;
  if (shadow_) shadow_->AttachEffect(effect->Clone());
  AttachSpriteEffect(&effects_, effect);
}

void MapObject::ClearEffects() {
  if (effects_) {
    if (effectAlphaActive_) color_ |= 0xFF000000u;
    DeleteSpriteEffects(&effects_);
  }
  effectAlphaActive_ = false;
  if (shadow_) shadow_->StopEffects();
}

bool MapObject::Highlight() {
  if (highlighted_ || dead_) return false;
  highlighted_ = true;
  return true;
}

i32 MapObject::GetPointIndex() const { return ownerPoint_ ? ownerPoint_->GetIndex() : -1; }

MapObject* MapObject::OnClick() {
  if (!ownerPoint_) return this;
  ownerPoint_->Select(this);
  return nullptr;
}

void MapObject::Dispose() {
  if (dead_) return;
  Release();
  map_.AddDisposed(this);
  dead_ = true;
  highlighted_ = false;
  if (shadow_) shadow_->SetOwnerAlive(false);
  if (map_.GetHoveredObject() == this) map_.SetHoveredObject(nullptr);
}

u32 MapObject::DisposeWithEffect(u32 delay, SpriteEffect* effect) {
  if (dead_) {
    delete effect;
    return delay;
  }
  ClearEffects();
  delay = StartRemoval(delay);
  Dispose();
  if (effect) {
    const u32 duration = effect->GetDuration();
    AddEffect(effect);
    delay += duration;
  }
  return delay;
}

void MapObject::SetShadow(LevelShadow* shadow) {
  if (shadow == shadow_) return;
  delete shadow_;
  shadow_ = shadow;
  if (shadow_ && attached_) shadow_->Register();
}

void MapObject::SetSortOffset(i32 dx, i32 dy) {
  if (dx == sortOffsetX_ && dy == sortOffsetY_) return;
  sortOffsetX_ = dx;
  sortOffsetY_ = dy;
  i32 x = 0, y = 0;
  if (GetSortPosition(&x, &y)) SetPos(x, y);
}

bool MapObject::GetSortPosition(i32*, i32*) const { return false; }

// While an effect drives the colour, its alpha is the object's; when the
// effects end the object is opaque again.
bool MapObject::UpdateEffects() {
  if (!effects_) {
    effectAlphaActive_ = false;
    return false;
  }
  const bool remain = UpdateSpriteEffects(&effects_);
  if (remain) {
    effectAlphaActive_ = (effects_->flags & kEffectColor) != 0;
    if (effectAlphaActive_) color_ = (color_ & 0x00FFFFFFu) | (GetEffectColor(effects_, color_) & 0xFF000000u);
  } else if (effectAlphaActive_) {
    color_ |= 0xFF000000u;
    effectAlphaActive_ = false;
  }
  return remain;
}

// Additive blending, built once.
const DXLDRAWSTATE* MapHighlightBlend() {
  static const DXLDRAWSTATE state = [] {
    DXLDRAWSTATE s{};
    DXLMakeSimpleDrawState(&s, 1, 3, kBlendAdd, 4);
    return s;
  }();
  return &state;
}

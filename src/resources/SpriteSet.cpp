#include "resources/SpriteSet.h"

#include <string>

#include "base/Strings.h"
#include "engine/DXLApp.h"
#include "engine/DXLLog.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextureLoaderDataFile.h"
#include "engine/DXLTextures.h"
#include "resources/ImageSprite.h"
#include "resources/MapSprite.h"
#include "resources/RecordPool.h"
#include "resources/Sprite.h"

namespace {

SpriteSet** Sets() { return GetResourceServices().registries->spriteSets; }

}  // namespace

SpriteSet::SpriteSet(u32 number) : number_(number), textures_(std::make_unique<DXLTextures>(GetGameViewer())) {
  DXLGetTextureLists()->Add(textures_.get());
  if (number_ < kSpriteSetCount) Sets()[number_] = this;
}

SpriteSet::~SpriteSet() {
  while (lastImage_) delete lastImage_;  // each leaves the chain
  mapSprites_.DeleteAll();
  sprites_.DeleteAll();
  pools_.clear();  // after the records made in them
  textures_->DestroyAll();
  DXLGetTextureLists()->Remove(textures_.get());
  textures_.reset();
  loaders_.clear();  // after the textures they feed
  if (number_ < kSpriteSetCount && Sets()[number_] == this) Sets()[number_] = nullptr;
}

void SpriteSet::AddSprite(Sprite* sprite) {
  if (sprite) sprites_.AddMade(sprite, sprite->name_);
}

void SpriteSet::RemoveSprite(Sprite* sprite) {
  sprites_.Remove(sprite);
}

void SpriteSet::AddMapSprite(MapSprite* mapSprite) {
  if (mapSprite) mapSprites_.AddMade(mapSprite, mapSprite->name_);
}

void SpriteSet::RemoveMapSprite(MapSprite* mapSprite) {
  mapSprites_.Remove(mapSprite);
}

void SpriteSet::AddImageSprite(ImageSprite* image) {
  if (!image || image->prevInSet_ || image->nextInSet_ || firstImage_ == image) return;  // already in
  image->prevInSet_ = lastImage_;
  if (lastImage_) {
    lastImage_->nextInSet_ = image;
  } else {
    firstImage_ = image;
  }
  lastImage_ = image;
  ++imageCount_;
}

void SpriteSet::RemoveImageSprite(ImageSprite* image) {
  if (!image || (!image->prevInSet_ && firstImage_ != image)) return;  // not in the chain
  (image->prevInSet_ ? image->prevInSet_->nextInSet_ : firstImage_) = image->nextInSet_;
  (image->nextInSet_ ? image->nextInSet_->prevInSet_ : lastImage_) = image->prevInSet_;
  image->prevInSet_ = image->nextInSet_ = nullptr;
  --imageCount_;
}

namespace {

// A sprite or map sprite asked for by name and not in the set: the log says
// which (once a name).
void LogSpriteMiss(const char* kind, u32 set, const wchar* name) {
  if (!name || !name[0]) return;
  const std::string where = std::to_string(set) + "/";
  std::u16string named(where.begin(), where.end());
  named += name;
  DXLLogLookupMissW(kind, named.c_str());
}

}  // namespace

const kis::list<Sprite*>& SpriteSet::GetSprites() const {
  return sprites_.List([this](SpriteSlot* slot) { return MakeSprite(slot); });
}
const kis::list<MapSprite*>& SpriteSet::GetMapSprites() const {
  return mapSprites_.List([this](MapSpriteSlot* slot) { return MakeMapSprite(slot); });
}

Sprite* SpriteSet::Made(SpriteSlot* slot) const {
  if (!slot) return nullptr;
  return slot->made ? slot->made : MakeSprite(slot);
}
MapSprite* SpriteSet::Made(MapSpriteSlot* slot) const {
  if (!slot) return nullptr;
  return slot->made ? slot->made : MakeMapSprite(slot);
}

Sprite* SpriteSet::ProbeSprite(const wchar* name) const { return Made(sprites_.Find(name)); }

Sprite* SpriteSet::FindSprite(const wchar* name) const {
  Sprite* sprite = Made(sprites_.Find(name));
  if (!sprite) LogSpriteMiss("sprite", number_, name);
  return sprite;
}
Sprite* SpriteSet::FindStoredSprite(const wchar (&name)[kSpriteNameSize]) const {
  return Made(sprites_.FindBuffer(name));
}
MapSprite* SpriteSet::FindMapSprite(const wchar* name) const {
  MapSprite* sprite = Made(mapSprites_.Find(name));
  if (!sprite) LogSpriteMiss("map sprite", number_, name);
  return sprite;
}

DXLTexture* SpriteSet::FindTexture(const wchar* name) const {
  if (!name || !name[0]) return nullptr;
  return textures_->FindTextureI(name);
}

ImageSprite* SpriteSet::CreateImageSprite(Sprite* sprite, bool mirror) {
  if (!sprite || !sprite->IsLoaded()) return nullptr;
  return new ImageSprite(this, sprite, mirror);
}

ImageSprite* SpriteSet::CreateImageSpriteByName(const wchar* name, bool mirror) {
  return CreateImageSprite(FindSprite(name), mirror);
}

SpriteSet* GetSpriteSet(u32 number) { return number < kSpriteSetCount ? Sets()[number] : nullptr; }

Sprite* GetSpriteByName(u32 set, const wchar* name) {
  const SpriteSet* s = GetSpriteSet(set);
  return s ? s->FindSprite(name) : nullptr;
}

DXLTextures* GetSpriteSetTextures(u32 set) {
  const SpriteSet* s = GetSpriteSet(set);
  return s ? s->GetTextures() : nullptr;
}

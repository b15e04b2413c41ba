// MapSprite - the picture of an object placed on a level: a Sprite of the
// same set with a hot spot and a second point (pixels from the frame's
// top-left), an optional shadow description, the sub-sprite descriptions
// drawn behind and in front of it, and two arrays of records that the users
// of map sprites read (kept here as stored).
//
// Reference counted: the first Init loads the sprite and, once it has
// loaded, the pictures of the kind-1 sub-sprites (in front, then behind) and
// of the shadow; the last Release gives all of them back. A map sprite whose
// sprite is missing or does not load never counts as loaded.
//
// Ownership as for sprites: the set deletes its map sprites when it goes,
// their maker may delete them sooner. Those the set reads live in their
// section's memory (RecordPool) with their sub-sprite lists, their arrays in
// the section's bytes kept there.
#pragma once

#include <memory>
#include <memory_resource>
#include <new>
#include <optional>
#include <vector>

#include "base/Types.h"
#include "resources/InitObject.h"
#include "resources/ShadowData.h"
#include "resources/SpriteRecords.h"

class Sprite;
class SpriteSet;

class MapSprite : public InitObject {
 public:
  // Adds itself to the set's list; an empty name takes the sprite's.
  MapSprite(SpriteSet* set, const wchar* name, Sprite* sprite, i32 hotX, i32 hotY);
  ~MapSprite() override;
  // Destroys the map sprite, and frees its memory unless that belongs to a
  // section of its set.
  void operator delete(MapSprite* mapSprite, std::destroying_delete_t);

  void Init() override;
  void Release(bool force) override;

  // Where to draw the frame relative to the object's position: (-hot spot),
  // or mirrored (hot spot x - frame width, -hot spot y).
  void GetHotSpotOffset(bool mirror, float* x, float* y) const;

  void SetSecondPoint(i32 x, i32 y) {
    secondX_ = x;
    secondY_ = y;
  }
  void SetShadow(std::unique_ptr<SHADOWDATA> shadow);  // a copy; null drops it
  // Records of 20 (A) and 32 (B) bytes, as stored.
  void SetArrays(std::vector<u8> a, std::vector<u8> b);
  std::pmr::vector<SSDATA>& Behind() { return behind_; }
  std::pmr::vector<SSDATA>& InFront() { return front_; }

  SpriteSet* GetSet() const { return set_; }
  const wchar* GetName() const { return name_; }
  Sprite* GetSprite() const { return sprite_; }
  i32 GetHotX() const { return hotX_; }
  i32 GetHotY() const { return hotY_; }
  i32 GetSecondX() const { return secondX_; }
  i32 GetSecondY() const { return secondY_; }
  i32 GetFrameWidth() const { return frameWidth_; }
  const SHADOWDATA* GetShadow() const { return shadow_ ? &*shadow_ : nullptr; }
  const std::pmr::vector<SSDATA>& Behind() const { return behind_; }
  const std::pmr::vector<SSDATA>& InFront() const { return front_; }
  u32 GetCountA() const { return bytesA_ / kMapSpriteARecordSize; }
  u32 GetCountB() const { return bytesB_ / kMapSpriteBRecordSize; }
  const u8* GetArrayA() const { return bytesA_ ? arrayA_ : nullptr; }
  const u8* GetArrayB() const { return bytesB_ ? arrayB_ : nullptr; }

 private:
  // Init or Release of every kind-1 sub-sprite picture and the shadow picture.
  void ForEachPicture(bool init);

  // The set's section readers make their map sprites in the section's
  // memory (marked pooled), the sub-sprite lists drawing on it too, and
  // point the arrays at the section's bytes.
  friend class SpriteSet;
  MapSprite(SpriteSet* set, const wchar* name, Sprite* sprite, i32 hotX, i32 hotY,
            std::pmr::memory_resource* lists);
  void KeepArrays(const u8* a, u32 bytesA, const u8* b, u32 bytesB);

  SpriteSet* set_;
  wchar name_[kSpriteNameSize] = {};
  Sprite* sprite_;
  i32 hotX_;
  i32 hotY_;
  i32 secondX_ = 0;
  i32 secondY_ = 0;
  i32 frameWidth_ = 0;
  u8 pooled_ = 0;  // in its set's section memory
  std::optional<SHADOWDATA> shadow_;
  std::pmr::vector<SSDATA> behind_;
  std::pmr::vector<SSDATA> front_;
  const u8* arrayA_ = nullptr;  // bytesA_ of them, kept by the section or in ownArrays_
  const u8* arrayB_ = nullptr;
  u32 bytesA_ = 0;
  u32 bytesB_ = 0;
  std::vector<u8> ownArrays_;   // SetArrays' bytes: A, then B
};

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
#pragma once

#include <memory>
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

  void Init() override;
  void Release(bool force) override;

  // Where to draw the frame relative to the object's position: (-hot spot),
  // or mirrored (hot spot x - frame width, -hot spot y).
  void GetHotSpotOffset(bool mirror, float* x, float* y) const;

  void SetSecondPoint(i32 x, i32 y) {
    secondX_ = x;
    secondY_ = y;
  }
  void SetShadow(std::unique_ptr<SHADOWDATA> shadow) { shadow_ = std::move(shadow); }
  // Records of 20 (A) and 32 (B) bytes, as stored.
  void SetArrays(std::vector<u8> a, std::vector<u8> b) {
    arrayA_ = std::move(a);
    arrayB_ = std::move(b);
  }
  std::vector<SSDATA>& Behind() { return behind_; }
  std::vector<SSDATA>& InFront() { return front_; }

  SpriteSet* GetSet() const { return set_; }
  const wchar* GetName() const { return name_; }
  Sprite* GetSprite() const { return sprite_; }
  i32 GetHotX() const { return hotX_; }
  i32 GetHotY() const { return hotY_; }
  i32 GetSecondX() const { return secondX_; }
  i32 GetSecondY() const { return secondY_; }
  i32 GetFrameWidth() const { return frameWidth_; }
  const SHADOWDATA* GetShadow() const { return shadow_.get(); }
  const std::vector<SSDATA>& Behind() const { return behind_; }
  const std::vector<SSDATA>& InFront() const { return front_; }
  u32 GetCountA() const { return static_cast<u32>(arrayA_.size() / kMapSpriteARecordSize); }
  u32 GetCountB() const { return static_cast<u32>(arrayB_.size() / kMapSpriteBRecordSize); }
  const u8* GetArrayA() const { return arrayA_.empty() ? nullptr : arrayA_.data(); }
  const u8* GetArrayB() const { return arrayB_.empty() ? nullptr : arrayB_.data(); }

 private:
  // Init or Release of every kind-1 sub-sprite picture and the shadow picture.
  void ForEachPicture(bool init);

  SpriteSet* set_;
  wchar name_[kSpriteNameSize] = {};
  Sprite* sprite_;
  i32 hotX_;
  i32 hotY_;
  i32 secondX_ = 0;
  i32 secondY_ = 0;
  i32 frameWidth_ = 0;
  std::unique_ptr<SHADOWDATA> shadow_;
  std::vector<SSDATA> behind_;
  std::vector<SSDATA> front_;
  std::vector<u8> arrayA_;
  std::vector<u8> arrayB_;
};

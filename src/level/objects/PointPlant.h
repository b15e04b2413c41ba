// PointPlant - a plant bed: the plant point whose look is a patch of tilled
// ground of the bed's level (the beds' ground look of the plant table) with
// the level's crops standing on it (MapPlant), as many as the bed stage of
// its level places. The bed's anchors come from that stage; a bed at level
// 0 (being dug) shows its ground half transparent and no crops.
//
// A crop of F frames shows frame floor(growth x (F - 2) / 100): the last
// frame is never reached by growth, fewer than 3 frames show frame 0. A
// harvest gives one unit a crop.
#pragma once

#include <vector>

#include "level/map/SpriteObject.h"
#include "level/objects/BasePointPlant.h"

class MapPlant;
struct BEDSTAGE;

constexpr u32 kObjectBedGround = 0x10000200u;  // the bed's ground
constexpr u32 kObjectCrop = 0x10000400u;       // a crop on it
constexpr u32 kCropEffectTime = 150;           // ms of a crop's appear, removal and frame effects
constexpr u32 kBedGroundFadeTime = 200;        // ms of the ground's fades

class PointPlant : public BasePointPlant {
 public:
  PointPlant(LevelMap& map, PLANT* plant);
  ~PointPlant() override;

  void GetWorkOffset(POINTPOS* out) const override;
  void GetStarsAnchor(POINTPOS* out) const override;
  void GetProgressAnchor(POINTPOS* out) const override;
  void GetButtonAnchor(POINTPOS* out) const override;
  i32 GetYield() const override { return static_cast<i32>(cropCount_); }
  void HighlightCrop() override;  // every crop

  SpriteObject* GetGround() const { return ground_; }
  const std::vector<MapPlant*>& GetCrops() const { return crops_; }

 protected:
  u32 BuildVisual(bool animate, u32 delay) override;
  void UpdateVisual(bool animate) override;
  // The crops go with their removal effect; the ground fades out when the
  // bed goes or was planted, else it goes at once.
  u32 DoShutdown(bool fade, bool final, u32 delay) override;
  bool IsOwnPicture(u32 kind) const override { return kind == kObjectBedGround || kind == kObjectCrop; }

 private:
  const BEDSTAGE& Stage() const;  // of the level, the first for levels below 1

  SpriteObject* ground_ = nullptr;
  std::vector<MapPlant*> crops_;
  u32 cropCount_ = 0;
};

// One crop of a bed: the kind's crop map sprite, its frame the growth's.
class MapPlant : public SpriteObject {
 public:
  MapPlant(PointPlant& point, i32 x, i32 y);

  // The appear effect of the kind after the delay; the delay once it has played.
  u32 ShowWithEffect(bool animate, u32 delay);
  u32 StartRemoval(u32 delay) override;  // shrinks away or fades, by the kind's effect
  // A frame change with animate cross-fades from the old frame.
  void SetFrame(i32 frame, bool animate);
  i32 GetFrame() const { return frame_; }

 private:
  u8 effect_;  // the kind's crop effect: 1 scale, 2 fade
  i32 frame_ = -1;
};

// A copy of `frame` of the object's sprite laid over its main frame,
// fading from 1 to 0 over 100 ms after 120 ms, while the object itself
// comes up from 0.2 alpha (a cross-fade to its new frame).
void CrossFadeFrame(SpriteObject& object, i32 oldFrame);

// MapVillainAttack - the villains' attack of a fresh profile on the
// level-selection map: villains (MLCVillain) walk onto the map, set up a
// catapult (MLCCatapult) and shoot gas (MLCVillainShot) at level nodes,
// which then turn to their hidden look. The characters and their jobs are
// MapLevelCharacter.h's.
#pragma once

#include <memory>

#include "app/MapLevelCharacter.h"
#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLDrawTypes.h"

class GPSEmiter;
class GPSSpace;
class ImageSprite;
class SpriteEffectList;

// Character description ids (the group's kinds in content/MapSection.h).
constexpr u32 kMapCharVillain = 6;
constexpr u32 kMapCharCatapult = 7;

constexpr float kMapShotSpeed = 4.0f;  // map units per update

// What the villains' attack needs of the map (LevelSelectMap).
class MapAttackHost {
 public:
  virtual ~MapAttackHost() = default;
  // A level's node position; false for a level that has no node.
  virtual bool GetLevelNodePos(i32 level, float* x, float* y) const = 0;
  // The level's node switched to mask 0x1 (its hidden look), its
  // decorations fading over from now (animated, no delay).
  virtual void LockLevelNode(i32 level) = 0;
  // The map's particle space (the shots' gas), or null.
  virtual GPSSpace* GetAttackParticles() = 0;
};

class MLCCatapult : public MapLevelCharacter {
 public:
  MLCCatapult();
  bool shadowShown = false;
  bool bodyShown = false;
};

class MLCVillainShot {
 public:
  MLCVillainShot(MapAttackHost* host, float x, float y, i32 level);
  ~MLCVillainShot();
  MLCVillainShot(const MLCVillainShot&) = delete;
  MLCVillainShot& operator=(const MLCVillainShot&) = delete;
  void Update(u32 ms);
  void Draw(const DXLMATRIX& base);

  bool IsFinished() const { return finished_; }
  bool IsExploded() const { return exploded_; }
  float GetX() const { return x_; }
  float GetY() const { return y_; }
  float GetTravelled() const { return travelled_; }
  i32 GetLevel() const { return level_; }
  GPSEmiter* GetEmitter() const { return emitter_; }
  ImageSprite* GetImage() const { return image_.get(); }

 private:
  void Explode();
  void SetImage(const wchar* name);

  MapAttackHost* host_;
  float startX_, startY_;
  i32 level_;
  float dx_ = 0, dy_ = 0, length_ = 0;
  float travelled_ = 0;
  float x_, y_;
  std::unique_ptr<ImageSprite> image_;
  u32 imageTime_ = 0;
  u32 frameTime_ = 60;
  i32 frameCount_ = 1;
  i32 frame_ = 0;
  bool finished_ = false;
  bool exploded_ = false;
  GPSEmiter* emitter_ = nullptr;
  SpriteEffectList* effects_ = nullptr;
};

class MLCVillain : public MapLevelCharacter {
 public:
  static constexpr u32 kMaxTargets = 3;
  // Levels counted from 1 (at most 3 kept).
  MLCVillain(MapAttackHost* host, i32 startX, i32 startY, float targetX, float targetY, i32 variant, u32 count,
             const i32* levels);
  ~MLCVillain() override;
  void SetStep(i32 step);
  void Update(u32 ms) override;
  void OnJobDone(u32 tag) override { SetStep(static_cast<i32>(tag) + 1); }
  // From the map's transform, alpha 255.
  void DrawAll(const DXLMATRIX& base);

  i32 GetStep() const { return step_; }
  u32 GetShotsFired() const { return fired_; }
  MLCCatapult* GetCatapult() const { return catapult_.get(); }
  const kis::list<MLCVillainShot*>& Shots() const { return shots_; }
  bool IsMade() const { return description_ != nullptr; }

 private:
  MapAttackHost* host_;
  i32 startX_, startY_;
  float pointX_, pointY_;
  i32 variant_;
  u32 targetCount_ = 0;
  i32 targets_[kMaxTargets] = {};
  u32 fired_ = 0;
  std::unique_ptr<MLCCatapult> catapult_;
  i32 step_ = 0;
  kis::list<MLCVillainShot*> shots_;
};

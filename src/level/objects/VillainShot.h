// VillainShot - a villain's gas shot flying from the catapult to a level
// point. It moves once per 10-ms tick: speed = the distance over the
// flight time's ticks, at most the kind's greatest distance a tick (a
// flight shorter than one tick flies at that greatest distance). On
// arrival it poisons its target when the target can still be damaged and
// is gone; otherwise it bursts. A click bursts it and pays the kind's
// bursting money. A burst shot shows its gas cloud once and is gone.
//
// The shots live in the villains' list (LevelVillainCast), which updates
// and draws them above the level; they are not in the map's draw order.
// A shot trails gas ("bullet_gas") from an emitter in a particle space of
// its own, the faster shot the denser: the system's burst intervals scaled
// by min(1.5 - speed / 2, 1.5). A burst stops the trail; its puffs fade.
//
// Record (28 bytes): size 28, finished flag (1: dead or burst, nothing
// more is used), target index, villain kind id, start x, start y (i32),
// distance travelled (f32).
#pragma once

#include <memory>

#include "engine/DXLFrameSeq.h"
#include "level/map/DynObject.h"

namespace kis {
class DataCursor;
}

class GPSEmiter;
class GPSSpace;
class ImageSprite;
class LevelVillainCast;
struct VILLAININFO;

constexpr u32 kShotRecordSize = 28;
constexpr u32 kGasFrameTime = 60;  // ms a frame of the burst's gas cloud

class VillainShot : public DynObject {
 public:
  // From (x, y) to the map's point `target`, listed in the villains' shots.
  VillainShot(LevelVillainCast& villains, float x, float y, i32 target, const VILLAININFO* info, bool animate);
  ~VillainShot() override;  // leaves the list

  void Draw() override;
  i32 GetPointIndex() const override;  // the hover: lit; -1
  MapObject* OnClick() override;       // paid and burst

  void Update(u32 ms);
  void Burst();  // once
  // The distance travelled (clamped to 0 .. the distance); the position follows.
  void SetTravelled(float travelled);

  bool Save(kis::DataCursor* writer) const;
  // A shot of the record, or none for a finished one; false for a wrong
  // size, an unknown kind, a target that is not one of the map's points, a
  // start more than 100,000 off the map or a travelled distance that is
  // negative or not finite.
  static bool Load(LevelVillainCast& villains, kis::DataCursor* reader);

  i32 GetTarget() const { return target_; }
  const VILLAININFO* GetInfo() const { return info_; }
  float GetStartX() const { return startX_; }
  float GetStartY() const { return startY_; }
  float GetDistance() const { return distance_; }
  float GetSpeed() const { return speed_; }
  float GetTravelled() const { return travelled_; }
  bool IsBurst() const { return burst_; }
  const GPSEmiter* GetTrail() const { return emitter_; }
  u32 GetBurstClock() const { return burstClock_; }
  // The flying bullet, or the burst's gas: its frame follows the shot's
  // updates (the bullet's sequence over the flight, the gas over the burst).
  const ImageSprite* GetImage() const { return image_.get(); }

 private:
  void Arrive();

  LevelVillainCast& villains_;
  i32 target_;
  float startX_, startY_;
  const VILLAININFO* info_;
  float dx_ = 0.0f, dy_ = 0.0f;
  float distance_ = 0.0f;
  float speed_ = 0.0f;
  float travelled_ = 0.0f;
  std::unique_ptr<ImageSprite> image_;
  bool burst_ = false;
  bool hovered_ = false;
  u32 burstClock_ = 0;
  u32 burstLength_ = 0;
  u32 growClock_ = 0;
  u32 flightClock_ = 0;            // ms of updates since the shot was made
  DXLFRAMESEQ flightSequence_{};   // the bullet's own (count 0: none)
  std::unique_ptr<GPSSpace> gas_;  // the trail's puffs
  GPSEmiter* emitter_ = nullptr;   // owned by gas_ until the burst deletes it
};

// A shot's speed a tick: distance over the flight's ticks, capped (see above).
float ShotSpeed(float distance, u32 flightTime, u32 tick, float greatest);

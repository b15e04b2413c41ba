// GPSEmiter - makes the particles of one particle system in a space: after
// its start delay it emits bursts at random intervals (at least 1 ms apart),
// each of a random number of particles placed by the definition's emission
// shape around the emitter's position, for its life (or for ever) and, with
// a cycle period, in cycles that a gentle stop lets finish.
//
// States: 0 stopped, 1 finishing the current cycle, 2 running. A new
// emitter is stopped. It is dead (inert for good) at once when its
// definition's life is 0, when it has no parameter record (none given and
// none with the definition's id) or no definition, and later when its life
// runs out. See GPSSpace for who deletes it.
#pragma once

#include "base/Types.h"
#include "resources/GPSClass.h"
#include "resources/ParticleRecords.h"

class GPSParticle;
class GPSSpace;
class Sprite;

class GPSEmiter : public GPSClass {
 public:
  static constexpr u32 kStopped = 0;
  static constexpr u32 kFinishing = 1;
  static constexpr u32 kRunning = 2;

  // Copies the definition and the parameter record (null: the library's of
  // the definition's id), finds the sprite by name in the particle sprite
  // set and joins the space.
  GPSEmiter(GPSSpace* space, const GPSSYSTEM* definition, const GPSPARAMS* params, float x, float y);
  ~GPSEmiter() override;  // leaves its space

  // From stopped: the start delay, the first burst at once, a new cycle;
  // then running. Nothing when dead or running.
  void Start();
  // A running emitter with a cycle period finishes its cycle unless stopped
  // immediately; otherwise it stops at once.
  void Stop(bool immediately);
  void Update(float dt);  // one step of its space (ms)

  void SetPosition(float x, float y) {
    x_ = x;
    y_ = y;
  }
  float GetX() const { return x_; }
  float GetY() const { return y_; }
  u32 GetState() const { return state_; }
  bool IsDead() const { return dead_ != 0; }
  bool HasLimitedLife() const { return limitedLife_ != 0; }
  float GetLifeLeft() const { return lifeLeft_; }
  float GetDelayLeft() const { return delayLeft_; }
  float GetTimeToBurst() const { return nextBurst_; }
  float GetCycleTime() const { return cycleTime_; }
  GPSSpace* GetSpace() const { return space_; }
  Sprite* GetSprite() const { return sprite_; }
  const GPSSYSTEM& GetDefinition() const { return definition_; }
  const GPSPARAMS& GetParams() const { return params_; }

 private:
  // One burst; each particle is advanced by `advance` ms at once. False when
  // a particle could not be made (the space is full or has no picture).
  bool Burst(float advance);
  // Where particle i of a burst of n starts, before mirroring.
  void Place(i32 i, i32 n, float* x, float* y) const;
  GPSParticle* MakeParticle(float x, float y);

  GPSSpace* space_;
  u32 handle_ = 0;
  GPSSYSTEM definition_{};
  Sprite* sprite_ = nullptr;
  GPSPARAMS params_{};
  u8 limitedLife_ = 0;
  u8 dead_ = 0;
  u32 state_ = kStopped;
  float lifeLeft_ = 0.0f;
  float delayLeft_ = 0.0f;
  float nextBurst_ = 0.0f;
  float cycleTime_ = 0.0f;
  float x_;
  float y_;
};

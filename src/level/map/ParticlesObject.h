// ParticlesObject - a particle emitter on the map (smoke, sparkles, the
// dust of garbage): a particle space of its own, drawn at its position in
// depth order and advanced with the level's ticks. Made attached. When it
// is disposed its emitters stop and it keeps drawing (for at most 30 s)
// until its last particle has died; then the next purge deletes it.
#pragma once

#include "level/map/MapObject.h"

class GPSSpace;

class ParticlesObject : public MapObject {
 public:
  // Takes the space; its time scale 1.0; attached with flags 0.
  ParticlesObject(LevelMap& map, u32 layer, GPSSpace* space, i32 x, i32 y, i32 sortX, i32 sortY);
  ~ParticlesObject() override;

  void Release() override;  // the wait for the particles, emitters stopped
  void Draw() override;

  void Update(u32 ms);  // the space advances
  void StartEmitters();
  void StopEmitters();
  void SetTimeScale(float scale);

  i32 GetX() const { return x_; }
  i32 GetY() const { return y_; }
  GPSSpace* GetSpace() const { return space_; }

 protected:
  bool GetSortPosition(i32* x, i32* y) const override;

 private:
  i32 x_;
  i32 y_;
  GPSSpace* space_;
};

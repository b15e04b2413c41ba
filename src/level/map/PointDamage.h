// PointDamage - the toxic damage a villain leaves on a level point: a puddle
// on the ground, up to ten puffs of gas rising from it, and a progress line
// draining as the damage wears off. While it lasts the point stops working
// and a red repair arrow offers the player's repair (LevelPointCare).
//
// Life: made on (not cleared) -> counts down in its point's update while
// the running tutorial allows it -> cleared (puddle and line fade out, the
// arrow and any repair job go) -> disposes itself once its last puff has
// died. A new hit while damaged extends the time left (and the total when
// longer) and adds a puff. The point owns it (BaseLevelPoint::SetDamage);
// once disposed, the map's disposal list deletes it.
#pragma once

#include "base/Types.h"
#include "engine/DXLFrameSeq.h"
#include "level/map/MapObject.h"

namespace kis {
class DataCursor;
}

class BaseLevelPoint;
class ImageSprite;
class SSProgressLine;
class SpriteObject;

// What the damage keeps of the villain that caused it.
struct DAMAGESOURCE {
  u32 villainId = 0;   // written before the damage record (0 is "none")
  u32 damageTime = 0;  // ms
};

constexpr u32 kMaxPuffs = 10;
constexpr u32 kDamageRecordSize = 136;
constexpr i32 kDamageLineWidth = 64;
constexpr i32 kRepairLineRise = 32;  // the line moves up while a repair runs

struct GASPUFF {
  float x = 0.0f, y = 0.0f;  // from the damage's position
  u32 age = 0;               // ms
};

class PointDamage : public MapObject {
 public:
  // On the point at (x, y) with the sort offset, for the source's damage
  // time (at least one run of the gas), attached to the level with one puff.
  PointDamage(BaseLevelPoint* point, i32 x, i32 y, i32 sortX, i32 sortY, const DAMAGESOURCE* source, bool fade);
  ~PointDamage() override;

  void Release() override;  // cleared; the point forgets it and its repair
  void Draw() override;     // the puffs

  // True when the state changed (see the header comment).
  bool SetCleared(bool cleared, bool fade);
  void SetRemaining(u32 ms, bool fade);
  // One update of ms: the time the point may still use.
  u32 Update(u32 ms);
  // Remakes the line 32 higher while a repair runs, back when not.
  void RaiseLine(bool raised);

  // The 136-byte record; reading it back refuses a short or malformed one
  // (wrong size, more than ten puffs, a float that is not finite, a puff or
  // countdown out of range) and then changes nothing.
  bool SaveRecord(kis::DataCursor* writer) const;
  bool LoadRecord(kis::DataCursor* reader);

  BaseLevelPoint* GetPoint() const { return point_; }
  const DAMAGESOURCE& GetSource() const { return source_; }
  bool IsCleared() const { return cleared_; }
  u32 GetRemaining() const { return remaining_; }
  u32 GetTotal() const { return total_; }
  u32 GetPuffCount() const { return puffCount_; }
  const GASPUFF& GetPuff(u32 i) const { return puffs_[i % kMaxPuffs]; }
  float GetCountdown() const { return countdown_; }
  u32 GetPuffLifetime() const { return puffLifetime_; }
  float GetPuffInterval() const { return puffInterval_; }
  SSProgressLine* GetLine() const { return line_; }
  SpriteObject* GetPuddle() const { return puddle_; }

 private:
  void AddPuff(float x, float y, u32 age);
  void MakeLine(bool instant);
  void SetLineProgress();

  BaseLevelPoint* point_;
  DAMAGESOURCE source_;
  i32 x_, y_;
  ImageSprite* gas_ = nullptr;
  DXLFRAMESEQ gasSeq_{};
  u32 puffLifetime_ = 0;
  float puffInterval_ = 0.0f;
  float countdown_ = 0.0f;
  u32 puffCount_ = 0;
  GASPUFF puffs_[kMaxPuffs];
  u32 remaining_ = 0;
  u32 total_ = 0;
  bool cleared_ = true;
  bool lineRaised_ = false;
  SSProgressLine* line_ = nullptr;
  SpriteObject* puddle_ = nullptr;
};

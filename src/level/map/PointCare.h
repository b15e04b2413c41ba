// PointCare - what the level points leave to the toxic damage and to the
// clearing, pull-down and repair jobs: the damage's share of a point's
// time, its saved record, and the jobs a point starts. A point keeps its
// damage as a map object of its own (deleted with it) and the repair job
// and arrow as plain links. LevelPointCare implements it; the scene makes
// its own unless given another.
#pragma once

#include "base/Types.h"

namespace kis {
class DataCursor;
}

class BaseLevelPoint;
class EmptyLevelPoint;
class LevelPoint;
class PointJob;

class PointCare {
 public:
  virtual ~PointCare() = default;
  // The point's damage runs for ms: the time the point may still use.
  virtual u32 UpdateDamage(BaseLevelPoint* point, u32 ms) = 0;
  // The id of the villain whose damage the point carries; 0 when it has
  // none or its damage is over.
  virtual u32 GetDamageVillain(const BaseLevelPoint* point) const = 0;
  // The damage record after the villain id, and its reading back (the
  // damage applied without fade); false on a short or malformed record.
  virtual bool SaveDamageRecord(const BaseLevelPoint* point, kis::DataCursor* writer) = 0;
  virtual bool LoadDamage(BaseLevelPoint* point, u32 villain, kis::DataCursor* reader) = 0;
  // A clearing job for the place (its price reserved); a pull-down job for
  // the point (null when none can be made).
  virtual void StartClearJob(EmptyLevelPoint* place) = 0;
  virtual PointJob* CreatePulldownJob(LevelPoint* point) = 0;
};

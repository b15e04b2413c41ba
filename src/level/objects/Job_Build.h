// Job_Build - the player builds a construction site up to level 1, or
// upgrades a building by one level: she waits while the building's show
// delay runs, walks to its work spot and plays "girl_build" for the build
// time of the level being reached; then the point rises one level. The
// step's price is reserved when the job is made and spent when it ends.
// Cancelled at a construction site, the place becomes empty again.
#pragma once

#include "level/characters/Job.h"

class MapPlayer;
class PointBuilding;

constexpr u16 kJobBuild = 5;
constexpr wchar kBuildAnimation[] = u"girl_build";
constexpr wchar kUpgradeIconName[] = u"small_ico_upgrade";
constexpr i32 kBuildActivity = 4;

class Job_Build : public Job {
 public:
  // The point's build job, replacing a running one; null when the level has
  // no player or the point stands at its level limit (nothing reserved).
  static Job_Build* Create(PointBuilding& point);
  ~Job_Build() override;

  bool NextStep(i32 step) override;
  void Update() override;
  bool Finish() override;
  void ClearTarget() override { point_ = nullptr; }
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;
  // The 44-byte record of a building point (the warehouse too): at a
  // construction site the job the site already made, moved behind her other
  // jobs; above it a new one, taking over from an upgrade already there.
  // The cost word is 0 or the job's cost.
  static bool Load(MapPlayer* owner, const u8* record, u32 size);

  PointBuilding* GetPoint() const { return point_; }

 private:
  Job_Build(MapPlayer* owner, PointBuilding& point);

  PointBuilding* point_;
};

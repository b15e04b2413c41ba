// BasePointPlant - the level point of a plant kind (point kind 2): a bed's
// crop or a tree grows while it has water, ripens, and is harvested into
// the warehouse; each harvest uses one of the waterings' harvests (unless
// the level's rain bonus runs: the rain also waters every plant point), and a dry point stops growing until it is
// watered again. The look is the subclass's (BuildVisual, UpdateVisual).
//
// Levels: -1 nothing, 0 being dug (not planted yet), 1 .. the kind's level
// limit planted. The point is saved through its header (GetInfo: growth
// percent, water left and maximum) and restored through Setup; a header no
// play gives (PlantGrowth.h) is refused.
//
// How the plant point's operations sit on LevelPoint:
//   OnCommand (apply a saved or new info)  -> Setup
//   ApplyLevel                             -> SetLevel
//   Clear                                  -> DoShutdown
//   Update, GetInfo                        -> Update, GetInfo
//   CollectProducts                        -> Collect (argument: GameMessager*)
//   IsWorking (the progress line shows)    -> HasProgress
//   GetWorkSpot                            -> GetWorkOffset
//   the kind query (4)                     -> KindQuery
#pragma once

#include "level/map/LevelPoint.h"
#include "level/objects/PlantGrowth.h"

class GameMessager;
class Job;
struct PLANT;

constexpr u32 kHarvestPause = 400;      // ms before a harvested point grows again

class BasePointPlant : public LevelPoint {
 public:
  // Water left and maximum: one draw of the kind's waterings.
  BasePointPlant(LevelMap& map, PLANT* plant);
  ~BasePointPlant() override;

  bool Setup(const POINTPARAMS& params, bool fade, u32 delay) override;
  bool SetLevel(i32 level, bool fade, u32 delay) override;
  i32 KindQuery() const override { return 4; }
  u32 Update(u32 ms) override;
  void GetInfo(POINTPARAMS* out) const override;
  bool Collect(uintptr_t messager) override;  // the harvest, see CollectProducts
  bool HasProgress() const override;           // planted, watered, growing, undamaged
  void OnLevelNotify(u32 event) override;       // the rain waters the point
  void StopJobs(bool fade) override;            // the base's, then the water and harvest jobs finish

  // The harvest: a ripe crop's yield stored (flying from the button
  // anchor); on success the crop starts again after a pause, using one of
  // the water's harvests. False, the crop still ripe, when nothing was
  // stored.
  bool CollectProducts(GameMessager* messager);
  // Water left clamped to 0 .. maximum.
  virtual void SetWater(i32 left, i32 maximum, bool animate);
  // Waters the point as a finished watering does: a new draw of the kind's water.
  void Water(bool animate);

  // Units of product one harvest gives.
  virtual i32 GetYield() const = 0;
  virtual void GetButtonAnchor(POINTPOS* out) const { GetPos(out); }

  PLANT* GetPlant() const { return plant_; }
  const PlantGrowth& Growth() const { return growth_; }
  i32 GetWaterLeft() const { return waterLeft_; }
  i32 GetWaterMax() const { return waterMax_; }
  u32 GetPendingDelay() const { return pendingDelay_; }
  bool IsDigging() const { return digging_; }
  void SetDigging(bool on) { digging_ = on; }
  // The point's running watering and harvest (linked by the jobs themselves).
  Job* GetWaterJob() const { return waterJob_; }
  void SetWaterJob(Job* job) { waterJob_ = job; }
  Job* GetHarvestJob() const { return harvestJob_; }
  void SetHarvestJob(Job* job) { harvestJob_ = job; }

 protected:
  // The point's look for its level, after the delay; the delay once it is built.
  virtual u32 BuildVisual(bool /*animate*/, u32 delay) { return delay; }
  // The look follows the growth.
  virtual void UpdateVisual(bool animate);
  void SetGrowthAndTime(float percent, bool animate);
  // A final shutdown cuts the water and harvest jobs from the point and finishes them.
  u32 DoShutdown(bool fade, bool final, u32 delay) override;

 private:
  PLANT* plant_;
  u32 pendingDelay_ = 0;
  PlantGrowth growth_;
  i32 waterLeft_ = 0;
  i32 waterMax_ = 0;
  bool digging_ = false;
  Job* waterJob_ = nullptr;
  Job* harvestJob_ = nullptr;
};

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
//   GetHintAnchor                          -> GetHintAnchor (the button anchor)
//
// Damage stops the point's work (StopJobs): its jobs end and its buttons
// go; once the damage is gone (CancelRepair) Refresh offers them again.
#pragma once

#include "engine/Require.h"
#include "level/map/LevelPoint.h"
#include "level/objects/PlantGrowth.h"

class ASSArrowButton;
class GameMessager;
class Job;
struct PLANT;

constexpr u32 kHarvestPause = 400;      // ms before a harvested point grows again
constexpr u32 kPlantButtonFadeTime = 200;  // ms of the water and harvest buttons' show and hide

// The point's links to the player's jobs at it, one of each.
enum PlantJobSlot : u32 { kPlantSlot, kWaterSlot, kHarvestSlot, kPlantJobSlots };

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
  void OnSelect() override;  // the level panel's plant page
  // The base's; the planting, watering and harvest finish, the buttons and
  // the progress line go, the panel follows.
  void StopJobs(bool fade) override;
  // The harvest and water buttons as due, the progress line, the panel.
  void Refresh() override;
  void CancelRepair() override;  // the base's, then Refresh: the work goes on
  void GetHintAnchor(POINTPOS* out) const override { GetButtonAnchor(out); }

  // The harvest: a ripe crop's yield stored (flying from the button
  // anchor); on success the crop starts again after a pause, using one of
  // the water's harvests. False, the crop still ripe, when nothing was
  // stored.
  bool CollectProducts(GameMessager* messager);
  // Water left clamped to 0 .. maximum. Water left ends a running
  // watering and takes the water button away; a dry point shows it.
  virtual void SetWater(i32 left, i32 maximum, bool animate);
  // Waters the point as a finished watering does: a new draw of the kind's water.
  void Water(bool animate);
  // The harvest button over a ripe, undamaged point with no harvest under way.
  void ShowHarvestButton(bool animate);
  // The player's watering of the point, the water button gone.
  void CreateWaterJob();

  // Units of product one harvest gives.
  virtual i32 GetYield() const = 0;
  // Where the water and harvest buttons stand (map coordinates).
  virtual void GetButtonAnchor(POINTPOS* out) const { GetPos(out); }
  // The pointer is on the point's own picture: the level's hovered object
  // belongs to this planted point (level 1 or more) and is one of the
  // look's kinds (IsOwnPicture). Nothing in the game asks yet: the point's
  // hover (IsPointHovered) is the mouse near it, this one its picture.
  virtual bool IsHovered() const;
  // Highlights the look's crop for one drawing (nothing here; nothing in
  // the game asks yet either).
  virtual void HighlightCrop() {}

  PLANT* GetPlant() const { return plant_; }
  const PlantGrowth& Growth() const { return growth_; }
  i32 GetWaterLeft() const { return waterLeft_; }
  i32 GetWaterMax() const { return waterMax_; }
  u32 GetPendingDelay() const { return pendingDelay_; }
  bool IsDigging() const { return digging_; }
  void SetDigging(bool on) { digging_ = on; }
  // The point's running planting, watering and harvest (linked by the jobs themselves).
  Job* GetJob(PlantJobSlot slot) const {
    return RequireThat(slot < kPlantJobSlots, "a plant job's slot in range") ? jobs_[slot] : nullptr;
  }
  void SetJob(PlantJobSlot slot, Job* job) {
    if (!RequireThat(slot < kPlantJobSlots, "a plant job's slot in range")) return;
    jobs_[slot] = job;
    RefreshPanel();
  }
  Job* GetPlantJob() const { return jobs_[kPlantSlot]; }
  Job* GetWaterJob() const { return jobs_[kWaterSlot]; }
  Job* GetHarvestJob() const { return jobs_[kHarvestSlot]; }
  ASSArrowButton* GetWaterButton() const { return waterButton_; }
  ASSArrowButton* GetHarvestButton() const { return harvestButton_; }
  void RemoveWaterButton(bool fade);
  void RemoveHarvestButton(bool fade);

 protected:
  // The point's look for its level, after the delay; the delay once it is built.
  virtual u32 BuildVisual(bool /*animate*/, u32 delay) { return delay; }
  // The look follows the growth: the harvest button once ripe, else the
  // progress line's value.
  virtual void UpdateVisual(bool animate);
  void SetGrowthAndTime(float percent, bool animate);
  // A map object kind of the look that IsHovered answers to (none here).
  virtual bool IsOwnPicture(u32 /*kind*/) const { return false; }
  ASSArrowButton* MakeButton(u32 tag, const wchar* icon, bool animate);
  // A final shutdown cuts the jobs from the point and finishes them and
  // recounts the level's plant task without the point; the buttons go
  // (fading after the delay).
  u32 DoShutdown(bool fade, bool final, u32 delay) override;

 private:
  PLANT* plant_;
  u32 pendingDelay_ = 0;
  PlantGrowth growth_;
  i32 waterLeft_ = 0;
  i32 waterMax_ = 0;
  bool digging_ = false;
  Job* jobs_[kPlantJobSlots] = {};
  ASSArrowButton* waterButton_ = nullptr;
  ASSArrowButton* harvestButton_ = nullptr;
};

// The player's jobs at a plant point (PlantJob and its three kinds):
//   Job_Plant    she waits while the point's look is built, walks to its
//                work spot and digs ("girl_dig", the kind's digging time of
//                the point's level); then the point rises one level. The
//                step's price is reserved when the job is made. Cancelled
//                at level 0, the planting is abandoned: the place is empty.
//   Job_Water    walks there and waters ("girl_water", the timing block's
//                bed or tree watering time): a new draw of the kind's water.
//                Finished early, the point's water stays as it was.
//   Job_Harvest  walks there and harvests (the kind's harvesting animation
//                for the harvest time): the point's CollectProducts.
// A point keeps one of each; a new one takes over from the old. All three
// are saved as the point jobs' 44-byte records (LevelPointCare.h) and loaded
// by LoadPlantJob.
#pragma once

#include "gametext/GameMessager.h"
#include "level/characters/Job.h"
#include "level/objects/BasePointPlant.h"

class MapPlayer;

constexpr u16 kJobWater = 3;
constexpr u16 kJobHarvest = 4;
constexpr wchar kDigAnimation[] = u"girl_dig";

// What the three share: the link to the point (cut from either side), the
// walk to its work spot and the saved record.
class PlantJob : public Job {
 public:
  ~PlantJob() override;  // the point's link goes

  void ClearTarget() override { point_ = nullptr; }
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;

  BasePointPlant* GetPoint() const { return point_; }

 protected:
  // Linked to the point in its slot; a job already there lets go of the
  // point and finishes. The icon is shown at the point.
  PlantJob(MapCharacter* owner, u16 id, BasePointPlant* point, PlantJobSlot slot, i32 workStep, Sprite* icon);
  bool WalkToWork();
  // The link cut from both sides; the point it worked on, or null.
  BasePointPlant* Unlink();
  void MarkOwnerWorking();

  BasePointPlant* point_;
  PlantJobSlot slot_;
  i32 workStep_;  // the step whose motion the record keeps
};

class Job_Plant : public PlantJob {
 public:
  // The point's planting or upgrade; null when the level has no player or
  // the point stands at its level limit (nothing reserved).
  static Job_Plant* Create(BasePointPlant& point);

  bool NextStep(i32 step) override;
  void Update() override;
  bool Finish() override;

 private:
  Job_Plant(MapPlayer* owner, BasePointPlant& point);
};

class Job_Water : public PlantJob {
 public:
  Job_Water(MapCharacter* owner, BasePointPlant* point);

  bool NextStep(i32 step) override;
  void Update() override;
  bool Finish() override;
};

class Job_Harvest : public PlantJob {
 public:
  Job_Harvest(MapCharacter* owner, BasePointPlant* point);

  bool NextStep(i32 step) override;
  void Update() override;
  bool Finish() override;  // the harvest button comes back while the crop is ripe

  bool IsHarvesting() const { return harvesting_; }

 private:
  GameMessager messager_;
  bool harvesting_ = false;
};

// The player's plant job of a saved record (id 2 plant, 3 water, 4
// harvest): its size 44, its point a plant point, a saved cost 0 or the
// new job's. A planting at level 0 is the one the point already made,
// moved behind her other jobs. False when refused.
bool LoadPlantJob(u32 id, MapPlayer& player, const u8* record, u32 size);

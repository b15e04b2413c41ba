#include "level/objects/BasePointPlant.h"

#include <utility>

#include "content/GameBonuses.h"
#include "content/PlantTable.h"
#include "level/characters/Job.h"
#include "level/map/LevelMap.h"
#include "level/map/MapObject.h"
#include "level/objects/PlantJobs.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/LevelInterface.h"
#include "level/characters/MapPlayer.h"
#include "level/map/LevelPointCare.h"
#include "resources/SpriteSet.h"
#include "resources/TutorialHooks.h"
#include "hud/ASSArrowButton.h"

BasePointPlant::BasePointPlant(LevelMap& map, PLANT* plant) : LevelPoint(map), plant_(plant) {
  kind_ = kPointKindPlant;
  waterLeft_ = waterMax_ = plant_ ? DrawWater(*plant_) : 0;
}

BasePointPlant::~BasePointPlant() { Shutdown(false, true, 0); }

namespace {

constexpr u32 kWaterTag = ScreenTag('W', 'a', 't', 'e');
constexpr u32 kHarvestTag = ScreenTag('H', 'a', 'r', 'v');
constexpr u32 kHarvestWaterDelay = 300;  // ms the water button of a harvested, dry point waits longer

// The job no longer works on the point, and ends.
void CutJob(Job*& link) {
  if (Job* job = std::exchange(link, nullptr)) {
    job->ClearTarget();
    job->Finish();
  }
}

// A button taken away by the player's click or by the water fades and pops
// out at once; one taken away with the point fades and shrinks after the
// point's own delay.
void DropButton(ASSArrowButton*& link, bool fade, u32 delay = 0, u32 style = kShowFade | kShowPop) {
  if (ASSArrowButton* button = std::exchange(link, nullptr)) {
    if (fade)
      button->Hide(true, false, delay, style, kPlantButtonFadeTime);
    else
      delete button;
  }
}

u32 OnHarvestClicked(ActiveScreenSprite*, ScreenSpriteOwner* owner, u32) {
  auto* point = static_cast<BasePointPlant*>(owner);
  point->GetMap().ClosePanelExcept(point);
  point->RemoveHarvestButton(true);
  if (MapPlayer* player = PointJobOwner(point->GetMap())) new Job_Harvest(player, point);
  return kScreenClickSound;
}

u32 OnWaterClicked(ActiveScreenSprite* button, ScreenSpriteOwner* owner, u32) {
  if (button->GetState() == 0) return 0;  // disabled
  auto* point = static_cast<BasePointPlant*>(owner);
  point->GetMap().ClosePanelExcept(point);
  point->CreateWaterJob();
  return kScreenClickSound;
}

}  // namespace

u32 BasePointPlant::DoShutdown(bool fade, bool final, u32 delay) {
  if (final)
    for (Job*& job : jobs_) CutJob(job);
  delay = LevelPoint::DoShutdown(fade, final, delay);
  // Shut down for good, the point no longer counts for the level's task.
  if (final && level_ > 0 && plant_)
    if (LevelRules* rules = GetMap().GetRules()) rules->Tasks().UpdateTask(kTaskPlantBeds, plant_->id, level_, fade);
  DropButton(waterButton_, fade, delay, kShowFade | kShowScale);
  DropButton(harvestButton_, fade, delay, kShowFade | kShowScale);
  return delay;
}

// The watering and harvest end before the buttons go: a watering that ends
// offers its button again, which must not stay. The planting ends last: a
// first planting given up leaves an empty place, and this point is gone.
void BasePointPlant::StopJobs(bool fade) {
  LevelPoint::StopJobs(fade);
  if (Job* job = jobs_[kWaterSlot]) job->Finish();
  if (Job* job = jobs_[kHarvestSlot]) job->Finish();
  DropButton(waterButton_, fade);
  DropButton(harvestButton_, fade);
  HideProgressLine();
  RefreshPanel();
  if (Job* job = jobs_[kPlantSlot]) job->Finish();
}

void BasePointPlant::Refresh() {
  LevelPoint::Refresh();
  ShowHarvestButton(true);
  SetWater(waterLeft_, waterMax_, true);
  ShowProgressLine();
  RefreshPanel();
}

void BasePointPlant::CancelRepair() {
  LevelPoint::CancelRepair();
  Refresh();
}

void BasePointPlant::RemoveWaterButton(bool fade) { DropButton(waterButton_, fade); }
void BasePointPlant::RemoveHarvestButton(bool fade) { DropButton(harvestButton_, fade); }

// A button of the point's, over its anchor, faded in after the point's show delay.
ASSArrowButton* BasePointPlant::MakeButton(u32 tag, const wchar* icon, bool animate) {
  if (level_ < 1 || IsShutDown() || !GetMap().Hooks().hud) return nullptr;
  HideProgressLine();
  POINTPOS at;
  GetButtonAnchor(&at);
  auto* button = new ASSArrowButton(tag, at.x, at.y, GetSpriteByName(kIconSpriteSet, icon), nullptr, nullptr);
  button->SetHandler(this, tag == kHarvestTag ? &OnHarvestClicked : &OnWaterClicked, nullptr);
  FadeSprite(button, animate, -1, kShowPop, kPlantButtonFadeTime);
  return button;
}

// A planted point takes its growth and water from the header; a header
// without a water maximum (a level definition's point) keeps the drawn
// water. A header no play gives is refused before anything changes.
bool BasePointPlant::Setup(const POINTPARAMS& params, bool fade, u32 delay) {
  PlantInfo info;
  if (!plant_ || (params.level >= 1 && !GetPlantInfo(params, &info))) return false;
  if (!LevelPoint::Setup(params, fade, delay)) return false;
  if (level_ >= 1) {
    SetGrowthAndTime(info.percent, false);
    if (info.waterMax > 0) SetWater(info.waterLeft, info.waterMax, false);
  }
  return true;
}

// Only upwards: the same level answers whether the point is planted, a
// lower one changes nothing.
bool BasePointPlant::SetLevel(i32 level, bool fade, u32 delay) {
  if (!plant_) return false;
  if (level > plant_->levelLimit) level = plant_->levelLimit;
  if (level == level_) return level > 0;
  if (level < level_) return false;
  pendingDelay_ = delay;
  if (level_ >= 0) delay = Shutdown(fade, false, delay);
  level_ = level;
  if (level_ == 0) Job_Plant::Create(*this);
  growth_.SetFullTime(static_cast<float>(plant_->growthTime));
  const u32 built = BuildVisual(fade, delay);
  ShowStars(plant_->levelLimit, fade, delay);
  pendingDelay_ = built > pendingDelay_ ? built - pendingDelay_ : 0;
  if (level_ > 0) {
    SetGrowthAndTime(growth_.GetPercent(), false);
    SetWater(waterLeft_, waterMax_, fade);
    if (LevelRules* rules = GetMap().GetRules()) rules->Tasks().UpdateTask(kTaskPlantBeds, plant_->id, level_, fade);
  }
  ShowProgressLine();
  showDelay_ = 0;
  RefreshPanel();
  return true;
}

u32 BasePointPlant::Update(u32 ms) {
  ms = LevelPoint::Update(ms);
  if (pendingDelay_ > 0) {
    if (pendingDelay_ > ms) {
      pendingDelay_ -= ms;
      return ms;
    }
    ms -= pendingDelay_;
    pendingDelay_ = 0;
  }
  if (level_ < 1 || growth_.IsRipe() || digging_ || HasDamage() || IsSuspended() || waterLeft_ == 0) return ms;
  if (!TutorialAllowAction(kTutorialActionGrow, plant_->id, this)) return ms;
  LevelRules* rules = GetMap().GetRules();
  const float grown = static_cast<float>(ms) * (rules ? rules->GetRate(1) : 1.0f);
  if (!(grown > 0.0f)) return ms;
  if (growth_.Grow(grown)) UpdateVisual(true);
  if (growth_.IsRipe()) TutorialNotify(kTutorialEventRipe, plant_->id, this);
  return ms;
}

void BasePointPlant::GetInfo(POINTPARAMS* out) const {
  LevelPoint::GetInfo(out);
  if (level_ >= 1) PutPlantInfo({growth_.GetPercent(), waterLeft_, waterMax_}, out);
}

bool BasePointPlant::IsHovered() const {
  const MapObject* hovered = GetMap().GetHoveredObject();
  return level_ >= 1 && hovered && hovered->GetPointIndex() == GetIndex() && IsOwnPicture(hovered->GetKind());
}

bool BasePointPlant::Collect(uintptr_t messager) { return CollectProducts(reinterpret_cast<GameMessager*>(messager)); }

bool BasePointPlant::HasProgress() const {
  return level_ >= 1 && waterLeft_ >= 1 && growth_.GetPercent() < 100.0f && !HasDamage();
}

void BasePointPlant::OnLevelNotify(u32 event) {
  if (event == kLevelNotifyRain) Water(true);
}

// The harvest counts for the sample harvest award (award kind 0).
bool BasePointPlant::CollectProducts(GameMessager* messager) {
  LevelRules* rules = GetMap().GetRules();
  if (!growth_.IsRipe() || !rules || !plant_->product) return false;
  POINTPOS at;
  GetButtonAnchor(&at);
  if (rules->StoreProduct(plant_->product, GetYield(), 0, static_cast<float>(at.x), static_cast<float>(at.y), 0.0f,
                          messager) <= 0) {
    if (Job* job = jobs_[kHarvestSlot]) job->Finish();
    return false;
  }
  // The crop is taken even from a bed with no water left (one loaded ripe and
  // dry): kept ripe, it would offer no harvest again and no watering would help.
  SetGrowthAndTime(0.0f, true);
  showDelay_ += kHarvestWaterDelay;
  if (waterLeft_ > 0 && !rules->Bonuses().IsActive(kBonusRain)) SetWater(waterLeft_ - 1, waterMax_, true);
  showDelay_ -= kHarvestWaterDelay;
  ShowProgressLine();
  pendingDelay_ = kHarvestPause;
  RemoveHarvestButton(true);
  // A harvest under way (the instant bonus collected first) has nothing left to do.
  if (auto* job = static_cast<Job_Harvest*>(jobs_[kHarvestSlot]); job && job->IsHarvesting()) job->Finish();
  TutorialNotify(kTutorialEventStored, plant_->productId, this);
  return true;
}

void BasePointPlant::SetWater(i32 left, i32 maximum, bool animate) {
  waterMax_ = maximum < 0 ? 0 : maximum;
  waterLeft_ = left < 0 ? 0 : left > waterMax_ ? waterMax_ : left;
  if (waterLeft_ > 0) {
    CutJob(jobs_[kWaterSlot]);
    RemoveWaterButton(animate);
  } else if (!waterButton_ && !jobs_[kWaterSlot]) {
    waterButton_ = MakeButton(kWaterTag, u"small_ico_water", animate);
  }
}

void BasePointPlant::ShowHarvestButton(bool animate) {
  if (!growth_.IsRipe() || harvestButton_ || jobs_[kHarvestSlot] || HasDamage()) return;
  harvestButton_ = MakeButton(kHarvestTag, u"small_ico_hand", animate);
}

void BasePointPlant::CreateWaterJob() {
  RemoveWaterButton(true);
  if (MapPlayer* player = PointJobOwner(GetMap())) new Job_Water(player, this);
}

void BasePointPlant::Water(bool animate) {
  const i32 w = DrawWater(*plant_);
  SetWater(w, w, animate);
  ShowProgressLine();
}

void BasePointPlant::UpdateVisual(bool animate) {
  if (growth_.IsRipe())
    ShowHarvestButton(animate);
  else
    SetProgress(growth_.GetPercent() / 100.0f);
}

void BasePointPlant::SetGrowthAndTime(float percent, bool animate) {
  growth_.SetWithTime(percent);
  UpdateVisual(animate);
}

void BasePointPlant::OnSelect() {
  if (LevelInterface* panels = GetMap().Hooks().panels) panels->ShowPointPanel(kPanelPlant, this);
}

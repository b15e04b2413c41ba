#include "level/objects/PointPetshouse.h"

#include <cmath>
#include <utility>

#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "content/BuildingTable.h"
#include "content/ProductList.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapPlayer.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointCare.h"
#include "level/objects/Job_Build.h"
#include "level/rules/LevelRules.h"
#include "level/scene/LevelInterface.h"
#include "level/state/JobRecord.h"
#include "resources/SEffects.h"
#include "resources/SpriteSet.h"
#include "hud/ASSArrowButton.h"
#include "hud/ASSPriceButton.h"
#include "hud/ScreenSpriteList.h"

namespace {

constexpr i32 kPetshouseWalkStep = 1;  // then the feeding animation, 2
constexpr i32 kFeedButtonRise = 8;
constexpr u32 kStateDelay = 100;  // ms before the animals answer a feeding
constexpr wchar kPetshouseHandIcon[] = u"small_ico_hand";

WarehouseStock* StockOf(const LevelMap& map) {
  LevelRules* rules = map.GetRules();
  return rules ? rules->Stock() : nullptr;
}

}  // namespace

// --- PointPetshouse ---------------------------------------------------------------------------------------

PointPetshouse::PointPetshouse(LevelMap& map, BUILDING* building) : PointBuilding(map, building) {}

PointPetshouse::~PointPetshouse() { Shutdown(false, true, 0); }

const HOUSELEVEL* PointPetshouse::LevelRecord() const {
  if (!building_ || level_ < 1 || level_ > building_->levelCount) return nullptr;
  return &building_->levels[level_ - 1].house;
}

u32 PointPetshouse::FeedAmount() const {
  if (!building_ || building_->levelCount < 1) return 0;
  const i32 at = level_ < 1 ? 0 : level_ > building_->levelCount ? building_->levelCount - 1 : level_ - 1;
  return building_->levels[at].house.feedAmount;
}

bool PointPetshouse::IsEntered() const {
  const LevelRules* rules = GetMap().GetRules();
  return rules && rules->IsEntered();
}

void PointPetshouse::GetProgressAnchor(POINTPOS* out) const {
  out->x = mapX_ + (building_ ? Mirror(building_->house.progressAnchor[0]) : 0);
  out->y = mapY_ + (building_ ? building_->house.progressAnchor[1] : 0);
}

void PointPetshouse::SetFeedIconAnchor(i32 x, i32 y) {
  fixedIcon_ = true;
  iconAnchor_ = POINTPOS{x, y};
}

void PointPetshouse::SetFeedButtonAnchor(i32 x, i32 y) {
  fixedButton_ = true;
  buttonAnchor_ = POINTPOS{x, y};
}

void PointPetshouse::GetFeedIconAnchor(POINTPOS* out) const {
  if (fixedIcon_) {
    *out = iconAnchor_;
    return;
  }
  const HOUSELEVEL* record = LevelRecord();
  out->x = record ? record->troughOffset[0] : 0;
  out->y = record ? record->troughOffset[1] : 0;
}

void PointPetshouse::GetFeedButtonAnchor(POINTPOS* out) const {
  if (fixedButton_) {
    *out = buttonAnchor_;
    return;
  }
  GetFeedIconAnchor(out);
  out->y -= kFeedButtonRise;
}

bool PointPetshouse::HasFeed() const {
  const WarehouseStock* stock = StockOf(GetMap());
  if (!stock || !building_ || !building_->feedProduct) return false;
  return stock->GetCount(building_->feedProduct) >= static_cast<i32>(FeedAmount());
}

// The feed leaves the warehouse now, flying off the feed button's place;
// the player brings it over. Without a player to carry it nothing is taken.
void PointPetshouse::Feed() {
  if (level_ < 1 || !HasFeed()) return;
  MapPlayer* player = PointJobOwner(GetMap());
  WarehouseStock* stock = StockOf(GetMap());
  if (!player || !stock) return;
  const u32 amount = FeedAmount();
  const i32 taken = stock->Take(building_->feedProduct, static_cast<i32>(amount));
  if (ScreenSpriteList* hud = GetMap().Hooks().hud) {
    POINTPOS at;
    GetFeedButtonAnchor(&at);
    hud->ShowFlyingIcon(building_->feedProduct, -taken, static_cast<float>(mapX_ + Mirror(at.x)),
                        static_cast<float>(mapY_ + at.y), 0.0f, 0, 0.0f);
  }
  new Job_Feed(player, this, static_cast<u32>(taken));
}

void PointPetshouse::ShowFeedButton(bool animate, u32 delay) {
  // A house still holding its feeding (the eggs not yet collected, say) is
  // not offered another.
  if (IsShutDown() || level_ < 1 || fed_ || HasDamage() || feedButton_ || feedJob_ || buildJob_) return;
  if (!GetMap().Hooks().hud || !building_->feedProduct) return;
  HideProgressLine();
  POINTPOS at;
  GetFeedButtonAnchor(&at);
  feedButton_ = new ASSPriceButton(kFeedButtonCode, mapX_ + Mirror(at.x), mapY_ + at.y, building_->feedProduct->icon,
                                   FeedAmount());
  feedButton_->SetHandler(this, &PointPetshouse::OnFeedClicked, &PointPetshouse::IsFeedShort);
  feedButton_->Show(!animate, delay, kShowPop, kPointSpriteShowTime);
}

void PointPetshouse::HideFeedButton(bool animate, u32 delay) {
  ASSPriceButton* button = std::exchange(feedButton_, nullptr);
  if (!button) return;
  if (animate) {
    button->Hide(true, false, delay, kShowFade | kShowScale, kPointSpriteShowTime);
  } else {
    delete button;
  }
}

void PointPetshouse::ShowTroughFill(float left, float total) {
  if (!trough_) return;
  const Sprite* sprite = trough_->FrameState().sprite;
  const i32 frames = sprite ? sprite->GetFrameCount() : 1;
  const double fraction = static_cast<double>(left) / (total > 0.0f ? total : 1.0f);
  StillFrame(trough_, static_cast<i32>(std::ceil(static_cast<double>(frames - 1) * fraction)));
}

ASSArrowButton* PointPetshouse::MakeArrowButton(u32 code, i32 x, i32 y, ButtonClick click, bool animate, u32 delay) {
  if (!GetMap().Hooks().hud) return nullptr;
  auto* button = new ASSArrowButton(code, x, y, GetSpriteByName(kIconSpriteSet, kPetshouseHandIcon), nullptr, nullptr);
  button->SetHandler(this, click, nullptr);
  button->Show(!animate, delay, kShowPop, kPointSpriteShowTime);
  return button;
}

void PointPetshouse::DropArrowButton(ASSArrowButton*& slot, bool animate, u32 delay, u32 style) {
  ASSArrowButton* button = std::exchange(slot, nullptr);
  if (!button) return;
  if (animate) {
    button->Hide(true, false, delay, style, kPointSpriteShowTime);
  } else {
    delete button;
  }
}

u32 PointPetshouse::OnFeedClicked(ActiveScreenSprite*, ScreenSpriteOwner* owner, u32) {
  auto* house = static_cast<PointPetshouse*>(owner);
  house->GetMap().ClosePanelExcept(house);
  house->Feed();
  return kScreenClickSound;
}

u8 PointPetshouse::IsFeedShort(ActiveScreenSprite*, ScreenSpriteOwner* owner) {
  return static_cast<PointPetshouse*>(owner)->HasFeed() ? 0 : 1;
}

u32 PointPetshouse::StartAnimals(bool, u32 delay) {
  animalsActive_ = true;
  return delay;
}

u32 PointPetshouse::StopAnimals(bool, bool, u32 delay) {
  animalsActive_ = false;
  return delay;
}

u32 PointPetshouse::RefreshState(bool animate, u32 delay) {
  if (!IsFed()) {
    if (animalsActive_) delay = StopAnimals(animate, false, delay);
    ShowFeedButton(animate, delay);
  } else {
    if (!animalsActive_ && !IsShutDown() && !HasDamage()) delay = StartAnimals(animate, delay);
    HideFeedButton(animate, delay);
    ShowProgressLine();
  }
  ShowFeedLevel();
  if (feedButton_) feedButton_->RefreshEnabled();
  return delay;
}

void PointPetshouse::SetFed(bool fed, bool animate) {
  fed_ = fed;
  RefreshPanel();
  pending_ = RefreshState(animate, animate ? kStateDelay : 0);
}

u32 PointPetshouse::ShowBuilding(bool fade, u32 delay) {
  delay = PointBuilding::ShowBuilding(fade, delay);
  LevelRules* rules = GetMap().GetRules();
  if (level_ == 0 && rules) {
    RateModifiers current;
    rules->Bonuses().ApplyRateModifiers(RateOfBuildingKind(kBuildingAnimalHouse), current);
    for (const bool additive : {true, false})
      for (u32 i = 0; i < current.GetCount(additive); ++i)
        SetRateModifier(current.Get(additive, i).id, additive, current.Get(additive, i).value);
  }
  if (level_ < 1) return delay;
  const BUILDINGLEVEL& record = building_->levels[level_ - 1];
  if (!trough_ && record.trough) {
    trough_ = SpriteObject::Create(GetMap(), record.trough, kLayerStanding, mapX_ + Mirror(record.house.troughOffset[0]),
                                   mapY_ + record.house.troughOffset[1], kObjectTrough, this, IsMirrored() ? 1 : 0);
    if (trough_) {
      trough_->SetScale(building_->scale > 0.0f ? building_->scale : 1.0f);
      trough_->AttachToLevel(kAttachClickShapes);
      if (fade) trough_->AddEffect(new SEffect_Build(kBuildingFadeTime, delay));
    }
  }
  return RefreshState(fade, delay);
}

void PointPetshouse::StopJobs(bool fade) {
  PointBuilding::StopJobs(fade);
  if (Job_Feed* job = feedJob_) job->Finish();
  HideFeedButton(fade, 0);
  StopAnimals(fade, false, 0);
  RefreshPanel();
}

void PointPetshouse::Refresh() {
  PointBuilding::Refresh();
  if (level_ > 0) pending_ = RefreshState(true, 0);
  RefreshPanel();
}

void PointPetshouse::CancelRepair() {
  PointBuilding::CancelRepair();
  Refresh();
}

void PointPetshouse::Suspend() {
  PointBuilding::Suspend();
  StopAnimals(IsEntered(), false, 0);
}

void PointPetshouse::Resume() {
  if (IsSuspended()) pending_ = RefreshState(true, 0);
  PointBuilding::Resume();
}

void PointPetshouse::BuildStarted() {
  PointBuilding::BuildStarted();
  StopAnimals(IsEntered(), false, 0);
  RefreshPanel();
}

void PointPetshouse::BuildEnded() {
  PointBuilding::BuildEnded();
  if (level_ > 0) pending_ = RefreshState(true, 0);
  RefreshPanel();
}

void PointPetshouse::BuildPause(bool queued, bool animate) {
  if (queued) {
    HideFeedButton(animate, 0);
  } else if (level_ > 0) {
    RefreshState(animate, 0);
  }
  RefreshPanel();
}

u32 PointPetshouse::DoShutdown(bool fade, bool final, u32 delay) {
  if (Job_Feed* job = final ? feedJob_ : nullptr) {
    // Torn down without effects (the level goes), nothing is given back.
    if (!fade) {
      feedJob_ = nullptr;
      job->ClearTarget();
    }
    job->Finish();
  }
  SpriteObject* trough = std::exchange(trough_, nullptr);
  if (!fade) {
    HideFeedButton(false, 0);
    delete trough;
    StopAnimals(false, final, delay);
  } else {
    HideFeedButton(true, delay);
    delay = StopAnimals(true, final, delay);
    if (trough) trough->DisposeWithEffect(delay, new SEffect_Scale(1.0f, 0.0f, kBuildingFadeTime, true, delay));
  }
  return PointBuilding::DoShutdown(fade, final, delay);
}

// --- Job_Feed -------------------------------------------------------------------------------------------

Job_Feed::Job_Feed(MapCharacter* owner, PointPetshouse* house, u32 amount)
    : Job(owner, kJobFeed), house_(house), carried_(amount) {
  if (Job_Feed* earlier = house->GetFeedJob()) earlier->Finish();
  house->SetFeedJob(this);
  POINTPOS at;
  house->GetFeedIconAnchor(&at);
  ShowIcon(house->GetMapX() + house->Mirror(at.x), house->GetMapY() + at.y, house->GetBuilding()->feedJobIcon, house,
           kJobIconColor);
  house->HideFeedButton(false, 0);
  NotifyTutorial();
}

Job_Feed::~Job_Feed() {
  if (house_ && house_->GetFeedJob() == this) house_->SetFeedJob(nullptr);
}

bool Job_Feed::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  const HOUSELEVEL* record = house_ ? house_->LevelRecord() : nullptr;
  if (record && step_ == kPetshouseWalkStep) {
    return StartWalk(house_->GetMapX() + house_->Mirror(record->feedSpot[0]), house_->GetMapY() + record->feedSpot[1],
                     false, 1.0f, nullptr);
  }
  if (record && step_ == kPetshouseWalkStep + 1) {
    const HOUSEPART& part = house_->GetBuilding()->house;
    const u32 facing = house_->IsMirrored() ? record->facingMirrored : record->facing;
    // A feeding of no length still plays one tick: the house is fed at once.
    return PlayAnimation(part.feedTime > 0 ? part.feedTime : 1, part.feedAnimation, static_cast<i32>(facing & 7),
                         kFeedActivity);
  }
  Finish();
  return false;
}

void Job_Feed::Update() {
  if (!UpdateWalkThenWork(kPetshouseWalkStep)) return;
  PointPetshouse* house = std::exchange(house_, nullptr);
  carried_ = 0;  // eaten
  if (!house) return;
  if (house->GetFeedJob() == this) house->SetFeedJob(nullptr);
  house->SetFed(true, true);
  if (house->GetBuilding()->house.markWorking && level_ && level_->IsPlayer(owner_))
    static_cast<MapPlayer*>(owner_)->MarkWorking();
}

bool Job_Feed::Finish() {
  if (!Job::Finish()) return false;
  PointPetshouse* house = std::exchange(house_, nullptr);
  if (!house) return true;
  if (house->GetFeedJob() == this) house->SetFeedJob(nullptr);
  if (carried_ > 0) {
    if (LevelRules* rules = house->GetMap().GetRules())
      rules->GiveBack(house->GetBuilding()->feedProduct, static_cast<i32>(carried_));
    carried_ = 0;
  }
  if (!house->IsShutDown()) house->ShowFeedButton(true, 0);
  return true;
}

bool Job_Feed::Save(kis::DataCursor* cursor, u32 characterRecord) {
  if (state_ >= kJobFinished || !house_) return true;
  u8* r = WriteHeader(cursor, characterRecord, kFeedJobRecordSize);
  if (!r) return false;
  WriteTarget(r, step_ == kPetshouseWalkStep + 1);
  kis::PutU32LE(r + 40, static_cast<u32>(house_->GetIndex()));
  kis::PutU32LE(r + 44, house_->GetBuilding()->house.feedProduct);
  kis::PutU32LE(r + 48, carried_);
  return true;
}

bool LoadFeedJob(MapPlayer& player, const u8* record, u32 size) {
  if (size != kFeedJobRecordSize || kis::GetI32LE(record + 12) != 0) return false;
  const LevelMap& map = player.GetMap();
  const u32 index = kis::GetU32LE(record + 40);
  if (index >= static_cast<u32>(map.GetPointCount())) return false;
  auto* house = dynamic_cast<PointPetshouse*>(map.GetPoint(static_cast<i32>(index)));
  if (!house || house->GetKind() != kPointKindBuilding || !house->LevelRecord()) return false;
  const BUILDING* building = house->GetBuilding();
  if (building->kind != kBuildingAnimalHouse || kis::GetU32LE(record + 44) != building->house.feedProduct) return false;
  const u32 carried = kis::GetU32LE(record + 48);
  if (carried != 0 && carried != house->FeedAmount()) return false;
  return RestoreJobStep(new Job_Feed(&player, house, carried), record, kPetshouseWalkStep + 1);
}

void PointPetshouse::OnSelect() {
  if (LevelInterface* panels = GetMap().Hooks().panels) panels->ShowPointPanel(kPanelAnimalHouse, this);
}

void StillFrame(SpriteObject* sprite, i32 frame) {
  SpriteFrameState& state = sprite->FrameState();
  const i32 count = state.sprite ? state.sprite->GetFrameCount() : 1;
  state.frame = frame < 0 ? 0 : frame >= count ? (count > 0 ? count - 1 : 0) : frame;
  state.animated = 0;
}

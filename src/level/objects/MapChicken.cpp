#include "level/objects/MapChicken.h"

#include <cmath>
#include <utility>

#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "base/Random.h"
#include "content/BuildingTable.h"
#include "content/GameCharacter.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelMap.h"
#include "level/objects/PointHenhouse.h"
#include "level/state/JobRecord.h"
#include "pathfinding/PathFinder.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"

namespace {

constexpr float kCrowdDistance = 32.0f;  // between chickens' targets, and the shortest wander
constexpr float kIdleCheck = 200.0f;     // ms between two looks for a crowd
constexpr i32 kWanderTries = 100;
constexpr float kWanderRetry = 100.0f;  // ms before another try when no spot was found
constexpr float kYardRadiusX = 80.0f;
constexpr float kYardRadiusY = 54.0f;
constexpr u32 kForever = 86400000;  // ms: the phase's own end stops it
constexpr float kEatWalk = 1.5f;
constexpr u32 kChickenFade = 200;
constexpr i32 kChickenWalkStep = 1;

float Distance(float ax, float ay, float bx, float by) { return std::hypot(ax - bx, ay - by); }

}  // namespace

// --- MapChicken -------------------------------------------------------------------------------------------

MapChicken::MapChicken(LevelCharacters& cast, PointHenhouse& house, i32 slot, float x, float y, u32 appearDelay,
                       bool fade)
    : MapCharacter(cast, house.GetBuilding()->character, 0, u"", 0, x, y, &house),
      house_(&house),
      slot_(slot),
      appearDelay_(appearDelay),
      fadeIn_(fade),
      targetX_(x),
      targetY_(y) {
  PlayAction(0, static_cast<i32>(kis::RandomBelow(8)));
  ApplyRate(house.GetChickenRate());
}

MapChicken::~MapChicken() {
  DeleteAllJobs();  // while their links to the chicken still hold
  if (house_) house_->ForgetChicken(this);
}

u32 MapChicken::StartRemoval(u32 delay) {
  delay = MapCharacter::StartRemoval(delay);
  AddEffect(new SEffect_Alpha(1.0f, 0.0f, kChickenFade, true, delay));
  return delay + kChickenFade;
}

void MapChicken::ApplyRate(float rate) {
  SetRateModifier(kActivityIdle, kChickenRateId, false, rate);
  SetRateModifier(kActivityWork, kChickenRateId, false, rate);
  SetWalkModifier(kChickenRateId, false, rate);
}

void MapChicken::Update() {
  const float step = static_cast<float>(GameTimeStep());
  if (!appeared_) {
    appearDelay_ = appearDelay_ > GameTimeStep() ? appearDelay_ - GameTimeStep() : 0;
    if (appearDelay_ > 0) return;
    appeared_ = true;
    AttachToLevel(0);
    if (fadeIn_) AddEffect(new SEffect_Alpha(0.0f, 1.0f, kChickenFade, true, 0));
    if (jobs_.GetCount() == 0) Wander();
  }
  idleTimer_ = idleTimer_ > step ? idleTimer_ - step : 0.0f;
  MapCharacter::Update();
}

void MapChicken::OnIdle() {
  if (leaving_ || !house_) {
    DisposeWithEffect(0, nullptr);
    return;
  }
  if (idleTimer_ <= 0.0f) {
    idleTimer_ = kIdleCheck;
    if (IsCrowded(targetX_, targetY_)) {
      Wander();
      return;
    }
  }
  wanderDelay_ -= static_cast<float>(GameTimeStep());
  if (wanderDelay_ <= 0.0f) Wander();
}

bool MapChicken::IsCrowded(float x, float y) const {
  for (i32 i = 0; i < kMaxChickens; ++i) {
    const MapChicken* other = house_ ? house_->GetChicken(i) : nullptr;
    if (other && other != this && Distance(x, y, other->targetX_, other->targetY_) < kCrowdDistance) return true;
  }
  return false;
}

// A spot of the yard about the house, on free ground, away from the
// chicken and from where the others head; none found, another try soon.
void MapChicken::Wander() {
  if (!house_) return;
  const float hx = static_cast<float>(house_->GetX()), hy = static_cast<float>(house_->GetY());
  const shpf::PathFinder* finder = cast_.Paths().GetPathFinder();
  for (i32 i = 0; i < kWanderTries; ++i) {
    const float x = hx - kYardRadiusX + static_cast<float>(kis::RandomRange(0, 160));
    const float y = hy - 24.0f + static_cast<float>(kis::RandomRange(0, 78));
    const float ex = (x - hx) / kYardRadiusX, ey = (y - hy) / kYardRadiusY;
    if (Distance(x, y, x_, y_) < kCrowdDistance || ex * ex + ey * ey > 1.0f || IsCrowded(x, y)) continue;
    if (finder && grid_ && finder->GridShapeAt(grid_, static_cast<i32>(x), static_cast<i32>(y))) continue;
    SetTarget(x, y);
    new Job_ChickenGoTo(this);
    wanderDelay_ = 1000.0f + 10.0f * static_cast<float>(kis::RandomRange(0, 299));
    return;
  }
  wanderDelay_ = kWanderRetry;
}

void MapChicken::SaveState(u8* record) const {
  MapCharacter::SaveState(record);
  kis::PutF32LE(record + 100, wanderDelay_);
}

void MapChicken::RestoreState() {
  MapCharacter::RestoreState();
  if (!appeared_) {
    appeared_ = true;
    appearDelay_ = 0;
    AttachToLevel(0);
  }
  const float saved = kis::GetF32LE(loaded_ + 100);
  wanderDelay_ = IsSavedTime(saved) ? saved : 0.0f;
}

bool MapChicken::LoadJob(const u8* record, u32 size) {
  const u16 id = kis::GetU16LE(record + 4);
  if (id == kJobGoTo && size == kChickenGoToRecordSize) {
    const float x = kis::GetF32LE(record + 16), y = kis::GetF32LE(record + 20);
    if (std::isfinite(x) && std::isfinite(y) && std::fabs(x) < 100000.0f && std::fabs(y) < 100000.0f) {
      SetTarget(x, y);
      if (RestoreJobStep(new Job_ChickenGoTo(this), record, -1)) return true;
    }
  } else if (id == kJobChickenEat && size == kChickenJobRecordSize && eatJob_ &&
             eatJob_->GetTargetX() == kis::GetI32LE(record + 40) && eatJob_->GetTargetY() == kis::GetI32LE(record + 44)) {
    MoveJobToEnd(eatJob_);
    if (RestoreJobStep(eatJob_, record, kChickenWalkStep + 1)) return true;
  } else if (id == kJobChickenEgg && size == kChickenJobRecordSize && eggJob_ &&
             targetX_ == kis::GetF32LE(record + 40) && targetY_ == kis::GetF32LE(record + 44)) {
    MoveJobToEnd(eggJob_);
    if (RestoreJobStep(eggJob_, record, kChickenWalkStep + 1)) return true;
  }
  const wchar* text = id == kJobGoTo         ? u"Ошибка загрузки работы JOBID_GOTO"
                      : id == kJobChickenEat ? u"Ошибка загрузки работы JOBID_PETEAT"
                                             : u"Ошибка загрузки работы JOBID_CHICKENEGG";
  cast_.SetLoadError(text);
  return false;
}

// --- Job_ChickenGoTo -----------------------------------------------------------------------------------------

Job_ChickenGoTo::Job_ChickenGoTo(MapChicken* chicken) : Job(chicken, kJobGoTo), chicken_(chicken) {}

bool Job_ChickenGoTo::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (step_ == kChickenWalkStep)
    return StartWalk(static_cast<i32>(chicken_->GetTargetX()), static_cast<i32>(chicken_->GetTargetY()), false, 1.0f,
                     nullptr);
  Finish();
  return false;
}

void Job_ChickenGoTo::Update() {
  if (step_ == 0) {
    NextStep(-1);
  } else if (step_ == kChickenWalkStep && UpdateWalk(1.0f)) {
    step_ = kChickenWalkStep + 1;
    state_ = kJobDone;
  }
}

bool Job_ChickenGoTo::Finish() {
  if (!Job::Finish()) return false;
  chicken_->SetTargetHere();
  return true;
}

bool Job_ChickenGoTo::Save(kis::DataCursor* cursor, u32 characterRecord) {
  if (state_ >= kJobFinished) return true;
  u8* r = WriteHeader(cursor, characterRecord, kChickenGoToRecordSize);
  if (!r) return false;
  kis::PutF32LE(r + 16, chicken_->GetTargetX());
  kis::PutF32LE(r + 20, chicken_->GetTargetY());
  return true;
}

// --- ChickenSpotJob -----------------------------------------------------------------------------------------

void ChickenSpotJob::Update() {
  if (step_ == 0) {
    NextStep(-1);
  } else if (step_ == kChickenWalkStep) {
    if (UpdateWalk(1.0f)) NextStep(-1);
  } else {
    UpdateAnimation();
  }
}

void ChickenSpotJob::LeaveSpot() {
  chicken_->SetAtSpot(false);
  chicken_->SetTargetHere();
}

// --- Job_ChickenEat ------------------------------------------------------------------------------------------

Job_ChickenEat::Job_ChickenEat(MapChicken* chicken) : ChickenSpotJob(chicken, kJobChickenEat) {
  chicken->SetEatJob(this);
  chicken->ResetWanderDelay();
  if (PointHenhouse* house = chicken->GetHouse()) house->GetEatingSpot(chicken->GetSlot(), &x_, &y_);
  chicken->SetTarget(static_cast<float>(x_), static_cast<float>(y_));
}

Job_ChickenEat::~Job_ChickenEat() {
  if (chicken_->GetEatJob() == this) chicken_->SetEatJob(nullptr);
}

bool Job_ChickenEat::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  PointHenhouse* house = chicken_->GetHouse();
  if (house && step_ == kChickenWalkStep) return StartWalk(x_, y_, false, kEatWalk, nullptr);
  if (house && step_ == kChickenWalkStep + 1 &&
      PlayAnimation(kForever, kChickenEatAnimation, house->GetEatingFacing(chicken_->GetSlot()), kActivityWork)) {
    chicken_->SetAtSpot(true);
    return true;
  }
  Finish();
  return false;
}

bool Job_ChickenEat::Finish() {
  if (!Job::Finish()) return false;
  if (chicken_->GetEatJob() == this) chicken_->SetEatJob(nullptr);
  LeaveSpot();
  return true;
}

bool Job_ChickenEat::Save(kis::DataCursor* cursor, u32 characterRecord) {
  if (state_ >= kJobFinished) return true;
  u8* r = WriteHeader(cursor, characterRecord, kChickenJobRecordSize);
  if (!r) return false;
  WriteTarget(r, step_ == kChickenWalkStep + 1);
  kis::PutI32LE(r + 40, x_);
  kis::PutI32LE(r + 44, y_);
  return true;
}

// --- Job_ChickenEgg ------------------------------------------------------------------------------------------

Job_ChickenEgg::Job_ChickenEgg(MapChicken* chicken) : ChickenSpotJob(chicken, kJobChickenEgg) {
  chicken->SetEggJob(this);
  if (PointHenhouse* house = chicken->GetHouse()) {
    const i32* spot = house->GetCycle().eggSpots[chicken->GetSlot() & 3];
    chicken->SetTarget(static_cast<float>(spot[0]), static_cast<float>(spot[1]));
  }
}

Job_ChickenEgg::~Job_ChickenEgg() {
  if (chicken_->GetEggJob() == this) chicken_->SetEggJob(nullptr);
}

bool Job_ChickenEgg::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (step_ == kChickenWalkStep)
    return StartWalk(static_cast<i32>(chicken_->GetTargetX()), static_cast<i32>(chicken_->GetTargetY()) - 1, false,
                     1.0f, nullptr);
  const GameCharacter* description = chicken_->GetDescription();
  const GameAnimation* idle = description ? description->GetCharAnimation(chicken_->GetSkin()) : nullptr;
  if (step_ == kChickenWalkStep + 1 && idle &&
      PlayAnimation(kForever, idle->GetName(), chicken_->GetDirection(), kActivityIdle)) {
    chicken_->SetAtSpot(true);
    return true;
  }
  Finish();
  return false;
}

bool Job_ChickenEgg::Finish() {
  if (!Job::Finish()) return false;
  if (chicken_->GetEggJob() == this) chicken_->SetEggJob(nullptr);
  LeaveSpot();
  return true;
}

bool Job_ChickenEgg::Save(kis::DataCursor* cursor, u32 characterRecord) {
  if (state_ >= kJobFinished) return true;
  u8* r = WriteHeader(cursor, characterRecord, kChickenJobRecordSize);
  if (!r) return false;
  WriteTarget(r, step_ == kChickenWalkStep + 1);
  kis::PutF32LE(r + 40, chicken_->GetTargetX());
  kis::PutF32LE(r + 44, chicken_->GetTargetY());
  return true;
}

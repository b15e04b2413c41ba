#include "level/objects/PointCowshed.h"

#include <cmath>
#include <utility>

#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "base/Random.h"
#include "base/Strings.h"
#include "content/BuildingTable.h"
#include "content/LevelRates.h"
#include "content/ProductList.h"
#include "level/characters/Job_Animation.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapPlayer.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointCare.h"
#include "level/rules/LevelRules.h"
#include "level/state/JobRecord.h"
#include "resources/ColorEffects.h"
#include "resources/SEffects.h"
#include "resources/SpriteSet.h"
#include "hud/ASSArrowButton.h"
#include "resources/TutorialHooks.h"

namespace {

constexpr i32 kFeedIconX = -4, kFeedIconY = 32;
constexpr i32 kButtonRise = 56;  // the feed and milk arrows over the shed's place
constexpr i32 kOutsideX = 110, kOutsideY = -1;
constexpr i32 kInside = 100;      // the walk in from the outside spot
constexpr i32 kOutsideStep = 1;   // then the walk in, the milking and the walk out
constexpr i32 kInStep = 2, kMilkStep = 3, kOutStep = 4, kDoneStep = 5;
constexpr wchar kHandIcon[] = u"small_ico_hand";
constexpr u32 kTutorialEventMilk = 0x80000007u;
constexpr u32 kForever = 86400000;     // ms: the shed's own change stops it
constexpr u32 kCallDuration = 0xFFFFFFFEu;  // taken unchanged by the animation job
constexpr float kCallBase = 10000.0f;  // ms between calls: this plus 100 x (0..99)
constexpr u32 kHeadShowDelay = 100;
constexpr u32 kHeadFade = 100, kHeadScale = 200;
constexpr float kHeadSmall = 0.35f;
constexpr u32 kHeadBlack = 0xFF000000u, kHeadWhite = 0xFFFFFFFFu;

}  // namespace

// --- PointCowshed -----------------------------------------------------------------------------------------

PointCowshed::PointCowshed(LevelMap& map, BUILDING* building) : PointPetshouse(map, building) {
  SetFeedIconAnchor(kFeedIconX, kFeedIconY);
  SetFeedButtonAnchor(0, -kButtonRise);
}

PointCowshed::~PointCowshed() {
  Shutdown(false, true, 0);
  for (MapCowHead*& h : heads_)
    if (MapCowHead* head = std::exchange(h, nullptr)) head->Forget();
}

float PointCowshed::MilkTime() const { return static_cast<float>(building_->house.timings[0]); }

void PointCowshed::ForgetCowHead(const MapCowHead* head) {
  for (MapCowHead*& h : heads_)
    if (h == head) h = nullptr;
}

void PointCowshed::GetOutsideSpot(i32* x, i32* y) const {
  *x = mapX_ + Mirror(kOutsideX);
  *y = mapY_ + kOutsideY;
}

void PointCowshed::SetFed(bool fed, bool animate) {
  milkTimer_ = fed ? MilkTime() : 0.0f;
  if (!fed) callTimer_ = -1.0f;
  SetProgress(0.0f);
  PointPetshouse::SetFed(fed, animate);
}

void PointCowshed::ShowFeedLevel() { ShowTroughFill(milkTimer_, MilkTime()); }

u32 PointCowshed::Update(u32 ms) {
  ms = PointPetshouse::Update(ms);
  if (!fed_ || level_ < 1 || beingBuilt_ || IsSuspended() || HasDamage() || cowCount_ < 1 || ms == 0) return ms;
  const LevelRules* rules = GetMap().GetRules();
  const float dec = (rules ? rules->GetRate(kRateAnimalHouses) : 1.0f) * static_cast<float>(ms) * GetRates().GetRate();
  if (milkTimer_ > 0.0f) {
    if (dec >= milkTimer_) {
      milkTimer_ = 0.0f;
      ShowFeedLevel();
      for (MapCowHead* h : heads_)
        if (h) h->FinishJobs();
      RefreshState(true, 0);
    } else {
      milkTimer_ -= dec;
      ShowFeedLevel();
    }
    const float total = MilkTime();
    SetProgress(total > 0.0f ? 1.0f - milkTimer_ / total : 1.0f);
  } else if (callTimer_ >= 0.0f) {
    callTimer_ -= dec;
    if (callTimer_ <= 0.0f) {
      callTimer_ = kCallBase + 100.0f * static_cast<float>(kis::RandomRange(0, 99));
      MapCowHead* head = GetCowHead(kis::RandomRange(0, cowCount_ - 1));
      if (head && !head->IsDead()) head->Play(kJobCowHeadYelling);
    }
  }
  return ms;
}

u32 PointCowshed::RefreshState(bool animate, u32 delay) {
  delay = PointPetshouse::RefreshState(animate, delay);
  if (!IsShutDown() && IsMilkReady()) {
    HideProgressLine();
    if (!milkButton_ && !milkJob_)
      milkButton_ = MakeArrowButton(kMilkButtonCode, mapX_, mapY_ - kButtonRise, &PointCowshed::OnMilkClicked, animate, 0);
    if (callTimer_ < 0.0f) callTimer_ = 0.0f;
  }
  return delay;
}

u32 PointCowshed::OnMilkClicked(ActiveScreenSprite*, ScreenSpriteOwner* owner, u32) {
  auto* shed = static_cast<PointCowshed*>(owner);
  shed->GetMap().ClosePanelExcept(shed);
  shed->HideMilkButton(true, 0);
  shed->StartMilking();
  return kScreenClickSound;
}

void PointCowshed::StartMilking() {
  MapPlayer* player = PointJobOwner(GetMap());
  if (!player || !IsMilkReady() || cowCount_ < 1) return;
  i32 x, y;
  GetOutsideSpot(&x, &y);
  new Job_MilkCows(player, this, x, y);
}

void PointCowshed::StopJobs(bool fade) {
  PointPetshouse::StopJobs(fade);
  if (Job_MilkCows* job = milkJob_) job->Finish();
}

u32 PointCowshed::DoShutdown(bool fade, bool final, u32 delay) {
  if (Job_MilkCows* job = final ? std::exchange(milkJob_, nullptr) : nullptr) {
    job->ClearTarget();
    job->Finish();
  }
  return PointPetshouse::DoShutdown(fade, final, delay);
}

u32 PointCowshed::StartAnimals(bool animate, u32 delay) {
  delay = PointPetshouse::StartAnimals(animate, delay);
  LevelCharacters* cast = GetMap().GetCharacters();
  const HOUSELEVEL* record = LevelRecord();
  if (!cast || !record || !building_->character) return delay;
  cowCount_ = level_ > kMaxCowHeads ? kMaxCowHeads : level_;
  const u32 shown = delay + kHeadShowDelay;
  for (i32 i = 0; i < cowCount_; ++i) {
    if (heads_[i]) continue;
    const float x = static_cast<float>(mapX_ + Mirror(record->spots[2 * i]));
    const float y = static_cast<float>(mapY_ + record->spots[2 * i + 1]);
    MapCowHead* head = new MapCowHead(*cast, *this, i, x, y);
    heads_[i] = head;
    head->AttachToLevel(0);
    head->ClearEffects();
    if (animate) {
      head->AddEffect(new SEffect_Color(kHeadBlack, kHeadWhite, kHeadFade, true, shown));
      head->AddEffect(new SEffect_Scale(kHeadSmall, 1.0f, kHeadScale, true, shown));
      head->AddEffect(new SEffect_Alpha(0.0f, 0.0f, shown, true, 0));
    }
  }
  return delay + 300;
}

u32 PointCowshed::StopAnimals(bool animate, bool final, u32 delay) {
  delay = PointPetshouse::StopAnimals(animate, final, delay);
  if (cowCount_ > 0) DropArrowButton(milkButton_, animate, delay, kShowFade | kShowScale);
  for (MapCowHead*& h : heads_) {
    MapCowHead* head = std::exchange(h, nullptr);
    if (!head) continue;
    head->Forget();
    if (animate) {
      head->DisposeWithEffect(delay, nullptr);
    } else {
      delete head;
    }
  }
  cowCount_ = 0;
  return delay;
}

void PointCowshed::SetMilking(bool on) {
  for (MapCowHead* h : heads_) {
    if (!h) continue;
    if (on) {
      // A head milked already (its saved job brought back) goes on.
      const kis::list<Job*>& jobs = h->GetJobs();
      const Job* last = jobs.GetCount() > 0 ? jobs[jobs.GetCount() - 1] : nullptr;
      if (!last || last->HasEnded() || last->GetJobId() != kJobCowHeadMilk) h->Play(kJobCowHeadMilk);
    } else {
      for (i32 i = h->GetJobs().GetCount() - 1; i >= 0; --i)
        if (h->GetJobs()[i]->GetJobId() == kJobCowHeadMilk) h->GetJobs()[i]->Finish();
    }
  }
}

void PointCowshed::SetRateModifier(u32 id, bool additive, float value) {
  PointPetshouse::SetRateModifier(id, additive, value);
  for (MapCowHead* h : heads_)
    if (h) h->ApplyRate(GetCowRate());
}

bool PointCowshed::Collect(uintptr_t messager) { return CollectProducts(reinterpret_cast<GameMessager*>(messager)); }

bool PointCowshed::CollectProducts(GameMessager* messager) {
  LevelRules* rules = GetMap().GetRules();
  bool stored = false;
  if (IsMilkReady() && rules && cowCount_ > 0) {
    const PRODUCT* milk = building_->producedProduct;
    stored = rules->StoreProduct(milk, cowCount_, kMilkAwardKind, static_cast<float>(mapX_), static_cast<float>(mapY_),
                                 0.0f, messager) > 0;
    if (stored) {
      SetFed(false, true);
      TutorialNotify(kTutorialEventMilk, milk ? milk->id : 0, this);
      HideMilkButton(true, 0);
    }
  }
  if (Job_MilkCows* job = milkJob_; job && (stored || job->HasStarted())) job->Finish();
  return stored;
}

// --- Saved state ------------------------------------------------------------------------------------------

bool PointCowshed::SaveState(kis::DataCursor* writer) {
  u8* r = static_cast<u8*>(writer->Reserve(kCowshedRecordSize, true));
  if (!r) return false;
  const float total = MilkTime();
  kis::PutU32LE(r, kCowshedRecordSize);
  kis::PutU32LE(r + 4, fed_ ? 1 : 0);
  kis::PutF32LE(r + 8, fed_ && total > 0.0f ? milkTimer_ / total : 0.0f);
  kis::PutF32LE(r + 12, callTimer_);
  u8 count[4];
  kis::PutU32LE(count, static_cast<u32>(cowCount_));
  if (!writer->Write(count, 4)) return false;
  for (MapCowHead* h : heads_)
    if (h && !h->Save(writer)) return false;
  return !writer->HasError();
}

// The fraction must lie in 0..1 and the call timer be -1 or a time up to
// the longest pause; the heads brought out take their saved records.
bool PointCowshed::LoadState(kis::DataCursor* reader) {
  const u8* r = static_cast<const u8*>(reader->ReadPtr(kCowshedRecordSize));
  if (!r || kis::GetU32LE(r) != kCowshedRecordSize || kis::GetU32LE(r + 4) > 1) return false;
  const bool fed = kis::GetU32LE(r + 4) != 0;
  const float fraction = kis::GetF32LE(r + 8), call = kis::GetF32LE(r + 12);
  if (!(fraction >= 0.0f && fraction <= 1.0f) || !(call == -1.0f || (call >= 0.0f && call <= kCallBase + 9900.0f)))
    return false;
  if (fed && level_ < 1) return false;
  SetFed(fed, false);
  if (fed) milkTimer_ = fraction * MilkTime();
  RefreshState(false, 0);
  callTimer_ = fed ? call : -1.0f;
  if (fed && milkTimer_ > 0.0f) {
    ShowFeedLevel();
    const float total = MilkTime();
    SetProgress(total > 0.0f ? 1.0f - milkTimer_ / total : 1.0f);
  }
  u8 count[4];
  if (!reader->Read(count, 4) || kis::GetU32LE(count) != static_cast<u32>(cowCount_)) return false;
  for (MapCowHead* h : heads_) {
    if (!h) continue;
    if (!h->Load(reader)) return false;
    h->RestoreState();
    if (!h->LoadJobs(reader)) return false;
  }
  return true;
}

// --- MapCowHead -------------------------------------------------------------------------------------------

MapCowHead::MapCowHead(LevelCharacters& cast, PointCowshed& shed, i32 slot, float x, float y)
    : MapCharacter(cast, shed.GetBuilding()->character, 0, u"", 0, x, y, &shed),
      shed_(&shed),
      slot_(slot),
      refX_(static_cast<i32>(std::lround(x)) + (shed.IsMirrored() ? 2 : -2)),
      refY_(static_cast<i32>(std::lround(y)) + 10) {
  kind_ = kObjectCowHead;
  RaiseCounter();
  // In front of the shed's building, each further slot one step further back.
  const MapBuilding* building = shed.GetMapBuilding();
  SetSortOffset(0, shed.GetY() - static_cast<i32>(y) + 10 + (building ? building->GetSortOffsetY() : 0) - slot);
  const float pace = 0.9f + static_cast<float>(kis::RandomRange(0, 1)) / 5.0f;
  SetRateModifier(kActivityIdle, kCowHeadPaceId, false, pace);
  SetSpeedModifier(kCowHeadPaceId, false, pace, pace);
  PlayAction(0, shed.AnimalFacing());
  ApplyRate(shed.GetCowRate());
}

MapCowHead::~MapCowHead() {
  DeleteAllJobs();
  if (shed_) shed_->ForgetCowHead(this);
}

void MapCowHead::ApplyRate(float rate) {
  SetRateModifier(kActivityIdle, kCowHeadRateId, false, rate);
  SetSpeedModifier(kCowHeadRateId, false, rate, rate);
}

u32 MapCowHead::StartRemoval(u32 delay) {
  delay = MapCharacter::StartRemoval(delay);
  AddEffect(new SEffect_Color(kHeadWhite, kHeadBlack, kHeadFade, true, delay + kHeadFade));
  AddEffect(new SEffect_Scale(1.0f, kHeadSmall, kHeadScale, true, delay));
  return delay + 250;
}

float MapCowHead::GetSpeedFactor() const {
  const Job* job = GetCurrentJob();
  if (job && job->GetJobId() == kJobCowHeadMilk && GetActivity() == kActivityWork)
    if (MapPlayer* player = shed_ ? PointJobOwner(shed_->GetMap()) : nullptr) return player->GetSpeedFactor();
  return MapCharacter::GetSpeedFactor();
}

void MapCowHead::OnIdle() {
  if (shed_ && shed_->IsFilling() && jobs_.GetCount() == 0) Play(kJobCowHeadEat);
}

void MapCowHead::FinishJobs() {
  for (i32 i = jobs_.GetCount() - 1; i >= 0; --i) jobs_[i]->Finish();
}

void MapCowHead::Play(u16 jobId) {
  FinishJobs();
  const wchar* name = jobId == kJobCowHeadMilk      ? kCowHeadMilkAnimation
                      : jobId == kJobCowHeadYelling ? kCowHeadYellingAnimation
                                                    : kCowHeadEatAnimation;
  new Job_Animation(this, jobId, name, GetDirection(), jobId == kJobCowHeadYelling ? kCallDuration : kForever);
}

bool MapCowHead::LoadJob(const u8* record, u32 size) {
  const u16 id = size >= 8 ? kis::GetU16LE(record + 4) : 0;
  if (id == kJobCowHeadMilk) {
    for (i32 i = jobs_.GetCount() - 1; i >= 0; --i)
      if (jobs_[i]->GetJobId() == kJobCowHeadMilk) jobs_[i]->Finish();
  }
  if ((id == kJobCowHeadMilk || id == kJobCowHeadYelling || id == kJobCowHeadEat) &&
      Job_Animation::Load(this, record, size))
    return true;
  const wchar* text = id == kJobCowHeadYelling ? u"Ошибка загрузки работы JOBID_COWHEADYELLING"
                      : id == kJobCowHeadEat   ? u"Ошибка загрузки работы JOBID_COWHEADEAT"
                                               : u"Ошибка загрузки работы JOBID_COWHEADMILK";
  cast_.SetLoadError(text);
  return false;
}

// --- Job_MilkCows -----------------------------------------------------------------------------------------

Job_MilkCows::Job_MilkCows(MapCharacter* owner, PointCowshed* shed, i32 outX, i32 outY)
    : Job(owner, kJobMilkCows), shed_(shed), outX_(outX), outY_(outY) {
  if (!shed) return;
  if (Job_MilkCows* earlier = shed->GetMilkJob()) {
    earlier->ClearTarget();
    earlier->Finish();
  }
  shed->SetMilkJob(this);
  ShowIcon(shed->GetMapX(), shed->GetMapY(), GetSpriteByName(kIconSpriteSet, kHandIcon), shed, kJobIconColor);
  shed->HideFeedButton(false, 0);
  NotifyTutorial();
}

Job_MilkCows::~Job_MilkCows() {
  if (shed_ && shed_->GetMilkJob() == this) shed_->SetMilkJob(nullptr);
  Count(false);
}

void Job_MilkCows::Count(bool on) {
  if (on == counted_ || !owner_) return;
  counted_ = on;
  if (on) {
    owner_->RaiseCounter();
  } else {
    owner_->LowerCounter();
  }
}

void Job_MilkCows::Unlink() {
  PointCowshed* shed = std::exchange(shed_, nullptr);
  if (!shed) return;
  if (shed->GetMilkJob() == this) shed->SetMilkJob(nullptr);
  if (shed->IsFedFlag() && !shed->IsShutDown()) {
    shed->SetMilking(false);
    shed->RefreshState(true, 0);
  }
}

bool Job_MilkCows::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (step_ >= kInStep && step_ < kDoneStep) Count(true);
  if (step_ == kOutsideStep && shed_) {
    // Already on the door's row, between the spot and 100 units towards the shed.
    const i32 before = shed_->Mirror(outX_ - static_cast<i32>(std::lround(owner_->GetX())));
    if (static_cast<i32>(std::lround(owner_->GetY())) == outY_ && before >= 0 && before <= kInside) return NextStep(-1);
    return StartWalk(outX_, outY_, false, 1.0f, nullptr);
  }
  if ((step_ == kInStep || step_ == kMilkStep) && !shed_) return NextStep(kOutStep);
  if (step_ == kInStep) return StartWalk(outX_ - shed_->Mirror(kInside), outY_, false, 1.0f, nullptr);
  if (step_ == kMilkStep) {
    const u32 time = shed_->GetBuilding()->house.timings[3];
    if (!PlayAnimation(time > 0 ? time : 1, kMilkCowsAnimation, 0, kFeedActivity)) return NextStep(kOutStep);
    shed_->SetMilking(true);
    started_ = true;
    return true;
  }
  if (step_ == kOutStep) {
    Unlink();
    return StartWalk(outX_, outY_, false, 1.0f, nullptr);
  }
  if (step_ == kDoneStep) {
    done_ = true;
    state_ = kJobDone;
    Count(false);
    return true;
  }
  Finish();
  return false;
}

void Job_MilkCows::Update() {
  if (step_ == 0) {
    NextStep(-1);
  } else if (step_ == kOutsideStep || step_ == kInStep || step_ == kOutStep) {
    if (UpdateWalk(1.0f)) NextStep(-1);
  } else if (step_ == kMilkStep && UpdateAnimation()) {
    if (PointCowshed* shed = shed_) shed->CollectProducts(&messager_);
    started_ = false;
    if (step_ == kMilkStep && state_ < kJobFinished) NextStep(kOutStep);
    if (level_ && level_->IsPlayer(owner_)) static_cast<MapPlayer*>(owner_)->MarkWorking();
  }
}

// Inside the shed the player is not left there: the job walks her out and
// ends with that walk; a walk out under way goes on. Only a walk that can
// no longer go on ends the job at once.
bool Job_MilkCows::Finish() {
  if (state_ >= kJobFinished) return false;
  if (step_ > kOutsideStep && step_ < kOutStep && !done_) {
    if (state_ == kJobAnimating) EndAnimation();
    started_ = false;
    NextStep(kOutStep);
    return true;
  }
  if (step_ == kOutStep && !done_ && IsWalkGoingOn()) return true;
  Unlink();
  Job::Finish();
  Count(false);
  return true;
}

// The walk runs or waits for its path; a failed walk (no grid, no way, an
// empty path, no speed) finishes the job through Finish in the same state.
bool Job_MilkCows::IsWalkGoingOn() const {
  if (state_ != kJobWalking || !paths_ || !grid_ || !owner_) return false;
  if (!legs_) return request_.prState == shpf::PFS_NEW || request_.prState == shpf::PFS_SEARCHING;
  return owner_->GetBaseSpeed() * speedFactor_ * owner_->GetWalkRate() > 0.0f;
}

bool Job_MilkCows::Save(kis::DataCursor* cursor, u32 characterRecord) {
  if (state_ >= kJobFinished) return true;
  u8* r = WriteHeader(cursor, characterRecord, kMilkJobRecordSize);
  if (!r) return false;
  WriteTarget(r, step_ == kMilkStep);
  kis::PutI32LE(r + 40, shed_ ? shed_->GetIndex() : -1);
  kis::PutI32LE(r + 44, outX_);
  kis::PutI32LE(r + 48, outY_);
  return true;
}

bool LoadMilkJob(MapPlayer& player, const u8* record, u32 size) {
  if (size != kMilkJobRecordSize || kis::GetI32LE(record + 12) != 0) return false;
  const i32 index = kis::GetI32LE(record + 40), x = kis::GetI32LE(record + 44), y = kis::GetI32LE(record + 48);
  const i32 step = kis::GetI32LE(record + 8);
  if (index == -1) {
    // Only a walk out is kept without its shed.
    if (step != kOutStep || x < -100000 || x > 100000 || y < -100000 || y > 100000) return false;
    return RestoreJobStep(new Job_MilkCows(&player, nullptr, x, y), record, kMilkStep);
  }
  const LevelMap& map = player.GetMap();
  if (index < 0 || index >= map.GetPointCount()) return false;
  auto* shed = dynamic_cast<PointCowshed*>(map.GetPoint(index));
  if (!shed || shed->GetKind() != kPointKindBuilding || !shed->GetBuilding() ||
      kis::StrCompareW(shed->GetBuilding()->name, kCowshedName) != 0)
    return false;
  i32 outX, outY;
  shed->GetOutsideSpot(&outX, &outY);
  if (outX != x || outY != y) return false;
  return RestoreJobStep(new Job_MilkCows(&player, shed, x, y), record, kMilkStep);
}

#include "level/objects/PointSheepRack.h"

#include <utility>

#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "base/Random.h"
#include "base/Strings.h"
#include "content/BuildingTable.h"
#include "content/LevelRates.h"
#include "content/ProductList.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapPlayer.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointCare.h"
#include "level/objects/MapSheep.h"
#include "level/rules/LevelRules.h"
#include "level/state/JobRecord.h"
#include "resources/SpriteSet.h"
#include "resources/TutorialHooks.h"
#include "hud/ASSArrowButton.h"

namespace {

constexpr i32 kButtonRise = 40;  // the feed and shear arrows over the pen's place
constexpr float kIconRise = 42.0f;
constexpr u32 kTutorialEventWool = 0x80000007u;
constexpr wchar kHandIcon[] = u"small_ico_hand";
constexpr i32 kWalkStep = 1;

}  // namespace

// --- PointSheepRack ---------------------------------------------------------------------------------------

PointSheepRack::PointSheepRack(LevelMap& map, BUILDING* building) : PointPetshouse(map, building) {
  SetFeedButtonAnchor(0, -kButtonRise);
}

PointSheepRack::~PointSheepRack() {
  Shutdown(false, true, 0);
  RemoveSheep(false, 0);
}

float PointSheepRack::WoolTime() const { return static_cast<float>(building_->house.timings[0]); }

float PointSheepRack::DrawEatDelay() const {
  const float fifth = woolLeft_ / 5.0f;
  const u16 below = static_cast<u16>(fifth < 1.0f ? 1.0f : fifth > 1000.0f ? 1000.0f : fifth);
  return static_cast<float>(kis::RandomBelow(below));
}

void PointSheepRack::ForgetSheep(const MapSheep* sheep) {
  for (MapSheep*& s : sheep_)
    if (s == sheep) s = nullptr;
}

void PointSheepRack::FinishSheepJobs(u16 onlyId) {
  for (MapSheep* s : sheep_)
    if (s) s->FinishJobs(onlyId);
}

void PointSheepRack::SetFed(bool fed, bool animate) {
  if (fed) {
    woolLeft_ = WoolTime();
    const i32 first = sheepCount_ > 0 ? kis::RandomRange(0, sheepCount_ - 1) : 0;
    for (i32 i = 0; i < kMaxSheep; ++i)
      if (sheep_[i]) sheep_[i]->SetEatDelay(i == first ? 0.0f : DrawEatDelay());
  } else {
    woolLeft_ = 0.0f;
  }
  bleatTimer_ = -1.0f;  // a feeding stops the bleating too
  SetProgress(0.0f);
  PointPetshouse::SetFed(fed, animate);
}

void PointSheepRack::ShowFeedLevel() { ShowTroughFill(woolLeft_, WoolTime()); }

// The sheep stand in the built pen, one a level, before the house shows
// its state (which dresses them).
u32 PointSheepRack::ShowBuilding(bool fade, u32 delay) {
  if (level_ >= 1 && sheepCount_ == 0) PlaceSheep(fade, delay);
  return PointPetshouse::ShowBuilding(fade, delay);
}

void PointSheepRack::PlaceSheep(bool animate, u32 delay) {
  LevelCharacters* cast = GetMap().GetCharacters();
  const HOUSELEVEL* record = LevelRecord();
  if (!cast || !record || !building_->character) return;
  sheepCount_ = level_ > kMaxSheep ? kMaxSheep : level_;
  for (i32 i = 0; i < sheepCount_; ++i) {
    sheep_[i] = new MapSheep(*cast, *this, i, static_cast<float>(Mirror(record->spots[2 * i])),
                             static_cast<float>(record->spots[2 * i + 1]));
    sheep_[i]->Show(animate, delay);
  }
  if (sheepCount_ > 0) sheep_[kis::RandomRange(0, sheepCount_ - 1)]->SetEatDelay(0.0f);
}

void PointSheepRack::RemoveSheep(bool animate, u32 delay) {
  for (MapSheep*& s : sheep_) {
    MapSheep* sheep = std::exchange(s, nullptr);
    if (!sheep) continue;
    sheep->Forget();
    if (animate) {
      sheep->DisposeWithEffect(delay, nullptr);
    } else {
      delete sheep;
    }
  }
  sheepCount_ = 0;
}

u32 PointSheepRack::Update(u32 ms) {
  ms = PointPetshouse::Update(ms);
  if (!fed_ || level_ < 1 || beingBuilt_ || IsSuspended() || HasDamage() || sheepCount_ < 1 || ms == 0) return ms;
  const LevelRules* rules = GetMap().GetRules();
  const float d = static_cast<float>(ms) * GetRates().GetRate() * (rules ? rules->GetRate(kRateAnimalHouses) : 1.0f);
  if (woolLeft_ > 0.0f) {
    if (d < woolLeft_) {
      woolLeft_ -= d;
      ShowFeedLevel();
    } else {
      woolLeft_ = 0.0f;
      FinishSheepJobs(0);
      RefreshState(true, 0);
    }
    const float total = WoolTime();
    SetProgress(total > 0.0f ? 1.0f - woolLeft_ / total : 1.0f);
  } else if (bleatTimer_ >= 0.0f) {
    bleatTimer_ -= d;
    if (bleatTimer_ <= 0.0f) {
      bleatTimer_ = kBleatInterval;
      MapSheep* sheep = GetSheep(kis::RandomRange(0, sheepCount_ - 1));
      if (sheep && !sheep->IsDead()) sheep->Play(kJobSheepYelling);
    }
  }
  return ms;
}

u32 PointSheepRack::RefreshState(bool animate, u32 delay) {
  delay = PointPetshouse::RefreshState(animate, delay);
  const bool ready = IsWoolReady();
  for (MapSheep* s : sheep_)
    if (s) s->SetWoolly(ready);
  if (!IsShutDown() && ready && !shearButton_ && !cutJob_) {
    HideProgressLine();
    shearButton_ = MakeArrowButton(kShearButtonCode, mapX_, mapY_ - kButtonRise, &PointSheepRack::OnShearClicked,
                                   animate, delay);
  }
  if (ready && bleatTimer_ < 0.0f) bleatTimer_ = 0.0f;
  return delay;
}

u32 PointSheepRack::OnShearClicked(ActiveScreenSprite*, ScreenSpriteOwner* owner, u32) {
  auto* pen = static_cast<PointSheepRack*>(owner);
  pen->GetMap().ClosePanelExcept(pen);
  pen->HideShearButton(true, 0);
  pen->StartShearing();
  return kScreenClickSound;
}

void PointSheepRack::StartShearing() {
  MapPlayer* player = PointJobOwner(GetMap());
  if (player && IsWoolReady() && sheepCount_ > 0) new Job_CutSheeps(player, this);
}

u32 PointSheepRack::StopAnimals(bool animate, bool final, u32 delay) {
  delay = PointPetshouse::StopAnimals(animate, final, delay);
  if (sheepCount_ > 0) DropArrowButton(shearButton_, animate, delay, kShowFade | kShowScale);
  FinishSheepJobs(kJobSheepEat);
  return delay;
}

void PointSheepRack::StopJobs(bool fade) {
  PointPetshouse::StopJobs(fade);
  if (Job_CutSheeps* job = cutJob_) job->Finish();
}

u32 PointSheepRack::DoShutdown(bool fade, bool final, u32 delay) {
  if (Job_CutSheeps* job = final ? std::exchange(cutJob_, nullptr) : nullptr) {
    job->ClearTarget();
    job->Finish();
  }
  delay = PointPetshouse::DoShutdown(fade, final, delay);
  RemoveSheep(fade, delay);
  return delay;
}

void PointSheepRack::SetRateModifier(u32 id, bool additive, float value) {
  PointPetshouse::SetRateModifier(id, additive, value);
  for (MapSheep* s : sheep_)
    if (s) s->ApplyRate(GetSheepRate());
}

bool PointSheepRack::Collect(uintptr_t messager) { return CollectProducts(reinterpret_cast<GameMessager*>(messager)); }

bool PointSheepRack::CollectProducts(GameMessager* messager) {
  LevelRules* rules = GetMap().GetRules();
  bool stored = false;
  if (IsWoolReady() && rules && sheepCount_ > 0) {
    const PRODUCT* wool = building_->producedProduct;
    stored = rules->StoreProduct(wool, sheepCount_, kWoolAwardKind, static_cast<float>(mapX_),
                                 static_cast<float>(mapY_), kIconRise, messager) > 0;
    if (stored) {
      SetFed(false, true);
      TutorialNotify(kTutorialEventWool, wool ? wool->id : 0, this);
      HideShearButton(true, 0);
    }
  }
  if (Job_CutSheeps* job = cutJob_; job && (!stored || job->HasStarted())) job->Finish();
  return stored;
}

// --- Saved state ------------------------------------------------------------------------------------------

bool PointSheepRack::SaveState(kis::DataCursor* writer) {
  u8* r = static_cast<u8*>(writer->Reserve(kSheepRackRecordSize, true));
  if (!r) return false;
  const float total = WoolTime();
  kis::PutU32LE(r, kSheepRackRecordSize);
  kis::PutU32LE(r + 4, fed_ ? 1 : 0);
  kis::PutF32LE(r + 8, fed_ && total > 0.0f ? woolLeft_ / total : 0.0f);
  kis::PutF32LE(r + 12, bleatTimer_);
  u8 count[4];
  kis::PutU32LE(count, static_cast<u32>(sheepCount_));
  if (!writer->Write(count, 4)) return false;
  for (MapSheep* s : sheep_) {
    if (!s) continue;
    if (!s->Save(writer)) return false;
    if (MapSheepHead* head = s->GetHead(); head && !head->Save(writer)) return false;
  }
  return !writer->HasError();
}

// The fraction must lie in 0..1, the bleat timer be -1 or within one
// interval, and the sheep counted as the pen's level has them.
bool PointSheepRack::LoadState(kis::DataCursor* reader) {
  const u8* r = static_cast<const u8*>(reader->ReadPtr(kSheepRackRecordSize));
  if (!r || kis::GetU32LE(r) != kSheepRackRecordSize || kis::GetU32LE(r + 4) > 1) return false;
  const bool fed = kis::GetU32LE(r + 4) != 0;
  const float fraction = kis::GetF32LE(r + 8), bleat = kis::GetF32LE(r + 12);
  if (!(fraction >= 0.0f && fraction <= 1.0f) || !(bleat == -1.0f || (bleat >= 0.0f && bleat <= kBleatInterval)))
    return false;
  if (fed && level_ < 1) return false;
  SetFed(fed, false);
  if (fed) woolLeft_ = fraction * WoolTime();
  RefreshState(false, 0);
  bleatTimer_ = fed ? bleat : -1.0f;
  if (fed && woolLeft_ > 0.0f) {
    ShowFeedLevel();
    const float total = WoolTime();
    SetProgress(total > 0.0f ? 1.0f - woolLeft_ / total : 1.0f);
  }
  u8 count[4];
  if (!reader->Read(count, 4) || kis::GetU32LE(count) != static_cast<u32>(sheepCount_)) return false;
  for (MapSheep* s : sheep_) {
    if (!s) continue;
    MapSheepHead* head = s->GetHead();
    if (!head || !s->Load(reader) || !head->Load(reader)) return false;
    s->RestoreState();
    if (!s->LoadJobs(reader)) return false;
    head->RestoreState();
    if (!head->LoadJobs(reader)) return false;
  }
  return true;
}

// --- Job_CutSheeps ----------------------------------------------------------------------------------------

Job_CutSheeps::Job_CutSheeps(MapCharacter* owner, PointSheepRack* pen) : Job(owner, kJobCutSheeps), pen_(pen) {
  if (Job_CutSheeps* earlier = pen->GetCutJob()) earlier->Finish();
  pen->SetCutJob(this);
  ShowIcon(pen->GetMapX(), pen->GetMapY(), GetSpriteByName(kIconSpriteSet, kHandIcon), pen, kJobIconColor);
  pen->HideShearButton(false, 0);
  NotifyTutorial();
}

Job_CutSheeps::~Job_CutSheeps() {
  if (pen_ && pen_->GetCutJob() == this) pen_->SetCutJob(nullptr);
}

bool Job_CutSheeps::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (pen_ && step_ == kWalkStep) {
    const BUILDING* b = pen_->GetBuilding();
    return StartWalk(pen_->GetMapX() + pen_->Mirror(b->workSpot[0]), pen_->GetMapY() + b->workSpot[1], false, 1.0f,
                     nullptr);
  }
  if (pen_ && step_ == kWalkStep + 1) {
    const u32 time = pen_->GetBuilding()->house.timings[3];
    started_ = PlayAnimation(time > 0 ? time : 1, kCutSheepAnimation, 0, kFeedActivity);
    if (started_) return true;
  }
  Finish();
  return false;
}

void Job_CutSheeps::Update() {
  if (!UpdateWalkThenWork(kWalkStep)) return;
  PointSheepRack* pen = std::exchange(pen_, nullptr);
  started_ = false;
  if (!pen) return;
  if (pen->GetCutJob() == this) pen->SetCutJob(nullptr);
  pen->CollectProducts(&messager_);
  if (!pen->IsShutDown()) pen->RefreshState(true, 0);
  if (level_ && level_->IsPlayer(owner_)) static_cast<MapPlayer*>(owner_)->MarkWorking();
}

bool Job_CutSheeps::Finish() {
  if (!Job::Finish()) return false;
  PointSheepRack* pen = std::exchange(pen_, nullptr);
  if (!pen) return true;
  if (pen->GetCutJob() == this) pen->SetCutJob(nullptr);
  if (!pen->IsShutDown()) pen->RefreshState(true, 0);
  return true;
}

bool Job_CutSheeps::Save(kis::DataCursor* cursor, u32 characterRecord) {
  return SavePointJob(this, cursor, characterRecord, pen_, step_ == kWalkStep + 1);
}

bool LoadCutSheepsJob(MapPlayer& player, const u8* record, u32 size) {
  auto* pen = dynamic_cast<PointSheepRack*>(PointOfJobRecord(player.GetMap(), record, size));
  if (!pen || pen->GetKind() != kPointKindBuilding || kis::GetI32LE(record + 12) != 0) return false;
  const BUILDING* building = pen->GetBuilding();
  if (!building || building->kind != kBuildingAnimalHouse || kis::StrCompareW(building->name, kSheepRackName) != 0)
    return false;
  return RestoreJobStep(new Job_CutSheeps(&player, pen), record, kWalkStep + 1);
}

#include "level/objects/PointHenhouse.h"

#include <cmath>
#include <utility>

#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "base/Random.h"
#include "base/Strings.h"
#include "content/BuildingTable.h"
#include "content/LevelRates.h"
#include "content/ProductList.h"
#include "level/characters/Job_Clear.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapPlayer.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointCare.h"
#include "level/objects/MapChicken.h"
#include "level/rules/LevelRules.h"
#include "level/state/JobRecord.h"
#include "resources/SEffects.h"
#include "resources/SoundSettings.h"
#include "resources/StandardSounds.h"
#include "resources/SpriteSet.h"
#include "resources/TutorialHooks.h"
#include "hud/ASSArrowButton.h"

namespace {

constexpr i32 kNestX = 8, kNestY = 30;  // the nest centre from the house's place
constexpr i32 kEggSpread = 8;           // the least distance between two eggs
constexpr i32 kEggTries = 100;
constexpr i32 kEggRadiusX = 17, kEggRadiusY = 10;
constexpr u32 kChickenStagger = 100;  // ms between two chickens coming out
constexpr i32 kTakeButtonRise = 16;
constexpr i32 kTakeWalkBelow = 12;
constexpr u32 kTutorialEventEggs = 0x80000007u;
constexpr u16 kEggFrameAttribute = 7;  // the cursor tag that shows the eggs' odd frames
constexpr wchar kHenhouseHandIcon[] = u"small_ico_hand";
constexpr wchar kTakeEggsAnimation[] = u"girl_work";
constexpr i32 kHenhouseWalkStep = 1;
constexpr float kDayMs = 86400000.0f;

bool InEggEllipse(i32 dx, i32 dy) {
  return static_cast<float>(dx * dx) / (kEggRadiusX * kEggRadiusX) +
             static_cast<float>(dy * dy) / (kEggRadiusY * kEggRadiusY) <=
         1.0f;
}

}  // namespace

// --- PointHenhouse ----------------------------------------------------------------------------------------

PointHenhouse::PointHenhouse(LevelMap& map, BUILDING* building) : PointPetshouse(map, building) {}

PointHenhouse::~PointHenhouse() {
  Shutdown(false, true, 0);
  for (MapChicken*& c : leaving_)
    if (MapChicken* chicken = std::exchange(c, nullptr)) chicken->Forget();
}

void PointHenhouse::GetNestCentre(i32* x, i32* y) const {
  *x = GetX() + (IsMirrored() ? -kNestX : kNestX);
  *y = GetY() + kNestY;
}

i32 PointHenhouse::GetEatingFacing(i32 slot) const {
  const HOUSELEVEL* record = LevelRecord();
  return record ? static_cast<i32>(record->eatingFacings[2 * (slot & 3) + (IsMirrored() ? 1 : 0)] & 7) : 0;
}

void PointHenhouse::GetEatingSpot(i32 slot, i32* x, i32* y) const {
  const HOUSELEVEL* record = LevelRecord();
  *x = mapX_ + (record ? Mirror(record->spots[2 * (slot & 3)]) : 0);
  *y = mapY_ + (record ? record->spots[2 * (slot & 3) + 1] : 0);
}

void PointHenhouse::ForgetChicken(const MapChicken* chicken) {
  for (i32 i = 0; i < kMaxChickens; ++i) {
    if (chickens_[i] == chicken) chickens_[i] = nullptr;
    if (leaving_[i] == chicken) leaving_[i] = nullptr;
  }
}

// The cycle restarts from the header's times: the eating time E, then the
// rest of the cycle T (less E and the laying) split 4:1 between the
// wandering before and after the meal.
void PointHenhouse::SetFed(bool fed, bool animate) {
  if (fed) {
    const HOUSEPART& part = building_->house;
    const i64 total = part.timings[0], eating = part.timings[2];
    const i64 rest = total - eating - kLayTime > 0 ? total - eating - kLayTime : 0;
    cycle_ = HENCYCLE{};
    cycle_.timers[0] = static_cast<float>(rest - rest / 5);
    cycle_.timers[1] = static_cast<float>(eating);
    cycle_.timers[2] = static_cast<float>(rest / 5);
    cycle_.timers[3] = static_cast<float>(kLayTime);
    ChooseEggSpots();
    SetProgress(0.0f);
  }
  PointPetshouse::SetFed(fed, animate);
}

// Spot 0 near the nest centre, the others on the ellipse about it at least
// 8 apart; a spot the tries cannot place takes the last one drawn.
void PointHenhouse::ChooseEggSpots() {
  i32 cx, cy;
  GetNestCentre(&cx, &cy);
  for (i32 i = 0; i < kMaxChickens; ++i) {
    i32 dx = 0, dy = 0;
    for (i32 t = 0; t < kEggTries; ++t) {
      dx = i == 0 ? kis::RandomRange(-3, 3) : kis::RandomRange(-kEggRadiusX, kEggRadiusX);
      dy = i == 0 ? kis::RandomRange(-2, 2) : kis::RandomRange(-kEggRadiusY, kEggRadiusY);
      bool apart = InEggEllipse(dx, dy);
      for (i32 k = 0; k < i && apart; ++k) {
        const i32 ex = cycle_.eggSpots[k][0] - cx - dx, ey = cycle_.eggSpots[k][1] - cy - dy;
        apart = ex * ex + ey * ey >= kEggSpread * kEggSpread;
      }
      if (apart) break;
    }
    cycle_.eggSpots[i][0] = cx + dx;
    cycle_.eggSpots[i][1] = cy + dy;
  }
}

float PointHenhouse::GetProgressPercent() const {
  const u32 total = building_->house.timings[0];
  float left = 0.0f;
  for (u32 p = cycle_.phase; p < 4; ++p) left += cycle_.timers[p];
  const float percent = 100.0f - 100.0f * left / static_cast<float>(total > 0 ? total : 1);
  return percent < 0.0f ? 0.0f : percent > 100.0f ? 100.0f : percent;
}

void PointHenhouse::ShowFeedLevel() {
  ShowTroughFill(fed_ ? cycle_.timers[1] : 0.0f, static_cast<float>(building_->house.timings[2]));
}

bool PointHenhouse::AllAtSpot() const {
  for (const MapChicken* c : chickens_) {
    // A chicken whose phase job gave up (no way there) does not hold the others.
    const bool holding = c && (cycle_.phase == 1 ? c->GetEatJob() != nullptr : c->GetEggJob() != nullptr);
    if (holding && !c->IsAtSpot()) return false;
  }
  return true;
}

u32 PointHenhouse::Update(u32 ms) {
  ms = PointPetshouse::Update(ms);
  if (!fed_ || level_ < 1 || beingBuilt_ || IsSuspended() || HasDamage() || ms == 0) return ms;
  if (restart_) {
    restart_ = false;
    ChangePhase(cycle_.phase);
  }
  const u32 p = cycle_.phase;
  if (p >= kPhaseEggs) return ms;
  if (p == 0 || p == 2 || AllAtSpot()) {
    const LevelRules* rules = GetMap().GetRules();
    const float rate = (rules ? rules->GetRate(kRateAnimalHouses) : 1.0f) * GetRates().GetRate();
    const float left = cycle_.timers[p] - rate * static_cast<float>(ms);
    cycle_.timers[p] = left > 0.0f ? left : 0.0f;
  }
  if (p == 1) ShowFeedLevel();
  if (cycle_.timers[p] <= 0.0f) ChangePhase(p + 1);
  SetProgress(GetProgressPercent() / 100.0f);
  return ms;
}

void PointHenhouse::FinishPhaseJobs() {
  for (MapChicken* c : chickens_) {
    if (!c) continue;
    if (cycle_.phase == 1 && c->GetEatJob()) c->GetEatJob()->Finish();
    if (cycle_.phase == 3 && c->GetEggJob()) c->GetEggJob()->Finish();
  }
}

void PointHenhouse::ChangePhase(u32 phase) {
  FinishPhaseJobs();
  cycle_.phase = phase;
  if (phase == 1 || phase == 3) {
    for (MapChicken* c : chickens_) {
      if (!c) continue;
      if (phase == 1) new Job_ChickenEat(c);
      if (phase == 3) new Job_ChickenEgg(c);
    }
  } else if (phase == kPhaseEggs && chickenCount_ > 0) {
    if (cycle_.eggCount == 0) PlaceEggs(IsEntered());
    for (i32 i = 0; i < kMaxChickens; ++i) {
      MapChicken* c = std::exchange(chickens_[i], nullptr);
      if (!c) continue;
      c->SetLeaving();
      leaving_[i] = c;
    }
    chickenCount_ = 0;
    pending_ = RefreshState(IsEntered(), 200);
  }
}

void PointHenhouse::PlaceEggs(bool animate) {
  ClearEggs(false, 0);
  const i32 n = chickenCount_ < kMaxChickens ? chickenCount_ : kMaxChickens;
  cycle_.eggCount = static_cast<u32>(n);
  const PRODUCT* egg = building_->producedProduct;
  for (i32 i = 0; egg && i < n; ++i) {
    SpriteObject* sprite = SpriteObject::Create(GetMap(), egg->mapSprite, kLayerGround, cycle_.eggSpots[i][0],
                                                cycle_.eggSpots[i][1], kObjectEgg, this, 0);
    if (!sprite) continue;
    const i32 frames = sprite->FrameState().sprite ? sprite->FrameState().sprite->GetFrameCount() : 1;
    const i32 pairs = (frames + 1) / 2;
    StillFrame(sprite, 2 * kis::RandomRange(0, pairs > 0 ? pairs - 1 : 0) + (GetCursorTag() == kEggFrameAttribute ? 1 : 0));
    sprite->AttachToLevel(0);
    if (animate) sprite->AddEffect(new SEffect_Build(kPointSpriteShowTime, 0));
    eggs_.Add(sprite);
  }
  if (animate && building_->sound) GetSoundSettings().PlaySound(building_->sound, kSoundGroupLevel, 0);
}

void PointHenhouse::ClearEggs(bool fade, u32 delay) {
  for (i32 i = 0; i < eggs_.GetCount(); ++i) {
    if (fade) {
      eggs_[i]->DisposeWithEffect(delay, new SEffect_Scale(1.0f, 0.0f, kPointSpriteShowTime, true, delay));
    } else {
      delete eggs_[i];
    }
  }
  eggs_.RemoveAll();
}

u32 PointHenhouse::StartAnimals(bool animate, u32 delay) {
  delay = PointPetshouse::StartAnimals(animate, delay);
  LevelCharacters* cast = GetMap().GetCharacters();
  if (cycle_.phase >= kPhaseEggs || !cast || !building_->character) return delay;
  if (animate) delay += kChickenStagger;
  chickenCount_ = level_ < 1 ? 1 : level_ > kMaxChickens ? kMaxChickens : level_;
  for (i32 i = 0; i < chickenCount_; ++i) {
    if (chickens_[i]) continue;
    const i32 x = mapX_ + Mirror(kis::GetI32LE(building_->house.houseBytes + 8 * i));
    const i32 y = mapY_ + kis::GetI32LE(building_->house.houseBytes + 8 * i + 4);
    chickens_[i] = new MapChicken(*cast, *this, i, static_cast<float>(x), static_cast<float>(y), delay, animate);
    if (animate) delay += kChickenStagger;
  }
  return delay;
}

u32 PointHenhouse::StopAnimals(bool animate, bool final, u32 delay) {
  delay = PointPetshouse::StopAnimals(animate, final, delay);
  restart_ = true;
  for (MapChicken*& slot : leaving_) {
    MapChicken* c = slot;
    if (!c || (animate && !final)) continue;
    slot = nullptr;
    c->Forget();
    if (animate) {
      c->DisposeWithEffect(delay, nullptr);
    } else {
      delete c;
    }
  }
  if (!final) {
    FinishPhaseJobs();
    return delay;
  }
  for (MapChicken*& slot : chickens_) {
    MapChicken* c = std::exchange(slot, nullptr);
    if (!c) continue;
    c->Forget();
    if (animate) {
      c->DisposeWithEffect(delay, nullptr);
    } else {
      delete c;
    }
  }
  chickenCount_ = 0;
  return delay;
}

u32 PointHenhouse::RefreshState(bool animate, u32 delay) {
  delay = PointPetshouse::RefreshState(animate, delay);
  if (cycle_.phase > 3) HideProgressLine();
  if (!IsShutDown() && fed_ && cycle_.phase == kPhaseEggs && !takeButton_ && !takeJob_ && !HasDamage() &&
      cycle_.eggCount > 0)
    ShowTakeEggsButton(animate);
  return delay;
}

void PointHenhouse::ShowTakeEggsButton(bool animate) {
  i32 x, y;
  GetNestCentre(&x, &y);
  takeButton_ = MakeArrowButton(kTakeEggsButtonCode, x, y - kTakeButtonRise, &PointHenhouse::OnTakeEggsClicked, animate, 0);
}

void PointHenhouse::HideTakeEggsButton(bool animate) { DropArrowButton(takeButton_, animate, 0); }

u32 PointHenhouse::OnTakeEggsClicked(ActiveScreenSprite*, ScreenSpriteOwner* owner, u32) {
  auto* house = static_cast<PointHenhouse*>(owner);
  house->GetMap().ClosePanelExcept(house);
  house->StartTakeEggs();
  return kScreenClickSound;
}

void PointHenhouse::StartTakeEggs() {
  MapPlayer* player = PointJobOwner(GetMap());
  if (player && cycle_.eggCount > 0) new Job_TakeEggs(player, this);
}

bool PointHenhouse::Collect(uintptr_t messager) { return CollectProducts(reinterpret_cast<GameMessager*>(messager)); }

bool PointHenhouse::CollectProducts(GameMessager* messager) {
  bool stored = false;
  LevelRules* rules = GetMap().GetRules();
  if (fed_ && cycle_.eggCount > 0 && rules) {
    i32 x, y;
    GetNestCentre(&x, &y);
    const PRODUCT* egg = building_->producedProduct;
    if (rules->StoreProduct(egg, static_cast<i32>(cycle_.eggCount), kEggAwardKind, static_cast<float>(x),
                            static_cast<float>(y), 0.0f, messager) > 0) {
      ClearEggs(true, 0);
      cycle_.eggCount = 0;
      SetFed(false, true);
      TutorialNotify(kTutorialEventEggs, egg ? egg->id : 0, this);
      stored = true;
    }
  }
  HideTakeEggsButton(true);
  if (Job_TakeEggs* job = takeJob_; job && (stored || job->HasStarted())) job->Finish();
  return stored;
}

void PointHenhouse::SetRateModifier(u32 id, bool additive, float value) {
  PointPetshouse::SetRateModifier(id, additive, value);
  for (MapChicken* c : chickens_)
    if (c) c->ApplyRate(GetChickenRate());
}

u32 PointHenhouse::ShowBuilding(bool fade, u32 delay) {
  delay = PointPetshouse::ShowBuilding(fade, delay);
  if (level_ < 1 || nest_ || !building_->nest) return delay;
  i32 x, y;
  GetNestCentre(&x, &y);
  nest_ = SpriteObject::Create(GetMap(), building_->nest, kLayerGround, x, y, kObjectNest, this, IsMirrored() ? 1 : 0);
  if (nest_) {
    nest_->AttachToLevel(kAttachClickShapes);
    if (fade) nest_->AddEffect(new SEffect_Alpha(0.0f, 1.0f, kPointSpriteShowTime, true, delay));
  }
  return delay;
}

void PointHenhouse::StopJobs(bool fade) {
  PointPetshouse::StopJobs(fade);
  if (Job_TakeEggs* job = takeJob_) job->Finish();
  HideTakeEggsButton(fade);
}

u32 PointHenhouse::DoShutdown(bool fade, bool final, u32 delay) {
  if (Job_TakeEggs* job = final ? std::exchange(takeJob_, nullptr) : nullptr) {
    job->ClearTarget();
    job->Finish();
  }
  if (!fade) {
    delete std::exchange(nest_, nullptr);
    ClearEggs(false, 0);
    HideTakeEggsButton(false);
  } else if (final) {
    HideTakeEggsButton(true);
    if (SpriteObject* nest = std::exchange(nest_, nullptr))
      nest->DisposeWithEffect(delay, new SEffect_Alpha(1.0f, 0.0f, kPointSpriteShowTime, true, delay));
    ClearEggs(true, delay);
  }
  return PointPetshouse::DoShutdown(fade, final, delay);
}

// --- Saved state ------------------------------------------------------------------------------------------

bool PointHenhouse::SaveState(kis::DataCursor* writer) {
  u8* r = static_cast<u8*>(writer->Reserve(kHenhouseRecordSize, true));
  if (!r) return false;
  kis::PutU32LE(r, kHenhouseRecordSize);
  kis::PutU32LE(r + 4, fed_ ? 1 : 0);
  if (fed_) {
    kis::PutU32LE(r + 8, cycle_.phase);
    for (i32 i = 0; i < 4; ++i) kis::PutF32LE(r + 12 + 4 * i, cycle_.timers[i]);
    for (i32 i = 0; i < kMaxChickens; ++i) {
      kis::PutI32LE(r + 28 + 8 * i, cycle_.eggSpots[i][0]);
      kis::PutI32LE(r + 32 + 8 * i, cycle_.eggSpots[i][1]);
    }
    kis::PutU32LE(r + 60, cycle_.eggCount);
  }
  u8 count[4];
  kis::PutU32LE(count, static_cast<u32>(chickenCount_));
  if (!writer->Write(count, 4)) return false;
  for (MapChicken* c : chickens_)
    if (c && !c->Save(writer)) return false;
  return !writer->HasError();
}

// The saved cycle is played again from its phase (which lays the eggs of
// phase 4 anew); the chickens it brings out take their saved records.
bool PointHenhouse::LoadState(kis::DataCursor* reader) {
  const u8* r = static_cast<const u8*>(reader->ReadPtr(kHenhouseRecordSize));
  if (!r || kis::GetU32LE(r) != kHenhouseRecordSize || kis::GetU32LE(r + 4) > 1) return false;
  const bool fed = kis::GetU32LE(r + 4) != 0;
  HENCYCLE saved;
  saved.phase = kis::GetU32LE(r + 8);
  for (i32 i = 0; i < 4; ++i) saved.timers[i] = kis::GetF32LE(r + 12 + 4 * i);
  for (i32 i = 0; i < kMaxChickens; ++i) {
    saved.eggSpots[i][0] = kis::GetI32LE(r + 28 + 8 * i);
    saved.eggSpots[i][1] = kis::GetI32LE(r + 32 + 8 * i);
  }
  saved.eggCount = kis::GetU32LE(r + 60);
  if (fed) {
    if (level_ < 1 || saved.phase > kPhaseEggs || saved.eggCount > kMaxChickens) return false;
    for (const float t : saved.timers)
      if (!(t >= 0.0f && t <= kDayMs)) return false;
    for (const auto& spot : saved.eggSpots)
      if (spot[0] < -100000 || spot[0] > 100000 || spot[1] < -100000 || spot[1] > 100000) return false;
  } else {
    for (u32 i = 8; i < kHenhouseRecordSize; ++i)
      if (r[i] != 0) return false;
  }
  SetFed(fed, false);
  if (fed) {
    cycle_ = saved;
    cycle_.eggCount = 0;
    ChangePhase(saved.phase);
    if (cycle_.eggCount != saved.eggCount) return false;
    SetProgress(GetProgressPercent() / 100.0f);
    ShowFeedLevel();
  }
  u8 count[4];
  if (!reader->Read(count, 4) || kis::GetU32LE(count) != static_cast<u32>(chickenCount_)) return false;
  for (MapChicken* c : chickens_) {
    if (!c) continue;
    if (!c->Load(reader)) return false;
    c->RestoreState();
    if (!c->LoadJobs(reader)) return false;
  }
  return true;
}

// --- Job_TakeEggs -----------------------------------------------------------------------------------------

Job_TakeEggs::Job_TakeEggs(MapCharacter* owner, PointHenhouse* house) : Job(owner, kJobTakeEggs), house_(house) {
  if (Job_TakeEggs* earlier = house->GetTakeEggsJob()) earlier->Finish();
  house->SetTakeEggsJob(this);
  i32 x, y;
  house->GetNestCentre(&x, &y);
  ShowIcon(x, y, GetSpriteByName(kIconSpriteSet, kHenhouseHandIcon), house, kJobIconColor);
  house->HideTakeEggsButton(false);
  NotifyTutorial();
}

Job_TakeEggs::~Job_TakeEggs() {
  if (house_ && house_->GetTakeEggsJob() == this) house_->SetTakeEggsJob(nullptr);
}

bool Job_TakeEggs::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  i32 x = 0, y = 0;
  if (house_) house_->GetNestCentre(&x, &y);
  if (house_ && step_ == kHenhouseWalkStep) return StartWalk(x, y + kTakeWalkBelow, false, 1.0f, nullptr);
  if (house_ && step_ == kHenhouseWalkStep + 1) {
    const u32 time = house_->GetBuilding()->house.timings[3];
    started_ = PlayAnimation(time > 0 ? time : 1, kTakeEggsAnimation, 0, kWorkActivity);
    if (started_) return true;
  }
  Finish();
  return false;
}

// The eggs that found no room stay: the house offers them again.
void Job_TakeEggs::Update() {
  if (!UpdateWalkThenWork(kHenhouseWalkStep)) return;
  PointHenhouse* house = std::exchange(house_, nullptr);
  if (!house) return;
  if (house->GetTakeEggsJob() == this) house->SetTakeEggsJob(nullptr);
  house->CollectProducts(&messager_);
  if (!house->IsShutDown()) house->RefreshState(true, 0);
  if (level_ && level_->IsPlayer(owner_)) static_cast<MapPlayer*>(owner_)->MarkWorking();
}

bool Job_TakeEggs::Finish() {
  if (!Job::Finish()) return false;
  PointHenhouse* house = std::exchange(house_, nullptr);
  if (!house) return true;
  if (house->GetTakeEggsJob() == this) house->SetTakeEggsJob(nullptr);
  if (!house->IsShutDown()) house->RefreshState(true, 0);
  return true;
}

bool Job_TakeEggs::Save(kis::DataCursor* cursor, u32 characterRecord) {
  return SavePointJob(this, cursor, characterRecord, house_, step_ == kHenhouseWalkStep + 1);
}

bool LoadTakeEggsJob(MapPlayer& player, const u8* record, u32 size) {
  auto* house = dynamic_cast<PointHenhouse*>(PointOfJobRecord(player.GetMap(), record, size));
  if (!house || house->GetKind() != kPointKindBuilding || kis::GetI32LE(record + 12) != 0) return false;
  const BUILDING* building = house->GetBuilding();
  if (!building || kis::StrCompareW(building->name, kHenhouseName) != 0 || house->GetCycle().eggCount == 0) return false;
  return RestoreJobStep(new Job_TakeEggs(&player, house), record, kHenhouseWalkStep + 1);
}

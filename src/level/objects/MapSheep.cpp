#include "level/objects/MapSheep.h"

#include <utility>

#include "base/LittleEndian.h"
#include "base/Random.h"
#include "base/Strings.h"
#include "content/BuildingTable.h"
#include "content/GameCharacter.h"
#include "level/characters/Job_Animation.h"
#include "level/characters/LevelCharacters.h"
#include "level/objects/PointSheepRack.h"
#include "level/state/JobRecord.h"
#include "resources/MotionEffects.h"
#include "resources/SEffects.h"

namespace {

constexpr wchar kBody[] = u"sheepbody";
constexpr i32 kBodyLength = 9;
constexpr wchar kSkin[] = u"_skin";
constexpr i32 kSkinLength = 5;
constexpr u32 kSheepForever = 86400000;  // ms: the pen's own change stops it
constexpr u32 kShowTime = 200;

bool StartsWith(const wchar* name, const wchar* prefix, i32 length) {
  for (i32 i = 0; i < length; ++i)
    if (name[i] != prefix[i]) return false;
  return true;
}

// What follows "sheepbody" in a body name, with the shorn skin's "_skin" left out.
const wchar* BodyTail(const wchar* name) {
  const wchar* tail = name + kBodyLength;
  return StartsWith(tail, kSkin, kSkinLength) ? tail + kSkinLength : tail;
}

bool IsBodyName(const wchar* name) { return name && StartsWith(name, kBody, kBodyLength); }

float IdleDelay() { return 1000.0f + 10.0f * static_cast<float>(kis::RandomRange(0, 499)); }

}  // namespace

void SheepBodyName(const wchar* name, i32 skin, wchar (&out)[kAnimationNameSize]) {
  if (!IsBodyName(name) || skin != 0) {
    kis::StrCopy(out, kAnimationNameSize, name ? name : u"");
    return;
  }
  kis::StrCopy(out, kAnimationNameSize, kBody);
  kis::StrCat(out, kAnimationNameSize, kSkin);
  kis::StrCat(out, kAnimationNameSize, BodyTail(name));
}

void SheepHeadName(const wchar* name, wchar (&out)[kAnimationNameSize]) {
  kis::StrCopy(out, kAnimationNameSize, u"sheephead");
  if (IsBodyName(name)) kis::StrCat(out, kAnimationNameSize, BodyTail(name));
}

// --- MapSheep ---------------------------------------------------------------------------------------------

MapSheep::MapSheep(LevelCharacters& cast, PointSheepRack& pen, i32 slot, float dx, float dy)
    : MapCharacter(cast, pen.GetBuilding()->character, 0, u"", 0, static_cast<float>(pen.GetMapX()),
                   static_cast<float>(pen.GetMapY()), &pen),
      pen_(&pen),
      slot_(slot),
      idleTimer_(IdleDelay()) {
  kind_ = kObjectSheep;
  drawOffsetX = dx;
  drawOffsetY = dy;
  head_ = new MapSheepHead(cast, *this, x_, y_);
  if (pen.IsGrowing()) eatDelay_ = pen.DrawEatDelay();
  const float pace = 0.9f + static_cast<float>(kis::RandomRange(0, 1)) / 5.0f;
  SetRateModifier(kActivityIdle, kSheepPaceId, false, pace);
  SetSpeedModifier(kSheepPaceId, false, pace, pace);
  PlayAction(pen.IsWoolReady() ? 1 : 0, pen.AnimalFacing());
  ApplyRate(pen.GetSheepRate());
}

MapSheep::~MapSheep() {
  DeleteAllJobs();
  if (pen_) pen_->ForgetSheep(this);
  if (MapSheepHead* head = std::exchange(head_, nullptr)) {
    head->Forget();
    delete head;
  }
}

void MapSheep::Show(bool animate, u32 delay) {
  SetSortOffset(0, -slot_);
  AttachToLevel(0);
  ClearEffects();
  if (head_) {
    head_->SetSortOffset(0, 20 - slot_);
    head_->AttachToLevel(0);
    head_->ClearEffects();
  }
  if (!animate) return;
  const i32 dx = static_cast<i32>(drawOffsetX), dy = static_cast<i32>(drawOffsetY);
  for (MapCharacter* c : {static_cast<MapCharacter*>(this), static_cast<MapCharacter*>(head_)}) {
    if (!c) continue;
    c->AddEffect(new SEffect_DisCenter(kShowTime, dx, dy, delay));
    c->AddEffect(new SEffect_Build(kShowTime, delay));
  }
}

u32 MapSheep::StartRemoval(u32 delay) {
  delay = MapCharacter::StartRemoval(delay);
  const i32 dx = static_cast<i32>(drawOffsetX), dy = static_cast<i32>(drawOffsetY);
  AddEffect(new SEffect_DisCenter(kShowTime, dx, dy, delay));
  AddEffect(new SEffect_Scale(1.0f, 0.0f, kShowTime, true, delay));
  if (MapSheepHead* head = std::exchange(head_, nullptr)) {
    head->Forget();
    head->DisposeWithEffect(delay, nullptr);
  }
  return delay;
}

void MapSheep::ApplyRate(float rate) {
  SetRateModifier(kActivityIdle, kSheepRateId, false, rate);
  SetSpeedModifier(kSheepRateId, false, rate, rate);
}

void MapSheep::SetWoolly(bool woolly) {
  SetSkin(woolly ? 1 : 0);
  if (head_) head_->SetSkin(woolly ? 1 : 0);
}

void MapSheep::PlayAnimation(i32 skin, const wchar* name, i32 direction, bool keepTime, i32 activity) {
  wchar body[kAnimationNameSize], head[kAnimationNameSize];
  SheepBodyName(name, skin, body);
  MapCharacter::PlayAnimation(skin, body, direction, keepTime, activity);
  if (!head_) return;
  SheepHeadName(name, head);
  head_->MapCharacter::PlayAnimation(skin, head, direction, keepTime, activity);
}

void MapSheep::AddJob(Job* job) {
  for (i32 i = jobs_.GetCount() - 1; i >= 0; --i)
    if (jobs_[i] != job) jobs_[i]->Finish();
  MapCharacter::AddJob(job);
}

u16 MapSheep::GetJobId() const {
  for (i32 i = jobs_.GetCount() - 1; i >= 0; --i)
    if (!jobs_[i]->HasEnded()) return jobs_[i]->GetJobId();
  return 0;
}

void MapSheep::FinishJobs(u16 onlyId) {
  for (i32 i = jobs_.GetCount() - 1; i >= 0; --i)
    if (onlyId == 0 || jobs_[i]->GetJobId() == onlyId) jobs_[i]->Finish();
}

void MapSheep::Play(u16 jobId) {
  const bool woolly = GetSkin() == 1;
  switch (jobId) {
    case kJobSheepEat:
      new Job_Animation(this, jobId, kSheepEatAnimation, GetDirection(), kSheepForever);
      break;
    case kJobSheepYelling:
      new Job_Animation(this, jobId, u"sheepbody_yelling", GetDirection(), 960);
      break;
    case kJobSheepTurnLeft:
      new Job_Animation(this, jobId, u"sheepbody_turnleft", GetDirection(), 1800);
      break;
    case kJobSheepTurnRight:
      new Job_Animation(this, jobId, u"sheepbody_turnright", GetDirection(), 1800);
      break;
    case kJobSheepBlink:
      new Job_Animation(this, jobId, u"sheepbody_blink", GetDirection(), woolly ? 3240 : 2760);
      break;
    default:
      break;
  }
}

// Called while the sheep has no job.
void MapSheep::OnIdle() {
  const SpriteEffectList* effects = GetEffects();
  if (!pen_ || (effects && effects->GetCount() > 0) || pen_->IsBeingBuilt() || pen_->HasDamage()) return;
  const float step = static_cast<float>(GameTimeStep());
  if (pen_->IsGrowing()) {
    eatDelay_ -= step;
    if (eatDelay_ <= 0.0f) {
      eatDelay_ = 0.0f;
      Play(kJobSheepEat);
    }
    return;
  }
  idleTimer_ -= step;
  if (idleTimer_ > 0.0f) return;
  idleTimer_ = IdleDelay();
  static constexpr u16 kChoices[] = {kJobSheepTurnLeft, kJobSheepTurnRight, kJobSheepBlink};
  Play(kChoices[kis::RandomRange(0, 2)]);
}

void MapSheep::SaveState(u8* record) const {
  MapCharacter::SaveState(record);
  kis::PutF32LE(record + 100, eatDelay_);
}

void MapSheep::RestoreState() {
  MapCharacter::RestoreState();
  const float saved = kis::GetF32LE(loaded_ + 100);
  eatDelay_ = IsSavedTime(saved) ? saved : 0.0f;
}

bool MapSheep::LoadJob(const u8* record, u32 size) {
  const u16 id = size >= 8 ? kis::GetU16LE(record + 4) : 0;
  if (id >= kJobSheepCut && id <= kJobSheepBlink && Job_Animation::Load(this, record, size)) return true;
  static constexpr const wchar* kTexts[] = {
      u"Ошибка загрузки работы JOBID_SHEEPCUT",       u"Ошибка загрузки работы JOBID_SHEEPEAT",
      u"Ошибка загрузки работы JOBID_SHEEPYELLING",   u"Ошибка загрузки работы JOBID_SHEEPTURNLEFT",
      u"Ошибка загрузки работы JOBID_SHEEPTURNRIGHT", u"Ошибка загрузки работы JOBID_SHEEPBLINK"};
  if (id >= kJobSheepCut && id <= kJobSheepBlink) cast_.SetLoadError(kTexts[id - kJobSheepCut]);
  return false;
}

// --- MapSheepHead -----------------------------------------------------------------------------------------

MapSheepHead::MapSheepHead(LevelCharacters& cast, MapSheep& sheep, float x, float y)
    : MapCharacter(cast, FindCharInfo(GetCharacters(), kSheepHeadCharacter), 0, u"", 0, x, y, sheep.GetPen()),
      sheep_(&sheep) {
  kind_ = kObjectSheepHead;
  drawOffsetX = sheep.drawOffsetX;
  drawOffsetY = sheep.drawOffsetY;
}

MapSheepHead::~MapSheepHead() {
  if (sheep_) sheep_->ForgetHead();
}

u32 MapSheepHead::StartRemoval(u32 delay) {
  delay = MapCharacter::StartRemoval(delay);
  const i32 dx = sheep_ ? static_cast<i32>(sheep_->drawOffsetX) : static_cast<i32>(drawOffsetX);
  const i32 dy = sheep_ ? static_cast<i32>(sheep_->drawOffsetY) : static_cast<i32>(drawOffsetY);
  AddEffect(new SEffect_DisCenter(kShowTime, dx, dy, delay));
  AddEffect(new SEffect_Scale(1.0f, 0.0f, kShowTime, true, delay));
  return delay;
}

void MapSheepHead::UpdateAnimation() {
  if (!sheep_ || !state_.animation) {
    MapCharacter::UpdateAnimation();
    return;
  }
  state_.frames.elapsed = sheep_->GetAnimationState().frames.elapsed;
  state_.animation->Update(&state_, 0.0f);
}

float MapSheepHead::GetSpeedFactor() const { return sheep_ ? sheep_->GetSpeedFactor() : MapCharacter::GetSpeedFactor(); }

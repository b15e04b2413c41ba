#include "level/objects/VillainJobs.h"

#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "base/Random.h"
#include "content/GameCharacter.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelMap.h"
#include "level/objects/MapVillain.h"

namespace {

constexpr i32 kNoActivity = -1;  // the villains' steps run at their own pace, not the level's work rates

}  // namespace

// --- VillainJob ------------------------------------------------------------------------------------------

VillainJob::VillainJob(MapVillain* villain, u16 jobId) : Job(villain, jobId) { SetShowProgress(false); }

VillainJob::~VillainJob() {
  if (owner_) Villain()->ForgetJob(this);
}

bool VillainJob::Finish() {
  if (!Job::Finish()) return false;
  if (owner_) Villain()->ForgetJob(this);
  return true;
}

MapVillain* VillainJob::Villain() const { return static_cast<MapVillain*>(owner_); }

bool VillainJob::PlayOnce(const wchar* name) {
  return PlayAnimation(kJobOneRun, Villain()->Anim(name), Villain()->GetSpot().direction & 7, kNoActivity);
}

bool VillainJob::WalkTo(i32 x, i32 y, const wchar* walkAnimation) {
  const i32 to[2] = {x, y};
  return StartWalkAlong(1, to, 1.0f, walkAnimation);
}

bool VillainJob::Save(kis::DataCursor* cursor, u32 characterRecord) {
  if (state_ >= kJobFinished) return true;
  u8* r = WriteHeader(cursor, characterRecord, RecordSize());
  if (!r) return false;
  WriteTarget(r, state_ == kJobAnimating && IsAnimationStep(step_));
  WriteOwn(r);
  return true;
}

// --- Moving -----------------------------------------------------------------------------------------------

void VillainJob::HoldMoveLink() { Villain()->SetMoveJob(this); }

void VillainJob::UpdateSteps(i32 lastStep, i32 endState) {
  if (step_ == 0) {
    NextStep(-1);
    return;
  }
  if (!(IsAnimationStep(step_) ? UpdateAnimation() : UpdateWalk(1.0f))) return;
  if (step_ < lastStep) {
    NextStep(-1);
    return;
  }
  state_ = kJobDone;
  MapVillain* v = Villain();
  v->ForgetJob(this);
  v->SetState(endState, true);
}

template <>
bool Job_VillainEnter::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  MapVillain* v = Villain();
  switch (step_) {
    case 1:
      return WalkTo(v->GetSpot().x, v->GetSpot().y, nullptr);
    case 2:
      v->SetInstalled();
      v->MakeClickable();
      return PlayOnce(u"villain_install_begin");
    case 3:
      v->SetInstalled();
      v->MakeClickable();
      return PlayOnce(u"villain_install_end");
  }
  Finish();
  return false;
}

template <>
bool Job_VillainLeave::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  MapVillain* v = Villain();
  if (step_ == 1) return PlayOnce(u"villain_remove");
  if (step_ == 2) {
    v->Unregister();
    return WalkTo(v->GetSpot().startX, v->GetSpot().startY, nullptr);
  }
  Finish();
  return false;
}

template <>
bool Job_VillainRunaway::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  MapVillain* v = Villain();
  if (step_ == 1) {
    const GameAnimation* stand = v->GetDescription() ? v->GetDescription()->GetCharAnimation(v->GetSkin()) : nullptr;
    if (!v->IsInstalled() || !stand) return NextStep(-1);
    return PlayAnimation(kRunawayPause, stand->GetName(), v->GetSpot().direction & 7, kNoActivity);
  }
  if (step_ == 2) {
    if (v->IsStruck())
      return PlayAnimation(kRunawayAngryTime + kis::RandomInt(kRunawayBeesSpread), v->Anim(u"villain_bees"),
                           v->GetDirection(), kNoActivity);
    return PlayAnimation(kRunawayAngryTime, v->Anim(u"villain_angry"), v->GetDirection(), kNoActivity);
  }
  if (step_ == 3) return WalkTo(v->GetSpot().startX, v->GetSpot().startY, v->Anim(u"villain_runaway"));
  Finish();
  return false;
}

// --- Shot -------------------------------------------------------------------------------------------------

Job_VillainShot::Job_VillainShot(MapVillain* villain, i32 target) : VillainJob(villain, kJobVillainShot), target_(target) {
  villain->SetShotJob(this);
}

bool Job_VillainShot::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (step_ == 1) return PlayOnce(u"villain_shoot_begin");
  if (step_ == 2) return PlayOnce(u"villain_shoot_end");
  Finish();
  return false;
}

void Job_VillainShot::Update() {
  if (step_ == 0) {
    NextStep(-1);
  } else if (UpdateAnimation()) {
    if (step_ == 1) {
      Villain()->FireShot(target_);
      NextStep(-1);
      return;
    }
    state_ = kJobDone;
    Villain()->ForgetJob(this);
  }
}

void Job_VillainShot::WriteOwn(u8* record) const { kis::PutI32LE(record + 40, target_); }

// --- Loading ----------------------------------------------------------------------------------------------

namespace {

// The job brought to its saved step, its animation step's motion read back.
bool RestoreVillainStep(VillainJob* job, const u8* record, bool animationStep) {
  const i32 step = kis::GetI32LE(record + 8);
  if (step == 0) return true;
  if (step < 0 || step > 3 || !job->NextStep(step)) return false;
  return !animationStep || job->GetState() != kJobAnimating || job->ReadState(record);
}

}  // namespace

bool LoadVillainJob(MapVillain* villain, const u8* record, u32 size) {
  const u16 id = kis::GetU16LE(record + 4);
  const wchar* message = nullptr;
  VillainJob* job = nullptr;
  bool ok = false;
  switch (id) {
    case kJobVillainEnter:
      message = u"Ошибка загрузки работы JOBID_VILLAINENTER";
      if (size == kVillainJobRecordSize && villain->GetState() == kVillainWaiting) job = new Job_VillainEnter(villain);
      break;
    case kJobVillainLeave:
      message = u"Ошибка загрузки работы JOBID_VILLAINLEAVE";
      if (size == kVillainJobRecordSize && villain->GetState() == kVillainDone) job = new Job_VillainLeave(villain);
      break;
    case kJobVillainRunaway:
      message = u"Ошибка загрузки работы JOBID_VILLAINRUN";
      if (size == kVillainJobRecordSize && villain->GetState() == kVillainDrivenOff)
        job = new Job_VillainRunaway(villain);
      break;
    case kJobVillainShot: {
      message = u"Ошибка загрузки работы JOBID_VILLAINSHOT";
      const i32 target = size == kVillainShotJobRecordSize ? kis::GetI32LE(record + 40) : -1;
      if (target >= 0 && target < villain->GetMap().GetPointCount() && villain->GetState() == kVillainAttacking)
        job = new Job_VillainShot(villain, target);
      break;
    }
    default:
      return false;
  }
  if (job) {
    const i32 step = kis::GetI32LE(record + 8);
    ok = RestoreVillainStep(job, record, job->IsAnimationStep(step));
    if (!ok) job->Finish();
  }
  if (!ok) villain->GetCast().SetLoadError(message);
  return ok;
}

// The jobs' records in the level's saved state: the common header and
// motion, and the records of the walking and the animation jobs.
#include <cmath>
#include <cstring>

#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "level/map/BaseLevelPoint.h"
#include "level/characters/Job.h"
#include "level/state/JobRecord.h"
#include "level/characters/Job_Animation.h"
#include "level/characters/Job_GoTo.h"
#include "level/characters/MapCharacter.h"
#include "hud/SSProgressLine.h"

namespace {

constexpr u32 kGoToRecordSize = 36;
constexpr u32 kAnimationRecordSize = 112;
constexpr u32 kAnimationNameAt = 40;
constexpr float kLongestWait = 86400000.0f;  // a day of ms: no saved time is longer

}  // namespace

// --- Shared helpers ------------------------------------------------------------------------------------

void PutRecordName(u8* at, const wchar* name) {
  for (u32 i = 0; i + 1 < kAnimationNameSize && name && name[i]; ++i) kis::PutU16LE(at + 2 * i, name[i]);
}

bool GetRecordName(const u8* at, wchar (&out)[kAnimationNameSize]) {
  for (u32 i = 0; i < kAnimationNameSize; ++i) {
    out[i] = kis::GetU16LE(at + 2 * i);
    if (out[i] == 0) return true;
  }
  out[0] = 0;
  return false;  // no terminator
}

bool IsSavedTime(float ms) { return std::isfinite(ms) && ms >= 0.0f && ms <= kLongestWait; }

// --- Job ----------------------------------------------------------------------------------------------------

bool Job::Save(kis::DataCursor*, u32) { return true; }

u8* Job::WriteHeader(kis::DataCursor* cursor, u32 characterRecord, u32 size) {
  kis::DataBuffer* buffer = cursor->GetBuffer();
  if (!buffer || characterRecord + kCharacterSaveSize > cursor->GetDataPosition()) return nullptr;
  const u32 at = cursor->GetRecordPosition();
  u8* record = static_cast<u8*>(cursor->ReserveRecord(size));
  if (!record) return nullptr;
  u8* character = buffer->Data() + characterRecord;
  const u32 count = kis::GetU32LE(character + kCharacterJobCount);
  if (count == 0) kis::PutU32LE(character + kCharacterFirstJob, at);
  kis::PutU32LE(character + kCharacterJobCount, count + 1);
  kis::PutU32LE(record, size);
  kis::PutU16LE(record + 4, jobId_);
  kis::PutU16LE(record + 6, 0);  // unused; written so no stale buffer byte reaches the save
  kis::PutI32LE(record + 8, step_);
  kis::PutI32LE(record + 12, cost_);
  return record;
}

void Job::WriteTarget(u8* record, bool animating) const {
  std::memset(record + kJobHeaderSize, 0, kJobMotionSize);
  if (!animating) return;
  kis::PutI32LE(record + 16, activity_);
  kis::PutU32LE(record + 20, duration_);
  kis::PutF32LE(record + 24, elapsed_);
  kis::PutF32LE(record + 28, owner_->GetAnimationState().frames.elapsed);
}

bool Job::ReadState(const u8* record) {
  const i32 activity = kis::GetI32LE(record + 16);
  const u32 duration = kis::GetU32LE(record + 20);
  const float elapsed = kis::GetF32LE(record + 24);
  const float ownerTime = kis::GetF32LE(record + 28);
  if (state_ != kJobAnimating || activity != activity_) return false;
  if (duration != duration_ && duration_ != kJobOneRun) return false;
  if (!IsSavedTime(elapsed) || !IsSavedTime(ownerTime)) return false;
  if (duration != kJobOneRun && elapsed > static_cast<float>(duration)) return false;
  duration_ = duration;
  elapsed_ = elapsed;
  if (startPending_) {
    startPending_ = 0;
    owner_->PlayAnimation(owner_->GetSkin(), animName_, direction_, true, kActivityWork);
  }
  if (progress_) {
    if (duration_ > 0 && duration_ != kJobOneRun)
      progress_->SetProgress(elapsed_ / static_cast<float>(duration_) * 100.0f);
    progress_->Show(true, 0, kShowFade, kPointSpriteShowTime);
  }
  owner_->GetAnimationState().frames.elapsed = ownerTime;
  return true;
}

// --- Job_GoTo -------------------------------------------------------------------------------------------

bool Job_GoTo::Save(kis::DataCursor* cursor, u32 characterRecord) {
  if (state_ >= kJobFinished) return true;
  u8* r = WriteHeader(cursor, characterRecord, kGoToRecordSize);
  if (!r) return false;
  kis::PutI32LE(r + 16, x_);
  kis::PutI32LE(r + 20, y_);
  kis::PutF32LE(r + 24, limit_);
  kis::PutU32LE(r + 28, stay_);
  kis::PutU32LE(r + 32, iconFlag_);
  return true;
}

bool Job_GoTo::Load(MapCharacter* owner, const u8* record, u32 size) {
  if (size != kGoToRecordSize) return false;
  const float limit = kis::GetF32LE(record + 24);
  if (!std::isfinite(limit)) return false;
  if (kis::GetU32LE(record + 28) != 0) {
    new Job_GoTo(owner);
  } else {
    new Job_GoTo(owner, kis::GetI32LE(record + 16), kis::GetI32LE(record + 20), limit,
                 kis::GetU32LE(record + 32) != 0);
  }
  return true;
}

// --- Job_Animation -------------------------------------------------------------------------------------

bool Job_Animation::Save(kis::DataCursor* cursor, u32 characterRecord) {
  if (state_ >= kJobFinished) return true;
  u8* r = WriteHeader(cursor, characterRecord, kAnimationRecordSize);
  if (!r) return false;
  WriteTarget(r, step_ == 2);
  std::memset(r + kAnimationNameAt, 0, 2 * kAnimationNameSize);
  PutRecordName(r + kAnimationNameAt, name_);
  kis::PutI32LE(r + 104, direction_);
  kis::PutU32LE(r + 108, duration_);
  return true;
}

bool Job_Animation::Load(MapCharacter* owner, const u8* record, u32 size) {
  if (size != kAnimationRecordSize) return false;
  wchar name[kAnimationNameSize];
  if (!GetRecordName(record + kAnimationNameAt, name)) return false;
  auto* job = new Job_Animation(owner, kis::GetU16LE(record + 4), name, kis::GetI32LE(record + 104),
                                kis::GetU32LE(record + 108));
  return RestoreJobStep(job, record, 2);
}

bool RestoreJobStep(Job* job, const u8* record, i32 animationStep) {
  const i32 step = kis::GetI32LE(record + 8);
  if (step == 0) return true;
  if (step < 0 || !job->NextStep(step) || (step == animationStep && !job->ReadState(record))) {
    job->Finish();
    return false;
  }
  return true;
}

// The characters' records in the level's saved state: the 132-byte record
// after a position mark (skin, animation name, direction, animation time,
// sound state and delay, place, job count and the record position of the
// first job; the player's counters at 100..108), and their jobs.
#include <cstring>

#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "level/characters/Job.h"
#include "level/state/JobRecord.h"
#include "level/characters/Job_Clear.h"
#include "level/characters/Job_GoTo.h"
#include "level/characters/Job_Pulldown.h"
#include "level/characters/Job_Repair.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapCharacter.h"
#include "level/characters/MapPlayer.h"
#include "level/map/LevelMap.h"
#include "level/map/PointClasses.h"

namespace {

constexpr u32 kNameAt = 4;
constexpr i32 kFarthest = 100000;  // no saved place lies further off the map

// The player's jobs by id, with what a refused record leaves in the
// level's load-error text.
using JobLoader = bool (*)(MapPlayer* owner, const u8* record, u32 size);

bool LoadGoTo(MapPlayer* owner, const u8* record, u32 size) { return Job_GoTo::Load(owner, record, size); }

struct PlayerJob {
  JobLoader load;  // null: a job of the level objects, loaded by the level's point classes
  const wchar* message;
};

const PlayerJob kPlayerJobs[] = {
    {&LoadGoTo, u"Ошибка загрузки работы JOBID_GOTO"},
    {nullptr, u"Ошибка загрузки работы JOBID_PLANT"},
    {nullptr, u"Ошибка загрузки работы JOBID_WATER"},
    {nullptr, u"Ошибка загрузки работы JOBID_HARVEST"},
    {nullptr, u"Ошибка загрузки работы JOBID_BUILD"},
    {nullptr, u"Ошибка загрузки работы JOBID_FEED"},
    {nullptr, u"Ошибка загрузки работы JOBID_TAKEEGGS"},
    {nullptr, u"Ошибка загрузки работы JOBID_MILKCOWS"},
    {nullptr, u"Ошибка загрузки работы JOBID_CUTSHEEPS"},
    {&Job_Clear::Load, u"Ошибка загрузки работы JOBID_CLEAR"},
    {&Job_Pulldown::Load, u"Ошибка загрузки работы JOBID_PULLDOWN"},
    {&Job_Repair::Load, u"Ошибка загрузки работы JOBID_REPAIR"},
};

}  // namespace

// --- MapCharacter ------------------------------------------------------------------------------------------

bool MapCharacter::Save(kis::DataCursor* cursor) {
  if (IsDead()) return true;
  if (!cursor->WriteMark()) return false;
  const u32 at = cursor->GetDataPosition();
  u8* record = static_cast<u8*>(cursor->Reserve(kCharacterSaveSize, true));
  if (!record) return false;
  SaveState(record);
  for (i32 i = 0; i < jobs_.GetCount(); ++i)
    if (!jobs_[i]->Save(cursor, at)) return false;
  return !cursor->HasError();
}

void MapCharacter::SaveState(u8* r) const {
  kis::PutI32LE(r, state_.user1);
  if (state_.animation) PutRecordName(r + kNameAt, state_.animation->GetName());
  kis::PutI32LE(r + 68, state_.direction);
  kis::PutF32LE(r + 72, state_.frames.elapsed);
  kis::PutU32LE(r + 76, state_.soundState);
  kis::PutF32LE(r + 80, state_.soundState == kAnimSoundNone ? 0.0f : state_.soundDelay);
  kis::PutI32LE(r + 84, static_cast<i32>(x_));
  kis::PutI32LE(r + 88, static_cast<i32>(y_));
}

bool MapCharacter::Load(kis::DataCursor* cursor) {
  if (!cursor->CheckMark()) return false;
  const u8* r = static_cast<const u8*>(cursor->ReadPtr(kCharacterSaveSize));
  if (!r) return false;
  wchar name[kAnimationNameSize];
  const i32 x = kis::GetI32LE(r + 84), y = kis::GetI32LE(r + 88);
  if (!GetRecordName(r + kNameAt, name) || !IsSavedTime(kis::GetF32LE(r + 72)) ||
      !IsSavedTime(kis::GetF32LE(r + 80)) || !IsSavedTime(kis::GetF32LE(r + 104)) || kis::GetI32LE(r + 100) < 0 ||
      kis::GetU32LE(r + 76) > kAnimSoundLooping || x < -kFarthest ||
      x > kFarthest || y < -kFarthest || y > kFarthest)
    return false;
  std::memcpy(loaded_, r, kCharacterSaveSize);
  MoveTo(static_cast<float>(x), static_cast<float>(y));
  return true;
}

void MapCharacter::RestoreState() {
  wchar name[kAnimationNameSize];
  if (!GetRecordName(loaded_ + kNameAt, name) || !name[0]) return;
  PlayAnimation(kis::GetI32LE(loaded_), name, kis::GetI32LE(loaded_ + 68), false, state_.user2);
  state_.frames.elapsed = kis::GetF32LE(loaded_ + 72);
  state_.soundDelay = kis::GetF32LE(loaded_ + 80);
  if (kis::GetU32LE(loaded_ + 76) == kAnimSoundNone && state_.soundState != kAnimSoundNone) {
    GameAnimation::StopSound(&state_);
    state_.soundState = kAnimSoundNone;
  }
}

bool MapCharacter::LoadJobs(kis::DataCursor* cursor) {
  const u32 count = kis::GetU32LE(loaded_ + kCharacterJobCount);
  if (count == 0) return true;
  kis::DataBuffer* buffer = cursor->GetBuffer();
  if (!buffer || cursor->GetRecordPosition() != kis::GetU32LE(loaded_ + kCharacterFirstJob)) return false;
  for (u32 i = 0; i < count; ++i) {
    // The size is bounded before the cursor moves: a header at least, and
    // no more than the records left.
    const u32 at = cursor->GetRecordPosition();
    if (!buffer->Records() || buffer->recordSize < at || buffer->recordSize - at < kJobHeaderSize) return false;
    const u32 size = kis::GetU32LE(buffer->Records() + at);
    if (size < kJobHeaderSize || size > buffer->recordSize - at) return false;
    const u8* record = static_cast<const u8*>(cursor->ReadBlock());
    if (!record || !LoadJob(record, size)) return false;
  }
  return true;
}

bool MapCharacter::LoadJob(const u8*, u32) { return false; }

// --- MapPlayer ---------------------------------------------------------------------------------------------

void MapPlayer::SaveState(u8* r) const {
  MapCharacter::SaveState(r);
  kis::PutI32LE(r + 100, streak_);
  kis::PutF32LE(r + 104, walked_);
  kis::PutU32LE(r + 108, worked_);
}

void MapPlayer::RestoreState() {
  SetWorkStreak(kis::GetI32LE(loaded_ + 100), false);
  SetWalked(kis::GetF32LE(loaded_ + 104), false);
  if (kis::GetU32LE(loaded_ + 108) != 0) worked_ = 1;
  MapCharacter::RestoreState();
}

bool MapPlayer::LoadJob(const u8* record, u32 size) {
  const u16 id = kis::GetU16LE(record + 4);
  if (id < 1 || id > sizeof kPlayerJobs / sizeof kPlayerJobs[0]) return false;
  const PlayerJob& job = kPlayerJobs[id - 1];
  if (job.load) {
    if (job.load(this, record, size)) return true;
  } else if (PointClasses* classes = GetMap().Hooks().classes) {
    if (classes->LoadPlayerJob(id, *this, record, size)) return true;
  }
  cast_.SetLoadError(job.message);
  return false;
}

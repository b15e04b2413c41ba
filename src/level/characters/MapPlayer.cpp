#include "level/characters/MapPlayer.h"

#include "content/AwardTable.h"
#include "content/GameCharacter.h"
#include "level/characters/Job.h"
#include "level/characters/Job_GoTo.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelMap.h"
#include "resources/TutorialHooks.h"

namespace {

GameCharacter* PlayerDescription() { return FindCharacterByName(GetCharacters(), kPlayerCharacterName); }

const wchar* IdleName(const GameCharacter* d) {
  const GameAnimation* idle = d ? d->GetCharAnimation(0) : nullptr;
  return idle ? idle->GetName() : nullptr;
}

}  // namespace

MapPlayer::MapPlayer(LevelCharacters& cast, float x, float y)
    : MapCharacter(cast, PlayerDescription(), 0, IdleName(PlayerDescription()), 8, x, y, nullptr) {
  SetWalkModifier(1, false, cast_.GetActivityFactor(kActivityIdle));
  PlayAnimation(0, IdleName(description_), 8, false, kActivityIdle);
  AttachToLevel(0);
  if (!cast_.GetPlayer()) cast_.SetPlayer(this);
}

void MapPlayer::OnIdle() {
  if (!worked_) return;
  worked_ = 0;
  const i32 x = static_cast<i32>(x_), y = static_cast<i32>(y_);
  new Job_GoTo(this, x < kLevelWidth / 2 ? x + kStepAside : x - kStepAside, y + 16, kStepAsideLimit, false);
}

void MapPlayer::RunCurrentJob() {
  Job* job = current_;
  if (!job) return;
  if (job->GetJobId() != kJobGoTo &&
      !TutorialAllowAction(kTutorialActionPlayerJob, static_cast<uintptr_t>(job->GetJobId()), job))
    return;
  MapCharacter::RunCurrentJob();
  if (current_) worked_ = 0;
}

void MapPlayer::SetWorkStreak(i32 n, bool report) {
  if (n == streak_) return;
  if (n > streak_) cast_.RaiseAwardRecord(kAwardRecordWorkStreak, n, false, report);
  streak_ = n;
}

void MapPlayer::SetWalked(float value, bool report) {
  if (!(value > walked_)) return;
  walked_ = value;
  const i32 whole = value < 2147483648.0f ? static_cast<i32>(value) : INT32_MAX;
  if (whole > cast_.GetAwardRecord(kAwardRecordWalked)) cast_.RaiseAwardRecord(kAwardRecordWalked, whole, false, report);
}

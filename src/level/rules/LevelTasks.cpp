#include "level/rules/LevelTasks.h"

#include "content/AwardTable.h"
#include "content/LevelInfo.h"
#include "content/LevelTable.h"
#include "engine/Require.h"
#include "level/rules/LevelHooks.h"
#include "level/scene/LevelInterface.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelScene.h"
#include "level/rules/LevelWindows.h"
#include "resources/SoundSettings.h"
#include "ui/WindowManager.h"

namespace {

const LEVELREGIME* Regime(const LevelRules& rules) {
  const LEVELINFO* info = rules.GetInfo();
  const i32 r = rules.GetRegime();
  return info && r >= 0 && r < static_cast<i32>(kLevelRegimes) ? &info->regimes[r] : nullptr;
}

u32 PlayResultSound(u32 sound) {
  return GetSoundSettings().PlaySound(GetStandardSound(sound), kSoundGroupScreen, 0);
}

}  // namespace

void LevelTasks::Reset() {
  for (i32& p : progress_) p = 0;
  result_ = resultShown_ = kResultNone;
  resultFlags_ = 0;
  resultDelay_ = 0;
  resultSound_ = 0;
  record_ = LEVELRESULT{};
}

// A record of more than three tasks counts its first three.
u32 LevelTasks::GetTaskCount() const {
  const LEVELREGIME* r = Regime(rules_);
  if (!r) return 0;
  return r->taskCount < kMaxLevelTasks ? r->taskCount : kMaxLevelTasks;
}

const LEVELTASK* LevelTasks::GetTask(u32 i) const {
  return i < GetTaskCount() ? &Regime(rules_)->tasks[i] : nullptr;
}

void LevelTasks::UpdateTask(u32 kind, u32 item, i32 amount, bool animate) {
  if (held_ || result_ != kResultNone || rules_.IsCleared()) return;
  const u32 count = GetTaskCount();
  u32 index = 0;
  const LEVELTASK* task = nullptr;
  for (; index < count; ++index) {
    const LEVELTASK* t = GetTask(index);
    const bool byItem = kind >= kTaskProducts && kind <= kTaskBuildings;
    if (t->kind == kind && (!byItem || t->item == item)) {
      task = t;
      break;
    }
  }
  if (!task) return;

  LevelScene* scene = rules_.Hooks().scene;
  const i32 old = progress_[index];
  i32 value = amount;
  switch (kind) {
    case kTaskProducts: {
      const i64 sum = static_cast<i64>(old) + amount;
      value = static_cast<i32>(sum > INT32_MAX ? INT32_MAX : sum < INT32_MIN ? INT32_MIN : sum);
      break;
    }
    case kTaskPlantBeds:
      if (scene) value = scene->CountPlantBeds(item, task->minLevel);
      break;
    case kTaskBuildings:
      if (scene) value = scene->CountBuildings(item, task->minLevel);
      break;
    case kTaskCleanPlaces:
      if (scene) value = scene->CountCleanPlaces();
      break;
    default:
      break;  // the money, or a kind of no count: the amount
  }
  progress_[index] = value;

  if (value >= task->target) {
    bool all = true;
    for (u32 i = 0; i < count; ++i) all = all && progress_[i] >= GetTask(i)->target;
    if (all) Win(kResultDelay);
  }
  if (LevelInterface* panel = rules_.Hooks().panel)
    panel->UpdateTaskButtons(static_cast<i32>(index), static_cast<i32>(static_cast<i64>(value) - old),
                             animate && rules_.IsEntered());
}

// The tutorial stops and the time bar shows the final time whether the
// result comes at once or after its delay.
bool LevelTasks::SetResult(i32 result, u32 flag, u32 delay) {
  if (resultShown_ != kResultNone || (result_ != kResultNone && result_ != result)) return false;
  if (LevelScene* scene = rules_.Hooks().scene) scene->StopTutorial();
  if (LevelInterface* panel = rules_.Hooks().panel) panel->UpdateTimeBar(true);
  result_ = result;
  resultDelay_ = delay;
  resultFlags_ |= flag;
  return true;
}

void LevelTasks::Win(u32 delay) {
  if (SetResult(kResultWon, kResultFlagWon, delay) && delay == 0) ShowWin();
}

void LevelTasks::Lose(u32 delay) {
  if (SetResult(kResultLost, kResultFlagLost, delay) && delay == 0) ShowLose();
}

void LevelTasks::ShowWin() {
  resultShown_ = kResultWon;
  resultSound_ = PlayResultSound(kSoundLevelWon);
  const LevelHooks& hooks = rules_.Hooks();
  record_ = LEVELRESULT{};
  if (hooks.profile) {
    hooks.profile->RecordLevelResult(rules_.GetLevel(), rules_.Clock().GetTime(), &record_);
    hooks.profile->LogLevelResult(record_);
  }
  if (hooks.windows) hooks.windows->OpenResultWindow(record_);
  const WarehouseStock* stock = rules_.Stock();
  const i32 worth = stock ? stock->GetWorth() : 0;
  if (worth > 0) rules_.RaiseAwardRecord(kAwardRecordMoney, worth, true, true);
}

void LevelTasks::ShowLose() {
  resultShown_ = kResultLost;
  resultSound_ = PlayResultSound(kSoundLevelLost);
  if (!Require(GetWindowManager(), "the window manager for the lose dialog")) return;
  loseDialog_.Open(u"game_over", u"game_over_c", kAnswerYes, kAnswerNo, &LevelTasks::OnLoseAnswer,
                   reinterpret_cast<uintptr_t>(this));
}

bool LevelTasks::OnLoseAnswer(uintptr_t self, uintptr_t, u32 answer) {
  LevelScene* scene = reinterpret_cast<LevelTasks*>(self)->rules_.Hooks().scene;
  return scene ? scene->OnLoseAnswer(answer) : true;
}

void LevelTasks::TickResult(u32 t) {
  if (result_ == resultShown_) return;
  if (t < resultDelay_) {
    resultDelay_ -= t;
    return;
  }
  resultDelay_ = 0xFFFFFFFFu;
  if (result_ == kResultWon) Win(0);
  else if (result_ == kResultLost) Lose(0);
}

bool LevelTasks::SettleOnLeave() {
  if (resultShown_ != kResultNone || result_ == kResultNone) return false;
  resultShown_ = result_;
  if (result_ == kResultWon && rules_.Hooks().profile) {
    record_ = LEVELRESULT{};
    rules_.Hooks().profile->RecordLevelResult(rules_.GetLevel(), rules_.Clock().GetTime(), &record_);
  }
  return true;
}

void LevelTasks::CheckMedal(i32 medal) {
  if (medal < kGradeBronze && result_ == kResultNone) Lose(kResultDelay);
}

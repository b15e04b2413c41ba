// LevelTasks - the running level's tasks and its result. Up to three tasks
// per regime (the level record's), each with a progress counter recounted
// whenever something of its kind happens; when every task is met the level
// is won 1,000 ms later. The result, won or lost, is final once set: a won
// level cannot be lost and the reverse. A pending result is shown when its
// delay has run out in the level's ticks.
//
// Showing a win records the level in the profile and the game log, opens the
// result window and counts what the warehouse holds as money earned;
// showing a loss opens the "game_over" dialog, whose answer goes to the scene.
#pragma once

#include "base/Types.h"
#include "level/rules/LevelProfile.h"
#include "ui/BaseDialogWindow.h"

class LevelRules;
struct LEVELTASK;

// Task kinds.
constexpr u32 kTaskMoney = 0;        // the money held
constexpr u32 kTaskProducts = 1;     // units of a product produced over the level
constexpr u32 kTaskPlantBeds = 2;    // plant beds of a plant at a level
constexpr u32 kTaskBuildings = 3;    // buildings of a kind at a level
constexpr u32 kTaskCleanPlaces = 4;  // places without garbage

// Results, and the result flags the clock and the bonuses stop for.
constexpr i32 kResultNone = 0;
constexpr i32 kResultWon = 1;
constexpr i32 kResultLost = 2;
constexpr u32 kResultFlagWon = 1;
constexpr u32 kResultFlagLost = 4;
constexpr u32 kResultFlagTutorial = 2;  // a tutorial holds the level clock
constexpr u32 kResultDelay = 1000;  // ms from a task met or a medal lost to the result shown

class LevelTasks {
 public:
  explicit LevelTasks(LevelRules& rules) : rules_(rules) {}
  LevelTasks(const LevelTasks&) = delete;
  LevelTasks& operator=(const LevelTasks&) = delete;

  void Reset();  // progress 0, no result

  u32 GetTaskCount() const;  // of the current regime, at most 3
  const LEVELTASK* GetTask(u32 i) const;  // null beyond the count
  i32 GetProgress(u32 i) const { return i < 3 ? progress_[i] : 0; }
  // A saved level coming back: while held, UpdateTask changes nothing (the
  // level's points come back one by one, and a partial count must not win
  // it); the saved counters are then put back as they were.
  void Hold(bool held) { held_ = held; }
  void RestoreProgress(u32 i, i32 value) {
    if (i < 3) progress_[i] = value;
  }

  // Recounts the first task of the kind (and, for kinds 1 to 3, the item):
  // kind 0 takes the amount as the money, kind 1 adds it, kinds 2 to 4
  // count over the level points. Nothing once there is a result or the
  // level is cleared. The panel hears of the change, animated only once the
  // level has been entered.
  void UpdateTask(u32 kind, u32 item, i32 amount, bool animate);

  // Set the result (shown at once for a delay of 0), unless the other
  // result is set or a result is shown already.
  void Win(u32 delay);
  void Lose(u32 delay);
  // The level's tick: a pending result's delay runs down by t ms, and when
  // it has run out the result is shown.
  void TickResult(u32 t);
  // Leaving the level with a result still pending: a win is recorded in the
  // profile at once (no window, no sound), a loss only marked shown. False
  // when nothing was pending (a started level is then saved).
  bool SettleOnLeave();
  // A medal stage below bronze with no result yet loses the level 1,000 ms later.
  void CheckMedal(i32 medal);

  i32 GetResult() const { return result_; }
  i32 GetResultShown() const { return resultShown_; }
  u32 GetResultFlags() const { return resultFlags_; }
  // A level tutorial holds the level clock (and the bonus slots' charging)
  // while it wants the player to read: the flag of its own among the result's.
  void HoldClock(bool held) { resultFlags_ = held ? resultFlags_ | kResultFlagTutorial : resultFlags_ & ~kResultFlagTutorial; }
  u32 GetResultDelay() const { return resultDelay_; }
  u32 GetResultSound() const { return resultSound_; }
  void ForgetResultSound() { resultSound_ = 0; }
  const LEVELRESULT& GetResultRecord() const { return record_; }
  // The lose dialog (its answer goes to the scene) while it is open.
  BaseDialogWindow* GetLoseDialog() const { return loseDialog_.Get(); }
  void CloseLoseDialog() { loseDialog_.Close(); }

 private:
  static bool OnLoseAnswer(uintptr_t self, uintptr_t, u32 answer);
  bool SetResult(i32 result, u32 flag, u32 delay);
  void ShowWin();
  void ShowLose();

  LevelRules& rules_;
  i32 progress_[3] = {};
  bool held_ = false;
  i32 result_ = kResultNone;
  i32 resultShown_ = kResultNone;
  u32 resultFlags_ = 0;
  u32 resultDelay_ = 0;
  u32 resultSound_ = 0;
  LEVELRESULT record_;
  OpenedDialog loseDialog_;  // closed with the rules
};

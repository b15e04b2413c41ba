// LevelRules - the rules of one running level, apart from its scene: the
// money, the warehouse stock, the tasks and the result, the award hooks,
// the bonus slots and rates, the locks, the view, the level clock with its
// ticks, and the villain-wave schedule. The level scene owns one, drives it
// from its update and tick, and forwards the calls of the level objects
// (StoreProduct, ChangeMoney, UpdateTask, GetRate, ...) to it. What the
// rules need of the world around them goes through LevelHooks.
//
// Storing goods: what does not fit in the warehouse is sold at the
// product's price, but only when at least one unit fits; when none does,
// nothing is stored or sold and the caller keeps its goods. Whenever fewer
// units fit than were offered, the warehouse-full message for that product
// is shown, at most once per 10 s per messager.
//
// A frame of the scene: d = Clock().Scale(elapsed) (nothing when 0), then
// AdvanceFrame(d) ticks, each running RunWaves and, after the scene's own
// work, Tick; then CheckTimeLimit.
#pragma once

#include <memory>

#include "base/Types.h"
#include "level/rules/LevelBonuses.h"
#include "level/rules/LevelClock.h"
#include "level/rules/LevelHooks.h"
#include "level/rules/LevelLocks.h"
#include "level/rules/LevelMoney.h"
#include "level/rules/LevelTasks.h"
#include "level/rules/LevelView.h"
#include "level/rules/LevelWindows.h"
#include "level/rules/VillainWaves.h"
#include "level/rules/WarehouseStock.h"

class GameMessager;
struct LEVELINFO;
struct PRODUCT;

class LevelRules : private MoneyListener, private MessageAnswer {
 public:
  LevelRules(i32 level, i32 regime, const LEVELINFO* info, const LevelHooks& hooks);
  ~LevelRules() override;
  LevelRules(const LevelRules&) = delete;
  LevelRules& operator=(const LevelRules&) = delete;

  // --- Life ------------------------------------------------------------------------------
  // The rules of a new or restored level: locks, clock, tasks, bonuses and
  // the best building level start again; the money tasks listen to the
  // money, which becomes the starting money; a new empty stock; the waves
  // from their start; the chosen bonuses kept; the start lock taken.
  void Build(const CHOSENBONUSES& chosen);
  // A new level after Build: the initial stock (not counted for the tasks),
  // the chosen bonus slots charging, the clock at 0.
  void StartNew();
  // Play starts: the start lock goes. Once; false after the first.
  bool StartPlay();
  // Leaving: the level's sounds fade (and resume when the locks paused
  // them), the money listener goes, the stock is deleted, the rain stops.
  // Once until the next Build.
  void Clear();
  void SetEntered(bool entered) { entered_ = entered; }

  // --- Frame and tick ------------------------------------------------------------------------
  // The level clock takes d when nothing holds the level (no lock, no result,
  // no screen effect); the medal stage follows it; the number of ticks to run.
  u32 AdvanceFrame(u32 d, bool effectRunning);
  void RunWaves(u32 t, VillainSlots& slots);  // the bees hold them
  // The pending result's delay, the bonus slots (while there is no result)
  // and the rain's time.
  void Tick(u32 t);
  void CheckTimeLimit() { tasks_.CheckMedal(clock_.GetMedal()); }

  // --- Money and goods ---------------------------------------------------------------------------
  // How many of n units fit; the warehouse-full message when not all do.
  i32 CheckStoreSpace(const PRODUCT* product, i32 n, GameMessager* messager);
  // Produced goods into the warehouse, the rest sold (see above); the units
  // stored. awardKind: the tiered award the units count for, or -1.
  i32 StoreProduct(const PRODUCT* product, i32 n, i32 awardKind, float x, float y, float yOffset,
                   GameMessager* messager);
  // Money in or out with its flying coins; income counts as money earned.
  void ChangeMoney(i32 amount, float x, float y, float yOffset);
  // A product's ingredients in the warehouse, per unit made.
  bool HasIngredients(const PRODUCT* product) const;
  void TakeIngredients(const PRODUCT* product);
  // Given back (a refund, a cancelled feed): what fits is stored, the rest
  // sold at its price, without a message; neither counts for the tasks.
  void GiveBack(const PRODUCT* product, i32 n);
  void AddIngredientsToStock(const PRODUCT* product, i32 factor);  // given back, per unit
  // Flying icons of the ingredients going in (inwards) or out at (x, y).
  void AnimateIngredients(const PRODUCT* product, float x, float y, bool inwards);

  // --- Awards --------------------------------------------------------------------------------------
  void RaiseAwardRecord(u32 record, i32 value, bool add, bool notify);
  void AddAwardProgress(u32 award, i32 n);
  void CheckFinalAward(bool notify);
  void SetVillainsInRow(i32 n, bool notify);  // a rise raises the record
  void IncVillainsInRow(bool notify);
  void NoteBuildingLevel(i32 level, bool notify);
  void SetChosenBonuses(const CHOSENBONUSES& chosen) { chosen_ = chosen; }  // a saved level's  // the best building level of the level

  // --- Parts -------------------------------------------------------------------------------------
  float GetRate(u32 i) const { return bonuses_.GetRate(i); }
  LevelMoney& Money() { return money_; }
  WarehouseStock* Stock() { return stock_.get(); }
  // The warehouse's storage level (the warehouse point's level); 0 without a stock.
  i32 GetWarehouseLevel() const { return stock_ ? stock_->GetLevel() : 0; }
  LevelTasks& Tasks() { return tasks_; }
  LevelBonuses& Bonuses() { return bonuses_; }
  LevelClock& Clock() { return clock_; }
  LevelLocks& Locks() { return locks_; }
  LevelView& View() { return view_; }
  VillainWaves& Waves() { return waves_; }
  const CHOSENBONUSES& GetChosenBonuses() const { return chosen_; }

  i32 GetLevel() const { return level_; }
  i32 GetRegime() const { return regime_; }
  const LEVELINFO* GetInfo() const { return info_; }
  const LevelHooks& Hooks() const { return hooks_; }
  i32 GetBestBuildingLevel() const { return bestBuildingLevel_; }
  bool IsEntered() const { return entered_; }
  bool IsStarted() const { return started_; }
  bool IsCleared() const { return cleared_; }

 private:
  void OnMoneyChanged() override;  // the money tasks
  void OnMessageAnswer(u32 answer, const PRODUCT* subject) override;  // the warehouse-full message
  void ShowWarehouseFull(const PRODUCT* product);

  i32 level_;
  i32 regime_;
  const LEVELINFO* info_;
  LevelHooks hooks_;
  LevelMoney money_;
  std::unique_ptr<WarehouseStock> stock_;
  LevelTasks tasks_;
  LevelBonuses bonuses_;
  LevelClock clock_;
  LevelLocks locks_;
  LevelView view_;
  VillainWaves waves_;
  CHOSENBONUSES chosen_;
  i32 bestBuildingLevel_ = 0;
  bool entered_ = false;
  bool started_ = false;
  bool cleared_ = false;
};

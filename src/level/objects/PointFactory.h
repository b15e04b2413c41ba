// PointFactory - a factory building: the products of its kind that can be
// made on the level are its recipes, shown as a row of product buttons
// above it, and each of its levels gives one production slot. A click on a
// product takes its ingredients from the warehouse stock into the first
// free slot; the slot fills over the product's production time (times the
// level's factory rate), and the finished unit goes to the warehouse. While
// the warehouse has no room the finished unit waits in its slot and is
// offered again every tick (the warehouse-full message shows at most once
// per 10 s). A click on a busy slot cancels it and gives the ingredients
// back: what fits is stored, the rest sold.
//
// The working state: 0 idle, 1 starting (a slot became busy), 2 running
// (the building's animations, emitters and sound go). Suspension and an
// upgrade keep every slot's recipe and progress.
//
// The saved state is the building's followed by a 72-byte record: size,
// production run, recipe count, five recipe product ids, slot count, busy
// count, and per slot (4) the product id (0 free) and the progress as a
// fraction of the production time. A record that does not fit the factory
// as the level made it fails the load.
#pragma once

#include "engine/Require.h"
#include "level/objects/PointBuilding.h"
#include "gametext/GameMessager.h"

class ASSProductionButton;
class ASSProductionSlot;
class ActiveScreenSprite;
struct PRODUCT;

constexpr u32 kFactoryRecordSize = 72;
constexpr u32 kMaxFactorySlots = 4;

class PointFactory : public PointBuilding {
 public:
  struct Recipe {
    u32 index = 0;  // in the kind's product list
    PRODUCT* product = nullptr;
    ASSProductionButton* button = nullptr;
    bool hasIngredients = false;
  };
  struct Slot {
    Recipe* recipe = nullptr;  // null: free
    float progress = 0.0f;     // ms made
    float duration = 0.0f;     // ms the product takes
    ASSProductionSlot* indicator = nullptr;
  };

  // The recipes are the kind's products, in order, that can be made on the level.
  PointFactory(LevelMap& map, BUILDING* building);
  ~PointFactory() override;

  u32 Update(u32 ms) override;
  void OnSelect() override;  // the level panel's factory page
  void StopJobs(bool fade) override;
  void SetRateModifier(u32 id, bool additive, float value) override;
  void Suspend() override;
  void Resume() override;
  // The damage gone (worn off or repaired): the product buttons the damage
  // took away come back.
  void CancelRepair() override;
  bool HasProgress() const override { return busy_ > 0; }
  bool SaveState(kis::DataCursor* writer) override;
  bool LoadState(kis::DataCursor* reader) override;
  u32 ShowBuilding(bool fade, u32 delay) override;
  void BuildStarted() override;
  void BuildEnded() override;

  // Into the slot (-1: the first free one; with none the busy count is
  // the slot count and nothing else happens); with take, the ingredients
  // leave the stock. False when nothing started.
  bool StartProduction(i32 recipe, i32 slot, bool take);
  // A busy slot emptied; with refund its ingredients are given back.
  void FreeSlot(i32 slot, bool refund);
  // The product buttons and slot indicators (not once shut down or damaged).
  void ShowButtons(bool fade, i32 delay);
  // Idle: animations to the end of their cycle, emitters to rest, the
  // sound fading; the buttons gone. A refund (only with fade) gives back
  // every busy slot's ingredients and frees the slots.
  void StopProduction(bool fade, bool refund, u32 delay);
  void RefreshIngredients();  // each recipe's has-ingredients flag
  // The stock changed: the buttons follow it, and come back when damage
  // (StopJobs) took them away.
  void Refresh() override;

  // Where the slot's ingredients fly from and its product is stored.
  void GetSlotAnchor(i32 slot, POINTPOS* out) const;
  i32 GetRecipeCount() const { return recipeCount_; }
  const Recipe& GetRecipe(i32 i) const { return recipes_[i]; }
  i32 GetSlotCount() const { return slotCount_; }
  i32 GetBusyCount() const { return busy_; }
  const Slot& GetSlot(i32 i) const {
    return RequireThat(i >= 0 && i < static_cast<i32>(kMaxFactorySlots), "a factory's job slot in range") ? slots_[i]
                                                                                                        : slots_[0];
  }
  i32 GetWorkState() const { return state_; }
  // The factory's own speed factor (1.0; a tutorial hurries it along).
  float GetSpeedFactor() const { return speed_; }
  void SetSpeedFactor(float factor) { speed_ = factor; }
  u32 GetProductionRun() const { return run_; }
  GameMessager& Messager() { return messager_; }

 protected:
  u32 DoShutdown(bool fade, bool final, u32 delay) override;

 private:
  static u32 OnProductClicked(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner, u32 button);
  static u8 IsProductDisabled(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner);
  static u32 OnSlotClicked(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner, u32 button);
  static u8 IsSlotDisabled(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner);
  void RemoveButtons(bool fade, u32 delay);
  void Produce(u32 ms);
  Recipe* FindRecipe(u32 productId);

  u32 run_ = 0;
  i32 recipeCount_ = 0;
  Recipe recipes_[kMaxFactoryProducts];
  i32 slotCount_ = 0;
  i32 busy_ = 0;
  Slot slots_[kMaxFactorySlots];
  GameMessager messager_;
  i32 state_ = 0;
  u32 channel_ = 0;
  float speed_ = 1.0f;
};

// LevelPanel - the level screen's head-up window ('Lvlp'): a strip 115
// pixels high along the bottom of the screen with the task buttons on the
// left, the time bar and the shown child panel in the middle and the
// warehouse button on the right; above the strip the bonus buttons, the
// menu button in the top right corner with its plate, the close-tutorial
// button in the top left, the money window and the pulsing "click_to_start"
// prompt.
//
// One panel lives per running level, on its map. It owns every child panel
// made for the level (each kind once) and shows one
// at a time in the child area. The layout follows the screen's width: the
// central part grows from 800 to 900 pixels, wider screens get side
// margins; every change of the child area raises the layout generation, so
// a child panel re-arranges when it is shown next.
//
// It is the toolkit's level panel area (UiServices::levelPanel, installed
// by whoever shows it: the information window lets clicks over its menu and
// close-tutorial buttons through). It hears the level's money and stock (the shown child re-evaluates its
// buttons) and must be deleted before the level's rules it listens to.
// The parts that come with the game windows (time bar, bonus and task
// buttons, money, warehouse and menu windows) are made through a
// LevelPanelPartMaker, which the panel's maker gives and keeps.
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "level/rules/LevelMoney.h"
#include "level/rules/WarehouseStock.h"
#include "ui/BaseDialogWindow.h"
#include "ui/GameWindow.h"
#include "ui/InfoWindowSources.h"
#include "ui/WindowSprites.h"
#include "windows/LevelPanelParts.h"

class ChildLevelPanel;
class EmptyPanel;
class ImageButton;
class KGETextSpriteW;
class LevelMap;
class LevelRules;
class NarrowButton;
class WarehouseButton;
struct BONUSSLOT;

constexpr u32 kLevelPanelId = MakeWindowId('L', 'v', 'l', 'p');
constexpr i32 kPanelStripHeight = 115;

constexpr i32 kChildPanelHeight = 91;
constexpr u32 kLevelBonusSlots = 6;
constexpr u32 kLevelPanelTaskRoom = 11;

// Commands of the panel's own buttons.
constexpr u32 kCommandMenu = 0x4c500001u;
constexpr u32 kCommandBonus = 0x4c500002u;
constexpr u32 kCommandWarehouse = 0x4c500003u;
constexpr u32 kCommandCloseTutorial = 0x4c500004u;
constexpr u32 kCommandTask = 0x4c500005u;

// The layout of a screen width (all in panel coordinates).
struct LevelPanelLayout {
  i32 width;      // W = max(screen width, 800)
  i32 left;       // x0, where the central part begins
  i32 block;      // L, the left block's width
  i32 rightX;     // xr
  i32 childX;     // xc
  i32 childWidth; // wc
  i32 leftFill;   // the side fills' widths (margin + 2)
  i32 rightFill;
  i32 central;    // the central part's width (800 to 900)
};
LevelPanelLayout ComputeLevelPanelLayout(i32 screenWidth);

class LevelPanel : public GameWindow,
                   public LevelPanelArea,
                   private MoneyListener,
                   private StockListener {
 public:
  // For the level of the map (its rules the map's); `maker` (not null)
  // outlives the panel.
  LevelPanel(LevelMap& map, LevelPanelPartMaker* maker);
  ~LevelPanel() override;

  ChildLevelPanel* FindChildPanel(i32 kind) const;
  void ShowEmptyPanel();
  // Each task button (or only `index`) gets the level's progress of its task.
  void UpdateTaskButtons(i32 index, bool animate);
  // The warehouse button follows the level's warehouse level (also each frame).
  void RefreshWarehouseLevel();
  void CreateBonusButtons();
  void UpdateBonusButton(u32 slot, const BONUSSLOT& state, bool animate);
  void CreateTutorialButton();
  void HideTutorialButton();
  // Over the menu plate's button or the close-tutorial button (screen
  // point); the information window lets such clicks through.
  bool IsPointOver(i32 x, i32 y) const override;

  // The prompt: the level moves the panel's clock and starts its fade-out.
  void AdvanceClock(u32 ms) { clock_ += ms; }
  void StartPromptFadeOut();

  void OnScreenResize() override;
  void Draw() override;
  bool HitTest(i32 x, i32 y) const override;
  u32 OnCommand(GameButton* control) override;

  // The child panels (kept by ChildLevelPanel).
  void AddChildPanel(ChildLevelPanel* panel) { children_.push_back(panel); }
  void RemoveChildPanel(ChildLevelPanel* panel);
  ChildLevelPanel* GetCurrentChild() const { return current_; }
  void SetCurrentChild(ChildLevelPanel* panel) { current_ = panel; }

  LevelMap& GetMap() const { return map_; }
  LevelRules* GetRules() const { return rules_; }
  const LevelPanelLayout& Layout() const { return layout_; }
  i32 GetChildX() const { return layout_.childX; }
  i32 GetChildWidth() const { return layout_.childWidth; }
  u32 GetGeneration() const { return generation_; }
  const DXLRECT& GetMenuPlate() const { return menuPlate_; }
  ImageButton* GetMenuButton() const { return menuButton_; }
  WarehouseButton* GetWarehouseButton() const { return warehouseButton_; }
  NarrowButton* GetTutorialButton() const { return tutorialButton_; }
  TimeBarPart* GetTimeBar() const { return timeBar_.get(); }
  BonusButtonPart* GetBonusButton(u32 slot) const { return slot < kLevelBonusSlots ? bonus_[slot] : nullptr; }
  // A bonus button takes its slot as it is made and leaves it as it goes
  // (only when the slot still names it); the panel deletes what its slots
  // hold.
  void SetBonusSlot(u32 slot, BonusButtonPart* button);
  void ClearBonusSlot(u32 slot, const BonusButtonPart* button);
  u32 GetTaskCount() const { return static_cast<u32>(tasks_.size()); }
  TaskButtonPart* GetTaskButton(u32 i) const { return i < tasks_.size() ? tasks_[i].get() : nullptr; }
  MoneyWindowPart* GetMoneyWindow() const { return money_.get(); }
  WarehouseWindowPart* GetWarehouseWindow() const { return warehouseWindow_.get(); }
  MenuWindowPart* GetMenuWindow() const { return menuWindow_.get(); }
  KGETextSpriteW* GetPrompt() const { return prompt_.get(); }
  u32 GetClock() const { return clock_; }
  // The prompt's scale and alpha at the panel's clock (advancing its fades).
  float PromptScale() const;
  float PromptAlpha();
  const std::vector<ChildLevelPanel*>& Children() const { return children_; }
  const WindowSprites& BackLayer() const { return back_; }

 private:
  i32 SlotOfBonus(uintptr_t record) const;
  void OnMoneyChanged() override;
  void OnStockChanged(const STOCKENTRY& entry) override;
  static bool OnCloseTutorialAnswer(uintptr_t self, uintptr_t, u32 answer);
  void RunLayout();
  void BuildBackground();
  void MakeMenuButton();
  void PlaceButtons();
  void DrawPrompt();
  bool PushChildClip();  // false: no viewer, nothing pushed

  LevelMap& map_;
  LevelRules* rules_;
  LevelPanelLayout layout_{};
  u32 generation_ = 0;
  bool laidOut_ = false;
  WindowSprites back_;
  WindowSprites front_;
  std::unique_ptr<MoneyWindowPart> money_;
  ChildLevelPanel* current_ = nullptr;
  WarehouseButton* warehouseButton_ = nullptr;  // in the controls
  std::unique_ptr<TimeBarPart> timeBar_;
  BonusButtonPart* bonus_[kLevelBonusSlots] = {};  // owned
  ImageButton* menuButton_ = nullptr;  // in the controls
  DXLRECT menuPlate_{0, 0, 0, 0};      // screen coordinates
  NarrowButton* tutorialButton_ = nullptr;
  std::vector<std::unique_ptr<TaskButtonPart>> tasks_;
  std::unique_ptr<KGETextSpriteW> prompt_;
  float promptX_ = 0.0f, promptY_ = -80.0f;
  float promptDx_ = 0.0f, promptDy_ = 0.0f;
  u32 clock_ = 0;
  i64 fadeInStart_ = 0;
  i64 fadeOutStart_ = -1;
  std::vector<ChildLevelPanel*> children_;  // owned
  LevelPanelPartMaker* maker_;
  std::unique_ptr<WarehouseWindowPart> warehouseWindow_;
  std::unique_ptr<MenuWindowPart> menuWindow_;
  OpenedDialog closeTutorial_;  // the close-tutorial question
};

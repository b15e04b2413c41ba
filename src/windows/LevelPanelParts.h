// LevelPanelParts - the parts of the level panel that come with the game
// windows: the medal-time bar, the bonus buttons, the task buttons, the
// money window, and the warehouse and menu windows the panel opens. Each is
// a narrow interface the panel calls; LevelPanelPartMaker makes them. The
// game's maker (GamePanelParts.h) makes the game windows' own classes.
#pragma once

#include <memory>

#include "base/Types.h"

class LevelPanel;
struct BONUSSLOT;

// The medal-time bar under the level clock (the time bar's window).
class TimeBarPart {
 public:
  virtual ~TimeBarPart() = default;
  virtual void Arrange(i32 x, i32 width) = 0;  // panel coordinates
  virtual void Draw() = 0;
  virtual void UpdateTime(bool animate) = 0;
  virtual bool IsRunning() const = 0;
  virtual void Advance(u32 ms) = 0;
  virtual void Start() = 0;
  virtual void Show(bool animate) = 0;
};

// One bonus slot's button above the strip.
class BonusButtonPart {
 public:
  virtual ~BonusButtonPart() = default;
  virtual i32 GetWidth() const = 0;
  virtual void PlaceAt(i32 x, i32 y) = 0;  // panel coordinates
  virtual void UpdateState(const BONUSSLOT& slot, bool animate) = 0;
  virtual bool IsReady() const { return false; }  // the player may use it now
  virtual bool Contains(i32, i32) const { return false; }  // a point over it (panel coordinates)
};

// One task's button in the left block.
class TaskButtonPart {
 public:
  virtual ~TaskButtonPart() = default;
  virtual void Place(i32 x, i32 y, i32 width) = 0;
  virtual void SetProgress(i32 progress, bool animate) = 0;
};

// The money window at the top of the screen.
class MoneyWindowPart {
 public:
  virtual ~MoneyWindowPart() = default;
  virtual void OnScreenResize() = 0;
  virtual i32 GetX() const = 0;  // screen x of its left edge
};

// The warehouse window the warehouse button opens.
class WarehouseWindowPart {
 public:
  virtual ~WarehouseWindowPart() = default;
  virtual void Open() = 0;
};

// The level's menu window the menu button opens: refused while a menu is
// open and not closing; `animate` drops it in.
class MenuWindowPart {
 public:
  virtual ~MenuWindowPart() = default;
  virtual void Open(bool animate) = 0;
  virtual void Close() = 0;
};

class LevelPanelPartMaker {
 public:
  virtual ~LevelPanelPartMaker() = default;
  virtual std::unique_ptr<TimeBarPart> MakeTimeBar(LevelPanel& panel) = 0;
  virtual std::unique_ptr<BonusButtonPart> MakeBonusButton(LevelPanel& panel, u32 slot) = 0;
  virtual std::unique_ptr<TaskButtonPart> MakeTaskButton(LevelPanel& panel, u32 task) = 0;
  virtual std::unique_ptr<MoneyWindowPart> MakeMoneyWindow() = 0;
  virtual std::unique_ptr<WarehouseWindowPart> MakeWarehouseWindow() = 0;
  virtual std::unique_ptr<MenuWindowPart> MakeMenuWindow() = 0;
};

// LevelPanelParts - the parts of the level panel that come with the game
// windows: the medal-time bar, the bonus buttons, the task buttons, the
// money window, and the warehouse and menu windows the panel opens. Each is
// a narrow interface the panel calls; LevelPanelPartMaker makes them. The
// plain stand-ins (StandInPartMaker) keep what they are told and draw
// nothing; the game's maker (GamePanelParts.h) makes the game windows' own
// classes where they exist.
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

// --- Plain stand-ins ------------------------------------------------------------------------

class TimeBarStandIn : public TimeBarPart {
 public:
  void Arrange(i32 x, i32 width) override {
    x_ = x;
    width_ = width;
  }
  void Draw() override {}
  void UpdateTime(bool) override {}
  bool IsRunning() const override { return running_; }
  void Advance(u32 ms) override {
    if (running_) time_ += ms;
  }
  void Start() override { running_ = true; }
  void Show(bool) override { shown_ = true; }
  i32 GetX() const { return x_; }
  i32 GetWidth() const { return width_; }
  u32 GetTime() const { return time_; }

 private:
  i32 x_ = 0, width_ = 0;
  u32 time_ = 0;
  bool running_ = false, shown_ = false;
};

class BonusButtonStandIn : public BonusButtonPart {
 public:
  static constexpr i32 kWidth = 64;
  i32 GetWidth() const override { return kWidth; }
  void PlaceAt(i32 x, i32 y) override {
    x_ = x;
    y_ = y;
  }
  void UpdateState(const BONUSSLOT&, bool) override { ++updates_; }
  i32 GetX() const { return x_; }
  i32 GetY() const { return y_; }
  i32 GetUpdates() const { return updates_; }

 private:
  i32 x_ = 0, y_ = 0, updates_ = 0;
};

class TaskButtonStandIn : public TaskButtonPart {
 public:
  void Place(i32 x, i32 y, i32 width) override {
    x_ = x;
    y_ = y;
    width_ = width;
  }
  void SetProgress(i32 progress, bool) override { progress_ = progress; }
  i32 GetX() const { return x_; }
  i32 GetY() const { return y_; }
  i32 GetWidth() const { return width_; }
  i32 GetProgress() const { return progress_; }

 private:
  i32 x_ = 0, y_ = 0, width_ = 0, progress_ = 0;
};

class MoneyWindowStandIn : public MoneyWindowPart {
 public:
  void OnScreenResize() override {}
  i32 GetX() const override { return x_; }
  void SetX(i32 x) { x_ = x; }

 private:
  i32 x_ = 0x7FFFFFFF;  // nowhere on the screen
};

class WarehouseWindowStandIn : public WarehouseWindowPart {
 public:
  void Open() override { ++opened_; }
  i32 GetOpened() const { return opened_; }

 private:
  i32 opened_ = 0;
};

class MenuWindowStandIn : public MenuWindowPart {
 public:
  void Open(bool) override { ++opened_; }
  void Close() override { ++closed_; }
  i32 GetOpened() const { return opened_; }
  i32 GetClosed() const { return closed_; }

 private:
  i32 opened_ = 0, closed_ = 0;
};

class StandInPartMaker : public LevelPanelPartMaker {
 public:
  std::unique_ptr<TimeBarPart> MakeTimeBar(LevelPanel&) override { return std::make_unique<TimeBarStandIn>(); }
  std::unique_ptr<BonusButtonPart> MakeBonusButton(LevelPanel&, u32) override {
    return std::make_unique<BonusButtonStandIn>();
  }
  std::unique_ptr<TaskButtonPart> MakeTaskButton(LevelPanel&, u32) override {
    return std::make_unique<TaskButtonStandIn>();
  }
  std::unique_ptr<MoneyWindowPart> MakeMoneyWindow() override { return std::make_unique<MoneyWindowStandIn>(); }
  std::unique_ptr<WarehouseWindowPart> MakeWarehouseWindow() override {
    return std::make_unique<WarehouseWindowStandIn>();
  }
  std::unique_ptr<MenuWindowPart> MakeMenuWindow() override { return std::make_unique<MenuWindowStandIn>(); }
};

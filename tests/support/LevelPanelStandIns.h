// The level panel's parts as plain stand-ins (StandInPartMaker makes them):
// they keep what the panel tells them and draw nothing, so a test reads
// where the panel placed its time bar and buttons and what it opened.
#pragma once

#include <memory>

#include "windows/LevelPanelParts.h"

namespace windowstest {

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

}  // namespace windowstest

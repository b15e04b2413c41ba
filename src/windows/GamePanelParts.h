// GamePanelParts - the game's own parts of the level panel, where they are
// built: the time bar, bonus buttons and task buttons, the money window and
// the level's menu (a MenuWindow with the six level commands, carried out by
// LevelMenuHandler on the actions given). The warehouse button opens the
// warehouse window through the level's game windows.
#pragma once

#include <memory>

#include "windows/LevelMenuHandler.h"
#include "windows/LevelPanelParts.h"

class LevelRules;
class LevelWindows;
class LifeGuard;
class MenuWindow;

// Opens the level's menu window: the six level commands in the order the
// player reads them, their handler the level menu's. Deleting the opener
// deletes the menu it opened, so the menu never outlives its handler.
class LevelMenuOpener : public MenuWindowPart {
 public:
  explicit LevelMenuOpener(LevelMenuActions* actions);
  ~LevelMenuOpener() override;
  LevelMenuOpener(const LevelMenuOpener&) = delete;
  LevelMenuOpener& operator=(const LevelMenuOpener&) = delete;

  // Nothing while a menu window is open and not closing, or another modal
  // window is up and not closing.
  void Open(bool animate) override;
  void Close() override;  // the menu it opened, when still open
  MenuWindow* GetMenu() const;  // the menu it opened while it lives
  LevelMenuHandler& Handler() { return handler_; }

 private:
  LevelMenuHandler handler_;
  MenuWindow* menu_ = nullptr;
  std::unique_ptr<LifeGuard> alive_;  // watches menu_
};

// The warehouse button's part: it asks the level's game windows for the
// warehouse window (LevelWindows::OpenWarehouseWindow).
class WarehouseWindowOpener : public WarehouseWindowPart {
 public:
  explicit WarehouseWindowOpener(LevelWindows* windows) : windows_(windows) {}
  void Open() override;

 private:
  LevelWindows* windows_;
};

class GamePanelParts : public LevelPanelPartMaker {
 public:
  GamePanelParts(LevelMenuActions* actions, LevelWindows* windows) : actions_(actions), windows_(windows) {}
  // The rules of the level whose panel is made next.
  void SetRules(LevelRules* rules) { rules_ = rules; }

  std::unique_ptr<TimeBarPart> MakeTimeBar(LevelPanel& panel) override;
  std::unique_ptr<BonusButtonPart> MakeBonusButton(LevelPanel& panel, u32 slot) override;
  std::unique_ptr<TaskButtonPart> MakeTaskButton(LevelPanel& panel, u32 task) override;
  std::unique_ptr<MoneyWindowPart> MakeMoneyWindow() override;
  std::unique_ptr<MenuWindowPart> MakeMenuWindow() override;
  std::unique_ptr<WarehouseWindowPart> MakeWarehouseWindow() override;

 private:
  LevelMenuActions* actions_;
  LevelWindows* windows_;
  LevelRules* rules_ = nullptr;
};

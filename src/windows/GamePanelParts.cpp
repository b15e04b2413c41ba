#include "windows/GamePanelParts.h"

#include "level/rules/LevelRules.h"
#include "level/rules/LevelWindows.h"
#include "level/rules/LevelTasks.h"
#include "ui/GameWindow.h"
#include "ui/LifeGuard.h"
#include "ui/WindowManager.h"
#include "windows/BonusButton.h"
#include "windows/LevelPanel.h"
#include "windows/MenuWindow.h"
#include "windows/MoneyWindow.h"
#include "windows/TaskButton.h"
#include "windows/TimeBar.h"

LevelMenuOpener::LevelMenuOpener(LevelMenuActions* actions) : handler_(actions) {}

LevelMenuOpener::~LevelMenuOpener() {
  if (MenuWindow* menu = GetMenu()) delete menu;
}

MenuWindow* LevelMenuOpener::GetMenu() const { return alive_ && alive_->Alive() ? menu_ : nullptr; }

void LevelMenuOpener::Open(bool animate) {
  WindowManager* manager = GetWindowManager();
  if (!manager) return;
  // A window on its way out (a menu or a dialog lifting out) does not count.
  const kis::list<GameWindow*>& stack = manager->GetStack();
  for (i32 i = 0; i < stack.GetCount(); ++i)
    if (const GameWindow* w = stack.Get(i); w && w->IsModal() && !w->IsClosing()) return;
  alive_.reset();
  menu_ = new MenuWindow(animate, [this](u32 command) { return handler_.OnCommand(command); },
                         {kMenuClose, kMenuRestart, kMenuAwards, kMenuOptions, kMenuToMap, kMenuQuit});
  alive_ = std::make_unique<LifeGuard>(menu_->GetLifetime());
}

void LevelMenuOpener::Close() {
  if (MenuWindow* menu = GetMenu(); menu && !menu->IsClosing()) menu->Close();
}

std::unique_ptr<MoneyWindowPart> GamePanelParts::MakeMoneyWindow() { return std::make_unique<MoneyWindow>(rules_); }

void WarehouseWindowOpener::Open() {
  if (windows_) windows_->OpenWarehouseWindow(nullptr);
}

std::unique_ptr<WarehouseWindowPart> GamePanelParts::MakeWarehouseWindow() {
  return std::make_unique<WarehouseWindowOpener>(windows_);
}

std::unique_ptr<MenuWindowPart> GamePanelParts::MakeMenuWindow() {
  return std::make_unique<LevelMenuOpener>(actions_);
}

std::unique_ptr<TimeBarPart> GamePanelParts::MakeTimeBar(LevelPanel& panel) {
  return std::make_unique<TimeBar>(panel);
}

std::unique_ptr<BonusButtonPart> GamePanelParts::MakeBonusButton(LevelPanel& panel, u32 slot) {
  return std::make_unique<BonusButton>(panel, slot);
}

std::unique_ptr<TaskButtonPart> GamePanelParts::MakeTaskButton(LevelPanel& panel, u32 task) {
  LevelRules* rules = panel.GetRules();
  return std::make_unique<TaskButton>(&panel, task, rules ? rules->Tasks().GetTask(task) : nullptr, false);
}

#include "windows/GamePanelParts.h"

#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "windows/BonusButton.h"
#include "windows/LevelPanel.h"
#include "windows/TaskButton.h"
#include "windows/TimeBar.h"

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

LevelPanelPartMaker* GetGamePanelParts() {
  static GamePanelParts parts;
  return &parts;
}

// GamePanelParts - the game's maker of the level panel's parts: the game
// windows' own time bar, bonus buttons and task buttons; the parts whose
// windows are not built yet stay the plain stand-ins. It keeps nothing, so
// one maker serves every panel.
#pragma once

#include "windows/LevelPanelParts.h"

class GamePanelParts : public StandInPartMaker {
 public:
  std::unique_ptr<TimeBarPart> MakeTimeBar(LevelPanel& panel) override;
  std::unique_ptr<BonusButtonPart> MakeBonusButton(LevelPanel& panel, u32 slot) override;
  std::unique_ptr<TaskButtonPart> MakeTaskButton(LevelPanel& panel, u32 task) override;
};

// The maker the game's world hands its level panel host.
LevelPanelPartMaker* GetGamePanelParts();

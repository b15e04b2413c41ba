// LevelInterface - the game windows around a running level as the scene
// drives them: the level panel with its time bar and bonus buttons, the
// in-level menu, the intro window, and the way back to the level map (with
// a comic first after some levels). The level panel and the game windows
// (issue 39, L7, and the game application) implement it; until then tests
// use a fake.
#pragma once

#include "base/Types.h"

class LevelMap;

class LevelInterface {
 public:
  virtual ~LevelInterface() = default;
  virtual void CreatePanel(LevelMap& map) = 0;  // for the level of the map, when there is none
  virtual void DeletePanel() = 0;
  virtual void CreateBonusButtons() = 0;
  // The time bar: whether it runs, its time moving on by d ms, its start at
  // the panel's present time, and showing it (without animation on entry).
  virtual bool IsTimeBarRunning() const = 0;
  virtual void AdvanceTimeBar(u32 d) = 0;
  virtual void StartTimeBar() = 0;
  virtual void ShowTimeBar(bool animate) = 0;
  virtual void OpenMenu(bool fromKey) = 0;  // unless one is open and not closing
  virtual void OpenIntro() = 0;             // the level's intro texts
  virtual void DeleteLevelWindows() = 0;    // warehouse window, menu and the rest the level keeps
  // Back to the level map; comic 1 to 3 first (0: none).
  virtual void ExitToMap(u32 comic) = 0;
  // The lose dialog answered with a restart: the level window for the same level.
  virtual void OfferRestart() = 0;
};

// LevelSaves - the running level kept in the profile between visits: the
// state saved when a started level is left without a result, and read back
// when the level is entered again (false: nothing usable, the level starts
// new). GameLevelSaves implements it over the saved level (LevelState); it
// is optional: without one every level starts new.
#pragma once

class GameLevel;

class LevelSaves {
 public:
  virtual ~LevelSaves() = default;
  virtual void SaveState(GameLevel& level) = 0;
  virtual bool LoadSavedState(GameLevel& level) = 0;
};

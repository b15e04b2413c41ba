// LevelSaves - the running level kept in the profile between visits: the
// state saved when a started level is left without a result, and read back
// when the level is entered again (false: nothing usable, the level starts
// new). The level's save and restore (issue 38, L6) implements it; until
// then the scene runs without one and every level starts new.
#pragma once

class GameLevel;

class LevelSaves {
 public:
  virtual ~LevelSaves() = default;
  virtual void SaveState(GameLevel& level) = 0;
  virtual bool LoadSavedState(GameLevel& level) = 0;
};

// GameLevelSaves - the scene's saved levels (LevelSaves) over LevelState: a
// started level left without a result is written into the profile's store
// of saved levels (and the profile saved); entering the level reads it back
// through the scene's own Clear and BuildLevel, and a refused one is
// dropped, the scene starting the level anew. The profile's store and its
// saving, and what the villains keep (LevelState.h), are given by the game;
// the running tutorial keeps its own part.
#pragma once

#include "level/state/LevelSaves.h"

namespace kis {
class SavedStateStore;
}

class LevelStateVillains;

// Saves the player's profile after a level was kept in it. The
// application's player profile (Profile) implements it.
class ProfileSaver {
 public:
  virtual ~ProfileSaver() = default;
  virtual void SaveProfile() = 0;
};

class GameLevelSaves : public LevelSaves {
 public:
  // Each is optional: without a store nothing is kept, without a profile
  // saver the profile is not saved after it, without the villains' part
  // none of theirs is kept (the running tutorial keeps its own).
  GameLevelSaves(kis::SavedStateStore* store, ProfileSaver* profile, LevelStateVillains* villains)
      : store_(store), profile_(profile), villains_(villains) {}

  void SaveState(GameLevel& level) override;
  bool LoadSavedState(GameLevel& level) override;  // the bonus buttons made again on success

 private:
  kis::SavedStateStore* store_;
  ProfileSaver* profile_;
  LevelStateVillains* villains_;
};

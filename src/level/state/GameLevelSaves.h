// GameLevelSaves - the scene's saved levels (LevelSaves) over LevelState: a
// started level left without a result is written into the profile's store
// of saved levels (and the profile saved); entering the level reads it back
// through the scene's own Clear and BuildLevel, and a refused one is
// dropped, the scene starting the level anew. The profile's store and its
// saving (issue L7's profile) and what the villains and the tutorial keep
// (LevelStateExtras) are given by the game; tests give fakes.
#pragma once

#include "level/state/LevelSaves.h"

namespace kis {
class SavedStateStore;
}

class LevelStateExtras;

class ProfileSaver {
 public:
  virtual ~ProfileSaver() = default;
  virtual void SaveProfile() = 0;
};

class GameLevelSaves : public LevelSaves {
 public:
  // Any may be null: without a store nothing is kept.
  GameLevelSaves(kis::SavedStateStore* store, ProfileSaver* profile, LevelStateExtras* extras)
      : store_(store), profile_(profile), extras_(extras) {}

  void SaveState(GameLevel& level) override;
  bool LoadSavedState(GameLevel& level) override;  // the bonus buttons made again on success

 private:
  kis::SavedStateStore* store_;
  ProfileSaver* profile_;
  LevelStateExtras* extras_;
};

// The level player's world: the game's world (app/GameWorld.h) on a built
// data set with the language and its fonts, and one level of the data set
// (the first unless asked for another) as a running GameLevel with the game's own level panel and the empty
// places' panels, its characters, head-up display and point care its own;
// the player's profile is the one thing the level is handed; the world is
// handed the game's tutorial factory (TutorialMaker) and runs the level in
// the game's level state. No sound.
//
// Frame: Update(ms) is the world's frame (the game clock, the window
// manager, the level and the panel's clock); Draw draws the level, then the
// windows. Mouse and keys go to the level, which offers them to the windows
// first.
//
// Load needs the frame's viewer; Unload must run before the frame shuts down.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/GameWorld.h"
#include "base/Types.h"
#include "level/rules/LevelProfile.h"
#include "platform/os/PlatformServices.h"
#include "tutorials/TutorialMaker.h"

class DXLViewer;
class GameLevel;
class LevelPanelHost;

namespace player {

// The profile of the one who plays: tutorials off; a won level is kept.
class PlayerProfile : public LevelProfile {
 public:
  AWARDCOUNTERS* GetAwardCounters() override { return nullptr; }
  bool AreTutorialsOn() const override { return false; }
  bool HasFlags(u32 mask) const override { return (flags_ & mask) == mask; }
  void MarkShown(u32 flag) override { flags_ |= flag; }
  i32 GetVillainsInRow() const override { return 0; }
  void SetVillainsInRow(i32) override {}
  void RecordLevelResult(i32 level, u32 time, LEVELRESULT* out) override;
  void LogLevelResult(const LEVELRESULT&) override {}
  i32 SetEasterEggFound(i32) override { return 1; }

  bool HasResult() const { return recorded_; }
  const LEVELRESULT& Result() const { return result_; }

 private:
  u32 flags_ = 0;
  bool recorded_ = false;
  LEVELRESULT result_{};
};

class World {
 public:
  World();
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  // Reads the data set in `folder` and builds its level `level` (0 the
  // first) on a screen of width x height; false with what is missing, and
  // `*noSuchLevel` set when the set has no such level (a level record
  // without tasks is none: the builder gives every level it makes tasks).
  // `window` holds the window's collaborators the world installs while it
  // is open (its present sink; none when headless).
  bool Load(DXLViewer* viewer, const plat::PlatformServices& window, const std::string& folder, i32 level, i32 width,
            i32 height, std::string* error, bool* noSuchLevel);
  // The exit status of a Load that failed with the level there: 3 when the
  // data set has no "language.dat", else 1.
  int FailureStatus() const { return world_.FailureStatus() != 0 ? world_.FailureStatus() : 1; }
  void Unload();

  void Update(u32 ms);
  void Draw();
  void MouseMove(i32 x, i32 y, u32 buttons);
  void MouseDown(i32 x, i32 y, u32 button);
  void MouseUp(i32 x, i32 y, u32 button);
  void Key(u16 virtualKey);

  GameLevel* Level() const { return world_.Level(); }
  LevelPanelHost* Panel() const { return world_.Panel(); }
  const PlayerProfile& Profile() const { return profile_; }
  u32 Clock() const;  // the game clock
  // The level's result: 0 none yet, 1 won, -1 lost; the medal (6 gold, 5
  // silver, 4 bronze, 3 none) of a won level.
  i32 Result() const;
  i32 Medal() const;

 private:
  PlayerProfile profile_;  // made before the world, gone after it
  TutorialMaker tutorials_;
  GameWorld world_;
};

}  // namespace player

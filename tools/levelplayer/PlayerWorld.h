// The level player's world: a built data set read the way the start-up
// loader reads it ("Sprites.dat" into the 17 sprite sets; the particle
// systems, products, bonuses, awards, ground, garbage, animations,
// characters and levels of "Data.dat"; the language and its fonts from
// "language.dat"), the window manager, and the data set's first level as a
// running GameLevel with the game's own level panel and the empty places'
// panels, its characters, head-up display and point care its own.
//
// Frame: Update(ms) moves the game clock, the window manager, the level and
// the panel's clock; Draw draws the level, then the windows. Mouse and keys
// go to the level, which offers them to the windows first.
//
// Load needs the frame's viewer; Unload must run before the frame shuts down.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/Types.h"
#include "content/AwardTable.h"
#include "content/GameBonuses.h"
#include "content/GarbageList.h"
#include "content/GroundList.h"
#include "content/LevelTable.h"
#include "content/ProductList.h"
#include "level/rules/LevelProfile.h"

class DXLViewer;
class GameLanguage;
class GameLevel;
class LevelPanelHost;
class SpriteSet;
class WindowManager;

namespace kis {
class DataFileReaderW;
}

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

  // Reads the data set in `folder` and builds its first level on a screen
  // of width x height; false with what is missing.
  bool Load(DXLViewer* viewer, const std::string& folder, i32 width, i32 height, std::string* error);
  void Unload();

  void Update(u32 ms);
  void Draw();
  void MouseMove(i32 x, i32 y, u32 buttons);
  void MouseDown(i32 x, i32 y, u32 button);
  void MouseUp(i32 x, i32 y, u32 button);
  void Key(u16 virtualKey);

  GameLevel* Level() const { return level_.get(); }
  LevelPanelHost* Panel() const { return host_.get(); }
  const PlayerProfile& Profile() const { return profile_; }
  u32 Clock() const { return clock_; }
  // The level's result: 0 none yet, 1 won, -1 lost; the medal (6 gold, 5
  // silver, 4 bronze, 3 none) of a won level.
  i32 Result() const;
  i32 Medal() const;

 private:
  bool ReadData(std::string* error);

  std::vector<std::unique_ptr<SpriteSet>> sets_;
  kis::DataFileReaderW* sprites_ = nullptr;
  kis::DataFileReaderW* data_ = nullptr;
  ProductList products_;
  GameBonuses bonuses_;
  AwardTable awards_;
  GroundList grounds_;
  LevelTable levels_;
  GarbageList garbage_;
  std::unique_ptr<GameLanguage> language_;
  WindowManager* windows_ = nullptr;
  std::unique_ptr<LevelPanelHost> host_;
  PlayerProfile profile_;
  std::unique_ptr<GameLevel> level_;
  u32 clock_ = 0;
  bool loaded_ = false;
};

}  // namespace player

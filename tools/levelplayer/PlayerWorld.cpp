#include "PlayerWorld.h"

#include "app/DataSet.h"
#include "content/LevelTable.h"

#include "level/rules/LevelClock.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/GameLevel.h"
#include "resources/ResourceServices.h"

namespace player {

// The player keeps no progress: every win is a first one, a new best of
// the easy mode graded by the level table.
void PlayerProfile::RecordLevelResult(i32 level, u32 time, LEVELRESULT* out) {
  out->level = level;
  out->time = time;
  out->regime = 0;
  out->flags = 1;
  if (const LevelTable* levels = GetLevelTable()) {
    const LEVELREGIME& r = levels->Get(static_cast<u32>(level)).regimes[0];
    out->limits[0] = r.bronze;
    out->limits[1] = r.silver;
    out->limits[2] = r.gold;
    out->grade = levels->GetMedal(0, level, time);
  }
  result_ = *out;
  recorded_ = true;
}

World::World() = default;
World::~World() { Unload(); }

namespace {

bool HasLevel(const LevelTable& levels, u32 level) {
  const LEVELINFO& info = levels.Get(level);
  return level < kLevelCount && info.loaded && info.regimes[0].taskCount + info.regimes[1].taskCount > 0;
}

// "1, 2, 3": the levels the set has, numbered from 1.
std::string LevelList(const LevelTable& levels) {
  std::string list;
  for (u32 n = 0; n < kLevelCount; ++n)
    if (HasLevel(levels, n)) list += (list.empty() ? "" : ", ") + std::to_string(n + 1);
  return list.empty() ? "none" : list;
}

}  // namespace

bool World::Load(DXLViewer* viewer, const plat::PlatformServices& window, const std::string& folder, i32 level,
                 i32 width, i32 height, std::string* error, bool* noSuchLevel) {
  *noSuchLevel = false;
  WorldSetup setup;
  setup.data = folder;
  setup.viewer = viewer;
  setup.platform = window;
  setup.width = width;
  setup.height = height;
  setup.seed = 7;
  setup.language = true;
  setup.tutorials = &tutorials_;  // it is told the level it opens
  // The game's level state: its windows hold the level's clock while they
  // are open (the menu pauses the day), as in the game.
  setup.levelState = true;
  GameLevelHooks given;
  given.rules.profile = &profile_;
  if (!world_.Open(std::move(setup), error)) return false;
  // The level is opened once the tables tell whether the set has it.
  const LevelTable& levels = world_.Tables()->levels;
  if (level < 0 || !HasLevel(levels, static_cast<u32>(level))) {
    *noSuchLevel = true;
    *error = "the data set has no level " + std::to_string(level + 1) + " (its levels: " + LevelList(levels) + ")";
  } else if (!world_.OpenLevel(level, LevelSetup{}, given) || !world_.LoadLevel()) {
    *error = "the data set's level " + std::to_string(level + 1) + " does not load";
  } else {
    tutorials_.SetLevel(world_.Level());
    world_.Level()->Enter();
    return true;
  }
  world_.Close();
  return false;
}

void World::Unload() {
  tutorials_.SetLevel(nullptr);
  world_.Close();
}

void World::Update(u32 ms) {
  if (Level()) world_.Frame(ms);
}

void World::Draw() {
  if (Level()) world_.Draw();
}

void World::MouseMove(i32 x, i32 y, u32 buttons) {
  if (Level()) Level()->Input().OnMouseMove(x, y, buttons, 0);
}
void World::MouseDown(i32 x, i32 y, u32 button) {
  if (Level()) Level()->Input().OnMouseDown(x, y, button, 0);
}
void World::MouseUp(i32 x, i32 y, u32 button) {
  if (Level()) Level()->Input().OnMouseUp(x, y, button, 0);
}
void World::Key(u16 virtualKey) {
  if (Level()) Level()->Input().OnKeyDown(virtualKey, 0);
}

u32 World::Clock() const { return GetResourceServices().clock; }

i32 World::Result() const {
  if (!Level()) return 0;
  const i32 shown = Level()->Rules().Tasks().GetResultShown();
  return shown == kResultWon ? 1 : shown == kResultLost ? -1 : 0;
}

i32 World::Medal() const { return Level() ? Level()->Rules().Clock().GetMedal() : 0; }

}  // namespace player

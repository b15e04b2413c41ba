#include "PlayerWorld.h"

#include "level/rules/LevelClock.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/GameLevel.h"
#include "resources/GameServices.h"

namespace player {

void PlayerProfile::RecordLevelResult(i32 level, u32 time, LEVELRESULT* out) {
  out->level = level;
  out->time = time;
  result_ = *out;
  recorded_ = true;
}

World::World() = default;
World::~World() { Unload(); }

bool World::Load(DXLViewer* viewer, const std::string& folder, i32 width, i32 height, std::string* error) {
  WorldSetup setup;
  setup.data = folder;
  setup.viewer = viewer;
  setup.width = width;
  setup.height = height;
  setup.seed = 7;
  setup.language = true;
  setup.level = 0;
  setup.given.rules.profile = &profile_;
  return world_.Open(std::move(setup), error);
}

void World::Unload() { world_.Close(); }

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

u32 World::Clock() const { return GetGameServices().clock; }

i32 World::Result() const {
  if (!Level()) return 0;
  const i32 shown = Level()->Rules().Tasks().GetResultShown();
  return shown == kResultWon ? 1 : shown == kResultLost ? -1 : 0;
}

i32 World::Medal() const { return Level() ? Level()->Rules().Clock().GetMedal() : 0; }

}  // namespace player

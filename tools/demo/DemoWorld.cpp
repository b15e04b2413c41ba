#include "DemoWorld.h"

#include <algorithm>
#include <cmath>

#include "app/DataSet.h"
#include "base/Identifier.h"
#include "base/datafile/DataFileReader.h"
#include "content/ContentArchive.h"
#include "content/GarbageList.h"
#include "content/LevelTable.h"
#include "engine/DXLViewer.h"
#include "platform/audio/AudioOutput.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSSpace.h"
#include "resources/GameDraw.h"
#include "resources/MapSprite.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

namespace demo {

namespace {

constexpr float kWalkSpeed = 95.0f;       // level pixels a second
constexpr float kParticleHeadStart = 3000.0f;  // ms the particles have run when the scene opens

}  // namespace

bool ReadSceneLayout(const std::string& dataFolder, SceneLayout* out, std::string* error) {
  kis::DataFileReaderW* data =
      OpenDataSetFile(dataFolder, "Data.dat", kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
  if (!data) return (*error = dataFolder + "/Data.dat cannot be read as a data set's archive", false);
  LevelTable levels;
  GroundList grounds;
  const bool read = ReadWholeSection([&](SectionCursor* c) { return grounds.ReadSection(data, c); }) &&
                    ReadWholeSection([&](SectionCursor* c) { return levels.ReadChunk(data, c); });
  kis::CloseDataFile(data);
  if (!read) return (*error = "Data.dat: its ground or levels do not read", false);
  const LEVELINFO& level = levels.Get(0);
  const u32 crossing = kis::NameIdA("path_cross");
  for (const GROUNDPLACEMENT& g : level.ground)
    if (g.groundId == crossing) out->crossing = Place{g.x + 128.0f, g.y + 64.0f};
  for (const POINTDEF& p : level.points)
    if (p.kind == 0 && p.id != 0) out->garbage.push_back(Place{static_cast<float>(p.x), static_cast<float>(p.y)});
  for (const EMITTERDEF& e : level.emitters) out->emitters.push_back(Place{static_cast<float>(e.x), static_cast<float>(e.y)});
  return true;
}

World::World() = default;
World::~World() { Unload(); }

bool World::Load(DXLViewer* viewer, const plat::PlatformServices& window, const std::string& dataFolder,
                 std::unique_ptr<plat::audio::Output> sound, std::string* error) {
  Unload();
  WorldSetup setup;
  setup.data = dataFolder;
  setup.viewer = viewer;
  setup.platform = window;
  setup.sound = std::move(sound);
  if (!game_.Open(std::move(setup), error)) return false;
  loaded_ = true;
  return Build(error);
}

bool World::Build(std::string* error) {
  GroundList& grounds = game_.Tables()->grounds;
  const GarbageList& garbage = game_.Tables()->garbage;
  // The first level: its ground, layer by layer in placement order.
  const LEVELINFO& level = game_.Tables()->levels.Get(0);
  for (u32 layer = 0; layer < kGroundLayers; ++layer)
    for (const GROUNDPLACEMENT& g : level.ground) {
      if (std::min<u32>(g.layer, kGroundLayers - 1) != layer) continue;
      GROUND* record = grounds.Find(g.groundId);
      grounds.Acquire(record);
      if (auto tile = grounds.MakeTile(g.x, g.y, layer, record, false)) tiles_.push_back(std::move(tile));
    }
  // Its places with their garbage (and the pegs of the empty place under
  // it), and the flies and smells over them.
  auto place = [&](MapSprite* m, float x, float y) {
    if (!m) return;
    m->Init();
    float hx = 0, hy = 0;
    m->GetHotSpotOffset(false, &hx, &hy);
    if (m->GetSprite() && m->GetSprite()->IsLoaded()) things_.push_back(Thing{x, y, m->GetSprite(), -hx, -hy});
  };
  auto garbageSpace = std::make_unique<GPSSpace>(0);
  for (const POINTDEF& p : level.points) {
    const GARBAGEINFO* g = p.kind == 0 ? garbage.Find(p.id) : nullptr;
    if (!g) continue;
    place(level.emptyPlace, static_cast<float>(p.x), static_cast<float>(p.y));
    for (u32 k = 0; k < g->spriteCount; ++k)
      place(g->mapSprites[k], static_cast<float>(p.x + g->sprites[k].x), static_cast<float>(p.y + g->sprites[k].y));
    for (u32 k = 0; k < g->particleCount; ++k)
      if (const GPSSYSTEM* system = FindParticleSystem(g->particles[k].systemId))
        new GPSEmiter(garbageSpace.get(), system, nullptr, static_cast<float>(p.x + g->particles[k].x),
                      static_cast<float>(p.y + g->particles[k].y));
  }
  spaces_.push_back(std::move(garbageSpace));
  auto levelSpace = std::make_unique<GPSSpace>(0);
  for (const EMITTERDEF& e : level.emitters)
    if (const GPSSYSTEM* system = FindParticleSystem(e.systemId))
      new GPSEmiter(levelSpace.get(), system, nullptr, static_cast<float>(e.x), static_cast<float>(e.y));
  spaces_.push_back(std::move(levelSpace));
  for (auto& space : spaces_) {
    space->StartEmitters();
    space->Update(kParticleHeadStart);
  }

  walk_ = FindAnimation(GetAnimations(), u"girl_walk");
  if (!walk_) return (*error = "Data.dat has no animation \"girl_walk\"", false);
  walk_->Init();
  walk_->Start(&state_, walk_->FindDirection(90.0f), false);
  Walk(0.0f);
  return true;
}

void World::Unload() {
  if (!loaded_) return;
  GameAnimation::StopSound(&state_);
  state_.animation = nullptr;
  walk_ = nullptr;
  spaces_.clear();
  tiles_.clear();
  things_.clear();
  game_.Close();
  loaded_ = false;
}

// Round the ellipse clockwise on the screen, facing the way she goes: the
// nearest of the animation's directions to her heading.
void World::Walk(float ms) {
  if (!walk_) return;
  if (walking_) {
    const float rx = kWalkRadiusX, ry = kWalkRadiusY;
    const float speed = std::hypot(rx * std::sin(turn_), ry * std::cos(turn_));  // pixels a radian
    turn_ = std::fmod(turn_ + kWalkSpeed * ms / 1000.0f / std::max(speed, 1.0f), 2.0f * 3.14159265f);
  }
  girlX_ = kWalkX + kWalkRadiusX * std::cos(turn_);
  girlY_ = kWalkY + kWalkRadiusY * std::sin(turn_);
  const float heading = std::atan2(kWalkRadiusY * std::cos(turn_), -kWalkRadiusX * std::sin(turn_)) * 180.0f / 3.14159265f;
  const i32 direction = walk_->FindDirection(heading);
  if (direction != state_.direction) walk_->Start(&state_, direction, true);
  if (walking_) walk_->Update(&state_, ms);
}

void World::Update(float ms) {
  if (!loaded_) return;
  GetResourceServices().clock += static_cast<u32>(ms);  // the sprites' own animations run on it
  Walk(ms);
  for (auto& space : spaces_) space->Update(ms);
}

void World::Draw(DXLViewer* viewer) {
  if (!loaded_) return;
  viewer->LoadIdentity(nullptr);
  viewer->Translate(-kViewScrollX, 0.0f);
  viewer->Scale(kViewScale);
  DXLMATRIX level;
  viewer->GetTransform(&level);
  viewer->ApplyTransform(nullptr);
  for (const auto& tile : tiles_) {
    BindDrawTexture(tile->texture);
    DrawQuad(&tile->quad);
  }
  // Garbage and the girl, the farther first.
  std::vector<const Thing*> order;
  for (const Thing& t : things_) order.push_back(&t);
  std::stable_sort(order.begin(), order.end(), [](const Thing* a, const Thing* b) { return a->y < b->y; });
  bool girlDrawn = false;
  auto drawGirl = [&] {
    viewer->SetTransform(&level);
    viewer->Translate(girlX_, girlY_);
    walk_->Draw(&state_, true, false);
    girlDrawn = true;
  };
  for (const Thing* t : order) {
    if (!girlDrawn && t->y > girlY_) drawGirl();
    viewer->SetTransform(&level);
    viewer->Translate(t->x - t->hotX, t->y - t->hotY);
    viewer->ApplyTransform(nullptr);
    t->sprite->DrawFrame(0, 0xFFFFFFFFu, false);
  }
  if (!girlDrawn) drawGirl();
  for (auto& space : spaces_) {
    viewer->SetTransform(&level);
    space->Draw();
  }
  UnbindDrawTexture();
  viewer->LoadIdentity(nullptr);
  viewer->ResetWorldTransform();
}

}  // namespace demo

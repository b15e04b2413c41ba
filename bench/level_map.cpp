// The level-selection map on the software device at 1024 x 768: the sample
// data set's "MAPM" (41 nodes with their decorations, the animated waters)
// with its emitters repeated to 16, over a profile with every kind of node
// (finished with medals, open with the glow, closed, hidden), the pointer
// resting on an open node; the finished hen runs' and cow pastures' 20 map
// characters and the villains' attack running over them (started again
// whenever its villains have gone, the nodes kept in their own looks). One
// frame is the map's update (a 16-ms frame) and its draw. Goal: under 6 ms
// a frame on one core.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "GoalReport.h"
#include "LoadCalls.h"
#include "app/AppServices.h"
#include "app/DataSet.h"
#include "app/LevelSelectMap.h"
#include "app/MapAnimals.h"
#include "app/Profile.h"
#include "app/ProfileStore.h"
#include "base/datafile/DataFileReader.h"
#include "common/ToolViewer.h"
#include "content/ContentArchive.h"
#include "engine/DXLViewer.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/PngFile.h"
#include "platform/headless/Session.h"
#include "resources/GPSSpace.h"
#include "resources/ResourceServices.h"
#include "testsupport/LevelWorld.h"
#include "testsupport/TempFolder.h"

namespace {

constexpr i32 kMapBenchWidth = 1024;
constexpr i32 kMapBenchHeight = 768;

struct MapScene {
  plat::headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  std::unique_ptr<DXLWindowViewer> viewer;
  std::unique_ptr<leveltest::LevelWorld> world;
  TempFolder folder;
  ProfileStore store;
  std::unique_ptr<LevelSelectMap> map;
  bool ok = false;

  MapScene() {
    viewer = std::make_unique<DXLWindowViewer>();
    tools::CreateToolWindow(*viewer, u"LevelMapBench");
    tools::SetToolDisplayMode(*viewer, kMapBenchWidth, kMapBenchHeight);
    world = std::make_unique<leveltest::LevelWorld>(TM_SAMPLE_DATA_DIR, viewer.get(), kMapBenchWidth,
                                                    kMapBenchHeight, true);
    if (!world->loaded) return;
    kis::DataFileReaderW* data = OpenDataSetFile(TM_SAMPLE_DATA_DIR, "Data.dat", kDataArchiveSignature1,
                                                 kDataArchiveSignature2, kDataArchiveVersion);
    if (!data) return;
    MapSectionData section;
    const bool read = ReadWholeSection([&](SectionCursor* c) { return ::ReadMapSection(data, c, &section); });
    kis::CloseDataFile(data);
    if (!read) return;
    // The data's emitters repeated over the map to fill all 16.
    u32 used = 0;
    for (const MAPPARTICLE& p : section.particles) used += p.systemId != 0;
    for (u32 i = used; used > 0 && i < kMapParticleCount; ++i) {
      section.particles[i] = section.particles[i % used];
      section.particles[i].x = static_cast<i32>(60 + (i * 137) % 900);
      section.particles[i].y = static_cast<i32>(60 + (i * 211) % 650);
    }
    store.LoadProfiles(folder.Wide("profiles"));
    Profile* profile = nullptr;
    store.CreateProfile(u"Bench", &profile);
    if (!profile) return;
    store.SelectProfile(profile);
    // Finished: levels 1 to 16 (the hen runs' 15 chickens) and 20 to 24 (5 cows).
    for (u32 i = 0; i < kLevelCount; ++i)
      profile->SetLevelState(i, i < 16 || (i >= 19 && i < 24) ? 4 + i % 3 : i < 20 ? 2 : i < 30 ? 1 : 0);
    map = std::make_unique<LevelSelectMap>(&store, nullptr);
    GetAppServices().levelSelectMap = map.get();  // as the game installs the map it makes
    map->Load(std::move(section));
    map->Enter();
    const MapLevelSprite* open = map->GetNode(17);
    const DXLPOINT at = map->ToScreen(open->GetX(), open->GetY());
    map->OnMouseMove(at.x, at.y, 0, 0);
    for (int i = 0; i < 100; ++i) Frame();  // the emitters filled
    ok = true;
  }
  ~MapScene() {
    map.reset();
    GetAppServices().levelSelectMap = nullptr;
    world.reset();
    viewer.reset();
  }
  // The attack's villains over the nodes' own looks.
  void Attack() {
    map->StartVillainsAttack();
    map->RefreshLevels(false);
    for (u32 i = 0; i < kLevelCount; ++i) map->GetNode(static_cast<i32>(i))->FinishEffects();
  }
  u32 Characters() const {
    u32 n = 0;
    for (u32 i = 0; i < kLevelCount; ++i)
      for (u32 k = 0; k < kMapNodeItemSlots; ++k)
        if (auto* group = dynamic_cast<MLSChars*>(map->GetNode(static_cast<i32>(i))->GetChild(k)))
          n += static_cast<u32>(group->Characters().GetCount());
    return n;
  }
  void Frame() {
    ResourceServices& s = GetResourceServices();
    s.clock += 16;
    if (map->GetVillains().GetCount() == 0) Attack();
    map->Update(16);
    if (viewer->BeginFrame() != 0) return;
    viewer->Clear(0xFF000000u);
    viewer->LoadIdentity(nullptr);
    viewer->ResetWorldTransform();
    map->Draw();
    viewer->Present();
  }
};

void BM_LevelMapFrame(benchmark::State& state) {
  MapScene scene;
  if (!scene.ok) return state.SkipWithError("the sample data set's map does not load");
  for (auto _ : state) scene.Frame();
  state.counters["particles"] = scene.map->GetParticles() ? scene.map->GetParticles()->GetParticleCount() : 0;
  state.counters["characters"] = scene.Characters();
  // LEVEL_MAP_SHOT=FILE.png: the last frame written, to look at.
  if (const char* shot = std::getenv("LEVEL_MAP_SHOT")) {
    plat::gfx::SoftDevice* soft = scene.viewer->GetDevice()->GetSoftDevice();
    std::string error;
    if (soft) plat::WritePng(shot, soft->Frame(), soft->Width(), soft->Height(), &error);
  }
  state.counters["villains"] = scene.map->GetVillains().GetCount();
}
BENCHMARK(BM_LevelMapFrame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchgoal::Reporter reporter;
  if (!benchgoal::Run(&argc, argv, &reporter)) return 1;
  benchgoal::Goal("level map frame (update and draw, 1024 x 768)", reporter.Ms("BM_LevelMapFrame"), 6.0, "ms");
  return 0;
}

// The awards window on the software device at 1024 x 768: opening it over
// an award table and a profile with something new in every award (18
// buttons with their hints, two medal panels), and one frame of it
// mid-animation updated and drawn by the window manager. Goal: opening and
// drawing a frame under 10 ms.
#include <benchmark/benchmark.h>

#include <memory>

#include "base/datafile/DataFileReader.h"
#include "common/ToolViewer.h"
#include "content/AwardTable.h"
#include "content/ContentArchive.h"
#include "content/ContentWriter.h"
#include "engine/DXLTexture.h"
#include "platform/headless/Session.h"
#include "resources/GameServices.h"
#include "testsupport/TempFolder.h"
#include "ui/WindowManager.h"
#include "windows/AwardsWindow.h"

namespace {

constexpr i32 kScreenWidth = 1024;
constexpr i32 kScreenHeight = 768;

class Profile : public AwardsProfile {
 public:
  AWARDCOUNTERS* GetAwardCounters() override { return &current; }
  AWARDCOUNTERS* GetShownAwards() override { return &shown; }
  void SaveProfile() override {}
  AWARDCOUNTERS current, shown;
};

struct Scene {
  plat::headless::Session session;
  std::unique_ptr<DXLWindowViewer> viewer = std::make_unique<DXLWindowViewer>();
  std::unique_ptr<DXLTexture> interface;
  std::unique_ptr<WindowManager> manager;
  TempFolder folder;
  AwardTable table;
  Profile profile;

  Scene() {
    ResetGameServices();
    tools::CreateToolWindow(*viewer, u"AwardsBench");
    tools::SetToolDisplayMode(*viewer, kScreenWidth, kScreenHeight);
    SetGameViewer(viewer.get());
    GameServices& s = GetGameServices();
    s.screen.width = kScreenWidth;
    s.screen.height = kScreenHeight;
    interface = std::make_unique<DXLTexture>(viewer.get());
    interface->Create(1024, 1024, plat::gfx::D3DFMT_A8R8G8B8, true);
    interface->SetBlendMode(kBlendAlpha);
    u8* bits = interface->Lock(0);
    for (i32 y = 0; y < 1024; ++y) {
      auto* row = reinterpret_cast<u32*>(bits + static_cast<size_t>(y) * interface->GetLockPitch());
      for (i32 x = 0; x < 1024; ++x) row[x] = 0xFF000000u | static_cast<u32>(x & 0xFF) << 16 | static_cast<u32>(y & 0xFF) << 8;
    }
    interface->Unlock();
    s.interfaceImage = interface.get();
    TIEREDAWARD tiered[kTieredAwardCount] = {};
    RECORDAWARD records[kRecordAwardCount] = {};
    for (TIEREDAWARD& a : tiered) a.tiers[0] = 10, a.tiers[1] = 20, a.tiers[2] = 30;
    for (RECORDAWARD& a : records) a.threshold = 100;
    const std::u16string path = folder.Wide("Data.dat");
    WriteDataArchive(path.c_str(), {{kAwardSectionId, kAwardSectionSubId, AwardSection(tiered, records)}});
    kis::DataFileReaderW* data =
        kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
    SectionCursor c;
    table.ReadSection(data, &c);
    kis::CloseDataFile(data);
    s.awards = &table;
    s.awardsProfile = &profile;
    for (u32 i = 0; i < kTieredAwardCount; ++i) profile.current.tiered[i] = 25;
    for (u32 i = 0; i < kRecordAwardCount; ++i) profile.current.records[i] = 150;
    profile.current.finalGiven = 1;
    manager = std::make_unique<WindowManager>();
    s.windowManager = manager.get();
  }
  ~Scene() {
    manager.reset();
    interface.reset();
    ResetGameServices();
  }
  void Frame() {
    GetGameServices().clock += 16;
    manager->Update();
    viewer->BeginFrame();
    viewer->Clear(0xFF204060u);
    const DXLMATRIX identity = plat::gfx::IdentityMatrix();
    viewer->SetTransform(&identity);
    manager->Draw();
    viewer->Present();
  }
};

void BM_OpenAndDraw(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.profile.shown = AWARDCOUNTERS{};
    AwardsWindow* w = OpenAwards(false);
    GetGameServices().clock = w->GetOpenedAt() + 2500;  // a big award flashing
    scene.Frame();
    delete w;
  }
}
BENCHMARK(BM_OpenAndDraw)->Unit(benchmark::kMillisecond);

void BM_Frame(benchmark::State& state) {
  Scene scene;
  OpenAwards(false);
  for (auto _ : state) scene.Frame();
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// The awards window on the software device at 1024 x 768: opening it over
// an award table and a profile with something new in every award (18
// buttons with their hints, two medal panels), and one frame of it
// mid-animation updated and drawn by the window manager. Goal: opening and
// drawing a frame under 10 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "WindowStage.h"
#include "base/datafile/DataFileReader.h"
#include "content/AwardTable.h"
#include "content/ContentArchive.h"
#include "content/ContentServices.h"
#include "content/ContentWriter.h"
#include "resources/ResourceServices.h"
#include "testsupport/TempFolder.h"
#include "windows/AwardsWindow.h"
#include "windows/WindowServices.h"

namespace {

class Profile : public AwardsProfile {
 public:
  AWARDCOUNTERS* GetAwardCounters() override { return &current; }
  AWARDCOUNTERS* GetShownAwards() override { return &shown; }
  void SaveProfile() override {}
  AWARDCOUNTERS current, shown;
};

struct Scene {
  benchwindows::WindowStage stage{u"AwardsBench", 1024, 768, 0};
  TempFolder folder;
  AwardTable table;
  Profile profile;

  Scene() {
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
    // Synthetic: the fields the world's tables stage and the game's profile store fill.
    GetContentServices().awards = &table;
    GetWindowServices().awardsProfile = &profile;
    for (u32 i = 0; i < kTieredAwardCount; ++i) profile.current.tiered[i] = 25;
    for (u32 i = 0; i < kRecordAwardCount; ++i) profile.current.records[i] = 150;
    profile.current.finalGiven = 1;
    stage.OpenManager();
  }
  // The windows go before the table and the profile they read.
  ~Scene() { stage.CloseManager(); }
  void Frame() { stage.Frame(true); }
};

void BM_OpenAndDraw(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.profile.shown = AWARDCOUNTERS{};
    AwardsWindow* w = OpenAwards(false);
    GetResourceServices().clock = w->GetOpenedAt() + 2500;  // a big award flashing
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

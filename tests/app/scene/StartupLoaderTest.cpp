// The start-up loader on the built sample data set: the steps it logs are
// the table's, it ends in the fade to the main screen with the data and
// sound archives closed (a texture still loads from the sprite archive and
// a sound still plays); a yield after every record resumes in the same
// sprite set and at the next level record and gives the same tables; a data
// archive without "CNST" or a damaged sprite record stops it with the
// failure handed back, nothing more read.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/DataSet.h"
#include "app/GameWorld.h"
#include "app/StartupLoader.h"
#include "base/datafile/DataFileWriter.h"
#include "content/ContentArchive.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/text/DigitalFont.h"
#include "gametext/KGEFont.h"
#include "platform/audio/AudioOfflineOutput.h"
#include "platform/audio/AudioSoftBackend.h"
#include "platform/encoding/Utf.h"
#include "resources/GEffects.h"
#include "resources/GameAnimation.h"
#include "resources/GameDraw.h"
#include "resources/GameEffect.h"
#include "resources/MapSprite.h"
#include "resources/ResourceServices.h"
#include "resources/SoundManager.h"
#include "resources/SoundSettings.h"
#include "resources/SpriteArchiveWriter.h"
#include "resources/SpriteSet.h"
#include "resources/StandardSounds.h"
#include "testsupport/TempFolder.h"
#include "testsupport/ViewerRig.h"
#include "ui/GameFontSection.h"
#include "ui/WindowManager.h"

namespace {

std::string StartupSampleData() { return TM_SAMPLE_DATA_DIR; }

// What the loader filled, to compare two runs.
std::vector<i32> Summary(const std::vector<std::unique_ptr<SpriteSet>>& sets, const ContentTables& t,
                         WindowManager* windows) {
  std::vector<i32> s;
  for (const auto& set : sets) {
    s.push_back(set->GetSprites().GetCount());
    s.push_back(set->GetMapSprites().GetCount());
    s.push_back(set->GetTextures()->GetCount());
  }
  s.push_back(GetAnimations().GetCount());
  s.push_back(t.characters.Items().GetCount());
  s.push_back(static_cast<i32>(t.garbage.GetCount()));
  i32 levels = 0;
  for (u32 i = 0; i < 41; ++i) levels += t.levels.Get(i).loaded ? 1 : 0;
  s.push_back(levels);
  s.push_back(windows->Fonts().GetCount());
  for (u32 n = 5; n <= 9; ++n) s.push_back(GetGameFont(n) ? GetGameFont(n)->GetUseCount() : -1);
  return s;
}

bool YieldAlways(float) { return true; }

// The game-wide state the loader fills, from a data folder, taken down in
// the reverse order.
class LoaderRig {
 public:
  explicit LoaderRig(const std::string& folder, bool sound = false) {
    EXPECT_EQ(rig.Open(800, 600), 0);
    ResetAllServices();
    SetGameViewer(rig.viewer.get());
    if (sound) {
      GetSoundSettings().soundsVolume = 100.0f;
      auto out = std::make_unique<plat::audio::OfflineOutput>(true);
      output = out.get();
      EXPECT_TRUE(GetSoundSettings().Init(std::make_unique<plat::audio::SoftBackend>(std::move(out))));
    }
    opened = data.archives.Open(folder, &error);
    data.Install();
    loader = std::make_unique<StartupLoader>(data.Targets());
  }
  ~LoaderRig() {
    loader.reset();
    data.Free();
    GetSoundSettings().Shutdown();
    ResetAllServices();
  }
  // Load until it stops; the calls it took.
  u32 Run(StartupLoader::Result* result) {
    u32 calls = 0;
    do {
      *result = loader->Load();
      ++calls;
    } while (*result == StartupLoader::kGoingOn && calls < 200000);
    return calls;
  }
  std::vector<u32> LoggedSteps() const {
    std::vector<u32> steps;
    const std::string log = rig.Log();
    const std::string mark = "loader step ";
    for (size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1)) {
      const size_t from = at + mark.size();
      const size_t end = std::min(log.find_first_not_of("0123456789", from), log.size());
      if (end > from && (end == log.size() || log[end] != ':')) steps.push_back(std::stoul(log.substr(from, end - from)));
    }
    return steps;
  }

  viewertest::ViewerRig rig;  // its session's clock is the platform's
  plat::audio::OfflineOutput* output = nullptr;
  StartupData data;
  bool opened = false;
  std::string error;
  std::unique_ptr<StartupLoader> loader;
};

TEST(StartupLoader, RunsTheTableToTheFadeAndLeavesOnlyTheSpriteArchiveOpen) {
  LoaderRig r(StartupSampleData(), true);
  ASSERT_TRUE(r.opened) << r.error;
  StartupLoader::Result result;
  r.Run(&result);
  ASSERT_EQ(result, StartupLoader::kFinished) << r.loader->GetFailure().what;
  EXPECT_EQ(r.loader->Load(), StartupLoader::kFinished) << "once finished it stays so";

  // The steps run in the order of the start-up's table.
  const std::vector<u32> table = {1,  80, 81, 10, 11, 12, 45, 46, 40, 85, 60, 61, 70, 62, 63, 65, 66,
                                  71, 86, 20, 21, 22, 23, 24, 25, 26, 50, 51, 52, 75, 90, 93, 95, 255};
  EXPECT_EQ(r.LoggedSteps(), table) << r.rig.Log();
  EXPECT_EQ(r.loader->StepOrder(), table);
  EXPECT_EQ(r.rig.Log().find("MNSC has no reader yet"), std::string::npos);
  EXPECT_GE(r.data.tables.mainScreen.Layers().size(), 8u);  // the main screen's scene

  // The fade to the main screen; the bar ended; the tracker no longer published.
  const auto* fade = dynamic_cast<const GEffect_Regime*>(GetGameEffect());
  ASSERT_NE(fade, nullptr);
  EXPECT_EQ(fade->GetTarget(), 6u);
  EXPECT_EQ(GetResourceServices().progress, nullptr);
  EXPECT_FLOAT_EQ(r.loader->Tracker().GetFraction(), 1.0f);
  EXPECT_EQ(r.loader->Tracker().GetStepsDone(), r.loader->Tracker().GetStepCount()) << "every tracker step ran";

  // What the steps filled.
  EXPECT_NE(GetResourceServices().interfaceImage, nullptr);
  EXPECT_TRUE(GetResourceServices().interfaceImage->IsReady());
  for (u32 n = 5; n <= 9; ++n) EXPECT_GT(GetGameFont(n) ? GetGameFont(n)->GetUseCount() : 0, 0) << n;
  const kis::list<GameCharacter*>& characters = r.data.tables.characters.Items();
  ASSERT_GT(characters.GetCount(), 0);
  for (i32 i = 0; i < characters.GetCount(); ++i) EXPECT_TRUE(characters.Get(i)->IsLoaded()) << i;

  // The data and sound archives are closed, the sprite archive stays: a
  // map sprite not loaded yet loads its picture after the finish.
  EXPECT_EQ(r.data.archives.data, nullptr);
  EXPECT_EQ(r.data.archives.sound, nullptr);
  ASSERT_NE(r.data.archives.sprites, nullptr);
  MapSprite* lazy = nullptr;
  for (const auto& set : r.data.sets)
    for (i32 i = 0; i < set->GetMapSprites().GetCount(); ++i)
      if (!lazy && !set->GetMapSprites().Get(i)->IsLoaded()) lazy = set->GetMapSprites().Get(i);
  ASSERT_NE(lazy, nullptr);
  lazy->Init();
  EXPECT_TRUE(lazy->IsLoaded());
  lazy->Release(false);

  // A sample plays from its own copy once the sound archive is closed.
  const u32 click = GetStandardSound(kSoundClick);
  ASSERT_NE(click, 0u);
  ASSERT_NE(GetSoundSettings().manager->PlaySound(click, kSoundGroupScreen, 0), 0u);
  r.output->ClearCaptured();
  for (int i = 0; i < 10; ++i) {
    r.rig.Clock().Advance(10);
    GetSoundSettings().Update();
  }
  bool heard = false;
  for (int16_t v : r.output->Captured()) heard = heard || v != 0;
  EXPECT_TRUE(heard);
}

// A yield after every record: the loader comes back to the same sprite set
// (the index never goes back within a step), the level table grows by at
// most one record a call, and the tables are those of a run without yields.
TEST(StartupLoader, AYieldAfterEveryRecordResumesWhereItStoppedAndGivesTheSameTables) {
  std::vector<i32> whole;
  {
    LoaderRig r(StartupSampleData());
    ASSERT_TRUE(r.opened) << r.error;
    r.loader->SetLastStep(StartupLoader::kDescriptionsStep);
    StartupLoader::Result result;
    EXPECT_EQ(r.Run(&result), 1u) << "nothing asked for the frame back";
    ASSERT_EQ(result, StartupLoader::kFinished);
    EXPECT_EQ(r.data.archives.data != nullptr, true) << "stopped before the finish: nothing closed";
    EXPECT_EQ(GetGameEffect(), nullptr);
    EXPECT_EQ(r.LoggedSteps().back(), 95u);
    whole = Summary(r.data.sets, r.data.tables, r.data.windows);
  }
  LoaderRig r(StartupSampleData());
  ASSERT_TRUE(r.opened) << r.error;
  r.loader->SetLastStep(StartupLoader::kDescriptionsStep);
  GetResourceServices().loadingProgress = &YieldAlways;
  u32 lastStep = 0, lastIndex = 0, levels = 0, calls = 0, setYields = 0;
  StartupLoader::Result result = StartupLoader::kGoingOn;
  while (result == StartupLoader::kGoingOn && calls < 200000) {
    result = r.loader->Load();
    ++calls;
    const u32 step = r.loader->GetStep(), index = r.loader->Index();
    if (step == lastStep && (step == 10 || step == 12 || step == 61)) {
      EXPECT_GE(index, lastIndex) << "step " << step;
      ++setYields;
    }
    if (step == 75) {
      u32 now = 0;
      for (u32 i = 0; i < 41; ++i) now += r.data.tables.levels.Get(i).loaded ? 1 : 0;
      EXPECT_LE(now, levels + 1);
      levels = now;
    }
    lastStep = step;
    lastIndex = index;
  }
  GetResourceServices().loadingProgress = nullptr;
  ASSERT_EQ(result, StartupLoader::kFinished) << r.loader->GetFailure().what;
  EXPECT_GT(setYields, 3 * 17u);
  EXPECT_GT(calls, 100u);
  EXPECT_EQ(Summary(r.data.sets, r.data.tables, r.data.windows), whole);
}

// A work row's items go a call at a time while the call stays under its
// budget: an item is begun only where one as long as the last would still
// end inside it, and the tracker's slice ends a call of short items. Item
// times on the rig's clock.
TEST(StartupLoader, AWorkRowGivesTheFrameBackBeforeAnItemWouldCarryTheCallPastItsBudget) {
  LoaderRig r(StartupSampleData());
  ASSERT_TRUE(r.opened) << r.error;
  const std::vector<u32> ms = {3, 3, 3, 3, 1, 1, 1, 1, 1, 1, 1, 1};
  u32 thisCall = 0;
  ASSERT_TRUE(r.loader->Plug(21, 0, [&](StartupLoader& l, kis::DataFileReaderW*, SectionCursor*) -> i32 {
    u32& i = l.Index();
    while (i < ms.size()) {
      r.rig.Clock().Advance(ms[i]);
      thisCall += ms[i++];
      if (l.ItemDone(i, static_cast<u32>(ms.size())) && i < ms.size()) return 0;
    }
    return 1;
  }));
  r.loader->SetLastStep(21);
  std::vector<u32> calls;  // ms of items a call of Load
  StartupLoader::Result result = StartupLoader::kGoingOn;
  for (int n = 0; result == StartupLoader::kGoingOn && n < 100; ++n) {
    thisCall = 0;
    result = r.loader->Load();
    if (thisCall > 0) calls.push_back(thisCall);
  }
  ASSERT_EQ(result, StartupLoader::kFinished) << r.loader->GetFailure().what;
  EXPECT_EQ(calls, (std::vector<u32>{6, 6, 7, 1}));
  for (u32 c : calls) EXPECT_LE(c, StartupLoader::kCallBudgetMs);
}

// "Data.dat" without "CNST": "Data error!" at step 1, before anything is
// read. A damaged sprite record in set 7: "Sprites error!" at step 10 with
// the sets before it read.
TEST(StartupLoader, AMissingConstantsSectionOrADamagedSpriteRecordStopsWithTheFailure) {
  TempFolder folder;
  for (const char* file : {"Sprites.dat", "Sounds.dat"})
    std::filesystem::copy_file(StartupSampleData() + "/" + file, folder.File(file));
  {
    const std::u16string path = plat::Utf8ToUtf16(folder.File("Data.dat"));
    std::unique_ptr<kis::DataFileWriterW> w(kis::CreateDataFileWriterW(
        path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion, false));
    ASSERT_NE(w, nullptr);
    const u32 zero = 0;
    ASSERT_TRUE(w->BeginSection(SectionTag('B', 'O', 'N', 'S'), 262) && w->Write(&zero, 4) && w->EndSection());
  }
  {
    LoaderRig r(folder.Path());
    ASSERT_TRUE(r.opened) << r.error;
    EXPECT_EQ(r.loader->Load(), StartupLoader::kFailed);
    EXPECT_EQ(r.loader->Load(), StartupLoader::kFailed) << "and stays so";
    const StartupLoader::Failure& f = r.loader->GetFailure();
    EXPECT_EQ(f.step, 1u);
    EXPECT_EQ(f.archive, LoaderArchive::kData);
    EXPECT_EQ(f.text, "Data error!");
    EXPECT_EQ(f.what, "Data.dat: step 1, CNST does not read");
    EXPECT_EQ(r.LoggedSteps(), std::vector<u32>{1});
    EXPECT_EQ(GetResourceServices().progress, nullptr);
    for (const auto& set : r.data.sets) EXPECT_EQ(set->GetTextures()->GetCount(), 0);
  }

  std::filesystem::remove(folder.File("Data.dat"));
  std::filesystem::copy_file(StartupSampleData() + "/Data.dat", folder.File("Data.dat"));
  SpriteArchiveWriter sprites;
  for (u32 set = 0; set < kSpriteSetCount; ++set)
    sprites.Images(set).push_back(MakeSpriteImageEntry(u"pixel", std::vector<u8>(64, 0x11)));
  sprites.SetRawSection(kSpriteImagesId, 7, {9, 0, 0, 0, 1, 2, 3});  // nine records in three bytes
  const std::u16string path = plat::Utf8ToUtf16(folder.File("Sprites.dat"));
  std::filesystem::remove(folder.File("Sprites.dat"));
  ASSERT_TRUE(sprites.Write(path.c_str()));
  LoaderRig r(folder.Path());
  ASSERT_TRUE(r.opened) << r.error;
  StartupLoader::Result result;
  r.Run(&result);
  EXPECT_EQ(result, StartupLoader::kFailed);
  const StartupLoader::Failure& f = r.loader->GetFailure();
  EXPECT_EQ(f.step, 10u);
  EXPECT_EQ(f.archive, LoaderArchive::kSprites);
  EXPECT_EQ(f.text, "Sprites error!");
  EXPECT_EQ(r.loader->Index(), 7u);
  EXPECT_EQ(r.data.sets[6]->GetTextures()->GetCount(), 1);
  EXPECT_EQ(r.data.sets[8]->GetTextures()->GetCount(), 0);
}

}  // namespace

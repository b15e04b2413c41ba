// The game's world on the built sample data set: every stage set up in
// order and seen in the services as it comes, taken down in exactly the
// reverse order with nothing left behind; a failing stage takes down what
// was set up before it; a language that is missing or does not read stops
// the world, a "Sounds.dat" that does not read only silences it; the level
// stages opened again with handed-in collaborators; the platform services
// and the game's collaborators handed in installed by their stages and put
// back with them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/DataSet.h"
#include "app/Game.h"
#include "app/GameWorld.h"
#include "app/ProfileStore.h"
#include "content/ContentServices.h"
#include "engine/DXLTexture.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/KGEFont.h"
#include "gametext/TextServices.h"
#include "level/scene/DeveloperOverlay.h"
#include "level/scene/LevelInterface.h"
#include "level/scene/LevelServices.h"
#include "platform/audio/AudioOfflineOutput.h"
#include "platform/gfx/GfxPresentSink.h"
#include "platform/os/PlatformServices.h"
#include "resources/GEffects.h"
#include "resources/GameAnimation.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/SpriteSet.h"
#include "testsupport/FakeTutorialFactory.h"
#include "testsupport/TempFolder.h"
#include "testsupport/ViewerRig.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"
#include "windows/WindowServices.h"

namespace {

using Event = std::pair<WorldStage, bool>;  // a stage, set up (true) or about to go (false)

constexpr WorldStage kAll[] = {WorldStage::kServices,   WorldStage::kViewer,        WorldStage::kSound,
                               WorldStage::kSpriteSets, WorldStage::kTables,        WorldStage::kWindowManager,
                               WorldStage::kLoading,    WorldStage::kLevelPanel,    WorldStage::kLevelScene};

std::string SampleData() { return TM_SAMPLE_DATA_DIR; }

// Every stage of `stages` up in their order, then down in the reverse one.
std::vector<Event> UpThenDown(std::initializer_list<WorldStage> stages) {
  std::vector<Event> events;
  for (WorldStage s : stages) events.emplace_back(s, true);
  for (auto it = std::rbegin(stages); it != std::rend(stages); ++it) events.emplace_back(*it, false);
  return events;
}

std::vector<std::string> Names(const std::vector<Event>& events) {
  std::vector<std::string> names;
  for (const Event& e : events) names.push_back(std::string(e.second ? "+" : "-") + WorldStageName(e.first));
  return names;
}

// Nothing of a world is left in the game-wide state.
void ExpectNothingLeft() {
  const ResourceServices& s = GetResourceServices();
  EXPECT_EQ(s.viewer, nullptr);
  EXPECT_EQ(s.interfaceImage, nullptr);
  EXPECT_EQ(s.progress, nullptr);
  EXPECT_EQ(s.screen.width, 0);
  EXPECT_EQ(s.screen.rect.right, 0);
  EXPECT_EQ(s.frameClock, nullptr);
  EXPECT_EQ(s.clock, 0u);
  EXPECT_EQ(GetUiServices().windowManager, nullptr);
  EXPECT_EQ(s.level, nullptr);
  EXPECT_EQ(GetUiServices().levelPanel, nullptr);
  EXPECT_EQ(s.effect, nullptr);
  EXPECT_EQ(s.retiredEffects, nullptr);
  EXPECT_EQ(s.drawTexture, nullptr);
  EXPECT_EQ(s.sound.manager, nullptr);
  EXPECT_EQ(GetContentServices().products, nullptr);
  EXPECT_EQ(GetContentServices().bonuses, nullptr);
  EXPECT_EQ(GetContentServices().awards, nullptr);
  EXPECT_EQ(GetContentServices().grounds, nullptr);
  EXPECT_EQ(GetContentServices().levels, nullptr);
  EXPECT_EQ(GetContentServices().characters, nullptr);
  EXPECT_EQ(GetContentServices().garbage, nullptr);
  EXPECT_EQ(GetContentServices().plants, nullptr);
  EXPECT_EQ(GetContentServices().buildings, nullptr);
  EXPECT_EQ(GetContentServices().villains, nullptr);
  EXPECT_EQ(plat::GetPlatformServices().messageBoxHook, nullptr);
  EXPECT_EQ(plat::GetPlatformServices().presentSink, nullptr);
  EXPECT_EQ(GetGameLanguage(), nullptr);
  EXPECT_EQ(GetAnimations().GetCount(), 0);
  EXPECT_EQ(GetCharacters().GetCount(), 0);
  EXPECT_EQ(GetTextServices().languageHost, nullptr);
  EXPECT_EQ(s.timeStep, 10u);
  EXPECT_EQ(s.maxTimeSteps, 20u);
  EXPECT_EQ(GetDeveloperOverlay(), nullptr);
  EXPECT_EQ(GetLevelServices().gameDeveloper, nullptr);
  EXPECT_EQ(GetLevelServices().pointer, nullptr);
  EXPECT_EQ(s.tutorialFactory, nullptr);
  EXPECT_EQ(GetWindowServices().profileRoster, nullptr);
  EXPECT_EQ(GetWindowServices().optionsHooks, nullptr);
  EXPECT_EQ(s.appState, kGameStateNone);
  for (u32 i = 0; i < kSpriteSetCount; ++i) EXPECT_EQ(GetSpriteSet(i), nullptr) << i;
}

void WorldTestBox(uintptr_t, std::u16string_view, std::u16string_view, uint32_t) {}
DXLPOINT WorldTestPointer() { return DXLPOINT{12, 34}; }

class WorldTestSink : public plat::gfx::PresentSink {
 public:
  void ShowFrame(plat::WindowHandle, const uint32_t*, uint32_t, uint32_t) override {}
};

// Counts the languages it is told of.
class WorldTestHost : public GameLanguageHost {
 public:
  void SetWindowTitle(const wchar*) override { ++told; }
  void ShowLoading(DXLTexture*, const wchar*) override {}
  void SetProfileChars(const wchar*) override {}
  int told = 0;
};

class GameWorldTest : public ::testing::Test {
 protected:
  GameWorldTest() { EXPECT_EQ(rig.Open(800, 600), 0); }
  ~GameWorldTest() override { world.Close(); }

  WorldSetup Setup(const std::string& folder) {
    WorldSetup setup;
    setup.data = folder;
    setup.viewer = rig.viewer.get();
    setup.observer = [this](WorldStage stage, bool up) {
      events.emplace_back(stage, up);
      if (check) check(stage, up);
    };
    return setup;
  }

  viewertest::ViewerRig rig;
  std::vector<Event> events;
  std::function<void(WorldStage, bool)> check;  // looks at the services at each event
  GameWorld world;
};

// The level player's world: sound, the language, level 0 loaded and entered
// with the game's own panel, with every collaborator the game hands in.
// Each stage is in the services when it says it is up and still there when
// it is told it goes, and what a stage installs is not there before it nor
// after it; a screen effect still running at the end is cleared before the
// services' reset.
TEST_F(GameWorldTest, StagesComeUpInOrderAndGoDownInExactlyTheReverse) {
  WorldSetup setup = Setup(SampleData());
  setup.sound = std::make_unique<plat::audio::OfflineOutput>(false);
  setup.language = true;
  setup.level = 0;
  WorldTestSink sink;
  setup.platform.messageBoxHook = &WorldTestBox;
  setup.platform.presentSink = &sink;
  WorldTestHost host;
  tutorialtest::FakeTutorialFactory tutorials;
  ProfileStore store;
  StoreRoster roster(store, [] {});
  GameScreen screen;
  const std::u16string folder;
  GameOptionsHooks options(screen, folder);
  setup.languageHost = &host;
  setup.timeStep = 5;
  setup.maxTimeSteps = 9;
  setup.pointer = &WorldTestPointer;
  setup.cheats = true;
  setup.tutorials = &tutorials;
  setup.profileRoster = &roster;
  setup.optionsHooks = &options;
  setup.levelState = true;
  plat::Clock* clock = plat::GetPlatformServices().clock;  // the rig's session's, not handed in: kept
  std::vector<std::string> problems;
  auto expect = [&](bool ok, WorldStage stage, bool up, const char* what) {
    if (!ok) problems.push_back(std::string(up ? "+" : "-") + WorldStageName(stage) + ": " + what);
  };
  check = [&](WorldStage stage, bool up) {
    const ResourceServices& s = GetResourceServices();
    const plat::PlatformServices& platform = plat::GetPlatformServices();
    expect(platform.messageBoxHook == &WorldTestBox && platform.presentSink == &sink && platform.clock == clock,
           stage, up, "the platform services handed in");
    expect(GetTextServices().languageHost == &host && s.timeStep == 5 && s.maxTimeSteps == 9, stage, up,
           "the language's host and the tick");
    expect(GetLevelServices().pointer == &WorldTestPointer, stage, up, "the game's pointer");
    const WindowServices& windows = GetWindowServices();
    const bool windowsUp = static_cast<u32>(stage) >= static_cast<u32>(WorldStage::kWindowManager);
    expect((s.tutorialFactory == &tutorials) == windowsUp && (windows.profileRoster == &roster) == windowsUp &&
               (windows.optionsHooks == &options) == windowsUp,
           stage, up, "the tutorials' factory, the roster and the options' hooks with the window manager");
    expect((s.appState == kGameStateLevel) == (stage == WorldStage::kLevelScene), stage, up,
           "the level's state with the level scene");
    switch (stage) {
      case WorldStage::kServices:
        expect(s.frameClock == &GameClock && s.viewer == nullptr, stage, up, "the frame clock reads the game clock");
        expect(GetDeveloperOverlay() == nullptr, stage, up, "no developer overlay yet, or none left");
        break;
      case WorldStage::kViewer:
        expect(GetGameViewer() == rig.viewer.get() && s.screen.width == 800 && s.screen.rect.bottom == 600, stage,
               up, "the viewer and the screen");
        expect(GetSpriteSet(0) == nullptr, stage, up, "no sprite sets yet, or none left");
        expect(GetDeveloperOverlay() && GetDeveloperOverlay() == GetLevelServices().gameDeveloper.get() &&
                   GetDeveloperOverlay()->IsEnabled() && GetDeveloperOverlay()->GetFont(2) != nullptr,
               stage, up, "the developer overlay switched on, its fonts on the viewer");
        break;
      case WorldStage::kSound:
        expect(s.sound.manager != nullptr && world.SoundProblem().empty(), stage, up, "the sound manager");
        break;
      case WorldStage::kSpriteSets:
        expect(GetSpriteSet(0) && GetSpriteSet(kSpriteSetCount - 1), stage, up, "the 17 sets");
        expect(GetContentServices().products == nullptr, stage, up, "no tables");
        break;
      case WorldStage::kTables:
        expect(world.Tables() && GetContentServices().products == &world.Tables()->products && GetContentServices().levels == &world.Tables()->levels &&
                   GetContentServices().bonuses && GetContentServices().awards && GetContentServices().grounds && GetContentServices().characters == &world.Tables()->characters &&
                   GetContentServices().garbage == &world.Tables()->garbage,
               stage, up, "the tables installed");
        expect(up ? GetCharacters().GetCount() == 0 : GetCharacters().GetCount() > 0, stage, up,
               "the tables read by the loading, not before");
        expect(GetUiServices().windowManager == nullptr, stage, up, "no window manager");
        break;
      case WorldStage::kWindowManager:
        expect(GetUiServices().windowManager && GetUiServices().windowManager == world.Windows(), stage, up, "the window manager");
        expect(world.Windows() && world.Windows()->Fonts().GetCount() == 0, stage, up, "no digit fonts");
        expect(GetGameFont(5) == nullptr && GetGameFont(9) == nullptr, stage, up, "no game fonts");
        break;
      case WorldStage::kLoading:
        expect(world.HasSound(), stage, up, "the sounds read");
        expect(GetCharacters().GetCount() > 0 && GetLevelTable()->Get(0).loaded && GetContentServices().garbage->GetCount() > 0, stage,
               up, "the tables read");
        expect(GetCharacters().Get(0)->IsLoaded(), stage, up, "the character descriptions prepared");
        expect(s.interfaceImage && s.interfaceImage->IsReady(), stage, up, "the interface image");
        expect(s.progress == nullptr, stage, up, "no tracker left published");
        expect(world.Windows()->Fonts().GetCount() > 0, stage, up, "the digit fonts");
        for (u32 n = 5; n <= 9; ++n)
          expect(GetGameFont(n) && GetGameFont(n)->GetUseCount() > 0 && GetGameFont(n)->GetTexture() &&
                     GetGameFont(n)->GetTexture()->IsReady(),
                 stage, up, "the game fonts acquired on their pictures");
        expect(GetGameLanguage() != nullptr && host.told == 1, stage, up, "the language, its host told");
        for (u32 n = 1; n <= 4; ++n) expect(GetGameFont(n) != nullptr, stage, up, "the language's game fonts 1 to 4");
        expect(world.Panel() == nullptr, stage, up, "no panel's host");
        break;
      case WorldStage::kLevelPanel:
        expect(world.Panel() && !world.Panel()->GetPanel(), stage, up, "the host, its panel not made yet");
        expect(world.Level() == nullptr, stage, up, "no scene");
        break;
      case WorldStage::kLevelScene:
        // Told up when made (the panel comes with entering); told down entered.
        expect(world.Level() && s.level == &world.Level()->Screen(), stage, up, "the running level");
        expect(up ? !world.Panel()->GetPanel() : world.Panel()->GetPanel() != nullptr, stage, up, "the panel");
        expect(GetUiServices().levelPanel == (up ? nullptr : world.Panel()->GetPanel()), stage, up, "the panel shown");
        expect(GetDeveloperOverlay()->GetLevel() == world.Level(), stage, up, "the overlay's level");
        break;
    }
  };
  std::string error;
  ASSERT_TRUE(world.Open(std::move(setup), &error)) << error;
  EXPECT_TRUE(world.IsOpen());
  ASSERT_EQ(events.size(), kWorldStageCount);
  for (u32 i = 0; i < kWorldStageCount; ++i) EXPECT_EQ(events[i], Event(kAll[i], true)) << i;
  ASSERT_NE(world.Level(), nullptr);
  EXPECT_TRUE(world.Level()->IsLoaded());
  ASSERT_NE(world.Panel()->GetPanel(), nullptr);  // entered: the panel is up

  // The world's frame runs the game clock that the sprites' animations read.
  world.Frame(16);
  world.Frame(20);
  EXPECT_EQ(GetResourceServices().clock, 36u);
  EXPECT_EQ(GameFrameTime(), 36u);

  auto* effect = new GEffect_Skip(nullptr, 5000, 0);
  RunGameEffect(effect);
  ASSERT_EQ(GetGameEffect(), effect);
  world.Close();
  EXPECT_FALSE(world.IsOpen());
  EXPECT_EQ(world.Level(), nullptr);
  EXPECT_EQ(world.Tables(), nullptr);
  EXPECT_EQ(Names(events), Names(UpThenDown({kAll[0], kAll[1], kAll[2], kAll[3], kAll[4], kAll[5], kAll[6],
                                             kAll[7], kAll[8]})));
  EXPECT_EQ(problems, std::vector<std::string>{});
  ExpectNothingLeft();  // the effect too: cleared, then the services reset
  EXPECT_EQ(plat::GetPlatformServices().clock, clock);
  world.Close();        // closed already: nothing more
  EXPECT_EQ(events.size(), 2 * kWorldStageCount);
}

// A stage that fails takes down, in reverse, the stages set up before it;
// the error names what is missing and the services are left as found.
TEST_F(GameWorldTest, AFailingStageTakesDownWhatCameBefore) {
  TempFolder folder;
  std::string error;
  EXPECT_FALSE(world.Open(Setup(folder.Path()), &error));
  EXPECT_EQ(error, folder.Path() + "/Sprites.dat is missing");
  EXPECT_EQ(Names(events), Names(UpThenDown({kAll[0], kAll[1], kAll[2]})));
  EXPECT_FALSE(world.IsOpen());
  ExpectNothingLeft();

  std::filesystem::copy_file(SampleData() + "/Sprites.dat", folder.File("Sprites.dat"));
  events.clear();
  EXPECT_FALSE(world.Open(Setup(folder.Path()), &error));
  EXPECT_EQ(error, folder.Path() + "/Data.dat is missing");
  EXPECT_EQ(Names(events), Names(UpThenDown({kAll[0], kAll[1], kAll[2], kAll[3]})));
  ExpectNothingLeft();

  // "Data.dat" cut short: it opens or not, but its tables never read whole,
  // and what was read of them goes again.
  std::ifstream in(SampleData() + "/Data.dat", std::ios::binary);
  const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(whole.size(), 4096u);
  folder.Put("Data.dat", whole.substr(0, whole.size() / 2));
  events.clear();
  EXPECT_FALSE(world.Open(Setup(folder.Path()), &error));
  EXPECT_FALSE(error.empty());
  const std::vector<Event> opened = UpThenDown({kAll[0], kAll[1], kAll[2], kAll[3]});
  if (events.size() != opened.size()) {  // it opened: the loading stops on it
    EXPECT_EQ(Names(events), Names(UpThenDown({kAll[0], kAll[1], kAll[2], kAll[3], kAll[4], kAll[5]}))) << error;
  }
  ExpectNothingLeft();

  // Without "Sounds.dat" the world opens silent and says why; its sound
  // manager still goes with it.
  folder.Put("Data.dat", whole);
  events.clear();
  WorldSetup quiet = Setup(folder.Path());
  quiet.sound = std::make_unique<plat::audio::OfflineOutput>(false);
  ASSERT_TRUE(world.Open(std::move(quiet), &error)) << error;
  EXPECT_FALSE(world.HasSound());
  EXPECT_EQ(world.SoundProblem(), folder.Path() + "/Sounds.dat is missing");
  EXPECT_NE(GetResourceServices().sound.manager, nullptr);
  world.Close();
  EXPECT_EQ(world.SoundProblem(), "");
  EXPECT_EQ(events.size(), 14u);
  ExpectNothingLeft();

  // No viewer: nothing past the services.
  events.clear();
  WorldSetup blind = Setup(SampleData());
  blind.viewer = nullptr;
  EXPECT_FALSE(world.Open(std::move(blind), &error));
  EXPECT_EQ(error, "no viewer to draw on");
  EXPECT_EQ(Names(events), Names(UpThenDown({kAll[0]})));
  ExpectNothingLeft();
}

// The language is the game's texts: missing, it stops the world with the
// "data missing" status; damaged, cut short or a named pipe in its place,
// with the "data damaged" one. Each says the file and the fault in the
// error and the log. A damaged "Sounds.dat" is logged and the world opens
// silent.
TEST_F(GameWorldTest, ALanguageThatDoesNotReadStopsTheWorldWhileBrokenSoundsOnlySilenceIt) {
  auto logged = [this](const std::string& line) { return rig.Log().find("\r\nERROR! " + line) != std::string::npos; };
  TempFolder folder;
  for (const char* file : {"Sprites.dat", "Data.dat"})
    std::filesystem::copy_file(SampleData() + "/" + file, folder.File(file));
  std::ifstream in(SampleData() + "/language.dat", std::ios::binary);
  const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(whole.size(), 4096u);
  const std::string path = folder.File("language.dat");

  struct Case {
    std::string bytes;  // "" for none, "|" for a named pipe
    std::string fault;
    int status;
  } cases[] = {{"", " is missing", kWorldDataMissing},
               {std::string(3000, '\x5A'), " is damaged or not of this version", kWorldDataDamaged},
               {whole.substr(0, whole.size() / 2), " is damaged or not of this version", kWorldDataDamaged},
               {"|", " is not a regular file", kWorldDataDamaged}};
  for (const Case& c : cases) {
    std::filesystem::remove(path);
    if (c.bytes == "|")
      ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    else if (!c.bytes.empty())
      folder.Put("language.dat", c.bytes);
    WorldSetup setup = Setup(folder.Path());
    setup.language = true;
    std::string error;
    EXPECT_FALSE(world.Open(std::move(setup), &error)) << c.fault;
    EXPECT_EQ(error, path + c.fault);
    EXPECT_EQ(world.FailureStatus(), c.status) << c.fault;
    EXPECT_TRUE(logged(path + c.fault)) << rig.Log();
    ExpectNothingLeft();
  }

  // The whole language with a "Sounds.dat" of noise: open, silent, logged.
  std::filesystem::remove(path);
  folder.Put("language.dat", whole);
  folder.Put("Sounds.dat", std::string(5000, '\x33'));
  WorldSetup setup = Setup(folder.Path());
  setup.language = true;
  setup.sound = std::make_unique<plat::audio::OfflineOutput>(false);
  std::string error;
  ASSERT_TRUE(world.Open(std::move(setup), &error)) << error;
  EXPECT_EQ(world.FailureStatus(), 0);
  EXPECT_NE(GetGameLanguage(), nullptr);
  EXPECT_FALSE(world.HasSound());
  const std::string sounds = folder.File("Sounds.dat") + " is damaged or not of this version";
  EXPECT_EQ(world.SoundProblem(), sounds);
  EXPECT_TRUE(logged(sounds + "; the game goes on without sound")) << rig.Log();
}

// The game windows the harness hands in: the scene is made with them and the
// world makes no host; opening another level takes the level stages down
// and up again, the rest stays; no level opens before the fonts are up.
class RecordingWindows : public LevelInterface {
 public:
  void CreatePanel(LevelMap&) override { log.push_back("panel"); }
  void DeletePanel() override { log.push_back("panel gone"); }
  void CreateBonusButtons() override {}
  void UpdateTaskButtons(i32, i32, bool) override {}
  void UpdateBonusButton(u32, const BONUSSLOT&, bool) override {}
  bool IsTimeBarRunning() const override { return false; }
  void AdvanceTimeBar(u32) override {}
  void StartTimeBar() override {}
  void ShowTimeBar(bool) override {}
  void UpdateTimeBar(bool) override {}
  WindowSprites* OpenPanel(u32, EmptyLevelPoint*) override { return nullptr; }
  void HidePanel(WindowSprites*) override {}
  void ShowEmptyPanel() override {}
  WindowSprites* ShowPointPanel(u32, LevelPoint*) override { return nullptr; }
  void RefreshPointPanel(LevelPoint*) override {}
  void OpenMenu(bool) override {}
  void OpenIntro() override {}
  void DeleteLevelWindows() override {}
  void ExitToMap(u32) override {}
  void OfferRestart() override {}
  std::vector<std::string> log;
};

TEST_F(GameWorldTest, LevelsOpenWithHandedInCollaboratorsAndAgainWithoutTheRestMoving) {
  EXPECT_EQ(world.OpenLevel(0, {}, {}), nullptr) << "a closed world opens no level";
  std::string error;
  ASSERT_TRUE(world.Open(Setup(SampleData()), &error)) << error;
  EXPECT_EQ(events.size(), 7u);
  EXPECT_EQ(world.Level(), nullptr);
  EXPECT_TRUE(world.IsUp(WorldStage::kSound));  // up, but silent without an output
  EXPECT_FALSE(world.HasSound());
  EXPECT_EQ(GetResourceServices().sound.manager, nullptr);
  EXPECT_EQ(GetGameLanguage(), nullptr);  // not asked for

  RecordingWindows windows;
  GameLevelHooks given;
  given.iface = &windows;
  GameLevel* first = world.OpenLevel(0, {}, given);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(world.Panel(), nullptr);
  EXPECT_EQ(first->Hooks().iface, &windows);
  EXPECT_EQ(first->Hooks().rules.panel, &windows);
  EXPECT_EQ(GetResourceServices().level, &first->Screen());
  ASSERT_TRUE(world.LoadLevel());
  first->Enter();
  EXPECT_EQ(windows.log, std::vector<std::string>{"panel"});
  WindowManager* manager = world.Windows();
  const i32 fonts = manager->Fonts().GetCount();

  events.clear();
  GameLevel* second = world.OpenLevel(0, {}, {});
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Names(events), (std::vector<std::string>{"-level scene", "-level panel", "+level panel", "+level scene"}));
  EXPECT_EQ(windows.log, (std::vector<std::string>{"panel", "panel gone"}));
  ASSERT_NE(world.Panel(), nullptr);  // none handed in: the game's own host
  EXPECT_EQ(second->Hooks().iface, world.Panel());
  EXPECT_EQ(second->Hooks().rules.panel, world.Panel());
  EXPECT_EQ(second->Hooks().map.panels, world.Panel());
  EXPECT_EQ(GetResourceServices().level, &second->Screen());
  EXPECT_EQ(world.Windows(), manager);
  EXPECT_EQ(manager->Fonts().GetCount(), fonts);
  ASSERT_TRUE(world.LoadLevel());
  second->Enter();
  EXPECT_NE(world.Panel()->GetPanel(), nullptr);

  events.clear();
  world.CloseLevel();
  EXPECT_EQ(Names(events), (std::vector<std::string>{"-level scene", "-level panel"}));
  EXPECT_EQ(world.Level(), nullptr);
  EXPECT_EQ(GetResourceServices().level, nullptr);
  world.CloseLevel();  // none open: nothing
  EXPECT_EQ(events.size(), 2u);

  // Opening the world again closes the one that is open first.
  events.clear();
  ASSERT_TRUE(world.Open(Setup(SampleData()), &error)) << error;
  ASSERT_EQ(events.size(), 14u);
  EXPECT_EQ(events[0], Event(WorldStage::kLoading, false));
  EXPECT_EQ(events[6], Event(WorldStage::kServices, false));
  EXPECT_EQ(events[7], Event(WorldStage::kServices, true));
}

}  // namespace

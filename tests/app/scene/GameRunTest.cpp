// The game object run on the headless frame with the sample data set, the
// way the program brings it up: the states it goes through by fades, the
// profile's play clock (stopped in the logos and the start-up loading,
// running while a level loads), the map keeping a level left unfinished and
// the main screen deleting it, losing activation or minimising in a running
// level opening its menu (other pause codes, or outside a level, nothing),
// the comic state's window closed by Escape into the map, and the quit state freeing everything with a current profile; the notice
// queues following the screens and the profile store, the lose dialog's
// restart, and quitting with notices and the options window open; the
// comic screen's wheel and the shutdown's order; a name typed into the
// new-profile window recorded and replayed.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "RunningGame.h"
#include "app/Game.h"
#include "app/LevelSelectMap.h"
#include "app/LoadingPanel.h"
#include "app/MapNodes.h"
#include "app/ReplayRun.h"
#include "app/LogoSequence.h"
#include "app/StartupLoader.h"
#include "app/Profile.h"
#include "app/ProfileStore.h"
#include "app/Settings.h"
#include "content/ProfileProgress.h"
#include "engine/DXLApp.h"
#include "engine/DXLKeyboard.h"
#include "engine/DXLLog.h"
#include "engine/DXLMouse.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/DeveloperOverlay.h"
#include "level/scene/GameLevel.h"
#include "gametext/KGEBaseTextSprite.h"
#include "resources/GameDraw.h"
#include "resources/ProgressTracker.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/SpriteSet.h"
#include "platform/encoding/Utf.h"
#include "platform/os/WindowSystem.h"
#include "platform/gfx/GfxSystem.h"
#include "platform/headless/Session.h"
#include "platform/input/KeyCodes.h"
#include "resources/GameEffect.h"
#include "testsupport/TempFolder.h"
#include "ui/CheckBox.h"
#include "ui/ControlState.h"
#include "ui/GameWindow.h"
#include "ui/WindowManager.h"
#include "windows/AwardNotice.h"
#include "windows/ComixBook.h"
#include "windows/GameWindowManager.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"
#include "windows/LevelWindow.h"
#include "windows/MenuWindow.h"
#include "windows/MessageNotice.h"
#include "windows/MapInterface.h"
#include "windows/OptionsWindow.h"
#include "windows/ProfilesWindow.h"

namespace {

using GameRun = RunningGame;

TEST(GameRun, StatesPlayClockKeptLevelsAndThePauseMenu) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  GameRun run;
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(run.RunTo(kGameStateStartLoading));
  EXPECT_EQ(run.game.Profiles()->GetCurrent(), nullptr);  // nothing to count in yet
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  EXPECT_TRUE(run.game.MainScreenReached());
  EXPECT_EQ(GetResourceServices().appState, kGameStateMainScreen);

  // The first profile named on the main screen; then to the map.
  run.NameFirstProfile(u"Ann");
  run.game.ChooseRegime();
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  Profile* profile = run.game.Profiles()->GetCurrent();
  ASSERT_NE(profile, nullptr);
  const u32 beforeLoading = run.PlayTime();
  run.game.Map()->StartLevel(0, false);
  ASSERT_TRUE(run.RunTo(kGameStateLevelLoading));
  const u32 loadingStart = run.PlayTime();
  ASSERT_TRUE(run.RunTo(kGameStateLevel));
  EXPECT_GE(loadingStart, beforeLoading);
  EXPECT_GT(run.PlayTime(), loadingStart);  // the level's loading counts as play
  GameLevel* level = run.game.World().Level();
  ASSERT_NE(level, nullptr);

  // Paused before the day starts: nothing; started, a pause code other than
  // 1 and 3 does nothing; lost activation or minimised opens the menu.
  run.game.OnActivation(3);
  EXPECT_EQ(GetOpenMenuWindow(), nullptr);
  run.game.MouseDown(400, 300, kMouseLeft, 0);
  run.game.MouseUp(400, 300, kMouseLeft, 0);
  for (int i = 0; i < 10; ++i) run.Frame();
  ASSERT_TRUE(level->IsStarted());
  run.game.OnActivation(2);
  EXPECT_EQ(GetOpenMenuWindow(), nullptr);
  DXLDeactivate(true);  // minimised: the frame's pause code 3
  EXPECT_NE(GetOpenMenuWindow(), nullptr);
  DXLActivate();

  // Left for the map unfinished: kept; the main screen deletes it.
  level->ExitToMap();
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  EXPECT_EQ(run.game.World().Level(), level);
  EXPECT_TRUE(profile->HasSavedLevel(0));
  Game::RequestState(kGameStateMainScreen);
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  EXPECT_EQ(run.game.World().Level(), nullptr);
  // Outside a level a lost activation changes nothing.
  run.game.OnActivation(1);
  EXPECT_EQ(GetOpenMenuWindow(), nullptr);

  // Comic 0: the comic state shows its window and hears the keys; Escape
  // shows every part at once, again closes it and the fade goes to the map,
  // the window gone with the state.
  ASSERT_TRUE(StartComix(0, nullptr));
  ASSERT_TRUE(run.RunTo(kGameStateComic));
  ASSERT_NE(GetComixBook()->GetWindow(), nullptr);
  run.game.KeyDown(plat::DIK_ESCAPE, 0);
  run.Frame();
  EXPECT_EQ(run.game.State(), kGameStateComic);
  run.game.KeyDown(plat::DIK_ESCAPE, 0);
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  EXPECT_EQ(GetComixBook()->GetWindow(), nullptr);
}

// What of the game is still up, as "name 0/1" words.
std::string StillUp(Game& game) {
  const auto up = [](const char* name, bool on) { return std::string(name) + (on ? " 1" : " 0"); };
  return up("map", game.Map()) + ", " + up("main screen", game.GetMainScreen()) + ", " +
         up("windows", GetWindowManager()) + ", " + up("tables", game.World().Tables()) + ", " +
         up("language", GetGameLanguage()) + ", " + up("store", game.Profiles()) + ", " +
         up("sprite sets", GetSpriteSet(1));
}

// A window on top that takes the wheel's turns and, deleted with the window
// manager, notes what is still up.
class ProbeWindow : public GameWindow {
 public:
  ProbeWindow(Game& game, std::vector<std::string>* notes)
      : GameWindow(0x50524F42u, false), game_(game), notes_(notes) {}
  ~ProbeWindow() override { notes_->push_back("window deleted: " + StillUp(game_)); }
  bool OnMouseWheel(i32, i32, i32 delta, i32, i32) override {
    turns += delta;
    return true;
  }
  void Draw() override {}
  i32 turns = 0;

 private:
  Game& game_;
  std::vector<std::string>* notes_;
};

// The game's language, noting what is still up when it is deleted.
class ProbeLanguage : public GameLanguage {
 public:
  ProbeLanguage(Game& game, std::vector<std::string>* notes)
      : GameLanguage(plat::Utf8ToUtf16(SampleDataFolder() + "/language.dat").c_str()), game_(game), notes_(notes) {}
  ~ProbeLanguage() override { notes_->push_back("language deleted: " + StillUp(game_)); }

 private:
  Game& game_;
  std::vector<std::string>* notes_;
};

// On a wide screen (borders left and right) with the developers' switch:
// a click or double click in the borders never reaches a screen, not even
// the logos' skip, one in the game area skips; the developer overlay draws
// over the logos too. The start-up loading's bar moves only when its
// tracker reports (at most every 100 ms); its caption is a text texture of
// at most 512 x 64. Paused, the game is silent, resumed it plays again.
// The comic's window hears the key releases and characters, and the keys
// answer whether they were taken; the comic screen's windows take the
// wheel. Shut down, the map and the main screen go before the window
// manager, which goes before the tables; the language after them, before
// the profile store; the sprite sets last.
constexpr u16 kGameRunKeyF = 0x21;  // F's scan code

TEST(GameRun, BordersLogosOverlayLoadingBarPauseAndComicKeys) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  std::vector<std::string> notes;
  GameRun run(1920, 1080, true, true);
  ASSERT_TRUE(run.ok);
  run.game.SetGameLanguage(std::make_unique<ProbeLanguage>(run.game, &notes));
  run.drawEvery = 25;
  const DXLRECT area = GetResourceServices().screen.rect;
  ASSERT_GT(area.left, 0) << "no borders on this screen";
  const i32 inBorderX = area.left / 2, inAreaX = area.left + 100, y = 500;
  // The first logo cannot be skipped: the second one is waited for.
  for (u32 i = 0; i < 400 && (!run.game.Logos() || run.game.Logos()->GetIndex() < 1); ++i) run.Frame();
  ASSERT_NE(run.game.Logos(), nullptr);
  ASSERT_EQ(run.game.Logos()->GetIndex(), 1);
  // The overlay's frame counter shows over the logos (Ctrl+F does not skip one).
  EXPECT_TRUE(run.game.KeyDown(kGameRunKeyF, kModControl));
  run.Frame();
  ASSERT_NE(GetDeveloperOverlay(), nullptr);
  EXPECT_EQ(GetDeveloperOverlay()->GetLinesDrawn(), 1u);
  EXPECT_TRUE(run.game.KeyDown(kGameRunKeyF, kModControl));
  run.game.MouseDown(inBorderX, y, kMouseLeft, 0);
  run.game.DoubleClick(inBorderX, y, 0);
  EXPECT_EQ(run.game.Logos()->GetIndex(), 1);
  EXPECT_FALSE(run.game.Logos()->IsFinished());
  run.game.MouseDown(inAreaX, y, kMouseLeft, 0);
  EXPECT_TRUE(run.game.Logos()->IsFinished());

  // The bar follows the tracker's reports only. The loader gives the frame
  // back after every piece here (the fake clock stands still within a
  // frame, so it would load in one), the tracker reports every 100 ms.
  GetResourceServices().loadingProgress = [](float) { return true; };
  ASSERT_TRUE(run.RunTo(kGameStateStartLoading, 200));
  LoadingPanel* panel = run.game.Panel();
  ASSERT_NE(panel, nullptr);
  ASSERT_NE(panel->GetCaption(), nullptr);
  u32 moves = 0, frames = 0;
  i32 lit = panel->GetLitWidth();
  u32 reported = 0;
  while (run.game.State() == kGameStateStartLoading && frames < 3000) {
    run.Frame();
    ++frames;
    const StartupLoader* loader = run.game.World().Loader();
    ASSERT_NE(loader, nullptr);
    const bool report = loader->Tracker().GetReportedTime() != reported;
    reported = loader->Tracker().GetReportedTime();
    if (panel->GetLitWidth() != lit) {
      ++moves;
      EXPECT_TRUE(report) << "the bar moved without a report, frame " << frames;
    }
    lit = panel->GetLitWidth();
  }
  EXPECT_GT(moves, 3u);
  EXPECT_GT(frames, 4 * moves) << "a report at most every fifth frame of 20 ms";
  EXPECT_EQ(panel->GetLitWidth(), panel->GetBarRect().right - panel->GetBarRect().left);
  // A long caption is cut to its texture's 512 x 64.
  panel->SetCaption(GetGameFont(2), std::u16string(200, u'W').c_str());
  ASSERT_NE(panel->GetCaption(), nullptr);
  EXPECT_LE(panel->GetCaption()->GetTextureRect().right - panel->GetCaption()->GetTextureRect().left, 512);
  EXPECT_LE(panel->GetCaption()->GetTextureRect().bottom - panel->GetCaption()->GetTextureRect().top, 64);

  // Paused (the window lost): silent; back: the sound again.
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  EXPECT_EQ(GetSoundSettings().muted, 0u);
  DXLDeactivate(false);
  EXPECT_EQ(GetSoundSettings().muted, 1u);
  DXLActivate();
  EXPECT_EQ(GetSoundSettings().muted, 0u);

  // The comic's (modal) window takes the releases and characters.
  ASSERT_TRUE(StartComix(0, nullptr));
  ASSERT_TRUE(run.RunTo(kGameStateComic));
  EXPECT_TRUE(run.game.KeyUp(plat::DIK_A, 0));
  EXPECT_TRUE(run.game.Character(u'a'));
  EXPECT_TRUE(run.game.KeyDown(plat::DIK_A, 0));

  // The wheel turned over the comic goes to its screen's windows.
  auto* probe = new ProbeWindow(run.game, &notes);
  run.game.MouseWheel(inAreaX, y, -120, 0);
  EXPECT_EQ(probe->turns, -120);

  // The game its runner installed is the running one, with the map it
  // made, until it is shut down; the frames after reach neither.
  EXPECT_EQ(GetRunningGame(), &run.game);
  EXPECT_EQ(GetLevelSelectMap(), run.game.Map());
  EXPECT_TRUE(notes.empty()) << notes.front();
  run.game.ShutdownGame();
  EXPECT_EQ(GetRunningGame(), nullptr);
  EXPECT_EQ(GetLevelSelectMap(), nullptr);
  EXPECT_EQ(notes, (std::vector<std::string>{
                       "window deleted: map 0, main screen 0, windows 0, tables 1, language 1, store 1, sprite sets 1",
                       "language deleted: map 0, main screen 0, windows 0, tables 0, language 0, store 1, sprite sets 1",
                   }));
  EXPECT_EQ(StillUp(run.game),
            "map 0, main screen 0, windows 0, tables 0, language 0, store 0, sprite sets 0");
  run.Frame();
}

// A first profile named by a person typing into the new-profile window
// while the run is recorded: the typed name goes into the recording (an
// edit box never takes the game's character handler's place), and the
// recording replays to a profile of the same name. The recording's file is
// left as it was until the game has started up whole; it says the size it
// was made at and ends on the main screen, where the replay ends too.
TEST(GameRun, ANameTypedIntoTheNewProfileWindowIsRecordedAndReplaysToTheSameProfile) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  TempFolder files;
  const std::string recorded = files.File("typed.txt");
  std::string error;
  const auto current = [](GameRun& run) {
    const Profile* p = run.game.Profiles()->GetCurrent();
    return p ? plat::Utf16ToUtf8(p->GetName()) : std::string("(none)");
  };
  files.Put("typed.txt", "an earlier recording\n");
  {
    ReplayRun recording;
    ASSERT_TRUE(recording.Open("", recorded, &error)) << error;
    GameRun run;
    ASSERT_TRUE(run.ok);
    const GAMEAREA& area = run.game.Screen().Area();
    recording.BeginRecording(static_cast<u32>(area.clientWidth), static_cast<u32>(area.clientHeight));
    GetAppServices().recording = GetAppServices().replay = &recording;
    ASSERT_TRUE(run.RunTo(kGameStateStartLoading));
    EXPECT_EQ(files.Read("typed.txt"), "an earlier recording\n");
    ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
    for (int i = 0; i < 30; ++i) run.Frame();
    plat::WindowSystem& windows = plat::GetWindowSystem();
    windows.UserText(u"Marigold");
    run.Frame();
    windows.UserKey(plat::DIK_RETURN, true);
    windows.UserKey(plat::DIK_RETURN, false);
    for (int i = 0; i < 30; ++i) run.Frame();
    EXPECT_EQ(current(run), "Marigold");
    GetAppServices().recording = GetAppServices().replay = nullptr;
    GetAppServices().lastRecordedFrame.reset();
    EXPECT_EQ(recording.Finish(), "");
  }
  // Its text lines, one a character, spell the name.
  std::ifstream file(recorded);
  std::string typed, last;
  bool sized = false;
  for (std::string line; std::getline(file, line); last = line) {
    if (line.rfind("text \"", 0) == 0 && line.size() > 7) typed += line.substr(6, line.size() - 7);
    sized = sized || line == "screen 800 600";
  }
  EXPECT_EQ(typed, "Marigold");
  EXPECT_TRUE(sized);
  EXPECT_EQ(last, "await 6 1000");

  // Played as the program plays a replay: a frame a step, the messages its
  // steps posted taken first.
  ReplayRun replay;
  ASSERT_TRUE(replay.Open(recorded, "", &error)) << error;
  GameRun run;
  ASSERT_TRUE(run.ok);
  GetAppServices().replay = &replay;
  replay.Start();
  plat::WindowSystem& windows = plat::GetWindowSystem();
  for (u32 frames = 0; frames < 20000 && replay.BeforeFrame(); ++frames) {
    while (windows.QueuedMessages() > 0) DXLRunPass();
    DXLRunPass();
    replay.AfterFrame();
  }
  GetAppServices().replay = nullptr;
  EXPECT_EQ(replay.Finish(), "");
  EXPECT_EQ(current(run), "Marigold");
}

// A second start with a profile on disk: the profile is current from the
// start-up loading's last step on, through the fade into the main screen,
// and its play clock must not count those frames.
TEST(GameRun, PlayClockStandsStillInTheStartLoadingOfAKnownProfile) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  TempFolder user;
  {
    GameRun first(800, 600, false, false, &user);
    ASSERT_TRUE(first.ok);
    ASSERT_TRUE(first.RunTo(kGameStateMainScreen));
    first.NameFirstProfile(u"Ann");
    ASSERT_NE(first.game.Profiles()->GetCurrent(), nullptr);
  }
  GameRun second(800, 600, false, false, &user);
  ASSERT_TRUE(second.ok);
  i64 loaded = -1;
  u32 framesWithProfile = 0;
  for (u32 i = 0; i < 3000 && second.game.State() != kGameStateMainScreen; ++i) {
    second.Frame();
    if (second.game.State() != kGameStateStartLoading || !second.game.Profiles()->GetCurrent()) continue;
    if (loaded < 0) loaded = second.PlayTime();
    ++framesWithProfile;
    EXPECT_EQ(second.PlayTime(), loaded) << "the play clock ran in the start-up loading";
  }
  EXPECT_GT(loaded, 0) << "the first run's play time was not loaded";
  EXPECT_GE(framesWithProfile, 5u) << "too few loading frames with the profile for the check to mean anything";
  EXPECT_EQ(second.game.State(), kGameStateMainScreen);
}

// Notices shown on the map go with the screens' masks; another profile
// chosen empties both queues (the same one again nothing); in the level they
// stand over the level panel. A lost level's dialog, then its window's
// "play", plays the level afresh behind the fade. The options window is the
// game's: its settings land in "config.dat". Quitting then with the notices
// and the options window open frees everything.
// The current profile deleted in the map's profiles window: the row in its
// place becomes current, the greeting names it and the map shows its
// progress, and the window can be cancelled; the last one deleted, the
// greeting names nobody and only a new profile leaves the window.
TEST(GameRun, DeletingTheCurrentProfileOnTheMapGreetsTheOneInItsPlace) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  GameRun run;
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  run.NameFirstProfile(u"Tomas");
  ProfileStore* store = run.game.Profiles();
  Profile* tomas = store->GetCurrent();
  Profile* ann = nullptr;
  ASSERT_EQ(store->CreateProfile(u"Ann", &ann), kProfileOk);
  ASSERT_EQ(store->SelectProfile(ann), kProfileOk);
  LEVELRESULT won;
  ann->RecordUnplayedResult(0, &won);  // Ann has finished the first day
  ASSERT_EQ(store->SelectProfile(tomas), kProfileOk);
  run.game.ChooseRegime();
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  for (int i = 0; i < 30; ++i) run.Frame();
  LevelSelectMap* map = run.game.Map();
  MapInterface* ui = map->GetInterface();
  ASSERT_NE(ui, nullptr);
  EXPECT_EQ(ui->GetProfileButton()->GetProfile(), tomas);
  EXPECT_EQ(map->GetNode(1)->GetState(), kLevelHidden);

  ui->OnCommand(ui->GetProfileButton());
  auto* profiles = static_cast<ProfilesWindow*>(GetWindowManager()->GetAnchor(kAnchorProfiles));
  ASSERT_NE(profiles, nullptr);
  for (i32 i = 0; i < profiles->GetRowCount(); ++i)
    if (profiles->GetRow(i)->GetProfile() == tomas) profiles->DeleteRow(profiles->GetRow(i));
  for (int i = 0; i < 30; ++i) run.Frame();
  EXPECT_EQ(store->GetCurrent(), ann);
  EXPECT_EQ(ui->GetProfileButton()->GetProfile(), ann);
  ASSERT_NE(ui->GetProfileButton()->GetText(), nullptr);
  EXPECT_EQ(map->GetNode(1)->GetState(), kLevelOpen);  // Ann's map
  EXPECT_TRUE(profiles->GetCancelButton()->IsEnabled());
  EXPECT_TRUE(run.Shot("profile_deleted_map.png"));
  run.game.KeyDown(plat::DIK_ESCAPE, 0);
  for (int i = 0; i < 30; ++i) run.Frame();
  EXPECT_EQ(GetWindowManager()->GetAnchor(kAnchorProfiles), nullptr);

  // The last one deleted: nobody greeted, the window stays until a profile is made.
  ui->OnCommand(ui->GetProfileButton());
  profiles = static_cast<ProfilesWindow*>(GetWindowManager()->GetAnchor(kAnchorProfiles));
  ASSERT_NE(profiles, nullptr);
  ASSERT_EQ(profiles->GetRowCount(), 1);
  profiles->DeleteRow(profiles->GetRow(0));
  EXPECT_EQ(store->GetCurrent(), nullptr);
  EXPECT_EQ(ui->GetProfileButton()->GetProfile(), nullptr);
  EXPECT_EQ(ui->GetProfileButton()->GetText(), nullptr);
  EXPECT_FALSE(profiles->GetCancelButton()->IsEnabled());
  run.game.KeyDown(plat::DIK_ESCAPE, 0);
  for (int i = 0; i < 30; ++i) run.Frame();
  EXPECT_NE(GetWindowManager()->GetAnchor(kAnchorProfiles), nullptr);
}

TEST(GameRun, NoticesFollowScreensAndProfilesLoseRestartsAndQuitWithWindowsOpen) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  GameRun run;
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  run.NameFirstProfile(u"Ann");
  run.game.ChooseRegime();
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  MessageNoticeQueue* messages = GetMessageNotices();
  AwardNoticeQueue* awards = GetAwardNotices();
  ASSERT_TRUE(messages && awards);
  EXPECT_EQ(messages->GetMargin(), 76);
  const auto show = [&](u32 id) {
    messages->ShowMessage(id, nullptr, 0, u"note", 0, 0, NoticeWindow::kNoExpiry, nullptr, 0);
  };
  show(kMessageLevelMap | 1);
  awards->ShowAward(0, 0, 1);
  ASSERT_EQ(messages->GetCount(), 1);
  ASSERT_EQ(awards->GetCount(), 1);

  ProfileStore* store = run.game.Profiles();
  Profile* first = store->GetCurrent();
  Profile* second = nullptr;
  ASSERT_EQ(store->CreateProfile(u"Second", &second), kProfileOk);
  EXPECT_EQ(store->SelectProfile(second), kProfileOk);
  EXPECT_EQ(messages->GetCount(), 0);
  EXPECT_EQ(awards->GetCount(), 0);
  show(kMessageLevelMap | 2);
  awards->ShowAward(0, 0, 1);
  store->SelectProfile(second);  // already current: nothing cleared
  EXPECT_EQ(messages->GetCount(), 1);
  EXPECT_EQ(awards->GetCount(), 1);
  store->SelectProfile(first);
  EXPECT_EQ(messages->GetCount() + awards->GetCount(), 0);

  // Entering the level keeps only the level's messages, over its panel.
  show(kMessageLevelMap | 3);
  show(kMessageLevel | 4);
  run.game.Map()->StartLevel(0, false);
  ASSERT_TRUE(run.RunTo(kGameStateLevel));
  GameLevel* level = run.game.World().Level();
  LevelPanelHost* host = run.game.World().Panel();
  ASSERT_TRUE(level && host && host->GetPanel());
  GameWindow* panel = host->GetPanel();
  ASSERT_EQ(messages->GetCount(), 1);
  EXPECT_EQ(messages->Get(0)->GetMessageId(), kMessageLevel | 4);
  EXPECT_EQ(messages->GetAnchor(), panel);
  EXPECT_EQ(awards->GetAnchor(), panel);
  EXPECT_EQ(awards->GetMargin(), 120);

  // Lost: the dialog's yes, then the lost window's play; the fade restarts it.
  run.game.MouseDown(400, 300, kMouseLeft, 0);
  run.game.MouseUp(400, 300, kMouseLeft, 0);
  for (int i = 0; i < 10; ++i) run.Frame();
  ASSERT_TRUE(level->IsStarted());
  LevelTasks& tasks = level->Rules().Tasks();
  tasks.Lose(0);
  ASSERT_NE(tasks.GetLoseDialog(), nullptr);
  for (int i = 0; i < 20; ++i) run.Frame();
  level->Input().OnKeyDown(kKeyEnter, 0);
  ASSERT_NE(FindWindowOf<LevelWindow>(), nullptr);
  EXPECT_EQ(FindWindowOf<LevelWindow>()->GetKind(), kLevelWindowLost);
  for (int i = 0; i < 20; ++i) run.Frame();
  level->Input().OnKeyDown(kKeyEnter, 0);
  ASSERT_TRUE(run.RunTo(kGameStateLevel));
  for (int i = 0; i < 20; ++i) run.Frame();
  EXPECT_EQ(run.game.World().Level(), level);
  EXPECT_EQ(tasks.GetResult(), kResultNone);
  EXPECT_EQ(FindWindowOf<LevelWindow>(), nullptr);
  EXPECT_FALSE(host->HasExited());

  // The options window on the game's hooks: its box switches the screen to
  // a window and back; its settings written when it goes.
  host->OpenOptions();
  auto* options = static_cast<OptionsWindow*>(GetWindowManager()->GetAnchor(kAnchorOptions));
  ASSERT_NE(options, nullptr);
  const auto ticked = [&] { return (options->GetFullscreenBox()->State().GetState() & kStateFlag) != 0; };
  ASSERT_TRUE(run.game.Screen().IsFullscreen());
  EXPECT_TRUE(ticked());
  std::remove(run.Folder().File("config.dat").c_str());
  options->OnCommand(options->GetFullscreenBox());
  EXPECT_FALSE(run.game.Screen().IsFullscreen());
  EXPECT_FALSE(ticked());
  EXPECT_EQ(GetResourceServices().screen.rect.right, run.game.Screen().Area().rect.right);
  options->OnCommand(options->GetFullscreenBox());
  EXPECT_TRUE(run.game.Screen().IsFullscreen());
  EXPECT_TRUE(ticked());
  delete options;
  EXPECT_TRUE(run.Folder().Exists("config.dat"));
  host->OpenOptions();  // and left open for the quit
  show(kMessageLevel | 5);
  awards->ShowAward(0, 0, 2);
  // ~GameRun quits with all of it open.
}

}  // namespace

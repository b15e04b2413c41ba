// The game object run on the headless frame with the sample data set, the
// way the program brings it up: the states it goes through by fades, the
// profile's play clock (stopped in the logos and the start-up loading,
// running while a level loads), the map keeping a level left unfinished and
// the main screen deleting it, losing activation or minimising in a running
// level opening its menu (other pause codes, or outside a level, nothing),
// and the quit state freeing everything with a current profile.
#include <gtest/gtest.h>

#include <string>

#include "app/Game.h"
#include "app/Profile.h"
#include "app/ProfileStore.h"
#include "app/Settings.h"
#include "engine/DXLApp.h"
#include "engine/DXLLog.h"
#include "engine/DXLMouse.h"
#include "gametext/GameLanguage.h"
#include "level/scene/GameLevel.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/GfxSystem.h"
#include "platform/headless/Session.h"
#include "resources/GameEffect.h"
#include "resources/GameServices.h"
#include "testsupport/TempFolder.h"
#include "windows/MenuWindow.h"

namespace {

std::string SampleDataFolder() {
#ifdef TM_SAMPLE_DATA_DIR
  return TM_SAMPLE_DATA_DIR;
#else
  return {};
#endif
}

class GameRun {
 public:
  GameRun() {
    plat::gfx::ResetDefaultSystemSettings();
    DXLSetInstanceFolder(folder_.Path().c_str());
    DXLOpenLog(folder_.Wide().c_str());
    EXPECT_EQ(DXLInitApp(7 | kAppKeepDirectory), 0);
    EXPECT_EQ(DXLCreateWindow(0, plat::GetModuleHandle(), u"TallowGameRun", u"", DXLGameWindowProc, 107,
                              &GameModeFilter),
              0);
    SCREENPARAMS p;
    p.screenWidth = 800;
    p.screenHeight = 600;
    EXPECT_TRUE(game.Screen().Init(p));
    EXPECT_EQ(DXLInitInput(true), 0);
    EXPECT_EQ(DXLInitServices(256), 0);
    GameSetup setup;
    setup.data = SampleDataFolder();
    setup.user = folder_.Wide() + u"/";
    setup.seedKeys = true;
    setup.keySeed = 7;
    std::string error;
    ok = game.InitGame(std::move(setup), &error, nullptr);
    EXPECT_TRUE(ok) << error;
    if (!ok) return;
    game.SetGameLanguage(std::make_unique<GameLanguage>(plat::Utf8ToUtf16(SampleDataFolder() + "/language.dat").c_str()));
    DXLSetAppState(kGameStateLogos, true);
    DXLStartLoop();
  }
  ~GameRun() {
    DXLShutdown();  // the quit state frees the game
    DXLSetInstanceFolder(nullptr);
    plat::gfx::ResetDefaultSystemSettings();
  }

  // Frames of 20 ms until the game is in `state` (false after `frames`).
  bool RunTo(u32 state, u32 frames = 3000) {
    for (u32 i = 0; i < frames; ++i) {
      if (game.State() == state && !GetGameEffect()) return true;
      Frame();
    }
    return false;
  }
  void Frame() {
    DXLRunPass();
    session_.Clock().Advance(20);
  }
  u32 PlayTime() const {
    const Profile* p = game.Profiles() ? game.Profiles()->GetCurrent() : nullptr;
    return p ? p->GetProgress().playTime : 0;
  }

  Game game;
  bool ok = false;

 private:
  TempFolder folder_;
  plat::headless::Session session_;
};

TEST(GameRun, StatesPlayClockKeptLevelsAndThePauseMenu) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  GameRun run;
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(run.RunTo(kGameStateStartLoading));
  EXPECT_EQ(run.game.Profiles()->GetCurrent(), nullptr);  // nothing to count in yet
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  EXPECT_TRUE(run.game.MainScreenReached());
  EXPECT_EQ(GetGameServices().appState, kGameStateMainScreen);

  // The play button makes the first profile and goes to the map.
  run.game.ChooseRegime();
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  Profile* profile = run.game.Profiles()->GetCurrent();
  ASSERT_NE(profile, nullptr);
  const u32 beforeLoading = run.PlayTime();
  run.game.StartLevel(0);
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
}

}  // namespace

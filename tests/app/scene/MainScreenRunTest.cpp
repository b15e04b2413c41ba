// The main screen in the running game on the sample data set: a first run
// at 800 x 600 opens the new-profile window with the system's user name
// (main_screen_first_run.png); a name typed over it and Enter make the
// profile, which the menu greets (main_screen_800x600.png); at 1920 x 1080
// the scene fills the game area between the screen's borders
// (main_screen_1920x1080.png). The
// pictures are written into the test's working folder.
#include <gtest/gtest.h>

#include <string>

#include "app/Game.h"
#include "app/MainScreen.h"
#include "app/Profile.h"
#include "app/ProfileStore.h"
#include "engine/DXLApp.h"
#include "engine/DXLLog.h"
#include "engine/DXLViewer.h"
#include "engine/DXLWindowViewer.h"
#include "gametext/GameLanguage.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/GfxSystem.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/PngFile.h"
#include "platform/headless/Session.h"
#include "platform/input/KeyCodes.h"
#include "resources/GameEffect.h"
#include "resources/GameServices.h"
#include "testsupport/TempFolder.h"
#include "ui/WindowManager.h"
#include "windows/ProfilesWindow.h"

namespace {

std::string MainScreenSampleData() {
#ifdef TM_SAMPLE_DATA_DIR
  return TM_SAMPLE_DATA_DIR;
#else
  return {};
#endif
}

// The game brought up as the program does, on a screen of w x h.
class MainScreenRun {
 public:
  MainScreenRun(u32 w, u32 h) {
    plat::gfx::ResetDefaultSystemSettings();
    plat::gfx::SystemSettings& system = plat::gfx::DefaultSystemSettings();
    system.desktop.width = w;
    system.desktop.height = h;
    for (u32 hz : {60u, 75u}) system.modes.push_back(plat::gfx::DisplayMode{w, h, hz, system.desktop.format});
    DXLSetInstanceFolder(folder_.Path().c_str());
    DXLOpenLog(folder_.Wide().c_str());
    EXPECT_EQ(DXLInitApp(7 | kAppKeepDirectory), 0);
    EXPECT_EQ(DXLCreateWindow(0, plat::GetModuleHandle(), u"TallowMainScreen", u"", DXLGameWindowProc, 107,
                              &GameModeFilter),
              0);
    SCREENPARAMS p;
    p.screenWidth = w;
    p.screenHeight = h;
    EXPECT_TRUE(game.Screen().Init(p));
    EXPECT_EQ(DXLInitInput(true), 0);
    EXPECT_EQ(DXLInitServices(256), 0);
    GameSetup setup;
    setup.data = MainScreenSampleData();
    setup.user = folder_.Wide() + u"/";
    setup.seedKeys = true;
    setup.keySeed = 7;
    std::string error;
    ok = game.InitGame(std::move(setup), &error, nullptr);
    EXPECT_TRUE(ok) << error;
    if (!ok) return;
    game.SetGameLanguage(
        std::make_unique<GameLanguage>(plat::Utf8ToUtf16(MainScreenSampleData() + "/language.dat").c_str()));
    DXLSetAppState(kGameStateLogos, true);
    DXLStartLoop();
  }
  ~MainScreenRun() {
    DXLShutdown();
    DXLSetInstanceFolder(nullptr);
    plat::gfx::ResetDefaultSystemSettings();
  }
  bool RunTo(u32 state, u32 frames = 3000) {
    for (u32 i = 0; i < frames; ++i) {
      if (game.State() == state && !GetGameEffect()) return true;
      Frame();
    }
    return false;
  }
  void Frame(u32 ms = 20) {
    DXLRunPass();
    session_.Clock().Advance(ms);
  }
  // The last frame drawn, as a PNG in the working folder.
  bool Shot(const std::string& name) {
    DXLViewer* viewer = GetGameViewer();
    plat::gfx::SoftDevice* soft = viewer && viewer->GetDevice() ? viewer->GetDevice()->GetSoftDevice() : nullptr;
    std::string why;
    return soft && plat::WritePng(name, soft->Frame(), soft->Width(), soft->Height(), &why);
  }

  Game game;
  bool ok = false;

 private:
  TempFolder folder_;
  plat::headless::Session session_;
};

TEST(MainScreenRun, FirstRunNamesTheFirstProfileAndTheMenuGreetsIt) {
  if (MainScreenSampleData().empty()) GTEST_SKIP() << "no sample data set";
  MainScreenRun run(800, 600);
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  MainScreen* screen = run.game.GetMainScreen();
  ASSERT_NE(screen, nullptr);
  for (int i = 0; i < 30; ++i) run.Frame();  // the window has dropped in
  auto* window = static_cast<NewProfileWindow*>(GetWindowManager()->FindWindow(NewProfileWindow::kId));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(run.Shot("main_screen_first_run.png"));
  // The 256-high title leaves the menu its room inside the screen.
  EXPECT_EQ(screen->GetTitle().title.left, 396 + run.game.Language()->GetLogo().x);
  EXPECT_EQ(screen->GetMenu()->GetX(), 447);
  EXPECT_EQ(screen->GetMenu()->GetY(), 273);
  EXPECT_LE(screen->GetMenu()->GetY() + screen->GetMenu()->GetHeight(), 600);
  EXPECT_FALSE(screen->GetMenu()->GetButton(kMainScreenEasy)->IsEnabled());
  // The proposal is selected: typing replaces it, Enter is OK.
  for (const char16_t c : std::u16string(u"Marigold")) run.game.Character(c);
  run.game.KeyDown(plat::DIK_RETURN, 0);
  for (int i = 0; i < 30; ++i) run.Frame();
  Profile* profile = run.game.Profiles()->GetCurrent();
  ASSERT_NE(profile, nullptr);
  EXPECT_EQ(std::u16string(profile->GetName()), u"Marigold");
  EXPECT_EQ(GetWindowManager()->FindWindow(NewProfileWindow::kId), nullptr);
  EXPECT_TRUE(screen->GetMenu()->GetButton(kMainScreenEasy)->IsEnabled());
  EXPECT_TRUE(screen->GetMenu()->IsLocked());
  ASSERT_NE(screen->GetMenu()->GetGreeting(), nullptr);
  EXPECT_EQ(std::u16string(screen->GetMenu()->GetGreetingKey()), u"welcom");
  run.game.MouseMove(560, 350, 0, 0);  // over the menu: she smiles
  for (int i = 0; i < 10; ++i) run.Frame();
  EXPECT_NE(screen->GetGirl(), nullptr);
  EXPECT_TRUE(run.Shot("main_screen_800x600.png"));
  // The scene's layers: the girl, two light layers, petals.
  u32 lights = 0, particles = 0;
  for (const auto& layer : screen->Layers()) {
    lights += layer->Record()->kind == kMainScreenLight ? 1 : 0;
    particles += layer->Record()->kind == kMainScreenParticles ? 1 : 0;
  }
  EXPECT_EQ(lights, 2u);
  EXPECT_GE(particles, 1u);
}

TEST(MainScreenRun, WideScreenFillsWithTheScene) {
  if (MainScreenSampleData().empty()) GTEST_SKIP() << "no sample data set";
  MainScreenRun run(1920, 1080);
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  Profile* made = nullptr;
  ASSERT_EQ(run.game.Profiles()->CreateProfile(u"Hazel", &made), 0);
  ASSERT_EQ(run.game.Profiles()->SelectProfile(made), 0);
  if (GameWindow* w = GetWindowManager()->FindWindow(NewProfileWindow::kId)) delete w;
  MainScreen* screen = run.game.GetMainScreen();
  screen->RefreshMenu();
  for (int i = 0; i < 30; ++i) run.Frame();
  // The game area keeps at most 1.6 : 1 (1,728 x 1,080, borders at the sides): the scene at 1.35.
  const GAMESCREENAREA& area = GetGameServices().screen;
  EXPECT_EQ(area.height, 1080);
  EXPECT_FLOAT_EQ(screen->GetFit().scale, MainScreen::FitScreen(area.width, area.height).scale);
  EXPECT_GE(screen->GetFit().scale, 1.35f);
  EXPECT_TRUE(run.Shot("main_screen_1920x1080.png"));
}

}  // namespace

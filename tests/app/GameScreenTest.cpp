// The game's screen on the headless frame: the game area for the client
// area (margins, the 16:10 cap), what the settings of "config.dat" turn into
// on a desktop (no file: full screen at the desktop's size; a saved window
// size or a full-screen size the display does not offer: the default
// window), which window positions reach the game, and a replay's size held
// where the display gives it.
#include <gtest/gtest.h>

#include <string>

#include "app/AppServices.h"
#include "app/GameScreen.h"
#include "app/GameWorld.h"
#include "app/Settings.h"
#include "engine/DXLApp.h"
#include "engine/DXLCursors.h"
#include "engine/DXLLog.h"
#include "engine/DXLWindowViewer.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/GfxSystem.h"
#include "platform/headless/Session.h"
#include "resources/ResourceServices.h"
#include "testsupport/AdapterSettings.h"
#include "testsupport/TempFolder.h"

namespace {

// The frame up to its window on a headless desktop of width x height
// offering the test system's modes and the desktop's own.
class ScreenRig {
 public:
  ScreenRig(i32 width, i32 height) : session_(Desktop(width, height)) {
    plat::gfx::SystemSettings& gfx = adapter_.settings;
    gfx.desktop = plat::gfx::DisplayMode{static_cast<u32>(width), static_cast<u32>(height), 60, 22};
    gfx.modes.push_back(gfx.desktop);
    DXLSetInstanceFolder(folder_.Path().c_str());
    DXLOpenLog(folder_.Wide().c_str());
    EXPECT_EQ(DXLInitApp(7 | kAppKeepDirectory), 0);
    EXPECT_EQ(DXLCreateWindow(0, plat::GetModuleHandle(), u"TallowScreenTest", u"", DXLGameWindowProc, 107,
                              &GameModeFilter),
              0);
  }
  ~ScreenRig() {
    DXLShutdown();
    DXLResetCursors();
    DXLSetInstanceFolder(nullptr);
    ResetAllServices();
  }
  // The settings as the program reads them from the rig's folder.
  SCREENPARAMS Saved() {
    SCREENPARAMS p;
    EXPECT_TRUE(LoadSettings(folder_.Wide(), &p));
    return p;
  }
  void Save(const SCREENPARAMS& p) { ASSERT_TRUE(SaveSettings(folder_.Wide(), p)); }

 private:
  static plat::DesktopSettings Desktop(i32 w, i32 h) {
    plat::DesktopSettings d;
    d.width = w;
    d.height = h;
    return d;
  }
  TempFolder folder_;
  plat::headless::Session session_;
  plat::PlatformServicesScope installed_{session_.Services()};
  AdapterSettings adapter_;
};

void ExpectArea(const GAMEAREA& a, i32 w, i32 h, i32 left, i32 top) {
  EXPECT_EQ(a.width, w);
  EXPECT_EQ(a.height, h);
  EXPECT_EQ(a.left, left);
  EXPECT_EQ(a.top, top);
  EXPECT_EQ(a.rect.right, left + w);
  EXPECT_EQ(a.rect.bottom, top + h);
}

TEST(GameScreen, GameAreaFitsTheClientAreaCappedAtSixteenByTen) {
  ExpectArea(ComputeGameArea(800, 600), 800, 600, 0, 0);
  EXPECT_FALSE(ComputeGameArea(800, 600).wide);
  ExpectArea(ComputeGameArea(1920, 1080), 1728, 1080, 96, 0);
  EXPECT_TRUE(ComputeGameArea(1920, 1080).wide);
  ExpectArea(ComputeGameArea(1280, 1024), 1280, 1000, 0, 12);
  // Odd sizes are made even; the margins take the rest.
  const GAMEAREA odd = ComputeGameArea(1025, 769);
  EXPECT_EQ(odd.width % 2, 0);
  EXPECT_EQ(odd.height % 2, 0);
  EXPECT_EQ(odd.left, (1025 - odd.width) / 2);
}

TEST(GameScreen, NoSettingsIsFullScreenAtTheDesktopWhoseMarginsDropClicks) {
  ScreenRig rig(1920, 1080);
  GameScreen screen;
  const SCREENPARAMS saved = rig.Saved();  // no "config.dat": the defaults
  ASSERT_TRUE(screen.Init(saved));
  EXPECT_TRUE(screen.IsFullscreen());
  EXPECT_EQ(screen.GetParams().screenWidth, 1920u);
  EXPECT_EQ(screen.GetParams().screenHeight, 1080u);
  EXPECT_EQ(screen.GetParams().vsync, 1u);
  EXPECT_EQ(screen.GetParams().refresh, 60u);
  EXPECT_EQ(DXLGetAppData().fullScreen, 1u);
  EXPECT_EQ(DXLGetAppData().screenWidth, 1920u);
  ExpectArea(screen.Area(), 1728, 1080, 96, 0);
  // The game rectangle: x 96 is the first column taken, 1824 the first
  // dropped on the right.
  EXPECT_FALSE(screen.InGameArea(95, 500));
  EXPECT_TRUE(screen.InGameArea(96, 500));
  EXPECT_TRUE(screen.InGameArea(1823, 500));
  EXPECT_FALSE(screen.InGameArea(1824, 500));
  // Window positions reach the game less the margins.
  GetResourceServices().screen.rect = screen.Area().rect;
  const DXLPOINT p = WindowToGame(96, 7);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 7);
  // Applying the same parameters again changes nothing that runs.
  EXPECT_TRUE(screen.Apply());
  EXPECT_EQ(DXLGetAppData().screenWidth, 1920u);
}

TEST(GameScreen, SavedWindowSizesAndUnofferedModesOpenTheDefaultWindow) {
  ScreenRig rig(1920, 1080);
  GameScreen screen;
  // Window sizes that fit 1920 x 1080 with the frame: all three, the
  // largest the default.
  SCREENPARAMS p;
  p.fullscreen = 0;
  p.windowWidth = 1000;
  p.windowHeight = 700;
  rig.Save(p);
  ASSERT_TRUE(screen.Init(rig.Saved()));
  EXPECT_EQ(screen.GetModeCount(), 3u);
  EXPECT_EQ(screen.GetDefaultWindowWidth(), 1280u);
  EXPECT_EQ(screen.GetDefaultWindowHeight(), 800u);
  EXPECT_FALSE(screen.IsFullscreen());
  EXPECT_EQ(screen.GetParams().windowWidth, 1280u);
  EXPECT_EQ(DXLGetAppData().fullScreen, 0u);
  EXPECT_EQ(DXLGetAppData().screenWidth, 1280u);
  EXPECT_EQ(DXLGetAppData().screenHeight, 800u);
  ExpectArea(screen.Area(), 1280, 800, 0, 0);  // 800 / 1280 is exactly 16:10

  // An offered window size still opens at the default size (kept as
  // specified: a window always opens at the default size).
  p.windowWidth = 800;
  p.windowHeight = 600;
  ASSERT_TRUE(screen.SetParams(p));
  ASSERT_TRUE(screen.Apply());
  EXPECT_EQ(DXLGetAppData().screenWidth, 1280u);

  // A full-screen size the display does not offer: the default window on
  // the desktop's refresh.
  p.fullscreen = 1;
  p.screenWidth = 1366;
  p.screenHeight = 768;
  p.refresh = 75;
  ASSERT_TRUE(screen.SetParams(p));
  EXPECT_FALSE(screen.IsFullscreen());
  EXPECT_EQ(screen.GetParams().windowWidth, 1280u);
  EXPECT_EQ(screen.GetParams().refresh, 60u);
  ASSERT_TRUE(screen.Apply());
  EXPECT_EQ(DXLGetAppData().fullScreen, 0u);

  // An offered mode is taken in full screen.
  p.screenWidth = 800;
  p.screenHeight = 600;
  ASSERT_TRUE(screen.SetParams(p));
  ASSERT_TRUE(screen.Apply());
  EXPECT_EQ(DXLGetAppData().fullScreen, 1u);
  ExpectArea(screen.Area(), 800, 600, 0, 0);
}

TEST(GameScreen, ASmallDesktopOffersOnlyTheSmallestWindow) {
  ScreenRig rig(800, 600);
  GameScreen screen;
  SCREENPARAMS p;
  p.fullscreen = 0;
  ASSERT_TRUE(screen.Init(p));
  EXPECT_EQ(screen.GetModeCount(), 1u);
  EXPECT_EQ(screen.GetWindowSize(0).width, 800u);
  EXPECT_EQ(screen.GetWindowSize(7).width, 800u);  // out of range: the first
  ExpectArea(screen.Area(), 800, 600, 0, 0);
}

// A replay's size: a window of it where one fits (whatever the window sizes
// offered), full screen at it where the display offers that mode and full
// screen is asked for or no window fits; else the screen runs as it would,
// its client area telling the runner that the replay cannot play.
TEST(GameScreen, AReplaysSizeIsHeldWhereTheDisplayGivesIt) {
  ScreenRig rig(1280, 1024);
  struct Case {
    SCREENSIZE held;
    u32 fullscreen;
    i32 width, height;
    u32 full;
  };
  for (const Case& c : {Case{{1000, 700}, 1, 1000, 700, 0}, Case{{1280, 1024}, 0, 1280, 1024, 1},
                        Case{{800, 600}, 1, 800, 600, 1}, Case{{1366, 768}, 0, 1024, 768, 0}}) {
    GameScreen screen;
    screen.HoldClientSize(c.held);
    SCREENPARAMS p;
    p.fullscreen = c.fullscreen;
    p.screenWidth = 1024;
    p.screenHeight = 768;
    ASSERT_TRUE(screen.Init(p)) << c.held.width;
    EXPECT_EQ(screen.Area().clientWidth, c.width) << c.held.width;
    EXPECT_EQ(screen.Area().clientHeight, c.height) << c.held.width;
    EXPECT_EQ(DXLGetAppData().fullScreen, c.full) << c.held.width;
    EXPECT_EQ(screen.GetModeCount(), 2u) << c.held.width;  // the sizes offered in the options stay
  }
}

}  // namespace

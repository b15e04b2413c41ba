// The screen mode switched while the game runs on the sample data set, on a
// wide desktop (1,280 x 720) whose full screen leaves margins for the
// borders and whose window is 800 x 600: the window covers the display in
// full screen and comes back as a window; the game area follows the
// window's client area at once, so a click where a control is drawn lands
// on it; and the change reaches every screen as it happens, before any
// frame could catch up on it: the main screen's fit and its windows, the
// comic's window (the window manager), the map's fit, the level's view and
// that of a level kept for later, and the running tutorial last.
#include <gtest/gtest.h>

#include <cmath>

#include "RunningGame.h"
#include "app/Game.h"
#include "app/GameScreen.h"
#include "app/LevelSelectMap.h"
#include "app/MainScreen.h"
#include "engine/DXLApp.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelView.h"
#include "level/scene/GameLevel.h"
#include "platform/input/KeyCodes.h"
#include "platform/os/WindowSystem.h"
#include "resources/ResourceServices.h"
#include "resources/TutorialHooks.h"
#include "ui/CheckBox.h"
#include "ui/WindowManager.h"
#include "windows/ComixBook.h"
#include "windows/ComixWindow.h"
#include "windows/OptionsWindow.h"

namespace {

constexpr i32 kWideWidth = 1280, kWideHeight = 720;

::testing::AssertionResult SameRect(const DXLRECT& a, const DXLRECT& b) {
  if (a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.left << ", " << a.top << ", " << a.right << ", " << a.bottom
                                       << ") is not (" << b.left << ", " << b.top << ", " << b.right << ", "
                                       << b.bottom << ")";
}

// Stands for the running tutorial: when it hears of the change, and the
// game area the screens had taken by then.
class ResizeWitness : public TutorialHooks {
 public:
  bool AllowAction(u32, uintptr_t, const void*) override { return true; }
  void Notify(u32, uintptr_t, const void*) override {}
  void OnScreenResize() override {
    ++calls;
    width = GetResourceServices().screen.width;
  }
  u32 calls = 0;
  i32 width = 0;
};

class ScreenChangeRun : public ::testing::Test {
 protected:
  ScreenChangeRun() : run(kWideWidth, kWideHeight, true) {}

  plat::WindowSystem& ws() { return plat::GetWindowSystem(); }
  plat::WindowHandle Window() { return DXLGetAppData().window; }
  plat::Rect Client() {
    plat::Rect r{0, 0, 0, 0};
    ws().GetClientRect(Window(), &r);
    return r;
  }
  plat::Point ClientOrigin() {
    plat::Point p{0, 0};
    ws().ClientToScreen(Window(), &p);
    return p;
  }
  // The game area the window's client area holds, worked out from the
  // window alone.
  GAMEAREA Area() { return ComputeGameArea(Client().Width(), Client().Height()); }

  // The window covers the display in full screen, or is an 800 x 600
  // window; the services hold the game area of its client area.
  void CheckScreen(bool full) {
    if (full) {
      EXPECT_EQ(Client(), (plat::Rect{0, 0, kWideWidth, kWideHeight}));
      EXPECT_EQ(ClientOrigin(), (plat::Point{0, 0}));
    } else {
      EXPECT_EQ(Client(), (plat::Rect{0, 0, 800, 600}));
    }
    const GAMEAREA area = Area();
    const GAMESCREENAREA& s = GetResourceServices().screen;
    EXPECT_EQ(s.width, area.width);
    EXPECT_EQ(s.height, area.height);
    EXPECT_TRUE(SameRect(s.rect, area.rect));
  }

  // A left click through the window system where the control is drawn: its
  // window's place in the game area, the game area's place in the client
  // area. Each pass of the loop takes one message, or polls the input and
  // runs a frame: the passes go on until the input has been polled.
  void ClickDrawn(GameButton* control) {
    ASSERT_NE(control, nullptr);
    const DXLRECT& r = control->GetRect();
    kis::IntPoint at;
    control->GetParent()->ClientToScreen(&at, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const GAMEAREA area = Area();
    plat::Point p{area.left + at.x, area.top + at.y};
    ws().ClientToScreen(Window(), &p);
    ws().UserPointer(p);
    ws().UserButton(0, true);
    ws().UserButton(0, false);
    while (ws().QueuedMessages() > 0) run.Frame();
    run.Frame();
  }

  OptionsWindow* OpenOptions() {
    auto* options = new OptionsWindow(&run.game.Options());
    for (int i = 0; i < 20; ++i) run.Frame();
    return options;
  }
  GameWindow* OpenedOptions() { return GetWindowManager()->GetAnchor(kAnchorOptions); }

  // The switch as the options window makes it, the tutorial's stand-in
  // watching; it must hear of it once, after the screens.
  void Switch(bool full) {
    ResizeWitness witness;
    GetResourceServices().tutorial = &witness;
    const bool applied = run.game.Options().SetFullscreen(full);
    if (applied) run.game.Options().BuildScreenBorders();
    GetResourceServices().tutorial = nullptr;
    ASSERT_TRUE(applied);
    EXPECT_EQ(witness.calls, 1u);
    EXPECT_EQ(witness.width, Area().width);
    CheckScreen(full);
  }

  // The map's fit of the game area: scale h / 768 outside 768 to 800, its
  // 1,024 wide picture centred.
  void CheckMapFit() {
    const GAMEAREA area = Area();
    const float scale =
        area.height > 800 || area.height < 768 ? static_cast<float>(area.height) / 768.0f : 1.0f;
    const LevelSelectMap* map = run.game.Map();
    EXPECT_FLOAT_EQ(map->GetScale(), scale);
    EXPECT_EQ(map->GetOffsetX(), (area.width - static_cast<i32>(std::lround(1024.0f * scale))) / 2);
  }

  RunningGame run;
};

TEST_F(ScreenChangeRun, TheWindowTheGameAreaAndEveryScreenFollow) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  ASSERT_TRUE(run.ok);
  run.drawEvery = 8;
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  run.NameFirstProfile(u"Tester");
  CheckScreen(true);
  ASSERT_GT(Area().left, 0);  // margins on both sides
  run.Redraw();
  EXPECT_NE(run.Pixel(0, kWideHeight / 2) & 0xFFFFFF, 0u) << "no border at the left";
  EXPECT_NE(run.Pixel(kWideWidth - 1, kWideHeight / 2) & 0xFFFFFF, 0u) << "no border at the right";

  // The main screen: its options window's box clicked where it is drawn
  // makes the window; the window re-centred in the new game area, the main
  // screen fitted to it; its Close then answers where it is drawn now.
  MainScreen* main = run.game.GetMainScreen();
  OptionsWindow* options = OpenOptions();
  ResizeWitness witness;
  GetResourceServices().tutorial = &witness;
  ClickDrawn(options->GetFullscreenBox());
  GetResourceServices().tutorial = nullptr;
  ASSERT_FALSE(run.game.Screen().IsFullscreen());
  EXPECT_EQ(witness.calls, 1u);
  CheckScreen(false);
  const GAMEAREA window = Area();
  EXPECT_EQ(main->GetFit().scale, MainScreen::FitScreen(window.width, window.height).scale);
  EXPECT_EQ(main->GetFit().offsetX, MainScreen::FitScreen(window.width, window.height).offsetX);
  const DXLRECT& at = options->GetRect();
  EXPECT_LE(std::abs((at.left + at.right) / 2 - window.width / 2), 1);
  CheckMapFit();
  ClickDrawn(options->FindControl(OptionsWindow::kClose, 0));
  for (int i = 0; i < 30; ++i) run.Frame();  // it fades out
  EXPECT_EQ(OpenedOptions(), nullptr) << "Close did not answer where it is drawn";

  // And back to full screen the same way: the window covers the display again.
  plat::Rect windowed{0, 0, 0, 0};
  ws().GetWindowRect(Window(), &windowed);
  options = OpenOptions();
  ClickDrawn(options->GetFullscreenBox());
  ASSERT_TRUE(run.game.Screen().IsFullscreen());
  CheckScreen(true);
  EXPECT_EQ(main->GetFit().scale, MainScreen::FitScreen(Area().width, Area().height).scale);
  run.Redraw();
  EXPECT_NE(run.Pixel(0, kWideHeight / 2) & 0xFFFFFF, 0u) << "no border at the left";
  ClickDrawn(options->FindControl(OptionsWindow::kClose, 0));
  for (int i = 0; i < 30; ++i) run.Frame();  // it fades out
  EXPECT_EQ(OpenedOptions(), nullptr) << "Close did not answer where it is drawn";

  // The comic: its window (the window manager's) takes the new game area.
  ASSERT_TRUE(StartComix(0, nullptr));
  ASSERT_TRUE(run.RunTo(kGameStateComic));
  Switch(false);
  {
    // A window of its size again, centred on the display.
    plat::Rect r{0, 0, 0, 0};
    ws().GetWindowRect(Window(), &r);
    EXPECT_EQ(r.Width(), windowed.Width());
    EXPECT_EQ(r.Height(), windowed.Height());
    EXPECT_EQ(r.left, (kWideWidth - r.Width()) / 2);
    EXPECT_EQ(r.top, (kWideHeight - r.Height()) / 2);
  }
  ASSERT_NE(GetComixBook()->GetWindow(), nullptr);
  EXPECT_TRUE(SameRect(GetComixBook()->GetWindow()->GetRect(), DXLRECT{0, 0, Area().width, Area().height}));
  run.game.KeyDown(plat::DIK_ESCAPE, 0);
  run.Frame();
  run.game.KeyDown(plat::DIK_ESCAPE, 0);
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));

  // The map refits at once.
  Switch(true);
  CheckMapFit();

  // A level's view takes the new game area, in the level and kept on the map.
  run.game.Map()->StartLevel(0, false);
  ASSERT_TRUE(run.RunTo(kGameStateLevel));
  GameLevel* level = run.game.World().Level();
  ASSERT_NE(level, nullptr);
  Switch(false);
  EXPECT_EQ(level->Rules().View().GetViewWidth(), Area().width);
  EXPECT_EQ(level->Rules().View().GetViewHeight(), Area().height - 80);
  level->ExitToMap();
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  ASSERT_EQ(run.game.World().Level(), level);
  Switch(true);
  CheckMapFit();
  EXPECT_EQ(level->Rules().View().GetViewWidth(), Area().width);
  EXPECT_EQ(level->Rules().View().GetViewHeight(), Area().height - 80);
}

}  // namespace

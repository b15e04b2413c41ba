// The main screen without pictures: the screen fit and the title's layout
// at the common screen sizes, the sway and zoom on the raw time and the
// layers in whole game frames, the girl's head, wave, blinks and smile step
// by step under the seeded generator, the light rays' sweeps and pauses,
// the smile following the pointer over the menu at most once per 300 ms,
// and the menu over the game's profile store: the greeting, "easy" and
// "hard" with its lock, the first run's new-profile window, Escape, and
// "easy" starting the opening comic or going to the map.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ProfileRig.h"
#include "app/GameProfiles.h"
#include "app/GameWorld.h"
#include "app/MainScreen.h"
#include "base/Random.h"
#include "engine/DXLWindowViewer.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "resources/ResourceServices.h"
#include "testsupport/ViewerRig.h"
#include "ui/ImageButton.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/CreditsWindow.h"
#include "windows/GameWindowManager.h"
#include "windows/OptionsWindow.h"
#include "windows/ProfilesWindow.h"
#include "testsupport/WindowDoor.h"

namespace profiletest {
namespace {

// The game as the main screen sees it, over a real profile store.
class FakeMainScreenHost : public MainScreenHost {
 public:
  explicit FakeMainScreenHost(Store& rig) : rig_(rig), roster_(rig.store, nullptr) {}
  Profile* GetCurrentProfile() const override { return rig_.store.GetCurrent(); }
  u32 GetProfileCount() const override { return rig_.store.GetCount(); }
  ProfileRoster* GetRoster() override { return &roster_; }
  OptionsHooks* GetOptionsHooks() override { return nullptr; }
  void SelectProfile(MapProfile* profile) override {
    log.push_back("select");
    roster_.SelectProfile(profile);
  }
  bool StartOpeningComic() override {
    log.push_back("comic");
    return comic;
  }
  void ChangeScreen(u32 state) override { log.push_back("screen " + std::to_string(state)); }
  void CloseGame() override { log.push_back("close"); }
  std::u16string GetUserName() override { return u"Rosalind Featherstonehaugh"; }

  std::vector<std::string> log;
  bool comic = true;

 private:
  Store& rig_;
  StoreRoster roster_;
};

// A layer that only counts the time its updates get.
class CountingLayer : public MainScreenLayer {
 public:
  CountingLayer(MainScreen* owner, const MAINSCREENLAYERINFO* record) : MainScreenLayer(owner, record) {}
  void Update(u32 ms) override { steps.push_back(ms); }
  std::vector<u32> steps;
};

class MainScreenRig : public ::testing::Test {
 protected:
  MainScreenRig() : rig(dir), host(rig) {
    ResourceServices& s = GetResourceServices();
    s.screen.width = 800;
    s.screen.height = 600;
    s.screen.rect = DXLRECT{0, 0, 800, 600};
    s.timeStep = 10;
    manager = CreateGameWindowManager();
    GetUiServices().windowManager = manager;
    kis::srand(5);
  }
  ~MainScreenRig() override {
    screen.reset();
    delete manager;
    ResetAllServices();
  }
  // A screen over these layer records (kept by the rig).
  MainScreen& Make(std::vector<MAINSCREENLAYERINFO> records) {
    for (const MAINSCREENLAYERINFO& r : records) layers.Add(r);
    screen = std::make_unique<MainScreen>(&layers, &host);
    return *screen;
  }
  ImageButton* Button(u32 command) { return screen->GetMenu()->GetButton(command); }
  // A click on the menu's button through the window manager, the menu dropped in.
  void Command(u32 command) {
    testsupport::Settle(*screen->GetMenu());
    testsupport::Click(*manager, *Button(command));
  }

  TempFolder dir;
  Store rig;
  FakeMainScreenHost host;
  MainScreenLayers layers;
  std::unique_ptr<MainScreen> screen;
  WindowManager* manager;
};

MAINSCREENLAYERINFO LayerOf(u32 kind) {
  MAINSCREENLAYERINFO r{};
  r.kind = kind;
  r.depth = r.zoom = 1.0f;
  return r;
}

TEST(MainScreenLayout, ScreenFitAndTitleAtTheCommonSizes) {
  struct Case {
    i32 w, h;
    float scale, offsetY;
  };
  for (const Case& c : {Case{1024, 768, 1.0f, 384 - 16}, Case{1366, 768, 1366.0f / 1280, 384 - 16},
                        Case{1280, 800, 1.0f, 400}, Case{1280, 1024, 1.28f, 512}, Case{1920, 1080, 1.5f, 540},
                        Case{800, 600, 0.75f, 300}}) {
    const MainScreen::Fit f = MainScreen::FitScreen(c.w, c.h);
    EXPECT_FLOAT_EQ(f.scale, c.scale) << c.w << "x" << c.h;
    EXPECT_FLOAT_EQ(f.offsetX, c.w / 2.0f);
    EXPECT_FLOAT_EQ(f.offsetY, c.offsetY) << c.w << "x" << c.h;
  }
  // The 256-high title reserves its height below itself: the menu's room.
  for (const i32 d : {0, 12}) {
    MainScreen::TitleLayout t = MainScreen::LayOutTitle(800, 600, 0.75f, 256, d);
    EXPECT_EQ(t.title.left, 396 + d);
    EXPECT_EQ(t.title.top, 54);
    EXPECT_EQ(t.title.right, 384);  // width
    EXPECT_EQ(t.title.bottom, 192);  // height
    EXPECT_EQ(t.menuAxis - 141, 447);
    EXPECT_EQ(t.menuTop, 273);
    t = MainScreen::LayOutTitle(1024, 768, 1.0f, 256, d);
    EXPECT_EQ(t.title.left, 492 + d);
    EXPECT_EQ(t.title.top, 96);
    EXPECT_EQ(t.title.right, 512);
    EXPECT_EQ(t.title.bottom, 256);
    EXPECT_EQ(t.menuAxis - 141, 607);
    EXPECT_EQ(t.menuTop, 400);
  }
  // A screen too low for title and room: the title shrinks, no gap.
  const MainScreen::TitleLayout low = MainScreen::LayOutTitle(640, 400, 0.5f, 256, 0);
  EXPECT_EQ(low.title.bottom, 136);  // (400 - 8 - 256) / 256 of 256
  EXPECT_EQ(low.title.top, 8);
  EXPECT_EQ(low.menuTop, 144);
}

TEST_F(MainScreenRig, SwayOnRawTimeLayersInWholeGameFrames) {
  MainScreen& s = Make({LayerOf(kMainScreenPlain)});
  const MAINSCREENLAYERINFO* record = &layers.Layers()[0];
  auto* counting = new CountingLayer(&s, record);
  s.Update(0);  // nothing for 0
  EXPECT_EQ(s.GetSwayX(), 0.0f);
  s.Update(5000);
  EXPECT_NEAR(s.GetSwayX(), -25.0f, 1e-3);
  EXPECT_NEAR(s.GetZoomSway(), -0.07f * (1 - std::cos(5000.0 / 14000 * M_PI)) / 2, 1e-5);
  s.Update(5000);
  EXPECT_NEAR(s.GetSwayX(), -50.0f, 1e-3);
  s.Update(2500);
  EXPECT_GT(s.GetSwayX(), -50.0f);  // back toward +50
  s.Update(1500);  // 14,000 ms in: the zoom at its low
  EXPECT_NEAR(s.GetZoomSway(), -0.07f, 1e-5);
  s.Update(1000);
  EXPECT_NEAR(s.GetSwayX(), 0.0f, 1e-3);
  EXPECT_EQ(s.GetSwayY(), 0.0f);
  // Each big step gave five frames; small ones gather.
  EXPECT_EQ(counting->steps, std::vector<u32>(5, 50));
  const u32 total = s.GetTotalTime();
  s.Update(7);
  EXPECT_EQ(s.GetLastFrames(), 0u);
  s.Update(7);
  EXPECT_EQ(s.GetLastFrames(), 1u);
  EXPECT_EQ(s.GetAccumulator(), 4u);
  EXPECT_EQ(counting->steps.back(), 10u);
  EXPECT_EQ(s.GetTotalTime(), total + 10);
}

// The game does not clear the main screen's frame: what the layers leave
// uncovered the screen clears to black itself. A scene of no layers drawn
// over a frame of another colour leaves none of it.
TEST_F(MainScreenRig, WhatTheLayersLeaveUncoveredIsClearedToBlack) {
  viewertest::ViewerRig view;
  ASSERT_EQ(view.Open(800, 600), 0);
  SetGameViewer(view.viewer.get());
  MainScreen& s = Make({});
  ASSERT_EQ(view.viewer->Clear(0xFFFF00FFu), 0);
  ASSERT_EQ(view.viewer->BeginFrame(), 0);
  s.Draw();
  view.viewer->Present();
  const std::vector<uint32_t> frame = view.Soft()->Frame();
  ASSERT_EQ(frame.size(), 800u * 600u);
  EXPECT_EQ(std::count(frame.begin(), frame.end(), 0xFFFF00FFu), 0);
  EXPECT_EQ(frame.front(), 0xFF000000u);
  screen.reset();
  SetGameViewer(nullptr);
}

TEST_F(MainScreenRig, GirlHeadWaveBlinksAndSmileStepByStep) {
  MainScreen& s = Make({LayerOf(kMainScreenGirl)});
  MainScreenGirl& girl = *new MainScreenGirl(&s, &layers.Layers()[0]);  // the screen owns it
  EXPECT_FLOAT_EQ(MainScreenGirl::HeadAngle(0), -5.0f);
  EXPECT_NEAR(MainScreenGirl::HeadAngle(1500), 0.0f, 1e-4);
  EXPECT_FLOAT_EQ(MainScreenGirl::HeadAngle(3000), 5.0f);
  EXPECT_NEAR(MainScreenGirl::HeadAngle(6000), -5.0f, 1e-4);

  // Made: idle for 5,000 + r, slow blinks first after 1,000 + r in a group of 3 + r.
  EXPECT_EQ(girl.GetSmileState(), MainScreenGirl::kSmileIdle);
  EXPECT_GE(girl.GetSmileTimer(), 5000u);
  EXPECT_LT(girl.GetSmileTimer(), 8000u);
  EXPECT_GE(girl.GetNextBlink(), 1000u);
  EXPECT_LT(girl.GetNextBlink(), 3000u);
  EXPECT_FALSE(girl.IsQuickBlinking());
  const u32 group = girl.GetBlinkGroup();
  EXPECT_GE(group, 3u);
  girl.Update(girl.GetNextBlink() + 30);
  EXPECT_TRUE(girl.IsBlinking());
  EXPECT_EQ(girl.GetBlinkGroup(), group - 1);
  girl.Update(70);
  EXPECT_FALSE(girl.IsBlinking());  // a blink lasts 100 ms
  // Blinks run in groups: slow ones 1,000 to 5,000 ms apart, quick ones 200.
  bool sawQuick = false;
  for (int i = 0; i < 4000; ++i) {
    girl.Update(10);
    sawQuick = sawQuick || girl.IsQuickBlinking();
    ASSERT_LE(girl.GetNextBlink(), girl.IsQuickBlinking() ? 200u : 5000u);
  }
  EXPECT_TRUE(sawQuick);

  // The wave: arm 0..20 degrees, hand 10 less; a pause starts at the clock's 0.
  bool paused = false;
  for (int i = 0; i < 20000 && !paused; ++i) {
    girl.Update(10);
    ASSERT_GE(girl.GetArmAngle(), 0.0f);
    ASSERT_LE(girl.GetArmAngle(), 20.0f);
    ASSERT_FLOAT_EQ(girl.GetHandAngle(), girl.GetArmAngle() - 10.0f);
    if (girl.GetWavePause() > 0) {
      paused = true;
      EXPECT_EQ(girl.GetWaveClock(), 0u);
      EXPECT_GE(girl.GetWavePause(), 900u);
      EXPECT_LE(girl.GetWavePause(), 10000u);
    }
  }
  EXPECT_TRUE(paused);

  // The smile: in over 100 ms, held, out over 100 ms, idle again for 5,000 + r.
  while (girl.GetSmileState() != MainScreenGirl::kSmileIdle) girl.Update(10);
  girl.StartSmile(2000);
  EXPECT_EQ(girl.GetSmileState(), MainScreenGirl::kSmileIn);
  EXPECT_EQ(girl.GetSmileTimer(), 100u);
  girl.Update(40);
  girl.EndSmile();  // reversed where it stands
  EXPECT_EQ(girl.GetSmileState(), MainScreenGirl::kSmileOut);
  EXPECT_EQ(girl.GetSmileTimer(), 40u);
  girl.StartSmile(2000);
  EXPECT_EQ(girl.GetSmileState(), MainScreenGirl::kSmileIn);
  EXPECT_EQ(girl.GetSmileTimer(), 60u);
  girl.Update(60);
  EXPECT_EQ(girl.GetSmileState(), MainScreenGirl::kSmileHold);
  EXPECT_EQ(girl.GetSmileTimer(), 2000u);
  girl.StartSmile(2000);  // a finite hold changes nothing
  girl.StartSmile(MainScreenGirl::kEndless);
  EXPECT_EQ(girl.GetSmileHold(), MainScreenGirl::kEndless);
  girl.Update(60000);
  EXPECT_EQ(girl.GetSmileState(), MainScreenGirl::kSmileHold);
  girl.EndSmile();
  EXPECT_EQ(girl.GetSmileTimer(), 100u);
  girl.Update(100);
  EXPECT_EQ(girl.GetSmileState(), MainScreenGirl::kSmileIdle);
  EXPECT_GE(girl.GetSmileTimer(), 5000u);
  // Idle runs out: a smile of 2,000 ms by itself.
  girl.Update(girl.GetSmileTimer());
  EXPECT_EQ(girl.GetSmileState(), MainScreenGirl::kSmileIn);
  EXPECT_EQ(girl.GetSmileHold(), 2000);
  girl.Update(100);
  girl.Update(1990);
  EXPECT_EQ(girl.GetSmileState(), MainScreenGirl::kSmileHold);
  girl.Update(10);
  EXPECT_EQ(girl.GetSmileState(), MainScreenGirl::kSmileOut);
}

TEST_F(MainScreenRig, LightSweepsAndPausesWithInstantFades) {
  MAINSCREENLAYERINFO record = LayerOf(kMainScreenLight);
  record.lights[0] = MAINSCREENLIGHTINFO{30, 0, 100, 1000, 1000, 0, 0, 500, 500, 3};
  MainScreen& s = Make({record});
  MainScreenLight& light = *new MainScreenLight(&s, &layers.Layers()[0]);
  MainScreenLight::Ray ray{};
  ray.light = &layers.Layers()[0].lights[0];
  ray.pause = 500;
  light.Rays().push_back(ray);
  MainScreenLight::Ray& r = light.Rays()[0];
  light.Update(600);  // the pause ends: the rest of the step sweeps
  EXPECT_EQ(r.pause, 0u);
  EXPECT_EQ(r.duration, 1000u);
  EXPECT_EQ(r.elapsed, 100u);
  light.Update(950);  // the sweep ends after 900: only the 50 left count against the pause
  EXPECT_EQ(r.pause, 450u);
  EXPECT_EQ(r.elapsed, 0u);
  light.Update(3000);  // pause 450, sweep 1,000, pause 500, sweep 1,000, 50 into a pause
  EXPECT_EQ(r.pause, 450u);
  // Fades of 0 ms are instant; others ramp.
  const MAINSCREENLIGHTINFO& l = *r.light;
  EXPECT_EQ(MainScreenLight::RayAlpha(200, l, 0, 1000), 200u);
  EXPECT_EQ(MainScreenLight::RayAlpha(200, l, 999, 1000), 200u);
  const MAINSCREENLIGHTINFO fades{0, 0, 0, 1000, 1000, 200, 400, 0, 0, 3};
  EXPECT_EQ(MainScreenLight::RayAlpha(200, fades, 50, 1000), 50u);
  EXPECT_EQ(MainScreenLight::RayAlpha(200, fades, 500, 1000), 200u);
  EXPECT_EQ(MainScreenLight::RayAlpha(200, fades, 800, 1000), 100u);
  EXPECT_EQ(MainScreenLight::RayAlpha(200, fades, 1000, 1000), 0u);
  const MAINSCREENLIGHTINFO overlong{0, 0, 0, 100, 100, 0, 400, 0, 0, 3};  // a fade longer than the sweep
  EXPECT_LE(MainScreenLight::RayAlpha(200, overlong, 50, 100), 200u);
}

TEST_F(MainScreenRig, FirstRunMenuGreetingLockEscapeAndEasy) {
  testsupport::InterfacePicture picture;  // the menu's buttons take clicks
  MainScreen& s = Make({LayerOf(kMainScreenGirl)});
  s.Enter();
  EXPECT_GE(s.GetPreRunCount(), 100u);
  EXPECT_LE(s.GetPreRunCount(), 200u);
  EXPECT_GE(s.GetTotalTime(), 100u * 50);  // five frames an update
  ASSERT_NE(s.GetMenu(), nullptr);
  EXPECT_EQ(s.GetMenu()->GetX(), s.GetTitle().menuAxis - 141);  // no title picture here: placed on its axis
  EXPECT_EQ(s.GetMenu()->GetY(), s.GetTitle().menuTop);
  // No profile: the new-profile window proposes the user name (cut to 16), "easy" is off.
  auto* made = static_cast<NewProfileWindow*>(manager->FindWindow(NewProfileWindow::kId));
  ASSERT_NE(made, nullptr);
  EXPECT_FALSE(Button(kMainScreenEasy)->IsEnabled());
  EXPECT_EQ(s.GetMenu()->GetGreeting(), nullptr);
  // Escape goes to the window (which keeps it: no cancel on a first run).
  s.OnKeyDown(27, 0);
  EXPECT_TRUE(host.log.empty());
  ASSERT_TRUE(made->Create());
  delete manager->FindWindow(NewProfileWindow::kId);  // closed; gone with the next draw
  ASSERT_NE(rig.store.GetCurrent(), nullptr);
  EXPECT_EQ(std::u16string(rig.store.GetCurrent()->GetName()), u"Rosalind Feather");
  EXPECT_EQ(host.log, std::vector<std::string>{"select"});
  EXPECT_TRUE(Button(kMainScreenEasy)->IsEnabled());
  EXPECT_STREQ(reinterpret_cast<const char*>(s.GetMenu()->GetGreetingKey()),
               reinterpret_cast<const char*>(u"welcom"));
  // The greeting's text stands at the button's place, not centred in it.
  const MainScreenTextButton* greeting = s.GetMenu()->GetGreeting();
  ASSERT_NE(greeting, nullptr);
  EXPECT_EQ(greeting->GetFaceX(), static_cast<float>(greeting->GetRect().left));
  EXPECT_EQ(greeting->GetFaceY(), static_cast<float>(greeting->GetRect().top));
  // "hard" is locked with its hint until the eighth level is first finished.
  EXPECT_TRUE(s.GetMenu()->IsLocked());
  EXPECT_NE(Button(kMainScreenHard)->GetHintWindow(), nullptr);
  GameLevels levels;
  LEVELRESULT result{};
  rig.store.GetCurrent()->RecordUnplayedResult(7, &result);
  s.RefreshMenu();
  EXPECT_FALSE(s.GetMenu()->IsLocked());
  EXPECT_EQ(Button(kMainScreenHard)->GetHintWindow(), nullptr);
  // With no profile (none chosen) "hard" goes off with "easy", whatever the
  // last profile had; its click does nothing.
  Profile* ann = rig.store.GetCurrent();
  EXPECT_EQ(rig.store.Select(nullptr), 11);
  s.RefreshMenu();
  EXPECT_FALSE(Button(kMainScreenHard)->IsEnabled());
  EXPECT_FALSE(Button(kMainScreenEasy)->IsEnabled());
  EXPECT_TRUE(s.GetMenu()->IsLocked());
  host.log.clear();
  Command(kMainScreenHard);
  EXPECT_TRUE(host.log.empty());
  ASSERT_EQ(rig.store.Select(ann), 0);
  s.RefreshMenu();
  EXPECT_TRUE(Button(kMainScreenHard)->IsEnabled());

  // "easy" with no easy level finished: the opening comic; without one, the map.
  host.log.clear();
  Profile* p = rig.store.GetCurrent();
  Profile* fresh = rig.Create(u"Bea");
  ASSERT_EQ(rig.store.SelectProfile(fresh), 0);
  s.RefreshMenu();
  Command(kMainScreenEasy);
  EXPECT_EQ(host.log, std::vector<std::string>{"comic"});
  host.comic = false;
  Command(kMainScreenEasy);
  EXPECT_EQ(host.log.back(), "screen 5");
  ASSERT_EQ(rig.store.SelectProfile(p), 0);
  s.RefreshMenu();
  host.log.clear();
  Command(kMainScreenEasy);  // level 8 is finished: straight to the map
  EXPECT_EQ(host.log, std::vector<std::string>{"screen 5"});
  Command(kMainScreenHard);
  EXPECT_EQ(p->GetRegime(), 1u);
  // Opened again later: "hello".
  ASSERT_EQ(rig.store.SelectProfile(fresh), 0);
  ASSERT_EQ(rig.store.SelectProfile(p), 0);
  s.RefreshMenu();
  EXPECT_STREQ(reinterpret_cast<const char*>(s.GetMenu()->GetGreetingKey()),
               reinterpret_cast<const char*>(u"hello"));

  // Escape with the options window open goes to it; with nothing open it ends the game.
  host.log.clear();
  Command(kMainScreenOptions);
  ASSERT_NE(manager->FindWindow(OptionsWindow::kId), nullptr);
  s.OnKeyDown(27, 0);
  EXPECT_TRUE(host.log.empty());
  delete manager->FindWindow(OptionsWindow::kId);
  s.OnKeyDown(27, 0);
  EXPECT_EQ(host.log, std::vector<std::string>{"close"});

  // The credits label stands below the menu's frame and still takes a click.
  MainScreenMenu* menu = s.GetMenu();
  const DXLRECT c = menu->GetCredits()->GetRect();
  const i32 cx = menu->GetX() + (c.left + c.right) / 2, cy = menu->GetY() + (c.top + c.bottom) / 2;
  EXPECT_FALSE(menu->SpritesWindow::HitTest(cx, cy));
  EXPECT_TRUE(menu->HitTest(cx, cy));
  manager->OnMouseDown(cx, cy, kMouseLeft, 0);
  manager->OnMouseUp(cx, cy, kMouseLeft, 0);
  EXPECT_NE(manager->FindWindow(kCreditsWindowId), nullptr);
  delete manager->FindWindow(kCreditsWindowId);

  // The smile follows the pointer over a window, one change per 300 ms.
  MainScreenGirl* girl = s.GetGirl();
  ASSERT_NE(girl, nullptr);
  while (girl->GetSmileState() != MainScreenGirl::kSmileIdle) s.Update(10);
  s.TrackPointer(true, 10000);
  EXPECT_EQ(girl->GetSmileState(), MainScreenGirl::kSmileIn);
  EXPECT_EQ(girl->GetSmileHold(), MainScreenGirl::kEndless);
  s.TrackPointer(false, 10299);
  EXPECT_EQ(girl->GetSmileState(), MainScreenGirl::kSmileIn);
  s.TrackPointer(false, 10300);
  EXPECT_EQ(girl->GetSmileState(), MainScreenGirl::kSmileOut);
  s.Leave();
  EXPECT_EQ(s.GetMenu(), nullptr);
  EXPECT_TRUE(s.Layers().empty());
}

}  // namespace
}  // namespace profiletest

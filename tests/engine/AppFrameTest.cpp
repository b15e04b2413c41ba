#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/DXLFrameTimer.h"
#include "engine/DXLInput.h"
#include "platform/input/InputHub.h"
#include "platform/input/KeyCodes.h"
#include "platform/os/SingleInstance.h"
#include "testsupport/FrameRig.h"

using framerig::FrameRig;
using framerig::Journal;
using Lines = std::vector<std::string>;

namespace {

[[maybe_unused]] std::string K(u8 key) { return std::to_string(key); }

class AppFrame : public ::testing::Test {
 protected:
  FrameRig rig_;
};

TEST_F(AppFrame, StartUpRunsInOrderAndShutdownFinishesTheLog) {
  EXPECT_EQ(DXLInitInput(true), kAppSetupFailed);  // no device yet
  rig_.StartUp();
  const DXLAPPDATA& a = DXLGetAppData();
  EXPECT_EQ(a.flags, kAppRunning | kAppTexturesCreated | kAppInputCreated | kAppDeviceCreated | kAppWindowCreated);
  EXPECT_EQ(a.screenWidth, 800u);
  EXPECT_EQ(a.screenHeight, 600u);
  EXPECT_EQ(a.aspectX, 4u);
  EXPECT_EQ(a.aspectY, 3u);
  EXPECT_EQ(a.bytesPerPixel, 4u);
  EXPECT_EQ(a.fullScreen, 0u);
  EXPECT_EQ(a.gameWidth, 800u);
  EXPECT_NE(DXLGetAppTextures(), nullptr);
  EXPECT_EQ(a.appState, 1u);
  // Showing the window activated it before the services ran: level 0, silently.
  EXPECT_EQ(a.active, 1u);
  EXPECT_EQ(a.pauseLevel, 0u);
  EXPECT_EQ(FrameRig::Events(), (Lines{"activated", "state 0 1 now 0"}));

  const std::string log = rig_.Log();
  const size_t init = log.find("Initialize DirectX");
  const size_t window = log.find("Create Window");
  const size_t mode = log.find("Change Display Mode");
  ASSERT_NE(init, std::string::npos);
  ASSERT_NE(window, std::string::npos);
  ASSERT_NE(mode, std::string::npos);
  EXPECT_LT(init, window);
  EXPECT_LT(window, mode);

  DXLStartLoop();
  rig_.Run(3);
  EXPECT_GE(FrameRig::Count("render"), 3);
  DXLShutdown();
  EXPECT_EQ(FrameRig::Events(), (Lines{"state 1 4294967295 now 1"}));
  EXPECT_EQ(DXLGetAppData().flags, 0u);
  EXPECT_EQ(DXLGetViewer(), nullptr);
  const std::string finished = rig_.Log();
  EXPECT_EQ(finished.substr(finished.size() - 15), "\r\nLOG FINISHED.");
}

}  // namespace

namespace {

class RunningFrame : public AppFrame {
 protected:
  void SetUp() override {
    rig_.StartUp();
    DXLStartLoop();
    rig_.Run();
    FrameRig::Events();
  }
  const DXLAPPDATA& App() const { return DXLGetAppData(); }
  plat::headless::Script& Script() { return rig_.Script(); }
  // Schedules at "now" on the fake clock.
  plat::headless::Script& Now() { return Script().At(rig_.Clock().NowMs()); }
  void MoveTo(i32 x, i32 y) {
    const plat::Point p = rig_.Screen(x, y);
    Now().MouseMove(p.x, p.y);
  }
};

TEST_F(RunningFrame, ScriptedKeysAndClicksReachTheGameWithCodesModifiersAndClientPoints) {
  MoveTo(200, 150);
  Now().KeyDown(plat::DIK_LSHIFT).After(5).ButtonDown(0).After(5).ButtonUp(0).After(5).ButtonDown(1).After(5).ButtonUp(1);
  Script().After(5).Wheel(240).After(5).KeyDown(plat::DIK_A).After(5).KeyUp(plat::DIK_A).KeyUp(plat::DIK_LSHIFT);
  rig_.Run();
  EXPECT_EQ(FrameRig::Events(),
            (Lines{"kdown " + K(plat::DIK_LSHIFT) + " 2", "kpress " + K(plat::DIK_LSHIFT) + " 2", "mdown 200 150 1 2",
                   "mup 200 150 1 2", "mdown 200 150 4 2", "mup 200 150 4 2", "wheel 200 150 240 0 2",
                   "kdown " + K(plat::DIK_A) + " 2", "kpress " + K(plat::DIK_A) + " 2", "kup " + K(plat::DIK_A) + " 2",
                   "kup " + K(plat::DIK_LSHIFT) + " 0"}));
  // The translated virtual-key code of the key event.
  EXPECT_EQ(DXLKeyboard::GetKeyCodeTable()[plat::DIK_A], 'A');
}

TEST_F(RunningFrame, PressesAndReleasesInsideOneFrameAllReachTheGameInOrder) {
  MoveTo(200, 150);
  rig_.Run();
  FrameRig::Events();
  const std::string shift = K(plat::DIK_LSHIFT), a = K(plat::DIK_A);
  Now().KeyDown(plat::DIK_LSHIFT).ButtonDown(0).ButtonUp(0).KeyUp(plat::DIK_LSHIFT).KeyDown(plat::DIK_A);
  Now().KeyUp(plat::DIK_A).ButtonDown(1).ButtonUp(1).ButtonDown(0).ButtonUp(0);
  rig_.Run();
  // One idle pass took them all: no update or render between them.
  Lines pass;
  for (const std::string& l : Journal()) {
    if (l != "cursor" && l.rfind("move", 0) != 0) pass.push_back(l);
  }
  const Lines expected{"kdown " + shift + " 2", "kpress " + shift + " 2", "mdown 200 150 1 2", "mup 200 150 1 2",
                       "kup " + shift + " 0",   "kdown " + a + " 0",      "kpress " + a + " 0", "kup " + a + " 0",
                       "mdown 200 150 4 0",     "mup 200 150 4 0",        "mdown 200 150 1 0",  "mup 200 150 1 0"};
  const auto first = std::find(pass.begin(), pass.end(), expected.front());
  ASSERT_NE(first, pass.end());
  EXPECT_EQ(Lines(first, first + std::min<std::ptrdiff_t>(pass.end() - first, 12)), expected);
}

TEST_F(RunningFrame, DoubleClicksReachTheGameWithoutTheSecondPress) {
  MoveTo(10, 10);
  Now().ButtonDown(0).After(10).ButtonUp(0).After(100).ButtonDown(0).After(10).ButtonUp(0);
  rig_.Run();
  EXPECT_EQ(FrameRig::Events(), (Lines{"mdown 10 10 1 0", "mup 10 10 1 0", "dbl 10 10 0", "mup 10 10 1 0"}));
}

TEST_F(RunningFrame, DeactivationWaitsForAClickInsideTheClientArea) {
  Now().Deactivate();
  rig_.Run(2);
  EXPECT_EQ(App().pauseLevel, 1u);
  EXPECT_TRUE(App().frameTimer->IsPaused());
  EXPECT_EQ(App().currentCursorSlot, 0x102u);
  EXPECT_EQ(FrameRig::Events(), (Lines{"pause 1", "deactivated"}));
  Journal().clear();
  rig_.Run(1);
  EXPECT_EQ(FrameRig::Count("update"), 1);  // level 1 still updates and renders
  EXPECT_EQ(FrameRig::Count("render"), 1);
  EXPECT_EQ(FrameRig::Count("cursor"), 0);  // the cursor query only at level 0

  // Back in front (the program gets focus), but still waiting: keys and
  // presses outside the client area do nothing; the first press inside
  // resumes and is swallowed, its release reaches the game.
  Now().Activate();
  rig_.Run();
  FrameRig::Events();
  EXPECT_EQ(App().pauseLevel, 0u);  // activation with the windowed option resumes at once
  Now().Deactivate();
  rig_.Run();
  FrameRig::Events();

  MoveTo(800, 300);  // the right edge is outside
  Now().ButtonDown(0).After(5).ButtonUp(0);
  rig_.Run();
  EXPECT_EQ(App().pauseLevel, 1u);
  EXPECT_EQ(FrameRig::Events(), Lines{});  // the device lost focus: no press, no release
}

TEST_F(RunningFrame, WaitingLevelResumesOnFirstInputWhichIsSwallowed) {
  DXLRequestPause(kPauseWait);
  EXPECT_EQ(FrameRig::Events(), (Lines{"pause 1"}));
  MoveTo(799, 599);
  Now().ButtonDown(0).After(5).ButtonUp(0).After(600).ButtonDown(0).After(5).ButtonUp(0);
  rig_.Run();
  EXPECT_EQ(App().pauseLevel, 0u);
  EXPECT_EQ(FrameRig::Events(), (Lines{"pause 2", "mup 799 599 1 0", "mdown 799 599 1 0", "mup 799 599 1 0"}));

  DXLRequestPause(kPauseWait);
  Now().KeyDown(plat::DIK_E).After(5).KeyUp(plat::DIK_E);
  rig_.Run();
  EXPECT_EQ(FrameRig::Events(), (Lines{"pause 1", "pause 2", "kup " + K(plat::DIK_E) + " 0"}));
}

TEST_F(RunningFrame, MinimiseSuspendsReleasesHeldInputAndKeepsTimeOutOfTheGame) {
  Now().KeyDown(plat::DIK_W);
  MoveTo(30, 40);
  Now().ButtonDown(0);
  rig_.Run();
  FrameRig::Events();
  const u32 gameTime = DXLGetTimeMs();
  Now().Minimise();
  rig_.Run();
  EXPECT_EQ(App().pauseLevel, 2u);
  EXPECT_FALSE(App().frameTimer->IsRunning());
  const Lines events = FrameRig::Events();
  EXPECT_EQ(events, (Lines{"mup 30 40 1 0", "kup " + K(plat::DIK_W) + " 0", "pause 3", "deactivated"}));

  // Suspended: no update, render or input; every idle pass sleeps 50 ms.
  const u32 before = rig_.Clock().NowMs();
  for (int i = 0; i < 200; ++i) DXLRunPass();
  EXPECT_EQ(rig_.Clock().NowMs() - before, 200u * 50u);
  Now().KeyUp(plat::DIK_W).KeyDown(plat::DIK_Q).ButtonUp(0);
  rig_.Run();
  EXPECT_TRUE(Journal().empty());
  EXPECT_EQ(DXLGetTimeMs(), gameTime);

  Now().Restore();
  rig_.Run(2);
  EXPECT_EQ(App().pauseLevel, 0u);
  // Q, pressed while suspended, reaches the game once the window is in front.
  EXPECT_EQ(FrameRig::Events(), (Lines{"pause 6", "activated", "kdown " + K(plat::DIK_Q) + " 0",
                                       "kpress " + K(plat::DIK_Q) + " 0"}));
  EXPECT_TRUE(App().frameTimer->IsRunning());
  EXPECT_FALSE(App().frameTimer->IsPaused());
  EXPECT_LT(DXLGetTimeMs() - gameTime, 1000u);  // the ten seconds minimised are not game time
}

TEST_F(RunningFrame, RestoreWithoutTheModeOptionWaitsForTheUser) {
  DXLShutdown();
  DXLResetCursors();
  FrameRig::Events();
  rig_.StartUp(kAppResumeFullScreen);  // windowed: no resume option for this mode
  DXLStartLoop();
  rig_.Run();
  FrameRig::Events();
  Now().Minimise().After(100).Restore();
  rig_.Run();
  EXPECT_EQ(App().pauseLevel, 1u);
  EXPECT_EQ(FrameRig::Events(), (Lines{"pause 3", "deactivated", "pause 4", "activated"}));
  Now().KeyDown(plat::DIK_M);
  rig_.Run();
  EXPECT_EQ(App().pauseLevel, 0u);
  EXPECT_EQ(FrameRig::Events(), (Lines{"pause 2"}));
}

TEST_F(RunningFrame, PauseRequestTable) {
  struct Step {
    u32 request;
    u32 level;
    const char* called;  // pause callback line, or "" when nothing changes
  };
  const Step steps[] = {{0, 0, ""},  {2, 0, ""},        {4, 0, ""},        {6, 0, ""},        {1, 1, "pause 1"},
                        {1, 1, ""},  {4, 1, ""},        {3, 2, "pause 3"}, {1, 2, ""},        {2, 2, ""},
                        {3, 2, ""},  {4, 1, "pause 4"}, {2, 0, "pause 2"}, {3, 2, "pause 3"}, {6, 0, "pause 6"},
                        {9, 0, ""},  {3, 2, "pause 3"}, {4, 1, "pause 4"}, {6, 0, "pause 6"}};
  for (const Step& s : steps) {
    DXLRequestPause(s.request);
    const std::string where = "request " + std::to_string(s.request);
    EXPECT_EQ(App().pauseLevel, s.level) << where;
    const Lines seen = FrameRig::Events();
    EXPECT_EQ(seen, s.called[0] ? Lines{s.called} : Lines{}) << where;
    EXPECT_EQ(App().frameTimer->IsRunning(), s.level < 2) << where;
    EXPECT_EQ(App().frameTimer->IsPaused(), s.level > 0) << where;
    EXPECT_EQ(App().input->GetKeyboard()->IsEnabled(), s.level < 2) << where;
    EXPECT_EQ(App().mouse->GetTrackCursor(), true) << where;  // the game asked for tracking
    // The frame counter holds one pause per level: two while minimised.
    EXPECT_EQ(App().viewer->GetFrameCounterPauses(), s.level) << where;
  }
}

// A display-mode request keeps what the game asked for where it differs from
// the defaults: full screen 800 x 600 at 75 Hz without vertical sync and
// D24S8, or a window of 640 x 480 with an alpha back buffer, vertical sync
// and D24X8. Vertex processing follows the adapter, the rest the defaults.
TEST_F(RunningFrame, PreparedDisplayModesKeepTheRequest) {
  DXLDEVICESETTINGS s;
  for (const bool fullScreen : {true, false}) {
    std::memset(static_cast<void*>(&s), 0xAB, sizeof s);
    if (fullScreen) {
      ASSERT_EQ(DXLPrepareDisplayMode(75, 800, 600, 75, 22, 0, 0, 0, true, false, false, &s), 0);
    } else {
      ASSERT_EQ(DXLPrepareDisplayMode(77, 640, 480, 0, 21, 0, 0, 0, false, true, false, &s), 0);
    }
    EXPECT_EQ(s.adapter, 0u);
    EXPECT_EQ(s.deviceType, 1u);
    EXPECT_EQ(s.hardwareVertexProcessing, 1u);
    EXPECT_EQ(s.adapterFormat, 22u);
    EXPECT_EQ(s.present.backBufferWidth, fullScreen ? 800u : 640u);
    EXPECT_EQ(s.present.backBufferHeight, fullScreen ? 600u : 480u);
    EXPECT_EQ(s.present.backBufferFormat, fullScreen ? 22u : 21u);
    EXPECT_EQ(s.present.windowed, fullScreen ? 0u : 1u);
    EXPECT_EQ(s.present.fullScreenRefreshRate, fullScreen ? 75u : 0u);
    EXPECT_EQ(s.present.presentationInterval, fullScreen ? 0x80000000u : 1u);
    EXPECT_EQ(s.present.multiSampleType, 0u);
    EXPECT_EQ(s.present.swapEffect, 1u);
    EXPECT_EQ(s.present.enableAutoDepthStencil, 1u);
    EXPECT_EQ(s.present.autoDepthStencilFormat, fullScreen ? 75u : 77u);
    EXPECT_EQ(s.present.flags, 2u);
  }
  // What the adapter cannot do is checked and falls back: 700 x 500 at 61 Hz
  // in R5G6B5 with a 32-bit depth buffer gives the desktop's size, its best
  // rate and the default formats.
  ASSERT_EQ(DXLPrepareDisplayMode(71, 700, 500, 61, 23, 0, 0, 0, true, false, false, &s), 0);
  EXPECT_EQ(s.present.backBufferWidth, 1280u);
  EXPECT_EQ(s.present.backBufferHeight, 1024u);
  EXPECT_EQ(s.present.backBufferFormat, 22u);
  EXPECT_EQ(s.present.fullScreenRefreshRate, 60u);
  EXPECT_EQ(s.present.autoDepthStencilFormat, 80u);
}

TEST_F(RunningFrame, StateChangeInUpdateSkipsCursorRenderAndPresent) {
  plat::gfx::SoftDevice* soft = rig_.Soft();
  ASSERT_NE(soft, nullptr);
  const u32 presents = soft->PresentCount();
  framerig::StateToSetInUpdate() = 5;
  App().mouse->SetTrackCursor(false);
  Journal().clear();
  DXLRunPass();
  EXPECT_EQ(Journal(), (Lines{"update", "state 1 5 now 1"}));
  EXPECT_EQ(soft->PresentCount(), presents);
  EXPECT_EQ(DXLGetAppState(), 5u);
  Journal().clear();
  DXLRunPass();  // same state now: the pass runs through
  EXPECT_EQ(Journal(), (Lines{"update", "cursor", "render"}));
  EXPECT_EQ(soft->PresentCount(), presents + 1);
}

TEST_F(RunningFrame, WithoutRenderCallbackTheScreenIsClearedBlack) {
  DXLCALLBACKS none{};
  DXLSetCallbacks(kCallbackRender, &none);
  DXLRunPass();
  EXPECT_EQ(rig_.Soft()->FramePixel(400, 300), 0xFF000000u);
  DXLSetCallbacks(kCallbackRender | kCallbackUpdate, &none);
  DXLCALLBACKS got = framerig::AllCallbacks();
  DXLGetCallbacks(kCallbackAll, &got);
  EXPECT_EQ(got.render, nullptr);
  EXPECT_EQ(got.update, nullptr);
  EXPECT_NE(got.mouseDown, nullptr);
}

TEST_F(RunningFrame, CallbackMasksSelectExactlyTheirWords) {
  DXLCALLBACKS none{};
  DXLSetCallbacks(0x8, &none);  // selects nothing
  DXLCALLBACKS got{};
  DXLGetCallbacks(kCallbackAll, &got);
  EXPECT_NE(got.render, nullptr);
  DXLSetCallbacks(kCallbackMouse, &none);
  got = DXLCALLBACKS{};
  DXLGetCallbacks(kCallbackAll, &got);
  EXPECT_EQ(got.mouseDown, nullptr);
  EXPECT_EQ(got.mouseUp, nullptr);
  EXPECT_EQ(got.mouseMove, nullptr);
  EXPECT_EQ(got.doubleClick, nullptr);
  EXPECT_EQ(got.mouseWheel, nullptr);
  EXPECT_NE(got.keyDown, nullptr);
  EXPECT_NE(got.cursorQuery, nullptr);
  EXPECT_NE(got.activated, nullptr);
}

TEST_F(RunningFrame, KeyHeldWhileTheDeviceIsLostIsReleasedOnce) {
  Now().KeyDown(plat::DIK_D);
  rig_.Run();
  FrameRig::Events();
  rig_.Windows().Input().LoseDevices();  // the devices lose acquisition, the window stays in front
  rig_.Run(3);
  // The poll that finds the loss reports everything released; the next one
  // acquires again and sees the key still held.
  EXPECT_EQ(FrameRig::Events(), (Lines{"kup " + K(plat::DIK_D) + " 0", "kdown " + K(plat::DIK_D) + " 0",
                                       "kpress " + K(plat::DIK_D) + " 0"}));
  Now().Deactivate();
  rig_.Run(5);
  EXPECT_EQ(FrameRig::Count("kup " + K(plat::DIK_D) + " 0"), 1);
}

TEST_F(RunningFrame, LoadingStatesNeverSleep) {
  DXLSetAppState(0x80000002u, true);
  DXLRequestPause(kPauseWait);
  const u32 before = rig_.Clock().NowMs();
  DXLRunPass();
  EXPECT_EQ(rig_.Clock().NowMs(), before);
  DXLSetAppState(6, true);
  DXLRunPass();
  EXPECT_EQ(rig_.Clock().NowMs(), before + 50);
}

TEST_F(RunningFrame, CursorQueryChoosesTheSlot) {
  MoveTo(100, 100);
  rig_.Run();
  EXPECT_EQ(rig_.Windows().SystemCursorId(rig_.Windows().GetCursor()), plat::IDC_ARROW);
  framerig::WantedCursor() = 1;
  rig_.Run();
  MoveTo(101, 100);
  rig_.Run();
  EXPECT_EQ(App().currentCursorSlot, 1u);
  EXPECT_EQ(rig_.Windows().SystemCursorId(rig_.Windows().GetCursor()), plat::IDC_HAND);
  framerig::WantedCursor() = 5;  // no cursor
  rig_.Run();
  EXPECT_EQ(rig_.Windows().GetCursor(), 0u);
  framerig::WantedCursor() = kCursorDefaultSlot;
  rig_.Run();
  MoveTo(102, 100);
  rig_.Run();
  EXPECT_EQ(rig_.Windows().SystemCursorId(rig_.Windows().GetCursor()), plat::IDC_ARROW);
}

u16 gTyped[8];
int gTypedCount = 0;
void Sink(u16 c) {
  if (gTypedCount < 8) gTyped[gTypedCount++] = c;
}

TEST_F(RunningFrame, TypedCharactersGoToTheSinkAndCloseEndsTheLoop) {
  gTypedCount = 0;
  DXLSetCharSink(Sink);
  Now().Text(u"hé");
  rig_.Run();
  ASSERT_EQ(gTypedCount, 2);
  EXPECT_EQ(gTyped[0], u'h');
  EXPECT_EQ(gTyped[1], u'\u00E9');
  Now().Close();
  rig_.Run();
  EXPECT_TRUE(rig_.Quit());
  EXPECT_TRUE(rig_.Windows().IsWindow(App().window));  // closing never destroys the window
}

TEST(AppFrameAlone, RequestsBeforeTheServicesChangeTheLevelSilently) {
  FrameRig rig;
  DXLInitApp(7 | kAppKeepDirectory);
  DXLSetPauseCallback(framerig::Pause);
  DXLRequestPause(kPauseSuspend);
  EXPECT_EQ(DXLGetAppData().pauseLevel, 2u);
  DXLRequestPause(kPauseReactivateResume);
  EXPECT_EQ(DXLGetAppData().pauseLevel, 0u);
  EXPECT_TRUE(Journal().empty());
}

TEST(AppFrameAlone, SecondInstanceIsRefusedAndTheFirstComesForward) {
  FrameRig rig;
  // The first instance: holds the lock and has its window minimised.
  plat::SingleInstance first(rig.Folder(), plat::LockOn::Folder);
  ASSERT_EQ(first.Acquire(framerig::kClassName), plat::InstanceStatus::First);
  plat::WindowClass cls{0, viewertest::TestWindowProc, plat::GetModuleHandle(), 0, 0, 0, framerig::kClassName};
  ASSERT_NE(rig.Windows().RegisterClass(cls), 0);
  const plat::WindowHandle other =
      rig.Windows().CreateWindowEx(0, framerig::kClassName, u"", 0x00CA0000, 10, 10, 300, 200, 0, 0, 0);
  rig.Windows().ShowWindow(other, plat::SW_MINIMIZE);

  DXLInitApp(7 | kAppKeepDirectory);
  EXPECT_EQ(DXLCreateWindow(0, plat::GetModuleHandle(), framerig::kClassName, u"", DXLGameWindowProc, 107,
                            framerig::GameFilter),
            kAppAlreadyRunning);
  EXPECT_EQ(DXLGetLastResult(), kAppAlreadyRunning);
  EXPECT_EQ(DXLGetViewer(), nullptr);
  EXPECT_FALSE(rig.Windows().IsIconic(other));
  EXPECT_EQ(rig.Windows().GetForegroundWindow(), other);
  EXPECT_EQ(DXLInitInput(true), kAppAlreadyRunning);  // later steps report the failure
}

TEST(AppFrameAlone, ACheckMadeBeforeTheLogKeepsItsLockThroughTheStart) {
  FrameRig rig;
  ASSERT_EQ(DXLCheckSingleInstance(framerig::kClassName), 0);
  rig.StartUp();  // its DXLCreateWindow finds the lock held by this start
  plat::SingleInstance other(rig.Folder(), plat::LockOn::Folder);  // the folder set is locked itself
  EXPECT_EQ(other.Acquire(framerig::kClassName), plat::InstanceStatus::AlreadyRunning);
  DXLShutdown();
  EXPECT_EQ(other.Acquire(framerig::kClassName), plat::InstanceStatus::First);
}

// Without its lock nothing would keep a second copy off the same files:
// the window is not made, and the log says why.
TEST(AppFrameAlone, UnusableLockFolderStopsTheStart) {
  FrameRig rig;
  DXLSetInstanceFolder((rig.Folder() + "/missing/folder").c_str());
  const std::string path = rig.Folder();
  const std::u16string folder(path.begin(), path.end());
  DXLOpenLog(folder.c_str());
  DXLInitApp(7 | kAppKeepDirectory);
  EXPECT_EQ(DXLCreateWindow(0, plat::GetModuleHandle(), framerig::kClassName, u"", DXLGameWindowProc, 107,
                            framerig::GameFilter),
            kAppSetupFailed);
  EXPECT_EQ(DXLGetViewer(), nullptr);
  EXPECT_NE(rig.Log().find("lock unavailable: " + rig.Folder() + "/missing/folder: No such file"), std::string::npos)
      << rig.Log();
}

TEST(AppFrameAlone, NextTokenSplitsTheCommandLine) {
  const wchar* line = u"  -lang\t\"my lang.dat\" x \"open";
  const wchar* cursor = line;
  u32 length = 0;
  const wchar* t = DXLNextToken(&cursor, &length);
  EXPECT_EQ(std::u16string(t, length), u"-lang");
  t = DXLNextToken(&cursor, &length);
  EXPECT_EQ(std::u16string(t, length), u"my lang.dat");
  t = DXLNextToken(&cursor, &length);
  EXPECT_EQ(std::u16string(t, length), u"x");
  EXPECT_EQ(DXLNextToken(&cursor, &length), nullptr);  // no closing quote
  const wchar* blank = u" \t ";
  cursor = blank;
  EXPECT_EQ(DXLNextToken(&cursor, &length), nullptr);
}

}  // namespace

#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "platform/input/KeyCodes.h"

using namespace plat;
using wintest::Log;

namespace {

class WindowMessages : public wintest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    ws().ShowWindow(window_, SW_SHOW);
    Log().clear();
  }
  uint32_t Now() { return session_.Clock().NowMs(); }
  void Advance(uint32_t ms) {
    session_.Clock().Advance(ms);
    Drain();
  }
};

TEST_F(WindowMessages, ShowingActivatesOnceAndHidingLeavesActivation) {
  EXPECT_EQ(ws().GetForegroundWindow(), window_);
  EXPECT_EQ(ws().GetFocus(), window_);
  ws().ShowWindow(window_, SW_HIDE);
  ws().ShowWindow(window_, SW_SHOW);
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(ws().GetForegroundWindow(), window_);
}

TEST_F(WindowMessages, MinimiseThenRestoreArriveInOrder) {
  script().At(Now() + 10).Minimise().After(1000).Restore();
  Advance(10);
  ASSERT_EQ(Log().size(), 3u);
  EXPECT_EQ(Log()[0].message, WM_SYSCOMMAND);
  EXPECT_EQ(Log()[0].wParam, SC_MINIMIZE);
  EXPECT_EQ(Log()[1].message, WM_SIZE);
  EXPECT_EQ(Log()[1].wParam, SIZE_MINIMIZED);
  EXPECT_EQ(Log()[2].message, WM_ACTIVATEAPP);
  EXPECT_EQ(Log()[2].wParam, 0u);
  EXPECT_TRUE(Log()[2].minimisedThen);  // iconic before it hears of the deactivation
  EXPECT_TRUE(ws().IsIconic(window_));
  EXPECT_EQ(ws().GetForegroundWindow(), 0u);

  Log().clear();
  Advance(999);
  EXPECT_TRUE(Log().empty());  // not due yet
  Advance(1);
  ASSERT_EQ(Log().size(), 3u);
  EXPECT_EQ(Log()[0].message, WM_SYSCOMMAND);
  EXPECT_EQ(Log()[0].wParam, SC_RESTORE);
  EXPECT_EQ(Log()[1].message, WM_SIZE);
  EXPECT_EQ(Log()[1].wParam, SIZE_RESTORED);
  EXPECT_EQ(Log()[1].lParam, MakeLParam(640, 480));
  EXPECT_EQ(Log()[2].message, WM_ACTIVATEAPP);
  EXPECT_EQ(Log()[2].wParam, 1u);
  EXPECT_FALSE(Log()[2].minimisedThen);
  EXPECT_FALSE(ws().IsIconic(window_));
  EXPECT_TRUE(script().Done());
}

TEST_F(WindowMessages, DeactivateAndActivateSendOnlyActivateApp) {
  script().At(Now()).Deactivate().After(5).Activate().After(5).Activate();
  Advance(0);
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_ACTIVATEAPP}));
  EXPECT_EQ(Log()[0].wParam, 0u);
  EXPECT_FALSE(Log()[0].minimisedThen);
  Advance(10);
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_ACTIVATEAPP, WM_ACTIVATEAPP}));  // the second activation is silent
  EXPECT_EQ(Log()[1].wParam, 1u);
}

TEST_F(WindowMessages, CloseThroughTheDefaultProcedureDestroysTheWindow) {
  script().At(Now()).Close();
  Advance(0);
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_CLOSE, WM_DESTROY}));
  EXPECT_FALSE(ws().IsWindow(window_));
  EXPECT_EQ(ws().GetForegroundWindow(), 0u);
}

TEST_F(WindowMessages, QuitComesAfterEveryPostedMessageAndOnlyOnce) {
  ws().PostQuitMessage(3);
  ws().PostMessage(window_, WM_CLOSE, 0, 0);
  Msg msg{};
  ASSERT_TRUE(ws().PeekMessage(&msg, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_CLOSE);
  ASSERT_TRUE(ws().PeekMessage(&msg, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_CLOSE);
  ASSERT_TRUE(ws().PeekMessage(&msg, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_EQ(msg.window, 0u);
  EXPECT_FALSE(ws().PeekMessage(&msg, PM_REMOVE));
}

TEST_F(WindowMessages, MessagesOfADestroyedWindowAreDropped) {
  ws().PostMessage(window_, WM_CHAR, 'a', 1);
  ws().DestroyWindow(window_);
  Msg msg{};
  EXPECT_FALSE(ws().PeekMessage(&msg, PM_REMOVE));
  EXPECT_FALSE(ws().PostMessage(window_, WM_CHAR, 'b', 1));
  EXPECT_EQ(ws().SendMessage(window_, WM_CHAR, 'c', 1), 0);
}

TEST_F(WindowMessages, PointerOverClientGetsSetCursorThenMove) {
  ws().SetCursor(0);
  script().At(Now()).MouseMove(110, 70);
  Advance(0);
  ASSERT_EQ(Log().size(), 2u);
  EXPECT_EQ(Log()[0].message, WM_SETCURSOR);
  EXPECT_EQ(Log()[0].wParam, window_);
  EXPECT_EQ(LoWord(static_cast<uintptr_t>(Log()[0].lParam)), HTCLIENT);
  EXPECT_EQ(HiWord(static_cast<uintptr_t>(Log()[0].lParam)), WM_MOUSEMOVE);
  EXPECT_EQ(ws().GetCursor(), arrow_);  // the class cursor, put there by the default procedure
  EXPECT_EQ(Log()[1].message, WM_MOUSEMOVE);
  EXPECT_EQ(XFromLParam(Log()[1].lParam), 10);
  EXPECT_EQ(YFromLParam(Log()[1].lParam), 20);
}

TEST_F(WindowMessages, PointerOverCaptionOrOutsideSendsNoMouseMessage) {
  script().At(Now()).MouseMove(200, 35).After(1).MouseMove(98, 300).After(1).MouseMove(900, 900).ButtonDown(0);
  Advance(0);
  ASSERT_EQ(Log().size(), 1u);
  EXPECT_EQ(Log()[0].message, WM_SETCURSOR);
  EXPECT_EQ(LoWord(static_cast<uintptr_t>(Log()[0].lParam)), HTCAPTION);
  Advance(1);
  ASSERT_EQ(Log().size(), 2u);
  EXPECT_EQ(LoWord(static_cast<uintptr_t>(Log()[1].lParam)), HTBORDER);
  Advance(1);
  EXPECT_EQ(Log().size(), 2u);  // nothing of ours under the pointer
}

TEST_F(WindowMessages, ButtonsAndWheelCarryClientPointsAndKeyFlags) {
  script().At(Now()).MouseMove(300, 250).KeyDown(DIK_LSHIFT).ButtonDown(0).ButtonDown(1).ButtonUp(0).Wheel(-120);
  Advance(0);
  std::vector<wintest::Seen> mouse;
  for (const auto& s : Log()) {
    if (s.message >= WM_MOUSEMOVE && s.message <= WM_MOUSEWHEEL) mouse.push_back(s);
  }
  ASSERT_EQ(mouse.size(), 5u);
  EXPECT_EQ(mouse[1].message, WM_LBUTTONDOWN);
  EXPECT_EQ(mouse[1].wParam, MK_LBUTTON | MK_SHIFT);
  EXPECT_EQ(XFromLParam(mouse[1].lParam), 200);
  EXPECT_EQ(YFromLParam(mouse[1].lParam), 200);
  EXPECT_EQ(mouse[2].message, WM_RBUTTONDOWN);
  EXPECT_EQ(mouse[2].wParam, MK_LBUTTON | MK_RBUTTON | MK_SHIFT);
  EXPECT_EQ(mouse[3].message, WM_LBUTTONUP);
  EXPECT_EQ(mouse[3].wParam, MK_RBUTTON | MK_SHIFT);
  EXPECT_EQ(mouse[4].message, WM_MOUSEWHEEL);
  EXPECT_EQ(WheelDeltaFromWParam(mouse[4].wParam), -120);
  EXPECT_EQ(LoWord(mouse[4].wParam), MK_RBUTTON | MK_SHIFT);
  EXPECT_EQ(XFromLParam(mouse[4].lParam), 300);  // wheel points are screen points
}

TEST_F(WindowMessages, PointerIsClampedToTheDesktopAndPlacedWithoutMessages) {
  ws().UserPointer(Point{-50, 5000});
  Point p{};
  ws().GetCursorPos(&p);
  EXPECT_EQ(p, (Point{0, 1023}));
  // Placed (as a replay's start does), even over the client: no message.
  Advance(0);
  Log().clear();
  ws().PlacePointer(Point{110, 70});
  ws().PlacePointer(Point{5000, -3});
  Advance(0);
  EXPECT_TRUE(Log().empty());
  ws().GetCursorPos(&p);
  EXPECT_EQ(p, (Point{1279, 0}));
}

TEST_F(WindowMessages, SetCursorOverTheFrameShowsTheSystemArrow) {
  const CursorHandle hand = ws().LoadCursor(0, IDC_HAND);
  ws().SetCursor(hand);
  EXPECT_EQ(ws().DefWindowProc(window_, WM_SETCURSOR, window_, MakeLParam(HTCAPTION, WM_MOUSEMOVE)), 1);
  EXPECT_EQ(ws().GetCursor(), arrow_);
  ws().SetCursor(hand);
  EXPECT_EQ(ws().DefWindowProc(window_, WM_SETCURSOR, window_, MakeLParam(HTNOWHERE, WM_MOUSEMOVE)), 0);
  EXPECT_EQ(ws().GetCursor(), hand);
}

TEST_F(WindowMessages, UserActionsInOneStepRunInTheOrderWritten) {
  script().At(Now() + 5).Text(u"b").At(Now() + 5).Text(u"c").At(Now()).Text(u"a");
  Advance(5);
  ASSERT_EQ(Log().size(), 3u);
  EXPECT_EQ(Log()[0].wParam, u'a');
  EXPECT_EQ(Log()[1].wParam, u'b');
  EXPECT_EQ(Log()[2].wParam, u'c');
}

TEST_F(WindowMessages, ScriptTimesSurviveTheClockWrapping) {
  session_.Clock().Set(0xFFFFFFF0u);
  script().At(0xFFFFFFF0u + 0x20).Text(u"x");
  Advance(0x10);
  EXPECT_TRUE(Log().empty());
  Advance(0x10);
  ASSERT_EQ(Log().size(), 1u);
}

}  // namespace

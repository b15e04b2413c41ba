#include <gtest/gtest.h>

#include "WindowTestSupport.h"

using namespace plat;
using wintest::kWindowedStyle;

namespace {

class WindowGeometry : public wintest::WindowFixture {};

WindowPlacement Placement(WindowSystem& ws, WindowHandle w) {
  WindowPlacement p{};
  p.length = sizeof(WindowPlacement);
  EXPECT_TRUE(ws.GetWindowPlacement(w, &p));
  return p;
}

TEST_F(WindowGeometry, AdjustWindowRectGrowsByFrameAndCaptionOnlyForFramedStyles) {
  Rect r{10, 20, 110, 220};
  ASSERT_TRUE(ws().AdjustWindowRect(&r, kWindowedStyle, false));
  EXPECT_EQ(r, (Rect{6, -4, 114, 224}));
  Rect popup{10, 20, 110, 220};
  ws().AdjustWindowRect(&popup, WS_POPUP | WS_SYSMENU, false);
  EXPECT_EQ(popup, (Rect{10, 20, 110, 220}));
  EXPECT_FALSE(ws().AdjustWindowRect(nullptr, kWindowedStyle, false));
}

TEST_F(WindowGeometry, ClientAndOuterRectanglesDifferByTheFrame) {
  Rect outer{}, client{};
  ASSERT_TRUE(ws().GetWindowRect(window_, &outer));
  ASSERT_TRUE(ws().GetClientRect(window_, &client));
  EXPECT_EQ(outer, (Rect{96, 26, 744, 534}));
  EXPECT_EQ(client, (Rect{0, 0, 640, 480}));

  Point p{0, 0};
  ASSERT_TRUE(ws().ClientToScreen(window_, &p));
  EXPECT_EQ(p, (Point{100, 50}));
  Point s{105, 52};
  ASSERT_TRUE(ws().ScreenToClient(window_, &s));
  EXPECT_EQ(s, (Point{5, 2}));
  Point above{150, 30};  // on the caption: negative client y
  ws().ScreenToClient(window_, &above);
  EXPECT_EQ(above, (Point{50, -20}));
}

TEST_F(WindowGeometry, CreatedHiddenAndStyleReportsStateBits) {
  EXPECT_FALSE(ws().IsWindowVisible(window_));
  EXPECT_EQ(ws().GetWindowLong(window_, GWL_STYLE), kWindowedStyle);
  ws().ShowWindow(window_, SW_SHOW);
  EXPECT_EQ(ws().GetWindowLong(window_, GWL_STYLE), kWindowedStyle | WS_VISIBLE);
  ws().ShowWindow(window_, SW_MINIMIZE);
  EXPECT_EQ(ws().GetWindowLong(window_, GWL_STYLE), kWindowedStyle | WS_VISIBLE | WS_MINIMIZE);

  // State bits written through SetWindowLong change nothing.
  const uint32_t previous = ws().SetWindowLong(window_, GWL_STYLE, WS_POPUP | WS_SYSMENU | WS_MAXIMIZE);
  EXPECT_EQ(previous, kWindowedStyle | WS_VISIBLE | WS_MINIMIZE);
  EXPECT_FALSE(ws().IsZoomed(window_));
  EXPECT_TRUE(ws().IsIconic(window_));
  EXPECT_EQ(ws().GetWindowLong(window_, GWL_STYLE), WS_POPUP | WS_SYSMENU | WS_VISIBLE | WS_MINIMIZE);
}

TEST_F(WindowGeometry, PopupStyleMakesTheClientAreaTheWholeWindow) {
  ws().SetWindowLong(window_, GWL_STYLE, WS_POPUP | WS_SYSMENU);
  Rect client{};
  ws().GetClientRect(window_, &client);
  EXPECT_EQ(client, (Rect{0, 0, 648, 508}));
  Point p{0, 0};
  ws().ClientToScreen(window_, &p);
  EXPECT_EQ(p, (Point{96, 26}));
}

TEST_F(WindowGeometry, MinimisedWindowHasEmptyClientAndKeepsItsRestorePlacement) {
  ws().ShowWindow(window_, SW_SHOW);
  ws().ShowWindow(window_, SW_MINIMIZE);
  Rect client{1, 1, 1, 1};
  ws().GetClientRect(window_, &client);
  EXPECT_EQ(client, (Rect{0, 0, 0, 0}));
  Rect outer{};
  ws().GetWindowRect(window_, &outer);
  EXPECT_EQ(outer.left, -32000);

  WindowPlacement p = Placement(ws(), window_);
  EXPECT_EQ(p.showCmd, static_cast<uint32_t>(SW_SHOWMINIMIZED));
  EXPECT_EQ(p.normalPosition, (Rect{96, 26, 744, 534}));
  EXPECT_EQ(p.flags, 0u);

  ws().ShowWindow(window_, SW_RESTORE);
  ws().GetClientRect(window_, &client);
  EXPECT_EQ(client, (Rect{0, 0, 640, 480}));
}

TEST_F(WindowGeometry, MaximisedThenMinimisedRestoresToMaximised) {
  ws().ShowWindow(window_, SW_SHOWMAXIMIZED);
  Rect client{};
  ws().GetClientRect(window_, &client);
  EXPECT_EQ(client, (Rect{0, 0, 1280, 1024}));
  ws().ShowWindow(window_, SW_MINIMIZE);
  EXPECT_EQ(Placement(ws(), window_).flags, WPF_RESTORETOMAXIMIZED);
  ws().ShowWindow(window_, SW_RESTORE);
  EXPECT_TRUE(ws().IsZoomed(window_));
  ws().ShowWindow(window_, SW_RESTORE);
  EXPECT_FALSE(ws().IsZoomed(window_));
  ws().GetClientRect(window_, &client);
  EXPECT_EQ(client, (Rect{0, 0, 640, 480}));
}

TEST_F(WindowGeometry, PlacementRoundTripAcrossAStyleSwitch) {
  ws().ShowWindow(window_, SW_SHOW);
  WindowPlacement saved = Placement(ws(), window_);

  // Away to a full-screen pop-up and back, as a display-mode switch does.
  ws().ShowWindow(window_, SW_HIDE);
  ws().SetWindowLong(window_, GWL_STYLE, WS_POPUP | WS_SYSMENU);
  WindowPlacement full = saved;
  full.normalPosition = Rect{0, 0, 1280, 1024};
  full.flags = 0;
  full.showCmd = SW_RESTORE;
  ASSERT_TRUE(ws().SetWindowPlacement(window_, full));
  EXPECT_TRUE(ws().IsWindowVisible(window_));
  Rect client{};
  ws().GetClientRect(window_, &client);
  EXPECT_EQ(client, (Rect{0, 0, 1280, 1024}));

  ws().SetWindowLong(window_, GWL_STYLE, kWindowedStyle);
  ASSERT_TRUE(ws().SetWindowPlacement(window_, saved));
  WindowPlacement back = Placement(ws(), window_);
  EXPECT_EQ(back.normalPosition, saved.normalPosition);
  EXPECT_EQ(back.showCmd, saved.showCmd);
  ws().GetClientRect(window_, &client);
  EXPECT_EQ(client, (Rect{0, 0, 640, 480}));
}

TEST_F(WindowGeometry, PlacementNeedsItsLengthWord) {
  WindowPlacement p{};
  EXPECT_FALSE(ws().GetWindowPlacement(window_, &p));
  p = Placement(ws(), window_);
  p.length = 0;
  EXPECT_FALSE(ws().SetWindowPlacement(window_, p));
}

TEST_F(WindowGeometry, SetWindowPosMovesAndSizesWithFlags) {
  ASSERT_TRUE(ws().SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW));
  Rect outer{};
  ws().GetWindowRect(window_, &outer);
  EXPECT_EQ(outer, (Rect{96, 26, 744, 534}));

  ws().SetWindowPos(window_, 0, 200, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ws().GetWindowRect(window_, &outer);
  EXPECT_EQ(outer, (Rect{200, 100, 848, 608}));

  ws().SetWindowPos(window_, 0, 0, 0, 808, 628, SWP_NOMOVE | SWP_NOZORDER);
  Rect client{};
  ws().GetClientRect(window_, &client);
  EXPECT_EQ(client, (Rect{0, 0, 800, 600}));

  ws().SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  EXPECT_TRUE(ws().IsTopmost(window_));
  ws().SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  EXPECT_FALSE(ws().IsTopmost(window_));
}

TEST_F(WindowGeometry, CaptionedWindowCannotOutgrowTheDesktop) {
  // A client as large as the desktop still fits; one pixel more does not.
  ws().SetWindowPos(window_, 0, 0, 0, 1288, 1052, SWP_NOZORDER);
  Rect client{};
  ws().GetClientRect(window_, &client);
  EXPECT_EQ(client, (Rect{0, 0, 1280, 1024}));
  ws().SetWindowPos(window_, 0, 0, 0, 1600 + 8, 1200 + 28, SWP_NOZORDER);
  ws().GetClientRect(window_, &client);
  EXPECT_EQ(client, (Rect{0, 0, 1280, 1024}));

  // A pop-up is not held.
  ws().SetWindowLong(window_, GWL_STYLE, WS_POPUP | WS_SYSMENU);
  ws().SetWindowPos(window_, 0, 0, 0, 1600, 1200, SWP_NOZORDER);
  ws().GetClientRect(window_, &client);
  EXPECT_EQ(client, (Rect{0, 0, 1600, 1200}));
}

intptr_t MinTrackProc(WindowHandle w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == WM_GETMINMAXINFO) {
    auto* info = reinterpret_cast<MinMaxInfo*>(lParam);
    info->minTrackSize = Point{400 + 8, 300 + 28};
    return 0;
  }
  return GetWindowSystem().DefWindowProc(w, message, wParam, lParam);
}

TEST_F(WindowGeometry, MinimumTrackingSizeFromTheWindowProcedureHolds) {
  WindowClass cls{0, MinTrackProc, 0, 0, 0, 0, u"MinTrack"};
  ASSERT_NE(ws().RegisterClass(cls), 0);
  const WindowHandle w = ws().CreateWindowEx(0, u"MinTrack", u"", kWindowedStyle, 10, 10, 100, 100, 0, 0, 0);
  Rect client{};
  ws().GetClientRect(w, &client);
  EXPECT_EQ(client, (Rect{0, 0, 400, 300}));
  ws().SetWindowPos(w, 0, 0, 0, 200, 200, SWP_NOMOVE | SWP_NOZORDER);
  ws().GetClientRect(w, &client);
  EXPECT_EQ(client, (Rect{0, 0, 400, 300}));
}

TEST_F(WindowGeometry, SetWindowPosOnAMinimisedWindowSetsItsRestoreRectangle) {
  ws().ShowWindow(window_, SW_MINIMIZE);
  ws().SetWindowPos(window_, 0, 10, 20, 328, 268, SWP_NOZORDER);
  Rect client{};
  ws().GetClientRect(window_, &client);
  EXPECT_EQ(client, (Rect{0, 0, 0, 0}));
  EXPECT_EQ(Placement(ws(), window_).normalPosition, (Rect{10, 20, 338, 288}));
  ws().ShowWindow(window_, SW_RESTORE);
  ws().GetClientRect(window_, &client);
  EXPECT_EQ(client, (Rect{0, 0, 320, 240}));
}

TEST_F(WindowGeometry, ClassesWindowsAndHandles) {
  WindowClass dup{0, wintest::RecordingProc, 0, 0, 0, 0, u"testclass"};
  EXPECT_EQ(ws().RegisterClass(dup), 0);  // names ignore case
  WindowClass noProc{0, nullptr, 0, 0, 0, 0, u"Other"};
  EXPECT_EQ(ws().RegisterClass(noProc), 0);
  EXPECT_EQ(ws().CreateWindowEx(0, u"Missing", u"", 0, 0, 0, 10, 10, 0, 0, 0), 0u);

  EXPECT_NE(window_, kInvalidWindow);
  EXPECT_EQ(ws().FindWindow(u"TESTCLASS"), window_);
  EXPECT_FALSE(ws().UnregisterClass(u"TestClass", 0));  // a window still uses it
  ws().SetWindowText(window_, u"Title \u00e9");
  EXPECT_EQ(ws().GetWindowText(window_), u"Title \u00e9");

  EXPECT_TRUE(ws().DestroyWindow(window_));
  EXPECT_FALSE(ws().IsWindow(window_));
  EXPECT_EQ(ws().FindWindow(u"TestClass"), 0u);
  EXPECT_FALSE(ws().DestroyWindow(window_));
  EXPECT_TRUE(ws().UnregisterClass(u"TestClass", 0));
  Rect r{};
  EXPECT_FALSE(ws().GetClientRect(window_, &r));
  EXPECT_FALSE(ws().GetClientRect(0, &r));
  EXPECT_FALSE(ws().GetClientRect(kInvalidWindow, &r));
}

TEST_F(WindowGeometry, QueuedFailuresOfRegistrationAndCreationHitOnce) {
  WindowClass cls{0, wintest::RecordingProc, 0, 0, 0, 0, u"Later"};
  ws().FailNextRegisterClass();
  EXPECT_EQ(ws().RegisterClass(cls), 0);
  ASSERT_NE(ws().RegisterClass(cls), 0);
  ws().FailNextCreateWindow();
  EXPECT_EQ(ws().CreateWindowEx(0, u"Later", u"", 0, 0, 0, 10, 10, 0, 0, 0), 0u);
  EXPECT_EQ(ws().FindWindow(u"Later"), 0u);
  EXPECT_NE(ws().CreateWindowEx(0, u"Later", u"", 0, 0, 0, 10, 10, 0, 0, 0), 0u);
}

TEST_F(WindowGeometry, DesktopValuesAndSystemCursors) {
  EXPECT_EQ(ws().GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(ws().GetSystemMetrics(SM_CYSCREEN), 1024);
  EXPECT_EQ(ws().GetSystemMetrics(SM_CXDOUBLECLK), 4);
  EXPECT_EQ(ws().GetSystemMetrics(SM_CYDOUBLECLK), 4);
  EXPECT_EQ(ws().GetDoubleClickTime(), 500u);

  const uint32_t ids[] = {IDC_ARROW, IDC_HAND, IDC_IBEAM, IDC_APPSTARTING, IDC_HELP};
  for (uint32_t id : ids) {
    const CursorHandle c = ws().LoadCursor(0, id);
    EXPECT_NE(c, 0u);
    EXPECT_EQ(ws().SystemCursorId(c), id);
  }
  EXPECT_EQ(ws().LoadCursor(0, 12345), 0u);
  EXPECT_NE(ws().LoadCursor(0, IDC_HAND), ws().LoadCursor(0, IDC_ARROW));
  const CursorHandle hand = ws().LoadCursor(0, IDC_HAND);
  const CursorHandle before = ws().SetCursor(hand);
  EXPECT_EQ(ws().GetCursor(), hand);
  EXPECT_EQ(ws().SetCursor(0), hand);
  EXPECT_EQ(ws().GetCursor(), 0u);
  ws().SetCursor(before);
}

}  // namespace

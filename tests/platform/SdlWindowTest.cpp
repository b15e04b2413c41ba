#include <SDL.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

#include "SdlTestSupport.h"
#include "platform/sdl2/SdlMapping.h"

using namespace plat;
using sdltest::Log;

namespace {

class SdlMirror : public sdltest::SdlFixture {
 protected:
  Point RealPosition() {
    Point p{0, 0};
    SDL_GetWindowPosition(Real(), &p.x, &p.y);
    return p;
  }
  Point RealSize() {
    Point p{0, 0};
    SDL_GetWindowSize(Real(), &p.x, &p.y);
    return p;
  }
  uint32_t Flags() { return SDL_GetWindowFlags(Real()); }
  // The client point of the last pointer message the window heard.
  std::optional<intptr_t> LastMove() {
    const auto move = std::find_if(Log().rbegin(), Log().rend(),
                                   [](const sdltest::Seen& s) { return s.message == WM_MOUSEMOVE; });
    if (move == Log().rend()) return std::nullopt;
    return move->lParam;
  }
};

TEST_F(SdlMirror, RealWindowTakesTheClientAreaTitleAndVisibility) {
  EXPECT_EQ(RealPosition(), (Point{100, 50}));
  EXPECT_EQ(RealSize(), (Point{640, 480}));
  EXPECT_STREQ(SDL_GetWindowTitle(Real()), "Test");
  EXPECT_NE(Flags() & SDL_WINDOW_SHOWN, 0u);

  ws().SetWindowText(window_, u"Hof \u00c4rger");
  ws().SetWindowPos(window_, 0, 200, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Drain();
  EXPECT_STREQ(SDL_GetWindowTitle(Real()), "Hof \xC3\x84rger");
  Point client{0, 0};
  ws().ClientToScreen(window_, &client);
  EXPECT_EQ(RealPosition(), client);

  Rect outer{0, 0, 800, 600};
  ws().AdjustWindowRect(&outer, sdltest::kWindowedStyle, false);
  ws().SetWindowPos(window_, 0, 0, 0, outer.Width(), outer.Height(), SWP_NOMOVE | SWP_NOZORDER);
  Drain();
  EXPECT_EQ(RealSize(), (Point{800, 600}));

  ws().ShowWindow(window_, SW_HIDE);
  Drain();
  EXPECT_NE(Flags() & SDL_WINDOW_HIDDEN, 0u);
  ws().ShowWindow(window_, SW_SHOW);
  Drain();
  EXPECT_NE(Flags() & SDL_WINDOW_SHOWN, 0u);
}

TEST_F(SdlMirror, MovingTheRealWindowMovesTheWindowSystemsWindow) {
  PushWindowEvent(SDL_WINDOWEVENT_MOVED, 300, 200);
  Drain();
  Point client{0, 0};
  ws().ClientToScreen(window_, &client);
  EXPECT_EQ(client, (Point{300, 200}));
  Rect size{};
  ws().GetClientRect(window_, &size);
  EXPECT_EQ(size.Width(), 640);  // only moved
}

TEST_F(SdlMirror, PopupStyleGoesFullScreenAndScalesThePointer) {
  PushMotion(30, 20);  // the pointer rests at (130, 70) on the screen
  Drain();
  Log().clear();
  // What the engine does to enter full screen: pop-up style, covering the mode.
  ws().ShowWindow(window_, SW_HIDE);
  ws().SetWindowLong(window_, GWL_STYLE, sdltest::kFullscreenStyle);
  ws().SetWindowPos(window_, HWND_TOPMOST, 0, 0, 800, 600, 0);
  ws().ShowWindow(window_, SW_SHOW);
  Drain();
  EXPECT_EQ(Flags() & SDL_WINDOW_FULLSCREEN_DESKTOP, static_cast<uint32_t>(SDL_WINDOW_FULLSCREEN_DESKTOP));
  // Gone full screen under the resting pointer, the window hears of it at
  // its new place in it, with no event of the pointer's own.
  EXPECT_EQ(LastMove(), std::optional<intptr_t>(MakeLParam(130, 70)));
  session_->Backend().SetFrameSize(window_, 800, 600);
  // Frames of another height alone: the resting pointer told anew.
  for (const uint32_t h : {480u, 600u}) {
    Drain();
    Log().clear();
    session_->Backend().SetFrameSize(window_, 800, h);
    Drain();
    EXPECT_NE(LastMove(), std::nullopt) << h;
  }

  SDL_DisplayMode mode;
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mode), 0);
  const Point real = RealSize();
  ASSERT_EQ(real, (Point{mode.w, mode.h}));
  // A point at the middle of the real window is the middle of the frame.
  PushMotion(real.x / 2, real.y / 2);
  Drain();
  Point screen{0, 0};
  ws().GetCursorPos(&screen);
  EXPECT_EQ(screen, (Point{400, 300}));
  // The far corner of the shown frame is the far corner of the client area.
  const sdl2::FitRect shown = sdl2::FitFrame(800, 600, real.x, real.y);
  PushMotion(shown.x + shown.w - 1, shown.y + shown.h - 1);
  Drain();
  ws().GetCursorPos(&screen);
  EXPECT_GE(screen.x, 798);
  EXPECT_LE(screen.x, 799);
  EXPECT_GE(screen.y, 598);
  EXPECT_LE(screen.y, 599);

  // Back to a captioned window: windowed again, at the client's place. A
  // pointer event still queued from full screen (as SDL queues its own echo
  // of the pointer while it leaves full screen) was made where the window
  // was: it names the same point of the display after the move, not the
  // same point of the window.
  ws().SetWindowLong(window_, GWL_STYLE, sdltest::kWindowedStyle);
  Rect outer{100, 50, 740, 530};
  ws().AdjustWindowRect(&outer, sdltest::kWindowedStyle, false);
  ws().SetWindowPos(window_, HWND_NOTOPMOST, outer.left, outer.top, outer.Width(), outer.Height(), 0);
  PushMotion(230, 170);
  Drain();
  EXPECT_EQ(Flags() & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
  EXPECT_EQ(RealSize(), (Point{640, 480}));
  EXPECT_EQ(RealPosition(), (Point{100, 50}));
  ws().GetCursorPos(&screen);
  EXPECT_EQ(screen, (Point{230, 170}));
  // Events made after the move are the new place's.
  PushMotion(30, 20);
  Drain();
  ws().GetCursorPos(&screen);
  EXPECT_EQ(screen, (Point{130, 70}));
  // Moved under the resting pointer, the window hears of the pointer at its
  // new place in it, with no event of the pointer's own.
  Log().clear();
  ws().SetWindowPos(window_, 0, outer.left + 20, outer.top + 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Drain();
  ws().GetCursorPos(&screen);
  EXPECT_EQ(screen, (Point{130, 70}));
  EXPECT_EQ(LastMove(), std::optional<intptr_t>(MakeLParam(10, 10)));
}

TEST_F(SdlMirror, SystemCursorsShowAndOtherCursorsHide) {
  ws().SetCursor(ws().LoadCursor(0, IDC_HAND));
  Drain();
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  ws().SetCursor(0);  // the game draws its own
  Drain();
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  ws().SetCursor(ws().LoadCursor(0, IDC_IBEAM));
  Drain();
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  ws().SetCursor(0x00777777);  // not one of the system's
  Drain();
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

TEST_F(SdlMirror, DestroyingTheWindowDropsTheRealOneAndTheNextIsTaken) {
  const uint32_t first = RealId();
  ws().DestroyWindow(window_);
  Drain();
  EXPECT_EQ(session_->Backend().Mirror(), nullptr);
  window_ = ws().CreateWindowEx(0, u"SdlTestClass", u"Second", sdltest::kWindowedStyle, 10, 10, 400, 300, 0, 0,
                                GetModuleHandle());
  ws().ShowWindow(window_, SW_SHOW);
  Drain();
  ASSERT_NE(Real(), nullptr);
  EXPECT_NE(RealId(), first);
  EXPECT_STREQ(SDL_GetWindowTitle(Real()), "Second");
}

}  // namespace

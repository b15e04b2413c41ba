// A headless session with one shown window whose client area is 640 x 480 at
// (100, 50) on the screen, for tests of the input devices and the frame. The
// window's procedure hands everything to the default one.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/Session.h"
#include "platform/os/WindowSystem.h"

namespace inputrig {

constexpr uint32_t kWindowedStyle = 0x00CA0000;
constexpr int32_t kClientLeft = 100;
constexpr int32_t kClientTop = 50;

inline intptr_t PlainProc(plat::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return plat::GetWindowSystem().DefWindowProc(window, message, wParam, lParam);
}

// What the callbacks saw, one line per call ("down 30 2", "move 10 20 0", ...).
inline std::vector<std::string>& Seen() {
  static std::vector<std::string> seen;
  return seen;
}

inline void Record(const std::string& line) { Seen().push_back(line); }

inline std::vector<std::string> Take() {
  std::vector<std::string> out;
  out.swap(Seen());
  return out;
}

class Desktop {
 public:
  Desktop() {
    Seen().clear();
    plat::WindowClass cls{0x23, PlainProc, plat::GetModuleHandle(), 0, ws().LoadCursor(0, plat::IDC_ARROW), 0,
                          u"InputRig"};
    EXPECT_NE(ws().RegisterClass(cls), 0);
    plat::Rect outer{kClientLeft, kClientTop, kClientLeft + 640, kClientTop + 480};
    ws().AdjustWindowRect(&outer, kWindowedStyle, false);
    window_ = ws().CreateWindowEx(0, u"InputRig", u"Input", kWindowedStyle, outer.left, outer.top, outer.Width(),
                                  outer.Height(), 0, 0, plat::GetModuleHandle());
    ws().ShowWindow(window_, plat::SW_SHOW);
  }

  plat::WindowSystem& ws() { return session_.Windows(); }
  plat::FakeClock& clock() { return session_.Clock(); }
  plat::WindowHandle window() const { return window_; }
  // Screen point of a client point.
  void PointerAt(int32_t x, int32_t y) { ws().UserPointer(plat::Point{kClientLeft + x, kClientTop + y}); }

 private:
  plat::headless::Session session_;
  plat::PlatformServicesScope installed_{session_.Services()};
  plat::WindowHandle window_ = 0;
};

}  // namespace inputrig

// A headless session with one captioned window of a recording class: every
// message that reaches the window procedure is logged, then handed to the
// default procedure.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/Session.h"
#include "platform/os/WindowSystem.h"

namespace wintest {

struct Seen {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
  bool minimisedThen;  // IsIconic at the time it arrived
};

inline std::vector<Seen>& Log() {
  static std::vector<Seen> log;
  return log;
}

inline intptr_t RecordingProc(plat::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  plat::WindowSystem& ws = plat::GetWindowSystem();
  Log().push_back(Seen{message, wParam, lParam, ws.IsIconic(window)});
  return ws.DefWindowProc(window, message, wParam, lParam);
}

constexpr uint32_t kWindowedStyle = 0x00CA0000;  // caption, system menu, minimise box

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    Log().clear();
    arrow_ = ws().LoadCursor(0, plat::IDC_ARROW);
    plat::WindowClass cls{0x23, RecordingProc, plat::GetModuleHandle(), ws().LoadIcon(plat::GetModuleHandle(), 107),
                          arrow_, ws().GetStockObject(plat::BLACK_BRUSH), u"TestClass"};
    ASSERT_NE(ws().RegisterClass(cls), 0);
    // Client 640 x 480 at (100, 50) on the screen.
    plat::Rect outer{100, 50, 740, 530};
    ws().AdjustWindowRect(&outer, kWindowedStyle, false);
    window_ = ws().CreateWindowEx(0, u"TestClass", u"Test", kWindowedStyle, outer.left, outer.top, outer.Width(),
                                  outer.Height(), 0, 0, plat::GetModuleHandle());
    ASSERT_NE(window_, 0u);
  }

  plat::WindowSystem& ws() { return session_.Windows(); }
  plat::headless::Script& script() { return session_.Events(); }

  // Takes and dispatches every queued message.
  void Drain() {
    plat::Msg msg;
    while (ws().PeekMessage(&msg, plat::PM_REMOVE)) {
      if (msg.message == plat::WM_QUIT) {
        quit_ = true;
        break;
      }
      ws().TranslateMessage(msg);
      ws().DispatchMessage(msg);
    }
  }

  std::vector<uint32_t> Messages() const {
    std::vector<uint32_t> out;
    for (const Seen& s : Log()) out.push_back(s.message);
    return out;
  }

  plat::headless::Session session_;
  plat::PlatformServicesScope installed_{session_.Services()};
  plat::WindowHandle window_ = 0;
  plat::CursorHandle arrow_ = 0;
  bool quit_ = false;
};

}  // namespace wintest

// An SDL session on the dummy video driver (no display needed) with one
// captioned window of a recording class, shown; events are pushed into
// SDL's queue as the desktop would deliver them and taken by the message
// loop, like the program's.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/os/WindowSystem.h"
#include "platform/sdl2/SdlSession.h"
#include "testsupport/SdlEvents.h"

namespace sdltest {

struct Seen {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

inline std::vector<Seen>& Log() {
  static std::vector<Seen> log;
  return log;
}

// When set, system commands are swallowed as a program might.
inline bool& RefuseCommands() {
  static bool refuse = false;
  return refuse;
}

inline intptr_t RecordingProc(plat::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  Log().push_back(Seen{message, wParam, lParam});
  if (message == plat::WM_SYSCOMMAND && RefuseCommands()) return 0;
  return plat::GetWindowSystem().DefWindowProc(window, message, wParam, lParam);
}

constexpr uint32_t kWindowedStyle = 0x00CA0000;  // caption, system menu, minimise box
constexpr uint32_t kFullscreenStyle = 0x80080000;  // pop-up with system menu

class SdlFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "dummy", 0); }

  void SetUp() override {
    Log().clear();
    RefuseCommands() = false;
    std::string error;
    session_ = plat::sdl2::SdlSession::Open(plat::sdl2::SessionOptions{false}, &error);
    ASSERT_NE(session_, nullptr) << error;
    installed_.emplace(session_->Services());
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    plat::WindowClass cls{0x23, RecordingProc, plat::GetModuleHandle(), 0, ws().LoadCursor(0, plat::IDC_ARROW), 0,
                          u"SdlTestClass"};
    ASSERT_NE(ws().RegisterClass(cls), 0);
    // Client 640 x 480 at (100, 50) on the screen.
    plat::Rect outer{100, 50, 740, 530};
    ws().AdjustWindowRect(&outer, kWindowedStyle, false);
    window_ = ws().CreateWindowEx(0, u"SdlTestClass", u"Test", kWindowedStyle, outer.left, outer.top, outer.Width(),
                                  outer.Height(), 0, 0, plat::GetModuleHandle());
    ASSERT_NE(window_, 0u);
    ws().ShowWindow(window_, plat::SW_SHOW);
    Drain();
    ASSERT_NE(session_->Backend().Mirror(), nullptr) << session_->Backend().LastError();
    Log().clear();
  }

  void TearDown() override {
    if (session_ == nullptr) return;
    if (ws().IsWindow(window_)) ws().DestroyWindow(window_);
    ws().UnregisterClass(u"SdlTestClass", plat::GetModuleHandle());
    installed_.reset();
    session_.reset();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }

  plat::WindowSystem& ws() { return session_->Windows(); }
  SDL_Window* Real() { return session_->Backend().RealWindow(window_); }
  uint32_t RealId() { return SDL_GetWindowID(Real()); }

  // Takes and dispatches every queued message.
  void Drain() {
    plat::Msg msg;
    while (ws().PeekMessage(&msg, plat::PM_REMOVE)) {
      if (msg.message == plat::WM_QUIT) break;
      ws().TranslateMessage(msg);
      ws().DispatchMessage(msg);
    }
  }

  void Push(const SDL_Event& event) {
    SDL_Event copy = event;
    ASSERT_EQ(SDL_PushEvent(&copy), 1) << SDL_GetError();
  }
  void PushWindowEvent(uint8_t what, int32_t data1 = 0, int32_t data2 = 0) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = RealId();
    e.window.event = what;
    e.window.data1 = data1;
    e.window.data2 = data2;
    Push(e);
  }
  void PushKey(bool down, SDL_Scancode scancode, SDL_Keycode sym, uint16_t mods = KMOD_NONE) {
    Push(sdlevents::Key(RealId(), down, scancode, sym, mods));
  }
  void PushText(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = RealId();
    std::strncpy(e.text.text, utf8, sizeof(e.text.text) - 1);
    Push(e);
  }
  void PushMotion(int32_t x, int32_t y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = RealId();
    e.motion.x = x;
    e.motion.y = y;
    Push(e);
  }
  void PushButton(bool down, uint8_t button, int32_t x, int32_t y) {
    Push(sdlevents::Button(RealId(), down, button, x, y));
  }

  std::vector<uint32_t> Messages(bool withoutCursor = true) const {
    std::vector<uint32_t> out;
    for (const Seen& s : Log()) {
      if (withoutCursor && s.message == plat::WM_SETCURSOR) continue;
      out.push_back(s.message);
    }
    return out;
  }
  std::vector<uintptr_t> Characters() const {
    std::vector<uintptr_t> out;
    for (const Seen& s : Log()) {
      if (s.message == plat::WM_CHAR) out.push_back(s.wParam);
    }
    return out;
  }

  std::unique_ptr<plat::sdl2::SdlSession> session_;
  std::optional<plat::PlatformServicesScope> installed_;
  plat::WindowHandle window_ = 0;
};

}  // namespace sdltest

// The application frame on SDL's dummy video driver, brought up as the demo
// brings it up: the adapter takes the display's desktop (the dummy display
// is 1024 x 768), and input made by SDL's events reaches the game in order
// however short it is.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/input/KeyCodes.h"
#include "platform/sdl2/SdlSession.h"
#include "testsupport/FrameRig.h"
#include "testsupport/SdlEvents.h"

using framerig::Journal;
using Lines = std::vector<std::string>;

namespace {

class SdlFrame : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "dummy", 0); }

  void SetUp() override {
    Journal().clear();
    DXLSetInstanceFolder(folder_.Path().c_str());
    std::string error;
    session_ = plat::sdl2::SdlSession::Open(plat::sdl2::SessionOptions{false}, &error);
    ASSERT_NE(session_, nullptr) << error;
    installed_.emplace(session_->Services());
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    const std::string path = folder_.Path();
    const std::u16string folder(path.begin(), path.end());
    DXLOpenLog(folder.c_str());
    ASSERT_EQ(DXLInitApp(7 | kAppKeepDirectory), 0);
    ASSERT_EQ(DXLCreateWindow(0, plat::GetModuleHandle(), framerig::kClassName, u"", DXLGameWindowProc, 107,
                              framerig::GameFilter),
              0);
    ASSERT_EQ(DXLPrepareDisplayMode(75, 800, 600, 0, 22, 0, 0, 0, false, false, false, nullptr), 0);
    ASSERT_EQ(DXLSetDisplayMode(nullptr, 0xFF000000u), 0);
    ASSERT_EQ(DXLInitInput(true), 0);
    ASSERT_EQ(DXLInitServices(0x102), 0);
    const DXLCALLBACKS all = framerig::AllCallbacks();
    DXLSetCallbacks(kCallbackAll, &all);
    DXLSetAppState(1, true);
    DXLStartLoop();
    Passes(5);
    Journal().clear();
  }

  void TearDown() override {
    DXLShutdown();
    DXLResetCursors();
    DXLSetInstanceFolder(nullptr);
    installed_.reset();
    session_.reset();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }

  void Passes(int n) {
    for (int i = 0; i < n; ++i) ASSERT_TRUE(DXLRunPass());
  }
  uint32_t RealId() { return SDL_GetWindowID(session_->Backend().RealWindow(DXLGetAppData().window)); }
  void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError(); }
  void Key(bool down, SDL_Scancode code) { Push(sdlevents::Key(RealId(), down, code)); }
  void Button(bool down, uint8_t button, int32_t x, int32_t y) {
    Push(sdlevents::Button(RealId(), down, button, x, y));
  }

  TempFolder folder_;
  std::unique_ptr<plat::sdl2::SdlSession> session_;
  std::optional<plat::PlatformServicesScope> installed_;
};

TEST_F(SdlFrame, TheAdapterHasTheDisplaysDesktopAndTheCentredWindowFitsOnIt) {
  SDL_DisplayMode desktop;
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
  ASSERT_EQ(plat::GetPlatformServices().adapter, &session_->Adapter());
  const plat::gfx::DisplayMode& adapter = session_->Adapter().desktop;
  EXPECT_EQ(adapter.width, static_cast<uint32_t>(desktop.w));
  EXPECT_EQ(adapter.height, static_cast<uint32_t>(desktop.h));
  EXPECT_FALSE(session_->Adapter().modes.empty());
  plat::Rect outer{0, 0, 0, 0};
  ASSERT_TRUE(session_->Windows().GetWindowRect(DXLGetAppData().window, &outer));
  EXPECT_GE(outer.left, 0);
  EXPECT_GE(outer.top, 0);
  EXPECT_LE(outer.right, desktop.w);
  EXPECT_LE(outer.bottom, desktop.h);
  EXPECT_EQ(outer.left, desktop.w - outer.right);  // centred
}

TEST_F(SdlFrame, PressesAndReleasesInsideOneFrameReachTheGameInOrder) {
  Key(true, SDL_SCANCODE_LSHIFT);
  Button(true, SDL_BUTTON_LEFT, 200, 150);
  Button(false, SDL_BUTTON_LEFT, 200, 150);
  Key(false, SDL_SCANCODE_LSHIFT);
  Key(true, SDL_SCANCODE_A);
  Key(false, SDL_SCANCODE_A);
  Button(true, SDL_BUTTON_RIGHT, 201, 150);
  Button(false, SDL_BUTTON_RIGHT, 201, 150);
  Passes(12);  // the events come in one pump; their messages first, then one poll
  Lines seen;
  for (const std::string& l : Journal()) {
    if (l != "update" && l != "render" && l != "cursor" && l.rfind("move", 0) != 0) seen.push_back(l);
  }
  const std::string shift = std::to_string(plat::DIK_LSHIFT), a = std::to_string(plat::DIK_A);
  EXPECT_EQ(seen, (Lines{"kdown " + shift + " 2", "kpress " + shift + " 2", "mdown 200 150 1 2", "mup 200 150 1 2",
                         "kup " + shift + " 0", "kdown " + a + " 0", "kpress " + a + " 0", "kup " + a + " 0",
                         "mdown 201 150 4 0", "mup 201 150 4 0"}));
}

}  // namespace

#include <SDL.h>
#include <gtest/gtest.h>

#include "SdlTestSupport.h"
#include "platform/input/InputHub.h"
#include "platform/input/KeyCodes.h"

using namespace plat;
using sdltest::Log;

namespace {

class SdlEvents : public sdltest::SdlFixture {};

// Scan code and extended-key bit that a key message's lParam carries.
uint32_t ScanBits(intptr_t lParam) { return (static_cast<uint32_t>(lParam) >> 16) & 0x1FF; }

TEST_F(SdlEvents, ScancodesBecomeKeyCodesAndVirtualKeys) {
  struct Case {
    SDL_Scancode scancode;
    SDL_Keycode sym;
    uint8_t dik;
    uint8_t vk;
  };
  const Case cases[] = {
      {SDL_SCANCODE_A, SDLK_a, DIK_A, 'A'},
      {SDL_SCANCODE_Z, SDLK_z, DIK_Z, 'Z'},
      {SDL_SCANCODE_1, SDLK_1, DIK_1, '1'},
      {SDL_SCANCODE_SPACE, SDLK_SPACE, DIK_SPACE, VK_SPACE},
      {SDL_SCANCODE_F1, SDLK_F1, DIK_F1, VK_F1},
      {SDL_SCANCODE_LEFT, SDLK_LEFT, DIK_LEFT, VK_LEFT},
      {SDL_SCANCODE_DELETE, SDLK_DELETE, DIK_DELETE, 0x2E},
      {SDL_SCANCODE_RCTRL, SDLK_RCTRL, DIK_RCONTROL, VK_CONTROL},
      {SDL_SCANCODE_KP_5, SDLK_KP_5, DIK_NUMPAD5, 0x65},
  };
  input::InputHub& hub = ws().Input();
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.scancode));
    Log().clear();
    PushKey(true, c.scancode, c.sym);
    Drain();
    EXPECT_TRUE(hub.KeyHeld(c.dik));
    ASSERT_EQ(Messages(), (std::vector<uint32_t>{WM_KEYDOWN}));
    EXPECT_EQ(Log()[0].wParam, c.vk);
    EXPECT_EQ(ScanBits(Log()[0].lParam), static_cast<uint32_t>(c.dik & 0x7F) | ((c.dik & 0x80) != 0 ? 0x100u : 0u));
    PushKey(false, c.scancode, c.sym);
    Drain();
    EXPECT_FALSE(hub.KeyHeld(c.dik));
    ASSERT_EQ(Messages(), (std::vector<uint32_t>{WM_KEYDOWN, WM_KEYUP}));
  }
}

TEST_F(SdlEvents, KeysWithoutCodeAreDroppedAndRepeatsRepeat) {
  PushKey(true, SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN);
  PushKey(true, static_cast<SDL_Scancode>(SDL_NUM_SCANCODES - 1), SDLK_UNKNOWN);
  Drain();
  EXPECT_TRUE(Log().empty());

  PushKey(true, SDL_SCANCODE_D, SDLK_d);
  PushKey(true, SDL_SCANCODE_D, SDLK_d);  // held down: the system repeats the press
  Drain();
  ASSERT_EQ(Messages(), (std::vector<uint32_t>{WM_KEYDOWN, WM_KEYDOWN}));
  EXPECT_EQ(Log()[0].lParam & (1 << 30), 0);  // first press: was up before
  EXPECT_NE(Log()[1].lParam & (1 << 30), 0);  // repeat: was already down
}

TEST_F(SdlEvents, ControlKeysTypeTheirCharactersAfterTheKey) {
  PushKey(true, SDL_SCANCODE_RETURN, SDLK_RETURN);
  PushKey(true, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE);
  PushKey(true, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  Drain();
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_KEYDOWN, WM_CHAR, WM_KEYDOWN, WM_CHAR, WM_KEYDOWN, WM_CHAR}));
  EXPECT_EQ(Characters(), (std::vector<uintptr_t>{13, 8, 27}));

  Log().clear();
  PushKey(true, SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL);
  PushKey(true, SDL_SCANCODE_C, SDLK_c, KMOD_LCTRL);  // copy
  PushKey(false, SDL_SCANCODE_C, SDLK_c, KMOD_LCTRL);
  Drain();
  EXPECT_EQ(Characters(), (std::vector<uintptr_t>{3}));
  EXPECT_LT(ws().GetKeyState(VK_CONTROL), 0);
}

TEST_F(SdlEvents, TextInputArrivesAsUtf16UnitsWithSurrogatePairs) {
  PushText("a\xC3\xA9\xF0\x9F\x8C\xBD");  // a, e acute, ear of maize (beyond the first plane)
  PushText("\xE2\x82\xAC");              // euro sign
  Drain();
  EXPECT_EQ(Characters(), (std::vector<uintptr_t>{u'a', 0xE9, 0xD83C, 0xDF3D, 0x20AC}));
}

TEST_F(SdlEvents, InvalidTextBytesBecomeReplacementCharacters) {
  PushText("\xFF" "b");
  Drain();
  EXPECT_EQ(Characters(), (std::vector<uintptr_t>{0xFFFD, u'b'}));
}

TEST_F(SdlEvents, FocusChangesActivateAndDeactivateTheProgram) {
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  Drain();
  EXPECT_TRUE(Log().empty());  // a minimise may still follow
  Drain();
  ASSERT_EQ(Messages(), (std::vector<uint32_t>{WM_ACTIVATEAPP}));
  EXPECT_EQ(Log()[0].wParam, 0u);
  EXPECT_EQ(ws().GetForegroundWindow(), 0u);

  PushText("x");  // typing while another program has the keyboard reaches nobody
  Drain();
  EXPECT_TRUE(Characters().empty());

  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  Drain();
  ASSERT_EQ(Messages(), (std::vector<uint32_t>{WM_ACTIVATEAPP, WM_ACTIVATEAPP}));
  EXPECT_EQ(Log()[1].wParam, 1u);
  EXPECT_EQ(ws().GetForegroundWindow(), window_);
}

TEST_F(SdlEvents, MinimiseAndRestoreByTheUserBecomeSystemCommands) {
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  Drain();
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_SYSCOMMAND, WM_SIZE, WM_ACTIVATEAPP}));
  EXPECT_EQ(Log()[0].wParam, SC_MINIMIZE);
  EXPECT_EQ(Log()[1].wParam, SIZE_MINIMIZED);
  EXPECT_EQ(Log()[2].wParam, 0u);
  EXPECT_TRUE(ws().IsIconic(window_));

  Log().clear();
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);  // told twice: nothing more happens
  Drain();
  EXPECT_TRUE(Log().empty());

  PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  Drain();
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_SYSCOMMAND, WM_SIZE, WM_ACTIVATEAPP}));
  EXPECT_EQ(Log()[0].wParam, SC_RESTORE);
  EXPECT_EQ(Log()[1].lParam, MakeLParam(640, 480));
  EXPECT_FALSE(ws().IsIconic(window_));
  EXPECT_EQ(ws().GetForegroundWindow(), window_);
}

TEST_F(SdlEvents, FocusLostBeforeTheMinimiseDeactivatesTheMinimisedWindow) {
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);  // desktops say this first,
  Drain();
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);   // sometimes a pump apart
  Drain();
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_SYSCOMMAND, WM_SIZE, WM_ACTIVATEAPP}));
  EXPECT_EQ(Log()[2].wParam, 0u);
  EXPECT_EQ(ws().GetForegroundWindow(), 0u);
  Drain();
  EXPECT_EQ(Messages().size(), 3u);  // deactivated once
}

TEST_F(SdlEvents, FocusLostWithARefusedMinimiseStillDeactivates) {
  sdltest::RefuseCommands() = true;
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
  Drain();
  Drain();
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_SYSCOMMAND, WM_ACTIVATEAPP}));
  EXPECT_EQ(ws().GetForegroundWindow(), 0u);
}

TEST_F(SdlEvents, FocusBeforeTheRestoreActivatesTheRestoredWindow) {
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  Drain();
  Log().clear();
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);  // some desktops focus first
  Drain();
  EXPECT_TRUE(Log().empty());  // not while still minimised
  PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
  Drain();
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_SYSCOMMAND, WM_SIZE, WM_ACTIVATEAPP}));
  EXPECT_EQ(ws().GetForegroundWindow(), window_);
  Drain();
  EXPECT_EQ(Messages().size(), 3u);  // activated once
}

TEST_F(SdlEvents, FocusOfAMinimisedWindowWaitsForTheProgramToRestoreIt) {
  sdltest::RefuseCommands() = true;  // a program that restores in its own time
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
  Drain();
  sdltest::RefuseCommands() = false;
  ws().ShowWindow(window_, SW_MINIMIZE);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  Drain();
  Drain();
  Log().clear();
  EXPECT_EQ(ws().GetForegroundWindow(), 0u);
  ws().ShowWindow(window_, SW_SHOWNOACTIVATE);  // restored without activating
  Drain();
  EXPECT_EQ(ws().GetForegroundWindow(), window_);  // the focus it had counts now
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_SIZE, WM_ACTIVATEAPP}));

  // Focus lost before the restore cancels it.
  ws().ShowWindow(window_, SW_MINIMIZE);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  Drain();
  ws().ShowWindow(window_, SW_SHOWNOACTIVATE);
  Drain();
  EXPECT_EQ(ws().GetForegroundWindow(), 0u);
}

TEST_F(SdlEvents, TheProgramsOwnMinimiseIsNotReportedBackAsTheUsers) {
  ws().ShowWindow(window_, SW_MINIMIZE);
  Drain();  // the real window is told to minimise
  Log().clear();
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);  // the desktop confirms it
  Drain();
  EXPECT_TRUE(Log().empty());

  ws().ShowWindow(window_, SW_RESTORE);
  Drain();
  Log().clear();
  PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
  Drain();
  EXPECT_TRUE(Log().empty());
}

TEST_F(SdlEvents, ARefusedMinimiseBringsTheRealWindowBack) {
  sdltest::RefuseCommands() = true;
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
  Drain();
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_SYSCOMMAND}));
  EXPECT_FALSE(ws().IsIconic(window_));
  Drain();  // the program has taken everything: its state is mirrored again

  // Had the real window been left minimised, the desktop restoring it would
  // be reported; it was restored by the mirror already, so nothing is.
  sdltest::RefuseCommands() = false;
  Log().clear();
  PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
  Drain();
  EXPECT_TRUE(Log().empty());
  // And the next minimise by the user is reported again.
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
  Drain();
  EXPECT_TRUE(ws().IsIconic(window_));
}

TEST_F(SdlEvents, ClosingTheWindowOrQuittingPostsClose) {
  PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
  sdltest::RefuseCommands() = true;
  // A recording procedure would destroy the window on the first WM_CLOSE;
  // check the posts before anything is dispatched.
  Msg msg;
  ASSERT_TRUE(ws().PeekMessage(&msg, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_CLOSE);
  EXPECT_EQ(msg.window, window_);
  ASSERT_TRUE(ws().PeekMessage(&msg, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_CLOSE);
  EXPECT_EQ(msg.window, window_);
}

TEST_F(SdlEvents, MouseReportsClientPositionsButtonsAndWheel) {
  PushMotion(10, 20);
  PushButton(true, SDL_BUTTON_LEFT, 10, 20);
  PushButton(false, SDL_BUTTON_LEFT, 12, 20);
  PushButton(true, SDL_BUTTON_RIGHT, 12, 20);
  PushButton(true, SDL_BUTTON_X1, 12, 20);  // no message, but the device sees it
  SDL_Event wheel{};
  wheel.type = SDL_MOUSEWHEEL;
  wheel.wheel.windowID = RealId();
  wheel.wheel.y = -2;
  Push(wheel);
  wheel.wheel.y = 1;
  wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
  Push(wheel);
  Drain();
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP,
                                               WM_RBUTTONDOWN, WM_MOUSEWHEEL, WM_MOUSEWHEEL}));
  const std::vector<uint32_t> all = Messages(false);
  EXPECT_EQ(all.front(), WM_SETCURSOR);
  std::vector<sdltest::Seen> mouse;
  for (const sdltest::Seen& s : Log()) {
    if (s.message != WM_SETCURSOR) mouse.push_back(s);
  }
  EXPECT_EQ(mouse[0].lParam, MakeLParam(10, 20));
  EXPECT_EQ(mouse[3].lParam, MakeLParam(12, 20));
  EXPECT_EQ(WheelDeltaFromWParam(mouse[5].wParam), -240);
  EXPECT_EQ(WheelDeltaFromWParam(mouse[6].wParam), -120);
  Point screen{0, 0};
  ws().GetCursorPos(&screen);
  EXPECT_EQ(screen, (Point{112, 70}));
  EXPECT_TRUE(ws().Input().ButtonHeld(1));
  EXPECT_TRUE(ws().Input().ButtonHeld(3));
  EXPECT_FALSE(ws().Input().ButtonHeld(0));
}

TEST_F(SdlEvents, WithoutUserInputOnlyTheWindowsOwnEventsCome) {
  session_->Backend().SetUserInput(false);
  Point before{0, 0};
  ws().GetCursorPos(&before);
  PushMotion(10, 20);
  PushButton(true, SDL_BUTTON_LEFT, 10, 20);
  PushKey(true, SDL_SCANCODE_A, SDLK_a);
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = RealId();
  e.window.event = SDL_WINDOWEVENT_CLOSE;
  Push(e);
  Drain();
  const std::vector<uint32_t> seen = Messages();
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), WM_CLOSE);  // and what closing brings, but no input
  for (uint32_t m : seen) EXPECT_TRUE(m != WM_MOUSEMOVE && m != WM_LBUTTONDOWN && m != WM_KEYDOWN && m != WM_CHAR) << m;
  Point after{0, 0};
  ws().GetCursorPos(&after);
  EXPECT_EQ(after, before);
  EXPECT_FALSE(ws().Input().ButtonHeld(0));
}

TEST_F(SdlEvents, EventsOfOtherWindowsAreIgnored) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = RealId() + 100;
  e.window.event = SDL_WINDOWEVENT_CLOSE;
  Push(e);
  e = SDL_Event{};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = RealId() + 100;
  e.motion.x = 5;
  Push(e);
  Drain();
  EXPECT_TRUE(Log().empty());
}

}  // namespace

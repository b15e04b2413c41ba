#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "platform/input/KeyCodes.h"

using namespace plat;
using wintest::Log;

namespace {

class InputMessages : public wintest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    ws().ShowWindow(window_, SW_SHOW);
    Log().clear();
  }
  void Run() { Drain(); }
  uint32_t Now() { return session_.Clock().NowMs(); }
};

uint32_t ScanCode(intptr_t l) { return (static_cast<uint32_t>(l) >> 16) & 0xFF; }
bool Extended(intptr_t l) { return (static_cast<uint32_t>(l) & (1u << 24)) != 0; }
bool AltContext(intptr_t l) { return (static_cast<uint32_t>(l) & (1u << 29)) != 0; }
bool WasDown(intptr_t l) { return (static_cast<uint32_t>(l) & (1u << 30)) != 0; }
bool Released(intptr_t l) { return (static_cast<uint32_t>(l) & (1u << 31)) != 0; }

TEST_F(InputMessages, KeysCarryVirtualKeyScanCodeAndTransitionBits) {
  script().At(Now()).KeyDown(DIK_RETURN).KeyDown(DIK_RETURN).KeyUp(DIK_RETURN).KeyDown(DIK_NUMPADENTER);
  Run();
  ASSERT_EQ(Messages(), (std::vector<uint32_t>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP, WM_KEYDOWN}));
  EXPECT_EQ(Log()[0].wParam, VK_RETURN);
  EXPECT_EQ(ScanCode(Log()[0].lParam), 0x1Cu);
  EXPECT_FALSE(WasDown(Log()[0].lParam));
  EXPECT_TRUE(WasDown(Log()[1].lParam));  // held: a repeat
  EXPECT_TRUE(Released(Log()[2].lParam));
  EXPECT_TRUE(WasDown(Log()[2].lParam));
  EXPECT_EQ(Log()[3].wParam, VK_RETURN);
  EXPECT_EQ(ScanCode(Log()[3].lParam), 0x1Cu);
  EXPECT_TRUE(Extended(Log()[3].lParam));
  EXPECT_FALSE(Extended(Log()[0].lParam));
}

TEST_F(InputMessages, AltMakesSystemKeysExceptWithControl) {
  script().At(Now()).KeyDown(DIK_LMENU).KeyDown(DIK_F4).KeyUp(DIK_F4).KeyUp(DIK_LMENU).KeyDown(DIK_RCONTROL).KeyDown(
      DIK_RMENU).KeyDown(DIK_E);
  Run();
  ASSERT_EQ(Messages(), (std::vector<uint32_t>{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSKEYUP, WM_KEYDOWN,
                                               WM_SYSKEYDOWN, WM_KEYDOWN}));
  EXPECT_EQ(Log()[0].wParam, VK_MENU);
  EXPECT_TRUE(AltContext(Log()[0].lParam));
  EXPECT_EQ(Log()[1].wParam, VK_F4);
  EXPECT_EQ(Log()[3].wParam, VK_MENU);
  EXPECT_FALSE(AltContext(Log()[3].lParam));
  EXPECT_EQ(Log()[4].wParam, VK_CONTROL);
  EXPECT_TRUE(Extended(Log()[5].lParam));  // right Alt
  EXPECT_EQ(Log()[6].wParam, static_cast<uintptr_t>('E'));  // Ctrl+Alt+E (AltGr) is plain typing
}

TEST_F(InputMessages, CharactersArriveAsUtf16Units) {
  script().At(Now()).Text(u"a\u00e9\U0001F600\r");
  Run();
  ASSERT_EQ(Log().size(), 5u);
  const char16_t expected[] = {u'a', 0x00E9, 0xD83D, 0xDE00, u'\r'};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(Log()[i].message, WM_CHAR);
    EXPECT_EQ(Log()[i].wParam, expected[i]);
  }
}

TEST_F(InputMessages, KeysAndTextWhileInactiveReachOnlyTheKeyState) {
  script().At(Now()).Deactivate().KeyDown(DIK_A).Text(u"a").Wheel(120);
  Run();
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_ACTIVATEAPP}));
  EXPECT_LT(ws().GetKeyState('A'), 0);

  // A release of a key nobody saw go down, once active again, is still told.
  script().At(Now()).Activate().KeyUp(DIK_A).KeyUp(DIK_A);
  Run();
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_ACTIVATEAPP, WM_ACTIVATEAPP, WM_KEYUP}));
}

TEST_F(InputMessages, FocusDecidesWhichWindowGetsKeys) {
  WindowClass cls{0, wintest::RecordingProc, 0, 0, 0, 0, u"Second"};
  ASSERT_NE(ws().RegisterClass(cls), 0);
  const WindowHandle second = ws().CreateWindowEx(0, u"Second", u"", WS_POPUP, 0, 0, 10, 10, 0, 0, 0);
  EXPECT_EQ(ws().SetFocus(second), window_);
  ws().UserKey(DIK_A, true);
  Msg msg{};
  ASSERT_TRUE(ws().PeekMessage(&msg, PM_REMOVE));
  EXPECT_EQ(msg.window, second);
  EXPECT_EQ(msg.message, WM_KEYDOWN);
  EXPECT_EQ(msg.time, Now());
}

}  // namespace

#include <gtest/gtest.h>

#include <set>

#include "platform/input/KeyCodes.h"

using namespace plat;

namespace {

// SDL scancode numbers, written out so the test does not depend on SDL.
constexpr int32_t kSdlA = 4, kSdlZ = 29, kSdl1 = 30, kSdl0 = 39, kSdlReturn = 40, kSdlEscape = 41,
                  kSdlNonUsHash = 50, kSdlF1 = 58, kSdlF12 = 69, kSdlPrintScreen = 70, kSdlRight = 79,
                  kSdlKpEnter = 88, kSdlKp0 = 98, kSdlNonUsBackslash = 100, kSdlLCtrl = 224, kSdlRAlt = 230,
                  kSdlRGui = 231, kSdlAudioNext = 258, kSdlAcBack = 270;

TEST(InputKeyCodes, SdlScancodesGiveTheKeyCodesOfTheSameKeys) {
  EXPECT_EQ(DikFromSdlScancode(kSdlA), DIK_A);
  EXPECT_EQ(DikFromSdlScancode(kSdlZ), DIK_Z);
  EXPECT_EQ(DikFromSdlScancode(kSdl1), DIK_1);
  EXPECT_EQ(DikFromSdlScancode(kSdl0), DIK_0);
  EXPECT_EQ(DikFromSdlScancode(kSdlReturn), DIK_RETURN);
  EXPECT_EQ(DikFromSdlScancode(kSdlEscape), DIK_ESCAPE);
  EXPECT_EQ(DikFromSdlScancode(kSdlNonUsHash), DIK_BACKSLASH);
  EXPECT_EQ(DikFromSdlScancode(kSdlF1), DIK_F1);
  EXPECT_EQ(DikFromSdlScancode(kSdlF12), DIK_F12);
  EXPECT_EQ(DikFromSdlScancode(kSdlPrintScreen), DIK_SYSRQ);
  EXPECT_EQ(DikFromSdlScancode(kSdlRight), DIK_RIGHT);
  EXPECT_EQ(DikFromSdlScancode(kSdlKpEnter), DIK_NUMPADENTER);
  EXPECT_EQ(DikFromSdlScancode(kSdlKp0), DIK_NUMPAD0);
  EXPECT_EQ(DikFromSdlScancode(kSdlNonUsBackslash), DIK_OEM_102);
  EXPECT_EQ(DikFromSdlScancode(kSdlLCtrl), DIK_LCONTROL);
  EXPECT_EQ(DikFromSdlScancode(kSdlRAlt), DIK_RMENU);
  EXPECT_EQ(DikFromSdlScancode(kSdlRGui), DIK_RWIN);
  EXPECT_EQ(DikFromSdlScancode(kSdlAudioNext), DIK_NEXTTRACK);
  EXPECT_EQ(DikFromSdlScancode(kSdlAcBack), DIK_WEBBACK);
  EXPECT_EQ(DikFromSdlScancode(0), 0);
  EXPECT_EQ(DikFromSdlScancode(-1), 0);
  EXPECT_EQ(DikFromSdlScancode(512), 0);
  EXPECT_EQ(DikFromSdlScancode(0x7FFFFFFF), 0);
}

TEST(InputKeyCodes, LettersAndDigitsMapOneToOneInBothTables) {
  std::set<uint8_t> seen;
  for (int32_t s = kSdlA; s <= kSdl0; ++s) {
    const uint8_t dik = DikFromSdlScancode(s);
    ASSERT_NE(dik, 0) << s;
    EXPECT_TRUE(seen.insert(dik).second) << s;
    const uint8_t vk = VirtualKeyFromDik(dik);
    const char expected = s <= kSdlZ ? static_cast<char>('A' + (s - kSdlA))
                                     : (s == kSdl0 ? '0' : static_cast<char>('1' + (s - kSdl1)));
    EXPECT_EQ(vk, static_cast<uint8_t>(expected)) << s;
  }
}

TEST(InputKeyCodes, MessageKeysShareModifiersAndKnowTheRest) {
  EXPECT_EQ(VirtualKeyFromDik(DIK_LSHIFT), VK_SHIFT);
  EXPECT_EQ(VirtualKeyFromDik(DIK_RSHIFT), VK_SHIFT);
  EXPECT_EQ(VirtualKeyFromDik(DIK_LCONTROL), VK_CONTROL);
  EXPECT_EQ(VirtualKeyFromDik(DIK_RCONTROL), VK_CONTROL);
  EXPECT_EQ(VirtualKeyFromDik(DIK_LMENU), VK_MENU);
  EXPECT_EQ(VirtualKeyFromDik(DIK_RMENU), VK_MENU);
  EXPECT_EQ(VirtualKeyFromDik(DIK_ESCAPE), VK_ESCAPE);
  EXPECT_EQ(VirtualKeyFromDik(DIK_BACK), VK_BACK);
  EXPECT_EQ(VirtualKeyFromDik(DIK_F10), VK_F10);
  EXPECT_EQ(VirtualKeyFromDik(DIK_F11), 0x7A);
  EXPECT_EQ(VirtualKeyFromDik(DIK_NUMPAD7), 0x67);
  EXPECT_EQ(VirtualKeyFromDik(DIK_LEFT), VK_LEFT);
  EXPECT_EQ(VirtualKeyFromDik(DIK_DELETE), 0x2E);
  EXPECT_EQ(VirtualKeyFromDik(0), 0);
  EXPECT_EQ(VirtualKeyFromDik(DIK_RBRACKET + 1), VK_RETURN);  // the key after "]" is Return
  EXPECT_EQ(VirtualKeyFromDik(DIK_L + 1), 0xBA);                // and after L the semicolon
}

}  // namespace

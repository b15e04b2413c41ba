#include "platform/input/KeyCodes.h"

#include <array>
#include <cstddef>

namespace plat {

namespace {

struct KeyPair {
  uint16_t from;
  uint8_t to;
};

// SDL scancodes (USB usage numbers) and the key code of the same key.
constexpr KeyPair kSdlToDik[] = {
    // Letters A..Z (4..29) in the keyboard's scan-code order.
    {4, 0x1E}, {5, 0x30}, {6, 0x2E}, {7, 0x20}, {8, 0x12}, {9, 0x21}, {10, 0x22}, {11, 0x23},
    {12, 0x17}, {13, 0x24}, {14, 0x25}, {15, 0x26}, {16, 0x32}, {17, 0x31}, {18, 0x18}, {19, 0x19},
    {20, 0x10}, {21, 0x13}, {22, 0x1F}, {23, 0x14}, {24, 0x16}, {25, 0x2F}, {26, 0x11}, {27, 0x2D},
    {28, 0x15}, {29, 0x2C},
    // Digits 1..9, 0.
    {30, 0x02}, {31, 0x03}, {32, 0x04}, {33, 0x05}, {34, 0x06}, {35, 0x07}, {36, 0x08}, {37, 0x09},
    {38, 0x0A}, {39, 0x0B},
    {40, DIK_RETURN}, {41, DIK_ESCAPE}, {42, DIK_BACK}, {43, DIK_TAB}, {44, DIK_SPACE},
    {45, DIK_MINUS}, {46, DIK_EQUALS}, {47, DIK_LBRACKET}, {48, DIK_RBRACKET}, {49, DIK_BACKSLASH},
    {50, DIK_BACKSLASH},  // the ISO "#" key shares the backslash position
    {51, DIK_SEMICOLON}, {52, DIK_APOSTROPHE}, {53, DIK_GRAVE}, {54, DIK_COMMA}, {55, DIK_PERIOD},
    {56, DIK_SLASH}, {57, DIK_CAPITAL},
    // F1..F12.
    {58, 0x3B}, {59, 0x3C}, {60, 0x3D}, {61, 0x3E}, {62, 0x3F}, {63, 0x40}, {64, 0x41}, {65, 0x42},
    {66, 0x43}, {67, 0x44}, {68, DIK_F11}, {69, DIK_F12},
    {70, DIK_SYSRQ}, {71, DIK_SCROLL}, {72, DIK_PAUSE}, {73, DIK_INSERT}, {74, DIK_HOME}, {75, DIK_PRIOR},
    {76, DIK_DELETE}, {77, DIK_END}, {78, DIK_NEXT}, {79, DIK_RIGHT}, {80, DIK_LEFT}, {81, DIK_DOWN},
    {82, DIK_UP}, {83, DIK_NUMLOCK}, {84, DIK_DIVIDE}, {85, DIK_MULTIPLY}, {86, DIK_SUBTRACT},
    {87, DIK_ADD}, {88, DIK_NUMPADENTER},
    // Numeric pad 1..9, 0, decimal point.
    {89, DIK_NUMPAD1}, {90, DIK_NUMPAD2}, {91, DIK_NUMPAD3}, {92, DIK_NUMPAD4}, {93, DIK_NUMPAD5},
    {94, DIK_NUMPAD6}, {95, DIK_NUMPAD7}, {96, DIK_NUMPAD8}, {97, DIK_NUMPAD9}, {98, DIK_NUMPAD0},
    {99, DIK_DECIMAL},
    {100, DIK_OEM_102}, {101, DIK_APPS}, {102, DIK_POWER}, {103, DIK_NUMPADEQUALS},
    {104, DIK_F13}, {105, DIK_F14}, {106, DIK_F15},
    {127, DIK_MUTE}, {128, DIK_VOLUMEUP}, {129, DIK_VOLUMEDOWN}, {133, DIK_NUMPADCOMMA},
    {135, DIK_ABNT_C1}, {136, DIK_KANA}, {137, DIK_YEN}, {138, DIK_CONVERT}, {139, DIK_NOCONVERT},
    {154, DIK_SYSRQ},
    // Modifiers.
    {224, DIK_LCONTROL}, {225, DIK_LSHIFT}, {226, DIK_LMENU}, {227, DIK_LWIN},
    {228, DIK_RCONTROL}, {229, DIK_RSHIFT}, {230, DIK_RMENU}, {231, DIK_RWIN},
    // Media and browser keys.
    {258, DIK_NEXTTRACK}, {259, DIK_PREVTRACK}, {260, DIK_MEDIASTOP}, {261, DIK_PLAYPAUSE},
    {262, DIK_MUTE}, {263, DIK_MEDIASELECT}, {264, DIK_WEBHOME}, {265, DIK_MAIL}, {266, DIK_CALCULATOR},
    {267, DIK_MYCOMPUTER}, {268, DIK_WEBSEARCH}, {269, DIK_WEBHOME}, {270, DIK_WEBBACK},
    {271, DIK_WEBFORWARD}, {272, DIK_WEBSTOP}, {273, DIK_WEBREFRESH}, {274, DIK_WEBFAVORITES},
    {282, DIK_SLEEP},
};

constexpr int32_t kSdlScancodeCount = 512;

constexpr std::array<uint8_t, kSdlScancodeCount> BuildSdlTable() {
  std::array<uint8_t, kSdlScancodeCount> table{};
  for (const KeyPair& p : kSdlToDik) table[p.from] = p.to;
  return table;
}

// Key code and the virtual key of its messages.
constexpr KeyPair kDikToVk[] = {
    {DIK_ESCAPE, VK_ESCAPE}, {DIK_MINUS, 0xBD}, {DIK_EQUALS, 0xBB}, {DIK_BACK, VK_BACK}, {DIK_TAB, VK_TAB},
    {DIK_LBRACKET, 0xDB}, {DIK_RBRACKET, 0xDD}, {DIK_RETURN, VK_RETURN}, {DIK_LCONTROL, VK_CONTROL},
    {DIK_SEMICOLON, 0xBA}, {DIK_APOSTROPHE, 0xDE}, {DIK_GRAVE, 0xC0}, {DIK_LSHIFT, VK_SHIFT},
    {DIK_BACKSLASH, 0xDC}, {DIK_COMMA, 0xBC}, {DIK_PERIOD, 0xBE}, {DIK_SLASH, 0xBF}, {DIK_RSHIFT, VK_SHIFT},
    {DIK_MULTIPLY, 0x6A}, {DIK_LMENU, VK_MENU}, {DIK_SPACE, VK_SPACE}, {DIK_CAPITAL, VK_CAPITAL},
    {DIK_NUMLOCK, 0x90}, {DIK_SCROLL, 0x91},
    {DIK_NUMPAD7, 0x67}, {DIK_NUMPAD8, 0x68}, {DIK_NUMPAD9, 0x69}, {DIK_SUBTRACT, 0x6D},
    {DIK_NUMPAD4, 0x64}, {DIK_NUMPAD5, 0x65}, {DIK_NUMPAD6, 0x66}, {DIK_ADD, 0x6B},
    {DIK_NUMPAD1, 0x61}, {DIK_NUMPAD2, 0x62}, {DIK_NUMPAD3, 0x63}, {DIK_NUMPAD0, 0x60}, {DIK_DECIMAL, 0x6E},
    {DIK_OEM_102, 0xE2}, {DIK_F11, 0x7A}, {DIK_F12, 0x7B}, {DIK_F13, 0x7C}, {DIK_F14, 0x7D}, {DIK_F15, 0x7E},
    {DIK_NUMPADENTER, VK_RETURN}, {DIK_RCONTROL, VK_CONTROL}, {DIK_DIVIDE, 0x6F}, {DIK_SYSRQ, 0x2C},
    {DIK_RMENU, VK_MENU}, {DIK_PAUSE, VK_PAUSE}, {DIK_HOME, 0x24}, {DIK_UP, 0x26}, {DIK_PRIOR, 0x21},
    {DIK_LEFT, VK_LEFT}, {DIK_RIGHT, 0x27}, {DIK_END, 0x23}, {DIK_DOWN, 0x28}, {DIK_NEXT, 0x22},
    {DIK_INSERT, 0x2D}, {DIK_DELETE, 0x2E}, {DIK_LWIN, 0x5B}, {DIK_RWIN, 0x5C}, {DIK_APPS, 0x5D},
};

// Letters in scan-code order, by row.
constexpr char kLetterRows[] = "QWERTYUIOP\0\0\0\0ASDFGHJKL\0\0\0\0\0ZXCVBNM";

constexpr std::array<uint8_t, 256> BuildVkTable() {
  std::array<uint8_t, 256> table{};
  for (const KeyPair& p : kDikToVk) table[p.from] = p.to;
  for (int i = 0; i < 9; ++i) table[DIK_1 + i] = static_cast<uint8_t>('1' + i);
  table[DIK_0] = '0';
  for (int i = 0; i < static_cast<int>(sizeof(kLetterRows)) - 1; ++i) {
    if (kLetterRows[i] != 0) table[DIK_Q + i] = static_cast<uint8_t>(kLetterRows[i]);
  }
  for (int i = 0; i < 10; ++i) table[DIK_F1 + i] = static_cast<uint8_t>(VK_F1 + i);
  return table;
}

constexpr std::array<uint8_t, kSdlScancodeCount> kSdlTable = BuildSdlTable();
constexpr std::array<uint8_t, 256> kVkTable = BuildVkTable();

}  // namespace

uint8_t DikFromSdlScancode(int32_t scancode) {
  if (scancode < 0 || scancode >= kSdlScancodeCount) return 0;
  return kSdlTable[static_cast<std::size_t>(scancode)];
}

uint8_t VirtualKeyFromDik(uint8_t dik) { return kVkTable[dik]; }

}  // namespace plat

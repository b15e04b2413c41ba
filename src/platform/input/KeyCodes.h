// Key numbers of the platform layer. Key events carry DirectInput key codes
// (the PC keyboard's scan codes, with 0x80 added for the extended keys); the
// window messages carry virtual-key codes. Backends translate their own key
// numbers into key codes with the tables here: DikFromSdlScancode for SDL
// scancodes (given as plain numbers, so no SDL header is needed to build it).
#pragma once

#include <cstdint>

namespace plat {

// DirectInput key codes.
constexpr uint8_t DIK_ESCAPE = 0x01;
constexpr uint8_t DIK_1 = 0x02;
constexpr uint8_t DIK_0 = 0x0B;
constexpr uint8_t DIK_MINUS = 0x0C;
constexpr uint8_t DIK_EQUALS = 0x0D;
constexpr uint8_t DIK_BACK = 0x0E;
constexpr uint8_t DIK_TAB = 0x0F;
constexpr uint8_t DIK_Q = 0x10;
constexpr uint8_t DIK_W = 0x11;
constexpr uint8_t DIK_E = 0x12;
constexpr uint8_t DIK_P = 0x19;
constexpr uint8_t DIK_LBRACKET = 0x1A;
constexpr uint8_t DIK_RBRACKET = 0x1B;
constexpr uint8_t DIK_RETURN = 0x1C;
constexpr uint8_t DIK_LCONTROL = 0x1D;
constexpr uint8_t DIK_A = 0x1E;
constexpr uint8_t DIK_S = 0x1F;
constexpr uint8_t DIK_D = 0x20;
constexpr uint8_t DIK_L = 0x26;
constexpr uint8_t DIK_SEMICOLON = 0x27;
constexpr uint8_t DIK_APOSTROPHE = 0x28;
constexpr uint8_t DIK_GRAVE = 0x29;
constexpr uint8_t DIK_LSHIFT = 0x2A;
constexpr uint8_t DIK_BACKSLASH = 0x2B;
constexpr uint8_t DIK_Z = 0x2C;
constexpr uint8_t DIK_M = 0x32;
constexpr uint8_t DIK_COMMA = 0x33;
constexpr uint8_t DIK_PERIOD = 0x34;
constexpr uint8_t DIK_SLASH = 0x35;
constexpr uint8_t DIK_RSHIFT = 0x36;
constexpr uint8_t DIK_MULTIPLY = 0x37;
constexpr uint8_t DIK_LMENU = 0x38;
constexpr uint8_t DIK_SPACE = 0x39;
constexpr uint8_t DIK_CAPITAL = 0x3A;
constexpr uint8_t DIK_F1 = 0x3B;
constexpr uint8_t DIK_F4 = 0x3E;
constexpr uint8_t DIK_F10 = 0x44;
constexpr uint8_t DIK_NUMLOCK = 0x45;
constexpr uint8_t DIK_SCROLL = 0x46;
constexpr uint8_t DIK_NUMPAD7 = 0x47;
constexpr uint8_t DIK_NUMPAD8 = 0x48;
constexpr uint8_t DIK_NUMPAD9 = 0x49;
constexpr uint8_t DIK_SUBTRACT = 0x4A;
constexpr uint8_t DIK_NUMPAD4 = 0x4B;
constexpr uint8_t DIK_NUMPAD5 = 0x4C;
constexpr uint8_t DIK_NUMPAD6 = 0x4D;
constexpr uint8_t DIK_ADD = 0x4E;
constexpr uint8_t DIK_NUMPAD1 = 0x4F;
constexpr uint8_t DIK_NUMPAD2 = 0x50;
constexpr uint8_t DIK_NUMPAD3 = 0x51;
constexpr uint8_t DIK_NUMPAD0 = 0x52;
constexpr uint8_t DIK_DECIMAL = 0x53;
constexpr uint8_t DIK_OEM_102 = 0x56;
constexpr uint8_t DIK_F11 = 0x57;
constexpr uint8_t DIK_F12 = 0x58;
constexpr uint8_t DIK_F13 = 0x64;
constexpr uint8_t DIK_F14 = 0x65;
constexpr uint8_t DIK_F15 = 0x66;
constexpr uint8_t DIK_KANA = 0x70;
constexpr uint8_t DIK_ABNT_C1 = 0x73;
constexpr uint8_t DIK_CONVERT = 0x79;
constexpr uint8_t DIK_NOCONVERT = 0x7B;
constexpr uint8_t DIK_YEN = 0x7D;
constexpr uint8_t DIK_NUMPADEQUALS = 0x8D;
constexpr uint8_t DIK_PREVTRACK = 0x90;
constexpr uint8_t DIK_NEXTTRACK = 0x99;
constexpr uint8_t DIK_NUMPADENTER = 0x9C;
constexpr uint8_t DIK_RCONTROL = 0x9D;
constexpr uint8_t DIK_MUTE = 0xA0;
constexpr uint8_t DIK_CALCULATOR = 0xA1;
constexpr uint8_t DIK_PLAYPAUSE = 0xA2;
constexpr uint8_t DIK_MEDIASTOP = 0xA4;
constexpr uint8_t DIK_VOLUMEDOWN = 0xAE;
constexpr uint8_t DIK_VOLUMEUP = 0xB0;
constexpr uint8_t DIK_WEBHOME = 0xB2;
constexpr uint8_t DIK_NUMPADCOMMA = 0xB3;
constexpr uint8_t DIK_DIVIDE = 0xB5;
constexpr uint8_t DIK_SYSRQ = 0xB7;
constexpr uint8_t DIK_RMENU = 0xB8;
constexpr uint8_t DIK_PAUSE = 0xC5;
constexpr uint8_t DIK_HOME = 0xC7;
constexpr uint8_t DIK_UP = 0xC8;
constexpr uint8_t DIK_PRIOR = 0xC9;
constexpr uint8_t DIK_LEFT = 0xCB;
constexpr uint8_t DIK_RIGHT = 0xCD;
constexpr uint8_t DIK_END = 0xCF;
constexpr uint8_t DIK_DOWN = 0xD0;
constexpr uint8_t DIK_NEXT = 0xD1;
constexpr uint8_t DIK_INSERT = 0xD2;
constexpr uint8_t DIK_DELETE = 0xD3;
constexpr uint8_t DIK_LWIN = 0xDB;
constexpr uint8_t DIK_RWIN = 0xDC;
constexpr uint8_t DIK_APPS = 0xDD;
constexpr uint8_t DIK_POWER = 0xDE;
constexpr uint8_t DIK_SLEEP = 0xDF;
constexpr uint8_t DIK_WEBSEARCH = 0xE5;
constexpr uint8_t DIK_WEBFAVORITES = 0xE6;
constexpr uint8_t DIK_WEBREFRESH = 0xE7;
constexpr uint8_t DIK_WEBSTOP = 0xE8;
constexpr uint8_t DIK_WEBFORWARD = 0xE9;
constexpr uint8_t DIK_WEBBACK = 0xEA;
constexpr uint8_t DIK_MYCOMPUTER = 0xEB;
constexpr uint8_t DIK_MAIL = 0xEC;
constexpr uint8_t DIK_MEDIASELECT = 0xED;

// Virtual-key codes used by the messages and key-state queries.
constexpr uint8_t VK_LBUTTON = 0x01;
constexpr uint8_t VK_RBUTTON = 0x02;
constexpr uint8_t VK_MBUTTON = 0x04;
constexpr uint8_t VK_BACK = 0x08;
constexpr uint8_t VK_TAB = 0x09;
constexpr uint8_t VK_RETURN = 0x0D;
constexpr uint8_t VK_SHIFT = 0x10;
constexpr uint8_t VK_CONTROL = 0x11;
constexpr uint8_t VK_MENU = 0x12;
constexpr uint8_t VK_PAUSE = 0x13;
constexpr uint8_t VK_CAPITAL = 0x14;
constexpr uint8_t VK_ESCAPE = 0x1B;
constexpr uint8_t VK_SPACE = 0x20;
constexpr uint8_t VK_LEFT = 0x25;
constexpr uint8_t VK_F1 = 0x70;
constexpr uint8_t VK_F4 = 0x73;
constexpr uint8_t VK_F10 = 0x79;
constexpr uint8_t VK_LSHIFT = 0xA0;
constexpr uint8_t VK_RSHIFT = 0xA1;
constexpr uint8_t VK_LCONTROL = 0xA2;
constexpr uint8_t VK_RCONTROL = 0xA3;
constexpr uint8_t VK_LMENU = 0xA4;
constexpr uint8_t VK_RMENU = 0xA5;

// Key code of an SDL scancode; 0 for scancodes without one (and for numbers
// outside SDL's range).
uint8_t DikFromSdlScancode(int32_t scancode);

// Virtual-key code that a key message carries for a key code: Shift, Control
// and Alt give the shared VK_SHIFT, VK_CONTROL and VK_MENU, the numeric pad
// its digits (Num Lock on), numeric-pad Enter VK_RETURN. 0 for keys without one.
uint8_t VirtualKeyFromDik(uint8_t dik);

}  // namespace plat

#include "engine/DXLKeyboard.h"

#include <cstring>

#include "platform/input/KeyCodes.h"
#include "platform/os/Clock.h"

namespace di = plat::input;

namespace {

// Filled from kKeyPairs alone whenever a keyboard is made, always alike: a
// constant table in effect, not game-wide state.
u8 gKeyCodes[256];

// Pairs of (key code, virtual-key code).
constexpr u8 kKeyPairs[][2] = {
    {0x01, 0x1B},  // Escape
    {0x02, '1'},  {0x03, '2'},  {0x04, '3'},  {0x05, '4'},  {0x06, '5'},
    {0x07, '6'},  {0x08, '7'},  {0x09, '8'},  {0x0A, '9'},  {0x0B, '0'},
    {0x0C, 0xBD},  // minus
    {0x0D, 0xBB},  // equals
    {0x0E, 0x08},  // Back
    {0x0F, 0x09},  // Tab
    {0x10, 'Q'},  {0x11, 'W'},  {0x12, 'E'},  {0x13, 'R'},  {0x14, 'T'},
    {0x15, 'Y'},  {0x16, 'U'},  {0x17, 'I'},  {0x18, 'O'},  {0x19, 'P'},
    {0x1A, 0xDB},  // [
    {0x1B, 0xDD},  // ]
    {0x1C, 0x0D},  // Return
    {0x1D, 0xA2},  // Left Control
    {0x1E, 'A'},  {0x1F, 'S'},  {0x20, 'D'},  {0x21, 'F'},  {0x22, 'G'},
    {0x23, 'H'},  {0x24, 'J'},  {0x25, 'K'},  {0x26, 'L'},
    {0x27, 0xBA},  // ;
    {0x28, 0xDE},  // '
    {0x29, 0xC0},  // `
    {0x2A, 0xA0},  // Left Shift
    {0x2B, 0xDC},  // backslash
    {0x2C, 'Z'},  {0x2D, 'X'},  {0x2E, 'C'},  {0x2F, 'V'},  {0x30, 'B'},
    {0x31, 'N'},  {0x32, 'M'},
    {0x33, 0xBC},  // ,
    {0x34, 0xBE},  // .
    {0x35, 0xBF},  // /
    {0x36, 0xA1},  // Right Shift
    {0x37, 0x6A},  // numeric-pad *
    {0x38, 0xA4},  // Left Alt
    {0x39, 0x20},  // Space
    {0x3A, 0x14},  // Caps Lock
    {0x3B, 0x70}, {0x3C, 0x71}, {0x3D, 0x72}, {0x3E, 0x73}, {0x3F, 0x74},
    {0x40, 0x75}, {0x41, 0x76}, {0x42, 0x77}, {0x43, 0x78}, {0x44, 0x79},  // F1-F10
    {0x45, 0x90},  // Num Lock
    {0x46, 0x91},  // Scroll Lock
    {0x47, 0x67}, {0x48, 0x68}, {0x49, 0x69},  // numeric pad 7 8 9
    {0x4A, 0x6D},  // numeric-pad -
    {0x4B, 0x64}, {0x4C, 0x65}, {0x4D, 0x66},  // 4 5 6
    {0x4E, 0x6B},  // numeric-pad +
    {0x4F, 0x61}, {0x50, 0x62}, {0x51, 0x63}, {0x52, 0x60},  // 1 2 3 0
    {0x53, 0x6E},  // numeric-pad decimal
    {0x56, 0xE2},  // OEM 102
    {0x57, 0x7A}, {0x58, 0x7B},                // F11 F12
    {0x64, 0x7C}, {0x65, 0x7D}, {0x66, 0x7E},  // F13-F15
    {0x70, 0x15},  // Kana
    {0x79, 0x1C},  // Convert
    {0x7B, 0x1D},  // No Convert
    {0x90, 0xB1},  // previous track
    {0x94, 0x19},  // Kanji
    {0x96, 0xE1},  // AX
    {0x99, 0xB0},  // next track
    {0x9C, 0x6C},  // numeric-pad Enter
    {0x9D, 0xA3},  // Right Control
    {0xA0, 0xAD},  // mute
    {0xA2, 0xB3},  // play/pause
    {0xA4, 0xB2},  // media stop
    {0xAE, 0xAE},  // volume down
    {0xB0, 0xAF},  // volume up
    {0xB2, 0xAC},  // web home
    {0xB5, 0x6F},  // numeric-pad /
    {0xB8, 0xA5},  // Right Alt
    {0xC5, 0x13},  // Pause
    {0xC7, 0x24},  // Home
    {0xC8, 0x26},  // Up
    {0xC9, 0x21},  // Page Up
    {0xCB, 0x25},  // Left
    {0xCD, 0x27},  // Right
    {0xCF, 0x23},  // End
    {0xD0, 0x28},  // Down
    {0xD1, 0x22},  // Page Down
    {0xD2, 0x2D},  // Insert
    {0xD3, 0x2E},  // Delete
    {0xDB, 0x5B},  // Left Windows
    {0xDC, 0x5C},  // Right Windows
    {0xDD, 0x5D},  // Apps
    {0xE5, 0xAA},  // web search
    {0xE6, 0xAB},  // favourites
    {0xE7, 0xA8},  // refresh
    {0xE8, 0xA9},  // web stop
    {0xE9, 0xA7},  // forward
    {0xEA, 0xA6},  // back
    {0xEC, 0xB4},  // mail
    {0xED, 0xB5},  // media select
};

void BuildKeyCodeTable() {
  std::memset(gKeyCodes, 0, sizeof(gKeyCodes));
  for (const auto& pair : kKeyPairs) gKeyCodes[pair[0]] = pair[1];
}

}  // namespace

const u8* DXLKeyboard::GetKeyCodeTable() { return gKeyCodes; }

DXLKeyboard::DXLKeyboard(DXLInput* owner) : DXLInputDevice(owner) { bufferSize_ = 8; }

DXLKeyboard::~DXLKeyboard() { DXLKeyboard::Release(); }

void DXLKeyboard::Release() {
  DXLInputDevice::Release();
  std::memset(keys_, 0, sizeof(keys_));
  repeatKey_ = 0;
}

i32 DXLKeyboard::Create() {
  std::memset(keys_, 0, sizeof(keys_));
  repeatKey_ = 0;
  const i32 result = CreateDevice("Keyboard", di::GUID_SysKeyboard, di::c_dfDIKeyboard,
                                  noWinKey_ ? di::DISCL_NOWINKEY : 0, "Keyboard: Create Device ");
  if (result != 0) return result;
  BuildKeyCodeTable();
  return 0;
}

u32 DXLKeyboard::GetModifiers() const {
  u32 m = 0;
  if (keys_[plat::DIK_LCONTROL] || keys_[plat::DIK_RCONTROL]) m |= kModControl;
  if (keys_[plat::DIK_LSHIFT] || keys_[plat::DIK_RSHIFT]) m |= kModShift;
  if (keys_[plat::DIK_LMENU] || keys_[plat::DIK_RMENU]) m |= kModAlt;
  return m;
}

i32 DXLKeyboard::Poll() {
  if (!device_) return kInputNoDevice;
  if (!immediate_) return PollBuffered();
  u8 state[256];
  ReadState(sizeof(state), state);
  TakeUpState(state);
  Repeat();
  return 0;
}

void DXLKeyboard::HandleEvent(const di::DeviceObjectData& event) {
  const u32 key = event.offset & 0xFF;
  const bool down = (event.data & 0x80) != 0;
  if (down != (keys_[key] != 0)) KeyChange(static_cast<u16>(key), down);
}

void DXLKeyboard::TakeUpState(const u8* state) {
  for (u32 k = 0; k < 256; ++k) {
    const bool down = state[k] >= 128;
    if (down != (keys_[k] != 0)) KeyChange(static_cast<u16>(k), down);
  }
}

void DXLKeyboard::TakeUpDeviceState() {
  u8 state[256];
  if (device_->GetDeviceState(sizeof(state), state) >= 0) TakeUpState(state);
}

void DXLKeyboard::ReleaseHeld() {
  for (u32 k = 0; k < 256; ++k) {
    if (keys_[k]) KeyChange(static_cast<u16>(k), false);
  }
}

void DXLKeyboard::KeyChange(u16 key, bool down) {
  keys_[key & 0xFF] = down ? 1 : 0;
  if (!down) {
    if (key == repeatKey_) repeatKey_ = 0;
    if (enabled_ && onKeyUp_) onKeyUp_(key, GetModifiers());
    return;
  }
  repeatKey_ = key;
  if (enabled_ && onKeyDown_) onKeyDown_(key, GetModifiers());
  // The first press comes at once, right behind its key-down, so a tap
  // shorter than a poll gives down, press, up, and a key pressed just
  // before another one keeps its press.
  if (enabled_ && onKeyPress_) onKeyPress_(key, GetModifiers());
  repeatTime_ = plat::GetTimeMs();
  repeatInterval_ = kKeyRepeatDelay;
}

// Fires the presses that came due since the last poll (modular time, so the
// clock's wrap does not matter).
void DXLKeyboard::Repeat() {
  if (repeatKey_ == 0) return;
  const u32 now = plat::GetTimeMs();
  u32 elapsed = now - repeatTime_;
  u32 due = 0;
  while (elapsed >= repeatInterval_) {
    elapsed -= repeatInterval_;
    repeatInterval_ = kKeyRepeatInterval;
    ++due;
  }
  repeatInterval_ -= elapsed;
  repeatTime_ = now;
  if (!enabled_ || !onKeyPress_) return;
  const u16 key = repeatKey_;
  for (u32 i = 0; i < due; ++i) onKeyPress_(key, GetModifiers());
}

void DXLKeyboard::ResetState() {
  if (!device_ || !enabled_) return;
  ReleaseHeld();
}

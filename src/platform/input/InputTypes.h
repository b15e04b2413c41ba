// Numbers and records of the DirectInput-shaped keyboard and mouse: result
// codes, cooperative-level flags, data formats, the mouse state record and
// the buffered event record, with the values the engine stores and compares.
#pragma once

#include <cstdint>

namespace plat::input {

using HRESULT = int32_t;

constexpr HRESULT Code(uint32_t v) { return static_cast<HRESULT>(v); }

constexpr HRESULT DI_OK = 0;
constexpr HRESULT DI_NOEFFECT = 1;        // success, nothing changed (already acquired, ...)
constexpr HRESULT DI_BUFFEROVERFLOW = 1;  // success, but events were lost since the last read
constexpr HRESULT DIERR_GENERIC = Code(0x80004005u);  // the general failure code
constexpr HRESULT DIERR_UNSUPPORTED = Code(0x80004001u);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = Code(0x80070005u);
constexpr HRESULT DIERR_HANDLE = Code(0x80070006u);
constexpr HRESULT DIERR_NOTACQUIRED = Code(0x8007000Cu);
constexpr HRESULT DIERR_NOTINITIALIZED = Code(0x80070015u);
constexpr HRESULT DIERR_INPUTLOST = Code(0x8007001Eu);
constexpr HRESULT DIERR_INVALIDPARAM = Code(0x80070057u);
constexpr HRESULT DIERR_ACQUIRED = Code(0x800700AAu);
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = Code(0x8007047Eu);
constexpr HRESULT DIERR_NOTBUFFERED = Code(0x80040207u);

constexpr bool Failed(HRESULT hr) { return hr < 0; }

constexpr uint32_t DIRECTINPUT_VERSION = 0x0800;

// Cooperative levels.
constexpr uint32_t DISCL_EXCLUSIVE = 0x01;
constexpr uint32_t DISCL_NONEXCLUSIVE = 0x02;
constexpr uint32_t DISCL_FOREGROUND = 0x04;
constexpr uint32_t DISCL_BACKGROUND = 0x08;
constexpr uint32_t DISCL_NOWINKEY = 0x10;

enum class DeviceGuid { SysMouse = 1, SysKeyboard = 2 };
constexpr DeviceGuid GUID_SysMouse = DeviceGuid::SysMouse;
constexpr DeviceGuid GUID_SysKeyboard = DeviceGuid::SysKeyboard;

// The two standard data formats: 256 key bytes, or MouseState2.
enum class DataFormat { None = 0, Keyboard = 1, Mouse2 = 2 };
constexpr DataFormat c_dfDIKeyboard = DataFormat::Keyboard;
constexpr DataFormat c_dfDIMouse2 = DataFormat::Mouse2;

constexpr uint32_t kKeyboardStateSize = 256;

// Immediate mouse state: motion since the last read on the three axes, and
// eight buttons (bit 0x80 = held). Button 0 is the left, 1 the right, 2 the
// middle button.
struct MouseState2 {
  int32_t x, y, z;
  uint8_t buttons[8];
};
constexpr uint32_t kMouseState2Size = 20;

// One buffered event: offset names the key (its key code) or the mouse axis
// or button; data is 0x80 for down and 0 for up, or the motion of an axis;
// the sequence number grows across all devices, and the two halves of one
// mouse motion share theirs.
struct DeviceObjectData {
  uint32_t offset;
  uint32_t data;
  uint32_t timeStamp;
  uint32_t sequence;
  uintptr_t appData;
};

// Mouse offsets in buffered events (their place in the state record).
constexpr uint32_t DIMOFS_X = 0;
constexpr uint32_t DIMOFS_Y = 4;
constexpr uint32_t DIMOFS_Z = 8;
constexpr uint32_t DIMOFS_BUTTON0 = 12;
constexpr uint32_t DIMOFS_BUTTON1 = 13;
constexpr uint32_t DIMOFS_BUTTON2 = 14;

}  // namespace plat::input

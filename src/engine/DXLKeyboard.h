// DXLKeyboard - the system keyboard: a table of held keys indexed by
// DirectInput key code, key-down, key-up and auto-repeated key-press events,
// and the modifier word (1 Control, 2 Shift, 4 Alt, either key of each pair).
// A held key gives one press at once (right behind its key-down), the next
// after 605 ms and then one every 40 ms; only the last key pressed repeats. Creating a keyboard builds
// the process-wide table from key codes to virtual-key codes that the game's
// key handlers use.
#pragma once

#include "engine/DXLInputDevice.h"

using DXLKEYCALLBACK = void (*)(u16 key, u32 modifiers);

constexpr u32 kModControl = 1;
constexpr u32 kModShift = 2;
constexpr u32 kModAlt = 4;

constexpr u32 kKeyRepeatDelay = 605;
constexpr u32 kKeyRepeatInterval = 40;

class DXLKeyboard : public DXLInputDevice {
 public:
  explicit DXLKeyboard(DXLInput* owner);
  ~DXLKeyboard() override;

  u32 GetKind() const override { return kInputKeyboard; }
  i32 Create() override;
  void Release() override;
  i32 Poll() override;
  void ResetState() override;
  void HandleEvent(const plat::input::DeviceObjectData& event) override;

  u32 GetModifiers() const;
  bool IsKeyHeld(u8 key) const { return keys_[key] != 0; }
  const u8* GetKeyTable() const { return keys_; }
  u16 GetRepeatKey() const { return repeatKey_; }
  void SetNoWindowsKey(bool on) { noWinKey_ = on ? 1 : 0; }

  void SetKeyDownCallback(DXLKEYCALLBACK callback) { onKeyDown_ = callback; }
  void SetKeyUpCallback(DXLKEYCALLBACK callback) { onKeyUp_ = callback; }
  void SetKeyPressCallback(DXLKEYCALLBACK callback) { onKeyPress_ = callback; }

  // Virtual-key code of each DirectInput key code (0 for keys without one);
  // filled when the first keyboard is created.
  static const u8* GetKeyCodeTable();

 private:
  void ReleaseHeld() override;
  void TakeUpDeviceState() override;
  void AfterPoll() override { Repeat(); }
  void KeyChange(u16 key, bool down);
  // Goes over to a whole keyboard state (256 bytes, 0x80 = held).
  void TakeUpState(const u8* state);
  void Repeat();

  u8 noWinKey_ = 0;
  u8 keys_[256] = {};
  u16 repeatKey_ = 0;
  u32 repeatTime_ = 0;
  u32 repeatInterval_ = 0;
  DXLKEYCALLBACK onKeyDown_ = nullptr;
  DXLKEYCALLBACK onKeyUp_ = nullptr;
  DXLKEYCALLBACK onKeyPress_ = nullptr;
};

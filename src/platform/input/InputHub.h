// The physical keyboard and mouse as the input devices see them: which keys
// and buttons are held, and the stream of changes, motion and wheel turns
// that the backend reports. Every DirectInput-shaped device registers here
// and takes its state and buffered events from the hub; the hub also knows
// the foreground window, so devices of the foreground cooperative level lose
// their acquisition when it changes. Key and button reports that change
// nothing are dropped.
//
// Test seams: FailNext makes the next call of one device operation fail with
// a given code; LoseDevices takes every acquisition away at once.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/input/InputTypes.h"
#include "platform/os/WindowTypes.h"

namespace plat::input {

class DirectInputDevice8;

enum class InputOp {
  Create,
  CreateDevice,
  SetDataFormat,
  SetCooperativeLevel,
  SetBufferSize,
  Acquire,
  GetDeviceState,
  GetDeviceData,
  Count
};

class InputHub {
 public:
  InputHub() = default;
  InputHub(const InputHub&) = delete;
  InputHub& operator=(const InputHub&) = delete;

  // Reports of the backend.
  void Key(uint8_t dik, bool down);
  void Motion(int32_t dx, int32_t dy);
  void Button(uint32_t index, bool down);   // 0 left, 1 right, 2 middle, up to 7
  void Wheel(int32_t delta);
  void SetForeground(WindowHandle window);  // 0: another program is in front
  void LoseDevices();
  // Releases every held key and button, reporting each release.
  void ReleaseAll();

  WindowHandle Foreground() const { return foreground_; }
  bool KeyHeld(uint8_t dik) const { return keys_[dik] != 0; }
  bool ButtonHeld(uint32_t index) const { return index < 8 && buttons_[index] != 0; }
  const std::array<uint8_t, 256>& Keys() const { return keys_; }      // 0x80 = held
  const std::array<uint8_t, 8>& Buttons() const { return buttons_; }  // 0x80 = held

  void FailNext(InputOp op, HRESULT hr) { faults_[static_cast<size_t>(op)] = hr; }
  HRESULT TakeFault(InputOp op);  // the queued failure, or DI_OK

  // Used by the devices.
  void Attach(DirectInputDevice8* device);
  void Detach(DirectInputDevice8* device);

 private:
  uint32_t NextSequence() { return ++sequence_; }

  std::array<uint8_t, 256> keys_{};
  std::array<uint8_t, 8> buttons_{};
  WindowHandle foreground_ = 0;
  uint32_t sequence_ = 0;
  std::vector<DirectInputDevice8*> devices_;
  std::array<HRESULT, static_cast<size_t>(InputOp::Count)> faults_{};
};

}  // namespace plat::input

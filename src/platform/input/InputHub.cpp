#include "platform/input/InputHub.h"

#include <algorithm>

#include "platform/input/InputDevice.h"
#include "platform/os/Clock.h"

namespace plat::input {

void InputHub::Key(uint8_t dik, bool down) {
  const uint8_t value = down ? 0x80 : 0;
  if (keys_[dik] == value) return;
  keys_[dik] = value;
  const uint32_t time = GetTimeMs();
  const uint32_t sequence = NextSequence();
  for (DirectInputDevice8* d : devices_) d->OnKey(dik, down, time, sequence);
}

void InputHub::Motion(int32_t dx, int32_t dy) {
  if (dx == 0 && dy == 0) return;
  const uint32_t time = GetTimeMs();
  const uint32_t sequence = NextSequence();
  for (DirectInputDevice8* d : devices_) d->OnMotion(dx, dy, time, sequence);
}

void InputHub::Button(uint32_t index, bool down) {
  if (index >= buttons_.size()) return;
  const uint8_t value = down ? 0x80 : 0;
  if (buttons_[index] == value) return;
  buttons_[index] = value;
  const uint32_t time = GetTimeMs();
  const uint32_t sequence = NextSequence();
  for (DirectInputDevice8* d : devices_) d->OnButton(index, down, time, sequence);
}

void InputHub::Wheel(int32_t delta) {
  if (delta == 0) return;
  const uint32_t time = GetTimeMs();
  const uint32_t sequence = NextSequence();
  for (DirectInputDevice8* d : devices_) d->OnWheel(delta, time, sequence);
}

void InputHub::SetForeground(WindowHandle window) {
  foreground_ = window;
  for (DirectInputDevice8* d : devices_) d->OnForeground(window);
}

void InputHub::LoseDevices() {
  for (DirectInputDevice8* d : devices_) d->Lose();
}

void InputHub::ReleaseAll() {
  for (int k = 0; k < 256; ++k) Key(static_cast<uint8_t>(k), false);
  for (uint32_t b = 0; b < buttons_.size(); ++b) Button(b, false);
}

HRESULT InputHub::TakeFault(InputOp op) {
  HRESULT& slot = faults_[static_cast<size_t>(op)];
  const HRESULT hr = slot;
  slot = DI_OK;
  return hr;
}

void InputHub::Attach(DirectInputDevice8* device) { devices_.push_back(device); }

void InputHub::Detach(DirectInputDevice8* device) {
  devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
}

}  // namespace plat::input

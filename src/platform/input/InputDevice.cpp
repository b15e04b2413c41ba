#include "platform/input/InputDevice.h"

#include <algorithm>
#include <cstring>

#include "platform/input/InputHub.h"

namespace plat::input {

DirectInputDevice8::DirectInputDevice8(std::weak_ptr<InputHub> hub, DeviceGuid kind)
    : hub_(std::move(hub)), kind_(kind) {
  if (auto h = hub_.lock()) h->Attach(this);
}

DirectInputDevice8::~DirectInputDevice8() {
  if (auto h = hub_.lock()) h->Detach(this);
}

HRESULT DirectInputDevice8::SetDataFormat(DataFormat format) {
  auto hub = hub_.lock();
  if (!hub) return DIERR_NOTINITIALIZED;
  if (acquired_) return DIERR_ACQUIRED;
  const DataFormat own = IsKeyboard() ? DataFormat::Keyboard : DataFormat::Mouse2;
  if (format != own) return DIERR_INVALIDPARAM;
  if (HRESULT hr = hub->TakeFault(InputOp::SetDataFormat); Failed(hr)) return hr;
  format_ = format;
  return DI_OK;
}

HRESULT DirectInputDevice8::SetCooperativeLevel(WindowHandle window, uint32_t flags) {
  auto hub = hub_.lock();
  if (!hub) return DIERR_NOTINITIALIZED;
  if (acquired_) return DIERR_ACQUIRED;
  const uint32_t access = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
  const uint32_t focus = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
  const uint32_t known = DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND | DISCL_NOWINKEY;
  if ((flags & ~known) != 0 || (access != DISCL_EXCLUSIVE && access != DISCL_NONEXCLUSIVE) ||
      (focus != DISCL_FOREGROUND && focus != DISCL_BACKGROUND)) {
    return DIERR_INVALIDPARAM;
  }
  if ((flags & DISCL_NOWINKEY) != 0 && !IsKeyboard()) return DIERR_INVALIDPARAM;
  // Nobody gets the keyboard to themselves while another program is in front.
  if (IsKeyboard() && access == DISCL_EXCLUSIVE && focus == DISCL_BACKGROUND) return DIERR_UNSUPPORTED;
  if (window == 0 || window == kInvalidWindow) return DIERR_HANDLE;
  if (HRESULT hr = hub->TakeFault(InputOp::SetCooperativeLevel); Failed(hr)) return hr;
  window_ = window;
  cooperation_ = flags;
  return DI_OK;
}

HRESULT DirectInputDevice8::SetBufferSize(uint32_t events) {
  auto hub = hub_.lock();
  if (!hub) return DIERR_NOTINITIALIZED;
  if (acquired_) return DIERR_ACQUIRED;
  if (HRESULT hr = hub->TakeFault(InputOp::SetBufferSize); Failed(hr)) return hr;
  bufferSize_ = events;
  buffer_.clear();
  overflow_ = false;
  return DI_OK;
}

HRESULT DirectInputDevice8::Acquire() {
  auto hub = hub_.lock();
  if (!hub) return DIERR_NOTINITIALIZED;
  if (acquired_) return DI_NOEFFECT;
  if (format_ == DataFormat::None) return DIERR_INVALIDPARAM;
  if (HRESULT hr = hub->TakeFault(InputOp::Acquire); Failed(hr)) return hr;
  if ((cooperation_ & DISCL_FOREGROUND) != 0 && hub->Foreground() != window_) return DIERR_OTHERAPPHASPRIO;
  acquired_ = true;
  lost_ = false;
  buffer_.clear();
  overflow_ = false;
  motionX_ = motionY_ = motionZ_ = 0;
  return DI_OK;
}

HRESULT DirectInputDevice8::Unacquire() {
  if (!acquired_) return DI_NOEFFECT;
  acquired_ = false;
  lost_ = false;
  return DI_OK;
}

// The first read after a loss says so; later ones only that the device is
// not acquired.
HRESULT DirectInputDevice8::NotAcquiredResult() {
  if (lost_) {
    lost_ = false;
    return DIERR_INPUTLOST;
  }
  return DIERR_NOTACQUIRED;
}

HRESULT DirectInputDevice8::GetDeviceState(uint32_t size, void* data) {
  const uint32_t expected = IsKeyboard() ? kKeyboardStateSize : kMouseState2Size;
  if (data == nullptr || size != expected || format_ == DataFormat::None) return DIERR_INVALIDPARAM;
  std::memset(data, 0, size);
  auto hub = hub_.lock();
  if (!hub) return DIERR_INPUTLOST;
  if (!acquired_) return NotAcquiredResult();
  if (HRESULT hr = hub->TakeFault(InputOp::GetDeviceState); Failed(hr)) return hr;
  if (IsKeyboard()) {
    std::memcpy(data, hub->Keys().data(), kKeyboardStateSize);
    return DI_OK;
  }
  MouseState2 state{};
  state.x = motionX_;
  state.y = motionY_;
  state.z = motionZ_;
  std::memcpy(state.buttons, hub->Buttons().data(), sizeof(state.buttons));
  motionX_ = motionY_ = motionZ_ = 0;
  std::memcpy(data, &state, sizeof(state));
  return DI_OK;
}

HRESULT DirectInputDevice8::GetDeviceData(DeviceObjectData* data, uint32_t* inOutCount) {
  if (data == nullptr || inOutCount == nullptr || format_ == DataFormat::None) return DIERR_INVALIDPARAM;
  const uint32_t room = *inOutCount;
  *inOutCount = 0;
  auto hub = hub_.lock();
  if (!hub) return DIERR_INPUTLOST;
  if (bufferSize_ == 0) return DIERR_NOTBUFFERED;
  if (!acquired_) return NotAcquiredResult();
  if (HRESULT hr = hub->TakeFault(InputOp::GetDeviceData); Failed(hr)) return hr;
  const uint32_t count = static_cast<uint32_t>(std::min<size_t>(room, buffer_.size()));
  for (uint32_t i = 0; i < count; ++i) {
    data[i] = buffer_.front();
    buffer_.pop_front();
  }
  *inOutCount = count;
  const bool overflowed = overflow_;
  overflow_ = false;
  return overflowed ? DI_BUFFEROVERFLOW : DI_OK;
}

void DirectInputDevice8::Push(uint32_t offset, uint32_t data, uint32_t time, uint32_t sequence) {
  if (bufferSize_ == 0) return;
  if (buffer_.size() >= bufferSize_) {
    buffer_.pop_front();
    overflow_ = true;
  }
  buffer_.push_back(DeviceObjectData{offset, data, time, sequence, 0});
}

void DirectInputDevice8::OnKey(uint8_t dik, bool down, uint32_t time, uint32_t sequence) {
  if (!acquired_ || !IsKeyboard()) return;
  Push(dik, down ? 0x80u : 0u, time, sequence);
}

void DirectInputDevice8::OnMotion(int32_t dx, int32_t dy, uint32_t time, uint32_t sequence) {
  if (!acquired_ || IsKeyboard()) return;
  motionX_ += dx;
  motionY_ += dy;
  if (dx != 0) Push(DIMOFS_X, static_cast<uint32_t>(dx), time, sequence);
  if (dy != 0) Push(DIMOFS_Y, static_cast<uint32_t>(dy), time, sequence);
}

void DirectInputDevice8::OnButton(uint32_t index, bool down, uint32_t time, uint32_t sequence) {
  if (!acquired_ || IsKeyboard()) return;
  Push(DIMOFS_BUTTON0 + index, down ? 0x80u : 0u, time, sequence);
}

void DirectInputDevice8::OnWheel(int32_t delta, uint32_t time, uint32_t sequence) {
  if (!acquired_ || IsKeyboard()) return;
  motionZ_ += delta;
  Push(DIMOFS_Z, static_cast<uint32_t>(delta), time, sequence);
}

void DirectInputDevice8::OnForeground(WindowHandle window) {
  if (acquired_ && (cooperation_ & DISCL_FOREGROUND) != 0 && window != window_) Lose();
}

void DirectInputDevice8::Lose() {
  if (!acquired_) return;
  acquired_ = false;
  lost_ = true;
  buffer_.clear();
  overflow_ = false;
}

}  // namespace plat::input

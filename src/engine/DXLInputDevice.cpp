#include "engine/DXLInputDevice.h"

#include <cstring>

#include "engine/DXLInput.h"
#include "engine/DXLLog.h"

namespace di = plat::input;

DXLInputDevice::~DXLInputDevice() { DXLInputDevice::Release(); }

void DXLInputDevice::Release() {
  if (device_) {
    device_->Unacquire();
    device_.reset();
  }
  events_.reset();
}

void DXLInputDevice::SetOwner(DXLInput* owner) {
  if (owner == owner_) return;
  Release();
  owner_ = owner;
}

i32 DXLInputDevice::Enable() {
  if (enabled_) return 0;
  const i32 result = Poll();
  if (result < 0) return result;
  enabled_ = 1;
  return result;
}

void DXLInputDevice::Disable() {
  if (!enabled_) return;
  ResetState();
  enabled_ = 0;
}

i32 DXLInputDevice::CreateDevice(const char* name, di::DeviceGuid guid, di::DataFormat format, u32 extraFlags,
                                 const char* createText) {
  if (!owner_ || !owner_->IsValid()) {
    DXLReportErrorA(-1, "%s: Invalid DirectInput.", name);
    return kInputInvalidOwner;
  }
  if (exclusive_ && !foreground_) {
    DXLReportErrorA(-1, "%s: For security reasons, background exclusive %s access is not allowed.", name, name);
    return kInputGeneralFailure;
  }
  Release();
  u32 flags = exclusive_ ? di::DISCL_EXCLUSIVE : di::DISCL_NONEXCLUSIVE;
  flags |= foreground_ ? di::DISCL_FOREGROUND : di::DISCL_BACKGROUND;
  flags |= extraFlags;

  std::string text;
  i32 hr = owner_->GetDirectInput()->CreateDevice(guid, &device_);
  if (di::Failed(hr)) {
    DXLLogDXError(-1, createText, hr);
    device_.reset();
    return hr;
  }
  hr = device_->SetDataFormat(format);
  if (di::Failed(hr)) {
    text = std::string(name) + ": SetDataFormat ";
    DXLLogDXError(-1, text.c_str(), hr);
    Release();
    return hr;
  }
  hr = device_->SetCooperativeLevel(owner_->GetWindow(), flags);
  if (di::Failed(hr)) {
    text = std::string(name) + ": SetCooperativeLevel ";
    DXLLogDXError(-1, text.c_str(), hr);
    Release();
    return hr;
  }
  if (!immediate_) {
    if (bufferSize_ < 1) bufferSize_ = 1;
    hr = device_->SetBufferSize(bufferSize_);
    if (di::Failed(hr)) {
      text = std::string(name) + ": SetBufferSize ";
      DXLLogDXError(-1, text.c_str(), hr);
      Release();
      return hr;
    }
    events_ = std::make_unique<di::DeviceObjectData[]>(bufferSize_);
    std::memset(events_.get(), 0, sizeof(di::DeviceObjectData) * bufferSize_);
  }
  return 0;
}

i32 DXLInputDevice::ReadState(u32 size, void* data) {
  std::memset(data, 0, size);
  const i32 hr = device_->GetDeviceState(size, data);
  if (di::Failed(hr)) {
    device_->Acquire();
    std::memset(data, 0, size);
  }
  return hr;
}

i32 DXLInputDevice::ReadEvents(u32* count) {
  *count = 0;
  if (!events_) return kInputNoDevice;
  u32 n = bufferSize_;
  const i32 hr = device_->GetDeviceData(events_.get(), &n);
  if (di::Failed(hr)) {
    const i32 acquired = device_->Acquire();
    return di::Failed(acquired) ? acquired : kReacquired;
  }
  *count = n;
  return hr == di::DI_BUFFEROVERFLOW ? kEventsLost : 0;
}

i32 DXLInputDevice::StartBufferedPoll(u32* count) {
  const i32 hr = ReadEvents(count);
  if (hr < 0 || hr == kReacquired) {
    // The device was lost: this poll counts as all released; once it is
    // back, what is still held goes down again.
    ReleaseHeld();
    if (hr == kReacquired) TakeUpDeviceState();
  }
  return hr;
}

void DXLInputDevice::EndBufferedPoll(i32 started) {
  if (started == kEventsLost) TakeUpDeviceState();
  AfterPoll();
}

i32 DXLInputDevice::PollBuffered() {
  u32 count = 0;
  const i32 started = StartBufferedPoll(&count);
  for (u32 i = 0; i < count; ++i) HandleEvent(events_[i]);
  EndBufferedPoll(started);
  return 0;
}

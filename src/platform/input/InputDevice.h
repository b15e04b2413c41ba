// One DirectInput-shaped device, keyboard or mouse, fed by the InputHub.
//
// Contract, in the terms the engine relies on:
// - A device needs its data format before it can be acquired; cooperative
//   level, data format and buffer size can only change while unacquired.
// - Acquire with the foreground level succeeds only while the level's window
//   is the foreground window (DIERR_OTHERAPPHASPRIO otherwise). When the
//   window loses the foreground the device is unacquired at once; the next
//   read reports DIERR_INPUTLOST, later reads DIERR_NOTACQUIRED, until it is
//   acquired again. A failed read leaves an all-zero state.
// - GetDeviceState gives the current keys (256 bytes, 0x80 = held) or a
//   MouseState2 whose axes hold the motion since the previous read while
//   acquired.
// - With a buffer size above 0, changes made while acquired are kept as
//   events, oldest first. When the buffer is full the oldest event is dropped,
//   and the next GetDeviceData reports DI_BUFFEROVERFLOW (a success) so the
//   reader knows events were lost; the state it ends with stays right.
// - Destroying the device releases it; it is safe in any order with the hub.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "platform/input/InputTypes.h"
#include "platform/os/WindowTypes.h"

namespace plat::input {

class InputHub;

class DirectInputDevice8 {
 public:
  DirectInputDevice8(std::weak_ptr<InputHub> hub, DeviceGuid kind);
  ~DirectInputDevice8();
  DirectInputDevice8(const DirectInputDevice8&) = delete;
  DirectInputDevice8& operator=(const DirectInputDevice8&) = delete;

  HRESULT SetDataFormat(DataFormat format);
  HRESULT SetCooperativeLevel(WindowHandle window, uint32_t flags);
  HRESULT SetBufferSize(uint32_t events);                         // the buffer-size property
  HRESULT Acquire();                                              // DI_NOEFFECT when acquired
  HRESULT Unacquire();                                            // DI_NOEFFECT when not
  HRESULT GetDeviceState(uint32_t size, void* data);              // size must match the format
  HRESULT GetDeviceData(DeviceObjectData* data, uint32_t* inOutCount);  // count in: room, out: taken

  DeviceGuid Kind() const { return kind_; }
  bool Acquired() const { return acquired_; }

 private:
  friend class InputHub;

  // Reports from the hub.
  void OnKey(uint8_t dik, bool down, uint32_t time, uint32_t sequence);
  void OnMotion(int32_t dx, int32_t dy, uint32_t time, uint32_t sequence);
  void OnButton(uint32_t index, bool down, uint32_t time, uint32_t sequence);
  void OnWheel(int32_t delta, uint32_t time, uint32_t sequence);
  void OnForeground(WindowHandle window);
  void Lose();

  bool IsKeyboard() const { return kind_ == DeviceGuid::SysKeyboard; }
  HRESULT NotAcquiredResult();
  void Push(uint32_t offset, uint32_t data, uint32_t time, uint32_t sequence);

  std::weak_ptr<InputHub> hub_;
  DeviceGuid kind_;
  DataFormat format_ = DataFormat::None;
  WindowHandle window_ = 0;
  uint32_t cooperation_ = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
  uint32_t bufferSize_ = 0;
  std::deque<DeviceObjectData> buffer_;
  bool overflow_ = false;
  bool acquired_ = false;
  bool lost_ = false;
  int32_t motionX_ = 0, motionY_ = 0, motionZ_ = 0;
};

}  // namespace plat::input

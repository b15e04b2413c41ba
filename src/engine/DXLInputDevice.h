// DXLInputDevice - one keyboard or mouse read through the DirectInput-shaped
// platform devices. Each device keeps its own state table, turns changes of
// it into events and calls the plain function pointers its owner installed;
// callbacks fire only while the device is enabled. Devices are acquired
// lazily by their first poll; a poll whose read fails tries to acquire again
// and treats that poll as "everything released", so nothing stays held
// across a loss of the device.
//
// Immediate mode (the default) compares whole states once per poll, so a
// press and release between two polls is never seen. Buffered mode reads
// every change in order. A buffered poll whose read fails counts as
// "everything released", as in immediate mode; when it acquires the device
// again it then takes up the device's state (what is still held goes down
// again). A poll that finds events lost (the buffer overflowed) takes up the
// state after the events it got. So the table never disagrees with the
// device after a poll. Neither mode's poll fails for a lost device.
#pragma once

#include <memory>

#include "base/Types.h"
#include "platform/input/InputDevice.h"

class DXLInput;

// Device kinds and mask bits.
constexpr u32 kInputMouse = 1;
constexpr u32 kInputKeyboard = 2;
constexpr u32 kInputThird = 4;

// Input result codes.
constexpr i32 kInputMouseFailed = static_cast<i32>(0xA3E93101u);
constexpr i32 kInputKeyboardFailed = static_cast<i32>(0xA3E93102u);
constexpr i32 kInputThirdFailed = static_cast<i32>(0xA3E93104u);
constexpr i32 kInputInvalidOwner = static_cast<i32>(0xA3E93110u);
constexpr i32 kInputNoDevice = static_cast<i32>(0xA3E93120u);
constexpr i32 kInputGeneralFailure = static_cast<i32>(0x80004005u);

class DXLInputDevice {
 public:
  explicit DXLInputDevice(DXLInput* owner) : owner_(owner) {}
  DXLInputDevice(const DXLInputDevice&) = delete;
  DXLInputDevice& operator=(const DXLInputDevice&) = delete;
  virtual ~DXLInputDevice();

  virtual u32 GetKind() const = 0;
  virtual i32 Create() = 0;     // 0 or a failure, logged
  virtual void Release();       // unacquires and drops the device, frees the buffer, clears the state
  virtual i32 Poll() = 0;       // reads the device and fires the events
  virtual i32 Enable();         // takes up the current state without callbacks, then enables
  virtual void Disable();       // releases what is held (firing), then disables
  virtual void ResetState() = 0;  // while enabled: releases every key or button held

  // A buffered poll in steps, so the input manager can interleave the events
  // of two devices in the order they happened (their sequence numbers);
  // PollBuffered runs the steps for one device. StartBufferedPoll reads the
  // events (a lost device releases everything here, and takes up the state
  // once acquired again) and gives their count; HandleEvent handles one
  // (Event(i) for i below the count); EndBufferedPoll takes up the state
  // after lost events and ends the poll (auto-repeat, pointer). Only for a
  // device that CanPollBuffered.
  bool CanPollBuffered() const { return device_ != nullptr && !immediate_ && events_ != nullptr; }
  i32 StartBufferedPoll(u32* count);
  const plat::input::DeviceObjectData& Event(u32 index) const { return events_[index]; }
  virtual void HandleEvent(const plat::input::DeviceObjectData& event) = 0;
  void EndBufferedPoll(i32 started);

  // A different owner releases the device first.
  void SetOwner(DXLInput* owner);
  DXLInput* GetOwner() const { return owner_; }
  bool HasDevice() const { return device_ != nullptr; }
  plat::input::DirectInputDevice8* GetDevice() const { return device_.get(); }
  bool IsEnabled() const { return enabled_ != 0; }
  bool IsImmediate() const { return immediate_ != 0; }

  void SetExclusive(bool on) { exclusive_ = on ? 1 : 0; }
  void SetForeground(bool on) { foreground_ = on ? 1 : 0; }
  void SetImmediate(bool on) { immediate_ = on ? 1 : 0; }
  void SetBufferSize(u32 events) { bufferSize_ = events; }

 protected:
  // Steps shared by the keyboard and mouse set-up: owner check, access check,
  // device creation, data format, cooperative level and, in buffered mode, the
  // buffer size. `name` is "Keyboard" or "Mouse"; extra flags join the
  // cooperative level. Returns 0 or the failure, logged.
  i32 CreateDevice(const char* name, plat::input::DeviceGuid guid, plat::input::DataFormat format,
                   u32 extraFlags, const char* createText);
  // Reads the state; a failure acquires for the next poll and leaves `data`
  // zeroed. Returns the read's result.
  i32 ReadState(u32 size, void* data);
  // Reads up to the buffer's size of events into events_; `count` gets the
  // number read. Returns 0; kEventsLost when the buffer overflowed since the
  // last read (the events kept are the newest); kReacquired when the read
  // failed and the device was acquired again (nothing read); or, when
  // acquiring failed too, that failure.
  i32 ReadEvents(u32* count);
  static constexpr i32 kEventsLost = 1;
  static constexpr i32 kReacquired = 2;
  i32 PollBuffered();  // returns 0 (a lost device counts as all released)
  virtual void ReleaseHeld() = 0;        // every held key or button goes up (firing while enabled)
  virtual void TakeUpDeviceState() = 0;  // reads the device's state and goes over to it
  virtual void AfterPoll() = 0;

  DXLInput* owner_;
  std::unique_ptr<plat::input::DirectInputDevice8> device_;
  u8 exclusive_ = 0;
  u8 foreground_ = 1;
  u8 immediate_ = 1;
  u8 enabled_ = 1;
  u32 bufferSize_ = 8;
  std::unique_ptr<plat::input::DeviceObjectData[]> events_;
};

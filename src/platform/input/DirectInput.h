// The DirectInput-shaped entry point: the input object made by
// DirectInput8Create creates the system keyboard and mouse. Both take their
// input from the hub of the installed window system (WindowSystem::Input);
// devices stay safe to use, failing, when that window system goes away.
#pragma once

#include <memory>

#include "platform/input/InputDevice.h"
#include "platform/input/InputTypes.h"
#include "platform/os/WindowTypes.h"

namespace plat::input {

class InputHub;

class DirectInput8 {
 public:
  explicit DirectInput8(std::weak_ptr<InputHub> hub) : hub_(std::move(hub)) {}
  DirectInput8(const DirectInput8&) = delete;
  DirectInput8& operator=(const DirectInput8&) = delete;

  HRESULT CreateDevice(DeviceGuid guid, std::unique_ptr<DirectInputDevice8>* out);  // the caller owns *out

 private:
  std::weak_ptr<InputHub> hub_;
};

// Only version 0x0800 is known (DIERR_OLDDIRECTINPUTVERSION otherwise).
HRESULT DirectInput8Create(InstanceHandle instance, uint32_t version, std::unique_ptr<DirectInput8>* out);

}  // namespace plat::input

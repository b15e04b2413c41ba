#include "platform/input/DirectInput.h"

#include "platform/input/InputHub.h"
#include "platform/os/WindowSystem.h"

namespace plat::input {

HRESULT DirectInput8::CreateDevice(DeviceGuid guid, std::unique_ptr<DirectInputDevice8>* out) {
  if (out == nullptr) return DIERR_INVALIDPARAM;
  out->reset();
  auto hub = hub_.lock();
  if (!hub) return DIERR_NOTINITIALIZED;
  if (guid != DeviceGuid::SysKeyboard && guid != DeviceGuid::SysMouse) return DIERR_INVALIDPARAM;
  if (HRESULT hr = hub->TakeFault(InputOp::CreateDevice); Failed(hr)) return hr;
  *out = std::make_unique<DirectInputDevice8>(hub_, guid);
  return DI_OK;
}

HRESULT DirectInput8Create(InstanceHandle /*instance*/, uint32_t version, std::unique_ptr<DirectInput8>* out) {
  if (out == nullptr) return DIERR_INVALIDPARAM;
  out->reset();
  if (version != DIRECTINPUT_VERSION) return DIERR_OLDDIRECTINPUTVERSION;
  std::shared_ptr<InputHub> hub = GetWindowSystem().InputShared();
  if (HRESULT hr = hub->TakeFault(InputOp::Create); Failed(hr)) return hr;
  *out = std::make_unique<DirectInput8>(hub);
  return DI_OK;
}

}  // namespace plat::input

// DXLInput - the input manager: owns the DirectInput object and up to three
// devices addressed by a mask (1 mouse, 2 keyboard, 4 a third device that
// nothing creates). Group operations run over the selected devices in the
// order mouse, keyboard, third and return the last result. The manager is
// valid for its devices while it has a window (neither 0 nor -1) and the
// DirectInput object.
#pragma once

#include <memory>

#include "engine/DXLInputDevice.h"
#include "engine/DXLKeyboard.h"
#include "engine/DXLMouse.h"
#include "platform/input/DirectInput.h"
#include "platform/os/WindowTypes.h"

class DXLInput {
 public:
  explicit DXLInput(plat::WindowHandle window) : window_(window) {}
  DXLInput(const DXLInput&) = delete;
  DXLInput& operator=(const DXLInput&) = delete;
  ~DXLInput();  // deletes the devices, then DirectInput

  i32 InitDirectInput();      // 0, or the failure (logged)
  i32 CreateDevices(u32 mask);  // needs DirectInput; makes missing mouse/keyboard objects
  i32 InitDevices(u32 mask);    // Create of each selected device; OR of the failure codes
  i32 Poll(u32 mask);
  i32 Enable(u32 mask);
  i32 Disable(u32 mask);
  i32 ResetState(u32 mask);
  bool HasDevice(u32 bit) const;
  void DeleteDevices(u32 mask);

  bool IsValid() const;
  plat::WindowHandle GetWindow() const { return window_; }
  plat::input::DirectInput8* GetDirectInput() const { return di_.get(); }
  DXLMouse* GetMouse() const { return mouse_.get(); }
  DXLKeyboard* GetKeyboard() const { return keyboard_.get(); }

 private:
  template <typename Fn>
  i32 ForEach(u32 mask, Fn fn);

  plat::WindowHandle window_;
  std::unique_ptr<plat::input::DirectInput8> di_;
  std::unique_ptr<DXLMouse> mouse_;
  std::unique_ptr<DXLKeyboard> keyboard_;
  std::unique_ptr<DXLInputDevice> third_;
};

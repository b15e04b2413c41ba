// DXLMouse - the system mouse: three buttons (codes 1 left, 2 middle, 4
// right), the pointer position in screen coordinates, the wheel, and double
// clicks in the system's terms (its double-click time and rectangle). Points
// given to the callbacks are client coordinates of the owner's window.
//
// A second left press counts as a double click only while more than 100 ms
// of the double-click time are left and within the double-click rectangle of
// the first; a double click fires instead of that press's button-down. With
// track cursor on, a move fires on every poll even when the mouse is still
// (in either mode).
#pragma once

#include "engine/DXLInputDevice.h"
#include "platform/os/WindowTypes.h"

struct DXLPOINT {
  i32 x, y;
};

using DXLMOUSEBUTTONCALLBACK = void (*)(DXLPOINT point, u32 button);
using DXLMOUSEMOVECALLBACK = void (*)(DXLPOINT point, u32 buttonsHeld);
using DXLMOUSEDBLCLKCALLBACK = void (*)(DXLPOINT point);
using DXLMOUSEWHEELCALLBACK = void (*)(DXLPOINT point, i32 delta, u32 buttonsHeld);

constexpr u32 kMouseLeft = 1;
constexpr u32 kMouseMiddle = 2;
constexpr u32 kMouseRight = 4;

class DXLMouse : public DXLInputDevice {
 public:
  explicit DXLMouse(DXLInput* owner);
  ~DXLMouse() override;

  u32 GetKind() const override { return kInputMouse; }
  i32 Create() override;
  void Release() override;
  i32 Poll() override;
  void ResetState() override;
  void HandleEvent(const plat::input::DeviceObjectData& event) override;

  void SetTrackCursor(bool on) { trackCursor_ = on ? 1 : 0; }
  bool GetTrackCursor() const { return trackCursor_ != 0; }
  void SetDoubleClick(bool on) { doubleClick_ = on ? 1 : 0; }
  u32 GetButtonsHeld() const { return buttonsHeld_; }
  DXLPOINT GetPosition() const { return position_; }  // screen coordinates
  DXLPOINT GetClientPosition() const;

  void SetButtonDownCallback(DXLMOUSEBUTTONCALLBACK callback) { onDown_ = callback; }
  void SetButtonUpCallback(DXLMOUSEBUTTONCALLBACK callback) { onUp_ = callback; }
  void SetMoveCallback(DXLMOUSEMOVECALLBACK callback) { onMove_ = callback; }
  void SetDoubleClickCallback(DXLMOUSEDBLCLKCALLBACK callback) { onDoubleClick_ = callback; }
  void SetWheelCallback(DXLMOUSEWHEELCALLBACK callback) { onWheel_ = callback; }

 private:
  void ReadSystemMetrics();
  void Move(i32 x, i32 y);
  void FollowPointer(bool always);  // moves to the system's pointer when it differs (or always)
  void Wheel(i32 delta);
  void ButtonChange(u32 code, bool down);
  void TakeUpButtons(const plat::input::MouseState2& state);  // buttons 0, 2, 1 as codes 1, 2, 4
  void ReleaseHeld() override;
  void TakeUpDeviceState() override;
  void AfterPoll() override;
  u32& ButtonState(u32 code);
  DXLPOINT ToClient(DXLPOINT screen) const;

  u8 doubleClick_ = 1;
  u32 doubleClickWidth_ = 4;
  u32 doubleClickHeight_ = 4;
  u32 doubleClickTime_ = 500;
  u32 buttons_[3] = {};  // codes 1, 2 and 4
  u32 buttonsHeld_ = 0;
  DXLPOINT position_{0, 0};
  DXLPOINT lastClick_{-1, -1};
  u8 trackCursor_ = 0;
  u32 lastClickTime_ = 0;  // 0: none
  DXLMOUSEBUTTONCALLBACK onDown_ = nullptr;
  DXLMOUSEBUTTONCALLBACK onUp_ = nullptr;
  DXLMOUSEMOVECALLBACK onMove_ = nullptr;
  DXLMOUSEDBLCLKCALLBACK onDoubleClick_ = nullptr;
  DXLMOUSEWHEELCALLBACK onWheel_ = nullptr;
};

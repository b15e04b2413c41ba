#include "engine/DXLMouse.h"

#include <cstdlib>

#include "engine/DXLInput.h"
#include "platform/os/Clock.h"
#include "platform/os/WindowSystem.h"

namespace di = plat::input;

namespace {

constexpr u32 kDoubleClickMargin = 100;  // ms of the double-click time that must be left

}  // namespace

DXLMouse::DXLMouse(DXLInput* owner) : DXLInputDevice(owner) {
  bufferSize_ = 16;
  ReadSystemMetrics();
}

DXLMouse::~DXLMouse() { DXLMouse::Release(); }

void DXLMouse::ReadSystemMetrics() {
  plat::WindowSystem& ws = plat::GetWindowSystem();
  doubleClickWidth_ = static_cast<u32>(ws.GetSystemMetrics(plat::SM_CXDOUBLECLK));
  doubleClickHeight_ = static_cast<u32>(ws.GetSystemMetrics(plat::SM_CYDOUBLECLK));
  doubleClickTime_ = ws.GetDoubleClickTime();
}

void DXLMouse::Release() {
  DXLInputDevice::Release();
  buttons_[0] = buttons_[1] = buttons_[2] = 0;
  buttonsHeld_ = 0;
  lastClickTime_ = 0;
}

i32 DXLMouse::Create() {
  buttons_[0] = buttons_[1] = buttons_[2] = 0;
  buttonsHeld_ = 0;
  lastClickTime_ = 0;
  ReadSystemMetrics();
  return CreateDevice("Mouse", di::GUID_SysMouse, di::c_dfDIMouse2, 0, "Mouse: CreateDevice ");
}

DXLPOINT DXLMouse::ToClient(DXLPOINT screen) const {
  plat::Point p{screen.x, screen.y};
  if (owner_) plat::GetWindowSystem().ScreenToClient(owner_->GetWindow(), &p);
  return DXLPOINT{p.x, p.y};
}

DXLPOINT DXLMouse::GetClientPosition() const { return ToClient(position_); }

u32& DXLMouse::ButtonState(u32 code) { return buttons_[code == kMouseLeft ? 0 : (code == kMouseMiddle ? 1 : 2)]; }

i32 DXLMouse::Poll() {
  if (!device_) return kInputNoDevice;
  if (immediate_) {
    di::MouseState2 state{};
    ReadState(sizeof(state), &state);
    const bool motion = state.x != 0 || state.y != 0;
    if (motion || trackCursor_ || !enabled_) FollowPointer(true);
    TakeUpButtons(state);
    if (state.z != 0) Wheel(state.z);
    return 0;
  }
  return PollBuffered();
}

void DXLMouse::HandleEvent(const di::DeviceObjectData& event) {
  const i32 value = static_cast<i32>(event.data);
  switch (event.offset) {
    case di::DIMOFS_X:
      Move(position_.x + value, position_.y);
      break;
    case di::DIMOFS_Y:
      Move(position_.x, position_.y + value);
      break;
    case di::DIMOFS_Z:
      Wheel(value);
      break;
    case di::DIMOFS_BUTTON0:
      ButtonChange(kMouseLeft, (event.data & 0x80) != 0);
      break;
    case di::DIMOFS_BUTTON1:
      ButtonChange(kMouseRight, (event.data & 0x80) != 0);
      break;
    case di::DIMOFS_BUTTON2:
      ButtonChange(kMouseMiddle, (event.data & 0x80) != 0);
      break;
    default:
      break;
  }
}

// The pointer's place is the system's; with track cursor on it is reported
// on every poll, as in immediate mode.
void DXLMouse::AfterPoll() { FollowPointer(trackCursor_ != 0); }

void DXLMouse::FollowPointer(bool always) {
  plat::Point p{0, 0};
  plat::GetWindowSystem().GetCursorPos(&p);
  if (always || p.x != position_.x || p.y != position_.y) Move(p.x, p.y);
}

void DXLMouse::TakeUpButtons(const plat::input::MouseState2& state) {
  ButtonChange(kMouseLeft, (state.buttons[0] & 0x80) != 0);
  ButtonChange(kMouseMiddle, (state.buttons[2] & 0x80) != 0);
  ButtonChange(kMouseRight, (state.buttons[1] & 0x80) != 0);
}

// Buttons still held go down where the pointer is.
void DXLMouse::TakeUpDeviceState() {
  FollowPointer(false);
  di::MouseState2 state{};
  if (device_->GetDeviceState(sizeof(state), &state) >= 0) TakeUpButtons(state);
}

void DXLMouse::ReleaseHeld() {
  ButtonChange(kMouseLeft, false);
  ButtonChange(kMouseRight, false);
  ButtonChange(kMouseMiddle, false);
}

void DXLMouse::Move(i32 x, i32 y) {
  position_ = DXLPOINT{x, y};
  if (enabled_ && onMove_) onMove_(ToClient(position_), buttonsHeld_);
}

void DXLMouse::Wheel(i32 delta) {
  if (enabled_ && onWheel_) onWheel_(ToClient(position_), delta, buttonsHeld_);
}

void DXLMouse::ButtonChange(u32 code, bool down) {
  u32& state = ButtonState(code);
  if ((state != 0) == down) {
    if (down) {
      buttonsHeld_ |= code;
    } else {
      buttonsHeld_ &= ~code;
    }
    return;
  }
  const DXLPOINT point = ToClient(position_);
  state = down ? 1 : 0;
  if (!down) {
    buttonsHeld_ &= ~code;
    if (code != kMouseLeft) lastClickTime_ = 0;
    if (enabled_ && onUp_) onUp_(point, code);
    return;
  }
  buttonsHeld_ |= code;
  if (!enabled_) return;
  const u32 now = plat::GetTimeMs();
  if (code == kMouseLeft && doubleClick_ && lastClickTime_ != 0) {
    // Time left of the double-click window, through the clock's wrap.
    const i32 left = static_cast<i32>(lastClickTime_ + doubleClickTime_ - now);
    const u32 dx = static_cast<u32>(std::abs(point.x - lastClick_.x));
    const u32 dy = static_cast<u32>(std::abs(point.y - lastClick_.y));
    if (left > static_cast<i32>(kDoubleClickMargin) && dx <= doubleClickWidth_ && dy <= doubleClickHeight_) {
      lastClickTime_ = 0;
      if (onDoubleClick_) onDoubleClick_(point);
      return;
    }
  }
  if (code == kMouseLeft) {
    lastClick_ = point;
    lastClickTime_ = now;
  } else {
    lastClickTime_ = 0;
  }
  if (onDown_) onDown_(point, code);
}

void DXLMouse::ResetState() {
  if (!device_ || !enabled_) return;
  ReleaseHeld();
}

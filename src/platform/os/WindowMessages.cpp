// The message side of plat::WindowSystem: the queue, sending and dispatch,
// the pointer, cursor and keyboard state, and what backends and scripted user
// actions feed in. Classes, geometry and windows are in WindowSystem.cpp.
#include "platform/os/WindowSystem.h"

#include <algorithm>

#include "platform/input/InputHub.h"
#include "platform/input/KeyCodes.h"
#include "platform/os/Clock.h"
#include "platform/os/SingleInstance.h"
#include "platform/os/WindowRecords.h"

namespace plat {

namespace {

constexpr size_t kQueueLimit = 10000;  // posting fails beyond this, so a runaway poster cannot eat memory

}  // namespace

// ---- Messages ----------------------------------------------------------------

bool WindowSystem::PeekMessage(Msg* msg, uint32_t remove) {
  if (msg == nullptr) return false;
  Pump();
  if (!queue_.empty()) {
    *msg = queue_.front();
    if ((remove & PM_REMOVE) != 0) queue_.pop_front();
    return true;
  }
  if (quitPending_) {
    *msg = Msg{0, WM_QUIT, static_cast<uintptr_t>(quitCode_), 0, GetTimeMs(), pointer_};
    if ((remove & PM_REMOVE) != 0) quitPending_ = false;
    return true;
  }
  return false;
}

bool WindowSystem::PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (window != 0 && !IsWindow(window)) return false;
  if (queue_.size() >= kQueueLimit) return false;
  queue_.push_back(Msg{window, message, wParam, lParam, GetTimeMs(), pointer_});
  return true;
}

void WindowSystem::PostQuitMessage(int32_t exitCode) {
  quitPending_ = true;
  quitCode_ = exitCode;
}

bool WindowSystem::TranslateMessage(const Msg& msg) {
  return msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
}

intptr_t WindowSystem::DispatchMessage(const Msg& msg) {
  if (msg.window == 0) return 0;
  return SendMessage(msg.window, msg.message, msg.wParam, msg.lParam);
}

intptr_t WindowSystem::SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  const WindowRecord* w = Find(window);
  if (w == nullptr) return 0;
  return w->cls->proc(window, message, wParam, lParam);
}

intptr_t WindowSystem::DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  const WindowRecord* w = Find(window);
  if (w == nullptr) return 0;
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
          ShowWindow(window, SW_MINIMIZE);
          break;
        case SC_MAXIMIZE:
          ShowWindow(window, SW_SHOWMAXIMIZED);
          break;
        case SC_RESTORE:
          ShowWindow(window, SW_RESTORE);
          break;
        case SC_CLOSE:
          SendMessage(window, WM_CLOSE, 0, 0);
          break;
        default:
          break;
      }
      return 0;
    case WM_SETCURSOR: {
      // The class cursor over the client area, the system's arrow over the frame.
      const uint32_t hit = LoWord(static_cast<uintptr_t>(lParam));
      if (hit == HTCLIENT) {
        if (w->cls->cursor == 0) return 0;
        SetCursor(w->cls->cursor);
        return 1;
      }
      if (hit == HTNOWHERE) return 0;
      SetCursor(kCursorBase | IDC_ARROW);
      return 1;
    }
    default:
      return 0;
  }
}

// ---- Pointer, cursor, keys ---------------------------------------------------

bool WindowSystem::GetCursorPos(Point* point) const {
  if (point == nullptr) return false;
  *point = pointer_;
  return true;
}

CursorHandle WindowSystem::SetCursor(CursorHandle cursor) {
  const CursorHandle previous = cursor_;
  cursor_ = cursor;
  return previous;
}

int32_t WindowSystem::GetSystemMetrics(int32_t index) const {
  switch (index) {
    case SM_CXSCREEN:
      return desktop_.width;
    case SM_CYSCREEN:
      return desktop_.height;
    case SM_CXDOUBLECLK:
      return desktop_.doubleClickWidth;
    case SM_CYDOUBLECLK:
      return desktop_.doubleClickHeight;
    default:
      return 0;
  }
}

int16_t WindowSystem::GetKeyState(int32_t virtualKey) const {
  const input::InputHub& in = *input_;
  bool held = false;
  switch (virtualKey) {
    case VK_SHIFT:
      held = in.KeyHeld(DIK_LSHIFT) || in.KeyHeld(DIK_RSHIFT);
      break;
    case VK_CONTROL:
      held = in.KeyHeld(DIK_LCONTROL) || in.KeyHeld(DIK_RCONTROL);
      break;
    case VK_MENU:
      held = in.KeyHeld(DIK_LMENU) || in.KeyHeld(DIK_RMENU);
      break;
    case VK_LSHIFT:
      held = in.KeyHeld(DIK_LSHIFT);
      break;
    case VK_RSHIFT:
      held = in.KeyHeld(DIK_RSHIFT);
      break;
    case VK_LCONTROL:
      held = in.KeyHeld(DIK_LCONTROL);
      break;
    case VK_RCONTROL:
      held = in.KeyHeld(DIK_RCONTROL);
      break;
    case VK_LMENU:
      held = in.KeyHeld(DIK_LMENU);
      break;
    case VK_RMENU:
      held = in.KeyHeld(DIK_RMENU);
      break;
    case VK_LBUTTON:
      held = in.ButtonHeld(0);
      break;
    case VK_RBUTTON:
      held = in.ButtonHeld(1);
      break;
    case VK_MBUTTON:
      held = in.ButtonHeld(2);
      break;
    default:
      for (int k = 1; k < 256 && !held; ++k) {
        held = VirtualKeyFromDik(static_cast<uint8_t>(k)) == virtualKey && in.KeyHeld(static_cast<uint8_t>(k));
      }
      break;
  }
  return held ? static_cast<int16_t>(INT16_MIN) : 0;
}

int16_t WindowSystem::GetAsyncKeyState(int32_t virtualKey) const { return GetKeyState(virtualKey); }

// ---- Backends and user actions -----------------------------------------------

void WindowSystem::Pump() {
  if (source_ != nullptr) source_->Pump(*this);
  if (watched_ != nullptr) {
    for (int n = watched_->TakeForwardRequests(); n > 0; --n) BringForward(FindWindow(watched_->Name()));
  }
}

void WindowSystem::BringForward(WindowHandle window) {
  if (!IsWindow(window)) return;
  if (IsIconic(window)) {
    ShowWindow(window, SW_RESTORE);
  } else {
    SetForegroundWindow(window);
  }
}

WindowHandle WindowSystem::MainWindow() const {
  if (IsWindow(foreground_)) return foreground_;
  for (const auto& w : windows_) {
    if (w->visible) return w->handle;
  }
  return windows_.empty() ? 0 : windows_.front()->handle;
}

WindowHandle WindowSystem::KeyTarget() const {
  if (foreground_ == 0) return 0;
  return IsWindow(focus_) ? focus_ : 0;
}

void WindowSystem::UserKey(uint8_t dik, bool down) {
  const bool wasHeld = input_->KeyHeld(dik);
  input_->Key(dik, down);
  const WindowHandle target = KeyTarget();
  const uint8_t vk = VirtualKeyFromDik(dik);
  if (target == 0 || vk == 0 || (!down && !wasHeld)) return;
  const bool alt = input_->KeyHeld(DIK_LMENU) || input_->KeyHeld(DIK_RMENU);
  const bool ctrl = input_->KeyHeld(DIK_LCONTROL) || input_->KeyHeld(DIK_RCONTROL);
  const bool system = (alt && !ctrl) || vk == VK_MENU || vk == VK_F10;
  // Repeat count 1, scan code, extended-key bit, Alt context, previous state, transition.
  uint32_t bits = 1u | (static_cast<uint32_t>(dik & 0x7F) << 16);
  if ((dik & 0x80) != 0) bits |= 1u << 24;
  if (alt) bits |= 1u << 29;
  if (wasHeld) bits |= 1u << 30;
  if (!down) bits |= 1u << 31;
  const uint32_t message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  PostMessage(target, message, vk, static_cast<intptr_t>(bits));
}

void WindowSystem::UserText(std::u16string_view text) {
  const WindowHandle target = KeyTarget();
  if (target == 0) return;
  for (char16_t unit : text) PostMessage(target, WM_CHAR, unit, 1);
}

void WindowSystem::UserPointer(Point screen) {
  const int32_t dx = screen.x - pointer_.x;
  const int32_t dy = screen.y - pointer_.y;
  PlacePointer(screen);
  input_->Motion(dx, dy);
  MouseMessage(WM_MOUSEMOVE);
}

void WindowSystem::PlacePointer(Point screen) {
  pointer_.x = std::clamp(screen.x, 0, std::max(desktop_.width - 1, 0));
  pointer_.y = std::clamp(screen.y, 0, std::max(desktop_.height - 1, 0));
}

void WindowSystem::UserButton(uint32_t index, bool down) {
  const bool wasHeld = input_->ButtonHeld(index);
  input_->Button(index, down);
  if (wasHeld == down) return;
  static constexpr uint32_t kDown[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  static constexpr uint32_t kUp[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
  if (index < 3) MouseMessage(down ? kDown[index] : kUp[index]);
}

void WindowSystem::UserWheel(int32_t delta) {
  input_->Wheel(delta);
  const WindowHandle target = KeyTarget();
  if (target == 0 || delta == 0) return;
  const uintptr_t wParam = (static_cast<uintptr_t>(static_cast<uint16_t>(delta)) << 16) | MouseKeyFlags();
  PostMessage(target, WM_MOUSEWHEEL, wParam, MakeLParam(pointer_.x, pointer_.y));
}

void WindowSystem::UserActivate(WindowHandle window) { Activate(window != 0 ? window : MainWindow()); }

void WindowSystem::UserDeactivate() { Activate(0); }

void WindowSystem::UserCommand(WindowHandle window, uint32_t command) {
  PostMessage(window != 0 ? window : MainWindow(), WM_SYSCOMMAND, command, 0);
}

void WindowSystem::UserClose(WindowHandle window) { PostMessage(window != 0 ? window : MainWindow(), WM_CLOSE, 0, 0); }

WindowHandle WindowSystem::WindowAt(Point screen) const {
  const WindowRecord* fg = Find(foreground_);
  if (fg != nullptr && fg->visible && !fg->minimised && OuterRect(*fg).Contains(screen)) return fg->handle;
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    const WindowRecord& w = **it;
    if (w.visible && !w.minimised && OuterRect(w).Contains(screen)) return w.handle;
  }
  return 0;
}

uint32_t WindowSystem::HitTest(const WindowRecord& w, Point screen) const {
  if (ClientScreenRect(w).Contains(screen)) return HTCLIENT;
  const Rect outer = OuterRect(w);
  if (!outer.Contains(screen)) return HTNOWHERE;
  const Insets in = FrameOf(w.style);
  if ((w.style & WS_CAPTION) == WS_CAPTION && screen.y >= outer.top + in.top - desktop_.caption &&
      screen.y < outer.top + in.top && screen.x >= outer.left + in.left && screen.x < outer.right - in.right) {
    return HTCAPTION;
  }
  return HTBORDER;
}

uint32_t WindowSystem::MouseKeyFlags() const {
  uint32_t flags = 0;
  if (input_->ButtonHeld(0)) flags |= MK_LBUTTON;
  if (input_->ButtonHeld(1)) flags |= MK_RBUTTON;
  if (input_->ButtonHeld(2)) flags |= MK_MBUTTON;
  if (input_->KeyHeld(DIK_LSHIFT) || input_->KeyHeld(DIK_RSHIFT)) flags |= MK_SHIFT;
  if (input_->KeyHeld(DIK_LCONTROL) || input_->KeyHeld(DIK_RCONTROL)) flags |= MK_CONTROL;
  return flags;
}

// WM_SETCURSOR to the window under the pointer, then the mouse message when
// the pointer is over its client area.
void WindowSystem::MouseMessage(uint32_t message) {
  const WindowHandle window = WindowAt(pointer_);
  const WindowRecord* w = Find(window);
  if (w == nullptr) return;
  const uint32_t hit = HitTest(*w, pointer_);
  SendMessage(window, WM_SETCURSOR, window, MakeLParam(static_cast<int32_t>(hit), static_cast<int32_t>(message)));
  if (hit != HTCLIENT) return;
  Point client = pointer_;
  if (!ScreenToClient(window, &client)) return;
  PostMessage(window, message, MouseKeyFlags(), MakeLParam(client.x, client.y));
}

}  // namespace plat

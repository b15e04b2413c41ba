#include "platform/os/WindowSystem.h"

#include <algorithm>
#include <climits>

#include "platform/encoding/Ascii.h"
#include "platform/input/InputHub.h"
#include "platform/input/KeyCodes.h"
#include "platform/os/Clock.h"
#include "platform/os/SingleInstance.h"

namespace plat {

namespace {

constexpr WindowHandle kFirstWindow = 0x00100010;
constexpr WindowHandle kWindowStep = 0x10;
constexpr uintptr_t kCursorBase = 0x00010000;
constexpr uintptr_t kIconBase = 0x00020000;
constexpr uintptr_t kBrushBase = 0x00030000;
constexpr int32_t kIconicPosition = -32000;
constexpr int32_t kIconicWidth = 160;
constexpr int32_t kIconicHeight = 28;
constexpr int32_t kMinTrackExtraWidth = 120;
constexpr size_t kQueueLimit = 10000;  // posting fails beyond this, so a runaway poster cannot eat memory
constexpr uint32_t kStateBits = WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE;

constexpr uint32_t kSystemCursors[] = {IDC_ARROW, IDC_IBEAM,       IDC_WAIT, IDC_CROSS,
                                       IDC_HAND,  IDC_APPSTARTING, IDC_HELP};

// Class names compare without regard to the case of A-Z.
bool SameName(std::u16string_view a, std::u16string_view b) { return AsciiEqualNoCase(a, b); }

WindowSystem* gInstalled = nullptr;

}  // namespace

struct WindowSystem::ClassRecord {
  std::u16string name;
  uint32_t style;
  WndProc proc;
  InstanceHandle instance;
  IconHandle icon;
  CursorHandle cursor;
  BrushHandle background;
  uint16_t atom;
};

struct WindowSystem::WindowRecord {
  WindowHandle handle;
  const ClassRecord* cls;
  std::u16string title;
  uint32_t style;  // without the state bits
  uint32_t exStyle;
  Rect normal;     // outer rectangle when neither minimised nor maximised
  bool visible = false;
  bool minimised = false;
  bool maximised = false;
  bool restoreMaximised = false;
  bool topmost = false;
};

WindowSystem::WindowSystem(const DesktopSettings& desktop)
    : desktop_(desktop),
      nextHandle_(kFirstWindow),
      pointer_{desktop.width / 2, desktop.height / 2},
      cursor_(kCursorBase | IDC_ARROW),
      input_(std::make_shared<input::InputHub>()) {}

WindowSystem::~WindowSystem() {
  if (gInstalled == this) gInstalled = nullptr;
}

// ---- Classes and resources -------------------------------------------------

uint16_t WindowSystem::RegisterClass(const WindowClass& cls) {
  if (cls.proc == nullptr || cls.className.empty() || FindClass(cls.className) != nullptr) return 0;
  if (failRegister_) {
    failRegister_ = false;
    return 0;
  }
  auto record = std::make_unique<ClassRecord>(ClassRecord{std::u16string(cls.className), cls.style, cls.proc,
                                                          cls.instance, cls.icon, cls.cursor, cls.background,
                                                          nextAtom_++});
  const uint16_t atom = record->atom;
  classes_.push_back(std::move(record));
  return atom;
}

bool WindowSystem::UnregisterClass(std::u16string_view className, InstanceHandle /*instance*/) {
  const ClassRecord* cls = FindClass(className);
  if (cls == nullptr) return false;
  for (const auto& w : windows_) {
    if (w->cls == cls) return false;
  }
  classes_.erase(std::find_if(classes_.begin(), classes_.end(), [cls](const auto& c) { return c.get() == cls; }));
  return true;
}

IconHandle WindowSystem::LoadIcon(InstanceHandle /*instance*/, uint32_t resourceId) {
  return kIconBase | (resourceId & 0xFFFF);
}

CursorHandle WindowSystem::LoadCursor(InstanceHandle instance, uint32_t cursorId) {
  if (instance != 0) return 0;  // the program carries no cursor resources
  return SystemCursorId(kCursorBase | cursorId) != 0 ? (kCursorBase | cursorId) : 0;
}

uint32_t WindowSystem::SystemCursorId(CursorHandle cursor) const {
  for (uint32_t id : kSystemCursors) {
    if (cursor == (kCursorBase | id)) return id;
  }
  return 0;
}

BrushHandle WindowSystem::GetStockObject(int32_t which) {
  return (which >= 0 && which <= 19) ? (kBrushBase | static_cast<uintptr_t>(which)) : 0;
}

const WindowSystem::ClassRecord* WindowSystem::FindClass(std::u16string_view name) const {
  for (const auto& c : classes_) {
    if (SameName(c->name, name)) return c.get();
  }
  return nullptr;
}

// ---- Geometry ----------------------------------------------------------------

WindowSystem::WindowRecord* WindowSystem::Find(WindowHandle window) const {
  if (window == 0 || window == kInvalidWindow) return nullptr;
  for (const auto& w : windows_) {
    if (w->handle == window) return w.get();
  }
  return nullptr;
}

WindowSystem::Insets WindowSystem::FrameOf(uint32_t style) const {
  Insets in{0, 0, 0, 0};
  if ((style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) != 0) {
    in = Insets{desktop_.frame, desktop_.frame, desktop_.frame, desktop_.frame};
  }
  if ((style & WS_CAPTION) == WS_CAPTION) in.top += desktop_.caption;
  return in;
}

Rect WindowSystem::OuterRect(const WindowRecord& w) const {
  if (w.minimised) {
    return Rect{kIconicPosition, kIconicPosition, kIconicPosition + kIconicWidth, kIconicPosition + kIconicHeight};
  }
  if (w.maximised) {
    const Insets in = FrameOf(w.style);
    return Rect{-in.left, -in.top, desktop_.width + in.right, desktop_.height + in.bottom};
  }
  return w.normal;
}

Rect WindowSystem::ClientScreenRect(const WindowRecord& w) const {
  const Rect outer = OuterRect(w);
  if (w.minimised) return Rect{outer.left, outer.top, outer.left, outer.top};
  const Insets in = FrameOf(w.style);
  Rect r{outer.left + in.left, outer.top + in.top, outer.right - in.right, outer.bottom - in.bottom};
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}

WindowSystem::Shape WindowSystem::ShapeOf(const WindowRecord& w) const {
  const Rect c = ClientScreenRect(w);
  return Shape{w.minimised, w.maximised, c.Width(), c.Height()};
}

// Tells the window about a change of its show state or client size.
void WindowSystem::NotifyShape(WindowHandle window, const Shape& before) {
  const WindowRecord* w = Find(window);
  if (w == nullptr) return;
  const Shape now = ShapeOf(*w);
  const bool stateChanged = now.minimised != before.minimised || now.maximised != before.maximised;
  const bool sizeChanged = now.width != before.width || now.height != before.height;
  if (!stateChanged && !(sizeChanged && !now.minimised)) return;
  const uint32_t kind = now.minimised ? SIZE_MINIMIZED : (now.maximised ? SIZE_MAXIMIZED : SIZE_RESTORED);
  const intptr_t size = now.minimised ? 0 : MakeLParam(now.width, now.height);
  SendMessage(window, WM_SIZE, kind, size);
}

bool WindowSystem::AdjustWindowRect(Rect* rect, uint32_t style, bool menu) const {
  if (rect == nullptr) return false;
  const Insets in = FrameOf(style);
  rect->left -= in.left;
  rect->top -= in.top + (menu ? desktop_.caption : 0);
  rect->right += in.right;
  rect->bottom += in.bottom;
  return true;
}

// Asks the window for its tracking limits and holds a captioned window's
// outer size between them.
Rect WindowSystem::ClampToTracking(WindowHandle window, Rect outer) {
  const WindowRecord* w = Find(window);
  if (w == nullptr) return outer;
  const Insets in = FrameOf(w->style);
  const int32_t frameW = in.left + in.right;
  const int32_t frameH = in.top + in.bottom;
  MinMaxInfo info{};
  info.maxSize = Point{desktop_.width + frameW, desktop_.height + frameH};
  info.maxPosition = Point{-in.left, -in.top};
  info.minTrackSize = Point{frameW + kMinTrackExtraWidth, frameH};
  info.maxTrackSize = Point{desktop_.width + frameW, desktop_.height + frameH};
  SendMessage(window, WM_GETMINMAXINFO, 0, reinterpret_cast<intptr_t>(&info));
  w = Find(window);
  if (w == nullptr || (w->style & (WS_CAPTION | WS_THICKFRAME)) == 0) return outer;
  const int32_t width = std::clamp(outer.Width(), info.minTrackSize.x, std::max(info.minTrackSize.x, info.maxTrackSize.x));
  const int32_t height =
      std::clamp(outer.Height(), info.minTrackSize.y, std::max(info.minTrackSize.y, info.maxTrackSize.y));
  return Rect{outer.left, outer.top, outer.left + width, outer.top + height};
}

// ---- Windows -----------------------------------------------------------------

WindowHandle WindowSystem::CreateWindowEx(uint32_t exStyle, std::u16string_view className,
                                          std::u16string_view title, uint32_t style, int32_t x, int32_t y,
                                          int32_t width, int32_t height, WindowHandle /*parent*/,
                                          uintptr_t /*menu*/, InstanceHandle /*instance*/) {
  const ClassRecord* cls = FindClass(className);
  if (cls == nullptr) return 0;
  if (failCreate_) {
    failCreate_ = false;
    return 0;
  }
  auto record = std::make_unique<WindowRecord>();
  record->handle = nextHandle_;
  nextHandle_ += kWindowStep;
  record->cls = cls;
  record->title = std::u16string(title);
  record->style = style & ~kStateBits;
  record->exStyle = exStyle;
  record->normal = Rect{x, y, x + std::max(width, 0), y + std::max(height, 0)};
  record->visible = (style & WS_VISIBLE) != 0;
  record->minimised = (style & WS_MINIMIZE) != 0;
  record->maximised = !record->minimised && (style & WS_MAXIMIZE) != 0;
  const WindowHandle handle = record->handle;
  windows_.push_back(std::move(record));
  const Rect held = ClampToTracking(handle, Rect{x, y, x + std::max(width, 0), y + std::max(height, 0)});
  if (WindowRecord* w = Find(handle)) {
    w->normal = held;
    return handle;
  }
  return 0;
}

bool WindowSystem::DestroyWindow(WindowHandle window) {
  if (Find(window) == nullptr) return false;
  SendMessage(window, WM_DESTROY, 0, 0);
  auto it = std::find_if(windows_.begin(), windows_.end(), [window](const auto& w) { return w->handle == window; });
  if (it == windows_.end()) return true;  // destroyed while handling WM_DESTROY
  windows_.erase(it);
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(), [window](const Msg& m) { return m.window == window; }),
               queue_.end());
  if (focus_ == window) focus_ = 0;
  if (foreground_ == window) {
    foreground_ = 0;
    input_->SetForeground(0);
  }
  return true;
}

bool WindowSystem::IsWindow(WindowHandle window) const { return Find(window) != nullptr; }

WindowHandle WindowSystem::FindWindow(std::u16string_view className) const {
  for (const auto& w : windows_) {
    if (SameName(w->cls->name, className)) return w->handle;
  }
  return 0;
}

uint32_t WindowSystem::GetWindowLong(WindowHandle window, int32_t index) const {
  const WindowRecord* w = Find(window);
  if (w == nullptr || index != GWL_STYLE) return 0;
  return w->style | (w->visible ? WS_VISIBLE : 0) | (w->minimised ? WS_MINIMIZE : 0) |
         (w->maximised ? WS_MAXIMIZE : 0);
}

uint32_t WindowSystem::SetWindowLong(WindowHandle window, int32_t index, uint32_t value) {
  WindowRecord* w = Find(window);
  if (w == nullptr || index != GWL_STYLE) return 0;
  const uint32_t previous = GetWindowLong(window, index);
  w->style = value & ~kStateBits;
  return previous;
}

bool WindowSystem::GetWindowPlacement(WindowHandle window, WindowPlacement* placement) const {
  const WindowRecord* w = Find(window);
  if (w == nullptr || placement == nullptr || placement->length != sizeof(WindowPlacement)) return false;
  placement->flags = w->restoreMaximised ? WPF_RESTORETOMAXIMIZED : 0;
  placement->showCmd = static_cast<uint32_t>(w->minimised   ? SW_SHOWMINIMIZED
                                             : w->maximised ? SW_SHOWMAXIMIZED
                                                            : SW_SHOWNORMAL);
  placement->minPosition = Point{kIconicPosition, kIconicPosition};
  placement->maxPosition = Point{-1, -1};
  placement->normalPosition = w->normal;
  return true;
}

bool WindowSystem::SetWindowPlacement(WindowHandle window, const WindowPlacement& placement) {
  WindowRecord* w = Find(window);
  if (w == nullptr || placement.length != sizeof(WindowPlacement)) return false;
  const Shape before = ShapeOf(*w);
  w->normal = placement.normalPosition;
  w->restoreMaximised = (placement.flags & WPF_RESTORETOMAXIMIZED) != 0;
  const int activation = ApplyShowCommand(*w, static_cast<int32_t>(placement.showCmd));
  NotifyShape(window, before);
  FinishShow(window, activation);
  return true;
}

// Changes the show state; says whether the command activates or deactivates.
int WindowSystem::ApplyShowCommand(WindowRecord& w, int32_t command) {
  switch (command) {
    case SW_HIDE:
      w.visible = false;
      return 0;
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
      w.visible = true;
      w.minimised = w.maximised = false;
      return 1;
    case SW_RESTORE:
    case SW_SHOWNOACTIVATE:
      w.visible = true;
      if (w.minimised) {
        w.minimised = false;
        w.maximised = w.restoreMaximised;
      } else {
        w.maximised = false;
      }
      return command == SW_RESTORE ? 1 : 0;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      w.visible = true;
      if (!w.minimised) {
        w.restoreMaximised = w.maximised;
        w.minimised = true;
        w.maximised = false;
      }
      return -1;
    case SW_SHOWMAXIMIZED:
      w.visible = true;
      w.minimised = false;
      w.maximised = true;
      return 1;
    case SW_SHOW:
      w.visible = true;
      return 1;
    case SW_SHOWNA:
      w.visible = true;
      return 0;
    default:
      return 0;
  }
}

void WindowSystem::FinishShow(WindowHandle window, int activation) {
  if (!IsWindow(window)) return;
  if (activation > 0) Activate(window);
  if (activation < 0 && foreground_ == window) Activate(0);
}

bool WindowSystem::ShowWindow(WindowHandle window, int32_t command) {
  WindowRecord* w = Find(window);
  if (w == nullptr) return false;
  const bool wasVisible = w->visible;
  const Shape before = ShapeOf(*w);
  const int activation = ApplyShowCommand(*w, command);
  NotifyShape(window, before);
  FinishShow(window, activation);
  return wasVisible;
}

bool WindowSystem::UpdateWindow(WindowHandle window) { return IsWindow(window); }

bool WindowSystem::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int32_t x, int32_t y, int32_t cx,
                                int32_t cy, uint32_t flags) {
  WindowRecord* w = Find(window);
  if (w == nullptr) return false;
  const Shape before = ShapeOf(*w);
  if ((flags & SWP_NOZORDER) == 0) {
    if (insertAfter == HWND_TOPMOST) w->topmost = true;
    if (insertAfter == HWND_NOTOPMOST) w->topmost = false;
  }
  Rect target = w->normal;
  if ((flags & SWP_NOMOVE) == 0) target = Rect{x, y, x + target.Width(), y + target.Height()};
  if ((flags & SWP_NOSIZE) == 0) {
    target.right = target.left + std::max(cx, 0);
    target.bottom = target.top + std::max(cy, 0);
    target = ClampToTracking(window, target);
    w = Find(window);
    if (w == nullptr) return false;
  }
  w->normal = target;
  if ((flags & SWP_SHOWWINDOW) != 0) w->visible = true;
  if ((flags & SWP_HIDEWINDOW) != 0) w->visible = false;
  NotifyShape(window, before);
  return true;
}

bool WindowSystem::GetClientRect(WindowHandle window, Rect* rect) const {
  const WindowRecord* w = Find(window);
  if (w == nullptr || rect == nullptr) return false;
  const Rect c = ClientScreenRect(*w);
  *rect = Rect{0, 0, c.Width(), c.Height()};
  return true;
}

bool WindowSystem::GetWindowRect(WindowHandle window, Rect* rect) const {
  const WindowRecord* w = Find(window);
  if (w == nullptr || rect == nullptr) return false;
  *rect = OuterRect(*w);
  return true;
}

bool WindowSystem::ClientToScreen(WindowHandle window, Point* point) const {
  const WindowRecord* w = Find(window);
  if (w == nullptr || point == nullptr) return false;
  const Rect c = ClientScreenRect(*w);
  point->x += c.left;
  point->y += c.top;
  return true;
}

bool WindowSystem::ScreenToClient(WindowHandle window, Point* point) const {
  const WindowRecord* w = Find(window);
  if (w == nullptr || point == nullptr) return false;
  const Rect c = ClientScreenRect(*w);
  point->x -= c.left;
  point->y -= c.top;
  return true;
}

bool WindowSystem::IsIconic(WindowHandle window) const {
  const WindowRecord* w = Find(window);
  return w != nullptr && w->minimised;
}

bool WindowSystem::IsZoomed(WindowHandle window) const {
  const WindowRecord* w = Find(window);
  return w != nullptr && w->maximised;
}

bool WindowSystem::IsWindowVisible(WindowHandle window) const {
  const WindowRecord* w = Find(window);
  return w != nullptr && w->visible;
}

bool WindowSystem::IsTopmost(WindowHandle window) const {
  const WindowRecord* w = Find(window);
  return w != nullptr && w->topmost;
}

bool WindowSystem::SetWindowText(WindowHandle window, std::u16string_view text) {
  WindowRecord* w = Find(window);
  if (w == nullptr) return false;
  w->title = std::u16string(text);
  return true;
}

std::u16string WindowSystem::GetWindowText(WindowHandle window) const {
  const WindowRecord* w = Find(window);
  return w != nullptr ? w->title : std::u16string();
}

// Moves the foreground; the program hears WM_ACTIVATEAPP when it goes from
// inactive to active or back (switching between its own windows is silent).
void WindowSystem::Activate(WindowHandle window) {
  if (window != 0 && !IsWindow(window)) return;
  if (foreground_ == window) {
    if (window != 0) focus_ = window;
    return;
  }
  const bool wasActive = foreground_ != 0;
  foreground_ = window;
  focus_ = window;
  input_->SetForeground(window);
  const bool active = window != 0;
  if (wasActive == active) return;
  std::vector<WindowHandle> all;
  for (const auto& w : windows_) all.push_back(w->handle);
  for (WindowHandle h : all) {
    if (IsWindow(h)) SendMessage(h, WM_ACTIVATEAPP, active ? 1 : 0, 0);
  }
}

bool WindowSystem::SetForegroundWindow(WindowHandle window) {
  if (!IsWindow(window)) return false;
  Activate(window);
  return true;
}

WindowHandle WindowSystem::SetFocus(WindowHandle window) {
  const WindowHandle previous = focus_;
  if (window == 0 || IsWindow(window)) focus_ = window;
  return previous;
}

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
  pointer_.x = std::clamp(screen.x, 0, std::max(desktop_.width - 1, 0));
  pointer_.y = std::clamp(screen.y, 0, std::max(desktop_.height - 1, 0));
  input_->Motion(dx, dy);
  MouseMessage(WM_MOUSEMOVE);
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

// ---- Installation --------------------------------------------------------------

WindowSystem& GetWindowSystem() {
  if (gInstalled != nullptr) return *gInstalled;
  static WindowSystem fallback;
  return fallback;
}

void SetWindowSystem(WindowSystem* windows) { gInstalled = windows; }

InstanceHandle GetModuleHandle() { return 0x00400000; }

}  // namespace plat

#include "platform/os/WindowSystem.h"

#include <algorithm>

#include "platform/encoding/Ascii.h"
#include "platform/input/InputHub.h"
#include "platform/os/PlatformServices.h"
#include "platform/os/WindowRecords.h"

namespace plat {

namespace {

constexpr WindowHandle kFirstWindow = 0x00100010;
constexpr WindowHandle kWindowStep = 0x10;
constexpr uintptr_t kIconBase = 0x00020000;
constexpr uintptr_t kBrushBase = 0x00030000;
constexpr int32_t kIconicPosition = -32000;
constexpr int32_t kIconicWidth = 160;
constexpr int32_t kIconicHeight = 28;
constexpr int32_t kMinTrackExtraWidth = 120;
constexpr uint32_t kStateBits = WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE;

constexpr uint32_t kSystemCursors[] = {IDC_ARROW, IDC_IBEAM,       IDC_WAIT, IDC_CROSS,
                                       IDC_HAND,  IDC_APPSTARTING, IDC_HELP};

// Class names compare without regard to the case of A-Z.
bool SameName(std::u16string_view a, std::u16string_view b) { return AsciiEqualNoCase(a, b); }

}  // namespace

WindowSystem::WindowSystem(const DesktopSettings& desktop)
    : desktop_(desktop),
      nextHandle_(kFirstWindow),
      pointer_{desktop.width / 2, desktop.height / 2},
      cursor_(kCursorBase | IDC_ARROW),
      input_(std::make_shared<input::InputHub>()) {}

WindowSystem::~WindowSystem() = default;

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

void WindowSystem::SetIconFile(uint32_t resourceId, std::u16string path) {
  iconFiles_[resourceId & 0xFFFF] = std::move(path);
}

std::u16string WindowSystem::IconFile(IconHandle icon) const {
  if ((icon & ~IconHandle{0xFFFF}) != kIconBase) return {};
  const auto it = iconFiles_.find(static_cast<uint32_t>(icon & 0xFFFF));
  return it == iconFiles_.end() ? std::u16string() : it->second;
}

IconHandle WindowSystem::GetClassIcon(WindowHandle window) const {
  const WindowRecord* w = Find(window);
  return w && w->cls ? w->cls->icon : 0;
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

// ---- Installation --------------------------------------------------------------

WindowSystem& GetWindowSystem() {
  if (WindowSystem* installed = GetPlatformServices().windowSystem) return *installed;
  static WindowSystem fallback;
  return fallback;
}

InstanceHandle GetModuleHandle() { return 0x00400000; }

}  // namespace plat

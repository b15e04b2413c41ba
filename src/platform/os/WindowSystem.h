// The window system of the platform layer: window classes, top-level
// windows with their styles, placement, outer and client rectangles, show
// state, activation and focus, one message queue for the process, the pointer
// and the current cursor, a desktop of a given size, and the physical input
// (InputHub) that the DirectInput-shaped devices read.
//
// The model is the same for every backend. A backend only reports what the
// user did through the User* operations, from its EventSource, which runs at
// the start of every PeekMessage: the headless backend plays a Script on the
// fake clock, a real backend turns its window events into the same reports.
//
// Conventions kept, because the engine's frame depends on them:
// - Messages a call causes (WM_SIZE, WM_ACTIVATEAPP, WM_GETMINMAXINFO,
//   WM_DESTROY, WM_SETCURSOR) are sent: the window procedure runs inside the
//   call. Input, WM_CLOSE and WM_SYSCOMMAND from the user are posted; WM_QUIT
//   comes once the queue holds nothing else.
// - A window changes state first and is told about activation afterwards: a
//   minimised window is already iconic when it hears WM_ACTIVATEAPP(0).
// - Minimising the foreground window deactivates the program; showing,
//   restoring or maximising a window activates it. Hiding a window and
//   SetWindowPos leave activation alone, and so do mouse clicks (the user
//   activates through UserActivate).
// - The client rectangle is the outer one less the frame of the current style
//   (frame on every side of framed styles, plus the caption above captioned
//   ones; none for pop-ups); a minimised window has an empty client area and
//   sits at (-32000, -32000). Captioned windows are held between the minimum
//   and maximum tracking sizes of WM_GETMINMAXINFO, the largest by default
//   being the one whose client area covers the desktop.
// - On a minimised or maximised window SetWindowPos sets the restored
//   rectangle. WS_VISIBLE, WS_MINIMIZE and WS_MAXIMIZE are read from the state.
// - Key messages go to the focus window while the program is active; mouse
//   messages to the window under the pointer (client area only), after a
//   WM_SETCURSOR with the hit-test code; wheel messages to the focus window.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/WindowTypes.h"

namespace plat {

namespace input {
class InputHub;
}

class SingleInstance;
class WindowSystem;

// The fake or real desktop the windows live on.
struct DesktopSettings {
  int32_t width = 1280;
  int32_t height = 1024;
  uint32_t bitsPerPixel = 32;
  uint32_t refreshRate = 60;
  int32_t frame = 4;             // border on each side of framed windows
  int32_t caption = 20;          // caption bar above the client area
  uint32_t doubleClickTime = 500;
  uint32_t caretBlinkTime = 530;  // half-period of the text caret's blink; 0: no blinking
  int32_t doubleClickWidth = 4;
  int32_t doubleClickHeight = 4;
};

// Where user actions come from; Pump reports everything that is due.
class EventSource {
 public:
  virtual ~EventSource() = default;
  virtual void Pump(WindowSystem& windows) = 0;
};

class WindowSystem {
 public:
  explicit WindowSystem(const DesktopSettings& desktop = DesktopSettings{});
  ~WindowSystem();
  WindowSystem(const WindowSystem&) = delete;
  WindowSystem& operator=(const WindowSystem&) = delete;

  // Classes and resources.
  uint16_t RegisterClass(const WindowClass& cls);  // 0: no procedure, or the name is taken
  bool UnregisterClass(std::u16string_view className, InstanceHandle instance);  // false while windows use it
  IconHandle LoadIcon(InstanceHandle instance, uint32_t resourceId);
  // The program's icon resources are picture files the program names at
  // start-up (a 32-bit bitmap file); a backend that shows windows reads the
  // one of a window's class icon. Empty: none.
  void SetIconFile(uint32_t resourceId, std::u16string path);
  std::u16string IconFile(IconHandle icon) const;
  IconHandle GetClassIcon(WindowHandle window) const;  // 0: none or no such window
  CursorHandle LoadCursor(InstanceHandle instance, uint32_t cursorId);  // system cursors: instance 0
  BrushHandle GetStockObject(int32_t which);

  // Windows (all top-level; created hidden unless the style has WS_VISIBLE).
  // A window lives until DestroyWindow or the window system's reset.
  WindowHandle CreateWindowEx(uint32_t exStyle, std::u16string_view className, std::u16string_view title,
                              uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                              WindowHandle parent, uintptr_t menu, InstanceHandle instance);
  bool DestroyWindow(WindowHandle window);
  bool IsWindow(WindowHandle window) const;
  WindowHandle FindWindow(std::u16string_view className) const;
  uint32_t GetWindowLong(WindowHandle window, int32_t index) const;   // GWL_STYLE only
  uint32_t SetWindowLong(WindowHandle window, int32_t index, uint32_t value);  // the previous value
  bool AdjustWindowRect(Rect* rect, uint32_t style, bool menu) const;  // client -> outer
  bool GetWindowPlacement(WindowHandle window, WindowPlacement* placement) const;
  bool SetWindowPlacement(WindowHandle window, const WindowPlacement& placement);
  bool ShowWindow(WindowHandle window, int32_t command);  // whether it was visible
  bool UpdateWindow(WindowHandle window);
  bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int32_t x, int32_t y, int32_t cx, int32_t cy,
                    uint32_t flags);
  bool GetClientRect(WindowHandle window, Rect* rect) const;  // (0, 0, width, height)
  bool GetWindowRect(WindowHandle window, Rect* rect) const;  // outer, in screen coordinates
  bool ClientToScreen(WindowHandle window, Point* point) const;
  bool ScreenToClient(WindowHandle window, Point* point) const;
  bool IsIconic(WindowHandle window) const;
  bool IsZoomed(WindowHandle window) const;
  bool IsWindowVisible(WindowHandle window) const;
  bool IsTopmost(WindowHandle window) const;
  bool SetWindowText(WindowHandle window, std::u16string_view text);
  std::u16string GetWindowText(WindowHandle window) const;
  bool SetForegroundWindow(WindowHandle window);
  WindowHandle GetForegroundWindow() const { return foreground_; }  // 0: another program
  WindowHandle SetFocus(WindowHandle window);                        // the previous focus
  WindowHandle GetFocus() const { return focus_; }

  // Messages.
  bool PeekMessage(Msg* msg, uint32_t remove);  // runs the event source first
  bool PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
  void PostQuitMessage(int32_t exitCode);
  bool TranslateMessage(const Msg& msg);  // characters arrive as their own messages
  intptr_t DispatchMessage(const Msg& msg);
  intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
  intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
  size_t QueuedMessages() const { return queue_.size(); }

  // Pointer, cursor, keys and system values.
  bool GetCursorPos(Point* point) const;
  CursorHandle SetCursor(CursorHandle cursor);  // the previous cursor; 0 hides it
  CursorHandle GetCursor() const { return cursor_; }
  uint32_t SystemCursorId(CursorHandle cursor) const;  // IDC_* of a system cursor, else 0
  int32_t GetSystemMetrics(int32_t index) const;
  uint32_t GetDoubleClickTime() const { return desktop_.doubleClickTime; }
  uint32_t GetCaretBlinkTime() const { return desktop_.caretBlinkTime; }
  int16_t GetKeyState(int32_t virtualKey) const;       // negative while held
  int16_t GetAsyncKeyState(int32_t virtualKey) const;  // the same here
  const DesktopSettings& Desktop() const { return desktop_; }

  input::InputHub& Input() { return *input_; }
  std::shared_ptr<input::InputHub> InputShared() { return input_; }

  // Backends.
  void SetEventSource(EventSource* source) { source_ = source; }  // caller keeps ownership
  // Requests of later instances to come forward restore the window of the
  // lock's name when it is minimised, else bring it to the front.
  void WatchInstance(SingleInstance* lock) { watched_ = lock; }
  void Pump();
  WindowHandle MainWindow() const;  // the foreground window, else the first visible, else the first
  // Test seams: the next RegisterClass or CreateWindowEx fails.
  void FailNextRegisterClass() { failRegister_ = true; }
  void FailNextCreateWindow() { failCreate_ = true; }

  // User actions, as a backend reports them. Window 0 means MainWindow().
  void UserKey(uint8_t dik, bool down);
  void UserText(std::u16string_view text);  // UTF-16 units, one WM_CHAR each
  void UserPointer(Point screen);           // clamped to the desktop; devices see the full motion
  // The pointer set on a point (clamped to the desktop) as it stands at
  // start-up: no message, no motion for the devices.
  void PlacePointer(Point screen);
  void UserButton(uint32_t index, bool down);  // 0 left, 1 right, 2 middle
  void UserWheel(int32_t delta);
  void UserActivate(WindowHandle window);
  void UserDeactivate();
  void UserCommand(WindowHandle window, uint32_t command);  // SC_MINIMIZE, SC_RESTORE, ...
  void UserClose(WindowHandle window);

 private:
  struct ClassRecord;
  struct WindowRecord;
  struct Shape {
    bool minimised, maximised;
    int32_t width, height;
  };
  struct Insets {
    int32_t left, top, right, bottom;
  };

  WindowRecord* Find(WindowHandle window) const;
  const ClassRecord* FindClass(std::u16string_view name) const;
  Insets FrameOf(uint32_t style) const;
  Rect OuterRect(const WindowRecord& w) const;
  Rect ClientScreenRect(const WindowRecord& w) const;
  Shape ShapeOf(const WindowRecord& w) const;
  void NotifyShape(WindowHandle window, const Shape& before);
  int ApplyShowCommand(WindowRecord& w, int32_t command);  // 1 activate, -1 deactivate, 0 neither
  void FinishShow(WindowHandle window, int activation);
  void Activate(WindowHandle window);
  Rect ClampToTracking(WindowHandle window, Rect outer);
  WindowHandle WindowAt(Point screen) const;
  uint32_t HitTest(const WindowRecord& w, Point screen) const;
  uint32_t MouseKeyFlags() const;
  void MouseMessage(uint32_t message);
  WindowHandle KeyTarget() const;
  void BringForward(WindowHandle window);

  DesktopSettings desktop_;
  std::vector<std::unique_ptr<ClassRecord>> classes_;
  std::map<uint32_t, std::u16string> iconFiles_;  // by resource id
  std::vector<std::unique_ptr<WindowRecord>> windows_;  // in creation order, later ones on top
  std::deque<Msg> queue_;
  bool quitPending_ = false;
  int32_t quitCode_ = 0;
  WindowHandle foreground_ = 0;
  WindowHandle focus_ = 0;
  WindowHandle nextHandle_;
  uint16_t nextAtom_ = 0xC000;
  Point pointer_;
  CursorHandle cursor_;
  std::shared_ptr<input::InputHub> input_;
  EventSource* source_ = nullptr;
  SingleInstance* watched_ = nullptr;
  bool failRegister_ = false;
  bool failCreate_ = false;
};

// The installed window system (PlatformServices::windowSystem); a default
// one is made on first use.
WindowSystem& GetWindowSystem();

// The program's module instance handle (never 0).
InstanceHandle GetModuleHandle();

}  // namespace plat

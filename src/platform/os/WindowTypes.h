// Records, handles and numbers of the window system. The values are the ones
// the engine's window procedure and frame compare against (messages, styles,
// show commands, position flags, hit-test codes, cursor ids), so its code reads
// in the terms it was written in; only the subset the game uses is named.
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

using WindowHandle = uintptr_t;    // 0 and all ones are never a window
using CursorHandle = uintptr_t;    // 0 = no cursor
using IconHandle = uintptr_t;
using BrushHandle = uintptr_t;
using InstanceHandle = uintptr_t;

constexpr WindowHandle kInvalidWindow = ~WindowHandle{0};

struct Point {
  int32_t x, y;
};

struct Rect {
  int32_t left, top, right, bottom;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
};

inline bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
inline bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// One queued or sent message; time and pt are the clock and pointer when it
// was queued.
struct Msg {
  WindowHandle window;
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
  uint32_t time;
  Point pt;
};

using WndProc = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

struct WindowClass {
  uint32_t style;
  WndProc proc;               // required
  InstanceHandle instance;
  IconHandle icon;
  CursorHandle cursor;        // set over the client area by DefWindowProc
  BrushHandle background;
  std::u16string_view className;
};

struct WindowPlacement {
  uint32_t length;            // must be sizeof(WindowPlacement)
  uint32_t flags;             // WPF_RESTORETOMAXIMIZED
  uint32_t showCmd;
  Point minPosition;
  Point maxPosition;
  Rect normalPosition;        // outer rectangle of the restored window
};

// lParam of WM_GETMINMAXINFO points at this record.
struct MinMaxInfo {
  Point reserved;
  Point maxSize;
  Point maxPosition;
  Point minTrackSize;
  Point maxTrackSize;
};

// Word packing of wParam and lParam.
constexpr uint16_t LoWord(uintptr_t v) { return static_cast<uint16_t>(v & 0xFFFF); }
constexpr uint16_t HiWord(uintptr_t v) { return static_cast<uint16_t>((v >> 16) & 0xFFFF); }
constexpr intptr_t MakeLParam(int32_t lo, int32_t hi) {
  return static_cast<intptr_t>((static_cast<uint32_t>(lo) & 0xFFFFu) | ((static_cast<uint32_t>(hi) & 0xFFFFu) << 16));
}
// Signed coordinates packed into a mouse message's lParam.
constexpr int32_t XFromLParam(intptr_t l) { return static_cast<int16_t>(LoWord(static_cast<uintptr_t>(l))); }
constexpr int32_t YFromLParam(intptr_t l) { return static_cast<int16_t>(HiWord(static_cast<uintptr_t>(l))); }
constexpr int32_t WheelDeltaFromWParam(uintptr_t w) { return static_cast<int16_t>(HiWord(w)); }

// Messages.
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_SETCURSOR = 0x0020;
constexpr uint32_t WM_GETMINMAXINFO = 0x0024;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;

// WM_SYSCOMMAND commands (compare wParam & 0xFFF0).
constexpr uint32_t SC_MINIMIZE = 0xF020;
constexpr uint32_t SC_MAXIMIZE = 0xF030;
constexpr uint32_t SC_CLOSE = 0xF060;
constexpr uint32_t SC_RESTORE = 0xF120;

// WM_SIZE kinds.
constexpr uint32_t SIZE_RESTORED = 0;
constexpr uint32_t SIZE_MINIMIZED = 1;
constexpr uint32_t SIZE_MAXIMIZED = 2;

// Hit-test codes (low word of WM_SETCURSOR's lParam).
constexpr uint32_t HTNOWHERE = 0;
constexpr uint32_t HTCLIENT = 1;
constexpr uint32_t HTCAPTION = 2;
constexpr uint32_t HTBORDER = 18;

// Key and button flags of mouse messages.
constexpr uint32_t MK_LBUTTON = 0x01;
constexpr uint32_t MK_RBUTTON = 0x02;
constexpr uint32_t MK_SHIFT = 0x04;
constexpr uint32_t MK_CONTROL = 0x08;
constexpr uint32_t MK_MBUTTON = 0x10;
constexpr int32_t WHEEL_DELTA = 120;

// Window styles. WS_VISIBLE, WS_MINIMIZE and WS_MAXIMIZE report the window's
// state when read; setting them through SetWindowLong has no effect.
constexpr uint32_t WS_OVERLAPPED = 0x00000000;
constexpr uint32_t WS_POPUP = 0x80000000;
constexpr uint32_t WS_MINIMIZE = 0x20000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_MAXIMIZE = 0x01000000;
constexpr uint32_t WS_CAPTION = 0x00C00000;
constexpr uint32_t WS_BORDER = 0x00800000;
constexpr uint32_t WS_DLGFRAME = 0x00400000;
constexpr uint32_t WS_SYSMENU = 0x00080000;
constexpr uint32_t WS_THICKFRAME = 0x00040000;
constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;
constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000;

constexpr int32_t GWL_STYLE = -16;

// Class styles.
constexpr uint32_t CS_VREDRAW = 0x0001;
constexpr uint32_t CS_HREDRAW = 0x0002;
constexpr uint32_t CS_OWNDC = 0x0020;

// Show commands.
constexpr int32_t SW_HIDE = 0;
constexpr int32_t SW_SHOWNORMAL = 1;
constexpr int32_t SW_SHOWMINIMIZED = 2;
constexpr int32_t SW_SHOWMAXIMIZED = 3;
constexpr int32_t SW_MAXIMIZE = 3;
constexpr int32_t SW_SHOWNOACTIVATE = 4;
constexpr int32_t SW_SHOW = 5;
constexpr int32_t SW_MINIMIZE = 6;
constexpr int32_t SW_SHOWMINNOACTIVE = 7;
constexpr int32_t SW_SHOWNA = 8;
constexpr int32_t SW_RESTORE = 9;
constexpr int32_t SW_SHOWDEFAULT = 10;

constexpr uint32_t WPF_RESTORETOMAXIMIZED = 0x0002;

// SetWindowPos.
constexpr uint32_t SWP_NOSIZE = 0x0001;
constexpr uint32_t SWP_NOMOVE = 0x0002;
constexpr uint32_t SWP_NOZORDER = 0x0004;
constexpr uint32_t SWP_NOREDRAW = 0x0008;
constexpr uint32_t SWP_NOACTIVATE = 0x0010;
constexpr uint32_t SWP_FRAMECHANGED = 0x0020;
constexpr uint32_t SWP_SHOWWINDOW = 0x0040;
constexpr uint32_t SWP_HIDEWINDOW = 0x0080;
constexpr WindowHandle HWND_TOP = 0;
constexpr WindowHandle HWND_TOPMOST = ~WindowHandle{0};
constexpr WindowHandle HWND_NOTOPMOST = ~WindowHandle{0} - 1;

// System cursors.
constexpr uint32_t IDC_ARROW = 32512;
constexpr uint32_t IDC_IBEAM = 32513;
constexpr uint32_t IDC_WAIT = 32514;
constexpr uint32_t IDC_CROSS = 32515;
constexpr uint32_t IDC_HAND = 32649;
constexpr uint32_t IDC_APPSTARTING = 32650;
constexpr uint32_t IDC_HELP = 32651;

// System metrics.
constexpr int32_t SM_CXSCREEN = 0;
constexpr int32_t SM_CYSCREEN = 1;
constexpr int32_t SM_CXDOUBLECLK = 36;
constexpr int32_t SM_CYDOUBLECLK = 37;

constexpr int32_t BLACK_BRUSH = 4;

// PeekMessage.
constexpr uint32_t PM_NOREMOVE = 0;
constexpr uint32_t PM_REMOVE = 1;

}  // namespace plat

#include "engine/DXLWindowViewer.h"

#include "base/Strings.h"
#include "engine/DXLLog.h"
#include "platform/os/WindowSystem.h"

namespace {

bool Usable(plat::WindowHandle window) { return window != 0 && window != plat::kInvalidWindow; }

}  // namespace

DXLWindowViewer::DXLWindowViewer() = default;

DXLWindowViewer::~DXLWindowViewer() {
  Shutdown();
  plat::WindowSystem& ws = plat::GetWindowSystem();
  if (Usable(window_)) ws.DestroyWindow(window_);
  window_ = 0;
  if (atom_) ws.UnregisterClass(className_, instance_);
  atom_ = 0;
}

plat::gfx::WindowHandle DXLWindowViewer::GetWindow() { return settings_ ? settings_->present.deviceWindow : window_; }

void DXLWindowViewer::ChooseFormats(DXLDEVICESETTINGS* out, const DXLDEVICESETTINGS* request, const DXLMATCHRULES* rules) {
  DXLViewer::ChooseFormats(out, request, rules);
  if (out) out->present.deviceWindow = window_;
}

void DXLWindowViewer::SetTitle(const wchar* text) {
  kis::StrCopyW(title_, kTextSize, text ? text : u"");
  if (Usable(window_)) plat::GetWindowSystem().SetWindowText(window_, title_);
}

i32 DXLWindowViewer::CreateMainWindow(plat::InstanceHandle instance, const wchar* className, u32 iconId,
                                      plat::WndProc proc) {
  if (atom_) return 0;
  plat::WindowSystem& ws = plat::GetWindowSystem();
  instance_ = instance;
  kis::StrCopyW(className_, kTextSize, className ? className : u"");
  iconId_ = iconId;
  proc_ = proc;

  DXLLogBeginBlock("Create Window", "Create successful.", false);
  plat::WindowClass cls{};
  cls.style = plat::CS_VREDRAW | plat::CS_HREDRAW | plat::CS_OWNDC;
  cls.proc = proc_;
  cls.instance = instance_;
  cls.icon = ws.LoadIcon(instance_, static_cast<u16>(iconId_));
  cls.cursor = ws.LoadCursor(0, plat::IDC_ARROW);
  cls.background = ws.GetStockObject(plat::BLACK_BRUSH);
  cls.className = className_;
  atom_ = ws.RegisterClass(cls);
  if (!atom_) {
    DXLReportErrorA(-1, "Failed To Register The Window Class.");
    DXLLogEndBlock(false);
    lastResult_ = kViewerRegisterClassFailed;
    return lastResult_;
  }
  plat::Rect outer{clientRect_.left, clientRect_.top, clientRect_.right, clientRect_.bottom};
  ws.AdjustWindowRect(&outer, windowedStyle_, false);
  const i32 width = outer.right - outer.left, height = outer.bottom - outer.top;
  window_ = ws.CreateWindowEx(0, className_, title_, windowedStyle_, 0, 0, width, height, 0, 0, instance_);
  if (!Usable(window_)) {
    DXLReportErrorA(-1, "Window Creation Error.");
    if (window_ != 0) ws.DestroyWindow(window_);
    window_ = 0;
    ws.UnregisterClass(className_, instance_);
    atom_ = 0;
    DXLLogEndBlock(false);
    lastResult_ = kViewerCreateWindowFailed;
    return lastResult_;
  }
  style_ = windowedStyle_;
  placement_.length = sizeof(plat::WindowPlacement);
  ws.GetWindowPlacement(window_, &placement_);
  ws.ShowWindow(window_, plat::SW_HIDE);
  ws.UpdateWindow(window_);
  ws.SetForegroundWindow(window_);
  ws.SetFocus(window_);
  DXLLogEndBlock(true);
  lastResult_ = 0;
  return 0;
}

// The client size the window has, or would have once restored when it is
// minimised.
bool DXLWindowViewer::ClientSize(i32* width, i32* height) {
  plat::WindowSystem& ws = plat::GetWindowSystem();
  plat::Rect client{0, 0, 0, 0};
  if (ws.IsIconic(window_)) {
    plat::WindowPlacement wp{};
    wp.length = sizeof(wp);
    if (!ws.GetWindowPlacement(window_, &wp)) return false;
    if (wp.flags & plat::WPF_RESTORETOMAXIMIZED) {
      ws.ShowWindow(window_, plat::SW_RESTORE);
      ws.GetClientRect(window_, &client);
      ws.ShowWindow(window_, plat::SW_MINIMIZE);
    } else {
      // The restored outer rectangle less the frame of the style.
      plat::Rect frame{0, 0, 0, 0};
      ws.AdjustWindowRect(&frame, style_, false);
      client = plat::Rect{0, 0, wp.normalPosition.Width() - frame.Width(), wp.normalPosition.Height() - frame.Height()};
    }
  } else if (!ws.GetClientRect(window_, &client)) {
    return false;
  }
  *width = client.Width();
  *height = client.Height();
  return true;
}

i32 DXLWindowViewer::CreateDevice() {
  if (!settings_) return DXLViewer::CreateDevice();
  plat::WindowSystem& ws = plat::GetWindowSystem();
  const plat::gfx::PresentParams& p = settings_->present;
  const DXLDEVICESETTINGS* prev = previousSettings_.get();
  const bool sameSize = prev && prev->present.backBufferWidth == p.backBufferWidth &&
                        prev->present.backBufferHeight == p.backBufferHeight;
  const bool windowed = p.windowed != 0;
  const bool fromFullScreen = prev && !prev->present.windowed;
  const bool haveWindow = Usable(window_);

  if (haveWindow) {
    if (windowed) {
      if (fromFullScreen) {
        style_ = windowedStyle_;
        ws.SetWindowLong(window_, plat::GWL_STYLE, style_);
      }
    } else {
      if (!prev || prev->present.windowed) {
        placement_.length = sizeof(plat::WindowPlacement);
        ws.GetWindowPlacement(window_, &placement_);
        windowedStyle_ = ws.GetWindowLong(window_, plat::GWL_STYLE) & ~(plat::WS_MAXIMIZE | plat::WS_MINIMIZE);
      }
      style_ = kFullScreenStyle;
      ws.ShowWindow(window_, plat::SW_HIDE);
      ws.SetWindowLong(window_, plat::GWL_STYLE, style_);
      plat::WindowPlacement full = placement_;
      full.length = sizeof(plat::WindowPlacement);
      full.flags &= ~plat::WPF_RESTORETOMAXIMIZED;
      full.showCmd = static_cast<u32>(plat::SW_RESTORE);
      ws.SetWindowPlacement(window_, full);
    }
  }

  const i32 created = DXLViewer::CreateDevice();
  if (created != 0) return created;
  if (!haveWindow) return 0;

  // A full-screen device runs the display in its own mode, and its window
  // covers that display and stays over the others: the window's client
  // area is then the whole frame, where the pointer is read.
  if (!windowed)
    ws.SetWindowPos(window_, plat::HWND_TOPMOST, 0, 0, static_cast<i32>(p.backBufferWidth),
                    static_cast<i32>(p.backBufferHeight), plat::SWP_NOACTIVATE);

  if (windowed && fromFullScreen) {
    ws.SetWindowPlacement(window_, placement_);
    ws.SetWindowPos(window_, plat::HWND_NOTOPMOST, 0, 0, 0, 0,
                    plat::SWP_NOSIZE | plat::SWP_NOMOVE | plat::SWP_NOREDRAW);
  }

  bool resized = false;
  if (windowed) {
    bool resize = !prev;
    if (!resize && !sameSize) {
      i32 cw = 0, ch = 0;
      resize = !ClientSize(&cw, &ch) || cw != static_cast<i32>(p.backBufferWidth) ||
               ch != static_cast<i32>(p.backBufferHeight);
    }
    if (resize) {
      resized = true;
      if (ws.IsIconic(window_) || ws.IsZoomed(window_)) ws.ShowWindow(window_, plat::SW_RESTORE);
      plat::Rect outer{0, 0, static_cast<i32>(p.backBufferWidth), static_cast<i32>(p.backBufferHeight)};
      ws.AdjustWindowRect(&outer, style_, false);
      const i32 w = outer.Width(), h = outer.Height();
      const i32 dw = adapter_ ? static_cast<i32>(adapter_->desktop.width) : ws.Desktop().width;
      const i32 dh = adapter_ ? static_cast<i32>(adapter_->desktop.height) : ws.Desktop().height;
      i32 x = (dw - w) / 2, y = (dh - 32 - h) / 2;
      if (x < 0) x = 0;
      if (y < 0) y = 0;
      ws.SetWindowPos(window_, 0, x, y, w, h, plat::SWP_NOZORDER);
      plat::Rect client{0, 0, 0, 0};
      ws.GetClientRect(window_, &client);
      if (client.Width() != static_cast<i32>(p.backBufferWidth) ||
          client.Height() != static_cast<i32>(p.backBufferHeight)) {
        DXLReportErrorA(-1, "Invalid window size.");
        lastResult_ = kViewerWindowSizeFailed;
        return lastResult_;
      }
    }
  }
  if (!resized && windowed && fromFullScreen) {
    plat::Rect outer{0, 0, 0, 0};
    ws.GetWindowRect(window_, &outer);
    const i32 dw = adapter_ ? static_cast<i32>(adapter_->desktop.width) : ws.Desktop().width;
    const i32 dh = adapter_ ? static_cast<i32>(adapter_->desktop.height) : ws.Desktop().height;
    ws.SetWindowPos(window_, 0, (dw - outer.Width()) / 2, (dh - outer.Height()) / 2, 0, 0,
                    plat::SWP_NOSIZE | plat::SWP_NOZORDER);
  }
  if (!ws.IsWindowVisible(window_)) ws.ShowWindow(window_, plat::SW_SHOW);
  lastResult_ = 0;
  return 0;
}

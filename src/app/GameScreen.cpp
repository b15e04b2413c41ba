#include "app/GameScreen.h"

#include "base/List.h"
#include "engine/DXLApp.h"
#include "engine/DXLLog.h"
#include "engine/DXLViewer.h"
#include "engine/DXLWindowViewer.h"
#include "level/rules/LevelView.h"
#include "platform/os/WindowSystem.h"

namespace {

constexpr SCREENSIZE kWindowSizes[] = {{800, 600}, {1024, 768}, {1280, 800}};
constexpr i32 kExtraWindowHeight = 32;  // room for the desktop's task bar
constexpr float kWidestRatio = 0.625f;  // 16:10
constexpr float kWideRatio = 0.75f;     // 4:3
constexpr u32 kDepthFormat = 75;        // D24S8

}  // namespace

GAMEAREA ComputeGameArea(i32 width, i32 height) {
  GAMEAREA a;
  a.clientWidth = width;
  a.clientHeight = height;
  LEVELVIEW view;
  const LEVELVIEWSIZE fit = FitLevelView(&view, width, height);
  a.width = fit.width & ~1;
  a.height = fit.height & ~1;
  const float ratio = a.width > 0 ? static_cast<float>(a.height) / static_cast<float>(a.width) : 1.0f;
  if (ratio < kWidestRatio) a.width = static_cast<i32>(static_cast<float>(a.height) / kWidestRatio) & ~1;
  a.wide = ratio < kWideRatio;
  a.left = (width - a.width) / 2;
  a.top = (height - a.height) / 2;
  a.rect = DXLRECT{a.left, a.top, a.left + a.width, a.top + a.height};
  return a;
}

bool GameModeFilter(DXLViewer*, kis::list<DXLDISPLAYMODE*>*, const DXLDISPLAYMODE* candidate) {
  return candidate->format == kScreenModeFormat && candidate->width >= 800 && candidate->height >= 600;
}

SCREENSIZE GameScreen::GetWindowSize(u32 i) const { return i < windowSizes_.size() ? windowSizes_[i] : windowSizes_[0]; }

bool GameScreen::InGameArea(i32 x, i32 y) const {
  return x >= area_.rect.left && x < area_.rect.right && y >= area_.rect.top && y < area_.rect.bottom;
}

// The desktop mode as the viewer reports it, and the window sizes that fit
// it with the frame the window system puts round the game's window.
void GameScreen::ReadDesktop() {
  DXLWindowViewer* viewer = DXLGetViewer();
  if (const DXLADAPTERINFO* adapter = viewer ? viewer->GetAdapter() : nullptr) {
    desktop_ = SCREENSIZE{adapter->desktop.width, adapter->desktop.height};
    desktopRefresh_ = adapter->desktop.refreshRate;
    desktopFormat_ = adapter->desktop.format;
  }
  plat::Rect frame{0, 0, 0, 0};
  plat::GetWindowSystem().AdjustWindowRect(&frame, DXLWindowViewer::kWindowedStyle, false);
  const i32 frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top + kExtraWindowHeight;
  windowSizes_.clear();
  for (const SCREENSIZE& s : kWindowSizes)
    if (static_cast<i32>(s.width) + frameWidth <= static_cast<i32>(desktop_.width) &&
        static_cast<i32>(s.height) + frameHeight <= static_cast<i32>(desktop_.height))
      windowSizes_.push_back(s);
  if (windowSizes_.empty()) windowSizes_.push_back(kWindowSizes[0]);
  defaultWindow_ = windowSizes_.back();
  // A held size needs no room for the task bar: a replay is played, not used.
  const i64 heldWidth = held_.width, heldHeight = held_.height;
  heldWindowFits_ = heldWidth > 0 && heldWidth + frameWidth <= desktop_.width &&
                    heldHeight + frameHeight - kExtraWindowHeight <= desktop_.height;
}

bool GameScreen::Offered(u32 width, u32 height) const {
  DXLWindowViewer* viewer = DXLGetViewer();
  kis::list<DXLDISPLAYMODE*>* modes = viewer ? viewer->GetModeList() : nullptr;
  if (!modes) return false;
  for (i32 i = 0; i < modes->GetCount(); ++i) {
    const DXLDISPLAYMODE* m = modes->Get(i);
    if (m && m->width == width && m->height == height && GameModeFilter(nullptr, nullptr, m)) return true;
  }
  return false;
}

bool GameScreen::Init(const SCREENPARAMS& params) {
  ReadDesktop();
  if (!SetParams(params) && !SetParams(params_)) {
    DXLReportErrorA(-1, "GameScreen::SetParams(params)");
    return false;
  }
  if (!Apply()) {
    DXLReportErrorA(-1, "GameScreen::Apply()");
    return false;
  }
  applied_ = true;
  return true;
}

bool GameScreen::SetParams(const SCREENPARAMS& given) {
  const SCREENPARAMS old = params_;
  SCREENPARAMS p = given;
  p.fullscreen = p.fullscreen ? 1 : 0;
  p.vsync = p.vsync ? 1 : 0;
  if (p.windowWidth == 0 || p.windowHeight == 0) {
    p.windowWidth = defaultWindow_.width;
    p.windowHeight = defaultWindow_.height;
  }
  if (p.screenWidth == 0 || p.screenHeight == 0) {
    p.screenWidth = desktop_.width;
    p.screenHeight = desktop_.height;
  }
  if (p.refresh == 0) p.refresh = desktopRefresh_;
  if (held_.width > 0) {
    // A replay's size: full screen at it when asked for (or no window fits),
    // else a window of it.
    if (Offered(held_.width, held_.height) && (p.fullscreen || !heldWindowFits_)) {
      if (!p.fullscreen || p.screenWidth != held_.width || p.screenHeight != held_.height) p.refresh = desktopRefresh_;
      p.fullscreen = 1;
      p.screenWidth = held_.width;
      p.screenHeight = held_.height;
    } else if (heldWindowFits_) {
      p.fullscreen = 0;
    }
  }
  bool listed = false;
  for (const SCREENSIZE& s : windowSizes_) listed = listed || (s.width == p.windowWidth && s.height == p.windowHeight);
  if (!listed) {
    p.windowWidth = defaultWindow_.width;
    p.windowHeight = defaultWindow_.height;
  }
  if (!Offered(p.screenWidth, p.screenHeight)) {
    // A full-screen size the display does not offer: a window at the
    // default size, on the desktop's refresh.
    p.fullscreen = 0;
    p.windowWidth = defaultWindow_.width;
    p.windowHeight = defaultWindow_.height;
    p.screenWidth = desktop_.width;
    p.screenHeight = desktop_.height;
    p.refresh = desktopRefresh_;
  }
  params_ = p;
  DXLWindowViewer* viewer = DXLGetViewer();
  const DXLDISPLAYMODE want = DXLMakeDisplayMode(p.screenWidth, p.screenHeight, p.refresh, kScreenModeFormat);
  const DXLMODEMATCH match{1, 0, 0, 0};
  DXLDISPLAYMODE found{};
  if (!viewer || !viewer->FindAdapterDisplayMode(&found, &want, &match)) {
    params_ = old;
    return false;
  }
  params_.refresh = found.refreshRate;
  return true;
}

// A window always opens at the default window size (the saved size is kept
// in the parameters only as checked).
bool GameScreen::Apply() {
  const bool full = params_.fullscreen != 0;
  if (!full) {
    const SCREENSIZE window = heldWindowFits_ ? held_ : defaultWindow_;
    params_.windowWidth = window.width;
    params_.windowHeight = window.height;
  }
  const u32 width = full ? params_.screenWidth : params_.windowWidth;
  const u32 height = full ? params_.screenHeight : params_.windowHeight;
  const u32 refresh = full ? params_.refresh : 0;
  const DXLAPPDATA& app = DXLGetAppData();
  DXLWindowViewer* viewer = DXLGetViewer();
  const bool runs = (app.flags & kAppDeviceCreated) && viewer && viewer->HasDevice();
  const bool same = runs && app.fullScreen == (full ? 1u : 0u) && app.screenWidth == width &&
                    app.screenHeight == height && viewer->IsVSync() == (params_.vsync != 0) &&
                    (!full || app.refreshRate == refresh);
  if (!same) {
    if (DXLPrepareDisplayMode(kDepthFormat, width, height, refresh, full ? kScreenModeFormat : desktopFormat_, 0, 0, 0,
                              full, params_.vsync != 0, false, nullptr) != 0 ||
        DXLSetDisplayMode(nullptr, 0xFF000000u) != 0)
      return false;
  }
  // What came out: the window's client area, which in full screen covers
  // the display (the frame's back buffer only stands in while the window
  // has no client area, minimised).
  plat::Rect client{0, 0, 0, 0};
  plat::GetWindowSystem().GetClientRect(app.window, &client);
  const bool shown = client.Width() > 0 && client.Height() > 0;
  const i32 w = shown ? client.Width() : static_cast<i32>(app.screenWidth);
  const i32 h = shown ? client.Height() : static_cast<i32>(app.screenHeight);
  if (full) {
    params_.screenWidth = static_cast<u32>(w);
    params_.screenHeight = static_cast<u32>(h);
    if (app.refreshRate) params_.refresh = app.refreshRate;
  } else {
    params_.windowWidth = static_cast<u32>(w);
    params_.windowHeight = static_cast<u32>(h);
  }
  area_ = ComputeGameArea(w, h);
  return true;
}

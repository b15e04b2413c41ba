// GameScreen - the screen the game runs on: window or full screen, the
// window's size, the full-screen mode and refresh, vertical sync, and the
// game area that results on the screen (its size, its margins and the
// rectangle clicks must fall in). The parameters are the seven words of
// "config.dat" (Settings.h); Apply hands them to the engine frame.
//
// Window sizes offered: 800 x 600, 1024 x 768 and 1280 x 800, those that fit
// the desktop with the window's frame and 32 more pixels of height (800 x 600
// alone when none does); the default window size is the largest kept. A
// window always opens at the default size: the saved window size is checked
// but has no effect on the window.
//
// A replay holds the client area at the size it was made at: a window of
// that size where one fits the desktop with its frame (the only window size
// offered then), full screen where the display offers that mode (when full
// screen is asked for, or no window fits); else the screen is as without it,
// and the client area tells.
//
// Game area: the level view's fit of the window's client area
// (FitLevelView), made even, no wider than 16:10 (height / 0.625); centred,
// the margins outside it left for the screen borders.
#pragma once

#include <vector>

#include "app/Settings.h"
#include "base/Types.h"
#include "engine/DXLRect.h"

class DXLViewer;
struct DXLDISPLAYMODE;
namespace kis {
template <class T>
class list;
}

constexpr u32 kScreenModeFormat = 22;  // 32-bit X8R8G8B8

// Where the game area lies on a client area of a given size.
struct GAMEAREA {
  i32 clientWidth = 0;  // the client area it lies on
  i32 clientHeight = 0;
  i32 width = 0;
  i32 height = 0;
  i32 left = 0;  // margins
  i32 top = 0;
  DXLRECT rect{0, 0, 0, 0};  // left, top, right and bottom edges (the last two excluded)
  bool wide = false;         // wider than 4:3
};

// The game area for a client area of width x height.
GAMEAREA ComputeGameArea(i32 width, i32 height);

// The display modes the game offers: 32-bit, at least 800 x 600 (the filter
// handed to the frame when the window is made).
bool GameModeFilter(DXLViewer* viewer, kis::list<DXLDISPLAYMODE*>* sorted, const DXLDISPLAYMODE* candidate);

struct SCREENSIZE {
  u32 width;
  u32 height;
};

class GameScreen {
 public:
  // The desktop mode from the frame's viewer, the window sizes, then
  // SetParams (with the current parameters when the given ones are
  // refused) and Apply; false (said in the log) when either fails.
  bool Init(const SCREENPARAMS& params);
  // The client area held at `size` (0 x 0: not held), before Init.
  void HoldClientSize(SCREENSIZE size) { held_ = size; }
  // Takes the parameters: zero sizes and refresh are the defaults; a window
  // size not offered becomes the default one; a full-screen size the
  // display does not offer makes it a window at the default size at the
  // desktop's refresh. False (the old parameters back) when the viewer
  // refuses the full-screen mode.
  bool SetParams(const SCREENPARAMS& params);
  // The frame's window and device made (or reset) for the parameters when
  // they differ from what runs; then the sizes as they came out (in full
  // screen those of the display the window covers, in a window its client
  // area's) and the game area on that client area. False on failure.
  bool Apply();

  bool IsFullscreen() const { return params_.fullscreen != 0; }
  void SetFullscreen(bool on) { params_.fullscreen = on ? 1 : 0; }
  const SCREENPARAMS& GetParams() const { return params_; }
  u32 GetModeCount() const { return static_cast<u32>(windowSizes_.size()); }
  SCREENSIZE GetWindowSize(u32 i) const;  // the first size out of range
  u32 GetDefaultWindowWidth() const { return defaultWindow_.width; }
  u32 GetDefaultWindowHeight() const { return defaultWindow_.height; }
  u32 GetDesktopWidth() const { return desktop_.width; }
  u32 GetDesktopHeight() const { return desktop_.height; }
  u32 GetDesktopRefresh() const { return desktopRefresh_; }
  u32 GetWidth() const { return params_.windowWidth; }
  bool IsApplied() const { return applied_; }

  const GAMEAREA& Area() const { return area_; }
  // Inside the game rectangle (window coordinates).
  bool InGameArea(i32 x, i32 y) const;

 private:
  void ReadDesktop();
  bool Offered(u32 width, u32 height) const;  // a display mode of that size passes the filter

  SCREENPARAMS params_;
  bool applied_ = false;
  SCREENSIZE desktop_{800, 600};
  u32 desktopRefresh_ = 60;
  u32 desktopFormat_ = kScreenModeFormat;
  std::vector<SCREENSIZE> windowSizes_{{800, 600}};
  SCREENSIZE defaultWindow_{800, 600};
  SCREENSIZE held_{0, 0};
  bool heldWindowFits_ = false;
  GAMEAREA area_;
};

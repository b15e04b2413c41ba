#include "platform/sdl2/SdlWindow.h"

#include <SDL.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/encoding/Utf.h"
#include "platform/sdl2/SdlMapping.h"

namespace plat::sdl2 {

namespace {

constexpr uint32_t kStateStyles = WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE;
constexpr uint32_t kFullscreen = SDL_WINDOW_FULLSCREEN_DESKTOP;

// The bounds of the display that holds a point (the first display's when
// none does); false when SDL knows of no display.
bool DisplayBoundsAt(int x, int y, SDL_Rect* bounds) {
  const int count = SDL_GetNumVideoDisplays();
  for (int i = 0; i < count; ++i) {
    SDL_Rect r;
    if (SDL_GetDisplayBounds(i, &r) == 0 && x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h) {
      *bounds = r;
      return true;
    }
  }
  return SDL_GetDisplayBounds(0, bounds) == 0 && bounds->w > 0 && bounds->h > 0;
}

bool SameOrigin(const Rect& a, const Rect& b) { return a.left == b.left && a.top == b.top; }

bool SameSize(const Rect& a, const Rect& b) { return a.Width() == b.Width() && a.Height() == b.Height(); }

// Moves the real window. Pointer events still queued were made where the
// window was: their window coordinates are turned into the new place's, so
// each still names the point of the display where the pointer was. (SDL's
// own echo of the pointer, which it queues as it leaves full screen, is
// one: taken against the window's new place it would put the game's drawn
// cursor off by the move until the pointer next moved.)
// True when the window's place changed.
bool MoveRealWindow(SDL_Window* window, int x, int y) {
  int oldX = 0, oldY = 0, newX = 0, newY = 0;
  SDL_GetWindowPosition(window, &oldX, &oldY);
  SDL_SetWindowPosition(window, x, y);
  SDL_GetWindowPosition(window, &newX, &newY);
  const int dx = oldX - newX, dy = oldY - newY;
  if (dx == 0 && dy == 0) return false;
  const int queued = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
  if (queued <= 0) return true;
  std::vector<SDL_Event> events(static_cast<size_t>(queued));
  const int taken = SDL_PeepEvents(events.data(), queued, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
  const uint32_t id = SDL_GetWindowID(window);
  for (int i = 0; i < taken; ++i) {
    SDL_Event& e = events[static_cast<size_t>(i)];
    if (e.type == SDL_MOUSEMOTION && e.motion.windowID == id) {
      e.motion.x += dx;
      e.motion.y += dy;
    } else if ((e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP) && e.button.windowID == id) {
      e.button.x += dx;
      e.button.y += dy;
    }
  }
  if (taken > 0) SDL_PeepEvents(events.data(), taken, SDL_ADDEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
  return true;
}

}  // namespace

bool DisplayTellsPointer() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr && std::string_view(driver) == "x11";
}

SdlWindow::~SdlWindow() {
  if (window_ != nullptr) SDL_DestroyWindow(window_);
}

// What the window system asks for. A minimised window keeps the place it
// was last given, so restoring it needs no move.
SdlWindow::State SdlWindow::Wanted(const WindowSystem& windows) const {
  State s;
  s.visible = windows.IsWindowVisible(handle_);
  s.minimised = windows.IsIconic(handle_);
  s.maximised = windows.IsZoomed(handle_);
  const uint32_t style = windows.GetWindowLong(handle_, GWL_STYLE);
  s.fullscreen = (style & WS_POPUP) != 0 && (style & WS_CAPTION) != WS_CAPTION;
  s.foreground = windows.GetForegroundWindow() == handle_;
  s.title = windows.GetWindowText(handle_);
  if (s.minimised) {
    s.client = applied_.client;
  } else {
    Point origin{0, 0};
    Rect size{0, 0, 0, 0};
    windows.ClientToScreen(handle_, &origin);
    windows.GetClientRect(handle_, &size);
    s.client = Rect{origin.x, origin.y, origin.x + size.Width(), origin.y + size.Height()};
  }
  return s;
}

bool SdlWindow::Create(const WindowSystem& windows, std::string* error) {
  if (window_ != nullptr) return true;
  const State want = Wanted(windows);
  const bool placed = want.client.Width() > 0 && want.client.Height() > 0;
  int x = placed ? want.client.left : static_cast<int>(SDL_WINDOWPOS_CENTERED);
  int y = placed ? want.client.top : static_cast<int>(SDL_WINDOWPOS_CENTERED);
  int w = std::max(1, want.client.Width());
  int h = std::max(1, want.client.Height());
  uint32_t flags = SDL_WINDOW_HIDDEN;
  SDL_Rect display;
  if (want.fullscreen) {
    // Made over the whole display, frameless, whether or not a window
    // manager is there to make it full screen.
    flags |= kFullscreen;
    if (DisplayBoundsAt(placed ? want.client.left : 0, placed ? want.client.top : 0, &display)) {
      flags |= SDL_WINDOW_BORDERLESS;
      x = display.x;
      y = display.y;
      w = display.w;
      h = display.h;
    }
  }
  window_ = SDL_CreateWindow(Utf16ToUtf8(want.title).c_str(), x, y, w, h, flags);
  if (window_ == nullptr) {
    if (error != nullptr) *error = SDL_GetError();
    return false;
  }
  id_ = SDL_GetWindowID(window_);
  // The class's icon, from the picture file the program named for it.
  const std::u16string iconFile = windows.IconFile(windows.GetClassIcon(handle_));
  if (!iconFile.empty()) {
    if (SDL_Surface* icon = SDL_LoadBMP(Utf16ToUtf8(iconFile).c_str())) {
      SDL_SetWindowIcon(window_, icon);
      SDL_FreeSurface(icon);
    }
  }
  applied_ = State{};
  applied_.fullscreen = want.fullscreen;
  applied_.client = placed ? want.client : Rect{0, 0, 0, 0};
  applied_.title = want.title;
  return true;
}

void SdlWindow::Sync(WindowSystem& windows, bool holdShowState) {
  if (window_ == nullptr || !windows.IsWindow(handle_)) return;
  const State want = Wanted(windows);
  if (want.title != applied_.title) {
    SDL_SetWindowTitle(window_, Utf16ToUtf8(want.title).c_str());
    applied_.title = want.title;
  }
  if (want.fullscreen != applied_.fullscreen) {
    SDL_Rect display{0, 0, 0, 0};
    int x = 0, y = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    const bool covers = want.fullscreen && DisplayBoundsAt(x, y, &display);
    AimPointer(want.fullscreen ? display.w : want.client.Width(), want.fullscreen ? display.h : want.client.Height());
    if (want.fullscreen) {
      // Without a window manager nobody answers the request for full
      // screen: the window covers its display by itself first, without a
      // frame (with one, the manager then makes it full screen as asked).
      if (covers) {
        SDL_SetWindowBordered(window_, SDL_FALSE);
        MoveRealWindow(window_, display.x, display.y);
        SDL_SetWindowSize(window_, display.w, display.h);
      }
      SDL_SetWindowFullscreen(window_, kFullscreen);
    } else {
      SDL_SetWindowFullscreen(window_, 0u);
      SDL_SetWindowBordered(window_, SDL_TRUE);
    }
    applied_.fullscreen = want.fullscreen;
    moved_ = true;
    // Back in a window, place and size it anew whatever the desktop restored.
    if (!want.fullscreen) applied_.client = Rect{0, 0, 0, 0};
  }
  // Geometry only matters for a plain window; full screen and maximised
  // windows take the desktop, minimised ones keep their place.
  if (!want.fullscreen && !want.minimised && !want.maximised && want.client.Width() > 0 &&
      want.client.Height() > 0) {
    if (!SameSize(want.client, applied_.client)) SDL_SetWindowSize(window_, want.client.Width(), want.client.Height());
    if (!SameOrigin(want.client, applied_.client) && MoveRealWindow(window_, want.client.left, want.client.top))
      moved_ = true;
    applied_.client = want.client;
  }
  if (holdShowState) return;
  if (!want.visible) {
    if (applied_.visible) SDL_HideWindow(window_);
    applied_.visible = false;
    applied_.foreground = false;
    return;
  }
  if (!applied_.visible) SDL_ShowWindow(window_);
  applied_.visible = true;
  if (want.minimised && !applied_.minimised) {
    SDL_MinimizeWindow(window_);
  } else if (!want.minimised && applied_.minimised) {
    SDL_RestoreWindow(window_);
    applied_.maximised = false;
  }
  applied_.minimised = want.minimised;
  if (!want.minimised) {
    if (want.maximised && !applied_.maximised) SDL_MaximizeWindow(window_);
    if (!want.maximised && applied_.maximised) SDL_RestoreWindow(window_);
    applied_.maximised = want.maximised;
  }
  // Coming to the front in the window system (a later instance asked for it,
  // or the program did) raises the real window.
  if (want.foreground && !applied_.foreground && !want.minimised) SDL_RaiseWindow(window_);
  applied_.foreground = want.foreground;
}

bool SdlWindow::NoteMinimised() {
  if (applied_.minimised) return false;
  applied_.minimised = true;
  return true;
}

bool SdlWindow::NoteMaximised() {
  if (applied_.maximised && !applied_.minimised) return false;
  applied_.maximised = true;
  applied_.minimised = false;
  return true;
}

bool SdlWindow::NoteRestored() {
  if (!applied_.minimised && !applied_.maximised) return false;
  applied_.minimised = false;
  applied_.maximised = false;
  return true;
}

void SdlWindow::NoteMoved(WindowSystem& windows, int32_t x, int32_t y) {
  if (window_ == nullptr || applied_.fullscreen || !applied_.visible || applied_.minimised || applied_.maximised) {
    return;
  }
  const Rect moved{x, y, x + applied_.client.Width(), y + applied_.client.Height()};
  if (SameOrigin(moved, applied_.client)) return;
  Rect outer = moved;
  windows.AdjustWindowRect(&outer, windows.GetWindowLong(handle_, GWL_STYLE) & ~kStateStyles, false);
  windows.SetWindowPos(handle_, 0, outer.left, outer.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  applied_.client = moved;
}

// The point under the resting pointer keeps its offset from the window's
// middle across a switch (the game lays out what it shows about the middle
// of its client area, so the pointer stays on what it was on), where the
// display tells where the pointer is and it is over the window. SDL itself
// puts it back at its old place in the window, which names another point
// of the game in a window of another size.
void SdlWindow::AimPointer(int32_t width, int32_t height) {
  aim_.held = false;
  int rootX = 0, rootY = 0, x = 0, y = 0, w = 0, h = 0;
  if (!DisplayTellsPointer() || SDL_GetMouseFocus() != window_ || width <= 0 || height <= 0) return;
  SDL_GetGlobalMouseState(&rootX, &rootY);
  SDL_GetWindowPosition(window_, &x, &y);
  SDL_GetWindowSize(window_, &w, &h);
  x = rootX - x;
  y = rootY - y;
  if (x < 0 || y < 0 || x >= w || y >= h) return;
  aim_ = Aim{true, false, x + (width - w) / 2, y + (height - h) / 2};
  aim_.x = std::clamp(aim_.x, 0, width - 1);
  aim_.y = std::clamp(aim_.y, 0, height - 1);
}

bool SdlWindow::PointerAim(int32_t* x, int32_t* y) {
  *x = aim_.x;
  *y = aim_.y;
  return HoldsPointer();
}

void SdlWindow::AimedAt(int32_t rootX, int32_t rootY) {
  aim_.put = true;
  aim_.rootX = rootX;
  aim_.rootY = rootY;
}

bool SdlWindow::HoldsPointer() {
  if (!aim_.held || !aim_.put) return aim_.held;
  int rootX = 0, rootY = 0;
  SDL_GetGlobalMouseState(&rootX, &rootY);
  aim_.held = rootX == aim_.rootX && rootY == aim_.rootY;
  return aim_.held;
}

Point SdlWindow::ToScreen(const WindowSystem& windows, int32_t x, int32_t y) const {
  Point origin{0, 0};
  Rect client{0, 0, 0, 0};
  windows.ClientToScreen(handle_, &origin);
  windows.GetClientRect(handle_, &client);
  if (window_ != nullptr && client.Width() > 0 && client.Height() > 0) {
    int ww = 0;
    int wh = 0;
    SDL_GetWindowSize(window_, &ww, &wh);
    const int32_t fw = frameWidth_ != 0 ? static_cast<int32_t>(frameWidth_) : client.Width();
    const int32_t fh = frameHeight_ != 0 ? static_cast<int32_t>(frameHeight_) : client.Height();
    WindowPointToClient(FitFrame(fw, fh, ww, wh), client.Width(), client.Height(), &x, &y);
  }
  return Point{origin.x + x, origin.y + y};
}

bool SdlWindow::TakeMoved() {
  const bool moved = moved_;
  moved_ = false;
  return moved;
}

bool SdlWindow::SetFrameSize(uint32_t width, uint32_t height) {
  const bool changed = width != frameWidth_ || height != frameHeight_;
  frameWidth_ = width;
  frameHeight_ = height;
  return changed;
}

}  // namespace plat::sdl2

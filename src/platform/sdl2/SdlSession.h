// A complete platform on a real desktop through SDL: SDL's video subsystem, a
// window system on a desktop of the display's size (whose windows have no
// frame where no window manager runs to draw one), the backend that feeds
// it the user's actions and mirrors its window, the frame presenter and the
// desktop clipboard, and the graphics adapter's settings with the display's
// desktop mode, refresh rate and display modes (the clock stays the
// system's). Whoever opens a session installs it in the platform services
// (Services(), with a PlatformServicesScope) and takes it out before the
// session ends; the presenter is installed as the present sink where frames
// are to reach the window. Sessions do not nest, nor run beside a headless
// one.
//
// Opening fails when SDL finds no window system and would fall back to a
// driver that shows nothing, unless the user chose the driver
// (SDL_VIDEODRIVER): a program asked for a window must not run invisibly.
//
// A lost X display connection (the server stopped, the window killed) ends
// the process at once with exit status kDisplayLostStatus, after the
// program's displayLost has been told why: Xlib's own handler would call
// exit() from inside the call that noticed, and the program's exit-time
// destructors would then take down a world in the middle of a frame.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/gfx/GfxSystem.h"
#include "platform/os/PlatformServices.h"
#include "platform/os/WindowSystem.h"
#include "platform/sdl2/SdlBackend.h"
#include "platform/sdl2/SdlClipboard.h"
#include "platform/sdl2/SdlPresenter.h"

namespace plat::sdl2 {

constexpr int kDisplayLostStatus = 1;

struct SessionOptions {
  bool vsync = true;
};

// Told why (for the log and the user) when the display's connection is lost,
// just before the process ends; it must not touch the display. Without one
// the reason goes to stderr.
using DisplayLostHandler = std::function<void(const std::string& why)>;

class SdlSession {
 public:
  // A session owned by the caller (SDL stops when it is deleted); null, with
  // the reason in error, when SDL's video cannot start or there is no display.
  static std::unique_ptr<SdlSession> Open(const SessionOptions& options, std::string* error,
                                          DisplayLostHandler displayLost = {});
  ~SdlSession();
  SdlSession(const SdlSession&) = delete;
  SdlSession& operator=(const SdlSession&) = delete;

  WindowSystem& Windows() { return windows_; }
  SdlBackend& Backend() { return backend_; }
  SdlPresenter& Presenter() { return presenter_; }
  SdlClipboard& Clip() { return clipboard_; }
  const gfx::SystemSettings& Adapter() const { return adapter_; }
  // The session's window system, clipboard and adapter, to install.
  PlatformServices Services() {
    return PlatformServices{.clipboard = &clipboard_, .windowSystem = &windows_, .adapter = &adapter_};
  }

  // The desktop of the display SDL reports (a default one when it reports none).
  static DesktopSettings DisplayDesktop();
  // The graphics adapter's settings with the display's desktop mode and its
  // modes (in the adapter's display format; the desktop alone when SDL lists
  // none).
  static gfx::SystemSettings DisplayAdapter();

 private:
  // Keeps SDL's video subsystem running for as long as the session lives; the
  // first member, so it ends after everything that uses it.
  struct VideoPart {
    VideoPart() = default;
    ~VideoPart();
    VideoPart(const VideoPart&) = delete;
    VideoPart& operator=(const VideoPart&) = delete;
  };

  SdlSession(const DesktopSettings& desktop, const SessionOptions& options, DisplayLostHandler displayLost);

  // Our handler for a lost X connection in place of Xlib's while the
  // session lives (nothing when SDL does not draw through X).
  struct DisplayLossPart {
    explicit DisplayLossPart(DisplayLostHandler told);
    ~DisplayLossPart();
    DisplayLossPart(const DisplayLossPart&) = delete;
    DisplayLossPart& operator=(const DisplayLossPart&) = delete;
    void* library = nullptr;  // libX11, as SDL loaded it
    void (*before)() = nullptr;  // the handler ours replaced
  };

  VideoPart video_;
  DisplayLossPart displayLoss_;
  WindowSystem windows_;
  SdlBackend backend_;
  SdlPresenter presenter_;
  SdlClipboard clipboard_;
  gfx::SystemSettings adapter_;  // the display's
};

}  // namespace plat::sdl2

// A complete platform on a real desktop through SDL: SDL's video subsystem, a
// window system on a desktop of the display's size, the backend that feeds
// it the user's actions and mirrors its window, the frame presenter and the
// desktop clipboard, installed for the lifetime of the session (the clock
// stays the system's). Sessions do not nest, nor run beside a headless one.
#pragma once

#include <memory>
#include <string>

#include "platform/os/WindowSystem.h"
#include "platform/sdl2/SdlBackend.h"
#include "platform/sdl2/SdlClipboard.h"
#include "platform/sdl2/SdlPresenter.h"

namespace plat::sdl2 {

struct SessionOptions {
  bool vsync = true;
};

class SdlSession {
 public:
  // A session owned by the caller (SDL stops when it is deleted); null, with
  // SDL's reason in error, when SDL's video cannot start.
  static std::unique_ptr<SdlSession> Open(const SessionOptions& options, std::string* error);
  ~SdlSession();
  SdlSession(const SdlSession&) = delete;
  SdlSession& operator=(const SdlSession&) = delete;

  WindowSystem& Windows() { return windows_; }
  SdlBackend& Backend() { return backend_; }
  SdlPresenter& Presenter() { return presenter_; }
  SdlClipboard& Clip() { return clipboard_; }

  // The desktop of the display SDL reports (a default one when it reports none).
  static DesktopSettings DisplayDesktop();

 private:
  // Keeps SDL's video subsystem running for as long as the session lives; the
  // first member, so it ends after everything that uses it.
  struct VideoPart {
    VideoPart() = default;
    ~VideoPart();
    VideoPart(const VideoPart&) = delete;
    VideoPart& operator=(const VideoPart&) = delete;
  };

  SdlSession(const DesktopSettings& desktop, const SessionOptions& options);

  VideoPart video_;
  WindowSystem windows_;
  SdlBackend backend_;
  SdlPresenter presenter_;
  SdlClipboard clipboard_;
};

}  // namespace plat::sdl2

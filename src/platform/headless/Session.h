// A complete headless platform for tests and automated runs: a fake clock, a
// window system on a fake desktop fed by a script of user actions, and a
// clipboard in memory. Whoever makes a session installs it in the platform
// services (Services(), with a PlatformServicesScope) and takes it out
// before the session ends.
#pragma once

#include <cstdint>

#include "platform/headless/Script.h"
#include "platform/os/Clipboard.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "platform/os/WindowSystem.h"

namespace plat::headless {

class Session {
 public:
  static constexpr uint32_t kStartMs = 1000000;

  explicit Session(const DesktopSettings& desktop = DesktopSettings{}, uint32_t startMs = kStartMs);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  FakeClock& Clock() { return clock_; }
  WindowSystem& Windows() { return windows_; }
  Script& Events() { return script_; }
  MemoryClipboard& Clip() { return clipboard_; }
  // The session's clock, window system and clipboard, to install.
  PlatformServices Services() { return PlatformServices{.clock = &clock_, .clipboard = &clipboard_, .windowSystem = &windows_}; }

 private:
  FakeClock clock_;
  WindowSystem windows_;
  Script script_;
  MemoryClipboard clipboard_;
};

}  // namespace plat::headless

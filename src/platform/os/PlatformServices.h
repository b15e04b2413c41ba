// The platform's process-wide collaborators in one place: the clock, the
// clipboard, the window system, the message-box and web-address hooks, the
// module provider, the image decoder, where presented frames go, the
// graphics adapter's settings, the lock call and the per-user folder held.
// A null field means the system's default, as each reader
// (plat::GetClock(), GetClipboard(), ...) says.
//
// Nothing installs itself: whoever makes a collaborator sets its field and
// takes it out again, the sessions (headless::Session, sdl2::SdlSession)
// through their Services() and a PlatformServicesScope, the game's world
// what the program hands it (WorldSetup::platform), tests their fakes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/os/MessageBox.h"
#include "platform/os/UrlOpener.h"

namespace plat {

class Clipboard;
class Clock;
class HeldFolder;
class ModuleProvider;
class WindowSystem;

namespace gfx {
class PresentSink;
struct DecodedImage;
struct SystemSettings;
// Decodes the bytes of an image file; false when they are not a readable
// image. It must check every size against the bytes it is given.
using ImageDecoder = bool (*)(const uint8_t* data, size_t size, DecodedImage* out);
}  // namespace gfx

// Takes, or lets go of, an advisory lock on an open file as flock(2) does:
// 0, or -1 with errno.
using LockCall = int (*)(int fd, int operation);

// Every pointer is kept, never owned.
struct PlatformServices {
  Clock* clock = nullptr;                       // null: the monotonic system clock
  Clipboard* clipboard = nullptr;               // null: a process-wide memory clipboard
  WindowSystem* windowSystem = nullptr;         // null: a default one made on first use
  MessageBoxHook messageBoxHook = nullptr;      // null: standard error
  UrlOpenHook urlOpenHook = nullptr;            // null: the real opener (xdg-open)
  ModuleProvider* moduleProvider = nullptr;     // null: the registered libraries
  gfx::ImageDecoder imageDecoder = nullptr;     // null: no image file decodes
  gfx::PresentSink* presentSink = nullptr;      // null: frames stay in the device
  const gfx::SystemSettings* adapter = nullptr;  // null: gfx::DefaultSystemSettings()
  LockCall lockCall = nullptr;                  // null: flock(2) (the single-instance lock's)
  // The per-user folder the game's single-instance lock holds, below which
  // the calls that change the disk go through its descriptor
  // (HeldFolder.h); null: every path is taken as it stands.
  const HeldFolder* userFolder = nullptr;
};

PlatformServices& GetPlatformServices();
// Every field back to null: the system's defaults.
void ResetPlatformServices();

// Installs the non-null fields of `over` for the lifetime of a scope, and
// puts back what those fields held before at its end (the other fields are
// left as they are then: scopes over different fields need not nest).
class PlatformServicesScope {
 public:
  explicit PlatformServicesScope(const PlatformServices& over = {});
  ~PlatformServicesScope();
  PlatformServicesScope(const PlatformServicesScope&) = delete;
  PlatformServicesScope& operator=(const PlatformServicesScope&) = delete;

 private:
  PlatformServices over_;
  PlatformServices saved_;
};

}  // namespace plat

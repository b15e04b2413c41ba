#include "platform/sdl2/SdlSession.h"

#include <SDL.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sdl2/SdlAudioOutput.h"

namespace plat::sdl2 {

namespace {

bool IsSet(const char* value) { return value != nullptr && value[0] != '\0'; }

// Drivers that SDL falls back to when no window system answers: they show
// nothing.
bool ShowsNothing(const char* driver) {
  return driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

std::string NoDisplayReason() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (!IsSet(x11) && !IsSet(wayland)) return "neither DISPLAY nor WAYLAND_DISPLAY is set";
  std::string named;
  if (IsSet(x11)) named = std::string("DISPLAY=") + x11;
  if (IsSet(wayland)) named += std::string(named.empty() ? "" : ", ") + "WAYLAND_DISPLAY=" + wayland;
  return "no window system answers at " + named;
}

// Xlib's handler type with the display as an opaque pointer: SDL loads
// libX11 itself, so the session reaches it through the loader rather than
// linking it, and only when it is already loaded.
using XIOErrorHandler = int (*)(void* display);
using XSetIOErrorHandlerFunction = XIOErrorHandler (*)(XIOErrorHandler handler);

DisplayLostHandler* gDisplayLost = nullptr;

// Called by Xlib from inside the call that found the connection broken. It
// must not return (Xlib would then exit() itself), and nothing after it may
// touch the display: the program is told, and the process ends without
// running exit handlers or destructors.
int DisplayLost(void*) {
  const char* display = std::getenv("DISPLAY");
  const std::string why =
      std::string("the connection to the X display ") + (IsSet(display) ? display : "") + " was lost";
  if (gDisplayLost && *gDisplayLost)
    (*gDisplayLost)(why);
  else
    std::fprintf(stderr, "%s; the program ends\n", why.c_str());
  std::fflush(nullptr);
  _exit(kDisplayLostStatus);
}

// Whether a window manager runs on the display: false only where one can
// tell that none does, on X11, whose managers name their check window on
// the root window (_NET_SUPPORTING_WM_CHECK). Asked on a connection of its
// own, through the libX11 SDL has loaded.
bool WindowManagerRuns() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || std::strcmp(driver, "x11") != 0) return true;
  void* library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
  if (library == nullptr) return true;
  using Open = void* (*)(const char*);
  using Close = int (*)(void*);
  using Root = unsigned long (*)(void*);
  using Intern = unsigned long (*)(void*, const char*, int);
  using Property = int (*)(void*, unsigned long, unsigned long, long, long, int, unsigned long, unsigned long*, int*,
                           unsigned long*, unsigned long*, unsigned char**);
  using Free = int (*)(void*);
  const auto open = reinterpret_cast<Open>(dlsym(library, "XOpenDisplay"));
  const auto close = reinterpret_cast<Close>(dlsym(library, "XCloseDisplay"));
  const auto root = reinterpret_cast<Root>(dlsym(library, "XDefaultRootWindow"));
  const auto intern = reinterpret_cast<Intern>(dlsym(library, "XInternAtom"));
  const auto property = reinterpret_cast<Property>(dlsym(library, "XGetWindowProperty"));
  const auto release = reinterpret_cast<Free>(dlsym(library, "XFree"));
  bool runs = true;
  void* display = open && close && root && intern && property && release ? open(nullptr) : nullptr;
  if (display != nullptr) {
    const unsigned long check = intern(display, "_NET_SUPPORTING_WM_CHECK", 1);  // 0: no manager ever named it
    unsigned long type = 0, count = 0, after = 0;
    int format = 0;
    unsigned char* value = nullptr;
    runs = check != 0 &&
           property(display, root(display), check, 0, 1, 0, 0, &type, &format, &count, &after, &value) == 0 &&
           count > 0;
    if (value != nullptr) release(value);
    close(display);
  }
  dlclose(library);
  return runs;
}

}  // namespace

SdlSession::VideoPart::~VideoPart() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

SdlSession::DisplayLossPart::DisplayLossPart(DisplayLostHandler told) {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || std::strcmp(driver, "x11") != 0) return;
  library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
  if (library == nullptr) return;
  auto set = reinterpret_cast<XSetIOErrorHandlerFunction>(dlsym(library, "XSetIOErrorHandler"));
  if (set == nullptr) return;
  gDisplayLost = new DisplayLostHandler(std::move(told));
  before = reinterpret_cast<void (*)()>(set(DisplayLost));
}

SdlSession::DisplayLossPart::~DisplayLossPart() {
  if (library == nullptr) return;
  if (gDisplayLost != nullptr) {
    auto set = reinterpret_cast<XSetIOErrorHandlerFunction>(dlsym(library, "XSetIOErrorHandler"));
    set(reinterpret_cast<XIOErrorHandler>(before));
    delete gDisplayLost;
    gDisplayLost = nullptr;
  }
  dlclose(library);
}

std::unique_ptr<SdlSession> SdlSession::Open(const SessionOptions& options, std::string* error,
                                             DisplayLostHandler displayLost) {
  // Closing the last window is the program's decision (WM_CLOSE), not SDL's.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // The desktop's text (window titles, input methods) needs the user's
  // character set; the program itself converts text on its own and does not
  // depend on it.
  const char* ctype = std::setlocale(LC_CTYPE, nullptr);
  if (ctype == nullptr || std::strcmp(ctype, "C") == 0) std::setlocale(LC_CTYPE, "");
  // Unless the user chose the driver, SDL probes only the window systems
  // the environment names: with none named there is nothing to try, and a
  // Wayland probe with no Wayland session prints its own complaint (about
  // the session's runtime folder) before the program can say what is wrong.
  const bool chosen = IsSet(SDL_GetHint(SDL_HINT_VIDEODRIVER));
  if (!chosen) {
    const bool x11 = IsSet(std::getenv("DISPLAY")), wayland = IsSet(std::getenv("WAYLAND_DISPLAY"));
    if (!x11 && !wayland) {
      if (error != nullptr) *error = NoDisplayReason();
      return nullptr;
    }
    if (!wayland) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  }
  const int started = SDL_InitSubSystem(SDL_INIT_VIDEO);
  if (!chosen) SDL_ResetHint(SDL_HINT_VIDEODRIVER);
  if (started != 0) {
    if (error != nullptr) *error = chosen ? SDL_GetError() : NoDisplayReason();
    return nullptr;
  }
  // A program asked for a window must not run invisibly: unless the user
  // chose the driver, one that shows nothing means there is no display.
  if (!chosen && ShowsNothing(SDL_GetCurrentVideoDriver())) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (error != nullptr) *error = NoDisplayReason();
    return nullptr;
  }
  // Without a window manager nobody draws a frame round the window: it
  // counts none, so that a window placed with its frame centred on the
  // desktop lies wholly on it.
  DesktopSettings desktop = DisplayDesktop();
  if (!WindowManagerRuns()) desktop.frame = desktop.caption = 0;
  return std::unique_ptr<SdlSession>(new SdlSession(desktop, options, std::move(displayLost)));
}

SdlSession::SdlSession(const DesktopSettings& desktop, const SessionOptions& options,
                       DisplayLostHandler displayLost)
    : displayLoss_(std::move(displayLost)),
      windows_(desktop),
      presenter_(backend_, windows_, options.vsync),
      adapter_(DisplayAdapter()) {
  windows_.SetEventSource(&backend_);
  SDL_StartTextInput();
}

SdlSession::~SdlSession() {
  SdlAudioOutput::ReleaseParked();
  SDL_StopTextInput();
  windows_.SetEventSource(nullptr);
}

DesktopSettings SdlSession::DisplayDesktop() {
  DesktopSettings desktop;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
    desktop.width = mode.w;
    desktop.height = mode.h;
    if (mode.refresh_rate > 0) desktop.refreshRate = static_cast<uint32_t>(mode.refresh_rate);
    if (mode.format != 0) desktop.bitsPerPixel = SDL_BITSPERPIXEL(mode.format) > 16 ? 32 : 16;
  }
  return desktop;
}

gfx::SystemSettings SdlSession::DisplayAdapter() {
  gfx::SystemSettings adapter = gfx::DefaultSystemSettings();
  const DesktopSettings desktop = DisplayDesktop();
  // Frames are drawn in the adapter's one display format and converted when
  // shown, whatever the display's depth.
  const uint32_t format = adapter.desktop.format;
  adapter.desktop = gfx::DisplayMode{static_cast<uint32_t>(desktop.width), static_cast<uint32_t>(desktop.height),
                                     desktop.refreshRate, format};
  std::vector<gfx::DisplayMode> modes;
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(0, i, &m) != 0 || m.w <= 0 || m.h <= 0) continue;
    const uint32_t hz = m.refresh_rate > 0 ? static_cast<uint32_t>(m.refresh_rate) : desktop.refreshRate;
    const gfx::DisplayMode mode{static_cast<uint32_t>(m.w), static_cast<uint32_t>(m.h), hz, format};
    const bool known = std::any_of(modes.begin(), modes.end(), [&mode](const gfx::DisplayMode& k) {
      return k.width == mode.width && k.height == mode.height && k.refreshRate == mode.refreshRate;
    });
    if (!known) modes.push_back(mode);
  }
  if (modes.empty()) modes.push_back(adapter.desktop);
  adapter.modes = std::move(modes);
  return adapter;
}

}  // namespace plat::sdl2

#include "platform/sdl2/SdlSession.h"

#include <SDL.h>

namespace plat::sdl2 {

SdlSession::VideoPart::~VideoPart() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

std::unique_ptr<SdlSession> SdlSession::Open(const SessionOptions& options, std::string* error) {
  // Closing the last window is the program's decision (WM_CLOSE), not SDL's.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (error != nullptr) *error = SDL_GetError();
    return nullptr;
  }
  return std::unique_ptr<SdlSession>(new SdlSession(DisplayDesktop(), options));
}

SdlSession::SdlSession(const DesktopSettings& desktop, const SessionOptions& options)
    : windows_(desktop), presenter_(backend_, windows_, options.vsync) {
  SetWindowSystem(&windows_);
  windows_.SetEventSource(&backend_);
  SetClipboard(&clipboard_);
  SDL_StartTextInput();
}

SdlSession::~SdlSession() {
  SDL_StopTextInput();
  SetClipboard(nullptr);
  windows_.SetEventSource(nullptr);
  SetWindowSystem(nullptr);
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

}  // namespace plat::sdl2

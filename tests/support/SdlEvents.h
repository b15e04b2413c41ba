// SDL events as the desktop delivers them, made for one window (by SDL's
// window id), for the suites that drive SDL's dummy video driver.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace sdlevents {

inline SDL_Event Key(uint32_t window, bool down, SDL_Scancode scancode, SDL_Keycode sym = SDLK_UNKNOWN,
                     uint16_t mods = KMOD_NONE) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.windowID = window;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.scancode = scancode;
  e.key.keysym.sym = sym;
  e.key.keysym.mod = mods;
  return e;
}

inline SDL_Event Button(uint32_t window, bool down, uint8_t button, int32_t x, int32_t y) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.windowID = window;
  e.button.button = button;
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = x;
  e.button.y = y;
  return e;
}

}  // namespace sdlevents

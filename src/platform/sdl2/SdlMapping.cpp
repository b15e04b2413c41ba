#include "platform/sdl2/SdlMapping.h"

#include <SDL.h>


#include "platform/os/WindowTypes.h"

namespace plat::sdl2 {

namespace {

// Floor division, so points left of or above the shown frame map below 0.
int32_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return static_cast<int32_t>(q);
}

}  // namespace

uint32_t ButtonIndexFromSdl(uint8_t sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT:
      return 0;
    case SDL_BUTTON_RIGHT:
      return 1;
    case SDL_BUTTON_MIDDLE:
      return 2;
    case SDL_BUTTON_X1:
      return 3;
    case SDL_BUTTON_X2:
      return 4;
    default:
      return kNoButton;
  }
}

int32_t WheelDeltaFromSdl(int32_t notches, uint32_t direction) {
  const int32_t delta = notches * WHEEL_DELTA;
  return direction == SDL_MOUSEWHEEL_FLIPPED ? -delta : delta;
}

char16_t ControlCharFromKey(int32_t keycode, uint16_t mods) {
  if ((mods & KMOD_ALT) != 0) return 0;  // Alt combinations are menu keys, not typing
  const bool ctrl = (mods & KMOD_CTRL) != 0;
  switch (keycode) {
    case SDLK_BACKSPACE:
      return ctrl ? 0x7F : 0x08;
    case SDLK_TAB:
      return ctrl ? 0 : 0x09;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return ctrl ? 0x0A : 0x0D;
    case SDLK_ESCAPE:
      return 0x1B;
    default:
      break;
  }
  if (ctrl && keycode >= SDLK_a && keycode <= SDLK_z) return static_cast<char16_t>(keycode - SDLK_a + 1);
  return 0;
}

int32_t SdlSystemCursorFromId(uint32_t cursorId) {
  switch (cursorId) {
    case IDC_ARROW:
      return SDL_SYSTEM_CURSOR_ARROW;
    case IDC_IBEAM:
      return SDL_SYSTEM_CURSOR_IBEAM;
    case IDC_WAIT:
      return SDL_SYSTEM_CURSOR_WAIT;
    case IDC_CROSS:
      return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case IDC_HAND:
      return SDL_SYSTEM_CURSOR_HAND;
    case IDC_APPSTARTING:
      return SDL_SYSTEM_CURSOR_WAITARROW;
    case IDC_HELP:
      return SDL_SYSTEM_CURSOR_ARROW;  // SDL has no question-mark arrow
    default:
      return -1;
  }
}

FitRect FitFrame(int32_t frameWidth, int32_t frameHeight, int32_t outWidth, int32_t outHeight) {
  if (frameWidth <= 0 || frameHeight <= 0 || outWidth <= 0 || outHeight <= 0) {
    return FitRect{0, 0, outWidth > 0 ? outWidth : 0, outHeight > 0 ? outHeight : 0};
  }
  // Compare the aspects by cross products to stay in integers.
  const int64_t wide = static_cast<int64_t>(outWidth) * frameHeight;
  const int64_t tall = static_cast<int64_t>(outHeight) * frameWidth;
  if (wide == tall) return FitRect{0, 0, outWidth, outHeight};
  if (wide > tall) {  // the output is wider: bars left and right
    const int32_t w = static_cast<int32_t>(tall / frameHeight);
    return FitRect{(outWidth - w) / 2, 0, w, outHeight};
  }
  const int32_t h = static_cast<int32_t>(wide / frameWidth);
  return FitRect{0, (outHeight - h) / 2, outWidth, h};
}

void WindowPointToClient(const FitRect& shown, int32_t clientWidth, int32_t clientHeight, int32_t* x, int32_t* y) {
  if (shown.w <= 0 || shown.h <= 0) return;
  *x = FloorDiv(static_cast<int64_t>(*x - shown.x) * clientWidth, shown.w);
  *y = FloorDiv(static_cast<int64_t>(*y - shown.y) * clientHeight, shown.h);
}

FramePace PaceFrame(uint64_t now, uint64_t due, uint64_t period, uint64_t freq) {
  if (freq == 0 || due <= now || due - now > period) return FramePace{0, now + period};
  const uint64_t ticks = due - now;
  return FramePace{static_cast<uint32_t>((ticks * 1000 + freq - 1) / freq), due + period};
}

}  // namespace plat::sdl2

// Small translations between SDL's numbers and the window system's, kept
// apart from the backend so each can be checked on its own: mouse buttons,
// wheel notches, the control characters a key press types, the SDL system
// cursor of a cursor id, where a frame sits in a window of another size, and
// how long a frame waits to keep to the display's rate.
#pragma once

#include <cstdint>

namespace plat::sdl2 {

constexpr uint32_t kNoButton = ~0u;

// Button index of the window system (0 left, 1 right, 2 middle, 3 and 4 the
// side buttons) for an SDL button number; kNoButton for others.
uint32_t ButtonIndexFromSdl(uint8_t sdlButton);

// Wheel turn in WHEEL_DELTA units for SDL's notches (positive away from the
// user), whichever way the system reports them.
int32_t WheelDeltaFromSdl(int32_t notches, uint32_t direction);

// The control character that a key press types besides its key message
// (Backspace 8, Tab 9, Enter 13, Escape 27, Ctrl with a letter 1..26, ...);
// 0 when it types none here (printable text arrives as text input). keycode
// is the SDL key code (layout-dependent), mods SDL's modifier bits.
char16_t ControlCharFromKey(int32_t keycode, uint16_t mods);

// SDL system cursor (an SDL_SystemCursor value) for an IDC_* id; -1 for ids
// without one.
int32_t SdlSystemCursorFromId(uint32_t cursorId);

// The rectangle a frame of one size takes when shown in an output of another:
// scaled to fit with its aspect kept and centred (bars on two sides); the
// whole output when sizes match or one of them is empty.
struct FitRect {
  int32_t x, y, w, h;
};
FitRect FitFrame(int32_t frameWidth, int32_t frameHeight, int32_t outWidth, int32_t outHeight);

// Position in a client area of clientWidth x clientHeight for a point of a
// window whose frame is shown in `shown` (window coordinates); points in the
// bars lie outside the client area.
void WindowPointToClient(const FitRect& shown, int32_t clientWidth, int32_t clientHeight, int32_t* x, int32_t* y);

// One frame's wait when frames keep to a rate on their own: `now` and
// `due` (when the frame may show) in counter ticks, `period` ticks a frame,
// `freq` ticks a second. A frame on time waits whole milliseconds up to its
// due time, never less (a wait cut short lets the next frame find itself
// more than a period early and show at once: twice the rate); the frame
// after it is due a period after this one's due time, so the rate holds on
// average. A frame late (or the first) waits nothing and starts the count
// afresh from now.
struct FramePace {
  uint32_t waitMs;
  uint64_t nextDue;
};
FramePace PaceFrame(uint64_t now, uint64_t due, uint64_t period, uint64_t freq);

}  // namespace plat::sdl2

// CursorIds - the ids of the game's cursor set, shared by the window
// toolkit's controls and the level's map objects.
#pragma once

#include "base/Types.h"

constexpr u32 kCursorArrow = 256;
constexpr u32 kCursorHand = 257;
constexpr u32 kCursorGrayArrow = 258;
constexpr u32 kCursorIBeam = 259;
constexpr u32 kCursorPan = 260;
constexpr u32 kCursorPanOn = 261;
constexpr u32 kCursorDelete = 61441;
constexpr u32 kCursorNone = 0x80000000u;  // the control sets no cursor

// AppServices - the game's small services round its screen and window:
// window positions turned into game coordinates, the mouse in game
// coordinates, a frame prepared for the game area, and the game window
// asked to close. They read the game area from the game services
// (ResourceServices::screen: its rectangle in window pixels, the scale).
#pragma once

#include "base/Types.h"
#include "engine/DXLMouse.h"

// Window coordinates less the game area's margins; divided by the scale
// (nearest, halves up) when scaling is on.
DXLPOINT WindowToGame(i32 x, i32 y);
// The input's mouse position through WindowToGame.
DXLPOINT GetGameMousePos();
// Clears the back buffer to opaque black and sets the 2-D transform to the
// game area: translated by its margins, scaled when scaling is on. Without
// `clear` the back buffer is left as it is, for a screen that clears what
// it does not cover itself.
void BeginGameFrame(bool clear = true);
// Asks the game window to close (WM_CLOSE): the message loop then ends.
void CloseGameWindow();

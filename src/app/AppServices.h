// AppServices - the game's small services round its screen and window:
// window positions turned into game coordinates, the mouse in game
// coordinates, a frame prepared for the game area, and the game window
// asked to close. They read the game area from the resource services
// (ResourceServices::screen: its rectangle in window pixels, the scale).
//
// Beside them the application's own game-wide values (AppServices): the
// running game, the level-selection map, a recording and a replay, each
// filled by whoever makes it and put back when it goes, and the frame time
// the recording last took.
#pragma once

#include <optional>

#include "base/Types.h"
#include "engine/DXLMouse.h"

class Game;
class LevelSelectMap;
class ReplayRun;

struct AppServices {
  // The game the frame's callbacks reach while it is set up: installed by
  // its runner (RunGame, a test's running game) around its life.
  Game* game = nullptr;
  // The level-selection map, which the effects' and windows' plain
  // callbacks and the map's tutorials reach: installed by the game that
  // makes it (a test installs its own).
  LevelSelectMap* levelSelectMap = nullptr;
  // A person's input written to a recording while the game hears it, and
  // the replay or recording told of a level won: installed by RunGame.
  ReplayRun* recording = nullptr;
  ReplayRun* replay = nullptr;
  // The game closed its own window (its quit), as against the window closed
  // from outside: where a replay or a recording ended.
  bool gameClosedWindow = false;
  // The frame timer's reading at the last frame drawn while recording:
  // unset until the first such frame, which counts as taking no time.
  std::optional<u32> lastRecordedFrame;
};

// The one set of the application's values (all null until installed).
AppServices& GetAppServices();

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

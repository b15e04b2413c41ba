// GameCursors - the game's seven cursor files in the folder "Cursors" of
// the data folder, loaded into the engine's cursor slots as texture cursors
// with the hotspot each file holds: 256 "arrow.cur", 257 "hand.cur", 258
// "arrow_gray.cur" (while a loading state runs), 259 "ibeam.cur", 260
// "pan.cur", 261 "pan_on.cur", 61441 "delete.cur". A file that does not
// load leaves its slot with no cursor; it never fails the start-up. The
// arrow becomes the default cursor.
#pragma once

#include "base/Types.h"

class DXLTextures;

struct GAMECURSORFILE {
  u32 slot;
  const wchar* file;  // in the folder "Cursors"
};

constexpr u32 kGameCursorCount = 7;
extern const GAMECURSORFILE kGameCursorFiles[kGameCursorCount];

// Loads the cursor pictures into `textures` (which owns them) and adds a
// cursor record for each that loaded; returns how many did.
u32 LoadGameCursorFiles(const wchar* dataFolder, DXLTextures* textures);

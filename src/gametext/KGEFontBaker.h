// KGEBakeBitmapFont - turns a system font (KGEWinFont) into the files of a
// bitmap font: its glyph texture as an uncompressed 32-bit Targa picture and
// a description (UTF-8 text tree, node "glyphs") with explicit cells, the
// characters, metrics, advances, offsets, kerning and style. Loaded back with
// KGELoadBitmapFontFile the bitmap font measures and draws as the system
// font did. This is how the game's own sample fonts are made: only bitmap
// fonts can be cached in a language file.
//
// The font must be in use (its texture drawn). A font whose line height is not
// its cell height (a drop shadow makes them differ) cannot be described, since
// the description gives both with one key: KGE_E_FAIL.
#pragma once

#include <string>

#include "base/Types.h"

class KGEWinFont;

// `pictureName` is written into the description as the picture's file name
// (resolved against the description's folder when loaded).
i32 KGEBakeBitmapFont(const KGEWinFont* font, const std::string& picturePath, const std::string& descriptionPath,
                      const std::string& pictureName);

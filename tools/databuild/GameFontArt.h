// The game fonts 5 to 9 of the data set: five system fonts baked into
// bitmap fonts (as the language's fonts are), each glyph picture an image
// of sprite set 1 ("game_font_5" .. "game_font_9", sized by the bake), and
// the "FONT" section that holds the fonts and names those pictures.
#pragma once

#include <vector>

#include "base/Types.h"

class ArtBook;
class DataSetBuild;
struct ContentSourceTables;

// Bakes the fonts and asks the catalogue for their pictures (false,
// printed, when a font does not bake).
bool BakeGameFonts(DataSetBuild& build, ContentSourceTables& tables);
// The section's body (empty before BakeGameFonts).
std::vector<u8> GameFontSection();

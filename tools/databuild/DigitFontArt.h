// The digit fonts of the data set: the strips of digits the game's numbers
// are drawn with (the money counter's font 1, the price buttons' font 3),
// drawn with cairo into one picture of sprite set 1 ("digit_fonts", a row
// of cells per font), and the "FGID" section that describes them: each
// font's glyph widths and the row its cells lie in. The table in
// DigitFontArt.cpp is both the drawing's layout and the section's records.
#pragma once

#include <vector>

#include "base/Types.h"

class DataSetBuild;
struct ContentSourceTables;

constexpr u32 kMoneyDigitFont = 1;
constexpr u32 kPriceDigitFont = 3;

// The picture the fonts need, asked of the catalogue (false, printed, on a
// clash with the manifest's size).
bool RequireDigitFontPicture(DataSetBuild& build, ContentSourceTables& tables);
// The section's body.
std::vector<u8> DigitFontSection();

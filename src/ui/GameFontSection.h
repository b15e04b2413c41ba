// The game fonts 5 to 9 of the data archive ("Data.dat", section "FONT",
// sub-id 1): a u32 count, which must be 5, then five fonts. Each font is the
// signature pair of its kind, then for a bitmap font the 76-byte texture
// header naming its picture among the textures of sprite set 1, then the
// font's own record as its writer puts it (which repeats the signature).
// Font i becomes game font 5 + i.
//
// LoadGameFonts is a resumable section reader like LoadDigitFonts: each call
// reads fonts until the progress hook asks for the frame back (0) or the
// section ends (1, the cursor's error flag telling failure). A missing
// section, a count other than 5, an unknown signature, a texture header that
// does not read or names no picture, a font record that does not read, bytes
// left after the last font or a failed close set the error flag. Fonts read
// before a failure stay in the table. The fonts are not acquired here: the
// start-up loads their pictures first.
#pragma once

#include <vector>

#include "base/Types.h"
#include "content/ContentArchive.h"
#include "resources/ResourceServices.h"

class KGEFont;

namespace kis {
class BaseDataFileReader;
class BaseDataFileWriter;
}  // namespace kis

constexpr u32 kGameFontSectionId = SectionTag('F', 'O', 'N', 'T');
constexpr u32 kGameFontSectionSubId = 1;
constexpr u32 kGameFontSpriteSet = 1;  // the set whose textures the bitmap fonts show

// Reads the section into ResourceServices::fonts (a font already in a slot read
// again is deleted first).
i32 LoadGameFonts(kis::BaseDataFileReader* reader, SectionCursor* cursor);

// Deletes the game fonts and empties their slots.
void FreeGameFonts();

// One font of the section: a bitmap font names its picture (the texture's
// name in sprite set 1); a system font names none.
struct GameFontEntry {
  KGEFont* font;
  const wchar* picture;
};

// Writes the section's body (count, then every font) at the writer's open
// section; false when a write fails or a bitmap font has no picture name.
bool WriteGameFontSection(kis::BaseDataFileWriter* writer, const std::vector<GameFontEntry>& fonts);

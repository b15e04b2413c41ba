// The digit fonts of the data archive ("Data.dat", section "FGID", sub-id
// 2): a u32 count, then that many digit-font entries (DigitalFont's own
// format), each naming its picture among the textures of sprite set 1.
//
// LoadDigitFonts is a resumable section reader: each call reads fonts until
// the progress hook asks for the frame back (0) or the section ends (1, the
// cursor's error flag telling failure). Every font read is handed to the
// window manager at once, so fonts read before a failure stay there; a font
// that does not read is deleted. A missing section, a short count, a broken
// entry, bytes left after the last entry or a failed close set the error
// flag. The fonts' textures are not loaded here: the start-up loads them and
// rebuilds the fonts' modes once the pictures are there.
#pragma once

#include <vector>

#include "base/Types.h"
#include "content/ContentArchive.h"
#include "resources/ResourceServices.h"

class DigitalFont;
class WindowManager;

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kDigitFontSectionId = SectionTag('F', 'G', 'I', 'D');
constexpr u32 kDigitFontSectionSubId = 2;
constexpr u32 kDigitFontSpriteSet = 1;  // the set whose textures the fonts show

// Reads the section into `manager`'s digit fonts; a null manager fails it.
i32 LoadDigitFonts(kis::BaseDataFileReader* reader, SectionCursor* cursor, WindowManager* manager);

// The section's body as LoadDigitFonts reads it: the count, then every
// font's entry.
std::vector<u8> DigitFontSectionBody(const std::vector<const DigitalFont*>& fonts);

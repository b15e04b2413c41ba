// The fonts shipped with the tests (tests/data/fonts) and their own metric
// tables read straight through FreeType: an oracle that does not go through
// the platform's font code.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <string>

namespace testsupport {

inline std::string FontDir() { return std::string(TM_TEST_DATA_DIR) + "/fonts"; }

struct FontTables {
  long unitsPerEm = 0;  // 'head'
  long winAscent = 0;   // 'OS/2'
  long winDescent = 0;
};

// The tables of a font file in FontDir(); zeros when it cannot be read.
inline FontTables ReadFontTables(const std::string& file) {
  FontTables t;
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) != 0) return t;
  FT_Face face = nullptr;
  if (FT_New_Face(lib, (FontDir() + "/" + file).c_str(), 0, &face) == 0) {
    const auto* head = static_cast<const TT_Header*>(FT_Get_Sfnt_Table(face, FT_SFNT_HEAD));
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (head && os2) {
      t.unitsPerEm = head->Units_Per_EM;
      t.winAscent = os2->usWinAscent;
      t.winDescent = os2->usWinDescent;
    }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(lib);
  return t;
}

}  // namespace testsupport

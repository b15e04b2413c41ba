// Shared set-up of the font tests: a resolver that sees only the fonts shipped
// in tests/data/fonts, so the machine's fonts and settings cannot change
// results.
#pragma once

#include <string>

#include "platform/encoding/Utf.h"
#include "platform/font/Font.h"
#include "platform/font/FontResolver.h"
#include "testsupport/FontTables.h"

namespace fonttest {

using testsupport::FontDir;

inline plat::FontResolver TestResolver() {
  plat::FontResolver r;
  r.SetFolder(plat::Utf8ToUtf16(FontDir()));
  r.SetUseSystemFonts(false);
  return r;
}

inline plat::FontRequest Request(const char16_t* face, int height, int weight = 0, bool italic = false,
                           uint8_t quality = 0) {
  plat::FontRequest s;
  s.face = face;
  s.height = height;
  s.weight = weight;
  s.italic = italic;
  s.quality = quality;
  return s;
}

// Bounding box of every pixel whose alpha is not 0; false when there is none.
inline bool InkBounds(const plat::FontCanvas& canvas, plat::FontRect& box) {
  box = {canvas.Width(), canvas.Height(), -1, -1};
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      if ((canvas.Pixel(x, y) >> 24) != 0) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
    }
  }
  return box.right > box.left;
}

}  // namespace fonttest

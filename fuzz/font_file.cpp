// Font files from arbitrary bytes: the first byte picks the size and style,
// the rest is the font. A font that loads is measured, kerned and drawn; the
// bytes are also read as a bare 'kern' table. Nothing may crash, hang or grow
// without bound.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/font/Font.h"
#include "platform/font/FontKernTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) {
    return 0;
  }
  plat::FontKernTable kern;
  kern.Parse(data + 1, size - 1);

  const uint8_t style = data[0];
  plat::FontRequest request;
  request.height = (style & 0x80) != 0 ? 4 + (style & 0x1F) : -(1 + (style & 0x1F));
  request.weight = (style & 0x20) != 0 ? 700 : 400;
  request.italic = (style & 0x40) != 0;
  request.underline = (style & 0x21) == 0x21;
  request.strikeOut = (style & 0x41) == 0x41;
  request.quality = (style & 0x02) != 0 ? plat::kFontQualityNonAntialiased : 4;

  plat::Font font;
  if (!font.CreateFromMemory(data + 1, size - 1, request)) {
    return 0;
  }
  plat::FontMetrics metrics;
  font.GetMetrics(metrics);
  plat::FontCanvas canvas;
  if (!canvas.Create(96, 64)) {
    return 0;
  }
  const plat::FontRect clip{2, 2, 90, 60};
  int pen = 0;
  for (char16_t c : {u'A', u'V', u'g', u' ', u'\u00C5', u'\u4E00', u'\uFFFF', u'\0'}) {
    plat::GlyphBox box;
    plat::AbcWidth abc;
    int width = 0;
    font.GetGlyphBox(c, box);
    font.GetAbcWidths(c, abc);
    font.GetCharWidth(c, width);
    font.DrawChar(canvas, pen % 80, 4, (c & 1) != 0 ? &clip : nullptr, c, 0xFFFFFF, 0, (c & 2) != 0);
    pen += width;
  }
  int w = 0, h = 0;
  font.GetTextExtent(u"AVAg", w, h);
  std::vector<plat::KernPair> pairs;
  font.GetKerningPairs(pairs);
  return 0;
}

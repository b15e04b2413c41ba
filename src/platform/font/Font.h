// A scalable font sized and styled like a Windows logical font, measured and
// drawn one UTF-16 code unit at a time: the slice of the Windows text services
// that the game's font builders use (creating a font at 96 dpi, its line
// metrics, whole-pixel advance and ABC widths, glyph ink boxes, kerning pairs,
// and drawing one character with the top of its cell at a point).
//
// Size: `height` < 0 is the em height in pixels, > 0 the cell height (ascent
// plus descent) in pixels, 0 a default em height of 12 pixels; the em height
// must come out between 1 and kMaxEmHeight. Line metrics follow the Windows
// formulas for TrueType fonts, from the OS/2 table (the hhea table when there
// is none), with s = em height / units per em and round() halves away from 0:
//     em height (height > 0) = round(height * unitsPerEm / (usWinAscent + usWinDescent))
//     ascent  = round(usWinAscent * s)
//     descent = round(usWinDescent * s)
//     height  = ascent + descent,  internal leading = height - em height
// (the VDMX table that Windows consults where a font has one is not read).
//
// Characters without a glyph take the font's missing-glyph shape. Quality 3
// (non-antialiased) renders and measures monochrome glyphs; every other value
// 8-bit grey coverage. Measuring and drawing load glyphs the same way, so a
// drawn glyph's ink is exactly the box that GlyphBox reports.
//
// Every operation on a font that was never created, or whose creation failed,
// fails cleanly: it returns false (or zero) and writes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/font/FontCanvas.h"

namespace plat {

class FontFreeType;
class FontResolver;

constexpr int kFontLogPixelsY = 96;  // the display's dots per inch, as the game reads it
constexpr uint8_t kFontQualityNonAntialiased = 3;

// The logical height of a font of `points` points at 96 dpi: -points * 96 / 72,
// rounded (a negative height asks for the em height).
int FontHeightFromPoints(int points);

struct FontRequest {
  std::u16string face;  // family name as the game spells it ("Arial")
  int height = 0;       // see the banner
  int weight = 0;       // 0 = normal (400), else 1..1000; 600 and above is bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  uint8_t quality = 0;  // 3: monochrome; anything else: grey
};

struct FontMetrics {
  int height = 0;
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;
  int emHeight = 0;
};

// Ink box of a glyph (the Windows glyph metrics). A glyph without ink has a
// 1 x 1 box at the pen.
struct GlyphBox {
  int blackBoxX = 0;  // ink width
  int blackBoxY = 0;  // ink height
  int originX = 0;    // ink's left edge, right of the pen
  int originY = 0;    // ink's top edge, above the base line
  int advance = 0;
};

// a + b + c is the advance; b is the ink width.
struct AbcWidth {
  int a = 0;
  int b = 0;
  int c = 0;
};

struct KernPair {
  char16_t first = 0;
  char16_t second = 0;
  int amount = 0;  // pixels added to the advance of `first` when `second` follows
};

class Font {
 public:
  static constexpr int kMaxEmHeight = 1024;
  static constexpr size_t kMaxKernPairs = 1 << 20;

  Font();
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // Finds the face through `resolver` (DefaultFontResolver() without one).
  bool Create(const FontRequest& request);
  bool Create(const FontRequest& request, const FontResolver& resolver);
  // A font from the bytes of a font file (copied); the request's face is ignored.
  bool CreateFromMemory(const uint8_t* data, size_t size, const FontRequest& request);
  void Destroy();

  bool IsValid() const { return ready_; }

  bool GetMetrics(FontMetrics& out) const;
  bool GetCharWidth(char16_t c, int& width);
  bool GetAbcWidths(char16_t c, AbcWidth& out);
  bool GetGlyphBox(char16_t c, GlyphBox& out);
  // Sum of the advances (no kerning) and the line height.
  bool GetTextExtent(std::u16string_view text, int& width, int& height);
  // Pairs of code units of the legacy 'kern' table, amounts in pixels
  // (rounded, zero amounts kept), sorted by first then second; at most
  // kMaxKernPairs. A font without that table has none (true, empty).
  bool GetKerningPairs(std::vector<KernPair>& out);

  // Draws `c` with the top of its cell at `yTop` and its pen at `x`: each
  // pixel moves from its colour towards `inkRgb` (0xRRGGBB, the canvas's
  // layout) by the glyph's coverage, and its alpha byte gains the coverage
  // (a + (255 - a) * coverage / 255). With `fillBack` the clip rectangle, or
  // the character cell when there is none, is first filled with `backRgb` and
  // alpha 0. Nothing is drawn outside `clip` (null: the canvas). Underline and
  // strike-out are drawn across the advance.
  bool DrawChar(FontCanvas& canvas, int x, int yTop, const FontRect* clip, char16_t c, uint32_t inkRgb,
                uint32_t backRgb = 0, bool fillBack = false);

  // What creation found: the file ("" from memory), its family, and which of
  // bold and italic are synthesised because the face lacks them.
  const std::string& FilePath() const { return path_; }
  std::string Family() const;
  bool SynthesisedBold() const { return boldStrength_ != 0; }
  bool SynthesisedItalic() const { return synthItalic_; }
  bool Monochrome() const { return mono_; }

 private:
  struct Glyph {
    int advance = 0;
    int left = 0;  // ink box relative to the pen and base line (top is up)
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<uint8_t> coverage;  // width * rows, 0..255
  };

  bool Setup(const FontRequest& request);
  const Glyph* Load(char16_t c);

  std::unique_ptr<FontFreeType> ft_;
  bool ready_ = false;
  std::string path_;
  FontMetrics metrics_;
  bool mono_ = false;
  bool synthItalic_ = false;
  int boldStrength_ = 0;  // extra pixels of stroke width when bold is synthesised
  bool underline_ = false;
  bool strikeOut_ = false;
  int underlineTop_ = 0;  // rows below the base line (negative: above)
  int underlineSize_ = 0;
  int strikeTop_ = 0;
  int strikeSize_ = 0;
  std::unordered_map<char16_t, Glyph> glyphs_;
  size_t cachedBytes_ = 0;
};

}  // namespace plat

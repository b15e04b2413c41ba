#include "platform/font/Font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>
#include <climits>

#include "platform/font/FontFreeType.h"
#include "platform/font/FontKernTable.h"
#include "platform/font/FontResolver.h"

namespace plat {

namespace {

constexpr int kDefaultEmHeight = 12;
// The glyph cache is dropped whole when it grows past this.
constexpr size_t kMaxCachedBytes = 32 * 1024 * 1024;
// A glyph whose ink would be larger than this on either side is refused.
constexpr int64_t kMaxGlyphSide = 4 * Font::kMaxEmHeight;
constexpr FT_ULong kMaxKernTable = 16 * 1024 * 1024;
// Slant of a synthesised italic: tan(12 degrees) in 16.16.
constexpr FT_Fixed kObliqueShear = 0x0366A;

// round(value * mul / div) with halves away from zero, as the Windows MulDiv.
int64_t MulDivRound(int64_t value, int64_t mul, int64_t div) {
  const int64_t product = value * mul;
  const bool negative = (product < 0) != (div < 0);
  const int64_t a = product < 0 ? -product : product;
  const int64_t b = div < 0 ? -div : div;
  const int64_t q = (a + b / 2) / b;
  return negative ? -q : q;
}

int ClampInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

// dst moved towards src by coverage/255, rounded.
uint32_t Lerp(uint32_t dst, uint32_t src, uint32_t coverage) {
  const int t = (static_cast<int>(src) - static_cast<int>(dst)) * static_cast<int>(coverage);
  return static_cast<uint32_t>(static_cast<int>(dst) + (t >= 0 ? (t + 127) / 255 : -((-t + 127) / 255)));
}

uint32_t Blend(uint32_t pixel, uint32_t inkRgb, uint32_t coverage) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    out |= Lerp((pixel >> shift) & 0xFF, (inkRgb >> shift) & 0xFF, coverage) << shift;
  }
  return out | Lerp(pixel >> 24, 255, coverage) << 24;
}

}  // namespace

int FontHeightFromPoints(int points) { return ClampInt(-MulDivRound(points, kFontLogPixelsY, 72)); }

Font::Font() = default;
Font::~Font() = default;

void Font::Destroy() {
  ft_.reset();
  ready_ = false;
  path_.clear();
  metrics_ = FontMetrics();
  mono_ = false;
  synthItalic_ = false;
  boldStrength_ = 0;
  underline_ = false;
  strikeOut_ = false;
  glyphs_.clear();
  cachedBytes_ = 0;
}

bool Font::Create(const FontRequest& request) { return Create(request, DefaultFontResolver()); }

bool Font::Create(const FontRequest& request, const FontResolver& resolver) {
  Destroy();
  FontFileChoice choice;
  const int weight = std::clamp(request.weight, 0, 1000);
  if (!resolver.Resolve(request.face, weight, request.italic, choice)) {
    return false;
  }
  ft_ = std::make_unique<FontFreeType>();
  if (!ft_->OpenFile(choice.path, choice.faceIndex) || !Setup(request)) {
    Destroy();
    return false;
  }
  path_ = choice.path;
  return true;
}

bool Font::CreateFromMemory(const uint8_t* data, size_t size, const FontRequest& request) {
  Destroy();
  ft_ = std::make_unique<FontFreeType>();
  if (!ft_->OpenMemory(data, size, 0) || !Setup(request)) {
    Destroy();
    return false;
  }
  return true;
}

bool Font::Setup(const FontRequest& request) {
  FT_Face face = ft_->Face();
  const int64_t unitsPerEm = face->units_per_EM;
  if (unitsPerEm <= 0) {
    return false;
  }

  // The design-unit ascent and descent that Windows sizes a font by.
  int64_t ascender = 0;
  int64_t descender = 0;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const bool haveOs2 = os2 != nullptr && os2->version != 0xFFFF;
  if (haveOs2) {
    ascender = os2->usWinAscent;
    descender = os2->usWinDescent;
  }
  if (ascender + descender <= 0) {
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    ascender = std::max<int64_t>(0, hhea != nullptr ? hhea->Ascender : face->ascender);
    descender = std::max<int64_t>(0, hhea != nullptr ? -hhea->Descender : -face->descender);
  }
  if (ascender + descender <= 0) {
    ascender = unitsPerEm * 4 / 5;
    descender = unitsPerEm - ascender;
  }

  int64_t em = kDefaultEmHeight;
  if (request.height < 0) {
    em = -static_cast<int64_t>(request.height);
  } else if (request.height > 0) {
    em = std::max<int64_t>(1, MulDivRound(request.height, unitsPerEm, ascender + descender));
  }
  if (em < 1 || em > kMaxEmHeight) {
    return false;
  }
  if (FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(em), static_cast<FT_UInt>(em)) != 0) {
    return false;
  }

  metrics_.emHeight = static_cast<int>(em);
  metrics_.ascent = ClampInt(MulDivRound(ascender, em, unitsPerEm));
  metrics_.descent = ClampInt(MulDivRound(descender, em, unitsPerEm));
  metrics_.height = metrics_.ascent + metrics_.descent;
  metrics_.internalLeading = metrics_.height - metrics_.emHeight;

  mono_ = request.quality == kFontQualityNonAntialiased;
  const int weight = request.weight <= 0 ? 400 : std::min(request.weight, 1000);
  if (weight >= 600 && ft_->Weight() < 600) {
    boldStrength_ = static_cast<int>(std::max<int64_t>(1, (em + 12) / 24));
  }
  synthItalic_ = request.italic && !ft_->Italic();

  // Underline and strike-out strokes, in rows relative to the base line.
  underline_ = request.underline;
  strikeOut_ = request.strikeOut;
  underlineSize_ = ClampInt(std::max<int64_t>(1, MulDivRound(face->underline_thickness, em, unitsPerEm)));
  underlineTop_ = ClampInt(MulDivRound(-face->underline_position, em, unitsPerEm)) - underlineSize_ / 2;
  if (haveOs2 && os2->yStrikeoutSize > 0) {
    strikeSize_ = ClampInt(std::max<int64_t>(1, MulDivRound(os2->yStrikeoutSize, em, unitsPerEm)));
    strikeTop_ = ClampInt(-MulDivRound(os2->yStrikeoutPosition, em, unitsPerEm));
  } else {
    strikeSize_ = underlineSize_;
    strikeTop_ = -static_cast<int>(MulDivRound(em, 3, 10)) - strikeSize_ / 2;
  }

  ready_ = true;
  return true;
}

std::string Font::Family() const { return ready_ ? ft_->Family() : std::string(); }

const Font::Glyph* Font::Load(char16_t c) {
  if (!ready_) {
    return nullptr;
  }
  auto found = glyphs_.find(c);
  if (found != glyphs_.end()) {
    return &found->second;
  }

  FT_Face face = ft_->Face();
  const FT_Int32 flags = FT_LOAD_NO_BITMAP | (mono_ ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
  FT_UInt index = FT_Get_Char_Index(face, c);
  if (FT_Load_Glyph(face, index, flags) != 0 && (index == 0 || FT_Load_Glyph(face, 0, flags) != 0)) {
    return nullptr;
  }
  FT_GlyphSlot slot = face->glyph;
  FT_Pos advance = slot->advance.x;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (boldStrength_ > 0) {
      // Widen the strokes by whole pixels, keeping the left edge where it was.
      const FT_Pos strength = static_cast<FT_Pos>(boldStrength_) * 64;
      FT_Outline_EmboldenXY(&slot->outline, strength, 0);
      FT_Outline_Translate(&slot->outline, strength / 2, 0);
      advance += strength;
    }
    if (synthItalic_) {
      FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
      FT_Outline_Transform(&slot->outline, &shear);
    }
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    if ((static_cast<int64_t>(box.xMax) - box.xMin) / 64 > kMaxGlyphSide ||
        (static_cast<int64_t>(box.yMax) - box.yMin) / 64 > kMaxGlyphSide) {
      return nullptr;
    }
  }
  if (FT_Render_Glyph(slot, mono_ ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) {
    return nullptr;
  }

  const FT_Bitmap& bitmap = slot->bitmap;
  const int width = static_cast<int>(bitmap.width);
  const int rows = static_cast<int>(bitmap.rows);
  if (width > kMaxGlyphSide || rows > kMaxGlyphSide) {
    return nullptr;
  }
  const bool monoBits = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
  if (width > 0 && rows > 0 && !monoBits && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) {
    return nullptr;
  }
  const int grays = bitmap.num_grays > 1 ? bitmap.num_grays : 256;
  auto coverageAt = [&](int x, int y) -> uint8_t {
    const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
    if (monoBits) {
      return (row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0;
    }
    return static_cast<uint8_t>(std::min(255, row[x] * 255 / (grays - 1)));
  };

  // The ink box is the bitmap cut to the rows and columns that have ink.
  int x0 = width, x1 = -1, y0 = rows, y1 = -1;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < width; ++x) {
      if (coverageAt(x, y) != 0) {
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
      }
    }
  }
  Glyph glyph;
  glyph.advance = ClampInt(std::max<FT_Pos>(0, (advance + 32) >> 6));
  if (x1 >= x0) {
    glyph.left = slot->bitmap_left + x0;
    glyph.top = slot->bitmap_top - y0;
    glyph.width = x1 - x0 + 1;
    glyph.rows = y1 - y0 + 1;
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.rows));
    for (int y = 0; y < glyph.rows; ++y) {
      for (int x = 0; x < glyph.width; ++x) {
        glyph.coverage[static_cast<size_t>(y) * glyph.width + x] = coverageAt(x0 + x, y0 + y);
      }
    }
  }

  const size_t bytes = glyph.coverage.size() + sizeof(Glyph) + 32;
  if (cachedBytes_ + bytes > kMaxCachedBytes) {
    glyphs_.clear();
    cachedBytes_ = 0;
  }
  cachedBytes_ += bytes;
  return &glyphs_.emplace(c, std::move(glyph)).first->second;
}

bool Font::GetMetrics(FontMetrics& out) const {
  if (!ready_) {
    return false;
  }
  out = metrics_;
  return true;
}

bool Font::GetCharWidth(char16_t c, int& width) {
  const Glyph* g = Load(c);
  if (g == nullptr) {
    return false;
  }
  width = g->advance;
  return true;
}

bool Font::GetGlyphBox(char16_t c, GlyphBox& out) {
  const Glyph* g = Load(c);
  if (g == nullptr) {
    return false;
  }
  out.advance = g->advance;
  if (g->coverage.empty()) {
    out.blackBoxX = 1;
    out.blackBoxY = 1;
    out.originX = 0;
    out.originY = 0;
  } else {
    out.blackBoxX = g->width;
    out.blackBoxY = g->rows;
    out.originX = g->left;
    out.originY = g->top;
  }
  return true;
}

bool Font::GetAbcWidths(char16_t c, AbcWidth& out) {
  GlyphBox box;
  if (!GetGlyphBox(c, box)) {
    return false;
  }
  out.a = box.originX;
  out.b = box.blackBoxX;
  out.c = box.advance - box.originX - box.blackBoxX;
  return true;
}

bool Font::GetTextExtent(std::u16string_view text, int& width, int& height) {
  if (!ready_) {
    return false;
  }
  int64_t sum = 0;
  for (char16_t c : text) {
    const Glyph* g = Load(c);
    if (g != nullptr) {
      sum = std::min<int64_t>(sum + g->advance, INT_MAX);
    }
  }
  width = static_cast<int>(sum);
  height = metrics_.height;
  return true;
}

bool Font::GetKerningPairs(std::vector<KernPair>& out) {
  if (!ready_) {
    return false;
  }
  out.clear();
  FT_Face face = ft_->Face();
  FT_ULong length = 0;
  if (!FT_IS_SFNT(face) || FT_Load_Sfnt_Table(face, TTAG_kern, 0, nullptr, &length) != 0 || length == 0 ||
      length > kMaxKernTable) {
    return true;
  }
  std::vector<uint8_t> table(length);
  if (FT_Load_Sfnt_Table(face, TTAG_kern, 0, table.data(), &length) != 0) {
    return true;
  }
  FontKernTable kern;
  if (!kern.Parse(table.data(), table.size()) || kern.Pairs().empty()) {
    return true;
  }

  // The code units of each kerned glyph, from the font's character map.
  std::vector<bool> kerned(65536, false);
  for (const FontKernTable::Pair& p : kern.Pairs()) {
    kerned[p.left] = true;
    kerned[p.right] = true;
  }
  std::unordered_map<uint16_t, std::vector<char16_t>> codes;
  FT_UInt glyph = 0;
  for (FT_ULong code = FT_Get_First_Char(face, &glyph); glyph != 0 && code <= 0xFFFF;
       code = FT_Get_Next_Char(face, code, &glyph)) {
    if (glyph < kerned.size() && kerned[glyph]) {
      codes[static_cast<uint16_t>(glyph)].push_back(static_cast<char16_t>(code));
    }
  }

  const int64_t em = metrics_.emHeight;
  const int64_t unitsPerEm = face->units_per_EM;
  for (const FontKernTable::Pair& p : kern.Pairs()) {
    const auto left = codes.find(p.left);
    const auto right = codes.find(p.right);
    if (left == codes.end() || right == codes.end()) {
      continue;
    }
    const int amount = ClampInt(MulDivRound(p.value, em, unitsPerEm));
    for (char16_t first : left->second) {
      for (char16_t second : right->second) {
        if (out.size() >= kMaxKernPairs) {
          break;
        }
        out.push_back({first, second, amount});
      }
    }
  }
  std::sort(out.begin(), out.end(), [](const KernPair& a, const KernPair& b) {
    return a.first != b.first ? a.first < b.first : a.second < b.second;
  });
  return true;
}

bool Font::DrawChar(FontCanvas& canvas, int x, int yTop, const FontRect* clip, char16_t c, uint32_t inkRgb,
                    uint32_t backRgb, bool fillBack) {
  const Glyph* g = Load(c);
  if (g == nullptr) {
    return false;
  }
  FontRect bounds = clip != nullptr ? *clip : FontRect{0, 0, canvas.Width(), canvas.Height()};
  if (!canvas.Clip(bounds)) {
    return true;
  }
  inkRgb &= 0xFFFFFF;
  const int64_t baseline = static_cast<int64_t>(yTop) + metrics_.ascent;
  if (fillBack) {
    FontRect cell = clip != nullptr
                        ? bounds
                        : FontRect{x, yTop, ClampInt(static_cast<int64_t>(x) + g->advance),
                                   ClampInt(static_cast<int64_t>(yTop) + metrics_.height)};
    cell.left = std::max(cell.left, bounds.left);
    cell.top = std::max(cell.top, bounds.top);
    cell.right = std::min(cell.right, bounds.right);
    cell.bottom = std::min(cell.bottom, bounds.bottom);
    canvas.Fill(cell, backRgb & 0xFFFFFF);
  }

  const int64_t left = static_cast<int64_t>(x) + g->left;
  const int64_t top = baseline - g->top;
  for (int row = 0; row < g->rows; ++row) {
    const int64_t py = top + row;
    if (py < bounds.top || py >= bounds.bottom) {
      continue;
    }
    uint32_t* out = canvas.Row(static_cast<int>(py));
    for (int col = 0; col < g->width; ++col) {
      const int64_t px = left + col;
      const uint8_t v = g->coverage[static_cast<size_t>(row) * g->width + col];
      if (v != 0 && px >= bounds.left && px < bounds.right) {
        out[px] = Blend(out[px], inkRgb, v);
      }
    }
  }

  // Strokes across the advance, as the text services draw them.
  auto stroke = [&](int offset, int size) {
    const int64_t y0 = std::max<int64_t>(baseline + offset, bounds.top);
    const int64_t y1 = std::min<int64_t>(baseline + offset + size, bounds.bottom);
    const int64_t x0 = std::max<int64_t>(x, bounds.left);
    const int64_t x1 = std::min<int64_t>(static_cast<int64_t>(x) + g->advance, bounds.right);
    for (int64_t py = y0; py < y1; ++py) {
      uint32_t* out = canvas.Row(static_cast<int>(py));
      for (int64_t px = x0; px < x1; ++px) {
        out[px] = Blend(out[px], inkRgb, 255);
      }
    }
  };
  if (underline_) {
    stroke(underlineTop_, underlineSize_);
  }
  if (strikeOut_) {
    stroke(strikeTop_, strikeSize_);
  }
  return true;
}

}  // namespace plat

#include "DigitFontArt.h"

#include <cmath>
#include <memory>
#include <string>

#include "ArtBook.h"
#include "ArtKit.h"
#include "ContentSources.h"
#include "DataSetBuild.h"
#include "SkinPictures.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/text/DigitalFont.h"
#include "ui/DigitFontSection.h"

namespace {

namespace pal = art::pal;

constexpr const char* kPicture = "digit_fonts";
constexpr const wchar* kPictureWide = u"digit_fonts";
constexpr i32 kLeft = 1;     // the first cell's left edge in the picture
constexpr i32 kDigitCellGap = 2;  // transparent columns between two cells: filtering never mixes them
constexpr i32 kRowGap = 2;

// One font: its id, its cells' height and widths (the digits, the narrow
// one, the minus), the strokes' widths and the colour run of the digits.
struct DigitStrip {
  u32 id;
  i32 height;
  i32 digitWidth, oneWidth, minusWidth;
  double stroke, outline;
  art::Rgb top, bottom;
};

// The money counter's digits are gold; the price buttons' white, so the
// button's state colour tints them.
const DigitStrip kStrips[] = {
    {kMoneyDigitFont, 24, 17, 12, 13, 4.0, 1.8, art::Lighter(pal::kYellow, 0.55), pal::kGold},
    {kPriceDigitFont, 20, 14, 10, 11, 3.4, 1.6, pal::kWhite, art::Hex(0xE4E4E4)},
};

i32 GlyphWidth(const DigitStrip& s, i32 glyph) {
  return glyph == 1 ? s.oneWidth : glyph == kDigitMinus ? s.minusWidth : s.digitWidth;
}

i32 RowWidth(const DigitStrip& s) {
  i32 w = 0;
  for (i32 k = 0; k < kDigitGlyphs; ++k) w += GlyphWidth(s, k) + (k > 0 ? kDigitCellGap : 0);
  return w;
}

// The rows from the top, and the picture's size.
i32 RowTop(size_t index) {
  i32 y = 1;
  for (size_t i = 0; i < index; ++i) y += kStrips[i].height + kRowGap;
  return y;
}

u32 PictureWidth() {
  i32 w = 0;
  for (const DigitStrip& s : kStrips) w = std::max(w, kLeft + RowWidth(s) + 1);
  return static_cast<u32>(w);
}

u32 PictureHeight() {
  const size_t n = sizeof(kStrips) / sizeof(kStrips[0]);
  return static_cast<u32>(RowTop(n - 1) + kStrips[n - 1].height + 1);
}

// The pen's path of a glyph in the box (x0, y0, w, h): lines and elliptic
// arcs in coordinates 0..1 of the box.
class Pen {
 public:
  Pen(cairo_t* cr, double x0, double y0, double w, double h) : cr_(cr), x0_(x0), y0_(y0), w_(w), h_(h) {}
  void Move(double x, double y) { cairo_move_to(cr_, X(x), Y(y)); }
  void Line(double x, double y) { cairo_line_to(cr_, X(x), Y(y)); }
  void Curve(double x1, double y1, double x2, double y2, double x3, double y3) {
    cairo_curve_to(cr_, X(x1), Y(y1), X(x2), Y(y2), X(x3), Y(y3));
  }
  // Clockwise (on the screen) from angle a1 to a2, radians, 0 pointing right.
  void Arc(double cx, double cy, double rx, double ry, double a1, double a2) {
    cairo_save(cr_);
    cairo_translate(cr_, X(cx), Y(cy));
    cairo_scale(cr_, rx * w_, ry * h_);
    cairo_arc(cr_, 0, 0, 1, a1, a2);
    cairo_restore(cr_);
  }
  void Ring(double cx, double cy, double rx, double ry) {
    cairo_new_sub_path(cr_);
    Arc(cx, cy, rx, ry, 0, 2 * M_PI);
    cairo_close_path(cr_);
  }

 private:
  double X(double x) const { return x0_ + x * w_; }
  double Y(double y) const { return y0_ + y * h_; }
  cairo_t* cr_;
  double x0_, y0_, w_, h_;
};

void GlyphPath(Pen& p, i32 glyph) {
  constexpr double kPi = M_PI;
  switch (glyph) {
    case 0: p.Ring(0.5, 0.5, 0.5, 0.5); break;
    case 1:
      p.Move(0.05, 0.28);
      p.Line(0.7, 0.0);
      p.Line(0.7, 1.0);
      break;
    case 2:
      p.Arc(0.5, 0.3, 0.48, 0.3, kPi, 2 * kPi + 0.55);
      p.Line(0.0, 1.0);
      p.Line(1.0, 1.0);
      break;
    case 3:
      p.Arc(0.5, 0.26, 0.42, 0.26, kPi + 0.55, 2.5 * kPi);
      p.Arc(0.5, 0.73, 0.48, 0.27, -0.5 * kPi, kPi - 0.55);
      break;
    case 4:
      p.Move(0.76, 1.0);
      p.Line(0.76, 0.0);
      p.Line(0.0, 0.68);
      p.Line(1.0, 0.68);
      break;
    case 5:
      p.Move(0.95, 0.0);
      p.Line(0.14, 0.0);
      p.Line(0.08, 0.44);
      p.Arc(0.5, 0.66, 0.48, 0.34, -0.78 * kPi, 0.8 * kPi);
      break;
    case 6:
      p.Ring(0.5, 0.68, 0.48, 0.32);
      p.Move(0.86, 0.06);
      p.Curve(0.45, -0.06, 0.02, 0.15, 0.02, 0.68);
      break;
    case 7:
      p.Move(0.0, 0.0);
      p.Line(1.0, 0.0);
      p.Line(0.32, 1.0);
      break;
    case 8:
      p.Ring(0.5, 0.25, 0.4, 0.25);
      p.Ring(0.5, 0.72, 0.5, 0.28);
      break;
    case 9:
      p.Ring(0.5, 0.32, 0.48, 0.32);
      p.Move(0.98, 0.32);
      p.Curve(0.98, 0.85, 0.55, 1.06, 0.14, 0.94);
      break;
    default:  // the minus
      p.Move(0.05, 0.55);
      p.Line(0.95, 0.55);
      break;
  }
}

// A glyph in its cell: the pen's path stroked wide in the outline colour,
// then narrower in the strip's colour run, lit from the top.
void DrawGlyph(cairo_t* cr, const DigitStrip& s, i32 glyph, double w, double h) {
  const double margin = s.stroke / 2 + s.outline + 0.5;
  Pen pen(cr, margin, margin, w - 2 * margin, h - 2 * margin);
  GlyphPath(pen, glyph);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, s.stroke + 2 * s.outline);
  art::Source(cr, pal::kOutline);
  cairo_stroke_preserve(cr);
  cairo_pattern_t* run = cairo_pattern_create_linear(0, margin, 0, h - margin);
  cairo_pattern_add_color_stop_rgb(run, 0, s.top.r, s.top.g, s.top.b);
  cairo_pattern_add_color_stop_rgb(run, 1, s.bottom.r, s.bottom.g, s.bottom.b);
  cairo_set_source(cr, run);
  cairo_set_line_width(cr, s.stroke);
  cairo_stroke(cr);
  cairo_pattern_destroy(run);
}

void DrawStrips(cairo_t* cr, const ArtFrame&) {
  for (size_t row = 0; row < sizeof(kStrips) / sizeof(kStrips[0]); ++row) {
    const DigitStrip& s = kStrips[row];
    i32 x = kLeft;
    for (i32 k = 0; k < kDigitGlyphs; ++k) {
      const i32 w = GlyphWidth(s, k);
      cairo_save(cr);
      cairo_translate(cr, x, RowTop(row));
      cairo_rectangle(cr, 0, 0, w, s.height);
      cairo_clip(cr);
      DrawGlyph(cr, s, k, w, s.height);
      cairo_restore(cr);
      x += w + kDigitCellGap;
    }
  }
}

}  // namespace

bool RequireDigitFontPicture(DataSetBuild& build, ContentSourceTables&) {
  std::string error;
  if (build.Pictures().Require(kSkinSpriteSet, kPicture, PictureKind::kImage, PictureWidth(), PictureHeight(),
                               "the digit fonts", &error))
    return true;
  std::fprintf(stderr, "databuild: %s\n", error.c_str());
  return false;
}

std::vector<u8> DigitFontSection() {
  DXLTextures list;  // outlives the fonts, which watch its texture
  DXLTexture* picture = list.NewTexture();
  picture->SetName(kPictureWide);
  std::vector<std::unique_ptr<DigitalFont>> fonts;
  std::vector<const DigitalFont*> records;
  for (size_t row = 0; row < sizeof(kStrips) / sizeof(kStrips[0]); ++row) {
    const DigitStrip& s = kStrips[row];
    auto font = std::make_unique<DigitalFont>();
    font->SetHeaderValue(s.id);
    for (i32 k = 0; k < kDigitGlyphs; ++k) font->SetGlyphWidth(k, GlyphWidth(s, k));
    font->SetHasMinus(true);
    font->AddMode(kLeft, RowTop(row), s.height, kDigitCellGap);
    font->SetTexture(picture);
    records.push_back(font.get());
    fonts.push_back(std::move(font));
  }
  return DigitFontSectionBody(records);
}

void AddDigitFontArt(ArtBook& book) {
  ArtPiece piece;
  piece.draw = DrawStrips;
  piece.layout = FrameLayout{1, 1};
  book.Add(kSkinSpriteSet, kPicture, std::move(piece));
}

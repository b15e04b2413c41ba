// The comics' pictures: comic 0's three panels (set 16, 300 x 300) and the
// seal that lands on the letter, and the comic screen's background
// "comix_back" (set 1): warm paper with a faint dotted print.
#include <cmath>

#include "ArtBook.h"
#include "ArtKit.h"
#include "content/ComixSection.h"

namespace {

using namespace art;

constexpr u32 kBackSet = 1;

// A panel's frame: a rounded paper card with a thick ink border, its
// inside clipped for the scene.
void PanelFrame(cairo_t* cr, const ArtFrame& f, Rgb sky, Rgb ground) {
  const double w = f.width, h = f.height, line = w / 60;
  RoundRect(cr, line, line, w - 2 * line, h - 2 * line, w / 25);
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(g, 0, Lighter(sky, 0.3).r, Lighter(sky, 0.3).g, Lighter(sky, 0.3).b);
  cairo_pattern_add_color_stop_rgb(g, 0.6, sky.r, sky.g, sky.b);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_rectangle(cr, 0, h * 0.62, w, h);
  FillLit(cr, ground, 0, h * 0.62, w, h, 0.25);
  cairo_new_path(cr);
  // The caption band at the bottom.
  RoundRect(cr, w * 0.06, h * 0.76, w * 0.88, h * 0.2, w / 40);
  Source(cr, pal::kPanel, 0.92);
  cairo_fill_preserve(cr);
  Outline(cr, line * 0.6);
  cairo_restore(cr);
}

void Border(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height, line = w / 60;
  RoundRect(cr, line, line, w - 2 * line, h - 2 * line, w / 25);
  Outline(cr, line * 1.6);
}

void Farm(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  PanelFrame(cr, f, pal::kSky, pal::kGrass);
  // The sun, a red barn with a white cross door and a fence.
  Ellipse(cr, w * 0.82, h * 0.15, w * 0.08, w * 0.08);
  FillRound(cr, pal::kYellow, w * 0.82, h * 0.15, w * 0.08);
  cairo_move_to(cr, w * 0.2, h * 0.64);
  cairo_line_to(cr, w * 0.2, h * 0.38);
  cairo_line_to(cr, w * 0.38, h * 0.24);
  cairo_line_to(cr, w * 0.56, h * 0.38);
  cairo_line_to(cr, w * 0.56, h * 0.64);
  cairo_close_path(cr);
  FillLit(cr, pal::kRed, w * 0.2, h * 0.24, w * 0.56, h * 0.64);
  Outline(cr, w / 100);
  cairo_rectangle(cr, w * 0.31, h * 0.46, w * 0.14, h * 0.18);
  Source(cr, pal::kWhite);
  cairo_fill_preserve(cr);
  Outline(cr, w / 120);
  cairo_move_to(cr, w * 0.31, h * 0.46);
  cairo_line_to(cr, w * 0.45, h * 0.64);
  cairo_move_to(cr, w * 0.45, h * 0.46);
  cairo_line_to(cr, w * 0.31, h * 0.64);
  Outline(cr, w / 150);
  for (int i = 0; i < 5; ++i) {
    const double x = w * (0.62 + 0.07 * i);
    cairo_rectangle(cr, x, h * 0.52, w * 0.025, h * 0.12);
    FillLit(cr, pal::kWood, x, h * 0.52, x + w * 0.025, h * 0.64);
    Outline(cr, w / 200);
  }
  cairo_rectangle(cr, w * 0.6, h * 0.56, w * 0.34, h * 0.02);
  FillLit(cr, pal::kWood, w * 0.6, h * 0.56, w * 0.94, h * 0.58);
  Outline(cr, w / 200);
  Border(cr, f);
}

void Letter(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  PanelFrame(cr, f, Hex(0xF6D9A8), pal::kWood);
  // A table edge with a sealed envelope on it and a lamp's glow.
  SoftEllipse(cr, w * 0.3, h * 0.25, w * 0.25, h * 0.2, pal::kYellow, 0.5);
  cairo_move_to(cr, w * 0.2, h * 0.45);
  cairo_line_to(cr, w * 0.8, h * 0.42);
  cairo_line_to(cr, w * 0.84, h * 0.68);
  cairo_line_to(cr, w * 0.16, h * 0.7);
  cairo_close_path(cr);
  FillLit(cr, pal::kWhite, w * 0.16, h * 0.42, w * 0.84, h * 0.7, 0.15);
  Outline(cr, w / 100);
  cairo_move_to(cr, w * 0.2, h * 0.45);
  cairo_line_to(cr, w * 0.5, h * 0.6);
  cairo_line_to(cr, w * 0.8, h * 0.42);
  Outline(cr, w / 140);
  Border(cr, f);
}

void Seal(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  Blob(cr, w / 2, h / 2, w * 0.42, h * 0.42, 7, 0.12, 16);
  FillRound(cr, pal::kRed, w / 2, h / 2, w * 0.42);
  Outline(cr, w / 14);
  Star(cr, w / 2, h / 2, w * 0.22, w * 0.1, 5);
  Source(cr, Darker(pal::kRed, 0.3));
  cairo_fill(cr);
}

void Boots(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  PanelFrame(cr, f, pal::kSky, pal::kDirt);
  // Two green boots side by side, a hay fork leaning behind them.
  cairo_move_to(cr, w * 0.78, h * 0.15);
  cairo_line_to(cr, w * 0.66, h * 0.66);
  Rod(cr, w / 60, pal::kWood, w / 200);
  for (int i = 0; i < 2; ++i) {
    const double x = w * (0.22 + 0.24 * i);
    cairo_move_to(cr, x, h * 0.3);
    cairo_line_to(cr, x + w * 0.12, h * 0.3);
    cairo_line_to(cr, x + w * 0.12, h * 0.58);
    cairo_line_to(cr, x + w * 0.2, h * 0.6);
    cairo_line_to(cr, x + w * 0.2, h * 0.68);
    cairo_line_to(cr, x, h * 0.68);
    cairo_close_path(cr);
    FillLit(cr, pal::kGrassDark, x, h * 0.3, x + w * 0.2, h * 0.68);
    Outline(cr, w / 100);
  }
  Border(cr, f);
}

void Back(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  cairo_rectangle(cr, 0, 0, w, h);
  FillLit(cr, Hex(0xF3E2BC), 0, 0, w, h, 0.2);
  cairo_new_path(cr);
  Rand rand(77);
  for (double y = 8; y < h; y += 16)
    for (double x = 8 + std::fmod(y, 32.0) / 2; x < w; x += 16) {
      Ellipse(cr, x, y, 1.6 + rand.Range(0, 0.6), 1.6);
      Source(cr, pal::kWoodDark, 0.12);
      cairo_fill(cr);
    }
}

}  // namespace

void AddComixArt(ArtBook& book) {
  const auto add = [&book](u32 set, const char* name, void (*draw)(cairo_t*, const ArtFrame&), u32 w, u32 h) {
    ArtPiece piece;
    piece.draw = draw;
    piece.layout = FrameLayout{1, 1};
    piece.width = w;
    piece.height = h;
    book.Add(set, name, std::move(piece));
  };
  add(kComixSpriteSet, "comix0_farm", Farm, 300, 300);
  add(kComixSpriteSet, "comix0_letter", Letter, 300, 300);
  add(kComixSpriteSet, "comix0_seal", Seal, 64, 64);  // pressed on the envelope's flap
  add(kComixSpriteSet, "comix0_boots", Boots, 300, 300);
  add(kBackSet, "comix_back", Back, 512, 384);
}

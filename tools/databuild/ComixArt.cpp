// The comics' pictures (set 16: panels of 300 x 300, stamps of 64 x 64):
// comic 0's three panels and the seal that lands on the letter; the
// chapters' comics 1 to 3 (the farm grown and a harder season, the
// valley's markets and the brute's gang, the raiders beaten and the
// festival); and the comic screen's background "comix_back" (set 1): warm
// paper with a faint dotted print.
#include <algorithm>
#include <cmath>

#include "ArtBook.h"
#include "ArtKit.h"
#include "Emblems.h"
#include "StoryFigures.h"
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


// --- Comics 1 to 3 --------------------------------------------------------------------------
// The chapters' comics share comic 0's look: a rounded card, a scene under
// a sky, a cream caption band at the bottom (the language's caption is laid
// over it at (150, 262)) and a thick ink border. The scene stays above the
// band (y < 228 of 300); speech bubbles are left empty for their texts.
namespace story {

void Open(cairo_t* cr, const ArtFrame& f, Rgb top, Rgb low, Rgb ground) {
  const double w = f.width, h = f.height, line = w / 60;
  cairo_save(cr);
  cairo_new_path(cr);
  RoundRect(cr, line, line, w - 2 * line, h - 2 * line, w / 25);
  cairo_clip(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h * 0.62);
  cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(g, 1, low.r, low.g, low.b);
  cairo_set_source(cr, g);
  cairo_paint(cr);
  cairo_pattern_destroy(g);
  cairo_rectangle(cr, 0, h * 0.62, w, h);
  FillLit(cr, ground, 0, h * 0.62, w, h, 0.25);
  cairo_new_path(cr);
}

void Close(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height, line = w / 60;
  cairo_new_path(cr);
  RoundRect(cr, w * 0.06, h * 0.76, w * 0.88, h * 0.2, w / 40);
  Source(cr, pal::kPanel, 0.92);
  cairo_fill_preserve(cr);
  Outline(cr, line * 0.6);
  cairo_restore(cr);
  Border(cr, f);
}

// A band of rolling hills standing on `base`, `amp` high.
void Hills(cairo_t* cr, double w, double base, double amp, Rgb c, double phase) {
  cairo_new_path(cr);
  cairo_move_to(cr, -4, base);
  for (int i = 0; i <= 40; ++i) {
    const double x = w * i / 40.0;
    const double k = 0.55 + 0.3 * std::sin(i * 0.31 + phase) + 0.15 * std::sin(i * 0.83 + 2 * phase);
    cairo_line_to(cr, x, base - amp * k);
  }
  cairo_line_to(cr, w + 4, base);
  cairo_close_path(cr);
  FillLit(cr, c, 0, base - amp, w, base, 0.2);
  Outline(cr, 1.6);
}

void Cloud(cairo_t* cr, double x, double y, double r, Rgb c, double alpha = 1.0) {
  cairo_new_path(cr);
  Ellipse(cr, x, y, r * 1.3, r * 0.7);
  Ellipse(cr, x - r * 0.7, y + r * 0.1, r * 0.7, r * 0.55);
  Ellipse(cr, x + r * 0.8, y + r * 0.15, r * 0.65, r * 0.5);
  Ellipse(cr, x - r * 0.1, y - r * 0.35, r * 0.75, r * 0.6);
  Source(cr, c, alpha);
  cairo_fill(cr);
}

void Sun(cairo_t* cr, double x, double y, double r, Rgb c) {
  SoftEllipse(cr, x, y, r * 2.2, r * 2.2, c, 0.45);
  cairo_new_path(cr);
  Ellipse(cr, x, y, r, r);
  FillRound(cr, c, x, y, r);
  cairo_new_path(cr);
}

// A red barn standing on (x, y) at its lower left, `s` wide.
void Barn(cairo_t* cr, double x, double y, double s, Rgb wall = pal::kRed) {
  cairo_new_path(cr);
  cairo_move_to(cr, x, y);
  cairo_line_to(cr, x, y - 0.72 * s);
  cairo_line_to(cr, x + 0.5 * s, y - 1.12 * s);
  cairo_line_to(cr, x + s, y - 0.72 * s);
  cairo_line_to(cr, x + s, y);
  cairo_close_path(cr);
  FillLit(cr, wall, x, y - 1.12 * s, x + s, y);
  Outline(cr, s / 30);
  cairo_move_to(cr, x - 0.06 * s, y - 0.68 * s);
  cairo_line_to(cr, x + 0.5 * s, y - 1.14 * s);
  cairo_line_to(cr, x + 1.06 * s, y - 0.68 * s);
  Rod(cr, s / 14, pal::kWhite, s / 60);
  cairo_rectangle(cr, x + 0.3 * s, y - 0.5 * s, 0.4 * s, 0.5 * s);
  Source(cr, pal::kWhite);
  cairo_fill_preserve(cr);
  Outline(cr, s / 40);
  cairo_move_to(cr, x + 0.3 * s, y - 0.5 * s);
  cairo_line_to(cr, x + 0.7 * s, y);
  cairo_move_to(cr, x + 0.7 * s, y - 0.5 * s);
  cairo_line_to(cr, x + 0.3 * s, y);
  Outline(cr, s / 50);
  Ellipse(cr, x + 0.5 * s, y - 0.8 * s, 0.09 * s, 0.09 * s);
  Source(cr, pal::kYellow);
  cairo_fill_preserve(cr);
  Outline(cr, s / 60);
}

// A windmill: its tower stands on (cx, y), `s` wide at the foot.
void Mill(cairo_t* cr, double cx, double y, double s, double turn) {
  cairo_new_path(cr);
  cairo_move_to(cr, cx - s / 2, y);
  cairo_line_to(cr, cx - s * 0.3, y - 1.5 * s);
  cairo_line_to(cr, cx + s * 0.3, y - 1.5 * s);
  cairo_line_to(cr, cx + s / 2, y);
  cairo_close_path(cr);
  FillLit(cr, pal::kStone, cx - s / 2, y - 1.5 * s, cx + s / 2, y);
  Outline(cr, s / 25);
  cairo_new_path(cr);
  cairo_arc(cr, cx, y - 1.5 * s, s * 0.34, M_PI, 2 * M_PI);
  cairo_close_path(cr);
  FillLit(cr, pal::kRust, cx - s * 0.34, y - 1.85 * s, cx + s * 0.34, y - 1.5 * s);
  Outline(cr, s / 25);
  cairo_rectangle(cr, cx - s * 0.1, y - 0.4 * s, s * 0.2, s * 0.4);
  Source(cr, pal::kWoodDark);
  cairo_fill_preserve(cr);
  Outline(cr, s / 40);
  const double hx = cx, hy = y - 1.45 * s;
  for (int i = 0; i < 4; ++i) {
    const double a = turn + i * M_PI / 2;
    cairo_save(cr);
    cairo_translate(cr, hx, hy);
    cairo_rotate(cr, a);
    cairo_rectangle(cr, s * 0.08, -s * 0.13, s * 1.05, s * 0.26);
    Source(cr, pal::kShirt, 0.95);
    cairo_fill_preserve(cr);
    Outline(cr, s / 40);
    for (double t = 0.35; t < 1.1; t += 0.25) {
      cairo_move_to(cr, s * t, -s * 0.13);
      cairo_line_to(cr, s * t, s * 0.13);
    }
    Outline(cr, s / 70);
    cairo_restore(cr);
  }
  cairo_new_path(cr);
  Ellipse(cr, hx, hy, s * 0.09, s * 0.09);
  FillRound(cr, pal::kWoodDark, hx, hy, s * 0.09);
  Outline(cr, s / 50);
}

void Tree(cairo_t* cr, double x, double y, double s, Rgb leaves, u32 seed, double bend = 0) {
  cairo_new_path(cr);
  cairo_move_to(cr, x, y);
  cairo_curve_to(cr, x, y - 0.4 * s, x + bend * 0.5, y - 0.6 * s, x + bend, y - 0.8 * s);
  Rod(cr, s * 0.14, pal::kWoodDark, s / 60);
  cairo_new_path(cr);
  Blob(cr, x + bend * 1.1, y - 1.05 * s, 0.45 * s, 0.4 * s, 7, 0.14, seed);
  FillRound(cr, leaves, x + bend, y - 1.05 * s, 0.45 * s);
  Outline(cr, s / 40);
}

// Rows of a crop on a bed of soil between x0 and x1, from y0 down to y1.
void Field(cairo_t* cr, double x0, double x1, double y0, double y1, Rgb crop, int rows) {
  cairo_new_path(cr);
  cairo_move_to(cr, x0 + 12, y0);
  cairo_line_to(cr, x1 - 12, y0);
  cairo_line_to(cr, x1, y1);
  cairo_line_to(cr, x0, y1);
  cairo_close_path(cr);
  FillLit(cr, pal::kSoil, x0, y0, x1, y1, 0.2);
  Outline(cr, 1.6);
  for (int r = 0; r < rows; ++r) {
    const double t = (r + 0.6) / rows, y = y0 + (y1 - y0) * t, inset = 12 * (1 - t);
    for (double x = x0 + inset + 8; x < x1 - inset - 4; x += 11) {
      cairo_new_path(cr);
      Ellipse(cr, x, y - 3, 4.5, 5.5);
      FillLit(cr, crop, x - 4, y - 8, x + 4, y + 2, 0.3);
      Outline(cr, 0.9);
    }
  }
}

void Fence(cairo_t* cr, double x0, double x1, double y, double high) {
  for (double x = x0; x <= x1; x += high * 0.9) {
    cairo_new_path(cr);
    cairo_rectangle(cr, x - 2.5, y - high, 5, high);
    FillLit(cr, pal::kWood, x - 2.5, y - high, x + 2.5, y);
    Outline(cr, 1.1);
  }
  for (double k : {0.3, 0.7}) {
    cairo_new_path(cr);
    cairo_rectangle(cr, x0 - 3, y - high * k - 2, x1 - x0 + 6, 4);
    FillLit(cr, pal::kWood, x0, y - high * k - 2, x1, y - high * k + 2);
    Outline(cr, 1.1);
  }
}

// An empty speech bubble with its tail pointing at (tx, ty).
void Bubble(cairo_t* cr, double x, double y, double w, double h, double tx, double ty) {
  cairo_new_path(cr);
  RoundRect(cr, x, y, w, h, h / 2.2);
  const double bx = std::clamp(tx, x + h * 0.6, x + w - h * 0.6);
  cairo_move_to(cr, bx - 8, y + h - 2);
  cairo_line_to(cr, tx, ty);
  cairo_line_to(cr, bx + 8, y + h - 2);
  cairo_close_path(cr);
  Source(cr, pal::kWhite);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_fill_preserve(cr);
  Outline(cr, 2.2);
  cairo_new_path(cr);
  RoundRect(cr, x + 1.2, y + 1.2, w - 2.4, h - 2.4, h / 2.2);
  Source(cr, pal::kWhite);
  cairo_fill(cr);
}

// A striped market awning over a counter of goods, standing on (x, y).
void Stall(cairo_t* cr, double x, double y, double w, Rgb stripe, const char* const* goods, int count) {
  for (double px : {x + 4, x + w - 4}) {
    cairo_new_path(cr);
    cairo_move_to(cr, px, y);
    cairo_line_to(cr, px, y - 82);
    Rod(cr, 4, pal::kWoodDark, 1);
  }
  cairo_new_path(cr);
  cairo_rectangle(cr, x, y - 34, w, 34);
  FillLit(cr, pal::kWood, x, y - 34, x + w, y);
  Outline(cr, 1.6);
  for (int i = 0; i < count; ++i) {
    const double size = std::min(30.0, (w - 6) / count);
    if (Emblem e = ProductEmblem(goods[i])) DrawEmblem(cr, e, x + 3 + i * (w - 6) / count, y - 34 - size * 0.75, size, 1.2);
  }
  const int stripes = 6;
  for (int i = 0; i < stripes; ++i) {
    const double sx = x - 6 + (w + 12) * i / stripes, sw = (w + 12) / stripes;
    cairo_new_path(cr);
    cairo_move_to(cr, x + w / 2 + (sx - x - w / 2) * 0.6, y - 104);
    cairo_line_to(cr, x + w / 2 + (sx + sw - x - w / 2) * 0.6, y - 104);
    cairo_line_to(cr, sx + sw, y - 82);
    cairo_arc(cr, sx + sw / 2, y - 82, sw / 2, 0, M_PI);
    cairo_close_path(cr);
    FillLit(cr, i % 2 ? pal::kWhite : stripe, sx, y - 104, sx + sw, y - 76);
    Outline(cr, 1.3);
  }
}

void Wheel(cairo_t* cr, double x, double y, double r) {
  cairo_new_path(cr);
  Ellipse(cr, x, y, r, r);
  FillRound(cr, pal::kWoodDark, x, y, r);
  Outline(cr, 1.6);
  for (int i = 0; i < 4; ++i) {
    const double a = i * M_PI / 4;
    cairo_move_to(cr, x - std::cos(a) * r * 0.8, y - std::sin(a) * r * 0.8);
    cairo_line_to(cr, x + std::cos(a) * r * 0.8, y + std::sin(a) * r * 0.8);
  }
  Outline(cr, 1.2, pal::kWood);
}

void Sack(cairo_t* cr, double x, double y, double s) {
  cairo_new_path(cr);
  cairo_move_to(cr, x - s * 0.45, y);
  cairo_curve_to(cr, x - s * 0.6, y - s * 0.6, x - s * 0.3, y - s * 0.9, x - s * 0.12, y - s);
  cairo_line_to(cr, x + s * 0.12, y - s);
  cairo_curve_to(cr, x + s * 0.3, y - s * 0.9, x + s * 0.6, y - s * 0.6, x + s * 0.45, y);
  cairo_close_path(cr);
  FillLit(cr, pal::kStraw, x - s * 0.5, y - s, x + s * 0.5, y, 0.3);
  Outline(cr, 1.3);
  cairo_move_to(cr, x - s * 0.16, y - s * 0.86);
  cairo_line_to(cr, x + s * 0.16, y - s * 0.86);
  Outline(cr, 1.6, pal::kRust);
}

// Triangle flags hanging from a sagging string.
void Bunting(cairo_t* cr, double x0, double y0, double x1, double y1, double sag, int flags) {
  const Rgb colours[] = {pal::kRed, pal::kYellow, pal::kBlue, pal::kGrass, pal::kPink};
  const auto at = [&](double t, double* x, double* y) {
    *x = x0 + (x1 - x0) * t;
    *y = y0 + (y1 - y0) * t + sag * 4 * t * (1 - t);
  };
  cairo_new_path(cr);
  for (int i = 0; i <= 20; ++i) {
    double x, y;
    at(i / 20.0, &x, &y);
    cairo_line_to(cr, x, y);
  }
  Outline(cr, 1.2);
  for (int i = 0; i < flags; ++i) {
    double ax, ay, bx, by;
    at((i + 0.15) / flags, &ax, &ay);
    at((i + 0.85) / flags, &bx, &by);
    cairo_new_path(cr);
    cairo_move_to(cr, ax, ay);
    cairo_line_to(cr, bx, by);
    cairo_line_to(cr, (ax + bx) / 2, (ay + by) / 2 + (bx - ax) * 1.1);
    cairo_close_path(cr);
    Source(cr, colours[i % 5]);
    cairo_fill_preserve(cr);
    Outline(cr, 1.0);
  }
}

void Firework(cairo_t* cr, double x, double y, double r, Rgb c) {
  SoftEllipse(cr, x, y, r * 1.3, r * 1.3, c, 0.35);
  for (int i = 0; i < 12; ++i) {
    const double a = i * M_PI / 6;
    cairo_new_path(cr);
    cairo_move_to(cr, x + std::cos(a) * r * 0.3, y + std::sin(a) * r * 0.3);
    cairo_line_to(cr, x + std::cos(a) * r, y + std::sin(a) * r);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    Source(cr, Lighter(c, 0.3));
    cairo_stroke(cr);
    cairo_new_path(cr);
    Ellipse(cr, x + std::cos(a) * r * 1.15, y + std::sin(a) * r * 1.15, 2, 2);
    Source(cr, pal::kWhite);
    cairo_fill(cr);
  }
}

void Stars(cairo_t* cr, double w, double h, int count, u32 seed) {
  Rand rand(seed);
  for (int i = 0; i < count; ++i) {
    const double x = rand.Range(10, w - 10), y = rand.Range(10, h), r = rand.Range(1.5, 3.2);
    cairo_new_path(cr);
    Star(cr, x, y, r * 1.6, r * 0.6, 4);
    Source(cr, pal::kWhite, rand.Range(0.6, 1.0));
    cairo_fill(cr);
  }
}

void Bee(cairo_t* cr, double x, double y, double s) {
  cairo_new_path(cr);
  Ellipse(cr, x - s * 0.2, y - s * 0.55, s * 0.35, s * 0.3);
  Ellipse(cr, x + s * 0.25, y - s * 0.55, s * 0.35, s * 0.3);
  Source(cr, pal::kWhite, 0.85);
  cairo_fill_preserve(cr);
  Outline(cr, 0.8);
  Ellipse(cr, x, y, s * 0.6, s * 0.42);
  FillLit(cr, pal::kYellow, x - s * 0.6, y - s * 0.4, x + s * 0.6, y + s * 0.4, 0.2);
  Outline(cr, 1.0);
  for (double k : {-0.15, 0.2}) {
    cairo_move_to(cr, x + k * s, y - s * 0.38);
    cairo_line_to(cr, x + k * s, y + s * 0.38);
  }
  Outline(cr, s * 0.16);
}

// A puff of the raiders' violet gas.
void Gas(cairo_t* cr, double x, double y, double r) {
  SoftEllipse(cr, x, y, r * 1.4, r, pal::kToxic, 0.75);
  cairo_new_path(cr);
  Blob(cr, x, y, r * 0.8, r * 0.55, 6, 0.2, static_cast<u32>(x * 7 + y));
  Source(cr, Lighter(pal::kToxic, 0.25), 0.85);
  cairo_fill_preserve(cr);
  Outline(cr, 1.0, pal::kToxicDark, 0.8);
}

void Beehive(cairo_t* cr, double x, double y, double s) {
  for (int i = 0; i < 4; ++i) {
    const double wy = y - (i + 1) * s * 0.28, ww = s * (0.5 - 0.08 * std::abs(i - 1.2));
    cairo_new_path(cr);
    RoundRect(cr, x - ww, wy, 2 * ww, s * 0.3, s * 0.14);
    FillLit(cr, pal::kStraw, x - ww, wy, x + ww, wy + s * 0.3, 0.3);
    Outline(cr, 1.3);
  }
  cairo_new_path(cr);
  Ellipse(cr, x, y - s * 0.22, s * 0.1, s * 0.08);
  Source(cr, pal::kOutline);
  cairo_fill(cr);
}

// --- Comic 1: the farm has grown, the raiders keep coming, a harder season ---

void GrownFarm(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0x5DB4EE), pal::kSky, pal::kGrass);
  Sun(cr, 258, 42, 20, pal::kYellow);
  Cloud(cr, 70, 40, 18, pal::kWhite, 0.9);
  Hills(cr, 300, 188, 40, Mix(pal::kGrass, pal::kSky, 0.35), 0.4);
  Barn(cr, 18, 190, 86);
  Mill(cr, 240, 190, 34, 0.3);
  Fence(cr, 112, 196, 192, 18);
  Field(cr, 150, 300, 196, 226, pal::kGold, 2);
  Field(cr, 0, 120, 200, 228, pal::kLeaf, 2);
  DrawFarmGirl(cr, 138, 222, 100, 90, GirlMood::kWave);
  Close(cr, f);
}

void RaidersReturn(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0x5B3C7A), Hex(0xF29A5C), Hex(0x6E8C3A));
  Sun(cr, 60, 150, 22, Hex(0xFFB347));
  Hills(cr, 300, 190, 60, Hex(0x4E5E3A), 2.2);
  DrawRaiderCatapult(cr, 150, 176, 110, 120, false);
  DrawRaider(cr, 76, 222, 136, 0, 80, RaiderMood::kAngry);
  DrawRaider(cr, 226, 222, 136, 0, 110, RaiderMood::kShoot);
  Bubble(cr, 100, 14, 188, 46, 214, 96);
  Close(cr, f);
}

void HarderSeason(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0x50607A), Hex(0x9AA8B8), Hex(0x7FA05A));
  Cloud(cr, 80, 46, 34, Hex(0x6A7486));
  Cloud(cr, 210, 36, 40, Hex(0x5C6678));
  Cloud(cr, 150, 70, 26, Hex(0x7B8597));
  // A bolt from the clouds, the rain slanting in the wind.
  cairo_new_path(cr);
  cairo_move_to(cr, 200, 70);
  cairo_line_to(cr, 186, 104);
  cairo_line_to(cr, 200, 102);
  cairo_line_to(cr, 182, 146);
  cairo_line_to(cr, 214, 96);
  cairo_line_to(cr, 200, 98);
  cairo_line_to(cr, 214, 70);
  cairo_close_path(cr);
  Source(cr, pal::kYellow);
  cairo_fill_preserve(cr);
  Outline(cr, 1.4);
  Rand rand(31);
  for (int i = 0; i < 46; ++i) {
    const double x = rand.Range(-20, 300), y = rand.Range(70, 220);
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x - 8, y + 16);
  }
  Outline(cr, 1.6, Hex(0xDCE8F5), 0.8);
  Hills(cr, 300, 190, 30, Hex(0x5E7A48), 1.3);
  Tree(cr, 62, 214, 86, Hex(0x6E9A3C), 5, 24);
  Barn(cr, 170, 210, 78, Hex(0xB8473C));
  // Leaves torn off in the wind.
  for (int i = 0; i < 7; ++i) {
    const double x = 110 + i * 13 + rand.Range(-5, 5), y = 120 + rand.Range(-30, 40);
    cairo_new_path(cr);
    Ellipse(cr, x, y, 4.5, 2.4);
    Source(cr, i % 2 ? pal::kOrange : pal::kLeaf);
    cairo_fill_preserve(cr);
    Outline(cr, 0.8);
  }
  Close(cr, f);
}

void ReadyFarmer(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0xF6C98A), Hex(0xFBE3B0), pal::kGrass);
  Sun(cr, 150, 150, 46, pal::kOrange);
  Hills(cr, 300, 190, 36, Mix(pal::kGrassDark, pal::kOrange, 0.2), 3.0);
  Field(cr, 0, 300, 196, 228, pal::kGold, 2);
  DrawFarmGirl(cr, 150, 222, 124, 90, GirlMood::kCheer);
  Close(cr, f);
}

// The padlock of the Hard Days, sprung open (a 64-pixel stamp).
void OpenLock(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  cairo_new_path(cr);
  cairo_arc(cr, w * 0.62, h * 0.34, w * 0.17, M_PI, 2 * M_PI);
  Rod(cr, w * 0.09, pal::kMetal, w / 40);
  cairo_new_path(cr);
  RoundRect(cr, w * 0.16, h * 0.42, w * 0.56, h * 0.46, w * 0.08);
  FillLit(cr, pal::kGold, w * 0.16, h * 0.42, w * 0.72, h * 0.88, 0.35);
  Outline(cr, w / 22);
  cairo_new_path(cr);
  Ellipse(cr, w * 0.44, h * 0.6, w * 0.06, w * 0.06);
  cairo_rectangle(cr, w * 0.42, h * 0.6, w * 0.04, h * 0.14);
  Source(cr, pal::kOutline);
  cairo_fill(cr);
  Gleam(cr, w * 0.26, h * 0.5, w * 0.05, h * 0.035);
}

// --- Comic 2: the valley's markets, then a bigger threat ---

void Market(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0x6CC0F0), pal::kSky, pal::kDirt);
  Cloud(cr, 230, 34, 18, pal::kWhite, 0.9);
  // Town roofs behind the square.
  for (int i = 0; i < 5; ++i) {
    const double x = 6 + i * 60, top = 118 + (i % 2) * 14;
    cairo_new_path(cr);
    cairo_rectangle(cr, x, top, 52, 190 - top);
    FillLit(cr, i % 2 ? Hex(0xF3E2BC) : Hex(0xE8C99A), x, top, x + 52, 190);
    Outline(cr, 1.4);
    cairo_move_to(cr, x - 5, top);
    cairo_line_to(cr, x + 26, top - 24);
    cairo_line_to(cr, x + 57, top);
    cairo_close_path(cr);
    FillLit(cr, i % 2 ? pal::kRust : pal::kRed, x - 5, top - 24, x + 57, top);
    Outline(cr, 1.4);
    cairo_rectangle(cr, x + 18, top + 16, 14, 14);
    Source(cr, pal::kSky);
    cairo_fill_preserve(cr);
    Outline(cr, 1.1);
  }
  static const char* const kLeft[] = {"egg", "milk", "cheese"};
  static const char* const kRight[] = {"bread", "flour", "wool"};
  Stall(cr, 14, 220, 118, pal::kRed, kLeft, 3);
  Stall(cr, 168, 220, 118, pal::kBlue, kRight, 3);
  Close(cr, f);
}

void CartToTown(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0x6CC0F0), pal::kSky, pal::kGrass);
  Sun(cr, 52, 40, 16, pal::kYellow);
  Hills(cr, 300, 186, 34, Mix(pal::kGrass, pal::kSky, 0.3), 4.0);
  // The road winding to the town on the hill.
  cairo_new_path(cr);
  cairo_move_to(cr, 40, 228);
  cairo_curve_to(cr, 110, 200, 180, 200, 236, 158);
  cairo_line_to(cr, 252, 158);
  cairo_curve_to(cr, 210, 204, 180, 216, 190, 228);
  cairo_close_path(cr);
  FillLit(cr, pal::kDirt, 40, 158, 252, 228, 0.2);
  Outline(cr, 1.3);
  for (int i = 0; i < 3; ++i) {
    const double x = 222 + i * 18, y = 150 - (i % 2) * 6;
    cairo_new_path(cr);
    cairo_rectangle(cr, x, y - 14, 14, 14);
    FillLit(cr, pal::kShirt, x, y - 14, x + 14, y);
    Outline(cr, 1.0);
    cairo_move_to(cr, x - 2, y - 14);
    cairo_line_to(cr, x + 7, y - 22);
    cairo_line_to(cr, x + 16, y - 14);
    cairo_close_path(cr);
    Source(cr, pal::kRed);
    cairo_fill_preserve(cr);
    Outline(cr, 1.0);
  }
  // The cart heaped with sacks and a basket of eggs, pulled by the farmer.
  cairo_new_path(cr);
  cairo_move_to(cr, 176, 180);
  cairo_line_to(cr, 214, 170);
  Rod(cr, 4, pal::kWood, 1.2);
  for (int i = 0; i < 3; ++i) Sack(cr, 92 + i * 26, 178 - (i == 1) * 4, 34);
  Sack(cr, 118, 154, 28);
  cairo_new_path(cr);
  cairo_rectangle(cr, 70, 176, 110, 24);
  FillLit(cr, pal::kWood, 70, 176, 180, 200);
  Outline(cr, 1.6);
  Wheel(cr, 94, 204, 14);
  Wheel(cr, 156, 204, 14);
  DrawFarmGirl(cr, 222, 222, 84, 340, GirlMood::kStand);
  Close(cr, f);
}

// A gold coin (a 64-pixel stamp).
void Coin(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, c = w / 2;
  cairo_new_path(cr);
  Ellipse(cr, c, c, w * 0.42, w * 0.42);
  FillRound(cr, pal::kGold, c, c, w * 0.42);
  Outline(cr, w / 20);
  cairo_new_path(cr);
  Ellipse(cr, c, c, w * 0.3, w * 0.3);
  Outline(cr, w / 40, Darker(pal::kGold, 0.35));
  Star(cr, c, c, w * 0.18, w * 0.08, 5);
  Source(cr, Darker(pal::kGold, 0.25));
  cairo_fill(cr);
  Gleam(cr, c - w * 0.18, c - w * 0.2, w * 0.07, w * 0.05);
}

void Brute(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0x3E2C5C), Hex(0x8A5A8C), Hex(0x4E6A34));
  Stars(cr, 300, 110, 14, 9);
  Hills(cr, 300, 190, 50, Hex(0x3C4A30), 5.1);
  DrawRaider(cr, 52, 190, 70, 0, 70, RaiderMood::kAngry);
  DrawRaider(cr, 252, 190, 70, 0, 110, RaiderMood::kAngry);
  DrawRaider(cr, 150, 224, 150, 1, 90, RaiderMood::kAngry);
  Bubble(cr, 12, 12, 150, 44, 120, 84);
  Close(cr, f);
}

void Ridge(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0x1E2448), Hex(0x4A4C7C), Hex(0x35502E));
  Stars(cr, 300, 120, 22, 4);
  cairo_new_path(cr);
  Ellipse(cr, 246, 40, 18, 18);
  FillRound(cr, Hex(0xFFF4C8), 246, 40, 18);
  cairo_new_path(cr);
  // The ridge rising to the left, catapults on it, the valley below.
  cairo_move_to(cr, -4, 96);
  cairo_curve_to(cr, 60, 90, 130, 110, 180, 150);
  cairo_curve_to(cr, 210, 172, 250, 186, 304, 190);
  cairo_line_to(cr, 304, 300);
  cairo_line_to(cr, -4, 300);
  cairo_close_path(cr);
  FillLit(cr, Hex(0x2E3C26), 0, 96, 300, 300, 0.15);
  Outline(cr, 1.6);
  Barn(cr, 226, 214, 48, Hex(0xA0453C));
  DrawRaiderCatapult(cr, 52, 94, 70, 0, false);
  DrawRaiderCatapult(cr, 114, 116, 70, 10, false);
  DrawRaider(cr, 166, 146, 72, 0, 20, RaiderMood::kShoot);
  Gas(cr, 184, 66, 16);
  Gas(cr, 226, 100, 20);
  Gas(cr, 256, 146, 22);
  Close(cr, f);
}

void GuardPlan(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0x6CC0F0), pal::kSky, pal::kGrass);
  Cloud(cr, 70, 36, 16, pal::kWhite, 0.9);
  Hills(cr, 300, 188, 30, Mix(pal::kGrass, pal::kSky, 0.3), 6.0);
  Fence(cr, 8, 292, 196, 20);
  Beehive(cr, 62, 214, 60);
  Beehive(cr, 238, 214, 56);
  Rand rand(12);
  for (int i = 0; i < 9; ++i) Bee(cr, 40 + i * 26 + rand.Range(-6, 6), 60 + rand.Range(0, 70), 9);
  DrawFarmGirl(cr, 150, 222, 118, 90, GirlMood::kWave);
  Close(cr, f);
}

// --- Comic 3: the raiders beaten, the valley celebrates ---

void BeesChase(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0x6CC0F0), pal::kSky, pal::kGrass);
  Hills(cr, 300, 188, 36, Mix(pal::kGrass, pal::kSky, 0.3), 7.0);
  DrawRaider(cr, 90, 220, 100, 0, 180, RaiderMood::kBees);
  DrawRaider(cr, 212, 214, 118, 1, 180, RaiderMood::kRun);
  Rand rand(5);
  for (int i = 0; i < 14; ++i) Bee(cr, 120 + rand.Range(0, 170), 40 + rand.Range(0, 130), 10);
  Close(cr, f);
}

void RaidersGone(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0xF7D9A0), Hex(0xBFE4F5), pal::kGrass);
  Sun(cr, 240, 60, 24, pal::kYellow);
  Hills(cr, 300, 192, 80, Mix(pal::kGrass, pal::kSky, 0.45), 8.0);
  DrawRaider(cr, 62, 150, 40, 0, 300, RaiderMood::kRun);
  DrawRaider(cr, 100, 146, 46, 1, 300, RaiderMood::kRun);
  Hills(cr, 300, 192, 30, pal::kGrassLight, 9.0);
  DrawRaiderCatapult(cr, 170, 210, 110, 30, true);
  Flower(cr, 40, 214, 10, pal::kPink);
  Flower(cr, 262, 206, 10, pal::kYellow, pal::kOrange);
  Close(cr, f);
}

void Festival(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0x6CC0F0), pal::kSky, pal::kGrass);
  Barn(cr, 96, 190, 108);
  Bunting(cr, 4, 70, 150, 60, 26, 6);
  Bunting(cr, 150, 60, 296, 74, 26, 6);
  for (int i = 0; i < 3; ++i) {
    const double x = 30 + i * 22, y = 110 - i * 12;
    cairo_new_path(cr);
    cairo_move_to(cr, x, y + 20);
    cairo_curve_to(cr, x + 4, y + 40, x - 4, y + 60, x + 2, y + 78);
    Outline(cr, 1.0);
    Ellipse(cr, x, y, 11, 14);
    FillRound(cr, i == 1 ? pal::kBlue : i ? pal::kYellow : pal::kRed, x, y, 12);
    Outline(cr, 1.3);
  }
  DrawFarmGirl(cr, 234, 222, 92, 150, GirlMood::kCheer);
  DrawFarmGirl(cr, 60, 224, 80, 30, GirlMood::kWave);
  Close(cr, f);
}

void Feast(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0xF6C98A), Hex(0xFBE3B0), pal::kGrass);
  Bunting(cr, -4, 40, 304, 40, 30, 8);
  Tree(cr, 36, 180, 80, pal::kLeaf, 3);
  Tree(cr, 266, 176, 74, pal::kGrassDark, 8);
  // A long table with a cloth, laden with the farm's best.
  cairo_new_path(cr);
  cairo_rectangle(cr, 20, 172, 260, 48);
  FillLit(cr, pal::kWood, 20, 172, 280, 220);
  Outline(cr, 1.6);
  cairo_new_path(cr);
  cairo_move_to(cr, 14, 160);
  cairo_line_to(cr, 286, 160);
  cairo_line_to(cr, 292, 196);
  for (int i = 0; i <= 12; ++i) cairo_line_to(cr, 292 - i * 23.5, 196 + (i % 2) * 6);
  cairo_close_path(cr);
  FillLit(cr, pal::kWhite, 14, 160, 292, 200, 0.15);
  Outline(cr, 1.5);
  for (int x = 30; x < 280; x += 24) {
    cairo_rectangle(cr, x, 162, 12, 32);
  }
  Source(cr, pal::kRed, 0.35);
  cairo_fill(cr);
  static const char* const kDishes[] = {"bread", "cheese", "pie", "milk", "apple"};
  for (int i = 0; i < 5; ++i) {
    const double size = i == 2 ? 66 : 44;
    if (Emblem e = ProductEmblem(kDishes[i]))
      DrawEmblem(cr, e, 30 + i * 52 + (i > 2 ? 14 : 0) - (i == 2 ? 11 : 0), 166 - size * 0.85, size, 1.6);
  }
  Close(cr, f);
}

void Champion(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0x5DB4EE), pal::kSky, pal::kGrass);
  for (int i = 0; i < 12; ++i) {  // rays behind her
    const double a = i * M_PI / 6;
    cairo_new_path(cr);
    cairo_move_to(cr, 150, 130);
    cairo_line_to(cr, 150 + std::cos(a) * 240, 130 + std::sin(a) * 240);
    cairo_line_to(cr, 150 + std::cos(a + 0.22) * 240, 130 + std::sin(a + 0.22) * 240);
    cairo_close_path(cr);
    Source(cr, pal::kYellow, 0.28);
    cairo_fill(cr);
  }
  Hills(cr, 300, 192, 22, pal::kGrassLight, 10.0);
  // The winners' podium.
  cairo_new_path(cr);
  cairo_rectangle(cr, 96, 190, 108, 34);
  FillLit(cr, pal::kGold, 96, 190, 204, 224, 0.35);
  Outline(cr, 1.8);
  cairo_new_path(cr);
  Star(cr, 150, 207, 11, 5, 5);
  Source(cr, pal::kWhite);
  cairo_fill_preserve(cr);
  Outline(cr, 1.0);
  DrawFarmGirl(cr, 150, 192, 124, 90, GirlMood::kCheer);
  Close(cr, f);
}

// A gold rosette with its ribbons (a 64-pixel stamp).
void Rosette(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, c = w * 0.5;
  for (int side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    cairo_move_to(cr, c + side * w * 0.05, c);
    cairo_line_to(cr, c + side * w * 0.3, w * 0.96);
    cairo_line_to(cr, c + side * w * 0.18, w * 0.88);
    cairo_line_to(cr, c + side * w * 0.08, w * 0.96);
    cairo_close_path(cr);
    FillLit(cr, pal::kRed, c - w * 0.3, c, c + w * 0.3, w, 0.3);
    Outline(cr, w / 40);
  }
  cairo_new_path(cr);
  Blob(cr, c, w * 0.42, w * 0.36, w * 0.36, 14, 0.1, 3);
  FillRound(cr, pal::kBlue, c, w * 0.42, w * 0.36);
  Outline(cr, w / 30);
  cairo_new_path(cr);
  Ellipse(cr, c, w * 0.42, w * 0.24, w * 0.24);
  FillRound(cr, pal::kGold, c, w * 0.42, w * 0.24);
  Outline(cr, w / 40);
  Star(cr, c, w * 0.42, w * 0.14, w * 0.06, 5);
  Source(cr, pal::kWhite);
  cairo_fill(cr);
}

void EndSunset(cairo_t* cr, const ArtFrame& f) {
  Open(cr, f, Hex(0x2E2A5C), Hex(0xF08A5C), Hex(0x5E7A3A));
  Stars(cr, 300, 70, 10, 21);
  Firework(cr, 70, 54, 26, pal::kPink);
  Firework(cr, 230, 44, 30, pal::kYellow);
  Firework(cr, 160, 86, 18, Hex(0x7FE0FF));
  Sun(cr, 150, 186, 30, pal::kOrange);
  Hills(cr, 300, 192, 26, Hex(0x4E6A34), 11.0);
  Barn(cr, 24, 214, 72, Hex(0xB8473C));
  Mill(cr, 248, 214, 30, 0.6);
  Fence(cr, 104, 210, 216, 16);
  Close(cr, f);
}

}  // namespace story

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
  add(kComixSpriteSet, "comix1_farm", story::GrownFarm, 300, 300);
  add(kComixSpriteSet, "comix1_raiders", story::RaidersReturn, 300, 300);
  add(kComixSpriteSet, "comix1_storm", story::HarderSeason, 300, 300);
  add(kComixSpriteSet, "comix1_ready", story::ReadyFarmer, 300, 300);
  add(kComixSpriteSet, "comix1_lock", story::OpenLock, 64, 64);
  add(kComixSpriteSet, "comix2_market", story::Market, 300, 300);
  add(kComixSpriteSet, "comix2_cart", story::CartToTown, 300, 300);
  add(kComixSpriteSet, "comix2_coin", story::Coin, 64, 64);
  add(kComixSpriteSet, "comix2_brute", story::Brute, 300, 300);
  add(kComixSpriteSet, "comix2_ridge", story::Ridge, 300, 300);
  add(kComixSpriteSet, "comix2_bees", story::GuardPlan, 300, 300);
  add(kComixSpriteSet, "comix3_chase", story::BeesChase, 300, 300);
  add(kComixSpriteSet, "comix3_gone", story::RaidersGone, 300, 300);
  add(kComixSpriteSet, "comix3_festival", story::Festival, 300, 300);
  add(kComixSpriteSet, "comix3_feast", story::Feast, 300, 300);
  add(kComixSpriteSet, "comix3_champion", story::Champion, 300, 300);
  add(kComixSpriteSet, "comix3_rosette", story::Rosette, 64, 64);
  add(kComixSpriteSet, "comix3_sunset", story::EndSunset, 300, 300);
  add(kBackSet, "comix_back", Back, 512, 384);
}

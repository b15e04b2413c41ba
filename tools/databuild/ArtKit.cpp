#include "ArtKit.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {
constexpr Rgb kWarmWhite = Hex(0xFFFBEA);
constexpr Rgb kDeep = Hex(0x2A1E2E);
}  // namespace

Rgb Mix(Rgb a, Rgb b, double t) { return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Rgb Lighter(Rgb c, double t) { return Mix(c, kWarmWhite, t); }
Rgb Darker(Rgb c, double t) { return Mix(c, kDeep, t); }

double Rand::Next() {
  state_ = state_ * 1664525u + 1013904223u;
  return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 24);
}

void Source(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
  if (rx <= 0 || ry <= 0) return;
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_close_path(cr);
  cairo_restore(cr);
}

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min({r, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
  cairo_close_path(cr);
}

void Star(cairo_t* cr, double cx, double cy, double outer, double inner, int points, double turnDeg) {
  cairo_new_sub_path(cr);
  for (int i = 0; i < points * 2; ++i) {
    const double a = (turnDeg + 180.0 * i / points) * M_PI / 180;
    const double r = i % 2 == 0 ? outer : inner;
    cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
}

void Blob(cairo_t* cr, double cx, double cy, double rx, double ry, int bumps, double wobble, u32 seed) {
  Rand rnd(seed);
  const int n = std::max(3, bumps);
  double radius[64];
  for (int i = 0; i < n && i < 64; ++i) radius[i] = 1.0 + wobble * (rnd.Next() * 2 - 1);
  auto at = [&](int i, double* x, double* y) {
    const double a = 2 * M_PI * i / n;
    const double k = radius[(i % n + n) % n];
    *x = cx + rx * k * std::cos(a);
    *y = cy + ry * k * std::sin(a);
  };
  // A closed Catmull-Rom curve through the bumps.
  cairo_new_sub_path(cr);
  double x0, y0;
  at(0, &x0, &y0);
  cairo_move_to(cr, x0, y0);
  for (int i = 0; i < n; ++i) {
    double p0x, p0y, p1x, p1y, p2x, p2y, p3x, p3y;
    at(i - 1, &p0x, &p0y);
    at(i, &p1x, &p1y);
    at(i + 1, &p2x, &p2y);
    at(i + 2, &p3x, &p3y);
    cairo_curve_to(cr, p1x + (p2x - p0x) / 6, p1y + (p2y - p0y) / 6, p2x - (p3x - p1x) / 6, p2y - (p3y - p1y) / 6, p2x,
                   p2y);
  }
  cairo_close_path(cr);
}

namespace {

// Light, the colour, shade: the three stops of a lit fill.
void LitStops(cairo_pattern_t* g, Rgb base, Rgb light, Rgb dark, double alpha) {
  cairo_pattern_add_color_stop_rgba(g, 0.0, light.r, light.g, light.b, alpha);
  cairo_pattern_add_color_stop_rgba(g, 0.45, base.r, base.g, base.b, alpha);
  cairo_pattern_add_color_stop_rgba(g, 1.0, dark.r, dark.g, dark.b, alpha);
}

void FillWith(cairo_t* cr, cairo_pattern_t* g) {
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
}

}  // namespace

void FillLit(cairo_t* cr, Rgb base, double x0, double y0, double x1, double y1, double strength, double alpha) {
  cairo_pattern_t* g = cairo_pattern_create_linear(x0, y0, x1, y1);
  LitStops(g, base, Lighter(base, strength), Darker(base, strength * 0.9), alpha);
  FillWith(cr, g);
}

void FillRound(cairo_t* cr, Rgb base, double cx, double cy, double r, double alpha) {
  cairo_pattern_t* g = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, r * 0.1, cx, cy, r * 1.05);
  LitStops(g, base, Lighter(base, 0.45), Darker(base, 0.3), alpha);
  FillWith(cr, g);
}

void Outline(cairo_t* cr, double width, Rgb c, double alpha) {
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, width);
  Source(cr, c, alpha);
  cairo_stroke(cr);
}

void Rod(cairo_t* cr, double width, Rgb c, double outline) {
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, width + outline * 2);
  Source(cr, pal::kOutline);
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, width);
  Source(cr, c);
  cairo_stroke(cr);
}

void SoftEllipse(cairo_t* cr, double cx, double cy, double rx, double ry, Rgb c, double alpha, double at, double keep) {
  if (rx <= 0 || ry <= 0) return;
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_pattern_t* g = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
  cairo_pattern_add_color_stop_rgba(g, 0.0, c.r, c.g, c.b, alpha);
  cairo_pattern_add_color_stop_rgba(g, at, c.r, c.g, c.b, alpha * keep);
  cairo_pattern_add_color_stop_rgba(g, 1.0, c.r, c.g, c.b, 0);
  cairo_set_source(cr, g);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_restore(cr);
}

void GroundShadow(cairo_t* cr, double cx, double cy, double rx, double ry, double alpha) {
  SoftEllipse(cr, cx + rx * 0.08, cy + ry * 0.1, rx, ry, Rgb{0.16, 0.1, 0.12}, alpha);
}

void Gleam(cairo_t* cr, double x, double y, double rx, double ry, double alpha) {
  cairo_save(cr);
  Ellipse(cr, x, y, rx, ry);
  Source(cr, pal::kWhite, alpha);
  cairo_fill(cr);
  cairo_restore(cr);
}

void PaintHaloed(cairo_t* cr, cairo_pattern_t* shape, double line, u32 frame) {
  if (frame == 0) cairo_push_group(cr);
  for (int k = 0; k < 8; ++k) {
    const double a = k * M_PI / 4;
    cairo_save(cr);
    cairo_translate(cr, std::cos(a) * line * 1.2, std::sin(a) * line * 1.2);
    Source(cr, pal::kWhite, 0.9);
    cairo_mask(cr, shape);
    cairo_restore(cr);
  }
  cairo_set_source(cr, shape);
  cairo_paint(cr);
  if (frame == 2) {
    Source(cr, pal::kWhite, 0.3);
    cairo_mask(cr, shape);
  }
  if (frame == 0) {
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, 0.45);
  }
}

TileNoise::TileNoise(u32 seed, int cellsX, int cellsY) : seed_(seed), cellsX_(cellsX), cellsY_(cellsY) {}

double TileNoise::Cell(int x, int y) const {
  x = ((x % cellsX_) + cellsX_) % cellsX_;
  y = ((y % cellsY_) + cellsY_) % cellsY_;
  u32 h = seed_ * 0x9E3779B9u ^ static_cast<u32>(x) * 0x85EBCA6Bu ^ static_cast<u32>(y) * 0xC2B2AE35u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return (h & 0xFFFFFF) / static_cast<double>(0xFFFFFF);
}

double TileNoise::At(double x, double y) const {
  const double u = x * cellsX_, v = y * cellsY_;
  const int i = static_cast<int>(std::floor(u)), j = static_cast<int>(std::floor(v));
  double fu = u - i, fv = v - j;
  fu = fu * fu * (3 - 2 * fu);
  fv = fv * fv * (3 - 2 * fv);
  const double a = Cell(i, j), b = Cell(i + 1, j), c = Cell(i, j + 1), d = Cell(i + 1, j + 1);
  return (a + (b - a) * fu) + ((c + (d - c) * fu) - (a + (b - a) * fu)) * fv;
}

double TileNoise::Fractal(double x, double y, int octaves) const {
  double sum = 0, weight = 1, total = 0;
  for (int o = 0; o < octaves; ++o) {
    const TileNoise layer(seed_ + 101u * static_cast<u32>(o), cellsX_ << o, cellsY_ << o);
    sum += layer.At(x, y) * weight;
    total += weight;
    weight *= 0.5;
  }
  return sum / total;
}

void GrassTuft(cairo_t* cr, double x, double y, double size, u32 seed, Rgb colour) {
  Rand rnd(seed);
  const int blades = 4 + static_cast<int>(rnd.Next() * 3);
  cairo_save(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int pass = 0; pass < 2; ++pass) {
    Rand r(seed);
    for (int i = 0; i < blades; ++i) {
      const double spread = (i - (blades - 1) / 2.0) / blades;
      const double lean = spread * 1.4 + r.Range(-0.2, 0.2);
      const double h = size * r.Range(0.65, 1.0) * (1 - std::fabs(spread) * 0.5);
      const double bx = x + spread * size * 0.5;
      cairo_move_to(cr, bx, y);
      cairo_curve_to(cr, bx + lean * h * 0.2, y - h * 0.5, bx + lean * h * 0.5, y - h * 0.8, bx + lean * h * 0.75,
                     y - h);
      if (pass == 0) {
        cairo_set_line_width(cr, std::max(1.0, size * 0.22));
        Source(cr, Darker(colour, 0.35), 0.9);
      } else {
        cairo_set_line_width(cr, std::max(0.8, size * 0.12));
        Source(cr, spread < 0.05 ? Lighter(colour, 0.3) : colour);
      }
      cairo_stroke(cr);
    }
  }
  cairo_restore(cr);
}

void Pebble(cairo_t* cr, double x, double y, double size, u32 seed, Rgb colour) {
  const double rx = size / 2, ry = size * 0.32;
  GroundShadow(cr, x + rx * 0.15, y + ry * 0.3, rx * 1.1, ry * 0.9, 0.28);
  Blob(cr, x, y - ry * 0.4, rx, ry, 7, 0.12, seed);
  FillRound(cr, colour, x, y - ry * 0.4, rx);
  Outline(cr, std::max(0.8, size * 0.09), Darker(colour, 0.55), 0.85);
}

void Flower(cairo_t* cr, double x, double y, double size, Rgb petals, Rgb heart) {
  cairo_save(cr);
  cairo_move_to(cr, x, y);
  cairo_line_to(cr, x + size * 0.05, y - size * 0.7);
  cairo_set_line_width(cr, std::max(0.8, size * 0.12));
  Source(cr, pal::kGrassDark);
  cairo_stroke(cr);
  const double cx = x + size * 0.05, cy = y - size * 0.75, r = size * 0.3;
  for (int i = 0; i < 5; ++i) {
    const double a = (i * 72 - 90) * M_PI / 180;
    Ellipse(cr, cx + std::cos(a) * r * 0.75, cy + std::sin(a) * r * 0.65, r * 0.55, r * 0.45);
  }
  FillLit(cr, petals, cx - r, cy - r, cx + r, cy + r, 0.25);
  Outline(cr, std::max(0.6, size * 0.06), Darker(petals, 0.5), 0.7);
  Ellipse(cr, cx, cy, r * 0.38, r * 0.34);
  FillRound(cr, heart, cx, cy, r * 0.4);
  cairo_new_path(cr);
  cairo_restore(cr);
}

}  // namespace art

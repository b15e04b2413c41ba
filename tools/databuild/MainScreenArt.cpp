// The main screen's pictures (set 13): a farm valley at dawn painted in
// layers that the screen sways apart (the sky with the rising sun, far
// hills, the farm with its barn, house, silo and trees, a meadow of flowers
// in front), a soft ray of light, and the farm girl of the title as a
// jointed bust: her body, head (pivot at the neck), raised arm and waving
// hand, eyes (open, closed) and mouth (calm, smiling). Also the padlock and
// chain the main menu hangs over "hard" (set 1; the padlock gleams).
#include <cmath>
#include <functional>
#include <string>

#include "ArtBook.h"
#include "ArtKit.h"

namespace {

using art::Rgb;
namespace pal = art::pal;

constexpr u32 kSceneSet = 13;
constexpr Rgb kDawnTop = art::Hex(0x5B6FB8);
constexpr Rgb kDawnMid = art::Hex(0xF6A9A0);
constexpr Rgb kDawnLow = art::Hex(0xFFD98A);
constexpr Rgb kHillFar = art::Hex(0x8FA9C8);
constexpr Rgb kHillNear = art::Hex(0x77B06A);
constexpr Rgb kGingham = art::Hex(0xD9443A);

ArtPiece MsScenePiece(std::function<void(cairo_t*, const ArtFrame&)> draw, u32 w, u32 h, u32 frames = 1) {
  ArtPiece p;
  p.draw = std::move(draw);
  p.layout = FrameLayout{frames, frames};
  p.width = w;
  p.height = h;
  return p;
}

void MsSky(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(g, 0, kDawnTop.r, kDawnTop.g, kDawnTop.b);
  cairo_pattern_add_color_stop_rgb(g, 0.55, kDawnMid.r, kDawnMid.g, kDawnMid.b);
  cairo_pattern_add_color_stop_rgb(g, 0.85, kDawnLow.r, kDawnLow.g, kDawnLow.b);
  cairo_pattern_add_color_stop_rgb(g, 1, 1.0, 0.95, 0.8);
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  // The sun rising behind the hills, with its glow.
  const double sx = w * 0.62, sy = h * 0.8;
  art::SoftEllipse(cr, sx, sy, w * 0.3, h * 0.45, pal::kWhite, 0.45, 0.3, 0.5);
  art::Ellipse(cr, sx, sy, h * 0.09, h * 0.09);
  art::Source(cr, art::Hex(0xFFF6C8));
  cairo_fill(cr);
  // Clouds lit pink from below.
  art::Rand r(1313);
  for (int k = 0; k < 7; ++k) {
    const double cx = w * (0.05 + k * 0.15 + r.Range(-0.03, 0.03)), cy = h * r.Range(0.15, 0.5);
    const double rx = w * r.Range(0.05, 0.09), ry = h * r.Range(0.03, 0.05);
    art::Blob(cr, cx, cy, rx, ry, 6, 0.25, 40 + k);
    cairo_pattern_t* c = cairo_pattern_create_linear(0, cy - ry, 0, cy + ry);
    cairo_pattern_add_color_stop_rgba(c, 0, 1, 0.98, 0.95, 0.85);
    cairo_pattern_add_color_stop_rgba(c, 1, 0.98, 0.7, 0.72, 0.85);
    cairo_set_source(cr, c);
    cairo_fill(cr);
    cairo_pattern_destroy(c);
  }
}

// A range of hills: a smooth ridge across the picture from `top`, with a
// wave of `waves` bumps.
void MsRidge(cairo_t* cr, double w, double h, double top, double amp, double waves, double phase, Rgb c, Rgb lit) {
  cairo_move_to(cr, 0, h);
  for (int x = 0; x <= 64; ++x) {
    const double t = x / 64.0;
    cairo_line_to(cr, t * w, top + amp * (0.5 + 0.5 * std::sin(t * waves * 2 * M_PI + phase)) +
                                 amp * 0.3 * std::sin(t * waves * 5.3 + phase * 2));
  }
  cairo_line_to(cr, w, h);
  cairo_close_path(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, top, 0, h);
  cairo_pattern_add_color_stop_rgb(g, 0, lit.r, lit.g, lit.b);
  cairo_pattern_add_color_stop_rgb(g, 0.6, c.r, c.g, c.b);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

void MsHills(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  MsRidge(cr, w, h, h * 0.05, h * 0.3, 1.6, 0.4, kHillFar, art::Mix(kHillFar, kDawnMid, 0.5));
  MsRidge(cr, w, h, h * 0.35, h * 0.25, 2.3, 2.0, art::Mix(kHillFar, kHillNear, 0.55), art::Mix(kHillNear, kDawnLow, 0.4));
  // A row of far trees on the nearer ridge.
  art::Rand r(77);
  for (int k = 0; k < 26; ++k) {
    const double x = w * r.Next(), y = h * (0.62 + 0.12 * std::sin(x / w * 2.3 * 2 * M_PI + 2.0));
    art::Ellipse(cr, x, y, 9 + 6 * r.Next(), 12 + 6 * r.Next());
    art::Source(cr, art::Mix(kHillNear, kHillFar, 0.45), 0.9);
    cairo_fill(cr);
  }
}

void MsBarn(cairo_t* cr, double x, double y, double s) {
  // Body with a roof; x, y the bottom left.
  const double w = 150 * s, hb = 90 * s, roof = 70 * s;
  cairo_rectangle(cr, x, y - hb, w, hb);
  art::FillLit(cr, pal::kRed, x, y - hb, x + w, y, 0.35);
  art::Outline(cr, 3);
  cairo_move_to(cr, x - 10 * s, y - hb + 4);
  cairo_line_to(cr, x + w * 0.22, y - hb - roof * 0.7);
  cairo_line_to(cr, x + w * 0.5, y - hb - roof);
  cairo_line_to(cr, x + w * 0.78, y - hb - roof * 0.7);
  cairo_line_to(cr, x + w + 10 * s, y - hb + 4);
  cairo_close_path(cr);
  art::FillLit(cr, art::Hex(0x8A3A2C), x, y - hb - roof, x + w, y - hb, 0.3);
  art::Outline(cr, 3);
  // The door with its white cross.
  const double dx = x + w * 0.32, dw = w * 0.36, dh = hb * 0.72;
  cairo_rectangle(cr, dx, y - dh, dw, dh);
  art::FillLit(cr, art::Darker(pal::kRed, 0.25), dx, y - dh, dx + dw, y);
  art::Outline(cr, 2.5);
  cairo_move_to(cr, dx, y - dh);
  cairo_line_to(cr, dx + dw, y);
  cairo_move_to(cr, dx + dw, y - dh);
  cairo_line_to(cr, dx, y);
  art::Source(cr, pal::kWhite);
  cairo_set_line_width(cr, 4 * s);
  cairo_stroke(cr);
  cairo_rectangle(cr, x + w * 0.42, y - hb - roof * 0.6, w * 0.16, roof * 0.3);
  art::Source(cr, art::Hex(0xFFE9A0));
  cairo_fill_preserve(cr);
  art::Outline(cr, 2);
}

void MsHouse(cairo_t* cr, double x, double y, double s) {
  const double w = 110 * s, hb = 70 * s;
  cairo_rectangle(cr, x, y - hb, w, hb);
  art::FillLit(cr, pal::kShirt, x, y - hb, x + w, y, 0.3);
  art::Outline(cr, 3);
  cairo_move_to(cr, x - 8 * s, y - hb + 2);
  cairo_line_to(cr, x + w / 2, y - hb - 50 * s);
  cairo_line_to(cr, x + w + 8 * s, y - hb + 2);
  cairo_close_path(cr);
  art::FillLit(cr, art::Hex(0x4C6FB0), x, y - hb - 50 * s, x + w, y - hb, 0.3);
  art::Outline(cr, 3);
  cairo_rectangle(cr, x + w * 0.66, y - hb - 48 * s, 12 * s, 30 * s);  // the chimney
  art::FillLit(cr, pal::kStoneDark, x + w * 0.66, y - hb - 48 * s, x + w * 0.66 + 12 * s, y - hb);
  art::Outline(cr, 2);
  for (const double wx : {0.14, 0.62}) {
    cairo_rectangle(cr, x + w * wx, y - hb * 0.75, w * 0.22, hb * 0.32);
    art::Source(cr, art::Hex(0xFFD873));  // lamps still lit at dawn
    cairo_fill_preserve(cr);
    art::Outline(cr, 2);
  }
  cairo_rectangle(cr, x + w * 0.42, y - hb * 0.55, w * 0.16, hb * 0.55);
  art::FillLit(cr, pal::kWood, x, y - hb, x + w, y);
  art::Outline(cr, 2);
}

void MsTree(cairo_t* cr, double x, double y, double s, u32 seed) {
  cairo_move_to(cr, x, y);
  cairo_line_to(cr, x, y - 50 * s);
  art::Rod(cr, 9 * s, pal::kWoodDark, 2);
  art::Blob(cr, x, y - 80 * s, 42 * s, 44 * s, 8, 0.15, seed);
  art::FillLit(cr, pal::kLeaf, x - 42 * s, y - 124 * s, x + 42 * s, y - 36 * s, 0.4);
  art::Outline(cr, 2.5);
  art::Gleam(cr, x - 14 * s, y - 100 * s, 10 * s, 6 * s, 0.35);
}

void MsFarm(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  // The meadow the farm stands on, with field rows on the right.
  cairo_move_to(cr, 0, h * 0.45);
  cairo_curve_to(cr, w * 0.3, h * 0.32, w * 0.6, h * 0.42, w, h * 0.36);
  cairo_line_to(cr, w, h);
  cairo_line_to(cr, 0, h);
  cairo_close_path(cr);
  art::FillLit(cr, pal::kGrass, 0, h * 0.3, w, h, 0.35);
  for (int row = 0; row < 7; ++row) {
    const double y0 = h * (0.5 + row * 0.06);
    cairo_move_to(cr, w * 0.58, y0);
    cairo_curve_to(cr, w * 0.7, y0 - 8, w * 0.85, y0 + 4, w, y0 - 6);
    art::Source(cr, row % 2 ? pal::kStraw : art::Darker(pal::kGrass, 0.15), 0.9);
    cairo_set_line_width(cr, h * 0.03);
    cairo_stroke(cr);
  }
  // The fence along the lane.
  for (int k = 0; k < 22; ++k) {
    const double px = w * 0.04 + k * 26, py = h * 0.74 - k * 2.2;
    cairo_move_to(cr, px, py);
    cairo_line_to(cr, px, py - 22);
    art::Rod(cr, 4, pal::kWood, 1.2);
  }
  cairo_move_to(cr, w * 0.04, h * 0.74 - 14);
  cairo_line_to(cr, w * 0.04 + 21 * 26, h * 0.74 - 21 * 2.2 - 14);
  art::Rod(cr, 3.5, pal::kWood, 1.2);
  // The silo, the barn and the house, lit from the left.
  const double sx = w * 0.52, sy = h * 0.52;
  cairo_rectangle(cr, sx, sy - 120, 36, 120);
  art::FillLit(cr, pal::kStone, sx, sy - 120, sx + 36, sy, 0.4);
  art::Outline(cr, 3);
  art::Ellipse(cr, sx + 18, sy - 120, 18, 14);
  art::FillRound(cr, pal::kMetal, sx + 18, sy - 124, 18);
  art::Outline(cr, 3);
  MsBarn(cr, w * 0.33, h * 0.6, 0.95);
  MsHouse(cr, w * 0.62, h * 0.5, 1.0);
  MsTree(cr, w * 0.27, h * 0.55, 1.0, 5);
  MsTree(cr, w * 0.82, h * 0.48, 0.8, 9);
  MsTree(cr, w * 0.92, h * 0.5, 1.1, 13);
  art::Rand r(31);
  for (int k = 0; k < 40; ++k) art::GrassTuft(cr, w * r.Next(), h * r.Range(0.6, 1.0), 8 + 6 * r.Next(), 100 + k);
}

void MsMeadow(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  cairo_move_to(cr, 0, h * 0.35);
  cairo_curve_to(cr, w * 0.35, h * 0.15, w * 0.7, h * 0.4, w, h * 0.25);
  cairo_line_to(cr, w, h);
  cairo_line_to(cr, 0, h);
  cairo_close_path(cr);
  art::FillLit(cr, pal::kGrassDark, 0, h * 0.2, w, h, 0.3);
  art::Rand r(97);
  for (int k = 0; k < 70; ++k)
    art::GrassTuft(cr, w * r.Next(), h * r.Range(0.35, 1.0), 16 + 10 * r.Next(), 300 + k, pal::kGrass);
  const Rgb colours[] = {pal::kPink, pal::kWhite, pal::kYellow, pal::kPurple};
  for (int k = 0; k < 36; ++k)
    art::Flower(cr, w * r.Next(), h * r.Range(0.4, 1.0), 10 + 8 * r.Next(), colours[k % 4]);
}

// The bush in the scene's bottom-left corner, in front of the girl: leafy
// clumps, lit from the top right, with a few flowers. Its right side is
// rounded, its left and bottom run off the picture (and the screen).
void MsBush(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  struct Clump {
    double x, y, r;
  };
  const Clump clumps[] = {{40, 160, 80},  {130, 120, 82}, {228, 132, 80}, {318, 190, 94},
                          {60, 270, 110}, {190, 260, 120}, {320, 290, 90}, {150, 320, 90}};
  // The outline first, then the leaves over it: only the outer edge shows.
  for (const Clump& c : clumps) {
    art::Ellipse(cr, c.x, c.y, c.r, c.r);
    art::Outline(cr, 7);
  }
  const Rgb deep = art::Darker(pal::kLeaf, 0.22);
  for (const Clump& c : clumps) {
    art::Ellipse(cr, c.x, c.y, c.r, c.r);
    art::FillLit(cr, deep, c.x - c.r, c.y - c.r, c.x + c.r, c.y + c.r, 0.3);
    cairo_new_path(cr);
  }
  // Leaf clumps inside (kept within the bush), lighter towards the top.
  cairo_save(cr);
  for (const Clump& c : clumps) cairo_new_sub_path(cr), cairo_arc(cr, c.x, c.y, c.r - 2, 0, 2 * M_PI);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_clip(cr);
  art::Rand r(131);
  for (int k = 0; k < 40; ++k) {
    const double x = 30 + (w - 130) * r.Next(), y = 90 + (h - 110) * r.Next();
    const double size = 20 + 16 * r.Next();
    art::Ellipse(cr, x, y, size, size * 0.8);
    // A deep green, the "Credits" caption's white standing out on it.
    const Rgb leaf = art::Darker(art::Mix(pal::kLeaf, pal::kGrass, y < h * 0.5 ? 0.7 : 0.2), 0.35);
    art::FillLit(cr, leaf, x - size, y - size, x + size, y + size, 0.3);
    cairo_new_path(cr);
    cairo_arc(cr, x, y + size * 0.1, size * 0.85, M_PI * 0.15, M_PI * 0.85);
    art::Outline(cr, 2, deep, 0.8);
  }
  cairo_restore(cr);
  const Rgb colours[] = {pal::kPink, pal::kWhite, pal::kYellow};
  for (int k = 0; k < 9; ++k)
    art::Flower(cr, 40 + 300 * r.Next(), 100 + 170 * r.Next(), 12 + 6 * r.Next(), colours[k % 3]);
}

// A soft beam of light, brightest along its middle and at its top.
void MsRay(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  cairo_pattern_t* across = cairo_pattern_create_linear(0, 0, w, 0);
  cairo_pattern_add_color_stop_rgba(across, 0, 1, 0.97, 0.85, 0);
  cairo_pattern_add_color_stop_rgba(across, 0.5, 1, 0.97, 0.85, 0.8);
  cairo_pattern_add_color_stop_rgba(across, 1, 1, 0.97, 0.85, 0);
  cairo_pattern_t* along = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgba(along, 0, 0, 0, 0, 1);
  cairo_pattern_add_color_stop_rgba(along, 1, 0, 0, 0, 0);
  cairo_set_source(cr, across);
  cairo_mask(cr, along);
  cairo_pattern_destroy(across);
  cairo_pattern_destroy(along);
}

// --- The girl: a bust at 1:1, her neck at (160, 17) of the body picture,
// her left shoulder (the raised arm's) at (267, 143); her shirt and
// overalls run down to the picture's bottom, which the scene puts below
// the screen's bottom edge.

void MsGingham(cairo_t* cr, double x0, double y0, double x1, double y1) {
  // Checks over the current path (kept as the clip while drawn).
  cairo_save(cr);
  cairo_clip_preserve(cr);
  art::FillLit(cr, kGingham, x0, y0, x1, y1, 0.3);
  cairo_new_path(cr);
  for (double x = x0; x < x1; x += 16) {
    cairo_rectangle(cr, x, y0, 7, y1 - y0);
    art::Source(cr, pal::kWhite, 0.3);
    cairo_fill(cr);
  }
  for (double y = y0; y < y1; y += 16) {
    cairo_rectangle(cr, x0, y, x1 - x0, 7);
    art::Source(cr, pal::kWhite, 0.3);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void MsGirlBody(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  // Neck.
  cairo_rectangle(cr, 140, 0, 40, 40);
  art::FillLit(cr, pal::kSkin, 140, 0, 180, 40);
  art::Outline(cr, 3);
  // Shirt: shoulders and sleeves.
  const auto shirt = [&] {
    cairo_move_to(cr, 20, h);
    cairo_curve_to(cr, 18, 200, 30, 140, 70, 128);
    cairo_curve_to(cr, 110, 110, 140, 30, 160, 30);
    cairo_curve_to(cr, 180, 30, 220, 110, 262, 128);
    cairo_curve_to(cr, 300, 140, 304, 200, 300, h);
    cairo_close_path(cr);
  };
  shirt();
  MsGingham(cr, 0, 0, w, h);
  cairo_new_path(cr);
  shirt();
  art::Outline(cr, 3.5);
  // The collar.
  cairo_move_to(cr, 128, 44);
  cairo_line_to(cr, 160, 82);
  cairo_line_to(cr, 192, 44);
  art::Source(cr, pal::kWhite);
  cairo_set_line_width(cr, 10);
  cairo_stroke_preserve(cr);
  art::Outline(cr, 2);
  // Overalls: the bib and the straps.
  cairo_move_to(cr, 95, h);
  cairo_line_to(cr, 100, 240);
  cairo_line_to(cr, 220, 240);
  cairo_line_to(cr, 225, h);
  cairo_close_path(cr);
  art::FillLit(cr, pal::kDenim, 95, 240, 225, h, 0.35);
  art::Outline(cr, 3);
  for (const double sx : {112.0, 208.0}) {
    cairo_move_to(cr, sx, 244);
    cairo_line_to(cr, sx + (sx < 160 ? -12 : 12), 118);
    art::Rod(cr, 14, pal::kDenim, 2);
    art::Ellipse(cr, sx, 250, 7, 7);
    art::FillRound(cr, pal::kGold, sx, 250, 7);
    art::Outline(cr, 1.5);
  }
  cairo_rectangle(cr, 130, 280, 60, 44);  // the bib's pocket
  art::FillLit(cr, art::Darker(pal::kDenim, 0.12), 130, 280, 190, 324);
  art::Outline(cr, 2);
  // Her other arm hangs down the left: a checked sleeve to the elbow, the
  // bare forearm below it, a hand at the bottom.
  cairo_move_to(cr, 46, 300);
  cairo_curve_to(cr, 40, 350, 46, 390, 56, 420);
  art::Rod(cr, 30, pal::kSkin, 2.5);
  cairo_move_to(cr, 58, 150);
  cairo_curve_to(cr, 36, 220, 40, 270, 46, 310);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 46);
  art::Source(cr, pal::kOutline);
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, 40);
  cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 16, 16);
  cairo_t* t = cairo_create(tile);
  art::Source(t, kGingham);
  cairo_paint(t);
  cairo_rectangle(t, 0, 0, 7, 16);
  cairo_rectangle(t, 0, 0, 16, 7);
  art::Source(t, pal::kWhite, 0.3);
  cairo_fill(t);
  cairo_destroy(t);
  cairo_pattern_t* checks = cairo_pattern_create_for_surface(tile);
  cairo_pattern_set_extend(checks, CAIRO_EXTEND_REPEAT);
  cairo_set_source(cr, checks);
  cairo_stroke(cr);
  cairo_pattern_destroy(checks);
  cairo_surface_destroy(tile);
  art::Ellipse(cr, 58, 438, 20, 24);
  art::FillRound(cr, pal::kSkin, 58, 438, 22);
  art::Outline(cr, 2.5);
}

// Her head, the neck's pivot at (143, 139); she looks to the right.
void MsGirlHead(cairo_t* cr, const ArtFrame&) {
  // Braids behind.
  for (const double bx : {92.0, 214.0}) {
    cairo_move_to(cr, bx, 110);
    cairo_curve_to(cr, bx - 6, 150, bx + 4, 180, bx - 2, 210);
    art::Rod(cr, 20, pal::kHair, 2.5);
    art::Ellipse(cr, bx - 2, 214, 9, 6);
    art::Source(cr, pal::kRed);
    cairo_fill(cr);
  }
  // The face.
  art::Ellipse(cr, 160, 98, 66, 64);
  art::FillRound(cr, pal::kSkin, 160, 98, 66);
  art::Outline(cr, 3.5);
  // Cheeks.
  art::SoftEllipse(cr, 128, 118, 14, 9, pal::kPink, 0.6);
  art::SoftEllipse(cr, 198, 118, 14, 9, pal::kPink, 0.6);
  // The fringe under the hat.
  cairo_move_to(cr, 96, 78);
  cairo_curve_to(cr, 120, 50, 200, 46, 224, 80);
  cairo_curve_to(cr, 200, 66, 180, 76, 164, 62);
  cairo_curve_to(cr, 150, 74, 120, 70, 96, 78);
  cairo_close_path(cr);
  art::FillLit(cr, pal::kHair, 96, 46, 224, 80);
  art::Outline(cr, 2.5);
  // The straw hat with its ribbon.
  art::Ellipse(cr, 160, 52, 112, 26);
  art::FillLit(cr, pal::kStraw, 48, 26, 272, 78, 0.35);
  art::Outline(cr, 3);
  cairo_move_to(cr, 100, 50);
  cairo_curve_to(cr, 104, 0, 216, 0, 220, 50);
  cairo_close_path(cr);
  art::FillLit(cr, pal::kStraw, 100, 6, 220, 50, 0.35);
  art::Outline(cr, 3);
  cairo_move_to(cr, 101, 42);
  cairo_curve_to(cr, 140, 50, 180, 50, 219, 42);
  art::Source(cr, pal::kRed);
  cairo_set_line_width(cr, 9);
  cairo_stroke(cr);
  art::Flower(cr, 206, 44, 20, pal::kWhite);
  // The nose.
  cairo_move_to(cr, 170, 100);
  cairo_curve_to(cr, 176, 106, 174, 110, 168, 111);
  art::Outline(cr, 2, art::Darker(pal::kSkin, 0.35));
}

// The eyes, their picture's origin at (-15, -73) from the neck: frame 0
// open, frame 1 closed (a blink).
void MsGirlEyes(cairo_t* cr, const ArtFrame& f) {
  for (const double ex : {22.0, 68.0}) {
    if (f.index == 0) {
      art::Ellipse(cr, ex, 16, 8, 11);
      art::Source(cr, pal::kWhite);
      cairo_fill_preserve(cr);
      art::Outline(cr, 2);
      art::Ellipse(cr, ex + 2, 17, 5.5, 7.5);
      art::Source(cr, art::Hex(0x4B7A3A));
      cairo_fill(cr);
      art::Ellipse(cr, ex + 2, 18, 3, 4);
      art::Source(cr, pal::kOutline);
      cairo_fill(cr);
      art::Gleam(cr, ex, 13, 2, 2, 0.9);
    } else {
      cairo_move_to(cr, ex - 9, 16);
      cairo_curve_to(cr, ex - 4, 22, ex + 4, 22, ex + 9, 16);
      art::Outline(cr, 2.5);
    }
    // The brows.
    cairo_move_to(cr, ex - 9, 2);
    cairo_curve_to(cr, ex - 3, -1 + 1, ex + 3, 0, ex + 9, 3);
    art::Outline(cr, 2.5, pal::kHair);
  }
}

// The mouth, its origin at (15, -24) from the neck: frame 0 calm, frame 1 a
// wide smile.
void MsGirlMouth(cairo_t* cr, const ArtFrame& f) {
  if (f.index == 0) {
    cairo_move_to(cr, 8, 8);
    cairo_curve_to(cr, 14, 13, 22, 13, 28, 8);
    art::Outline(cr, 2.5, art::Darker(pal::kRed, 0.3));
    return;
  }
  cairo_move_to(cr, 4, 5);
  cairo_curve_to(cr, 12, 22, 26, 22, 34, 5);
  cairo_close_path(cr);
  art::Source(cr, art::Darker(pal::kRed, 0.2));
  cairo_fill_preserve(cr);
  art::Outline(cr, 2);
  cairo_move_to(cr, 8, 7);
  cairo_line_to(cr, 30, 7);
  cairo_line_to(cr, 28, 10);
  cairo_line_to(cr, 10, 10);
  cairo_close_path(cr);
  art::Source(cr, pal::kWhite);
  cairo_fill(cr);
}

// The raised upper arm from the shoulder (18, 72) to the elbow (54, 12).
void MsGirlArm(cairo_t* cr, const ArtFrame&) {
  cairo_move_to(cr, 18, 72);
  cairo_line_to(cr, 54, 12);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  art::Source(cr, pal::kOutline);
  cairo_set_line_width(cr, 34);  // the round ends stay inside the picture
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, 28);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 72, 90);
  cairo_pattern_add_color_stop_rgb(g, 0, art::Lighter(kGingham, 0.25).r, art::Lighter(kGingham, 0.25).g,
                                   art::Lighter(kGingham, 0.25).b);
  cairo_pattern_add_color_stop_rgb(g, 1, kGingham.r, kGingham.g, kGingham.b);
  cairo_set_source(cr, g);
  cairo_stroke(cr);
  cairo_pattern_destroy(g);
}

// The forearm and the open hand from the elbow (9, 54) up and to the right.
void MsGirlHand(cairo_t* cr, const ArtFrame&) {
  cairo_move_to(cr, 9, 54);
  cairo_line_to(cr, 40, 30);
  art::Rod(cr, 13, pal::kSkin, 2);
  // The palm and four fingers spread in a wave, the thumb to the left.
  art::Ellipse(cr, 48, 24, 15, 14);
  art::FillRound(cr, pal::kSkin, 48, 24, 15);
  art::Outline(cr, 2.5);
  for (int k = 0; k < 4; ++k) {
    const double a = -1.9 + k * 0.32;
    cairo_move_to(cr, 48 + std::cos(a) * 10, 24 + std::sin(a) * 10);
    cairo_line_to(cr, 48 + std::cos(a) * 18, 24 + std::sin(a) * 18);
    art::Rod(cr, 6.5, pal::kSkin, 2);
  }
  cairo_move_to(cr, 38, 26);
  cairo_line_to(cr, 30, 16);
  art::Rod(cr, 6.5, pal::kSkin, 2);
}

// --- The menu's lock on "hard".

// A padlock whose shackle gleams now and then: frame k of 8 moves a glint
// across its body.
void MsPadlock(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  cairo_move_to(cr, w * 0.28, h * 0.5);
  cairo_line_to(cr, w * 0.28, h * 0.3);
  cairo_curve_to(cr, w * 0.28, h * 0.02, w * 0.72, h * 0.02, w * 0.72, h * 0.3);
  cairo_line_to(cr, w * 0.72, h * 0.5);
  art::Rod(cr, w * 0.1, pal::kSilver, 1.5);
  art::RoundRect(cr, w * 0.1, h * 0.44, w * 0.8, h * 0.52, w * 0.12);
  art::FillLit(cr, pal::kGold, w * 0.1, h * 0.44, w * 0.9, h * 0.96, 0.4);
  art::Outline(cr, 2);
  art::Ellipse(cr, w * 0.5, h * 0.64, w * 0.08, w * 0.08);
  art::Source(cr, pal::kOutline);
  cairo_fill(cr);
  cairo_move_to(cr, w * 0.5, h * 0.66);
  cairo_line_to(cr, w * 0.5, h * 0.82);
  art::Outline(cr, w * 0.07);
  const double t = f.count > 1 ? static_cast<double>(f.index) / (f.count - 1) : 0;
  if (f.index > 0 && f.index + 1 < f.count) art::Gleam(cr, w * (0.15 + 0.7 * t), h * (0.5 + 0.35 * t), w * 0.08, w * 0.05, 0.9);
}

// The chain across the button: links along a sagging line.
void MsLockChain(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  const int links = 7;
  for (int k = 0; k < links; ++k) {
    const double t = (k + 0.5) / links;
    const double x = w * t, y = h * 0.35 + h * 0.4 * std::sin(t * M_PI);
    const bool side = k % 2 == 1;
    art::Ellipse(cr, x, y, side ? w / links * 0.3 : w / links * 0.62, side ? h * 0.3 : h * 0.22);
    art::Source(cr, pal::kOutline);
    cairo_set_line_width(cr, side ? 5 : 6.5);
    cairo_stroke_preserve(cr);
    art::Source(cr, art::Mix(pal::kStone, pal::kMetal, 0.5));
    cairo_set_line_width(cr, side ? 2.5 : 3.5);
    cairo_stroke(cr);
  }
}

}  // namespace

void AddMainScreenArt(ArtBook& book) {
  book.Add(kSceneSet, "ms_sky", MsScenePiece(MsSky, 1024, 512));
  book.Add(kSceneSet, "ms_hills", MsScenePiece(MsHills, 1024, 192));
  book.Add(kSceneSet, "ms_farm", MsScenePiece(MsFarm, 1024, 320));
  book.Add(kSceneSet, "ms_meadow", MsScenePiece(MsMeadow, 1024, 192));
  book.Add(kSceneSet, "ms_ray", MsScenePiece(MsRay, 32, 128));
  book.Add(kSceneSet, "ms_bush", MsScenePiece(MsBush, 416, 320));
  book.Add(kSceneSet, "girl_body", MsScenePiece(MsGirlBody, 320, 544));
  book.Add(kSceneSet, "girl_head", MsScenePiece(MsGirlHead, 288, 240));
  book.Add(kSceneSet, "girl_arm", MsScenePiece(MsGirlArm, 80, 96));
  book.Add(kSceneSet, "girl_hand", MsScenePiece(MsGirlHand, 80, 64));
  book.Add(kSceneSet, "girl_eyes", MsScenePiece(MsGirlEyes, 96, 32, 2));
  book.Add(kSceneSet, "girl_mouth", MsScenePiece(MsGirlMouth, 40, 24, 2));
  ArtPiece lock = MsScenePiece(MsPadlock, 40, 48, 8);
  lock.animated = true;
  lock.mode = 2;
  lock.frameMs = 90;
  book.Add(1, "lock", lock);
  book.Add(1, "lock_chain", MsScenePiece(MsLockChain, 72, 40));
}

// What stands on a level's places (set 3 and the levels' set 5): the kinds
// of garbage (a heap of junk, stones, scrap metal, logs, weeds), the toxic
// puddle, the markers of the hovered and the selected place, the marks of
// an empty place and a tree spot, and the farm's decorations the levels
// place by name (a round hay bale, a scarecrow). Garbage stands on its hot spot (the
// middle of its foot), with its own soft shadow falling to the lower right.
#include <cmath>

#include "ArtBook.h"
#include "ArtKit.h"
#include "content/ContentArchive.h"

namespace {

using art::Rgb;
namespace pal = art::pal;

constexpr double kLine = 2.0;  // outline of the world's things at their drawn size
constexpr double kGarbageFoot = 0.72;
constexpr double kDecorationFoot = 0.86;  // a decoration stands on its hot spot near its bottom

void Plank(cairo_t* cr, double x, double y, double w, double h, double turnDeg, Rgb c) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, turnDeg * M_PI / 180);
  art::RoundRect(cr, -w / 2, -h / 2, w, h, 2);
  art::FillLit(cr, c, -w / 2, -h / 2, w / 2, h / 2, 0.3);
  art::Outline(cr, kLine);
  cairo_move_to(cr, -w / 2 + 4, -h * 0.1);
  cairo_line_to(cr, w / 2 - 6, -h * 0.15);
  cairo_set_line_width(cr, 1);
  art::Source(cr, art::Darker(c, 0.35), 0.6);
  cairo_stroke(cr);
  art::Ellipse(cr, w / 2 - 7, 0, 1.3, 1.3);  // a nail
  art::Source(cr, pal::kStoneDark);
  cairo_fill(cr);
  cairo_restore(cr);
}

void Can(cairo_t* cr, double x, double y, double r, double len, double turnDeg, Rgb label) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, turnDeg * M_PI / 180);
  cairo_rectangle(cr, 0, -r, len, 2 * r);
  art::FillLit(cr, pal::kMetal, 0, -r, 0, r, 0.45);
  cairo_new_path(cr);
  cairo_rectangle(cr, len * 0.2, -r, len * 0.55, 2 * r);
  art::FillLit(cr, label, 0, -r, 0, r, 0.35);
  cairo_new_path(cr);
  cairo_rectangle(cr, 0, -r, len, 2 * r);
  art::Outline(cr, kLine);
  art::Ellipse(cr, len, 0, r * 0.45, r);
  art::FillLit(cr, art::Lighter(pal::kMetal, 0.2), len - r, -r, len + r, r, 0.3);
  art::Outline(cr, kLine);
  cairo_restore(cr);
}

void DrawJunkHeap(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, foot = f.height * kGarbageFoot;
  art::GroundShadow(cr, cx + 4, foot - 2, 54, 16, 0.35);
  art::Blob(cr, cx, foot - 4, 50, 13, 9, 0.15, 7);  // a dark stain under it
  art::Source(cr, art::Darker(pal::kSoil, 0.35), 0.55);
  cairo_fill(cr);
  // The sack: a lumpy brown bag, its neck tied.
  art::Blob(cr, cx - 6, foot - 24, 30, 22, 8, 0.12, 11);
  art::FillLit(cr, art::Hex(0xB08A5A), cx - 36, foot - 46, cx + 24, foot - 2, 0.35);
  art::Outline(cr, kLine);
  cairo_move_to(cr, cx - 18, foot - 34);
  cairo_curve_to(cr, cx - 10, foot - 28, cx - 4, foot - 30, cx + 4, foot - 38);
  cairo_move_to(cr, cx - 20, foot - 14);
  cairo_curve_to(cr, cx - 12, foot - 18, cx, foot - 16, cx + 10, foot - 22);
  cairo_set_line_width(cr, 1.3);
  art::Source(cr, art::Darker(art::Hex(0xB08A5A), 0.45), 0.7);
  cairo_stroke(cr);
  art::Gleam(cr, cx - 20, foot - 38, 5, 3, 0.45);
  // A patch sewn on, and the tied neck.
  art::RoundRect(cr, cx + 2, foot - 26, 11, 9, 2);
  art::FillLit(cr, pal::kDenim, cx + 2, foot - 26, cx + 13, foot - 17, 0.3);
  art::Outline(cr, 1.2);
  cairo_move_to(cr, cx + 18, foot - 38);
  cairo_line_to(cr, cx + 26, foot - 47);
  cairo_line_to(cr, cx + 30, foot - 41);
  cairo_close_path(cr);
  art::FillLit(cr, art::Hex(0xB08A5A), cx + 18, foot - 47, cx + 30, foot - 38, 0.3);
  art::Outline(cr, kLine);
  // A broken crate board, a can, a bottle, paper and a peel around it.
  Plank(cr, cx + 26, foot - 12, 42, 9, -18, pal::kWood);
  Can(cr, cx - 44, foot - 8, 6, 16, 12, pal::kRed);
  cairo_save(cr);
  cairo_translate(cr, cx + 34, foot - 26);
  cairo_rotate(cr, -0.9);
  art::RoundRect(cr, -4, -12, 9, 24, 4);
  art::RoundRect(cr, -2, -18, 5, 8, 1.5);
  art::FillLit(cr, art::Hex(0x6CC39A), -5, -18, 5, 12, 0.45, 0.92);
  art::Outline(cr, 1.6);
  art::Gleam(cr, -1.5, -5, 1.2, 5, 0.8);
  cairo_restore(cr);
  art::Blob(cr, cx - 28, foot - 2, 9, 6, 6, 0.3, 21);  // crumpled paper
  art::FillLit(cr, pal::kWhite, cx - 38, foot - 8, cx - 18, foot + 4, 0.25);
  art::Outline(cr, 1.4);
  cairo_move_to(cr, cx + 6, foot + 2);  // a banana peel
  cairo_curve_to(cr, cx + 10, foot - 8, cx + 18, foot - 6, cx + 22, foot + 2);
  cairo_curve_to(cr, cx + 16, foot - 2, cx + 12, foot - 2, cx + 6, foot + 2);
  art::FillLit(cr, pal::kYellow, cx + 6, foot - 8, cx + 22, foot + 2, 0.3);
  art::Outline(cr, 1.4);
}

void Boulder(cairo_t* cr, double x, double y, double rx, double ry, u32 seed) {
  art::Blob(cr, x, y, rx, ry, 7, 0.1, seed);
  art::FillRound(cr, pal::kStone, x, y, std::max(rx, ry));
  art::Outline(cr, kLine);
  // Moss on top, cracks below.
  art::Blob(cr, x - rx * 0.2, y - ry * 0.6, rx * 0.45, ry * 0.28, 6, 0.25, seed + 3);
  art::FillLit(cr, pal::kLeaf, x - rx * 0.6, y - ry, x + rx * 0.3, y - ry * 0.3, 0.35, 0.9);
  cairo_new_path(cr);
  cairo_move_to(cr, x + rx * 0.25, y + ry * 0.15);
  cairo_line_to(cr, x + rx * 0.45, y + ry * 0.45);
  cairo_line_to(cr, x + rx * 0.38, y + ry * 0.7);
  cairo_set_line_width(cr, 1.2);
  art::Source(cr, pal::kStoneDark, 0.9);
  cairo_stroke(cr);
  art::Gleam(cr, x - rx * 0.4, y - ry * 0.2, rx * 0.18, ry * 0.12, 0.5);
}

void DrawStones(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, foot = f.height * kGarbageFoot;
  art::GroundShadow(cr, cx + 6, foot - 2, 56, 16, 0.35);
  Boulder(cr, cx - 14, foot - 24, 30, 24, 31);
  Boulder(cr, cx + 24, foot - 14, 22, 16, 37);
  Boulder(cr, cx - 36, foot - 6, 14, 10, 41);
  Boulder(cr, cx + 6, foot - 4, 12, 8, 43);
  art::Pebble(cr, cx + 46, foot + 2, 8, 45);
  art::Pebble(cr, cx - 52, foot + 4, 6, 47);
  art::GrassTuft(cr, cx - 26, foot + 4, 12, 49);
}

void DrawScrap(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, foot = f.height * kGarbageFoot;
  art::GroundShadow(cr, cx + 4, foot - 2, 56, 16, 0.35);
  // A rusty barrel on its side.
  cairo_save(cr);
  cairo_translate(cr, cx - 8, foot - 20);
  art::RoundRect(cr, -30, -17, 52, 34, 5);
  art::FillLit(cr, pal::kRust, -30, -17, -30, 17, 0.45);
  art::Outline(cr, kLine);
  for (double x : {-16.0, 6.0}) {
    cairo_rectangle(cr, x, -17, 4, 34);
    art::FillLit(cr, art::Darker(pal::kRust, 0.2), x, -17, x, 17, 0.35);
    art::Outline(cr, 1.2);
  }
  art::Ellipse(cr, 22, 0, 9, 17);
  art::FillLit(cr, art::Lighter(pal::kRust, 0.15), 13, -17, 31, 17, 0.3);
  art::Outline(cr, kLine);
  art::Ellipse(cr, 23, 0, 4, 8);
  art::Source(cr, art::Darker(pal::kRust, 0.5));
  cairo_fill(cr);
  art::Blob(cr, -8, -6, 8, 4, 6, 0.3, 51);  // a rust hole
  art::Source(cr, art::Darker(pal::kRust, 0.55), 0.8);
  cairo_fill(cr);
  art::Gleam(cr, -22, -10, 6, 2, 0.45);
  cairo_restore(cr);
  // An old tyre leaning on it.
  const double tx = cx + 30, ty = foot - 16;
  art::Ellipse(cr, tx, ty, 17, 17);
  art::Ellipse(cr, tx, ty, 8, 8);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  art::FillRound(cr, art::Hex(0x4A4550), tx, ty, 17);
  art::Outline(cr, kLine);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  for (int k = 0; k < 10; ++k) {
    const double a = k * M_PI / 5;
    cairo_move_to(cr, tx + std::cos(a) * 10, ty + std::sin(a) * 10);
    cairo_line_to(cr, tx + std::cos(a) * 16, ty + std::sin(a) * 16);
  }
  cairo_set_line_width(cr, 1.3);
  art::Source(cr, art::Hex(0x6E6875));
  cairo_stroke(cr);
  // A bent pipe and a cog on the ground.
  cairo_move_to(cr, cx - 50, foot - 2);
  cairo_curve_to(cr, cx - 38, foot - 6, cx - 30, foot + 2, cx - 12, foot - 2);
  art::Rod(cr, 4, pal::kMetal, 1.5);
  art::Star(cr, cx + 8, foot + 2, 9, 6.5, 8);
  art::FillLit(cr, art::Darker(pal::kMetal, 0.1), cx, foot - 6, cx + 16, foot + 10, 0.35);
  art::Outline(cr, 1.5);
  art::Ellipse(cr, cx + 8, foot + 2, 2.5, 2.5);
  art::Source(cr, pal::kOutline);
  cairo_fill(cr);
}

void Log(cairo_t* cr, double x, double y, double len, double r, double turnDeg) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, turnDeg * M_PI / 180);
  art::RoundRect(cr, -len / 2, -r, len, 2 * r, r * 0.5);
  art::FillLit(cr, art::Hex(0x9A6434), 0, -r, 0, r, 0.4);
  art::Outline(cr, kLine);
  for (int k = 0; k < 3; ++k) {  // bark lines
    cairo_move_to(cr, -len / 2 + 8 + k * len / 3.4, -r * 0.5 + k % 2 * 3);
    cairo_line_to(cr, -len / 2 + 20 + k * len / 3.4, -r * 0.45 + k % 2 * 3);
  }
  cairo_set_line_width(cr, 1.2);
  art::Source(cr, art::Hex(0x5E3A1C), 0.7);
  cairo_stroke(cr);
  art::Ellipse(cr, len / 2, 0, r * 0.62, r);
  art::FillRound(cr, art::Hex(0xEBC98E), len / 2, 0, r);
  art::Outline(cr, kLine);
  art::Ellipse(cr, len / 2, 0, r * 0.35, r * 0.58);
  art::Ellipse(cr, len / 2, 0, r * 0.12, r * 0.2);
  cairo_set_line_width(cr, 1);
  art::Source(cr, art::Hex(0xB38652));
  cairo_stroke(cr);
  cairo_restore(cr);
}

void DrawLogs(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, foot = f.height * kGarbageFoot;
  art::GroundShadow(cr, cx + 4, foot - 2, 54, 15, 0.35);
  Log(cr, cx - 10, foot - 10, 70, 10, 0);
  Log(cr, cx + 6, foot - 14, 66, 9.5, -4);
  Log(cr, cx - 2, foot - 30, 60, 9, 2);
  // A few broken branches and sawdust.
  cairo_move_to(cr, cx - 56, foot + 2);
  cairo_line_to(cr, cx - 30, foot - 6);
  cairo_move_to(cr, cx - 42, foot - 2);
  cairo_line_to(cr, cx - 40, foot - 12);
  art::Rod(cr, 2.5, pal::kWood, 1.25);
  art::Blob(cr, cx + 30, foot + 3, 12, 4, 6, 0.3, 61);
  art::Source(cr, art::Hex(0xEBC98E), 0.85);
  cairo_fill(cr);
}

void Thistle(cairo_t* cr, double x, double y, double h) {
  cairo_move_to(cr, x, y);
  cairo_curve_to(cr, x + 2, y - h * 0.4, x - 1, y - h * 0.7, x + 1, y - h);
  cairo_set_line_width(cr, 2);
  art::Source(cr, art::Darker(pal::kLeaf, 0.3));
  cairo_stroke(cr);
  for (int k = 0; k < 7; ++k) {  // the purple tuft
    const double a = (200 + k * 23) * M_PI / 180;
    cairo_move_to(cr, x + 1, y - h);
    cairo_line_to(cr, x + 1 + std::cos(a) * 8, y - h + std::sin(a) * 8);
  }
  cairo_set_line_width(cr, 2.6);
  art::Source(cr, art::Hex(0xC86BD8));
  cairo_stroke(cr);
  art::Ellipse(cr, x + 1, y - h + 3, 4.5, 4);
  art::FillRound(cr, art::Darker(pal::kLeaf, 0.2), x + 1, y - h + 3, 4.5);
  art::Outline(cr, 1.3);
}

void DrawWeeds(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, foot = f.height * kGarbageFoot;
  art::GroundShadow(cr, cx + 4, foot - 2, 52, 15, 0.35);
  art::Rand rnd(73);
  for (int i = 0; i < 6; ++i)  // dry, yellowed grass under it all
    art::GrassTuft(cr, cx + rnd.Range(-48, 48), foot + rnd.Range(-2, 5), rnd.Range(16, 22), 80 + i, pal::kStraw);
  // A tangle of dark leafy clumps, the back ones first.
  const double clumps[][3] = {{-22, -22, 20}, {14, -26, 22}, {-38, -8, 15}, {36, -10, 16}, {-6, -10, 20}, {20, -4, 14}};
  for (int i = 0; i < 6; ++i) {
    const double x = cx + clumps[i][0], y = foot + clumps[i][1], r = clumps[i][2];
    art::Blob(cr, x, y, r, r * 0.8, 13, 0.22, 300 + i);
    art::FillRound(cr, art::Mix(pal::kGrassDark, pal::kLeaf, i % 2 ? 0.35 : 0.0), x, y, r);
    art::Outline(cr, kLine);
    for (int k = 0; k < 3; ++k) {  // leaf veins
      const double a = -2.4 + k * 0.7;
      cairo_move_to(cr, x, y + r * 0.2);
      cairo_line_to(cr, x + std::cos(a) * r * 0.6, y + std::sin(a) * r * 0.6);
    }
    cairo_set_line_width(cr, 1.2);
    art::Source(cr, art::Lighter(pal::kLeaf, 0.3), 0.6);
    cairo_stroke(cr);
  }
  for (int i = 0; i < 3; ++i) Thistle(cr, cx - 26 + i * 24 + rnd.Range(-3, 3), foot - rnd.Range(16, 22), rnd.Range(24, 34));
  for (int i = 0; i < 5; ++i) {  // berries on the bramble
    const double x = cx + rnd.Range(-34, 34), y = foot - rnd.Range(8, 30);
    art::Ellipse(cr, x, y, 2.8, 2.8);
    art::FillRound(cr, art::Hex(0x5B2C6F), x, y, 2.8);
    art::Outline(cr, 1);
  }
}

// The toxic puddle: glowing slime with bubbles, on the ground (no shadow).
void DrawToxicPuddle(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, cy = f.height / 2;
  art::Blob(cr, cx, cy, f.width * 0.44, f.height * 0.36, 11, 0.12, 91);
  art::Source(cr, pal::kToxicDark, 0.85);
  cairo_fill(cr);
  art::Blob(cr, cx - 2, cy - 2, f.width * 0.38, f.height * 0.29, 10, 0.14, 93);
  cairo_pattern_t* g = cairo_pattern_create_radial(cx - 16, cy - 10, 4, cx, cy, f.width * 0.4);
  const Rgb light = art::Lighter(pal::kToxic, 0.5), deep = art::Mix(pal::kToxic, pal::kToxicDark, 0.5);
  cairo_pattern_add_color_stop_rgba(g, 0, light.r, light.g, light.b, 0.95);
  cairo_pattern_add_color_stop_rgba(g, 0.45, pal::kToxic.r, pal::kToxic.g, pal::kToxic.b, 0.92);
  cairo_pattern_add_color_stop_rgba(g, 1, deep.r, deep.g, deep.b, 0.9);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  art::Outline(cr, 1.6, art::Darker(pal::kToxicDark, 0.3), 0.8);
  art::Rand rnd(95);
  for (int i = 0; i < 7; ++i) {
    const double x = cx + rnd.Range(-46, 46), y = cy + rnd.Range(-16, 14), r = rnd.Range(2.5, 6);
    art::Ellipse(cr, x, y, r, r * 0.8);
    art::FillRound(cr, art::Lighter(pal::kToxic, 0.35), x, y, r, 0.9);
    art::Outline(cr, 1.1, pal::kToxicDark, 0.9);
    art::Gleam(cr, x - r * 0.35, y - r * 0.35, r * 0.3, r * 0.22, 0.9);
  }
  art::Gleam(cr, cx - 26, cy - 12, 14, 3.5, 0.55);
}

// The selected place's ring: a warm golden ring, white on its lit side.
void DrawSelection(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, cy = f.height / 2, rx = f.width * 0.44, ry = f.height * 0.42;
  art::Ellipse(cr, cx, cy, rx, ry);
  cairo_set_line_width(cr, 11);
  art::Source(cr, pal::kGold, 0.35);
  cairo_stroke(cr);
  art::Ellipse(cr, cx, cy, rx, ry);
  cairo_set_line_width(cr, 5);
  art::Source(cr, pal::kYellow, 0.95);
  cairo_stroke(cr);
  art::Ellipse(cr, cx, cy, rx, ry);
  cairo_set_line_width(cr, 1.6);
  art::Source(cr, pal::kWhite);
  cairo_stroke(cr);
  for (int k = 0; k < 4; ++k) {  // four little arrowheads pointing in
    const double a = k * M_PI / 2 + M_PI / 4;
    const double x = cx + std::cos(a) * (rx + 2), y = cy + std::sin(a) * (ry + 2);
    const double ix = -std::cos(a) * 9, iy = -std::sin(a) * 9 * ry / rx;
    cairo_move_to(cr, x + ix, y + iy);
    cairo_line_to(cr, x - iy * 0.6, y + ix * 0.6);
    cairo_line_to(cr, x + iy * 0.6, y - ix * 0.6);
    cairo_close_path(cr);
    art::FillLit(cr, pal::kYellow, x - 8, y - 8, x + 8, y + 8, 0.4);
    art::Outline(cr, 1.4, art::Darker(pal::kGold, 0.4));
  }
}

// The hovered place's glow, drawn added to what lies under it.
void DrawSelection2(cairo_t* cr, const ArtFrame& f) {
  art::SoftEllipse(cr, f.width / 2, f.height / 2, f.width * 0.48, f.height * 0.46, pal::kWhite, 1.0, 0.7, 0.8);
}

// An empty place: a lot marked out on the ground with a dashed chalk line,
// a stake at either end (outside anything that stands on the place), a
// little red flag on the right one.
void DrawEmptyPlace(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, cy = f.height * 0.58, rx = f.width * 0.43, ry = f.height * 0.3;
  art::Ellipse(cr, cx, cy, rx, ry);
  art::Source(cr, pal::kSoil, 0.22);
  cairo_fill(cr);
  art::Ellipse(cr, cx, cy, rx, ry);
  const double dash[] = {7, 5};
  cairo_set_dash(cr, dash, 2, 0);
  cairo_set_line_width(cr, 2.2);
  art::Source(cr, pal::kWhite, 0.85);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
  for (int side : {-1, 1}) {
    const double x = cx + side * rx, y = cy;
    art::GroundShadow(cr, x + 2, y, 4, 2, 0.35);
    art::RoundRect(cr, x - 2.5, y - 15, 5, 16, 1.5);
    art::FillLit(cr, pal::kWood, x - 2.5, y - 15, x + 2.5, y, 0.35);
    art::Outline(cr, 1.3);
    if (side > 0) {
      cairo_move_to(cr, x + 1, y - 15);
      cairo_line_to(cr, x + 11, y - 12);
      cairo_line_to(cr, x + 1, y - 8);
      cairo_close_path(cr);
      art::FillLit(cr, pal::kRed, x, y - 15, x + 11, y - 8, 0.3);
      art::Outline(cr, 1.1);
    }
  }
}

// A tree spot: a ring of loose soil with a little support stake.
void DrawTreeSpot(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, cy = f.height / 2 + 4;
  art::Blob(cr, cx, cy, f.width * 0.3, f.height * 0.27, 9, 0.08, 101);
  art::FillLit(cr, pal::kSoil, cx - 40, cy - 18, cx + 40, cy + 18, 0.35, 0.9);
  art::Outline(cr, 1.5, pal::kSoilDark, 0.8);
  art::Ellipse(cr, cx, cy, f.width * 0.16, f.height * 0.13);
  art::Source(cr, pal::kSoilDark, 0.9);
  cairo_fill(cr);
  art::GroundShadow(cr, cx + 6, cy, 4, 2, 0.4);
  art::RoundRect(cr, cx + 3, cy - 22, 4, 23, 1.5);
  art::FillLit(cr, pal::kWood, cx + 3, cy - 22, cx + 7, cy, 0.35);
  art::Outline(cr, 1.3);
}

// A round bale of hay lying on its side: the rolled face towards the
// viewer, its straw wound in a spiral, a few loose stalks at its foot.
void DrawHayBale(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, foot = f.height * kDecorationFoot;
  const double r = f.height * 0.27, depth = f.width * 0.2;
  art::GroundShadow(cr, cx + 4, foot - 1, r * 1.5, r * 0.35, 0.35);
  // The body, seen from the side, behind the face.
  cairo_rectangle(cr, cx - depth * 0.2, foot - 2 * r, depth, 2 * r);
  art::FillLit(cr, art::Darker(pal::kStraw, 0.15), cx, foot - 2 * r, cx + depth, foot, 0.35);
  art::Ellipse(cr, cx + depth * 0.8, foot - r, r * 0.45, r);
  art::FillLit(cr, art::Darker(pal::kStraw, 0.2), cx + depth * 0.4, foot - 2 * r, cx + depth * 1.3, foot, 0.3);
  cairo_new_path(cr);
  cairo_move_to(cr, cx - depth * 0.2, foot - 2 * r);
  cairo_line_to(cr, cx + depth * 0.8, foot - 2 * r);
  cairo_arc(cr, cx + depth * 0.8, foot - r, r, -M_PI / 2, M_PI / 2);
  cairo_line_to(cr, cx - depth * 0.2, foot);
  art::Outline(cr, kLine);
  // The face and its spiral.
  art::Ellipse(cr, cx - depth * 0.2, foot - r, r * 0.8, r);
  art::FillLit(cr, pal::kStraw, cx - r, foot - 2 * r, cx + r, foot, 0.35);
  art::Outline(cr, kLine);
  for (double t = 0.2; t < 5 * M_PI; t += 0.15) {
    const double k = t / (5 * M_PI);
    const double x = cx - depth * 0.2 + std::cos(t) * r * 0.75 * k, y = foot - r + std::sin(t) * r * 0.92 * k;
    if (t < 0.25) cairo_move_to(cr, x, y);
    else cairo_line_to(cr, x, y);
  }
  cairo_set_line_width(cr, 1.2);
  art::Source(cr, art::Darker(pal::kStraw, 0.4), 0.7);
  cairo_stroke(cr);
  // Loose stalks.
  for (int i = 0; i < 5; ++i) {
    const double x = cx - r + i * r * 0.55;
    cairo_move_to(cr, x, foot + 1);
    cairo_line_to(cr, x + 6 - i * 2.5, foot - 4 - (i % 2) * 2);
  }
  art::Rod(cr, 1.2, pal::kStraw, 0.6);
}

// A scarecrow on its pole: a cross of wood, a shirt stuffed with straw, a
// sack head under a wide straw hat.
void DrawScarecrow(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, foot = f.height * kDecorationFoot;
  const double h = f.height * 0.66;
  art::GroundShadow(cr, cx + 5, foot, f.width * 0.18, 4, 0.35);
  // The pole and the arm bar.
  cairo_rectangle(cr, cx - 2, foot - h, 4, h);
  art::FillLit(cr, pal::kWood, cx - 2, foot - h, cx + 2, foot, 0.35);
  art::Outline(cr, 1.5);
  const double armY = foot - h * 0.68;
  cairo_rectangle(cr, cx - f.width * 0.36, armY - 2, f.width * 0.72, 4);
  art::FillLit(cr, pal::kWoodDark, cx - 20, armY - 2, cx + 20, armY + 2, 0.3);
  art::Outline(cr, 1.5);
  // The shirt over the bar, straw sticking out of the sleeves.
  for (int side = -1; side <= 1; side += 2) {
    const double x = cx + side * f.width * 0.36;
    cairo_move_to(cr, x, armY);
    cairo_line_to(cr, x + side * 5, armY - 3);
    cairo_move_to(cr, x, armY);
    cairo_line_to(cr, x + side * 5, armY + 3);
    art::Rod(cr, 1.4, pal::kStraw, 0.6);
  }
  cairo_move_to(cr, cx - f.width * 0.32, armY - 4);
  cairo_line_to(cr, cx + f.width * 0.32, armY - 4);
  cairo_line_to(cr, cx + f.width * 0.3, armY + 5);
  cairo_line_to(cr, cx + 9, armY + 5);
  cairo_line_to(cr, cx + 8, armY + h * 0.34);
  cairo_line_to(cr, cx - 8, armY + h * 0.34);
  cairo_line_to(cr, cx - 9, armY + 5);
  cairo_line_to(cr, cx - f.width * 0.3, armY + 5);
  cairo_close_path(cr);
  art::FillLit(cr, pal::kRed, cx - 20, armY - 4, cx + 20, armY + 20, 0.3);
  art::Outline(cr, 1.5);
  cairo_rectangle(cr, cx - 6, armY + 4, 6, 6);  // a patch
  art::Source(cr, pal::kDenim, 0.9);
  cairo_fill(cr);
  // The head and the hat.
  const double headY = armY - 10;
  art::Ellipse(cr, cx, headY, 6.5, 7);
  art::FillRound(cr, art::Hex(0xE0C9A0), cx, headY, 7);
  art::Outline(cr, 1.5);
  art::Ellipse(cr, cx, headY - 6, 14, 3.5);
  art::FillLit(cr, pal::kStraw, cx - 14, headY - 9, cx + 14, headY - 3, 0.3);
  art::Outline(cr, 1.3);
  art::RoundRect(cr, cx - 6.5, headY - 16, 13, 10, 3);
  art::FillLit(cr, pal::kStraw, cx - 7, headY - 16, cx + 7, headY - 6, 0.35);
  art::Outline(cr, 1.3);
  for (int side = -1; side <= 1; side += 2) {  // button eyes
    art::Ellipse(cr, cx + side * 2.5, headY - 1, 1.1, 1.1);
    art::Source(cr, pal::kOutline);
    cairo_fill(cr);
  }
}

// The easter egg hidden on a level: a golden egg half in a tuft of grass.
void DrawGoldenEgg(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, foot = f.height * kDecorationFoot;
  const double rx = f.width * 0.2, ry = f.height * 0.3;
  art::GroundShadow(cr, cx + 3, foot - 1, rx * 1.4, ry * 0.25, 0.35);
  art::Ellipse(cr, cx, foot - ry, rx, ry);
  art::FillLit(cr, pal::kGold, cx - rx, foot - 2 * ry, cx + rx, foot, 0.5);
  art::Ellipse(cr, cx, foot - ry, rx, ry);
  art::Outline(cr, kLine, art::Darker(pal::kGold, 0.6));
  art::Gleam(cr, cx - rx * 0.35, foot - ry * 1.45, rx * 0.22, ry * 0.2);
  art::GrassTuft(cr, cx - rx * 0.7, foot + 1, f.width * 0.22, 7);
  art::GrassTuft(cr, cx + rx * 0.8, foot + 1, f.width * 0.18, 11);
}

ArtPiece Piece(void (*draw)(cairo_t*, const ArtFrame&), double hotY = 0.5) {
  ArtPiece p;
  p.draw = draw;
  p.hotY = hotY;
  return p;
}

}  // namespace

void AddPlaceArt(ArtBook& book) {
  book.Add(kMapSpriteSet, "junk_heap", Piece(DrawJunkHeap, kGarbageFoot));
  book.Add(kMapSpriteSet, "stones", Piece(DrawStones, kGarbageFoot));
  book.Add(kMapSpriteSet, "scrap", Piece(DrawScrap, kGarbageFoot));
  book.Add(kMapSpriteSet, "logs", Piece(DrawLogs, kGarbageFoot));
  book.Add(kMapSpriteSet, "weeds", Piece(DrawWeeds, kGarbageFoot));
  book.Add(kMapSpriteSet, "toxic_puddle", Piece(DrawToxicPuddle));
  book.Add(kMapSpriteSet, "selection", Piece(DrawSelection));
  book.Add(kMapSpriteSet, "selection2", Piece(DrawSelection2));
  book.Add(kLevelSpriteSet, "empty_place", Piece(DrawEmptyPlace));
  book.Add(kLevelSpriteSet, "tree_spot", Piece(DrawTreeSpot));
  book.Add(kMapSpriteSet, "hay_bale", Piece(DrawHayBale, kDecorationFoot));
  book.Add(kMapSpriteSet, "scarecrow", Piece(DrawScarecrow, kDecorationFoot));
  ArtPiece egg = Piece(DrawGoldenEgg, kDecorationFoot);
  egg.clickWidth = 32;  // the egg and a little of the grass round it
  egg.clickHeight = 40;
  book.Add(kMapSpriteSet, "golden_egg", std::move(egg));
}

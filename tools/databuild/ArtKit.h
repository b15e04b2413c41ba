// ArtKit - what every drawing of the data set shares, so the pictures look
// like one game: one palette, light from the top left (lit sides up and to
// the left, shade down and to the right, shadows falling to the lower
// right), warm dark-brown outlines of a width that follows the picture's
// size, soft shading by gradients, and a seeded random generator for the
// scatter of grass, stones and rain (the same pictures on every build).
#pragma once

#include <cairo.h>

#include "base/Types.h"

namespace art {

struct Rgb {
  double r, g, b;
};

constexpr Rgb Hex(u32 rgb) {
  return Rgb{((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}
Rgb Mix(Rgb a, Rgb b, double t);  // t = 0: a
Rgb Lighter(Rgb c, double t);     // towards a warm white
Rgb Darker(Rgb c, double t);      // towards a cool deep brown, so shade stays coloured

// The palette: bright, warm and friendly.
namespace pal {
constexpr Rgb kOutline = Hex(0x3B2A1F);
constexpr Rgb kWhite = Hex(0xFFFDF5);
constexpr Rgb kGrass = Hex(0x7CC24A);
constexpr Rgb kGrassLight = Hex(0xA6DB5E);
constexpr Rgb kGrassDark = Hex(0x4F9B33);
constexpr Rgb kLeaf = Hex(0x5DB43A);
constexpr Rgb kDirt = Hex(0xE3B473);
constexpr Rgb kDirtDark = Hex(0xB8844A);
constexpr Rgb kSoil = Hex(0x9E6A3C);
constexpr Rgb kSoilDark = Hex(0x7A4E2A);
constexpr Rgb kWood = Hex(0xC08446);
constexpr Rgb kWoodDark = Hex(0x8C5A2B);
constexpr Rgb kStone = Hex(0xB8BCC2);
constexpr Rgb kStoneDark = Hex(0x81878F);
constexpr Rgb kMetal = Hex(0x9FB1C3);
constexpr Rgb kRust = Hex(0xC0602E);
constexpr Rgb kRed = Hex(0xE5483B);
constexpr Rgb kOrange = Hex(0xF5A12F);
constexpr Rgb kYellow = Hex(0xFFD447);
constexpr Rgb kGold = Hex(0xF2B92E);
constexpr Rgb kSilver = Hex(0xC9D1DA);
constexpr Rgb kBronze = Hex(0xCD8A4E);
constexpr Rgb kBlue = Hex(0x4C8FE0);
constexpr Rgb kSky = Hex(0x79C8F2);
constexpr Rgb kWater = Hex(0x4FA9E8);
constexpr Rgb kPink = Hex(0xF49AB7);
constexpr Rgb kPurple = Hex(0x9B6FD6);
constexpr Rgb kToxic = Hex(0xB76CF0);  // poison is violet: it shows on grass
constexpr Rgb kToxicDark = Hex(0x5A2A8E);
constexpr Rgb kSkin = Hex(0xF8CDA6);
constexpr Rgb kHair = Hex(0xC0612B);
constexpr Rgb kDenim = Hex(0x4A7CCF);
constexpr Rgb kShirt = Hex(0xFFF3D6);
constexpr Rgb kStraw = Hex(0xF3CF6B);
constexpr Rgb kPanel = Hex(0xFFF1CC);
}  // namespace pal

// Deterministic: the same seed gives the same pictures.
class Rand {
 public:
  explicit Rand(u32 seed) : state_(seed * 2654435761u + 12345u) {}
  double Next();  // 0 <= x < 1
  double Range(double lo, double hi) { return lo + (hi - lo) * Next(); }

 private:
  u32 state_;
};

void Source(cairo_t* cr, Rgb c, double alpha = 1.0);
// Paths (appended to the current path).
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);
void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r);
void Star(cairo_t* cr, double cx, double cy, double outer, double inner, int points, double turnDeg = -90);
// A lumpy closed outline around a centre: `bumps` soft bulges, radius varied by `wobble` (a fraction).
void Blob(cairo_t* cr, double cx, double cy, double rx, double ry, int bumps, double wobble, u32 seed);

// Fills the current path (kept) with the colour lit from the top left over
// the box: lighter at its upper left, darker at its lower right.
void FillLit(cairo_t* cr, Rgb base, double x0, double y0, double x1, double y1, double strength = 0.3,
             double alpha = 1.0);
// Fills the current path (kept) like a ball: a highlight up and to the left
// of the centre, shade at the rim down and to the right.
void FillRound(cairo_t* cr, Rgb base, double cx, double cy, double r, double alpha = 1.0);
// Strokes the current path (cleared) as an outline: round joins and caps.
void Outline(cairo_t* cr, double width, Rgb c = pal::kOutline, double alpha = 1.0);
// Strokes the current path (cleared) as a rod of the colour `width` wide,
// outlined `outline` wide on either side (handles, pipes, twigs).
void Rod(cairo_t* cr, double width, Rgb c, double outline);
// Fills an ellipse with a colour that fades from `alpha` in the middle
// (still `alpha` x `keep` at `at` of the way out) to nothing at the rim.
void SoftEllipse(cairo_t* cr, double cx, double cy, double rx, double ry, Rgb c, double alpha, double at = 0.6,
                 double keep = 0.75);
// A soft shadow on the ground, its middle at (cx, cy), falling slightly to
// the lower right.
void GroundShadow(cairo_t* cr, double cx, double cy, double rx, double ry, double alpha = 0.3);
// A small white gleam (a lit spot) at (x, y).
void Gleam(cairo_t* cr, double x, double y, double rx, double ry, double alpha = 0.75);
// Paints `shape` (a drawn group; the caller keeps it) with a white halo
// round it, its alpha grown by painting it shifted `line` x 1.2 eight ways,
// so an icon reads on a dark plate. The frame of a button's state: 0
// (disabled) faded, 1 as it is, 2 (under the mouse) lit.
void PaintHaloed(cairo_t* cr, cairo_pattern_t* shape, double line, u32 frame);

// Smooth value noise that repeats every period (in cells) both ways: At
// gives 0..1 for a point measured in periods (x = 1 is one whole period).
class TileNoise {
 public:
  TileNoise(u32 seed, int cellsX, int cellsY);
  double At(double x, double y) const;
  // Octaves of doubling detail, each half as strong; 0..1.
  double Fractal(double x, double y, int octaves) const;

 private:
  double Cell(int x, int y) const;
  u32 seed_;
  int cellsX_, cellsY_;
};

// Small things of the ground, standing on (x, y) at their foot, `size` the
// height of a tuft or the width of a pebble or a flower head.
void GrassTuft(cairo_t* cr, double x, double y, double size, u32 seed, Rgb colour = pal::kGrass);
void Pebble(cairo_t* cr, double x, double y, double size, u32 seed, Rgb colour = pal::kStone);
void Flower(cairo_t* cr, double x, double y, double size, Rgb petals, Rgb heart = pal::kYellow);

}  // namespace art

// The ground (set 4): tiles of 256 x 128 in four layers. Layer 0 is grass
// (four variants of one field of noise that repeats every tile, so any two
// tiles meet without a seam); layer 1 lays dirt paths and field beds over it
// with soft, worn edges (path pieces join at the middles of the tile's
// edges, the same wobble on every piece); layers 2 and 3 scatter flowers,
// tufts, pebbles and mushrooms on a transparent tile. Pieces of one kind
// share a sprite, each piece a 256 x 128 cell of it (the ground table's
// rectangles pick them).
#include <algorithm>
#include <cmath>
#include <functional>

#include "ArtBook.h"
#include "ArtKit.h"
#include "content/ContentArchive.h"

namespace {

using art::Rgb;
namespace pal = art::pal;

constexpr double kTileW = 256, kTileH = 128;
constexpr double kPad = 2;  // see Atlas
constexpr double kCellPitchX = kTileW + 2 * kPad, kCellPitchY = kTileH + 2 * kPad;

double GroundClamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
double Smooth(double e0, double e1, double v) {
  const double t = GroundClamp01((v - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// Paints w x h pixels at the origin from a function of the pixel's centre
// giving a colour and an alpha.
void PaintPixels(cairo_t* cr, int w, int h, const std::function<void(double, double, Rgb*, double*)>& at) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < h; ++y) {
    u32* row = reinterpret_cast<u32*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      Rgb c{0, 0, 0};
      double a = 1;
      at(x + 0.5, y + 0.5, &c, &a);
      a = GroundClamp01(a);
      auto channel = [a](double v) { return static_cast<u32>(GroundClamp01(v) * a * 255 + 0.5); };
      row[x] = static_cast<u32>(a * 255 + 0.5) << 24 | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
    }
  }
  cairo_surface_mark_dirty(s);
  cairo_set_source_surface(cr, s, 0, 0);
  cairo_paint(cr);
  cairo_surface_destroy(s);
}

// --- Grass ------------------------------------------------------------------------------

const art::TileNoise& GrassNoise() {
  static const art::TileNoise n(11, 4, 2);
  return n;
}
const art::TileNoise& PatchNoise() {
  static const art::TileNoise n(23, 2, 1);
  return n;
}

// The grass colour of a tile's pixel: fine mottling over broad light and dark patches.
Rgb GrassAt(double x, double y) {
  const double fine = GrassNoise().Fractal(x / kTileW, y / kTileH, 5);
  const double broad = PatchNoise().Fractal(x / kTileW, y / kTileH, 2);
  Rgb c = art::Mix(art::Darker(pal::kGrass, 0.1), art::Lighter(pal::kGrass, 0.12), Smooth(0.25, 0.75, fine));
  return art::Mix(c, broad > 0.5 ? pal::kGrassLight : pal::kGrassDark, std::fabs(broad - 0.5) * 0.5);
}

// Short blades and light flecks scattered inside the tile's margins (so
// nothing is cut by the tile's edge).
void GrassBlades(cairo_t* cr, u32 seed, int count) {
  art::Rand rnd(seed);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < count; ++i) {
    const double x = rnd.Range(6, kTileW - 6), y = rnd.Range(8, kTileH - 4);
    const double h = rnd.Range(3, 6), lean = rnd.Range(-1.5, 1.5);
    const bool light = rnd.Next() < 0.55;
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + lean, y - h);
    cairo_move_to(cr, x + 1.5, y);
    cairo_line_to(cr, x + 1.5 + lean + 1.2, y - h * 0.8);
    cairo_set_line_width(cr, 1.2);
    art::Source(cr, light ? pal::kGrassLight : pal::kGrassDark, light ? 0.6 : 0.4);
    cairo_stroke(cr);
  }
}

void DrawGrassCell(cairo_t* cr, int variant) {
  PaintPixels(cr, static_cast<int>(kTileW), static_cast<int>(kTileH), [](double x, double y, Rgb* c, double* a) {
    *c = GrassAt(x, y);
    *a = 1;
  });
  GrassBlades(cr, 100 + variant, 45);
  art::Rand rnd(200 + variant);
  const int tufts = variant == 1 ? 9 : 4;
  for (int i = 0; i < tufts; ++i)
    art::GrassTuft(cr, rnd.Range(16, kTileW - 16), rnd.Range(24, kTileH - 8), rnd.Range(9, 14), 300 + variant * 17 + i,
                   pal::kGrass);
  if (variant == 2) {  // clover
    for (int i = 0; i < 7; ++i) {
      const double x = rnd.Range(20, kTileW - 20), y = rnd.Range(20, kTileH - 14);
      for (int k = 0; k < 3; ++k) {
        const double ang = (k * 120 - 90) * M_PI / 180;
        art::Ellipse(cr, x + std::cos(ang) * 3, y + std::sin(ang) * 2.4, 3, 2.6);
      }
      art::FillLit(cr, art::Darker(pal::kLeaf, 0.1), x - 5, y - 5, x + 5, y + 5, 0.3);
      cairo_new_path(cr);
    }
  }
  if (variant == 3) {  // a meadow in bloom
    const Rgb colours[] = {pal::kWhite, pal::kYellow, pal::kPink, pal::kWhite, art::Hex(0xB7A4F2)};
    for (int i = 0; i < 12; ++i)
      art::Flower(cr, rnd.Range(16, kTileW - 16), rnd.Range(22, kTileH - 8), rnd.Range(10, 13), colours[i % 5]);
  }
}

// --- Paths ------------------------------------------------------------------------------

// The wobble of a path's edge along a tile edge: it repeats every tile, so
// two pieces meet where their bands cross the tile's edge.
double Wobble(double along, double period, u32 seed) {
  return (art::TileNoise(seed, 6, 1).At(along / period, 0.5) - 0.5) * 2;
}

constexpr double kMidX = kTileW / 2, kMidY = kTileH / 2;
double HalfWidthWE(double x) { return 26 + 5 * Wobble(x, kTileW, 41); }  // a path running left to right
double HalfWidthNS(double y) { return 34 + 5 * Wobble(y, kTileH, 43); }  // top to bottom

// Signed distances (negative inside) of the bands and their halves.
double BandWE(double x, double y) { return std::fabs(y - kMidY) - HalfWidthWE(x); }
double BandNS(double x, double y) { return std::fabs(x - kMidX) - HalfWidthNS(y); }
double Hub(double x, double y) { return std::hypot(x - kMidX, (y - kMidY) * 1.15) - 31; }
double SmoothMin(double a, double b, double k) {
  const double h = GroundClamp01(0.5 + 0.5 * (b - a) / k);
  return b + (a - b) * h - k * h * (1 - h);
}

enum PathPiece { kWE, kNS, kCross, kPatch, kNE, kNW, kSE, kSW };

double PathDistance(PathPiece piece, double x, double y) {
  const double we = BandWE(x, y), ns = BandNS(x, y);
  switch (piece) {
    case kWE:
      return we;
    case kNS:
      return ns;
    case kCross:
      return SmoothMin(we, ns, 14);
    case kPatch: {
      const double r =
          44 + 7 * (art::TileNoise(47, 8, 1).At(std::atan2(y - kMidY, x - kMidX) / (2 * M_PI) + 0.5, 0.5) - 0.5);
      return std::hypot((x - kMidX) * 0.62, y - kMidY) - r * 0.75;
    }
    default: {
      const bool north = piece == kNE || piece == kNW, east = piece == kNE || piece == kSE;
      const double vertical = std::max(ns, north ? y - kMidY : kMidY - y);
      const double horizontal = std::max(we, east ? kMidX - x : x - kMidX);
      return SmoothMin(SmoothMin(vertical, horizontal, 14), Hub(x, y), 10);
    }
  }
}

const art::TileNoise& EdgeNoise() {
  static const art::TileNoise n(53, 16, 8);
  return n;
}
const art::TileNoise& DirtNoise() {
  static const art::TileNoise n(59, 12, 6);
  return n;
}

void DrawPathCell(cairo_t* cr, PathPiece piece) {
  auto distance = [piece](double x, double y) {
    return PathDistance(piece, x, y) + (EdgeNoise().Fractal(x / kTileW, y / kTileH, 3) - 0.5) * 7;
  };
  PaintPixels(cr, static_cast<int>(kTileW), static_cast<int>(kTileH), [&](double x, double y, Rgb* c, double* a) {
    const double d = distance(x, y);
    const double grain = DirtNoise().Fractal(x / kTileW, y / kTileH, 4);
    Rgb dirt = art::Mix(art::Darker(pal::kDirt, 0.06), art::Lighter(pal::kDirt, 0.14), Smooth(0.3, 0.7, grain));
    // Trodden ruts darker, the worn rim in the grass's shade.
    dirt = art::Mix(pal::kDirtDark, dirt, Smooth(0, 9, -d));
    *c = dirt;
    *a = GroundClamp01(0.5 - d / 1.6);
  });
  art::Rand rnd(60 + piece);
  for (int i = 0; i < 60; ++i) {  // pebbles on the path, tufts on its rim
    const double x = rnd.Range(12, kTileW - 12), y = rnd.Range(12, kTileH - 8);
    const double d = distance(x, y);
    if (d < -7 && rnd.Next() < 0.4) {
      art::Pebble(cr, x, y, rnd.Range(4, 8), 70 + i, art::Mix(pal::kStone, pal::kDirt, 0.4));
    } else if (d > -3 && d < 2 && rnd.Next() < 0.5) {
      art::GrassTuft(cr, x, y + 2, rnd.Range(7, 11), 90 + i, pal::kGrass);
    }
  }
}

// --- Field beds -------------------------------------------------------------------------

void DrawFieldCell(cairo_t* cr) {
  constexpr double kInset = 14, kRadius = 26, kFurrow = 13;
  auto bed = [&](double x, double y) {  // rounded rectangle, negative inside
    const double qx = std::fabs(x - kMidX) - (kMidX - kInset - kRadius);
    const double qy = std::fabs(y - kMidY) - (kMidY - kInset - kRadius * 0.5);
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - kRadius * 0.75;
  };
  PaintPixels(cr, static_cast<int>(kTileW), static_cast<int>(kTileH), [&](double x, double y, Rgb* c, double* a) {
    const double d = bed(x, y) + (EdgeNoise().Fractal(x / kTileW, y / kTileH, 3) - 0.5) * 5;
    const double wave = std::sin((y - kInset) / kFurrow * 2 * M_PI);  // ridges lit on their upper side
    const double grain = DirtNoise().Fractal(x / kTileW * 2, y / kTileH * 2, 3);
    Rgb soil = art::Mix(pal::kSoilDark, art::Lighter(pal::kSoil, 0.18), 0.5 + 0.38 * wave + (grain - 0.5) * 0.4);
    soil = art::Mix(art::Darker(pal::kSoil, 0.35), soil, Smooth(0, 6, -d));
    *c = soil;
    *a = GroundClamp01(0.5 - d / 1.5);
  });
  art::Rand rnd(81);
  for (int i = 0; i < 14; ++i) {  // the grass creeping in at the rim
    const double t = rnd.Next();
    const bool top = rnd.Next() < 0.5;
    art::GrassTuft(cr, kInset + 10 + t * (kTileW - 2 * kInset - 20), top ? kInset + 4 : kTileH - kInset + 2,
                   rnd.Range(7, 10), 400 + i);
  }
}

// --- Scattered details ------------------------------------------------------------------

void Mushroom(cairo_t* cr, double x, double y, double size) {
  art::GroundShadow(cr, x + 1, y, size * 0.5, size * 0.18, 0.3);
  art::RoundRect(cr, x - size * 0.14, y - size * 0.55, size * 0.28, size * 0.55, size * 0.1);
  art::FillLit(cr, pal::kShirt, x - size * 0.2, y - size * 0.6, x + size * 0.2, y, 0.3);
  art::Outline(cr, 1.0);
  cairo_new_sub_path(cr);
  cairo_arc(cr, x, y - size * 0.5, size * 0.48, M_PI, 2 * M_PI);
  cairo_close_path(cr);
  art::FillRound(cr, pal::kRed, x, y - size * 0.6, size * 0.5);
  art::Outline(cr, 1.1);
  for (int k = 0; k < 3; ++k)
    art::Gleam(cr, x - size * 0.22 + k * size * 0.22, y - size * (0.72 - (k % 2) * 0.1), size * 0.07, size * 0.06,
               0.95);
}

void DrawDetailsCell(cairo_t* cr, int kind) {
  art::Rand rnd(500 + kind);
  switch (kind) {
    case 0: {  // flowers
      const Rgb colours[] = {pal::kWhite, pal::kYellow, pal::kPink, art::Hex(0xB7A4F2), pal::kOrange};
      for (int cluster = 0; cluster < 3; ++cluster) {
        const double cx = 50 + cluster * 78 + rnd.Range(-10, 10), cy = rnd.Range(46, kTileH - 30);
        const Rgb c = colours[cluster % 5];
        art::GrassTuft(cr, cx, cy + 10, 14, 650 + cluster, pal::kLeaf);
        for (int i = 0; i < 5; ++i)
          art::Flower(cr, cx + rnd.Range(-22, 22), cy + rnd.Range(-12, 14), rnd.Range(13, 17), c);
      }
      break;
    }
    case 1:  // tall tufts
      for (int i = 0; i < 9; ++i)
        art::GrassTuft(cr, rnd.Range(24, kTileW - 24), rnd.Range(40, kTileH - 8), rnd.Range(18, 26), 600 + i,
                       pal::kLeaf);
      break;
    case 2:  // pebbles
      for (int i = 0; i < 9; ++i)
        art::Pebble(cr, rnd.Range(20, kTileW - 20), rnd.Range(24, kTileH - 12), rnd.Range(8, 16), 700 + i);
      break;
    default:  // a ring of mushrooms in clover
      for (int i = 0; i < 6; ++i) {
        const double a = i * M_PI / 3 + rnd.Range(-0.2, 0.2);
        Mushroom(cr, kMidX + std::cos(a) * 50, kMidY + 10 + std::sin(a) * 24, rnd.Range(16, 21));
      }
      break;
  }
}

// A sprite of `cells` 256 x 128 cells, `across` to a row, each drawn kPad
// pixels in from its place and its edge pixels repeated into that margin:
// a filtered tile then samples its own edge where it meets its neighbour,
// never the next cell of the sprite.
ArtPiece Atlas(int across, const std::function<void(cairo_t*, int)>& cell, int cells) {
  ArtPiece p;
  p.draw = [across, cell, cells](cairo_t* cr, const ArtFrame&) {
    for (int i = 0; i < cells; ++i) {
      cairo_surface_t* one = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(kTileW),
                                                        static_cast<int>(kTileH));
      cairo_t* c = cairo_create(one);
      cell(c, i);
      cairo_destroy(c);
      const double x = (i % across) * kCellPitchX, y = (i / across) * kCellPitchY;
      cairo_save(cr);
      cairo_set_source_surface(cr, one, x + kPad, y + kPad);
      cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
      cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
      cairo_rectangle(cr, x, y, kCellPitchX, kCellPitchY);
      cairo_fill(cr);
      cairo_restore(cr);
      cairo_surface_destroy(one);
    }
  };
  return p;
}

}  // namespace

void AddGroundArt(ArtBook& book) {
  book.Add(kGroundSpriteSet, "grass",
           Atlas(
               2, [](cairo_t* cr, int i) { DrawGrassCell(cr, i); }, 4));
  book.Add(kGroundSpriteSet, "path",
           Atlas(
               4, [](cairo_t* cr, int i) { DrawPathCell(cr, static_cast<PathPiece>(i)); }, 8));
  book.Add(kGroundSpriteSet, "field",
           Atlas(
               1, [](cairo_t* cr, int) { DrawFieldCell(cr); }, 1));
  book.Add(kGroundSpriteSet, "details",
           Atlas(
               4, [](cairo_t* cr, int i) { DrawDetailsCell(cr, i); }, 4));
}

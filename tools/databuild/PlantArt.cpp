// The map sprites of the plant kinds of tables/plants.txt (set 3):
//   "bed_N", "bed_dry_N"  96x64: a bed's tilled ground of bed level N (1 to
//                         4), more furrows a level; the dry look paler and
//                         cracked
//   "wheat_crop", "beta_crop"  64x64, six frames: one plant from a sprout
//                         to ripe; growth shows frames 0 to 4, the last is
//                         the crop at its fullest
//   "apple_tree_tree"     128x128: the trunk and the crown
//   "apple_tree_crop"     128x128: the crown alone, laid over the tree (the
//                         part under the mouse)
//   "apple_tree_fruit"    16x16, five frames: a green bud to a red apple
// Plants stand on their foot (hot spot low in the frame); grounds and fruits
// on their middle.
#include <cmath>
#include <string>

#include "ArtBook.h"
#include "ArtKit.h"
#include "content/ContentArchive.h"

namespace {

using art::Rgb;
namespace pal = art::pal;

constexpr double kPlantLine = 2.0;
constexpr u32 kCropFrames = 6;
constexpr u32 kFruitFrames = 5;
constexpr double kPlantFoot = 0.86;  // a crop's or the tree's foot, of the frame's height

// A bed of `level` furrows on a rounded patch of soil.
void Bed(cairo_t* cr, const ArtFrame& f, int level, bool dry) {
  const double w = f.width, h = f.height;
  const Rgb soil = dry ? art::Mix(pal::kSoil, pal::kDirt, 0.55) : pal::kSoil;
  const Rgb furrow = dry ? art::Mix(pal::kSoilDark, pal::kDirtDark, 0.5) : pal::kSoilDark;
  art::RoundRect(cr, w * 0.06, h * 0.12, w * 0.88, h * 0.76, h * 0.22);
  art::FillLit(cr, soil, w * 0.06, h * 0.12, w * 0.94, h * 0.88, 0.35);
  art::Outline(cr, kPlantLine);
  const int rows = level + 1;
  for (int r = 0; r < rows; ++r) {
    const double y = h * (0.24 + 0.52 * (r + 0.5) / rows);
    cairo_move_to(cr, w * 0.14, y);
    cairo_curve_to(cr, w * 0.4, y - 2, w * 0.6, y + 2, w * 0.86, y);
    cairo_set_line_width(cr, std::max(2.0, h * 0.1 / rows * 2));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    art::Source(cr, furrow, 0.8);
    cairo_stroke(cr);
  }
  if (dry) {
    art::Rand rand(static_cast<u32>(level) * 31u);
    for (int c = 0; c < 3 + level; ++c) {
      double x = rand.Range(w * 0.18, w * 0.82), y = rand.Range(h * 0.25, h * 0.75);
      cairo_move_to(cr, x, y);
      for (int s = 0; s < 3; ++s) {
        x += rand.Range(-6, 6);
        y += rand.Range(-4, 4);
        cairo_line_to(cr, x, y);
      }
      cairo_set_line_width(cr, 1.2);
      art::Source(cr, pal::kOutline, 0.55);
      cairo_stroke(cr);
    }
  } else {
    art::Gleam(cr, w * 0.25, h * 0.26, w * 0.06, h * 0.04, 0.35);  // damp soil shines
  }
}

// The growth of frame i of n: 0 a sprout, 1 in full.
double Grown(const ArtFrame& f) { return f.count > 1 ? static_cast<double>(f.index) / (f.count - 1) : 1.0; }

void Wheat(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height, g = Grown(f);
  const double foot = h * kPlantFoot, tall = h * (0.18 + 0.62 * g);
  const Rgb stalk = art::Mix(pal::kLeaf, pal::kStraw, g * g);
  for (int s = -2; s <= 2; ++s) {
    const double x = w * 0.5 + s * w * 0.07, lean = s * w * 0.05 * g;
    cairo_move_to(cr, x, foot);
    cairo_curve_to(cr, x, foot - tall * 0.5, x + lean, foot - tall * 0.8, x + lean, foot - tall);
    art::Rod(cr, 2.2, stalk, 0.9);
    if (g >= 0.4) {  // the ears come with the stalk's height
      const double ex = x + lean, ey = foot - tall;
      art::Ellipse(cr, ex, ey + h * 0.04, w * 0.035, h * (0.04 + 0.06 * g));
      art::FillLit(cr, art::Mix(pal::kGrassLight, pal::kGold, g), ex - 3, ey - 4, ex + 3, ey + 8, 0.3);
      art::Outline(cr, 1.2);
    }
  }
}

void Beta(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height, g = Grown(f);
  const double foot = h * kPlantFoot;
  if (g >= 0.4) {  // the root swells out of the soil
    const double r = w * (0.06 + 0.14 * g);
    art::Ellipse(cr, w * 0.5, foot - r * 0.6, r, r * 0.9);
    art::FillRound(cr, art::Mix(pal::kPink, pal::kPurple, 0.5), w * 0.5, foot - r * 0.6, r);
    art::Outline(cr, kPlantLine);
  }
  const int leaves = 2 + static_cast<int>(g * 3);
  for (int i = 0; i < leaves; ++i) {
    const double turn = (i - (leaves - 1) / 2.0) * 0.45, len = h * (0.16 + 0.4 * g);
    cairo_save(cr);
    cairo_translate(cr, w * 0.5, foot - h * 0.08 * g);
    cairo_rotate(cr, turn);
    cairo_move_to(cr, 0, 0);
    cairo_curve_to(cr, -len * 0.35, -len * 0.4, -len * 0.2, -len * 0.9, 0, -len);
    cairo_curve_to(cr, len * 0.2, -len * 0.9, len * 0.35, -len * 0.4, 0, 0);
    art::FillLit(cr, art::Mix(pal::kLeaf, pal::kGrassDark, 0.3 * g), -len * 0.3, -len, len * 0.3, 0, 0.35);
    art::Outline(cr, 1.5);
    cairo_restore(cr);
  }
}

// The tree's crown: three lumps of leaves.
void Crown(cairo_t* cr, double w, double h) {
  const struct {
    double x, y, r;
  } lumps[] = {{0.34, 0.42, 0.22}, {0.66, 0.42, 0.22}, {0.5, 0.3, 0.26}};
  for (const auto& l : lumps) {
    art::Blob(cr, w * l.x, h * l.y, w * l.r, h * l.r * 0.9, 7, 0.1, static_cast<u32>(l.x * 100));
    art::FillRound(cr, pal::kLeaf, w * l.x, h * l.y, w * l.r);
    art::Outline(cr, kPlantLine);
  }
}

void AppleTree(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height, foot = h * kPlantFoot;
  art::GroundShadow(cr, w * 0.52, foot, w * 0.3, h * 0.06);
  cairo_move_to(cr, w * 0.45, foot);
  cairo_curve_to(cr, w * 0.47, h * 0.7, w * 0.46, h * 0.6, w * 0.48, h * 0.5);
  cairo_line_to(cr, w * 0.54, h * 0.5);
  cairo_curve_to(cr, w * 0.54, h * 0.6, w * 0.53, h * 0.7, w * 0.56, foot);
  cairo_close_path(cr);
  art::FillLit(cr, pal::kWood, w * 0.45, h * 0.5, w * 0.56, foot, 0.4);
  art::Outline(cr, kPlantLine);
  Crown(cr, w, h);
}

void AppleCrown(cairo_t* cr, const ArtFrame& f) { Crown(cr, f.width, f.height); }

void Apple(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height, g = Grown(f);
  const double r = w * (0.2 + 0.22 * g);
  art::Ellipse(cr, w * 0.5, h * 0.55, r, r * 0.95);
  art::FillRound(cr, art::Mix(pal::kGrassLight, pal::kRed, g), w * 0.5, h * 0.55, r);
  art::Outline(cr, 1.0);
  cairo_move_to(cr, w * 0.5, h * 0.55 - r);
  cairo_line_to(cr, w * 0.55, h * 0.55 - r - 2.5);
  art::Rod(cr, 1.2, pal::kWoodDark, 0.4);
}

ArtPiece SpritePiece(std::function<void(cairo_t*, const ArtFrame&)> draw, u32 frames, double hotY) {
  ArtPiece p;
  p.draw = std::move(draw);
  if (frames > 1) p.layout = FrameLayout{frames, frames};
  p.hotY = hotY;
  return p;
}

}  // namespace

void AddPlantArt(ArtBook& book) {
  for (int level = 1; level <= 4; ++level) {
    const std::string n = std::to_string(level);
    book.Add(kMapSpriteSet, "bed_" + n, SpritePiece([level](cairo_t* cr, const ArtFrame& f) { Bed(cr, f, level, false); }, 1, 0.5));
    book.Add(kMapSpriteSet, "bed_dry_" + n, SpritePiece([level](cairo_t* cr, const ArtFrame& f) { Bed(cr, f, level, true); }, 1, 0.5));
  }
  book.Add(kMapSpriteSet, "wheat_crop", SpritePiece(Wheat, kCropFrames, kPlantFoot));
  book.Add(kMapSpriteSet, "beta_crop", SpritePiece(Beta, kCropFrames, kPlantFoot));
  book.Add(kMapSpriteSet, "apple_tree_tree", SpritePiece(AppleTree, 1, kPlantFoot));
  book.Add(kMapSpriteSet, "apple_tree_crop", SpritePiece(AppleCrown, 1, kPlantFoot));
  book.Add(kMapSpriteSet, "apple_tree_fruit", SpritePiece(Apple, kFruitFrames, 0.5));
}

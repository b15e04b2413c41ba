// The products: one emblem each (a sheaf of wheat, a beet, an apple ...),
// drawn as the product's icon (48 pixels) and its small icon (24) in the
// icon set, each in four frames (disabled, normal, lit, as the product
// buttons and slots show them, and the flying labels' normal), and lying on the ground as its map sprite
// (64, set 3, standing on its hot spot near the bottom). The egg's map
// sprite is one laid egg in frame pairs: pair r lies at its own tilt, its
// even frame white, its odd frame brown and speckled.
#include <cmath>
#include <map>

#include "ArtBook.h"
#include "ArtKit.h"
#include "ContentSources.h"
#include "Emblems.h"
#include "content/ContentArchive.h"

namespace art {

namespace {

void Ear(cairo_t* cr, double x, double y, double angleDeg, double line) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angleDeg * M_PI / 180);
  cairo_move_to(cr, 0, 0);
  cairo_line_to(cr, 0, 56);
  cairo_set_line_width(cr, 6);
  Source(cr, Darker(pal::kStraw, 0.25));
  cairo_stroke(cr);
  for (int k = 0; k < 5; ++k)
    for (int side : {-1, 1}) {
      Ellipse(cr, side * 6.5, k * 7 + 2, 7, 8.5);
      FillLit(cr, pal::kGold, -14, -6, 14, 38, 0.35);
      Outline(cr, line * 0.7);
    }
  Ellipse(cr, 0, -4, 6, 9);
  FillLit(cr, pal::kGold, -6, -13, 6, 5, 0.35);
  Outline(cr, line * 0.7);
  cairo_restore(cr);
}

// A full sheaf: five ears fanned out from the tie, their stalks spreading
// below it, so the emblem fills its square as the rounder products do.
void Wheat(cairo_t* cr, double line) {
  constexpr double kTieX = 50, kTieY = 78, kToTie = 50;
  for (const double angle : {-28.0, 28.0, -14.0, 14.0, 0.0}) {
    const double a = angle * M_PI / 180;
    Ear(cr, kTieX + kToTie * std::sin(a), kTieY - kToTie * std::cos(a), angle, line);
  }
  RoundRect(cr, 36, 73, 28, 11, 3);  // the tie
  FillLit(cr, pal::kRed, 36, 73, 64, 84, 0.35);
  Outline(cr, line * 0.8);
}

void Beet(cairo_t* cr, double line) {
  for (int k = -1; k <= 1; ++k) {  // leaves
    cairo_save(cr);
    cairo_translate(cr, 50, 38);
    cairo_rotate(cr, k * 0.55);
    cairo_move_to(cr, 0, 0);
    cairo_curve_to(cr, -16, -10, -12, -34, 0, -36);
    cairo_curve_to(cr, 12, -34, 16, -10, 0, 0);
    FillLit(cr, pal::kLeaf, -16, -36, 16, 0, 0.35);
    Outline(cr, line * 0.8);
    cairo_move_to(cr, 0, -2);
    cairo_line_to(cr, 0, -30);
    cairo_set_line_width(cr, 2);
    Source(cr, Hex(0xB0306A));
    cairo_stroke(cr);
    cairo_restore(cr);
  }
  cairo_move_to(cr, 50, 94);  // the root
  cairo_curve_to(cr, 44, 80, 24, 72, 26, 56);
  cairo_curve_to(cr, 28, 38, 72, 38, 74, 56);
  cairo_curve_to(cr, 76, 72, 56, 80, 50, 94);
  FillLit(cr, Hex(0xB02660), 24, 38, 76, 94, 0.35);
  Outline(cr, line);
  Gleam(cr, 38, 52, 6, 4, 0.6);
}

void Apple(cairo_t* cr, double line) {
  cairo_move_to(cr, 50, 30);
  cairo_curve_to(cr, 30, 18, 12, 32, 14, 54);
  cairo_curve_to(cr, 16, 78, 36, 94, 50, 88);
  cairo_curve_to(cr, 64, 94, 84, 78, 86, 54);
  cairo_curve_to(cr, 88, 32, 70, 18, 50, 30);
  FillRound(cr, pal::kRed, 50, 58, 38);
  Outline(cr, line);
  cairo_move_to(cr, 50, 32);
  cairo_curve_to(cr, 50, 22, 52, 16, 56, 10);
  cairo_set_line_width(cr, 4);
  Source(cr, pal::kWoodDark);
  cairo_stroke(cr);
  cairo_move_to(cr, 54, 20);
  cairo_curve_to(cr, 62, 8, 76, 8, 82, 14);
  cairo_curve_to(cr, 74, 24, 62, 26, 54, 20);
  FillLit(cr, pal::kLeaf, 54, 8, 82, 26, 0.35);
  Outline(cr, line * 0.8);
  Gleam(cr, 32, 46, 7, 10, 0.7);
}

void Egg(cairo_t* cr, double line) {
  for (int k = 0; k < 2; ++k) {
    const double cx = k == 0 ? 38 : 62, cy = k == 0 ? 52 : 58, s = k == 0 ? 1.0 : 0.9;
    cairo_move_to(cr, cx, cy - 34 * s);
    cairo_curve_to(cr, cx + 24 * s, cy - 34 * s, cx + 26 * s, cy + 30 * s, cx, cy + 30 * s);
    cairo_curve_to(cr, cx - 26 * s, cy + 30 * s, cx - 24 * s, cy - 34 * s, cx, cy - 34 * s);
    FillRound(cr, k == 0 ? Hex(0xFFF4DC) : Hex(0xF2D3A6), cx, cy, 30 * s);
    Outline(cr, line);
    Gleam(cr, cx - 9 * s, cy - 14 * s, 4 * s, 7 * s, 0.8);
  }
}

void Milk(cairo_t* cr, double line) {
  cairo_move_to(cr, 38, 10);
  cairo_line_to(cr, 62, 10);
  cairo_line_to(cr, 62, 26);
  cairo_curve_to(cr, 78, 34, 80, 44, 80, 52);
  cairo_line_to(cr, 80, 88);
  cairo_curve_to(cr, 80, 94, 20, 94, 20, 88);
  cairo_line_to(cr, 20, 52);
  cairo_curve_to(cr, 20, 44, 22, 34, 38, 26);
  cairo_close_path(cr);
  FillLit(cr, pal::kWhite, 20, 10, 80, 94, 0.25);
  Outline(cr, line);
  RoundRect(cr, 22, 52, 56, 24, 3);  // the label with a blue cow spot
  FillLit(cr, pal::kBlue, 22, 52, 78, 76, 0.3);
  Outline(cr, line * 0.7);
  Blob(cr, 50, 64, 12, 7, 6, 0.2, 3);
  Source(cr, pal::kWhite);
  cairo_fill(cr);
  RoundRect(cr, 35, 4, 30, 9, 3);  // cap
  FillLit(cr, pal::kRed, 35, 4, 65, 13, 0.3);
  Outline(cr, line * 0.8);
  Gleam(cr, 30, 40, 4, 10, 0.8);
}

void Wool(cairo_t* cr, double line) {
  Ellipse(cr, 50, 54, 36, 34);
  FillRound(cr, Hex(0xF6EEDC), 50, 54, 36);
  Outline(cr, line);
  for (int k = 0; k < 5; ++k) {  // the wound yarn
    cairo_save(cr);
    Ellipse(cr, 50, 54, 36, 34);
    cairo_clip(cr);
    cairo_translate(cr, 50, 54);
    cairo_rotate(cr, -0.5 + k * 0.28);
    Ellipse(cr, 0, 0, 12 + k * 5, 40);
    cairo_set_line_width(cr, 2.2);
    Source(cr, Hex(0xC9B99A));
    cairo_stroke(cr);
    cairo_restore(cr);
  }
  cairo_move_to(cr, 80, 70);  // a loose end
  cairo_curve_to(cr, 92, 78, 84, 92, 94, 94);
  cairo_set_line_width(cr, 3);
  Source(cr, Hex(0xC9B99A));
  cairo_stroke(cr);
  Gleam(cr, 36, 38, 8, 5, 0.6);
}

void Flour(cairo_t* cr, double line) {
  cairo_move_to(cr, 26, 26);
  cairo_curve_to(cr, 34, 20, 66, 20, 74, 26);
  cairo_curve_to(cr, 88, 50, 90, 80, 80, 92);
  cairo_curve_to(cr, 60, 98, 40, 98, 20, 92);
  cairo_curve_to(cr, 10, 80, 12, 50, 26, 26);
  cairo_close_path(cr);
  FillLit(cr, Hex(0xEDE0C4), 12, 20, 88, 98, 0.3);
  Outline(cr, line);
  Ellipse(cr, 50, 24, 22, 7);  // the open top, full of flour
  FillLit(cr, pal::kWhite, 28, 17, 72, 31, 0.2);
  Outline(cr, line * 0.8);
  cairo_save(cr);  // a wheat ear on the sack
  cairo_translate(cr, 50, 40);
  cairo_scale(cr, 0.55, 0.55);
  Ear(cr, 0, 0, 0, line * 1.5);
  cairo_restore(cr);
}

void Bread(cairo_t* cr, double line) {
  cairo_move_to(cr, 10, 70);
  cairo_curve_to(cr, 8, 36, 30, 26, 50, 26);
  cairo_curve_to(cr, 70, 26, 92, 36, 90, 70);
  cairo_curve_to(cr, 90, 82, 10, 82, 10, 70);
  cairo_close_path(cr);
  FillLit(cr, Hex(0xD9953F), 8, 26, 92, 82, 0.4);
  Outline(cr, line);
  for (int k = 0; k < 3; ++k) {  // scored top
    cairo_move_to(cr, 28 + k * 18, 36);
    cairo_curve_to(cr, 34 + k * 18, 42, 36 + k * 18, 48, 34 + k * 18, 54);
  }
  cairo_set_line_width(cr, 4.5);
  Source(cr, Hex(0xF2CF86));
  cairo_stroke(cr);
  Gleam(cr, 30, 38, 8, 3, 0.45);
}

void Pie(cairo_t* cr, double line) {
  Ellipse(cr, 50, 66, 42, 16);  // the dish
  FillLit(cr, pal::kSilver, 8, 50, 92, 82, 0.35);
  Outline(cr, line);
  cairo_move_to(cr, 14, 62);
  cairo_curve_to(cr, 14, 34, 86, 34, 86, 62);
  cairo_curve_to(cr, 86, 72, 14, 72, 14, 62);
  cairo_close_path(cr);
  FillLit(cr, Hex(0xE2A456), 14, 36, 86, 72, 0.4);
  Outline(cr, line);
  for (int k = 0; k < 3; ++k) {  // the lattice's slits
    cairo_move_to(cr, 32 + k * 16, 46);
    cairo_line_to(cr, 30 + k * 16, 60);
  }
  cairo_set_line_width(cr, 4);
  Source(cr, pal::kRed);
  cairo_stroke(cr);
  Gleam(cr, 34, 44, 8, 3, 0.45);
}

void Cheese(cairo_t* cr, double line) {
  cairo_move_to(cr, 10, 66);
  cairo_line_to(cr, 80, 26);
  cairo_curve_to(cr, 88, 30, 92, 36, 92, 44);
  cairo_line_to(cr, 92, 80);
  cairo_line_to(cr, 10, 84);
  cairo_close_path(cr);
  FillLit(cr, pal::kYellow, 10, 26, 92, 84, 0.35);
  Outline(cr, line);
  cairo_move_to(cr, 10, 66);
  cairo_line_to(cr, 92, 52);
  cairo_set_line_width(cr, line * 0.8);
  Source(cr, pal::kOutline);
  cairo_stroke(cr);
  const double holes[][3] = {{30, 74, 5}, {56, 68, 7}, {78, 72, 4}, {60, 44, 5}, {78, 38, 3.5}};
  for (const auto& h : holes) {
    Ellipse(cr, h[0], h[1], h[2], h[2] * 0.8);
    Source(cr, Darker(pal::kYellow, 0.25));
    cairo_fill(cr);
  }
}

void Cloth(cairo_t* cr, double line) {
  const Rgb colours[] = {pal::kBlue, pal::kPink, pal::kYellow};
  for (int k = 0; k < 3; ++k) {
    const double y = 66 - k * 17;
    RoundRect(cr, 14 + k * 2, y, 72 - k * 4, 18, 5);
    FillLit(cr, colours[k], 14, y, 86, y + 18, 0.35);
    Outline(cr, line);
    cairo_move_to(cr, 20 + k * 2, y + 5);  // stitching
    cairo_line_to(cr, 80 - k * 2, y + 5);
    const double dash[] = {3, 3};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_set_line_width(cr, 1.4);
    Source(cr, pal::kWhite, 0.85);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
  }
}

const std::map<std::string, Emblem>& Products() {
  static const std::map<std::string, Emblem> products = {
      {"wheat", Wheat}, {"beta", Beet},   {"apple", Apple}, {"egg", Egg},       {"milk", Milk},
      {"wool", Wool},   {"flour", Flour}, {"bread", Bread}, {"cheese", Cheese}, {"cloth", Cloth},
      {"pie", Pie},
  };
  return products;
}

constexpr u32 kEggPairs = 3;

void LaidEgg(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height, line = std::max(1.0, w / 40);
  const u32 pair = f.index / 2;
  const bool brown = f.index % 2 == 1;
  GroundShadow(cr, w * 0.52, h * 0.8, w * 0.26, h * 0.08, 0.35);
  cairo_save(cr);
  cairo_translate(cr, w * 0.5, h * 0.62);
  cairo_rotate(cr, (static_cast<double>(pair) - 1) * 0.5 + M_PI / 2 * 0.85);
  const double rx = w * 0.2, ry = h * 0.15;
  cairo_move_to(cr, -rx, 0);
  cairo_curve_to(cr, -rx, -ry * 1.3, rx * 1.1, -ry * 1.1, rx * 1.1, 0);
  cairo_curve_to(cr, rx * 1.1, ry * 1.1, -rx, ry * 1.3, -rx, 0);
  cairo_close_path(cr);
  FillLit(cr, brown ? Hex(0xD9A26A) : Hex(0xFFF4DC), -rx, -ry, rx, ry, 0.35);
  Outline(cr, line);
  if (brown) {
    for (int k = 0; k < 6; ++k) {
      Ellipse(cr, rx * (-0.6 + 0.25 * k), ry * (k % 2 == 0 ? -0.35 : 0.3), 0.9 * line, 0.7 * line);
      Source(cr, Hex(0x8C5A2B));
      cairo_fill(cr);
    }
  }
  Gleam(cr, -rx * 0.3, -ry * 0.45, rx * 0.22, ry * 0.2, 0.8);
  cairo_restore(cr);
}

}  // namespace

Emblem ProductEmblem(const std::string& product) {
  const auto it = Products().find(product);
  return it == Products().end() ? nullptr : it->second;
}

void DrawEmblem(cairo_t* cr, Emblem emblem, double x, double y, double size, double linePx) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, size / 100, size / 100);
  emblem(cr, linePx * 100 / size);
  cairo_new_path(cr);
  cairo_restore(cr);
}

// A product icon in the three frames its buttons show: disabled (faded),
// normal, lit; and a fourth, the normal again, that the flying labels of
// stored and spent goods show.
void StateIcon(cairo_t* cr, const ArtFrame& f, Emblem e) {
  cairo_push_group(cr);
  DrawEmblem(cr, e, 1, 1, f.width - 2, std::max(1.0, f.width / 30));
  cairo_pattern_t* shape = cairo_pop_group(cr);
  cairo_set_source(cr, shape);
  cairo_paint_with_alpha(cr, f.index == 0 ? 0.45 : 1.0);
  if (f.index == 2) {
    Source(cr, pal::kWhite, 0.3);
    cairo_mask(cr, shape);
  }
  cairo_pattern_destroy(shape);
}

}  // namespace art

void AddProductArt(ArtBook& book) {
  for (const auto& [name, emblem] : art::Products()) {
    const art::Emblem e = emblem;
    ArtPiece icon;
    icon.draw = [e](cairo_t* cr, const ArtFrame& f) { art::StateIcon(cr, f, e); };
    icon.layout = FrameLayout{4, 4};
    book.Add(kIconSpriteSet, "ico_" + name, icon);
    book.Add(kIconSpriteSet, "ico2_" + name, icon);
    ArtPiece map;
    map.hotY = 0.82;
    if (name == "egg") {
      map.draw = art::LaidEgg;
      map.layout = FrameLayout{2 * art::kEggPairs, 2 * art::kEggPairs};
      book.Add(kMapSpriteSet, name + "_map", map);
      continue;
    }
    map.draw = [e](cairo_t* cr, const ArtFrame& f) {
      art::GroundShadow(cr, f.width * 0.52, f.height * 0.8, f.width * 0.36, f.height * 0.11, 0.35);
      art::DrawEmblem(cr, e, f.width * 0.12, f.height * 0.08, f.width * 0.76, 1.6);
    };
    book.Add(kMapSpriteSet, name + "_map", map);
  }
}

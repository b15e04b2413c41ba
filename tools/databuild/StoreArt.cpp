// The warehouse window's and the item descriptions' pictures: the window's
// sheet "warehouse" of the interface set (three product-button frames of
// 80 x 78 one below the other, the selection plate at (96, 0), 160 x 96),
// the mirrored coin beside its money, the upgrade button's three frames of
// 150 x 44, the small coin of prices, the awards' check box (empty, ticked)
// and the bonuses window's green check mark.
#include <cairo.h>

#include <algorithm>

#include "ArtBook.h"
#include "ArtKit.h"

namespace {

namespace pal = art::pal;

// A rounded board lit from the top, with a light inner rim.
void Board(cairo_t* cr, double x, double y, double w, double h, double r, art::Rgb base) {
  art::RoundRect(cr, x + 1, y + 1, w - 2, h - 2, r);
  art::FillLit(cr, base, x, y, x + w, y + h, 0.35);
  art::RoundRect(cr, x + 1, y + 1, w - 2, h - 2, r);
  art::Outline(cr, 2);
  art::RoundRect(cr, x + 4, y + 4, w - 8, h - 8, std::max(r - 3, 1.0));
  art::Outline(cr, 1, art::Lighter(base, 0.45), 0.8);
}

void Coin(cairo_t* cr, double cx, double cy, double r, bool mirrored) {
  art::Ellipse(cr, cx, cy, r, r);
  art::FillLit(cr, pal::kGold, cx - r, cy - r, cx + r, cy + r, 0.45);
  art::Outline(cr, std::max(1.0, r * 0.12));
  art::Ellipse(cr, cx, cy, r * 0.62, r * 0.62);
  art::Outline(cr, std::max(1.0, r * 0.08), art::Darker(pal::kGold, 0.35));
  art::Gleam(cr, cx + (mirrored ? r * 0.3 : -r * 0.3), cy - r * 0.35, r * 0.25, r * 0.15);
}

void WarehouseSheet(cairo_t* cr, const ArtFrame&) {
  // The product button: normal, hover (lighter), pressed or chosen (darker,
  // sunk); walnut, so the white amounts on it read.
  const art::Rgb walnut = art::Hex(0x6A4A2F);
  const art::Rgb faces[3] = {walnut, art::Lighter(walnut, 0.12), art::Darker(walnut, 0.25)};
  for (int i = 0; i < 3; ++i) Board(cr, 0, i * 78.0, 80, 78, 10, faces[i]);
  // The selection plate: a wooden frame round a dark board.
  Board(cr, 96, 0, 160, 96, 14, pal::kWood);
  art::RoundRect(cr, 108, 12, 136, 72, 8);
  art::FillLit(cr, walnut, 108, 12, 244, 84, 0.2);
  art::RoundRect(cr, 108, 12, 136, 72, 8);
  art::Outline(cr, 1.5, pal::kWoodDark);
}

void UpgradeButton(cairo_t* cr, const ArtFrame&) {
  const art::Rgb faces[3] = {pal::kGrass, pal::kGrassLight, pal::kGrassDark};
  for (int i = 0; i < 3; ++i) {
    Board(cr, 0, i * 44.0, 150, 44, 16, faces[i]);
    // An arrow up on the left cap: the storage grows.
    const double y = i * 44.0 + (i == 2 ? 1 : 0);
    cairo_move_to(cr, 8, y + 26);
    cairo_line_to(cr, 16, y + 10);
    cairo_line_to(cr, 24, y + 26);
    cairo_close_path(cr);
    art::FillLit(cr, pal::kYellow, 8, y + 10, 24, y + 26, 0.3);
    art::Outline(cr, 1.2);
  }
}

// An award tier's check box at the head of its line in a hint: a square
// as high as the frame less a pixel above and below, standing at the
// frame's right less a gap of five pixels before the tier's text, the
// empty columns on its left indenting it under the line above.
void AwardsCheck(cairo_t* cr, const ArtFrame& f) {
  const double side = f.height - 2, x = f.width - 5 - side, y = 1;
  art::RoundRect(cr, x + 0.75, y + 0.75, side - 1.5, side - 1.5, 3);
  art::FillLit(cr, pal::kWhite, x, y, x + side, y + side, 0.2);
  art::RoundRect(cr, x + 0.75, y + 0.75, side - 1.5, side - 1.5, 3);
  art::Outline(cr, 1.5);
  if (f.index == 0) return;
  cairo_move_to(cr, x + side * 0.22, y + side * 0.52);
  cairo_line_to(cr, x + side * 0.44, y + side * 0.76);
  cairo_line_to(cr, x + side * 0.82, y + side * 0.22);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, side * 0.18);
  art::Source(cr, pal::kGrassDark);
  cairo_stroke(cr);
}

void GreenCheck(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  cairo_move_to(cr, w * 0.12, h * 0.55);
  cairo_line_to(cr, w * 0.4, h * 0.85);
  cairo_line_to(cr, w * 0.9, h * 0.15);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, w * 0.24);
  art::Source(cr, pal::kOutline);
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, w * 0.14);
  // White, so the panel's state colour tints it.
  art::Source(cr, pal::kWhite);
  cairo_stroke(cr);
}

}  // namespace

void AddStoreArt(ArtBook& book) {
  book.Add(1, "warehouse", FramesPiece(WarehouseSheet));
  book.Add(1, "refl_coin", FramesPiece([](cairo_t* cr, const ArtFrame& f) {
             Coin(cr, f.width / 2, f.height / 2, std::min(f.width, f.height) / 2 - 1.5, true);
           }));
  book.Add(1, "warehouse_upgr_but", FramesPiece(UpgradeButton));
  book.Add(2, "small_coin", FramesPiece([](cairo_t* cr, const ArtFrame& f) {
             Coin(cr, f.width / 2, f.height / 2, std::min(f.width, f.height) / 2 - 1.2, false);
           }));
  book.Add(1, "awards_check", FramesPiece(AwardsCheck, 2));
  book.Add(2, "small_green_check", FramesPiece(GreenCheck));
}

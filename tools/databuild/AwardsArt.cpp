// The awards window's panel "awards_panel" (set 1, 545 x 244): a wooden
// board with a parchment face, plaques for the big awards on either side,
// two shelves under the upper ones, the total award's spotlight in the
// middle and the strip the lower ones stand on, the nine small awards under it. Also the map interface's chain over the
// locked Hard regime ("map_lock_chain", set 1) and the golden egg the easter
// egg's label shows ("easter_egg", set 2).
#include <cmath>

#include "ArtBook.h"
#include "ArtKit.h"

namespace {

using namespace art;

void Plaque(cairo_t* cr, double x, double y, double s) {
  Ellipse(cr, x + s / 2, y + s / 2, s / 2, s / 2);
  FillLit(cr, Hex(0xE9D2A0), x, y, x + s, y + s, 0.2);
  Outline(cr, 2, pal::kWoodDark, 0.8);
}

void AwardsPanel(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  RoundRect(cr, 2, 2, w - 4, h - 4, 14);
  FillLit(cr, pal::kWood, 0, 0, w, h, 0.3);
  Outline(cr, 3);
  RoundRect(cr, 10, 10, w - 20, h - 20, 10);
  FillLit(cr, pal::kPanel, 10, 10, w - 10, h - 10, 0.15);
  Outline(cr, 2, pal::kWoodDark, 0.7);
  // The spotlight behind the total award.
  SoftEllipse(cr, w / 2, 72, 110, 70, pal::kYellow, 0.45);
  // Plaques at the big awards' places, shelves under them.
  const double places[8][2] = {{32, 30}, {102, 38}, {391, 20}, {465, 35}, {19, 136}, {80, 132}, {389, 132}, {454, 136}};
  for (const auto& p : places) Plaque(cr, p[0] - 2, p[1] - 2, 56);
  for (double x0 : {14.0, 384.0}) {  // the upper awards' shelves
    cairo_rectangle(cr, x0, 92, 148, 7);
    FillLit(cr, pal::kWoodDark, x0, 92, x0 + 148, 99, 0.3);
    Outline(cr, 1.5);
  }
  // The strip the lower big awards stand on, the small awards below it.
  cairo_rectangle(cr, 14, 186, w - 28, 6);
  FillLit(cr, pal::kWood, 14, 186, w - 14, 192, 0.3);
  Outline(cr, 1.5);
}

// Iron links from the top left down to the bottom right, where the lock
// hangs; every other link seen edge on.
void LockChain(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  const int links = 6;
  const double x0 = 6, y0 = 8, x1 = w - 8, y1 = h - 10;
  const double angle = std::atan2(y1 - y0, x1 - x0);
  for (int i = 0; i < links; ++i) {
    const double t = (i + 0.5) / links;
    const double cx = x0 + (x1 - x0) * t, cy = y0 + (y1 - y0) * t + std::sin(t * 3.14159) * 6;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    const double rx = 7.5, ry = i % 2 ? 2.2 : 4.5;
    Ellipse(cr, 0, 0, rx, ry);
    cairo_set_line_width(cr, 4.2);
    Source(cr, pal::kOutline);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 2.4);
    Source(cr, i % 2 ? pal::kStoneDark : pal::kStone);
    cairo_stroke(cr);
    cairo_restore(cr);
  }
}

void GoldenEgg(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  Ellipse(cr, w / 2, h * 0.55, w * 0.36, h * 0.42);
  FillLit(cr, pal::kGold, 0, 0, w, h, 0.45);
  Ellipse(cr, w / 2, h * 0.55, w * 0.36, h * 0.42);
  Outline(cr, 1.6, Darker(pal::kGold, 0.55));
  Gleam(cr, w * 0.4, h * 0.36, w * 0.08, h * 0.12);
}

}  // namespace

void AddAwardsArt(ArtBook& book) {
  ArtPiece chain;
  chain.draw = LockChain;
  chain.layout = FrameLayout{1, 1};
  book.Add(1, "map_lock_chain", std::move(chain));
  ArtPiece egg;
  egg.draw = GoldenEgg;
  egg.layout = FrameLayout{1, 1};
  book.Add(2, "easter_egg", std::move(egg));
  ArtPiece panel;
  panel.draw = AwardsPanel;
  panel.layout = FrameLayout{1, 1};
  book.Add(1, "awards_panel", std::move(panel));
}

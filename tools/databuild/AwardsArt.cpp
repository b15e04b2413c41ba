// The awards window's panel "awards_panel" (set 1, 545 x 244): a wooden
// board with a parchment face, two shelves with plaques for the big awards
// on either side, the total award's spotlight in the middle and the strip
// the nine small awards stand on.
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
  for (const auto& p : places) Plaque(cr, p[0] - 2, p[1] - 2, 68);
  for (double y : {106.0, 204.0}) {
    for (double x0 : {14.0, 384.0}) {
      cairo_rectangle(cr, x0, y, 148, 7);
      FillLit(cr, pal::kWoodDark, x0, y, x0 + 148, y + 7, 0.3);
      Outline(cr, 1.5);
    }
  }
  // The small awards' strip.
  cairo_rectangle(cr, 14, 172, w - 28, 6);
  FillLit(cr, pal::kWood, 14, 172, w - 14, 178, 0.3);
  Outline(cr, 1.5);
}

}  // namespace

void AddAwardsArt(ArtBook& book) {
  ArtPiece panel;
  panel.draw = AwardsPanel;
  panel.layout = FrameLayout{1, 1};
  book.Add(1, "awards_panel", std::move(panel));
}

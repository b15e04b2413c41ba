// The icons (set 2) besides the products': the bonuses as round badges
// (48 pixels, and 96 for their "big_" forms), the awards as medals on
// ribbons (64), the final award's trophy ("ba_total" 256 x 240, "ico_total" 64),
// the job icons shown on a dark plate where a job will happen and on the
// buttons that order the job (32: boots, broom, pick, sponge, up arrow,
// drop, hand; three frames: disabled, normal, lit), the empty place's panel icons
// (48) and the toxic repair button's icon and arrow.
#include <cmath>
#include <functional>
#include <map>
#include <tuple>

#include "ArtBook.h"
#include "ArtKit.h"
#include "ContentSources.h"
#include "Emblems.h"
#include "SkinPictures.h"
#include "content/ContentArchive.h"

namespace art {

namespace {

// --- Emblems (100 x 100) -------------------------------------------------------------

void BeeEmblem(cairo_t* cr, double line) {
  for (int k = 0; k < 2; ++k) {
    Ellipse(cr, 40 + k * 16, 26, 13, 20);
    Source(cr, Hex(0xEAF6FF), 0.95);
    cairo_fill_preserve(cr);
    Outline(cr, line * 0.8, Hex(0x6A8AAA));
  }
  Ellipse(cr, 46, 60, 32, 25);
  FillRound(cr, pal::kYellow, 46, 60, 32);
  cairo_save(cr);
  cairo_clip(cr);
  for (int k = 0; k < 2; ++k) {
    cairo_rectangle(cr, 32 + k * 18, 30, 9, 60);
    Source(cr, Hex(0x2B2230));
    cairo_fill(cr);
  }
  cairo_restore(cr);
  Ellipse(cr, 46, 60, 32, 25);
  Outline(cr, line);
  Ellipse(cr, 80, 56, 14, 14);
  FillRound(cr, Hex(0x2B2230), 80, 56, 14);
  Outline(cr, line);
  Ellipse(cr, 84, 52, 4, 4.5);
  Source(cr, pal::kWhite);
  cairo_fill(cr);
  cairo_move_to(cr, 14, 62);
  cairo_line_to(cr, 4, 66);
  cairo_set_line_width(cr, 4);
  Source(cr, pal::kOutline);
  cairo_stroke(cr);
}

void CloudEmblem(cairo_t* cr, double line) {
  for (int k = 0; k < 3; ++k) {  // drops
    const double x = 30 + k * 20, y = 70 + (k % 2) * 10;
    cairo_move_to(cr, x, y - 10);
    cairo_curve_to(cr, x + 8, y, x + 7, y + 8, x, y + 8);
    cairo_curve_to(cr, x - 7, y + 8, x - 8, y, x, y - 10);
    FillLit(cr, pal::kWater, x - 8, y - 10, x + 8, y + 8, 0.4);
    Outline(cr, line * 0.8);
  }
  cairo_new_sub_path(cr);
  cairo_arc(cr, 30, 48, 16, M_PI * 0.5, M_PI * 1.5);
  cairo_arc(cr, 48, 30, 20, M_PI, M_PI * 1.9);
  cairo_arc(cr, 72, 44, 16, M_PI * 1.4, M_PI * 0.5);
  cairo_close_path(cr);
  FillLit(cr, pal::kWhite, 14, 10, 88, 64, 0.2);
  Outline(cr, line);
}

void Bolt(cairo_t* cr, double line, double x, double y, double s) {
  cairo_move_to(cr, x + 8 * s, y);
  cairo_line_to(cr, x - 6 * s, y + 22 * s);
  cairo_line_to(cr, x + 2 * s, y + 22 * s);
  cairo_line_to(cr, x - 6 * s, y + 44 * s);
  cairo_line_to(cr, x + 14 * s, y + 16 * s);
  cairo_line_to(cr, x + 5 * s, y + 16 * s);
  cairo_line_to(cr, x + 14 * s, y);
  cairo_close_path(cr);
  FillLit(cr, pal::kYellow, x - 6 * s, y, x + 14 * s, y + 44 * s, 0.35);
  Outline(cr, line);
}

void Boot(cairo_t* cr, double line, double x, double y, double s) {
  cairo_move_to(cr, x, y);
  cairo_line_to(cr, x + 22 * s, y);
  cairo_line_to(cr, x + 24 * s, y + 30 * s);
  cairo_curve_to(cr, x + 44 * s, y + 32 * s, x + 48 * s, y + 40 * s, x + 46 * s, y + 48 * s);
  cairo_line_to(cr, x - 2 * s, y + 48 * s);
  cairo_close_path(cr);
  FillLit(cr, pal::kWood, x, y, x + 48 * s, y + 48 * s, 0.35);
  Outline(cr, line);
  cairo_rectangle(cr, x - 2 * s, y + 42 * s, 48 * s, 6 * s);
  Source(cr, pal::kWoodDark);
  cairo_fill(cr);
  cairo_move_to(cr, x, y + 8 * s);
  cairo_line_to(cr, x + 22 * s, y + 8 * s);
  cairo_set_line_width(cr, 4 * s);
  Source(cr, pal::kRed);
  cairo_stroke(cr);
}

void SpeedEmblem(cairo_t* cr, double line) {
  for (int k = 0; k < 3; ++k) {  // speed lines
    cairo_move_to(cr, 6, 40 + k * 14);
    cairo_line_to(cr, 24, 40 + k * 14);
  }
  cairo_set_line_width(cr, 5);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  Source(cr, pal::kWhite);
  cairo_stroke(cr);
  Boot(cr, line, 34, 22, 1.1);
  cairo_move_to(cr, 36, 30);  // a little wing
  cairo_curve_to(cr, 22, 14, 18, 24, 14, 16);
  cairo_curve_to(cr, 18, 32, 28, 36, 36, 38);
  FillLit(cr, pal::kWhite, 14, 14, 36, 38, 0.2);
  Outline(cr, line * 0.8);
}

void BasketEmblem(cairo_t* cr, double line) {
  for (const auto& [x, y, c] :
       {std::tuple{34.0, 44.0, pal::kRed}, {56.0, 40.0, pal::kOrange}, {46.0, 32.0, pal::kRed}}) {
    Ellipse(cr, x, y, 12, 12);
    FillRound(cr, c, x, y, 12);
    Outline(cr, line * 0.8);
  }
  cairo_move_to(cr, 12, 50);
  cairo_line_to(cr, 88, 50);
  cairo_line_to(cr, 78, 88);
  cairo_line_to(cr, 22, 88);
  cairo_close_path(cr);
  FillLit(cr, pal::kWood, 12, 50, 88, 88, 0.35);
  Outline(cr, line);
  for (int k = 1; k < 4; ++k) {
    cairo_move_to(cr, 12 + k * 19, 52);
    cairo_line_to(cr, 20 + k * 15, 86);
  }
  cairo_set_line_width(cr, 2);
  Source(cr, pal::kWoodDark);
  cairo_stroke(cr);
  Star(cr, 80, 22, 14, 6, 5);
  FillLit(cr, pal::kYellow, 66, 8, 94, 36, 0.4);
  Outline(cr, line * 0.8);
}

void Gear(cairo_t* cr, double line, double cx, double cy, double r) {
  cairo_new_sub_path(cr);
  for (int i = 0; i < 32; ++i) {
    const double a = i * M_PI / 16, rr = (i / 2) % 2 == 0 ? r : r * 0.8;
    cairo_line_to(cr, cx + std::cos(a) * rr, cy + std::sin(a) * rr);
  }
  cairo_close_path(cr);
  FillLit(cr, pal::kMetal, cx - r, cy - r, cx + r, cy + r, 0.4);
  Outline(cr, line);
  Ellipse(cr, cx, cy, r * 0.32, r * 0.32);
  Source(cr, Darker(pal::kMetal, 0.5));
  cairo_fill(cr);
}

void Arrow(cairo_t* cr, double line, double x, double y, double s, Rgb c) {
  cairo_move_to(cr, x, y);
  cairo_line_to(cr, x + 16 * s, y + 18 * s);
  cairo_line_to(cr, x + 7 * s, y + 18 * s);
  cairo_line_to(cr, x + 7 * s, y + 36 * s);
  cairo_line_to(cr, x - 7 * s, y + 36 * s);
  cairo_line_to(cr, x - 7 * s, y + 18 * s);
  cairo_line_to(cr, x - 16 * s, y + 18 * s);
  cairo_close_path(cr);
  FillLit(cr, c, x - 16 * s, y, x + 16 * s, y + 36 * s, 0.35);
  Outline(cr, line);
}

void FactoryEmblem(cairo_t* cr, double line) {
  Gear(cr, line, 42, 58, 34);
  Gear(cr, line, 78, 30, 18);
  Arrow(cr, line, 42, 24, 1.0, pal::kLeaf);
}

void Hen(cairo_t* cr, double line) {
  cairo_move_to(cr, 24, 40);  // body with the tail up
  cairo_curve_to(cr, 10, 30, 8, 18, 14, 12);
  cairo_curve_to(cr, 24, 22, 30, 34, 40, 40);
  cairo_curve_to(cr, 50, 40, 56, 28, 62, 26);
  cairo_curve_to(cr, 80, 24, 84, 44, 80, 58);
  cairo_curve_to(cr, 74, 84, 30, 90, 20, 70);
  cairo_curve_to(cr, 16, 58, 18, 48, 24, 40);
  cairo_close_path(cr);
  FillLit(cr, pal::kWhite, 8, 12, 84, 90, 0.25);
  Outline(cr, line);
  cairo_move_to(cr, 60, 24);  // comb
  cairo_curve_to(cr, 60, 12, 70, 10, 72, 18);
  cairo_curve_to(cr, 76, 10, 84, 14, 80, 26);
  FillLit(cr, pal::kRed, 60, 10, 84, 26, 0.3);
  Outline(cr, line * 0.8);
  cairo_move_to(cr, 82, 38);  // beak
  cairo_line_to(cr, 94, 42);
  cairo_line_to(cr, 82, 46);
  cairo_close_path(cr);
  FillLit(cr, pal::kOrange, 82, 38, 94, 46, 0.3);
  Outline(cr, line * 0.8);
  Ellipse(cr, 72, 36, 3.5, 4);
  Source(cr, pal::kOutline);
  cairo_fill(cr);
  cairo_move_to(cr, 36, 58);  // wing
  cairo_curve_to(cr, 44, 50, 60, 52, 62, 62);
  cairo_curve_to(cr, 54, 70, 42, 68, 36, 58);
  FillLit(cr, Hex(0xEADFC8), 36, 50, 62, 70, 0.3);
  Outline(cr, line * 0.8);
  for (double x : {40.0, 56.0}) {
    cairo_move_to(cr, x, 82);
    cairo_line_to(cr, x, 94);
  }
  cairo_set_line_width(cr, 4);
  Source(cr, pal::kOrange);
  cairo_stroke(cr);
}

void Heart(cairo_t* cr, double line, double cx, double cy, double s) {
  cairo_move_to(cr, cx, cy + 12 * s);
  cairo_curve_to(cr, cx - 20 * s, cy, cx - 12 * s, cy - 14 * s, cx, cy - 6 * s);
  cairo_curve_to(cr, cx + 12 * s, cy - 14 * s, cx + 20 * s, cy, cx, cy + 12 * s);
  FillLit(cr, pal::kPink, cx - 16 * s, cy - 14 * s, cx + 16 * s, cy + 12 * s, 0.4);
  Outline(cr, line);
}

void AnimalsEmblem(cairo_t* cr, double line) {
  Hen(cr, line);
  Heart(cr, line * 0.8, 20, 22, 0.9);
}

void Broom(cairo_t* cr, double line) {
  cairo_move_to(cr, 80, 8);
  cairo_line_to(cr, 44, 60);
  Rod(cr, 9, pal::kWood, line);
  cairo_move_to(cr, 38, 52);
  cairo_line_to(cr, 56, 64);
  cairo_line_to(cr, 34, 94);
  cairo_curve_to(cr, 22, 92, 10, 84, 6, 74);
  cairo_close_path(cr);
  FillLit(cr, pal::kStraw, 6, 52, 56, 94, 0.35);
  Outline(cr, line);
  cairo_move_to(cr, 40, 56);
  cairo_line_to(cr, 53, 65);
  cairo_set_line_width(cr, 5);
  Source(cr, pal::kRed);
  cairo_stroke(cr);
  for (int k = 0; k < 3; ++k) {
    cairo_move_to(cr, 40 - k * 4, 68 + k * 3);
    cairo_line_to(cr, 24 - k * 6, 90 - k * 2);
  }
  cairo_set_line_width(cr, 1.6);
  Source(cr, Darker(pal::kStraw, 0.35));
  cairo_stroke(cr);
}

void Sparkle(cairo_t* cr, double line, double cx, double cy, double r) {
  Star(cr, cx, cy, r, r * 0.3, 4);
  FillLit(cr, pal::kYellow, cx - r, cy - r, cx + r, cy + r, 0.45);
  Outline(cr, line * 0.7);
}

void ClearEmblem(cairo_t* cr, double line) {
  Broom(cr, line);
  Sparkle(cr, line, 78, 66, 12);
  Sparkle(cr, line, 90, 86, 7);
}

void Shield(cairo_t* cr, double line) {
  cairo_move_to(cr, 50, 8);
  cairo_curve_to(cr, 64, 16, 78, 18, 86, 18);
  cairo_curve_to(cr, 88, 56, 74, 80, 50, 94);
  cairo_curve_to(cr, 26, 80, 12, 56, 14, 18);
  cairo_curve_to(cr, 22, 18, 36, 16, 50, 8);
  FillLit(cr, pal::kBlue, 12, 8, 88, 94, 0.35);
  Outline(cr, line);
  Bolt(cr, line * 0.8, 44, 26, 1.0);
}

void Sunrise(cairo_t* cr, double line) {
  for (int k = 0; k < 7; ++k) {
    const double a = M_PI + k * M_PI / 6;
    cairo_move_to(cr, 50 + std::cos(a) * 30, 66 + std::sin(a) * 30);
    cairo_line_to(cr, 50 + std::cos(a) * 44, 66 + std::sin(a) * 44);
  }
  cairo_set_line_width(cr, 6);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  Source(cr, pal::kOrange);
  cairo_stroke(cr);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 50, 66, 24, M_PI, 2 * M_PI);
  cairo_close_path(cr);
  FillRound(cr, pal::kYellow, 50, 60, 26);
  Outline(cr, line);
  RoundRect(cr, 8, 64, 84, 22, 8);
  FillLit(cr, pal::kGrass, 8, 64, 92, 86, 0.35);
  Outline(cr, line);
}

void Coin(cairo_t* cr, double line, double cx, double cy, double r) {
  Ellipse(cr, cx, cy, r, r * 0.45);
  FillLit(cr, pal::kGold, cx - r, cy - r * 0.45, cx + r, cy + r * 0.45, 0.45);
  Outline(cr, line);
}

void Coins(cairo_t* cr, double line) {
  for (int k = 0; k < 4; ++k) Coin(cr, line, 38, 82 - k * 12, 26);
  for (int k = 0; k < 2; ++k) Coin(cr, line, 70, 82 - k * 12, 22);
  Ellipse(cr, 66, 28, 20, 20);  // one standing
  FillRound(cr, pal::kGold, 66, 28, 20);
  Outline(cr, line);
  Ellipse(cr, 66, 28, 12, 12);
  cairo_set_line_width(cr, 2.5);
  Source(cr, Darker(pal::kGold, 0.3));
  cairo_stroke(cr);
}

void Stars(cairo_t* cr, double line) {
  Star(cr, 50, 46, 30, 13, 5);
  FillLit(cr, pal::kYellow, 20, 16, 80, 76, 0.45);
  Outline(cr, line);
  Star(cr, 20, 78, 14, 6, 5);
  FillLit(cr, pal::kPink, 6, 64, 34, 92, 0.4);
  Outline(cr, line * 0.8);
  Star(cr, 80, 80, 14, 6, 5);
  FillLit(cr, pal::kSky, 66, 66, 94, 94, 0.4);
  Outline(cr, line * 0.8);
}

void StreakEmblem(cairo_t* cr, double line) {
  Boot(cr, line, 18, 30, 1.05);
  for (int k = 0; k < 3; ++k) Sparkle(cr, line, 78, 20 + k * 22, 9 - k);
}

void Piggy(cairo_t* cr, double line) {
  Ellipse(cr, 48, 58, 38, 28);
  FillRound(cr, pal::kPink, 48, 58, 38);
  Outline(cr, line);
  for (double x : {26.0, 66.0}) {
    RoundRect(cr, x - 6, 76, 12, 16, 3);
    FillLit(cr, Darker(pal::kPink, 0.1), x - 6, 76, x + 6, 92, 0.3);
    Outline(cr, line * 0.8);
  }
  cairo_move_to(cr, 30, 36);  // ear
  cairo_line_to(cr, 38, 18);
  cairo_line_to(cr, 48, 32);
  FillLit(cr, pal::kPink, 30, 18, 48, 36, 0.3);
  Outline(cr, line * 0.8);
  Ellipse(cr, 84, 58, 9, 11);  // snout
  FillRound(cr, Darker(pal::kPink, 0.08), 84, 58, 10);
  Outline(cr, line * 0.8);
  RoundRect(cr, 40, 30, 18, 5, 2);  // the slot
  Source(cr, pal::kOutline);
  cairo_fill(cr);
  Ellipse(cr, 64, 48, 3, 3.5);
  cairo_fill(cr);
  Coin(cr, line * 0.8, 49, 20, 12);
}

void Stopwatch(cairo_t* cr, double line) {
  RoundRect(cr, 42, 6, 16, 12, 3);
  FillLit(cr, pal::kRed, 42, 6, 58, 18, 0.3);
  Outline(cr, line * 0.8);
  Ellipse(cr, 50, 56, 38, 38);
  FillRound(cr, pal::kSilver, 50, 56, 38);
  Outline(cr, line);
  Ellipse(cr, 50, 56, 30, 30);
  FillLit(cr, pal::kWhite, 20, 26, 80, 86, 0.15);
  Outline(cr, line * 0.6);
  cairo_move_to(cr, 50, 56);
  cairo_line_to(cr, 50, 32);
  cairo_move_to(cr, 50, 56);
  cairo_line_to(cr, 66, 64);
  cairo_set_line_width(cr, 4);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  Source(cr, pal::kOutline);
  cairo_stroke(cr);
}

void HammerEmblem(cairo_t* cr, double line) {
  cairo_move_to(cr, 26, 90);
  cairo_line_to(cr, 62, 38);
  Rod(cr, 10, pal::kWood, line);
  cairo_save(cr);
  cairo_translate(cr, 64, 34);
  cairo_rotate(cr, 0.6);
  RoundRect(cr, -30, -11, 56, 22, 4);
  FillLit(cr, pal::kMetal, -30, -11, 26, 11, 0.45);
  Outline(cr, line);
  cairo_restore(cr);
}

void MoneyBag(cairo_t* cr, double line) {
  cairo_move_to(cr, 40, 26);
  cairo_curve_to(cr, 10, 40, 8, 90, 50, 92);
  cairo_curve_to(cr, 92, 90, 90, 40, 60, 26);
  cairo_close_path(cr);
  FillLit(cr, Hex(0xC9A46A), 8, 26, 92, 92, 0.35);
  Outline(cr, line);
  cairo_move_to(cr, 40, 26);
  cairo_line_to(cr, 30, 8);
  cairo_line_to(cr, 50, 16);
  cairo_line_to(cr, 70, 8);
  cairo_line_to(cr, 60, 26);
  cairo_close_path(cr);
  FillLit(cr, Hex(0xC9A46A), 30, 8, 70, 26, 0.35);
  Outline(cr, line);
  RoundRect(cr, 36, 22, 28, 7, 3);
  FillLit(cr, pal::kRed, 36, 22, 64, 29, 0.3);
  Outline(cr, line * 0.8);
  Ellipse(cr, 50, 62, 16, 16);
  FillRound(cr, pal::kGold, 50, 62, 16);
  Outline(cr, line * 0.8);
}

void Trophy(cairo_t* cr, double line) {
  for (int side : {-1, 1}) {  // handles
    cairo_new_sub_path(cr);
    cairo_arc(cr, 50 + side * 30, 32, 12, 0, 2 * M_PI);
    Rod(cr, 6, pal::kGold, line);
  }
  cairo_move_to(cr, 22, 12);
  cairo_line_to(cr, 78, 12);
  cairo_curve_to(cr, 78, 46, 66, 58, 50, 60);
  cairo_curve_to(cr, 34, 58, 22, 46, 22, 12);
  cairo_close_path(cr);
  FillLit(cr, pal::kGold, 22, 12, 78, 60, 0.5);
  Outline(cr, line);
  RoundRect(cr, 44, 58, 12, 16, 2);
  FillLit(cr, pal::kGold, 44, 58, 56, 74, 0.4);
  Outline(cr, line);
  RoundRect(cr, 28, 74, 44, 18, 4);
  FillLit(cr, pal::kWoodDark, 28, 74, 72, 92, 0.35);
  Outline(cr, line);
  RoundRect(cr, 38, 78, 24, 8, 2);
  Source(cr, pal::kGold);
  cairo_fill(cr);
  Star(cr, 50, 32, 13, 6, 5);
  FillLit(cr, pal::kWhite, 37, 19, 63, 45, 0.2);
  Outline(cr, line * 0.7);
  Gleam(cr, 32, 24, 3, 9, 0.7);
}

void Sprout(cairo_t* cr, double line) {
  cairo_move_to(cr, 22, 58);
  cairo_line_to(cr, 78, 58);
  cairo_line_to(cr, 70, 94);
  cairo_line_to(cr, 30, 94);
  cairo_close_path(cr);
  FillLit(cr, pal::kRust, 22, 58, 78, 94, 0.35);
  Outline(cr, line);
  RoundRect(cr, 18, 52, 64, 12, 3);
  FillLit(cr, Lighter(pal::kRust, 0.15), 18, 52, 82, 64, 0.35);
  Outline(cr, line);
  cairo_move_to(cr, 50, 54);
  cairo_curve_to(cr, 50, 40, 48, 34, 50, 24);
  cairo_set_line_width(cr, 5);
  Source(cr, pal::kGrassDark);
  cairo_stroke(cr);
  for (int side : {-1, 1}) {
    cairo_move_to(cr, 50, 34);
    cairo_curve_to(cr, 50 + side * 10, 14, 50 + side * 30, 14, 50 + side * 36, 22);
    cairo_curve_to(cr, 50 + side * 30, 36, 50 + side * 14, 40, 50, 34);
    FillLit(cr, pal::kLeaf, 14, 12, 86, 40, 0.35);
    Outline(cr, line);
  }
}

void Barn(cairo_t* cr, double line) {
  cairo_move_to(cr, 10, 44);
  cairo_line_to(cr, 50, 10);
  cairo_line_to(cr, 90, 44);
  cairo_line_to(cr, 84, 44);
  cairo_line_to(cr, 84, 92);
  cairo_line_to(cr, 16, 92);
  cairo_line_to(cr, 16, 44);
  cairo_close_path(cr);
  FillLit(cr, pal::kRed, 10, 10, 90, 92, 0.35);
  Outline(cr, line);
  cairo_move_to(cr, 8, 46);
  cairo_line_to(cr, 50, 8);
  cairo_line_to(cr, 92, 46);
  cairo_set_line_width(cr, 7);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  Source(cr, pal::kWhite);
  cairo_stroke(cr);
  cairo_rectangle(cr, 34, 58, 32, 34);
  FillLit(cr, pal::kWood, 34, 58, 66, 92, 0.3);
  Outline(cr, line);
  cairo_move_to(cr, 34, 58);
  cairo_line_to(cr, 66, 92);
  cairo_move_to(cr, 66, 58);
  cairo_line_to(cr, 34, 92);
  cairo_set_line_width(cr, 3.5);
  Source(cr, pal::kWhite);
  cairo_stroke(cr);
  Ellipse(cr, 50, 36, 7, 7);
  FillLit(cr, pal::kWood, 43, 29, 57, 43, 0.3);
  Outline(cr, line * 0.8);
}

void Pick(cairo_t* cr, double line) {
  cairo_move_to(cr, 24, 88);
  cairo_line_to(cr, 64, 34);
  Rod(cr, 9, pal::kWood, line);
  cairo_move_to(cr, 22, 20);
  cairo_curve_to(cr, 44, 16, 70, 18, 92, 40);
  cairo_curve_to(cr, 74, 32, 56, 32, 40, 34);
  cairo_curve_to(cr, 34, 28, 28, 24, 22, 20);
  FillLit(cr, pal::kMetal, 22, 16, 92, 40, 0.45);
  Outline(cr, line);
}

void Sponge(cairo_t* cr, double line) {
  for (int k = 0; k < 4; ++k) {
    const double x = 24 + k * 18, y = 24 - (k % 2) * 8, r = 9 - k % 2 * 2;
    Ellipse(cr, x, y, r, r);
    FillRound(cr, pal::kWhite, x, y, r);
    Outline(cr, line * 0.7, Hex(0x6F9CC8));
  }
  RoundRect(cr, 14, 40, 72, 44, 12);
  FillLit(cr, pal::kYellow, 14, 40, 86, 84, 0.35);
  Outline(cr, line);
  RoundRect(cr, 14, 70, 72, 14, 6);
  FillLit(cr, pal::kLeaf, 14, 70, 86, 84, 0.3);
  Outline(cr, line);
  for (const auto& [x, y] : {std::pair{30.0, 52.0}, {50.0, 58.0}, {68.0, 50.0}, {40.0, 62.0}}) {
    Ellipse(cr, x, y, 3, 2.5);
    Source(cr, Darker(pal::kYellow, 0.25));
    cairo_fill(cr);
  }
}

// A heap of junk: a grey-brown mound, a plank across it and a can on top.
void JunkHeap(cairo_t* cr, double line) {
  cairo_move_to(cr, 6, 88);
  cairo_curve_to(cr, 14, 52, 34, 34, 52, 36);
  cairo_curve_to(cr, 72, 38, 88, 58, 94, 88);
  cairo_close_path(cr);
  FillLit(cr, Darker(pal::kStone, 0.15), 6, 34, 94, 88, 0.35);
  Outline(cr, line);
  cairo_save(cr);
  cairo_translate(cr, 48, 56);
  cairo_rotate(cr, -0.35);
  cairo_rectangle(cr, -34, -6, 64, 12);
  FillLit(cr, pal::kWood, -34, -6, 30, 6, 0.3);
  Outline(cr, line);
  cairo_restore(cr);
  cairo_rectangle(cr, 56, 18, 18, 26);
  FillLit(cr, pal::kSky, 56, 18, 74, 44, 0.4);
  Outline(cr, line);
  Ellipse(cr, 30, 70, 8, 6);
  FillRound(cr, Darker(pal::kStone, 0.4), 30, 70, 8);
  Outline(cr, line * 0.8);
}

void UpgradeEmblem(cairo_t* cr, double line) { Arrow(cr, line, 50, 8, 2.2, pal::kLeaf); }

void Drop(cairo_t* cr, double line) {
  cairo_move_to(cr, 50, 6);
  cairo_curve_to(cr, 70, 36, 84, 52, 84, 66);
  cairo_curve_to(cr, 84, 86, 68, 96, 50, 96);
  cairo_curve_to(cr, 32, 96, 16, 86, 16, 66);
  cairo_curve_to(cr, 16, 52, 30, 36, 50, 6);
  FillLit(cr, pal::kWater, 16, 6, 84, 96, 0.45);
  Outline(cr, line);
  Gleam(cr, 34, 64, 6, 12, 0.75);
}

void Hand(cairo_t* cr, double line) {
  cairo_move_to(cr, 30, 92);
  cairo_line_to(cr, 26, 60);
  cairo_curve_to(cr, 14, 50, 10, 42, 16, 38);
  cairo_curve_to(cr, 22, 34, 28, 42, 32, 48);
  cairo_line_to(cr, 30, 16);
  cairo_curve_to(cr, 30, 8, 40, 8, 40, 16);
  cairo_line_to(cr, 42, 40);
  cairo_line_to(cr, 44, 10);
  cairo_curve_to(cr, 44, 2, 54, 2, 54, 10);
  cairo_line_to(cr, 54, 40);
  cairo_line_to(cr, 58, 14);
  cairo_curve_to(cr, 58, 6, 68, 6, 68, 14);
  cairo_line_to(cr, 66, 44);
  cairo_line_to(cr, 72, 24);
  cairo_curve_to(cr, 74, 16, 84, 18, 82, 26);
  cairo_curve_to(cr, 80, 50, 76, 70, 68, 92);
  cairo_close_path(cr);
  FillLit(cr, pal::kSkin, 10, 2, 84, 92, 0.35);
  Outline(cr, line);
  RoundRect(cr, 26, 84, 46, 14, 3);
  FillLit(cr, pal::kRed, 26, 84, 72, 98, 0.3);
  Outline(cr, line);
}

void SprayEmblem(cairo_t* cr, double line) {
  RoundRect(cr, 26, 40, 44, 56, 10);
  FillLit(cr, pal::kWhite, 26, 40, 70, 96, 0.3);
  Outline(cr, line);
  RoundRect(cr, 26, 58, 44, 22, 4);
  FillLit(cr, pal::kToxic, 26, 58, 70, 80, 0.35);
  Outline(cr, line * 0.8);
  RoundRect(cr, 38, 22, 20, 20, 4);
  FillLit(cr, pal::kBlue, 38, 22, 58, 42, 0.35);
  Outline(cr, line);
  cairo_move_to(cr, 58, 26);
  cairo_line_to(cr, 72, 26);
  cairo_line_to(cr, 72, 34);
  cairo_line_to(cr, 58, 34);
  FillLit(cr, pal::kBlue, 58, 26, 72, 34, 0.35);
  Outline(cr, line * 0.8);
  for (int k = 0; k < 3; ++k) {  // the spray
    Ellipse(cr, 80 + k * 6, 22 + k * 6 - 6, 3, 3);
    Source(cr, pal::kSky, 0.9);
    cairo_fill(cr);
  }
  Sparkle(cr, line, 84, 52, 10);
}

// --- Frames around emblems ----------------------------------------------------------------

// A round badge of a colour with a white rim, the emblem inside (bonuses).
void Badge(cairo_t* cr, double size, Rgb colour, Emblem emblem) {
  const double line = std::max(1.2, size / 32), c = size / 2, r = size / 2 - line;
  Ellipse(cr, c, c, r, r);
  FillRound(cr, colour, c, c, r);
  Outline(cr, line);
  Ellipse(cr, c, c, r - line * 1.6, r - line * 1.6);
  cairo_set_line_width(cr, line * 1.2);
  Source(cr, pal::kWhite, 0.85);
  cairo_stroke(cr);
  DrawEmblem(cr, emblem, size * 0.19, size * 0.19, size * 0.62, line * 0.9);
}

// A medal on a ribbon (awards).
void Medal(cairo_t* cr, double size, Rgb ribbon, Emblem emblem) {
  const double line = std::max(1.2, size / 36), c = size / 2;
  for (int side : {-1, 1}) {
    cairo_move_to(cr, c + side * size * 0.06, 0);
    cairo_line_to(cr, c + side * size * 0.34, 0);
    cairo_line_to(cr, c + side * size * 0.16, size * 0.42);
    cairo_line_to(cr, c - side * size * 0.08, size * 0.42);
    cairo_close_path(cr);
    FillLit(cr, side < 0 ? ribbon : Darker(ribbon, 0.15), 0, 0, size, size * 0.4, 0.3);
    Outline(cr, line);
  }
  const double mr = size * 0.33, my = size * 0.62;
  Ellipse(cr, c, my, mr, mr);
  FillRound(cr, pal::kGold, c, my, mr);
  Outline(cr, line);
  Star(cr, c, my, mr * 0.92, mr * 0.8, 16);  // the milled rim
  cairo_set_line_width(cr, line * 0.6);
  Source(cr, Darker(pal::kGold, 0.3), 0.7);
  cairo_stroke(cr);
  Ellipse(cr, c, my, mr * 0.72, mr * 0.72);
  FillLit(cr, pal::kPanel, c - mr, my - mr, c + mr, my + mr, 0.3);
  Outline(cr, line * 0.7);
  DrawEmblem(cr, emblem, c - mr * 0.62, my - mr * 0.62, mr * 1.24, line * 0.75);
}

// A job icon: the emblem with a light halo, so it reads on the dark plate
// under it. A button draws the frame of its state (at most the third):
// frame 0 (disabled) faded, 1 as it is, 2 (under the mouse) lit.
constexpr u32 kJobIconFrames = 3;

void JobIcon(cairo_t* cr, double size, u32 frame, Emblem emblem) {
  const double line = std::max(1.0, size / 28);
  cairo_push_group(cr);
  DrawEmblem(cr, emblem, size * 0.06, size * 0.06, size * 0.88, line);
  cairo_pattern_t* shape = cairo_pop_group(cr);
  PaintHaloed(cr, shape, line, frame);
  cairo_pattern_destroy(shape);
}

ArtPiece Drawn(std::function<void(cairo_t*, double)> draw) {
  ArtPiece p;
  p.draw = [draw](cairo_t* cr, const ArtFrame& f) { draw(cr, f.width); };
  return p;
}

// A small medal of a metal with a star (the empty panel's medal times).
void SmallMedal(cairo_t* cr, double size, Rgb metal) {
  const double line = std::max(1.2, size / 30), c = size / 2, r = size / 2 - line * 1.5;
  Ellipse(cr, c, c, r, r);
  FillRound(cr, metal, c, c, r);
  Outline(cr, line);
  Star(cr, c, c, r * 0.9, r * 0.78, 16);  // the milled rim
  cairo_set_line_width(cr, line * 0.6);
  Source(cr, Darker(metal, 0.3), 0.7);
  cairo_stroke(cr);
  Star(cr, c, c, r * 0.5, r * 0.22, 5);
  FillLit(cr, Lighter(metal, 0.35), c - r, c - r, c + r, c + r, 0.3);
  Outline(cr, line * 0.7);
}

struct AwardLook {
  const char* name;
  Emblem emblem;
  Rgb ribbon;
};

}  // namespace

}  // namespace art

void AddIconArt(ArtBook& book) {
  using namespace art;
  const std::pair<const char*, std::pair<Rgb, Emblem>> bonuses[] = {
      {"bees", {pal::kOrange, BeeEmblem}},           {"rain", {pal::kSky, CloudEmblem}},
      {"speed", {pal::kRed, SpeedEmblem}},           {"instant", {pal::kPurple, BasketEmblem}},
      {"factories", {Hex(0x6F8FB0), FactoryEmblem}}, {"animals", {pal::kPink, AnimalsEmblem}},
  };
  for (const auto& [name, look] : bonuses) {
    const auto [colour, emblem] = look;
    const ArtPiece badge = Drawn([colour, emblem](cairo_t* cr, double size) { Badge(cr, size, colour, emblem); });
    book.Add(kIconSpriteSet, name, badge);
    book.Add(kIconSpriteSet, std::string("big_") + name, badge);
  }
  // The awards: a product's medal shows the product; the others their deed.
  const AwardLook awards[] = {
      {"cleaner", ClearEmblem, pal::kLeaf},
      {"guardian", Shield, pal::kBlue},
      {"early_bird", Sunrise, pal::kOrange},
      {"gold_rush", Coins, pal::kRed},
      {"bonus_collector", Stars, pal::kPurple},
      {"villain_streak", StreakEmblem, pal::kBlue},
      {"thrifty", Piggy, pal::kPink},
      {"speedy", Stopwatch, pal::kRed},
      {"master_builder", HammerEmblem, pal::kOrange},
      {"tycoon", MoneyBag, pal::kLeaf},
  };
  for (const AwardLook& a : awards) {
    const AwardLook look = a;
    book.Add(kAwardSpriteSet, std::string("aw_") + a.name,
             Drawn([look](cairo_t* cr, double size) { Medal(cr, size, look.ribbon, look.emblem); }));
  }
  for (const char* product : {"wheat", "beta", "apple", "egg", "milk", "wool", "bread"}) {
    const Emblem e = ProductEmblem(product);
    book.Add(kAwardSpriteSet, std::string("aw_") + product,
             Drawn([e](cairo_t* cr, double size) { Medal(cr, size, pal::kRed, e); }));
  }
  book.Add(kAwardSpriteSet, "ba_total", Drawn([](cairo_t* cr, double size) {
             // The final award: a big trophy in a laurel of stars.
             for (int k = 0; k < 12; ++k) {
               const double a = M_PI * (0.65 + k * 0.15);
               const double x = size / 2 + std::cos(a) * size * 0.42, y = size * 0.5 + std::sin(a) * size * 0.42;
               Star(cr, x, y, size * 0.04, size * 0.018, 5);
               FillLit(cr, pal::kYellow, x - 10, y - 10, x + 10, y + 10, 0.4);
               Outline(cr, 1.5);
             }
             Ellipse(cr, size / 2, size / 2, size * 0.36, size * 0.36);
             cairo_set_source_rgba(cr, 1, 0.95, 0.7, 0.6);
             cairo_fill(cr);
             DrawEmblem(cr, Trophy, size * 0.15, size * 0.12, size * 0.7, size / 64);
           }));
  book.Add(kAwardSpriteSet, "ico_total",
           Drawn([](cairo_t* cr, double size) { DrawEmblem(cr, Trophy, 1, 1, size - 2, std::max(1.2, size / 32)); }));

  const std::pair<const char*, Emblem> jobs[] = {
      {"small_ico_boots", [](cairo_t* cr, double line) { Boot(cr, line, 24, 18, 1.3); }},
      {"small_ico_clear", Broom},
      {"small_ico_remove", Pick},
      {"small_ico_clean", Sponge},
      {"small_ico_upgrade", UpgradeEmblem},
      {"small_ico_water", Drop},
      {"small_ico_hand", Hand},
      {"small_ico_feed", ProductEmblem("wheat")},
  };
  for (const auto& [name, emblem] : jobs) {
    const Emblem e = emblem;
    ArtPiece icon;
    icon.draw = [e](cairo_t* cr, const ArtFrame& f) { JobIcon(cr, f.width, f.index, e); };
    icon.layout = FrameLayout{kJobIconFrames, kJobIconFrames};
    book.Add(kIconSpriteSet, name, icon);
  }
  const std::pair<const char*, Emblem> panel[] = {
      {"ico_clear", ClearEmblem}, {"ico_plants", Sprout},          {"ico_buildings", Barn},
      {"ico_pets", Hen},          {"icon_btn_toxic", SprayEmblem}, {"ico_feed", ProductEmblem("wheat")},
      {"ico_delete", Pick},       {"ico_upgrade", UpgradeEmblem},  {"ico_coin", Coins},
      {"ico_garbage", JunkHeap},
  };
  for (const auto& [name, emblem] : panel) {
    const Emblem e = emblem;
    book.Add(kIconSpriteSet, name,
             Drawn([e](cairo_t* cr, double size) { DrawEmblem(cr, e, 1, 1, size - 2, std::max(1.0, size / 30)); }));
  }
  // The clock stands between a caption that ends just left of its frame and
  // a time further right (the result window's rows): a wider inner margin on
  // its left keeps it clear of the caption.
  book.Add(kIconSpriteSet, "small_ico_clock", Drawn([](cairo_t* cr, double size) {
             DrawEmblem(cr, Stopwatch, size * 5 / 32, size * 2 / 32, size * 26 / 32, std::max(1.0, size / 30));
           }));
  const std::pair<const char*, Rgb> medals[] = {
      {"gold_small", pal::kGold}, {"silver_small", pal::kSilver}, {"bronze_small", pal::kBronze}};
  for (const auto& [name, metal] : medals) {
    const Rgb m = metal;
    book.Add(kIconSpriteSet, name, Drawn([m](cairo_t* cr, double size) { SmallMedal(cr, size, m); }));
  }
  // The time bar's medals on their plates (interface set), and the red
  // cross over a medal lost.
  const std::pair<const char*, Rgb> barMedals[] = {{"time_bar_gold_icon", pal::kGold},
                                                   {"time_bar_silver_icon", pal::kSilver},
                                                   {"time_bar_bronze_icon", pal::kBronze}};
  for (const auto& [name, metal] : barMedals) {
    const Rgb m = metal;
    book.Add(kSkinSpriteSet, name, Drawn([m](cairo_t* cr, double size) { SmallMedal(cr, size, m); }));
  }
  ArtPiece cross;
  cross.draw = [](cairo_t* cr, const ArtFrame& f) {
    const double w = f.width, h = f.height, t = w * 0.16;
    for (const double s : {1.0, -1.0}) {
      cairo_save(cr);
      cairo_translate(cr, w / 2, h / 2);
      cairo_rotate(cr, s * std::atan2(w, h));
      cairo_rectangle(cr, -t, -h * 0.48, 2 * t, h * 0.96);
      cairo_restore(cr);
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    FillLit(cr, pal::kRed, 0, 0, w, h, 0.35);
    Outline(cr, std::max(1.0, w / 16));
  };
  book.Add(kSkinSpriteSet, "red_cross", cross);
  book.Add(kIconSpriteSet, "toxic_arrow", Drawn([](cairo_t* cr, double size) {
             // Points down at the poisoned place (its pivot is its top middle).
             const double w = size, h = size * 20 / 24;
             cairo_move_to(cr, w * 0.3, 1);
             cairo_line_to(cr, w * 0.7, 1);
             cairo_line_to(cr, w * 0.7, h * 0.45);
             cairo_line_to(cr, w * 0.95, h * 0.45);
             cairo_line_to(cr, w * 0.5, h - 1);
             cairo_line_to(cr, w * 0.05, h * 0.45);
             cairo_line_to(cr, w * 0.3, h * 0.45);
             cairo_close_path(cr);
             FillLit(cr, pal::kRed, 0, 0, w, h, 0.4);
             Outline(cr, 1.3);
           }));
}

// The map sprites of the warehouse and the factories (set 3):
//   "NAME_site"   128x96: the building's outline under scaffolding, boards
//                 and a heap of bricks (the construction site)
//   "NAME_N"      128x128, levels 1 to 4: the building standing on its
//                 hot spot near the bottom; each level adds to it (a
//                 second door, a lean-to, a gilded weather vane)
//   "prod_flour_sails"  48x48, eight frames: the mill's sails turning (its
//                 production animation, drawn at the roof's top)
//   "prod_pie_oven"  48x48, eight frames: the fire flickering in the
//                 bakery's oven window (its production animation, over the
//                 window at (84, 75) of the building; the bread bakery's at
//                 (44, 75), left of its door)
//   "prod_cheese_churn"  48x48, eight frames: the dairy's butter churn by
//                 its front wall, the dasher going down and up (its frame's
//                 middle at the churn's, (right - 8, 95) of the building)
//   "prod_cloth_wheel"  48x48, eight frames: the loom house's flywheel
//                 turning in the round window of its gable ((64, 45))
// The pie bakery and the bread bakery have the oven window beside the door
// from level 1 and a stove pipe on their lean-to from level 3; both smoke
// while they work (the bread bakery's fire is the pie bakery's
// "prod_pie_oven"). The dairy has a tin steam vent where the others have a
// chimney.
// Light from the top left, shadows to the lower right, as every picture.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "ArtBook.h"
#include "ArtKit.h"
#include "Emblems.h"
#include "content/ContentArchive.h"

namespace art {

namespace {

constexpr double kFootY = 0.9;  // the hot spot: the building's front edge

struct Look {
  const char* name;
  Rgb roof;
  Rgb wall;
  const char* product;  // over the door; none: a crate's cross
  bool chimney;
  double ovenX = 0;  // an oven window's middle and, with the lean-to, a stove pipe (0: none)
  bool vent = false;  // a tin steam vent for the chimney (the dairy)
  bool gable = false;  // a round window in the gable (the loom house)
};

constexpr Look kLooks[] = {
    {"warehouse", pal::kBlue, pal::kStone, nullptr, false},
    {"prod_flour", pal::kRed, pal::kPanel, "flour", true},
    {"prod_pie", pal::kOrange, pal::kPanel, "pie", true, 84},
    {"prod_bread", pal::kRust, pal::kStraw, "bread", true, 44},
    {"prod_cheese", pal::kSky, pal::kWhite, "cheese", true, 0, true},
    {"prod_cloth", pal::kPurple, pal::kWood, "cloth", true, 0, false, true},
};

constexpr double kOvenY = 75;  // the oven window's middle
constexpr double kGableX = 64, kGableY = 45, kGableR = 15;  // the loom house's round window

// The house in a 128 x 128 frame; its width grows a little with the level.
void House(cairo_t* cr, const Look& look, int level, double alpha) {
  const double line = 2.2;
  const double w = 72 + 6 * level, left = 64 - w / 2, right = 64 + w / 2, top = 62, bottom = 115;
  cairo_push_group(cr);
  if (level >= 3) {  // a lean-to on the right, its roof's outline inside the 128-pixel frame
    const double leanRight = std::min(right + 18, 121.0);
    cairo_rectangle(cr, right - 4, 86, leanRight - right + 4, 29);
    FillLit(cr, Darker(look.wall, 0.1), right - 4, 86, leanRight, 115, 0.3);
    Outline(cr, line);
    cairo_move_to(cr, right - 6, 88);
    cairo_line_to(cr, leanRight + 2, 80 + (right + 20 - leanRight - 2) * 8 / 26);
    Rod(cr, 3, look.roof, line * 0.6);
    if (look.ovenX > 0) {  // the stove pipe through the lean-to's roof
      const double px = right + 4;
      cairo_rectangle(cr, px - 2.5, 66, 5, 18);
      FillLit(cr, pal::kMetal, px - 2.5, 66, px + 2.5, 84, 0.35);
      Outline(cr, line * 0.7);
    }
  }
  if (look.chimney && look.vent) {  // a tin pipe under a little hat
    cairo_rectangle(cr, left + 14, 38, 6, 18);
    FillLit(cr, pal::kMetal, left + 14, 38, left + 20, 56, 0.35);
    Outline(cr, line * 0.8);
    cairo_move_to(cr, left + 9, 38);
    cairo_line_to(cr, left + 17, 31);
    cairo_line_to(cr, left + 25, 38);
    cairo_close_path(cr);
    FillLit(cr, pal::kStoneDark, left + 9, 31, left + 25, 38, 0.35);
    Outline(cr, line * 0.8);
  } else if (look.chimney) {
    cairo_rectangle(cr, left + 12, 30, 10, 26);
    FillLit(cr, pal::kStoneDark, left + 12, 30, left + 22, 56, 0.3);
    Outline(cr, line);
  }
  cairo_rectangle(cr, left, top, w, bottom - top);
  FillLit(cr, look.wall, left, top, right, bottom, 0.3);
  Outline(cr, line);
  cairo_move_to(cr, left - 8, top + 4);
  cairo_line_to(cr, 64, 24);
  cairo_line_to(cr, right + 8, top + 4);
  cairo_close_path(cr);
  FillLit(cr, look.roof, left - 8, 24, right + 8, top + 4, 0.35);
  Outline(cr, line);
  for (int k = 1; k <= 2; ++k) {  // roof boards
    cairo_move_to(cr, left - 8 + k * 8, top + 4 - k * 4.5);
    cairo_line_to(cr, right + 8 - k * 8, top + 4 - k * 4.5);
  }
  Outline(cr, line * 0.5, Darker(look.roof, 0.3));
  if (look.gable) {  // a round window with a dark room behind it
    Ellipse(cr, kGableX, kGableY, kGableR + 3, kGableR + 3);
    FillLit(cr, pal::kWoodDark, kGableX - kGableR - 3, kGableY - kGableR - 3, kGableX + kGableR + 3,
            kGableY + kGableR + 3, 0.3);
    Outline(cr, line * 0.8);
    Ellipse(cr, kGableX, kGableY, kGableR, kGableR);
    Source(cr, Hex(0x3A2A36));
    cairo_fill(cr);
  }
  const int doors = level >= 2 ? 2 : 1;
  for (int d = 0; d < doors; ++d) {
    const double dx = doors == 1 ? 64 : 64 + (d == 0 ? -16 : 16);
    RoundRect(cr, dx - 10, 88, 20, 27, 3);
    FillLit(cr, pal::kWoodDark, dx - 10, 88, dx + 10, 115, 0.3);
    Outline(cr, line * 0.8);
  }
  const Emblem emblem = look.product ? ProductEmblem(look.product) : nullptr;
  if (emblem) {
    // beside an oven left of the door, the sign moves right
    DrawEmblem(cr, emblem, look.ovenX > 0 && look.ovenX < 64 ? 60 : 54, look.gable ? 64 : 62, 20, 1.2);
  } else {
    RoundRect(cr, 54, 64, 20, 16, 2);
    FillLit(cr, pal::kWood, 54, 64, 74, 80, 0.3);
    Outline(cr, line * 0.7);
  }
  if (look.ovenX > 0) {  // a brick arch around the oven's dark mouth
    const double ox = look.ovenX;
    RoundRect(cr, ox - 10, kOvenY - 8, 20, 16, 6);
    FillLit(cr, pal::kRust, ox - 10, kOvenY - 8, ox + 10, kOvenY + 8, 0.3);
    Outline(cr, line * 0.8);
    RoundRect(cr, ox - 7, kOvenY - 5, 14, 11, 4);
    Source(cr, Hex(0x2A1A12));
    cairo_fill(cr);
  }
  if (level >= 4) {  // a gilded vane on the ridge
    cairo_move_to(cr, 64, 24);
    cairo_line_to(cr, 64, 8);
    Rod(cr, 2, pal::kGold, line * 0.5);
    Star(cr, 64, 8, 6, 3, 5);
    FillLit(cr, pal::kGold, 58, 2, 70, 14, 0.4);
    Outline(cr, line * 0.5);
  }
  cairo_pop_group_to_source(cr);
  cairo_paint_with_alpha(cr, alpha);
}

void Building(cairo_t* cr, const ArtFrame& f, const Look& look, int level) {
  cairo_save(cr);
  cairo_scale(cr, f.width / 128, f.height / 128);
  GroundShadow(cr, 68, 116, 56, 8, 0.35);
  House(cr, look, level, 1.0);
  cairo_restore(cr);
}

void Site(cairo_t* cr, const ArtFrame& f, const Look& look) {
  cairo_save(cr);
  cairo_scale(cr, f.width / 128, f.height / 96);
  cairo_translate(cr, 0, -32);
  GroundShadow(cr, 66, 118, 58, 7, 0.3);
  House(cr, look, 1, 0.35);
  for (double x : {24.0, 64.0, 104.0}) {  // scaffolding
    cairo_move_to(cr, x, 118);
    cairo_line_to(cr, x, 52);
  }
  for (double y : {68.0, 92.0, 116.0}) {
    cairo_move_to(cr, 18, y);
    cairo_line_to(cr, 110, y);
  }
  Rod(cr, 4, pal::kWood, 1.2);
  for (int k = 0; k < 5; ++k) {  // bricks by the front
    const double x = 14 + (k % 3) * 9 + (k / 3) * 4.5, y = 112 - (k / 3) * 6;
    cairo_rectangle(cr, x, y, 9, 6);
    FillLit(cr, pal::kRust, x, y, x + 9, y + 6, 0.3);
    Outline(cr, 1.0);
  }
  cairo_restore(cr);
}

// The frame's place in its turn: 0 <= p < 1 along the frames.
double FramePhase(const ArtFrame& f) { return f.count > 0 ? static_cast<double>(f.index) / f.count : 0; }

// Saves the state and draws from the frame's middle in units of a 48 x 48
// frame (restore when done).
void Centred48(cairo_t* cr, const ArtFrame& f) {
  cairo_save(cr);
  cairo_translate(cr, f.width / 2, f.width / 2);
  cairo_scale(cr, f.width / 48, f.width / 48);
}

// The mill's sails: four blades turning an eighth of a quarter a frame.
void Sails(cairo_t* cr, const ArtFrame& f) {
  const double c = f.width / 2, r = f.width * 0.46;
  const double turn = FramePhase(f) * M_PI / 2;
  for (int k = 0; k < 4; ++k) {
    const double a = turn + k * M_PI / 2;
    cairo_save(cr);
    cairo_translate(cr, c, c);
    cairo_rotate(cr, a);
    cairo_rectangle(cr, r * 0.15, -r * 0.12, r * 0.85, r * 0.24);
    FillLit(cr, pal::kPanel, r * 0.15, -r * 0.12, r, r * 0.12, 0.3);
    Outline(cr, 1.2);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, r, 0);
    Outline(cr, 1.6, pal::kWoodDark);
    cairo_restore(cr);
  }
  Ellipse(cr, c, c, f.width * 0.08, f.width * 0.08);
  FillRound(cr, pal::kWoodDark, c, c, f.width * 0.08);
  Outline(cr, 1.2);
}

// The oven's fire: three tongues of flame swaying and a glow breathing with
// them, centred in the 48 x 48 frame (the window's 14 x 11 opening).
void OvenFire(cairo_t* cr, const ArtFrame& f) {
  const double t = FramePhase(f) * 2 * M_PI;
  Centred48(cr, f);
  Ellipse(cr, 0, 1, 6.5 + 0.8 * std::sin(t), 5 + 0.6 * std::sin(t));
  Source(cr, pal::kOrange, 0.55 + 0.2 * std::sin(t));
  cairo_fill(cr);
  for (int k = -1; k <= 1; ++k) {
    const double sway = 1.2 * std::sin(t + k * 2.1), h = 7 + 2 * std::sin(t * 2 + k);
    cairo_move_to(cr, k * 3.6 - 2.4, 5);
    cairo_curve_to(cr, k * 3.6 - 2.4, 2, k * 3.6 + sway - 1, 5 - h * 0.6, k * 3.6 + sway, 5 - h);
    cairo_curve_to(cr, k * 3.6 + sway + 1, 5 - h * 0.6, k * 3.6 + 2.4, 2, k * 3.6 + 2.4, 5);
    cairo_close_path(cr);
    Source(cr, k == 0 ? pal::kYellow : pal::kOrange);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

// The dairy's churn: a wooden barrel with two hoops, the dasher's handle
// sinking into it and rising again, a splash of cream when it is down.
void Churn(cairo_t* cr, const ArtFrame& f) {
  const double lift = 0.5 + 0.5 * std::cos(FramePhase(f) * 2 * M_PI);  // 1 up, 0 down
  Centred48(cr, f);
  cairo_translate(cr, -24, -24);
  GroundShadow(cr, 26, 44, 11, 2.5, 0.3);
  const double grip = 3 + 10 * (1 - lift);  // the handle's top
  cairo_move_to(cr, 24, grip);  // the handle above the lid
  cairo_line_to(cr, 24, 26);
  Rod(cr, 2.4, pal::kWood, 1.0);
  cairo_move_to(cr, 18, grip);  // its cross grip
  cairo_line_to(cr, 30, grip);
  Rod(cr, 2.6, pal::kWoodDark, 1.0);
  cairo_move_to(cr, 16, 22);
  cairo_line_to(cr, 32, 22);
  cairo_line_to(cr, 34, 44);
  cairo_line_to(cr, 14, 44);
  cairo_close_path(cr);
  FillLit(cr, pal::kWood, 14, 22, 34, 44, 0.35);
  Outline(cr, 1.4);
  for (double y : {28.0, 39.0}) {  // the hoops
    cairo_move_to(cr, 15.5 - (y - 22) * 0.09, y);
    cairo_line_to(cr, 32.5 + (y - 22) * 0.09, y);
    Rod(cr, 1.6, pal::kStoneDark, 0.6);
  }
  Ellipse(cr, 24, 22, 8, 2.2);  // the lid
  FillLit(cr, pal::kWoodDark, 16, 20, 32, 24, 0.3);
  Outline(cr, 1.0);
  if (lift < 0.3) {  // cream splashing out round the dasher
    for (int k = -1; k <= 1; k += 2) {
      Ellipse(cr, 24 + k * 5, 18 - 2 * (0.3 - lift) * 10, 1.6, 1.6);
      Source(cr, pal::kWhite);
      cairo_fill(cr);
    }
  }
  cairo_restore(cr);
}

// The loom house's flywheel: a spoked wooden wheel with a crank, a turn in
// eight frames (its spokes repeat every sixth of a turn, the crank does not).
void Flywheel(cairo_t* cr, const ArtFrame& f) {
  Centred48(cr, f);
  cairo_rotate(cr, FramePhase(f) * 2 * M_PI);
  Ellipse(cr, 0, 0, 14.5, 14.5);  // the rim: a wooden ring outlined both sides
  cairo_new_sub_path(cr);
  cairo_arc_negative(cr, 0, 0, 10.5, 2 * M_PI, 0);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  FillLit(cr, pal::kWood, -14.5, -14.5, 14.5, 14.5, 0.35);
  Outline(cr, 1.1);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  for (int k = 0; k < 6; ++k) {
    const double a = k * M_PI / 3;
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 11 * std::cos(a), 11 * std::sin(a));
  }
  Rod(cr, 2.2, pal::kWoodDark, 0.6);
  cairo_move_to(cr, 0, 0);  // the crank and its yarn-red handle
  cairo_line_to(cr, 8, 0);
  Rod(cr, 2.2, pal::kStoneDark, 0.6);
  Ellipse(cr, 8, 0, 2.6, 2.6);
  FillRound(cr, pal::kRed, 8, 0, 2.6);
  Outline(cr, 0.8);
  Ellipse(cr, 0, 0, 2.6, 2.6);
  FillRound(cr, pal::kWoodDark, 0, 0, 2.6);
  Outline(cr, 0.8);
  cairo_restore(cr);
}

}  // namespace

}  // namespace art

void AddBuildingArt(ArtBook& book) {
  using namespace art;
  for (const Look& look : kLooks) {
    ArtPiece site;
    site.draw = [look](cairo_t* cr, const ArtFrame& f) { Site(cr, f, look); };
    site.hotY = (118.0 - 32) / 96;
    book.Add(kMapSpriteSet, std::string(look.name) + "_site", site);
    for (int level = 1; level <= 4; ++level) {
      ArtPiece p;
      p.draw = [look, level](cairo_t* cr, const ArtFrame& f) { Building(cr, f, look, level); };
      p.hotY = kFootY;
      book.Add(kMapSpriteSet, std::string(look.name) + "_" + std::to_string(level), p);
    }
  }
  // The production animations, eight frames each.
  const std::pair<const char*, void (*)(cairo_t*, const ArtFrame&)> animations[] = {
      {"prod_flour_sails", Sails},
      {"prod_pie_oven", OvenFire},
      {"prod_cheese_churn", Churn},
      {"prod_cloth_wheel", Flywheel},
  };
  for (const auto& [name, draw] : animations) {
    ArtPiece p;
    p.draw = draw;
    p.layout = FrameLayout{8, 8};
    book.Add(kMapSpriteSet, name, p);
  }
}

// The panel icons of the plant and building kinds of tables/plants.txt and
// tables/buildings.txt, and the build panels' back and empty cells:
//   "pic_PLANT"       48x48: the crop's emblem on a patch of tilled soil
//   "job_PLANT"       32x32, three frames: the crop's emblem as a job icon
//   "pic_BUILDING_N"  48x48: the building (its roof in its colour, its
//                     product over the door) with N level pips
//   "job_BUILDING"    32x32, three frames: the building under scaffolding
//   "ico_back"        48x48: an arrow pointing back
//   "ico_empty"       48x48: a faint padlock (a cell that opens later)
// A job icon's frames are its button's states: 0 disabled (faded), 1 as it
// is, 2 under the mouse (lit).
#include <cmath>
#include <functional>
#include <string>

#include "ArtBook.h"
#include "ArtKit.h"
#include "Emblems.h"
#include "content/ContentArchive.h"

namespace art {

namespace {

constexpr u32 kJobFrames = 3;

// A tree with apples, for the apple tree (its product's emblem is one apple).
void AppleTree(cairo_t* cr, double line) {
  cairo_rectangle(cr, 43, 56, 14, 36);
  FillLit(cr, pal::kWood, 43, 56, 57, 92, 0.35);
  Outline(cr, line);
  Blob(cr, 50, 38, 38, 30, 7, 0.12, 17);
  FillLit(cr, pal::kLeaf, 12, 8, 88, 68, 0.35);
  Outline(cr, line);
  for (const auto& [x, y] : {std::pair{34.0, 34.0}, {62.0, 28.0}, {54.0, 50.0}, {30.0, 52.0}, {72.0, 46.0}}) {
    Ellipse(cr, x, y, 6, 6);
    FillLit(cr, pal::kRed, x - 6, y - 6, x + 6, y + 6, 0.4);
    Outline(cr, line * 0.6);
  }
}

// The crop's emblem: its product's, the apple tree its own.
Emblem PlantEmblem(const std::string& plant) {
  if (plant == "apple_tree") return AppleTree;
  return ProductEmblem(plant);
}

void PlantPicture(cairo_t* cr, double size, Emblem emblem) {
  const double s = size / 100;
  cairo_save(cr);
  cairo_scale(cr, s, s);
  Ellipse(cr, 50, 80, 44, 16);  // tilled soil
  FillLit(cr, pal::kSoil, 6, 64, 94, 96, 0.35);
  Outline(cr, std::max(1.0, size / 30) / s);
  for (int k = -1; k <= 1; ++k) {
    cairo_move_to(cr, 24 + (k + 1) * 26, 72);
    cairo_line_to(cr, 22 + (k + 1) * 26, 88);
  }
  cairo_set_line_width(cr, 2.5);
  Source(cr, pal::kSoilDark);
  cairo_stroke(cr);
  cairo_restore(cr);
  DrawEmblem(cr, emblem, size * 0.14, size * 0.02, size * 0.72, std::max(1.0, size / 30));
}

void BuildingShape(cairo_t* cr, double line, Rgb roof, Rgb wall) {
  cairo_rectangle(cr, 18, 44, 64, 48);
  FillLit(cr, wall, 18, 44, 82, 92, 0.3);
  Outline(cr, line);
  cairo_move_to(cr, 8, 48);
  cairo_line_to(cr, 50, 12);
  cairo_line_to(cr, 92, 48);
  cairo_close_path(cr);
  FillLit(cr, roof, 8, 12, 92, 48, 0.35);
  Outline(cr, line);
  RoundRect(cr, 38, 64, 24, 28, 3);  // the door
  FillLit(cr, pal::kWoodDark, 38, 64, 62, 92, 0.3);
  Outline(cr, line * 0.8);
}

struct BuildingLook {
  const char* name;
  Rgb roof;
  Rgb wall;
  const char* product;  // its emblem over the door (none: a crate)
};

constexpr BuildingLook kBuildings[] = {
    {"warehouse", pal::kBlue, pal::kStone, nullptr}, {"prod_flour", pal::kRed, pal::kPanel, "flour"},
    {"prod_pie", pal::kOrange, pal::kPanel, "pie"},  {"henhouse", pal::kRust, pal::kWood, "egg"},
    {"cowshed", pal::kRed, pal::kWhite, "milk"},     {"sheep_rack", pal::kWoodDark, pal::kStraw, "wool"},
    {"prod_bread", pal::kRust, pal::kStraw, "bread"}, {"prod_cheese", pal::kSky, pal::kWhite, "cheese"},
    {"prod_cloth", pal::kPurple, pal::kWood, "cloth"},
};

void Crate(cairo_t* cr, double line) {
  cairo_rectangle(cr, 20, 30, 60, 50);
  FillLit(cr, pal::kWood, 20, 30, 80, 80, 0.35);
  Outline(cr, line);
  cairo_move_to(cr, 20, 30);
  cairo_line_to(cr, 80, 80);
  cairo_move_to(cr, 80, 30);
  cairo_line_to(cr, 20, 80);
  cairo_set_line_width(cr, line * 1.5);
  Source(cr, pal::kWoodDark);
  cairo_stroke(cr);
}

void BuildingPicture(cairo_t* cr, double size, const BuildingLook& look, int level) {
  const double line = std::max(1.0, size / 30);
  const double s = size / 100;
  cairo_save(cr);
  cairo_scale(cr, s, s);
  BuildingShape(cr, line / s, look.roof, look.wall);
  cairo_restore(cr);
  const Emblem emblem = look.product ? ProductEmblem(look.product) : Crate;
  if (emblem) DrawEmblem(cr, emblem, size * 0.36, size * 0.30, size * 0.28, line * 0.8);
  for (int k = 0; k < level; ++k) {  // the level's pips along the bottom
    const double x = size * (0.5 + (k - (level - 1) / 2.0) * 0.17), y = size * 0.9;
    Star(cr, x, y, size * 0.085, size * 0.04, 5);
    FillLit(cr, pal::kYellow, x - 4, y - 4, x + 4, y + 4, 0.4);
    Outline(cr, line * 0.7);
  }
}

// Scaffolding over a building's outline: its construction.
void Construction(cairo_t* cr, double line, const BuildingLook& look) {
  cairo_save(cr);
  cairo_push_group(cr);
  BuildingShape(cr, line, look.roof, look.wall);
  cairo_pop_group_to_source(cr);
  cairo_paint_with_alpha(cr, 0.6);
  cairo_restore(cr);
  for (double x : {12.0, 50.0, 88.0}) {
    cairo_move_to(cr, x, 96);
    cairo_line_to(cr, x, 22);
  }
  for (double y : {40.0, 66.0, 92.0}) {
    cairo_move_to(cr, 8, y);
    cairo_line_to(cr, 92, y);
  }
  Rod(cr, 6, pal::kWood, line * 0.7);
}

// A job icon: the drawing with a white halo, in the frame of the button's state.
void JobIcon(cairo_t* cr, double size, u32 frame, const std::function<void(cairo_t*, double)>& draw) {
  const double line = std::max(1.0, size / 28);
  cairo_push_group(cr);
  cairo_save(cr);
  cairo_translate(cr, size * 0.06, size * 0.06);
  cairo_scale(cr, size * 0.88 / 100, size * 0.88 / 100);
  draw(cr, line * 100 / (size * 0.88));
  cairo_restore(cr);
  cairo_pattern_t* shape = cairo_pop_group(cr);
  PaintHaloed(cr, shape, line, frame);
  cairo_pattern_destroy(shape);
}

ArtPiece Piece(std::function<void(cairo_t*, double)> draw) {
  ArtPiece p;
  p.draw = [draw](cairo_t* cr, const ArtFrame& f) { draw(cr, f.width); };
  return p;
}

ArtPiece JobPiece(std::function<void(cairo_t*, double)> draw) {
  ArtPiece p;
  p.draw = [draw](cairo_t* cr, const ArtFrame& f) { JobIcon(cr, f.width, f.index, draw); };
  p.layout = FrameLayout{kJobFrames, kJobFrames};
  return p;
}

}  // namespace

}  // namespace art

void AddKindArt(ArtBook& book) {
  using namespace art;
  for (const char* plant : {"wheat", "beta", "apple_tree"}) {
    const Emblem e = PlantEmblem(plant);
    if (!e) continue;
    book.Add(kIconSpriteSet, std::string("pic_") + plant, Piece([e](cairo_t* cr, double size) { PlantPicture(cr, size, e); }));
    book.Add(kIconSpriteSet, std::string("job_") + plant, JobPiece([e](cairo_t* cr, double line) { e(cr, line); }));
  }
  for (const BuildingLook& look : kBuildings) {
    for (int level = 1; level <= 4; ++level)
      book.Add(kIconSpriteSet, std::string("pic_") + look.name + "_" + std::to_string(level),
               Piece([look, level](cairo_t* cr, double size) { BuildingPicture(cr, size, look, level); }));
    book.Add(kIconSpriteSet, std::string("job_") + look.name,
             JobPiece([look](cairo_t* cr, double line) { Construction(cr, line, look); }));
  }
  book.Add(kIconSpriteSet, "ico_back", Piece([](cairo_t* cr, double size) {
             const double s = size / 100, line = std::max(1.0, size / 30) / s;
             cairo_save(cr);
             cairo_scale(cr, s, s);
             cairo_move_to(cr, 10, 50);
             cairo_line_to(cr, 46, 16);
             cairo_line_to(cr, 46, 36);
             cairo_line_to(cr, 88, 36);
             cairo_line_to(cr, 88, 64);
             cairo_line_to(cr, 46, 64);
             cairo_line_to(cr, 46, 84);
             cairo_close_path(cr);
             FillLit(cr, pal::kOrange, 10, 16, 88, 84, 0.4);
             Outline(cr, line);
             cairo_restore(cr);
           }));
  // A cell no building or plant of the level takes: a small faint padlock,
  // a place that opens on a later farm rather than a slot left empty.
  book.Add(kIconSpriteSet, "ico_empty", Piece([](cairo_t* cr, double size) {
             const double s = size / 100, line = std::max(1.0, size / 40) / s;
             cairo_save(cr);
             cairo_scale(cr, s, s);
             cairo_push_group(cr);
             cairo_move_to(cr, 38, 50);
             cairo_line_to(cr, 38, 40);
             cairo_curve_to(cr, 38, 24, 62, 24, 62, 40);
             cairo_line_to(cr, 62, 50);
             Outline(cr, 7, pal::kStoneDark);
             RoundRect(cr, 30, 46, 40, 30, 6);
             FillLit(cr, pal::kStone, 30, 46, 70, 76, 0.3);
             Outline(cr, line, pal::kOutline);
             Ellipse(cr, 50, 58, 4, 4);
             Source(cr, pal::kOutline);
             cairo_fill(cr);
             cairo_pop_group_to_source(cr);
             cairo_paint_with_alpha(cr, 0.4);
             cairo_restore(cr);
           }));
}

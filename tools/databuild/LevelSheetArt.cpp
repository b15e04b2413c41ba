// The level panel's "level" sheet (set 1): the wooden planks at the
// screen's sides, the blocks and posts of the panel, the parchment of the
// point panels with their notch and framed boxes, the cells of the panel's
// button rows (cream goods buttons, sky-blue tool buttons, and their
// greyed empty parts while a goods button fills), the narrow blue buttons,
// the menu button and its plate, the level block with its ribbon and marks,
// the task cards, the bonus slots, the warehouse button and the level
// plates and stars. Every piece lies in its rectangle of the skin table
// (ui/SkinTable.h), its ends within the borders the slicing keeps.
#include <cmath>

#include "SkinPaint.h"

namespace {

using art::Rgb;
using namespace skin;  // the painters are made of its shapes
namespace pal = art::pal;

constexpr Rgb kGoods = art::Hex(0xF3D9A0);
constexpr Rgb kTools = art::Hex(0xB7D6EC);
// The narrow buttons' and the menu button's faces: deep enough for their
// white captions to read at 4.5:1.
constexpr Rgb kNarrow = art::Hex(0x225A8C);
// The menu button's white caption reads on it at 4.5:1 and more.
constexpr Rgb kMenuFace = art::Hex(0x763810);
constexpr Rgb kBarn = art::Hex(0xC8423A);

Rgb Recess() { return art::Darker(pal::kWood, 0.35); }

// The parchment of the point panels, with the rim along its top.
void PanelPaper(cairo_t* cr, double w, double h) {
  cairo_rectangle(cr, 0, 0, w, h);
  FillDown(cr, pal::kPanel, art::Darker(pal::kPanel, 0.08), 0, h);
  cairo_new_path(cr);
  Line(cr, 0, 3.5, w, 3.5, 2, art::Darker(pal::kPanel, 0.2), 0.6);
  Line(cr, 0, 1, w, 1, 2, pal::kOutline);
}

void Star(cairo_t* cr, double cx, double cy, double r, bool filled) {
  art::Star(cr, cx, cy, r, r * 0.45, 5);
  if (filled) {
    art::FillLit(cr, pal::kYellow, cx - r, cy - r, cx + r, cy + r, 0.4);
  } else {
    art::Source(cr, art::Darker(pal::kPanel, 0.35), 0.9);
    cairo_fill_preserve(cr);
  }
  art::Outline(cr, 1.2, pal::kOutline);
}

void PanelSide(cairo_t* cr, const Frame& f) {
  for (int k = 0; k < 3; ++k) {
    const double y0 = k * f.h / 3, y1 = (k + 1) * f.h / 3;
    cairo_rectangle(cr, 0, y0, f.w, y1 - y0);
    FillDown(cr, art::Lighter(pal::kWood, 0.12), art::Darker(pal::kWood, 0.1), y0, y1);
    cairo_new_path(cr);
    if (k > 0) Line(cr, 0, y0, f.w, y0, 1.5, pal::kWoodDark);
  }
  Line(cr, 0, 3.5, f.w, 3.5, 1.5, WoodLight(), 0.8);
  Line(cr, 0, kLine / 2, f.w, kLine / 2, kLine, pal::kOutline);
}

void LeftBlock(cairo_t* cr, const Frame& f) {
  Box(cr, kLine / 2, kLine / 2, f.w + 20, f.h + 20, 16, 0, 0, 0);
  FillDown(cr, WoodLight(), pal::kWood, 0, 30);
  art::Outline(cr, kLine, pal::kOutline);
  Box(cr, 18, 8, f.w - 4, f.h - 2, 6, 6, 6, 6);  // the task cards' recess, ending before the post
  FillDown(cr, art::Darker(Recess(), 0.15), Recess(), 8, 20);
  art::Outline(cr, 1.5, pal::kOutline);
}

void Post(cairo_t* cr, const Frame& f) {
  Box(cr, 1.5, 1, f.w - 1.5, f.h + 10, 4, 4, 0, 0);
  FillAcross(cr, WoodLight(), WoodShade(), 1.5, f.w - 1.5);
  art::Outline(cr, 2, pal::kOutline);
  art::Ellipse(cr, f.w / 2, 9, 1.8, 1.8);
  art::Source(cr, pal::kStoneDark);
  cairo_fill(cr);
}

void RightBlock(cairo_t* cr, const Frame& f) {
  Box(cr, -10, kLine / 2, f.w - kLine / 2, f.h + 20, 0, 16, 0, 0);
  FillDown(cr, WoodLight(), pal::kWood, 0, 30);
  art::Outline(cr, kLine, pal::kOutline);
  Box(cr, 8, 8, f.w - 10, f.h - 4, 8, 8, 8, 8);
  FillDown(cr, art::Darker(Recess(), 0.15), Recess(), 8, 20);
  art::Outline(cr, 1.5, pal::kOutline);
}

void WarehouseButton(cairo_t* cr, const Frame& f) {
  const u32 state = f.index + 1;  // frames: normal, hover, pressed
  const double dy = state == 3 ? 2 : 0;
  Box(cr, 3, 3 + dy, f.w - 3, f.h - 3 + dy, 10, 10, 10, 10);
  FillDown(cr, StateTint(art::Lighter(pal::kSky, 0.3), state), StateTint(pal::kSky, state), 3, f.h - 3);
  art::Outline(cr, 2, pal::kOutline);
  Box(cr, 6, 66 + dy, f.w - 6, f.h - 6 + dy, 0, 0, 7, 7);  // grass
  art::Source(cr, StateTint(pal::kGrass, state));
  cairo_fill(cr);
  const Rgb wall = StateTint(kBarn, state);
  cairo_rectangle(cr, 16, 42 + dy, 47, 32);
  art::FillLit(cr, wall, 16, 42, 63, 74, 0.25);
  art::Outline(cr, 1.8, pal::kOutline);
  cairo_move_to(cr, 11, 44 + dy);
  cairo_line_to(cr, 39.5, 16 + dy);
  cairo_line_to(cr, 68, 44 + dy);
  cairo_close_path(cr);
  art::FillLit(cr, art::Darker(wall, 0.35), 11, 16, 68, 44, 0.2);
  art::Outline(cr, 1.8, pal::kOutline);
  cairo_rectangle(cr, 31, 54 + dy, 17, 20);  // the door with its white cross
  art::Source(cr, art::Darker(wall, 0.25));
  cairo_fill_preserve(cr);
  art::Outline(cr, 1.5, pal::kWhite);
  Line(cr, 31, 54 + dy, 48, 74 + dy, 1.5, pal::kWhite);
  Line(cr, 48, 54 + dy, 31, 74 + dy, 1.5, pal::kWhite);
  art::Ellipse(cr, 39.5, 33 + dy, 4, 4);  // the loft window
  art::Source(cr, pal::kWhite);
  cairo_fill(cr);
}

// A cell of a panel button row: the face (54 rows) and, below it in the
// taller sets, the count plate. An end piece holds the rounded ends of a
// row; a join piece the two sides of the groove between two cells.
void Cell(cairo_t* cr, const Frame& f, Rgb colour, bool end) {
  const Rgb base = StateTint(colour, f.index);
  const double w = f.w, r = 7, x0 = end ? 1 : -10, x1 = end ? w - 2 : w + 10;
  const double dy = f.index == 3 ? 1 : 0;
  Box(cr, x0, 2 + dy, x1, 54, r, r, 0, 0);
  FillDown(cr, art::Lighter(base, 0.3), base, 2, 54);
  art::Outline(cr, 1.5, pal::kOutline);
  if (f.h > 54) {
    // The count plate: dark enough under the white count or price, in
    // every state, for 4.5:1 and more.
    Box(cr, x0, 54, x1, f.h - 2, 0, 0, r, r);
    FillDown(cr, art::Darker(base, 0.55), art::Darker(base, 0.62), 54, f.h - 2);
    art::Outline(cr, 1.5, pal::kOutline);
  }
  if (end) {
    Line(cr, w - 1, 6, w - 1, f.h - 3, 1, kBlack, 0.3);  // the row's shadow
    return;
  }
  for (const double x : {0.75, w - 0.75}) Line(cr, x, 2, x, f.h - 2, 1.5, art::Darker(base, 0.45));
}

Rgb Faded(Rgb c) { return art::Mix(c, pal::kStone, 0.5); }

void CellEnd(cairo_t* cr, const Frame& f) { Cell(cr, f, kGoods, true); }
void CellJoin(cairo_t* cr, const Frame& f) { Cell(cr, f, kGoods, false); }
void ToolEnd(cairo_t* cr, const Frame& f) { Cell(cr, f, kTools, true); }
void ToolJoin(cairo_t* cr, const Frame& f) { Cell(cr, f, kTools, false); }
void FillEnd(cairo_t* cr, const Frame& f) { Cell(cr, f, Faded(kGoods), true); }
void FillJoin(cairo_t* cr, const Frame& f) { Cell(cr, f, Faded(kGoods), false); }
void ToolFillEnd(cairo_t* cr, const Frame& f) { Cell(cr, f, Faded(kTools), true); }
void ToolFillJoin(cairo_t* cr, const Frame& f) { Cell(cr, f, Faded(kTools), false); }

// A small button: a pill of radius `r` standing `inset` from the sides.
// A pill-shaped face; hovered, it lights less than other faces, so its
// white caption stays readable.
void Pill(cairo_t* cr, const Frame& f, Rgb colour, double inset, double r) {
  const Rgb base = f.index == 2 ? art::Lighter(colour, 0.15) : StateTint(colour, f.index);
  const double dy = f.index == 3 ? 1 : 0;
  Box(cr, inset + 1, 3, f.w - inset + 1, f.h - 0.5, r, r, r, r);
  art::Source(cr, kBlack, 0.25);
  cairo_fill(cr);
  Box(cr, inset, 1.5 + dy, f.w - inset, f.h - 2.5 + dy, r, r, r, r);
  FillDown(cr, art::Lighter(base, 0.15), art::Darker(base, 0.2), 1.5, f.h - 2.5);
  art::Outline(cr, 1.5, art::Darker(base, 0.6));
  Box(cr, inset + r * 0.6, 3 + dy, f.w - inset - r * 0.6, f.h * 0.4 + dy, r / 2, r / 2, r / 2, r / 2);
  art::Source(cr, art::pal::kWhite, f.index == 0 ? 0.06 : 0.14);
  cairo_fill(cr);
}

void NarrowButton(cairo_t* cr, const Frame& f) { Pill(cr, f, kNarrow, 1.5, 8); }
void MenuButton(cairo_t* cr, const Frame& f) { Pill(cr, f, kMenuFace, 1, 5); }

void MenuPlate(cairo_t* cr, const Frame& f) {
  Box(cr, 1.5, -12, f.w + 12, f.h - 2, 0, 0, 0, 10);
  FillDown(cr, pal::kWood, art::Darker(pal::kWood, 0.15), 0, f.h);
  art::Outline(cr, kLine, pal::kOutline);
}

void LevelBlock(cairo_t* cr, const Frame& f) {
  Box(cr, 3, 3, f.w - 1, f.h - 1, 5, 5, 5, 5);
  art::Source(cr, kBlack, 0.25);
  cairo_fill(cr);
  Box(cr, 1, 1, f.w - 3, f.h - 3, 5, 5, 5, 5);
  FillDown(cr, art::Lighter(pal::kPanel, 0.4), pal::kPanel, 1, f.h - 3);
  art::Outline(cr, 1.5, pal::kWoodDark);
}

// The shelf under a point's picture on which its level's stars stand: a
// short wooden plank with a dark groove for the stars and a bracket at
// either end (it names nothing: the stars are all it holds).
void LevelBlockPlate(cairo_t* cr, const Frame& f) {
  for (const double x : {24.0, f.w - 24}) {  // the brackets
    cairo_move_to(cr, x - 5, 20);
    cairo_line_to(cr, x + 5, 20);
    cairo_line_to(cr, x, 33);
    cairo_close_path(cr);
    art::Source(cr, pal::kWoodDark);
    cairo_fill_preserve(cr);
    art::Outline(cr, 1.2, pal::kOutline);
  }
  Box(cr, 14, 6, f.w - 14, 24, 5, 5, 5, 5);
  FillDown(cr, art::Lighter(pal::kWood, 0.2), pal::kWoodDark, 6, 24);
  art::Outline(cr, 1.5, pal::kOutline);
  Box(cr, 22, 10, f.w - 22, 20, 4, 4, 4, 4);
  art::Source(cr, art::Darker(pal::kWoodDark, 0.35));
  cairo_fill(cr);
}

void LevelDotFull(cairo_t* cr, const Frame& f) { Star(cr, f.w / 2, f.h / 2 + 0.5, 9, true); }
void LevelDotEmpty(cairo_t* cr, const Frame& f) { Star(cr, f.w / 2, f.h / 2 + 0.5, 9, false); }

// A task's card; a met task's glows warm gold, and its count (drawn in a
// light green at 83) stands on a dark green band across its foot.
constexpr double kTaskBandTop = 74;

void TaskButton(cairo_t* cr, const Frame& f) {
  const bool done = f.index == 1;
  const Rgb card = done ? art::Lighter(pal::kGold, 0.55) : art::Lighter(pal::kPanel, 0.3);
  Box(cr, 1, 1, f.w - 1, f.h - 1, 3, 3, 3, 3);
  FillDown(cr, card, art::Darker(card, 0.1), 1, f.h - 1);
  if (done) {
    cairo_save(cr);
    cairo_clip(cr);
    cairo_rectangle(cr, 0, kTaskBandTop, f.w, f.h);
    FillDown(cr, art::Darker(pal::kGrassDark, 0.45), art::Darker(pal::kGrassDark, 0.6), kTaskBandTop, f.h);
    cairo_new_path(cr);
    cairo_restore(cr);
  }
  Box(cr, 1, 1, f.w - 1, f.h - 1, 3, 3, 3, 3);
  art::Outline(cr, 1.5, done ? pal::kGrassDark : pal::kWoodDark);
  Line(cr, 4, f.h - 4, f.w - 4, f.h - 4, 2, kBlack, 0.12);
}

void BonusButton(cairo_t* cr, const Frame& f) {
  // Frames: the charged face a recharge fills with, normal, hover,
  // pressed, active, and the empty face.
  const Rgb rings[] = {pal::kGold, pal::kGold,  art::Lighter(pal::kGold, 0.3), art::Darker(pal::kGold, 0.2),
                       pal::kLeaf, pal::kStoneDark};
  const Rgb ring = rings[f.index % 6];
  Box(cr, 4, 5, 52, 47, 14, 14, 14, 14);
  art::Source(cr, kBlack, 0.25);
  cairo_fill(cr);
  Box(cr, 3, 3, 51, 45, 14, 14, 14, 14);
  FillDown(cr, art::Lighter(ring, 0.3), art::Darker(ring, 0.2), 3, 45);
  art::Outline(cr, 1.8, pal::kOutline);
  Box(cr, 8, 8, 46, 40, 10, 10, 10, 10);
  // The charged face glows golden inside.
  const Rgb inner = f.index == 5   ? art::Darker(pal::kPanel, 0.45)
                    : f.index == 0 ? art::Lighter(pal::kGold, 0.55)
                                   : art::Lighter(pal::kPanel, 0.3);
  FillDown(cr, art::Darker(inner, 0.1), inner, 8, 40);
  art::Outline(cr, 1.2, art::Darker(ring, 0.4));
}

void ChildFill(cairo_t* cr, const Frame& f) { PanelPaper(cr, f.w, f.h); }

void ChildNotch(cairo_t* cr, const Frame& f) {
  PanelPaper(cr, f.w, f.h);
  const double cx = f.w - 4.5;  // a wooden peg pointing down at the place
  cairo_move_to(cr, cx - 4, 0);
  cairo_line_to(cr, cx + 4, 0);
  cairo_line_to(cr, cx, 9);
  cairo_close_path(cr);
  art::Source(cr, pal::kWood);
  cairo_fill_preserve(cr);
  art::Outline(cr, 1.2, pal::kOutline);
}

void EmptyPanel(cairo_t* cr, const Frame& f) {
  PanelPaper(cr, f.w, f.h);
  Box(cr, 5, 9, 24, f.h - 6, 6, 6, 6, 6);
  FillDown(cr, art::Lighter(pal::kPanel, 0.45), art::Lighter(pal::kPanel, 0.2), 9, f.h - 6);
  art::Outline(cr, 1.5, art::Darker(pal::kPanel, 0.35));
}

void LevelPlate(cairo_t* cr, const Frame& f) {
  Box(cr, 1.5, 1.5, f.w - 1.5, f.h - 1.5, 6, 6, 6, 6);
  FillDown(cr, pal::kWood, pal::kWoodDark, 1.5, f.h - 1.5);
  art::Outline(cr, 1.2, pal::kOutline);
  for (u32 k = 0; k < 3; ++k) Star(cr, 10 + 13 * k, f.h / 2 + 0.5, 6, k < f.index);
}

void LevelStar(cairo_t* cr, const Frame& f) { Star(cr, f.w / 2, f.h / 2 + 0.5, 8, true); }

}  // namespace

namespace skin {

const Painters& LevelPainters() {
  static const Painters painters = {
      {"panel_side", PanelSide},
      {"left_block", LeftBlock},
      {"left_divider", Post},
      {"right_divider", Post},
      {"right_block", RightBlock},
      {"warehouse_button", WarehouseButton},
      {"cell_end", CellEnd},
      {"cell_join", CellJoin},
      {"tool_end", ToolEnd},
      {"tool_join", ToolJoin},
      {"fill_end", FillEnd},
      {"fill_join", FillJoin},
      {"tool_fill_end", ToolFillEnd},
      {"tool_fill_join", ToolFillJoin},
      {"narrow_button", NarrowButton},
      {"menu_button", MenuButton},
      {"menu_plate", MenuPlate},
      {"level_block", LevelBlock},
      {"level_block_plate", LevelBlockPlate},
      {"level_dot_full", LevelDotFull},
      {"level_dot_empty", LevelDotEmpty},
      {"task_button", TaskButton},
      {"bonus_button", BonusButton},
      {"child_fill", ChildFill},
      {"child_notch", ChildNotch},
      {"empty_panel", EmptyPanel},
      {"level_plate", LevelPlate},
      {"level_stars", LevelStar},
  };
  return painters;
}

}  // namespace skin

// The window toolkit's pictures: the "interface" image of set 1 (wooden
// windows with parchment insets and a shadow 4 pixels to the right, the
// green caption plate, green buttons in their four states, check boxes,
// the scroll bar's arrows and thumb, the combo box and its list's frame),
// the hint balloon, the hint separator, the combo list's lined paper, the
// information window's picture, the medal-time gauge and the medals.
// Every piece is drawn inside its rectangle of the skin table
// (ui/SkinTable.h), its rounded ends within the borders the slicing keeps.
#include <algorithm>
#include <cmath>
#include <utility>

#include "ArtBook.h"
#include "SkinPaint.h"
#include "windows/BonusesSheet.h"

namespace {

using art::Rgb;
using namespace skin;  // the painters are made of its shapes
namespace pal = art::pal;

constexpr double kShadow = 4;  // the windows' shadow, to the right
// A deep green: the buttons' white captions read on it at 4.5:1 and more.
constexpr Rgb kButtonGreen = art::Hex(0x2F6B25);
// The map's plates and the medals strip under light texts: a dark wood.
constexpr Rgb kPlateWood = art::Hex(0x724824);
constexpr Rgb kPlateGreen = art::Hex(0x4E9A3A);
// The caption plate's glass under the window's title: deep enough that the
// white title reads on every row of it at 4.5:1 and more.
constexpr Rgb kCaptionGreen = art::Hex(0x2A6E25);
constexpr Rgb kCream = art::Hex(0xFFF8E4);
// The combo box's light texts (its selection and its list's rows) and the
// money window's figure stand on dark wood.
constexpr Rgb kDarkWood = art::Hex(0x5A3A22);

// The windows' insets: a dark walnut on which the game's light texts (the
// white captions, messages and labels, the pale yellow times, the green
// counts of met goals) read at 4.5:1 and more.
constexpr Rgb kInset = art::Hex(0x6A4A2F);
Rgb PanelEdge() { return art::Darker(kInset, 0.3); }

// A soft gloss over the top of a face: white fading downwards.
void Gloss(cairo_t* cr, double x0, double y0, double x1, double y1, double r, double strength = 0.4) {
  Box(cr, x0, y0, x1, y1, r, r, r, r);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, strength);
  cairo_pattern_add_color_stop_rgba(g, 1, 1, 1, 1, strength * 0.1);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

// The wooden sides of a window, running the piece's full height: a shadow
// strip, the wood, a lit left rim and a shaded right one.
void WoodSides(cairo_t* cr, double w, double h) {
  cairo_rectangle(cr, w - kShadow, 0, kShadow, h);
  art::Source(cr, kBlack, 0.22);
  cairo_fill(cr);
  cairo_rectangle(cr, 0, 0, w - kShadow, h);
  art::Source(cr, pal::kWood);
  cairo_fill(cr);
  Line(cr, 4, 0, 4, h, 2, WoodLight());
  Line(cr, w - kShadow - 4, 0, w - kShadow - 4, h, 2, WoodShade());
  Line(cr, kLine / 2, 0, kLine / 2, h, kLine, pal::kOutline);
  Line(cr, w - kShadow - kLine / 2, 0, w - kShadow - kLine / 2, h, kLine, pal::kOutline);
}

// A tan inset with a shade along its top inside.
void Parchment(cairo_t* cr, double x0, double y0, double x1, double y1, double r) {
  Box(cr, x0, y0, x1, y1, r, r, r, r);
  art::Source(cr, kInset);
  cairo_fill_preserve(cr);
  cairo_save(cr);
  cairo_clip(cr);
  Line(cr, x0, y0 + 2, x1, y0 + 2, 3, PanelEdge(), 0.35);
  cairo_restore(cr);
  Box(cr, x0, y0, x1, y1, r, r, r, r);
  art::Outline(cr, 1.5, art::Darker(pal::kWood, 0.3));
}

void Nail(cairo_t* cr, double x, double y) {
  art::Ellipse(cr, x, y, 2.2, 2.2);
  art::FillRound(cr, pal::kStone, x, y, 2.2);
  art::Outline(cr, 1, pal::kOutline);
}

void WindowTop(cairo_t* cr, const Frame& f) {
  const double w = f.w, h = f.h, r = 16;
  Box(cr, kShadow, kShadow, w, h + 30, r, r, 0, 0);
  art::Source(cr, kBlack, 0.22);
  cairo_fill(cr);
  Box(cr, 0, 0, w - kShadow, h + 30, r, r, 0, 0);
  FillDown(cr, WoodLight(), pal::kWood, 0, h * 0.6);
  cairo_new_path(cr);
  Box(cr, 4, 4, w - kShadow - 4, h + 30, r - 4, r - 4, 0, 0);
  art::Outline(cr, 2, WoodLight());
  Line(cr, w - kShadow - 4, r, w - kShadow - 4, h, 2, WoodShade());
  Box(cr, kLine / 2, kLine / 2, w - kShadow - kLine / 2, h + 30, r, r, 0, 0);
  art::Outline(cr, kLine, pal::kOutline);
  for (const double y : {24.0, 50.0}) Line(cr, 7, y, w - kShadow - 7, y, 1, WoodShade(), 0.6);  // grain
}

void WindowBody(cairo_t* cr, const Frame& f) {
  const double w = f.w, h = f.h, r = 18;
  Box(cr, kShadow, -30, w, h, 0, 0, r, r);
  art::Source(cr, kBlack, 0.22);
  cairo_fill(cr);
  Box(cr, 0, -30, w - kShadow, h - kShadow, 0, 0, r, r);
  art::Source(cr, pal::kWood);
  cairo_fill_preserve(cr);
  cairo_save(cr);
  cairo_clip(cr);
  cairo_rectangle(cr, 0, h - 30, w, 30);
  FillDown(cr, pal::kWood, art::Darker(pal::kWood, 0.2), h - 30, h - kShadow);
  cairo_new_path(cr);
  Box(cr, 4, -30, w - kShadow - 4, h - kShadow - 4, 0, 0, r - 4, r - 4);
  art::Outline(cr, 2, WoodLight(), 0.8);
  cairo_restore(cr);
  Box(cr, kLine / 2, -30, w - kShadow - kLine / 2, h - kShadow - kLine / 2, 0, 0, r, r);
  art::Outline(cr, kLine, pal::kOutline);
  Parchment(cr, 12, 6, w - kShadow - 12, h - 24, 12);
  Nail(cr, 24, h - 14);
  Nail(cr, w - kShadow - 24, h - 14);
}

// The window column (SkinTable.h): the top row, then wooden sides running
// down past three parchment insets to the closing row with its rounded
// bottom. The rows where two cuts meet or overlap are plain sides, so every
// cut shows its inset whole between its top and bottom borders; the
// insets' straight middles cover the rows the cuts repeat.
void WindowColumn(cairo_t* cr, const Frame& f) {
  const double w = f.w, top = skins::kWindowTop.frameHeight - 4;  // the top row's last rows are plain sides
  const double closing = skins::kWindowClosing.y - skins::kWindowColumn.y;
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, w, top);
  cairo_clip(cr);
  WindowTop(cr, Frame{w, static_cast<double>(skins::kWindowTop.frameHeight), 0, nullptr});
  cairo_restore(cr);
  cairo_save(cr);
  cairo_translate(cr, 0, top);
  WoodSides(cr, w, closing - top);
  cairo_restore(cr);
  // The insets, in column rows: under the menu's body, the message body,
  // and the frame below it.
  const double y0 = skins::kWindowColumn.y;
  for (const auto& [from, to] : {std::pair{592.0, 679.0}, std::pair{691.0, 759.0}, std::pair{771.0, 873.0}})
    Parchment(cr, 12, from - y0, w - kShadow - 12, to - y0, 9);
  // The closing row: the sides round off into the window's bottom edge.
  const double h = f.h, r = 12;
  cairo_save(cr);
  cairo_rectangle(cr, 0, closing, w, h - closing);
  cairo_clip(cr);
  Box(cr, kShadow, closing - 30, w, h, 0, 0, r, r);
  art::Source(cr, kBlack, 0.22);
  cairo_fill(cr);
  Box(cr, 0, closing - 30, w - kShadow, h - kShadow, 0, 0, r, r);
  FillDown(cr, pal::kWood, art::Darker(pal::kWood, 0.2), closing, h - kShadow);
  cairo_new_path(cr);
  Box(cr, 4, closing - 30, w - kShadow - 4, h - kShadow - 4, 0, 0, r - 4, r - 4);
  art::Outline(cr, 2, WoodLight(), 0.8);
  Box(cr, kLine / 2, closing - 30, w - kShadow - kLine / 2, h - kShadow - kLine / 2, 0, 0, r, r);
  art::Outline(cr, kLine, pal::kOutline);
  cairo_restore(cr);
}

// The money window's board: a plank hanging from the screen's top edge
// with a dark recess for the texts and the gold figure, its rounded lower
// ends within the slicing's borders, a shadow to the right and below.
void MoneyFrame(cairo_t* cr, const Frame& f) {
  const double w = f.w - kShadow, bottom = 38, r = 6;
  Box(cr, kShadow, 0, f.w, bottom + 3, 0, 0, r, r);
  art::Source(cr, kBlack, 0.22);
  cairo_fill(cr);
  Box(cr, 0, -10, w, bottom, 0, 0, r, r);
  FillDown(cr, WoodLight(), art::Darker(pal::kWood, 0.15), 0, bottom);
  art::Outline(cr, 2, pal::kOutline);
  Box(cr, 4, 3, w - 4, bottom - 5, 3, 3, 3, 3);
  FillDown(cr, art::Darker(kDarkWood, 0.3), kDarkWood, 3, bottom - 5);
  art::Outline(cr, 1.5, art::Darker(pal::kWood, 0.45));
}

// The title stands on the plate's glossy upper part; below the edge its
// mirror image turns over (kCaptionHorizon: the foot of the title's text in
// game font 2, centred on the plate) the plate is darker glass, on which
// the mirror image fades out as a reflection does.
constexpr double kCaptionHorizon = 41;

void CaptionPlate(cairo_t* cr, const Frame& f) {
  const double w = f.w, h = f.h, r = 22;
  // The title's reflection falls below it: the plate reaches far down.
  Box(cr, 5, 5, w - 2, h - 1, r, r, r, r);
  art::Source(cr, kBlack, 0.3);
  cairo_fill(cr);
  Box(cr, 3, 3, w - 6, h - 4, r, r, r, r);
  FillDown(cr, art::Lighter(kCaptionGreen, 0.2), kCaptionGreen, 3, kCaptionHorizon);
  cairo_save(cr);
  cairo_clip(cr);
  cairo_rectangle(cr, 0, kCaptionHorizon, w, h);
  FillDown(cr, art::Darker(kCaptionGreen, 0.45), art::Darker(kCaptionGreen, 0.3), kCaptionHorizon, h - 4);
  cairo_new_path(cr);
  cairo_restore(cr);
  Box(cr, 3, 3, w - 6, h - 4, r, r, r, r);
  art::Outline(cr, 2, art::Darker(kCaptionGreen, 0.6));
  Gloss(cr, 16, 6, w - 20, 17, 5, 0.3);  // above the title's letters
  for (const double x : {18.0, w - 22}) {  // a leaf at either end
    art::Ellipse(cr, x, h / 2 - 2, 5, 8);
    art::FillLit(cr, pal::kGrassLight, x - 5, h / 2 - 10, x + 5, h / 2 + 6, 0.3);
    art::Outline(cr, 1.2, art::Darker(kCaptionGreen, 0.6));
  }
}

void Button(cairo_t* cr, const Frame& f) {
  const u32 state = f.index;
  // Lit less than other faces when hovered: the caption stays readable.
  const Rgb base = state == 2 ? art::Lighter(kButtonGreen, 0.15) : StateTint(kButtonGreen, state);
  const double dy = state == 3 ? 2 : 0, r = 22;
  Box(cr, 4, 8, f.w - 3, f.h - 1, r, r, r, r);
  art::Source(cr, kBlack, state == 3 ? 0.15 : 0.3);
  cairo_fill(cr);
  Box(cr, 3, 4 + dy, f.w - 3, 58 + dy, r, r, r, r);
  FillDown(cr, art::Lighter(base, 0.15), art::Darker(base, 0.25), 4 + dy, 58 + dy);
  art::Outline(cr, 2, art::Darker(base, 0.6));
  Gloss(cr, 14, 7 + dy, f.w - 14, 23 + dy, 10, state == 0 ? 0.1 : 0.25);
}

void CheckBox(cairo_t* cr, const Frame& f) {
  const u32 state = f.index & 3;
  const bool checked = f.index >= 4;
  const Rgb paper = StateTint(kCream, state);
  Box(cr, 4, 5, 30, 31, 6, 6, 6, 6);
  art::Source(cr, kBlack, 0.25);
  cairo_fill(cr);
  Box(cr, 3, 3, 28, 28, 6, 6, 6, 6);
  FillDown(cr, paper, art::Darker(paper, 0.12), 3, 28);
  art::Outline(cr, 2, state == 2 ? pal::kOrange : pal::kWoodDark);
  Line(cr, 6, 6, 25, 6, 2, PanelEdge(), 0.5);
  if (!checked) return;
  cairo_move_to(cr, 9, 16);
  cairo_line_to(cr, 14, 22);
  cairo_line_to(cr, 24, 8);
  art::Rod(cr, 3.5, StateTint(kButtonGreen, state), 1.2);
}

void Arrow(cairo_t* cr, const Frame& f, bool up) {
  const u32 state = f.index;
  const Rgb base = StateTint(kButtonGreen, state);
  const double dy = state == 3 ? 1 : 0, bottom = f.h - 3;
  Box(cr, 4, 4, 33, bottom + 2, 8, 8, 8, 8);
  art::Source(cr, kBlack, 0.25);
  cairo_fill(cr);
  Box(cr, 3, 2 + dy, 32, bottom + dy, 8, 8, 8, 8);
  FillDown(cr, art::Lighter(base, 0.3), art::Darker(base, 0.25), 2, bottom);
  art::Outline(cr, 2, art::Darker(base, 0.6));
  const double cx = 17.5, cy = (2 + bottom) / 2 + dy, s = up ? -1 : 1;
  cairo_move_to(cr, cx, cy + s * 7);
  cairo_line_to(cr, cx + 8, cy - s * 5);
  cairo_line_to(cr, cx - 8, cy - s * 5);
  cairo_close_path(cr);
  art::Source(cr, kCream);
  cairo_fill_preserve(cr);
  art::Outline(cr, 1.5, art::Darker(base, 0.6));
}

void ScrollUp(cairo_t* cr, const Frame& f) { Arrow(cr, f, true); }
void ScrollDown(cairo_t* cr, const Frame& f) { Arrow(cr, f, false); }

void ScrollThumb(cairo_t* cr, const Frame& f) {
  const Rgb base = StateTint(pal::kWood, f.index + 1);  // frames: normal, hover, pressed
  Box(cr, 9, 3, 31, f.h - 1, 7, 7, 7, 7);
  art::Source(cr, kBlack, 0.25);
  cairo_fill(cr);
  Box(cr, 7, 1, 29, f.h - 2, 7, 7, 7, 7);
  FillAcross(cr, art::Lighter(base, 0.3), art::Darker(base, 0.2), 7, 29);
  art::Outline(cr, 2, pal::kOutline);
  Line(cr, 11, 8, 11, f.h - 9, 2, art::Lighter(base, 0.5), 0.7);
}


void ComboBox(cairo_t* cr, const Frame& f) {
  const u32 state = f.index;
  const double w = f.w;
  const Rgb field = state == 0 ? art::Mix(kDarkWood, pal::kStoneDark, 0.6) : kDarkWood;
  Box(cr, 2, 3, w - 28, 34, 8, 0, 0, 8);
  FillDown(cr, art::Darker(field, 0.25), field, 3, 34);
  art::Outline(cr, 2, pal::kOutline);
  const Rgb base = StateTint(kButtonGreen, state);
  Box(cr, w - 37, 2, w - 2, 35, 8, 8, 8, 8);
  FillDown(cr, art::Lighter(base, 0.3), art::Darker(base, 0.25), 2, 35);
  art::Outline(cr, 2, art::Darker(base, 0.6));
  const double cx = w - 19.5, cy = 19 + (state == 3 ? 1 : 0);
  cairo_move_to(cr, cx, cy + 6);
  cairo_line_to(cr, cx + 7, cy - 4);
  cairo_line_to(cr, cx - 7, cy - 4);
  cairo_close_path(cr);
  art::Source(cr, kCream);
  cairo_fill_preserve(cr);
  art::Outline(cr, 1.5, art::Darker(base, 0.6));
}

// The open list's frame: wood around a window onto the list's paper, with
// a groove on the right for its scroll bar.
void ComboList(cairo_t* cr, const Frame& f) {
  const double w = f.w, h = f.h;
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  Box(cr, kShadow, kShadow, w, h, 10, 10, 10, 10);
  Box(cr, 9 + kShadow, 9 + kShadow, w - 54 + kShadow, h - 15 + kShadow, 6, 6, 6, 6);
  art::Source(cr, kBlack, 0.22);
  cairo_fill(cr);
  Box(cr, 0, 0, w - kShadow, h - kShadow, 10, 10, 10, 10);
  Box(cr, 9, 9, w - 54, h - 15, 6, 6, 6, 6);
  art::Source(cr, pal::kWood);
  cairo_fill_preserve(cr);
  art::Outline(cr, 2, pal::kOutline);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  Box(cr, w - 49, 8, w - 12, h - 13, 8, 8, 8, 8);
  art::Source(cr, art::Darker(pal::kWood, 0.35));
  cairo_fill_preserve(cr);
  art::Outline(cr, 1.5, pal::kOutline);
}

void Balloon(cairo_t* cr, const Frame& f) {
  Box(cr, 3, 4, f.w, f.h, 9, 9, 9, 9);
  art::Source(cr, kBlack, 0.25);
  cairo_fill(cr);
  Box(cr, 0.75, 0.75, 27.25, 27.25, 9, 9, 9, 9);
  art::Source(cr, kCream);
  cairo_fill_preserve(cr);
  art::Outline(cr, 1.5, art::Hex(0x6A4A22));
}

void HintLine(cairo_t* cr, const Frame& f) {
  Box(cr, 3, 2.5, f.w - 3, 5.5, 1.5, 1.5, 1.5, 1.5);
  FillDown(cr, art::Lighter(pal::kWood, 0.2), pal::kWoodDark, 2.5, 5.5);
}

// The level information window: parchment in a wooden rim (its last 5
// rows a shadow below the window), tan item plates with a round slot for
// the item's icon, a red close button, and brown separators.
void InfoFrame(cairo_t* cr, const Frame& f) {
  const double w = f.w, h = f.h, r = 12;
  Box(cr, 3, 5, w, h, r, r, r, r);
  art::Source(cr, kBlack, 0.25);
  cairo_fill(cr);
  Box(cr, 0.75, 0.75, w - 3.75, h - 5.75, r, r, r, r);
  art::Source(cr, art::Lighter(pal::kPanel, 0.3));
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 6);
  art::Source(cr, pal::kWood);
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_stroke(cr);  // the rim inside the outline
  cairo_restore(cr);
  cairo_new_path(cr);
  Box(cr, 0.75, 0.75, w - 3.75, h - 5.75, r, r, r, r);
  art::Outline(cr, 1.5, pal::kOutline);
}

// The tutorial's note: warm parchment in a thin orange rim with a soft
// shadow below and to the right (the frame is drawn 6 pixels wider and 7
// higher than the text's window, its shadow in that margin).
void TutorialInfoFrame(cairo_t* cr, const Frame& f) {
  const double w = f.w, h = f.h, r = 14;
  Box(cr, 3, 5, w, h, r, r, r, r);
  art::Source(cr, kBlack, 0.22);
  cairo_fill(cr);
  Box(cr, 1, 1, w - 3, h - 5, r, r, r, r);
  FillDown(cr, kCream, art::Hex(0xF7E3B5), 1, h - 5);
  Box(cr, 1, 1, w - 3, h - 5, r, r, r, r);
  art::Outline(cr, 2.5, pal::kOrange);
  Box(cr, 1, 1, w - 3, h - 5, r, r, r, r);
  art::Outline(cr, 1, art::Darker(pal::kOrange, 0.45));
}

void InfoItemRow(cairo_t* cr, const Frame& f) {
  const Rgb tan = art::Hex(0xF6DFA6);
  Box(cr, 1, 2, f.w - 2, 47, 10, 10, 10, 10);
  FillDown(cr, art::Lighter(tan, 0.35), tan, 2, 47);
  art::Outline(cr, 1.5, pal::kWoodDark);
  art::Ellipse(cr, 28, 24.5, 19, 19);
  art::Source(cr, art::Lighter(pal::kPanel, 0.5));
  cairo_fill_preserve(cr);
  art::Outline(cr, 1.5, art::Darker(tan, 0.35));
}

void InfoClose(cairo_t* cr, const Frame& f) {
  const u32 state = f.index + 1;  // frames: normal, hover, pressed
  const Rgb base = StateTint(pal::kRed, state);
  const double cx = 13, cy = 13.5 + (state == 3 ? 1 : 0);
  art::Ellipse(cr, cx, cy, 11, 11);
  art::FillRound(cr, base, cx, cy, 11);
  art::Outline(cr, 1.5, pal::kOutline);
  Line(cr, cx - 4.5, cy - 4.5, cx + 4.5, cy + 4.5, 2.5, pal::kWhite);
  Line(cr, cx + 4.5, cy - 4.5, cx - 4.5, cy + 4.5, 2.5, pal::kWhite);
}

void InfoSeparator(cairo_t* cr, const Frame& f) {
  const double y = f.h / 2, thick = f.h > 8 ? 2.5 : 1.5;
  Line(cr, 6, y, f.w - 6, y, thick, pal::kWoodDark, 0.8);
  if (f.h > 8) {
    for (const double x : {6.0, f.w - 6}) {  // a diamond at either end
      cairo_move_to(cr, x, y - 4);
      cairo_line_to(cr, x + 4, y);
      cairo_line_to(cr, x, y + 4);
      cairo_line_to(cr, x - 4, y);
      cairo_close_path(cr);
      art::Source(cr, pal::kWood);
      cairo_fill_preserve(cr);
      art::Outline(cr, 1, pal::kOutline);
    }
  }
}

void InfoDivider(cairo_t* cr, const Frame& f) {  // a slim wooden post
  Box(cr, f.w / 2 - 3, 3, f.w / 2 + 3, f.h - 3, 3, 3, 3, 3);
  FillAcross(cr, WoodLight(), WoodShade(), f.w / 2 - 3, f.w / 2 + 3);
  art::Outline(cr, 1.2, pal::kOutline);
}

// The medal-time gauge: bronze, silver and gold zones of a lit bar, split
// by dark notches; the two-medal row (frame 1) a little deeper.
void TimeGauge(cairo_t* cr, const Frame& f) {
  const double deeper = f.index == 1 ? 0.12 : 0;
  const std::pair<double, Rgb> zones[] = {{0, pal::kBronze}, {14, pal::kSilver}, {24, pal::kGold}};
  cairo_save(cr);
  Box(cr, 0.75, 1.25, f.w - 0.75, f.h - 1.25, 5.5, 5.5, 5.5, 5.5);
  cairo_clip(cr);
  for (size_t k = 0; k < 3; ++k) {
    const double x1 = k + 1 < 3 ? zones[k + 1].first : f.w;
    const Rgb c = art::Darker(zones[k].second, deeper);
    cairo_rectangle(cr, zones[k].first, 0, x1 - zones[k].first, f.h);
    FillDown(cr, art::Lighter(c, 0.45), art::Darker(c, 0.15), 1.25, f.h - 1.25);
    cairo_new_path(cr);
  }
  Line(cr, 0, 4, f.w, 4, 1.5, pal::kWhite, 0.45);
  for (const double x : {14.0, 24.0}) Line(cr, x, 0, x, f.h, 1.5, pal::kOutline, 0.8);
  cairo_restore(cr);
  Box(cr, 0.75, 1.25, f.w - 0.75, f.h - 1.25, 5.5, 5.5, 5.5, 5.5);
  art::Outline(cr, 1.5, pal::kOutline);
}

// A medal on its ribbon (the level's result), or the empty place of one.
void Medal(cairo_t* cr, const ArtFrame& f, Rgb metal) {
  const double w = f.width, h = f.height, cx = w / 2, r = w * 0.36, cy = h - r - 4;
  for (const double s : {-1.0, 1.0}) {
    cairo_move_to(cr, cx + s * 4, cy - r * 0.6);
    cairo_line_to(cr, cx + s * 22, 3);
    cairo_line_to(cr, cx + s * 8, 3);
    cairo_line_to(cr, cx - s * 8, cy - r * 0.6);
    cairo_close_path(cr);
    art::FillLit(cr, s < 0 ? pal::kBlue : pal::kRed, cx - 22, 3, cx + 22, cy, 0.3);
    art::Outline(cr, 1.8);
  }
  art::Ellipse(cr, cx, cy, r, r);
  art::FillRound(cr, metal, cx, cy, r);
  art::Outline(cr, 2.2);
  art::Ellipse(cr, cx, cy, r * 0.72, r * 0.72);
  art::Outline(cr, 1.5, art::Darker(metal, 0.35));
  art::Star(cr, cx, cy, r * 0.5, r * 0.22, 5);
  art::FillLit(cr, art::Lighter(metal, 0.25), cx - r / 2, cy - r / 2, cx + r / 2, cy + r / 2, 0.4);
  art::Outline(cr, 1.2, art::Darker(metal, 0.45));
  art::Gleam(cr, cx - r * 0.45, cy - r * 0.45, r * 0.16, r * 0.1);
}

// The map windows' pictures: the level window's tasks background (a tan
// board, wooden ends of 22 and 26 columns), the bonus area's plate (a
// parchment band over rows 270 to 349), the result window's big tick
// drawing itself over its frames and its big cross, the medals strip's
// pieces (left end, filler, separator, right end), its medal icons
// (bronze, silver, gold) and its multiplication sign.
// Its sides (22 and 26 columns, the level window's slices) are the window
// column's wooden sides, so the row continues the window's frame.
void TasksBack(cairo_t* cr, const ArtFrame& f) {
  constexpr double kLeft = 22, kRight = 26, kColumn = kLeft + kRight;
  cairo_rectangle(cr, 0, 0, f.width, f.height);
  FillDown(cr, art::Lighter(kInset, 0.1), kInset, 0, f.height);
  cairo_new_path(cr);
  Line(cr, kLeft, 1.5, f.width - kRight, 1.5, 3, PanelEdge());
  Line(cr, kLeft, f.height - 1.5, f.width - kRight, f.height - 1.5, 3, PanelEdge());
  for (const double x : {0.0, f.width - kRight}) {
    cairo_save(cr);
    cairo_rectangle(cr, x, 0, x == 0 ? kLeft : kRight, f.height);
    cairo_clip(cr);
    cairo_translate(cr, x == 0 ? 0 : f.width - kColumn, 0);
    WoodSides(cr, kColumn, f.height);
    cairo_restore(cr);
  }
}

// The bonuses' sheet: the bonuses window's three slot columns (63 x 268,
// four states of 67: empty, normal, hover, pressed) at x 0, 64 and 128; the
// slot plate at (0, 270), 140 x 79; the bonuses window's panel face at
// (0, 352), 120 x 45 (grey: the panel tints it by its state).
// A small award's plate of a tier (frames: none, bronze, silver, gold): a
// rounded plaque of the tier's metal with a lit rim, the medal's seat
// darker in its middle.
void AwardTier(cairo_t* cr, const Frame& f) {
  static const Rgb kMetals[4] = {pal::kStone, pal::kBronze, pal::kSilver, pal::kGold};
  const Rgb metal = kMetals[std::min<u32>(f.index, 3)];
  Box(cr, 1, 1, f.w - 1, f.h - 1, 8, 8, 8, 8);
  FillDown(cr, art::Lighter(metal, 0.3), art::Darker(metal, 0.2), 1, f.h - 1);
  cairo_new_path(cr);
  Box(cr, 1, 1, f.w - 1, f.h - 1, 8, 8, 8, 8);
  art::Outline(cr, 1.5);
  art::Ellipse(cr, f.w / 2, f.h / 2, 13, 13);
  art::Source(cr, art::Darker(metal, 0.35), 0.6);
  cairo_fill(cr);
}

// The bonuses window's sheet (windows/BonusesSheet.h): the slot columns,
// the slot plate, the window's frame and closing piece, and the panels'
// faces: grey plates the window tints by state, a groove between the name
// and the description, the checked run framed in green.
void BonusesBack(cairo_t* cr, const ArtFrame&) {
  namespace bs = bonuses_sheet;
  for (int column = 0; column < 3; ++column) {
    const double x = column * bs::kSlotStep;
    for (int state = 0; state < bs::kSlotStates; ++state) {
      const double y = state * bs::kSlotHeight;
      Box(cr, x + 2, y + 2, x + 61, y + 65, 8, 8, 8, 8);
      const Rgb base = state == 0 ? pal::kWoodDark : state == 2 ? WoodLight() : pal::kWood;
      FillDown(cr, art::Lighter(base, state == 3 ? 0.0 : 0.15), art::Darker(base, state == 3 ? 0.25 : 0.1), y, y + 67);
      cairo_new_path(cr);
      Box(cr, x + 2, y + 2, x + 61, y + 65, 8, 8, 8, 8);
      art::Outline(cr, 2);
    }
  }
  const double top = bs::kPlateY, bottom = bs::kPlateY + bs::kPlateHeight;
  Box(cr, 2, top + 2, bs::kPlateWidth - 2, bottom - 2, 14, 14, 14, 14);
  FillDown(cr, pal::kWood, pal::kWoodDark, top, bottom);
  cairo_new_path(cr);
  Box(cr, 2, top + 2, bs::kPlateWidth - 2, bottom - 2, 14, 14, 14, 14);
  art::Outline(cr, 2);
  // The frame: a wooden rim round a parchment middle, every middle row and
  // column alike so it stretches.
  const double fx = bs::kFrameX, fy = bs::kFrameY, fw = bs::kFrameWidth, fh = bs::kFrameHeight;
  Box(cr, fx + 1, fy + 1, fx + fw - 1, fy + fh - 1, 12, 12, 12, 12);
  art::Source(cr, pal::kWood);
  cairo_fill(cr);
  cairo_rectangle(cr, fx + 8, fy + 8, fw - 16, fh - 16);
  art::Source(cr, pal::kPanel);
  cairo_fill(cr);
  Box(cr, fx + 1, fy + 1, fx + fw - 1, fy + fh - 1, 12, 12, 12, 12);
  art::Outline(cr, 2);
  // The closing piece: a thin dark rule.
  cairo_rectangle(cr, bs::kClosingX, bs::kClosingY + 1, bs::kClosingWidth, bs::kClosingHeight - 2);
  art::Source(cr, pal::kWoodDark);
  cairo_fill(cr);
  // The faces.
  for (int frame = 0; frame < bs::kFaceFrames; ++frame) {
    const bool checked = frame >= bs::kFaceCheckedFrames;
    const u32 state = checked ? static_cast<u32>(frame - bs::kFaceCheckedFrames + 1) : static_cast<u32>(frame);
    const double y0 = bs::kFaceY + frame * bs::kFaceStep, y1 = y0 + bs::kFaceHeight;
    const double x1 = bs::kFaceWidth;
    Box(cr, 1, y0 + 1, x1 - 1, y1 - 1, 4, 10, 10, 4);
    // Grey enough that the white name and description read at 4.5:1 and
    // more under every state's tint, the pressed one's included.
    FillDown(cr, StateTint(art::Hex(0x8C8A84), state), StateTint(art::Hex(0x7A766C), state), y0, y1);
    cairo_new_path(cr);
    const double groove = bs::kFacePieceWidths[0] + bs::kFacePieceWidths[1];
    Line(cr, groove + 10, y0 + 6, groove + 10, y1 - 6, 3, art::Hex(0xB8B0A0));
    Box(cr, 1, y0 + 1, x1 - 1, y1 - 1, 4, 10, 10, 4);
    art::Outline(cr, checked ? 3 : 2, checked ? pal::kGrassDark : pal::kOutline);
    // The check mark's socket: sunk and dark whatever the state, so the
    // white mark, tinted as the face is, stands out at 3:1 and more.
    const double sx = bs::kCheckX - 4, sy = y0 + bs::kCheckY - 3;
    const double sw = bs::kCheckWidth + 8, sh = bs::kCheckHeight + 6;
    Box(cr, sx, sy, sx + sw, sy + sh, 5, 5, 5, 5);
    FillDown(cr, art::Hex(0x1E1B17), art::Hex(0x35302A), sy, sy + sh);
    cairo_new_path(cr);
    Line(cr, sx + 4, sy + sh + 0.5, sx + sw - 4, sy + sh + 0.5, 1, art::Hex(0xB8B0A0), 0.8);
    Box(cr, sx, sy, sx + sw, sy + sh, 5, 5, 5, 5);
    art::Outline(cr, 1.5, art::Hex(0x1E1B17));
  }
}

// The result window centres a column's mark by its limit time, which
// stands on a rule: the tick fills the lower half of its frame, below the
// rule on the gauge, and leaves the time clear; the cross strikes the time
// out: its arms are solid red above and below the time, and glassy across
// the band where the figures stand, so they read through it.
void BigTick(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height, t = (f.index + 1.0) / f.count;
  const double x0 = w * 0.14, y0 = h * 0.74, x1 = w * 0.4, y1 = h * 0.93, x2 = w * 0.88, y2 = h * 0.53;
  cairo_move_to(cr, x0, y0);
  if (t <= 0.35) {
    const double k = t / 0.35;
    cairo_line_to(cr, x0 + (x1 - x0) * k, y0 + (y1 - y0) * k);
  } else {
    const double k = (t - 0.35) / 0.65;
    cairo_line_to(cr, x1, y1);
    cairo_line_to(cr, x1 + (x2 - x1) * k, y1 + (y2 - y1) * k);
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, w * 0.2);
  art::Source(cr, pal::kOutline);
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, w * 0.12);
  art::Source(cr, pal::kGrass);
  cairo_stroke(cr);
}

void BigCross(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height, m = w * 0.1;
  cairo_push_group(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (const auto& [lw, c] : {std::pair{w * 0.2, pal::kOutline}, std::pair{w * 0.12, pal::kRed}}) {
    cairo_move_to(cr, m, m);
    cairo_line_to(cr, w - m, h - m);
    cairo_move_to(cr, w - m, m);
    cairo_line_to(cr, m, h - m);
    cairo_set_line_width(cr, lw);
    art::Source(cr, c);
    cairo_stroke(cr);
  }
  cairo_pattern_t* cross = cairo_pop_group(cr);
  // The time's band: from a sixth of the height to three fifths of it (the
  // figures of the window's time font), eased in and out.
  constexpr double kGlass = 0.4;
  cairo_pattern_t* band = cairo_pattern_create_linear(0, 0, 0, h);
  for (const auto& [at, alpha] : {std::pair{0.11, 1.0}, {0.17, kGlass}, {0.6, kGlass}, {0.66, 1.0}})
    cairo_pattern_add_color_stop_rgba(band, at, 0, 0, 0, alpha);
  cairo_set_source(cr, cross);
  cairo_mask(cr, band);
  cairo_pattern_destroy(band);
  cairo_pattern_destroy(cross);
}

void MedalsStrip(cairo_t* cr, const ArtFrame& f) {
  const double h = f.height;
  cairo_rectangle(cr, 0, 0, f.width, h);
  FillDown(cr, art::Lighter(kPlateWood, 0.1), art::Darker(kPlateWood, 0.2), 0, h);
  cairo_new_path(cr);
  Line(cr, 0, 1, f.width, 1, 2, WoodLight());
  Line(cr, 0, h - 1, f.width, h - 1, 2, pal::kOutline);
  Line(cr, 1, 0, 1, h, 2, pal::kOutline);            // the left end
  Line(cr, 22, 4, 22, h - 4, 2, pal::kOutline);      // the separator (columns 20 to 24)
  Line(cr, f.width - 1, 0, f.width - 1, h, 2, pal::kOutline);  // the right end
}

void StripMedal(cairo_t* cr, const ArtFrame& f) {
  static const Rgb kMetals[] = {pal::kBronze, pal::kSilver, pal::kGold};
  const Rgb metal = kMetals[std::min<u32>(f.index, 2)];
  const double c = f.width / 2, r = f.width * 0.4;
  art::Ellipse(cr, c, f.height / 2, r, r);
  art::FillRound(cr, metal, c, f.height / 2, r);
  art::Outline(cr, 2);
  art::Star(cr, c, f.height / 2, r * 0.55, r * 0.25, 5);
  art::Source(cr, art::Lighter(metal, 0.3));
  cairo_fill(cr);
}

void TimesSign(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, m = w * 0.25;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, m, m);
  cairo_line_to(cr, w - m, f.height - m);
  cairo_move_to(cr, w - m, m);
  cairo_line_to(cr, m, f.height - m);
  cairo_set_line_width(cr, 3);
  art::Source(cr, pal::kWhite);
  cairo_stroke(cr);
}

void NoMedal(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, cy = f.height / 2, r = f.width * 0.38;
  art::Ellipse(cr, cx, cy, r, r);
  art::Source(cr, kBlack, 0.18);
  cairo_fill_preserve(cr);
  const double dash[] = {6, 4};
  cairo_set_dash(cr, dash, 2, 0);
  art::Outline(cr, 3, pal::kStoneDark);
  cairo_set_dash(cr, nullptr, 0, 0);
  Line(cr, cx - 8, cy, cx + 8, cy, 3, pal::kStoneDark);
}

// The combo list's background: dark wood with faint grain, repeating both
// ways (the grain every 16 rows).
// The options window's volume bar: four bands (normal filled, normal
// empty, highlighted filled, highlighted empty), each a rounded trough,
// the filled ones green, the highlighted ones brighter.
void SoundBarBands(cairo_t* cr, const ArtFrame& f) {
  const double band = std::floor(f.height / 4);
  for (int i = 0; i < 4; ++i) {
    const bool filled = i % 2 == 0, bright = i >= 2;
    const double y = band * i;
    Box(cr, 0.5, y + 0.5, f.width - 1.5, y + band - 1.5, 5, 5, 5, 5);
    Rgb fill = filled ? pal::kGrass : art::Darker(kInset, 0.35);
    if (bright) fill = art::Lighter(fill, 0.25);
    art::Source(cr, fill);
    cairo_fill_preserve(cr);
    art::Outline(cr, 1.0, art::Darker(pal::kWood, 0.4));
    Line(cr, 4, y + 3, f.width - 5, y + 3, 1.5, art::Lighter(fill, 0.35), 0.8);
  }
}

// The profiles window's skin: the new-profile button (0, 0, 64 x 174: a
// green plate), the row frames (66, 0, 163 x 51, three states downwards)
// and the delete crosses (65, 153, 30 x 32, three states across).
// The profiles' rows are light tan, the names on them black (lit grey when
// hovered); the new-profile button is a deep green under its white caption.
void ProfilesSkin(cairo_t* cr, const ArtFrame&) {
  const Rgb tan = art::Hex(0xE3C387);
  Box(cr, 1, 1, 63, 173, 9, 9, 9, 9);
  art::Source(cr, kButtonGreen);
  cairo_fill_preserve(cr);
  art::Outline(cr, 2.0, art::Darker(kButtonGreen, 0.5));
  for (int i = 0; i < 3; ++i) {
    const double y = 51.0 * i;
    Box(cr, 67, y + 1, 228, y + 50, 10, 10, 10, 10);
    art::Source(cr, i == 0 ? tan : art::Lighter(tan, 0.12 * i));
    cairo_fill_preserve(cr);
    art::Outline(cr, 2.0, art::Darker(pal::kWood, 0.3 + 0.1 * i));
  }
  for (int i = 0; i < 3; ++i) {
    const double x = 65.0 + 30.0 * i, y = 153.0;
    const Rgb red = i == 0 ? pal::kRed : i == 1 ? art::Lighter(pal::kRed, 0.2) : art::Darker(pal::kRed, 0.2);
    Line(cr, x + 7, y + 8, x + 23, y + 24, 5, red);
    Line(cr, x + 23, y + 8, x + 7, y + 24, 5, red);
  }
  // The list's header behind the new-profile button (0, 188, 256 x 67): a
  // plank whose ends stay whole and whose middle columns are alike, so the
  // window stretches it across the list.
  const double top = 188, bottom = 255;
  Box(cr, 2, top + 2, 254, bottom - 2, 10, 10, 10, 10);
  FillDown(cr, WoodLight(), pal::kWood, top, bottom);
  cairo_new_path(cr);
  Line(cr, 12, bottom - 12, 244, bottom - 12, 2, WoodShade());
  Box(cr, 2, top + 2, 254, bottom - 2, 10, 10, 10, 10);
  art::Outline(cr, 2);
}

// The current profile's tick.
void GreenCheck(cairo_t* cr, const ArtFrame& f) {
  cairo_move_to(cr, f.width * 0.15, f.height * 0.55);
  cairo_line_to(cr, f.width * 0.42, f.height * 0.82);
  cairo_line_to(cr, f.width * 0.88, f.height * 0.2);
  cairo_set_line_width(cr, f.width * 0.16);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  art::Source(cr, pal::kGrassDark);
  cairo_stroke(cr);
}

void ListPaper(cairo_t* cr, const ArtFrame& f) {
  cairo_rectangle(cr, 0, 0, f.width, f.height);
  art::Source(cr, kDarkWood);
  cairo_fill(cr);
  for (double y = 15.5; y < f.height; y += 16) Line(cr, 0, y, f.width, y, 1, art::Lighter(kDarkWood, 0.2), 0.6);
}

// The time bar's frame: a wooden rail (rows 8 to 29) the gauge lies in,
// rounded at its two ends, with raised round plates for the medal icons
// (centred on row 14) and dark separators between the segments.
constexpr double kRailTop = 8, kRailBottom = 29, kPlateY = 14, kPlateRadius = 12.5;

void Rail(cairo_t* cr, double x0, double x1, bool roundLeft, bool roundRight) {
  const double r = (kRailBottom - kRailTop) / 2;
  Box(cr, x0, kRailTop, x1, kRailBottom, roundLeft ? r : 0, roundRight ? r : 0, roundRight ? r : 0, roundLeft ? r : 0);
  FillDown(cr, art::Lighter(pal::kWood, 0.15), pal::kWoodDark, kRailTop, kRailBottom);
  cairo_new_path(cr);
  Line(cr, x0, kRailTop + 0.75, x1, kRailTop + 0.75, 1.5, pal::kOutline);
  Line(cr, x0, kRailBottom - 0.75, x1, kRailBottom - 0.75, 1.5, pal::kOutline);
}

void Plate(cairo_t* cr, double cx) {
  art::Ellipse(cr, cx, kPlateY, kPlateRadius, kPlateRadius);
  art::FillRound(cr, art::Lighter(pal::kWood, 0.35), cx, kPlateY, kPlateRadius);
  art::Outline(cr, 1.5, pal::kOutline);
}

void Separator(cairo_t* cr, double x) { Line(cr, x, kRailTop, x, kRailBottom, 2, pal::kOutline); }

void TimeBarCap(cairo_t* cr, const skin::Frame& f) {
  Rail(cr, 1, f.w + 8, true, false);
  Box(cr, 1, kRailTop, 10, kRailBottom, 10, 0, 0, 10);
  art::Outline(cr, 1.5, pal::kOutline);
}
void TimeBarSeparator(cairo_t* cr, const skin::Frame& f) {
  Rail(cr, 0, f.w, false, false);
  Separator(cr, f.w / 2);
}
void TimeBarFiller(cairo_t* cr, const skin::Frame& f) { Rail(cr, 0, f.w, false, false); }
void TimeBarPlate(cairo_t* cr, const skin::Frame& f) {
  Rail(cr, 0, f.w, false, false);
  Plate(cr, f.w / 2);
}
void TimeBarEnd(cairo_t* cr, const skin::Frame& f) {
  Rail(cr, -8, f.w - 1, false, true);
  Box(cr, f.w - 11, kRailTop, f.w - 1, kRailBottom, 0, 10, 10, 0);
  art::Outline(cr, 1.5, pal::kOutline);
}
void TimeBarPlain(cairo_t* cr, const skin::Frame& f) {
  Rail(cr, 1, f.w, true, false);
  Box(cr, 1, kRailTop, 10, kRailBottom, 10, 0, 0, 10);
  art::Outline(cr, 1.5, pal::kOutline);
  Separator(cr, f.w - 1);
  Plate(cr, 26);
}

// The level window's bonus slots: a sunken tan well, darker while empty
// (frame 0) than once a bonus fills it (frame 1).
void LevelWindowSlot(cairo_t* cr, const skin::Frame& f) {
  Box(cr, 3, 3, f.w - 3, f.h - 3, 8, 8, 8, 8);
  art::Source(cr, f.index == 0 ? art::Darker(kInset, 0.25) : art::Lighter(kInset, 0.2));
  cairo_fill_preserve(cr);
  art::Outline(cr, 2, art::Darker(pal::kWood, 0.3));
  Line(cr, 9, 5, f.w - 9, 5, 2, PanelEdge(), 0.5);
}

// The wooden plate behind four or more bonuses.
void LevelWindowPlate(cairo_t* cr, const skin::Frame& f) {
  cairo_rectangle(cr, 0, 0, f.w, f.h);
  FillDown(cr, art::Lighter(pal::kWood, 0.1), pal::kWoodDark, 0, f.h);
  cairo_new_path(cr);
  Line(cr, 0, 1, f.w, 1, 2, WoodLight());
  Line(cr, 0, f.h - 1, f.w, f.h - 1, 2, pal::kOutline);
}

// A sunk socket in a wooden rim (behind a medal), its middle columns alike:
// darker than the insets it stands on.
void WindowRow(cairo_t* cr, const skin::Frame& f) {
  Box(cr, 1.5, 1.5, f.w - 1.5, f.h - 1.5, 7, 7, 7, 7);
  FillDown(cr, art::Darker(kInset, 0.5), art::Darker(kInset, 0.25), 1, f.h - 1);
  art::Outline(cr, 3, pal::kWood);
  Box(cr, 0.75, 0.75, f.w - 0.75, f.h - 0.75, 7.5, 7.5, 7.5, 7.5);
  art::Outline(cr, 1.5, pal::kOutline);
}

// A thin groove between rows: a dark line over a light one.
void WindowSeparator(cairo_t* cr, const skin::Frame& f) {
  cairo_rectangle(cr, 0, 1, f.w, 1);
  art::Source(cr, art::Darker(kInset, 0.45));
  cairo_fill(cr);
  cairo_rectangle(cr, 0, 2, f.w, 1);
  art::Source(cr, art::Lighter(kInset, 0.25));
  cairo_fill(cr);
}

// The result window's board (SkinTable.h): the window's wooden sides at
// its ends and between them a dark board whose groove holds the
// medal-time gauge (14 pixels high at 16, 73 to 469, 87); the gauge's
// empty part shows the groove.
constexpr double kResultBoardWidth = 488, kResultBoardHeight = 91;
constexpr double kResultGrooveTop = 71, kResultGrooveBottom = 89, kResultGrooveRound = 7;
// The cover's place on the board (LevelResultWindow).
constexpr double kResultCoverX = 12, kResultCoverY = 5;

// The board's dark inset between its wooden sides.
void ResultBoardInset(cairo_t* cr) {
  const double right = kResultBoardWidth - kShadow - 12, h = kResultBoardHeight;
  Box(cr, 12, 2, right, h - 1, 9, 9, 9, 9);
  FillDown(cr, art::Darker(kInset, 0.2), kInset, 2, h - 1);
  art::Outline(cr, 1.5, art::Darker(pal::kWood, 0.3));
}

void ResultBoard(cairo_t* cr, const skin::Frame& f) {
  WoodSides(cr, f.w, f.h);
  ResultBoardInset(cr);
  const double r = kResultGrooveRound;
  Box(cr, 15, kResultGrooveTop, 470, kResultGrooveBottom, r, r, r, r);
  art::Source(cr, art::Darker(kInset, 0.55));
  cairo_fill(cr);
  Line(cr, 21, 88.5, 464, 88.5, 1, art::Lighter(kInset, 0.3), 0.8);
}

// Mode 0's cover over the bronze zone (the time there is always within
// it): the board itself, as it lies round the medal's box, without its
// groove, so nothing beside the medal reads as a label with nothing on
// it; at its right edge the groove's rounded end, from which the gauge
// runs on.
void ResultCover(cairo_t* cr, const skin::Frame& f) {
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, f.w, f.h);
  cairo_clip(cr);
  cairo_translate(cr, -kResultCoverX, -kResultCoverY);
  ResultBoardInset(cr);
  const double end = kResultCoverX + f.w, r = kResultGrooveRound;
  Box(cr, end - r - 1, kResultGrooveTop, end + r, kResultGrooveBottom, r, r, r, r);
  art::Source(cr, art::Darker(kInset, 0.55));
  cairo_fill(cr);
  cairo_restore(cr);
}

// A recessed wooden frame round the profiles list: dark grooves along the
// borders, the middle left light for the paper behind the rows.
// The board keeps the window's shadow column free on its right, as the
// window's sides do, so it does not stand out past the window's edge.
void ProfilesFrame(cairo_t* cr, const skin::Frame& f) {
  const double right = f.w - kShadow;
  cairo_rectangle(cr, right, 4, kShadow, f.h - 8);
  art::Source(cr, kBlack, 0.22);
  cairo_fill(cr);
  Box(cr, 1, 1, right - 1, f.h - 1, 10, 10, 10, 10);
  art::Source(cr, pal::kWood);
  cairo_fill_preserve(cr);
  art::Outline(cr, 2.0, art::Darker(pal::kWood, 0.4));
  cairo_rectangle(cr, 12, 10, right - 24, f.h - 20);
  art::Source(cr, kInset);
  cairo_fill(cr);
}

// A full-width row of the options window: the window's wooden sides (its
// 24 and 27 end columns), a light inset between them with the captions'
// band along its top.
void OptionsSoundArea(cairo_t* cr, const skin::Frame& f) {
  WoodSides(cr, f.w, f.h);
  const double x0 = 12, x1 = f.w - kShadow - 12;
  Box(cr, x0, 2, x1, f.h - 2, 8, 8, 8, 8);
  art::Source(cr, art::Lighter(kInset, 0.2));
  cairo_fill_preserve(cr);
  art::Outline(cr, 1.5, art::Darker(pal::kWood, 0.3));
  cairo_rectangle(cr, x0 + 4, 6, x1 - x0 - 8, 26);
  art::Source(cr, art::Darker(kInset, 0.15));
  cairo_fill(cr);
}

// The map interface's pieces. A brass stud where a band ends.
void MapCorner(cairo_t* cr, const skin::Frame& f) {
  const double cx = f.w / 2, cy = f.h / 2, r = std::min(f.w, f.h) / 2 - 2;
  art::Ellipse(cr, cx, cy + 1, r, r);
  art::Source(cr, kBlack, 0.25);
  cairo_fill(cr);
  art::Ellipse(cr, cx, cy, r, r);
  art::FillRound(cr, pal::kGold, cx, cy, r);
  art::Outline(cr, 1.5, art::Darker(pal::kGold, 0.5));
  art::Ellipse(cr, cx - r * 0.3, cy - r * 0.35, r * 0.3, r * 0.2);
  art::Source(cr, kCream, 0.7);
  cairo_fill(cr);
}

// The thin wooden edge down the screen's sides: the same in every row.
void MapEdge(cairo_t* cr, const skin::Frame& f) {
  cairo_rectangle(cr, 0, 0, f.w, f.h);
  FillAcross(cr, WoodLight(), art::Darker(pal::kWood, 0.35), 0, f.w);
}

// The plate behind the greeting and the medals: a framed wooden board,
// rounded at its ends, its middle rows and columns plain.
void MapPlate(cairo_t* cr, const skin::Frame& f) {
  Box(cr, 1, 1, f.w - 1, f.h - 1, 10, 10, 14, 14);
  art::Source(cr, kPlateWood);
  cairo_fill_preserve(cr);
  art::Outline(cr, kLine, pal::kOutline);
  Box(cr, 7, 6, f.w - 8, f.h - 9, 5, 5, 5, 5);
  art::Outline(cr, 1.5, WoodShade());
  Nail(cr, 8, f.h - 9);
  Nail(cr, f.w - 9, f.h - 9);
}

// A band behind a corner button: wood across, nails at its left end, a
// rounded right end.
void MapBand(cairo_t* cr, const skin::Frame& f) {
  Box(cr, -8, 2, f.w - 2, f.h - 2, 0, 6, 6, 0);
  art::Source(cr, kPlateWood);
  cairo_fill_preserve(cr);
  art::Outline(cr, kLine, pal::kOutline);
  Line(cr, 0, 8, f.w - 8, 8, 2, WoodLight());
  Line(cr, 0, f.h - 9, f.w - 8, f.h - 9, 2, WoodShade());
  Nail(cr, 9, 18);
  Nail(cr, 9, f.h - 18);
}

// The regime indicator: a slot with a lever that stands up for Easy and
// down for Hard, greyed while locked and lighter when hovered.
void RegimeIndicator(cairo_t* cr, const skin::Frame& f) {
  const u32 i = f.index;
  const double cx = f.w / 2;
  art::RoundRect(cr, 4, 3, f.w - 8, f.h - 6, 7);
  art::Source(cr, i == 0 ? art::Hex(0x7A7068) : art::Darker(pal::kWood, 0.5));
  cairo_fill_preserve(cr);
  art::Outline(cr, 1.5, pal::kOutline);
  const bool hard = i >= 3;
  const double y = i == 0 ? f.h / 2 : hard ? f.h - 14 : 14;
  art::Rgb knob = i == 0 ? pal::kStone : hard ? pal::kRed : pal::kGrass;
  if (i == 2 || i == 4) knob = art::Lighter(knob, 0.35);
  Line(cr, cx, f.h / 2, cx, y, 3, pal::kOutline);
  art::Ellipse(cr, cx, y, 7, 7);
  art::FillRound(cr, knob, cx, y, 7);
  art::Outline(cr, 1.5, pal::kOutline);
}

}  // namespace

namespace skin {

const Painters& InterfacePainters() {
  static const Painters painters = {
      {"window_column", WindowColumn}, {"money_frame", MoneyFrame}, {"window_body", WindowBody},
      {"caption_plate", CaptionPlate}, {"button", Button},           {"check_box", CheckBox},
      {"scroll_up", ScrollUp},     {"scroll_down", ScrollDown},       {"scroll_thumb", ScrollThumb},
      {"combo_box", ComboBox},     {"combo_list", ComboList},         {"balloon", Balloon},
      {"hint_line", HintLine},     {"info_frame", InfoFrame},         {"tutorial_info_frame", TutorialInfoFrame},         {"info_item_row", InfoItemRow},
      {"info_close", InfoClose},   {"info_wide_separator", InfoSeparator}, {"info_thin_separator", InfoSeparator},
      {"info_level_divider", InfoDivider}, {"time_gauge", TimeGauge},
      {"time_bar_cap", TimeBarCap}, {"time_bar_separator", TimeBarSeparator}, {"time_bar_filler", TimeBarFiller},
      {"time_bar_plate", TimeBarPlate}, {"time_bar_end", TimeBarEnd}, {"time_bar_plain", TimeBarPlain},
      {"level_window_slot0", LevelWindowSlot}, {"level_window_slot1", LevelWindowSlot},
      {"level_window_slot2", LevelWindowSlot}, {"level_window_plate", LevelWindowPlate},
      {"window_row", WindowRow}, {"window_separator", WindowSeparator},
      {"result_board", ResultBoard}, {"result_cover", ResultCover},
      {"profiles_frame", ProfilesFrame}, {"options_sound_area", OptionsSoundArea},
      {"map_corner", MapCorner}, {"map_edge", MapEdge}, {"map_plate", MapPlate}, {"map_band", MapBand},
      {"regime_indicator", RegimeIndicator}, {"award_tier", AwardTier},
  };
  return painters;
}

}  // namespace skin

void AddInterfaceArt(ArtBook& book) {
  for (const SkinImage& image : SkinImages()) {
    ArtPiece piece;
    const std::string name = image.name;
    piece.draw = [name](cairo_t* cr, const ArtFrame&) { skin::PaintImage(cr, name); };
    piece.layout = FrameLayout{1, 1};
    book.Add(kSkinSpriteSet, name, std::move(piece));
  }
  const std::pair<const char*, Rgb> medals[] = {
      {"gold_medal", pal::kGold}, {"silver_medal", pal::kSilver}, {"bronze_medal", pal::kBronze}};
  for (const auto& [name, metal] : medals) {
    ArtPiece medal;
    const Rgb m = metal;
    medal.draw = [m](cairo_t* cr, const ArtFrame& f) { Medal(cr, f, m); };
    medal.layout = FrameLayout{1, 1};
    book.Add(kSkinSpriteSet, name, std::move(medal));
  }
  ArtPiece none;
  none.draw = NoMedal;
  none.layout = FrameLayout{1, 1};
  book.Add(kSkinSpriteSet, "level_uncompl", std::move(none));
  const auto add = [&book](u32 set, const char* name, void (*draw)(cairo_t*, const ArtFrame&), u32 frames) {
    ArtPiece piece;
    piece.draw = draw;
    piece.layout = FrameLayout{frames, frames};
    book.Add(set, name, std::move(piece));
  };
  add(kSkinSpriteSet, "tasks_back", TasksBack, 1);
  add(kSkinSpriteSet, "bonuses_wnd", BonusesBack, 1);
  add(kSkinSpriteSet, "red_cross_big", BigCross, 1);
  add(2, "big_tick", BigTick, 6);
  add(kSkinSpriteSet, "map_medals_panel", MedalsStrip, 1);
  add(kSkinSpriteSet, "map_panel_medals", StripMedal, 3);
  add(kSkinSpriteSet, "map_panel_x", TimesSign, 1);
  add(kSkinSpriteSet, "sound_bar", SoundBarBands, 1);
  add(kSkinSpriteSet, "profiles", ProfilesSkin, 1);
  add(kSkinSpriteSet, "small_green_check", GreenCheck, 1);
  ArtPiece paper;
  paper.draw = ListPaper;
  paper.layout = FrameLayout{1, 1};
  book.Add(kSkinSpriteSet, "profiles_back", std::move(paper));
}

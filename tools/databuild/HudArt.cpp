// The head-up display's pictures (set 1): the golden price buttons, the
// production buttons standing in a row (a single one, or a first, middles
// and a last joined by grooves), the production slots with their green
// fill, the rows of level stars, the progress line's trough, its green and
// red fills and their glows, the round icon button in its four states, the
// coloured icon's plate and ring, the little arrow under a button, and the
// flying money label's coin (set 2), turning over four frames.
// The pieces the code cuts lie in the skin table (ui/SkinTable.h).
#include <algorithm>
#include <cmath>
#include <utility>

#include "ArtBook.h"
#include "SkinPaint.h"
#include "content/ContentArchive.h"

namespace {

using art::Rgb;
using namespace skin;  // the painters are made of its shapes
namespace pal = art::pal;

constexpr Rgb kSlotGreen = art::Hex(0x6CC24A);

void PriceButton(cairo_t* cr, const Frame& f) {
  const Rgb base = StateTint(pal::kYellow, f.index);
  const double dy = f.index == 3 ? 1 : 0, r = 15;
  Box(cr, 3, 4, f.w - 1, f.h - 1, r, r, r, r);
  art::Source(cr, kBlack, 0.25);
  cairo_fill(cr);
  Box(cr, 2, 2 + dy, f.w - 3, f.h - 4 + dy, r, r, r, r);
  FillDown(cr, art::Lighter(base, 0.4), art::Darker(base, 0.2), 2, f.h - 4);
  art::Outline(cr, 1.8, pal::kOutline);
  art::Ellipse(cr, 20, f.h / 2 - 1 + dy, 12, 12);  // the icon's seat
  art::Source(cr, art::Lighter(base, 0.55));
  cairo_fill(cr);
}

// A production button; `left` and `right` say which ends are rounded (an
// end that is not meets its neighbour at a groove).
void ProdButton(cairo_t* cr, const Frame& f, bool left, bool right) {
  const Rgb base = StateTint(art::Hex(0xF6DFA6), f.index);
  const double r = 8, dy = f.index == 3 ? 1 : 0;
  const double x0 = left ? 1 : -10, x1 = right ? f.w - 1 : f.w + 10;
  Box(cr, x0, 1 + dy, x1, f.h - 1, left ? r : 0, right ? r : 0, right ? r : 0, left ? r : 0);
  FillDown(cr, art::Lighter(base, 0.35), art::Darker(base, 0.1), 1, f.h - 1);
  art::Outline(cr, 1.5, pal::kOutline);
  if (!right) Line(cr, f.w - 0.75, 2, f.w - 0.75, f.h - 2, 1.5, art::Darker(base, 0.45));
}

void ProdSingle(cairo_t* cr, const Frame& f) { ProdButton(cr, f, true, true); }
void ProdFirst(cairo_t* cr, const Frame& f) { ProdButton(cr, f, true, false); }
void ProdMiddle(cairo_t* cr, const Frame& f) { ProdButton(cr, f, false, false); }
void ProdLast(cairo_t* cr, const Frame& f) { ProdButton(cr, f, false, true); }

void ProdSlot(cairo_t* cr, const Frame& f) {
  const Rgb rim = StateTint(pal::kWood, f.index);
  Box(cr, 1, 1, f.w - 1, f.h - 1, 8, 8, 8, 8);
  art::Source(cr, rim);
  cairo_fill_preserve(cr);
  art::Outline(cr, 1.5, pal::kOutline);
  Box(cr, 4, 4, f.w - 4, f.h - 4, 6, 6, 6, 6);
  FillDown(cr, art::Darker(pal::kWood, 0.5), art::Darker(pal::kWood, 0.3), 4, f.h - 4);
}

// The slot filled: the same slot holding green, cut at any row.
void ProdSlotFill(cairo_t* cr, const Frame& f) {
  const Rgb fill = StateTint(kSlotGreen, f.index + 1);
  Box(cr, 4, 4, f.w - 4, f.h - 4, 6, 6, 6, 6);
  FillDown(cr, art::Lighter(fill, 0.3), art::Darker(fill, 0.2), 4, f.h - 4);
}

// A row of level stars, the first `f.index` lit.
void StarRow(cairo_t* cr, const Frame& f, int count) {
  const double step = f.w / count, r = std::min(step, f.h) / 2 - 1;
  for (int k = 0; k < count; ++k) {
    const double cx = step * (k + 0.5), cy = f.h / 2 + 0.5;
    art::Star(cr, cx, cy, r, r * 0.45, 5);
    if (k < static_cast<int>(f.index)) {
      art::FillLit(cr, pal::kYellow, cx - r, cy - r, cx + r, cy + r, 0.4);
    } else {
      art::Source(cr, art::Darker(pal::kPanel, 0.4), 0.85);
      cairo_fill_preserve(cr);
    }
    art::Outline(cr, 1.2, pal::kOutline);
  }
}

void StarsThree(cairo_t* cr, const Frame& f) { StarRow(cr, f, 2); }
void StarsFour(cairo_t* cr, const Frame& f) { StarRow(cr, f, 3); }

void ProgressBorder(cairo_t* cr, const Frame& f) {
  Box(cr, 0.75, 0.75, f.w - 0.75, f.h - 0.75, 4, 4, 4, 4);
  FillDown(cr, art::Darker(pal::kWood, 0.55), art::Darker(pal::kWood, 0.35), 0.75, f.h - 0.75);
  art::Outline(cr, 1.5, pal::kOutline);
}

void Indicator(cairo_t* cr, const Frame& f, Rgb c) {
  Box(cr, 0.5, 0.5, f.w - 0.5, f.h - 0.5, 2.5, 2.5, 2.5, 2.5);
  FillDown(cr, art::Lighter(c, 0.45), art::Darker(c, 0.15), 0.5, f.h - 0.5);
}

void ProgressIndicator(cairo_t* cr, const Frame& f) { Indicator(cr, f, kSlotGreen); }
void ProgressIndicatorRed(cairo_t* cr, const Frame& f) { Indicator(cr, f, pal::kRed); }

void Glow(cairo_t* cr, const ArtFrame& f, Rgb c) {
  art::SoftEllipse(cr, f.width / 2, f.height / 2, f.width / 2, f.height / 2, c, 0.9, 0.2, 0.6);
}

}  // namespace

namespace skin {

const Painters& HudPainters() {
  static const Painters painters = {
      {"price_button", PriceButton},
      {"prod_single", ProdSingle},
      {"prod_first", ProdFirst},
      {"prod_middle", ProdMiddle},
      {"prod_last", ProdLast},
      {"prod_slot", ProdSlot},
      {"prod_slot_fill", ProdSlotFill},
      {"stars_three", StarsThree},
      {"stars_four", StarsFour},
      {"progress_border", ProgressBorder},
      {"progress_indicator", ProgressIndicator},
      {"progress_indicator_red", ProgressIndicatorRed},
  };
  return painters;
}

}  // namespace skin

void AddHudArt(ArtBook& book) {
  // The round icon button: a frame a state (disabled, normal, hover, pressed).
  book.Add(kSkinSpriteSet, "icon_btn", FramesPiece(
                                           [](cairo_t* cr, const ArtFrame& f) {
                                             const Rgb base = StateTint(art::Hex(0xF6DFA6), f.index);
                                             const double c = f.width / 2, r = c - 2;
                                             art::Ellipse(cr, c + 1, c + 1.5, r, r);
                                             art::Source(cr, kBlack, 0.25);
                                             cairo_fill(cr);
                                             art::Ellipse(cr, c, c + (f.index == 3 ? 1 : 0), r, r);
                                             art::FillRound(cr, base, c, c, r);
                                             art::Outline(cr, 1.8);
                                           },
                                           4));
  // The coloured icon's plate (near white, so its tint shows) and its ring.
  book.Add(kSkinSpriteSet, "level_ico_back", FramesPiece([](cairo_t* cr, const ArtFrame& f) {
             art::Ellipse(cr, f.width / 2, f.height / 2, f.width / 2 - 1, f.height / 2 - 1);
             art::FillRound(cr, art::Hex(0xF4F4F4), f.width / 2, f.height / 2, f.width / 2 - 1);
           }));
  book.Add(kSkinSpriteSet, "level_ico_border", FramesPiece([](cairo_t* cr, const ArtFrame& f) {
             art::Ellipse(cr, f.width / 2, f.height / 2, f.width / 2 - 2, f.height / 2 - 2);
             art::Outline(cr, 3, pal::kOutline);
             art::Ellipse(cr, f.width / 2, f.height / 2, f.width / 2 - 2, f.height / 2 - 2);
             art::Outline(cr, 1.2, art::Lighter(pal::kWood, 0.4));
           }));
  book.Add(kSkinSpriteSet, "button_arrow", FramesPiece([](cairo_t* cr, const ArtFrame& f) {
             cairo_move_to(cr, 1, 1);  // points down from its top middle
             cairo_line_to(cr, f.width - 1, 1);
             cairo_line_to(cr, f.width / 2, f.height - 1);
             cairo_close_path(cr);
             art::FillLit(cr, pal::kYellow, 0, 0, f.width, f.height, 0.3);
             art::Outline(cr, 1.2);
           }));
  book.Add(kIconSpriteSet, "small_ico_coin", FramesPiece(
                                                 [](cairo_t* cr, const ArtFrame& f) {
                                                   // Edge on first, its face last (the label shows the fourth).
                                                   const double turn = (f.index + 1) / 4.0;
                                                   const double cx = f.width / 2, cy = f.height / 2;
                                                   const double ry = f.height / 2 - 1.5, rx = std::max(1.5, ry * turn);
                                                   art::Ellipse(cr, cx, cy, rx, ry);
                                                   art::FillLit(cr, pal::kGold, cx - rx, cy - ry, cx + rx, cy + ry, 0.4);
                                                   art::Outline(cr, 1.2);
                                                   if (turn < 0.6) return;
                                                   art::Ellipse(cr, cx, cy, rx * 0.6, ry * 0.6);
                                                   art::Outline(cr, 1, art::Darker(pal::kGold, 0.35));
                                                 },
                                                 4));
  // The tutorials' arrow: a fat orange arrow pointing left, its tip at the
  // left middle (where it touches its target), lit from the top.
  book.Add(kSkinSpriteSet, "tutorial_arrow", FramesPiece([](cairo_t* cr, const ArtFrame& f) {
             const double w = f.width, h = f.height, m = h / 2, head = w * 0.45, shaft = h * 0.22;
             cairo_move_to(cr, 1.5, m);
             cairo_line_to(cr, head, 1.5);
             cairo_line_to(cr, head, m - shaft);
             cairo_line_to(cr, w - 2, m - shaft);
             cairo_line_to(cr, w - 2, m + shaft);
             cairo_line_to(cr, head, m + shaft);
             cairo_line_to(cr, head, h - 1.5);
             cairo_close_path(cr);
             art::FillLit(cr, pal::kOrange, 0, 0, w, h, 0.45);
             art::Outline(cr, 2.2);
             art::Gleam(cr, head * 0.75, m - h * 0.18, w * 0.12, h * 0.06, 0.6);
           }));
  book.Add(kSkinSpriteSet, "progress_glow",
           FramesPiece([](cairo_t* cr, const ArtFrame& f) { Glow(cr, f, art::Lighter(pal::kYellow, 0.5)); }));
  book.Add(kSkinSpriteSet, "progress_glow_red",
           FramesPiece([](cairo_t* cr, const ArtFrame& f) { Glow(cr, f, art::Lighter(pal::kRed, 0.3)); }));
}

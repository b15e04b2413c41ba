// The cow shed and the sheep pen: the red shed of four levels (a stall
// opening a cow, where the heads look out) and its construction site; the
// cows' heads, eating, calling and milked; the pen of four levels (a
// lean-to behind an open paddock of rails, where the sheep stand) and its
// site; the sheep's bodies, woolly and shorn, and their heads, grazing,
// bleating, turning and blinking. Heads and bodies stand on the frame's
// point (32, 56) of 64 x 64, row 0 looking right, row 1 (a mirrored house)
// left.
#include <algorithm>
#include <cmath>
#include <string>

#include "ArtBook.h"
#include "ArtKit.h"
#include "content/ContentArchive.h"
#include "resources/SpriteSet.h"

namespace {

using art::Rgb;
namespace pal = art::pal;

constexpr double kShedLine = 1.2;
constexpr double kFootX = 32, kFootY = 56;
constexpr Rgb kHide = art::Hex(0xFBF8F0);
constexpr Rgb kPatch = art::Hex(0x2E2623);
constexpr Rgb kMuzzle = art::Hex(0xF3B3B0);
constexpr Rgb kHorn = art::Hex(0xEDE3C8);
constexpr Rgb kWool = art::Hex(0xF7F3E8);
constexpr Rgb kShorn = art::Hex(0xEAD9C2);
constexpr Rgb kFace = art::Hex(0x3A302B);
constexpr Rgb kBarn = art::Hex(0xC8412F);

// The frame scaled to 64 x 64 and turned round for a row looking left.
void Turn(cairo_t* cr, const ArtFrame& f) {
  cairo_scale(cr, f.width / 64, f.height / 64);
  const double angle = (270.0 + 360.0 * f.row / std::max(1u, f.rows)) * M_PI / 180;
  if (std::cos(angle) < -0.01) {
    cairo_translate(cr, 64, 0);
    cairo_scale(cr, -1, 1);
  }
}

// --- Cows -------------------------------------------------------------------------------------------------

enum class Cow { kIdle, kEat, kCall, kMilk };

// A cow's head looking out of its stall, slightly to the right: the face a
// long white oval with a black patch, the pink muzzle below, horns and ears.
void DrawCowHead(cairo_t* cr, double phase, Cow mood) {
  const double wave = std::sin(phase * 2 * M_PI);
  const double dip = mood == Cow::kEat ? 8 + 2 * wave : mood == Cow::kMilk ? 1 : 0;
  const double lift = mood == Cow::kCall ? 4 + 2 * std::fabs(wave) : 0;
  const double cx = 33, cy = 38 + dip - lift;
  const double ear = mood == Cow::kIdle ? 2 * wave : 0;
  for (const double side : {-1.0, 1.0}) {  // ears, then horns
    art::Ellipse(cr, cx + side * 13, cy - 9 + (side < 0 ? ear : 0), 6, 3);
    art::FillLit(cr, kHide, cx - 20, cy - 13, cx + 20, cy - 5, 0.3);
    art::Outline(cr, kShedLine);
    cairo_move_to(cr, cx + side * 5, cy - 12);
    cairo_curve_to(cr, cx + side * 9, cy - 16, cx + side * 11, cy - 19, cx + side * 9, cy - 22);
    cairo_line_to(cr, cx + side * 6, cy - 14);
    cairo_close_path(cr);
    art::FillLit(cr, kHorn, cx - 12, cy - 22, cx + 12, cy - 12, 0.3);
    art::Outline(cr, kShedLine * 0.8);
  }
  art::Ellipse(cr, cx, cy - 2, 10, 13);
  art::FillLit(cr, kHide, cx - 10, cy - 15, cx + 10, cy + 11, 0.35);
  art::Outline(cr, kShedLine);
  art::Blob(cr, cx - 4, cy - 8, 5, 4, 5, 0.2, 7);
  art::Source(cr, kPatch);
  cairo_fill(cr);
  // The muzzle, open while calling.
  art::Ellipse(cr, cx + 1, cy + 9, 9, 6);
  art::FillLit(cr, kMuzzle, cx - 8, cy + 3, cx + 10, cy + 15, 0.3);
  art::Outline(cr, kShedLine);
  for (const double side : {-1.0, 1.0}) {
    art::Ellipse(cr, cx + 1 + side * 4, cy + 8, 1.3, 1.8);
    art::Source(cr, art::Darker(kMuzzle, 0.5));
    cairo_fill(cr);
  }
  if (mood == Cow::kCall) {
    art::Ellipse(cr, cx + 1, cy + 13, 4, 2 + std::fabs(wave));
    art::Source(cr, art::Hex(0x7A2E2E));
    cairo_fill(cr);
  }
  // Eyes: closed (content) while milked.
  for (const double side : {-1.0, 1.0}) {
    if (mood == Cow::kMilk) {
      cairo_move_to(cr, cx + side * 6 - 2, cy - 3);
      cairo_line_to(cr, cx + side * 6 + 2, cy - 3);
      art::Outline(cr, 1.2);
    } else {
      art::Ellipse(cr, cx + side * 6 + 1, cy - 3, 1.6, 2);
      art::Source(cr, pal::kOutline);
      cairo_fill(cr);
    }
  }
  if (mood == Cow::kEat) {  // a wisp of hay in the mouth
    cairo_move_to(cr, cx - 6, cy + 13);
    cairo_line_to(cr, cx + 9 + 2 * wave, cy + 11);
    art::Outline(cr, 1.4, pal::kStraw);
  }
}

ArtPiece CowAnimation(Cow mood) {
  ArtPiece piece;
  piece.draw = [mood](cairo_t* cr, const ArtFrame& f) {
    cairo_save(cr);
    Turn(cr, f);
    DrawCowHead(cr, f.Phase(), mood);
    cairo_restore(cr);
  };
  return piece;
}

// The shed of a level (1 to 4): a stall opening a cow along its front at
// the cows' places (-36, -12, 12, 36 from its middle at level 4).
ArtPiece Cowshed(int level) {
  ArtPiece piece;
  piece.hotY = 0.78;
  piece.draw = [level](cairo_t* cr, const ArtFrame& f) {
    cairo_save(cr);
    cairo_scale(cr, f.width / 128, f.width / 128);
    const double half = 34 + 6 * level, top = 50 - 3 * level, base = 100;
    art::GroundShadow(cr, 64, base, half + 14, 12, 0.35);
    cairo_rectangle(cr, 64 - half, top, 2 * half, base - top);
    art::FillLit(cr, kBarn, 64 - half, top, 64 + half, base, 0.35);
    art::Outline(cr, kShedLine * 1.4);
    cairo_set_line_width(cr, 0.8);
    art::Source(cr, art::Darker(kBarn, 0.3));
    for (double x = 64 - half + 7; x < 64 + half; x += 7) {
      cairo_move_to(cr, x, top + 2);
      cairo_line_to(cr, x, base);
    }
    cairo_stroke(cr);
    // The stalls: dark openings trimmed in white.
    for (int k = 0; k < level; ++k) {
      const double x = 64 - 12 * (level - 1) + 24 * k;
      art::RoundRect(cr, x - 10, base - 38, 20, 28, 3);
      art::Source(cr, art::Hex(0x2A1A12));
      cairo_fill_preserve(cr);
      art::Outline(cr, 2.4, pal::kWhite);
    }
    // A hay door high up, the roof over it: grey shingles from level 3.
    const Rgb roof = level >= 3 ? pal::kStoneDark : art::Hex(0x8C3A2A);
    cairo_move_to(cr, 64 - half - 6, top + 4);
    cairo_line_to(cr, 64 - half + 6, top - 14);
    cairo_line_to(cr, 64, top - 24 - 2 * level);
    cairo_line_to(cr, 64 + half - 6, top - 14);
    cairo_line_to(cr, 64 + half + 6, top + 4);
    cairo_close_path(cr);
    art::FillLit(cr, roof, 64 - half - 6, top - 30, 64 + half + 6, top + 4, 0.4);
    art::Outline(cr, kShedLine * 1.4);
    cairo_rectangle(cr, 57, top - 12, 14, 12);
    art::Source(cr, pal::kStraw);
    cairo_fill_preserve(cr);
    art::Outline(cr, 2, pal::kWhite);
    cairo_restore(cr);
  };
  return piece;
}

// --- Sheep ------------------------------------------------------------------------------------------------

// A sheep's body looking right: woolly, a cloud of curls; shorn, a slim
// cream body. The legs dark, the tail a tuft.
void DrawSheepBody(cairo_t* cr, bool woolly, double phase) {
  const double breathe = 0.6 * std::sin(phase * 2 * M_PI);
  art::GroundShadow(cr, kFootX, kFootY - 1, 18, 5, 0.3);
  cairo_set_line_width(cr, 3.2);
  art::Source(cr, kFace);
  for (const double x : {-11.0, -6.0, 7.0, 12.0}) {
    cairo_move_to(cr, kFootX + x, kFootY - 14);
    cairo_line_to(cr, kFootX + x, kFootY - 1);
  }
  cairo_stroke(cr);
  const double cx = kFootX, cy = kFootY - 21 - breathe;
  if (woolly) {
    art::Blob(cr, cx, cy, 19, 12 + breathe, 11, 0.12, 3);
    art::FillLit(cr, kWool, cx - 20, cy - 13, cx + 20, cy + 13, 0.35);
    art::Outline(cr, kShedLine);
    for (int k = 0; k < 9; ++k) {
      art::Ellipse(cr, cx - 13 + 3.4 * k, cy - 4 + 4 * std::sin(k * 1.7), 3, 2.4);
      art::Outline(cr, 0.6, art::Darker(kWool, 0.25));
    }
  } else {
    art::Ellipse(cr, cx, cy + 2, 15, 8.5 + breathe);
    art::FillLit(cr, kShorn, cx - 15, cy - 7, cx + 15, cy + 11, 0.35);
    art::Outline(cr, kShedLine);
  }
  art::Ellipse(cr, cx - (woolly ? 19 : 15), cy - 3, 3.5, 3);
  art::FillLit(cr, woolly ? kWool : kShorn, cx - 23, cy - 6, cx - 12, cy, 0.3);
  art::Outline(cr, kShedLine * 0.8);
}

enum class SheepHead { kStand, kEat, kBleat, kTurnLeft, kTurnRight, kBlink };

// The head at the front of the body: a dark face with drooping ears; down
// to the grass while eating, up with an open mouth while bleating, turned
// towards the viewer or away, the eyes shut in the blink.
void DrawSheepHead(cairo_t* cr, SheepHead pose, double phase) {
  const double wave = std::sin(phase * 2 * M_PI);
  const double turn = pose == SheepHead::kTurnLeft ? -std::sin(phase * M_PI) : pose == SheepHead::kTurnRight
                                                                                  ? std::sin(phase * M_PI)
                                                                                  : 0.0;
  double hx = kFootX + 19 - 5 * std::fabs(turn), hy = kFootY - 31;
  if (pose == SheepHead::kEat) hy += 15 + 1.5 * wave;
  if (pose == SheepHead::kBleat) hy -= 3 + 2 * std::fabs(wave);
  hy += 3 * turn;
  for (const double side : {-1.0, 1.0}) {
    art::Ellipse(cr, hx + side * 6 - 2 * turn, hy - 4, 4.5, 2.2);
    art::FillLit(cr, kFace, hx - 12, hy - 7, hx + 12, hy - 1, 0.3);
    art::Outline(cr, kShedLine * 0.7);
  }
  art::Ellipse(cr, hx + 2 - 2 * turn, hy, 6, 7.5);
  art::FillLit(cr, kFace, hx - 5, hy - 8, hx + 9, hy + 8, 0.3);
  art::Outline(cr, kShedLine);
  art::Ellipse(cr, hx - 1, hy - 7, 5, 3);  // the woolly crown
  art::FillLit(cr, kWool, hx - 6, hy - 10, hx + 4, hy - 4, 0.3);
  art::Outline(cr, kShedLine * 0.6);
  const bool shut = pose == SheepHead::kBlink && phase > 0.4 && phase < 0.6;
  for (const double side : {-1.0, 1.0}) {
    const double ex = hx + 2 + side * 3 - 2 * turn;
    if (shut) {
      cairo_move_to(cr, ex - 1.5, hy - 1);
      cairo_line_to(cr, ex + 1.5, hy - 1);
      art::Outline(cr, 1, pal::kWhite);
    } else {
      art::Ellipse(cr, ex, hy - 1, 1.5, 1.5);
      art::Source(cr, pal::kWhite);
      cairo_fill(cr);
    }
  }
  if (pose == SheepHead::kBleat) {
    art::Ellipse(cr, hx + 3, hy + 5, 2.5, 1.5 + std::fabs(wave));
    art::Source(cr, art::Hex(0xB24A4A));
    cairo_fill(cr);
  }
  if (pose == SheepHead::kEat) {
    for (int k = 0; k < 4; ++k) art::GrassTuft(cr, hx - 3 + 3 * k, hy + 8, 5, 11 + k);
  }
}

ArtPiece SheepBodyAnimation(bool woolly) {
  ArtPiece piece;
  piece.draw = [woolly](cairo_t* cr, const ArtFrame& f) {
    cairo_save(cr);
    Turn(cr, f);
    DrawSheepBody(cr, woolly, f.Phase());
    cairo_restore(cr);
  };
  return piece;
}

ArtPiece SheepHeadAnimation(SheepHead pose) {
  ArtPiece piece;
  piece.draw = [pose](cairo_t* cr, const ArtFrame& f) {
    cairo_save(cr);
    Turn(cr, f);
    DrawSheepHead(cr, pose, f.Phase());
    cairo_restore(cr);
  };
  return piece;
}

// The pen of a level (1 to 4): a lean-to at the back, rails round an open
// paddock in front where the sheep stand, a longer paddock each level.
ArtPiece SheepPen(int level) {
  ArtPiece piece;
  piece.hotY = 0.78;
  piece.draw = [level](cairo_t* cr, const ArtFrame& f) {
    cairo_save(cr);
    cairo_scale(cr, f.width / 128, f.width / 128);
    const double half = 36 + 6 * level, back = 58, front = 108;
    art::GroundShadow(cr, 64, back + 4, half, 8, 0.3);
    // The lean-to.
    cairo_rectangle(cr, 64 - half + 8, back - 28, 2 * half - 16, 28);
    art::FillLit(cr, pal::kWood, 64 - half + 8, back - 28, 64 + half - 8, back, 0.35);
    art::Outline(cr, kShedLine * 1.3);
    cairo_rectangle(cr, 64 - half + 14, back - 22, 2 * half - 28, 22);
    art::Source(cr, art::Hex(0x4A2E18));
    cairo_fill(cr);
    const Rgb roof = level >= 3 ? pal::kRed : pal::kStraw;
    cairo_move_to(cr, 64 - half + 2, back - 24);
    cairo_line_to(cr, 64 - half + 14, back - 40 - 2 * level);
    cairo_line_to(cr, 64 + half - 14, back - 40 - 2 * level);
    cairo_line_to(cr, 64 + half - 2, back - 24);
    cairo_close_path(cr);
    art::FillLit(cr, roof, 64 - half, back - 48, 64 + half, back - 24, 0.4);
    art::Outline(cr, kShedLine * 1.3);
    // Posts and two rails round the paddock (its front kept low).
    auto post = [cr](double x, double y, double h) {
      cairo_rectangle(cr, x - 2, y - h, 4, h);
      art::FillLit(cr, pal::kWoodDark, x - 2, y - h, x + 2, y, 0.3);
      art::Outline(cr, kShedLine * 0.8);
    };
    auto rail = [cr](double x0, double y0, double x1, double y1) {
      cairo_move_to(cr, x0, y0);
      cairo_line_to(cr, x1, y1);
      art::Rod(cr, 2.2, pal::kWood, 0.7);
    };
    for (const double side : {-1.0, 1.0}) {
      const double x = 64 + side * half;
      post(x, back + 2, 18);
      post(x, front, 14);
      for (const double h : {6.0, 13.0}) rail(x, back + 2 - h, x, front - h);
    }
    for (double x = 64 - half; x <= 64 + half + 0.5; x += half / 2) post(x, front, 12);
    rail(64 - half, front - 8, 64 + half, front - 8);
    cairo_restore(cr);
  };
  return piece;
}

// Pegs and a roll of wire, or a heap of boards and a bucket of nails.
ArtPiece Site(bool shed) {
  ArtPiece piece;
  piece.hotY = 0.7;
  piece.draw = [shed](cairo_t* cr, const ArtFrame& f) {
    const double w = f.width, h = f.height;
    art::Ellipse(cr, w / 2, h * 0.72, w * 0.42, h * 0.2);
    art::Source(cr, pal::kSoil, 0.8);
    cairo_fill(cr);
    for (int k = 0; k < 6; ++k) {
      const double x = w * (0.16 + 0.136 * k), y = h * (0.66 + 0.12 * (k % 2));
      cairo_rectangle(cr, x - 2, y - 14, 4, 14);
      art::FillLit(cr, pal::kWood, x - 2, y - 14, x + 2, y, 0.3);
      art::Outline(cr, kShedLine);
    }
    for (int k = 0; k < 3; ++k) {
      cairo_rectangle(cr, w * 0.34, h * (0.64 - 0.07 * k), w * 0.32, h * 0.06);
      art::FillLit(cr, shed ? kBarn : pal::kWood, w * 0.34, h * 0.4, w * 0.66, h * 0.7, 0.35);
      art::Outline(cr, kShedLine);
    }
  };
  return piece;
}

}  // namespace

void AddShedArt(ArtBook& book) {
  book.Add(kMapSpriteSet, "cowshed_site", Site(true));
  book.Add(kMapSpriteSet, "sheep_rack_site", Site(false));
  for (int level = 1; level <= 4; ++level) {
    book.Add(kMapSpriteSet, "cowshed_" + std::to_string(level), Cowshed(level));
    book.Add(kMapSpriteSet, "sheep_rack_" + std::to_string(level), SheepPen(level));
  }
  book.Add(kAnimationSpriteSet, "cowhead", CowAnimation(Cow::kIdle));
  book.Add(kAnimationSpriteSet, "cowhead_eat", CowAnimation(Cow::kEat));
  book.Add(kAnimationSpriteSet, "cowhead_yelling", CowAnimation(Cow::kCall));
  book.Add(kAnimationSpriteSet, "cowhead_milk", CowAnimation(Cow::kMilk));
  book.Add(kAnimationSpriteSet, "sheepbody_stand", SheepBodyAnimation(true));
  book.Add(kAnimationSpriteSet, "sheepbody_skin_stand", SheepBodyAnimation(false));
  book.Add(kAnimationSpriteSet, "sheephead_stand", SheepHeadAnimation(SheepHead::kStand));
  book.Add(kAnimationSpriteSet, "sheephead_eat", SheepHeadAnimation(SheepHead::kEat));
  book.Add(kAnimationSpriteSet, "sheephead_yelling", SheepHeadAnimation(SheepHead::kBleat));
  book.Add(kAnimationSpriteSet, "sheephead_turnleft", SheepHeadAnimation(SheepHead::kTurnLeft));
  book.Add(kAnimationSpriteSet, "sheephead_turnright", SheepHeadAnimation(SheepHead::kTurnRight));
  book.Add(kAnimationSpriteSet, "sheephead_blink", SheepHeadAnimation(SheepHead::kBlink));
}

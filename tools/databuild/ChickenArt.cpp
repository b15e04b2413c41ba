// The chicken house's yard: the chicken in eight directions (rows at 270,
// 315, 0, ... degrees like the player's: 270 looks away up the screen, 90
// towards the viewer) standing, walking, pecking and calling, its feet on the frame's
// point (32, 56) of 64 x 64; the trough, its frames from empty to full; the
// nest of straw the eggs are laid beside; and the coop itself, its
// construction site and its four levels (a wider, taller coop each level,
// its roof from straw to red tiles).
#include <cmath>
#include <string>

#include "ArtBook.h"
#include "ArtKit.h"
#include "content/ContentArchive.h"
#include "resources/SpriteSet.h"

namespace {

using art::Rgb;
namespace pal = art::pal;

constexpr double kFootX = 32, kFootY = 56;
constexpr double kTilt = 0.45;
constexpr double kLine = 1.2;
constexpr Rgb kFeather = art::Hex(0xF6F1E4);
constexpr Rgb kComb = art::Hex(0xD8372B);
constexpr Rgb kBeak = art::Hex(0xF2A627);

enum class Motion { kStand, kWalk, kPeck, kCall };

// One chicken frame: the body an egg shape along its heading, the head
// ahead and up (down to the ground when pecking), the tail behind.
void DrawChicken(cairo_t* cr, double angleDeg, double phase, Motion motion) {
  const double a = angleDeg * M_PI / 180;
  const double dx = std::cos(a), dy = std::sin(a) * kTilt;  // the heading on screen
  const double step = motion == Motion::kWalk ? std::sin(phase * 2 * M_PI) : 0.0;
  const double bob = motion == Motion::kWalk ? std::fabs(step) * 1.5 : 0.0;
  const double peck = motion == Motion::kPeck ? 0.5 - 0.5 * std::cos(phase * 2 * M_PI) : 0.0;
  art::GroundShadow(cr, kFootX, kFootY - 1, 14, 5, 0.3);
  // Legs.
  cairo_set_line_width(cr, 2.2);
  art::Source(cr, kBeak);
  for (const double side : {-1.0, 1.0}) {
    const double sx = -dy / kTilt * 4 * side, sy = dx * kTilt * 4 * side;
    const double swing = step * 4 * side;
    cairo_move_to(cr, kFootX + sx * 0.6, kFootY - 14 - bob);
    cairo_line_to(cr, kFootX + sx + dx * swing, kFootY - 2 + sy * 0.3 + dy * swing);
  }
  cairo_stroke(cr);
  const double bx = kFootX, by = kFootY - 22 - bob;
  // The tail behind, the body, the wing.
  cairo_move_to(cr, bx - dx * 10, by - 2);
  cairo_line_to(cr, bx - dx * 19, by - 13);
  cairo_line_to(cr, bx - dx * 14, by + 4);
  cairo_close_path(cr);
  art::FillLit(cr, kFeather, bx - 20, by - 14, bx + 20, by + 6, 0.35);
  art::Outline(cr, kLine);
  art::Ellipse(cr, bx, by, 12 + 3 * std::fabs(dx), 10);
  art::FillLit(cr, kFeather, bx - 15, by - 10, bx + 15, by + 10, 0.35);
  art::Outline(cr, kLine);
  art::Ellipse(cr, bx - dx * 2, by + 1, 7 + 2 * std::fabs(dx), 5);
  art::FillLit(cr, art::Hex(0xE8DFC8), bx - 9, by - 4, bx + 9, by + 6, 0.3);
  art::Outline(cr, kLine * 0.7);
  // The head: ahead of the body, lowered to the ground while pecking.
  const double call = motion == Motion::kCall ? 0.5 - 0.5 * std::cos(phase * 2 * M_PI) : 0.0;
  const double hx = bx + dx * (10 + 6 * peck), hy = by - 12 + 22 * peck + dy * 8 - 5 * call;
  cairo_set_line_width(cr, 6);
  art::Source(cr, kFeather);
  cairo_move_to(cr, bx + dx * 6, by - 4);
  cairo_line_to(cr, hx, hy);
  cairo_stroke(cr);
  art::Ellipse(cr, hx, hy - 3, 5.5, 5.5);
  art::FillLit(cr, kFeather, hx - 6, hy - 9, hx + 6, hy + 3, 0.3);
  art::Outline(cr, kLine);
  art::Ellipse(cr, hx - dx, hy - 9, 3, 2.5);  // the comb
  art::Source(cr, kComb);
  cairo_fill(cr);
  // The beak points along the heading (open and raised while calling); the
  // eye shows unless she looks away.
  const double gape = 3.5 * call;
  cairo_move_to(cr, hx + dx * 4, hy - 4);
  cairo_line_to(cr, hx + dx * 9, hy - 2 + dy * 3 - gape);
  cairo_line_to(cr, hx + dx * 4, hy - 1);
  cairo_close_path(cr);
  art::Source(cr, kBeak);
  cairo_fill(cr);
  if (call > 0.05) {
    cairo_move_to(cr, hx + dx * 4, hy - 1);
    cairo_line_to(cr, hx + dx * 8, hy + dy * 3 + gape * 0.6);
    cairo_line_to(cr, hx + dx * 4, hy + 1);
    cairo_close_path(cr);
    art::Source(cr, art::Darker(kBeak, 0.2));
    cairo_fill(cr);
  }
  if (std::sin(a) > -0.9) {
    art::Ellipse(cr, hx + dx * 2, hy - 4, 1.2, 1.2);
    art::Source(cr, pal::kOutline);
    cairo_fill(cr);
  }
}

ArtPiece ChickenAnimation(Motion motion) {
  ArtPiece piece;
  piece.draw = [motion](cairo_t* cr, const ArtFrame& f) {
    cairo_save(cr);
    cairo_scale(cr, f.width / 64, f.height / 64);
    const double angle = std::fmod(270.0 + 360.0 * f.row / std::max(1u, f.rows), 360.0);
    DrawChicken(cr, angle, f.Phase(), motion);
    cairo_restore(cr);
  };
  return piece;
}

// A wooden trough, frame 0 empty and the last brim-full of grain.
ArtPiece Trough() {
  ArtPiece piece;
  piece.layout = FrameLayout{4, 4};
  piece.hotY = 0.7;
  piece.draw = [](cairo_t* cr, const ArtFrame& f) {
    const double w = f.width, h = f.height;
    const double fill = f.count > 1 ? static_cast<double>(f.index) / (f.count - 1) : 1.0;
    art::GroundShadow(cr, w * 0.5, h * 0.78, w * 0.46, h * 0.16, 0.3);
    cairo_move_to(cr, w * 0.06, h * 0.3);
    cairo_line_to(cr, w * 0.94, h * 0.3);
    cairo_line_to(cr, w * 0.86, h * 0.82);
    cairo_line_to(cr, w * 0.14, h * 0.82);
    cairo_close_path(cr);
    art::FillLit(cr, pal::kWood, 0, h * 0.3, w, h * 0.82, 0.35);
    art::Outline(cr, kLine);
    art::Ellipse(cr, w * 0.5, h * 0.32, w * 0.42, h * 0.12);
    art::Source(cr, art::Hex(0x6B4424));
    cairo_fill(cr);
    if (fill > 0) {
      art::Ellipse(cr, w * 0.5, h * 0.32, w * 0.4 * (0.4 + 0.6 * fill), h * 0.1 * (0.4 + 0.6 * fill));
      art::Source(cr, pal::kStraw);
      cairo_fill(cr);
      for (int k = 0; k < static_cast<int>(12 * fill); ++k) {
        art::Ellipse(cr, w * (0.2 + 0.05 * k), h * (0.3 + 0.02 * (k % 3)), 1.2, 0.8);
        art::Source(cr, art::Hex(0xC9A040));
        cairo_fill(cr);
      }
    }
  };
  return piece;
}

// A ring of straw in a shallow hollow.
ArtPiece Nest() {
  ArtPiece piece;
  piece.hotY = 0.5;
  piece.draw = [](cairo_t* cr, const ArtFrame& f) {
    const double w = f.width, h = f.height;
    art::Ellipse(cr, w / 2, h / 2, w * 0.46, h * 0.4);
    art::FillLit(cr, pal::kStraw, 0, 0, w, h, 0.35);
    art::Outline(cr, kLine);
    art::Ellipse(cr, w / 2, h * 0.48, w * 0.3, h * 0.22);
    art::Source(cr, art::Hex(0xB8913F));
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    art::Source(cr, art::Hex(0xA77F2E));
    for (int k = 0; k < 14; ++k) {
      const double t = k * 2 * M_PI / 14;
      cairo_move_to(cr, w / 2 + std::cos(t) * w * 0.3, h / 2 + std::sin(t) * h * 0.24);
      cairo_line_to(cr, w / 2 + std::cos(t + 0.4) * w * 0.44, h / 2 + std::sin(t + 0.4) * h * 0.38);
    }
    cairo_stroke(cr);
  };
  return piece;
}

// The coop of a level (1 to 4) standing on the frame's lower middle.
ArtPiece Coop(int level) {
  ArtPiece piece;
  piece.hotY = 0.78;
  piece.draw = [level](cairo_t* cr, const ArtFrame& f) {
    const double s = f.width / 128;
    cairo_save(cr);
    cairo_scale(cr, s, s);
    const double half = 30 + 4 * level, top = 52 - 5 * level, base = 98;
    art::GroundShadow(cr, 64, base, half + 14, 12, 0.35);
    // Walls of planks, a door with a ramp.
    cairo_rectangle(cr, 64 - half, top, 2 * half, base - top);
    art::FillLit(cr, pal::kWood, 64 - half, top, 64 + half, base, 0.35);
    art::Outline(cr, kLine * 1.4);
    cairo_set_line_width(cr, 0.8);
    art::Source(cr, art::Hex(0x8A5A2E));
    for (double y = top + 8; y < base; y += 8) {
      cairo_move_to(cr, 64 - half, y);
      cairo_line_to(cr, 64 + half, y);
    }
    cairo_stroke(cr);
    cairo_rectangle(cr, 56, base - 22, 16, 22);
    art::Source(cr, art::Hex(0x3B2412));
    cairo_fill(cr);
    cairo_move_to(cr, 56, base);
    cairo_line_to(cr, 72, base);
    cairo_line_to(cr, 76, base + 8);
    cairo_line_to(cr, 52, base + 8);
    cairo_close_path(cr);
    art::FillLit(cr, pal::kWood, 52, base, 76, base + 8, 0.2);
    art::Outline(cr, kLine);
    // The roof: straw at first, red tiles from level 3.
    const Rgb roof = level >= 3 ? pal::kRed : pal::kStraw;
    cairo_move_to(cr, 64 - half - 8, top + 4);
    cairo_line_to(cr, 64, top - 22 - 2 * level);
    cairo_line_to(cr, 64 + half + 8, top + 4);
    cairo_close_path(cr);
    art::FillLit(cr, roof, 64 - half - 8, top - 30, 64 + half + 8, top + 4, 0.4);
    art::Outline(cr, kLine * 1.4);
    // A round window per level above the door.
    for (int k = 0; k < level; ++k) {
      const double x = 64 - (level - 1) * 9 + k * 18;
      art::Ellipse(cr, x, top + 14, 4.5, 4.5);
      art::Source(cr, art::Hex(0x3B2412));
      cairo_fill(cr);
    }
    cairo_restore(cr);
  };
  return piece;
}

// Stakes and a pile of planks where the coop will stand.
ArtPiece CoopSite() {
  ArtPiece piece;
  piece.hotY = 0.7;
  piece.draw = [](cairo_t* cr, const ArtFrame& f) {
    const double w = f.width, h = f.height;
    art::Ellipse(cr, w / 2, h * 0.72, w * 0.42, h * 0.2);
    art::Source(cr, pal::kSoil, 0.8);
    cairo_fill(cr);
    for (int k = 0; k < 4; ++k) {
      const double x = w * (0.22 + 0.56 * (k % 2)), y = h * (0.6 + 0.2 * (k / 2));
      cairo_rectangle(cr, x - 2, y - 18, 4, 18);
      art::FillLit(cr, pal::kWood, x - 2, y - 18, x + 2, y, 0.3);
      art::Outline(cr, kLine);
    }
    for (int k = 0; k < 3; ++k) {
      cairo_rectangle(cr, w * 0.36, h * (0.62 - 0.07 * k), w * 0.3, h * 0.06);
      art::FillLit(cr, pal::kWood, w * 0.36, h * 0.4, w * 0.66, h * 0.7, 0.35);
      art::Outline(cr, kLine);
    }
  };
  return piece;
}

}  // namespace

void AddChickenArt(ArtBook& book) {
  book.Add(kMapSpriteSet, "henhouse_site", CoopSite());
  for (int level = 1; level <= 4; ++level) book.Add(kMapSpriteSet, "henhouse_" + std::to_string(level), Coop(level));
  book.Add(kAnimationSpriteSet, "chicken_stand", ChickenAnimation(Motion::kStand));
  book.Add(kAnimationSpriteSet, "chicken_walk", ChickenAnimation(Motion::kWalk));
  book.Add(kAnimationSpriteSet, "chicken_eat", ChickenAnimation(Motion::kPeck));
  book.Add(kAnimationSpriteSet, "chicken_yelling", ChickenAnimation(Motion::kCall));
  for (const char* house : {"henhouse", "cowshed", "sheep_rack"}) book.Add(kMapSpriteSet, std::string(house) + "_trough", Trough());
  book.Add(kMapSpriteSet, "henhouse_nest", Nest());
}

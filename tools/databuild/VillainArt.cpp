// The villains and what they bring: a hooded raider (skin 0 in a violet
// cloak, skin 1 a bigger brute in moss green) drawn as a small puppet that
// turns to the direction of its row and poses by the frame's phase, its
// wooden catapult, the gas shot, and the health bar's two pieces. A figure's
// feet stand on the frame's point (48, 104) of 96 x 112; the catapult's
// middle on (56, 72) of 112 x 96.
#include <algorithm>
#include <cmath>
#include <string>

#include "ArtBook.h"
#include "ArtKit.h"
#include "StoryFigures.h"
#include "content/ContentArchive.h"
#include "resources/SpriteSet.h"
#include "hud/HudPieces.h"

namespace {

using art::Rgb;
namespace pal = art::pal;

constexpr double kFootX = 48, kFootY = 104;
constexpr double kTilt = 0.45;

enum class Act { kStand, kWalk, kInstallBegin, kInstallEnd, kShootBegin, kShootEnd, kRemove, kAngry, kBees, kRun };

struct Look {
  Rgb cloak, trim;
  double size;
};

constexpr Look kLooks[2] = {{art::Hex(0x6B4C9A), art::Hex(0xE5483B), 1.0}, {art::Hex(0x4E7A3A), art::Hex(0xF5A12F), 1.12}};

// The pose of an act at a phase: bob of the body, arm lift (0 down, 1 up),
// a lean forward, a shake sideways.
struct Pose {
  double bob = 0, armL = 0, armR = 0, lean = 0, shake = 0, stride = 0;
};

Pose PoseOf(Act act, double p) {
  const double w = std::sin(p * 2 * M_PI);
  Pose s;
  switch (act) {
    case Act::kStand: s.bob = 1.0 * w; break;
    case Act::kWalk: s.bob = 2 * std::fabs(w); s.stride = w; s.armL = 0.3 + 0.2 * w; s.armR = 0.3 - 0.2 * w; break;
    case Act::kRun: s.bob = 3 * std::fabs(w); s.stride = 1.4 * w; s.armL = s.armR = 0.9; s.lean = 5; break;
    case Act::kInstallBegin: s.lean = 8 * p; s.armL = s.armR = 0.2 + 0.5 * p; s.bob = -3 * p; break;
    case Act::kInstallEnd: s.lean = 8 * (1 - p); s.armL = s.armR = 0.7 - 0.5 * p; s.bob = -3 * (1 - p); break;
    case Act::kShootBegin: s.armR = p; s.armL = 0.3; s.lean = -3 * p; break;
    case Act::kShootEnd: s.armR = 1 - p; s.armL = 0.3; s.lean = 4 * (1 - p); break;
    case Act::kRemove: s.lean = 6 * std::sin(p * M_PI); s.armL = s.armR = 0.5 * std::sin(p * M_PI); break;
    case Act::kAngry: s.armL = s.armR = 0.9 + 0.1 * w; s.shake = 2.5 * w; break;
    case Act::kBees: s.armL = 0.6 + 0.4 * w; s.armR = 0.6 - 0.4 * w; s.shake = 3 * w; s.bob = 1.5 * std::fabs(w); break;
  }
  return s;
}

void DrawVillain(cairo_t* cr, const ArtFrame& f, Act act, const Look& look) {
  const double angle = (270.0 + 360.0 * f.row / std::max(1u, f.rows)) * M_PI / 180;
  const double fx = std::cos(angle), fy = std::sin(angle);  // facing: x right, y towards the viewer
  const Pose p = PoseOf(act, f.Phase());
  const double k = look.size * f.height / 112.0;
  cairo_save(cr);
  cairo_translate(cr, kFootX * f.width / 96.0 + p.shake, kFootY * f.height / 112.0);
  cairo_scale(cr, k, k);
  art::GroundShadow(cr, 2, 0, 20, 7, 0.3);
  // Feet, striding along the facing.
  for (int side = -1; side <= 1; side += 2) {
    const double st = side * p.stride * 7;
    const double x = -fy * side * 7 + fx * st, y = (fx * side * 7 + fy * st) * kTilt;
    cairo_new_path(cr);
    art::Ellipse(cr, x, y - 2, 7, 4);
    art::FillLit(cr, art::Darker(look.cloak, 0.5), x - 7, y - 6, x + 7, y + 2);
    art::Outline(cr, 1.4);
  }
  const double top = -44 - p.bob, lean = p.lean;
  const double lx = fx * lean, ly = fy * lean * kTilt;
  // Arms behind the body when the villain faces away.
  auto arm = [&](int side, double lift) {
    const double sx = -fy * side * 15 + lx, sy = top + 14 + fx * side * 15 * kTilt + ly;
    const double hx = sx + fx * 8 - fy * side * 4, hy = sy + 16 - lift * 30;
    cairo_new_path(cr);
    cairo_move_to(cr, sx, sy);
    cairo_line_to(cr, hx, hy);
    art::Rod(cr, 6, look.cloak, 1.4);
    cairo_new_path(cr);
    art::Ellipse(cr, hx, hy, 4.5, 4.5);
    art::FillRound(cr, art::Hex(0x9CC56A), hx, hy, 4.5);
    art::Outline(cr, 1.2);
  };
  const bool away = fy < -0.2;
  if (away) {
    arm(-1, p.armL);
    arm(1, p.armR);
  }
  // The cloak: a bell from the shoulders to the ground.
  cairo_new_path(cr);
  cairo_move_to(cr, -13 + lx, top + 8 + ly);
  cairo_curve_to(cr, -22 + lx * 0.5, top + 30, -20, -10, -18, -4);
  cairo_curve_to(cr, -8, 0, 8, 0, 18, -4);
  cairo_curve_to(cr, 20, -10, 22 + lx * 0.5, top + 30, 13 + lx, top + 8 + ly);
  cairo_close_path(cr);
  art::FillLit(cr, look.cloak, -22, top, 22, 0, 0.35);
  art::Outline(cr, 1.8);
  // A belt in the trim colour.
  cairo_new_path(cr);
  art::Ellipse(cr, lx * 0.6, top + 26 + ly * 0.6, 16, 4);
  art::Source(cr, look.trim);
  cairo_fill_preserve(cr);
  art::Outline(cr, 1.2);
  // The head in its hood, horns on top, eyes towards the facing.
  const double hx = lx * 1.2, hy = top + ly * 1.2;
  cairo_new_path(cr);
  art::Ellipse(cr, hx, hy, 15, 14);
  art::FillRound(cr, art::Darker(look.cloak, 0.15), hx, hy, 15);
  art::Outline(cr, 1.8);
  for (int side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    cairo_move_to(cr, hx + side * 9, hy - 9);
    cairo_curve_to(cr, hx + side * 16, hy - 16, hx + side * 16, hy - 24, hx + side * 11, hy - 27);
    cairo_curve_to(cr, hx + side * 12, hy - 20, hx + side * 8, hy - 15, hx + side * 3, hy - 12);
    cairo_close_path(cr);
    art::FillLit(cr, pal::kWhite, hx - 16, hy - 27, hx + 16, hy - 9, 0.4);
    art::Outline(cr, 1.2);
  }
  if (!away) {
    const bool angry = act == Act::kAngry || act == Act::kBees;
    const double ex = hx + fx * 7, ey = hy + 2 + fy * 3;
    cairo_new_path(cr);
    art::Ellipse(cr, ex, ey, 9 - std::fabs(fx) * 3, 6);
    art::Source(cr, angry ? art::Hex(0xD6503A) : art::Hex(0x9CC56A));
    cairo_fill(cr);
    for (int side = -1; side <= 1; side += 2) {
      cairo_new_path(cr);
      art::Ellipse(cr, ex + side * 3.5 * (1 - std::fabs(fx) * 0.5), ey - 1, 1.8, 2.2);
      art::Source(cr, angry ? pal::kWhite : art::Hex(0xFFE45C));
      cairo_fill(cr);
    }
  }
  if (!away) {
    arm(-1, p.armL);
    arm(1, p.armR);
  }
  if (act == Act::kBees) {
    for (int i = 0; i < 5; ++i) {
      const double a = f.Phase() * 2 * M_PI + i * 1.26;
      const double bx = hx + std::cos(a) * 22, by = hy - 8 + std::sin(a * 1.5) * 10;
      cairo_new_path(cr);
      art::Ellipse(cr, bx, by, 3.5, 2.6);
      art::Source(cr, pal::kYellow);
      cairo_fill_preserve(cr);
      art::Outline(cr, 1.0);
    }
  }
  cairo_restore(cr);
}

// The catapult: a wooden frame on four wheels, its throwing arm along the
// facing; cocked while shown, upright while standing, in pieces when broken.
enum class Sling { kCocked, kStanding, kBroken };

void DrawCatapult(cairo_t* cr, const ArtFrame& f, Sling sling) {
  const double angle = (270.0 + 360.0 * f.row / std::max(1u, f.rows)) * M_PI / 180;
  const double fx = std::cos(angle), fy = std::sin(angle) * kTilt;
  const double p = f.Phase();
  cairo_save(cr);
  cairo_translate(cr, 56 * f.width / 112.0, 72 * f.height / 96.0);
  cairo_scale(cr, f.width / 112.0, f.height / 96.0);
  art::GroundShadow(cr, 3, 4, 34, 12, 0.3);
  const double spread = sling == Sling::kBroken ? 10 * p : 0;
  const double sx = -std::sin(angle), sy = std::cos(angle) * kTilt;  // across the facing
  for (int a = -1; a <= 1; a += 2)
    for (int b = -1; b <= 1; b += 2) {
      const double wx = fx * a * 20 + sx * b * 16 + a * spread, wy = fy * a * 20 + sy * b * 16 + b * spread * 0.5;
      cairo_new_path(cr);
      art::Ellipse(cr, wx, wy, 7, 7);
      art::FillRound(cr, pal::kWoodDark, wx, wy, 7);
      art::Outline(cr, 1.4);
    }
  // The frame.
  cairo_new_path(cr);
  cairo_move_to(cr, fx * 26 + sx * 14, fy * 26 + sy * 14 - 8);
  cairo_line_to(cr, fx * 26 - sx * 14, fy * 26 - sy * 14 - 8);
  cairo_line_to(cr, -fx * 26 - sx * 14, -fy * 26 - sy * 14 - 8);
  cairo_line_to(cr, -fx * 26 + sx * 14, -fy * 26 + sy * 14 - 8);
  cairo_close_path(cr);
  art::FillLit(cr, pal::kWood, -30, -24, 30, 10);
  art::Outline(cr, 1.8);
  // The arm on its axle, a cup of gas at its end.
  double lift;  // 0 lying back, 1 upright
  switch (sling) {
    case Sling::kCocked: lift = 0.15 + 0.05 * std::sin(p * 2 * M_PI); break;
    case Sling::kStanding: lift = 0.9; break;
    default: lift = 0.9 - p; break;
  }
  const double ax = -fx * 6, ay = -fy * 6 - 14;
  const double reach = 34, up = lift * reach;
  const double ex = ax - fx * (reach - up) * 0.9 + spread * 1.5, ey = ay - fy * (reach - up) * 0.9 - up;
  cairo_new_path(cr);
  cairo_move_to(cr, ax, ay);
  cairo_line_to(cr, ex, ey);
  art::Rod(cr, 5, pal::kWood, 1.4);
  cairo_new_path(cr);
  art::Ellipse(cr, ex, ey, 8, 5);
  art::FillLit(cr, pal::kWoodDark, ex - 8, ey - 5, ex + 8, ey + 5);
  art::Outline(cr, 1.4);
  if (sling == Sling::kCocked) art::SoftEllipse(cr, ex, ey - 3, 7, 5, pal::kToxic, 0.9);
  cairo_restore(cr);
}

ArtPiece VillainPiece(Act act, int skin) {
  ArtPiece piece;
  piece.draw = [act, skin](cairo_t* cr, const ArtFrame& f) { DrawVillain(cr, f, act, kLooks[skin]); };
  return piece;
}

ArtPiece CatapultPiece(Sling sling) {
  ArtPiece piece;
  piece.draw = [sling](cairo_t* cr, const ArtFrame& f) { DrawCatapult(cr, f, sling); };
  return piece;
}

// The shot: a violet ball of gas with a bright core.
void DrawBullet(cairo_t* cr, const ArtFrame& f) {
  const double c = f.width / 2, r = f.width * 0.32;
  art::SoftEllipse(cr, c, c, r * 1.5, r * 1.5, pal::kToxic, 0.5);
  cairo_new_path(cr);
  art::Ellipse(cr, c, c, r, r);
  art::FillRound(cr, pal::kToxic, c, c, r);
  art::Outline(cr, 1.2, pal::kToxicDark);
  art::Gleam(cr, c - r * 0.35, c - r * 0.35, r * 0.3, r * 0.22);
}

// A health bar piece: a rounded bar of the colour with room for its caps
// (12 and 11 pixels) around a stretchable middle.
void DrawBarPiece(cairo_t* cr, const ArtFrame& f, Rgb colour, bool filled) {
  cairo_new_path(cr);
  art::RoundRect(cr, 1.5, 1.5, f.width - 3, f.height - 3, (f.height - 3) / 2);
  art::Source(cr, pal::kOutline, 0.85);
  cairo_fill(cr);
  cairo_new_path(cr);
  art::RoundRect(cr, 3.5, 3.5, f.width - 7, f.height - 7, (f.height - 7) / 2);
  if (filled)
    art::FillLit(cr, colour, 3.5, 3.5, f.width - 3.5, f.height - 3.5, 0.45);
  else
    art::Source(cr, colour, 0.6), cairo_fill(cr);
}

// The arrival marker: a red cross painted on the ground where a villain
// will stand, in three brush strokes of their own.
void DrawCross(cairo_t* cr, const ArtFrame& f, u32 seed) {
  art::Rand rand(seed);
  const double cx = f.width / 2, cy = f.height / 2, rx = f.width * 0.36, ry = f.height * 0.36;
  art::SoftEllipse(cr, cx, cy, rx * 1.2, ry * 1.2, art::Darker(pal::kRed, 0.4), 0.25);
  for (int stroke = 0; stroke < 2; ++stroke) {
    const double s = stroke ? -1 : 1;
    const double wob = rand.Range(-3, 3);
    cairo_new_path(cr);
    cairo_move_to(cr, cx - rx, cy - s * ry + wob * 0.3);
    cairo_curve_to(cr, cx - rx * 0.3, cy - s * ry * 0.3 + wob, cx + rx * 0.3, cy + s * ry * 0.3 - wob, cx + rx,
                   cy + s * ry);
    art::Rod(cr, 5 + rand.Range(0, 1.5), pal::kRed, 1.3);
  }
}

ArtPiece Single(std::function<void(cairo_t*, const ArtFrame&)> draw, u32 w, u32 h) {
  ArtPiece piece;
  piece.draw = std::move(draw);
  piece.width = w;
  piece.height = h;
  return piece;
}

}  // namespace

void AddVillainArt(ArtBook& book) {
  struct Entry {
    const char* name;
    Act act;
  };
  const Entry acts[] = {{"stand", Act::kStand},         {"walk", Act::kWalk},           {"install_begin", Act::kInstallBegin},
                        {"install_end", Act::kInstallEnd}, {"shoot_begin", Act::kShootBegin}, {"shoot_end", Act::kShootEnd},
                        {"remove", Act::kRemove},       {"angry", Act::kAngry},         {"bees", Act::kBees},
                        {"runaway", Act::kRun}};
  for (int skin = 0; skin < 2; ++skin)
    for (const Entry& e : acts)
      book.Add(kAnimationSpriteSet, std::string(skin ? "villain_2_" : "villain_") + e.name, VillainPiece(e.act, skin));
  book.Add(kAnimationSpriteSet, "catapult_idle", CatapultPiece(Sling::kCocked));
  book.Add(kAnimationSpriteSet, "catapult_stand", CatapultPiece(Sling::kStanding));
  book.Add(kAnimationSpriteSet, "catapult_break", CatapultPiece(Sling::kBroken));
  book.Add(kParticleSpriteSet, "bullet_01", Single(DrawBullet, 24, 24));
  for (u32 n = 1; n <= 3; ++n)
    book.Add(kMapSpriteSet, "villain_cross_" + std::to_string(n),
             Single([n](cairo_t* cr, const ArtFrame& f) { DrawCross(cr, f, n); }, 64, 40));
  book.Add(kHudSpriteSet, "vil_health_bar",
           Single([](cairo_t* cr, const ArtFrame& f) { DrawBarPiece(cr, f, pal::kRed, true); }, 32, 14));
  book.Add(kHudSpriteSet, "vil_health_back",
           Single([](cairo_t* cr, const ArtFrame& f) { DrawBarPiece(cr, f, pal::kStoneDark, false); }, 32, 14));
}

namespace {

// The frame row of a facing among 360 rows (a row's angle is 270 + its
// share of the turn).
ArtFrame FacingFrame(double width, double height, double facingDeg, u32 column) {
  ArtFrame f;
  f.width = width;
  f.height = height;
  f.rows = 360;
  f.row = static_cast<u32>(std::lround(std::fmod(facingDeg + 90.0 + 360.0, 360.0))) % 360;
  f.columns = 8;
  f.column = column;
  return f;
}

}  // namespace

void art::DrawRaider(cairo_t* cr, double footX, double footY, double height, int skin, double facingDeg,
                     RaiderMood mood) {
  Act act = Act::kStand;
  u32 column = 0;
  switch (mood) {
    case RaiderMood::kStand: break;
    case RaiderMood::kAngry: act = Act::kAngry, column = 2; break;
    case RaiderMood::kRun: act = Act::kRun, column = 1; break;
    case RaiderMood::kBees: act = Act::kBees, column = 1; break;
    case RaiderMood::kShoot: act = Act::kShootBegin, column = 7; break;
  }
  const double s = height / 112.0;
  cairo_save(cr);
  cairo_translate(cr, footX - kFootX * s, footY - kFootY * s);
  DrawVillain(cr, FacingFrame(96 * s, height, facingDeg, column), act, kLooks[skin ? 1 : 0]);
  cairo_restore(cr);
}

void art::DrawRaiderCatapult(cairo_t* cr, double cx, double cy, double width, double facingDeg, bool broken) {
  const double s = width / 112.0;
  cairo_save(cr);
  cairo_translate(cr, cx - 56 * s, cy - 72 * s);
  DrawCatapult(cr, FacingFrame(width, 96 * s, facingDeg, broken ? 6 : 0), broken ? Sling::kBroken : Sling::kCocked);
  cairo_restore(cr);
}

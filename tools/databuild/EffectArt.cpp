// The effects: the particles' sprites and the gas of a poisoned place in
// the effect set (8), the rain overlay's images (repeating every 256 pixels
// both ways; eight frames in which each drop falls one eighth of the tile's
// height twice over, so the loop has no seam), and the bees of the bees
// bonus as animated map sprites (set 3).
#include <cmath>

#include "ArtBook.h"
#include "ArtKit.h"
#include "content/ContentArchive.h"
#include "engine/DXLFrameSeq.h"
#include "resources/SpriteSet.h"

namespace {

using art::Rgb;
namespace pal = art::pal;

double Clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

void DrawParticle(cairo_t* cr, const ArtFrame& f) {
  art::SoftEllipse(cr, f.width / 2, f.height / 2, f.width / 2, f.height / 2, pal::kWhite, 1.0, 0.35);
}

// A puff: a few soft balls, lit at the top left, fading at the rim (white,
// so a colour curve tints it).
void Puff(cairo_t* cr, double cx, double cy, double r, double alpha, u32 seed) {
  art::Rand rnd(seed);
  for (int i = 0; i < 5; ++i) {
    const double a = i * 2 * M_PI / 5 + rnd.Range(-0.3, 0.3);
    const double d = i == 0 ? 0 : r * 0.42, rr = r * (i == 0 ? 0.62 : rnd.Range(0.42, 0.52));
    const double x = cx + std::cos(a) * d * (i == 0 ? 0 : 1), y = cy + std::sin(a) * d * 0.85 * (i == 0 ? 0 : 1);
    cairo_pattern_t* g = cairo_pattern_create_radial(x - rr * 0.35, y - rr * 0.4, rr * 0.1, x, y, rr);
    cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, alpha);
    cairo_pattern_add_color_stop_rgba(g, 0.6, 0.9, 0.9, 0.92, alpha * 0.85);
    cairo_pattern_add_color_stop_rgba(g, 1, 0.78, 0.78, 0.82, 0);
    cairo_set_source(cr, g);
    cairo_arc(cr, x, y, rr, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
}

void DrawSmoke(cairo_t* cr, const ArtFrame& f) { Puff(cr, f.width / 2, f.height / 2, f.width * 0.48, 0.95, 5); }

void DrawSpark(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, cy = f.height / 2, r = f.width / 2;
  art::SoftEllipse(cr, cx, cy, r, r, pal::kYellow, 0.6, 0.35);
  art::Star(cr, cx, cy, r * 0.95, r * 0.2, 4);
  art::Source(cr, pal::kWhite);
  cairo_fill(cr);
  art::Star(cr, cx, cy, r * 0.5, r * 0.14, 4, -45);
  art::Source(cr, pal::kWhite, 0.8);
  cairo_fill(cr);
}

// A fly seen from above, its head to the right (particles turn it the way
// they fly); two frames beat its wings.
void DrawFly(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, cy = f.height / 2, s = f.width / 12;
  const double beat = f.index % 2 == 0 ? 1.0 : 0.45;
  for (int side : {-1, 1}) {
    art::Ellipse(cr, cx - 1.2 * s, cy + side * 2.6 * s * beat, 2.6 * s, 1.5 * s * beat + 0.4);
    art::Source(cr, art::Hex(0xE8F4FF), 0.8);
    cairo_fill(cr);
  }
  art::Ellipse(cr, cx, cy, 3.2 * s, 1.9 * s);
  art::Source(cr, art::Hex(0x2C2A36));
  cairo_fill(cr);
  art::Ellipse(cr, cx + 3 * s, cy, 1.4 * s, 1.4 * s);
  art::Source(cr, art::Hex(0x9A2A2A));
  cairo_fill(cr);
}

// A butterfly seen from above, flying to the right; two frames beat its
// sky-blue wings open and half shut.
void DrawButterfly(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, cy = f.height / 2, s = f.width / 20;
  const double open = f.index % 2 == 0 ? 1.0 : 0.5;
  for (int side : {-1, 1}) {
    for (int k = 0; k < 2; ++k) {  // fore and hind wing
      art::Ellipse(cr, cx + (k == 0 ? 2 : -3) * s, cy + side * (k == 0 ? 4.2 : 3.4) * s * open,
                   (k == 0 ? 4.5 : 3.4) * s, (k == 0 ? 4.2 : 3.2) * s * open + 0.5);
      art::FillLit(cr, k == 0 ? pal::kSky : art::Lighter(pal::kSky, 0.25), cx - 8 * s, cy - 8 * s, cx + 8 * s,
                   cy + 8 * s, 0.4);
      art::Outline(cr, std::max(0.7, s * 0.7), art::Hex(0x2B4A7A));
    }
  }
  art::Ellipse(cr, cx, cy, 5 * s, 1.2 * s);
  art::Source(cr, art::Hex(0x2B2230));
  cairo_fill(cr);
}

void DrawLeaf(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  cairo_move_to(cr, w * 0.1, h * 0.9);
  cairo_curve_to(cr, w * 0.05, h * 0.35, w * 0.45, h * 0.05, w * 0.92, h * 0.08);
  cairo_curve_to(cr, w * 0.95, h * 0.55, w * 0.6, h * 0.95, w * 0.1, h * 0.9);
  art::FillLit(cr, pal::kLeaf, 0, 0, w, h, 0.35);
  art::Outline(cr, std::max(0.8, w / 14), art::Darker(pal::kLeaf, 0.55));
  cairo_move_to(cr, w * 0.14, h * 0.86);
  cairo_line_to(cr, w * 0.8, h * 0.2);
  cairo_set_line_width(cr, std::max(0.6, w / 20));
  art::Source(cr, art::Lighter(pal::kLeaf, 0.4));
  cairo_stroke(cr);
}

void DrawPetal(cairo_t* cr, const ArtFrame& f) {
  const double w = f.width, h = f.height;
  art::Ellipse(cr, w / 2, h / 2, w * 0.42, h * 0.3);
  art::FillLit(cr, pal::kPink, 0, 0, w, h, 0.4);
  art::Outline(cr, std::max(0.6, w / 16), art::Darker(pal::kPink, 0.45), 0.8);
}

// The poison's gas: a violet cloud that swells, rises and thins away over
// the frames (played once for each puff).
void DrawGas(cairo_t* cr, const ArtFrame& f) {
  const double t = f.count > 1 ? static_cast<double>(f.index) / (f.count - 1) : 0.5;
  const double grow = 1 - std::pow(1 - t, 2.2);
  const double r = f.width * (0.16 + 0.26 * grow);
  const double cx = f.width / 2, cy = f.height * (0.62 - 0.18 * grow);
  const double alpha = t < 0.15 ? 0.4 + 4 * t : 1.0 - Clamp01((t - 0.45) / 0.55);
  art::Rand rnd(17);
  for (int i = 0; i < 6; ++i) {
    const double a = i * M_PI / 3 + rnd.Range(-0.25, 0.25) + t * 0.6;
    const double d = i == 0 ? 0 : r * 0.45, rr = r * (i == 0 ? 0.6 : rnd.Range(0.42, 0.55));
    const double x = cx + std::cos(a) * d, y = cy + std::sin(a) * d * 0.8;
    art::Ellipse(cr, x, y, rr, rr);
    const Rgb c = art::Mix(pal::kToxic, pal::kWhite, 0.1);
    cairo_pattern_t* g = cairo_pattern_create_radial(x - rr * 0.4, y - rr * 0.45, rr * 0.1, x, y, rr);
    const Rgb light = art::Lighter(c, 0.45), dark = art::Mix(c, pal::kToxicDark, 0.55);
    cairo_pattern_add_color_stop_rgba(g, 0, light.r, light.g, light.b, 0.85 * alpha);
    cairo_pattern_add_color_stop_rgba(g, 0.7, c.r, c.g, c.b, 0.75 * alpha);
    cairo_pattern_add_color_stop_rgba(g, 1, dark.r, dark.g, dark.b, 0.35 * alpha);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  // Two little bubbles that pop out of it.
  for (int k = 0; k < 2; ++k) {
    const double bx = cx + (k ? 1 : -1) * r * (0.6 + 0.3 * t), by = cy - r * (0.5 + 0.8 * t) + k * 6;
    const double br = f.width * 0.035 * (1 - t * 0.6);
    art::Ellipse(cr, bx, by, br, br);
    cairo_set_line_width(cr, 1.3);
    art::Source(cr, art::Lighter(pal::kToxic, 0.4), alpha);
    cairo_stroke(cr);
  }
}

// Rain: slanted streaks; frame k moves every drop down by k eighths of two
// tiles, so frame 7 runs into frame 0 again.
void DrawRain(cairo_t* cr, const ArtFrame& f, int frame) {
  const double w = f.width, h = f.height;
  art::Rand rnd(31);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < 46; ++i) {
    const double x0 = rnd.Range(0, w), y0 = rnd.Range(0, h), len = rnd.Range(12, 26), a = rnd.Range(0.35, 0.7);
    const double y = std::fmod(y0 + frame * (2 * h / 8), h);
    for (double ox : {-w, 0.0, w})
      for (double oy : {-h, 0.0, h}) {
        const double x1 = x0 + ox, y1 = y + oy;
        if (x1 < -30 || x1 > w + 30 || y1 < -30 || y1 > h + 30) continue;
        cairo_move_to(cr, x1, y1);
        cairo_line_to(cr, x1 - len * 0.22, y1 + len);
        cairo_set_line_width(cr, 1.6);
        cairo_set_source_rgba(cr, 0.86, 0.93, 1.0, a);
        cairo_stroke(cr);
      }
  }
}

// A bee seen a little from above, facing left or right; `beat` 0..1 lifts its wings.
void Bee(cairo_t* cr, double x, double y, double s, bool right, double beat, bool angry) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  if (!right) cairo_scale(cr, -1, 1);
  for (int k = 0; k < 2; ++k) {  // wings behind and in front
    cairo_save(cr);
    cairo_translate(cr, -s * 0.1 - k * s * 0.25, -s * 0.45);
    cairo_rotate(cr, -0.5 - beat * 0.9 + k * 0.3);
    art::Ellipse(cr, 0, -s * 0.35, s * 0.28, s * 0.42);
    art::Source(cr, art::Hex(0xEAF6FF), 0.85);
    cairo_fill_preserve(cr);
    art::Outline(cr, s * 0.06, art::Hex(0x6A8AAA), 0.8);
    cairo_restore(cr);
  }
  art::Ellipse(cr, 0, 0, s * 0.62, s * 0.46);
  art::FillRound(cr, pal::kYellow, 0, 0, s * 0.6);
  cairo_save(cr);
  cairo_clip(cr);
  for (int k = 0; k < 2; ++k) {
    cairo_rectangle(cr, -s * 0.28 + k * s * 0.34, -s, s * 0.16, 2 * s);
    art::Source(cr, art::Hex(0x2B2230));
    cairo_fill(cr);
  }
  cairo_restore(cr);
  art::Ellipse(cr, 0, 0, s * 0.62, s * 0.46);
  art::Outline(cr, s * 0.09);
  cairo_move_to(cr, -s * 0.62, 0);  // the sting
  cairo_line_to(cr, -s * 0.85, s * 0.05);
  cairo_set_line_width(cr, s * 0.09);
  art::Source(cr, pal::kOutline);
  cairo_stroke(cr);
  art::Ellipse(cr, s * 0.6, -s * 0.05, s * 0.3, s * 0.3);  // head and eye
  art::FillRound(cr, art::Hex(0x2B2230), s * 0.6, -s * 0.05, s * 0.3);
  cairo_new_path(cr);
  art::Ellipse(cr, s * 0.68, -s * 0.1, s * 0.09, s * 0.1);
  art::Source(cr, pal::kWhite);
  cairo_fill(cr);
  if (angry) {
    cairo_move_to(cr, s * 0.56, -s * 0.28);
    cairo_line_to(cr, s * 0.8, -s * 0.16);
    cairo_set_line_width(cr, s * 0.08);
    art::Source(cr, pal::kRed);
    cairo_stroke(cr);
  }
  art::Gleam(cr, -s * 0.2, -s * 0.22, s * 0.16, s * 0.08, 0.6);
  cairo_restore(cr);
}

void DrawBees(cairo_t* cr, const ArtFrame& f, bool attack) {
  const double beat = (f.index % 2 == 0) ? 1.0 : 0.0, phase = f.index * M_PI / 2;
  const double w = f.width, h = f.height;
  struct Spot {
    double x, y, size;
    bool right;
  };
  const Spot calm[] = {{0.3, 0.42, 0.2, true}, {0.7, 0.3, 0.18, false}, {0.58, 0.7, 0.2, true}};
  const Spot angry[] = {{0.25, 0.3, 0.13, true},  {0.55, 0.22, 0.12, true}, {0.78, 0.42, 0.13, true},
                        {0.35, 0.58, 0.12, true}, {0.62, 0.66, 0.13, true}, {0.18, 0.74, 0.11, true},
                        {0.83, 0.76, 0.11, true}};
  if (attack) {  // motion lines behind the swarm
    for (int k = 0; k < 4; ++k) {
      const double y = h * (0.3 + k * 0.14);
      cairo_move_to(cr, w * 0.04, y);
      cairo_line_to(cr, w * 0.2, y);
    }
    cairo_set_line_width(cr, 2);
    art::Source(cr, pal::kWhite, 0.7);
    cairo_stroke(cr);
  }
  const Spot* spots = attack ? angry : calm;
  const int count = attack ? 7 : 3;
  for (int i = 0; i < count; ++i) {
    const Spot& s = spots[i];
    const double bob = std::sin(phase + i * 1.7) * h * 0.025;
    Bee(cr, s.x * w, s.y * h + bob, s.size * w, s.right, i % 2 ? 1 - beat : beat, attack);
  }
}

ArtPiece Simple(void (*draw)(cairo_t*, const ArtFrame&), u32 width, u32 height) {
  ArtPiece p;
  p.draw = draw;
  p.width = width;
  p.height = height;
  return p;
}

ArtPiece Animated(std::function<void(cairo_t*, const ArtFrame&)> draw, u32 frames, u32 mode, u32 ms) {
  ArtPiece p;
  p.draw = std::move(draw);
  p.layout = FrameLayout{frames, frames};
  p.animated = true;
  p.mode = mode;
  p.frameMs = ms;
  return p;
}

}  // namespace

void AddEffectArt(ArtBook& book) {
  book.Add(kParticleSpriteSet, "particle", Simple(DrawParticle, 32, 32));
  book.Add(kParticleSpriteSet, "smoke", Simple(DrawSmoke, 48, 48));
  book.Add(kParticleSpriteSet, "spark", Simple(DrawSpark, 24, 24));
  book.Add(kParticleSpriteSet, "leaf", Simple(DrawLeaf, 16, 16));
  book.Add(kParticleSpriteSet, "petal", Simple(DrawPetal, 12, 12));
  ArtPiece fly = Animated(DrawFly, 2, kFrameSeqLoop, 40);
  fly.width = fly.height = 12;
  book.Add(kParticleSpriteSet, "fly", fly);
  ArtPiece butterfly = Animated(DrawButterfly, 2, kFrameSeqLoop, 110);
  butterfly.width = 20;
  butterfly.height = 20;
  book.Add(kParticleSpriteSet, "butterfly", butterfly);
  book.Add(kParticleSpriteSet, "gas", Animated(DrawGas, 12, kFrameSeqClamp, 90));
  for (int k = 0; k < 8; ++k) {
    ArtPiece rain;
    rain.draw = [k](cairo_t* cr, const ArtFrame& f) { DrawRain(cr, f, k); };
    book.Add(kEffectSpriteSet, "rain" + std::to_string(k), rain);
  }
  ArtPiece bees = Animated([](cairo_t* cr, const ArtFrame& f) { DrawBees(cr, f, false); }, 4, kFrameSeqLoop, 60);
  bees.hotY = 0.7;
  book.Add(kMapSpriteSet, "bees", bees);
  ArtPiece attack = Animated([](cairo_t* cr, const ArtFrame& f) { DrawBees(cr, f, true); }, 4, kFrameSeqLoop, 45);
  attack.hotY = 0.7;
  book.Add(kMapSpriteSet, "bees_attack", attack);
}

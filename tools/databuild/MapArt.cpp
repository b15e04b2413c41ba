// The level-selection map's pictures (set 12, and the medals of set 1): the
// valley "map_center" (1,024 x 768 map units, one pixel each) with its side
// pieces, the waters' shimmer frames, the node marks ("hex" glow,
// "selection" ring, the level "sign") and the node decorations that
// tables/map.txt names: scrub on a hidden level, a staked plot, the open
// level's flag and each group's finished farm.
//
// The valley's road runs through the nodes in play order; its cells are
// those of tables/map's campaign table (tools/data/tables/campaign_map.txt),
// which the road below must follow (a test holds them together): up the first column from the farm gate
// at the lower left, down and up the columns, across the river by a bridge
// and up to the manor's hill at the right.
#include <cmath>
#include <string>
#include <vector>

#include "ArtBook.h"
#include "ArtKit.h"
#include "content/MapSection.h"
#include "engine/DXLFrameSeq.h"

namespace {

using art::Rgb;
namespace pal = art::pal;

constexpr int kRoad[] = {35, 28, 21, 14, 7,  8,  15, 22, 29, 36, 43, 37, 30, 23, 16, 9,  2,  3,  10, 17, 24,
                         31, 38, 39, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 47, 41, 34, 27, 20, 13};

struct Pt {
  double x, y;
};

Pt NodeAt(int cell) {
  i32 x = 0, y = 0;
  MapCellPosition(cell, &x, &y);
  return {static_cast<double>(x), static_cast<double>(y)};
}

// The river: from the top edge between the third and fourth columns down to
// the pond at the bottom, wandering a little.
constexpr Pt kRiver[] = {{600, -20}, {585, 90}, {566, 200}, {590, 300}, {574, 420}, {560, 520}, {572, 610}, {574, 700}};
constexpr Pt kPond = {574, 712};

void CatmullRom(cairo_t* cr, const std::vector<Pt>& p) {
  cairo_move_to(cr, p[0].x, p[0].y);
  for (size_t i = 0; i + 1 < p.size(); ++i) {
    const Pt a = p[i == 0 ? 0 : i - 1], b = p[i], c = p[i + 1], d = p[i + 2 < p.size() ? i + 2 : i + 1];
    cairo_curve_to(cr, b.x + (c.x - a.x) / 6, b.y + (c.y - a.y) / 6, c.x - (d.x - b.x) / 6, c.y - (d.y - b.y) / 6, c.x,
                   c.y);
  }
}

std::vector<Pt> RoadPoints() {
  std::vector<Pt> p{{-10, 640}, {60, 650}};
  for (int cell : kRoad) p.push_back(NodeAt(cell));
  p.push_back({960, 220});
  p.push_back({1040, 200});
  return p;
}

// A round leafy tree standing on (x, y), its crown `r` across.
void Tree(cairo_t* cr, double x, double y, double r, u32 seed, Rgb leaf = pal::kLeaf) {
  art::GroundShadow(cr, x + r * 0.25, y, r * 0.8, r * 0.28, 0.28);
  cairo_rectangle(cr, x - r * 0.1, y - r * 0.6, r * 0.2, r * 0.6);
  art::FillLit(cr, pal::kWoodDark, x - r * 0.1, y - r * 0.6, x + r * 0.1, y);
  art::Outline(cr, 1.0);
  art::Blob(cr, x, y - r * 1.0, r * 0.62, r * 0.55, 7, 0.12, seed);
  art::FillRound(cr, leaf, x, y - r, r * 0.62);
  art::Outline(cr, 1.2);
}

void Bush(cairo_t* cr, double x, double y, double r, u32 seed, Rgb c = pal::kGrassDark) {
  art::Blob(cr, x, y - r * 0.5, r, r * 0.6, 6, 0.18, seed);
  art::FillRound(cr, c, x, y - r * 0.5, r);
  art::Outline(cr, 1.0);
}

// Crop rows in a tilted rectangle: a field seen from above.
void Field(cairo_t* cr, double x, double y, double w, double h, double turn, Rgb base, Rgb row) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, turn);
  art::RoundRect(cr, -w / 2, -h / 2, w, h, 6);
  art::FillLit(cr, base, -w / 2, -h / 2, w / 2, h / 2, 0.25);
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_new_path(cr);
  for (double rx = -w / 2 + 5; rx < w / 2; rx += 9) {
    cairo_move_to(cr, rx, -h / 2);
    cairo_line_to(cr, rx, h / 2);
  }
  art::Source(cr, row, 0.55);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  cairo_restore(cr);
  art::Outline(cr, 1.2, art::Darker(base, 0.45), 0.8);
  cairo_restore(cr);
}

// The current path stroked three times, each band narrower: its verge, its
// body and a light line (alpha 0.6) along its middle. The path is used up.
void StrokeBands(cairo_t* cr, const Rgb& verge, double vergeWidth, const Rgb& body, double bodyWidth, const Rgb& line,
                 double lineWidth) {
  art::Source(cr, verge);
  cairo_set_line_width(cr, vergeWidth);
  cairo_stroke_preserve(cr);
  art::Source(cr, body);
  cairo_set_line_width(cr, bodyWidth);
  cairo_stroke_preserve(cr);
  art::Source(cr, line, 0.6);
  cairo_set_line_width(cr, lineWidth);
  cairo_stroke(cr);
}

// The valley, drawn at `ox` (0 for the centre; -128 and +1,024 make the side
// pieces continue it to the left and right).
void Valley(cairo_t* cr, double ox, double w, double h) {
  cairo_save(cr);
  cairo_translate(cr, -ox, 0);
  // Meadow, lit from the top left, with the noise of grass.
  cairo_rectangle(cr, ox, 0, w, h);
  cairo_pattern_t* g = cairo_pattern_create_linear(-128, 0, 1152, 768);
  const Rgb top = art::Lighter(pal::kGrass, 0.18), bottom = art::Darker(pal::kGrass, 0.12);
  cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(g, 1, bottom.r, bottom.g, bottom.b);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  const art::TileNoise noise(61, 12, 9);
  for (int y = 0; y < 768; y += 8)
    for (int x = -128; x < 1152; x += 8) {
      if (x + 8 < ox || x > ox + w) continue;
      const double n = noise.Fractal((x + 128) / 1280.0, y / 768.0, 3);
      cairo_rectangle(cr, x, y, 8, 8);
      art::Source(cr, n > 0.5 ? pal::kGrassLight : pal::kGrassDark, std::fabs(n - 0.5) * 0.35);
      cairo_fill(cr);
    }

  // Fields between the road's columns: wheat, furrows, clover.
  art::Rand rnd(7);
  const Rgb crops[][2] = {{pal::kStraw, art::Darker(pal::kStraw, 0.25)},
                          {pal::kSoil, pal::kSoilDark},
                          {pal::kGrassLight, pal::kGrassDark},
                          {art::Lighter(pal::kYellow, 0.2), pal::kOrange}};
  const Pt fields[] = {{205, 250}, {205, 480}, {330, 120}, {330, 660}, {450, 330}, {450, 560}, {700, 200},
                       {700, 420}, {820, 130}, {820, 560}, {-60, 200}, {-60, 520}, {1090, 180}, {1090, 600},
                       {940, 700}, {80, 720}};
  for (size_t i = 0; i < std::size(fields); ++i) {
    const auto& c = crops[i % 4];
    Field(cr, fields[i].x, fields[i].y, rnd.Range(56, 74), rnd.Range(40, 56), rnd.Range(-0.25, 0.25), c[0], c[1]);
  }

  // The river and its pond.
  std::vector<Pt> river(std::begin(kRiver), std::end(kRiver));
  CatmullRom(cr, river);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  StrokeBands(cr, art::Darker(pal::kWater, 0.35), 34, pal::kWater, 26, art::Lighter(pal::kWater, 0.35), 8);
  art::Ellipse(cr, kPond.x, kPond.y, 78, 44);
  art::FillLit(cr, pal::kWater, kPond.x - 78, kPond.y - 44, kPond.x + 78, kPond.y + 44, 0.35);
  art::Outline(cr, 3, art::Darker(pal::kWater, 0.4));
  art::Gleam(cr, kPond.x - 30, kPond.y - 16, 18, 6, 0.5);

  // The manor's hill at the right, under the last group.
  art::Ellipse(cr, 930, 360, 150, 210);
  art::FillRound(cr, art::Lighter(pal::kGrass, 0.25), 900, 340, 200, 0.7);
  cairo_new_path(cr);

  // The road: a broad dirt track with a darker verge through every node.
  const std::vector<Pt> road = RoadPoints();
  CatmullRom(cr, road);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  StrokeBands(cr, pal::kDirtDark, 22, pal::kDirt, 16, art::Lighter(pal::kDirt, 0.3), 4);
  // The bridge where the road crosses the river (between the fourth and
  // fifth columns, on the sixth row).
  const Pt a = NodeAt(38), b = NodeAt(39);
  const Pt mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
  cairo_save(cr);
  cairo_translate(cr, mid.x, mid.y);
  cairo_rotate(cr, std::atan2(b.y - a.y, b.x - a.x));
  art::RoundRect(cr, -30, -14, 60, 28, 4);
  art::FillLit(cr, pal::kWood, -30, -14, 30, 14);
  art::Outline(cr, 1.5);
  for (double x = -24; x <= 24; x += 8) {
    cairo_move_to(cr, x, -13);
    cairo_line_to(cr, x, 13);
  }
  art::Source(cr, pal::kWoodDark, 0.7);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  for (double y : {-15.0, 15.0}) {
    cairo_move_to(cr, -32, y);
    cairo_line_to(cr, 32, y);
    art::Rod(cr, 3, pal::kWoodDark, 1);
  }
  cairo_restore(cr);

  // A clearing round every node, so each stop on the road reads.
  for (int cell : kRoad) {
    const Pt p = NodeAt(cell);
    art::SoftEllipse(cr, p.x, p.y + 6, 56, 34, art::Lighter(pal::kDirt, 0.35), 0.55, 0.55, 0.8);
  }

  // Woods on the cells the road leaves out and along the edges.
  const int woods[] = {0, 1, 42, 44, 45, 46, 48, 6};
  for (int cell : woods) {
    const Pt p = NodeAt(cell);
    art::Rand r(static_cast<u32>(cell) + 100);
    for (int t = 0; t < 7; ++t) {
      const double x = p.x + r.Range(-48, 48), y = p.y + r.Range(-30, 36);
      if (cell == 45 || cell == 46) {
        if (std::hypot(x - kPond.x, y - kPond.y) < 100) continue;
      }
      Tree(cr, x, y, r.Range(22, 34), static_cast<u32>(cell * 10 + t), t % 3 == 0 ? pal::kGrassDark : pal::kLeaf);
    }
  }
  // Scattered bushes and flowers away from the road.
  art::Rand s(19);
  for (int i = 0; i < 90; ++i) {
    const double x = s.Range(-120, 1140), y = s.Range(10, 760);
    bool nearNode = false;
    for (int cell : kRoad) {
      const Pt p = NodeAt(cell);
      if (std::fabs(x - p.x) < 62 && std::fabs(y - p.y) < 44) nearNode = true;
    }
    if (nearNode || std::fabs(x - 580) < 30) continue;
    if (i % 3 == 0) Bush(cr, x, y, s.Range(8, 13), static_cast<u32>(i));
    else art::Flower(cr, x, y, s.Range(4, 6), i % 2 ? pal::kPink : pal::kWhite);
  }
  // The farm gate where the road comes in at the lower left.
  Tree(cr, 30, 600, 30, 3);
  Tree(cr, 70, 700, 26, 4, pal::kGrassDark);
  cairo_restore(cr);
}

void Center(cairo_t* cr, const ArtFrame& f) { Valley(cr, 0, f.width, f.height); }
void Left(cairo_t* cr, const ArtFrame& f) { Valley(cr, -128, f.width, f.height); }
void Right(cairo_t* cr, const ArtFrame& f) { Valley(cr, 1024, f.width, f.height); }

// The shimmer over a water: light ripples fading at the edges, moving with
// the frame so the four frames loop.
void Water(cairo_t* cr, const ArtFrame& f, u32 frame, u32 seed) {
  const double w = f.width, h = f.height;
  art::Rand r(seed);
  const double phase = frame / 4.0 * 2 * M_PI;
  for (int i = 0; i < 14; ++i) {
    const double x = r.Range(0.15, 0.85) * w, y = r.Range(0.2, 0.8) * h, len = r.Range(8, 18);
    const double a = 0.5 + 0.5 * std::sin(phase + i * 1.7);
    const double dx = std::sin(phase + i) * 3;
    cairo_move_to(cr, x - len / 2 + dx, y);
    cairo_curve_to(cr, x - len / 4 + dx, y - 2, x + len / 4 + dx, y + 2, x + len / 2 + dx, y);
    art::Source(cr, pal::kWhite, 0.2 + 0.55 * a);
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
  }
  art::SoftEllipse(cr, w / 2, h / 2, w / 2, h / 2, art::Lighter(pal::kWater, 0.4), 0.18, 0.5, 0.6);
}

// A hexagon round the node, its width `w` and height `h`.
void Hexagon(cairo_t* cr, double cx, double cy, double w, double h) {
  cairo_move_to(cr, cx - w / 2, cy);
  cairo_line_to(cr, cx - w / 4, cy - h / 2);
  cairo_line_to(cr, cx + w / 4, cy - h / 2);
  cairo_line_to(cr, cx + w / 2, cy);
  cairo_line_to(cr, cx + w / 4, cy + h / 2);
  cairo_line_to(cr, cx - w / 4, cy + h / 2);
  cairo_close_path(cr);
}

void Glow(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, cy = f.height / 2;
  for (int i = 10; i >= 1; --i) {
    Hexagon(cr, cx, cy, f.width * (0.5 + 0.05 * i), f.height * (0.5 + 0.05 * i));
    art::Source(cr, pal::kWhite, 0.09);
    cairo_fill(cr);
  }
}

void Selection(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, cy = f.height / 2;
  Hexagon(cr, cx, cy, f.width - 8, f.height - 8);
  art::Source(cr, pal::kWhite, 0.35);
  cairo_set_line_width(cr, 7);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke_preserve(cr);
  art::Source(cr, pal::kWhite, 0.95);
  cairo_set_line_width(cr, 2.5);
  cairo_stroke_preserve(cr);
  art::Source(cr, pal::kWhite, 0.12);
  cairo_fill(cr);
}

// The level's sign: a board whose middle is at (22, 29) (the number is
// written there) on a post down to the frame's foot.
void Sign(cairo_t* cr, const ArtFrame& f) {
  art::GroundShadow(cr, 26, f.height - 3, 10, 3, 0.3);
  cairo_rectangle(cr, 19, 36, 6, f.height - 38);
  art::FillLit(cr, pal::kWoodDark, 19, 36, 25, f.height);
  art::Outline(cr, 1.2);
  art::RoundRect(cr, 2, 14, 40, 30, 5);
  art::FillLit(cr, art::Lighter(pal::kWood, 0.25), 2, 14, 42, 44, 0.35);
  art::Outline(cr, 1.6);
  art::RoundRect(cr, 7, 18, 30, 22, 3);
  art::Source(cr, pal::kPanel, 0.9);
  cairo_fill(cr);
  art::Gleam(cr, 9, 17, 5, 1.5, 0.6);
}

void Medal(cairo_t* cr, const ArtFrame& f) {
  const Rgb metals[] = {pal::kBronze, pal::kSilver, pal::kGold};
  const Rgb metal = metals[f.index % 3];
  const double cx = f.width / 2, cy = 27, r = 14;
  cairo_move_to(cr, cx - 9, 0);
  cairo_line_to(cr, cx - 3, 16);
  cairo_line_to(cr, cx + 3, 16);
  cairo_line_to(cr, cx + 9, 0);
  cairo_close_path(cr);
  art::FillLit(cr, f.index == 2 ? pal::kRed : f.index == 1 ? pal::kBlue : pal::kPurple, cx - 9, 0, cx + 9, 16);
  art::Outline(cr, 1.2);
  art::Ellipse(cr, cx, cy, r, r);
  art::FillRound(cr, metal, cx, cy, r);
  art::Outline(cr, 1.6);
  art::Star(cr, cx, cy, r * 0.55, r * 0.25, 5);
  art::Source(cr, art::Lighter(metal, 0.5));
  cairo_fill(cr);
  art::Gleam(cr, cx - 5, cy - 6, 3, 2);
}

// --- Node decorations (frames are drawn with the node at their middle) -------------------

void Wild(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, cy = f.height / 2;
  art::SoftEllipse(cr, cx, cy + 10, 44, 20, pal::kGrassDark, 0.45);
  art::Pebble(cr, cx + 22, cy + 16, 9, 3);
  Bush(cr, cx - 24, cy + 16, 14, 5, pal::kGrassDark);
  Bush(cr, cx + 6, cy + 12, 16, 9, art::Mix(pal::kGrassDark, pal::kLeaf, 0.4));
  Bush(cr, cx - 6, cy + 24, 11, 13);
  for (int i = 0; i < 6; ++i) art::GrassTuft(cr, 12 + i * 14, cy + 26 + (i % 2) * 4, 9, static_cast<u32>(i));
  Tree(cr, cx + 26, cy + 6, 20, 21, pal::kGrassDark);
}

void Stake(cairo_t* cr, double x, double y) {
  cairo_rectangle(cr, x - 1.5, y - 10, 3, 11);
  art::FillLit(cr, pal::kWood, x - 1.5, y - 10, x + 1.5, y);
  art::Outline(cr, 0.9);
}

void Plot(cairo_t* cr, const ArtFrame& f) {
  const double cx = f.width / 2, cy = f.height / 2 + 6;
  art::Ellipse(cr, cx, cy, 40, 20);
  art::FillLit(cr, pal::kSoil, cx - 40, cy - 20, cx + 40, cy + 20);
  art::Outline(cr, 1.2, pal::kSoilDark);
  for (int i = -2; i <= 2; ++i) {
    cairo_move_to(cr, cx - 30 + std::abs(i) * 5, cy + i * 6);
    cairo_line_to(cr, cx + 30 - std::abs(i) * 5, cy + i * 6);
  }
  art::Source(cr, pal::kSoilDark, 0.6);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  for (int i = 0; i < 10; ++i) {
    const double a = i * 2 * M_PI / 10;
    Stake(cr, cx + std::cos(a) * 42, cy + std::sin(a) * 21 + 4);
  }
  cairo_move_to(cr, cx + 42, cy - 6);
  for (int i = 1; i <= 10; ++i) {
    const double a = i * 2 * M_PI / 10;
    cairo_line_to(cr, cx + std::cos(a) * 42, cy + std::sin(a) * 21 - 6);
  }
  art::Source(cr, pal::kWhite, 0.8);
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
}

void Flag(cairo_t* cr, const ArtFrame& f) {
  cairo_rectangle(cr, 3, 2, 2.5, f.height - 2);
  art::FillLit(cr, pal::kWoodDark, 3, 2, 5.5, f.height);
  art::Outline(cr, 0.8);
  cairo_move_to(cr, 5.5, 3);
  cairo_curve_to(cr, 12, 1, 16, 7, f.width - 1, 5);
  cairo_line_to(cr, f.width - 3, 16);
  cairo_curve_to(cr, 16, 18, 12, 13, 5.5, 16);
  cairo_close_path(cr);
  art::FillLit(cr, pal::kRed, 5, 2, f.width, 16, 0.35);
  art::Outline(cr, 1.0);
}

// A small house: walls, a roof and, when asked, a chimney whose top is at
// (chimneyX, chimneyTop).
void House(cairo_t* cr, double x, double y, double w, double h, Rgb wall, Rgb roof, double chimneyX = -1,
           double chimneyTop = 0) {
  if (chimneyX >= 0) {
    cairo_rectangle(cr, chimneyX - 3, chimneyTop, 6, y - h * 0.4 - chimneyTop);
    art::FillLit(cr, pal::kStone, chimneyX - 3, chimneyTop, chimneyX + 3, y);
    art::Outline(cr, 1.0);
  }
  cairo_rectangle(cr, x, y - h * 0.55, w, h * 0.55);
  art::FillLit(cr, wall, x, y - h * 0.55, x + w, y);
  art::Outline(cr, 1.2);
  cairo_move_to(cr, x - 4, y - h * 0.5);
  cairo_line_to(cr, x + w / 2, y - h);
  cairo_line_to(cr, x + w + 4, y - h * 0.5);
  cairo_close_path(cr);
  art::FillLit(cr, roof, x - 4, y - h, x + w + 4, y - h * 0.5);
  art::Outline(cr, 1.2);
  cairo_rectangle(cr, x + w / 2 - 4, y - h * 0.3, 8, h * 0.3);
  art::Source(cr, pal::kWoodDark);
  cairo_fill(cr);
}

// The ground of a finished farm: a tended green patch.
void FarmGround(cairo_t* cr, double cx, double cy) {
  art::Ellipse(cr, cx, cy + 14, 52, 24);
  art::FillLit(cr, pal::kGrassLight, cx - 52, cy - 10, cx + 52, cy + 38, 0.25);
  art::Outline(cr, 1.0, pal::kGrassDark, 0.8);
}

void Chicken(cairo_t* cr, double x, double y) {
  art::Ellipse(cr, x, y, 4, 3);
  art::FillRound(cr, pal::kWhite, x, y, 4);
  art::Outline(cr, 0.7);
  art::Ellipse(cr, x + 3, y - 3, 1.5, 1.5);
  art::Source(cr, pal::kRed);
  cairo_fill(cr);
}

void Animal(cairo_t* cr, double x, double y, bool sheep) {
  art::GroundShadow(cr, x + 2, y + 5, 9, 3, 0.25);
  if (sheep) art::Blob(cr, x, y, 9, 6, 7, 0.15, static_cast<u32>(x));
  else art::Ellipse(cr, x, y, 9, 5.5);
  art::FillRound(cr, pal::kWhite, x, y, 9);
  art::Outline(cr, 0.9);
  if (!sheep) {
    art::Ellipse(cr, x - 2, y - 1, 3, 2);
    art::Source(cr, pal::kOutline);
    cairo_fill(cr);
  }
  art::Ellipse(cr, x + 9, y - 3, 3.2, 2.6);
  art::FillRound(cr, sheep ? pal::kOutline : pal::kSkin, x + 9, y - 3, 3);
  art::Outline(cr, 0.7);
}

void Fence(cairo_t* cr, double x0, double x1, double y) {
  for (double x = x0; x <= x1; x += 8) Stake(cr, x, y);
  cairo_move_to(cr, x0, y - 6);
  cairo_line_to(cr, x1, y - 6);
  art::Rod(cr, 1.6, pal::kWood, 0.6);
}

void Farm(cairo_t* cr, const ArtFrame& f, u32 theme) {
  const double cx = f.width / 2, cy = f.height / 2;
  FarmGround(cr, cx, cy);
  // The chimney of the houses with smoke stands at (38, 10) (the smoke's
  // emitter in tables/map.txt is 18 left of and 30 above the node): its
  // smoke rises between the medal and the sign of the level above, clear
  // of the signs of the levels up to the left.
  switch (theme) {
    case 0:  // wheat
      Field(cr, cx - 14, cy + 12, 54, 30, -0.1, pal::kStraw, art::Darker(pal::kStraw, 0.25));
      art::Ellipse(cr, cx + 30, cy + 8, 12, 11);
      art::FillRound(cr, pal::kYellow, cx + 30, cy + 6, 12);
      art::Outline(cr, 1.0);
      break;
    case 1:  // orchard
      Tree(cr, cx - 24, cy + 18, 22, 1);
      Tree(cr, cx + 4, cy + 26, 24, 2);
      Tree(cr, cx + 30, cy + 14, 20, 3);
      for (auto [x, y] : {std::pair{-28.0, 2.0}, {0.0, 6.0}, {8.0, 0.0}, {26.0, -2.0}}) {
        art::Ellipse(cr, cx + x, cy + y, 2.5, 2.5);
        art::Source(cr, pal::kRed);
        cairo_fill(cr);
      }
      break;
    case 2:  // hens
      House(cr, 22, 40, 28, 34, pal::kRed, pal::kWoodDark, 38, 10);
      Fence(cr, cx + 2, cx + 46, cy + 30);
      for (auto [x, y] : {std::pair{10.0, 14.0}, {22.0, 22.0}, {36.0, 16.0}}) Chicken(cr, cx + x, cy + y);
      break;
    case 3: {  // mill
      House(cr, cx - 12, cy + 22, 24, 40, pal::kWhite, pal::kRed);
      cairo_save(cr);
      cairo_translate(cr, cx, cy - 6);
      for (int i = 0; i < 4; ++i) {
        cairo_rotate(cr, M_PI / 2);
        cairo_rectangle(cr, 2, -3, 24, 6);
        art::FillLit(cr, pal::kPanel, 2, -3, 26, 3);
        art::Outline(cr, 1.0);
      }
      cairo_restore(cr);
      Field(cr, cx + 34, cy + 18, 26, 20, 0.2, pal::kStraw, art::Darker(pal::kStraw, 0.25));
      break;
    }
    case 4:  // cows
      House(cr, 22, 40, 34, 34, pal::kRed, pal::kStoneDark, 38, 10);
      Fence(cr, cx - 2, cx + 48, cy + 32);
      Animal(cr, cx + 16, cy + 16, false);
      Animal(cr, cx + 36, cy + 24, false);
      break;
    case 5:  // sheep
      House(cr, 22, 40, 28, 30, pal::kWood, pal::kWoodDark, 38, 10);
      Fence(cr, cx - 2, cx + 48, cy + 32);
      Animal(cr, cx + 14, cy + 14, true);
      Animal(cr, cx + 34, cy + 20, true);
      Animal(cr, cx + 20, cy + 26, true);
      break;
    case 6:  // bakery
      House(cr, 20, 48, 46, 42, pal::kPanel, pal::kRust, 38, 10);
      Field(cr, cx + 28, cy + 20, 30, 22, 0.1, pal::kStraw, art::Darker(pal::kStraw, 0.25));
      break;
    default:  // the manor
      House(cr, 18, 50, 44, 46, pal::kPanel, pal::kBlue, 38, 8);
      House(cr, 62, 52, 30, 34, pal::kPanel, pal::kBlue);
      art::Ellipse(cr, cx + 36, cy + 4, 6, 6);
      art::FillRound(cr, pal::kYellow, cx + 36, cy + 4, 6);
      art::Outline(cr, 0.8);
      break;
  }
}

}  // namespace

std::vector<int> ValleyRoadCells() { return std::vector<int>(std::begin(kRoad), std::end(kRoad)); }

void AddMapArt(ArtBook& book) {
  const u32 set = kSelectionMapSpriteSet;
  book.Add(set, "map_center", FramesPiece(Center));
  book.Add(set, "map_left", FramesPiece(Left));
  book.Add(set, "map_right", FramesPiece(Right));
  for (u32 k = 1; k <= 2; ++k)
    for (u32 f = 1; f <= 4; ++f)
      book.Add(set, "map_water" + std::to_string(k) + "_" + std::to_string(f),
               FramesPiece([k, f](cairo_t* cr, const ArtFrame& a) { Water(cr, a, f - 1, k * 31); }));
  book.Add(set, "hex", FramesPiece(Glow));
  book.Add(set, "selection", FramesPiece(Selection));
  book.Add(set, "sign", FramesPiece(Sign));
  book.Add(1, "map_medals", FramesPiece(Medal, 3));
  book.Add(set, "map_wild", FramesPiece(Wild));
  book.Add(set, "map_plot", FramesPiece(Plot));
  book.Add(set, "map_flag", FramesPiece(Flag));
  const char* farms[] = {"wheat", "orchard", "hens", "mill", "cows", "sheep", "bakery", "manor"};
  for (u32 t = 0; t < 8; ++t)
    book.Add(set, std::string("map_farm_") + farms[t], FramesPiece([t](cairo_t* cr, const ArtFrame& a) { Farm(cr, a, t); }));
}

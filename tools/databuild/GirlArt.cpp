// The player character, a farm girl in a straw hat, red shirt and blue
// overalls, drawn as a small jointed puppet so every direction and every
// frame comes from the same figure: the figure stands in the world (x to
// the right, y towards the viewer, z up), turns to the direction of her
// row (the animation's angle: 0 right, 90 towards the viewer), and each
// animation poses her joints by the frame's phase. Parts are drawn from the
// farthest to the nearest, so an arm swings in front of or behind her body
// as she turns. Her feet stand on the frame's point (64, 132) of 128 x 144.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "ArtBook.h"
#include "ArtKit.h"
#include "StoryFigures.h"
#include "resources/SpriteSet.h"

namespace {

using art::Rgb;
namespace pal = art::pal;

constexpr double kFootX = 64, kFootY = 132, kDesignHeight = 144;
constexpr double kTilt = 0.45;  // how much the ground's depth shows on screen
constexpr double kLine = 1.7;
constexpr double kFigureScale = 1.12;

// A point of the figure: across (to her right), forward, up.
struct Body {
  double s, f, u;
};
struct Screen {
  double x, y, depth;
};

// The view of one direction.
class View {
 public:
  explicit View(double angleDeg) {
    const double a = angleDeg * M_PI / 180;
    fx_ = std::cos(a);
    fy_ = std::sin(a);
    rx_ = -fy_;  // her right hand's side
    ry_ = fx_;
  }
  Screen At(Body p) const {
    const double x = rx_ * p.s + fx_ * p.f, y = ry_ * p.s + fy_ * p.f;
    return Screen{kFootX + x, kFootY + y * kTilt - p.u, y};
  }
  double Facing() const { return fy_; }  // 1 facing the viewer, -1 away
  double Side() const { return fx_; }    // 1 facing right
  double RightDepth() const { return ry_; }

 private:
  double fx_, fy_, rx_, ry_;
};

// A tool in a hand.
enum class Tool { kNone, kHammer, kShovel, kAxe, kBrush, kCan };

// One frame's pose.
struct Pose {
  double bob = 0;               // the whole body up
  double lean = 0;              // the shoulders forward
  double stepL = 0, stepR = 0;  // feet forward
  double liftL = 0, liftR = 0;  // feet up
  Body handL{-13, 2, 38}, handR{13, 2, 38};
  bool handsOnTool = false;  // the left hand holds the tool too
  Tool tool = Tool::kNone;
  Body toolTip{0, 0, 0};  // where the tool's working end is
  double pigtailSway = 0;
  bool blink = false;
  bool soil = false;    // a clod on the shovel
  double bubbles = -1;  // scrubbing foam or pouring water, its phase (below 0: none)
};

void Capsule(cairo_t* cr, Screen a, Screen b, double width, Rgb c) {
  cairo_move_to(cr, a.x, a.y);
  cairo_line_to(cr, b.x, b.y);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, width + kLine * 2);
  art::Source(cr, pal::kOutline);
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, width);
  art::Source(cr, c);
  cairo_stroke_preserve(cr);
  // A lit streak along the upper left of the limb.
  cairo_save(cr);
  cairo_translate(cr, -width * 0.18, -width * 0.18);
  cairo_set_line_width(cr, width * 0.3);
  art::Source(cr, art::Lighter(c, 0.35), 0.7);
  cairo_stroke(cr);
  cairo_restore(cr);
  cairo_new_path(cr);
}

void Dot(cairo_t* cr, Screen p, double rx, double ry, Rgb c) {
  art::Ellipse(cr, p.x, p.y, rx, ry);
  art::FillRound(cr, c, p.x, p.y, std::max(rx, ry));
  art::Outline(cr, kLine);
}

// A drawable part and how near it is.
struct Part {
  double depth;
  std::function<void()> draw;
};

void DrawLeg(cairo_t* cr, const View& v, double side, double step, double lift, double bob) {
  const Screen hip = v.At({side * 6, 0, 33 + bob});
  const Screen knee = v.At({side * 6.5, step * 0.55 + 1.5, 17 + lift * 0.7 + bob * 0.5});
  const Screen ankle = v.At({side * 6.5, step, 5 + lift});
  Capsule(cr, hip, knee, 9, pal::kDenim);
  Capsule(cr, knee, ankle, 8, pal::kDenim);
  // The boot points the way she faces.
  const Screen toe = v.At({side * 6.5, step + 5, 2.5 + lift});
  Capsule(cr, v.At({side * 6.5, step - 1, 3.5 + lift}), toe, 8.5, pal::kWoodDark);
}

void DrawArm(cairo_t* cr, const View& v, double side, Body hand, double lean, double bob) {
  const Body shoulder{side * 12.5, lean, 58 + bob};
  const Body mid{(shoulder.s + hand.s) / 2 + side * 3, (shoulder.f + hand.f) / 2 - 2, (shoulder.u + hand.u) / 2};
  const Screen s = v.At(shoulder), e = v.At(mid), h = v.At(hand);
  Capsule(cr, s, e, 8.5, pal::kRed);  // short red sleeve
  Capsule(cr, e, h, 7, pal::kSkin);
  Dot(cr, h, 4.2, 4.2, pal::kSkin);
}

void DrawTool(cairo_t* cr, const View& v, const Pose& p) {
  const Screen grip = v.At(p.handR), tip = v.At(p.toolTip);
  const double dx = tip.x - grip.x, dy = tip.y - grip.y, len = std::max(1.0, std::hypot(dx, dy));
  const double ux = dx / len, uy = dy / len;
  auto handleEnd = [&](double past) { return Screen{grip.x - ux * past, grip.y - uy * past, 0}; };
  switch (p.tool) {
    case Tool::kHammer:
    case Tool::kAxe: {
      Capsule(cr, handleEnd(p.tool == Tool::kAxe ? 8 : 4), tip, 3.2, pal::kWood);
      cairo_save(cr);
      cairo_translate(cr, tip.x, tip.y);
      cairo_rotate(cr, std::atan2(uy, ux));
      if (p.tool == Tool::kHammer) {
        art::RoundRect(cr, -4, -8, 9, 16, 2);
        art::FillLit(cr, art::Darker(pal::kMetal, 0.15), -4, -8, 5, 8, 0.45);
      } else {
        cairo_move_to(cr, -6, -4);
        cairo_line_to(cr, 3, -5);
        cairo_curve_to(cr, 11, -13, 18, -3, 16, 8);
        cairo_curve_to(cr, 10, 10, 3, 6, -6, 5);
        cairo_close_path(cr);
        art::FillLit(cr, pal::kMetal, -6, -13, 18, 10, 0.5);
      }
      art::Outline(cr, kLine);
      cairo_restore(cr);
      break;
    }
    case Tool::kShovel: {
      const Screen top = v.At(p.handL);
      const double tx = tip.x - top.x, ty = tip.y - top.y, tl = std::max(1.0, std::hypot(tx, ty));
      const Screen end{top.x - tx / tl * 4, top.y - ty / tl * 4, 0};
      Capsule(cr, end, tip, 4.2, pal::kWood);
      Capsule(cr, Screen{end.x - ty / tl * 4, end.y + tx / tl * 4, 0}, Screen{end.x + ty / tl * 4, end.y - tx / tl * 4, 0},
              3.5, pal::kWoodDark);  // the grip
      cairo_save(cr);
      cairo_translate(cr, tip.x, tip.y);
      cairo_rotate(cr, std::atan2(uy, ux));
      cairo_move_to(cr, -3, -7);
      cairo_line_to(cr, 11, -8);
      cairo_curve_to(cr, 19, -4, 19, 4, 11, 8);
      cairo_line_to(cr, -3, 7);
      cairo_close_path(cr);
      art::FillLit(cr, pal::kMetal, -3, -8, 19, 8, 0.5);
      art::Outline(cr, kLine);
      if (p.soil) {
        art::Blob(cr, 9, -5, 8, 5.5, 6, 0.25, 9);
        art::FillLit(cr, pal::kSoil, 1, -11, 17, 1, 0.35);
        art::Outline(cr, 1.3);
      }
      cairo_restore(cr);
      break;
    }
    case Tool::kBrush: {
      cairo_save(cr);
      cairo_translate(cr, tip.x, tip.y);
      art::RoundRect(cr, -8, -4, 16, 6, 2.5);
      art::FillLit(cr, pal::kWood, -8, -4, 8, 2, 0.35);
      art::Outline(cr, kLine);
      cairo_rectangle(cr, -7, 2, 14, 4);
      art::FillLit(cr, pal::kYellow, -7, 2, 7, 6, 0.3);
      art::Outline(cr, 1.2);
      cairo_restore(cr);
      break;
    }
    case Tool::kCan: {  // held by its handle, the spout towards the tip, pouring while tipped
      cairo_save(cr);
      cairo_translate(cr, grip.x, grip.y + 4);
      cairo_move_to(cr, 4, 2);
      cairo_line_to(cr, tip.x - grip.x, tip.y - grip.y - 4);
      cairo_set_line_width(cr, 3);
      art::Source(cr, pal::kOutline);
      cairo_stroke(cr);
      art::RoundRect(cr, -7, -2, 14, 12, 3);
      art::FillLit(cr, pal::kBlue, -7, -2, 7, 10, 0.45);
      art::Outline(cr, kLine);
      cairo_restore(cr);
      if (p.bubbles >= 0) {  // the water falling from the spout
        for (int d = 0; d < 3; ++d) {
          const double fall = std::fmod(p.bubbles + d / 3.0, 1.0) * 14;
          art::Ellipse(cr, tip.x + d - 1, tip.y + fall, 1.4, 2.2);
          art::Source(cr, pal::kWater, 0.9);
          cairo_fill(cr);
        }
      }
      break;
    }
    case Tool::kNone:
      break;
  }
}

void DrawTorso(cairo_t* cr, const View& v, const Pose& p) {
  // Half widths across and through her, as seen from this side.
  const double across = 11.5 * std::fabs(v.Facing()) + 9.5 * std::fabs(v.Side());
  const Screen hip = v.At({0, 0, 30 + p.bob}), chest = v.At({0, p.lean, 60 + p.bob});
  const double lx = chest.x - hip.x;
  // The shirt, then the overalls' bib and trousers over it.
  cairo_move_to(cr, hip.x - across, hip.y);
  cairo_curve_to(cr, hip.x - across - 1, hip.y - 12, chest.x - across - 1, chest.y + 6, chest.x - across + 2, chest.y);
  cairo_curve_to(cr, chest.x - across * 0.5, chest.y - 4, chest.x + across * 0.5, chest.y - 4, chest.x + across - 2,
                 chest.y);
  cairo_curve_to(cr, chest.x + across + 1, chest.y + 6, hip.x + across + 1, hip.y - 12, hip.x + across, hip.y);
  cairo_curve_to(cr, hip.x + across * 0.5, hip.y + 4, hip.x - across * 0.5, hip.y + 4, hip.x - across, hip.y);
  cairo_close_path(cr);
  art::FillLit(cr, pal::kRed, hip.x - across, chest.y, hip.x + across, hip.y, 0.3);
  art::Outline(cr, kLine);
  // Overalls: the trousers' top and, on the side she faces, the bib with its straps.
  const double bibTop = 0.55;
  cairo_move_to(cr, hip.x - across, hip.y);
  cairo_line_to(cr, hip.x - across + lx * 0.3, hip.y - 10);
  cairo_line_to(cr, hip.x + across + lx * 0.3, hip.y - 10);
  cairo_line_to(cr, hip.x + across, hip.y);
  cairo_curve_to(cr, hip.x + across * 0.5, hip.y + 4, hip.x - across * 0.5, hip.y + 4, hip.x - across, hip.y);
  cairo_close_path(cr);
  art::FillLit(cr, pal::kDenim, hip.x - across, hip.y - 10, hip.x + across, hip.y + 4, 0.3);
  art::Outline(cr, kLine);
  const double front = v.Facing();
  if (front > -0.2) {  // the bib, narrower as she turns
    const double bw = across * 0.62 * (0.35 + 0.65 * std::max(0.0, front)) + 2;
    const double bx = hip.x + v.Side() * across * 0.35 + lx * 0.6;
    const double by = hip.y - 10 - (hip.y - chest.y) * bibTop;
    art::RoundRect(cr, bx - bw, by, bw * 2, hip.y - 9 - by, 2);
    art::FillLit(cr, pal::kDenim, bx - bw, by, bx + bw, hip.y - 9, 0.3);
    art::Outline(cr, kLine);
    for (int k : {-1, 1}) {  // straps over the shoulders and their buttons
      cairo_move_to(cr, bx + k * bw * 0.75, by + 1);
      cairo_line_to(cr, chest.x + k * across * 0.55, chest.y + 1);
      cairo_set_line_width(cr, 3);
      art::Source(cr, art::Darker(pal::kDenim, 0.2));
      cairo_stroke(cr);
      art::Ellipse(cr, bx + k * bw * 0.7, by + 3, 1.5, 1.5);
      art::Source(cr, pal::kYellow);
      cairo_fill(cr);
    }
    art::RoundRect(cr, bx - bw * 0.45, by + 5, bw * 0.9, 5, 1.5);  // a pocket
    art::Source(cr, art::Darker(pal::kDenim, 0.18));
    cairo_fill(cr);
  } else {  // from behind: the straps crossing her back
    cairo_move_to(cr, chest.x - across * 0.55, chest.y + 1);
    cairo_line_to(cr, hip.x + across * 0.5 + lx * 0.3, hip.y - 10);
    cairo_move_to(cr, chest.x + across * 0.55, chest.y + 1);
    cairo_line_to(cr, hip.x - across * 0.5 + lx * 0.3, hip.y - 10);
    cairo_set_line_width(cr, 3);
    art::Source(cr, pal::kDenim);
    cairo_stroke(cr);
  }
}

void DrawPigtail(cairo_t* cr, const View& v, double side, const Pose& p, double headU) {
  const Screen tie = v.At({side * 16.5, -3 + p.lean, headU - 2});
  const Screen end = v.At({side * (21 + p.pigtailSway * 2), -5 + p.lean - p.pigtailSway * side * 3, headU - 17});
  const double dx = end.x - tie.x, dy = end.y - tie.y, len = std::max(1.0, std::hypot(dx, dy));
  const double nx = -dy / len, ny = dx / len;  // across the tail
  cairo_move_to(cr, tie.x + nx * 4, tie.y + ny * 4);
  cairo_curve_to(cr, tie.x + nx * 6 + dx * 0.5, tie.y + ny * 6 + dy * 0.5, end.x + nx * 2, end.y + ny * 2, end.x,
                 end.y);
  cairo_curve_to(cr, end.x - nx * 2, end.y - ny * 2, tie.x - nx * 6 + dx * 0.5, tie.y - ny * 6 + dy * 0.5,
                 tie.x - nx * 4, tie.y - ny * 4);
  cairo_close_path(cr);
  art::FillLit(cr, pal::kHair, tie.x - 6, tie.y, tie.x + 6, end.y, 0.3);
  art::Outline(cr, kLine);
  art::Ellipse(cr, tie.x, tie.y, 3.4, 2.8);
  art::FillRound(cr, pal::kRed, tie.x, tie.y, 3.4);
  art::Outline(cr, 1.3);
}

void DrawHead(cairo_t* cr, const View& v, const Pose& p) {
  const double headU = 80 + p.bob;
  const Screen c = v.At({0, p.lean * 1.2, headU});
  const double r = 16.5;
  const double front = v.Facing(), side = v.Side();
  // The head is hair; the face is a lit patch turned the way she looks.
  art::Ellipse(cr, c.x, c.y, r, r);
  art::FillRound(cr, pal::kHair, c.x, c.y, r);
  if (front > -0.45) {
    cairo_save(cr);
    art::Ellipse(cr, c.x, c.y, r, r);
    cairo_clip(cr);
    const double fx = c.x + side * r * 0.42, fy = c.y + 3;
    const double fw = r * (0.55 + 0.4 * std::max(0.0, front)) + 1;
    art::Ellipse(cr, fx, fy, fw, r * 0.85);
    art::FillRound(cr, pal::kSkin, fx, fy, fw);
    cairo_new_path(cr);
    // Fringe over the forehead.
    art::Blob(cr, c.x + side * r * 0.2, c.y - r * 0.52, r * 0.95, r * 0.42, 7, 0.1, 5);
    art::FillLit(cr, pal::kHair, c.x - r, c.y - r, c.x + r, c.y, 0.35);
    cairo_new_path(cr);
    cairo_restore(cr);
    // Eyes where they face the viewer, a smile and rosy cheeks.
    for (int k : {-1, 1}) {
      const double across = k * 5.5;
      const double depth = v.RightDepth() * across + front * 14;
      if (depth < -4) continue;
      const Screen e = v.At({across, 14 + p.lean * 1.2, headU + 1});
      if (p.blink) {
        cairo_move_to(cr, e.x - 2.2, e.y);
        cairo_line_to(cr, e.x + 2.2, e.y);
        cairo_set_line_width(cr, 1.5);
        art::Source(cr, pal::kOutline);
        cairo_stroke(cr);
      } else {
        art::Ellipse(cr, e.x, e.y, 2.1, 2.8);
        art::Source(cr, art::Hex(0x2B2230));
        cairo_fill(cr);
        art::Ellipse(cr, e.x - 0.6, e.y - 1, 0.8, 0.9);
        art::Source(cr, pal::kWhite);
        cairo_fill(cr);
      }
      const Screen cheek = v.At({k * 8.5, 12 + p.lean * 1.2, headU - 4});
      if (depth > 0) {
        art::Ellipse(cr, cheek.x, cheek.y, 2.6, 1.6);
        art::Source(cr, art::Hex(0xF28C8C), 0.55);
        cairo_fill(cr);
      }
    }
    if (std::fabs(side) > 0.3) {  // in profile: the near ear and a small nose
      const double near = v.RightDepth() > 0 ? 1 : -1;
      const Screen ear = v.At({near * 15.5, -1 + p.lean * 1.2, headU - 2});
      Dot(cr, ear, 3, 3.6, pal::kSkin);
      const Screen nose = v.At({0, 17 + p.lean * 1.2, headU - 2});
      art::Ellipse(cr, nose.x, nose.y, 2.2, 1.8);
      art::FillRound(cr, pal::kSkin, nose.x, nose.y, 2.2);
      cairo_new_path(cr);
    }
    if (front > 0.3) {
      const Screen m = v.At({0, 15.5 + p.lean * 1.2, headU - 6});
      cairo_arc(cr, m.x, m.y - 1.5, 2.4, 0.2 * M_PI, 0.8 * M_PI);
      cairo_set_line_width(cr, 1.3);
      art::Source(cr, pal::kOutline);
      cairo_stroke(cr);
    }
  }
  art::Ellipse(cr, c.x, c.y, r, r);
  art::Outline(cr, kLine);
  // Straw hat: the brim a flat ellipse leaning the way she faces, the crown on it.
  const double bx = c.x + side * 2, by = c.y - 10 - front * 1.5;
  art::Ellipse(cr, bx, by, 25, 8.5);
  art::FillLit(cr, pal::kStraw, bx - 25, by - 8, bx + 25, by + 8, 0.35);
  art::Outline(cr, kLine);
  cairo_move_to(cr, bx - 13, by);
  cairo_curve_to(cr, bx - 13, by - 16, bx + 13, by - 16, bx + 13, by);
  cairo_curve_to(cr, bx + 7, by + 3, bx - 7, by + 3, bx - 13, by);
  cairo_close_path(cr);
  art::FillLit(cr, pal::kStraw, bx - 13, by - 14, bx + 13, by + 2, 0.4);
  art::Outline(cr, kLine);
  cairo_move_to(cr, bx - 12.5, by - 3);
  cairo_curve_to(cr, bx - 6, by, bx + 6, by, bx + 12.5, by - 3);
  cairo_set_line_width(cr, 3.2);
  art::Source(cr, pal::kRed);
  cairo_stroke(cr);
  art::Gleam(cr, bx - 5, by - 9, 3.5, 2, 0.55);
}

void DrawFigure(cairo_t* cr, const ArtFrame& frame, double angleDeg, const Pose& p) {
  cairo_save(cr);
  const double scale = frame.height / kDesignHeight;
  cairo_scale(cr, scale, scale);
  cairo_translate(cr, kFootX, kFootY);  // a little larger than designed, about her feet
  cairo_scale(cr, kFigureScale, kFigureScale);
  cairo_translate(cr, -kFootX, -kFootY);
  const View v(angleDeg);
  art::GroundShadow(cr, kFootX, kFootY - 1, 19, 6.5, 0.3);

  std::vector<Part> parts;
  const double headU = 80 + p.bob;
  for (double side : {-1.0, 1.0}) {
    const double step = side < 0 ? p.stepL : p.stepR, lift = side < 0 ? p.liftL : p.liftR;
    parts.push_back(
        {v.At({side * 6.5, step, 0}).depth - 0.5, [&, side, step, lift] { DrawLeg(cr, v, side, step, lift, p.bob); }});
    const Body hand = side < 0 ? p.handL : p.handR;
    const double armDepth = (v.At({side * 12.5, 0, 0}).depth + v.At(hand).depth) / 2;
    parts.push_back({armDepth + 0.2, [&, side, hand] { DrawArm(cr, v, side, hand, p.lean, p.bob); }});
    parts.push_back({v.At({side * 15, -2, 0}).depth - 3, [&, side] { DrawPigtail(cr, v, side, p, headU); }});
  }
  parts.push_back({0, [&] { DrawTorso(cr, v, p); }});
  if (p.tool != Tool::kNone)
    parts.push_back({(v.At(p.handR).depth + v.At(p.toolTip).depth) / 2 + 0.1, [&] { DrawTool(cr, v, p); }});
  std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) { return a.depth < b.depth; });
  // The head always tops the body; what lies behind her head is drawn first.
  for (const Part& part : parts) part.draw();
  DrawHead(cr, v, p);
  if (p.bubbles >= 0 && p.tool == Tool::kBrush) {  // foam around the brush
    const Screen t = v.At(p.toolTip);
    for (int k = 0; k < 4; ++k) {
      const double a = p.bubbles * 2 * M_PI + k * 1.6;
      const double x = t.x + std::cos(a) * (8 + k * 2), y = t.y + 4 - std::fabs(std::sin(a)) * (6 + k * 3);
      art::Ellipse(cr, x, y, 2.2 + k % 2, 2.2 + k % 2);
      art::Source(cr, pal::kWhite, 0.9);
      cairo_fill_preserve(cr);
      cairo_set_line_width(cr, 1);
      art::Source(cr, art::Hex(0x8FB8E0));
      cairo_stroke(cr);
    }
  }
  cairo_restore(cr);
}

// --- Poses ------------------------------------------------------------------------------

// A hand on a circle about her shoulder: angle 0 hanging down, 90 held
// forward, 180 straight up.
Body ArmAt(double side, double angleDeg, double length, double lean, double bob) {
  const double a = angleDeg * M_PI / 180;
  return Body{side * 13.5, lean + std::sin(a) * length, 58 + bob - std::cos(a) * length};
}

// Played there and back: the breath rises over the row and sinks on the way back.
Pose Idle(double phase) {
  Pose p;
  const double breath = std::sin(phase * M_PI * 4 / 3 - M_PI / 2);
  p.bob = 0.6 + 0.6 * breath;
  p.handL = ArmAt(-1, 8 + 3 * breath, 24, 0, p.bob);
  p.handR = ArmAt(1, 8 + 3 * breath, 24, 0, p.bob);
  p.pigtailSway = 0.3 * breath;
  p.blink = phase > 0.7;  // the last frame, shown once at each turn
  return p;
}

Pose Walk(double phase) {
  Pose p;
  const double a = phase * 2 * M_PI;
  p.stepL = 10 * std::sin(a);
  p.stepR = -p.stepL;
  p.liftL = 4.5 * std::max(0.0, std::cos(a));
  p.liftR = 4.5 * std::max(0.0, -std::cos(a));
  p.bob = 1.8 * std::fabs(std::cos(a));
  p.lean = 1.5;
  p.handL = ArmAt(-1, -28 * std::sin(a), 24, p.lean, p.bob);
  p.handR = ArmAt(1, 28 * std::sin(a), 24, p.lean, p.bob);
  p.pigtailSway = std::sin(a);
  return p;
}

// Interpolates a table of keys over the phase (looping).
double Key(const std::vector<double>& keys, double phase) {
  const double at = phase * keys.size();
  const size_t i = static_cast<size_t>(at) % keys.size();
  const double t = at - std::floor(at);
  return keys[i] + (keys[(i + 1) % keys.size()] - keys[i]) * t;
}

Pose Hammer(double phase) {
  Pose p;
  const double arm = Key({120, 165, 100, 40, 55, 95}, phase);  // the strike lands on the fourth frame
  p.lean = Key({2, 0, 4, 8, 7, 4}, phase);
  p.stepL = 5;
  p.stepR = -3;
  p.handR = ArmAt(1, arm, 24, p.lean, p.bob);
  p.handL = Body{-6, 20 + p.lean, 26};  // holding the nail
  p.tool = Tool::kHammer;
  const double t = (arm + 40) * M_PI / 180;
  p.toolTip = Body{p.handR.s, p.handR.f + std::sin(t) * 18, p.handR.u - std::cos(t) * 18};
  p.pigtailSway = Key({0.2, 0.5, 0, -0.6, -0.3, 0}, phase);
  return p;
}

Pose Dig(double phase) {
  Pose p;
  // The blade's path: up, into the earth, levered, lifted, tossed.
  const double bf = Key({16, 22, 25, 25, 20, 14, 8, 12}, phase), bu = Key({30, 12, -2, -2, 10, 26, 34, 32}, phase);
  p.lean = Key({5, 10, 13, 13, 10, 5, 2, 3}, phase);
  p.bob = Key({0, -1, -3, -3, -2, 0, 0, 0}, phase);
  p.stepL = 6;
  p.stepR = -4;
  p.liftL = Key({0, 0, 2, 3, 0, 0, 0, 0}, phase);
  p.tool = Tool::kShovel;
  p.toolTip = Body{4, bf, bu};
  const double topF = bf - 16, topU = bu + 34;  // the handle runs up and back to her
  p.handR = Body{7, bf + (topF - bf) * 0.45, bu + (topU - bu) * 0.45};
  p.handL = Body{-4, topF + 2, topU};
  p.handsOnTool = true;
  p.soil = phase >= 0.5 && phase < 0.8;
  p.pigtailSway = Key({0, 0.4, 0.6, 0.6, 0.3, -0.3, -0.5, -0.2}, phase);
  return p;
}

constexpr double kAxeReach = 16;  // from her hand to the axe's head

Pose Chop(double phase) {
  Pose p;
  // The blow lands on the sixth frame; the axe stays inside the frame, raised or swung.
  const double arm = Key({135, 160, 165, 115, 45, 30, 45, 115}, phase);
  p.lean = Key({0, -2, -3, 3, 7, 8, 6, 2}, phase);
  p.stepL = 7;
  p.stepR = -5;
  p.handR = ArmAt(1, arm, 23, p.lean, p.bob);
  p.handL = ArmAt(-1, arm - 5, 20, p.lean, p.bob);
  p.handL.s = -3;
  p.handR.s = 5;
  p.tool = Tool::kAxe;
  const double t = (arm + 15) * M_PI / 180;
  p.toolTip = Body{p.handR.s, p.handR.f + std::sin(t) * kAxeReach, p.handR.u - std::cos(t) * kAxeReach};
  p.pigtailSway = Key({0.3, 0.5, 0.6, 0.1, -0.6, -0.7, -0.3, 0}, phase);
  return p;
}

Pose Scrub(double phase) {
  Pose p;
  const double a = phase * 2 * M_PI;
  p.lean = 9;
  p.bob = -5;  // knees bent
  p.stepL = 8;
  p.stepR = -6;
  p.liftR = 2;
  p.tool = Tool::kBrush;
  p.toolTip = Body{4 + 5 * std::cos(a), 24 + 4 * std::sin(a), 10};
  p.handR = Body{p.toolTip.s, p.toolTip.f - 2, p.toolTip.u + 5};
  p.handL = Body{-10, 14, 22};  // a hand on her knee
  p.bubbles = phase;
  p.pigtailSway = 0.5 * std::sin(a);
  return p;
}

Pose Water(double phase) {
  Pose p;
  const double tip = Key({0, 2, 4, 4, 4, 4, 2, 0}, phase);  // the can tipped, held, righted
  p.lean = 4 + tip;
  p.stepL = 6;
  p.stepR = -3;
  p.tool = Tool::kCan;
  p.handR = Body{8, 14, 22};
  p.toolTip = Body{8, 30, 14 - tip * 2};
  p.handL = Body{-11, 4, 34};
  p.bubbles = tip >= 3 ? phase : -1;
  p.pigtailSway = 0.3 * std::sin(phase * 2 * M_PI);
  return p;
}

// Grain scattered from the right hand over the trough, the left holding the sack.
Pose Feed(double phase) {
  Pose p;
  const double arm = Key({60, 95, 120, 95, 70, 60}, phase);
  p.lean = 3;
  p.stepL = 5;
  p.stepR = -3;
  p.handR = ArmAt(1, arm, 24, p.lean, p.bob);
  p.handL = Body{-9, 10, 38};
  p.pigtailSway = 0.3 * std::sin(phase * 2 * M_PI);
  return p;
}

// Bent to the ground, both hands gathering.
Pose Gather(double phase) {
  Pose p;
  const double reach = Key({18, 22, 24, 20}, phase);
  p.lean = 10;
  p.bob = -6;
  p.stepL = 7;
  p.stepR = -5;
  p.handR = Body{6, reach, 12 + Key({0, 3, 0, 2}, phase)};
  p.handL = Body{-6, reach - 2, 14};
  p.pigtailSway = 0.4 * std::sin(phase * 2 * M_PI);
  return p;
}

// Crouched on a stool, both hands milking in turn.
Pose Milk(double phase) {
  Pose p;
  const double pull = std::sin(phase * 2 * M_PI);
  p.lean = 8;
  p.bob = -14;
  p.stepL = 9;
  p.stepR = 9;
  p.handR = Body{5, 18, 20 + 4 * pull};
  p.handL = Body{-5, 18, 20 - 4 * pull};
  p.pigtailSway = 0.2 * pull;
  return p;
}

// Bent over the sheep, the shears snipping along the wool.
Pose Shear(double phase) {
  Pose p;
  const double snip = Key({0, 6, 0, 6, 0}, phase);
  p.lean = 7;
  p.bob = -3;
  p.stepL = 6;
  p.stepR = -2;
  p.handR = Body{8 + Key({0, 4, 8, 4}, phase), 20, 24 + snip * 0.5};
  p.handL = Body{-6, 18, 26};
  p.pigtailSway = 0.3 * std::sin(phase * 2 * M_PI);
  return p;
}

ArtPiece Animation(Pose (*pose)(double)) {
  ArtPiece piece;
  piece.draw = [pose](cairo_t* cr, const ArtFrame& f) {
    const double angle = std::fmod(270.0 + 360.0 * f.row / std::max(1u, f.rows), 360.0);
    DrawFigure(cr, f, angle, pose(f.Phase()));
  };
  return piece;
}

}  // namespace

void AddGirlArt(ArtBook& book) {
  book.Add(kAnimationSpriteSet, "girl_idle", Animation(Idle));
  book.Add(kAnimationSpriteSet, "girl_walk", Animation(Walk));
  book.Add(kAnimationSpriteSet, "girl_build", Animation(Hammer));
  book.Add(kAnimationSpriteSet, "girl_dig", Animation(Dig));
  book.Add(kAnimationSpriteSet, "girl_rubit", Animation(Chop));
  book.Add(kAnimationSpriteSet, "girl_repair", Animation(Scrub));
  book.Add(kAnimationSpriteSet, "girl_water", Animation(Water));
  book.Add(kAnimationSpriteSet, "girl_feed", Animation(Feed));
  book.Add(kAnimationSpriteSet, "girl_work", Animation(Gather));
  book.Add(kAnimationSpriteSet, "girl_milkcows", Animation(Milk));
  book.Add(kAnimationSpriteSet, "girl_cutsheep", Animation(Shear));
}

void art::DrawFarmGirl(cairo_t* cr, double footX, double footY, double height, double facingDeg, GirlMood mood) {
  Pose p = Idle(0.25);
  if (mood == GirlMood::kWave) {
    p.handR = ArmAt(1, 155, 24, 0, p.bob);
  } else if (mood == GirlMood::kCheer) {
    p.bob = 2;  // both arms up and out in a V
    p.handL = Body{-28, 3, 78 + p.bob};
    p.handR = Body{28, 3, 78 + p.bob};
  }
  const double s = height / kDesignHeight;
  ArtFrame f;
  f.width = 128 * s;
  f.height = height;
  cairo_save(cr);
  cairo_translate(cr, footX - kFootX * s, footY - kFootY * s);
  DrawFigure(cr, f, facingDeg, p);
  cairo_restore(cr);
}

#include "StartScreenArt.h"

#include <cmath>

#include "ArtKit.h"
#include "PictureCanvas.h"

using namespace art;

namespace {

constexpr double kStartScreenPi = 3.14159265358979;

void Text(cairo_t* cr, const LabelFont& font, const char* text, double size, double cx, double baseline, Rgb fill,
          double outline) {
  if (!font.Face()) return;
  cairo_set_font_face(cr, font.Face());
  cairo_set_font_size(cr, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text, &e);
  const double x = cx - e.width / 2 - e.x_bearing;
  cairo_move_to(cr, x, baseline);
  cairo_text_path(cr, text);
  if (outline > 0) {
    Source(cr, pal::kOutline);
    cairo_set_line_width(cr, outline);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
  }
  FillLit(cr, fill, x, baseline - size, x + e.width, baseline, 0.35);
  cairo_new_path(cr);
  cairo_set_font_face(cr, nullptr);  // the face goes before the canvas
}

void Background(cairo_t* cr, double w, double h, u32 rgb) {
  cairo_rectangle(cr, 0, 0, w, h);
  Source(cr, Hex(rgb));
  cairo_fill(cr);
}

// A sprout of two leaves on a stem rising from (x, y).
void Sprout(cairo_t* cr, double x, double y, double s) {
  cairo_move_to(cr, x, y);
  cairo_curve_to(cr, x, y - 20 * s, x + 4 * s, y - 34 * s, x + 2 * s, y - 46 * s);
  Rod(cr, 5 * s, pal::kLeaf, 2 * s);
  for (int side : {-1, 1}) {
    const double lx = x + 2 * s, ly = y - 44 * s;
    cairo_move_to(cr, lx, ly);
    cairo_curve_to(cr, lx + side * 10 * s, ly - 22 * s, lx + side * 34 * s, ly - 18 * s, lx + side * 40 * s, ly - 4 * s);
    cairo_curve_to(cr, lx + side * 28 * s, ly + 8 * s, lx + side * 10 * s, ly + 6 * s, lx, ly);
    FillLit(cr, side < 0 ? pal::kGrassLight : pal::kGrass, lx - 40 * s, ly - 22 * s, lx + 40 * s, ly + 8 * s);
    Outline(cr, 3 * s);
  }
}

}  // namespace

void DrawStudioMark(PictureCanvas& canvas, const LabelFont& font) {
  cairo_t* cr = canvas.Cairo();
  const double w = canvas.Width(), h = canvas.Height();
  Background(cr, w, h, kStudioBackground);
  SoftEllipse(cr, w / 2, h / 2 - 20, 300, 220, Hex(0x4C6B3A), 0.8);
  // A round pebble with a sprout: the studio's mark.
  GroundShadow(cr, w / 2 + 6, h / 2 + 62, 120, 22, 0.45);
  Blob(cr, w / 2, h / 2 + 10, 118, 70, 5, 0.06, 7);
  FillLit(cr, pal::kStone, w / 2 - 118, h / 2 - 60, w / 2 + 118, h / 2 + 80, 0.4);
  Outline(cr, 5);
  Gleam(cr, w / 2 - 58, h / 2 - 22, 26, 12, 0.7);
  Sprout(cr, w / 2 + 4, h / 2 - 50, 1.6);
  Text(cr, font, "PEBBLEMOSS", 64, w / 2, h / 2 + 170, pal::kPanel, 6);
  Text(cr, font, "little games", 28, w / 2, h / 2 + 212, pal::kGrassLight, 0);
}

void DrawGameLogo(PictureCanvas& canvas, const LabelFont& font) {
  cairo_t* cr = canvas.Cairo();
  const double w = canvas.Width(), h = canvas.Height();
  // On the sky's colour a rounded card: sky, sun, rolling hills and a red
  // barn under the title.
  Background(cr, w, h, kGameLogoBackground);
  cairo_save(cr);
  RoundRect(cr, 40, 30, w - 80, h - 60, 48);
  cairo_clip(cr);
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(sky, 0, 0.45, 0.75, 0.95);
  cairo_pattern_add_color_stop_rgb(sky, 0.6, 0.75, 0.9, 0.98);
  cairo_set_source(cr, sky);
  cairo_fill(cr);
  cairo_pattern_destroy(sky);
  SoftEllipse(cr, 640, 110, 110, 110, pal::kYellow, 0.5);
  cairo_arc(cr, 640, 110, 48, 0, 2 * kStartScreenPi);
  FillRound(cr, pal::kYellow, 640, 110, 48);
  Outline(cr, 3, pal::kOrange);
  const Rgb hills[] = {pal::kGrassLight, pal::kGrass, pal::kGrassDark};
  for (int i = 0; i < 3; ++i) {
    const double top = 380 + i * 60;
    cairo_move_to(cr, 0, top + 30);
    for (double x = 0; x <= w; x += 20) cairo_line_to(cr, x, top + 24 * std::sin(x / 130.0 + i * 1.7));
    cairo_line_to(cr, w, h);
    cairo_line_to(cr, 0, h);
    cairo_close_path(cr);
    FillLit(cr, hills[i], 0, top - 30, w, h, 0.25);
    Outline(cr, 3, pal::kGrassDark, 0.6);
  }
  // The barn, its roof's ridge clear of the board.
  const double bx = 150, by = 352;
  cairo_rectangle(cr, bx, by, 150, 110);
  FillLit(cr, pal::kRed, bx, by, bx + 150, by + 110);
  Outline(cr, 4);
  cairo_move_to(cr, bx - 14, by + 4);
  cairo_line_to(cr, bx + 75, by - 60);
  cairo_line_to(cr, bx + 164, by + 4);
  cairo_close_path(cr);
  FillLit(cr, pal::kWoodDark, bx - 14, by - 60, bx + 164, by + 4);
  Outline(cr, 4);
  cairo_rectangle(cr, bx + 50, by + 50, 50, 60);
  FillLit(cr, pal::kWhite, bx + 50, by + 50, bx + 100, by + 110);
  Outline(cr, 3);
  cairo_move_to(cr, bx + 50, by + 50);
  cairo_line_to(cr, bx + 100, by + 110);
  cairo_move_to(cr, bx + 100, by + 50);
  cairo_line_to(cr, bx + 50, by + 110);
  Outline(cr, 3, pal::kRed);
  // Title on a wooden board.
  RoundRect(cr, 170, 150, 460, 130, 26);
  FillLit(cr, pal::kWood, 170, 150, 630, 280, 0.35);
  Outline(cr, 6);
  RoundRect(cr, 184, 164, 432, 102, 18);
  Outline(cr, 3, pal::kWoodDark, 0.7);
  Text(cr, font, "Tallowmere", 76, 400, 236, pal::kYellow, 7);
  Text(cr, font, "FARM", 36, 400, 326, pal::kWhite, 5);
  Sprout(cr, 560, 470, 1.0);
  Sprout(cr, 610, 500, 0.8);
  cairo_restore(cr);
  RoundRect(cr, 40, 30, w - 80, h - 60, 48);
  Outline(cr, 8);
}

void DrawLoadingBar(PictureCanvas& canvas) {
  cairo_t* cr = canvas.Cairo();
  const double w = canvas.Width(), h = canvas.Height();
  RoundRect(cr, 1, 1, w - 2, h - 2, (h - 2) / 2);
  FillLit(cr, pal::kGrass, 0, 0, w, h, 0.45);
  cairo_new_path(cr);
  // Diagonal stripes of lighter grass.
  cairo_save(cr);
  RoundRect(cr, 1, 1, w - 2, h - 2, (h - 2) / 2);
  cairo_clip(cr);
  for (double x = -h; x < w; x += 22) {
    cairo_move_to(cr, x, h);
    cairo_line_to(cr, x + h, 0);
    cairo_line_to(cr, x + h + 10, 0);
    cairo_line_to(cr, x + 10, h);
    cairo_close_path(cr);
  }
  Source(cr, pal::kGrassLight, 0.5);
  cairo_fill(cr);
  cairo_restore(cr);
  Gleam(cr, w * 0.3, h * 0.3, w * 0.25, h * 0.12, 0.45);
}

void DrawBackGlow(PictureCanvas& canvas) {
  cairo_t* cr = canvas.Cairo();
  const double w = canvas.Width(), h = canvas.Height();
  SoftEllipse(cr, w / 2, h / 2, w / 2, h / 2, pal::kYellow, 0.55, 0.4, 0.6);
}

void DrawLoadingPanel(PictureCanvas& canvas) {
  cairo_t* cr = canvas.Cairo();
  const double w = canvas.Width(), h = canvas.Height();
  RoundRect(cr, 2, 2, w - 4, h - 4, (h - 4) / 2);
  FillLit(cr, pal::kWood, 0, 0, w, h, 0.35);
  Outline(cr, 3);
  RoundRect(cr, 7, 7, w - 14, h - 14, (h - 14) / 2);
  Source(cr, pal::kSoilDark);
  cairo_fill_preserve(cr);
  Outline(cr, 2, pal::kWoodDark);
}

void DrawScreenBorder(PictureCanvas& canvas) {
  cairo_t* cr = canvas.Cairo();
  const double w = canvas.Width(), h = canvas.Height();
  const double edge = 19, fill = w - edge;
  // The fill: a hedge of leaves on dark soil.
  cairo_rectangle(cr, 0, 0, fill, h);
  Source(cr, pal::kGrassDark);
  cairo_fill(cr);
  Rand r(3);
  for (int i = 0; i < 26; ++i) {
    const double x = r.Range(0, fill), y = r.Range(0, h);
    Ellipse(cr, x, y, r.Range(5, 9), r.Range(3, 6));
    FillLit(cr, i % 2 ? pal::kLeaf : pal::kGrass, x - 9, y - 6, x + 9, y + 6, 0.3, 0.8);
    cairo_new_path(cr);
  }
  // The edge: a wooden fence rail against the game area.
  cairo_rectangle(cr, fill, 0, edge, h);
  FillLit(cr, pal::kWood, fill, 0, w, h, 0.3);
  cairo_new_path(cr);
  cairo_move_to(cr, fill + 0.5, 0);
  cairo_line_to(cr, fill + 0.5, h);
  cairo_move_to(cr, w - 1.5, 0);
  cairo_line_to(cr, w - 1.5, h);
  Outline(cr, 2);
  for (double y = 8; y < h; y += 32) {
    cairo_arc(cr, fill + edge / 2, y, 2, 0, 2 * kStartScreenPi);
    Source(cr, pal::kWoodDark);
    cairo_fill(cr);
  }
}

void DrawLoadingLogo(PictureCanvas& canvas, const LabelFont& font) {
  cairo_t* cr = canvas.Cairo();
  const double w = canvas.Width(), h = canvas.Height();
  RoundRect(cr, 4, 4, w - 8, h - 8, 22);
  FillLit(cr, pal::kPanel, 0, 0, w, h, 0.25);
  Outline(cr, 5);
  // A little barn and a sprout on a hill, the farm's sign.
  cairo_move_to(cr, 12, h - 18);
  cairo_curve_to(cr, w * 0.3, h * 0.55, w * 0.7, h * 0.55, w - 12, h - 18);
  cairo_line_to(cr, w - 12, h - 12);
  cairo_line_to(cr, 12, h - 12);
  cairo_close_path(cr);
  FillLit(cr, pal::kGrass, 0, h * 0.5, w, h, 0.3);
  cairo_new_path(cr);
  // The barn stands on the hill's left under the name, clear of its letters.
  const double bx = w * 0.13, by = h * 0.52, bw = w * 0.17, bh = h * 0.24;
  cairo_rectangle(cr, bx, by, bw, bh);
  FillLit(cr, pal::kRed, bx, by, bx + bw, by + bh);
  Outline(cr, 3);
  cairo_move_to(cr, bx - 6, by + 2);
  cairo_line_to(cr, bx + bw / 2, by - bh * 0.55);
  cairo_line_to(cr, bx + bw + 6, by + 2);
  cairo_close_path(cr);
  FillLit(cr, pal::kWoodDark, bx, by - bh, bx + bw, by);
  Outline(cr, 3);
  Sprout(cr, w * 0.8, h * 0.84, 0.6);
  Sprout(cr, w * 0.62, h * 0.8, 0.45);
  Text(cr, font, "Tallowmere", h * 0.25, w * 0.5, h * 0.33, pal::kYellow, 4);
}

// The farm at midday in a rounded frame: sky, sun and a cloud, rolling
// hills, the red barn with its silo, a fence, furrowed fields and a tree.
void DrawCreditsFarm(PictureCanvas& canvas) {
  cairo_t* cr = canvas.Cairo();
  const double w = canvas.Width(), h = canvas.Height();
  RoundRect(cr, 3, 3, w - 6, h - 6, 16);
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, h * 0.6);
  cairo_pattern_add_color_stop_rgb(sky, 0, pal::kBlue.r, pal::kBlue.g, pal::kBlue.b);
  cairo_pattern_add_color_stop_rgb(sky, 1, Lighter(pal::kSky, 0.35).r, Lighter(pal::kSky, 0.35).g,
                                   Lighter(pal::kSky, 0.35).b);
  cairo_set_source(cr, sky);
  cairo_fill(cr);
  cairo_pattern_destroy(sky);
  // The sun with its glow, a cloud.
  SoftEllipse(cr, w * 0.82, h * 0.24, h * 0.3, h * 0.3, pal::kYellow, 0.5);
  Ellipse(cr, w * 0.82, h * 0.24, h * 0.12, h * 0.12);
  FillRound(cr, pal::kYellow, w * 0.82, h * 0.24, h * 0.12);
  Outline(cr, 2);
  Blob(cr, w * 0.36, h * 0.2, w * 0.1, h * 0.08, 5, 0.18, 11);
  FillLit(cr, pal::kWhite, w * 0.26, h * 0.12, w * 0.46, h * 0.28, 0.12);
  Outline(cr, 1.5, pal::kOutline, 0.5);
  // Far hill, near hill: a curve across the picture closed along its foot.
  const auto hill = [&](double left, double c1, double c2, double right) {
    cairo_move_to(cr, 0, h * left);
    cairo_curve_to(cr, w * 0.28, h * c1, w * 0.62, h * c2, w, h * right);
    cairo_line_to(cr, w, h);
    cairo_line_to(cr, 0, h);
    cairo_close_path(cr);
  };
  hill(0.58, 0.4, 0.42, 0.52);
  FillLit(cr, pal::kGrassLight, 0, h * 0.4, w, h, 0.2);
  Outline(cr, 2, pal::kOutline, 0.6);
  hill(0.7, 0.6, 0.62, 0.68);
  FillLit(cr, pal::kGrass, 0, h * 0.6, w, h, 0.25);
  cairo_new_path(cr);
  // Furrowed field in the front right.
  cairo_move_to(cr, w * 0.5, h);
  cairo_line_to(cr, w * 0.62, h * 0.74);
  cairo_line_to(cr, w, h * 0.72);
  cairo_line_to(cr, w, h);
  cairo_close_path(cr);
  FillLit(cr, pal::kSoil, w * 0.5, h * 0.72, w, h, 0.25);
  Outline(cr, 2);
  for (int i = 1; i < 6; ++i) {
    // A furrow from the front edge back to the field's far edge.
    const double t = i / 6.0;
    const double x0 = w * 0.5 + t * w * 0.5, x1 = w * 0.62 + t * w * 0.38, y1 = h * 0.74 - t * h * 0.02;
    cairo_move_to(cr, x0, h);
    cairo_line_to(cr, x1, y1);
    Source(cr, pal::kSoilDark, 0.8);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    for (int k = 0; k < 3; ++k) {
      const double u = 0.3 + k * 0.25;
      Sprout(cr, x0 + (x1 - x0) * u, h + (y1 - h) * u - 1, 0.14 + 0.06 * (1 - u));
    }
  }
  // The silo and the barn.
  const double sx = w * 0.36, sy = h * 0.34, sw = w * 0.07, sh = h * 0.38;
  cairo_rectangle(cr, sx, sy, sw, sh);
  FillLit(cr, pal::kStone, sx, sy, sx + sw, sy + sh, 0.35);
  Outline(cr, 2);
  cairo_arc(cr, sx + sw / 2, sy, sw / 2, kStartScreenPi, 0);
  cairo_close_path(cr);
  FillLit(cr, pal::kStoneDark, sx, sy - sw / 2, sx + sw, sy, 0.3);
  Outline(cr, 2);
  GroundShadow(cr, w * 0.28, h * 0.73, w * 0.17, h * 0.04);
  const double bx = w * 0.14, by = h * 0.44, bw = w * 0.24, bh = h * 0.29;
  cairo_rectangle(cr, bx, by, bw, bh);
  FillLit(cr, pal::kRed, bx, by, bx + bw, by + bh, 0.3);
  Outline(cr, 2.5);
  cairo_move_to(cr, bx - 5, by + 2);
  cairo_line_to(cr, bx + bw * 0.2, by - bh * 0.45);
  cairo_line_to(cr, bx + bw * 0.8, by - bh * 0.45);
  cairo_line_to(cr, bx + bw + 5, by + 2);
  cairo_close_path(cr);
  FillLit(cr, pal::kWoodDark, bx, by - bh * 0.45, bx + bw, by, 0.3);
  Outline(cr, 2.5);
  // The doors with their white cross, the hay loft.
  const double dx = bx + bw * 0.32, dy = by + bh * 0.38, dw = bw * 0.36, dh = bh * 0.62;
  cairo_rectangle(cr, dx, dy, dw, dh);
  FillLit(cr, Darker(pal::kRed, 0.25), dx, dy, dx + dw, dy + dh, 0.2);
  Outline(cr, 2);
  cairo_move_to(cr, dx, dy);
  cairo_line_to(cr, dx + dw, dy + dh);
  cairo_move_to(cr, dx + dw, dy);
  cairo_line_to(cr, dx, dy + dh);
  Rod(cr, 2, pal::kWhite, 0.8);
  cairo_rectangle(cr, bx + bw * 0.4, by - bh * 0.22, bw * 0.2, bh * 0.22);
  FillLit(cr, pal::kStraw, bx + bw * 0.4, by - bh * 0.22, bx + bw * 0.6, by, 0.3);
  Outline(cr, 1.5);
  // The tree on the right of the barn.
  const double tx = w * 0.5, ty = h * 0.7;
  cairo_move_to(cr, tx, ty);
  cairo_line_to(cr, tx, ty - h * 0.2);
  Rod(cr, 5, pal::kWoodDark, 1.5);
  Blob(cr, tx, ty - h * 0.3, w * 0.07, h * 0.15, 7, 0.15, 5);
  FillLit(cr, pal::kLeaf, tx - w * 0.07, ty - h * 0.45, tx + w * 0.07, ty - h * 0.15, 0.35);
  Outline(cr, 2);
  // A fence along the front left.
  for (int i = 0; i < 7; ++i) {
    const double fx = w * 0.04 + i * w * 0.065, fy = h * 0.9 - i * h * 0.012;
    cairo_rectangle(cr, fx, fy - h * 0.12, 4, h * 0.12);
    FillLit(cr, pal::kWood, fx, fy - h * 0.12, fx + 4, fy, 0.3);
    Outline(cr, 1.2);
  }
  for (double rail : {0.04, 0.085}) {
    cairo_move_to(cr, w * 0.03, h * 0.9 - h * rail);
    cairo_line_to(cr, w * 0.43, h * 0.9 - 6 * h * 0.012 - h * rail);
    Rod(cr, 2.5, pal::kWood, 1);
  }
  for (int i = 0; i < 9; ++i)
    GrassTuft(cr, w * (0.05 + i * 0.1), h * (0.94 + 0.02 * (i % 2)), h * 0.06, 40 + i);
  Flower(cr, w * 0.46, h * 0.93, h * 0.05, pal::kPink);
  Flower(cr, w * 0.1, h * 0.96, h * 0.05, pal::kWhite);
  cairo_restore(cr);
  RoundRect(cr, 3, 3, w - 6, h - 6, 16);
  Outline(cr, 4);
}

void DrawWindowIcon(PictureCanvas& canvas) {
  cairo_t* cr = canvas.Cairo();
  const double s = canvas.Width() / 64.0;
  cairo_scale(cr, s, s);
  RoundRect(cr, 3, 3, 58, 58, 12);
  FillLit(cr, pal::kSky, 3, 3, 61, 61, 0.3);
  Outline(cr, 3);
  cairo_move_to(cr, 4, 48);
  cairo_curve_to(cr, 20, 38, 44, 38, 60, 48);
  cairo_line_to(cr, 60, 58);
  cairo_line_to(cr, 4, 58);
  cairo_close_path(cr);
  FillLit(cr, pal::kGrass, 4, 38, 60, 60);
  cairo_new_path(cr);
  cairo_rectangle(cr, 14, 26, 22, 20);
  FillLit(cr, pal::kRed, 14, 26, 36, 46);
  Outline(cr, 2.5);
  cairo_move_to(cr, 11, 27);
  cairo_line_to(cr, 25, 15);
  cairo_line_to(cr, 39, 27);
  cairo_close_path(cr);
  FillLit(cr, pal::kWoodDark, 11, 15, 39, 27);
  Outline(cr, 2.5);
  Sprout(cr, 45, 50, 0.36);
}

const CursorArt kCursorArt[kCursorArtCount] = {{"arrow.cur", 1, 1},  {"hand.cur", 9, 2},    {"arrow_gray.cur", 1, 1},
                                              {"ibeam.cur", 8, 15}, {"pan.cur", 15, 15},    {"pan_on.cur", 15, 15},
                                              {"delete.cur", 15, 15}};

namespace {

void Arrow(cairo_t* cr, Rgb fill) {
  cairo_move_to(cr, 1.5, 1.5);
  cairo_line_to(cr, 1.5, 23);
  cairo_line_to(cr, 7, 18);
  cairo_line_to(cr, 11, 27);
  cairo_line_to(cr, 15, 25);
  cairo_line_to(cr, 11, 16.5);
  cairo_line_to(cr, 18.5, 16.5);
  cairo_close_path(cr);
  FillLit(cr, fill, 0, 0, 19, 27, 0.3);
  Outline(cr, 1.6);
}

void Hand(cairo_t* cr, bool closed) {
  // A gloved hand: palm with fingers up (open) or curled (closed).
  RoundRect(cr, 6, closed ? 12 : 14, 18, 14, 5);
  FillLit(cr, pal::kSkin, 6, 12, 24, 28);
  Outline(cr, 1.5);
  for (int i = 0; i < 4; ++i) {
    const double x = 7 + i * 4.2, top = closed ? 9 : (i == 0 ? 2 : 5 + (i == 3 ? 3 : 0));
    RoundRect(cr, x, top, 4, (closed ? 8 : 14) - (i == 3 ? 3 : 0), 2);
    FillLit(cr, pal::kSkin, x, top, x + 4, top + 14);
    Outline(cr, 1.3);
  }
  RoundRect(cr, 2, 17, 7, 4, 2);
  FillLit(cr, pal::kSkin, 2, 17, 9, 21);
  Outline(cr, 1.3);
}

}  // namespace

void DrawCursor(PictureCanvas& canvas, u32 index) {
  cairo_t* cr = canvas.Cairo();
  switch (index) {
    case 0: Arrow(cr, pal::kWhite); break;
    case 2: Arrow(cr, pal::kStone); break;
    case 1:
      // A pointing finger.
      RoundRect(cr, 7, 1, 5, 16, 2.5);
      FillLit(cr, pal::kSkin, 7, 1, 12, 17);
      Outline(cr, 1.4);
      RoundRect(cr, 5, 12, 17, 14, 5);
      FillLit(cr, pal::kSkin, 5, 12, 22, 26);
      Outline(cr, 1.5);
      break;
    case 3:
      cairo_move_to(cr, 5, 2);
      cairo_line_to(cr, 11, 2);
      cairo_move_to(cr, 8, 2);
      cairo_line_to(cr, 8, 28);
      cairo_move_to(cr, 5, 28);
      cairo_line_to(cr, 11, 28);
      Rod(cr, 2, pal::kWhite, 1);
      break;
    case 4: Hand(cr, false); break;
    case 5: Hand(cr, true); break;
    default:
      // A red round sign with a white cross.
      cairo_arc(cr, 15.5, 15.5, 12, 0, 2 * kStartScreenPi);
      FillRound(cr, pal::kRed, 15.5, 15.5, 12);
      Outline(cr, 1.6);
      cairo_move_to(cr, 10.5, 10.5);
      cairo_line_to(cr, 20.5, 20.5);
      cairo_move_to(cr, 20.5, 10.5);
      cairo_line_to(cr, 10.5, 20.5);
      Rod(cr, 3, pal::kWhite, 0.8);
      break;
  }
}

std::vector<u8> CursorFile(u32 width, u32 height, const std::vector<u32>& argb, i32 hotspotX, i32 hotspotY) {
  std::vector<u8> out;
  auto u8_ = [&](u32 v) { out.push_back(static_cast<u8>(v)); };
  auto u16_ = [&](u32 v) { u8_(v & 0xFF); u8_(v >> 8 & 0xFF); };
  auto u32_ = [&](u32 v) { u16_(v & 0xFFFF); u16_(v >> 16); };
  const u32 maskStride = (width + 31) / 32 * 4;
  const u32 size = 40 + width * height * 4 + maskStride * height;
  u16_(0);
  u16_(2);
  u16_(1);
  u8_(width);
  u8_(height);
  u8_(0);
  u8_(0);
  u16_(static_cast<u32>(hotspotX));
  u16_(static_cast<u32>(hotspotY));
  u32_(size);
  u32_(22);
  u32_(40);
  u32_(width);
  u32_(2 * height);
  u16_(1);
  u16_(32);
  for (int i = 0; i < 6; ++i) u32_(0);
  for (u32 r = 0; r < height; ++r)
    for (u32 x = 0; x < width; ++x) u32_(argb[(height - 1 - r) * width + x]);
  for (u32 r = 0; r < height; ++r) {
    std::vector<u8> row(maskStride, 0);
    for (u32 x = 0; x < width; ++x)
      if ((argb[(height - 1 - r) * width + x] >> 24) == 0) row[x / 8] |= static_cast<u8>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

// The title picture of the main screen: the game's name on a wooden sign
// hung from a rainbow-like arch of wheat, a sun rising behind it.
void DrawTitleLogo(PictureCanvas& canvas, const LabelFont& font) {
  cairo_t* cr = canvas.Cairo();
  const double w = canvas.Width(), h = canvas.Height();
  // The sun's glow and rays behind the sign.
  art::SoftEllipse(cr, w * 0.5, h * 0.46, w * 0.46, h * 0.5, pal::kYellow, 0.55, 0.4, 0.6);
  for (int k = 0; k < 14; ++k) {
    const double a = M_PI + k * M_PI / 13;
    cairo_move_to(cr, w * 0.5, h * 0.56);
    cairo_line_to(cr, w * 0.5 + std::cos(a - 0.05) * w * 0.5, h * 0.56 + std::sin(a - 0.05) * h * 0.58);
    cairo_line_to(cr, w * 0.5 + std::cos(a + 0.05) * w * 0.5, h * 0.56 + std::sin(a + 0.05) * h * 0.58);
    cairo_close_path(cr);
    Source(cr, pal::kWhite, 0.22);
    cairo_fill(cr);
  }
  // The sign: a plank with a darker rim, two ropes up to the top.
  const double sx = w * 0.06, sy = h * 0.3, sw = w * 0.88, sh = h * 0.46;
  for (const double rx : {sx + sw * 0.18, sx + sw * 0.82}) {
    cairo_move_to(cr, rx, sy + 6);
    cairo_line_to(cr, w * 0.5 + (rx - w * 0.5) * 0.55, 6);
    Rod(cr, 4, pal::kStraw, 1.5);
  }
  RoundRect(cr, sx, sy, sw, sh, 26);
  FillLit(cr, pal::kWood, sx, sy, sx + sw, sy + sh, 0.35);
  Outline(cr, 6);
  RoundRect(cr, sx + 10, sy + 10, sw - 20, sh - 20, 18);
  Source(cr, pal::kWoodDark, 0.45);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  for (int g = 0; g < 3; ++g) {  // the wood's grain
    cairo_move_to(cr, sx + 30, sy + sh * (0.3 + g * 0.22));
    cairo_curve_to(cr, sx + sw * 0.4, sy + sh * (0.25 + g * 0.22), sx + sw * 0.6, sy + sh * (0.36 + g * 0.22),
                   sx + sw - 30, sy + sh * (0.3 + g * 0.22));
    Source(cr, pal::kWoodDark, 0.25);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
  }
  // Nails in the corners, flowers and a sprout at the ends.
  for (const double nx : {sx + 22, sx + sw - 22})
    for (const double ny : {sy + 22, sy + sh - 22}) {
      art::Ellipse(cr, nx, ny, 5, 5);
      FillRound(cr, pal::kMetal, nx, ny, 5);
      Outline(cr, 1.5);
    }
  Flower(cr, sx + 12, sy + sh + 2, 28, pal::kPink);
  Flower(cr, sx + 42, sy + sh + 10, 22, pal::kWhite);
  Flower(cr, sx + sw - 14, sy + sh + 4, 26, pal::kYellow, pal::kOrange);
  Sprout(cr, sx + sw - 46, sy + sh + 14, 0.8);
  Text(cr, font, "Tallowmere", h * 0.25, w * 0.5, sy + sh * 0.55, pal::kYellow, 7);
  Text(cr, font, "FARM", h * 0.11, w * 0.5, sy + sh * 0.86, pal::kWhite, 4);
}

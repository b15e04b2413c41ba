#include "SkinPaint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace skin {

namespace {

// The pixels of the image surface cr draws on, flushed for direct access;
// empty (null data) when it is no image surface. Done() hands them back.
struct Pixels {
  cairo_surface_t* surface = nullptr;
  u8* data = nullptr;
  i32 stride = 0, width = 0, height = 0;

  explicit Pixels(cairo_t* cr) {
    cairo_surface_t* s = cairo_get_target(cr);
    if (cairo_surface_get_type(s) != CAIRO_SURFACE_TYPE_IMAGE) return;
    cairo_surface_flush(s);
    surface = s;
    data = cairo_image_surface_get_data(s);
    stride = cairo_image_surface_get_stride(s);
    width = cairo_image_surface_get_width(s);
    height = cairo_image_surface_get_height(s);
  }
  u32* At(i32 x, i32 y) const {
    if (!data || x < 0 || y < 0 || x >= width || y >= height) return nullptr;
    return reinterpret_cast<u32*>(data + static_cast<size_t>(y) * stride) + x;
  }
  void Done() const {
    if (surface) cairo_surface_mark_dirty(surface);
  }
};

// Makes the flat spans of the frame whose top left is at device (ox, oy)
// exactly alike.
void Flatten(cairo_t* cr, const SkinPiece& p, i32 ox, i32 oy) {
  const Pixels px(cr);
  if (!px.data || ox < 0 || oy < 0 || ox + p.frameWidth > px.width || oy + p.frameHeight > px.height) return;
  auto at = [&](i32 x, i32 y) { return px.At(ox + x, oy + y); };
  for (const SkinSpan& c : p.FlatColumns())
    for (i32 y = 0; y < p.frameHeight; ++y)
      for (i32 x = c.from + 1; x < c.to; ++x) *at(x, y) = *at(c.from, y);
  for (const SkinSpan& r : p.FlatRows())
    for (i32 y = r.from + 1; y < r.to; ++y) std::memcpy(at(0, y), at(0, r.from), static_cast<size_t>(p.frameWidth) * 4);
  px.Done();
}

// Repeats the edge lines of the stretched pieces beyond them (SkinBleeds).
void Bleed(cairo_t* cr, const std::string& image) {
  const Pixels px(cr);
  if (!px.data) return;
  double ox = 0, oy = 0;
  cairo_user_to_device(cr, &ox, &oy);
  const i32 dx = static_cast<i32>(std::lround(ox)), dy = static_cast<i32>(std::lround(oy));
  for (const SkinBleed& b : SkinBleeds(image))
    for (i32 k = 0; k < b.length; ++k) {
      u32* to = px.At(dx + b.x + (b.row ? k : 0), dy + b.y + (b.row ? 0 : k));
      const u32* from = px.At(dx + b.fromX + (b.row ? k : 0), dy + b.fromY + (b.row ? 0 : k));
      if (to && from) *to = *from;
    }
  px.Done();
}

// The column holding a frame of the piece, or null.
const skins::SkinColumn* ColumnOf(const SkinPiece& p) {
  for (const skins::SkinColumn* c : skins::kColumns)
    if (p.image == std::string(c->image) && p.x >= c->x && p.y >= c->y && p.Right() <= c->x + c->width &&
        p.Bottom() <= c->y + c->height)
      return c;
  return nullptr;
}

Painter FindPainter(const char* key) {
  const Painters* families[] = {&InterfacePainters(), &LevelPainters(), &HudPainters()};
  Painter paint = nullptr;
  for (const Painters* family : families)
    if (const auto it = family->find(key); it != family->end()) paint = it->second;
  if (!paint) std::fprintf(stderr, "databuild: no drawing for the skin piece %s\n", key);
  return paint;
}

// A column is drawn once, as a whole, inside its rectangle: the cuts of
// windows still to come find their rows drawn too.
void PaintColumn(cairo_t* cr, const skins::SkinColumn& c) {
  const Painter paint = FindPainter(c.key);
  if (!paint) return;
  cairo_new_path(cr);
  cairo_save(cr);
  cairo_rectangle(cr, c.x, c.y, c.width, c.height);
  cairo_clip(cr);
  cairo_new_path(cr);
  cairo_translate(cr, c.x, c.y);
  paint(cr, Frame{static_cast<double>(c.width), static_cast<double>(c.height), 0, nullptr});
  cairo_new_path(cr);
  cairo_restore(cr);
}

}  // namespace

void PaintImage(cairo_t* cr, const std::string& image) {
  for (const skins::SkinColumn* c : skins::kColumns)
    if (c->image == image) PaintColumn(cr, *c);
  for (const SkinPiece* piece : SkinPieces()) {
    const SkinPiece& p = *piece;
    if (p.image != image) continue;
    const Painter paint = ColumnOf(p) ? nullptr : FindPainter(p.key);
    if (!paint) {
      double ox = 0, oy = 0;
      cairo_user_to_device(cr, &ox, &oy);
      Flatten(cr, p, static_cast<i32>(std::lround(ox)) + p.x, static_cast<i32>(std::lround(oy)) + p.y);
      continue;
    }
    for (u32 i = 0; i < p.frames; ++i) {
      cairo_new_path(cr);
      cairo_save(cr);
      cairo_translate(cr, p.x + static_cast<i32>(i) * p.stepX, p.y + static_cast<i32>(i) * p.stepY);
      cairo_rectangle(cr, 0, 0, p.frameWidth, p.frameHeight);
      cairo_clip(cr);
      cairo_new_path(cr);
      paint(cr, Frame{static_cast<double>(p.frameWidth), static_cast<double>(p.frameHeight), i, &p});
      cairo_new_path(cr);
      double ox = 0, oy = 0;
      cairo_user_to_device(cr, &ox, &oy);
      cairo_restore(cr);
      Flatten(cr, p, static_cast<i32>(std::lround(ox)), static_cast<i32>(std::lround(oy)));
    }
  }
  Bleed(cr, image);
}

void Box(cairo_t* cr, double x0, double y0, double x1, double y1, double tl, double tr, double br, double bl) {
  const double most = std::min(x1 - x0, y1 - y0) / 2;
  tl = std::min(tl, most);
  tr = std::min(tr, most);
  br = std::min(br, most);
  bl = std::min(bl, most);
  cairo_new_sub_path(cr);
  cairo_move_to(cr, x0 + tl, y0);
  cairo_line_to(cr, x1 - tr, y0);
  if (tr > 0) cairo_arc(cr, x1 - tr, y0 + tr, tr, -M_PI / 2, 0);
  cairo_line_to(cr, x1, y1 - br);
  if (br > 0) cairo_arc(cr, x1 - br, y1 - br, br, 0, M_PI / 2);
  cairo_line_to(cr, x0 + bl, y1);
  if (bl > 0) cairo_arc(cr, x0 + bl, y1 - bl, bl, M_PI / 2, M_PI);
  cairo_line_to(cr, x0, y0 + tl);
  if (tl > 0) cairo_arc(cr, x0 + tl, y0 + tl, tl, M_PI, 1.5 * M_PI);
  cairo_close_path(cr);
}

namespace {
void FillRun(cairo_t* cr, cairo_pattern_t* g, art::Rgb a, art::Rgb b, double alpha) {
  cairo_pattern_add_color_stop_rgba(g, 0, a.r, a.g, a.b, alpha);
  cairo_pattern_add_color_stop_rgba(g, 1, b.r, b.g, b.b, alpha);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
}
}  // namespace

void FillDown(cairo_t* cr, art::Rgb top, art::Rgb bottom, double y0, double y1, double alpha) {
  FillRun(cr, cairo_pattern_create_linear(0, y0, 0, y1), top, bottom, alpha);
}

void FillAcross(cairo_t* cr, art::Rgb left, art::Rgb right, double x0, double x1, double alpha) {
  FillRun(cr, cairo_pattern_create_linear(x0, 0, x1, 0), left, right, alpha);
}

void Line(cairo_t* cr, double x0, double y0, double x1, double y1, double width, art::Rgb c, double alpha) {
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_width(cr, width);
  art::Source(cr, c, alpha);
  cairo_stroke(cr);
}

art::Rgb WoodLight() { return art::Lighter(art::pal::kWood, 0.25); }
art::Rgb WoodShade() { return art::Darker(art::pal::kWood, 0.28); }

art::Rgb StateTint(art::Rgb base, u32 state) {
  switch (state & 3) {
    case 0:
      return art::Mix(art::Mix(base, art::pal::kStone, 0.8), art::pal::kStoneDark, 0.2);
    case 2:
      return art::Lighter(base, 0.35);
    case 3:
      return art::Darker(base, 0.22);
    default:
      return base;
  }
}

}  // namespace skin

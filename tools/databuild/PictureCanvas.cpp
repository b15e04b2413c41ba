#include "PictureCanvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

#include "engine/image/SaveBitmapTGA.h"
#include "platform/font/FontResolver.h"

PictureCanvas::PictureCanvas(u32 width, u32 height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height))),
      cr_(cairo_create(surface_)) {}

PictureCanvas::~PictureCanvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

// cairo keeps premultiplied alpha; the game's pictures keep it straight.
std::vector<u32> PictureCanvas::Pixels() {
  cairo_surface_flush(surface_);
  std::vector<u32> out(static_cast<size_t>(width_) * height_, 0);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  if (!data) return out;
  for (u32 y = 0; y < height_; ++y) {
    const u32* row = reinterpret_cast<const u32*>(data + static_cast<size_t>(y) * stride);
    for (u32 x = 0; x < width_; ++x) {
      const u32 p = row[x], a = p >> 24;
      if (a == 0) continue;
      auto channel = [&](u32 shift) { return std::min<u32>(255, (((p >> shift) & 0xFF) * 255 + a / 2) / a) << shift; };
      out[static_cast<size_t>(y) * width_ + x] = (a << 24) | channel(16) | channel(8) | channel(0);
    }
  }
  return out;
}

std::vector<u8> PictureCanvas::TargaFile() {
  const std::vector<u32> pixels = Pixels();
  return DXLEncodeTGA32(width_, height_, pixels.data(), 0, true);
}

namespace {

const cairo_user_data_key_t kFaceKey{};

void DoneFace(void* face) { FT_Done_Face(static_cast<FT_Face>(face)); }

}  // namespace

LabelFont::LabelFont() {
  plat::FontFileChoice choice;
  if (!plat::DefaultFontResolver().Resolve(u"Arial", 400, false, choice)) return;
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return;
  library_ = library;
  FT_Face face = nullptr;
  if (FT_New_Face(library, choice.path.c_str(), choice.faceIndex, &face) != 0) return;
  face_ = cairo_ft_font_face_create_for_ft_face(face, 0);
  // cairo frees the face when its own face goes.
  if (cairo_font_face_set_user_data(face_, &kFaceKey, face, DoneFace) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(face_);
    face_ = nullptr;
    FT_Done_Face(face);
  }
}

LabelFont::~LabelFont() {
  if (face_) cairo_font_face_destroy(face_);
  cairo_debug_reset_static_data();
  if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

namespace {

// A calm colour per sprite set, so placeholders of one set look alike.
void SetColour(cairo_t* cr, u32 set, double shade, double alpha) {
  const double hue = std::fmod(set * 0.6180339887, 1.0) * 6.0;
  const double f = hue - std::floor(hue);
  double r = 0, g = 0, b = 0;
  switch (static_cast<int>(hue)) {
    case 0: r = 1, g = f; break;
    case 1: r = 1 - f, g = 1; break;
    case 2: g = 1, b = f; break;
    case 3: g = 1 - f, b = 1; break;
    case 4: r = f, b = 1; break;
    default: r = 1, b = 1 - f; break;
  }
  // Pastel: halfway to white, then shaded.
  auto pastel = [&](double c) { return (0.45 + 0.45 * c) * shade; };
  cairo_set_source_rgba(cr, pastel(r), pastel(g), pastel(b), alpha);
}

void ShapePath(cairo_t* cr, PictureKind kind, double w, double h) {
  const double inset = std::min({1.0, w / 4, h / 4});
  const double x0 = inset, y0 = inset, x1 = w - inset, y1 = h - inset;
  if (kind == PictureKind::kMapSprite) {
    cairo_save(cr);
    cairo_translate(cr, w / 2, h / 2);
    cairo_scale(cr, (x1 - x0) / 2, (y1 - y0) / 2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
  } else if (kind == PictureKind::kSprite) {
    const double r = std::min(w, h) / 6;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x1 - r, y0 + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x1 - r, y1 - r, r, 0, M_PI / 2);
    cairo_arc(cr, x0 + r, y1 - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x0 + r, y0 + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
  } else {
    cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
  }
}

}  // namespace

void DrawPlaceholder(cairo_t* cr, double w, double h, const PictureRequest& picture, const LabelFont& font) {
  ShapePath(cr, picture.kind, w, h);
  SetColour(cr, picture.set, 1.0, picture.kind == PictureKind::kMapSprite ? 0.85 : 1.0);
  cairo_fill_preserve(cr);
  SetColour(cr, picture.set, 0.45, 1.0);
  cairo_set_line_width(cr, std::max(1.0, std::min(w, h) / 32));
  cairo_stroke(cr);

  if (!font.Face()) return;
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  cairo_set_font_face(cr, font.Face());
  // As large as fits in 90% of the width (an ellipse's middle is narrower),
  // at most a third of the height and 18 pixels.
  double size = std::min(18.0, h / 3);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, picture.name.c_str(), &ext);
  const double room = w * (picture.kind == PictureKind::kMapSprite ? 0.8 : 0.9);
  if (ext.x_advance > room) {
    size *= room / ext.x_advance;
    cairo_set_font_size(cr, size);
    cairo_text_extents(cr, picture.name.c_str(), &ext);
  }
  if (size < 4) return;
  cairo_move_to(cr, (w - ext.width) / 2 - ext.x_bearing, (h - ext.height) / 2 - ext.y_bearing);
  cairo_set_source_rgb(cr, 0.12, 0.12, 0.12);
  cairo_show_text(cr, picture.name.c_str());
}

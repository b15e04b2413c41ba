// PictureCanvas - a picture drawn with cairo (32-bit, with alpha) and turned
// into the image file the sprite archive stores: a run-length packed Targa
// file with straight alpha. The builder draws every picture of the data set
// on one; while no art is drawn for a picture, DrawPlaceholder gives it a
// plain shape of its size with its name written on it.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "PictureCatalog.h"
#include "base/Types.h"

class PictureCanvas {
 public:
  PictureCanvas(u32 width, u32 height);
  ~PictureCanvas();
  PictureCanvas(const PictureCanvas&) = delete;
  PictureCanvas& operator=(const PictureCanvas&) = delete;

  cairo_t* Cairo() { return cr_; }
  u32 Width() const { return width_; }
  u32 Height() const { return height_; }
  // The pixels as 0xAARRGGBB with straight alpha, rows top to bottom.
  std::vector<u32> Pixels();
  std::vector<u8> TargaFile();

 private:
  u32 width_;
  u32 height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// The face labels are written in: a sans-serif face found through the game's
// font resolver ("Arial", which resolves to Liberation Sans or DejaVu Sans),
// so the same fonts give the same pictures. Without a face, labels are left
// out.
class LabelFont {
 public:
  LabelFont();
  ~LabelFont();  // frees cairo's caches first, then the face
  LabelFont(const LabelFont&) = delete;
  LabelFont& operator=(const LabelFont&) = delete;

  cairo_font_face_t* Face() const { return face_; }

 private:
  void* library_ = nullptr;  // FT_Library
  cairo_font_face_t* face_ = nullptr;
};

// A placeholder frame of w x h at the origin: by kind an image is a
// rectangle, a sprite a rounded rectangle and a map sprite an ellipse, in
// the colour of its set with a darker outline, and its name across the
// middle as large as fits.
void DrawPlaceholder(cairo_t* cr, double w, double h, const PictureRequest& picture, const LabelFont& font);

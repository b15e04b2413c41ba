// SkinPaint - drawing the interface pictures piece by piece from the skin
// table (ui/SkinTable.h): each frame of a piece is drawn by its painter with
// the origin at the frame's top left, clipped to the frame, and its flat
// spans are then made exactly alike (each copies the span's first column,
// then first row), so the slicing can stretch and repeat them without a
// seam. The painters keep to the world art's palette and light (ArtKit.h);
// a few shapes the pieces share are here.
#pragma once

#include <cairo.h>

#include <map>
#include <string>

#include "ArtKit.h"
#include "SkinPictures.h"

namespace skin {

struct Frame {
  double w = 0, h = 0;
  u32 index = 0;  // of the frame: for state frames 0 disabled, 1 normal, 2 hover, 3 pressed
  const SkinPiece* piece = nullptr;
};

using Painter = void (*)(cairo_t* cr, const Frame& f);
using Painters = std::map<std::string, Painter>;

const Painters& InterfacePainters();  // the interface image and the hints (InterfaceArt.cpp)
const Painters& LevelPainters();      // the level sheet (LevelSheetArt.cpp)
const Painters& HudPainters();        // the head-up display's pictures (HudArt.cpp)

// Draws every piece of the table on `image`, the origin at the image's top
// left. A piece without a painter is left empty (and named on stderr).
void PaintImage(cairo_t* cr, const std::string& image);

// A box with its own radius at each corner (top left, top right, bottom
// right, bottom left), appended to the path.
void Box(cairo_t* cr, double x0, double y0, double x1, double y1, double tl, double tr, double br, double bl);
// Fills the current path (kept) with a top-to-bottom run from `top` to
// `bottom` over y0..y1: columns stay alike.
void FillDown(cairo_t* cr, art::Rgb top, art::Rgb bottom, double y0, double y1, double alpha = 1.0);
// Likewise from left to right: rows stay alike.
void FillAcross(cairo_t* cr, art::Rgb left, art::Rgb right, double x0, double x1, double alpha = 1.0);
// A straight line from (x0, y0) to (x1, y1), butt ends.
void Line(cairo_t* cr, double x0, double y0, double x1, double y1, double width, art::Rgb c, double alpha = 1.0);

// What the pieces share: shadow black, the outline of frames and panels,
// and the lit and shaded wood of rims.
constexpr art::Rgb kBlack = art::Hex(0x000000);
constexpr double kLine = 2.5;
art::Rgb WoodLight();
art::Rgb WoodShade();

// The colour of a control face in a state: greyed when disabled, lighter
// when hovered, deeper when pressed.
art::Rgb StateTint(art::Rgb base, u32 state);

}  // namespace skin

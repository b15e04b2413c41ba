// Emblems - the small pictures icons are made of (a product, a broom, a
// trophy ...), each drawn in a 100 x 100 box so one drawing serves every
// size: product icons of 48 and 24 pixels, the products lying on the map,
// award medals, bonus badges, job and panel icons.
#pragma once

#include <cairo.h>

#include <string>

namespace art {

// Draws in the box (0, 0)-(100, 100); `line` is the outline width in the
// box's units.
using Emblem = void (*)(cairo_t* cr, double line);

// A product's emblem by the product's name; null for a product without one.
Emblem ProductEmblem(const std::string& product);

// Draws an emblem into the square (x, y, size) with outlines `linePx`
// pixels wide.
void DrawEmblem(cairo_t* cr, Emblem emblem, double x, double y, double size, double linePx);

}  // namespace art

// What the X tools beside it share: the program's window found by its title
// on the X display (anywhere in the tree, as a window manager reparents
// it), its client area in root coordinates, and the screen read back from
// the X server as 0xFFRRGGBB words.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace xtool {

// A window can go between two requests: its errors are expected and ignored.
inline int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

struct Geometry {
  int w = 0, h = 0, x = 0, y = 0;
  bool operator==(const Geometry& o) const { return w == o.w && h == o.h && x == o.x && y == o.y; }
};

// The window's name, in whatever encoding it was set (the titles looked
// for are plain ASCII).
inline bool Named(Display* d, Window w, const std::string& title) {
  XTextProperty name{};
  if (!XGetWMName(d, w, &name) || !name.value) return false;
  const bool same = title == std::string(reinterpret_cast<const char*>(name.value), name.nitems);
  XFree(name.value);
  return same;
}

// The viewable window of that name under `from`, depth first; 0 when none.
inline Window Find(Display* d, Window from, const std::string& title) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(d, from, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    XWindowAttributes a;
    if (Named(d, children[i], title) && XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable)
      found = children[i];
    else
      found = Find(d, children[i], title);
  }
  if (children) XFree(children);
  return found;
}

// The window's size and the root position of its top-left corner.
inline bool Measure(Display* d, Window w, Window root, Geometry* g) {
  XWindowAttributes a;
  Window child = 0;
  if (!XGetWindowAttributes(d, w, &a) || !XTranslateCoordinates(d, w, root, 0, 0, &g->x, &g->y, &child)) return false;
  g->w = a.width;
  g->h = a.height;
  return true;
}

inline int Shift(unsigned long mask) {
  int s = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++s;
  }
  return s;
}

// The part of the screen at (x, y) of w x h as 0xFFRRGGBB words, what lies
// off the screen black; false when it cannot be read.
inline bool ReadScreen(Display* d, Window root, int x, int y, int w, int h, std::vector<uint32_t>* out) {
  if (w <= 0 || h <= 0) return false;
  out->assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0xFF000000u);
  const int sw = DisplayWidth(d, DefaultScreen(d)), sh = DisplayHeight(d, DefaultScreen(d));
  const int left = std::max(x, 0), top = std::max(y, 0);
  const int right = std::min(x + w, sw), bottom = std::min(y + h, sh);
  if (left >= right || top >= bottom) return true;
  XImage* image = XGetImage(d, root, left, top, static_cast<unsigned>(right - left),
                            static_cast<unsigned>(bottom - top), AllPlanes, ZPixmap);
  if (!image) return false;
  const int rs = Shift(image->red_mask), gs = Shift(image->green_mask), bs = Shift(image->blue_mask);
  for (int row = top; row < bottom; ++row)
    for (int col = left; col < right; ++col) {
      const unsigned long p = XGetPixel(image, col - left, row - top);
      const uint32_t r = static_cast<uint32_t>((p & image->red_mask) >> rs) & 0xFF;
      const uint32_t g = static_cast<uint32_t>((p & image->green_mask) >> gs) & 0xFF;
      const uint32_t b = static_cast<uint32_t>((p & image->blue_mask) >> bs) & 0xFF;
      (*out)[static_cast<size_t>(row - y) * static_cast<size_t>(w) + static_cast<size_t>(col - x)] =
          0xFF000000u | (r << 16) | (g << 8) | b;
    }
  XDestroyImage(image);
  return true;
}

}  // namespace xtool

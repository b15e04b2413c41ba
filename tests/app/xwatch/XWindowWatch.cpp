// Watches a program's window on the X display it runs on, from outside, for
// the full-screen checks: what a person sees, whatever the program believes.
//
//   XWindowWatch TITLE SHOT.png
//
// Prints a line whenever the window named TITLE (viewable, found anywhere
// in the tree, as a window manager reparents it) changes its client area
// on the screen: "window W H X Y" (root coordinates). While it covers the
// whole screen, the screen is read back until its outer rows and columns
// hold no black pixel: that picture is written to SHOT.png and "filled"
// printed; while they still do, the last count is kept and printed as
// "black edge N" once the window leaves full screen unfilled. Ends with
// "gone" when the window, once seen, is destroyed (or on SIGTERM).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gfx/PngFile.h"

namespace {

volatile std::sig_atomic_t gStop = 0;

void OnTerm(int) { gStop = 1; }

// A window can go between two requests: its errors are expected and ignored.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

struct Geometry {
  int w = 0, h = 0, x = 0, y = 0;
  bool operator==(const Geometry& o) const { return w == o.w && h == o.h && x == o.x && y == o.y; }
};

// The window's name, in whatever encoding it was set (the titles looked
// for are plain ASCII).
bool Named(Display* d, Window w, const std::string& title) {
  XTextProperty name{};
  if (!XGetWMName(d, w, &name) || !name.value) return false;
  const bool same = title == std::string(reinterpret_cast<const char*>(name.value), name.nitems);
  XFree(name.value);
  return same;
}

// The viewable window of that name under `from`, depth first; 0 when none.
Window Find(Display* d, Window from, const std::string& title) {
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

bool Measure(Display* d, Window w, Window root, Geometry* g) {
  XWindowAttributes a;
  Window child = 0;
  if (!XGetWindowAttributes(d, w, &a) || !XTranslateCoordinates(d, w, root, 0, 0, &g->x, &g->y, &child)) return false;
  g->w = a.width;
  g->h = a.height;
  return true;
}

int Shift(unsigned long mask) {
  int s = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++s;
  }
  return s;
}

// The screen as 0xFFRRGGBB words; false when it cannot be read.
bool ReadScreen(Display* d, Window root, int w, int h, std::vector<uint32_t>* out) {
  XImage* image = XGetImage(d, root, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes, ZPixmap);
  if (!image) return false;
  const int rs = Shift(image->red_mask), gs = Shift(image->green_mask), bs = Shift(image->blue_mask);
  out->assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      const uint32_t r = static_cast<uint32_t>((p & image->red_mask) >> rs) & 0xFF;
      const uint32_t g = static_cast<uint32_t>((p & image->green_mask) >> gs) & 0xFF;
      const uint32_t b = static_cast<uint32_t>((p & image->blue_mask) >> bs) & 0xFF;
      (*out)[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] =
          0xFF000000u | (r << 16) | (g << 8) | b;
    }
  XDestroyImage(image);
  return true;
}

// Pixels of the outer rows and columns that are black (every channel below 16).
int BlackEdge(const std::vector<uint32_t>& px, int w, int h) {
  auto black = [&](int x, int y) {
    const uint32_t p = px[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
    return ((p >> 16) & 0xFF) < 16 && ((p >> 8) & 0xFF) < 16 && (p & 0xFF) < 16;
  };
  int n = 0;
  for (int x = 0; x < w; ++x) n += black(x, 0) + black(x, h - 1);
  for (int y = 1; y < h - 1; ++y) n += black(0, y) + black(w - 1, y);
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s TITLE SHOT.png\n", argv[0]);
    return 2;
  }
  const std::string title = argv[1], shot = argv[2];
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "XWindowWatch: no X display\n");
    return 2;
  }
  std::signal(SIGTERM, OnTerm);
  XSetErrorHandler(IgnoreErrors);
  const Window root = DefaultRootWindow(d);
  const int sw = DisplayWidth(d, DefaultScreen(d)), sh = DisplayHeight(d, DefaultScreen(d));
  bool seen = false, filled = false, wasFull = false;
  int black = -1;
  Geometry last;
  std::vector<uint32_t> screen;
  while (!gStop) {
    const Window w = Find(d, root, title);
    Geometry g;
    if (!w || !Measure(d, w, root, &g)) {
      if (seen) break;
      usleep(10000);
      continue;
    }
    if (!seen || !(g == last)) std::printf("window %d %d %d %d\n", g.w, g.h, g.x, g.y);
    seen = true;
    last = g;
    const bool full = g.w == sw && g.h == sh && g.x == 0 && g.y == 0;
    if (full && !filled && ReadScreen(d, root, sw, sh, &screen)) {
      black = BlackEdge(screen, sw, sh);
      if (black == 0) {
        std::string why;
        if (plat::WritePng(shot, screen, static_cast<uint32_t>(sw), static_cast<uint32_t>(sh), &why))
          std::printf("filled\n");
        else
          std::printf("%s not written: %s\n", shot.c_str(), why.c_str());
        filled = true;
      }
    }
    if (wasFull && !full && !filled) std::printf("black edge %d\n", black);
    wasFull = full;
    std::fflush(stdout);
    usleep(10000);
  }
  std::printf("gone\n");
  XCloseDisplay(d);
  return 0;
}

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
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "XWindows.h"
#include "platform/gfx/PngFile.h"

namespace {

using xtool::Geometry;

volatile std::sig_atomic_t gStop = 0;

void OnTerm(int) { gStop = 1; }

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
  XSetErrorHandler(xtool::IgnoreErrors);
  const Window root = DefaultRootWindow(d);
  const int sw = DisplayWidth(d, DefaultScreen(d)), sh = DisplayHeight(d, DefaultScreen(d));
  bool seen = false, filled = false, wasFull = false;
  int black = -1;
  Geometry last;
  std::vector<uint32_t> screen;
  while (!gStop) {
    const Window w = xtool::Find(d, root, title);
    Geometry g;
    if (!w || !xtool::Measure(d, w, root, &g)) {
      if (seen) break;
      usleep(10000);
      continue;
    }
    if (!seen || !(g == last)) std::printf("window %d %d %d %d\n", g.w, g.h, g.x, g.y);
    seen = true;
    last = g;
    const bool full = g.w == sw && g.h == sh && g.x == 0 && g.y == 0;
    if (full && !filled && xtool::ReadScreen(d, root, 0, 0, sw, sh, &screen)) {
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

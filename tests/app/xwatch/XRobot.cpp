// Plays a program as a person does, through the X server itself (the XTest
// extension), and reads back what the X server shows: for tests of the
// game's own doors, with nothing injected into the game.
//
//   XRobot [--title TITLE] [COMMAND [ARG...]]
//
// The arguments are one command and its words; without any, commands are
// read from standard input, one a line ('#' starts a comment, a word in
// double quotes may hold blanks). The window is found by its title
// ("Tallowmere Farm" unless given) anywhere on the display, as a window
// manager reparents it, and positions are in its client area (window
// coordinates: a frame's pixel where the window shows the frame unscaled).
// Commands that answer print one line. The first that fails says why on
// standard error and ends the run with status 1 (2: wrong usage).
//
//   window                      "window W H X Y": the client area on the root
//   await-window MS [W H [X Y]] waits up to MS ms for the window to be shown
//                               (at that size, and place); prints its line
//   await-manager MS            waits up to MS ms for a window manager to
//                               own the screen
//   move X Y                    the pointer to (X, Y)
//   press X Y [BUTTON] [MOD]... the pointer there, a button down (left,
//   release X Y [BUTTON] [MOD]. right or middle; left unless named) / up,
//                               the modifier keys named (shift, ctrl, alt)
//                               held through it, here and below
//   click X Y [BUTTON] [MOD]... move, press, release
//   dclick X Y [BUTTON] [MOD].. two clicks in quick succession
//   drag X1 Y1 X2 Y2 [BUTTON] [MOD]...
//                               pressed at the first point, moved in steps
//                               of 8 px to the second, released there
//   wheel X Y NOTCHES [MOD]...  the wheel turned there: up (away) when
//                               positive, down when negative
//   type TEXT...                the words typed (ASCII), a blank between two
//   key KEY...                  each key pressed and released: an X key name
//                               (Return, Escape, F4, a, equal ...) with any of
//                               shift+, ctrl+, alt+ before it
//   sleep MS                    waits
//   pointer                     "pointer X Y": where the X pointer is
//   shot FILE.png [X Y W H]     the window (or that part of it) as the X
//                               server shows it
//   screen FILE.png             the whole screen
//   pixel X Y                   "pixel X Y RRGGBB" as shown
//   compare A.png B.png X Y W H [DX DY]
//                               "same N": the per cent of the pixels of A's
//                               rectangle that B shows alike at the
//                               rectangle moved by (DX, DY); no window needed
//   cursor FILE.cur...          "cursor X Y FILE": the hot spot of the first
//                               of these cursor pictures drawn in the window
//                               (the game draws its own), found by its opaque
//                               pixels; fails when none is
//   on-pointer WAIT HOLD FILE.cur...
//                               waits up to WAIT ms for one of them drawn with
//                               its hot spot within 1 px of the X pointer, and
//                               for HOLD ms more it must be in every sample
//                               (the pointer and the window read in one grab
//                               of the server); "on-pointer X Y SAMPLES"
//   await-log FILE TEXT [MS [N]] waits up to MS ms (10,000 unless given) for
//                               N lines (1 unless given) of FILE to hold TEXT
//                               (one word); prints the Nth
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "XWindows.h"
#include "platform/gfx/PngFile.h"

namespace {

using Clock = std::chrono::steady_clock;

// A person's pace: the game sees a move before the press that follows it
// and a press before its release, each in a frame of its own.
constexpr int kSettleMs = 40;
constexpr int kDragStep = 8;

// A cursor picture: its opaque pixels (offsets from its top-left corner and
// colours) and its hot spot.
struct CursorPicture {
  std::string name;
  int hotX = 0, hotY = 0;
  struct Dot {
    int x, y;
    uint32_t rgb;
  };
  std::vector<Dot> dots;
};

// The little-endian number of `bytes` bytes at `at`.
uint32_t Le(const std::string& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
  return v;
}

// A cursor file of one 32-bit image (its colours bottom-up, alpha in the top
// byte); false when it is none.
bool ReadCursor(const std::string& path, CursorPicture* c) {
  std::ifstream in(path, std::ios::binary);
  const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() < 22 + 40 || Le(b, 2, 2) != 2 || Le(b, 4, 2) < 1) return false;
  const int w = static_cast<int>(Le(b, 6, 1)), h = static_cast<int>(Le(b, 7, 1));
  const size_t at = Le(b, 18, 4);
  if (w == 0 || h == 0 || at + 40 + static_cast<size_t>(w * h * 4) > b.size() || Le(b, at + 14, 2) != 32) return false;
  c->name = path.substr(path.find_last_of('/') + 1);
  c->hotX = static_cast<int>(Le(b, 10, 2));
  c->hotY = static_cast<int>(Le(b, 12, 2));
  c->dots.clear();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t argb = Le(b, at + 40 + static_cast<size_t>(((h - 1 - y) * w + x) * 4), 4);
      if (argb >> 24 == 0xFF) c->dots.push_back({x, y, argb & 0xFFFFFF});
    }
  return !c->dots.empty();
}

// Two colours alike: within 24 levels in each channel (a frame scaled or
// blended at an edge shifts a few).
bool Near(uint32_t a, uint32_t b) {
  for (int s = 0; s < 24; s += 8) {
    const int d = static_cast<int>(a >> s & 0xFF) - static_cast<int>(b >> s & 0xFF);
    if (d > 24 || d < -24) return false;
  }
  return true;
}

// A command's words, taken one by one; a word that is missing or is no
// number where one is wanted clears `ok`.
class Words {
 public:
  explicit Words(std::vector<std::string> words) : words_(std::move(words)) {}
  bool ok = true;
  bool More() const { return next_ < words_.size(); }
  std::string Word() {
    if (More()) return words_[next_++];
    ok = false;
    return std::string();
  }
  int Int() {
    const std::string w = Word();
    char* end = nullptr;
    const long v = std::strtol(w.c_str(), &end, 10);
    if (w.empty() || *end != 0) ok = false;
    return static_cast<int>(v);
  }
  // The words left, joined by blanks.
  std::string Rest() {
    std::string rest;
    while (More()) rest += (rest.empty() ? "" : " ") + words_[next_++];
    return rest;
  }

 private:
  std::vector<std::string> words_;
  size_t next_ = 0;
};

// A line's words: blanks part them, double quotes keep a word's blanks.
std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> words;
  for (size_t i = 0; i < line.size();) {
    if (line[i] == ' ' || line[i] == '\t') {
      ++i;
      continue;
    }
    const bool quoted = line[i] == '"';
    const size_t from = quoted ? i + 1 : i;
    size_t end = quoted ? line.find('"', from) : line.find_first_of(" \t", from);
    if (end == std::string::npos) end = line.size();
    words.push_back(line.substr(from, end - from));
    i = quoted ? end + 1 : end;
  }
  return words;
}

bool Complain(const std::string& why) {
  std::fprintf(stderr, "XRobot: %s\n", why.c_str());
  return false;
}
bool Answer(const std::string& what) {
  std::printf("%s\n", what.c_str());
  std::fflush(stdout);
  return true;
}

// The share of A's rectangle that B shows alike, the rectangle moved by
// (DX, DY) in B: "same N", N in per cent.
bool Compare(Words& in) {
  const std::string a = in.Word(), b = in.Word();
  const int x = in.Int(), y = in.Int(), w = in.Int(), h = in.Int();
  const int dx = in.More() ? in.Int() : 0, dy = in.More() ? in.Int() : 0;
  if (!in.ok || w <= 0 || h <= 0) return Complain("compare: A.png B.png X Y W H [DX DY] is wanted");
  std::vector<uint32_t> pa, pb;
  uint32_t wa = 0, ha = 0, wb = 0, hb = 0;
  std::string why;
  if (!plat::ReadPng(a, &pa, &wa, &ha, &why) || !plat::ReadPng(b, &pb, &wb, &hb, &why))
    return Complain("compare: " + why);
  const auto at = [](const std::vector<uint32_t>& p, uint32_t pw, uint32_t ph, int px, int py) -> int64_t {
    if (px < 0 || py < 0 || px >= static_cast<int>(pw) || py >= static_cast<int>(ph)) return -1;
    return p[static_cast<size_t>(py) * pw + static_cast<size_t>(px)] & 0xFFFFFF;
  };
  int64_t alike = 0;
  for (int row = y; row < y + h; ++row)
    for (int col = x; col < x + w; ++col) {
      const int64_t pixelA = at(pa, wa, ha, col, row), pixelB = at(pb, wb, hb, col + dx, row + dy);
      alike += pixelA >= 0 && pixelB >= 0 && Near(static_cast<uint32_t>(pixelA), static_cast<uint32_t>(pixelB));
    }
  return Answer("same " + std::to_string(alike * 100 / (static_cast<int64_t>(w) * h)));
}
class Robot {
 public:
  Robot(Display* d, std::string title) : d_(d), root_(DefaultRootWindow(d)), title_(std::move(title)) {}

  // One command; false (with the reason on standard error) when it fails.
  bool Run(Words in) {
    const std::string verb = in.More() ? in.Word() : std::string("#");
    if (verb[0] == '#') return true;
    if (verb == "sleep") return Sleep(in.Int());
    if (verb == "await-window") return AwaitWindow(in);
    if (verb == "await-log") return AwaitLog(in);
    if (verb == "await-manager") return AwaitManager(in.Int());
    if (verb == "screen") return Screen(in.Word());
    if (verb == "pointer") return Pointer();
    if (verb == "compare") return Compare(in);
    if (!Locate()) return Fail("no window named \"" + title_ + "\"");
    if (verb == "window") return SayWindow();
    if (verb == "type") return Type(in.Rest());
    if (verb == "key") return Keys(in);
    if (verb == "shot") return Shot(in);
    if (verb == "pixel") return PixelAt(in);
    if (verb == "cursor" || verb == "on-pointer") return Cursor(in, verb == "on-pointer");
    const int x = in.Int(), y = in.Int();
    if (!in.ok) return Fail(verb + ": a position is wanted");
    if (verb == "move") return MoveTo(x, y);
    const int notches = verb == "wheel" ? in.Int() : 0;
    const int tx = verb == "drag" ? in.Int() : 0, ty = verb == "drag" ? in.Int() : 0;
    if (!in.ok) return Fail(verb + ": a number is missing");
    // The button and the modifier keys held through the action.
    unsigned button = 1;
    std::vector<::KeySym> held;
    while (in.More()) {
      const std::string w = in.Word();
      if (w == "left" || w == "right" || w == "middle") {
        button = w == "right" ? 3 : w == "middle" ? 2 : 1;
      } else if (w == "shift" || w == "ctrl" || w == "alt") {
        held.push_back(w == "shift" ? XK_Shift_L : w == "ctrl" ? XK_Control_L : XK_Alt_L);
      } else {
        return Fail(verb + ": unknown word \"" + w + "\"");
      }
    }
    if (!MoveTo(x, y)) return false;
    for (const ::KeySym m : held) Key(m, true);
    Flush(held.empty() ? 0 : 10);
    bool done = false;
    if (verb == "press" || verb == "release") done = Button(button, verb == "press");
    if (verb == "click") done = Click(button);
    if (verb == "dclick") done = Click(button) && Click(button);
    if (verb == "wheel") done = Wheel(notches);
    if (verb == "drag") done = Drag(x, y, tx, ty, button);
    for (auto m = held.rbegin(); m != held.rend(); ++m) Key(*m, false);
    Flush(held.empty() ? 0 : kSettleMs);
    return done || Fail("unknown command \"" + verb + "\"");
  }

 private:
  static bool Fail(const std::string& why) { return Complain(why); }
  static bool Say(const std::string& what) { return Answer(what); }
  static bool Sleep(int ms) {
    if (ms > 0) usleep(static_cast<useconds_t>(ms) * 1000);
    return true;
  }

  bool Locate() {
    const Window w = xtool::Find(d_, root_, title_);
    return w && xtool::Measure(d_, w, root_, &g_);
  }
  std::string WindowText() const {
    return std::to_string(g_.w) + " " + std::to_string(g_.h) + " " + std::to_string(g_.x) + " " + std::to_string(g_.y);
  }
  bool SayWindow() { return Say("window " + WindowText()); }
  bool AwaitWindow(Words& in) {
    const int ms = in.Int();
    std::vector<int> want;
    while (in.More() && want.size() < 4) want.push_back(in.Int());
    if (!in.ok || want.size() == 1 || want.size() == 3) return Fail("await-window: MS [W H [X Y]] is wanted");
    const auto matches = [&] {
      const int seen[4] = {g_.w, g_.h, g_.x, g_.y};
      for (size_t i = 0; i < want.size(); ++i)
        if (seen[i] != want[i]) return false;
      return true;
    };
    for (const auto end = Clock::now() + std::chrono::milliseconds(ms); !Locate() || !matches(); Sleep(20)) {
      if (Clock::now() <= end) continue;
      std::string why = "no window named \"" + title_ + "\"";
      for (size_t i = 0; i < want.size(); ++i) why += (i == 0 ? " at " : " ") + std::to_string(want[i]);
      why += " within " + std::to_string(ms) + " ms";
      if (Locate()) why += " (it is at " + WindowText() + ")";
      return Fail(why);
    }
    return SayWindow();
  }

  // A window manager that follows the desktop's conventions names its
  // check window on the root.
  bool AwaitManager(int ms) {
    const Atom check = XInternAtom(d_, "_NET_SUPPORTING_WM_CHECK", False);
    for (const auto end = Clock::now() + std::chrono::milliseconds(ms);; Sleep(20)) {
      Atom type = None;
      int format = 0;
      unsigned long count = 0, after = 0;
      unsigned char* value = nullptr;
      const bool found = XGetWindowProperty(d_, root_, check, 0, 1, False, AnyPropertyType, &type, &format, &count,
                                            &after, &value) == Success &&
                         count > 0;
      if (value) XFree(value);
      if (found) return true;
      if (Clock::now() > end) return Fail("no window manager within " + std::to_string(ms) + " ms");
    }
  }

  bool Flush(int settleMs) {
    XSync(d_, False);
    return Sleep(settleMs);
  }
  bool MoveTo(int x, int y) {
    XTestFakeMotionEvent(d_, DefaultScreen(d_), g_.x + x, g_.y + y, CurrentTime);
    return Flush(kSettleMs);
  }
  bool Button(unsigned button, bool down) {
    XTestFakeButtonEvent(d_, button, down ? True : False, CurrentTime);
    return Flush(kSettleMs);
  }
  bool Click(unsigned button) { return Button(button, true) && Button(button, false); }
  bool Wheel(int notches) {
    for (int i = 0; i < (notches < 0 ? -notches : notches); ++i) Click(notches > 0 ? 4 : 5);
    return true;
  }
  bool Drag(int x, int y, int tx, int ty, unsigned button) {
    if (!Button(button, true)) return false;
    const int dx = tx - x, dy = ty - y;
    const int steps = std::max(1, std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy) / kDragStep);
    for (int i = 1; i <= steps; ++i) {
      XTestFakeMotionEvent(d_, DefaultScreen(d_), g_.x + x + dx * i / steps, g_.y + y + dy * i / steps, CurrentTime);
      Flush(10);
    }
    return Flush(kSettleMs) && Button(button, false);
  }

  // A key down or up by its key symbol: false when no key gives it.
  void Key(::KeySym sym, bool down) {
    const KeyCode code = XKeysymToKeycode(d_, sym);
    if (code != 0) XTestFakeKeyEvent(d_, code, down ? True : False, CurrentTime);
  }
  // Presses a key with the modifiers named before it ("ctrl+shift+s").
  bool Combo(const std::string& combo, bool shiftFromSymbol) {
    std::vector<::KeySym> held;
    std::string rest = combo;
    for (size_t plus; (plus = rest.find('+')) != std::string::npos && plus + 1 < rest.size();) {
      const std::string mod = rest.substr(0, plus);
      held.push_back(mod == "shift" ? XK_Shift_L : mod == "ctrl" ? XK_Control_L : mod == "alt" ? XK_Alt_L : NoSymbol);
      if (held.back() == NoSymbol) return Fail("key \"" + combo + "\": unknown modifier \"" + mod + "\"");
      rest = rest.substr(plus + 1);
    }
    const ::KeySym sym = rest.size() == 1 ? static_cast<::KeySym>(static_cast<unsigned char>(rest[0]))
                                          : XStringToKeysym(rest.c_str());
    const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(d_, sym);
    if (code == 0) return Fail("key \"" + combo + "\": no key gives \"" + rest + "\"");
    // A symbol on the shifted level of its key ('A', '!') is typed with shift.
    if (shiftFromSymbol && XkbKeycodeToKeysym(d_, code, 0, 0) != sym && XkbKeycodeToKeysym(d_, code, 0, 1) == sym)
      held.push_back(XK_Shift_L);
    for (const ::KeySym m : held) Key(m, true);
    Flush(held.empty() ? 0 : 10);
    XTestFakeKeyEvent(d_, code, True, CurrentTime);
    Flush(20);
    XTestFakeKeyEvent(d_, code, False, CurrentTime);
    Flush(10);
    for (auto m = held.rbegin(); m != held.rend(); ++m) Key(*m, false);
    return Flush(kSettleMs);
  }
  bool Keys(Words& in) {
    while (in.More())
      if (!Combo(in.Word(), false)) return false;
    return true;
  }
  bool Type(const std::string& text) {
    for (const char c : text)
      if (!Combo(c == ' ' ? std::string("space") : std::string(1, c), true)) return false;
    return true;
  }

  bool Write(const std::string& file, const std::vector<uint32_t>& px, int w, int h) {
    std::string why;
    if (!plat::WritePng(file, px, static_cast<uint32_t>(w), static_cast<uint32_t>(h), &why))
      return Fail(file + " not written: " + why);
    return true;
  }
  bool Screen(const std::string& file) {
    const int sw = DisplayWidth(d_, DefaultScreen(d_)), sh = DisplayHeight(d_, DefaultScreen(d_));
    std::vector<uint32_t> px;
    if (file.empty() || !xtool::ReadScreen(d_, root_, 0, 0, sw, sh, &px)) return Fail("screen: not read");
    return Write(file, px, sw, sh);
  }
  bool Shot(Words& in) {
    const std::string file = in.Word();
    int x = 0, y = 0, w = g_.w, h = g_.h;
    if (in.More()) x = in.Int(), y = in.Int(), w = in.Int(), h = in.Int();
    if (!in.ok) return Fail("shot: a file and, if any, a whole rectangle are wanted");
    std::vector<uint32_t> px;
    if (file.empty() || !xtool::ReadScreen(d_, root_, g_.x + x, g_.y + y, w, h, &px)) return Fail("shot: not read");
    return Write(file, px, w, h);
  }
  bool PixelAt(Words& in) {
    const int x = in.Int(), y = in.Int();
    std::vector<uint32_t> px;
    if (!xtool::ReadScreen(d_, root_, g_.x + x, g_.y + y, 1, 1, &px)) return Fail("pixel: not read");
    char hex[8];
    std::snprintf(hex, sizeof hex, "%06X", px[0] & 0xFFFFFF);
    return Say("pixel " + std::to_string(x) + " " + std::to_string(y) + " " + hex);
  }
  bool Pointer() {
    Window r = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    if (!XQueryPointer(d_, root_, &r, &child, &rx, &ry, &wx, &wy, &mask)) return Fail("pointer: not on this screen");
    if (Locate()) {
      rx -= g_.x;
      ry -= g_.y;
    }
    return Say("pointer " + std::to_string(rx) + " " + std::to_string(ry));
  }

  // The picture is where nearly all its opaque pixels show in their colours
  // (the frame may be dithered or blended at the edges by a few levels).
  bool Cursor(Words& in, bool onPointer) {
    const int wait = onPointer ? in.Int() : 0, hold = onPointer ? in.Int() : 0;
    std::vector<CursorPicture> pictures;
    while (in.More()) {
      const std::string file = in.Word();
      pictures.emplace_back();
      if (!ReadCursor(file, &pictures.back())) return Fail("cursor: " + file + " is no 32-bit cursor file");
    }
    std::vector<uint32_t> px;
    int left = 0, top = 0, width = 0;  // what px holds: the window's part of that width from there
    const auto read = [&](int x, int y, int w, int h) {
      left = x, top = y, width = w;
      return xtool::ReadScreen(d_, root_, g_.x + x, g_.y + y, w, h, &px);
    };
    if (pictures.empty() || !in.ok || !read(0, 0, g_.w, g_.h)) return Fail("cursor: not read");
    // Whether the window shows the colour at (x, y).
    const auto shows = [&](int x, int y, uint32_t rgb) {
      if (x < std::max(0, left) || y < std::max(0, top) || x >= std::min(g_.w, left + width) || y >= g_.h) return false;
      const size_t at = static_cast<size_t>(y - top) * static_cast<size_t>(width) + static_cast<size_t>(x - left);
      return at < px.size() && Near(px[at], rgb);
    };
    const auto drawn = [&](const CursorPicture& c, int x, int y) {  // with its hot spot at (x, y)
      size_t missed = 0;
      for (const CursorPicture::Dot& dot : c.dots)
        if (!shows(x - c.hotX + dot.x, y - c.hotY + dot.y, dot.rgb) && ++missed > c.dots.size() / 20) return false;
      return true;
    };
    const auto find = [&]() -> std::string {  // "X Y FILE" of the first drawn, row by row
      for (const CursorPicture& c : pictures)
        for (int y = 0; y < g_.h + c.hotY; ++y)
          for (int x = 0; x < g_.w + c.hotX; ++x)
            if (drawn(c, x, y)) return std::to_string(x) + " " + std::to_string(y) + " " + c.name;
      return "none";
    };
    if (!onPointer)
      return find() == "none" ? Fail("cursor: none of the pictures is drawn in the window") : Say("cursor " + find());
    auto end = Clock::now() + std::chrono::milliseconds(wait);
    for (int samples = 0;; Sleep(5)) {
      Window r = 0, child = 0;
      int x = 0, y = 0, wx = 0, wy = 0;
      unsigned mask = 0;
      XGrabServer(d_);
      const bool seen = Locate() && XQueryPointer(d_, root_, &r, &child, &x, &y, &wx, &wy, &mask) &&
                        read(x - g_.x - 48, y - g_.y - 48, 96, 96);  // room for a cursor round the pointer
      XUngrabServer(d_);
      XFlush(d_);
      x -= g_.x, y -= g_.y;
      bool on = false;
      for (size_t i = 0; seen && i < pictures.size() * 9 && !on; ++i)
        on = drawn(pictures[i / 9], x + static_cast<int>(i % 3) - 1, y + static_cast<int>(i / 3 % 3) - 1);
      if (on && samples++ == 0) end = Clock::now() + std::chrono::milliseconds(hold);
      const std::string at = std::to_string(x) + " " + std::to_string(y);
      if (!on && (samples > 0 || Clock::now() > end))
        return Fail("on-pointer: the drawn cursor at " + (read(0, 0, g_.w, g_.h) ? find() : "?") +
                    ", the X pointer at " + at + " after " + std::to_string(samples) + " samples on it");
      if (Clock::now() > end) return Say("on-pointer " + at + " " + std::to_string(samples));
    }
  }

  bool AwaitLog(Words& in) {
    const std::string file = in.Word();
    const std::string text = in.Word();
    int ms = 10000, count = 1;
    if (in.More()) ms = in.Int();
    if (in.More()) count = in.Int();
    if (!in.ok || file.empty() || text.empty()) return Fail("await-log: a file and a text are wanted");
    for (const auto end = Clock::now() + std::chrono::milliseconds(ms);; Sleep(20)) {
      std::ifstream log(file, std::ios::binary);
      int seen = 0;
      for (std::string line; std::getline(log, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find(text) != std::string::npos && ++seen == count) return Say(line);
      }
      if (Clock::now() > end)
        return Fail("await-log: " + std::to_string(seen) + " of " + std::to_string(count) + " lines with \"" + text +
                    "\" in " + file + " after " + std::to_string(ms) + " ms");
    }
  }

  Display* d_;
  Window root_;
  std::string title_;
  xtool::Geometry g_;
};

}  // namespace

int main(int argc, char** argv) {
  std::string title = "Tallowmere Farm";
  int first = 1;
  if (argc > 2 && std::string(argv[1]) == "--title") {
    title = argv[2];
    first = 3;
  }
  if (first < argc && std::string(argv[first]) == "compare") {  // pictures only: no display needed
    Words in(std::vector<std::string>(argv + first + 1, argv + argc));
    return Compare(in) ? 0 : 1;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "XRobot: no X display\n");
    return 2;
  }
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(d, &event, &error, &major, &minor)) {
    std::fprintf(stderr, "XRobot: the X server has no XTest extension\n");
    return 2;
  }
  XSetErrorHandler(xtool::IgnoreErrors);
  Robot robot(d, title);
  bool ok = true;
  if (first < argc) {
    ok = robot.Run(Words(std::vector<std::string>(argv + first, argv + argc)));
  } else {
    for (std::string line; ok && std::getline(std::cin, line);) ok = robot.Run(Words(Split(line)));
  }
  XCloseDisplay(d);
  return ok ? 0 : 1;
}

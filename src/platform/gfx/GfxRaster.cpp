#include "platform/gfx/GfxRaster.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "platform/gfx/GfxFootprints.h"
#include "platform/gfx/GfxScaledRect.h"
#include "platform/gfx/GfxSimdAvx2.h"

namespace plat::gfx {

namespace {

constexpr double kMaxCoord = 1 << 20;     // farther vertices drop the primitive
constexpr int64_t kSub = 256;             // sub-pixel steps per pixel
constexpr double kMaxTexel = 1e12;        // texel coordinates are held below this

struct Fixed {
  int64_t x, y;
};

// Nearest integer, halves away from zero, for values well inside int64:
// a half towards x's side, then truncation towards zero (no branch).
inline int64_t Round(double x) { return static_cast<int64_t>(x + std::copysign(0.5, x)); }

bool Snap(const ScreenVertex& v, Fixed* out) {
  if (!v.valid || !(std::fabs(v.x) < kMaxCoord) || !(std::fabs(v.y) < kMaxCoord)) return false;
  out->x = Round(static_cast<double>(v.x) * kSub);
  out->y = Round(static_cast<double>(v.y) * kSub);
  return true;
}

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// floor(a / b) and the remainder, for b > 0 and |a| < 2^62: the quotient in
// double precision is off by at most a step or two, which the exact
// remainder then puts right (cheaper than the integer divisions).
void FloorDivMod(int64_t a, int64_t b, int64_t* quotient, int64_t* remainder) {
  int64_t q = static_cast<int64_t>(static_cast<double>(a) / static_cast<double>(b));
  int64_t r = a - q * b;
  while (r < 0) {
    --q;
    r += b;
  }
  while (r >= b) {
    ++q;
    r -= b;
  }
  *quotient = q;
  *remainder = r;
}

// Nearest integer, halves away from zero, as std::llround, for |x| < 2^63:
// the truncated value, then a step away from zero when the dropped part
// (exact in double) is a half or more.
inline int64_t LRound(double x) {
  int64_t i = static_cast<int64_t>(x);
  const double rest = x - static_cast<double>(i);
  i += rest >= 0.5;
  i -= rest <= -0.5;
  return i;
}

int64_t ToFixed16(double texels) {
  return Round(std::clamp(texels, -kMaxTexel, kMaxTexel) * 65536.0);
}

// A linear attribute over the screen: value = a0 + dx (x - x0) + dy (y - y0).
struct Plane {
  double a0 = 0, dx = 0, dy = 0;
  double At(double x, double y, double x0, double y0) const { return a0 + dx * (x - x0) + dy * (y - y0); }
};

Plane MakePlane(const double* p, const double* x, const double* y) {
  const double det = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
  Plane pl;
  pl.a0 = p[0];
  pl.dx = ((p[1] - p[0]) * (y[2] - y[0]) - (p[2] - p[0]) * (y[1] - y[0])) / det;
  pl.dy = ((p[2] - p[0]) * (x[1] - x[0]) - (p[1] - p[0]) * (x[2] - x[0])) / det;
  return pl;
}

inline double ChannelOf(uint32_t c, int shift) { return static_cast<double>((c >> shift) & 0xFF); }

// Interpolation set-up shared by the triangle and rectangle passes.
struct Interpolants {
  double x0 = 0, y0 = 0;
  bool flat = true;
  uint32_t colour = 0;
  Plane a, r, g, b, u, v;
  bool textured = false;

  void Setup(const RasterState& st, const ScreenVertex* const* vs, const Fixed* f) {
    double x[3], y[3];
    for (int i = 0; i < 3; ++i) {
      x[i] = static_cast<double>(f[i].x) / kSub;
      y[i] = static_cast<double>(f[i].y) / kSub;
    }
    x0 = x[0];
    y0 = y[0];
    colour = vs[0]->colour;
    flat = vs[1]->colour == colour && vs[2]->colour == colour;
    if (!flat) {
      const int shifts[4] = {24, 16, 8, 0};
      Plane* planes[4] = {&a, &r, &g, &b};
      for (int k = 0; k < 4; ++k) {
        const double p[3] = {ChannelOf(vs[0]->colour, shifts[k]), ChannelOf(vs[1]->colour, shifts[k]),
                             ChannelOf(vs[2]->colour, shifts[k])};
        *planes[k] = MakePlane(p, x, y);
      }
    }
    textured = st.pixel.texels != nullptr;
    if (textured) {
      const double w = st.pixel.texWidth, h = st.pixel.texHeight;
      const double pu[3] = {vs[0]->u * w, vs[1]->u * w, vs[2]->u * w};
      const double pv[3] = {vs[0]->v * h, vs[1]->v * h, vs[2]->v * h};
      u = MakePlane(pu, x, y);
      v = MakePlane(pv, x, y);
    }
  }

  // Minification when one pixel step covers more than one texel.
  bool Linear(const RasterState& st) const {
    if (!textured) return false;
    const double sx = u.dx * u.dx + v.dx * v.dx, sy = u.dy * u.dy + v.dy * v.dy;
    return std::max(sx, sy) > 1.0 + 1e-9 ? st.minLinear : st.magLinear;
  }

  // The steps along a row, the same for every span of the primitive.
  SpanSource Steps() const {
    SpanSource s;
    s.flat = flat;
    s.colour = colour;
    if (!flat) {
      s.da = static_cast<float>(a.dx);
      s.dr = static_cast<float>(r.dx);
      s.dg = static_cast<float>(g.dx);
      s.db = static_cast<float>(b.dx);
    }
    if (textured) {
      s.du = ToFixed16(u.dx);
      s.dv = ToFixed16(v.dx);
    }
    return s;
  }

  // `steps` with the values at pixel (px, py) filled in.
  SpanSource At(SpanSource s, int px, int py) const {
    const double fx = px, fy = py;
    if (!flat) {
      s.a = static_cast<float>(a.At(fx, fy, x0, y0));
      s.r = static_cast<float>(r.At(fx, fy, x0, y0));
      s.g = static_cast<float>(g.At(fx, fy, x0, y0));
      s.b = static_cast<float>(b.At(fx, fy, x0, y0));
    }
    if (textured) {
      s.u = ToFixed16(u.At(fx, fy, x0, y0));
      s.v = ToFixed16(v.At(fx, fy, x0, y0));
    }
    return s;
  }
};

// Asks for the target pixels of a coming row ahead of their use: small
// primitives land anywhere on the target, and their rows are far apart in
// memory.
inline void PrefetchRow(const PixelState& px, int64_t x0, int64_t x1, int64_t y) {
  const uint32_t* row = px.target + y * px.targetPitch;
  for (int64_t x = x0; x <= x1; x += 16) __builtin_prefetch(row + x, 1);
  __builtin_prefetch(row + x1, 1);
}

bool Culled(uint32_t cullMode, int64_t area) {
  // With y pointing down a positive area is a clockwise triangle on screen.
  return (cullMode == D3DCULL_CW && area > 0) || (cullMode == D3DCULL_CCW && area < 0);
}

// The narrow routine for textured primitives with one colour, where the
// states allow one. A tint by white leaves every texel as it is, and blending
// opaque texels (an opaque texture, no border, an opaque colour) replaces
// the target's pixels.
bool ChooseOp(const PixelState& px, bool flat, uint32_t colour, SpanOp* op) {
  if (!ChooseSpanOp(px, flat, op)) return false;
  if (colour == 0xFFFFFFFFu) *op = *op == SpanOp::kTint ? SpanOp::kCopy : *op == SpanOp::kTintBlend ? SpanOp::kBlend : *op;
  if (px.opaque && colour >= 0xFF000000u && px.addressU != D3DTADDRESS_BORDER && px.addressV != D3DTADDRESS_BORDER) {
    *op = *op == SpanOp::kBlend ? SpanOp::kCopy : *op == SpanOp::kTintBlend ? SpanOp::kTint : *op;
  }
  return true;
}

// The routine adding textured primitives with one colour to the target,
// where the states ask for one; a tint by white leaves every texel as it is.
bool ChooseAddOp(const PixelState& px, uint32_t colour, SpanOp* op) {
  if (!ChooseAddSpanOp(px, true, op)) return false;
  if (colour == 0xFFFFFFFFu) *op = SpanOp::kAdd;
  return true;
}

// The narrow routine for the spans of a primitive: with one colour, that
// of ChooseOp or ChooseAddOp (a tint by white, or blending opaque texels,
// left out), else ChooseSpanShader's.
SpanShader NarrowShader(const PixelState& px, bool flat, uint32_t colour) {
  SpanOp op;
  if (flat && (ChooseOp(px, true, colour, &op) || ChooseAddOp(px, colour, &op))) return SpanShaderFor(op);
  return ChooseSpanShader(px, flat);
}

int64_t Area(const Fixed& a, const Fixed& b, const Fixed& c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// The edges of a convex polygon with clockwise vertices (positive area),
// walked from row to row. Edge k runs from vertex k to vertex k + 1; inside
// means E >= threshold, where a top or left edge includes its own pixels
// (threshold 0). Along a row E(px) = c + a px with a = -dy kSub, and c grows
// by dx kSub from row to row, so the bound that each slanted edge puts on the
// row, a quotient of c by a, is stepped exactly as a quotient and a
// remainder. A level edge (a = 0) lets a whole row in or leaves it out.
struct EdgeWalker {
  struct Slanted {
    int64_t q, r;    // floor(m / div) and its remainder, m the bound's numerator
    int64_t dq, dr;  // their steps per row
    int64_t div;     // |a|

    void Step() {  // without branches: the carry is as good as random
      const int64_t t = r + dr - div;   // the remainder after a carry
      const int64_t borrow = t >> 63;   // all ones when there is none
      q += dq + 1 + borrow;
      r = t + (div & borrow);
    }
  };
  struct Level {
    int64_t c, step, threshold;
  };
  Slanted lefts[4], rights[4];  // edges that bound a row from the left, from the right
  Level levels[4];
  int leftCount = 0, rightCount = 0, levelCount = 0;

  void Init(const Fixed* f, int n, int64_t top) {
    leftCount = rightCount = levelCount = 0;
    for (int k = 0; k < n; ++k) {
      const Fixed& p = f[k];
      const Fixed& q = f[k + 1 == n ? 0 : k + 1];
      const int64_t dx = q.x - p.x, dy = q.y - p.y;
      const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
      const int64_t threshold = topLeft ? 0 : 1;
      const int64_t a = -dy * kSub;
      const int64_t c = dx * (top * kSub - p.y) + dy * p.x;
      const int64_t step = dx * kSub;
      if (a == 0) {
        levels[levelCount++] = Level{c, step, threshold};
        continue;
      }
      // a > 0: px >= ceil(need / a) = -floor(m / a) with m = c - threshold;
      // a < 0: px <= floor(m / -a) with m = c - threshold. m grows by `step`
      // either way.
      Slanted& e = a > 0 ? lefts[leftCount++] : rights[rightCount++];
      e.div = a > 0 ? a : -a;
      FloorDivMod(c - threshold, e.div, &e.q, &e.r);
      FloorDivMod(step, e.div, &e.dq, &e.dr);
    }
  }

  // Narrows [*xl, *xr] to the pixels of the current row, then moves to the
  // next row.
  void Row(int64_t* xl, int64_t* xr) {
    int64_t l = *xl, r = *xr;
    for (int k = 0; k < leftCount; ++k) {
      l = std::max(l, -lefts[k].q);
      lefts[k].Step();
    }
    for (int k = 0; k < rightCount; ++k) {
      r = std::min(r, rights[k].q);
      rights[k].Step();
    }
    for (int k = 0; k < levelCount; ++k) {
      if (levels[k].c < levels[k].threshold) r = l - 1;
      levels[k].c += levels[k].step;
    }
    *xl = l;
    *xr = r;
  }
};

// Texel coordinates of a quad's spans are stepped in fixed point with 32
// fraction bits: a row's first pixel is its row start plus whole steps, so
// the error stays a few units of 2^-32 texels, far below the 16.16 a span
// uses. Planes reaching beyond kMaxQuadTexel keep to the triangle pass.
constexpr double kFixed32 = 4294967296.0;
constexpr double kMaxQuadTexel = 1 << 28;
// How far (in texels) the fourth corner may lie off the plane of the first
// three. Corners snapped to the sub-pixel grid put a parallelogram a little
// off its plane; the second triangle's pixels then differ from their own
// plane by at most this much, less than a step of the bilinear weights.
constexpr double kQuadPlaneTolerance = 1.0 / 128;

struct Fixed32Plane {
  int64_t row = 0, dx = 0, dy = 0;  // value at (left, current row), steps
  double most = 0;                  // the largest magnitude over the box

  // False when the plane's values over the box do not fit.
  bool Setup(const Plane& p, double x0, double y0, int64_t left, int64_t right, int64_t top, int64_t bottom) {
    most = 0;
    for (int64_t x : {left, right}) {
      for (int64_t y : {top, bottom}) {
        const double value = std::fabs(p.At(static_cast<double>(x), static_cast<double>(y), x0, y0));
        if (!(value < kMaxQuadTexel)) return false;  // not finite either
        most = std::max(most, value);
      }
    }
    if (!(std::fabs(p.dx) < kMaxQuadTexel) || !(std::fabs(p.dy) < kMaxQuadTexel)) return false;
    row = LRound(p.At(static_cast<double>(left), static_cast<double>(top), x0, y0) * kFixed32);
    dx = LRound(p.dx * kFixed32);
    dy = LRound(p.dy * kFixed32);
    return true;
  }
  // True when the whole texels over the box, and nine steps on, fit in 16
  // bits (the wide path's limit).
  bool Fits16(const Plane& p) const { return most + 9 * std::fabs(p.dx) < 1 << 14; }
  // 16.16 value at pixel x of the current row, halves rounded away from zero
  // as ToFixed16 does.
  int64_t At(int64_t x, int64_t left) const {
    // Adding a half rounds ties up; less one below zero, down: away from
    // zero either way, without a branch.
    const int64_t value = row + dx * (x - left);
    return (value + (1 << 15) + (value >> 63)) >> 16;
  }
};

// The hull of a blend's texels (FootprintHull) carried onto the screen by
// the primitive's texture planes: each of its half-planes bounds a row from
// the left or the right, so that the rows of a turned sprite are cut to the
// pixels that may read texels that are not clear while the edges are walked,
// instead of row by row afterwards (the footprint loops' own cut). Each row
// keeps its first sample point (its first pixel's), the others following a
// whole number of steps on, so the pixels drawn stay the same. The margin
// takes in the fixed-point steps' drift along a row; the cut is only made
// where every sample lies inside the hull's box.
class ScreenHull {
 public:
  // False when a sample of the primitive with these corners (in the box
  // left .. right) may lie outside the hull's box.
  bool Setup(const FootprintHull& hull, int texWidth, int texHeight, const Interpolants& in, const Fixed* corners,
             int n, int64_t left, int64_t right) {
    // The loops sample from the footprint's first texel, half a texel before
    // the plane's point (U, V); inside the box by half a texel to spare.
    const double u0 = in.u.a0 - 0.5 - in.u.dx * in.x0 - in.u.dy * in.y0;  // U at pixel (0, 0)
    const double v0 = in.v.a0 - 0.5 - in.v.dx * in.x0 - in.v.dy * in.y0;
    constexpr double reach = FootprintHull::kReach + 0.5, toPixels = 1.0 / kSub;
    double lowU = kMaxTexel, highU = -kMaxTexel, lowV = kMaxTexel, highV = -kMaxTexel;
    for (int i = 0; i < n; ++i) {
      const double x = static_cast<double>(corners[i].x) * toPixels, y = static_cast<double>(corners[i].y) * toPixels;
      const double u = u0 + in.u.dx * x + in.u.dy * y, v = v0 + in.v.dx * x + in.v.dy * y;
      lowU = std::min(lowU, u);
      highU = std::max(highU, u);
      lowV = std::min(lowV, v);
      highV = std::max(highV, v);
    }
    // (Not finite: false as well.)
    if (!(lowU > -1 - reach && highU < texWidth + reach && lowV > -1 - reach && highV < texHeight + reach) ||
        !std::isfinite(u0 + v0 + in.u.dx + in.u.dy + in.v.dx + in.v.dy)) {
      return false;
    }
    empty_ = hull.empty;
    const double margin = 1.0 / 16 + static_cast<double>(right - left + 2) / 32768;
    // The planes come in pairs of opposite normals: four steps along the
    // rows, and their inverses, serve all eight (divisions side by side).
    static_assert(FootprintHull::kPlanes == 8 && FootprintHull::kNormalU[1] == -FootprintHull::kNormalU[0],
                  "planes in pairs");
    double inverses[4];
    for (int m = 0; m < 4; ++m) {
      const double g = FootprintHull::kNormalU[2 * m] * in.u.dx + FootprintHull::kNormalV[2 * m] * in.v.dx;
      inverses[m] = g != 0 ? 1.0 / g : 0.0;
    }
    for (int k = 0; k < FootprintHull::kPlanes; ++k) {
      const double nu = FootprintHull::kNormalU[k], nv = FootprintHull::kNormalV[k];
      // Kept: nu U + nv V - bound <= margin, that is gx x <= room - gy y.
      const double gx = nu * in.u.dx + nv * in.v.dx, gy = nu * in.u.dy + nv * in.v.dy;
      const double room = margin + hull.bound[k] - nu * u0 - nv * v0;
      // Planes nearly along the rows (bounds far beyond any pixel) as level
      // ones, keeping a row when any pixel of it may be kept; the others
      // bound x <= (room - gy y) / gx from the right, >= from the left.
      // Without branches (the signs change from sprite to sprite): the
      // plane is written to every list, and counted in its own.
      constexpr double far = kMaxCoord * 2;
      const bool level = !(std::fabs(gx) * 1e12 > std::fabs(room) + std::fabs(gy) * far);
      const double inverse = k % 2 == 0 ? inverses[k / 2] : -inverses[k / 2];
      bounds_.levels[bounds_.levelCount] = {room + std::fabs(gx) * far, -gy};
      bounds_.rights[bounds_.rightCount] = bounds_.lefts[bounds_.leftCount] = {room * inverse, -gy * inverse};
      bounds_.levelCount += level;
      bounds_.rightCount += !level && gx > 0;
      bounds_.leftCount += !level && !(gx > 0);
    }
    FindRows(hull, in, margin);
    return true;
  }
  // Narrows the rows [*top, *bottom] to those that may keep pixels: false
  // when none may.
  bool Rows(int64_t* top, int64_t* bottom) const {
    if (!(rowsFrom_ <= rowsTo_)) return true;  // not known
    *top = std::max(*top, static_cast<int64_t>(std::ceil(rowsFrom_)));
    *bottom = std::min(*bottom, static_cast<int64_t>(std::floor(rowsTo_)));
    return *top <= *bottom;
  }
  // Every sample reads clear texels only: nothing to draw.
  bool Empty() const { return empty_; }

  // The n rows from row `first` on narrowed (see NarrowRowsAvx2); the
  // arrays reach to a multiple of four rows past n, those rows empty.
  void Narrow(int64_t first, int n, int64_t* xl, int64_t* xr, int64_t* from, int64_t* to) const {
    for (int k = n; k % 4 != 0; ++k) {
      xl[k] = 0;
      xr[k] = -1;
    }
    NarrowRowsAvx2(bounds_, first, n, xl, xr, from, to);
  }

 private:
  static_assert(FootprintHull::kPlanes <= RowBounds::kMax, "a bound a plane");
  RowBounds bounds_;
  bool empty_ = false;
  double rowsFrom_ = 1, rowsTo_ = 0;  // the rows the kept pixels lie on (none known)

  // The corners of the kept part of a hull's texture (its planes moved out
  // by kRowsMargin, twice the margins it serves or more), kept for the hull
  // drawn next: each is where two planes next to each other round the hull
  // meet; known when all lie inside every plane (otherwise a plane misses
  // the hull).
  static constexpr double kRowsMargin = 0.25;
  struct Corners {
    double bound[FootprintHull::kPlanes] = {};
    double u[FootprintHull::kPlanes] = {}, v[FootprintHull::kPlanes] = {};
    bool made = false, known = false;

    void Make(const FootprintHull& hull) {
      static constexpr int kRound[FootprintHull::kPlanes] = {0, 4, 2, 7, 1, 5, 3, 6};  // the normals by angle
      std::copy(hull.bound, hull.bound + FootprintHull::kPlanes, bound);
      made = known = true;
      for (int i = 0; i < FootprintHull::kPlanes; ++i) {
        const int a = kRound[i], b = kRound[(i + 1) % FootprintHull::kPlanes];
        const double ua = FootprintHull::kNormalU[a], va = FootprintHull::kNormalV[a];
        const double ub = FootprintHull::kNormalU[b], vb = FootprintHull::kNormalV[b];
        const double ba = bound[a] + kRowsMargin, bb = bound[b] + kRowsMargin, d = ua * vb - va * ub;
        u[i] = (ba * vb - bb * va) / d;
        v[i] = (ua * bb - ub * ba) / d;
        for (int k = 0; k < FootprintHull::kPlanes; ++k) {
          const double limit = bound[k] + kRowsMargin;
          known = known && FootprintHull::kNormalU[k] * u[i] + FootprintHull::kNormalV[k] * v[i] <=
                               limit + 1e-9 * (1 + std::fabs(limit));
        }
      }
    }
  };

  // The screen rows of those corners.
  void FindRows(const FootprintHull& hull, const Interpolants& in, double margin) {
    thread_local Corners corners;
    if (!corners.made || !std::equal(hull.bound, hull.bound + FootprintHull::kPlanes, corners.bound))
      corners.Make(hull);
    const double det = in.u.dx * in.v.dy - in.u.dy * in.v.dx;
    if (!corners.known || margin > kRowsMargin / 2 || !(std::fabs(det) > 1e-12)) return;
    // The texture planes solved for the screen row.
    const double ru = -in.v.dx / det, rv = in.u.dx / det;
    const double r0 = in.y0 - ru * (in.u.a0 - 0.5) - rv * (in.v.a0 - 0.5);
    double from = kMaxCoord, to = -kMaxCoord;
    for (int i = 0; i < FootprintHull::kPlanes; ++i) {
      const double y = r0 + ru * corners.u[i] + rv * corners.v[i];
      from = std::min(from, y);
      to = std::max(to, y);
    }
    if (!std::isfinite(from + to)) return;
    // A millionth of a pixel to spare; beyond the screen, as far as it.
    rowsFrom_ = std::max(from - 1e-6, -kMaxCoord);
    rowsTo_ = std::min(to + 1e-6, kMaxCoord);
  }
};

// The hull a blend's rows are cut to while its edges are walked (the
// footprint loops' own cut then left out): null when the table has none
// for the primitive or a sample may lie outside its box.
const ScreenHull* CutToHull(FootprintSource& table, SpanOp op, const Interpolants& in, const Fixed* corners, int n,
                            int64_t left, int64_t right, ScreenHull* out) {
  if (!table.hull || table.wrapU || table.wrapV || (op != SpanOp::kBlend && op != SpanOp::kTintBlend)) return nullptr;
  if (!out->Setup(*table.hull, table.width, table.height, in, corners, n, left, right)) return nullptr;
  table.hull = nullptr;
  return out;
}

void DrawTriangle(const RasterState& st, const ScreenVertex& va, const ScreenVertex& vb, const ScreenVertex& vc) {
  Fixed f[3];
  if (!Snap(va, &f[0]) || !Snap(vb, &f[1]) || !Snap(vc, &f[2])) return;
  const ScreenVertex* vs[3] = {&va, &vb, &vc};
  int64_t area = Area(f[0], f[1], f[2]);
  if (area == 0 || Culled(st.cullMode, area)) return;
  if (area < 0) {
    std::swap(f[1], f[2]);
    std::swap(vs[1], vs[2]);
  }
  const int64_t minX = std::min({f[0].x, f[1].x, f[2].x}), maxX = std::max({f[0].x, f[1].x, f[2].x});
  const int64_t minY = std::min({f[0].y, f[1].y, f[2].y}), maxY = std::max({f[0].y, f[1].y, f[2].y});
  const int64_t left = std::max<int64_t>(CeilDiv(minX, kSub), st.clip.left);
  const int64_t right = std::min<int64_t>(FloorDiv(maxX, kSub), st.clip.right - 1);
  const int64_t top = std::max<int64_t>(CeilDiv(minY, kSub), st.clip.top);
  const int64_t bottom = std::min<int64_t>(FloorDiv(maxY, kSub), st.clip.bottom - 1);
  if (left > right || top > bottom) return;

  EdgeWalker edges;  // set off on the first row drawn

  Interpolants in;
  in.Setup(st, vs, f);
  RasterState local = st;
  local.pixel.linear = in.Linear(st);
  if (in.flat) SimplifyStage(&local.pixel, in.colour);
  const SpanSource steps = in.Steps();

  // Bilinear texels with a narrow routine (one colour): the wide path reads
  // every sample from the texture's footprint table, each span starting
  // where the narrow routine's would, the spans handed over in batches.
  // The planes only need to pass a quad's check that their texels fit it.
  SpanOp op;
  FootprintSource table;
  Fixed32Plane pu, pv;
  if (local.pixel.linear && in.flat && ChooseOp(local.pixel, true, in.colour, &op) &&
      WideFootprints(local.pixel, &table) && pu.Setup(in.u, in.x0, in.y0, left, right, top, bottom) &&
      pv.Setup(in.v, in.x0, in.y0, left, right, top, bottom) && pu.Fits16(in.u) && pv.Fits16(in.v)) {
    const PixelState& px = local.pixel;
    // A blend's rows cut to the texels that are not clear, as a quad's,
    // judged by the parallelogram of its corners (most triangles are half of
    // a sprite's quad, whose texels they share with the other half).
    const double texels = (static_cast<double>(vs[1]->u) - vs[0]->u) * (static_cast<double>(vs[2]->v) - vs[0]->v) -
                          (static_cast<double>(vs[2]->u) - vs[0]->u) * (static_cast<double>(vs[1]->v) - vs[0]->v);
    table.hull = HullWorthCutting(px, std::fabs(texels) * px.texWidth * px.texHeight);
    ScreenHull screenHull;
    const ScreenHull* hull = CutToHull(table, op, in, f, 3, left, right, &screenHull);
    int64_t rowsTop = top, rowsBottom = bottom;
    if (hull && (hull->Empty() || !hull->Rows(&rowsTop, &rowsBottom))) return;
    edges.Init(f, 3, rowsTop);
    constexpr int kBatch = 64;
    FootprintRow rows[kBatch];
    int64_t xls[kBatch + 4], xrs[kBatch + 4], from[kBatch + 4], to[kBatch + 4];  // to a multiple of four rows
    int count = 0;
    for (int64_t first = rowsTop; first <= rowsBottom; first += kBatch) {
      const int n = static_cast<int>(std::min<int64_t>(kBatch, rowsBottom - first + 1));
      for (int k = 0; k < n; ++k) {
        xls[k] = left;
        xrs[k] = right;
        edges.Row(&xls[k], &xrs[k]);
      }
      if (hull) hull->Narrow(first, n, xls, xrs, from, to);
      for (int k = 0; k < n; ++k) {
        const int64_t xl = xls[k], py = first + k;
        if (xl > xrs[k] || (hull && from[k] > to[k])) continue;
        if (!hull) {
          from[k] = xl;
          to[k] = xrs[k];
        }
        // The texel coordinates Interpolants::At gives the span.
        const double fx = static_cast<double>(xl), fy = static_cast<double>(py);
        const int64_t u = ToFixed16(in.u.At(fx, fy, in.x0, in.y0)), v = ToFixed16(in.v.At(fx, fy, in.x0, in.y0));
        rows[count++] = FootprintRow{px.target + static_cast<size_t>(py) * px.targetPitch + from[k],
                                     static_cast<int32_t>(u - 0x8000 + (from[k] - xl) * steps.du),
                                     static_cast<int32_t>(v - 0x8000 + (from[k] - xl) * steps.dv),
                                     static_cast<int>(to[k] - from[k] + 1)};
        if (count == kBatch) {
          FootprintRowsAvx2(op, table, rows, count, static_cast<int32_t>(steps.du), static_cast<int32_t>(steps.dv),
                            in.colour);
          count = 0;
        }
      }
    }
    if (count > 0)
      FootprintRowsAvx2(op, table, rows, count, static_cast<int32_t>(steps.du), static_cast<int32_t>(steps.dv),
                        in.colour);
    return;
  }

  edges.Init(f, 3, top);
  const SpanShader shade = NarrowShader(local.pixel, in.flat, in.colour);
  for (int64_t py = top; py <= bottom; ++py) {
    int64_t xl = left, xr = right;
    edges.Row(&xl, &xr);
    if (xl > xr) continue;
    const SpanSource src = in.At(steps, static_cast<int>(xl), static_cast<int>(py));
    if (py + 2 <= bottom && xr - xl < 256) PrefetchRow(local.pixel, xl, xr, py + 2);
    shade(local.pixel, static_cast<int>(xl), static_cast<int>(py), static_cast<int>(xr - xl + 1), src);
  }
}

// A fan of two triangles forming an unrotated rectangle with one colour and
// one texture mapping over both halves: drawn row by row in one span.
bool DrawRectangle(const RasterState& st, const ScreenVertex* v, const Fixed* f) {
  const bool ordered = (f[0].x == f[1].x && f[1].y == f[2].y && f[2].x == f[3].x && f[3].y == f[0].y) ||
                       (f[0].y == f[1].y && f[1].x == f[2].x && f[2].y == f[3].y && f[3].x == f[0].x);
  if (!ordered) return false;
  const uint32_t colour = v[0].colour;
  if (v[1].colour != colour || v[2].colour != colour || v[3].colour != colour) return false;
  const int64_t area = Area(f[0], f[1], f[2]);
  if (area == 0) return false;  // degenerate: let the triangle pass decide

  const ScreenVertex* vs[3] = {&v[0], &v[1], &v[2]};
  Interpolants in;
  in.Setup(st, vs, f);
  if (in.textured) {
    // The fourth corner must lie on the plane of the first three.
    const double x3 = static_cast<double>(f[3].x) / kSub, y3 = static_cast<double>(f[3].y) / kSub;
    const double u3 = in.u.At(x3, y3, in.x0, in.y0), v3 = in.v.At(x3, y3, in.x0, in.y0);
    const double eu = v[3].u * static_cast<double>(st.pixel.texWidth);
    const double ev = v[3].v * static_cast<double>(st.pixel.texHeight);
    if (std::fabs(u3 - eu) > 1e-7 * (1 + std::fabs(eu)) || std::fabs(v3 - ev) > 1e-7 * (1 + std::fabs(ev))) {
      return false;
    }
  }
  if (Culled(st.cullMode, area)) return true;

  const int64_t minX = std::min({f[0].x, f[1].x, f[2].x}), maxX = std::max({f[0].x, f[1].x, f[2].x});
  const int64_t minY = std::min({f[0].y, f[1].y, f[2].y}), maxY = std::max({f[0].y, f[1].y, f[2].y});
  const int64_t left = std::max<int64_t>(CeilDiv(minX, kSub), st.clip.left);
  const int64_t right = std::min<int64_t>(CeilDiv(maxX, kSub) - 1, st.clip.right - 1);
  const int64_t top = std::max<int64_t>(CeilDiv(minY, kSub), st.clip.top);
  const int64_t bottom = std::min<int64_t>(CeilDiv(maxY, kSub) - 1, st.clip.bottom - 1);
  if (left > right || top > bottom) return true;

  RasterState local = st;
  local.pixel.linear = in.Linear(st);
  SimplifyStage(&local.pixel, colour);
  // One colour and an affine mapping: texel coordinates move by a fixed step
  // from row to row.
  SpanSource src = in.At(in.Steps(), static_cast<int>(left), static_cast<int>(top));
  const int64_t duRow = in.textured ? ToFixed16(in.u.dy) : 0, dvRow = in.textured ? ToFixed16(in.v.dy) : 0;
  const bool prefetch = right - left < 256;
  const int width = static_cast<int>(right - left + 1);
  // Texels copied 1:1 from inside the texture: each row of pixels is one row
  // of texels, handed straight to the routine that puts them on the target.
  const TexelRowOp rowOp = ChooseTexelRowOp(local.pixel, in.flat);
  const PixelState& px = local.pixel;
  const int64_t iu = src.u >> 16, iv = src.v >> 16;
  if (rowOp && src.du == 0x10000 && src.dv == 0 && duRow == 0 && dvRow == 0x10000 &&
      (!px.linear || ((src.u & 0xFFFF) == 0x8000 && (src.v & 0xFFFF) == 0x8000)) && iu >= 0 &&
      iu + width <= px.texWidth && iv >= 0 && iv + (bottom - top) < px.texHeight) {
    const uint32_t* texels = px.texels + static_cast<size_t>(iv) * px.texWidth + iu;
    uint32_t* dest = px.target + static_cast<size_t>(top) * px.targetPitch + left;
    for (int64_t py = top; py <= bottom; ++py, texels += px.texWidth, dest += px.targetPitch) {
      if (prefetch && py + 2 <= bottom) PrefetchRow(px, left, right, py + 2);
      rowOp(texels, src.colour, dest, width);
    }
    return true;
  }
  // Texel columns that follow the pixel columns and texel rows that follow
  // the pixel rows: scaled or off the pixel grid, but not turned.
  // A dimmed window marking the pieces it has just drawn reads their
  // filtered texels from the row cache.
  SpanOp op;
  if (px.linear && src.dv == 0 && duRow == 0) {
    const ScaledRect rect{static_cast<int>(left), static_cast<int>(top), width, static_cast<int>(bottom - top + 1),
                          src.u, src.du, src.v, dvRow};
    if (ChooseOp(px, in.flat, src.colour, &op) && DrawScaledRect(px, op, src.colour, rect)) return true;
    if (MarksStencil(px, in.flat) && MarkScaledRect(px, src.colour, rect)) return true;
  }
  const SpanShader shade = NarrowShader(local.pixel, in.flat, src.colour);
  for (int64_t py = top; py <= bottom; ++py, src.u += duRow, src.v += dvRow) {
    if (prefetch && py + 2 <= bottom) PrefetchRow(local.pixel, left, right, py + 2);
    shade(local.pixel, static_cast<int>(left), static_cast<int>(py), width, src);
  }
  return true;
}

// The rows of a quad handed in batches to the wide bilinear routine;
// `bounds(count, xl, xr)` gives the pixels [xl, xr] of the next `count` rows
// and moves the edges on; with `hull`, the rows are cut to it (see
// ScreenHull). The planes' values are held from column `left` on.
template <typename BoundsFn>
void WideQuadRows(const PixelState& px, SpanOp op, const FootprintSource& table, int64_t top, int64_t bottom,
                  int64_t left, int32_t du, int32_t dv, uint32_t colour, Fixed32Plane* pu, Fixed32Plane* pv,
                  const ScreenHull* hull, BoundsFn bounds) {
  constexpr int kBatch = 64;
  FootprintRow rows[kBatch];
  int64_t xls[kBatch + 4], xrs[kBatch + 4], from[kBatch + 4], to[kBatch + 4];  // to a multiple of four rows
  int64_t uRow = pu->row, vRow = pv->row;
  const int64_t uDy = pu->dy, vDy = pv->dy, uDx = pu->dx, vDx = pv->dx;
  // The 16.16 value at column x of the row as Fixed32Plane::At gives it.
  const auto at = [left](int64_t rowValue, int64_t dx, int64_t x) {
    const int64_t value = rowValue + dx * (x - left);
    return (value + (1 << 15) + (value >> 63)) >> 16;
  };
  for (int64_t first = top; first <= bottom; first += kBatch) {
    const int n = static_cast<int>(std::min<int64_t>(kBatch, bottom - first + 1));
    bounds(n, xls, xrs);
    if (hull) hull->Narrow(first, n, xls, xrs, from, to);
    int count = 0;
    // Without a hull each row runs from edge to edge: no steps to its first
    // pixel, and a loop of its own spares the rest of the rows the test.
    const auto add = [&](auto cut) {
      for (int k = 0; k < n; ++k, uRow += uDy, vRow += vDy) {
        const int64_t xl = xls[k], xr = xrs[k];
        const int64_t a = cut ? from[k] : xl, b = cut ? to[k] : xr;
        if (xl > xr || a > b) continue;
        FootprintRow& r = rows[count++];
        r.dest = px.target + static_cast<size_t>(first + k) * px.targetPitch + a;
        r.u = static_cast<int32_t>(at(uRow, uDx, xl) - 0x8000 + (cut ? (a - xl) * du : 0));
        r.v = static_cast<int32_t>(at(vRow, vDx, xl) - 0x8000 + (cut ? (a - xl) * dv : 0));
        r.n = static_cast<int>(b - a + 1);
      }
    };
    if (hull) {
      add(std::true_type{});
    } else {
      add(std::false_type{});
    }
    if (count > 0) FootprintRowsAvx2(op, table, rows, count, du, dv, colour);
  }
}

// A convex quad (every corner turning the same way) with one colour whose
// fourth corner lies on the texture plane of the first three: drawn as one
// primitive with one span per row. A pixel centre inside the quad lies in
// one triangle or on their shared diagonal, which the top-left rule gives to
// exactly one of them; on the outer edges both passes apply the same rule,
// so the spans cover exactly the pixels of the two triangles.
bool DrawQuad(const RasterState& st, const ScreenVertex* v, const Fixed* f) {
  const uint32_t colour = v[0].colour;
  if (v[1].colour != colour || v[2].colour != colour || v[3].colour != colour) return false;
  const int64_t turns[5] = {Area(f[3], f[0], f[1]), Area(f[0], f[1], f[2]), Area(f[1], f[2], f[3]),
                            Area(f[2], f[3], f[0]), Area(f[0], f[2], f[3])};
  bool cw = true, ccw = true;
  for (int64_t t : turns) {
    cw = cw && t > 0;
    ccw = ccw && t < 0;
  }
  if (!cw && !ccw) return false;

  const ScreenVertex* vs[3] = {&v[0], &v[1], &v[2]};
  Interpolants in;
  in.Setup(st, vs, f);
  const double x3 = static_cast<double>(f[3].x) / kSub, y3 = static_cast<double>(f[3].y) / kSub;
  if (in.textured) {
    const double du = in.u.At(x3, y3, in.x0, in.y0) - v[3].u * static_cast<double>(st.pixel.texWidth);
    const double dv = in.v.At(x3, y3, in.x0, in.y0) - v[3].v * static_cast<double>(st.pixel.texHeight);
    if (!(std::fabs(du) <= kQuadPlaneTolerance) || !(std::fabs(dv) <= kQuadPlaneTolerance)) return false;
  }
  RasterState local = st;
  local.pixel.linear = in.Linear(st);
  SimplifyStage(&local.pixel, colour);
  if (st.minLinear != st.magLinear && in.textured) {
    // The second triangle must choose the same filter.
    const ScreenVertex* second[3] = {&v[0], &v[2], &v[3]};
    const Fixed fs[3] = {f[0], f[2], f[3]};
    Interpolants other;
    other.Setup(st, second, fs);
    if (other.Linear(st) != local.pixel.linear) return false;
  }
  if (Culled(st.cullMode, turns[1])) return true;

  const int64_t minX = std::min({f[0].x, f[1].x, f[2].x, f[3].x}), maxX = std::max({f[0].x, f[1].x, f[2].x, f[3].x});
  const int64_t minY = std::min({f[0].y, f[1].y, f[2].y, f[3].y}), maxY = std::max({f[0].y, f[1].y, f[2].y, f[3].y});
  const int64_t left = std::max<int64_t>(CeilDiv(minX, kSub), st.clip.left);
  const int64_t right = std::min<int64_t>(FloorDiv(maxX, kSub), st.clip.right - 1);
  const int64_t top = std::max<int64_t>(CeilDiv(minY, kSub), st.clip.top);
  const int64_t bottom = std::min<int64_t>(FloorDiv(maxY, kSub), st.clip.bottom - 1);
  if (left > right || top > bottom) return true;

  Fixed32Plane pu, pv;
  if (in.textured && (!pu.Setup(in.u, in.x0, in.y0, left, right, top, bottom) ||
                      !pv.Setup(in.v, in.x0, in.y0, left, right, top, bottom))) {
    return false;
  }
  const Fixed clockwise[4] = {f[0], cw ? f[1] : f[3], f[2], cw ? f[3] : f[1]};
  EdgeWalker edges;  // set off on the first row drawn

  SpanSource src = in.Steps();
  // Bilinear texels with a narrow routine, or added to the target: the wide
  // path reads every sample from the texture's footprint table, the spans
  // handed over in batches.
  SpanOp op;
  FootprintSource table;
  if (local.pixel.linear && (ChooseOp(local.pixel, true, colour, &op) || ChooseAddOp(local.pixel, colour, &op)) &&
      FootprintsForTurnedQuad(local.pixel) && WideFootprints(local.pixel, &table) && pu.Fits16(in.u) &&
      pv.Fits16(in.v)) {
    const PixelState& px = local.pixel;
    const int32_t du = static_cast<int32_t>(src.du), dv = static_cast<int32_t>(src.dv);
    // The quad's texels, by the shoelace formula over its corners.
    double texels = 0.0;
    for (int i = 0; i < 4; ++i) {
      const ScreenVertex &a = v[i], &b = v[(i + 1) % 4];
      texels += static_cast<double>(a.u) * b.v - static_cast<double>(b.u) * a.v;
    }
    table.hull = HullWorthCutting(px, std::fabs(texels) / 2 * px.texWidth * px.texHeight);
    ScreenHull screenHull;
    const ScreenHull* hull = CutToHull(table, op, in, f, 4, left, right, &screenHull);
    int64_t rowsTop = top, rowsBottom = bottom;
    if (hull && (hull->Empty() || !hull->Rows(&rowsTop, &rowsBottom))) return true;
    edges.Init(clockwise, 4, rowsTop);
    pu.row += (rowsTop - top) * pu.dy;  // the planes, as they stand on that row
    pv.row += (rowsTop - top) * pv.dy;
    // A turned quad has two left and two right edges: the four are walked
    // together over a batch of rows (EdgePairRowsAvx2).
    if (edges.leftCount == 2 && edges.rightCount == 2 && edges.levelCount == 0) {
      EdgePairs pairs;
      for (int k = 0; k < 4; ++k) {
        const EdgeWalker::Slanted& e = k < 2 ? edges.lefts[k] : edges.rights[k - 2];
        pairs.q[k] = e.q;
        pairs.r[k] = e.r;
        pairs.dq[k] = e.dq;
        pairs.dr[k] = e.dr;
        pairs.div[k] = e.div;
      }
      WideQuadRows(px, op, table, rowsTop, rowsBottom, left, du, dv, colour, &pu, &pv, hull,
                   [&pairs, left, right](int n, int64_t* xl, int64_t* xr) {
                     EdgePairRowsAvx2(pairs, n, left, right, xl, xr);
                   });
    } else {
      WideQuadRows(px, op, table, rowsTop, rowsBottom, left, du, dv, colour, &pu, &pv, hull,
                   [&edges, left, right](int n, int64_t* xl, int64_t* xr) {
                     for (int k = 0; k < n; ++k) {
                       xl[k] = left;
                       xr[k] = right;
                       edges.Row(&xl[k], &xr[k]);
                     }
                   });
    }
    return true;
  }
  edges.Init(clockwise, 4, top);
  const SpanShader shade = NarrowShader(local.pixel, true, colour);
  for (int64_t py = top; py <= bottom; ++py, pu.row += pu.dy, pv.row += pv.dy) {
    int64_t xl = left, xr = right;
    edges.Row(&xl, &xr);
    if (xl > xr) continue;
    if (in.textured) {
      src.u = pu.At(xl, left);
      src.v = pv.At(xl, left);
    }
    if (py + 2 <= bottom && xr - xl < 256) PrefetchRow(local.pixel, xl, xr, py + 2);
    shade(local.pixel, static_cast<int>(xl), static_cast<int>(py), static_cast<int>(xr - xl + 1), src);
  }
  return true;
}

uint32_t LerpColour(uint32_t a, uint32_t b, double t) {
  if (a == b) return a;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    const double c = std::clamp(ca + (cb - ca) * t, 0.0, 255.0);
    out |= static_cast<uint32_t>(std::floor(c + 0.5)) << shift;
  }
  return out;
}

void DrawLine(const RasterState& st, const ScreenVertex& va, const ScreenVertex& vb) {
  Fixed fa, fb;
  if (!Snap(va, &fa) || !Snap(vb, &fb)) return;
  const double xa = static_cast<double>(fa.x) / kSub, ya = static_cast<double>(fa.y) / kSub;
  const double xb = static_cast<double>(fb.x) / kSub, yb = static_cast<double>(fb.y) / kSub;
  const double dx = xb - xa, dy = yb - ya;
  if (dx == 0 && dy == 0) return;
  const bool xMajor = std::fabs(dx) >= std::fabs(dy);
  const double major0 = xMajor ? xa : ya, major1 = xMajor ? xb : yb;
  const double minor0 = xMajor ? ya : xa;
  const double dMajor = major1 - major0, dMinor = xMajor ? dy : dx;
  // Centres from the first end (included) towards the last (excluded).
  int64_t first, last, step;
  if (dMajor > 0) {
    first = static_cast<int64_t>(std::ceil(major0));
    last = static_cast<int64_t>(std::ceil(major1)) - 1;
    step = 1;
  } else {
    first = static_cast<int64_t>(std::floor(major0));
    last = static_cast<int64_t>(std::floor(major1)) + 1;
    step = -1;
  }
  RasterState local = st;
  local.pixel.linear = st.magLinear;
  const double tw = st.pixel.texWidth, th = st.pixel.texHeight;
  for (int64_t m = first; step > 0 ? m <= last : m >= last; m += step) {
    const double t = (static_cast<double>(m) - major0) / dMajor;
    const int64_t n = static_cast<int64_t>(std::floor(minor0 + t * dMinor + 0.5));
    const int64_t px = xMajor ? m : n, py = xMajor ? n : m;
    if (px < st.clip.left || px >= st.clip.right || py < st.clip.top || py >= st.clip.bottom) continue;
    SpanSource src;
    src.flat = true;
    src.colour = LerpColour(va.colour, vb.colour, t);
    if (st.pixel.texels) {
      src.u = ToFixed16((va.u + (vb.u - va.u) * t) * tw);
      src.v = ToFixed16((va.v + (vb.v - va.v) * t) * th);
    }
    ShadeSpan(local.pixel, static_cast<int>(px), static_cast<int>(py), 1, src);
  }
}

}  // namespace

void DrawTriangleFan(const RasterState& st, const ScreenVertex* v, uint32_t triangles) {
  if (st.clip.left >= st.clip.right || st.clip.top >= st.clip.bottom) return;
  if (triangles == 2 && st.rectPath) {
    // Both one-span passes take the four corners on the sub-pixel grid.
    Fixed f[4];
    const bool snapped = Snap(v[0], &f[0]) && Snap(v[1], &f[1]) && Snap(v[2], &f[2]) && Snap(v[3], &f[3]);
    if (snapped && (DrawRectangle(st, v, f) || DrawQuad(st, v, f))) return;
  }
  for (uint32_t i = 0; i < triangles; ++i) DrawTriangle(st, v[0], v[i + 1], v[i + 2]);
}

void DrawLineStrip(const RasterState& st, const ScreenVertex* v, uint32_t lines) {
  if (st.clip.left >= st.clip.right || st.clip.top >= st.clip.bottom) return;
  for (uint32_t i = 0; i < lines; ++i) DrawLine(st, v[i], v[i + 1]);
}

}  // namespace plat::gfx

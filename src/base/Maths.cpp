#include "base/Maths.h"

#include <array>
#include <cmath>
#include <utility>

namespace kis {
namespace {

constexpr double kDegToRad = 3.1415927410125732 / 180.0;
constexpr double kRadToDeg = 180.0 / 3.1415927410125732;

// Converts an already integral double to i32, saturating (NaN gives 0).
i32 SaturateToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return static_cast<i32>(-2147483647 - 1);
  return static_cast<i32>(v);
}

// Angle of a direction of non-zero length, from the arcsine of its y share as
// the game has always measured it; kept below 360 against float rounding.
float DirectionAngle(double dx, double dy) {
  const double len = std::sqrt(dx * dx + dy * dy);
  if (len == 0.0 || std::isnan(len)) return 0.0f;
  double s = dy / len;
  if (s > 1.0) s = 1.0;
  if (s < -1.0) s = -1.0;
  const double a = std::asin(s) * kRadToDeg;
  double angle;
  if (dx >= 0.0)
    angle = dy < 0.0 ? a + 360.0 : a;
  else
    angle = 180.0 - a;
  const float f = static_cast<float>(angle);
  return f >= 360.0f ? 0.0f : f;
}

// Eased-curve tables, 1001 entries each, built once on first use.
struct CurveTables {
  std::array<float, 1001> rising{};   // curve 1: sqrt(1 - (1 - t)^2)
  std::array<float, 1001> steep{};    // curve 2: 1 - sqrt(1 - t^2)
  CurveTables() {
    rising.fill(0.0f);
    steep.fill(0.0f);
    for (int i = 0; i <= 10000; ++i) {
      const double rad = i * 90.0 / 10000.0 * kDegToRad;
      const float s = static_cast<float>(std::sin(rad));
      const float c = static_cast<float>(std::cos(rad));
      const i32 k = RoundToInt(s * 1000.0f);
      if (k < 0 || k > 1000) continue;
      float& r = rising[static_cast<size_t>(1000 - k)];
      if (c > r) r = c;
      float& st = steep[static_cast<size_t>(k)];
      if (1.0f - c > st) st = 1.0f - c;
    }
  }
};

const CurveTables& Curves() {
  static const CurveTables tables;
  return tables;
}

u32 LerpChannels(u32 c1, u32 c2, float t, u32 channels) {
  u32 out = 0;
  for (u32 ch = 0; ch < channels; ++ch) {
    const u32 shift = ch * 8;
    const float a = static_cast<float>((c1 >> shift) & 0xFF);
    const float b = static_cast<float>((c2 >> shift) & 0xFF);
    out |= (static_cast<u32>(RoundToInt(a + (b - a) * t)) & 0xFF) << shift;
  }
  return out;
}

}  // namespace

i32 RoundToInt(float f) { return SaturateToInt(std::floor(static_cast<double>(f) + 0.5)); }

i32 FloorToInt(float f) { return SaturateToInt(std::floor(static_cast<double>(f))); }

i32 CeilToInt(float f) { return SaturateToInt(std::ceil(static_cast<double>(f))); }

i32 TruncToInt(double d) { return SaturateToInt(d); }

i32 Sign(float f) {
  if (f > 0.0f) return 1;
  if (f == 0.0f) return 0;
  return -1;
}

void SinCos(float radians, float* sinOut, float* cosOut) {
  if (sinOut) *sinOut = std::sin(radians);
  if (cosOut) *cosOut = std::cos(radians);
}

float SqrtF(float f) { return std::sqrt(f); }

float AbsF(float f) { return std::fabs(f); }

// a - 360 * trunc(a / 360), shifted into range; a tiny negative angle would
// otherwise come out as exactly 360 after float rounding.
float NormalizeAngle(float a) {
  if (!std::isfinite(a)) return 0.0f;
  float r = a - 360.0f * std::trunc(a / 360.0f);
  if (r < 0.0f) r += 360.0f;
  if (r >= 360.0f || r < 0.0f) r = 0.0f;
  return r;
}

float AngleDistance(float a, float b) {
  const float d = std::fabs(NormalizeAngle(b) - NormalizeAngle(a));
  return d <= 180.0f ? d : 360.0f - d;
}

float LineAngle(float x1, float y1, float x2, float y2) {
  return DirectionAngle(static_cast<double>(x2) - x1, static_cast<double>(y2) - y1);
}

float LineAngleI(i32 x1, i32 y1, i32 x2, i32 y2) {
  return DirectionAngle(static_cast<double>(x2) - x1, static_cast<double>(y2) - y1);
}

float PointAngle(const FloatPoint& p1, const FloatPoint& p2) { return LineAngle(p1.x, p1.y, p2.x, p2.y); }

float VectorAngle(const FloatPoint& v) { return DirectionAngle(v.x, v.y); }

void VectorToPolar(const FloatPoint& v, float* angle, float* length) {
  const float len = VectorLength(v);
  if (length) *length = len;
  if (angle) *angle = len == 0.0f ? 0.0f : DirectionAngle(v.x, v.y);
}

void AddPolar(FloatPoint* point, float angle, float length, bool set) {
  AddPolarXY(point, angle, length, length, set);
}

void AddPolarXY(FloatPoint* point, float angle, float lx, float ly, bool set) {
  if (!point) return;
  float dx = 0.0f;
  float dy = 0.0f;
  if (lx != 0.0f || ly != 0.0f) {
    if (angle == 0.0f) {
      dx = lx;
    } else {
      const double rad = angle * kDegToRad;
      dx = static_cast<float>(std::cos(rad) * lx);
      dy = static_cast<float>(std::sin(rad) * ly);
    }
  }
  if (set) {
    point->x = dx;
    point->y = dy;
  } else {
    point->x += dx;
    point->y += dy;
  }
}

float Distance(float x1, float y1, float x2, float y2) {
  if (x1 == x2 && y1 == y2) return 0.0f;
  return VectorLengthXY(x2 - x1, y2 - y1);
}

float DistanceI(i32 x1, i32 y1, i32 x2, i32 y2) {
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

float PointDistance(const FloatPoint& p1, const FloatPoint& p2) { return Distance(p1.x, p1.y, p2.x, p2.y); }

float VectorLength(const FloatPoint& v) { return VectorLengthXY(v.x, v.y); }

float VectorLengthXY(float x, float y) {
  if (x == 0.0f && y == 0.0f) return 0.0f;
  return static_cast<float>(std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y));
}

float VectorLengthI(i32 x, i32 y) { return DistanceI(0, 0, x, y); }

bool PointsWithin(i32 x1, i32 y1, i32 x2, i32 y2, i32 r) {
  return DistanceI(x1, y1, x2, y2) <= static_cast<float>(r);
}

bool PointInRect(i32 x, i32 y, const Rect& rect) {
  return PointInRectXY(x, y, rect.left, rect.top, rect.right, rect.bottom);
}

bool PointInRectXY(i32 x, i32 y, i32 left, i32 top, i32 right, i32 bottom) {
  return left <= x && x < right && top <= y && y < bottom;
}

bool RectsOverlap(const Rect& a, const Rect& b) {
  return a.right > b.left && a.left < b.right && a.bottom > b.top && a.top < b.bottom;
}

void NormalizeRect(Rect* out, const Rect& in) {
  if (!out) return;
  Rect r = in;
  if (r.right < r.left) std::swap(r.left, r.right);
  if (r.bottom < r.top) std::swap(r.top, r.bottom);
  *out = r;
}

void CombineRects(Rect* out, const Rect& a, const Rect& b) {
  if (!out) return;
  *out = Rect{a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
              a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}

void DeflateRectBy(Rect* rect, i32 n) {
  if (!rect) return;
  rect->left += n;
  rect->top += n;
  rect->right -= n;
  rect->bottom -= n;
}

void ZeroRect(Rect* rect) {
  if (rect) *rect = Rect{0, 0, 0, 0};
}

void AssignRect(Rect* rect, i32 left, i32 top, i32 right, i32 bottom) {
  if (rect) *rect = Rect{left, top, right, bottom};
}

FloatPoint MakeFloatPoint(float x, float y) { return FloatPoint{x, y}; }

FloatPoint MakeFloatPointI(i32 x, i32 y) { return FloatPoint{static_cast<float>(x), static_cast<float>(y)}; }

bool PointInEllipse(const FloatPoint& point, const FloatPoint& centre, float rx, float ry) {
  return PointInEllipseXY(point.x, point.y, centre.x, centre.y, rx, ry);
}

// With unequal radii the x offset is scaled onto a circle of radius ry.
bool PointInEllipseXY(float x, float y, float cx, float cy, float rx, float ry) {
  if (std::fabs(rx) < 1e-5f || std::fabs(ry) < 1e-5f) return false;
  if (rx == ry) return Distance(x, y, cx, cy) <= rx;
  const float sx = cx + (x - cx) * (ry / rx);
  return Distance(sx, y, cx, cy) <= ry;
}

// The ray leaves through a side edge when it is nearly horizontal or steeper
// than the diagonal allows; a zero-height rectangle takes the side edges only
// for a horizontal ray, so no 0/0 ever arises.
void RectEdgePoint(const Rect& rect, float angle, FloatPoint* point) {
  if (!point) return;
  Rect r;
  NormalizeRect(&r, rect);
  const float w = static_cast<float>(static_cast<double>(r.right) - r.left);
  const float h = static_cast<float>(static_cast<double>(r.bottom) - r.top);
  const double rad = angle * kDegToRad;
  const float s = static_cast<float>(std::sin(rad));
  const float c = static_cast<float>(std::cos(rad));
  const float left = static_cast<float>(r.left);
  const float top = static_cast<float>(r.top);
  const bool nearlyHorizontal = std::fabs(s) <= 0.0001f;
  if (nearlyHorizontal || (h != 0.0f && std::fabs(c / s) > std::fabs(w / h))) {
    point->x = Sign(c) < 1 ? left : static_cast<float>(r.right);
    point->y = top + h / 2.0f + (w / 2.0f) * s / std::fabs(c);
  } else {
    point->x = left + w / 2.0f + (h / 2.0f) * c / std::fabs(s);
    point->y = Sign(s) < 1 ? top : static_cast<float>(r.bottom);
  }
}

void RectEdgePointI(const Rect& rect, float angle, IntPoint* point) {
  if (!point) return;
  FloatPoint p;
  RectEdgePoint(rect, angle, &p);
  point->x = RoundToInt(p.x);
  point->y = RoundToInt(p.y);
}

void RectEdgePointXY(const Rect& rect, float angle, i32* x, i32* y) {
  FloatPoint p;
  RectEdgePoint(rect, angle, &p);
  if (x) *x = RoundToInt(p.x);
  if (y) *y = RoundToInt(p.y);
}

// The segment count is settled last against the capacity, so the ring always
// fits the caller's array (ring vertices + the closing one + the centre).
u32 MakeArcVertices(ArcVertex* vertices, float cx, float cy, float rx, float ry, u32 capacity,
                    bool withCentre, u32 color, float step) {
  if (!vertices) return 0;
  const float r = rx > ry ? rx : ry;
  const float len = r * kTwoPi;
  if (!(std::fabs(len) >= 1e-5f)) return 0;
  i64 n = CeilToInt(len / step);
  if (n < 8) n = 8;
  const i64 extra = withCentre ? 2 : 1;
  const i64 maxSegments = static_cast<i64>(capacity) - extra;
  if (n > maxSegments) n = maxSegments;
  if (n < 3) return 0;
  ArcVertex* v = vertices;
  if (withCentre) {
    v->x = cx;
    v->y = cy;
    if (color != 0) v->color = color;
    ++v;
  }
  ArcVertex* first = v;
  for (i64 i = 0; i < n; ++i, ++v) {
    const double rad = static_cast<double>(i) * 360.0 / static_cast<double>(n) * kDegToRad;
    v->x = static_cast<float>(std::cos(rad) * rx + cx);
    v->y = static_cast<float>(std::sin(rad) * ry + cy);
    if (color != 0) v->color = color;
  }
  v->x = first->x;
  v->y = first->y;
  if (color != 0) v->color = color;
  return static_cast<u32>(n + extra);
}

float Interpolate(float from, float to, float fallback, float duration, float elapsed, u32 curve,
                  bool smooth) {
  if (!(duration > 0.0f) || !(elapsed >= 0.0f) || elapsed > duration) return fallback;
  const float t = elapsed / duration;
  if (curve == 0) return from + (to - from) * t;
  if (curve != 1 && curve != 2) return fallback;
  const auto& table = curve == 1 ? Curves().rising : Curves().steep;
  const float index = t * 1000.0f;
  float entry;
  if (smooth) {
    const i32 lo = FloorToInt(index);
    const i32 hi = CeilToInt(index);
    const float frac = index - static_cast<float>(lo);
    entry = table[static_cast<size_t>(lo)] + (table[static_cast<size_t>(hi)] - table[static_cast<size_t>(lo)]) * frac;
  } else {
    entry = table[static_cast<size_t>(RoundToInt(index))];
  }
  return from + (to - from) * entry;
}

u32 LerpColor(u32 c1, u32 c2, float t) {
  if (c1 == c2 || !(t > 0.0f)) return c1;
  if (t >= 1.0f) return c2;
  return LerpChannels(c1, c2, t, 4);
}

u32 LerpColorRGB(u32 c1, u32 c2, float t) {
  const u32 alpha = c1 & 0xFF000000u;
  if (c1 == c2 || !(t > 0.0f)) return c1;
  if (t >= 1.0f) return alpha | (c2 & 0x00FFFFFFu);
  return alpha | LerpChannels(c1, c2, t, 3);
}

Matrix4x4 MakeMatrix(float m11, float m12, float m13, float m14, float m21, float m22, float m23,
                     float m24, float m31, float m32, float m33, float m34, float m41, float m42,
                     float m43, float m44) {
  return Matrix4x4{{m11, m12, m13, m14, m21, m22, m23, m24, m31, m32, m33, m34, m41, m42, m43, m44}};
}

}  // namespace kis

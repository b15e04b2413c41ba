// Small numeric helpers used across the engine and the game: float rounding,
// angles in degrees, 2-D points, rectangles, ellipses, vertex rings for drawn
// circles, timed interpolation on eased curves, colour interpolation and a
// 4 x 4 matrix builder.
//
// Angles are in degrees. The angle of a direction runs from the positive x
// axis towards the positive y axis (screen y grows downwards) and always lies
// in 0 <= angle < 360. Every function is total: degenerate shapes give false,
// 0 or the fallback, never NaN or a write past the caller's array.
#pragma once

#include "base/Types.h"

namespace kis {

constexpr float kPi = 3.1415927410125732f;
constexpr float kTwoPi = 6.2831854820251465f;

struct FloatPoint {
  float x;
  float y;
};

struct IntPoint {
  i32 x;
  i32 y;
};

// Right and bottom are exclusive for containment.
struct Rect {
  i32 left;
  i32 top;
  i32 right;
  i32 bottom;
};

// One vertex of a drawn ring; the ring builder leaves z untouched.
struct ArcVertex {
  float x;
  float y;
  float z;
  u32 color;  // ARGB
};

// Sixteen floats in row order (m[0..3] is the first row).
struct Matrix4x4 {
  float m[16];
};

// --- Rounding (results saturate at the i32 range; NaN gives 0) -------------
i32 RoundToInt(float f);  // nearest, halves up: floor(f + 0.5)
i32 FloorToInt(float f);  // towards minus infinity
i32 CeilToInt(float f);   // towards plus infinity
i32 TruncToInt(double d);  // towards zero: the conversion for any float from outside
i32 Sign(float f);        // 1, 0 or -1 (NaN gives -1)
void SinCos(float radians, float* sinOut, float* cosOut);
float SqrtF(float f);
float AbsF(float f);

// --- Angles ------------------------------------------------------------------
float NormalizeAngle(float a);                             // into [0, 360)
float AngleDistance(float a, float b);                     // 0 .. 180
float LineAngle(float x1, float y1, float x2, float y2);   // 0 for equal points
float LineAngleI(i32 x1, i32 y1, i32 x2, i32 y2);
float PointAngle(const FloatPoint& p1, const FloatPoint& p2);
float VectorAngle(const FloatPoint& v);                    // 0 for the zero vector
void VectorToPolar(const FloatPoint& v, float* angle, float* length);
// Offset (cos * length, sin * length): replaces the point when `set`, else adds.
void AddPolar(FloatPoint* point, float angle, float length, bool set);
void AddPolarXY(FloatPoint* point, float angle, float lx, float ly, bool set);

// --- Distances and containment ----------------------------------------------
float Distance(float x1, float y1, float x2, float y2);
float DistanceI(i32 x1, i32 y1, i32 x2, i32 y2);
float PointDistance(const FloatPoint& p1, const FloatPoint& p2);
float VectorLength(const FloatPoint& v);
float VectorLengthXY(float x, float y);
float VectorLengthI(i32 x, i32 y);
bool PointsWithin(i32 x1, i32 y1, i32 x2, i32 y2, i32 r);  // Distance <= r

bool PointInRect(i32 x, i32 y, const Rect& rect);
bool PointInRectXY(i32 x, i32 y, i32 left, i32 top, i32 right, i32 bottom);
bool RectsOverlap(const Rect& a, const Rect& b);  // shared edges do not overlap
void NormalizeRect(Rect* out, const Rect& in);
void CombineRects(Rect* out, const Rect& a, const Rect& b);
void DeflateRectBy(Rect* rect, i32 n);
void ZeroRect(Rect* rect);
void AssignRect(Rect* rect, i32 left, i32 top, i32 right, i32 bottom);
FloatPoint MakeFloatPoint(float x, float y);
FloatPoint MakeFloatPointI(i32 x, i32 y);

bool PointInEllipse(const FloatPoint& point, const FloatPoint& centre, float rx, float ry);
bool PointInEllipseXY(float x, float y, float cx, float cy, float rx, float ry);

// Where a ray from the rectangle's centre in direction `angle` meets its
// border. Degenerate (zero-width or zero-height) rectangles give finite points.
void RectEdgePoint(const Rect& rect, float angle, FloatPoint* point);
void RectEdgePointI(const Rect& rect, float angle, IntPoint* point);
void RectEdgePointXY(const Rect& rect, float angle, i32* x, i32* y);

// --- Shapes, curves, colours -------------------------------------------------
// Fills a closed ring of vertices around an ellipse (optionally preceded by the
// centre, for a triangle fan). At least 8 segments, one per `step` units of
// circumference, never more vertices than `capacity`. Returns the vertices
// written: 0 when the ellipse is too small or the capacity cannot hold a ring
// of three segments.
u32 MakeArcVertices(ArcVertex* vertices, float cx, float cy, float rx, float ry, u32 capacity,
                    bool withCentre, u32 color, float step);

// Value between `from` and `to` after `elapsed` of `duration`: curve 0 linear,
// curve 1 a quarter circle that rises fast and levels off, curve 2 one that
// starts flat and rises steeply; `smooth` blends neighbouring table entries.
// Outside 0 <= elapsed <= duration (or for an unknown curve) gives `fallback`.
float Interpolate(float from, float to, float fallback, float duration, float elapsed, u32 curve,
                  bool smooth);

u32 LerpColor(u32 c1, u32 c2, float t);     // channel by channel, all four
u32 LerpColorRGB(u32 c1, u32 c2, float t);  // the three low channels; alpha of c1

Matrix4x4 MakeMatrix(float m11, float m12, float m13, float m14, float m21, float m22, float m23,
                     float m24, float m31, float m32, float m33, float m34, float m41, float m42,
                     float m43, float m44);

}  // namespace kis

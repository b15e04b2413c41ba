#include "pathfinding/MapShapes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Small angle and distance helpers of the shape tests.
float NormalizeAngle(float a) {
  a = std::fmod(a, 360.0f);
  if (a < 0.0f) a += 360.0f;
  return a;
}

float LineAngle(float x1, float y1, float x2, float y2) {
  return NormalizeAngle(static_cast<float>(std::atan2(y2 - y1, x2 - x1) * 180.0 / 3.14159265358979323846));
}

float AngleDistance(float a, float b) {
  const float d = NormalizeAngle(a - b);
  return d > 180.0f ? 360.0f - d : d;
}

bool PointInEllipse(float px, float py, float cx, float cy, float rx, float ry) {
  if (rx <= 0.00001f || ry <= 0.00001f) return false;
  float dx = px - cx;
  const float dy = py - cy;
  if (rx != ry) dx *= ry / rx;
  return dx * dx + dy * dy <= ry * ry;
}

i32 Word(const SHAPEDESC* d, int k) { return static_cast<i32>(d->words[k]); }
i32 CornerX(const SHAPEDESC* d, int k) { return static_cast<i16>(d->words[k] & 0xFFFF); }
i32 CornerY(const SHAPEDESC* d, int k) { return static_cast<i16>(d->words[k] >> 16); }

// Moves (and mirrors) one packed corner; false when it leaves the 16-bit range.
bool PlaceCorner(SHAPEDESC* d, int k, i32 dx, i32 dy, bool mirror) {
  const i64 x = static_cast<i64>(mirror ? -CornerX(d, k) : CornerX(d, k)) + dx;
  const i64 y = static_cast<i64>(CornerY(d, k)) + dy;
  if (x < -32768 || x > 32767 || y < -32768 || y > 32767) return false;
  d->words[k] = static_cast<u32>(static_cast<u16>(x)) | (static_cast<u32>(static_cast<u16>(y)) << 16);
  return true;
}

bool FitsI32(i64 v) { return v >= INT32_MIN && v <= INT32_MAX; }

// Moves one i32 word; false on overflow.
bool Shift(SHAPEDESC* d, int k, i64 by) {
  const i64 v = static_cast<i64>(Word(d, k)) + by;
  if (!FitsI32(v)) return false;
  d->words[k] = static_cast<u32>(static_cast<i32>(v));
  return true;
}

i32 FloorDiv(i32 a, i32 b) { return a >= 0 ? a / b : -((-static_cast<i64>(a) + b - 1) / b); }
i32 CeilDiv(i32 a, i32 b) { return a / b + (a % b > 0 ? 1 : 0); }

}  // namespace

float ShapeWordFloat(u32 word) {
  float f;
  std::memcpy(&f, &word, sizeof f);
  return f;
}

u32 ShapeFloatWord(float value) {
  u32 w;
  std::memcpy(&w, &value, sizeof w);
  return w;
}

void SetShapeEllipse(SHAPEDESC* desc, i32 cx, i32 cy, i32 rx, i32 ry) {
  *desc = SHAPEDESC{};
  desc->kind = SHAPE_ELLIPSE;
  desc->words[0] = static_cast<u32>(cx);
  desc->words[1] = static_cast<u32>(cy);
  desc->words[2] = static_cast<u32>(rx);
  desc->words[3] = static_cast<u32>(ry);
}

void ShapeBounds(const SHAPEDESC* d, SHAPERECT* out) {
  *out = SHAPERECT{0, 0, 0, 0};
  switch (d->kind) {
    case SHAPE_RECT:
      *out = SHAPERECT{Word(d, 0), Word(d, 1), Word(d, 2), Word(d, 3)};
      break;
    case SHAPE_CIRCLE: {
      const i64 x = Word(d, 0), y = Word(d, 1), r = Word(d, 2);
      *out = SHAPERECT{static_cast<i32>(std::clamp<i64>(x - r - 1, INT32_MIN, INT32_MAX)),
                       static_cast<i32>(std::clamp<i64>(y - r - 1, INT32_MIN, INT32_MAX)),
                       static_cast<i32>(std::clamp<i64>(x + r + 1, INT32_MIN, INT32_MAX)),
                       static_cast<i32>(std::clamp<i64>(y + r + 1, INT32_MIN, INT32_MAX))};
      break;
    }
    case SHAPE_ELLIPSE: {
      const i64 x = Word(d, 0), y = Word(d, 1), rx = Word(d, 2), ry = Word(d, 3);
      *out = SHAPERECT{static_cast<i32>(std::clamp<i64>(x - rx - 1, INT32_MIN, INT32_MAX)),
                       static_cast<i32>(std::clamp<i64>(y - ry - 1, INT32_MIN, INT32_MAX)),
                       static_cast<i32>(std::clamp<i64>(x + rx + 1, INT32_MIN, INT32_MAX)),
                       static_cast<i32>(std::clamp<i64>(y + ry + 1, INT32_MIN, INT32_MAX))};
      break;
    }
    case SHAPE_TRIANGLE:
    case SHAPE_DIAMOND: {
      const int n = d->kind == SHAPE_TRIANGLE ? 3 : 4;
      *out = SHAPERECT{CornerX(d, 0), CornerY(d, 0), CornerX(d, 0), CornerY(d, 0)};
      for (int k = 1; k < n; ++k) {
        out->left = std::min(out->left, CornerX(d, k));
        out->top = std::min(out->top, CornerY(d, k));
        out->right = std::max(out->right, CornerX(d, k));
        out->bottom = std::max(out->bottom, CornerY(d, k));
      }
      break;
    }
    default:
      break;
  }
}

bool ShapeContainsPoint(const SHAPEDESC* d, i32 x, i32 y) {
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  switch (d->kind) {
    case SHAPE_RECT:
      return Word(d, 0) <= x && x < Word(d, 2) && Word(d, 1) <= y && y < Word(d, 3);
    case SHAPE_CIRCLE: {
      const double dx = static_cast<double>(x) - Word(d, 0), dy = static_cast<double>(y) - Word(d, 1);
      return std::sqrt(dx * dx + dy * dy) <= static_cast<double>(Word(d, 2));
    }
    case SHAPE_ELLIPSE:
      return PointInEllipse(fx, fy, static_cast<float>(Word(d, 0)), static_cast<float>(Word(d, 1)),
                            static_cast<float>(Word(d, 2)), static_cast<float>(Word(d, 3)));
    case SHAPE_TRIANGLE: {
      const float ax = static_cast<float>(CornerX(d, 0)), ay = static_cast<float>(CornerY(d, 0));
      const float bx = static_cast<float>(CornerX(d, 1)), by = static_cast<float>(CornerY(d, 1));
      return AngleDistance(ShapeWordFloat(d->words[3]), LineAngle(ax, ay, fx, fy)) <= ShapeWordFloat(d->words[4]) &&
             AngleDistance(ShapeWordFloat(d->words[5]), LineAngle(bx, by, fx, fy)) <= ShapeWordFloat(d->words[6]);
    }
    case SHAPE_DIAMOND: {
      const float ax = static_cast<float>(CornerX(d, 0)), ay = static_cast<float>(CornerY(d, 0));
      const float cx = static_cast<float>(CornerX(d, 2)), cy = static_cast<float>(CornerY(d, 2));
      const float axis = ShapeWordFloat(d->words[4]), half = ShapeWordFloat(d->words[5]);
      return AngleDistance(axis, LineAngle(ax, ay, fx, fy)) <= half &&
             AngleDistance(axis + 180.0f, LineAngle(cx, cy, fx, fy)) <= half;
    }
    default:
      return false;
  }
}

// Places one description. Results that would not fit their fields fail like
// an invalid description instead of wrapping.
bool MakeMapShape(MAPSHAPE* out, u32 global, const SHAPEDESC* desc, i32 dx, i32 dy, u32 mirror,
                  const ShapeHost& host) {
  *out = MAPSHAPE{};
  if (desc->kind > SHAPE_DIAMOND) return false;
  SHAPEDESC& d = out->desc;
  d.kind = desc->kind;
  switch (desc->kind) {
    case SHAPE_RECT: {
      i64 l = static_cast<i32>(desc->words[0]), t = static_cast<i32>(desc->words[1]);
      i64 r = static_cast<i32>(desc->words[2]), b = static_cast<i32>(desc->words[3]);
      if (!(l < r && t < b)) return false;
      if (mirror) {
        const i64 nl = -r, nr = -l;
        l = nl;
        r = nr;
      }
      l += dx;
      r += dx;
      t += dy;
      b += dy;
      if (!FitsI32(l) || !FitsI32(t) || !FitsI32(r) || !FitsI32(b)) return false;
      d.words[0] = static_cast<u32>(static_cast<i32>(l));
      d.words[1] = static_cast<u32>(static_cast<i32>(t));
      d.words[2] = static_cast<u32>(static_cast<i32>(r));
      d.words[3] = static_cast<u32>(static_cast<i32>(b));
      break;
    }
    case SHAPE_CIRCLE:
    case SHAPE_ELLIPSE: {
      const int radii = desc->kind == SHAPE_CIRCLE ? 1 : 2;
      for (int k = 0; k < 2 + radii; ++k) d.words[k] = desc->words[k];
      for (int k = 2; k < 2 + radii; ++k)
        if (Word(&d, k) < 1) return false;
      if (mirror) {
        if (Word(&d, 0) == INT32_MIN) return false;
        d.words[0] = static_cast<u32>(-Word(&d, 0));
      }
      if (!Shift(&d, 0, dx) || !Shift(&d, 1, dy)) return false;
      break;
    }
    case SHAPE_TRIANGLE:
    case SHAPE_DIAMOND: {
      const bool tri = desc->kind == SHAPE_TRIANGLE;
      const int corners = tri ? 3 : 4;
      const int words = tri ? 7 : 6;
      for (int k = 0; k < words; ++k) d.words[k] = desc->words[k];
      for (int k = 0; k < corners; ++k)
        if (!PlaceCorner(&d, k, dx, dy, mirror != 0)) return false;
      if (mirror) {
        const int axes[2] = {corners, tri ? 5 : -1};
        for (int a : axes)
          if (a >= 0) d.words[a] = ShapeFloatWord(NormalizeAngle(180.0f - ShapeWordFloat(d.words[a])));
      }
      break;
    }
    default:
      return false;
  }
  SHAPERECT bounds;
  ShapeBounds(&d, &bounds);
  if (bounds.left >= bounds.right || bounds.top >= bounds.bottom) return false;
  if (global) {
    out->tileLeft = 0;
    out->tileTop = 0;
    out->tileRight = -1;
    out->tileBottom = -1;
    return true;
  }
  i32 c0 = FloorDiv(bounds.left, 256), r0 = FloorDiv(bounds.top, 128);
  i32 c1 = bounds.right < 0 ? -1 : CeilDiv(bounds.right, 256);
  i32 r1 = bounds.bottom < 0 ? -1 : CeilDiv(bounds.bottom, 128);
  c0 = std::max(c0, 0);
  r0 = std::max(r0, 0);
  c1 = std::min(c1, host.GetTileColumns());
  r1 = std::min(r1, host.GetTileRows());
  if (c0 >= c1 || r0 >= r1) return false;
  out->tileLeft = c0;
  out->tileTop = r0;
  out->tileRight = c1 - 1;
  out->tileBottom = r1 - 1;
  return true;
}

void MapShapes::Create(u32 global, const SHAPEDESC* descs, u32 count, i32 offsetX, i32 offsetY, u32 mirror,
                       uintptr_t owner, Callback callback, u32 tag) {
  Clear();
  global_ = global;
  if (count == 0 || !descs) return;
  shapes_ = new MAPSHAPE[count];
  for (u32 i = 0; i < count; ++i) {
    MAPSHAPE& s = shapes_[count_];
    if (!MakeMapShape(&s, global, &descs[i], global ? 0 : offsetX, global ? 0 : offsetY, mirror, *host_)) continue;
    s.owner = owner;
    ++count_;
  }
  if (global) {
    callback_ = callback;
    tag_ = tag;
    if (count_ > 0) host_->AddGlobalShapes(this);
    return;
  }
  for (u32 i = 0; i < count_; ++i) {
    MAPSHAPE* s = &shapes_[i];
    for (i32 r = s->tileTop; r <= s->tileBottom; ++r)
      for (i32 c = s->tileLeft; c <= s->tileRight; ++c) host_->AddTileShape(c, r, s);
  }
}

void MapShapes::Clear() {
  if (global_) {
    if (count_ > 0) host_->RemoveGlobalShapes(this);
  } else {
    for (u32 i = 0; i < count_; ++i) {
      MAPSHAPE* s = &shapes_[i];
      for (i32 r = s->tileTop; r <= s->tileBottom; ++r)
        for (i32 c = s->tileLeft; c <= s->tileRight; ++c) host_->RemoveTileShape(c, r, s);
    }
  }
  delete[] shapes_;
  shapes_ = nullptr;
  count_ = 0;
}

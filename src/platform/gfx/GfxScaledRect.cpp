#include "platform/gfx/GfxScaledRect.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <vector>

#include "platform/gfx/GfxFootprints.h"
#include "platform/gfx/GfxSimdAvx2.h"
#include "platform/gfx/GfxTypes.h"

namespace plat::gfx {

namespace {

constexpr int64_t kMaxStep = 4 << 16;           // texels a pixel
constexpr int64_t kMaxCoordinate = int64_t{1} << 40;  // 16.16 coordinates and steps kept below this
constexpr int kPrefetchedWidth = 256;  // pixels: the widest rectangles whose target rows are asked for ahead
// Smaller rectangles (under 64 x 64 pixels) are filtered every time: they
// are cheap to filter, and the small things of a scene (particles) move.
constexpr int kLeastCachedPixels = 4096;

// The tables of one rectangle and the weighted columns of its current row,
// kept from one rectangle to the next so that drawing seldom allocates.
struct Scratch {
  std::vector<int32_t> offsets;   // per pixel: byte offset of its left column in `columns`
  std::vector<uint32_t> weights;  // per pixel: (128 - x) | x << 16, laid out for ScaledRowAvx2
  std::vector<int16_t> columns;   // per texel column: four weighted channels
};

Scratch& TheScratch() {
  thread_local Scratch scratch;
  return scratch;
}

// One texel column weighted vertically, as VerticalRunAvx2 does.
void WeightColumn(uint32_t top, uint32_t bottom, uint32_t y, int16_t* out) {
  for (int k = 0; k < 4; ++k) {
    const int t = static_cast<int>((top >> (8 * k)) & 0xFF) - 128, b = static_cast<int>((bottom >> (8 * k)) & 0xFF) - 128;
    out[k] = static_cast<int16_t>(static_cast<int>(128 - y) * t + static_cast<int>(y) * b);
  }
}

// The texel columns first .. first + n - 1 of the texel rows iy and iy + 1
// (before addressing), weighted (128 - y, y). Runs of columns that are
// neighbours in the texture take the vector routine; the few others (past
// a clamped or mirrored edge) are weighted one by one. The same columns of
// the texel rows ahead[0 .. aheadCount - 1] (addressed) are asked for as
// the runs go, a few cache lines at a time: a texture's rows lie a whole
// row apart, too far for the processor to foresee, and the lines of a whole
// row asked for at once mostly came too late to save anything.
void WeightColumns(const PixelState& s, int64_t iy, uint32_t y, int64_t first, int64_t n, int16_t* out,
                   const uint32_t* const* ahead, int aheadCount) {
  const int w = s.texWidth;
  const uint32_t* top = s.texels + static_cast<size_t>(AddressTexel(iy, s.texHeight, s.addressV)) * w;
  const uint32_t* bottom = s.texels + static_cast<size_t>(AddressTexel(iy + 1, s.texHeight, s.addressV)) * w;
  constexpr int64_t kColumnChunk = 64;  // columns: four cache lines of each row ahead
  for (int64_t k = 0; k < n;) {
    const int64_t c = first + k;
    const int a = AddressTexel(c, w, s.addressU);
    int64_t run = 1;
    if (c == a || s.addressU == D3DTADDRESS_WRAP) run = std::min<int64_t>(n - k, w - a);
    if (run >= 8) {
      for (int64_t j = 0; j < run;) {
        // Chunks of at least eight columns: a shorter end joins the chunk before it.
        const int64_t len = run - j < kColumnChunk + 8 ? run - j : kColumnChunk;
        for (int r = 0; r < aheadCount; ++r) {
          for (int64_t x = 0; x < len; x += 16) __builtin_prefetch(ahead[r] + a + j + x);
          __builtin_prefetch(ahead[r] + a + j + len - 1);
        }
        VerticalRunAvx2(top + a + j, bottom + a + j, static_cast<int>(len), y, out + 4 * (k + j));
        j += len;
      }
    } else {
      for (int64_t j = 0; j < run; ++j) WeightColumn(top[a + j], bottom[a + j], y, out + 4 * (k + j));
    }
    k += run;
  }
}

// The pixels [*from, *to) of a row (of `width`, its first pixel's left
// column at u0 in 16.16, du > 0 a pixel) whose two columns of texel rows iy
// and iy + 1 (clamped) hold a texel whose alpha is not 0, *from rounded
// down to a multiple of `align`; false when there are none.
bool VisiblePixels(const PixelState& s, int64_t iy, int64_t u0, int64_t du, int width, int align, int* from, int* to) {
  const uint32_t a = s.alphaSpans[AddressTexel(iy, s.texHeight, s.addressV)];
  const uint32_t b = s.alphaSpans[AddressTexel(iy + 1, s.texHeight, s.addressV)];
  const int64_t aFirst = a & 0xFFFF, aEnd = a >> 16, bFirst = b & 0xFFFF, bEnd = b >> 16;
  if (aEnd == 0 && bEnd == 0) return false;
  int64_t lo = aEnd == 0 ? bFirst : bEnd == 0 ? aFirst : std::min(aFirst, bFirst);
  int64_t hi = std::max(aEnd, bEnd);
  // Under clamping the edge texels stand for every column beyond them.
  if (lo == 0) lo = INT32_MIN;
  if (hi == s.texWidth) hi = INT32_MAX;
  // Pixel i reads columns c and c + 1, c = (u0 + du i) >> 16: visible while
  // lo - 1 <= c < hi. The first i with c >= t is ceil((t 65536 - u0) / du).
  auto firstAtLeast = [&](int64_t t) -> int64_t {
    if (t <= INT32_MIN) return 0;
    if (t >= INT32_MAX) return width;
    const int64_t num = t * 0x10000 - u0;
    const int64_t i = num <= 0 ? -((-num) / du) : (num + du - 1) / du;
    return std::clamp<int64_t>(i, 0, width);
  };
  const int64_t start = firstAtLeast(lo == INT32_MIN ? lo : lo - 1), end = firstAtLeast(hi);
  if (start >= end) return false;
  *from = static_cast<int>(start) / align * align;
  *to = static_cast<int>(end);
  return true;
}

// The rows of a rectangle a texel a pixel from the footprint table, where
// the whole texels of its samples fit in 16 bits.
bool DrawFromFootprints(const PixelState& s, SpanOp op, uint32_t colour, const ScaledRect& r,
                        const FootprintSource& source) {
  constexpr int64_t kLimit = int64_t{1} << 30;  // 2^14 texels
  const int64_t vLast = r.v + r.dv * (r.height - 1);
  if (std::llabs(r.u) >= kLimit || std::llabs(r.u + 0x10000 * (r.width + 8)) >= kLimit || std::llabs(r.v) >= kLimit ||
      std::llabs(vLast) >= kLimit) {
    return false;
  }
  constexpr int kBatch = 64;
  FootprintRow rows[kBatch];
  uint32_t* dest = s.target + static_cast<size_t>(r.top) * s.targetPitch + r.left;
  for (int j = 0; j < r.height; j += kBatch) {
    const int count = std::min(kBatch, r.height - j);
    for (int k = 0; k < count; ++k) {
      rows[k] = FootprintRow{dest + static_cast<ptrdiff_t>(j + k) * s.targetPitch, static_cast<int32_t>(r.u - 0x8000),
                             static_cast<int32_t>(r.v + r.dv * (j + k) - 0x8000), r.width};
    }
    FootprintRowsAvx2(op, source, rows, count, 0x10000, 0, colour);
  }
  return true;
}

// The texel columns a rectangle reads: its first pixel's left column at u0
// (16.16; sample points lie half a texel on from the texel centres they
// weight), the columns first .. first + count - 1.
void ColumnRange(const ScaledRect& r, int64_t* u0, int64_t* first, int64_t* count) {
  *u0 = r.u - 0x8000;
  const int64_t uLast = *u0 + r.du * (r.width - 1);
  *first = std::min(*u0, uLast) >> 16;
  *count = (std::max(*u0, uLast) >> 16) + 2 - *first;
}

// Rows of small rectangles lie far apart in the target: a coming one (two
// rows on from dest) is asked for ahead of its use. (The processor foresees
// the long rows of wide ones, and asking for them held it up.)
void PrefetchRowAhead(const uint32_t* dest, int pitch, int width) {
  if (width > kPrefetchedWidth) return;
  const uint32_t* ahead = dest + 2 * static_cast<ptrdiff_t>(pitch);
  for (int x = 0; x < width; x += 16) __builtin_prefetch(ahead + x, 1);
  __builtin_prefetch(ahead + width - 1, 1);
}

// The scratch tables of a rectangle whose first pixel's left column lies
// at u0 (16.16), its columns first .. first + count - 1: room for the
// weighted columns and, unless it is drawn a texel a pixel, each pixel's
// column and weight.
Scratch& PrepareScratch(const ScaledRect& r, int64_t u0, int64_t first, int64_t count) {
  Scratch& scratch = TheScratch();
  const int groups = (r.width + 7) / 8;
  // Reads of the last group may reach a group of eight past the columns.
  scratch.columns.resize(static_cast<size_t>(count + 8) * 4);
  if (r.du != 0x10000) {
    scratch.offsets.assign(static_cast<size_t>(groups) * 8, 0);
    scratch.weights.assign(static_cast<size_t>(groups) * 32, 128);
    for (int i = 0; i < r.width; ++i) {
      const int64_t u = u0 + r.du * i;
      const uint32_t x = static_cast<uint32_t>(u >> 9) & 127;
      scratch.offsets[static_cast<size_t>(i)] = static_cast<int32_t>(((u >> 16) - first) * 8);
      // Pixels k and k + 4 of a group of eight share a 256-bit word of
      // weights, four copies of each (see ScaledRowAvx2).
      const int g = i / 8, k = i % 8;
      uint32_t* w = &scratch.weights[static_cast<size_t>(g) * 32 + static_cast<size_t>(k % 4) * 8 + (k / 4) * 4];
      std::fill(w, w + 4, (128 - x) | (x << 16));
    }
  }
  return scratch;
}

// The filtered texels of a rectangle, row by row, into `rows`: the kCopy
// form of the rows the rectangle is drawn with, over every pixel, and the
// span of each row's texels that are not clear.
void FilterRows(const PixelState& s, const ScaledRect& r, ScaledRowCache::Rows* rows) {
  int64_t u0, first, count;
  ColumnRange(r, &u0, &first, &count);
  Scratch& scratch = PrepareScratch(r, u0, first, count);
  const int stride = (r.width + 7) & ~7;
  rows->stride = stride;
  rows->rowOf.resize(static_cast<size_t>(r.height));
  size_t unique = 0;
  for (int64_t j = 0, last = INT64_MIN; j < r.height; ++j) {
    const int64_t key = (r.v + r.dv * j - 0x8000) >> 9;
    unique += key != last;
    last = key;
  }
  // The rows of texels, and a group of eight past the last for the reads of the 1:1 rows.
  rows->texels.assign(unique * stride + 8, 0);
  rows->spans.clear();
  int64_t rowKey = INT64_MIN;
  int k = -1;
  for (int j = 0; j < r.height; ++j) {
    const int64_t v = r.v + r.dv * j - 0x8000;
    if ((v >> 9) != rowKey) {
      rowKey = v >> 9;
      ++k;
      uint32_t* out = rows->texels.data() + static_cast<size_t>(k) * stride;
      const uint32_t y = static_cast<uint32_t>(rowKey) & 127;
      WeightColumns(s, v >> 16, y, first, count, scratch.columns.data(), nullptr, 0);
      if (r.du == 0x10000) {
        UnitRowAvx2(SpanOp::kCopy, scratch.columns.data(), static_cast<uint32_t>(u0 >> 9) & 127, r.width, 0, out);
      } else {
        ScaledRowAvx2(SpanOp::kCopy, scratch.columns.data(), scratch.offsets.data(), scratch.weights.data(), r.width,
                      0, out);
      }
      int from = 0, to = r.width;
      while (from < to && (out[from] >> 24) == 0) ++from;
      while (to > from && (out[to - 1] >> 24) == 0) --to;
      rows->spans.push_back(from);
      rows->spans.push_back(to);
    }
    rows->rowOf[static_cast<size_t>(j)] = k;
  }
}

// Rectangle `r` drawn from its filtered texels. A blend of a clear texel
// (tinted or not) leaves its pixel as it is, so blends draw only the span
// of each row whose texels are not clear.
void DrawFromRows(const PixelState& s, SpanOp op, uint32_t colour, const ScaledRect& r,
                  const ScaledRowCache::Rows& rows) {
  const bool blend = op == SpanOp::kBlend || op == SpanOp::kTintBlend;
  uint32_t* dest = s.target + static_cast<size_t>(r.top) * s.targetPitch + r.left;
  for (int j = 0; j < r.height; ++j, dest += s.targetPitch) {
    const int k = rows.rowOf[static_cast<size_t>(j)];
    const int from = blend ? rows.spans[2 * static_cast<size_t>(k)] : 0;
    const int to = blend ? rows.spans[2 * static_cast<size_t>(k) + 1] : r.width;
    if (from >= to) continue;
    if (j + 2 < r.height) PrefetchRowAhead(dest, s.targetPitch, r.width);
    TexelRowAvx2(op, rows.texels.data() + static_cast<size_t>(k) * rows.stride + from, to - from, colour, dest + from);
  }
}

}  // namespace

size_t ScaledRowCache::KeyHash::operator()(const Key& k) const {
  uint64_t h = k.contentId;
  for (const uint64_t x : {static_cast<uint64_t>(k.u), static_cast<uint64_t>(k.du), static_cast<uint64_t>(k.v),
                           static_cast<uint64_t>(k.dv),
                           static_cast<uint64_t>(static_cast<uint32_t>(k.width)) << 32 |
                               static_cast<uint32_t>(k.height),
                           static_cast<uint64_t>(k.addressU) << 32 | k.addressV}) {
    h = (h ^ x) * 0x9E3779B97F4A7C15ull;
    h ^= h >> 29;
  }
  return static_cast<size_t>(h);
}

const ScaledRowCache::Rows* ScaledRowCache::Find(const PixelState& s, const ScaledRect& r) {
  const Key key{s.contentId, r.u, r.du, r.v, r.dv, r.width, r.height, s.addressU, s.addressV};
  auto [it, added] = rows_.try_emplace(key);
  Rows& rows = it->second;
  rows.frame = frame_;
  if (added) return nullptr;  // first seen: drawn as without the cache
  if (rows.filled) return &rows;
  // Seen before: filtered now, when the texels fit (a row for every row of
  // pixels at most).
  const size_t most = static_cast<size_t>(r.height) * ((r.width + 7) & ~7) + 8;
  if (held_ + most > limit_) return nullptr;
  FilterRows(s, r, &rows);
  rows.filled = true;
  held_ += rows.texels.size();
  return &rows;
}

void ScaledRowCache::EndFrame() {
  for (auto it = rows_.begin(); it != rows_.end();) {
    if (it->second.frame == frame_) {
      ++it;
      continue;
    }
    held_ -= it->second.texels.size();
    it = rows_.erase(it);
  }
  ++frame_;
}

void ScaledRowCache::Clear() {
  rows_.clear();
  held_ = 0;
}

namespace {

// Whether the wide path takes the rectangle (see DrawScaledRect).
bool WidePathTakes(const PixelState& s, const ScaledRect& r) {
  return Avx2Active() && s.addressU != D3DTADDRESS_BORDER && s.addressV != D3DTADDRESS_BORDER &&
         std::llabs(r.du) <= kMaxStep && std::llabs(r.dv) <= kMaxCoordinate && std::llabs(r.u) <= kMaxCoordinate &&
         std::llabs(r.v) <= kMaxCoordinate;
}

bool Cacheable(const PixelState& s, const ScaledRect& r) {
  return s.rowCache && s.contentId != 0 && int64_t{r.width} * r.height >= kLeastCachedPixels;
}

}  // namespace

bool MarkScaledRect(const PixelState& s, uint32_t colour, const ScaledRect& r) {
  if (r.width <= 0 || r.height <= 0 || !WidePathTakes(s, r) || !Cacheable(s, r)) return false;
  const ScaledRowCache::Rows* rows = s.rowCache->Find(s, r);
  if (!rows) return false;
  for (int j = 0; j < r.height; ++j) {
    const uint32_t* texels = rows->texels.data() + static_cast<size_t>(rows->rowOf[static_cast<size_t>(j)]) * rows->stride;
    MarkStencilFromTexels(s, r.left, r.top + j, r.width, texels, colour);
  }
  return true;
}

bool DrawScaledRect(const PixelState& s, SpanOp op, uint32_t colour, const ScaledRect& r) {
  if (!Avx2Active() || s.addressU == D3DTADDRESS_BORDER || s.addressV == D3DTADDRESS_BORDER) return false;
  if (r.width <= 0 || r.height <= 0) return true;
  if (!WidePathTakes(s, r)) return false;
  if (Cacheable(s, r)) {
    if (const ScaledRowCache::Rows* rows = s.rowCache->Find(s, r)) {
      DrawFromRows(s, op, colour, r, *rows);
      return true;
    }
  }
  int64_t u0, first, count;
  ColumnRange(r, &u0, &first, &count);

  // A texel a pixel: every pixel has the same horizontal weight, and pixel i
  // reads columns i and i + 1; from the texture's footprint table where it
  // has one, without weighting columns. Otherwise each pixel's column and
  // weight go into the tables.
  const bool unit = r.du == 0x10000;
  FootprintSource source;
  if (unit && WideFootprints(s, &source) && DrawFromFootprints(s, op, colour, r, source)) return true;
  Scratch& scratch = PrepareScratch(r, u0, first, count);

  // A blend leaves the target as it is where all four texels of a pixel
  // are clear, so rows of a clamped texture draw only the pixels that
  // reach its visible columns (scaled rows from the start of their group
  // of eight, whose weights belong together).
  const bool trim = s.alphaSpans && (op == SpanOp::kBlend || op == SpanOp::kTintBlend) && r.du > 0 &&
                    s.addressU == D3DTADDRESS_CLAMP;
  uint32_t* dest = s.target + static_cast<size_t>(r.top) * s.targetPitch + r.left;
  int64_t rowKey = INT64_MIN;
  int from = 0, to = r.width;  // the pixels the row draws
  for (int j = 0; j < r.height; ++j, dest += s.targetPitch) {
    const int64_t v = r.v + r.dv * j - 0x8000;
    const int64_t key = v >> 9;  // texel row and vertical weight
    if (key != rowKey) {
      rowKey = key;
      int64_t columnFrom = 0, columnTo = count;
      if (trim && !VisiblePixels(s, v >> 16, u0, r.du, r.width, unit ? 1 : 8, &from, &to)) {
        from = to = 0;
      } else if (trim) {
        columnFrom = ((u0 + r.du * from) >> 16) - first;
        columnTo = ((u0 + r.du * (to - 1)) >> 16) + 2 - first;
      }
      // The texel rows two rows on, asked for while this row's are weighted;
      // the first of them is mostly this row's second.
      const uint32_t* ahead[2] = {};
      int aheadCount = 0;
      if (j + 2 < r.height) {
        const int64_t aheadRow = (r.v + r.dv * (j + 2) - 0x8000) >> 16;
        auto row = [&s](int64_t iy) {
          return s.texels + static_cast<size_t>(AddressTexel(iy, s.texHeight, s.addressV)) * s.texWidth;
        };
        ahead[aheadCount++] = row(aheadRow + 1);
        if (aheadRow > (v >> 16) + 1) ahead[aheadCount++] = row(aheadRow);
      }
      if (from < to)
        WeightColumns(s, v >> 16, static_cast<uint32_t>(key) & 127, first + columnFrom, columnTo - columnFrom,
                      scratch.columns.data() + 4 * columnFrom, ahead, aheadCount);
    }
    if (from >= to) continue;
    if (j + 2 < r.height) PrefetchRowAhead(dest, s.targetPitch, r.width);
    if (unit) {
      UnitRowAvx2(op, scratch.columns.data() + 4 * from, static_cast<uint32_t>(u0 >> 9) & 127, to - from, colour,
                  dest + from);
    } else {
      ScaledRowAvx2(op, scratch.columns.data(), scratch.offsets.data() + from, scratch.weights.data() + 4 * from,
                    to - from, colour, dest + from);
    }
  }
  return true;
}

}  // namespace plat::gfx

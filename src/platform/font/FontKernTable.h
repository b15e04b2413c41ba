// Reader of the legacy TrueType 'kern' table, the only kerning source that the
// Windows text services consult. Only the Windows form of the table (version
// 0, 16-bit header) is read, and within it only format-0 subtables that kern
// horizontally: cross-stream and minimum-value subtables are skipped, and so
// is the Apple form (version 1.0, 32-bit header). Fonts whose kerning lives
// only in the OpenType GPOS table therefore have no pairs here, as on Windows.
//
// The table bytes are untrusted: every count is checked against the bytes
// that are really there, and a subtable that runs past the end is read only
// as far as whole pairs reach.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

class FontKernTable {
 public:
  struct Pair {
    uint16_t left = 0;   // glyph index of the first glyph
    uint16_t right = 0;  // glyph index of the second glyph
    int32_t value = 0;   // in font design units; negative brings the glyphs closer
  };

  // Replaces the pairs with those of `data`; false when the header is not a
  // readable Windows 'kern' table (the pairs are then empty). Values of the
  // same pair in several subtables add up, unless a later subtable has its
  // override bit set, which replaces the sum.
  bool Parse(const uint8_t* data, size_t size);

  // Sorted by (left, right), each pair once.
  const std::vector<Pair>& Pairs() const { return pairs_; }

 private:
  std::vector<Pair> pairs_;
};

}  // namespace plat

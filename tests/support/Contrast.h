// How well a text reads against what it is drawn on, from a frame's pixels:
// the contrast ratio of two colours by their relative luminance (sRGB, as
// the web's accessibility guidelines weigh them: 4.5:1 for body text), and a
// text's fill against its backdrop inside a rectangle of the frame.
#pragma once

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"

namespace testsupport {

inline double RelativeLuminance(u32 rgb) {
  const auto channel = [](u32 v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel((rgb >> 16) & 255) + 0.7152 * channel((rgb >> 8) & 255) + 0.0722 * channel(rgb & 255);
}

inline double ContrastRatio(u32 a, u32 b) {
  const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The fill (0xRRGGBB, alpha ignored) drawn inside the rectangle of a frame
// `width` pixels wide, against its backdrop: in each row the commonest
// colour other than the fill, so a backdrop shaded from row to row counts
// row by row. The lowest ratio of the rows; 0 when the fill is not drawn
// in the rectangle at all.
inline double TextContrast(const std::vector<u32>& frame, i32 width, const DXLRECT& r, u32 fill) {
  fill |= 0xFF000000u;
  bool drawn = false;
  double lowest = 0;
  for (i32 y = r.top; y < r.bottom; ++y) {
    std::map<u32, i32> counts;
    for (i32 x = r.left; x < r.right; ++x) {
      const u32 c = frame[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] | 0xFF000000u;
      if (c == fill)
        drawn = true;
      else
        ++counts[c];
    }
    if (counts.empty()) continue;
    const u32 back =
        std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second < b.second; })
            ->first;
    const double ratio = ContrastRatio(fill, back);
    lowest = lowest == 0 ? ratio : std::min(lowest, ratio);
  }
  return drawn ? lowest : 0.0;
}

}  // namespace testsupport

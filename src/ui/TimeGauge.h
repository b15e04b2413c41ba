// TimeGauge - the segmented bar of the time left towards a level's three
// medal limits, cut from the sprite "time_bar_indic" of sprite set 1: a left
// end, three zones (each a start, a stretched fill and an end piece) and a
// right end, as the skin table cuts it. It is full at time 0 and empties from the
// right: zone 3 while the time runs up to the shortest limit, then zone 2,
// then zone 1. A 1-pixel tip marks where the fill ends, drawn additively.
//
// Quads are built only when the time shown changes, reusing the whole
// pieces built for the value before. A zone of no time (two equal limits, or
// a last limit of 0) is empty, and the fill stays within the bar.
#pragma once

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"

class DXLTexture;
class Sprite;

class TimeGauge {
 public:
  static constexpr i32 kSegments = 9;
  static constexpr i32 kMaxQuads = 11;
  static constexpr u32 kTipColor = 0xFF521D00u;
  static constexpr u32 kNoValue = 0xFFFFFFFFu;

  struct Segment {
    i32 x;
    i32 width;
    i32 sourceX;
    i32 sourceWidth;
  };

  // Takes the sprite (loading it) and its draw state with additive blending
  // for the tip; without the sprite the gauge draws nothing.
  TimeGauge();
  ~TimeGauge();
  TimeGauge(const TimeGauge&) = delete;
  TimeGauge& operator=(const TimeGauge&) = delete;

  // mode 0: zone 1 is always full and the pictures come from the second
  // row; limits are the medal times of zones 1 to 3 (largest first), widths
  // their pixel widths. Clears the value and the quads.
  void Init(u32 mode, const u32 limits[3], const i32 widths[3], i32 originX, i32 originY);
  // Rebuilds the quads when the time (ms) differs from the one shown.
  void SetValue(u32 time);
  // The quads, the last one with the tip's state; then ends the texture batch.
  void Draw();

  u32 GetValue() const { return value_; }
  i32 GetFillLength() const { return fillLength_; }
  i32 GetQuadCount() const { return quadCount_; }
  const DXLQUAD& GetQuad(i32 i) const { return quads_[i]; }
  const Segment& GetSegment(i32 i) const { return segments_[i]; }
  DXLTexture* GetImage() const { return image_; }
  i32 GetBuiltQuads() const { return builtQuads_; }

 private:
  i32 FillFor(u32 time) const;
  void BuildQuads();

  u32 mode_ = 1;
  u32 limits_[3] = {};
  i32 widths_[3] = {};
  u32 value_ = kNoValue;
  i32 builtQuads_ = 0;
  Segment segments_[kSegments] = {};
  i32 originX_ = 0;
  i32 originY_ = 0;
  i32 fillLength_ = 0;
  Sprite* sprite_ = nullptr;
  DXLTexture* image_ = nullptr;
  i32 quadCount_ = 0;
  DXLQUAD quads_[kMaxQuads] = {};
  DXLDRAWSTATE tipState_{};
};

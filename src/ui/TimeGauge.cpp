#include "ui/TimeGauge.h"

#include <algorithm>
#include <cmath>

#include "engine/DXLTexture.h"
#include "resources/GameDraw.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "ui/SkinTable.h"

namespace {

constexpr u32 kGaugeSpriteSet = 1;
constexpr const SkinPiece& kGauge = skins::kTimeGauge;  // the row of mode 1, then the row of mode 0
constexpr i32 kHeight = kGauge.frameHeight;

// The columns of each segment in a row: the ends, the three stretched
// fills, and between them a zone's end and the next zone's start.
constexpr i32 kSource[TimeGauge::kSegments][2] = {{0, 8},  {8, 4},  {12, 2}, {14, 3}, {17, 4},
                                                  {21, 3}, {24, 2}, {26, 4}, {30, 8}};
constexpr bool SegmentIs(i32 i, SkinSpan span) {
  return kSource[i][0] == span.from && kSource[i][0] + kSource[i][1] == span.to;
}
static_assert(SegmentIs(0, {0, kGauge.left}) && SegmentIs(8, {kGauge.frameWidth - kGauge.right, kGauge.frameWidth}) &&
                  SegmentIs(1, kGauge.columns[0]) && SegmentIs(4, kGauge.columns[1]) && SegmentIs(7, kGauge.columns[2]),
              "the gauge's segments follow its skin");

}  // namespace

TimeGauge::TimeGauge() {
  sprite_ = GetSpriteByName(kGaugeSpriteSet, u"time_bar_indic");
  if (!sprite_) return;
  sprite_->Init();
  if (!sprite_->IsLoaded()) {
    sprite_ = nullptr;
    return;
  }
  image_ = sprite_->GetTexture();
  tipState_ = sprite_->GetDrawState() ? *sprite_->GetDrawState() : image_->GetDrawState();
  tipState_.blendMode = kBlendAdd;
}

TimeGauge::~TimeGauge() {
  if (sprite_) sprite_->Release(false);
}

void TimeGauge::Init(u32 mode, const u32 limits[3], const i32 widths[3], i32 originX, i32 originY) {
  mode_ = mode;
  for (int i = 0; i < 3; ++i) {
    limits_[i] = limits[i];
    widths_[i] = std::max(widths[i], 0);
  }
  originX_ = originX;
  originY_ = originY;
  const i32 drawn[kSegments] = {8, widths_[0] - 10, 2, 3, widths_[1] - 6, 3, 2, widths_[2] - 10, 8};
  i32 x = originX;
  for (i32 i = 0; i < kSegments; ++i) {
    segments_[i] = Segment{x, std::max(drawn[i], 0), kGauge.x + kSource[i][0], kSource[i][1]};
    x += segments_[i].width;
  }
  value_ = kNoValue;
  builtQuads_ = 0;
  quadCount_ = 0;
  fillLength_ = 0;
}

// Zones are searched from the shortest limit up; the zone that holds the
// time is filled by the share of its span still to run, rounded up.
i32 TimeGauge::FillFor(u32 time) const {
  const i32 first = mode_ == 0 ? 1 : 0;
  i32 fill = mode_ == 0 ? widths_[0] : 0;
  for (i32 k = 2; k >= first; --k) {
    if (time > limits_[k]) continue;
    const u32 lower = k == 2 ? 0 : limits_[k + 1];
    for (i32 j = first; j < k; ++j) fill += widths_[j];
    if (limits_[k] > lower) {
      const double left = 1.0 - static_cast<double>(time - std::min(time, lower)) / (limits_[k] - lower);
      fill += static_cast<i32>(std::ceil(left * widths_[k]));
    }
    break;
  }
  return std::clamp(fill, 0, widths_[0] + widths_[1] + widths_[2]);
}

void TimeGauge::SetValue(u32 time) {
  if (time == value_) return;
  value_ = time;
  fillLength_ = FillFor(time);
  BuildQuads();
}

// Whole pieces keep their quads from the value before; the piece where the
// fill ends gets its part less one pixel, then the tip from the last source
// column reached.
void TimeGauge::BuildQuads() {
  quadCount_ = 0;
  if (!image_ || fillLength_ <= 0) {
    builtQuads_ = 0;
    return;
  }
  const i32 row = kGauge.y + (mode_ == 0 ? kGauge.stepY : 0);
  i32 left = fillLength_;
  for (i32 i = 0; i < kSegments && left > 0; ++i) {
    const Segment& s = segments_[i];
    if (left > s.width) {
      if (quadCount_ >= builtQuads_) {
        image_->MakeQuadPartScaledInt(&quads_[quadCount_], s.x, originY_, s.width, kHeight, s.sourceX, row,
                                      s.sourceWidth, kHeight, 0xFFFFFFFFu);
      }
      ++quadCount_;
      left -= s.width;
      continue;
    }
    builtQuads_ = quadCount_;
    if (left > 1) {
      image_->MakeQuadPartScaledInt(&quads_[quadCount_++], s.x, originY_, left - 1, kHeight, s.sourceX, row,
                                    std::min(left - 1, s.sourceWidth), kHeight, 0xFFFFFFFFu);
    }
    const i32 column = s.sourceX + std::min(left - 1, s.sourceWidth - 1);
    image_->MakeQuadPartScaledInt(&quads_[quadCount_++], s.x + left - 1, originY_, 1, kHeight, column, row, 1,
                                  kHeight, kTipColor);
    return;
  }
  builtQuads_ = quadCount_;
}

void TimeGauge::Draw() {
  if (quadCount_ == 0) return;
  BindDrawTexture(image_);
  for (i32 i = 0; i + 1 < quadCount_; ++i) DrawQuad(&quads_[i]);
  const DXLDRAWSTATE* previous = SetBlendState(&tipState_);
  DrawQuad(&quads_[quadCount_ - 1]);
  SetBlendState(previous);
  UnbindDrawTexture();
}

// Frame building of Sprite: the grid and explicit layouts, the quads and
// their mirror images, and the turn.
#include <algorithm>
#include <new>
#include <utility>

#include "engine/DXLTexture.h"
#include "resources/Sprite.h"

i32 EffectiveTurn(i32 mode) { return ((mode % 4) + 4) % 4; }

// Works from a copy of the source, so the destination may be the source.
void TransformQuadVertices(DXLQUAD* dest, const DXLQUAD* source, i32 mode) {
  if (!source) return;
  if (!dest) dest = const_cast<DXLQUAD*>(source);
  const DXLQUAD s = *source;
  *dest = s;
  const float x0 = s.v[0].x, y0 = s.v[0].y;
  for (int i = 0; i < 4; ++i) {
    const float x = s.v[i].x, y = s.v[i].y;
    switch (EffectiveTurn(mode)) {
      case 1:  // a quarter clockwise
        dest->v[i].x = x0 + s.v[3].y - y;
        dest->v[i].y = y0 + x - s.v[3].x;
        break;
      case 2:  // a half
        dest->v[i].x = x0 + s.v[2].x - x;
        dest->v[i].y = y0 + s.v[2].y - y;
        break;
      case 3:  // a quarter anticlockwise
        dest->v[i].x = x0 + y - s.v[1].y;
        dest->v[i].y = y0 + s.v[1].x - x;
        break;
      default:
        break;
    }
  }
}

i32 Sprite::BuildFrames() {
  const i32 built = form_ == kGridForm ? BuildGridLayout() : BuildExplicitLayout();
  if (built <= 0) {
    FreeFrames();
    return 0;
  }
  TurnFrames();
  return built;
}

// Sizes not given are derived from the area; a wanted count of 0 or less
// takes as many frames as fit. Every divisor is checked: 0 or less builds
// nothing.
i32 Sprite::BuildGridLayout() {
  const SPRITEGRID& g = grid_;
  const i64 areaW = g.area.right > g.area.left ? i64{g.area.right} - g.area.left : texture_->GetImageWidth();
  const i64 areaH = g.area.bottom > g.area.top ? i64{g.area.bottom} - g.area.top : texture_->GetImageHeight();
  i64 w = g.frameWidth, h = g.frameHeight, count = wantedCount_;
  if (count <= 0) {
    if (w <= 0 && h <= 0) return 0;
    if (w <= 0) w = areaW;
    if (h <= 0) h = areaH;
    const i64 pitchX = w + g.gapX, pitchY = h + g.gapY;
    if (pitchX <= 0 || pitchY <= 0) return 0;
    count = ((areaW + g.gapX) / pitchX) * ((areaH + g.gapY) / pitchY);
  } else if (w <= 0 && h <= 0) {
    w = (areaW + g.gapX) / count;
    h = areaH;
  } else {
    if (w <= 0) w = areaW;
    if (h <= 0) h = areaH;
  }
  if (count <= 0 || count > kMaxFrames || w <= 0 || h <= 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF) return 0;
  return BuildGridFrames(static_cast<i32>(count), static_cast<i32>(w), static_cast<i32>(h),
                         static_cast<i32>(areaW));
}

// Frames run left to right, then top to bottom; a frame wider than the area
// still gets a column of its own.
i32 Sprite::BuildGridFrames(i32 count, i32 frameWidth, i32 frameHeight, i32 areaWidth) {
  const i64 pitchX = i64{frameWidth} + grid_.gapX, pitchY = i64{frameHeight} + grid_.gapY;
  if (pitchX <= 0 || pitchY <= 0) return 0;
  i64 columns = (i64{areaWidth} + grid_.gapX) / pitchX;
  if (columns < 1) columns = 1;
  if (!AllocateFrames(count)) return 0;
  for (i32 i = 0; i < count; ++i) {
    const i64 x = grid_.area.left + (i % columns) * pitchX, y = grid_.area.top + (i / columns) * pitchY;
    if (x + frameWidth > 0x7FFFFFFF || y + frameHeight > 0x7FFFFFFF) return 0;
    MakeFrame(i, DXLRECT{static_cast<i32>(x), static_cast<i32>(y), static_cast<i32>(x + frameWidth),
                         static_cast<i32>(y + frameHeight)});
  }
  frameWidth_ = frameWidth;
  frameHeight_ = frameHeight;
  return count;
}

// An all-zero rectangle is the whole image; an edge at or before its
// opposite one reaches the image's width or height from it. A rectangle
// whose size leaves the i32 range is damage: no frames.
i32 Sprite::BuildExplicitLayout() {
  if (wantedCount_ <= 0 || wantedCount_ > kMaxFrames || !rects_) return 0;
  if (!AllocateFrames(wantedCount_)) return 0;
  const i64 imageW = texture_->GetImageWidth(), imageH = texture_->GetImageHeight();
  for (i32 i = 0; i < wantedCount_; ++i) {
    DXLRECT r = rects_[i];
    if (r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0) {
      r = DXLRECT{0, 0, static_cast<i32>(imageW), static_cast<i32>(imageH)};
    } else {
      if (r.right <= r.left) r.right = static_cast<i32>(std::min<i64>(r.left + imageW, 0x7FFFFFFF));
      if (r.bottom <= r.top) r.bottom = static_cast<i32>(std::min<i64>(r.top + imageH, 0x7FFFFFFF));
    }
    const i64 w = i64{r.right} - r.left, h = i64{r.bottom} - r.top;
    if (w > 0x7FFFFFFF || h > 0x7FFFFFFF) return 0;
    MakeFrame(i, r);
    frameWidth_ = static_cast<i32>(w);
    frameHeight_ = static_cast<i32>(h);
  }
  return wantedCount_;
}

bool Sprite::AllocateFrames(i32 count) {
  FreeFrames();
  const size_t n = static_cast<size_t>(count);
  quads_.reset(new (std::nothrow) DXLQUAD[n * (hasMirror_ ? 2 : 1)]);
  frameRects_.reset(new (std::nothrow) DXLRECT[n]);
  if (!quads_ || !frameRects_) {
    FreeFrames();
    return false;
  }
  mirrored_ = hasMirror_ ? quads_.get() + n : nullptr;
  frameCount_ = count;
  return true;
}

void Sprite::MakeFrame(i32 index, const DXLRECT& rect) {
  frameRects_[index] = rect;
  texture_->MakeQuadFromRect(&quads_[index], 0.0f, 0.0f, rect, 0, flipH_ != 0, flipV_ != 0);
  if (mirrored_) texture_->MakeQuadFromRect(&mirrored_[index], 0.0f, 0.0f, rect, 0, flipH_ == 0, flipV_ != 0);
}

// Every quad turns; a quarter turn either way swaps the frame's width and
// height.
void Sprite::TurnFrames() {
  const i32 turn = EffectiveTurn(turn_);
  if (turn == 0 || frameCount_ <= 0) return;
  for (i32 i = 0; i < frameCount_; ++i) {
    TransformQuadVertices(nullptr, &quads_[i], turn);
    if (mirrored_) TransformQuadVertices(nullptr, &mirrored_[i], turn);
  }
  if (turn & 1) std::swap(frameWidth_, frameHeight_);
}

void Sprite::FreeFrames() {
  quads_.reset();
  mirrored_ = nullptr;
  frameRects_.reset();
  frameCount_ = 0;
}

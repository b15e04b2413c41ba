#include "ui/GameScrollbarTrack.h"

#include <algorithm>
#include <cmath>

#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "ui/SkinTable.h"

namespace {

constexpr const SkinPiece& kSkin = skins::kScrollThumb;
constexpr i32 kTile = kSkin.frameHeight - kSkin.top - kSkin.bottom;
constexpr i32 kFrames = static_cast<i32>(kSkin.frames);
constexpr u32 kCrossfadeOn = 0x4700;
constexpr u32 kCrossfadeOff = 0x1000;

}  // namespace

GameScrollbarTrack::GameScrollbarTrack(GameWindow* owner, u32 id, i32 x, i32 y, i32 trackLength)
    : ImageButton(owner, nullptr, id, x, y, nullptr) {
  texture_ = GetResourceServices().interfaceImage;
  width_ = kSkin.frameWidth;
  SetStateFrames(0, {0, 0, 1, 2});
  i32 top = 0, bottom = 0;
  room_ = QuadsFor(std::max(trackLength, 0) + 2, &top, &bottom);
  AllocFrames(room_, kFrames);
}

// The longest strip has both caps and the most tiles; the count of a
// shorter one never exceeds it.
i32 GameScrollbarTrack::QuadsFor(i32 total, i32* top, i32* bottom) {
  *top = kSkin.top;
  *bottom = kSkin.bottom;
  i32 middle = total - *top - *bottom;
  if (middle >= 1) {
    i32 grow = std::min(middle, kTile);
    *top += grow;
    middle -= grow;
    grow = std::min(middle, kTile);
    *bottom += grow;
    middle -= grow;
  } else if (middle < 0) {
    *top = static_cast<i32>(std::floor(total * 9.0 / 20.0 + 0.5));
    *bottom = total - *top;
    middle = 0;
  }
  return 2 + (middle + kTile - 1) / kTile;
}

void GameScrollbarTrack::SetPosition(i32 x, i32 y) {
  x_ = x;
  y_ = y;
}

void GameScrollbarTrack::SetLength(i32 length) {
  length = std::max(length, 0);
  if (length == length_) return;
  length_ = length;
  used_ = 0;
  if (length == 0 || !texture_) return;
  const i32 total = length + 2;
  used_ = std::min(QuadsFor(total, &topCap_, &bottomCap_), room_);
  height_ = total;
  for (i32 f = 0; f < kFrames; ++f) {
    DXLQUAD* q = &quads_[static_cast<size_t>(f * room_)];
    DXLQUAD* end = q + used_;
    const i32 sx = kSkin.x + f * kSkin.stepX;
    texture_->MakeQuadPartInt(q++, 0, 0, sx, kSkin.y, kSkin.frameWidth, topCap_, 0xFFFFFFFFu);
    texture_->MakeQuadPartInt(q++, 0, total - bottomCap_, sx, kSkin.y + kSkin.frameHeight - bottomCap_,
                              kSkin.frameWidth, bottomCap_, 0xFFFFFFFFu);
    for (i32 y = topCap_; y < total - bottomCap_ && q < end; y += kTile) {
      const i32 h = std::min(kTile, total - bottomCap_ - y);
      texture_->MakeQuadPartInt(q++, 0, y, sx, kSkin.y + kSkin.top, kSkin.frameWidth, h, 0xFFFFFFFFu);
    }
  }
}

void GameScrollbarTrack::Draw() {
  if (length_ == 0 || state_.GetEnableBits() == kStateHidden) return;
  ImageButton::Draw();
}

void GameScrollbarTrack::DrawStrip(i32 frame, u32 colour) {
  if (frame < 0 || frame >= kFrames) return;
  DXLQUAD* first = &quads_[static_cast<size_t>(frame * room_)];
  for (i32 i = 0; i < used_; ++i) {
    for (DXLVERTEX& v : first[i].v) v.color = colour;
    DrawQuad(&first[i]);
  }
}

// Both strips while fading: the new one over the old under the alpha test
// at the fade alpha.
void GameScrollbarTrack::DrawFrames() {
  if (!texture_ || used_ == 0) return;
  BindDrawTexture(texture_);
  if (drawMode_ == kPhaseFading) {
    DrawStrip(fromFrame_, 0xFFFFFFFFu);
    DXLViewer* viewer = GetGameViewer();
    if (viewer) viewer->SetStencilMode(kCrossfadeOn, 0, fadeAlpha_);
    DrawStrip(toFrame_, fadeColour_);
    if (viewer) viewer->SetStencilMode(kCrossfadeOff, 0, 0);
  } else {
    DrawStrip(fromFrame_, fadeColour_);
  }
}

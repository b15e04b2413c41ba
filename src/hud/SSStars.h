// SSStars - a rating of up to four stars over a level point, the first
// `count` of `maximum` lit, cut from the "stars" picture. A maximum of 1
// shows nothing; counts outside 1..maximum are clamped.
#pragma once

#include "hud/ScreenSprite.h"

class Sprite;

class SSStars : public ScreenSprite {
 public:
  SSStars(i32 x, i32 y, i32 maximum, i32 count);

  bool Draw() override;
  void DrawContent() override;

  void SetCount(i32 count);
  i32 GetMaximum() const { return maximum_; }
  i32 GetCount() const { return count_; }
  i32 GetQuadCount() const { return quadCount_; }
  const DXLQUAD& GetQuad() const { return quad_; }

 private:
  i32 maximum_;
  i32 count_ = -1;
  Sprite* image_;
  i32 quadCount_ = 0;
  DXLQUAD quad_{};
};

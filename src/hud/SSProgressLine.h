// SSProgressLine - a horizontal progress bar over a level point: a border
// ("progress_line_border", caps of 13 pixels outside the width) and an
// indicator growing from the left end (caps of 3), with a glow at its head.
// Mode 1 fills up and finishes at 100 %; mode 0 drains, finishes at 0 %
// (leaving only the border) and uses the red pictures. On finishing the
// glow shrinks and fades out over 100 ms; later settings change nothing.
#pragma once

#include <memory>

#include "hud/ScreenSprite.h"

class ImageSprite;
class Sprite;

class SSProgressLine : public ScreenSprite {
 public:
  static constexpr i32 kQuads = 6;  // border left, middle, right; indicator left, middle, right

  SSProgressLine(i32 x, i32 y, i32 width, u32 mode);
  ~SSProgressLine() override;

  bool Draw() override;
  void DrawContent() override;

  void SetProgress(float percent);
  float GetProgress() const { return progress_; }
  bool IsFinished() const { return finished_ != 0; }
  i32 GetWidth() const { return width_; }
  u32 GetMode() const { return mode_; }
  i32 GetQuadsToDraw() const { return quadsToDraw_; }
  const DXLQUAD& GetQuad(i32 i) const { return quads_[i]; }
  float GetGlowX() const { return glowX_; }
  SpriteEffectList* GetGlowEffects() const { return glowEffects_; }

 private:
  void BuildIndicator();

  Sprite* images_[kQuads] = {};
  DXLQUAD quads_[kQuads] = {};
  i32 quadsToDraw_ = kQuads;
  i32 width_;
  u32 mode_;
  float progress_;
  u8 finished_ = 0;
  std::unique_ptr<ImageSprite> glow_;
  float glowX_ = 0.0f, glowY_ = 0.0f;
  SpriteEffectList* glowEffects_ = nullptr;
};

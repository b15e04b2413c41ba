#include "level/rules/RainOverlay.h"

#include "resources/SEffects.h"
#include "resources/SpriteEffect.h"

RainOverlay::~RainOverlay() { DeleteSpriteEffects(&fade_); }

void RainOverlay::Start(u32 frames, u32 elapsed, bool fadeIn) {
  DXLFrameSeqInit(&seq_, kFrameSeqLoop, 0, frames, kFrameTime, elapsed, 0);
  DeleteSpriteEffects(&fade_);
  if (fadeIn && frames > 0) AttachSpriteEffect(&fade_, new SEffect_Alpha(0.0f, 1.0f, kFadeIn, true, 0));
}

void RainOverlay::FadeOut() {
  DeleteSpriteEffects(&fade_);
  AttachSpriteEffect(&fade_, new SEffect_Alpha(1.0f, 0.0f, kFadeOut, true, 0));
}

void RainOverlay::Advance(u32 t) {
  if (seq_.count != 0) seq_.elapsed += t;
}

void RainOverlay::Stop() {
  seq_.count = 0;
  DeleteSpriteEffects(&fade_);
}

bool RainOverlay::Prepare(bool rainActive, u32* colour, u32* image) {
  if (seq_.count == 0) return false;
  if (UpdateSpriteEffects(&fade_)) {
    *colour = GetEffectColor(fade_, 0xFFFFFFFFu);
  } else if (!rainActive) {
    Stop();
    return false;
  } else {
    *colour = 0xFFFFFFFFu;
  }
  *image = DXLFrameSeqGetFrame(&seq_);
  return true;
}

// RainOverlay - the state of the rain bonus's overlay: which of the rain
// images shows (a loop of 60 ms a frame, advanced by the level's ticks) and
// its fade in (500 ms) and out (1,000 ms) on the game clock. The scene
// draws it; this keeps its time and says when it has ended: once the rain
// bonus is over and the fade-out has played, the overlay stops.
#pragma once

#include "base/Types.h"
#include "engine/DXLFrameSeq.h"

class SpriteEffectList;

class RainOverlay {
 public:
  static constexpr u32 kFrameTime = 60;
  static constexpr u32 kFadeIn = 500;
  static constexpr u32 kFadeOut = 1000;

  RainOverlay() = default;
  ~RainOverlay();
  RainOverlay(const RainOverlay&) = delete;
  RainOverlay& operator=(const RainOverlay&) = delete;

  // Runs over `frames` images (none: no overlay), `elapsed` ms in; an older
  // fade goes, and with fadeIn (and images) the overlay fades in.
  void Start(u32 frames, u32 elapsed, bool fadeIn);
  void FadeOut();  // the fade becomes a fade-out
  void Advance(u32 t);  // the overlay's time, while it runs
  void Stop();     // no overlay and no fade

  bool IsRunning() const { return seq_.count != 0; }
  bool IsFading() const { return fade_ != nullptr; }
  u32 GetElapsed() const { return seq_.elapsed; }

  // The draw's step: steps the fade; false (and the overlay stops) when it
  // does not run or the rain is no longer active and the fade has ended;
  // else the colour to draw with (white, with the fade's alpha while it
  // runs) and the image index.
  bool Prepare(bool rainActive, u32* colour, u32* image);

 private:
  DXLFRAMESEQ seq_{};
  SpriteEffectList* fade_ = nullptr;
};

// TimeBar - the level panel's medal-time bar over the child area: a gauge
// of the level's time against the bronze, silver and gold segments, the
// three medal icons on their plates of the "time_bar" frame, red crosses
// over the medals that can no longer be won (flashing in as each is lost),
// and a looping warning sound while the watched medal limit is 5 to 1
// seconds away.
//
// Every segment is at least 41 pixels wide whatever the limits say: limits
// of 0, equal limits or limits out of order give finite widths, never a
// division by zero. The warning loop only runs while a medal is still
// watched (none once every medal is lost) and never after the level's end.
//
// The bar also keeps the panel's own time (running from the day's start,
// moved on by the level while nothing holds it).
#pragma once

#include <memory>

#include "base/Types.h"
#include "engine/DXLRect.h"
#include "ui/TimeGauge.h"
#include "ui/WindowSprites.h"
#include "windows/LevelPanelParts.h"

class ImageSprite;
class LevelPanel;
class Sprite;
class SpriteEffectList;

constexpr i32 kTimeBarMinSegment = 41;
constexpr i32 kTimeBarHeight = 32;
constexpr u32 kTimeWarningGroups = 0x41000000u;  // the level's and the screen's sounds

// The segment widths (bronze, silver, gold) for `available` pixels (at
// least 123) in game mode 0 or 1 from the limits (bronze, silver, gold; ms).
void ComputeTimeBarSegments(u32 mode, const i32 limits[3], i32 available, i32 out[3]);

class TimeBar : public WindowSprites, public TimeBarPart {
 public:
  static constexpr i32 kMedals = 3;  // 0 bronze, 1 silver, 2 gold

  explicit TimeBar(LevelPanel& owner);
  ~TimeBar() override;

  // Lays the bar out over the child area (x, width; panel coordinates).
  void Arrange(i32 x, i32 width) override;
  void Draw() override;
  // The gauge follows the level's time; crosses and the warning loop follow
  // its medal stage. animate: a frame of play (the flashes, a loop that runs
  // on below a second).
  void UpdateTime(bool animate) override;
  bool IsRunning() const override { return running_; }
  void Advance(u32 ms) override;
  void Start() override { running_ = true; }
  void Show(bool) override { shown_ = true; }

  void GetSize(i32* width, i32* height) const override;
  const i32* GetSegments() const { return segments_; }
  float GetIconX(i32 medal) const { return iconX_[medal]; }
  i32 GetStageSeen() const { return stageSeen_; }
  u32 GetWarningChannel() const { return warning_; }
  bool IsFlashing(i32 medal) const { return crossEffects_[medal] != nullptr; }
  // A medal icon's own running effect (null when none): the icon is drawn
  // in its colour while it runs, else white.
  SpriteEffectList** IconEffects(i32 medal) { return &iconEffects_[medal]; }
  // The bar's rectangle in the target's pixels at the last draw: nothing
  // of it, not even a lost medal's cross at three times its size, is drawn
  // outside.
  const DXLRECT& GetClip() const { return clip_; }
  float GetX() const { return x_; }
  u32 GetTime() const { return time_; }
  const TimeGauge& Gauge() const { return gauge_; }

 private:
  u32 Mode() const;
  void StopWarning();

  LevelPanel& owner_;
  float x_ = 0.0f, y_ = 0.0f;
  i32 width_ = 0;
  i32 segments_[kMedals] = {};
  TimeGauge gauge_;
  DXLRECT clip_{0, 0, 0, 0};
  std::unique_ptr<ImageSprite> icons_[kMedals];
  float iconX_[kMedals] = {};
  SpriteEffectList* iconEffects_[kMedals] = {};
  SpriteEffectList* crossEffects_[kMedals] = {};
  std::unique_ptr<ImageSprite> cross_;
  i32 stageSeen_ = 4;
  u32 warningSound_ = 0;
  u32 warning_ = 0;  // the warning loop's channel
  bool running_ = false;
  bool shown_ = false;
  u32 time_ = 0;
};

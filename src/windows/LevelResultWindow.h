// LevelResultWindow - the window of a won level ('LvRt', modal): the
// player's time on the medal gauge, a column per medal with its limit and
// a tick or a cross (bronze only in mode 1), the previous best time or the
// new record, and the medal earned. It records nothing: the level's end has
// recorded the result in the profile and hands the same record here.
//
// The reveal runs on the game clock from the window's making: the
// marks of gold, silver and bronze after 1000, 1400 and 1800 ms; with a new
// record the "record" row shrinks and fades (200 ms) and "new_record" zooms
// in after it; then the not-completed mark fades as the medal zooms in from
// 8 times its size over 200 ms and fades in over 100 ms. Escape, Enter and
// "ok" show the end at once and leave for the map; a click hurries the
// medal, whose zoom and fade still running start again over 250 ms, and
// keeps the window.
#pragma once

#include <functional>
#include <memory>

#include "base/Types.h"
#include "level/rules/LevelProfile.h"
#include "ui/SpritesWindow.h"
#include "ui/TimeGauge.h"

class ImageSprite;
class KGETextSpriteW;

constexpr u32 kResultWindowOk = 0xCA000001u;

class LevelResultWindow : public SpritesWindow {
 public:
  static constexpr u32 kId = 0x4C765274u;  // 'LvRt'
  static constexpr i32 kWidth = 488;
  static constexpr u32 kFirstDelay = 1000;
  static constexpr u32 kMarkStep = 400;
  static constexpr u32 kMarkFrameTime = 50;
  static constexpr u32 kMedalTime = 200;
  static constexpr u32 kMedalFadeTime = 100;
  static constexpr u32 kHurryTime = 250;

  // exit: the level's way back to the map (null: nothing leaves).
  explicit LevelResultWindow(const LEVELRESULT& record, std::function<void()> exit = nullptr);
  ~LevelResultWindow() override;

  bool OnKeyDown(u16 key, u32 extra) override;
  u32 OnCommand(GameButton* control) override;
  bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys) override;
  bool OnDoubleClick(i32 x, i32 y, u32 button) override;
  void Draw() override;
  void DrawForeground() override;

  // Ends the reveal: skipping shows the end at once, hurrying gives a medal
  // still to come 250 ms from now.
  void FinishReveal(bool skip);

  // The reveal as of the game clock now.
  bool IsShowing() const;
  bool IsColumnShown(i32 i) const { return columns_[i].shown; }
  bool IsTick(i32 i) const { return columns_[i].tick; }
  bool IsMarkRevealed(i32 i) const;
  i32 GetMarkFrame(i32 i) const;
  // Where column i's limit time is drawn, in window coordinates (empty when hidden).
  DXLRECT GetLabelRect(i32 i) const;
  // 0 before the medal's zoom, 1 once it ended; its scale factor over its size.
  float GetMedalProgress() const;
  float GetMedalAlpha() const;  // its fade in, 0 to 1
  bool IsRecordRowShown() const;     // the previous best
  bool IsNewRecordRowShown() const;  // this result's time as the new record
  bool IsUncompletedShown() const;
  const LEVELRESULT& GetRecord() const { return record_; }
  const TimeGauge& GetGauge() const { return gauge_; }
  ImageSprite* GetMedal() const { return medal_.get(); }
  KGETextSpriteW* GetYourTime() const { return yourTime_.time.get(); }
  KGETextSpriteW* GetRecordTime() const { return recordRow_.time.get(); }
  // The "your_time" row's place in the window: its clock's centre.
  kis::IntPoint GetYourTimePlace() const {
    return kis::IntPoint{static_cast<i32>(yourTime_.x), static_cast<i32>(yourTime_.y)};
  }

 private:
  // A caption ending 8 pixels left of x, the clock at x and the time 16
  // pixels to its right.
  struct Row {
    float x = 0.0f;
    float y = 0.0f;
    std::unique_ptr<KGETextSpriteW> caption;
    std::unique_ptr<ImageSprite> clock;
    std::unique_ptr<KGETextSpriteW> time;
  };
  struct Column {
    bool shown = false;
    bool tick = false;
    float labelX = 0.0f;
    float labelY = 0.0f;
    std::unique_ptr<ImageSprite> icon;
    std::unique_ptr<KGETextSpriteW> label;
    std::unique_ptr<ImageSprite> mark;
    float markX = 0.0f;
    float markY = 0.0f;
    i32 lastFrame = 0;
    u32 revealAt = 0;
  };

  void MakeRow(Row* row, const wchar* key, u32 time, float x, float y);
  static constexpr float kLabelRise = 1.0f;  // from a limit time's foot up to the rule
  static float LabelTop(const Column& c);
  void DrawRow(const Row& row, u32 alpha, float scale) const;
  void Leave();
  u32 Now() const;

  LEVELRESULT record_;
  std::function<void()> exit_;
  i32 top_ = 0;
  TimeGauge gauge_;
  bool showing_ = true;
  bool newRecord_ = false;
  std::unique_ptr<ImageSprite> uncompleted_;
  std::unique_ptr<ImageSprite> medal_;
  float uncompletedX_ = 0.0f, uncompletedY_ = 0.0f;
  float medalX_ = 0.0f, medalY_ = 0.0f;
  float medalScaleX_ = 1.0f, medalScaleY_ = 1.0f;
  Column columns_[3];
  Row yourTime_;
  Row recordRow_;
  Row newRecordRow_;
  u32 start_ = 0;
  u32 recordAt_ = 0;       // the record swap begins
  bool recordDropped_ = false;
  u32 medalAt_ = 0;        // the medal's zoom begins
  u32 medalLength_ = kMedalTime;
  u32 fadeLength_ = kMedalFadeTime;  // the medal's fade in, from medalAt_
  bool fadeEnded_ = false;            // it ended before a hurry: it stays opaque
  bool medalDropped_ = false;
  bool uncompletedDropped_ = false;
  bool marksDone_ = false;
  QuadBlockList pieces_;  // under the gauge
  QuadBlockList cover_;   // over it
};

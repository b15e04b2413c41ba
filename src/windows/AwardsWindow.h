// AwardsWindow - the player's awards ('Awar', modal): nine small awards
// (three tiers and a progress bar each), eight big (record) awards and the
// total award on the panel "awards_panel", above two medal panels (Easy and
// Hard). Opening it animates the change from the set of values shown when
// it was last opened to the profile's current set, and makes the current
// set the shown one (saving the profile):
//
// - the eight big awards first: one newly won fades in over 250 ms, then
//   flashes white (250 ms up, 500 ms down) with the award sound, and the
//   next starts 1200 ms after it; the rest show at once;
// - then the nine small ones, each a chain of steps: a tier reached flashes
//   (300 ms up, 300 ms down) with the award sound, and the bar runs on to the
//   next threshold or the new value over (fraction) x 2000 ms; the next step
//   comes 200 ms after the bar stops;
// - then the total award, 800 ms after the frame in which nothing else
//   animates any more.
// The first animation starts 1000 ms after opening; everything runs on the
// game clock. A click or a double click completes every animation; Enter
// and Escape complete and close; the close button closes.
//
// Small award i's value is the profile's tiered counter i; big award i's is
// its record counter i (the record kind is the index); the total is the
// final flag.
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "content/AwardTable.h"
#include "ui/ActiveButton.h"
#include "ui/SpritesWindow.h"

class ImageSprite;
class MapMedalsPanel;
class AwardsWindow;

constexpr u32 kAwardsWindowId = MakeWindowId('A', 'w', 'a', 'r');
constexpr u32 kAwardsClose = 0xA3A4D500u;
constexpr u32 kAwardSmallCommand = 0xA3A4D501u;
constexpr u32 kAwardBigCommand = 0xA3A4D502u;
constexpr u32 kAwardTotalCommand = 0xA3A4D503u;
constexpr u32 kAwardsFirstStart = 1000;  // ms after opening
constexpr u32 kAwardsTotalWait = 800;    // ms after the others are done
constexpr u32 kAwardsBigStep = 1200;     // ms between two newly won big awards
constexpr u32 kAwardsStepPause = 200;    // ms between two steps of a small award
// A small award's progress bar: within its 50 pixels, centred (the awards
// stand 57 apart, so a longer bar would run into the next one's).
constexpr i32 kAwardsBarLength = 46;
constexpr i32 kAwardsWidth = 545;

// The profile's two sets of award values: the current one and the one the
// awards window showed last. The player's profile (Profile, with the
// profile store's save) will implement it; null opens the window on
// nothing (every award at 0).
class AwardsProfile {
 public:
  virtual ~AwardsProfile() = default;
  virtual AWARDCOUNTERS* GetAwardCounters() = 0;
  virtual AWARDCOUNTERS* GetShownAwards() = 0;
  virtual void SaveProfile() = 0;
};

// The fraction of the bar for `value` at `tier`: (value - threshold[t]) /
// (threshold[t + 1] - threshold[t]) with threshold[0] the start value, in
// 0..1; 1 at tier 3 and where two thresholds are equal.
float SmallAwardFraction(const TIEREDAWARD& award, i32 value, i32 tier);

// A small award's animation, worked out when the window opens: one entry a
// step (a tier flash and the bar's run after it).
struct SmallAwardStep {
  u32 flashAt = 0;  // 0: no tier rise in this step
  i32 tier = 0;     // the shown tier from the flash on
  u32 barStart = 0;
  u32 barEnd = 0;  // barStart == barEnd: no run
  float from = 0;  // bar fractions
  float to = 0;
};

class SmallAwardButton : public ActiveButton {
 public:
  SmallAwardButton(AwardsWindow* window, u32 index, i32 oldValue, i32 newValue, u32* start);
  void Draw() override;
  // The state at `now`; true while still animating.
  bool Update(u32 now);
  void Complete();

  i32 GetShownTier() const { return shownTier_; }
  float GetBar() const { return bar_; }  // the fraction shown
  u32 GetFlashColor() const { return flash_; }
  u32 GetFlashCount() const { return flashes_; }  // flashes begun
  const std::vector<SmallAwardStep>& Steps() const { return steps_; }
  u32 GetEnd() const { return end_; }

 private:
  u32 index_;
  i32 oldValue_, newValue_, oldTier_, newTier_;
  i32 shownTier_;
  float bar_;
  u32 flash_ = 0;
  u32 flashes_ = 0;
  u32 end_ = 0;
  bool done_ = false;
  std::vector<SmallAwardStep> steps_;
  std::unique_ptr<ImageSprite> icon_;
};

// A big or the total award: a picture that fades in and flashes when won
// since the last opening, else shown as it is (greyed while not won).
class BigAwardButton : public ActiveButton {
 public:
  // index 0..7, or 8 for the total award (its show waits for the others).
  BigAwardButton(AwardsWindow* window, u32 index, bool wasWon, bool isWon, u32* start);
  void Draw() override;
  bool Update(u32 now);
  void Complete();
  void StartAt(u32 t) { start_ = t, waiting_ = false; }

  bool IsTotal() const { return index_ == kRecordAwardCount; }
  bool IsWaiting() const { return waiting_; }
  bool IsAnimating() const { return animating_; }
  u32 GetStart() const { return start_; }
  u32 GetColor() const { return color_; }    // the picture's colour (alpha: the fade)
  u32 GetFlash() const { return flash_; }    // the white flash over it
  bool IsWon() const { return isWon_; }
  bool WasWon() const { return wasWon_; }  // at the last opening

 private:
  u32 index_;
  bool wasWon_, isWon_;
  bool animating_ = false;
  bool waiting_ = false;
  bool sounded_ = false;
  u32 start_ = 0;
  u32 color_ = 0xFFFFFFFFu;
  u32 flash_ = 0x00FFFFFFu;
  std::unique_ptr<ImageSprite> picture_;
};

class AwardsWindow : public SpritesWindow {
 public:
  static constexpr u32 kId = kAwardsWindowId;

  // Closes an awards window already open. testMode: the new values are
  // random (up to 1.2 x a small award's gold threshold, up to twice a big
  // award's goal) and nothing is saved.
  AwardsWindow(AwardsProfile* profile, bool testMode);
  ~AwardsWindow() override;

  bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys) override;
  bool OnDoubleClick(i32 x, i32 y, u32 button) override;
  bool OnKeyDown(u16 key, u32 extra) override;
  u32 OnCommand(GameButton* control) override;
  bool Update() override;
  void DrawBackground() override;

  // Steps every award to now; the total starts once nothing else animates.
  void Step();
  void CompleteAll();
  // Buttons still animating (the low word of the pending bits).
  u32 GetPending() const;
  u32 GetOpenedAt() const { return openedAt_; }
  SmallAwardButton* GetSmall(u32 i) const { return small_[i]; }
  BigAwardButton* GetBig(u32 i) const { return big_[i]; }  // 8: the total
  MapMedalsPanel* GetMedals(u32 i) const { return medals_[i].get(); }
  i32 GetPanelTop() const { return panelTop_; }

 private:
  u32 openedAt_;
  i32 panelTop_ = 0;
  SmallAwardButton* small_[kTieredAwardCount] = {};
  BigAwardButton* big_[kRecordAwardCount + 1] = {};
  std::unique_ptr<MapMedalsPanel> medals_[2];
  std::unique_ptr<ImageSprite> panel_;
};

// Opens the awards window over the current profile's award sets
// (WindowServices::awardsProfile): the level panel's menu, the map's
// interface and the award notices open it this way.
AwardsWindow* OpenAwards(bool testMode);

// Replays: a recorded list of input events and marks that plays the game (or
// the level player) without a person, on frames of a fixed length, so a
// replay gives the same run on any machine. One line a step ("#" starts a
// comment); positions are window coordinates:
//
//   clock SECONDS        the wall clock at the start (seconds since 1970);
//   seed N               the seed of the profile keys;
//   screen W H           the size of the client area it was made at, which
//                        its positions are measured in (all three only
//                        before any step: the replay's header)
//   wait MS              lets MS milliseconds of play pass
//   click X Y [MOD...]   a left click at (X, Y): two moves (the last pixel
//   rclick X Y [MOD...]  from below), press and release; rclick: the right
//                        button; MOD as a key's (the map's Shift-click)
//   press X Y BUTTON     a button (left, right or middle) pressed,
//   release X Y BUTTON   released,
//   move X Y             the pointer moved,
//   wheel X Y DELTA      the wheel turned (120 a notch, down negative)
//   key KEY [MOD...]     a key pressed and released, by scan code (a number
//                        or enter, escape, space, tab, backspace, up, down,
//                        left, right), held with shift, ctrl and alt
//   text "TEXT"          text typed (UTF-8; \" and \\ inside)
//   await STATE MS       a mark: the game reaches STATE within MS ms (as
//                        the last step, 4294967295: the game quits itself)
//   screenshot FILE.png  a mark: the frame written to FILE.png
//   log TEXT             a mark: TEXT written to the log
//   expect won           at the end, the level must be won
//   expect state STATE   a mark: the game is in STATE now
//   expect window ID     a mark: a window of the four-letter ID is open now
//                        (LvRt the level's result window, LvIf the level
//                        window, Diag a message)
//
// A replay is a regular file under 1 MB. A mark that fails ends the run and
// names itself and its line. A recording ends with where its run ended:
// "expect won" when a level was won, then an await of the quit (the game
// quit itself) or of the state it was in.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Types.h"

struct ReplayStep {
  enum Kind : u8 {
    kWait, kClick, kRightClick, kPress, kRelease, kMove, kWheel, kKey, kText,
    kAwait, kScreenshot, kLog, kExpectWon, kExpectState, kExpectWindow,
  };
  static constexpr i32 kShift = 1, kCtrl = 2, kAlt = 4;  // key modifiers (c)
  Kind kind = kWait;
  i32 a = 0;  // ms; x; the scan code; the state; the window's id
  i32 b = 0;  // y; the modifiers; the await's time-out in ms
  i32 c = 0;  // the button (0 left, 1 right, 2 middle); the wheel's delta; a click's modifiers
  std::string text;  // typed text, the screenshot's path, the log's text, the window's id
  u32 line = 0;      // in the file read (0 for a step not read)

  bool IsMark() const { return kind >= kAwait; }
  bool operator==(const ReplayStep& o) const {
    return kind == o.kind && a == o.a && b == o.b && c == o.c && text == o.text;
  }
};

class ReplayScript {
 public:
  static constexpr size_t kMaxBytes = 1u << 20;  // a replay is smaller
  static constexpr u32 kMaxWaitMs = 3600000;      // of one wait or await line
  static constexpr i32 kMaxCoordinate = 8192;
  static constexpr u32 kQuitState = 0xFFFFFFFF;  // an await's state: the game quits itself

  // How a step the player ran went: done, not yet (an await whose state has
  // not come: asked again next frame), or failed (an expect not met, a
  // screenshot not written).
  enum StepResult { kPassed, kNotYet, kFailed };
  enum Progress { kMore, kDone, kStopped };

  // False with what is wrong: a path that is not a regular file (a pipe, a
  // device, a folder) or one of kMaxBytes or more is refused unread;
  // otherwise the line and what is wrong with it.
  bool Load(const std::string& path, std::string* error);
  bool Parse(std::string_view text, std::string* error);

  // The steps due now, before a frame: every step up to the next wait that
  // has not passed (a wait passes once the frames since it began add up to
  // it); `frameMs` is the frame that follows. kMore while steps are left,
  // kDone at the end, kStopped once a mark failed (Failure says which).
  template <class Run>
  Progress Advance(u32 frameMs, Run run) {
    if (!failure_.empty()) return kStopped;
    while (next_ < steps_.size()) {
      const ReplayStep& s = steps_[next_];
      if (s.kind == ReplayStep::kWait) {
        if (waited_ < static_cast<u32>(s.a)) {
          waited_ += frameMs;
          return kMore;
        }
      } else if (s.kind == ReplayStep::kExpectWon) {
        expectWon_ = true;
      } else {
        const StepResult r = run(s);
        if (r == kFailed) return Fail(s, "not met");
        if (r == kNotYet) {
          if (s.kind != ReplayStep::kAwait) return Fail(s, "not met");
          if (waited_ >= static_cast<u32>(s.b)) return Fail(s, "timed out");
          waited_ += frameMs;
          return kMore;
        }
      }
      waited_ = 0;
      ++next_;
    }
    return kDone;
  }
  // Whether the frame drawn next may be read by a mark (a screenshot runs
  // before a frame and writes the one drawn before it): true when no wait
  // still to pass lies between the replay's place and its next screenshot.
  // A run that skips rasterising frames draws the frames this asks for.
  bool NextFrameMayBeRead() const;
  // The run ended (the game in `state`; the shutdown state when it quit)
  // with steps left: an await of that state as the last step is met;
  // otherwise the step it was on fails with `why`.
  void Stop(const char* why, u32 state) {
    if (!failure_.empty() || next_ >= steps_.size()) return;
    const ReplayStep& s = steps_[next_];
    if (s.kind == ReplayStep::kAwait && static_cast<u32>(s.a) == state) {
      waited_ = 0;
      if (++next_ == steps_.size()) return;
    }
    Fail(steps_[next_], why);
  }
  bool ExpectsWin() const { return expectWon_; }
  // "line N: STEP: why" for the mark that failed; empty while none did.
  const std::string& Failure() const { return failure_; }
  const std::vector<ReplayStep>& Steps() const { return steps_; }
  // The header's wall clock (seconds since 1970) and key seed; 0 unless given.
  u64 ClockSeconds() const { return clock_; }
  u32 Seed() const { return seed_; }
  bool HasClock() const { return hasClock_; }
  bool HasSeed() const { return hasSeed_; }
  // The header's size (0 x 0 when it names none).
  u32 ScreenWidth() const { return screenWidth_; }
  u32 ScreenHeight() const { return screenHeight_; }

  // A step as a line of the file (without its end of line).
  static std::string Format(const ReplayStep& step);

 private:
  Progress Fail(const ReplayStep& s, const char* why);
  std::vector<ReplayStep> steps_;
  size_t next_ = 0;
  u32 waited_ = 0;
  bool expectWon_ = false;
  std::string failure_;
  u64 clock_ = 0;
  u32 seed_ = 0;
  u32 screenWidth_ = 0, screenHeight_ = 0;
  bool hasClock_ = false, hasSeed_ = false;
};

// Writes what is done as replay lines, for a replay on frames of
// `replayStepMs`. The waits keep the replay's events on the frame nearest to
// the recorded moment (the rounding of one wait is made up by the next), so
// a recording of fixed frames of that length replays frame for frame.
class ReplayRecorder {
 public:
  // How far an end mark's moment may stand from the recorded one.
  static constexpr u32 kEndLeewayMs = 1000;

  ~ReplayRecorder();
  // The recording begun on `path`: the file made (emptied) now, or, `held`,
  // only by Commit, the lines kept until then (and dropped when the
  // recorder goes without it), so that a run that stops first leaves an
  // earlier file as it was. A held path is checked without a byte of it
  // changed. False when it cannot be written (`why` says why, when given).
  bool Open(const std::string& path, u32 replayStepMs, bool held = false, std::string* why = nullptr);
  // The header, before any event; the size of the client area when known.
  void Header(u64 clockSeconds, u32 seed, u32 width = 0, u32 height = 0);
  void Frame(u32 ms);  // a frame of play has passed (not one held in pause)
  void Event(const ReplayStep& step);
  void Click(i32 x, i32 y, bool right);
  // A held recording's file made, what it held written to it; later lines
  // go straight to it. False when it cannot be made (Finish then fails).
  bool Commit();
  // The run has ended after its last frame: the waits to its end, "expect
  // won" when a level was won, then where it ended. `end` the game's quit
  // (kQuitState): the waits stop a little short of it and an await of the
  // quit covers its moment either side; another state: the waits reach the
  // last frame and an await of that state follows. Without `end` (the level
  // player, whose scripts quit it once done): only the waits. A held file
  // is made now. False when the file could not be written whole.
  bool Finish(bool won = false, std::optional<u32> end = {});
  bool IsOpen() const { return open_; }

 private:
  void WaitUntil(u64 ms);
  void Line(const std::string& text);
  std::FILE* file_ = nullptr;
  std::string path_;
  std::string held_;  // the lines of a held recording, until its file is made
  bool open_ = false;
  u32 step_ = 1;
  u32 lastFrame_ = 0;
  u64 played_ = 0;    // ms of play recorded
  u64 replayed_ = 0;  // ms a replay has played when it reaches the last line written
  bool failed_ = false;
  std::optional<std::pair<i32, i32>> pointer_;  // where the lines written leave the pointer
};

// A recorded list of clicks that plays a level without a person, one line
// a step ("#" starts a comment):
//
//   wait MS        lets MS milliseconds of play pass
//   click X Y      moves the mouse to screen point (X, Y) (in two moves,
//                  the last pixel from below), presses and releases the
//                  left button there
//   rclick X Y     the same with the right button
//   key enter|escape
//   expect won     at the end, the level must be won (else the run fails)
//
// The steps run between frames of a fixed length, so a script gives the
// same play on any machine. A script is a regular file under 1 MB. A run
// records what was clicked (--record FILE) in the same form, up to the
// moment it ended, so the recording plays to the same end.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "base/Types.h"

namespace player {

struct ScriptStep {
  enum Kind { kWait, kClick, kRightClick, kKey, kExpectWon } kind;
  i32 a = 0;  // ms, x or the virtual key
  i32 b = 0;  // y
};

class ClickScript {
 public:
  static constexpr size_t kMaxBytes = 1u << 20;  // a script is smaller
  static constexpr u32 kMaxWaitMs = 3600000;      // of one wait line

  // False with what is wrong: a path that is not a regular file (a pipe, a
  // device, a folder) or one of kMaxBytes or more is refused unread;
  // otherwise the line and what is wrong with it.
  bool Load(const std::string& path, std::string* error);
  bool Parse(const std::string& text, std::string* error);

  // The steps due now, before a frame: every step up to the next wait that
  // has not passed (a wait passes once the frames since it began add up to
  // it); `frameMs` is the frame that follows. True while steps are left.
  template <class Run>
  bool Advance(u32 frameMs, Run run) {
    while (next_ < steps_.size()) {
      const ScriptStep& s = steps_[next_];
      if (s.kind == ScriptStep::kWait) {
        if (waited_ < static_cast<u32>(s.a)) {
          waited_ += frameMs;
          return true;
        }
        waited_ = 0;
        ++next_;
        continue;
      }
      if (s.kind == ScriptStep::kExpectWon) expectWon_ = true;
      else run(s);
      ++next_;
    }
    return false;
  }
  bool ExpectsWin() const { return expectWon_; }
  const std::vector<ScriptStep>& Steps() const { return steps_; }

 private:
  std::vector<ScriptStep> steps_;
  size_t next_ = 0;
  u32 waited_ = 0;
  bool expectWon_ = false;
};

// Writes what is clicked as script lines, for a replay on frames of
// `replayStepMs`. The waits keep the replay's clicks on the frame nearest to
// the recorded moment (the rounding of one wait is made up by the next), so
// a recording of fixed frames of that length replays frame for frame.
class ScriptRecorder {
 public:
  ~ScriptRecorder();
  bool Open(const std::string& path, u32 replayStepMs);
  void Frame(u32 ms);  // a frame of play has passed (not one held in pause)
  void Click(i32 x, i32 y, bool right);
  void Key(const char* name);
  // The run has ended after its last frame: the wait up to that frame (a
  // replay plays one frame once its script is done) and, for a won level,
  // "expect won". False when the file could not be written whole.
  bool Finish(bool won);
  bool IsOpen() const { return file_ != nullptr; }

 private:
  void WaitUntil(u64 ms);
  std::FILE* file_ = nullptr;
  u32 step_ = 1;
  u32 lastFrame_ = 0;
  u64 played_ = 0;    // ms of play recorded
  u64 replayed_ = 0;  // ms a replay has played when it reaches the last line written
  bool failed_ = false;
};

}  // namespace player

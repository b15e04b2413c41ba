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
// same play on any machine. A window run records a script of what the
// person did (--record FILE) in the same form.
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
  // False with the line and what is wrong with it.
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

// Writes what a person does as script lines.
class ScriptRecorder {
 public:
  ~ScriptRecorder();
  bool Open(const std::string& path);
  void Frame(u32 ms) { pending_ += ms; }
  void Click(i32 x, i32 y, bool right);
  void Key(const char* name);
  bool IsOpen() const { return file_ != nullptr; }

 private:
  void Flush();
  std::FILE* file_ = nullptr;
  u32 pending_ = 0;
};

}  // namespace player

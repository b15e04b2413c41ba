// ReplayRun - the program's run driven by a replay (app/ReplayScript.h)
// and/or written to one: frames of a fixed 20 ms on a clock of its own whose
// wall time starts at the replay's "clock" (the profiles' times and the log's
// stamps read it), the replay's events handed to the window system as a
// person's would be, its marks checked before each frame. A recording holds
// the header (the clock and the key seed of the run, the size of the
// client area it ran at) and the events played, up to the end of the run,
// and ends with where the run ended. Its file is made only once the game
// has started up whole (or at the end of a run that ended before): a start
// that stops on its data leaves an earlier file as it was. A replay plays
// at the size it names; its pointer starts at the same screen point in a
// window as headless.
//
// A replay nobody watches (headless) need not rasterise every frame: unless
// told to rasterise them all, the software device draws only the frames a
// screenshot mark may read; every draw call still runs, so what moves in a
// draw moves alike.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/ReplayScript.h"
#include "base/Types.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"

class ReplayRun {
 public:
  static constexpr u32 kStepMs = 20;

  ~ReplayRun();
  // The replay read and the recording's path taken and checked (paths
  // against the current folder, read before the program moves to the data
  // folder); nothing is written. False with what is wrong ("FILE: line N:
  // ..."); both paths may be empty.
  bool Open(const std::string& replay, const std::string& record, std::string* error);
  // The recording's header, the game's client area being width x height,
  // held with what follows until StartedUp.
  void BeginRecording(u32 width, u32 height) { recorder_.Header(clockSeconds_, seed_, width, height); }
  // The game has started up whole (its data and language read): the
  // recording's file is made (a failure is said on standard error at once,
  // and Finish fails).
  void StartedUp();
  // The size the replay was made at (0 x 0 when it names none), and why the
  // game's client area of width x height cannot play it (empty when it is
  // that size, or the replay names none).
  u32 ScreenWidth() const { return script_.ScreenWidth(); }
  u32 ScreenHeight() const { return script_.ScreenHeight(); }
  std::string ScreenRefused(i32 width, i32 height) const;
  bool Active() const { return replaying_ || recorder_.IsOpen(); }
  bool Replaying() const { return replaying_; }
  // A recording of a person's input (no replay): the run keeps its own
  // clock and hands over what it hears and its frames' lengths.
  bool Live() const { return !replaying_ && recorder_.IsOpen(); }
  void Record(const ReplayStep& step) { recorder_.Event(step); }
  void LiveFrame(u32 ms) { recorder_.Frame(ms); }
  // A replay's clock installed until the run ends.
  void Start();
  // The replay, the recording, the run's clock and key seed said in the log.
  void Describe() const;
  u32 KeySeed() const { return seed_; }
  u64 ClockSeconds() const { return clockSeconds_; }

  // Every frame of a replay rasterised (a window shows them; the default),
  // or only those a mark may read.
  void RasteriseEveryFrame(bool every) { everyFrame_ = every; }
  // Before a frame: the steps due run and the device told whether to
  // rasterise it. False once the replay is done or a mark failed (the run
  // ends).
  bool BeforeFrame();
  // After a frame: the clock moved on a step.
  void AfterFrame();
  // The game shows a level won (every frame it shows one): a replay's
  // "expect won" is met, and a recording ends with it.
  void LevelWon() { won_ = true; }
  // The run has ended (`quit`: the game quit itself): a replay with steps
  // left fails at the step it was on (unless that is its last, an await of
  // the state the game ended in; the quit state when quit), one expecting
  // a win fails unless a level was won; the recording ends with where the
  // run ended and is closed. Empty when all went well, else what failed.
  std::string Finish(bool quit = false);

 private:
  ReplayScript::StepResult RunStep(const ReplayStep& s);
  std::string Resolve(const std::string& path) const;

  ReplayScript script_;
  ReplayRecorder recorder_;
  plat::FakeClock clock_;
  std::optional<plat::PlatformServicesScope> clockScope_;  // clock_ installed while a replay plays
  std::string folder_;  // the current folder at Open, with a trailing "/"
  std::string replayPath_;
  std::string recordPath_;
  std::string failure_;
  bool replaying_ = false;
  bool done_ = false;
  bool won_ = false;
  bool everyFrame_ = true;
  u32 frames_ = 0;
  u64 clockSeconds_ = 0;
  u32 seed_ = 0;
};

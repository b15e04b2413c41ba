#include "app/ReplayRun.h"

#include <sys/stat.h>
#include <time.h>

#include <cstdio>

#include "engine/DXLApp.h"
#include "engine/DXLLog.h"
#include "engine/DXLViewer.h"
#include "engine/DXLWindowViewer.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/PngFile.h"
#include "platform/input/KeyCodes.h"
#include "platform/os/FileSystem.h"
#include "platform/os/WallClock.h"
#include "platform/os/WindowSystem.h"
#include "ui/WindowManager.h"

static_assert(ReplayScript::kQuitState == kAppStateShutdown, "a replay's quit is the game's shutdown state");

namespace {

plat::gfx::SoftDevice* SoftDevice() {
  DXLViewer* viewer = DXLGetViewer();
  return viewer && viewer->GetDevice() ? viewer->GetDevice()->GetSoftDevice() : nullptr;
}

constexpr u8 kModifierKeys[] = {plat::DIK_LSHIFT, plat::DIK_LCONTROL, plat::DIK_LMENU};
// The modifier keys of ReplayStep's bits pressed (in order) or released (in
// reverse order) around a key or a click.
void HoldModifiers(i32 bits, bool down) {
  plat::WindowSystem& w = plat::GetWindowSystem();
  for (u32 i = 0; i < 3; ++i) {
    const u32 m = down ? i : 2 - i;
    if (bits & (1 << m)) w.UserKey(kModifierKeys[m], down);
  }
}

plat::LocalTime UtcTime(u64 seconds) {
  const time_t at = static_cast<time_t>(seconds);
  tm t{};
  ::gmtime_r(&at, &t);
  return plat::LocalTime{static_cast<u16>(t.tm_year + 1900), static_cast<u16>(t.tm_mon + 1),
                         static_cast<u16>(t.tm_wday),        static_cast<u16>(t.tm_mday),
                         static_cast<u16>(t.tm_hour),        static_cast<u16>(t.tm_min),
                         static_cast<u16>(t.tm_sec),         0};
}

// A window point on the screen, where the window system reads the pointer.
plat::Point OnScreen(i32 x, i32 y) {
  plat::Point p{x, y};
  plat::GetWindowSystem().ClientToScreen(DXLGetAppData().window, &p);
  return p;
}

}  // namespace

ReplayRun::~ReplayRun() = default;

std::string ReplayRun::Resolve(const std::string& path) const {
  return path.empty() || path[0] == '/' ? path : folder_ + path;
}

bool ReplayRun::Open(const std::string& replay, const std::string& record, std::string* error) {
  folder_ = plat::Utf16ToUtf8(plat::GetCurrentDirectory());
  if (folder_.empty() || folder_.back() != '/') folder_ += '/';
  replayPath_ = replay;
  recordPath_ = record;
  clockSeconds_ = plat::GetWallSeconds();
  if (!replay.empty()) {
    std::string why;
    if (!script_.Load(Resolve(replay), &why)) {
      *error = replay + ": " + why;
      return false;
    }
    replaying_ = true;
    if (script_.HasClock()) clockSeconds_ = script_.ClockSeconds();
  }
  // The keys' generator is seeded once a run from the wall clock, unless
  // the replay names its seed.
  seed_ = script_.HasSeed() ? script_.Seed() : static_cast<u32>(clockSeconds_);
  if (!record.empty()) {
    // Recording over the replay being played would destroy it.
    struct stat played {}, recorded {};
    if (!replay.empty() && (Resolve(record) == Resolve(replay) ||
                            (::stat(Resolve(replay).c_str(), &played) == 0 &&
                             ::stat(Resolve(record).c_str(), &recorded) == 0 && played.st_dev == recorded.st_dev &&
                             played.st_ino == recorded.st_ino))) {
      *error = record + ": is the replay being played; record to another file";
      return false;
    }
    std::string why;
    if (!recorder_.Open(Resolve(record), kStepMs, true, &why)) {
      *error = record + ": cannot be written (" + why + ")";
      return false;
    }
  }
  return true;
}

void ReplayRun::StartedUp() {
  if (recorder_.IsOpen() && !recorder_.Commit())
    std::fprintf(stderr, "tallowmere: %s: cannot be written; this run is not recorded\n", recordPath_.c_str());
}

std::string ReplayRun::ScreenRefused(i32 width, i32 height) const {
  const u32 w = script_.ScreenWidth(), h = script_.ScreenHeight();
  if (!replaying_ || w == 0 || (static_cast<u32>(width) == w && static_cast<u32>(height) == h)) return {};
  const auto size = [](u32 x, u32 y) { return std::to_string(x) + " x " + std::to_string(y); };
  // No display, the headless one included, makes a window below that.
  if (w < kMinWindowWidth || h < kMinWindowHeight)
    return replayPath_ + ": recorded at " + size(w, h) + ", smaller than the game's smallest window (" +
           size(kMinWindowWidth, kMinWindowHeight) + "): it plays nowhere";
  return replayPath_ + ": recorded at " + size(w, h) + ", the game has " +
         size(static_cast<u32>(width), static_cast<u32>(height)) +
         " here (this display gives no window nor full screen of that size): play it with --headless or on a "
         "larger display";
}

void ReplayRun::Start() {
  if (clockScope_) return;
  if (replaying_) {
    clock_.Set(plat::GetTimeMs());
    clock_.SetLocalTime(UtcTime(clockSeconds_));
    clockScope_.emplace(plat::PlatformServices{.clock = &clock_});
    // The pointer starts where it does on the headless desktop (its
    // middle), whatever the size of the display: before the replay's first
    // move the game reads it all the same (the main screen's girl smiles
    // while it is over a window, which moves the random draws).
    const plat::DesktopSettings headless;
    plat::GetWindowSystem().PlacePointer(plat::Point{headless.width / 2, headless.height / 2});
  }
}

void ReplayRun::Describe() const {
  DXLLogValueFormat(0, "Replay", "%s%s%s; the clock at %llu, the key seed %u", replaying_ ? "playing " : "",
                    replaying_ ? replayPath_.c_str() : "", recorder_.IsOpen() ? " recorded" : "",
                    static_cast<unsigned long long>(clockSeconds_), seed_);
}

ReplayScript::StepResult ReplayRun::RunStep(const ReplayStep& s) {
  plat::WindowSystem& w = plat::GetWindowSystem();
  switch (s.kind) {
    case ReplayStep::kClick:
    case ReplayStep::kRightClick: {
      // The pointer arrives in two moves, as a hand's does.
      const u32 button = s.kind == ReplayStep::kClick ? 0 : 1;
      HoldModifiers(s.c, true);
      w.UserPointer(OnScreen(s.a, s.b + 1));
      w.UserPointer(OnScreen(s.a, s.b));
      w.UserButton(button, true);
      w.UserButton(button, false);
      HoldModifiers(s.c, false);
      break;
    }
    case ReplayStep::kPress:
    case ReplayStep::kRelease:
      w.UserPointer(OnScreen(s.a, s.b));
      w.UserButton(static_cast<u32>(s.c), s.kind == ReplayStep::kPress);
      break;
    case ReplayStep::kMove: w.UserPointer(OnScreen(s.a, s.b)); break;
    case ReplayStep::kWheel:
      w.UserPointer(OnScreen(s.a, s.b));
      w.UserWheel(s.c);
      break;
    case ReplayStep::kKey:
      HoldModifiers(s.b, true);
      w.UserKey(static_cast<u8>(s.a), true);
      w.UserKey(static_cast<u8>(s.a), false);
      HoldModifiers(s.b, false);
      break;
    case ReplayStep::kText: w.UserText(plat::Utf8ToUtf16(s.text)); break;
    case ReplayStep::kAwait:
    case ReplayStep::kExpectState:
      return DXLGetAppState() == static_cast<u32>(s.a) ? ReplayScript::kPassed : ReplayScript::kNotYet;
    case ReplayStep::kExpectWindow:
      return GetWindowManager() && GetWindowManager()->FindWindow(static_cast<u32>(s.a)) ? ReplayScript::kPassed
                                                                                          : ReplayScript::kNotYet;
    case ReplayStep::kScreenshot: {
      plat::gfx::SoftDevice* soft = SoftDevice();
      std::string why;
      if (!soft || !plat::WritePng(Resolve(s.text), soft->Frame(), soft->Width(), soft->Height(), &why)) {
        std::fprintf(stderr, "tallowmere: cannot write %s: %s\n", s.text.c_str(), soft ? why.c_str() : "no frame");
        return ReplayScript::kFailed;
      }
      DXLLogValueFormat(0, "Replay", "frame %u written to %s", frames_, s.text.c_str());
      return ReplayScript::kPassed;
    }
    case ReplayStep::kLog: DXLLogValueA(0, "Replay", s.text.c_str()); return ReplayScript::kPassed;
    default: return ReplayScript::kPassed;
  }
  recorder_.Event(s);
  return ReplayScript::kPassed;
}

bool ReplayRun::BeforeFrame() {
  if (!replaying_ || done_) return !done_;
  const ReplayScript::Progress p = script_.Advance(kStepMs, [this](const ReplayStep& s) { return RunStep(s); });
  done_ = p != ReplayScript::kMore;
  if (plat::gfx::SoftDevice* soft = SoftDevice()) {
    const bool read = script_.NextFrameMayBeRead();
    soft->SetRasterising(everyFrame_ || read);
    soft->SetFrameKept(read);  // a frame drawn in the window's own memory is kept for the screenshot
  }
  return !done_;
}

void ReplayRun::AfterFrame() {
  ++frames_;
  clock_.Advance(kStepMs);
  recorder_.Frame(kStepMs);
}

std::string ReplayRun::Finish(bool quit) {
  if (replaying_) {
    if (!done_) script_.Stop("the run ended first", quit ? ReplayScript::kQuitState : DXLGetAppState());
    if (!script_.Failure().empty()) failure_ = replayPath_ + ": " + script_.Failure();
    else if (script_.ExpectsWin() && !won_) failure_ = replayPath_ + ": expect won: no level was won";
  }
  if (recorder_.IsOpen() && !recorder_.Finish(won_, quit ? ReplayScript::kQuitState : DXLGetAppState()) &&
      failure_.empty())
    failure_ = recordPath_ + ": cannot write all of it";
  clockScope_.reset();
  if (plat::gfx::SoftDevice* soft = SoftDevice()) soft->SetRasterising(true);
  if (!failure_.empty()) DXLLogValueA(0, "Replay failed", failure_.c_str());
  return failure_;
}

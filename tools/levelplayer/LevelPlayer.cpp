// levelplayer: a level of a data set (the first, or --level N) played in an
// 800 x 600 window with the mouse, as the game will play it: the farm with
// its places and points, the player character, the level panel along the
// bottom with the places' and the points' panels. Click a place to choose
// what she sows or builds there, the arrows over the points to harvest,
// water or collect, a garbage heap's price plate to clear it; meet the
// level's tasks to win the day. Escape quits.
//
// With --script it plays a recorded list of clicks on a fixed-step clock
// (the same play on any machine), with or without a window; --headless
// needs no display. --record writes what was clicked, a person's or a
// script's, as a script that plays to the same end. --screenshot writes the
// last frame, --check says whether a screenshot shows the level. Headless,
// only the frames a screenshot (mark or last frame) may read are
// rasterised, every frame with --rasterise; every draw call runs either way.
//
// Exit status: 0 done, 1 the run failed (also when the display goes away or
// the data set is damaged), 2 wrong options (or a level the data set does
// not have), 3 the script expected a won level and it was not won, or the
// data set has no "language.dat", 4 no display to open a window on (as the
// game).
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "PlayerWorld.h"
#include "app/ReplayScript.h"
#include "common/GameFrame.h"
#include "content/LevelTable.h"
#include "engine/DXLApp.h"
#include "engine/DXLLog.h"
#include "engine/DXLWindowViewer.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/PngFile.h"
#include "platform/headless/Session.h"
#include "platform/input/KeyCodes.h"
#include "platform/os/WindowSystem.h"
#include "ui/WindowManager.h"
#if TM_PLAYER_SDL2
#include "platform/sdl2/SdlSession.h"
#endif

namespace {

constexpr i32 kWidth = 800;
constexpr i32 kHeight = 600;
constexpr u32 kStepMs = 20;            // a scripted frame
constexpr u32 kLongestFrameMs = 100;   // a window frame at most
constexpr u32 kScriptFrameLimit = 200000;
constexpr const wchar* kClassName = u"TallowmereLevelPlayer";

struct Options {
  bool help = false;
  bool headless = false;
  bool rasterise = false;  // every headless frame rasterised
  u32 frames = 0;
  u32 level = 1;  // from 1
  std::string script;
  std::string screenshot;
  std::string record;
  std::string check;
  std::string data = TM_PLAYER_DATA_DIR;
};

constexpr const char* kUsage =
    "usage: levelplayer [--data DIR] [--level N] [--record FILE]\n"
    "       levelplayer [--headless [--rasterise]] --script FILE [--data DIR] [--level N] [--screenshot FILE.png]\n"
    "                   [--record FILE]\n"
    "       levelplayer --headless [--rasterise] --frames N [--data DIR] [--level N] [--screenshot FILE.png]\n"
    "       levelplayer --check FILE.png\n";

constexpr const char* kHelp =
    "Plays a level of the data set in an 800 x 600 window with the mouse: click a place to sow or build on it,\n"
    "the arrows over the points to harvest, water or collect, a garbage heap's price plate to clear it; meet\n"
    "the level's tasks to win. Escape quits, saying whether the day was won and with which medal. Needs a display\n"
    "(X11 or Wayland) unless --headless; one level player runs at a time. `bash tools/run.sh --level-player`\n"
    "builds and starts it; `bash tools/run.sh --scenarios` on the scenario levels (tools/data/scenarios).\n"
    "  --data DIR            the data set (built by databuild; by default the run command's)\n"
    "  --level N             play level N of the data set (1 to 41; by default 1); a level the set does not\n"
    "                        have is refused with status 2\n"
    "  --script FILE         play a recorded list of clicks on a fixed-step clock, then quit (a text file\n"
    "                        under 1 MB; recorded ones in tools/levelplayer/scripts)\n"
    "  --headless            run without a display (needs --script or --frames); only the frames a screenshot\n"
    "                        (mark or last frame) may write are rasterised, though every draw call runs\n"
    "  --rasterise           with --headless, rasterise every frame\n"
    "  --frames N            quit after N frames (1 to 1000000)\n"
    "  --screenshot FILE.png write the last frame as a PNG file (needs --script or --frames)\n"
    "  --record FILE         write what is clicked, to the end of the run, as a script that replays it\n"
    "  --check FILE.png      say whether a screenshot shows the level (exit status 0 when it does)\n"
    "  --help                print this help\n"
    "Exit status: 0 done, 1 the run failed (a damaged data file, the display gone, another copy running),\n"
    "2 wrong options or no such level, 3 a script's \"expect won\" not met or the data set has no\n"
    "\"language.dat\", 4 no display. The log is \"log.txt\" beside the program. The repository's\n"
    "docs/manual.md has the script format.\n";

Options gOptions;
player::World gWorld;
ReplayScript gScript;
ReplayRecorder gRecorder;
u32 gFrames = 0;
bool gScriptDone = false;

bool EndsWithPng(const std::string& name) {
  if (name.size() <= 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return tail == ".png";
}

std::string ParseArgs(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool value = i + 1 < argc;
    if (a == "--help" || a == "-h") {
      o->help = true;
    } else if (a == "--headless") {
      o->headless = true;
    } else if (a == "--rasterise") {
      o->rasterise = true;
    } else if (a == "--frames" && value) {
      char* end = nullptr;
      const char* text = argv[++i];
      const unsigned long n = std::strtoul(text, &end, 10);
      if (*text < '0' || *text > '9' || *end != '\0' || n == 0 || n > 1000000)
        return std::string("--frames needs a number from 1 to 1000000, not \"") + text + "\"";
      o->frames = static_cast<u32>(n);
    } else if (a == "--level" && value) {
      char* end = nullptr;
      const char* text = argv[++i];
      const unsigned long n = std::strtoul(text, &end, 10);
      if (*text < '0' || *text > '9' || *end != '\0' || n == 0 || n > kLevelCount)
        return std::string("--level needs a level number from 1 to 41, not \"") + text + "\"";
      o->level = static_cast<u32>(n);
    } else if (a == "--script" && value) {
      o->script = argv[++i];
    } else if (a == "--screenshot" && value) {
      o->screenshot = argv[++i];
      if (!EndsWithPng(o->screenshot)) return "the screenshot is written as PNG: its name must end in .png";
    } else if (a == "--record" && value) {
      o->record = argv[++i];
    } else if (a == "--check" && value) {
      o->check = argv[++i];
    } else if (a == "--data" && value) {
      o->data = argv[++i];
    } else if (!value && (a == "--frames" || a == "--level" || a == "--script" || a == "--screenshot" ||
                          a == "--record" || a == "--check" || a == "--data")) {
      return a + " needs a value";
    } else {
      return "unknown option \"" + a + "\"";
    }
  }
  if (o->help) return "";
  const bool ends = !o->script.empty() || o->frames != 0;
  if (o->headless && !ends) return "--headless needs --script FILE or --frames N (nothing can close a headless run)";
  if (!o->screenshot.empty() && !ends) return "--screenshot needs --script FILE or --frames N";
  return "";
}

// Why a file cannot be written at `path` ("" when it can): its folder is
// missing, is not a folder or may not be written, or the path is a folder or
// a file that may not be written. Checked before playing, so a long run does
// not end in a lost screenshot.
std::string CannotWrite(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0) return "no folder " + folder;
  if (!S_ISDIR(st.st_mode)) return folder + " is not a folder";
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return "the folder " + folder + " may not be written";
  if (::stat(path.c_str(), &st) == 0 && (!S_ISREG(st.st_mode) || ::access(path.c_str(), W_OK) != 0))
    return S_ISREG(st.st_mode) ? "the file may not be written" : "it is not a regular file";
  return "";
}

bool Scripted() { return !gOptions.script.empty() || gOptions.headless; }

// Fixed steps for a script or a headless run, the frame timer's otherwise.
u32 FrameStep() {
  static u32 last = DXLGetTimeMs();
  const u32 now = DXLGetTimeMs();
  const u32 elapsed = now - last;
  last = now;
  return Scripted() ? kStepMs : std::min(elapsed, kLongestFrameMs);
}

void Quit() { plat::GetWindowSystem().PostQuitMessage(0); }

// A replay step run on the level: events reach the world as a hand's
// would, marks are checked and the screenshot mark written.
ReplayScript::StepResult RunStep(const ReplayStep& s) {
  static constexpr u32 kButtonBits[] = {kMouseLeft, kMouseRight, kMouseMiddle};
  const u32 button = kButtonBits[s.c >= 0 && s.c < 3 ? s.c : 0];
  switch (s.kind) {
    case ReplayStep::kClick:
    case ReplayStep::kRightClick: {
      const u32 clicked = s.kind == ReplayStep::kClick ? kMouseLeft : kMouseRight;
      // The pointer arrives in two moves, as a hand's does: the level
      // reads the windows' hover before they have seen a move.
      gWorld.MouseMove(s.a, s.b + 1, 0);
      gWorld.MouseMove(s.a, s.b, 0);
      gWorld.MouseDown(s.a, s.b, clicked);
      gWorld.MouseUp(s.a, s.b, clicked);
      break;
    }
    case ReplayStep::kPress: gWorld.MouseDown(s.a, s.b, button); break;
    case ReplayStep::kRelease: gWorld.MouseUp(s.a, s.b, button); break;
    case ReplayStep::kMove: gWorld.MouseMove(s.a, s.b, 0); break;
    case ReplayStep::kKey:
      // The level hears Enter and Escape; other keys pass it by.
      if (s.a == plat::DIK_RETURN) gWorld.Key(13);
      else if (s.a == plat::DIK_ESCAPE) gWorld.Key(27);
      break;
    case ReplayStep::kAwait:
    case ReplayStep::kExpectState:
      if (DXLGetAppState() != static_cast<u32>(s.a)) return ReplayScript::kNotYet;
      break;
    case ReplayStep::kExpectWindow:
      if (!GetWindowManager() || !GetWindowManager()->FindWindow(static_cast<u32>(s.a))) return ReplayScript::kNotYet;
      break;
    case ReplayStep::kScreenshot:
      if (!tools::WriteFrameShot("levelplayer", s.text, gFrames)) return ReplayScript::kFailed;
      return ReplayScript::kPassed;  // not an event: nothing to record
    case ReplayStep::kLog:
      DXLLogValueA(0, "Replay", s.text.c_str());
      return ReplayScript::kPassed;
    default:
      break;
  }
  if (!s.IsMark()) gRecorder.Event(s);
  return ReplayScript::kPassed;
}

// Whether something may read the next frame: a screenshot mark before the
// frame after it, or the last frame (--screenshot).
bool FrameWillBeRead() {
  if (gScriptDone) return true;
  const u32 next = gFrames + 1;
  if ((gOptions.frames != 0 && next >= gOptions.frames) || next >= kScriptFrameLimit) return true;
  return !gOptions.script.empty() && gScript.NextFrameMayBeRead();
}

// Headless, a frame is rasterised only when something may read it.
bool FrameMayBeRead() { return !gOptions.headless || gOptions.rasterise || FrameWillBeRead(); }

void Render() {
  const u32 step = FrameStep();
  if (!gOptions.script.empty() && !gScriptDone) gScriptDone = gScript.Advance(step, RunStep) != ReplayScript::kMore;
  if (plat::gfx::SoftDevice* soft = DXLGetViewer()->GetDevice()->GetSoftDevice()) {
    soft->SetRasterising(FrameMayBeRead());
    // A frame drawn in the window's own memory is copied out only for a
    // screenshot: an idle window saves a copy a frame.
    soft->SetFrameKept(FrameWillBeRead());
  }
  // Only the frames that move the level count for a recording: a replay
  // never pauses.
  if (DXLGetAppData().pauseLevel == 0 || Scripted()) {
    gWorld.Update(step);
    gRecorder.Frame(step);
  }
  DXLGetViewer()->Clear(0xFF000000u);
  gWorld.Draw();
  ++gFrames;
  if (gScriptDone || (gOptions.frames != 0 && gFrames >= gOptions.frames) ||
      (Scripted() && gFrames >= kScriptFrameLimit))
    Quit();
}

void MouseDown(DXLPOINT p, u32 button, u32) {
  if (!gOptions.script.empty()) return;
  gWorld.MouseDown(p.x, p.y, button);
  if (button == kMouseLeft || button == kMouseRight) gRecorder.Click(p.x, p.y, button == kMouseRight);
}
void MouseUp(DXLPOINT p, u32 button, u32) {
  if (gOptions.script.empty()) gWorld.MouseUp(p.x, p.y, button);
}
void MouseMove(DXLPOINT p, u32 buttons, u32) {
  if (gOptions.script.empty()) gWorld.MouseMove(p.x, p.y, buttons);
}

void KeyPress(u16 key, u32) {
  if (key == plat::DIK_ESCAPE) {
    plat::GetWindowSystem().PostMessage(DXLGetAppData().window, plat::WM_CLOSE, 0, 0);
    return;
  }
  if (!gOptions.script.empty()) return;
  if (key == plat::DIK_RETURN) {
    gWorld.Key(13);
    ReplayStep enter;
    enter.kind = ReplayStep::kKey;
    enter.a = plat::DIK_RETURN;
    gRecorder.Event(enter);
  }
}

bool PlayerFilter(DXLViewer*, kis::list<DXLDISPLAYMODE*>*, const DXLDISPLAYMODE* mode) {
  return mode->format == 22 && mode->width >= kWidth && mode->height >= kHeight;
}

const char* MedalName(i32 medal) {
  return medal >= 6 ? "gold" : medal == 5 ? "silver" : medal == 4 ? "bronze" : "no medal";
}

// How the window's frames are shown (made with the first), for the log.
const std::string* gPresenterChoice = nullptr;

// `window`: the window's collaborators the world installs (none headless).
int Run(const plat::PlatformServices& window) {
  if (const int failed = tools::OpenGameFrame("levelplayer", "", kClassName, u"Tallowmere level player", kWidth,
                                              kHeight, !Scripted() && gOptions.frames == 0, PlayerFilter))
    return failed;
  std::string error;
  bool noSuchLevel = false;
  if (!gWorld.Load(DXLGetViewer(), window, gOptions.data, static_cast<i32>(gOptions.level) - 1, kWidth, kHeight, &error,
                   &noSuchLevel)) {
    if (noSuchLevel)
      std::fprintf(stderr, "levelplayer: %s: %s\n", gOptions.data.c_str(), error.c_str());
    else
      std::fprintf(stderr, "levelplayer: no level to play: %s (build a data set with databuild, or give --data DIR)\n",
                   error.c_str());
    const int status = noSuchLevel ? 2 : gWorld.FailureStatus();
    gWorld.Unload();
    DXLShutdown();
    return status;
  }
  DXLLogValueA(0, "Data set", gOptions.data.c_str());
  DXLCALLBACKS callbacks{};
  callbacks.render = Render;
  callbacks.mouseDown = MouseDown;
  callbacks.mouseUp = MouseUp;
  callbacks.mouseMove = MouseMove;
  callbacks.keyPress = KeyPress;
  DXLSetCallbacks(kCallbackAll, &callbacks);
  DXLSetAppState(1, true);
  DXLRun();
  if (gPresenterChoice && !gPresenterChoice->empty()) DXLLogValueA(0, "Presenter", gPresenterChoice->c_str());

  int status = 0;
  const i32 result = gWorld.Result();
  if (result > 0) {
    std::printf("levelplayer: level won with %s at %.2f s of level time\n", MedalName(gWorld.Medal()),
                static_cast<double>(gWorld.Profile().Result().time) / 1000.0);
  } else {
    std::printf("levelplayer: level %s after %.2f s\n", result < 0 ? "lost" : "not won",
                static_cast<double>(gWorld.Clock()) / 1000.0);
    if (gScript.ExpectsWin()) status = 3;
  }
  if (!gScript.Failure().empty()) {
    std::fprintf(stderr, "levelplayer: %s: %s\n", gOptions.script.c_str(), gScript.Failure().c_str());
    status = 3;
  }
  if (gRecorder.IsOpen() && !gRecorder.Finish(result > 0)) {
    std::fprintf(stderr, "levelplayer: cannot write all of %s\n", gOptions.record.c_str());
    status = 1;
  }
  if (!gOptions.screenshot.empty() && !tools::WriteFrameShot("levelplayer", gOptions.screenshot, gFrames)) status = 1;
  gWorld.Unload();
  DXLShutdown();
  return status;
}

// The level shows: an 800 x 600 frame whose map part holds the ground's many
// colours without black gaps, and whose bottom strip (the level panel) is
// drawn and less green than the grass above it.
int CheckScreenshot(const std::string& path) {
  std::vector<uint32_t> pixels;
  uint32_t w = 0, h = 0;
  if (!tools::ReadFrameShot("levelplayer", path, &pixels, &w, &h)) return 1;
  std::string report;
  if (w != kWidth || h != kHeight) report += "  it is not 800 x 600\n";
  const u32 strip = kHeight - 115;
  std::set<u32> mapColours, stripColours;
  u64 black = 0, mapGreen = 0, stripGreen = 0, mapCount = 0, stripCount = 0;
  for (u32 y = 0; y < h && report.empty(); ++y) {
    for (u32 x = 0; x < w; ++x) {
      const u32 p = pixels[y * w + x] & 0xFFFFFFu;
      // How far green stands out over red and blue: the grass is green, the
      // panel's wood and paper (however light) are not.
      const u32 r = (p >> 16) & 0xFF, b = p & 0xFF, g0 = (p >> 8) & 0xFF;
      const u32 g = g0 > std::max(r, b) ? g0 - std::max(r, b) : 0;
      if (y < strip - 20) {
        mapColours.insert(p);
        mapGreen += g;
        ++mapCount;
        if (p == 0) ++black;
      } else if (y >= strip + 20) {
        stripColours.insert(p);
        stripGreen += g;
        ++stripCount;
      }
    }
  }
  if (report.empty()) {
    if (mapColours.size() < 200) report += "  the map shows too few colours for the ground\n";
    if (black * 20 > mapCount) report += "  the map has black holes\n";
    if (stripColours.size() < 20) report += "  the panel strip is not drawn\n";
    if (mapCount && stripCount && mapGreen / mapCount <= stripGreen / stripCount)
      report += "  the strip is as green as the grass: no panel over it\n";
  }
  if (!report.empty()) {
    std::fprintf(stderr, "levelplayer: %s does not show the level:\n%s", path.c_str(), report.c_str());
    return 1;
  }
  std::printf("levelplayer: %s shows the level\n", path.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const std::string wrong = ParseArgs(argc, argv, &gOptions);
  const int answer = tools::AnswerArguments("levelplayer", wrong, gOptions.help, kUsage, kHelp);
  if (answer >= 0) return answer;
  if (!gOptions.check.empty()) return CheckScreenshot(gOptions.check);
  if (!gOptions.script.empty()) {
    std::string error;
    if (!gScript.Load(gOptions.script, &error)) {
      std::fprintf(stderr, "levelplayer: %s: %s\n", gOptions.script.c_str(), error.c_str());
      return 2;
    }
  }
  if (!gOptions.screenshot.empty()) {
    const std::string why = CannotWrite(gOptions.screenshot);
    if (!why.empty()) {
      std::fprintf(stderr, "levelplayer: cannot write the screenshot %s: %s\n", gOptions.screenshot.c_str(),
                   why.c_str());
      return 1;
    }
  }
  if (!gOptions.record.empty() && !gRecorder.Open(gOptions.record, kStepMs)) {
    std::fprintf(stderr, "levelplayer: cannot write %s\n", gOptions.record.c_str());
    return 1;
  }
  if (gOptions.headless) {
    plat::headless::Session session;
    plat::PlatformServicesScope installed{session.Services()};
    return Run(plat::PlatformServices{});
  }
#if TM_PLAYER_SDL2
  std::string error;
  // A display that goes away ends the run: what was recorded up to then is
  // kept.
  auto session = plat::sdl2::SdlSession::Open(plat::sdl2::SessionOptions{!Scripted() && gOptions.frames == 0}, &error,
                                              [](const std::string& why) {
                                                tools::SayDisplayLost("levelplayer")(why);
                                                if (gRecorder.IsOpen()) gRecorder.Finish(gWorld.Result() > 0);
                                              });
  if (!session) {
    std::fprintf(stderr, "levelplayer: no display: %s, try --headless\n", error.c_str());
    return tools::kNoDisplayStatus;
  }
  plat::PlatformServicesScope installed{session->Services()};
  if (!Scripted() && gOptions.frames == 0)
    std::printf("Tallowmere level player: meet the level's tasks (its panel's task button) to win; Escape quits.\n");
  gPresenterChoice = &session->Presenter().Choice();
  plat::PlatformServices window;
  window.presentSink = &session->Presenter();  // every frame presented goes to the window
  const int status = Run(window);
  gPresenterChoice = nullptr;
  return status;
#else
  std::fprintf(stderr, "levelplayer: no display: built without a display backend, try --headless\n");
  return tools::kNoDisplayStatus;
#endif
}

// engine_demo: the engine's application frame driving a scene of the sample
// data set: the first level's farm, its garbage with flies, butterflies,
// and the player character walking round in her eight directions (Space
// stops her), drawn through the game's sprite sets, ground tiles,
// animations and particles, with the data set's music and her steps played
// by the game's sound manager. It draws its own cursor at the pointer,
// marks clicks with a cross and a click, and pauses when the window is
// minimised or loses the focus. Escape or closing the window quits. The
// options are in kHelp below; without --headless it opens a real window
// through SDL2, and fails at once when there is no display.
//
// Exit status: 0 done, 1 the run failed (the display went away, another
// instance is running, a step of the frame failed, a file could not be
// written), 2 wrong options, 4 no display to open a window on (as the
// game). What a run wrote (screenshot, sound, log) is said on stdout.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DemoScene.h"
#include "DemoSound.h"
#include "common/GameFrame.h"
#include "engine/DXLApp.h"
#include "engine/DXLCursors.h"
#include "engine/DXLLog.h"
#include "engine/DXLTextures.h"
#include "engine/DXLWindowViewer.h"
#include "platform/audio/AudioOfflineOutput.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/PngFile.h"
#include "platform/headless/Session.h"
#include "platform/input/KeyCodes.h"
#include "platform/os/WindowSystem.h"
#if TM_DEMO_SDL2
#include "platform/sdl2/SdlAudioOutput.h"
#include "platform/sdl2/SdlSession.h"
#endif

namespace {

struct Options {
  bool help = false;
  bool headless = false;
  uint32_t frames = 0;  // 0: until closed
  std::string screenshot;
  std::string check;
  std::string wav;
  bool cursorGiven = false;
  DXLPOINT cursor{0, 0};  // where the pointer rests in headless runs, client coordinates
  std::string data = TM_DEMO_DATA_DIR;
};

constexpr float kHeadlessFrameMs = 40.0f;  // a headless run's frames pass at 25 a second
constexpr u32 kLongestFrameMs = 100;

constexpr DXLPOINT kHeadlessPointer{60, 520};
constexpr const wchar* kClassName = u"TallowmereEngineDemo";

constexpr const char* kUsage =
    "usage: engine_demo [--data DIR] [--frames N [--screenshot FILE.png]]\n"
    "       engine_demo --headless --frames N [--data DIR] [--screenshot FILE.png] [--wav FILE.wav]\n"
    "       engine_demo --check FILE.png [--data DIR] [--cursor X,Y]\n";

constexpr const char* kHelp =
    "Runs the engine demo in an 800 x 600 window: the sample data set's farm with the player character walking\n"
    "round, garbage, particles and music. Space stops or starts her walk, left clicks leave a cross, Escape quits.\n"
    "Needs a display (X11 or Wayland) unless --headless; one demo runs at a time. `bash tools/run.sh --demo`\n"
    "builds and starts it.\n"
    "  --data DIR            the data set to show (built by databuild; by default the run command's)\n"
    "  --headless            run without a display, the sound mixed offline (needs --frames)\n"
    "  --frames N            quit after N frames (1 to 1000000)\n"
    "  --screenshot FILE.png write the last frame as a PNG file (needs --frames)\n"
    "  --wav FILE.wav        with --headless: write the mixed sound as a WAV file\n"
    "  --check FILE.png      say whether a screenshot shows the scene (exit status 0 when it does)\n"
    "  --cursor X,Y          with --check: the drawn cursor's tip must be at X,Y\n"
    "  --help                print this help\n"
    "Exit status: 0 done, 1 the run failed (the display gone, another copy running), 2 wrong options,\n"
    "4 no display. The engine log is \"log.txt\" beside the program.\n";

demo::Scene gScene;
demo::Sound gSound;
Options gOptions;
std::string gDeviceError;  // why the sound device did not start
std::string gDeviceSaid;   // what the system's sound libraries printed as it started

#if TM_DEMO_SDL2
// The window run's sound device as the sound manager gets it: what the
// device said at its start is kept here, since a device that does not start
// is destroyed before the log is written.
class ReportingDevice final : public plat::audio::Output {
 public:
  bool Start(plat::audio::Mixer* mixer) override {
    const bool started = device_.Start(mixer);
    gDeviceError = started ? "" : device_.Error();
    gDeviceSaid = device_.LibraryOutput();
    return started;
  }
  void Stop() override { device_.Stop(); }
  void Update() override { device_.Update(); }

 private:
  plat::sdl2::SdlAudioOutput device_;
};
#endif

// The sound in the log: whether it plays, and if not why, with what the
// device and the system's sound libraries said.
void LogSound(bool heard, const std::string& why) {
  DXLLogValueA(0, "Sound", heard ? "playing" : ("none: " + why).c_str());
  if (!heard && !gDeviceError.empty()) DXLLogValueA(1, "Device", gDeviceError.c_str());
  for (size_t at = 0; at < gDeviceSaid.size();) {
    size_t end = gDeviceSaid.find('\n', at);
    if (end == std::string::npos) end = gDeviceSaid.size();
    if (end > at) DXLLogLine(1, gDeviceSaid.substr(at, end - at).c_str());
    at = end + 1;
  }
}

bool EndsWith(const std::string& name, const char* extension) {
  const size_t n = std::strlen(extension);
  if (name.size() <= n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = name[name.size() - n + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != extension[i]) return false;
  }
  return true;
}

// Empty when the arguments are right, else what is wrong with them.
std::string ParseArgs(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool value = i + 1 < argc;
    if (a == "--help" || a == "-h") {
      o->help = true;
    } else if (a == "--headless") {
      o->headless = true;
    } else if (a == "--frames" && value) {
      char* end = nullptr;
      const char* text = argv[++i];
      const unsigned long n = std::strtoul(text, &end, 10);
      if (*text < '0' || *text > '9' || *end != '\0' || n == 0 || n > 1000000) {
        return std::string("--frames needs a number from 1 to 1000000, not \"") + text + "\"";
      }
      o->frames = static_cast<uint32_t>(n);
    } else if (a == "--screenshot" && value) {
      o->screenshot = argv[++i];
      if (!EndsWith(o->screenshot, ".png")) return "the screenshot is written as PNG: its name must end in .png";
    } else if (a == "--wav" && value) {
      o->wav = argv[++i];
      if (!EndsWith(o->wav, ".wav")) return "the sound is written as WAV: its name must end in .wav";
    } else if (a == "--check" && value) {
      o->check = argv[++i];
    } else if (a == "--data" && value) {
      o->data = argv[++i];
    } else if (a == "--cursor" && value) {
      int x = 0, y = 0;
      if (std::sscanf(argv[++i], "%d,%d", &x, &y) != 2) return "--cursor needs X,Y";
      o->cursorGiven = true;
      o->cursor = DXLPOINT{x, y};
    } else if (!value && (a == "--frames" || a == "--screenshot" || a == "--wav" || a == "--check" ||
                          a == "--cursor" || a == "--data")) {
      return a + " needs a value";
    } else {
      return "unknown option \"" + a + "\"";
    }
  }
  if (o->help) return "";
  if (!o->screenshot.empty() && o->frames == 0) return "--screenshot needs --frames N";
  if (!o->wav.empty() && !o->headless) return "--wav needs --headless";
  if (o->headless && o->frames == 0) return "--headless needs --frames N (nothing can close a headless run)";
  if (o->cursorGiven && o->check.empty()) return "--cursor needs --check";
  return "";
}

// --- The game's side of the frame ------------------------------------------------------

// The scene's time: fixed steps headless (the same frames on every run),
// the frame timer's in a window.
float FrameStep() {
  static u32 last = DXLGetTimeMs();
  const u32 now = DXLGetTimeMs();
  const u32 elapsed = now - last;
  last = now;
  return gOptions.headless ? kHeadlessFrameMs : static_cast<float>(std::min(elapsed, kLongestFrameMs));
}

void Render() {
  const float step = FrameStep();
  if (DXLGetAppData().pauseLevel == 0) gScene.Update(step);
  gSound.Update();
  gScene.Draw(DXLGetViewer(), DXLGetAppData().pauseLevel);
  if (gOptions.frames != 0 && gScene.Frames() >= gOptions.frames) plat::GetWindowSystem().PostQuitMessage(0);
}

// The engine draws its cursor at the pointer; a displayed run that takes a
// screenshot keeps to the system's arrow, since nobody knows where the
// pointer of that display rests.
void CursorQuery(u32* slot) {
  if (gOptions.headless || gOptions.frames == 0) *slot = demo::kCursorSlot;
}

void MouseDown(DXLPOINT p, u32 button, u32 /*modifiers*/) {
  if (button == kMouseLeft) {
    gScene.Click(p);
    gSound.Click();
  }
}

void KeyPress(u16 key, u32 /*modifiers*/) {
  if (key == plat::DIK_ESCAPE) {
    plat::GetWindowSystem().PostMessage(DXLGetAppData().window, plat::WM_CLOSE, 0, 0);
    return;
  }
  gScene.Key(key);
}

void Pause(u32 request) {
  if (!gOptions.headless && gOptions.frames == 0) std::printf("pause request %u\n", request);
}

bool DemoFilter(DXLViewer*, kis::list<DXLDISPLAYMODE*>*, const DXLDISPLAYMODE* mode) {
  return mode->format == 22 && mode->width >= demo::kWidth && mode->height >= demo::kHeight;
}

// Brings the frame up with its sound, runs it and writes the screenshot (and
// the offline mix, when there is one); the world installs the window's
// collaborators in `window` while it is open.
int RunDemo(const std::function<void()>& afterWindow, std::unique_ptr<plat::audio::Output> sound,
            plat::audio::OfflineOutput* offline, const plat::PlatformServices& window) {
  if (const int failed = tools::OpenGameFrame(
          "engine_demo", " (another engine demo is open and was asked to come to the front)", kClassName,
          u"Tallowmere engine demo", demo::kWidth, demo::kHeight, gOptions.frames == 0, DemoFilter))
    return failed;
  // The world starts the sound before the rest: the animations find theirs among its sounds.
  std::string missing;
  if (!gScene.Build(DXLGetViewer(), DXLGetAppTextures(), window, gOptions.data, std::move(sound), &missing)) {
    std::fprintf(stderr, "engine_demo: no data set to show: %s (build one with databuild, or give --data DIR)\n",
                 missing.c_str());
    gScene.Unload();
    DXLShutdown();
    return 1;
  }
  std::string why = gScene.SoundProblem();
  const bool heard = why.empty() && gSound.Start(&why);
  LogSound(heard, why);
  DXLSetPauseCallback(Pause);
  DXLCALLBACKS callbacks{};
  callbacks.cursorQuery = CursorQuery;
  callbacks.render = Render;
  callbacks.mouseDown = MouseDown;
  callbacks.keyPress = KeyPress;
  DXLSetCallbacks(kCallbackAll, &callbacks);
  DXLSetAppState(1, true);
  if (!heard && offline == nullptr) std::printf("engine_demo: no sound (%s; the log says more)\n", why.c_str());
  afterWindow();
  DXLRun();

  // The mix is written while the world's sound manager still holds its output.
  int status = 0;
  if (offline != nullptr && !gOptions.wav.empty()) {
    if (offline->WriteWav(gOptions.wav)) {
      std::printf("engine_demo: wrote %s\n", gOptions.wav.c_str());
    } else {
      std::fprintf(stderr, "engine_demo: cannot write %s\n", gOptions.wav.c_str());
      status = 1;
    }
  }
  gSound.Stop();
  gScene.Unload();
  if (!gOptions.screenshot.empty() && !tools::WriteFrameShot("engine_demo", gOptions.screenshot, gScene.Frames()))
    status = 1;
  DXLShutdown();
  std::printf("engine_demo: %u frames; log in %s\n", gScene.Frames(), DXLGetLogPath());
  return status;
}

int CheckScreenshot(const std::string& path) {
  std::vector<uint32_t> pixels;
  uint32_t w = 0, h = 0;
  if (!tools::ReadFrameShot("engine_demo", path, &pixels, &w, &h)) return 1;
  std::string error;
  demo::SceneLayout layout;
  if (!demo::ReadSceneLayout(gOptions.data, &layout, &error)) {
    std::fprintf(stderr, "engine_demo: %s\n", error.c_str());
    return 1;
  }
  const std::string report =
      demo::CheckShot(pixels, w, h, layout, gOptions.cursorGiven ? &gOptions.cursor : nullptr);
  if (!report.empty()) {
    std::fprintf(stderr, "engine_demo: %s does not show the scene:\n%s", path.c_str(), report.c_str());
    return 1;
  }
  std::printf("engine_demo: %s shows the scene\n", path.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Lines reach a pipe or a file as they are written, not when the program ends.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const std::string wrong = ParseArgs(argc, argv, &gOptions);
  const int answer = tools::AnswerArguments("engine_demo", wrong, gOptions.help, kUsage, kHelp);
  if (answer >= 0) return answer;
  if (!gOptions.check.empty()) return CheckScreenshot(gOptions.check);

  if (gOptions.headless) {
    plat::headless::Session session;
    plat::PlatformServicesScope installed{session.Services()};
    auto offline = std::make_unique<plat::audio::OfflineOutput>(!gOptions.wav.empty());
    plat::audio::OfflineOutput* mix = offline.get();
    // The pointer rests over the window's lower left, where the cursor shows.
    return RunDemo(
        [&session] {
          plat::Point p{kHeadlessPointer.x, kHeadlessPointer.y};
          session.Windows().ClientToScreen(DXLGetAppData().window, &p);
          session.Events().At(session.Clock().NowMs()).MouseMove(p.x, p.y);
        },
        std::move(offline), mix, plat::PlatformServices{});
  }
#if TM_DEMO_SDL2
  std::string error;
  auto session = plat::sdl2::SdlSession::Open(
      plat::sdl2::SessionOptions{gOptions.frames == 0}, &error, tools::SayDisplayLost("engine_demo"));
  if (!session) {
    std::fprintf(stderr, "engine_demo: no display: %s, try --headless\n", error.c_str());
    return tools::kNoDisplayStatus;
  }
  plat::PlatformServicesScope installed{session->Services()};
  if (gOptions.frames == 0) {
    std::printf("Tallowmere engine demo: Space stops or starts the walk, click to mark, Escape quits.\n");
  }
  plat::PlatformServices window;
  window.presentSink = &session->Presenter();  // every frame presented goes to the window
  const int status = RunDemo([] {}, std::make_unique<ReportingDevice>(), nullptr, window);
  return status;
#else
  std::fprintf(stderr, "engine_demo: no display: built without a display backend, try --headless\n");
  return tools::kNoDisplayStatus;
#endif
}

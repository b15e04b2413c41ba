// engine_demo: the engine's application frame driving a small scene. It
// opens the window through the frame, draws textured, blended, rotated and
// clipped quads, draws its own cursor at the pointer, marks clicks, moves the
// yellow square with the arrow keys (Space stops the spinning), and pauses
// when the window is minimised or loses the focus. A music loop plays and
// left clicks click. Escape or closing the window quits.
//   --headless                 run on the headless platform (no display, the
//                              sound mixed offline)
//   --frames N                 quit after N frames
//   --screenshot FILE.png      write the last frame (needs --frames)
//   --wav FILE.wav             with --headless: write the sound that was mixed
//   --check FILE.png           compare a screenshot with the scene; exit code
//   --cursor X,Y               with --check: the drawn cursor's tip is there
// Without --headless it opens a real window through SDL2.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DemoScene.h"
#include "DemoSound.h"
#include "engine/DXLApp.h"
#include "engine/DXLCursors.h"
#include "engine/DXLTextures.h"
#include "engine/DXLWindowViewer.h"
#include "platform/audio/AudioOfflineOutput.h"
#include "platform/gfx/GfxPresentSink.h"
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
  bool headless = false;
  uint32_t frames = 0;  // 0: until closed
  std::string screenshot;
  std::string check;
  std::string wav;
  bool cursorGiven = false;
  DXLPOINT cursor{0, 0};  // where the pointer rests in headless runs, client coordinates
};

constexpr DXLPOINT kHeadlessPointer{60, 520};

demo::Scene gScene;
demo::Sound gSound;
Options gOptions;

bool ParseArgs(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool value = i + 1 < argc;
    if (a == "--headless") {
      o->headless = true;
    } else if (a == "--frames" && value) {
      char* end = nullptr;
      const unsigned long n = std::strtoul(argv[++i], &end, 10);
      if (*end != '\0' || n == 0 || n > 1000000) return false;
      o->frames = static_cast<uint32_t>(n);
    } else if (a == "--screenshot" && value) {
      o->screenshot = argv[++i];
    } else if (a == "--wav" && value) {
      o->wav = argv[++i];
    } else if (a == "--check" && value) {
      o->check = argv[++i];
    } else if (a == "--cursor" && value) {
      int x = 0, y = 0;
      if (std::sscanf(argv[++i], "%d,%d", &x, &y) != 2) return false;
      o->cursorGiven = true;
      o->cursor = DXLPOINT{x, y};
    } else {
      return false;
    }
  }
  return (o->screenshot.empty() || o->frames != 0) && (o->wav.empty() || o->headless);
}

// --- The game's side of the frame ------------------------------------------------------

void Render() {
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

int Fail(const char* step, i32 result) {
  std::fprintf(stderr, "engine_demo: %s failed (0x%08X); see log.txt\n", step, static_cast<unsigned>(result));
  DXLShutdown();
  return 1;
}

// Brings the frame up with its sound, runs it and writes the screenshot (and
// the offline mix, when there is one).
int RunDemo(const std::function<void()>& afterWindow, std::unique_ptr<plat::audio::Output> sound,
            plat::audio::OfflineOutput* offline) {
  DXLOpenLog(nullptr);  // "log.txt" beside the program
  DXLInitApp(kAppResumeWindowed | kAppResumeFullScreen | kAppKeepDirectory);
  i32 r = DXLCreateWindow(0, plat::GetModuleHandle(), u"TallowmereEngineDemo", u"Tallowmere engine demo",
                          DXLGameWindowProc, 107, DemoFilter);
  if (r == kAppAlreadyRunning) {
    std::fprintf(stderr, "engine_demo: already running\n");
    DXLShutdown();
    return 0;
  }
  if (r != 0) return Fail("creating the window", r);
  r = DXLPrepareDisplayMode(75, demo::kWidth, demo::kHeight, 0, 22, 0, 0, 0, false, gOptions.frames == 0, false,
                            nullptr);
  if (r == 0) r = DXLSetDisplayMode(nullptr, 0xFF000000u);
  if (r != 0) return Fail("setting the display mode", r);
  if ((r = DXLInitInput(true)) != 0) return Fail("setting up input", r);
  if ((r = DXLInitServices(0)) != 0) return Fail("starting the services", r);
  if (!gScene.Build(DXLGetAppTextures())) return Fail("making the textures", -1);
  DXLSetPauseCallback(Pause);
  DXLCALLBACKS callbacks{};
  callbacks.cursorQuery = CursorQuery;
  callbacks.render = Render;
  callbacks.mouseDown = MouseDown;
  callbacks.keyPress = KeyPress;
  DXLSetCallbacks(kCallbackAll, &callbacks);
  DXLSetAppState(1, true);
  if (!gSound.Start(std::move(sound)) && gOptions.frames == 0) std::printf("engine_demo: no sound\n");
  afterWindow();
  DXLRun();

  int status = 0;
  if (offline != nullptr && !gOptions.wav.empty() && !offline->WriteWav(gOptions.wav)) {
    std::fprintf(stderr, "engine_demo: cannot write %s\n", gOptions.wav.c_str());
    status = 1;
  }
  gSound.Stop();
  if (!gOptions.screenshot.empty()) {
    plat::gfx::SoftDevice* soft = DXLGetViewer()->GetDevice()->GetSoftDevice();
    std::string error;
    if (!plat::WritePng(gOptions.screenshot, soft->Frame(), soft->Width(), soft->Height(), &error)) {
      std::fprintf(stderr, "engine_demo: cannot write %s: %s\n", gOptions.screenshot.c_str(), error.c_str());
      status = 1;
    }
  }
  DXLShutdown();
  return status;
}

int CheckScreenshot(const std::string& path) {
  std::vector<uint32_t> pixels;
  uint32_t w = 0, h = 0;
  std::string error;
  if (!plat::ReadPng(path, &pixels, &w, &h, &error)) {
    std::fprintf(stderr, "engine_demo: cannot read %s: %s\n", path.c_str(), error.c_str());
    return 1;
  }
  const std::string report = demo::CheckShot(pixels, w, h, gOptions.cursorGiven ? &gOptions.cursor : nullptr);
  if (!report.empty()) {
    std::fprintf(stderr, "engine_demo: %s does not show the scene:\n%s", path.c_str(), report.c_str());
    return 1;
  }
  std::printf("engine_demo: %s shows the scene\n", path.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!ParseArgs(argc, argv, &gOptions)) {
    std::fprintf(stderr, "usage: engine_demo [--headless [--wav FILE.wav]] [--frames N [--screenshot FILE.png]] | "
                         "--check FILE.png [--cursor X,Y]\n");
    return 2;
  }
  if (!gOptions.check.empty()) return CheckScreenshot(gOptions.check);

  if (gOptions.headless) {
    plat::headless::Session session;
    auto offline = std::make_unique<plat::audio::OfflineOutput>(!gOptions.wav.empty());
    plat::audio::OfflineOutput* mix = offline.get();
    // The pointer rests over the window's lower left, where the cursor shows.
    return RunDemo(
        [&session] {
          plat::Point p{kHeadlessPointer.x, kHeadlessPointer.y};
          session.Windows().ClientToScreen(DXLGetAppData().window, &p);
          session.Events().At(session.Clock().NowMs()).MouseMove(p.x, p.y);
        },
        std::move(offline), mix);
  }
#if TM_DEMO_SDL2
  std::string error;
  auto session = plat::sdl2::SdlSession::Open(plat::sdl2::SessionOptions{gOptions.frames == 0}, &error);
  if (!session) {
    std::fprintf(stderr, "engine_demo: no display (%s); try --headless\n", error.c_str());
    return 1;
  }
  plat::gfx::SetPresentSink(&session->Presenter());
  if (gOptions.frames == 0) {
    std::printf("Tallowmere engine demo: arrows move the yellow square, Space stops the spin, click to mark, "
                "Escape quits.\n");
  }
  const int status = RunDemo([] {}, std::make_unique<plat::sdl2::SdlAudioOutput>(), nullptr);
  plat::gfx::SetPresentSink(nullptr);
  return status;
#else
  std::fprintf(stderr, "engine_demo: built without a display backend; run it with --headless\n");
  return 1;
#endif
}

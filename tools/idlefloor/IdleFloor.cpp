// idlefloor: what showing a screen at rest costs before the game draws
// anything. An 800 x 600 window (the game's windowed size, with a caption)
// shows one unchanging frame at the display's rate, the way the game's
// frames reach the window: the presenter lends the window's surface, the
// frame is in it, and the presenter shows it (paced to the display, as the
// game is). The frame is written once, and again only where the presenter
// lends other memory (the surface was made anew) or none. Messages are
// taken between frames as the game's loop takes them.
//   idlefloor [--size WxH] [--seconds S]
// Runs until its window is closed, or for S seconds.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/os/WindowSystem.h"
#include "platform/sdl2/SdlSession.h"

namespace {

using namespace plat;

constexpr uint32_t kFloorWindowedStyle = 0x00CA0000;  // caption, system menu, minimise box

intptr_t FloorProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  WindowSystem& ws = GetWindowSystem();
  if (message == WM_CLOSE) {
    ws.PostQuitMessage(0);
    return 0;
  }
  return ws.DefWindowProc(window, message, wParam, lParam);
}

// A still picture: a few bands of colour, so that it is not all one value.
void DrawPicture(uint32_t* pixels, uint32_t width, uint32_t height) {
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x)
      pixels[static_cast<size_t>(y) * width + x] = 0xFF000000u | ((x * 255 / width) << 16) | ((y * 255 / height) << 8) | 0x60;
}

}  // namespace

int main(int argc, char** argv) {
  uint32_t width = 800;
  uint32_t height = 600;
  double seconds = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc &&
        std::sscanf(argv[++i], "%ux%u", &width, &height) == 2 && width >= 16 && height >= 16 && width <= 8192 &&
        height <= 8192) {
      continue;
    }
    if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc && (seconds = std::atof(argv[++i])) > 0) continue;
    std::fprintf(stderr, "usage: idlefloor [--size WxH] [--seconds S]\n");
    return 2;
  }
  std::string error;
  auto session = sdl2::SdlSession::Open(sdl2::SessionOptions{true}, &error);
  if (session == nullptr) {
    std::fprintf(stderr, "idlefloor: no display: %s\n", error.c_str());
    return 1;
  }
  plat::PlatformServicesScope installed{session->Services()};
  WindowSystem& ws = session->Windows();
  sdl2::SdlPresenter& presenter = session->Presenter();
  const WindowClass cls{0, FloorProc, GetModuleHandle(), 0, ws.LoadCursor(0, IDC_ARROW), 0, u"IdleFloorWindow"};
  if (ws.RegisterClass(cls) == 0) return 1;
  Rect outer{0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
  ws.AdjustWindowRect(&outer, kFloorWindowedStyle, false);
  const WindowHandle window = ws.CreateWindowEx(0, u"IdleFloorWindow", u"idlefloor", kFloorWindowedStyle, 0, 0,
                                                outer.Width(), outer.Height(), 0, 0, GetModuleHandle());
  if (window == 0) return 1;
  ws.ShowWindow(window, SW_SHOW);

  std::vector<uint32_t> own(static_cast<size_t>(width) * height);
  DrawPicture(own.data(), width, height);
  const uint32_t* drawnIn = nullptr;  // the memory that holds the picture now
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    Msg msg;
    bool quit = false;
    while (ws.PeekMessage(&msg, PM_REMOVE)) {
      if (msg.message == WM_QUIT) quit = true;
      ws.TranslateMessage(msg);
      ws.DispatchMessage(msg);
    }
    if (quit || (seconds > 0 && std::chrono::steady_clock::now() >= end)) break;
    uint32_t* lent = presenter.LendTarget(window, width, height);
    const uint32_t* frame = own.data();
    if (lent != nullptr) {
      if (lent != drawnIn) std::memcpy(lent, own.data(), own.size() * sizeof(uint32_t));
      frame = lent;
    }
    drawnIn = frame;
    presenter.ShowFrame(window, frame, width, height);
  }
  std::printf("idlefloor: %llu frames shown (%s)\n", static_cast<unsigned long long>(presenter.FramesShown()),
              presenter.Choice().c_str());
  return 0;
}

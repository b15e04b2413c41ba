// sdl2check: a hands-on check of the SDL2 platform backend. It opens a
// window through the window system, shows generated frames (a gradient with
// a moving square, and a red cross that follows the mouse), prints the key
// codes, characters, mouse buttons, wheel turns and window changes it
// receives, and changes the cursor by quarter of the window (arrow, hand,
// I-beam, and none in the last, where only the drawn cross shows).
//   F          full screen and back
//   Ctrl+C     puts a text on the desktop clipboard; Ctrl+V prints it
//   Escape     quits (so does closing the window)
// Automatic runs:
//   --frames N --screenshot FILE.png   shows N frames, writes the last one as
//                                      the window showed it, and exits
//   --check FILE.png --frame N         checks a screenshot against frame N
// Other options: --no-vsync, --fullscreen, --size WxH.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <SDL.h>

#include "TestPicture.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/PngFile.h"
#include "platform/input/KeyCodes.h"
#include "platform/os/Clipboard.h"
#include "platform/os/Clock.h"
#include "platform/os/WindowSystem.h"
#include "platform/sdl2/SdlSession.h"

namespace {

using namespace plat;

constexpr uint32_t kWindowedStyle = 0x00CA0000;  // caption, system menu, minimise box
constexpr uint32_t kFullscreenStyle = WS_POPUP | WS_SYSMENU;

struct Options {
  uint32_t width = 640;
  uint32_t height = 480;
  uint32_t frames = 0;  // 0: run until closed
  std::string screenshot;
  std::string check;
  uint32_t checkFrame = 0;
  bool vsync = true;
  bool fullscreen = false;
};

struct State {
  Options options;
  WindowHandle window = 0;
  bool fullscreen = false;
  bool pointerSeen = false;
};

State gState;

bool ParseNumber(const char* text, uint32_t* out) {
  char* end = nullptr;
  const unsigned long v = std::strtoul(text, &end, 10);
  if (end == text || *end != '\0' || v > 100000) return false;
  *out = static_cast<uint32_t>(v);
  return true;
}

bool ParseArgs(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--frames" && hasValue) {
      if (!ParseNumber(argv[++i], &o->frames) || o->frames == 0) return false;
    } else if (a == "--screenshot" && hasValue) {
      o->screenshot = argv[++i];
    } else if (a == "--check" && hasValue) {
      o->check = argv[++i];
    } else if (a == "--frame" && hasValue) {
      if (!ParseNumber(argv[++i], &o->checkFrame)) return false;
    } else if (a == "--size" && hasValue) {
      unsigned w = 0;
      unsigned h = 0;
      if (std::sscanf(argv[++i], "%ux%u", &w, &h) != 2 || w < 64 || h < 64 || w > 8192 || h > 8192) return false;
      o->width = w;
      o->height = h;
    } else if (a == "--no-vsync") {
      o->vsync = false;
    } else if (a == "--fullscreen") {
      o->fullscreen = true;
    } else {
      return false;
    }
  }
  return o->screenshot.empty() || o->frames != 0;
}

// Compares a screenshot with the frame it should show, pixel for pixel.
int CheckScreenshot(const Options& o) {
  std::vector<uint32_t> shot;
  uint32_t w = 0;
  uint32_t h = 0;
  std::string error;
  if (!plat::ReadPng(o.check, &shot, &w, &h, &error)) {
    std::fprintf(stderr, "sdl2check: cannot read %s: %s\n", o.check.c_str(), error.c_str());
    return 1;
  }
  if (w != o.width || h != o.height) {
    std::fprintf(stderr, "sdl2check: screenshot is %ux%u, expected %ux%u\n", w, h, o.width, o.height);
    return 1;
  }
  std::vector<uint32_t> expected;
  sdl2check::DrawTestPicture(o.checkFrame, w, h, &expected);
  size_t wrong = 0;
  size_t first = 0;
  for (size_t i = 0; i < shot.size(); ++i) {
    if ((shot[i] | 0xFF000000u) != expected[i]) {
      if (wrong++ == 0) first = i;
    }
  }
  // The square must stand where frame N puts it, not where another frame would.
  const uint32_t squareX = sdl2check::SquareLeft(o.checkFrame, w) + sdl2check::kSquareSide / 2;
  const uint32_t squareY = h / 2;
  const bool squareThere = shot[static_cast<size_t>(squareY) * w + squareX] == 0xFFFFFFFFu;
  if (wrong != 0 || !squareThere) {
    std::fprintf(stderr, "sdl2check: %zu of %zu pixels differ; first at (%zu, %zu): %08" PRIx32 " instead of %08" PRIx32
                 "; square %s\n",
                 wrong, shot.size(), first % w, first / w, shot[first], expected[first],
                 squareThere ? "in place" : "missing");
    return 1;
  }
  std::printf("sdl2check: %s matches frame %u (%ux%u)\n", o.check.c_str(), o.checkFrame, w, h);
  return 0;
}

void PrintChar(uintptr_t unit) {
  if (unit >= 0x20 && unit != 0x7F && (unit < 0xD800 || unit > 0xDFFF)) {
    const char16_t c = static_cast<char16_t>(unit);
    std::printf("char U+%04X '%s'\n", static_cast<unsigned>(unit), Utf16ToUtf8(std::u16string_view(&c, 1)).c_str());
  } else {
    std::printf("char U+%04X\n", static_cast<unsigned>(unit));
  }
}

// The engine's way between a window and full screen: style, place, show.
void SetFullscreen(WindowSystem& ws, bool on) {
  const WindowHandle w = gState.window;
  const int32_t cw = static_cast<int32_t>(gState.options.width);
  const int32_t ch = static_cast<int32_t>(gState.options.height);
  ws.ShowWindow(w, SW_HIDE);
  if (on) {
    ws.SetWindowLong(w, GWL_STYLE, kFullscreenStyle);
    ws.SetWindowPos(w, HWND_TOPMOST, 0, 0, cw, ch, 0);
  } else {
    ws.SetWindowLong(w, GWL_STYLE, kWindowedStyle);
    Rect outer{0, 0, cw, ch};
    ws.AdjustWindowRect(&outer, kWindowedStyle, false);
    const int32_t x = std::max(0, (ws.Desktop().width - outer.Width()) / 2);
    const int32_t y = std::max(0, (ws.Desktop().height - 32 - outer.Height()) / 2);
    ws.SetWindowPos(w, HWND_NOTOPMOST, x, y, outer.Width(), outer.Height(), 0);
  }
  ws.ShowWindow(w, SW_SHOW);
  gState.fullscreen = on;
}

// Cursor by quarter of the client area; none in the bottom right one.
CursorHandle CursorAt(WindowSystem& ws, Point client) {
  const bool right = client.x >= static_cast<int32_t>(gState.options.width) / 2;
  const bool bottom = client.y >= static_cast<int32_t>(gState.options.height) / 2;
  if (!right && !bottom) return ws.LoadCursor(0, IDC_ARROW);
  if (right && !bottom) return ws.LoadCursor(0, IDC_HAND);
  if (!right && bottom) return ws.LoadCursor(0, IDC_IBEAM);
  return 0;
}

void OnKeyDown(WindowSystem& ws, uintptr_t vk, intptr_t lParam, bool system) {
  const uint32_t bits = static_cast<uint32_t>(lParam);
  const uint32_t dik = ((bits >> 16) & 0x7F) | ((bits & (1u << 24)) != 0 ? 0x80 : 0);
  std::printf("%skey down  dik 0x%02X  vk 0x%02X%s\n", system ? "sys" : "", dik, static_cast<unsigned>(vk),
              (bits & (1u << 30)) != 0 ? "  (repeat)" : "");
  const bool ctrl = ws.GetKeyState(VK_CONTROL) < 0;
  if (vk == VK_ESCAPE) ws.PostMessage(gState.window, WM_CLOSE, 0, 0);
  if (vk == 'F' && !ctrl) SetFullscreen(ws, !gState.fullscreen);
  if (vk == 'C' && ctrl) {
    Clipboard& clip = GetClipboard();
    if (clip.Open(gState.window)) {
      clip.Empty();
      clip.SetText(u"sdl2check \u00e4\u00f6\u00fc \U0001F955");
      clip.Close();
      std::printf("copied a text to the clipboard\n");
    }
  }
  if (vk == 'V' && ctrl) {
    Clipboard& clip = GetClipboard();
    if (clip.Open(gState.window)) {
      const auto text = clip.GetText();
      clip.Close();
      std::printf("clipboard: %s\n", text ? Utf16ToUtf8(*text).c_str() : "(no text)");
    }
  }
}

intptr_t CheckProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  WindowSystem& ws = GetWindowSystem();
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      OnKeyDown(ws, wParam, lParam, message == WM_SYSKEYDOWN);
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      std::printf("key up    dik 0x%02X  vk 0x%02X\n",
                  static_cast<unsigned>(((lParam >> 16) & 0x7F) | ((lParam & (1 << 24)) != 0 ? 0x80 : 0)),
                  static_cast<unsigned>(wParam));
      return 0;
    case WM_CHAR:
      PrintChar(wParam);
      return 0;
    case WM_MOUSEMOVE:
      gState.pointerSeen = true;
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      static const char* const kNames[] = {"left down", "left up", "", "right down", "right up", "", "middle down",
                                           "middle up"};
      std::printf("button %s at (%d, %d)\n", kNames[message - WM_LBUTTONDOWN], XFromLParam(lParam),
                  YFromLParam(lParam));
      return 0;
    }
    case WM_MOUSEWHEEL:
      std::printf("wheel %+d\n", WheelDeltaFromWParam(wParam));
      return 0;
    case WM_ACTIVATEAPP:
      std::printf("%s\n", wParam != 0 ? "active" : "inactive");
      return 0;
    case WM_SIZE:
      std::printf("size %s %dx%d\n", wParam == SIZE_MINIMIZED ? "minimised" : (wParam == SIZE_MAXIMIZED ? "maximised" : "restored"),
                  XFromLParam(lParam), YFromLParam(lParam));
      return 0;
    case WM_SETCURSOR:
      if (LoWord(static_cast<uintptr_t>(lParam)) == HTCLIENT) {
        Point p{0, 0};
        ws.GetCursorPos(&p);
        ws.ScreenToClient(window, &p);
        ws.SetCursor(CursorAt(ws, p));
        return 1;
      }
      return ws.DefWindowProc(window, message, wParam, lParam);
    case WM_CLOSE:
      ws.PostQuitMessage(0);
      return 0;
    default:
      return ws.DefWindowProc(window, message, wParam, lParam);
  }
}

int Run(const Options& o) {
  std::string error;
  auto session = sdl2::SdlSession::Open(sdl2::SessionOptions{o.vsync}, &error);
  if (session == nullptr) {
    std::fprintf(stderr, "sdl2check: no video: %s\n", error.c_str());
    return 1;
  }
  plat::PlatformServicesScope installed{session->Services()};
  WindowSystem& ws = session->Windows();
  sdl2::SdlPresenter& presenter = session->Presenter();
  const WindowClass cls{CS_VREDRAW | CS_HREDRAW | CS_OWNDC, CheckProc, GetModuleHandle(), 0,
                        ws.LoadCursor(0, IDC_ARROW), ws.GetStockObject(BLACK_BRUSH), u"Sdl2CheckWindow"};
  if (ws.RegisterClass(cls) == 0) return 1;
  Rect outer{0, 0, static_cast<int32_t>(o.width), static_cast<int32_t>(o.height)};
  ws.AdjustWindowRect(&outer, kWindowedStyle, false);
  gState.window = ws.CreateWindowEx(0, u"Sdl2CheckWindow", u"sdl2check \u2013 SDL2 platform backend", kWindowedStyle,
                                    0, 0, outer.Width(), outer.Height(), 0, 0, GetModuleHandle());
  if (gState.window == 0) return 1;
  SetFullscreen(ws, o.fullscreen);
  std::printf("window %ux%u on a %dx%d desktop; F: full screen, Ctrl+C / Ctrl+V: clipboard, Escape: quit\n",
              o.width, o.height, ws.Desktop().width, ws.Desktop().height);

  std::vector<uint32_t> frame;
  uint32_t shown = 0;
  uint32_t rounds = 0;
  const bool automatic = o.frames != 0;
  for (;;) {
    Msg msg;
    bool quit = false;
    while (ws.PeekMessage(&msg, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        break;
      }
      ws.TranslateMessage(msg);
      ws.DispatchMessage(msg);
    }
    if (quit || !ws.IsWindow(gState.window)) break;
    if (automatic && ++rounds > o.frames * 4 + 200) {
      std::fprintf(stderr, "sdl2check: frames are not being shown: %s\n", presenter.LastError().c_str());
      return 1;
    }
    if (ws.IsIconic(gState.window)) {
      SleepMs(20);
      continue;
    }
    sdl2check::DrawTestPicture(shown, o.width, o.height, &frame);
    if (!automatic && gState.pointerSeen) {
      Point p{0, 0};
      ws.GetCursorPos(&p);
      ws.ScreenToClient(gState.window, &p);
      sdl2check::DrawPointerCross(p.x, p.y, o.width, o.height, &frame);
    }
    const bool last = automatic && shown + 1 == o.frames;
    if (last) presenter.CaptureNext();
    const uint64_t before = presenter.FramesShown();
    presenter.ShowFrame(gState.window, frame.data(), o.width, o.height);
    if (presenter.FramesShown() != before) ++shown;
    if (last && presenter.FramesShown() != before) break;
    if (!o.vsync || automatic) SleepMs(automatic ? 1 : 15);
  }

  if (automatic && !o.screenshot.empty()) {
    std::vector<uint32_t> pixels;
    uint32_t w = 0;
    uint32_t h = 0;
    if (!presenter.TakeCapture(&pixels, &w, &h)) {
      std::fprintf(stderr, "sdl2check: the last frame could not be read back: %s\n", presenter.LastError().c_str());
      return 1;
    }
    if (!plat::WritePng(o.screenshot, pixels, w, h, &error)) {
      std::fprintf(stderr, "sdl2check: cannot write %s: %s\n", o.screenshot.c_str(), error.c_str());
      return 1;
    }
    std::printf("sdl2check: showed %u frames; wrote %s (%ux%u)\n", shown, o.screenshot.c_str(), w, h);
  }
  ws.DestroyWindow(gState.window);
  ws.UnregisterClass(u"Sdl2CheckWindow", GetModuleHandle());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  Options options;
  if (!ParseArgs(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: sdl2check [--size WxH] [--no-vsync] [--fullscreen] [--frames N --screenshot FILE.png]\n"
                 "       sdl2check --check FILE.png --frame N [--size WxH]\n");
    return 2;
  }
  gState.options = options;
  if (!options.check.empty()) return CheckScreenshot(options);
  const int result = Run(options);
  SDL_Quit();  // the program is done with SDL altogether
  return result;
}

// Shows the software-rendered frames in the real window: each frame goes
// into the window's surface (or, where the graphics are hardware, into a
// streaming texture drawn over the window), scaled to fit with its aspect
// kept (black bars where the window's shape differs, as in full screen). Vertical sync is switched as the video settings ask.
// Frames for a window without a real one, or one hidden or minimised, are
// not drawn. The presenter is the graphics device's present sink
// (PlatformServices::presentSink), installed by whoever opens the session.
//
// Where frames go into the window's surface and its layout is the frame's,
// the device draws into the surface itself (LendTarget): nothing is copied.
//
// For checks, CaptureNext reads back what the next shown frame put in the
// window.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/gfx/GfxPresentSink.h"
#include "platform/os/WindowSystem.h"
#include "platform/sdl2/SdlBackend.h"

struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;
struct SDL_Window;

namespace plat::sdl2 {

class SdlPresenter : public SdlBackend::Listener, public gfx::PresentSink {
 public:
  SdlPresenter(SdlBackend& backend, WindowSystem& windows, bool vsync);
  ~SdlPresenter() override;
  SdlPresenter(const SdlPresenter&) = delete;
  SdlPresenter& operator=(const SdlPresenter&) = delete;

  // pixels: width x height words 0xFFRRGGBB, rows packed, read during the call.
  void ShowFrame(WindowHandle window, const uint32_t* pixels, uint32_t width, uint32_t height) override;
  uint32_t* LendTarget(WindowHandle window, uint32_t width, uint32_t height) override;
  void Redraw();  // the last frame again (the window was uncovered)
  void WindowExposed(SDL_Window* window) override;
  void WindowGone(SDL_Window* window) override;

  void SetVSync(bool on);
  bool VSync() const { return vsync_; }
  uint64_t FramesShown() const { return shown_; }
  const std::string& LastError() const { return error_; }
  // How frames reach the window (the renderer chosen), once one was.
  const std::string& Choice() const { return choice_; }

  // Where the device nodes that tell of graphics hardware are looked for
  // ("/dev"; tests name a folder of their own). Read when a window's way
  // is chosen.
  void SetDeviceFolder(std::string folder) { devices_ = std::move(folder); }

  void CaptureNext() { captureNext_ = true; }
  // The captured window content (0xFFRRGGBB words); false when nothing was
  // captured since the last call.
  bool TakeCapture(std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height);

 private:
  bool Prepare(SDL_Window* window, uint32_t width, uint32_t height);
  bool ChooseOutput(SDL_Window* window);
  bool DrawOnSurface(const uint32_t* pixels, uint32_t width, uint32_t height);
  void CaptureSurface(SDL_Surface* surface);
  void Chose(const std::string& what);
  void Pace();
  void Draw();
  void Release();

  SdlBackend& backend_;
  WindowSystem& windows_;
  bool vsync_;
  SDL_Window* target_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  bool onSurface_ = false;  // no renderer: frames go into the window's surface
  uint32_t* lent_ = nullptr;             // the surface's memory lent for the frame being drawn
  SDL_Surface* lentSurface_ = nullptr;   // its surface
  std::vector<uint32_t> rescued_;        // a lent frame whose surface went stale
  uint32_t textureWidth_ = 0;
  uint32_t textureHeight_ = 0;
  uint64_t shown_ = 0;
  bool captureNext_ = false;
  bool captured_ = false;
  std::vector<uint32_t> capture_;
  uint32_t captureWidth_ = 0;
  uint32_t captureHeight_ = 0;
  std::string error_;
  std::string choice_;
  std::string devices_ = "/dev";
  int paceHz_ = 0;             // frames a second the software path keeps to; 0: the renderer waits itself
  uint64_t nextPresent_ = 0;   // performance counter at which the next frame may show
};

}  // namespace plat::sdl2

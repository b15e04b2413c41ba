#include "platform/sdl2/SdlPresenter.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sdl2/SdlGraphicsHardware.h"
#include "platform/sdl2/SdlMapping.h"

namespace plat::sdl2 {

namespace {

// Largest frame side taken; SDL textures are not made beyond this anyway.
constexpr uint32_t kMaxFrameSide = 16384;

// OpenGL's name for the rasteriser behind the context current now; empty
// when it cannot be asked.
std::string GlRendererName() {
  using GetString = const unsigned char* (*)(unsigned int);
  constexpr unsigned int kGlRenderer = 0x1F01;
  auto get = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  const unsigned char* name = get ? get(kGlRenderer) : nullptr;
  return name ? reinterpret_cast<const char*>(name) : "";
}

// Mesa's and others' rasterisers that run on the processor.
bool IsSoftwareRasteriser(const std::string& name) {
  for (const char* soft : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
    if (name.find(soft) != std::string::npos) return true;
  return false;
}

}  // namespace

// The accelerated renderer only where the graphics really are hardware;
// else no renderer at all: the frame is copied straight into the window's
// surface, one pass over its pixels (a software renderer would copy it into
// a texture, clear the surface and copy the texture onto it). Both keep
// vsync. Where the machine shows no graphics hardware the accelerated
// renderer is not even tried: making one loads the OpenGL driver, and on
// such a machine that is a rasteriser of the processor (with its compiler,
// tens of megabytes) that would be thrown away at once and stay mapped.
// The choice is kept for the program's log (Choice).
bool SdlPresenter::ChooseOutput(SDL_Window* window) {
  const uint32_t sync = vsync_ ? static_cast<uint32_t>(SDL_RENDERER_PRESENTVSYNC) : 0u;
  std::string why;
  if (!GraphicsHardwareSeen(devices_, std::getenv("LIBGL_ALWAYS_SOFTWARE"))) {
    why = " (no graphics hardware: no accelerated renderer tried)";
  } else if (SDL_Renderer* accelerated = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | sync)) {
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(accelerated, &info);
    const std::string driver = info.name ? info.name : "";
    const std::string gl = driver.find("opengl") == 0 ? GlRendererName() : "";
    if (driver != "software" && !IsSoftwareRasteriser(gl)) {
      Chose("accelerated renderer " + driver + (gl.empty() ? "" : " (" + gl + ")"));
      renderer_ = accelerated;
      return true;
    }
    why = " (the accelerated renderer " + driver + (gl.empty() ? "" : " is " + gl) + ")";
    SDL_DestroyRenderer(accelerated);
  }
  // The window's surface in plain memory: SDL would otherwise put it on an
  // OpenGL texture wherever the context renders directly, software or not.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_GetWindowSurface(window) == nullptr) return false;
  onSurface_ = true;
  // The window's surface waits for no retrace: frames are paced to the
  // display's rate instead.
  SDL_DisplayMode mode{};
  paceHz_ = SDL_GetWindowDisplayMode(window, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate : 60;
  nextPresent_ = 0;
  Chose("window surface" + (vsync_ ? ", paced to " + std::to_string(paceHz_) + " Hz" : "") + why);
  return true;
}

void SdlPresenter::Chose(const std::string& what) { choice_ = what + (vsync_ ? ", vsync" : ""); }

SdlPresenter::SdlPresenter(SdlBackend& backend, WindowSystem& windows, bool vsync)
    : backend_(backend), windows_(windows), vsync_(vsync) {
  backend_.SetListener(this);
}

SdlPresenter::~SdlPresenter() {
  backend_.SetListener(nullptr);
  Release();
}

void SdlPresenter::Release() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  texture_ = nullptr;
  renderer_ = nullptr;
  onSurface_ = false;
  lent_ = nullptr;  // the surface goes with the window
  paceHz_ = 0;
  target_ = nullptr;
  textureWidth_ = textureHeight_ = 0;
}

// The way to the window (a renderer and a texture of the frame's size, or
// the window's surface), made again when the window or the size changes.
bool SdlPresenter::Prepare(SDL_Window* window, uint32_t width, uint32_t height) {
  if (target_ != window) {
    Release();
    if (!ChooseOutput(window)) {
      error_ = SDL_GetError();
      return false;
    }
    target_ = window;
  }
  if (onSurface_) return true;
  if (texture_ == nullptr || textureWidth_ != width || textureHeight_ != height) {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 static_cast<int>(width), static_cast<int>(height));
    if (texture_ == nullptr) {
      error_ = SDL_GetError();
      textureWidth_ = textureHeight_ = 0;
      return false;
    }
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeLinear);
    textureWidth_ = width;
    textureHeight_ = height;
  }
  return true;
}

// The window's surface as the frame's memory when it is one in the frame's
// own layout: 0xFFRRGGBB words (the alpha byte unused), the frame's size,
// rows packed. Asked for before each frame, as a resize makes the surface
// anew.
uint32_t* SdlPresenter::LendTarget(WindowHandle window, uint32_t width, uint32_t height) {
  lent_ = nullptr;
  if (!onSurface_ || target_ == nullptr || backend_.RealWindow(window) != target_) return nullptr;
  if ((SDL_GetWindowFlags(target_) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) != 0) return nullptr;
  SDL_Surface* out = SDL_GetWindowSurface(target_);
  if (out == nullptr || SDL_MUSTLOCK(out) || out->pixels == nullptr) return nullptr;
  const SDL_PixelFormat* f = out->format;
  if (f->BytesPerPixel != 4 || f->Rmask != 0xFF0000u || f->Gmask != 0xFF00u || f->Bmask != 0xFFu || f->Amask != 0)
    return nullptr;
  if (out->w != static_cast<int>(width) || out->h != static_cast<int>(height) ||
      out->pitch != static_cast<int>(width * 4))
    return nullptr;
  lent_ = static_cast<uint32_t*>(out->pixels);
  lentSurface_ = out;
  return lent_;
}

void SdlPresenter::ShowFrame(WindowHandle window, const uint32_t* pixels, uint32_t width, uint32_t height) {
  const bool lent = pixels != nullptr && pixels == lent_;
  backend_.Sync(windows_);  // a window shown since the last pump appears with this frame
  if (lent && lent_ != pixels) return;  // the window went, and its memory with it: nothing to show
  lent_ = nullptr;
  if (pixels == nullptr || width == 0 || height == 0 || width > kMaxFrameSide || height > kMaxFrameSide) return;
  backend_.SetFrameSize(window, width, height);
  SDL_Window* real = backend_.RealWindow(window);
  if (real == nullptr) return;
  if ((SDL_GetWindowFlags(real) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) != 0) return;
  if (lent && real == target_ && onSurface_) {
    // Drawn in the window's surface already. A surface made invalid since
    // (the window's size changed) is still there until it is asked for
    // again: the frame is copied out of it first and shown the usual way.
    if (SDL_UpdateWindowSurface(target_) == 0) {
      if (captureNext_) CaptureSurface(lentSurface_);
      Pace();
      ++shown_;
      return;
    }
    rescued_.assign(pixels, pixels + static_cast<size_t>(width) * height);
    pixels = rescued_.data();
  }
  if (!Prepare(real, width, height)) return;
  if (onSurface_) {
    if (!DrawOnSurface(pixels, width, height)) return;
  } else {
    if (SDL_UpdateTexture(texture_, nullptr, pixels, static_cast<int>(width * 4)) != 0) {
      error_ = SDL_GetError();
      return;
    }
    Draw();
  }
  ++shown_;
}

// The window's surface keeps the last frame: shown again as it is.
void SdlPresenter::Redraw() {
  if (target_ == nullptr || (SDL_GetWindowFlags(target_) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) != 0) return;
  if (onSurface_) {
    SDL_UpdateWindowSurface(target_);
  } else if (renderer_ != nullptr && texture_ != nullptr) {
    Draw();
  }
}

void SdlPresenter::WindowExposed(SDL_Window* window) {
  if (window == target_) Redraw();
}

void SdlPresenter::WindowGone(SDL_Window* window) {
  if (window == target_) Release();
}

void SdlPresenter::Draw() {
  int outW = 0;
  int outH = 0;
  if (SDL_GetRendererOutputSize(renderer_, &outW, &outH) != 0) return;
  const FitRect fit = FitFrame(static_cast<int32_t>(textureWidth_), static_cast<int32_t>(textureHeight_), outW, outH);
  const SDL_Rect dst{fit.x, fit.y, fit.w, fit.h};
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
  if (captureNext_ && outW > 0 && outH > 0) {
    captureNext_ = false;
    capture_.assign(static_cast<size_t>(outW) * static_cast<size_t>(outH), 0);
    if (SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, capture_.data(), outW * 4) == 0) {
      for (uint32_t& p : capture_) p |= 0xFF000000u;  // the window has no alpha to speak of
      captureWidth_ = static_cast<uint32_t>(outW);
      captureHeight_ = static_cast<uint32_t>(outH);
      captured_ = true;
    } else {
      error_ = SDL_GetError();
    }
  }
  SDL_RenderPresent(renderer_);
  Pace();
}

// The frame into the window's surface: row by row where it fills the window
// in the surface's own layout, else scaled to fit (bilinear between 32-bit
// surfaces of one layout, else by SDL's converting blit) between black bars.
bool SdlPresenter::DrawOnSurface(const uint32_t* pixels, uint32_t width, uint32_t height) {
  SDL_Surface* out = SDL_GetWindowSurface(target_);
  if (out == nullptr) {
    error_ = SDL_GetError();
    return false;
  }
  const SDL_PixelFormat* f = out->format;
  // 0xFFRRGGBB words as they stand (any alpha byte of the surface is 0xFF).
  const bool words = f->BytesPerPixel == 4 && f->Rmask == 0xFF0000u && f->Gmask == 0xFF00u && f->Bmask == 0xFFu;
  const FitRect fit = FitFrame(static_cast<int32_t>(width), static_cast<int32_t>(height), out->w, out->h);
  if (SDL_MUSTLOCK(out) && SDL_LockSurface(out) != 0) {
    error_ = SDL_GetError();
    return false;
  }
  bool ok = true;
  if (words && fit.x == 0 && fit.y == 0 && fit.w == out->w && fit.h == out->h && static_cast<uint32_t>(fit.w) == width &&
      static_cast<uint32_t>(fit.h) == height) {
    for (uint32_t y = 0; y < height; ++y)
      std::memcpy(static_cast<uint8_t*>(out->pixels) + static_cast<size_t>(y) * out->pitch,
                  pixels + static_cast<size_t>(y) * width, static_cast<size_t>(width) * 4);
    if (SDL_MUSTLOCK(out)) SDL_UnlockSurface(out);
  } else {
    if (SDL_MUSTLOCK(out)) SDL_UnlockSurface(out);
    SDL_FillRect(out, nullptr, SDL_MapRGB(out->format, 0, 0, 0));
    SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), static_cast<int>(width),
                                                            static_cast<int>(height), 32, static_cast<int>(width * 4),
                                                            words ? f->format : static_cast<uint32_t>(SDL_PIXELFORMAT_ARGB8888));
    SDL_Rect dst{fit.x, fit.y, fit.w, fit.h};
    ok = frame != nullptr && SDL_SetSurfaceBlendMode(frame, SDL_BLENDMODE_NONE) == 0 &&
         (words ? SDL_SoftStretchLinear(frame, nullptr, out, &dst) : SDL_BlitScaled(frame, nullptr, out, &dst)) == 0;
    SDL_FreeSurface(frame);
  }
  if (ok && captureNext_) CaptureSurface(out);
  if (!ok || SDL_UpdateWindowSurface(target_) != 0) {
    error_ = SDL_GetError();
    return false;
  }
  Pace();
  return true;
}

// What the window's surface holds, as 0xFFRRGGBB words.
void SdlPresenter::CaptureSurface(SDL_Surface* surface) {
  captureNext_ = false;
  capture_.assign(static_cast<size_t>(surface->w) * static_cast<size_t>(surface->h), 0);
  if (SDL_ConvertPixels(surface->w, surface->h, surface->format->format, surface->pixels, surface->pitch,
                        SDL_PIXELFORMAT_ARGB8888, capture_.data(), surface->w * 4) != 0) {
    error_ = SDL_GetError();
    return;
  }
  for (uint32_t& p : capture_) p |= 0xFF000000u;  // the window has no alpha to speak of
  captureWidth_ = static_cast<uint32_t>(surface->w);
  captureHeight_ = static_cast<uint32_t>(surface->h);
  captured_ = true;
}

// With vsync on a renderer that does not wait for the retrace, the frame
// waits out the rest of its share of a second (a late frame starts the
// count afresh; PaceFrame).
void SdlPresenter::Pace() {
  if (!vsync_ || paceHz_ <= 0) return;
  const uint64_t freq = SDL_GetPerformanceFrequency();
  const FramePace pace =
      PaceFrame(SDL_GetPerformanceCounter(), nextPresent_, freq / static_cast<uint64_t>(paceHz_), freq);
  if (pace.waitMs > 0) SDL_Delay(pace.waitMs);
  nextPresent_ = pace.nextDue;
}

void SdlPresenter::SetVSync(bool on) {
  vsync_ = on;
  if (renderer_ != nullptr) SDL_RenderSetVSync(renderer_, on ? 1 : 0);
}

bool SdlPresenter::TakeCapture(std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height) {
  if (!captured_ || pixels == nullptr || width == nullptr || height == nullptr) return false;
  captured_ = false;
  *pixels = std::move(capture_);
  capture_.clear();
  *width = captureWidth_;
  *height = captureHeight_;
  return true;
}

}  // namespace plat::sdl2

// The real window that stands for one window of the window system. The
// window system's record is the truth: Sync carries its title, show state,
// position and client size over to the real window, and a pop-up window
// (no caption) becomes a full-screen one that covers the display, its
// frames scaled to fit. It covers the display by itself, frameless, before
// it asks for full screen: without a window manager nobody answers that.
// What the user does to the real window goes the other way through the
// window system's User* reports; the Note* calls record it, so Sync does
// not undo it and the real window's echo of our own changes is not
// reported back as the user's.
//
// Sync only changes the real window where the window system differs from
// what was last applied or reported, so it never fights the window manager
// over a state it has not been asked to change.
#pragma once

#include <cstdint>
#include <string>

#include "platform/os/WindowSystem.h"
#include "platform/os/WindowTypes.h"

struct SDL_Window;

namespace plat::sdl2 {

// Whether the display tells where the pointer is on it (X11), so SDL's
// global pointer is the display's own.
bool DisplayTellsPointer();

class SdlWindow {
 public:
  explicit SdlWindow(WindowHandle handle) : handle_(handle) {}
  ~SdlWindow();
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  // Makes the real window, hidden, in the place of the window system's; false
  // (with SDL's reason) when it cannot be made.
  bool Create(const WindowSystem& windows, std::string* error);
  // Carries the window system's state over; holdShowState keeps the show
  // state as it is (the user's last change has not reached the program yet).
  void Sync(WindowSystem& windows, bool holdShowState);

  // What the user did; each returns whether it changes what was applied, so
  // the caller reports only real changes.
  bool NoteMinimised();
  bool NoteMaximised();
  bool NoteRestored();
  // A move by the user: the window system's window follows it.
  void NoteMoved(WindowSystem& windows, int32_t x, int32_t y);

  // Whether Sync has moved the real window or switched it in or out of full
  // screen since the last call (the pointer then rests on another point of
  // the window).
  bool TakeMoved();

  // Where the pointer is to rest in the real window since its last switch in
  // or out of full screen (Sync aims it there); whether it is held there:
  // until it has been put there (AimedAt) and from then on while it rests
  // where it was put (the aim goes once the player moves it).
  bool PointerAim(int32_t* x, int32_t* y);
  bool HoldsPointer();
  void AimedAt(int32_t rootX, int32_t rootY);  // put there: at that point of the display

  // Screen position of a point given in window coordinates.
  Point ToScreen(const WindowSystem& windows, int32_t x, int32_t y) const;
  // Size of the frames shown in the window (the client size until one is);
  // whether it changed.
  bool SetFrameSize(uint32_t width, uint32_t height);

  WindowHandle Handle() const { return handle_; }
  SDL_Window* Get() const { return window_; }
  uint32_t Id() const { return id_; }

 private:
  struct State {
    bool visible = false;
    bool minimised = false;
    bool maximised = false;
    bool fullscreen = false;
    bool foreground = false;
    Rect client{0, 0, 0, 0};  // in screen coordinates
    std::u16string title;
  };
  State Wanted(const WindowSystem& windows) const;
  void AimPointer(int32_t width, int32_t height);

  struct Aim {
    bool held = false;
    bool put = false;
    int32_t x = 0, y = 0;          // in the real window
    int32_t rootX = 0, rootY = 0;  // where it was put on the display
  };

  WindowHandle handle_;
  SDL_Window* window_ = nullptr;
  uint32_t id_ = 0;
  State applied_;
  bool moved_ = false;
  Aim aim_;
  uint32_t frameWidth_ = 0;
  uint32_t frameHeight_ = 0;
};

}  // namespace plat::sdl2

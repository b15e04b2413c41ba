// The SDL backend's event source: at every PeekMessage it takes SDL's
// events and reports them to the window system as the user's actions, then
// carries the window system's state over to the real window and the mouse
// cursor.
//
// - Keys: SDL scancodes become key codes (DikFromSdlScancode); a key press
//   that types a control character (Backspace, Tab, Enter, Escape, Ctrl with
//   a letter) reports it as text after the key. Text input arrives as UTF-16
//   units, a character beyond the first plane as its surrogate pair.
// - Mouse: positions are turned into screen positions of the window system's
//   desktop through the window's client area (scaled where the frame is shown
//   scaled, as in full screen); wheel notches become WHEEL_DELTA units. When
//   the real window is moved or goes in or out of full screen, events still
//   queued keep naming the display's point where the pointer was, and the
//   pointer is reported again where it rests (the window under it hears of
//   its new place in it), so too when the desktop moves or resizes the
//   window and when the frames shown change size: where the display tells
//   where the pointer is (X11), from there, the pointer's events made
//   before dropped. There a switch in or out of full screen puts the
//   pointer on the same point of what the window shows (SdlWindow's aim),
//   and holds it there as the desktop settles the window.
// - Window: focus gained and lost activate and deactivate; as in the window
//   system, a window minimised by the user is iconic by the time it hears of
//   its deactivation (desktops report the focus first, so losing it counts
//   from the next pump), and one restored hears of its activation after the
//   restore. Minimise, maximise and restore become the system commands;
//   closing the window (or the process being asked to quit) becomes
//   WM_CLOSE; a move by the user moves the window system's window.
// - Cursor: the window system's cursor, when it is one of the system
//   cursors, shows as SDL's cursor of that shape; any other cursor (the
//   game's own, drawn into the frame) and no cursor hide it.
//
// The backend mirrors one window: the window system's main window, from the
// first Sync that finds one; when that window is destroyed, the real one
// goes too and the next main window is taken.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/os/WindowSystem.h"
#include "platform/sdl2/SdlWindow.h"

struct SDL_Cursor;
union SDL_Event;

namespace plat::sdl2 {

class SdlBackend : public EventSource {
 public:
  // Told about the real window: it needs its frame drawn again, or it is
  // about to be destroyed (whatever draws into it lets go of it then).
  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void WindowExposed(SDL_Window* window) = 0;
    virtual void WindowGone(SDL_Window* window) = 0;
  };

  SdlBackend() = default;
  ~SdlBackend() override;
  SdlBackend(const SdlBackend&) = delete;
  SdlBackend& operator=(const SdlBackend&) = delete;

  void Pump(WindowSystem& windows) override;
  // Reports one SDL event to the window system.
  void Translate(WindowSystem& windows, const SDL_Event& event);
  // Binds the main window when none is, and mirrors it and the cursor.
  void Sync(WindowSystem& windows);

  // The real window of a window system's window; null when it has none.
  SDL_Window* RealWindow(WindowHandle window) const;
  SdlWindow* Mirror() { return window_.get(); }
  // The frames shown in a window have this size (for pointer scaling).
  void SetFrameSize(WindowHandle window, uint32_t width, uint32_t height);  // the pointer reported anew
  // Off: the keys, text, pointer, buttons and wheel of the person at the
  // display go nowhere (a replay plays the game; the real pointer over its
  // window would move the game's); the window's own events still come.
  void SetUserInput(bool on) { userInput_ = on; }
  void SetListener(Listener* listener) { listener_ = listener; }  // the caller keeps ownership
  const std::string& LastError() const { return error_; }

 private:
  void WindowEvent(WindowSystem& windows, const SDL_Event& event);
  void SyncCursor(const WindowSystem& windows);
  void MovePointer(WindowSystem& windows, uint32_t windowId, int32_t x, int32_t y);
  void ReportRestingPointer(WindowSystem& windows);
  void DropWindow();

  std::unique_ptr<SdlWindow> window_;
  std::array<SDL_Cursor*, 16> cursors_{};  // by SDL_SystemCursor, made on first use
  CursorHandle appliedCursor_ = 0;
  bool cursorKnown_ = false;
  // A minimise, maximise or restore by the user has been posted and the
  // program has not yet taken every message since.
  bool userShowPending_ = false;
  bool activatePending_ = false;    // focus came while the window was minimised
  bool deactivatePending_ = false;  // focus went; a minimise may follow
  uint32_t pumpsSinceFocusLost_ = 0;
  Listener* listener_ = nullptr;
  bool userInput_ = true;
  // The window or what it shows moved under the pointer since it was last
  // reported: the next Sync reports it where it rests.
  bool pointerMoved_ = false;
  WindowHandle failed_ = 0;  // a window whose real one could not be made (not tried again)
  std::string error_;
};

}  // namespace plat::sdl2

#include "platform/sdl2/SdlBackend.h"

#include <SDL.h>

#include <cstring>
#include <string_view>

#include "platform/encoding/Utf.h"
#include "platform/input/KeyCodes.h"
#include "platform/sdl2/SdlMapping.h"

namespace plat::sdl2 {

namespace {

// Events taken in one pump; the rest wait for the next, so a flood of events
// cannot hold the program in one PeekMessage.
constexpr int kMaxEventsPerPump = 4096;

}  // namespace

SdlBackend::~SdlBackend() {
  DropWindow();
  for (SDL_Cursor*& c : cursors_) {
    if (c != nullptr) SDL_FreeCursor(c);
    c = nullptr;
  }
}

void SdlBackend::Pump(WindowSystem& windows) {
  // Once the program has taken every message, the user's last show change
  // has reached it: from now on its window's state is the one to mirror.
  if (userShowPending_ && windows.QueuedMessages() == 0) userShowPending_ = false;
  // Focus that came to a minimised window counts once it is restored (which
  // mostly activates it by itself), so the program hears of its activation
  // as a restored window.
  if (activatePending_ && window_ != nullptr && !windows.IsIconic(window_->Handle())) {
    activatePending_ = false;
    if (windows.GetForegroundWindow() != window_->Handle()) windows.UserActivate(window_->Handle());
  }
  Sync(windows);
  SDL_PumpEvents();
  SDL_Event event;
  for (int n = 0; n < kMaxEventsPerPump; ++n) {
    if (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) != 1) break;
    Translate(windows, event);
  }
  // Lost focus counts from the pump after the one that brought it, once any
  // minimise that came with it has reached the program (which then hears of
  // its deactivation as a minimised window, as when it minimises itself).
  if (deactivatePending_ && !userShowPending_ && pumpsSinceFocusLost_ >= 1) {
    deactivatePending_ = false;
    if (window_ != nullptr && windows.GetForegroundWindow() == window_->Handle()) windows.UserDeactivate();
  }
  ++pumpsSinceFocusLost_;
  Sync(windows);
}

void SdlBackend::Translate(WindowSystem& windows, const SDL_Event& event) {
  if (!userInput_) {
    switch (event.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP:
      case SDL_TEXTINPUT:
      case SDL_MOUSEMOTION:
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
      case SDL_MOUSEWHEEL:
        return;
      default:
        break;
    }
  }
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const bool down = event.type == SDL_KEYDOWN;
      const uint8_t dik = DikFromSdlScancode(static_cast<int32_t>(event.key.keysym.scancode));
      if (dik != 0) windows.UserKey(dik, down);
      if (down) {
        const char16_t typed = ControlCharFromKey(event.key.keysym.sym, event.key.keysym.mod);
        if (typed != 0) windows.UserText(std::u16string_view(&typed, 1));
      }
      break;
    }
    case SDL_TEXTINPUT: {
      const char* text = event.text.text;
      windows.UserText(Utf8ToUtf16(std::string_view(text, strnlen(text, sizeof(event.text.text)))));
      break;
    }
    case SDL_MOUSEMOTION:
      MovePointer(windows, event.motion.windowID, event.motion.x, event.motion.y);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      MovePointer(windows, event.button.windowID, event.button.x, event.button.y);
      const uint32_t index = ButtonIndexFromSdl(event.button.button);
      if (index != kNoButton) windows.UserButton(index, event.type == SDL_MOUSEBUTTONDOWN);
      break;
    }
    case SDL_MOUSEWHEEL: {
      const int32_t delta = WheelDeltaFromSdl(event.wheel.y, event.wheel.direction);
      if (delta != 0) windows.UserWheel(delta);
      break;
    }
    case SDL_WINDOWEVENT:
      WindowEvent(windows, event);
      break;
    case SDL_QUIT:  // asked from outside (a signal, the session ending)
      if (windows.MainWindow() != 0) windows.UserClose(0);
      break;
    default:
      break;
  }
}

void SdlBackend::WindowEvent(WindowSystem& windows, const SDL_Event& event) {
  if (window_ == nullptr || event.window.windowID != window_->Id()) return;
  const WindowHandle handle = window_->Handle();
  switch (event.window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      deactivatePending_ = false;
      if (windows.IsIconic(handle)) {
        activatePending_ = true;
      } else {
        windows.UserActivate(handle);
      }
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      activatePending_ = false;
      deactivatePending_ = true;
      pumpsSinceFocusLost_ = 0;
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      if (window_->NoteMinimised()) {
        userShowPending_ = true;
        windows.UserCommand(handle, SC_MINIMIZE);
      }
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
      if (window_->NoteMaximised()) {
        userShowPending_ = true;
        windows.UserCommand(handle, SC_MAXIMIZE);
      }
      break;
    case SDL_WINDOWEVENT_RESTORED:
      if (window_->NoteRestored()) {
        userShowPending_ = true;
        windows.UserCommand(handle, SC_RESTORE);
      }
      break;
    case SDL_WINDOWEVENT_MOVED:
      window_->NoteMoved(windows, event.window.data1, event.window.data2);
      pointerMoved_ = true;
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      pointerMoved_ = true;
      break;
    case SDL_WINDOWEVENT_CLOSE:
      windows.UserClose(handle);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      if (listener_ != nullptr) listener_->WindowExposed(window_->Get());
      break;
    default:
      break;
  }
}

void SdlBackend::MovePointer(WindowSystem& windows, uint32_t windowId, int32_t x, int32_t y) {
  if (window_ == nullptr || windowId != window_->Id()) return;
  // Held where a full-screen switch put it, the pointer has not moved: an
  // event of it now (the echo of its move, a crossing as the desktop settles
  // the window) names its place against a window that may since have moved.
  if (window_->HoldsPointer()) return;
  const Point screen = window_->ToScreen(windows, x, y);
  Point now{0, 0};
  windows.GetCursorPos(&now);
  if (screen == now) return;  // a click where the pointer already is moves nothing
  windows.UserPointer(screen);
}

void SdlBackend::Sync(WindowSystem& windows) {
  if (window_ != nullptr && !windows.IsWindow(window_->Handle())) DropWindow();
  if (window_ == nullptr) {
    const WindowHandle main = windows.MainWindow();
    if (main != 0 && main != failed_) {
      auto mirror = std::make_unique<SdlWindow>(main);
      if (mirror->Create(windows, &error_)) {
        window_ = std::move(mirror);
      } else {
        failed_ = main;
      }
    }
  }
  if (window_ != nullptr) {
    window_->Sync(windows, userShowPending_);
    // The window moved under the resting pointer (we moved it, or switched
    // it in or out of full screen, the desktop did, or the frames shown in
    // it changed size): as the desktop does, the window under it hears of
    // the pointer at its new place in it (so the drawn cursor shows there at
    // once). A replay's pointer is the replay's.
    if (window_->TakeMoved()) pointerMoved_ = true;
    if (pointerMoved_ && userInput_) ReportRestingPointer(windows);
    pointerMoved_ = false;
  }
  SyncCursor(windows);
}

// Where the display tells where the pointer is (X11), that is reported, and
// the pointer's events it sent before are dropped: they name places in the
// window where it no longer is. SDL's own are among them: switching full
// screen, it puts the pointer back at its place in the window, and the
// server's word of that, made against wherever the window then stood,
// arrives once the window has moved on (read against the new place, it put
// the drawn cursor off by the move until the pointer next moved). After a
// switch the pointer is put on its aim instead (SdlWindow::Sync), again
// at every move while the desktop settles the window, until the player
// moves it. Elsewhere the place last heard of is reported again, events
// queued having been turned to the window's new place as it moved.
void SdlBackend::ReportRestingPointer(WindowSystem& windows) {
  Point at{0, 0};
  windows.GetCursorPos(&at);
  if (DisplayTellsPointer()) {
    SDL_PumpEvents();
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0, aimX = 0, aimY = 0;
    SDL_GetWindowPosition(window_->Get(), &windowX, &windowY);
    const bool aimed = window_->PointerAim(&aimX, &aimY);
    if (aimed) {
      SDL_WarpMouseGlobal(windowX + aimX, windowY + aimY);
      SDL_PumpEvents();
    }
    SDL_FlushEvent(SDL_MOUSEMOTION);
    SDL_GetGlobalMouseState(&rootX, &rootY);
    if (aimed) window_->AimedAt(rootX, rootY);
    at = window_->ToScreen(windows, rootX - windowX, rootY - windowY);
  }
  windows.UserPointer(at);
}

void SdlBackend::SyncCursor(const WindowSystem& windows) {
  const CursorHandle cursor = windows.GetCursor();
  if (cursorKnown_ && cursor == appliedCursor_) return;
  appliedCursor_ = cursor;
  cursorKnown_ = true;
  const uint32_t id = windows.SystemCursorId(cursor);
  const int32_t shape = id != 0 ? SdlSystemCursorFromId(id) : -1;
  if (shape < 0 || shape >= static_cast<int32_t>(cursors_.size())) {
    SDL_ShowCursor(SDL_DISABLE);  // no cursor, or one the game draws itself
    return;
  }
  SDL_Cursor*& made = cursors_[static_cast<size_t>(shape)];
  if (made == nullptr) made = SDL_CreateSystemCursor(static_cast<SDL_SystemCursor>(shape));
  if (made != nullptr) SDL_SetCursor(made);
  SDL_ShowCursor(SDL_ENABLE);
}

void SdlBackend::DropWindow() {
  if (window_ == nullptr) return;
  if (listener_ != nullptr) listener_->WindowGone(window_->Get());
  window_.reset();
}

SDL_Window* SdlBackend::RealWindow(WindowHandle window) const {
  return (window_ != nullptr && window_->Handle() == window) ? window_->Get() : nullptr;
}

void SdlBackend::SetFrameSize(WindowHandle window, uint32_t width, uint32_t height) {
  if (window_ != nullptr && window_->Handle() == window && window_->SetFrameSize(width, height)) pointerMoved_ = true;
}

}  // namespace plat::sdl2

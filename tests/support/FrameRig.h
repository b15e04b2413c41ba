// The application frame brought up headless the way the game's entry point
// does it, with recording fakes for every callback: each call is written to
// one journal ("update", "mdown 200 150 1 0", "pause 3", ...), so tests can
// check what reached the game and in which order.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DXLApp.h"
#include "engine/DXLCursors.h"
#include "engine/DXLLog.h"
#include "engine/DXLWindowViewer.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/GfxSystem.h"
#include "platform/headless/Session.h"
#include "platform/os/WindowSystem.h"
#include "testsupport/TempFolder.h"
#include "testsupport/ViewerRig.h"

namespace framerig {

inline std::vector<std::string>& Journal() {
  static std::vector<std::string> journal;
  return journal;
}
inline void Note(const std::string& line) { Journal().push_back(line); }
inline std::string N(i64 v) { return std::to_string(v); }
inline std::string P(DXLPOINT p) { return N(p.x) + " " + N(p.y); }

// What the cursor query answers, and what the update callback does.
inline u32& WantedCursor() {
  static u32 slot = kCursorDefaultSlot;
  return slot;
}
inline u32& StateToSetInUpdate() {
  static u32 state = 0;
  return state;
}

inline void CursorQuery(u32* slot) {
  Note("cursor");
  *slot = WantedCursor();
}
inline void Deactivated() { Note("deactivated"); }
inline void Activated() { Note("activated"); }
inline void Update() {
  Note("update");
  if (StateToSetInUpdate() != 0) DXLSetAppState(StateToSetInUpdate(), false);
}
inline void Render() {
  Note("render");
  DXLClear(0xFF204060);
}
inline void MouseDown(DXLPOINT p, u32 b, u32 m) { Note("mdown " + P(p) + " " + N(b) + " " + N(m)); }
inline void MouseUp(DXLPOINT p, u32 b, u32 m) { Note("mup " + P(p) + " " + N(b) + " " + N(m)); }
inline void MouseMove(DXLPOINT p, u32 h, u32 m) { Note("move " + P(p) + " " + N(h) + " " + N(m)); }
inline void DoubleClick(DXLPOINT p, u32 m) { Note("dbl " + P(p) + " " + N(m)); }
inline void Wheel(DXLPOINT p, i32 d, u32 h, u32 m) { Note("wheel " + P(p) + " " + N(d) + " " + N(h) + " " + N(m)); }
inline void KeyDown(u16 k, u32 m) { Note("kdown " + N(k) + " " + N(m)); }
inline void KeyUp(u16 k, u32 m) { Note("kup " + N(k) + " " + N(m)); }
inline void KeyPress(u16 k, u32 m) { Note("kpress " + N(k) + " " + N(m)); }
inline void Pause(u32 request) { Note("pause " + N(request)); }
inline void State(u32 from, u32 to) { Note("state " + N(from) + " " + N(to) + " now " + N(DXLGetAppState())); }

inline DXLCALLBACKS AllCallbacks() {
  return DXLCALLBACKS{CursorQuery, Deactivated, Activated, Update,   Render, MouseDown, MouseUp,
                      MouseMove,   DoubleClick, Wheel,     KeyDown,  KeyUp,  KeyPress};
}

inline bool GameFilter(DXLViewer*, kis::list<DXLDISPLAYMODE*>*, const DXLDISPLAYMODE* mode) {
  return mode->format == 22 && mode->width >= 800 && mode->height >= 600;
}

constexpr const char16_t* kClassName = u"TallowFrameTest";

class FrameRig {
 public:
  FrameRig() {
    Journal().clear();
    WantedCursor() = kCursorDefaultSlot;
    StateToSetInUpdate() = 0;
    DXLSetInstanceFolder(folder_.Path().c_str());
  }
  ~FrameRig() {
    DXLShutdown();
    DXLResetCursors();
    DXLSetCharSink(nullptr);
    DXLSetInstanceFolder(nullptr);
  }
  FrameRig(const FrameRig&) = delete;
  FrameRig& operator=(const FrameRig&) = delete;

  // The entry point's steps up to the loop; each must succeed.
  void StartUp(u32 options = 7, bool fullScreen = false) {
    const std::string path = folder_.Path();
    const std::u16string folder(path.begin(), path.end());
    DXLOpenLog(folder.c_str());
    ASSERT_EQ(DXLInitApp(options | kAppKeepDirectory), 0);
    const DXLCALLBACKS all = AllCallbacks();
    DXLSetCallbacks(kCallbackDeactivated | kCallbackActivated, &all);
    ASSERT_EQ(DXLCreateWindow(0, plat::GetModuleHandle(), kClassName, u"", DXLGameWindowProc, 107, GameFilter), 0);
    ASSERT_EQ(DXLPrepareDisplayMode(75, 800, 600, 0, 22, 0, 0, 0, fullScreen, false, false, nullptr), 0);
    ASSERT_EQ(DXLSetDisplayMode(nullptr, 0xFF000000u), 0);
    ASSERT_EQ(DXLInitInput(true), 0);
    ASSERT_EQ(DXLInitServices(0x102), 0);
    DXLSetPauseCallback(Pause);
    DXLSetStateCallback(State);
    DXLSetAppState(1, true);
    DXLSetCallbacks(kCallbackAll & ~(kCallbackDeactivated | kCallbackActivated), &all);
  }

  // Runs loop passes until the script is played and the queue is empty, and
  // then `extra` idle passes more.
  void Run(int extra = 1) {
    for (int guard = 0; guard < 10000; ++guard) {
      if (Script().Done() && Windows().QueuedMessages() == 0) break;
      if (!DXLRunPass()) {
        quit_ = true;
        return;
      }
      if (Windows().QueuedMessages() == 0) Clock().Advance(1);
    }
    for (int i = 0; i < extra; ++i) {
      if (!DXLRunPass()) {
        quit_ = true;
        return;
      }
    }
  }

  // The journal without the per-pass lines (update, render, cursor, moves).
  static std::vector<std::string> Events() {
    std::vector<std::string> out;
    for (const std::string& l : Journal()) {
      if (l == "update" || l == "render" || l == "cursor" || l.rfind("move", 0) == 0) continue;
      out.push_back(l);
    }
    Journal().clear();
    return out;
  }
  static int Count(const std::string& line) {
    int n = 0;
    for (const std::string& l : Journal()) n += l == line ? 1 : 0;
    return n;
  }

  // Screen point of a client point of the frame's window.
  plat::Point Screen(i32 x, i32 y) {
    plat::Point p{x, y};
    Windows().ClientToScreen(DXLGetAppData().window, &p);
    return p;
  }
  plat::gfx::SoftDevice* Soft() {
    DXLWindowViewer* v = DXLGetViewer();
    return v && v->GetDevice() ? v->GetDevice()->GetSoftDevice() : nullptr;
  }
  std::string Log() const { return viewertest::ReadFile(folder_.Path() + "/log.txt"); }
  std::string Folder() const { return folder_.Path(); }
  plat::FakeClock& Clock() { return session_.Clock(); }
  plat::WindowSystem& Windows() { return session_.Windows(); }
  plat::headless::Script& Script() { return session_.Events(); }
  bool Quit() const { return quit_; }

 private:
  TempFolder folder_;
  plat::headless::Session session_;
  plat::PlatformServicesScope installed_{session_.Services()};
  bool quit_ = false;
};

}  // namespace framerig

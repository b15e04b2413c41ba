// The records behind the handles of plat::WindowSystem: window classes and
// windows. Private to the window system (WindowSystem.cpp, WindowMessages.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "platform/os/WindowSystem.h"

namespace plat {

// Cursor handles are this base plus the system cursor number.
constexpr uintptr_t kCursorBase = 0x00010000;

struct WindowSystem::ClassRecord {
  std::u16string name;
  uint32_t style;
  WndProc proc;
  InstanceHandle instance;
  IconHandle icon;
  CursorHandle cursor;
  BrushHandle background;
  uint16_t atom;
};

struct WindowSystem::WindowRecord {
  WindowHandle handle;
  const ClassRecord* cls;
  std::u16string title;
  uint32_t style;  // without the state bits
  uint32_t exStyle;
  Rect normal;     // outer rectangle when neither minimised nor maximised
  bool visible = false;
  bool minimised = false;
  bool maximised = false;
  bool restoreMaximised = false;
  bool topmost = false;
};

}  // namespace plat

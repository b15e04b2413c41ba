// Headless viewer set-up shared by the command-line tools that draw fonts or
// bake them: a hidden main window and a windowed device of a chosen size on
// the software device, plus the glyph set the tools measure by default.
// Header-only; a tool adds ${PROJECT_SOURCE_DIR}/tools to its include path.
#pragma once

#include <string>
#include <string_view>

#include "engine/DXLWindowViewer.h"
#include "platform/os/WindowSystem.h"

namespace tools {

inline intptr_t ToolWindowProc(plat::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return plat::GetWindowSystem().DefWindowProc(window, message, wParam, lParam);
}

// The hidden main window of a tool; false when it cannot be made.
inline bool CreateToolWindow(DXLWindowViewer& viewer, const char16_t* className) {
  return viewer.CreateMainWindow(plat::GetModuleHandle(), className, 1, &ToolWindowProc) == 0;
}

// A windowed device with a back buffer of width x height, no vsync; 0 on
// success, else the viewer's code (or -1 when no device came of it).
inline i32 SetToolDisplayMode(DXLWindowViewer& viewer, u32 width, u32 height) {
  DXLDEVICESETTINGS request{};
  request.present.backBufferWidth = width;
  request.present.backBufferHeight = height;
  request.present.windowed = 1;
  request.present.presentationInterval = plat::gfx::D3DPRESENT_INTERVAL_IMMEDIATE;
  DXLMATCHRULES rules{};
  rules.backBufferSize = 2;
  rules.windowed = 2;
  rules.presentationInterval = 2;
  DXLDEVICESETTINGS settings{};
  viewer.ChooseFormats(&settings, &request, &rules);
  const i32 mode = viewer.ChangeDisplayMode(&settings);
  if (mode != 0) return mode;
  return viewer.GetDevice() ? 0 : -1;
}

// Printable ASCII and Latin-1 (without the blanks), then every character of
// `extra` above the space that is not already there.
inline std::u16string LatinGlyphSet(std::u16string_view extra = {}) {
  std::u16string chars;
  for (char16_t c = 33; c < 127; ++c) chars.push_back(c);
  for (char16_t c = 0xA1; c != 0x100; ++c) chars.push_back(c);
  for (char16_t c : extra)
    if (c > 32 && chars.find(c) == std::u16string::npos) chars.push_back(c);
  return chars;
}

}  // namespace tools

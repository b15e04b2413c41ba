// The headless viewer the drawing fuzz targets share: a hidden main window
// and a 32 x 32 windowed device on the software device.
#pragma once

#include <cstdint>

#include "engine/DXLWindowViewer.h"
#include "platform/os/WindowSystem.h"

namespace fuzzviewer {

inline intptr_t Proc(plat::WindowHandle w, uint32_t m, uintptr_t wp, intptr_t lp) {
  return plat::GetWindowSystem().DefWindowProc(w, m, wp, lp);
}

inline void Open(DXLWindowViewer& viewer) {
  viewer.CreateMainWindow(plat::GetModuleHandle(), u"FuzzClass", 1, &Proc);
  DXLDEVICESETTINGS request{};
  request.present.backBufferWidth = 32;
  request.present.backBufferHeight = 32;
  request.present.windowed = 1;
  DXLDEVICESETTINGS s{};
  viewer.ChooseFormats(&s, &request, nullptr);
  viewer.ChangeDisplayMode(&s);
}

}  // namespace fuzzviewer

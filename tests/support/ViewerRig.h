// A headless world for viewer and texture tests: a fake clock and desktop,
// the engine log in a temporary folder, a main window and a viewer whose
// device is made through ChangeDisplayMode, and a device object that records
// the codes it is told.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/DXLDeviceObject.h"
#include "engine/DXLLog.h"
#include "engine/DXLViewer.h"
#include "engine/DXLWindowViewer.h"
#include "platform/gfx/GfxRecordingDevice.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/GfxSystem.h"
#include "platform/headless/Session.h"
#include "platform/os/WindowSystem.h"
#include "testsupport/AdapterSettings.h"
#include "testsupport/TempFolder.h"

namespace viewertest {

inline intptr_t TestWindowProc(plat::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return plat::GetWindowSystem().DefWindowProc(window, message, wParam, lParam);
}

// Remembers every device event and, on request, takes itself out of the
// viewer when told one code.
class Recorder : public DXLDeviceObject {
 public:
  explicit Recorder(std::vector<std::string>* journal = nullptr, std::string name = "") :
      journal_(journal), name_(std::move(name)) {}
  ~Recorder() override {
    if (viewer_) viewer_->RemoveDeviceObject(this);
  }
  void Attach(DXLViewer* viewer) { OnDeviceEvent(viewer, kDeviceAttached); }
  void OnDeviceEvent(DXLViewer* viewer, u32 code) override {
    codes.push_back(code);
    if (journal_) journal_->push_back(name_ + std::to_string(code));
    if (code == kDeviceAttached) {
      viewer_ = viewer;
      viewer->AddDeviceObject(this);
    } else if (code == kDeviceDetached || code == leaveOn) {
      if (viewer_) viewer_->RemoveDeviceObject(this);
      viewer_ = nullptr;
    }
  }
  std::vector<u32> codes;
  u32 leaveOn = 0xFFFFFFFFu;

 private:
  std::vector<std::string>* journal_;
  std::string name_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Everything from the line that starts with `first` (after indentation) up to
// and including the line that starts with `last`, lines joined by "\n".
inline std::string LogSection(const std::string& log, const std::string& first, const std::string& last) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : log) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  lines.push_back(line);
  std::string out;
  bool in = false;
  for (const std::string& l : lines) {
    const std::string trimmed = l.substr(std::min(l.find_first_not_of(' '), l.size()));
    if (!in && trimmed.rfind(first, 0) == 0) in = true;
    if (in) {
      out += l + "\n";
      if (trimmed.rfind(last, 0) == 0) break;
    }
  }
  return out;
}

class ViewerRig {
 public:
  explicit ViewerRig(const plat::DesktopSettings& desktop = plat::DesktopSettings{}) : session_(desktop) {
    adapter_.settings.desktop.width = static_cast<uint32_t>(desktop.width);
    adapter_.settings.desktop.height = static_cast<uint32_t>(desktop.height);
    logPath_ = folder_.Path() + "/log.txt";
    DXLOpenLogA(logPath_.c_str());
    viewer = std::make_unique<DXLWindowViewer>();
  }
  ~ViewerRig() {
    viewer.reset();
    DXLCloseLog();
  }
  ViewerRig(const ViewerRig&) = delete;
  ViewerRig& operator=(const ViewerRig&) = delete;

  i32 CreateWindow() {
    return viewer->CreateMainWindow(plat::GetModuleHandle(), u"TallowTest", 1, &TestWindowProc);
  }

  // The settings the game asks for: a size, a screen mode and an interval.
  DXLDEVICESETTINGS Settings(u32 width, u32 height, bool windowed,
                             u32 interval = plat::gfx::D3DPRESENT_INTERVAL_ONE) {
    DXLDEVICESETTINGS request{};
    request.present.backBufferWidth = width;
    request.present.backBufferHeight = height;
    request.present.windowed = windowed ? 1 : 0;
    request.present.presentationInterval = interval;
    request.present.autoDepthStencilFormat = plat::gfx::D3DFMT_D24S8;
    DXLMATCHRULES rules{};
    rules.backBufferSize = 1;        // checked
    rules.windowed = 2;              // as asked
    rules.presentationInterval = 2;  // as asked
    rules.depthStencilFormat = 1;    // checked
    DXLDEVICESETTINGS out{};
    viewer->ChooseFormats(&out, &request, &rules);
    return out;
  }

  i32 Open(u32 width, u32 height, bool windowed = true, u32 interval = plat::gfx::D3DPRESENT_INTERVAL_ONE) {
    if (!viewer->GetWindowHandle()) {
      const i32 created = CreateWindow();
      if (created != 0) return created;
    }
    const DXLDEVICESETTINGS s = Settings(width, height, windowed, interval);
    return viewer->ChangeDisplayMode(&s);
  }

  plat::gfx::SoftDevice* Soft() {
    return viewer->GetDevice() ? viewer->GetDevice()->GetSoftDevice() : nullptr;
  }
  plat::FakeClock& Clock() { return session_.Clock(); }
  plat::WindowSystem& Windows() { return session_.Windows(); }
  std::string Log() const { return ReadFile(logPath_); }
  std::string Folder() const { return folder_.Path(); }

  std::unique_ptr<DXLWindowViewer> viewer;

 private:
  TempFolder folder_;
  plat::headless::Session session_;
  plat::PlatformServicesScope installed_{session_.Services()};
  AdapterSettings adapter_;
  std::string logPath_;
};

}  // namespace viewertest

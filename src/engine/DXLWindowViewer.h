// DXLWindowViewer - the viewer that owns the game's top-level window. It
// registers the window class and creates the window hidden; on every device
// creation or settings change it switches the window between a captioned
// window sized to the back buffer (centred on the desktop) and a borderless
// pop-up for full screen that covers the display in the device's mode (on
// top of the other windows), restoring the windowed placement on the way
// back.
#pragma once

#include "engine/DXLViewer.h"
#include "platform/os/WindowTypes.h"

class DXLWindowViewer : public DXLViewer {
 public:
  static constexpr u32 kTextSize = 100;  // class name and title, with the terminator
  static constexpr u32 kWindowedStyle = 0x00CA0000;  // caption, system menu, minimise box
  static constexpr u32 kFullScreenStyle = 0x80080000;  // pop-up with system menu

  DXLWindowViewer();
  ~DXLWindowViewer() override;

  i32 CreateDevice() override;
  plat::gfx::WindowHandle GetWindow() override;
  void ChooseFormats(DXLDEVICESETTINGS* out, const DXLDEVICESETTINGS* request, const DXLMATCHRULES* rules) override;

  // 0 or a viewer code; a second call does nothing and gives 0.
  i32 CreateMainWindow(plat::InstanceHandle instance, const wchar* className, u32 iconId, plat::WndProc proc);
  void SetTitle(const wchar* text);
  const wchar* GetTitle() const { return title_; }
  plat::WindowHandle GetWindowHandle() const { return window_; }
  u32 GetWindowedStyle() const { return windowedStyle_; }
  const plat::WindowPlacement& GetSavedPlacement() const { return placement_; }

 private:
  bool ClientSize(i32* width, i32* height);

  plat::InstanceHandle instance_ = 0;
  wchar className_[kTextSize] = {};
  u32 iconId_ = 0;
  plat::WndProc proc_ = nullptr;
  u16 atom_ = 0;
  wchar title_[kTextSize] = {};
  u32 style_ = kWindowedStyle;
  u32 windowedStyle_ = kWindowedStyle;
  plat::WindowPlacement placement_{};
  plat::WindowHandle window_ = 0;
};

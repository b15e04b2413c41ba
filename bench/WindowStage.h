// WindowStage - what the window benchmarks share: a headless session, the
// tool viewer on the software device at their screen size, an "interface"
// picture of 1024 x 1024 (texel x, y coloured by x and y) installed as the
// game's, and a frame of their window manager: updated on the game clock
// (16 ms a frame), then drawn and presented. They measure the toolkit's
// windows over a synthetic picture, not the data set, so they open no game
// world: the stage installs its own into the services fields the world's
// stages fill.
#pragma once

#include <memory>

#include "app/GameWorld.h"
#include "common/ToolViewer.h"
#include "engine/DXLTexture.h"
#include "platform/headless/Session.h"
#include "resources/ResourceServices.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"

namespace benchwindows {

struct WindowStage {
  plat::headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  std::unique_ptr<DXLWindowViewer> viewer = std::make_unique<DXLWindowViewer>();
  std::unique_ptr<DXLTexture> interface;
  std::unique_ptr<WindowManager> manager;

  // filter: the picture's own filter (0 keeps the texture's default).
  WindowStage(const wchar* name, i32 width, i32 height, u8 filter) {
    ResetAllServices();
    tools::CreateToolWindow(*viewer, name);
    tools::SetToolDisplayMode(*viewer, width, height);
    SetGameViewer(viewer.get());  // as the world's viewer stage does
    ResourceServices& s = GetResourceServices();
    s.screen.width = width;
    s.screen.height = height;
    interface = std::make_unique<DXLTexture>(viewer.get());
    interface->Create(1024, 1024, plat::gfx::D3DFMT_A8R8G8B8, true);
    interface->SetBlendMode(kBlendAlpha);
    if (filter) interface->SetFilter(filter);
    u8* bits = interface->Lock(0);
    for (i32 y = 0; y < 1024; ++y) {
      auto* row = reinterpret_cast<u32*>(bits + static_cast<size_t>(y) * interface->GetLockPitch());
      for (i32 x = 0; x < 1024; ++x)
        row[x] = 0xFF000000u | static_cast<u32>(x & 0xFF) << 16 | static_cast<u32>(y & 0xFF) << 8;
    }
    interface->Unlock();
    s.interfaceImage = interface.get();  // the field the world's loading stage fills from the data set
  }
  ~WindowStage() {
    CloseManager();
    interface.reset();
    ResetAllServices();
  }
  WindowStage(const WindowStage&) = delete;
  WindowStage& operator=(const WindowStage&) = delete;

  // A new, empty window manager installed as the game's.
  void OpenManager() {
    CloseManager();
    manager = std::make_unique<WindowManager>();
    GetUiServices().windowManager = manager.get();  // as the world's window-manager stage installs its own
  }
  // Deletes the manager and its windows.
  void CloseManager() {
    manager.reset();
    GetUiServices().windowManager = nullptr;
  }
  // One frame; without `windows` only the clear and the present.
  void Frame(bool windows) {
    GetResourceServices().clock += 16;
    if (windows && manager) manager->Update();
    viewer->BeginFrame();
    viewer->Clear(0xFF204060u);
    const DXLMATRIX identity = plat::gfx::IdentityMatrix();
    viewer->SetTransform(&identity);
    if (windows && manager) manager->Draw();
    viewer->Present();
  }
};

}  // namespace benchwindows

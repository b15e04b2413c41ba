#include "app/AppServices.h"

#include <cmath>

#include "engine/DXLApp.h"
#include "engine/DXLViewer.h"
#include "engine/DXLWindowViewer.h"
#include "platform/os/WindowSystem.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"

AppServices& GetAppServices() {
  static AppServices services;
  return services;
}

DXLPOINT WindowToGame(i32 x, i32 y) {
  const GAMESCREENAREA& s = GetResourceServices().screen;
  DXLPOINT p{x - s.rect.left, y - s.rect.top};
  if (s.scaling && s.scale > 0.0f) {
    p.x = static_cast<i32>(std::floor(static_cast<float>(p.x) / s.scale + 0.5f));
    p.y = static_cast<i32>(std::floor(static_cast<float>(p.y) / s.scale + 0.5f));
  }
  return p;
}

DXLPOINT GetGameMousePos() {
  const DXLMouse* mouse = DXLGetAppData().mouse;
  const DXLPOINT p = mouse ? mouse->GetClientPosition() : DXLPOINT{0, 0};
  return WindowToGame(p.x, p.y);
}

void BeginGameFrame(bool clear) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  if (clear) viewer->Clear(0xFF000000u);
  viewer->ResetWorldTransform();
  LoadGameAreaTransform();
}

// Sent, not posted: the window's close runs now and the loop ends at its
// next look at the queue.
void CloseGameWindow() {
  GetAppServices().gameClosedWindow = true;
  const plat::WindowHandle window = DXLGetAppData().window;
  if (window) plat::GetWindowSystem().SendMessage(window, plat::WM_CLOSE, 0, 0);
}

// The running level as the resources and the toolkit see it (CurrentLevel),
// all the test's to set: a view moved by (tx, ty) and scaled by `scale`,
// the pointer, the level panel, the money, the screen-sprite list it holds
// and the shadow list; the windows opened and closed over it are recorded.
#pragma once

#include <string>
#include <vector>

#include "base/List.h"
#include "platform/gfx/GfxTypes.h"
#include "resources/CurrentLevel.h"
#include "hud/ScreenSpriteHost.h"

namespace leveltest {

class FakeCurrentLevel : public CurrentLevel, public ScreenSpriteHost {
 public:
  kis::list<LevelShadow*>& GetShadows() override { return shadows; }
  const DXLMATRIX& GetLevelTransform() const override {
    view = plat::gfx::IdentityMatrix();
    view.m[0][0] = view.m[1][1] = scale;
    view.m[3][0] = tx;
    view.m[3][1] = ty;
    return view;
  }
  void OnWindowOpened(u32 id) override { seen.push_back("open " + std::to_string(id)); }
  void OnWindowClosed(u32 id) override { seen.push_back("close " + std::to_string(id)); }
  ScreenSpriteList* GetScreenSprites() override { return list; }
  bool IsViewScaling() const override { return scaling; }
  float GetViewScale() const override { return scale; }
  void MapToScreen(float x, float y, float* sx, float* sy) const override {
    *sx = x * scale + tx;
    *sy = y * scale + ty;
  }
  void ScreenToMap(float sx, float sy, float* x, float* y) const override {
    *x = (sx - tx) / scale;
    *y = (sy - ty) / scale;
  }
  void GetPointer(i32* x, i32* y) const override {
    *x = px;
    *y = py;
  }
  bool IsPointerOverView() const override { return overView; }
  bool GetPanelRect(DXLRECT* out) const override {
    *out = panel;
    return hasPanel;
  }
  i32 GetPanelLine() const override { return panelLine; }
  bool HasMoney(i32 amount) const override { return money >= amount; }

  ScreenSpriteList* list = nullptr;
  kis::list<LevelShadow*> shadows;
  std::vector<std::string> seen;
  mutable DXLMATRIX view{};
  float tx = 0.0f, ty = 0.0f, scale = 1.0f;
  bool scaling = false;
  i32 px = 0, py = 0;
  bool overView = true;
  bool hasPanel = false;
  DXLRECT panel{0, 0, 0, 0};
  i32 panelLine = 0;
  i32 money = 0;
};

}  // namespace leveltest

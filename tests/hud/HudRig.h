// The head-up display's world: the toolkit rig, a fake level host holding
// the level's screen-sprite list, a plain active sprite kind that records
// its draws, and pictures of a chosen size in any sprite set.
#pragma once

#include <functional>

#include "../ui/ToolkitRig.h"
#include "resources/ResourceServices.h"
#include "testsupport/FakeCurrentLevel.h"
#include "hud/ActiveScreenSprite.h"
#include "hud/ScreenSpriteList.h"
#include "hud/ScreenSpriteOwner.h"

namespace uitest {

// An active sprite over a rectangle around its anchor that counts its draws.
class Spot : public ActiveScreenSprite {
 public:
  Spot(i32 x, i32 y, i32 half = 10, u32 code = ScreenTag('S', 'p', 'o', 't')) : ActiveScreenSprite(code, x, y) {
    rect_ = DXLRECT{x - half, y - half, x + half, y + half};
  }
  void DrawContent() override { ++draws; }
  int draws = 0;
};

class HudRig {
 public:
  HudRig() {
    host.list = list.get();
    GetResourceServices().level = &host;
    GetResourceServices().tutorial = &tk.ui.tutorial;
  }
  ~HudRig() {
    list.reset();
    GetResourceServices().level = nullptr;
    GetResourceServices().tutorial = nullptr;
  }
  HudRig(const HudRig&) = delete;
  HudRig& operator=(const HudRig&) = delete;

  // A loaded sprite of the set over a picture of `frames` cells side by side.
  Sprite* Picture(u32 set, const wchar* name, i32 w, i32 h, i32 frames = 1) {
    DXLTexture* t = tk.ui.sets[set]->GetTextures()->NewTexture();
    t->Create(w * frames, h, plat::gfx::D3DFMT_A8R8G8B8, true);
    UiRig::Fill(t, [](i32, i32) { return 0xFFFFFFFFu; });
    auto* s = new Sprite(tk.ui.sets[set].get(), name, t, SPRITEGRID{frames, w, h, 0, 0, {0, 0, 0, 0}}, false, false,
                         0);
    s->Init();
    return s;
  }

  // One level frame: the list updated, then drawn, the game clock `ms` on.
  void Frame(u32 ms = 10) {
    tk.ui.AdvanceClock(ms);
    list->UpdateAll();
    ASSERT_EQ(tk.ui.V().BeginFrame(), 0);
    list->DrawAll();
    ASSERT_EQ(tk.ui.V().Present(), 0);
  }
  void Draw() {
    ASSERT_EQ(tk.ui.V().BeginFrame(), 0);
    list->DrawAll();
    ASSERT_EQ(tk.ui.V().Present(), 0);
  }
  void Move(i32 x, i32 y) {
    host.px = x;
    host.py = y;
    list->UpdateHover(x, y);
  }

  ToolkitRig tk;
  leveltest::FakeCurrentLevel host;  // the running level the sprites stand on
  std::unique_ptr<ScreenSpriteList> list = std::make_unique<ScreenSpriteList>();
};

}  // namespace uitest

// The world of the level panel's tests: the level map of the level tests
// (MapRig: rules, fake point classes, screen sprites and point care) with
// the game's own panels (the level panel host's) in place of the recording
// fake, the game's window manager (with its notice queues), a screen of the size asked for and the level panel
// over it.
#pragma once

#include <memory>
#include <vector>

#include "../level/MapRig.h"
#include "resources/ResourceServices.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/ChildLevelPanel.h"
#include "windows/EmptyPlacePanels.h"
#include "windows/GameWindowManager.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"

namespace windowstest {

using leveltest::MapRig;

class PanelRig : public MapRig {
 public:
  // `maker` makes the panel's parts (null: the game's own).
  explicit PanelRig(i32 width = 800, i32 height = 600, LevelPanelPartMaker* maker = nullptr) : host(maker) {
    Screen(width, height);
    manager = CreateGameWindowManager();
    GetUiServices().windowManager = manager;
    sheet = AddPicture(1, u"level", 512, 512);
    for (const wchar* icon : {u"ico_clear", u"ico_back", u"ico_empty", u"ico_plants"}) AddPicture(2, icon, 48, 48);
  }
  ~PanelRig() {
    host.DeletePanel();
    map.reset();
    delete manager;
    GetUiServices().windowManager = nullptr;
  }
  static void Screen(i32 width, i32 height) {
    ResourceServices& s = GetResourceServices();
    s.screen.width = width;
    s.screen.height = height;
    s.screen.rect = DXLRECT{0, 0, width, height};
  }
  // The level of these points in the regime, built and started, its points
  // made and its panel made.
  LevelMap& MakeLevel(std::vector<POINTDEF> points, i32 regime = 0) {
    panelsHook = &host;
    level.Info().points = points;
    level.Make(regime);
    Make(std::move(points), false);
    host.CreatePanel(*map);
    panel = host.GetPanel();
    return *map;
  }
  EmptyLevelPoint* Place(i32 i) const { return static_cast<EmptyLevelPoint*>(map->GetPoint(i)); }
  void Select(i32 i) { map->Points().SelectPoint(i, false); }
  ChildLevelPanel* Shown() const { return panel->GetCurrentChild(); }
  // A click in the middle of the button through the window manager (game coordinates).
  void Click(const GameButton* b) {
    const DXLRECT& r = b->GetRect();
    const i32 x = (r.left + r.right) / 2 + panel->GetRect().left, y = (r.top + r.bottom) / 2 + panel->GetRect().top;
    manager->OnMouseMove(x, y, 0, 0);
    manager->OnMouseDown(x, y, kMouseLeft, 0);
    manager->OnMouseUp(x, y, kMouseLeft, 0);
  }

  // A frame of the viewer (256 x 256, cleared to `background` with stencil
  // 0) in which `draw` runs with the transform moved by (dx, dy); then
  // Pixel reads what was presented.
  template <class Draw>
  void Shot(float dx, float dy, Draw draw, u32 background = 0xFF000000u) {
    DXLViewer& v = *art.rig.viewer;
    ASSERT_EQ(v.BeginFrame(), 0);
    v.ClearEx(plat::gfx::D3DCLEAR_TARGET | plat::gfx::D3DCLEAR_STENCIL, background, 0);
    DXLMATRIX m = plat::gfx::IdentityMatrix();
    v.SetTransform(&m);
    v.Translate(dx, dy);
    v.ApplyTransform(nullptr);
    draw();
    ASSERT_EQ(v.Present(), 0);
  }
  u32 Pixel(u32 x, u32 y) { return art.rig.Soft()->FramePixel(x, y); }

  // A loaded sprite of the set over a picture of its own (texel (x, y) is
  // 0xFF000000 | x << 16 | y << 8 | set), in `frames` frames side by side.
  Sprite* AddPicture(u32 set, const wchar* name, u32 w, u32 h, i32 frames = 1) {
    SpriteSet& s = art.Set(set);
    DXLTexture* t = s.GetTextures()->NewTexture();
    t->SetName(name);
    const std::vector<u8> file = spritetest::Picture(w, h, set);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    auto* sprite = new Sprite(&s, name, t,
                              SPRITEGRID{frames, static_cast<i32>(w) / frames, static_cast<i32>(h), 0, 0, {0, 0, 0, 0}},
                              false, false, 0);
    sprite->Init();
    return sprite;
  }

  LevelPanelHost host;
  Sprite* sheet = nullptr;
  WindowManager* manager = nullptr;
  LevelPanel* panel = nullptr;
};

}  // namespace windowstest

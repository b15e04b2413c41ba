// A headless world for the window toolkit's tests: a viewer on a recording
// software device (the game viewer), the game screen, the 17 sprite sets, an
// "interface" image whose texel (x, y) is 0xFF000000 | x << 16 | y << 8 (low
// bytes) with a transparent 4 x 4 corner at the top-left of the windows' top
// row, a window manager, a fake level and a fake tutorial. The game clock
// and the millisecond clock are the tests' to move.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "content/ContentServices.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "platform/gfx/GfxRecordingDevice.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "resources/ResourceServices.h"
#include "testsupport/FakeCurrentLevel.h"
#include "resources/SpriteSet.h"
#include "resources/TutorialHooks.h"
#include "testsupport/PlainButton.h"
#include "testsupport/ViewerRig.h"
#include "ui/SpritesWindow.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"

namespace uitest {

// Refuses the actions of `refused` (all of a code when the parameter is ~0).
class FakeTutorial : public TutorialHooks {
 public:
  bool AllowAction(u32 action, uintptr_t parameter, const void* object) override {
    asked.push_back(action);
    for (const auto& r : refused)
      if (r.first == action && (r.second == ~uintptr_t{0} || r.second == parameter)) return false;
    (void)object;
    return true;
  }
  void Notify(u32, uintptr_t, const void*) override {}
  std::vector<std::pair<u32, uintptr_t>> refused;
  std::vector<u32> asked;
};

// A plain window over a rectangle that logs keys and may act in its update.
class PlainWindow : public GameWindow {
 public:
  PlainWindow(u32 id, bool modal, const DXLRECT& rect, std::vector<std::string>* log = nullptr)
      : GameWindow(id, modal), log_(log) {
    rect_ = rect;
  }
  void Draw() override {
    ++draws;
    if (onDraw) onDraw();
  }
  bool Update() override {
    ++updates;
    if (onUpdate) return onUpdate();
    return GameWindow::Update();
  }
  bool OnKeyDown(u16 key, u32 extra) override { return Key("key", key) || GameWindow::OnKeyDown(key, extra); }
  bool OnKeyUp(u16 key, u32 extra) override { return Key("up", key) || GameWindow::OnKeyUp(key, extra); }
  bool OnChar(u16 c, u32 extra) override { return Key("char", c) || GameWindow::OnChar(c, extra); }
  u32 OnCommand(GameButton* control) override {
    if (log_) log_->push_back("command " + std::to_string(control->GetId()));
    return 0;
  }
  void SetClosing() { closing_ = 1; }

  std::function<bool()> onUpdate;
  std::function<void()> onDraw;
  u16 takes = 0;  // the key this window takes
  int draws = 0;
  int updates = 0;

 private:
  bool Key(const char* what, u16 key) {
    if (log_) log_->push_back(std::string(what) + " " + std::to_string(key) + " " + std::to_string(id_));
    return takes != 0 && key == takes;
  }
  std::vector<std::string>* log_;
};

// A sprite window of a top row `width` wide and a body frame of `units`.
class Dialog : public SpritesWindow {
 public:
  Dialog(u32 id, i32 width, i32 units, bool dimsPrevious = false, bool modal = false)
      : SpritesWindow(id, dimsPrevious, modal) {
    AddTopRow(width);
    if (units > 0) AddBodyFrame(units);
  }
  void MoveTo(i32 x, i32 y) {
    x_ = x;
    y_ = y;
    ClampToScreen();
  }
};

inline u32 InterfaceTexel(i32 x, i32 y) {
  if (x >= 971 && x < 975 && y >= 513 && y < 517) return 0x00FFFFFFu;
  return 0xFF000000u | static_cast<u32>(x & 0xFF) << 16 | static_cast<u32>(y & 0xFF) << 8;
}

class UiRig {
 public:
  explicit UiRig(u32 width = 800, u32 height = 600) {
    ResetResourceServices();
    ResetContentServices();
    ResetUiServices();
    rig.viewer->GetSystem()->RecordDeviceCalls(&calls);
    EXPECT_EQ(rig.Open(width, height), 0);
    SetGameViewer(rig.viewer.get());
    ResourceServices& s = GetResourceServices();
    s.screen.width = static_cast<i32>(width);
    s.screen.height = static_cast<i32>(height);
    s.screen.rect = DXLRECT{0, 0, static_cast<i32>(width), static_cast<i32>(height)};
    s.clock = 1000;
    for (u32 i = 0; i < kSpriteSetCount; ++i) sets.push_back(std::make_unique<SpriteSet>(i));
    interfaceImage = std::make_unique<DXLTexture>(rig.viewer.get());
    interfaceImage->Create(1024, 1024, plat::gfx::D3DFMT_A8R8G8B8, true);
    Fill(interfaceImage.get(), &InterfaceTexel);
    interfaceImage->SetBlendMode(kBlendAlpha);
    s.interfaceImage = interfaceImage.get();
    manager = new WindowManager;
    GetUiServices().windowManager = manager;
  }
  ~UiRig() {
    delete manager;
    GetUiServices().windowManager = nullptr;
    sets.clear();
    interfaceImage.reset();
    ResetResourceServices();
    ResetContentServices();
    ResetUiServices();
  }
  UiRig(const UiRig&) = delete;
  UiRig& operator=(const UiRig&) = delete;

  static void Fill(DXLTexture* t, u32 (*texel)(i32, i32)) {
    u8* bits = t->Lock(0);
    ASSERT_NE(bits, nullptr);
    for (i32 y = 0; y < t->GetHeight(); ++y)
      for (i32 x = 0; x < t->GetWidth(); ++x)
        *reinterpret_cast<u32*>(bits + static_cast<size_t>(y) * t->GetLockPitch() + static_cast<size_t>(x) * 4) =
            texel(x, y);
    t->Unlock();
  }

  DXLViewer& V() { return *rig.viewer; }
  void SetClock(u32 ms) { GetResourceServices().clock = ms; }
  void AdvanceClock(u32 ms) { GetResourceServices().clock += ms; }
  void AdvanceRealTime(u32 ms) { rig.Clock().Advance(ms); }
  // A whole frame: cleared to `background` (stencil 0), the manager's draw, presented.
  void Frame(u32 background = 0xFF204060u) {
    ASSERT_EQ(V().BeginFrame(), 0);
    V().ClearEx(plat::gfx::D3DCLEAR_TARGET | plat::gfx::D3DCLEAR_STENCIL, background, 0);
    DXLMATRIX identity = plat::gfx::IdentityMatrix();
    V().SetTransform(&identity);
    manager->Draw();
    ASSERT_EQ(V().Present(), 0);
  }
  u32 Pixel(u32 x, u32 y) { return rig.Soft()->FramePixel(x, y); }
  int TextureId(const DXLTexture* t) { return calls.TextureId(t->GetD3DTexture()); }

  viewertest::ViewerRig rig;
  plat::gfx::CallLog calls;
  std::vector<std::unique_ptr<SpriteSet>> sets;
  std::unique_ptr<DXLTexture> interfaceImage;
  WindowManager* manager = nullptr;
  leveltest::FakeCurrentLevel level;
  FakeTutorial tutorial;
};

}  // namespace uitest

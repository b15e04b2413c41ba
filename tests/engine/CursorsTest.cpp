#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "engine/DXLCursors.h"
#include "engine/DXLTexture.h"
#include "testsupport/ViewerRig.h"

namespace gfx = plat::gfx;
using viewertest::ViewerRig;

namespace {

class Cursors : public ::testing::Test {
 protected:
  void SetUp() override {
    DXLResetCursors();
    ASSERT_EQ(rig_.Open(640, 480), 0);
    window_ = rig_.viewer->GetWindowHandle();
    arrow_ = ws().LoadCursor(0, plat::IDC_ARROW);
    hand_ = ws().LoadCursor(0, plat::IDC_HAND);
    DXLCURSORDATA r;
    DXLMakeSystemCursor(&r, 0, arrow_);
    DXLAddCursor(&r);
    DXLMakeSystemCursor(&r, 1, hand_);
    DXLAddCursor(&r);
    DXLSetCursorWindow(window_);
    DXLSetDefaultCursor(&r);  // hand, applied at once (the default is applied at the start)
    DXLFindCursor(&r, 0);
    DXLSetDefaultCursor(&r);
  }
  void TearDown() override { DXLResetCursors(); }

  plat::WindowSystem& ws() { return rig_.Windows(); }
  intptr_t SetCursorMessage(u32 hit, plat::WindowHandle under = 0) {
    ws().SetCursor(0x1234);
    return DXLCursorWindowHook(window_, plat::WM_SETCURSOR, under ? under : window_,
                               plat::MakeLParam(static_cast<i32>(hit), plat::WM_MOUSEMOVE));
  }
  // A 33 x 16 texture of one opaque colour.
  std::unique_ptr<DXLTexture> Image(u32 color) {
    auto t = std::make_unique<DXLTexture>(rig_.viewer.get());
    t->Create(33, 16, gfx::D3DFMT_A8R8G8B8, true);
    u8* bits = t->Lock(0);
    for (i32 y = 0; bits && y < 16; ++y)
      for (i32 x = 0; x < 33; ++x) std::memcpy(bits + y * t->GetLockPitch() + x * 4, &color, 4);
    t->Unlock();
    return t;
  }
  void AddImageCursor(u32 kind, u32 slot, DXLTexture* image) {
    DXLCURSORDATA r{kind, slot, kCursorHotspotCentre, kCursorHotspotCentre, reinterpret_cast<uintptr_t>(image)};
    DXLAddCursor(&r);
  }

  ViewerRig rig_;
  plat::WindowHandle window_ = 0;
  plat::CursorHandle arrow_ = 0, hand_ = 0;
};

TEST_F(Cursors, InactiveManagerLeavesTheCursorAloneUntilActivated) {
  EXPECT_EQ(SetCursorMessage(plat::HTCLIENT), 0);
  EXPECT_EQ(ws().GetCursor(), 0x1234u);
  DXLActivateCursors();
  EXPECT_EQ(SetCursorMessage(plat::HTCLIENT), 1);
  EXPECT_EQ(ws().GetCursor(), arrow_);
  EXPECT_EQ(DXLCursorWindowHook(window_, plat::WM_ACTIVATEAPP, 1, 0), 0);
}

TEST_F(Cursors, OutsideTheClientAreaTheSystemKeepsItsCursor) {
  DXLActivateCursors();
  EXPECT_EQ(SetCursorMessage(plat::HTCAPTION), 0);
  EXPECT_EQ(ws().GetCursor(), 0x1234u);
  EXPECT_EQ(SetCursorMessage(plat::HTCLIENT, window_ + 0x10), 0);  // another window under the pointer
  DXLGetCursors().SetClientAreaOnly(false);
  EXPECT_EQ(SetCursorMessage(plat::HTBORDER), 1);
  EXPECT_EQ(ws().GetCursor(), arrow_);
}

TEST_F(Cursors, SelectingTheCurrentSlotAgainDoesNothing) {
  DXLActivateCursors();
  SetCursorMessage(plat::HTCLIENT);
  DXLSelectCursor(1);
  EXPECT_EQ(ws().GetCursor(), hand_);
  DXLCURSORDATA r;
  DXLMakeSystemCursor(&r, 1, arrow_);  // a second record for slot 1 is never found
  DXLAddCursor(&r);
  ws().SetCursor(0x1234);
  DXLSelectCursor(1);
  EXPECT_EQ(DXLGetCursors().GetCurrent().handle, hand_);
  EXPECT_EQ(ws().GetCursor(), 0x1234u);  // the pointer not set again
  DXLSelectCursor(42);  // no record: nothing of ours is shown
  EXPECT_EQ(DXLGetCursors().GetCurrent().kind, kCursorKindNone);
  EXPECT_EQ(SetCursorMessage(plat::HTCLIENT), 0);
  DXLSelectCursor(0);  // after no record, slot 0's is shown
  EXPECT_EQ(ws().GetCursor(), arrow_);
}

TEST_F(Cursors, DefaultTakesEffectAtOnceOnlyWhileApplied) {
  DXLActivateCursors();
  DXLCURSORDATA hand;
  DXLFindCursor(&hand, 1);
  DXLSetDefaultCursor(&hand);  // the default is showing: replaced at once
  EXPECT_EQ(DXLGetCursors().GetCurrent().handle, hand_);
  DXLSelectCursor(0);
  DXLCURSORDATA arrow;
  DXLFindCursor(&arrow, 0);
  DXLMakeSystemCursor(&arrow, 0, ws().LoadCursor(0, plat::IDC_IBEAM));
  DXLSetDefaultCursor(&arrow);  // not showing: waits
  EXPECT_EQ(DXLGetCursors().GetCurrent().handle, arrow_);
  DXLApplyDefaultCursor();
  EXPECT_EQ(ws().SystemCursorId(DXLGetCursors().GetCurrent().handle), plat::IDC_IBEAM);
  EXPECT_TRUE(DXLGetCursors().IsDefaultApplied());
}

TEST_F(Cursors, TextureCursorIsDrawnAtThePointerOnceItsImageIsReady) {
  DXLActivateCursors();
  auto image = std::make_unique<DXLTexture>(rig_.viewer.get());  // not created yet
  AddImageCursor(kCursorTexture, 7, image.get());
  SetCursorMessage(plat::HTCLIENT);
  DXLSelectCursor(7);
  EXPECT_FALSE(DXLGetCursors().IsShown());
  EXPECT_EQ(SetCursorMessage(plat::HTCLIENT), 0);
  EXPECT_EQ(ws().GetCursor(), 0x1234u);

  image = Image(0xFFFF0000u);  // the record's image is gone; a new one for a new record
  EXPECT_EQ(DXLGetCursors().GetCount(), 2);
  EXPECT_EQ(DXLGetCursors().GetCurrent().kind, kCursorSystem);  // fell back to the default
  AddImageCursor(kCursorTexture, 8, image.get());
  DXLSelectCursor(8);
  EXPECT_EQ(SetCursorMessage(plat::HTCLIENT), 1);
  EXPECT_EQ(ws().GetCursor(), 0u);  // the system cursor is hidden over the client area
  i32 hx = 0, hy = 0;
  DXLGetCursors().GetHotspot(&hx, &hy);
  EXPECT_EQ(hx, 16);
  EXPECT_EQ(hy, 8);

  plat::Point p{100, 60};
  ws().ClientToScreen(window_, &p);
  ws().UserPointer(p);
  ASSERT_EQ(rig_.viewer->BeginFrame(), 0);
  rig_.viewer->Clear(0xFF000000u);
  ASSERT_EQ(rig_.viewer->Present(), 0);
  gfx::SoftDevice* soft = rig_.Soft();
  EXPECT_EQ(soft->FramePixel(100 - 16, 60 - 8), 0xFFFF0000u);
  EXPECT_EQ(soft->FramePixel(100 + 16, 60 + 7), 0xFFFF0000u);
  EXPECT_EQ(soft->FramePixel(100 + 17, 60), 0xFF000000u);
  EXPECT_EQ(soft->FramePixel(100 - 17, 60), 0xFF000000u);
}

TEST_F(Cursors, DeletingTheDefaultCursorsImageLeavesNothingDangling) {
  DXLActivateCursors();
  auto image = Image(0xFF00FF00u);
  AddImageCursor(kCursorTexture, 9, image.get());
  DXLCURSORDATA r;
  DXLFindCursor(&r, 9);
  DXLSetDefaultCursor(&r);
  EXPECT_EQ(DXLGetCursors().GetCurrent().slot, 9u);
  image.reset();
  EXPECT_EQ(DXLGetCursors().GetCount(), 2);
  EXPECT_EQ(DXLGetCursors().GetDefault().kind, kCursorKindNone);
  EXPECT_EQ(DXLGetCursors().GetCurrent().kind, kCursorKindNone);
  DXLSelectCursor(0);
  DXLApplyDefaultCursor();
  ASSERT_EQ(rig_.viewer->BeginFrame(), 0);
  EXPECT_EQ(rig_.viewer->Present(), 0);  // no hook left behind
}

// An image whose texture is released hides the cursor it shows (another
// image's release does nothing); the viewer going away brings the default
// back.
TEST_F(Cursors, AReleasedImageHidesItsCursorAndADetachedViewerAppliesTheDefault) {
  DXLActivateCursors();
  auto image = Image(0xFFFF0000u);
  auto other = Image(0xFF00FF00u);
  AddImageCursor(kCursorTexture, 8, image.get());
  SetCursorMessage(plat::HTCLIENT);
  DXLSelectCursor(8);
  ASSERT_TRUE(DXLGetCursors().IsShown());
  other->Unload();
  EXPECT_TRUE(DXLGetCursors().IsShown());
  image->Unload();
  EXPECT_FALSE(DXLGetCursors().IsShown());
  EXPECT_EQ(DXLGetCursors().GetCurrent().slot, 8u);  // still current, shown again once ready
  EXPECT_FALSE(DXLGetCursors().IsDefaultApplied());
  rig_.viewer.reset();  // its device objects are told it is detached
  EXPECT_TRUE(DXLGetCursors().IsDefaultApplied());
  EXPECT_EQ(DXLGetCursors().GetCurrent().handle, arrow_);
}

TEST_F(Cursors, DeviceCursorIsPreparedAgainAfterAReset) {
  DXLActivateCursors();
  auto image = Image(0xFF0000FFu);
  AddImageCursor(kCursorDevice, 3, image.get());
  SetCursorMessage(plat::HTCLIENT);
  DXLSelectCursor(3);
  gfx::SoftDevice* soft = rig_.Soft();
  EXPECT_TRUE(soft->HasCursorImage());
  EXPECT_TRUE(soft->CursorVisible());
  DXLGetCursors().OnDeviceEvent(rig_.viewer.get(), kDeviceResetting);
  EXPECT_FALSE(DXLGetCursors().IsShown());
  EXPECT_FALSE(soft->HasCursorImage());
  EXPECT_EQ(SetCursorMessage(plat::HTCLIENT), 1);
  EXPECT_TRUE(soft->HasCursorImage());
  DXLSelectCursor(0);
  EXPECT_FALSE(soft->HasCursorImage());
}

}  // namespace

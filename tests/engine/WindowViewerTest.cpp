#include <gtest/gtest.h>

#include <string>

#include "engine/DXLWindowViewer.h"
#include "platform/os/WindowSystem.h"
#include "testsupport/ViewerRig.h"

namespace gfx = plat::gfx;
using viewertest::ViewerRig;

namespace {

plat::Rect OuterOf(plat::WindowSystem& ws, plat::WindowHandle w) {
  plat::Rect r{};
  ws.GetWindowRect(w, &r);
  return r;
}

plat::Rect ClientOf(plat::WindowSystem& ws, plat::WindowHandle w) {
  plat::Rect r{};
  ws.GetClientRect(w, &r);
  return r;
}

TEST(WindowViewer, MainWindowIsCreatedHiddenOnceAndGoesWithTheViewer) {
  ViewerRig rig;
  ASSERT_EQ(rig.CreateWindow(), 0);
  const plat::WindowHandle w = rig.viewer->GetWindowHandle();
  ASSERT_NE(w, 0u);
  EXPECT_FALSE(rig.Windows().IsWindowVisible(w));
  EXPECT_EQ(rig.Windows().GetWindowLong(w, plat::GWL_STYLE) & 0xFFFF0000u, DXLWindowViewer::kWindowedStyle);
  EXPECT_EQ(rig.viewer->GetWindow(), w);  // no settings yet: its own window
  EXPECT_EQ(rig.CreateWindow(), 0);       // again: nothing happens
  EXPECT_EQ(rig.viewer->GetWindowHandle(), w);
  EXPECT_NE(rig.Log().find("Create Window"), std::string::npos);

  rig.viewer->SetTitle(u"Farm");
  EXPECT_EQ(rig.Windows().GetWindowText(w), u"Farm");
  const std::u16string longTitle(150, u'x');
  rig.viewer->SetTitle(longTitle.c_str());
  EXPECT_EQ(rig.Windows().GetWindowText(w).size(), 99u);

  rig.viewer.reset();
  EXPECT_FALSE(rig.Windows().IsWindow(w));
  EXPECT_EQ(rig.Windows().FindWindow(u"TallowTest"), 0u);
}

TEST(WindowViewer, RegistrationAndCreationFailuresLeaveNoClassOrWindow) {
  ViewerRig rig;
  rig.Windows().FailNextRegisterClass();
  EXPECT_EQ(rig.CreateWindow(), kViewerRegisterClassFailed);
  EXPECT_NE(rig.Log().find("ERROR! Failed To Register The Window Class."), std::string::npos);

  rig.Windows().FailNextCreateWindow();
  EXPECT_EQ(rig.CreateWindow(), kViewerCreateWindowFailed);
  EXPECT_EQ(rig.viewer->GetWindowHandle(), 0u);
  EXPECT_NE(rig.Log().find("ERROR! Window Creation Error."), std::string::npos);

  // The class was unregistered, so a later attempt registers it again.
  EXPECT_EQ(rig.CreateWindow(), 0);
  EXPECT_NE(rig.viewer->GetWindowHandle(), 0u);
}

TEST(WindowViewer, FirstWindowedDeviceSizesAndCentresTheWindow) {
  ViewerRig rig;
  ASSERT_EQ(rig.Open(320, 240), 0);
  plat::WindowSystem& ws = rig.Windows();
  const plat::WindowHandle w = rig.viewer->GetWindowHandle();
  EXPECT_EQ(rig.viewer->GetSettings()->present.deviceWindow, w);
  EXPECT_TRUE(ws.IsWindowVisible(w));
  const plat::Rect client = ClientOf(ws, w);
  EXPECT_EQ(client.Width(), 320);
  EXPECT_EQ(client.Height(), 240);
  // Centred with 32 pixels kept free at the bottom of the desktop.
  const plat::Rect outer = OuterOf(ws, w);
  EXPECT_EQ(outer.left, (1280 - outer.Width()) / 2);
  EXPECT_EQ(outer.top, (1024 - 32 - outer.Height()) / 2);
}

TEST(WindowViewer, AMinimisedWindowIsRestoredBeforeItsFirstDevice) {
  ViewerRig rig;
  ASSERT_EQ(rig.CreateWindow(), 0);
  plat::WindowSystem& ws = rig.Windows();
  const plat::WindowHandle w = rig.viewer->GetWindowHandle();
  ws.ShowWindow(w, plat::SW_MINIMIZE);
  ASSERT_TRUE(ws.IsIconic(w));
  ASSERT_EQ(rig.Open(400, 300), 0);
  EXPECT_FALSE(ws.IsIconic(w));
  EXPECT_EQ(ClientOf(ws, w).Width(), 400);
  EXPECT_EQ(ClientOf(ws, w).Height(), 300);
}

TEST(WindowViewer, FullScreenAndBackRestoresThePlacement) {
  ViewerRig rig;
  ASSERT_EQ(rig.Open(320, 240), 0);
  plat::WindowSystem& ws = rig.Windows();
  const plat::WindowHandle w = rig.viewer->GetWindowHandle();
  // The player moved the window.
  ws.SetWindowPos(w, 0, 10, 20, 0, 0, plat::SWP_NOSIZE | plat::SWP_NOZORDER);
  const plat::Rect before = OuterOf(ws, w);

  const DXLDEVICESETTINGS full = rig.Settings(1024, 768, false);
  ASSERT_EQ(rig.viewer->ChangeDisplayMode(&full), 0);
  EXPECT_EQ(rig.Soft()->Width(), 1024u);
  EXPECT_FALSE(rig.Soft()->Params().windowed);
  EXPECT_EQ(ws.GetWindowLong(w, plat::GWL_STYLE) & ~(plat::WS_VISIBLE | plat::WS_MINIMIZE | plat::WS_MAXIMIZE),
            DXLWindowViewer::kFullScreenStyle);
  EXPECT_TRUE(ws.IsWindowVisible(w));
  EXPECT_EQ(rig.viewer->GetSavedPlacement().normalPosition, before);
  // It covers the display in the new mode, over the other windows: its
  // client area is the whole frame, from the screen's corner.
  EXPECT_EQ(OuterOf(ws, w), (plat::Rect{0, 0, 1024, 768}));
  EXPECT_EQ(ClientOf(ws, w), (plat::Rect{0, 0, 1024, 768}));
  EXPECT_TRUE(ws.IsTopmost(w));

  // Back to windowed at the old size: the saved placement returns and the
  // window is centred on the desktop without being resized.
  const DXLDEVICESETTINGS windowed = rig.Settings(320, 240, true);
  ASSERT_EQ(rig.viewer->ChangeDisplayMode(&windowed), 0);
  EXPECT_EQ(ws.GetWindowLong(w, plat::GWL_STYLE) & 0xFFFF0000u & ~plat::WS_VISIBLE, DXLWindowViewer::kWindowedStyle);
  const plat::Rect after = OuterOf(ws, w);
  EXPECT_EQ(after.Width(), before.Width());
  EXPECT_EQ(after.Height(), before.Height());
  EXPECT_EQ(after.left, (1280 - before.Width()) / 2);
  EXPECT_EQ(after.top, (1024 - before.Height()) / 2);
  EXPECT_EQ(ClientOf(ws, w).Width(), 320);
  EXPECT_FALSE(ws.IsTopmost(w));

  // A windowed change of size resizes it again, with the bottom margin.
  const DXLDEVICESETTINGS bigger = rig.Settings(640, 480, true);
  ASSERT_EQ(rig.viewer->ChangeDisplayMode(&bigger), 0);
  EXPECT_EQ(ClientOf(ws, w).Width(), 640);
  EXPECT_EQ(ClientOf(ws, w).Height(), 480);
  EXPECT_EQ(OuterOf(ws, w).top, (1024 - 32 - OuterOf(ws, w).Height()) / 2);
}

TEST(WindowViewer, ADesktopTooSmallForTheWindowIsRefused) {
  plat::DesktopSettings small;
  small.width = 640;
  small.height = 480;
  ViewerRig rig(small);
  EXPECT_EQ(rig.Open(800, 600), kViewerWindowSizeFailed);
  EXPECT_FALSE(rig.viewer->HasDevice());
  EXPECT_EQ(rig.viewer->GetSettings(), nullptr);
  EXPECT_NE(rig.Log().find("ERROR! Invalid window size."), std::string::npos);
  // A size that fits works afterwards.
  EXPECT_EQ(rig.Open(320, 240), 0);
}

TEST(WindowViewer, SettingsRequestsAreCompletedWithTheWindow) {
  ViewerRig rig;
  ASSERT_EQ(rig.CreateWindow(), 0);
  const DXLDEVICESETTINGS s = rig.Settings(200, 100, true);
  EXPECT_EQ(s.present.backBufferWidth, 320u);  // windowed sizes are at least 320 x 240
  EXPECT_EQ(s.present.backBufferHeight, 240u);
  EXPECT_EQ(s.present.deviceWindow, rig.viewer->GetWindowHandle());
  EXPECT_EQ(s.present.autoDepthStencilFormat, gfx::D3DFMT_D24S8);
  EXPECT_EQ(s.present.swapEffect, gfx::D3DSWAPEFFECT_DISCARD);
  EXPECT_EQ(s.hardwareVertexProcessing, 1u);
  const DXLDEVICESETTINGS full = rig.Settings(333, 222, false);  // not a listed mode
  EXPECT_EQ(full.present.backBufferWidth, 1280u);
  EXPECT_EQ(full.present.backBufferHeight, 1024u);
}

}  // namespace

// The sample data set's start: the logo list, the loading screen's
// pictures, the cursors and the window icon read back through the game's
// own readers, and drawn on the software device into pictures for a person
// to look at (start_*.png in the test folder).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/GameCursors.h"
#include "app/GameWorld.h"
#include "app/LoadingPanel.h"
#include "app/LogoSequence.h"
#include "app/ScreenBorders.h"
#include "engine/DXLApp.h"
#include "engine/DXLCursors.h"
#include "engine/DXLTexture.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/TextServices.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/PngFile.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "testsupport/ViewerRig.h"

namespace {

const std::string kStartData = TM_SAMPLE_DATA_DIR;
std::u16string StartWide(const std::string& s) { return plat::Utf8ToUtf16(s); }

class StartScreens : public ::testing::Test {
 protected:
  // A viewer of w x h on a desktop that holds it, the game area all of it.
  void Open(u32 w, u32 h) {
    ResetAllServices();
    rig_.reset();
    plat::DesktopSettings desktop;
    desktop.width = 2560;
    desktop.height = 1600;
    rig_ = std::make_unique<viewertest::ViewerRig>(desktop);
    ASSERT_EQ(rig_->Open(w, h), 0);
    SetGameViewer(rig_->viewer.get());
    ResourceServices& g = GetResourceServices();
    g.screen.width = static_cast<i32>(w);
    g.screen.height = static_cast<i32>(h);
    g.screen.rect = DXLRECT{0, 0, static_cast<i32>(w), static_cast<i32>(h)};
    g.clock = 1000;
    ASSERT_EQ(rig_->viewer->BeginFrame(), 0);
  }
  void TearDown() override {
    ResetAllServices();
    rig_.reset();
  }
  // Presents the frame into the picture and begins the next.
  void Shot(const std::string& name, u32 w, u32 h) {
    ASSERT_EQ(rig_->viewer->Present(), 0);
    std::string error;
    EXPECT_TRUE(plat::WritePng(name, rig_->Soft()->Frame(), w, h, &error)) << error;
    ASSERT_EQ(rig_->viewer->BeginFrame(), 0);
  }
  std::unique_ptr<viewertest::ViewerRig> rig_;
};

TEST_F(StartScreens, LogosAndTheLoadingScreenDrawFromTheSampleData) {
  Open(800, 600);
  LogoSequence logos(StartWide(kStartData + "/Logos/Logos.txt").c_str());
  ASSERT_EQ(logos.GetCount(), 2u);
  EXPECT_EQ(logos.GetLogo(0).notSkippable, 1u);  // the studio's mark
  EXPECT_EQ(logos.GetLogo(1).notSkippable, 0u);
  for (u32 i = 0; i < 2; ++i) {
    EXPECT_EQ(logos.GetLogo(i).texture->GetImageWidth(), 800);
    ASSERT_TRUE(logos.Draw());
    GetResourceServices().clock += 490;  // fully faded in
    ASSERT_TRUE(logos.Draw());
    EXPECT_EQ(logos.GetAlpha(), 255u);
    Shot("start_logo_" + std::to_string(i + 1) + ".png", 800, 600);
    GetResourceServices().clock += logos.GetLogo(i).duration + 500;
  }
  EXPECT_FALSE(logos.Draw());

  // The loading panel at half, its caption in game font 2.
  GetTextServices().languageViewer = rig_->viewer.get();
  GameLanguage language(StartWide(kStartData + "/language.dat").c_str());
  language.Acquire();
  SetGameLanguage(&language);
  {
    LoadingPanel panel(StartWide(kStartData).c_str());
    ASSERT_TRUE(panel.HasPictures());
    panel.SetLogo(language.GetImage(u"loading_logo"));
    panel.SetCaption(GetGameFont(2), language.GetText(u"loading", u"caption", 0, true));
    ASSERT_NE(panel.GetCaption(), nullptr);
    rig_->viewer->Clear(0xFF1E2A1Au);
    ShowLoading(&panel, 0.5f);
    Shot("start_loading.png", 800, 600);
  }
  SetGameLanguage(nullptr);
  language.Release();
  GetTextServices().languageViewer = nullptr;

}

TEST_F(StartScreens, TheBordersFillA16To10GameAreaOnAWideScreen) {
  Open(1920, 1080);
  // The game area 1728 wide in the middle; the borders 101 wide a side.
  DXLTextures textures(rig_->viewer.get());
  DXLTexture* border = DXLLoadTextureFile(&textures, StartWide(kStartData + "/Loading/screen_border.tga").c_str(), 1, nullptr, true);
  ASSERT_TRUE(border && border->IsReady());
  EXPECT_GE(border->GetImageWidth(), 20);
  GetResourceServices().borders.texture = border;
  GetResourceServices().screen.rect = DXLRECT{96, 0, 1824, 1080};
  BuildScreenBorders(1920, 1080);
  EXPECT_EQ(GetResourceServices().borders.count, 4u);
  rig_->viewer->Clear(0xFF8FD3F4u);
  DrawScreenBorders();
  Shot("start_borders.png", 1920, 1080);
}

TEST_F(StartScreens, CursorsAndTheIconReadBackAsDrawn) {
  Open(800, 600);
  DXLResetCursors();
  DXLTextures textures(rig_->viewer.get());
  ASSERT_EQ(LoadGameCursorFiles(StartWide(kStartData).c_str(), &textures), kGameCursorCount);
  const i32 hotspots[kGameCursorCount][2] = {{1, 1}, {9, 2}, {1, 1}, {8, 15}, {15, 15}, {15, 15}, {15, 15}};
  rig_->viewer->Clear(0xFF7CC24Au);
  for (u32 i = 0; i < kGameCursorCount; ++i) {
    DXLCURSORDATA c{};
    DXLFindCursor(&c, kGameCursorFiles[i].slot);
    ASSERT_EQ(c.kind, kCursorTexture) << i;
    EXPECT_EQ(c.hotspotX, hotspots[i][0]) << i;
    EXPECT_EQ(c.hotspotY, hotspots[i][1]) << i;
    DXLTexture* t = reinterpret_cast<DXLTexture*>(c.handle);
    DXLQUAD q;
    t->MakeQuadSized(&q, 12.0f + 80.0f * static_cast<float>(i), 20.0f, 64, 64, 0xFFFFFFFFu, false, false);
    BindDrawTexture(t);
    DrawQuad(&q);
  }
  DXLTexture* icon = DXLLoadTextureFile(&textures, StartWide(kStartData + "/icon.bmp").c_str(), 1, nullptr, true);
  ASSERT_TRUE(icon && icon->IsReady());
  EXPECT_EQ(icon->GetImageWidth(), 64);
  DXLQUAD q;
  icon->MakeQuadSized(&q, 12, 120, 128, 128, 0xFFFFFFFFu, false, false);
  BindDrawTexture(icon);
  DrawQuad(&q);
  UnbindDrawTexture();
  Shot("start_cursors_icon.png", 800, 600);
  // The arrow's tip is drawn where its hotspot is (twice its size).
  EXPECT_NE(rig_->Soft()->Frame()[22 * 800 + 14] & 0xFFFFFF, 0x7CC24Au);
  DXLResetCursors();
}

}  // namespace

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/GameCursors.h"
#include "app/GameWorld.h"
#include "app/LoadingPanel.h"
#include "app/LogoSequence.h"
#include "app/ScreenBorders.h"
#include "engine/DXLCursors.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "platform/encoding/Utf.h"
#include "resources/ColorEffects.h"
#include "resources/ResourceServices.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/ImageFiles.h"
#include "testsupport/ViewerRig.h"

namespace {

class Logos : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAllServices();
    ASSERT_EQ(rig_.Open(800, 600), 0);
    SetGameViewer(rig_.viewer.get());
    ResourceServices& g = GetResourceServices();
    g.screen.width = 800;
    g.screen.height = 600;
    g.screen.rect = DXLRECT{0, 0, 800, 600};
    g.clock = 1000;
  }
  void TearDown() override { ResetAllServices(); }

  void Write(const std::string& name, const std::vector<u8>& bytes) {
    std::ofstream(rig_.Folder() + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  void Picture(const std::string& name, u32 w, u32 h, u32 argb) {
    Write(name, imagefiles::Targa32(w, h, std::vector<u32>(w * h, argb)));
  }
  std::u16string List(const std::string& text) {
    Write("Logos.txt", std::vector<u8>(text.begin(), text.end()));
    return plat::Utf8ToUtf16(rig_.Folder() + "/Logos.txt");
  }
  // Draws at the clock moved on by `ms`.
  bool DrawAt(LogoSequence& s, u32 ms) {
    GetResourceServices().clock += ms;
    return s.Draw();
  }

  viewertest::ViewerRig rig_;
};

TEST_F(Logos, RowsClampDropAndSkip) {
  Picture("studio.tga", 40, 20, 0xFFFF0000u);
  Picture("game.tga", 80, 60, 0xFF00FF00u);
  // Any attribute name is a row; a missing picture and a bad row are dropped.
  LogoSequence s(List("studio = \"studio.tga\", 102030, 50, 1\n"
                      "gone = \"missing.tga\", 0, 3000\n"
                      "bad = 12\n"
                      "anything = \"game.tga\", 0, 20000\n").c_str());
  ASSERT_EQ(s.GetCount(), 2u);
  EXPECT_EQ(s.GetLogo(0).duration, 100u);
  EXPECT_EQ(s.GetLogo(0).background, 0x102030u);
  EXPECT_EQ(s.GetLogo(0).notSkippable, 1u);
  EXPECT_EQ(s.GetLogo(1).duration, 10000u);
  EXPECT_FALSE(s.IsFinished());

  // The first draw starts the first logo, 10 ms in; sized by 600 / 800 and centred.
  EXPECT_TRUE(s.Draw());
  EXPECT_EQ(s.GetIndex(), 0);
  EXPECT_FLOAT_EQ(s.GetQuad().v[0].x, 384.5f);  // 40 x 0.75 = 30 wide, on pixel centres
  EXPECT_FLOAT_EQ(s.GetQuad().v[2].y, 306.5f);  // 20 x 0.75 = 15 high
  // A click during the not-skippable logo does nothing.
  SkipLogo(&s);
  EXPECT_EQ(s.GetIndex(), 0);
  // Alpha 128 at 250 ms, 255 at 500, 128 at d + 750, over d + 1000 in all.
  EXPECT_TRUE(DrawAt(s, 240));
  EXPECT_EQ(s.GetAlpha(), 128u);
  EXPECT_TRUE(DrawAt(s, 250));
  EXPECT_EQ(s.GetAlpha(), 255u);
  EXPECT_TRUE(DrawAt(s, 350));  // 850 = 100 + 750
  EXPECT_EQ(s.GetAlpha(), 128u);
  // The background fades with the logo: 0x102030 at alpha 128.
  EXPECT_TRUE(DrawAt(s, 0));
  EXPECT_TRUE(DrawAt(s, 249));  // 1099: still the first
  EXPECT_EQ(s.GetIndex(), 0);
  EXPECT_TRUE(DrawAt(s, 1));  // 1100: over, the next one starts in the same draw
  EXPECT_EQ(s.GetIndex(), 1);
  EXPECT_EQ(s.GetAlpha(), 5u);  // 10 ms into its fade-in
  EXPECT_FLOAT_EQ(s.GetQuad().v[1].x - s.GetQuad().v[0].x, 60.0f);
  // A click during a skippable logo starts the next at once: there is none.
  SkipLogo(&s);
  EXPECT_TRUE(s.IsFinished());
  EXPECT_FALSE(s.Draw());
  EXPECT_FALSE(DrawLogoFrame(&s));
}

TEST_F(Logos, EmptyOrAllMissingListsFinishAtOnceAndTheFadeIsExact) {
  for (const char* text : {"", "a = \"none.tga\", 0, 1000\nb = \"also.tga\", FFFFFF, 500, 1\n"}) {
    LogoSequence s(List(text).c_str());
    EXPECT_TRUE(s.IsFinished());
    EXPECT_FALSE(s.Draw());
    EXPECT_FALSE(s.Next(false));
  }
  LogoSequence none(plat::Utf8ToUtf16(rig_.Folder() + "/NoSuch.txt").c_str());
  EXPECT_TRUE(none.IsFinished());

  const SEffect_Logo e(3000);
  EXPECT_EQ(e.GetDuration(), 4000u);
  const u32 at[] = {0, 1, 250, 500, 2000, 3500, 3750, 3999, 4000};
  const u32 want[] = {0, 1, 128, 255, 255, 255, 128, 1, 0};
  for (size_t i = 0; i < std::size(at); ++i) EXPECT_EQ(e.AlphaAt(at[i]), want[i]) << at[i];
  SpriteEffect* clone = e.Clone();
  EXPECT_EQ(static_cast<SEffect_Logo*>(clone)->GetLogoDuration(), 3000u);
  delete clone;
}

TEST_F(Logos, ThePictureAndItsBackgroundAreDrawnFaded) {
  Picture("game.tga", 400, 200, 0xFFFFFFFFu);
  LogoSequence s(List("logo = \"game.tga\", 4080C0, 1000\n").c_str());
  ASSERT_EQ(s.GetCount(), 1u);
  ASSERT_EQ(rig_.viewer->BeginFrame(), 0);
  EXPECT_TRUE(s.Draw());
  EXPECT_TRUE(DrawAt(s, 490));  // 500 ms in: full
  ASSERT_EQ(rig_.viewer->Present(), 0);
  auto* soft = rig_.Soft();
  EXPECT_EQ(soft->FramePixel(10, 10), 0xFF4080C0u);  // the background
  EXPECT_EQ(soft->FramePixel(400, 300), 0xFFFFFFFFu);  // the logo, 300 x 150 centred
  EXPECT_EQ(soft->FramePixel(240, 300), 0xFF4080C0u);
}

TEST_F(Logos, TheLoadingBarLightsItsShareAndTheLayoutFollowsTheArea) {
  std::filesystem::create_directories(rig_.Folder() + "/Loading");
  Picture("Loading/back_glow.tga", 40, 20, 0xFF203040u);
  Picture("Loading/loading_panel.tga", 220, 40, 0xFF806040u);
  Picture("Loading/loading.tga", 201, 20, 0xFF00FF00u);
  const std::u16string folder = plat::Utf8ToUtf16(rig_.Folder());
  LoadingPanel panel(folder.c_str());
  ASSERT_TRUE(panel.HasPictures());
  // The bar centred, 100 below the middle: ((800 - 201) / 2, (600 - 20) / 2 + 100).
  EXPECT_EQ(panel.GetBarRect().left, 299);
  EXPECT_EQ(panel.GetBarRect().top, 390);
  const float fractions[] = {0.0f, 0.5f, 1.0f, -1.0f, 2.0f};
  const i32 lit[] = {0, 101, 201, 0, 201};  // 100.5 rounds up
  for (size_t i = 0; i < std::size(fractions); ++i) {
    panel.SetProgress(fractions[i]);
    EXPECT_EQ(panel.GetLitWidth(), lit[i]) << fractions[i];
  }
  panel.SetCaption(nullptr, u"Loading");  // no font: no caption, no crash
  EXPECT_EQ(panel.GetCaption(), nullptr);

  ASSERT_EQ(rig_.viewer->BeginFrame(), 0);
  rig_.viewer->Clear(0xFF000000u);
  ShowLoading(&panel, 0.5f);
  ASSERT_EQ(rig_.viewer->Present(), 0);
  auto* soft = rig_.Soft();
  EXPECT_EQ(soft->FramePixel(299 + 100, 400), 0xFF00FF00u);  // lit
  EXPECT_EQ(soft->FramePixel(299 + 102, 400), 0xFF806040u);  // the panel beyond the fill
  EXPECT_EQ(soft->FramePixel(400, 250), 0xFF203040u);        // the glow, 160 x 80 round (400, 250)
  EXPECT_EQ(soft->FramePixel(400, 200), 0xFF000000u);

  // A larger game area moves everything at the next progress.
  GetResourceServices().screen.width = 1000;
  panel.SetProgress(0.25f);
  EXPECT_EQ(panel.GetBarRect().left, 399);
  EXPECT_EQ(panel.GetLitWidth(), 50);
  ShowLoading(nullptr, 1.0f);
}

// A 32-bit cursor file of w x h (w, h below 256) with its hotspot.
std::vector<u8> CursorFile(u32 w, u32 h, u32 hx, u32 hy) {
  testsupport::ByteBuilder b;
  b.u16_(0).u16_(2).u16_(1);
  b.u8_(w).u8_(h).u8_(0).u8_(0).u16_(hx).u16_(hy).u32_(40 + w * h * 4).u32_(22);
  b.u32_(40).u32_(w).u32_(2 * h).u16_(1).u16_(32).zeros(24);
  for (u32 i = 0; i < w * h; ++i) b.u32_(0xFF336699u);
  return b.v;
}

TEST_F(Logos, CursorFilesGiveTheirHotspotsAndBadOnesLeaveTheirSlotEmpty) {
  DXLResetCursors();
  std::filesystem::create_directories(rig_.Folder() + "/Cursors");
  for (u32 i = 0; i < kGameCursorCount; ++i) {
    const std::string name = "Cursors/" + plat::Utf16ToUtf8(kGameCursorFiles[i].file);
    if (i == 3) Write(name, {0, 0, 2, 0});  // cut short
    else if (i != 5) Write(name, CursorFile(32, 32, i, 2 * i + 1));  // 5 missing
  }
  DXLTextures textures(rig_.viewer.get());
  const std::u16string folder = plat::Utf8ToUtf16(rig_.Folder());
  EXPECT_EQ(LoadGameCursorFiles(folder.c_str(), &textures), 5u);
  for (u32 i = 0; i < kGameCursorCount; ++i) {
    DXLCURSORDATA c{};
    DXLFindCursor(&c, kGameCursorFiles[i].slot);
    if (i == 3 || i == 5) {
      EXPECT_EQ(c.kind, 0u) << i;
      continue;
    }
    EXPECT_EQ(c.kind, kCursorTexture) << i;
    EXPECT_EQ(c.hotspotX, static_cast<i32>(i));
    EXPECT_EQ(c.hotspotY, static_cast<i32>(2 * i + 1));
    EXPECT_EQ(reinterpret_cast<DXLTexture*>(c.handle)->GetImageWidth(), 32);
  }
  EXPECT_EQ(DXLGetCursors().GetDefault().slot, 256u);
  EXPECT_EQ(LoadGameCursorFiles(nullptr, &textures), 0u);
  DXLResetCursors();
}

// --- Screen borders ------------------------------------------------------------------------

float Width(const DXLQUAD& q) { return q.v[1].x - q.v[0].x; }
float Height(const DXLQUAD& q) { return q.v[2].y - q.v[0].y; }

TEST(ScreenBorders, SidesTopsAndNarrowTextures) {
  const BORDERIMAGE image{40, 16, 64, 16};  // 19 edge columns, 21 fill columns
  DXLQUAD q[kScreenBorderPieces];
  EXPECT_EQ(MakeScreenBorderQuads(image, 800, 600, DXLRECT{0, 0, 800, 600}, q), 0u);

  // 1920 x 1080: the game area 1728 wide, sides 96 + 5 = 101 wide, two pieces each.
  ASSERT_EQ(MakeScreenBorderQuads(image, 1920, 1080, DXLRECT{96, 0, 1824, 1080}, q), 4u);
  EXPECT_FLOAT_EQ(q[0].v[0].x, 82.0f);  // the left edge piece against the game area
  EXPECT_FLOAT_EQ(Width(q[0]), 19.0f);
  EXPECT_FLOAT_EQ(q[0].v[1].u, 40.0f / 64.0f);  // its right side the image's last column
  EXPECT_FLOAT_EQ(q[1].v[0].x, 0.0f);  // the fill piece, 82 wide from the 21 columns
  EXPECT_FLOAT_EQ(Width(q[1]), 82.0f);
  EXPECT_FLOAT_EQ(q[1].v[0].u, 0.0f);
  EXPECT_FLOAT_EQ(q[1].v[1].u, 21.0f / 64.0f);
  EXPECT_FLOAT_EQ(q[0].v[0].y, -1.0f);
  EXPECT_FLOAT_EQ(Height(q[0]), 1082.0f);
  EXPECT_FLOAT_EQ(q[2].v[0].x, 1819.0f);  // the right edge piece, mirrored
  EXPECT_FLOAT_EQ(q[2].v[0].u, 40.0f / 64.0f);
  EXPECT_FLOAT_EQ(q[3].v[1].x, 1920.0f);
  EXPECT_FLOAT_EQ(Width(q[2]) + Width(q[3]), 101.0f);

  // 1280 x 1024: the game area 1000 high, top and bottom 12 + 5 = 17 high,
  // turned, edge pieces only.
  ASSERT_EQ(MakeScreenBorderQuads(image, 1280, 1024, DXLRECT{0, 12, 1280, 1012}, q), 2u);
  EXPECT_FLOAT_EQ(q[0].v[0].y, 0.0f);
  EXPECT_FLOAT_EQ(Height(q[0]), 17.0f);
  EXPECT_FLOAT_EQ(q[0].v[0].x, -1.0f);
  EXPECT_FLOAT_EQ(Width(q[0]), 1282.0f);
  EXPECT_FLOAT_EQ(q[0].v[3].u, 40.0f / 64.0f);  // the image's last column along the bottom
  EXPECT_FLOAT_EQ(q[0].v[0].u, 23.0f / 64.0f);
  EXPECT_FLOAT_EQ(q[1].v[0].y, 1007.0f);
  EXPECT_FLOAT_EQ(q[1].v[0].u, 40.0f / 64.0f);  // the other way: last column at the top

  // A texture of 19 columns or fewer has no fill: edge pieces only, no division.
  const BORDERIMAGE narrow{12, 8, 16, 8};
  ASSERT_EQ(MakeScreenBorderQuads(narrow, 1920, 1080, DXLRECT{96, 0, 1824, 1080}, q), 2u);
  EXPECT_FLOAT_EQ(Width(q[0]), 12.0f);
  EXPECT_EQ(MakeScreenBorderQuads(BORDERIMAGE{}, 1920, 1080, DXLRECT{96, 0, 1824, 1080}, q), 0u);

  // Through the services: nothing while there is no texture.
  ResetAllServices();
  GetResourceServices().screen.rect = DXLRECT{96, 0, 1824, 1080};
  BuildScreenBorders(1920, 1080);
  EXPECT_EQ(GetResourceServices().borders.count, 0u);
  EXPECT_EQ(GetResourceServices().borders.quads, nullptr);
  ResetAllServices();
}

}  // namespace

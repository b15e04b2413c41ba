#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "UiRig.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/KGEBaseTextSprite.h"
#include "gametext/KGEBitmapFont.h"
#include "platform/encoding/Utf.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/TempFolder.h"

using uitest::Dialog;
using uitest::UiRig;

namespace {

// A language holding one font: game font 2 (the titles').
class TitleLanguage : public GameLanguage {
 public:
  TitleLanguage() : GameLanguage(u"") {}
  void Put(u32 slot, KGEFont* font) { fonts_[slot] = font; }  // the language deletes it
};

// White blocks: A 4 x 6 (advance 5) and B 3 x 6 (advance 4).
u32 Blocks(i32 x, i32 y) { return (y < 6 && (x < 4 || (x >= 8 && x < 11))) ? 0xFFFFFFFFu : 0x00000000u; }

class CaptionPlates : public ::testing::Test {
 protected:
  void SetUp() override {
    picture_ = std::make_unique<DXLTexture>(rig_.rig.viewer.get());
    picture_->Create(16, 8, plat::gfx::D3DFMT_A8R8G8B8, true);
    UiRig::Fill(picture_.get(), &Blocks);
    const std::string path = folder_.Path() + "/blocks.txt";
    const std::string text = "glyphs {\n height = 6\n glyphs = (0,0,4), (8,0,3)\n chars = \"AB\"\n"
                             " widthlist = 5, 4\n space = 2\n}\n";
    ASSERT_TRUE(testsupport::WriteFileBytes(path, std::vector<u8>(text.begin(), text.end())));
    DXLTexture* p = picture_.get();
    KGEBitmapFont* font = nullptr;
    ASSERT_EQ(KGELoadBitmapFontFile(rig_.rig.viewer.get(), &p, nullptr, false, plat::Utf8ToUtf16(path).c_str(),
                                    nullptr, &font),
              KGE_S_OK);
    ASSERT_EQ(font->Acquire(), KGE_S_OK);
    SetGameLanguage(&language_);
    language_.Put(1, font);
  }
  void TearDown() override { SetGameLanguage(nullptr); }

  UiRig rig_;
  TempFolder folder_;
  std::unique_ptr<DXLTexture> picture_;
  TitleLanguage language_;
};

TEST_F(CaptionPlates, ThePlateCarriesTheTitleAndItsReflectionTintedByTheTitleState) {
  auto* d = new Dialog(1, 300, 0);
  d->MoveTo(100, 100);
  d->SetCaption(u"AB");
  EXPECT_EQ(d->GetTitleRect().left, 10);
  EXPECT_EQ(d->GetTitleRect().right, 287);
  EXPECT_EQ(d->GetTitleRect().bottom, 69);
  const CaptionPlate& plate = *d->GetCaptionPlate();
  // Caps of 70 around a middle stretched from 116 source pixels to 137.
  EXPECT_FLOAT_EQ(plate.GetPlateQuad(0).v[0].x, 10 - 0.5f);
  EXPECT_FLOAT_EQ(plate.GetPlateQuad(0).v[0].u, 709.0f / 1024);
  EXPECT_FLOAT_EQ(plate.GetPlateQuad(1).v[0].x, 80 - 0.5f);
  EXPECT_FLOAT_EQ(plate.GetPlateQuad(1).v[1].x, 217 - 0.5f);
  EXPECT_FLOAT_EQ(plate.GetPlateQuad(1).v[1].u, (709.0f + 186) / 1024);
  EXPECT_FLOAT_EQ(plate.GetPlateQuad(2).v[1].x, 287 - 0.5f);
  EXPECT_FLOAT_EQ(plate.GetPlateQuad(2).v[2].y, 69 - 0.5f);
  EXPECT_EQ(plate.GetPlateQuad(1).v[0].color, 0xFF000000u);
  // "AB" is 9 x 6: centred, 2 pixels up.
  KGETextSpriteW* text = plate.GetTextSprite();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->GetWidth(), 9);
  EXPECT_EQ(plate.GetTitleX(), (10 + 287 - 9) / 2);
  EXPECT_EQ(plate.GetTitleY(), (9 + 69 - 6) / 2 - 2);
  const DXLQUAD& title = plate.GetTitleQuad();
  const DXLQUAD& mirror = plate.GetMirrorQuad();
  EXPECT_FLOAT_EQ(title.v[0].x, plate.GetTitleX() + text->GetTextureRect().left - 0.5f);
  EXPECT_FLOAT_EQ(mirror.v[0].y, title.v[3].y);
  EXPECT_FLOAT_EQ(mirror.v[3].y, title.v[3].y + (title.v[3].y - title.v[0].y));
  EXPECT_FLOAT_EQ(mirror.v[0].v, title.v[3].v);
  EXPECT_FLOAT_EQ(mirror.v[3].v, title.v[0].v);
  // Built white and fading to transparent white; the first frame gives it
  // the plate's colour, as every later change of state does.
  EXPECT_EQ(mirror.v[0].color, 0xFFFFFFFFu);
  EXPECT_EQ(mirror.v[3].color, 0x00FFFFFFu);
  rig_.Frame();
  EXPECT_EQ(mirror.v[0].color, 0xFF000000u);
  EXPECT_EQ(mirror.v[3].color, 0x00000000u);
  EXPECT_EQ(plate.GetTitleQuad().v[0].color, 0xFF000000u);

  // Hover fades the plate from black to 0x303030 over 100 ms.
  d->TitleState().SetState(kStateHover, false, 100);
  rig_.AdvanceClock(50);
  rig_.calls.Clear();
  rig_.Frame();
  EXPECT_EQ(plate.GetColor(), 0xFF181818u);
  EXPECT_EQ(plate.GetTitleQuad().v[2].color, 0xFF181818u);
  EXPECT_EQ(plate.GetMirrorQuad().v[2].color, 0x00181818u);
  const auto& drawn = rig_.calls.Primitives();
  ASSERT_EQ(drawn.size(), 3u + 3u + 2u);
  EXPECT_EQ(drawn[3].texture, rig_.TextureId(rig_.interfaceImage.get()));
  EXPECT_EQ(drawn[7].texture, rig_.TextureId(text->GetTexture()));
  EXPECT_EQ(drawn[7].vertices[0].color, 0xFF181818u);
  // The picture's colour plus the plate's: the title's white stays white.
  const u32 inTitle = rig_.Pixel(100 + plate.GetTitleX() + 1, 100 + plate.GetTitleY() + 1);
  EXPECT_EQ(inTitle, 0xFFFFFFFFu);
}

// A new device takes the pictures of the interface, of the font and of the
// title. Once the game has filled its interface and font pictures again, the
// plate shows its title again without being given it anew.
TEST_F(CaptionPlates, TheTitleShowsAgainAfterTheDeviceIsMadeAnew) {
  auto* d = new Dialog(1, 300, 0);
  d->MoveTo(100, 100);
  d->SetCaption(u"ABBA");
  const CaptionPlate& plate = *d->GetCaptionPlate();
  const i32 x = 100 + plate.GetTitleX() + 1, y = 100 + plate.GetTitleY() + 1;
  rig_.Frame();
  const u32 before = rig_.Pixel(x, y);
  EXPECT_EQ(before, 0xFFFFFFFFu);
  DXLTexture* texture = plate.GetTextSprite()->GetTexture();

  DXLDEVICESETTINGS s = *rig_.V().GetSettings();
  s.hardwareVertexProcessing ^= 1;
  ASSERT_EQ(rig_.V().ChangeDisplayMode(&s), 0);
  EXPECT_FALSE(rig_.interfaceImage->IsReady());
  EXPECT_TRUE(plate.GetTextSprite()->IsRestorePending());  // no glyphs to draw yet
  rig_.interfaceImage->Create(1024, 1024, plat::gfx::D3DFMT_A8R8G8B8, true);
  UiRig::Fill(rig_.interfaceImage.get(), &uitest::InterfaceTexel);
  picture_->Create(16, 8, plat::gfx::D3DFMT_A8R8G8B8, true);
  UiRig::Fill(picture_.get(), &Blocks);
  rig_.Frame();
  EXPECT_EQ(plate.GetTextSprite()->GetTexture(), texture);
  EXPECT_FALSE(plate.GetTextSprite()->IsRestorePending());
  EXPECT_EQ(rig_.Pixel(x, y), before);
}

}  // namespace

// The game fonts' section ("FONT"): four bitmap fonts on a picture of sprite
// set 1 and a system font, written and read back by the resumable reader
// into game fonts 5 to 9, interrupted after every font; and the damaged
// sections it refuses with the error flag.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "UiRig.h"
#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "content/ContentWriter.h"
#include "engine/DXLTextures.h"
#include "gametext/KGEBitmapFont.h"
#include "gametext/KGEWinFont.h"
#include "platform/encoding/Utf.h"
#include "platform/font/FontResolver.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteSet.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/FontTables.h"
#include "testsupport/TempFolder.h"
#include "ui/GameFontSection.h"

using uitest::UiRig;

namespace {

bool AlwaysYield(float) { return true; }

u32 FontBlocks(i32 x, i32 y) { return (y < 6 && (x < 4 || (x >= 8 && x < 11))) ? 0xFFFFFFFFu : 0; }

class GameFontSectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::FontResolver& r = plat::DefaultFontResolver();
    r.SetFolder(plat::Utf8ToUtf16(testsupport::FontDir()));
    r.SetUseSystemFonts(false);
    picture_ = rig_.sets[kGameFontSpriteSet]->GetTextures()->NewTexture();
    picture_->SetName(u"game_fonts");
    picture_->Create(16, 8, plat::gfx::D3DFMT_A8R8G8B8, true);
    UiRig::Fill(picture_, &FontBlocks);
    const std::string path = folder_.Path() + "/blocks.txt";
    const std::string text = "glyphs {\n height = 6\n glyphs = (0,0,4), (8,0,3)\n chars = \"AB\"\n"
                             " widthlist = 5, 4\n space = 2\n}\n";
    ASSERT_TRUE(testsupport::WriteFileBytes(path, std::vector<u8>(text.begin(), text.end())));
    for (u32 i = 0; i < 4; ++i) {
      DXLTexture* p = picture_;
      KGEBitmapFont* font = nullptr;
      ASSERT_EQ(KGELoadBitmapFontFile(rig_.rig.viewer.get(), &p, nullptr, false, plat::Utf8ToUtf16(path).c_str(),
                                      nullptr, &font),
                KGE_S_OK);
      font->SetStyle(static_cast<i32>(i), 0, font->GetColor());  // the tracking tells the four apart
      made_.emplace_back(font);
    }
    KGEWinFont* win = nullptr;
    ASSERT_EQ(KGECreateWinFont(rig_.rig.viewer.get(), 0, 10, 400, 1, 0, 0, 0, 0xFFFFFF, u"Arial", 5, u"AB", 2, 0,
                               nullptr, nullptr, 0, 0, 0xFFFFFFFFu, &win),
              KGE_S_OK);
    made_.emplace_back(win);
    std::vector<GameFontEntry> entries;
    for (auto& f : made_) entries.push_back({f.get(), u"game_fonts"});
    body_ = Body(entries);
  }
  void TearDown() override {
    kis::CloseDataFile(reader_);
    FreeGameFonts();
  }

  // The section's bytes as WriteGameFontSection writes them.
  std::vector<u8> Body(const std::vector<GameFontEntry>& entries) {
    const std::u16string path = plat::Utf8ToUtf16(folder_.Path() + "/written.dat");
    kis::DataFileWriterW* w = kis::CreateDataFileWriterW(path.c_str(), 1, 2, 1, false);
    EXPECT_NE(w, nullptr);
    if (!w) return {};
    EXPECT_TRUE(w->BeginSection(1, 0) && WriteGameFontSection(w, entries) && w->EndSection());
    EXPECT_TRUE(kis::CloseDataFile(w));
    kis::DataFileReaderW* r = kis::OpenDataFileReaderW(path.c_str(), 1, 2, 1);
    std::vector<u8> bytes;
    if (r && r->OpenSection(1, 0)) {
      bytes.resize(r->GetSectionSize());
      EXPECT_TRUE(r->Read(bytes.data(), static_cast<u32>(bytes.size())));
    }
    kis::CloseDataFile(r);
    return bytes;
  }
  void Open(const std::vector<u8>& body) {
    kis::CloseDataFile(reader_);
    const std::u16string path = plat::Utf8ToUtf16(folder_.Path() + "/Data.dat");
    ASSERT_TRUE(WriteDataArchive(path.c_str(), {{kGameFontSectionId, kGameFontSectionSubId, body},
                                                {kConstantsSectionId, kConstantsSectionSubId, {}}}));
    reader_ = kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2,
                                       kDataArchiveVersion);
    ASSERT_NE(reader_, nullptr);
  }
  u32 Loaded() const {
    u32 n = 0;
    for (u32 i = 5; i <= 9; ++i) n += GetGameFont(i) ? 1 : 0;
    return n;
  }

  UiRig rig_;
  TempFolder folder_;
  DXLTexture* picture_ = nullptr;
  std::vector<std::unique_ptr<KGEFont>> made_;
  std::vector<u8> body_;
  kis::DataFileReaderW* reader_ = nullptr;
};

TEST_F(GameFontSectionTest, FontsReadBackIntoFiveToNineResumingAfterEveryFont) {
  Open(body_);
  GetResourceServices().loadingProgress = &AlwaysYield;
  SectionCursor cursor;
  for (u32 i = 1; i <= 4; ++i) {
    ASSERT_EQ(LoadGameFonts(reader_, &cursor), 0);
    EXPECT_EQ(Loaded(), i);
  }
  ASSERT_EQ(LoadGameFonts(reader_, &cursor), 0);  // the fifth: the hook still asks for the frame
  EXPECT_EQ(LoadGameFonts(reader_, &cursor), 1);
  EXPECT_EQ(cursor.error, 0u);
  EXPECT_EQ(Loaded(), 5u);
  EXPECT_TRUE(reader_->OpenSection(kConstantsSectionId, kConstantsSectionSubId));
  for (u32 i = 0; i < 4; ++i) {
    auto* font = static_cast<KGEBitmapFont*>(GetGameFont(5 + i));
    EXPECT_EQ(font->GetSignature1(), kKGEBitmapFontSignature1);
    EXPECT_EQ(font->GetTexture(), picture_);
    EXPECT_EQ(font->GetTracking(), static_cast<i32>(i));
    EXPECT_EQ(font->GetGlyphCount(), 2u);
    EXPECT_EQ(font->GetSpace(), 2);
  }
  EXPECT_EQ(GetGameFont(9)->GetSignature1(), kKGEWinFontSignature1);
  // Written again, the table gives the same bytes.
  std::vector<GameFontEntry> again;
  for (u32 i = 5; i <= 9; ++i) again.push_back({GetGameFont(i), u"game_fonts"});
  EXPECT_EQ(Body(again), body_);
}

TEST_F(GameFontSectionTest, DamagedSectionsSetTheErrorFlag) {
  // Where the second font begins: the first one's bytes are a body of one.
  const size_t one = Body({{made_[0].get(), u"game_fonts"}}).size() - 4;
  struct Case {
    const char* what;
    std::vector<u8> body;
    u32 fonts;
  };
  std::vector<Case> cases;
  {
    std::vector<u8> b = body_;
    kis::PutU32LE(b.data(), 4);
    cases.push_back({"count 4", b, 0});
  }
  {
    std::vector<u8> b = body_;
    kis::PutU32LE(b.data(), 6);
    cases.push_back({"count 6", b, 0});
  }
  {
    std::vector<u8> b = body_;
    kis::PutU32LE(b.data() + 4 + one, 0x12345678u);
    cases.push_back({"unknown signature", b, 1});
  }
  {
    std::vector<u8> b = body_;
    b[4 + one + 8 + 12] = 'x';  // the texture header names a picture set 1 lacks
    cases.push_back({"no such picture", b, 1});
  }
  {
    std::vector<u8> b = body_;
    kis::PutU32LE(b.data() + 4 + one + 8 + 4, 0);  // the texture header's magic
    cases.push_back({"bad texture header", b, 1});
  }
  cases.push_back({"cut in the second font", std::vector<u8>(body_.begin(), body_.begin() + 4 + one + 40), 1});
  {
    std::vector<u8> b = body_;
    b.insert(b.end(), {0, 0, 0, 0});
    cases.push_back({"bytes after the last font", b, 5});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FreeGameFonts();
    Open(c.body);
    SectionCursor cursor;
    EXPECT_EQ(LoadGameFonts(reader_, &cursor), 1);
    EXPECT_EQ(cursor.error, 1u);
    EXPECT_EQ(Loaded(), c.fonts);
    EXPECT_EQ(reader_->GetOpenEntry(), nullptr);
  }
  // A missing section fails the same way.
  FreeGameFonts();
  kis::CloseDataFile(reader_);
  const std::u16string path = plat::Utf8ToUtf16(folder_.Path() + "/Empty.dat");
  ASSERT_TRUE(WriteDataArchive(path.c_str(), {{kConstantsSectionId, kConstantsSectionSubId, {}}}));
  reader_ = kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
  SectionCursor cursor;
  EXPECT_EQ(LoadGameFonts(reader_, &cursor), 1);
  EXPECT_EQ(cursor.error, 1u);
}

}  // namespace

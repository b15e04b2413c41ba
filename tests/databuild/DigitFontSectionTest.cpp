// The digit fonts' section ("FGID") as the builder writes it, read back by
// the game's resumable reader into a window manager: interrupted after every
// font and carried on, every font equal to its record and showing set 1's
// "digit_fonts" picture; and the damaged sections it refuses.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DigitFontArt.h"
#include "app/GameWorld.h"
#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "content/ContentWriter.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/text/DigitalFont.h"
#include "platform/encoding/Utf.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteSet.h"
#include "testsupport/TempFolder.h"
#include "ui/DigitFontSection.h"
#include "ui/WindowManager.h"

namespace {

bool AlwaysYield(float) { return true; }

class DigitFontSectionTest : public ::testing::Test {
 protected:
  DigitFontSectionTest() {
    ResetAllServices();
    picture_ = set_.GetTextures()->NewTexture();
    picture_->SetName(u"digit_fonts");
  }
  ~DigitFontSectionTest() override {
    kis::CloseDataFile(reader_);
    ResetAllServices();
  }

  // An archive of the sections, opened.
  void Open(const std::vector<DataSection>& sections) {
    const std::u16string path = plat::Utf8ToUtf16(folder_.Path() + "/Data.dat");
    ASSERT_TRUE(WriteDataArchive(path.c_str(), sections));
    reader_ = kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2,
                                       kDataArchiveVersion);
    ASSERT_NE(reader_, nullptr);
  }
  void OpenBody(const std::vector<u8>& body) {
    Open({{kDigitFontSectionId, kDigitFontSectionSubId, body}, {kConstantsSectionId, kConstantsSectionSubId, {}}});
  }
  // Calls the reader to its end; the calls it took.
  u32 ReadAll(SectionCursor* cursor, WindowManager* manager) {
    u32 calls = 1;
    while (LoadDigitFonts(reader_, cursor, manager) == 0 && calls < 100) ++calls;
    return calls;
  }

  TempFolder folder_;
  SpriteSet set_{kDigitFontSpriteSet};
  DXLTexture* picture_ = nullptr;
  kis::DataFileReaderW* reader_ = nullptr;
};

TEST_F(DigitFontSectionTest, BuiltFontsReadBackResumingAfterEveryFont) {
  const std::vector<u8> body = DigitFontSection();
  OpenBody(body);
  WindowManager manager;
  SectionCursor cursor;
  GetResourceServices().loadingProgress = &AlwaysYield;
  ASSERT_EQ(LoadDigitFonts(reader_, &cursor, &manager), 0);  // one font, then the frame back
  EXPECT_EQ(cursor.total, 2u);
  EXPECT_EQ(manager.Fonts().GetCount(), 1);
  ASSERT_EQ(LoadDigitFonts(reader_, &cursor, &manager), 0);  // the next, not the first again
  EXPECT_EQ(manager.Fonts().GetCount(), 2);
  EXPECT_EQ(LoadDigitFonts(reader_, &cursor, &manager), 1);
  EXPECT_EQ(cursor.error, 0u);
  EXPECT_EQ(reader_->GetOpenEntry(), nullptr);
  EXPECT_TRUE(reader_->OpenSection(kConstantsSectionId, kConstantsSectionSubId));

  // Each font is its record again, on the picture of set 1.
  std::vector<u8> again(4);
  kis::PutU32LE(again.data(), 2);
  for (i32 i = 0; i < manager.Fonts().GetCount(); ++i) {
    const std::vector<u8> entry = manager.Fonts().Get(i)->Encode();
    again.insert(again.end(), entry.begin(), entry.end());
  }
  EXPECT_EQ(again, body);
  const DigitalFont* money = manager.FindFont(kMoneyDigitFont);
  const DigitalFont* price = manager.FindFont(kPriceDigitFont);
  ASSERT_NE(money, nullptr);
  ASSERT_NE(price, nullptr);
  EXPECT_EQ(price->GetTexture(), picture_);
  EXPECT_EQ(money->GetTexture(), picture_);
  EXPECT_LT(price->GetGlyphWidth(1), price->GetGlyphWidth(8));  // the one is narrow
  ASSERT_EQ(price->GetModeCount(), 1);
  EXPECT_EQ(price->GetMode(0)->height, 20);
  EXPECT_GE(price->GetMode(0)->y, money->GetMode(0)->y + money->GetMode(0)->height);  // rows apart
}

// Each damage sets the error flag and ends the step; the fonts read before
// it stay with the manager, the broken one is gone. The archive stays
// readable after a refusal inside the section.
TEST_F(DigitFontSectionTest, DamagedSectionsSetTheErrorFlag) {
  const std::vector<u8> good = DigitFontSection();
  const u32 first = 4 + static_cast<u32>(good.size() - 4) / 2;  // where the second entry begins (equal sizes)
  struct Case {
    const char* what;
    std::vector<u8> body;
    i32 fonts;
  };
  std::vector<Case> cases;
  {
    std::vector<u8> b = good;
    kis::PutU32LE(b.data() + first, 71);  // the second entry's header size
    cases.push_back({"bad header size", b, 1});
  }
  {
    std::vector<u8> b(good.begin(), good.begin() + first + 40);
    cases.push_back({"second entry cut in its header", b, 1});
  }
  {
    std::vector<u8> b = good;
    kis::PutU32LE(b.data(), 3);
    cases.push_back({"count beyond the entries", b, 2});
  }
  {
    std::vector<u8> b = good;
    b.insert(b.end(), {0, 0, 0, 0});
    cases.push_back({"bytes after the last entry", b, 2});
  }
  {
    std::vector<u8> b = good;
    kis::PutU32LE(b.data() + first + 64, 0x10000001u);  // a mode count whose table size wraps to 16
    kis::PutU32LE(b.data() + first + 68, 16);
    cases.push_back({"mode count wrapping", b, 1});
  }
  cases.push_back({"count cut short", {2, 0}, 0});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    kis::CloseDataFile(reader_);
    OpenBody(c.body);
    WindowManager manager;
    SectionCursor cursor;
    ReadAll(&cursor, &manager);
    EXPECT_EQ(cursor.error, 1u);
    EXPECT_EQ(manager.Fonts().GetCount(), c.fonts);
    EXPECT_EQ(reader_->GetOpenEntry(), nullptr);
    EXPECT_TRUE(reader_->OpenSection(kConstantsSectionId, kConstantsSectionSubId));
    reader_->CloseSection();
  }

  // No section, no manager; an empty section ends in one call.
  kis::CloseDataFile(reader_);
  Open({{kConstantsSectionId, kConstantsSectionSubId, {}}});
  WindowManager manager;
  SectionCursor missing;
  EXPECT_EQ(ReadAll(&missing, &manager), 1u);
  EXPECT_EQ(missing.error, 1u);
  kis::CloseDataFile(reader_);
  OpenBody(good);
  SectionCursor orphan;
  EXPECT_EQ(ReadAll(&orphan, nullptr), 1u);
  EXPECT_EQ(orphan.error, 1u);
  kis::CloseDataFile(reader_);
  OpenBody({0, 0, 0, 0});
  SectionCursor empty;
  EXPECT_EQ(ReadAll(&empty, &manager), 1u);
  EXPECT_EQ(empty.error, 0u);
  EXPECT_EQ(manager.Fonts().GetCount(), 0);
}

}  // namespace

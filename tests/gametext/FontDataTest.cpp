#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KgeTestSupport.h"
#include "TextTestSupport.h"
#include "base/Crc32.h"
#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "gametext/KGEBitmapFont.h"
#include "gametext/KGEFontData.h"
#include "gametext/KGEWinFont.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/ViewerRig.h"

using viewertest::ViewerRig;

namespace {

using Bytes = std::vector<u8>;

class FontData : public ::testing::Test {
 protected:
  void SetUp() override {
    kgetest::UseTestFonts();
    ASSERT_EQ(rig_.Open(320, 240), 0);
    picture_ = texttest::MakePicture(rig_.viewer.get(), 64, 64, [](i32, i32) { return 0xFFFFFFFFu; });
  }

  // The bytes a writer puts into section (1, 0).
  Bytes Record(const std::function<i32(kis::BaseDataFileWriter*)>& write) {
    const std::string path = folder_.Path() + "/written.dat";
    const std::u16string name = plat::Utf8ToUtf16(path);
    kis::DataFileWriterW* w = kis::CreateDataFileWriterW(name.c_str(), imagefiles::kSig1, imagefiles::kSig2, 1, false);
    EXPECT_NE(w, nullptr);
    if (!w) return {};
    w->BeginSection(1, 0);
    EXPECT_EQ(write(w), KGE_S_OK);
    w->EndSection();
    EXPECT_TRUE(kis::CloseDataFile(w));
    kis::DataFileReaderW* r = kis::OpenDataFileReaderW(name.c_str(), imagefiles::kSig1, imagefiles::kSig2, 1);
    Bytes bytes;
    if (r && r->OpenSection(1, 0)) {
      bytes.resize(r->GetSectionSize());
      EXPECT_TRUE(bytes.empty() || r->Read(bytes.data(), static_cast<u32>(bytes.size())));
    }
    kis::CloseDataFile(r);
    return bytes;
  }

  // Runs `read` on a reader whose section (1, 0) holds `bytes`.
  i32 ReadBack(const Bytes& bytes, const std::function<i32(kis::BaseDataFileReader*)>& read) {
    const std::string path = folder_.Path() + "/read.dat";
    EXPECT_TRUE(imagefiles::WriteArchive(path, {bytes}));
    const std::u16string name = plat::Utf8ToUtf16(path);
    kis::DataFileReaderW* r = kis::OpenDataFileReaderW(name.c_str(), imagefiles::kSig1, imagefiles::kSig2, 1);
    EXPECT_NE(r, nullptr);
    EXPECT_TRUE(r && r->OpenSection(1, 0));
    const i32 hr = read(r);
    kis::CloseDataFile(r);
    return hr;
  }

  i32 LoadBitmap(const Bytes& bytes, std::unique_ptr<KGEBitmapFont>* out = nullptr) {
    return ReadBack(bytes, [&](kis::BaseDataFileReader* r) {
      KGEBitmapFont* f = nullptr;
      const i32 hr = KGELoadBitmapFont(rig_.viewer.get(), picture_.get(), r, &f);
      if (hr < 0) {
        EXPECT_EQ(f, nullptr);
      }
      if (out) {
        out->reset(f);
      } else {
        delete f;
      }
      return hr;
    });
  }

  i32 LoadWin(const Bytes& bytes, std::unique_ptr<KGEWinFont>* out = nullptr) {
    return ReadBack(bytes, [&](kis::BaseDataFileReader* r) {
      KGEWinFont* f = nullptr;
      const i32 hr = KGELoadWinFont(rig_.viewer.get(), r, &f);
      if (hr < 0) {
        EXPECT_EQ(f, nullptr);
      }
      if (out) {
        out->reset(f);
      } else {
        delete f;
      }
      return hr;
    });
  }

  std::unique_ptr<KGEBitmapFont> Described(const std::string& body) {
    i32 hr = 0;
    auto font = texttest::LoadDescription(rig_.viewer.get(), picture_.get(),
                                          texttest::WriteDescription(folder_, "font.txt", body), &hr);
    EXPECT_EQ(hr, KGE_S_OK);
    return font;
  }

  // A bitmap font with explicit cells, kerning and every metric set.
  Bytes ExplicitRecord() {
    auto font = Described("glyphs {\n  height = 9\n  glyphs = (0,0,5), (5,0,6), (11,0,7)\n  chars = \"ABC\"\n"
                          "  ascent = 7\n  space = 3\n  defchar = U+0043\n  offsetlist = (1,2), (3,4), (5,6)\n"
                          "  kerning = (U+0041, U+0042, -1), (U+0041, U+0043, 2), (U+0043, U+0041, -3)\n"
                          "  tracking = -1\n  leading = 4\n  color = 12345678\n}\n");
    return Record([&](kis::BaseDataFileWriter* w) { return KGESaveFont(w, font.get()); });
  }

  ViewerRig rig_;
  TempFolder folder_;
  std::unique_ptr<DXLTexture> picture_;
};

// Header word at `offset` (after the 8-byte signature), and the header CRC
// made right again after a change.
u32 Word(const Bytes& b, u32 offset) { return kis::GetU32LE(b.data() + 8 + offset); }
void SetWord(Bytes& b, u32 offset, u32 v) { kis::PutU32LE(b.data() + 8 + offset, v); }
void FixBitmapHeader(Bytes& b) { SetWord(b, 4, kis::Crc32(b.data() + 16, 72)); }

TEST_F(FontData, BitmapRecordRoundTripsByteForByte) {
  const Bytes first = ExplicitRecord();
  ASSERT_EQ(first.size(), 8u + 88u + 3 * 16u + 3 * 32u + 3 * 8u);
  EXPECT_EQ(Word(first, 0), 88u);
  std::unique_ptr<KGEBitmapFont> loaded;
  ASSERT_EQ(LoadBitmap(first, &loaded), KGE_S_OK);
  EXPECT_EQ(loaded->GetPicture(), picture_.get());
  EXPECT_FALSE(loaded->OwnsPicture());
  EXPECT_EQ(loaded->GetAscent(), 7);
  EXPECT_EQ(loaded->GetColor(), 0x12345678u);
  EXPECT_EQ(loaded->GetDefaultGlyph(), loaded->FindGlyph(u'C'));
  EXPECT_EQ(loaded->FindKerning(loaded->FindGlyph(u'C'), loaded->FindGlyph(u'A'))->amount, -3);
  const Bytes second = Record([&](kis::BaseDataFileWriter* w) { return KGESaveFont(w, loaded.get()); });
  EXPECT_EQ(first, second);
  ASSERT_EQ(loaded->Acquire(), KGE_S_OK);
  KGESIZE size{};
  loaded->MeasureText(&size, u"AB", KGEFont::kWholeText);
  EXPECT_EQ(size.cx, 9);  // B starts at 5 - 1 (tracking) - 1 (kerning) and is 6 wide
}

TEST_F(FontData, GridRecordRoundTripsByteForByte) {
  auto font = Described("glyphs {\n  height = 8\n  widthlist = 4, 5\n  skip = 1, 2\n  rect = 2, 2, 40, 40\n"
                        "  borders = 1, 0, 0, 1\n  chars = \"xy\"\n}\n");
  const Bytes first = Record([&](kis::BaseDataFileWriter* w) { return KGESaveFont(w, font.get()); });
  EXPECT_EQ(Word(first, 20), 44u);
  std::unique_ptr<KGEBitmapFont> loaded;
  ASSERT_EQ(LoadBitmap(first, &loaded), KGE_S_OK);
  ASSERT_NE(loaded->GetGridLayout(), nullptr);
  EXPECT_EQ(loaded->GetGridLayout()->vskip, 2);
  EXPECT_EQ(loaded->GetGridLayout()->borders.bottom, 1);
  EXPECT_EQ(first, Record([&](kis::BaseDataFileWriter* w) { return KGESaveFont(w, loaded.get()); }));
  ASSERT_EQ(loaded->Acquire(), KGE_S_OK);
  EXPECT_EQ(loaded->GetImages()[1].x, 3 + 4 + 1);
  EXPECT_EQ(loaded->GetImages()[1].y, 2);
}

TEST_F(FontData, SystemFontRecordRoundTripsByteForByte) {
  DXLOUTLINE outline;
  DXLMakeOutline(&outline, 1, 1.5f, 0xFF102030u, 7, 1);
  const KGESHADOW shadow{1, 2, -3, 0x80000000u};
  KGEWinFont* raw = nullptr;
  ASSERT_EQ(KGECreateWinFont(rig_.viewer.get(), kKGEWinFontKerning | kKGEWinFontOutline | kKGEWinFontShadow, 12,
                             650, 1, kKGEStyleItalic, 0x22, 4, 0xABCDEF, u"Arial", 6, u"AVW To", 0x80000000u, u'W',
                             &outline, &shadow, 2, -1, 0xFFEEDDCCu, &raw),
            KGE_S_OK);
  std::unique_ptr<KGEWinFont> font(raw);
  const Bytes first = Record([&](kis::BaseDataFileWriter* w) { return KGEWriteWinFontData(w, font.get()); });
  ASSERT_EQ(first.size(), 8u + 164u + 2 * 5u);
  EXPECT_EQ(Word(first, 0), 164u);
  EXPECT_EQ(Word(first, 104), 5u);  // the blank is no glyph
  std::unique_ptr<KGEWinFont> loaded;
  ASSERT_EQ(LoadWin(first, &loaded), KGE_S_OK);
  EXPECT_EQ(loaded->GetParams().weight, 700);
  EXPECT_EQ(loaded->GetSpaceParam(), 6);
  ASSERT_NE(loaded->GetOutline(), nullptr);
  EXPECT_EQ(loaded->GetOutline()->strength, 7);
  ASSERT_NE(loaded->GetShadow(), nullptr);
  EXPECT_EQ(loaded->GetShadow()->y, -3);
  EXPECT_EQ(loaded->GetColor(), 0xFFEEDDCCu);
  EXPECT_EQ(loaded->GetCellHeight(), font->GetCellHeight());
  EXPECT_EQ(loaded->GetKerningCount(), font->GetKerningCount());
  EXPECT_EQ(first, Record([&](kis::BaseDataFileWriter* w) { return KGEWriteWinFontData(w, loaded.get()); }));
  // The generic save takes the same path for a system font.
  EXPECT_EQ(first, Record([&](kis::BaseDataFileWriter* w) { return KGESaveFont(w, loaded.get()); }));
}

// Font records laid out by hand from their tables, every field a value of
// its own: the reader takes each field from where the table puts it, and
// the writer gives back every byte.
TEST_F(FontData, BitmapRecordLiesWhereItsTablesSayBothWays) {
  const Bytes cells = testsupport::ByteBuilder{}
                          .u32_(0).u32_(0).u32_(5).u8_(1).zeros(3)     // x, y, width, visible, three zeros
                          .u32_(5).u32_(1).u32_(6).u8_(0).zeros(3)
                          .u32_(11).u32_(2).u32_(7).u8_(1).zeros(3)
                          .v;
  // flags, skips, rectangle, borders
  const Bytes grid = testsupport::ByteLayout(44)
                         .u32_(0, 0x71).u32_(4, 1).u32_(8, 2)
                         .u32_(12, 3).u32_(16, 4).u32_(20, 50).u32_(24, 60)
                         .u32_(28, 5).u32_(32, 6).u32_(36, 7).u32_(40, 8)
                         .v;
  // Glyph i: code, own index, image, has-image (cleared by the reader),
  // advance, x and y offsets, its kerning run.
  const u32 runs[3][2] = {{2, 0}, {0, 0}, {1, 2}};
  Bytes glyphs;
  for (u32 i = 0; i < 3; ++i) {
    const Bytes g = testsupport::ByteLayout(32)
                        .u16_(0, u'A' + i).u16_(2, i).u32_(4, 2 - i).u32_(12, 5 + i)
                        .u32_(16, 10 + i).u32_(20, u32(-20) - i).u32_(24, runs[i][0]).u32_(28, runs[i][1])
                        .v;
    glyphs.insert(glyphs.end(), g.begin(), g.end());
  }
  const Bytes pairs = testsupport::ByteBuilder{}.u32_(1).u32_(u32(-1)).u32_(2).u32_(2).u32_(0).u32_(u32(-3)).v;
  testsupport::ByteLayout header(88);
  header.u32_(0, 88).u32_(8, 9).u32_(12, 3).u32_(16, 48).u32_(20, 44)
      .u32_(24, kis::Crc32(cells.data(), 48)).u32_(28, kis::Crc32(grid.data(), 44))
      .u32_(32, 1).u32_(36, 11).u32_(40, 7).u32_(44, 3).u32_(48, u'C')
      .u32_(52, 3).u32_(56, 96).u32_(60, kis::Crc32(glyphs.data(), 96))
      .u32_(64, 3).u32_(68, 24).u32_(72, kis::Crc32(pairs.data(), 24))
      .u32_(76, u32(-1)).u32_(80, 4).u32_(84, 0x12345678u);
  header.u32_(4, kis::Crc32(header.v.data() + 8, 72));
  const Bytes hand = testsupport::ByteBuilder{}
                         .u32_(kKGEBitmapFontSignature1).u32_(kKGEBitmapFontSignature2)
                         .raw(header.v).raw(cells).raw(grid).raw(glyphs).raw(pairs)
                         .v;

  std::unique_ptr<KGEBitmapFont> font;
  ASSERT_EQ(LoadBitmap(hand, &font), KGE_S_OK);
  EXPECT_EQ(font->GetCellHeight(), 9);
  EXPECT_EQ(font->GetCharset(), 1u);
  EXPECT_EQ((std::vector<i32>{font->GetHeight(), font->GetAscent(), font->GetSpace()}), (std::vector<i32>{11, 7, 3}));
  EXPECT_EQ(font->GetDefaultChar(), u32{u'C'});
  EXPECT_EQ((std::vector<i32>{font->GetTracking(), font->GetLeading()}), (std::vector<i32>{-1, 4}));
  EXPECT_EQ(font->GetColor(), 0x12345678u);
  ASSERT_EQ(font->GetImageCount(), 3u);
  const KGEGLYPHIMAGE& cell = font->GetImages()[1];
  EXPECT_EQ((std::vector<i32>{cell.x, cell.y, cell.width, cell.visible}), (std::vector<i32>{5, 1, 6, 0}));
  EXPECT_EQ(font->GetImages()[2].visible, 1);
  const KGEGLYPHLAYOUT* layout = font->GetGridLayout();
  ASSERT_NE(layout, nullptr);
  EXPECT_EQ((std::vector<i32>{static_cast<i32>(layout->flags), layout->hskip, layout->vskip, layout->rect.left,
                              layout->rect.top, layout->rect.right, layout->rect.bottom, layout->borders.left,
                              layout->borders.top, layout->borders.right, layout->borders.bottom}),
            (std::vector<i32>{0x71, 1, 2, 3, 4, 50, 60, 5, 6, 7, 8}));
  ASSERT_EQ(font->GetGlyphCount(), 3u);
  const KGEGLYPH& c = font->GetGlyphs()[2];
  EXPECT_EQ((std::vector<i64>{c.code, c.index, c.image, c.advance, c.xOffset, c.yOffset, c.kernCount, c.kernStart}),
            (std::vector<i64>{u'C', 2, 0, 7, 12, -22, 1, 2}));
  ASSERT_EQ(font->GetKerningCount(), 3u);
  EXPECT_EQ(font->GetKerningPairs()[0].second, 1u);
  EXPECT_EQ(font->GetKerningPairs()[2].amount, -3);
  const Bytes written = Record([&](kis::BaseDataFileWriter* w) { return KGESaveFont(w, font.get()); });
  EXPECT_TRUE(testsupport::SameBytes(written, hand));
}

TEST_F(FontData, SystemRecordLiesWhereItsTablesSayBothWays) {
  const Bytes chars = testsupport::ByteBuilder{}.u16_(u'a').u16_(u'b').u16_(u'c').v;
  testsupport::ByteLayout header(164);
  header.u32_(0, 164)
      .u32_(8, 12).u32_(12, 700).u32_(16, 1).u8_(20, kKGEStyleBold | kKGEStyleItalic).u8_(21, 0x22).u8_(22, 5)
      .u32_(24, 0x336699).wide(28, u"Arial")                            // creation parameters
      .u32_(92, kKGEWinFontOutline | kKGEWinFontShadow).u32_(96, 4).u32_(100, u'?')
      .u32_(104, 3).u32_(108, 6).u32_(112, kis::Crc32(chars.data(), 6))
      .u32_(116, 1).u32_(120, 2).u32_(124, 0xFF102030u)
      .u32_(128, 1).f32_(132, 1.5f).u32_(136, 0xFF000000u).u8_(140, 64).u32_(144, 1)  // outline
      .u32_(148, 1).u32_(152, 2).u32_(156, u32(-3)).u32_(160, 0x80000000u);          // shadow
  header.u32_(4, kis::Crc32(header.v.data() + 8, 148));
  const Bytes hand = testsupport::ByteBuilder{}
                         .u32_(kKGEWinFontSignature1).u32_(kKGEWinFontSignature2).raw(header.v).raw(chars)
                         .v;

  std::unique_ptr<KGEWinFont> font;
  ASSERT_EQ(LoadWin(hand, &font), KGE_S_OK);
  const KGEWINFONTPARAMS& p = font->GetParams();
  EXPECT_EQ((std::vector<i64>{p.size, p.weight, p.charset, p.style, p.pitchAndFamily, p.quality, p.color}),
            (std::vector<i64>{12, 700, 1, 3, 0x22, 5, 0x336699}));
  EXPECT_EQ(std::u16string(p.face), u"Arial");
  EXPECT_EQ(font->GetFlags(), kKGEWinFontOutline | kKGEWinFontShadow);
  EXPECT_EQ(font->GetSpaceParam(), 4);
  EXPECT_EQ(font->GetDefaultChar(), u32{u'?'});
  ASSERT_EQ(font->GetGlyphCount(), 3u);
  EXPECT_EQ(font->GetGlyphs()[2].code, u'c');
  EXPECT_EQ((std::vector<i64>{font->GetTracking(), font->GetLeading(), font->GetColor()}),
            (std::vector<i64>{1, 2, 0xFF102030u}));
  ASSERT_NE(font->GetOutline(), nullptr);
  const DXLOUTLINE& o = *font->GetOutline();
  EXPECT_EQ((std::vector<double>{double(o.mode), o.radius, double(o.colour), double(o.strength), double(o.soft)}),
            (std::vector<double>{1, 1.5, 0xFF000000u, 64, 1}));
  ASSERT_NE(font->GetShadow(), nullptr);
  const KGESHADOW& sh = *font->GetShadow();
  EXPECT_EQ((std::vector<i64>{sh.mode, sh.x, sh.y, sh.color}), (std::vector<i64>{1, 2, -3, 0x80000000u}));
  const Bytes written = Record([&](kis::BaseDataFileWriter* w) { return KGEWriteWinFontData(w, font.get()); });
  EXPECT_TRUE(testsupport::SameBytes(written, hand));
}

TEST_F(FontData, HeaderChecksumCoversItsFixedPartOnly) {
  KGEWinFont* raw = nullptr;
  ASSERT_EQ(KGECreateWinFont(rig_.viewer.get(), 0, 10, 400, 1, 0, 0, 0, 0xFFFFFF, u"Arial", 5, u"AB", 2, 0, nullptr,
                             nullptr, 0, 0, 0xFFFFFFFFu, &raw),
            KGE_S_OK);
  std::unique_ptr<KGEWinFont> font(raw);
  const Bytes win = Record([&](kis::BaseDataFileWriter* w) { return KGEWriteWinFontData(w, font.get()); });
  for (u32 offset : {8u, 30u, 96u, 124u, 155u}) {
    Bytes bad = win;
    bad[8 + offset] ^= 0x01;
    EXPECT_EQ(LoadWin(bad), KGE_E_FAIL) << offset;
  }
  for (u32 offset : {156u, 160u, 163u}) {  // the shadow's last eight bytes
    Bytes loose = win;
    loose[8 + offset] ^= 0x01;
    EXPECT_EQ(LoadWin(loose), KGE_S_OK) << offset;
  }
  Bytes chars = win;
  chars.back() ^= 0x01;  // the character list has its own check
  EXPECT_EQ(LoadWin(chars), KGE_E_FAIL);

  const Bytes bitmap = ExplicitRecord();
  for (u32 offset : {8u, 44u, 79u}) {
    Bytes bad = bitmap;
    bad[8 + offset] ^= 0x01;
    EXPECT_EQ(LoadBitmap(bad), KGE_E_FAIL) << offset;
  }
  Bytes loose = bitmap;
  loose[8 + 84] ^= 0x01;  // the colour is outside the check
  std::unique_ptr<KGEBitmapFont> loaded;
  EXPECT_EQ(LoadBitmap(loose, &loaded), KGE_S_OK);
  EXPECT_EQ(loaded->GetColor(), 0x12345679u);
  for (size_t at : {size_t{8 + 88 + 3}, size_t{8 + 88 + 48 + 5}, bitmap.size() - 1}) {
    Bytes array = bitmap;
    array[at] ^= 0x40;  // cells, glyphs, kerning: each has its own check
    EXPECT_EQ(LoadBitmap(array), KGE_E_FAIL) << at;
  }
}

TEST_F(FontData, ImpossibleCountsAndSizesAreRefused) {
  const Bytes good = ExplicitRecord();
  Bytes cells = good;
  SetWord(cells, 12, 5000);  // above the cap
  SetWord(cells, 16, 5000 * 16);
  FixBitmapHeader(cells);
  EXPECT_EQ(LoadBitmap(cells), KGE_E_FAIL);
  SetWord(cells, 16, 4096 * 16);  // sized for the cap, but the bytes are not there
  FixBitmapHeader(cells);
  EXPECT_EQ(LoadBitmap(cells), KGE_E_FAIL);

  Bytes glyphs = good;
  SetWord(glyphs, 52, 0x40000000u);  // 32 x count wraps in 32 bits
  SetWord(glyphs, 56, 0);
  FixBitmapHeader(glyphs);
  EXPECT_EQ(LoadBitmap(glyphs), KGE_E_FAIL);

  Bytes pairs = good;
  SetWord(pairs, 64, 10);  // more pairs than glyphs x glyphs
  SetWord(pairs, 68, 80);
  FixBitmapHeader(pairs);
  EXPECT_EQ(LoadBitmap(pairs), KGE_E_TOOMANYKERNPAIRS);

  Bytes grid = good;
  SetWord(grid, 20, 40);
  FixBitmapHeader(grid);
  EXPECT_EQ(LoadBitmap(grid), KGE_E_FAIL);

  Bytes header = good;
  SetWord(header, 0, 92);
  FixBitmapHeader(header);
  EXPECT_EQ(LoadBitmap(header), KGE_E_FAIL);
}

TEST_F(FontData, GlyphKerningRunsMustLieInsideThePairs) {
  const Bytes good = ExplicitRecord();
  const u32 glyphsAt = 8 + 88 + 3 * 16;
  auto withGlyphWord = [&](u32 glyph, u32 field, u32 value) {
    Bytes b = good;
    kis::PutU32LE(b.data() + glyphsAt + 32 * glyph + field, value);
    SetWord(b, 60, kis::Crc32(b.data() + glyphsAt, 3 * 32));
    FixBitmapHeader(b);
    return b;
  };
  // Glyph A has the run (0, 2) of 3 pairs.
  EXPECT_EQ(LoadBitmap(withGlyphWord(0, 28, 2)), KGE_E_FAIL);           // start 2, count 2 > 3
  EXPECT_EQ(LoadBitmap(withGlyphWord(0, 24, 0xFFFFFFFFu)), KGE_E_FAIL);  // a count that would wrap
  EXPECT_EQ(LoadBitmap(withGlyphWord(0, 28, 1)), KGE_S_OK);             // (1, 2) still fits

  Bytes second = good;
  const u32 pairsAt = glyphsAt + 3 * 32;
  kis::PutU32LE(second.data() + pairsAt, 3);  // a second glyph that does not exist
  SetWord(second, 72, kis::Crc32(second.data() + pairsAt, 24));
  FixBitmapHeader(second);
  EXPECT_EQ(LoadBitmap(second), KGE_E_FAIL);
}

TEST_F(FontData, CutRecordsAndWrongKindsFailCleanly) {
  const Bytes good = ExplicitRecord();
  for (size_t n = 0; n < good.size(); n += 5) {
    EXPECT_EQ(LoadBitmap(Bytes(good.begin(), good.begin() + static_cast<long>(n))), KGE_E_FAIL) << n;
  }
  EXPECT_EQ(LoadWin(good), KGE_E_FAIL);  // a bitmap font's signature
  Bytes winChars = Record([&](kis::BaseDataFileWriter* w) {
    KGEWinFont* raw = nullptr;
    KGECreateWinFont(rig_.viewer.get(), 0, 10, 0, 1, 0, 0, 0, 0, u"Arial", 5, u"AB", 2, 0, nullptr, nullptr, 0, 0,
                     0xFFFFFFFFu, &raw);
    std::unique_ptr<KGEWinFont> f(raw);
    return KGEWriteWinFontData(w, f.get());
  });
  Bytes huge = winChars;
  SetWord(huge, 104, 0x7FFFFFFFu);  // a character count the section cannot hold
  SetWord(huge, 108, 0xFFFFFFFEu);
  SetWord(huge, 4, kis::Crc32(huge.data() + 16, 148));
  EXPECT_EQ(LoadWin(huge), KGE_E_FAIL);
  EXPECT_EQ(KGESaveFont(nullptr, nullptr), KGE_E_FAIL);
}

}  // namespace

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/image/D3DFormat.h"
#include "engine/image/DXLBitmap.h"
#include "engine/text/DigitalFont.h"
#include "engine/text/DigitalText.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/GfxRecordingDevice.h"
#include "testsupport/TempFolder.h"
#include "testsupport/ViewerRig.h"

namespace {

constexpr u32 kSig1 = 0x54474944u;
constexpr u32 kSig2 = 1;

// Glyph widths 10 + k for the digits, 6 for the minus.
void SetWidths(DigitalFont& font) {
  for (i32 k = 0; k < 10; ++k) font.SetGlyphWidth(k, 10 + k);
  font.SetGlyphWidth(kDigitMinus, 6);
}

// The glyph a quad shows, told from its left edge in the font's one mode
// (cells 1 pixel apart from x = 0) when the font has no texture.
std::vector<i32> Glyphs(const DigitalText& text, const DigitalFont& font) {
  std::vector<i32> out;
  const DIGITALFONTMODE* mode = font.GetMode(0);
  for (i32 i = 0; i < text.GetGlyphCount(); ++i) {
    const float width = text.GetQuads()[i].v[1].x - text.GetQuads()[i].v[0].x;
    i32 found = -1;
    for (i32 k = 0; k < kDigitGlyphs; ++k)
      if (mode->quads[k].v[1].x - mode->quads[k].v[0].x == width) found = k;
    out.push_back(found);
  }
  return out;
}

class DigitFonts : public ::testing::Test {
 protected:
  DigitFonts() {
    SetWidths(font_);
    font_.SetSpacing(2);
    font_.SetHasMinus(true);
    font_.AddMode(0, 0, 20, 1);
  }
  DigitalFont font_;
};

TEST_F(DigitFonts, ZeroShowsOneDigitOrPaddedDigits) {
  DigitalText text(&font_, 0, 3, false, 0);
  EXPECT_EQ(text.GetGlyphCount(), 0);  // nothing before the first number
  text.SetNumber(0);
  EXPECT_EQ(Glyphs(text, font_), (std::vector<i32>{0}));
  EXPECT_EQ(text.GetWidth(), 10);
  EXPECT_EQ(text.GetHeight(), 20);

  DigitalText padded(&font_, 0, 3, true, 0);
  padded.SetNumber(0);
  EXPECT_EQ(Glyphs(padded, font_), (std::vector<i32>{0, 0, 0}));
  EXPECT_EQ(padded.GetWidth(), 10 * 3 + 2 * 2);
}

TEST_F(DigitFonts, LongNumbersKeepTheirLowestDigits) {
  DigitalText text(&font_, 0, 3, false, 1);
  text.SetNumber(12345);
  EXPECT_EQ(Glyphs(text, font_), (std::vector<i32>{3, 4, 5}));
  EXPECT_EQ(text.GetWidth(), 13 + 14 + 15 + 2 * (2 + 1));
  // Each glyph starts where the previous one ended plus the spacing.
  EXPECT_FLOAT_EQ(text.GetQuads()[1].v[0].x - text.GetQuads()[0].v[0].x, 13 + 3);
}

TEST_F(DigitFonts, NegativeNumbersShowTheMinusOnlyWhenTheFontHasOne) {
  DigitalText text(&font_, 0, 4, false, 0);
  text.SetNumber(-7);
  EXPECT_EQ(Glyphs(text, font_), (std::vector<i32>{kDigitMinus, 7}));

  text.SetNumber(-1234);  // too long: the minus goes first
  EXPECT_EQ(Glyphs(text, font_), (std::vector<i32>{1, 2, 3, 4}));

  DigitalFont plain;
  SetWidths(plain);
  plain.AddMode(0, 0, 20, 1);
  DigitalText unsigned_(&plain, 0, 4, false, 0);
  unsigned_.SetNumber(-7);
  EXPECT_EQ(Glyphs(unsigned_, plain), (std::vector<i32>{7}));
}

TEST_F(DigitFonts, PaddingZerosStandBetweenTheMinusAndTheDigits) {
  DigitalText text(&font_, 0, 5, true, 0);
  text.SetNumber(-42);
  EXPECT_EQ(Glyphs(text, font_), (std::vector<i32>{kDigitMinus, 0, 0, 4, 2}));
}

TEST_F(DigitFonts, TheMostNegativeValueShowsAllItsDigits) {
  DigitalText text(&font_, 0, 11, false, 0);
  text.SetNumber(INT_MIN);
  EXPECT_EQ(Glyphs(text, font_), (std::vector<i32>{kDigitMinus, 2, 1, 4, 7, 4, 8, 3, 6, 4, 8}));
  text.SetNumber(INT_MAX);
  EXPECT_EQ(Glyphs(text, font_), (std::vector<i32>{2, 1, 4, 7, 4, 8, 3, 6, 4, 7}));
}

TEST_F(DigitFonts, MoreThanElevenDigitsAreLimitedToTheRow) {
  DigitalText text(&font_, 0, 40, true, 0);
  EXPECT_EQ(text.GetDigits(), 11);
  text.SetNumber(5);
  EXPECT_EQ(text.GetGlyphCount(), 11);
  EXPECT_EQ(Glyphs(text, font_).back(), 5);
  DigitalText negative(&font_, 0, -3, true, 0);
  negative.SetNumber(5);
  EXPECT_EQ(negative.GetGlyphCount(), 0);
}

TEST_F(DigitFonts, UnknownModeOrNoFontShowsNothing) {
  DigitalText text(&font_, 3, 4, false, 0);
  text.SetNumber(12);
  EXPECT_EQ(text.GetGlyphCount(), 0);
  EXPECT_EQ(text.GetWidth(), 0);
  EXPECT_EQ(text.GetHeight(), 0);
  DigitalText none(nullptr, 0, 4, false, 0);
  none.SetNumber(12);
  EXPECT_EQ(none.GetGlyphCount(), 0);
  none.Draw();  // nothing to draw with
}

TEST_F(DigitFonts, ColourReachesBuiltAndLaterGlyphs) {
  DigitalText text(&font_, 0, 4, false, 0);
  text.SetNumber(12);
  text.SetColor(0x80FF0000u);
  for (i32 i = 0; i < 2; ++i)
    for (const DXLVERTEX& v : text.GetQuads()[i].v) EXPECT_EQ(v.color, 0x80FF0000u);
  text.SetNumber(345);
  for (i32 i = 0; i < 3; ++i)
    for (const DXLVERTEX& v : text.GetQuads()[i].v) EXPECT_EQ(v.color, 0x80FF0000u);
}

// Writes `bytes` as the one section (1, 1) of a data file and opens it.
class Entries : public ::testing::Test {
 protected:
  std::u16string Write(const std::vector<u8>& bytes) {
    const std::u16string name = plat::Utf8ToUtf16(folder_.Path() + "/digits.dat");
    kis::DataFileWriterW w(kSig1, kSig2, 1);
    EXPECT_TRUE(w.Open(name.c_str(), false));
    w.BeginSection(1, 1);
    w.Write(bytes.data(), static_cast<u32>(bytes.size()));
    w.EndSection();
    EXPECT_TRUE(w.Close());
    return name;
  }
  bool ReadBytes(const std::vector<u8>& bytes, DigitalFont* font, DXLTextures* list = nullptr) {
    const std::u16string name = Write(bytes);
    kis::DataFileReaderW r(kSig1, kSig2, 1);
    if (!r.Open(name.c_str()) || !r.OpenSection(1, 1)) return false;
    return font->Read(&r, list);
  }
  static std::vector<u8> Entry(u32 count, u32 tableSize, u32 flags = 0) {
    const u32 rows = count < 8 ? count : 0;
    std::vector<u8> b(72 + 16 * static_cast<size_t>(rows));
    kis::PutU32LE(b.data(), 72);
    kis::PutU32LE(b.data() + 4, flags);
    kis::PutU32LE(b.data() + 8, 0x1234);
    for (u32 k = 0; k < 11; ++k) kis::PutU32LE(b.data() + 12 + 4 * k, 5 + k);
    kis::PutU32LE(b.data() + 56, 3);
    kis::PutU32LE(b.data() + 60, 0xFF00);  // only the low byte counts
    kis::PutU32LE(b.data() + 64, count);
    kis::PutU32LE(b.data() + 68, tableSize);
    for (u32 i = 0; i < rows; ++i) {
      kis::PutU32LE(b.data() + 72 + 16 * i, 100 * i);
      kis::PutU32LE(b.data() + 76 + 16 * i, 10 * i);
      kis::PutU32LE(b.data() + 80 + 16 * i, 12);
      kis::PutU32LE(b.data() + 84 + 16 * i, 2);
    }
    return b;
  }

  TempFolder folder_;
};

TEST_F(Entries, EntryReadsAndWritesBack) {
  DigitalFont font;
  ASSERT_TRUE(ReadBytes(Entry(2, 32), &font));
  EXPECT_EQ(font.GetHeaderValue(), 0x1234u);
  EXPECT_EQ(font.GetGlyphWidth(10), 15);
  EXPECT_EQ(font.GetSpacing(), 3);
  EXPECT_FALSE(font.HasMinus());
  ASSERT_EQ(font.GetModeCount(), 2);
  EXPECT_EQ(font.GetMode(1)->x, 100);
  EXPECT_EQ(font.GetMode(1)->y, 10);
  // Without a texture a glyph is a plain rectangle of its size at (0, 0).
  EXPECT_EQ(font.GetMode(1)->quads[1].v[0].x, 0.0f);
  EXPECT_EQ(font.GetMode(1)->quads[1].v[2].x, 6.0f);
  EXPECT_EQ(font.GetMode(1)->quads[1].v[2].y, 12.0f);

  const std::u16string name = plat::Utf8ToUtf16(folder_.Path() + "/again.dat");
  {
    kis::DataFileWriterW w(kSig1, kSig2, 1);
    ASSERT_TRUE(w.Open(name.c_str(), false));
    w.BeginSection(1, 1);
    ASSERT_TRUE(font.Write(&w));
    w.EndSection();
    ASSERT_TRUE(w.Close());
  }
  kis::DataFileReaderW r(kSig1, kSig2, 1);
  ASSERT_TRUE(r.Open(name.c_str()) && r.OpenSection(1, 1));
  DigitalFont again;
  ASSERT_TRUE(again.Read(&r, nullptr));
  EXPECT_EQ(again.GetHeaderValue(), 0x1234u);
  EXPECT_EQ(again.GetModeCount(), 2);
  EXPECT_EQ(again.GetMode(1)->gap, 2);
  EXPECT_EQ(again.GetGlyphWidth(3), 8);
}

TEST_F(Entries, BrokenHeadersAndTablesFail) {
  DigitalFont font;
  std::vector<u8> wrongSize = Entry(1, 16);
  kis::PutU32LE(wrongSize.data(), 76);
  EXPECT_FALSE(ReadBytes(wrongSize, &font));
  EXPECT_FALSE(ReadBytes(Entry(1, 32), &font));  // table size is not count x 16
  // 0x10000001 x 16 wraps to 16 in 32 bits: still refused.
  EXPECT_FALSE(ReadBytes(Entry(0x10000001u, 16), &font));
  EXPECT_FALSE(ReadBytes(Entry(0xFFFFFFFFu, 0xFFFFFFF0u), &font));  // negative count
  std::vector<u8> cut = Entry(3, 48);
  cut.resize(72 + 20);  // the table is cut short
  EXPECT_FALSE(ReadBytes(cut, &font));
  std::vector<u8> header = Entry(0, 0);
  header.resize(40);
  EXPECT_FALSE(ReadBytes(header, &font));
  EXPECT_EQ(font.GetModeCount(), 0);
  // A texture announced but missing fails.
  EXPECT_FALSE(ReadBytes(Entry(1, 16, 1), &font));
}

TEST_F(Entries, ReadingAgainReplacesTheModes) {
  DigitalFont font;
  ASSERT_TRUE(ReadBytes(Entry(3, 48), &font));
  ASSERT_TRUE(ReadBytes(Entry(1, 16), &font));
  EXPECT_EQ(font.GetModeCount(), 1);
}

// With a viewer: the texture entry, the height taken from the texture and drawing.
class DigitTextures : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.viewer->GetSystem()->RecordDeviceCalls(&calls_);
    ASSERT_EQ(rig_.Open(64, 48), 0);
    list_ = std::make_unique<DXLTextures>(rig_.viewer.get());
    texture_ = list_->NewTexture();
    texture_->SetName(u"Digits");
    DXLBitmap bitmap;
    bitmap.SetFormat(D3DFMT_A8R8G8B8);
    bitmap.SetSize(128, 40);
    texture_->LoadFromBitmap(&bitmap);
    ASSERT_TRUE(texture_->IsReady());
  }
  void TearDown() override { list_.reset(); }

  viewertest::ViewerRig rig_;
  plat::gfx::CallLog calls_;
  std::unique_ptr<DXLTextures> list_;
  DXLTexture* texture_ = nullptr;
  TempFolder folder_;
};

TEST_F(DigitTextures, EntryNamesItsTextureAndHeightZeroReachesTheBottom) {
  DigitalFont font;
  SetWidths(font);
  font.SetHasMinus(true);
  font.SetTexture(texture_);
  font.AddMode(0, 16, 0, 0);
  EXPECT_EQ(font.GetMode(0)->height, 24);  // 40 - 16

  const std::u16string name = plat::Utf8ToUtf16(folder_.Path() + "/tex.dat");
  {
    kis::DataFileWriterW w(kSig1, kSig2, 1);
    ASSERT_TRUE(w.Open(name.c_str(), false));
    w.BeginSection(1, 1);
    ASSERT_TRUE(font.Write(&w));
    w.EndSection();
    ASSERT_TRUE(w.Close());
  }
  kis::DataFileReaderW r(kSig1, kSig2, 1);
  ASSERT_TRUE(r.Open(name.c_str()) && r.OpenSection(1, 1));
  DigitalFont read;
  ASSERT_TRUE(read.Read(&r, list_.get()));
  EXPECT_EQ(read.GetTexture(), texture_);
  EXPECT_TRUE(read.HasMinus());
  // The quad maps the cell of glyph 1 (x 10..21, y 16..40) at its own size.
  const DXLQUAD& q = read.GetMode(0)->quads[1];
  EXPECT_FLOAT_EQ(q.v[1].x - q.v[0].x, 11.0f);
  EXPECT_FLOAT_EQ(q.v[0].u, 10.0f / texture_->GetWidth());

  // The texture going first leaves the font without one.
  list_.reset();
  EXPECT_EQ(read.GetTexture(), nullptr);
  EXPECT_EQ(font.GetTexture(), nullptr);
}

TEST_F(DigitTextures, ModesRebuiltOnceTheTextureIsReady) {
  DXLTexture* later = list_->NewTexture();
  DigitalFont font;
  SetWidths(font);
  font.SetTexture(later);
  font.AddMode(0, 8, 0, 0);
  EXPECT_EQ(font.GetMode(0)->height, 0);
  DXLBitmap bitmap;
  bitmap.SetFormat(D3DFMT_A8R8G8B8);
  bitmap.SetSize(128, 30);
  later->LoadFromBitmap(&bitmap);
  font.RebuildModes();
  EXPECT_EQ(font.GetMode(0)->height, 22);
}

TEST_F(DigitTextures, DrawSelectsTheTextureAndDrawsEachGlyph) {
  DigitalFont font;
  SetWidths(font);
  font.SetTexture(texture_);
  font.AddMode(0, 0, 20, 0);
  DigitalText text(&font, 0, 5, false, 0);
  text.SetNumber(907);
  ASSERT_EQ(rig_.viewer->BeginFrame(), 0);
  calls_.Clear();
  text.Draw();
  EXPECT_EQ(calls_.Matching("DrawPrimitiveUP").size(), 3u);
  EXPECT_FALSE(texture_->IsSelected());
  EXPECT_EQ(rig_.viewer->GetCurrentTexture(), nullptr);
}

}  // namespace

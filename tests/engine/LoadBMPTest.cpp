#include <gtest/gtest.h>

#include "BitmapTestHelpers.h"
#include "testsupport/ByteBuilder.h"

namespace {

using testing_support::AllZero;
using Bytes = testsupport::ByteBuilder;
using testing_support::ExpectRefused;
using testing_support::Load;
using testing_support::PixelHalf;
using testing_support::PixelWord;

// File header, then a 40-byte info header (or infoSize bytes, zero-padded).
Bytes Bmp(i32 w, i32 h, u32 bits, u32 coloursUsed = 0, u32 infoSize = 40, u32 planes = 1, u32 compression = 0) {
  Bytes b;
  b.text("BM").u32_(0).u32_(0).u32_(0);
  b.u32_(infoSize).u32_(static_cast<u32>(w)).u32_(static_cast<u32>(h)).u16_(planes).u16_(bits).u32_(compression);
  b.u32_(0).u32_(0).u32_(0).u32_(coloursUsed).u32_(0);
  b.zeros(infoSize - 40);
  return b;
}

TEST(LoadBMP, TwentyFourBitRowsArePaddedAndBottomUp) {
  // 3 x 2: 9 bytes a row, padded to 12; the bottom row comes first.
  DXLBitmap b;
  Load(DXLLoadBitmapBMP,
       Bmp(3, 2, 24).raw({1, 1, 1, 2, 2, 2, 3, 3, 3, 0, 0, 0}).raw({4, 4, 4, 5, 5, 5, 6, 6, 6, 0, 0, 0}).v, b);
  EXPECT_EQ(b.GetFormat(), u32{D3DFMT_X8R8G8B8});
  EXPECT_EQ(PixelWord(b, 0, 1), 0xFF010101u);
  EXPECT_EQ(PixelWord(b, 2, 0), 0xFF060606u);

  DXLBitmap top;  // negative height: stored top to bottom
  Load(DXLLoadBitmapBMP, Bmp(1, -2, 24).raw({1, 1, 1, 0, 2, 2, 2, 0}).v, top);
  EXPECT_EQ(top.GetHeight(), 2);
  EXPECT_EQ(PixelWord(top, 0, 0), 0xFF010101u);
  EXPECT_EQ(PixelWord(top, 0, 1), 0xFF020202u);
}

TEST(LoadBMP, ThirtyTwoBitLosesItsAlphaAndSixteenBitIsRelabelled) {
  DXLBitmap b;
  Load(DXLLoadBitmapBMP, Bmp(2, 1, 32).u32_(0x00112233).u32_(0x80445566).v, b);
  EXPECT_EQ(PixelWord(b, 0, 0), 0xFF112233u);
  EXPECT_EQ(PixelWord(b, 1, 0), 0xFF445566u);

  DXLBitmap s;
  Load(DXLLoadBitmapBMP, Bmp(1, 1, 16).u16_(0x7C00).u16_(0).v, s);
  EXPECT_EQ(s.GetFormat(), u32{D3DFMT_A1R5G5B5});
  EXPECT_EQ(PixelHalf(s, 0, 0), 0x7C00);  // the X bit is taken as it is
}

TEST(LoadBMP, PalettedDepths) {
  // 8 bits, two colours used; index 7 is beyond the table.
  DXLBitmap b8;
  Load(DXLLoadBitmapBMP, Bmp(3, 1, 8, 2).u32_(0x00AABBCC).u32_(0x00112233).raw({1, 0, 7, 0}).v, b8);
  EXPECT_EQ(PixelWord(b8, 0, 0), 0xFF112233u);
  EXPECT_EQ(PixelWord(b8, 1, 0), 0xFFAABBCCu);
  EXPECT_EQ(PixelWord(b8, 2, 0), 0xFF000000u);

  // 4 bits with the full table of 16 (colours used 0), high nibble first.
  Bytes f = Bmp(3, 1, 4);
  for (u32 i = 0; i < 16; ++i) f.u32_(i * 0x010101u);
  DXLBitmap b4;
  Load(DXLLoadBitmapBMP, f.raw({0x3F, 0x10, 0, 0}).v, b4);
  EXPECT_EQ(PixelWord(b4, 0, 0), 0xFF030303u);
  EXPECT_EQ(PixelWord(b4, 1, 0), 0xFF0F0F0Fu);
  EXPECT_EQ(PixelWord(b4, 2, 0), 0xFF010101u);

  // 1 bit, most significant first; 10 pixels span two bytes.
  DXLBitmap b1;
  Load(DXLLoadBitmapBMP, Bmp(10, 1, 1).u32_(0).u32_(0xFFFFFF).raw({0x81, 0x40, 0, 0}).v, b1);
  EXPECT_EQ(PixelWord(b1, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(PixelWord(b1, 1, 0), 0xFF000000u);
  EXPECT_EQ(PixelWord(b1, 7, 0), 0xFFFFFFFFu);
  EXPECT_EQ(PixelWord(b1, 9, 0), 0xFFFFFFFFu);
  EXPECT_EQ(PixelWord(b1, 8, 0), 0xFF000000u);
}

TEST(LoadBMP, ColoursUsedAboveTheDepthAreReadPastButNotUsed) {
  // 1 bit says 4 colours: all four entries precede the pixels.
  DXLBitmap b;
  Load(DXLLoadBitmapBMP, Bmp(2, 1, 1, 4).u32_(1).u32_(2).u32_(3).u32_(4).raw({0x40, 0, 0, 0}).v, b);
  EXPECT_EQ(PixelWord(b, 0, 0), 0xFF000001u);
  EXPECT_EQ(PixelWord(b, 1, 0), 0xFF000002u);

  DXLBitmap huge;  // a table far beyond the file: the pixels are zero
  Load(DXLLoadBitmapBMP, Bmp(2, 1, 8, 0xFFFFFFFF).u32_(1).raw({0, 0, 0, 0}).v, huge);
  EXPECT_EQ(huge.GetWidth(), 2);
  EXPECT_TRUE(AllZero(huge));
}

TEST(LoadBMP, CoreAndLongInfoHeaders) {
  Bytes core;
  core.text("BM").zeros(12).u32_(12).u16_(2).u16_(2).u16_(1).u16_(24);
  core.raw({1, 1, 1, 2, 2, 2}).raw({3, 3, 3, 4, 4, 4});  // no row padding
  DXLBitmap c;
  Load(DXLLoadBitmapBMP, core.v, c);
  EXPECT_EQ(PixelWord(c, 0, 1), 0xFF010101u);
  EXPECT_EQ(PixelWord(c, 1, 0), 0xFF040404u);

  DXLBitmap v5;  // a 124-byte header: the extra fields are skipped
  Load(DXLLoadBitmapBMP, Bmp(1, 1, 24, 0, 124).raw({7, 8, 9, 0}).v, v5);
  EXPECT_EQ(PixelWord(v5, 0, 0), 0xFF090807u);
}

TEST(LoadBMP, OddDepthsBelowTwentyFourGiveZeroPixels) {
  DXLBitmap b;
  Load(DXLLoadBitmapBMP, Bmp(2, 2, 2).raw({0xFF, 0xFF, 0xFF, 0xFF}).v, b);
  EXPECT_EQ(b.GetFormat(), u32{D3DFMT_X8R8G8B8});
  EXPECT_EQ(b.GetDataSize(), 16u);
  EXPECT_TRUE(AllZero(b));
}

TEST(LoadBMP, ShortPixelsAreZeroFilled) {
  DXLBitmap b;
  Load(DXLLoadBitmapBMP, Bmp(1, 2, 24).raw({1, 1, 1, 0, 2}).v, b);
  EXPECT_EQ(b.GetHeight(), 2);
  EXPECT_TRUE(AllZero(b));
  DXLBitmap t;
  Load(DXLLoadBitmapBMP, Bmp(1, 1, 8, 2).u32_(5).v, t);
  EXPECT_TRUE(AllZero(t));
}

TEST(LoadBMP, HostileHeadersLeaveTheBitmapUnchanged) {
  auto good = Bmp(1, 1, 24).raw({1, 2, 3, 0}).v;
  auto bad = good;
  bad[1] = 'N';
  ExpectRefused(DXLLoadBitmapBMP, bad);
  ExpectRefused(DXLLoadBitmapBMP, std::vector<u8>(good.begin(), good.begin() + 30));
  ExpectRefused(DXLLoadBitmapBMP, Bmp(1, 1, 24, 0, 40, 2).raw({1, 2, 3, 0}).v);     // planes
  ExpectRefused(DXLLoadBitmapBMP, Bmp(1, 1, 24, 0, 40, 1, 1).raw({1, 2, 3, 0}).v);  // compressed
  ExpectRefused(DXLLoadBitmapBMP, Bmp(1, 1, 48).zeros(8).v);
  ExpectRefused(DXLLoadBitmapBMP, Bmp(5000, 1, 24).zeros(16).v);
  ExpectRefused(DXLLoadBitmapBMP, Bmp(4096, 4096, 8).zeros(16).v);
  ExpectRefused(DXLLoadBitmapBMP, Bmp(1, static_cast<i32>(0x80000000u), 24).zeros(16).v);
  ExpectRefused(DXLLoadBitmapBMP, Bmp(-1, 1, 24).zeros(16).v);
  Bytes small;
  small.text("BM").zeros(12).u32_(16).zeros(12);
  ExpectRefused(DXLLoadBitmapBMP, small.v);
  Bytes longHeader = Bmp(1, 1, 24);
  longHeader.v[14] = 0xFF;  // an info header far larger than the file
  ExpectRefused(DXLLoadBitmapBMP, longHeader.v);
}

// A one-entry icon directory whose image follows at offset 22.
Bytes Icon(u32 w, u32 h, u32 entryBits, u32 bits, u32 coloursUsed = 0, u32 planes = 1) {
  Bytes b;
  b.u16_(0).u16_(1).u16_(1);
  b.u8_(w).u8_(h).u8_(0).u8_(0).u16_(planes).u16_(entryBits).u32_(0).u32_(22);
  b.u32_(40).u32_(w).u32_(2 * h).u16_(1).u16_(bits).u32_(0).u32_(0).u32_(0).u32_(0).u32_(coloursUsed).u32_(0);
  return b;
}

TEST(LoadICO, ThirtyTwoBitKeepsItsAlpha) {
  DXLBitmap b;
  Load(DXLLoadBitmapICO, Icon(1, 2, 32, 32).u32_(0x10203040).u32_(0x80112233).v, b);
  EXPECT_EQ(b.GetFormat(), u32{D3DFMT_X8R8G8B8});
  EXPECT_EQ(PixelWord(b, 0, 0), 0x80112233u);  // rows reversed
  EXPECT_EQ(PixelWord(b, 0, 1), 0x10203040u);
}

TEST(LoadICO, AndMaskMakesPixelsTransparent) {
  // 2 x 2, 24 bits: rows of 6 bytes padded to 8; mask rows of 4 bytes.
  Bytes f = Icon(2, 2, 24, 24);
  f.raw({1, 1, 1, 2, 2, 2, 0, 0}).raw({3, 3, 3, 4, 4, 4, 0, 0});
  f.raw({0x80, 0, 0, 0}).raw({0x40, 0, 0, 0});  // mask: bottom row left pixel, top row right pixel
  DXLBitmap b;
  Load(DXLLoadBitmapICO, f.v, b);
  EXPECT_EQ(PixelWord(b, 0, 1), 0x00010101u);  // stored first = bottom; mask bit set
  EXPECT_EQ(PixelWord(b, 1, 1), 0xFF020202u);
  EXPECT_EQ(PixelWord(b, 0, 0), 0xFF030303u);
  EXPECT_EQ(PixelWord(b, 1, 0), 0x00040404u);

  Bytes p = Icon(1, 1, 8, 8, 1);  // paletted, index beyond the one colour
  p.u32_(0x00FF0000).raw({3, 0, 0, 0}).raw({0, 0, 0, 0});
  DXLBitmap c;
  Load(DXLLoadBitmapICO, p.v, c);
  EXPECT_EQ(PixelWord(c, 0, 0), 0xFF000000u);

  Bytes s = Icon(2, 1, 16, 16);
  s.u16_(0x7FFF).u16_(0xFFFF).raw({0x40, 0, 0, 0});
  DXLBitmap d;
  Load(DXLLoadBitmapICO, s.v, d);
  EXPECT_EQ(d.GetFormat(), u32{D3DFMT_A1R5G5B5});
  EXPECT_EQ(PixelHalf(d, 0, 0), 0xFFFF);
  EXPECT_EQ(PixelHalf(d, 1, 0), 0x7FFF);
}

TEST(LoadICO, TheLastEntryIsUsed) {
  Bytes b;
  b.u16_(0).u16_(1).u16_(2);
  b.u8_(9).u8_(9).u8_(0).u8_(0).u16_(1).u16_(32).u32_(0).u32_(9999);
  b.u8_(1).u8_(1).u8_(0).u8_(0).u16_(1).u16_(32).u32_(0).u32_(38);
  b.u32_(40).u32_(1).u32_(2).u16_(1).u16_(32).zeros(24).u32_(0xA0B0C0D0);
  DXLBitmap d;
  Load(DXLLoadBitmapICO, b.v, d);
  EXPECT_EQ(d.GetWidth(), 1);
  EXPECT_EQ(PixelWord(d, 0, 0), 0xA0B0C0D0u);
}

TEST(LoadICO, EmptyEntriesAndHostileFiles) {
  DXLBitmap e;
  Load(DXLLoadBitmapICO, Icon(0, 4, 32, 32).v, e);
  EXPECT_TRUE(e.IsEmpty());
  EXPECT_EQ(e.GetFormat(), u32{D3DFMT_X8R8G8B8});

  Bytes none;
  none.u16_(0).u16_(1).u16_(0);
  ExpectRefused(DXLLoadBitmapICO, none.v);
  ExpectRefused(DXLLoadBitmapICO, Icon(1, 1, 32, 32, 0, 0).u32_(1).v);  // planes, count, reserved all 0
  auto cut = Icon(1, 1, 32, 32).v;
  ExpectRefused(DXLLoadBitmapICO, std::vector<u8>(cut.begin(), cut.begin() + 20));
  ExpectRefused(DXLLoadBitmapICO, std::vector<u8>(cut.begin(), cut.begin() + 40));
  auto farOffset = Icon(1, 1, 32, 32).u32_(1).v;
  farOffset[18] = 0xFF;  // image offset beyond the file
  ExpectRefused(DXLLoadBitmapICO, farOffset);
  auto compressed = Icon(1, 1, 32, 32).u32_(1).v;
  compressed[22 + 16] = 1;
  ExpectRefused(DXLLoadBitmapICO, compressed);

  DXLBitmap shortMask;
  Load(DXLLoadBitmapICO, Icon(1, 1, 24, 24).raw({1, 2, 3, 0}).raw({0, 0}).v, shortMask);
  EXPECT_EQ(shortMask.GetWidth(), 1);
  EXPECT_TRUE(AllZero(shortMask));
}

}  // namespace

TEST(LoadICO, CursorsCarryTheirHotspotAndTheirMask) {
  // Type 2: the entry's planes and bit-count words are the hotspot (0, 5);
  // a hotspot x of 0 with no colour count is no refusal, and a 24-bit image
  // takes its mask from the info header's depth.
  Bytes f;
  f.u16_(0).u16_(kIconTypeCursor).u16_(1);
  f.u8_(2).u8_(2).u8_(0).u8_(0).u16_(0).u16_(5).u32_(0).u32_(22);
  f.u32_(40).u32_(2).u32_(4).u16_(1).u16_(24).zeros(24);
  f.raw({1, 1, 1, 2, 2, 2, 0, 0}).raw({3, 3, 3, 4, 4, 4, 0, 0});
  f.raw({0x80, 0, 0, 0}).raw({0, 0, 0, 0});
  DXLBitmap b;
  Load(DXLLoadBitmapICO, f.v, b);
  ASSERT_EQ(b.GetWidth(), 2);
  EXPECT_EQ(b.GetFormat(), u32{D3DFMT_A8R8G8B8});  // drawn with its alpha
  EXPECT_EQ(PixelWord(b, 0, 1), 0x00010101u);
  EXPECT_EQ(PixelWord(b, 1, 1), 0xFF020202u);
  i32 x = -1, y = -1;
  {
    testing_support::ByteStream s(f.v);
    ASSERT_TRUE(DXLReadCursorHotspot(&s, &x, &y));
  }
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 5);
  // An icon has none; a directory cut short neither.
  const std::vector<u8> iconBytes = Icon(1, 1, 32, 32).v;
  testing_support::ByteStream icon(iconBytes);
  EXPECT_FALSE(DXLReadCursorHotspot(&icon, &x, &y));
  const std::vector<u8> cut(f.v.begin(), f.v.begin() + 12);
  testing_support::ByteStream shortStream(cut);
  EXPECT_FALSE(DXLReadCursorHotspot(&shortStream, &x, &y));
  EXPECT_FALSE(DXLReadCursorHotspot(nullptr, &x, &y));
}

#include <gtest/gtest.h>

#include <string>

#include "BitmapTestHelpers.h"
#include "testsupport/ByteBuilder.h"

namespace {

using testing_support::AllZero;
using Bytes = testsupport::ByteBuilder;
using testing_support::ExpectRefused;
using testing_support::Load;
using testing_support::PixelHalf;
using testing_support::PixelWord;

struct DdsHeader {
  u32 flags = 0x1007;
  u32 width = 4, height = 4, linearSize = 0;
  u32 pixelFlags = 0x4, fourCC = D3DFMT_DXT1, bits = 0, r = 0, g = 0, b = 0, a = 0;
  u32 caps2 = 0;
};

Bytes Dds(const DdsHeader& h) {
  Bytes b;
  b.u32_(0x20534444).u32_(124).u32_(h.flags).u32_(h.height).u32_(h.width).u32_(h.linearSize).u32_(0).u32_(0);
  b.zeros(44);
  b.u32_(32).u32_(h.pixelFlags).u32_(h.fourCC).u32_(h.bits).u32_(h.r).u32_(h.g).u32_(h.b).u32_(h.a);
  b.u32_(0x1000).u32_(h.caps2).u32_(0).u32_(0).u32_(0);
  return b;
}

TEST(LoadDDS, CompressedImagesKeepTheirBlocks) {
  DdsHeader h;
  h.flags |= 0x80000;
  h.linearSize = 8;
  DXLBitmap b;
  Load(DXLLoadBitmapDDS, Dds(h).raw({0x00, 0xF8, 0x1F, 0x00, 0, 0, 0, 0}).v, b);
  EXPECT_EQ(b.GetFormat(), u32{D3DFMT_DXT1});
  EXPECT_EQ(b.GetDataSize(), 8u);
  b.SetFormat(D3DFMT_A8R8G8B8);
  EXPECT_EQ(PixelWord(b, 3, 3), 0xFFFF0000u);

  // Without a linear size a 6 x 6 DXT5 image needs 2 x 2 blocks of 16 bytes.
  DdsHeader h5;
  h5.fourCC = D3DFMT_DXT5;
  h5.width = h5.height = 6;
  DXLBitmap c;
  Load(DXLLoadBitmapDDS, Dds(h5).zeros(64).v, c);
  EXPECT_EQ(c.GetFormat(), u32{D3DFMT_DXT5});
  EXPECT_EQ(c.GetDataSize(), 64u);
}

TEST(LoadDDS, ShortOrUndersizedCompressedData) {
  DdsHeader h;
  DXLBitmap cut;
  Load(DXLLoadBitmapDDS, Dds(h).zeros(7).v, cut);
  EXPECT_TRUE(cut.IsEmpty());
  EXPECT_EQ(cut.GetWidth(), 0);

  DdsHeader lying;  // a linear size too small for the image
  lying.flags |= 0x80000;
  lying.width = lying.height = 64;
  lying.linearSize = 8;
  ExpectRefused(DXLLoadBitmapDDS, Dds(lying).zeros(4096).v);
}

TEST(LoadDDS, UncompressedLayouts) {
  struct Case {
    u32 flags, bits, r, g, b, format;
  };
  const Case cases[] = {
      {0x2, 8, 0, 0, 0, D3DFMT_A8},
      {0x1, 8, 0, 0, 0, D3DFMT_A4L4},
      {0x20000, 8, 0, 0, 0, D3DFMT_L8},
      {0x20001, 16, 0, 0, 0, D3DFMT_A8L8},
      {0x41, 16, 0x7C00, 0x3E0, 0x1F, D3DFMT_A1R5G5B5},
      {0x41, 16, 0xF00, 0xF0, 0xF, D3DFMT_A4R4G4B4},
      {0x40, 16, 0xF800, 0x7E0, 0x1F, D3DFMT_R5G6B5},
      {0x40, 16, 0x7C00, 0x3E0, 0x1F, D3DFMT_X1R5G5B5},
      {0x41, 32, 0xFF0000, 0xFF00, 0xFF, D3DFMT_A8R8G8B8},
      {0x40, 32, 0xFF0000, 0xFF00, 0xFF, D3DFMT_X8R8G8B8},
  };
  for (const Case& c : cases) {
    DdsHeader h;
    h.width = 2;
    h.height = 1;
    h.pixelFlags = c.flags;
    h.bits = c.bits;
    h.r = c.r, h.g = c.g, h.b = c.b;
    Bytes f = Dds(h);
    for (u32 i = 0; i < c.bits / 4; ++i) f.u8_(0x10 + i);
    DXLBitmap b;
    Load(DXLLoadBitmapDDS, f.v, b);
    EXPECT_EQ(b.GetFormat(), c.format) << c.flags << " " << c.bits;
    ASSERT_EQ(b.GetDataSize(), c.bits / 4);
    EXPECT_EQ(b.GetPixels()[0], 0x10);
    EXPECT_EQ(b.GetPixels()[c.bits / 4 - 1], 0x10 + c.bits / 4 - 1);
  }

  DdsHeader rgb;
  rgb.width = 2;
  rgb.height = 1;
  rgb.pixelFlags = 0x40;
  rgb.bits = 24;
  rgb.r = 0xFF0000, rgb.g = 0xFF00, rgb.b = 0xFF;
  DXLBitmap b;
  Load(DXLLoadBitmapDDS, Dds(rgb).raw({1, 2, 3, 4, 5, 6}).v, b);
  EXPECT_EQ(b.GetFormat(), u32{D3DFMT_X8R8G8B8});
  EXPECT_EQ(PixelWord(b, 1, 0), 0xFF060504u);

  DXLBitmap cut;
  Load(DXLLoadBitmapDDS, Dds(rgb).raw({1, 2, 3, 4}).v, cut);
  EXPECT_EQ(cut.GetWidth(), 2);
  EXPECT_TRUE(AllZero(cut));
}

TEST(LoadDDS, RefusedFiles) {
  DdsHeader cube;
  cube.caps2 = 0x200;
  ExpectRefused(DXLLoadBitmapDDS, Dds(cube).zeros(8).v);
  DdsHeader volume;
  volume.caps2 = 0x200000;
  ExpectRefused(DXLLoadBitmapDDS, Dds(volume).zeros(8).v);
  DdsHeader flat;
  flat.height = 0;
  ExpectRefused(DXLLoadBitmapDDS, Dds(flat).zeros(8).v);
  DdsHeader notDxt;
  notDxt.fourCC = 0x36545844;
  ExpectRefused(DXLLoadBitmapDDS, Dds(notDxt).zeros(8).v);
  DdsHeader huge;
  huge.width = huge.height = 0x40000000;
  ExpectRefused(DXLLoadBitmapDDS, Dds(huge).zeros(8).v);
  DdsHeader lumaOnly16;
  lumaOnly16.pixelFlags = 0x20000, lumaOnly16.bits = 16;
  ExpectRefused(DXLLoadBitmapDDS, Dds(lumaOnly16).zeros(32).v);
  DdsHeader palette;
  palette.pixelFlags = 0x40 | 0x20, palette.bits = 8;
  ExpectRefused(DXLLoadBitmapDDS, Dds(palette).zeros(32).v);
  DdsHeader oddMasks;
  oddMasks.pixelFlags = 0x40, oddMasks.bits = 16, oddMasks.r = 0xF00;
  ExpectRefused(DXLLoadBitmapDDS, Dds(oddMasks).zeros(32).v);
  auto bad = Dds(DdsHeader{}).zeros(8).v;
  bad[4] = 120;  // header size
  ExpectRefused(DXLLoadBitmapDDS, bad);
  ExpectRefused(DXLLoadBitmapDDS, std::vector<u8>(bad.begin(), bad.begin() + 100));
}

std::vector<u8> Text(const std::string& s) { return std::vector<u8>(s.begin(), s.end()); }

TEST(LoadPPM, BinaryPixmapWithAComment) {
  DXLBitmap b;
  Bytes f;
  f.text("P6\n# made by hand\n2 1\n255\n").raw({10, 20, 30, 40, 50, 60});
  Load(DXLLoadBitmapPPM, f.v, b);
  EXPECT_EQ(b.GetFormat(), u32{D3DFMT_X8R8G8B8});
  EXPECT_EQ(PixelWord(b, 0, 0), 0xFF0A141Eu);
  EXPECT_EQ(PixelWord(b, 1, 0), 0xFF28323Cu);
}

TEST(LoadPPM, TwoSeparatorsReadTheSecondNumberAsZero) {
  DXLBitmap b;
  Load(DXLLoadBitmapPPM, Text("P6 2  1 255\n"), b);
  EXPECT_EQ(b.GetWidth(), 2);
  EXPECT_EQ(b.GetHeight(), 0);
  EXPECT_TRUE(b.IsEmpty());
}

TEST(LoadPPM, TextPixmapSamplesScaleByTheMaximum) {
  DXLBitmap b;
  Load(DXLLoadBitmapPPM, Text("P3\n2 1\n15\n15 0 7\n# comment\n 1 2 99\n"), b);
  EXPECT_EQ(PixelWord(b, 0, 0), 0xFFFF0077u);  // 7 * 255 / 15 = 119
  EXPECT_EQ(PixelWord(b, 1, 0), 0xFF1122FFu);  // samples above the maximum count as it

  DXLBitmap c;
  Load(DXLLoadBitmapPPM, Text("P3\n1 1\n255\n1 2"), c);
  EXPECT_EQ(c.GetWidth(), 1);
  EXPECT_TRUE(AllZero(c));
}

TEST(LoadPPM, ShortAndHostileFiles) {
  DXLBitmap b;
  Bytes f;
  f.text("P6\n2 2\n255\n").raw({1, 2, 3, 4});
  Load(DXLLoadBitmapPPM, f.v, b);
  EXPECT_EQ(b.GetHeight(), 2);
  EXPECT_TRUE(AllZero(b));

  ExpectRefused(DXLLoadBitmapPPM, Text("P5\n1 1\n255\n   "));
  ExpectRefused(DXLLoadBitmapPPM, Text("P6\n1 1\n255"));  // the last number is not ended
  ExpectRefused(DXLLoadBitmapPPM, Text("P6\n# no end"));
  ExpectRefused(DXLLoadBitmapPPM, Text("P6\n99999999999999999999 1\n255\n"));
  ExpectRefused(DXLLoadBitmapPPM, Text("P6\n4097 1\n255\n"));
  ExpectRefused(DXLLoadBitmapPPM, Text("P6"));
}

}  // namespace

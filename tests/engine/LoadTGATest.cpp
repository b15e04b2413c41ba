#include <gtest/gtest.h>

#include "BitmapTestHelpers.h"
#include "engine/image/SaveBitmapTGA.h"
#include "engine/image/TargaDecode.h"
#include "testsupport/ByteBuilder.h"

namespace {

using Bytes = testsupport::ByteBuilder;
using testing_support::ExpectRefused;
using testing_support::Load;
using testing_support::PixelHalf;
using testing_support::PixelWord;

// An 18-byte Targa header.
Bytes Header(u32 type, u32 w, u32 h, u32 bits, bool topDown, u32 mapLength = 0, u32 mapBits = 0, u32 idLength = 0) {
  Bytes b;
  b.u8_(idLength).u8_(mapLength ? 1 : 0).u8_(type).u16_(0).u16_(mapLength).u8_(mapBits);
  b.u16_(0).u16_(0).u16_(w).u16_(h).u8_(bits).u8_(topDown ? 0x20 : 0x08);
  return b;
}

TEST(LoadTGA, RawTrueColourAtEveryDepth) {
  // 32 bits, bottom-up: the first stored row is the bottom one.
  DXLBitmap b;
  Load(DXLLoadBitmapTGA, Header(2, 2, 2, 32, false).u32_(0x11111111).u32_(0x22222222).u32_(0x33333333).u32_(0x44444444).v, b);
  EXPECT_EQ(b.GetFormat(), u32{D3DFMT_A8R8G8B8});
  EXPECT_EQ(PixelWord(b, 0, 0), 0x33333333u);
  EXPECT_EQ(PixelWord(b, 1, 1), 0x22222222u);
  EXPECT_EQ(b.GetPackMode(), 0u);

  DXLBitmap c;  // 24 bits, top-down, with an identification field to skip
  Load(DXLLoadBitmapTGA, Header(2, 2, 1, 24, true, 0, 0, 3).raw({9, 9, 9}).raw({1, 2, 3, 4, 5, 6}).v, c);
  EXPECT_EQ(c.GetFormat(), u32{D3DFMT_X8R8G8B8});
  EXPECT_EQ(PixelWord(c, 0, 0), 0xFF030201u);
  EXPECT_EQ(PixelWord(c, 1, 0), 0xFF060504u);

  DXLBitmap d;  // 16 bits
  Load(DXLLoadBitmapTGA, Header(2, 2, 1, 16, true).u16_(0x801F).u16_(0x7C00).v, d);
  EXPECT_EQ(d.GetFormat(), u32{D3DFMT_A1R5G5B5});
  EXPECT_EQ(PixelHalf(d, 0, 0), 0x801F);
  EXPECT_EQ(PixelHalf(d, 1, 0), 0x7C00);

  DXLBitmap e;  // grey
  Load(DXLLoadBitmapTGA, Header(3, 3, 1, 8, true).raw({10, 20, 30}).v, e);
  EXPECT_EQ(e.GetFormat(), u32{D3DFMT_L8});
  EXPECT_EQ(e.GetRow(0)[2], 30);
}

TEST(LoadTGA, ColourMappedIndicesBeyondTheMapAreBlack) {
  DXLBitmap b;
  Load(DXLLoadBitmapTGA,
       Header(1, 4, 1, 8, true, 2, 24).raw({1, 2, 3, 4, 5, 6}).raw({0, 1, 2, 255}).v, b);
  EXPECT_EQ(b.GetFormat(), u32{D3DFMT_X8R8G8B8});
  EXPECT_EQ(PixelWord(b, 0, 0), 0xFF030201u);
  EXPECT_EQ(PixelWord(b, 1, 0), 0xFF060504u);
  EXPECT_EQ(PixelWord(b, 2, 0), 0xFF000000u);
  EXPECT_EQ(PixelWord(b, 3, 0), 0xFF000000u);

  DXLBitmap empty;  // no map at all
  Load(DXLLoadBitmapTGA, Header(1, 1, 1, 8, true, 0, 24).raw({0}).v, empty);
  EXPECT_EQ(PixelWord(empty, 0, 0), 0xFF000000u);
}

TEST(LoadTGA, RunLengthTopDownLoadsUnpackedAndBottomUpLoadsPacked) {
  // Row 0: a run of 3 red; row 1: raw blue, green, blue.
  Bytes packets;
  packets.u8_(0x82).u32_(0xFFFF0000).u8_(0x02).u32_(0xFF0000FF).u32_(0xFF00FF00).u32_(0xFF0000FF);
  DXLBitmap top;
  Load(DXLLoadBitmapTGA, Header(10, 3, 2, 32, true).raw(packets.v).v, top);
  EXPECT_EQ(top.GetPackMode(), 0u);
  EXPECT_EQ(top.GetUnpackedSize(), 0u);
  EXPECT_EQ(PixelWord(top, 2, 0), 0xFFFF0000u);
  EXPECT_EQ(PixelWord(top, 1, 1), 0xFF00FF00u);

  DXLBitmap bottom;
  Load(DXLLoadBitmapTGA, Header(10, 3, 2, 32, false).raw(packets.v).v, bottom);
  EXPECT_EQ(bottom.GetPackMode(), 4u);
  EXPECT_GT(bottom.GetUnpackedSize(), 0u);
  EXPECT_EQ(PixelWord(bottom, 2, 1), 0xFFFF0000u);
  EXPECT_EQ(PixelWord(bottom, 1, 0), 0xFF00FF00u);
}

TEST(LoadTGA, RunLengthPackModeFollowsTheElement) {
  DXLBitmap grey;
  Load(DXLLoadBitmapTGA, Header(11, 8, 1, 8, false).u8_(0x87).u8_(77).v, grey);
  EXPECT_EQ(grey.GetPackMode(), 1u);
  EXPECT_EQ(grey.GetRow(0)[7], 77);

  DXLBitmap sixteen;
  Load(DXLLoadBitmapTGA, Header(10, 8, 1, 16, false).u8_(0x87).u16_(0x1234).v, sixteen);
  EXPECT_EQ(sixteen.GetPackMode(), 2u);
  EXPECT_EQ(PixelHalf(sixteen, 7, 0), 0x1234);

  DXLBitmap rgb;
  Load(DXLLoadBitmapTGA, Header(10, 8, 1, 24, false).u8_(0x87).raw({1, 2, 3}).v, rgb);
  EXPECT_EQ(rgb.GetPackMode(), 4u);
  EXPECT_EQ(PixelWord(rgb, 5, 0), 0xFF030201u);

  DXLBitmap mapped;
  Load(DXLLoadBitmapTGA, Header(9, 8, 1, 8, false, 1, 24).raw({1, 2, 3}).u8_(0x87).u8_(0).v, mapped);
  EXPECT_EQ(mapped.GetPackMode(), 0u);  // colour-mapped images are not packed
  EXPECT_EQ(PixelWord(mapped, 7, 0), 0xFF030201u);
}

TEST(LoadTGA, NoImageGivesAnEmptyBitmap) {
  DXLBitmap b;
  testing_support::MakeMarker(b);
  Load(DXLLoadBitmapTGA, Header(0, 5, 5, 32, false).v, b);
  EXPECT_EQ(b.GetFormat(), u32{D3DFMT_A8R8G8B8});
  EXPECT_TRUE(b.IsEmpty());
  EXPECT_EQ(b.GetWidth(), 0);
}

TEST(LoadTGA, TruncatedPixelsAndRunsLeaveTheRestZero) {
  DXLBitmap raw;
  Load(DXLLoadBitmapTGA, Header(2, 2, 1, 32, true).u32_(0x12345678).u16_(0xFFFF).v, raw);
  EXPECT_EQ(PixelWord(raw, 0, 0), 0x12345678u);
  EXPECT_EQ(PixelWord(raw, 1, 0), 0u);

  DXLBitmap rle;
  Load(DXLLoadBitmapTGA, Header(10, 4, 1, 32, true).u8_(0x81).u32_(0x11111111).u8_(0x03).u32_(0x22222222).v, rle);
  EXPECT_EQ(PixelWord(rle, 1, 0), 0x11111111u);
  EXPECT_EQ(PixelWord(rle, 2, 0), 0x22222222u);
  EXPECT_EQ(PixelWord(rle, 3, 0), 0u);

  DXLBitmap cut;  // a run whose value is cut short adds no pixel, not half of one
  Load(DXLLoadBitmapTGA, Header(10, 2, 1, 32, true).u8_(0x80).u32_(0x33333333).u8_(0x80).u16_(0x4444).v, cut);
  EXPECT_EQ(PixelWord(cut, 0, 0), 0x33333333u);
  EXPECT_EQ(PixelWord(cut, 1, 0), 0u);

  DXLBitmap mapped;  // indices that never arrived stay zero, not map entry 0
  Load(DXLLoadBitmapTGA, Header(1, 2, 1, 8, true, 1, 24).raw({1, 2, 3}).raw({0}).v, mapped);
  EXPECT_EQ(PixelWord(mapped, 0, 0), 0xFF030201u);
  EXPECT_EQ(PixelWord(mapped, 1, 0), 0u);
}

TEST(LoadTGA, RunsPastTheImageAreCut) {
  DXLBitmap b;
  Load(DXLLoadBitmapTGA, Header(11, 2, 2, 8, true).u8_(0xFF).u8_(9).u8_(0x7F).raw({1, 2, 3}).v, b);
  ASSERT_EQ(b.GetDataSize(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(b.GetPixels()[i], 9);
  DXLBitmap c;
  Load(DXLLoadBitmapTGA, Header(11, 2, 1, 8, true).u8_(0x7F).raw({1, 2, 3}).v, c);
  EXPECT_EQ(c.GetRow(0)[1], 2);
}

TEST(LoadTGA, HostileFilesLeaveTheBitmapUnchanged) {
  auto good = Header(2, 1, 1, 32, true).u32_(1).v;
  ExpectRefused(DXLLoadBitmapTGA, std::vector<u8>(good.begin(), good.begin() + 17));
  ExpectRefused(DXLLoadBitmapTGA, Header(2, 1, 1, 32, true, 0, 0, 200).v);     // identification cut short
  ExpectRefused(DXLLoadBitmapTGA, Header(2, 1, 1, 8, true).u8_(1).v);          // 8-bit true colour
  ExpectRefused(DXLLoadBitmapTGA, Header(3, 1, 1, 16, true).u16_(1).v);        // 16-bit grey
  ExpectRefused(DXLLoadBitmapTGA, Header(1, 1, 1, 8, true, 1, 16).u16_(1).u8_(0).v);  // 16-bit map
  ExpectRefused(DXLLoadBitmapTGA, Header(1, 1, 1, 16, true, 1, 24).raw({1, 2, 3}).u16_(0).v);
  ExpectRefused(DXLLoadBitmapTGA, Header(1, 1, 1, 8, true, 100, 24).raw({1, 2, 3}).v);  // map cut short
  ExpectRefused(DXLLoadBitmapTGA, Header(5, 1, 1, 8, true).u8_(1).v);          // unknown type
  ExpectRefused(DXLLoadBitmapTGA, Header(2, 65535, 65535, 32, true).u32_(1).v);
  ExpectRefused(DXLLoadBitmapTGA, Header(2, 4097, 1, 32, true).u32_(1).v);
  ExpectRefused(DXLLoadBitmapTGA, Header(10, 2, 2, 32, true).v);               // no packet at all
}

// Every kind of file the reader takes, decoded straight into ARGB rows, gives
// the pixels of the bitmap reader followed by a conversion to A8R8G8B8:
// whole, cut short at every length, and laid into a larger block with a zero
// margin; files the bitmap reader refuses are refused.
TEST(LoadTGA, DecodedStraightIntoRowsAsTheBitmapReaderGivesThem) {
  const u32 w = 5, h = 3;
  // A run across each row's end, a raw packet, and a last run.
  const auto packets = [](auto value) {
    Bytes b;
    b.u8_(0x86);
    value(b, 1);
    b.u8_(0x04);
    for (u32 i = 0; i < 5; ++i) value(b, 2 + i);
    b.u8_(0x83);
    value(b, 9);
    return b.v;
  };
  const auto raw = [](auto value) {
    Bytes b;
    for (u32 i = 0; i < 15; ++i) value(b, i);
    return b.v;
  };
  const auto v32 = [](Bytes& b, u32 i) { b.u32_(0x10203040u * i + (i << 28)); };
  // Zero runs and zero raw pixels are left unwritten in the zero rows.
  const auto zeros = [](Bytes& b, u32 i) { b.u32_(i == 1 || i % 2 == 0 ? 0 : 0x01020304u * i); };
  const auto v24 = [](Bytes& b, u32 i) { b.raw({static_cast<u8>(i), static_cast<u8>(3 * i), static_cast<u8>(40 + i)}); };
  const auto v16 = [](Bytes& b, u32 i) { b.u16_(static_cast<u16>(0x1357 * i)); };
  const auto v8 = [](Bytes& b, u32 i) { b.u8_(static_cast<u8>(i * 37)); };
  const auto index = [](Bytes& b, u32 i) { b.u8_(static_cast<u8>(i % 4)); };  // 3 is beyond the map
  std::vector<std::vector<u8>> files;
  for (bool topDown : {true, false}) {
    files.push_back(Header(2, w, h, 32, topDown).raw(raw(v32)).v);
    files.push_back(Header(2, w, h, 24, topDown).raw(raw(v24)).v);
    files.push_back(Header(2, w, h, 16, topDown).raw(raw(v16)).v);
    files.push_back(Header(3, w, h, 8, topDown, 0, 0, 2).raw({7, 7}).raw(raw(v8)).v);
    files.push_back(Header(1, w, h, 8, topDown, 3, 24).raw({1, 2, 3, 4, 5, 6, 7, 8, 9}).raw(raw(index)).v);
    files.push_back(Header(10, w, h, 32, topDown).raw(packets(v32)).v);
    files.push_back(Header(10, w, h, 32, topDown).raw(packets(zeros)).v);
    files.push_back(Header(10, w, h, 24, topDown).raw(packets(v24)).v);
    files.push_back(Header(10, w, h, 16, topDown).raw(packets(v16)).v);
    files.push_back(Header(11, w, h, 8, topDown).raw(packets(v8)).v);
    files.push_back(Header(9, w, h, 8, topDown, 3, 24).raw({1, 2, 3, 4, 5, 6, 7, 8, 9}).raw(packets(index)).v);
  }
  files.push_back(Header(0, w, h, 32, true).v);
  files.push_back(Header(2, 4097, 1, 32, true).u32_(1).v);
  files.push_back(Header(2, 0, 3, 32, true).v);
  for (size_t f = 0; f < files.size(); ++f) {
    for (size_t cut = 0; cut <= files[f].size(); ++cut) {
      SCOPED_TRACE(testing::Message() << "file " << f << " cut at " << cut);
      const std::vector<u8> file(files[f].begin(), files[f].begin() + static_cast<std::ptrdiff_t>(cut));
      DXLBitmap bitmap;
      Load(DXLLoadBitmapTGA, file, bitmap);
      for (u32 asked : {plat::gfx::D3DX_DEFAULT_NONPOW2, plat::gfx::D3DX_DEFAULT}) {
        plat::gfx::DecodedImage img;
        img.askedWidth = img.askedHeight = asked;
        const bool decoded = DXLDecodeTGA(file.data(), file.size(), &img);
        ASSERT_EQ(decoded, !bitmap.IsEmpty());
        if (!decoded) continue;
        ASSERT_EQ(img.width, static_cast<u32>(bitmap.GetWidth()));
        ASSERT_EQ(img.height, static_cast<u32>(bitmap.GetHeight()));
        EXPECT_EQ(img.fileFormat, bitmap.GetFormat());
        ASSERT_EQ(img.pitch, asked == plat::gfx::D3DX_DEFAULT ? 8u : w);  // a power of two
        ASSERT_EQ(img.rows, asked == plat::gfx::D3DX_DEFAULT ? 4u : h);
        DXLBitmap argb;
        Load(DXLLoadBitmapTGA, file, argb);
        argb.SetFormat(D3DFMT_A8R8G8B8);
        for (u32 y = 0; y < img.rows; ++y)
          for (u32 x = 0; x < img.pitch; ++x)
            ASSERT_EQ(img.Row(y)[x], x < w && y < h ? PixelWord(argb, x, y) : 0u) << x << "," << y;
      }
    }
  }
}

}  // namespace

namespace {

// Pictures the writer makes read back through the loader pixel for pixel,
// raw or packed, from a pitched source; packing only when it is smaller;
// sizes the format cannot hold give nothing.
TEST(SaveTGA, WrittenPicturesLoadBackRawAndPacked) {
  const u32 w = 70, h = 3, pitch = 75;
  std::vector<u32> argb(pitch * h, 0xDEADBEEFu);
  for (u32 y = 0; y < h; ++y)
    for (u32 x = 0; x < w; ++x) argb[y * pitch + x] = x < 40 ? 0x80102030u + y : 0xFF000000u | (x * 7919u + y);
  const std::vector<u8> raw = DXLEncodeTGA32(w, h, argb.data(), pitch, false);
  const std::vector<u8> packed = DXLEncodeTGA32(w, h, argb.data(), pitch, true);
  ASSERT_EQ(raw.size(), 18u + w * h * 4);
  EXPECT_EQ(raw[2], 2);
  EXPECT_EQ(packed[2], 10);
  EXPECT_LT(packed.size(), raw.size());
  for (const std::vector<u8>* file : {&raw, &packed}) {
    DXLBitmap b;
    Load(DXLLoadBitmapTGA, *file, b);
    ASSERT_EQ(b.GetWidth(), static_cast<i32>(w));
    ASSERT_EQ(b.GetHeight(), static_cast<i32>(h));
    for (u32 y = 0; y < h; ++y)
      for (u32 x = 0; x < w; ++x) ASSERT_EQ(PixelWord(b, x, y), argb[y * pitch + x]) << x << "," << y;
  }

  // Noise does not pack smaller: the raw file is kept.
  std::vector<u32> noise(16);
  for (u32 i = 0; i < noise.size(); ++i) noise[i] = i * 0x01020304u;
  EXPECT_EQ(DXLEncodeTGA32(16, 1, noise.data(), 0, true)[2], 2);

  EXPECT_TRUE(DXLEncodeTGA32(0, 4, argb.data()).empty());
  EXPECT_TRUE(DXLEncodeTGA32(65536, 1, argb.data()).empty());
  EXPECT_TRUE(DXLEncodeTGA32(1, 1, nullptr).empty());
}

}  // namespace

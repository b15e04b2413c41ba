#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "engine/image/D3DFormat.h"
#include "engine/image/DXLBitmap.h"
#include "engine/image/PixelFormat.h"

namespace {

// A plain bitmap of the given format and size holding the given bytes.
void Fill(DXLBitmap& b, u32 format, i32 w, i32 h, const std::vector<u8>& bytes) {
  b.SetFormat(format);
  b.SetSize(w, h);
  ASSERT_EQ(b.GetDataSize(), bytes.size());
  std::memcpy(b.GetPixels(), bytes.data(), bytes.size());
}

std::vector<u8> Words(std::initializer_list<u32> words) {
  std::vector<u8> out;
  for (u32 w : words)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<u8>(w >> (8 * i)));
  return out;
}

u32 Word(const u8* p) {
  u32 v;
  std::memcpy(&v, p, 4);
  return v;
}

TEST(DXLBitmap, SizeLimits) {
  DXLBitmap b;
  b.SetFormat(D3DFMT_L8);
  b.SetSize(4096, 2048);
  EXPECT_EQ(b.GetWidth(), 4096);
  EXPECT_EQ(b.GetDataSize(), 4096u * 2048u);
  b.SetSize(4096, 2049);
  EXPECT_EQ(b.GetHeight(), 2048);
  b.SetSize(4097, 1);
  EXPECT_EQ(b.GetWidth(), 4096);
  b.SetSize(-5, 10);
  EXPECT_EQ(b.GetWidth(), 0);
  EXPECT_EQ(b.GetHeight(), 10);
  EXPECT_EQ(b.GetPixels(), nullptr);
  EXPECT_TRUE(b.IsEmpty());
}

TEST(DXLBitmap, FormatBeforeSizeGivesPixels) {
  DXLBitmap sizeFirst;
  sizeFirst.SetSize(10, 10);
  EXPECT_EQ(sizeFirst.GetPixels(), nullptr);
  sizeFirst.SetFormat(D3DFMT_A8R8G8B8);
  EXPECT_EQ(sizeFirst.GetFormat(), u32{D3DFMT_A8R8G8B8});
  EXPECT_EQ(sizeFirst.GetPixels(), nullptr);

  DXLBitmap formatFirst;
  formatFirst.SetFormat(D3DFMT_A8R8G8B8);
  formatFirst.SetSize(10, 10);
  ASSERT_NE(formatFirst.GetPixels(), nullptr);
  EXPECT_EQ(formatFirst.GetDataSize(), 400u);
  for (u32 i = 0; i < 400; ++i) ASSERT_EQ(formatFirst.GetPixels()[i], 0);
  EXPECT_EQ(formatFirst.GetRow(10), nullptr);
  EXPECT_EQ(formatFirst.GetRow(-1), nullptr);
  EXPECT_EQ(formatFirst.GetRow(9), formatFirst.GetPixels() + 360);

  formatFirst.Clear();
  EXPECT_TRUE(formatFirst.IsEmpty());
  EXPECT_EQ(formatFirst.GetDataSize(), 0u);
  EXPECT_EQ(formatFirst.GetFormat(), u32{D3DFMT_A8R8G8B8});
}

TEST(DXLBitmap, ConversionThroughARGB) {
  DXLBitmap b;
  Fill(b, D3DFMT_A8R8G8B8, 2, 1, Words({0xFF808080, 0x00FFFFFF}));
  b.SetFormat(D3DFMT_R5G6B5);
  EXPECT_EQ(b.GetDataSize(), 4u);
  EXPECT_EQ(b.GetBytesPerPixel(), 2);
  b.SetFormat(D3DFMT_A8R8G8B8);
  EXPECT_EQ(Word(b.GetRow(0)), 0xFF848284u);
  EXPECT_EQ(Word(b.GetRow(0) + 4), 0xFFFFFFFFu);  // R5G6B5 has no alpha

  // Same pixel size: converted in place.
  Fill(b, D3DFMT_A8R8G8B8, 2, 1, Words({0x80112233, 0x00445566}));
  const u8* before = b.GetPixels();
  b.SetFormat(D3DFMT_X8R8G8B8);
  EXPECT_EQ(b.GetPixels(), before);
  EXPECT_EQ(Word(b.GetRow(0)), 0x80112233u);

  b.SetFormat(D3DFMT_DXT1);  // no encoder: ignored
  EXPECT_EQ(b.GetFormat(), u32{D3DFMT_X8R8G8B8});
  b.SetFormat(D3DFMT_R8G8B8);  // a format bitmaps don't store: no pixels
  EXPECT_EQ(b.GetFormat(), u32{D3DFMT_R8G8B8});
  EXPECT_TRUE(b.IsEmpty());
  EXPECT_EQ(b.GetDataSize(), 0u);
}

TEST(DXLBitmap, BulkConversionMatchesOnePixelWrites) {
  std::mt19937 rng(3);
  std::vector<u32> words(1000);
  for (u32& w : words) w = static_cast<u32>(rng());
  for (u32 from : {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8}) {
    for (u32 to : {D3DFMT_R5G6B5, D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_A8L8, D3DFMT_L8}) {
      DXLBitmap b;
      b.SetFormat(from);
      b.SetSize(1000, 1);
      std::memcpy(b.GetPixels(), words.data(), 4000);
      b.SetFormat(to);
      const u32 n = b.GetBytesPerPixel();
      for (u32 i = 0; i < 1000; ++i) {
        u8 expect[4] = {};
        DXLARGBToPixel(words[i], to, expect);
        ASSERT_EQ(std::memcmp(b.GetRow(0) + i * n, expect, n), 0) << from << " " << to << " " << i;
      }
    }
  }
}

TEST(DXLBitmap, DxtBitmapDecodesOnConversion) {
  DXLBitmap b;
  const u32 header[6] = {D3DFMT_DXT1, 4, 4, 8, 0, 0};
  ASSERT_TRUE(b.SetFromHeader(header));
  const u8 block[8] = {0x00, 0xF8, 0x1F, 0x00, 0, 0, 0, 0};  // red over blue, all index 0
  std::memcpy(b.GetPixels(), block, 8);
  EXPECT_EQ(b.GetRow(0), nullptr);
  EXPECT_EQ(b.GetBytesPerPixel(), 0);
  b.SetPackMode(1);
  EXPECT_EQ(b.GetPackMode(), 0u);
  b.SetFormat(D3DFMT_A8R8G8B8);
  ASSERT_EQ(b.GetDataSize(), 64u);
  EXPECT_EQ(Word(b.GetRow(3) + 12), 0xFFFF0000u);
}

TEST(DXLBitmap, PackingEqualPixelsIntoOneRun) {
  DXLBitmap b;
  Fill(b, D3DFMT_L8, 2, 2, {7, 7, 7, 7});
  b.SetPackMode(1);
  EXPECT_EQ(b.GetPackMode(), 1u);
  ASSERT_EQ(b.GetDataSize(), 2u);
  EXPECT_EQ(b.GetUnpackedSize(), 4u);
  EXPECT_EQ(b.GetPixels()[0], 0x83);
  EXPECT_EQ(b.GetPixels()[1], 7);
  const u8* row = b.GetRow(1);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(b.GetPackMode(), 0u);
  EXPECT_EQ(b.GetDataSize(), 4u);
  EXPECT_EQ(b.GetUnpackedSize(), 0u);
  EXPECT_EQ(row[0], 7);
  EXPECT_EQ(row[1], 7);

  b.SetPackMode(2);  // larger than the pixel: stays plain
  EXPECT_EQ(b.GetPackMode(), 0u);
  EXPECT_EQ(b.GetDataSize(), 4u);
}

TEST(DXLBitmap, AbandonedPackingStaysPlainUntilTheNextAccess) {
  DXLBitmap b;
  Fill(b, D3DFMT_A8R8G8B8, 2, 2, Words({1, 2, 3, 4}));
  const u8* before = b.GetPixels();
  b.SetPackMode(4);
  EXPECT_EQ(b.GetPackMode(), 4u);
  EXPECT_EQ(b.GetPixels(), before);
  EXPECT_EQ(b.GetDataSize(), 16u);
  EXPECT_EQ(b.GetUnpackedSize(), 0u);
  EXPECT_EQ(b.GetResized(2, 2, DXLFILTER_POINT), nullptr);  // counts as packed
  const u8* pixels = b.GetPixelsUnlocked();
  EXPECT_EQ(pixels, before);
  EXPECT_EQ(b.GetPackMode(), 0u);
  EXPECT_EQ(Word(pixels + 12), 4u);
}

TEST(DXLBitmap, PackRoundTripForEveryElementSize) {
  std::mt19937 rng(7);
  for (u32 format : {D3DFMT_L8, D3DFMT_A8L8, D3DFMT_A8R8G8B8}) {
    const u32 bpp = format == D3DFMT_L8 ? 1 : format == D3DFMT_A8L8 ? 2 : 4;
    for (u32 mode : {1u, 2u, 4u}) {
      if (mode > bpp) continue;
      // Long runs, short runs and noise, so raw and run packets both reach 128.
      std::vector<u8> bytes;
      while (bytes.size() < 300 * 37 * bpp) {
        const u32 run = rng() % 3 == 0 ? 1 + rng() % 300 : 1;
        const u8 value = static_cast<u8>(rng() % 4);
        for (u32 i = 0; i < run * bpp; ++i) bytes.push_back(value);
      }
      bytes.resize(300 * 37 * bpp);
      DXLBitmap b;
      Fill(b, format, 300, 37, bytes);
      b.SetPackMode(mode);
      ASSERT_GT(b.GetUnpackedSize(), 0u) << format << " " << mode;
      ASSERT_LT(b.GetDataSize(), bytes.size());
      b.UnpackForAccess();
      EXPECT_EQ(b.GetPackMode(), 0u);
      ASSERT_EQ(std::memcmp(b.GetPixels(), bytes.data(), bytes.size()), 0) << format << " " << mode;
      b.Repack();
      EXPECT_EQ(b.GetPackMode(), mode);
      EXPECT_GT(b.GetUnpackedSize(), 0u);
      ASSERT_EQ(std::memcmp(b.GetPixelsUnlocked(), bytes.data(), bytes.size()), 0);
    }
  }
}

TEST(DXLBitmap, ConversionUnpacksFirst) {
  DXLBitmap b;
  Fill(b, D3DFMT_A8R8G8B8, 4, 1, Words({0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF}));
  b.SetPackMode(4);
  ASSERT_EQ(b.GetDataSize(), 5u);
  b.SetFormat(D3DFMT_A1R5G5B5);
  EXPECT_EQ(b.GetDataSize(), 8u);
  EXPECT_EQ(b.GetPackMode(), 0u);
  u16 px;
  std::memcpy(&px, b.GetRow(0) + 6, 2);
  EXPECT_EQ(px, 0x801F);
}

TEST(DXLBitmap, HeadersThatBreakTheImageAreRefused) {
  DXLBitmap b;
  Fill(b, D3DFMT_L8, 1, 1, {9});
  const u32 tooWide[6] = {D3DFMT_L8, 4097, 1, 4097, 0, 0};
  const u32 tooLarge[6] = {D3DFMT_L8, 4096, 4096, 4096 * 4096, 0, 0};
  const u32 shortData[6] = {D3DFMT_A8R8G8B8, 2, 2, 15, 0, 0};
  const u32 badUnpacked[6] = {D3DFMT_A8R8G8B8, 2, 2, 5, 12, 4};
  const u32 badMode[6] = {D3DFMT_A8R8G8B8, 2, 2, 5, 16, 3};
  const u32 modeTooWide[6] = {D3DFMT_L8, 2, 2, 2, 4, 4};
  const u32 unpackedButPlain[6] = {D3DFMT_L8, 2, 2, 2, 4, 0};
  const u32 hugePacked[6] = {D3DFMT_L8, 2, 2, 100, 4, 1};
  const u32 shortDxt[6] = {D3DFMT_DXT5, 8, 4, 16, 0, 0};
  const u32 packedDxt[6] = {D3DFMT_DXT1, 4, 4, 8, 8, 1};
  const u32 noPixelFormatWithData[6] = {D3DFMT_R8G8B8, 2, 2, 12, 0, 0};
  for (const u32* h : {tooWide, tooLarge, shortData, badUnpacked, badMode, modeTooWide, unpackedButPlain, hugePacked, shortDxt,
                       packedDxt, noPixelFormatWithData}) {
    EXPECT_FALSE(b.SetFromHeader(h)) << h[0] << " " << h[1];
    EXPECT_EQ(b.GetFormat(), u32{D3DFMT_L8});
    EXPECT_EQ(b.GetPixels()[0], 9);
  }
  EXPECT_FALSE(b.SetFromHeader(nullptr));

  const u32 packed[6] = {D3DFMT_L8, 2, 2, 2, 4, 1};
  ASSERT_TRUE(b.SetFromHeader(packed));
  EXPECT_EQ(b.GetPackMode(), 1u);
  EXPECT_EQ(b.GetDataSize(), 2u);
  EXPECT_EQ(b.GetPixels()[0], 0);
}

TEST(DXLBitmap, DamagedPackedStreamEmptiesTheBitmapOnAccess) {
  const std::vector<std::vector<u8>> streams = {
      {0x85, 1},        // run of 6 into 4 bytes
      {0x81, 1},        // fills only 2 of 4
      {0x03, 1, 2, 3},  // raw packet cut short
      {0x83},           // run without its element
  };
  for (const auto& s : streams) {
    DXLBitmap b;
    const u32 header[6] = {D3DFMT_L8, 2, 2, static_cast<u32>(s.size()), 4, 1};
    ASSERT_TRUE(b.SetFromHeader(header));
    std::memcpy(b.GetPixels(), s.data(), s.size());
    EXPECT_EQ(b.GetRow(0), nullptr);
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(b.GetWidth(), 0);
    EXPECT_EQ(b.GetPackMode(), 0u);
  }
}

TEST(DXLBitmap, BilinearResizeOfTwoByTwoToThreeByThree) {
  DXLBitmap b;
  Fill(b, D3DFMT_A8R8G8B8, 2, 2, Words({0x00000000, 0x000000C8, 0x0000C800, 0x00C80000}));
  const auto out = b.GetResized(3, 3, DXLFILTER_LINEAR);
  ASSERT_NE(out, nullptr);
  auto at = [&](int x, int y) { return Word(out.get() + 4 * (y * 3 + x)); };
  EXPECT_EQ(at(0, 0), 0x00000000u);
  EXPECT_EQ(at(2, 0), 0x000000C8u);
  EXPECT_EQ(at(0, 2), 0x0000C800u);
  EXPECT_EQ(at(2, 2), 0x00C80000u);
  EXPECT_EQ(at(1, 0), 0x00000064u);
  EXPECT_EQ(at(0, 1), 0x00006400u);
  EXPECT_EQ(at(2, 1), 0x00640064u);
  EXPECT_EQ(at(1, 1), 0x00323232u);
}

TEST(DXLBitmap, PointResizeAndPlacement) {
  DXLBitmap b;
  Fill(b, D3DFMT_L8, 1, 2, {10, 20});
  const auto wide = b.GetResized(2, 2, DXLFILTER_POINT);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(wide[0], 10);
  EXPECT_EQ(wide[1], 10);
  EXPECT_EQ(wide[2], 20);
  EXPECT_EQ(wide[3], 20);

  const auto placed = b.GetResized(2, 3, DXLFILTER_NONE);
  ASSERT_NE(placed, nullptr);
  const u8 expect[6] = {10, 0, 20, 0, 0, 0};
  EXPECT_EQ(std::memcmp(placed.get(), expect, 6), 0);

  Fill(b, D3DFMT_A8R8G8B8, 3, 3, Words({1, 2, 3, 4, 5, 6, 7, 8, 9}));
  const auto pow2 = b.GetResizedToPowerOfTwo(DXLFILTER_POINT);
  ASSERT_NE(pow2, nullptr);
  // Source column round(x * 3 / 4): 0, 1, 2, 2 (2.25).
  EXPECT_EQ(Word(pow2.get() + 4 * 3), 3u);
  EXPECT_EQ(Word(pow2.get() + 4 * 2), 3u);
  EXPECT_EQ(Word(pow2.get() + 4 * 1), 2u);  // 0.75 rounds to 1
  const auto same = b.GetResized(3, 3, DXLFILTER_LINEAR);
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(std::memcmp(same.get(), b.GetPixels(), 36), 0);

  EXPECT_EQ(b.GetResized(2, 3, DXLFILTER_POINT), nullptr);  // smaller
  EXPECT_EQ(b.GetResized(7, 3, DXLFILTER_POINT), nullptr);  // above twice
  EXPECT_EQ(b.GetResized(0, 3, DXLFILTER_POINT), nullptr);
}

TEST(DXLBitmap, BilinearResizeOfSixteenBitPixelsGoesThroughARGB) {
  DXLBitmap b;
  Fill(b, D3DFMT_A8R8G8B8, 2, 1, Words({0xFF000000, 0xFFFFFFFF}));
  b.SetFormat(D3DFMT_A4R4G4B4);
  const auto out = b.GetResized(3, 1, DXLFILTER_BOX);
  ASSERT_NE(out, nullptr);
  u16 mid;
  std::memcpy(&mid, out.get() + 2, 2);
  EXPECT_EQ(mid, 0xF888);  // the mean 128 of each channel packs to 8
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/List.h"
#include "engine/DXLRect.h"
#include "engine/image/PixelFormat.h"
#include "engine/image/PixelProcess.h"

namespace {

u32 Read(u32 pixel, u32 format) {
  u8 bytes[4];
  std::memcpy(bytes, &pixel, 4);
  u32 out = 0xDEADBEEF;
  EXPECT_TRUE(DXLPixelToARGB(bytes, format, &out));
  return out;
}

u32 Write(u32 argb, u32 format) {
  u8 bytes[4] = {};
  EXPECT_TRUE(DXLARGBToPixel(argb, format, bytes));
  u32 out;
  std::memcpy(&out, bytes, 4);
  return out;
}

TEST(PixelFormat, TableNamesBytesAndSets) {
  char name[32];
  EXPECT_TRUE(DXLGetFormatName(name, sizeof name, D3DFMT_A8R8G8B8));
  EXPECT_STREQ(name, "A8R8G8B8");
  EXPECT_TRUE(DXLGetFormatName(name, sizeof name, 0));
  EXPECT_STREQ(name, "UNKNOWN");
  EXPECT_TRUE(DXLGetFormatName(name, sizeof name, D3DFMT_DXT3));
  EXPECT_STREQ(name, "DXT3");
  EXPECT_FALSE(DXLGetFormatName(name, sizeof name, 999));
  EXPECT_STREQ(name, "Unknown");
  EXPECT_TRUE(DXLGetFormatName(name, 4, D3DFMT_A2R10G10B10));
  EXPECT_STREQ(name, "A2R");

  EXPECT_EQ(DXLGetFormatBytes(D3DFMT_X8R8G8B8), 4u);
  EXPECT_EQ(DXLGetFormatBytes(D3DFMT_A8L8), 2u);
  EXPECT_EQ(DXLGetFormatBytes(D3DFMT_A4L4), 1u);
  EXPECT_EQ(DXLGetFormatBytes(D3DFMT_R8G8B8), 0u);
  EXPECT_EQ(DXLGetFormatBytes(D3DFMT_DXT1), 0u);
  EXPECT_EQ(DXLGetFormatBits(D3DFMT_A2R10G10B10), 32u);
  EXPECT_EQ(DXLGetFormatBits(D3DFMT_A1R5G5B5), 16u);
  EXPECT_EQ(DXLGetFormatBits(D3DFMT_A4R4G4B4), 0u);
  EXPECT_EQ(DXLGetBitmapFormat(D3DFMT_A4R4G4B4), u32{D3DFMT_A4R4G4B4});
  EXPECT_EQ(DXLGetBitmapFormat(D3DFMT_DXT5), u32{D3DFMT_DXT5});
  EXPECT_EQ(DXLGetBitmapFormat(D3DFMT_R3G3B2), 0u);

  EXPECT_TRUE(DXLIsDXTFormat(0x31545844));
  EXPECT_TRUE(DXLIsDXTFormat(0x35545844));
  EXPECT_FALSE(DXLIsDXTFormat(0x30545844));
  EXPECT_FALSE(DXLIsDXTFormat(0x36545844));
  EXPECT_FALSE(DXLIsDXTFormat(0x31545845));

  EXPECT_TRUE(DXLIsFormatCompatible(D3DFMT_A8R8G8B8, D3DFMT_R8G8B8));
  EXPECT_TRUE(DXLIsFormatCompatible(D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8));
  EXPECT_TRUE(DXLIsFormatCompatible(D3DFMT_A1R5G5B5, D3DFMT_X1R5G5B5));
  EXPECT_TRUE(DXLIsFormatCompatible(D3DFMT_L8, D3DFMT_L8));
  EXPECT_FALSE(DXLIsFormatCompatible(D3DFMT_R5G6B5, D3DFMT_X1R5G5B5));
  EXPECT_FALSE(DXLIsFormatCompatible(D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4));
}

// The write size is what DXLARGBToPixel really writes: for every code, the
// bytes below it change from two different fillings and none beyond it.
TEST(PixelFormat, WriteSizeIsWhatAPixelWriteTouches) {
  std::vector<u32> codes;
  for (u32 c = 0; c < 128; ++c) codes.push_back(c);
  for (u32 c = D3DFMT_DXT1; c <= D3DFMT_DXT5; c += 0x01000000) codes.push_back(c);
  for (u32 code : codes) {
    const u32 size = DXLGetPixelWriteSize(code);
    u32 touched = 0;
    for (u8 fill : {u8{0x00}, u8{0xFF}}) {
      u8 pixel[8];
      std::memset(pixel, fill, sizeof pixel);
      EXPECT_EQ(DXLARGBToPixel(0x5A3C9617u, code, pixel), size != 0) << code;
      for (u32 i = 0; i < sizeof pixel; ++i)
        if (pixel[i] != fill) touched = std::max(touched, i + 1);
    }
    EXPECT_EQ(touched, size) << code;
    // A stored texel is never wider than a written pixel.
    EXPECT_LE(DXLGetFormatBytes(code), size) << code;
  }
}

TEST(PixelFormat, NextPowerOfTwoAndAspectRatio) {
  EXPECT_EQ(DXLNextPowerOfTwo(0), 0u);
  EXPECT_EQ(DXLNextPowerOfTwo(1), 1u);
  EXPECT_EQ(DXLNextPowerOfTwo(1024), 1024u);
  EXPECT_EQ(DXLNextPowerOfTwo(1025), 2048u);
  EXPECT_EQ(DXLNextPowerOfTwo(0x80000001u), 0x80000000u);

  i32 x, y;
  DXLGetAspectRatio(1024, 768, &x, &y);
  EXPECT_EQ(x, 4);
  EXPECT_EQ(y, 3);
  DXLGetAspectRatio(1920, 1080, &x, &y);
  EXPECT_EQ(x, 16);
  EXPECT_EQ(y, 9);
  DXLGetAspectRatio(768, 1024, &x, &y);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 4);
  DXLGetAspectRatio(1366, 768, &x, &y);
  EXPECT_EQ(x, 683);
  EXPECT_EQ(y, 384);
  DXLGetAspectRatio(0, 768, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}

TEST(PixelFormat, WorkedReadAndWriteExamples) {
  EXPECT_EQ(Read(0x8000, D3DFMT_A1R5G5B5), 0xFF000000u);
  EXPECT_EQ(Read(0x7FFF, D3DFMT_A1R5G5B5), 0x00FFFFFFu);
  EXPECT_EQ(Read(0x8000, D3DFMT_X1R5G5B5), 0xFF000000u);  // the X bit reads as alpha
  EXPECT_EQ(Write(0xFF808080, D3DFMT_R5G6B5), (16u << 11) | (32u << 5) | 16u);
  EXPECT_EQ(Read(Write(0xFF808080, D3DFMT_R5G6B5), D3DFMT_R5G6B5), 0xFF848284u);
  EXPECT_EQ(Read(0x12345678, D3DFMT_X8R8G8B8), 0x12345678u);
  EXPECT_EQ(Write(0x12345678, D3DFMT_R8G8B8), 0xFF345678u);
  EXPECT_EQ(Read(0x40, D3DFMT_A8), 0x40000000u);
  EXPECT_EQ(Read(0x7F, D3DFMT_L8), 0xFF7F7F7Fu);
  EXPECT_EQ(Read(0x807F, D3DFMT_A8L8), 0x807F7F7Fu);
  EXPECT_EQ(Read(0xA5, D3DFMT_A4L4), 0xAA555555u);
  EXPECT_EQ(Read(0xFFFFFFFF, D3DFMT_A2R10G10B10), 0xFFFFFFFFu);
  EXPECT_EQ(Read(0xE0, D3DFMT_R3G3B2), 0xFFFF0000u);
  EXPECT_EQ(Read(0x8003, D3DFMT_A8R3G3B2), 0x800000FFu);
  u32 out = 0;
  EXPECT_FALSE(DXLPixelToARGB(&out, 0x31545844, &out));
  EXPECT_FALSE(DXLARGBToPixel(0, 999, &out));
}

TEST(PixelFormat, LuminanceIsExactAndTruncated) {
  // 0.215 * 200 is exactly 43: no binary rounding may turn it into 42.
  EXPECT_EQ(Write(0xFFC80000, D3DFMT_L8), 43u);
  EXPECT_EQ(Write(0xFF0000FF, D3DFMT_L8), 18u);       // 18.36
  EXPECT_EQ(Write(0xFFFFFFFF, D3DFMT_L8), 255u);      // 255.51 truncated
  EXPECT_EQ(Write(0x7FFFFFFF, D3DFMT_A8L8), 0x7FFFu);
  // A4L4 rounds the exact luminance: G = 12 gives 8.58, which rounds to 1
  // nibble step (8 would round to 0).
  EXPECT_EQ(Write(0x00000C00, D3DFMT_A4L4), 0x01u);
  EXPECT_EQ(Write(0x80FFFFFF, D3DFMT_A4L4), 0x8Fu);
}

TEST(PixelFormat, EveryPackedValueSurvivesReadThenWrite) {
  for (u32 format : {D3DFMT_R5G6B5, D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_X4R4G4B4,
                     D3DFMT_A8R3G3B2, D3DFMT_A8L8})
    for (u32 v = 0; v < 0x10000; ++v) ASSERT_EQ(Write(Read(v, format), format), v) << format << " " << v;
  for (u32 format : {D3DFMT_R3G3B2, D3DFMT_A8, D3DFMT_L8, D3DFMT_A4L4})
    for (u32 v = 0; v < 0x100; ++v) ASSERT_EQ(Write(Read(v, format), format), v) << format << " " << v;
  // Ten-bit channels pass through bytes: only the colour they read as survives.
  for (u32 v : {0u, 0x3FFu, 0x12345678u, 0xC00FFC01u, 0xFFFFFFFFu}) {
    const u32 argb = Read(v, D3DFMT_A2R10G10B10);
    EXPECT_EQ(Read(Write(argb, D3DFMT_A2R10G10B10), D3DFMT_A2R10G10B10), argb);
  }
}

TEST(PixelFormat, Unpack565TruncatesEachChannel) {
  u8 out[4];
  DXLUnpack565(0xFFFF, out);
  EXPECT_EQ(out[0], 255);
  EXPECT_EQ(out[1], 255);
  EXPECT_EQ(out[2], 255);
  EXPECT_EQ(out[3], 255);
  DXLUnpack565(static_cast<u16>((16 << 11) | (32 << 5) | 16), out);
  EXPECT_EQ(out[0], 131);  // 131.6 truncated, where reading rounds to 132
  EXPECT_EQ(out[1], 129);
  EXPECT_EQ(out[2], 131);
}

TEST(PixelProcess, ColourKeys) {
  u32 px[3] = {0xFFFF00FF, 0x80FF00FF, 0xFF00FF00};
  DXLProcessPixels(D3DFMT_A8R8G8B8, 3, 1, px, DXLPIXEL_COLORKEY, 0xFFFF00FF);
  EXPECT_EQ(px[0], 0x00FF00FFu);
  EXPECT_EQ(px[1], 0x00FF00FFu);
  EXPECT_EQ(px[2], 0xFF00FF00u);

  u16 w[3] = {0xFC1F, 0x7C1F, 0x83E0};
  DXLProcessPixels(D3DFMT_A1R5G5B5, 3, 1, w, DXLPIXEL_COLORKEY, 0xFFFF00FF);
  EXPECT_EQ(w[0], 0x7C1F);
  EXPECT_EQ(w[1], 0x7C1F);
  EXPECT_EQ(w[2], 0x83E0);

  u32 one = 0xFF123456;
  DXLProcessPixels(D3DFMT_X8R8G8B8, 1, 1, &one, DXLPIXEL_COLORKEY_FIRST, 0);
  EXPECT_EQ(one, 0x00123456u);

  u16 al[2] = {0xFF20, 0xFF21};
  DXLProcessPixels(D3DFMT_A8L8, 2, 1, al, DXLPIXEL_COLORKEY_FIRST, 0);
  EXPECT_EQ(al[0], 0x0020);
  EXPECT_EQ(al[1], 0xFF21);

  u16 rgb565 = 0xFFFF;  // no alpha to clear: left alone
  DXLProcessPixels(D3DFMT_R5G6B5, 1, 1, &rgb565, DXLPIXEL_COLORKEY_FIRST, 0);
  EXPECT_EQ(rgb565, 0xFFFF);
}

TEST(PixelProcess, AlphaFromBrightnessAndInversion) {
  u32 px = 0x00306090;
  DXLProcessPixels(D3DFMT_A8R8G8B8, 1, 1, &px, DXLPIXEL_ALPHA_FROM_LUMA, 0);
  EXPECT_EQ(px, 0x60306090u);
  px = 0x00306090;
  DXLProcessPixels(D3DFMT_A8R8G8B8, 1, 1, &px, DXLPIXEL_ALPHA_FROM_LUMA_INVERTED, 0);
  EXPECT_EQ(px, 0x9F306090u);

  u16 w[2] = {0x0FFF, 0xF000};
  DXLProcessPixels(D3DFMT_A4R4G4B4, 2, 1, w, DXLPIXEL_ALPHA_FROM_LUMA, 0);
  EXPECT_EQ(w[0], 0xFFFF);
  EXPECT_EQ(w[1], 0x0000);

  u16 x[2] = {0x7FFF, 0x8000 | (3 << 5)};  // white; dark green
  DXLProcessPixels(D3DFMT_A1R5G5B5, 2, 1, x, DXLPIXEL_ALPHA_FROM_LUMA, 0);
  EXPECT_EQ(x[0], 0xFFFF);
  EXPECT_EQ(x[1], 3 << 5);

  u16 al = 0x0040;
  DXLProcessPixels(D3DFMT_A8L8, 1, 1, &al, DXLPIXEL_ALPHA_FROM_LUMA, 0);
  EXPECT_EQ(al, 0x4040);
  u8 a4 = 0x07;
  DXLProcessPixels(D3DFMT_A4L4, 1, 1, &a4, DXLPIXEL_ALPHA_FROM_LUMA, 0);
  EXPECT_EQ(a4, 0x77);

  u8 a8 = 0x40;
  DXLProcessPixels(D3DFMT_A8, 1, 1, &a8, DXLPIXEL_ALPHA_INVERT, 0);
  EXPECT_EQ(a8, 0xBF);
  DXLProcessPixels(D3DFMT_A8, 1, 1, &a8, DXLPIXEL_ALPHA_FROM_LUMA, 0);  // no brightness in A8
  EXPECT_EQ(a8, 0xBF);
  u8 l8 = 0x40;
  DXLProcessPixels(D3DFMT_L8, 1, 1, &l8, DXLPIXEL_ALPHA_INVERT, 0);
  EXPECT_EQ(l8, 0x40);
}

TEST(PixelProcess, NothingHappensForBadArguments) {
  u32 px = 0xFF123456;
  DXLProcessPixels(D3DFMT_A8R8G8B8, 0, 1, &px, DXLPIXEL_COLORKEY_FIRST, 0);
  DXLProcessPixels(D3DFMT_A8R8G8B8, 1, -1, &px, DXLPIXEL_COLORKEY_FIRST, 0);
  DXLProcessPixels(D3DFMT_A8R8G8B8, 1, 1, &px, 6, 0);
  DXLProcessPixels(D3DFMT_DXT1, 1, 1, &px, DXLPIXEL_COLORKEY_FIRST, 0);
  DXLProcessPixels(D3DFMT_A8R8G8B8, 1, 1, nullptr, DXLPIXEL_COLORKEY_FIRST, 0);
  EXPECT_EQ(px, 0xFF123456u);
}

TEST(PixelProcess, EdgeExtensionCopiesTheLastColumnAndRow) {
  // A 2 x 2 image in a 4 x 4 texture; 0xEE marks pixels that must stay.
  u32 tex[16];
  for (u32& t : tex) t = 0xEEEEEEEE;
  tex[0] = 0x11000001;
  tex[1] = 0x22000002;
  tex[4] = 0x33000003;
  tex[5] = 0x44000004;
  DXLExtendTextureEdges(D3DFMT_A8R8G8B8, 2, 2, 4, 4, tex, true, true);
  EXPECT_EQ(tex[2], 0x00000002u);
  EXPECT_EQ(tex[6], 0x00000004u);
  EXPECT_EQ(tex[8], 0x00000003u);
  EXPECT_EQ(tex[9], 0x00000004u);
  EXPECT_EQ(tex[10], 0x44000004u);  // the corner keeps the pixel as it is
  EXPECT_EQ(tex[3], 0xEEEEEEEEu);
  EXPECT_EQ(tex[11], 0xEEEEEEEEu);
  EXPECT_EQ(tex[12], 0xEEEEEEEEu);

  u8 a4l4[4] = {0xF3, 0xEE, 0xEE, 0xEE};  // 1 x 1 in 2 x 2
  DXLExtendTextureEdges(D3DFMT_A4L4, 1, 1, 2, 2, a4l4, true, false);
  EXPECT_EQ(a4l4[1], 0x03);
  EXPECT_EQ(a4l4[2], 0xEE);

  u16 r5[4] = {0x8421, 0xEEEE, 0xEEEE, 0xEEEE};
  DXLExtendTextureEdges(D3DFMT_R5G6B5, 1, 1, 2, 2, r5, false, true);
  EXPECT_EQ(r5[2], 0x8421);
  EXPECT_EQ(r5[1], 0xEEEE);
}

TEST(PixelProcess, EdgeExtensionLeavesOtherFormatsAndEmptyImagesAlone) {
  u32 tex[4] = {1, 2, 3, 4};
  DXLExtendTextureEdges(D3DFMT_A2R10G10B10, 1, 1, 2, 2, tex, true, true);
  DXLExtendTextureEdges(D3DFMT_R8G8B8, 1, 1, 2, 2, tex, true, true);
  DXLExtendTextureEdges(D3DFMT_A8R8G8B8, 1, 1, 0, 2, tex, true, true);
  // An image without columns has no last column to copy.
  DXLExtendTextureEdges(D3DFMT_A8R8G8B8, 0, 1, 2, 2, tex, true, true);
  EXPECT_EQ(tex[0], 1u);
  EXPECT_EQ(tex[1], 2u);
  EXPECT_EQ(tex[2], 3u);
  EXPECT_EQ(tex[3], 4u);
}

TEST(Rect, ShortRectHelpers) {
  SHORTRECT r;
  SetShortRectXYWH(&r, 10, 20, 5, -30);
  EXPECT_EQ(r.right, 15);
  EXPECT_EQ(r.bottom, -10);
  SHORTRECT n;
  NormalizeShortRect(&n, &r);
  EXPECT_EQ(n.left, 10);
  EXPECT_EQ(n.right, 15);
  EXPECT_EQ(n.top, -10);
  EXPECT_EQ(n.bottom, 20);
  DXLRECT d;
  DXLSetRect(&d, 1, 2, 3, 4);
  EXPECT_EQ(d.left + d.top + d.right + d.bottom, 10);
}

TEST(Rect, FitTextRectMakesOneRectanglePerLine) {
  kis::list<DXLRECT*> queue;
  DXLRECT rect = {0, 0, 0, 0};
  // Glyph quads sit half a pixel off the pixel grid.
  DXLFitTextRect(&queue, &rect, 9.5f, 9.5f, 19.5f, 29.5f);
  DXLFitTextRect(&queue, &rect, 19.5f, 9.5f, 29.5f, 29.5f);
  DXLFitTextRect(&queue, &rect, 29.5f, 11.5f, 35.5f, 29.5f);  // a shorter glyph, same bottom
  EXPECT_EQ(queue.GetCount(), 0);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 10);
  EXPECT_EQ(rect.right, 36);
  EXPECT_EQ(rect.bottom, 30);
  DXLFitTextRect(&queue, &rect, 9.5f, 39.5f, 19.5f, 59.5f);  // next line
  ASSERT_EQ(queue.GetCount(), 1);
  EXPECT_EQ(queue[0]->right, 36);
  EXPECT_EQ(queue[0]->bottom, 30);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 40);
  EXPECT_EQ(rect.right, 20);
  EXPECT_EQ(rect.bottom, 60);
  queue.DeleteAll();
}

}  // namespace

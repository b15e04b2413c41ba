#include <gtest/gtest.h>

#include <vector>

#include "engine/image/D3DFormat.h"
#include "engine/image/DXTDecoder.h"
#include "engine/image/PixelFormat.h"
#include "testsupport/ByteBuilder.h"

namespace {

using testsupport::ByteBuilder;

// A colour block: two R5G6B5 end points and 2-bit indices, texel 0 lowest.
void ColourBlock(ByteBuilder& b, u32 c0, u32 c1, const u32 (&indices)[16]) {
  u32 bits = 0;
  for (int t = 0; t < 16; ++t) bits |= indices[t] << (2 * t);
  b.u16_(c0).u16_(c1).u32_(bits);
}

std::vector<u32> Decode(const std::vector<u8>& src, i32 w, i32 h, u32 format) {
  std::vector<u32> out(static_cast<size_t>(w) * h, 0xDEADBEEF);
  EXPECT_EQ(DXLDecodeDXT(w, h, out.data(), src.data(), src.size(), format, D3DFMT_A8R8G8B8, 4), 1);
  return out;
}

constexpr u32 kRed565 = 0xF800, kBlue565 = 0x001F;

TEST(DXTDecoder, Dxt1FourColourBlock) {
  ByteBuilder b;
  ColourBlock(b, kRed565, kBlue565, {0, 1, 2, 3, 3, 2, 1, 0});
  const auto px = Decode(b.v, 4, 4, D3DFMT_DXT1);
  EXPECT_EQ(px[0], 0xFFFF0000u);
  EXPECT_EQ(px[1], 0xFF0000FFu);
  EXPECT_EQ(px[2], 0xFFAA0055u);  // (2 * 255 + 0 + 1) / 3 = 170, (0 + 255 + 1) / 3 = 85
  EXPECT_EQ(px[3], 0xFF5500AAu);
  EXPECT_EQ(px[4], 0xFF5500AAu);
  EXPECT_EQ(px[15], 0xFFFF0000u);
  for (u32 p : px) EXPECT_EQ(p >> 24, 255u);  // c0 > c1: everything opaque
}

TEST(DXTDecoder, Dxt1ThreeColourBlockMakesOnlyIndexThreeTransparent) {
  ByteBuilder b;
  ColourBlock(b, kBlue565, kRed565, {0, 1, 2, 3});  // c0 <= c1
  const auto px = Decode(b.v, 4, 4, D3DFMT_DXT1);
  EXPECT_EQ(px[0], 0xFF0000FFu);
  EXPECT_EQ(px[1], 0xFFFF0000u);
  EXPECT_EQ(px[2], 0xFF7F007Fu);  // the mean, alpha 255
  EXPECT_EQ(px[3], 0x00AA0055u);  // its own colour, alpha 0
  for (int t = 4; t < 16; ++t) EXPECT_EQ(px[t], 0xFF0000FFu);

  ByteBuilder equal;
  ColourBlock(equal, 0x1234, 0x1234, {3, 3, 3, 3});
  EXPECT_EQ(Decode(equal.v, 4, 4, D3DFMT_DXT1)[0] >> 24, 0u);  // equal end points count as c0 <= c1
}

TEST(DXTDecoder, Dxt1WidthsNotAMultipleOfFour) {
  // 6 x 5 pixels: 2 x 2 blocks, each of one colour.
  const u32 colours[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
  ByteBuilder b;
  for (u32 c : colours) ColourBlock(b, c, 0, {});
  ASSERT_EQ(b.v.size(), DXLGetDXTDataSize(6, 5, D3DFMT_DXT1));
  const auto px = Decode(b.v, 6, 5, D3DFMT_DXT1);
  const u32 argb[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(px[y * 6 + x], argb[(y / 4) * 2 + x / 4]) << x << "," << y;

  // One byte short of the blocks: refused, nothing written.
  std::vector<u32> out(30, 7);
  EXPECT_EQ(DXLDecodeDXT(6, 5, out.data(), b.v.data(), b.v.size() - 1, D3DFMT_DXT1, D3DFMT_A8R8G8B8, 4), 0);
  for (u32 p : out) EXPECT_EQ(p, 7u);
}

TEST(DXTDecoder, Dxt3ExplicitAlpha) {
  for (u32 format : {D3DFMT_DXT3, D3DFMT_DXT2}) {
    ByteBuilder b;
    b.u16_(0x3210).u16_(0xFFFF).u16_(0x0000).u16_(0xF00F);
    ColourBlock(b, 0xFFFF, 0xFFFF, {});
    const auto px = Decode(b.v, 4, 4, format);
    EXPECT_EQ(px[0], 0x00FFFFFFu);
    EXPECT_EQ(px[1], 0x11FFFFFFu);
    EXPECT_EQ(px[2], 0x22FFFFFFu);
    EXPECT_EQ(px[3], 0x33FFFFFFu);
    EXPECT_EQ(px[4] >> 24, 255u);
    EXPECT_EQ(px[8] >> 24, 0u);
    EXPECT_EQ(px[12] >> 24, 255u);
    EXPECT_EQ(px[13] >> 24, 0u);
    EXPECT_EQ(px[15] >> 24, 255u);
  }
}

// An interpolated alpha block whose texel k (in each half) takes index k.
std::vector<u8> AlphaBlock(u32 a0, u32 a1) {
  ByteBuilder b;
  b.u8_(a0).u8_(a1);
  u32 bits = 0;
  for (u32 k = 0; k < 8; ++k) bits |= k << (3 * k);
  b.u24_(bits).u24_(bits);
  ColourBlock(b, 0, 0, {});
  return b.v;
}

TEST(DXTDecoder, Dxt5InterpolatedAlphaBothModes) {
  for (u32 format : {D3DFMT_DXT5, D3DFMT_DXT4}) {
    const auto eight = Decode(AlphaBlock(255, 0), 4, 4, format);
    const u32 expect8[8] = {255, 0, 219, 182, 146, 109, 73, 36};
    for (int t = 0; t < 16; ++t) EXPECT_EQ(eight[t] >> 24, expect8[t % 8]) << t;
    EXPECT_EQ(eight[0] & 0xFFFFFFu, 0u);

    const auto six = Decode(AlphaBlock(0, 255), 4, 4, format);
    const u32 expect6[8] = {0, 255, 51, 102, 153, 204, 0, 255};
    for (int t = 0; t < 16; ++t) EXPECT_EQ(six[t] >> 24, expect6[t % 8]) << t;
  }
}

TEST(DXTDecoder, DecodesIntoSmallerFormatsAndRefusesBadArguments) {
  ByteBuilder b;
  ColourBlock(b, kRed565, kBlue565, {});
  std::vector<u16> out(16, 0);
  EXPECT_EQ(DXLDecodeDXT(4, 4, out.data(), b.v.data(), b.v.size(), D3DFMT_DXT1, D3DFMT_R5G6B5, 2), 1);
  EXPECT_EQ(out[5], 0xF800);
  EXPECT_EQ(DXLDecodeDXT(4, 4, out.data(), b.v.data(), b.v.size(), D3DFMT_A8R8G8B8, D3DFMT_R5G6B5, 2), 0);
  EXPECT_EQ(DXLDecodeDXT(4, 4, out.data(), b.v.data(), b.v.size(), D3DFMT_DXT1, D3DFMT_DXT3, 2), 0);
  EXPECT_EQ(DXLDecodeDXT(4, 4, out.data(), b.v.data(), b.v.size(), D3DFMT_DXT1, D3DFMT_R5G6B5, 3), 0);
  // A pixel size that does not match the format would overrun the destination.
  EXPECT_EQ(DXLDecodeDXT(4, 4, out.data(), b.v.data(), b.v.size(), D3DFMT_DXT1, D3DFMT_A8R8G8B8, 2), 0);
  EXPECT_EQ(DXLGetDXTDataSize(5, 5, D3DFMT_DXT5), 64u);
  EXPECT_EQ(DXLGetDXTDataSize(0, 5, D3DFMT_DXT5), 0u);
}

}  // namespace

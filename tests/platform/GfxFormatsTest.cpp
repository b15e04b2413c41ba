// Texel decoding of every texture format, DXT blocks included.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gfx/GfxFormats.h"
#include "platform/gfx/GfxTypes.h"

using namespace plat::gfx;

TEST(GfxFormats, PlainFormatsDecodeThroughArgb) {
  const uint8_t a1[2] = {0x00, 0x80}, a1clear[2] = {0xFF, 0x7F};
  EXPECT_EQ(DecodeTexel(D3DFMT_A1R5G5B5, a1), 0xFF000000u);
  EXPECT_EQ(DecodeTexel(D3DFMT_A1R5G5B5, a1clear), 0x00FFFFFFu);
  EXPECT_EQ(DecodeTexel(D3DFMT_X1R5G5B5, a1clear), 0xFFFFFFFFu);  // no alpha: opaque
  const uint8_t x8[4] = {1, 2, 3, 0};
  EXPECT_EQ(DecodeTexel(D3DFMT_X8R8G8B8, x8), 0xFF030201u);
  EXPECT_EQ(DecodeTexel(D3DFMT_A8R8G8B8, x8), 0x00030201u);
  const uint8_t a8 = 0x80, l8 = 0x40, a4l4 = 0xF3;
  EXPECT_EQ(DecodeTexel(D3DFMT_A8, &a8), 0x80000000u);
  EXPECT_EQ(DecodeTexel(D3DFMT_L8, &l8), 0xFF404040u);
  EXPECT_EQ(DecodeTexel(D3DFMT_A4L4, &a4l4), 0xFF333333u);
  const uint8_t a8l8[2] = {0x20, 0x90};
  EXPECT_EQ(DecodeTexel(D3DFMT_A8L8, a8l8), 0x90202020u);
  const uint8_t a4[2] = {0x21, 0x8F};  // A 8, R F, G 2, B 1
  EXPECT_EQ(DecodeTexel(D3DFMT_A4R4G4B4, a4), 0x88FF2211u);
  // R5G6B5 round trip loses the low bits, rounding as the engine does.
  uint8_t w[2];
  EncodeTexel(D3DFMT_R5G6B5, 0xFF808080u, w);
  EXPECT_EQ(DecodeTexel(D3DFMT_R5G6B5, w), 0xFF848284u);
  for (uint32_t f : {21u, 25u, 26u, 51u}) {
    uint8_t t[4];
    EncodeTexel(f, 0xFFFFFFFFu, t);
    EXPECT_EQ(DecodeTexel(f, t), 0xFFFFFFFFu) << f;
  }
  EXPECT_EQ(TexelBytes(35), 0u);
  EXPECT_FALSE(IsTextureFormat(20));
  EXPECT_EQ(SurfacePitch(D3DFMT_DXT1, 10), 24u);
  EXPECT_EQ(SurfaceRows(D3DFMT_DXT3, 10), 3u);
}

TEST(GfxFormats, Dxt1PaletteAndTransparentIndex) {
  // c0 = white, c1 = black; c0 > c1: four opaque colours.
  const uint8_t opaque[8] = {0xFF, 0xFF, 0x00, 0x00, 0b11100100, 0, 0, 0};
  std::vector<uint32_t> out(16);
  DecodeSurface(D3DFMT_DXT1, opaque, 8, 4, 4, out.data());
  EXPECT_EQ(out[0], 0xFFFFFFFFu);
  EXPECT_EQ(out[1], 0xFF000000u);
  EXPECT_EQ(out[2], 0xFFAAAAAAu);
  EXPECT_EQ(out[3], 0xFF555555u);
  // c0 <= c1: index 2 is the average, index 3 transparent.
  const uint8_t keyed[8] = {0x00, 0x00, 0xFF, 0xFF, 0b11100100, 0, 0, 0};
  DecodeSurface(D3DFMT_DXT1, keyed, 8, 4, 4, out.data());
  EXPECT_EQ(out[2], 0xFF7F7F7Fu);
  EXPECT_EQ(out[3] >> 24, 0u);
  EXPECT_EQ(out[4] >> 24, 0xFFu);
}

TEST(GfxFormats, Dxt3AndDxt5Alpha) {
  uint8_t block[16] = {};
  block[0] = 0x1F;  // texel 0 alpha 15, texel 1 alpha 1
  block[8] = 0xFF;  // colour: white
  block[9] = 0xFF;
  std::vector<uint32_t> out(16);
  DecodeSurface(D3DFMT_DXT3, block, 16, 4, 4, out.data());
  EXPECT_EQ(out[0], 0xFFFFFFFFu);
  EXPECT_EQ(out[1], 0x11FFFFFFu);
  uint8_t b5[16] = {};
  b5[0] = 200;
  b5[1] = 100;
  b5[2] = 0b00010001;  // texel 0 index 1, texel 1 index 2 (bits 3..5 = 010)
  b5[8] = 0xFF;
  b5[9] = 0xFF;
  DecodeSurface(D3DFMT_DXT5, b5, 16, 4, 4, out.data());
  EXPECT_EQ(out[0] >> 24, 100u);
  EXPECT_EQ(out[1] >> 24, (6u * 200 + 100 + 3) / 7);
  b5[0] = 50;  // a0 <= a1: six-step table with 0 and 255
  b5[1] = 100;
  b5[2] = 0b00110111;  // texel 0 index 7, texel 1 index 6
  DecodeSurface(D3DFMT_DXT5, b5, 16, 4, 4, out.data());
  EXPECT_EQ(out[0] >> 24, 255u);
  EXPECT_EQ(out[1] >> 24, 0u);
  // A 2 x 2 texture decodes the covered part of its one block.
  std::vector<uint32_t> small(4, 7);
  DecodeSurface(D3DFMT_DXT5, b5, 16, 2, 2, small.data());
  EXPECT_EQ(small[0] >> 24, 255u);
}

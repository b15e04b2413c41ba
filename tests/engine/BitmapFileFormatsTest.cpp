#include <gtest/gtest.h>

#include <string>

#include "BitmapTestHelpers.h"
#include "testsupport/ByteBuilder.h"

namespace {

using Bytes = testsupport::ByteBuilder;
using testing_support::ExpectRefused;
using testing_support::Load;
using testing_support::PixelWord;

TEST(BitmapFileFormats, RegistryFindsByExtensionIgnoringCase) {
  DXLBitmapFileFormats formats;
  // Seven formats: cursor files go through the icon reader (it tells them by
  // their directory type), not through an extension of their own.
  ASSERT_EQ(formats.GetCount(), 7);
  const char16_t* order[] = {u"glb", u"dxlb", u"tga", u"ico", u"bmp", u"dds", u"ppm"};
  for (i32 i = 0; i < 7; ++i) EXPECT_EQ(std::u16string(formats[i]->extension), order[i]);
  const DXLBITMAPFILEFORMAT* tga = formats.Find(u"TGA");
  ASSERT_NE(tga, nullptr);
  EXPECT_EQ(tga->loader, &DXLLoadBitmapTGA);
  EXPECT_EQ(std::u16string(tga->description), u"Targa file");
  EXPECT_EQ(formats.Find(u"png"), nullptr);
  EXPECT_EQ(formats.Find(nullptr), nullptr);
  EXPECT_EQ(formats.Find(u"tg"), nullptr);

  formats.Register(u"BMP", u"Another", DXLLoadBitmapPPM);
  formats.Register(u"", u"Empty", DXLLoadBitmapPPM);
  formats.Register(nullptr, u"Null", DXLLoadBitmapPPM);
  EXPECT_EQ(formats.GetCount(), 7);
  EXPECT_EQ(formats.Find(u"cur"), nullptr);
  EXPECT_EQ(formats.Find(u"bmp")->loader, &DXLLoadBitmapBMP);

  const std::u16string longName(300, u'x');
  formats.Register(longName.c_str(), nullptr, DXLLoadBitmapPPM);
  ASSERT_EQ(formats.GetCount(), 8);
  EXPECT_EQ(std::u16string(formats[7]->extension).size(), 127u);
  EXPECT_EQ(formats[7]->description[0], 0);
}

Bytes DxlbHeader(u32 format, u32 w, u32 h, u32 dataSize, u32 unpacked, u32 mode) {
  Bytes b;
  b.u32_(format).u32_(w).u32_(h).u32_(dataSize).u32_(unpacked).u32_(mode);
  return b;
}

TEST(LoadDXLB, PlainPackedAndCompressedImages) {
  const auto plain = DxlbHeader(D3DFMT_A8R8G8B8, 2, 2, 16, 0, 0).u32_(1).u32_(2).u32_(3).u32_(4).v;
  EXPECT_EQ(plain.size(), 24u + 16u);
  DXLBitmap b;
  Load(DXLLoadBitmapDXLB, plain, b);
  EXPECT_EQ(b.GetFormat(), u32{D3DFMT_A8R8G8B8});
  EXPECT_EQ(PixelWord(b, 1, 1), 4u);

  DXLBitmap p;
  Load(DXLLoadBitmapDXLB, DxlbHeader(D3DFMT_L8, 2, 2, 2, 4, 1).raw({0x83, 42}).v, p);
  EXPECT_EQ(p.GetPackMode(), 1u);
  EXPECT_EQ(p.GetDataSize(), 2u);
  EXPECT_EQ(p.GetRow(1)[1], 42);

  DXLBitmap d;
  Load(DXLLoadBitmapDXLB, DxlbHeader(D3DFMT_DXT1, 4, 4, 8, 0, 0).raw({0, 0xF8, 0, 0, 0, 0, 0, 0}).v, d);
  EXPECT_EQ(d.GetFormat(), u32{D3DFMT_DXT1});
  EXPECT_EQ(d.GetDataSize(), 8u);

  DXLBitmap none;  // a header of an empty image has no data to read
  Load(DXLLoadBitmapDXLB, DxlbHeader(D3DFMT_A8R8G8B8, 0, 0, 0, 0, 0).v, none);
  EXPECT_TRUE(none.IsEmpty());
  EXPECT_EQ(none.GetFormat(), u32{D3DFMT_A8R8G8B8});
}

TEST(LoadDXLB, ShortDataClearsAndBadHeadersAreRefused) {
  DXLBitmap b;
  testing_support::MakeMarker(b);
  Load(DXLLoadBitmapDXLB, DxlbHeader(D3DFMT_A8R8G8B8, 2, 2, 16, 0, 0).u32_(1).v, b);
  EXPECT_TRUE(b.IsEmpty());
  EXPECT_EQ(b.GetWidth(), 0);

  DXLBitmap over;  // a run that overruns the unpacked size
  Load(DXLLoadBitmapDXLB, DxlbHeader(D3DFMT_L8, 2, 2, 2, 4, 1).raw({0xFF, 42}).v, over);
  EXPECT_TRUE(over.IsEmpty());

  ExpectRefused(DXLLoadBitmapDXLB, std::vector<u8>(20, 0));  // short header
  ExpectRefused(DXLLoadBitmapDXLB, DxlbHeader(D3DFMT_A8R8G8B8, 5000, 1, 20000, 0, 0).zeros(64).v);
  ExpectRefused(DXLLoadBitmapDXLB, DxlbHeader(D3DFMT_A8R8G8B8, 2, 2, 0xFFFFFFFF, 0, 0).zeros(64).v);
  ExpectRefused(DXLLoadBitmapDXLB, DxlbHeader(D3DFMT_A8R8G8B8, 2, 2, 8, 0, 0).zeros(64).v);
  ExpectRefused(DXLLoadBitmapDXLB, DxlbHeader(D3DFMT_DXT5, 8, 8, 16, 0, 0).zeros(64).v);
  ExpectRefused(DXLLoadBitmapDXLB, DxlbHeader(D3DFMT_L8, 2, 2, 2, 4, 3).zeros(64).v);
}

Bytes GlbHeader(u32 w, u32 h, u32 packing, u32 dataSize, u32 unpacked) {
  Bytes b;
  b.u32_(w).u32_(h).u8_(packing).u32_(dataSize).u32_(unpacked);
  return b;
}

TEST(LoadGLB, BottomUpRgbaBecomesTopDownBgra) {
  DXLBitmap b;
  Load(DXLLoadBitmapGLB, GlbHeader(1, 2, 9, 8, 0).raw({0x10, 0x20, 0x30, 0x40}).raw({1, 2, 3, 4}).v, b);
  EXPECT_EQ(b.GetFormat(), u32{D3DFMT_A8R8G8B8});
  EXPECT_EQ(PixelWord(b, 0, 1), 0x40102030u);  // the first stored row is the bottom one
  EXPECT_EQ(PixelWord(b, 0, 0), 0x04010203u);
}

TEST(LoadGLB, PackedFilesStayPacked) {
  // 4 x 1 of one colour in a single run packet of 4-byte elements.
  DXLBitmap b;
  Load(DXLLoadBitmapGLB, GlbHeader(4, 1, 2, 5, 16).raw({0x83, 0x10, 0x20, 0x30, 0x40}).v, b);
  EXPECT_EQ(b.GetPackMode(), 4u);
  EXPECT_EQ(b.GetDataSize(), 5u);
  EXPECT_EQ(PixelWord(b, 3, 0), 0x40102030u);

  DXLBitmap bad;  // the run reaches past the image
  Load(DXLLoadBitmapGLB, GlbHeader(4, 1, 2, 5, 16).raw({0x84, 0x10, 0x20, 0x30, 0x40}).v, bad);
  EXPECT_TRUE(bad.IsEmpty());

  DXLBitmap cut;
  Load(DXLLoadBitmapGLB, GlbHeader(4, 1, 2, 5, 16).raw({0x83, 0x10}).v, cut);
  EXPECT_TRUE(cut.IsEmpty());

  ExpectRefused(DXLLoadBitmapGLB, std::vector<u8>(16, 0));  // short header
  ExpectRefused(DXLLoadBitmapGLB, GlbHeader(4, 1, 2, 5, 12).raw({0x83, 1, 2, 3, 4}).v);
  ExpectRefused(DXLLoadBitmapGLB, GlbHeader(0x10000, 0x10000, 9, 16, 0).zeros(16).v);
}

}  // namespace

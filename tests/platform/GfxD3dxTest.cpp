// The utility-library subset: projection, texture creation and loading
// through an installed image decoder.
#include <cstdio>
#include <string>
#include <vector>

#include "GfxTestRig.h"
#include "platform/encoding/Utf.h"
#include "platform/os/PlatformServices.h"
#include "testsupport/SeededRandom.h"

using namespace gfxtest;

namespace {

// A minimal uncompressed Targa reader (32- and 24-bit, bottom-up or top-down).
bool DecodeTga(const uint8_t* d, size_t n, DecodedImage* out) {
  if (n < 18 || d[1] != 0 || d[2] != 2) return false;
  const uint32_t w = d[12] | (d[13] << 8), h = d[14] | (d[15] << 8), bpp = d[16];
  if (w == 0 || h == 0 || (bpp != 32 && bpp != 24)) return false;
  const size_t bytes = bpp / 8, start = 18u + d[0];
  if (n < start || (n - start) / bytes / w < h) return false;
  const bool topDown = (d[17] & 0x20) != 0;
  if (!out->Allocate(w, h)) return false;
  out->fileFormat = bpp == 32 ? D3DFMT_A8R8G8B8 : D3DFMT_R8G8B8;
  for (uint32_t y = 0; y < h; ++y) {
    const uint8_t* row = d + start + (topDown ? y : h - 1 - y) * w * bytes;
    for (uint32_t x = 0; x < w; ++x) {
      const uint8_t* p = row + x * bytes;
      const uint32_t a = bpp == 32 ? p[3] : 255u;
      out->Row(y)[x] = (a << 24) | (p[2] << 16) | (p[1] << 8) | p[0];
    }
  }
  return true;
}

std::vector<uint8_t> MakeTga(uint32_t w, uint32_t h, uint32_t (*pixel)(uint32_t, uint32_t)) {
  std::vector<uint8_t> f(18, 0);
  f[2] = 2;
  f[12] = static_cast<uint8_t>(w);
  f[13] = static_cast<uint8_t>(w >> 8);
  f[14] = static_cast<uint8_t>(h);
  f[15] = static_cast<uint8_t>(h >> 8);
  f[16] = 32;
  f[17] = 0x20;
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      const uint32_t c = pixel(x, y);
      for (int i = 0; i < 4; ++i) f.push_back(static_cast<uint8_t>(c >> (8 * i)));
    }
  }
  return f;
}

uint32_t Ramp(uint32_t x, uint32_t y) { return 0xFF000000u | (x << 8) | y; }

struct DecoderScope {
  plat::PlatformServicesScope installed{{.imageDecoder = DecodeTga}};
};

uint32_t TexelAt(Texture* t, uint32_t x, uint32_t y) { return t->Texels()[y * t->Width() + x]; }

}  // namespace

TEST(GfxD3dx, OrthographicOffCentreMapsPixelsToTheTarget) {
  Matrix m;
  ASSERT_EQ(D3DXMatrixOrthoOffCenterLH(&m, 0, 800, 600, 0, 0, 0.1f), &m);
  auto map = [&](float x, float y) {
    return std::pair{x * m.m[0][0] + y * m.m[1][0] + m.m[3][0], x * m.m[0][1] + y * m.m[1][1] + m.m[3][1]};
  };
  EXPECT_EQ(map(0, 0), (std::pair{-1.0f, 1.0f}));
  EXPECT_EQ(map(800, 600), (std::pair{1.0f, -1.0f}));
  EXPECT_FLOAT_EQ(m.m[2][2], 10.0f);
  EXPECT_EQ(D3DXMatrixAffineTransformation2D(&m, 1, nullptr, 0, nullptr), nullptr);
  void* font = &m;
  EXPECT_EQ(D3DXCreateFontIndirectW(nullptr, nullptr, &font), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(font, nullptr);
}

TEST(GfxD3dx, CreateTextureRoundsToPowersOfTwo) {
  Rig rig(8, 8);
  std::unique_ptr<Texture> t;
  ASSERT_EQ(D3DXCreateTexture(rig.Dev(), 300, 200, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), D3D_OK);
  EXPECT_EQ(t->Width(), 512u);
  EXPECT_EQ(t->Height(), 256u);
  ASSERT_EQ(D3DXCreateTexture(rig.Dev(), 64, 1, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &t), D3D_OK);
  EXPECT_EQ(t->Width(), 64u);
  EXPECT_EQ(t->Format(), D3DFMT_A4R4G4B4);
  EXPECT_EQ(D3DXCreateTexture(rig.Dev(), 4, 4, 3, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), D3DERR_INVALIDCALL);
  EXPECT_EQ(D3DXCreateTexture(nullptr, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), D3DERR_INVALIDCALL);
}

TEST(GfxD3dx, TextureFromMemorySizesAndFilters) {
  DecoderScope decoder;
  Rig rig(8, 8);
  const std::vector<uint8_t> file = MakeTga(300, 200, Ramp);
  std::unique_ptr<Texture> t;
  ImageInfo info{};
  // Default size and no filter: power-of-two texture, image in the top-left corner.
  ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(rig.Dev(), file.data(), static_cast<uint32_t>(file.size()),
                                                D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_FROM_FILE, D3DPOOL_MANAGED,
                                                D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, &info, nullptr, &t),
            D3D_OK);
  EXPECT_EQ(info.width, 300u);
  EXPECT_EQ(info.height, 200u);
  EXPECT_EQ(info.format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(t->Width(), 512u);
  EXPECT_EQ(t->Height(), 256u);
  EXPECT_EQ(t->Format(), D3DFMT_A8R8G8B8);
  EXPECT_EQ(TexelAt(t.get(), 299, 199), Ramp(299, 199));
  EXPECT_EQ(TexelAt(t.get(), 300, 0), 0u);
  EXPECT_EQ(TexelAt(t.get(), 0, 200), 0u);
  // A scaling filter stretches the image over the whole texture.
  ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(rig.Dev(), file.data(), static_cast<uint32_t>(file.size()),
                                                D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_FROM_FILE, D3DPOOL_MANAGED,
                                                D3DX_FILTER_POINT, D3DX_FILTER_NONE, 0, &info, nullptr, &t),
            D3D_OK);
  EXPECT_EQ(TexelAt(t.get(), 511, 255), Ramp(299, 199));
  EXPECT_EQ(TexelAt(t.get(), 0, 0), Ramp(0, 0));
  ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(rig.Dev(), file.data(), static_cast<uint32_t>(file.size()),
                                                D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_FROM_FILE, D3DPOOL_MANAGED,
                                                D3DX_DEFAULT, D3DX_FILTER_NONE, 0, &info, nullptr, &t),
            D3D_OK);
  EXPECT_NEAR(static_cast<int>((TexelAt(t.get(), 256, 0) >> 8) & 0xFF), 150, 1);
  // Own size, a given format, a colour key.
  ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(rig.Dev(), file.data(), static_cast<uint32_t>(file.size()),
                                                D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 1, 0, D3DFMT_A1R5G5B5,
                                                D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, Ramp(0, 0),
                                                &info, nullptr, &t),
            D3D_OK);
  EXPECT_EQ(t->Width(), 300u);
  EXPECT_EQ(t->Format(), D3DFMT_A1R5G5B5);
  EXPECT_EQ(TexelAt(t.get(), 0, 0) >> 24, 0u);
  EXPECT_EQ(TexelAt(t.get(), 1, 0) >> 24, 0xFFu);
  SurfaceDesc d{};
  t->GetLevelDesc(0, &d);
  EXPECT_EQ(d.pool, D3DPOOL_MANAGED);
}

TEST(GfxD3dx, BadOrMissingImagesFailCleanly) {
  Rig rig(8, 8);
  std::vector<uint8_t> file = MakeTga(4, 4, Ramp);
  std::unique_ptr<Texture> t;
  ImageInfo info{};
  auto load = [&](const std::vector<uint8_t>& bytes) {
    return D3DXCreateTextureFromFileInMemoryEx(rig.Dev(), bytes.data(), static_cast<uint32_t>(bytes.size()),
                                               D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_FROM_FILE, D3DPOOL_MANAGED,
                                               D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, &info, nullptr, &t);
  };
  EXPECT_EQ(load(file), D3DXERR_INVALIDDATA);  // no decoder installed
  DecoderScope decoder;
  std::vector<uint8_t> truncated(file.begin(), file.end() - 1);
  EXPECT_EQ(load(truncated), D3DXERR_INVALIDDATA);
  EXPECT_EQ(t, nullptr);
  std::vector<uint8_t> garbage(40, 0xAB);
  EXPECT_EQ(load(garbage), D3DXERR_INVALIDDATA);
  EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(garbage.data(), 40, &info), D3DXERR_INVALIDDATA);
  EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(file.data(), static_cast<uint32_t>(file.size()), &info), D3D_OK);
  EXPECT_EQ(info.width, 4u);
  rig.Soft()->Faults().FailNext(Op::LoadImage, D3DXERR_INVALIDDATA);
  EXPECT_EQ(load(file), D3DXERR_INVALIDDATA);
  EXPECT_EQ(load(file), D3D_OK);
  EXPECT_EQ(D3DXCreateTextureFromFileExW(rig.Dev(), u"/nonexistent/none.tga", D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                         D3DFMT_FROM_FILE, D3DPOOL_MANAGED, 1, 1, 0, &info, nullptr, &t),
            D3DERR_NOTFOUND);
  EXPECT_EQ(D3DXCreateTextureFromFileExA(rig.Dev(), "x.tga", D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_FROM_FILE,
                                         D3DPOOL_MANAGED, 1, 1, 0, &info, nullptr, &t),
            D3DERR_NOTAVAILABLE);
}

TEST(GfxD3dx, TextureFromFileOnDisk) {
  DecoderScope decoder;
  Rig rig(8, 8);
  const std::string path = testing::TempDir() + "gfx_d3dx_image.tga";
  const std::vector<uint8_t> file = MakeTga(5, 3, Ramp);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(file.data(), 1, file.size(), f);
  std::fclose(f);
  std::unique_ptr<Texture> t;
  ImageInfo info{};
  const std::u16string wide = plat::Utf8ToUtf16(path);
  ASSERT_EQ(D3DXCreateTextureFromFileExW(rig.Dev(), wide.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_FROM_FILE,
                                         D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, &info, nullptr, &t),
            D3D_OK);
  EXPECT_EQ(t->Width(), 8u);
  EXPECT_EQ(t->Height(), 4u);
  EXPECT_EQ(TexelAt(t.get(), 4, 2), Ramp(4, 2));
  std::remove(path.c_str());
}

namespace {

// A mostly transparent 37 x 21 picture: texels at both ends of some rows,
// an empty row, runs parted by gaps of 1 to 4 zeros, a transparent texel
// that keeps its colour, and blobs.
uint32_t Sparse(uint32_t x, uint32_t y) {
  if (y == 3) return 0;
  if ((x == 0 || x == 36) && y % 4 == 1) return 0xFF102030u + y;
  if (y == 10) return x == 2 || x == 4 || x == 7 || x == 11 || x == 16 ? 0x80000000u | x : x == 20 ? 0x00FFFFFFu : 0;
  if (y >= 5 && y <= 15 && x % 9 < 2 + y % 3) return 0xFF000000u | x << 8 | y;
  return 0;
}

}  // namespace

// A mostly transparent picture keeps only its visible texels until the
// device first reads them, then reads exactly as decoded, zero around the
// image; a lock unpacks it too; an opaque picture is never packed. Packed
// blocks of any density with a margin come back as they were, and a block
// too dense to gain is refused.
TEST(GfxD3dx, MostlyTransparentPicturesStayPackedUntilRead) {
  DecoderScope decoder;
  Rig rig(8, 8);
  const std::vector<uint8_t> file = MakeTga(37, 21, Sparse);
  std::unique_ptr<Texture> t;
  auto load = [&](const std::vector<uint8_t>& bytes, uint32_t filter) {
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(rig.Dev(), bytes.data(), static_cast<uint32_t>(bytes.size()),
                                                  D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_FROM_FILE,
                                                  D3DPOOL_MANAGED, filter, D3DX_FILTER_NONE, 0, nullptr, nullptr, &t),
              D3D_OK);
  };
  for (bool lockFirst : {false, true}) {
    load(file, D3DX_FILTER_NONE);
    ASSERT_EQ(t->Width(), 64u);
    EXPECT_TRUE(t->IsPacked());
    if (lockFirst) {
      LockedRect lr{};
      ASSERT_EQ(t->LockRect(0, &lr, nullptr, 0), D3D_OK);
      EXPECT_FALSE(t->IsPacked());
      static_cast<uint32_t*>(lr.bits)[3 * 64 + 5] = 0x12345678u;
      ASSERT_EQ(t->UnlockRect(0), D3D_OK);
    }
    for (uint32_t y = 0; y < 32; ++y)
      for (uint32_t x = 0; x < 64; ++x) {
        const uint32_t want = lockFirst && x == 5 && y == 3 ? 0x12345678u : x < 37 && y < 21 ? Sparse(x, y) : 0u;
        ASSERT_EQ(TexelAt(t.get(), x, y), want) << x << "," << y;
      }
    EXPECT_FALSE(t->IsPacked());
    EXPECT_FALSE(t->Opaque());
  }
  // Scaled over the whole texture it packs as well, the same texels as scaled.
  load(file, D3DX_FILTER_POINT);
  EXPECT_TRUE(t->IsPacked());
  EXPECT_EQ(TexelAt(t.get(), 0, 0), Sparse(0, 0));
  EXPECT_EQ(TexelAt(t.get(), 63, 2), Sparse(36, 1));
  load(MakeTga(37, 21, Ramp), D3DX_FILTER_NONE);
  EXPECT_FALSE(t->IsPacked());
  EXPECT_EQ(TexelAt(t.get(), 36, 20), Ramp(36, 20));

  testsupport::SeededRandom rng(52);
  const uint32_t pitch = 48, width = 45, height = 30;
  for (uint32_t oneIn : {0u, 64u, 8u, 3u, 1u}) {
    SCOPED_TRACE(oneIn);
    std::vector<uint32_t> block(pitch * height, 0);
    for (uint32_t y = 0; y < height; ++y)
      for (uint32_t x = 0; x < width; ++x)
        if (oneIn != 0 && rng.Next() % oneIn == 0) block[y * pitch + x] = rng.Next() | 1u;
    PackedTexels packed;
    const bool ok = packed.Pack(block.data(), pitch, width, height);
    EXPECT_EQ(ok, oneIn == 0 || oneIn >= 8);
    if (!ok) continue;
    std::vector<uint32_t> back(pitch * height, 0);
    packed.Unpack(back.data());
    EXPECT_EQ(back, block);
  }
}

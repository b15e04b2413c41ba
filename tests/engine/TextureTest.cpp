#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/datafile/DataFileReader.h"
#include "engine/DXLImageDecoder.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextureLoaderDataFile.h"
#include "engine/DXLTextureRows.h"
#include "engine/DXLTextures.h"
#include "engine/image/D3DFormat.h"
#include "engine/image/DXLBitmap.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/GfxD3dx.h"
#include "platform/gfx/GfxFormats.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/ImageFiles.h"
#include "testsupport/ViewerRig.h"

namespace gfx = plat::gfx;
using viewertest::ViewerRig;

namespace {

// A 4 x 3 picture of distinct opaque colours.
std::vector<u32> Picture(u32 w, u32 h) {
  std::vector<u32> p(w * h);
  for (u32 y = 0; y < h; ++y)
    for (u32 x = 0; x < w; ++x) p[y * w + x] = 0xFF000000u | (x * 60 + 10) << 16 | (y * 70 + 20) << 8 | (x * y * 9);
  return p;
}

// Records what a texture tells its listeners.
class Listener : public DXLNotifyObject {
 public:
  void Notify(DXLNotifyObject*, u32 code) override { codes.push_back(code); }
  std::vector<u32> codes;
};

class Textures : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(rig_.Open(64, 48), 0); }

  // Draws the texture 1:1 at (x, y) with point sampling over black and
  // presents the frame.
  void Draw(DXLTexture* texture, float x, float y) {
    ASSERT_EQ(rig_.viewer->BeginFrame(), 0);
    rig_.viewer->Clear(0xFF000000u);
    texture->SetFilter(0);
    ASSERT_TRUE(texture->Select(true));
    DXLQUAD quad;
    texture->MakeQuad(&quad, x, y, 0, false, false);
    rig_.viewer->DrawQuad(&quad);
    texture->Deselect(true);
    ASSERT_EQ(rig_.viewer->Present(), 0);
  }

  // The frame at (x, y) shows the picture, black around it.
  void ExpectPicture(const std::vector<u32>& picture, u32 w, u32 h, u32 x0, u32 y0) {
    gfx::SoftDevice* soft = rig_.Soft();
    for (u32 y = 0; y < h; ++y)
      for (u32 x = 0; x < w; ++x)
        ASSERT_EQ(soft->FramePixel(x0 + x, y0 + y), picture[y * w + x] | 0xFF000000u) << x << "," << y;
    EXPECT_EQ(soft->FramePixel(x0 + w, y0), 0xFF000000u);
    EXPECT_EQ(soft->FramePixel(x0, y0 + h), 0xFF000000u);
    EXPECT_EQ(soft->FramePixel(x0 - 1, y0 - 1), 0xFF000000u);
  }

  std::string Path(const char* name) const { return rig_.Folder() + "/" + name; }

  ViewerRig rig_;
};

TEST_F(Textures, TheEngineDecoderServesTheUtilityLibrary) {
  EXPECT_EQ(gfx::GetImageDecoder(), &DXLDecodeImage);
  const std::vector<u8> tga = imagefiles::Targa32(2, 1, {0x80FF0000u, 0xFF00FF00u});
  gfx::DecodedImage img;
  ASSERT_TRUE(DXLDecodeImage(tga.data(), tga.size(), &img));
  EXPECT_EQ(img.width, 2u);
  EXPECT_EQ(img.fileFormat, static_cast<u32>(D3DFMT_A8R8G8B8));
  EXPECT_EQ(std::vector<u32>(img.argb.begin(), img.argb.end()), (std::vector<u32>{0x80FF0000u, 0xFF00FF00u}));
  const u8 junk[4] = {1, 2, 3, 4};
  EXPECT_FALSE(DXLDecodeImage(junk, sizeof(junk), &img));
  EXPECT_FALSE(DXLDecodeImage(nullptr, 0, &img));
}

TEST_F(Textures, FromAFileDrawnAsAQuad) {
  const std::vector<u32> pic = Picture(4, 3);
  ASSERT_TRUE(testsupport::WriteFileBytes(Path("pic.tga"), imagefiles::Targa32(4, 3, pic)));
  Listener listener;  // outlives the texture, which tells it 1 when it goes
  DXLTexture texture(rig_.viewer.get());
  texture.AddListener(&listener);
  const std::u16string path = plat::Utf8ToUtf16(Path("pic.tga"));
  texture.SetFileName(path.c_str(), true);
  texture.Load();
  ASSERT_TRUE(texture.IsReady());
  EXPECT_TRUE(texture.IsRestorable());
  EXPECT_EQ(texture.GetImageWidth(), 4);
  EXPECT_EQ(texture.GetImageHeight(), 3);
  EXPECT_EQ(texture.GetWidth(), 4);
  EXPECT_EQ(texture.GetHeight(), 4);
  EXPECT_FLOAT_EQ(texture.GetBottomV(), 0.75f);
  EXPECT_EQ(listener.codes, (std::vector<u32>{2}));
  Draw(&texture, 10, 20);
  ExpectPicture(pic, 4, 3, 10, 20);

  texture.Unload();
  EXPECT_FALSE(texture.IsReady());
  EXPECT_FALSE(texture.IsRestorable());
  EXPECT_EQ(texture.GetWidth(), 0);
  EXPECT_EQ(listener.codes, (std::vector<u32>{2, 3}));

  DXLTexture missing(rig_.viewer.get());
  missing.LoadFromFile(u"/no/such/file.tga");
  EXPECT_FALSE(missing.IsReady());
  missing.LoadFromFile(u"");
  EXPECT_FALSE(missing.IsReady());
}

TEST_F(Textures, ColourKeyFromTheFirstPixel) {
  std::vector<u32> pic = {0xFF112233u, 0xFFFFFFFFu, 0xFF112233u, 0xFF445566u};
  ASSERT_TRUE(testsupport::WriteFileBytes(Path("key.tga"), imagefiles::Targa32(2, 2, pic)));
  DXLTexture texture(rig_.viewer.get());
  texture.SetKeyMode(2, 0);
  const std::u16string path = plat::Utf8ToUtf16(Path("key.tga"));
  texture.LoadFromFile(path.c_str());
  ASSERT_TRUE(texture.IsReady());
  const u8* bits = texture.Lock(0);
  ASSERT_NE(bits, nullptr);
  const i32 pitch = texture.GetLockPitch();
  auto at = [&](int x, int y) { return kis::GetU32LE(bits + y * pitch + x * 4); };
  EXPECT_EQ(at(0, 0) >> 24, 0u);
  EXPECT_EQ(at(0, 1) >> 24, 0u);
  EXPECT_EQ(at(1, 0) >> 24, 0xFFu);
  EXPECT_EQ(at(1, 1), 0xFF445566u);
  texture.Unlock();
}

TEST_F(Textures, FromABitmapWithItsPowerOfTwoSizeAndEdges) {
  DXLBitmap bitmap;
  bitmap.SetFormat(D3DFMT_A8R8G8B8);
  bitmap.SetSize(3, 3);
  const std::vector<u32> pic = Picture(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) kis::PutU32LE(bitmap.GetRow(y) + x * 4, pic[y * 3 + x]);
  bitmap.SetPackMode(4);

  DXLTexture texture(rig_.viewer.get());
  texture.SetEdgeFlags(kTextureEdgeRight | kTextureEdgeBottom);
  texture.SetBitmap(&bitmap, true);
  EXPECT_EQ(bitmap.GetListenerCount(), 1);
  texture.Load();
  ASSERT_TRUE(texture.IsReady());
  EXPECT_EQ(texture.GetWidth(), 4);
  EXPECT_FLOAT_EQ(texture.GetRightU(), 0.75f);
  EXPECT_EQ(bitmap.GetPackMode(), 4u);  // packed again after the upload
  const u8* bits = texture.Lock(0);
  ASSERT_NE(bits, nullptr);
  const i32 pitch = texture.GetLockPitch();
  // The last column is copied to the right without alpha, the last row below.
  EXPECT_EQ(kis::GetU32LE(bits + 1 * pitch + 3 * 4), pic[1 * 3 + 2] & 0x00FFFFFFu);
  EXPECT_EQ(kis::GetU32LE(bits + 3 * pitch + 0 * 4), pic[2 * 3 + 0] & 0x00FFFFFFu);
  texture.Unlock();
  Draw(&texture, 30, 5);
  ExpectPicture(pic, 3, 3, 30, 5);

  // The colour key reaches the bitmap's pixels of the key colour once they
  // are in. A scaling filter spreads the picture over the whole texture: no
  // copy of its last column or row is laid over it.
  const auto alpha = [&](i32 x, i32 y) {
    const u8* texels = texture.Lock(0);
    const u32 a = texels ? kis::GetU32LE(texels + y * texture.GetLockPitch() + x * 4) >> 24 : 0x100u;
    texture.Unlock();
    return a;
  };
  texture.SetKeyMode(1, pic[1 * 3 + 1]);
  texture.Unload();
  texture.Load();
  EXPECT_EQ(alpha(1, 1), 0u);
  EXPECT_EQ(alpha(0, 0), 0xFFu);
  texture.SetKeyMode(0, 0);
  texture.SetImageFilter(gfx::D3DX_FILTER_POINT);
  texture.Load();
  EXPECT_EQ(alpha(3, 1), 0xFFu);
  EXPECT_EQ(alpha(0, 3), 0xFFu);
}

TEST_F(Textures, ScalingFilterCoordinates) {
  DXLBitmap bitmap;
  bitmap.SetFormat(D3DFMT_X8R8G8B8);
  bitmap.SetSize(300, 200);
  DXLTexture texture(rig_.viewer.get());
  texture.SetBitmap(&bitmap, true);
  texture.Load();
  ASSERT_TRUE(texture.IsReady());
  EXPECT_EQ(texture.GetWidth(), 512);
  EXPECT_EQ(texture.GetHeight(), 256);
  EXPECT_FLOAT_EQ(texture.GetRightU(), 300.0f / 512.0f);
  EXPECT_FLOAT_EQ(texture.GetBottomV(), 200.0f / 256.0f);

  texture.SetAutoReload(true);
  texture.SetImageFilter(3);  // rebuilt at once, scaled to the whole texture
  ASSERT_TRUE(texture.IsReady());
  EXPECT_FLOAT_EQ(texture.GetRightU(), 1.0f);
  EXPECT_FLOAT_EQ(texture.GetBottomV(), 1.0f);
}

TEST_F(Textures, FailedBitmapUploadLeavesNoTexture) {
  DXLBitmap bitmap;
  bitmap.SetFormat(D3DFMT_A8R8G8B8);
  bitmap.SetSize(8, 8);
  Listener listener;  // outlives the texture, which tells it 1 when it goes
  DXLTexture texture(rig_.viewer.get());
  texture.AddListener(&listener);
  rig_.Soft()->Faults().FailNext(gfx::Op::LockRect, gfx::D3DERR_INVALIDCALL);
  texture.LoadFromBitmap(&bitmap);
  EXPECT_FALSE(texture.IsReady());
  EXPECT_EQ(texture.GetWidth(), 0);
  EXPECT_TRUE(listener.codes.empty());

  DXLBitmap empty;
  texture.LoadFromBitmap(&empty);
  EXPECT_FALSE(texture.IsReady());
  texture.LoadFromBitmap(&bitmap);
  EXPECT_TRUE(texture.IsReady());
}

TEST_F(Textures, BitmapGoingFirstOrLastIsSafe) {
  DXLTexture texture(rig_.viewer.get());
  {
    DXLBitmap bitmap;
    bitmap.SetFormat(D3DFMT_A8R8G8B8);
    bitmap.SetSize(2, 2);
    texture.SetBitmap(&bitmap, true);
    texture.Load();
    ASSERT_TRUE(texture.IsReady());
  }
  // The bitmap went away: the texture forgets it and keeps its pixels.
  EXPECT_EQ(texture.GetBitmap(), nullptr);
  EXPECT_EQ(texture.GetSourceKind(), kTextureSourceNone);
  EXPECT_TRUE(texture.IsReady());

  DXLBitmap survivor;
  survivor.SetFormat(D3DFMT_A8R8G8B8);
  survivor.SetSize(2, 2);
  {
    DXLTexture shortLived(rig_.viewer.get());
    shortLived.SetBitmap(&survivor, true);
    EXPECT_EQ(survivor.GetListenerCount(), 1);
  }
  EXPECT_EQ(survivor.GetListenerCount(), 0);  // nothing dangling when the bitmap goes

  // Changing the bitmap moves the subscription.
  DXLBitmap other;
  texture.SetBitmap(&survivor, true);
  texture.SetBitmap(&other, true);
  EXPECT_EQ(survivor.GetListenerCount(), 0);
  EXPECT_EQ(other.GetListenerCount(), 1);
}

TEST_F(Textures, CreateChecksItsArgumentsAndTellsListeners) {
  Listener listener;
  DXLTexture texture(rig_.viewer.get());
  texture.Create(0, 10, gfx::D3DFMT_A8R8G8B8, true);
  texture.Create(10, 10, 0, true);
  EXPECT_FALSE(texture.IsReady());
  DXLTexture detached;
  detached.Create(10, 10, gfx::D3DFMT_A8R8G8B8, true);
  EXPECT_FALSE(detached.IsReady());
  EXPECT_FALSE(detached.CanCreate());

  texture.AddListener(&listener);
  texture.Create(300, 200, gfx::D3DFMT_A4R4G4B4, true);
  ASSERT_TRUE(texture.IsReady());
  EXPECT_EQ(texture.GetFormat(), gfx::D3DFMT_A4R4G4B4);
  EXPECT_EQ(texture.GetWidth(), 512);
  EXPECT_EQ(texture.GetImageHeight(), 200);
  EXPECT_FALSE(texture.CanCreate());  // already created
  EXPECT_EQ(listener.codes, (std::vector<u32>{2}));
  {
    auto doomed = std::make_unique<DXLTexture>(rig_.viewer.get());
    Listener watcher;
    doomed->AddListener(&watcher);
    doomed.reset();
    EXPECT_EQ(watcher.codes, (std::vector<u32>{1}));
  }
}

TEST_F(Textures, LocksNestAndBlockSelection) {
  DXLTexture texture(rig_.viewer.get());
  EXPECT_EQ(texture.Lock(0), nullptr);  // not created
  texture.Create(4, 4, gfx::D3DFMT_A8R8G8B8, false);
  u8* a = texture.Lock(0);
  u8* b = texture.Lock(0);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  texture.Unlock();
  EXPECT_TRUE(texture.IsLocked());
  ASSERT_EQ(rig_.viewer->BeginFrame(), 0);
  EXPECT_FALSE(texture.Select(true));
  texture.Unlock();
  EXPECT_FALSE(texture.IsLocked());
  EXPECT_TRUE(texture.Select(true));
  EXPECT_EQ(rig_.viewer->GetCurrentTexture(), &texture);

  // A new frame unbinds every texture; selecting again binds it again.
  rig_.viewer->Present();
  ASSERT_EQ(rig_.viewer->BeginFrame(), 0);
  EXPECT_EQ(rig_.viewer->GetCurrentTexture(), nullptr);
  EXPECT_TRUE(texture.Select(false));
  EXPECT_EQ(rig_.viewer->GetCurrentTexture(), &texture);

  // Unloading a bound texture unbinds it; selecting one that is not built
  // unbinds whichever was bound, so nothing draws with it instead.
  texture.Unload();
  EXPECT_EQ(rig_.viewer->GetCurrentTexture(), nullptr);
  DXLTexture other(rig_.viewer.get());
  other.Create(4, 4, gfx::D3DFMT_A8R8G8B8, false);
  ASSERT_TRUE(other.Select(false));
  EXPECT_FALSE(texture.Select(true));
  EXPECT_EQ(rig_.viewer->GetCurrentTexture(), nullptr);
  rig_.viewer->Present();
}

TEST_F(Textures, DeviceRecreationRebuildsAutoReloadTextures) {
  const std::vector<u32> pic = Picture(4, 4);
  ASSERT_TRUE(testsupport::WriteFileBytes(Path("re.tga"), imagefiles::Targa32(4, 4, pic)));
  const std::u16string path = plat::Utf8ToUtf16(Path("re.tga"));
  DXLTexture autoTexture(rig_.viewer.get()), plain(rig_.viewer.get());
  autoTexture.SetAutoReload(true);
  autoTexture.SetFileName(path.c_str(), true);  // restorable only once built
  EXPECT_FALSE(autoTexture.IsReady());
  autoTexture.Load();
  plain.SetFileName(path.c_str(), true);
  plain.Load();
  ASSERT_TRUE(autoTexture.IsReady());
  ASSERT_TRUE(plain.IsReady());

  // A reset keeps both as they are.
  DXLDEVICESETTINGS s = rig_.Settings(80, 60, true);
  ASSERT_EQ(rig_.viewer->ChangeDisplayMode(&s), 0);
  EXPECT_TRUE(autoTexture.IsReady());
  EXPECT_TRUE(plain.IsReady());

  // A new device rebuilds only the auto-reload texture.
  s.hardwareVertexProcessing = 0;
  ASSERT_EQ(rig_.viewer->ChangeDisplayMode(&s), 0);
  EXPECT_TRUE(autoTexture.IsReady());
  EXPECT_FALSE(plain.IsReady());
  EXPECT_TRUE(plain.IsRestorable());
  Draw(&autoTexture, 3, 3);
  ExpectPicture(pic, 4, 4, 3, 3);
}

TEST_F(Textures, QuadsMapPixelsToTexels) {
  DXLTexture texture(rig_.viewer.get());
  texture.Create(30, 10, gfx::D3DFMT_A8R8G8B8, false);  // 32 x 16
  texture.SetDefaultColor(0xFF808080u);
  DXLQUAD q;
  texture.MakeQuadPart(&q, 100, 50, 8, 4, 16, 8, 0, false, false);
  EXPECT_FLOAT_EQ(q.v[0].x, 99.5f);
  EXPECT_FLOAT_EQ(q.v[0].y, 49.5f);
  EXPECT_FLOAT_EQ(q.v[2].x, 115.5f);
  EXPECT_FLOAT_EQ(q.v[2].y, 57.5f);
  EXPECT_FLOAT_EQ(q.v[0].u, 0.25f);
  EXPECT_FLOAT_EQ(q.v[0].v, 0.25f);
  EXPECT_FLOAT_EQ(q.v[2].u, 0.75f);
  EXPECT_FLOAT_EQ(q.v[2].v, 0.75f);
  EXPECT_EQ(q.v[3].color, 0xFF808080u);
  EXPECT_FLOAT_EQ(q.v[1].u, 0.75f);
  EXPECT_FLOAT_EQ(q.v[3].v, 0.75f);

  texture.MakeQuadPart(&q, 0, 0, 8, 4, 16, 8, 0x11223344u, true, true);
  EXPECT_FLOAT_EQ(q.v[0].u, 0.75f);
  EXPECT_FLOAT_EQ(q.v[0].v, 0.75f);
  EXPECT_EQ(q.v[1].color, 0x11223344u);

  std::unique_ptr<DXLQUAD> made(texture.MakeQuad(nullptr, 0, 0, 0, false, false));
  EXPECT_FLOAT_EQ(made->v[2].x, 29.5f);
  EXPECT_FLOAT_EQ(made->v[2].u, 30.0f / 32.0f);
  EXPECT_FLOAT_EQ(made->v[2].v, 10.0f / 16.0f);

  const DXLQUAD scaled = texture.QuadFromRects(DXLRECT{0, 0, 64, 32}, DXLRECT{0, 0, 16, 8});
  EXPECT_FLOAT_EQ(scaled.v[2].x, 63.5f);
  EXPECT_FLOAT_EQ(scaled.v[2].u, 0.5f);
  const u32 colours[4] = {1, 2, 0, 4};
  const DXLQUAD tinted = texture.QuadFromRectsColors(DXLRECT{0, 0, 1, 1}, DXLRECT{0, 0, 1, 1}, colours);
  EXPECT_EQ(tinted.v[1].color, 2u);
  EXPECT_EQ(tinted.v[2].color, 0xFF808080u);

  // Every builder flips by its two flags alone: flip x swaps the left and
  // right u, flip y the top and bottom v; the places stay.
  using Builder = std::function<void(DXLQUAD*, bool, bool)>;
  const std::pair<const char*, Builder> builders[] = {
      {"Quad", [&](DXLQUAD* o, bool x, bool y) { texture.MakeQuad(o, 1, 2, 0, x, y); }},
      {"Sized", [&](DXLQUAD* o, bool x, bool y) { texture.MakeQuadSized(o, 1, 2, 9, 5, 0, x, y); }},
      {"Stretched", [&](DXLQUAD* o, bool x, bool y) { texture.MakeQuadStretched(o, DXLRECT{1, 2, 9, 7}, 0, x, y); }},
      {"FromRect", [&](DXLQUAD* o, bool x, bool y) { texture.MakeQuadFromRect(o, 1, 2, DXLRECT{4, 2, 12, 6}, 0, x, y); }},
      {"FromRectF",
       [&](DXLQUAD* o, bool x, bool y) { texture.MakeQuadFromRectF(o, 1, 2, DXLRECTF{4, 2, 12, 6}, 0, x, y); }},
      {"Part", [&](DXLQUAD* o, bool x, bool y) { texture.MakeQuadPart(o, 1, 2, 4, 2, 8, 4, 0, x, y); }},
      {"PartScaled",
       [&](DXLQUAD* o, bool x, bool y) { texture.MakeQuadPartScaled(o, 1, 2, 16, 8, 4, 2, 8, 4, 0, x, y); }},
      {"Rects",
       [&](DXLQUAD* o, bool x, bool y) { texture.MakeQuadRects(o, DXLRECT{1, 2, 9, 7}, DXLRECT{4, 2, 12, 6}, 0, x, y); }},
      {"RectsF",
       [&](DXLQUAD* o, bool x, bool y) {
         texture.MakeQuadRectsF(o, DXLRECTF{1, 2, 9, 7}, DXLRECTF{4, 2, 12, 6}, 0, x, y);
       }},
      {"UV",
       [&](DXLQUAD* o, bool x, bool y) {
         texture.MakeQuadUV(o, DXLRECTF{1, 2, 9, 7}, 0.125f, 0.25f, 0.5f, 0.75f, 0, x, y);
       }},
      {"At", [&](DXLQUAD* o, bool x, bool y) { texture.MakeQuadAt(o, 1, 2, 0, x, y); }},
      {"PartInt", [&](DXLQUAD* o, bool x, bool y) { texture.MakeQuadPartInt(o, 1, 2, 4, 2, 8, 4, 0, x, y); }},
      {"PartScaledInt",
       [&](DXLQUAD* o, bool x, bool y) { texture.MakeQuadPartScaledInt(o, 1, 2, 16, 8, 4, 2, 8, 4, 0, x, y); }},
  };
  for (const auto& [name, build] : builders) {
    DXLQUAD plain, fx, fy, both;
    build(&plain, false, false);
    build(&fx, true, false);
    build(&fy, false, true);
    build(&both, true, true);
    ASSERT_LT(plain.v[0].u, plain.v[1].u) << name;
    ASSERT_LT(plain.v[0].v, plain.v[3].v) << name;
    for (int i = 0; i < 4; ++i) {
      const int mirrorX = i ^ 1, mirrorY = 3 - i;  // 0-1 and 3-2 across, 0-3 and 1-2 down
      EXPECT_EQ(fx.v[i].u, plain.v[mirrorX].u) << name << " " << i;
      EXPECT_EQ(fx.v[i].v, plain.v[i].v) << name << " " << i;
      EXPECT_EQ(fy.v[i].u, plain.v[i].u) << name << " " << i;
      EXPECT_EQ(fy.v[i].v, plain.v[mirrorY].v) << name << " " << i;
      EXPECT_EQ(both.v[i].u, plain.v[mirrorX].u) << name << " " << i;
      EXPECT_EQ(both.v[i].v, plain.v[mirrorY].v) << name << " " << i;
      EXPECT_EQ(both.v[i].x, plain.v[i].x) << name << " " << i;
      EXPECT_EQ(both.v[i].y, plain.v[i].y) << name << " " << i;
    }
  }

  DXLTexture never(rig_.viewer.get());
  never.MakeQuad(&q, 5, 5, 0, false, false);
  EXPECT_FLOAT_EQ(q.v[2].x - q.v[0].x, 0.0f);  // not created: a quad of zero size
}

TEST_F(Textures, ListsOwnFindAndMoveTheirTextures) {
  DXLTextures list(rig_.viewer.get()), other(rig_.viewer.get());
  DXLTexture* a = list.NewTexture();
  DXLTexture* b = list.NewTexture();
  a->SetName(u"Wheat");
  b->SetName(u"a name much longer than thirty-one characters");
  EXPECT_EQ(std::u16string(b->GetName()).size(), 31u);
  EXPECT_EQ(a->GetViewer(), rig_.viewer.get());
  EXPECT_EQ(list.FindTexture(u"Wheat"), a);
  EXPECT_EQ(list.FindTexture(u"wheat"), nullptr);
  EXPECT_EQ(list.FindTextureI(u"WHEAT"), a);

  EXPECT_EQ(other.Add(a), 0);  // moved
  EXPECT_EQ(a->GetOwner(), &other);
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.Add(nullptr), -1);
  EXPECT_EQ(other.Add(a), 0);  // already there
  EXPECT_EQ(other.GetCount(), 1);

  list.DeleteAt(0, false);
  EXPECT_EQ(list.GetCount(), 1);
  list.DeleteAt(0, true);
  EXPECT_EQ(list.GetCount(), 0);

  other.Remove(a);
  EXPECT_EQ(a->GetOwner(), nullptr);
  delete a;
  other.NewTexture()->Create(4, 4, gfx::D3DFMT_A8R8G8B8, false);
  other.NewTexture();
  EXPECT_EQ(rig_.viewer->GetDeviceObjectCount(), 2);
  other.SetViewer(nullptr);
  EXPECT_EQ(rig_.viewer->GetDeviceObjectCount(), 0);
  EXPECT_FALSE(other.GetAt(0)->IsReady());  // detached: suspended
  // Every texture goes, the last first.
  struct Gone : DXLNotifyObject {
    void Notify(DXLNotifyObject* sender, u32 code) override {
      if (code == 1) order.push_back(sender);
    }
    std::vector<DXLNotifyObject*> order;
  } gone;
  const std::vector<DXLNotifyObject*> lastFirst{other.GetAt(1), other.GetAt(0)};
  for (DXLNotifyObject* t : lastFirst) static_cast<DXLTexture*>(t)->AddListener(&gone);
  other.DestroyAll();
  EXPECT_EQ(other.GetCount(), 0);
  EXPECT_EQ(gone.order, lastFirst);

  // A file name is kept to 259 characters.
  const std::u16string longName(300, u'x');
  DXLTexture named(rig_.viewer.get());
  named.SetFileName(longName.c_str(), true);
  EXPECT_EQ(std::u16string(named.GetFileName()), longName.substr(0, 259));
  EXPECT_EQ(named.GetSourceKind(), kTextureSourceFile);
}

TEST(TextureRows, ColourizeAndConvertGlyphRows) {
  const u32 src[3] = {0x80123456u, 0xFF000000u, 0x00FFFFFFu};
  u32 out[3];
  DXLColorizePixels(src, out, 3, 0x11AABBCCu, 1.0f);
  EXPECT_EQ(out[0], 0x80AABBCCu);
  EXPECT_EQ(out[2], 0x00AABBCCu);
  DXLColorizePixels(src, out, 3, 0x00AABBCCu, 0.5f);
  EXPECT_EQ(out[0] >> 24, 64u);
  EXPECT_EQ(out[1] >> 24, 128u);  // 127.5 rounds up
  DXLColorizePixels(src, out, 3, 0, 3.0f);
  EXPECT_EQ(out[1] >> 24, 255u);  // capped

  u16 half[3];
  DXLAlphaToA8L8(src, half, 3);
  EXPECT_EQ(half[0], 0x80FFu);
  EXPECT_EQ(half[2], 0x00FFu);
  const u32 coverage[2] = {0x0000A500u, 0xFFFF0FFFu};
  DXLCoverageToA4R4G4B4(coverage, half, 2);
  EXPECT_EQ(half[0], 0xAFFFu);
  EXPECT_EQ(half[1], 0x0FFFu);
}

}  // namespace

namespace {

// A 4 x 4 picture through each reader the engine's decoder takes: 32-bit
// Targa, 24-bit BMP, binary PPM, uncompressed and DXT1 DDS.
std::vector<std::pair<const char*, std::vector<u8>>> EveryReader(const std::vector<u32>& pic) {
  testsupport::ByteBuilder bmp;
  bmp.text("BM").u32_(0).u32_(0).u32_(54);
  bmp.u32_(40).u32_(4).u32_(4).u16_(1).u16_(24).u32_(0).u32_(0).u32_(0).u32_(0).u32_(0).u32_(0);
  for (u32 y = 4; y-- > 0;)
    for (u32 x = 0; x < 4; ++x) bmp.raw({u8(pic[y * 4 + x]), u8(pic[y * 4 + x] >> 8), u8(pic[y * 4 + x] >> 16)});
  std::string ppmText = "P6\n4 4\n255\n";
  std::vector<u8> ppm(ppmText.begin(), ppmText.end());
  for (u32 p : pic) ppm.insert(ppm.end(), {u8(p >> 16), u8(p >> 8), u8(p)});
  auto dds = [](u32 pixelFlags, u32 fourCC, u32 bits) {
    testsupport::ByteBuilder b;
    b.u32_(0x20534444).u32_(124).u32_(0x1007).u32_(4).u32_(4).u32_(0).u32_(0).u32_(0);
    b.zeros(44);
    b.u32_(32).u32_(pixelFlags).u32_(fourCC).u32_(bits);
    b.u32_(bits ? 0xFF0000u : 0).u32_(bits ? 0xFF00u : 0).u32_(bits ? 0xFFu : 0).u32_(bits ? 0xFF000000u : 0);
    b.u32_(0x1000).u32_(0).u32_(0).u32_(0).u32_(0);
    return b;
  };
  testsupport::ByteBuilder argb = dds(0x41, 0, 32);
  for (u32 p : pic) argb.u32_(p);
  testsupport::ByteBuilder dxt1 = dds(0x4, D3DFMT_DXT1, 0);
  dxt1.raw({0x00, 0xF8, 0x1F, 0x00, 0xE4, 0x1B, 0x4E, 0xB1});
  return {{"tga", imagefiles::Targa32(4, 4, pic)}, {"bmp", bmp.v}, {"ppm", ppm}, {"dds", argb.v}, {"dxt1", dxt1.v}};
}

// The pixels a texture of the format held when the decoded image was
// encoded into a blank level and read back from it.
std::vector<u32> AsStored(u32 format, const std::vector<u32>& argb) {
  const u32 pitch = gfx::SurfacePitch(format, 4);
  std::vector<u8> bits(static_cast<size_t>(pitch) * gfx::SurfaceRows(format, 4));
  gfx::EncodeSurface(format, argb.data(), 4, 4, bits.data(), pitch);
  std::vector<u32> out(16);
  gfx::DecodeSurface(format, bits.data(), pitch, 4, 4, out.data());
  return out;
}

std::vector<u32> TexelsOf(const DXLTexture& t) {
  const gfx::Texture* d = t.GetD3DTexture();
  return d ? std::vector<u32>(d->Texels(), d->Texels() + d->Width() * d->Height()) : std::vector<u32>{};
}


// An image decoded straight into its texture holds what the blank level
// encoded and read back held, in the file's own format and in A8R8G8B8,
// for every reader; a new device rebuilds each texture from its file with
// the same pixels again (a mostly transparent one packed again).
TEST_F(Textures, DecodedStraightIntoTheSurfaceForEveryReader) {
  std::vector<u32> pic = Picture(4, 4);
  for (u32 i = 0; i < 16; ++i) pic[i] = (pic[i] & 0xFFFFFFu) | (i * 17u) << 24;
  auto files = EveryReader(pic);
  std::vector<u32> sparse(16, 0);
  sparse[6] = 0x80123456u;
  files.push_back({"tga", imagefiles::Targa32(4, 4, sparse)});
  std::vector<std::unique_ptr<DXLTexture>> textures;
  std::vector<std::u16string> paths;
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    gfx::DecodedImage img;
    ASSERT_TRUE(DXLDecodeImage(bytes.data(), bytes.size(), &img));
    ASSERT_EQ(img.argb.size(), 16u);
    for (u32 format : {gfx::D3DFMT_FROM_FILE, static_cast<u32>(D3DFMT_A8R8G8B8)}) {
      std::unique_ptr<gfx::Texture> t;
      gfx::ImageInfo info{};
      ASSERT_EQ(gfx::D3DXCreateTextureFromFileInMemoryEx(rig_.viewer->GetDevice(), bytes.data(),
                                                         static_cast<u32>(bytes.size()), gfx::D3DX_DEFAULT_NONPOW2,
                                                         gfx::D3DX_DEFAULT_NONPOW2, 1, 0, format, gfx::D3DPOOL_MANAGED,
                                                         gfx::D3DX_FILTER_NONE, gfx::D3DX_FILTER_NONE, 0, &info,
                                                         nullptr, &t),
                0);
      ASSERT_TRUE(t);
      EXPECT_EQ(std::vector<u32>(t->Texels(), t->Texels() + 16), AsStored(t->Format(), {img.argb.begin(), img.argb.end()}))
          << t->Format();
      // A write through a lock shows in the texels.
      gfx::LockedRect lr{};
      ASSERT_EQ(t->LockRect(0, &lr, nullptr, 0), 0);
      if (t->Format() == D3DFMT_A8R8G8B8) static_cast<u32*>(lr.bits)[5] = 0x12345678u;
      ASSERT_EQ(t->UnlockRect(0), 0);
      if (t->Format() == D3DFMT_A8R8G8B8) {
        EXPECT_EQ(t->Texels()[5], 0x12345678u);
      }
    }
    const std::string ext = name[0] == 'd' ? "dds" : name;
    const std::string file = Path(("every" + std::to_string(textures.size()) + "." + ext).c_str());
    ASSERT_TRUE(testsupport::WriteFileBytes(file, bytes));
    paths.push_back(plat::Utf8ToUtf16(file));
    auto texture = std::make_unique<DXLTexture>(rig_.viewer.get());
    texture->SetAutoReload(true);
    texture->SetFileName(paths.back().c_str(), true);
    texture->Load();
    ASSERT_TRUE(texture->IsReady());
    textures.push_back(std::move(texture));
  }
  std::vector<std::vector<u32>> before;
  for (const auto& t : textures) before.push_back(TexelsOf(*t));
  DXLDEVICESETTINGS s = rig_.Settings(64, 48, true);
  s.hardwareVertexProcessing = 0;  // a new device: only the files are left to rebuild from
  ASSERT_EQ(rig_.viewer->ChangeDisplayMode(&s), 0);
  EXPECT_TRUE(textures.back()->GetD3DTexture()->IsPacked());
  for (size_t i = 0; i < textures.size(); ++i) {
    ASSERT_TRUE(textures[i]->IsReady());
    EXPECT_EQ(TexelsOf(*textures[i]), before[i]) << files[i].first;
  }
}

}  // namespace

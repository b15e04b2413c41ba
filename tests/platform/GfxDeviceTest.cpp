// The device: scenes and presenting, loss and reset, textures, cursor,
// clearing and the recording wrapper.
#include "GfxTestRig.h"
#include "platform/gfx/GfxPresentSink.h"
#include "platform/gfx/GfxRecordingDevice.h"
#include "platform/os/PlatformServices.h"

using namespace gfxtest;

namespace {

class CountingSink : public PresentSink {
 public:
  void ShowFrame(WindowHandle window, const uint32_t* pixels, uint32_t w, uint32_t h) override {
    ++frames;
    lastWindow = window;
    firstPixel = pixels[0];
    width = w;
    height = h;
  }
  int frames = 0;
  WindowHandle lastWindow = 0;
  uint32_t firstPixel = 0, width = 0, height = 0;
};

}  // namespace

TEST(GfxDevice, PresentCopiesTheFrameToTheSinkAndReadBack) {
  CountingSink sink;
  plat::PlatformServicesScope sinkScope({.presentSink = &sink});
  Rig rig(16, 8);
  rig.Fill(0x00112233u);
  EXPECT_EQ(rig.Dev()->Present(), D3DERR_INVALIDCALL);  // still inside the scene
  EXPECT_EQ(rig.Dev()->EndScene(), D3D_OK);
  EXPECT_EQ(rig.Dev()->EndScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(rig.Dev()->Present(), D3D_OK);
  EXPECT_EQ(sink.frames, 1);
  EXPECT_EQ(sink.lastWindow, 0x1234u);
  EXPECT_EQ(sink.firstPixel, 0xFF112233u);
  EXPECT_EQ(sink.width, 16u);
  EXPECT_EQ(rig.Soft()->FramePixel(15, 7), 0xFF112233u);
  EXPECT_EQ(rig.Soft()->PresentCount(), 1u);
  // Drawing outside a scene is refused; clearing is not.
  rig.Dev()->SetFVF(0x42);
  const ColourVertex q[4] = {};
  EXPECT_EQ(rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, 16), D3DERR_INVALIDCALL);
  EXPECT_EQ(rig.Dev()->Clear(D3DCLEAR_TARGET, 0, 0, 0), D3D_OK);
}

TEST(GfxDevice, DrawRefusesWhatItCannotDraw) {
  Rig rig(8, 8);
  const ColourVertex q[4] = {};
  rig.Dev()->SetFVF(0x42);
  EXPECT_EQ(rig.Dev()->DrawPrimitiveUP(4, 1, q, 16), D3DERR_NOTAVAILABLE);  // triangle list
  EXPECT_EQ(rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, nullptr, 16), D3DERR_INVALIDCALL);
  EXPECT_EQ(rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, 12), D3DERR_INVALIDCALL);  // stride too small
  rig.Dev()->SetFVF(0x44);  // pre-transformed positions
  EXPECT_EQ(rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, 16), D3DERR_NOTAVAILABLE);
  rig.Dev()->SetFVF(0x42);
  EXPECT_EQ(rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 0, q, 16), D3D_OK);
  EXPECT_EQ(rig.Dev()->SetRenderState(kRenderStateCount, 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(rig.Dev()->SetTransform(17, nullptr), D3DERR_INVALIDCALL);
  // Position only: the vertex colour reads as opaque white.
  rig.Fill(0xFF000000u);
  const float pos[4][3] = {{-0.5f, -0.5f, 0}, {7.5f, -0.5f, 0}, {7.5f, 7.5f, 0}, {-0.5f, 7.5f, 0}};
  rig.Dev()->SetFVF(D3DFVF_XYZ);
  EXPECT_EQ(rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, pos, 12), D3D_OK);
  EXPECT_EQ(rig.Pixel(4, 4), 0xFFFFFFFFu);
}

TEST(GfxDevice, LossResetAndManagedTexturesSurvive) {
  Rig rig(16, 16);
  auto tex = rig.MakeTexture(4, 4, [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(x * 16 + y); });
  rig.Dev()->SetTexture(0, tex.get());
  rig.Dev()->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  rig.Dev()->EndScene();

  rig.Soft()->SimulateLoss(2);
  EXPECT_EQ(rig.Dev()->Present(), D3DERR_DEVICELOST);
  EXPECT_EQ(rig.Dev()->TestCooperativeLevel(), D3DERR_DEVICELOST);
  PresentParams p = Params(16, 16);
  EXPECT_EQ(rig.Dev()->Reset(&p), D3DERR_DEVICELOST);  // not resettable yet
  EXPECT_EQ(rig.Dev()->TestCooperativeLevel(), D3DERR_DEVICELOST);
  // While lost, scene and draw calls succeed and do nothing.
  EXPECT_EQ(rig.Dev()->BeginScene(), D3D_OK);
  EXPECT_EQ(rig.Dev()->Clear(D3DCLEAR_TARGET, 0xFFFFFFFFu, 0, 0), D3D_OK);
  EXPECT_EQ(rig.Dev()->EndScene(), D3D_OK);
  EXPECT_EQ(rig.Dev()->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(rig.Soft()->BackPixel(0, 0), 0xFF000000u);

  p.backBufferWidth = 24;
  EXPECT_EQ(rig.Dev()->Reset(&p), D3D_OK);
  EXPECT_EQ(rig.Dev()->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(rig.Soft()->Width(), 24u);
  // States, transforms and bindings are back to their defaults.
  uint32_t v = 0;
  rig.Dev()->GetRenderState(D3DRS_ALPHABLENDENABLE, &v);
  EXPECT_EQ(v, 0u);
  rig.Dev()->GetRenderState(D3DRS_CULLMODE, &v);
  EXPECT_EQ(v, D3DCULL_CCW);
  rig.Dev()->GetTextureStageState(0, D3DTSS_COLOROP, &v);
  EXPECT_EQ(v, D3DTOP_MODULATE);
  Texture* bound = tex.get();
  rig.Dev()->GetTexture(0, &bound);
  EXPECT_EQ(bound, nullptr);
  Matrix proj;
  rig.Dev()->GetTransform(D3DTS_PROJECTION, &proj);
  EXPECT_EQ(proj.m[0][0], 1.0f);

  // The managed texture kept its pixels and still draws.
  rig.PrepareStates();
  Matrix ortho;
  D3DXMatrixOrthoOffCenterLH(&ortho, 0, 24, 16, 0, 0, 0.1f);  // the new back-buffer size
  rig.Dev()->SetTransform(D3DTS_PROJECTION, &ortho);
  rig.Dev()->BeginScene();
  rig.Dev()->SetTexture(0, tex.get());
  rig.TexQuad(-0.5f, -0.5f, 3.5f, 3.5f);
  EXPECT_EQ(rig.Pixel(2, 3), 0xFF000023u);
  EXPECT_EQ(rig.Dev()->EndScene(), D3D_OK);
  EXPECT_EQ(rig.Dev()->Present(), D3D_OK);
}

TEST(GfxDevice, FailedResetLeavesTheDeviceLostUntilAResetWorks) {
  Rig rig(8, 8);
  rig.Dev()->EndScene();
  PresentParams p = Params(8, 8);
  rig.Soft()->Faults().FailNext(Op::Reset, D3DERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(rig.Dev()->Reset(&p), D3DERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(rig.Dev()->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(rig.Dev()->Present(), D3DERR_DEVICELOST);
  p.backBufferWidth = 0;
  EXPECT_EQ(rig.Dev()->Reset(&p), D3DERR_INVALIDCALL);
  p.backBufferWidth = 8;
  EXPECT_EQ(rig.Dev()->Reset(&p), D3D_OK);
  EXPECT_EQ(rig.Dev()->Present(), D3D_OK);
  rig.Soft()->Faults().FailNext(Op::Present, D3DERR_DRIVERINTERNALERROR, 2);
  EXPECT_EQ(rig.Dev()->Present(), D3DERR_DRIVERINTERNALERROR);
  EXPECT_EQ(rig.Dev()->Present(), D3DERR_DRIVERINTERNALERROR);
  EXPECT_EQ(rig.Dev()->Present(), D3D_OK);
}

TEST(GfxDevice, TextureRulesLockingFormatsAndLifetimes) {
  Rig rig(8, 8);
  std::unique_ptr<Texture> t;
  EXPECT_EQ(rig.Dev()->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), D3DERR_INVALIDCALL);
  EXPECT_EQ(rig.Dev()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &t), D3DERR_INVALIDCALL);
  EXPECT_EQ(rig.Dev()->CreateTexture(4, 4, 1, 0, 35, D3DPOOL_MANAGED, &t), D3DERR_INVALIDCALL);
  rig.Soft()->Faults().FailNext(Op::CreateTexture, E_OUTOFMEMORY);
  EXPECT_EQ(rig.Dev()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), E_OUTOFMEMORY);
  EXPECT_EQ(t, nullptr);
  for (uint32_t f : {21u, 22u, 23u, 24u, 25u, 26u, 28u, 50u, 51u, 52u, D3DFMT_DXT1, D3DFMT_DXT5}) {
    ASSERT_EQ(rig.Dev()->CreateTexture(8, 4, 1, 0, f, D3DPOOL_MANAGED, &t), D3D_OK) << f;
    SurfaceDesc d{};
    EXPECT_EQ(t->GetLevelDesc(0, &d), D3D_OK);
    EXPECT_EQ(d.format, f);
    EXPECT_EQ(d.pool, D3DPOOL_MANAGED);
    LockedRect lr{};
    ASSERT_EQ(t->LockRect(0, &lr, nullptr, D3DLOCK_NOSYSLOCK), D3D_OK);
    EXPECT_EQ(t->LockRect(0, &lr, nullptr, 0), D3DERR_INVALIDCALL);  // one lock at a time
    EXPECT_EQ(lr.pitch, f == D3DFMT_DXT1 ? 16 : f == D3DFMT_DXT5 ? 32 : static_cast<int>(8 * (f <= 22 ? 4 : f <= 26 || f == 51 ? 2 : 1)));
    EXPECT_EQ(t->UnlockRect(0), D3D_OK);
    EXPECT_EQ(t->UnlockRect(0), D3DERR_INVALIDCALL);
  }
  SurfaceDesc d{};
  EXPECT_EQ(t->GetLevelDesc(1, &d), D3DERR_INVALIDCALL);

  // A texture deleted while bound is unbound; one that outlives the device stays readable.
  rig.Dev()->SetTexture(0, t.get());
  t.reset();
  Texture* bound = reinterpret_cast<Texture*>(1);
  rig.Dev()->GetTexture(0, &bound);
  EXPECT_EQ(bound, nullptr);
  std::unique_ptr<Texture> survivor;
  {
    Rig other(4, 4);
    survivor = other.MakeTexture(2, 2, [](int, int) { return 0xFF00FF00u; });
    EXPECT_EQ(rig.Dev()->SetTexture(0, survivor.get()), D3DERR_INVALIDCALL);  // another device's texture
  }
  EXPECT_EQ(survivor->Device(), nullptr);
  EXPECT_EQ(survivor->Texels()[3], 0xFF00FF00u);
}

TEST(GfxDevice, ClearHonoursTheScissorAndFlags) {
  Rig rig(8, 8);
  rig.Fill(0xFF000000u);
  const Rect r{2, 2, 4, 5};
  rig.Dev()->SetScissorRect(&r);
  rig.Dev()->SetRenderState(D3DRS_SCISSORTESTENABLE, 1);
  EXPECT_EQ(rig.Dev()->Clear(D3DCLEAR_TARGET | D3DCLEAR_STENCIL | D3DCLEAR_ZBUFFER, 0xFFFF0000u, 1.0f, 7), D3D_OK);
  EXPECT_EQ(rig.Pixel(2, 2), 0xFFFF0000u);
  EXPECT_EQ(rig.Pixel(3, 4), 0xFFFF0000u);
  EXPECT_EQ(rig.Pixel(4, 4), 0xFF000000u);
  EXPECT_EQ(rig.Soft()->StencilAt(3, 3), 7);
  EXPECT_EQ(rig.Soft()->StencilAt(0, 0), 0);
  // A band of whole rows (one run of words) with the stencil beside it.
  const Rect band{0, 5, 8, 7};
  rig.Dev()->SetScissorRect(&band);
  EXPECT_EQ(rig.Dev()->Clear(D3DCLEAR_TARGET | D3DCLEAR_STENCIL, 0xFF00FF00u, 0, 9), D3D_OK);
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(rig.Pixel(x, 4), x >= 2 && x < 4 ? 0xFFFF0000u : 0xFF000000u);
    EXPECT_EQ(rig.Pixel(x, 5), 0xFF00FF00u);
    EXPECT_EQ(rig.Pixel(x, 6), 0xFF00FF00u);
    EXPECT_EQ(rig.Pixel(x, 7), 0xFF000000u);
    EXPECT_EQ(rig.Soft()->StencilAt(x, 6), 9);
    EXPECT_EQ(rig.Soft()->StencilAt(x, 7), 0);
  }
  EXPECT_EQ(rig.Dev()->Clear(0x10, 0, 0, 0), D3DERR_INVALIDCALL);
  const Rect bad{5, 0, 2, 3};
  EXPECT_EQ(rig.Dev()->SetScissorRect(&bad), D3DERR_INVALIDCALL);
}

TEST(GfxDevice, CursorIsCompositedOverThePresentedFrameOnly) {
  Rig rig(16, 16);
  rig.Fill(0xFF000000u);
  auto image = rig.MakeTexture(4, 4, [](int x, int) { return x < 2 ? 0xFFFFFFFFu : 0x00FFFFFFu; });
  Surface* s = nullptr;
  ASSERT_EQ(image->GetSurfaceLevel(0, &s), D3D_OK);
  EXPECT_EQ(rig.Dev()->SetCursorProperties(9, 0, s), D3DERR_INVALIDCALL);  // hot spot outside
  ASSERT_EQ(rig.Dev()->SetCursorProperties(1, 1, s), D3D_OK);
  rig.Dev()->SetCursorPosition(5, 5, 0);
  EXPECT_FALSE(rig.Dev()->ShowCursor(true));
  rig.Dev()->EndScene();
  rig.Dev()->Present();
  EXPECT_EQ(rig.Soft()->FramePixel(4, 4), 0xFFFFFFFFu);
  EXPECT_EQ(rig.Soft()->FramePixel(5, 7), 0xFFFFFFFFu);
  EXPECT_EQ(rig.Soft()->FramePixel(6, 4), 0xFF000000u);  // transparent part
  EXPECT_EQ(rig.Soft()->FramePixel(3, 4), 0xFF000000u);
  EXPECT_EQ(rig.Soft()->BackPixel(4, 4), 0xFF000000u);  // never in the back buffer
  EXPECT_TRUE(rig.Dev()->ShowCursor(false));
  rig.Dev()->Present();
  EXPECT_EQ(rig.Soft()->FramePixel(4, 4), 0xFF000000u);
  rig.Dev()->ShowCursor(true);
  ASSERT_EQ(rig.Dev()->SetCursorProperties(0, 0, nullptr), D3D_OK);
  rig.Dev()->Present();
  EXPECT_EQ(rig.Soft()->FramePixel(4, 4), 0xFF000000u);
  auto wrong = rig.MakeTexture(2, 2, [](int, int) { return 0u; }, D3DFMT_X8R8G8B8);
  wrong->GetSurfaceLevel(0, &s);
  EXPECT_EQ(rig.Dev()->SetCursorProperties(0, 0, s), D3DERR_INVALIDCALL);
}

TEST(GfxDevice, RecordingWrapperLogsCallsInOrder) {
  CallLog log;
  auto system = Direct3DCreate9(D3D_SDK_VERSION);
  system->RecordDeviceCalls(&log);
  PresentParams p = Params(8, 8);
  std::unique_ptr<Device> device;
  ASSERT_EQ(system->CreateDevice(0, D3DDEVTYPE_HAL, 1, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &device), D3D_OK);
  ASSERT_NE(device->GetSoftDevice(), nullptr);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetTexture(0, nullptr);
  uint32_t v = 0;
  device->GetRenderState(D3DRS_ALPHABLENDENABLE, &v);
  EXPECT_EQ(v, 1u);
  device->BeginScene();
  device->Clear(D3DCLEAR_TARGET, 0xFF000000u, 0, 0);
  const std::vector<std::string> want = {"SetRenderState 27 1", "SetSamplerState 0 5 2", "SetTextureStageState 0 1 4",
                                         "SetTexture 0 null", "BeginScene", "Clear 1 0xFF000000 0 0"};
  EXPECT_EQ(log.Lines(), want);
  EXPECT_EQ(log.Matching("SetRenderState").size(), 1u);
  // The wrapper forwards to a real device.
  EXPECT_EQ(device->GetSoftDevice()->BackPixel(0, 0), 0xFF000000u);

  // Textures are numbered as the log meets them; drawn primitives are kept
  // whole with the texture and world transform in force.
  std::unique_ptr<Texture> a, b;
  ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &a), D3D_OK);
  ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &b), D3D_OK);
  EXPECT_EQ(log.TextureId(a.get()), 1);
  EXPECT_EQ(log.TextureId(b.get()), 2);
  log.Clear();
  device->SetTexture(0, b.get());
  Matrix world = IdentityMatrix();
  world.m[3][0] = 3;
  device->SetTransform(D3DTS_WORLD, &world);
  device->SetFVF(0x142);
  const TexVertex quad[4] = {{0, 0, 0, 0xFF0000FFu, 0, 0}, {4, 0, 0, 2, 1, 0}, {4, 4, 0, 3, 1, 1}, {0, 4, 0, 4, 0, 1}};
  ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(TexVertex)), D3D_OK);
  device->SetTexture(0, nullptr);
  device->SetFVF(0x42);
  const ColourVertex line[2] = {{1, 1, 0, 0xFFFFFFFFu}, {5, 1, 0, 0xFF00FF00u}};
  ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_LINESTRIP, 1, line, sizeof(ColourVertex)), D3D_OK);
  EXPECT_NE(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, nullptr, 16), D3D_OK);  // refused: not kept
  EXPECT_EQ(log.Matching("SetTexture 0"), (std::vector<std::string>{"SetTexture 0 #2", "SetTexture 0 null"}));
  ASSERT_EQ(log.Primitives().size(), 2u);
  const LoggedPrimitive& fan = log.Primitives()[0];
  EXPECT_EQ(fan.texture, 2);
  EXPECT_EQ(log.Lines()[fan.line], "DrawPrimitiveUP 6 2 24");
  EXPECT_FLOAT_EQ(fan.world.m[3][0], 3.0f);
  ASSERT_EQ(fan.vertices.size(), 4u);
  EXPECT_FLOAT_EQ(fan.vertices[2].x, 4.0f);
  EXPECT_FLOAT_EQ(fan.vertices[2].u, 1.0f);
  EXPECT_EQ(fan.vertices[0].color, 0xFF0000FFu);
  const LoggedPrimitive& strip = log.Primitives()[1];
  EXPECT_EQ(strip.texture, 0);
  ASSERT_EQ(strip.vertices.size(), 2u);
  EXPECT_EQ(strip.vertices[1].color, 0xFF00FF00u);
  EXPECT_FLOAT_EQ(strip.vertices[1].u, 0.0f);
}

// Rasterising off: every call is checked as before, the buffers keep what
// they hold and the sink sees no frame, while states and textures set
// meanwhile hold: on again, a quad drawn with them gives the pixels of a
// device that was never off.
TEST(GfxDevice, WithoutRasterisingCallsAnswerAndStatesHoldButNoPixelMoves) {
  CountingSink sink;
  plat::PlatformServicesScope sinkScope({.presentSink = &sink});
  Rig off(16, 16), on(16, 16);
  off.Fill(0xFF102030u);
  EXPECT_EQ(off.Dev()->EndScene(), D3D_OK);
  EXPECT_EQ(off.Dev()->Present(), D3D_OK);
  off.Soft()->SetRasterising(false);
  EXPECT_EQ(off.Dev()->Present(), D3D_OK);  // a frame of no pixels
  EXPECT_EQ(off.Dev()->BeginScene(), D3D_OK);
  EXPECT_EQ(sink.frames, 1);
  EXPECT_EQ(off.Soft()->PresentCount(), 2u);
  const ColourVertex q[4] = {};
  off.Dev()->SetFVF(0x42);
  EXPECT_EQ(off.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, 12), D3DERR_INVALIDCALL);
  EXPECT_EQ(off.Dev()->Clear(0x100, 0, 0, 0), D3DERR_INVALIDCALL);
  for (Rig* rig : {&off, &on}) {
    rig->Fill(0xFF000000u);
    auto texture = rig->MakeTexture(2, 2, [](int x, int y) { return x == y ? 0xFFFF0000u : 0xFF00FF00u; });
    rig->Dev()->SetTexture(0, texture.get());
    EXPECT_EQ(rig->TexQuad(0, 0, 16, 16), D3D_OK);
    EXPECT_EQ(rig->Pixel(3, 3), rig == &off ? 0xFF102030u : 0xFFFF0000u);
    rig->Dev()->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    rig->Soft()->SetRasterising(true);
    EXPECT_EQ(rig->TexQuad(0, 0, 8, 16, 0xFF808080u), D3D_OK);
    rig->Dev()->SetTexture(0, nullptr);
  }
  EXPECT_NE(on.Pixel(3, 3), 0xFFFF0000u);  // modulated
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(off.Pixel(x, y), x < 8 ? on.Pixel(x, y) : 0xFF102030u) << x << "," << y;
}

namespace {

// A window that lends its own memory for frames of its size.
class LendingSink : public PresentSink {
 public:
  explicit LendingSink(size_t words) : memory(words, 0x5A5A5A5Au) {}
  uint32_t* LendTarget(WindowHandle, uint32_t w, uint32_t h) override {
    return lend && static_cast<size_t>(w) * h == memory.size() ? memory.data() : nullptr;
  }
  void ShowFrame(WindowHandle, const uint32_t* pixels, uint32_t, uint32_t) override {
    shown = pixels;
    ++frames;
  }
  std::vector<uint32_t> memory;
  bool lend = true;
  int frames = 0;
  const uint32_t* shown = nullptr;
};

}  // namespace

// With DISCARD the scene is drawn in the lent memory and handed over as it
// is; what was in the back buffer before (a Clear outside a scene) carries
// in, a Present that fails gives the drawing back, and the front buffer is
// filled only when kept. Another swap effect, or a sink that does not lend,
// keeps the copy.
TEST(GfxDevice, ScenesAreDrawnInMemoryTheSinkLendsAndHandedOverUncopied) {
  LendingSink sink(8 * 4);
  plat::PlatformServicesScope sinkScope({.presentSink = &sink});
  {
    Rig rig(8, 4);
    EXPECT_EQ(sink.memory[0], 0xFF000000u);  // the back buffer carried in
    rig.Fill(0x00102030u);
    EXPECT_EQ(sink.memory[31], 0x00102030u);
    EXPECT_EQ(rig.Pixel(7, 3), 0xFF102030u);
    rig.Dev()->EndScene();
    EXPECT_EQ(rig.Dev()->Present(), D3D_OK);
    EXPECT_EQ(sink.shown, sink.memory.data());
    EXPECT_EQ(rig.Soft()->FramePixel(0, 0), 0xFF000000u);  // not kept
    EXPECT_EQ(rig.Dev()->Clear(D3DCLEAR_TARGET, 0xFF445566u, 0, 0), D3D_OK);  // outside a scene
    EXPECT_EQ(sink.memory[0], 0x00102030u);
    ASSERT_EQ(rig.Dev()->BeginScene(), D3D_OK);
    EXPECT_EQ(sink.memory[5], 0xFF445566u);
    rig.Soft()->SetFrameKept(true);
    rig.Dev()->EndScene();
    EXPECT_EQ(rig.Dev()->Present(), D3D_OK);
    EXPECT_EQ(rig.Soft()->FramePixel(3, 3), 0xFF445566u);
    ASSERT_EQ(rig.Dev()->BeginScene(), D3D_OK);
    rig.Fill(0x000000FFu);
    rig.Dev()->EndScene();
    rig.Soft()->Faults().FailNext(Op::Present, D3DERR_DRIVERINTERNALERROR);
    EXPECT_EQ(rig.Dev()->Present(), D3DERR_DRIVERINTERNALERROR);
    sink.memory.assign(sink.memory.size(), 0);
    EXPECT_EQ(rig.Pixel(2, 1), 0xFF0000FFu);
    EXPECT_EQ(sink.frames, 2);
    sink.lend = false;
    ASSERT_EQ(rig.Dev()->BeginScene(), D3D_OK);
    rig.Dev()->EndScene();
    EXPECT_EQ(rig.Dev()->Present(), D3D_OK);
    EXPECT_EQ(sink.shown, rig.Soft()->Frame().data());
    EXPECT_EQ(rig.Soft()->FramePixel(2, 1), 0xFF0000FFu);
    sink.lend = true;
    PresentParams p = Params(8, 4);
    p.swapEffect = 3;  // copy: the back buffer outlives Present
    ASSERT_EQ(rig.Dev()->Reset(&p), D3D_OK);
    ASSERT_EQ(rig.Dev()->BeginScene(), D3D_OK);
    rig.Fill(0xFF00FF00u);
    rig.Dev()->EndScene();
    EXPECT_EQ(rig.Dev()->Present(), D3D_OK);
    EXPECT_EQ(sink.memory[0], 0u);
    EXPECT_EQ(rig.Soft()->FramePixel(0, 0), 0xFF00FF00u);
  }
}

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/DXLDrawTypes.h"
#include "engine/DXLRect.h"
#include "engine/DXLViewer.h"
#include "platform/gfx/GfxRecordingDevice.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "testsupport/ViewerRig.h"

namespace gfx = plat::gfx;
using viewertest::ViewerRig;

namespace {

class ViewerDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.viewer->GetSystem()->RecordDeviceCalls(&calls_);
    ASSERT_EQ(rig_.Open(320, 240), 0);
    ASSERT_EQ(rig_.viewer->BeginFrame(), 0);
    calls_.Clear();
  }
  DXLViewer& V() { return *rig_.viewer; }

  // A coloured quad over the rectangle.
  void FillRect(float l, float t, float r, float b, u32 color) {
    DXLCOLORVERTEX v[4];
    SetQuadRect16(v, l, t, r, b, false, true);
    for (auto& x : v) x.color = color;
    V().DrawColorQuad(v);
  }

  ViewerRig rig_;
  gfx::CallLog calls_;
};

TEST_F(ViewerDraw, BlendModesSetTheirStatesOnlyWhenTheyChange) {
  V().SetBlendMode(kBlendAlpha);
  EXPECT_EQ(calls_.Lines(), (std::vector<std::string>{"SetRenderState 27 1", "SetRenderState 19 5",
                                                       "SetRenderState 20 6"}));
  calls_.Clear();
  V().SetBlendMode(kBlendAlpha);
  EXPECT_TRUE(calls_.Lines().empty());
  V().SetBlendMode(kBlendInvert);
  EXPECT_EQ(calls_.Matching("SetRenderState 19"), (std::vector<std::string>{"SetRenderState 19 10"}));
  calls_.Clear();
  V().SetBlendMode(7);  // unknown: stored, nothing set
  EXPECT_TRUE(calls_.Lines().empty());

  V().Present();
  V().BeginFrame();
  EXPECT_EQ(V().GetBlendMode(), kBlendNone);
  EXPECT_EQ(calls_.Matching("SetRenderState 27").back(), "SetRenderState 27 0");
}

TEST_F(ViewerDraw, DrawStatesSetSamplerAndStageInOrder) {
  DXLDRAWSTATE state;
  DXLMakeDrawState(&state, 0, 1, gfx::D3DTADDRESS_WRAP, gfx::D3DTADDRESS_CLAMP, kBlendAdd, gfx::D3DTOP_MODULATE,
                   gfx::D3DTOP_SELECTARG1);
  V().ApplyDrawState(state);
  EXPECT_EQ(calls_.Lines(), (std::vector<std::string>{
                                "SetRenderState 27 1", "SetRenderState 19 5", "SetRenderState 20 2",
                                "SetSamplerState 0 6 1", "SetSamplerState 0 5 2", "SetSamplerState 0 1 1",
                                "SetSamplerState 0 2 3", "SetTextureStageState 0 1 4", "SetTextureStageState 0 4 2"}));
  DXLMakeSimpleDrawState(&state, 1, 3, 0, 2);
  EXPECT_EQ(state.minFilter, 1);
  EXPECT_EQ(state.magFilter, 1);
  EXPECT_EQ(state.addressV, 3u);
  EXPECT_EQ(state.alphaOp, 2u);
}

TEST_F(ViewerDraw, PackedStencilFlags) {
  DXLSTENCILDATA s;
  DXLMakeStencilData(&s, 0, 7, 9);
  EXPECT_EQ(s.stencilMode, 2u);
  EXPECT_EQ(s.alphaMode, 2u);
  EXPECT_EQ(s.stencilPass, 1u);  // nibble 0 counts as 1
  EXPECT_EQ(s.stencilFunc, 1u);
  EXPECT_EQ(s.alphaFunc, 1u);
  DXLMakeStencilData(&s, 0x8000 | 0x4000 | 0x2000 | 0x1000 | 0xC73, 200, 128);
  EXPECT_EQ(s.stencilMode, 1u);  // on wins over off
  EXPECT_EQ(s.alphaMode, 1u);
  EXPECT_EQ(s.stencilPass, 3u);
  EXPECT_EQ(s.stencilFunc, 7u);
  EXPECT_EQ(s.alphaFunc, 8u);  // 12 counts as 8
  EXPECT_EQ(s.stencilRef, 200u);
  EXPECT_EQ(s.alphaRef, 128u);

  V().SetStencilMode(0, 0, 0);  // leaves both alone
  EXPECT_TRUE(calls_.Lines().empty());
  V().SetStencilMode(0x8000 | 0x4000 | 0x0734, 1, 128);
  EXPECT_EQ(calls_.Lines(), (std::vector<std::string>{"SetRenderState 52 1", "SetRenderState 56 3",
                                                       "SetRenderState 55 4", "SetRenderState 57 1",
                                                       "SetRenderState 15 1", "SetRenderState 25 7",
                                                       "SetRenderState 24 128"}));
  calls_.Clear();
  V().SetStencilMode(kStencilFlagsAllOff, 0, 0);
  EXPECT_EQ(calls_.Lines(), (std::vector<std::string>{"SetRenderState 52 0", "SetRenderState 55 1",
                                                       "SetRenderState 15 0"}));
}

TEST_F(ViewerDraw, PrimitiveCountsFollowTheVertexCounts) {
  DXLCOLORVERTEX v[6] = {};
  V().DrawLineStrip(kFvfColor, 1, v, sizeof(DXLCOLORVERTEX));
  V().DrawTriangleFan(kFvfColor, 2, v, sizeof(DXLCOLORVERTEX));
  EXPECT_TRUE(calls_.Matching("DrawPrimitiveUP").empty());
  V().DrawLineStrip(kFvfColor, 3, v, sizeof(DXLCOLORVERTEX));
  V().DrawTriangleFan(kFvfColor, 6, v, sizeof(DXLCOLORVERTEX));
  V().DrawColorFrame(v);
  DXLQUAD quads[3] = {};
  V().DrawQuads(3, quads);
  EXPECT_EQ(calls_.Matching("DrawPrimitiveUP"),
            (std::vector<std::string>{"DrawPrimitiveUP 3 2 16", "DrawPrimitiveUP 6 4 16", "DrawPrimitiveUP 3 4 16",
                                      "DrawPrimitiveUP 6 2 24", "DrawPrimitiveUP 6 2 24", "DrawPrimitiveUP 6 2 24"}));
}

TEST_F(ViewerDraw, IdentityOperationsLeaveTheTransformUntouched) {
  V().Translate(3.25f, -7.5f);
  V().Rotate(0.3f);
  DXLMATRIX before;
  V().GetTransform(&before);
  V().Translate(0, 0);
  V().Scale(1.0f);
  V().ScaleXY(1.0f, 1.0f);
  V().Rotate(0);
  V().RotateDeg(0);
  DXLMATRIX after;
  V().GetTransform(&after);
  EXPECT_EQ(std::memcmp(&before, &after, sizeof(DXLMATRIX)), 0);

  V().Rotate(-0.3f);
  V().GetTransform(&after);
  EXPECT_NEAR(after.m[0][0], 1.0f, 1e-6f);
  EXPECT_NEAR(after.m[0][1], 0.0f, 1e-6f);
  EXPECT_FLOAT_EQ(after.m[3][0], 3.25f);
}

TEST_F(ViewerDraw, TransformsMoveInLocalAxes) {
  V().LoadIdentity(nullptr);
  V().ScaleXY(2.0f, 3.0f);
  V().Translate(1.0f, 1.0f);  // in the scaled axes
  const DXLMATRIX& m = V().CurrentTransform();
  EXPECT_FLOAT_EQ(m.m[3][0], 2.0f);
  EXPECT_FLOAT_EQ(m.m[3][1], 3.0f);
  V().SetScale(0.5f);
  EXPECT_FLOAT_EQ(m.m[0][0], 0.5f);
  EXPECT_FLOAT_EQ(m.m[1][1], 0.5f);
  V().RotateDeg(90.0f);
  EXPECT_NEAR(m.m[0][0], 0.0f, 1e-6f);
  EXPECT_NEAR(m.m[1][0], -0.5f, 1e-6f);
  V().Translate(0.3f, 0.7f);
  V().RoundTranslation();
  EXPECT_EQ(m.m[3][0], std::floor(m.m[3][0]));

  // Push and pop bring back the saved transform and set it on the device.
  V().LoadIdentity(nullptr);
  V().Translate(5, 6);
  V().PushTransform();
  V().Translate(100, 100);
  V().PopTransform();
  EXPECT_FLOAT_EQ(m.m[3][0], 5.0f);
  DXLMATRIX world;
  V().ReadWorldTransform(&world);
  EXPECT_FLOAT_EQ(world.m[3][1], 6.0f);
  V().PopTransform();  // nothing saved: no change
  EXPECT_FLOAT_EQ(m.m[3][0], 5.0f);

  V().SetWorldOffset(10, 20);
  V().ReadWorldTransform(&world);
  EXPECT_FLOAT_EQ(world.m[3][0], 10.0f);
  V().ResetWorldTransform();
  V().ReadWorldTransform(&world);
  EXPECT_FLOAT_EQ(world.m[3][0], 0.0f);
}

TEST_F(ViewerDraw, ClipRectanglesNestAndPop) {
  V().Clear(0xFF000000u);
  V().PushClip(DXLRECT{10, 10, 100, 100});
  V().PushClip(DXLRECT{50, 50, 300, 300});  // narrowed to 50..100
  EXPECT_EQ(V().GetClipDepth(), 2u);
  FillRect(0, 0, 320, 240, 0xFFFF0000u);
  V().PopClip();
  FillRect(0, 0, 320, 240, 0xFF00FF00u);  // now only 10..100 in green
  V().PopClip();
  EXPECT_EQ(V().GetClipDepth(), 0u);
  V().PopClip();  // nothing pushed: nothing happens
  FillRect(200, 200, 210, 210, 0xFF0000FFu);  // the test is off again
  V().Present();
  gfx::SoftDevice* soft = rig_.Soft();
  EXPECT_EQ(soft->FramePixel(5, 5), 0xFF000000u);
  EXPECT_EQ(soft->FramePixel(20, 20), 0xFF00FF00u);
  EXPECT_EQ(soft->FramePixel(99, 99), 0xFF00FF00u);
  EXPECT_EQ(soft->FramePixel(100, 100), 0xFF000000u);
  EXPECT_EQ(soft->FramePixel(205, 205), 0xFF0000FFu);
  EXPECT_EQ(calls_.Matching("SetScissorRect").front(), "SetScissorRect 10 10 100 100");
  EXPECT_EQ(calls_.Matching("SetScissorRect")[1], "SetScissorRect 50 50 100 100");

  // A clip that misses the first one clips everything away.
  V().BeginFrame();
  V().Clear(0xFF000000u);
  V().PushClip(DXLRECT{0, 0, 10, 10});
  V().PushClip(DXLRECT{20, 20, 30, 30});
  FillRect(0, 0, 320, 240, 0xFFFFFFFFu);
  V().PopClip();
  V().PopClip();
  V().Present();
  EXPECT_EQ(soft->FramePixel(5, 5), 0xFF000000u);
  EXPECT_EQ(soft->FramePixel(25, 25), 0xFF000000u);
}

TEST(ViewerDrawHelpers, RectanglesNumbersAndQuadCorners) {
  DXLRECT r;
  DXLSetRectXYWH(&r, 5, 6, 10, 20);
  EXPECT_EQ(r.right, 15);
  EXPECT_EQ(r.bottom, 26);
  const DXLRECT other{0, 10, 12, 40};
  DXLIntersectRect(&r, &other);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.right, 12);
  EXPECT_EQ(r.bottom, 26);

  EXPECT_FLOAT_EQ(DXLFraction(2.75f), 0.75f);
  EXPECT_FLOAT_EQ(DXLFraction(-1.25f), -0.25f);
  EXPECT_EQ(DXLRoundHalfUp(2.5f), 3);
  EXPECT_EQ(DXLRoundHalfUp(2.49f), 2);
  EXPECT_EQ(DXLRoundHalfUp(-2.5f), -2);
  EXPECT_EQ(DXLRoundHalfUp(1e30f), 2147483647);  // out of range saturates, NaN gives 0
  EXPECT_EQ(DXLRoundHalfUp(NAN), 0);

  DXLVERTEX v[5];
  for (auto& x : v) x = DXLVERTEX{9, 9, 9, 0x12345678u, 0.5f, 0.5f};
  SetQuadRect24(v, 1, 2, 3, 4, true, true);
  EXPECT_EQ(v[1].x, 3.0f);
  EXPECT_EQ(v[2].y, 4.0f);
  EXPECT_EQ(v[3].x, 1.0f);
  EXPECT_EQ(v[0].z, 0.0f);
  EXPECT_EQ(v[0].color, 0x12345678u);
  EXPECT_EQ(v[4].x, 1.0f);
  EXPECT_EQ(v[4].y, 2.0f);

  // Glyph quads of one line join into one rectangle; a new line starts another.
  kis::list<DXLRECT*> queue;
  DXLRECT line{0, 0, 0, 0};
  DXLQUAD q{};
  SetQuadRect24(q.v, 9.5f, 19.5f, 17.5f, 39.5f, false, true);
  DXLFitTextRect(&queue, &line, &q);
  SetQuadRect24(q.v, 17.5f, 19.5f, 25.5f, 39.5f, false, true);
  DXLFitTextRect(&queue, &line, &q);
  EXPECT_EQ(queue.GetCount(), 0);
  EXPECT_EQ(line.right - line.left, 16);
  SetQuadRect24(q.v, 9.5f, 49.5f, 17.5f, 69.5f, false, true);
  DXLFitTextRect(&queue, &line, &q);
  EXPECT_EQ(queue.GetCount(), 1);
  queue.DeleteAll();
}

}  // namespace

#include <gtest/gtest.h>

#include <memory>

#include "UiRig.h"
#include "engine/DXLTextures.h"
#include "resources/GameDraw.h"
#include "resources/Sprite.h"
#include "ui/TimeGauge.h"

namespace gfx = plat::gfx;
using uitest::UiRig;

namespace {

// Zones of 128, 64 and 64 pixels over limits 3072, 2048 and 1024 ms: every
// share below is exact in binary.
class TimeGauges : public ::testing::Test {
 protected:
  void SetUp() override {
    picture_ = rig_.sets[1]->GetTextures()->NewTexture();
    picture_->Create(64, 32, gfx::D3DFMT_A8R8G8B8, true);
    UiRig::Fill(picture_, [](i32 x, i32 y) { return 0xFF000000u | static_cast<u32>(x) << 16 | static_cast<u32>(y); });
    new Sprite(rig_.sets[1].get(), u"time_bar_indic", picture_, SPRITEGRID{1, 0, 0, 0, 0, {0, 0, 0, 0}}, false,
               false, 0);
  }
  void Init(TimeGauge* g, u32 mode, u32 a = 3072, u32 b = 2048, u32 c = 1024) {
    const u32 limits[3] = {a, b, c};
    const i32 widths[3] = {128, 64, 64};
    g->Init(mode, limits, widths, 10, 20);
  }

  UiRig rig_{320, 240};
  DXLTexture* picture_ = nullptr;
};

TEST_F(TimeGauges, ZonesEmptyFromTheShortestLimitUp) {
  TimeGauge g;
  Init(&g, 1);
  const std::pair<u32, i32> fills[] = {{0, 256},    {512, 224},  {1024, 192}, {1536, 160}, {2048, 128},
                                       {2560, 64},  {3008, 8},   {3072, 0},   {9000, 0}};
  for (const auto& f : fills) {
    g.SetValue(f.first);
    EXPECT_EQ(g.GetFillLength(), f.second) << f.first;
  }
  EXPECT_EQ(g.GetQuadCount(), 0);  // nothing left to draw

  // Mode 0: zone 1 stays full.
  Init(&g, 0);
  g.SetValue(9000);
  EXPECT_EQ(g.GetFillLength(), 128);
  g.SetValue(2560);
  EXPECT_EQ(g.GetFillLength(), 128);
  g.SetValue(1536);
  EXPECT_EQ(g.GetFillLength(), 160);

  // Equal limits leave a zone of no time empty; a last limit of 0 divides nothing.
  Init(&g, 1, 3072, 1024, 1024);
  g.SetValue(1024);
  EXPECT_EQ(g.GetFillLength(), 192);
  g.SetValue(1025);
  EXPECT_EQ(g.GetFillLength(), 128);
  Init(&g, 1, 3072, 2048, 0);
  g.SetValue(0);
  EXPECT_EQ(g.GetFillLength(), 192);
  // Limits that rise instead of fall still give a fill within the bar.
  Init(&g, 1, 1000, 2000, 3000);
  for (u32 t : {0u, 1500u, 2500u, 3500u}) {
    g.SetValue(t);
    EXPECT_GE(g.GetFillLength(), 0);
    EXPECT_LE(g.GetFillLength(), 256);
  }
}

TEST_F(TimeGauges, QuadsCoverTheFillWithATipThatIsDrawnAdditively) {
  TimeGauge g;
  Init(&g, 1);
  // Segments: 8, 118, 2, 3, 58, 3, 2, 54, 8 from x 10.
  EXPECT_EQ(g.GetSegment(1).x, 18);
  EXPECT_EQ(g.GetSegment(1).width, 118);
  EXPECT_EQ(g.GetSegment(7).x, 204);
  EXPECT_EQ(g.GetSegment(8).x, 258);

  g.SetValue(512);  // fill 224: ends 30 pixels into the zone-3 fill
  ASSERT_EQ(g.GetQuadCount(), 9);
  const DXLQUAD& part = g.GetQuad(7);
  EXPECT_FLOAT_EQ(part.v[0].x, 204 - 0.5f);
  EXPECT_FLOAT_EQ(part.v[1].x, 204 + 29 - 0.5f);
  EXPECT_FLOAT_EQ(part.v[0].u, 26.0f / 64);
  EXPECT_FLOAT_EQ(part.v[1].u, 30.0f / 64);  // the 4-pixel source, stretched
  const DXLQUAD& tip = g.GetQuad(8);
  EXPECT_FLOAT_EQ(tip.v[0].x, 233 - 0.5f);
  EXPECT_FLOAT_EQ(tip.v[1].x, 234 - 0.5f);
  EXPECT_FLOAT_EQ(tip.v[0].y, 20 - 0.5f);
  EXPECT_FLOAT_EQ(tip.v[3].y, 34 - 0.5f);
  EXPECT_FLOAT_EQ(tip.v[0].u, 29.0f / 64);  // the last column of the piece
  EXPECT_EQ(tip.v[2].color, TimeGauge::kTipColor);

  // A fill that ends on a piece's edge still gets its tip.
  g.SetValue(3008);  // fill 8: the left end only
  ASSERT_EQ(g.GetQuadCount(), 2);
  EXPECT_FLOAT_EQ(g.GetQuad(0).v[1].x, 17 - 0.5f);
  EXPECT_FLOAT_EQ(g.GetQuad(1).v[0].x, 17 - 0.5f);
  EXPECT_FLOAT_EQ(g.GetQuad(1).v[0].u, 7.0f / 64);

  // Mode 0 takes the second row of the picture.
  Init(&g, 0);
  g.SetValue(0);
  ASSERT_EQ(g.GetQuadCount(), 10);
  EXPECT_FLOAT_EQ(g.GetQuad(0).v[0].v, 14.0f / 32);

  ASSERT_EQ(rig_.V().BeginFrame(), 0);
  rig_.calls.Clear();
  g.Draw();
  const auto& drawn = rig_.calls.Primitives();
  ASSERT_EQ(drawn.size(), 10u);
  EXPECT_EQ(drawn[0].texture, rig_.TextureId(picture_));
  const auto before = [&](size_t line) {
    std::string found;
    for (size_t i = 0; i < line; ++i)
      if (rig_.calls.Lines()[i].rfind("SetRenderState 20 ", 0) == 0) found = rig_.calls.Lines()[i];
    return found;
  };
  EXPECT_EQ(before(drawn[9].line), "SetRenderState 20 2");  // additive: the target plus
  EXPECT_NE(before(drawn[8].line), "SetRenderState 20 2");
  EXPECT_EQ(GetDrawTexture(), nullptr);
  rig_.V().Present();
}

}  // namespace

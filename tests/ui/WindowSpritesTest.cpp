#include <gtest/gtest.h>

#include <vector>

#include "UiRig.h"
#include "ui/WindowSprites.h"

using uitest::UiRig;

namespace {

class WindowSkins : public ::testing::Test {
 protected:
  DXLTexture* Image() { return rig_.interfaceImage.get(); }
  // x of the left and right edges of each quad of block b, without the half-pixel shift.
  std::vector<std::pair<float, float>> Spans(const WindowSprites& w, i32 b) {
    std::vector<std::pair<float, float>> out;
    for (const DXLQUAD& q : w.GetBlocks().Get(b)->quads) out.emplace_back(q.v[0].x + 0.5f, q.v[1].x + 0.5f);
    return out;
  }
  using Spans_t = std::vector<std::pair<float, float>>;

  UiRig rig_{320, 240};
};

TEST_F(WindowSkins, SlicedBordersAreClampedAndShareAnOverfullSize) {
  SKINRECT s = SKINRECT::InitSliced(10, 20, 40, 10, 30, 20, 0, 0, 5, 6, Image());
  EXPECT_EQ(s.left, 24);
  EXPECT_EQ(s.rightBorder, 16);
  EXPECT_EQ(s.middleWidth, 0);
  EXPECT_EQ(s.right, 50);
  EXPECT_EQ(s.bottom, 30);
  EXPECT_EQ(s.stepX, 5);
  EXPECT_EQ(s.stepY, 6);
  s = SKINRECT::InitSliced(0, 0, 40, 10, -3, -1, -7, -2, 0, 0, Image());
  EXPECT_EQ(s.left + s.rightBorder + s.top + s.bottomBorder, 0);
  EXPECT_EQ(s.middleWidth, 40);
  EXPECT_EQ(s.middleHeight, 10);
  s = SKINRECT::InitSliced(0, 0, 40, 10, 50, 0, 12, 0, 0, 0, Image());  // cut to the size
  EXPECT_EQ(s.left, 40);
  EXPECT_EQ(s.top, 10);
  EXPECT_EQ(s.middleWidth, 0);
  s = SKINRECT::InitSliced(0, 0, 10, 7, 0, 3, 4, 4, 0, 0, Image());  // 4 + 4 > 7: 3.5 rounds up
  EXPECT_EQ(s.top, 4);
  EXPECT_EQ(s.bottomBorder, 3);
  // -1 takes the image's size; other negative sizes are 0; -1 as image is the interface.
  s = SKINRECT::InitPlain(5, 5, -1, -2, 0, 0, kInterfaceImage);
  EXPECT_EQ(s.image, Image());
  EXPECT_EQ(s.width, 1024);
  EXPECT_EQ(s.height, 0);
  EXPECT_EQ(s.middleWidth, 1024);
  s = SKINRECT::InitPlain(0, 0, -1, -1, 0, 0, nullptr);
  EXPECT_EQ(s.width, 0);
}

TEST_F(WindowSkins, RowsFramesAndPiecesBuildTheirQuadsAndGrowTheContent) {
  const SKINRECT row = SKINRECT::InitSliced(0, 0, 40, 16, 10, 6, 0, 0, 0, 0, Image());  // middle 24
  WindowSprites w;
  // Narrower than both caps: only the caps, overlapping.
  EXPECT_EQ(w.AddRow(0, 0, 12, -1, row), 16);
  EXPECT_EQ(Spans(w, 0), (Spans_t{{0, 10}, {6, 12}}));
  i32 cw = 0, ch = 0;
  w.GetSize(&cw, &ch);
  EXPECT_EQ(cw, 12);
  EXPECT_EQ(ch, 16);
  // A stretched row below the content (kBelow) at x 0 widens it.
  w.AddRow(0, WindowSprites::kBelow, 100, 20, row);
  EXPECT_EQ(Spans(w, 1), (Spans_t{{0, 10}, {94, 100}, {10, 94}}));
  EXPECT_FLOAT_EQ(w.GetBlocks().Get(1)->quads[2].v[0].y + 0.5f, 16.0f);
  EXPECT_FLOAT_EQ(w.GetBlocks().Get(1)->quads[2].v[3].y + 0.5f, 36.0f);
  w.GetSize(&cw, &ch);
  EXPECT_EQ(cw, 100);
  EXPECT_EQ(ch, 36);
  // 2.5 tiles: the outer tiles join the caps and the row ends half a tile short.
  w.AddTiledRow(5, 40, 10 + 6 + 60, -1, row);
  EXPECT_EQ(Spans(w, 2), (Spans_t{{5, 39}, {39, 69}}));
  w.GetSize(&cw, &ch);
  EXPECT_EQ(cw, 100);  // x is not 0: the width stays
  // A frame lower than both borders: the bands share the height, no middle.
  const SKINRECT frame = SKINRECT::InitSliced(100, 100, 30, 30, 5, 5, 12, 4, 0, 0, Image());  // middle 14
  w.ClearQuads();
  EXPECT_EQ(w.GetBlocks().GetCount(), 0);
  w.AddFrame(0, 0, 60, 8, frame);
  ASSERT_EQ(w.GetBlocks().GetCount(), 2);
  EXPECT_FLOAT_EQ(w.GetBlocks().Get(0)->quads[0].v[3].y + 0.5f, 6.0f);  // 8 x 12 / 16
  EXPECT_FLOAT_EQ(w.GetBlocks().Get(1)->quads[0].v[3].y + 0.5f, 8.0f);
  // A tall frame: 12 + 14 | 14 | 6 | 4 + 14.
  w.ClearQuads();
  w.AddFrame(0, 0, 60, 64, frame);
  ASSERT_EQ(w.GetBlocks().GetCount(), 4);
  std::vector<float> tops;
  for (i32 b = 0; b < 4; ++b) tops.push_back(w.GetBlocks().Get(b)->quads[0].v[0].y + 0.5f);
  EXPECT_EQ(tops, (std::vector<float>{0, 26, 40, 46}));
  // A skin without a middle cannot repeat one: the bands meet, no hang.
  w.ClearQuads();
  w.AddFrame(0, 0, 60, 64, SKINRECT::InitSliced(100, 100, 30, 16, 5, 5, 12, 4, 0, 0, Image()));
  EXPECT_EQ(w.GetBlocks().GetCount(), 2);
  // Units: 3 give top + middle, bottom + middle.
  w.ClearQuads();
  w.AddFrameEx(0, 0, 60, 3, frame);
  ASSERT_EQ(w.GetBlocks().GetCount(), 2);
  EXPECT_FLOAT_EQ(w.GetBlocks().Get(1)->quads[0].v[0].y + 0.5f, 26.0f);
  EXPECT_FLOAT_EQ(w.GetBlocks().Get(1)->quads[0].v[3].y + 0.5f, 44.0f);
  // Pieces with a running source x take consecutive slices.
  w.ClearQuads();
  const SKINPIECE pieces[3] = {{10, 50, 60, -1}, {20, -1, -1, -1}, {30, -1, -1, 5}};
  w.AddPieces(Image(), 0, 200, 8, nullptr, 3, pieces);
  const auto& q = w.GetBlocks().Get(0)->quads;
  EXPECT_FLOAT_EQ(q[1].v[0].u, 60.0f / 1024);  // source x 60 (after 50 + 10)
  EXPECT_FLOAT_EQ(q[2].v[0].u, 80.0f / 1024);
  EXPECT_FLOAT_EQ(q[2].v[1].u, 85.0f / 1024);  // stretched from 5 pixels
  EXPECT_FLOAT_EQ(q[2].v[0].v, 60.0f / 1024);
  // A skin without an image adds nothing but still grows the content.
  WindowSprites empty;
  empty.AddRow(0, 0, 50, 9, SKINRECT::InitSliced(0, 0, 10, 10, 2, 2, 0, 0, 0, 0, nullptr));
  EXPECT_EQ(empty.GetBlocks().GetCount(), 0);
  empty.GetSize(&cw, &ch);
  EXPECT_EQ(cw, 50);
  EXPECT_EQ(ch, 9);
  w.SetAlpha(0x80000000u);
  EXPECT_EQ(w.GetBlocks().Get(0)->quads[2].v[3].color, 0x80FFFFFFu);
}

// A split row of 60 + 40 with a notch from the middle's end: caps of 10 and
// 6, the middle's first 24 - notch pixels stretched on either side, the notch
// unscaled across the split, half of it (rounded up) left of the split.
TEST_F(WindowSkins, ASplitRowPutsItsNotchAcrossTheSplit) {
  const SKINRECT row = SKINRECT::InitSliced(0, 0, 40, 16, 10, 6, 0, 0, 0, 0, Image());  // middle 24 from x 10
  const struct {
    i32 notch;
    Spans_t spans;
  } cases[] = {{5, {{0, 10}, {94, 100}, {10, 57}, {62, 94}, {57, 62}}},
               {4, {{0, 10}, {94, 100}, {10, 58}, {62, 94}, {58, 62}}},
               {0, {{0, 10}, {94, 100}, {10, 60}, {60, 94}, {60, 60}}}};
  for (const auto& c : cases) {
    WindowSprites w;
    w.AddRowEx(0, 0, 60, 40, -1, row, c.notch);
    i32 cw = 0;
    w.GetSize(&cw, nullptr);
    EXPECT_EQ(cw, 100);
    ASSERT_EQ(w.GetBlocks().GetCount(), 1);
    EXPECT_EQ(Spans(w, 0), c.spans) << c.notch;
    const auto& q = w.GetBlocks().Get(0)->quads;
    const float tail = static_cast<float>(24 - c.notch);
    EXPECT_FLOAT_EQ(q[2].v[1].u * 1024, 10 + tail) << c.notch;  // the stretched part
    EXPECT_FLOAT_EQ(q[4].v[0].u * 1024, 10 + tail) << c.notch;  // the notch: the rest
    EXPECT_FLOAT_EQ(q[4].v[1].u * 1024, 34) << c.notch;
  }
}

// The window's top row drawn where the window stands: caps of 22 and 26
// pixels around a 4-pixel middle stretched to the rest of 300.
TEST_F(WindowSkins, ADialogsTopRowIsDrawnAsComputedByHand) {
  auto* d = new uitest::Dialog(1, 300, 0);
  d->MoveTo(20, 30);  // the screen is 320 wide: at most 24
  rig_.calls.Clear();
  rig_.Frame();
  const auto& p = rig_.calls.Primitives();
  ASSERT_EQ(p.size(), 3u);
  const float x[3][2] = {{0, 22}, {274, 300}, {22, 274}};
  const float u[3][2] = {{971, 993}, {997, 1023}, {993, 997}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(p[i].texture, rig_.TextureId(rig_.interfaceImage.get()));
    EXPECT_FLOAT_EQ(p[i].vertices[0].x, x[i][0] - 0.5f) << i;
    EXPECT_FLOAT_EQ(p[i].vertices[1].x, x[i][1] - 0.5f) << i;
    EXPECT_FLOAT_EQ(p[i].vertices[2].y, 77 - 0.5f) << i;
    EXPECT_FLOAT_EQ(p[i].vertices[0].u, u[i][0] / 1024) << i;
    EXPECT_FLOAT_EQ(p[i].vertices[1].u, u[i][1] / 1024) << i;
    EXPECT_FLOAT_EQ(p[i].vertices[0].v, 513.0f / 1024) << i;
    EXPECT_FLOAT_EQ(p[i].world.m[3][0], 20.0f);
    EXPECT_FLOAT_EQ(p[i].world.m[3][1], 30.0f);
  }
  EXPECT_EQ(d->GetWidth(), 300);
  EXPECT_EQ(d->GetHeight(), 77);
}

}  // namespace

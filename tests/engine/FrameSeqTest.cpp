#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/DXLFrameSeq.h"

namespace {

std::vector<u32> Frames(u32 mode, u32 first, u32 count, u32 d, u32 steps) {
  DXLFRAMESEQ seq;
  DXLFrameSeqInit(&seq, mode, first, count, d, 0, 0);
  std::vector<u32> out;
  for (u32 i = 0; i < steps; ++i) {
    seq.elapsed = i * d;
    out.push_back(DXLFrameSeqGetFrame(&seq) - first);
    EXPECT_EQ(seq.current, out.back() + first);
  }
  return out;
}

TEST(FrameSeq, FiveModesOverTime) {
  EXPECT_EQ(Frames(kFrameSeqPingPong, 0, 4, 100, 8), (std::vector<u32>{0, 1, 2, 3, 2, 1, 0, 1}));
  EXPECT_EQ(DXLFrameSeqGetTotalTime(kFrameSeqPingPong, 4, 100), 600u);
  EXPECT_EQ(DXLFrameSeqGetTotalTime(kFrameSeqPingPong, 1, 100), 0u);
  EXPECT_EQ(DXLFrameSeqGetTotalTime(kFrameSeqLoop, 4, 0), 0u);
  EXPECT_EQ(Frames(kFrameSeqClamp, 10, 3, 50, 5), (std::vector<u32>{0, 1, 2, 2, 2}));
  EXPECT_EQ(Frames(kFrameSeqClampBack, 0, 5, 100, 7), (std::vector<u32>{4, 3, 2, 1, 0, 0, 0}));
  EXPECT_EQ(Frames(kFrameSeqLoop, 3, 3, 10, 7), (std::vector<u32>{0, 1, 2, 0, 1, 2, 0}));
  EXPECT_EQ(Frames(kFrameSeqLoopBack, 3, 3, 10, 7), (std::vector<u32>{2, 1, 0, 2, 1, 0, 2}));
  EXPECT_EQ(Frames(5, 3, 3, 10, 3), (std::vector<u32>{0, 0, 0}));
  EXPECT_EQ(Frames(kFrameSeqPingPong, 0, 2, 10, 4), (std::vector<u32>{0, 1, 0, 1}));
}

TEST(FrameSeq, TimesBetweenFramesAndTheRecordLeftAlone) {
  DXLFRAMESEQ seq;
  DXLFrameSeqInit(&seq, kFrameSeqLoop, 20, 4, 100, 0, 99);
  EXPECT_EQ(DXLFrameSeqFrameAt(&seq, 99), 20u);
  EXPECT_EQ(DXLFrameSeqFrameAt(&seq, 199), 21u);
  EXPECT_EQ(DXLFrameSeqFrameAt(&seq, 401), 20u);
  EXPECT_EQ(seq.current, 99u);
}

TEST(FrameSeq, DegenerateSequencesStayPut) {
  // One frame, no frames, no time per frame.
  EXPECT_EQ(Frames(kFrameSeqLoop, 7, 1, 100, 3), (std::vector<u32>{0, 0, 0}));
  EXPECT_EQ(Frames(kFrameSeqPingPong, 7, 1, 100, 3), (std::vector<u32>{0, 0, 0}));
  EXPECT_EQ(Frames(kFrameSeqLoopBack, 7, 1, 100, 3), (std::vector<u32>{0, 0, 0}));
  DXLFRAMESEQ seq;
  DXLFrameSeqInit(&seq, kFrameSeqClampBack, 7, 0, 100, 500, 0);
  EXPECT_EQ(DXLFrameSeqGetFrame(&seq), 7u);
  DXLFrameSeqInit(&seq, kFrameSeqClampBack, 7, 5, 0, 500, 0);
  EXPECT_EQ(DXLFrameSeqGetFrame(&seq), 11u);
  DXLFrameSeqInit(&seq, kFrameSeqLoop, 7, 5, 0, 500, 0);
  EXPECT_EQ(DXLFrameSeqGetFrame(&seq), 7u);
}

TEST(FrameSeq, ClampAndStepLimitToTheStrip) {
  DXLFRAMESEQ seq;
  DXLFrameSeqInit(&seq, 0, 10, 5, 100, 0, 0);
  DXLFRAMECURSOR c{12, 1};
  DXLFrameSeqStepForward(&seq, &c, 1);
  EXPECT_EQ(c.frame, 13u);
  DXLFrameSeqStepForward(&seq, &c, 100);
  EXPECT_EQ(c.frame, 14u);
  DXLFrameSeqStepBack(&seq, &c, 3);
  EXPECT_EQ(c.frame, 11u);
  DXLFrameSeqStepBack(&seq, &c, 0xFFFFFFFFu);
  EXPECT_EQ(c.frame, 10u);
  DXLFrameSeqClamp(&seq, &c, -5);
  EXPECT_EQ(c.frame, 10u);
  DXLFrameSeqInit(&seq, 0, 10, 0, 100, 0, 0);
  DXLFrameSeqClamp(&seq, &c, 30);
  EXPECT_EQ(c.frame, 10u);
}

TEST(FrameSeq, LoopSteppingWrapsBothWays) {
  DXLFRAMESEQ seq;
  DXLFrameSeqInit(&seq, 0, 10, 4, 100, 0, 0);
  DXLFRAMECURSOR c{12, 1};
  DXLFrameSeqLoopForward(&seq, &c, 3);
  EXPECT_EQ(c.frame, 11u);
  DXLFrameSeqLoopBack(&seq, &c, 2);
  EXPECT_EQ(c.frame, 13u);
  DXLFrameSeqLoopBack(&seq, &c, 9);
  EXPECT_EQ(c.frame, 12u);
  DXLFrameSeqLoopForward(&seq, &c, 0xFFFFFFFFu);
  EXPECT_EQ(c.frame, 11u);
}

TEST(FrameSeq, PingPongSteppingBouncesAtTheEnds) {
  DXLFRAMESEQ seq;
  DXLFrameSeqInit(&seq, 0, 0, 4, 100, 0, 0);
  DXLFRAMECURSOR c{0, 1};
  std::vector<u32> walk;
  for (int i = 0; i < 8; ++i) {
    walk.push_back(c.frame);
    DXLFrameSeqPingPong(&seq, &c, 1);
  }
  EXPECT_EQ(walk, (std::vector<u32>{0, 1, 2, 3, 2, 1, 0, 1}));
  EXPECT_EQ(c.direction, 1);  // at 2, on the way up from 1

  c = DXLFRAMECURSOR{1, 1};
  DXLFrameSeqPingPong(&seq, &c, 4);  // 2, 3, 2, 1
  EXPECT_EQ(c.frame, 1u);
  EXPECT_EQ(c.direction, -1);
  DXLFrameSeqPingPong(&seq, &c, 6 + 2);  // a whole round trip, then 0, 1
  EXPECT_EQ(c.frame, 1u);
  EXPECT_EQ(c.direction, 1);
  c = DXLFRAMECURSOR{3, 1};  // at the far end heading out
  DXLFrameSeqPingPong(&seq, &c, 1);
  EXPECT_EQ(c.frame, 2u);
  EXPECT_EQ(c.direction, -1);
}

TEST(FrameSeq, SteppingShortStripsNeverDividesByZero) {
  DXLFRAMESEQ seq;
  for (u32 count : {0u, 1u}) {
    DXLFrameSeqInit(&seq, 0, 5, count, 100, 0, 0);
    DXLFRAMECURSOR c{9, -1};
    DXLFrameSeqLoopForward(&seq, &c, 3);
    EXPECT_EQ(c.frame, 5u);
    c.frame = 9;
    DXLFrameSeqLoopBack(&seq, &c, 3);
    EXPECT_EQ(c.frame, 5u);
    c.frame = 9;
    DXLFrameSeqPingPong(&seq, &c, 3);
    EXPECT_EQ(c.frame, 5u);
    EXPECT_EQ(c.direction, -1);
  }
}

TEST(FrameSeq, QuadRectWritesOnlyPositions) {
  u32 words[5][6];
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 6; ++j) words[i][j] = 0xA0000000u + static_cast<u32>(i * 6 + j);
  DXLSetQuadRect(words, 1.0f, 2.0f, 3.0f, 4.0f, false, false);
  auto f = [&](int v, int w) {
    float x;
    std::memcpy(&x, &words[v][w], 4);
    return x;
  };
  EXPECT_EQ(f(0, 0), 1.0f);
  EXPECT_EQ(f(0, 1), 2.0f);
  EXPECT_EQ(f(1, 0), 3.0f);
  EXPECT_EQ(f(1, 1), 2.0f);
  EXPECT_EQ(f(2, 0), 3.0f);
  EXPECT_EQ(f(2, 1), 4.0f);
  EXPECT_EQ(f(3, 0), 1.0f);
  EXPECT_EQ(f(3, 1), 4.0f);
  EXPECT_EQ(words[0][2], 0xA0000002u);  // z untouched
  EXPECT_EQ(words[2][3], 0xA000000Fu);  // colour untouched
  EXPECT_EQ(words[4][0], 0xA0000018u);  // no fifth vertex

  DXLSetQuadRect(words, 5.0f, 6.0f, 7.0f, 8.0f, true, true);
  EXPECT_EQ(f(3, 2), 0.0f);
  EXPECT_EQ(std::memcmp(words[4], words[0], sizeof(words[0])), 0);
  EXPECT_EQ(words[4][5], 0xA0000005u);
}

}  // namespace

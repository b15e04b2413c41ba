#include "engine/DXLFrameSeq.h"

#include <cstring>

void DXLFrameSeqInit(DXLFRAMESEQ* seq, u32 mode, u32 first, u32 count, u32 timePerFrame, u32 elapsed,
                     u32 current) {
  if (!seq) return;
  *seq = DXLFRAMESEQ{mode, first, count, timePerFrame, elapsed, current};
}

u32 DXLFrameSeqGetTotalTime(u32 mode, u32 count, u32 timePerFrame) {
  if (timePerFrame == 0 || count == 0) return 0;
  if (mode == kFrameSeqPingPong) return (2 * count - 2) * timePerFrame;
  return count * timePerFrame;
}

u32 DXLFrameSeqFrameAt(const DXLFRAMESEQ* seq, u32 time) {
  if (!seq) return 0;
  const u32 n = seq->count;
  const u32 d = seq->timePerFrame;
  const bool backward = seq->mode == kFrameSeqClampBack || seq->mode == kFrameSeqLoopBack;
  if (time == 0 || d == 0 || n < 2) return backward && n >= 1 ? seq->first + n - 1 : seq->first;

  const u32 k = time / d;
  u32 index = 0;
  switch (seq->mode) {
    case kFrameSeqClamp: index = k < n - 1 ? k : n - 1; break;
    case kFrameSeqClampBack: index = n - 1 - (k < n - 1 ? k : n - 1); break;
    case kFrameSeqLoop: index = k % n; break;
    case kFrameSeqLoopBack: index = n - 1 - k % n; break;
    case kFrameSeqPingPong: {
      const u32 p = k % (2 * n - 2);
      index = p < n ? p : 2 * n - 2 - p;
      break;
    }
    default: index = 0; break;
  }
  return seq->first + index;
}

u32 DXLFrameSeqGetFrame(DXLFRAMESEQ* seq) {
  if (!seq) return 0;
  seq->current = DXLFrameSeqFrameAt(seq, seq->elapsed);
  return seq->current;
}

void DXLFrameSeqClamp(const DXLFRAMESEQ* seq, DXLFRAMECURSOR* cursor, i64 frame) {
  if (!seq || !cursor) return;
  const i64 low = seq->first;
  const i64 high = low + (seq->count > 0 ? i64{seq->count} - 1 : 0);
  if (frame < low) frame = low;
  if (frame > high) frame = high;
  cursor->frame = static_cast<u32>(frame);
}

void DXLFrameSeqStepForward(const DXLFRAMESEQ* seq, DXLFRAMECURSOR* cursor, u32 n) {
  if (!seq || !cursor) return;
  DXLFrameSeqClamp(seq, cursor, i64{cursor->frame} + n);
}

void DXLFrameSeqStepBack(const DXLFRAMESEQ* seq, DXLFRAMECURSOR* cursor, u32 n) {
  if (!seq || !cursor) return;
  DXLFrameSeqClamp(seq, cursor, i64{cursor->frame} - n);
}

namespace {

// Position of the cursor inside the strip, 0 .. count - 1.
i64 Offset(const DXLFRAMESEQ* seq, const DXLFRAMECURSOR* cursor) {
  i64 p = i64{cursor->frame} - seq->first;
  if (p < 0) p = 0;
  if (p > i64{seq->count} - 1) p = i64{seq->count} - 1;
  return p;
}

}  // namespace

// An empty strip has nothing to loop over: the cursor is only clamped.
void DXLFrameSeqLoopForward(const DXLFRAMESEQ* seq, DXLFRAMECURSOR* cursor, u32 n) {
  if (!seq || !cursor) return;
  if (seq->count == 0) return DXLFrameSeqClamp(seq, cursor, cursor->frame);
  const i64 count = seq->count;
  cursor->frame = static_cast<u32>(seq->first + (Offset(seq, cursor) + n % count) % count);
}

void DXLFrameSeqLoopBack(const DXLFRAMESEQ* seq, DXLFRAMECURSOR* cursor, u32 n) {
  if (!seq || !cursor) return;
  if (seq->count == 0) return DXLFrameSeqClamp(seq, cursor, cursor->frame);
  const i64 count = seq->count;
  cursor->frame = static_cast<u32>(seq->first + (Offset(seq, cursor) + count - n % count) % count);
}

// Bounces between the ends: each time the steps left exceed the room ahead,
// the cursor runs to that end and turns. A strip of fewer than two frames
// cannot bounce and is only clamped.
void DXLFrameSeqPingPong(const DXLFRAMESEQ* seq, DXLFRAMECURSOR* cursor, u32 n) {
  if (!seq || !cursor) return;
  if (seq->count < 2) return DXLFrameSeqClamp(seq, cursor, cursor->frame);
  const i64 last = i64{seq->count} - 1;
  i64 r = n % (2 * last);
  i64 p = Offset(seq, cursor);
  i64 s = cursor->direction < 0 ? -1 : 1;
  i64 room = s < 0 ? p : last - p;
  while (r > room) {
    p += s * room;
    r -= room;
    s = -s;
    room = last;
  }
  cursor->direction = static_cast<i16>(s);
  DXLFrameSeqClamp(seq, cursor, seq->first + p + s * r);
}

void DXLSetQuadRect(void* vertices, float left, float top, float right, float bottom, bool close, bool flat) {
  if (!vertices) return;
  constexpr size_t kStride = 6 * sizeof(u32);
  unsigned char* v = static_cast<unsigned char*>(vertices);
  const float corners[4][2] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  const float zero = 0.0f;
  for (int i = 0; i < 4; ++i) {
    std::memcpy(v + i * kStride, &corners[i][0], sizeof(float));
    std::memcpy(v + i * kStride + 4, &corners[i][1], sizeof(float));
    if (flat) std::memcpy(v + i * kStride + 8, &zero, sizeof(float));
  }
  if (close) std::memcpy(v + 4 * kStride, v, kStride);
}

// Frame sequencer: picks the current image of a strip of frames from elapsed
// time in one of five playing modes, gives a sequence's running time and steps
// a frame cursor by hand. It holds no clock: callers store the elapsed time.
// Also DXLSetQuadRect, which writes rectangle corners into quad vertices.
//
// Every operation is total: counts of 0 and 1 and a time per frame of 0 never
// divide by zero (a sequence that cannot move stays on its first frame, or its
// last one in the backward modes).
#pragma once

#include "base/Types.h"

// Playing modes.
constexpr u32 kFrameSeqClamp = 0;
constexpr u32 kFrameSeqClampBack = 1;
constexpr u32 kFrameSeqLoop = 2;
constexpr u32 kFrameSeqLoopBack = 3;
constexpr u32 kFrameSeqPingPong = 4;

struct DXLFRAMESEQ {
  u32 mode;
  u32 first;         // number of the first frame
  u32 count;         // frames in the strip
  u32 timePerFrame;  // ms
  u32 elapsed;       // ms, set by the caller
  u32 current;       // last result of DXLFrameSeqGetFrame
};

// A hand-stepped position in a sequence: frame and direction (+1 or -1).
struct DXLFRAMECURSOR {
  u32 frame;
  i16 direction;
};

void DXLFrameSeqInit(DXLFRAMESEQ* seq, u32 mode, u32 first, u32 count, u32 timePerFrame, u32 elapsed,
                     u32 current);
u32 DXLFrameSeqGetTotalTime(u32 mode, u32 count, u32 timePerFrame);
u32 DXLFrameSeqGetFrame(DXLFRAMESEQ* seq);                 // also stored as current
u32 DXLFrameSeqFrameAt(const DXLFRAMESEQ* seq, u32 time);  // record unchanged

// Cursor stepping. Clamp limits to first .. first + count - 1 (first for an
// empty strip); the loop and ping-pong steps leave a strip too short to move
// on its clamped frame.
void DXLFrameSeqClamp(const DXLFRAMESEQ* seq, DXLFRAMECURSOR* cursor, i64 frame);
void DXLFrameSeqStepForward(const DXLFRAMESEQ* seq, DXLFRAMECURSOR* cursor, u32 n);
void DXLFrameSeqStepBack(const DXLFRAMESEQ* seq, DXLFRAMECURSOR* cursor, u32 n);
void DXLFrameSeqLoopForward(const DXLFRAMESEQ* seq, DXLFRAMECURSOR* cursor, u32 n);
void DXLFrameSeqLoopBack(const DXLFRAMESEQ* seq, DXLFRAMECURSOR* cursor, u32 n);
void DXLFrameSeqPingPong(const DXLFRAMESEQ* seq, DXLFRAMECURSOR* cursor, u32 n);

// Writes the corners (left, top), (right, top), (right, bottom), (left,
// bottom) as x and y of four vertices of six 32-bit words (x, y, z, colour,
// u, v). `close` copies vertex 0 whole into a fifth vertex (a closed
// outline); `flat` sets z to 0 in every vertex written. Colours and texture
// coordinates are left alone.
void DXLSetQuadRect(void* vertices, float left, float top, float right, float bottom, bool close, bool flat);

// Small rectangle records and helpers: integer rectangles of four 32-bit
// values, short rectangles of four 16-bit values, and the collector that joins
// the glyph quads of one text line into one rectangle.
#pragma once

#include "base/List.h"
#include "base/RecordFields.h"
#include "base/Types.h"

struct DXLQUAD;

struct DXLRECT {
  i32 left;
  i32 top;
  i32 right;
  i32 bottom;
};

// The stored rectangle, 16 bytes: left, top, right, bottom.
constexpr RecordField kDXLRectFields[] = {
    TM_FIELD(DXLRECT, left, 0, kU32, 1), TM_FIELD(DXLRECT, top, 4, kU32, 1), TM_FIELD(DXLRECT, right, 8, kU32, 1),
    TM_FIELD(DXLRECT, bottom, 12, kU32, 1)};
constexpr RecordLayout kDXLRectLayout = MakeLayout(16, kDXLRectFields);

struct SHORTRECT {
  i16 left;
  i16 top;
  i16 right;
  i16 bottom;
};

void DXLSetRect(DXLRECT* rect, i32 left, i32 top, i32 right, i32 bottom);

void SetShortRect(SHORTRECT* rect, i16 left, i16 top, i16 right, i16 bottom);
void SetShortRectXYWH(SHORTRECT* rect, i16 x, i16 y, i16 width, i16 height);  // right = x + width ...
void NormalizeShortRect(SHORTRECT* out, const SHORTRECT* in);  // swaps so left <= right, top <= bottom

// Adds one glyph quad to the rectangle being collected for a text line. The
// quad is given by its corners: (x0, y0) the first (top-left), x1 the x of the
// second (top-right) and y3 the y of the fourth (bottom-left). When the
// rectangle has a height and the quad's rounded top and bottom both differ from
// it, a copy of the rectangle is appended to queue (the queue's owner deletes
// it) and the rectangle starts again from this quad. Coordinates round by
// adding 0.5 and rounding halves up.
void DXLFitTextRect(kis::list<DXLRECT*>* queue, DXLRECT* rect, float x0, float y0, float x1, float y3);
// The same for a glyph quad (its first, second and fourth corners).
void DXLFitTextRect(kis::list<DXLRECT*>* queue, DXLRECT* rect, const DXLQUAD* quad);

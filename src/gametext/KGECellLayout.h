// Places glyph cells of one height row by row in a rectangle, left to right,
// with a horizontal skip after each cell of non-zero width and a vertical skip
// between rows (negative skips count as 0).
//
// A cell that does not fit the rest of a row starts the next one. Strict
// layout fails when a cell is wider than the rectangle or a row passes its
// bottom; otherwise such a cell is placed anyway and rows go on below. An
// empty rectangle puts every cell at its top-left (and fails when strict).
#pragma once

#include "base/Types.h"
#include "engine/DXLRect.h"
#include "gametext/KGEFont.h"

// On success `neededHeight` is the last row's top + cell height, measured from
// the rectangle's top.
bool KGELayoutCells(KGEGLYPHIMAGE* cells, u32 count, i32 cellHeight, const DXLRECT& area, i32 hskip, i32 vskip,
                    bool strict, i64* neededHeight);

#include "gametext/KGECellLayout.h"

bool KGELayoutCells(KGEGLYPHIMAGE* cells, u32 count, i32 cellHeight, const DXLRECT& area, i32 hskip, i32 vskip,
                    bool strict, i64* neededHeight) {
  if (neededHeight) *neededHeight = 0;
  const i64 h = cellHeight < 0 ? 0 : cellHeight;
  const i64 sx = hskip < 0 ? 0 : hskip, sy = vskip < 0 ? 0 : vskip;
  if (area.right <= area.left || area.bottom <= area.top) {
    if (strict) return false;
    for (u32 i = 0; i < count; ++i) {
      cells[i].x = area.left;
      cells[i].y = area.top;
    }
    if (neededHeight) *neededHeight = h;
    return true;
  }
  if (strict && area.top + h > area.bottom) return false;
  i64 x = area.left, y = area.top;
  bool rowEmpty = true;
  for (u32 i = 0; i < count; ++i) {
    const i64 w = cells[i].width < 0 ? 0 : cells[i].width;
    if (x + w > area.right) {
      if (!rowEmpty) {
        x = area.left;
        y += h + sy;
        rowEmpty = true;
        if (strict && y + h > area.bottom) return false;
      }
      // Alone in its row and still too wide.
      if (x + w > area.right && strict) return false;
    }
    // Positions stay within 32 bits; a layout that would leave them fails.
    if (y > INT32_MAX - h) return false;
    cells[i].x = static_cast<i32>(x);
    cells[i].y = static_cast<i32>(y);
    if (w != 0) {
      x += w + sx;
      rowEmpty = false;
    }
  }
  if (neededHeight) *neededHeight = y - area.top + h;
  return true;
}

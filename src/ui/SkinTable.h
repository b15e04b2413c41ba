// SkinTable - every piece that the window toolkit, the level panel and the
// head-up display cut from the interface pictures of sprite set 1
// ("interface", the level panel's "level" sheet, the level information
// window's "info", the hint balloon and line, the medal-time gauge and the
// head-up display's pictures), in one table: where the piece lies, how its
// state frames follow one another, the borders the slicing keeps whole and
// the columns and rows it stretches or repeats. The code cuts its skins
// from these entries, and the data builder draws the pictures by the same
// table, so a rectangle is written here once and nowhere else.
#pragma once

#include <initializer_list>
#include <span>

#include "base/Types.h"
#include "ui/SkinRect.h"

// Columns (or rows) [from, to) of a frame.
struct SkinSpan {
  i32 from = 0;
  i32 to = 0;
};

struct SkinPiece {
  const char* key = "";    // what the piece is, unique
  const char* image = "";  // the picture of sprite set 1 it lies on
  i32 x = 0, y = 0;        // the first frame's top left
  i32 frameWidth = 0, frameHeight = 0;
  u32 frames = 1;
  bool states = true;        // the frames show states: no two alike
  i32 stepX = 0, stepY = 0;  // frame i lies at (x + i stepX, y + i stepY)
  // The borders the slicing keeps whole (0 where it cuts none).
  i32 left = 0, right = 0, top = 0, bottom = 0;
  // Stretched or repeated: every column (row) of such a span alike.
  SkinSpan columns[3] = {};
  u32 columnCount = 0;
  SkinSpan rows[1] = {};
  u32 rowCount = 0;

  // The rectangle of every frame together.
  constexpr i32 Right() const { return x + static_cast<i32>(frames - 1) * stepX + frameWidth; }
  constexpr i32 Bottom() const { return y + static_cast<i32>(frames - 1) * stepY + frameHeight; }
  constexpr i32 Width() const { return Right() - x; }
  constexpr i32 Height() const { return Bottom() - y; }
  // A strip of state frames: downwards or across, and the gap between frames.
  constexpr bool Vertical() const { return stepY != 0; }
  constexpr i32 Gap() const { return Vertical() ? stepY - frameHeight : frames > 1 ? stepX - frameWidth : 0; }
  std::span<const SkinSpan> FlatColumns() const { return {columns, columnCount}; }
  std::span<const SkinSpan> FlatRows() const { return {rows, rowCount}; }
};

// The piece as one skin of `image` (kInterfaceImage for "interface"): all its
// frames together, sliced by its borders, for the controls that cut their
// state frames from a strip.
inline SKINRECT SkinOf(const SkinPiece& p, DXLTexture* image) {
  return SKINRECT::InitSliced(p.x, p.y, p.Width(), p.Height(), p.left, p.right, p.top, p.bottom, 0, 0, image);
}
// Its first frame, sliced by its borders, stepping to the other frames.
inline SKINRECT FrameSkinOf(const SkinPiece& p, DXLTexture* image) {
  return SKINRECT::InitSliced(p.x, p.y, p.frameWidth, p.frameHeight, p.left, p.right, p.top, p.bottom, p.stepX,
                              p.stepY, image);
}
// Columns [from, from + width) of its first frame, the whole height, plain.
inline SKINRECT ColumnsOf(const SkinPiece& p, i32 from, i32 width, DXLTexture* image) {
  return SKINRECT::InitPlain(p.x + from, p.y, width, p.frameHeight, 0, 0, image);
}

namespace skins {

namespace make {

// One frame sliced with borders: the middle columns are stretched when
// there are side borders, the middle rows repeated when there are top or
// bottom borders.
constexpr SkinPiece Sliced(const char* key, const char* image, i32 x, i32 y, i32 w, i32 h, i32 left, i32 right,
                           i32 top = 0, i32 bottom = 0) {
  SkinPiece p;
  p.key = key;
  p.image = image;
  p.x = x;
  p.y = y;
  p.frameWidth = w;
  p.frameHeight = h;
  p.left = left;
  p.right = right;
  p.top = top;
  p.bottom = bottom;
  if (left + right > 0 && w - left - right > 0) p.columns[p.columnCount++] = {left, w - right};
  if (top + bottom > 0 && h - top - bottom > 0) p.rows[p.rowCount++] = {top, h - bottom};
  return p;
}

constexpr SkinPiece Plain(const char* key, const char* image, i32 x, i32 y, i32 w, i32 h) {
  return Sliced(key, image, x, y, w, h, 0, 0);
}

// State frames cut from one rectangle as the skinned buttons cut it: a
// frame is (size + gap) / frames - gap along the strip, frames `gap` apart.
constexpr SkinPiece Strip(const char* key, const char* image, i32 x, i32 y, i32 w, i32 h, u32 frames, bool vertical,
                          i32 gap, i32 left = 0, i32 right = 0, i32 top = 0, i32 bottom = 0) {
  const i32 n = static_cast<i32>(frames);
  const i32 fw = vertical ? w : (w + gap) / n - gap;
  const i32 fh = vertical ? (h + gap) / n - gap : h;
  SkinPiece p = Sliced(key, image, x, y, fw, fh, left, right, top, bottom);
  p.frames = frames;
  p.stepX = vertical ? 0 : fw + gap;
  p.stepY = vertical ? fh + gap : 0;
  return p;
}

// Frames at a fixed step.
constexpr SkinPiece Stepped(const char* key, const char* image, i32 x, i32 y, i32 w, i32 h, u32 frames, i32 stepX,
                            i32 stepY, i32 left = 0, i32 right = 0, i32 top = 0, i32 bottom = 0) {
  SkinPiece p = Sliced(key, image, x, y, w, h, left, right, top, bottom);
  p.frames = frames;
  p.stepX = stepX;
  p.stepY = stepY;
  return p;
}

// The same piece with its own stretched columns.
constexpr SkinPiece WithColumns(SkinPiece p, std::initializer_list<SkinSpan> columns) {
  p.columnCount = 0;
  for (const SkinSpan& c : columns) p.columns[p.columnCount++] = c;
  return p;
}

constexpr SkinPiece Unlike(SkinPiece p) {  // frames that are no states: they may look alike
  p.states = false;
  return p;
}

inline constexpr const char* kInterface = "interface";
inline constexpr const char* kLevel = "level";
inline constexpr const char* kInfo = "info";

}  // namespace make

// --- "interface": windows, buttons, boxes, the scroll bar ------------------------------
inline constexpr SkinPiece kWindowTop = make::Sliced("window_top", make::kInterface, 971, 513, 52, 77, 22, 26);
inline constexpr SkinPiece kWindowBody =
    make::Sliced("window_body", make::kInterface, 489, 0, 227, 163, 110, 113, 44, 52);
// The message dialog's text body.
inline constexpr SkinPiece kDialogMessage =
    make::Sliced("dialog_message", make::kInterface, 971, 684, 52, 85, 22, 26, 20, 20);
// The window column at x 971, y 513 to 897 is one drawing that the
// windows cut in overlapping frames: the top row, the menu's body (whose
// first rows are the top row's last), the message body and the closing
// row below a window. Each cut shows a whole frame; the rows two cuts share
// are named in kSharedRows.
inline constexpr SkinPiece kMenuBody =
    make::Sliced("menu_body", make::kInterface, 971, 586, 52, 97, 22, 26, 20, 15);
inline constexpr SkinPiece kWindowClosing = make::Sliced("window_closing", make::kInterface, 971, 879, 52, 18, 22, 26);
// The result window's frame round its time rows: the menu's body two rows
// further down.
inline constexpr SkinPiece kResultFrame =
    make::Sliced("result_frame", make::kInterface, 971, 588, 52, 95, 22, 26, 18, 15);
// The money window's boards: one sliced row, 47 high.
inline constexpr SkinPiece kMoneyFrame = make::Sliced("money_frame", make::kInterface, 507, 970, 93, 47, 7, 9);
inline constexpr SkinPiece kCaptionPlate = make::Sliced("caption_plate", make::kInterface, 709, 178, 256, 60, 70, 70);
// A window's button: 4 frames of 128 x 63 downwards, 2 apart.
inline constexpr SkinPiece kButton = make::Strip("button", make::kInterface, 433, 406, 128, 258, 4, true, 2, 32, 32);
// The check box: 8 frames of 32 x 32 side by side, 1 apart.
inline constexpr SkinPiece kCheckBox = make::Strip("check_box", make::kInterface, 563, 788, 263, 32, 8, false, 1);
// The scroll bar: the up arrow (4 frames of 35 x 37 downwards, 1 apart), the
// down arrow (4 frames of 35 x 35), the thumb (3 frames of 35 x 64 side by
// side, 2 apart, caps of 9 and 11 around a 44-pixel tile).
inline constexpr SkinPiece kScrollUpArrow = make::Strip("scroll_up", make::kInterface, 563, 634, 35, 151, 4, true, 1);
inline constexpr SkinPiece kScrollDownArrow =
    make::Strip("scroll_down", make::kInterface, 391, 823, 35, 143, 4, true, 1);
inline constexpr SkinPiece kScrollThumb =
    make::Strip("scroll_thumb", make::kInterface, 760, 904, 109, 64, 3, false, 2, 0, 0, 9, 11);
// The combo box: 4 frames of 54 x 37 downwards, 2 apart, caps 11 and 39;
// its drop-down list's nine-slice frame.
inline constexpr SkinPiece kComboBox = make::Strip("combo_box", make::kInterface, 967, 0, 54, 154, 4, true, 2, 11, 39);
inline constexpr SkinPiece kComboList = make::Sliced("combo_list", make::kInterface, 618, 165, 89, 83, 20, 65, 17, 21);

// The level window's pieces: the three bonus slots (2 frames of 63 x 67
// downwards: empty, filled), the wide plate behind four or more bonuses,
// the row behind the medal and the separator of the medal rows.
inline constexpr SkinPiece kLevelWindowSlot0 =
    make::Strip("level_window_slot0", make::kInterface, 187, 844, 63, 134, 2, true, 0);
inline constexpr SkinPiece kLevelWindowSlot1 =
    make::Strip("level_window_slot1", make::kInterface, 251, 844, 63, 134, 2, true, 0);
inline constexpr SkinPiece kLevelWindowSlot2 =
    make::Strip("level_window_slot2", make::kInterface, 315, 844, 63, 134, 2, true, 0);
inline constexpr SkinPiece kLevelWindowPlate = make::Plain("level_window_plate", make::kInterface, 1, 934, 130, 88);
inline constexpr SkinPiece kWindowRow = make::Sliced("window_row", make::kInterface, 541, 886, 20, 82, 8, 8);
inline constexpr SkinPiece kWindowSeparator = make::Plain("window_separator", make::kInterface, 729, 458, 4, 4);
// The result window's board below its top row, the gauge's groove in it,
// and mode 0's cover over the bronze zone (the medal's box stands on it).
inline constexpr SkinPiece kResultBoard = make::Plain("result_board", make::kInterface, 0, 2, 488, 91);
inline constexpr SkinPiece kResultCover = make::Plain("result_cover", make::kInterface, 1, 99, 160, 83);
// The profiles window's list frame and the options window's sound area.
inline constexpr SkinPiece kProfilesFrame =
    make::Sliced("profiles_frame", make::kInterface, 563, 826, 97, 72, 24, 69, 16, 16);
inline constexpr SkinPiece kOptionsSoundArea =
    make::Sliced("options_sound_area", make::kInterface, 754, 422, 86, 89, 24, 27, 36, 16);
// The map interface's frame: a corner stud, the thin edge along the screen's
// sides, the plate behind the greeting and the medals, the bands behind the
// corner buttons; and the regime button's indicator (disabled, Easy, Easy
// hovered, Hard, Hard hovered).
inline constexpr SkinPiece kMapCorner = make::Plain("map_corner", make::kInterface, 729, 422, 22, 34);
inline constexpr SkinPiece kMapEdge = make::Plain("map_edge", make::kInterface, 963, 736, 4, 30);
inline constexpr SkinPiece kMapPlate = make::Sliced("map_plate", make::kInterface, 738, 634, 39, 93, 17, 18, 13, 19);
inline constexpr SkinPiece kMapBand = make::Sliced("map_band", make::kInterface, 517, 165, 37, 74, 19, 9);
inline constexpr SkinPiece kRegimeIndicator =
    make::Stepped("regime_indicator", make::kInterface, 380, 968, 25, 49, 5, 25, 0);
// The awards window's small-award plate of each tier (none, bronze, silver,
// gold): 4 frames of 48 x 34 downwards.
inline constexpr SkinPiece kAwardTier = make::Stepped("award_tier", make::kInterface, 921, 868, 48, 34, 4, 0, 34);

// --- The level sheet: the panel's background, its buttons and marks --------------------
// The screen's sides: cut to any width from the right, or widened by
// stretching the last 4 columns: every column alike.
inline constexpr SkinPiece kPanelSide =
    make::WithColumns(make::Plain("panel_side", make::kLevel, 1, 1, 242, 102), {{0, 242}});
// States 0, 0, 1, 2: 3 frames of 79 x 94 side by side, 1 apart.
inline constexpr SkinPiece kWarehouseButton =
    make::Strip("warehouse_button", make::kLevel, 245, 1, 239, 94, 3, false, 1);
// The panel buttons' four skin sets, an end piece and a join piece each,
// their state frames 69 apart: the goods buttons, the tool buttons, and the
// empty part of each while a goods button fills.
inline constexpr SkinPiece kCellEnd = make::Stepped("cell_end", make::kLevel, 1, 104, 49, 80, 4, 69, 0, 8, 9, 54, 26);
inline constexpr SkinPiece kCellJoin =
    make::Stepped("cell_join", make::kLevel, 52, 104, 16, 80, 4, 69, 0, 7, 7, 54, 26);
inline constexpr SkinPiece kToolEnd = make::Stepped("tool_end", make::kLevel, 1, 186, 49, 80, 4, 69, 0, 8, 9, 54, 26);
inline constexpr SkinPiece kToolJoin =
    make::Stepped("tool_join", make::kLevel, 52, 186, 16, 80, 4, 69, 0, 7, 7, 54, 26);
inline constexpr SkinPiece kFillEnd = make::Stepped("fill_end", make::kLevel, 1, 268, 49, 54, 4, 69, 0, 8, 9, 54, 0);
inline constexpr SkinPiece kFillJoin = make::Stepped("fill_join", make::kLevel, 52, 268, 16, 54, 4, 69, 0, 7, 7, 54, 0);
inline constexpr SkinPiece kToolFillEnd =
    make::Stepped("tool_fill_end", make::kLevel, 1, 324, 49, 54, 4, 69, 0, 8, 9, 54, 0);
inline constexpr SkinPiece kToolFillJoin =
    make::Stepped("tool_fill_join", make::kLevel, 52, 324, 16, 54, 4, 69, 0, 7, 7, 54, 0);
// A narrow button: 4 frames of 62 x 42 downwards.
inline constexpr SkinPiece kNarrowButton =
    make::Strip("narrow_button", make::kLevel, 277, 179, 62, 168, 4, true, 0, 10, 10);
// The menu button: 4 frames of 16 x 20 downwards; the plate behind it, to
// the right edge.
inline constexpr SkinPiece kMenuButton = make::Strip("menu_button", make::kLevel, 298, 97, 16, 80, 4, true, 0, 6, 6);
inline constexpr SkinPiece kMenuPlate = make::Sliced("menu_plate", make::kLevel, 461, 96, 16, 33, 12, 0);
// A point panel's level block, the plate under it and the marks on that.
inline constexpr SkinPiece kLevelBlock = make::Sliced("level_block", make::kLevel, 277, 97, 19, 79, 6, 9);
inline constexpr SkinPiece kLevelBlockPlate = make::Plain("level_block_plate", make::kLevel, 316, 97, 143, 36);
inline constexpr SkinPiece kLevelDotFull = make::Plain("level_dot_full", make::kLevel, 316, 135, 21, 20);
inline constexpr SkinPiece kLevelDotEmpty = make::Plain("level_dot_empty", make::kLevel, 316, 157, 21, 20);
// The task buttons: set 0 to do, set 1 done.
inline constexpr SkinPiece kTaskButton = make::Stepped("task_button", make::kLevel, 341, 135, 52, 108, 2, 54, 0, 4, 4);
// The bonus slots: the charged face a recharging slot fills with, normal,
// hover, pressed, active, and the empty face it fills over.
inline constexpr SkinPiece kBonusButton = make::Stepped("bonus_button", make::kLevel, 457, 187, 54, 48, 6, 0, 50);
// A point panel's paper; its notch, of which the panel takes up to 4
// columns from the middle and the last 9 (the first 8 never show); the
// empty panel's paper, ends and body.
inline constexpr SkinPiece kChildFill =
    make::WithColumns(make::Plain("child_fill", make::kLevel, 486, 1, 4, 91), {{0, 4}});
inline constexpr SkinPiece kChildNotch =
    make::WithColumns(make::Sliced("child_notch", make::kLevel, 490, 1, 21, 92, 0, 9), {{8, 12}});
inline constexpr SkinPiece kEmptyPanel =
    make::WithColumns(make::Plain("empty_panel", make::kLevel, 486, 94, 25, 92), {{0, 4}, {12, 17}});
// The panel's strip: the task buttons' block, the posts at either end of
// the point panels, the warehouse button's block.
inline constexpr SkinPiece kLeftBlock = make::Sliced("left_block", make::kLevel, 1, 380, 48, 116, 30, 14);
inline constexpr SkinPiece kLeftDivider = make::Plain("left_divider", make::kLevel, 49, 380, 15, 116);
inline constexpr SkinPiece kRightDivider = make::Plain("right_divider", make::kLevel, 65, 380, 12, 116);
inline constexpr SkinPiece kRightBlock = make::Plain("right_block", make::kLevel, 77, 380, 116, 116);
// A level plate of levels 0 to 3 of 3, and a strip of up to 5 stars.
inline constexpr SkinPiece kLevelPlate = make::Stepped("level_plate", make::kLevel, 195, 380, 46, 21, 4, 0, 22);
inline constexpr SkinPiece kLevelStars =
    make::Unlike(make::Stepped("level_stars", make::kLevel, 195, 468, 18, 17, 5, 18, 0));

// --- "info": the level information window ----------------------------------------------
// The frame of a tutorial's info texts, on "interface" (beside the window
// body: the result window's board and cover take the picture's corner).
inline constexpr SkinPiece kTutorialInfoFrame =
    make::Sliced("tutorial_info_frame", make::kInterface, 720, 0, 42, 103, 19, 19, 17, 22);
inline constexpr SkinPiece kInfoFrame = make::Sliced("info_frame", make::kInfo, 0, 0, 42, 103, 19, 19, 17, 22);
inline constexpr SkinPiece kInfoItemRow = make::Sliced("info_item_row", make::kInfo, 44, 0, 88, 49, 66, 18);
// The close button: states 0, 0, 1, 2: 3 frames of 26 x 27 side by side.
inline constexpr SkinPiece kInfoClose = make::Strip("info_close", make::kInfo, 44, 51, 78, 27, 3, false, 0);
inline constexpr SkinPiece kInfoWideSeparator =
    make::Sliced("info_wide_separator", make::kInfo, 44, 80, 36, 16, 16, 16);
inline constexpr SkinPiece kInfoThinSeparator = make::Sliced("info_thin_separator", make::kInfo, 44, 98, 36, 4, 16, 16);
inline constexpr SkinPiece kInfoLevelDivider = make::Plain("info_level_divider", make::kInfo, 124, 51, 16, 45);

// --- The medal-time gauge ---------------------------------------------------------------
// A row per mode (three medals, two), each a rounded end, a zone's fill, its
// end, the next zone's start ... and the other rounded end; the fills are
// stretched.
inline constexpr SkinPiece kTimeGauge = make::WithColumns(
    make::Stepped("time_gauge", "time_bar_indic", 0, 0, 38, 14, 2, 0, 14, 8, 8), {{8, 12}, {17, 21}, {26, 30}});

// --- The medal-time bar's frame ("time_bar") ---------------------------------------------
// A left cap, a separator between segments, a filler (stretched), a medal
// icon's plate, the right end, and mode 0's plain bronze part with its
// plate 26 pixels in.
inline constexpr SkinPiece kTimeBarCap = make::Plain("time_bar_cap", "time_bar", 0, 0, 12, 30);
inline constexpr SkinPiece kTimeBarSeparator = make::Plain("time_bar_separator", "time_bar", 12, 0, 2, 30);
inline constexpr SkinPiece kTimeBarFiller =
    make::WithColumns(make::Plain("time_bar_filler", "time_bar", 15, 0, 4, 30), {{0, 4}});
inline constexpr SkinPiece kTimeBarPlate = make::Plain("time_bar_plate", "time_bar", 21, 0, 27, 30);
inline constexpr SkinPiece kTimeBarEnd = make::Plain("time_bar_end", "time_bar", 49, 0, 14, 30);
inline constexpr SkinPiece kTimeBarPlain = make::Plain("time_bar_plain", "time_bar", 132, 0, 46, 30);

// --- The head-up display's screen sprites ------------------------------------------------
// The price button: a 70-pixel column a state, caps of 40 and 20.
inline constexpr SkinPiece kPriceButton =
    make::Strip("price_button", "price_button", 0, 0, 280, 40, 4, false, 0, 40, 20);
// The production buttons: a single one, or the first, a middle and the last
// of a row; a row of 34 a state.
inline constexpr SkinPiece kProdSingle = make::Stepped("prod_single", "prod_button", 0, 0, 34, 34, 4, 0, 34);
inline constexpr SkinPiece kProdFirst = make::Stepped("prod_first", "prod_button", 34, 0, 33, 34, 4, 0, 34);
inline constexpr SkinPiece kProdMiddle = make::Stepped("prod_middle", "prod_button", 67, 0, 32, 34, 4, 0, 34);
inline constexpr SkinPiece kProdLast = make::Stepped("prod_last", "prod_button", 99, 0, 33, 34, 4, 0, 34);
// A production slot's states in 35-pixel columns, then its fill, cut at any
// row, for states 1 to 3.
inline constexpr SkinPiece kProdSlot = make::Stepped("prod_slot", "prod_slot", 0, 0, 34, 34, 4, 35, 0);
inline constexpr SkinPiece kProdSlotFill = make::Stepped("prod_slot_fill", "prod_slot", 140, 0, 34, 34, 3, 35, 0);
// Rows of stars: of 2 and 3 stars a row a count, 23 apart (the row of 2 is
// the left half); of 4, 28 apart. The first row all unlit but one.
inline constexpr SkinPiece kStarsThree = make::Stepped("stars_three", "stars", 59, 1, 44, 22, 3, 0, 23);
inline constexpr SkinPiece kStarsFour = make::Stepped("stars_four", "stars", 1, 1, 57, 27, 4, 0, 28);
// The progress line's border (caps of 13 pixels) and its indicators.
inline constexpr SkinPiece kProgressBorder =
    make::Sliced("progress_border", "progress_line_border", 0, 0, 40, 10, 13, 13);
inline constexpr SkinPiece kProgressIndicator =
    make::Sliced("progress_indicator", "progress_line_indicator", 0, 0, 20, 6, 3, 3);
inline constexpr SkinPiece kProgressIndicatorRed =
    make::Sliced("progress_indicator_red", "progress_line_indicator_red", 0, 0, 20, 6, 3, 3);

// --- The hints -----------------------------------------------------------------------------
inline constexpr SkinPiece kBalloon = make::Sliced("balloon", "balloon", 0, 0, 31, 32, 12, 15, 12, 16);
inline constexpr SkinPiece kHintLine = make::Sliced("hint_line", "hint_line", 0, 0, 64, 8, 24, 24);

// A column of one picture that several pieces cut: drawn once, as a
// whole, by the painter of its key, all of its rectangle (rows no piece
// cuts yet included); the pieces inside it have no painter of their own.
struct SkinColumn {
  const char* key;
  const char* image;
  i32 x, y, width, height;
};
inline constexpr SkinColumn kWindowColumn = {"window_column", make::kInterface, 971, 513, 52, 384};

// Two pieces that share rows of a column: the rows both cut, [from, to).
struct SkinShare {
  const SkinPiece* first;
  const SkinPiece* second;
  i32 from, to;
};
inline constexpr SkinShare kSharedRows[] = {
    {&kWindowTop, &kMenuBody, 586, 590},
    {&kWindowTop, &kResultFrame, 588, 590},
    {&kMenuBody, &kResultFrame, 588, 683},
};
inline constexpr const SkinColumn* kColumns[] = {&kWindowColumn};

// Every piece, in the order the pictures are drawn.
inline constexpr const SkinPiece* kAll[] = {
    &kWindowTop, &kMenuBody, &kResultFrame, &kWindowClosing, &kMoneyFrame, &kWindowBody, &kDialogMessage, &kCaptionPlate, &kButton, &kCheckBox, &kScrollUpArrow,
    &kScrollDownArrow, &kScrollThumb, &kComboBox, &kComboList, &kLevelWindowSlot0, &kLevelWindowSlot1,
    &kLevelWindowSlot2, &kLevelWindowPlate, &kWindowRow, &kWindowSeparator, &kResultBoard, &kResultCover, &kProfilesFrame, &kOptionsSoundArea,
    &kMapCorner, &kMapEdge, &kMapPlate, &kMapBand, &kRegimeIndicator, &kAwardTier,
    &kPanelSide, &kWarehouseButton, &kCellEnd, &kCellJoin, &kToolEnd, &kToolJoin, &kFillEnd, &kFillJoin,
    &kToolFillEnd, &kToolFillJoin, &kNarrowButton, &kMenuButton, &kMenuPlate, &kLevelBlock, &kLevelBlockPlate,
    &kLevelDotFull, &kLevelDotEmpty, &kTaskButton, &kBonusButton, &kChildFill, &kChildNotch, &kEmptyPanel,
    &kLeftBlock, &kLeftDivider, &kRightDivider, &kRightBlock, &kLevelPlate, &kLevelStars,
    &kTutorialInfoFrame, &kInfoFrame, &kInfoItemRow, &kInfoClose, &kInfoWideSeparator, &kInfoThinSeparator, &kInfoLevelDivider,
    &kTimeGauge, &kTimeBarCap, &kTimeBarSeparator, &kTimeBarFiller, &kTimeBarPlate, &kTimeBarEnd, &kTimeBarPlain,
    &kPriceButton, &kProdSingle, &kProdFirst, &kProdMiddle, &kProdLast, &kProdSlot, &kProdSlotFill, &kStarsThree,
    &kStarsFour, &kProgressBorder, &kProgressIndicator, &kProgressIndicatorRed,
    &kBalloon, &kHintLine,
};

}  // namespace skins

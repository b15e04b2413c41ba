#include "SkinTable.h"

#include <tuple>

namespace {

constexpr const char* kInterface = "interface";
constexpr const char* kLevel = "level";

// One frame sliced with borders: the middle columns are stretched when
// there are side borders, the middle rows repeated when there are top or
// bottom borders.
SkinPiece Sliced(const char* key, const char* image, i32 x, i32 y, i32 w, i32 h, i32 left, i32 right, i32 top = 0,
                 i32 bottom = 0) {
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
  if (left + right > 0 && w - left - right > 0) p.flatColumns.push_back({left, w - right});
  if (top + bottom > 0 && h - top - bottom > 0) p.flatRows.push_back({top, h - bottom});
  return p;
}

// State frames cut from one rectangle as the skinned buttons cut it: a
// frame is (size + gap) / frames - gap along the strip, frames `gap` apart.
SkinPiece Strip(const char* key, const char* image, i32 x, i32 y, i32 w, i32 h, u32 frames, bool vertical, i32 gap,
                i32 left = 0, i32 right = 0, i32 top = 0, i32 bottom = 0) {
  const i32 n = static_cast<i32>(frames);
  const i32 fw = vertical ? w : (w + gap) / n - gap;
  const i32 fh = vertical ? (h + gap) / n - gap : h;
  SkinPiece p = Sliced(key, image, x, y, fw, fh, left, right, top, bottom);
  p.frames = frames;
  p.stepX = vertical ? 0 : fw + gap;
  p.stepY = vertical ? fh + gap : 0;
  return p;
}

// State frames at a fixed step (the level panel's button skins).
SkinPiece Stepped(const char* key, i32 x, i32 y, i32 w, i32 h, u32 frames, i32 stepX, i32 stepY, i32 left, i32 right,
                  i32 top = 0, i32 bottom = 0) {
  SkinPiece p = Sliced(key, kLevel, x, y, w, h, left, right, top, bottom);
  p.frames = frames;
  p.stepX = stepX;
  p.stepY = stepY;
  return p;
}

SkinPiece Plain(const char* key, const char* image, i32 x, i32 y, i32 w, i32 h) {
  return Sliced(key, image, x, y, w, h, 0, 0);
}

SkinPiece WithColumns(SkinPiece p, std::vector<SkinSpan> columns) {
  p.flatColumns = std::move(columns);
  return p;
}

std::vector<SkinPiece> MakePieces() {
  std::vector<SkinPiece> t;
  // --- The interface image: windows, buttons, boxes, the scroll bar.
  t.push_back(Sliced("window_top", kInterface, 971, 513, 52, 77, 22, 26));            // SpritesWindow::AddTopRow
  t.push_back(Sliced("window_body", kInterface, 489, 0, 227, 163, 110, 113, 44, 52));  // AddBodyFrame
  t.push_back(Sliced("dialog_message", kInterface, 971, 684, 52, 85, 22, 26, 20, 20));  // the dialog's text body
  t.push_back(Sliced("caption_plate", kInterface, 709, 178, 256, 60, 70, 70));          // CaptionPlate
  t.push_back(Strip("button", kInterface, 433, 406, 128, 258, 4, true, 2, 32, 32));     // CreateButton: 128 x 63
  t.push_back(Strip("check_box", kInterface, 563, 788, 263, 32, 8, false, 1));          // CheckBox: 32 x 32
  t.push_back(Strip("scroll_up", kInterface, 563, 634, 35, 151, 4, true, 1));           // GameScrollbar: 35 x 37
  t.push_back(Strip("scroll_down", kInterface, 391, 823, 35, 143, 4, true, 1));         // 35 x 35
  t.push_back(Strip("scroll_thumb", kInterface, 760, 904, 109, 64, 3, false, 2, 0, 0, 9, 11));  // 35 x 64
  t.push_back(Strip("combo_box", kInterface, 967, 0, 54, 154, 4, true, 2, 11, 39));     // GameComboBox: 54 x 37
  t.push_back(Sliced("combo_list", kInterface, 618, 165, 89, 83, 20, 65, 17, 21));      // GameComboBoxList
  // --- The level sheet: the panel's background, its buttons and marks.
  // The screen's sides: cut to any width from the right, or widened by
  // stretching the last 4 columns: every column alike.
  t.push_back(WithColumns(Plain("panel_side", kLevel, 1, 1, 242, 102), {{0, 242}}));
  t.push_back(Strip("warehouse_button", kLevel, 245, 1, 239, 94, 3, false, 1));  // states 0, 0, 1, 2: 79 x 94
  // The panel buttons' four skin sets, an end piece and a join piece each:
  // the goods buttons, the tool buttons, and the empty part of each while a
  // goods button fills.
  const char* cells[] = {"cell_end", "cell_join", "tool_end", "tool_join",
                         "fill_end", "fill_join", "tool_fill_end", "tool_fill_join"};
  for (int set = 0; set < 4; ++set) {
    const i32 y = (set < 2 ? 104 + 82 * set : 268 + 56 * (set - 2));
    const i32 h = set < 2 ? 80 : 54;
    const i32 bottom = set < 2 ? 26 : 0;
    t.push_back(Stepped(cells[2 * set], 1, y, 49, h, 4, 69, 0, 8, 9, 54, bottom));
    t.push_back(Stepped(cells[2 * set + 1], 52, y, 16, h, 4, 69, 0, 7, 7, 54, bottom));
  }
  t.push_back(Strip("narrow_button", kLevel, 277, 179, 62, 168, 4, true, 0, 10, 10));  // 62 x 42
  t.push_back(Strip("menu_button", kLevel, 298, 97, 16, 80, 4, true, 0, 6, 6));  // 16 x 20
  t.push_back(Sliced("menu_plate", kLevel, 461, 96, 16, 33, 12, 0));  // behind the menu button, to the right edge
  t.push_back(Sliced("level_block", kLevel, 277, 97, 19, 79, 6, 9));  // a point panel's level block
  t.push_back(Plain("level_block_plate", kLevel, 316, 97, 143, 36));  // under the block, its marks on it
  t.push_back(Plain("level_dot_full", kLevel, 316, 135, 21, 20));
  t.push_back(Plain("level_dot_empty", kLevel, 316, 157, 21, 20));
  t.push_back(Stepped("task_button", 341, 135, 52, 108, 2, 54, 0, 4, 4));  // set 0 to do, set 1 done
  // The bonus slots: ready, hover, pressed, running, unavailable, and the
  // empty face a recharging slot fills from.
  t.push_back(Stepped("bonus_button", 457, 187, 54, 48, 6, 0, 50, 0, 0));
  t.push_back(WithColumns(Plain("child_fill", kLevel, 486, 1, 4, 91), {{0, 4}}));  // a point panel's paper
  // The notch: the panel takes up to 4 columns from its middle and its last
  // 9; its first 8 are never shown.
  t.push_back(WithColumns(Sliced("child_notch", kLevel, 490, 1, 21, 92, 0, 9), {{8, 12}}));
  t.push_back(WithColumns(Plain("empty_panel", kLevel, 486, 94, 25, 92), {{0, 4}, {12, 17}}));
  // The panel's strip: the task buttons' block, the posts at either end of
  // the point panels, the warehouse button's block.
  t.push_back(Sliced("left_block", kLevel, 1, 380, 48, 116, 30, 14));
  t.push_back(Plain("left_divider", kLevel, 49, 380, 15, 116));
  t.push_back(Plain("right_divider", kLevel, 65, 380, 12, 116));
  t.push_back(Plain("right_block", kLevel, 77, 380, 116, 116));
  t.push_back(Stepped("level_plate", 195, 380, 46, 21, 4, 0, 22, 0, 0));  // levels 0 to 3 of 3
  t.push_back(Stepped("level_stars", 195, 468, 18, 17, 5, 18, 0, 0, 0));  // a strip of up to 5 stars
  t.back().states = false;
  // --- The level information window's "info" picture.
  t.push_back(Sliced("info_frame", "info", 0, 0, 42, 103, 19, 19, 17, 22));  // InfoWindow
  t.push_back(Sliced("info_item_row", "info", 44, 0, 88, 49, 66, 18));       // an item's plate
  t.push_back(Strip("info_close", "info", 44, 51, 78, 27, 3, false, 0));     // states 0, 0, 1, 2: 26 x 27
  t.push_back(Sliced("info_wide_separator", "info", 44, 80, 36, 16, 16, 16));
  t.push_back(Sliced("info_thin_separator", "info", 44, 98, 36, 4, 16, 16));
  t.push_back(Plain("info_level_divider", "info", 124, 51, 16, 45));
  // --- The medal-time gauge (TimeGauge): a row per mode (three medals, two),
  // each a rounded end, a zone's fill, its end, the next zone's start ... and
  // the other rounded end; the fills are stretched.
  SkinPiece gauge = Stepped("time_gauge", 0, 0, 38, 14, 2, 0, 14, 8, 8);
  gauge.image = "time_bar_indic";
  gauge.flatColumns = {{8, 12}, {17, 21}, {26, 30}};
  t.push_back(gauge);
  // --- The head-up display's screen sprites.
  t.push_back(Strip("price_button", "price_button", 0, 0, 280, 40, 4, false, 0, 40, 20));  // a 70-pixel column a state
  for (const auto& [key, x, w] : {std::tuple{"prod_single", 0, 34}, std::tuple{"prod_first", 34, 33},
                                  std::tuple{"prod_middle", 67, 32}, std::tuple{"prod_last", 99, 33}}) {
    SkinPiece p = Plain(key, "prod_button", x, 0, w, 34);  // a row of 34 a state
    p.frames = 4;
    p.stepY = 34;
    t.push_back(p);
  }
  SkinPiece slot = Plain("prod_slot", "prod_slot", 0, 0, 34, 34);  // the slot's states in 35-pixel columns
  slot.frames = 4;
  slot.stepX = 35;
  t.push_back(slot);
  slot.key = "prod_slot_fill";  // then its fill, cut at any row, for states 1 to 3
  slot.x = 140;
  slot.frames = 3;
  t.push_back(slot);
  SkinPiece stars = Plain("stars_three", "stars", 59, 1, 44, 22);  // of 2 and 3: a row a count, 23 apart
  stars.frames = 3;
  stars.stepY = 23;
  t.push_back(stars);
  stars = Plain("stars_four", "stars", 1, 1, 57, 27);  // of 4: 28 apart
  stars.frames = 4;
  stars.stepY = 28;
  t.push_back(stars);
  t.push_back(Sliced("progress_border", "progress_line_border", 0, 0, 40, 10, 13, 13));
  t.push_back(Sliced("progress_indicator", "progress_line_indicator", 0, 0, 20, 6, 3, 3));
  t.push_back(Sliced("progress_indicator_red", "progress_line_indicator_red", 0, 0, 20, 6, 3, 3));
  // --- The hints.
  t.push_back(Sliced("balloon", "balloon", 0, 0, 31, 32, 12, 15, 12, 16));
  t.push_back(Sliced("hint_line", "hint_line", 0, 0, 64, 8, 24, 24));
  return t;
}

}  // namespace

const std::vector<SkinImage>& SkinImages() {
  static const std::vector<SkinImage> images = {{"interface", 1024, 1024}, {"level", 512, 512},
                                                {"info", 256, 128},        {"time_bar_indic", 38, 28},
                                                {"balloon", 31, 32},       {"hint_line", 64, 8},
                                                {"price_button", 280, 40}, {"prod_button", 132, 136},
                                                {"prod_slot", 245, 40},    {"stars", 104, 112},
                                                {"progress_line_border", 40, 10},
                                                {"progress_line_indicator", 20, 6},
                                                {"progress_line_indicator_red", 20, 6}};
  return images;
}

const std::vector<SkinPiece>& SkinPieces() {
  static const std::vector<SkinPiece> pieces = MakePieces();
  return pieces;
}

std::vector<SkinBleed> SkinBleeds(const std::string& image) {
  i32 width = 0, height = 0;
  for (const SkinImage& i : SkinImages())
    if (i.name == image) width = static_cast<i32>(i.width), height = static_cast<i32>(i.height);
  const auto free = [&](i32 x, i32 y) {
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    for (const SkinPiece& p : SkinPieces()) {
      if (p.image != image) continue;
      for (u32 i = 0; i < p.frames; ++i) {
        const i32 fx = p.x + static_cast<i32>(i) * p.stepX, fy = p.y + static_cast<i32>(i) * p.stepY;
        if (x >= fx && x < fx + p.frameWidth && y >= fy && y < fy + p.frameHeight) return false;
      }
    }
    return true;
  };
  std::vector<SkinBleed> bleeds;
  const auto add = [&](SkinBleed b) {
    for (i32 k = 0; k < b.length; ++k)
      if (!free(b.x + (b.row ? k : 0), b.y + (b.row ? 0 : k))) return;
    bleeds.push_back(b);
  };
  for (const SkinPiece& p : SkinPieces()) {
    if (p.image != image) continue;
    for (u32 i = 0; i < p.frames; ++i) {
      const i32 fx = p.x + static_cast<i32>(i) * p.stepX, fy = p.y + static_cast<i32>(i) * p.stepY;
      for (const SkinSpan& s : p.flatColumns) {
        if (s.from == 0) add({fx - 1, fy, fx, fy, p.frameHeight, false});
        if (s.to == p.frameWidth) add({fx + p.frameWidth, fy, fx + p.frameWidth - 1, fy, p.frameHeight, false});
      }
      for (const SkinSpan& s : p.flatRows) {
        if (s.from == 0) add({fx, fy - 1, fx, fy, p.frameWidth, true});
        if (s.to == p.frameHeight) add({fx, fy + p.frameHeight, fx, fy + p.frameHeight - 1, p.frameWidth, true});
      }
    }
  }
  return bleeds;
}

#include "SkinPictures.h"

const std::vector<SkinImage>& SkinImages() {
  static const std::vector<SkinImage> images = {{"interface", 1024, 1024}, {"level", 512, 512},
                                                {"info", 256, 128},        {"time_bar_indic", 38, 28},
                                                {"time_bar", 180, 30},
                                                {"balloon", 31, 32},       {"hint_line", 64, 8},
                                                {"price_button", 280, 40}, {"prod_button", 132, 136},
                                                {"prod_slot", 245, 40},    {"stars", 104, 112},
                                                {"progress_line_border", 40, 10},
                                                {"progress_line_indicator", 20, 6},
                                                {"progress_line_indicator_red", 20, 6}};
  return images;
}

std::vector<SkinBleed> SkinBleeds(const std::string& image) {
  i32 width = 0, height = 0;
  for (const SkinImage& i : SkinImages())
    if (i.name == image) width = static_cast<i32>(i.width), height = static_cast<i32>(i.height);
  const auto free = [&](i32 x, i32 y) {
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    for (const SkinPiece* p : SkinPieces()) {
      if (p->image != image) continue;
      for (u32 i = 0; i < p->frames; ++i) {
        const i32 fx = p->x + static_cast<i32>(i) * p->stepX, fy = p->y + static_cast<i32>(i) * p->stepY;
        if (x >= fx && x < fx + p->frameWidth && y >= fy && y < fy + p->frameHeight) return false;
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
  for (const SkinPiece* p : SkinPieces()) {
    if (p->image != image) continue;
    for (u32 i = 0; i < p->frames; ++i) {
      const i32 fx = p->x + static_cast<i32>(i) * p->stepX, fy = p->y + static_cast<i32>(i) * p->stepY;
      for (const SkinSpan& s : p->FlatColumns()) {
        if (s.from == 0) add({fx - 1, fy, fx, fy, p->frameHeight, false});
        if (s.to == p->frameWidth) add({fx + p->frameWidth, fy, fx + p->frameWidth - 1, fy, p->frameHeight, false});
      }
      for (const SkinSpan& s : p->FlatRows()) {
        if (s.from == 0) add({fx, fy - 1, fx, fy, p->frameWidth, true});
        if (s.to == p->frameHeight) add({fx, fy + p->frameHeight, fx, fy + p->frameHeight - 1, p->frameWidth, true});
      }
    }
  }
  return bleeds;
}

#include "level/rules/LevelView.h"

#include <cmath>

namespace {

i32 Nearest(float v) { return static_cast<i32>(std::floor(v + 0.5f)); }
i32 Down(float v) { return static_cast<i32>(std::floor(v)); }

}  // namespace

LEVELVIEWSIZE FitLevelView(LEVELVIEW* view, i32 width, i32 height) {
  const i32 w = width < kMinScreenWidth ? kMinScreenWidth : width;
  const i32 h = height < kMinScreenHeight ? kMinScreenHeight : height;
  const i32 field = h - kLevelPanelHeight;  // the height left for the playfield
  float scale = 1.0f;
  i32 scrollY = 0;
  if (field >= kLevelViewHeight) {
    // Fill the height, unless the playfield then overflows even its
    // 1024-pixel core; a screen wider than the playfield at that scale
    // rather fills the width, when that cuts fewer than 17 rows.
    scale = static_cast<float>(field) / kLevelViewHeight;
    if (Down(scale * 1024) > w) {
      scale = static_cast<float>(w) / 1024;
    } else if (Down(scale * kLevelViewWidth) < w) {
      const float byWidth = static_cast<float>(w) / kLevelViewWidth;
      const i32 fieldHeight = Nearest(byWidth * kLevelViewHeight);
      if (Down(static_cast<float>(fieldHeight + kLevelPanelHeight - h) / byWidth) < 17) scale = byWidth;
    }
    scrollY = Nearest(scale * kLevelViewHeight) + kLevelPanelHeight - h;
  } else if (field < 668) {
    scale = static_cast<float>(field) / kLevelViewHeight;
  } else {
    scrollY = (820 - h) / 2;  // 1:1, the panel overlapping the field a little
  }
  i32 scrollX = Down(scale * kLevelViewWidth) - w;
  if (scrollX != 0) scrollX /= 2;
  if (view) {
    view->scrollX = scrollX;
    view->scrollY = scrollY;
    view->scale = scale;
    view->scaling = scale != 1.0f;
  }
  const i32 drawnWidth = Nearest(scale * kLevelViewWidth);
  const i32 drawnHeight = Nearest(scale * kLevelViewHeight) + kLevelPanelHeight;
  return LEVELVIEWSIZE{drawnWidth < w ? drawnWidth : w, drawnHeight < h ? drawnHeight : h};
}

void LevelView::Recompute(i32 screenWidth, i32 screenHeight) {
  FitLevelView(&view_, screenWidth, screenHeight);
  translateX_ = static_cast<float>(-view_.scrollX);
  translateY_ = static_cast<float>(-view_.scrollY);
}

void LevelView::UpdateViewport(i32 screenWidth, i32 screenHeight) {
  viewWidth_ = screenWidth;
  viewHeight_ = screenHeight - 80;
  Recompute(screenWidth, screenHeight);
}

void LevelView::MapToScreen(i32* x, i32* y) const {
  if (view_.scaling) {
    *x = Nearest(static_cast<float>(*x) * view_.scale);
    *y = Nearest(static_cast<float>(*y) * view_.scale);
  }
  *x -= view_.scrollX;
  *y -= view_.scrollY;
}

void LevelView::ScreenToMap(i32* x, i32* y) const {
  *x += view_.scrollX;
  *y += view_.scrollY;
  if (view_.scaling) {
    *x = Nearest(static_cast<float>(*x) / view_.scale);
    *y = Nearest(static_cast<float>(*y) / view_.scale);
  }
}

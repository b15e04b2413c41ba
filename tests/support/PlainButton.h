// A plain button for the window toolkit's tests and benchmarks, standing in
// for the game's buttons: a rectangle that takes presses, hovers, releases
// and double clicks on itself (making itself the event control), tells its
// window's command handler on a release after a press, writes what it saw
// into a log when given one, and draws an optional skin row over its
// rectangle. A handler (onClick) may delete the button or its window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/GameButton.h"
#include "ui/GameWindow.h"
#include "ui/WindowManager.h"
#include "ui/WindowSprites.h"

namespace uitest {

class PlainButton : public GameButton {
 public:
  PlainButton(GameWindow* parent, ButtonList* list, u32 id, const DXLRECT& rect,
              std::vector<std::string>* log = nullptr)
      : GameButton(parent, list, id), log_(log) {
    rect_ = rect;
  }

  // A three-part row of the skin over the rectangle.
  void SetFace(const SKINRECT& skin) {
    face_.ClearQuads();
    face_.AddRow(rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, skin);
  }

  void Draw() override {
    ++draws;
    face_.DrawPieces();
  }

  bool OnMouseDown(i32 x, i32 y, u32 button, u32) override {
    if (locked_ || !HitTest(x, y)) return false;
    TakeEvent();
    pressed_ = 1;
    Note("down");
    if (IsEnabled() && button == kMouseLeft) SetState(kStatePressed, true, fadeInTime_);
    return true;
  }

  bool OnMouseMove(i32 x, i32 y, u32, u32) override {
    if (locked_) return false;
    const bool hit = HitTest(x, y);
    if (hit) {
      TakeEvent();
      if (state_.GetEnableBits() == kStateNormal) SetState(kStateHover, false, fadeInTime_);
    } else if (state_.GetEnableBits() == kStateHover) {
      SetState(kStateNormal, false, fadeOutTime_);
    }
    return hit;
  }

  // The click runs last: its handler may delete the button.
  bool OnMouseUp(i32 x, i32 y, u32 button, u32) override {
    if (locked_ || button != kMouseLeft) return false;
    Note("up");
    const bool hit = HitTest(x, y);
    if (hit) TakeEvent();
    const bool click = hit && pressed_;
    if (state_.GetEnableBits() == kStatePressed) SetState(hit ? kStateHover : kStateNormal, false, fadeInTime_);
    pressed_ = 0;
    if (!click) return hit;
    Note("click");
    GameWindow* parent = parent_;
    std::function<void()> handler = onClick;
    if (parent) parent->OnCommand(this);
    if (handler) handler();
    return hit;
  }

  bool OnDoubleClick(i32 x, i32 y, u32) override {
    if (locked_ || !HitTest(x, y)) return false;
    TakeEvent();
    Note("double");
    return true;
  }

  std::function<void()> onClick;
  int draws = 0;

 private:
  void TakeEvent() {
    if (WindowManager* manager = GetWindowManager()) manager->SetEventControl(this);
  }
  void Note(const char* what) {
    if (log_) log_->push_back(std::string(what) + " " + std::to_string(id_));
  }

  std::vector<std::string>* log_;
  WindowSprites face_;
};

}  // namespace uitest

// HintWindow - the balloon of a control's hover hint: it belongs to its
// owner (the control's GameHint part, which deletes it) and stands next to an
// anchor rectangle in screen pixels, per axis before it (0), centred on it
// (1) or after it (2; any other value too). A placement that would leave the
// game area (or the area its owner keeps it in) on the side it opens to
// flips to the other side for that placement only; what still does not fit
// is pushed inside that area, and into the game area.
//
// While shown the window is in the window manager's list of hint windows,
// which draws it after all windows.
#pragma once

#include "engine/DXLRect.h"
#include "ui/BaseHintWindow.h"

class GameHint;

class HintWindow : public BaseHintWindow {
 public:
  // The owner's hint window becomes this one, deleting the one it had (the
  // owner may be null).
  explicit HintWindow(GameHint* owner);
  // Clears the owner's hint window, lets the owner's hint go and hides.
  ~HintWindow() override;

  // Measures the items and places the window by its anchor; the refresh
  // flags are for kinds that rebuild content.
  virtual void Relayout(u32 flags);

  void Show();  // into the manager's list (once)
  void Hide();  // out of it
  void SetFrame(i32 left, i32 top, i32 right, i32 bottom, u32 alignX, u32 alignY);
  // The screen rectangle the window stays inside (null: the game area).
  void SetArea(const DXLRECT* area) { hasArea_ = area != nullptr; area_ = area ? *area : DXLRECT{}; }
  // Places the window by the anchor and alignment within its area.
  void Place();

  GameHint* GetOwner() const { return owner_; }
  const DXLRECT& GetAnchor() const { return anchor_; }
  u32 GetAlignX() const { return alignX_; }
  u32 GetAlignY() const { return alignY_; }
  bool IsShown() const { return shown_ != 0; }

 protected:
  GameHint* owner_;
  DXLRECT anchor_{0, 0, 0, 0};
  u32 alignX_ = 0;
  u32 alignY_ = 0;
  u32 shown_ = 0;
  bool hasArea_ = false;
  DXLRECT area_{0, 0, 0, 0};
};

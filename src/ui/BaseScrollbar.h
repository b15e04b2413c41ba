// BaseScrollbar - the logic of a scroll bar, drawing nothing: a value range
// (minimum .. maximum) of which `page` is visible, a position kept within
// minimum .. maximum - page, and four parts (the first arrow, the second
// arrow, the thumb, the track) each with a rectangle and a button state
// (0 disabled, 1 normal, 2 hover, 3 pressed).
//
// A bar whose range is not larger than its page is inactive: every part is
// disabled, the thumb hidden, and the wheel is taken but changes nothing.
// Holding an arrow scrolls one step at once, one more after 500 ms, then one
// every 100 ms (a late frame catches up at most 10 steps); a press on the
// track centres the thumb under the pointer and goes on as a drag of the
// thumb; a dragged thumb stops at either end. Repeats run on the millisecond
// clock.
//
// Mouse-button bits here: 1 left, 2 right, 4 middle (BarButtons turns the
// input's button words into them).
#pragma once

#include "base/Types.h"
#include "engine/DXLRect.h"

class BaseScrollbar {
 public:
  static constexpr i32 kFirstArrow = 0;
  static constexpr i32 kSecondArrow = 1;
  static constexpr i32 kThumb = 2;
  static constexpr i32 kTrack = 3;
  static constexpr i32 kNoPart = -1;
  static constexpr u32 kLeft = 1;
  static constexpr u32 kRight = 2;
  static constexpr u32 kMiddle = 4;
  static constexpr u32 kRepeatDelay = 500;  // ms before the second step of a held arrow
  static constexpr u32 kRepeatStep = 100;   // ms between the later steps
  static constexpr u32 kMaxCatchUp = 10;    // steps one frame may take

  struct PressRecord {
    i32 part;  // kNoPart: none
    i32 grabX;
    i32 grabY;
  };
  struct Part {
    DXLRECT rect;
    i32 state;
  };

  explicit BaseScrollbar(bool vertical);
  virtual ~BaseScrollbar() = default;
  BaseScrollbar(const BaseScrollbar&) = delete;
  BaseScrollbar& operator=(const BaseScrollbar&) = delete;

  virtual void SetActive(bool active);
  virtual void SetThumb(i32 offset, i32 length);  // offset along the track
  virtual void OnPositionChanged() {}
  virtual void SetPartState(i32 part, i32 state);
  // Raises a thumb length to the minimum and cuts it to the track.
  virtual void ClampThumbLength(i32* length);

  void SetPartRect(i32 part, const DXLRECT& rect);
  // After the arrows' and the track's rectangles are set: the thumb's cross
  // position, the track length and the bounds.
  void Layout();
  void SetRange(i32 minimum, i32 maximum, i32 page, i32 position);
  // Moves to a position (clamped) and places the thumb; true when it moved.
  bool ScrollTo(i32 position);
  void PlaceThumb();
  i32 PartAt(i32 x, i32 y) const;  // kNoPart outside the parts

  // The window's entries (points in the window's coordinates); true when
  // the bar took the event. OnMouseMove answers whether a part is hovered.
  bool OnMouseDown(i32 x, i32 y, u32 pressed);
  bool OnMouseUp(i32 x, i32 y, u32 released);
  bool OnMouseMove(i32 x, i32 y, u32 held);
  bool OnDoubleClick(i32 x, i32 y);
  bool OnMouseWheel(i32 x, i32 y, i32 delta, u32 keys);
  void Update();  // every frame: the held arrow's repeats

  // The input's button word (1 left, 2 middle, 4 right) as bar bits.
  static u32 BarButtons(u32 inputButtons);

  bool IsVertical() const { return vertical_ != 0; }
  bool IsActive() const { return active_ != 0; }
  bool IsThumbShown() const { return thumbShown_ != 0; }
  i32 GetPosition() const { return position_; }
  i32 GetMinimum() const { return minimum_; }
  i32 GetMaximum() const { return maximum_; }
  i32 GetPage() const { return page_; }
  i32 GetThumbLength() const { return thumbLength_; }
  i32 GetTrackLength() const { return trackLength_; }
  i32 GetThumbOffset() const;
  i32 GetHoverPart() const { return hoverPart_; }
  u32 GetHeldButtons() const { return heldButtons_; }
  i32 GetRepeatStep() const { return repeatStep_; }
  const PressRecord& GetPress(i32 record) const { return press_[record]; }
  const Part& GetPart(i32 part) const { return parts_[part]; }
  const DXLRECT& GetBounds() const { return bounds_; }
  void SetSteps(i32 wheel, i32 button) {
    wheelStep_ = wheel;
    buttonStep_ = button;
  }

 protected:
  // Clamps to maximum - page, then to minimum; tells of a change.
  bool SetPosition(i32 position);
  // The thumb offset that shows a position with a thumb of that length; 0
  // while the range has nothing to scroll (an inactive bar).
  i32 OffsetOf(i32 position, i32 length) const;
  void DragThumbTo(i32 offset);
  void MouseMove(i32 x, i32 y);
  void Press(i32 part, u32 bit, i32 record);
  void Release(i32 partUnderPointer, u32 bit, i32 record);
  bool HandleMouse(i32 x, i32 y, u32 pressed, u32 released);
  void StartRepeat(i32 part);
  i32 MinThumbLength() const { return vertical_ ? thumbHeight_ : thumbWidth_; }

  i32 thumbLength_ = 0;
  i32 trackLength_ = 0;
  i32 mouseX_ = 0;
  i32 mouseY_ = 0;
  i32 hoverPart_ = kNoPart;
  u32 heldButtons_ = 0;
  PressRecord press_[3];
  u32 lastRepeatTime_ = 0;
  u32 nextRepeatTime_ = 0;
  i32 repeatStep_ = 0;
  Part parts_[4];
  DXLRECT bounds_{0, 0, 0, 0};
  u8 vertical_;
  i32 thumbWidth_ = 0;
  i32 thumbHeight_ = 0;
  i32 page_ = 0;
  i32 minimum_ = 0;
  i32 maximum_ = 0;
  i32 wheelStep_ = 1;
  i32 buttonStep_ = 1;
  i32 position_ = 0;
  u8 active_ = 0;
  u8 thumbShown_ = 0;
};

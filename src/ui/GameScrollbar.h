// GameScrollbar - the game's skinned vertical scroll bar, 35 pixels wide: an
// arrow button at each end (34 pixels high), a thumb that stretches with the
// page (at least 24 pixels long, its excess over that kept even) and the
// track between. The bar mirrors its part states into the arrow and thumb
// buttons (pressed at once, other changes over 100 ms) and tells its window
// (OnScroll) when the position changes.
//
// It registers itself as its window's scroll bar; the window owns it,
// offers it the mouse before its controls, updates and draws it. The
// buttons are the bar's own and take no events themselves.
#pragma once

#include <memory>

#include "engine/DXLDrawTypes.h"
#include "ui/BaseScrollbar.h"
#include "ui/ImageButton.h"

class GameScrollbarTrack;
class GameWindow;

// An arrow of the bar: an image button of four state frames.
class GameScrollbarButton : public ImageButton {
 public:
  using ImageButton::ImageButton;
};

class GameScrollbar : public BaseScrollbar {
 public:
  static constexpr u32 kFirstArrowId = 0xD3DB7300u;
  static constexpr u32 kSecondArrowId = 0xD3DB7301u;
  static constexpr u32 kThumbId = 0xD3DB7302u;
  static constexpr i32 kWidth = 35;
  static constexpr i32 kArrowHeight = 34;
  static constexpr i32 kMinThumb = 24;
  static constexpr u32 kStateFade = 100;

  GameScrollbar(GameWindow* owner, i32 x, i32 y, i32 height);
  ~GameScrollbar() override;

  void SetThumb(i32 offset, i32 length) override;
  void OnPositionChanged() override;
  void SetPartState(i32 part, i32 state) override;
  void ClampThumbLength(i32* length) override;

  void SetValues(i32 minimum, i32 maximum) { SetRange(minimum, maximum, page_, position_); }
  // The arrows and, when shown, the thumb, each from `transform`.
  void Draw(const DXLMATRIX& transform);

  GameWindow* GetOwner() const { return owner_; }
  ImageButton* GetArrow(i32 part) const;
  GameScrollbarTrack* GetThumbButton() const { return thumb_.get(); }

 private:
  GameWindow* owner_;
  std::unique_ptr<GameScrollbarButton> first_;
  std::unique_ptr<GameScrollbarButton> second_;
  std::unique_ptr<GameScrollbarTrack> thumb_;
};

#include "ui/BaseScrollbar.h"

#include <algorithm>
#include <cmath>

#include "base/Clock.h"

namespace {

bool InRect(const DXLRECT& r, i32 x, i32 y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

constexpr u32 kBits[3] = {BaseScrollbar::kLeft, BaseScrollbar::kRight, BaseScrollbar::kMiddle};

}  // namespace

BaseScrollbar::BaseScrollbar(bool vertical) : vertical_(vertical ? 1 : 0) {
  for (PressRecord& p : press_) p = PressRecord{kNoPart, 0, 0};
  for (Part& p : parts_) p = Part{DXLRECT{0, 0, 0, 0}, 0};
}

u32 BaseScrollbar::BarButtons(u32 inputButtons) {
  return (inputButtons & 1u) | ((inputButtons & 4u) ? kRight : 0u) | ((inputButtons & 2u) ? kMiddle : 0u);
}

// --- Range and thumb -------------------------------------------------------------------------

void BaseScrollbar::SetActive(bool active) {
  if ((active_ != 0) == active) return;
  active_ = active ? 1 : 0;
  thumbShown_ = active && thumbLength_ < trackLength_ ? 1 : 0;
  const i32 state = active ? 1 : 0;
  SetPartState(kFirstArrow, state);
  SetPartState(kSecondArrow, state);
  SetPartState(kTrack, state);
  SetPartState(kThumb, thumbShown_ ? 1 : 0);
  if (active) return;
  repeatStep_ = 0;
  for (PressRecord& p : press_) p.part = kNoPart;
}

void BaseScrollbar::SetThumb(i32 offset, i32 length) {
  thumbLength_ = length;
  DXLRECT& thumb = parts_[kThumb].rect;
  const DXLRECT& track = parts_[kTrack].rect;
  if (vertical_) {
    thumb.top = track.top + offset;
    thumb.bottom = thumb.top + length;
  } else {
    thumb.left = track.left + offset;
    thumb.right = thumb.left + length;
  }
  const u8 shown = active_ && length < trackLength_ ? 1 : 0;
  if (shown == thumbShown_) return;
  thumbShown_ = shown;
  SetPartState(kThumb, shown ? 1 : 0);
}

void BaseScrollbar::SetPartState(i32 part, i32 state) { parts_[part].state = state; }

void BaseScrollbar::ClampThumbLength(i32* length) { *length = std::min(std::max(*length, MinThumbLength()), trackLength_); }

void BaseScrollbar::SetPartRect(i32 part, const DXLRECT& rect) { parts_[part].rect = rect; }

void BaseScrollbar::Layout() {
  const DXLRECT& a = parts_[kFirstArrow].rect;
  const DXLRECT& b = parts_[kSecondArrow].rect;
  const DXLRECT& t = parts_[kTrack].rect;
  bounds_ = DXLRECT{std::min({a.left, b.left, t.left}), std::min({a.top, b.top, t.top}),
                    std::max({a.right, b.right, t.right}), std::max({a.bottom, b.bottom, t.bottom})};
  DXLRECT& thumb = parts_[kThumb].rect;
  if (vertical_) {
    thumb.left = (t.left + t.right - thumbWidth_) / 2;
    thumb.right = thumb.left + thumbWidth_;
    trackLength_ = t.bottom - t.top;
  } else {
    thumb.top = (t.top + t.bottom - thumbHeight_) / 2;
    thumb.bottom = thumb.top + thumbHeight_;
    trackLength_ = t.right - t.left;
  }
  trackLength_ = std::max(trackLength_, 0);
}

bool BaseScrollbar::SetPosition(i32 position) {
  position = std::max(std::min(position, maximum_ - page_), minimum_);
  if (position == position_) return false;
  position_ = position;
  OnPositionChanged();
  return true;
}

i32 BaseScrollbar::OffsetOf(i32 position, i32 length) const {
  const i64 span = static_cast<i64>(maximum_) - minimum_ - page_;
  if (span <= 0) return 0;
  return static_cast<i32>(std::floor(static_cast<double>(trackLength_ - length) * position / static_cast<double>(span)));
}

i32 BaseScrollbar::GetThumbOffset() const {
  const DXLRECT& thumb = parts_[kThumb].rect;
  const DXLRECT& track = parts_[kTrack].rect;
  return vertical_ ? thumb.top - track.top : thumb.left - track.left;
}

void BaseScrollbar::SetRange(i32 minimum, i32 maximum, i32 page, i32 position) {
  if (maximum <= minimum) maximum = minimum;
  bool changed = false;
  if (std::max(page, 0) != page_) {
    page_ = std::max(page, 0);
    changed = true;
  }
  if (minimum != minimum_ || maximum != maximum_) {
    minimum_ = minimum;
    maximum_ = maximum;
    if (page_ != 0) changed = true;
  }
  i32 length = thumbLength_;
  if (changed) {
    SetActive(page_ < maximum_ - minimum_);
    if (!active_) {
      length = 0;
    } else if (page_ > 0) {
      length = static_cast<i32>(static_cast<i64>(trackLength_) * page_ / (maximum_ - minimum_));
    } else {
      length = MinThumbLength();
    }
    ClampThumbLength(&length);
  }
  if (SetPosition(position) || changed) SetThumb(OffsetOf(position_, length), length);
}

bool BaseScrollbar::ScrollTo(i32 position) {
  if (!SetPosition(position)) return false;
  PlaceThumb();
  return true;
}

void BaseScrollbar::PlaceThumb() { SetThumb(OffsetOf(position_, thumbLength_), thumbLength_); }

// The thumb follows the offset within the track; its ends give the ends of
// the range, offsets between them the nearest position.
void BaseScrollbar::DragThumbTo(i32 offset) {
  if (offset == GetThumbOffset()) return;
  const i32 span = trackLength_ - thumbLength_;
  i32 position;
  if (offset <= 0) {
    offset = 0;
    position = minimum_;
  } else if (offset >= span) {
    offset = span;
    position = maximum_;
  } else {
    position = static_cast<i32>(
        std::floor(static_cast<double>(maximum_ - minimum_ - page_) * offset / static_cast<double>(span) + 0.5));
  }
  SetPosition(position);
  SetThumb(offset, thumbLength_);
}

i32 BaseScrollbar::PartAt(i32 x, i32 y) const {
  if (!InRect(bounds_, x, y)) return kNoPart;
  for (i32 part : {kFirstArrow, kSecondArrow, kThumb, kTrack}) {
    if (part == kThumb && !thumbShown_) continue;
    if (InRect(parts_[part].rect, x, y)) return part;
  }
  return kNoPart;
}

// --- Mouse ---------------------------------------------------------------------------------------

void BaseScrollbar::MouseMove(i32 x, i32 y) {
  if (active_ && (heldButtons_ & kLeft) && press_[0].part == kThumb) {
    const DXLRECT& track = parts_[kTrack].rect;
    DragThumbTo(vertical_ ? y - track.top - press_[0].grabY : x - track.left - press_[0].grabX);
  }
  mouseX_ = x;
  mouseY_ = y;
  const i32 part = (heldButtons_ & kLeft) ? press_[0].part : PartAt(x, y);
  if (part == hoverPart_) return;
  if (hoverPart_ != kNoPart && parts_[hoverPart_].state == 2) SetPartState(hoverPart_, 1);
  if (part != kNoPart && parts_[part].state == 1) SetPartState(part, 2);
  hoverPart_ = part;
}

void BaseScrollbar::StartRepeat(i32 part) {
  repeatStep_ = part == kSecondArrow ? buttonStep_ : -buttonStep_;
  ScrollTo(position_ + repeatStep_);
  lastRepeatTime_ = kis::GetTimeMs();
  nextRepeatTime_ = lastRepeatTime_ + kRepeatDelay;
}

void BaseScrollbar::Press(i32 part, u32 bit, i32 record) {
  heldButtons_ |= bit;
  if (part == kNoPart || parts_[part].state == 0) return;
  PressRecord& p = press_[record];
  p = PressRecord{part, mouseX_ - parts_[part].rect.left, mouseY_ - parts_[part].rect.top};
  if (bit == kLeft) {
    repeatStep_ = 0;
    if (part == kFirstArrow || part == kSecondArrow) {
      StartRepeat(part);
    } else if (part == kTrack) {
      DragThumbTo((vertical_ ? p.grabY : p.grabX) - thumbLength_ / 2);
      const i32 now = PartAt(mouseX_, mouseY_);
      if (now != part && now != kNoPart) {
        Press(now, bit, record);
        return;
      }
    }
  }
  SetPartState(part, 3);
}

// The end of a press does its work wherever the pointer is, so a held
// arrow never goes on repeating after its button went up off the bar.
void BaseScrollbar::Release(i32 partUnderPointer, u32 bit, i32 record) {
  heldButtons_ &= ~bit;
  PressRecord& p = press_[record];
  if (bit == kLeft) repeatStep_ = 0;
  if (p.part != kNoPart && parts_[p.part].state != 0) SetPartState(p.part, p.part == partUnderPointer ? 2 : 1);
  p.part = kNoPart;
}

bool BaseScrollbar::HandleMouse(i32 x, i32 y, u32 pressed, u32 released) {
  bool taken = false;
  for (i32 record = 2; record >= 0; --record) {
    const u32 bit = kBits[record];
    if (!(released & bit & heldButtons_)) continue;
    Release(PartAt(x, y), bit, record);
    taken = true;
  }
  MouseMove(x, y);
  if (pressed && hoverPart_ != kNoPart) {
    for (i32 record = 0; record < 3; ++record) {
      if (!(pressed & kBits[record])) continue;
      Press(hoverPart_, kBits[record], record);
      taken = true;
    }
  }
  return taken;
}

bool BaseScrollbar::OnMouseDown(i32 x, i32 y, u32 pressed) { return HandleMouse(x, y, pressed, 0); }

bool BaseScrollbar::OnMouseUp(i32 x, i32 y, u32 released) { return HandleMouse(x, y, 0, released); }

bool BaseScrollbar::OnDoubleClick(i32 x, i32 y) { return HandleMouse(x, y, kLeft, 0); }

bool BaseScrollbar::OnMouseMove(i32 x, i32 y, u32 held) {
  if (held != heldButtons_) {
    HandleMouse(x, y, 0, heldButtons_ & ~held);
  } else if (x != mouseX_ || y != mouseY_) {
    MouseMove(x, y);
  }
  return hoverPart_ != kNoPart;
}

bool BaseScrollbar::OnMouseWheel(i32 /*x*/, i32 /*y*/, i32 delta, u32 keys) {
  if (keys & 3u) return false;
  if (active_ && delta != 0) ScrollTo(position_ + (delta < 0 ? wheelStep_ : -wheelStep_));
  return true;
}

// One step per 100 ms since the step fell due, at most 10 a frame; away
// from the held arrow nothing piles up.
void BaseScrollbar::Update() {
  if (repeatStep_ == 0) return;
  const u32 now = kis::GetTimeMs();
  lastRepeatTime_ = now;
  if (PartAt(mouseX_, mouseY_) != press_[0].part) {
    nextRepeatTime_ = now;
    return;
  }
  const i32 late = static_cast<i32>(now - nextRepeatTime_);
  if (late < 0) return;
  u32 steps = static_cast<u32>(late) / kRepeatStep + 1;
  if (steps > kMaxCatchUp) {
    steps = kMaxCatchUp;
    nextRepeatTime_ = now + kRepeatStep - static_cast<u32>(late) % kRepeatStep;
  } else {
    nextRepeatTime_ += steps * kRepeatStep;
  }
  for (u32 i = 0; i < steps && repeatStep_ != 0; ++i) ScrollTo(position_ + repeatStep_);
}

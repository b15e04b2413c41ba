// GameButton - the base of every clickable control: its parent window (which
// receives its commands), the button list it sits in (its window's
// controls), an id, a rectangle in the parent's coordinates, a ControlState
// with the fade times towards and away from hover, a hint (GameHint), a
// cursor, two caller-defined values and a click sound.
//
// The window offers mouse events to its buttons from the last to the first;
// a button that handles an event on itself makes itself the window
// manager's event control. Drawing and the mouse are the kinds' own
// (ActiveButton gives the common mouse). A clicked button asks its window's
// command handler what to do (Click): 0 nothing more, 1 accepted as a radio
// choice (the other checked buttons of its group in its list uncheck), 2
// back to normal at once; 8 added keeps the click silent. The handler may
// delete the button (a panel rebuilding itself): the click then stops
// touching it. A button leaves its list, its hint and the window manager's
// event and hover slots when it is destroyed.
#pragma once

#include <cstdint>

#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLMouse.h"  // kMouseLeft: the button number the toolkit tests; bit 0 of a move's mask
#include "engine/DXLRect.h"
#include "resources/CursorIds.h"
#include "ui/ControlState.h"
#include "ui/GameHint.h"
#include "ui/LifeGuard.h"

class GameWindow;
class GameButton;

using ButtonList = kis::list<GameButton*>;

// Answers of a window's command handler to a click.
constexpr u32 kCommandNothing = 0;
constexpr u32 kCommandRadio = 1;     // accepted as a radio choice
constexpr u32 kCommandRelease = 2;   // the button returns to normal at once
constexpr u32 kCommandSilent = 8;    // added: no click sound



class GameButton : public GameHint {
 public:
  static constexpr u32 kFadeIn = 70;
  static constexpr u32 kFadeOut = 200;
  static constexpr i32 kHintMargin = 8;

  // Joins the list when there is one.
  GameButton(GameWindow* parent, ButtonList* buttonList, u32 id);
  ~GameButton() override;

  // Anchors the hint window at the button grown by the hint margin, in
  // screen pixels, keeping the window's alignment.
  void PlaceHint() override;
  virtual void SetState(u32 state, bool instant, u32 time) { state_.SetState(state, instant, time); }
  virtual void SetFlag(bool flag, bool instant, u32 time) { state_.SetFlag(flag, instant, time); }
  virtual void Show(bool visible, bool instant, u32 time) { state_.SetVisible(visible, instant, time); }
  virtual bool HitTest(i32 x, i32 y) const;  // inside rect, right and bottom excluded
  virtual u32 GetCursorId() const;           // the arrow while disabled
  virtual void PlayClickSound();
  virtual void Draw() = 0;
  // Points in the parent's coordinates; true when the event was taken.
  virtual bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys) = 0;
  virtual bool OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys) = 0;
  virtual bool OnMouseUp(i32 x, i32 y, u32 button, u32 keys) = 0;
  virtual bool OnDoubleClick(i32 x, i32 y, u32 keys) = 0;
  // Fires the command: asks the parent's command handler, plays the click
  // sound unless told not to, does the radio choice or the return to normal,
  // and tells the tutorial. The handler may delete the button.
  virtual void Click();

  // Leaves the old list (if any) and joins the new one.
  void SetButtonList(ButtonList* list);
  bool IsEnabled() const { return state_.GetEnableBits() > 0; }

  GameWindow* GetParent() const { return parent_; }
  ButtonList* GetButtonList() const { return buttonList_; }
  ControlState& State() { return state_; }
  const ControlState& State() const { return state_; }
  u32 GetId() const { return id_; }
  const DXLRECT& GetRect() const { return rect_; }
  void SetRect(const DXLRECT& rect) { rect_ = rect; }
  bool IsLocked() const { return locked_ != 0; }
  void SetLocked(bool on) { locked_ = on ? 1 : 0; }
  u32 GetFadeInTime() const { return fadeInTime_; }
  u32 GetFadeOutTime() const { return fadeOutTime_; }
  void SetFadeTimes(u32 in, u32 out) {
    fadeInTime_ = in;
    fadeOutTime_ = out;
  }
  i32 GetGroup() const { return group_; }
  void SetGroup(i32 group) { group_ = group; }
  void SetCursorId(u32 id) { cursorId_ = id; }
  i32 GetTag() const { return tag_; }
  void SetTag(i32 tag) { tag_ = tag; }
  uintptr_t GetData() const { return data_; }
  void SetData(uintptr_t data) { data_ = data; }
  u32 GetSoundId() const { return soundId_; }
  void SetSoundId(u32 id) { soundId_ = id; }
  i32 GetHintMargin() const { return hintMargin_; }
  void SetHintMargin(i32 margin) { hintMargin_ = margin; }
  bool IsDoubleClickEnabled() const { return doubleClickEnabled_ != 0; }
  void EnableDoubleClick(bool on) { doubleClickEnabled_ = on ? 1 : 0; }
  bool IsPressed() const { return pressed_ != 0; }
  u32 GetLoopChannel() const { return loopChannel_; }
  void SetLoopChannel(u32 channel) { loopChannel_ = channel; }

 protected:
  GameWindow* parent_;
  ButtonList* buttonList_ = nullptr;
  ControlState state_;
  DXLRECT rect_{0, 0, 0, 0};
  u8 locked_ = 0;
  u8 doubleClickEnabled_ = 0;
  u8 pressed_ = 0;
  u8 doubleClicked_ = 0;
  u32 id_;
  u32 fadeInTime_ = kFadeIn;
  u32 fadeOutTime_ = kFadeOut;
  i32 hintMargin_ = kHintMargin;
  i32 group_ = 0;
  u32 cursorId_ = kCursorHand;
  i32 tag_ = 0;
  uintptr_t data_ = 0;
  u32 soundId_;
  u32 loopChannel_ = 0;  // a channel the button owns; stopped with it
  Lifetime lifetime_;    // tells a click in progress that its handler deleted the button
};

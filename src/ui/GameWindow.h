// GameWindow - the base of every window, panel and layer: an id (four
// characters, the first in the top byte), a rectangle in game coordinates,
// a modal flag, a closing flag, its state (1 normal, 2 under the pointer,
// 3 captured by a left press until the release), a cursor, the transform
// its content is drawn under, its running sprite effects (show, hide), an
// optional scroll bar and edit box, its own buttons and the button groups of
// the panels shown in it.
//
// It registers with the window manager as it is made and leaves it first
// thing as it goes, so no dispatch reaches a window being destroyed. The
// manager calls the screen entries (points in game coordinates); they call
// the window's own handlers with the point in window coordinates, which
// offer the event to the scroll bar, the edit box, the groups (last first)
// and the own buttons. A window (or its owner, or a handler) may delete it
// during any of these: the code after the call notices and stops.
//
// Key codes reaching windows are virtual-key codes (13 Enter, 27 Escape),
// translated from the keyboard's key codes by the keyboard's table.
#pragma once

#include "base/List.h"
#include "base/Maths.h"
#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "ui/ControlState.h"
#include "ui/GameControls.h"
#include "ui/LifeGuard.h"

class GameButton;
class GameEdit;
class GameScrollbar;
class WindowManager;
class SpriteEffect;
class SpriteEffectList;

constexpr u16 kKeyEnter = 13;
constexpr u16 kKeyEscape = 27;

// A window id from four characters: MakeWindowId('D','i','a','g').
constexpr u32 MakeWindowId(char a, char b, char c, char d) {
  return static_cast<u32>(static_cast<u8>(a)) << 24 | static_cast<u32>(static_cast<u8>(b)) << 16 |
         static_cast<u32>(static_cast<u8>(c)) << 8 | static_cast<u32>(static_cast<u8>(d));
}

class GameWindow {
 public:
  GameWindow(u32 id, bool modal);
  virtual ~GameWindow();
  GameWindow(const GameWindow&) = delete;
  GameWindow& operator=(const GameWindow&) = delete;

  // --- Events in window coordinates ------------------------------------------------
  virtual bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys);  // the first taker ends it
  virtual void OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys);
  virtual void OnMouseUp(i32 x, i32 y, u32 button, u32 keys);
  virtual bool OnDoubleClick(i32 x, i32 y, u32 button);
  // Taken by a modal window or over the window (to its scroll bar, if any).
  virtual bool OnMouseWheel(i32 x, i32 y, i32 a, i32 b, i32 c);
  virtual bool OnKeyDown(u16 key, u32 extra);  // the modal flag
  virtual bool OnKeyUp(u16 key, u32 extra);    // the modal flag
  virtual bool OnChar(u16 character, u32 extra);

  // --- Life --------------------------------------------------------------------------
  virtual bool IsBusy() const;  // effects running, or closing
  // Steps the effects (the list goes when empty); true while some remain.
  virtual bool UpdateEffects();
  // Sets the state at once; false when it is the state already.
  virtual bool SetActive(u32 state);
  virtual void OnScreenResize() {}
  // Per frame; returns the modal flag (windows below a modal one wait).
  virtual bool Update();
  virtual void Draw() = 0;

  // --- Geometry -------------------------------------------------------------------------
  virtual bool HitTest(i32 x, i32 y) const;  // screen point in the rectangle
  virtual void ClientToScreen(kis::IntPoint* out, i32 x, i32 y) const;
  virtual void ScreenToClient(kis::IntPoint* out, i32 x, i32 y) const;
  virtual u32 GetCursor();

  // --- Screen entries (game coordinates) --------------------------------------------------
  virtual void OnScreenMouseDown(i32 x, i32 y, u32 button, u32 keys);  // a left press captures
  virtual void OnScreenMouseMove(i32 x, i32 y, u32 buttons, u32 keys);
  // A left release ends a capture (2 over the window, else 1), then the
  // manager finds the window under the pointer again.
  virtual void OnScreenMouseUp(i32 x, i32 y, u32 button, u32 keys);
  virtual void OnScreenDoubleClick(i32 x, i32 y, u32 button);  // captures
  virtual bool OnScreenMouseWheel(i32 x, i32 y, i32 a, i32 b, i32 c);

  // --- What the controls tell the window -----------------------------------------------
  // A clicked button asks what to do: 0 nothing more, 1 accepted as a radio
  // choice, 2 back to normal at once; +8 no click sound.
  virtual u32 OnCommand(GameButton* control);
  virtual void OnControlPress(GameButton* /*control*/) {}
  virtual void OnControlChange(GameButton* /*control*/) {}
  virtual void OnScroll() {}
  // The window's edit box tells of every change of its text.
  virtual void OnEditChanged(GameEdit* /*edit*/) {}

  // Attaches an effect (null does nothing).
  void AddEffect(SpriteEffect* effect);
  void AddControlGroup(GameControls* group);     // once; null ignored
  void RemoveControlGroup(GameControls* group);  // null ignored
  // The own buttons, then the groups from the last; within a group the
  // last match wins. Tag 0 matches any.
  GameButton* FindControl(u32 id, i32 tag) const;
  // Under the window's transform: the edit box, the scroll bar, the groups
  // from the last to the first, the own buttons.
  void DrawControls();

  u32 GetId() const { return id_; }
  const DXLRECT& GetRect() const { return rect_; }
  bool IsModal() const { return modal_ != 0; }
  bool IsClosing() const { return closing_ != 0; }
  ControlState& State() { return state_; }
  const ControlState& State() const { return state_; }
  u32 GetCursorId() const { return cursorId_; }
  void SetCursorId(u32 id) { cursorId_ = id; }
  const DXLMATRIX& GetTransform() const { return transform_; }
  SpriteEffectList* GetEffects() const { return effects_; }
  GameScrollbar* GetScrollbar() const { return scrollBar_; }
  GameEdit* GetEditBox() const { return editBox_; }
  // Takes a scroll bar or edit box (null: none), deleting the one it held.
  void SetScrollbar(GameScrollbar* bar);
  void SetEditBox(GameEdit* edit);
  // A scroll bar or edit box going away leaves its window's slot.
  void DropScrollbar(const GameScrollbar* bar) {
    if (scrollBar_ == bar) scrollBar_ = nullptr;
  }
  void DropEditBox(const GameEdit* edit) {
    if (editBox_ == edit) editBox_ = nullptr;
  }
  GameControls& Controls() { return controls_; }
  Lifetime& GetLifetime() { return lifetime_; }  // ends when the window is deleted
  const kis::list<GameControls*>& ControlGroups() const { return controlGroups_; }

 protected:
  // Takes the window out of the window manager (again harmlessly); derived
  // destructors that call out before the base's call it first.
  void Unregister();

  u32 id_;
  DXLRECT rect_{0, 0, 0, 0};
  u8 modal_;
  u8 closing_ = 0;
  ControlState state_;
  u32 cursorId_;
  DXLMATRIX transform_;
  SpriteEffectList* effects_ = nullptr;
  GameScrollbar* scrollBar_ = nullptr;  // owned; made by windows that scroll
  GameEdit* editBox_ = nullptr;         // owned; made by windows that edit text
  GameControls controls_;
  kis::list<GameControls*> controlGroups_;
  WindowManager* manager_;  // the manager it registered with
  Lifetime lifetime_;
};

// LevelInput - the level scene's input slots: each event goes to the window
// stack first, then to the head-up display's sprites, and only then to the
// level (its objects, points and the player); before play starts a left
// click or Enter only starts it. It follows the pointer over the map (the
// screen's pointer, the hovered object and point, as the tutorial allows)
// and answers the level's cursor. Positions of events are game-screen
// pixels; the map's are level coordinates.
#pragma once

#include "base/Types.h"

class GameLevel;
class MapObject;

class LevelInput {
 public:
  explicit LevelInput(GameLevel& level) : level_(level) {}
  LevelInput(const LevelInput&) = delete;
  LevelInput& operator=(const LevelInput&) = delete;

  bool OnMouseDown(i32 x, i32 y, u32 button, u32 flags);
  bool OnMouseMove(i32 x, i32 y, u32 buttons, u32 flags);
  bool OnMouseUp(i32 x, i32 y, u32 button, u32 flags);
  bool OnDoubleClick(i32 x, i32 y, u32 flags);
  bool OnMouseWheel(i32 x, i32 y, i32 delta);
  bool OnKeyDown(u16 key, u32 flags);
  bool OnKeyUp(u16 key, u32 flags);
  bool OnChar(u16 code, u32 flags);

  // The view recomputed for the screen, the pointer at the origin, nothing
  // hovered or selected.
  void Reset();
  // The hover at a screen position; null: where the game's pointer is
  // (LevelServices::pointer), or without one the last position the level saw.
  void UpdateHover(const i32* position);
  // A press where the pointer was not seen before first moves the hover there.
  void FollowJump(i32 x, i32 y, u32 flags);
  MapObject* FindObjectAt(i32 x, i32 y) const;
  i32 FindPointNear(i32 x, i32 y) const;
  void OnLeftClick();
  void OnRightClick();
  // The cursor to show; false when the level shows none of its own.
  bool GetCursorKind(u32* cursor) const;

 private:
  GameLevel& level_;
  i32 screenX_ = 0;  // the pointer last seen, game-screen pixels
  i32 screenY_ = 0;
};

// GameScrollbarTrack - the thumb of the game's scroll bar: a stretchable
// strip cut from the thumb skin (a top cap of 9 and a bottom cap of 11
// pixels around 44-pixel tiles), one strip per state frame, 2 pixels longer
// than the thumb. The caps grow by up to a tile each before tiles are
// added; a thumb shorter than both caps shares its length between them.
//
// Room for the quads of the longest thumb the track allows (and at least
// both caps) is made once, so no length can write past it. Placing it only
// moves it; it has no hit area of its own (the bar handles the mouse).
#pragma once

#include "ui/ImageButton.h"

class GameScrollbarTrack : public ImageButton {
 public:
  GameScrollbarTrack(GameWindow* owner, u32 id, i32 x, i32 y, i32 trackLength);

  void SetPosition(i32 x, i32 y) override;
  void Draw() override;
  void DrawFrames() override;
  void SetLength(i32 length);

  i32 GetLength() const { return length_; }
  i32 GetRoom() const { return room_; }           // quads per frame made
  i32 GetQuadsPerFrame() const { return used_; }  // quads per frame in use
  i32 GetTopCap() const { return topCap_; }
  i32 GetBottomCap() const { return bottomCap_; }

  // Quads a thumb strip `total` pixels long needs, and its caps.
  static i32 QuadsFor(i32 total, i32* top, i32* bottom);

 private:
  void DrawStrip(i32 frame, u32 colour);

  i32 length_ = 0;
  i32 room_ = 0;
  i32 used_ = 0;
  i32 topCap_ = 0;
  i32 bottomCap_ = 0;
};

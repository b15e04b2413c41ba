// CLPLevelBlock - the level block of a point panel (command 0xc9000001),
// 100 x 77: a framed plate with the point's picture as large as the frame
// lets it be (PictureScale) and, over it, up to three marks of the point's
// level (filled below the current level); its hint text keeps two values,
// and a new hint value rebuilds the hint the next time it shows.
//
// MakeLevelMark: the mark of a level out of a maximum (the warehouse
// button's, the task buttons'): a plate per level for a maximum of 3, else
// a strip of stars; nothing for a maximum of 0.
//
// PictureScale: the scale of a picture (an icon) in a box of its own: at
// half its size the picture of a 48-pixel icon is too small to tell at a
// glance, so it grows to fill the square `room` pixels wide the box leaves
// it, up to its own size (drawn 1:1, sharp) and never below half of it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "ui/ActiveButton.h"
#include "ui/WindowSprites.h"

class ChildLevelPanel;
class ImageSprite;
class Sprite;

constexpr i32 kLevelBlockWidth = 100;
constexpr i32 kLevelBlockHeight = 77;
constexpr u32 kLevelBlockRedraw = 0x80;

// The mark's quad on the "level" sheet; false when there is none.
bool MakeLevelMark(i32 level, i32 maximum, i32 x, i32 y, u32 colour, DXLQUAD* out);
float PictureScale(const Sprite* picture, float room);

class CLPLevelBlock : public ActiveButton {
 public:
  static constexpr i32 kMarksTop = 50;
  static constexpr i32 kRim = 3;  // the frame's edge round the picture's room

  explicit CLPLevelBlock(ChildLevelPanel* owner);
  ~CLPLevelBlock() override;

  void SetLevel(i32 levels, i32 current, Sprite* picture);
  void CreateHint(const wchar* text, uintptr_t kind, uintptr_t data);
  void SetHintData(uintptr_t data);
  void PlaceAt(i32 x);  // the owner's origin plus (x, 7)
  void ShowHint() override;
  void Draw() override;

  i32 GetLevels() const { return levels_; }
  i32 GetCurrent() const { return current_; }
  i32 GetMarkCount() const { return levels_ > 1 ? levels_ - 1 : 0; }
  float GetPictureY() const { return levels_ < 2 ? 38.0f : 27.0f; }
  u32 GetFlags() const { return flags_; }
  const WindowSprites& Pieces() const { return pieces_; }  // the frame and the plate
  const WindowSprites& Marks() const { return marks_; }

 private:
  void Build();

  ChildLevelPanel* owner_;
  i32 levels_ = 0;
  i32 current_ = 0;
  std::unique_ptr<ImageSprite> picture_;
  WindowSprites pieces_;
  WindowSprites marks_;
  std::u16string hintText_;
  uintptr_t hintValues_[2] = {};
  u32 flags_ = 0;
};

// HILine - the separator of a hint window: a three-part row of the
// interface sprite "hint_line" (its caps around a stretched middle, as the
// skin table says), as wide as the item and centred in its height (10 pixels unless
// set otherwise). A line of width 0 has no pieces and draws nothing.
#pragma once

#include "ui/HintItem.h"
#include "ui/WindowSprites.h"

class HILine : public HintItem {
 public:
  static constexpr i32 kDefaultHeight = 10;

  // leftInset: where the row starts in the item; `second` is kept only.
  HILine(BaseHintWindow* window, i32 y, i32 leftInset, i32 second);

  void SetRect(i32 x, i32 y, i32 width, i32 height) override;  // height -1: 10
  void SetAlpha(u32 alpha) override;
  void Draw() override;

  const QuadBlockList& GetPieces() const { return pieces_.GetBlocks(); }
  i32 GetLeftInset() const { return leftInset_; }
  i32 GetSecond() const { return second_; }

 private:
  i32 leftInset_;
  i32 second_;
  WindowSprites pieces_;
};

// EmptyPanel - the child panel shown while no point is selected: two framed
// boxes side by side, the left with the medal limits of the level for the
// game mode (gold and silver; bronze too in the hard mode), each a medal
// icon and its time "hh:nn:ss", the right with the caption "current_time"
// and the level clock, re-formatted when its whole seconds change.
#pragma once

#include <memory>

#include "base/Types.h"
#include "windows/ChildLevelPanel.h"

class ImageSprite;
class KGETextSpriteW;

constexpr i32 kEmptyPanelRows = 3;

class EmptyPanel : public ChildLevelPanel {
 public:
  explicit EmptyPanel(LevelPanel& owner);
  ~EmptyPanel() override;

  void Arrange() override;
  void Draw() override;

  i32 GetRowCount() const { return rows_; }
  i32 GetRowY(i32 row) const;
  i32 GetLeftColumn() const { return column_; }
  i32 GetRightColumn() const { return width_ - column_; }
  u32 GetShownSeconds() const { return shownSeconds_; }
  KGETextSpriteW* GetClockText() const { return clockText_.get(); }
  KGETextSpriteW* GetRowText(i32 row) const { return row >= 0 && row < rows_ ? rowTexts_[row].get() : nullptr; }

 private:
  void MakeRows();

  i32 rows_ = 2;
  i32 column_ = 0;
  std::unique_ptr<ImageSprite> icons_[kEmptyPanelRows];
  std::unique_ptr<KGETextSpriteW> rowTexts_[kEmptyPanelRows];
  std::unique_ptr<ImageSprite> clockIcon_;
  std::unique_ptr<KGETextSpriteW> clockText_;
  std::unique_ptr<KGETextSpriteW> caption_;
  u32 shownSeconds_ = 0xFFFFFFFFu;
};

// "hh:nn:ss" of a time in ms.
void FormatPanelTime(u32 ms, wchar* out, u32 size);

// GameComboBoxList - the drop-down of a combo box: a modal sprite window
// below the box showing up to five items at a time, with a scroll bar when
// there are more and a background that scrolls with the rows. The row under
// the pointer lights up; a left press and release on one row selects its
// item and closes the list; a release on another row selects nothing; a
// press outside the list closes it without a change (and goes no further).
// Disabled items are grey and cannot be pressed; the selected one is green.
//
// Rows are a fixed set of text objects reused as the list scrolls, kept in
// the order of their items. Closing leaves the open windows at once, with
// no lift-out; the window manager deletes it at its next draw.
#pragma once

#include <memory>
#include <vector>

#include "engine/DXLDrawTypes.h"
#include "ui/ControlState.h"
#include "ui/SpritesWindow.h"

class DXLTexture;
class GameComboBox;
class KGETextW;

// One visible row.
struct GAMECBLISTITEM {
  std::unique_ptr<KGETextW> text;
  ControlState state;  // its flag marks the selected item
  u32 lastColour = ~0u;
  i32 index = -1;  // the item shown, -1 unused
};

class GameComboBoxList : public SpritesWindow {
 public:
  static constexpr u32 kId = 0x43624C74u;
  static constexpr i32 kMaxRows = 5;

  GameComboBoxList(GameComboBox* combo, i32 x, i32 y, i32 width, i32 minRowHeight);
  ~GameComboBoxList() override;

  bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys) override;
  void OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys) override;
  void OnMouseUp(i32 x, i32 y, u32 button, u32 keys) override;
  void OnScroll() override;
  void Close() override;
  void DrawBackground() override;

  // The visible row slot (0 at the top) under a point, -1 for none.
  i32 RowAt(i32 x, i32 y) const;
  i32 GetRowCount() const { return rowCount_; }
  i32 GetRowHeight() const { return rowHeight_; }
  i32 GetFirstIndex() const { return firstIndex_; }
  i32 GetPressedIndex() const { return pressedIndex_; }
  // The row showing the slot's item, in item order.
  const GAMECBLISTITEM* GetRow(i32 slot) const;
  const DXLQUAD& GetBackgroundQuad() const { return backQuad_; }

 private:
  GAMECBLISTITEM* RowOfIndex(i32 index);
  void RefreshRows();
  void BuildBackground();

  GameComboBox* combo_;
  DXLTexture* background_ = nullptr;
  DXLQUAD backQuad_{};
  std::vector<GAMECBLISTITEM> rows_;
  i32 rowCount_ = 0;
  i32 firstIndex_ = -1;
  i32 pressedIndex_ = -1;
  std::vector<GAMECBLISTITEM*> order_;
  float textX_ = 0.0f;
  float textY_ = 0.0f;
  i32 rowHeight_ = 0;
};

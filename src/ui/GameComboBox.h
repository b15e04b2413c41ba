// GameComboBox - the drop-down selector of the option windows: a skinned
// button with a label to its left and the selected item's text on its face.
// A click opens its list (GameComboBoxList) below it when it has two items
// or more; choosing an item there selects it, closes the list and tells the
// parent window (OnControlChange). While the list is open the box shows its
// open state (its flag: states 4 to 7).
//
// Items are texts with a caller's value (pointer-sized: the option windows
// keep a pointer to a record of their own there) and an enabled flag; the
// selected text and the list's rows take their colour from the box's state
// colours: grey disabled, white, cyan under the pointer, green pressed,
// selected or open.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/ImageButton.h"

class GameComboBoxList;
class KGETextW;

class GameComboBox : public ImageButton {
 public:
  static constexpr i32 kMinRowHeight = 24;
  static constexpr u32 kFontNo = 3;
  static constexpr u32 kFade = 100;
  static constexpr i32 kTextX = 14;

  struct Item {
    std::u16string text;
    uintptr_t value;
    u8 enabled;
  };

  // In the parent's controls at (x, y), `width` wide, without items.
  GameComboBox(GameWindow* parent, u32 id, i32 x, i32 y, i32 width);
  ~GameComboBox() override;

  void Draw() override;
  void Click() override;  // opens the list

  // The label in a game font; the box stands `gap` from the origin
  // (absolute) or from the label's end.
  void SetLabel(u32 fontNo, const wchar* text, i32 gap, bool absolute);
  void AddItem(const wchar* text, uintptr_t value, bool enabled);
  uintptr_t GetItemValue(i32 index) const;  // 0 outside the items
  // Clamped to the items (-1 when there are none); with notify the parent
  // hears of it even when it did not change.
  void SetSelection(i32 index, bool notify);
  void Clear();
  void OpenList();
  void CloseList();

  i32 GetSelection() const { return selected_; }
  i32 GetItemCount() const { return static_cast<i32>(items_.size()); }
  const Item& GetItem(i32 index) const { return items_[static_cast<size_t>(index)]; }
  GameComboBoxList* GetList() const { return list_; }
  bool IsOpen() const;
  u32 GetFontNo() const { return fontNo_; }
  KGETextW* GetSelectedText() const { return selectedText_.get(); }
  KGETextSpriteW* GetLabel() const { return label_.get(); }
  float GetTextX() const { return textX_; }
  float GetTextY() const { return textY_; }
  float GetLabelX() const { return labelX_; }
  float GetLabelY() const { return labelY_; }
  // The texts of the box, its label and its list's rows: one line of up to 32.
  static KGETEXTPARAMS TextParams();
  // The colour of a state cross-faded from the state it left.
  u32 FadedColour(const ControlState& state) const;

 private:
  friend class GameComboBoxList;

  std::unique_ptr<KGETextSpriteW> label_;
  std::unique_ptr<KGETextW> selectedText_;
  float labelX_ = 0.0f;
  float labelY_ = 0.0f;
  float textX_ = kTextX;
  float textY_ = 0.0f;
  i32 originX_;
  i32 originY_;
  std::vector<Item> items_;
  GameComboBoxList* list_ = nullptr;
  i32 minRowHeight_ = kMinRowHeight;
  i32 selected_ = -1;
  u32 fontNo_ = kFontNo;
};

// The combo box with its label (game font 3) and the box 212 pixels from
// the origin; its face shows the pressed frame whenever the list is open.
GameComboBox* CreateComboBox(GameWindow* parent, u32 id, i32 x, i32 y, i32 width, const wchar* labelText);

// LevelPanelButton - a button of a level-panel child panel: a face of four
// visual states cut from the panel-button skins (an end piece at the ends
// of its row, a joint piece between neighbours), an icon (lowered to 28
// pixels from the top with kButtonIconLow), and optionally a requirement: a
// count of a product (shown as the product's picture and the number) or of
// money (the number). A button with a requirement is enabled only while the
// warehouse or the money covers it, and never while its owner disabled it.
//
// ButtonRowLayout and SplitRowIntoCells cut a row of buttons into at most
// ten cells of whole pixels.
#pragma once

#include <memory>

#include "base/Types.h"
#include "ui/ImageButton.h"

class ChildLevelPanel;
class ImageSprite;
class Sprite;
struct PRODUCT;

constexpr i32 kRowMaxCells = 10;

struct ButtonRowLayout {
  i32 width = 0;
  i32 count = 0;
  struct Cell {
    i32 start;
    i32 width;
  } cells[kRowMaxCells] = {};
};

// Stores the width and min(count, 10) cells; the step is width / count and
// cell i runs from nearest(i * step) to nearest((i + 1) * step), halves up.
void SplitRowIntoCells(ButtonRowLayout* layout, i32 width, i32 count);

// Button flags.
constexpr u32 kButtonStyleMask = 0xF;       // 0, 1 or 2
constexpr u32 kButtonIconLow = 0x10;        // icon centre 28 pixels from the top
constexpr u32 kButtonUnmet = 0x10000;       // the requirement is not met
constexpr u32 kButtonDisabled = 0x20000;    // disabled by the owner
constexpr u32 kButtonFirstCell = 0x10000000;
constexpr u32 kButtonLastCell = 0x20000000;

constexpr i32 kPanelButtonHeight = 76;
constexpr i32 kPanelButtonTop = 7;  // the row's y in its panel

class LevelPanelButton : public ImageButton {
 public:
  // In the owner's group, in cell `cell` of the layout (the row's first and
  // last cells take the end pieces).
  LevelPanelButton(ChildLevelPanel* owner, u32 command, const ButtonRowLayout& layout, i32 cell, u32 flags,
                   Sprite* icon);
  ~LevelPanelButton() override;

  // A negative count is 0. A new product changes the picture, a new count
  // the caption; the button moves to list 1 with a count and a product, to
  // list 0 otherwise; then UpdateEnabled.
  void SetProduct(i32 count, const PRODUCT* product);
  // Only with a count: the stock of the product (or the money) against it.
  void UpdateEnabled();
  void SetEnabled(bool on);
  // Style 2: the filled part of the face, 0 to 1 (NaN 0): the face rises
  // from its bottom over floor(50 v) + 2 of its 54 rows, all 54 at 1.
  void SetFill(float value);
  void CreateHint(const wchar* text);  // once
  void ChangeIcon(Sprite* icon) { SetIcon(icon); }
  // To the owner's origin plus (x, 7), plus the cell's start.
  void PlaceAt(i32 x);

  void SetPosition(i32 x, i32 y) override;  // x from the cell's start
  void SetIcon(Sprite* sprite) override;
  void LayoutContent() override;
  void Draw() override;

  ChildLevelPanel* GetOwner() const { return owner_; }
  u32 GetFlags() const { return flags_; }
  i32 GetCellStart() const { return cellStart_; }
  i32 GetCount() const { return count_; }
  const PRODUCT* GetProduct() const { return product_; }
  i32 GetListIndex() const { return listIndex_; }
  void SetListIndex(i32 index) { listIndex_ = index; }
  ImageSprite* GetPicture() const { return picture_.get(); }
  float GetPictureX() const { return pictureX_; }
  float GetFill() const { return fill_; }
  i32 GetFillHeight() const { return fillHeight_; }
  void SetRecord(const void* record) { record_ = record; }
  const void* GetRecord() const { return record_; }

 private:
  void BuildFace();
  void ApplyState();

  ChildLevelPanel* owner_;
  u32 flags_;
  i32 cellStart_ = 0;
  i32 count_ = 0;
  const PRODUCT* product_ = nullptr;
  bool captionMade_ = false;
  std::unique_ptr<ImageSprite> picture_;
  float pictureX_ = 0.0f;
  i32 listIndex_ = -1;
  float fill_ = 0.0f;
  i32 fillHeight_ = -1;
  const void* record_ = nullptr;  // the plant or building a build button stands for
};

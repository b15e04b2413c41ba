// BaseHintWindow - the balloon of hints, tutorial notes and in-game
// messages: a list of items (texts, pictures, separator lines) in a
// nine-slice balloon of the interface sprite "balloon", measured around the
// items with margins of 14 and 8 pixels. The items' area is at most 512 x
// 512; items at negative coordinates push the items' origin right or down so
// that they stay within the margins. Only the alpha byte of the window's
// colour is used; it reaches every item and the balloon.
//
// The window owns its items (an item joins the list as it is made).
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLRect.h"
#include "gametext/KGETextParams.h"
#include "ui/WindowSprites.h"

class HIText;
class HintItem;

class BaseHintWindow : public WindowSprites {
 public:
  static constexpr i32 kMaxContent = 512;
  static constexpr i32 kMarginX = 14;
  static constexpr i32 kMarginY = 8;

  BaseHintWindow();
  ~BaseHintWindow() override;  // deletes the items, then the balloon

  void GetSize(i32* width, i32* height) const override;  // the whole window
  void SetSize(i32 /*width*/, i32 /*height*/) override {}  // the builders' content size is not the window's
  // Clears the balloon and builds it over the window, 3 pixels wider and 4
  // higher (its shadow).
  virtual void BuildFrame();
  // The items' bounds (the union with the origin).
  virtual void GetItemsBounds(DXLRECT* out);
  // Moves the viewer's current transform to the window's place; false draws nothing.
  virtual bool BeginDraw();
  // The balloon, then the items in order from the items' origin.
  virtual void Draw();

  // Measures the items and builds the balloon around them.
  void Measure();
  // Unites items first to last - 1 (last -1 or past the end: all) into the
  // rectangle, cleared first unless `keep`.
  void GetItemsBoundsRange(DXLRECT* out, bool keep, i32 first, i32 last);
  // Keeps the colour's alpha; a new alpha reaches every item and the balloon.
  void SetColor(u32 color);
  // A body text in game font 3 with the item-description mark-up: the
  // parameters given, or the body defaults. Null text: nothing (null).
  HIText* AddTextItem(const KGETEXTPARAMS* params, const wchar* text, bool keepSource);

  kis::list<HintItem*>& Items() { return items_; }
  const kis::list<HintItem*>& Items() const { return items_; }
  u32 GetColor() const { return colour_; }
  i32 GetWidth() const { return width_; }
  i32 GetHeight() const { return height_; }
  const DXLRECT& GetContent() const { return content_; }
  float GetPosX() const { return posX_; }
  float GetPosY() const { return posY_; }
  float GetOriginX() const { return originX_; }
  float GetOriginY() const { return originY_; }
  void SetPos(float x, float y) {
    posX_ = x;
    posY_ = y;
  }

 protected:
  DXLRECT margins_{kMarginX, kMarginY, kMarginX, kMarginY};
  i32 width_ = 0;
  i32 height_ = 0;
  DXLRECT content_{0, 0, 0, 0};
  float posX_ = 0.0f;
  float posY_ = 0.0f;
  float originX_ = 0.0f;
  float originY_ = 0.0f;
  DXLMATRIX transform_{};
  u32 colour_ = 0xFF000000u;
  kis::list<HintItem*> items_;
};

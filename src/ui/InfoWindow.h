// InfoWindow - the window that explains a level when it starts afresh: a
// column of blocks, one per information entry of the level (INFOENTRY): a
// picture with an item row and a long text, an item row (a plant, building,
// bonus or custom item with its icon, name and level) with a short text, or
// a wide or thin separator. It is 680 pixels wide and as high as its blocks
// need (64 at least, less 5), centred on the screen, and the window manager
// knows it as the current information window.
//
// The space between two blocks is the larger of the upper block's space
// after and the lower one's space before. An item that is not found (or a
// plant or building below level 1) leaves its block empty; a picture that is
// not loaded is left out. Names in the entries are read to their end or
// their 32nd character, whichever comes first.
//
// It closes with its close button, Enter or a click on it, and catches every
// click while it is open, except over the level panel in a running level.
// Its drop-in runs on the millisecond clock, so it plays while the level's
// clock stands still.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/DXLRect.h"
#include "ui/ImageButton.h"
#include "ui/SpritesWindow.h"

class DXLTexture;
class ImageSprite;
class KGETextSpriteW;
struct INFOENTRY;

// An icon of an item row, centred on (x, y).
struct IWICON {
  float x;
  float y;
  std::unique_ptr<ImageSprite> icon;
};

// A text placed at its top-left corner, and the room its label gives it
// (a row's inside short of its right border or level badge, a block's
// lines): the layout keeps it there.
struct IWTEXT {
  float x;
  float y;
  std::unique_ptr<KGETextSpriteW> text;
  DXLRECT room;
};

// The close button.
class IWCloseButton : public ImageButton {
 public:
  using ImageButton::ImageButton;
};

class InfoWindow : public SpritesWindow {
 public:
  static constexpr u32 kId = 0x496E666Fu;  // "Info"
  static constexpr u32 kCloseId = 0x13870000u;
  static constexpr i32 kWidth = 680;
  static constexpr u32 kShowTime = 300;
  static constexpr u32 kPictureSpriteSet = 9;

  InfoWindow(const INFOENTRY* entries, u32 count);
  ~InfoWindow() override;

  void OnMouseUp(i32 x, i32 y, u32 button, u32 keys) override;
  bool OnKeyDown(u16 key, u32 extra) override;
  void Draw() override;
  bool HitTest(i32 x, i32 y) const override;
  u32 OnCommand(GameButton* control) override;
  void GetDefaultPos(i32* x, i32* y) const override;
  void DrawForeground() override;

  // The pictures of the picture blocks (sprite set 9 by image name), taken
  // or given back as the level loads and goes.
  static void LoadEntryImages(const INFOENTRY* entries, u32 count);
  static void UnloadEntryImages(const INFOENTRY* entries, u32 count);

  // Where each block begins (its top) and the frame's height.
  const std::vector<i32>& GetBlockTops() const { return tops_; }
  i32 GetFrameHeight() const { return frameHeight_; }
  const std::vector<IWICON>& GetIcons() const { return icons_; }
  const std::vector<IWTEXT>& GetTexts() const { return texts_; }
  QuadBlockList& GetPieces() { return pieces_; }
  IWCloseButton* GetCloseButton() const { return close_; }

 private:
  void Build(const INFOENTRY* entries, u32 count);
  // One item row; returns its width (widened, or the width given when the
  // item is left out).
  i32 AddItemRow(i32 x, i32 y, i32 width, bool widen, i32 nameX, const INFOENTRY& entry);
  void AddBlockText(i32 x, i32 y, i32 width, i32 lines, bool centred, const wchar* text);
  void AddText(float x, float y, KGETextSpriteW* text, const DXLRECT& room);
  const wchar* PanelText(const std::u16string& key) const;

  QuadBlockList pieces_;
  std::vector<IWICON> icons_;
  std::vector<IWTEXT> texts_;
  DXLTexture* info_ = nullptr;
  std::vector<i32> tops_;
  i32 frameHeight_ = 0;
  u32 madeAt_;  // millisecond clock at construction
  IWCloseButton* close_ = nullptr;
};

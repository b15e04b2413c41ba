// CreditsWindow - the language's credits ('Cred', modal): text lines (game
// font 4 over a half-transparent black shadow 2 pixels down and right) and
// pictures in a column centred in a 574 x 400 viewport, over the paper
// "profiles_back". A list taller than 368 pixels scrolls upwards for ever
// at 50 pixels a second (four times as fast while the left button is held
// on the window and not on a control): when its end has left the top it
// comes round again, its first item 8 pixels below the viewport. A shorter
// list stands still in the middle. Items are built as they come into view
// and freed as they leave it; pictures are cut to the viewport, and so is
// the paper, which scrolls with the list.
//
// Escape, Enter and the close button close it.
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "gametext/KGEBaseTextSprite.h"
#include "ui/SpritesWindow.h"

class DXLTexture;
struct CREDITITEM;

constexpr u32 kCreditsWindowId = MakeWindowId('C', 'r', 'e', 'd');
constexpr u32 kCreditsClose = 0xCE000001u;

class CreditsWindow : public SpritesWindow {
 public:
  static constexpr i32 kWidth = 600;
  static constexpr i32 kViewX = 12;
  static constexpr i32 kViewWidth = 574;
  static constexpr i32 kViewHeight = 400;
  static constexpr i32 kViewInset = 7;     // the viewport below the client top
  static constexpr i32 kFrameHeight = 406;  // the side columns
  static constexpr i32 kGap = 8;               // between two items
  static constexpr i32 kStillHeight = 368;     // a list up to this high stands still
  static constexpr float kStepDivisor = 20.0f;  // ms per pixel: 50 pixels a second

  struct Item {
    u32 kind = 0;  // 1 text, 2 picture
    float x = 0;   // minus half its width, once built
    i32 y = 0;     // from the list's top
    i32 height = 0;
    bool built = false;
    const CREDITITEM* source = nullptr;
    std::unique_ptr<KGETextSpriteW> text;
    std::unique_ptr<KGETextSpriteW> shadow;
  };

  // Over the current language's credits (none without a language).
  CreditsWindow();
  ~CreditsWindow() override;

  bool OnKeyDown(u16 key, u32 extra) override;
  u32 OnCommand(GameButton* control) override;
  bool Update() override;
  void DrawBackground() override;

  // One frame of `ms` of scrolling (the update's step).
  void Scroll(u32 ms);

  bool IsScrolling() const { return scrolling_; }
  float GetOffset() const { return offset_; }
  i32 GetTotalHeight() const { return total_; }
  i32 GetViewTop() const { return viewTop_; }
  const std::vector<Item>& Items() const { return items_; }
  size_t GetFirst() const { return first_; }  // the built range [first, end)
  size_t GetEnd() const { return end_; }
  u32 GetBuilds() const { return builds_; }
  float GetPaperOffset() const { return paper_; }

 private:
  void ComputeRange();
  void Build(Item& item);
  static void Release(Item& item);

  std::vector<Item> items_;
  i32 viewTop_ = 0;
  i32 total_ = 0;
  float offset_ = 0;
  float paper_ = 0;  // how far the paper has moved up, modulo its height
  size_t first_ = 0, end_ = 0;
  bool scrolling_ = false;
  u32 builds_ = 0;
};

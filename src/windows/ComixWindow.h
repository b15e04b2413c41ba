// ComixWindow - the comic state's one window (id 0, modal, the whole
// screen): a page of the comic book drawn over the background "comix_back",
// its parts appearing one after another (part i 350 + 250 x i ms after the
// window is made): each fades in from transparent and grows from 0.9 to
// full size about its effect centre over 150 ms, with the comic sound.
// A part's second-layer pictures show once it has appeared.
//
// A click (left button, double click) on no control, Enter or Escape
// first completes every part still appearing; when none was, the comic
// closes: the book sets the level map's flag and fades to the level map.
// A finishing button, when its maker gives the window one, stands at the
// bottom centre and closes the comic at once; it fades out with the comic
// and is deleted once it has.
//
// Page scale for a screen of W x H: H / 750 below 750, 1 up to 800, H / 800
// above; then W / 980 when round(980 x s) is wider than W. A picture whose
// sprite is missing and a text whose comic entry is missing are skipped.
// The parts run on the frame clock (GameFrameTime).
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "gametext/KGEBaseTextSprite.h"
#include "ui/GameWindow.h"

class ComixBook;
class ImageSprite;
class Sprite;
struct COMIXPART;
struct ComixPage;

constexpr u32 kComixFirstDelay = 350;  // ms before the first part appears
constexpr u32 kComixPartDelay = 250;   // ms between two parts
constexpr u32 kComixAppearTime = 150;  // ms of a part's fade and growth
constexpr float kComixPageWidth = 980.0f;

// The page scale for a screen of that size.
float ComixPageScale(i32 width, i32 height);

class ComixPart {
 public:
  struct Text {
    std::unique_ptr<KGETextSpriteW> sprite;
    float x = 0, y = 0;  // page point it is centred on
    float halfWidth = 0, halfHeight = 0;
    float scale = 1.0f;
  };

  // Appearing from `start` (frame clock, ms).
  ComixPart(const COMIXPART* record, u32 start);
  ~ComixPart();

  // Advances the appearing to `now`; true while it still runs.
  bool Update(u32 now);
  void Finish();  // appears at once
  bool IsAppearing() const { return !finished_; }
  u32 GetColor() const { return color_; }
  float GetScale() const { return scale_; }
  u32 GetStart() const { return start_; }
  const COMIXPART* GetRecord() const { return record_; }
  // Made pictures (null where the sprite is missing) and texts.
  const std::vector<std::unique_ptr<ImageSprite>>& Pictures() const { return pictures_; }
  const std::vector<std::unique_ptr<ImageSprite>>& Overlays() const { return overlays_; }
  const std::vector<Text>& Texts() const { return texts_; }
  bool PlayedSound() const { return sounded_; }

 private:
  const COMIXPART* record_;
  u32 start_;
  u32 color_ = 0x00FFFFFFu;  // transparent white until it appears
  float scale_ = 0.9f;
  bool finished_ = false;
  bool sounded_ = false;
  std::vector<std::unique_ptr<ImageSprite>> pictures_;
  std::vector<std::unique_ptr<ImageSprite>> overlays_;
  std::vector<Text> texts_;
};

class ComixWindow : public GameWindow {
 public:
  // Registers with the book (deleting its previous window), acquires the
  // page's sprites, lays out and makes the parts.
  ComixWindow(ComixBook* book, ComixPage* page);
  ~ComixWindow() override;

  bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys) override;
  bool OnDoubleClick(i32 x, i32 y, u32 button) override;
  bool OnKeyDown(u16 key, u32 extra) override;
  void OnScreenResize() override { Layout(); }
  bool HitTest(i32, i32) const override { return true; }
  void Draw() override;

  u32 OnCommand(GameButton* control) override;  // the finishing button closes

  void Layout();
  // Completes the parts still appearing, else closes (nothing while closing).
  void Advance();
  // The finishing button: one of this window's controls, placed at the
  // bottom centre (null: none).
  void SetFinishButton(GameButton* button);
  GameButton* GetFinishButton() const { return finish_; }

  float GetScale() const { return scale_; }
  i32 GetOriginX() const { return originX_; }
  i32 GetOriginY() const { return originY_; }
  const DXLRECT& GetBackRect() const { return backRect_; }  // empty: no background
  const std::vector<std::unique_ptr<ComixPart>>& Parts() const { return parts_; }
  ComixPage* GetPage() const { return page_; }

 private:
  void AcquireSprites(bool acquire);
  // Every part finished, the map's flag, the fade to the map; the finishing
  // button fades out.
  void CloseComic();

  ComixBook* book_;
  ComixPage* page_;
  Sprite* back_ = nullptr;
  std::unique_ptr<ImageSprite> backImage_;
  DXLRECT backRect_{0, 0, 0, 0};
  std::vector<std::unique_ptr<ComixPart>> parts_;
  float scale_ = 1.0f;
  i32 originX_ = 0;
  i32 originY_ = 0;
  GameButton* finish_ = nullptr;  // owned by the controls
};

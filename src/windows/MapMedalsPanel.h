// MapMedalsPanel - the strip that shows how many gold, silver and bronze
// medals the current profile has won in a mode: each a medal icon, a
// multiplication sign and a count, with an optional caption. It is no
// window: its owner (the map's interface, the awards window) embeds it,
// sets its draw position and draws it.
//
// The background is one row of pieces of the sprite "map_medals_panel"
// (a left end over columns 0 to 16, a 4-column filler at 16, a 4-column
// separator at 20, a 20-column right end at 24), the fillers stretched.
// Variant 0, the map's, spaces the medals 110 apart; variant 1, the awards
// window's, 105 apart after a 170-pixel caption area. The four margins
// shift and shrink the strip.
#pragma once

#include <memory>

#include "base/Types.h"
#include "ui/WindowSprites.h"

class ImageSprite;
class KGETextSpriteW;
class Sprite;

class MapMedalsPanel : public WindowSprites {
 public:
  static constexpr i32 kHeight = 51;

  MapMedalsPanel(i32 left, i32 top, i32 right, i32 bottom, u32 variant);
  ~MapMedalsPanel() override;

  // The profile's medal counts in the mode; only a changed count gets a new text.
  void Refresh(u32 mode);
  // A caption at x 10 (null or empty: none).
  void SetCaption(const wchar* text);
  void Draw();
  void SetDrawPosition(float x, float y) {
    drawX_ = x;
    drawY_ = y;
  }

  // Medal i: 0 bronze, 1 silver, 2 gold.
  u32 GetCount(i32 i) const { return counts_[i]; }
  float GetMedalX(i32 i) const { return medalX_[i]; }
  float GetMedalY(i32 i) const { return medalY_[i]; }
  KGETextSpriteW* GetCountText(i32 i) const { return countTexts_[i].get(); }
  KGETextSpriteW* GetCaption() const { return caption_.get(); }
  u32 GetTextBuilds() const { return textBuilds_; }

 private:
  std::unique_ptr<KGETextSpriteW> caption_;
  float captionY_ = 0.0f;
  std::unique_ptr<ImageSprite> icons_[3];
  float medalX_[3] = {};
  float medalY_[3] = {};
  std::unique_ptr<ImageSprite> sign_;
  std::unique_ptr<KGETextSpriteW> countTexts_[3];
  u32 counts_[3] = {};
  u32 textBuilds_ = 0;
  float drawX_ = 0.0f;
  float drawY_ = 0.0f;
  Sprite* panel_ = nullptr;
};

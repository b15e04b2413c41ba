// ASSIconButton - a round head-up display button: a background picture
// whose frame is the button's state, and an icon on it (frames 0, 1, 2, 2
// for states 0 to 3 when the icon has frames, else 0). Its hit area is the
// circle of its radius around the anchor; with keepSize and the view zoomed
// out the radius grows by the zoom, so the circle keeps its pixel size.
#pragma once

#include <memory>

#include "hud/ActiveScreenSprite.h"

class ImageSprite;
class Sprite;

class ASSIconButton : public ActiveScreenSprite {
 public:
  ASSIconButton(u32 actionCode, i32 x, i32 y, const wchar* background, Sprite* icon, i32 radius);
  ~ASSIconButton() override;

  void SetKeepSize(bool keep) override;
  void Relayout() override;
  bool Draw() override;
  void DrawContent() override;
  bool HitTest(i32 x, i32 y) const override;

  i32 GetRadius() const { return radius_; }
  i32 GetEffectiveRadius() const { return effectiveRadius_; }
  ImageSprite* GetBackground() const { return background_.get(); }
  ImageSprite* GetIcon() const { return icon_.get(); }

 protected:
  void UpdateHitRect();

  std::unique_ptr<ImageSprite> background_;
  std::unique_ptr<ImageSprite> icon_;
  u32 iconFrames_[4] = {};
  i32 radius_;
  i32 effectiveRadius_;
};

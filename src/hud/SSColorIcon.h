// SSColorIcon - an icon on a tinted round plate with a tinted border
// ("level_ico_back", "level_ico_border"), all centred on the anchor. Its
// owner hears when it is marked to go.
#pragma once

#include <memory>

#include "hud/ScreenSprite.h"

class ImageSprite;
class ScreenSpriteOwner;
class Sprite;

class SSColorIcon : public ScreenSprite {
 public:
  SSColorIcon(i32 x, i32 y, Sprite* icon, u32 plateColor, u32 borderColor);
  ~SSColorIcon() override;

  void OnShowChanged() override;
  bool Draw() override;
  void DrawContent() override;

  void SetOwner(ScreenSpriteOwner* owner) { told_ = owner; }
  u32 GetPlateColor() const { return plateColor_; }
  const DXLQUAD& GetPlateQuad() const { return plateQuad_; }
  const DXLQUAD& GetBorderQuad() const { return borderQuad_; }
  ImageSprite* GetIcon() const { return icon_.get(); }

 private:
  ScreenSpriteOwner* told_ = nullptr;  // hears of the removal
  u32 plateColor_, borderColor_;
  Sprite* plate_;
  Sprite* border_;
  DXLQUAD plateQuad_{};
  DXLQUAD borderQuad_{};
  std::unique_ptr<ImageSprite> icon_;
};

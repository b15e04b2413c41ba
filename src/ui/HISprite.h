// HISprite - a picture item of a hint window: an image sprite of a sprite
// at one frame and colour; its natural size is the sprite's frame size.
#pragma once

#include <memory>

#include "ui/HintItem.h"

class ImageSprite;
class Sprite;

class HISprite : public HintItem {
 public:
  // Nothing is drawn for a sprite that is null or not loaded.
  HISprite(BaseHintWindow* window, Sprite* sprite, i32 frame, u32 color);
  ~HISprite() override;

  void SetRect(i32 x, i32 y, i32 width, i32 height) override;  // -1: the frame's size
  void SetAlpha(u32 alpha) override;                            // the image's alpha byte
  void Draw() override;

  ImageSprite* GetImage() const { return image_.get(); }

 private:
  std::unique_ptr<ImageSprite> image_;
};

// Sub-sprites - small pictures drawn relative to a map object, behind or in
// front of its main frame (see MapSpriteUser). Each may carry its own effect
// list; one marked hide-when-effects-end disappears, and is deleted by the
// draw of its list, once those effects have ended.
//
// A sub-sprite list lives in an owner's pointer slot: AddSubSprite creates it
// on first use, and it is deleted (and the slot cleared) when its last
// member goes.
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "resources/SpriteEffect.h"
#include "resources/SpriteRecords.h"

class ImageSprite;

class SubSpriteCustom {
 public:
  SubSpriteCustom() = default;
  SubSpriteCustom(const SubSpriteCustom&) = delete;
  SubSpriteCustom& operator=(const SubSpriteCustom&) = delete;
  virtual ~SubSpriteCustom();  // deletes the effect list

  virtual SubSpriteCustom* Clone() const = 0;
  // Places the sub-sprite for an object drawn mirrored in a frame `width` wide.
  virtual void Mirror(i32 width) = 0;
  virtual void GetBounds(DXLRECT* out) const = 0;
  // Draws on the viewer's current transform; dark: nearly black (RGB 0x202020).
  virtual void Draw(bool dark) = 0;

  SpriteEffectList*& Effects() { return effects_; }
  SpriteEffectList* GetEffects() const { return effects_; }
  void AttachEffect(SpriteEffect* effect) { AttachSpriteEffect(&effects_, effect); }
  bool GetHideWhenEffectsEnd() const { return hideWhenEffectsEnd_ != 0; }
  void SetHideWhenEffectsEnd(bool on) { hideWhenEffectsEnd_ = on ? 1 : 0; }
  // Hidden for good: marked hide-when-effects-end and no effects left.
  bool IsFinished() const { return hideWhenEffectsEnd_ && !effects_; }

 protected:
  SpriteEffectList* effects_ = nullptr;
  u8 hideWhenEffectsEnd_ = 0;
};

class SubSpriteImage : public SubSpriteCustom {
 public:
  // Takes the image sprite (owned from now on) with the description's
  // offset, pivot and scale.
  SubSpriteImage(ImageSprite* image, const SSDATA& description);
  SubSpriteImage(ImageSprite* image, float x, float y, float pivotX, float pivotY, float scaleX, float scaleY);
  ~SubSpriteImage() override;  // deletes the image sprite

  // A new image sprite of the same sprite and mirror flag, with this one's
  // offset, colour, pivot, scale and angle; no effects. Null when the sprite
  // gives no image sprite.
  SubSpriteCustom* Clone() const override;
  // x becomes width - x and pivot x becomes 1 - pivot x; the bounds follow.
  void Mirror(i32 width) override;
  void GetBounds(DXLRECT* out) const override;
  // Moves by (x, y), steps the effects (the image takes their alpha, or 0xFF
  // once they ended) and draws the image unless it is finished.
  void Draw(bool dark) override;

  ImageSprite* GetImage() const { return image_; }
  float GetX() const { return x_; }
  float GetY() const { return y_; }

 private:
  void Place(float x, float y, float pivotX, float pivotY, float scaleX, float scaleY);
  i32 LeftEdge() const;  // round(x - frame width x pivot x x scale x)

  ImageSprite* image_;
  DXLRECT bounds_{0, 0, 0, 0};
  float x_ = 0.0f;
  float y_ = 0.0f;
};

using SubSpriteList = kis::list<SubSpriteCustom*>;

// Appends, creating the list in the slot when there is none; null does nothing.
void AddSubSprite(SubSpriteList** slot, SubSpriteCustom* subSprite);
// Deletes every member (last to first) and the list, and clears the slot.
void ClearSubSprites(SubSpriteList** slot);
// A sub-sprite from a description: kind 1 with a sprite gives an image
// sub-sprite of an image sprite of that sprite (mirrored, then placed by
// Mirror(width), when asked); anything else, or a sprite that gives no image
// sprite, null.
SubSpriteCustom* CreateSubSprite(const SSDATA& description, bool mirror, i32 width);
// Draws the slot's list in order, each from the transform current at the
// call; members finished by the end of their effects are deleted on the
// way, and the list with its last member. Calls made by the members'
// effects run after the whole list is drawn.
void DrawSubSprites(SubSpriteList** slot, bool dark);

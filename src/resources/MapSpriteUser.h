// MapSpriteUser - the part of a level object that shows a map sprite: the
// map sprite in use, the frame (or animation) it shows, the offset at which
// its frame is drawn for the mirror state, its second point in that state,
// and the live sub-sprites made from the map sprite's descriptions, drawn
// behind and in front of the main frame.
//
// The owner sets the wanted mirror state, then SetMapSprite. Setting the same
// map sprite in the same mirror state again changes nothing; anything else
// rebuilds the frame state and the sub-sprites (keeping the old sub-sprites
// when asked). A map object draws DrawBackSubSprites, DrawSprite,
// DrawFrontSubSprites in that order.
#pragma once

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "resources/Sprite.h"
#include "resources/SubSprite.h"

class MapSprite;

class MapSpriteUser {
 public:
  MapSpriteUser();
  MapSpriteUser(const MapSpriteUser&) = delete;
  MapSpriteUser& operator=(const MapSpriteUser&) = delete;
  virtual ~MapSpriteUser();  // SetMapSprite(null, false)

  // Null clears the frame state and (unless kept) the sub-sprites. A map
  // sprite starts its sprite on a random frame (or its default animation)
  // in the wanted mirror state.
  virtual void SetMapSprite(MapSprite* mapSprite, bool keepSubSprites);

  // The main frame: the viewer's current transform becomes the matrix and
  // is applied, then the frame state is drawn in the colour.
  void DrawSprite(const DXLMATRIX& transform, u32 color);
  // The behind sub-sprites from the current transform; the matrix is the
  // current transform afterwards.
  void DrawBackSubSprites(const DXLMATRIX& transform, bool dark);
  // The in-front sub-sprites from the matrix.
  void DrawFrontSubSprites(const DXLMATRIX& transform, bool dark);

  MapSprite* GetMapSprite() const { return mapSprite_; }
  SpriteFrameState& FrameState() { return frameState_; }
  const SpriteFrameState& FrameState() const { return frameState_; }
  bool GetMirror() const { return mirror_ != 0; }
  void SetMirror(bool mirror) { mirror_ = mirror ? 1 : 0; }
  float GetHotSpotX() const { return hotX_; }
  float GetHotSpotY() const { return hotY_; }
  i32 GetSecondX() const { return secondX_; }
  i32 GetSecondY() const { return secondY_; }
  SubSpriteList*& BehindSubSprites() { return behind_; }
  const SubSpriteList* GetBehind() const { return behind_; }
  const SubSpriteList* GetFront() const { return front_; }
  SubSpriteList*& FrontSubSprites() { return front_; }

 protected:
  MapSprite* mapSprite_ = nullptr;
  SpriteFrameState frameState_{};
  u8 mirror_ = 0;
  float hotX_ = 0.0f;
  float hotY_ = 0.0f;
  i32 secondX_ = 0;
  i32 secondY_ = 0;
  SubSpriteList* behind_ = nullptr;
  SubSpriteList* front_ = nullptr;
};

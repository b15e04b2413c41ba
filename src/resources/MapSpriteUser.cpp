#include "resources/MapSpriteUser.h"

#include "engine/DXLViewer.h"
#include "resources/MapSprite.h"
#include "resources/ResourceServices.h"

MapSpriteUser::MapSpriteUser() = default;

MapSpriteUser::~MapSpriteUser() {
  ClearSubSprites(&behind_);
  ClearSubSprites(&front_);
}

void MapSpriteUser::SetMapSprite(MapSprite* mapSprite, bool keepSubSprites) {
  if (mapSprite == mapSprite_ && frameState_.mirror == mirror_) return;
  if (!keepSubSprites) {
    ClearSubSprites(&behind_);
    ClearSubSprites(&front_);
  }
  mapSprite_ = mapSprite;
  Sprite* sprite = mapSprite ? mapSprite->GetSprite() : nullptr;
  if (!sprite) {
    frameState_ = SpriteFrameState{};
    hotX_ = hotY_ = 0.0f;
    secondX_ = secondY_ = 0;
    return;
  }
  sprite->InitFrameState(&frameState_, true, mirror_ != 0);
  const bool mirrored = frameState_.mirror != 0;
  const i32 width = sprite->GetFrameWidth();
  mapSprite->GetHotSpotOffset(mirrored, &hotX_, &hotY_);
  secondX_ = mirrored ? width - mapSprite->GetSecondX() : mapSprite->GetSecondX();
  secondY_ = mapSprite->GetSecondY();
  for (const SSDATA& d : mapSprite->InFront()) AddSubSprite(&front_, CreateSubSprite(d, mirrored, width));
  for (const SSDATA& d : mapSprite->Behind()) AddSubSprite(&behind_, CreateSubSprite(d, mirrored, width));
}

void MapSpriteUser::DrawSprite(const DXLMATRIX& transform, u32 color) {
  DXLViewer* viewer = GetGameViewer();
  if (!mapSprite_ || !viewer) return;
  viewer->SetTransform(&transform);
  viewer->ApplyTransform(nullptr);
  if (Sprite* sprite = mapSprite_->GetSprite()) sprite->DrawFrameState(&frameState_, color);
}

void MapSpriteUser::DrawBackSubSprites(const DXLMATRIX& transform, bool dark) {
  DXLViewer* viewer = GetGameViewer();
  if (!behind_ || !viewer) return;
  const DXLMATRIX after = transform;  // the calls of the effects may free its holder
  DrawSubSprites(&behind_, dark);
  viewer->SetTransform(&after);
}

void MapSpriteUser::DrawFrontSubSprites(const DXLMATRIX& transform, bool dark) {
  DXLViewer* viewer = GetGameViewer();
  if (!front_ || !viewer) return;
  viewer->SetTransform(&transform);
  DrawSubSprites(&front_, dark);
}

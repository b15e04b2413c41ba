#include "level/characters/CharSilhouette.h"

#include "engine/DXLViewer.h"
#include "level/characters/MapCharacter.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"

CharSilhouette::CharSilhouette(MapCharacter* source)
    : DynObject(source->GetMap()), description_(source->GetDescription()), offsetX_(source->drawOffsetX), offsetY_(source->drawOffsetY) {
  kind_ = kObjectSilhouette;
  const AnimationState& s = source->GetAnimationState();
  state_.user1 = s.user1;
  state_.animation = s.animation;
  state_.direction = s.direction;
  state_.user2 = s.user2;
  state_.frames = s.frames;
  state_.offsetX = s.offsetX;
  state_.offsetY = s.offsetY;
  state_.angle = s.angle;
  state_.color = s.color;
  SetSortOffset(0, -1);
  MoveTo(source->GetX(), source->GetY());
  AttachToLevel(0);
  const float rate = source->GetWalkActivityRate();
  const float ms = rate > 0.0f ? 500.0f / rate : 500.0f;
  DisposeWithEffect(0, new SEffect_Alpha(0.4f, 0.0f, static_cast<u32>(ms), true, 0));
}

void CharSilhouette::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || !state_.animation) return;
  viewer->Translate(x_ + offsetX_, y_ + offsetY_);
  if (!UpdateEffects()) return;
  state_.color = GetColor();
  viewer->GetTransform(&transform_);
  state_.animation->Draw(&state_, true, false);
}

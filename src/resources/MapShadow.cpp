#include "resources/MapShadow.h"

#include "base/Maths.h"
#include "engine/DXLViewer.h"
#include "resources/CurrentLevel.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"

namespace {

u32 AlphaByte(float alpha) {
  const i32 byte = kis::RoundToInt(alpha * 255.0f);
  return static_cast<u32>(byte < 0 ? 0 : byte > 255 ? 255 : byte);
}

}  // namespace

// The quad is the sprite's first frame stretched over the shadow's size,
// with the pivot at the origin, in whole pixels.
MapShadow::MapShadow(const SHADOWDATA* data, float x, float y) : x_(x), y_(y) {
  Sprite* sprite = data ? data->sprite : nullptr;
  if (!sprite || !sprite->IsLoaded() || !sprite->GetTexture() || sprite->GetFrameCount() <= 0) return;
  hasSprite_ = 1;
  texture_ = sprite->GetTexture();
  const i32 w = data->width > 0 ? data->width : sprite->GetFrameWidth();
  const i32 h = data->height > 0 ? data->height : sprite->GetFrameHeight();
  const i32 left = kis::RoundToInt(-(static_cast<float>(w) * data->pivotX));
  const i32 top = kis::RoundToInt(-(static_cast<float>(h) * data->pivotY));
  sprite->MakeQuad(&quad_, DXLRECT{left, top, left + w, top + h}, 0xFF000000u);
  SetAlpha(data->alpha);
}

MapShadow::~MapShadow() { DeleteSpriteEffects(&effects_); }

void MapShadow::SetQuadAlpha(u32 alpha) {
  for (DXLVERTEX& v : quad_.v) v.color = alpha << 24;
}

void MapShadow::SetAlpha(float alpha) {
  if (!hasSprite_) return;
  if (!(alpha >= 0.0f)) alpha = 0.0f;  // also not a number
  if (alpha > 1.0f) alpha = 1.0f;
  baseAlpha_ = alpha;
  SetQuadAlpha(AlphaByte(alpha));
}

void MapShadow::StopEffects() {
  DeleteSpriteEffects(&effects_);
  SetAlpha(baseAlpha_);
}

// The effects give their alpha on top of the base alpha; once they end the
// shadow is back at its base alpha, or gone with its owner.
void MapShadow::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!hasSprite_ || !viewer) return;
  if (!ownerAlive_ && !effects_) return;
  DeferredEffectCalls calls;  // what the effects call runs after this draw
  viewer->Translate(x_, y_);
  if (effects_) {
    const bool running = UpdateSpriteEffects(&effects_);
    if (!running && !ownerAlive_) return;
    if (!running) {
      SetQuadAlpha(AlphaByte(baseAlpha_));
    } else if (effects_->flags & kEffectColor) {
      SetQuadAlpha(AlphaByte(static_cast<float>(effects_->color >> 24) / 255.0f * baseAlpha_));
    }
  }
  viewer->ApplyTransform(nullptr);
  BindDrawTexture(texture_);
  DrawQuad(&quad_);
}

// --- LevelShadow ------------------------------------------------------------------------------

LevelShadow::~LevelShadow() { Unregister(); }

void LevelShadow::Register() {
  CurrentLevel* level = GetResourceServices().level;
  if (registered_ || !hasSprite_ || !level) return;
  level->GetShadows().Add(this);
  registered_ = 1;
}

void LevelShadow::Unregister() {
  if (!registered_) return;
  registered_ = 0;
  if (CurrentLevel* level = GetResourceServices().level) level->GetShadows().Remove(this);
}

void DrawShadows(const kis::list<LevelShadow*>& shadows) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DeferredEffectCalls calls;
  const CurrentLevel* level = GetResourceServices().level;
  DXLMATRIX transform;
  viewer->GetTransform(&transform);
  if (level) transform = level->GetLevelTransform();
  for (i32 i = 0; i < shadows.GetCount(); ++i) {
    viewer->SetTransform(&transform);
    if (LevelShadow* shadow = shadows.Get(i)) shadow->Draw();
  }
  UnbindDrawTexture();
}

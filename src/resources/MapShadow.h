// MapShadow and LevelShadow - the flat shadow under a map object or a
// character: the shadow sprite's first frame as a black quad of the
// description's size, centred on its pivot, at a base alpha. A shadow follows
// its owner's effects through a list of its own (the owner attaches copies),
// and once its owner is gone it draws only while those effects still run.
//
// Whether it draws at all is decided when it is made: the description, its
// sprite and the sprite's frames must be there (the owner initialises its
// map sprite first); otherwise nothing is ever drawn or registered.
//
// A LevelShadow files itself in the current level's shadow list
// (ResourceServices::level), which DrawShadows draws in one pass.
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "resources/ShadowData.h"
#include "resources/SpriteEffect.h"

class DXLTexture;

class MapShadow {
 public:
  MapShadow(const SHADOWDATA* data, float x, float y);
  MapShadow(const MapShadow&) = delete;
  MapShadow& operator=(const MapShadow&) = delete;
  virtual ~MapShadow();  // deletes the effect list

  void SetPosition(float x, float y) {
    x_ = x;
    y_ = y;
  }
  // Clamped to 0..1 (not a number: 0); the quad's colour becomes black with
  // that alpha. Nothing without a sprite.
  void SetAlpha(float alpha);
  // Ends the effects and goes back to the base alpha.
  void StopEffects();
  void AttachEffect(SpriteEffect* effect) { AttachSpriteEffect(&effects_, effect); }
  void SetOwnerAlive(bool alive) { ownerAlive_ = alive ? 1 : 0; }
  // Moves the viewer's current transform by the position and draws.
  void Draw();

  bool HasSprite() const { return hasSprite_ != 0; }
  float GetX() const { return x_; }
  float GetY() const { return y_; }
  float GetBaseAlpha() const { return baseAlpha_; }
  bool IsOwnerAlive() const { return ownerAlive_ != 0; }
  SpriteEffectList* GetEffects() const { return effects_; }
  const DXLQUAD& GetQuad() const { return quad_; }

 protected:
  void SetQuadAlpha(u32 alpha);

  u8 hasSprite_ = 0;
  float x_;
  float y_;
  DXLTexture* texture_ = nullptr;
  DXLQUAD quad_{};
  float baseAlpha_ = 1.0f;
  u8 ownerAlive_ = 1;
  SpriteEffectList* effects_ = nullptr;
};

class LevelShadow : public MapShadow {
 public:
  LevelShadow(const SHADOWDATA* data, float x, float y) : MapShadow(data, x, y) {}
  ~LevelShadow() override;  // unregisters

  // Into the current level's shadow list, once, and only with a sprite.
  void Register();
  void Unregister();
  bool IsRegistered() const { return registered_ != 0; }

 private:
  u8 registered_ = 0;
};

// Draws every shadow of the list in order, each from the current level's
// transform (the transform current at the call when no level runs), then
// unbinds the draw texture. Calls made by the shadows' effects run after the
// whole pass.
void DrawShadows(const kis::list<LevelShadow*>& shadows);

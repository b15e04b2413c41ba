// GPSParticle - one particle of a space, drawn as an image sprite (pivot at
// its centre) of its emitter's sprite. It moves in sub-steps of the
// library's largest step: time given to it accumulates, a sub-step runs for
// every whole step, and the rest places the drawing between the last two
// sub-steps. With a limited life it dies when the life runs out (or its
// life fraction falls to 0.0001); a particle made in a full space (the
// space's maximum counting itself) or without a picture is dead at once.
// A dead particle waits in its space for deletion (GPSSpace::Dispose).
#pragma once

#include "base/Types.h"
#include "resources/GPSClass.h"

class GPSSpace;
class ImageSprite;
class Sprite;
struct GPSCURVE;

// What a particle is made of, drawn from its emitter's parameter record.
struct GPSPARTICLEPARAMS {
  u32 flags;          // kParticle*
  i32 extra;
  i32 life;           // ms; negative: unlimited
  float gravity;
  float damping;
  float spin;         // degrees per sub-step
  float angle;        // initial rotation, degrees
  float startScale;
  float endScale;
  u32 scaleCurve;
  u32 color;          // ARGB
  u32 colorCurve;     // curve id
  float direction;    // degrees
  float speed;        // pixels per sub-step
};

struct GPSPARTICLESTATE {
  float x, y;
  float vx, vy;
  float rotation;      // degrees
  float scale;
  float lifeLeft;      // ms
  float lifeFraction;  // 1 at birth (and for ever with an unlimited life), 0 at the end
};

class GPSParticle : public GPSClass {
 public:
  GPSParticle(GPSSpace* space, const GPSPARTICLEPARAMS& params, Sprite* sprite, float x, float y);
  ~GPSParticle() override;  // leaves its space

  void Advance(float dt);
  // At the viewer's current transform, its alpha times the space's.
  void Draw(float spaceAlpha);

  bool IsDead() const { return dead_ != 0; }
  const GPSPARTICLEPARAMS& GetParams() const { return params_; }
  const GPSPARTICLESTATE& GetState() const { return current_; }
  const GPSPARTICLESTATE& GetPrevious() const { return previous_; }
  float GetFraction() const { return fraction_; }  // of a sub-step, for drawing
  ImageSprite* GetImage() const { return image_; }
  const GPSCURVE* GetCurve() const { return curve_; }
  // The colour it draws with now (before the space's alpha).
  u32 GetColor() const;

 private:
  void SubStep(float step);
  void Die();

  GPSSpace* space_;
  u32 handle_ = 0;
  u8 limitedLife_;
  u8 dead_ = 0;
  GPSPARTICLEPARAMS params_;
  GPSPARTICLESTATE previous_;
  GPSPARTICLESTATE current_;
  float fraction_ = 0.0f;
  float accumulated_ = 0.0f;
  const GPSCURVE* curve_ = nullptr;
  u32 color_;
  ImageSprite* image_ = nullptr;  // owned
};

// The colour of a curve `time` ms in: its stops blended (kis::LerpColor),
// the first stop's colour before it and the last one after the end; 0 for a
// curve without stops.
u32 CurveColorAt(const GPSCURVE& curve, float time);

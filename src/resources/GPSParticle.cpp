#include "resources/GPSParticle.h"

#include <cmath>

#include "base/Maths.h"
#include "engine/DXLViewer.h"
#include "resources/GPSSpace.h"
#include "resources/ImageSprite.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

namespace {

float Lerp(float a, float b, float t) { return a + (b - a) * t; }

// Start to end scale at t (0..1) by the curve kind; kinds the eased curves do
// not know are linear.
float ScaleAt(const GPSPARTICLEPARAMS& p, float t) {
  const u32 curve = p.scaleCurve <= 2 ? p.scaleCurve : 0;
  return kis::Interpolate(p.startScale, p.endScale, p.endScale, 1.0f, t, curve, false);
}

}  // namespace

// Counting itself, a particle beyond the space's maximum is dead at once.
GPSParticle::GPSParticle(GPSSpace* space, const GPSPARTICLEPARAMS& params, Sprite* sprite, float x, float y)
    : space_(space), limitedLife_(params.life >= 0 ? 1 : 0), params_(params), color_(params.color) {
  handle_ = space_->AddParticle(this);
  float s = 0.0f, c = 1.0f;
  kis::SinCos(params_.direction * kis::kPi / 180.0f, &s, &c);
  current_ = GPSPARTICLESTATE{x,
                              y,
                              c * params_.speed,
                              s * params_.speed,
                              params_.angle,
                              params_.flags & kParticleScale ? params_.startScale : 1.0f,
                              static_cast<float>(params_.life),
                              1.0f};
  previous_ = current_;
  if (params_.flags & kParticleColorCurve) curve_ = FindCurve(params_.colorCurve);
  if (sprite && sprite->GetSet()) image_ = sprite->GetSet()->CreateImageSprite(sprite, false);
  if (image_) image_->SetPivot(0.5f, 0.5f);
  // Dead at once when the space already held more than its maximum before
  // this one came (so it keeps at most one above the maximum alive).
  const i64 before = static_cast<i64>(space_->GetParticleCount()) - 1;
  if (!image_ || before > space_->GetMaxParticles()) Die();
}

GPSParticle::~GPSParticle() {
  delete image_;
  space_->RemoveParticle(handle_);
}

void GPSParticle::Die() {
  if (dead_) return;
  dead_ = 1;
  space_->Dispose(this);
}

// The time is cut at the life left, and the particle dies once the
// sub-steps it pays for have run.
void GPSParticle::Advance(float dt) {
  if (dead_ || !(dt > 0.0f)) return;
  const float step = GetParticleLibrary().maxStep;
  accumulated_ += dt;
  bool ends = false;
  if (limitedLife_ && accumulated_ >= current_.lifeLeft) {
    accumulated_ = current_.lifeLeft > 0.0f ? current_.lifeLeft : 0.0f;
    ends = true;
  }
  while (accumulated_ >= step) {
    SubStep(step);
    accumulated_ -= step;
  }
  fraction_ = accumulated_ / step;
  if (ends || Lerp(previous_.lifeFraction, current_.lifeFraction, fraction_) <= 0.0001f) Die();
}

void GPSParticle::SubStep(float step) {
  previous_ = current_;
  GPSPARTICLESTATE& s = current_;
  if (limitedLife_) {
    s.lifeLeft -= step;
    const float f = params_.life >= 1 ? s.lifeLeft / static_cast<float>(params_.life) : 0.0f;
    s.lifeFraction = f > 0.0f ? (f < 1.0f ? f : 1.0f) : 0.0f;
    if (params_.flags & kParticleScale) s.scale = ScaleAt(params_, 1.0f - s.lifeFraction);
  }
  if (params_.flags & kParticleGravity) s.vy += params_.gravity;
  if (params_.flags & kParticleDamping) {
    s.vx *= params_.damping;
    s.vy *= params_.damping;
    if (std::fabs(s.vx) < 0.001f) s.vx = 0.0f;
    if (std::fabs(s.vy) < 0.001f) s.vy = 0.0f;
  }
  s.x += s.vx;
  s.y += s.vy;
  if (params_.flags & kParticleSpin) s.rotation += params_.spin;
}

u32 GPSParticle::GetColor() const {
  if (!curve_) return color_;
  const float life = Lerp(previous_.lifeFraction, current_.lifeFraction, fraction_);
  return CurveColorAt(*curve_, (1.0f - life) * curve_->total);
}

void GPSParticle::Draw(float spaceAlpha) {
  DXLViewer* viewer = GetGameViewer();
  if (!image_ || !viewer) return;
  const float f = fraction_;
  const GPSPARTICLESTATE &a = previous_, &b = current_;
  viewer->Translate(Lerp(a.x, b.x, f), Lerp(a.y, b.y, f));
  float angle = 0.0f;
  if (params_.flags & kParticleRotation) {
    angle = params_.flags & kParticleFollowMotion ? kis::VectorAngle(kis::FloatPoint{b.vx, b.vy})
                                                   : kis::NormalizeAngle(Lerp(a.rotation, b.rotation, f));
  }
  image_->SetAngle(angle);
  const float scale = params_.flags & kParticleScale ? Lerp(a.scale, b.scale, f) : 1.0f;
  image_->SetScale(scale, scale);
  const u32 color = GetColor();
  const float alpha = static_cast<float>(color >> 24) * spaceAlpha;
  const u32 byte = alpha > 0.0f ? static_cast<u32>(kis::RoundToInt(alpha < 255.0f ? alpha : 255.0f)) : 0;
  if (byte == 0) return;  // transparent
  image_->SetColor((color & 0x00FFFFFFu) | byte << 24);
  image_->Draw();
}

// Stops are reached one after the other; a stop of 0 ms is reached together
// with the one before it, so the blend never divides by it.
u32 CurveColorAt(const GPSCURVE& curve, float time) {
  const auto& p = curve.points;
  if (p.empty()) return 0;
  if (!(time > p[0].duration)) return p[0].color;
  float reached = p[0].duration;
  for (size_t i = 1; i < p.size(); ++i) {
    const float before = reached;
    reached += p[i].duration;
    if (reached < time) continue;
    if (p[i].duration <= 0.0f) return p[i].color;
    return kis::LerpColor(p[i - 1].color, p[i].color, (time - before) / p[i].duration);
  }
  return p.back().color;
}

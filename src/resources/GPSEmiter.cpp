#include "resources/GPSEmiter.h"

#include <cmath>

#include "base/Maths.h"
#include "base/Random.h"
#include "resources/GPSParticle.h"
#include "resources/GPSSpace.h"
#include "resources/ParticleLibrary.h"
#include "resources/SpriteSet.h"

namespace {

// Shape sizes that are not finite count as 0.
float Size(const GPSSYSTEM& d, u32 i) { return std::isfinite(d.sizes[i]) ? d.sizes[i] : 0.0f; }

}  // namespace

GPSEmiter::GPSEmiter(GPSSpace* space, const GPSSYSTEM* definition, const GPSPARAMS* params, float x, float y)
    : space_(space), x_(x), y_(y) {
  if (definition) definition_ = *definition;
  if (definition && !params) params = FindEmitterParams(definition->paramsId);
  if (params) params_ = *params;
  if (SpriteSet* set = GetParticleSpriteSet()) sprite_ = set->FindSprite(definition_.sprite);
  limitedLife_ = definition_.life >= 0 ? 1 : 0;
  lifeLeft_ = static_cast<float>(definition_.life);
  // No parameters to make particles from is as good as no life at all.
  if (!definition || !params || definition_.life == 0) dead_ = 1;
  if (space_) handle_ = space_->AddEmitter(this);
}

GPSEmiter::~GPSEmiter() {
  if (space_) space_->RemoveEmitter(handle_);
}

void GPSEmiter::Start() {
  if (dead_ || state_ == kRunning) return;
  if (state_ == kStopped) {
    delayLeft_ = definition_.startDelay >= 1 ? static_cast<float>(definition_.startDelay) : 0.0f;
    nextBurst_ = 0.0f;
    cycleTime_ = 0.0f;
  }
  state_ = kRunning;
}

void GPSEmiter::Stop(bool immediately) {
  if (state_ == kStopped) return;
  state_ = !immediately && definition_.cyclePeriod > 0 && state_ == kRunning ? kFinishing : kStopped;
}

// A cycle that ends in this step stops a finishing emitter at its end; the
// start delay eats into the step; the life bounds it; then the bursts due.
void GPSEmiter::Update(float dt) {
  if (dead_ || state_ == kStopped) return;
  if (definition_.cyclePeriod > 0) {
    const float period = static_cast<float>(definition_.cyclePeriod);
    cycleTime_ += dt;
    if (cycleTime_ >= period) {
      if (state_ == kFinishing) {
        state_ = kStopped;
        dt -= cycleTime_ - period;
        if (dt < 0.0f) dt = 0.0f;
      } else {
        cycleTime_ -= period;
      }
    }
  }
  if (delayLeft_ > 0.0f) {
    if (dt < delayLeft_) {
      delayLeft_ -= dt;
      return;
    }
    dt -= delayLeft_;
    delayLeft_ = 0.0f;
  }
  if (limitedLife_ && dt > lifeLeft_) dt = lifeLeft_;
  float remaining = dt;
  while (remaining >= nextBurst_) {
    remaining -= nextBurst_;
    const float interval =
        static_cast<float>(kis::RandomRange(definition_.burstInterval[0], definition_.burstInterval[1]));
    nextBurst_ = interval >= 1.0f ? interval : 1.0f;
    if (!Burst(remaining)) {
      remaining = 0.0f;
      break;
    }
  }
  nextBurst_ -= remaining;
  if (limitedLife_) {
    lifeLeft_ -= dt;
    if (lifeLeft_ <= 0.0f) dead_ = 1;
  }
}

bool GPSEmiter::Burst(float advance) {
  const i32 count = kis::RandomRange(params_.count[0], params_.count[1]);
  for (i32 i = 0; i < count; ++i) {
    float x = 0.0f, y = 0.0f;
    Place(i, count, &x, &y);
    GPSParticle* p = MakeParticle(x, y);
    if (!p || p->IsDead()) return false;
    p->Advance(advance);
  }
  return true;
}

// Every shape is placed around the emitter's position, the line and the
// rectangle included.
void GPSEmiter::Place(i32 i, i32 n, float* x, float* y) const {
  const GPSSYSTEM& d = definition_;
  float dx = 0.0f, dy = 0.0f;
  switch (d.shape) {
    case kEmitEllipseOutline: {
      const float step = 360.0f / static_cast<float>(n);
      const float angle = static_cast<float>(i) * step - step / 4.0f + kis::Random01() * step / 2.0f;
      float rx = Size(d, 0), ry = Size(d, 1);
      if (const float spread = Size(d, 2); spread != 0.0f) {
        const float change = kis::RandomRange(-spread, spread);
        rx += change;
        ry += change;
      }
      float s = 0.0f, c = 1.0f;
      kis::SinCos(angle * kis::kPi / 180.0f, &s, &c);
      dx = c * rx;
      dy = s * ry;
      break;
    }
    case kEmitDisc:
    case kEmitEllipseArea: {
      const float a = std::fabs(Size(d, 0)), b = std::fabs(Size(d, 1));
      const float r = d.shape == kEmitDisc ? a : (a > b ? a : b);
      if (!(2.0f * r >= 1.0f) || !std::isfinite(r * r)) break;
      do {
        dx = kis::RandomRange(-r, r);
        dy = kis::RandomRange(-r, r);
      } while (dx * dx + dy * dy > r * r && dx != 0.0f && dy != 0.0f);
      if (d.shape == kEmitEllipseArea) {
        if (a < b) {
          dx *= a / r;
        } else if (b < a) {
          dy *= b / r;
        }
      }
      break;
    }
    case kEmitLine: {
      const float t = kis::Random01();
      dx = Size(d, 0) + t * Size(d, 2);
      dy = Size(d, 1) + t * Size(d, 3);
      break;
    }
    case kEmitRectangle:
      dx = Size(d, 0) + kis::Random01() * Size(d, 2);
      dy = Size(d, 1) + kis::Random01() * Size(d, 3);
      break;
    default:
      break;
  }
  *x = x_ + dx;
  *y = y_ + dy;
}

// The block is drawn from the parameter record: the life and direction
// always, the rest by flag; a mirrored space mirrors it and the position.
GPSParticle* GPSEmiter::MakeParticle(float x, float y) {
  if (!space_) return nullptr;
  const GPSPARAMS& r = params_;
  GPSPARTICLEPARAMS p{};
  p.flags = r.flags;
  p.extra = kis::RandomRange(r.extra[0], r.extra[1]);
  p.life = r.life[0] < 0 || r.life[1] < 0 ? -1 : kis::RandomRange(r.life[0], r.life[1]);
  const float spread = definition_.directionSpread, offset = definition_.directionOffset;
  p.direction = kis::RandomRange(r.direction[0] + offset - spread, r.direction[1] + offset + spread);
  p.speed = kis::RandomRange(r.speed[0], r.speed[1]);
  p.damping = 1.0f;
  p.startScale = p.endScale = 1.0f;
  p.color = 0xFFFFFFFFu;
  if (r.flags & kParticleGravity) p.gravity = kis::RandomRange(r.gravity[0], r.gravity[1]);
  if (r.flags & kParticleDamping) p.damping = kis::RandomRange(r.damping[0], r.damping[1]);
  if (r.flags & kParticleSpin) {
    p.spin = kis::RandomRange(r.spin[0], r.spin[1]);
    const float heading = kis::NormalizeAngle(p.direction);
    if (r.reverseSpin && heading > 90.0f && heading < 270.0f) p.spin = -p.spin;
  }
  if (r.flags & kParticleRotation) p.angle = kis::RandomRange(r.angle[0], r.angle[1]);
  if (r.flags & kParticleScale) {
    p.startScale = kis::RandomRange(r.startScale[0], r.startScale[1]);
    p.endScale = kis::RandomRange(r.endScale[0], r.endScale[1]);
    p.scaleCurve = r.scaleCurve;
  }
  if (r.flags & kParticleFixedColor) p.color = r.color;
  if (r.flags & kParticleColorCurve) p.colorCurve = r.colorCurve;
  if (space_->IsMirrored()) {
    p.spin = -p.spin;
    p.direction = 180.0f - p.direction;
    p.angle = 180.0f - p.angle;
    x = -x;
  }
  return new GPSParticle(space_, p, sprite_, x, y);
}

// The particle tests' world: the sprite rig (game viewer on a recording
// software device, the 17 sets) with an 8 x 8 sprite "spark" loaded in the
// particle set, a clean particle library, the game's generator seeded with 1,
// and helpers that put records straight into the library.
#pragma once

#include <memory>
#include <vector>

#include "base/Random.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSParticle.h"
#include "resources/GPSSpace.h"
#include "resources/ParticleLibrary.h"
#include "resources/Sprite.h"
#include "testsupport/SpriteRig.h"

namespace particletest {

class ParticleRig {
 public:
  ParticleRig() {
    FreeParticleLibrary();
    kis::srand(1);
    DXLTexture* t = sprites.Set(kParticleSpriteSet).GetTextures()->NewTexture();
    t->SetName(u"sparks");
    const std::vector<u8> file = spritetest::Picture(8, 8, 3);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    spark = new Sprite(&sprites.Set(kParticleSpriteSet), u"spark", t, SPRITEGRID{1, 8, 8, 0, 0, {0, 0, 0, 0}}, false,
                       false, 0);
    spark->Init();
  }
  ~ParticleRig() { FreeParticleLibrary(); }
  ParticleRig(const ParticleRig&) = delete;
  ParticleRig& operator=(const ParticleRig&) = delete;

  static const GPSPARAMS* Add(const GPSPARAMS& p) {
    GetParticleLibrary().params.push_back(std::make_unique<GPSPARAMS>(p));
    return GetParticleLibrary().params.back().get();
  }
  static const GPSSYSTEM* Add(const GPSSYSTEM& s) {
    GetParticleLibrary().systems.push_back(std::make_unique<GPSSYSTEM>(s));
    return GetParticleLibrary().systems.back().get();
  }
  static const GPSCURVE* Add(const GPSCURVE& c) {
    GetParticleLibrary().curves.push_back(std::make_unique<GPSCURVE>(c));
    return GetParticleLibrary().curves.back().get();
  }

  // One particle a burst, a burst every `interval` ms, flying right at
  // `speed`, living `life` ms (negative: for ever).
  static GPSPARAMS Params(u32 id, i32 life, float speed) {
    GPSPARAMS p = MakeEmitterParams(id);
    p.count[0] = p.count[1] = 1;
    p.life[0] = p.life[1] = life;
    p.speed[0] = p.speed[1] = speed;
    return p;
  }
  static GPSSYSTEM System(const wchar* name, u32 params, i32 interval) {
    GPSSYSTEM s = MakeParticleSystem(name, params, u"spark");
    s.burstInterval[0] = s.burstInterval[1] = interval;
    return s;
  }

  // The particles of a space in table order.
  static std::vector<GPSParticle*> Particles(const GPSSpace& space) {
    std::vector<GPSParticle*> out;
    space.Particles().ForEach([&](GPSParticle* p) { out.push_back(p); });
    return out;
  }

  spritetest::SpriteRig sprites;
  Sprite* spark = nullptr;  // owned by its set
};

}  // namespace particletest

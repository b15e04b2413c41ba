#include "resources/ParticleRecords.h"

#include <cstring>

#include "base/Identifier.h"
#include "base/LittleEndian.h"
#include "base/Strings.h"

namespace {

using kis::GetF32LE;
using kis::GetI32LE;
using kis::GetU32LE;
using kis::PutF32LE;
using kis::PutI32LE;
using kis::PutU32LE;

void GetPair(const u8* p, i32 (&out)[2]) {
  out[0] = GetI32LE(p);
  out[1] = GetI32LE(p + 4);
}
void GetPair(const u8* p, float (&out)[2]) {
  out[0] = GetF32LE(p);
  out[1] = GetF32LE(p + 4);
}
void PutPair(u8* p, const i32 (&v)[2]) {
  PutI32LE(p, v[0]);
  PutI32LE(p + 4, v[1]);
}
void PutPair(u8* p, const float (&v)[2]) {
  PutF32LE(p, v[0]);
  PutF32LE(p + 4, v[1]);
}

}  // namespace

void ParseEmitterParams(const u8* raw, GPSPARAMS* out) {
  out->size = GetU32LE(raw);
  out->id = GetU32LE(raw + 4);
  out->flags = GetU32LE(raw + 8);
  GetPair(raw + 12, out->count);
  GetPair(raw + 20, out->extra);
  GetPair(raw + 28, out->life);
  GetPair(raw + 36, out->gravity);
  GetPair(raw + 44, out->damping);
  GetPair(raw + 52, out->spin);
  out->reverseSpin = GetU32LE(raw + 60);
  GetPair(raw + 64, out->angle);
  GetPair(raw + 72, out->startScale);
  GetPair(raw + 80, out->endScale);
  out->scaleCurve = GetU32LE(raw + 88);
  out->color = GetU32LE(raw + 92);
  out->colorCurve = GetU32LE(raw + 96);
  GetPair(raw + 100, out->direction);
  GetPair(raw + 108, out->speed);
}

void PutEmitterParams(u8* raw, const GPSPARAMS& r) {
  PutU32LE(raw, kEmitterParamsRecordSize);
  PutU32LE(raw + 4, r.id);
  PutU32LE(raw + 8, r.flags);
  PutPair(raw + 12, r.count);
  PutPair(raw + 20, r.extra);
  PutPair(raw + 28, r.life);
  PutPair(raw + 36, r.gravity);
  PutPair(raw + 44, r.damping);
  PutPair(raw + 52, r.spin);
  PutU32LE(raw + 60, r.reverseSpin);
  PutPair(raw + 64, r.angle);
  PutPair(raw + 72, r.startScale);
  PutPair(raw + 80, r.endScale);
  PutU32LE(raw + 88, r.scaleCurve);
  PutU32LE(raw + 92, r.color);
  PutU32LE(raw + 96, r.colorCurve);
  PutPair(raw + 100, r.direction);
  PutPair(raw + 108, r.speed);
}

void ParseParticleSystem(const u8* raw, GPSSYSTEM* out) {
  out->size = GetU32LE(raw);
  out->shape = GetU32LE(raw + 4);
  out->unused = GetU32LE(raw + 8);
  out->nameId = GetU32LE(raw + 12);
  out->paramsId = GetU32LE(raw + 16);
  out->startDelay = GetI32LE(raw + 20);
  out->cyclePeriod = GetI32LE(raw + 24);
  out->life = GetI32LE(raw + 28);
  GetPair(raw + 32, out->burstInterval);
  out->directionOffset = GetF32LE(raw + 40);
  out->directionSpread = GetF32LE(raw + 44);
  ParseSpriteName(raw + 48, out->sprite);
  for (u32 i = 0; i < 4; ++i) out->sizes[i] = GetF32LE(raw + 112 + 4 * i);
}

void PutParticleSystem(u8* raw, const GPSSYSTEM& r) {
  PutU32LE(raw, kParticleSystemRecordSize);
  PutU32LE(raw + 4, r.shape);
  PutU32LE(raw + 8, r.unused);
  PutU32LE(raw + 12, r.nameId);
  PutU32LE(raw + 16, r.paramsId);
  PutI32LE(raw + 20, r.startDelay);
  PutI32LE(raw + 24, r.cyclePeriod);
  PutI32LE(raw + 28, r.life);
  PutPair(raw + 32, r.burstInterval);
  PutF32LE(raw + 40, r.directionOffset);
  PutF32LE(raw + 44, r.directionSpread);
  PutSpriteName(raw + 48, r.sprite);
  for (u32 i = 0; i < 4; ++i) PutF32LE(raw + 112 + 4 * i, r.sizes[i]);
}

GPSPARAMS MakeEmitterParams(u32 id) {
  GPSPARAMS p;
  std::memset(&p, 0, sizeof p);
  p.size = kEmitterParamsRecordSize;
  p.id = id;
  p.life[0] = p.life[1] = -1;
  return p;
}

GPSSYSTEM MakeParticleSystem(const wchar* name, u32 paramsId, const wchar* sprite) {
  GPSSYSTEM s;
  std::memset(&s, 0, sizeof s);
  s.size = kParticleSystemRecordSize;
  s.nameId = kis::NameId(name);
  s.paramsId = paramsId;
  s.life = -1;
  kis::StrCopy(s.sprite, kSpriteNameSize, sprite);
  return s;
}

std::vector<u8> ParticleSectionBody(const std::vector<GPSCURVE>& curves, const std::vector<GPSPARAMS>& params,
                                    const std::vector<GPSSYSTEM>& systems, u32 total) {
  size_t size = 16 + params.size() * kEmitterParamsRecordSize + systems.size() * kParticleSystemRecordSize;
  for (const GPSCURVE& c : curves) size += 8 + c.points.size() * kCurvePointRecordSize;
  std::vector<u8> out(size);
  u8* at = out.data();
  auto word = [&at](u32 v) {
    PutU32LE(at, v);
    at += 4;
  };
  word(total != 0xFFFFFFFFu ? total : static_cast<u32>(curves.size() + params.size() + systems.size()));
  word(static_cast<u32>(curves.size()));
  for (const GPSCURVE& c : curves) {
    word(c.id);
    word(static_cast<u32>(c.points.size()));
    for (const GPSCURVEPOINT& p : c.points) {
      PutF32LE(at, p.duration);
      at += 4;
      word(p.color);
    }
  }
  word(static_cast<u32>(params.size()));
  for (const GPSPARAMS& p : params) {
    PutEmitterParams(at, p);
    at += kEmitterParamsRecordSize;
  }
  word(static_cast<u32>(systems.size()));
  for (const GPSSYSTEM& s : systems) {
    PutParticleSystem(at, s);
    at += kParticleSystemRecordSize;
  }
  return out;
}

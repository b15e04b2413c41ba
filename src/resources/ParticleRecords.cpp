#include "resources/ParticleRecords.h"

#include <cstring>

#include "base/Identifier.h"
#include "base/LittleEndian.h"
#include "base/RecordFields.h"
#include "base/Strings.h"

namespace {

// --- The layouts: each table is walked by the reader and by the writer -----------------

constexpr RecordField kParamsFields[] = {
    TM_FIELD(GPSPARAMS, size, 0, kU32, 1),         TM_FIELD(GPSPARAMS, id, 4, kU32, 1),
    TM_FIELD(GPSPARAMS, flags, 8, kU32, 1),        TM_FIELD(GPSPARAMS, count, 12, kU32, 2),
    TM_FIELD(GPSPARAMS, extra, 20, kU32, 2),       TM_FIELD(GPSPARAMS, life, 28, kU32, 2),
    TM_FIELD(GPSPARAMS, gravity, 36, kF32, 2),     TM_FIELD(GPSPARAMS, damping, 44, kF32, 2),
    TM_FIELD(GPSPARAMS, spin, 52, kF32, 2),        TM_FIELD(GPSPARAMS, reverseSpin, 60, kU32, 1),
    TM_FIELD(GPSPARAMS, angle, 64, kF32, 2),       TM_FIELD(GPSPARAMS, startScale, 72, kF32, 2),
    TM_FIELD(GPSPARAMS, endScale, 80, kF32, 2),    TM_FIELD(GPSPARAMS, scaleCurve, 88, kU32, 1),
    TM_FIELD(GPSPARAMS, color, 92, kU32, 1),       TM_FIELD(GPSPARAMS, colorCurve, 96, kU32, 1),
    TM_FIELD(GPSPARAMS, direction, 100, kF32, 2),  TM_FIELD(GPSPARAMS, speed, 108, kF32, 2)};
constexpr RecordLayout kParamsLayout = MakeLayout(kEmitterParamsRecordSize, kParamsFields);

constexpr RecordField kSystemFields[] = {
    TM_FIELD(GPSSYSTEM, size, 0, kU32, 1),
    TM_FIELD(GPSSYSTEM, shape, 4, kU32, 1),
    TM_FIELD(GPSSYSTEM, unused, 8, kU32, 1),
    TM_FIELD(GPSSYSTEM, nameId, 12, kU32, 1),
    TM_FIELD(GPSSYSTEM, paramsId, 16, kU32, 1),
    TM_FIELD(GPSSYSTEM, startDelay, 20, kU32, 1),
    TM_FIELD(GPSSYSTEM, cyclePeriod, 24, kU32, 1),
    TM_FIELD(GPSSYSTEM, life, 28, kU32, 1),
    TM_FIELD(GPSSYSTEM, burstInterval, 32, kU32, 2),
    TM_FIELD(GPSSYSTEM, directionOffset, 40, kF32, 1),
    TM_FIELD(GPSSYSTEM, directionSpread, 44, kF32, 1),
    TM_FIELD(GPSSYSTEM, sprite, 48, kText, kSpriteNameSize),
    TM_FIELD(GPSSYSTEM, sizes, 112, kF32, 4)};
constexpr RecordLayout kSystemLayout = MakeLayout(kParticleSystemRecordSize, kSystemFields);

constexpr RecordField kCurvePointFields[] = {TM_FIELD(GPSCURVEPOINT, duration, 0, kF32, 1),
                                             TM_FIELD(GPSCURVEPOINT, color, 4, kU32, 1)};
constexpr RecordLayout kCurvePointLayout = MakeLayout(kCurvePointRecordSize, kCurvePointFields);

static_assert(LayoutFits(kParamsLayout) && LayoutFits(kSystemLayout) && LayoutFits(kCurvePointLayout));

}  // namespace

void ParseEmitterParams(const u8* raw, GPSPARAMS* out) { ReadRecord(kParamsLayout, raw, out); }
void PutEmitterParams(u8* raw, const GPSPARAMS& record) {
  GPSPARAMS sized = record;
  sized.size = kEmitterParamsRecordSize;
  WriteRecord(kParamsLayout, &sized, raw);
}

void ParseParticleSystem(const u8* raw, GPSSYSTEM* out) { ReadRecord(kSystemLayout, raw, out); }
void PutParticleSystem(u8* raw, const GPSSYSTEM& record) {
  GPSSYSTEM sized = record;
  sized.size = kParticleSystemRecordSize;
  WriteRecord(kSystemLayout, &sized, raw);
}

void ParseCurvePoint(const u8* raw, GPSCURVEPOINT* out) { ReadRecord(kCurvePointLayout, raw, out); }
void PutCurvePoint(u8* raw, const GPSCURVEPOINT& point) { WriteRecord(kCurvePointLayout, &point, raw); }

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
    kis::PutU32LE(at, v);
    at += 4;
  };
  word(total != 0xFFFFFFFFu ? total : static_cast<u32>(curves.size() + params.size() + systems.size()));
  word(static_cast<u32>(curves.size()));
  for (const GPSCURVE& c : curves) {
    word(c.id);
    word(static_cast<u32>(c.points.size()));
    for (const GPSCURVEPOINT& p : c.points) {
      PutCurvePoint(at, p);
      at += kCurvePointRecordSize;
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

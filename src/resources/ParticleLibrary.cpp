#include "resources/ParticleLibrary.h"

#include <cmath>
#include <cstdio>

#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "engine/DXLLog.h"
#include "resources/ResourceServices.h"
#include "resources/SectionReading.h"
#include "resources/SpriteSet.h"

namespace {

constexpr u32 kGroupCurves = 1;
constexpr u32 kGroupParams = 2;
constexpr u32 kGroupSystems = 3;
constexpr u32 kGroupClosing = 15;
constexpr u32 kIndexMask = 0x0FFFFFFFu;

// The smallest record of each group, for checking counts against the bytes.
constexpr u32 kMinRecordBytes[4] = {0, 8, kEmitterParamsRecordSize, kParticleSystemRecordSize};

ParticleLibrary& Library() { return GetResourceServices().particles; }

template <class T>
const T* FindById(const std::vector<std::unique_ptr<T>>& records, u32 id, u32 T::*field) {
  if (id == 0) return nullptr;
  for (const auto& r : records)
    if ((*r).*field == id) return r.get();
  return nullptr;
}

bool ReadU32(kis::BaseDataFileReader* reader, u32* value) {
  u8 raw[4];
  if (!reader->Read(raw, 4)) return false;
  *value = kis::GetU32LE(raw);
  return true;
}

// A group's count: it must fit the bytes left at its records' least size.
bool ReadGroupCount(kis::BaseDataFileReader* reader, u32 group, ParticleLibrary& lib) {
  u32 count = 0;
  if (!ReadU32(reader, &count)) return false;
  if (count > kIndexMask || u64(count) * kMinRecordBytes[group] > SectionBytesLeft(reader)) return false;
  lib.loadGroupCount = count;
  return true;
}

// Durations below 0, not a number or infinite count as 0, so the curve's
// total stays a finite sum.
bool ReadCurve(kis::BaseDataFileReader* reader, ParticleLibrary& lib) {
  u8 head[8];
  if (!reader->Read(head, 8)) return false;
  const u32 n = kis::GetU32LE(head + 4);
  if (n > kMaxCurvePoints) return false;
  u8 raw[kMaxCurvePoints * kCurvePointRecordSize];
  if (n > 0 && !reader->Read(raw, n * kCurvePointRecordSize)) return false;
  auto curve = std::make_unique<GPSCURVE>();
  curve->id = kis::GetU32LE(head);
  curve->total = 0.0f;
  for (u32 i = 0; i < n; ++i) {
    GPSCURVEPOINT p;
    ParseCurvePoint(raw + i * kCurvePointRecordSize, &p);
    if (!(p.duration >= 0.0f) || std::isinf(p.duration)) p.duration = 0.0f;
    curve->points.push_back(p);
    curve->total += p.duration;
  }
  lib.curves.push_back(std::move(curve));
  return true;
}

bool ReadParams(kis::BaseDataFileReader* reader, ParticleLibrary& lib) {
  u8 raw[kEmitterParamsRecordSize];
  if (!reader->Read(raw, sizeof raw)) return false;
  auto record = std::make_unique<GPSPARAMS>();
  ParseEmitterParams(raw, record.get());
  if (record->size != kEmitterParamsRecordSize) return false;
  lib.params.push_back(std::move(record));
  return true;
}

bool ReadSystem(kis::BaseDataFileReader* reader, ParticleLibrary& lib) {
  u8 raw[kParticleSystemRecordSize];
  if (!reader->Read(raw, sizeof raw)) return false;
  auto record = std::make_unique<GPSSYSTEM>();
  ParseParticleSystem(raw, record.get());
  if (record->size != kParticleSystemRecordSize) return false;
  lib.systems.push_back(std::move(record));
  return true;
}

}  // namespace

ParticleLibrary& GetParticleLibrary() { return Library(); }

void FreeParticleLibrary() {
  ParticleLibrary& lib = Library();
  lib.curves.clear();
  lib.params.clear();
  lib.systems.clear();
  lib.spriteSet = nullptr;
  lib.maxStep = 10.0f;
  lib.loadRead = 0;
  lib.loadGroupCount = 0;
}

SpriteSet* GetParticleSpriteSet() {
  SpriteSet* set = Library().spriteSet;
  return set ? set : GetSpriteSet(kParticleSpriteSet);
}

void SetParticleMaxStep(float ms) { Library().maxStep = ms >= 1.0f && std::isfinite(ms) ? ms : 1.0f; }

const GPSSYSTEM* FindParticleSystem(u32 nameId) {
  const GPSSYSTEM* system = FindById(Library().systems, nameId, &GPSSYSTEM::nameId);
  if (!system && nameId != 0) {
    char id[16];
    std::snprintf(id, sizeof id, "0x%08X", nameId);  // the systems are found by their name's id
    DXLLogLookupMissA("particle system", id);
  }
  return system;
}
const GPSPARAMS* FindEmitterParams(u32 id) { return FindById(Library().params, id, &GPSPARAMS::id); }
const GPSCURVE* FindCurve(u32 id) { return FindById(Library().curves, id, &GPSCURVE::id); }

// Each call takes one record at a time; moving to the next group reads its
// count, and after the third group the section is closed.
i32 LoadParticleSystems(kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  if (!cursor) return 1;
  if (!reader) return FinishSection(reader, cursor, true);
  ParticleLibrary& lib = Library();
  if (cursor->done == 0) {
    lib.loadRead = 0;
    if (!reader->OpenSection(kParticleSectionId, kParticleSectionSubId) || !ReadU32(reader, &cursor->total) ||
        !ReadGroupCount(reader, kGroupCurves, lib))
      return FinishSection(reader, cursor, true);
    cursor->done = kGroupCurves << 28;
  } else {
    const kis::DATAFILEENTRY* open = reader->GetOpenEntry();
    if (!open || open->id != kParticleSectionId || open->subId != kParticleSectionSubId)
      return FinishSection(reader, cursor, true);
  }
  for (;;) {
    const u32 group = cursor->done >> 28, index = cursor->done & kIndexMask;
    if (group < kGroupCurves || group > kGroupSystems) break;
    if (index >= lib.loadGroupCount) {
      if (group == kGroupSystems) {
        cursor->done = kGroupClosing << 28;
        break;
      }
      if (!ReadGroupCount(reader, group + 1, lib)) return FinishSection(reader, cursor, true);
      cursor->done = (group + 1) << 28;
      continue;
    }
    const bool read = group == kGroupCurves   ? ReadCurve(reader, lib)
                      : group == kGroupParams ? ReadParams(reader, lib)
                                              : ReadSystem(reader, lib);
    if (!read) return FinishSection(reader, cursor, true);
    ++cursor->done;
    ++lib.loadRead;
    const float progress =
        cursor->total > 0 && lib.loadRead < cursor->total ? static_cast<float>(lib.loadRead) / cursor->total : 1.0f;
    if (StepLoadingProgress(progress)) return 0;
  }
  return FinishSection(reader, cursor, cursor->done != kGroupClosing << 28);
}

#include "content/MainScreenSection.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "base/LittleEndian.h"
#include "base/RecordFields.h"
#include "content/ContentSections.h"

namespace {

constexpr RecordField kMainScreenEntryFields[] = {
    TM_FIELD(MAINSCREENENTRY, name, 0, kText, 32), TM_FIELD(MAINSCREENENTRY, x1, 64, kU32, 1),
    TM_FIELD(MAINSCREENENTRY, y1, 68, kU32, 1),    TM_FIELD(MAINSCREENENTRY, x2, 72, kU32, 1),
    TM_FIELD(MAINSCREENENTRY, y2, 76, kU32, 1),    TM_FIELD(MAINSCREENENTRY, colour, 80, kU32, 1)};
constexpr RecordLayout kMainScreenEntryLayout = MakeLayout(kMainScreenEntrySize, kMainScreenEntryFields);

constexpr RecordField kMainScreenLightFields[] = {
    TM_FIELD(MAINSCREENLIGHTINFO, angle, 0, kF32, 1),        TM_FIELD(MAINSCREENLIGHTINFO, startX, 4, kF32, 1),
    TM_FIELD(MAINSCREENLIGHTINFO, endX, 8, kF32, 1),         TM_FIELD(MAINSCREENLIGHTINFO, minDuration, 12, kU32, 1),
    TM_FIELD(MAINSCREENLIGHTINFO, maxDuration, 16, kU32, 1), TM_FIELD(MAINSCREENLIGHTINFO, fadeIn, 20, kU32, 1),
    TM_FIELD(MAINSCREENLIGHTINFO, fadeOut, 24, kU32, 1),     TM_FIELD(MAINSCREENLIGHTINFO, minPause, 28, kU32, 1),
    TM_FIELD(MAINSCREENLIGHTINFO, maxPause, 32, kU32, 1),    TM_FIELD(MAINSCREENLIGHTINFO, blend, 36, kU32, 1)};
constexpr RecordLayout kMainScreenLightLayout = MakeLayout(kMainScreenLightSize, kMainScreenLightFields);

constexpr RecordField kMainScreenParticleFields[] = {
    TM_FIELD(MAINSCREENPARTICLE, systemId, 0, kU32, 1), TM_FIELD(MAINSCREENPARTICLE, x, 4, kU32, 1),
    TM_FIELD(MAINSCREENPARTICLE, y, 8, kU32, 1), TM_FIELD(MAINSCREENPARTICLE, angle, 12, kF32, 1)};
constexpr RecordLayout kMainScreenParticleLayout = MakeLayout(kMainScreenParticleSize, kMainScreenParticleFields);

constexpr RecordField kMainScreenLayerFields[] = {
    TM_FIELD(MAINSCREENLAYERINFO, kind, 0, kU32, 1), TM_FIELD(MAINSCREENLAYERINFO, depth, 4, kF32, 1),
    TM_FIELD(MAINSCREENLAYERINFO, zoom, 8, kF32, 1), TM_FIELD(MAINSCREENLAYERINFO, count, 12, kU32, 1),
    TM_RECORDS(MAINSCREENLAYERINFO, entries, 16, kMainScreenEntryLayout, kMainScreenMaxEntries)};
constexpr RecordLayout kMainScreenLayerLayout = MakeLayout(kMainScreenLayerSize, kMainScreenLayerFields);
constexpr RecordField kMainScreenLightsFields[] = {
    TM_RECORDS(MAINSCREENLAYERINFO, lights, kMainScreenExtraOffset, kMainScreenLightLayout, kMainScreenMaxEntries)};
constexpr RecordLayout kMainScreenLightsLayout = MakeLayout(kMainScreenLayerSize, kMainScreenLightsFields);
constexpr RecordField kMainScreenParticlesFields[] = {TM_RECORDS(
    MAINSCREENLAYERINFO, particles, kMainScreenExtraOffset, kMainScreenParticleLayout, kMainScreenMaxEntries)};
constexpr RecordLayout kMainScreenParticlesLayout = MakeLayout(kMainScreenLayerSize, kMainScreenParticlesFields);
static_assert(LayoutFits(kMainScreenLayerLayout) && LayoutFits(kMainScreenLightsLayout) &&
              LayoutFits(kMainScreenParticlesLayout));

// Bounds given high before low are swapped; a blend mode past the last is the last.
void MakeLightSafe(MAINSCREENLIGHTINFO& l) {
  if (l.minDuration > l.maxDuration) std::swap(l.minDuration, l.maxDuration);
  if (l.minPause > l.maxPause) std::swap(l.minPause, l.maxPause);
  l.blend = std::min<u32>(l.blend, 4);
}

}  // namespace

void ParseMainScreenLayer(const u8* raw, MAINSCREENLAYERINFO* out) {
  *out = MAINSCREENLAYERINFO{};
  ReadRecord(kMainScreenLayerLayout, raw, out);
  out->count = std::min(out->count, kMainScreenMaxEntries);
  if (out->kind == kMainScreenLight) {
    ReadRecord(kMainScreenLightsLayout, raw, out);
    for (MAINSCREENLIGHTINFO& l : out->lights) MakeLightSafe(l);
  } else if (out->kind == kMainScreenParticles) {
    ReadRecord(kMainScreenParticlesLayout, raw, out);
  }
}

void PutMainScreenLayer(u8* raw, const MAINSCREENLAYERINFO& layer) {
  WriteRecord(kMainScreenLayerLayout, &layer, raw);
  if (layer.kind == kMainScreenLight) WriteRecordFields(kMainScreenLightsLayout, &layer, raw);
  else if (layer.kind == kMainScreenParticles) WriteRecordFields(kMainScreenParticlesLayout, &layer, raw);
}

i32 MainScreenLayers::ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  if (!cursor) return 1;
  layers_.clear();
  if (!OpenDataSection(reader, kMainScreenSectionId, kMainScreenSectionSubId)) {
    cursor->error = 1;
    return 1;
  }
  u8 word[4];
  bool ok = ReadDataSection(reader, word, 4);
  const u32 count = ok ? kis::GetU32LE(word) : 0;
  // The count is held against the bytes that are there before anything is made.
  if (ok && u64{count} * kMainScreenLayerSize > DataSectionBytesLeft(reader)) ok = false;
  std::vector<u8> raw(kMainScreenLayerSize);
  for (u32 i = 0; ok && i < count; ++i) {
    if (!ReadDataSection(reader, raw.data(), kMainScreenLayerSize)) {
      ok = false;
      break;
    }
    MAINSCREENLAYERINFO layer;
    ParseMainScreenLayer(raw.data(), &layer);
    layers_.push_back(layer);
  }
  if (!ok) layers_.clear();
  EndDataSection(reader, cursor, !ok);
  if (cursor->error) layers_.clear();
  cursor->done = cursor->total = static_cast<u32>(layers_.size());
  return 1;
}

std::vector<u8> MainScreenSection(const std::vector<MAINSCREENLAYERINFO>& layers) {
  std::vector<u8> out(4 + layers.size() * kMainScreenLayerSize, 0);
  kis::PutU32LE(out.data(), static_cast<u32>(layers.size()));
  for (size_t i = 0; i < layers.size(); ++i) PutMainScreenLayer(out.data() + 4 + i * kMainScreenLayerSize, layers[i]);
  return out;
}

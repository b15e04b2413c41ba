#include "content/MapSection.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/LittleEndian.h"
#include "base/RecordFields.h"
#include "content/ContentSections.h"

namespace {

// --- The layouts: each table is walked by the reader and by the writer -----------------

constexpr RecordField kWaterFields[] = {TM_FIELD(MAPWATERINFO, x, 0, kU32, 1), TM_FIELD(MAPWATERINFO, y, 4, kU32, 1),
                                        TM_FIELD(MAPWATERINFO, frameTime, 8, kU32, 1)};
constexpr RecordLayout kWaterLayout = MakeLayout(kMapWaterInfoSize, kWaterFields);

constexpr RecordField kParticleFields[] = {
    TM_FIELD(MAPPARTICLE, systemId, 0, kU32, 1), TM_FIELD(MAPPARTICLE, x, 4, kU32, 1),
    TM_FIELD(MAPPARTICLE, y, 8, kU32, 1), TM_FIELD(MAPPARTICLE, angle, 12, kF32, 1)};
constexpr RecordLayout kParticleLayout = MakeLayout(kMapParticleSize, kParticleFields);

// What every item has; then the body of its kind over the same bytes.
constexpr RecordField kItemFields[] = {TM_FIELD(MAPNODEITEM, kind, 0, kU32, 1),
                                       TM_FIELD(MAPNODEITEM, stateMask, 4, kU32, 1)};
constexpr RecordLayout kItemLayout = MakeLayout(kMapNodeItemSize, kItemFields);

constexpr RecordField kSpriteFields[] = {
    TM_FIELD(MAPNODEITEM, sprite, 8, kText, 32),     TM_FIELD(MAPNODEITEM, x, 72, kU32, 1),
    TM_FIELD(MAPNODEITEM, y, 76, kU32, 1),           TM_FIELD(MAPNODEITEM, imageFlag, 80, kBytes, 1),
    TM_FIELD(MAPNODEITEM, scale, 84, kF32, 1),       TM_FIELD(MAPNODEITEM, frameTime, 88, kU32, 1),
    TM_FIELD(MAPNODEITEM, frameMode, 92, kU32, 1)};
constexpr RecordLayout kSpriteLayout = MakeLayout(kMapNodeItemSize, kSpriteFields);

constexpr RecordField kSignFields[] = {TM_FIELD(MAPNODEITEM, x, 8, kU32, 1), TM_FIELD(MAPNODEITEM, y, 12, kU32, 1)};
constexpr RecordLayout kSignLayout = MakeLayout(kMapNodeItemSize, kSignFields);

constexpr RecordField kMapEmitterFields[] = {TM_FIELD(MAPNODEEMITTER, systemId, 0, kU32, 1),
                                          TM_FIELD(MAPNODEEMITTER, x, 4, kU32, 1),
                                          TM_FIELD(MAPNODEEMITTER, y, 8, kU32, 1)};
constexpr RecordLayout kEmitterLayout = MakeLayout(12, kMapEmitterFields);

constexpr RecordField kParticlesFields[] = {
    TM_FIELD(MAPNODEITEM, emitterScale, 8, kF32, 1), TM_FIELD(MAPNODEITEM, emitterCount, 12, kU32, 1),
    TM_RECORDS(MAPNODEITEM, emitters, 16, kEmitterLayout, kMapNodeEmitterMax)};
constexpr RecordLayout kParticlesLayout = MakeLayout(kMapNodeItemSize, kParticlesFields);

constexpr RecordField kRawFields[] = {TM_FIELD(MAPNODEITEM, body, 8, kBytes, kMapItemBodySize)};
constexpr RecordLayout kRawLayout = MakeLayout(kMapNodeItemSize, kRawFields);

static_assert(LayoutFits(kWaterLayout) && LayoutFits(kParticleLayout) && LayoutFits(kItemLayout) &&
              LayoutFits(kSpriteLayout) && LayoutFits(kSignLayout) && LayoutFits(kEmitterLayout) &&
              LayoutFits(kParticlesLayout) && LayoutFits(kRawLayout));
static_assert(16 + kMapNodeEmitterMax * 12 == kMapNodeItemSize);

const RecordLayout& BodyOf(u32 kind) {
  switch (kind) {
    case kMapItemSprite:
    case kMapItemSpot: return kSpriteLayout;
    case kMapItemSign: return kSignLayout;
    case kMapItemParticles: return kParticlesLayout;
    default: return kRawLayout;
  }
}

constexpr u32 kFixedTail = kLevelCount * kMapNodeSize + kMapParticleCount * kMapParticleSize;

}  // namespace

void ParseMapNodeItem(const u8* raw, MAPNODEITEM* out) {
  *out = MAPNODEITEM{};
  ReadRecord(kItemLayout, raw, out);
  ReadRecord(BodyOf(out->kind), raw, out);
  // An item the node cannot show is refused (it makes nothing): emitter
  // positions are divided by the scale, and only 89 emitters fit; a
  // picture's scale must be a size.
  if (out->kind == kMapItemParticles &&
      (!std::isfinite(out->emitterScale) || out->emitterScale == 0.0f || out->emitterCount > kMapNodeEmitterMax))
    out->kind = 0;
  if ((out->kind == kMapItemSprite || out->kind == kMapItemSpot) && !(std::isfinite(out->scale) && out->scale > 0.0f))
    out->kind = 0;
}

void PutMapNodeItem(u8* raw, const MAPNODEITEM& item) {
  WriteRecord(kItemLayout, &item, raw);
  WriteRecordFields(BodyOf(item.kind), &item, raw);
}

bool ParseMapNode(const u8* raw, MAPNODE* out) {
  const u32 count = kis::GetU32LE(raw);
  if (count > kMapNodeItemSlots) return false;
  out->itemCount = count;
  for (u32 i = 0; i < kMapNodeItemSlots; ++i) {
    if (i < out->itemCount) ParseMapNodeItem(raw + 4 + i * kMapNodeItemSize, &out->items[i]);
    else out->items[i] = MAPNODEITEM{};
  }
  return true;
}

void PutMapNode(u8* raw, const MAPNODE& node) {
  kis::PutU32LE(raw, node.itemCount);
  for (u32 i = 0; i < kMapNodeItemSlots; ++i) {
    u8* slot = raw + 4 + i * kMapNodeItemSize;
    if (i < node.itemCount) PutMapNodeItem(slot, node.items[i]);
    else std::memset(slot, 0, kMapNodeItemSize);
  }
}

i32 ReadMapSection(kis::BaseDataFileReader* reader, SectionCursor* cursor, MapSectionData* out) {
  if (!cursor) return 1;
  if (!out || !OpenDataSection(reader, kMapSectionId, kMapSectionSubId)) return EndDataSection(reader, cursor, true);
  u8 word[4];
  if (!ReadDataSection(reader, word, 4)) return EndDataSection(reader, cursor, true);
  // The count must leave room for the nodes and the emitters behind it.
  const u32 waters = kis::GetU32LE(word);
  const u32 left = DataSectionBytesLeft(reader);
  if (left < kFixedTail || waters > (left - kFixedTail) / kMapWaterInfoSize) return EndDataSection(reader, cursor, true);
  std::vector<u8> raw(kMapNodeSize);
  out->waters.assign(waters, MAPWATERINFO{});
  for (MAPWATERINFO& w : out->waters) {
    if (!ReadDataSection(reader, raw.data(), kMapWaterInfoSize)) return EndDataSection(reader, cursor, true);
    ReadRecord(kWaterLayout, raw.data(), &w);
  }
  out->nodes.assign(kLevelCount, MAPNODE{});
  for (MAPNODE& node : out->nodes)
    if (!ReadDataSection(reader, raw.data(), kMapNodeSize) || !ParseMapNode(raw.data(), &node))
      return EndDataSection(reader, cursor, true);
  for (MAPPARTICLE& p : out->particles) {
    if (!ReadDataSection(reader, raw.data(), kMapParticleSize)) return EndDataSection(reader, cursor, true);
    ReadRecord(kParticleLayout, raw.data(), &p);
  }
  return EndDataSection(reader, cursor, false);
}

std::vector<u8> MapSection(const MapSectionData& data) {
  std::vector<u8> body(4 + data.waters.size() * kMapWaterInfoSize + data.nodes.size() * kMapNodeSize +
                           kMapParticleCount * kMapParticleSize,
                       0);
  u8* at = body.data();
  kis::PutU32LE(at, static_cast<u32>(data.waters.size()));
  at += 4;
  for (const MAPWATERINFO& w : data.waters) {
    WriteRecord(kWaterLayout, &w, at);
    at += kMapWaterInfoSize;
  }
  for (const MAPNODE& node : data.nodes) {
    PutMapNode(at, node);
    at += kMapNodeSize;
  }
  for (const MAPPARTICLE& p : data.particles) {
    WriteRecord(kParticleLayout, &p, at);
    at += kMapParticleSize;
  }
  return body;
}

u32 ParseMapCharEntries(const MAPNODEITEM& item, MAPCHARENTRY* out) {
  const u8* body = item.body;
  const u32 count = std::min(kis::GetU32LE(body), kMapCharEntries);
  for (u32 i = 0; i < count; ++i) {
    const u8* e = body + 4 + i * kMapCharEntrySize;
    MAPCHARENTRY& r = out[i];
    r = MAPCHARENTRY{};
    r.kind = kis::GetU32LE(e);
    if (r.kind == kMapCharChicken) {
      r.count = kis::GetU32LE(e + 4);
      r.shapeCount = std::min(kis::GetU32LE(e + 8), kMapCharShapes);
      for (u32 k = 0; k < kMapCharShapes; ++k) {
        const u8* s = e + 12 + k * 32;
        r.shapes[k].kind = kis::GetU32LE(s);
        for (u32 w = 0; w < 7; ++w) r.shapes[k].words[w] = kis::GetU32LE(s + 4 + 4 * w);
      }
    } else {
      r.x = kis::GetI32LE(e + 4);
      r.y = kis::GetI32LE(e + 8);
      r.direction = kis::GetI32LE(e + 12);
    }
  }
  return count;
}

void PutMapCharEntries(MAPNODEITEM* item, const MAPCHARENTRY* entries, u32 count) {
  count = std::min(count, kMapCharEntries);
  std::memset(item->body, 0, sizeof item->body);
  kis::PutU32LE(item->body, count);
  for (u32 i = 0; i < count; ++i) {
    u8* e = item->body + 4 + i * kMapCharEntrySize;
    const MAPCHARENTRY& r = entries[i];
    kis::PutU32LE(e, r.kind);
    if (r.kind == kMapCharChicken) {
      kis::PutU32LE(e + 4, r.count);
      kis::PutU32LE(e + 8, r.shapeCount);
      for (u32 k = 0; k < kMapCharShapes; ++k) {
        u8* s = e + 12 + k * 32;
        kis::PutU32LE(s, r.shapes[k].kind);
        for (u32 w = 0; w < 7; ++w) kis::PutU32LE(s + 4 + 4 * w, r.shapes[k].words[w]);
      }
    } else {
      kis::PutU32LE(e + 4, static_cast<u32>(r.x));
      kis::PutU32LE(e + 8, static_cast<u32>(r.y));
      kis::PutU32LE(e + 12, static_cast<u32>(r.direction));
    }
  }
}

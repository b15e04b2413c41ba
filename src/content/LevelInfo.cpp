#include "content/LevelInfo.h"

#include <cmath>
#include <cstring>

#include "base/LittleEndian.h"
#include "content/ContentArchive.h"

using kis::GetF32LE;
using kis::GetI32LE;
using kis::GetU16LE;
using kis::GetU32LE;
using kis::PutF32LE;
using kis::PutI32LE;
using kis::PutU16LE;
using kis::PutU32LE;

namespace {

constexpr u32 kRegimeOffset = 72;
constexpr u32 kRegimeSize = 64;
constexpr u32 kVillainSlotOffset = 1132;
constexpr u32 kVillainSlotSize = 20;

void ParseRegime(const u8* raw, LEVELREGIME* r) {
  r->bronze = GetI32LE(raw);
  r->silver = GetI32LE(raw + 4);
  r->gold = GetI32LE(raw + 8);
  r->taskCount = GetU32LE(raw + 12);
  for (u32 i = 0; i < kMaxLevelTasks; ++i) {
    const u8* t = raw + 16 + 16 * i;
    r->tasks[i] = LEVELTASK{GetU32LE(t), GetU32LE(t + 4), GetI32LE(t + 8), GetI32LE(t + 12)};
  }
}

void PutRegime(u8* raw, const LEVELREGIME& r) {
  PutI32LE(raw, r.bronze);
  PutI32LE(raw + 4, r.silver);
  PutI32LE(raw + 8, r.gold);
  PutU32LE(raw + 12, r.taskCount);
  for (u32 i = 0; i < kMaxLevelTasks; ++i) {
    u8* t = raw + 16 + 16 * i;
    PutU32LE(t, r.tasks[i].kind);
    PutU32LE(t + 4, r.tasks[i].item);
    PutI32LE(t + 8, r.tasks[i].minLevel);
    PutI32LE(t + 12, r.tasks[i].target);
  }
}

void ParsePairs(const u8* raw, KINDPAIR* out, u32 n) {
  for (u32 i = 0; i < n; ++i) out[i] = KINDPAIR{GetU32LE(raw + 8 * i), GetI32LE(raw + 8 * i + 4)};
}
void ParsePairs(const u8* raw, STOCKPAIR* out, u32 n) {
  for (u32 i = 0; i < n; ++i) out[i] = STOCKPAIR{GetU32LE(raw + 8 * i), GetI32LE(raw + 8 * i + 4)};
}
void PutPairs(u8* raw, const KINDPAIR* in, u32 n) {
  for (u32 i = 0; i < n; ++i) {
    PutU32LE(raw + 8 * i, in[i].id);
    PutI32LE(raw + 8 * i + 4, in[i].value);
  }
}
void PutPairs(u8* raw, const STOCKPAIR* in, u32 n) {
  for (u32 i = 0; i < n; ++i) {
    PutU32LE(raw + 8 * i, in[i].product);
    PutI32LE(raw + 8 * i + 4, in[i].count);
  }
}

void ParseFloats(const u8* raw, float* out, u32 n) {
  for (u32 i = 0; i < n; ++i) out[i] = GetF32LE(raw + 4 * i);
}

void PutFloats(u8* raw, const float* in, u32 n) {
  for (u32 i = 0; i < n; ++i) PutF32LE(raw + 4 * i, in[i]);
}

// --- Array records -----------------------------------------------------------------

void ParseEntry(const u8* raw, GROUNDPLACEMENT* g) {
  *g = GROUNDPLACEMENT{GetI32LE(raw), GetI32LE(raw + 4), raw[8], GetU32LE(raw + 12)};
}
void PutEntry(u8* raw, const GROUNDPLACEMENT& g) {
  PutI32LE(raw, g.x);
  PutI32LE(raw + 4, g.y);
  raw[8] = g.layer;
  PutU32LE(raw + 12, g.groundId);
}

void ParseEntry(const u8* raw, MAPOBJECTDEF* d) {
  *d = MAPOBJECTDEF{};
  d->type = GetU32LE(raw);
  ParseWideField(raw + 4, d->name);
  d->layer = GetU32LE(raw + 68);
  d->x = GetI32LE(raw + 72);
  d->y = GetI32LE(raw + 76);
  if (d->type == kMapObjectEmitter) {
    d->systemId = GetU32LE(raw + 80);
    d->sortX = static_cast<i16>(GetU16LE(raw + 84));
    d->sortY = static_cast<i16>(GetU16LE(raw + 86));
    d->spaceParam = GetU32LE(raw + 88);
  } else {
    d->kind = GetU32LE(raw + 80);
    d->mirrored = raw[84];
  }
}
void PutEntry(u8* raw, const MAPOBJECTDEF& d) {
  PutU32LE(raw, d.type);
  PutWideField(raw + 4, d.name);
  PutU32LE(raw + 68, d.layer);
  PutI32LE(raw + 72, d.x);
  PutI32LE(raw + 76, d.y);
  if (d.type == kMapObjectEmitter) {
    PutU32LE(raw + 80, d.systemId);
    PutU16LE(raw + 84, static_cast<u16>(d.sortX));
    PutU16LE(raw + 86, static_cast<u16>(d.sortY));
    PutU32LE(raw + 88, d.spaceParam);
  } else {
    PutU32LE(raw + 80, d.kind);
    raw[84] = d.mirrored;
  }
}

void ParseEntry(const u8* raw, OBSTACLEDEF* o) {
  *o = OBSTACLEDEF{GetU32LE(raw), GetI32LE(raw + 4), GetI32LE(raw + 8), GetI32LE(raw + 12), GetI32LE(raw + 16)};
}
void PutEntry(u8* raw, const OBSTACLEDEF& o) {
  PutU32LE(raw, o.mask);
  PutI32LE(raw + 4, o.x);
  PutI32LE(raw + 8, o.y);
  PutI32LE(raw + 12, o.width);
  PutI32LE(raw + 16, o.height);
}

void ParseEntry(const u8* raw, POINTDEF* p) {
  *p = POINTDEF{GetU32LE(raw),      GetI32LE(raw + 4), GetU32LE(raw + 8), GetU32LE(raw + 12),
                {GetU32LE(raw + 16), GetU32LE(raw + 20)}, GetI32LE(raw + 24), GetI32LE(raw + 28), raw[32]};
}
void PutEntry(u8* raw, const POINTDEF& p) {
  PutU32LE(raw, p.kind);
  PutI32LE(raw + 4, p.level);
  PutU32LE(raw + 8, p.id);
  PutU32LE(raw + 12, p.price);
  PutU32LE(raw + 16, p.extra[0]);
  PutU32LE(raw + 20, p.extra[1]);
  PutI32LE(raw + 24, p.x);
  PutI32LE(raw + 28, p.y);
  raw[32] = p.mark;
}

void ParseEntry(const u8* raw, WAVEDEF* w) { *w = WAVEDEF{GetI32LE(raw), GetU32LE(raw + 4), GetU32LE(raw + 8)}; }
void PutEntry(u8* raw, const WAVEDEF& w) {
  PutI32LE(raw, w.slot);
  PutU32LE(raw + 4, w.villainKind);
  PutU32LE(raw + 8, w.delay);
}

void ParseEntry(const u8* raw, EMITTERDEF* e) {
  *e = EMITTERDEF{GetU32LE(raw), GetI32LE(raw + 4), GetI32LE(raw + 8), GetF32LE(raw + 12)};
}
void PutEntry(u8* raw, const EMITTERDEF& e) {
  PutU32LE(raw, e.systemId);
  PutI32LE(raw + 4, e.x);
  PutI32LE(raw + 8, e.y);
  PutF32LE(raw + 12, e.angle);
}

void ParseEntry(const u8* raw, INFOENTRY* e) {
  e->blockKind = GetU32LE(raw);
  e->itemKind = GetU32LE(raw + 4);
  ParseWideField(raw + 8, e->itemName);
  ParseWideField(raw + 72, e->textKey);
  ParseWideField(raw + 136, e->spriteName);
  ParseWideField(raw + 200, e->imageName);
  e->imageX = GetI32LE(raw + 264);
  e->imageY = GetI32LE(raw + 268);
  e->spaceBefore = GetI32LE(raw + 272);
  e->spaceAfter = GetI32LE(raw + 276);
}
void PutEntry(u8* raw, const INFOENTRY& e) {
  PutU32LE(raw, e.blockKind);
  PutU32LE(raw + 4, e.itemKind);
  PutWideField(raw + 8, e.itemName);
  PutWideField(raw + 72, e.textKey);
  PutWideField(raw + 136, e.spriteName);
  PutWideField(raw + 200, e.imageName);
  PutI32LE(raw + 264, e.imageX);
  PutI32LE(raw + 268, e.imageY);
  PutI32LE(raw + 272, e.spaceBefore);
  PutI32LE(raw + 276, e.spaceAfter);
}

template <class T>
void ParseEntries(const u8* raw, u32 count, u32 size, std::vector<T>* out) {
  out->assign(count, T{});
  for (u32 i = 0; i < count; ++i) ParseEntry(raw + size_t(i) * size, &(*out)[i]);
}

template <class T>
void PutEntries(const std::vector<T>& in, u32 size, std::vector<u8>* out) {
  const size_t at = out->size();
  out->resize(at + in.size() * size, 0);
  for (size_t i = 0; i < in.size(); ++i) PutEntry(out->data() + at + i * size, in[i]);
}

bool Finite(const float* v, u32 n) {
  for (u32 i = 0; i < n; ++i)
    if (!std::isfinite(v[i])) return false;
  return true;
}

u32 ArrayCount(const LEVELINFO& l, u32 array) {
  switch (array) {
    case kLevelGround: return static_cast<u32>(l.ground.size());
    case kLevelDecorations: return static_cast<u32>(l.decorations.size());
    case kLevelObstacles: return static_cast<u32>(l.obstacles.size());
    case kLevelPoints: return static_cast<u32>(l.points.size());
    case kLevelWaves: return static_cast<u32>(l.waves.size());
    case kLevelEmitters: return static_cast<u32>(l.emitters.size());
    default: return static_cast<u32>(l.intro.size());
  }
}

}  // namespace

void ParseLevelFixed(const u8* raw, LEVELINFO* out, LEVELCOUNTS* counts) {
  std::memcpy(out->head, raw, sizeof out->head);
  out->mapCell = GetI32LE(raw + 64);
  out->mapGroup = GetI32LE(raw + 68);
  for (u32 r = 0; r < kLevelRegimes; ++r) ParseRegime(raw + kRegimeOffset + r * kRegimeSize, &out->regimes[r]);
  out->startMoney = GetI32LE(raw + 200);
  out->bonusId = GetI32LE(raw + 204);
  out->restoreCheck = GetU32LE(raw + 208);
  ParseFloats(raw + 212, out->baseRates, 6);
  out->plantCount = GetU32LE(raw + 236);
  ParsePairs(raw + 240, out->plants, kMaxLevelPlants);
  out->buildingCount = GetU32LE(raw + 264);
  ParsePairs(raw + 268, out->buildings, kMaxLevelBuildings);
  out->stockCount = GetU32LE(raw + 364);
  ParsePairs(raw + 368, out->stock, kMaxLevelStock);
  ParseFloats(raw + 880, out->chargeFactors, 6);
  ParseWideField(raw + 904, out->music);
  out->playerX = GetI32LE(raw + 972);
  out->playerY = GetI32LE(raw + 976);
  ParseWideField(raw + 980, out->emptyPlaceSprite);
  ParseWideField(raw + 1048, out->treeSpotSprite);
  out->villainSlotCount = GetU32LE(raw + 1128);
  for (u32 i = 0; i < kMaxVillainSlots; ++i) {
    const u8* s = raw + kVillainSlotOffset + i * kVillainSlotSize;
    out->villainSlots[i] = VILLAINSLOT{GetI32LE(s), GetI32LE(s + 4), GetI32LE(s + 8), GetI32LE(s + 12), GetI32LE(s + 16)};
  }
  out->firstRepeatWave = GetI32LE(raw + 1456);
  out->repeatLength = GetI32LE(raw + 1460);
  counts->of[kLevelIntro] = GetU32LE(raw + 968);
  counts->of[kLevelGround] = GetU32LE(raw + 1112);
  counts->of[kLevelDecorations] = GetU32LE(raw + 1116);
  counts->of[kLevelObstacles] = GetU32LE(raw + 1120);
  counts->of[kLevelPoints] = GetU32LE(raw + 1124);
  counts->of[kLevelWaves] = GetU32LE(raw + 1452);
  counts->of[kLevelEmitters] = GetU32LE(raw + 1464);
}

void PutLevelFixed(u8* raw, const LEVELINFO& l) {
  std::memset(raw, 0, kLevelFixedSize);
  std::memcpy(raw, l.head, sizeof l.head);
  PutI32LE(raw + 64, l.mapCell);
  PutI32LE(raw + 68, l.mapGroup);
  for (u32 r = 0; r < kLevelRegimes; ++r) PutRegime(raw + kRegimeOffset + r * kRegimeSize, l.regimes[r]);
  PutI32LE(raw + 200, l.startMoney);
  PutI32LE(raw + 204, l.bonusId);
  PutU32LE(raw + 208, l.restoreCheck);
  PutFloats(raw + 212, l.baseRates, 6);
  PutU32LE(raw + 236, l.plantCount);
  PutPairs(raw + 240, l.plants, kMaxLevelPlants);
  PutU32LE(raw + 264, l.buildingCount);
  PutPairs(raw + 268, l.buildings, kMaxLevelBuildings);
  PutU32LE(raw + 364, l.stockCount);
  PutPairs(raw + 368, l.stock, kMaxLevelStock);
  PutFloats(raw + 880, l.chargeFactors, 6);
  PutWideField(raw + 904, l.music);
  PutU32LE(raw + 968, ArrayCount(l, kLevelIntro));
  PutI32LE(raw + 972, l.playerX);
  PutI32LE(raw + 976, l.playerY);
  PutWideField(raw + 980, l.emptyPlaceSprite);
  PutWideField(raw + 1048, l.treeSpotSprite);
  PutU32LE(raw + 1112, ArrayCount(l, kLevelGround));
  PutU32LE(raw + 1116, ArrayCount(l, kLevelDecorations));
  PutU32LE(raw + 1120, ArrayCount(l, kLevelObstacles));
  PutU32LE(raw + 1124, ArrayCount(l, kLevelPoints));
  PutU32LE(raw + 1128, l.villainSlotCount);
  for (u32 i = 0; i < kMaxVillainSlots; ++i) {
    u8* s = raw + kVillainSlotOffset + i * kVillainSlotSize;
    const VILLAINSLOT& v = l.villainSlots[i];
    PutI32LE(s, v.startX);
    PutI32LE(s + 4, v.startY);
    PutI32LE(s + 8, v.x);
    PutI32LE(s + 12, v.y);
    PutI32LE(s + 16, v.direction);
  }
  PutU32LE(raw + 1452, ArrayCount(l, kLevelWaves));
  PutI32LE(raw + 1456, l.firstRepeatWave);
  PutI32LE(raw + 1460, l.repeatLength);
  PutU32LE(raw + 1464, ArrayCount(l, kLevelEmitters));
}

void ParseLevelArray(LevelArray array, const u8* raw, u32 count, LEVELINFO* out) {
  const u32 size = kLevelArrayRecordSize[array];
  switch (array) {
    case kLevelGround: ParseEntries(raw, count, size, &out->ground); break;
    case kLevelDecorations: ParseEntries(raw, count, size, &out->decorations); break;
    case kLevelObstacles: ParseEntries(raw, count, size, &out->obstacles); break;
    case kLevelPoints: ParseEntries(raw, count, size, &out->points); break;
    case kLevelWaves: ParseEntries(raw, count, size, &out->waves); break;
    case kLevelEmitters: ParseEntries(raw, count, size, &out->emitters); break;
    case kLevelIntro: ParseEntries(raw, count, size, &out->intro); break;
    default: break;
  }
}

void AppendLevelRecord(std::vector<u8>* out, const LEVELINFO& l) {
  const size_t at = out->size();
  out->resize(at + kLevelFixedSize);
  PutLevelFixed(out->data() + at, l);
  PutEntries(l.ground, kLevelArrayRecordSize[kLevelGround], out);
  PutEntries(l.decorations, kLevelArrayRecordSize[kLevelDecorations], out);
  PutEntries(l.obstacles, kLevelArrayRecordSize[kLevelObstacles], out);
  PutEntries(l.points, kLevelArrayRecordSize[kLevelPoints], out);
  PutEntries(l.waves, kLevelArrayRecordSize[kLevelWaves], out);
  PutEntries(l.emitters, kLevelArrayRecordSize[kLevelEmitters], out);
  PutEntries(l.intro, kLevelArrayRecordSize[kLevelIntro], out);
}

bool CheckLevelCounts(const LEVELINFO& l, const LEVELCOUNTS& counts) {
  if (l.mapCell < -1 || l.mapCell >= static_cast<i32>(kMapGridCells)) return false;
  for (const LEVELREGIME& r : l.regimes)
    if (r.taskCount > kMaxLevelTasks) return false;
  if (l.plantCount > kMaxLevelPlants || l.buildingCount > kMaxLevelBuildings || l.stockCount > kMaxLevelStock ||
      l.villainSlotCount > kMaxVillainSlots || counts.of[kLevelPoints] > kMaxLevelPoints)
    return false;
  for (u32 c : counts.of)
    if (c > kMaxLevelArray) return false;
  return true;
}

bool ValidateLevelInfo(const LEVELINFO& l) {
  LEVELCOUNTS counts;
  for (u32 a = 0; a < kLevelArrayCount; ++a) counts.of[a] = ArrayCount(l, a);
  if (!CheckLevelCounts(l, counts)) return false;
  for (const WAVEDEF& w : l.waves)
    if (w.slot < -1 || w.slot >= static_cast<i32>(l.villainSlotCount)) return false;
  if (l.repeatLength > 0 && (l.firstRepeatWave < 0 || l.firstRepeatWave >= static_cast<i32>(l.waves.size())))
    return false;
  if (!Finite(l.baseRates, 6) || !Finite(l.chargeFactors, 6)) return false;
  for (const EMITTERDEF& e : l.emitters)
    if (!std::isfinite(e.angle)) return false;
  return true;
}

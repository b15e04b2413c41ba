#include "content/LevelRecord.h"

#include <cmath>
#include <type_traits>

#include "base/RecordFields.h"

namespace {

// --- The layouts: each table is walked by the reader and by the writer -----------------

constexpr RecordField kTaskFields[] = {TM_FIELD(LEVELTASK, kind, 0, kU32, 1), TM_FIELD(LEVELTASK, item, 4, kU32, 1),
                                       TM_FIELD(LEVELTASK, minLevel, 8, kU32, 1),
                                       TM_FIELD(LEVELTASK, target, 12, kU32, 1)};
constexpr RecordLayout kTaskLayout = MakeLayout(16, kTaskFields);

// A regime: the medal limits (bronze, silver, gold), the task count at 12
// and the tasks at 16.
constexpr RecordField kRegimeFields[] = {
    TM_FIELD(LEVELREGIME, bronze, 0, kU32, 1), TM_FIELD(LEVELREGIME, silver, 4, kU32, 1),
    TM_FIELD(LEVELREGIME, gold, 8, kU32, 1),   TM_FIELD(LEVELREGIME, taskCount, 12, kU32, 1),
    TM_RECORDS(LEVELREGIME, tasks, 16, kTaskLayout, kMaxLevelTasks)};
constexpr RecordLayout kRegimeLayout = MakeLayout(64, kRegimeFields);

constexpr RecordField kKindPairFields[] = {TM_FIELD(KINDPAIR, id, 0, kU32, 1), TM_FIELD(KINDPAIR, value, 4, kU32, 1)};
constexpr RecordLayout kKindPairLayout = MakeLayout(8, kKindPairFields);

constexpr RecordField kStockPairFields[] = {TM_FIELD(STOCKPAIR, product, 0, kU32, 1),
                                            TM_FIELD(STOCKPAIR, count, 4, kU32, 1)};
constexpr RecordLayout kStockPairLayout = MakeLayout(8, kStockPairFields);

constexpr RecordField kVillainSlotFields[] = {
    TM_FIELD(VILLAINSLOT, startX, 0, kU32, 1), TM_FIELD(VILLAINSLOT, startY, 4, kU32, 1),
    TM_FIELD(VILLAINSLOT, x, 8, kU32, 1),      TM_FIELD(VILLAINSLOT, y, 12, kU32, 1),
    TM_FIELD(VILLAINSLOT, direction, 16, kU32, 1)};
constexpr RecordLayout kVillainSlotLayout = MakeLayout(20, kVillainSlotFields);

// The fixed part; its array counts are a layout of their own over the same
// bytes (the record keeps its arrays, not their counts).
constexpr RecordField kFixedFields[] = {
    TM_FIELD(LEVELINFO, head, 0, kBytes, 64),
    TM_FIELD(LEVELINFO, mapCell, 64, kU32, 1),
    TM_FIELD(LEVELINFO, mapGroup, 68, kU32, 1),
    TM_RECORDS(LEVELINFO, regimes, 72, kRegimeLayout, kLevelRegimes),
    TM_FIELD(LEVELINFO, startMoney, 200, kU32, 1),
    TM_FIELD(LEVELINFO, bonusId, 204, kU32, 1),
    TM_FIELD(LEVELINFO, restoreCheck, 208, kU32, 1),
    TM_FIELD(LEVELINFO, baseRates, 212, kF32, 6),
    TM_FIELD(LEVELINFO, plantCount, 236, kU32, 1),
    TM_RECORDS(LEVELINFO, plants, 240, kKindPairLayout, kMaxLevelPlants),
    TM_FIELD(LEVELINFO, buildingCount, 264, kU32, 1),
    TM_RECORDS(LEVELINFO, buildings, 268, kKindPairLayout, kMaxLevelBuildings),
    TM_FIELD(LEVELINFO, stockCount, 364, kU32, 1),
    TM_RECORDS(LEVELINFO, stock, 368, kStockPairLayout, kMaxLevelStock),
    TM_FIELD(LEVELINFO, chargeFactors, 880, kF32, 6),
    TM_FIELD(LEVELINFO, music, 904, kText, 32),
    TM_FIELD(LEVELINFO, playerX, 972, kU32, 1),
    TM_FIELD(LEVELINFO, playerY, 976, kU32, 1),
    TM_FIELD(LEVELINFO, emptyPlaceSprite, 980, kText, 34),
    TM_FIELD(LEVELINFO, treeSpotSprite, 1048, kText, 32),
    TM_FIELD(LEVELINFO, villainSlotCount, 1128, kU32, 1),
    TM_RECORDS(LEVELINFO, villainSlots, 1132, kVillainSlotLayout, kMaxVillainSlots),
    TM_FIELD(LEVELINFO, firstRepeatWave, 1456, kU32, 1),
    TM_FIELD(LEVELINFO, repeatLength, 1460, kU32, 1)};
constexpr RecordLayout kFixedLayout = MakeLayout(kLevelFixedSize, kFixedFields);

constexpr RecordField kCountFields[] = {
    TM_ELEMENTS(LEVELCOUNTS, of, kLevelIntro, 968, kU32, 1),
    TM_ELEMENTS(LEVELCOUNTS, of, kLevelGround, 1112, kU32, 4),  // ground, decorations, obstacles, points
    TM_ELEMENTS(LEVELCOUNTS, of, kLevelWaves, 1452, kU32, 1),
    TM_ELEMENTS(LEVELCOUNTS, of, kLevelEmitters, 1464, kU32, 1)};
constexpr RecordLayout kCountLayout = MakeLayout(kLevelFixedSize, kCountFields);

// --- Array records ---------------------------------------------------------------------

constexpr RecordField kGroundFields[] = {
    TM_FIELD(GROUNDPLACEMENT, x, 0, kU32, 1), TM_FIELD(GROUNDPLACEMENT, y, 4, kU32, 1),
    TM_FIELD(GROUNDPLACEMENT, layer, 8, kBytes, 1), TM_FIELD(GROUNDPLACEMENT, groundId, 12, kU32, 1)};

// A decoration: what every one has, then a sprite object's kind and mirror
// mark or an emitter's particle system, sort offsets and space parameter in
// the same bytes; the type, read first, says which.
constexpr RecordField kDecorationFields[] = {
    TM_FIELD(MAPOBJECTDEF, type, 0, kU32, 1), TM_FIELD(MAPOBJECTDEF, name, 4, kText, 32),
    TM_FIELD(MAPOBJECTDEF, layer, 68, kU32, 1), TM_FIELD(MAPOBJECTDEF, x, 72, kU32, 1),
    TM_FIELD(MAPOBJECTDEF, y, 76, kU32, 1)};
constexpr RecordField kSpriteObjectFields[] = {TM_FIELD(MAPOBJECTDEF, kind, 80, kU32, 1),
                                               TM_FIELD(MAPOBJECTDEF, mirrored, 84, kBytes, 1)};
constexpr RecordField kEmitterObjectFields[] = {
    TM_FIELD(MAPOBJECTDEF, systemId, 80, kU32, 1), TM_FIELD(MAPOBJECTDEF, sortX, 84, kU16, 1),
    TM_FIELD(MAPOBJECTDEF, sortY, 86, kU16, 1), TM_FIELD(MAPOBJECTDEF, spaceParam, 88, kU32, 1)};

constexpr RecordField kObstacleFields[] = {
    TM_FIELD(OBSTACLEDEF, mask, 0, kU32, 1), TM_FIELD(OBSTACLEDEF, x, 4, kU32, 1), TM_FIELD(OBSTACLEDEF, y, 8, kU32, 1),
    TM_FIELD(OBSTACLEDEF, width, 12, kU32, 1), TM_FIELD(OBSTACLEDEF, height, 16, kU32, 1)};

constexpr RecordField kPointFields[] = {
    TM_FIELD(POINTDEF, kind, 0, kU32, 1),  TM_FIELD(POINTDEF, level, 4, kU32, 1), TM_FIELD(POINTDEF, id, 8, kU32, 1),
    TM_FIELD(POINTDEF, price, 12, kU32, 1), TM_FIELD(POINTDEF, extra, 16, kU32, 2), TM_FIELD(POINTDEF, x, 24, kU32, 1),
    TM_FIELD(POINTDEF, y, 28, kU32, 1),    TM_FIELD(POINTDEF, mark, 32, kBytes, 1)};

constexpr RecordField kWaveFields[] = {TM_FIELD(WAVEDEF, slot, 0, kU32, 1),
                                       TM_FIELD(WAVEDEF, villainKind, 4, kU32, 1),
                                       TM_FIELD(WAVEDEF, delay, 8, kU32, 1)};

constexpr RecordField kEmitterFields[] = {
    TM_FIELD(EMITTERDEF, systemId, 0, kU32, 1), TM_FIELD(EMITTERDEF, x, 4, kU32, 1),
    TM_FIELD(EMITTERDEF, y, 8, kU32, 1), TM_FIELD(EMITTERDEF, angle, 12, kF32, 1)};

constexpr RecordField kInfoFields[] = {
    TM_FIELD(INFOENTRY, blockKind, 0, kU32, 1),     TM_FIELD(INFOENTRY, itemKind, 4, kU32, 1),
    TM_FIELD(INFOENTRY, itemName, 8, kText, 32),    TM_FIELD(INFOENTRY, textKey, 72, kText, 32),
    TM_FIELD(INFOENTRY, spriteName, 136, kText, 32), TM_FIELD(INFOENTRY, imageName, 200, kText, 32),
    TM_FIELD(INFOENTRY, imageX, 264, kU32, 1),      TM_FIELD(INFOENTRY, imageY, 268, kU32, 1),
    TM_FIELD(INFOENTRY, spaceBefore, 272, kU32, 1), TM_FIELD(INFOENTRY, spaceAfter, 276, kU32, 1)};

constexpr RecordLayout kArrayLayout[kLevelArrayCount] = {
    MakeLayout(kLevelArrayRecordSize[kLevelGround], kGroundFields),
    MakeLayout(kLevelArrayRecordSize[kLevelDecorations], kDecorationFields),
    MakeLayout(kLevelArrayRecordSize[kLevelObstacles], kObstacleFields),
    MakeLayout(kLevelArrayRecordSize[kLevelPoints], kPointFields),
    MakeLayout(kLevelArrayRecordSize[kLevelWaves], kWaveFields),
    MakeLayout(kLevelArrayRecordSize[kLevelEmitters], kEmitterFields),
    MakeLayout(kLevelArrayRecordSize[kLevelIntro], kInfoFields)};
constexpr RecordLayout kSpriteObjectLayout = MakeLayout(kLevelArrayRecordSize[kLevelDecorations], kSpriteObjectFields);
constexpr RecordLayout kEmitterObjectLayout =
    MakeLayout(kLevelArrayRecordSize[kLevelDecorations], kEmitterObjectFields);

constexpr bool AllFit() {
  for (const RecordLayout& layout : kArrayLayout)
    if (!LayoutFits(layout)) return false;
  return LayoutFits(kFixedLayout) && LayoutFits(kCountLayout) && LayoutFits(kSpriteObjectLayout) &&
         LayoutFits(kEmitterObjectLayout);
}
static_assert(AllFit());

const RecordLayout& DecorationPart(const MAPOBJECTDEF& d) {
  return d.type == kMapObjectEmitter ? kEmitterObjectLayout : kSpriteObjectLayout;
}

template <class T>
void ParseEntries(LevelArray array, const u8* raw, u32 count, std::vector<T>* out) {
  const RecordLayout& layout = kArrayLayout[array];
  out->assign(count, T{});
  for (u32 i = 0; i < count; ++i) {
    const u8* at = raw + size_t(i) * layout.size;
    T& entry = (*out)[i];
    ReadRecord(layout, at, &entry);
    if constexpr (std::is_same_v<T, MAPOBJECTDEF>) ReadRecord(DecorationPart(entry), at, &entry);
  }
}

template <class T>
void PutEntries(LevelArray array, const std::vector<T>& in, std::vector<u8>* out) {
  const RecordLayout& layout = kArrayLayout[array];
  const size_t at = out->size();
  out->resize(at + in.size() * layout.size, 0);
  for (size_t i = 0; i < in.size(); ++i) {
    u8* raw = out->data() + at + i * layout.size;
    WriteRecord(layout, &in[i], raw);
    if constexpr (std::is_same_v<T, MAPOBJECTDEF>) WriteRecordFields(DecorationPart(in[i]), &in[i], raw);
  }
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

LEVELCOUNTS CountsOf(const LEVELINFO& l) {
  LEVELCOUNTS counts;
  for (u32 a = 0; a < kLevelArrayCount; ++a) counts.of[a] = ArrayCount(l, a);
  return counts;
}

}  // namespace

void ParseLevelFixed(const u8* raw, LEVELINFO* out, LEVELCOUNTS* counts) {
  ReadRecord(kFixedLayout, raw, out);
  ReadRecord(kCountLayout, raw, counts);
}

void PutLevelFixed(u8* raw, const LEVELINFO& l) {
  const LEVELCOUNTS counts = CountsOf(l);
  WriteRecord(kFixedLayout, &l, raw);
  WriteRecordFields(kCountLayout, &counts, raw);
}

void ParseLevelArray(LevelArray array, const u8* raw, u32 count, LEVELINFO* out) {
  switch (array) {
    case kLevelGround: ParseEntries(array, raw, count, &out->ground); break;
    case kLevelDecorations: ParseEntries(array, raw, count, &out->decorations); break;
    case kLevelObstacles: ParseEntries(array, raw, count, &out->obstacles); break;
    case kLevelPoints: ParseEntries(array, raw, count, &out->points); break;
    case kLevelWaves: ParseEntries(array, raw, count, &out->waves); break;
    case kLevelEmitters: ParseEntries(array, raw, count, &out->emitters); break;
    case kLevelIntro: ParseEntries(array, raw, count, &out->intro); break;
    default: break;
  }
}

void AppendLevelRecord(std::vector<u8>* out, const LEVELINFO& l) {
  const size_t at = out->size();
  out->resize(at + kLevelFixedSize);
  PutLevelFixed(out->data() + at, l);
  PutEntries(kLevelGround, l.ground, out);
  PutEntries(kLevelDecorations, l.decorations, out);
  PutEntries(kLevelObstacles, l.obstacles, out);
  PutEntries(kLevelPoints, l.points, out);
  PutEntries(kLevelWaves, l.waves, out);
  PutEntries(kLevelEmitters, l.emitters, out);
  PutEntries(kLevelIntro, l.intro, out);
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
  if (!CheckLevelCounts(l, CountsOf(l))) return false;
  for (const WAVEDEF& w : l.waves)
    if (w.slot < -1 || w.slot >= static_cast<i32>(l.villainSlotCount)) return false;
  if (l.repeatLength > 0 && (l.firstRepeatWave < 0 || l.firstRepeatWave >= static_cast<i32>(l.waves.size())))
    return false;
  if (!Finite(l.baseRates, 6) || !Finite(l.chargeFactors, 6)) return false;
  for (const EMITTERDEF& e : l.emitters)
    if (!std::isfinite(e.angle)) return false;
  return true;
}

#include "level/state/LevelState.h"

#include <cmath>
#include <cstring>

#include "base/DataBuffer.h"
#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "base/SavedStateStore.h"
#include "content/AwardTable.h"
#include "content/LevelInfo.h"
#include "content/ProductList.h"
#include "level/map/BaseLevelPoint.h"
#include "level/characters/Job.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointMaker.h"
#include "level/rules/LevelProfile.h"
#include "level/rules/LevelRules.h"
#include "level/map/MapAward.h"
#include "level/characters/MapPlayer.h"
#include "resources/ResourceServices.h"
#include "resources/TutorialHooks.h"

namespace {

constexpr i32 kMaxSavedBuildingLevel = 1000;
constexpr u32 kMaxSavedMoney = 0x3FFFFFFFu;

// --- Words ------------------------------------------------------------------------------------------------

bool Put(kis::DataCursor* w, u32 v) {
  u8 b[4];
  kis::PutU32LE(b, v);
  return w->Write(b, 4);
}

bool PutF(kis::DataCursor* w, float v) {
  u8 b[4];
  kis::PutF32LE(b, v);
  return w->Write(b, 4);
}

bool Get(kis::DataCursor* r, u32* v) {
  u8 b[4];
  if (!r->Read(b, 4)) return false;
  *v = kis::GetU32LE(b);
  return true;
}

bool GetF(kis::DataCursor* r, float* v) {
  u32 bits;
  if (!Get(r, &bits)) return false;
  std::memcpy(v, &bits, 4);
  return std::isfinite(*v);
}

bool Expect(kis::DataCursor* r, u32 wanted) {
  u32 v;
  return Get(r, &v) && v == wanted;
}

bool GetFlag(kis::DataCursor* r, u32* v) { return Get(r, v) && *v <= 1; }

u32 DefinedTasks(const LevelRules& rules) {
  const LEVELINFO* info = rules.GetInfo();
  if (!info || rules.GetRegime() < 0 || rules.GetRegime() >= static_cast<i32>(kLevelRegimes)) return 0;
  const u32 n = info->regimes[rules.GetRegime()].taskCount;
  return n < kMaxLevelTasks ? n : kMaxLevelTasks;
}

// --- Writing ------------------------------------------------------------------------------------------------

bool WritePoints(LevelMap& map, kis::DataCursor* w) {
  if (!w->WriteMark() || !Put(w, static_cast<u32>(map.GetPointCount()))) return false;
  for (i32 i = 0; i < map.GetPointCount(); ++i) {
    BaseLevelPoint* point = map.GetPoint(i);
    if (!point || !w->WriteMark()) return false;
    u8* header = static_cast<u8*>(w->Reserve(kPointHeaderSize, true));
    if (!header) return false;
    POINTPARAMS p;
    point->GetInfo(&p);
    kis::PutU32LE(header, p.kind);
    kis::PutI32LE(header + 4, p.level);
    kis::PutU32LE(header + 8, p.id);
    kis::PutU32LE(header + 12, p.price);
    kis::PutU32LE(header + 16, p.extra[0]);
    kis::PutU32LE(header + 20, p.extra[1]);
    if (!point->SaveState(w) || !point->SaveDamage(w)) return false;
  }
  return true;
}

bool WriteStock(LevelRules& rules, kis::DataCursor* w) {
  const WarehouseStock* stock = rules.Stock();
  const i32 n = stock ? stock->GetEntryCount() : 0;
  if (!w->WriteMark() || !Put(w, static_cast<u32>(n))) return false;
  for (i32 i = 0; i < n; ++i) {
    const STOCKENTRY& e = stock->GetEntry(i);
    if (!Put(w, e.product ? e.product->id : 0) || !Put(w, static_cast<u32>(e.count))) return false;
  }
  return true;
}

bool WriteWavesAndVillains(const LevelStateParts& parts, kis::DataCursor* w) {
  const VillainWaves& waves = parts.rules->Waves();
  if (!w->WriteMark() || !Put(w, kWaveBlockTag) || !Put(w, waves.IsEnabled() ? 1 : 0) ||
      !Put(w, waves.IsHeld() ? 1 : 0) || !Put(w, waves.GetIndex()) || !Put(w, waves.GetCount()) ||
      !Put(w, waves.GetTimeToNext()))
    return false;
  if (parts.villains ? !parts.villains->SaveShots(w) : !Put(w, 0)) return false;
  const LEVELINFO* info = parts.rules->GetInfo();
  const u32 slots = info ? info->villainSlotCount : 0;
  if (!Put(w, slots)) return false;
  for (u32 s = 0; s < slots; ++s)
    if (parts.villains ? !parts.villains->SaveVillain(s, w) : !Put(w, 0)) return false;
  return true;
}

bool WriteBonuses(LevelRules& rules, kis::DataCursor* w) {
  if (!w->WriteMark() || !Put(w, kBonusBlockTag)) return false;
  for (u32 s = 0; s < kBonusCount; ++s) {
    const BONUSSLOT& b = rules.Bonuses().GetSlot(s);
    if (!Put(w, b.available) || !Put(w, b.active) || !Put(w, b.timeLeft) || !PutF(w, b.fraction)) return false;
    for (float rate : b.rates)
      if (!PutF(w, rate)) return false;
  }
  return true;
}

// --- Reading --------------------------------------------------------------------------------------------------

bool ReadPoints(const LevelStateParts& parts, kis::DataCursor* r) {
  const LEVELINFO* info = parts.rules->GetInfo();
  u32 count;
  if (!r->CheckMark() || !Get(r, &count) || !info || count != info->points.size() || count > kMaxPoints) return false;
  if (parts.map->GetPointCount() != 0) return false;
  LevelPointMaker& maker = parts.map->Points();
  for (u32 i = 0; i < count; ++i) {
    const u8* h = r->CheckMark() ? static_cast<const u8*>(r->ReadPtr(kPointHeaderSize)) : nullptr;
    if (!h) return false;
    POINTPARAMS p;
    p.kind = kis::GetU32LE(h);
    p.level = kis::GetI32LE(h + 4);
    p.id = kis::GetU32LE(h + 8);
    p.price = kis::GetU32LE(h + 12);
    p.extra[0] = kis::GetU32LE(h + 16);
    p.extra[1] = kis::GetU32LE(h + 20);
    if (p.kind > kPointKindBuilding || (p.kind == kPointKindEmpty && p.id != 0 && !maker.FindGarbage(p.id)))
      return false;
    parts.map->SetPointCount(static_cast<i32>(i) + 1);
    if (!maker.MakePoint(static_cast<i32>(i), p, false)) return false;
    BaseLevelPoint* point = parts.map->GetPoint(static_cast<i32>(i));
    if (!point || !point->LoadState(r) || !point->LoadDamage(r)) return false;
  }
  return true;
}

bool ReadStock(LevelRules& rules, kis::DataCursor* r) {
  u32 n;
  if (!r->CheckMark() || !Get(r, &n) || n > kMaxSavedStock) return false;
  WarehouseStock* stock = rules.Stock();
  const ProductList* products = GetProductList();
  for (u32 i = 0; i < n; ++i) {
    u32 id, count;
    if (!Get(r, &id) || !Get(r, &count) || count > static_cast<u32>(INT32_MAX)) return false;
    // An unknown product is looked up as none, which the stock refuses.
    if (stock) stock->Add(products ? products->FindById(id) : nullptr, static_cast<i32>(count), false);
  }
  return true;
}

bool ReadWavesAndVillains(const LevelStateParts& parts, kis::DataCursor* r) {
  u32 enabled, held, index, count, timeToNext;
  if (!r->CheckMark() || !Expect(r, kWaveBlockTag) || !GetFlag(r, &enabled) || !GetFlag(r, &held) ||
      !Get(r, &index) || !Get(r, &count) || !Get(r, &timeToNext))
    return false;
  if (!parts.rules->Waves().Restore(enabled != 0, held != 0, index, count, timeToNext)) return false;
  if (parts.villains ? !parts.villains->LoadShots(r) : !Expect(r, 0)) return false;
  const LEVELINFO* info = parts.rules->GetInfo();
  u32 slots;
  if (!Get(r, &slots) || !info || slots != info->villainSlotCount) return false;
  for (u32 s = 0; s < slots; ++s) {
    u32 kind;
    if (!Get(r, &kind)) return false;
    if (kind != 0 && (!parts.villains || !parts.villains->LoadVillain(s, kind, r))) return false;
  }
  return true;
}

bool ReadBonuses(LevelRules& rules, kis::DataCursor* r) {
  if (!r->CheckMark() || !Expect(r, kBonusBlockTag)) return false;
  BONUSSLOT slots[kBonusCount];
  for (BONUSSLOT& b : slots) {
    if (!GetFlag(r, &b.available) || !GetFlag(r, &b.active) || !Get(r, &b.timeLeft) || !GetF(r, &b.fraction))
      return false;
    if ((b.active && !b.available) || b.fraction < 0.0f || b.fraction > 1.0f) return false;
    for (float& rate : b.rates)
      if (!GetF(r, &rate)) return false;
  }
  for (u32 s = 0; s < kBonusCount; ++s) rules.Bonuses().RestoreSlot(s, slots[s]);
  return true;
}

bool ReadAward(LevelMap& map, kis::DataCursor* r) {
  u32 present;
  if (!GetFlag(r, &present)) return false;
  MapAward* award = map.GetAward();
  if (present) return award != nullptr;
  if (award) award->Dispose();
  return true;
}

bool ReadItems(const LevelStateParts& parts, kis::DataCursor* r) {
  LevelRules& rules = *parts.rules;
  const kis::DataBuffer* buffer = r->GetBuffer();
  if (!buffer) return false;
  rules.Clock().SetTime(buffer->levelTime);
  CHOSENBONUSES chosen;
  chosen.count = kis::GetU32LE(buffer->levelBlock);
  for (u32 i = 0; i < kMaxChosenBonuses; ++i) chosen.slots[i] = kis::GetU32LE(buffer->levelBlock + 4 + 4 * i);
  if (chosen.count > kMaxChosenBonuses) return false;
  rules.SetChosenBonuses(chosen);

  u32 best, tasks;
  if (!r->CheckMark() || !Get(r, &best) || best > kMaxSavedBuildingLevel) return false;
  rules.NoteBuildingLevel(static_cast<i32>(best), false);
  if (!r->CheckMark() || !Get(r, &tasks) || tasks != DefinedTasks(rules)) return false;
  u32 progress[kMaxLevelTasks] = {};
  for (u32 i = 0; i < tasks; ++i)
    if (!Get(r, &progress[i]) || progress[i] > static_cast<u32>(INT32_MAX)) return false;
  u32 money;
  if (!r->CheckMark() || !Get(r, &money) || money > kMaxSavedMoney) return false;
  rules.Money().Set(static_cast<i32>(money));
  const i32 excess = money > LevelMoney::kMax ? static_cast<i32>(money) - LevelMoney::kMax : 0;

  MapPlayer* player = parts.characters->GetPlayer();
  if (!player || !player->Load(r)) return false;
  // The player's job records come first in the record area, but her jobs
  // name points (and the points' own characters' records follow hers): they
  // are stepped over now and read once the points stand.
  const u32 playerJobs = r->GetRecordPosition();
  const u32 jobCount = kis::GetU32LE(player->GetLoadedRecord() + kCharacterJobCount);
  for (u32 i = 0; i < jobCount; ++i)
    if (!r->ReadBlock()) return false;
  if (!ReadPoints(parts, r) || !ReadStock(rules, r)) return false;
  const u32 afterPoints = r->GetRecordPosition();
  player->RestoreState();
  if (!r->SeekRecord(playerJobs) || !player->LoadJobs(r) || !r->SeekRecord(afterPoints)) return false;
  if (excess > 0) rules.Money().Add(excess);
  for (i32 i = 0; i < parts.map->GetPointCount(); ++i) {
    BaseLevelPoint* point = parts.map->GetPoint(i);
    if (!r->CheckMark() || !point || !point->LoadExtra(r)) return false;
  }
  if (!ReadWavesAndVillains(parts, r) || !ReadBonuses(rules, r)) return false;
  const LEVELINFO* info = rules.GetInfo();
  if (!info || !Expect(r, info->restoreCheck) || !ReadAward(*parts.map, r)) return false;
  for (u32 i = 0; i < tasks; ++i) rules.Tasks().RestoreProgress(i, static_cast<i32>(progress[i]));
  return true;
}

void DropSavedLevel(kis::SavedStateStore* store, u32 regime, u32 level) {
  kis::DataBuffer** slot = store ? store->Slot(regime, level) : nullptr;
  if (!slot) return;
  delete *slot;
  *slot = nullptr;
}

}  // namespace

bool WriteLevelState(const LevelStateParts& parts, kis::DataCursor* w) {
  if (!parts.rules || !parts.map || !parts.characters) return false;
  LevelRules& rules = *parts.rules;
  MapPlayer* player = parts.characters->GetPlayer();
  if (!player) return false;
  const u32 tasks = DefinedTasks(rules);
  if (!w->WriteMark() || !Put(w, static_cast<u32>(rules.GetBestBuildingLevel())) || !w->WriteMark() ||
      !Put(w, tasks))
    return false;
  for (u32 i = 0; i < tasks; ++i)
    if (!Put(w, static_cast<u32>(rules.Tasks().GetProgress(i)))) return false;
  const i64 money = static_cast<i64>(rules.Money().Get()) + parts.characters->Paths().GetReserved();
  if (!w->WriteMark() || !Put(w, static_cast<u32>(money < 0 ? 0 : money))) return false;
  if (!player->Save(w) || !WritePoints(*parts.map, w) || !WriteStock(rules, w)) return false;
  for (i32 i = 0; i < parts.map->GetPointCount(); ++i) {
    BaseLevelPoint* point = parts.map->GetPoint(i);
    if (!w->WriteMark() || !point || !point->SaveExtra(w)) return false;
  }
  if (!WriteWavesAndVillains(parts, w) || !WriteBonuses(rules, w)) return false;
  const LEVELINFO* info = rules.GetInfo();
  return Put(w, info ? info->restoreCheck : 0) && Put(w, parts.map->GetAward() ? 1 : 0) && !w->HasError();
}

bool ReadLevelState(const LevelStateParts& parts, kis::DataCursor* r) {
  if (!parts.rules || !parts.map || !parts.characters) return false;
  parts.rules->Tasks().Hold(true);
  const bool ok = ReadItems(parts, r);
  parts.rules->Tasks().Hold(false);
  return ok;
}

bool SaveLevelState(LevelStateHost& host) {
  const LevelStateParts parts = host.GetParts();
  if (!parts.rules) return false;
  kis::LevelSaveInfo header{};
  header.playMode = static_cast<u32>(parts.rules->GetRegime());
  header.levelIndex = static_cast<u32>(parts.rules->GetLevel());
  header.levelTime = parts.rules->Clock().GetTime();
  const CHOSENBONUSES& chosen = parts.rules->GetChosenBonuses();
  kis::PutU32LE(header.block, chosen.count);
  for (u32 i = 0; i < kMaxChosenBonuses; ++i) kis::PutU32LE(header.block + 4 + 4 * i, chosen.slots[i]);
  kis::DataCursor w;
  if (!w.Begin(header) || !WriteLevelState(parts, &w)) return false;
  TutorialHooks* running = GetResourceServices().tutorial;
  const bool tutorial = running && running->IsSaved();
  if (!w.WriteMark() || !Put(&w, tutorial ? 1 : 0) || (tutorial && !running->Save(&w))) return false;
  if (!w.Finish(host.GetStore())) return false;
  host.SaveProfile();
  return true;
}

bool LoadLevelState(LevelStateHost& host) {
  LevelStateParts parts = host.GetParts();
  if (!parts.rules) return false;
  const u32 regime = static_cast<u32>(parts.rules->GetRegime());
  const u32 level = static_cast<u32>(parts.rules->GetLevel());
  kis::DataCursor r;
  if (!r.BeginRead(host.GetStore(), regime, level)) {
    DropSavedLevel(host.GetStore(), regime, level);  // none, or one that cannot be read
    return false;
  }
  const kis::DataBuffer* buffer = r.GetBuffer();
  if (buffer->playMode != regime || buffer->levelIndex != level) {
    DropSavedLevel(host.GetStore(), regime, level);
    return false;
  }
  // A failed restore must leave nothing behind: the profile's award
  // counters it raised on the way are put back.
  LevelProfile* profile = parts.rules->Hooks().profile;
  AWARDCOUNTERS* counters = profile ? profile->GetAwardCounters() : nullptr;
  const AWARDCOUNTERS before = counters ? *counters : AWARDCOUNTERS{};

  host.RebuildLevel();
  parts = host.GetParts();
  bool ok = ReadLevelState(parts, &r);
  u32 tutorial = 0;
  ok = ok && r.CheckMark() && GetFlag(&r, &tutorial);
  if (ok && GetResourceServices().tutorial) {
    if (tutorial)
      ok = GetResourceServices().tutorial->Load(&r);
    else
      GetResourceServices().tutorial->Discard();
  }
  if (ok) {
    if (TutorialHooks* running = GetResourceServices().tutorial) running->StartFirstStep();
    return true;
  }
  if (counters) *counters = before;
  DropSavedLevel(host.GetStore(), regime, level);
  host.ClearLevel();
  return false;
}

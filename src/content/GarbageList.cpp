#include "content/GarbageList.h"

#include "content/ContentArchive.h"
#include "content/ContentSections.h"
#include "resources/MapSprite.h"
#include "resources/SpriteSet.h"

using kis::GetU32LE;
using kis::PutU32LE;

namespace {

constexpr u32 kSpriteEntrySize = 76;
constexpr u32 kParticleEntrySize = 28;

}  // namespace

void ParseGarbageRecord(const u8* raw, GARBAGEINFO* out) {
  out->id = GetU32LE(raw);
  out->clearTime = GetU32LE(raw + 4);
  out->spriteCount = GetU32LE(raw + 8);
  for (u32 i = 0; i < kGarbageSpriteSlots; ++i) {
    const u8* e = raw + 12 + i * kSpriteEntrySize;
    GARBAGESPRITE& s = out->sprites[i];
    ParseWideField(e, s.name);
    s.layer = GetU32LE(e + 64);
    s.x = static_cast<i32>(GetU32LE(e + 68));
    s.y = static_cast<i32>(GetU32LE(e + 72));
  }
  out->particleCount = GetU32LE(raw + 164);
  for (u32 i = 0; i < kGarbageParticleSlots; ++i) {
    const u8* e = raw + 168 + i * kParticleEntrySize;
    GARBAGEPARTICLE& p = out->particles[i];
    p.systemId = GetU32LE(e);
    p.layer = GetU32LE(e + 4);
    p.x = static_cast<i32>(GetU32LE(e + 8));
    p.y = static_cast<i32>(GetU32LE(e + 12));
    p.sortX = static_cast<i32>(GetU32LE(e + 16));
    p.sortY = static_cast<i32>(GetU32LE(e + 20));
    p.spaceParam = GetU32LE(e + 24);
  }
}

void PutGarbageRecord(u8* raw, const GARBAGEINFO& g) {
  PutU32LE(raw, g.id);
  PutU32LE(raw + 4, g.clearTime);
  PutU32LE(raw + 8, g.spriteCount);
  for (u32 i = 0; i < kGarbageSpriteSlots; ++i) {
    u8* e = raw + 12 + i * kSpriteEntrySize;
    const GARBAGESPRITE& s = g.sprites[i];
    PutWideField(e, s.name);
    PutU32LE(e + 64, s.layer);
    PutU32LE(e + 68, static_cast<u32>(s.x));
    PutU32LE(e + 72, static_cast<u32>(s.y));
  }
  PutU32LE(raw + 164, g.particleCount);
  for (u32 i = 0; i < kGarbageParticleSlots; ++i) {
    u8* e = raw + 168 + i * kParticleEntrySize;
    const GARBAGEPARTICLE& p = g.particles[i];
    PutU32LE(e, p.systemId);
    PutU32LE(e + 4, p.layer);
    PutU32LE(e + 8, static_cast<u32>(p.x));
    PutU32LE(e + 12, static_cast<u32>(p.y));
    PutU32LE(e + 16, static_cast<u32>(p.sortX));
    PutU32LE(e + 20, static_cast<u32>(p.sortY));
    PutU32LE(e + 24, p.spaceParam);
  }
}

// No progress is reported: the section is small and is read at once.
i32 LoadGarbageDefinitions(GarbageList* list, kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  if (!cursor) return 1;
  u8 count[4];
  if (!list || !OpenDataSection(reader, kGarbageSectionId, kGarbageSectionSubId) ||
      !ReadDataSection(reader, count, 4))
    return EndDataSection(reader, cursor, true);
  cursor->total = kis::GetU32LE(count);
  SpriteSet* set = GetSpriteSet(kMapSpriteSet);
  u8 raw[kGarbageRecordSize];
  for (; cursor->done < cursor->total; ++cursor->done) {
    if (!ReadDataSection(reader, raw, kGarbageRecordSize)) return EndDataSection(reader, cursor, true);
    auto g = std::make_unique<GARBAGEINFO>();
    ParseGarbageRecord(raw, g.get());
    if (g->spriteCount > kGarbageSpriteSlots || g->particleCount > kGarbageParticleSlots)
      return EndDataSection(reader, cursor, true);
    for (u32 i = 0; i < g->spriteCount; ++i) g->mapSprites[i] = set ? set->FindMapSprite(g->sprites[i].name) : nullptr;
    list->list_.push_back(std::move(g));
  }
  return EndDataSection(reader, cursor, false);
}

void GarbageList::LoadPointSprites(MapSprite* emptyPlace) {
  if (emptyPlace) emptyPlace->Init();
  for (auto& g : list_) {
    if (g->loaded) continue;
    for (MapSprite* m : g->mapSprites)
      if (m) m->Init();
    g->loaded = true;
  }
}

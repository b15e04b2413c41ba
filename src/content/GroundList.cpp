#include "content/GroundList.h"

#include "content/ContentArchive.h"
#include "content/ContentSections.h"
#include "resources/Sprite.h"
#include "resources/SpriteRecords.h"
#include "resources/SpriteSet.h"

using kis::GetU32LE;
using kis::PutU32LE;

void ParseGroundRecord(const u8* raw, GROUND* out) {
  out->id = GetU32LE(raw);
  ParseWideField(raw + 4, out->spriteName);
  out->drawParam = GetU32LE(raw + 68);
  ParseRectRecord(raw + 72, &out->rect);
}

void PutGroundRecord(u8* raw, const GROUND& g) {
  PutU32LE(raw, g.id);
  PutWideField(raw + 4, g.spriteName);
  PutU32LE(raw + 68, g.drawParam);
  PutRectRecord(raw + 72, g.rect);
}

i32 GroundList::ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  return ReadCountedRecords(reader, cursor, kGroundSectionId, kGroundSectionSubId, kGroundRecordSize,
                            [this](const u8* raw) {
                              auto g = std::make_unique<GROUND>();
                              ParseGroundRecord(raw, g.get());
                              g->sprite = GetSpriteByName(kGroundSpriteSet, g->spriteName);
                              grounds_.push_back(std::move(g));
                              return true;
                            });
}

void GroundList::Acquire(GROUND* record) {
  if (!record || !record->sprite) return;
  if (record->useCount == 0) record->sprite->Init();
  ++record->useCount;
}

void GroundList::Release(GROUND* record, bool force) {
  if (!record || record->useCount <= 0) return;
  record->useCount = force ? 0 : record->useCount - 1;
  if (record->useCount == 0 && record->sprite) record->sprite->Release(false);
}

std::unique_ptr<MAPTILE> GroundList::MakeTile(i32 x, i32 y, u32 layer, const GROUND* record, bool flag) {
  Sprite* sprite = record ? record->sprite : nullptr;
  if (!sprite || !sprite->IsLoaded()) return nullptr;
  SPRITEDRAWITEM item;
  sprite->MakeDrawItemAtI(&item, 0, x, y, &record->rect, 0xFFFFFFFFu, flag, static_cast<i32>(record->drawParam));
  auto tile = std::make_unique<MAPTILE>();
  tile->texture = item.texture;
  tile->quad = item.quad;
  tile->groundId = record->id;
  tile->layer = static_cast<u8>(layer > kGroundLayers - 1 ? kGroundLayers - 1 : layer);
  tile->sequence = sequence_++;
  return tile;
}

#include "content/GameBonuses.h"

#include <string>

#include "base/Identifier.h"
#include "content/ContentArchive.h"
#include "content/ContentSections.h"
#include "engine/DXLTexture.h"
#include "platform/gfx/GfxTypes.h"
#include "resources/MapSprite.h"
#include "resources/SoundSettings.h"
#include "resources/SpriteSet.h"

using kis::GetF32LE;
using kis::GetU32LE;
using kis::PutF32LE;
using kis::PutU32LE;

namespace {

// Finds and loads a map sprite of the map-sprite set once.
MapSprite* LoadMapSpriteOnce(MapSprite* kept, const wchar* name) {
  if (kept) return kept;
  SpriteSet* set = GetSpriteSet(kMapSpriteSet);
  MapSprite* found = set ? set->FindMapSprite(name) : nullptr;
  if (found) found->Init();
  return found;
}

}  // namespace

void ParseBonusRecord(const u8* raw, BONUS* out) {
  ParseWideField(raw, out->nameKey);
  ParseWideField(raw + 64, out->descKey);
  out->id = GetU32LE(raw + 128);
  ParseWideField(raw + 132, out->name);
  out->chargeTime = GetU32LE(raw + 196);
  out->activeTime = GetU32LE(raw + 200);
  out->effect = GetF32LE(raw + 204);
  out->icon = nullptr;
  out->sound = 0;
}

// The icon and sound words hold run-time values and are stored as 0.
void PutBonusRecord(u8* raw, const BONUS& b) {
  PutWideField(raw, b.nameKey);
  PutWideField(raw + 64, b.descKey);
  PutU32LE(raw + 128, b.id);
  PutWideField(raw + 132, b.name);
  PutU32LE(raw + 196, b.chargeTime);
  PutU32LE(raw + 200, b.activeTime);
  PutF32LE(raw + 204, b.effect);
  PutU32LE(raw + 208, 0);
  PutU32LE(raw + 212, 0);
}

i32 GameBonuses::ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  if (!cursor) return 1;
  u8 block[kBonusSectionSize];
  const u32 have = ReadDataBlock(reader, cursor, kBonusSectionId, kBonusSectionSubId, block, kBonusSectionSize);
  for (u32 i = 0; i < kBonusCount && (i + 1) * kBonusRecordSize <= have; ++i)
    ParseBonusRecord(block + i * kBonusRecordSize, &bonuses_[i]);
  return 1;
}

void GameBonuses::LoadIcons() {
  for (u32 i = 0; i < kBonusCount; ++i) {
    BONUS& b = bonuses_[i];
    b.icon = GetSpriteByName(kIconSpriteSet, b.name);
    const std::u16string big = u"big_" + std::u16string(b.name);
    bigIcons_[i] = b.name[0] ? GetSpriteByName(kIconSpriteSet, big.c_str()) : nullptr;
    b.sound = GetStandardSound(kBonusSounds[i]);
  }
}

void GameBonuses::LoadBonus(u32 index) {
  if (index == kBonusBees) {
    beesAttack_ = LoadMapSpriteOnce(beesAttack_, u"bees_attack");
    bees_ = LoadMapSpriteOnce(bees_, u"bees");
  } else if (index == kBonusRain && rainCount_ == 0) {
    SpriteSet* set = GetSpriteSet(kEffectSpriteSet);
    wchar name[] = u"rain0";
    for (u32 i = 0; set && i < kMaxRainImages; ++i) {
      name[4] = static_cast<wchar>(u'0' + i);
      DXLTexture* image = set->FindTexture(name);
      if (!image) break;
      image->SetAddressMode(plat::gfx::D3DTADDRESS_WRAP);
      image->Load();
      rain_[rainCount_++] = image;
    }
  }
}

i32 GameBonuses::FindById(u32 id) const {
  if (id == 0) return -1;
  for (u32 i = 0; i < kBonusCount; ++i)
    if (bonuses_[i].id == id) return static_cast<i32>(i);
  return -1;
}

i32 GameBonuses::FindByName(const wchar* name) const { return FindById(kis::NameId(name)); }

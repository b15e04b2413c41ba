#include "resources/ShadowData.h"

#include "base/datafile/DataFileReader.h"
#include "resources/SpriteRecords.h"
#include "resources/SpriteSet.h"

SHADOWDATA* ReadShadowData(kis::BaseDataFileReader* reader) {
  u8 raw[kShadowRecordSize];
  if (!reader || !reader->Read(raw, kShadowRecordSize)) return nullptr;
  return MakeShadowData(raw);
}

SHADOWDATA* MakeShadowData(const u8* raw) { return new SHADOWDATA(ShadowDataFrom(raw)); }

SHADOWDATA ShadowDataFrom(const u8* raw) {
  SHADOWRECORD record;
  ParseShadowRecord(raw, &record);
  const SpriteSet* set = GetSpriteSet(kShadowSpriteSet);
  return SHADOWDATA{set ? set->FindStoredSprite(record.name) : nullptr, record.width, record.height, record.pivotX,
                    record.pivotY, record.alpha};
}

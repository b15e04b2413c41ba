#include "content/AwardTable.h"

#include <climits>

#include "base/Strings.h"
#include "content/ContentArchive.h"
#include "content/ContentSections.h"
#include "resources/SpriteSet.h"

using kis::GetU32LE;
using kis::PutU32LE;

namespace {

i32 SaturatingAdd(i32 a, i32 b) {
  const i64 sum = static_cast<i64>(a) + b;
  return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : static_cast<i32>(sum);
}

}  // namespace

void ParseTieredAward(const u8* raw, TIEREDAWARD* out) {
  ParseWideField(raw, out->name);
  ParseWideField(raw + 68, out->iconName);
  out->startValue = static_cast<i32>(GetU32LE(raw + 136));
  for (u32 t = 0; t < 3; ++t) out->tiers[t] = static_cast<i32>(GetU32LE(raw + 140 + 4 * t));
  out->icon = nullptr;
}

// The icon's word (132) holds a pointer in memory and is stored as 0.
void PutTieredAward(u8* raw, const TIEREDAWARD& award) {
  PutWideField(raw, award.name);
  PutWideField(raw + 68, award.iconName);
  PutU32LE(raw + 132, 0);
  PutU32LE(raw + 136, static_cast<u32>(award.startValue));
  for (u32 t = 0; t < 3; ++t) PutU32LE(raw + 140 + 4 * t, static_cast<u32>(award.tiers[t]));
}

void ParseRecordAward(const u8* raw, RECORDAWARD* out) {
  ParseWideField(raw, out->name);
  out->threshold = static_cast<i32>(GetU32LE(raw + 68));
  ParseWideField(raw + 72, out->iconName);
  out->icon = nullptr;
}

void PutRecordAward(u8* raw, const RECORDAWARD& award) {
  PutWideField(raw, award.name);
  PutU32LE(raw + 68, static_cast<u32>(award.threshold));
  PutWideField(raw + 72, award.iconName);
  PutU32LE(raw + 136, 0);
}

// Whole records of a short block are kept; the block must still be exactly
// its size.
i32 AwardTable::ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  if (!cursor) return 1;
  u8 block[kAwardSectionSize];
  const u32 have = ReadDataBlock(reader, cursor, kAwardSectionId, kAwardSectionSubId, block, kAwardSectionSize);
  u32 at = 0;
  for (u32 i = 0; i < kTieredAwardCount && at + kTieredAwardRecordSize <= have; ++i, at += kTieredAwardRecordSize)
    ParseTieredAward(block + at, &tiered_[i]);
  for (u32 i = 0; i < kRecordAwardCount && at + kRecordAwardRecordSize <= have; ++i, at += kRecordAwardRecordSize)
    ParseRecordAward(block + at, &records_[i]);
  return 1;
}

void AwardTable::LoadIcons() {
  for (TIEREDAWARD& a : tiered_) a.icon = GetSpriteByName(kAwardSpriteSet, a.iconName);
  for (RECORDAWARD& a : records_) a.icon = GetSpriteByName(kAwardSpriteSet, a.iconName);
  totalPicture_ = GetSpriteByName(kAwardSpriteSet, u"ba_total");
  totalIcon_ = GetSpriteByName(kAwardSpriteSet, u"ico_total");
}

i32 AwardTable::GetTier(u32 award, i32 value) const {
  if (award >= kTieredAwardCount) return 0;
  const i32* t = tiered_[award].tiers;
  return value >= t[2] ? 3 : value >= t[1] ? 2 : value >= t[0] ? 1 : 0;
}

bool AwardTable::RaiseRecord(AWARDCOUNTERS& counters, u32 record, i32 value, bool add) const {
  if (record >= kRecordAwardCount) return false;
  i32& counter = counters.records[record];
  const i32 next = add ? SaturatingAdd(counter, value) : value;
  if (next <= counter) return false;
  const bool crossed = counter < records_[record].threshold && next >= records_[record].threshold;
  counter = next;
  return crossed;
}

i32 AwardTable::AddProgress(AWARDCOUNTERS& counters, u32 award, i32 n) const {
  if (award >= kTieredAwardCount) return 0;
  i32& counter = counters.tiered[award];
  const i32 before = GetTier(award, counter);
  counter = SaturatingAdd(counter, n);
  const i32 after = GetTier(award, counter);
  return after > before ? after : 0;
}

bool AwardTable::CheckFinal(AWARDCOUNTERS& counters) const {
  if (counters.finalGiven) return false;
  for (u32 i = 0; i < kTieredAwardCount; ++i)
    if (GetTier(i, counters.tiered[i]) < 3) return false;
  for (u32 i = 0; i < kRecordAwardCount; ++i)
    if (counters.records[i] < records_[i].threshold) return false;
  counters.finalGiven = 1;
  return true;
}

i32 AwardTable::FindTieredByName(const wchar* name) const {
  if (!name || !name[0]) return -1;
  // Names from the data match ignoring case, as texture names do: the tables
  // are written by hand, and a name that differs only in case means the same.
  for (u32 i = 0; i < kTieredAwardCount; ++i)
    if (kis::StrICompare(tiered_[i].name, name) == 0) return static_cast<i32>(i);
  return -1;
}

void AwardProgress::Show(i32 kind, u32 index, i32 tier, bool notify) {
  if (notify && notices_) notices_->ShowAward(kind, index, tier);
}

void AwardProgress::RaiseRecord(u32 record, i32 value, bool add, bool notify) {
  if (!table_ || !counters_ || !table_->RaiseRecord(*counters_, record, value, add)) return;
  Show(1, record, 1, notify);
  CheckFinal(notify);
}

void AwardProgress::AddProgress(u32 award, i32 n) {
  if (!table_ || !counters_) return;
  const i32 tier = table_->AddProgress(*counters_, award, n);
  if (tier == 0) return;
  Show(0, award, tier, true);
  CheckFinal(true);
}

void AwardProgress::CheckFinal(bool notify) {
  if (table_ && counters_ && table_->CheckFinal(*counters_)) Show(2, 0, 0, notify);
}

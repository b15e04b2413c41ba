#include "content/ProfileProgress.h"

#include "content/ContentArchive.h"
#include "content/ContentSections.h"

namespace {

constexpr RecordField kAwardFields[] = {
    TM_FIELD(AWARDCOUNTERS, tiered, 0, kU32, kTieredAwardCount),
    TM_FIELD(AWARDCOUNTERS, records, 36, kU32, kRecordAwardCount),
    TM_FIELD(AWARDCOUNTERS, finalGiven, 68, kU32, 1),
};

constexpr RecordField kSelectionFields[] = {
    TM_FIELD(BONUSSELECTION, count, 0, kU32, 1),
    TM_FIELD(BONUSSELECTION, slots, 4, kU32, kBonusSelectionSlots),
};
constexpr RecordLayout kSelectionLayout = MakeLayout(16, kSelectionFields);

constexpr RecordField kLevelFields[] = {
    TM_FIELD(LEVELPROGRESS, state, 0, kU32, 1),
    TM_FIELD(LEVELPROGRESS, bestTime, 4, kU32, 1),
};
constexpr RecordLayout kLevelLayout = MakeLayout(8, kLevelFields);

constexpr RecordField kProgressRegimeFields[] = {
    TM_FIELD(REGIMEPROGRESS, marker, 0, kU32, 1),
    TM_FIELD(REGIMEPROGRESS, bonuses, 4, kU32, kProfileBonuses),
    TM_FIELD(REGIMEPROGRESS, newCount, 28, kU32, 1),
    TM_FIELD(REGIMEPROGRESS, newBonuses, 32, kU32, kMaxNewBonuses),
    TM_RECORDS(REGIMEPROGRESS, levels, 44, kLevelLayout, kLevelCount),
};
constexpr RecordLayout kProgressRegimeLayout = MakeLayout(kRegimeProgressSize, kProgressRegimeFields);

}  // namespace

constexpr RecordLayout kAwardCountersLayout = MakeLayout(72, kAwardFields);

namespace {

constexpr RecordField kProgressFields[] = {
    TM_FIELD(PROFILEPROGRESS, size, 0, kU32, 1),
    TM_FIELD(PROFILEPROGRESS, reserved, 4, kBytes, 4),
    TM_FIELD(PROFILEPROGRESS, regime, 8, kU32, 1),
    TM_FIELD(PROFILEPROGRESS, eighthLevel, 12, kU32, 1),
    TM_RECORDS(PROFILEPROGRESS, awards, 16, kAwardCountersLayout, 1),
    TM_FIELD(PROFILEPROGRESS, tutorialsOn, 88, kU32, 1),
    TM_RECORDS(PROFILEPROGRESS, selection, 92, kSelectionLayout, kProfileRegimes),
    TM_FIELD(PROFILEPROGRESS, villainsInRow, 124, kU32, 1),
    TM_FIELD(PROFILEPROGRESS, carried, 128, kBytes, 32),
    TM_FIELD(PROFILEPROGRESS, shownFlags, 160, kU32, 1),
    TM_FIELD(PROFILEPROGRESS, carried2, 164, kBytes, 4),
    TM_FIELD(PROFILEPROGRESS, easterEggs, 168, kU64, 1),
    TM_RECORDS(PROFILEPROGRESS, regimes, 176, kProgressRegimeLayout, kProfileRegimes),
    TM_FIELD(PROFILEPROGRESS, playTime, 920, kU32, 1),
};

}  // namespace

constexpr RecordLayout kProfileProgressLayout = MakeLayout(kProfileProgressSize, kProgressFields);

static_assert(LayoutFits(kAwardCountersLayout) && LayoutFits(kSelectionLayout) && LayoutFits(kLevelLayout) &&
              LayoutFits(kProgressRegimeLayout) && LayoutFits(kProfileProgressLayout));

PROFILEPROGRESS EmptyProfileProgress() {
  PROFILEPROGRESS p{};
  p.size = kProfileProgressSize;
  for (BONUSSELECTION& s : p.selection)
    for (i32& slot : s.slots) slot = -1;
  return p;
}

void SanitizeProfileProgress(PROFILEPROGRESS* p) {
  if (p->regime >= kProfileRegimes) p->regime = 0;
  for (BONUSSELECTION& s : p->selection) {
    if (s.count > kBonusSelectionSlots) {
      s.count = 0;
      for (i32& slot : s.slots) slot = -1;
    }
    for (u32 i = 0; i < kBonusSelectionSlots; ++i) {
      i32& slot = s.slots[i];
      bool repeated = false;
      for (u32 k = 0; k < i; ++k) repeated = repeated || (slot >= 0 && s.slots[k] == slot);
      if (slot < -1 || slot >= static_cast<i32>(kProfileBonuses) || repeated) slot = -1;
    }
  }
  for (REGIMEPROGRESS& r : p->regimes) {
    if ((r.marker >> 24) > kProfileBonuses) r.marker &= 0x00FFFFFFu;
    const u32 listed = r.newCount < kMaxNewBonuses ? r.newCount : kMaxNewBonuses;
    u32 kept = 0;
    for (u32 i = 0; i < listed; ++i)
      if (r.newBonuses[i] >= 0 && r.newBonuses[i] < static_cast<i32>(kProfileBonuses))
        r.newBonuses[kept++] = r.newBonuses[i];
    for (u32 i = kept; i < kMaxNewBonuses; ++i) r.newBonuses[i] = 0;
    r.newCount = kept;
    for (LEVELPROGRESS& l : r.levels)
      if (l.state > kMaxLevelState) l.state = kMaxLevelState;
  }
}

i32 ReadProfileDefaults(kis::BaseDataFileReader* reader, SectionCursor* cursor, PROFILEPROGRESS* out) {
  if (!cursor) return 1;
  u8 block[kProfileProgressSize];
  const u32 have = ReadDataBlock(reader, cursor, kProfileSectionId, kProfileSectionSubId, block, sizeof block);
  if (cursor->error) return 1;
  if (have != sizeof block || kis::GetU32LE(block) != kProfileProgressSize) {
    cursor->error = 1;
    return 1;
  }
  ReadRecord(kProfileProgressLayout, block, out);
  SanitizeProfileProgress(out);
  return 1;
}

std::vector<u8> ProfileDefaultsSection(const PROFILEPROGRESS& defaults) {
  std::vector<u8> body(kProfileProgressSize);
  WriteRecord(kProfileProgressLayout, &defaults, body.data());
  return body;
}

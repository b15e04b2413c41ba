#include "content/VillainList.h"

#include <cmath>
#include <cstring>

#include "base/Identifier.h"
#include "base/RecordFields.h"
#include "base/Strings.h"
#include "content/ContentSections.h"
#include "content/KindSections.h"
#include "resources/SoundSettings.h"

namespace {

constexpr RecordField kVillainFields[] = {
    TM_FIELD(VILLAININFO, name, 0, kText, kKindNameSize),
    TM_FIELD(VILLAININFO, id, 64, kU32, 1),
    TM_FIELD(VILLAININFO, skin, 68, kU32, 1),
    TM_FIELD(VILLAININFO, enterInterval, 72, kU32, 1),
    TM_FIELD(VILLAININFO, shotInterval, 76, kU32, 1),
    TM_FIELD(VILLAININFO, shots, 80, kU32, 1),
    TM_FIELD(VILLAININFO, health, 84, kU32, 1),
    TM_FIELD(VILLAININFO, damage, 88, kU32, 1),
    TM_FIELD(VILLAININFO, damageTime, 92, kU32, 1),
    TM_FIELD(VILLAININFO, money, 96, kU32, 1),
    TM_FIELD(VILLAININFO, shotMoney, 100, kU32, 1),
    TM_FIELD(VILLAININFO, soundName, 104, kText, kKindNameSize),
    TM_FIELD(VILLAININFO, shotSpeed, 168, kF32, 1),
    TM_FIELD(VILLAININFO, flightTime, 172, kU32, 1)};
constexpr RecordLayout kVillainLayout = MakeLayout(kVillainRecordSize, kVillainFields);
static_assert(LayoutFits(kVillainLayout));

}  // namespace

i32 VillainList::ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  return ReadCountedRecords(reader, cursor, kVillainSectionId, kVillainSectionSubId, kVillainRecordSize,
                            [this](const u8* raw) {
                              auto v = std::make_unique<VILLAININFO>();
                              ReadRecord(kVillainLayout, raw, v.get());
                              if (!std::isfinite(v->shotSpeed)) return false;
                              if (v->shots < 1) v->shots = 1;
                              if (v->health < 1) v->health = 1;
                              v->sound = v->soundName[0] ? GetSoundSettings().LoadSound(v->soundName, false) : 0;
                              villains_.push_back(std::move(v));
                              return true;
                            });
}

VILLAININFO* VillainList::FindVillainInfo(u32 id) const { return FindFirstById(villains_, id); }

VILLAININFO MakeVillain(const wchar* name) {
  VILLAININFO v = ZeroedKindRecord<VILLAININFO>(name);
  v.shots = 1;
  v.health = 1;
  return v;
}

std::vector<u8> VillainSection(const std::vector<VILLAININFO>& villains) {
  std::vector<u8> out;
  AppendU32(out, static_cast<u32>(villains.size()));
  for (const VILLAININFO& v : villains) {
    u8 raw[kVillainRecordSize];
    WriteRecord(kVillainLayout, &v, raw);
    AppendBytes(out, raw, kVillainRecordSize);
  }
  return out;
}

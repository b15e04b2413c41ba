// VillainList - the villain kinds of the "VLNS" section, read once at
// start-up and found by name id; each kind's arrival sound is loaded as it
// is read.
//
// Layout: u32 count, then per kind a 176-byte record. A kind's shots and
// health below 1 count as 1 (a villain always shoots and always takes a
// click to drive off).
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "content/BuildingTable.h"
#include "content/ContentArchive.h"
#include "content/ContentServices.h"
#include "content/GameTable.h"
#include "resources/ResourceServices.h"

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kVillainSectionId = SectionTag('V', 'L', 'N', 'S');
constexpr u32 kVillainSectionSubId = 256;
constexpr u32 kVillainRecordSize = 176;

struct VILLAININFO {
  // --- Stored ------------------------------------------------------------------
  wchar name[kKindNameSize];
  u32 id;             // name id of the name
  u32 skin;           // 0 the base animations; n > 0 "villain_<n + 1>_..."
  u32 enterInterval;  // ms
  u32 shotInterval;   // ms between two shots
  i32 shots;          // at least 1
  i32 health;         // clicks to drive it off, at least 1
  i32 damage;         // added to a point already damaged
  u32 damageTime;     // ms of the toxic damage it leaves
  i32 money;          // paid for driving it off
  i32 shotMoney;      // paid for bursting one of its shots
  wchar soundName[kKindNameSize];  // on arrival
  float shotSpeed;                 // greatest distance a shot travels per update
  u32 flightTime;                  // ms of a shot's flight

  // --- In memory -----------------------------------------------------------------
  u32 sound;  // the arrival sound, 0 for none
};

class VillainList : public GameTable {
 public:
  VillainList() = default;
  ~VillainList() = default;

  // The resumable reader of "VLNS": 1 when finished (the error flag tells
  // a failure), 0 to be called again (after each record, when the progress
  // hook asks for the frame).
  i32 ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor);

  VILLAININFO* FindVillainInfo(u32 id) const;  // the first of that id; null for 0 or when absent
  u32 GetCount() const { return static_cast<u32>(villains_.size()); }
  VILLAININFO* Get(u32 i) const { return i < villains_.size() ? villains_[i].get() : nullptr; }
  void Clear() { villains_.clear(); }

 private:
  std::vector<std::unique_ptr<VILLAININFO>> villains_;
};

std::vector<u8> VillainSection(const std::vector<VILLAININFO>& villains);
// A zeroed record of the name, its id the name's, one shot and one click.
VILLAININFO MakeVillain(const wchar* name);

// The game's list (installed in the content services), or null.
inline VillainList* GetVillainList() { return GetContentServices().villains; }
inline VILLAININFO* FindVillainInfo(u32 id) {
  const VillainList* v = GetVillainList();
  return v ? v->FindVillainInfo(id) : nullptr;
}

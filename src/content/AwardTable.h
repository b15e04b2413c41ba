// AwardTable - the award definitions of the data archive: nine tiered awards
// (three thresholds each, for example units of one product produced) and
// eight record awards (one threshold each, for example money earned), with
// their icons and the two pictures of the final award.
//
// The counters live in the player's profile (AWARDCOUNTERS, one set per
// profile); the table judges them. Counters never overflow: adding saturates
// at the int range. The final award is given once per set of counters.
//
// The section is one block of exactly 2488 bytes (nine 152-byte records, then
// eight 140-byte ones), read in one call. A short or longer block sets the
// error flag; the whole records it holds are kept.
#pragma once

#include "base/Types.h"
#include "content/ContentServices.h"
#include "content/GameTable.h"
#include "resources/ResourceServices.h"

class Sprite;

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kTieredAwardCount = 9;
constexpr u32 kRecordAwardCount = 8;
constexpr u32 kTieredAwardRecordSize = 152;
constexpr u32 kRecordAwardRecordSize = 140;
constexpr u32 kAwardSectionSize =
    kTieredAwardCount * kTieredAwardRecordSize + kRecordAwardCount * kRecordAwardRecordSize;
constexpr u32 kAwardNameSize = 34;  // characters of an award name, with the terminator

// Record counters the level raises.
constexpr u32 kAwardRecordBonusMask = 2;       // the bonus slots ever used (set)
constexpr u32 kAwardRecordVillainsInRow = 3;   // villains driven off in a row (set)
constexpr u32 kAwardRecordWorkStreak = 4;      // pieces of work in a row (set)
constexpr u32 kAwardRecordWalked = 5;          // distance walked in a level, in 40s of map units (set)
constexpr u32 kAwardRecordBuildingLevel = 6;   // the highest building level reached (set)
constexpr u32 kAwardRecordMoney = 7;           // money earned (added)

// A tiered award; a product's award is the one whose name is the product's.
struct TIEREDAWARD {
  wchar name[kAwardNameSize];
  wchar iconName[32];
  i32 startValue;  // where its progress bar starts
  i32 tiers[3];    // thresholds of tiers 1, 2 and 3
  Sprite* icon;    // found by LoadIcons; never stored
};

struct RECORDAWARD {
  wchar name[kAwardNameSize];
  i32 threshold;
  wchar iconName[32];
  Sprite* icon;  // found by LoadIcons; never stored
};

// A profile's award counters, in the order the profile keeps them.
struct AWARDCOUNTERS {
  i32 tiered[kTieredAwardCount] = {};
  i32 records[kRecordAwardCount] = {};
  i32 finalGiven = 0;
};

void ParseTieredAward(const u8* raw, TIEREDAWARD* out);  // icon left null
void PutTieredAward(u8* raw, const TIEREDAWARD& award);
void ParseRecordAward(const u8* raw, RECORDAWARD* out);
void PutRecordAward(u8* raw, const RECORDAWARD& award);

class AwardTable : public GameTable {
 public:
  // Reads the section whole; always 1 (finished), failure in the error flag.
  i32 ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor);
  // Finds every icon, "ba_total" and "ico_total" in the award sprite set.
  void LoadIcons();

  // 3 at or above the tier-3 threshold, else 2, 1 or 0; 0 outside 0..8.
  i32 GetTier(u32 award, i32 value) const;
  // new = value, or counter + value when adding. Only a new value above the
  // counter is stored; true exactly when the counter was below the threshold
  // and the new value reaches it.
  bool RaiseRecord(AWARDCOUNTERS& counters, u32 record, i32 value, bool add) const;
  // Adds n to the tiered counter; the new tier when it rose, else 0.
  i32 AddProgress(AWARDCOUNTERS& counters, u32 award, i32 n) const;
  // True once: when every tiered counter is at tier 3 and every record
  // counter at its threshold, the final award is marked given.
  bool CheckFinal(AWARDCOUNTERS& counters) const;

  // The first tiered award of that name (A-Z folded); -1 when none.
  i32 FindTieredByName(const wchar* name) const;
  const TIEREDAWARD& GetTiered(u32 i) const { return tiered_[i % kTieredAwardCount]; }
  const RECORDAWARD& GetRecord(u32 i) const { return records_[i % kRecordAwardCount]; }
  Sprite* GetTotalPicture() const { return totalPicture_; }  // "ba_total"
  Sprite* GetTotalIcon() const { return totalIcon_; }        // "ico_total"

 private:
  TIEREDAWARD tiered_[kTieredAwardCount] = {};
  RECORDAWARD records_[kRecordAwardCount] = {};
  Sprite* totalPicture_ = nullptr;
  Sprite* totalIcon_ = nullptr;
};

// The game's table (installed in the content services), or null.
inline AwardTable* GetAwardTable() { return GetContentServices().awards; }

// Where the game shows its award notices: kind 0 a tiered award reaching
// `tier`, 1 a record award, 2 the final award. The game windows library
// (their award notice queue) will implement it; it is optional: without one
// no notice shows.
class AwardNotices {
 public:
  virtual ~AwardNotices() = default;
  virtual void ShowAward(i32 kind, u32 index, i32 tier) = 0;
};

// The award hooks of the running level over a profile's counters: every
// crossing shows its notice when asked to (and notices are installed), then
// the final award is checked.
class AwardProgress {
 public:
  AwardProgress(const AwardTable* table, AWARDCOUNTERS* counters, AwardNotices* notices)
      : table_(table), counters_(counters), notices_(notices) {}

  void RaiseRecord(u32 record, i32 value, bool add, bool notify);
  void AddProgress(u32 award, i32 n);  // a rise always shows its notice
  void CheckFinal(bool notify);

 private:
  void Show(i32 kind, u32 index, i32 tier, bool notify);

  const AwardTable* table_;
  AWARDCOUNTERS* counters_;
  AwardNotices* notices_;
};

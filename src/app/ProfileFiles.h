// ProfileFiles - the stored forms of a profile ("profile<N>.dat") and of the
// store's index ("profiles.dat"), each a data-file container saved safely.
//
// "profile<N>.dat": signature 0x164902A4, 0x02BE2E2A, version 0x80000001;
//   (0x2BD0D2B8, 0x80000002) the 72-byte header, then the CRC-32 of those
//     bytes (from 0) as a u32. Header: 0 u32 size 72, 4 16-byte key, 20 u32
//     reserved, 24 u64 last used (seconds since 1970), 32 name (17 UTF-16
//     units, zero-padded), 66 two padding bytes, 68 u32 times opened.
//   (0x2BC60980, 0x80000003) the 16-byte key, then the 924-byte progress
//     (content/ProfileProgress.h).
//   (0x2BC60981, 0x80000003) the 16-byte key, then the 72 bytes of the award
//     values the awards window showed last (the award counters' layout), so
//     awards won in one session still animate in the next. Files saved
//     before it was written have no such section: their shown values are
//     their current ones, as they are when the section is damaged.
//   (0x2BD75580 + regime x 41 + level, 0x80000003) for each level left
//     unfinished: its saved state (kis::DataBuffer's stored block).
// "profiles.dat": signature 0x5C542C92, 0x02822C7C, version 0x80000001;
//   (0x2BD8304C, 0x80000001) a 2316-byte block, then its CRC-32 (from 0) as
//     a u32. Block: 0 u32 size 2316, 4 the current profile's key (16 bytes,
//     zero for none), 20 41 best times of 56 bytes {0 u32 time (ms, 0 none),
//     4 holder's key, 20 holder's name (17 units), 54 two padding bytes}.
//
// Readers check everything before anything is kept (sizes, size words,
// checksums, keys) and terminate every name inside its field.
#pragma once

#include <string>

#include "base/RecordFields.h"
#include "base/Types.h"
#include "content/LevelTable.h"
#include "content/ProfileProgress.h"

namespace kis {
class DataBuffer;
}

constexpr u32 kProfileKeySize = 16;
constexpr u32 kProfileNameUnits = 17;  // 16 characters and a terminator
constexpr u32 kMaxProfileName = 16;

constexpr u32 kProfileFileSignature1 = 0x164902A4u;
constexpr u32 kProfileFileSignature2 = 0x02BE2E2Au;
constexpr u32 kProfileFileVersion = 0x80000001u;
constexpr u32 kProfileHeaderSectionId = 0x2BD0D2B8u;
constexpr u32 kProfileHeaderSectionSubId = 0x80000002u;
constexpr u32 kProgressSectionId = 0x2BC60980u;
constexpr u32 kShownAwardsSectionId = 0x2BC60981u;
constexpr u32 kShownAwardsSize = 88;
constexpr u32 kSavedLevelSectionBase = 0x2BD75580u;
constexpr u32 kProfileDataSectionSubId = 0x80000003u;  // progress and saved levels
constexpr u32 kProfileHeaderSize = 72;

constexpr u32 kIndexSignature1 = 0x5C542C92u;
constexpr u32 kIndexSignature2 = 0x02822C7Cu;
constexpr u32 kIndexVersion = 0x80000001u;
constexpr u32 kIndexSectionId = 0x2BD8304Cu;
constexpr u32 kIndexSectionSubId = 0x80000001u;
constexpr u32 kIndexBlockSize = 2316;
constexpr u32 kBestTimeSize = 56;

struct PROFILEHEADER {
  u32 size = kProfileHeaderSize;
  u8 key[kProfileKeySize] = {};
  u32 reserved = 0;
  u64 lastUsed = 0;
  wchar name[kProfileNameUnits] = {};
  u32 openCount = 0;
};

// The best time of a level over every profile and both regimes.
struct BESTTIME {
  u32 time = 0;
  u8 key[kProfileKeySize] = {};
  wchar name[kProfileNameUnits] = {};
};

// The award values the awards window showed last, under the profile's key.
struct SHOWNAWARDS {
  u8 key[kProfileKeySize] = {};
  AWARDCOUNTERS awards{};
};

struct PROFILEINDEX {
  u32 size = kIndexBlockSize;
  u8 currentKey[kProfileKeySize] = {};
  BESTTIME best[kLevelCount];
};

extern const RecordLayout kProfileHeaderLayout;
extern const RecordLayout kProfileIndexLayout;
extern const RecordLayout kShownAwardsLayout;

// The saved states a profile keeps, one slot per regime and level.
using SavedLevels = kis::DataBuffer* [kProfileRegimes][kLevelCount];

inline u32 SavedLevelSectionId(u32 regime, u32 level) { return kSavedLevelSectionBase + regime * kLevelCount + level; }

// Why a file did not read: `damaged` when it opened and its content is
// wrong (cut short, changed), else it could not be opened at all (missing:
// `missing`, or the system refused); `why` in words.
struct FileFault {
  bool missing = false;
  bool damaged = false;
  std::string why;
};

// Header and progress of a profile file: false unless the file opens with
// the profile signature and version, the header's size word is 72 and its
// checksum holds, and the progress section starts with the header's key and
// a size word of 924. The progress comes back sanitized; the shown award
// values (when asked for) from their section when it is whole and under the
// header's key, else the progress's current ones. A file that does not read
// fills `fault` with why, when given.
bool ReadProfileFile(const std::u16string& path, PROFILEHEADER* header, PROFILEPROGRESS* progress,
                     AWARDCOUNTERS* shown = nullptr, FileFault* fault = nullptr);
// The key of a profile file's header section as it stands, checksum or not
// (what is left of a damaged file); false when there is no such section.
bool ReadProfileKey(const std::u16string& path, u8* key);
// The saved levels of the file into empty slots: each section whose saved
// state reads back whole and names its own slot; any other is left out
// (and only it). False when the file does not open.
bool ReadSavedLevels(const std::u16string& path, SavedLevels& slots);
// The whole file through a safe save: header, progress, the shown award
// values (null: the current ones) and every saved level held. False (the
// old file kept) when anything fails, with the system's error in `error`
// when given. Saves go through the resource services' file faults.
bool WriteProfileFile(const std::u16string& path, const PROFILEHEADER& header, const PROFILEPROGRESS& progress,
                      const SavedLevels& slots, const AWARDCOUNTERS* shown = nullptr, int* error = nullptr);

// False unless the section is whole, its size word is 2316 and its checksum
// holds; `index` is then filled (names terminated).
bool ReadIndexFile(const std::u16string& path, PROFILEINDEX* index, FileFault* fault = nullptr);
bool WriteIndexFile(const std::u16string& path, const PROFILEINDEX& index, int* error = nullptr);

// Frees every saved level and empties the slots.
void FreeSavedLevels(SavedLevels& slots);

// What the profile tests share: a store on a folder of its own with a
// clock the test moves and keys from a counter, recording fakes of the
// map and the notice queues, raw bytes of a file's section, and a level
// table (and award table) filled in memory.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/GameLog.h"
#include "app/Profile.h"
#include "app/ProfileStore.h"
#include "base/Crc32.h"
#include "base/DataBuffer.h"
#include "base/datafile/DataFileReader.h"
#include "content/AwardTable.h"
#include "content/ContentArchive.h"
#include "content/ContentServices.h"
#include "content/ContentWriter.h"
#include "content/LevelTable.h"
#include "testsupport/TempFolder.h"

namespace profiletest {

struct Notices : ProfileNotices {
  void ClearQueues() override { ++cleared; }
  void ShowError(const wchar* caption, const wchar* text) override {
    errors.push_back(std::u16string(caption) + u"/" + text);
  }
  // "text key|argument|argument..." of each file notice.
  void ShowFileNotice(u32 id, const wchar* text, const std::vector<std::u16string>& args) override {
    std::u16string line = text;
    for (const std::u16string& a : args) line += u"|" + a;
    files.push_back(line);
    fileIds.push_back(id);
  }
  int cleared = 0;
  std::vector<std::u16string> errors;
  std::vector<std::u16string> files;
  std::vector<u32> fileIds;
};

// Records what the profile held when it was told.
struct Listener : LevelResultListener {
  explicit Listener(ProfileStore& s) : store(s) {}
  void RememberLevel(i32 level) override {
    remembered.push_back(level);
    statesBefore.push_back(NextState(level));
  }
  void SetLevelResult(const LEVELRESULT& r) override {
    results.push_back(r);
    statesAfter.push_back(NextState(r.level));
  }
  // The state of the level after `level` in the current profile's regime.
  u32 NextState(i32 level) const {
    const Profile* p = store.GetCurrent();
    return p ? p->GetLevelState(p->GetRegime(), static_cast<u32>(level + 1)) : 0;
  }
  ProfileStore& store;
  std::vector<i32> remembered;
  std::vector<u32> statesBefore, statesAfter;
  std::vector<LEVELRESULT> results;
};

// The bytes the game writes for a text file of these lines: the UTF-16LE
// mark, the lines joined by "\r\n".
inline std::vector<u8> TextFileBytes(const std::vector<std::u16string>& lines) {
  std::vector<u8> bytes = {0xFF, 0xFE};
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::u16string line = (i ? u"\r\n" : u"") + lines[i];
    for (char16_t c : line) {
      bytes.push_back(static_cast<u8>(c));
      bytes.push_back(static_cast<u8>(c >> 8));
    }
  }
  return bytes;
}

// The bytes of one section of a container file; empty when it is not there.
inline std::vector<u8> SectionBytes(const std::u16string& path, u32 sig1, u32 sig2, u32 version, u32 id, u32 subId) {
  std::vector<u8> bytes;
  kis::DataFileReaderW* r = kis::OpenDataFileReaderW(path.c_str(), sig1, sig2, version);
  if (r && r->HasSection(id, subId) && r->OpenSection(id, subId)) {
    bytes.resize(r->GetSectionSize());
    if (!r->Read(bytes.data(), static_cast<u32>(bytes.size()))) bytes.clear();
  }
  kis::CloseDataFile(r);
  return bytes;
}

inline u64 g_now = 1000000;

// A saved state of the slot: `size` bytes of `fill` (the last byte the slot's
// own mark) and eight record bytes.
inline kis::DataBuffer* SavedState(u32 regime, u32 level, u8 fill, u32 size = 64) {
  auto* b = new kis::DataBuffer;
  b->headerSize = kis::kDataBufferHeaderSize;
  b->playMode = regime;
  b->levelIndex = level;
  b->levelTime = 4321 + level;
  EXPECT_TRUE(b->GrowData(size) && b->GrowRecords(8));
  std::fill(b->Data(), b->Data() + size, fill);
  std::fill(b->Records(), b->Records() + 8, static_cast<u8>(~fill));
  b->dataSize = size;
  b->recordSize = 8;
  b->dataCrc = kis::Crc32(b->Data(), size);
  b->recordCrc = kis::Crc32(b->Records(), 8);
  return b;
}

// A store on `dir/profiles` with the rig's clock and a counter for keys.
struct Store {
  explicit Store(const TempFolder& dir, bool load = true) : folder(dir.Wide("profiles")), listener(store) {
    store.SetClock([] { return g_now; });
    store.SetKeySource([this] { return ++keyWord; });
    store.SetNotices(&notices);
    store.SetResultListener(&listener);
    PROFILEPROGRESS defaults = EmptyProfileProgress();
    defaults.tutorialsOn = 1;
    defaults.regimes[0].levels[0].state = kLevelOpen;
    defaults.regimes[1].levels[0].state = kLevelOpen;
    store.SetDefaults(defaults);
    if (load) code = store.LoadProfiles(folder);
  }
  // The store goes after the fakes: the current profile's last save (which
  // may fail and be told) must not reach them.
  ~Store() {
    store.SetNotices(nullptr);
    store.SetResultListener(nullptr);
  }
  Profile* Create(const wchar* name) {
    Profile* p = nullptr;
    EXPECT_EQ(store.CreateProfile(name, &p), 0);
    ++g_now;
    return p;
  }
  std::u16string folder;
  ProfileStore store;
  Notices notices;
  Listener listener;
  u32 keyWord = 0;
  i32 code = -1;
};

// The game's level table while it lives (installed in the content services):
// levels 0..40 loaded, in groups of four (level i in group i / 4), with
// limits bronze 60 s, silver 40 s, gold 20 s in both regimes; level i
// unlocks bonus i - 10 (so only levels 10 to 15 unlock one).
struct GameLevels {
  GameLevels() {
    for (u32 i = 0; i < kLevelCount; ++i) {
      LEVELINFO& info = table.Get(i);
      info.loaded = true;
      info.mapCell = static_cast<i32>(i);
      info.mapGroup = static_cast<i32>(i / 4);
      for (LEVELREGIME& r : info.regimes) r = LEVELREGIME{60000, 40000, 20000, 0, {}};
      info.bonusId = static_cast<i32>(i) - 10;
    }
    GetContentServices().levels = &table;
  }
  ~GameLevels() {
    if (GetContentServices().levels == &table) GetContentServices().levels = nullptr;
  }
  GameLevels(const GameLevels&) = delete;
  GameLevels& operator=(const GameLevels&) = delete;
  LevelTable table;
};

// The game's award table from its section (no icons): record 1, gold
// medals, at 2.
struct Awards {
  explicit Awards(const TempFolder& dir) {
    TIEREDAWARD tiered[kTieredAwardCount] = {};
    RECORDAWARD records[kRecordAwardCount] = {};
    for (TIEREDAWARD& t : tiered) t.tiers[0] = t.tiers[1] = t.tiers[2] = 1000;
    for (RECORDAWARD& r : records) r.threshold = 1000;
    records[1].threshold = 2;
    const std::u16string path = dir.Wide("awards.dat");
    EXPECT_TRUE(WriteDataArchive(path.c_str(), {{kAwardSectionId, kAwardSectionSubId, AwardSection(tiered, records)}}));
    kis::DataFileReaderW* r =
        kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
    SectionCursor cursor;
    table.ReadSection(r, &cursor);
    EXPECT_EQ(cursor.error, 0u);
    kis::CloseDataFile(r);
    GetContentServices().awards = &table;
  }
  ~Awards() {
    if (GetContentServices().awards == &table) GetContentServices().awards = nullptr;
  }
  Awards(const Awards&) = delete;
  Awards& operator=(const Awards&) = delete;
  AwardTable table;
};

}  // namespace profiletest

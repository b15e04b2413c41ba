// Damaged profile files never crash the game or cost another profile:
// three profiles' files each cut at every fourth byte and each byte
// flipped, the other two always load; a damaged saved level drops only
// itself.
#include <gtest/gtest.h>

#include <algorithm>

#include "ProfileRig.h"
#include "testsupport/ByteBuilder.h"

namespace profiletest {
namespace {

using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

// Ann (current, with three saved levels), Ben and Cid.
struct Three {
  explicit Three(const TempFolder& dir) {
    Store s(dir);
    GameLevels levels;
    for (const wchar* name : {u"Cid", u"Ben", u"Ann"}) {
      Profile* p = s.Create(name);
      s.store.SelectProfile(p);
      p->RecordLevelResult(0, 30000, nullptr);
    }
    Profile* ann = s.store.GetCurrent();
    *ann->Slot(0, 3) = SavedState(0, 3, 0x33);
    *ann->Slot(0, 7) = SavedState(0, 7, 0x77);
    *ann->Slot(1, 2) = SavedState(1, 2, 0x12);
    ann->SaveProfile();
    for (int n = 0; n < 3; ++n)
      files.push_back(ReadFileBytes(dir.File("profiles/profile" + std::to_string(n) + ".dat")));
  }
  std::vector<std::vector<u8>> files;  // Cid, Ben, Ann
};

std::vector<std::u16string> Names(const ProfileStore& store) {
  std::vector<std::u16string> names;
  for (u32 i = 0; i < store.GetCount(); ++i) names.push_back(store.GetRecent(i)->GetName());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(DamagedProfiles, EveryCutAndFlippedByteCostsOnlyItsOwnProfile) {
  TempFolder dir;
  const Three three(dir);
  const std::vector<std::u16string> all = {u"Ann", u"Ben", u"Cid"};
  int loadedDamaged = 0, cases = 0;
  for (int n = 0; n < 3; ++n) {
    const std::vector<u8>& good = three.files[n];
    const std::string path = dir.File("profiles/profile" + std::to_string(n) + ".dat");
    for (size_t i = 0; i < good.size(); ++i) {
      std::vector<std::vector<u8>> damaged;
      if (i % 4 == 0) damaged.emplace_back(good.begin(), good.begin() + static_cast<long>(i));
      damaged.push_back(good);
      damaged.back()[i] ^= static_cast<u8>(1u << (i % 8));
      for (const std::vector<u8>& bytes : damaged) {
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        ProfileStore store;
        store.SetClock([] { return g_now; });
        ASSERT_EQ(store.LoadFolder(dir.Wide("profiles")), 0);
        const std::vector<std::u16string> names = Names(store);
        ++cases;
        // The other two always; the damaged one perhaps (a flipped name
        // loads under its new name).
        ASSERT_GE(names.size(), 2u) << n << " " << i;
        for (int other = 0; other < 3; ++other) {
          if (other == 2 - n) continue;
          ASSERT_NE(std::find(names.begin(), names.end(), all[other]), names.end()) << n << " " << i;
        }
        loadedDamaged += names.size() == 3;
        for (u32 k = 0; k < store.GetCount(); ++k) {
          const PROFILEPROGRESS& p = store.GetRecent(k)->GetProgress();
          ASSERT_LT(p.regime, 2u);
          for (const REGIMEPROGRESS& r : p.regimes) {
            ASSERT_LE(r.newCount, 3u);
            for (const LEVELPROGRESS& l : r.levels) ASSERT_LE(l.state, 6u);
          }
        }
      }
    }
    ASSERT_TRUE(WriteFileBytes(path, good));
  }
  RecordProperty("DamagedFilesThatStillLoaded", loadedDamaged);
  EXPECT_GT(cases, 3000);
  EXPECT_GT(loadedDamaged, 0);  // damage to carried or saved-level bytes only
}

// The sections of Ann's file: one saved level spoilt, the others stay; the
// profile and its progress stay.
TEST(DamagedProfiles, ADamagedSavedLevelDropsOnlyItself) {
  TempFolder dir;
  const Three three(dir);
  std::vector<u8> ann = three.files[2];
  kis::DataFileReaderW* r = kis::OpenDataFileReaderW(dir.Wide("profiles/profile2.dat").c_str(), kProfileFileSignature1,
                                                     kProfileFileSignature2, kProfileFileVersion);
  ASSERT_NE(r, nullptr);
  u32 at = 0;
  for (const kis::DATAFILEENTRY& e : r->GetDirectory()->entries)
    if (e.id == SavedLevelSectionId(0, 7)) at = e.offset + 60;  // inside its data
  kis::CloseDataFile(r);
  ASSERT_GT(at, 0u);
  ann[at] ^= 0xFF;
  ASSERT_TRUE(WriteFileBytes(dir.File("profiles/profile2.dat"), ann));
  Store s(dir);
  Profile* current = s.store.GetCurrent();
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(std::u16string(current->GetName()), u"Ann");
  EXPECT_TRUE(current->HasSavedLevel(3));
  EXPECT_FALSE(current->HasSavedLevel(7));
  EXPECT_EQ(current->GetSavedLevel(3)->Data()[63], 0x33);
  EXPECT_NE(*current->Slot(1, 2), nullptr);
  EXPECT_EQ(current->GetLevelState(0, 0), 5u);

  // A saved level whose state names another slot is not taken either.
  kis::DataBuffer* moved = SavedState(0, 9, 0x99);
  *current->Slot(0, 4) = moved;
  ASSERT_EQ(s.store.SaveProfile(), 0);
  Store again(dir);
  EXPECT_FALSE(again.store.GetCurrent()->HasSavedLevel(4));
  EXPECT_TRUE(again.store.GetCurrent()->HasSavedLevel(3));
}

}  // namespace
}  // namespace profiletest

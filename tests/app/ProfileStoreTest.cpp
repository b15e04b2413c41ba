// The profile store: names checked and cleaned, the twelve-profile limit,
// unique keys, files that do not load left alone, choosing a profile (queues
// cleared once, saved levels read, a non-current profile saved with its
// saved levels), deleting one with its records, a damaged "profiles.dat"
// replaced, and nothing written without a folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "ProfileRig.h"
#include "platform/os/Clock.h"
#include "testsupport/ByteBuilder.h"

namespace profiletest {
namespace {

TEST(ProfileStore, NamesAreCleanedAndCheckedBeforeAProfileIsMade) {
  TempFolder dir;
  Store s(dir);
  EXPECT_EQ(std::u16string(s.Create(u"  Bob   Smith  ")->GetName()), u"Bob Smith");
  const std::pair<const wchar*, i32> names[] = {
      {u"bob smith", kProfileNameUsed},   {u"BOB SMITH ", kProfileNameUsed}, {u"    ", kProfileNameEmpty},
      {nullptr, kProfileNameEmpty},       {u"abcdefghijklmnop", 0},           {u"abcdefghijklmnopq", kProfileNameLong},
      {u"abcdefghijklmnop ", kProfileNameLong},  // the 17th is taken before blanks are dropped
      {u"a/b", kProfileNameCharacter},    {u"a.b", kProfileNameCharacter},  // not in the default set
  };
  for (auto [name, code] : names) EXPECT_EQ(s.store.CheckName(name, nullptr), code) << (name ? name[0] : 0);
  // A language that allows dots still never names a folder "..", nor a slash.
  s.store.SetNameCharacters(u"abc./\\:\x01 ");
  EXPECT_EQ(s.store.CheckName(u" .. ", nullptr), kProfileNameCharacter);
  EXPECT_EQ(s.store.CheckName(u"a.b", nullptr), 0);
  EXPECT_EQ(s.store.CheckName(u"a\\b", nullptr), kProfileNameCharacter);
  EXPECT_EQ(s.store.CheckName(u"a\x01", nullptr), kProfileNameCharacter);
  wchar list[8];
  EXPECT_EQ(s.store.ListNameCharacters(list, 8), 5u);
  EXPECT_EQ(std::u16string(list), u" .abc");
  EXPECT_EQ(s.store.ListNameCharacters(list, 3), 2u);
  Profile* none = nullptr;
  EXPECT_EQ(s.store.CreateProfile(u"a/b", &none), kProfileNameCharacter);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(s.store.GetCount(), 1u);
  for (i32 code : {kProfileNameEmpty, kProfileNameUsed, kProfileStoreFull}) s.store.ShowError(code);
  EXPECT_EQ(s.notices.errors,
            (std::vector<std::u16string>{u"error/err_empty", u"error/err_used", u"error/err_unknown"}));
}

TEST(ProfileStore, TwelveProfilesAtMostEachWithAKeyOfItsOwn) {
  TempFolder dir;
  Store s(dir);
  Profile* first = s.Create(u"P0");
  // The source repeats the first key, then gives zeros, before new words.
  const std::vector<u32> words = {1, 2, 3, 4, 0, 0, 0, 0, 9, 9, 9, 9};
  size_t next = 0;
  s.store.SetKeySource([&] { return next < words.size() ? words[next++] : 1000 + static_cast<u32>(next++); });
  EXPECT_EQ(kis::GetU32LE(s.Create(u"P1")->GetKey()), 9u);
  EXPECT_EQ(next, 12u);
  for (int i = 2; i < 12; ++i) s.Create(plat::Utf8ToUtf16("P" + std::to_string(i)).c_str());
  Profile* out = first;
  EXPECT_EQ(s.store.CreateProfile(u"P12", &out), kProfileStoreFull);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(s.store.GetRecent(0)->GetNumber(), 11);
  EXPECT_EQ(s.store.GetRecent(11), first);
  EXPECT_EQ(s.store.GetRecent(12), nullptr);

  // Read again: a thirteenth file is not loaded; then, a file with another's
  // key is refused.
  std::filesystem::copy_file(dir.File("profiles/profile0.dat"), dir.File("profiles/profile12.dat"));
  EXPECT_EQ(Store(dir).store.GetCount(), 12u);
  std::filesystem::remove(dir.File("profiles/profile11.dat"));
  Store third(dir);
  EXPECT_EQ(third.store.GetCount(), 11u);
  for (u32 i = 0; i < third.store.GetCount(); ++i) EXPECT_NE(third.store.GetRecent(i)->GetNumber(), 12);
}

// Under a replay's clock the keys come from its seed (or, unseeded, from its
// wall time): one seed draws the same keys run after run, another other keys.
TEST(ProfileStore, KeysFollowTheSeedUnderAReplaysClock) {
  plat::FakeClock clock;
  clock.SetLocalTime(plat::LocalTime{2026, 1, 4, 1, 0, 0, 0, 0});
  plat::ScopedClock installed(&clock);
  const auto keys = [](const TempFolder& dir, const u32* seed) {
    Store s(dir);
    s.store.SetKeySource(nullptr);
    s.store.SetClock(nullptr);
    if (seed) s.store.SeedKeys(*seed);
    std::vector<u8> out;
    for (const wchar* name : {u"A", u"B"}) {
      const Profile* p = s.Create(name);
      out.insert(out.end(), p->GetKey(), p->GetKey() + kProfileKeySize);
      EXPECT_EQ(p->GetHeader().lastUsed, 1767225600u);  // 1 January 2026, the clock's wall time
    }
    return out;
  };
  TempFolder a, b, c, d, e, f;
  const u32 seven = 7, eight = 8;
  EXPECT_EQ(keys(a, &seven), keys(b, &seven));
  EXPECT_NE(keys(c, &seven), keys(d, &eight));
  EXPECT_EQ(keys(e, nullptr), keys(f, nullptr));
}

// Only "profile<digits>.dat" in lower case is loaded; a file that does not
// load keeps its number: a new profile never overwrites it.
TEST(ProfileStore, FilesThatDoNotLoadAreLeftAlone) {
  TempFolder dir;
  Store(dir).Create(u"Ann");
  for (const char* name : {"Profile1.dat", "profile01x.dat", "profile99999999999.dat", "profile.dat"})
    std::filesystem::copy_file(dir.File("profiles/profile0.dat"), dir.File(std::string("profiles/") + name));
  dir.Put("profiles/profile2.dat", "not a profile");
  std::filesystem::create_directory(dir.File("profiles/profile3.dat"));
  Store s(dir);
  ASSERT_EQ(s.store.GetCount(), 1u);
  // 1 is taken by "Profile1.dat" (names are found without regard to case),
  // 2 by a damaged file, 3 by a folder.
  EXPECT_EQ(s.Create(u"Ben")->GetNumber(), 4);
  EXPECT_EQ(dir.Read("profiles/profile2.dat"), "not a profile");
  EXPECT_EQ(dir.Read("profiles/Profile1.dat"), dir.Read("profiles/profile01x.dat"));
}

TEST(ProfileStore, ChoosingAProfileReadsItsSavedLevelsAndClearsTheQueuesOnce) {
  TempFolder dir;
  Store s(dir);
  Profile* ann = s.Create(u"Ann");
  Profile* ben = s.Create(u"Ben");
  ASSERT_EQ(s.store.SelectProfile(ann), 0);
  EXPECT_EQ(s.store.SelectProfile(ann), 0);
  EXPECT_EQ(s.notices.cleared, 1);
  *ann->Slot(0, 5) = SavedState(0, 5, 0x55);
  ann->SaveProfile();
  ASSERT_EQ(s.store.SelectProfile(ben), 0);
  EXPECT_EQ(s.notices.cleared, 2);
  EXPECT_FALSE(ann->HasSavedLevel(5));  // dropped from memory, kept in the file
  EXPECT_EQ(s.store.GetGameLog()->GetProfile(), ben);

  // Saved while Ben is current, Ann's file keeps her saved level.
  ann->MarkShown(2);
  ASSERT_EQ(s.store.SelectProfile(ann), 0);
  EXPECT_TRUE(ann->HasSavedLevel(5) && ann->HasFlags(2));
  EXPECT_EQ(ann->GetHeader().openCount, 2u);
  EXPECT_EQ(ann->GetOpenCount(), 2u);  // the map's greeting says hello now
  // The awards window's sets: the current one, and the one it showed last,
  // which only the window moves on.
  EXPECT_EQ(GetGameServices().awardsProfile, ann);
  ann->GetAwardCounters()->records[0] = 4;
  EXPECT_EQ(ann->GetShownAwards()->records[0], 0);
  EXPECT_FALSE(ann->IsHardUnlocked());
  static_cast<MapProfile*>(ann)->SetRegime(1);  // as the map's regime button does
  EXPECT_FALSE(ann->HasSavedLevel(5));  // the hard regime has none

  // Read from the folder again, the last chosen profile is current.
  Store again(dir);
  ASSERT_NE(again.store.GetCurrent(), nullptr);
  EXPECT_EQ(std::u16string(again.store.GetCurrent()->GetName()), u"Ann");
  EXPECT_EQ((*again.store.GetCurrent()->Slot(0, 5))->Data()[0], 0x55);
  EXPECT_EQ(again.code, 0);
  EXPECT_EQ(GetGameServices().awardsProfile, again.store.GetCurrent());
  // The award won and not yet looked at still waits in the shown set.
  EXPECT_EQ(again.store.GetCurrent()->GetShownAwards()->records[0], 0);
  EXPECT_EQ(again.store.GetCurrent()->GetAwardCounters()->records[0], 4);
  EXPECT_EQ(again.store.Select(nullptr), kProfileNone);
  EXPECT_EQ(GetGameServices().awardsProfile, nullptr);
  EXPECT_EQ(again.notices.cleared, 2);
  EXPECT_EQ(again.store.GetGameLog(), nullptr);
}

TEST(ProfileStore, DeletingAProfileRemovesItsFilesButNothingElse) {
  TempFolder dir;
  Store s(dir);
  Profile* ann = s.Create(u"Ann");
  Profile* ben = s.Create(u"Ben");
  for (Profile* p : {ben, ann}) {
    ASSERT_EQ(s.store.SelectProfile(p), 0);
    ASSERT_TRUE(s.store.GetGameLog()->WriteSummary());
  }
  dir.Put("profiles/Ben/notes.txt", "mine");
  EXPECT_EQ(s.store.DeleteProfile(ann), 0);
  EXPECT_EQ(s.store.GetCurrent(), nullptr);
  EXPECT_FALSE(dir.Exists("profiles/profile0.dat") || dir.Exists("profiles/Ann"));
  EXPECT_EQ(s.store.DeleteProfile(ben), 0);
  EXPECT_FALSE(dir.Exists("profiles/Ben/records.txt"));
  EXPECT_EQ(dir.Read("profiles/Ben/notes.txt"), "mine");
  EXPECT_EQ(s.store.DeleteProfile(ben), kProfileNone);
  EXPECT_EQ(s.Create(u"Ann")->GetNumber(), 0);  // a new Ann, without the old one's history
  EXPECT_FALSE(dir.Exists("profiles/Ann"));
}

// A damaged "profiles.dat" loses the best times only: 33, the most recent
// profile is chosen and the index written again.
TEST(ProfileStore, ADamagedIndexIsReplacedWithTheLatestProfileCurrent) {
  TempFolder dir;
  {
    Store s(dir);
    EXPECT_EQ(s.code, kIndexNotRead);  // no index yet
    Profile* ann = s.Create(u"Ann");
    s.Create(u"Ben");
    s.store.SelectProfile(ann);
    GameLevels levels;
    ann->RecordLevelResult(0, 5000, nullptr);
  }
  std::vector<u8> bytes = testsupport::ReadFileBytes(dir.File("profiles/profiles.dat"));
  bytes[40] ^= 1;  // a best time: the checksum fails
  ASSERT_TRUE(testsupport::WriteFileBytes(dir.File("profiles/profiles.dat"), bytes));
  {
    Store s(dir);
    EXPECT_EQ(s.code, kIndexNotRead);
    EXPECT_EQ(std::u16string(s.store.GetCurrent()->GetName()), u"Ann");  // used last
    EXPECT_EQ(s.store.GetBestTime(0).time, 0u);
    EXPECT_EQ(s.store.GetCurrent()->GetBestTime(0, 0), 5000u);  // the profile keeps its own
  }
  Store s(dir);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(std::u16string(s.store.GetCurrent()->GetName()), u"Ann");
}

TEST(ProfileStore, NothingIsWrittenWithoutAFolder) {
  TempFolder dir;
  Store s(dir, false);
  Profile* p = nullptr;
  EXPECT_EQ(s.store.CreateProfile(u"Ann", &p), 0);
  EXPECT_TRUE(p->GetPath().empty());
  EXPECT_EQ(s.store.SaveProfileFile(p), kProfileNothingDone);
  EXPECT_EQ(s.store.WriteIndex(), kProfileNothingDone);
  EXPECT_EQ(s.store.LoadProfiles(u""), kProfileNothingDone);
  EXPECT_EQ(s.store.LoadProfiles(dir.Wide(std::string(248 - dir.Path().size() - 1, 'x'))), kProfileNothingDone);
  dir.Put("file", "x");
  EXPECT_EQ(s.store.LoadProfiles(dir.Wide("file")), kProfileNothingDone);
  EXPECT_EQ(s.store.LoadProfiles(dir.Wide("deep/er")), kIndexNotRead);  // made with its parent
  EXPECT_TRUE(dir.Exists("deep/er/profiles.dat"));
  // Paths beyond the container's 259 characters are not written, and say so.
  EXPECT_EQ(s.store.LoadProfiles(dir.Wide(std::string(247 - dir.Path().size() - 1, 'y'))), kIndexNotRead);
  EXPECT_EQ(s.store.WriteIndex(), kIndexNotWritten);
  EXPECT_EQ(s.store.CreateProfile(u"Ann", &p), kProfileNotWritten);
}

}  // namespace
}  // namespace profiletest

// The profile store: names checked and cleaned, the twelve-profile limit,
// unique keys, files that do not load left alone, choosing a profile (queues
// cleared once, saved levels read, a non-current profile saved with its
// saved levels), deleting one with its records, a damaged "profiles.dat"
// replaced, and nothing written without a folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "ProfileRig.h"
#include "app/Settings.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "platform/os/FileFaults.h"
#include "platform/os/StdioFile.h"
#include "resources/ResourceServices.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/LogCapture.h"
#include "windows/WindowServices.h"

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
  // Allowed or not, half a surrogate pair names no character, and blanks of
  // any kind alone are no name.
  s.store.SetNameCharacters(u"abc \x3000\xD83D\xDE00");
  EXPECT_EQ(s.store.CheckName(u"a\xD83D", nullptr), kProfileNameCharacter);
  EXPECT_EQ(s.store.CheckName(u"\xDE00" u"a", nullptr), kProfileNameCharacter);
  EXPECT_EQ(s.store.CheckName(u"a\xD83D\xDE00", nullptr), 0);
  EXPECT_EQ(s.store.CheckName(u"\x3000", nullptr), kProfileNameEmpty);
  EXPECT_EQ(s.store.CheckName(u" \x3000 ", nullptr), kProfileNameEmpty);
  s.store.SetNameCharacters(u"abc./\\:\x01 ");
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
  plat::PlatformServicesScope installed({.clock = &clock});
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

// Only "profile<digits>.dat" in lower case is loaded. A damaged file is
// put aside under a name that says so (a second one beside the first),
// never written over, and the player told of it, by the farmer's name when
// "profiles.dat" knows the file's key; a folder, a named pipe (never opened:
// it would wait for a writer), a link to a device or to nothing in a file's
// place is told as what it is and stays, its number never given again.
TEST(ProfileStore, DamagedFilesArePutAsideToldAndNeverOverwritten) {
  TempFolder dir;
  {
    Store s(dir);
    s.Create(u"Cid");
    s.store.SelectProfile(s.Create(u"Ann"));
    GameLevels levels;
    s.store.GetCurrent()->RecordLevelResult(0, 30000, nullptr);  // "profiles.dat" names Ann by her key
  }
  for (const char* name : {"Profile1.dat", "profile01x.dat", "profile99999999999.dat", "profile.dat"})
    std::filesystem::copy_file(dir.File("profiles/profile0.dat"), dir.File(std::string("profiles/") + name));
  std::string ann = dir.Read("profiles/profile1.dat");
  ann.resize(ann.size() / 2);  // cut short: the directory is gone
  dir.Put("profiles/profile1.dat", ann);
  dir.Put("profiles/profile2.dat", "not a profile");
  std::filesystem::create_directory(dir.File("profiles/profile3.dat"));
  ASSERT_EQ(::mkfifo(dir.File("profiles/profile5.dat").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", dir.File("profiles/profile6.dat"));
  std::filesystem::create_symlink(dir.File("gone"), dir.File("profiles/profile7.dat"));
  {
    Store s(dir);
    ASSERT_EQ(s.store.GetCount(), 1u);  // Cid
    EXPECT_EQ(dir.Read("profiles/profile1.dat.damaged"), ann);
    EXPECT_EQ(dir.Read("profiles/profile2.dat.damaged"), "not a profile");
    EXPECT_FALSE(dir.Exists("profiles/profile1.dat"));
    EXPECT_EQ(s.notices.files,
              (std::vector<std::u16string>{u"damaged_farmer|profile1.dat|profile1.dat.damaged|Ann",
                                           u"damaged|profile2.dat|profile2.dat.damaged",
                                           u"unreadable|profile3.dat|a folder, not a file",
                                           u"unreadable|profile5.dat|a named pipe, not a file",
                                           u"unreadable|profile6.dat|a device, not a file",
                                           u"unreadable|profile7.dat|a link to nothing, not a file"}));
    EXPECT_EQ(s.notices.fileIds, (std::vector<u32>{kNoticeDamaged + 1, kNoticeDamaged + 2, kNoticeDamaged + 3,
                                                   kNoticeDamaged + 5, kNoticeDamaged + 6, kNoticeDamaged + 7}));
    // 1 is taken by "Profile1.dat" (names are found without regard to
    // case), 3 by the folder; 2 is free again.
    EXPECT_EQ(s.Create(u"Ben")->GetNumber(), 2);
    EXPECT_EQ(s.Create(u"Dan")->GetNumber(), 4);
    EXPECT_EQ(s.Create(u"Eve")->GetNumber(), 8);
  }
  EXPECT_FALSE(dir.Exists("gone"));
  EXPECT_TRUE(std::filesystem::is_fifo(dir.File("profiles/profile5.dat")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("profiles/profile6.dat")));
  dir.Put("profiles/profile2.dat", "damaged again");
  Store s(dir);
  EXPECT_EQ(s.store.GetCount(), 3u);
  EXPECT_EQ(dir.Read("profiles/profile2.dat.damaged"), "not a profile");
  EXPECT_EQ(dir.Read("profiles/profile2.dat.damaged-2"), "damaged again");
  EXPECT_EQ(dir.Read("profiles/Profile1.dat"), dir.Read("profiles/profile01x.dat"));
}

// A ".bak" left whole by a save cut off before its rename takes the place
// of a file that is missing or damaged; one cut off while it was written
// is left for the next save. "profiles.dat" alike.
TEST(ProfileStore, AWholeBakStandsInForAMissingOrDamagedFile) {
  TempFolder dir;
  {
    Store s(dir);
    s.Create(u"Ann");
    s.store.SelectProfile(s.Create(u"Ben"));
    GameLevels levels;
    s.store.GetCurrent()->RecordLevelResult(0, 30000, nullptr);
  }
  const std::string ann = dir.Read("profiles/profile0.dat"), ben = dir.Read("profiles/profile1.dat");
  const std::string index = dir.Read("profiles/profiles.dat");
  std::filesystem::rename(dir.File("profiles/profile0.dat"), dir.File("profiles/profile0.dat.bak"));
  dir.Put("profiles/profile1.dat", ben.substr(0, 100));
  dir.Put("profiles/profile1.dat.bak", ben);
  dir.Put("profiles/profile2.dat.bak", ann.substr(0, ann.size() - 1));  // a first save cut short
  std::filesystem::rename(dir.File("profiles/profiles.dat"), dir.File("profiles/profiles.dat.bak"));
  {
    Store s(dir);
    EXPECT_EQ(s.code, 0);
    EXPECT_EQ(s.store.GetCount(), 2u);
    EXPECT_EQ(std::u16string(s.store.GetCurrent()->GetName()), u"Ben");
    EXPECT_EQ(s.store.GetBestTime(0).time, 30000u);
    EXPECT_EQ(s.store.GetBestTime(kLevelCount).time, 0u);
    EXPECT_TRUE(s.notices.files.empty());  // nothing lost: the log tells
  }
  EXPECT_EQ(dir.Read("profiles/profile0.dat").size(), ann.size());  // Ann, saved again
  EXPECT_FALSE(dir.Exists("profiles/profile0.dat.bak"));
  EXPECT_EQ(dir.Read("profiles/profile1.dat.damaged"), ben.substr(0, 100));
  EXPECT_TRUE(dir.Exists("profiles/profile2.dat.bak"));
  EXPECT_FALSE(dir.Exists("profiles/profile2.dat"));
  EXPECT_FALSE(dir.Exists("profiles/profiles.dat.bak"));
  EXPECT_EQ(dir.Read("profiles/profiles.dat"), index);
}

// Fourteen files: the twelve used most recently load, whatever their
// numbers (the two oldest have the lowest), each read and saved by its
// listed name; a copy of a loaded profile's file (the same key) is left out.
TEST(ProfileStore, OfMoreThanTwelveFilesTheMostRecentlyUsedLoad) {
  TempFolder dir, other;
  {
    Store s(dir);
    for (int i = 0; i < 12; ++i) s.Create(plat::Utf8ToUtf16("Old" + std::to_string(i)).c_str());
  }
  {
    Store s(other);
    s.store.SetKeySource([n = 500u]() mutable { return ++n; });
    s.Create(u"New0");
    s.Create(u"New1");
  }
  std::filesystem::copy_file(other.File("profiles/profile0.dat"), dir.File("profiles/profile12.dat"));
  std::filesystem::copy_file(other.File("profiles/profile1.dat"), dir.File("profiles/profile013.dat"));
  std::filesystem::copy_file(dir.File("profiles/profile2.dat"), dir.File("profiles/profile30.dat"));
  Store s(dir);
  ASSERT_EQ(s.store.GetCount(), kMaxProfiles);
  EXPECT_EQ(s.store.FindByName(u"Old0"), nullptr);
  EXPECT_EQ(s.store.FindByName(u"Old1"), nullptr);
  ASSERT_NE(s.store.FindByName(u"New1"), nullptr);
  EXPECT_EQ(s.store.GetRecent(0), s.store.FindByName(u"New1"));
  EXPECT_EQ(s.store.FindByName(u"Old2")->GetNumber(), 2);
  EXPECT_TRUE(s.notices.files.empty());  // left out, not damaged: the log says which
  EXPECT_TRUE(dir.Exists("profiles/profile0.dat") && dir.Exists("profiles/profile30.dat"));
  EXPECT_FALSE(dir.Exists("profiles/profile13.dat"));  // New1 is saved where it was read
}

// The disk's failures as a test stands them in.
struct DiskFaults : plat::FileFaults {
  int Fault(plat::FileStep step, std::string_view) override { return step == failAt ? error : 0; }
  plat::FileStep failAt = plat::FileStep::Sync;
  int error = 0;
};

// Every save that fails is told, each time, with its reason; the old file
// stays as it was. A profile whose first save fails is made all the same.
// A full disk met by the stream's flush in a seek is no space too; a named
// pipe in the place of "profiles.dat" or "config.dat" is said as what it is.
TEST(ProfileStore, FailedSavesAreToldEveryTimeWithTheirReason) {
  TempFolder dir;
  Store s(dir);
  DiskFaults disk;
  GetResourceServices().fileFaults = &disk;
  Profile* ann = s.Create(u"Ann");
  const std::string saved = dir.Read("profiles/profile0.dat");
  disk.error = ENOSPC;
  EXPECT_EQ(s.store.SaveProfileFile(ann), kProfileNotWritten);
  EXPECT_EQ(s.store.SaveProfileFile(ann), kProfileNotWritten);
  EXPECT_EQ(s.store.WriteIndex(), kIndexNotWritten);
  disk.failAt = plat::FileStep::Create;
  disk.error = EACCES;
  EXPECT_EQ(s.store.SaveProfileFile(ann), kProfileNotWritten);
  disk.error = EIO;
  Profile* ben = nullptr;
  EXPECT_EQ(s.store.CreateProfile(u"Ben", &ben), kProfileNotWritten);
  ASSERT_NE(ben, nullptr);
  EXPECT_EQ(s.store.GetCount(), 2u);
  EXPECT_EQ(dir.Read("profiles/profile0.dat"), saved);
  EXPECT_FALSE(dir.Exists("profiles/profile0.dat.bak"));
  const std::u16string space = u"not_saved_space|profile0.dat|no space left on the disk";
  EXPECT_EQ(s.notices.files,
            (std::vector<std::u16string>{space, space, u"not_saved_space|profiles.dat|no space left on the disk",
                                         u"not_saved_access|profile0.dat|not allowed to write there",
                                         u"not_saved|profile1.dat|" + plat::Utf8ToUtf16(std::strerror(EIO))}));
  ASSERT_EQ(s.notices.fileIds.size(), 5u);
  EXPECT_EQ(s.notices.fileIds[2], kNoticeNotSaved + kIndexNoticeNumber);
  disk.error = 0;
  EXPECT_EQ(s.store.SaveProfileFile(ben), 0);
  GetResourceServices().fileFaults = nullptr;

  LogCapture log;
  s.notices.files.clear();
  plat::SetWriteFaultAfter(0, plat::WriteFault::AtFlush);
  EXPECT_EQ(s.store.SaveProfileFile(ann), kProfileNotWritten);
  EXPECT_EQ(s.store.WriteIndex(), kIndexNotWritten);
  int error = 0;
  EXPECT_FALSE(SaveSettings(s.folder, SCREENPARAMS{}, &error));
  plat::SetWriteFaultAfter(-1);
  EXPECT_EQ(error, ENOSPC);
  EXPECT_EQ(dir.Read("profiles/profile0.dat"), saved);
  disk.failAt = plat::FileStep::Sync;
  disk.error = ENOSPC;
  GetResourceServices().fileFaults = &disk;
  EXPECT_FALSE(gamelog::GameLog(ann, s.store.GetFolder()).WriteSummary());
  GetResourceServices().fileFaults = nullptr;
  std::filesystem::remove(dir.File("profiles/profiles.dat"));
  for (const char* name : {"profiles/profiles.dat", "profiles/config.dat"})
    ASSERT_EQ(::mkfifo(dir.File(name).c_str(), 0600), 0);
  EXPECT_EQ(s.store.WriteIndex(), kIndexNotWritten);
  EXPECT_FALSE(SaveSettings(s.folder, SCREENPARAMS{}));
  SCREENPARAMS read;
  EXPECT_TRUE(LoadSettings(s.folder, &read));
  EXPECT_EQ(s.notices.files,
            (std::vector<std::u16string>{space, u"not_saved_space|profiles.dat|no space left on the disk",
                                         u"not_saved|profiles.dat|a named pipe is in its place"}));
  for (const char* line :
       {"profile0.dat not saved: no space left on the disk", "config.dat not saved: no space left on the disk",
        "records.txt not saved: no space left on the disk", "profiles.dat not saved: a named pipe is in its place",
        "config.dat not saved: a named pipe is in its place",
        "config.dat does not read (a named pipe, not a file): the defaults are used"})
    EXPECT_NE(log.Text().find(line), std::string::npos) << line << "\n" << log.Text();
}

// `body` in a child process with a small tmpfs of its own on `folder`, in a
// mount namespace that goes with the child (nothing is left mounted): its
// problems, one a line; "SKIPPED: why" where no such disk can be had.
std::string OnASmallDisk(const std::string& folder, const std::function<std::string()>& body) {
  int out[2];
  if (::pipe(out) != 0) return "no pipe";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(out[0]);
    std::string said;
    if (::unshare(CLONE_NEWNS) != 0)
      said = std::string("SKIPPED: no mount namespace of its own (") + std::strerror(errno) + "; needs root)";
    else if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
             ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=256k") != 0)
      said = std::string("SKIPPED: no tmpfs can be mounted (") + std::strerror(errno) + ")";
    else
      said = body();
    const bool ok = ::write(out[1], said.data(), said.size()) == static_cast<ssize_t>(said.size());
    ::_exit(ok ? 0 : 1);
  }
  ::close(out[1]);
  std::string said;
  char chunk[512];
  for (ssize_t n; (n = ::read(out[0], chunk, sizeof chunk)) > 0;) said.append(chunk, static_cast<size_t>(n));
  ::close(out[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) said += "the child did not end well\n";
  return said;
}

// A real full disk (a tmpfs filled up): the profile's, the index's and the
// settings' saves meet it in the stream's flush, the records' in their
// write; each is told as no space, and every old file stays as it was.
TEST(ProfileStore, ARealFullDiskIsToldAsNoSpace) {
  TempFolder dir;
  std::filesystem::create_directory(dir.File("profiles"));
  const std::string said = OnASmallDisk(dir.File("profiles"), [&] {
    std::string problems;
    const auto check = [&problems](bool ok, const std::string& what) {
      if (!ok) problems += what + "\n";
    };
    LogCapture log;
    Store s(dir);
    s.store.SelectProfile(s.Create(u"Ann"));
    check(SaveSettings(s.folder, SCREENPARAMS{}) && s.store.GetGameLog()->WriteSummary(), "the first saves failed");
    const std::string profile = dir.Read("profiles/profile0.dat"), index = dir.Read("profiles/profiles.dat"),
                      config = dir.Read("profiles/config.dat"), records = dir.Read("profiles/Ann/records.txt");
    // Filled page by page until the disk says no.
    const int fill = ::open(dir.File("profiles/filler").c_str(), O_WRONLY | O_CREAT, 0600);
    const std::string page(4096, 'f');
    while (::write(fill, page.data(), page.size()) == static_cast<ssize_t>(page.size())) {
    }
    check(errno == ENOSPC, std::string("the filler stopped on ") + std::strerror(errno));
    ::close(fill);
    s.notices.files.clear();
    check(s.store.SaveProfile() == kProfileNotWritten && s.store.WriteIndex() == kIndexNotWritten,
          "a save went through");
    int error = 0;
    check(!SaveSettings(s.folder, SCREENPARAMS{}, &error), "config.dat was saved");
    check(error == ENOSPC, std::string("config.dat: ") + std::strerror(error));
    check(!s.store.GetGameLog()->WriteSummary(), "records.txt was saved");
    check(s.notices.files == std::vector<std::u16string>{u"not_saved_space|profile0.dat|no space left on the disk",
                                                         u"not_saved_space|profiles.dat|no space left on the disk"},
          "the notices are not of no space");
    for (const char* line :
         {"profile0.dat not saved: no space left on the disk", "profiles.dat not saved: no space left on the disk",
          "config.dat not saved: no space left on the disk", "records.txt not saved: no space left on the disk"})
      check(log.Text().find(line) != std::string::npos, std::string("the log does not say ") + line);
    check(dir.Read("profiles/profile0.dat") == profile && dir.Read("profiles/profiles.dat") == index &&
              dir.Read("profiles/config.dat") == config && dir.Read("profiles/Ann/records.txt") == records,
          "an old file changed");
    check(!dir.Exists("profiles/profile0.dat.bak") && !dir.Exists("profiles/config.dat.bak"), "a .bak is left");
    return problems;
  });
  if (said.rfind("SKIPPED: ", 0) == 0) GTEST_SKIP() << said.substr(9);
  EXPECT_EQ(said, "");
  EXPECT_TRUE(std::filesystem::is_empty(dir.File("profiles"))) << "the disk stayed mounted";
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
  EXPECT_EQ(GetWindowServices().awardsProfile, ann);
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
  EXPECT_EQ(GetWindowServices().awardsProfile, again.store.GetCurrent());
  // The award won and not yet looked at still waits in the shown set.
  EXPECT_EQ(again.store.GetCurrent()->GetShownAwards()->records[0], 0);
  EXPECT_EQ(again.store.GetCurrent()->GetAwardCounters()->records[0], 4);
  EXPECT_EQ(again.store.Select(nullptr), kProfileNone);
  EXPECT_EQ(GetWindowServices().awardsProfile, nullptr);
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
// profile is chosen, the index written again and the player told, as of a
// damaged profile, where the damaged one is kept.
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
    EXPECT_EQ(s.notices.files, (std::vector<std::u16string>{u"damaged_index|profiles.dat|profiles.dat.damaged"}));
    EXPECT_EQ(s.notices.fileIds, (std::vector<u32>{kNoticeDamaged + kIndexNoticeNumber}));
    EXPECT_EQ(testsupport::ReadFileBytes(dir.File("profiles/profiles.dat.damaged")), bytes);
  }
  Store s(dir);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(std::u16string(s.store.GetCurrent()->GetName()), u"Ann");
  EXPECT_TRUE(s.notices.files.empty());
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

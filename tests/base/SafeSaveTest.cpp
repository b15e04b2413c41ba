// Saves that replace a file whole: the data container's safe save and the ini
// engine's writes, where no temporary file can be made, through symbolic
// links (and below the per-user folder, never through one), over read-only
// files, with names too long to extend, and with the temporaries a dead
// save left.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "platform/encoding/Utf.h"
#include "platform/os/File.h"
#include "platform/os/FileFaults.h"
#include "platform/os/FileReplacement.h"
#include "platform/os/FileSystem.h"
#include "platform/os/HeldFolder.h"
#include "platform/os/IniFile.h"
#include "platform/os/PlatformServices.h"
#include "platform/os/StdioFile.h"
#include "testsupport/TempFolder.h"

namespace {

namespace fs = std::filesystem;

constexpr u32 kSafeSig1 = 0x5AFE5AFEu;
constexpr u32 kSafeSig2 = 2;

// Runs `act` as a replacement comes to its rename.
struct AtRename : plat::FileFaults {
  explicit AtRename(std::function<void()> then) : act(std::move(then)) {}
  int Fault(plat::FileStep step, std::string_view) override {
    if (step == plat::FileStep::Rename) act();
    return 0;
  }
  std::function<void()> act;
};

struct WriteFaultGuard {
  ~WriteFaultGuard() { plat::SetWriteFaultAfter(-1); }
};

std::u16string Wide(const std::string& s) { return plat::Utf8ToUtf16(s); }

// One section (1, 0) holding `body`; false when any step fails.
bool SaveContainer(const std::string& path, const std::string& body, bool safe = true) {
  const std::u16string name = Wide(path);
  kis::DataFileWriterW* w = kis::CreateDataFileWriterW(name.c_str(), kSafeSig1, kSafeSig2, 1, safe);
  if (!w) return false;
  w->BeginSection(1, 0);
  w->Write(body.data(), static_cast<u32>(body.size()));
  w->EndSection();
  return kis::CloseDataFile(w);
}

// The body of section (1, 0); "<none>" when the file does not read.
std::string LoadContainer(const std::string& path) {
  const std::u16string name = Wide(path);
  kis::DataFileReaderW* r = kis::OpenDataFileReaderW(name.c_str(), kSafeSig1, kSafeSig2, 1);
  std::string body = "<none>";
  if (r && r->OpenSection(1, 0)) {
    body.assign(r->GetSectionSize(), '\0');
    if (!r->Read(body.data(), static_cast<u32>(body.size()))) body = "<none>";
  }
  delete r;
  return body;
}

bool SetIni(const std::string& path, const char16_t* value) {
  return plat::WriteIniString(Wide(path), u"S", u"k", value);
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Runs `body` in a child process that cannot pass over file permissions (as
// root it first becomes "nobody"); true when the body returned true.
template <class F>
bool InUnprivilegedChild(F body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
    ::_exit(body() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SafeSave, NoTemporaryFileMeansNoSaveAndTheOldFileStaysByteIdentical) {
  TempFolder dir;
  WriteFaultGuard guard;
  const std::string save = dir.File("save.dat"), ini = dir.File("test.ini");
  ASSERT_TRUE(SaveContainer(save, "old content"));
  ASSERT_TRUE(SetIni(ini, u"old"));
  const std::string oldSave = dir.Read("save.dat"), oldIni = dir.Read("test.ini");

  // A folder where "name.bak" would go.
  fs::create_directory(dir.File("save.dat.bak"));
  EXPECT_FALSE(SaveContainer(save, "new content"));
  EXPECT_EQ(dir.Read("save.dat"), oldSave);
  EXPECT_TRUE(fs::is_directory(dir.File("save.dat.bak")));
  fs::remove(dir.File("save.dat.bak"));

  // A read-only folder (the files in it writable): neither writer may save.
  fs::create_directory(dir.File("ro"));
  ASSERT_TRUE(SaveContainer(dir.File("ro/save.dat"), "old content"));
  ASSERT_TRUE(SetIni(dir.File("ro/test.ini"), u"old"));
  fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(dir.File("ro/save.dat"), fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                                               ~fs::perms::others_exec);
  fs::permissions(dir.File("ro/test.ini"), fs::status(dir.File("ro/save.dat")).permissions());
  fs::permissions(dir.File("ro"), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                      fs::perms::others_exec | fs::perms::group_read | fs::perms::group_exec);
  EXPECT_TRUE(InUnprivilegedChild([&] {
    return !SaveContainer(dir.File("ro/save.dat"), "new content") && !SetIni(dir.File("ro/test.ini"), u"new");
  }));
  fs::permissions(dir.File("ro"), fs::perms::owner_all);
  EXPECT_EQ(dir.Read("ro/save.dat"), oldSave);
  EXPECT_EQ(dir.Read("ro/test.ini"), oldIni);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("ro")), {}), 2);

  // The disk fills up midway (the write fault): the temporary file goes.
  for (i64 budget : {0, 10, 40}) {
    plat::SetWriteFaultAfter(budget);
    EXPECT_FALSE(SaveContainer(save, std::string(100, 'x'))) << budget;
    plat::SetWriteFaultAfter(-1);
    EXPECT_EQ(dir.Read("save.dat"), oldSave) << budget;
  }
  EXPECT_EQ(dir.Entries(), 3);  // save.dat, test.ini, ro
}

TEST(SafeSave, FirstSaveShowsNoFileUntilItIsComplete) {
  TempFolder dir;
  WriteFaultGuard guard;
  const std::u16string name = dir.Wide("first.dat");
  kis::DataFileWriterW* w = kis::CreateDataFileWriterW(name.c_str(), kSafeSig1, kSafeSig2, 1, true);
  ASSERT_NE(w, nullptr);
  const std::string body(5000, 'b');
  EXPECT_TRUE(w->BeginSection(1, 0) && w->Write(body.data(), 5000) && w->EndSection());
  EXPECT_FALSE(dir.Exists("first.dat"));
  EXPECT_TRUE(kis::CloseDataFile(w));
  EXPECT_EQ(LoadContainer(dir.File("first.dat")), body);
  EXPECT_EQ(dir.Entries(), 1);

  // Failing midway: no file under the name and no temporary file.
  plat::SetWriteFaultAfter(100);
  EXPECT_FALSE(SaveContainer(dir.File("second.dat"), body));
  plat::SetWriteFaultAfter(-1);
  EXPECT_FALSE(dir.Exists("second.dat"));
  EXPECT_EQ(dir.Entries(), 1);
}

TEST(SafeSave, NamesTooLongToExtendUseAShortTemporaryName) {
  TempFolder dir;
  // 126 two-byte characters: a name of 252 bytes, which ".bak" would take
  // past the file system's limit of 255.
  std::string longName;
  for (int i = 0; i < 126; ++i) longName += "\xD1\x8F";
  const std::string iniName = longName.substr(0, 250) + ".ini";
  const std::string save = dir.File(longName), ini = dir.File(iniName);
  ASSERT_TRUE(SaveContainer(save, "one"));
  const std::u16string name = Wide(save);
  kis::DataFileWriterW* w = kis::CreateDataFileWriterW(name.c_str(), kSafeSig1, kSafeSig2, 1, true);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->BeginSection(1, 0) && w->Write("two", 3) && w->EndSection());
  EXPECT_EQ(LoadContainer(save), "one");  // untouched while the new file grows aside
  EXPECT_EQ(dir.Entries(), 2);
  EXPECT_TRUE(kis::CloseDataFile(w));
  EXPECT_EQ(LoadContainer(save), "two");

  ASSERT_TRUE(SetIni(ini, u"1"));
  ASSERT_TRUE(SetIni(ini, u"2"));
  EXPECT_EQ(dir.Read(iniName), "[S]\r\nk=2\r\n");
  EXPECT_EQ(dir.Entries(), 2);
}

TEST(SafeSave, SymbolicLinksAreWrittenThroughBesideTheirFile) {
  TempFolder dir;
  fs::create_directory(dir.File("real"));
  fs::create_directory(dir.File("links"));
  ASSERT_TRUE(SaveContainer(dir.File("real/save.dat"), "old"));
  ASSERT_TRUE(SetIni(dir.File("real/test.ini"), u"old"));
  fs::create_symlink("../real/save.dat", dir.File("links/save.dat"));
  fs::create_symlink(dir.File("real/test.ini"), dir.File("links/test.ini"));
  fs::create_symlink("../real/new.dat", dir.File("links/new.dat"));  // names no file yet

  EXPECT_TRUE(SaveContainer(dir.File("links/save.dat"), "new"));
  EXPECT_TRUE(SetIni(dir.File("links/test.ini"), u"new"));
  EXPECT_TRUE(SaveContainer(dir.File("links/new.dat"), "created"));
  for (const char* link : {"links/save.dat", "links/test.ini", "links/new.dat"})
    EXPECT_TRUE(fs::is_symlink(dir.File(link))) << link;
  EXPECT_EQ(LoadContainer(dir.File("real/save.dat")), "new");
  EXPECT_EQ(dir.Read("real/test.ini"), "[S]\r\nk=new\r\n");
  EXPECT_EQ(LoadContainer(dir.File("real/new.dat")), "created");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("real")), {}), 3);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("links")), {}), 3);

  // Links that go round in a circle name no file: nothing is saved.
  fs::create_symlink("b.dat", dir.File("a.dat"));
  fs::create_symlink("a.dat", dir.File("b.dat"));
  EXPECT_FALSE(SaveContainer(dir.File("a.dat"), "x"));
  EXPECT_FALSE(SetIni(dir.File("a.dat"), u"x"));
}

// Below the per-user folder the game holds (its single-instance lock's): what
// is made there is private whatever the umask or an older file's mode, no
// link is followed at any step (nothing is made or written where one
// points), no file of another user is opened for writing, and once the
// folder is swapped for another (a backup put back while the game runs)
// nothing of the new one is saved over, made, renamed or deleted, not even
// by a save begun before; one the swap met at its rename went into the held
// folder and is refused all the same; the log goes on in the held folder.
TEST(SafeSave, BelowTheHeldPerUserFolderNoLinkIsFollowedAndASwappedFolderIsLeftAlone) {
  TempFolder dir, outside;
  const std::string user = dir.File("user"), profile = user + "/profile0.dat";
  fs::create_directory(user);
  plat::HeldFolder held;
  ASSERT_TRUE(held.Open(user + "/"));
  plat::PlatformServicesScope scope({.userFolder = &held});
  const mode_t umaskWas = ::umask(0);
  EXPECT_TRUE(plat::CreateDirectory(Wide(user + "/Ann")));
  EXPECT_TRUE(SaveContainer(user + "/Ann/records.dat", "runs"));
  EXPECT_TRUE(SaveContainer(user + "//./profile0.dat", "farm"));  // however the path is spelled
  ::umask(umaskWas);
  EXPECT_EQ(ModeOf(user + "/Ann"), 0700u);
  EXPECT_EQ(ModeOf(user + "/Ann/records.dat"), 0600u);
  ::chmod(profile.c_str(), 0666);  // as an older start left them
  ::chmod((user + "/Ann").c_str(), 0777);
  EXPECT_TRUE(SaveContainer(profile, "farm 2"));
  EXPECT_TRUE(plat::CreateDirectory(Wide(user + "/Ann")));
  EXPECT_EQ(ModeOf(profile), 0600u);
  EXPECT_EQ(ModeOf(user + "/Ann"), 0700u);

  // Links in a file's place (to a player's notes, to nothing) and on the way.
  outside.Put("notes.txt", "mine");
  fs::create_symlink(outside.File("notes.txt"), user + "/Ann/level_01.dat");
  fs::create_symlink(outside.File("nothing.dat"), user + "/config.dat");
  fs::create_symlink(outside.Path(), user + "/Ben");
  for (const char* name : {"/Ann/level_01.dat", "/config.dat", "/Ben/records.dat"}) {
    plat::FileReplacement save;
    EXPECT_FALSE(save.Begin(Wide(user + name), plat::FileReplacement::Temp::Backup)) << name;
    EXPECT_EQ(save.Error(), ELOOP) << name;
  }
  EXPECT_FALSE(plat::CreateDirectory(Wide(user + "/Ben/Cid")));
  EXPECT_EQ(plat::CreateFile(Wide(user + "/Ann/level_01.dat")), plat::kInvalidFile);
  EXPECT_EQ(outside.Read("notes.txt"), "mine");
  EXPECT_EQ(outside.Entries(), 1);
  dir.Put("user/log.txt", "theirs");
  if (::geteuid() == 0 && ::chown((user + "/log.txt").c_str(), 65534, 65534) == 0) {
    EXPECT_EQ(plat::CreateFile(Wide(user + "/log.txt")), plat::kInvalidFile);
  }
  ::unlink((user + "/log.txt").c_str());

  // Swapped while a save is under way: moved away, a copy put in its place.
  plat::FileReplacement late;
  ASSERT_TRUE(late.Begin(Wide(profile), plat::FileReplacement::Temp::Backup));
  ASSERT_TRUE(late.Write("late"));
  AtRename swap([&] {
    fs::rename(user, dir.File("moved"));
    fs::create_directory(user);
    fs::copy_file(dir.File("moved/profile0.dat"), profile);
  });
  plat::FileReplacement landed(&swap);
  ASSERT_TRUE(landed.Begin(Wide(user + "/Ann/records.dat"), plat::FileReplacement::Temp::Backup));
  ASSERT_TRUE(landed.Write("landed"));
  EXPECT_FALSE(landed.Commit());
  EXPECT_EQ(landed.Error(), ESTALE);
  EXPECT_EQ(dir.Read("moved/Ann/records.dat"), "landed");
  EXPECT_FALSE(held.InPlace());
  EXPECT_FALSE(late.Commit());
  EXPECT_EQ(late.Error(), ESTALE);
  EXPECT_FALSE(SaveContainer(profile, "stale"));
  EXPECT_FALSE(plat::CreateDirectory(Wide(user + "/Cid")));
  EXPECT_FALSE(plat::RenameFileNoReplace(Wide(profile), Wide(user + "/profile0.dat.damaged")));
  EXPECT_FALSE(plat::DeleteFile(Wide(profile)));
  EXPECT_EQ(errno, ESTALE);
  EXPECT_EQ(LoadContainer(profile), "farm 2");
  EXPECT_EQ(LoadContainer(dir.File("moved/profile0.dat")), "farm 2");
  EXPECT_FALSE(dir.Exists("moved/profile0.dat.bak"));
  const plat::FileHandle log = plat::CreateFile(Wide(user + "/log.txt"));
  EXPECT_NE(log, plat::kInvalidFile);
  plat::CloseFile(log);
  EXPECT_TRUE(dir.Exists("moved/log.txt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(user), {}), 1);
}

TEST(SafeSave, ReadOnlyFilesAreRefusedAndReplacementsKeepTheMode) {
  TempFolder dir;
  const std::string save = dir.File("save.dat"), ini = dir.File("test.ini");
  ASSERT_TRUE(SaveContainer(save, "old"));
  ASSERT_TRUE(SetIni(ini, u"old"));
  const std::string oldSave = dir.Read("save.dat"), oldIni = dir.Read("test.ini");
  ::chmod(save.c_str(), 0444);
  ::chmod(ini.c_str(), 0444);
  EXPECT_FALSE(SaveContainer(save, "new"));
  EXPECT_FALSE(SaveContainer(save, "new", false));  // nor written in place
  EXPECT_FALSE(SetIni(ini, u"new"));
  EXPECT_EQ(dir.Read("save.dat"), oldSave);
  EXPECT_EQ(dir.Read("test.ini"), oldIni);
  EXPECT_EQ(ModeOf(save), 0444u);
  EXPECT_EQ(dir.Entries(), 2);

  ::chmod(save.c_str(), 0640);
  ::chmod(ini.c_str(), 0604);
  EXPECT_TRUE(SaveContainer(save, "new"));
  EXPECT_TRUE(SetIni(ini, u"new"));
  EXPECT_EQ(LoadContainer(save), "new");
  EXPECT_EQ(ModeOf(save), 0640u);
  EXPECT_EQ(ModeOf(ini), 0604u);
}

TEST(SafeSave, TemporariesOfDeadSavesAreReusedOrRemoved) {
  TempFolder dir;
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  const std::string self = std::to_string(::getpid());
  // Left by a dead process, by an earlier process that had our id, by a live
  // process (the first process of the system), and a stranger.
  for (const std::string& name : {"test.ini.~" + std::to_string(dead) + ".0", "test.ini.~" + self + ".77",
                                  std::string("test.ini.~1.0"), std::string("test.ini.~x.1")})
    dir.Put(name, "leftover");
  dir.Put("save.dat.bak", "leftover");
  ASSERT_TRUE(SetIni(dir.File("test.ini"), u"v"));
  ASSERT_TRUE(SaveContainer(dir.File("save.dat"), "body"));
  EXPECT_FALSE(dir.Exists("test.ini.~" + std::to_string(dead) + ".0"));
  EXPECT_FALSE(dir.Exists("test.ini.~" + self + ".77"));
  EXPECT_TRUE(dir.Exists("test.ini.~1.0"));
  EXPECT_TRUE(dir.Exists("test.ini.~x.1"));
  EXPECT_FALSE(dir.Exists("save.dat.bak"));
  EXPECT_EQ(dir.Entries(), 4);
}

}  // namespace

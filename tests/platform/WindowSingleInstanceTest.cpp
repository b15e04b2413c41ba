#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <stdlib.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include <string>

#include "WindowTestSupport.h"
#include "platform/os/PlatformServices.h"
#include "platform/os/SingleInstance.h"
#include "testsupport/TempFolder.h"

using namespace plat;

namespace {

TEST(WindowSingleInstance, SecondLockIsRefusedUntilTheFirstIsReleased) {
  TempFolder dir;
  ASSERT_FALSE(dir.Path().empty());
  SingleInstance first(dir.Path());
  SingleInstance second(dir.Path());
  EXPECT_EQ(first.Acquire(u"GameClass"), InstanceStatus::First);
  EXPECT_TRUE(first.Held());
  EXPECT_EQ(second.Acquire(u"GameClass"), InstanceStatus::AlreadyRunning);
  EXPECT_FALSE(second.Held());
  EXPECT_EQ(second.Acquire(u"OtherClass"), InstanceStatus::First);  // names are separate

  first.Release();
  EXPECT_EQ(second.Acquire(u"GameClass"), InstanceStatus::First);
  EXPECT_EQ(first.Acquire(u"GameClass"), InstanceStatus::AlreadyRunning);
}

TEST(WindowSingleInstance, DestructionReleasesAndRemovesTheSocket) {
  TempFolder dir;
  {
    SingleInstance first(dir.Path());
    ASSERT_EQ(first.Acquire(u"GameClass"), InstanceStatus::First);
    EXPECT_EQ(dir.Entries(), 2);  // lock and socket
  }
  EXPECT_EQ(dir.Entries(), 1);  // the lock file stays
  SingleInstance again(dir.Path());
  EXPECT_EQ(again.Acquire(u"GameClass"), InstanceStatus::First);
}

TEST(WindowSingleInstance, NamesCannotLeaveTheFolder) {
  TempFolder dir;
  SingleInstance lock(dir.Path());
  ASSERT_EQ(lock.Acquire(u"../../x/y"), InstanceStatus::First);
  EXPECT_EQ(dir.Entries(), 2);
  SingleInstance other(dir.Path());
  EXPECT_EQ(other.Acquire(u"../../x/y"), InstanceStatus::AlreadyRunning);
  SingleInstance empty(dir.Path());
  EXPECT_EQ(empty.Acquire(u""), InstanceStatus::First);
  SingleInstance longName(dir.Path());
  EXPECT_EQ(longName.Acquire(std::u16string(500, u'\u00e9')), InstanceStatus::First);
}

TEST(WindowSingleInstance, MissingFolderIsUnavailable) {
  SingleInstance lock("/nonexistent-folder-for-tests/deeper");
  EXPECT_EQ(lock.Acquire(u"GameClass"), InstanceStatus::Unavailable);
  EXPECT_FALSE(lock.SignalFirstInstance());
}

// The lock and the socket are the folder's own: however the folder's path
// is written, a copy meets the lock; another folder runs beside. A link
// planted under the lock's name is never followed, a file in the socket's
// place is left alone (the lock holds without the channel), both are 0600
// whatever the umask. Without a private runtime folder one is made in the
// fallback folder; where that cannot be, there is none, and why.
TEST(WindowSingleInstance, TheLockIsTheFoldersOwnAndNothingElseReachesIt) {
  TempFolder dir, beside;
  const mode_t umaskWas = ::umask(0);
  SingleInstance first(dir.Path());
  ASSERT_EQ(first.Acquire(u"GameClass"), InstanceStatus::First);
  ::umask(umaskWas);
  EXPECT_EQ(first.LockPath(), dir.File("GameClass.lock"));
  EXPECT_TRUE(first.Listening()) << first.ChannelWhy();
  struct stat st {};
  for (const char* file : {"GameClass.lock", "GameClass.sock"}) {
    ASSERT_EQ(::stat(dir.File(file).c_str(), &st), 0) << file;
    EXPECT_EQ(st.st_mode & 0777, 0600u) << file;
  }
  ASSERT_EQ(::symlink(dir.Path().c_str(), beside.File("link").c_str()), 0);
  const size_t last = dir.Path().rfind('/');
  const std::string slashes = dir.Path().substr(0, last) + "//" + dir.Path().substr(last + 1);
  for (const std::string& spelled : {dir.Path() + "/", slashes, dir.Path() + "/./", beside.File("link")}) {
    SingleInstance same(spelled);
    EXPECT_EQ(same.Acquire(u"GameClass"), InstanceStatus::AlreadyRunning) << spelled;
    EXPECT_TRUE(same.SignalFirstInstance()) << spelled;
  }
  EXPECT_EQ(first.TakeForwardRequests(), 4);
  SingleInstance other(beside.Path());
  EXPECT_EQ(other.Acquire(u"GameClass"), InstanceStatus::First);  // another folder
  first.Release();

  // A link where the lock goes: refused, its target never made.
  ASSERT_EQ(::unlink(dir.File("GameClass.lock").c_str()), 0);
  ASSERT_EQ(::symlink(dir.File("target").c_str(), dir.File("GameClass.lock").c_str()), 0);
  EXPECT_EQ(first.Acquire(u"GameClass"), InstanceStatus::Unavailable);
  EXPECT_NE(first.Why().find("GameClass.lock"), std::string::npos) << first.Why();
  EXPECT_FALSE(dir.Exists("target"));
  ::unlink(dir.File("GameClass.lock").c_str());
  // A file where the socket goes: kept; the lock holds without the channel.
  dir.Put("GameClass.sock", "not a socket");
  EXPECT_EQ(first.Acquire(u"GameClass"), InstanceStatus::First);
  EXPECT_FALSE(first.Listening());
  EXPECT_NE(first.ChannelWhy().find("GameClass.sock is in the way"), std::string::npos) << first.ChannelWhy();
  first.Release();
  EXPECT_EQ(dir.Read("GameClass.sock"), "not a socket");

  // The runtime folder when it is private, else one made in the fallback.
  const char* runtimeWas = std::getenv("XDG_RUNTIME_DIR");
  const std::string runtimeSaved = runtimeWas ? runtimeWas : "";
  TempFolder runtime, user;
  ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
  std::string why;
  EXPECT_EQ(SingleInstance::PrivateFolder(user.Path(), &why), runtime.Path());
  ::chmod(runtime.Path().c_str(), 0777);
  const std::string made = user.Path() + "/single-instance-lock";
  EXPECT_EQ(SingleInstance::PrivateFolder(user.Path() + "/", &why), made);
  ASSERT_EQ(::lstat(made.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ::unsetenv("XDG_RUNTIME_DIR");
  ::chmod(made.c_str(), 0755);  // mended: the folder is ours
  EXPECT_EQ(SingleInstance::PrivateFolder(user.Path(), &why), made);
  ASSERT_EQ(::lstat(made.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ::rmdir(made.c_str());
  user.Put("single-instance-lock", "a file in the way");
  EXPECT_EQ(SingleInstance::PrivateFolder(user.Path(), &why), "");
  EXPECT_NE(why.find("XDG_RUNTIME_DIR is not set"), std::string::npos) << why;
  EXPECT_NE(why.find("single-instance-lock is not a folder"), std::string::npos) << why;
  if (runtimeWas) ::setenv("XDG_RUNTIME_DIR", runtimeSaved.c_str(), 1);
}

// The forward channel whatever the length of the folder's path: a socket
// path that just fits an address (107 bytes and the closing NUL), one a
// byte too long and one far past it.
TEST(WindowSingleInstance, TheChannelWorksWhateverTheLengthOfTheFoldersPath) {
  TempFolder dir;
  const std::string name = "/GameClass.sock";
  for (size_t length : {107u, 108u, 300u}) {
    if (dir.Path().size() + 2 + name.size() > length) continue;  // a temporary folder that long already
    std::string folder = dir.Path();
    for (char part = 'a'; folder.size() + name.size() < length; ++part) {
      const size_t left = length - name.size() - folder.size() - 1;  // after the next "/"
      folder += "/" + std::string(left > 200 ? 100 : left, part);
      ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0) << folder;
    }
    ASSERT_EQ(folder.size() + name.size(), length);
    SingleInstance first(folder), second(folder);
    ASSERT_EQ(first.Acquire(u"GameClass"), InstanceStatus::First) << length;
    EXPECT_TRUE(first.Listening()) << length << ": " << first.ChannelWhy();
    struct stat st {};
    EXPECT_TRUE(::stat((folder + name).c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) << length;
    EXPECT_EQ(second.Acquire(u"GameClass"), InstanceStatus::AlreadyRunning) << length;
    EXPECT_TRUE(second.SignalFirstInstance()) << length;
    EXPECT_EQ(first.TakeForwardRequests(), 1) << length;
    first.Release();
    EXPECT_NE(::stat((folder + name).c_str(), &st), 0) << length << ": the socket left behind";
  }
}

// The per-user folder locked itself: nothing done to the files in it stands
// in for its lock (a lock file's name made, removed, replaced), however its
// path is spelled; a folder open to others is closed to them once locked.
// A folder moved away and another put in its place is a new lock, and the
// held one knows it is no longer in place. A lock call that fails with
// anything but "would block" (ENOLCK, through the platform's lock call)
// leaves the start unguarded: held, with the reason, and no channel.
TEST(WindowSingleInstance, TheFolderItselfIsLockedWhateverIsDoneToItsFiles) {
  TempFolder dir, beside;
  const std::string folder = dir.File("user");
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  ::chmod(folder.c_str(), 0777);
  SingleInstance first(folder, LockOn::Folder);
  ASSERT_EQ(first.Acquire(u"GameClass"), InstanceStatus::First);
  EXPECT_EQ(first.LockPath(), folder);
  EXPECT_EQ(first.FolderNote(), "was open to other users (0777): closed to them");
  struct stat st {};
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_EQ(::symlink(folder.c_str(), beside.File("link").c_str()), 0);
  for (const char* step : {"made", "removed", "replaced"}) {
    if (std::string(step) == "removed") ::unlink((folder + "/GameClass.lock").c_str());
    if (std::string(step) != "removed") dir.Put("user/GameClass.lock", step);
    for (const std::string& spelled : {folder, folder + "//", beside.File("link")}) {
      SingleInstance second(spelled, LockOn::Folder);
      EXPECT_EQ(second.Acquire(u"GameClass"), InstanceStatus::AlreadyRunning) << step << " " << spelled;
    }
  }
  EXPECT_TRUE(first.Folder().InPlace());
  ASSERT_EQ(::rename(folder.c_str(), dir.File("moved").c_str()), 0);
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  EXPECT_FALSE(first.Folder().InPlace());
  SingleInstance restored(folder, LockOn::Folder);
  EXPECT_EQ(restored.Acquire(u"GameClass"), InstanceStatus::First);
  restored.Release();

  const PlatformServicesScope noLocks({.lockCall = [](int, int) {
    errno = ENOLCK;
    return -1;
  }});
  SingleInstance unguarded(folder, LockOn::Folder);
  EXPECT_EQ(unguarded.Acquire(u"GameClass"), InstanceStatus::Unguarded);
  EXPECT_TRUE(unguarded.Unguarded() && !unguarded.Held() && unguarded.Folder().IsOpen() && !unguarded.Listening());
  EXPECT_EQ(unguarded.Why(), folder + ": " + std::strerror(ENOLCK));
  EXPECT_EQ(unguarded.LockError(), ENOLCK);
}

// Every copy on a per-user folder meets the same lock whoever it runs as
// and whatever it may write: the folder is the player's ("nobody", as
// root runs the test), read-only and without any lock file when the
// player's first copy locks it; made writable, the player's second copy is
// refused, and so is root's; a root-owned "GameClass.lock" in it (an older
// start under sudo -E left one) blocks nothing. A per-user folder that is
// root's (in a folder of the player's) is named as root's, with the
// command that gives it back. Without
// root the player's side runs alone.
TEST(WindowSingleInstance, EveryCopyLocksTheSameFolderWhoeverItRunsAs) {
  TempFolder dir;
  const std::string folder = dir.File("user"), roots = dir.File("roots");
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0711), 0);
    ASSERT_EQ(::chown(dir.Path().c_str(), 65534, 65534), 0);  // root's folder in one of the player's
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    dir.Put("user/GameClass.lock", "root's");
    ASSERT_EQ(::chmod(dir.File("user/GameClass.lock").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(roots.c_str(), 0700), 0);
  }
  ASSERT_EQ(::chmod(folder.c_str(), 0500), 0);
  int toRoot[2], toPlayer[2];
  ASSERT_EQ(::pipe(toRoot), 0);
  ASSERT_EQ(::pipe(toPlayer), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(100);
    int failed = 0;
    SingleInstance first(folder, LockOn::Folder);
    if (first.Acquire(u"GameClass") != InstanceStatus::First) failed |= 1;
    if (::chmod(folder.c_str(), 0700) != 0) failed |= 2;
    SingleInstance second(folder, LockOn::Folder);
    if (second.Acquire(u"GameClass") != InstanceStatus::AlreadyRunning) failed |= 4;
    SingleInstance theirs(roots, LockOn::Folder);
    if (root && (theirs.Acquire(u"GameClass") != InstanceStatus::Unavailable ||
                 theirs.Why() != roots + " belongs to root, not to nobody (a start as another user with this HOME, "
                                         "such as sudo -E, leaves it so); give it back with: sudo chown -R nobody: '" +
                                     roots + "'"))
      failed |= 8;
    char go = 0;
    if (::write(toRoot[1], "x", 1) != 1 || ::read(toPlayer[0], &go, 1) != 1) failed |= 16;
    ::_exit(failed);
  }
  char ready = 0;
  ASSERT_EQ(::read(toRoot[0], &ready, 1), 1);
  SingleInstance asRoot(folder, LockOn::Folder);
  EXPECT_EQ(asRoot.Acquire(u"GameClass"), InstanceStatus::AlreadyRunning);
  ASSERT_EQ(::write(toPlayer[1], "x", 1), 1);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the first copy in the read-only folder, 2: making it writable, 4: the "
                                       "second copy, 8: the folder of root's, 16: the pipe";
  EXPECT_EQ(asRoot.Acquire(u"GameClass"), InstanceStatus::First);  // the player's copies ended
  for (int fd : {toRoot[0], toRoot[1], toPlayer[0], toPlayer[1]}) ::close(fd);
}

class WindowForward : public wintest::WindowFixture {};

TEST_F(WindowForward, SecondStartRestoresAMinimisedFirstWindowElseRaisesIt) {
  TempFolder dir;
  SingleInstance first(dir.Path());
  ASSERT_EQ(first.Acquire(u"TestClass"), InstanceStatus::First);
  ws().WatchInstance(&first);
  ws().ShowWindow(window_, SW_SHOW);
  ws().ShowWindow(window_, SW_MINIMIZE);

  SingleInstance second(dir.Path());
  ASSERT_EQ(second.Acquire(u"TestClass"), InstanceStatus::AlreadyRunning);
  EXPECT_TRUE(second.SignalFirstInstance());
  Drain();
  EXPECT_FALSE(ws().IsIconic(window_));
  EXPECT_EQ(ws().GetForegroundWindow(), window_);

  ws().UserDeactivate();
  EXPECT_TRUE(second.SignalFirstInstance());
  Drain();
  EXPECT_EQ(ws().GetForegroundWindow(), window_);
  EXPECT_EQ(first.TakeForwardRequests(), 0);
  ws().WatchInstance(nullptr);
}

}  // namespace

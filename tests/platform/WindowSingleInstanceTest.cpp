#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <stdlib.h>
#include <cstdlib>
#include <unistd.h>

#include <string>

#include "WindowTestSupport.h"
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

// A folder its user may not write into (a read-only per-user folder) still
// takes the lock and refuses a second copy: through the lock file an
// earlier start made, else through the folder itself; it has no channel.
// root writes anywhere, so the cases run in a child as "nobody" then.
TEST(WindowSingleInstance, AFolderItsUserMayNotWriteStillTakesTheLock) {
  TempFolder dir;
  const std::string folder = dir.File("user");
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0711), 0);
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(100);
    int failed = 0;
    for (int withFile = 0; withFile < 2; ++withFile) {
      if (withFile) {  // an earlier start, while the folder could be written
        SingleInstance earlier(folder);
        if (::chmod(folder.c_str(), 0700) != 0 || earlier.Acquire(u"GameClass") != InstanceStatus::First) failed |= 1;
      }
      ::chmod(folder.c_str(), 0500);
      SingleInstance first(folder), second(folder);
      if (first.Acquire(u"GameClass") != InstanceStatus::First) failed |= 2 << (2 * withFile);
      if (second.Acquire(u"GameClass") != InstanceStatus::AlreadyRunning) failed |= 4 << (2 * withFile);
      if (first.LockPath() != (withFile ? folder + "/GameClass.lock" : folder) || first.Listening()) failed |= 32;
    }
    ::chmod(folder.c_str(), 0700);
    ::_exit(failed);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the earlier start, 2/8: the first copy (without/with the file), "
                                       "4/16: the second, 32: the lock's path or a channel";
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

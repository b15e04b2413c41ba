#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
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

// Only a private folder holds the lock: another user's or one open to
// others is refused with the reason, a link planted under the lock's name
// is never followed, the socket is 0600 whatever the umask, and keys keep
// copies apart. Without a private runtime folder one is made in the
// fallback folder; where that cannot be, there is none, and why.
TEST(WindowSingleInstance, OnlyAPrivateFolderHoldsTheLockAndNothingElseReachesIt) {
  TempFolder dir;
  ::chmod(dir.Path().c_str(), 0755);
  SingleInstance open(dir.Path());
  EXPECT_EQ(open.Acquire(u"GameClass"), InstanceStatus::Unavailable);
  EXPECT_NE(open.Why().find("open to other users"), std::string::npos) << open.Why();
  EXPECT_EQ(dir.Entries(), 0);
  ::chmod(dir.Path().c_str(), 0700);

  // A link where the lock goes: refused, its target never made.
  SingleInstance keyed(dir.Path(), "/home/a/.local/share/game/");
  ASSERT_EQ(keyed.Acquire(u"GameClass"), InstanceStatus::First);
  const std::string lockPath = keyed.LockPath();
  keyed.Release();
  ::unlink(lockPath.c_str());
  ASSERT_EQ(::symlink((dir.Path() + "/target").c_str(), lockPath.c_str()), 0);
  EXPECT_EQ(keyed.Acquire(u"GameClass"), InstanceStatus::Unavailable);
  EXPECT_FALSE(dir.Exists("target"));
  ::unlink(lockPath.c_str());

  const mode_t umaskWas = ::umask(0);
  SingleInstance first(dir.Path(), "/home/a/.local/share/game/");
  SingleInstance other(dir.Path(), "/home/b/.local/share/game/");
  SingleInstance same(dir.Path(), "/home/a/.local/share/game/");
  ASSERT_EQ(first.Acquire(u"GameClass"), InstanceStatus::First);
  ::umask(umaskWas);
  EXPECT_EQ(other.Acquire(u"GameClass"), InstanceStatus::First);  // another per-user folder
  EXPECT_EQ(same.Acquire(u"GameClass"), InstanceStatus::AlreadyRunning);
  struct stat st {};
  std::string socketPath = first.LockPath();
  socketPath.replace(socketPath.size() - 5, 5, ".sock");
  ASSERT_EQ(::stat(socketPath.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(first.LockPath().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

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

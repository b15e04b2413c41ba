#include <gtest/gtest.h>

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "WindowTestSupport.h"
#include "platform/os/SingleInstance.h"

using namespace plat;

namespace {

class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/tm-instance-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (made != nullptr) path_ = made;
  }
  ~TempFolder() {
    if (path_.empty()) return;
    if (DIR* d = ::opendir(path_.c_str())) {
      while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") ::unlink((path_ + "/" + name).c_str());
      }
      ::closedir(d);
    }
    ::rmdir(path_.c_str());
  }
  const std::string& path() const { return path_; }
  int Entries() const {
    int n = 0;
    if (DIR* d = ::opendir(path_.c_str())) {
      while (dirent* e = ::readdir(d)) n += e->d_name[0] != '.';
      ::closedir(d);
    }
    return n;
  }

 private:
  std::string path_;
};

TEST(WindowSingleInstance, SecondLockIsRefusedUntilTheFirstIsReleased) {
  TempFolder dir;
  ASSERT_FALSE(dir.path().empty());
  SingleInstance first(dir.path());
  SingleInstance second(dir.path());
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
    SingleInstance first(dir.path());
    ASSERT_EQ(first.Acquire(u"GameClass"), InstanceStatus::First);
    EXPECT_EQ(dir.Entries(), 2);  // lock and socket
  }
  EXPECT_EQ(dir.Entries(), 1);  // the lock file stays
  SingleInstance again(dir.path());
  EXPECT_EQ(again.Acquire(u"GameClass"), InstanceStatus::First);
}

TEST(WindowSingleInstance, NamesCannotLeaveTheFolder) {
  TempFolder dir;
  SingleInstance lock(dir.path());
  ASSERT_EQ(lock.Acquire(u"../../x/y"), InstanceStatus::First);
  EXPECT_EQ(dir.Entries(), 2);
  SingleInstance other(dir.path());
  EXPECT_EQ(other.Acquire(u"../../x/y"), InstanceStatus::AlreadyRunning);
  SingleInstance empty(dir.path());
  EXPECT_EQ(empty.Acquire(u""), InstanceStatus::First);
  SingleInstance longName(dir.path());
  EXPECT_EQ(longName.Acquire(std::u16string(500, u'\u00e9')), InstanceStatus::First);
}

TEST(WindowSingleInstance, MissingFolderIsUnavailable) {
  SingleInstance lock("/nonexistent-folder-for-tests/deeper");
  EXPECT_EQ(lock.Acquire(u"GameClass"), InstanceStatus::Unavailable);
  EXPECT_FALSE(lock.SignalFirstInstance());
}

class WindowForward : public wintest::WindowFixture {};

TEST_F(WindowForward, SecondStartRestoresAMinimisedFirstWindowElseRaisesIt) {
  TempFolder dir;
  SingleInstance first(dir.path());
  ASSERT_EQ(first.Acquire(u"TestClass"), InstanceStatus::First);
  ws().WatchInstance(&first);
  ws().ShowWindow(window_, SW_SHOW);
  ws().ShowWindow(window_, SW_MINIMIZE);

  SingleInstance second(dir.path());
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

#include <gtest/gtest.h>

#include <dirent.h>
#include <stdlib.h>
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

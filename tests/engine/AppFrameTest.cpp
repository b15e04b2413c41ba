#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DXLFrameTimer.h"
#include "engine/DXLInput.h"
#include "engine/support/FrameRig.h"
#include "platform/KeyCodes.h"
#include "platform/SingleInstance.h"

using framerig::FrameRig;
using framerig::Journal;
using Lines = std::vector<std::string>;

namespace {

[[maybe_unused]] std::string K(u8 key) { return std::to_string(key); }

class AppFrame : public ::testing::Test {
 protected:
  FrameRig rig_;
};

TEST_F(AppFrame, StartUpRunsInOrderAndShutdownFinishesTheLog) {
  EXPECT_EQ(DXLInitInput(true), kAppSetupFailed);  // no device yet
  rig_.StartUp();
  const DXLAPPDATA& a = DXLGetAppData();
  EXPECT_EQ(a.flags, kAppRunning | kAppTexturesCreated | kAppInputCreated | kAppDeviceCreated | kAppWindowCreated);
  EXPECT_EQ(a.screenWidth, 800u);
  EXPECT_EQ(a.screenHeight, 600u);
  EXPECT_EQ(a.aspectX, 4u);
  EXPECT_EQ(a.aspectY, 3u);
  EXPECT_EQ(a.bytesPerPixel, 4u);
  EXPECT_EQ(a.fullScreen, 0u);
  EXPECT_EQ(a.gameWidth, 800u);
  EXPECT_NE(DXLGetAppTextures(), nullptr);
  EXPECT_EQ(a.appState, 1u);
  // Showing the window activated it before the services ran: level 0, silently.
  EXPECT_EQ(a.active, 1u);
  EXPECT_EQ(a.pauseLevel, 0u);
  EXPECT_EQ(FrameRig::Events(), (Lines{"activated", "state 0 1 now 0"}));

  const std::string log = rig_.Log();
  const size_t init = log.find("Initialize DirectX");
  const size_t window = log.find("Create Window");
  const size_t mode = log.find("Change Display Mode");
  ASSERT_NE(init, std::string::npos);
  ASSERT_NE(window, std::string::npos);
  ASSERT_NE(mode, std::string::npos);
  EXPECT_LT(init, window);
  EXPECT_LT(window, mode);

  DXLStartLoop();
  rig_.Run(3);
  EXPECT_GE(FrameRig::Count("render"), 3);
  DXLShutdown();
  EXPECT_EQ(FrameRig::Events(), (Lines{"state 1 4294967295 now 1"}));
  EXPECT_EQ(DXLGetAppData().flags, 0u);
  EXPECT_EQ(DXLGetViewer(), nullptr);
  const std::string finished = rig_.Log();
  EXPECT_EQ(finished.substr(finished.size() - 15), "\r\nLOG FINISHED.");
}

}  // namespace

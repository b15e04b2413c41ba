// The headless level harness of the tests: the level world
// (testsupport/LevelWorld.h) on a viewer rig's software device of the
// screen's size.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "testsupport/LevelWorld.h"
#include "testsupport/ViewerRig.h"

namespace leveltest {

// The rig is made (and its device opened) before the world, on a desktop
// at least as large as the screen.
struct HarnessViewer {
  HarnessViewer(u32 width, u32 height) : rig(Desktop(width, height)) { EXPECT_EQ(rig.Open(width, height), 0); }
  static plat::DesktopSettings Desktop(u32 width, u32 height) {
    plat::DesktopSettings d;
    d.width = std::max(d.width, static_cast<i32>(width));
    d.height = std::max(d.height, static_cast<i32>(height));
    return d;
  }
  viewertest::ViewerRig rig;
};

class LevelHarness : public HarnessViewer, public LevelWorld {
 public:
  LevelHarness(const std::string& folder, u32 width, u32 height, bool language = false,
               TutorialFactory* tutorials = nullptr)
      : HarnessViewer(width, height), LevelWorld(folder, rig.viewer.get(), width, height, language, tutorials) {}
  void DrawFrame(bool withWindows = false) { ASSERT_TRUE(LevelWorld::DrawFrame(withWindows)); }
};

}  // namespace leveltest

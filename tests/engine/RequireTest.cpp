#include <gtest/gtest.h>

#include "engine/Require.h"

namespace {

// A collaborator that is there passes; a missing one stops the test build
// with its name (a release build logs it and goes on without the work).
TEST(Require, AMissingCollaboratorStopsTheTestBuildNamingIt) {
  const int present = 1;
  EXPECT_TRUE(Require(&present, "the present one"));
#ifndef NDEBUG
  EXPECT_DEATH(Require(nullptr, "the window manager for the lose dialog"),
               "missing the window manager for the lose dialog");
#else
  EXPECT_FALSE(Require(nullptr, "the window manager for the lose dialog"));
#endif
}

}  // namespace

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

// An invariant that holds passes; a broken one stops the test build naming
// it (a release build logs it and the caller goes without the work).
TEST(Require, ABrokenInvariantStopsTheTestBuildNamingIt) {
  EXPECT_TRUE(RequireThat(true, "a slot in range"));
#ifndef NDEBUG
  EXPECT_DEATH(RequireThat(false, "job slot 3 of 3"), "broken job slot 3 of 3");
#else
  EXPECT_FALSE(RequireThat(false, "job slot 3 of 3"));
#endif
}

}  // namespace

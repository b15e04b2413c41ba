// The music a level names of its own goes into "Sounds.dat" beside the
// manifest's tracks, once each; a name no composition makes is counted as a
// placeholder (which fails the data set's build test).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "DataSetBuild.h"
#include "SoundArchiveModule.h"
#include "testsupport/TempFolder.h"

TEST(LevelMusic, ALevelsOwnTrackIsMadeOnceAndAnUnknownOneCountsAsAPlaceholder) {
  TempFolder folder;
  BuildOptions options;
  options.sourceDir = folder.Path();
  options.dataDir = folder.Path() + "/out";
  std::filesystem::create_directories(options.dataDir);
  DataSetBuild build(options);
  std::string error;
  ASSERT_TRUE(build.GetManifest().Parse("music music_01\n", "names", &error)) << error;
  build.RequireMusic("Music_01");  // the manifest's already, in other letter case
  SoundArchiveModule sounds;
  ASSERT_TRUE(sounds.Build(build));
  EXPECT_TRUE(build.Placeholders().empty());
  const auto size = std::filesystem::file_size(options.dataDir + "/Sounds.dat");

  build.RequireMusic("no_such_tune");
  ASSERT_TRUE(sounds.Build(build));
  ASSERT_EQ(build.Placeholders().size(), 1u);
  EXPECT_EQ(std::string(build.Placeholders()[0]), "music");
  EXPECT_GT(std::filesystem::file_size(options.dataDir + "/Sounds.dat"), size);
}

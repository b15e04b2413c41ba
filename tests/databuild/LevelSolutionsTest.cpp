// The solutions in the level sources (blocks "solution_easy" and
// "solution_hard"): the record writer leaves them out, so the "LVLS"
// section is the same bytes with and without them; the campaign's reader
// (testsupport/LevelSolution.h) reads every level file's two blocks and
// refuses an unknown word, a wrong count of values, an unknown wait, an
// empty value, a block twice or missing, naming the file's line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "ContentSources.h"
#include "DataArchiveModule.h"
#include "content/ContentWriter.h"
#include "content/LevelTable.h"
#include "DataSetBuild.h"
#include "testsupport/LevelSolution.h"
#include "testsupport/TempFolder.h"

namespace {

const std::string kSolutionSources = TM_DATA_SOURCE_DIR;

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::vector<u8> LevelBytes(const std::string& levels) {
  BuildOptions options;
  options.sourceDir = kSolutionSources;
  options.levelsDir = levels;
  DataSetBuild build(options);
  ContentSourceTables tables;
  EXPECT_TRUE(ReadContentTables(build, tables)) << levels;
  return LevelSection(tables.grid, tables.levels);
}

TEST(LevelSolutions, LeftOutOfTheRecordsAndReadByTheCampaignsReader) {
  namespace fs = std::filesystem;
  const std::string levels = kSolutionSources + "/levels";
  TempFolder bare;
  const std::regex block(R"(\n\tsolution_(easy|hard) \{\n(\t\t[^\n]*\n)*\t\})");
  u32 withSolutions = 0;
  for (const auto& entry : fs::directory_iterator(levels)) {
    const std::string text = ReadText(entry.path().string());
    const std::string stripped = std::regex_replace(text, block, "");
    if (stripped != text) ++withSolutions;
    WriteText(bare.File(entry.path().filename().string()), stripped);
  }
  EXPECT_GE(withSolutions, 7u);
  EXPECT_EQ(LevelBytes(levels), LevelBytes(bare.Path())) << "the solutions changed the records";

  // Every campaign level that has a file: both blocks read.
  for (int n = 1; n <= static_cast<int>(kLevelCount); ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "/level_%02d.txt", n);
    if (!fs::exists(levels + name)) continue;
    for (int regime : {0, 1}) {
      testsupport::LevelSolution s;
      std::string error;
      EXPECT_TRUE(testsupport::ReadLevelSolution(levels + name, regime, &s, &error)) << error;
      EXPECT_FALSE(s.actions.empty()) << name << " " << regime;
    }
  }

  // Faults, each named with its line.
  TempFolder faulty;
  const std::string path = faulty.File("faulty.txt");
  const struct {
    const char* block;
    const char* message;
  } faults[] = {
      {"\tsolution_easy {\n\t\tbuild = 1, wheat\n\t\tharvest = 1\n\t}\n", ":5: unknown word \"harvest\""},
      {"\tsolution_easy {\n\t\tbuild = 1\n\t}\n", ":4: \"build\" takes 2 to 2 values"},
      {"\tsolution_easy {\n\t\twait = rain, 3\n\t}\n", ":4: unknown wait \"rain\""},
      {"\tsolution_easy {\n\t\tsell = flour, \n\t}\n", ":4: an empty value"},
      {"\tsolution_easy {\n\t}\n\tsolution_easy {\n\t}\n", ":5: a second block"},
      {"\tsolution_hard {\n\t\ttend = 1\n\t}\n", "no block \"solution_easy\""},
  };
  for (const auto& f : faults) {
    WriteText(path, "level {\n\tmoney = 1\n" + std::string(f.block) + "}\n");
    testsupport::LevelSolution s;
    std::string error;
    EXPECT_FALSE(testsupport::ReadLevelSolution(path, 0, &s, &error)) << f.block;
    EXPECT_NE(error.find(f.message), std::string::npos) << error;
  }
}

}  // namespace

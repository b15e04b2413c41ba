// The level player's click scripts: what reads and what is refused (with its
// line), and the steps falling due between fixed frames.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "levelplayer/ClickScript.h"

namespace windowstest {
namespace {

using player::ClickScript;
using player::ScriptStep;

TEST(ClickScript, ReadsAndRefuses) {
  ClickScript script;
  std::string error;
  ASSERT_TRUE(script.Parse("# a comment\n\nwait 40\nclick 10 20  # the heap\nrclick 1 2\nkey enter\nexpect won\n", &error))
      << error;
  ASSERT_EQ(script.Steps().size(), 5u);
  EXPECT_EQ(script.Steps()[1].kind, ScriptStep::kClick);
  EXPECT_EQ(script.Steps()[1].b, 20);
  EXPECT_EQ(script.Steps()[3].a, 13);
  for (const char* bad : {"wait\n", "wait -5\n", "click 10\n", "click 10 20 30\n", "key space\n", "expect lost\n",
                          "jump 1 2\n", "click 99999 1\n"}) {
    EXPECT_FALSE(script.Parse(std::string("wait 1\n") + bad, &error)) << bad;
    EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
  }
}

// Steps before a wait run in the frame they fall due; a wait of 50 ms with
// 20-ms frames lets three frames pass; the script ends after its last step.
TEST(ClickScript, StepsFallDueBetweenFrames) {
  ClickScript script;
  std::string error;
  ASSERT_TRUE(script.Parse("click 1 1\nwait 50\nclick 2 2\nkey escape\nwait 20\nexpect won\n", &error));
  std::vector<std::string> seen;
  const auto run = [&](const ScriptStep& s) { seen.push_back(std::to_string(s.kind) + ":" + std::to_string(s.a)); };
  std::vector<size_t> perFrame;
  bool more = true;
  for (int frame = 0; frame < 10 && more; ++frame) {
    more = script.Advance(20, run);
    perFrame.push_back(seen.size());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"1:1", "1:2", "3:27"}));
  EXPECT_EQ(perFrame, (std::vector<size_t>{1, 1, 1, 3, 3}));
  EXPECT_FALSE(more);
  EXPECT_TRUE(script.ExpectsWin());
}

}  // namespace
}  // namespace windowstest

// The level player's click scripts: what reads and what is refused (with its
// line, or unread when it is no script file at all), the steps falling due
// between fixed frames, and recordings that replay to the same end.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "levelplayer/ClickScript.h"
#include "testsupport/TempFolder.h"

namespace windowstest {
namespace {

using player::ClickScript;
using player::ScriptRecorder;
using player::ScriptStep;

// What a script does when played on frames of `step` ms: each step as
// "frame:kind:x" and, last, "end:frame" (the frame whose Advance finished
// the script).
std::vector<std::string> Replay(ClickScript& script, u32 step) {
  std::vector<std::string> seen;
  u32 frame = 0;
  const auto run = [&](const ScriptStep& s) {
    seen.push_back(std::to_string(frame) + ":" + std::to_string(s.kind) + ":" + std::to_string(s.a));
  };
  for (; frame < 1000000 && script.Advance(step, run); ++frame) {
  }
  seen.push_back("end:" + std::to_string(frame));
  return seen;
}

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

// Anything but a regular file under 1 MB is refused before a byte of it is
// read: a pipe or /dev/zero would never end, a folder or /dev/null would be
// an empty script.
TEST(ClickScript, OnlyRegularFilesUnderOneMegabyteAreRead) {
  TempFolder dir;
  ASSERT_EQ(::mkfifo(dir.File("pipe.txt").c_str(), 0600), 0);
  dir.Put("big.txt", std::string(2u << 20, '#'));
  dir.Put("limit.txt", std::string(ClickScript::kMaxBytes, '#'));
  dir.Put("under.txt", std::string(ClickScript::kMaxBytes - 20, '#') + "\nwait 20\n");
  ClickScript script;
  std::string error;
  for (const std::string& bad : {dir.Path(), dir.File("pipe.txt"), std::string("/dev/zero"), std::string("/dev/null")}) {
    EXPECT_FALSE(script.Load(bad, &error)) << bad;
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << bad << ": " << error;
  }
  for (const char* large : {"big.txt", "limit.txt"}) {
    EXPECT_FALSE(script.Load(dir.File(large), &error)) << large;
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
  }
  EXPECT_FALSE(script.Load(dir.File("missing.txt"), &error));
  EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
  ASSERT_TRUE(script.Load(dir.File("under.txt"), &error)) << error;
  ASSERT_EQ(script.Steps().size(), 1u);
  EXPECT_EQ(script.Steps()[0].a, 20);
}

// A run on fixed 20-ms frames recorded and replayed: every step falls in the
// frame it was recorded in, the replay ends in the run's last frame, and a
// won run asks for the win.
TEST(ScriptRecorder, FixedFramesReplayFrameForFrame) {
  TempFolder dir;
  ScriptRecorder recorder;
  ASSERT_TRUE(recorder.Open(dir.File("out.txt"), 20));
  std::vector<std::string> played;
  const u32 lastFrame = 912;
  for (u32 frame = 0; frame <= lastFrame; ++frame) {
    if (frame == 0 || frame == 25) {
      recorder.Click(400, 300, false);
      played.push_back(std::to_string(frame) + ":1:400");
    }
    if (frame == 35) {
      recorder.Key("enter");
      recorder.Click(7, 8, true);
      played.push_back("35:3:13");
      played.push_back("35:2:7");
    }
    if (frame == lastFrame - 1) {  // a click the frame before the end
      recorder.Click(1, 2, false);
      played.push_back(std::to_string(frame) + ":1:1");
    }
    recorder.Frame(20);
  }
  played.push_back("end:" + std::to_string(lastFrame));
  ASSERT_TRUE(recorder.Finish(true));
  EXPECT_FALSE(recorder.IsOpen());

  ClickScript script;
  std::string error;
  ASSERT_TRUE(script.Load(dir.File("out.txt"), &error)) << error;
  EXPECT_EQ(Replay(script, 20), played);
  EXPECT_TRUE(script.ExpectsWin());

  // Not won, and quit in the frame of the last click: no wait after it.
  ASSERT_TRUE(recorder.Open(dir.File("quit.txt"), 20));
  recorder.Frame(20);
  recorder.Click(5, 5, false);
  recorder.Frame(20);
  ASSERT_TRUE(recorder.Finish(false));
  ASSERT_TRUE(script.Load(dir.File("quit.txt"), &error)) << error;
  EXPECT_EQ(Replay(script, 20), (std::vector<std::string>{"1:1:5", "end:1"}));
  EXPECT_FALSE(script.ExpectsWin());
}

// A window's frames of any length: the replay's clicks stay within half a
// frame of the recorded moments however many clicks came before (the
// rounding does not add up), and a pause of over an hour is written as
// waits a script reads.
TEST(ScriptRecorder, WindowFramesReplayWithoutDrift) {
  TempFolder dir;
  ScriptRecorder recorder;
  ASSERT_TRUE(recorder.Open(dir.File("out.txt"), 20));
  const u32 lengths[] = {16, 17, 33, 7, 100, 16};
  std::vector<u64> clickedAt;
  u64 now = 0;
  for (u32 frame = 0; frame < 3000; ++frame) {
    if (frame % 97 == 13) {
      recorder.Click(static_cast<i32>(clickedAt.size()), 0, false);
      clickedAt.push_back(now);
    }
    const u32 ms = lengths[frame % 6];
    recorder.Frame(ms);
    now += ms;
  }
  recorder.Frame(5000000);  // a long pause before the last click
  now += 5000000;
  recorder.Click(999, 0, false);
  clickedAt.push_back(now);
  recorder.Frame(20);
  ASSERT_TRUE(recorder.Finish(false));

  ClickScript script;
  std::string error;
  ASSERT_TRUE(script.Load(dir.File("out.txt"), &error)) << error;
  const std::vector<std::string> seen = Replay(script, 20);
  ASSERT_EQ(seen.size(), clickedAt.size() + 1);
  for (size_t i = 0; i < clickedAt.size(); ++i) {
    const u64 replayedAt = std::stoull(seen[i]) * 20;
    EXPECT_LE(replayedAt > clickedAt[i] ? replayedAt - clickedAt[i] : clickedAt[i] - replayedAt, 10u) << i;
  }
  EXPECT_EQ(seen.back(), "end:" + std::to_string((now + 10) / 20));
  for (const ScriptStep& s : script.Steps()) {
    if (s.kind == ScriptStep::kWait) {
      EXPECT_LE(static_cast<u32>(s.a), ClickScript::kMaxWaitMs);
    }
  }
}

}  // namespace
}  // namespace windowstest

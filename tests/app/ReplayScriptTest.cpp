// Replays: every kind of step and the header read and written back the
// same, what is refused (with its line, or unread when it is no replay file
// at all), the steps and marks falling due between fixed frames, a mark that
// fails named with its line, recordings that replay to the same end and
// fail when they end elsewhere, held until their file may be made, and the
// level player's scripts read as they are.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/ReplayScript.h"
#include "testsupport/TempFolder.h"

namespace apptest {
namespace {

using ScriptRecorder = ReplayRecorder;

// What a replay does when played on frames of `step` ms: each step as
// "frame:kind:a" and, last, "end:frame" (the frame whose Advance finished
// the replay).
std::vector<std::string> Replay(ReplayScript& script, u32 step) {
  std::vector<std::string> seen;
  u32 frame = 0;
  const auto run = [&](const ReplayStep& s) {
    seen.push_back(std::to_string(frame) + ":" + std::to_string(s.kind) + ":" + std::to_string(s.a));
    return ReplayScript::kPassed;
  };
  for (; frame < 1000000 && script.Advance(step, run) == ReplayScript::kMore; ++frame) {
  }
  seen.push_back("end:" + std::to_string(frame));
  return seen;
}

ReplayStep Key(i32 scan) {
  ReplayStep s;
  s.kind = ReplayStep::kKey;
  s.a = scan;
  return s;
}

TEST(ReplayScript, EveryKindRecordedReadsBackEqual) {
  const char* const text =
      "clock 1700000000\nseed 42  # the header\nscreen 1024 768\n\nwait 40\nclick 10 20 shift\nrclick 1 2\n"
      "press 3 4 middle\n"
      "release 5 6 right\nmove 7 8\nwheel 9 10 -240\nkey enter\nkey 0x1e shift alt\ntext \"a \\\"#\\\\ \xc3\xa9\"\n"
      "await 6 5000\nexpect state 0x80000002\nscreenshot out/a.png\nlog the day # starts\n"
      "expect window LvRt\nexpect won\n";
  ReplayScript script;
  std::string error;
  ASSERT_TRUE(script.Parse(text, &error)) << error;
  EXPECT_TRUE(script.HasClock() && script.HasSeed());
  EXPECT_EQ(script.ClockSeconds(), 1700000000u);
  EXPECT_EQ(script.Seed(), 42u);
  EXPECT_EQ(script.ScreenWidth(), 1024u);
  EXPECT_EQ(script.ScreenHeight(), 768u);
  const std::vector<ReplayStep>& steps = script.Steps();
  ASSERT_EQ(steps.size(), 16u);
  EXPECT_EQ(steps[0].line, 5u);
  EXPECT_EQ(steps[1].c, ReplayStep::kShift);
  EXPECT_EQ(steps[2].c, 0);
  EXPECT_EQ(steps[3].c, 2);
  EXPECT_EQ(steps[6].c, -240);
  EXPECT_EQ(steps[7].a, 0x1C);
  EXPECT_EQ(steps[8].a, 0x1E);
  EXPECT_EQ(steps[8].b, ReplayStep::kShift | ReplayStep::kAlt);
  EXPECT_EQ(steps[9].text, "a \"#\\ \xc3\xa9");
  EXPECT_EQ(steps[11].a, static_cast<i32>(0x80000002u));
  EXPECT_EQ(steps[13].text, "the day");
  EXPECT_EQ(steps[14].a, 0x4C765274);  // 'LvRt'


  // Written by the recorder (a frame between events) and read back: the
  // same steps, the same header.
  TempFolder dir;
  ScriptRecorder recorder;
  ASSERT_TRUE(recorder.Open(dir.File("all.txt"), 20));
  recorder.Header(1700000000, 42, 1024, 768);
  for (const ReplayStep& s : steps) {
    if (s.kind == ReplayStep::kWait || s.kind == ReplayStep::kExpectWon) continue;
    recorder.Event(s);
    recorder.Frame(20);
  }
  recorder.Frame(20);
  ASSERT_TRUE(recorder.Finish(true));
  ReplayScript back;
  ASSERT_TRUE(back.Load(dir.File("all.txt"), &error)) << error;
  EXPECT_EQ(back.Seed(), 42u);
  EXPECT_EQ(back.ClockSeconds(), 1700000000u);
  EXPECT_EQ(back.ScreenWidth(), 1024u);
  EXPECT_EQ(back.ScreenHeight(), 768u);
  std::vector<ReplayStep> expected, read;
  for (const ReplayStep& s : steps)
    if (s.kind != ReplayStep::kWait) expected.push_back(s);
  for (const ReplayStep& s : back.Steps())
    if (s.kind != ReplayStep::kWait) read.push_back(s);
  EXPECT_EQ(read, expected);

  for (const char* bad : {"wait\n", "wait -5\n", "click 10\n", "click 10 20 30\n", "key pause\n", "key 0\n",
                          "key enter shift shift\n", "click 1 2 shift shift\n", "move 1 2 shift\n", "expect lost\n", "jump 1 2\n", "click 99999 1\n",
                          "press 1 2 thumb\n", "wheel 1 2 0\n", "text a\n", "text \"a\" b\n", "text \"\"\n",
                          "await 6\n", "await 6 0\n", "screenshot a.bmp\n", "log\n", "seed 1\n", "move +1 2\n",
                          "expect window LvR\n", "expect window Lv-t\n", "expect window Lv#t\n",
                          "screen 800 600\n" /* after a step */}) {
    EXPECT_FALSE(script.Parse(std::string("wait 1\n") + bad, &error)) << bad;
    EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
    EXPECT_TRUE(script.Steps().empty());
  }
  for (const char* bad : {"screen 800\n", "screen 0 600\n", "screen 800 8192\n", "screen 800 600 32\n"}) {
    EXPECT_FALSE(script.Parse(bad, &error)) << bad;
    EXPECT_EQ(error.rfind("line 1:", 0), 0u) << error;
  }
}

// Steps before a wait run in the frame they fall due; a wait of 50 ms with
// 20-ms frames lets three frames pass; the replay ends after its last step.
// An await holds the replay until its state comes, and fails once its
// time-out has passed; an expect not met stops it at once: both named with
// their lines.
TEST(ReplayScript, StepsAndMarksFallDueBetweenFrames) {
  ReplayScript script;
  std::string error;
  ASSERT_TRUE(script.Parse("click 1 1\nwait 50\nclick 2 2\nkey escape\nwait 20\nexpect won\n", &error));
  std::vector<std::string> seen;
  const auto run = [&](const ReplayStep& s) {
    seen.push_back(std::to_string(s.kind) + ":" + std::to_string(s.a));
    return ReplayScript::kPassed;
  };
  std::vector<size_t> perFrame;
  ReplayScript::Progress p = ReplayScript::kMore;
  for (int frame = 0; frame < 10 && p == ReplayScript::kMore; ++frame) {
    p = script.Advance(20, run);
    perFrame.push_back(seen.size());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"1:1", "1:2", "7:1"}));
  EXPECT_EQ(perFrame, (std::vector<size_t>{1, 1, 1, 3, 3}));
  EXPECT_EQ(p, ReplayScript::kDone);
  EXPECT_TRUE(script.ExpectsWin());

  ASSERT_TRUE(script.Parse("# the start\nawait 6 100\nclick 1 1\nawait 7 60\nclick 2 2\n", &error));
  u32 state = 0, frames = 0;
  seen.clear();
  const auto game = [&](const ReplayStep& s) {
    if (s.IsMark()) return static_cast<u32>(s.a) == state ? ReplayScript::kPassed : ReplayScript::kNotYet;
    seen.push_back(std::to_string(frames));
    return ReplayScript::kPassed;
  };
  for (; frames < 100 && (p = script.Advance(20, game)) == ReplayScript::kMore; ++frames)
    if (frames == 3) state = 6;  // the state comes within the time-out
  EXPECT_EQ(p, ReplayScript::kStopped);
  EXPECT_EQ(seen, (std::vector<std::string>{"4"}));
  EXPECT_EQ(frames, 7u);  // 60 ms of 20-ms frames waited (frames 4 to 6), then stopped
  EXPECT_EQ(script.Failure(), "line 4: await 7 60: timed out");
  EXPECT_EQ(script.Advance(20, game), ReplayScript::kStopped);

  ASSERT_TRUE(script.Parse("wait 20\n\nexpect state 5\nclick 1 1\n", &error));
  while ((p = script.Advance(20, game)) == ReplayScript::kMore) {
  }
  EXPECT_EQ(script.Failure(), "line 3: expect state 5: not met");

  // A run that ends: an await of the quit state it ended in is met when it
  // is the last step; any other step left fails.
  const std::pair<const char*, const char*> ends[] = {
      {"click 1 1\nawait 4294967295 1000\n", ""},
      {"await 4294967295 1000\nwait 20\n", "line 2: wait 20: the run ended first"},
      {"await 5 1000\n", "line 1: await 5 1000: the run ended first"},
      {"wait 40\n", "line 1: wait 40: the run ended first"}};
  for (const auto& [text, failure] : ends) {
    ASSERT_TRUE(script.Parse(text, &error));
    EXPECT_EQ(script.Advance(20, game), ReplayScript::kMore) << text;
    script.Stop("the run ended first", 0xFFFFFFFFu);
    EXPECT_EQ(script.Failure(), failure) << text;
  }
}

// Anything but a regular file under 1 MB is refused before a byte of it is
// read: a pipe or /dev/zero would never end, a folder or /dev/null would be
// an empty script.
TEST(ReplayScript, OnlyRegularFilesUnderOneMegabyteAreRead) {
  TempFolder dir;
  ASSERT_EQ(::mkfifo(dir.File("pipe.txt").c_str(), 0600), 0);
  dir.Put("big.txt", std::string(2u << 20, '#'));
  dir.Put("limit.txt", std::string(ReplayScript::kMaxBytes, '#'));
  dir.Put("under.txt", std::string(ReplayScript::kMaxBytes - 20, '#') + "\nwait 20\n");
  ReplayScript script;
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
  // The engine tells where the pointer rests on every frame: only a move
  // to another place is written.
  ReplayStep pointer;
  pointer.kind = ReplayStep::kMove;
  pointer.a = 400;
  pointer.b = 300;
  for (u32 frame = 0; frame <= lastFrame; ++frame) {
    if (frame == 30) pointer.a = 410;
    recorder.Event(pointer);
    if (frame == 0 || frame == 30) played.push_back(std::to_string(frame) + ":5:" + std::to_string(pointer.a));
    if (frame == 0 || frame == 25) {
      recorder.Click(400, 300, false);
      played.push_back(std::to_string(frame) + ":1:400");
    }
    if (frame == 35) {
      recorder.Event(Key(0x1C));
      recorder.Click(7, 8, true);
      pointer.a = 7;
      pointer.b = 8;
      played.push_back("35:7:28");
      played.push_back("35:2:7");
    }
    if (frame == lastFrame - 1) {  // a click the frame before the end
      recorder.Click(1, 2, false);
      pointer.a = 1;
      pointer.b = 2;
      played.push_back(std::to_string(frame) + ":1:1");
    }
    recorder.Frame(20);
  }
  played.push_back("end:" + std::to_string(lastFrame));
  ASSERT_TRUE(recorder.Finish(true));
  EXPECT_FALSE(recorder.IsOpen());

  ReplayScript script;
  std::string error;
  ASSERT_TRUE(script.Load(dir.File("out.txt"), &error)) << error;
  EXPECT_EQ(Replay(script, 20), played);
  EXPECT_TRUE(script.ExpectsWin());

  // Not won, and quit in the frame of the last click: no wait after it.
  ASSERT_TRUE(recorder.Open(dir.File("quit.txt"), 20));
  recorder.Frame(20);
  recorder.Click(5, 5, false);
  recorder.Frame(20);
  ASSERT_TRUE(recorder.Finish());
  ASSERT_TRUE(script.Load(dir.File("quit.txt"), &error)) << error;
  EXPECT_EQ(Replay(script, 20), (std::vector<std::string>{"1:1:5", "end:1"}));
  EXPECT_FALSE(script.ExpectsWin());
}

// A run's end as its recording names it: the state it was in, or the game's
// quit, whose moment the replay may meet up to a second either side; a
// replay that ends elsewhere fails at the mark or the wait it was on. The
// recording is held, its file left as it was until it is committed (and
// when it never is): a start that stops first loses nothing.
TEST(ScriptRecorder, HeldUntilCommittedAndEndedWhereTheRunEnded) {
  TempFolder dir;
  dir.Put("state.txt", "an earlier recording\n");
  const auto record = [&](const char* name, std::optional<u32> end, bool commit) {
    ScriptRecorder recorder;
    std::string why;
    EXPECT_TRUE(recorder.Open(dir.File(name), 20, true, &why)) << why;
    recorder.Header(1, 2, 800, 600);
    for (u32 frame = 0; frame < 500; ++frame) {
      if (frame == 100) recorder.Click(1, 2, false);
      recorder.Frame(20);
    }
    if (commit) {
      EXPECT_TRUE(recorder.Commit());
    }
    if (end) {
      EXPECT_TRUE(recorder.Finish(false, end));
    }
  };
  record("state.txt", std::nullopt, false);  // the run stopped before its file was made
  EXPECT_EQ(dir.Read("state.txt"), "an earlier recording\n");
  record("state.txt", 6, true);
  record("quit.txt", ReplayScript::kQuitState, false);
  for (const char* name : {"state.txt", "quit.txt"}) EXPECT_EQ(dir.Read(name).rfind("# recorded", 0), 0u) << name;
  // The replay on 20-ms frames of a game in `state` that quits itself in
  // frame `quitAt`: its failure, empty when it ended where recorded.
  const auto play = [&](const char* name, u32 state, u32 quitAt) {
    ReplayScript script;
    std::string error;
    EXPECT_TRUE(script.Load(dir.File(name), &error)) << error;
    for (u32 frame = 0; frame < 10000; ++frame) {
      if (script.Advance(20, [&](const ReplayStep& s) {
            return s.kind != ReplayStep::kAwait || static_cast<u32>(s.a) == state ? ReplayScript::kPassed
                                                                                   : ReplayScript::kNotYet;
          }) != ReplayScript::kMore)
        return script.Failure();
      if (frame == quitAt) {
        script.Stop("the run ended first", ReplayScript::kQuitState);
        return script.Failure();
      }
    }
    return std::string("never ended");
  };
  constexpr u32 kNever = 100000;
  EXPECT_EQ(play("state.txt", 6, kNever), "");
  EXPECT_EQ(play("state.txt", 5, kNever), "line 8: await 6 1000: timed out");
  EXPECT_EQ(play("quit.txt", 6, 500), "");  // the frame it quit in when recorded
  EXPECT_EQ(play("quit.txt", 6, 455), "");
  EXPECT_EQ(play("quit.txt", 6, 545), "");
  EXPECT_EQ(play("quit.txt", 6, 400), "line 7: wait 7000: the run ended first");
  EXPECT_EQ(play("quit.txt", 6, kNever), "line 8: await 4294967295 2000: timed out");

  // A path that cannot be written is refused, a file there left alone.
  ScriptRecorder refused;
  std::string why;
  EXPECT_FALSE(refused.Open(dir.Path(), 20, true, &why));
  EXPECT_EQ(why, "a folder");
  EXPECT_FALSE(refused.Open(dir.File("missing/rec.txt"), 20, true, &why));
  EXPECT_FALSE(refused.IsOpen());
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
  ASSERT_TRUE(recorder.Finish());

  ReplayScript script;
  std::string error;
  ASSERT_TRUE(script.Load(dir.File("out.txt"), &error)) << error;
  const std::vector<std::string> seen = Replay(script, 20);
  ASSERT_EQ(seen.size(), clickedAt.size() + 1);
  for (size_t i = 0; i < clickedAt.size(); ++i) {
    const u64 replayedAt = std::stoull(seen[i]) * 20;
    EXPECT_LE(replayedAt > clickedAt[i] ? replayedAt - clickedAt[i] : clickedAt[i] - replayedAt, 10u) << i;
  }
  EXPECT_EQ(seen.back(), "end:" + std::to_string((now + 10) / 20));
  for (const ReplayStep& s : script.Steps()) {
    if (s.kind == ReplayStep::kWait) {
      EXPECT_LE(static_cast<u32>(s.a), ReplayScript::kMaxWaitMs);
    }
  }
}

// A screenshot mark writes the frame drawn before the marks ran, so a run
// that rasterises only where a mark may read draws the frame before a
// screenshot falls due, and every frame while an await stands before one.
TEST(ReplayScript, TheFramesAScreenshotMayReadAreKnownAFrameAhead) {
  ReplayScript script;
  std::string error;
  ASSERT_TRUE(script.Parse("wait 40\nscreenshot a.png\nwait 20\nawait 6 1000\nscreenshot b.png\nwait 0\nwait 100\n"
                           "screenshot c.png\n",
                           &error));
  std::vector<i32> drawn, read;
  bool asked = false;
  i32 frame = 0;
  const auto run = [&](const ReplayStep& s) {
    if (s.kind == ReplayStep::kAwait && !asked) {
      asked = true;  // the state comes a frame later
      return ReplayScript::kNotYet;
    }
    if (s.kind == ReplayStep::kScreenshot) read.push_back(frame - 1);
    return ReplayScript::kPassed;
  };
  for (; script.Advance(20, run) == ReplayScript::kMore; ++frame)
    if (script.NextFrameMayBeRead()) drawn.push_back(frame);
  EXPECT_EQ(read, (std::vector<i32>{1, 3, 8}));
  EXPECT_EQ(drawn, (std::vector<i32>{1, 2, 3, 8}));
  EXPECT_FALSE(script.NextFrameMayBeRead());
}

// The level player's scripts read as they are, and end as they did.
TEST(ReplayScript, LevelPlayerScriptsRead) {
  size_t read = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TM_PLAYER_SCRIPTS_DIR)) {
    ReplayScript script;
    std::string error;
    EXPECT_TRUE(script.Load(entry.path().string(), &error)) << entry.path() << ": " << error;
    EXPECT_EQ(Replay(script, 20).back().rfind("end:", 0), 0u);
    ++read;
  }
  EXPECT_GE(read, 9u);
}

}  // namespace
}  // namespace apptest

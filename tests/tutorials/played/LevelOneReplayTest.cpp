// Level 1 of the sample data set played at 800 x 600 by the tutorial
// follower with its tutorial on, as the program's replay of it plays it
// (tests/app/scripts/tutorial_level1.txt): the follower's pointer written as
// replay lines from the day's start ("key enter") to the won day. The
// program's replay is that script with a margin on every wait; this test
// keeps the two in step: the follower still wins the day, with a medal, by
// the clicks the committed script makes, each no later than the script
// makes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "level/objects/BasePointPlant.h"
#include "ui/ASSArrowButton.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/GameLevel.h"
#include "resources/GameServices.h"
#include "testsupport/LevelHarness.h"
#include "testsupport/TutorialFollower.h"
#include "tutorials/LevelTutorial.h"
#include "tutorials/LevelTutorialScript.h"
#include "tutorials/TutorialMaker.h"

namespace {

struct ReplayClick {
  u32 ms;  // of the day's play
  i32 x, y;
};

// The clicks of a replay script from its "key enter" on: its waits added up.
std::vector<ReplayClick> ScriptClicks(const std::string& path) {
  std::ifstream in(path);
  std::vector<ReplayClick> clicks;
  std::string line;
  u32 ms = 0;
  bool started = false;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word == "key" && line.find("enter") != std::string::npos) started = true;
    if (!started) continue;
    u32 n = 0;
    ReplayClick c{};
    if (word == "wait" && (words >> n)) ms += n;
    else if (word == "click" && (words >> c.x >> c.y)) clicks.push_back({ms, c.x, c.y});
  }
  return clicks;
}

TEST(LevelOneReplay, TheFollowersClicksAtEightHundredBySixHundred) {
  leveltest::LevelHarness h(leveltest::SampleDataFolder(), 800, 600, true);
  ASSERT_TRUE(h.loaded);
  TutorialMaker maker;
  GetGameServices().tutorialFactory = &maker;
  h.profile.tutorials = true;
  GameLevelHooks hooks;
  hooks.rules.profile = &h.profile;
  hooks.villains = &h.villains;
  GameLevel* level = h.world.OpenLevel(0, LevelSetup{}, hooks);
  maker.SetLevel(level);
  h.LoadAll();
  h.Enter();
  h.Start();
  testsupport::TutorialFollower f(h);
  auto bed = [&](i32 i) { return dynamic_cast<BasePointPlant*>(h.Level()->Map().GetPoint(i)); };
  // Step 27 also waters a dry bed (its arrows only point at harvests).
  f.Override(0x8001001Bu, [&](testsupport::TutorialFollower& follower) {
    for (i32 i : {1, 2})
      if (bed(i) && bed(i)->GetWaterButton() && !ScriptBedBusy(bed(i)))
        return follower.ClickSprite(bed(i)->GetWaterButton());
    return follower.Follow(GetCurrentTutorial()->GetCurrentStep());
  });
  std::vector<ReplayClick> clicks;
  std::string lines = "key enter          # the day starts\n";
  u32 last = 0;
  auto line = [&](u32 ms, const std::string& text) {
    if (ms > last) lines += "wait " + std::to_string(ms - last) + "\n";
    last = std::max(last, ms);
    lines += text + "\n";
  };
  f.onPointer = [&](u32 ms, i32 x, i32 y, bool click) {
    line(ms, std::string(click ? "click " : "move ") + std::to_string(x) + " " + std::to_string(y));
    if (click) clicks.push_back({ms, x, y});
  };
  // The screenshots of steps 1, 4 and 16 once their hints have shown.
  std::vector<TutorialId> shot;
  f.everyFrame = [&](testsupport::TutorialFollower& follower) {
    TutorialStep* step = testsupport::TutorialFollower::ShownStep();
    if (!step) return;
    for (u32 n : {1u, 4u, 16u})
      if (step->GetId() == (0x80010000u | n) && (shot.empty() || shot.back() != step->GetId())) {
        line(follower.Ms(), "screenshot tutorial-step" + std::to_string(n) + ".png");
        shot.push_back(step->GetId());
      }
  };
  ASSERT_TRUE(f.Run(400000)) << "the tutorial did not end";
  for (u32 t = 0; t < 10000 && h.Level()->Rules().Tasks().GetResultShown() != kResultWon; t += 20) f.Frame();
  ASSERT_EQ(h.Level()->Rules().Tasks().GetResultShown(), kResultWon);
  const u32 time = h.Level()->Rules().Clock().GetTime();
  const i32 medal = h.Levels().GetMedal(0, 0, time);
  std::printf("level 1 won at %.2f s of level time, medal grade %d\n", time / 1000.0, medal);
  EXPECT_GT(medal, 0) << "a medal";
  if (FILE* out = std::fopen("tutorial_level1_follower.txt", "w")) {
    std::fputs(lines.c_str(), out);
    std::fclose(out);
  }
  // The committed script clicks where the follower did, never earlier.
  const std::vector<ReplayClick> script = ScriptClicks(TM_TESTS_DIR "/app/scripts/tutorial_level1.txt");
  ASSERT_EQ(script.size(), clicks.size()) << "the follower now plays:\n" << lines;
  for (size_t i = 0; i < clicks.size(); ++i) {
    EXPECT_EQ(script[i].x, clicks[i].x) << "click " << i;
    EXPECT_EQ(script[i].y, clicks[i].y) << "click " << i;
    EXPECT_GE(script[i].ms, clicks[i].ms) << "click " << i;
  }
}

}  // namespace

// Levels 1 and 4 of the sample data set played at 800 x 600 by the tutorial
// follower with their tutorials on, as the program's replays of them play
// them (tests/app/scripts/tutorial_level1.txt, tutorial_level4.txt): the
// follower's pointer written as replay lines from the day's start ("key
// enter") to level 1's won day and to the end of level 4's tutorial. The
// program's replays play those scripts; this test keeps the two in step:
// the follower still wins level 1's day, with a medal, and still ends level
// 4's tutorial, by the clicks the committed scripts make, each no later
// than the script makes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "level/objects/BasePointPlant.h"
#include "level/objects/PointHenhouse.h"
#include "hud/ASSArrowButton.h"
#include "hud/ASSPriceButton.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/GameLevel.h"
#include "resources/ResourceServices.h"
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

// A level of the sample data set followed at 800 x 600 with its tutorial on
// through its tutorial to its won day: the follower's pointer written as replay lines from the day's start into
// NAME_follower.txt, with screenshots tutorial-stepN.png of the steps `shots`
// once their hints have shown, and compared with the committed script
// tests/app/scripts/NAME.txt: the same clicks, each no earlier.
class ReplayScripts : public ::testing::Test {
 protected:
  ReplayScripts() : h(leveltest::SampleDataFolder(), 800, 600, true, &maker) {
    h.profile.tutorials = true;
  }
  ~ReplayScripts() override { h.world.CloseLevel(); }

  void Open(i32 index) {
    GameLevelHooks hooks;
    hooks.rules.profile = &h.profile;
    hooks.villains = &h.villains;
    maker.SetLevel(h.world.OpenLevel(index, LevelSetup{}, hooks));
    h.LoadAll();
    h.Enter();
    h.Start();
  }

  // `playOn`, when given, plays after the tutorial's end until the day is
  // won: asked every frame, true when it did something (a rest follows).
  void FollowAndCompare(testsupport::TutorialFollower& f, const std::string& name, std::vector<u32> shots,
                        const testsupport::TutorialFollower::Action& playOn = nullptr) {
    const TutorialId tutorial = GetCurrentTutorial()->GetId();
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
    std::vector<TutorialId> shot;
    f.everyFrame = [&](testsupport::TutorialFollower& follower) {
      TutorialStep* step = testsupport::TutorialFollower::ShownStep();
      if (!step) return;
      for (u32 n : shots)
        if (step->GetId() == (tutorial | n) && (shot.empty() || shot.back() != step->GetId())) {
          line(follower.Ms(), "screenshot tutorial-step" + std::to_string(n) + ".png");
          shot.push_back(step->GetId());
        }
    };
    ASSERT_TRUE(f.Run(400000)) << "the tutorial did not end";
    EXPECT_EQ(shot.size(), shots.size()) << "every hint shot";
    std::printf("%s's tutorial ended at %.2f s of level time\n", name.c_str(),
                h.Level()->Rules().Clock().GetTime() / 1000.0);
    u32 rest = 0;
    for (u32 t = 0; t < 120000 && h.Level()->Rules().Tasks().GetResultShown() != kResultWon; t += 20) {
      if (rest > 0) rest -= 20;
      else if (playOn && playOn(f)) rest = 300;
      f.Frame();
    }
    ASSERT_EQ(h.Level()->Rules().Tasks().GetResultShown(), kResultWon);
    const u32 time = h.Level()->Rules().Clock().GetTime();
    const i32 medal = h.Levels().GetMedal(0, h.Level()->GetLevelIndex(), time);
    std::printf("%s won at %.2f s of level time, medal grade %d\n", name.c_str(), time / 1000.0, medal);
    EXPECT_GT(medal, 0) << "a medal";
    if (FILE* out = std::fopen((name + "_follower.txt").c_str(), "w")) {
      std::fputs(lines.c_str(), out);
      std::fclose(out);
    }
    // The committed script clicks where the follower did, never earlier.
    const std::vector<ReplayClick> script = ScriptClicks(TM_TESTS_DIR "/app/scripts/" + name + ".txt");
    ASSERT_EQ(script.size(), clicks.size()) << "the follower now plays:\n" << lines;
    for (size_t i = 0; i < clicks.size(); ++i) {
      EXPECT_EQ(script[i].x, clicks[i].x) << "click " << i;
      EXPECT_EQ(script[i].y, clicks[i].y) << "click " << i;
      EXPECT_GE(script[i].ms, clicks[i].ms) << "click " << i;
    }
  }

  TutorialMaker maker;  // before the world, which is handed it
  leveltest::LevelHarness h;
};

TEST_F(ReplayScripts, LevelOneToItsWin) {
  ASSERT_TRUE(h.loaded);
  Open(0);
  testsupport::TutorialFollower f(h);
  auto bed = [&](i32 i) { return dynamic_cast<BasePointPlant*>(h.Level()->Map().GetPoint(i)); };
  // Step 27 also waters a dry bed (its arrows only point at harvests).
  f.Override(0x8001001Bu, [&](testsupport::TutorialFollower& follower) {
    for (i32 i : {1, 2})
      if (bed(i) && bed(i)->GetWaterButton() && !ScriptBedBusy(bed(i)))
        return follower.ClickSprite(bed(i)->GetWaterButton());
    return follower.Follow(GetCurrentTutorial()->GetCurrentStep());
  });
  FollowAndCompare(f, "tutorial_level1", {1, 4, 16});
}

// Level 4 through its tutorial (the first eggs) on to the won day.
TEST_F(ReplayScripts, LevelFourToItsWin) {
  ASSERT_TRUE(h.loaded);
  Open(3);
  testsupport::TutorialFollower f(h);
  // After the tutorial: the wheat bed's harvest and water, the hens fed,
  // their eggs taken, until the day's eggs are in.
  auto* bed = dynamic_cast<BasePointPlant*>(h.Level()->Map().GetPoint(4));
  FollowAndCompare(f, "tutorial_level4", {4, 8}, [&](testsupport::TutorialFollower& follower) {
    auto* house = dynamic_cast<PointHenhouse*>(h.Level()->Map().GetPoint(2));
    return (house && follower.ClickSprite(house->GetTakeEggsButton())) ||
           (bed && (follower.ClickSprite(bed->GetHarvestButton()) || follower.ClickSprite(bed->GetWaterButton()))) ||
           (house && house->HasFeed() && follower.ClickSprite(house->GetFeedButton()));
  });
}

}  // namespace

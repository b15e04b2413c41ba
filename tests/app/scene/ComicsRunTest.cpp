// The chapters' comics in the running game on the sample data set: level 8
// won and left by the result window's OK plays comic 1 before the map; a
// click while its parts still appear shows them all, the next click goes
// on to the map, which then plays the result. Each page of comics 1 to 3 is
// written for a person to look at (comic_<n>.png at 800 x 600, comic 3
// also at 1920 x 1080).
#include <gtest/gtest.h>

#include <string>

#include "RunningGame.h"
#include "app/LevelSelectMap.h"
#include "content/ComixSection.h"
#include "engine/DXLMouse.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/GameLevel.h"
#include "level/scene/LevelInput.h"
#include "ui/WindowManager.h"
#include "windows/ComixBook.h"
#include "windows/ComixWindow.h"
#include "windows/LevelResultWindow.h"

namespace {

// Comic n started, its parts shown at once by Escape (false when the comic
// state was not reached or a part still appears).
bool ShowWholeComic(RunningGame& run, u32 n) {
  if (!StartComix(n, nullptr) || !run.RunTo(kGameStateComic)) return false;
  ComixWindow* window = GetComixBook()->GetWindow();
  if (!window) return false;
  run.game.KeyDown(plat::DIK_ESCAPE, 0);
  for (int i = 0; i < 2; ++i) run.Frame();
  for (const auto& part : window->Parts())
    if (part->IsAppearing()) return false;
  return run.game.State() == kGameStateComic;
}

void ClickComic(RunningGame& run) {
  run.game.MouseDown(400, 300, kMouseLeft, 0);
  run.game.MouseUp(400, 300, kMouseLeft, 0);
  run.Frame();
}

TEST(ComicsRun, LevelEightWonPlaysComicOneClickedThroughToTheMap) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  RunningGame run;
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  run.NameFirstProfile(u"Ann");
  run.game.ChooseRegime();
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  ASSERT_EQ(GetComixBook()->GetCount(), 4u);

  run.game.Map()->StartLevel(7, false);
  ASSERT_TRUE(run.RunTo(kGameStateLevel));
  GameLevel* level = run.game.World().Level();
  ASSERT_NE(level, nullptr);
  run.game.MouseDown(400, 300, kMouseLeft, 0);
  run.game.MouseUp(400, 300, kMouseLeft, 0);
  for (int i = 0; i < 10; ++i) run.Frame();
  level->Rules().Tasks().Win(0);
  ASSERT_NE(FindWindowOf<LevelResultWindow>(), nullptr);
  for (int i = 0; i < 100; ++i) run.Frame();
  level->Input().OnKeyDown(kKeyEnter, 0);  // the result window's OK
  ASSERT_TRUE(run.RunTo(kGameStateComic));
  EXPECT_EQ(GetComixBook()->GetCurrent(), 1u);
  ComixWindow* window = GetComixBook()->GetWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(window->Parts().size(), 4u);

  // Mid-way the later parts still appear: a click shows them all and stays.
  for (int i = 0; i < 30; ++i) run.Frame();
  EXPECT_TRUE(window->Parts().back()->IsAppearing());
  ClickComic(run);
  EXPECT_EQ(run.game.State(), kGameStateComic);
  for (const auto& part : window->Parts()) {
    EXPECT_FALSE(part->IsAppearing());
    EXPECT_EQ(part->GetColor() >> 24, 0xFFu);
    EXPECT_EQ(part->Pictures().size(), part->GetRecord()->pictures.size());
    for (const auto& picture : part->Pictures()) EXPECT_NE(picture, nullptr);  // every sprite found
    EXPECT_EQ(part->Texts().size(), part->GetRecord()->texts.size());    // every caption found
  }
  // The next click closes it: the map, then its result played (level 9's
  // node opening) after the fade, which the result's effect must not cut.
  ClickComic(run);
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  EXPECT_EQ(GetComixBook()->GetWindow(), nullptr);
  Profile* profile = run.game.Profiles()->GetCurrent();
  ASSERT_NE(profile, nullptr);
  EXPECT_EQ(profile->CountFinished(0), 1u);
  EXPECT_GE(profile->GetLevelState(0, 8), 1u);  // level 9 open
}

TEST(ComicsRun, EveryChapterComicPage) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  RunningGame run;
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  run.NameFirstProfile(u"Ann");
  for (u32 n = 1; n <= 3; ++n) {
    ASSERT_TRUE(ShowWholeComic(run, n)) << "comic " << n;
    EXPECT_TRUE(run.Shot("comic_" + std::to_string(n) + ".png"));
    // Enter then closes it.
    run.game.KeyDown(plat::DIK_RETURN, 0);
    ASSERT_TRUE(run.RunTo(kGameStateLevelMap)) << "comic " << n;
  }
  EXPECT_FALSE(StartComix(4, nullptr));
}

TEST(ComicsRun, TheEndingOnAWideScreen) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  RunningGame run(1920, 1080, true);
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  run.NameFirstProfile(u"Ann");
  ASSERT_TRUE(ShowWholeComic(run, 3));
  EXPECT_TRUE(run.Shot("comic_3_1920x1080.png"));
}

}  // namespace

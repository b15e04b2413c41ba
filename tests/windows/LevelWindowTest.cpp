// The level window over a fake profile: its buttons by opening kind and
// saved game, its medal rows in both modes, a level never finished, the
// restart question, starting (the level opened, the bonus choice saved only
// when it changed as a set), the bonus area by the bonuses owned, the keys,
// the new-bonus tutorial and the task buttons' spans. The map's medals panel
// over the same profile.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "../level/LevelRig.h"
#include "../support/FakeTutorialFactory.h"
#include "resources/ResourceServices.h"
#include "ui/BaseDialogWindow.h"
#include "ui/GameControls.h"
#include "ui/HintWindow.h"
#include "ui/WindowManager.h"
#include "windows/BonusesWindow.h"
#include "windows/LevelWindow.h"
#include "windows/MapMedalsPanel.h"
#include "FakeMapProfile.h"
#include "windows/TaskButton.h"
#include "windows/WindowServices.h"
#include "testsupport/WindowDoor.h"

namespace windowstest {
namespace {

using Answer = std::tuple<u32, i32, u32>;

class LevelWindowTest : public ::testing::Test {
 protected:
  LevelWindowTest() {
    GetWindowServices().mapProfile = &profile;
    GetResourceServices().tutorialFactory = &tutorials;
    rig.Info().regimes[1] = LEVELREGIME{200000, 150000, 100000, 0, {}};
  }
  ~LevelWindowTest() override {
    delete window;
    GetWindowServices().mapProfile = nullptr;
  }
  LevelWindow& Open(u32 kind) {
    delete window;
    window = new LevelWindow(0, kind, [this](u32 r, i32 l, u32 f) { answers.emplace_back(r, l, f); });
    testsupport::PlaceWindow(*window);
    testsupport::Settle(*window);
    return *window;
  }
  // The open question answered; it goes at once (the manager would delete
  // it once lifted out: until then, modal, it takes every click).
  void Reply(u32 answer) {
    BaseDialogWindow* question = window->GetQuestion();
    ASSERT_NE(question, nullptr);
    question->Answer(answer);
    delete question;
  }
  // A click on the button through the window manager.
  void Command(u32 id) {
    GameButton* b = window->Controls().FindControl(id, 0);
    ASSERT_NE(b, nullptr) << std::hex << id;
    testsupport::Click(rig.windows, *b);
  }

  leveltest::LevelRig rig;
  testsupport::InterfacePicture picture;
  FakeMapProfile profile;
  tutorialtest::FakeTutorialFactory tutorials;
  LevelWindow* window = nullptr;
  std::vector<Answer> answers;
};

TEST_F(LevelWindowTest, ButtonsFollowTheKindAndTheSavedGame) {
  using Ids = std::vector<u32>;
  for (bool saved : {false, true}) {
    SCOPED_TRACE(saved);
    profile.saved = saved;
    EXPECT_EQ(Open(kLevelWindowLost).GetButtonIds(), (Ids{kLevelWindowCancel, kLevelWindowPlay}));
    EXPECT_FALSE(window->HasSavedGame());
    EXPECT_EQ(Open(kLevelWindowRestartForm).GetButtonIds(), (Ids{kLevelWindowCancel, kLevelWindowRestart}));
    const Ids fromMap = saved ? Ids{kLevelWindowCancel, kLevelWindowRestart, kLevelWindowContinue}
                              : Ids{kLevelWindowCancel, kLevelWindowPlay};
    EXPECT_EQ(Open(kLevelWindowFromMap).GetButtonIds(), fromMap);
    EXPECT_EQ(FindWindowOf<LevelWindow>(), window);
  }
  delete window;
  window = nullptr;
  EXPECT_EQ(FindWindowOf<LevelWindow>(), nullptr);
}

TEST_F(LevelWindowTest, MedalRowsByModeAndALevelNeverFinished) {
  Open(kLevelWindowFromMap);
  ASSERT_EQ(window->GetRows(), 2);
  EXPECT_EQ(window->GetRowY(1) - window->GetRowY(0), 40);
  EXPECT_TRUE(window->ShowsUncompleted());
  EXPECT_EQ(window->GetBestTime(), 0u);

  profile.regime = 1;
  profile.levels[1][0] = {6, 95000};
  Open(kLevelWindowFromMap);
  ASSERT_EQ(window->GetRows(), 3);
  EXPECT_EQ(window->GetRowY(1) - window->GetRowY(0), 32);
  EXPECT_EQ(window->GetRowY(2) - window->GetRowY(1), 32);
  EXPECT_EQ(window->GetRowY(1), window->GetRowY(0) + 32);  // centred on the same middle row as mode 0's pair
  EXPECT_FALSE(window->ShowsUncompleted());
  EXPECT_EQ(window->GetBestTime(), 95000u);
}

// A saved game: restart asks; "no" keeps the window and answers nothing,
// "yes" starts afresh. Continue starts the saved game; play without a
// saved game starts at once.
TEST_F(LevelWindowTest, RestartingASavedGameAsksFirst) {
  profile.saved = true;
  Open(kLevelWindowFromMap);
  Command(kLevelWindowRestart);
  ASSERT_NE(window->GetQuestion(), nullptr);
  EXPECT_EQ(window->GetQuestion()->GetCaptionKey(), u"restart_c");
  Reply(kAnswerNo);
  EXPECT_TRUE(answers.empty());
  EXPECT_EQ(FindWindowOf<LevelWindow>(), window);
  Command(kLevelWindowRestart);
  Reply(kAnswerYes);
  Command(kLevelWindowContinue);
  EXPECT_EQ(answers, (std::vector<Answer>{{1, 0, 1}, {1, 0, 0}}));

  profile.saved = false;
  Open(kLevelWindowRestartForm);
  Command(kLevelWindowRestart);
  EXPECT_EQ(window->GetQuestion(), nullptr);
  Command(kLevelWindowCancel);
  EXPECT_EQ(answers.size(), 4u);
  EXPECT_EQ(answers[2], Answer(1, 0, 1));
  EXPECT_EQ(answers[3], Answer(0, 0, 0));
}

TEST_F(LevelWindowTest, StartingOpensTheLevelAndSavesOnlyAChangedChoice) {
  profile.owned = 3;
  profile.levels[0][0].state = 1;
  profile.selection[0] = BONUSSELECTION{2, {0, 2, -1}};
  Open(kLevelWindowFromMap);
  window->Selection() = BONUSSELECTION{2, {2, 0, -1}};  // the same set reordered
  Command(kLevelWindowPlay);
  EXPECT_EQ(profile.levels[0][0].state, 2u);
  EXPECT_EQ(profile.saves, 0);
  EXPECT_EQ(profile.selection[0].slots[0], 0);

  profile.levels[0][0].state = 5;
  Open(kLevelWindowFromMap);
  window->Selection() = BONUSSELECTION{3, {1, 0, 2}};
  window->RefreshBonuses();
  EXPECT_EQ(window->GetSlot(2)->GetBonus(), 2);
  window->OnKeyDown(13, 0);  // Enter starts as play
  EXPECT_EQ(profile.levels[0][0].state, 5u);
  EXPECT_EQ(profile.saves, 1);
  EXPECT_EQ(profile.selection[0].count, 3u);
  window->OnKeyDown(27, 0);
  EXPECT_EQ(answers, (std::vector<Answer>{{1, 0, 1}, {1, 0, 1}, {0, 0, 0}}));
}

// None owned: no area; 1 to 3: three slots filled from the choice, no
// "select_bonuses"; 4 or more: the button, and the choice's tutorial falls
// due once.
TEST_F(LevelWindowTest, TheBonusAreaFollowsTheBonusesOwned) {
  Open(kLevelWindowFromMap);
  EXPECT_FALSE(window->HasBonusArea());
  EXPECT_EQ(window->GetSlot(0), nullptr);

  profile.owned = 3;
  profile.selection[0] = BONUSSELECTION{1, {2, -1, -1}};
  Open(kLevelWindowFromMap);
  ASSERT_NE(window->GetSlot(2), nullptr);
  EXPECT_EQ(window->GetSlot(0)->GetBonus(), 2);
  EXPECT_TRUE(window->GetSlot(0)->IsEnabled());
  EXPECT_EQ(window->GetSlot(1)->GetBonus(), -1);
  EXPECT_FALSE(window->GetSlot(1)->IsEnabled());
  EXPECT_EQ(window->GetSelectButton(), nullptr);
  EXPECT_TRUE(tutorials.asked.empty());

  profile.owned = 4;
  Open(kLevelWindowFromMap);
  EXPECT_NE(window->GetSelectButton(), nullptr);
  EXPECT_TRUE(profile.HasFlags(kProfileFlagBonusChoice));
  EXPECT_EQ(window->OnCommand(window->GetSelectButton()), 2u);  // the button not kept pressed
  EXPECT_NE(rig.windows.FindWindow(BonusesWindow::kId), nullptr);
  Open(kLevelWindowFromMap);  // the flag is set: not due again
  EXPECT_EQ(tutorials.asked, (std::vector<std::string>{"bonus -1 chain"}));
}

TEST_F(LevelWindowTest, ANewBonusStartsItsTutorialOnceUnlessTutorialsAreOff) {
  profile.owned = 2;
  profile.marker = 1;
  Open(kLevelWindowFromMap);
  Open(kLevelWindowFromMap);
  EXPECT_EQ(tutorials.asked, (std::vector<std::string>{"bonus 1"}));

  profile.owned = 5;
  profile.marker = 4;
  Open(kLevelWindowFromMap);  // marked and due together
  EXPECT_EQ(tutorials.asked.back(), "bonus 4 chain");

  tutorials.asked.clear();
  profile.flags = 0;
  profile.tutorials = false;
  profile.marker = 3;
  Open(kLevelWindowFromMap);
  EXPECT_EQ(profile.marker, -1);
  EXPECT_TRUE(tutorials.asked.empty());
}

// Three tasks share 571 pixels edge to edge; a mode of no task makes none
// (rather than dividing by the count).
TEST_F(LevelWindowTest, TaskButtonsSpanTheWidthAndNoTaskMakesNone) {
  rig.SetTasks(0, {{0, 0, 0, 500}, {4, 0, 0, 2}, {0, 0, 0, 900}});
  rig.Info().points = {POINTDEF{0, 0, 7, 0, {}, 0, 0, 0}, POINTDEF{0, 0, 0, 0, {}, 0, 0, 0}};
  GetResourceServices().screen.width = 800;
  GetResourceServices().screen.height = 600;
  Open(kLevelWindowFromMap);
  const std::vector<TaskButton*>& tasks = window->GetTaskButtons();
  ASSERT_EQ(tasks.size(), 3u);
  EXPECT_EQ(tasks[0]->GetRect().left, 12);
  for (size_t i = 1; i < tasks.size(); ++i) EXPECT_EQ(tasks[i]->GetRect().left, tasks[i - 1]->GetRect().right - 1);
  EXPECT_EQ(tasks[2]->GetRect().right, 12 + 571 + 1);
  EXPECT_EQ(tasks[1]->GetShown(), 1);  // the one garbage spot of the definition
  // Rested on, each card's hint opens under it, wholly inside the window.
  for (TaskButton* card : tasks) {
    ASSERT_TRUE(testsupport::HoversAt(rig.windows, *card));
    GetResourceServices().clock += 1000;
    rig.windows.Update();
    const HintWindow* hint = card->GetHintWindow();
    ASSERT_TRUE(hint && hint->IsShown());
    const DXLRECT& w = window->GetRect();
    const i32 x = static_cast<i32>(hint->GetPosX()), y = static_cast<i32>(hint->GetPosY());
    EXPECT_TRUE(x >= w.left && x + hint->GetWidth() <= w.right && y + hint->GetHeight() <= w.bottom)
        << "at " << x << ", " << y << " beside a window at " << w.left << ", " << w.top;
    EXPECT_EQ(y, testsupport::OnScreen(*window, 0, card->GetRect().bottom).y + card->GetHintMargin());
  }

  profile.regime = 1;
  Open(kLevelWindowFromMap);
  EXPECT_TRUE(window->GetTaskButtons().empty());
}

// Gold first, 110 apart in the map's strip and 105 after the caption area
// in the awards window's, margins shifting them; counts only rebuilt when
// they change; an empty caption removes it.
TEST_F(LevelWindowTest, MedalsPanelCountsAndLaysOutBothVariants) {
  MapMedalsPanel map(2, 3, 0, 0, 0);
  EXPECT_FLOAT_EQ(map.GetMedalX(2), 22.0f);
  EXPECT_FLOAT_EQ(map.GetMedalX(1), 132.0f);
  EXPECT_FLOAT_EQ(map.GetMedalX(0), 242.0f);
  EXPECT_FLOAT_EQ(map.GetMedalY(0), 9.0f);
  i32 w = 0, h = 0;
  map.GetSize(&w, &h);
  EXPECT_EQ(w, 14 + 102 + 4 + 106 + 4 + 102 + 20);
  EXPECT_EQ(h, 48);
  map.Refresh(0);  // no medals: the zeros stay
  EXPECT_EQ(map.GetTextBuilds(), 0u);
  profile.medals[0] = 1;
  profile.medals[2] = 12;
  map.Refresh(0);
  EXPECT_EQ(map.GetCount(2), 12u);
  EXPECT_EQ(map.GetTextBuilds(), 2u);
  map.Refresh(0);
  EXPECT_EQ(map.GetTextBuilds(), 2u);

  MapMedalsPanel awards(0, 0, 0, 0, 1);
  EXPECT_FLOAT_EQ(awards.GetMedalX(2), 200.0f);
  EXPECT_FLOAT_EQ(awards.GetMedalX(0), 410.0f);
  awards.GetSize(&w, &h);
  EXPECT_EQ(w, 16 + 170 + 4 + 101 + 4 + 101 + 4 + 97 + 20);
  EXPECT_LE(12 + w, 545 - 16) << "inside the awards window";
  awards.SetCaption(u"Medals");
  EXPECT_NE(awards.GetCaption(), nullptr);
  awards.SetCaption(u"");
  EXPECT_EQ(awards.GetCaption(), nullptr);
}

}  // namespace
}  // namespace windowstest

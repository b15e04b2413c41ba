// The level panel's game parts: the time bar's segment widths (hand-worked
// in both modes, with segments raised to the least width, and limits that
// would divide by zero), its crosses and its warning loop on the fake audio;
// the bonus buttons' states, fill and line, cursor and commands; the task
// buttons' captions, counts, done sound and cross-fade.
#include <gtest/gtest.h>

#include "../resources/FakeAudioBackend.h"
#include "PanelRig.h"
#include "level/rules/LevelBonuses.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "resources/SoundManager.h"
#include "resources/SoundSettings.h"
#include "resources/SpriteEffect.h"
#include "resources/StandardSounds.h"
#include "windows/BonusButton.h"
#include "windows/GamePanelParts.h"
#include "windows/TaskButton.h"
#include "windows/TimeBar.h"

namespace windowstest {
namespace {

using plat::audio::ChannelState;

TEST(TimeBarSegments, HandWorkedWidthsInBothModesNeverBelowTheLeast) {
  struct Case {
    u32 mode;
    i32 bronze, silver, gold;
    i32 b, s, g;
  } cases[] = {
      // mode 0: bronze 41; the rest 373 shared by gold / silver.
      {0, 180000, 120000, 60000, 41, 186, 187},  // gold nearest(186.5)
      {0, 180000, 120000, 10000, 41, 332, 41},   // gold raised to 41
      {0, 180000, 60000, 60000, 41, 41, 332},    // equal limits: silver keeps 41
      {0, 0, 0, 0, 41, 41, 332},                 // no limits at all
      // mode 1: gold nearest(414 x 0.25), silver ceiling(414 x 0.5), bronze the rest.
      {1, 200000, 150000, 50000, 103, 207, 104},
      // bronze 20 is raised: silver and gold share 373 as 0.55 : 0.4.
      {1, 100000, 95000, 40000, 41, 216, 157},
      // bronze 8 and silver 13 are raised: gold takes 414 - 82.
      {1, 100000, 98000, 95000, 41, 41, 332},
      {1, 60000, 60000, 60000, 41, 41, 332},  // equal limits
      {1, 0, 0, 0, 41, 41, 332},              // zero limits
      {1, 10000, 90000, 5000, 41, 187, 186},  // silver above bronze, taken as bronze: 41 raised
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.mode << " " << c.bronze << " " << c.silver << " " << c.gold);
    const i32 limits[3] = {c.bronze, c.silver, c.gold};
    i32 out[3] = {};
    ComputeTimeBarSegments(c.mode, limits, 414, out);
    EXPECT_EQ(out[0], c.b);
    EXPECT_EQ(out[1], c.s);
    EXPECT_EQ(out[2], c.g);
    EXPECT_EQ(out[0] + out[1] + out[2], 414);
  }
  i32 out[3] = {};
  const i32 limits[3] = {180000, 120000, 60000};
  ComputeTimeBarSegments(1, limits, 50, out);  // a narrow area still gets 123
  EXPECT_EQ(out[0] + out[1] + out[2], 123);
}

// A panel made with the game's parts, over the fake audio with the time
// warning and task sounds.
class Parts : public ::testing::Test {
 protected:
  Parts() {
    EXPECT_TRUE(GetSoundSettings().Init(std::make_unique<soundtest::FakeBackend>(&audio)));
    warning = GetSoundSettings().LoadSample(u"Sounds.dat", u"time_warning", 0, 10, true);
    done = GetSoundSettings().LoadSample(u"Sounds.dat", u"task_done", 10, 10, false);
    GetSoundSettings().standardSounds[kSoundTimeWarning] = warning;
    GetSoundSettings().standardSounds[kSoundTaskDone] = done;
    for (const wchar* name : {u"time_bar", u"red_cross", u"time_bar_gold_icon"}) rig.AddPicture(1, name, 32, 32);
    rig.AddPicture(2, u"ico_garbage", 48, 48);
  }
  ~Parts() override {
    rig.host.DeletePanel();
    GetSoundSettings().Shutdown();
  }
  LevelPanel& Make(i32 regime, std::vector<LEVELTASK> tasks = {}) {
    rig.level.SetTasks(regime, std::move(tasks));
    rig.MakeLevel({MapRig::Garbage(leveltest::kJunk, 100, 300, 300)}, regime);
    return *rig.panel;
  }
  TimeBar& Bar() { return *static_cast<TimeBar*>(rig.panel->GetTimeBar()); }
  // The level's time and its medal, then the bar's update.
  void At(u32 ms, bool animate) {
    LevelRules& rules = *rig.level.rules;
    rules.Clock().SetTime(ms);
    rules.Clock().UpdateMedal(rules.GetRegime(), 0);
    Bar().UpdateTime(animate);
  }
  // The channels started of the warning loop (the one looping sample) or of
  // the task sound, and those of them playing (not held by a paused group).
  u32 Started(u32 sample) const { return Count(sample, false); }
  u32 Playing(u32 sample) const { return Count(sample, true); }
  u32 Count(u32 sample, bool playing) const {
    u32 n = 0;
    for (const auto& [h, c] : audio.channels)
      n += c.plays > 0 && c.loop == (sample == warning) && (!playing || c.state == ChannelState::Playing);
    return n;
  }

  soundtest::FakeAudio audio;
  PanelRig rig;
  u32 warning = 0, done = 0;
};

// Gold at 60 s (the rig's limits 180, 120, 60 s in mode 0): 4 s left starts
// the loop in the level's and the screen's groups; 1 s left keeps it while
// animated and an update without animation stops it; 6 s left none; the
// level's end stops it.
TEST_F(Parts, TimeBarWarnsBeforeTheWatchedLimit) {
  Make(0);
  rig.level.rules->StartPlay();  // the level's sounds held until then
  ASSERT_EQ(GetSoundSettings().manager->GetPausedGroups(), 0u);
  At(54000, true);
  EXPECT_EQ(Bar().GetWarningChannel(), 0u);
  At(56000, true);
  ASSERT_NE(Bar().GetWarningChannel(), 0u);
  EXPECT_EQ(Playing(warning), 1u);
  GetSoundSettings().PauseSounds(kSoundGroupLevel);
  EXPECT_EQ(Playing(warning), 0u);
  GetSoundSettings().ResumeSounds(kSoundGroupLevel);
  GetSoundSettings().PauseSounds(kSoundGroupScreen);
  EXPECT_EQ(Playing(warning), 0u);
  GetSoundSettings().ResumeSounds(kSoundGroupScreen);
  EXPECT_EQ(Playing(warning), 1u);
  At(59000, true);
  EXPECT_NE(Bar().GetWarningChannel(), 0u);
  At(59000, false);
  EXPECT_EQ(Bar().GetWarningChannel(), 0u);
  EXPECT_EQ(Playing(warning), 0u);
  At(59500, true);  // not started again below a second
  EXPECT_EQ(Bar().GetWarningChannel(), 0u);
  // Silver's turn (120 s): 3 s left, then the day is won.
  At(117000, true);
  EXPECT_NE(Bar().GetWarningChannel(), 0u);
  rig.level.rules->Tasks().Win(kResultDelay);
  At(117100, true);
  EXPECT_EQ(Bar().GetWarningChannel(), 0u);
}

// Gold and silver lost in one update both flash their crosses; mode 0
// never crosses bronze. In mode 1 the bronze is crossed once lost, and with
// no medal left to watch no loop runs.
TEST_F(Parts, TimeBarCrossesTheMedalsLost) {
  Make(0);
  EXPECT_EQ(Bar().GetStageSeen(), 6);
  EXPECT_EQ(Bar().GetSegments()[0], 41);
  At(130000, true);
  EXPECT_EQ(Bar().GetStageSeen(), 4);
  EXPECT_TRUE(Bar().IsFlashing(2));
  EXPECT_TRUE(Bar().IsFlashing(1));
  EXPECT_FALSE(Bar().IsFlashing(0));
  At(500000, true);
  EXPECT_FALSE(Bar().IsFlashing(0));
  EXPECT_EQ(Bar().GetWarningChannel(), 0u);
}

TEST_F(Parts, TimeBarCrossesBronzeInModeOneAndWatchesNothingAfter) {
  Make(1);
  At(70000, false);  // not animated: the stage moves on without a flash
  EXPECT_FALSE(Bar().IsFlashing(2));
  At(178000, true);  // bronze watched, 2 s left
  EXPECT_NE(Bar().GetWarningChannel(), 0u);
  At(181000, true);
  EXPECT_EQ(Bar().GetStageSeen(), 3);
  EXPECT_TRUE(Bar().IsFlashing(0));
  EXPECT_EQ(Bar().GetWarningChannel(), 0u);
  At(185000, true);
  EXPECT_EQ(Bar().GetWarningChannel(), 0u);
}

// A bonus button follows its slot: ready, active (raised, with its line),
// recharging (sinking, the fill), ready again (one flash). The hand only
// while ready; a press while recharging does nothing, a ready one uses the
// slot; the panel takes clicks over the buttons above its strip.
TEST_F(Parts, BonusButtonsFollowTheirSlots) {
  LevelPanel& panel = Make(0);
  const float factors[kLevelRateCount] = {1, 1, 1, 1, 1, 1};
  CHOSENBONUSES chosen;
  chosen.count = 1;
  chosen.slots[0] = 2;
  LevelBonuses& bonuses = rig.level.rules->Bonuses();
  bonuses.Charge(chosen, factors);
  panel.CreateBonusButtons();
  EXPECT_EQ(panel.GetBonusButton(0), nullptr);
  auto* button = static_cast<BonusButton*>(panel.GetBonusButton(2));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->GetBonusState(), kBonusNew);
  const i32 x = button->GetRect().left, y = button->GetRect().top;
  EXPECT_EQ(x, (800 - kBonusButtonWidth) / 2);
  EXPECT_EQ(y, -56);

  BONUSSLOT slot;
  slot.available = 1;
  button->UpdateState(slot, true);
  EXPECT_EQ(button->GetBonusState(), kBonusReady);
  EXPECT_FALSE(button->IsFlashing());
  EXPECT_EQ(button->GetCursorId(), kCursorHand);

  slot.active = 1;
  slot.timeLeft = 5000;
  slot.fraction = 0.5f;
  button->UpdateState(slot, true);
  EXPECT_EQ(button->GetBonusState(), kBonusActive);
  EXPECT_EQ(button->GetRect().top, y - 12);
  EXPECT_EQ(button->GetRect().bottom, y + kBonusButtonHeight);
  EXPECT_TRUE(button->IsMoving());
  EXPECT_TRUE(button->IsLinePopping());
  EXPECT_FLOAT_EQ(button->GetLineValue(), 0.5f);
  EXPECT_EQ(button->GetCursorId(), kCursorArrow);

  slot.active = 0;
  slot.timeLeft = 9000;
  button->UpdateState(slot, true);
  EXPECT_EQ(button->GetBonusState(), kBonusRecharging);
  EXPECT_EQ(button->GetRect().top, y);
  EXPECT_TRUE(button->IsMoving());
  EXPECT_FLOAT_EQ(button->GetFillValue(), 0.5f);
  EXPECT_FLOAT_EQ(button->GetFillExact(), 24.0f);
  EXPECT_EQ(button->GetFillRows(), 24);
  EXPECT_EQ(button->GetCursorId(), kCursorArrow);
  slot.fraction = 0.0f;  // charged to the full
  button->UpdateState(slot, false);
  EXPECT_FLOAT_EQ(button->GetFillValue(), 1.0f);
  EXPECT_EQ(button->GetFillRows(), 0);
  slot.fraction = 1.0f;  // just begun
  button->UpdateState(slot, false);
  EXPECT_FLOAT_EQ(button->GetFillValue(), 0.0f);
  EXPECT_EQ(button->GetFillRows(), 0);

  // Recharging: a press does nothing.
  EXPECT_EQ(panel.OnCommand(button), kCommandSilent);
  EXPECT_FALSE(rig.level.rules->IsStarted());
  EXPECT_FALSE(bonuses.IsActive(2));

  slot.timeLeft = 0;
  slot.fraction = 0.0f;
  button->UpdateState(slot, true);
  EXPECT_EQ(button->GetBonusState(), kBonusReady);
  EXPECT_TRUE(button->IsFlashing());
  EXPECT_FLOAT_EQ(button->GetFillValue(), 0.0f);
  EXPECT_EQ(button->GetCursorId(), kCursorHand);

  // Clicks over it reach the panel although it stands above the strip.
  const i32 sx = x + 20, sy = panel.GetRect().top + y + 20;
  EXPECT_TRUE(panel.HitTest(sx, sy));
  EXPECT_FALSE(panel.HitTest(sx + 200, sy));
  BONUSSLOT charged = bonuses.GetSlot(2);
  charged.timeLeft = 0;
  bonuses.RestoreSlot(2, charged);
  EXPECT_EQ(panel.OnCommand(button), 2u);
  EXPECT_TRUE(rig.level.rules->IsStarted());
  EXPECT_TRUE(bonuses.IsActive(2));
}

// The five kinds' captions; a garbage task counting down to done in the
// done colour with its sound once; falling back cross-fades without a
// sound, and a fade still running starts again shortened by its age.
TEST_F(Parts, TaskButtonsCountAndTurnDone) {
  const u32 cake = rig.level.Product(u"cake")->id, wheat = rig.level.Product(u"wheat")->id;
  LevelPanel& panel = Make(0, {{4, 0, 0, 5}, {1, cake, 0, 10}, {0, 0, 0, 900}});
  const LEVELTASK kinds[] = {{0, 0, 0, 1}, {1, cake, 0, 1}, {1, wheat, 0, 1}, {2, 0, 2, 1}, {3, 0, 2, 1}, {4, 0, 0, 1}};
  std::vector<std::u16string> keys;
  for (const LEVELTASK& t : kinds) keys.push_back(TaskButton::CaptionKey(t));
  EXPECT_EQ(keys, (std::vector<std::u16string>{u"money", u"produce", u"collect", u"plant", u"build", u"garbage"}));

  ASSERT_EQ(panel.GetTaskCount(), 3u);
  auto* garbage = static_cast<TaskButton*>(panel.GetTaskButton(0));
  auto* product = static_cast<TaskButton*>(panel.GetTaskButton(1));
  auto* money = static_cast<TaskButton*>(panel.GetTaskButton(2));
  EXPECT_EQ(garbage->GetRect().left, 4);
  EXPECT_EQ(garbage->GetRect().bottom - garbage->GetRect().top, kTaskButtonHeight);
  EXPECT_NE(garbage->GetIcon(), nullptr);
  EXPECT_EQ(product->GetCountText(), u"0/10");
  EXPECT_EQ(money->GetCountText(), u"300");  // the money; its target stands apart
  EXPECT_FLOAT_EQ(money->GetIconY(), 42.0f);
  EXPECT_FLOAT_EQ(garbage->GetIconY(), 49.0f);

  GetGameServices().clock = 1000;
  garbage->SetProgress(2, true);
  EXPECT_EQ(garbage->GetCountText(), u"3");
  EXPECT_FALSE(garbage->IsDone());
  garbage->SetProgress(5, true);
  EXPECT_EQ(garbage->GetCountText(), u"<c=80ff80>0</c>");
  EXPECT_TRUE(garbage->IsDone());
  EXPECT_NE(garbage->GetFade(), nullptr);
  EXPECT_EQ(garbage->GetFadeLength(), 200u);
  garbage->SetProgress(5, true);
  EXPECT_EQ(Started(done), 1u);
  GetGameServices().clock = 1050;
  garbage->SetProgress(4, true);  // back below the target
  EXPECT_EQ(garbage->GetCountText(), u"1");
  EXPECT_FALSE(garbage->IsDone());
  EXPECT_EQ(garbage->GetFadeLength(), 150u);
  EXPECT_EQ(Started(done), 1u);
  garbage->SetProgress(3, false);  // without animation the fade goes
  EXPECT_EQ(garbage->GetFade(), nullptr);

  // The static form shows the target.
  TaskButton shown(&panel, 1, rig.level.rules->Tasks().GetTask(1), true);
  shown.SetProgress(0, false);
  EXPECT_EQ(shown.GetCountText(), u"10");
}

}  // namespace
}  // namespace windowstest

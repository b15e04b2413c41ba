// The level panel's game parts: the time bar's segment widths (hand-worked
// in both modes, with segments raised to the least width, and limits that
// would divide by zero), its crosses and its warning loop on the fake audio;
// the bonus buttons' states, fill and line, cursor and commands; the task
// buttons' captions, counts, done sound and cross-fade.
#include <gtest/gtest.h>

#include "../resources/FakeAudioBackend.h"
#include "PanelRig.h"
#include "content/GameBonuses.h"
#include "level/rules/LevelBonuses.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "platform/gfx/GfxRecordingDevice.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/SoundManager.h"
#include "resources/SoundSettings.h"
#include "resources/SpriteEffect.h"
#include "resources/StandardSounds.h"
#include "hud/HudPieces.h"
#include "engine/DXLTexture.h"
#include "resources/Sprite.h"
#include "resources/GameDraw.h"
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
  // Drawn with the gold icon's middle at (100, 74), the bar's top at 60:
  // the icon in its own effect's colour (its picture tinted by it, as the
  // built data's are).
  DXLTexture* gold = FindHudSprite(u"time_bar_gold_icon")->GetTexture();
  gold->SetTextureOp(plat::gfx::D3DTOP_MODULATE);
  gold->SetBlendMode(kBlendAlpha);
  TimeBar& bar = Bar();
  const auto shoot = [&] { rig.Shot(100.0f - bar.GetX() - bar.GetIconX(2), 65.0f, [&] { bar.Draw(); }); };
  const auto at = [&](float alpha) {
    DeleteSpriteEffects(bar.IconEffects(2));
    if (alpha >= 0.0f) AttachSpriteEffect(bar.IconEffects(2), new SEffect_Alpha(alpha, alpha, 100000, true, 0));
    shoot();
    return rig.Pixel(100, 74);
  };
  const u32 full = at(-1.0f), under = at(0.0f), half = at(0.5f);
  EXPECT_NE(full, under);
  for (u32 shift : {0u, 8u, 16u})
    EXPECT_NEAR((half >> shift) & 0xFF, (((full >> shift) & 0xFF) + ((under >> shift) & 0xFF)) / 2, 2) << shift;
  DeleteSpriteEffects(bar.IconEffects(2));
  EXPECT_EQ(bar.GetClip().top, 60);
  At(130000, true);
  EXPECT_EQ(Bar().GetStageSeen(), 4);
  EXPECT_TRUE(Bar().IsFlashing(2));
  EXPECT_TRUE(Bar().IsFlashing(1));
  EXPECT_FALSE(Bar().IsFlashing(0));
  // The gold cross flashes in at three times its size: cut at the bar's top.
  shoot();
  EXPECT_EQ(rig.Pixel(100, 56), 0xFF000000u);
  EXPECT_NE(rig.Pixel(100, 62), 0xFF000000u);
  At(178000, true);  // 2 s before bronze's limit: mode 0 does not watch it
  EXPECT_EQ(Bar().GetWarningChannel(), 0u);
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
  EXPECT_EQ(button->GetData(), reinterpret_cast<uintptr_t>(&GetGameBonuses()->Get(2)));  // its bonus record
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
  // Nothing of the fill is built yet: the button shows its normal frame
  // (frame 1 of the sheet's bonus piece), not the empty one (frame 5).
  const auto shoot = [&] {
    rig.Shot(static_cast<float>(10 - button->GetRect().left), static_cast<float>(10 - button->GetRect().top),
             [&] { button->Draw(); });
  };
  shoot();                         // the sinking move starts with the first frame
  GetResourceServices().clock += 500;  // and has ended now
  shoot();
  EXPECT_EQ(rig.Pixel(10 + 3, 10 + 3), 0xFF000000u | (457u + 3) % 256 << 16 | (187u + 50 + 3) % 256 << 8 | 1u);
  // A quarter charged: the edge at row 13.5, row 13 half the charged face's,
  // half the empty one's (the sheet blended as the built data's is).
  rig.sheet->GetTexture()->SetTextureOp(plat::gfx::D3DTOP_MODULATE);
  rig.sheet->GetTexture()->SetBlendMode(kBlendAlpha);
  slot.fraction = 0.75f;
  button->UpdateState(slot, false);
  shoot();
  EXPECT_NEAR(rig.Pixel(10 + 3, 10 + 13) >> 8 & 0xFF, ((187u + 13) + (187u + 250 + 13) % 256) / 2.0, 1.0);

  // Recharging: a click does nothing.
  rig.Click(button);
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
  rig.Click(button);
  EXPECT_TRUE(rig.level.rules->IsStarted());
  EXPECT_TRUE(bonuses.IsActive(2));
  // Deleted, it leaves its slot (the panel's teardown finds nothing to delete twice).
  delete button;
  EXPECT_EQ(panel.GetBonusButton(2), nullptr);
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

  GetResourceServices().clock = 1000;
  garbage->SetProgress(2, true);
  EXPECT_EQ(garbage->GetCountText(), u"3");
  EXPECT_FALSE(garbage->IsDone());
  garbage->SetProgress(5, true);
  EXPECT_EQ(garbage->GetCountText(), u"<c=80ff80>0</c>");
  EXPECT_TRUE(garbage->IsDone());
  EXPECT_NE(garbage->GetFade(), nullptr);
  EXPECT_EQ(garbage->GetFadeLength(), 200u);
  {
    // The cross-fade passes the stencil of the face under it: where the
    // done face (here with a transparent left cap) shows nothing, the
    // fading look leaves the background; over its opaque middle it shows.
    DXLTexture* sheet = rig.sheet->GetTexture();
    sheet->SetTextureOp(plat::gfx::D3DTOP_MODULATE);
    sheet->SetBlendMode(kBlendAlpha);
    u8* bits = sheet->Lock(0);
    ASSERT_NE(bits, nullptr);
    for (i32 y = 135; y < 135 + 108; ++y)
      for (i32 x = 395; x < 395 + 4; ++x) bits[static_cast<size_t>(y) * sheet->GetLockPitch() + x * 4 + 3] = 0;
    sheet->Unlock();
    rig.Shot(static_cast<float>(10 - garbage->GetRect().left), static_cast<float>(10 - garbage->GetRect().top),
             [&] { garbage->Draw(); });
    EXPECT_EQ(rig.Pixel(10 + 1, 10 + 50), 0xFF000000u);
    EXPECT_EQ(rig.Pixel(10 + 20, 10 + 60) >> 8 & 0xFF, (135u + 60) % 256) << "the fading look's own rows";
  }
  garbage->SetProgress(5, true);
  EXPECT_EQ(Started(done), 1u);
  GetResourceServices().clock = 1050;
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

  // A plant task's button draws its face, its icon, then its level mark.
  rig.level.LoadKinds({{u"wheat", 4, true}}, {});
  Sprite* wheatIcon = rig.level.MakeIcon(u"wheat_task_icon", 2, 2);
  rig.level.kinds.Plant(u"wheat")->icon = wheatIcon;
  const LEVELTASK beds{kTaskPlantBeds, kis::NameId(u"wheat"), 2, 1};
  TaskButton plant(&panel, 0, &beds, true);
  plant.Place(0, 0, 80);
  ASSERT_TRUE(plant.HasLevelMark());
  plat::gfx::CallLog& calls = rig.art.calls;
  calls.Clear();
  rig.Shot(10.0f, 10.0f, [&] { plant.Draw(); });
  const int iconId = calls.TextureId(wheatIcon->GetTexture()->GetD3DTexture());
  const int sheetId = calls.TextureId(rig.sheet->GetTexture()->GetD3DTexture());
  std::vector<int> order;
  for (const auto& p : calls.Primitives())
    if ((p.texture == iconId || p.texture == sheetId) && (order.empty() || order.back() != p.texture))
      order.push_back(p.texture);
  EXPECT_EQ(order, (std::vector<int>{sheetId, iconId, sheetId}));
}

}  // namespace
}  // namespace windowstest

// The level scene on the scenario data set's first level (the garbage yard:
// three junk heaps, butterflies, its ground): the staged loading
// with its progress, the start by a click, the player walking to a clicked
// free place, losing on time in hard mode, a window's lock holding the clock
// and the ticks, the draw order read back from the frame, the heaps'
// particles, the right click on a job's icon, the hover following the
// game's pointer frame by frame, the tutorial's hold on the waves and the
// selected place's pulsing marker.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "content/ContentArchive.h"
#include "content/ContentServices.h"
#include "content/GameCharacter.h"
#include "content/LevelInfo.h"
#include "content/PlantTable.h"
#include "level/rules/LevelClock.h"
#include "level/scene/LevelServices.h"
#include "resources/ProgressTracker.h"
#include "level/scene/PlayerCast.h"
#include "resources/GameAnimation.h"
#include "level/map/EmptyLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointMaker.h"
#include "level/map/ParticlesObject.h"
#include "level/characters/Job.h"
#include "level/rules/LevelRules.h"
#include "level/characters/MapPlayer.h"
#include "level/rules/LevelTasks.h"
#include "base/Strings.h"
#include "content/GameBonuses.h"
#include "resources/MapSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "resources/GPSSpace.h"
#include "resources/TutorialHooks.h"
#include "testsupport/LevelHarness.h"
#include "hud/ASSPriceButton.h"
#include "hud/SSColorIcon.h"
#include "ui/GameDigitalText.h"
#include "hud/ScreenSpriteList.h"
#include "ui/WindowManager.h"
#include "resources/GameDraw.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"

namespace {

using leveltest::LevelHarness;

// A screen sprite made on the running level's head-up display that counts
// the list's updates and, given a texture, draws an opaque 16-pixel square
// of it about its anchor.
class ProbeSprite : public ScreenSprite {
 public:
  ProbeSprite(i32 x, i32 y) : ScreenSprite(x, y) { Show(true, 0, 0, 0); }
  void Update() override { ++updates; }
  void DrawContent() override {
    if (!square) return;
    GetGameViewer()->ApplyTransform(nullptr);  // the level's view moved to the anchor
    BindDrawTexture(square);
    DXLQUAD q;
    const float xs[4] = {-8, 8, 8, -8}, ys[4] = {-8, -8, 8, 8};
    const float us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
    for (u32 i = 0; i < 4; ++i) q.v[i] = DXLVERTEX{xs[i], ys[i], 0.0f, 0xFFFFFFFFu, us[i], vs[i]};
    DrawQuad(&q);
  }
  DXLTexture* square = nullptr;
  u32 updates = 0;  // one a tick of the game's time step
};

struct Reports {
  static inline std::vector<float> fractions;
  static bool Yield(float f) {
    fractions.push_back(f);
    return true;
  }
};

// A level made before the game world's tables stage has installed the
// level table is a fault of the set-up: the test build stops, naming it.
TEST(LevelScene, ALevelMadeBeforeTheTablesStageStopsTheTestBuild) {
#ifndef NDEBUG
  EXPECT_DEATH(
      {
        ResetContentServices();
        GameLevel(0, LevelSetup{}, GameLevelHooks{});
      },
      "missing the level table");
#endif
}

// Every stage yields after each of its items and the weighted progress
// rises to its whole: every ground placement, no decorations, plants,
// buildings or intro, the villain marks, six bonuses; a Load after the end
// does nothing.
TEST(LevelScene, LoadsInStagesYieldingPerItem) {
  LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  GameLevel& level = h.Make(0);
  const LEVELINFO* info = level.GetInfo();
  ASSERT_NE(info, nullptr);
  const u32 n = static_cast<u32>(info->ground.size());
  ASSERT_GT(n, 2u);
  EXPECT_EQ(level.GetLoadStage(), kLoadStart);

  Reports::fractions.clear();
  GetResourceServices().loadingProgress = &Reports::Yield;
  std::vector<float> fractions;  // the level's tracker after each call
  std::vector<u32> stages;
  u32 lastDone = 0, total = 0;
  const u32 calls = h.LoadAll([&] {
    stages.push_back(level.GetLoadStage());
    if (const ProgressTracker* p = level.GetLoadProgress()) {
      EXPECT_EQ(GetResourceServices().progress, p) << "published while loading";
      fractions.push_back(p->GetFraction());
      EXPECT_GE(p->GetDoneWeight(), lastDone);
      lastDone = p->GetDoneWeight();
      total = p->GetTotalWeight();
    }
  });
  GetResourceServices().loadingProgress = nullptr;

  // The characters' descriptions were prepared by the start-up loading: no
  // call waits for them.
  const auto firstStage = std::find_if(stages.begin(), stages.end(), [](u32 s) { return s != kLoadStart; });
  const u32 descriptionCalls = static_cast<u32>(firstStage - stages.begin());
  EXPECT_EQ(descriptionCalls, 0u);
  stages.erase(stages.begin(), firstStage);

  // The first call after them starts and takes the first placement; each call after
  // it one more; the last ends the ground stage.
  u32 ground = 0;
  for (u32 s : stages) ground += s == kLoadGround ? 1 : 0;
  EXPECT_EQ(ground, n - 1);
  const std::vector<u32> tail(stages.begin() + (n - 1), stages.end());
  const std::vector<u32> expected = {kLoadDecorations, kLoadPlants, kLoadBuildings, kLoadIntro, kLoadVillainMarks,
                                     kLoadBonuses, kLoadBonuses, kLoadBonuses, kLoadBonuses, kLoadBonuses,
                                     kLoadBonuses, kLoadFinishing, kLoadDone};
  EXPECT_EQ(tail, expected);
  EXPECT_EQ(calls, descriptionCalls + stages.size());
  EXPECT_EQ(total, 450u);
  EXPECT_EQ(lastDone, 450u);  // every step done before the tracker goes
  EXPECT_EQ(level.GetLoadProgress(), nullptr);
  EXPECT_EQ(GetResourceServices().progress, nullptr);
  ASSERT_GT(fractions.size(), n);
  for (size_t i = 1; i < fractions.size(); ++i) EXPECT_GE(fractions[i], fractions[i - 1]);
  EXPECT_NEAR(fractions[descriptionCalls + n - 1], 100.0f / 450.0f, 1e-5f);  // the ground done, the decorations begun
  ASSERT_FALSE(Reports::fractions.empty());  // the stages' own fractions
  EXPECT_FLOAT_EQ(Reports::fractions.back(), 1.0f);
  EXPECT_TRUE(level.IsLoaded());
  level.Load();
  EXPECT_EQ(level.GetLoadStage(), kLoadDone);
}

// The animations a level holds: every description's, and how often each
// was initialised.
std::vector<i32> DescriptionCounts() {
  std::vector<i32> counts;
  const kis::list<GameCharacter*>& all = GetCharacters();
  for (i32 c = 0; c < all.GetCount(); ++c) {
    counts.push_back(all[c]->GetInitCount());
    for (i32 s = 0; s < all[c]->GetSkinCount(); ++s)
      for (i32 i = 0; i < all[c]->GetSkinSize(s); ++i) counts.push_back(all[c]->GetEntry(s, i)->GetInitCount());
  }
  return counts;
}

// The start-up loading prepared every description; a level loaded a step
// a call, a frame of the loading screen after each, holds what a level
// loaded without frames holds: the same descriptions and animations, each
// initialised as often as the start-up left it, and the same first frame
// once started.
TEST(LevelScene, LoadingWithAFrameAfterEveryCallEqualsLoadingAtOnce) {
  std::vector<i32> counts[2];
  std::vector<u32> frames[2];
  for (int stepped = 0; stepped < 2; ++stepped) {
    LevelHarness h(leveltest::ScenarioDataFolder(), 320, 240);
    ASSERT_TRUE(h.loaded);
    h.Make(0);
    const std::vector<i32> prepared = DescriptionCounts();
    for (i32 n : prepared) EXPECT_GT(n, 0);
    h.LoadAll([&] {
      if (!stepped) return;
      ASSERT_EQ(h.rig.viewer->BeginFrame(), 0);
      h.rig.viewer->Clear(0xFF203040u);
      ASSERT_EQ(h.rig.viewer->Present(), 0);
    });
    counts[stepped] = DescriptionCounts();
    EXPECT_EQ(counts[stepped], prepared);
    h.Enter();
    h.Start();
    h.DrawFrame();
    frames[stepped] = h.Frame();
  }
  EXPECT_EQ(counts[1], counts[0]);
  EXPECT_GT(std::count(counts[1].begin(), counts[1].end(), 1), 4);
  EXPECT_EQ(frames[1], frames[0]);
}

// After its plants a level's loading gives back the plant kinds an earlier
// level held and this one does not use (beta, after the mill's level 2);
// the kinds it uses again (wheat) keep what they hold.
TEST(LevelScene, ThePlantStageGivesBackWhatOnlyEarlierLevelsUsed) {
  LevelHarness h(leveltest::ScenarioDataFolder(), 320, 240);
  ASSERT_TRUE(h.loaded);
  PLANT* wheat = FindPlantByName(u"wheat");
  PLANT* beta = FindPlantByName(u"beta");
  ASSERT_TRUE(wheat && beta && wheat->icon && beta->icon && beta->crop);
  h.Make(1);  // wheat, beta and the apple tree
  h.LoadAll();
  EXPECT_EQ(beta->useCount, 1);
  EXPECT_TRUE(beta->icon->IsLoaded());
  const i32 betaIcon = beta->icon->GetInitCount(), betaCrop = beta->crop->GetInitCount();
  const i32 wheatIcon = wheat->icon->GetInitCount();
  h.Make(3);  // wheat alone
  h.LoadAll();
  EXPECT_EQ(beta->useCount, 0);
  EXPECT_EQ(beta->icon->GetInitCount(), betaIcon - 1);
  EXPECT_EQ(beta->crop->GetInitCount(), betaCrop - 1);
  EXPECT_EQ(wheat->useCount, 2);
  EXPECT_EQ(wheat->icon->GetInitCount(), wheatIcon);
  h.Make(1);  // beta again: its pictures come back
  h.LoadAll();
  EXPECT_EQ(beta->useCount, 1);
  EXPECT_EQ(beta->icon->GetInitCount(), betaIcon);
}

}  // namespace

namespace {

constexpr i32 kStartX = 640, kStartY = 470;  // the yard's player start

float Distance(const DynObject* o, float x, float y) { return std::hypot(o->GetX() - x, o->GetY() - y); }
MapPlayer* PlayerOf(GameLevel& level) { return static_cast<MapPlayer*>(level.GetPlayer()); }
i32 Jobs(GameLevel& level) { return PlayerOf(level) ? PlayerOf(level)->GetJobs().GetCount() : -1; }

// Before play a click only starts the level (the clock stood still till
// then); a click on free ground inside the play area sends the player
// walking there (a Job_GoTo); a click on a place selects it instead, and
// the next click on free ground deselects it and walks; outside the play
// area nothing walks; a right click cancels the queued walk where she
// stands. A slow frame counts whole on the level clock while the world
// moves only 200 ms of it.
TEST(LevelScene, StartsByClickAndWalksToClickedPlace) {
  LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  GameLevel& level = h.Make(0);
  h.LoadAll();
  h.Enter();
  EXPECT_TRUE(h.windows.Saw("no saved state"));
  MapPlayer* player = PlayerOf(level);
  ASSERT_NE(player, nullptr);
  EXPECT_FLOAT_EQ(player->GetX(), kStartX);
  EXPECT_FLOAT_EQ(player->GetY(), kStartY);
  EXPECT_EQ(level.Map().GetPointCount(), 3);
  LevelClock& clock = level.Rules().Clock();

  h.Step(500);
  EXPECT_EQ(clock.GetTime(), 0u);  // the start lock holds it
  h.ClickMap(420, 600);
  EXPECT_TRUE(level.IsStarted());
  EXPECT_TRUE(h.windows.Saw("time bar starts"));
  EXPECT_EQ(Jobs(level), 0);  // the click only started the level
  h.Step(500);
  EXPECT_EQ(clock.GetTime(), 500u);
  EXPECT_FLOAT_EQ(player->GetX(), kStartX);

  h.ClickMap(420, 600);
  ASSERT_EQ(Jobs(level), 1);
  EXPECT_EQ(player->GetJobs()[0]->GetJobId(), kJobGoTo);
  h.Step(500);
  const float part = Distance(player, kStartX, kStartY);
  EXPECT_GT(part, 20.0f);
  EXPECT_LT(Distance(player, 420, 600), Distance(player, kStartX, kStartY) + 256.0f - part);
  h.Step(5000);
  EXPECT_LT(Distance(player, 420, 600), 2.0f);
  EXPECT_EQ(Jobs(level), 0);

  // A place: selected, nobody walks; then free ground: deselected and walked to.
  const POINTDEF& junk = level.GetInfo()->points[0];
  h.ClickMap(junk.x + 10, junk.y + 5);
  EXPECT_EQ(level.Map().GetSelectedPoint(), 0);
  EXPECT_EQ(Jobs(level), 0);
  h.ClickMap(600, 420);
  EXPECT_EQ(level.Map().GetSelectedPoint(), -1);
  EXPECT_EQ(Jobs(level), 1);
  // Outside the play area (x below 144, y at or past 664): no walk.
  h.ClickMap(100, 420);
  h.ClickMap(600, 670);
  EXPECT_EQ(Jobs(level), 1);
  // A right click cancels the walk where she stands.
  h.Step(300);
  h.ClickMap(590, 430, kMouseRight);
  h.Step(100);
  EXPECT_EQ(Jobs(level), 0);
  const float stoodX = player->GetX(), stoodY = player->GetY();
  EXPECT_GT(Distance(player, 600, 420), 20.0f);
  h.Step(500);
  EXPECT_EQ(player->GetX(), stoodX);
  EXPECT_EQ(player->GetY(), stoodY);

  // One frame of a whole second: the clock takes 1000 ms, the world only
  // the 200 ms that ten frames of 20 ms move her.
  h.ClickMap(1000, 420);
  h.Step(400);
  float x = player->GetX(), y = player->GetY();
  h.Step(200);
  const float normal = Distance(player, x, y);
  x = player->GetX(), y = player->GetY();
  const u32 before = clock.GetTime();
  h.Step(1000, 1000);
  EXPECT_EQ(clock.GetTime(), before + 1000);
  EXPECT_NEAR(Distance(player, x, y), normal, 1.5f);
  EXPECT_GT(normal, 10.0f);
  EXPECT_EQ(clock.GetCarry(), 0u);
}

// A new day starts the tutorial's first step before the intro window
// opens, so the window stands over what the step shows. Before the start a
// double click is the level's as well: on free ground it queues the walk
// there, which waits for the start.
struct FirstStepTutorial : TutorialHooks {
  bool AllowAction(u32, uintptr_t, const void*) override { return true; }
  void Notify(u32, uintptr_t, const void*) override {}
  void StartFirstStep() override {
    if (windows) windows->Say("first step");
  }
  leveltest::FakeLevelWindows* windows = nullptr;
};

TEST(LevelScene, ANewDaysFirstStepIntroAndADoubleClickBeforeTheStart) {
  FirstStepTutorial tutorial;  // outlives the level
  LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  h.Levels().Get(0).intro.push_back(INFOENTRY{});
  tutorial.windows = &h.windows;
  GetResourceServices().tutorial = &tutorial;
  GameLevel& level = h.Make(0);
  h.LoadAll();
  h.Enter();
  const std::vector<std::string>& log = h.windows.log;
  const auto at = [&](const char* what) { return std::find(log.begin(), log.end(), what) - log.begin(); };
  ASSERT_LT(at("intro"), static_cast<std::ptrdiff_t>(log.size()));
  EXPECT_LT(at("bonus buttons"), at("first step"));
  EXPECT_LT(at("first step"), at("intro"));
  GetResourceServices().tutorial = nullptr;

  i32 x = 420, y = 600;
  h.MapToScreen(&x, &y);
  level.Input().OnMouseMove(x, y, 0, 0);
  level.Input().OnDoubleClick(x, y, 0);
  EXPECT_FALSE(level.IsStarted());
  ASSERT_EQ(Jobs(level), 1);
  h.Step(500);
  EXPECT_FLOAT_EQ(PlayerOf(level)->GetX(), kStartX);
  h.Start();
  h.Step(6000);
  EXPECT_LT(Distance(level.GetPlayer(), 420, 600), 2.0f);
}

// In hard mode the clock past the bronze limit loses the level a second
// later (the lose dialog, whose answers restart or leave); in easy mode the
// same wait never loses.
TEST(LevelScene, HardModeIdlingPastBronzeLoses) {
  LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  for (i32 regime = 0; regime < 2; ++regime) {
    LevelSetup setup;
    setup.regime = regime;
    GameLevel& level = h.Play(0, setup);
    const i32 bronze = level.GetInfo()->regimes[regime].bronze;
    ASSERT_GT(bronze, 0);
    h.Step(static_cast<u32>(bronze), 100);
    EXPECT_EQ(level.Rules().Clock().GetMedal(), kGradeBronze);
    EXPECT_EQ(level.Rules().Tasks().GetResult(), kResultNone);
    h.windows.log.clear();
    h.Step(900, 100);
    EXPECT_EQ(h.world.Windows()->GetDialog(), nullptr);
    h.Step(300, 100);
    if (regime == 1) {
      EXPECT_EQ(level.Rules().Tasks().GetResult(), kResultLost);
      ASSERT_NE(h.world.Windows()->GetDialog(), nullptr);
      EXPECT_TRUE(h.world.Windows()->GetDialog()->GetCaptionKey() == u"game_over");
      EXPECT_EQ(h.world.Windows()->GetDialog(), level.Rules().Tasks().GetLoseDialog());
      const u32 stopped = level.Rules().Clock().GetTime();
      h.Step(500, 100);
      EXPECT_EQ(level.Rules().Clock().GetTime(), stopped);  // a result stops the clock
      // The dialog's answers: a restart offers the level window; any other
      // goes back to the map (no comic after level 1) and holds the level.
      EXPECT_TRUE(level.OnLoseAnswer(0x40000001u));
      EXPECT_TRUE(h.windows.Saw("restart offered"));
      EXPECT_TRUE(level.OnLoseAnswer(0x40000002u));
      EXPECT_TRUE(h.windows.Saw("to map, comic 0"));
      EXPECT_TRUE(level.Rules().Locks().GetMask() & kLockExit);
    } else {
      EXPECT_EQ(level.Rules().Clock().GetMedal(), kGradeBronze);
      EXPECT_EQ(level.Rules().Tasks().GetResult(), kResultNone);
    }
  }
}

// Two windows open hold the clock, the ticks (the player stands), the time
// bar and the screen sprites; one closing keeps them held, the second
// releases them; the tutorial's lock holds only the clock and the world.
// Leaving a started level without a result saves it; with a win pending,
// the win is recorded instead.
TEST(LevelScene, WindowLockFreezesClockAndTicks) {
  LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  GameLevel& level = h.Play(0);
  h.ClickMap(300, 600);
  h.Step(400);
  MapPlayer* player = PlayerOf(level);
  ASSERT_NE(player, nullptr);
  auto* probe = new ProbeSprite(0, 0);  // the level's list deletes it when the level leaves
  const u32 clock = level.Rules().Clock().GetTime(), bar = h.windows.timeBar, sprites = probe->updates * 10;
  const float x = player->GetX();
  ASSERT_EQ(clock, 400u);
  level.Screen().OnWindowOpened(0x57696E31u);
  level.Screen().OnWindowOpened(0x57696E32u);
  h.Step(500);
  level.Screen().OnWindowClosed(0x57696E31u);
  h.Step(500);
  EXPECT_EQ(level.Rules().Clock().GetTime(), clock);
  EXPECT_EQ(player->GetX(), x);
  EXPECT_EQ(h.windows.timeBar, bar);
  EXPECT_EQ(probe->updates * 10, sprites);
  level.Screen().OnWindowClosed(0x57696E32u);
  h.Step(500);
  EXPECT_EQ(level.Rules().Clock().GetTime(), clock + 500);
  EXPECT_NE(player->GetX(), x);
  EXPECT_EQ(h.windows.timeBar, bar + 500);
  EXPECT_EQ(probe->updates * 10, sprites + 500);
  // The tutorial's lock holds the clock and the world but not the time bar
  // or the screen sprites.
  const float x2 = player->GetX();
  level.Rules().Locks().Lock(kLockTutorial);
  h.Step(500);
  EXPECT_EQ(level.Rules().Clock().GetTime(), clock + 500);
  EXPECT_EQ(player->GetX(), x2);
  EXPECT_EQ(h.windows.timeBar, bar + 1000);
  EXPECT_EQ(probe->updates * 10, sprites + 1000);
  level.Rules().Locks().Unlock(kLockTutorial);
  level.Leave();
  EXPECT_TRUE(h.windows.Saw("saved"));
  EXPECT_EQ(level.Map().GetPointCount(), 0);
  EXPECT_EQ(level.Ground().GetTileCount(), 0u);

  // Entered again and left with a win pending: recorded at once, not saved.
  h.windows.log.clear();
  level.Enter();
  h.Start();
  h.Step(300);
  level.Rules().Tasks().Win(1000);
  h.Step(500);
  level.Leave();
  EXPECT_TRUE(h.windows.Saw("recorded 0 at 300"));
  EXPECT_FALSE(h.windows.Saw("saved"));
  EXPECT_EQ(level.Rules().Tasks().GetResultShown(), kResultWon);
}

// The frame read back: the level's particles (the butterflies) change
// pixels of the ground they fly over, a screen sprite drawn there covers
// them, and the rain bonus's overlay falls over the view but under it.
TEST(LevelScene, DrawsParticlesAboveGroundAndScreenSpritesAboveBoth) {
  LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  h.Levels().Get(0).chargeFactors[kBonusRain] = 0.0f;
  LevelSetup setup;
  setup.chosen.count = 1;
  setup.chosen.slots[0] = kBonusRain;
  setup.ownedBonuses = 1u << kBonusRain;
  GameLevel& level = h.Play(0, setup);
  const LEVELVIEW& view = level.Rules().View().Get();
  EXPECT_NEAR(view.scale, 500.0f / 720.0f, 1e-6f);
  h.ClickMap(700, 420);
  const POINTDEF& scrap = level.GetInfo()->points[1];
  h.ClickMap(scrap.x, scrap.y + 10);
  ASSERT_EQ(level.Map().GetSelectedPoint(), 1);
  h.ClickMap(scrap.x + 20, scrap.y);  // the place's own ellipse: it stays selected
  EXPECT_EQ(level.Map().GetSelectedPoint(), 1);
  const POINTDEF& stones = level.GetInfo()->points[2];
  i32 sx = stones.x, sy = stones.y;
  h.MapToScreen(&sx, &sy);
  level.Input().OnMouseMove(sx, sy, 0, 0);  // the stones hovered
  h.Step(1500, 20, true);
  EXPECT_EQ(level.Map().GetHoveredPoint(), 2);
  const std::vector<u32> withParticles = h.Frame();
  for (u32 y = 0; y < 500; y += 50)
    for (u32 x = 0; x < 800; x += 50) EXPECT_NE(withParticles[y * 800 + x], 0xFF000000u) << x << "," << y;

  ASSERT_NE(level.GetParticleSpace(), nullptr);
  ASSERT_GT(level.GetParticleSpace()->GetParticleCount(), 0u);
  level.GetParticleSpace()->ClearParticles();
  h.DrawFrame();
  const std::vector<u32> without = h.Frame();
  // A changed pixel away from the head-up display's own sprites (the price
  // buttons), which would draw over the square.
  const auto underHud = [&](i32 x, i32 y) {
    const kis::list<ScreenSprite*>& all = level.Screen().GetScreenSprites()->Sprites();
    for (i32 i = 0; i < all.GetCount(); ++i) {
      DXLRECT r;
      all[i]->GetScreenRect(&r);
      if (x >= r.left - 8 && x < r.right + 8 && y >= r.top - 8 && y < r.bottom + 8) return true;
    }
    return false;
  };
  i32 px = -1, py = -1, changed = 0;
  for (u32 y = 0; y < 500; ++y)
    for (u32 x = 0; x < 800; ++x)
      if (withParticles[y * 800 + x] != without[y * 800 + x]) {
        ++changed;
        if (px < 0 && !underHud(static_cast<i32>(x), static_cast<i32>(y))) px = static_cast<i32>(x), py = static_cast<i32>(y);
      }
  ASSERT_GE(px, 0);
  ASSERT_GT(changed, 0);
  EXPECT_NE(without[py * 800 + px], 0xFF000000u);  // ground under the particle

  // The square over that pixel, drawn after the particles would be.
  i32 mx = px, my = py;
  level.Rules().View().ScreenToMap(&mx, &my);
  auto* probe = new ProbeSprite(mx, my);
  probe->square = h.SolidTexture(0xFFFF00FFu);
  h.DrawFrame();
  EXPECT_EQ(h.Pixel(static_cast<u32>(px), static_cast<u32>(py)), 0xFFFF00FFu);

  // The rain, faded in, over the whole view but under the screen sprites.
  ASSERT_TRUE(level.Rules().Bonuses().UseBonus(kBonusRain));
  h.Step(600);
  h.DrawFrame();
  const std::vector<u32> rain = h.Frame();
  EXPECT_EQ(h.Pixel(static_cast<u32>(px), static_cast<u32>(py)), 0xFFFF00FFu);
  level.Rules().Bonuses().GetRain().Stop();
  h.DrawFrame();
  const std::vector<u32> dry = h.Frame();
  // Streaks in every quarter of the view (520 rows above the panel's strip).
  i32 wet[4] = {};
  for (u32 y = 0; y < 600; ++y)
    for (u32 x = 0; x < 800; ++x)
      if (rain[y * 800 + x] != dry[y * 800 + x]) {
        EXPECT_LT(y, 521u);
        ++wet[(y < 260 ? 0 : 2) + (x < 400 ? 0 : 1)];
      }
  for (i32 n : wet) EXPECT_GT(n, 1000);

  // A restored rain that was falling falls on at once, at its time, with no fade-in.
  LevelBonuses& bonuses = level.Rules().Bonuses();
  const BONUSSLOT saved = bonuses.GetSlot(kBonusRain);
  ASSERT_TRUE(saved.active);
  ASSERT_FALSE(bonuses.GetRain().IsRunning());
  bonuses.RestoreSlot(kBonusRain, saved);
  EXPECT_TRUE(bonuses.GetRain().IsRunning());
  EXPECT_FALSE(bonuses.GetRain().IsFading());
  EXPECT_EQ(bonuses.GetRain().GetElapsed(), GetGameBonuses()->Get(kBonusRain).activeTime - saved.timeLeft);
}

}  // namespace

namespace {

// Two villain slots and a wave table with a repeating tail: the waves come
// after their delays from the start of play, into their slot or a free
// one, none into a taken slot; the bees drive the villains off and hold
// the waves while they fly. The toxic puddle loads with such a level, and
// a click by a villain's slot sends nobody walking. Without the tail the
// waves end after the last, and bees spent then still drive off whoever came.
TEST(LevelScene, WavesBringVillainsThroughTheirSlots) {
  LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  LEVELINFO& info = h.Levels().Get(0);
  info.villainSlotCount = 2;
  info.villainSlots[0] = VILLAINSLOT{1300, 600, 900, 600, 0};
  info.villainSlots[1] = VILLAINSLOT{-20, 600, 300, 600, 0};
  info.waves = {WAVEDEF{0, 11, 1000}, WAVEDEF{-1, 12, 500}, WAVEDEF{1, 13, 0}};
  info.firstRepeatWave = 1;
  info.repeatLength = 2;
  info.chargeFactors[kBonusBees] = 0.0f;
  LevelSetup setup;
  setup.chosen.count = 1;
  setup.chosen.slots[0] = kBonusBees;
  setup.ownedBonuses = 1u << kBonusBees;
  h.fakeVillains = true;
  GameLevel& level = h.Play(0, setup);
  MapSprite* puddle = GetSpriteSet(kMapSpriteSet)->FindMapSprite(u"toxic_puddle");
  ASSERT_NE(puddle, nullptr);
  EXPECT_TRUE(puddle->IsLoaded());
  auto& spawns = h.villains.spawns;

  h.Step(990, 10);
  EXPECT_TRUE(spawns.empty());
  h.Step(10, 10);
  EXPECT_EQ(spawns, (std::vector<std::string>{"0:11"}));
  h.Step(500, 10);  // the free slot is 1; wave 3 (no delay) finds it taken
  EXPECT_EQ(spawns, (std::vector<std::string>{"0:11", "1:12"}));
  h.Step(2000, 10);  // the tail repeats, every slot taken
  EXPECT_EQ(spawns.size(), 2u);
  EXPECT_TRUE(level.Rules().Waves().IsEnabled());

  // Clicks: by slot 0 nobody walks, 50 pixels below it she does.
  ASSERT_EQ(Jobs(level), 0);
  h.ClickMap(930, 620);
  EXPECT_EQ(Jobs(level), 0);
  h.ClickMap(900, 650);
  EXPECT_EQ(Jobs(level), 1);

  ASSERT_TRUE(level.Rules().Bonuses().UseBonus(kBonusBees));
  EXPECT_EQ(spawns.back(), "driven off");
  const u32 index = level.Rules().Waves().GetIndex();
  h.Step(3000, 10);
  EXPECT_EQ(level.Rules().Waves().GetIndex(), index);  // held while the bees fly
  EXPECT_EQ(spawns.back(), "driven off");

  info.firstRepeatWave = -1;
  info.repeatLength = 0;
  spawns.clear();
  h.villains.DeleteAll();
  GameLevel& once = h.Play(0, setup);
  h.Step(1500, 10);
  EXPECT_EQ(spawns, (std::vector<std::string>{"0:11", "1:12"}));
  ASSERT_FALSE(once.Rules().Waves().IsEnabled()) << "the table played out";
  ASSERT_TRUE(once.Rules().Bonuses().UseBonus(kBonusBees));
  EXPECT_EQ(spawns.back(), "driven off");
}

// The general tracks follow one another 1, 2, 3, 1 from one picked at
// random; a level with its own track keeps to it.
TEST(LevelScene, GeneralMusicCyclesFromARandomTrack) {
  LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  GameLevel& level = h.Play(0);
  u32 track = level.GetMusicTrack();
  ASSERT_GE(track, 1u);
  ASSERT_LE(track, 3u);
  for (int i = 0; i < 4; ++i) {
    level.PlayNextMusic();
    EXPECT_EQ(level.GetMusicTrack(), track % 3 + 1);
    track = level.GetMusicTrack();
  }
  kis::StrCopy(h.Levels().Get(1).music, 32, u"music_02");
  GameLevel& own = h.Play(1);
  own.PlayNextMusic();
  EXPECT_EQ(own.GetMusicTrack(), 0u);
}

}  // namespace

namespace {

// The ground: one tile per placement, each in its layer in placement
// order; a tile added to layer 5 lands in layer 3, ordered by its sequence
// after the others; a missing record makes none; removing takes it from
// its layer and the level.
TEST(LevelScene, GroundTilesByLayerAndSequence) {
  LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  GameLevel& level = h.Play(0);
  const LEVELINFO& info = *level.GetInfo();
  ASSERT_EQ(level.Ground().GetTileCount(), info.ground.size());
  size_t seen[kGroundLayers] = {};
  for (const GROUNDPLACEMENT& g : info.ground) {
    const u32 layer = g.layer < kGroundLayers ? g.layer : kGroundLayers - 1;
    ASSERT_LT(seen[layer], level.Ground().GetLayer(layer).size());
    const MAPTILE* tile = level.Ground().GetLayer(layer)[seen[layer]++];
    EXPECT_EQ(tile->groundId, g.groundId);
    EXPECT_FLOAT_EQ(tile->quad.v[0].x, static_cast<float>(g.x) - 0.5f);  // pixel centres
  }
  GROUND* grass = h.Grounds().Find(info.ground[0].groundId);
  ASSERT_NE(grass, nullptr);
  const size_t top = level.Ground().GetLayer(3).size();
  MAPTILE* added = level.Ground().Add(100, 200, 5, grass, false);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->layer, 3);
  ASSERT_EQ(level.Ground().GetLayer(3).size(), top + 1);
  EXPECT_EQ(level.Ground().GetLayer(3).back(), added);
  EXPECT_EQ(level.Ground().Add(0, 0, 1, nullptr, false), nullptr);
  level.Ground().Remove(added);
  EXPECT_EQ(level.Ground().GetLayer(3).size(), top);
  EXPECT_EQ(level.Ground().GetTileCount(), info.ground.size());
}

}  // namespace

namespace {

// The yard mid-play with the level's own head-up display (every
// junk heap's clearing price button made on its screen-sprite list, its
// price in the data set's digit font 3): the scrap selected, the junk heap
// hovered and the player on her way to a clicked place; the frame is
// written as level_scene.png. Every button shows its broom icon on the
// plate's seat; another price redrawn changes pixels inside its button and
// nowhere else.
TEST(LevelScene, PictureMidPlay) {
  LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  GameLevel& level = h.Play(0);
  ASSERT_NE(level.Screen().GetScreenSprites(), nullptr);
  EXPECT_EQ(level.Screen().GetScreenSprites()->Sprites().GetCount(), 3);  // the price buttons
  h.ClickMap(1000, 610);
  const POINTDEF& scrap = level.GetInfo()->points[1];
  h.ClickMap(scrap.x, scrap.y + 10);
  ASSERT_EQ(level.Map().GetSelectedPoint(), 1);
  const POINTDEF& junk = level.GetInfo()->points[0];
  i32 sx = junk.x, sy = junk.y;
  h.MapToScreen(&sx, &sy);
  level.Input().OnMouseMove(sx, sy, 0, 0);
  h.Step(900, 20, true);
  EXPECT_EQ(level.Map().GetHoveredPoint(), 0);
  EXPECT_GT(Distance(level.GetPlayer(), kStartX, kStartY), 40.0f);
  EXPECT_EQ(level.Screen().GetScreenSprites()->Sprites().GetCount(), 4);  // and the boots at her target
  EXPECT_TRUE(h.WritePng("level_scene.png"));

  // Each button's broom stands on the round seat at the plate's left: the
  // icon has a frame for every state the button draws it in (min(state, 2)),
  // and its dark outline shows on the light seat.
  const Sprite* broom = h.Set(kIconSpriteSet)->FindSprite(u"small_ico_clear");
  ASSERT_NE(broom, nullptr);
  EXPECT_GE(broom->GetFrameCount(), 3);
  for (i32 i = 0; i < 3; ++i) {
    auto* plate = dynamic_cast<ASSPriceButton*>(level.Screen().GetScreenSprites()->Sprites().Get(i));
    ASSERT_NE(plate, nullptr);
    DXLRECT at;
    plate->GetScreenRect(&at);
    const i32 cx = at.left + static_cast<i32>(plate->GetIconX()) + plate->GetButtonWidth() / 2;
    const i32 cy = (at.top + at.bottom) / 2;
    u32 dark = 0;
    for (i32 y = cy - 10; y < cy + 10; ++y)
      for (i32 x = cx - 10; x < cx + 10; ++x) {
        const u32 p = h.Pixel(static_cast<u32>(x), static_cast<u32>(y));
        dark += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 0x70 ? 1 : 0;
      }
    EXPECT_GT(dark, 12u) << "button " << i << " in state " << plate->GetState();
  }

  auto* button = dynamic_cast<ASSPriceButton*>(level.Screen().GetScreenSprites()->Sprites().Get(0));
  ASSERT_NE(button, nullptr);
  ASSERT_GT(button->GetPriceText()->GetWidth(), 0);  // the font is there
  DXLRECT r;
  button->GetScreenRect(&r);
  const std::vector<u32> before = h.Frame();
  // Other digits of the same widths (every digit but the one is as wide).
  i32 other = 0;
  for (i32 p = static_cast<i32>(button->GetPrice()), scale = 1; p > 0; p /= 10, scale *= 10)
    other += scale * (p % 10 == 1 ? 1 : p % 10 == 4 ? 6 : 4);
  button->GetPriceText()->SetNumber(other);
  h.DrawFrame();
  const std::vector<u32> after = h.Frame();
  u32 inside = 0, outside = 0;
  for (i32 y = 0; y < 600; ++y)
    for (i32 x = 0; x < 800; ++x) {
      if (before[y * 800 + x] == after[y * 800 + x]) continue;
      (x >= r.left && x < r.right && y >= r.top && y < r.bottom ? inside : outside) += 1;
    }
  EXPECT_GT(inside, 40u);
  EXPECT_EQ(outside, 0u);
}

}  // namespace

namespace {

// A job of the player's that waits where it is put, its icon shown at a
// place of the level.
struct StillJob : Job {
  StillJob(MapPlayer* owner, BaseLevelPoint* place, i32 x, i32 y) : Job(owner, 5) {
    ShowIcon(x, y, GetSpriteByName(kIconSpriteSet, u"small_ico_upgrade"), place, kJobIconColor);
  }
  void Update() override {}
};

// The heaps' particles (the junk heap's flies and stink, the scrap's flies)
// are made with their places and start at once. Two jobs of the player's
// at one place show their icons 18 to either side of it, and a right click
// on each icon cancels that icon's job; a cancelled job waits in her queue,
// finished (the next right click passes it by), until her next update
// deletes it.
TEST(LevelScene, HeapsSmokeAndARightClickCancelsTheJobUnderIt) {
  LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  GameLevel& level = h.Play(0);
  h.Step(2000);
  u32 emitters = 0;
  for (i32 i = 0; i < level.Map().GetPointCount(); ++i) {
    const auto* place = static_cast<EmptyLevelPoint*>(level.Map().GetPoint(i));
    for (i32 k = 0; k < place->GetGarbageObjects().GetCount(); ++k)
      if (auto* smoke = dynamic_cast<ParticlesObject*>(place->GetGarbageObjects()[k])) {
        ++emitters;
        EXPECT_GT(smoke->GetSpace()->GetParticleCount(), 0u) << "place " << i;
      }
  }
  EXPECT_EQ(emitters, 3u);

  MapPlayer* player = PlayerOf(level);
  ASSERT_NE(player, nullptr);
  BaseLevelPoint* place = level.Map().GetPoint(2);
  const i32 x = place->GetX(), y = place->GetY() + 60;  // below the place, clear of its price button
  auto* left = new StillJob(player, place, x, y);
  auto* right = new StillJob(player, place, x, y);
  ASSERT_NE(right->GetIcon(), nullptr);
  EXPECT_EQ(left->GetIcon()->GetOffsetX(), -18);
  EXPECT_EQ(right->GetIcon()->GetOffsetX(), 18);
  h.ClickMap(x + 18, y, kMouseRight);
  EXPECT_EQ(right->GetState(), kJobFinished);
  EXPECT_EQ(left->GetState(), kJobIdle);
  h.ClickMap(x + 18, y, kMouseRight);  // the finished job passed by: the other is the only choice
  EXPECT_EQ(left->GetState(), kJobFinished);
  EXPECT_EQ(Jobs(level), 2);

  left = new StillJob(player, place, x, y);
  right = new StillJob(player, place, x, y);
  h.ClickMap(x - 18, y, kMouseRight);
  EXPECT_EQ(left->GetState(), kJobFinished);
  EXPECT_EQ(right->GetState(), kJobIdle);
  h.ClickMap(x + 18, y, kMouseRight);
  EXPECT_EQ(right->GetState(), kJobFinished);
  h.Step(20);
  EXPECT_EQ(Jobs(level), 0);
}

// The game's pointer as the world installs it (LevelServices::pointer).
DXLPOINT g_scenePointer{0, 0};
DXLPOINT ScenePointer() { return g_scenePointer; }

// A level entered with the mouse already over a place hovers it (and shows
// the hand) at its next frame, before the mouse moves; the frames follow
// the pointer off it again, and without a pointer the level keeps the last
// position its events gave.
TEST(LevelScene, EachFrameHoversWhatLiesUnderTheGamesPointer) {
  LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  GameLevel& level = h.Play(0);
  const POINTDEF& junk = level.GetInfo()->points[0];
  i32 x = junk.x + 10, y = junk.y + 5;
  h.MapToScreen(&x, &y);
  GetLevelServices().pointer = &ScenePointer;
  g_scenePointer = DXLPOINT{x, y};
  u32 cursor = 0;
  EXPECT_EQ(level.Map().GetHoveredPoint(), -1);
  h.Step(20);
  EXPECT_EQ(level.Map().GetHoveredPoint(), 0);
  const MapObject* heap = level.Map().GetHoveredObject();
  ASSERT_NE(heap, nullptr);
  ASSERT_TRUE(level.Input().GetCursorKind(&cursor));
  EXPECT_EQ(cursor, heap->GetCursorKind());
  i32 fx = junk.x + 10, fy = junk.y + 155;  // free ground straight below: only the pointer's y differs
  h.MapToScreen(&fx, &fy);
  ASSERT_EQ(fx, x);
  g_scenePointer = DXLPOINT{fx, fy};
  h.Step(20);
  EXPECT_EQ(level.Map().GetHoveredPoint(), -1);
  ASSERT_TRUE(level.Input().GetCursorKind(&cursor));
  EXPECT_EQ(cursor, kCursorLevelNone);
  GetLevelServices().pointer = nullptr;
  level.Input().OnMouseMove(x, y, 0, 0);
  h.Step(20);
  EXPECT_EQ(level.Map().GetHoveredPoint(), 0) << "the event's position kept";
}

// Refuses the villains' moves (action 0x82) until told.
struct WaveTutorial : TutorialHooks {
  bool AllowAction(u32 action, uintptr_t, const void*) override { return action != 0x82 || waves; }
  void Notify(u32, uintptr_t, const void*) override {}
  bool waves = false;
};

// While the tutorial refuses the villains their moves the waves stand (their
// clock too) and the rest of the world goes on; the panel's time bar is
// updated every frame, a window open or not.
TEST(LevelScene, TheTutorialHoldsTheWavesButNotTheWorld) {
  WaveTutorial tutorial;
  LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  LEVELINFO& info = h.Levels().Get(0);
  info.villainSlotCount = 1;
  info.villainSlots[0] = VILLAINSLOT{1300, 600, 900, 600, 0};
  info.waves = {WAVEDEF{0, 11, 1000}};
  GetResourceServices().tutorial = &tutorial;
  h.fakeVillains = true;
  GameLevel& level = h.Play(0);
  h.ClickMap(420, 600);
  const u32 updates = h.windows.timeBarUpdates;
  h.Step(3000);
  EXPECT_TRUE(h.villains.spawns.empty());
  EXPECT_LT(Distance(level.GetPlayer(), 420, 600), 2.0f) << "she walked there";
  EXPECT_EQ(h.windows.timeBarUpdates, updates + 150);
  level.Screen().OnWindowOpened(0x57696E31u);
  h.Step(200);
  EXPECT_EQ(h.windows.timeBarUpdates, updates + 160);
  level.Screen().OnWindowClosed(0x57696E31u);

  tutorial.waves = true;
  h.Step(990, 10);
  EXPECT_TRUE(h.villains.spawns.empty());
  h.Step(10, 10);
  EXPECT_EQ(h.villains.spawns, (std::vector<std::string>{"0:11"}));
  GetResourceServices().tutorial = nullptr;
}

// The selected place's marker, read back as the width of what it changes
// in the frame (at a view of scale 1): 1.1 of its size at pulse 0, 1.15 at
// 300 ms, 1.05 at 900, 1.1 again at 1200. The pulse stands while a window holds the level and
// runs under the tutorial's lock.
TEST(LevelScene, TheSelectedPlacesMarkerPulsesUnlessAWindowHolds) {
  LevelHarness h(leveltest::ScenarioDataFolder(), 1280, 820);
  ASSERT_TRUE(h.loaded);
  GameLevel& level = h.Play(0);
  const POINTDEF& scrap = level.GetInfo()->points[1];
  h.ClickMap(scrap.x, scrap.y + 10);
  ASSERT_EQ(level.Map().GetSelectedPoint(), 1);
  i32 sx = 640, sy = 150;
  h.MapToScreen(&sx, &sy);
  level.Input().OnMouseMove(sx, sy, 0, 0);
  ASSERT_EQ(level.Map().GetHoveredPoint(), -1);
  const auto width = [&] {
    if (GPSSpace* butterflies = level.GetParticleSpace()) butterflies->ClearParticles();
    h.DrawFrame();
    const std::vector<u32> selected = h.Frame();
    level.Map().Points().SelectPoint(-1, false);
    h.DrawFrame();
    const std::vector<u32> plain = h.Frame();
    level.Map().Points().SelectPoint(1, false);
    i32 l = 1280, r = -1;
    for (i32 y = 0; y < 820; ++y)
      for (i32 x = 0; x < 1280; ++x)
        if (selected[y * 1280 + x] != plain[y * 1280 + x]) l = std::min(l, x), r = std::max(r, x);
    return r - l + 1;
  };
  const i32 start = width();  // at 1.1
  const float unit = static_cast<float>(start) / 1.1f;
  ASSERT_GT(unit, 80.0f);
  level.Screen().OnWindowOpened(0x57696E31u);
  h.Step(300);
  EXPECT_EQ(width(), start) << "held with the window";
  level.Screen().OnWindowClosed(0x57696E31u);
  h.Step(300);
  EXPECT_NEAR(width(), unit * 1.15f, 1.5f);
  level.Rules().Locks().Lock(kLockTutorial);
  h.Step(600);
  EXPECT_NEAR(width(), unit * 1.05f, 1.5f);
  level.Rules().Locks().Unlock(kLockTutorial);
  h.Step(300);
  EXPECT_NEAR(width(), start, 1.0f);
}

// A bonus that ends takes its factors back: the player walks and works at
// her own pace again (the factor is removed, not set to 0).
TEST(LevelScene, AnEndedBonusGivesThePlayerHerPaceBack) {
  LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  GameLevel& level = h.Play(0);
  MapPlayer* player = PlayerOf(level);
  ASSERT_NE(player, nullptr);
  const float walk = player->GetWalkRate(), work = player->GetSpeedFactor();
  float values[kLevelRateCount] = {};
  values[kRateWalk] = values[kRateAnimation] = 2.5f;
  level.Rules().Bonuses().SetRateModifiers(values, true, 77);
  EXPECT_FLOAT_EQ(player->GetWalkRate(), walk * 2.5f);
  level.Rules().Bonuses().SetRateModifiers(values, false, 77);
  EXPECT_FLOAT_EQ(player->GetWalkRate(), walk);
  EXPECT_FLOAT_EQ(player->GetSpeedFactor(), work);
}

}  // namespace

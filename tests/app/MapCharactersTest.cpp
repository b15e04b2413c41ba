// The level-selection map's characters: a group's entries read and clamped;
// chickens' free points (inside their yard, 16 units apart, over 1,000
// seeds); the jobs' delay, the walk done at once, the turn a step per 30 ms
// with each direction's own frames, a walk replaced while under way; the
// idle choices; the drawing list by y, then x; the villain's steps with two
// targets and its shots flying 4 units an update; the villain's and its
// catapult's drawing order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "MapCharacterRig.h"
#include "app/MapAnimals.h"
#include "app/MapLevelCharacter.h"
#include "app/MapVillainAttack.h"
#include "base/Maths.h"
#include "base/Random.h"
#include "engine/DXLFrameSeq.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "level/scene/LevelServices.h"
#include "resources/ResourceServices.h"
#include "resources/ImageSprite.h"
#include "resources/ShadowData.h"
#include "resources/Sprite.h"
#include "engine/DXLViewer.h"
#include "level/scene/DeveloperOverlay.h"
#include "platform/gfx/GfxRecordingDevice.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/input/KeyCodes.h"
#include "testsupport/SpriteRig.h"

namespace mapchartest {
namespace {

MAPCHARSHAPE CharRect(i32 l, i32 t, i32 r, i32 b) {
  return MAPCHARSHAPE{SHAPE_RECT, {static_cast<u32>(l), static_cast<u32>(t), static_cast<u32>(r), static_cast<u32>(b)}};
}

MAPNODEITEM CharItem(std::vector<MAPCHARENTRY> entries) {
  MAPNODEITEM item;
  item.kind = kMapItemCharacters;
  item.stateMask = kMapMaskFinished;
  PutMapCharEntries(&item, entries.data(), static_cast<u32>(entries.size()));
  return item;
}

MAPCHARENTRY Chickens(u32 count, std::vector<MAPCHARSHAPE> shapes) {
  MAPCHARENTRY e;
  e.kind = kMapCharChicken;
  e.count = count;
  e.shapeCount = static_cast<u32>(shapes.size());
  std::copy(shapes.begin(), shapes.end(), e.shapes);
  return e;
}

MAPCHARENTRY Animal(u32 kind, i32 x, i32 y, i32 direction) {
  MAPCHARENTRY e;
  e.kind = kind;
  e.x = x;
  e.y = y;
  e.direction = direction;
  return e;
}

struct AttackHost : MapAttackHost {
  bool GetLevelNodePos(i32 level, float* x, float* y) const override {
    if (level == 40) return false;  // a level without a node
    *x = 200.0f + 10.0f * static_cast<float>(level);
    *y = 300.0f;
    return true;
  }
  void LockLevelNode(i32 level) override { locked.push_back(level); }
  GPSSpace* GetAttackParticles() override { return nullptr; }
  std::vector<i32> locked;
};

class MapChars : public ::testing::Test {
 protected:
  MapChars() { kis::srand(7); }
  MapCharacterRig rig;
};

TEST_F(MapChars, GroupEntriesClampedAndKept) {
  // Three chickens, a cow and a sheep: the group stops at four.
  const MAPNODEITEM item = CharItem({Chickens(3, {CharRect(0, 0, 100, 60)}), Animal(kMapCharCow, -20, 12, 3),
                                     Animal(kMapCharSheep, 30, 5, 6)});
  MLSChars group(item);
  ASSERT_EQ(group.Characters().GetCount(), 4);
  for (i32 i = 0; i < 3; ++i) EXPECT_NE(dynamic_cast<MLCChicken*>(group.Characters()[i]), nullptr);
  const MapLevelCharacter* cow = group.Characters()[3];
  ASSERT_NE(dynamic_cast<const MLCCow*>(cow), nullptr);
  EXPECT_EQ(cow->GetX(), -20.0f);
  EXPECT_EQ(cow->GetY(), 12.0f);
  EXPECT_EQ(cow->State().direction, 3);  // the entry's start direction
  for (i32 i = 0; i < 3; ++i) {
    const MapLevelCharacter* c = group.Characters()[i];
    EXPECT_TRUE(c->GetX() >= 0 && c->GetX() < 100 && c->GetY() >= 0 && c->GetY() < 60);
  }

  // Stored counts beyond what an item holds are clamped: 9 entries read as
  // 4, 20 shapes as 8; unknown kinds and missing descriptions make nothing.
  MAPNODEITEM raw;
  MAPCHARENTRY many[4] = {Chickens(1, {}), Animal(99, 0, 0, 0), Animal(4, 0, 0, 0), Animal(kMapCharSheep, 1, 2, 3)};
  many[0].shapeCount = 8;
  for (MAPCHARSHAPE& s : many[0].shapes) s = CharRect(0, 0, 40, 40);
  PutMapCharEntries(&raw, many, 4);
  raw.body[0] = 9;
  raw.body[4 + 8] = 20;
  MAPCHARENTRY back[kMapCharEntries];
  ASSERT_EQ(ParseMapCharEntries(raw, back), 4u);
  EXPECT_EQ(back[0].shapeCount, 8u);
  EXPECT_EQ(back[3].y, 2);
  EXPECT_EQ(back[3].direction, 3);
  MLSChars mixed(raw);
  EXPECT_EQ(mixed.Characters().GetCount(), 2);  // the chicken and the sheep
  EXPECT_EQ(mixed.Characters()[1]->State().animation->GetName(), std::u16string(u"sheephead_eat"));
}

TEST_F(MapChars, ChickensKeepSixteenApartInsideTheirYard) {
  const MAPNODEITEM item = CharItem({Chickens(2, {CharRect(0, 0, 40, 30), CharRect(30, 20, 60, 50)})});
  MLSChars group(item);
  ASSERT_EQ(group.Characters().GetCount(), 2);
  MapLevelCharacter* a = group.Characters()[0];
  MapLevelCharacter* b = group.Characters()[1];
  // The boundary: exactly 16 (8 + 8) from the other's position is allowed.
  a->SetPosition(5, 5);
  b->SetPosition(20, 10);
  b->SetWalkTarget(20, 10);
  EXPECT_TRUE(a->TestPoint(20, 26, true));
  EXPECT_FALSE(a->TestPoint(20, 25.9f, true));
  EXPECT_FALSE(a->TestPoint(50, 10, false));  // in neither shape
  EXPECT_TRUE(a->TestPoint(20, 12, false));   // an intermediate point needs no room
  b->SetWalkTarget(35, 40);                   // the other's target counts too
  EXPECT_FALSE(a->TestPoint(35, 50, true));
  u32 found = 0;
  for (u32 seed = 1; seed <= 1000; ++seed) {
    kis::srand(seed);
    b->SetPosition(static_cast<float>(10 + seed % 40), static_cast<float>(10 + seed % 25));
    b->SetWalkTarget(static_cast<float>(50 - seed % 15), static_cast<float>(40 - seed % 12));
    float x = 0, y = 0;
    if (!a->FindFreePoint(false, &x, &y)) continue;
    ++found;
    const i32 rx = kis::RoundToInt(x), ry = kis::RoundToInt(y);
    const bool inside = ShapeContainsPoint(&a->GetShapes()[0], rx, ry) || ShapeContainsPoint(&a->GetShapes()[1], rx, ry);
    ASSERT_TRUE(inside) << seed;
    ASSERT_GE(kis::Distance(x, y, b->GetX(), b->GetY()), 16.0f) << seed;
    ASSERT_GE(kis::Distance(x, y, b->GetTargetX(), b->GetTargetY()), 16.0f) << seed;
    ASSERT_GE(kis::Distance(x, y, a->GetX(), a->GetY()), 10.0f) << seed;
  }
  EXPECT_GT(found, 500u);
}

TEST_F(MapChars, JobsDelayWalkAndTurn) {
  const MAPNODEITEM item = CharItem({Chickens(1, {CharRect(-200, -200, 200, 200)})});
  MLSChars group(item);
  MapLevelCharacter* c = group.Characters()[0];
  c->SetPosition(0, 0);
  // A walk under 0.1 units on both axes is done at the update that starts it.
  new MLCJob_GoTo(c, 1, 0, 0.09f, -0.09f);
  c->Update(10);
  EXPECT_EQ(c->GetJob(), nullptr);
  EXPECT_EQ(c->GetX(), 0.0f);

  // The start delay is eaten first; the animation runs its own length after.
  auto* yell = new MLCJob_Animation(c, 2, 100, u"chicken_yelling", 2, -1);
  c->Update(60);
  EXPECT_EQ(yell->state, kMapJobNew);
  EXPECT_EQ(yell->delay, 40u);
  c->Update(50);  // 40 of delay, then 10 of the 400 ms animation
  EXPECT_EQ(yell->state, kMapJobRunning);
  EXPECT_EQ(yell->GetDuration(), 390);
  EXPECT_EQ(c->State().direction, 2);
  c->Update(389);
  EXPECT_EQ(c->GetJob(), yell);
  c->Update(1);
  EXPECT_EQ(c->GetJob(), nullptr);

  // Facing 270 degrees (direction 0), a walk straight down (90: direction 4)
  // turns 0 -> 1 at once, then a step per 30 ms, each on its own row.
  StartAnimationIn(c->GetWalkAnimation(), &c->State(), 0, false);
  auto* walk = new MLCJob_GoTo(c, 1, 0, 0, 40);
  c->Update(0 + 1);
  EXPECT_EQ(walk->GetTargetDirection(), 4);
  EXPECT_EQ(c->State().direction, 1);
  EXPECT_EQ(c->State().frames.first, 4);
  c->Update(28);
  EXPECT_EQ(c->State().direction, 1);
  c->Update(1);
  EXPECT_EQ(c->State().direction, 2);
  EXPECT_EQ(c->State().frames.first, 8);
  c->Update(30);
  c->Update(30);
  EXPECT_EQ(c->State().direction, 4);
  EXPECT_EQ(c->State().frames.first, 16);
  EXPECT_EQ(c->GetY(), 0.0f);  // no step taken while turning
  EXPECT_EQ(c->GetTargetY(), 40.0f);
  c->Update(40);  // 4 frames of 0.25 units
  EXPECT_NEAR(c->GetY(), 1.0f, 1e-4f);
  c->Update(10000);
  EXPECT_EQ(c->GetY(), 40.0f);
  EXPECT_EQ(c->GetJob(), nullptr);
  EXPECT_EQ(c->GetTargetY(), 40.0f);

  // A walk under way replaced by another job: cancelled with its owner (the
  // walk target back on the character's place), the new job the owner's.
  new MLCJob_GoTo(c, 1, 0, 40, 140);
  c->Update(500);
  ASSERT_GT(c->GetY(), 41.0f);
  ASSERT_LT(c->GetY(), 139.0f);
  auto* after = new MLCJob_Animation(c, 2, 0, u"chicken_yelling", -1, 100);
  EXPECT_EQ(c->GetJob(), after);
  EXPECT_EQ(c->GetTargetX(), c->GetX());
  EXPECT_EQ(c->GetTargetY(), c->GetY());
  // A walk replacing a walk: the new target stands.
  new MLCJob_GoTo(c, 1, 0, 40, 0);
  c->Update(10);
  auto* again = new MLCJob_GoTo(c, 1, 0, -50, 60);
  EXPECT_EQ(c->GetJob(), again);
  EXPECT_EQ(c->GetTargetX(), -50.0f);
  EXPECT_EQ(c->GetTargetY(), 60.0f);
}

// What a character without a job does next, over many draws: a chicken
// yells 15 times in 100 (after 1 to 4 s, half of them facing a random
// direction, for 1 to 2 s), else walks (after 1 to 4 s) to a free point
// of its yard, else waits 0.1 to 1 s; a sheep turns, blinks or calls after
// 4 to 8 s; a cow calls after 5 to 15 s; each delay in steps of 10 ms.
TEST_F(MapChars, IdleChoicesAndTheirDelays) {
  const MAPNODEITEM item =
      CharItem({Chickens(1, {CharRect(-200, -200, 200, 200)}), Animal(kMapCharSheep, 0, 0, 0), Animal(kMapCharCow, 9, 9, 0)});
  MLSChars group(item);
  ASSERT_EQ(group.Characters().GetCount(), 3);
  MapLevelCharacter* chicken = group.Characters()[0];
  MapLevelCharacter* sheep = group.Characters()[1];
  MapLevelCharacter* cow = group.Characters()[2];
  const auto stepped = [](u32 delay, u32 lo, u32 hi) { return delay >= lo && delay <= hi && delay % 10 == 0; };
  u32 yells = 0, facing = 0, walks = 0;
  std::set<u32> yellDelays;
  for (u32 i = 0; i < 2000; ++i) {
    chicken->SetJob(nullptr);
    chicken->Update(0);
    MapLevelCharJob* job = chicken->GetJob();
    ASSERT_NE(job, nullptr);
    if (auto* yell = dynamic_cast<MLCJob_Animation*>(job)) {
      ++yells;
      yellDelays.insert(yell->delay);
      EXPECT_EQ(yell->GetTag(), 2u);
      EXPECT_EQ(std::u16string(yell->GetName()), u"chicken_yelling");
      EXPECT_TRUE(stepped(yell->delay, 1000, 4000)) << yell->delay;
      EXPECT_TRUE(stepped(static_cast<u32>(yell->GetDuration()), 1000, 2000)) << yell->GetDuration();
      EXPECT_TRUE(yell->GetDirection() >= -1 && yell->GetDirection() < 4);
      facing += yell->GetDirection() >= 0 ? 1 : 0;
    } else {
      ASSERT_NE(dynamic_cast<MLCJob_GoTo*>(job), nullptr) << "the yard has room: a walk";
      ++walks;
      EXPECT_EQ(job->GetTag(), 1u);
      EXPECT_TRUE(stepped(job->delay, 1000, 4000)) << job->delay;
    }
  }
  EXPECT_GT(yells, 240u);  // 15 in 100 of 2,000: 300
  EXPECT_LT(yells, 360u);
  EXPECT_GT(facing, yells * 4 / 10);
  EXPECT_LT(facing, yells * 6 / 10);
  EXPECT_EQ(yells + walks, 2000u);
  EXPECT_LE(*yellDelays.begin(), 1100u) << "the delays spread over their range";
  EXPECT_GE(*yellDelays.rbegin(), 3900u);

  std::set<std::u16string> acts;
  for (u32 i = 0; i < 200; ++i) {
    sheep->SetJob(nullptr);
    sheep->Update(0);
    auto* act = dynamic_cast<MLCJob_Animation*>(sheep->GetJob());
    ASSERT_NE(act, nullptr);
    acts.insert(act->GetName());
    EXPECT_EQ(act->GetTag(), 2u);
    EXPECT_EQ(act->GetDirection(), -1);
    EXPECT_EQ(act->GetDuration(), -1);  // its own length
    EXPECT_TRUE(stepped(act->delay, 4000, 8000)) << act->delay;
    cow->SetJob(nullptr);
    cow->Update(0);
    auto* call = dynamic_cast<MLCJob_Animation*>(cow->GetJob());
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(std::u16string(call->GetName()), u"cowhead_yelling");
    EXPECT_EQ(call->GetTag(), 2u);
    EXPECT_EQ(call->GetDuration(), -1);
    EXPECT_TRUE(stepped(call->delay, 5000, 15000)) << call->delay;
  }
  EXPECT_EQ(acts, (std::set<std::u16string>{u"sheephead_turnleft", u"sheephead_turnright", u"sheephead_blink",
                                            u"sheephead_yelling"}));

  // A yard without room: the chicken waits.
  const MAPNODEITEM tight = CharItem({Chickens(1, {CharRect(0, 0, 0, 0)})});
  MLSChars cramped(tight);
  MapLevelCharacter* stuck = cramped.Characters()[0];
  u32 waits = 0;
  for (u32 i = 0; i < 200; ++i) {
    stuck->SetJob(nullptr);
    stuck->Update(0);
    MapLevelCharJob* job = stuck->GetJob();
    if (dynamic_cast<MLCJob_Animation*>(job)) continue;
    ASSERT_NE(dynamic_cast<MLCJob_Wait*>(job), nullptr);
    ++waits;
    EXPECT_EQ(job->GetTag(), 0u);
    EXPECT_TRUE(stepped(job->delay, 100, 1000)) << job->delay;
  }
  EXPECT_GT(waits, 150u);
}

TEST_F(MapChars, DrawingListByYThenX) {
  const MAPNODEITEM item = CharItem({Chickens(3, {CharRect(0, 0, 100, 100)}), Animal(kMapCharCow, 0, 0, 0)});
  MLSChars group(item);
  ASSERT_EQ(group.Characters().GetCount(), 4);
  const float moves[][3] = {{0, 50, 50}, {1, 20, 50}, {2, 10, 80}, {3, 60, 10}, {0, 5, 50},
                            {2, 30, 50}, {1, 30, 50}, {3, 90, 90}, {0, 0, 0},  {3, 0, 0}};
  for (const auto& m : moves) {
    group.Characters()[static_cast<i32>(m[0])]->SetPosition(m[1], m[2]);
    const kis::list<MapLevelCharacter*>& order = group.DrawOrder();
    ASSERT_EQ(order.GetCount(), 4);
    for (i32 i = 1; i < order.GetCount(); ++i) {
      const MapLevelCharacter* p = order[i - 1];
      const MapLevelCharacter* q = order[i];
      ASSERT_TRUE(p->GetY() < q->GetY() || (p->GetY() == q->GetY() && p->GetX() <= q->GetX()));
    }
  }
}

TEST_F(MapChars, VillainStepsShotsAndLeaving) {
  AttackHost host;
  const i32 levels[2] = {15, 26};
  MLCVillain villain(&host, -64, 280, 20, 360, 2, 2, levels);
  ASSERT_TRUE(villain.IsMade());
  EXPECT_EQ(villain.State().direction, 2);
  std::vector<i32> steps{villain.GetStep()};
  std::set<const MLCCatapult*> catapults;
  bool shotsLandedAtEight = false;
  u32 seenShots = 0;
  float firstFlight = -1;
  for (u32 tick = 0; tick < 5000 && villain.GetStep() != -1; ++tick) {
    villain.Update(10);
    if (villain.GetCatapult()) catapults.insert(villain.GetCatapult());
    seenShots = std::max(seenShots, static_cast<u32>(villain.Shots().GetCount()));
    if (villain.Shots().GetCount() == 1 && firstFlight < 0 && !villain.Shots()[0]->IsExploded())
      firstFlight = villain.Shots()[0]->GetTravelled();
    if (villain.GetStep() != steps.back()) {
      steps.push_back(villain.GetStep());
      if (villain.GetStep() == 8) {
        shotsLandedAtEight = true;
        for (i32 i = 0; i < villain.Shots().GetCount(); ++i)
          shotsLandedAtEight = shotsLandedAtEight && villain.Shots()[i]->IsExploded();
        EXPECT_EQ(villain.GetCatapult(), nullptr);
      }
    }
  }
  // Step 7 after the first shot passes straight on to 3 (a target is left).
  EXPECT_EQ(steps, (std::vector<i32>{0, 1, 2, 3, 4, 5, 6, 3, 4, 5, 6, 7, 8, 9, -1}));
  EXPECT_EQ(villain.GetShotsFired(), 2u);
  EXPECT_EQ(seenShots, 2u);
  EXPECT_EQ(catapults.size(), 2u);  // set up again between the shots
  EXPECT_TRUE(shotsLandedAtEight);
  EXPECT_FLOAT_EQ(firstFlight, kMapShotSpeed);
  EXPECT_EQ(host.locked, (std::vector<i32>{14, 25}));
  EXPECT_EQ(villain.GetX(), -64.0f);  // back on its start point
  EXPECT_EQ(villain.GetY(), 280.0f);

  // A shot flies 4 units an update and explodes on its node.
  MLCVillainShot shot(&host, 0, 300, 3);  // node at (230, 300)
  for (u32 i = 0; i < 57; ++i) shot.Update(10);
  EXPECT_FALSE(shot.IsExploded());
  EXPECT_FLOAT_EQ(shot.GetX(), 228.0f);
  shot.Update(10);
  EXPECT_TRUE(shot.IsExploded());
  EXPECT_EQ(shot.GetX(), 230.0f);
  EXPECT_EQ(host.locked.back(), 3);

  // A target level without a node is passed over, never aimed at.
  const i32 lost[2] = {41, 1};
  MLCVillain other(&host, 0, 0, 1, 0, 0, 2, lost);
  for (u32 tick = 0; tick < 3000 && other.GetStep() != -1; ++tick) other.Update(10);
  EXPECT_EQ(other.GetStep(), -1);
  EXPECT_EQ(host.locked.back(), 0);
}

// The yard's shapes show (filled in white) only while the
// overlay's map-characters switch (Ctrl+S on the map) is on.
TEST(MapCharsDrawn, ShapesOnlyWithTheSwitchOn) {
  spritetest::SpriteRig sprites;
  MapCharacterRig rig;
  DeveloperOverlay overlay(true, false);
  GetLevelServices().developer = &overlay;
  GetResourceServices().appState = kGameStateLevelMap;
  MLSChars group(CharItem({Chickens(1, {CharRect(100, 100, 200, 200)})}));
  group.Characters()[0]->SetPosition(190, 190);
  DXLViewer* viewer = GetGameViewer();
  const auto pixel = [&] {
    EXPECT_EQ(viewer->BeginFrame(), 0);
    viewer->Clear(0xFF000000u);
    viewer->LoadIdentity(nullptr);
    viewer->ResetWorldTransform();
    group.Draw(0xFF000000u, false);
    viewer->Present();
    return viewer->GetDevice()->GetSoftDevice()->FramePixel(120, 120) & 0xFFFFFFu;
  };
  EXPECT_EQ(pixel(), 0u);
  ASSERT_TRUE(overlay.KeyDown(plat::DIK_S, 1));
  EXPECT_NE(pixel(), 0u);
  ASSERT_TRUE(overlay.KeyDown(plat::DIK_S, 1));
  EXPECT_EQ(pixel(), 0u);
  GetLevelServices().developer = nullptr;
}

// The shot's pictures keep to its own updates, which the map holds under a
// modal window: the sprites' loops on the frame clock are stopped, the
// bullet's frame follows the shot's time at its sequence's pace, and the
// gas shows two frames in as soon as the shot explodes.
TEST(MapCharsDrawn, TheShotsFramesFollowItsUpdatesOnly) {
  spritetest::SpriteRig art;
  for (const wchar* name : {u"bullet_01", u"gas"}) {
    SpriteSet& set = art.Set(kParticleSpriteSet);
    DXLTexture* t = set.GetTextures()->NewTexture();
    t->SetName(name);
    const std::vector<u8> file = spritetest::Picture(32, 8, 1);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    auto* sprite = new Sprite(&set, name, t, SPRITEGRID{4, 8, 8, 0, 0, {0, 0, 0, 0}}, false, false, 0);
    DXLFRAMESEQ loop;
    DXLFrameSeqInit(&loop, kFrameSeqLoop, 0, 4, 50, 0, 0);
    sprite->SetDefaultAnimation(&loop);
  }
  AttackHost host;
  MLCVillainShot shot(&host, 0, 300, 3);
  const auto state = [&] { return shot.GetImage()->FrameState(); };
  ASSERT_NE(shot.GetImage(), nullptr);
  EXPECT_EQ(state().animated, 0);
  EXPECT_EQ(state().frame, 0);
  for (u32 i = 0; i < 6; ++i) shot.Update(10);
  EXPECT_EQ(state().frame, 1);  // 60 ms at 50 ms a frame
  while (!shot.IsExploded()) shot.Update(10);
  EXPECT_EQ(std::u16string(shot.GetImage()->GetSprite()->GetName()), u"gas");
  EXPECT_EQ(state().animated, 0);
  EXPECT_EQ(state().frame, 2);
  shot.Update(60);
  EXPECT_EQ(state().frame, 3);
  shot.Update(50);
  EXPECT_TRUE(shot.IsFinished()) << "the gas's four frames and one more";
}

// A villain with its catapult draws the catapult's shadow, its own shadow,
// the catapult, then itself; a catapult not shown draws nothing.
TEST(MapCharsDrawn, VillainAndCatapultInTheirOrder) {
  spritetest::SpriteRig art;
  MapCharacterRig rig;
  // A picture of its own for each: the drawing's textures tell them apart.
  const auto picture = [&](u32 set, const wchar* name, u32 id) {
    DXLTexture* t = art.Set(set).GetTextures()->NewTexture();
    t->SetName(name);
    const std::vector<u8> file = spritetest::Picture(16, 64, id);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    return new Sprite(&art.Set(set), name, t, SPRITEGRID{0, 8, 8, 0, 0, {0, 0, 0, 0}}, false, false, 0);
  };
  Sprite* looks[2] = {picture(kAnimationSpriteSet, u"villain_art", 1), picture(kAnimationSpriteSet, u"catapult_art", 2)};
  Sprite* shades[2] = {picture(kShadowSpriteSet, u"villain_shade", 3), picture(kShadowSpriteSet, u"catapult_shade", 4)};
  for (u32 k = 0; k < 2; ++k) {
    GameCharacter* c = FindCharInfo(rig.list.Items(), k == 0 ? kMapCharVillain : kMapCharCatapult);
    ASSERT_NE(c, nullptr);
    c->SetShadow(new SHADOWDATA{shades[k], 16, 8, 0.5f, 0.5f, 0.5f});
    for (i32 i = 0; i < c->GetSkinSize(0); ++i)
      if (GameAnimation* a = c->GetEntry(0, i))
        for (i32 d = 0; d < 8; ++d) a->GetDirection(d)->spritePtr = looks[k];
  }
  AttackHost host;
  const i32 levels[1] = {15};
  MLCVillain villain(&host, 100, 100, 120, 120, 2, 1, levels);
  ASSERT_TRUE(villain.IsMade());
  for (u32 tick = 0; tick < 2000 && !villain.GetCatapult(); ++tick) villain.Update(10);
  MLCCatapult* catapult = villain.GetCatapult();
  ASSERT_NE(catapult, nullptr);
  DXLViewer* viewer = GetGameViewer();
  ASSERT_EQ(viewer->BeginFrame(), 0);
  const auto drawn = [&] {
    art.calls.Clear();
    villain.DrawAll(plat::gfx::IdentityMatrix());
    std::vector<int> order;
    for (const plat::gfx::LoggedPrimitive& p : art.calls.Primitives()) order.push_back(p.texture);
    return order;
  };
  const auto id = [&](Sprite* sprite) { return art.calls.TextureId(sprite->GetTexture()->GetD3DTexture()); };
  catapult->shadowShown = catapult->bodyShown = true;
  const std::vector<int> all = drawn();
  EXPECT_EQ(all, (std::vector<int>{id(shades[1]), id(shades[0]), id(looks[1]), id(looks[0])}));
  EXPECT_NE(id(shades[1]), id(shades[0]));
  catapult->shadowShown = catapult->bodyShown = false;
  EXPECT_EQ(drawn(), (std::vector<int>{id(shades[0]), id(looks[0])}));
  viewer->Present();
}

}  // namespace
}  // namespace mapchartest

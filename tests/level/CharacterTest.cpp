// Characters: silhouettes while running, skins and idle actions, the
// player's award counters, the tutorial's leave for work, and the level's
// list of characters.
#include <gtest/gtest.h>

#include <vector>

#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/DXLViewer.h"
#include "level/characters/CharSilhouette.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "resources/WaitEffects.h"
#include "resources/TutorialHooks.h"
#include "testsupport/SpriteRig.h"
#include "CharacterRig.h"

namespace leveltest {
namespace {

i32 Silhouettes(const LevelMap& map) {
  i32 n = 0;
  const kis::list<MapObject*>& all = map.GetObjects();
  for (i32 i = 0; i < all.GetCount(); ++i) n += all[i]->GetKind() == kObjectSilhouette ? 1 : 0;
  return n;
}

TEST(Character, RunningLeavesASilhouetteEvery50MillisecondsOfRateScaledTime) {
  CharacterRig rig;
  MapCharacter* c = rig.Make(300, 300, kDown);
  c->SetWalkModifier(7, false, 2.0f);
  c->SetRunning(true);
  c->SetRunning(true);
  c->SetRunning(false);
  EXPECT_EQ(c->GetRunningCount(), 1);
  std::vector<i32> at;
  for (i32 n = 1; n <= 13; ++n) {
    const i32 before = Silhouettes(*rig.map);
    rig.Tick();
    if (Silhouettes(*rig.map) > before) at.push_back(n);
  }
  EXPECT_EQ(at, (std::vector<i32>{3, 5, 8, 10, 13}));
  const kis::list<MapObject*>& disposed = rig.map->GetDisposed(kLayerStanding);
  ASSERT_GT(disposed.GetCount(), 0);
  EXPECT_TRUE(disposed[0]->IsDead()) << "gone once its fade has run";
  c->SetRunning(false);
  c->SetRunning(false);
  EXPECT_EQ(c->GetRunningCount(), 0);
  const i32 before = Silhouettes(*rig.map);
  rig.Tick(10);
  EXPECT_EQ(Silhouettes(*rig.map), before);
  c->SetWalkModifier(7, false, 1.0f);
  c->SetRunning(true);
  at.clear();
  for (i32 n = 1; n <= 10; ++n) {
    const i32 b = Silhouettes(*rig.map);
    rig.Tick();
    if (Silhouettes(*rig.map) > b) at.push_back(n);
  }
  EXPECT_EQ(at, (std::vector<i32>{4, 9})) << "rate 1: every fifth update, the 10 ms left before carried";
}

// The idle animation's directions are the rows of one sprite of 8 x 8
// frames, two a row; each stands on its position at (4, 7).
TEST(Character, DrawsItsDirectionsRowAtItsPlaceAndLitWhenHighlighted) {
  CharacterRig rig;
  spritetest::SpriteRig art;
  SpriteSet& set = art.Set(kAnimationSpriteSet);
  DXLTexture* t = set.GetTextures()->NewTexture();
  t->SetName(u"girl_rows");
  const std::vector<u8> file = spritetest::Picture(16, 64, 6);
  t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
  auto* sprite = new Sprite(&set, u"girl_rows", t, SPRITEGRID{0, 8, 8, 0, 0, {0, 0, 0, 0}}, false, false, 0);
  GameAnimation* idle = FindAnimation(GetAnimations(), u"girl_idle");
  for (i32 d = 0; d < 8; ++d) {
    ANIMDIRECTION* dir = idle->GetDirection(d);
    dir->spritePtr = sprite;
    dir->first = 2 * d;
    dir->count = 2;
    dir->offsetX = 4;
    dir->offsetY = 7;
  }
  idle->Init();
  MapCharacter* c = rig.Make(100, 50, 1);
  c->drawOffsetX = 2.0f;
  c->AttachToLevel(0);
  DXLViewer& viewer = *art.rig.viewer;
  ASSERT_EQ(viewer.BeginFrame(), 0);
  auto draw = [&] {
    art.calls.Clear();
    rig.map->DrawMapObjects(kLayerStanding);
    return art.calls.Primitives();
  };
  auto p = draw();
  ASSERT_EQ(p.size(), 1u);
  EXPECT_FLOAT_EQ(p[0].world.m[3][0], 98.0f) << "position + draw offset - the frame's foot";
  EXPECT_FLOAT_EQ(p[0].world.m[3][1], 43.0f);
  EXPECT_FLOAT_EQ(p[0].vertices[0].v, 1.0f / 8.0f) << "direction 1's row";
  EXPECT_EQ(p[0].vertices[0].color, 0xFFFFFFFFu);
  c->TurnStep(7);
  c->TurnStep(7);
  c->Highlight();
  p = draw();
  ASSERT_EQ(p.size(), 1u);
  EXPECT_FLOAT_EQ(p[0].vertices[0].v, 7.0f / 8.0f) << "turning keeps the time but takes the new direction's row";
  EXPECT_EQ(p[0].vertices[0].color, 0xFF202020u) << "lit: added to the picture";
  p = draw();
  EXPECT_EQ(p[0].vertices[0].color, 0xFFFFFFFFu) << "the highlight lasts one draw";
  // While an effect runs on her she is not lit, though it leaves her colour.
  c->AddEffect(new SEffect_Wait(1000));
  c->Highlight();
  p = draw();
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].vertices[0].color, 0xFFFFFFFFu);
  viewer.Present();
  idle->Release(true);
}

TEST(Character, SkinsActionsAndRatesFollowTheirRecords) {
  CharacterRig rig;
  GameAnimation* walk2 = new GameAnimation(u"girl_walk_muddy", 8);
  rig.girl->SetSkinCount(2);
  for (const char16_t* n : {u"girl_idle", u"girl_walk", u"girl_build"})
    rig.girl->AddToSkin(0, FindAnimation(GetAnimations(), n));
  for (const char16_t* n : {u"girl_idle", u"girl_walk_muddy"}) rig.girl->AddToSkin(1, FindAnimation(GetAnimations(), n));
  MapCharacter* c = rig.Make(300, 300, kDown);
  EXPECT_EQ(c->GetActivity(), kActivityStart);
  c->PlayAnimation(0, u"girl_walk", kLeft, false, kActivityWalk);
  c->GetAnimationState().frames.elapsed = 170.0f;
  c->SetSkin(1);
  EXPECT_EQ(c->GetAnimation(), walk2) << "the same entry of the other skin";
  EXPECT_EQ(c->GetDirection(), kLeft);
  EXPECT_FLOAT_EQ(c->GetAnimationState().frames.elapsed, 170.0f);
  c->SetSkin(5);
  c->SetSkin(1);
  EXPECT_EQ(c->GetSkin(), 1);
  c->PlayAction(1, kUp);
  EXPECT_EQ(std::u16string(c->GetAnimationName()), u"girl_idle");
  EXPECT_EQ(c->GetActivity(), kActivityIdle);
  EXPECT_EQ(c->GetDirection(), kUp);
  c->PlayAnimation(1, u"girl_build", kDown, false, kActivityWork);  // not in skin 1: nothing plays
  EXPECT_EQ(std::u16string(c->GetAnimationName()), u"girl_idle");

  c->SetRateModifier(2, 9, false, -3.0f);
  EXPECT_FLOAT_EQ(c->GetActivityRate(2), 0.0f) << "a negative rate counts as 0";
  c->SetSpeedModifier(9, false, 1.5f, 3.0f);
  EXPECT_FLOAT_EQ(c->GetAnimationRate(), 1.5f);
  EXPECT_FLOAT_EQ(c->GetActivityRate(kActivityWork), 3.0f);
  c->SetWalkModifier(4, false, 0.5f);
  EXPECT_FLOAT_EQ(c->GetWalkRate(), 0.5f);
  EXPECT_FLOAT_EQ(c->GetWalkActivityRate(), 0.5f);
  c->PlayAnimation(1, u"girl_walk_muddy", kDown, false, kActivityWalk);
  EXPECT_FLOAT_EQ(c->GetSpeedFactor(), 0.5f);
  const float before = c->GetAnimationState().frames.elapsed;
  c->UpdateAnimation();
  EXPECT_FLOAT_EQ(c->GetAnimationState().frames.elapsed - before, 5.0f) << "the tick at the walk activity's rate";
}

struct RefusingTutorial : TutorialHooks {
  bool AllowAction(u32 action, uintptr_t parameter, const void*) override {
    asked.push_back(static_cast<i32>(action * 1000 + parameter));
    return allow;
  }
  void Notify(u32, uintptr_t, const void*) override {}
  std::vector<i32> asked;
  bool allow = false;
};

TEST(Character, ThePlayersWorkWaitsForTheTutorialAndFeedsHerRecords) {
  CharacterRig rig;
  RefusingTutorial tutorial;
  GetResourceServices().tutorial = &tutorial;
  MapPlayer* p = rig.MakePlayer(300, 300, kDown);
  EXPECT_EQ(rig.characters->GetPlayer(), p);
  EXPECT_EQ(rig.map->GetPlayer(), p);
  EXPECT_TRUE(p->IsAttached());
  auto* work = new Job_Animation(p, 52, u"girl_build", -1, 100);
  rig.Tick(3);
  EXPECT_EQ(work->GetStep(), 0) << "held while the tutorial says no";
  EXPECT_EQ(tutorial.asked.size(), 3u);
  EXPECT_EQ(tutorial.asked[0], 105052);
  new Job_GoTo(p, 300, 200, 0, false);  // a walk goes unasked
  tutorial.allow = true;
  EXPECT_GT(rig.TicksUntilIdle(p), 0);
  GetResourceServices().tutorial = nullptr;

  AWARDCOUNTERS& counters = rig.level.profile.counters;
  p->AddWorkDone();
  p->AddWorkDone();
  EXPECT_EQ(counters.records[kAwardRecordWorkStreak], 2);
  p->SetWorkStreak(0, true);
  p->AddWorkDone();
  EXPECT_EQ(counters.records[kAwardRecordWorkStreak], 2) << "a record only rises";
  EXPECT_NEAR(p->GetWalked(), 2.5f, 1e-4f) << "the 100 units walked";
  counters.records[kAwardRecordWalked] = 3;
  p->AddWalked(20.0f);  // 3 units: not beyond the record
  EXPECT_EQ(counters.records[kAwardRecordWalked], 3);
  p->AddWalked(100.0f);
  EXPECT_EQ(counters.records[kAwardRecordWalked], 5);
  p->SetWalked(1.0f, true);
  EXPECT_NEAR(p->GetWalked(), 5.5f, 1e-4f) << "only a larger value is taken";
}

TEST(Character, TheLevelDeletesItsCharactersAndTheirJobsFirst) {
  CharacterRig rig;
  MapCharacter* a = rig.Make(300, 300, kDown);
  MapPlayer* p = rig.MakePlayer(500, 300, kDown);
  new Job_GoTo(a, 600, 300, 0, false);
  new Job_GoTo(p, 100, 300, 0, false);
  rig.Tick(3);
  EXPECT_EQ(rig.characters->GetCharacters().GetCount(), 2);
  p->Release();
  EXPECT_EQ(p->GetJobs().GetCount(), 0);
  delete p;
  EXPECT_EQ(rig.characters->GetPlayer(), nullptr);
  EXPECT_EQ(rig.map->GetPlayer(), nullptr);
  rig.characters.reset();
  EXPECT_EQ(rig.map->GetObjects().GetCount(), 0) << "the character went with its walk";
}

}  // namespace
}  // namespace leveltest

#include <gtest/gtest.h>

#include "base/Random.h"
#include "engine/DXLViewer.h"
#include "level/map/LevelWater.h"
#include "level/map/MapAward.h"
#include "level/map/MapGate.h"
#include "level/map/SpriteObject.h"
#include "pathfinding/MapShapes.h"
#include "MapRig.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/WaitEffects.h"

using namespace leveltest;

namespace {

struct Mover : DynObject {
  explicit Mover(LevelMap& map, std::vector<u32>* log = nullptr) : DynObject(map), drawn(log) {}
  void Draw() override {
    if (drawn) drawn->push_back(GetSerial());
  }
  std::vector<u32>* drawn;
};

// Every band of both layers in (key, serial) order, each object in the band
// of its row; the number of objects in bands.
size_t ExpectBandsSorted(const LevelMap& map) {
  size_t n = 0;
  for (u32 layer = 0; layer < kMapLayers; ++layer) {
    for (i32 band = 0; band < kBandCount; ++band) {
      const kis::list<MapObject*>& list = map.GetBand(layer, band);
      for (i32 i = 0; i < list.GetCount(); ++i, ++n) {
        const MapObject* o = list[i];
        EXPECT_EQ(o->GetBand(), band);
        EXPECT_EQ(LevelMap::BandOf(o->GetSortRow()), band);
        EXPECT_EQ(o->GetLayer(), layer);
        if (i > 0) {
          EXPECT_TRUE(list[i - 1]->SortsBefore(o->GetSortKey(), o->GetSerial())) << "band " << band << " at " << i;
        }
      }
    }
  }
  return n;
}

class MapObjects : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.Make({});
    ASSERT_EQ(rig_.art.rig.viewer->BeginFrame(), 0);
  }
  LevelMap& Map() { return *rig_.map; }
  size_t Drawn() const { return rig_.art.calls.Primitives().size(); }
  MapRig rig_;
};

TEST_F(MapObjects, BandsKeepDepthOrderThroughEveryMoveWithTiesBySerial) {
  EXPECT_EQ(LevelMap::BandOf(-1), 0);  // not placed yet, or above the map
  EXPECT_EQ(LevelMap::BandOf(63), 1);
  EXPECT_EQ(LevelMap::BandOf(64), 2);
  EXPECT_EQ(LevelMap::BandOf(100000), kBandCount - 1);

  std::vector<Mover*> movers;
  for (i32 i = 0; i < 60; ++i) {
    auto* m = new Mover(Map());
    if (i % 3 == 0) m->MoveTo(400.0f, 100.0f);  // ties, kept by serial
    m->AttachToLevel(0);
    movers.push_back(m);
  }
  EXPECT_EQ(ExpectBandsSorted(Map()), 60u);
  EXPECT_EQ(movers[3]->GetBand(), 2);
  kis::srand(7);
  for (i32 round = 0; round < 40; ++round) {
    for (Mover* m : movers) {
      const float x = static_cast<float>(kis::rand() % 1280);
      const float y = static_cast<float>(kis::rand() % 900) - 80.0f;
      m->MoveTo(round % 5 == 0 ? 640.0f : x, round % 5 == 0 ? 300.0f : y);
    }
    ASSERT_EQ(ExpectBandsSorted(Map()), 60u) << "round " << round;
  }
  // Small steps forward and back inside a band, and over a band's edge.
  Mover* m = movers[0];
  m->MoveTo(10.0f, 63.0f);
  EXPECT_EQ(m->GetBand(), 1);
  m->MoveTo(10.0f, 64.0f);
  EXPECT_EQ(m->GetBand(), 2);
  EXPECT_EQ(m->GetSortKey(), 64 * kLevelWidth + 10);
  m->SetSortOffset(5, -10);  // re-sorted at once
  EXPECT_EQ(m->GetBand(), 1);
  EXPECT_EQ(m->GetSortKey(), 54 * kLevelWidth + 15);
  EXPECT_EQ(ExpectBandsSorted(Map()), 60u);

  // Drawn band by band in that order; a detached object is not drawn.
  std::vector<u32> drawn;
  for (Mover* o : movers) o->drawn = &drawn;
  movers[1]->DetachFromLevel();
  EXPECT_EQ(movers[1]->GetBand(), -1);
  EXPECT_FALSE(movers[1]->IsInBand());
  Map().DrawMapObjects(1);
  std::vector<u32> expected;
  for (i32 band = 0; band < kBandCount; ++band)
    for (i32 i = 0; i < Map().GetBand(1, band).GetCount(); ++i) expected.push_back(Map().GetBand(1, band)[i]->GetSerial());
  EXPECT_EQ(drawn, expected);
  EXPECT_EQ(drawn.size(), 59u);
}

TEST_F(MapObjects, AttachWithTheSameFlagsDoesNothingAndOtherFlagsRebuildTheShapes) {
  EXPECT_EQ(SpriteObject::Create(Map(), nullptr, 1, 0, 0, kObjectSprite, nullptr, 0), nullptr);
  SpriteObject* o = SpriteObject::Create(Map(), rig_.place, 1, 300, 200, kObjectPlaceMarker, nullptr, 0);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->GetKind(), kObjectPlaceMarker);
  EXPECT_FALSE(o->IsAttached());
  EXPECT_EQ(o->GetSortKey(), 200 * kLevelWidth + 300);  // stored for the attach
  EXPECT_EQ(rig_.TileShapes(), 0);

  o->AttachToLevel(kAttachObstacles | kAttachClickShapes);
  EXPECT_EQ(o->GetBand(), 4);
  EXPECT_EQ(rig_.TileShapes(), 1);    // (270, 185)..(330, 215): one tile cell
  EXPECT_EQ(rig_.FinderShapes(), 1);  // the footprint, mask bit 29
  const MAPSHAPE* s = rig_.map->GetTileShapes(1, 1)->Get(0);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->owner, reinterpret_cast<uintptr_t>(static_cast<MapObject*>(o)));

  Map().SetHoveredObject(o);
  o->AttachToLevel(kAttachObstacles | kAttachClickShapes);
  EXPECT_EQ(Map().GetHoveredObject(), o);  // not taken out and put back
  o->AttachToLevel(kAttachClickShapes);
  EXPECT_EQ(Map().GetHoveredObject(), nullptr);
  EXPECT_EQ(rig_.TileShapes(), 1);
  EXPECT_EQ(rig_.FinderShapes(), 0);
  o->DetachFromLevel();
  EXPECT_EQ(rig_.TileShapes(), 0);
  EXPECT_EQ(o->GetBand(), -1);

  // The kinds with classes of their own take their layers and no owner.
  EmptyLevelPoint* none = nullptr;
  SpriteObject* gate = SpriteObject::Create(Map(), rig_.gate, 0, 10, 10, kObjectGate, none, 0);
  SpriteObject* water = SpriteObject::Create(Map(), rig_.junk, 1, 10, 10, kObjectWater, none, 0);
  EXPECT_NE(dynamic_cast<MapGate*>(gate), nullptr);
  EXPECT_EQ(gate->GetLayer(), kLayerStanding);
  EXPECT_NE(dynamic_cast<LevelWater*>(water), nullptr);
  EXPECT_EQ(water->GetLayer(), kLayerGround);
  delete o;
  EXPECT_EQ(Map().GetObjects().GetCount(), 2);
}

TEST_F(MapObjects, DisposedObjectsDrawWhileTheirEffectRunsAndGoInTheDrawAfter) {
  GetResourceServices().clock = 1000;
  SpriteObject* a = SpriteObject::Create(Map(), rig_.junk, 1, 100, 100, kObjectSprite, nullptr, 0);
  SpriteObject* b = SpriteObject::Create(Map(), rig_.junk, 1, 200, 100, kObjectSprite, nullptr, 0);
  SpriteObject* c = SpriteObject::Create(Map(), rig_.junk, 1, 300, 100, kObjectSprite, nullptr, 0);
  for (SpriteObject* o : {a, b, c}) o->AttachToLevel(0);
  EXPECT_TRUE(a->Highlight());
  EXPECT_FALSE(a->Highlight());  // once a frame

  EXPECT_EQ(a->DisposeWithEffect(0, new SEffect_Alpha(1.0f, 0.0f, 300, true, 0)), 300u);
  EXPECT_TRUE(a->IsDead());
  EXPECT_FALSE(a->IsHighlighted());
  b->Dispose();
  EXPECT_EQ(b->DisposeWithEffect(50, new SEffect_Wait(100)), 50u);  // dead already: the delay
  EXPECT_EQ(Map().GetDisposed(1).GetCount(), 2);

  size_t before = Drawn();
  Map().DrawMapObjects(1);
  EXPECT_EQ(Drawn() - before, 2u);  // a fading and c; b not drawn, then deleted
  EXPECT_EQ(Map().GetObjects().GetCount(), 2);
  EXPECT_EQ(Map().GetDisposed(1).GetCount(), 1);
  EXPECT_TRUE(c->Highlight());  // drawn: lit again
  GetResourceServices().clock = 1200;
  before = Drawn();
  Map().DrawMapObjects(1);
  EXPECT_EQ(Drawn() - before, 2u);
  EXPECT_EQ(Map().GetObjects().GetCount(), 2);
  GetResourceServices().clock = 1400;  // the effect is over: not drawn, deleted
  before = Drawn();
  Map().DrawMapObjects(1);
  EXPECT_EQ(Drawn() - before, 1u);
  EXPECT_EQ(Map().GetObjects().GetCount(), 1);
  EXPECT_EQ(Map().GetDisposed(1).GetCount(), 0);
  EXPECT_EQ(Map().GetObjects()[0], c);
}

TEST_F(MapObjects, DisposedObjectsGoWithoutADrawOnceTheirEffectsEnd) {
  GetResourceServices().clock = 1000;
  SpriteObject* a = SpriteObject::Create(Map(), rig_.junk, 1, 100, 100, kObjectSprite, nullptr, 0);
  SpriteObject* b = SpriteObject::Create(Map(), rig_.junk, 0, 200, 100, kObjectSprite, nullptr, 0);
  a->AttachToLevel(0);
  b->AttachToLevel(0);
  a->DisposeWithEffect(0, new SEffect_Alpha(1.0f, 0.0f, 300, true, 0));
  b->DisposeWithEffect(0, new SEffect_Wait(100));
  const size_t before = Drawn();
  Map().UpdateDisposed();  // both effects still run
  EXPECT_EQ(Map().GetObjects().GetCount(), 2);
  GetResourceServices().clock = 1150;
  Map().UpdateDisposed();
  EXPECT_EQ(Map().GetObjects().GetCount(), 1);  // the wait is over, never drawn
  GetResourceServices().clock = 1400;
  Map().UpdateDisposed();
  EXPECT_EQ(Map().GetObjects().GetCount(), 0);
  EXPECT_EQ(Map().GetDisposed(0).GetCount() + Map().GetDisposed(1).GetCount(), 0);
  EXPECT_EQ(Drawn(), before);  // nothing was drawn for it
}

TEST_F(MapObjects, GateOpensFrameByFrameNearThePlayerAndStandsWhileTheLevelIsHeld) {
  auto* gate = static_cast<MapGate*>(SpriteObject::Create(Map(), rig_.gate, 1, 500, 300, kObjectGate, nullptr, 0));
  gate->AttachToLevel(0);
  Mover player(Map());
  Map().SetPlayer(&player);
  rig_.level.rules->StartPlay();  // the start lock held the gate until now
  player.MoveTo(0.0f, 0.0f);
  Map().DrawMapObjects(1);
  EXPECT_FALSE(gate->IsNear());
  player.MoveTo(520.0f, 330.0f);  // 20 and 20 from (500, 310)
  Map().DrawMapObjects(1);
  EXPECT_TRUE(gate->IsNear());
  EXPECT_EQ(gate->GetTimePerFrame(), 10u);  // 120 / 20 = 6, at least 10
  EXPECT_EQ(gate->GetTargetFrame(), 19);
  EXPECT_EQ(gate->GetFrame(), 1);  // one update step a draw
  rig_.level.rules->Locks().Lock(kLockWindow);
  Map().DrawMapObjects(1);
  EXPECT_EQ(gate->GetFrame(), 1);
  rig_.level.rules->Locks().Unlock(kLockWindow);
  for (i32 i = 0; i < 30; ++i) Map().DrawMapObjects(1);
  EXPECT_EQ(gate->GetFrame(), 19);
  player.MoveTo(500.0f, 380.0f);  // 70 below: far
  Map().DrawMapObjects(1);
  EXPECT_EQ(gate->GetTargetFrame(), 0);
  EXPECT_EQ(gate->GetFrame(), 18);

  // A gate of one frame never opens, but it stands: it is drawn still.
  auto* still = static_cast<MapGate*>(SpriteObject::Create(Map(), rig_.place, 1, 800, 300, kObjectGate, nullptr, 0));
  ASSERT_NE(still, nullptr);
  still->AttachToLevel(0);
  player.MoveTo(800.0f, 310.0f);
  const size_t drawn = Drawn();
  still->Draw();
  EXPECT_GT(Drawn(), drawn);
  EXPECT_FALSE(still->IsNear());
  EXPECT_EQ(still->GetFrame(), 0);
  Map().SetPlayer(nullptr);
}

TEST_F(MapObjects, TheEasterEggIsCollectedOnceAndTheLevelForgetsIt) {
  auto* egg = static_cast<MapAward*>(SpriteObject::Create(Map(), rig_.place, 0, 640, 400, kObjectAward, nullptr, 0));
  ASSERT_NE(egg, nullptr);
  EXPECT_EQ(Map().GetAward(), egg);
  EXPECT_EQ(egg->GetCursorKind(), kCursorPan);
  egg->AttachToLevel(0);
  EXPECT_EQ(egg->GetAttachFlags(), kAttachClickShapes);  // always clickable
  EXPECT_EQ(egg->GetPointIndex(), -1);
  EXPECT_TRUE(egg->IsHighlighted());  // the mouse over it lights it
  // The language's "easter_egg" text flies up from 32 above it.
  rig_.level.folder.Put("egg.txt", "Language {\n\tIdent = test\n\tlevel_interface {\n\t\teaster_egg = Egg!\n\t}\n}\n");
  GameLanguage language(rig_.level.folder.Wide("egg.txt").c_str());
  SetGameLanguage(&language);
  const size_t from = rig_.Mark();
  EXPECT_EQ(egg->OnClick(), egg);
  egg->OnClick();
  SetGameLanguage(nullptr);
  EXPECT_EQ(rig_.Since(from), (Log{"egg 0 found"}));
  EXPECT_EQ(rig_.level.LabelsSince(0), (Log{"text at 640,368"}));
  EXPECT_TRUE(egg->IsDead());
  EXPECT_EQ(rig_.level.profile.counters.records[0], 1);
  egg->DetachFromLevel();
  EXPECT_EQ(Map().GetAward(), nullptr);
}

}  // namespace

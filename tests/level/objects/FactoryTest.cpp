// Factories on a level with a player: slots per level, production at the
// level's factory rate, the full warehouse holding a finished product,
// refunds, suspension; the production animations; the saved record.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

#include "../CareRig.h"
#include "level/objects/PointFactory.h"
#include "level/rules/WarehouseStock.h"
#include "hud/ASSProductionButton.h"
#include "hud/ASSProductionSlot.h"

using namespace leveltest;

namespace {

struct FactoryLevel : ::testing::Test {
  FactoryLevel() {
    rig.level.LoadKinds({}, {{u"mill", 3, true, kBuildingFactory}});
    mill = rig.level.kinds.Building(u"mill");
    mill->factory.productCount = 2;
    mill->factory.products[0] = kis::NameId(u"cake");
    mill->factory.products[1] = kis::NameId(u"beer");  // no such product: no recipe
    for (const char16_t* name : {u"wheat", u"egg", u"cake"}) rig.level.products.UseProduct(rig.level.Product(name));
    cake = rig.level.Product(u"cake");
    wheat = rig.level.Product(u"wheat");
    egg = rig.level.Product(u"egg");
    cake->productionTime = 10000;
    rig.classes.make = [](LevelMap& map, PointClass, void* record) -> LevelPoint* {
      return new PointFactory(map, static_cast<BUILDING*>(record));
    };
  }
  PointFactory* Factory(i32 i = 0) { return dynamic_cast<PointFactory*>(rig.map->GetPoint(i)); }
  static POINTDEF Mill(i32 level, i32 x = 300) { return POINTDEF{3, level, kis::NameId(u"mill"), 0, {0, 0}, x, 300, 0}; }
  WarehouseStock& Stock() { return *rig.level.rules->Stock(); }
  i32 Count(const PRODUCT* p) { return Stock().GetCount(p); }
  ActiveScreenSprite* Button(i32 i) { return Factory()->GetRecipe(i).button; }
  ActiveScreenSprite* SlotSprite(i32 i) { return Factory()->GetSlot(i).indicator; }

  CareRig rig;
  BUILDING* mill = nullptr;
  PRODUCT* cake = nullptr;
  PRODUCT* wheat = nullptr;
  PRODUCT* egg = nullptr;
};

// Clicks through the buttons: two slots at level 2, a third click refused;
// 10,000 ms at the factory rate 2.0 is exactly 500 ticks; a full warehouse
// holds the product (one message) until the tick after a sale.
TEST_F(FactoryLevel, SlotsFillAtTheFactoryRateAndAFullWarehouseHoldsTheProduct) {
  rig.Build({Mill(2)});
  PointFactory* f = Factory();
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(f->GetRecipeCount(), 1);
  ASSERT_EQ(f->GetSlotCount(), 2);
  ASSERT_NE(Button(0), nullptr);
  Stock().Add(wheat, 6, false);
  Stock().Add(egg, 3, false);
  f->RefreshIngredients();
  EXPECT_EQ(CareRig::Click(SlotSprite(0)), 0u) << "a free slot takes no click";
  EXPECT_NE(CareRig::Click(Button(0)), 0u);
  EXPECT_NE(CareRig::Click(Button(0)), 0u);
  EXPECT_EQ(CareRig::Click(Button(0)), 0u) << "a third product at level 2";
  EXPECT_FALSE(f->StartProduction(0, -1, true));
  EXPECT_EQ(f->GetBusyCount(), 2);
  EXPECT_EQ(Count(wheat), 2);
  EXPECT_EQ(Count(egg), 1);
  EXPECT_EQ(f->GetWorkState(), 1);

  rig.Tick(499);
  EXPECT_EQ(f->GetWorkState(), 2);
  EXPECT_EQ(Count(cake), 0);
  EXPECT_FLOAT_EQ(f->GetSlot(0).progress, 9980.0f);
  rig.Tick();
  EXPECT_EQ(Count(cake), 2);
  EXPECT_EQ(f->GetBusyCount(), 0);
  EXPECT_EQ(f->GetWorkState(), 0);
  EXPECT_EQ(f->GetProductionRun(), 0u) << "idle again";
  EXPECT_EQ(rig.level.rules->GetBestBuildingLevel(), 2);

  // Full: the finished cake waits, the message shows once in 10 s.
  Stock().Add(cake, Stock().GetCapacity(cake) - 2, false);
  Stock().Add(wheat, 2, false);
  f->RefreshIngredients();
  ASSERT_TRUE(f->StartProduction(0, -1, true));
  const size_t from = rig.level.log.size();
  rig.Tick(600);
  EXPECT_EQ(f->GetBusyCount(), 1);
  EXPECT_FLOAT_EQ(f->GetSlot(0).progress, 10000.0f);
  i32 messages = 0;
  for (size_t i = from; i < rig.level.log.size(); ++i) messages += rig.level.log[i].rfind("message", 0) == 0;
  EXPECT_EQ(messages, 1);
  Stock().Take(cake, 1);
  rig.Tick();
  EXPECT_EQ(Count(cake), Stock().GetCapacity(cake));
  EXPECT_EQ(f->GetBusyCount(), 0);
}

// A cancelled slot gives back its ingredients: what no longer fits is
// sold. Suspension removes the buttons and keeps the progress; an upgrade
// keeps it too and adds a slot; buttons stopped jobs took come back.
TEST_F(FactoryLevel, RefundsSellWhatDoesNotFitAndSuspensionOrUpgradeKeepsProgress) {
  rig.Build({Mill(1)});
  PointFactory* f = Factory();
  Stock().Add(wheat, 10, false);
  Stock().Add(egg, 1, false);
  f->RefreshIngredients();
  ASSERT_NE(CareRig::Click(Button(0)), 0u);
  Stock().Add(wheat, 2, false);  // full again
  const i32 money = rig.level.rules->Money().Get();
  EXPECT_NE(CareRig::Click(SlotSprite(0)), 0u);
  EXPECT_EQ(Count(wheat), 10);
  EXPECT_EQ(Count(egg), 1);
  EXPECT_EQ(rig.level.rules->Money().Get(), money + 2 * wheat->price) << "the two that did not fit are sold";
  EXPECT_EQ(f->GetBusyCount(), 0);

  ASSERT_TRUE(f->StartProduction(0, 0, true));
  rig.Tick(100);
  const float made = f->GetSlot(0).progress;
  EXPECT_FLOAT_EQ(made, 2000.0f);
  f->Suspend();
  EXPECT_EQ(Button(0), nullptr);
  EXPECT_EQ(SlotSprite(0), nullptr);
  rig.Tick(100);
  EXPECT_FLOAT_EQ(f->GetSlot(0).progress, made);
  f->Resume();
  ASSERT_NE(SlotSprite(0), nullptr);
  EXPECT_FLOAT_EQ(static_cast<ASSProductionSlot*>(SlotSprite(0))->GetFill(), 0.2f);
  rig.Tick(10);
  EXPECT_FLOAT_EQ(f->GetSlot(0).progress, made + 200.0f);
  // Stopped jobs (a toxic hit) take the buttons; the next stock change
  // brings them back, and a change with the buttons there keeps them.
  f->StopJobs(false);
  EXPECT_EQ(Button(0), nullptr);
  f->Refresh();
  ASSERT_NE(Button(0), nullptr);
  const ActiveScreenSprite* shown = Button(0);
  f->Refresh();
  EXPECT_EQ(Button(0), shown);
  const size_t from = rig.Mark();
  f->SetBeingBuilt(true);
  EXPECT_EQ(SlotSprite(0), nullptr);
  rig.Tick(10);
  EXPECT_FLOAT_EQ(f->GetSlot(0).progress, made + 200.0f) << "no work while it is being upgraded";
  f->SetBeingBuilt(false);
  f->OnSelect();
  EXPECT_EQ(rig.Since(from), (Log{"refresh point panel 0", "refresh point panel 0", "point panel 1001 for 0"}));
  ASSERT_TRUE(f->ChangeLevel(2, false, 0));
  EXPECT_EQ(f->GetSlotCount(), 2);
  EXPECT_EQ(f->GetSlot(0).recipe, &f->GetRecipe(0));
  EXPECT_FLOAT_EQ(f->GetSlot(0).progress, made + 200.0f);
}

// A looping animation wraps; asked to stop, it finishes its cycle; a
// negative frame count plays the image's own frames, at most 32; mirrored,
// x is measured from the other side.
TEST_F(FactoryLevel, AnimationsLoopStopAtTheCycleEndAndTakeTheImagesFrames) {
  rig.Build({});
  Sprite* wheel = rig.level.MakeIcon(u"wheel", kIconSpriteSet, 40);
  FACTORYANIM entry{};
  entry.x = 5;
  entry.frameTime = 100;
  entry.frameCount = 3;
  entry.sequence[0] = 7, entry.sequence[1] = 8, entry.sequence[2] = 9;
  FactoryAnimation a;
  a.Init(entry, wheel, true, 200);
  DXLRECT r{};
  ASSERT_TRUE(wheel->GetFrameRect(0, &r));
  EXPECT_EQ(a.GetX(), static_cast<float>(200 - (r.right - r.left) - 5));
  a.Start(2.0f);
  EXPECT_EQ(a.GetState(), 2);
  a.Advance(160);  // 320 ms scaled: one whole cycle and a frame
  EXPECT_EQ(a.GetFrame(), 0);
  EXPECT_EQ(a.GetShownFrame(), 7u);
  a.Advance(50);
  EXPECT_EQ(a.GetShownFrame(), 8u);
  a.Stop();
  EXPECT_EQ(a.GetState(), 1);
  a.Advance(50);
  EXPECT_EQ(a.GetShownFrame(), 9u) << "the cycle plays on";
  a.Advance(50);
  EXPECT_EQ(a.GetState(), 0);
  EXPECT_EQ(a.GetFrame(), 0);

  entry.frameCount = -1;
  a.Init(entry, wheel, false, 200);
  EXPECT_EQ(a.GetX(), 5.0f);
  EXPECT_EQ(a.GetFrameCount(), 32);
  a.Start(1.0f);
  a.Advance(3150);
  EXPECT_EQ(a.GetShownFrame(), 31u);
  entry.frameCount = 1;
  a.Init(entry, wheel, false, 200);
  a.Start(1.0f);
  EXPECT_EQ(a.GetState(), 0) << "a single frame does not run";
}

// Saved mid-production and restored: slots, progress and the run come
// back; a record that does not fit the factory fails the load.
TEST_F(FactoryLevel, TheRecordRoundTripsAndEveryMisfitFails) {
  rig.Build({Mill(2)});
  Stock().Add(wheat, 4, false);
  Stock().Add(egg, 2, false);
  ASSERT_TRUE(Factory()->StartProduction(0, 1, true));
  rig.Tick(125);
  ASSERT_TRUE(SaveLevelState(rig));
  ASSERT_TRUE(LoadLevelState(rig));
  PointFactory* f = Factory();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->GetBusyCount(), 1);
  EXPECT_EQ(f->GetSlot(0).recipe, nullptr);
  ASSERT_NE(f->GetSlot(1).recipe, nullptr);
  EXPECT_FLOAT_EQ(f->GetSlot(1).progress, 2500.0f);
  EXPECT_EQ(Count(wheat), 2) << "restored slots take nothing";

  const Saved good = Copy(*rig.store.slots[0][0]);
  size_t at = 0;
  while (at + kFactoryRecordSize <= good.data.size() &&
         !(kis::GetU32LE(&good.data[at]) == kFactoryRecordSize && kis::GetU32LE(&good.data[at + 12]) == cake->id))
    ++at;
  ASSERT_LT(at + kFactoryRecordSize, good.data.size() + 1);
  EXPECT_EQ(kis::GetU32LE(&good.data[at + 48]), cake->id);
  EXPECT_FLOAT_EQ(kis::GetF32LE(&good.data[at + 52]), 0.25f);
  auto loadWith = [&](u32 offset, u32 value) {
    Saved bad = good;
    kis::PutU32LE(&bad.data[at + offset], value);
    return rig.LoadFrom(bad);
  };
  EXPECT_TRUE(loadWith(52, std::bit_cast<u32>(7.0f)));
  EXPECT_FLOAT_EQ(Factory()->GetSlot(1).progress, 10000.0f) << "cut to the whole";
  EXPECT_FALSE(loadWith(0, 68));                          // size
  EXPECT_FALSE(loadWith(12, egg->id));                    // another recipe
  EXPECT_FALSE(loadWith(8, 2));                           // recipe count
  EXPECT_FALSE(loadWith(32, 3));                          // slot count
  EXPECT_FALSE(loadWith(36, 2));                          // busy count
  EXPECT_FALSE(loadWith(48, egg->id));                    // a product that is no recipe
  EXPECT_FALSE(loadWith(64, cake->id));                   // a slot beyond the level
  EXPECT_FALSE(loadWith(52, std::bit_cast<u32>(NAN)));    // progress not a number
  EXPECT_TRUE(loadWith(4, 0));
}

}  // namespace

// The warehouse stock, the money and its counter, storing and selling goods,
// the warehouse-full message and the ingredients of a recipe.
#include <algorithm>

#include "LevelRig.h"
#include "level/rules/MoneyCounter.h"
#include "level/scene/LevelServices.h"

using namespace leveltest;

namespace {

struct Recorder : StockListener, MoneyListener {
  Recorder(Log& l, const char* n) : log(l), name(n) {}
  void OnStockChanged(const STOCKENTRY& e) override {
    log.push_back(std::string(name) + " " + Narrow(e.product->name) + " " + std::to_string(e.count) + "/" +
                  std::to_string(e.capacity));
  }
  void OnMoneyChanged() override { log.push_back(name); }
  Log& log;
  const char* name;
};

std::vector<std::string> Order(const WarehouseStock& s) {
  std::vector<std::string> v;
  for (i32 i = 0; i < s.GetEntryCount(); ++i) v.push_back(Narrow(s.GetEntry(i).product->name));
  return v;
}

}  // namespace

TEST(WarehouseStock, KeepsArrivalOrderFillsToCapacityAndOnlyEverRaisesItsLevel) {
  LevelRig rig;
  PRODUCT* wheat = rig.Product(u"wheat");
  PRODUCT* egg = rig.Product(u"egg");
  WarehouseStock stock(&rig.products, 77, nullptr);
  Log log;
  Recorder first(log, "first"), second(log, "second");
  stock.AddListener(&first);
  stock.AddListener(&second);
  stock.AddListener(&second);  // once only

  EXPECT_EQ(stock.Add(nullptr, 3, true), 0);
  EXPECT_EQ(stock.Add(wheat, 0, true), 0);
  EXPECT_EQ(stock.GetFree(nullptr, 5), 0);
  EXPECT_EQ(stock.GetFree(wheat, 0), 0);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(stock.GetFree(wheat, 15), 10);  // not in stock yet: the whole capacity
  EXPECT_EQ(stock.Add(wheat, 4, false), 4);
  EXPECT_EQ(stock.Add(egg, 12, false), 10);  // a full stock
  EXPECT_EQ(stock.Add(egg, 1, false), 0);
  EXPECT_EQ(stock.GetFree(egg, 1), 0);
  // The last registered hears first, also of an add that stored nothing.
  EXPECT_EQ(log, (Log{"second wheat 4/10", "first wheat 4/10", "second egg 10/10", "first egg 10/10",
                      "second egg 10/10", "first egg 10/10"}));

  // Taking the last unit removes the entry; the next add comes at the end.
  EXPECT_EQ(stock.Take(wheat, 9), 4);
  EXPECT_EQ(stock.FindEntry(wheat), -1);
  EXPECT_EQ(stock.Take(wheat, 1), 0);
  EXPECT_EQ(stock.Take(egg, 0), 0);
  stock.Add(wheat, 1, false);
  EXPECT_EQ(Order(stock), (std::vector<std::string>{"egg", "wheat"}));

  // Capacities rise with the storage level and never fall; counts stay.
  stock.SetLevel(3);
  EXPECT_EQ(stock.GetEntry(0).capacity, 30);
  EXPECT_EQ(stock.GetEntry(1).capacity, 30);
  EXPECT_EQ(stock.GetCount(egg), 10);
  stock.SetLevel(2);
  stock.SetLevel(3);
  EXPECT_EQ(stock.GetLevel(), 3);
  EXPECT_EQ(stock.GetEntry(0).capacity, 30);
  EXPECT_EQ(stock.GetFree(rig.Product(u"cake"), 50), 30);
  EXPECT_EQ(stock.GetWorth(), 10 * 5 + 1 * 2);
  EXPECT_EQ(stock.GetValue(), 77);

  // Without limits every count reads full, and storing still goes by the
  // true count.
  GetLevelServices().warehouseNoLimits = true;
  EXPECT_EQ(stock.GetCount(wheat), 30);
  EXPECT_EQ(stock.GetTrueCount(wheat), 1);
  EXPECT_EQ(stock.GetFree(wheat, 100), 29);
  EXPECT_EQ(stock.Add(wheat, 5, false), 5);
  EXPECT_EQ(stock.GetTrueCount(wheat), 6);
}

TEST(LevelMoney, ClampsIgnoresSignsTellsListenersLastFirstAndReservesOnlyWhatThereIs) {
  Log log;
  Recorder a(log, "a"), b(log, "b");
  LevelMoney money;
  money.AddListener(&a);
  money.AddListener(&b);
  EXPECT_EQ(money.Set(99800), 99800);
  EXPECT_EQ(money.Add(500), 99999);
  EXPECT_EQ(money.Add(1), 99999);  // unchanged: nobody is told
  EXPECT_EQ(log, (Log{"b", "a", "b", "a"}));
  money.Set(20);
  EXPECT_EQ(money.Subtract(50), 0);
  EXPECT_EQ(money.Add(-30), 30);
  EXPECT_EQ(money.Subtract(-10), 20);
  EXPECT_EQ(money.Change(-25), 0);
  EXPECT_EQ(money.Change(7), 7);
  EXPECT_EQ(money.Add(INT32_MIN), 99999);
  EXPECT_EQ(money.Set(-5), 0);
  EXPECT_FALSE(money.HasAtLeast(1));

  // A job costing 100 with 50 in hand takes 50, and cancelling it gives back
  // the 50 it took.
  money.RemoveListener(&b);
  log.clear();
  money.Set(50);
  const i32 reserved = money.Reserve(100);
  EXPECT_EQ(reserved, 50);
  EXPECT_EQ(money.Get(), 0);
  EXPECT_EQ(money.Reserve(10), 0);
  EXPECT_EQ(money.Reserve(-5), 0);
  money.Add(reserved);
  EXPECT_EQ(money.Get(), 50);
  EXPECT_EQ(log, (Log{"a", "a", "a"}));
}

TEST(MoneyCounter, CountsInWholeStepsSlowsForRoundFiguresAndNeverDividesByZero) {
  MoneyCounter c;
  c.SetTarget(3000, 1000, 0, 0);  // 3000 x 30 > 1000: 90.9 units a step
  EXPECT_EQ(c.GetDuration(), 1000);
  EXPECT_EQ(c.GetStepTime(), 30);
  c.Update(29);
  EXPECT_EQ(c.GetShown(), 0);
  c.Update(30);
  EXPECT_EQ(c.GetShown(), 90);
  c.Update(1000);
  EXPECT_EQ(c.GetShown(), 3000);

  MoneyCounter slow;
  slow.SetTarget(150, 1000, 0, 0);  // 4.55 a step rounds to 5
  EXPECT_EQ(slow.GetStepTime(), 34);

  MoneyCounter one;
  one.SetTarget(10, 1000, 500, 100);  // one unit a step: 300 ms, after a delay of 100
  EXPECT_EQ(one.GetDuration(), 300);
  one.Update(590);
  EXPECT_EQ(one.GetShown(), 0);
  one.Update(630);
  EXPECT_EQ(one.GetShown(), 1);
  one.Update(749);
  EXPECT_EQ(one.GetShown(), 4);
  one.Update(900);
  EXPECT_EQ(one.GetShown(), 10);
  one.SetTarget(4, 1000, 1000, 0);  // down again
  one.Update(1060);
  EXPECT_EQ(one.GetShown(), 8);

  MoneyCounter quick;
  quick.SetTarget(1, 20, 0, 0);  // shorter than a step
  EXPECT_EQ(quick.GetDuration(), 20);
  quick.Update(10);
  EXPECT_EQ(quick.GetShown(), 0);
  quick.Update(20);
  EXPECT_EQ(quick.GetShown(), 1);
  quick.SetTarget(77, 0, 0, 0);
  EXPECT_EQ(quick.GetShown(), 77);
  EXPECT_EQ(quick.GetDelta(), 0);
}

// 6 of 10 in stock: 10 more store 4 and sell 6 at 2 each; a product task
// counts all 10; with none fitting nothing is stored or sold.
TEST(LevelRules, StoringSellsTheOverflowOnlyWhenSomethingFitsAndWarnsOncePerTenSeconds) {
  LevelRig rig;
  PRODUCT* wheat = rig.Product(u"wheat");
  rig.SetTasks(0, {{kTaskProducts, wheat->id, 0, 100}});
  LevelRules& level = rig.Make();
  level.Stock()->Add(wheat, 6, true);
  EXPECT_EQ(level.Tasks().GetProgress(0), 6);
  GameMessager messager;
  const size_t from = rig.log.size(), labels = rig.LabelMark();
  EXPECT_EQ(level.StoreProduct(wheat, 10, 0, 100, 200, -30, &messager), 4);
  EXPECT_EQ(level.Money().Get(), 312);
  EXPECT_EQ(level.Tasks().GetProgress(0), 16);
  EXPECT_EQ(rig.profile.counters.records[kAwardRecordMoney], 12);
  EXPECT_EQ(rig.profile.counters.tiered[0], 10);
  EXPECT_EQ(rig.Since(from), (Log{"profile saved", "message 1 warehouse_full_ex 15000", "task 0 10", "award 0 0 1"}));
  EXPECT_EQ(rig.LabelsSince(labels), (Log{"icon wheat 4 at 100,170 after 0 to 0", "coins 12 at 100,190 after 100"}));

  // Full: the caller keeps its goods; the message waits for its 10 s.
  const size_t full = rig.log.size(), fullLabels = rig.LabelMark();
  EXPECT_EQ(level.StoreProduct(wheat, 3, -1, 0, 0, 0, &messager), 0);
  EXPECT_EQ(level.CheckStoreSpace(wheat, 1, &messager), 0);
  EXPECT_EQ(level.Money().Get(), 312);
  EXPECT_EQ(level.Tasks().GetProgress(0), 16);
  EXPECT_EQ(rig.Since(full), Log{});
  EXPECT_EQ(rig.LabelsSince(fullLabels), Log{});
  rig.clock.Advance(10000);
  EXPECT_EQ(level.CheckStoreSpace(wheat, 1, &messager), 0);
  EXPECT_EQ(level.CheckStoreSpace(wheat, 1, nullptr), 0);  // without a messager, always
  EXPECT_EQ(rig.Since(full), (Log{"message 1 warehouse_full 5000", "message 1 warehouse_full 5000"}));

  // Clicking the message opens the warehouse on the product, until there is a result.
  rig.hud.messageAnswer->OnMessageAnswer(1, wheat);
  rig.hud.messageAnswer->OnMessageAnswer(2, wheat);
  level.Tasks().Lose(0);
  rig.hud.messageAnswer->OnMessageAnswer(1, wheat);
  EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "warehouse window wheat"), 1);

  // The first time with tutorials on, the message stays until closed and
  // its tutorial starts.
  LevelRig tutored;
  tutored.profile.tutorials = true;
  EXPECT_EQ(tutored.Make().CheckStoreSpace(tutored.Product(u"egg"), 11, nullptr), 10);
  EXPECT_EQ(tutored.log, (Log{"profile saved", "message 2 warehouse_full_ex -1", "warehouse tutorial egg"}));
}

// The cake takes 2 wheat and 1 egg; the egg's room holds 10.
TEST(LevelRules, IngredientsComeFromTheStockAreGivenBackAndFlyInOrOut) {
  LevelRig rig;
  LevelRules& level = rig.Make();
  PRODUCT* cake = rig.Product(u"cake");
  EXPECT_FALSE(level.HasIngredients(cake));
  EXPECT_FALSE(level.HasIngredients(nullptr));
  level.AddIngredientsToStock(cake, 3);
  EXPECT_EQ(level.Stock()->GetCount(rig.Product(u"wheat")), 6);
  EXPECT_EQ(level.Stock()->GetCount(rig.Product(u"egg")), 3);
  EXPECT_TRUE(level.HasIngredients(cake));
  level.TakeIngredients(cake);
  EXPECT_EQ(level.Stock()->GetCount(rig.Product(u"wheat")), 4);
  EXPECT_EQ(level.Stock()->GetCount(rig.Product(u"egg")), 2);
  // A give-back fills the room and sells the rest, saying nothing.
  PRODUCT* egg = rig.Product(u"egg");
  const i32 money = level.Money().Get();
  level.GiveBack(egg, 12);
  EXPECT_EQ(level.Stock()->GetCount(egg), 10);
  EXPECT_EQ(level.Money().Get(), money + 4 * egg->price);
  level.AnimateIngredients(cake, 300, 400, true);
  level.AnimateIngredients(cake, 300, 400, false);
  EXPECT_EQ(rig.log, Log{});
  // The ingredients fly with their second icon.
  EXPECT_EQ(rig.LabelsSince(0), (Log{"icon wheat2 2 at 300,380 after 0 to 0", "icon egg2 1 at 300,400 after 100 to 0",
                                     "icon wheat2 -2 at 300,400 after 0 to 0", "icon egg2 -1 at 300,400 after 200 to -10"}));
}

// Record awards here need 100; tiered ones 10, 20 and 1000.
TEST(LevelRules, AwardHooksNoticeEachCrossingOnceAndKeepTheBestBuildingLevel) {
  LevelRig rig;
  LevelRules& level = rig.Make();
  level.SetVillainsInRow(99, true);
  level.IncVillainsInRow(true);
  level.IncVillainsInRow(true);
  level.SetVillainsInRow(0, true);  // a reset stores 0 and tells nobody
  EXPECT_EQ(rig.profile.villainsInRow, 0);
  EXPECT_EQ(rig.profile.counters.records[kAwardRecordVillainsInRow], 101);
  level.NoteBuildingLevel(3, false);
  level.NoteBuildingLevel(2, true);
  EXPECT_EQ(level.GetBestBuildingLevel(), 3);
  EXPECT_EQ(rig.profile.counters.records[kAwardRecordBuildingLevel], 3);
  level.AddAwardProgress(4, 25);  // past two tiers: one notice
  level.AddAwardProgress(4, 1);
  level.RaiseAwardRecord(kAwardRecordMoney, 150, true, false);  // crossed, but not to be shown
  EXPECT_EQ(rig.log, (Log{"award 1 3 1", "award 0 4 2"}));
  // Money in and out flies as coins; income counts as earned.
  level.ChangeMoney(50, 10, 20, 5);
  level.ChangeMoney(-400, 10, 20, 5);
  level.ChangeMoney(0, 10, 20, 5);
  EXPECT_EQ(level.Money().Get(), 0);
  EXPECT_EQ(rig.profile.counters.records[kAwardRecordMoney], 200);
  EXPECT_EQ(rig.log.size(), 2u);
  EXPECT_EQ(rig.LabelsSince(0), (Log{"coins 50 at 10,25 after 0", "coins -400 at 10,25 after 0"}));
  rig.hooks.profile = nullptr;  // no profile: nothing is counted, nothing breaks
  LevelRules bare(0, 0, &rig.Info(), rig.hooks);
  bare.SetVillainsInRow(500, true);
  bare.RaiseAwardRecord(kAwardRecordMoney, 500, true, true);
  EXPECT_EQ(rig.log.size(), 2u);
  EXPECT_EQ(rig.LabelMark(), 2u);
}

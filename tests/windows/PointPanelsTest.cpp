// The built points' panels on a level with a player: their layout at three
// screen widths, the upgrade button's price and enabling (level, limit,
// damage, build job), the upgrade command queuing and reserving or refusing
// (the limit, short money, a disabled button), the feed button's amount and
// enabling and its command, the remove command at a construction site, the
// level block's hint through the item descriptions, and the router.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../level/CareRig.h"
#include "PanelRig.h"
#include "content/BuildingTable.h"
#include "content/PlantTable.h"
#include "level/map/LevelPointCare.h"
#include "level/objects/Job_Build.h"
#include "level/objects/PointFactory.h"
#include "level/objects/PointPetshouse.h"
#include "level/objects/PointPlant.h"
#include "level/rules/WarehouseStock.h"
#include "platform/encoding/Utf.h"
#include "windows/CLPLevelBlock.h"
#include "windows/PointPanelRouter.h"
#include "windows/PointPanels.h"

namespace windowstest {
namespace {

using leveltest::CareRig;

// What the item descriptions were asked: the tag and the two context words.
std::vector<std::string> g_asked;
bool RecordTag(const wchar* name, u32 length, wchar* /*out*/, u32 room, u32* written, uintptr_t c1, uintptr_t c2) {
  g_asked.push_back(plat::Utf16ToUtf8(std::u16string(name, length)) + " " + std::to_string(c1) + " " +
                    std::to_string(c2));
  if (room < 1) return false;
  *written = 0;
  return true;
}

// A level of a factory ("mill", limit 3), an animal house ("barn", limit 3,
// feeding 2, 4, 6 wheat by level) and wheat beds (limit 3); the steps cost
// 100, 200, 300 and 400.
// The host outlives the map, whose points call it while they go.
struct HostFirst {
  LevelPanelHost host;
};

class PanelLevel : public HostFirst, public CareRig {
 public:
  explicit PanelLevel(i32 width = 800) {
    PanelRig::Screen(width, 600);
    manager = new WindowManager;
    GetGameServices().windowManager = manager;
    GetGameServices().itemDescription = &RecordTag;
    g_asked.clear();
    for (const wchar* icon : {u"ico_upgrade", u"ico_delete", u"ico_empty"}) AddIcon(icon);
    level.LoadKinds({{u"wheat", 3, true}}, {{u"mill", 3, true, kBuildingFactory},
                                            {u"cowshed", 3, true, kBuildingAnimalHouse}});
    mill = level.kinds.Building(u"mill");
    barn = level.kinds.Building(u"cowshed");
    bed = level.kinds.Plant(u"wheat");
    wheat = level.Product(u"wheat");
    level.products.UseProduct(wheat);  // the mill makes it
    for (i32 i = 0; i < 4; ++i) {
      mill->levels[i].price = barn->levels[i].price = 100 * (i + 1);
      bed->prices[i] = 100 * (i + 1);
      barn->levels[i].house.feedAmount = static_cast<u32>(2 * (i + 1));
    }
    barn->feedProduct = wheat;
    barn->house.feedProduct = wheat->id;
    barn->house.feedTime = 300;
    classes.make = [](LevelMap& on, PointClass c, void* record) -> LevelPoint* {
      if (c == kPointPlantBed) return new PointPlant(on, static_cast<PLANT*>(record));
      auto* b = static_cast<BUILDING*>(record);
      if (!b) return nullptr;
      if (b->kind == kBuildingFactory) return new PointFactory(on, b);
      return new PointPetshouse(on, b);
    };
    panelsHook = &host;
  }
  ~PanelLevel() override {
    host.DeletePanel();
    delete manager;
    GetGameServices().windowManager = nullptr;
    GetGameServices().itemDescription = nullptr;
  }
  void AddIcon(const wchar* name) {
    SpriteSet& s = art.Set(2);
    DXLTexture* t = s.GetTextures()->NewTexture();
    t->SetName(name);
    const std::vector<u8> file = spritetest::Picture(48, 48, 2);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    (new Sprite(&s, name, t, SPRITEGRID{1, 48, 48, 0, 0, {0, 0, 0, 0}}, false, false, 0))->Init();
  }
  // Mill, barn and bed at these levels (-1 leaves the place empty), the panel made.
  void Make(i32 millLevel, i32 barnLevel, i32 bedLevel) {
    std::vector<POINTDEF> points = {
        POINTDEF{3, millLevel, kis::NameId(u"mill"), 0, {0, 0}, 300, 300, 0},
        POINTDEF{3, barnLevel, kis::NameId(u"cowshed"), 0, {0, 0}, 700, 300, 0},
        POINTDEF{2, bedLevel, kis::NameId(u"wheat"), 0, {0, 0}, 1000, 500, 0},
    };
    Build(std::move(points));
    host.CreatePanel(*map);
    panel = host.GetPanel();
  }
  PointPanel* Select(i32 i) {
    map->Points().SelectPoint(i, false);
    return dynamic_cast<PointPanel*>(panel->GetCurrentChild());
  }
  LevelPoint* Point(i32 i) const { return static_cast<LevelPoint*>(map->GetPoint(i)); }
  i32 Left(const GameButton* b) const { return b->GetRect().left; }
  i32 Money() const { return level.rules->Money().Get(); }
  WarehouseStock& Stock() { return *level.rules->Stock(); }

  WindowManager* manager = nullptr;
  LevelPanel* panel = nullptr;
  BUILDING *mill = nullptr, *barn = nullptr;
  PLANT* bed = nullptr;
  PRODUCT* wheat = nullptr;
};

// Each page at 800, 850 and 1280 pixels: the level block at the left margin
// plus 42, the factory's and the bed's upgrade at plus 196, the animal
// house's feed and upgrade in two cells over 147 at plus 171, the remove
// button at the width minus the right margin minus 90.
TEST(PointPanels, LayoutAtThreeWidths) {
  for (const i32 width : {800, 850, 1280}) {
    SCOPED_TRACE(width);
    PanelLevel rig(width);
    rig.Make(1, 1, 1);
    for (i32 i = 0; i < 3; ++i) {
      PointPanel* page = rig.Select(i);
      ASSERT_NE(page, nullptr);
      EXPECT_EQ(page->GetPoint(), rig.Point(i));
      const i32 x = page->GetX(), lm = page->GetLeftMargin(), rm = page->GetRightMargin();
      EXPECT_EQ(lm + rm + kPanelCentralWidth, page->GetWidth());
      EXPECT_EQ(page->GetLevelBlock()->GetRect().left, x + lm + 42);
      EXPECT_EQ(rig.Left(page->GetRemoveButton()), x + page->GetWidth() - rm - 90);
      const GameButton* upgrade = page->GetUpgradeButton();
      if (auto* pets = dynamic_cast<PetshousePanel*>(page)) {
        EXPECT_EQ(page->GetKind(), 0x1002);
        EXPECT_EQ(rig.Left(pets->GetFeedButton()), x + lm + 171);
        EXPECT_EQ(pets->GetFeedButton()->GetRect().right - rig.Left(pets->GetFeedButton()), 74);
        EXPECT_EQ(rig.Left(upgrade), x + lm + 171 + 74);
        EXPECT_EQ(upgrade->GetRect().right, x + lm + 171 + 147);
      } else {
        EXPECT_EQ(page->GetKind(), i == 0 ? 0x1001 : 0x10000);
        EXPECT_EQ(rig.Left(upgrade), x + lm + 196);
        EXPECT_EQ(upgrade->GetRect().right - rig.Left(upgrade), 98);
      }
      EXPECT_EQ(upgrade->GetRect().top, page->GetY() + 7);
    }
    // Each kind is made once: the factory's page is found again.
    PointPanel* first = rig.Select(0);
    rig.Select(2);
    EXPECT_EQ(rig.Select(0), first);
    EXPECT_EQ(rig.panel->Children().size(), 3u);
  }
}

// The building's upgrade: price of record max(level, 1) below the limit,
// else 0; enabled only at a level above 0 below the limit, undamaged and
// without a build job. Its command queues the job and reserves the price,
// and refuses at the limit, short of money, or while disabled.
TEST(PointPanels, BuildingUpgradePriceEnablingAndCommand) {
  PanelLevel rig;
  rig.Make(0, 2, 1);
  rig.level.rules->Money().Change(1000 - rig.Money());
  // The mill's site (the rig makes the points before the player: its job
  // is queued here).
  auto* site = static_cast<PointBuilding*>(rig.Point(0));
  ASSERT_NE(Job_Build::Create(*site), nullptr);
  PointPanel* page = rig.Select(0);
  ASSERT_NE(dynamic_cast<FactoryPanel*>(page), nullptr);
  LevelPanelButton* upgrade = page->GetUpgradeButton();
  EXPECT_EQ(upgrade->GetCount(), 200) << "record 1 at level 0";
  EXPECT_FALSE(upgrade->IsEnabled());
  EXPECT_EQ(page->GetLevelBlock()->GetLevels(), 3);
  EXPECT_EQ(page->GetLevelBlock()->GetCurrent(), 0);

  // The barn at level 2: the price of level 3 (record 2), enabled.
  page = rig.Select(1);
  auto* barn = static_cast<PointPetshouse*>(rig.Point(1));
  upgrade = page->GetUpgradeButton();
  EXPECT_EQ(upgrade->GetCount(), 300);
  EXPECT_TRUE(upgrade->IsEnabled());
  // Damaged: disabled, and the command does nothing.
  const DAMAGESOURCE hit{leveltest::kVillain, 100000};
  AddDamage(*rig.map, 1, &hit, false);
  page->Refresh();
  EXPECT_FALSE(upgrade->IsEnabled());
  page->OnCommand(upgrade);
  EXPECT_EQ(barn->GetBuildJob(), nullptr);
  barn->DeleteDamage();
  page->Refresh();
  EXPECT_TRUE(upgrade->IsEnabled());

  // Short of money the command is refused; with it the job is queued and
  // the price reserved; then the button is disabled.
  rig.level.rules->Money().Change(299 - rig.Money());
  EXPECT_FALSE(upgrade->IsEnabled()) << "the money follows";
  page->OnCommand(upgrade);
  EXPECT_EQ(barn->GetBuildJob(), nullptr);
  rig.level.rules->Money().Change(1);
  EXPECT_TRUE(upgrade->IsEnabled());
  EXPECT_EQ(page->OnCommand(upgrade), 0u);
  ASSERT_NE(barn->GetBuildJob(), nullptr);
  EXPECT_EQ(barn->GetBuildJob()->GetCost(), 300);
  EXPECT_EQ(rig.Money(), 0);
  EXPECT_FALSE(upgrade->IsEnabled()) << "a build job";
  Job_Build* job = barn->GetBuildJob();
  page->OnCommand(upgrade);
  EXPECT_EQ(barn->GetBuildJob(), job) << "not queued twice";

  // Built to level 3, the limit: price 0, disabled, and the command (which
  // a price of 0 would let through any money test) does nothing.
  ASSERT_GT(rig.TickUntil([&] { return barn->GetLevel() == 3; }, 5000), 0);
  EXPECT_EQ(upgrade->GetCount(), 0);
  EXPECT_FALSE(upgrade->IsEnabled());
  EXPECT_EQ(page->GetLevelBlock()->GetCurrent(), 3) << "the level block follows";
  page->OnCommand(upgrade);
  EXPECT_EQ(barn->GetBuildJob(), nullptr);
  EXPECT_EQ(rig.Money(), 0);
}

// The animal house's feed button: the feed product with the amount of
// record max(level - 1, 0), enabled at a level above 0, not fed, without a
// feeding or build job, while the stock holds the amount; its command feeds.
TEST(PointPanels, FeedButtonAmountEnablingAndCommand) {
  PanelLevel rig;
  rig.Make(1, 2, 1);
  auto* pets = dynamic_cast<PetshousePanel*>(rig.Select(1));
  ASSERT_NE(pets, nullptr);
  auto* barn = static_cast<PointPetshouse*>(rig.Point(1));
  LevelPanelButton* feed = pets->GetFeedButton();
  EXPECT_EQ(feed->GetId(), 0xc9000004u);
  EXPECT_EQ(feed->GetCount(), 4) << "record 1 at level 2";
  EXPECT_EQ(feed->GetProduct(), rig.wheat);
  EXPECT_FALSE(feed->IsEnabled()) << "no wheat";
  pets->OnCommand(feed);
  EXPECT_EQ(barn->GetFeedJob(), nullptr);
  rig.Stock().Add(rig.wheat, 4, false);
  EXPECT_TRUE(feed->IsEnabled()) << "the stock follows";
  pets->OnCommand(feed);
  ASSERT_NE(barn->GetFeedJob(), nullptr);
  EXPECT_EQ(rig.Stock().GetCount(rig.wheat), 0);
  rig.Stock().Add(rig.wheat, 8, false);
  EXPECT_FALSE(feed->IsEnabled()) << "a feeding job";
  ASSERT_GT(rig.TickUntil([&] { return barn->IsFed(); }), 0);
  EXPECT_FALSE(feed->IsEnabled()) << "fed";
  pets->OnCommand(feed);
  EXPECT_EQ(rig.Stock().GetCount(rig.wheat), 8) << "fed: nothing taken";
  barn->SetFed(false, false);
  EXPECT_TRUE(feed->IsEnabled());
  // An upgrade queued: disabled.
  rig.level.rules->Money().Change(1000);
  pets->OnCommand(pets->GetUpgradeButton());
  ASSERT_NE(barn->GetBuildJob(), nullptr);
  EXPECT_FALSE(feed->IsEnabled());

  // A barn of level 1 and a site: the amount of record 0.
  PanelLevel low;
  low.Make(1, 0, 1);
  auto* site = dynamic_cast<PetshousePanel*>(low.Select(1));
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(site->GetFeedButton()->GetCount(), 2);
  low.Stock().Add(low.wheat, 9, false);
  EXPECT_FALSE(site->GetFeedButton()->IsEnabled()) << "level 0";
}

// The bed's upgrade: price k = max(level, 1) of the plant below its limit;
// the command queues the digging and reserves the price. The remove command
// on a construction site leaves an empty place.
TEST(PointPanels, PlantUpgradeAndRemove) {
  PanelLevel rig;
  rig.Make(0, 1, 1);
  // The mill's site: the remove command gives up the construction.
  PointPanel* page = rig.Select(0);
  ASSERT_NE(page, nullptr);
  ASSERT_NE(page->GetRemoveButton(), nullptr);
  EXPECT_EQ(page->GetRemoveButton()->GetId(), 0xc9000002u);
  page->OnCommand(page->GetRemoveButton());
  EXPECT_EQ(rig.map->GetPoint(0)->GetKind(), kPointKindEmpty);
  EXPECT_EQ(dynamic_cast<PointPanel*>(rig.panel->GetCurrentChild()), nullptr) << "the place's panel shows";
  EXPECT_EQ(page->GetPoint(), nullptr);

  rig.level.rules->Money().Change(1000 - rig.Money());
  page = rig.Select(2);
  ASSERT_NE(dynamic_cast<PlantPanel*>(page), nullptr);
  auto* bed = static_cast<BasePointPlant*>(rig.Point(2));
  LevelPanelButton* upgrade = page->GetUpgradeButton();
  EXPECT_EQ(upgrade->GetCount(), 200);
  EXPECT_TRUE(upgrade->IsEnabled());
  page->OnCommand(upgrade);
  ASSERT_NE(bed->GetPlantJob(), nullptr);
  EXPECT_EQ(rig.Money(), 800);
  EXPECT_FALSE(upgrade->IsEnabled());
  page->OnCommand(upgrade);
  EXPECT_EQ(rig.Money(), 800) << "not twice";
  ASSERT_GT(rig.TickUntil([&] { return bed->GetLevel() == 2; }, 5000), 0);
  EXPECT_EQ(upgrade->GetCount(), 300);
  EXPECT_EQ(page->GetLevelBlock()->GetCurrent(), 2);
  bed->SetLevel(3, false, 0);
  page->Refresh();
  EXPECT_EQ(upgrade->GetCount(), 0);
  EXPECT_FALSE(upgrade->IsEnabled());
  page->OnCommand(upgrade);
  EXPECT_EQ(bed->GetPlantJob(), nullptr) << "the limit";
  EXPECT_EQ(rig.Money(), 800);

}

// The level block's hint goes through the item descriptions with the kind
// and the object as its context words; it is made once and only its data
// changes for another point. The router shows a page only for a point of
// its class and refreshes only the page showing the point.
TEST(PointPanels, LevelBlockHintAndRouter) {
  PanelLevel rig;
  rig.Make(1, 2, 1);
  PointPanel* page = rig.Select(0);
  CLPLevelBlock* block = page->GetLevelBlock();
  block->ShowHint();
  const std::string mill = "MBLDNG N " + std::to_string(0x1000001) + " " +
                           std::to_string(reinterpret_cast<uintptr_t>(rig.Point(0)));
  ASSERT_FALSE(g_asked.empty());
  EXPECT_EQ(g_asked.back(), mill);
  HintWindow* hint = block->GetHintWindow();
  ASSERT_NE(hint, nullptr);

  page = rig.Select(2);
  page->GetLevelBlock()->ShowHint();
  EXPECT_EQ(g_asked.back(), "PLANT N " + std::to_string(0x1000002) + " " +
                                std::to_string(reinterpret_cast<uintptr_t>(rig.bed)));
  EXPECT_EQ(page->GetLevelBlock()->GetLevels(), 3);

  // Two factories would share the page: the same hint window, new data.
  PointPanel* factory = rig.Select(0);
  EXPECT_EQ(factory->GetLevelBlock(), block);
  EXPECT_EQ(block->GetHintWindow(), hint);

  // Wrong classes and no point: nothing.
  EXPECT_EQ(PointPanelRouter::Show(*rig.panel, kPanelAnimalHouse, rig.Point(0)), nullptr);
  EXPECT_EQ(PointPanelRouter::Show(*rig.panel, kPanelPlant, rig.Point(1)), nullptr);
  EXPECT_EQ(PointPanelRouter::Show(*rig.panel, 0x1234, rig.Point(0)), nullptr);
  EXPECT_EQ(rig.host.ShowPointPanel(kPanelFactory, nullptr), nullptr);
  EXPECT_EQ(rig.panel->GetCurrentChild(), factory);

  // A refresh for another point leaves the shown page as it is.
  const DAMAGESOURCE hit{leveltest::kVillain, 100000};
  AddDamage(*rig.map, 0, &hit, false);
  EXPECT_TRUE(factory->GetUpgradeButton()->IsEnabled());
  rig.host.RefreshPointPanel(rig.Point(1));
  EXPECT_TRUE(factory->GetUpgradeButton()->IsEnabled());
  rig.host.RefreshPointPanel(rig.Point(0));
  EXPECT_FALSE(factory->GetUpgradeButton()->IsEnabled());
  rig.Point(0)->DeleteDamage();
  factory->Draw();  // a frame brings the buttons up to date too
  EXPECT_TRUE(factory->GetUpgradeButton()->IsEnabled());

  // Hidden, a page lets its point go.
  rig.map->Points().SelectPoint(-1, false);
  EXPECT_EQ(factory->GetPoint(), nullptr);
}

}  // namespace
}  // namespace windowstest

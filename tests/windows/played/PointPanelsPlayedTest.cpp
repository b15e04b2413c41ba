// The built points' panels on the scenario set's mill (level 4, hard: the
// mill alone does not win it), with a chicken house and a wheat bed placed
// beside it: the pages' layout at three screen widths; the upgrade button's
// price and enabling (money, damage, build job, level limit) and its
// command, clicked and sent while disabled; the feed button's amount and
// enabling and its click; the remove command at a site; the level block's
// hint through the item descriptions; the router. The mill is built from
// the empty place's panel and upgraded from its own by clicks. The pages
// are drawn over the level as panel_*.png for a person to look at; the
// upgrade's price and the menu button's caption read on their faces.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "content/BuildingTable.h"
#include "content/PlantTable.h"
#include "content/ProductList.h"
#include "gametext/KGEBaseTextSprite.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointCare.h"
#include "level/map/LevelPointMaker.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/PlantGrowth.h"
#include "level/objects/PointFactory.h"
#include "level/objects/PointPetshouse.h"
#include "level/rules/LevelRules.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/GameLevel.h"
#include "platform/encoding/Utf.h"
#include "resources/ResourceServices.h"
#include "testsupport/Contrast.h"
#include "testsupport/LevelHarness.h"
#include "ui/CaptionHintWindow.h"
#include "ui/HIText.h"
#include "ui/ImageButton.h"
#include "gametext/KGECustomText.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/CLPLevelBlock.h"
#include "windows/EmptyPlacePanels.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"
#include "windows/PointPanelRouter.h"
#include "windows/PointPanels.h"

namespace windowstest {
namespace {

constexpr i32 kMill = 1, kHouse = 2, kBed = 3, kSite = 4;

// The item descriptions' tags asked for, with their two context words.
std::vector<std::string> g_asked;
bool RecordTag(const wchar* name, u32 length, wchar*, u32, u32* written, uintptr_t c1, uintptr_t c2) {
  g_asked.push_back(plat::Utf16ToUtf8(std::u16string(name, length)) + " " + std::to_string(c1) + " " +
                    std::to_string(c2));
  *written = 0;
  return true;
}

class Mill {
 public:
  explicit Mill(u32 width = 800) : h(leveltest::ScenarioDataFolder(), width, 600, true) {}
  // The level entered and started; with `placed` a mill of level `mill`, a
  // chicken house of level 2 and a wheat bed of level 1 stand on places 1
  // to 3.
  GameLevel& Make(bool placed, i32 mill = 1) {
    GameLevelHooks hooks;
    hooks.rules.profile = &h.profile;
    hooks.villains = &h.villains;
    LevelSetup hard;
    hard.regime = 1;
    GameLevel* level = h.world.OpenLevel(3, hard, hooks);
    host = h.world.Panel();
    h.LoadAll();
    FindBuildingByName(u"henhouse")->EnableForLevel(3);
    h.Enter();
    Click(400, 300);  // the day starts
    GetResourceServices().itemDescription = &RecordTag;
    if (!placed) return *level;
    LevelPointMaker& maker = level->Map().Points();
    maker.MakePoint(kMill, POINTPARAMS{3, mill, kis::NameId(u"prod_flour")}, false);
    maker.MakePoint(kHouse, POINTPARAMS{3, 2, kis::NameId(u"henhouse")}, false);
    POINTPARAMS bed{2, 1, kis::NameId(u"wheat")};
    PutPlantInfo({10.0f, 2, 2}, &bed);
    maker.MakePoint(kBed, bed, false);
    return *level;
  }
  void Click(i32 x, i32 y) {
    h.Level()->Input().OnMouseMove(x, y, 0, 0);
    h.Level()->Input().OnMouseDown(x, y, kMouseLeft, 0);
    h.Level()->Input().OnMouseUp(x, y, kMouseLeft, 0);
    h.Step(20);
  }
  // A click on the point's place (`up` units above it, onto its picture).
  void ClickPoint(i32 index, i32 up = 0) {
    const POINTDEF& p = h.Level()->GetInfo()->points[static_cast<size_t>(index)];
    i32 x = p.x, y = p.y - up;
    h.MapToScreen(&x, &y);
    Click(x, y);
  }
  void ClickButton(const GameButton* b) {
    ASSERT_NE(b, nullptr);
    const DXLRECT& panel = host->GetPanel()->GetRect();
    const DXLRECT& r = b->GetRect();
    Click(panel.left + (r.left + r.right) / 2, panel.top + (r.top + r.bottom) / 2);
  }
  template <class F>
  bool StepUntil(F done) {
    for (u32 t = 0; t < 60000 && !done(); t += 20) h.Step(20);
    return done();
  }
  template <class T = PointPanel>
  T* Select(i32 i) {
    h.Level()->Map().Points().SelectPoint(i, false);
    return dynamic_cast<T*>(host->GetPanel()->GetCurrentChild());
  }
  LevelPoint* Point(i32 i) const { return static_cast<LevelPoint*>(h.Level()->Map().GetPoint(i)); }
  LevelRules& Rules() const { return h.Level()->Rules(); }
  void SetMoney(i32 n) { Rules().Money().Change(n - Rules().Money().Get()); }
  // The level and the windows over it (the panel, its hints).
  void Shoot(const char* name) {
    h.Step(400, 20, true);
    h.DrawFrame(true);
    EXPECT_TRUE(h.WritePng(name));
  }

  leveltest::LevelHarness h;
  LevelPanelHost* host = nullptr;
};

// Each page at 800, 850 and 1280 pixels: the level block at the left margin
// plus 42, the factory's and the bed's upgrade at plus 196, the chicken
// house's feed and upgrade in two cells over 147 at plus 171, the remove
// button at the width minus the right margin minus 90; each kind made once.
TEST(PointPanels, LayoutAtThreeWidths) {
  for (const u32 width : {800u, 850u, 1280u}) {
    SCOPED_TRACE(width);
    Mill m(width);
    ASSERT_TRUE(m.h.loaded);
    m.Make(true);
    for (const i32 i : {kMill, kHouse, kBed}) {
      PointPanel* page = m.Select(i);
      ASSERT_NE(page, nullptr);
      EXPECT_EQ(page->GetKind(), i == kMill ? 0x1001 : i == kHouse ? 0x1002 : 0x10000);
      const i32 left = page->GetX() + page->GetLeftMargin(), up = page->GetUpgradeButton()->GetRect().left;
      EXPECT_EQ(page->GetLevelBlock()->GetRect().left, left + 42);
      EXPECT_EQ(page->GetRemoveButton()->GetRect().left, page->GetX() + page->GetWidth() - page->GetRightMargin() - 90);
      const i32 row = i == kHouse ? 171 : 196, cells = i == kHouse ? 2 : 1;
      EXPECT_EQ(page->GetUpgradeButton()->GetRect().right, left + row + (i == kHouse ? 147 : 98));
      EXPECT_EQ(up, left + row + (cells - 1) * 74);
      if (auto* pets = dynamic_cast<PetshousePanel*>(page)) {
        EXPECT_EQ(pets->GetFeedButton()->GetRect().left, left + 171);
      }
    }
    EXPECT_EQ(m.Select(kMill), m.Select<FactoryPanel>(kMill));
  EXPECT_EQ(m.Select<ChildLevelPanel>(0), nullptr) << "deselected, the page hides; the warehouse has none";
  }
}

// The mill of level 3 (limit 4): the price of record 3 (450) is more than
// the 400 there are; then damaged; then it is clicked, queued, reserved and
// built; at the limit the price reads 0 and the command, sent anyway, is
// refused. The level block's hint is the building's tag, made once. The
// damage takes the product buttons away; they come back once it is gone.
TEST(PointPanels, FactoryUpgradeToTheLimit) {
  Mill m;
  ASSERT_TRUE(m.h.loaded);
  m.Make(true, 3);
  auto* page = m.Select<FactoryPanel>(kMill);
  ASSERT_NE(page, nullptr);
  auto* mill = static_cast<PointFactory*>(m.Point(kMill));
  LevelPanelButton* upgrade = page->GetUpgradeButton();
  EXPECT_EQ(upgrade->GetCount(), 450);
  EXPECT_FALSE(upgrade->IsEnabled()) << "400 in money";
  page->OnCommand(upgrade);
  EXPECT_EQ(mill->GetBuildJob(), nullptr);
  ASSERT_NE(mill->GetRecipe(0).button, nullptr);
  const DAMAGESOURCE hit{1, 100000};
  AddDamage(m.h.Level()->Map(), kMill, &hit, false);
  EXPECT_EQ(mill->GetRecipe(0).button, nullptr) << "the damage stops the mill and takes its buttons";
  m.SetMoney(1000);
  m.host->RefreshPointPanel(m.Point(kHouse));
  EXPECT_TRUE(upgrade->IsEnabled()) << "another point's refresh";
  m.host->RefreshPointPanel(mill);
  EXPECT_FALSE(upgrade->IsEnabled()) << "damaged";
  page->OnCommand(upgrade);
  EXPECT_EQ(mill->GetBuildJob(), nullptr);
  GetPointDamage(mill)->Dispose();  // worn off or repaired
  EXPECT_FALSE(mill->HasDamage());
  EXPECT_NE(mill->GetRecipe(0).button, nullptr) << "the product buttons come back with the damage gone";
  m.Shoot("panel_factory.png");
  EXPECT_TRUE(upgrade->IsEnabled()) << "a frame refreshes it";
  // The white price on the upgrade's count plate and the white caption of
  // the panel's menu button read at 4.5:1 and more.
  const std::vector<u32> frame = m.h.Frame();
  const ImageButton* read[] = {upgrade, m.host->GetPanel()->GetMenuButton()};
  for (const ImageButton* b : read) {
    ASSERT_NE(b->GetCaption(), nullptr);
    const DXLRECT& r = b->GetRect();
    const i32 x = r.left + static_cast<i32>(b->GetCaptionX()), y = r.top + static_cast<i32>(b->GetCaptionY());
    kis::IntPoint a, z;
    b->GetParent()->ClientToScreen(&a, x, y);
    b->GetParent()->ClientToScreen(&z, x + static_cast<i32>(b->GetCaption()->GetWidth() * b->GetCaptionScale()),
                                   y + b->GetCaption()->GetHeight());
    EXPECT_GE(testsupport::TextContrast(frame, 800, DXLRECT{a.x, a.y, z.x, z.y}, 0xFFFFFFu), 4.5) << b->GetId();
  }
  m.ClickButton(upgrade);
  ASSERT_NE(mill->GetBuildJob(), nullptr);
  EXPECT_EQ(m.Rules().Money().Get(), 550);
  EXPECT_FALSE(upgrade->IsEnabled()) << "a build job";
  ASSERT_TRUE(m.StepUntil([&] { return mill->GetLevel() == 4; }));
  EXPECT_EQ(upgrade->GetCount(), 0);
  EXPECT_EQ(std::u16string(upgrade->GetCaption()->GetText()), u"0") << "the count plate reads the price";
  EXPECT_FALSE(upgrade->IsEnabled());
  EXPECT_EQ(page->GetLevelBlock()->GetCurrent(), 4);
  page->OnCommand(upgrade);
  EXPECT_EQ(mill->GetBuildJob(), nullptr);
  EXPECT_EQ(m.Rules().Money().Get(), 550);

  CLPLevelBlock* block = page->GetLevelBlock();
  const HintWindow* hint = block->GetHintWindow();
  block->ShowHint();
  ASSERT_FALSE(g_asked.empty());
  EXPECT_EQ(g_asked.back(), "MBLDNG N " + std::to_string(0x1000001) + " " +
                                std::to_string(reinterpret_cast<uintptr_t>(mill)));
  m.Select(kBed)->GetLevelBlock()->ShowHint();
  EXPECT_EQ(g_asked.back(), "PLANT N " + std::to_string(0x1000002) + " " +
                                std::to_string(reinterpret_cast<uintptr_t>(FindPlantByName(u"wheat"))));
  EXPECT_EQ(m.Select(kMill), page);
  EXPECT_EQ(block->GetHintWindow(), hint);
  // A kind paired with a point of another class, or no kind at all, is a
  // fault of the game's own code: the router stops the test build (a
  // release build opens no panel).
#ifdef NDEBUG
  EXPECT_EQ(PointPanelRouter::Show(*m.host->GetPanel(), kPanelAnimalHouse, mill), nullptr);
  EXPECT_EQ(PointPanelRouter::Show(*m.host->GetPanel(), kPanelPlant, m.Point(kHouse)), nullptr);
  EXPECT_EQ(m.host->ShowPointPanel(0x1234, mill), nullptr);
#else
  EXPECT_DEATH(PointPanelRouter::Show(*m.host->GetPanel(), kPanelAnimalHouse, mill),
               "broken an animal house point for its panel");
  EXPECT_DEATH(PointPanelRouter::Show(*m.host->GetPanel(), kPanelPlant, m.Point(kHouse)),
               "broken a plant point for the plant panel");
  EXPECT_DEATH(m.host->ShowPointPanel(0x1234, mill), "broken a point panel's kind known");
#endif
  EXPECT_EQ(m.host->GetPanel()->GetCurrentChild(), page);
}

// The chicken house of level 2: the feed button shows wheat and the amount
// of record 1, follows the stock, is clicked (the feed taken), and stays
// disabled while feeding and fed; a command then takes nothing. An upgrade
// queued disables it too.
TEST(PointPanels, HenhouseFedFromItsPanel) {
  Mill m;
  ASSERT_TRUE(m.h.loaded);
  m.Make(true);
  auto* page = m.Select<PetshousePanel>(kHouse);
  ASSERT_NE(page, nullptr);
  auto* house = static_cast<PointPetshouse*>(m.Point(kHouse));
  const BUILDING* b = house->GetBuilding();
  LevelPanelButton* feed = page->GetFeedButton();
  EXPECT_EQ(feed->GetId(), 0xc9000004u);
  EXPECT_EQ(feed->GetCount(), static_cast<i32>(b->levels[1].house.feedAmount));
  EXPECT_EQ(feed->GetProduct(), b->feedProduct);
  WarehouseStock& stock = *m.Rules().Stock();
  stock.Take(b->feedProduct, stock.GetCount(b->feedProduct));
  EXPECT_FALSE(feed->IsEnabled()) << "no wheat";
  stock.Add(b->feedProduct, 2 * feed->GetCount(), false);
  EXPECT_TRUE(feed->IsEnabled());
  const DXLRECT& r = feed->GetRect();
  const DXLRECT& panel = m.host->GetPanel()->GetRect();
  m.h.Level()->Input().OnMouseMove(panel.left + (r.left + r.right) / 2, panel.top + (r.top + r.bottom) / 2, 0, 0);
  for (i32 t = 0; t < 1500; t += 20) {  // the windows' frames too: the hint waits, then shows
    m.h.Step(20);
    GetUiServices().windowManager->Update();
  }
  m.Shoot("panel_henhouse.png");  // with the feed button's hint
  // The house's refresh refreshes its page, which reads the hint's text again.
  auto* hint = static_cast<CaptionHintWindow*>(feed->GetHintWindow());
  ASSERT_TRUE(hint && hint->GetBody());
  auto size = [&] {
    const KGECustomText* body = hint->GetBody()->GetTextObject();
    return std::pair{body->GetWidth(), body->GetHeight()};
  };
  const auto read = size();
  hint->GetBody()->SetText(u"-", nullptr);
  ASSERT_NE(size(), read);
  house->Refresh();
  EXPECT_EQ(size(), read);
  m.ClickButton(feed);
  ASSERT_NE(house->GetFeedJob(), nullptr);
  EXPECT_EQ(stock.GetCount(b->feedProduct), feed->GetCount());
  EXPECT_FALSE(feed->IsEnabled()) << "feeding";
  ASSERT_TRUE(m.StepUntil([&] { return house->IsFed(); }));
  EXPECT_FALSE(feed->IsEnabled()) << "fed";
  page->OnCommand(feed);
  EXPECT_EQ(stock.GetCount(b->feedProduct), feed->GetCount()) << "fed: nothing taken";
  house->SetFed(false, false);
  EXPECT_TRUE(feed->IsEnabled());
  m.ClickButton(page->GetUpgradeButton());
  ASSERT_NE(house->GetBuildJob(), nullptr);
  EXPECT_FALSE(feed->IsEnabled()) << "an upgrade queued";
}

// The mill built from the empty place's panel by clicks (a site: its page
// offers no upgrade) and raised from its own page; the wheat bed raised
// from its page to its limit of 2; a site's remove command gives it up.
TEST(PointPanels, MillBuiltAndUpgradedAndBedUpgradedByClicks) {
  Mill m;
  ASSERT_TRUE(m.h.loaded);
  m.Make(false);
  m.ClickPoint(kMill);  // the empty place, its buildings, the mill
  m.ClickButton(dynamic_cast<EmptyPointPanel*>(m.host->GetPanel()->GetCurrentChild())->RowButtons().at(1));
  m.ClickButton(dynamic_cast<BuildPanel*>(m.host->GetPanel()->GetCurrentChild())->RowButtons().at(1));
  auto* mill = dynamic_cast<PointFactory*>(m.Point(kMill));
  ASSERT_NE(mill, nullptr);
  auto* page = dynamic_cast<FactoryPanel*>(m.host->GetPanel()->GetCurrentChild());
  ASSERT_NE(page, nullptr);
  EXPECT_FALSE(page->GetUpgradeButton()->IsEnabled()) << "a site";
  ASSERT_TRUE(m.StepUntil([&] { return mill->GetLevel() == 1 && !mill->GetBuildJob(); }));
  m.Click(700, 120);  // the ground: nothing selected
  m.ClickPoint(kMill, 30);
  ASSERT_EQ(m.host->GetPanel()->GetCurrentChild(), page);
  const i32 money = m.Rules().Money().Get();
  m.ClickButton(page->GetUpgradeButton());
  EXPECT_EQ(m.Rules().Money().Get(), money - mill->GetBuilding()->levels[1].price);
  ASSERT_TRUE(m.StepUntil([&] { return mill->GetLevel() == 2; }));

  POINTPARAMS bedAt{2, 1, kis::NameId(u"wheat")};
  PutPlantInfo({10.0f, 2, 2}, &bedAt);
  m.h.Level()->Map().Points().MakePoint(kBed, bedAt, false);
  auto* bed = static_cast<BasePointPlant*>(m.Point(kBed));
  m.Click(700, 120);
  m.ClickPoint(kBed);
  auto* plants = dynamic_cast<PlantPanel*>(m.host->GetPanel()->GetCurrentChild());
  ASSERT_NE(plants, nullptr);
  EXPECT_EQ(plants->GetPoint(), bed);
  m.SetMoney(100);
  EXPECT_EQ(plants->GetUpgradeButton()->GetCount(), bed->GetPlant()->prices[1]);
  m.Shoot("panel_bed.png");
  m.ClickButton(plants->GetUpgradeButton());
  EXPECT_EQ(m.Rules().Money().Get(), 100 - bed->GetPlant()->prices[1]);
  ASSERT_TRUE(m.StepUntil([&] { return bed->GetLevel() == 2; }));
  EXPECT_EQ(plants->GetUpgradeButton()->GetCount(), 0) << "the level's limit";
  EXPECT_FALSE(plants->GetUpgradeButton()->IsEnabled());
  plants->OnCommand(plants->GetUpgradeButton());
  EXPECT_EQ(bed->GetPlantJob(), nullptr);

  m.h.Level()->Map().Points().MakePoint(kSite, POINTPARAMS{3, 0, kis::NameId(u"prod_flour")}, false);
  auto* site = m.Select(kSite);
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(site->GetRemoveButton()->GetId(), 0xc9000002u);
  m.Shoot("panel_site.png");
  site->OnCommand(site->GetRemoveButton());
  EXPECT_EQ(m.h.Level()->Map().GetPoint(kSite)->GetKind(), kPointKindEmpty);
  EXPECT_EQ(site->GetPoint(), nullptr) << "hidden, the page lets its point go";
}

}  // namespace
}  // namespace windowstest

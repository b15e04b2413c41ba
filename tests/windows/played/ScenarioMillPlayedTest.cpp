// The scenario set's mill (level 4) played through the level scene and the
// empty place's panels; the factory's own panel is driven through the
// point: a place built into a flour mill for its price and build time, a
// product clicked (its wheat taken, the flour stored after its time at the
// factories' rate), the product's hint showing its ingredient line and
// following the stock (drawn into production_hint.png), the level left mid-production with an upgrade of the
// warehouse mid-animation and entered again as it was, the upgrade raising
// the capacities, and a construction site abandoned back to an empty place
// with its price given back.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/DataBuffer.h"
#include "content/BuildingTable.h"
#include "content/LevelRates.h"
#include "content/ProductList.h"
#include "gametext/KGEBaseText.h"
#include "level/characters/Job.h"
#include "level/map/EmptyLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/objects/Job_Build.h"
#include "level/objects/PointFactory.h"
#include "level/objects/PointWarehouse.h"
#include "level/objects/ProductionHint.h"
#include "level/rules/LevelRules.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/GameLevel.h"
#include "level/state/GameLevelSaves.h"
#include "platform/encoding/Utf.h"
#include "hud/ASSProductionButton.h"
#include "resources/ResourceServices.h"
#include "ui/HIText.h"
#include "ui/ItemTagKinds.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/EmptyPlacePanels.h"
#include "ScenarioPlayed.h"
#include "windows/LevelPanel.h"
#include "windows/ItemTag.h"
#include "windows/LevelPanelHost.h"

namespace windowstest {
namespace {

using leveltest::LevelHarness;

constexpr i32 kMillLevel = 3;  // the fourth scenario level
constexpr i32 kHard = 1;       // its hard tasks (a level-2 mill, two flour) keep it running
constexpr i32 kWarehouse = 0, kMillPlace = 1, kOtherPlace = 2;

// The game's item-description mark-up, recording what the hint asks.
struct RecipeTags {
  static inline std::vector<std::string> asked;
  static bool Expand(const wchar* name, u32 length, wchar* out, u32 room, u32* written, uintptr_t kind,
                     uintptr_t object) {
    asked.push_back(plat::Utf16ToUtf8(std::u16string(name, length)));
    return ExpandItemTag(name, length, out, room, written, kind, object);
  }
};

// Glyph quads of a hint line drawn in a colour (RGB).
i32 QuadsOfColour(const HIText* line, u32 rgb) {
  const auto* text = line ? dynamic_cast<const KGEBaseText*>(line->GetTextObject()) : nullptr;
  i32 n = 0;
  for (u32 i = 0; text && i < text->GetQuadCount(); ++i) n += (text->GetQuads()[i].v[0].color & 0xFFFFFFu) == rgb;
  return n;
}

class MillScene : public ScenarioPlayed {
 protected:
  MillScene() : ScenarioPlayed(kMillLevel, kHard, true) {
    RecipeTags::asked.clear();
    GetResourceServices().itemDescription = &RecipeTags::Expand;
  }
  ~MillScene() override { GetResourceServices().itemDescription = nullptr; }
  void BuildMill(i32 place) { BuildFactory(place, u"prod_flour"); }
  PointFactory* Factory(i32 i) { return dynamic_cast<PointFactory*>(h.Level()->Map().GetPoint(i)); }
  PointBuilding* Building(i32 i) { return dynamic_cast<PointBuilding*>(h.Level()->Map().GetPoint(i)); }
  WarehouseStock& Stock() { return *h.Level()->Rules().Stock(); }
  i32 Money() { return h.Level()->Rules().Money().Get(); }
};

TEST_F(MillScene, BuiltProducingSavedUpgradedAndASiteAbandoned) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make();
  Click(400, 300);  // the day starts
  ASSERT_TRUE(level.Rules().IsStarted());
  const BUILDING* kind = FindBuildingByName(u"prod_flour");
  ASSERT_NE(kind, nullptr);
  const PRODUCT* wheat = GetProductList()->FindByName(u"wheat");
  const PRODUCT* flour = GetProductList()->FindByName(u"flour");
  ASSERT_TRUE(wheat && flour);

  // Charged as the site appears; she builds for the level's build time
  // (and her turn to face the site).
  const i32 money = Money();
  BuildMill(kMillPlace);
  ASSERT_NE(Factory(kMillPlace), nullptr);
  EXPECT_EQ(Factory(kMillPlace)->GetLevel(), 0);
  EXPECT_EQ(Money(), money - kind->levels[0].price);
  ASSERT_GE(MsUntil([&] { return Factory(kMillPlace)->IsBeingBuilt(); }), 0);
  const i32 built = MsUntil([&] { return Factory(kMillPlace)->GetLevel() == 1; });
  EXPECT_GE(built, static_cast<i32>(kind->levels[0].buildTime));
  EXPECT_LE(built, static_cast<i32>(kind->levels[0].buildTime) + 100);
  PointFactory* mill = Factory(kMillPlace);
  EXPECT_EQ(mill->GetSlotCount(), 1);
  h.Step(400, 20, true);  // the buttons fade in

  // The product's hint: the recipe's name, the button's text, its one
  // ingredient line, each bracketed name asked for the recipe.
  ASSERT_EQ(mill->GetRecipeCount(), 1);
  auto* button = static_cast<ASSProductionButton*>(mill->GetRecipe(0).button);
  ASSERT_NE(button, nullptr);
  auto* hint = dynamic_cast<ProductionHint*>(button->GetHintWindow());
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->GetProduct(), flour);
  ASSERT_EQ(hint->GetIngredientLineCount(), 1);
  DXLRECT r{};
  button->GetScreenRect(&r);
  h.Level()->Input().OnMouseMove((r.left + r.right) / 2, (r.top + r.bottom) / 2, 0, 0);
  for (i32 t = 0; t < 800 && !hint->IsShown(); t += 20) {
    h.Step(20);
    GetUiServices().windowManager->Update();
  }
  ASSERT_TRUE(hint->IsShown());
  const DXLRECT caption = hint->GetCaption()->GetRect();
  ASSERT_NE(hint->GetText(), nullptr);
  const DXLRECT text = hint->GetText()->GetRect();
  const DXLRECT line = hint->GetIngredientLine(0)->GetRect();
  EXPECT_EQ(text.top, caption.bottom);
  EXPECT_EQ(line.top, text.bottom + 1);
  EXPECT_GT(line.bottom, line.top) << "drawn in its font";
  EXPECT_EQ(RecipeTags::asked, (std::vector<std::string>{"PRDCTN N", "PRDCTN I 0", "PRDCTN I 0"}))
      << "made, then the line again as it shows";
  Shoot("production_hint.png", 40);

  // A click takes two wheat; the flour is stored after 8 s at the
  // factories' rate; the hint's line follows the stock.
  const i32 wheatBefore = Stock().GetCount(wheat);
  RecipeTags::asked.clear();
  h.Level()->Input().OnMouseDown((r.left + r.right) / 2, (r.top + r.bottom) / 2, kMouseLeft, 0);
  h.Level()->Input().OnMouseUp((r.left + r.right) / 2, (r.top + r.bottom) / 2, kMouseLeft, 0);
  EXPECT_EQ(mill->GetBusyCount(), 1);
  EXPECT_EQ(Stock().GetCount(wheat), wheatBefore - 2);
  h.Step(20);
  GetUiServices().windowManager->Update();
  EXPECT_EQ(RecipeTags::asked, std::vector<std::string>{"PRDCTN I 0"}) << "the stock changed";
  // The line says whether the stock holds the recipe's two wheat: green,
  // red once the wheat is gone, green again when it is back.
  const i32 left = Stock().GetCount(wheat);
  EXPECT_GT(QuadsOfColour(hint->GetIngredientLine(0), 0x008000u), 0);
  Stock().Take(wheat, left);
  h.Step(20);
  GetUiServices().windowManager->Update();
  EXPECT_GT(QuadsOfColour(hint->GetIngredientLine(0), 0xFF0000u), 0) << "the shown hint follows the stock";
  EXPECT_EQ(QuadsOfColour(hint->GetIngredientLine(0), 0x008000u), 0);
  Stock().Add(wheat, left, false);
  h.Step(20);
  GetUiServices().windowManager->Update();
  EXPECT_GT(QuadsOfColour(hint->GetIngredientLine(0), 0x008000u), 0);
  const float rate = level.Rules().GetRate(kRateFactories);
  const i32 expected = static_cast<i32>(std::ceil(static_cast<float>(flour->productionTime) / rate / 10.0f)) * 10;
  const i32 made = MsUntil([&] { return Stock().GetCount(flour) == 1; });
  EXPECT_NEAR(made + 60, expected, 10) << "with the 40 ms of the hint's checks";
  EXPECT_EQ(mill->GetBusyCount(), 0);

  // The next sack half made, the warehouse's upgrade mid-animation: left
  // and entered again as they were.
  PointBuilding* warehouse = Building(kWarehouse);
  ASSERT_NE(dynamic_cast<PointWarehouse*>(warehouse), nullptr);
  const i32 capacity = Stock().GetCapacity(wheat);
  ASSERT_TRUE(mill->StartProduction(0, -1, true));
  ASSERT_NE(Job_Build::Create(*warehouse), nullptr);
  const BUILDING* store1 = warehouse->GetBuilding();
  ASSERT_GE(MsUntil([&] { return warehouse->IsBeingBuilt(); }), 0);
  h.Step(1000, 10);
  const float progress = Factory(kMillPlace)->GetSlot(0).progress;
  EXPECT_GT(progress, 0.0f);
  LeaveAndEnterEqual();
  mill = Factory(kMillPlace);
  warehouse = Building(kWarehouse);
  ASSERT_TRUE(mill && warehouse);
  EXPECT_EQ(mill->GetBusyCount(), 1);
  ASSERT_NE(mill->GetSlot(0).recipe, nullptr);
  EXPECT_FLOAT_EQ(mill->GetSlot(0).progress, progress);
  ASSERT_NE(warehouse->GetBuildJob(), nullptr);
  EXPECT_EQ(warehouse->GetBuildJob()->GetState(), kJobAnimating);
  EXPECT_TRUE(warehouse->IsBeingBuilt());
  const i32 rest = MsUntil([&] { return warehouse->GetLevel() == 2; });
  EXPECT_NEAR(rest, static_cast<i32>(store1->levels[1].buildTime) - 1000, 20) << "the animation goes on where it was";
  EXPECT_EQ(Stock().GetCapacity(wheat), static_cast<i32>(store1->levels[1].capacity));
  EXPECT_GT(Stock().GetCapacity(wheat), capacity);

  // A site given up: the place is empty again and the price comes back.
  const i32 before = Money();
  BuildMill(kOtherPlace);
  ASSERT_NE(Building(kOtherPlace), nullptr);
  EXPECT_EQ(Money(), before - kind->levels[0].price);
  Job_Build* job = Building(kOtherPlace)->GetBuildJob();
  ASSERT_NE(job, nullptr);
  job->Finish();
  h.Step(400);
  EXPECT_NE(dynamic_cast<EmptyLevelPoint*>(level.Map().GetPoint(kOtherPlace)), nullptr);
  EXPECT_EQ(Money(), before);
}

}  // namespace
}  // namespace windowstest

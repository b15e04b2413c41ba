// The scenario set's market day (level 9) played through the level scene:
// the warehouse clicked opens the warehouse window, the flour chosen and
// sold five and then the rest brings the money task home; then a stock of
// fourteen products in the window, one chosen, drawn into
// warehouse_window.png, with the price centred on its plate.
#include <gtest/gtest.h>

#include <vector>

#include "content/ProductList.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/rules/WarehouseStock.h"
#include "ScenarioPlayed.h"
#include "windows/WarehouseWindow.h"

namespace windowstest {
namespace {

constexpr i32 kMarketLevel = 8;  // the ninth scenario level

class Market : public ScenarioPlayed {
 protected:
  Market() : ScenarioPlayed(kMarketLevel, 0, true) {}
  WarehouseStock& Stock() { return *h.Level()->Rules().Stock(); }
  // A click on a control of the open warehouse window, through the level.
  void ClickInWindow(const GameButton* b) {
    WarehouseWindow* w = FindOpenWarehouse();
    ASSERT_TRUE(w && b);
    const DXLRECT& r = b->GetRect();
    kis::IntPoint at{};
    w->ClientToScreen(&at, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Click(at.x, at.y);
  }
};

TEST_F(Market, TheFlourSoldThroughTheWarehouseWindowWinsTheDay) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make();
  Click(700, 80);  // the day starts
  ASSERT_TRUE(level.Rules().IsStarted());
  const PRODUCT* flour = GetProductList()->FindByName(u"flour");
  ASSERT_NE(flour, nullptr);
  ASSERT_EQ(Stock().GetCount(flour), 8);

  i32 x = level.GetInfo()->points[0].x, y = level.GetInfo()->points[0].y;
  h.MapToScreen(&x, &y);
  Click(x, y);
  WarehouseWindow* window = FindOpenWarehouse();
  ASSERT_NE(window, nullptr) << "the warehouse opens its window";
  EXPECT_EQ(level.Map().GetSelectedPoint(), -1) << "and is not selected";
  DrawnFrames(400);  // it drops in
  ASSERT_EQ(window->Buttons().size(), 4u);
  const GameButton* button = nullptr;
  for (const WarehouseWindowButton* b : window->Buttons())
    if (b->GetProduct() == flour) button = b;
  ClickInWindow(button);
  ASSERT_NE(window->GetSelected(), nullptr);
  EXPECT_EQ(window->GetSelected()->GetProduct(), flour);
  ClickInWindow(window->GetSellFive());
  EXPECT_EQ(Stock().GetCount(flour), 3);
  EXPECT_EQ(level.Rules().Money().Get(), 225);
  EXPECT_EQ(level.Rules().Tasks().GetResult(), kResultNone);
  ClickInWindow(window->GetSellFive());  // five of three: the rest
  EXPECT_EQ(Stock().GetCount(flour), 0);
  EXPECT_EQ(window->Buttons().size(), 3u);
  EXPECT_EQ(level.Rules().Money().Get(), 300);
  h.Step(100);
  EXPECT_EQ(level.Rules().Tasks().GetResult(), kResultWon) << "the money task";
}

TEST_F(Market, FourteenProductsInTheWindow) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make();
  Click(700, 80);
  // Every product of the data set, and three more in the look of others.
  ProductList* products = GetProductList();
  for (u32 i = 0; i < products->GetCount(); ++i) Stock().Add(products->Get(i), 1 + static_cast<i32>(i % 7), false);
  std::vector<PRODUCT> more(3);
  const wchar* looks[3] = {u"wheat", u"egg", u"milk"};
  for (u32 i = 0; i < 3; ++i) {
    more[i] = *products->FindByName(looks[i]);
    more[i].id = 0x7000u + i;
    Stock().Add(&more[i], 10, false);
  }
  ASSERT_EQ(Stock().GetEntryCount(), 14);
  level.Rules().Money().Set(420);
  auto* window = new WarehouseWindow(level.Rules(), &level.Map(), products->FindByName(u"bread"));
  ASSERT_EQ(window->Buttons().size(), 14u);
  EXPECT_EQ(window->GetSelectionTop(), window->Buttons()[7]->GetY() + WarehouseWindow::kRowHeight + 4);
  EXPECT_EQ(window->GetUpgradePrice(), 150);
  Shoot("warehouse_window.png");
  // The plate: the price and its coin centred at 403, the name at its own
  // width (the widest names are scaled to 200 pixels: WarehouseWindowTest).
  EXPECT_FLOAT_EQ((window->GetPriceLeft() + window->GetPriceRight()) / 2.0f, 403.0f);
  EXPECT_GT(window->GetPriceRight() - window->GetPriceLeft(), 20.0f) << "a coin and a price";
  EXPECT_GT(window->GetNameWidth(), 20.0f);
  EXPECT_LT(window->GetNameWidth(), 200.0f);
  delete window;
}

}  // namespace
}  // namespace windowstest

// The warehouse window on the level panel's rig with a warehouse point:
// the product buttons laid out in cells of seven, selling one, five or all,
// the money's ceiling and the money-earned record, the upgrade's price and
// its effect on the warehouse and every limit, Enter, and the clicks the
// window lets through to the level panel.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "PanelRig.h"
#include "content/AwardTable.h"
#include "level/objects/PointWarehouse.h"
#include "level/rules/LevelWindows.h"
#include "level/scene/LevelServices.h"
#include "windows/GameWindowManager.h"
#include "windows/MessageNotice.h"
#include "windows/WarehouseWindow.h"
#include "testsupport/WindowDoor.h"

namespace windowstest {
namespace {

class WarehouseWindowTest : public ::testing::Test {
 protected:
  WarehouseWindowTest() {
    rig.level.LoadKinds({}, {});
    rig.level.kinds.Building(u"warehouse")->EnableForLevel(4);  // as the level allows it
    rig.classes.make = [](LevelMap& map, PointClass, void* record) -> LevelPoint* {
      return record ? nullptr : PointWarehouse::Create(map);
    };
    rig.AddPicture(1, u"warehouse", 256, 240);
    rig.AddPicture(1, u"warehouse_upgr_but", 150, 132);
    rig.MakeLevel({POINTDEF{1, 1, kis::NameId(u"warehouse"), 0, {0, 0}, 400, 300, 0}});
    for (i32 i = 0; i < 20; ++i) {
      PRODUCT p{};
      p.id = 1000u + static_cast<u32>(i);
      p.price = 10 + i;
      extra.push_back(p);
    }
  }
  ~WarehouseWindowTest() override { delete window; }
  LevelRules& Rules() { return *rig.level.rules; }
  WarehouseStock& Stock() { return *Rules().Stock(); }
  // Opened, moved away from the screen's corner, its drop-in over.
  WarehouseWindow& Open(const PRODUCT* selected = nullptr) {
    delete window;
    window = new WarehouseWindow(Rules(), rig.map.get(), selected);
    testsupport::PlaceWindow(*window);
    testsupport::Settle(*window);
    return *window;
  }
  void Stock(i32 products, i32 count) {
    for (i32 i = 0; i < products; ++i) Stock().Add(&extra[static_cast<size_t>(i)], count, false);
  }
  u32 Command(u32 id) {
    GameButton* b = window->Controls().FindControl(id, 0);
    EXPECT_NE(b, nullptr) << std::hex << id;
    return b ? window->OnCommand(b) : 0;
  }
  static bool Shown(const GameButton* b) { return b && b->IsEnabled(); }

  PanelRig rig;
  testsupport::InterfacePicture picture;
  std::vector<PRODUCT> extra;
  WarehouseWindow* window = nullptr;
};

TEST_F(WarehouseWindowTest, ButtonsStandInCellsOfSevenRowsAndFollowTheStock) {
  Stock(14, 3);
  Open();
  ASSERT_EQ(window->Buttons().size(), 14u);
  EXPECT_EQ(FindOpenWarehouse(), window);
  const i32 w = WarehouseWindow::kWidth - 27;
  for (i32 i = 0; i < 14; ++i) {
    const WarehouseWindowButton* b = window->Buttons()[static_cast<size_t>(i)];
    const i32 c = i % 7, start = static_cast<i32>(std::floor(c * w / 7.0 + 0.5));
    const i32 end = static_cast<i32>(std::floor((c + 1) * w / 7.0 + 0.5));
    EXPECT_EQ(b->GetX(), 12 + start) << i;
    EXPECT_EQ(b->GetWidth(), end - start) << i;
    EXPECT_EQ(b->GetY() - window->Buttons()[0]->GetY(), (i / 7) * WarehouseWindow::kRowHeight) << i;
    EXPECT_EQ(b->GetCellFlags(), c == 0 ? kButtonFirstCell : c == 6 ? kButtonLastCell : 0u) << i;
    EXPECT_EQ(b->GetAmount(), 3);
    EXPECT_EQ(b->GetLimit(), 10) << "storage level 1";
  }
  EXPECT_FALSE(window->ShowsEmpty());
  EXPECT_FALSE(Shown(window->GetSellOne())) << "nothing chosen";
  const i32 twoRows = window->GetSelectionTop();
  Stock(16, 1);
  Open();
  ASSERT_EQ(window->Buttons().size(), 16u);
  EXPECT_EQ(window->Buttons()[14]->GetY() - window->Buttons()[0]->GetY(), 2 * WarehouseWindow::kRowHeight);
  EXPECT_EQ(window->GetSelectionTop() - twoRows, WarehouseWindow::kRowHeight) << "a third row";
  EXPECT_EQ(window->Buttons()[14]->GetCellFlags(), kButtonFirstCell);
  EXPECT_EQ(window->Buttons()[15]->GetCellFlags(), 0u) << "a row ends with its layout's last cell only";
  // A name on the plate is drawn 200 pixels wide at most.
  EXPECT_FLOAT_EQ(WarehouseNameScale(180.0f), 1.0f);
  EXPECT_FLOAT_EQ(WarehouseNameScale(200.0f), 1.0f);
  EXPECT_FLOAT_EQ(WarehouseNameScale(320.0f) * 320.0f, 200.0f);
  // A product without an id shows no amount.
  PRODUCT none{};
  auto* nameless = new WarehouseWindowButton(window, &none, 0, 0, 80, 0);
  nameless->SetAmount(3, 10);
  EXPECT_EQ(nameless->GetAmount(), -1);
}

// Through the window manager, the window away from the screen's corner: a
// click chooses, the sell buttons sell one and five, a double click sells
// all of the product under the pointer and no other.
TEST_F(WarehouseWindowTest, SellingCountsMoneyTakesStockAndRemovesWhatIsSoldOut) {
  Stock(3, 3);
  const PRODUCT* first = &extra[0];   // 10 each
  const PRODUCT* second = &extra[1];  // 11 each
  const PRODUCT* third = &extra[2];   // 12 each, seven of them
  Stock().Add(third, 4, false);
  Open(first);
  WindowManager& m = *rig.manager;
  testsupport::Click(m, *window->Buttons()[1]);
  ASSERT_NE(window->GetSelected(), nullptr);
  EXPECT_EQ(window->GetSelected()->GetProduct(), second);
  EXPECT_TRUE(Shown(window->GetSellOne()));
  EXPECT_TRUE(Shown(window->GetSellFive()));
  testsupport::Click(m, *window->GetSellOne());
  EXPECT_EQ(Stock().GetCount(second), 2);
  EXPECT_EQ(window->GetSelected()->GetAmount(), 2);
  EXPECT_EQ(Rules().Money().Get(), 311);
  EXPECT_EQ(rig.level.profile.counters.records[kAwardRecordMoney], 11) << "money earned";

  testsupport::Click(m, *window->GetSellFive());  // five of two: two
  EXPECT_EQ(Stock().GetCount(second), 0);
  EXPECT_EQ(Rules().Money().Get(), 333);
  EXPECT_EQ(rig.level.profile.counters.records[kAwardRecordMoney], 33);
  ASSERT_EQ(window->Buttons().size(), 2u) << "its button goes";
  EXPECT_EQ(window->Buttons()[1]->GetProduct(), third);
  EXPECT_EQ(window->GetSelected(), nullptr);
  EXPECT_FALSE(Shown(window->GetSellOne()));

  testsupport::DoubleClick(m, *window->Buttons()[1]);
  EXPECT_EQ(Stock().GetCount(third), 0);
  EXPECT_EQ(Stock().GetCount(first), 3);
  EXPECT_EQ(Rules().Money().Get(), 333 + 84);
  ASSERT_EQ(window->Buttons().size(), 1u);
  EXPECT_FALSE(window->ShowsEmpty());

  // The last product, sold by a double click on its button: "empty".
  Rules().Money().Set(99990);
  testsupport::DoubleClick(m, *window->Buttons()[0]);
  EXPECT_EQ(Stock().GetCount(first), 0);
  EXPECT_TRUE(window->Buttons().empty());
  EXPECT_TRUE(window->ShowsEmpty());
  EXPECT_EQ(Rules().Money().Get(), LevelMoney::kMax) << "the rest of the 30 is lost";
  EXPECT_EQ(window->Sell(5), 0) << "nothing chosen";

  // The developer's "warehouse without limits" shows every stock full, but
  // a sale takes and pays for the units held only.
  Stock(1, 3);
  Rules().Money().Set(0);
  GetLevelServices().warehouseNoLimits = true;
  Open(first);
  EXPECT_EQ(window->Sell(5), 3);
  GetLevelServices().warehouseNoLimits = false;
  EXPECT_EQ(Rules().Money().Get(), 30);
  EXPECT_TRUE(window->Buttons().empty()) << "sold out";
}

TEST_F(WarehouseWindowTest, TheUpgradeWantsMoneyRaisesTheWarehouseAndEveryLimit) {
  Stock(3, 2);
  Rules().Money().Set(99);
  Open();
  EXPECT_EQ(window->GetUpgradePrice(), 100) << "the warehouse's record of level 2";
  EXPECT_FALSE(Shown(window->GetUpgradeButton())) << "the money is short";
  EXPECT_FALSE(window->Upgrade());
  Rules().Money().Set(1000);
  Open();
  EXPECT_TRUE(Shown(window->GetUpgradeButton()));
  ASSERT_FALSE(Rules().IsStarted());
  testsupport::Click(*rig.manager, *window->GetUpgradeButton());
  EXPECT_TRUE(Rules().IsStarted()) << "the upgrade lets play go on";
  EXPECT_EQ(Rules().Money().Get(), 900);
  EXPECT_EQ(Stock().GetLevel(), 2);
  EXPECT_EQ(static_cast<LevelPoint*>(rig.map->GetPoint(0))->GetLevel(), 2);
  for (const WarehouseWindowButton* b : window->Buttons()) EXPECT_EQ(b->GetLimit(), 20);
  EXPECT_TRUE(window->Upgrade());
  EXPECT_TRUE(window->Upgrade());
  EXPECT_EQ(Stock().GetLevel(), 4);
  EXPECT_EQ(window->GetUpgradePrice(), -1) << "the top level";
  EXPECT_FALSE(Shown(window->GetUpgradeButton()));
  EXPECT_FALSE(window->Upgrade());
}

TEST_F(WarehouseWindowTest, EnterClosesAndClicksOverTheLevelPanelPassThrough) {
  // Opening lets the level's warehouse messages leave, no other.
  MessageNoticeQueue* messages = GetMessageNotices();
  ASSERT_NE(messages, nullptr);
  for (u32 id : {kMessageWarehouseFull + 2, kMessageLevel | 7u, kMessageWarehouseFull + 5})
    messages->ShowMessage(id, nullptr, 0, u"full", 0, 0, 5000, nullptr, 0);
  Open();
  ASSERT_EQ(messages->GetCount(), 3);
  EXPECT_EQ(messages->CountLive(), 1);
  EXPECT_NE(messages->Find(kMessageLevel | 7u), nullptr);
  messages->Clear(0);
  EXPECT_TRUE(window->ShowsEmpty());
  EXPECT_TRUE(window->HitTest(5, 5)) << "outside the window, off the panel: taken";
  const DXLRECT& menu = rig.panel->GetMenuButton()->GetRect();
  kis::IntPoint at{};
  rig.panel->ClientToScreen(&at, (menu.left + menu.right) / 2, (menu.top + menu.bottom) / 2);
  ASSERT_TRUE(rig.panel->IsPointOver(at.x, at.y));
  EXPECT_FALSE(window->HitTest(at.x, at.y)) << "over the panel's menu button";
  EXPECT_TRUE(window->OnKeyDown(13, 0));
  EXPECT_TRUE(window->IsClosing());
  EXPECT_EQ(FindOpenWarehouse(), nullptr);
  EXPECT_EQ(Command(kWarehouseClose), 2u);
  // Opened again while the first still hides: the new one is the open one,
  // and stays so when the first goes.
  auto* again = new WarehouseWindow(Rules(), rig.map.get(), nullptr);
  EXPECT_EQ(FindOpenWarehouse(), again);
  delete window;
  window = again;
  EXPECT_EQ(FindOpenWarehouse(), again);
  // Closing or not, it goes with the level's panel (it works on the level).
  rig.host.DeletePanel();
  EXPECT_EQ(rig.manager->FindWindow(WarehouseWindow::kId), nullptr);
  window = nullptr;
}

}  // namespace
}  // namespace windowstest

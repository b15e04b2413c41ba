// The notices on the scenario set's mill (level 4) played through the game's
// world: a full warehouse shows its message notice at most once per 10
// seconds of the message limiter (a report inside them pulses nothing, one
// after them pulses the live notice), a product's award crossing its first
// tier shows an award notice; both stacked over the level are drawn as
// notices_over_level.png for a person to look at; clicked where they stand
// through the window manager, each goes.
#include <gtest/gtest.h>

#include "content/AwardTable.h"
#include "content/ProductList.h"
#include "engine/DXLViewer.h"
#include "gametext/GameMessager.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelWindows.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/GameLevel.h"
#include "level/state/GameLevelSaves.h"
#include "testsupport/LevelHarness.h"
#include "testsupport/SavedLevelStore.h"
#include "testsupport/WindowDoor.h"
#include "ui/WindowManager.h"
#include "windows/AwardNotice.h"
#include "windows/GameWindowManager.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"
#include "windows/MessageNotice.h"

namespace windowstest {
namespace {

constexpr i32 kNoticesMillLevel = 3;

// The harness's profile with award counters of its own.
struct CountingProfile : leveltest::FakeLevelProfile {
  using FakeLevelProfile::FakeLevelProfile;
  AWARDCOUNTERS* GetAwardCounters() override { return &counters; }
  AWARDCOUNTERS counters;
};

class NoticesPlayed : public ::testing::Test {
 protected:
  NoticesPlayed() : h(leveltest::ScenarioDataFolder(), 800, 600, true), profile(h.windows), saves(&store, &store, nullptr) {}

  GameLevel& Make() {
    GameLevelHooks hooks;
    hooks.rules.profile = &profile;
    hooks.villains = &h.villains;
    hooks.saves = &saves;
    GameLevel* level = h.world.OpenLevel(kNoticesMillLevel, LevelSetup{}, hooks);
    h.LoadAll();
    h.Enter();
    h.Start();
    return *level;
  }
  // Frames of the game's world; the platform's clock (the message
  // limiter's) moves with them.
  void Frames(u32 ms, bool draw = false) {
    while (ms > 0) {
      const u32 d = ms < 20 ? ms : 20;
      ms -= d;
      h.rig.Clock().Advance(d);
      h.world.Frame(d);
      if (draw) {
        DXLViewer* viewer = GetGameViewer();
        ASSERT_EQ(viewer->BeginFrame(), 0);
        viewer->Clear(0xFF000000u);
        h.world.Draw();
        ASSERT_EQ(viewer->Present(), 0);
      }
    }
  }

  leveltest::LevelHarness h;
  CountingProfile profile;
  testsupport::SavedLevelStore store;
  GameLevelSaves saves;
};

TEST_F(NoticesPlayed, AFullWarehouseOncePerTenSecondsAndAnAwardCrossingItsTier) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make();
  LevelRules& rules = level.Rules();
  LevelPanelHost* host = h.world.Panel();
  ASSERT_NE(host, nullptr);
  MessageNoticeQueue* messages = GetMessageNotices();
  AwardNoticeQueue* awards = GetAwardNotices();
  ASSERT_TRUE(messages && awards);
  // As the game enters a level: anchored at its panel, 120 from the bottom.
  messages->SetHost(host->GetPanel(), 120, kMessageLevel);
  awards->SetHost(host->GetPanel(), 120);
  PRODUCT* wheat = GetProductList()->FindByName(u"wheat");
  ASSERT_NE(wheat, nullptr);
  WarehouseStock& stock = *rules.Stock();
  const u32 id = kMessageWarehouseFull + wheat->number;

  GameMessager messager;
  const i32 room = stock.GetCapacity(wheat) - stock.GetCount(wheat);
  EXPECT_EQ(rules.StoreProduct(wheat, room + 3, -1, 400, 300, 0, &messager), room);
  EXPECT_EQ(host->GetMessagesShown(), 1u);
  MessageWindow* notice = messages->Find(id);
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(notice->GetLifeMs(), 15000u);  // the long form, the first time
  Frames(300, true);
  for (u32 t = 0; t < 9; ++t) {  // inside the 10 seconds: no message
    rules.StoreProduct(wheat, 1, -1, 400, 300, 0, &messager);
    Frames(1000);
  }
  EXPECT_EQ(host->GetMessagesShown(), 1u);
  EXPECT_FALSE(notice->IsHighlighted());
  Frames(1000);
  rules.StoreProduct(wheat, 1, -1, 400, 300, 0, &messager);
  EXPECT_EQ(host->GetMessagesShown(), 2u);
  EXPECT_EQ(messages->GetCount(), 1);
  EXPECT_EQ(messages->Find(id), notice);  // the live one pulses, restarted
  EXPECT_TRUE(notice->IsHighlighted());
  EXPECT_EQ(notice->GetLifeMs(), 5000u);

  // Wheat's award: 99 counted, two more cross its first tier.
  GetProductList()->LoadProduct(wheat);
  ASSERT_GE(wheat->awardIndex, 0);
  profile.counters.tiered[wheat->awardIndex] = 99;
  stock.Take(wheat, 2);
  rules.StoreProduct(wheat, 2, wheat->awardIndex, 400, 300, 0, &messager);
  ASSERT_EQ(awards->GetCount(), 1);
  NewAwardWindow* award = awards->Get(0);
  EXPECT_EQ(award->GetKind(), 0);
  EXPECT_EQ(award->GetIndex(), static_cast<u32>(wheat->awardIndex));
  EXPECT_EQ(award->GetTier(), 1);
  // A second of each: the newest at the bottom, the older ones above it.
  PRODUCT* flour = GetProductList()->FindByName(u"flour");
  ASSERT_NE(flour, nullptr);
  host->ShowMessage(kMessageWarehouseFull + flour->number, u"warehouse_full", kMessageFlagsWarehouse, flour, 5000,
                    nullptr);
  awards->ShowAward(1, 0, 1);
  Frames(400, true);
  // Messages bottom left, awards bottom right, over the panel's margin.
  ASSERT_EQ(messages->GetCount(), 2);
  ASSERT_EQ(awards->GetCount(), 2);
  EXPECT_EQ(notice->GetRect().left, 4);
  EXPECT_EQ(messages->Get(1)->GetRect().bottom, 600 - 120);
  EXPECT_EQ(notice->GetRect().bottom, messages->Get(1)->GetRect().top);
  EXPECT_EQ(award->GetRect().right, 800 - 4);
  EXPECT_EQ(awards->Get(1)->GetRect().bottom, 600 - 120);
  EXPECT_EQ(award->GetRect().bottom, awards->Get(1)->GetRect().top);
  EXPECT_TRUE(h.WritePng("notices_over_level.png"));

  // Clicked through the window manager where they stand, bottom left and
  // bottom right: a right click takes an award notice away, any click a
  // message notice.
  WindowManager& m = *GetUiServices().windowManager;
  const auto middle = [](const GameWindow& w) {
    const DXLRECT& r = w.GetRect();
    return kis::IntPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  testsupport::ClickAt(m, middle(*award), kMouseRight);
  EXPECT_FALSE(award->IsLive());
  EXPECT_TRUE(notice->IsLive());
  testsupport::ClickAt(m, middle(*notice));
  EXPECT_FALSE(notice->IsLive());

  // The level goes: its messages and the award notices with it.
  h.world.CloseLevel();
  EXPECT_EQ(messages->GetCount(), 0);
  EXPECT_EQ(awards->GetCount(), 0);
}

}  // namespace
}  // namespace windowstest

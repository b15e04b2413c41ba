// The bonuses window over the level rig's bonus table and the map's fake
// profile: the panels of the bonuses owned, choosing past three, removing
// from the front, a damaged choice record, Escape applying the choice to
// the level window that opened it and Enter applying and closing too; the
// level's record and the profile kept.
#include <gtest/gtest.h>

#include <vector>

#include "../level/LevelRig.h"
#include "FakeMapProfile.h"
#include "ui/GameControls.h"
#include "content/LevelTable.h"
#include "windows/BonusesWindow.h"
#include "windows/LevelWindow.h"
#include "windows/WindowServices.h"
#include "testsupport/WindowDoor.h"

namespace windowstest {
namespace {

class BonusesWindowTest : public ::testing::Test {
 protected:
  BonusesWindowTest() { GetWindowServices().mapProfile = &profile; }
  ~BonusesWindowTest() override {
    delete window;
    GetWindowServices().mapProfile = nullptr;
  }
  BonusesWindow& Open(u32 owned, BONUSSELECTION choice) {
    delete window;
    profile.owned = owned;
    record = choice;
    window = new BonusesWindow(0, &record);
    Place(window);
    return *window;
  }
  static void Place(GameWindow* w) {
    testsupport::PlaceWindow(*w);
    testsupport::Settle(*w);
  }
  std::vector<i32> Slots() const {
    std::vector<i32> v;
    for (i32 i = 0; i < 3; ++i) v.push_back(window->GetSlot(i)->GetBonus());
    return v;
  }
  std::vector<i32> Checked() const {
    std::vector<i32> v;
    for (const BonusWindowPanel* p : window->Panels())
      if (p->IsChecked()) v.push_back(p->GetBonus());
    return v;
  }
  // Through the window manager, as the player clicks.
  void Click(GameButton* b) { testsupport::Click(rig.windows, *b); }

  leveltest::LevelRig rig;
  testsupport::InterfacePicture picture;
  FakeMapProfile profile;
  BONUSSELECTION record{};
  BonusesWindow* window = nullptr;
};

TEST_F(BonusesWindowTest, PanelsFollowTheBonusesOwned) {
  Open(0, {0, {-1, -1, -1}});
  EXPECT_EQ(window->GetLevelInfo(), &GetLevelTable()->Get(0));
  EXPECT_EQ(window->GetProfile(), &profile);
  EXPECT_TRUE(window->Panels().empty());
  EXPECT_FALSE(window->HasClosingPiece());
  Open(3, {0, {-1, -1, -1}});
  ASSERT_EQ(window->Panels().size(), 3u);
  EXPECT_TRUE(window->HasClosingPiece());
  EXPECT_EQ(window->Panels()[2]->GetY() - window->Panels()[0]->GetY(), 2 * BonusesWindow::kPanelStep);
  EXPECT_EQ(window->Panels()[0]->GetX(), 12);
  Open(6, {0, {-1, -1, -1}});
  EXPECT_EQ(window->Panels().size(), 6u);
  EXPECT_FALSE(window->HasClosingPiece());
  EXPECT_EQ(Slots(), (std::vector<i32>{-1, -1, -1}));
  EXPECT_FALSE(window->GetSlot(0)->IsEnabled()) << "an empty slot is hidden";
}

TEST_F(BonusesWindowTest, AFourthReplacesTheThirdAndRemovingShiftsLeft) {
  Open(6, {1, {3, -1, -1}});
  EXPECT_EQ(Checked(), (std::vector<i32>{3}));
  Click(window->Panels()[0]);
  Click(window->Panels()[5]);
  EXPECT_EQ(Slots(), (std::vector<i32>{3, 0, 5}));
  Click(window->Panels()[1]);  // a fourth
  EXPECT_EQ(Slots(), (std::vector<i32>{3, 0, 1}));
  EXPECT_EQ(Checked(), (std::vector<i32>{0, 1, 3}));
  EXPECT_EQ(window->GetWorking().count, 3u);

  Click(window->GetSlot(0));  // the first goes, the others move left
  EXPECT_EQ(Slots(), (std::vector<i32>{0, 1, -1}));
  EXPECT_FALSE(window->GetSlot(2)->IsEnabled());
  EXPECT_EQ(Checked(), (std::vector<i32>{0, 1}));
  Click(window->Panels()[0]);  // a checked panel lets its bonus go
  EXPECT_EQ(Slots(), (std::vector<i32>{1, -1, -1}));
  EXPECT_EQ(window->GetWorking().count, 1u);
  EXPECT_EQ(record.count, 1u) << "the caller's record waits for the apply";
  EXPECT_EQ(record.slots[0], 3);
}

TEST_F(BonusesWindowTest, ADamagedRecordIsCheckedAndEscapeAppliesToTheLevelWindow) {
  Open(6, {5, {7, 2, 2}});
  EXPECT_EQ(window->GetWorking().count, 1u);
  EXPECT_EQ(Slots(), (std::vector<i32>{2, -1, -1}));
  delete window;
  window = nullptr;

  profile.owned = 4;
  profile.selection[0] = BONUSSELECTION{1, {2, -1, -1}};
  auto* level = new LevelWindow(0, kLevelWindowFromMap, [](u32, i32, u32) {});
  Place(level);
  Click(level->Controls().FindControl(kLevelWindowSelectBonuses, 0));
  window = static_cast<BonusesWindow*>(rig.windows.FindWindow(BonusesWindow::kId));
  ASSERT_NE(window, nullptr);
  Place(window);
  EXPECT_EQ(Slots(), (std::vector<i32>{2, -1, -1}));
  Click(window->Panels()[0]);
  EXPECT_EQ(level->GetSlot(1)->GetBonus(), -1) << "not before the apply";
  EXPECT_TRUE(window->OnKeyDown(27, 0));
  EXPECT_TRUE(window->IsClosing());
  EXPECT_EQ(level->Selection().count, 2u);
  EXPECT_EQ(level->GetSlot(1)->GetBonus(), 0) << "the level window shows the choice";
  EXPECT_EQ(window->OnCommand(window->Controls().FindControl(kBonusesOk, 0)), 2u);
  delete level;

  // Enter applies and closes as well.
  Open(6, {0, {-1, -1, -1}});
  Click(window->Panels()[4]);
  EXPECT_TRUE(window->OnKeyDown(13, 0));
  EXPECT_TRUE(window->IsClosing());
  EXPECT_EQ(record.count, 1u);
  EXPECT_EQ(record.slots[0], 4);
}

}  // namespace
}  // namespace windowstest

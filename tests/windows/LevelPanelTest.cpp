// The level panel's layout over screen widths, the child panels' framework
// (show, hide, the layout generation, button lists and requirements) and
// the row cells.
#include <gtest/gtest.h>

#include "../level/CharacterRig.h"
#include "PanelRig.h"
#include "content/ContentServices.h"
#include "resources/ResourceServices.h"
#include "ui/UiServices.h"
#include "windows/WarehouseWindow.h"
#include "windows/EmptyPanel.h"
#include "windows/WarehouseButton.h"
#include "windows/CLPLevelBlock.h"
#include "windows/LevelMenuHandler.h"
#include "windows/MenuWindow.h"
#include "testsupport/LevelPanelStandIns.h"
#include "testsupport/PlainButton.h"
#include "testsupport/WindowDoor.h"
#include "ui/NarrowButton.h"

#include <algorithm>
#include <string>

namespace windowstest {
namespace {

TEST(LevelPanelLayout, FollowsTheScreenWidth) {
  struct Case {
    i32 screen, block, left, childX, childWidth, rightX, leftFill, rightFill;
  } cases[] = {{800, 279, 0, 279, 420, 699, 2, 2},
               {640, 279, 0, 279, 420, 699, 2, 2},  // never below 800
               {850, 304, 0, 304, 445, 749, 2, 2},
               {901, 329, 0, 329, 470, 799, 2, 3},
               {1280, 329, 190, 519, 470, 989, 192, 192}};
  for (const Case& c : cases) {
    const LevelPanelLayout l = ComputeLevelPanelLayout(c.screen);
    EXPECT_EQ(l.block, c.block) << c.screen;
    EXPECT_EQ(l.left, c.left) << c.screen;
    EXPECT_EQ(l.childX, c.childX) << c.screen;
    EXPECT_EQ(l.childWidth, c.childWidth) << c.screen;
    EXPECT_EQ(l.rightX, c.rightX) << c.screen;
    EXPECT_EQ(l.leftFill, c.leftFill) << c.screen;
    EXPECT_EQ(l.rightFill, c.rightFill) << c.screen;
  }
}

TEST(LevelPanelLayout, RowCells) {
  ButtonRowLayout row;
  SplitRowIntoCells(&row, 100, 3);
  ASSERT_EQ(row.count, 3);
  EXPECT_EQ(row.cells[0].start, 0);
  EXPECT_EQ(row.cells[1].start, 33);
  EXPECT_EQ(row.cells[2].start, 67);
  EXPECT_EQ(row.cells[0].width, 33);
  EXPECT_EQ(row.cells[1].width, 34);
  EXPECT_EQ(row.cells[2].width, 33);
  SplitRowIntoCells(&row, 220, 11);
  EXPECT_EQ(row.count, 10);
  EXPECT_EQ(row.cells[9].start + row.cells[9].width, 220);
  SplitRowIntoCells(&row, 50, 0);
  EXPECT_EQ(row.count, 0);
}

// The panel's window, its parts placed, the generation raised only when the
// child area moves, and the shown child re-arranged on a resize.
TEST(LevelPanel, PlacesItsPartsAndFollowsResizes) {
  StandInPartMaker standIns;
  PanelRig rig(800, 600, &standIns);
  rig.level.SetTasks(0, {{4, 0, 0, 2}, {0, 0, 0, 900}});
  rig.MakeLevel({MapRig::Garbage(leveltest::kJunk, 100, 300, 300)});
  LevelPanel& panel = *rig.panel;
  EXPECT_EQ(rig.host.GetPanel(), &panel);
  EXPECT_EQ(panel.GetId(), kLevelPanelId);
  EXPECT_EQ(panel.GetRect().top, 600 - 115);
  EXPECT_EQ(panel.GetRect().right, 800);
  ASSERT_EQ(panel.GetTaskCount(), 2u);
  auto* first = static_cast<TaskButtonStandIn*>(panel.GetTaskButton(0));
  auto* second = static_cast<TaskButtonStandIn*>(panel.GetTaskButton(1));
  // step = (279 - 9) / 2 = 135: neighbours overlap by one pixel.
  EXPECT_EQ(first->GetX(), 4);
  EXPECT_EQ(first->GetWidth(), 136);
  EXPECT_EQ(second->GetX(), 4 + 135);
  EXPECT_EQ(second->GetProgress(), 300);  // the money task starts at the money
  auto* bar = static_cast<TimeBarStandIn*>(panel.GetTimeBar());
  EXPECT_EQ(bar->GetX(), 279);
  EXPECT_EQ(bar->GetWidth(), 420);
  // The menu plate in the top right corner, the menu button on it.
  const DXLRECT plate = panel.GetMenuPlate();
  EXPECT_EQ(plate.right, 800);
  EXPECT_EQ(plate.top, 0);
  ASSERT_NE(panel.GetMenuButton(), nullptr);
  EXPECT_EQ(panel.GetMenuButton()->GetRect().left + panel.GetRect().left, plate.left + 4);
  EXPECT_TRUE(panel.HitTest(plate.left + 6, 5));
  EXPECT_FALSE(panel.HitTest(plate.left - 6, 5));
  EXPECT_TRUE(panel.IsPointOver(plate.left + 8, 10));
  EXPECT_FALSE(panel.IsPointOver(400, 590));  // the strip takes its own clicks
  EXPECT_EQ(GetUiServices().levelPanel, &panel);
  EXPECT_EQ(panel.GetWarehouseButton()->GetRect().left, 699 + 11);

  // Nothing selected: the empty panel, once, in the child area.
  panel.ShowEmptyPanel();
  ChildLevelPanel* empty = rig.Shown();
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->GetKind(), kPanelKindEmpty);
  panel.ShowEmptyPanel();
  EXPECT_EQ(rig.Shown(), empty);
  EXPECT_EQ(panel.Children().size(), 1u);
  EXPECT_EQ(empty->GetX(), 279);
  EXPECT_EQ(empty->GetY(), 24);
  EXPECT_EQ(empty->GetWidth(), 420);
  EXPECT_EQ(empty->GetHeight(), 91);
  EXPECT_EQ(static_cast<EmptyPanel*>(empty)->GetRowCount(), 2);
  EXPECT_EQ(static_cast<EmptyPanel*>(empty)->GetRowY(0), 30);
  EXPECT_EQ(static_cast<EmptyPanel*>(empty)->GetLeftColumn(), (210 + 8) / 2);

  const u32 generation = panel.GetGeneration();
  PanelRig::Screen(1280, 720);
  panel.OnScreenResize();
  EXPECT_EQ(panel.GetGeneration(), generation + 1);
  EXPECT_EQ(empty->GetX(), 519);
  EXPECT_EQ(empty->GetWidth(), 470);
  EXPECT_EQ(panel.GetRect().top, 720 - 115);
  EXPECT_EQ(bar->GetWidth(), 470);
  panel.OnScreenResize();  // the same size: no new generation
  EXPECT_EQ(panel.GetGeneration(), generation + 1);
  rig.host.DeletePanel();
  rig.panel = nullptr;
  EXPECT_EQ(GetUiServices().levelPanel, nullptr);
  EXPECT_EQ(rig.host.GetPanel(), nullptr);
}

TEST(LevelPanel, HardModeShowsThreeMedalRows) {
  PanelRig rig;
  rig.MakeLevel({}, 1);
  rig.panel->ShowEmptyPanel();
  auto* empty = static_cast<EmptyPanel*>(rig.Shown());
  ASSERT_EQ(empty->GetRowCount(), 3);
  EXPECT_EQ(empty->GetRowY(0), 46 - 24);
  EXPECT_EQ(empty->GetRowY(2), 46 + 24);
  wchar text[16];
  FormatPanelTime(3723000, text, 16);
  EXPECT_EQ(std::u16string(text), u"01:02:03");
}

// The prompt pulses between 1.5 and 1.7 over 1200 ms, fades in over 500 ms
// and out over 200 ms once play starts, and then is gone.
TEST(LevelPanel, PromptPulsesAndFades) {
  PanelRig rig;
  rig.MakeLevel({});
  LevelPanel& panel = *rig.panel;
  EXPECT_NEAR(panel.PromptScale(), 1.5f, 1e-4f);
  EXPECT_NEAR(panel.PromptAlpha(), 0.0f, 1e-4f);
  panel.AdvanceClock(600);
  EXPECT_NEAR(panel.PromptScale(), 1.7f, 1e-4f);
  EXPECT_NEAR(panel.PromptAlpha(), 1.0f, 1e-4f);
  panel.StartPromptFadeOut();
  panel.AdvanceClock(100);
  EXPECT_NEAR(panel.PromptAlpha(), 0.5f, 1e-4f);
  panel.AdvanceClock(100);
  EXPECT_LE(panel.PromptAlpha(), 0.0f);
}

// A button with a count and no product follows the money; one with a
// product the stock; one disabled by its owner stays disabled whatever its
// requirement says. The lists follow the product.
TEST(LevelPanelButton, RequirementsFollowMoneyAndStock) {
  PanelRig rig;
  rig.MakeLevel({});
  rig.panel->ShowEmptyPanel();
  ChildLevelPanel& panel = *rig.Shown();
  ButtonRowLayout row;
  SplitRowIntoCells(&row, 220, 3);
  LevelPanelButton* money = panel.CreateButton(row, 0, 0xc9000777u, u"ico_clear", 250, nullptr);
  const PRODUCT* wheat = rig.level.products.FindByName(u"wheat");
  ASSERT_NE(wheat, nullptr);
  LevelPanelButton* goods = panel.CreateButton(row, 1, 0xc9000778u, u"ico_clear", 3, wheat);
  EXPECT_EQ(money->GetListIndex(), 0);
  EXPECT_EQ(goods->GetListIndex(), 1);
  EXPECT_EQ(money->GetFlags() & kButtonFirstCell, kButtonFirstCell);
  EXPECT_EQ(goods->GetFlags() & (kButtonFirstCell | kButtonLastCell), 0u);
  EXPECT_EQ(goods->GetRect().right - goods->GetRect().left, row.cells[1].width);
  EXPECT_TRUE(money->IsEnabled());  // 300 of 250
  EXPECT_FALSE(goods->IsEnabled());  // none in stock
  rig.level.rules->Money().Change(-100);
  EXPECT_FALSE(money->IsEnabled());
  rig.level.rules->Stock()->Add(wheat, 3, false);
  EXPECT_TRUE(goods->IsEnabled());
  goods->SetEnabled(false);
  rig.level.rules->Stock()->Add(wheat, 1, false);
  EXPECT_FALSE(goods->IsEnabled());
  goods->SetEnabled(true);
  EXPECT_TRUE(goods->IsEnabled());
  rig.level.rules->Stock()->Take(wheat, 4);
  EXPECT_FALSE(goods->IsEnabled());
  goods->SetProduct(2, nullptr);  // now money: 200 of 2
  EXPECT_EQ(goods->GetListIndex(), 0);
  EXPECT_TRUE(goods->IsEnabled());
  goods->SetProduct(-5, nullptr);
  EXPECT_EQ(goods->GetCount(), 0);
  // A button the panel deletes leaves its lists.
  delete money;
  EXPECT_EQ(panel.Buttons(0).size(), 1u);
  goods->SetFill(0.5f);
  EXPECT_FLOAT_EQ(goods->GetFill(), 0.5f);
  goods->SetFill(7.0f);
  EXPECT_FLOAT_EQ(goods->GetFill(), 1.0f);
}

}  // namespace
}  // namespace windowstest

namespace windowstest {
namespace {

bool Saw(const leveltest::Log& log, const std::string& line) {
  return std::find(log.begin(), log.end(), line) != log.end();
}

struct MenuLog : LevelMenuActions {
  void CloseMenu() override { seen += "close "; }
  void QuitGame() override { seen += "quit "; }
  void OfferRestart() override { seen += "restart "; }
  void ExitToMap() override { seen += "map "; }
  void OpenOptions() override { seen += "options "; }
  void OpenAwards() override { seen += "awards "; }
  std::string seen;
};

// A level of one point at (400, 300): a factory of the kind "shed" (two
// levels) at the level given.
void MakeShedLevel(PanelRig& rig, i32 level) {
  rig.level.LoadKinds({}, {{u"shed", 2, true, kBuildingFactory}});
  rig.MakeLevel({POINTDEF{3, level, kis::NameId(u"shed"), 0, {0, 0}, 400, 300, 0}});
}

// The panel's own commands: the warehouse and menu windows open, a bonus
// command without a button does nothing, the close-tutorial question stops the
// tutorial on yes (the bonus buttons' own commands: PanelPartsTest); a point panel's remove command empties a point below
// level 1; the level menu's six commands. The panel stands away from the
// screen's corner, its buttons above the strip placed again from there: a
// point turned into panel coordinates twice, or not at all, misses them.
TEST(LevelPanel, CommandsReachTheLevel) {
  PanelRig rig;
  MakeShedLevel(rig, 0);
  LevelPanel& panel = *rig.panel;
  testsupport::PlaceWindow(panel);
  panel.CreateBonusButtons();  // none: the buttons placed again
  ASSERT_EQ(panel.GetRect().left, testsupport::kAwayX);
  EXPECT_TRUE(testsupport::HoversAt(*rig.manager, *panel.GetWarehouseButton()));
  rig.Click(panel.GetWarehouseButton());
  ASSERT_NE(FindOpenWarehouse(), nullptr) << "the game's warehouse window";
  delete FindOpenWarehouse();
  // Its levels are the warehouse kind's (four: marks 0 to 3), its level the level's warehouse level.
  EXPECT_EQ(panel.GetWarehouseButton()->GetMaxLevel(), 3);
  rig.level.rules->Stock()->SetLevel(3);
  panel.RefreshWarehouseLevel();
  EXPECT_EQ(panel.GetWarehouseButton()->GetLevel(), 2);
  const kis::IntPoint onMenu = testsupport::MiddleOf(*panel.GetMenuButton());
  EXPECT_TRUE(panel.IsPointOver(onMenu.x, onMenu.y));
  rig.Click(panel.GetMenuButton());  // on its plate at the screen's top, above the strip
  ASSERT_NE(GetOpenMenuWindow(), nullptr);
  delete GetOpenMenuWindow();

  // A bonus command of a slot without a button (the stand-ins are none) does nothing.
  uitest::PlainButton bonus(&panel, nullptr, kCommandBonus, DXLRECT{0, 0, 10, 10});
  bonus.SetData(2);
  EXPECT_EQ(panel.OnCommand(&bonus), kCommandSilent);
  EXPECT_FALSE(rig.level.rules->IsStarted());

  size_t mark = rig.Mark();
  panel.CreateTutorialButton();
  ASSERT_NE(panel.GetTutorialButton(), nullptr);
  EXPECT_EQ(rig.manager->GetDialog(), nullptr);
  // It takes the mouse once it has slid in (its effect runs as it is drawn).
  for (i32 i = 0; i < 20 && panel.GetTutorialButton()->IsLocked(); ++i) {
    GetResourceServices().clock += 20;
    panel.GetTutorialButton()->Draw();
  }
  const kis::IntPoint onTutorial = testsupport::MiddleOf(*panel.GetTutorialButton());
  EXPECT_LT(onTutorial.x, testsupport::kAwayX) << "in the screen's top left corner, outside the strip";
  EXPECT_TRUE(panel.IsPointOver(onTutorial.x, onTutorial.y));
  rig.Click(panel.GetTutorialButton());
  BaseDialogWindow* question = rig.manager->GetDialog();
  ASSERT_NE(question, nullptr);
  EXPECT_TRUE(question->GetCaptionKey() == u"close_tutorial_c");
  EXPECT_TRUE(question->GetMessageKey() == u"close_tutorial");
  EXPECT_EQ(question->GetDesc().buttonIds[0], kAnswerYes);
  EXPECT_EQ(question->GetDesc().buttonIds[1], kAnswerNo);
  question->Answer(kAnswerNo);
  EXPECT_FALSE(Saw(rig.Since(mark), "stop tutorial"));
  question->Answer(kAnswerYes);
  EXPECT_TRUE(Saw(rig.Since(mark), "stop tutorial"));

  // A building point of level 0: its panel's remove command empties it.
  BaseLevelPoint* building = rig.map->GetPoint(0);
  ASSERT_NE(building, nullptr);
  ASSERT_NE(building->GetKind(), kPointKindEmpty);
  panel.ShowEmptyPanel();
  LevelPanelButton* remove = rig.Shown()->CreateRemoveButton(building);
  EXPECT_EQ(rig.Shown()->CreateRemoveButton(building), remove);
  EXPECT_EQ(remove->GetId(), 0xc9000002u);
  rig.Shown()->RefreshRemoveButton();
  EXPECT_TRUE(remove->IsEnabled());
  EXPECT_EQ(panel.OnCommand(remove), 0u) << "the button stays as the click left it";
  EXPECT_EQ(rig.map->GetPoint(0)->GetKind(), kPointKindEmpty);

  MenuLog actions;
  LevelMenuHandler menu(&actions);
  EXPECT_EQ(menu.OnCommand(kMenuClose), 0u);
  EXPECT_EQ(menu.OnCommand(kMenuRestart), 2u);
  EXPECT_EQ(menu.OnCommand(kMenuToMap), 2u);
  EXPECT_EQ(menu.OnCommand(kMenuOptions), 2u);
  EXPECT_EQ(menu.OnCommand(kMenuAwards), 2u);
  EXPECT_EQ(menu.OnCommand(0x20000009u), 0u);
  EXPECT_EQ(menu.GetQuitQuestion(), nullptr);
  EXPECT_EQ(menu.OnCommand(kMenuQuit), 2u);
  BaseDialogWindow* quit = menu.GetQuitQuestion();
  ASSERT_NE(quit, nullptr);
  EXPECT_EQ(rig.manager->GetDialog(), quit);
  EXPECT_TRUE(quit->GetCaptionKey() == u"quit_c");
  EXPECT_TRUE(quit->GetMessageKey() == u"quit");
  EXPECT_EQ(quit->GetDesc().buttonIds[0], kAnswerYes);
  EXPECT_EQ(quit->GetDesc().buttonIds[1], kAnswerNo);
  quit->Answer(kAnswerNo);
  quit->Answer(kAnswerOk);
  EXPECT_EQ(actions.seen, "close restart map options close awards quit ");
}

// A job of the player's that builds (or waters) a point: its icon on the
// point, a work step of 100 ms, then done.
struct PointWork : Job {
  PointWork(MapCharacter* owner, BaseLevelPoint* point, u16 id) : Job(owner, id) {
    ShowIcon(point->GetX(), point->GetY(), GetSpriteByName(kIconSpriteSet, u"ico_clear"), point, kJobIconColor);
  }
  void Update() override {
    if (step_ == 0) {
      NextStep(1);
      PlayAnimation(100, u"girl_build", -1, -1);
    } else if (UpdateAnimation()) {
      NextStep(2);
      state_ = kJobDone;
    }
  }
};

// The remove button is on while its point is idle: a job of the player's
// that works on the point (build, water) makes it busy while it waits in
// her queue and while it runs; done or cancelled it leaves the point idle,
// and so do her other jobs there (a pull-down, a walk).
TEST(LevelPanel, RemoveButtonWaitsWhileThePointsOwnJobsRun) {
  PanelRig rig;
  MakeShedLevel(rig, 1);
  BaseLevelPoint* point = rig.map->GetPoint(0);
  rig.panel->ShowEmptyPanel();
  LevelPanelButton* remove = rig.Shown()->CreateRemoveButton(point);
  const auto enabled = [&] {
    rig.Shown()->RefreshRemoveButton();
    return remove->IsEnabled();
  };
  EXPECT_TRUE(enabled());

  auto cast = std::make_unique<LevelCharacters>(*rig.map, rig.level.rules.get(), &rig.level.hudList, kLevelWidth,
                                                kLevelHeight);
  CharacterList descriptions;  // the game's, in the services
  GetContentServices().characters = &descriptions;
  GameCharacter* girl =
      leveltest::MakeGirl(descriptions, {{u"girl_idle", kAnimPingPong, 220, 880}, {u"girl_walk", kAnimLoop, 85, 680},
                                         {u"girl_build", kAnimOnce, 100, 600}});
  auto* her = new MapCharacter(*cast, girl, 0, u"girl_idle", leveltest::kDown, 400, 340, nullptr);
  const auto tick = [&] {
    GetResourceServices().clock += 10;
    cast->Update();
  };
  auto* build = new PointWork(her, point, 5);
  EXPECT_FALSE(enabled()) << "queued";
  tick();
  ASSERT_EQ(build->GetState(), kJobAnimating);
  EXPECT_FALSE(enabled()) << "running";
  for (i32 i = 0; i < 20 && her->GetJobs().GetCount() > 0; ++i) tick();
  EXPECT_EQ(her->GetJobs().GetCount(), 0);
  EXPECT_TRUE(enabled()) << "done";

  auto* water = new PointWork(her, point, 3);
  tick();
  EXPECT_FALSE(enabled());
  water->Finish();
  EXPECT_TRUE(enabled()) << "cancelled, though still in her queue";
  tick();
  new PointWork(her, point, 11);
  EXPECT_TRUE(enabled()) << "a pull-down";
  new PointWork(her, point, kJobGoTo);
  EXPECT_TRUE(enabled()) << "a walk";

  cast.reset();
  GetContentServices().characters = nullptr;
  descriptions.Clear();
  FreeAnimations();
}

// The level block's marks and picture place, its hint value; the level
// marks of a maximum of 3 (a plate per level) and of others (stars).
TEST(CLPLevelBlock, MarksAndHint) {
  PanelRig rig;
  rig.MakeLevel({});
  rig.panel->ShowEmptyPanel();
  ChildLevelPanel& panel = *rig.Shown();
  CLPLevelBlock* block = panel.CreateLevelBlock();
  ASSERT_EQ(panel.GetLevelBlock(), block);
  EXPECT_EQ(block->GetId(), 0xc9000001u);
  block->SetLevel(1, 1, nullptr);
  EXPECT_EQ(block->GetMarkCount(), 0);
  EXPECT_EQ(block->GetPictureY(), 38.0f);
  const auto quads = [&] {
    i32 n = 0;
    for (const WindowSprites* pieces : {&block->Pieces(), &block->Marks()}) {
      const QuadBlockList& blocks = pieces->GetBlocks();
      for (i32 i = 0; i < blocks.GetCount(); ++i) n += blocks.Get(i)->count;
    }
    return n;
  };
  const i32 plain = quads();
  block->SetLevel(4, 2, rig.sheet);
  EXPECT_EQ(block->GetMarkCount(), 3);
  EXPECT_EQ(block->GetPictureY(), 27.0f);
  EXPECT_EQ(quads(), plain + 3);
  block->PlaceAt(10);
  EXPECT_EQ(block->GetRect().left, panel.GetX() + 10);
  EXPECT_EQ(block->GetRect().top, panel.GetY() + 7);
  block->CreateHint(u"Level", 1, 2);
  EXPECT_NE(block->GetFlags() & kLevelBlockRedraw, 0u);
  block->ShowHint();
  EXPECT_EQ(block->GetFlags() & kLevelBlockRedraw, 0u);
  block->SetHintData(3);
  EXPECT_NE(block->GetFlags() & kLevelBlockRedraw, 0u);
  panel.CreateLevelBlock();  // the old one goes
  EXPECT_NE(panel.GetLevelBlock(), nullptr);

  DXLQUAD q;
  EXPECT_FALSE(MakeLevelMark(1, 0, 50, 80, 0xFFFFFFFFu, &q));
  ASSERT_TRUE(MakeLevelMark(2, 3, 50, 80, 0xFFFFFFFFu, &q));
  EXPECT_NEAR(q.v[0].x, 50 - 23, 0.5f);
  EXPECT_FLOAT_EQ(q.v[1].x - q.v[0].x, 46);
  EXPECT_NEAR(q.v[0].v * 512.0f, 380 + 44, 1.0f);
  ASSERT_TRUE(MakeLevelMark(2, 5, 50, 80, 0xFFFFFFFFu, &q));
  EXPECT_FLOAT_EQ(q.v[1].x - q.v[0].x, 36);
  EXPECT_FALSE(MakeLevelMark(0, 5, 50, 80, 0xFFFFFFFFu, &q));
}

}  // namespace
}  // namespace windowstest

// The empty place's panels: the garbage panel's clear command and its
// button's state, the categories with their disabled placeholders, the
// build panels' rows, the back command, and the panel following its point.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "PanelRig.h"
#include "testsupport/PlainButton.h"
#include "ui/SkinTable.h"

namespace windowstest {
namespace {

using leveltest::kJunk;
using leveltest::kStones;

// Selecting a garbage place shows its garbage panel bound to it; the clear
// command (0xc9000006) starts the clearing, after which the button is
// disabled while the job runs; another place reuses the same panel; the
// price follows the money.
TEST(EmptyPlacePanels, GarbagePanelClears) {
  PanelRig rig;
  rig.MakeLevel({MapRig::Garbage(kJunk, 100, 300, 300), MapRig::Garbage(kStones, 450, 600, 300)});
  rig.Select(0);
  auto* garbage = dynamic_cast<GarbagePanel*>(rig.Shown());
  ASSERT_NE(garbage, nullptr);
  EXPECT_EQ(garbage->GetKind(), static_cast<i32>(kPanelGarbage));
  EXPECT_EQ(garbage->GetPlace(), rig.Place(0));
  EXPECT_EQ(rig.Place(0)->GetOpenPanel(), garbage);
  LevelPanelButton* clear = garbage->GetClearButton();
  ASSERT_NE(clear, nullptr);
  EXPECT_EQ(clear->GetId(), 0xc9000006u);
  EXPECT_EQ(clear->GetCount(), 100);
  EXPECT_TRUE(clear->IsEnabled());
  // One 98-pixel cell centred in the 420-pixel panel, 7 pixels down.
  EXPECT_EQ(garbage->GetRowOffset(), (420 - 98) / 2);
  EXPECT_EQ(clear->GetRect().left, 279 + (420 - 98) / 2);
  EXPECT_EQ(clear->GetRect().top, 24 + 7);
  EXPECT_EQ(clear->GetRect().right - clear->GetRect().left, 98);

  // The second place costs more than the 300 there are.
  rig.Select(1);
  EXPECT_EQ(rig.Shown(), garbage);
  EXPECT_EQ(garbage->GetPlace(), rig.Place(1));
  EXPECT_EQ(clear->GetCount(), 450);
  EXPECT_FALSE(clear->IsEnabled());
  rig.level.rules->Money().Change(200);
  EXPECT_TRUE(clear->IsEnabled());
  rig.level.rules->Money().Change(-200);

  // A click on the first place's button through the window manager.
  rig.Select(0);
  const size_t mark = rig.Mark();
  leveltest::FakeJob job(0, 0);
  rig.care.job = &job;
  rig.Click(clear);
  const leveltest::Log log = rig.Since(mark);
  EXPECT_NE(std::find(log.begin(), log.end(), "clear job at 0"), log.end());
  EXPECT_EQ(rig.Place(0)->GetClearJob(), &job);
  EXPECT_FALSE(clear->IsEnabled());
  // Selected again while its job runs: the button stays disabled; once the
  // job is gone (cancelled), the button comes back.
  rig.Select(1);
  rig.Select(0);
  EXPECT_FALSE(clear->IsEnabled());
  rig.Place(0)->SetClearJob(nullptr);
  garbage->Refresh();
  EXPECT_TRUE(clear->IsEnabled());
  EXPECT_EQ(rig.panel->Children().size(), 1u);
}

// The panel follows its point: clearing the selected place turns its
// garbage panel into the empty-place panel; deselecting shows the level
// panel's empty panel; a command routed with no panel shown does nothing.
TEST(EmptyPlacePanels, PanelFollowsItsPoint) {
  PanelRig rig;
  rig.MakeLevel({MapRig::Garbage(kJunk, 100, 300, 300)});
  EXPECT_EQ(rig.Shown(), nullptr);
  rig.Select(0);
  ASSERT_NE(dynamic_cast<GarbagePanel*>(rig.Shown()), nullptr);
  rig.Place(0)->SetGarbage(nullptr, 0, false, 0);
  auto* place = dynamic_cast<EmptyPointPanel*>(rig.Shown());
  ASSERT_NE(place, nullptr);
  EXPECT_EQ(place->GetPlace(), rig.Place(0));
  EXPECT_FALSE(rig.panel->FindChildPanel(static_cast<i32>(kPanelGarbage))->IsShown());
  rig.Select(-1);
  ASSERT_NE(rig.Shown(), nullptr);
  EXPECT_EQ(rig.Shown()->GetKind(), kPanelKindEmpty);
  EXPECT_FALSE(place->IsShown());
  EXPECT_EQ(rig.panel->Children().size(), 3u);
  uitest::PlainButton stub(rig.panel, nullptr, 0xc9000006u, DXLRECT{0, 0, 1, 1});
  EXPECT_EQ(rig.panel->OnCommand(&stub), 0u);  // the empty panel has no clear
}

// With nothing the level allows, every category is a disabled placeholder
// (0xc9000008); with a plant, the plants category opens the plants panel:
// back, the plant, two placeholders; back goes to the categories again.
TEST(EmptyPlacePanels, CategoriesAndBuildPanels) {
  PanelRig rig;
  rig.MakeLevel({MapRig::Garbage(0, 0, 300, 300)});
  rig.Select(0);
  auto* categories = dynamic_cast<EmptyPointPanel*>(rig.Shown());
  ASSERT_NE(categories, nullptr);
  ASSERT_EQ(categories->RowButtons().size(), 3u);
  for (LevelPanelButton* b : categories->RowButtons()) {
    EXPECT_EQ(b->GetId(), 0xc9000008u);
    EXPECT_FALSE(b->IsEnabled());
  }
  EXPECT_EQ(categories->GetRowOffset(), (420 - 220) / 2);
  EXPECT_EQ(categories->RowButtons()[1]->GetRect().left, 279 + 100 + 73);

  // A plant the level allows (and its limit) makes the first category real.
  rig.level.LoadKinds({{u"wheat", 1, true}}, {});
  rig.Select(-1);
  rig.Select(0);
  ASSERT_EQ(rig.Shown(), categories);
  LevelPanelButton* plants = categories->RowButtons()[0];
  EXPECT_EQ(plants->GetId(), 0xc9000100u);
  EXPECT_TRUE(plants->IsEnabled());
  EXPECT_EQ(categories->RowButtons()[1]->GetId(), 0xc9000008u);
  rig.Click(plants);
  auto* build = dynamic_cast<BuildPanel*>(rig.Shown());
  ASSERT_NE(build, nullptr);
  EXPECT_EQ(build->GetKind(), static_cast<i32>(kPanelPlants));
  ASSERT_EQ(build->RowButtons().size(), 4u);
  EXPECT_EQ(build->GetRecordCount(), 1);
  EXPECT_EQ(build->RowButtons()[0]->GetId(), 0xc9000007u);
  EXPECT_EQ(build->RowButtons()[1]->GetId(), 0xc9000400u);
  EXPECT_EQ(build->RowButtons()[1]->GetCount(), 50);  // its price, against the money
  EXPECT_TRUE(build->RowButtons()[1]->IsEnabled());
  EXPECT_EQ(build->RowButtons()[2]->GetId(), 0xc9000008u);
  EXPECT_FALSE(build->RowButtons()[3]->IsEnabled());
  EXPECT_EQ(build->GetRowWidth(), 49 + 220);
  // The categories stand on the plain background; the build panel's is
  // built for its row's span.
  EXPECT_EQ(categories->GetBlocks().GetCount(), 1);
  ASSERT_EQ(build->GetBlocks().GetCount(), 4);
  // The notch lies across the row's span, its rim two pixels past the
  // row's end; the plain background on either side meets it there.
  const auto edges = [](const SWINDOWSPRITE* block) {
    float left = 1e9f, right = -1e9f;
    for (const DXLQUAD& q : block->quads)
      for (const DXLVERTEX& v : q.v) {
        left = std::min(left, v.x);
        right = std::max(right, v.x);
      }
    return std::make_pair(static_cast<i32>(std::lround(left)), static_cast<i32>(std::lround(right)));
  };
  const QuadBlockList& blocks = build->GetBlocks();
  const i32 from = build->GetRowOffset(), to = from + build->GetRowWidth() + 2;
  EXPECT_EQ(from, (420 - 269) / 2);
  EXPECT_EQ(edges(blocks.Get(0)).second, from);
  EXPECT_EQ(edges(blocks.Get(1)).first, from);
  EXPECT_EQ(edges(blocks.Get(2)).second, to);
  EXPECT_EQ(edges(blocks.Get(3)).first, to);
  EXPECT_EQ(build->RowButtons()[1]->GetRect().left - build->RowButtons()[0]->GetRect().left, 49);
  // Build: the money covers it, a plant point takes the place.
  rig.Click(build->RowButtons()[1]);
  EXPECT_NE(rig.map->GetPoint(0)->GetKind(), kPointKindEmpty);
}

TEST(EmptyPlacePanels, BackAndResize) {
  PanelRig rig;
  rig.MakeLevel({MapRig::Garbage(0, 0, 300, 300)});
  rig.Select(0);
  rig.Place(0)->OpenPanel(kPanelFactories);
  auto* factories = dynamic_cast<BuildPanel*>(rig.Shown());
  ASSERT_NE(factories, nullptr);
  EXPECT_EQ(factories->GetBuiltForWidth(), 420);
  const size_t count = factories->RowButtons().size();
  // 420 less the 16 pixels each way the dividers take = 388 pixels for a
  // back cell and eight cells: they share 338.
  EXPECT_EQ(count, 9u);
  EXPECT_LE(factories->GetRowWidth(), 388);
  EXPECT_EQ(factories->RowButtons()[2]->GetRect().left - factories->RowButtons()[1]->GetRect().left, 338 / 8);
  // Every button between the panel's dividers, which stand over the child
  // area's edges: none hides an end of the row.
  const auto clearOfTheDividers = [&] {
    const i32 from = rig.panel->GetChildX() + skins::kLeftDivider.frameWidth;
    const i32 to = rig.panel->GetChildX() + rig.panel->GetChildWidth() - skins::kRightDivider.frameWidth;
    for (LevelPanelButton* b : factories->RowButtons()) {
      EXPECT_GT(b->GetRect().left, from) << rig.panel->GetChildWidth();
      EXPECT_LT(b->GetRect().right, to) << rig.panel->GetChildWidth();
    }
  };
  clearOfTheDividers();
  // A wider screen rebuilds the buttons once for the new width.
  PanelRig::Screen(1280, 720);
  rig.panel->OnScreenResize();
  EXPECT_EQ(factories->GetBuiltForWidth(), 470);
  LevelPanelButton* first = factories->RowButtons()[1];
  rig.panel->OnScreenResize();
  EXPECT_EQ(factories->RowButtons()[1], first);
  clearOfTheDividers();
  // Back: the categories of the same place again.
  rig.Click(factories->RowButtons()[0]);
  auto* categories = dynamic_cast<EmptyPointPanel*>(rig.Shown());
  ASSERT_NE(categories, nullptr);
  EXPECT_EQ(categories->GetPlace(), rig.Place(0));
  EXPECT_FALSE(factories->IsShown());
}

TEST(EmptyPlacePanels, FactoryRowSqueeze) {
  // Wide enough: eight cells of 73, or nine when those fit too.
  ButtonRowLayout row = FactoryRow(700, 2);
  EXPECT_EQ(row.count, 9);
  EXPECT_EQ(row.width, 49 + 8 * 73 + 1);
  row = FactoryRow(49 + 9 * 73 + 1 + 32, 2);
  EXPECT_EQ(row.count, 10);
  // Narrow: the cells share the room the dividers leave; never below 21
  // pixels, and records keep their cells while placeholders go.
  for (i32 width : {470, 420, 300, 250, 120}) {
    for (i32 records : {0, 3, 8}) {
      row = FactoryRow(width, records);
      EXPECT_GE(row.count - 1, std::max(records, 1)) << width << " " << records;
      for (i32 i = 1; i < row.count; ++i) EXPECT_GE(row.cells[i].width, 21) << width;
      if (width >= 250) {
        EXPECT_LE(row.width, width - 32) << width << " " << records;
      }
    }
  }
}

}  // namespace
}  // namespace windowstest

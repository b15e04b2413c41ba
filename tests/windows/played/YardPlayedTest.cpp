// The scenario data set's first level (the garbage yard) played by clicks
// alone through the level scene (with its own point care) and the game's
// level panel: a click starts the day; for each garbage place a click on the place shows
// its garbage panel, a click on the panel's clear button starts the
// clearing (the button then waits); the three heaps cleared, the day is
// won with a medal. And a level block on that panel, drawn in the data's art,
// and the menu and a child panel drawing only in their areas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "level/scene/GameLevel.h"
#include "level/rules/LevelClock.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/map/EmptyLevelPoint.h"
#include "base/Identifier.h"
#include "content/BuildingTable.h"
#include "content/ContentArchive.h"
#include "content/ContentWriter.h"
#include "content/LevelInfo.h"
#include "content/LevelTable.h"
#include "content/PlantTable.h"
#include "content/ProductList.h"
#include "content/LevelRegime.h"
#include "base/datafile/DataFileReader.h"
#include "resources/ResourceServices.h"
#include "testsupport/LevelHarness.h"
#include "testsupport/TempFolder.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "engine/DXLViewer.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/PngFile.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "windows/CLPLevelBlock.h"
#include "windows/ChildLevelPanel.h"
#include "windows/EmptyPlacePanels.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelButton.h"
#include "windows/LevelPanelHost.h"
#include "windows/TaskButton.h"
#include "gametext/KGEBaseTextSprite.h"
#include "windows/TimeBar.h"
#include "windows/BonusButton.h"
#include "ui/InfoWindow.h"
#include "level/rules/LevelBonuses.h"
#include "windows/MenuWindow.h"
#include "ui/ImageButton.h"

namespace windowstest {
namespace {

using leveltest::LevelHarness;

// The harness's world makes the game's own panel host: only the profile
// and the villains are handed in.
class Played : public ::testing::Test {
 protected:
  explicit Played(bool language = false) : h(leveltest::ScenarioDataFolder(), 800, 600, language) {}
  GameLevel& Make(const LevelSetup& setup = {}) {
    GameLevelHooks hooks;
    hooks.rules.profile = &h.profile;
    hooks.villains = &h.villains;
    GameLevel* level = h.world.OpenLevel(0, setup, hooks);
    host = h.world.Panel();
    h.LoadAll();
    h.Enter();
    return *level;
  }
  // A click at a screen point, the pointer jumping there from the last
  // click (from a panel button onto the map and back) with no move between.
  void Click(i32 x, i32 y) {
    h.Level()->Input().OnMouseDown(x, y, kMouseLeft, 0);
    h.Level()->Input().OnMouseUp(x, y, kMouseLeft, 0);
    h.Step(20);
  }
  // A frame of the level with the windows over it; false when the device
  // would not draw or present.
  static bool DrawWithWindows(GameLevel& level) {
    DXLViewer* viewer = GetGameViewer();
    if (viewer->BeginFrame() != 0) return false;
    viewer->Clear(0xFF000000u);
    level.Draw();
    viewer->LoadIdentity(nullptr);
    viewer->ResetWorldTransform();
    GetUiServices().windowManager->Draw();
    return viewer->Present() == 0;
  }
  void ClickButton(const GameButton* b) {
    const DXLRECT& panel = host->GetPanel()->GetRect();
    const DXLRECT& r = b->GetRect();
    Click(panel.left + (r.left + r.right) / 2, panel.top + (r.top + r.bottom) / 2);
  }

  LevelHarness h;
  LevelPanelHost* host = nullptr;
};

TEST_F(Played, SampleLevelToAMedalByClicks) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make();
  ASSERT_NE(host, nullptr);
  LevelPanel* panel = host->GetPanel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->GetCurrentChild()->GetKind(), kPanelKindEmpty);
  EXPECT_NE(panel->GetPrompt(), nullptr);
  Click(400, 300);  // the day starts
  ASSERT_TRUE(level.Rules().IsStarted());
  const std::vector<POINTDEF>& points = level.GetInfo()->points;
  ASSERT_EQ(points.size(), 3u);
  const i32 money = level.Rules().Money().Get();
  for (i32 i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    i32 x = points[static_cast<size_t>(i)].x, y = points[static_cast<size_t>(i)].y;
    h.MapToScreen(&x, &y);
    Click(x, y);
    auto* garbage = dynamic_cast<GarbagePanel*>(panel->GetCurrentChild());
    ASSERT_NE(garbage, nullptr);
    auto* place = static_cast<EmptyLevelPoint*>(level.Map().GetPoint(i));
    EXPECT_EQ(garbage->GetPlace(), place);
    ASSERT_TRUE(garbage->GetClearButton()->IsEnabled());
    ClickButton(garbage->GetClearButton());
    EXPECT_NE(place->GetClearJob(), nullptr);
    EXPECT_FALSE(garbage->GetClearButton()->IsEnabled());
  }
  EXPECT_EQ(level.Rules().Money().Get(), money - 300);
  for (u32 t = 0; t < 60000 && level.Rules().Tasks().GetResultShown() == kResultNone; t += 100) h.Step(100);
  ASSERT_EQ(level.Rules().Tasks().GetResultShown(), kResultWon);
  EXPECT_EQ(level.Rules().Tasks().GetProgress(0), 3);
  EXPECT_GE(level.Rules().Clock().GetMedal(), 4);
  EXPECT_TRUE(h.windows.Saw("recorded 0 at " + std::to_string(level.Rules().Clock().GetTime())));
  for (i32 i = 0; i < 3; ++i) EXPECT_EQ(static_cast<EmptyLevelPoint*>(level.Map().GetPoint(i))->GetGarbage(), nullptr);
  // The last place cleared while selected shows the empty place's categories.
  EXPECT_NE(dynamic_cast<EmptyPointPanel*>(panel->GetCurrentChild()), nullptr);
  EXPECT_LE(panel->PromptAlpha(), 0.0f);  // faded out once the day began
}

// A level block on the game's panel, in the built data's art: the frame
// and its ribbon, a picture larger than the block (the final award's
// trophy), and three marks of a level out of four (two filled) over the
// picture. Written four times enlarged as level_block.png for a person to
// look at. The marks look the same with the picture under them as without
// it, though the picture reaches below them. A mill's picture (an icon)
// fills the room above the marks: 32 pixels across at least.
TEST_F(Played, LevelBlockDrawsItsMarksOverItsPicture) {
  ASSERT_TRUE(h.loaded);
  Make();
  ChildLevelPanel* shown = host->GetPanel()->GetCurrentChild();
  ASSERT_NE(shown, nullptr);
  CLPLevelBlock* block = shown->CreateLevelBlock();
  block->PlaceAt(0);
  Sprite* heap = GetSpriteByName(kIconSpriteSet, u"ba_total");
  ASSERT_NE(heap, nullptr);
  heap->Init();
  constexpr i32 kAt = 30, kW = 160, kH = 140;  // the block at (30, 30) of a 160 x 140 crop
  const auto draw = [&](i32 levels, i32 current, Sprite* picture) {
    block->SetLevel(levels, current, picture);
    DXLViewer* viewer = GetGameViewer();
    EXPECT_EQ(viewer->BeginFrame(), 0);
    viewer->Clear(0xFF35553Au);
    viewer->LoadIdentity(nullptr);
    viewer->Translate(static_cast<float>(kAt - block->GetRect().left), static_cast<float>(kAt - block->GetRect().top));
    UnbindDrawTexture();  // a frame binds its textures anew
    block->Draw();
    UnbindDrawTexture();
    viewer->LoadIdentity(nullptr);
    EXPECT_EQ(viewer->Present(), 0);
    std::vector<u32> crop(kW * kH);
    for (i32 y = 0; y < kH; ++y)
      for (i32 x = 0; x < kW; ++x) crop[y * kW + x] = h.Pixel(static_cast<u32>(x), static_cast<u32>(y));
    return crop;
  };
  const std::vector<u32> bare = draw(1, 1, nullptr), marked = draw(4, 3, nullptr), pictured = draw(4, 3, heap);
  std::vector<u32> large(kW * kH * 16);
  for (i32 y = 0; y < kH * 4; ++y)
    for (i32 x = 0; x < kW * 4; ++x) large[y * kW * 4 + x] = pictured[(y / 4) * kW + x / 4];
  EXPECT_TRUE(plat::WritePng("level_block.png", large, kW * 4, kH * 4, nullptr));

  // A pixel of the marks whose neighbours two each way are the marks' too:
  // inside a mark, clear of its soft edges. The marks let a trace of what
  // lies under them through, so a pixel counts as covered by the picture
  // when a channel moved by more than that.
  const auto mark = [&](i32 x, i32 y) {
    for (i32 dy = -2; dy <= 2; ++dy)
      for (i32 dx = -2; dx <= 2; ++dx)
        if (marked[(y + dy) * kW + x + dx] == bare[(y + dy) * kW + x + dx]) return false;
    return true;
  };
  const auto far = [](u32 a, u32 b) {
    for (u32 shift : {0u, 8u, 16u})
      if (std::abs(static_cast<i32>((a >> shift) & 0xFF) - static_cast<i32>((b >> shift) & 0xFF)) > 24) return true;
    return false;
  };
  i32 inside = 0, covered = 0, lowest = -1;
  for (i32 y = 2; y + 2 < kH; ++y)
    for (i32 x = 2; x + 2 < kW; ++x) {
      if (pictured[y * kW + x] != marked[y * kW + x]) lowest = std::max(lowest, y);
      if (!mark(x, y)) continue;
      ++inside;
      covered += far(pictured[y * kW + x], marked[y * kW + x]) ? 1 : 0;
    }
  EXPECT_GT(inside, 3 * 40) << "the cores of three stars";
  EXPECT_EQ(covered, 0) << "the picture drawn over the marks";
  EXPECT_GT(lowest, kAt + 50 + 20) << "the picture reaches below the marks";

  const BUILDING* mill = FindBuildingByName(u"prod_flour");
  ASSERT_NE(mill, nullptr);
  const std::vector<u32> milled = draw(4, 3, mill->levels[0].icon);
  i32 left = kW, right = -1, top = kH, bottom = -1;
  for (i32 y = 0; y < kH; ++y)
    for (i32 x = 0; x < kW; ++x)
      if (milled[y * kW + x] != marked[y * kW + x]) {
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
      }
  EXPECT_GE(std::max(right - left, bottom - top) + 1, 32) << "the mill's picture";
  EXPECT_GE(left, kAt);
  EXPECT_LT(right, kAt + kLevelBlockWidth);
  EXPECT_GE(top, kAt);
  EXPECT_LT(bottom, kAt + CLPLevelBlock::kMarksTop) << "the picture reaches the marks";
}

// The build panels of an empty place on the yard made to allow the
// data's plants and buildings (its record written by the level writer and
// read back): each shows a back button and a button per kind the level
// allows, with the kind's picture and price, its name's text as the hint.
// The three panels, the first button of each hovered until its hint shows,
// are written one under the other as build_panels.png for a person to look at.
// The language is read, so the prices and hints have their fonts.
class PlayedWithTexts : public Played {
 protected:
  PlayedWithTexts() : Played(true) {}
};

TEST_F(PlayedWithTexts, BuildPanelsShowTheKindsPicturesPricesAndNames) {
  ASSERT_TRUE(h.loaded);
  LevelTable& table = h.Levels();
  std::vector<LEVELINFO> all;
  for (u32 i = 0; i < kLevelCount; ++i) all.push_back(table.Get(i));
  LEVELINFO& l = all[0];
  l.plantCount = 3;
  l.buildingCount = 6;
  const char16_t* plants[] = {u"wheat", u"beta", u"apple_tree"};
  const char16_t* buildings[] = {u"warehouse", u"prod_flour", u"prod_pie", u"henhouse", u"cowshed", u"sheep_rack"};
  for (u32 i = 0; i < 3; ++i) l.plants[i] = KINDPAIR{kis::NameId(plants[i]), 2};
  for (u32 i = 0; i < 6; ++i) l.buildings[i] = KINDPAIR{kis::NameId(buildings[i]), 3};
  i32 grid[kMapGridCells];
  for (u32 c = 0; c < kMapGridCells; ++c) grid[c] = table.GetGridCell(c);
  TempFolder folder;
  const std::u16string path = folder.Wide("levels.dat");
  ASSERT_TRUE(WriteDataArchive(path.c_str(), {{kLevelSectionId, kLevelSectionSubId, LevelSection(grid, all)}}));
  kis::DataFileReaderW* data =
      kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
  ASSERT_NE(data, nullptr);
  table.Clear();
  SectionCursor cursor;
  while (table.ReadChunk(data, &cursor) == 0) {
  }
  kis::CloseDataFile(data);
  ASSERT_EQ(cursor.error, 0u);
  ASSERT_EQ(table.Get(0).buildingKinds[2], FindBuildingByName(u"prod_pie"));

  GameLevel& level = Make();
  auto* place = static_cast<EmptyLevelPoint*>(level.Map().GetPoint(0));
  level.Map().Points().SelectPoint(0, false);
  LevelPanel* panel = host->GetPanel();
  const struct {
    u32 kind;
    std::vector<const char16_t*> kinds;
    std::vector<i32> prices;
  } expected[] = {
      {kPanelPlants, {u"wheat", u"beta", u"apple_tree"}, {20, 30, 60}},
      {kPanelFactories, {u"prod_flour", u"prod_pie"}, {120, 180}},
      {kPanelPets, {u"henhouse", u"cowshed", u"sheep_rack"}, {100, 160, 140}},
  };
  std::vector<u32> sheet;
  i32 sheetW = 0, sheetH = 0;
  for (const auto& e : expected) {
    place->OpenPanel(e.kind);
    auto* build = dynamic_cast<BuildPanel*>(panel->GetCurrentChild());
    ASSERT_NE(build, nullptr);
    ASSERT_EQ(build->GetRecordCount(), static_cast<i32>(e.kinds.size()));
    for (size_t i = 0; i < e.kinds.size(); ++i) {
      LevelPanelButton* b = build->RowButtons()[i + 1];
      const bool plant = e.kind == kPanelPlants;
      Sprite* picture = plant ? FindPlantByName(e.kinds[i])->picture : FindBuildingByName(e.kinds[i])->levels[0].icon;
      ASSERT_NE(picture, nullptr);
      ASSERT_NE(b->GetIcon(), nullptr);
      EXPECT_EQ(b->GetIcon()->GetSprite(), picture);
      EXPECT_EQ(b->GetCount(), e.prices[i]);
      EXPECT_EQ(b->GetRecord(), plant ? static_cast<const void*>(FindPlantByName(e.kinds[i]))
                                      : static_cast<const void*>(FindBuildingByName(e.kinds[i])));
    }
    // The first kind's button hovered until its hint shows.
    const DXLRECT& at = panel->GetRect();
    const DXLRECT& r = build->RowButtons()[1]->GetRect();
    level.Input().OnMouseMove(at.left + (r.left + r.right) / 2, at.top + (r.top + r.bottom) / 2, 0, 0);
    for (i32 t = 0; t < 1500; t += 20) {  // the level's frames with the windows' (the hint waits, then shows)
      h.Step(20);
      GetUiServices().windowManager->Update();
    }
    ASSERT_TRUE(DrawWithWindows(level));
    // The panel and the 120 pixels above it (where the hint shows).
    const i32 top = std::max(0, static_cast<i32>(at.top) - 120), bottom = std::min(600, static_cast<i32>(at.bottom));
    sheetW = 800;
    for (i32 y = top; y < bottom; ++y)
      for (i32 x = 0; x < 800; ++x) sheet.push_back(h.Pixel(static_cast<u32>(x), static_cast<u32>(y)));
    sheetH += bottom - top;
  }
  EXPECT_TRUE(plat::WritePng("build_panels.png", sheet, static_cast<u32>(sheetW), static_cast<u32>(sheetH), nullptr));
}

// A task card of the panel (90 wide, as three share the panel at
// 800 x 600) for every product: its picture, drawn alone on a cleared frame
// with and without it, is 32 pixels across or high at least, between the
// caption's line (its middle 11 down) and the count's (83 down). A
// building's task, with the mark of its level under the picture, keeps
// its picture above the mark; a money task names its goal ("Goal: 500")
// over the money held, their inks 4 pixels apart. The cards are written side by side as
// task_cards.png for a person to look at.
TEST_F(PlayedWithTexts, TaskCardsShowTheirPicturesLarge) {
  ASSERT_TRUE(h.loaded);
  Make();
  constexpr i32 kCardW = 90, kCardH = kTaskButtonHeight;
  // The card drawn alone at (0, 0) of a cleared frame, its picture shown or not.
  const auto draw = [&](TaskButton& card, bool pictured) {
    ImageSprite* icon = card.GetIcon();
    const u32 colour = icon ? icon->GetColor() : 0;
    if (icon && !pictured) icon->SetColor(colour & 0x00FFFFFFu);
    DXLViewer* viewer = GetGameViewer();
    EXPECT_EQ(viewer->BeginFrame(), 0);
    viewer->Clear(0xFF35553Au);
    viewer->LoadIdentity(nullptr);
    UnbindDrawTexture();
    card.Draw();
    UnbindDrawTexture();
    EXPECT_EQ(viewer->Present(), 0);
    if (icon) icon->SetColor(colour);
    std::vector<u32> crop(kCardW * kCardH);
    for (i32 y = 0; y < kCardH; ++y)
      for (i32 x = 0; x < kCardW; ++x) crop[y * kCardW + x] = h.Pixel(static_cast<u32>(x), static_cast<u32>(y));
    return crop;
  };
  // The box of the picture's pixels on the card.
  const auto picture = [&](TaskButton& card) {
    const std::vector<u32> with = draw(card, true), without = draw(card, false);
    DXLRECT box{kCardW, kCardH, -1, -1};
    for (i32 y = 0; y < kCardH; ++y)
      for (i32 x = 0; x < kCardW; ++x)
        if (with[y * kCardW + x] != without[y * kCardW + x])
          box = DXLRECT{std::min<i32>(box.left, x), std::min<i32>(box.top, y), std::max<i32>(box.right, x + 1),
                        std::max<i32>(box.bottom, y + 1)};
    return std::pair{box, with};
  };
  const ProductList* products = GetProductList();
  ASSERT_NE(products, nullptr);
  ASSERT_GT(products->GetCount(), 10u);
  std::vector<u32> sheet;
  std::vector<std::vector<u32>> cards;
  for (u32 i = 0; i < products->GetCount(); ++i) {
    const PRODUCT* product = products->Get(i);
    SCOPED_TRACE(std::string(product->name, product->name + std::char_traits<wchar>::length(product->name)));
    const LEVELTASK task{kTaskProducts, product->id, 0, 5};
    TaskButton card(nullptr, 0, &task, false);
    card.SetRect(0, 0, kCardW);
    card.SetProgress(0, false);
    ASSERT_NE(card.GetCaption(), nullptr);
    const auto [box, pixels] = picture(card);
    EXPECT_GE(std::max(box.right - box.left, box.bottom - box.top), 32);
    const i32 line = static_cast<i32>(card.GetCaption()->GetHeight());
    EXPECT_GE(box.top, 11 - line / 2 + line) << "over the caption";
    EXPECT_LE(box.bottom, 83 - line / 2) << "over the count";
    EXPECT_GE(box.left, 0);
    EXPECT_LE(box.right, kCardW);
    cards.push_back(pixels);
  }
  const BUILDING* mill = FindBuildingByName(u"prod_flour");
  ASSERT_NE(mill, nullptr);
  const LEVELTASK build{kTaskBuildings, mill->id, 3, 2};
  TaskButton card(nullptr, 0, &build, false);
  card.SetRect(0, 0, kCardW);
  card.SetProgress(0, false);
  ASSERT_TRUE(card.HasLevelMark());
  const auto [box, pixels] = picture(card);
  EXPECT_GE(std::max(box.right - box.left, box.bottom - box.top), 32) << "the mill";
  EXPECT_LE(box.bottom, 70 - 9) << "the mill over its mark";
  cards.push_back(pixels);
  // Money: under the coin its goal, named, over the money held.
  const LEVELTASK money{kTaskMoney, 0, 0, 500};
  TaskButton coins(nullptr, 0, &money, false);
  coins.SetRect(0, 0, kCardW);
  coins.SetProgress(400, false);
  ASSERT_NE(coins.GetTargetText(), nullptr);
  EXPECT_EQ(plat::Utf16ToUtf8(coins.GetTargetText()->GetText()), "Goal: 500");
  EXPECT_LE(coins.GetTargetText()->GetWidth(), kCardW - 6);
  EXPECT_EQ(coins.GetCountText(), u"400");
  // The goal's ink and the money's keep 4 pixels apart: the rows each
  // text's ink takes, read as what goes when it is drawn transparent.
  const std::vector<u32> whole = draw(coins, true);
  const auto rowsOf = [&](KGETextSpriteW* text) {
    const u32 colour = text->GetColor();
    text->SetColor(colour & 0x00FFFFFFu);
    const std::vector<u32> without = draw(coins, true);
    text->SetColor(colour);
    std::pair<i32, i32> rows{kCardH, -1};
    for (i32 i = 0; i < kCardW * kCardH; ++i)
      if (whole[i] != without[i]) rows = {std::min(rows.first, i / kCardW), std::max(rows.second, i / kCardW)};
    return rows;
  };
  const auto goal = rowsOf(coins.GetTargetText()), held = rowsOf(coins.GetCount());
  EXPECT_GE(held.first - goal.second - 1, 4) << "the goal's ink ends on row " << goal.second << ", the money's starts on "
                                             << held.first;
  cards.push_back(whole);
  const i32 sheetW = kCardW * static_cast<i32>(cards.size());
  for (i32 y = 0; y < kCardH; ++y)
    for (const std::vector<u32>& c : cards) sheet.insert(sheet.end(), c.begin() + y * kCardW, c.begin() + (y + 1) * kCardW);
  EXPECT_TRUE(plat::WritePng("task_cards.png", sheet, static_cast<u32>(sheetW), kCardH, nullptr));
}

// The yard with an intro and three bonuses taken in (bees, rain,
// speed): the intro opens the information window; the time bar follows
// the level's time and crosses gold once its 60 s pass; the bees (made to
// charge in 45 s) show ready, are used by a click and recharge once their
// effect ran out; the garbage task counts the heaps left down to done.
// The panel, with a crossed medal, the bonus buttons in three states and
// the done task, is written as panel_parts.png for a person to look at.
TEST_F(PlayedWithTexts, TimeBarBonusesAndTasksFollowTheLevel) {
  ASSERT_TRUE(h.loaded);
  INFOENTRY intro{};
  intro.blockKind = 2;  // a wide separator: enough for a window
  h.Levels().Get(0).intro.assign(1, intro);
  h.Levels().Get(0).chargeFactors[0] = 0.5f;
  LevelSetup setup;
  setup.chosen.count = 3;
  setup.chosen.slots[0] = 0;
  setup.chosen.slots[1] = 1;
  setup.chosen.slots[2] = 2;
  GameLevel& level = Make(setup);
  LevelPanel* panel = host->GetPanel();
  WindowManager* manager = GetWindowManager();
  ASSERT_NE(manager->GetInfoWindow(), nullptr);
  EXPECT_TRUE(host->WasIntroAsked());
  manager->GetInfoWindow()->OnKeyDown(13, 0);  // Enter closes it
  for (i32 i = 0; i < 30 && manager->GetInfoWindow(); ++i) {
    h.Step(20);
    manager->Update();
    manager->Draw();
  }
  ASSERT_EQ(manager->GetInfoWindow(), nullptr);

  auto* bar = static_cast<TimeBar*>(panel->GetTimeBar());
  auto* task = static_cast<TaskButton*>(panel->GetTaskButton(0));
  auto* bees = static_cast<BonusButton*>(panel->GetBonusButton(0));
  ASSERT_NE(bees, nullptr);
  ASSERT_NE(panel->GetBonusButton(2), nullptr);
  EXPECT_EQ(task->GetCountText(), u"3");
  EXPECT_EQ(bees->GetBonusState(), kBonusRecharging);
  // A caption wider than its button is squeezed to the width less 6, not cut.
  ASSERT_NE(task->GetCaption(), nullptr);
  EXPECT_FLOAT_EQ(task->GetCaptionScale(), 1.0f);
  const DXLRECT wide = task->GetRect();
  const i32 captionWidth = static_cast<i32>(task->GetCaption()->GetWidth());
  task->SetRect(wide.left, wide.top, captionWidth / 2);
  EXPECT_FLOAT_EQ(task->GetCaptionScale(), static_cast<float>(captionWidth / 2 - 6) / static_cast<float>(captionWidth));
  task->SetRect(wide.left, wide.top, wide.right - wide.left);
  EXPECT_FLOAT_EQ(task->GetCaptionScale(), 1.0f);
  Click(400, 300);  // the day starts
  ASSERT_TRUE(level.Rules().IsStarted());
  for (u32 t = 0; t < 61000; t += 100) h.Step(100);
  EXPECT_EQ(bar->Gauge().GetValue(), level.Rules().Clock().GetTime());
  EXPECT_GT(level.Rules().Clock().GetTime(), 60000u);
  EXPECT_EQ(bar->GetStageSeen(), 5);  // gold is crossed
  EXPECT_EQ(bees->GetBonusState(), kBonusReady);
  EXPECT_EQ(bees->GetCursorId(), kCursorHand);
  ClickButton(bees);
  EXPECT_TRUE(level.Rules().Bonuses().IsActive(0));
  EXPECT_EQ(bees->GetBonusState(), kBonusActive);
  for (u32 t = 0; t < 11000 && bees->GetBonusState() == kBonusActive; t += 100) h.Step(100);
  EXPECT_EQ(bees->GetBonusState(), kBonusRecharging);

  const std::vector<POINTDEF>& points = level.GetInfo()->points;
  for (i32 i = 0; i < 3; ++i) {
    i32 x = points[static_cast<size_t>(i)].x, y = points[static_cast<size_t>(i)].y;
    h.MapToScreen(&x, &y);
    Click(x, y);
    auto* garbage = dynamic_cast<GarbagePanel*>(panel->GetCurrentChild());
    ASSERT_NE(garbage, nullptr);
    EXPECT_TRUE(garbage->GetClearButton()->IsEnabled());
    ClickButton(garbage->GetClearButton());
    EXPECT_NE(static_cast<EmptyLevelPoint*>(level.Map().GetPoint(i))->GetClearJob(), nullptr);
    // She clears it before the next is clicked.
    for (u32 t = 0; t < 20000 && level.Rules().Tasks().GetProgress(0) < i + 1; t += 100) h.Step(100);
    EXPECT_EQ(task->GetCountText(), i < 2 ? std::u16string(1, static_cast<char16_t>(u'2' - i)) : u"<c=80ff80>0</c>");
  }
  EXPECT_TRUE(task->IsDone());
  for (u32 t = 0; t < 3000 && level.Rules().Tasks().GetResultShown() == kResultNone; t += 100) h.Step(100);
  EXPECT_EQ(level.Rules().Tasks().GetResultShown(), kResultWon);
  EXPECT_EQ(level.Rules().Clock().GetMedal(), 5);

  // For the picture: one bonus ready, one active, one recharging.
  BONUSSLOT ready;
  ready.available = 1;
  BONUSSLOT active = ready;
  active.active = 1;
  active.timeLeft = 4000;
  active.fraction = 0.6f;
  BONUSSLOT charging = ready;
  charging.timeLeft = 4000;
  charging.fraction = 0.6f;  // charged to 0.4
  for (i32 frame = 0; frame < 30; ++frame) {  // the flashes and fades drawn to their ends
    h.Step(20);
    ASSERT_TRUE(DrawWithWindows(level));
  }
  panel->UpdateBonusButton(0, ready, false);
  panel->UpdateBonusButton(1, active, false);
  panel->UpdateBonusButton(2, charging, false);
  ASSERT_TRUE(DrawWithWindows(level));
  const i32 top = panel->GetRect().top - 80;
  std::vector<u32> shot;
  for (i32 y = top; y < 600; ++y)
    for (i32 x = 0; x < 800; ++x) shot.push_back(h.Pixel(static_cast<u32>(x), static_cast<u32>(y)));
  EXPECT_TRUE(plat::WritePng("panel_parts.png", shot, 800, static_cast<u32>(600 - top), nullptr));
}

// The menu over the level (menu_over_level.png: the window column's top row,
// the menu's body and its closing row stacked) changes nothing outside its
// window; a child panel's button wider than the child area draws nothing
// outside that area.
TEST_F(PlayedWithTexts, MenuAndChildPanelsDrawOnlyInTheirAreas) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make();
  const auto frame = [&] {
    EXPECT_TRUE(DrawWithWindows(level));
    std::vector<u32> px;
    for (u32 y = 0; y < 600; ++y)
      for (u32 x = 0; x < 800; ++x) px.push_back(h.Pixel(x, y));
    return px;
  };
  // The pixels that differ from the bare frame inside and outside a rectangle.
  const std::vector<u32> bare = frame();
  const auto changed = [&](const std::vector<u32>& px, const DXLRECT& r) {
    std::pair<i32, i32> n{0, 0};
    for (i32 i = 0; i < 800 * 600; ++i)
      (i % 800 >= r.left && i % 800 < r.right && i / 800 >= r.top && i / 800 < r.bottom ? n.first : n.second) +=
          px[static_cast<size_t>(i)] != bare[static_cast<size_t>(i)];
    return n;
  };
  host->OpenMenu(false);
  MenuWindow* menu = GetOpenMenuWindow();
  ASSERT_NE(menu, nullptr);
  const std::vector<u32> shown = frame();
  EXPECT_TRUE(plat::WritePng("menu_over_level.png", shown, 800, 600, nullptr));
  const DXLRECT r = menu->GetRect();
  EXPECT_EQ(r.left, (800 - (r.right - r.left)) / 2);
  EXPECT_EQ(static_cast<ImageButton*>(menu->Controls().Get(5))->GetWidth(), 221);
  auto [inside, outside] = changed(shown, r);
  EXPECT_EQ(outside, 0);
  EXPECT_GT(inside, (r.right - r.left) * (r.bottom - r.top) / 2);
  delete menu;

  LevelPanel* panel = host->GetPanel();
  ButtonRowLayout row;
  SplitRowIntoCells(&row, 800, 1);
  auto* wide = new LevelPanelButton(panel->GetCurrentChild(), 0xc9000010u, row, 0, 2, nullptr);
  wide->SetFill(0.5f);
  wide->SetPosition(0, kPanelButtonTop);
  const DXLRECT strip = panel->GetRect();
  const i32 x0 = strip.left + panel->GetChildX();
  std::tie(inside, outside) = changed(frame(), DXLRECT{x0, strip.top, x0 + panel->GetChildWidth(), strip.bottom});
  EXPECT_EQ(outside, 0);
  EXPECT_GT(inside, 1000);
}

}  // namespace
}  // namespace windowstest

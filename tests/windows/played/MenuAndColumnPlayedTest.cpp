// The level's menu and money windows and the point panels' clip on the
// sample level in the built data's art: the menu drawn over the level
// (menu_over_level.png) changes nothing outside its window; the window
// column's cuts stacked as the windows stack them (column_cuts.png) leave no
// gap at their joins; a child panel's button wider than the child area
// draws nothing outside it.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/DXLViewer.h"
#include "level/scene/GameLevel.h"
#include "platform/gfx/PngFile.h"
#include "resources/GameDraw.h"
#include "resources/GameServices.h"
#include "testsupport/LevelHarness.h"
#include "ui/ImageButton.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"
#include "ui/WindowSprites.h"
#include "windows/ChildLevelPanel.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelButton.h"
#include "windows/LevelPanelHost.h"
#include "windows/MenuWindow.h"
#include "windows/MoneyWindow.h"

namespace windowstest {
namespace {

constexpr i32 kW = 800, kH = 600;

class PlayedWindows : public ::testing::Test {
 protected:
  PlayedWindows() : h(leveltest::SampleDataFolder(), kW, kH, true) {}
  GameLevel& Make() {
    GameLevelHooks hooks;
    hooks.rules.profile = &h.profile;
    hooks.villains = &h.villains;
    GameLevel* level = h.world.OpenLevel(0, LevelSetup{}, hooks);
    h.LoadAll();
    h.Enter();
    return *level;
  }
  // The level, then the windows, as the level screen draws a frame.
  std::vector<u32> Frame(GameLevel& level) {
    DXLViewer* viewer = GetGameViewer();
    EXPECT_EQ(viewer->BeginFrame(), 0);
    viewer->Clear(0xFF000000u);
    level.Draw();
    viewer->LoadIdentity(nullptr);
    viewer->ResetWorldTransform();
    GetGameServices().windowManager->Draw();
    EXPECT_EQ(viewer->Present(), 0);
    std::vector<u32> px;
    for (i32 y = 0; y < kH; ++y)
      for (i32 x = 0; x < kW; ++x) px.push_back(h.Pixel(static_cast<u32>(x), static_cast<u32>(y)));
    return px;
  }
  // The pixels that differ between two frames, inside and outside a rectangle.
  static std::pair<i32, i32> Changed(const std::vector<u32>& a, const std::vector<u32>& b, const DXLRECT& r) {
    i32 inside = 0, outside = 0;
    for (i32 y = 0; y < kH; ++y)
      for (i32 x = 0; x < kW; ++x) {
        const bool in = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
        const bool same = a[static_cast<size_t>(y * kW + x)] == b[static_cast<size_t>(y * kW + x)];
        (in ? inside : outside) += same ? 0 : 1;
      }
    return {inside, outside};
  }

  leveltest::LevelHarness h;
};

TEST_F(PlayedWindows, MenuOverTheLevelDrawsOnlyInItsWindow) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make();
  LevelPanelHost* host = h.world.Panel();
  ASSERT_NE(host, nullptr);
  auto* money = static_cast<MoneyWindow*>(host->GetPanel()->GetMoneyWindow());
  EXPECT_EQ(money->GetX(), (kW - 570) / 2);
  EXPECT_EQ(money->GetDigitsValue(), level.Rules().Money().Get());
  const std::vector<u32> bare = Frame(level);
  host->OpenMenu(false);
  MenuWindow* menu = GetOpenMenuWindow();
  ASSERT_NE(menu, nullptr);
  const std::vector<u32> shown = Frame(level);
  EXPECT_TRUE(plat::WritePng("menu_over_level.png", shown, kW, kH, nullptr));
  const DXLRECT r = menu->GetRect();
  EXPECT_EQ(r.left, (kW - (r.right - r.left)) / 2);
  for (i32 i = 0; i < menu->Controls().GetCount(); ++i)
    EXPECT_EQ(static_cast<ImageButton*>(menu->Controls().Get(i))->GetWidth(), 221);
  const auto [inside, outside] = Changed(bare, shown, r);
  EXPECT_EQ(outside, 0);
  EXPECT_GT(inside, (r.right - r.left) * (r.bottom - r.top) / 2);
  // The money strip hangs at the top centre.
  i32 strip = 0;
  for (i32 x = money->GetX() + 10; x < money->GetX() + 560; ++x) strip += bare[static_cast<size_t>(5 * kW + x)] != 0xFF000000u;
  EXPECT_GT(strip, 500);
}

// The column's cuts as the windows stack them, 240 wide: the top row, a
// body (the menu's, repeated), the closing row; and the top row, the message
// body, the closing row. Down the middle of each stack no pixel is left
// undrawn, and the stretched middles of the cuts are whole.
TEST_F(PlayedWindows, ColumnCutsStackWithoutGaps) {
  ASSERT_TRUE(h.loaded);
  Make();
  struct Stack : WindowSprites {
    explicit Stack(const SkinPiece& body, i32 bodyHeight) {
      AddRow(0, 0, 240, -1, SkinOf(skins::kWindowTop, kInterfaceImage));
      AddFrame(0, kBelow, -1, bodyHeight, SkinOf(body, kInterfaceImage));
      AddRow(0, kBelow, -1, -1, SkinOf(skins::kWindowClosing, kInterfaceImage));
    }
  };
  Stack menu(skins::kMenuBody, 3 * 68 + 92), message(skins::kDialogMessage, 140);
  constexpr u32 kBack = 0xFFFF00FFu;
  DXLViewer* viewer = GetGameViewer();
  ASSERT_EQ(viewer->BeginFrame(), 0);
  viewer->Clear(kBack);
  i32 x = 20;
  std::vector<i32> heights;
  for (Stack* s : {&menu, &message}) {
    viewer->LoadIdentity(nullptr);
    viewer->Translate(static_cast<float>(x), 20.0f);
    viewer->ApplyTransform(nullptr);
    UnbindDrawTexture();
    s->DrawPieces();
    i32 w = 0, hgt = 0;
    s->GetSize(&w, &hgt);
    heights.push_back(hgt);
    x += 300;
  }
  UnbindDrawTexture();
  viewer->LoadIdentity(nullptr);
  ASSERT_EQ(viewer->Present(), 0);
  std::vector<u32> px;
  for (i32 y = 0; y < kH; ++y)
    for (i32 xx = 0; xx < kW; ++xx) px.push_back(h.Pixel(static_cast<u32>(xx), static_cast<u32>(y)));
  EXPECT_TRUE(plat::WritePng("column_cuts.png", px, kW, kH, nullptr));
  EXPECT_EQ(heights[0], 77 + 3 * 68 + 92 + 18);
  for (i32 k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    const i32 cx = 20 + k * 300 + 110;
    i32 gaps = 0;
    for (i32 y = 20; y < 20 + heights[static_cast<size_t>(k)] - 6; ++y) gaps += px[static_cast<size_t>(y * kW + cx)] == kBack;
    EXPECT_EQ(gaps, 0);
  }
}

TEST_F(PlayedWindows, ChildPanelsDrawOnlyInTheChildArea) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make();
  LevelPanel* panel = h.world.Panel()->GetPanel();
  ChildLevelPanel* child = panel->GetCurrentChild();
  ASSERT_NE(child, nullptr);
  const std::vector<u32> before = Frame(level);
  // A button row as wide as the screen, its first cell at the screen's left.
  ButtonRowLayout row;
  SplitRowIntoCells(&row, kW, 1);
  auto* wide = new LevelPanelButton(child, 0xc9000010u, row, 0, 2, nullptr);
  wide->SetFill(0.5f);
  wide->SetPosition(0, kPanelButtonTop);
  const std::vector<u32> after = Frame(level);
  const DXLRECT strip = panel->GetRect();
  const DXLRECT area{strip.left + panel->GetChildX(), strip.top, strip.left + panel->GetChildX() + panel->GetChildWidth(),
                     strip.bottom};
  const auto [inside, outside] = Changed(before, after, area);
  EXPECT_EQ(outside, 0);
  EXPECT_GT(inside, 1000);
}

}  // namespace
}  // namespace windowstest

// The map's screens on a 1024 x 768 screen over the sample data set, drawn
// for a person to look at: the map interface over the first level
// (map_interface.png) with the Hard regime still locked, the awards window
// in the middle of its animation (awards_animating.png) and a small
// award's hint, its tiers' check boxes apart from each other and from
// their texts (awards_hint.png), the credits
// scrolling (credits_window.png) and comic 0 with its three parts shown
// (comic_0.png).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

#include "../FakeAwardsProfile.h"
#include "../FakeMapProfile.h"
#include "engine/DXLViewer.h"
#include "level/scene/GameLevel.h"
#include "resources/ResourceServices.h"
#include "testsupport/LevelHarness.h"
#include "ui/HintWindow.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/AwardsWindow.h"
#include "windows/ComixBook.h"
#include "windows/ComixWindow.h"
#include "windows/CreditsWindow.h"
#include "windows/MapInterface.h"
#include "windows/WindowServices.h"

namespace windowstest {
namespace {

class MapScreens : public ::testing::Test {
 protected:
  MapScreens() : h(leveltest::SampleDataFolder(), 1024, 768, true) {
    GameLevelHooks hooks;
    hooks.rules.profile = &h.profile;
    level = h.world.OpenLevel(0, LevelSetup{}, hooks);
    h.LoadAll();
    h.Enter();
    profile.name = u"Mira";
    profile.medals[0] = 4, profile.medals[1] = 2, profile.medals[2] = 1;
    GetWindowServices().mapProfile = &profile;
    GetWindowServices().awardsProfile = &awards;
  }
  ~MapScreens() override {
    GetWindowServices().awardsProfile = nullptr;
    GetWindowServices().mapProfile = nullptr;
  }
  // `ms` of frames of the level (or black) and the windows over it, then
  // the picture.
  void Shoot(const char* name, u32 ms, bool withLevel = true) {
    DXLViewer* viewer = GetGameViewer();
    for (u32 t = 0; t < ms; t += 20) {
      h.Step(20);
      GetUiServices().windowManager->Update();
      ASSERT_EQ(viewer->BeginFrame(), 0);
      viewer->Clear(0xFF000000u);
      if (withLevel) level->Draw();
      viewer->LoadIdentity(nullptr);
      viewer->ResetWorldTransform();
      GetUiServices().windowManager->Draw();
      ASSERT_EQ(viewer->Present(), 0);
    }
    EXPECT_TRUE(h.WritePng(name));
  }

  leveltest::LevelHarness h;
  GameLevel* level = nullptr;
  FakeMapProfile profile;
  FakeAwardsProfile awards;
};

TEST_F(MapScreens, TheMapInterfaceTheAwardsTheCreditsAndComicZero) {
  ASSERT_TRUE(h.loaded);
  auto* map = new MapInterface(nullptr);
  Shoot("map_interface.png", 400);
  EXPECT_FALSE(map->GetRegimeButton()->IsEnabled());

  // Three big awards and some small progress won since the last look.
  for (i32 i : {0, 3, 5}) awards.current.records[i] = 1000000;
  for (u32 i = 0; i < kTieredAwardCount; ++i) awards.current.tiered[i] = 40 + 30 * static_cast<i32>(i);
  profile.awards.tiered[0] = 600;  // the first award's hint: silver won
  AwardsWindow* window = OpenAwards(false);
  Shoot("awards_animating.png", 2600, false);
  EXPECT_NE(window->GetPending(), 0u);  // still animating
  // A small award's hint, silver won: its tiers' three check boxes apart,
  // a row of the balloon clear between each two, and two columns of it
  // clear between each box and its tier's text.
  window->CompleteAll();
  SmallAwardButton* wheat = window->GetSmall(0);
  wheat->ShowHint();
  Shoot("awards_hint.png", 1200, false);
  const HintWindow* hint = wheat->GetHintWindow();
  ASSERT_NE(hint, nullptr);
  const std::vector<u32> px = h.Frame();
  const i32 x0 = static_cast<i32>(hint->GetPosX()), y0 = static_cast<i32>(hint->GetPosY());
  const i32 x1 = x0 + hint->GetWidth(), y1 = y0 + hint->GetHeight();
  const auto at = [&](i32 x, i32 y) { return px[static_cast<size_t>(y) * 1024 + static_cast<size_t>(x)] & 0xFFFFFFu; };
  std::map<u32, i32> counts;
  for (i32 y = y0; y < y1; ++y)
    for (i32 x = x0; x < x1; ++x) ++counts[at(x, y)];
  const u32 paper = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                      return a.second < b.second;
                    })->first;
  // A box's white inside: light and barely warm, unlike the cream paper
  // (its blue well below its red) and the texts.
  const auto white = [&](i32 x, i32 y) {
    const u32 c = at(x, y);
    const i32 r = static_cast<i32>(c >> 16), g = static_cast<i32>(c >> 8 & 0xFF), b = static_cast<i32>(c & 0xFF);
    return r >= 200 && r - b >= 4 && r - b <= 14 && std::abs(r - g) <= 8;
  };
  // The insides, top to bottom: runs of rows with white near the balloon's
  // left edge, where the boxes stand at the heads of their lines (a run of a
  // few white pixels only is the edge of a letter).
  std::vector<DXLRECT> boxes;
  std::vector<i32> whites;
  bool inBox = false;
  for (i32 y = y0; y < y1; ++y) {
    DXLRECT row{x1, y, x0, y + 1};
    i32 n = 0;
    for (i32 x = x0; x < x0 + 60; ++x) {
      if (!white(x, y)) continue;
      row = DXLRECT{std::min(row.left, x), y, std::max(row.right, x + 1), y + 1};
      ++n;
    }
    if (n == 0) {
      inBox = false;
      continue;
    }
    if (!inBox) {
      boxes.push_back(row);
      whites.push_back(0);
    }
    DXLRECT& b = boxes.back();
    b = DXLRECT{std::min(b.left, row.left), b.top, std::max(b.right, row.right), y + 1};
    whites.back() += n;
    inBox = true;
  }
  for (size_t i = boxes.size(); i-- > 0;)
    if (whites[i] < 30) boxes.erase(boxes.begin() + static_cast<std::ptrdiff_t>(i));
  ASSERT_EQ(boxes.size(), 3u) << "the boxes run into each other";
  const auto clearRow = [&](i32 y, i32 from, i32 to) {
    for (i32 x = from; x < to; ++x)
      if (at(x, y) != paper) return false;
    return true;
  };
  const auto clearColumn = [&](i32 x, i32 from, i32 to) {
    for (i32 y = from; y < to; ++y)
      if (at(x, y) != paper) return false;
    return true;
  };
  for (size_t i = 0; i < boxes.size(); ++i) {
    const DXLRECT& b = boxes[i];
    if (i + 1 < boxes.size()) {
      bool apart = false;
      for (i32 y = b.bottom; y < boxes[i + 1].top && !apart; ++y) apart = clearRow(y, b.left - 3, b.right + 3);
      EXPECT_TRUE(apart) << "boxes " << i << " and " << i + 1 << " touch";
    }
    i32 x = b.right;  // past the box's rim on its right, 3 pixels at most
    while (x < b.right + 3 && !clearColumn(x, b.top - 2, b.bottom + 2)) ++x;
    EXPECT_TRUE(clearColumn(x, b.top - 2, b.bottom + 2) && clearColumn(x + 1, b.top - 2, b.bottom + 2))
        << "box " << i << " touches its text";
  }
  delete window;

  auto* credits = new CreditsWindow;
  Shoot("credits_window.png", 3000, false);
  delete credits;

  ComixBook* book = GetComixBook();
  ASSERT_NE(book, nullptr);
  ComixWindow* comic = book->CreateComixWindow();
  ASSERT_NE(comic, nullptr);
  Shoot("comic_0.png", 1600, false);
  book->DeleteComixWindow();
  delete map;
}

}  // namespace
}  // namespace windowstest

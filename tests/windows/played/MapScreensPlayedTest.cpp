// The map's screens on a 1024 x 768 screen over the sample data set, drawn
// for a person to look at: the map interface over the first level
// (map_interface.png) with the Hard regime still locked, the awards window
// in the middle of its animation (awards_animating.png), the credits
// scrolling (credits_window.png) and comic 0 with its three parts shown
// (comic_0.png).
#include <gtest/gtest.h>

#include "../FakeAwardsProfile.h"
#include "../FakeMapProfile.h"
#include "engine/DXLViewer.h"
#include "level/scene/GameLevel.h"
#include "resources/ResourceServices.h"
#include "testsupport/LevelHarness.h"
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
  AwardsWindow* window = OpenAwards(false);
  Shoot("awards_animating.png", 2600, false);
  EXPECT_NE(window->GetPending(), 0u);  // still animating
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

#include <gtest/gtest.h>

#include "level/scene/HudPointSprites.h"
#include "resources/GameServices.h"
#include "testsupport/FakeHudHost.h"
#include "testsupport/ViewerRig.h"
#include "ui/ASSPriceButton.h"
#include "ui/SSProgressLine.h"
#include "ui/SSStars.h"
#include "ui/ScreenSpriteList.h"

namespace {

struct Clicks {
  static inline int count = 0;
  static inline BaseLevelPoint* by = nullptr;
  static u32 Clicked(PointSprite*, BaseLevelPoint* point) {
    ++count;
    by = point;
    return 2;
  }
};

// The points' sprites are the level's screen sprites: made into its list,
// the price button greyed while the money is short yet clicked through to
// its point, a line hidden for good deleted by the list, one deleted by its
// point gone at once.
TEST(HudPointSprites, PointSpritesAreTheLevelsScreenSprites) {
  ResetGameServices();
  viewertest::ViewerRig rig;
  ASSERT_EQ(rig.Open(320, 240), 0);
  SetGameViewer(rig.viewer.get());
  GetGameServices().clock = 1000;
  auto list = std::make_unique<ScreenSpriteList>();
  hudtest::FakeHudHost host;
  host.list = list.get();
  host.money = 10;
  GetGameServices().hud = &host;

  HudPointSprites sprites;
  alignas(16) static char place[16];
  auto* point = reinterpret_cast<BaseLevelPoint*>(place);
  PointSprite* line = sprites.MakeProgressLine(10, 20, 64, 1);
  PointSprite* stars = sprites.MakeStars(10, 40, 3, 2);
  PointSprite* button = sprites.MakePriceButton(0x436C6561u, 100, 153, u"small_ico_clear", 30, point, &Clicks::Clicked);
  ASSERT_EQ(list->Sprites().GetCount(), 3);
  ASSERT_EQ(list->Active().GetCount(), 1);
  EXPECT_EQ(dynamic_cast<SSStars*>(stars)->GetCount(), 2);
  line->SetProgress(50.0f);
  EXPECT_FLOAT_EQ(dynamic_cast<SSProgressLine*>(line)->GetProgress(), 50.0f);

  auto* price = dynamic_cast<ASSPriceButton*>(button);
  ASSERT_NE(price, nullptr);
  EXPECT_EQ(price->GetState(), 0u);  // 10 of 30
  EXPECT_EQ(price->GetY(), 119);     // 34 above its anchor
  button->Show(true, 0, 4, 200);
  ASSERT_EQ(rig.viewer->BeginFrame(), 0);
  list->DrawAll();
  ASSERT_EQ(rig.viewer->Present(), 0);
  EXPECT_TRUE(list->MouseDown(100, 119, 1, 0));
  list->MouseUp(100, 119, 1, 0);
  EXPECT_EQ(Clicks::count, 1);
  EXPECT_EQ(Clicks::by, point);

  line->Hide(true, true, 0, 3, 200);
  list->UpdateAll();
  EXPECT_EQ(list->Sprites().GetCount(), 2);
  delete stars;
  EXPECT_EQ(list->Sprites().GetCount(), 1);
  list.reset();  // the button goes with the list
  ResetGameServices();
}

}  // namespace

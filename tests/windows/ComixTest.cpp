// The comic book and window: the page scale for three screens, the book's
// start (any comic below the count, the fade to state 7), the parts
// appearing 350 + 250 i ms after the window is made, a click while the third
// is still appearing completing all without closing and the next closing
// (the map's flag 0x20 and the fade to state 5); Escape and Enter alike; a
// missing sprite and a missing background skipped; the background covering
// the screen in its proportions; a finishing button at the bottom centre
// closing the comic at once and going once it has faded.
#include <gtest/gtest.h>

#include <vector>

#include "PanelRig.h"
#include "content/ComixSection.h"
#include "resources/GEffects.h"
#include "resources/ResourceServices.h"
#include "testsupport/PlainButton.h"
#include "testsupport/WindowDoor.h"
#include "windows/ComixBook.h"
#include "windows/ComixWindow.h"

namespace windowstest {
namespace {

u32 g_now = 0;
u32 Now() { return g_now; }
int g_covered = 0;
void Covered() { ++g_covered; }

class ComixTest : public ::testing::Test {
 protected:
  ComixTest() : rig(1024, 768) {
    GetResourceServices().frameClock = &Now;
    g_now = 5000;
    rig.AddPicture(kComixSpriteSet, u"panel", 300, 300);
    rig.AddPicture(kComixSpriteSet, u"seal", 40, 40);
    ComixPage page;
    page.x = -490;
    page.y = -340;
    for (i32 i = 0; i < 3; ++i) {
      COMIXPART part;
      part.x = 20 + 320 * i;
      COMIXENTRY picture;
      kis::StrCopy(picture.name, kComixNameSize, i == 1 ? u"missing" : u"panel");
      part.pictures.push_back(picture);
      kis::StrCopy(picture.name, kComixNameSize, u"seal");
      part.overlays.push_back(picture);
      page.parts.push_back(part);
    }
    comics.Add(page);
    comics.Add(ComixPage{});
    book = std::make_unique<ComixBook>(&comics);
    book->SetMapFlagsHook([this](u32 f) { mapFlags |= f; });
  }
  ~ComixTest() override {
    book.reset();
    ClearGameEffects();
    GetResourceServices().frameClock = nullptr;
  }
  static u32 EffectTarget() {
    auto* e = dynamic_cast<GEffect_Regime*>(GetGameEffect());
    return e ? e->GetTarget() : 0;
  }

  PanelRig rig;
  ComixList comics;
  std::unique_ptr<ComixBook> book;
  u32 mapFlags = 0;
};

TEST(ComixScale, ThreeScreens) {
  EXPECT_FLOAT_EQ(ComixPageScale(1024, 768), 1.0f);
  EXPECT_FLOAT_EQ(ComixPageScale(1280, 720), 0.96f);
  EXPECT_FLOAT_EQ(ComixPageScale(1000, 900), 1000.0f / 980.0f);  // 1.125 would be 1103 wide
  EXPECT_FLOAT_EQ(ComixPageScale(1920, 900), 1.125f);
  EXPECT_FLOAT_EQ(ComixPageScale(800, 800), 800.0f / 980.0f);
}

// The background covers the screen keeping its proportions, centred: at
// the screen's height when that is wide enough, else widened to the screen
// (a square on 1024 x 768 stands 1024 high, not 1024 / 400 x 768).
TEST_F(ComixTest, TheBackgroundCoversTheScreenKeepingItsProportions) {
  rig.AddPicture(1, u"comix_back", 400, 400);
  ASSERT_TRUE(book->StartComix(0, nullptr));
  ComixWindow* w = book->CreateComixWindow();
  ASSERT_NE(w, nullptr);
  const auto rect = [&] {
    const DXLRECT& r = w->GetBackRect();
    return std::vector<i32>{r.left, r.top, r.right, r.bottom};
  };
  EXPECT_EQ(rect(), (std::vector<i32>{0, -128, 1024, 896}));
  PanelRig::Screen(600, 800);
  w->OnScreenResize();
  EXPECT_EQ(rect(), (std::vector<i32>{-100, 0, 700, 800}));
  PanelRig::Screen(1024, 768);
}

TEST_F(ComixTest, StartingTakesAnyComicBelowTheCountAndFadesToTheComicState) {
  EXPECT_FALSE(book->StartComix(2, &Covered));
  EXPECT_EQ(GetGameEffect(), nullptr);
  EXPECT_TRUE(book->StartComix(1, &Covered));
  EXPECT_EQ(book->GetCurrent(), 1u);
  EXPECT_EQ(book->GetCallback(), &Covered);
  EXPECT_EQ(EffectTarget(), kGameStateComic);
  // The state machine's window for it; a second replaces the first.
  ComixWindow* first = book->CreateComixWindow();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(book->GetWindow(), first);
  ComixWindow* second = book->CreateComixWindow();
  EXPECT_EQ(book->GetWindow(), second);
  EXPECT_EQ(rig.manager->GetStack().GetCount(), 1);
  // Starting again drops the window.
  EXPECT_TRUE(book->StartComix(0, nullptr));
  EXPECT_EQ(book->GetWindow(), nullptr);
  EXPECT_EQ(rig.manager->GetStack().GetCount(), 0);
}

TEST_F(ComixTest, PartsAppearInTurnAClickCompletesThemAndTheNextCloses) {
  ASSERT_TRUE(book->StartComix(0, &Covered));
  ComixWindow* w = book->CreateComixWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->GetOriginX(), 512 - 490);
  EXPECT_EQ(w->GetOriginY(), 384 - 340);
  EXPECT_TRUE(comics.Get(0)->acquired);
  const auto& parts = w->Parts();
  ASSERT_EQ(parts.size(), 3u);
  for (u32 i = 0; i < 3; ++i) EXPECT_EQ(parts[i]->GetStart(), 5000 + 350 + 250 * i);
  EXPECT_EQ(parts[1]->Pictures()[0], nullptr);  // its sprite is missing: skipped
  EXPECT_NE(parts[0]->Pictures()[0], nullptr);
  g_now = 5000 + 350 + 75;
  w->Draw();
  EXPECT_EQ(parts[0]->GetColor() >> 24, 128u);
  EXPECT_NEAR(parts[0]->GetScale(), 0.95f, 1e-4f);
  EXPECT_TRUE(parts[0]->PlayedSound());
  EXPECT_EQ(parts[1]->GetColor(), 0x00FFFFFFu);
  g_now = 5000 + 850 + 10;  // the third is appearing
  w->Draw();
  EXPECT_FALSE(parts[1]->IsAppearing());
  EXPECT_TRUE(parts[2]->IsAppearing());
  rig.manager->OnDoubleClick(500, 400, kMouseLeft);  // as a press
  for (const auto& p : parts) EXPECT_EQ(p->GetColor(), 0xFFFFFFFFu);
  EXPECT_FALSE(w->IsClosing());
  EXPECT_EQ(mapFlags, 0u);
  rig.manager->OnMouseDown(500, 400, kMouseLeft, 0);
  EXPECT_TRUE(w->IsClosing());
  EXPECT_EQ(mapFlags, kMapFlagComixSeen);
  EXPECT_EQ(EffectTarget(), kGameStateLevelMap);
  GameEffect* closing = GetGameEffect();
  // The callback (the map's result, an effect of its own) runs once the
  // fade has ended on the map, never while it still runs.
  EXPECT_EQ(closing->GetCompletion(), &Covered);
  w->Advance();  // closing: nothing more
  EXPECT_EQ(GetGameEffect(), closing);
  book->DeleteComixWindow();
  EXPECT_FALSE(comics.Get(0)->acquired);
}

TEST_F(ComixTest, EscapeAndEnterActLikeAClickAndTheRightButtonDoesNothing) {
  for (u16 key : {u16{27}, u16{13}}) {
    mapFlags = 0;
    ASSERT_TRUE(book->StartComix(0, nullptr));
    ComixWindow* w = book->CreateComixWindow();
    rig.manager->OnMouseDown(10, 10, 2, 0);
    EXPECT_TRUE(w->Parts()[0]->IsAppearing());
    EXPECT_TRUE(rig.manager->OnKeyDown(key, 0));
    EXPECT_FALSE(w->Parts()[2]->IsAppearing());
    EXPECT_FALSE(w->IsClosing());
    rig.manager->OnKeyDown(key, 0);
    EXPECT_TRUE(w->IsClosing()) << key;
    EXPECT_EQ(mapFlags, kMapFlagComixSeen);
  }
}

// Nothing in the game gives the comic a finishing button: the test makes one.
TEST_F(ComixTest, AFinishingButtonClosesTheComicAtOnceAndGoesOnceFaded) {
  ASSERT_TRUE(book->StartComix(0, nullptr));
  ComixWindow* w = book->CreateComixWindow();
  auto* finish = new uitest::PlainButton(w, &w->Controls(), 0x1234, DXLRECT{0, 0, 120, 40});
  w->SetFinishButton(finish);
  EXPECT_EQ(finish->GetRect().left, (1024 - 120) / 2);
  EXPECT_EQ(finish->GetRect().top, 768 - 40 - 4);
  rig.Screen(800, 600);
  w->OnScreenResize();
  EXPECT_EQ(finish->GetRect().left, 340);
  EXPECT_EQ(finish->GetRect().bottom, 596);
  EXPECT_TRUE(w->Parts()[0]->IsAppearing());
  // Clicked through the window manager, the window away from the screen's
  // corner, while the parts still appear.
  testsupport::PlaceWindow(*w);
  testsupport::Click(*rig.manager, *finish);
  EXPECT_TRUE(w->IsClosing());
  EXPECT_FALSE(w->Parts()[2]->IsAppearing());
  EXPECT_EQ(mapFlags, kMapFlagComixSeen);
  EXPECT_EQ(EffectTarget(), kGameStateLevelMap);
  const i32 controls = w->Controls().GetCount();
  w->Draw();
  EXPECT_EQ(w->GetFinishButton(), finish) << "still fading";
  GetResourceServices().clock += 250;
  finish->State().Update();
  w->Draw();
  EXPECT_EQ(w->GetFinishButton(), nullptr);
  EXPECT_EQ(w->Controls().GetCount(), controls - 1);
}

}  // namespace
}  // namespace windowstest

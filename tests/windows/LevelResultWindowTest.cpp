// The result window's reveal on the game clock: the marks at
// 1000, 1400 and 1800 ms, each played at 50 ms a frame, the record swap from
// 2200 ms, then the medal; "ok" and Escape in the middle show the end and
// leave; a left press hurries the medal's zoom and fade still running over
// 250 ms and keeps the window; mode 0 hides bronze; a time of 0 is grey. And
// the level panel host as the level's windows: a won level's result window
// leading out, the restart offers opening the level window in both forms.
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "PanelRig.h"
#include "gametext/KGEBaseTextSprite.h"
#include "gametext/KGETextParams.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "ui/WindowManager.h"
#include "windows/LevelPanelHost.h"
#include "windows/LevelResultWindow.h"
#include "windows/LevelWindow.h"
#include "testsupport/WindowDoor.h"

namespace windowstest {
namespace {

class ResultWindowTest : public ::testing::Test {
 protected:
  ResultWindowTest() {
    for (const wchar* name : {u"level_uncompl", u"gold_medal", u"silver_medal", u"bronze_medal"})
      rig.AddPicture(1, name, 84, 108);
    // The window's skin, for its "ok" button to have a size.
    GetResourceServices().interfaceImage = rig.AddPicture(1, u"interface", 1024, 1024)->GetTexture();
    tick = rig.AddPicture(2, u"big_tick", 128, 32, 4);
    rig.AddPicture(1, u"red_cross_big", 26, 32);
  }
  ~ResultWindowTest() override { GetResourceServices().interfaceImage = nullptr; }
  LevelResultWindow& Open(LEVELRESULT record) {
    start = GetResourceServices().clock;
    window = new LevelResultWindow(record, [this] { ++exits; });
    Draw();  // its show effect begins
    return *window;
  }
  void At(u32 ms) { GetResourceServices().clock = start + ms; }
  // The window drawn in a frame now (its effects step as it draws).
  void Draw() {
    rig.Shot(0, 0, [&] { window->Draw(); });
  }
  // A press and release through the window manager at a point of the
  // window (window coordinates); the window stands away from the corner.
  void Press(i32 x, i32 y, u32 button) {
    Draw();  // its show effect over: the window takes the mouse
    const DXLRECT& r = window->GetRect();
    EXPECT_GT(r.left, 0);
    EXPECT_GT(r.top, 0);
    rig.manager->OnMouseMove(r.left + x, r.top + y, 0, 0);
    rig.manager->OnMouseDown(r.left + x, r.top + y, button, 0);
    rig.manager->OnMouseUp(r.left + x, r.top + y, button, 0);
  }
  // The medal's alpha as the window draws it now.
  u32 DrawnMedalAlpha() {
    Draw();
    return window->GetMedal()->GetColor() >> 24;
  }
  // The one colour a text is laid out in (0: the fonts' own).
  static u32 Ink(const KGETextSpriteW* text) {
    return text && (text->GetParams().flags & kKGEFixedColor) ? text->GetParams().color : 0;
  }
  static LEVELRESULT Won(i32 regime, i32 grade, u32 flags) {
    LEVELRESULT r;
    r.level = 0;
    r.flags = flags;
    r.regime = regime;
    r.limits[0] = 180000;
    r.limits[1] = 120000;
    r.limits[2] = 60000;
    r.grade = grade;
    r.previousBest = flags & 1 ? 0 : 100000;
    r.time = 90000;
    return r;
  }

  PanelRig rig;
  Sprite* tick = nullptr;
  LevelResultWindow* window = nullptr;
  u32 start = 0;
  i32 exits = 0;
};

// Silver in mode 1, a new record (none before: its time grey): gold crossed
// first, then the ticks, each played through its frames; "ok" leaves.
TEST_F(ResultWindowTest, TheRevealRunsMarksRecordThenMedal) {
  Open(Won(1, 5, 1));
  EXPECT_TRUE(window->IsColumnShown(0));
  EXPECT_FALSE(window->IsTick(2));
  EXPECT_TRUE(window->IsTick(1));
  EXPECT_TRUE(window->IsTick(0));
  EXPECT_EQ(window->GetGauge().GetValue(), 90000u);
  EXPECT_EQ(Ink(window->GetRecordTime()), 0xFFB0B0B0u);
  EXPECT_EQ(Ink(window->GetYourTime()), 0xFFFFFF8Bu);
  At(999);
  EXPECT_FALSE(window->IsMarkRevealed(2));
  At(1000);
  EXPECT_TRUE(window->IsMarkRevealed(2));
  EXPECT_FALSE(window->IsMarkRevealed(1));
  At(1400);
  EXPECT_TRUE(window->IsMarkRevealed(1));
  EXPECT_FALSE(window->IsMarkRevealed(0));
  using Frame = std::pair<u32, i32>;
  for (const auto& [ms, frame] : {Frame{1449, 0}, Frame{1450, 1}, Frame{1549, 2}, Frame{1550, 3}, Frame{1700, 3}}) {
    At(ms);
    EXPECT_EQ(window->GetMarkFrame(1), frame) << ms;
  }
  At(1800);
  EXPECT_TRUE(window->IsMarkRevealed(0));
  EXPECT_TRUE(window->IsRecordRowShown());
  EXPECT_FALSE(window->IsNewRecordRowShown());
  At(2399);
  EXPECT_TRUE(window->IsRecordRowShown());
  At(2400);
  EXPECT_FALSE(window->IsRecordRowShown());
  EXPECT_TRUE(window->IsNewRecordRowShown());
  At(2799);
  EXPECT_EQ(window->GetMedalProgress(), 0.0f);
  EXPECT_TRUE(window->IsShowing());
  At(2900);
  EXPECT_FLOAT_EQ(window->GetMedalProgress(), 0.5f);
  EXPECT_TRUE(window->IsUncompletedShown());
  At(3000);
  EXPECT_FALSE(window->IsShowing());
  EXPECT_FALSE(window->IsUncompletedShown());
  EXPECT_EQ(exits, 0);
  GameButton* ok = window->FindControl(kResultWindowOk, 0);
  ASSERT_NE(ok, nullptr);
  Press((ok->GetRect().left + ok->GetRect().right) / 2, (ok->GetRect().top + ok->GetRect().bottom) / 2, kMouseLeft);
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(window->OnCommand(ok), 2u);
  delete window;
}

// Mode 0 without a new record: no bronze column, the medal after 2200 ms;
// a right press changes nothing; a left press at 1100 ms shows every mark
// at its last frame and zooms and fades the medal in over the next 250 ms.
// Pressed once its fade has ended, the zoom alone starts again. Escape
// then leaves once.
TEST_F(ResultWindowTest, AClickHurriesAndEscapeLeaves) {
  Open(Won(0, 6, 0));
  testsupport::PlaceWindow(*window);
  testsupport::Settle(*window);
  EXPECT_FALSE(window->IsColumnShown(0));
  EXPECT_FALSE(window->IsMarkRevealed(0));
  EXPECT_TRUE(window->IsRecordRowShown());
  At(1100);
  EXPECT_EQ(window->GetMarkFrame(2), 2);
  const i32 x = 30, y = window->GetYourTimePlace().y;  // on the window, off its button
  Press(x, y, kMouseRight);
  EXPECT_FALSE(window->IsMarkRevealed(1));
  Press(x, y, kMouseLeft);
  EXPECT_TRUE(window->IsMarkRevealed(1));
  EXPECT_EQ(window->GetMarkFrame(2), 3);
  EXPECT_FALSE(window->IsUncompletedShown());
  EXPECT_TRUE(window->IsShowing());
  At(1225);
  EXPECT_FLOAT_EQ(window->GetMedalProgress(), 0.5f);
  EXPECT_NEAR(DrawnMedalAlpha(), 128u, 1u);
  At(1350);
  EXPECT_FALSE(window->IsShowing());
  EXPECT_TRUE(window->IsRecordRowShown());
  EXPECT_FALSE(window->IsNewRecordRowShown());
  EXPECT_EQ(exits, 0);
  delete window;

  Open(Won(0, 5, 0));
  At(2350);  // the fade in (100 ms from 2200) over, the zoom halfway
  Press(x, y, kMouseLeft);
  At(2360);
  EXPECT_EQ(DrawnMedalAlpha(), 255u);
  EXPECT_FLOAT_EQ(window->GetMedalProgress(), 10.0f / 250.0f);
  delete window;

  Open(Won(1, 4, 1));
  At(1500);
  Draw();  // its show effect over: the window takes keys
  EXPECT_TRUE(rig.manager->OnKeyDown(kKeyEscape, 0));
  EXPECT_EQ(exits, 1);
  EXPECT_FALSE(window->IsShowing());
  EXPECT_EQ(window->GetMedalProgress(), 1.0f);
  EXPECT_TRUE(window->IsMarkRevealed(0));
  EXPECT_TRUE(window->IsNewRecordRowShown());
  EXPECT_FALSE(window->IsRecordRowShown());
  delete window;
}

// The host: a won level opens the result window once, whose Enter leaves
// through the level's way out (recorded without one); the restart offer
// after a loss opens the play form with "to_map", whose cancel leaves; the
// menu's restart form only closes on cancel and restarts on start.
TEST_F(ResultWindowTest, TheHostOpensTheLevelsWindows) {
  LevelPanelHost& host = rig.host;
  host.OpenResultWindow(Won(0, 5, 0));
  LevelResultWindow* result = FindWindowOf<LevelResultWindow>();
  ASSERT_NE(result, nullptr);
  host.OpenResultWindow(Won(0, 5, 0));
  EXPECT_EQ(FindWindowOf<LevelResultWindow>(), result);
  result->OnKeyDown(kKeyEnter, 0);
  EXPECT_TRUE(host.HasExited());
  delete result;

  i32 restarts = 0, leaves = 0;
  host.SetLevelActions([&] { ++leaves; }, [&] { ++restarts; });
  host.OfferRestart();  // from the menu: the level is not lost
  LevelWindow* levelWindow = FindWindowOf<LevelWindow>();
  ASSERT_NE(levelWindow, nullptr);
  EXPECT_EQ(levelWindow->GetKind(), kLevelWindowRestartForm);
  levelWindow->OnKeyDown(kKeyEscape, 0);
  levelWindow->OnKeyDown(kKeyEnter, 0);
  EXPECT_EQ(leaves, 0);
  EXPECT_EQ(restarts, 1);
  delete levelWindow;

  rig.MakeLevel({});
  rig.level.rules->Tasks().Lose(1000);  // lost (its window not shown yet)
  host.OfferRestart();
  levelWindow = FindWindowOf<LevelWindow>();
  ASSERT_NE(levelWindow, nullptr);
  EXPECT_EQ(levelWindow->GetKind(), kLevelWindowLost);
  levelWindow->OnKeyDown(kKeyEscape, 0);
  EXPECT_EQ(leaves, 1);
  delete levelWindow;
}

}  // namespace
}  // namespace windowstest

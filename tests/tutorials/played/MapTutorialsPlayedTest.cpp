// The map's tutorials in the running game on the sample data set (headless,
// the game's tutorial maker): a first profile's first visit of the map
// shows the arrow on level 1's node with its text (map_first_tutorial_WxH.png);
// choosing level 1 ends it. Level 2 won unlocks the bees, and the next level
// window shows the new bonus over its slot (map_new_bonus_WxH.png), the fourth
// and sixth (in no slot) on "select bonuses". Both texts
// lie wholly inside the screen. Every map tutorial's hint (the bonus's
// second step, the regime's and the hard regime's made by hand on the
// map) stands where its script puts it; the layers that take clicks leave
// the interface's "back" and "options" buttons to it; at 800 x 600 and
// 1,024 x 768 no note stands over its target. The first note lies whole in
// the game area at four sizes, and goes at once when the level window opens
// over it.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "../../app/scene/RunningGame.h"
#include "app/LevelSelectMap.h"
#include "app/Profile.h"
#include "content/GameBonuses.h"
#include "engine/DXLMouse.h"
#include "gametext/KGEBaseTextSprite.h"
#include "resources/ResourceServices.h"
#include "testsupport/TutorialHintTable.h"
#include "testsupport/WindowDoor.h"
#include "tutorials/MapTutorials.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialInfo.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialMaker.h"
#include "tutorials/TutorialTargets.h"
#include "ui/GameButton.h"
#include "ui/ImageButton.h"
#include "ui/WindowManager.h"
#include "windows/BonusesWindow.h"
#include "windows/LevelWindow.h"
#include "windows/MapInterface.h"

namespace {

// An arrow's or a text's target, valid and on the screen.
bool OnScreen(const TutorialTarget* target) {
  const GAMESCREENAREA& s = GetResourceServices().screen;
  return target && target->IsValid() && target->GetX() >= 0 && target->GetY() >= 0 && target->GetX() < s.width &&
         target->GetY() < s.height;
}

// The whole text box inside the screen.
bool Inside(const TutorialInfo* text) {
  const GAMESCREENAREA& s = GetResourceServices().screen;
  const float left = text->GetPosX() + text->GetPivotX(), top = text->GetPosY() + text->GetPivotY();
  return text->GetWidth() > 0 && left >= 0.0f && top >= 0.0f &&
         left + static_cast<float>(text->GetWidth()) <= static_cast<float>(s.width) &&
         top + static_cast<float>(text->GetHeight()) <= static_cast<float>(s.height);
}

// Each map tutorial's hint (the new bees' on their slot checked as it
// shows): arrows and texts on the level node, the level window's "select
// bonuses" button, the map interface's regime button, the map's centre.
const std::map<TutorialId, const char*> kMapHints = {
    {kMapTutorialFirstId | 1, "arrow node 0 225/64 | text node 0 225/64 +84 above"},
    {kMapTutorialNewBonusId | 2, "arrow LvIf:35000020 270/4 | text LvIf:35000020 270/4 +84 above"},
    {kMapTutorialRegimeId | 2, "arrow MapI:24FE0202 240/10 | text MapI:24FE0202 240/10 +120 click above"},
    {kMapTutorialHardId | 1, "text fn:mapcentre 0/0 centred +0 click"},
};

// The first visit's note whole, its frame too, and beside level 1's node
// (clear of its cell) in a window of 800 x 600, 1,024 x 768, 1,280 x 800
// and 1,920 x 1,080 (the node lies by the map's left edge, the note on its
// upper left side), each drawn into map_first_WxH.png.
TEST(MapTutorialsPlayed, FirstNoteWholeAtBothSizes) {
  for (const auto& [w, h] :
       {std::pair{800u, 600u}, std::pair{1024u, 768u}, std::pair{1280u, 800u}, std::pair{1920u, 1080u}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    TutorialMaker maker;
    RunningGame run(w, h, true, false, nullptr, &maker);
    ASSERT_TRUE(run.ok);
    ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
    run.NameFirstProfile(u"Ann");
    ASSERT_NE(run.game.Profiles()->GetCurrent(), nullptr);
    run.game.Profiles()->GetCurrent()->SetTutorials(true);
    run.game.ChooseRegime();
    ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
    for (int i = 0; i < 60 && !(GetCurrentTutorial() && GetCurrentTutorial()->GetCurrentStep()); ++i) run.Frame();
    ASSERT_NE(dynamic_cast<MapTutorial_First*>(GetCurrentTutorial()), nullptr);
    for (int i = 0; i < 20; ++i) run.Frame();  // the fades in
    TutorialLayer* layer = GetCurrentTutorial()->GetCurrentStep()->GetLayer();
    ASSERT_NE(layer, nullptr);
    ASSERT_EQ(layer->Texts().GetCount(), 1);
    EXPECT_EQ(testsupport::NoteMisplaced(layer->Texts().Get(0)), "");
    EXPECT_TRUE(run.Shot("map_first_" + std::to_string(w) + "x" + std::to_string(h) + ".png"));
  }
}

// At 800 x 600 and 1,024 x 768; no note over its target.
class MapTutorialsSized : public ::testing::TestWithParam<std::pair<u32, u32>> {};

TEST_P(MapTutorialsSized, FirstVisitThenTheNewBonusOverTheLevelWindow) {
  TutorialMaker maker;
  RunningGame run(GetParam().first, GetParam().second, false, false, nullptr, &maker);
  ASSERT_TRUE(run.ok);
  testsupport::HintNames names;
  names.functions[MapScreenCentre] = "mapcentre";
  testsupport::HintRecorder hints(names);
  const auto frames = [&](int n) {
    for (int i = 0; i < n; ++i) {
      run.Frame();
      hints.Frame();
    }
  };
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  run.NameFirstProfile(u"Ann");
  Profile* profile = run.game.Profiles()->GetCurrent();
  ASSERT_NE(profile, nullptr);
  profile->SetTutorials(true);
  run.game.ChooseRegime();
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  for (int i = 0; i < 60 && !(GetCurrentTutorial() && GetCurrentTutorial()->GetCurrentStep()); ++i) frames(1);
  auto* first = dynamic_cast<MapTutorial_First*>(GetCurrentTutorial());
  ASSERT_NE(first, nullptr);
  TutorialStep* step = first->GetCurrentStep();
  ASSERT_NE(step, nullptr);
  frames(20);  // the fades in
  ASSERT_NE(step->GetLayer(), nullptr);
  ASSERT_EQ(step->GetLayer()->Arrows().GetCount(), 1);
  ASSERT_EQ(step->GetLayer()->Texts().GetCount(), 1);
  EXPECT_TRUE(OnScreen(step->GetLayer()->Arrows().Get(0)->GetTarget()));
  EXPECT_TRUE(OnScreen(step->GetLayer()->Texts().Get(0)->GetTarget()));
  EXPECT_TRUE(Inside(step->GetLayer()->Texts().Get(0))) << "level 1's node is by the screen's left edge";
  const std::string size = std::to_string(GetParam().first) + "x" + std::to_string(GetParam().second);
  EXPECT_TRUE(run.Shot("map_first_tutorial_" + size + ".png"));

  // Level 1 chosen on the map: the tutorial ends, the level window opens.
  LevelSelectMap* map = run.game.Map();
  const DXLPOINT node = map->ToScreen(map->GetNode(0)->GetX(), map->GetNode(0)->GetY());
  map->OnMouseDown(node.x, node.y, kMouseLeft, 0);
  EXPECT_EQ(first->GetState(), kTutorialEnding);
  ASSERT_NE(FindWindowOf<LevelWindow>(), nullptr);
  // From the first frame of the window's opening nothing of the hint is
  // drawn beside or behind it: its fading note and arrow are gone at once.
  run.Frame();
  i32 left = 0;
  if (GameTutorial* still = GetCurrentTutorial())
    for (i32 i = 0; i < still->Layers().GetCount(); ++i)
      left += still->Layers().Get(i)->Texts().GetCount() + still->Layers().Get(i)->Arrows().GetCount();
  EXPECT_EQ(left, 0) << "notes and arrows left under the level window";
  for (int i = 0; i < 30; ++i) run.Frame();
  EXPECT_EQ(GetCurrentTutorial(), nullptr);
  FindWindowOf<LevelWindow>()->Close();
  for (int i = 0; i < 30; ++i) run.Frame();

  // Levels 1 and 2 won: level 2 unlocks the bees, which take the first
  // slot of the selection; the next level window shows them.
  LEVELRESULT result;
  profile->RecordUnplayedResult(0, &result);
  profile->RecordUnplayedResult(1, &result);
  EXPECT_TRUE(profile->HasBonus(0));
  EXPECT_EQ(profile->GetBonusSelection(0).count, 1u);
  EXPECT_EQ(profile->GetBonusSelection(0).slots[0], 0);
  new LevelWindow(1, kLevelWindowFromMap, [](u32, i32, u32) {});
  auto* bonus = dynamic_cast<MapTutorial_NewBonus*>(GetCurrentTutorial());
  ASSERT_NE(bonus, nullptr);
  EXPECT_EQ(bonus->GetBonusIndex(), 0);
  ASSERT_NE(GetGameBonuses(), nullptr);
  hints.Names().data[reinterpret_cast<uintptr_t>(&GetGameBonuses()->Get(0))] = "bees";
  frames(60);
  TutorialStep* b1 = bonus->GetCurrentStep();
  ASSERT_NE(b1, nullptr);
  EXPECT_EQ(b1->GetId(), kMapTutorialNewBonusId | 1);
  ASSERT_EQ(b1->GetLayer()->Arrows().GetCount(), 1);
  EXPECT_TRUE(OnScreen(b1->GetLayer()->Arrows().Get(0)->GetTarget())) << "the arrow on the bees' slot";
  ASSERT_EQ(b1->GetLayer()->Texts().GetCount(), 1);
  EXPECT_TRUE(Inside(b1->GetLayer()->Texts().Get(0)));
  EXPECT_TRUE(run.Shot("map_new_bonus_" + size + ".png"));

  // Its click ends it (not chained). Days to 18, then to 27, won: the
  // fourth and the sixth helper, in no slot, are shown on "select bonuses";
  // the first click closes the note; day 19 then asks for the choice (Play
  // held), day 28 starts at the next click on Play.
  EXPECT_EQ(bonus->GetChain(), 0u);
  EXPECT_EQ(hints.Line(b1->GetId()), "arrow LvIf:35000010/bees 270/4 | text LvIf:35000010/bees 270/4 +84 click above");
  b1->OnLayerClicked();
  frames(30);
  FindWindowOf<LevelWindow>()->Close();
  frames(30);
  const auto click = [&](u32 control) {
    testsupport::Click(*GetWindowManager(), *FindWindowOf<LevelWindow>()->FindControl(control, 0));
    frames(30);
  };
  u32 started = 0;
  for (i32 won : {17, 26}) {
    for (i32 day = 2; day <= won; ++day) profile->RecordUnplayedResult(day, &result);
    new LevelWindow(won + 1, kLevelWindowFromMap, [&](u32 start, i32, u32) { started += start; });
    frames(60);
    bool shown = false;
    EXPECT_EQ(testsupport::JoinHintParts(testsupport::DescribeHintParts(
                  GetCurrentTutorial()->GetCurrentStep()->GetLayer(), hints.Names(), &shown)),
              "arrow LvIf:35000020 270/4 | text LvIf:35000020 270/4 +84 click above") << won + 2;
    click(kLevelWindowPlay);
    if (won == 26) break;
    click(kLevelWindowPlay);
    EXPECT_EQ(started, 0u) << "the choice first";
    click(kLevelWindowSelectBonuses);
    ASSERT_NE(FindWindowOf<BonusesWindow>(), nullptr);  // called what its button says
    const auto* button = dynamic_cast<ImageButton*>(FindWindowOf<LevelWindow>()->FindControl(kLevelWindowSelectBonuses, 0));
    EXPECT_EQ(std::u16string(FindWindowOf<BonusesWindow>()->GetCaptionPlate()->GetTextSprite()->GetText()),
              std::u16string(button->GetCaption()->GetText()));
    FindWindowOf<BonusesWindow>()->Close();
    FindWindowOf<LevelWindow>()->Close();
    frames(30);
  }
  click(kLevelWindowPlay);
  EXPECT_EQ(started, 1u) << "day 28 started by the second click";
  FindWindowOf<LevelWindow>()->Close();
  frames(30);
  for (TutorialId id : {kMapTutorialRegimeId | 2, kMapTutorialHardId | 1}) {
    GameTutorial* t = id == (kMapTutorialRegimeId | 2) ? static_cast<GameTutorial*>(new MapTutorial_Regime())
                                                       : new MapTutorial_Hard();
    frames(60);
    TutorialStep* shown = t->GetCurrentStep();
    ASSERT_NE(shown, nullptr);
    // The layer takes a click on the map, but not on the interface's
    // "back" and "options" buttons: those pass to the interface.
    TutorialLayer* layer = shown->GetLayer();
    ASSERT_GT(layer->GetClickCount(), 0u);
    for (u32 command : {kMapBackCommand, kMapOptionsCommand}) {
      const GameButton* button = map->GetInterface()->GetButton(command);
      ASSERT_NE(button, nullptr);
      const DXLRECT& r = button->GetRect();
      kis::IntPoint centre{};
      map->GetInterface()->ClientToScreen(&centre, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
      EXPECT_GT(r.right - r.left, 0);
      EXPECT_FALSE(layer->HitTest(centre.x, centre.y)) << std::hex << command;
      EXPECT_NE(GetWindowManager()->FindWindowAt(centre.x, centre.y), layer) << std::hex << command;
    }
    EXPECT_EQ(GetWindowManager()->FindWindowAt(node.x, node.y), layer) << "the map's node";
    shown->OnLayerClicked();
    frames(30);
  }
  for (const auto& [id, line] : kMapHints) EXPECT_EQ(hints.Line(id), line) << std::hex << id;
  EXPECT_EQ(hints.Misplaced(), std::set<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(BothSizes, MapTutorialsSized,
                         ::testing::Values(std::pair{800u, 600u}, std::pair{1024u, 768u}));

}  // namespace

#include "tutorials/LevelTutorial_4.h"

#include "level/map/LevelMap.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/PointHenhouse.h"
#include "level/scene/GameLevel.h"
#include "tutorials/LevelTutorialScript.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "hud/ASSArrowButton.h"
#include "hud/ASSPriceButton.h"
#include "ui/GameButton.h"
#include "ui/GameWindow.h"
#include "ui/WindowManager.h"
#include "windows/ChildLevelPanel.h"
#include "windows/LevelPanel.h"

namespace {
namespace tut4 {

constexpr TutorialId Step(u32 n) { return kTutorialLevelBit | kLevelTutorial4 | n; }
constexpr u32 kLvlp = kTutorialWindowLevelPanel;
constexpr u32 kOpenHouses = 0xC9000300u;
constexpr u32 kBuildHouse = 0xC9000600u;
constexpr u32 kHouseCommand = 0xC9000004u;
constexpr u32 kHousePanel = 4098;
constexpr u32 kItemTask = 0x1000009u;
constexpr u32 kHarv = 0x48617276u;  // 'Harv'
constexpr i32 kHouse = 2;
constexpr i32 kBed = 4;

ScriptStep* Make(u32 n, u32 active, u32 after) {
  return new ScriptStep(Step(n), kLvlp, active, after, n < 9 ? Step(n + 1) : 0);
}

TutorialTarget* Control(u32 id) { return new TutTargetButton(kLvlp, id, 0, kAngleUp, kArrowGap); }

ScreenSprite* FeedSprite(ScriptStep& st) { return ScriptHenhouseFeed(st, kHouse); }
ScreenSprite* EggsSprite(ScriptStep& st) { return ScriptHenhouseEggs(st, kHouse); }

// Over the house panel's command (its panel shown) clicks pass.
bool OverHouseCommand(i32 x, i32 y) {
  WindowManager* m = GetWindowManager();
  auto* panel = m ? dynamic_cast<LevelPanel*>(m->FindWindow(kLvlp)) : nullptr;
  ChildLevelPanel* child = panel ? panel->GetCurrentChild() : nullptr;
  if (!child || static_cast<u32>(child->GetKind()) != kHousePanel) return false;
  TutTargetButton target(kLvlp, kHouseCommand, 0, 0.0f, 0.0f);
  GameWindow* window = nullptr;
  GameButton* button = target.FindControl(&window);
  if (!button || !window) return false;
  const DXLRECT& r = button->GetRect();
  kis::IntPoint a{}, b{};
  window->ClientToScreen(&a, r.left, r.top);
  window->ClientToScreen(&b, r.right, r.bottom);
  return x >= a.x && x < b.x && y >= a.y && y < b.y;
}

// The steps, each built with its next one (the tutorial being made owns them).
void MakeSteps() {
  ScriptStep* s = Make(1, 0x1004, 0x1000);
  ScriptSelectPoint(*s, kHouse);
  s->build = [](ScriptStep& st) {
    ScriptArrowAndText(st, new TutTargetLevelPoint(st.Level(), kHouse, kPointAngle, kPointDistance), 0, false, kItemTask,
                       reinterpret_cast<uintptr_t>(ScriptTask0(st)));
  };

  s = Make(2, 0x1001000, 0x1000);
  s->build = [](ScriptStep& st) { ScriptArrowAndText(st, Control(kOpenHouses)); };
  ScriptWaitForButton(*s, kLvlp, kOpenHouses);

  ScriptBuildOnSite(*Make(3, 0x1001000, 0x1000), kHouse, kBuildHouse, kHenhouseName, Step(2));

  // The house and its panel's command; a click goes on (over the command too).
  s = Make(4, 0x1001000, 0x1000);
  s->build = [](ScriptStep& st) {
    GameLevel* level = st.Level();
    ScreenSprite* feed = FeedSprite(st);
    if (!feed || !level || level->Map().GetSelectedPoint() != kHouse) return;
    st.Arrow(new TutTargetScreenSprite(feed, 180.0f, kArrowGap), 1);
    if (TutorialArrow* arrow = st.Arrow(Control(kHouseCommand), 2))
      st.Text(arrow->GetTarget(), false, kTextGap, true, 0, 0, true);
  };
  s->allow = [](ScriptStep&, u32 code, uintptr_t param, const void* object) {
    const auto* b = static_cast<const GameButton*>(object);
    return code == kTutorialActionButton && b && b->IsEnabled() &&
           ScriptIsButton(static_cast<u32>(param), object, kLvlp, kHouseCommand);
  };
  s->catches = [](ScriptStep&, i32 x, i32 y) { return !OverHouseCommand(x, y); };

  s = Make(5, 0x1001, 0x1000);
  ScriptJobHint(*s, kHarv, -1, kScriptJobHarvest, 0x100);
  ScriptSpriteHint(*s, [](ScriptStep& st) -> ScreenSprite* { return ScriptSpriteA(st, kBed); }, 135.0f);
  s->frame = [](ScriptStep& st, u32) {
    if (ScriptStock(st, ScriptWheatProduct()) > 0) st.Finish();
  };

  s = Make(6, 0x1001, 0x1000);
  ScriptJobHint(*s, kFeedButtonCode, -1, kJobFeed, 0x100);
  ScriptSpriteHint(*s, FeedSprite, 110.0f);
  s->frame = [](ScriptStep& st, u32) {
    PointHenhouse* h = ScriptHenhouse(st, kHouse);
    if (h && h->IsFed()) st.Finish();
  };

  // The hens at work, twice as fast, until their eggs lie there.
  s = Make(7, 0x20, 0x1000);
  s->build = [](ScriptStep& st) {
    st.Text(new TutTargetLevelPoint(st.Level(), kHouse, kAngleDown, 80.0f), false, 0.0f, false);
  };
  s->onBegin = [](ScriptStep& st) { ScriptSetRateB(st, kHouse, 2.0f); };
  s->onEnd = [](ScriptStep& st) { ScriptSetRateB(st, kHouse, 1.0f); };
  s->allow = [](ScriptStep&, u32 code, uintptr_t, const void*) { return code == kTutorialActionGrow; };
  s->frame = [](ScriptStep& st, u32) {
    if (EggsSprite(st)) st.Finish();
  };

  ScriptCollectEggs(*Make(8, 0x1001, 0x1000), kHouse, 150.0f);

  ScriptClickCentre(*Make(9, 0x1000, 0x1000), kAngleDown, 160.0f);

}

}  // namespace tut4
}  // namespace

LevelTutorial_4::LevelTutorial_4(GameLevel* level) : LevelTutorial(kLevelTutorial4, level) {
  tut4::MakeSteps();
  SetFirstStep(tut4::Step(1));
}

#include "tutorials/LevelTutorial_1.h"

#include <cmath>

#include "content/LevelRegime.h"
#include "level/characters/Job.h"
#include "level/characters/MapCharacter.h"
#include "level/map/LevelMap.h"
#include "level/objects/BasePointPlant.h"
#include "level/scene/GameLevel.h"
#include "tutorials/LevelTutorialScript.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "hud/ASSArrowButton.h"
#include "ui/WindowManager.h"
#include "level/scene/LevelInterface.h"
#include "windows/ChildLevelPanel.h"
#include "windows/LevelPanel.h"
#include "windows/WarehouseWindow.h"

namespace {

constexpr TutorialId Step1(u32 n) { return kTutorialLevelBit | kLevelTutorial1 | n; }
constexpr u32 kLvlp = kTutorialWindowLevelPanel;
constexpr u32 kWrhs = kTutorialWindowWarehouse;
constexpr u32 kOpenPlants = 0xC9000100u;
constexpr u32 kBuildPlant = 0xC9000400u;
constexpr u32 kItemTask = 0x1000009u;
constexpr u32 kItemPlant = 0x1000002u;
constexpr u32 kItemProduct = 0x1000003u;
constexpr u32 kHarv = 0x48617276u;  // 'Harv'
constexpr u32 kWate = 0x57617465u;  // 'Wate'
constexpr float kNearTarget = 150.0f;

ScriptStep* Make1(u32 n, u32 layer, u32 active, u32 after) {
  return new ScriptStep(Step1(n), layer, active, after, n < 27 ? Step1(n + 1) : 0);
}

TutorialTarget* Control(u32 window, u32 id, uintptr_t data, float angle = kAngleUp) {
  return new TutTargetButton(window, id, data, angle, kArrowGap);
}

TutorialTarget* PanelCentre(float angle) { return new TutTargetCustom(LevelScreenCentre, 0, angle, 0.0f, 0); }

void ArrowAndText(ScriptStep& s, TutorialTarget* target, bool click = false, u32 kind = 0, uintptr_t item = 0) {
  ScriptArrowAndText(s, target, 0, click, kind, item);
}

// The plants category of the empty place's panel.
void OpenPlants(ScriptStep& s) {
  s.build = [](ScriptStep& st) { ArrowAndText(st, Control(kLvlp, kOpenPlants, 0)); };
  ScriptWaitForButton(s, kLvlp, kOpenPlants);
}

uintptr_t PlantData(ScriptStep& s) { return reinterpret_cast<uintptr_t>(ScriptCurrentPlant(s)); }

// The plant's build button of the plants panel.
void SowPlant(ScriptStep& s) {
  s.build = [](ScriptStep& st) { ArrowAndText(st, Control(kLvlp, kBuildPlant, PlantData(st))); };
  ScriptWaitForButton(s, kLvlp, kBuildPlant, PlantData);
}

// Only crops grow; finishes once the selected bed's crop is ripe.
void GrowBed(ScriptStep& s, i32 index) {
  s.build = [index](ScriptStep& st) {
    ArrowAndText(st, new TutTargetLevelPoint(st.Level(), index, kPointAngle, kPointDistance));
  };
  s.allow = [](ScriptStep&, u32 code, uintptr_t, const void*) { return code == kTutorialActionGrow; };
  s.frame = [index](ScriptStep& st, u32) {
    BasePointPlant* bed = ScriptBed(st, index, true);
    if (bed && bed->Growth().GetPercent() >= 100.0f) st.Finish();
  };
}

// A click anywhere off the panel: the text centred above the panel's centre.
void ClickCentre(ScriptStep& s, float distance) {
  s.build = [distance](ScriptStep& st) { st.Text(PanelCentre(kAngleDown), true, distance, true); };
}

TutorialId Resume(ScriptStep&, u32 n) { return Step1(n); }

bool PlayerIdle(ScriptStep& s) {
  MapCharacter* player = ScriptPlayer(s);
  return !player || player->GetJobs().GetCount() == 0;
}

// The harvest of the bed: with a harvest already queued nothing is asked.
bool HarvestQueued(ScriptStep& s, i32 index) { return ScriptBedBusy(ScriptBed(s, index)); }

void ArrowOnSpriteA(ScriptStep& s, i32 index) {
  TutorialLayer* layer = s.GetLayer();
  ASSArrowButton* sprite = ScriptSpriteA(s, index);
  if (!layer || !sprite || layer->FindArrow(static_cast<u32>(index))) return;
  TutorialArrow* arrow = s.Arrow(new TutTargetScreenSprite(sprite, kAngleUp, kArrowGap), static_cast<u32>(index));
  if (arrow && layer->GetState() >= kLayerShowing) layer->ShowArrow(arrow);
}

}  // namespace

LevelTutorial_1::LevelTutorial_1(GameLevel* level) : LevelTutorial(kLevelTutorial1, level) {
  const PRODUCT* wheat = ScriptWheatProduct();

  ScriptStep* s = Make1(1, kLvlp, 0x1000, 0x1000);
  s->build = [](ScriptStep& st) {
    st.Arrow(ScriptTask0Button(st));
    st.Text(PanelCentre(kAngleUp), true, 80.0f, true, kItemTask, reinterpret_cast<uintptr_t>(ScriptTask0(st)));
  };

  ScriptSelectPoint(*Make1(2, kLvlp, 0x1004, 0x1000), 1);

  OpenPlants(*Make1(3, kLvlp, 0x1001000, 0x1000));

  s = Make1(4, kLvlp, 0x1001000, 0x100);
  SowPlant(*s);
  s->resume = [](ScriptStep& st) { return Resume(st, 3); };

  GrowBed(*Make1(5, kLvlp, 0x120, 0x1000), 1);

  s = Make1(6, kLvlp, 0x1001, 0x100);
  s->build = [](ScriptStep& st) {
    if (ASSArrowButton* a = ScriptSpriteA(st, 1)) st.Text(new TutTargetScreenSprite(a, 0.0f, kArrowGap), false, kTextGap, false);
  };
  s->allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return ScriptSpriteAction(st, code, param, object, kHarv, 1);
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t param, const void*) {
    if (code == kTutorialEventJob && param == kScriptJobHarvest) st.Finish();
  };

  s = Make1(7, kLvlp, 0x1000, 0x1000);
  ClickCentre(*s, 160.0f);
  s->canStart = PlayerIdle;

  s = Make1(8, kLvlp, 0x1000, 0x1000);
  s->build = [](ScriptStep& st) {
    ArrowAndText(st, ScriptTask0Button(st), true, kItemTask, reinterpret_cast<uintptr_t>(ScriptTask0(st)));
  };

  ScriptSelectPoint(*Make1(9, kLvlp, 0x1004, 0x1000), 2);

  OpenPlants(*Make1(10, kLvlp, 0x1001000, 0x1000));

  s = Make1(11, kLvlp, 0x1000, 0x1000);
  s->build = [](ScriptStep& st) { ArrowAndText(st, Control(kLvlp, kBuildPlant, PlantData(st)), true, kItemPlant, PlantData(st)); };
  s->resume = [](ScriptStep& st) { return Resume(st, 10); };

  s = Make1(12, kLvlp, 0x1000, 0x1000);
  s->build = [](ScriptStep& st) {
    st.Text(new TutTargetCustom(ScriptPanelTop, 0, kAngleDown, kArrowGap, 0), false, kTextGap, true);
  };

  ClickCentre(*Make1(13, kLvlp, 0x1000, 0x1000), 160.0f);

  // The warehouse: its panel button, or the warehouse on the map.
  ScriptOpenWarehouse(*Make1(14, kLvlp, 0x1001002, 0x3000));
  auto resume14 = [](ScriptStep& st) { return Resume(st, 14); };

  s = Make1(15, kWrhs, 0x1000, 0x1000);
  s->canStart = [](ScriptStep&) { return ScriptWarehouseSettled(); };
  s->build = [](ScriptStep& st) {
    st.Text(new TutTargetCustom(ScriptWarehousePoint, 240, kAngleDown, 0.0f, 0), true, 0.0f, true);
  };
  s->resume = resume14;

  s = Make1(16, kWrhs, 0x1003000, 0x3000);
  s->build = [wheat](ScriptStep& st) {
    if (wheat)
      ArrowAndText(st, Control(kWrhs, kWarehouseProduct, reinterpret_cast<uintptr_t>(wheat), kAngleDown), false,
                   kItemProduct, reinterpret_cast<uintptr_t>(wheat));
  };
  ScriptWaitForButton(*s, kWrhs, kWarehouseProduct, [wheat](ScriptStep&) { return reinterpret_cast<uintptr_t>(wheat); });
  s->resume = resume14;

  s = Make1(17, kWrhs, 0x1000, 0x1000);
  s->build = [wheat](ScriptStep& st) {
    st.Text(new TutTargetCustom(ScriptWarehousePoint, 120, kAngleUp, 0.0f, 0), false, kTextGap, true, kItemProduct,
            reinterpret_cast<uintptr_t>(wheat));
  };
  s->resume = resume14;

  s = Make1(18, kWrhs, 0x1003000, 0x3000);
  s->build = [](ScriptStep& st) { ArrowAndText(st, Control(kWrhs, kWarehouseSellOne, 0)); };
  ScriptWaitForButton(*s, kWrhs, kWarehouseSellOne);
  s->resume = resume14;

  s = Make1(19, kWrhs, 0x1003000, 0x3000);
  s->build = [](ScriptStep& st) {
    st.Arrow(Control(kWrhs, kWarehouseClose, 0, 0.0f));
    st.Text(Control(kWrhs, kWarehouseClose, 0), false, kTextGap, false);
  };
  ScriptWaitForButton(*s, kWrhs, kWarehouseClose);
  s->onEnd = [](ScriptStep& st) { st.GetTutorial()->SetDelay(400); };
  s->resume = [](ScriptStep& st) { return Resume(st, 20); };

  // With the plants panel already shown the step gives way to step 21.
  s = Make1(20, kLvlp, 0x1001000, 0x1000);
  OpenPlants(*s);
  s->canStart = [](ScriptStep& st) {
    WindowManager* m = GetWindowManager();
    auto* panel = m ? dynamic_cast<LevelPanel*>(m->FindWindow(kLvlp)) : nullptr;
    ChildLevelPanel* child = panel ? panel->GetCurrentChild() : nullptr;
    if (!child || static_cast<u32>(child->GetKind()) != kPanelPlants) return true;
    st.GetTutorial()->StartStep(st.GetNextStep());
    return false;
  };

  s = Make1(21, kLvlp, 0x1001000, 0x120);
  SowPlant(*s);
  s->resume = [](ScriptStep& st) { return Resume(st, 20); };

  GrowBed(*Make1(22, kLvlp, 0x120, 0x1000), 2);

  ClickCentre(*Make1(23, kLvlp, 0x1000, 0x3000), 160.0f);

  // The harvest of bed 1; once she goes, the step waits until she is near it.
  s = Make1(24, kLvlp, 0x1001, 0x3000);
  s->beginFlags = [](ScriptStep& st) {
    if (!HarvestQueued(st, 1)) return st.GetFlagsActive();
    st.mark = 1;
    st.HideLayer();
    return 0x100u;
  };
  s->build = [](ScriptStep& st) {
    ASSArrowButton* a = ScriptSpriteA(st, 1);
    if (a && !HarvestQueued(st, 1)) st.Text(new TutTargetScreenSprite(a, 0.0f, kArrowGap), false, kTextGap, false);
  };
  s->allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return ScriptSpriteAction(st, code, param, object, kHarv, 1);
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t param, const void*) {
    if (code != kTutorialEventJob || param != kScriptJobHarvest) return;
    st.HideLayer();
    st.SetFlags(0x100);
    st.mark = 1;
  };
  // Near the bed while harvesting; also once the harvest is over (she
  // may have been quicker than the check).
  s->frame = [](ScriptStep& st, u32) {
    if (!st.mark) return;
    MapCharacter* player = ScriptPlayer(st);
    Job* job = player ? player->GetCurrentJob() : nullptr;
    if (job && job->GetJobId() == kScriptJobHarvest) {
      BaseLevelPoint* target = ScriptJobPoint(job);
      if (target && std::hypot(player->GetX() - static_cast<float>(target->GetX()),
                               player->GetY() - static_cast<float>(target->GetY())) < kNearTarget)
        st.Finish();
    } else if (!HarvestQueued(st, 1)) {
      st.Finish();
    }
  };
  s->onEnd = [](ScriptStep& st) { st.GetTutorial()->SetDelay(0); };

  s = Make1(25, kLvlp, 0x3001, 0x1000);
  s->beginFlags = [](ScriptStep& st) {
    if (!HarvestQueued(st, 2)) return st.GetFlagsActive();
    st.HideLayer();
    return 0x100u;
  };
  s->build = [](ScriptStep& st) {
    ASSArrowButton* a = ScriptSpriteA(st, 2);
    if (a && !HarvestQueued(st, 2)) st.Text(new TutTargetScreenSprite(a, kAngleDown, kArrowGap), false, kTextGap, false);
  };
  s->allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return ScriptSpriteAction(st, code, param, object, kHarv, 2);
  };
  // The harvest job works the bed by itself: the step only gets out of its
  // way. Nothing is run on the job's target here, as neither the bed nor the
  // job has an action of its own to run at once; the step ends on what the
  // harvest leaves (the bed's arrow gone and the bed idle).
  s->event = [](ScriptStep& st, u32 code, uintptr_t param, const void*) {
    if (code != kTutorialEventJob || param != kScriptJobHarvest) return;
    st.HideLayer();
    st.SetFlags(0x100);
  };
  s->frame = [](ScriptStep& st, u32) {
    BasePointPlant* bed = ScriptBed(st, 2);
    if (bed && !bed->GetHarvestButton() && !ScriptBedBusy(bed)) st.Finish();
  };

  s = Make1(26, kLvlp, 0x1101, 0x20);
  s->build = [](ScriptStep& st) {
    if (ASSArrowButton* b = ScriptSpriteB(st, 2))
      st.Text(new TutTargetScreenSprite(b, 190.0f, kArrowGap), false, kTextGap, false);
  };
  s->allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return ScriptSpriteAction(st, code, param, object, kWate, 2);
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t param, const void*) {
    if (code == kTutorialEventJob && param == kScriptJobWater) st.HideLayer();
  };
  s->frame = [](ScriptStep& st, u32) {
    BasePointPlant* bed = ScriptBed(st, 2);
    if (bed && bed->GetWaterLeft() == bed->GetWaterMax()) st.Finish();
  };

  // The day played on: arrows on the ripe beds' harvest buttons (a crop
  // ripening adds one) until the warehouse holds what task 0 asks.
  s = Make1(27, kLvlp, 0x121, 0);
  s->build = [](ScriptStep& st) {
    ArrowOnSpriteA(st, 1);
    ArrowOnSpriteA(st, 2);
    st.Text(new TutTargetCustom(LevelScreenCentre, 0, kAngleDown, 180.0f, 0), true, 0.0f, false);
  };
  s->allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return code == kTutorialActionGrow || ScriptSpriteAction(st, code, param, object, kHarv, -1) ||
           ScriptSpriteAction(st, code, param, object, kWate, -1);
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    if (code == kTutorialEventJob && param == kScriptJobHarvest && st.GetLayer()) {
      if (BaseLevelPoint* p = ScriptJobPoint(object)) st.GetLayer()->HideArrow(static_cast<u32>(p->GetIndex()));
    } else if (code == kTutorialEventRipe && st.GetLayer()) {
      for (i32 i : {1, 2})
        if (ScriptIsPoint(st, object, i)) ArrowOnSpriteA(st, i);
    }
  };
  s->frame = [wheat](ScriptStep& st, u32) {
    const LEVELTASK* task = ScriptTask0(st);
    if (task && wheat && ScriptStock(st, wheat) >= task->target) {
      st.Finish();
      return;
    }
    // A harvest button shown after the ripening's event gets its arrow too.
    for (i32 i : {1, 2})
      if (!HarvestQueued(st, i)) ArrowOnSpriteA(st, i);
  };

  SetFirstStep(Step1(1));
}

// The beds it has the player sow get their fixed water as they are set up.
void LevelTutorial_1::Notify(u32 event, uintptr_t param, const void* object) {
  if (event == kTutorialEventPointChanged && param == static_cast<uintptr_t>(kPointKindPlant) &&
      ScriptPointState(object) == 0) {
    auto* bed = dynamic_cast<BasePointPlant*>(static_cast<BaseLevelPoint*>(const_cast<void*>(object)));
    if (bed && bed->GetIndex() == 1) bed->SetWater(kTutorial1WaterPoint1, kTutorial1WaterPoint1, false);
    if (bed && bed->GetIndex() == 2) bed->SetWater(kTutorial1WaterPoint2, kTutorial1WaterPoint2, false);
  }
  LevelTutorial::Notify(event, param, object);
}

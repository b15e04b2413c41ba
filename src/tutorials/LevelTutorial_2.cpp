#include "tutorials/LevelTutorial_2.h"

#include "base/Identifier.h"
#include "content/LevelRegime.h"
#include "content/ProductList.h"
#include "content/BuildingTable.h"
#include "level/map/LevelMap.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/PointFactory.h"
#include "level/scene/GameLevel.h"
#include "tutorials/LevelTutorialScript.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "hud/ASSArrowButton.h"
#include "ui/GameButton.h"

namespace {

constexpr TutorialId Step2(u32 n) { return kTutorialLevelBit | kLevelTutorial2 | n; }
constexpr u32 kPanel = kTutorialWindowLevelPanel;
constexpr u32 kOpenFactories = 0xC9000200u;
constexpr u32 kBuildFactory = 0xC9000500u;
constexpr u32 kProd = 0x50726F64u;  // 'Prod'
constexpr u32 kHarvest = 0x48617276u;  // 'Harv'

ScriptStep* Make2(u32 n, u32 active, u32 after) {
  return new ScriptStep(Step2(n), kPanel, active, after, n < 15 ? Step2(n + 1) : 0);
}

TutorialTarget* PanelControl(u32 id, uintptr_t data) { return new TutTargetButton(kPanel, id, data, kAngleUp, kArrowGap); }
TutorialTarget* Centre(float angle, float distance) {
  return new TutTargetCustom(LevelScreenCentre, 0, angle, distance, 0);
}

void ArrowWithText(ScriptStep& s, TutorialTarget* target, u32 tag = 0, bool click = false) {
  ScriptArrowAndText(s, target, tag, click);
}


bool IsMill(const PointFactory* f) {
  return f && f->GetBuilding() && f->GetBuilding()->id == kis::NameId(u"prod_flour");
}

bool Producing(const PointFactory* f) { return f && f->GetLevel() >= 1 && f->GetBusyCount() > 0; }

void SetFactor(ScriptStep& s, i32 index, float factor) {
  if (PointFactory* f = ScriptFactory(s, index)) f->SetSpeedFactor(factor);
}

void OpenFactories(ScriptStep& s) {
  s.build = [](ScriptStep& st) { ArrowWithText(st, PanelControl(kOpenFactories, 0)); };
  ScriptWaitForButton(s, kPanel, kOpenFactories);
}

// Step 4 points at the build button only while its place is empty, step 12 always.
void BuildMill(ScriptStep& s, i32 index, u32 previous, bool whileEmpty) {
  ScriptBuildOnSite(s, index, kBuildFactory, u"prod_flour", Step2(previous), whileEmpty);
}

// Arrows (tagged by the point) on the harvest buttons of the beds 3 and 4.
void ArrowsOnBeds(ScriptStep& s) {
  for (i32 i : {3, 4})
    if (ASSArrowButton* a = ScriptSpriteA(s, i))
      s.Arrow(new TutTargetScreenSprite(a, kAngleUp, kArrowGap), static_cast<u32>(i));
}

bool HarvestAllowed(ScriptStep& st, u32 code, uintptr_t param, const void* object) {
  return code == kTutorialActionGrow || ScriptSpriteAction(st, code, param, object, kHarvest, -1);
}

// The beds' harvest until the warehouse holds `wheat` of it.
void HarvestWheat(ScriptStep& s, i32 wheat, u32 queuedFlags) {
  s.frame = [wheat](ScriptStep& st, u32) {
    if (ScriptStock(st, ScriptWheatProduct()) >= wheat) st.Finish();
  };
  s.allow = HarvestAllowed;
  s.beginFlags = [queuedFlags](ScriptStep& st) {
    return ScriptLastJob(st) == kScriptJobHarvest ? queuedFlags : st.GetFlagsActive();
  };
}

}  // namespace

LevelTutorial_2::LevelTutorial_2(GameLevel* level) : LevelTutorial(kLevelTutorial2, level) {
  ScriptStep* s = Make2(1, 0x1000, 0x1000);
  s->build = [](ScriptStep& st) {
    st.Arrow(ScriptTask0Button(st));
    st.Text(Centre(0.0f, 0.0f), true, 0.0f, true);
  };

  ScriptSelectPoint(*Make2(2, 0x1004, 0x1000), 1);
  OpenFactories(*Make2(3, 0x1001000, 0x1000));
  BuildMill(*Make2(4, 0x1001100, 0x1000), 1, 3, true);

  // The mill's product button; clicks on the panel and the mill pass.
  s = Make2(5, 0x1001, 0x1000);
  s->build = [](ScriptStep& st) {
    if (ScreenSprite* p = ScriptSpriteP(st, 1)) ArrowWithText(st, new TutTargetScreenSprite(p, kAngleDown, kArrowGap), 1, true);
  };
  s->allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return ScriptSpriteAction(st, code, param, object, kProd, -1);
  };
  s->catches = [](ScriptStep& st, i32 x, i32 y) { return !ScriptOverBuilding(st, 1, x, y); };

  s = Make2(6, 0x1001, 0x1000);
  HarvestWheat(*s, 1, 0x100);
  s->build = [](ScriptStep& st) {
    if (ScriptLastJob(st) == kScriptJobHarvest) return;
    st.Text(Centre(kAngleDown, 180.0f), true, 0.0f, false);
    ArrowsOnBeds(st);
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t param, const void*) {
    if (code != kTutorialEventJob || param != kScriptJobHarvest) return;
    st.SetFlags(0x100);
    st.HideLayer();
  };

  s = Make2(7, 0x1001, 0x1000);
  s->build = [](ScriptStep& st) {
    if (ScreenSprite* p = ScriptSpriteP(st, 1)) ArrowWithText(st, new TutTargetScreenSprite(p, kAngleDown, kArrowGap), 1);
  };
  s->allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return ScriptSpriteAction(st, code, param, object, kProd, -1);
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t, const void*) {
    if (code == kTutorialEventProducing) st.Finish();
  };

  // The mill on point 1 grinds twice as fast until its sack is delivered.
  s = Make2(8, 0x60, 0x1000);
  s->canStart = [](ScriptStep& st) {
    st.mark = IsMill(ScriptFactory(st, 1)) ? 1 : 0;
    return true;
  };
  s->build = [](ScriptStep& st) {
    if (!st.mark) return;
    if (ScreenSprite* p = ScriptStateSprite(st, 1)) ArrowWithText(st, new TutTargetScreenSprite(p, kAngleDown, kArrowGap), 1);
  };
  s->onBegin = [](ScriptStep& st) {
    if (st.mark) SetFactor(st, 1, kTutorialMillFactor);
  };
  s->onEnd = [](ScriptStep& st) {
    if (st.mark) SetFactor(st, 1, 1.0f);
  };
  s->allow = [](ScriptStep&, u32 code, uintptr_t, const void*) {
    return code == kTutorialActionProduce || code == kTutorialActionGrow;
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t, const void* object) {
    if (code == kTutorialEventDelivered && st.mark && ScriptIsPoint(st, object, 1)) st.Finish();
  };

  s = Make2(9, 0x1000, 0x1000);
  s->build = [](ScriptStep& st) { st.Text(Centre(0.0f, 0.0f), true, 0.0f, true); };

  ScriptSelectPoint(*Make2(10, 0x1004, 0x1000), 2);
  OpenFactories(*Make2(11, 0x1001000, 0x1000));
  BuildMill(*Make2(12, 0x1001100, 0x1000), 2, 11, false);

  s = Make2(13, 0x1001, 0x1000);
  HarvestWheat(*s, 2, 0x101);
  s->build = [](ScriptStep& st) {
    st.Text(Centre(kAngleDown, 180.0f), true, 0.0f, false);
    ArrowsOnBeds(st);
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    if (code != kTutorialEventJob || param != kScriptJobHarvest) return;
    st.SetFlags(0x101);
    BaseLevelPoint* p = ScriptJobPoint(object);
    if (p && st.GetLayer()) st.GetLayer()->HideArrow(static_cast<u32>(p->GetIndex()));
  };

  // Both mills set to work by their product buttons.
  s = Make2(14, 0x1001, 0x1000);
  s->build = [](ScriptStep& st) {
    st.Text(Centre(kAngleDown, 180.0f), true, 0.0f, false);
    for (i32 i : {1, 2}) {
      PointFactory* f = ScriptFactory(st, i);
      ScreenSprite* p = ScriptSpriteP(st, i);
      if (f && p && !Producing(f)) st.Arrow(new TutTargetScreenSprite(p, kAngleDown, kArrowGap), static_cast<u32>(i));
    }
  };
  s->allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return ScriptSpriteAction(st, code, param, object, kProd, -1);
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t, const void* object) {
    if (code != kTutorialEventProducing || !st.GetLayer() || !object) return;
    st.GetLayer()->HideArrow(static_cast<u32>(static_cast<const BaseLevelPoint*>(object)->GetIndex()));
  };
  s->frame = [](ScriptStep& st, u32) {
    if (Producing(ScriptFactory(st, 1)) && Producing(ScriptFactory(st, 2))) st.Finish();
  };

  // Both mills at double speed until the warehouse holds exactly task 0's flour.
  s = Make2(15, 0x40, 0);
  s->build = [](ScriptStep& st) { st.Text(Centre(kAngleDown, 180.0f), true, 0.0f, false); };
  s->onBegin = [](ScriptStep& st) {
    for (i32 i : {1, 2})
      if (ScriptFactory(st, i)) SetFactor(st, i, kTutorialMillFactor);
  };
  s->onEnd = [](ScriptStep& st) {
    for (i32 i : {1, 2}) SetFactor(st, i, 1.0f);
  };
  s->allow = [](ScriptStep&, u32 code, uintptr_t, const void*) { return code == kTutorialActionProduce; };
  s->event = [](ScriptStep& st, u32 code, uintptr_t param, const void*) {
    if (code != kTutorialEventDelivered) return;
    const LEVELTASK* task = ScriptTask0(st);
    ProductList* products = GetProductList();
    const PRODUCT* product = products ? products->FindById(static_cast<u32>(param)) : nullptr;
    if (task && product && task->item == product->id && ScriptStock(st, product) == task->target) st.Finish();
  };

  SetFirstStep(Step2(1));
}

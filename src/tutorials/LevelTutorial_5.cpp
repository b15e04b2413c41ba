#include "tutorials/LevelTutorial_5.h"

#include <cmath>

#include "base/Identifier.h"
#include "content/BuildingTable.h"
#include "content/ProductList.h"
#include "level/characters/Job.h"
#include "level/characters/MapCharacter.h"
#include "level/map/LevelMap.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/PointFactory.h"
#include "level/objects/PointHenhouse.h"
#include "level/scene/GameLevel.h"
#include "tutorials/LevelTutorialScript.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "hud/ASSArrowButton.h"
#include "hud/ASSPriceButton.h"
#include "hud/ASSProductionButton.h"

namespace {
namespace tut5 {

constexpr TutorialId Step(u32 n) { return kTutorialLevelBit | kLevelTutorial5 | n; }
constexpr u32 kLvlp = kTutorialWindowLevelPanel;
constexpr u32 kOpenFactories = 0xC9000200u;
constexpr u32 kBuildFactory = 0xC9000500u;
constexpr u32 kProd = 0x50726F64u;  // 'Prod'
constexpr u32 kHarv = 0x48617276u;  // 'Harv'
constexpr i32 kHouse = 1;
constexpr i32 kBed = 3;
constexpr i32 kBakery = 4;
constexpr i32 kMill = 5;
constexpr float kNearHouse = 100.0f;

ScriptStep* Make(u32 n, u32 active, u32 after) {
  return new ScriptStep(Step(n), kLvlp, active, after, n < 11 ? Step(n + 1) : 0);
}

u32 ProductId(const wchar* name) {
  ProductList* products = GetProductList();
  const PRODUCT* p = products ? products->FindByName(name) : nullptr;
  return p ? p->id : 0;
}

bool Builds(const PointFactory* f, const wchar* name) {
  return f && f->GetBuilding() && f->GetBuilding()->id == kis::NameId(name);
}

ScreenSprite* HouseFeed(ScriptStep& st) { return ScriptHenhouseFeed(st, kHouse); }
ScreenSprite* HouseEggs(ScriptStep& st) { return ScriptHenhouseEggs(st, kHouse); }

bool GrowOr(u32 code) { return code == kTutorialActionGrow; }

// The steps, each built with its next one (the tutorial being made owns them).
void MakeSteps() {
  ScriptSelectPoint(*Make(1, 0x1004, 0x1000), kBakery);

  ScriptStep* s = Make(2, 0x1001000, 0x1000);
  s->build = [](ScriptStep& st) {
    ScriptArrowAndText(st, new TutTargetButton(kLvlp, kOpenFactories, 0, kAngleUp, kArrowGap));
  };
  ScriptWaitForButton(*s, kLvlp, kOpenFactories);

  ScriptBuildOnSite(*Make(3, 0x1001100, 0x1000), kBakery, kBuildFactory, u"prod_pie", Step(2));

  // The bakery's product button; clicks on the bakery itself pass.
  s = Make(4, 0x1001, 0x1000);
  ScriptSpriteHint(*s, [](ScriptStep& st) { return ScriptSpriteP(st, kBakery); }, kAngleDown, true);
  s->allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    PointFactory* f = ScriptFactory(st, kBakery);
    return Builds(f, u"prod_pie") && !f->IsBusy() && ScriptSpriteAction(st, code, param, object, kProd, kBakery);
  };
  s->catches = [](ScriptStep& st, i32 x, i32 y) { return !ScriptOverBuilding(st, kBakery, x, y); };

  s = Make(5, 0x1001, 0x1000);
  ScriptJobHint(*s, kHarv, -1, kScriptJobHarvest, 0x100);
  ScriptSpriteHint(*s, [](ScriptStep& st) -> ScreenSprite* { return ScriptSpriteA(st, kBed); }, kAngleDown);
  auto harvestJob = s->event;
  s->event = [harvestJob](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    const PRODUCT* wheat = ScriptWheatProduct();
    if (code == kTutorialEventStored && wheat && param == wheat->id)
      st.Finish();
    else
      harvestJob(st, code, param, object);
  };

  // The hens fed; the step ends once she has nearly reached the house.
  s = Make(6, 0x1001, 0x3000);
  s->beginFlags = [](ScriptStep& st) {
    PointHenhouse* h = ScriptHenhouse(st, kHouse);
    if (!h || !h->IsFed()) return st.GetFlagsActive();
    st.mark = 1;
    return 0x120u;
  };
  ScriptSpriteHint(*s, HouseFeed, 45.0f);
  s->allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return GrowOr(code) || ScriptSpriteAction(st, code, param, object, kFeedButtonCode, kHouse);
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t param, const void*) {
    if (code != kTutorialEventJob || param != kJobFeed) return;
    st.HideLayer();
    st.SetFlags(0x120);
    st.mark = 1;
  };
  s->frame = [](ScriptStep& st, u32) {
    if (!st.mark) return;
    MapCharacter* player = ScriptPlayer(st);
    Job* job = player ? player->GetCurrentJob() : nullptr;
    PointHenhouse* h = ScriptHenhouse(st, kHouse);
    if (job && job->GetJobId() == kJobFeed) {
      if (h && std::hypot(player->GetX() - static_cast<float>(h->GetX()), player->GetY() - static_cast<float>(h->GetY())) <
                   kNearHouse)
        st.Finish();
    } else if (!h || !h->GetFeedJob()) {
      st.Finish();  // fed before the check could see her on the way
    }
  };
  s->onEnd = [](ScriptStep& st) { st.GetTutorial()->SetDelay(0); };

  // The mill's flour ordered while the hens stand still.
  s = Make(7, 0x3001, 0x3000);
  ScriptSpriteHint(*s, [](ScriptStep& st) { return ScriptSpriteP(st, kMill); }, 45.0f);
  s->onBegin = [](ScriptStep& st) { ScriptSetRateB(st, kHouse, 0.0f); };
  s->onEnd = [](ScriptStep& st) { ScriptSetRateB(st, kHouse, 1.0f); };
  s->allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return GrowOr(code) || ScriptSpriteAction(st, code, param, object, kProd, kMill);
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t param, const void*) {
    if (code == kTutorialEventProducing && param == ProductId(u"flour")) st.Finish();
  };

  // Mill and hens twice as fast until both the flour and the eggs are there.
  s = Make(8, 0x160, 0x1000);
  s->build = [](ScriptStep& st) {
    st.Text(new TutTargetCustom(LevelScreenCentre, 0, kAngleDown, 0.0f, 0), true, 160.0f, false);
  };
  s->onBegin = [](ScriptStep& st) {
    ScriptSetRateA(st, kMill, 2.0f);
    ScriptSetRateB(st, kHouse, 2.0f);
  };
  s->onEnd = [](ScriptStep& st) {
    ScriptSetRateA(st, kMill, 1.0f);
    ScriptSetRateB(st, kHouse, 1.0f);
  };
  s->allow = [](ScriptStep&, u32 code, uintptr_t param, const void*) {
    return GrowOr(code) || (code == kTutorialActionProduce && param == ProductId(u"flour"));
  };
  s->frame = [](ScriptStep& st, u32) {
    ProductList* products = GetProductList();
    if (ScriptStock(st, products ? products->FindByName(u"flour") : nullptr) > 0 && HouseEggs(st)) st.Finish();
  };

  ScriptCollectEggs(*Make(9, 0x1001, 0x1000), kHouse, 45.0f);

  // The first pie: the bakery twice as fast until it is delivered.
  s = Make(10, 0x1001, 0x1000);
  ScriptSpriteHint(*s, [](ScriptStep& st) -> ScreenSprite* {
    PointFactory* f = ScriptFactory(st, kBakery);
    return f && f->GetProductionRun() == 0 ? ScriptSpriteP(st, kBakery) : nullptr;
  }, kAngleDown);
  s->onBegin = [](ScriptStep& st) { ScriptSetRateA(st, kBakery, 2.0f); };
  s->onEnd = [](ScriptStep& st) { ScriptSetRateA(st, kBakery, 1.0f); };
  s->allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return GrowOr(code) || (code == kTutorialActionProduce && param == ProductId(u"pie")) ||
           ScriptSpriteAction(st, code, param, object, kProd, kBakery);
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t, const void*) {
    if (code == kTutorialEventProducing) {
      st.HideLayer();
      st.SetFlags(0x60);
    } else if (code == kTutorialEventDelivered) {
      st.Finish();
    }
  };

  s = Make(11, 0x1000, 0x1000);
  s->build = [](ScriptStep& st) {
    st.Arrow(ScriptTask0Button(st));
    st.Text(new TutTargetCustom(LevelScreenCentre, 0, 0.0f, 0.0f, 0), true, 0.0f, true);
  };

}

}  // namespace tut5
}  // namespace

LevelTutorial_5::LevelTutorial_5(GameLevel* level) : LevelTutorial(kLevelTutorial5, level) {
  tut5::MakeSteps();
  SetFirstStep(tut5::Step(1));
}

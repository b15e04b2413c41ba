#include "tutorials/LevelTutorial_3.h"

#include "base/Identifier.h"
#include "content/BuildingTable.h"
#include "content/LevelRates.h"
#include "content/ProductList.h"
#include "level/map/LevelMap.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/PointFactory.h"
#include "level/rules/LevelBonuses.h"
#include "level/rules/LevelRules.h"
#include "level/scene/GameLevel.h"
#include "tutorials/LevelTutorialScript.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "hud/ASSArrowButton.h"
#include "hud/ASSProductionButton.h"
#include "hud/ASSProductionSlot.h"
#include "windows/WarehouseWindow.h"

namespace {
namespace tut3 {

constexpr TutorialId Step(u32 n) { return kTutorialLevelBit | kLevelTutorial3 | n; }
constexpr u32 kLvlp = kTutorialWindowLevelPanel;
constexpr u32 kWrhs = kTutorialWindowWarehouse;
constexpr u32 kUpgrade = 0xC9000003u;
constexpr u32 kItemPoint = 0x100000Au;
constexpr u32 kItemBuilding = 0x1000001u;
constexpr u32 kItemProduct = 0x1000003u;
constexpr u32 kProd = 0x50726F64u;  // 'Prod'
constexpr u32 kHarv = 0x48617276u;  // 'Harv'
constexpr i32 kBed = 3;
constexpr i32 kMill = 2;

ScriptStep* Make(u32 n, u32 layer, u32 active, u32 after) {
  return new ScriptStep(Step(n), layer, active, after, n < 15 ? Step(n + 1) : 0);
}

TutorialTarget* Control(u32 window, u32 id, uintptr_t data, float angle = kAngleUp) {
  return new TutTargetButton(window, id, data, angle, kArrowGap);
}

// Selecting the point, its level arrow at the angle.
void SelectPoint(ScriptStep& s, i32 index, float angle) {
  ScriptSelectPoint(s, index);
  s.build = [index, angle](ScriptStep& st) {
    ScriptArrowAndText(st, new TutTargetLevelPoint(st.Level(), index, angle, kPointDistance));
  };
}

// The upgrade button of the selected point's panel until the point of the
// index (of the kind) reaches level 2; with the upgrade already done or
// under way nothing is shown and crops grow. `done` tells that.
void UpgradePoint(ScriptStep& s, i32 index, i32 kind, bool (*done)(ScriptStep&), u32 itemKind) {
  s.beginFlags = [done](ScriptStep& st) { return done(st) ? 0x120u : st.GetFlagsActive(); };
  s.build = [done, index, itemKind](ScriptStep& st) {
    if (done(st)) return;
    TutorialArrow* arrow = st.Arrow(Control(kLvlp, kUpgrade, 0));
    LevelTutorial* t = st.GetLevelTutorial();
    if (arrow)
      st.Text(arrow->GetTarget(), false, kTextGap, false, itemKind,
              itemKind ? reinterpret_cast<uintptr_t>(t ? t->PointOfKind(index, -1, false) : nullptr) : 0, true);
  };
  s.allow = [](ScriptStep&, u32 code, uintptr_t param, const void* object) {
    return code == kTutorialActionGrow ||
           (code == kTutorialActionButton && ScriptIsButton(static_cast<u32>(param), object, kLvlp, kUpgrade));
  };
  s.event = [index, kind](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    if (code == kTutorialEventPointChanged && param == static_cast<uintptr_t>(kind) && ScriptIsPoint(st, object, index) &&
        ScriptPointState(object) == static_cast<i32>(kPointStateUpgraded)) {
      st.Finish();
    } else if (code == kTutorialEventClick && ScriptIsButton(static_cast<u32>(param), object, kLvlp, kUpgrade)) {
      st.HideLayer();
      st.SetFlags(0x120);
    }
  };
  // Upgraded before the step began: its event has gone by.
  s.frame = [index](ScriptStep& st, u32) {
    LevelTutorial* t = st.GetLevelTutorial();
    auto* p = dynamic_cast<LevelPoint*>(t ? t->PointOfKind(index, -1, false) : nullptr);
    if (p && p->GetLevel() >= static_cast<i32>(kPointStateUpgraded) && !ScriptBedBusy(dynamic_cast<BasePointPlant*>(p)) &&
        !p->IsBusy())
      st.Finish();
  };
}

// The bed of point 3, selected, sown: its upgrade to level 2 done or under way.
bool BedSown(ScriptStep& st) {
  BasePointPlant* bed = ScriptBed(st, kBed, true);
  return bed && (bed->GetLevel() >= static_cast<i32>(kPointStateUpgraded) || bed->GetPlantJob());
}

// The mill of point 2, selected, upgraded or being upgraded.
bool MillUpgraded(ScriptStep& st) {
  PointFactory* f = ScriptFactory(st, kMill);
  GameLevel* level = st.Level();
  if (!f || !level || level->Map().GetSelectedPoint() != kMill) return false;
  return f->GetLevel() >= static_cast<i32>(kPointStateUpgraded) || f->GetBuildJob();
}

// The product button and the slot of the factory on the point, while both are up.
bool ProductionButtons(u32 point, DXLRECT* button, DXLRECT* slot) {
  auto* tutorial = dynamic_cast<LevelTutorial*>(GetCurrentTutorial());
  auto* f = dynamic_cast<PointFactory*>(tutorial ? tutorial->PointOfKind(static_cast<i32>(point), kPointKindBuilding, false)
                                                 : nullptr);
  if (!f || f->GetRecipeCount() < 1 || f->GetSlotCount() < 1) return false;
  ScreenSprite* a = f->GetRecipe(0).button;
  ScreenSprite* b = f->GetSlot(0).indicator;
  if (!a || !b || !a->IsVisible() || !b->IsVisible()) return false;
  a->GetScreenRect(button);
  b->GetScreenRect(slot);
  return true;
}

// The top middle of the two production sprites of the point.
bool ProductionSprites(kis::FloatPoint* out, float, float, u32 argument, u32) {
  DXLRECT ra{}, rb{};
  if (!ProductionButtons(argument, &ra, &rb)) return false;
  out->x = static_cast<float>((std::min(ra.left, rb.left) + std::max(ra.right, rb.right)) / 2);
  out->y = static_cast<float>(std::min(ra.top, rb.top));
  return true;
}

// The factory with its buttons; to be clicked, its two production sprites.
bool ProductionArea(DXLRECT* out, u32 argument, bool control) {
  if (!control) return ScriptPointArea(out, argument, false);
  DXLRECT slot{};
  bool any = true;
  if (!ProductionButtons(argument, out, &slot)) return false;
  UniteArea(out, slot, &any);
  return true;
}

bool IsFlourMill(const PointFactory* f) {
  return f && f->GetBuilding() && f->GetBuilding()->id == kis::NameId(u"prod_flour");
}

void SetModifier(ScriptStep& st, bool on) {
  GameLevel* level = st.Level();
  if (!level) return;
  const float values[kLevelRateCount] = {0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
  level->Rules().Bonuses().SetRateModifiers(values, on, kTutorial3RateModifier);
}

// The warehouse window's steps resume at the warehouse's button (step 11).
TutorialId ResumeAtButton(ScriptStep&) { return Step(11); }

// The steps, each built with its next one (the tutorial being made owns them).
void MakeSteps() {
  ScriptClickCentre(*Make(1, kLvlp, 0x1000, 0x1000), 0.0f, 0.0f);
  SelectPoint(*Make(2, kLvlp, 0x1004, 0x1000), kBed, 230.0f);
  UpgradePoint(*Make(3, kLvlp, 0x1001000, 0x1000), kBed, kPointKindPlant, BedSown, kItemPoint);

  // The bed's crop and the mill: arrows on their anchors.
  ScriptStep* s = Make(4, kLvlp, 0x3000, 0x1000);
  s->build = [](ScriptStep& st) {
    st.Arrow(new TutTargetCustom(ScriptPointAnchor, kBed, 0.0f, 12.0f, 0), 1);
    st.Arrow(new TutTargetCustom(ScriptPointAnchor, kMill, 180.0f, 12.0f, 0), 2);
    st.Text(new TutTargetCustom(ScriptPointAnchor, kBed, kAngleDown, 8.0f, 0, ScriptPointArea), false, 24.0f, true);
  };

  s = Make(5, kLvlp, 0x1001, 0x1000);
  ScriptJobHint(*s, kHarv, -1, kScriptJobHarvest, 0x100);
  ScriptSpriteHint(*s, [](ScriptStep& st) -> ScreenSprite* {
    BasePointPlant* bed = ScriptBed(st, kBed, true);
    return bed ? bed->GetHarvestButton() : nullptr;
  }, kAngleUp);
  s->frame = [](ScriptStep& st, u32) {
    if (ScriptStock(st, ScriptWheatProduct()) > 0) st.Finish();
  };

  SelectPoint(*Make(6, kLvlp, 0x1004, 0x1000), kMill, kAngleUp);
  UpgradePoint(*Make(7, kLvlp, 0x1001000, 0x1000), kMill, kPointKindBuilding, MillUpgraded, 0);

  s = Make(8, kLvlp, 0x1000, 0x1000);
  s->build = [](ScriptStep& st) {
    ScriptArrowAndText(st, new TutTargetCustom(ProductionSprites, kMill, kAngleUp, kArrowGap, 0, ProductionArea), 0,
                       true);
  };

  // The mill grinds: two sacks ordered (the arrow goes once both slots
  // work), finished when the last is delivered. The level's rate modifier
  // 776 runs meanwhile. The step lets production move on from the start:
  // with wheat for one sack only, waiting for the second would stall it.
  s = Make(9, kLvlp, 0x1061, 0x1000);
  s->canStart = [](ScriptStep& st) {
    PointFactory* f = ScriptFactory(st, kMill);
    st.kept = IsFlourMill(f) ? f : nullptr;
    return true;
  };
  // Begin falls back to 0x60 when both sacks are already under way (a
  // production count of 2 or more), as the producing event does once the
  // second sack starts: there is nothing left to ask of the player, and the
  // arrow is not built either. Falling back while fewer than two were
  // ordered would take the product button from the player before it is
  // pointed at.
  s->beginFlags = [](ScriptStep& st) {
    auto* f = static_cast<PointFactory*>(st.kept);
    return f && f->GetBusyCount() >= 2 ? 0x60u : st.GetFlagsActive();
  };
  s->build = [](ScriptStep& st) {
    auto* f = static_cast<PointFactory*>(st.kept);
    ScreenSprite* p = f ? ScriptSpriteP(st, kMill) : nullptr;
    if (!p) return;
    st.Text(new TutTargetScreenSprite(p, kAngleDown, kArrowGap), false, kTextGap, false);
    if (f->GetBusyCount() < 2) st.Arrow(new TutTargetScreenSprite(p, kAngleDown, kArrowGap), 1);
  };
  s->onBegin = [](ScriptStep& st) { SetModifier(st, true); };
  s->onEnd = [](ScriptStep& st) { SetModifier(st, false); };
  s->allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    auto* f = static_cast<PointFactory*>(st.kept);
    if (!f) return false;
    if (code == kTutorialActionGrow) return param == kis::NameId(u"wheat");
    if (code == kTutorialActionProduce) return f->GetRecipeCount() > 0 && f->GetRecipe(0).product && param == f->GetRecipe(0).product->id;
    return ScriptSpriteAction(st, code, param, object, kProd, kMill);
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t, const void* object) {
    auto* f = static_cast<PointFactory*>(st.kept);
    if (!f || object != static_cast<const BaseLevelPoint*>(f)) return;
    if (code == kTutorialEventProducing && f->GetBusyCount() >= 2) {
      if (st.GetLayer()) st.GetLayer()->HideArrow(1);
      st.SetFlags(0x60);
    } else if (code == kTutorialEventDelivered && f->GetBusyCount() == 0) {
      st.Finish();
    }
  };

  ScriptClickCentre(*Make(10, kLvlp, 0x1000, 0x1000), 0.0f, 0.0f);
  ScriptOpenWarehouse(*Make(11, kLvlp, 0x1001002, 0x3000));

  s = Make(12, kWrhs, 0x3000, 0x3000);
  s->canStart = [](ScriptStep&) { return ScriptWarehouseSettled(); };
  s->build = [](ScriptStep& st) {
    const PRODUCT* p = ScriptFirstStocked(st);
    if (p)
      ScriptArrowAndText(st, Control(kWrhs, kWarehouseProduct, reinterpret_cast<uintptr_t>(p), kAngleDown), 0, true,
                         kItemProduct, reinterpret_cast<uintptr_t>(p));
  };
  s->resume = ResumeAtButton;

  s = Make(13, kWrhs, 0x1003000, 0x3000);
  s->build = [](ScriptStep& st) {
    LevelTutorial* t = st.GetLevelTutorial();
    ScriptArrowAndText(st, Control(kWrhs, kWarehouseUpgrade, 0), 0, false, kItemBuilding,
                       reinterpret_cast<uintptr_t>(t ? t->PointOfKind(0, kPointKindWarehouse, false) : nullptr));
  };
  ScriptWaitForButton(*s, kWrhs, kWarehouseUpgrade);
  s->resume = ResumeAtButton;

  s = Make(14, kWrhs, 0x1003000, 0x3000);
  s->build = [](ScriptStep& st) {
    const PRODUCT* p = ScriptFirstStocked(st);
    if (!p) return;
    st.Arrow(Control(kWrhs, kWarehouseClose, 0, 0.0f));
    st.Text(Control(kWrhs, kWarehouseClose, 0), false, kTextGap, false, kItemProduct, reinterpret_cast<uintptr_t>(p));
  };
  ScriptWaitForButton(*s, kWrhs, kWarehouseClose);
  s->onEnd = [](ScriptStep& st) { st.GetTutorial()->SetDelay(400); };
  s->resume = [](ScriptStep&) { return Step(15); };

  s = Make(15, kLvlp, 0x1000, 0x3000);
  ScriptClickCentre(*s, 0.0f, 0.0f);

}

}  // namespace tut3
}  // namespace

LevelTutorial_3::LevelTutorial_3(GameLevel* level) : LevelTutorial(kLevelTutorial3, level) {
  tut3::MakeSteps();
  SetFirstStep(tut3::Step(1));
}

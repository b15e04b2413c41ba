#include "tutorials/LevelTutorialScript.h"

#include "base/LittleEndian.h"
#include "content/BuildingTable.h"
#include "content/PlantTable.h"
#include "content/ProductList.h"
#include "level/characters/Job.h"
#include "level/characters/MapCharacter.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPoint.h"
#include "level/map/MapObject.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/Job_Build.h"
#include "level/objects/PlantJobs.h"
#include "level/objects/PointBuilding.h"
#include "level/objects/PointFactory.h"
#include "level/objects/PointHenhouse.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/rules/LevelView.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/GameLevel.h"
#include "pathfinding/MapShapes.h"
#include "hud/ASSArrowButton.h"
#include "hud/ASSPriceButton.h"
#include "hud/ASSProductionButton.h"
#include "hud/ASSProductionSlot.h"
#include "resources/ResourceServices.h"
#include "ui/GameButton.h"
#include "ui/WindowManager.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialInfo.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "windows/LevelPanel.h"
#include "windows/WarehouseWindow.h"

ScriptStep::ScriptStep(TutorialId id, u32 layerCode, u32 flagsActive, u32 flagsAfter, TutorialId next)
    : LevelTutorialStep(id, layerCode, flagsActive, flagsAfter) {
  SetNextStep(next);
}

GameLevel* ScriptStep::Level() const {
  LevelTutorial* t = GetLevelTutorial();
  return t ? t->GetLevel() : nullptr;
}

void ScriptStep::Build() {
  if (build) build(*this);
}

bool ScriptStep::CanStart() { return canStart ? canStart(*this) : true; }

void ScriptStep::Begin() {
  SetFlags(beginFlags ? beginFlags(*this) : GetFlagsActive());
  if (onBegin) onBegin(*this);
}

void ScriptStep::End() {
  LevelTutorialStep::End();
  if (onEnd) onEnd(*this);
}

void ScriptStep::OnFrame(u32 elapsed) {
  if (frame) frame(*this, elapsed);
}

bool ScriptStep::AllowAction(u32 code, uintptr_t param, const void* object) {
  return allow ? allow(*this, code, param, object) : false;
}

void ScriptStep::OnEvent(u32 code, uintptr_t param, const void* object) {
  if (event) event(*this, code, param, object);
}

bool ScriptStep::CatchesPointAt(i32 x, i32 y) {
  if (!LevelTutorialStep::CatchesPointAt(x, y)) return false;
  return catches ? catches(*this, x, y) : true;
}

bool ScriptStep::SaveData(kis::DataCursor* writer, u8* record) {
  if (!LevelTutorialStep::SaveData(writer, record)) return false;
  if (resume) kis::PutU32LE(record + kRecordResume, resume(*this));
  return true;
}

void ScriptStep::SetFlags(u32 flags) {
  if (GameTutorial* t = GetTutorial()) t->SetFlags(flags);
}

TutorialArrow* ScriptStep::Arrow(TutorialTarget* target, u32 tag) {
  if (!GetLayer()) {
    delete target;
    return nullptr;
  }
  TutorialArrow* arrow = new LevelTutorialArrow(GetLayer(), tag, Level(), 0);
  SetArrowTarget(arrow, target);
  return arrow;
}

TutorialInfo* ScriptStep::Text(TutorialTarget* target, bool centred, float distance, bool click, u32 itemKind,
                               uintptr_t item, bool shared) {
  return AddLayerText(GetLayer(), GetText(nullptr), target, shared, centred, distance, click, itemKind, item);
}

// --- Shared parts ------------------------------------------------------------------------------------------

void ScriptArrowAndText(ScriptStep& step, TutorialTarget* target, u32 tag, bool click, u32 itemKind, uintptr_t item) {
  if (TutorialArrow* arrow = step.Arrow(target, tag))
    step.Text(arrow->GetTarget(), false, kTextGap, click, itemKind, item, true);
}

void ScriptWaitForButton(ScriptStep& step, u32 window, u32 control, std::function<uintptr_t(ScriptStep&)> data) {
  step.allow = [=](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return code == kTutorialActionButton &&
           ScriptIsButton(static_cast<u32>(param), object, window, control, data ? data(st) : 0);
  };
  step.event = [=](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    if (code == kTutorialEventClick &&
        ScriptIsButton(static_cast<u32>(param), object, window, control, data ? data(st) : 0))
      st.Finish();
  };
}

void ScriptSelectPoint(ScriptStep& step, i32 index) {
  step.build = [index](ScriptStep& st) {
    ScriptArrowAndText(st, new TutTargetLevelPoint(st.Level(), index, kPointAngle, kPointDistance));
  };
  step.allow = [index](ScriptStep&, u32 code, uintptr_t param, const void*) {
    return (code == kTutorialActionPoint || code == kTutorialActionSelect) && static_cast<i32>(param) == index;
  };
  step.event = [index](ScriptStep& st, u32 code, uintptr_t param, const void*) {
    if (code == kTutorialEventPointSelected && static_cast<i32>(param) == index) st.Finish();
  };
}

// --- Questions ---------------------------------------------------------------------------------------------

BasePointPlant* ScriptBed(const ScriptStep& step, i32 index, bool onlySelected) {
  LevelTutorial* t = step.GetLevelTutorial();
  return t ? dynamic_cast<BasePointPlant*>(t->PointOfKind(index, kPointKindPlant, onlySelected)) : nullptr;
}

PointFactory* ScriptFactory(const ScriptStep& step, i32 index) {
  LevelTutorial* t = step.GetLevelTutorial();
  return t ? dynamic_cast<PointFactory*>(t->PointOfKind(index, kPointKindBuilding, false)) : nullptr;
}

bool ScriptBedBusy(const BasePointPlant* bed) {
  return bed && (bed->GetPlantJob() || bed->GetWaterJob() || bed->GetHarvestJob());
}

ASSArrowButton* ScriptSpriteA(const ScriptStep& step, i32 index) {
  BasePointPlant* bed = ScriptBed(step, index);
  return bed ? bed->GetHarvestButton() : nullptr;
}

ASSArrowButton* ScriptSpriteB(const ScriptStep& step, i32 index) {
  BasePointPlant* bed = ScriptBed(step, index);
  return bed ? bed->GetWaterButton() : nullptr;
}

ScreenSprite* ScriptSpriteP(const ScriptStep& step, i32 index) {
  PointFactory* f = ScriptFactory(step, index);
  return f && f->GetRecipeCount() > 0 ? f->GetRecipe(0).button : nullptr;
}

ScreenSprite* ScriptStateSprite(const ScriptStep& step, i32 index) {
  PointFactory* f = ScriptFactory(step, index);
  return f && f->GetSlotCount() > 0 ? f->GetSlot(0).indicator : nullptr;
}

bool ScriptSpriteAction(const ScriptStep& step, u32 code, uintptr_t param, const void* object, u32 spriteCode,
                        i32 index) {
  if (code != kTutorialActionHover || param != spriteCode) return false;
  if (index < 0) return true;
  const auto* sprite = static_cast<const ActiveScreenSprite*>(object);
  LevelTutorial* t = step.GetLevelTutorial();
  BaseLevelPoint* point = t ? t->PointOfKind(index, -1, false) : nullptr;
  return sprite && point && sprite->GetHandlerOwner() == static_cast<ScreenSpriteOwner*>(point);
}

bool ScriptIsButton(u32 windowParam, const void* object, u32 window, u32 control, uintptr_t data) {
  const auto* b = static_cast<const GameButton*>(object);
  return windowParam == window && b && b->GetId() == control && (data == 0 || b->GetData() == data);
}

const LEVELTASK* ScriptTask0(const ScriptStep& step) {
  GameLevel* level = step.Level();
  return level ? level->Rules().Tasks().GetTask(0) : nullptr;
}

TutorialTarget* ScriptTask0Button(const ScriptStep& step) {
  return new TutTargetButton(kTutorialWindowLevelPanel, kTutorialPanelTask, reinterpret_cast<uintptr_t>(ScriptTask0(step)),
                             kAngleUp, kArrowGap);
}

i32 ScriptStock(const ScriptStep& step, const PRODUCT* product) {
  GameLevel* level = step.Level();
  WarehouseStock* stock = level ? level->Rules().Stock() : nullptr;
  return stock && product ? stock->GetCount(product) : 0;
}

const PRODUCT* ScriptWheatProduct() {
  const PLANT* wheat = FindPlantByName(u"wheat");
  ProductList* products = GetProductList();
  return wheat && products ? products->FindById(wheat->productId) : nullptr;
}

// The level's current plant: the first the level lets the player sow.
const PLANT* ScriptCurrentPlant(const ScriptStep& step) {
  GameLevel* level = step.Level();
  if (!level) return nullptr;
  PLANT* first = nullptr;
  return level->Map().Points().CountAvailablePlants(1, &first) > 0 ? first : nullptr;
}

MapCharacter* ScriptPlayer(const ScriptStep& step) {
  GameLevel* level = step.Level();
  return level ? dynamic_cast<MapCharacter*>(level->GetPlayer()) : nullptr;
}

u16 ScriptLastJob(const ScriptStep& step) {
  MapCharacter* player = ScriptPlayer(step);
  Job* last = player ? player->GetJobs().Last() : nullptr;
  return last ? last->GetJobId() : 0;
}

i32 ScriptPointState(const void* object) {
  const auto* point = dynamic_cast<const LevelPoint*>(static_cast<const BaseLevelPoint*>(object));
  return point ? point->GetLevel() : 0;
}

BaseLevelPoint* ScriptJobPoint(const void* job) {
  const Job* j = static_cast<const Job*>(job);
  if (const auto* p = dynamic_cast<const PlantJob*>(j)) return p->GetPoint();
  if (const auto* b = dynamic_cast<const Job_Build*>(j)) return b->GetPoint();
  return nullptr;
}

bool ScriptIsPoint(const ScriptStep& step, const void* object, i32 index) {
  GameLevel* level = step.Level();
  return object && level && static_cast<const BaseLevelPoint*>(object) == level->Map().GetPoint(index);
}

bool ScriptObjectOfPoint(const ScriptStep&, const void* object, i32 index) {
  const auto* o = static_cast<const MapObject*>(object);
  return o && o->GetPointIndex() == index;
}

bool ScriptOverBuilding(const ScriptStep& step, i32 index, i32 x, i32 y) {
  GameLevel* level = step.Level();
  auto* point = level ? dynamic_cast<PointBuilding*>(level->Map().GetPoint(index)) : nullptr;
  const MapBuilding* building = point ? point->GetMapBuilding() : nullptr;
  const MapShapes* shapes = building ? building->GetClickShapes() : nullptr;
  if (!shapes) return false;
  level->Rules().View().ScreenToMap(&x, &y);
  for (u32 i = 0; i < shapes->GetCount(); ++i)
    if (ShapeContainsPoint(&shapes->GetShape(i)->desc, x, y)) return true;
  return false;
}

// The middle of the bottom edge of the level panel's inner rectangle, taken
// in the panel's own coordinates: just below the screen's top band.
bool ScriptPanelTop(kis::FloatPoint* out, float, float, u32, u32) {
  out->x = static_cast<float>(GetResourceServices().screen.width / 2);
  out->y = static_cast<float>(kPanelStripHeight);
  return true;
}

// The warehouse window's horizontal middle, `below` pixels under its top;
// invalid while it is not open.
bool ScriptWarehousePoint(kis::FloatPoint* out, float, float, u32 below, u32) {
  WarehouseWindow* w = FindOpenWarehouse();
  if (!w) return false;
  const DXLRECT& r = w->GetRect();
  out->x = static_cast<float>((r.left + r.right) / 2);
  out->y = static_cast<float>(r.top + static_cast<i32>(below));
  return true;
}

// --- Parts of the later scripts (levels 3 to 5) -------------------------------------------------------

void ScriptOpenWarehouse(ScriptStep& step) {
  step.build = [](ScriptStep& st) {
    ScriptArrowAndText(st, new TutTargetButton(kTutorialWindowLevelPanel, kTutorialPanelWarehouse, 0, kAngleUp, kArrowGap));
    st.Arrow(new TutTargetLevelPoint(st.Level(), 0, 70.0f, 48.0f), 2);
  };
  step.allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    if (code == kTutorialActionObject) return param == kScriptWarehouseObject && ScriptObjectOfPoint(st, object, 0);
    return code == kTutorialActionButton &&
           ScriptIsButton(static_cast<u32>(param), object, kTutorialWindowLevelPanel, kTutorialPanelWarehouse);
  };
  step.event = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    if (code == kTutorialEventClick &&
        ScriptIsButton(static_cast<u32>(param), object, kTutorialWindowLevelPanel, kTutorialPanelWarehouse))
      st.Finish();
  };
  step.frame = [](ScriptStep& st, u32) {
    if (FindOpenWarehouse()) st.Finish();
  };
  step.resume = [](ScriptStep& st) { return st.GetId(); };
}

bool ScriptWarehouseSettled() {
  WarehouseWindow* w = FindOpenWarehouse();
  return w && !w->IsBusy();
}

void ScriptBuildOnSite(ScriptStep& step, i32 index, u32 control, const wchar* building, TutorialId previous,
                       bool whileEmpty) {
  const uintptr_t data = reinterpret_cast<uintptr_t>(FindBuildingByName(building));
  const auto empty = [index](ScriptStep& st) {
    LevelTutorial* t = st.GetLevelTutorial();
    return t && t->PointOfKind(index, kPointKindEmpty, false);
  };
  step.beginFlags = [index](ScriptStep& st) {
    LevelTutorial* t = st.GetLevelTutorial();
    return t && t->PointOfKind(index, kPointKindBuilding, false) ? 0x120u : st.GetFlagsActive();
  };
  step.build = [=](ScriptStep& st) {
    if (data && (!whileEmpty || empty(st)))
      ScriptArrowAndText(st, new TutTargetButton(kTutorialWindowLevelPanel, control, data, kAngleUp, kArrowGap));
  };
  step.allow = [=](ScriptStep&, u32 code, uintptr_t param, const void* object) {
    return code == kTutorialActionGrow ||
           (code == kTutorialActionButton && data &&
            ScriptIsButton(static_cast<u32>(param), object, kTutorialWindowLevelPanel, control, data));
  };
  step.event = [=](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    if (code == kTutorialEventPointChanged && param == static_cast<uintptr_t>(kPointKindBuilding) &&
        ScriptPointState(object) == static_cast<i32>(kPointStateSetUp)) {
      st.Finish();
    } else if (code == kTutorialEventClick && data &&
               ScriptIsButton(static_cast<u32>(param), object, kTutorialWindowLevelPanel, control, data)) {
      st.HideLayer();
      st.SetFlags(0x120);
    }
  };
  step.resume = [=](ScriptStep& st) { return empty(st) ? previous : st.GetId(); };
}

PointPetshouse* ScriptHouse(const ScriptStep& step, i32 index) {
  LevelTutorial* t = step.GetLevelTutorial();
  return t ? dynamic_cast<PointPetshouse*>(t->PointOfKind(index, kPointKindBuilding, false)) : nullptr;
}

PointHenhouse* ScriptHenhouse(const ScriptStep& step, i32 index) {
  return dynamic_cast<PointHenhouse*>(ScriptHouse(step, index));
}

ScreenSprite* ScriptHenhouseFeed(const ScriptStep& step, i32 index) {
  PointHenhouse* h = ScriptHenhouse(step, index);
  return h ? h->GetFeedButton() : nullptr;
}

ScreenSprite* ScriptHenhouseEggs(const ScriptStep& step, i32 index) {
  PointHenhouse* h = ScriptHenhouse(step, index);
  return h ? h->GetTakeEggsButton() : nullptr;
}

void ScriptSetRateA(const ScriptStep& step, i32 index, float rate) {
  if (PointFactory* f = ScriptFactory(step, index)) f->SetSpeedFactor(rate);
}

void ScriptSetRateB(const ScriptStep& step, i32 index, float rate) {
  if (PointPetshouse* h = ScriptHouse(step, index)) h->SetRateModifier(kScriptHouseRateId, false, rate);
}

const PRODUCT* ScriptFirstStocked(const ScriptStep& step) {
  GameLevel* level = step.Level();
  WarehouseStock* stock = level ? level->Rules().Stock() : nullptr;
  if (!stock) return nullptr;
  for (i32 i = 0; i < stock->GetEntryCount(); ++i)
    if (stock->GetEntry(i).count > 0) return stock->GetEntry(i).product;
  return nullptr;
}

bool ScriptPointAnchor(kis::FloatPoint* out, float, float, u32 argument, u32) {
  auto* tutorial = dynamic_cast<LevelTutorial*>(GetCurrentTutorial());
  GameLevel* level = tutorial ? tutorial->GetLevel() : nullptr;
  BaseLevelPoint* point = level ? level->Map().GetPoint(static_cast<i32>(argument)) : nullptr;
  if (!point) return false;
  POINTPOS at{point->GetX(), point->GetY()};
  if (auto* bed = dynamic_cast<BasePointPlant*>(point)) bed->GetButtonAnchor(&at);
  level->Rules().View().MapToScreen(&at.x, &at.y);
  out->x = static_cast<float>(at.x);
  out->y = static_cast<float>(at.y);
  return true;
}

bool ScriptPointArea(DXLRECT* out, u32 argument, bool) {
  auto* tutorial = dynamic_cast<LevelTutorial*>(GetCurrentTutorial());
  GameLevel* level = tutorial ? tutorial->GetLevel() : nullptr;
  return level && LevelPointArea(level->Map().GetPoint(static_cast<i32>(argument)), out);
}

void ScriptClickCentre(ScriptStep& step, float angle, float distance) {
  step.build = [angle, distance](ScriptStep& st) {
    st.Text(new TutTargetCustom(LevelScreenCentre, 0, angle, 0.0f, 0), true, distance, true);
  };
}

void ScriptSpriteHint(ScriptStep& step, std::function<ScreenSprite*(ScriptStep&)> sprite, float angle, bool click) {
  step.build = [sprite = std::move(sprite), angle, click](ScriptStep& st) {
    if (ScreenSprite* s = sprite(st)) ScriptArrowAndText(st, new TutTargetScreenSprite(s, angle, kArrowGap), 0, click);
  };
}

void ScriptJobHint(ScriptStep& step, u32 spriteCode, i32 index, u16 job, u32 workFlags) {
  step.beginFlags = [job, workFlags](ScriptStep& st) {
    return ScriptLastJob(st) == job ? workFlags : st.GetFlagsActive();
  };
  step.allow = [spriteCode, index](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return ScriptSpriteAction(st, code, param, object, spriteCode, index);
  };
  step.event = [job, workFlags](ScriptStep& st, u32 code, uintptr_t param, const void*) {
    if (code != kTutorialEventJob || param != job) return;
    st.SetFlags(workFlags);
    st.HideLayer();
  };
}

void ScriptCollectEggs(ScriptStep& step, i32 index, float angle) {
  ScriptJobHint(step, kTakeEggsButtonCode, index, kJobTakeEggs, 0x120);
  ScriptSpriteHint(step, [index](ScriptStep& st) { return ScriptHenhouseEggs(st, index); }, angle);
  step.allow = [index](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return code == kTutorialActionGrow || ScriptSpriteAction(st, code, param, object, kTakeEggsButtonCode, index);
  };
  auto job = step.event;
  step.event = [job](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    if (code == kTutorialEventStored && object &&
        static_cast<const BaseLevelPoint*>(object)->GetKind() == kPointKindBuilding)
      st.Finish();
    else
      job(st, code, param, object);
  };
}

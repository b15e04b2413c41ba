// LevelTutorialScript - what the level tutorials' scripts are made of: one
// configurable step (ScriptStep) whose parts a script fills with small
// functions, and the few questions the scripts ask of the level.
//
// The terms the scripts test, and the point classes' accessors behind them:
//
//   term                 point (kind)           accessor
//   busy                 plant bed (2)          a planting, watering or harvest job linked
//                        building (3)           a build job or a busy production slot
//   the two counters     plant bed (2)          GetWaterLeft, GetWaterMax (equal: watered)
//   sprite A             plant bed (2)          GetHarvestButton ('Harv')
//   sprite B             plant bed (2)          GetWaterButton ('Wate')
//   sprite P             factory (3)            GetRecipe(0).button ('Prod')
//   production state     factory (3)            GetSlot(0).indicator ('PrSl')
//   production count     factory (3)            GetBusyCount (producing: above 0)
//   fed                  animal house (3)       PointPetshouse::IsFed
//   sown                 plant bed (2)          GetLevel() >= 1
//   anchor               plant bed (2)          GetButtonAnchor
//   factor               factory (3)            GetSpeedFactor, SetSpeedFactor
//   state value          any (event 0x80000003) LevelPoint::GetLevel (0 for an empty place)
//
// A step that finds no point, sprite or control builds nothing and waits.
#pragma once

#include <functional>

#include "base/Maths.h"
#include "base/Types.h"
#include "tutorials/LevelTutorial.h"

class ASSArrowButton;
class BasePointPlant;
class Job;
class MapCharacter;
class PointFactory;
class ScreenSprite;
class TutorialArrow;
class TutorialInfo;
class TutorialTarget;
struct DXLRECT;
struct LEVELTASK;
struct PLANT;
struct PRODUCT;

// Angles and distances the scripts use.
constexpr float kAngleUp = 270.0f;
constexpr float kAngleDown = 90.0f;
constexpr float kArrowGap = 4.0f;
constexpr float kTextGap = 84.0f;
constexpr float kPointAngle = 90.0f;
constexpr float kPointDistance = 64.0f;

constexpr u16 kScriptJobWater = 3;
constexpr u16 kScriptJobHarvest = 4;

// A step of a script: its parts are optional functions (none: the base's
// behaviour). Begin sets `begin` flags (default the active ones), End the
// flags after, then each runs its extra part.
class ScriptStep : public LevelTutorialStep {
 public:
  ScriptStep(TutorialId id, u32 layerCode, u32 flagsActive, u32 flagsAfter, TutorialId next);

  std::function<void(ScriptStep&)> build;
  std::function<bool(ScriptStep&)> canStart;
  std::function<u32(ScriptStep&)> beginFlags;
  std::function<void(ScriptStep&)> onBegin;
  std::function<void(ScriptStep&)> onEnd;
  std::function<void(ScriptStep&, u32)> frame;
  std::function<bool(ScriptStep&, u32, uintptr_t, const void*)> allow;
  std::function<void(ScriptStep&, u32, uintptr_t, const void*)> event;
  std::function<TutorialId(ScriptStep&)> resume;  // the step a save resumes at
  std::function<bool(ScriptStep&, i32, i32)> catches;

  void Build() override;
  bool CanStart() override;
  void Begin() override;
  void End() override;
  void OnFrame(u32 elapsed) override;
  bool AllowAction(u32 code, uintptr_t param, const void* object) override;
  void OnEvent(u32 event, uintptr_t param, const void* object) override;
  bool CatchesPointAt(i32 x, i32 y) override;
  bool SaveData(kis::DataCursor* writer, u8* record) override;
  // The step's own key when it has one (else "level_NN_S").
  const wchar* GetText(const wchar* k) override { return LevelTutorialStep::GetText(k ? k : key); }

  const wchar* key = nullptr;  // its text's key in "tutorial"; null: "level_NN_S"

  // --- What the parts build and ask -------------------------------------------------------------
  GameLevel* Level() const;
  // A level arrow (lock mask 0) on the target; null (the target deleted) without a layer.
  TutorialArrow* Arrow(TutorialTarget* target, u32 tag = 0);
  // The step's own text (its key), with the click line and the layer
  // catching clicks when `click`; placed on the target (owned) or on a
  // copy of the arrow's when `shared`.
  TutorialInfo* Text(TutorialTarget* target, bool centred, float distance, bool click, u32 itemKind = 0,
                     uintptr_t item = 0, bool shared = false);
  void SetFlags(u32 flags);
  void HideLayer() { CloseLayer(); }

  u32 mark = 0;  // the script's own note (a job seen, a point kept)
  void* kept = nullptr;
};

// --- Parts the scripts share ----------------------------------------------------------------------
// An arrow on the target and the step's text beside it (84 pixels, on a
// copy of the arrow's target), optionally with the click line and an item.
void ScriptArrowAndText(ScriptStep& step, TutorialTarget* target, u32 tag = 0, bool click = false, u32 itemKind = 0,
                        uintptr_t item = 0);
// Finishes on a click of the window's control (with its data unless 0, or
// the data `data` names), which it lets through.
void ScriptWaitForButton(ScriptStep& step, u32 window, u32 control,
                         std::function<uintptr_t(ScriptStep&)> data = nullptr);
// An arrow on the level point (angle 90, 64 units) with the step's text;
// selecting the point (codes 102 and 103 for it pass) finishes the step.
void ScriptSelectPoint(ScriptStep& step, i32 index);

// --- Questions the scripts ask ------------------------------------------------------------------------
// The point of the index as a plant bed (kind 2); with onlySelected, only while selected.
BasePointPlant* ScriptBed(const ScriptStep& step, i32 index, bool onlySelected = false);
// The point of the index as a factory (kind 3).
PointFactory* ScriptFactory(const ScriptStep& step, i32 index);
bool ScriptBedBusy(const BasePointPlant* bed);
ASSArrowButton* ScriptSpriteA(const ScriptStep& step, i32 index);
ASSArrowButton* ScriptSpriteB(const ScriptStep& step, i32 index);
ScreenSprite* ScriptSpriteP(const ScriptStep& step, i32 index);
ScreenSprite* ScriptStateSprite(const ScriptStep& step, i32 index);
// Code 100 for a sprite with the code (owned by the point of the index; -1 any).
bool ScriptSpriteAction(const ScriptStep& step, u32 code, uintptr_t param, const void* object, u32 spriteCode,
                        i32 index);
// A button event (or code 2) for the control of the window, with the data unless 0.
bool ScriptIsButton(u32 windowParam, const void* object, u32 window, u32 control, uintptr_t data = 0);
const LEVELTASK* ScriptTask0(const ScriptStep& step);
// The level panel's button of task 0 (its data is the task's record), the arrow above it.
TutorialTarget* ScriptTask0Button(const ScriptStep& step);
i32 ScriptStock(const ScriptStep& step, const PRODUCT* product);
const PRODUCT* ScriptWheatProduct();
const PLANT* ScriptCurrentPlant(const ScriptStep& step);
MapCharacter* ScriptPlayer(const ScriptStep& step);
// The id of the player's last queued job (0: none).
u16 ScriptLastJob(const ScriptStep& step);
// The state value of a point of event 0x80000003 (its level; 0 for an empty place).
i32 ScriptPointState(const void* object);
// The point a job works on (plant jobs and builds), or null.
BaseLevelPoint* ScriptJobPoint(const void* job);
// The point of an event's object when it is the level point of the index.
bool ScriptIsPoint(const ScriptStep& step, const void* object, i32 index);

// A level object (code 101's) owned by the point of the index.
bool ScriptObjectOfPoint(const ScriptStep& step, const void* object, i32 index);
// The building standing on the point of the index is hit at the screen
// point (its own click shapes, at the point's level coordinates).
bool ScriptOverBuilding(const ScriptStep& step, i32 index, i32 x, i32 y);

// Computed points of the scripts.
bool ScriptPanelTop(kis::FloatPoint* out, float angle, float distance, u32 argument, u32 extra);
bool ScriptWarehousePoint(kis::FloatPoint* out, float angle, float distance, u32 below, u32 extra);

// --- Parts of the later scripts (levels 3 to 5) -------------------------------------------------------
// The rate field of an animal house a tutorial speeds up or stops (its own
// rate modifier entry; 1.0 takes it out).
constexpr u32 kScriptHouseRateId = 0x54757452u;  // 'TutR'
constexpr u32 kScriptWarehouseObject = 0x10002000u;  // the warehouse's map object (code 101)

// The warehouse: its panel button, or the warehouse on the map (point 0,
// a second arrow tagged 2); finishes once the window is open. A save
// resumes at this step.
void ScriptOpenWarehouse(ScriptStep& step);
// The warehouse window is open, neither hiding nor animating.
bool ScriptWarehouseSettled();
// The build button (its data the building named), with `whileEmpty` only
// while the place of the index is empty; finishes once a building stands
// ready (kind 3, state value 1; any point's, as the buttons let only that
// place's be ordered). A save while the place is empty resumes at `previous`.
void ScriptBuildOnSite(ScriptStep& step, i32 index, u32 control, const wchar* building, TutorialId previous,
                       bool whileEmpty = true);
// The point of the index as an animal house (kind 3), or as the henhouse.
class PointPetshouse;
class PointHenhouse;
PointPetshouse* ScriptHouse(const ScriptStep& step, i32 index);
PointHenhouse* ScriptHenhouse(const ScriptStep& step, i32 index);
// The henhouse's feed button (its production sprite) and its eggs sprite.
ScreenSprite* ScriptHenhouseFeed(const ScriptStep& step, i32 index);
ScreenSprite* ScriptHenhouseEggs(const ScriptStep& step, i32 index);
// Rate A (a factory's speed factor) and rate B (an animal house's own rate).
void ScriptSetRateA(const ScriptStep& step, i32 index, float rate);
void ScriptSetRateB(const ScriptStep& step, i32 index, float rate);
// The first product the warehouse holds some of, or null.
const PRODUCT* ScriptFirstStocked(const ScriptStep& step);
// Computed point: the screen place of the anchor of the level point of
// `argument` (a bed's button anchor, else the point itself).
bool ScriptPointAnchor(kis::FloatPoint* out, float angle, float distance, u32 argument, u32 extra);
// What such a point stands for: the level point of `argument` (LevelPointArea).
bool ScriptPointArea(DXLRECT* out, u32 argument, bool control);
// The step's click text centred on the panel centre's target (angle, 0), at the distance.
void ScriptClickCentre(ScriptStep& step, float angle, float distance);
// An arrow and the step's text on the sprite the function finds when the
// step is built (nothing without one).
void ScriptSpriteHint(ScriptStep& step, std::function<ScreenSprite*(ScriptStep&)> sprite, float angle,
                      bool click = false);
// A hint on a head-up sprite of a player's job (`spriteCode`, of the point
// of the index or -1 any): the job's event hides the layer and lets her
// work (`workFlags`), and so does Begin when that job is queued already.
void ScriptJobHint(ScriptStep& step, u32 spriteCode, i32 index, u16 job, u32 workFlags);
// The eggs of the henhouse of the index collected: the hint on its eggs
// (at the angle), her collecting let through (0x120, also when queued
// already), crops growing; the eggs stored by a building finish.
void ScriptCollectEggs(ScriptStep& step, i32 index, float angle);

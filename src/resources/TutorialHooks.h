// TutorialHooks - what the interface and the level ask of the running
// tutorial: whether it lets the player act, what has happened, and (for the
// level) its frame, its part of a saved level and its end. The tutorials
// library implements it (GameTutorial); a tutorial puts itself into the resource
// services (ResourceServices::tutorial) while it is the current one: a new
// one takes over as it is made, finishing the one before (GameTutorial.h). It is
// optional: without one every action is allowed and events go nowhere.
//
// TutorialFactory makes the game's tutorials (the tutorials library's
// TutorialMaker); whoever runs the game installs it as
// ResourceServices::tutorialFactory. Optional: without one no tutorial is made.
//
// Finished tutorials are not deleted where they finish (that may be inside
// their own call chain): they wait in ResourceServices::finishedTutorials until
// DeleteFinishedTutorials, which the game's frame calls at its end.
#pragma once

#include <cstdint>

#include "base/Types.h"


namespace kis {
class DataCursor;
}

// Four-character window and control codes the tutorials name.
constexpr u32 kTutorialWindowLevelPanel = 0x4C766C70u;  // 'Lvlp'
constexpr u32 kTutorialWindowMap = 0x4D617049u;         // 'MapI', the level-map interface
constexpr u32 kTutorialWindowLevelStart = 0x4C764966u;  // 'LvIf', the level start window
constexpr u32 kTutorialWindowBonuses = 0x426F6E75u;     // 'Bonu'
constexpr u32 kTutorialWindowWarehouse = 0x57726873u;   // 'Wrhs'
constexpr u32 kTutorialWindowLayer = 0x5475744Cu;       // 'TutL', a tutorial's own layer

// Level panel commands every level tutorial lets through.
constexpr u32 kTutorialPanelMenu = 0x4C500001u;
constexpr u32 kTutorialPanelWarehouse = 0x4C500003u;
constexpr u32 kTutorialPanelClose = 0x4C500004u;  // the close-tutorial button
constexpr u32 kTutorialPanelTask = 0x4C500005u;  // the task buttons

// Action codes (AllowAction: code, parameter, object).
constexpr u32 kTutorialActionTitle = 1;      // a movable window's title (its id, the window)
constexpr u32 kTutorialActionButton = 2;     // a mouse event for a button (its window's id, the button)
constexpr u32 kTutorialActionKey = 3;        // a key for a window (the key, the window)
constexpr u32 kTutorialActionMessage = 4;    // the message window (its data, the window)
constexpr u32 kTutorialActionHover = 100;    // a head-up display sprite (its action code, the sprite)
constexpr u32 kTutorialActionObject = 101;   // a level object under the pointer (its kind, the object)
constexpr u32 kTutorialActionPoint = 102;    // hovering a level point (its index, the point)
constexpr u32 kTutorialActionSelect = 103;   // selecting a level point (its index, the point)
constexpr u32 kTutorialActionCancel = 104;   // a right click cancelling a job (its id, the job)
constexpr u32 kTutorialActionPlayerJob = 105;  // the player taking her next job (its id, the job)
constexpr u32 kTutorialActionGrow = 110;     // a crop's growth step (the plant's id, the bed)
constexpr u32 kTutorialActionProduce = 120;  // a factory slot's progress (the product's id, the factory)
constexpr u32 kTutorialActionWaves = 130;    // villains, shots and damage may move on (a kind word)
constexpr u32 kTutorialActionWalk = 199;     // the player walking to a clicked place
constexpr u32 kTutorialActionMapLevel = 200;  // a level node of the level-selection map (its index)

// Event codes (Notify: event, parameter, object).
constexpr u32 kTutorialEventClick = 1;                     // a button was clicked (its window's id, the button)
constexpr u32 kTutorialEventMapLevel = 0x40000001u;        // a level chosen on the map (its index)
constexpr u32 kTutorialEventStart = 0x80000001u;           // the level clock started
constexpr u32 kTutorialEventPointSelected = 0x80000002u;   // a point selected (its index, the point)
constexpr u32 kTutorialEventPointChanged = 0x80000003u;    // a point set up or changed (see below)
constexpr u32 kTutorialEventJob = 0x80000004u;             // the player took a new job (its id, the job)
constexpr u32 kTutorialEventProducing = 0x80000005u;       // a building started producing
constexpr u32 kTutorialEventDelivered = 0x80000006u;       // a factory slot delivered
constexpr u32 kTutorialEventStored = 0x80000007u;          // a house, pen or bed stored its products
constexpr u32 kTutorialEventVillain = 0x80000008u;         // a villain arrived
constexpr u32 kTutorialEventRipe = 0x80000009u;            // a crop ripened

// Event 0x80000003 always carries the point's kind (0 empty, 1 warehouse,
// 2 plant, 3 building) and the point (a BaseLevelPoint). The point's state
// value is its level after the change (0 for an empty place): a point set
// up ready to work (a level's own bed or mill, a restored point) tells 1,
// a site or a bed being dug tells 0 at its set-up and 1 once the player
// built or sowed it; an upgrade tells the level reached (2 from 1).
constexpr u32 kPointStateSetUp = 1;     // set up, or just built, at level 1
constexpr u32 kPointStateUpgraded = 2;  // raised to level 2

class TutorialHooks {
 public:
  virtual ~TutorialHooks() = default;
  // True when the tutorial lets the action happen (also while it is ending).
  virtual bool AllowAction(u32 action, uintptr_t parameter, const void* object) = 0;
  virtual void Notify(u32 event, uintptr_t parameter, const void* object) = 0;

  // The frame: the step machine and the layers' effects move on (ms), and
  // the arrows and texts find their targets again before the windows draw.
  virtual void Update(u32 /*elapsed*/) {}
  virtual void Draw() {}
  // The screen changed (after the screens took the new game area): its
  // layers cover the new one and its arrows and texts find their places.
  virtual void OnScreenResize() {}
  // Ends it, its layers fading out (nothing once ending).
  virtual void Stop() {}
  // Its id (bit 30 a map tutorial, bits 16-23 its number); 0 unknown.
  virtual u32 GetTutorialId() const { return 0; }
  // Starts the step it begins (or resumes) at.
  virtual void StartFirstStep() {}
  // Its part of a saved level: whether it is kept at all, and its record.
  virtual bool IsSaved() const { return false; }
  virtual bool Save(kis::DataCursor* /*writer*/) { return false; }
  virtual bool Load(kis::DataCursor* /*reader*/) { return false; }
  // The level is done with it (torn down, or a restore without one): the
  // tutorials' own delete themselves, leaving the services' slot.
  virtual void Discard() {}
};

// The running tutorial's answer; true when none runs.
bool TutorialAllowAction(u32 action, uintptr_t parameter, const void* object);
// Tells the running tutorial, if any.
void TutorialNotify(u32 event, uintptr_t parameter, const void* object);
// Deletes the finished tutorials waiting in the resource services (last first).
void DeleteFinishedTutorials();

// The map's tutorials by the moment they come.
enum class MapTutorialKind : u32 { kFirst, kRegime, kHard, kVillainsAttack };

class TutorialFactory {
 public:
  virtual ~TutorialFactory() = default;
  // The tutorial of the level (0-based index), made the current one; none
  // for a level without one.
  virtual void MakeLevelTutorial(i32 levelIndex) = 0;
  // The tutorial of the first full warehouse, about the product of the id
  // (its id in the product list).
  virtual void MakeFullWarehouseTutorial(u32 productId) = 0;
  // The map's tutorials, started at once.
  virtual void StartMapTutorial(MapTutorialKind kind) = 0;
  virtual void StartNewBonusTutorial(i32 bonusIndex, bool chain) = 0;
};

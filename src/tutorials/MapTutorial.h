// MapTutorial and MapTutorialStep - the short tutorials of the
// level-selection map (LevelSelectMap) and its level window: the first
// visit, a newly available bonus, the regime button, the hard regime and
// the villains' attack scene. Each starts on construction and shows its
// first step 600 ms later (a 500 ms delay, then the usual 100 ms).
//
// Their filter (before the base one): a control of a window other than
// the map's interface ('MapI') and the level window ('LvIf') passes, and so
// do the interface's back, options and profile controls; every other
// control of those two needs flag bit 24 and the step's consent. A map
// node (200) needs flag bit 0. Escape and Enter do nothing in the level
// window and the bonuses window.
//
// A map tutorial is never part of a saved level. Once one that was stopped
// has finished (its layers faded) and no other tutorial took its place,
// it asks the map for the next pending one (LevelSelectMap::StartTutorials):
// from its own frame after it left the current slot, never from inside
// Stop, where the next tutorial would finish it under its own feet.
#pragma once

#include "tutorials/GameTutorial.h"

class MapInterface;
class TutorialArrow;
class TutorialInfo;
class TutorialTarget;

constexpr TutorialId kMapTutorialFirstId = 0x40010000u;
constexpr TutorialId kMapTutorialNewBonusId = 0x40030000u;
constexpr TutorialId kMapTutorialRegimeId = 0x40050000u;
constexpr TutorialId kMapTutorialHardId = 0x40060000u;
constexpr TutorialId kMapTutorialVillainsId = 0x40080000u;

constexpr u32 kMapTutorialDelay = 500;
constexpr u32 kMapFlagNodes = 0x1;  // level nodes (200) may reach the step
constexpr u32 kMapTutorialNameMax = 32;


class MapTutorial : public GameTutorial {
 public:
  // `name` (at most 32 characters kept; null: none) forms its steps' keys.
  MapTutorial(TutorialId id, const wchar* name);
  const wchar* GetName() const { return name_; }
  bool WillServeNext() const { return serveNext_; }

  // GameTutorial
  void OnStop() override { serveNext_ = true; }
  bool AllowKey(u16 key, const void* window) override;
  bool FilterAction(u32 code, uintptr_t param, const void* object) override;
  bool Save(kis::DataCursor* writer) override;  // refused: no record
  bool LoadRecord(const u8* record, u32 size) override;
  void Update(u32 elapsed) override;

 protected:
  // The constructors' end: the first step set and started, then the tutorial.
  void Run(TutorialId firstStep);

 private:
  wchar name_[kMapTutorialNameMax + 1] = {};
  bool serveNext_ = false;
};

class MapTutorialStep : public TutorialStep {
 public:
  static constexpr u32 kFlagsKept = 0xFFFFFFFFu;  // Begin or End leaves the flags
  MapTutorialStep(TutorialId id, u32 layerCode, u32 flagsBegin = kFlagsKept, u32 flagsEnd = kFlagsKept);

  void Begin() override;
  void End() override;
  // "map_<name>_<step><key>" of the tutorial's name, the step's number and
  // the key as a suffix (none for null).
  const wchar* GetText(const wchar* key) override;
  // Everywhere but over the map interface's buttons.
  bool CatchesPointAt(i32 x, i32 y) override;

  MapTutorial* GetMapTutorial() const;

 protected:
  // An arrow on the target; null (the target deleted) without a layer.
  TutorialArrow* Arrow(TutorialTarget* target);
  // The text beside the arrow's target (a copy of it) or on a target of its
  // own; with the click line, the layer catches clicks.
  TutorialInfo* Text(const wchar* text, TutorialTarget* target, bool shared, bool centred, float distance,
                     bool click);
  // Both: the arrow and the text on a copy of its target.
  void ArrowAndText(TutorialTarget* target, const wchar* text, float distance, bool click);

 private:
  u32 begin_;
  u32 end_;
};

// The four-character code of the window of an action's object (0: none).
u32 MapTutorialWindowId(const void* window);

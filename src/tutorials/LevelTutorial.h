// LevelTutorial and LevelTutorialStep - the tutorials of the level screen.
// A level tutorial starts with the level clock (the level's start event);
// its flags hold the level or let it go and decide which of the level's
// actions reach the current step:
//
//   0x1 head-up display sprites (100)   0x2 level objects (101)
//   0x4 level points (102, 103)         0x8 cancelling a job (104)
//   0x10 walking (199)                  0x20 crops growing (110)
//   0x40 factories producing (120)      0x80 villains, shots and damage (130)
//   0x100 the player's next job (105)   0x1000 the level clock held
//   0x2000 the level locked (lock 16)   0x1000000 windows' controls (1, 2)
//   0x2000000 the message window (4)
//
// Codes 105 and 130 are answered by their bit alone. Its default flags
// (0x3000) hold the level from its start until the first step sets its own;
// stopping it sets 0, letting everything go. While it runs the level panel
// shows its close-tutorial button. Its saved record (20 bytes) keeps the
// level's selected point, which a restore selects again.
#pragma once

#include "tutorials/GameTutorial.h"

class BaseLevelPoint;
class GameLevel;
class LevelPanel;

constexpr u32 kLevelFlagHud = 0x1;
constexpr u32 kLevelFlagObjects = 0x2;
constexpr u32 kLevelFlagPoints = 0x4;
constexpr u32 kLevelFlagCancel = 0x8;
constexpr u32 kLevelFlagWalk = 0x10;
constexpr u32 kLevelFlagGrow = 0x20;
constexpr u32 kLevelFlagProduce = 0x40;
constexpr u32 kLevelFlagWaves = 0x80;
constexpr u32 kLevelFlagPlayerJob = 0x100;
constexpr u32 kLevelFlagHoldClock = 0x1000;
constexpr u32 kLevelFlagLock = 0x2000;
constexpr u32 kLevelTutorialDefaultFlags = kLevelFlagHoldClock | kLevelFlagLock;
constexpr u32 kLevelTutorialDelay = 500;        // ms before its first step may show
constexpr u32 kLevelTutorialRecordSize = 20;    // the four words and the selected point
constexpr u32 kRecordSelectedPoint = 16;

class LevelTutorial : public GameTutorial {
 public:
  LevelTutorial(TutorialId id, GameLevel* level);
  ~LevelTutorial() override;  // what it still holds of the level let go

  // The level point of the index when its kind is `kind` (-1: any); with
  // onlySelected, only while it is the selected point.
  BaseLevelPoint* PointOfKind(i32 index, i32 kind, bool onlySelected) const;
  GameLevel* GetLevel() const { return level_; }

  // GameTutorial
  void OnFlagsChanged(u32 newFlags) override;
  void OnFirstStepShown() override;
  void OnStopped() override;
  bool AllowKey(u16 key, const void* window) override;
  bool FilterAction(u32 code, uintptr_t param, const void* object) override;
  u32 RecordSize() const override { return kLevelTutorialRecordSize; }
  void FillRecord(u8* record) override;
  bool LoadRecord(const u8* record, u32 size) override;
  void Update(u32 elapsed) override;  // stands still while the level is held by others
  void Notify(u32 event, uintptr_t param, const void* object) override;

 private:
  LevelPanel* FindPanel() const;
  GameLevel* level_;
};

class LevelTutorialStep : public TutorialStep {
 public:
  // Flags while it is active and after it finished.
  LevelTutorialStep(TutorialId id, u32 layerCode, u32 flagsActive, u32 flagsAfter);

  void Begin() override;
  void End() override;
  // A null key: "level_NN_S" of its level number and step.
  const wchar* GetText(const wchar* key) override;
  // Everywhere but over the level panel.
  bool CatchesPointAt(i32 x, i32 y) override;

  LevelTutorial* GetLevelTutorial() const;
  u32 GetFlagsActive() const { return active_; }
  u32 GetFlagsAfter() const { return after_; }

 private:
  u32 active_;
  u32 after_;
};

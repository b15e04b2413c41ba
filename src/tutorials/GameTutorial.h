// GameTutorial and TutorialStep - a scripted sequence of steps that guides
// the player. Each step shows a layer of arrows and info texts
// (TutorialLayer) above a chosen window, decides which player actions are
// allowed while it is active, hears the game's events and finishes itself,
// handing over to its next step.
//
// One tutorial is current at a time (ResourceServices::tutorial): a new one
// finishes the one before. Its life: created (the script's constructor
// builds its steps) -> running (Start) -> ending (Stop: flags 0, layers
// fading) -> finished (once no layer is left; then it waits in
// ResourceServices::finishedTutorials for the end of the frame, where
// DeleteFinishedTutorials deletes it). A step: idle -> pending (StartStep)
// -> shown 100 ms after it can start (its layer built) -> active 200 ms
// later (Begin) -> idle (Finish: its layer fades, End, its next step or the
// tutorial's end); each finished step keeps the next 200 ms away.
//
// Ids (TutorialId): bit 31 a level tutorial, bit 30 a map tutorial, bits
// 16-23 the tutorial's number (the level's number), the low 16 bits the step
// (0 for the tutorial itself).
//
// Its part of a saved level: the state word, then (while running) a record
// of at least 16 bytes: its size, the default flags, the step to resume at
// and the step-data marker (0: no step data follows; else the id of the step
// whose block follows).
#pragma once

#include <cstdint>

#include "base/List.h"
#include "base/Types.h"
#include "resources/TutorialHooks.h"

class TutorialLayer;
class TutorialStep;

using TutorialId = u32;

constexpr u32 kTutorialLevelBit = 0x80000000u;
constexpr u32 kTutorialMapBit = 0x40000000u;
constexpr u32 TutorialNumber(TutorialId id) { return (id >> 16) & 0xFFu; }
constexpr u32 TutorialStepNumber(TutorialId id) { return id & 0xFFFFu; }

// Tutorial states.
constexpr u32 kTutorialCreated = 0;
constexpr u32 kTutorialRunning = 2;
constexpr u32 kTutorialEnding = 3;
constexpr u32 kTutorialFinished = 4;

// Show stages and times (ms).
constexpr u32 kTutorialShowDelay = 100;      // from showable to shown
constexpr u32 kTutorialActivateDelay = 200;  // from shown to active
constexpr u32 kTutorialStepGap = 200;        // after a finished step

// Flags of the base filter: action codes 1 and 2, and 4, may reach the step.
constexpr u32 kTutorialFlagWindows = 0x01000000u;
constexpr u32 kTutorialFlagMessages = 0x02000000u;

// The saved record: four words at least.
constexpr u32 kTutorialRecordMin = 16;
constexpr u32 kRecordSize = 0;  // word offsets
constexpr u32 kRecordFlags = 4;
constexpr u32 kRecordResume = 8;
constexpr u32 kRecordMarker = 12;

// TutorialTimer - counts down while ticked: idle, running, fired.
class TutorialTimer {
 public:
  static constexpr u32 kIdle = 0, kRunning = 1, kFired = 2;
  // Runs ms (fired at once for 0).
  void Start(u32 ms) {
    remaining_ = ms;
    state_ = ms == 0 ? kFired : kRunning;
  }
  // True while fired.
  bool Tick(u32 dt) {
    if (state_ == kRunning) {
      if (remaining_ <= dt) {
        remaining_ = 0;
        state_ = kFired;
      } else {
        remaining_ -= dt;
      }
    }
    return state_ == kFired;
  }
  void Reset() { state_ = remaining_ = 0; }
  u32 GetState() const { return state_; }
  u32 GetRemaining() const { return remaining_; }

 private:
  u32 state_ = kIdle;
  u32 remaining_ = 0;
};

class GameTutorial : public TutorialHooks {
 public:
  // Finishes the current tutorial and becomes the current one
  // (ResourceServices::tutorial): the one object that installs itself, as
  // a tutorial starting is what takes the place of the one before.
  explicit GameTutorial(TutorialId id);
  // Deletes its layers and steps; leaves the current slot and the finished
  // list.
  ~GameTutorial() override;
  GameTutorial(const GameTutorial&) = delete;
  GameTutorial& operator=(const GameTutorial&) = delete;

  // --- The script's side ------------------------------------------------------------------
  virtual void OnFlagsChanged(u32 /*newFlags*/) {}  // before the flags change
  virtual void OnStart() {}
  virtual void OnStop() {}
  virtual void OnFirstStepShown() {}  // once, just before the first step is active
  virtual void OnStopped() {}         // at the end of Stop
  virtual bool AllowKey(u16 /*key*/, const void* /*window*/) { return true; }
  // The filter of codes no derived tutorial decided (see the .cpp).
  virtual bool FilterAction(u32 code, uintptr_t param, const void* object);
  // The record's size it asks for (at least 16), and what it takes from a
  // read record (the default flags; false refuses it).
  virtual u32 RecordSize() const { return kTutorialRecordMin; }
  virtual void FillRecord(u8* /*record*/) {}
  virtual bool LoadRecord(const u8* record, u32 size);

  // --- TutorialHooks ------------------------------------------------------------------------
  // True once ending; else the filter.
  bool AllowAction(u32 code, uintptr_t param, const void* object) override;
  // To the current step's OnEvent.
  void Notify(u32 event, uintptr_t param, const void* object) override;
  void Update(u32 elapsed) override;
  void Draw() override;
  void OnScreenResize() override;
  void Stop() override;
  u32 GetTutorialId() const override { return id_; }
  void StartFirstStep() override { StartStep(firstStep_); }
  bool IsSaved() const override { return saved_ != 0; }
  bool Save(kis::DataCursor* writer) override;
  bool Load(kis::DataCursor* reader) override;
  // Deleted now, or (inside one of its own calls) finished and left to the
  // end of the frame.
  void Discard() override;

  // --- The machine ------------------------------------------------------------------------------
  void Start();
  void StartStep(TutorialId id);
  // Stop, then finished (leaving the current slot, waiting for deletion).
  void Finish();
  void SetFlags(u32 flags);
  TutorialStep* FindStep(TutorialId id) const;

  TutorialId GetId() const { return id_; }
  u32 GetState() const { return state_; }
  u32 GetFlags() const { return flags_; }
  u32 GetDefaultFlags() const { return defaultFlags_; }
  void SetDefaultFlags(u32 flags) { defaultFlags_ = flags; }
  TutorialId GetFirstStep() const { return firstStep_; }
  void SetFirstStep(TutorialId id) { firstStep_ = id; }
  TutorialStep* GetCurrentStep() const { return current_; }
  TutorialStep* GetPendingStep() const { return pending_; }
  u32 GetDelay() const { return delay_; }
  void SetDelay(u32 ms) { delay_ = ms; }
  u32 GetShowStage() const { return showStage_; }
  void SetSaved(bool saved) { saved_ = saved ? 1 : 0; }
  kis::list<TutorialLayer*>& Layers() { return layers_; }
  u8* GetSaveRecord() const { return saveRecord_; }

 protected:
  // Scope of one of its own calls (Discard defers inside one).
  struct Call {
    explicit Call(GameTutorial& t) : tutorial(t) { ++t.calls_; }
    ~Call() { --tutorial.calls_; }
    GameTutorial& tutorial;
  };
  // The base update (derived Update calls it when it runs at all).
  void UpdateBase(u32 elapsed);

 private:
  friend class TutorialStep;
  void Advance();
  void BuildLayer(TutorialStep* step);
  void Activate(TutorialStep* step);
  void Retire();  // finished: into the finished list, out of the current slot

  TutorialId id_;
  u32 defaultFlags_ = 0;
  u32 flags_ = 0;
  u32 state_ = kTutorialCreated;
  TutorialId firstStep_ = 0;
  kis::list<TutorialStep*> steps_;
  TutorialStep* current_ = nullptr;
  TutorialStep* pending_ = nullptr;
  u32 delay_ = 0;
  u32 showStage_ = 0;
  u32 firstShown_ = 0;
  kis::list<TutorialLayer*> layers_;
  u8* saveRecord_ = nullptr;
  u32 saved_ = 1;
  u32 calls_ = 0;
};

class TutorialStep {
 public:
  // Joins the current tutorial (none: a step of no tutorial).
  TutorialStep(TutorialId id, u32 layerCode);
  virtual ~TutorialStep();  // deletes its layer if it still has one
  TutorialStep(const TutorialStep&) = delete;
  TutorialStep& operator=(const TutorialStep&) = delete;

  virtual void Build() {}       // the arrows, targets and texts of its layer
  virtual void Begin() = 0;     // active
  virtual void End() = 0;       // finished
  // The text of the key in the table "tutorial"; the empty text when missing.
  virtual const wchar* GetText(const wchar* key);
  virtual bool CanStart() { return true; }
  virtual void OnDraw() {}      // after Build, then every frame while current
  virtual void OnFrame(u32 /*elapsed*/) {}
  virtual bool AllowAction(u32 /*code*/, uintptr_t /*param*/, const void* /*object*/) { return false; }
  virtual void OnEvent(u32 /*event*/, uintptr_t /*param*/, const void* /*object*/) {}
  virtual bool CatchesPointAt(i32 /*x*/, i32 /*y*/) { return false; }
  // Its layer catches clicks with nothing of its own drawn: the scene under
  // it is what the step shows (else only while an arrow or text is drawn).
  virtual bool CatchesUnseen() const { return false; }
  virtual void OnLayerClicked() { Finish(); }
  // Writes its id as the step to resume at (script steps may name another).
  virtual bool SaveData(kis::DataCursor* writer, u8* record);
  virtual bool LoadData(const u8* /*block*/) { return true; }

  // Its layer fades, the tutorial's current step goes (200 ms to the next),
  // End, then its next step or the tutorial's end.
  void Finish();
  void CloseLayer();

  GameTutorial* GetTutorial() const { return tutorial_; }
  TutorialId GetId() const { return id_; }
  u32 GetLayerCode() const { return layerCode_; }
  u32 GetState() const { return state_; }
  TutorialLayer* GetLayer() const { return layer_; }
  void SetLayer(TutorialLayer* layer) { layer_ = layer; }
  TutorialId GetNextStep() const { return next_; }
  void SetNextStep(TutorialId id) { next_ = id; }

 private:
  friend class GameTutorial;
  GameTutorial* tutorial_;
  TutorialId id_;
  u32 layerCode_;
  u32 state_ = 0;
  TutorialLayer* layer_ = nullptr;
  TutorialId next_ = 0;
};

// The current tutorial (ResourceServices::tutorial) when it is one of these.
GameTutorial* GetCurrentTutorial();

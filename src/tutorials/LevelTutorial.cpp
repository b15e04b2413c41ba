#include "tutorials/LevelTutorial.h"

#include <cstdio>

#include "base/LittleEndian.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointMaker.h"
#include "level/rules/LevelLocks.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/GameLevel.h"
#include "ui/GameButton.h"
#include "ui/InfoWindowSources.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/LevelPanel.h"

namespace {

// Every lock but the windows' hold (8) and the tutorial's own (16).
constexpr u32 kOwnLocks = kLockWarehouse | kLockTutorial;

// The flag a level action needs to reach the step; 0: none.
u32 ActionFlag(u32 code) {
  switch (code) {
    case kTutorialActionHover: return kLevelFlagHud;
    case kTutorialActionObject: return kLevelFlagObjects;
    case kTutorialActionPoint:
    case kTutorialActionSelect: return kLevelFlagPoints;
    case kTutorialActionCancel: return kLevelFlagCancel;
    case kTutorialActionWalk: return kLevelFlagWalk;
    case kTutorialActionGrow: return kLevelFlagGrow;
    case kTutorialActionProduce: return kLevelFlagProduce;
    default: return 0;
  }
}

}  // namespace

// --- LevelTutorial ------------------------------------------------------------------------------------

LevelTutorial::LevelTutorial(TutorialId id, GameLevel* level) : GameTutorial(id | kTutorialLevelBit), level_(level) {
  SetDelay(kLevelTutorialDelay);
  SetDefaultFlags(kLevelTutorialDefaultFlags);
}

LevelTutorial::~LevelTutorial() {
  if (level_ && GetState() != kTutorialFinished) OnFlagsChanged(0);
}

void LevelTutorial::OnFlagsChanged(u32 newFlags) {
  if (!level_) return;
  const u32 old = GetFlags();
  LevelRules& rules = level_->Rules();
  if ((newFlags ^ old) & kLevelFlagLock) {
    if (newFlags & kLevelFlagLock)
      rules.Locks().Lock(kLockTutorial);
    else
      rules.Locks().Unlock(kLockTutorial);
  }
  if ((newFlags ^ old) & kLevelFlagHoldClock) rules.Tasks().HoldClock((newFlags & kLevelFlagHoldClock) != 0);
}

LevelPanel* LevelTutorial::FindPanel() const {
  WindowManager* manager = GetWindowManager();
  return manager ? dynamic_cast<LevelPanel*>(manager->FindWindow(kTutorialWindowLevelPanel)) : nullptr;
}

void LevelTutorial::OnFirstStepShown() {
  if (LevelPanel* panel = FindPanel()) panel->CreateTutorialButton();
}

void LevelTutorial::OnStopped() {
  if (LevelPanel* panel = FindPanel()) panel->HideTutorialButton();
}

bool LevelTutorial::AllowKey(u16 key, const void* window) {
  const GameWindow* w = static_cast<const GameWindow*>(window);
  return !(key == kKeyEnter && w && w->GetId() == kTutorialWindowWarehouse);
}

// Windows' titles pass but the warehouse's; controls pass but the
// warehouse's and the level panel's (whose menu, close-tutorial and task
// buttons always work); level actions need their flag, 105 and 130 are
// their flag's alone; the rest is the base filter's.
bool LevelTutorial::FilterAction(u32 code, uintptr_t param, const void* object) {
  switch (code) {
    case kTutorialActionTitle:
      if (param != kTutorialWindowWarehouse) return true;
      break;
    case kTutorialActionButton:
      if (param != kTutorialWindowWarehouse && param != kTutorialWindowLevelPanel) return true;
      if (param == kTutorialWindowLevelPanel && object) {
        const u32 id = static_cast<const GameButton*>(object)->GetId();
        if (id == kTutorialPanelMenu || id == kTutorialPanelClose || id == kTutorialPanelTask) return true;
      }
      break;
    case kTutorialActionPlayerJob:
      return (GetFlags() & kLevelFlagPlayerJob) != 0;
    case kTutorialActionWaves:
      return (GetFlags() & kLevelFlagWaves) != 0;
    default:
      if (const u32 flag = ActionFlag(code); flag && !(GetFlags() & flag)) return false;
      break;
  }
  return GameTutorial::FilterAction(code, param, object);
}

void LevelTutorial::FillRecord(u8* record) {
  const i32 selected = level_ ? level_->Map().GetSelectedPoint() : -1;
  kis::PutU32LE(record + kRecordSelectedPoint, static_cast<u32>(selected));
}

bool LevelTutorial::LoadRecord(const u8* record, u32 size) {
  if (size < kLevelTutorialRecordSize || !GameTutorial::LoadRecord(record, size)) return false;
  const i32 selected = static_cast<i32>(kis::GetU32LE(record + kRecordSelectedPoint));
  if (!level_) return false;
  level_->Map().Points().SelectPoint(selected, false);
  return level_->Map().GetSelectedPoint() == selected;
}

void LevelTutorial::Update(u32 elapsed) {
  if (level_ && level_->Rules().Locks().IsLockedExcept(kOwnLocks)) return;
  UpdateBase(elapsed);
}

void LevelTutorial::Notify(u32 event, uintptr_t param, const void* object) {
  if (event == kTutorialEventStart) Start();
  GameTutorial::Notify(event, param, object);
}

BaseLevelPoint* LevelTutorial::PointOfKind(i32 index, i32 kind, bool onlySelected) const {
  if (!level_ || (onlySelected && level_->Map().GetSelectedPoint() != index)) return nullptr;
  BaseLevelPoint* point = level_->Map().GetPoint(index);
  return point && (kind == -1 || point->GetKind() == kind) ? point : nullptr;
}

// --- LevelTutorialStep ----------------------------------------------------------------------------------

LevelTutorialStep::LevelTutorialStep(TutorialId id, u32 layerCode, u32 flagsActive, u32 flagsAfter)
    : TutorialStep(id, layerCode), active_(flagsActive), after_(flagsAfter) {}

LevelTutorial* LevelTutorialStep::GetLevelTutorial() const { return dynamic_cast<LevelTutorial*>(GetTutorial()); }

void LevelTutorialStep::Begin() {
  if (GameTutorial* t = GetTutorial()) t->SetFlags(active_);
}

void LevelTutorialStep::End() {
  if (GameTutorial* t = GetTutorial()) t->SetFlags(after_);
}

const wchar* LevelTutorialStep::GetText(const wchar* key) {
  if (key) return TutorialStep::GetText(key);
  char narrow[32];
  std::snprintf(narrow, sizeof narrow, "level_%02u_%d", TutorialNumber(GetId()),
                static_cast<i32>(static_cast<i16>(TutorialStepNumber(GetId()))));
  wchar wide[32] = {};
  for (u32 i = 0; i < sizeof narrow - 1 && narrow[i]; ++i) wide[i] = static_cast<wchar>(narrow[i]);
  return TutorialStep::GetText(wide);
}

bool LevelTutorialStep::CatchesPointAt(i32 x, i32 y) {
  const LevelPanelArea* panel = GetUiServices().levelPanel;
  return !(panel && panel->IsPointOver(x, y));
}

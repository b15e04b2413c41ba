#include "tutorials/MapTutorials.h"

#include <string>
#include <utility>

#include "app/LevelSelectMap.h"
#include "content/GameBonuses.h"
#include "resources/ResourceServices.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "ui/GameButton.h"
#include "ui/WindowManager.h"
#include "windows/LevelWindow.h"
#include "windows/MapInterface.h"

namespace {

constexpr float kMapArrowUp = 270.0f;
constexpr float kMapArrowGap = 4.0f;
constexpr float kMapTextGap = 84.0f;
constexpr float kFirstAngle = 225.0f;
constexpr float kRegimeAngle = 240.0f;
constexpr float kRegimeGap = 10.0f;
constexpr float kRegimeTextGap = 120.0f;
constexpr i32 kHardTextRaise = 80;

// A control event or action of the level window for one of the controls.
bool IsLevelWindowControl(uintptr_t window, const void* object, u32 a, u32 b) {
  if (static_cast<u32>(window) != kTutorialWindowLevelStart || !object) return false;
  const u32 id = static_cast<const GameButton*>(object)->GetId();
  return id == a || id == b;
}

}  // namespace

bool MapScreenCentre(kis::FloatPoint* out, float, float, u32, u32) {
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  out->x = static_cast<float>(screen.width / 2);
  out->y = static_cast<float>(screen.height / 2 - kHardTextRaise);
  return true;
}

// --- First ---------------------------------------------------------------------------------------------

MapTutorialStep_First_1::MapTutorialStep_First_1()
    : MapTutorialStep(kMapTutorialFirstId | 1, kTutorialWindowMap, kMapFlagNodes, 0) {}

void MapTutorialStep_First_1::Build() {
  ArrowAndText(new TutTargetMapLevel(0, kFirstAngle), GetText(nullptr), kMapTextGap, false);
}

bool MapTutorialStep_First_1::AllowAction(u32 code, uintptr_t param, const void*) {
  return code == kTutorialActionMapLevel && param == 0;
}

void MapTutorialStep_First_1::OnEvent(u32 event, uintptr_t param, const void*) {
  if (event == kTutorialEventMapLevel && param == 0 && GetTutorial()) GetTutorial()->Stop();
}

MapTutorial_First::MapTutorial_First() : MapTutorial(kMapTutorialFirstId, u"first") {
  Run((new MapTutorialStep_First_1())->GetId());
}

// --- NewBonus ------------------------------------------------------------------------------------------

MapTutorialStep_Bonus_1::MapTutorialStep_Bonus_1(i32 bonusIndex, TutorialId next)
    : MapTutorialStep(kMapTutorialNewBonusId | 1, kTutorialWindowLevelStart, 0, 0), bonus_(bonusIndex) {
  SetNextStep(next);
}

uintptr_t MapTutorialStep_Bonus_1::GetBonusData() const {
  const GameBonuses* bonuses = GetGameBonuses();
  return bonuses ? reinterpret_cast<uintptr_t>(&bonuses->Get(static_cast<u32>(bonus_))) : 0;
}

// On the slot that shows the new bonus or, with the three slots full of
// others, on "select bonuses", where it is chosen: no slot to point at
// would leave the news unseen.
void MapTutorialStep_Bonus_1::Build() {
  std::u16string key = u"map_bonus_";
  if (const GameBonuses* bonuses = GetGameBonuses()) key += bonuses->Get(static_cast<u32>(bonus_)).name;
  const auto on = [](u32 control, uintptr_t data) {
    return new TutTargetButton(kTutorialWindowLevelStart, control, data, kMapArrowUp, kMapArrowGap);
  };
  TutTargetButton* target = on(kLevelWindowBonus, GetBonusData());
  if (!target->FindControl(nullptr)) {
    TutTargetButton* select = on(kLevelWindowSelectBonuses, 0);
    if (select->FindControl(nullptr)) std::swap(target, select);
    delete select;
  }
  ArrowAndText(target, TutorialStep::GetText(key.c_str()), kMapTextGap, true);
}

MapTutorialStep_Bonus_2::MapTutorialStep_Bonus_2()
    : MapTutorialStep(kMapTutorialNewBonusId | 2, kTutorialWindowLevelStart, kTutorialFlagWindows, 0) {}

void MapTutorialStep_Bonus_2::Build() {
  ArrowAndText(new TutTargetButton(kTutorialWindowLevelStart, kLevelWindowSelectBonuses, 0, kMapArrowUp,
                                   kMapArrowGap),
               TutorialStep::GetText(u"map_select_bonuses"), kMapTextGap, false);
}

bool MapTutorialStep_Bonus_2::AllowAction(u32 code, uintptr_t param, const void* object) {
  return code == kTutorialActionButton &&
         IsLevelWindowControl(param, object, kLevelWindowSelectBonuses, kLevelWindowBonus);
}

void MapTutorialStep_Bonus_2::OnEvent(u32 event, uintptr_t param, const void* object) {
  if (event == kTutorialEventClick &&
      IsLevelWindowControl(param, object, kLevelWindowSelectBonuses, kLevelWindowSelectBonuses) && GetTutorial())
    GetTutorial()->Stop();
}

// An index outside the six bonuses counts as none.
MapTutorial_NewBonus::MapTutorial_NewBonus(i32 bonusIndex, u32 chain)
    : MapTutorial(kMapTutorialNewBonusId, nullptr),
      bonus_(bonusIndex >= 0 && bonusIndex < static_cast<i32>(kBonusCount) ? bonusIndex : -1),
      chain_(chain) {
  TutorialId first = 0;
  if (bonus_ < 0) {
    first = (new MapTutorialStep_Bonus_2())->GetId();
  } else {
    first = (new MapTutorialStep_Bonus_1(bonus_, chain ? kMapTutorialNewBonusId | 2 : 0))->GetId();
    if (chain) new MapTutorialStep_Bonus_2();
  }
  Run(first);
}

// --- Regime and Hard -----------------------------------------------------------------------------------

MapTutorialStep_Regime_2::MapTutorialStep_Regime_2() : MapTutorialStep(kMapTutorialRegimeId | 2, kTutorialWindowMap) {}

void MapTutorialStep_Regime_2::Build() {
  ArrowAndText(new TutTargetButton(kTutorialWindowMap, kMapRegimeCommand, 0, kRegimeAngle, kRegimeGap),
               TutorialStep::GetText(u"map_regime"), kRegimeTextGap, true);
}

MapTutorial_Regime::MapTutorial_Regime() : MapTutorial(kMapTutorialRegimeId, u"regime") {
  Run((new MapTutorialStep_Regime_2())->GetId());
}

MapTutorialStep_Hard::MapTutorialStep_Hard() : MapTutorialStep(kMapTutorialHardId | 1, kTutorialWindowMap) {}

void MapTutorialStep_Hard::Build() {
  Text(GetText(nullptr), new TutTargetCustom(&MapScreenCentre, 0, 0.0f, 0.0f, 0), false, true, 0.0f, true);
}

MapTutorial_Hard::MapTutorial_Hard() : MapTutorial(kMapTutorialHardId, u"hard_regime") {
  Run((new MapTutorialStep_Hard())->GetId());
}

// --- VillainsAttack ------------------------------------------------------------------------------------

MapTutorialStep_VillainsAttack::MapTutorialStep_VillainsAttack()
    : MapTutorialStep(kMapTutorialVillainsId | 1, kTutorialWindowMap) {}

void MapTutorialStep_VillainsAttack::Begin() { timer_.Start(kClickDelay); }

// The clock and the attack's end wait while a modal window is open.
void MapTutorialStep_VillainsAttack::OnFrame(u32 elapsed) {
  const WindowManager* windows = GetWindowManager();
  if (windows && windows->GetModalCount() > 0) return;
  if (timer_.Tick(elapsed) && !catching_ && GetLayer()) {
    catching_ = true;
    GetLayer()->CatchClicks();
  }
  const LevelSelectMap* map = GetLevelSelectMap();
  if (map && !map->HasVillains()) RestoreMap(false);
}

void MapTutorialStep_VillainsAttack::OnLayerClicked() {
  GameTutorial* tutorial = GetTutorial();
  Finish();
  if (tutorial && tutorial->GetState() < kTutorialFinished) RestoreMap(true);
}

// The map's nodes back to the profile's states (at once: the villains
// gone too); the scene's tutorial ends with it.
void MapTutorialStep_VillainsAttack::RestoreMap(bool atOnce) {
  if (LevelSelectMap* map = GetLevelSelectMap()) map->RefreshLevels(atOnce);
  if (GameTutorial* tutorial = GetTutorial()) tutorial->Stop();
}

MapTutorial_VillainsAttack::MapTutorial_VillainsAttack() : MapTutorial(kMapTutorialVillainsId, nullptr) {
  SetDelay(0);
  Run((new MapTutorialStep_VillainsAttack())->GetId());
}

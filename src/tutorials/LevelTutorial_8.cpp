#include "tutorials/LevelTutorial_8.h"

#include "content/GameBonuses.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPoint.h"
#include "level/objects/LevelVillainCast.h"
#include "level/objects/MapVillain.h"
#include "level/rules/LevelBonuses.h"
#include "level/rules/LevelRules.h"
#include "level/scene/GameLevel.h"
#include "tutorials/LevelTutorialScript.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialInfo.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "ui/GameButton.h"
#include "windows/LevelPanel.h"

namespace {

constexpr TutorialId Step8(u32 n) { return kTutorialLevelBit | kLevelTutorial8 | n; }
constexpr u32 kPanel8 = kTutorialWindowLevelPanel;
constexpr u32 kRemovePlants = 0xC9000002u;
constexpr u32 kItemPoint = 0x100000Au;
constexpr i32 kRemovedPoint = 6;

// The bees' bonus button carries the bees' bonus record as its data.
uintptr_t BeesButtonData() {
  const GameBonuses* bonuses = GetGameBonuses();
  return bonuses ? reinterpret_cast<uintptr_t>(&bonuses->Get(kBeesBonus)) : 0;
}

LevelVillainCast* VillainCast(GameLevel* level) {
  return level ? dynamic_cast<LevelVillainCast*>(level->Hooks().villains) : nullptr;
}

ScriptStep* Make8(u32 n, u32 active, u32 after) {
  return new ScriptStep(Step8(n), kPanel8, active, after, n < 4 ? Step8(n + 1) : 0);
}

void ClickCentre8(ScriptStep& s) {
  s.build = [](ScriptStep& st) {
    st.Text(new TutTargetCustom(LevelScreenCentre, 0, kAngleDown, 0.0f, 0), true, 160.0f, true);
  };
}

// The selected bed of point 6 with its removal ordered already: the job
// that works on the point itself (a watering or a harvest linked to the
// bed is not one, and the remove button must still be let through then).
bool RemovalOrdered(ScriptStep& st) {
  LevelTutorial* t = st.GetLevelTutorial();
  auto* p = dynamic_cast<LevelPoint*>(t ? t->PointOfKind(kRemovedPoint, kPointKindPlant, true) : nullptr);
  return p && p->GetCurrentJob();
}

}  // namespace

// --- The bees ----------------------------------------------------------------------------------------------

LevelTutorialStep_BonusBees_1::LevelTutorialStep_BonusBees_1(TutorialId next)
    : LevelTutorialStep(kTutorialLevelBit | kLevelTutorialBonusBees | 1, kPanel8, 0x1002000, 0x1000) {
  SetNextStep(next);
}

bool LevelTutorialStep_BonusBees_1::BeesReady() const {
  LevelTutorial* t = GetLevelTutorial();
  GameLevel* level = t ? t->GetLevel() : nullptr;
  return level && level->Rules().Bonuses().GetSlot(kBeesBonus).available != 0;
}

bool LevelTutorialStep_BonusBees_1::CanStart() {
  LevelTutorial* t = GetLevelTutorial();
  if (!t) return false;
  if (!BeesReady()) {
    t->StartStep(GetNextStep());  // no bees in this level: the lesson at once
    return false;
  }
  LevelVillainCast* cast = VillainCast(t->GetLevel());
  if (cast)
    for (MapVillain* v : cast->GetVillains())
      if (v->GetState() == kVillainAttacking) return true;
  if (!waiting_) {
    waiting_ = 1;
    t->SetFlags(kLevelFlagWaves);
    if (!cast || cast->GetVillains().empty()) t->GetLevel()->Rules().Waves().SetTimeToNext(0);
  }
  return false;
}

void LevelTutorialStep_BonusBees_1::Build() {
  TutorialLayer* layer = GetLayer();
  LevelTutorial* t = GetLevelTutorial();
  if (!layer || !t) return;
  auto* arrow = new LevelTutorialArrow(layer, 0, t->GetLevel(), 0);
  SetArrowTarget(arrow, new TutTargetButton(kPanel8, kCommandBonus, BeesButtonData(), kAngleUp, kArrowGap));
  auto* info = new TutorialInfoText(layer, GetText(nullptr), false, 0, 0);
  SetInfoSharedTarget(info, arrow->GetTarget(), false, kTextGap);
}

bool LevelTutorialStep_BonusBees_1::AllowAction(u32 code, uintptr_t param, const void* object) {
  const auto* b = static_cast<const GameButton*>(object);
  LevelTutorial* t = GetLevelTutorial();
  return code == kTutorialActionButton && param == kPanel8 && b && b->GetId() == kCommandBonus &&
         b->GetData() == BeesButtonData() && t && !t->GetLevel()->Rules().Bonuses().IsActive(kBeesBonus);
}

void LevelTutorialStep_BonusBees_1::OnEvent(u32 event, uintptr_t param, const void* object) {
  const auto* b = static_cast<const GameButton*>(object);
  if (event != kTutorialEventClick || param != kPanel8 || !b || b->GetId() != kCommandBonus ||
      b->GetData() != BeesButtonData())
    return;
  GameTutorial* t = GetTutorial();
  Finish();
  if (t) t->SetDelay(kBeesFollowDelay);
}

// --- The tutorial ------------------------------------------------------------------------------------------

LevelTutorial_8::LevelTutorial_8(GameLevel* level) : LevelTutorial(kLevelTutorial8, level) {
  new LevelTutorialStep_BonusBees_1(Step8(1));

  ClickCentre8(*Make8(1, 0x1000, 0x1000));
  ScriptSelectPoint(*Make8(2, 0x1004, 0x1000), kRemovedPoint);

  // The remove command of the bed's panel; the removed plant leaves an
  // empty place (event 0x80000003 with kind 0).
  ScriptStep* s = Make8(3, 0x1001000, 0x1000);
  s->beginFlags = [](ScriptStep& st) { return RemovalOrdered(st) ? 0x100u : st.GetFlagsActive(); };
  s->build = [](ScriptStep& st) {
    if (RemovalOrdered(st)) return;
    BasePointPlant* bed = ScriptBed(st, kRemovedPoint);
    ScriptArrowAndText(st, new TutTargetButton(kPanel8, kRemovePlants, 0, kAngleUp, kArrowGap), 0, false, kItemPoint,
                       reinterpret_cast<uintptr_t>(bed));
  };
  s->allow = [](ScriptStep&, u32 code, uintptr_t param, const void* object) {
    return code == kTutorialActionButton && ScriptIsButton(static_cast<u32>(param), object, kPanel8, kRemovePlants);
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    if (code == kTutorialEventPointChanged && param == static_cast<uintptr_t>(kPointKindEmpty)) {
      st.Finish();
    } else if (code == kTutorialEventClick && ScriptIsButton(static_cast<u32>(param), object, kPanel8, kRemovePlants)) {
      st.HideLayer();
      st.SetFlags(kLevelFlagPlayerJob);
    }
  };

  ClickCentre8(*Make8(4, 0x1000, 0x1000));
  SetFirstStep(kTutorialLevelBit | kLevelTutorialBonusBees | 1);
}

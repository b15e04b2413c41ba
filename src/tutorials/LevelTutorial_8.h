// LevelTutorial_8 - the eighth level's tutorial (0x80080000): first the
// bees bonus against the villains (LevelTutorialStep_BonusBees_1, shown
// when the level has the bees and a villain is at work; without the bees
// it hands over at once), then a building lesson: a click, the plant bed
// of point 6 selected, its plants removed (the remove command of the
// panel), a last click.
#pragma once

#include "tutorials/LevelTutorial.h"

constexpr TutorialId kLevelTutorial8 = 0x00080000u;
constexpr TutorialId kLevelTutorialBonusBees = 0x00330000u;
constexpr u32 kBeesBonus = 0;             // the bonus (and its panel slot) of the bees
constexpr u32 kBeesFollowDelay = 2200;    // ms after the bees flew before 8_1

class LevelTutorial_8 : public LevelTutorial {
 public:
  explicit LevelTutorial_8(GameLevel* level);
};

// The bees' bonus button, while a villain attacks. Its CanStart hands over
// to 8_1 in a level without the bees; while no villain attacks yet it lets
// the waves run (flags 0x80) and, when no villain exists at all, brings
// the next wave at once.
class LevelTutorialStep_BonusBees_1 : public LevelTutorialStep {
 public:
  explicit LevelTutorialStep_BonusBees_1(TutorialId next);
  void Build() override;
  bool CanStart() override;
  bool AllowAction(u32 code, uintptr_t param, const void* object) override;
  void OnEvent(u32 event, uintptr_t param, const void* object) override;
  const wchar* GetText(const wchar* key) override { return LevelTutorialStep::GetText(key ? key : u"level_bonus_bees_1"); }

 private:
  bool BeesReady() const;
  u32 waiting_ = 0;  // the waves let run once
};

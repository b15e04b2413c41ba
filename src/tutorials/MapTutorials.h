// The map's tutorials (MapTutorial): each builds its steps and starts on
// construction, becoming the current tutorial.
//
//   First          "first"        an arrow on level 1's node; ends when it is chosen
//   NewBonus       (no name)      the new bonus's slot in the level window
//                                 ("select bonuses" when no slot shows it),
//                                 then (chained, or alone for no bonus) the
//                                 "select bonuses" button, ending when pressed
//   Regime         "regime"       the regime button, until a click
//   Hard           "hard_regime"  a text in the middle of the map, until a click
//   VillainsAttack (no name)      nothing shown; after 400 ms (counted while no
//                                 modal window is open) a click brings the map
//                                 back, and so does the attack's end
#pragma once

#include "base/Maths.h"
#include "tutorials/MapTutorial.h"

class MapTutorialStep_First_1 : public MapTutorialStep {
 public:
  MapTutorialStep_First_1();
  void Build() override;
  bool AllowAction(u32 code, uintptr_t param, const void* object) override;
  void OnEvent(u32 event, uintptr_t param, const void* object) override;
};

class MapTutorialStep_Bonus_1 : public MapTutorialStep {
 public:
  MapTutorialStep_Bonus_1(i32 bonusIndex, TutorialId next);
  void Build() override;
  // The slot's data: the bonus's record (0 without the bonus table).
  uintptr_t GetBonusData() const;

 private:
  i32 bonus_;
};

class MapTutorialStep_Bonus_2 : public MapTutorialStep {
 public:
  MapTutorialStep_Bonus_2();
  void Build() override;
  bool AllowAction(u32 code, uintptr_t param, const void* object) override;
  void OnEvent(u32 event, uintptr_t param, const void* object) override;
};

class MapTutorialStep_Regime_2 : public MapTutorialStep {
 public:
  MapTutorialStep_Regime_2();
  void Build() override;
};

class MapTutorialStep_Hard : public MapTutorialStep {
 public:
  MapTutorialStep_Hard();
  void Build() override;
};

class MapTutorialStep_VillainsAttack : public MapTutorialStep {
 public:
  static constexpr u32 kClickDelay = 400;
  MapTutorialStep_VillainsAttack();
  void Begin() override;
  void End() override {}
  void OnFrame(u32 elapsed) override;
  void OnLayerClicked() override;
  bool CatchesUnseen() const override { return true; }  // the attack on the map
  const TutorialTimer& GetTimer() const { return timer_; }

 private:
  void RestoreMap(bool atOnce);
  TutorialTimer timer_;
  bool catching_ = false;
};

class MapTutorial_First : public MapTutorial {
 public:
  MapTutorial_First();
};

class MapTutorial_NewBonus : public MapTutorial {
 public:
  // bonusIndex -1: no new bonus (only the "select bonuses" step).
  MapTutorial_NewBonus(i32 bonusIndex, u32 chain);
  i32 GetBonusIndex() const { return bonus_; }
  u32 GetChain() const { return chain_; }

 private:
  i32 bonus_;
  u32 chain_;
};

class MapTutorial_Regime : public MapTutorial {
 public:
  MapTutorial_Regime();
};

class MapTutorial_Hard : public MapTutorial {
 public:
  MapTutorial_Hard();
};

class MapTutorial_VillainsAttack : public MapTutorial {
 public:
  MapTutorial_VillainsAttack();
};

// The map screen's centre, 80 pixels up: (width / 2, height / 2 - 80).
bool MapScreenCentre(kis::FloatPoint* out, float angle, float distance, u32 argument, u32 extra);

// LevelInterface - the game windows around a running level as the level
// reaches them: the level panel (made and deleted with the level, its task
// and bonus buttons following the rules, its time bar following the level
// clock), the child panels an empty place or a built point opens and the
// panel's own empty panel, the in-level menu, the intro window, and the way back to the level
// map (with a comic first after some levels). The game windows' level
// panel host (LevelPanelHost) implements it; the scene hands the one host
// to its rules (LevelHooks::panel) and its map (LevelMapHooks::panels).
#pragma once

#include "base/Types.h"

struct BONUSSLOT;
class EmptyLevelPoint;
class LevelMap;
class LevelPoint;
class WindowSprites;

// Panel ids of the empty place.
constexpr u32 kPanelGarbage = 0x8000000u;
constexpr u32 kPanelEmptyPlace = 0x8000001u;
constexpr u32 kPanelPlants = 0x8000002u;
constexpr u32 kPanelFactories = 0x8000003u;
constexpr u32 kPanelPets = 0x8000004u;
// Panel kinds of the built points.
constexpr u32 kPanelFactory = 0x1001u;
constexpr u32 kPanelAnimalHouse = 0x1002u;
constexpr u32 kPanelPlant = 0x10000u;  // plant beds and trees

class LevelInterface {
 public:
  virtual ~LevelInterface() = default;

  // --- The panel ---------------------------------------------------------------------------
  virtual void CreatePanel(LevelMap& map) = 0;  // for the level of the map, when there is none
  virtual void DeletePanel() = 0;  // the level's message and award notices go with it
  virtual void CreateBonusButtons() = 0;
  // Task `index` (-1: every task) changed by delta.
  virtual void UpdateTaskButtons(i32 index, i32 delta, bool animate) = 0;
  // The slot's button shows its state: active, charging or ready, and the
  // remaining fraction.
  virtual void UpdateBonusButton(u32 slot, const BONUSSLOT& state, bool animate) = 0;
  // The time bar: whether it runs, its time moving on by d ms, its start at
  // the panel's present time, showing it (without animation on entry), and
  // following the level clock.
  virtual bool IsTimeBarRunning() const = 0;
  virtual void AdvanceTimeBar(u32 d) = 0;
  virtual void StartTimeBar() = 0;
  virtual void ShowTimeBar(bool animate) = 0;
  virtual void UpdateTimeBar(bool animate) = 0;

  // --- The empty places' panels --------------------------------------------------------------
  // Finds (or makes) the child panel of the id, binds it to the place and
  // shows it; null when there is none.
  virtual WindowSprites* OpenPanel(u32 id, EmptyLevelPoint* place) = 0;
  virtual void HidePanel(WindowSprites* panel) = 0;
  virtual void ShowEmptyPanel() = 0;  // no point is selected

  // --- The built points' panels -----------------------------------------------------------------
  // Shows the child panel of the kind (kPanelFactory, kPanelAnimalHouse,
  // kPanelPlant)
  // for the point; null when there is none.
  virtual WindowSprites* ShowPointPanel(u32 kind, LevelPoint* point) = 0;
  // The point's panel buttons (upgrade, remove) follow its state.
  virtual void RefreshPointPanel(LevelPoint* point) = 0;
  // The point's panel hides, when it shows that point (it was deselected).
  virtual void HidePointPanel(LevelPoint* /*point*/) {}

  // --- The other windows ------------------------------------------------------------------------
  virtual void OpenMenu(bool fromKey) = 0;  // unless one is open and not closing
  virtual void OpenIntro() = 0;             // the level's intro texts
  virtual void DeleteLevelWindows() = 0;    // warehouse window, menu and the rest the level keeps
  // Back to the level map; comic 1 to 3 first (0: none).
  virtual void ExitToMap(u32 comic) = 0;
  // The lose dialog answered with a restart: the level window for the same level.
  virtual void OfferRestart() = 0;
};

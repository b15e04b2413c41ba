// PointPanels - the level panel's child panels that an empty place opens
// when it is selected (the garbage panel, the empty-place panel and the
// three build panels), and the level panel's own empty panel shown when no
// point is selected. The game windows implement it (issue 39, L7); tests
// record the calls.
#pragma once

#include "base/Types.h"

class ChildLevelPanel;
class EmptyLevelPoint;

// Panel ids of the empty place.
constexpr u32 kPanelGarbage = 0x8000000u;
constexpr u32 kPanelEmptyPlace = 0x8000001u;
constexpr u32 kPanelPlants = 0x8000002u;
constexpr u32 kPanelFactories = 0x8000003u;
constexpr u32 kPanelPets = 0x8000004u;

class PointPanels {
 public:
  virtual ~PointPanels() = default;
  // Finds (or makes) the panel of the id, binds it to the place and shows
  // it; null when there is none.
  virtual ChildLevelPanel* OpenPanel(u32 id, EmptyLevelPoint* place) = 0;
  virtual void HidePanel(ChildLevelPanel* panel) = 0;
  virtual void ShowEmptyPanel() = 0;
};

#include "windows/PointPanelRouter.h"

#include "engine/Require.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/PointFactory.h"
#include "level/objects/PointPetshouse.h"
#include "level/scene/LevelInterface.h"
#include "windows/LevelPanel.h"
#include "windows/PointPanels.h"

namespace {

// The page of the kind for a point of its class (made on first use). The
// point classes ask for their own kind: any other pairing is a fault of
// the game's code, not of a file or a player.
PointPanel* PageFor(LevelPanel& panel, u32 kind, LevelPoint* point) {
  const auto found = [&](ChildPanelKind k) { return dynamic_cast<PointPanel*>(panel.FindChildPanel(k)); };
  switch (kind) {
    case kPanelFactory:
      if (!RequireThat(dynamic_cast<PointFactory*>(point) != nullptr, "a factory point for the factory panel")) return nullptr;
      if (PointPanel* page = found(kPanelKindFactory)) return page;
      return new FactoryPanel(panel);
    case kPanelAnimalHouse:
      if (!RequireThat(dynamic_cast<PointPetshouse*>(point) != nullptr, "an animal house point for its panel")) return nullptr;
      if (PointPanel* page = found(kPanelKindAnimalHouse)) return page;
      return new PetshousePanel(panel);
    case kPanelPlant:
      if (!RequireThat(dynamic_cast<BasePointPlant*>(point) != nullptr, "a plant point for the plant panel")) return nullptr;
      if (PointPanel* page = found(kPanelKindPlant)) return page;
      return new PlantPanel(panel);
    default:
      RequireThat(false, "a point panel's kind known");
      return nullptr;
  }
}

}  // namespace

ChildLevelPanel* PointPanelRouter::Show(LevelPanel& panel, u32 kind, LevelPoint* point) {
  PointPanel* page = point ? PageFor(panel, kind, point) : nullptr;
  if (!page) return nullptr;
  page->SetPoint(point);
  page->Show();
  return page;
}

namespace {

PointPanel* ShownFor(LevelPanel& panel, const LevelPoint* point) {
  auto* page = dynamic_cast<PointPanel*>(panel.GetCurrentChild());
  return point && page && page->IsShown() && page->GetPoint() == point ? page : nullptr;
}

}  // namespace

void PointPanelRouter::Refresh(LevelPanel& panel, LevelPoint* point) {
  if (PointPanel* page = ShownFor(panel, point)) page->Refresh();
}

void PointPanelRouter::Hide(LevelPanel& panel, LevelPoint* point) {
  if (PointPanel* page = ShownFor(panel, point)) page->Hide();
}

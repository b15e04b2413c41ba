#include "windows/PointPanelRouter.h"

#include "level/objects/BasePointPlant.h"
#include "level/objects/PointFactory.h"
#include "level/objects/PointPetshouse.h"
#include "level/scene/LevelInterface.h"
#include "windows/LevelPanel.h"
#include "windows/PointPanels.h"

namespace {

// The page of the kind for a point of its class (made on first use).
PointPanel* PageFor(LevelPanel& panel, u32 kind, LevelPoint* point) {
  const auto found = [&](ChildPanelKind k) { return dynamic_cast<PointPanel*>(panel.FindChildPanel(k)); };
  switch (kind) {
    case kPanelFactory:
      if (!dynamic_cast<PointFactory*>(point)) return nullptr;
      if (PointPanel* page = found(kPanelKindFactory)) return page;
      return new FactoryPanel(panel);
    case kPanelAnimalHouse:
      if (!dynamic_cast<PointPetshouse*>(point)) return nullptr;
      if (PointPanel* page = found(kPanelKindAnimalHouse)) return page;
      return new PetshousePanel(panel);
    case kPanelPlant:
      if (!dynamic_cast<BasePointPlant*>(point)) return nullptr;
      if (PointPanel* page = found(kPanelKindPlant)) return page;
      return new PlantPanel(panel);
    default:
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

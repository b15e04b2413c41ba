#include "windows/PointPanels.h"

#include <algorithm>

#include "content/BuildingTable.h"
#include "content/PlantTable.h"
#include "level/map/LevelMap.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/Job_Build.h"
#include "level/objects/PlantJobs.h"
#include "level/objects/PointBuilding.h"
#include "level/objects/PointFactory.h"
#include "level/objects/PointPetshouse.h"
#include "level/rules/LevelRules.h"
#include "resources/ResourceServices.h"
#include "ui/CaptionHintWindow.h"
#include "ui/HIText.h"
#include "windows/CLPLevelBlock.h"
#include "windows/LevelPanel.h"
#include "windows/PanelSkins.h"

namespace {

// The highest level a building may reach here: the level's limit, and
// never past the kind's level records.
i32 BuildingLimit(const BUILDING* b) { return b ? std::min(b->levelLimit, b->levelCount) : 0; }
i32 PlantLimit(const PLANT* p) { return p ? std::min(p->levelLimit, static_cast<i32>(sizeof(PLANT::prices) / sizeof(PLANT::prices[0]))) : 0; }

}  // namespace

// --- PointPanel --------------------------------------------------------------------------------

PointPanel::PointPanel(LevelPanel& owner) : ChildLevelPanel(owner) {
  CreateLevelBlock();  // in the group
  CreateRemoveButton(nullptr);
}

void PointPanel::SetPoint(LevelPoint* point) {
  point_ = point;
  if (removeButton_) removeButton_->SetData(reinterpret_cast<uintptr_t>(point));
  if (!point) return;
  Refresh();
}

void PointPanel::Arrange() {
  BuildBackground(0, 0);  // the paper (486, 1, 4, 91) across the width plus 2
  const i32 left = GetLeftMargin();
  if (levelBlock_) levelBlock_->PlaceAt(left + kPointPanelBlockX);
  if (removeButton_) removeButton_->PlaceAt(width_ - GetRightMargin() - kPointPanelRemoveFromRight);
  for (LevelPanelButton* b : Buttons(0))
    if (b != removeButton_) b->PlaceAt(left + rowX_);
  for (LevelPanelButton* b : Buttons(1))
    if (b != removeButton_) b->PlaceAt(left + rowX_);
}

void PointPanel::Refresh() {
  if (!point_) return;
  RefreshLevelBlock();
  RefreshUpgradeButton();
  RefreshOwnButtons();
  RefreshRemoveButton();
}

void PointPanel::Draw() {
  if (point_) {
    RefreshUpgradeButton();
    RefreshOwnButtons();
    RefreshRemoveButton();
  }
  ChildLevelPanel::Draw();
}

void PointPanel::RefreshUpgradeButton() {
  if (!upgrade_) return;
  upgrade_->SetProduct(point_ ? UpgradePrice() : 0, nullptr);
  upgrade_->SetEnabled(point_ && CanUpgrade());
}

u32 PointPanel::OnCommand(GameButton* button) {
  if (button && button->GetId() == kPanelUpgrade) {
    // The button's own test again: a command may come while it would be
    // disabled, and at the limit its price of 0 would pass any money test.
    if (point_ && CanUpgrade() && HasMoneyFor(UpgradePrice())) StartUpgrade();
    if (point_) Refresh();
    return kCommandNothing;
  }
  const u32 result = ChildLevelPanel::OnCommand(button);
  if (shown_ && point_) RefreshRemoveButton();
  return result;
}

bool PointPanel::HasMoneyFor(i32 price) const {
  LevelRules* rules = owner_ ? owner_->GetRules() : nullptr;
  return rules && rules->Money().HasAtLeast(price);
}

void PointPanel::ShowLevelBlock(i32 levels, i32 level, Sprite* picture, const wchar* hint, uintptr_t kind,
                                uintptr_t data) {
  if (!levelBlock_) return;
  levelBlock_->SetLevel(levels, level, picture);
  if (!hintMade_) {
    levelBlock_->CreateHint(hint, kind, data);
    hintMade_ = true;
  } else {
    levelBlock_->SetHintData(data);
  }
}

// --- BuildingPanel -----------------------------------------------------------------------------

PointBuilding* BuildingPanel::GetBuilding() const { return static_cast<PointBuilding*>(point_); }

void BuildingPanel::RefreshLevelBlock() {
  const PointBuilding* point = GetBuilding();
  const BUILDING* b = point ? point->GetBuilding() : nullptr;
  if (!b) return;
  const i32 record = std::max(point->GetLevel(), 1) - 1;
  Sprite* icon = record < b->levelCount ? b->levels[record].icon : nullptr;
  ShowLevelBlock(b->levelLimit, point->GetLevel(), icon, u"[MBLDNG N]", kHintBuildingPoint,
                 reinterpret_cast<uintptr_t>(point_));
}

i32 BuildingPanel::UpgradePrice() const {
  const PointBuilding* point = GetBuilding();
  const BUILDING* b = point ? point->GetBuilding() : nullptr;
  const i32 next = point ? std::max(point->GetLevel(), 1) : 0;
  return b && next < BuildingLimit(b) ? b->levels[next].price : 0;
}

bool BuildingPanel::CanUpgrade() const {
  const PointBuilding* point = GetBuilding();
  if (!point || point->HasDamage() || point->IsBeingBuilt() || point->GetBuildJob()) return false;
  return point->GetLevel() > 0 && std::max(point->GetLevel(), 1) < BuildingLimit(point->GetBuilding());
}

void BuildingPanel::StartUpgrade() {
  if (PointBuilding* point = GetBuilding()) Job_Build::Create(*point);
}

// --- FactoryPanel ------------------------------------------------------------------------------

FactoryPanel::FactoryPanel(LevelPanel& owner) : BuildingPanel(owner) {
  kind_ = kPanelKindFactory;
  ButtonRowLayout row;
  SplitRowIntoCells(&row, kPointPanelRowWidth, 1);
  upgrade_ = CreateUpgradeButton(row, 0);
}

PointFactory* FactoryPanel::GetFactory() const { return static_cast<PointFactory*>(point_); }

// --- PetshousePanel ----------------------------------------------------------------------------

PetshousePanel::PetshousePanel(LevelPanel& owner) : BuildingPanel(owner) {
  kind_ = kPanelKindAnimalHouse;
  rowX_ = kPetsPanelRowX;
  ButtonRowLayout row;
  SplitRowIntoCells(&row, kPetsPanelRowWidth, 2);
  feed_ = CreateButton(row, 0, kPanelFeed, u"ico_empty", 0, nullptr);
  const DXLRECT anchor{0, 0, 0, 0};
  new CaptionHintWindow(feed_, PanelText(u"feed"), false, PanelText(u"feed_hint"), 0, 0, &anchor, 1, 0, 0);
  upgrade_ = CreateUpgradeButton(row, 1);
}

PointPetshouse* PetshousePanel::GetHouse() const { return static_cast<PointPetshouse*>(point_); }

void PetshousePanel::SetPoint(LevelPoint* point) {
  const auto* house = static_cast<PointPetshouse*>(point);
  if (house && house->GetBuilding() && feed_) feed_->ChangeIcon(house->GetBuilding()->feedIcon);
  BuildingPanel::SetPoint(point);
}

void PetshousePanel::Refresh() {
  BuildingPanel::Refresh();
  if (!point_ || !feed_) return;
  // The hint's body is read again: the language may have changed.
  if (auto* hint = static_cast<CaptionHintWindow*>(feed_->GetHintWindow()); hint && hint->GetBody())
    hint->GetBody()->SetText(PanelText(u"feed_hint"), GetResourceServices().itemDescription);
}

bool PetshousePanel::CanFeed() const {
  const PointPetshouse* house = GetHouse();
  return house && house->GetLevel() > 0 && !house->HasDamage() && !house->IsFedFlag() && !house->GetFeedJob() &&
         !house->GetBuildJob();
}

void PetshousePanel::RefreshOwnButtons() {
  const PointPetshouse* house = GetHouse();
  if (!feed_ || !house) return;
  const BUILDING* b = house->GetBuilding();
  const i32 record = std::max(house->GetLevel() - 1, 0);
  const i32 amount = b && record < b->levelCount ? static_cast<i32>(b->levels[record].house.feedAmount) : 0;
  feed_->SetProduct(amount, b ? b->feedProduct : nullptr);
  feed_->SetEnabled(CanFeed());
}

u32 PetshousePanel::OnCommand(GameButton* button) {
  if (button && button->GetId() == kPanelFeed) {
    // Feed takes the feed from stock; fed already or feeding, it would be wasted.
    if (CanFeed()) GetHouse()->Feed();
    if (point_) Refresh();
    return kCommandNothing;
  }
  return BuildingPanel::OnCommand(button);
}

// --- PlantPanel --------------------------------------------------------------------------------

PlantPanel::PlantPanel(LevelPanel& owner) : PointPanel(owner) {
  kind_ = kPanelKindPlant;
  ButtonRowLayout row;
  SplitRowIntoCells(&row, kPointPanelRowWidth, 1);
  upgrade_ = CreateUpgradeButton(row, 0);
}

BasePointPlant* PlantPanel::GetPlantPoint() const { return static_cast<BasePointPlant*>(point_); }

void PlantPanel::RefreshLevelBlock() {
  const BasePointPlant* point = GetPlantPoint();
  PLANT* plant = point ? point->GetPlant() : nullptr;
  if (!plant) return;
  ShowLevelBlock(plant->levelLimit, point->GetLevel(), plant->picture, u"[PLANT N]", kHintPlant,
                 reinterpret_cast<uintptr_t>(plant));
}

i32 PlantPanel::UpgradePrice() const {
  const BasePointPlant* point = GetPlantPoint();
  const PLANT* plant = point ? point->GetPlant() : nullptr;
  const i32 next = point ? std::max(point->GetLevel(), 1) : 0;
  return plant && next < PlantLimit(plant) ? plant->prices[next] : 0;
}

bool PlantPanel::CanUpgrade() const {
  const BasePointPlant* point = GetPlantPoint();
  if (!point || point->HasDamage() || point->GetPlantJob()) return false;
  return point->GetLevel() >= 1 && std::max(point->GetLevel(), 1) < PlantLimit(point->GetPlant());
}

void PlantPanel::StartUpgrade() {
  if (BasePointPlant* point = GetPlantPoint()) Job_Plant::Create(*point);
}

// PointPanels - the level-panel pages of the built points: BuildingPanel
// (a building's level block, upgrade and remove buttons), FactoryPanel
// (kind 0x1001) and PetshousePanel (kind 0x1002, with the feed button)
// over it, and PlantPanel (kind 0x10000) of the plant beds and trees.
//
// Every page lays its paper across the panel, the level block at the left
// margin plus 42 and the remove button at the width minus the right margin
// minus 90; the upgrade button stands in a row of its own (factory: one
// cell of 98 at the left margin plus 196; animal house: the feed button and
// it in two cells over 147 at plus 171; plant bed: one cell of 98 at plus
// 196).
//
// The upgrade button shows the price of the next level and is enabled
// only while the next level is allowed and the point is idle (no damage, no
// build job); its command tests the same again before it queues the job,
// so a command sent while the button would be disabled (at the level limit
// the price reads 0) does nothing. The feed command likewise.
//
// A page keeps the point it shows only while it is shown; its buttons
// follow the point on RefreshPointPanel, on every command and every frame
// it draws.
#pragma once

#include "base/Types.h"
#include "windows/ChildLevelPanel.h"

class BasePointPlant;
class LevelPoint;
class PointBuilding;
class PointFactory;
class PointPetshouse;
class Sprite;

constexpr ChildPanelKind kPanelKindFactory = 0x1001;
constexpr ChildPanelKind kPanelKindAnimalHouse = 0x1002;
constexpr ChildPanelKind kPanelKindPlant = 0x10000;

// The feed command of the animal houses' page.
constexpr u32 kPanelFeed = 0xc9000004u;

// Hint kinds of the item-description mark-up: a building point, a plant.
constexpr uintptr_t kHintBuildingPoint = 0x1000001u;
constexpr uintptr_t kHintPlant = 0x1000002u;

// Offsets from the left margin, and of the remove button from the right.
constexpr i32 kPointPanelBlockX = 42;
constexpr i32 kPointPanelRowX = 196;
constexpr i32 kPetsPanelRowX = 171;
constexpr i32 kPointPanelRemoveFromRight = 90;
constexpr i32 kPointPanelRowWidth = 98;
constexpr i32 kPetsPanelRowWidth = 147;

// What the pages share: the shown point, its level block, the upgrade and
// remove buttons and the upgrade command.
class PointPanel : public ChildLevelPanel {
 public:
  explicit PointPanel(LevelPanel& owner);

  // Binds the page, its level block and remove button to the point and
  // refreshes them (null unbinds).
  virtual void SetPoint(LevelPoint* point);
  LevelPoint* GetPoint() const { return point_; }

  void Arrange() override;
  void Refresh() override;  // the level block and the buttons
  void Draw() override;     // the buttons follow the point first
  u32 OnCommand(GameButton* button) override;
  void OnHidden() override { SetPoint(nullptr); }

  // The button's price and enabling.
  virtual void RefreshUpgradeButton();
  virtual void RefreshLevelBlock() = 0;
  // The next level's price (0 at the level limit) and whether it may be ordered now.
  virtual i32 UpgradePrice() const = 0;
  virtual bool CanUpgrade() const = 0;
  LevelPanelButton* GetUpgradeButton() const { return upgrade_; }
  i32 GetRowX() const { return rowX_; }

 protected:
  virtual void StartUpgrade() = 0;
  // The other buttons of the page follow the point.
  virtual void RefreshOwnButtons() {}
  // The level block's levels, level and picture, and its hint (made once,
  // later only its data changes).
  void ShowLevelBlock(i32 levels, i32 level, Sprite* picture, const wchar* hint, uintptr_t kind, uintptr_t data);
  bool HasMoneyFor(i32 price) const;

  LevelPoint* point_ = nullptr;
  LevelPanelButton* upgrade_ = nullptr;
  i32 rowX_ = kPointPanelRowX;

 private:
  bool hintMade_ = false;
};

class BuildingPanel : public PointPanel {
 public:
  using PointPanel::PointPanel;
  PointBuilding* GetBuilding() const;

  void RefreshLevelBlock() override;
  i32 UpgradePrice() const override;
  bool CanUpgrade() const override;

 protected:
  void StartUpgrade() override;
};

class FactoryPanel : public BuildingPanel {
 public:
  explicit FactoryPanel(LevelPanel& owner);
  PointFactory* GetFactory() const;
};

class PetshousePanel : public BuildingPanel {
 public:
  explicit PetshousePanel(LevelPanel& owner);
  void SetPoint(LevelPoint* point) override;  // the feed button takes the house's icon
  void Refresh() override;  // and the feed button's hint reads its text again
  u32 OnCommand(GameButton* button) override;
  PointPetshouse* GetHouse() const;
  LevelPanelButton* GetFeedButton() const { return feed_; }
  // At a level above 0, undamaged, not fed, with no feeding or build job.
  bool CanFeed() const;

 protected:
  void RefreshOwnButtons() override;

 private:
  LevelPanelButton* feed_ = nullptr;
};

class PlantPanel : public PointPanel {
 public:
  explicit PlantPanel(LevelPanel& owner);
  BasePointPlant* GetPlantPoint() const;

  void RefreshLevelBlock() override;
  i32 UpgradePrice() const override;
  bool CanUpgrade() const override;

 protected:
  void StartUpgrade() override;
};

// EmptyPlacePanels - the child panels of an empty place: the garbage panel
// (one clear button showing the clearing price), the empty-place panel
// (the plants, factories and animal-houses categories) and the three build
// panels (a back button, then a button per record the level allows showing
// the record's picture and price with its name's text as the hint, and
// disabled placeholders in the cells left). Each is made once per level and
// bound to the place that opens it.
//
// The factories row: eight cells of 73 pixels (nine when they fit) after a
// back cell of 49; on a panel narrower than the row plus 12 pixels the
// cells after the back cell share the room left equally (whole pixels,
// never below 21), and placeholders are dropped, never records, when even
// that would not fit.
#pragma once

#include <vector>

#include "base/Types.h"
#include "level/map/PointClasses.h"
#include "level/scene/LevelInterface.h"  // the panel ids
#include "windows/ChildLevelPanel.h"

class EmptyLevelPoint;
class LevelPanel;
struct BONUSSLOT;

// Commands of the empty place's panels.
constexpr u32 kPanelOpenPlants = 0xc9000100u;
constexpr u32 kPanelOpenFactories = 0xc9000200u;
constexpr u32 kPanelOpenPets = 0xc9000300u;
constexpr u32 kPanelBuildPlant = 0xc9000400u;
constexpr u32 kPanelBuildFactory = 0xc9000500u;
constexpr u32 kPanelBuildPet = 0xc9000600u;

// Building categories of the build panels.
constexpr u32 kCategoryPets = 1;
constexpr u32 kCategoryFactories = 2;

class PlacePanel : public ChildLevelPanel {
 public:
  using ChildLevelPanel::ChildLevelPanel;
  virtual void Bind(EmptyLevelPoint* place) { place_ = place; }
  EmptyLevelPoint* GetPlace() const { return place_; }
  // The buttons' offset in the panel (their row centred).
  i32 GetRowOffset() const { return offset_; }
  i32 GetRowWidth() const { return rowWidth_; }
  const std::vector<LevelPanelButton*>& RowButtons() const { return row_; }

 protected:
  // Centres the row, builds the background (plain, or built for the row's
  // span) and places the buttons.
  void PlaceRow(i32 rowWidth, bool spanned = false);

  EmptyLevelPoint* place_ = nullptr;
  std::vector<LevelPanelButton*> row_;
  i32 offset_ = 0;
  i32 rowWidth_ = 0;
};

class GarbagePanel : public PlacePanel {
 public:
  explicit GarbagePanel(LevelPanel& owner);
  void Bind(EmptyLevelPoint* place) override;
  void Arrange() override;
  void Refresh() override;  // the button: enabled while the place has no clear job
  void Draw() override;
  u32 OnCommand(GameButton* button) override;
  LevelPanelButton* GetClearButton() const { return clear_; }

 private:
  LevelPanelButton* clear_ = nullptr;
};

class EmptyPointPanel : public PlacePanel {
 public:
  explicit EmptyPointPanel(LevelPanel& owner);
  void Bind(EmptyLevelPoint* place) override;  // the categories are made again
  void Arrange() override;
  u32 OnCommand(GameButton* button) override;

 private:
  void MakeButtons();
};

// The plants (0x8000002), factories (0x8000003) and animal houses (0x8000004).
class BuildPanel : public PlacePanel {
 public:
  BuildPanel(LevelPanel& owner, u32 kind);
  void Bind(EmptyLevelPoint* place) override;
  void Arrange() override;
  u32 OnCommand(GameButton* button) override;
  i32 GetBuiltForWidth() const { return builtFor_; }
  i32 GetRecordCount() const { return records_; }

 private:
  void Rebuild();
  PointKindFacts RecordFacts(void* record) const;
  // The row: the back cell, then `cells` cells (the factories squeezed).
  ButtonRowLayout MakeRow(i32 records) const;

  u32 command_;
  i32 maxRecords_;
  i32 builtFor_ = -1;
  i32 records_ = 0;
};

// The factories row for a panel `panelWidth` wide with `records` records:
// the back cell first.
ButtonRowLayout FactoryRow(i32 panelWidth, i32 records);

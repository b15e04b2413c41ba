#include "windows/EmptyPlacePanels.h"

#include <algorithm>

#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "level/map/EmptyLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointMaker.h"
#include "level/map/PointClasses.h"
#include "ui/SkinTable.h"
#include "windows/LevelPanel.h"
#include "windows/PanelSkins.h"

namespace {

constexpr i32 kCategoryRow = 220;
constexpr i32 kCellStep = 73;
constexpr i32 kSingleCell = 98;
constexpr i32 kMinCell = 21;
constexpr i32 kMaxFactories = 8;
// The level panel's dividers stand over the child area's edges, the left
// one 15 pixels into it and the right one 12: the centred factories' row
// keeps a pixel clear of the wider on both sides, or its ends hide.
constexpr i32 kRowSlack = 2 * (std::max(skins::kLeftDivider.frameWidth, skins::kRightDivider.frameWidth) + 1);

}  // namespace

void PlacePanel::PlaceRow(i32 rowWidth, bool spanned) {
  rowWidth_ = rowWidth;
  offset_ = (width_ - rowWidth) / 2;
  if (spanned)
    BuildBackground(offset_, offset_ + rowWidth);
  else
    BuildBackground(0, 0);
  for (LevelPanelButton* b : row_)
    if (b) b->PlaceAt(offset_);
}

// --- Garbage -----------------------------------------------------------------------------------

GarbagePanel::GarbagePanel(LevelPanel& owner) : PlacePanel(owner) {
  kind_ = static_cast<ChildPanelKind>(kPanelGarbage);
  ButtonRowLayout row;
  SplitRowIntoCells(&row, kSingleCell, 1);
  clear_ = CreateButton(row, 0, kPanelClear, u"ico_clear", 0, nullptr);
  clear_->CreateHint(PanelText(u"clean"));
  row_.push_back(clear_);
}

void GarbagePanel::Bind(EmptyLevelPoint* place) {
  PlacePanel::Bind(place);
  if (!clear_) return;
  clear_->SetData(reinterpret_cast<uintptr_t>(place));
  clear_->SetProduct(place ? static_cast<i32>(place->GetPrice()) : 0, nullptr);
  Refresh();
}

void GarbagePanel::Arrange() { PlaceRow(kSingleCell); }

void GarbagePanel::Refresh() {
  if (clear_) clear_->SetEnabled(place_ && !place_->GetClearJob());
}

// The place's clear job may end or be cancelled while the panel shows.
void GarbagePanel::Draw() {
  Refresh();
  PlacePanel::Draw();
}

u32 GarbagePanel::OnCommand(GameButton* button) {
  if (button && button->GetId() == kPanelClear) {
    if (place_) place_->StartClearing();
    Refresh();
    return 2;
  }
  return ChildLevelPanel::OnCommand(button);
}

// --- Empty place --------------------------------------------------------------------------------

EmptyPointPanel::EmptyPointPanel(LevelPanel& owner) : PlacePanel(owner) {
  kind_ = static_cast<ChildPanelKind>(kPanelEmptyPlace);
  MakeButtons();
}

void EmptyPointPanel::Bind(EmptyLevelPoint* place) {
  PlacePanel::Bind(place);
  MakeButtons();
  arranged_ = false;
  if (shown_) TakeArea(false);
}

// A category with nothing the level allows is a disabled placeholder.
void EmptyPointPanel::MakeButtons() {
  DeleteButtons();
  row_.clear();
  ButtonRowLayout row;
  SplitRowIntoCells(&row, kCategoryRow, 3);
  LevelPointMaker& maker = owner_->GetMap().Points();
  const struct {
    bool present;
    u32 command;
    const wchar* icon;
    const wchar* hint;
  } categories[3] = {
      {maker.CountAvailablePlants(0, nullptr) > 0, kPanelOpenPlants, u"ico_plants", u"plants"},
      {maker.CountNewBuildings(kCategoryFactories, 0, nullptr) > 0, kPanelOpenFactories, u"ico_buildings",
       u"buildings"},
      {maker.CountNewBuildings(kCategoryPets, 0, nullptr) > 0, kPanelOpenPets, u"ico_pets", u"pets"},
  };
  for (i32 i = 0; i < 3; ++i) {
    const auto& c = categories[i];
    LevelPanelButton* b = c.present ? CreateButton(row, i, c.command, c.icon, 0, nullptr)
                                    : CreateEmptyButton(row, i, kPanelEmptyCell);
    if (c.present) b->CreateHint(PanelText(c.hint));
    row_.push_back(b);
  }
}

void EmptyPointPanel::Arrange() { PlaceRow(3 * kCellStep + 1); }

u32 EmptyPointPanel::OnCommand(GameButton* button) {
  const u32 id = button ? button->GetId() : 0;
  const u32 panel = id == kPanelOpenPlants      ? kPanelPlants
                    : id == kPanelOpenFactories ? kPanelFactories
                    : id == kPanelOpenPets      ? kPanelPets
                                                : 0;
  if (!panel) return ChildLevelPanel::OnCommand(button);
  if (place_) place_->OpenPanel(panel);
  return 2;
}

// --- Build panels -------------------------------------------------------------------------------

BuildPanel::BuildPanel(LevelPanel& owner, u32 kind)
    : PlacePanel(owner),
      command_(kind == kPanelPlants ? kPanelBuildPlant : kind == kPanelFactories ? kPanelBuildFactory : kPanelBuildPet),
      maxRecords_(kind == kPanelFactories ? kMaxFactories : 3) {
  kind_ = static_cast<ChildPanelKind>(kind);
}

void BuildPanel::Bind(EmptyLevelPoint* place) {
  PlacePanel::Bind(place);
  builtFor_ = -1;  // what the level allows may have changed
  arranged_ = false;
  if (shown_) TakeArea(false);
}

ButtonRowLayout FactoryRow(i32 panelWidth, i32 records) {
  records = std::clamp(records, 0, kMaxFactories);
  const i32 room = panelWidth - kRowSlack;
  i32 cells = kMaxFactories;
  const auto rowWidth = [](i32 n) { return kBackCellWidth + (n == 1 ? kSingleCell : n * kCellStep + 1); };
  if (rowWidth(cells + 1) <= room) ++cells;
  i32 cell = kCellStep;
  if (rowWidth(cells) > room) {
    const i32 share = room - kBackCellWidth - 1;
    while (cells > std::max(records, 1) && share / cells < kMinCell) --cells;
    cell = std::max(share / cells, kMinCell);
  }
  ButtonRowLayout row;
  row.count = cells + 1;
  row.cells[0] = {0, kBackCellWidth};
  for (i32 i = 0; i < cells; ++i) row.cells[i + 1] = {kBackCellWidth + i * cell, cell + 1};
  row.width = kBackCellWidth + cells * cell + 1;
  return row;
}

ButtonRowLayout BuildPanel::MakeRow(i32 records) const {
  if (kind_ == static_cast<ChildPanelKind>(kPanelFactories)) return FactoryRow(width_, records);
  ButtonRowLayout cells;
  SplitRowIntoCells(&cells, kCategoryRow, 3);
  ButtonRowLayout row;
  row.count = cells.count + 1;
  row.cells[0] = {0, kBackCellWidth};
  for (i32 i = 0; i < cells.count; ++i) row.cells[i + 1] = {cells.cells[i].start + kBackCellWidth, cells.cells[i].width};
  row.width = row.cells[row.count - 1].start + row.cells[row.count - 1].width;
  return row;
}

PointKindFacts BuildPanel::RecordFacts(void* record) const {
  return command_ == kPanelBuildPlant ? DescribePlant(static_cast<const PLANT*>(record))
                                      : DescribeBuilding(static_cast<BUILDING*>(record));
}

// The plant and building tables fill the records; a level whose tables are
// not there yet gets placeholders only.
void BuildPanel::Rebuild() {
  DeleteButtons();
  row_.clear();
  LevelPointMaker& maker = owner_->GetMap().Points();
  void* records[kMaxFactories] = {};
  if (command_ == kPanelBuildPlant)
    records_ = maker.CountAvailablePlants(maxRecords_, reinterpret_cast<PLANT**>(records));
  else
    records_ = maker.CountNewBuildings(command_ == kPanelBuildFactory ? kCategoryFactories : kCategoryPets,
                                       maxRecords_, reinterpret_cast<BUILDING**>(records));
  records_ = std::clamp(records_, 0, maxRecords_);
  const ButtonRowLayout row = MakeRow(records_);
  row_.push_back(CreateBackButton(row));
  for (i32 cell = 1; cell < row.count; ++cell) {
    const i32 r = cell - 1;
    if (r >= records_) {
      row_.push_back(CreateEmptyButton(row, cell, kPanelEmptyCell));
      continue;
    }
    // The record's picture, its price (the button follows the money) and
    // its name's text as the hint.
    const PointKindFacts facts = RecordFacts(records[r]);
    LevelPanelButton* b = CreateButton(row, cell, command_, nullptr, 0, nullptr);
    b->ChangeIcon(facts.picture);
    b->SetRecord(records[r]);
    b->SetData(reinterpret_cast<uintptr_t>(records[r]));  // the control data the tutorials name it by
    b->SetProduct(facts.price, nullptr);
    const GameLanguage* language = GetGameLanguage();
    const wchar* section = command_ == kPanelBuildPlant ? u"plants" : u"buildings";
    const wchar* hint = language && facts.name ? language->GetTextByName(section, facts.name, true) : nullptr;
    b->CreateHint(hint ? hint : facts.name);
    row_.push_back(b);
  }
  rowWidth_ = row.width;
  builtFor_ = width_;
}

void BuildPanel::Arrange() {
  if (builtFor_ != width_) Rebuild();
  PlaceRow(rowWidth_, true);
}

u32 BuildPanel::OnCommand(GameButton* button) {
  const u32 id = button ? button->GetId() : 0;
  if (id == kPanelBack) {
    if (place_) place_->OpenPanel(kPanelEmptyPlace);
    return 2;
  }
  if (id == command_ && id != 0) {
    auto* b = static_cast<LevelPanelButton*>(button);
    void* record = const_cast<void*>(b->GetRecord());
    if (command_ == kPanelBuildPlant)
      owner_->GetMap().Points().BuildPlant(static_cast<PLANT*>(record));
    else
      owner_->GetMap().Points().BuildBuilding(static_cast<BUILDING*>(record));
    return 2;
  }
  return ChildLevelPanel::OnCommand(button);
}

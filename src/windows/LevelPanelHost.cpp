#include "windows/LevelPanelHost.h"

#include "content/LevelInfo.h"
#include "engine/DXLMouse.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "resources/StandardSounds.h"
#include "ui/InfoWindow.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/AwardNotice.h"
#include "windows/AwardsWindow.h"
#include "windows/ChildLevelPanel.h"
#include "windows/EmptyPlacePanels.h"
#include "windows/GamePanelParts.h"
#include "windows/GameWindowManager.h"
#include "windows/LevelPanel.h"
#include "windows/LevelResultWindow.h"
#include "windows/LevelWindow.h"
#include "windows/MenuWindow.h"
#include "windows/MessageNotice.h"
#include "windows/OptionsWindow.h"
#include "windows/PanelSkins.h"
#include "windows/PointPanelRouter.h"
#include "windows/WarehouseWindow.h"

LevelPanelHost::LevelPanelHost(LevelPanelPartMaker* maker) : maker_(maker) {
  if (!maker_) {
    gameParts_ = std::make_unique<GamePanelParts>(this, this);
    maker_ = gameParts_.get();
  }
}

LevelPanelHost::~LevelPanelHost() { DeletePanel(); }

void LevelPanelHost::CreatePanel(LevelMap& map) {
  if (panel_) return;
  if (gameParts_) gameParts_->SetRules(map.GetRules());
  panel_ = new LevelPanel(map, maker_);
  GetUiServices().levelPanel = panel_;
}

void LevelPanelHost::DeletePanel() {
  // The warehouse window works on the level's rules and map, and the result
  // window's answer reaches into this host: they go with the panel, also
  // while they are closing.
  if (WindowManager* manager = GetWindowManager()) {
    while (GameWindow* warehouse = manager->FindWindow(WarehouseWindow::kId)) delete warehouse;
    while (GameWindow* result = manager->FindWindow(LevelResultWindow::kId)) delete result;
  }
  LevelPanel* panel = panel_;
  panel_ = nullptr;
  if (GetUiServices().levelPanel == panel) GetUiServices().levelPanel = nullptr;
  delete panel;
  // The level's messages and the award notices go with the panel, also on
  // a restart: their answers reach into the day that is cleared.
  if (MessageNoticeQueue* messages = GetMessageNotices()) messages->Clear(kMessageMainScreen | kMessageLevelMap);
  if (AwardNoticeQueue* awards = GetAwardNotices()) awards->Clear();
}

// The first windows a cleared level takes down: the warehouse window and
// the menu, and the result window (a restart clears the level under it,
// and its "ok" would leave the new day for the map).
void LevelPanelHost::DeleteLevelWindows() {
  WindowManager* manager = GetWindowManager();
  if (!manager) return;
  while (GameWindow* warehouse = manager->FindWindow(WarehouseWindow::kId)) delete warehouse;
  while (GameWindow* menu = manager->FindWindow(kMenuWindowId)) delete menu;
  while (GameWindow* result = manager->FindWindow(LevelResultWindow::kId)) delete result;
}

void LevelPanelHost::CreateBonusButtons() {
  if (panel_) panel_->CreateBonusButtons();
}

bool LevelPanelHost::IsTimeBarRunning() const {
  return panel_ && panel_->GetTimeBar() && panel_->GetTimeBar()->IsRunning();
}

void LevelPanelHost::AdvanceTimeBar(u32 d) {
  if (panel_ && panel_->GetTimeBar()) panel_->GetTimeBar()->Advance(d);
}

void LevelPanelHost::StartTimeBar() {
  if (!panel_) return;
  if (panel_->GetTimeBar()) panel_->GetTimeBar()->Start();
  panel_->StartPromptFadeOut();
}

void LevelPanelHost::ShowTimeBar(bool animate) {
  if (panel_ && panel_->GetTimeBar()) panel_->GetTimeBar()->Show(animate);
}

void LevelPanelHost::OpenMenu(bool fromKey) {
  if (panel_ && panel_->GetMenuWindow()) panel_->GetMenuWindow()->Open(fromKey);
}

void LevelPanelHost::CloseMenu() {
  if (panel_ && panel_->GetMenuWindow()) panel_->GetMenuWindow()->Close();
}

void LevelPanelHost::ExitToMap(u32 comic) {
  exited_ = true;
  if (toMap_) toMap_(comic);
}

void LevelPanelHost::QuitGame() {
  quitAsked_ = true;
  if (quit_) quit_();
}

void LevelPanelHost::OpenOptions() {
  ++optionsAsked_;
  WindowManager* manager = GetWindowManager();
  if (manager && !manager->GetAnchor(kAnchorOptions)) new OptionsWindow(optionsHooks_);
}

// The window manager owns the window once made; a second intro while one
// is open is not opened.
void LevelPanelHost::OpenIntro() {
  introAsked_ = true;
  WindowManager* manager = GetWindowManager();
  const LevelRules* rules = panel_ ? panel_->GetRules() : nullptr;
  const LEVELINFO* info = rules ? rules->GetInfo() : nullptr;
  if (!manager || !info || info->intro.empty() || manager->GetInfoWindow()) return;
  new InfoWindow(info->intro.data(), static_cast<u32>(info->intro.size()));
}

void LevelPanelHost::UpdateTaskButtons(i32 index, i32, bool animate) {
  if (panel_) panel_->UpdateTaskButtons(index, animate);
}

void LevelPanelHost::UpdateBonusButton(u32 slot, const BONUSSLOT& state, bool animate) {
  if (panel_) panel_->UpdateBonusButton(slot, state, animate);
}

void LevelPanelHost::UpdateTimeBar(bool animate) {
  if (panel_ && panel_->GetTimeBar()) panel_->GetTimeBar()->UpdateTime(animate);
}

void LevelPanelHost::Update(u32 ms) {
  if (panel_) panel_->AdvanceClock(ms);
}

// --- The empty places' panels ---------------------------------------------------------------

WindowSprites* LevelPanelHost::OpenPanel(u32 id, EmptyLevelPoint* place) {
  if (!panel_) return nullptr;
  auto* child = static_cast<PlacePanel*>(panel_->FindChildPanel(static_cast<i32>(id)));
  if (!child) {
    switch (id) {
      case kPanelGarbage:
        child = new GarbagePanel(*panel_);
        break;
      case kPanelEmptyPlace:
        child = new EmptyPointPanel(*panel_);
        break;
      case kPanelPlants:
      case kPanelFactories:
      case kPanelPets:
        child = new BuildPanel(*panel_, id);
        break;
      default:
        return nullptr;
    }
  }
  child->Bind(place);
  child->Show();
  return child;
}

// The panels handed out are this host's child panels.
void LevelPanelHost::HidePanel(WindowSprites* panel) {
  if (panel && panel_) static_cast<ChildLevelPanel*>(panel)->Hide();
}

void LevelPanelHost::ShowEmptyPanel() {
  if (panel_) panel_->ShowEmptyPanel();
}

// --- The built points' panels ----------------------------------------------------------------

WindowSprites* LevelPanelHost::ShowPointPanel(u32 kind, LevelPoint* point) {
  return panel_ ? PointPanelRouter::Show(*panel_, kind, point) : nullptr;
}

void LevelPanelHost::RefreshPointPanel(LevelPoint* point) {
  if (panel_) PointPanelRouter::Refresh(*panel_, point);
}

void LevelPanelHost::HidePointPanel(LevelPoint* point) {
  if (panel_) PointPanelRouter::Hide(*panel_, point);
}

// --- The level's game windows ------------------------------------------------------------------

void LevelPanelHost::Leave() {
  if (leave_)
    leave_();
  else
    ExitToMap(0);
}

void LevelPanelHost::OfferRestart() {
  restartOffered_ = true;
  LevelRules* rules = panel_ ? panel_->GetRules() : nullptr;
  const bool lost = rules && rules->Tasks().GetResult() == kResultLost;
  OpenLevelWindow(lost ? kLevelWindowLost : kLevelWindowRestartForm);
}

// Starting plays the level again; cancelling leaves for the map after a
// lost level and only closes the window otherwise.
void LevelPanelHost::OpenLevelWindow(u32 kind) {
  if (!GetWindowManager() || FindWindowOf<LevelWindow>()) return;
  const LevelRules* rules = panel_ ? panel_->GetRules() : nullptr;
  const i32 level = rules ? rules->GetLevel() : 0;
  new LevelWindow(
      level, kind,
      [this, kind](u32 result, i32, u32) {
        if (LevelWindow* window = FindWindowOf<LevelWindow>()) window->Close();
        if (result == 1) {
          if (restart_) restart_();
        } else if (kind == kLevelWindowLost) {
          Leave();
        }
      },
      nullptr, kind == kLevelWindowLost ? u"to_map" : nullptr);
}

// A message notice of the "messages" text with the product as its
// argument; a left click answers 1 (the warehouse window opens), every
// click closes it.
void LevelPanelHost::ShowMessage(u32 id, const wchar* textKey, u32 flags, const PRODUCT* subject, i32 duration,
                                 MessageAnswer* answer) {
  ++messages_;
  MessageNoticeQueue* messages = GetMessageNotices();
  if (!messages) return;
  messages->ShowMessage(
      id, nullptr, 0, SectionText(u"messages", textKey), flags, reinterpret_cast<uintptr_t>(subject),
      duration < 0 ? NoticeWindow::kNoExpiry : static_cast<u32>(duration),
      [answer, subject](u32, uintptr_t, u32 button) {
        if (button == kMouseLeft && answer) answer->OnMessageAnswer(1, subject);
        return true;
      },
      GetStandardSound(kSoundWarehouseFull));
}

// One warehouse window at a time: asked again, the open one chooses the
// product. Nothing without a panel (no level runs).
void LevelPanelHost::OpenWarehouseWindow(const PRODUCT* selected) {
  ++warehouseOpened_;
  LevelRules* rules = panel_ ? panel_->GetRules() : nullptr;
  if (!rules || !GetWindowManager()) return;
  if (WarehouseWindow* open = FindOpenWarehouse()) {
    if (selected) open->SelectProduct(selected);
    return;
  }
  new WarehouseWindow(*rules, &panel_->GetMap(), selected);
}

void LevelPanelHost::OpenResultWindow(const LEVELRESULT& record) {
  if (!GetWindowManager() || FindWindowOf<LevelResultWindow>()) return;
  new LevelResultWindow(record, [this] { Leave(); });
}

void LevelPanelHost::OpenAwards() {
  ++awardsAsked_;
  ::OpenAwards(false);
}

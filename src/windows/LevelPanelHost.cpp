#include "windows/LevelPanelHost.h"

#include "resources/GameServices.h"
#include "windows/LevelPanel.h"

LevelPanelHost::~LevelPanelHost() { DeletePanel(); }

void LevelPanelHost::CreatePanel(LevelMap& map) {
  if (panel_) return;
  panel_ = new LevelPanel(map, maker_);
  GetGameServices().levelPanel = panel_;
}

void LevelPanelHost::DeletePanel() {
  LevelPanel* panel = panel_;
  panel_ = nullptr;
  if (GetGameServices().levelPanel == panel) GetGameServices().levelPanel = nullptr;
  delete panel;
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

void LevelPanelHost::OpenMenu(bool) {
  if (panel_ && panel_->GetMenuWindow()) panel_->GetMenuWindow()->Open();
}

void LevelPanelHost::ExitToMap(u32) { exited_ = true; }

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

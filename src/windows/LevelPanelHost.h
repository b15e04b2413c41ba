// LevelPanelHost - the game windows around a running level as the level
// scene reaches them: it makes and deletes the level panel, runs its time
// bar, shows its bonus and task buttons, routes the empty places' panels,
// opens the menu. What has no window yet (the intro, the way back to the
// map, the restart offer) it records for its owner to act on.
#pragma once

#include <memory>

#include "base/Types.h"
#include "level/scene/LevelInterface.h"
#include "level/rules/LevelPanelHooks.h"
#include "windows/EmptyPlacePanels.h"

class LevelPanel;
class LevelPanelPartMaker;

class LevelPanelHost : public LevelInterface, public LevelPanelHooks {
 public:
  explicit LevelPanelHost(LevelPanelPartMaker* maker = nullptr) : maker_(maker) {}
  ~LevelPanelHost() override;

  // LevelInterface
  void CreatePanel(LevelMap& map) override;  // shown as the services' level panel
  void DeletePanel() override;
  void CreateBonusButtons() override;
  bool IsTimeBarRunning() const override;
  void AdvanceTimeBar(u32 d) override;
  void StartTimeBar() override;  // the prompt fades out
  void ShowTimeBar(bool animate) override;
  void OpenMenu(bool fromKey) override;
  void OpenIntro() override {}
  void DeleteLevelWindows() override {}
  void ExitToMap(u32 comic) override;
  void OfferRestart() override { restartOffered_ = true; }

  // LevelPanelHooks
  void UpdateTaskButtons(i32 index, i32 delta, bool animate) override;
  void UpdateBonusButton(u32 slot, const BONUSSLOT& state, bool animate) override;
  void UpdateTimeBar(bool animate) override;

  // Once a frame: the panel's clock (its prompt).
  void Update(u32 ms);

  PointPanels* Panels() { return &router_; }
  LevelPanel* GetPanel() const { return panel_; }
  bool HasExited() const { return exited_; }
  bool WasRestartOffered() const { return restartOffered_; }

 private:
  LevelPanelPartMaker* maker_;
  LevelPanel* panel_ = nullptr;
  PointPanelRouter router_{*this};
  bool exited_ = false;
  bool restartOffered_ = false;
};

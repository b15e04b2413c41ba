// LevelPanelHost - the game windows around a running level as the level
// reaches them (LevelInterface): it makes and deletes the level panel (and
// shows it as the game services' level panel), runs its time bar, shows its
// bonus and task buttons, opens the empty places' child panels on it, opens
// the menu and the level's intro (the information window with the level's
// intro texts). What has no window yet (the way back to the map, the
// restart offer) it records for its owner to act on.
#pragma once

#include "base/Types.h"
#include "level/scene/LevelInterface.h"

class LevelPanel;
class LevelPanelPartMaker;

class LevelPanelHost : public LevelInterface {
 public:
  explicit LevelPanelHost(LevelPanelPartMaker* maker = nullptr) : maker_(maker) {}
  // The maker of the next panel's parts (null: the plain stand-ins).
  void SetPartMaker(LevelPanelPartMaker* maker) { maker_ = maker; }
  ~LevelPanelHost() override;
  LevelPanelHost(const LevelPanelHost&) = delete;
  LevelPanelHost& operator=(const LevelPanelHost&) = delete;

  // The panel
  void CreatePanel(LevelMap& map) override;
  void DeletePanel() override;
  void CreateBonusButtons() override;
  void UpdateTaskButtons(i32 index, i32 delta, bool animate) override;
  void UpdateBonusButton(u32 slot, const BONUSSLOT& state, bool animate) override;
  bool IsTimeBarRunning() const override;
  void AdvanceTimeBar(u32 d) override;
  void StartTimeBar() override;  // the prompt fades out
  void ShowTimeBar(bool animate) override;
  void UpdateTimeBar(bool animate) override;

  // The empty places' panels: each kind made once on the panel (nothing
  // while there is no panel).
  ChildLevelPanel* OpenPanel(u32 id, EmptyLevelPoint* place) override;
  void HidePanel(ChildLevelPanel* panel) override;
  void ShowEmptyPanel() override;
  // The built points' panels (PointPanelRouter); nothing without a panel.
  ChildLevelPanel* ShowPointPanel(u32 kind, LevelPoint* point) override;
  void RefreshPointPanel(LevelPoint* point) override;
  void HidePointPanel(LevelPoint* point) override;

  // The other windows
  void OpenMenu(bool fromKey) override;
  void OpenIntro() override;
  void DeleteLevelWindows() override {}  // the panel's own windows go with the panel
  void ExitToMap(u32 comic) override;
  void OfferRestart() override { restartOffered_ = true; }

  // Once a frame: the panel's clock (its prompt).
  void Update(u32 ms);

  LevelPanel* GetPanel() const { return panel_; }
  bool HasExited() const { return exited_; }
  bool WasRestartOffered() const { return restartOffered_; }
  bool WasIntroAsked() const { return introAsked_; }

 private:
  LevelPanelPartMaker* maker_;
  LevelPanel* panel_ = nullptr;
  bool exited_ = false;
  bool restartOffered_ = false;
  bool introAsked_ = false;
};

// LevelPanelHost - the game windows around a running level as the level
// reaches them (LevelInterface): it makes and deletes the level panel (and
// shows it as the toolkit services' level panel), runs its time bar, shows its
// bonus and task buttons, opens the empty places' child panels on it, opens
// the menu and carries out the menu's commands (LevelMenuActions), and opens
// the level's intro (the information window with the level's intro texts)
// and the options window. The way back to the map and the game's end are
// the game's (SetGameExits); without them, and for what has no window yet
// (the awards window), it records the request for its owner to act on.
// Without a part maker of its own it makes the game's parts
// (GamePanelParts).
//
// It is also the level's game windows (LevelWindows): a won level opens
// the result window, whose way out is the level's leaving for the map; the
// restart offer opens the level window: after a lost level in its play form
// ("to_map" as its first button), from the menu in its restart form. The
// messages go to the game's message queue (counted too), which drops the
// level's messages and the award notices when the panel goes. The warehouse
// (the point, the panel's button, the full-warehouse message) opens the
// warehouse window.
#pragma once

#include <functional>
#include <memory>

#include "base/Types.h"
#include "level/rules/LevelWindows.h"
#include "level/scene/LevelInterface.h"
#include "windows/LevelMenuHandler.h"

class GamePanelParts;
class LevelPanel;
class LevelPanelPartMaker;
class OptionsHooks;

class LevelPanelHost : public LevelInterface, public LevelMenuActions, public LevelWindows {
 public:
  explicit LevelPanelHost(LevelPanelPartMaker* maker = nullptr);
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
  WindowSprites* OpenPanel(u32 id, EmptyLevelPoint* place) override;
  void HidePanel(WindowSprites* panel) override;
  void ShowEmptyPanel() override;
  // The built points' panels (PointPanelRouter); nothing without a panel.
  WindowSprites* ShowPointPanel(u32 kind, LevelPoint* point) override;
  void RefreshPointPanel(LevelPoint* point) override;
  void HidePointPanel(LevelPoint* point) override;

  // The other windows
  void OpenMenu(bool fromKey) override;
  void OpenIntro() override;
  // The warehouse window, the menu and the result window of the day being
  // cleared.
  void DeleteLevelWindows() override;
  void ExitToMap(u32 comic) override;
  // The level window: its play form after a lost level, else its restart form.
  void OfferRestart() override;
  // What the windows' answers do to the level: leave it for the map (none:
  // ExitToMap is recorded), play it again (none: nothing).
  void SetLevelActions(std::function<void()> leave, std::function<void()> restart) {
    leave_ = std::move(leave);
    restart_ = std::move(restart);
  }
  // What the game does when the level has ended towards the map (the comic
  // to show first: 0 none, else 1 to 3) and when the player quits the game.
  void SetGameExits(std::function<void(u32 comic)> toMap, std::function<void()> quit) {
    toMap_ = std::move(toMap);
    quit_ = std::move(quit);
  }

  // LevelWindows
  void ShowMessage(u32 id, const wchar* textKey, u32 flags, const PRODUCT* subject, i32 duration,
                   MessageAnswer* answer) override;
  void OpenWarehouseWindow(const PRODUCT* selected) override;
  void OpenResultWindow(const LEVELRESULT& record) override;

  // The menu's commands: the menu closes now, the game's end and the way to
  // the map are the game's (recorded too), the awards window opens
  // (OpenAwards, AwardsWindow.h).
  void CloseMenu() override;
  void QuitGame() override;
  void ExitToMap() override { Leave(); }
  // The options window (one at a time), counted too.
  void OpenOptions() override;
  void OpenAwards() override;

  // Once a frame: the panel's clock (its prompt).
  void Update(u32 ms);

  // What the options window asks of the application (null: none).
  void SetOptionsHooks(OptionsHooks* hooks) { optionsHooks_ = hooks; }

  LevelPanel* GetPanel() const { return panel_; }
  bool HasExited() const { return exited_; }
  bool WasRestartOffered() const { return restartOffered_; }
  bool WasIntroAsked() const { return introAsked_; }
  bool WasQuitAsked() const { return quitAsked_; }
  i32 GetOptionsAsked() const { return optionsAsked_; }
  i32 GetAwardsAsked() const { return awardsAsked_; }
  u32 GetMessagesShown() const { return messages_; }
  u32 GetWarehouseOpened() const { return warehouseOpened_; }

 private:
  std::unique_ptr<GamePanelParts> gameParts_;  // when no maker is given
  LevelPanelPartMaker* maker_;
  LevelPanel* panel_ = nullptr;
  bool exited_ = false;
  bool restartOffered_ = false;
  bool introAsked_ = false;
  bool quitAsked_ = false;
  i32 optionsAsked_ = 0;
  i32 awardsAsked_ = 0;
  u32 messages_ = 0;
  u32 warehouseOpened_ = 0;
  OptionsHooks* optionsHooks_ = nullptr;
  std::function<void()> leave_;
  std::function<void()> restart_;
  std::function<void(u32)> toMap_;
  std::function<void()> quit_;

  void OpenLevelWindow(u32 kind);
  void Leave();
};

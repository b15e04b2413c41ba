// LevelWindow - the dialog before a level is played ('LvIf', modal): the
// level's name, the medal already won, the medal limits of the current mode
// (two rows in mode 0, three in mode 1), the best time, the level's tasks
// (the task buttons' static form), up to three chosen bonuses and the
// buttons to play, restart, continue a saved game or cancel.
//
// Its opener passes a callback that receives (result, level, fresh):
// result 1 starts, 0 cancels; fresh 1 starts afresh, 0 continues the saved
// game. The window itself only records the bonus choice (saved only when
// it changed as a set) and raises the level's state to open when started.
//
// Opening kinds: 0 after a lost level (first button, "play"), 1 the level
// menu's restart (first button, "restart" without a question), 2 the map
// (first button, then "restart" asking first and "continue" with a saved
// game of this level, else "play").
//
// Only one is open at a time (FindWindowOf<LevelWindow>). A bonus newly unlocked, or the
// bonus-choice tutorial falling due, starts the new-bonus tutorial once,
// as the window is made, when the profile has tutorials on.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "base/Types.h"
#include "content/ProfileProgress.h"
#include "ui/BaseDialogWindow.h"
#include "ui/ImageButton.h"
#include "ui/SpritesWindow.h"

class ImageSprite;
class KGETextSpriteW;
class MapProfile;
class TaskButton;
struct LEVELINFO;

// (result, level, fresh)
using LevelWindowCallback = std::function<void(u32 result, i32 level, u32 fresh)>;

constexpr u32 kLevelWindowCancel = 0x35000000u;
constexpr u32 kLevelWindowPlay = 0x35000001u;
constexpr u32 kLevelWindowRestart = 0x35000002u;
constexpr u32 kLevelWindowContinue = 0x35000004u;
constexpr u32 kLevelWindowBonus = 0x35000010u;
constexpr u32 kLevelWindowSelectBonuses = 0x35000020u;

enum LevelWindowKind : u32 { kLevelWindowLost = 0, kLevelWindowRestartForm = 1, kLevelWindowFromMap = 2 };

// One of the three bonus slots: the bonus's icon and a hint with its name
// and description; an empty slot is disabled and has no hint.
class LevelWindowBonus : public ImageButton {
 public:
  static constexpr i32 kWidth = 63;
  LevelWindowBonus(GameWindow* window, i32 x, i32 y, i32 slot, i32 bonus);
  void SetBonus(i32 bonus);
  i32 GetSlot() const { return slot_; }
  i32 GetBonus() const { return bonus_; }

 private:
  i32 slot_;
  i32 bonus_ = -2;  // none set yet
};

class LevelWindow : public SpritesWindow {
 public:
  static constexpr u32 kId = 0x4C764966u;  // 'LvIf'
  static constexpr i32 kWidth = 600;
  static constexpr i32 kRowsX = 212;
  static constexpr i32 kRecordX = 458;

  // keys of the "level_window" texts, or null for the defaults ("play" or
  // "restart", "cancel").
  LevelWindow(i32 level, u32 kind, LevelWindowCallback callback, const wchar* mainKey = nullptr,
              const wchar* firstKey = nullptr);
  ~LevelWindow() override;

  bool OnKeyDown(u16 key, u32 extra) override;
  u32 OnCommand(GameButton* control) override;
  void DrawForeground() override;
  // After the bonuses window changed the selection: slot i shows the i-th
  // chosen bonus.
  void RefreshBonuses();

  i32 GetLevel() const { return level_; }
  u32 GetKind() const { return kind_; }
  bool HasSavedGame() const { return saved_; }
  i32 GetRows() const { return rows_; }
  i32 GetRowY(i32 i) const { return rowY_[i]; }
  bool ShowsUncompleted() const { return uncompleted_; }
  ImageSprite* GetMedal() const { return medal_.get(); }
  KGETextSpriteW* GetRowText(i32 i) const { return rowText_[i].get(); }
  KGETextSpriteW* GetBestTimeText() const { return bestText_.get(); }
  u32 GetBestTime() const { return bestTime_; }
  const std::vector<u32>& GetButtonIds() const { return buttonIds_; }
  ImageButton* GetSelectButton() const { return select_; }
  LevelWindowBonus* GetSlot(i32 i) const { return slots_[i]; }
  u32 GetAvailableBonuses() const { return available_; }
  bool HasBonusArea() const { return available_ > 0; }
  BONUSSELECTION& Selection() { return selection_; }
  const std::vector<TaskButton*>& GetTaskButtons() const { return tasks_; }
  DXLRECT GetTasksCaptionRect() const;  // in the window; empty without the caption
  BaseDialogWindow* GetQuestion() const { return question_.Get(); }

 private:
  struct Placed {
    float x = 0.0f;
    float y = 0.0f;
    std::unique_ptr<ImageSprite> image;
    std::unique_ptr<KGETextSpriteW> text;
  };

  i32 BuildTasksArea();
  void BuildMedalArea(i32 top);
  i32 BuildBonusArea(i32 top);
  void AddButtons(const wchar* mainKey, const wchar* firstKey);
  ImageButton* AddButtonAt(u32 id, const wchar* caption, i32 x, i32 y);
  void AddTasks(i32 top);
  void AddBonusSlots();
  void StartTutorials(bool due);
  // Starting: the level opened, the changed bonus choice saved, the callback.
  void Start(u32 fresh);
  static bool OnRestartAnswer(uintptr_t self, uintptr_t, u32 answer);

  i32 level_;
  u32 kind_;
  const LEVELINFO* info_ = nullptr;
  MapProfile* profile_;
  u32 mode_ = 0;
  i32 medalTop_ = 0;
  bool saved_ = false;
  std::vector<u32> buttonIds_;
  std::unique_ptr<ImageSprite> medal_;
  float medalX_ = 0.0f;
  float medalY_ = 0.0f;
  bool uncompleted_ = false;
  i32 rows_ = 2;
  i32 rowY_[3] = {};
  std::unique_ptr<ImageSprite> rowIcon_[3];
  std::unique_ptr<KGETextSpriteW> rowText_[3];
  Placed record_;
  Placed clock_;
  std::unique_ptr<KGETextSpriteW> bestText_;
  u32 bestTime_ = 0;
  BONUSSELECTION selection_{};
  u32 available_ = 0;
  i32 bonusX_ = 0;
  i32 bonusY_ = 0;
  ImageButton* select_ = nullptr;
  LevelWindowBonus* slots_[kBonusSelectionSlots] = {};
  LevelWindowCallback callback_;
  Placed tasksCaption_;
  std::vector<TaskButton*> tasks_;
  QuadBlockList pieces_;
  OpenedDialog question_;
};

// TaskButton - one task of a level (command 0x4c500005): an icon of what is
// to be earned, produced, collected, planted, built or cleared, a caption
// naming the kind of task ("tasks" texts) and a count. In the level panel
// it follows the task's progress: the count of a met task turns 80FF80 and
// its face cross-fades to the done look over 200 ms with the task sound
// (falling back cross-fades without a sound). Its static form, in the level
// window before a level starts, shows the task's target.
//
// The caption (and a money task's goal) is squeezed to the button's width
// less 6, never cut; the icon is as large as the room between the texts
// lets it be. The task record is the level's and must outlive the button;
// it is also the button's data, by which the tutorials point at one task's
// button.
#pragma once

#include <memory>
#include <string>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "ui/ActiveButton.h"
#include "windows/LevelPanelParts.h"

class GameWindow;
class ImageSprite;
class KGETextSpriteW;
class SpriteEffectList;
struct LEVELTASK;

constexpr i32 kTaskButtonHeight = 108;
constexpr u32 kTaskDoneColourText = 0xFF80FF80u;
constexpr u32 kTaskFadeTime = 200;

class TaskButton : public ActiveButton, public TaskButtonPart {
 public:
  // In `window`'s controls; isStatic: the level window's form.
  TaskButton(GameWindow* window, u32 index, const LEVELTASK* task, bool isStatic);
  ~TaskButton() override;
  TaskButton(const TaskButton&) = delete;
  TaskButton& operator=(const TaskButton&) = delete;

  // TaskButtonPart
  void Place(i32 x, i32 y, i32 width) override { SetRect(x, y, width); }
  void SetProgress(i32 value, bool animate) override;

  // (x, y, width, 108); a new width rebuilds the faces, the level mark and
  // the caption's squeeze and centres the texts.
  void SetRect(i32 x, i32 y, i32 width);
  void Draw() override;
  // In the level window the hint opens under the card, centred on it and
  // kept inside the window; in the panel where the toolkit puts it.
  void PlaceHint() override;

  // The caption key of a task ("money", "produce", "collect", "plant",
  // "build", "garbage"); null for an unknown kind.
  static const wchar* CaptionKey(const LEVELTASK& task);

  u32 GetIndex() const { return index_; }
  bool IsDone() const { return done_; }
  i32 GetShown() const { return shown_; }
  const std::u16string& GetCountText() const { return countText_; }
  const wchar* GetCaptionKey() const { return captionKey_; }
  float GetCaptionScale() const { return captionScale_; }
  KGETextSpriteW* GetCaption() const { return caption_.get(); }
  KGETextSpriteW* GetTargetText() const { return targetText_.get(); }
  KGETextSpriteW* GetCount() const { return count_.get(); }
  ImageSprite* GetIcon() const { return icon_.get(); }
  float GetIconY() const { return iconY_; }
  bool HasLevelMark() const { return hasMark_; }
  // The cross-fade's effect list while it runs (null otherwise), its length.
  SpriteEffectList* GetFade() const { return fade_; }
  u32 GetFadeLength() const { return fadeLength_; }

 private:
  void BuildFaces();
  void FitIcon();

  u32 index_;
  const LEVELTASK* task_;
  bool static_;
  std::unique_ptr<ImageSprite> icon_;
  float iconY_ = 49.0f;
  const wchar* captionKey_ = nullptr;
  std::unique_ptr<KGETextSpriteW> caption_;
  float captionScale_ = 1.0f;
  std::unique_ptr<KGETextSpriteW> targetText_;  // a money task's goal, in the panel: "Goal: " and the target
  float targetScale_ = 1.0f;
  i32 marks_ = 0;
  DXLQUAD mark_{};
  bool hasMark_ = false;
  i32 width_ = -1;
  DXLQUAD faces_[2][3] = {};
  i32 target_ = 0;  // shown after the count ("/"), 0 for none
  i32 shown_ = -1;
  bool everShown_ = false;
  std::u16string countText_;
  std::unique_ptr<KGETextSpriteW> count_;
  bool done_ = false;
  SpriteEffectList* fade_ = nullptr;
  u32 fadeStart_ = 0;   // game clock
  u32 fadeLength_ = 0;
};

// AwardNoticeQueue and NewAwardWindow - the award notices: a newly won award
// slides in at the bottom right of the screen with its icon and its text of
// the language's "awards" section, stays 8 seconds of frames that let it
// and leaves. The queue is the window manager's award queue and the level's
// AwardNotices. A left click on a notice opens the awards window (through
// the queue's hook, while that window is still to come), a right click
// closes it.
#pragma once

#include <functional>

#include "content/AwardTable.h"
#include "ui/WindowQueues.h"
#include "windows/NoticeQueue.h"

class NewAwardWindow;

class AwardNoticeQueue : public NoticeQueue<AwardWindowQueue, NewAwardWindow>, public AwardNotices {
 public:
  static constexpr u32 kLifetime = 8000;

  // Kind 0 a tiered award reaching tier 1 to 3, 1 a record award, any other
  // the final award; the two newest older live notices stay.
  void ShowAward(i32 kind, u32 index, i32 tier) override;
  void Clear() { ClearAll(); }
  // What a left click on a notice does: open the awards window.
  void SetOpenAwards(std::function<void()> open) { openAwards_ = std::move(open); }
  void OpenAwards() {
    if (openAwards_) openAwards_();
  }

 private:
  std::function<void()> openAwards_;
};

class NewAwardWindow : public NoticeWindow {
 public:
  static constexpr u32 kId = 0x4E774177u;  // "NwAw"

  NewAwardWindow(AwardNoticeQueue* queue, i32 kind, u32 index, i32 tier, Sprite* icon, const wchar* text,
                 u32 argKind, uintptr_t arg);

  bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys) override;

  i32 GetKind() const { return kind_; }
  u32 GetIndex() const { return index_; }
  i32 GetTier() const { return tier_; }

 protected:
  float PanelLeft() const override;

 private:
  i32 kind_;
  u32 index_;
  i32 tier_;
};

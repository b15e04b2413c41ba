// NoticeQueue - the mechanism behind the award notices and the message
// notices: short-lived panels that slide in at a bottom corner of the
// screen, stack upwards (the newest at the bottom), count down a lifetime in
// the frames that let them (no modal window open, no screen effect
// running) and leave with a shrink and fade.
//
// A queue keeps its notices oldest first. A notice is in its queue's list
// from construction to destruction; its closing flag is set once and never
// cleared, and a closing notice takes no room and is not counted among the
// two older live notices a new one keeps. Closed notices are deleted by the
// window manager's draw pass once their effects end; Clear deletes at once.
//
// NoticeQueueCore holds the five words and the algorithms; the template
// NoticeQueue puts it under the window manager's view of a queue
// (ui/WindowQueues.h), typed by its notice class. The anchor is the view's
// host window, which the manager forgets when that window goes away.
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "ui/BaseHintWindow.h"
#include "ui/GameWindow.h"

class NoticeQueueCore;
class Sprite;

// The visible panel of a notice: an optional icon and a text (game font 3,
// wrapped at 320 less the margins and the icon), centred vertically on each
// other, drawn centred on the notice's position.
class DNewAwardWindow : public BaseHintWindow {
 public:
  static constexpr i32 kWrap = 320;
  // The text's mark-up tags are expanded with the argument pair.
  DNewAwardWindow(Sprite* icon, i32 frame, const wchar* text, u32 argKind, uintptr_t arg);

  i32 GetPivotX() const { return pivotX_; }
  i32 GetPivotY() const { return pivotY_; }

 private:
  i32 pivotX_ = 0;
  i32 pivotY_ = 0;
};
using DMessageWindow = DNewAwardWindow;

class NoticeWindow : public GameWindow {
 public:
  static constexpr u32 kNoExpiry = 0xFFFFFFFFu;
  static constexpr u32 kSlideTime = 150;
  static constexpr u32 kEffectTime = 150;

  // Not modal; the panel is built from the icon, frame, text and argument.
  NoticeWindow(u32 id, NoticeQueueCore* queue, Sprite* icon, i32 frame, const wchar* text, u32 argKind,
               uintptr_t arg);
  ~NoticeWindow() override;  // leaves its queue

  // The lifetime starts again (0 closes at once); a pulse scales the notice
  // up and back and brings it on top of the others.
  virtual void SetLifetime(u32 ms, bool pulse);
  // The leave effects; the queue is arranged.
  void Close();
  // Glides to the stacking offset over 150 ms from where it is drawn now.
  void SlideTo(i32 offset);
  // Computes the position from the screen, the queue's margin, the stacking
  // offset and the slide.
  void Reposition();

  bool UpdateEffects() override;
  void OnScreenResize() override { Reposition(); }
  bool Update() override;  // counts the lifetime; never modal
  void Draw() override;

  bool IsLive() const { return closing_ == 0; }
  bool IsHighlighted() const { return highlighted_ != 0; }
  i32 GetOffset() const { return offset_; }
  float GetX() const { return x_; }
  float GetY() const { return y_; }
  u32 GetLifeMs() const { return lifeMs_; }
  u32 GetElapsed() const { return elapsed_; }
  void RestartElapsed() { elapsed_ = 0; }
  bool IsSliding() const { return slideStart_ != 0; }
  DNewAwardWindow& Panel() { return panel_; }

 protected:
  // The derived constructor's last step: placed, the appearing effects,
  // the lifetime (SetLifetime, so a message plays its sound and 0 closes at
  // once), then into the window stack after the queue's newest (or the
  // anchor) and into the queue.
  void Enter(u32 lifetime);
  // The panel's left edge (the award notices' right edge is 4 from the
  // screen's right, the messages' left edge 4 from its left).
  virtual float PanelLeft() const = 0;
  // The slide still to go.
  float SlideRest() const;

  NoticeQueueCore* queue_;
  i32 offset_ = 0;
  float x_ = 0.0f;
  float y_ = 0.0f;
  u32 lifeMs_ = kNoExpiry;
  u32 elapsed_ = 0;
  float slideDistance_ = 0.0f;
  u32 slideStart_ = 0;
  u32 slideCurrent_ = 0;
  u32 highlighted_ = 0;
  DNewAwardWindow panel_;
};

class NoticeQueueCore {
 public:
  NoticeQueueCore() = default;
  NoticeQueueCore(const NoticeQueueCore&) = delete;
  NoticeQueueCore& operator=(const NoticeQueueCore&) = delete;
  virtual ~NoticeQueueCore();  // Clear

  // Deletes every notice at once, newest first.
  void ClearAll();
  // Every notice leaves with its effect; one arrangement at the end.
  void CloseAll();
  void Lock() { ++hold_; }
  void Unlock();  // at 0 nothing; reaching 0 arranges
  // Gives every live notice its stacking offset (closing ones take no room),
  // then restacks.
  void Arrange();
  // When the restack flag is set: the notices right above the anchor, newer
  // above older, highlighted ones above all.
  void Restack();
  // The anchor and bottom margin of a screen: a new margin repositions
  // every notice; every live notice's lifetime starts again.
  void SetHostCore(GameWindow* anchor, i32 margin);
  // Once a frame: the time step (0 while a modal window is open or a screen
  // effect runs), then restack.
  void UpdateTimeStep();
  void UpdateAllPositions();  // every notice repositions
  // Keeps the 2 newest live notices besides a new one when the queue holds
  // more than 2 (closing ones included); the further live ones close.
  void LimitLive();

  i32 GetCount() const { return notices_.GetCount(); }
  NoticeWindow* GetNotice(i32 i) const { return notices_.Get(i); }
  // The number of notices not closing.
  i32 CountLive() const;
  u32 GetTimeStep() const { return timeStep_; }
  i32 GetMargin() const { return margin_; }
  i32 GetHold() const { return hold_; }
  void SetRestack() { restack_ = 1; }
  virtual GameWindow* GetAnchor() const = 0;

 protected:
  friend class NoticeWindow;
  void Join(NoticeWindow* notice) { notices_.Add(notice); }
  void Leave(NoticeWindow* notice) { notices_.Remove(notice); }

  kis::list<NoticeWindow*> notices_;
  u32 timeStep_ = 0;
  i32 margin_ = 0;
  i32 hold_ = 0;
  u32 restack_ = 0;
};

// One queue of the window manager over notices of class Notice.
template <class View, class Notice>
class NoticeQueue : public View, public NoticeQueueCore {
 public:
  void UpdateOrigin() override { UpdateTimeStep(); }
  void UpdatePositions() override { UpdateAllPositions(); }
  GameWindow* GetAnchor() const override { return View::GetHost(); }
  Notice* Get(i32 i) const { return static_cast<Notice*>(GetNotice(i)); }
  // The anchor and margin of a screen (the view's host is the anchor).
  void SetHost(GameWindow* anchor, i32 margin) {
    View::SetHost(anchor);
    SetHostCore(anchor, margin);
  }
};

// GameHint - the hover-hint part of every button and of every screen sprite
// that takes the mouse: the control's hint window (none: the control has no
// hint), its refresh flags and whether the hint may show. The window
// manager keeps the one current hint owner, the delay and its start, and
// steps the owner once per frame (UpdateHint).
//
// Once the owner has held the hint for more than the delay on the game clock
// (the manager restarts the delay whenever the pointer really moves), the
// owner places its window (PlaceHint), rebuilds it for the pending refresh
// bits and shows it; while shown, new pending bits rebuild it at once. A
// disabled hint never shows. A hint owner that goes away releases the hint
// first, so the manager never keeps a gone owner, and deletes its window.
#pragma once

#include "base/Types.h"

class HintWindow;

// Pending-refresh bits.
constexpr u32 kHintRefreshLevel = 0x1;    // the level changed
constexpr u32 kHintRefreshGlobal = 0x2;   // something game-wide changed
constexpr u32 kHintRefreshProduct = 0x100;  // the product of a production slot changed

constexpr u32 kHintDelay = 400;  // ms of rest before a hint shows

class GameHint {
 public:
  GameHint() = default;
  GameHint(const GameHint&) = delete;
  GameHint& operator=(const GameHint&) = delete;

  // Gives the hint window its anchor (nothing here; kinds place it).
  virtual void PlaceHint() {}
  virtual ~GameHint();  // releases the hint and deletes the window
  // Becomes the hint owner with the delay starting now (nothing without a
  // hint window, or when it is the owner already).
  virtual void ShowHint();
  // Rebuilds the hint window's content for the pending bits and clears them.
  virtual void RefreshHint();

  // When this is the owner: no owner any more and the window hidden.
  // Nothing otherwise.
  void ReleaseHint();
  void SetHintEnabled(bool enabled);  // a change hides the window
  // Once per frame while this is the owner: shows the window after the delay.
  void UpdateHint();

  bool IsHintOwner() const;
  HintWindow* GetHintWindow() const { return hintWindow_; }
  bool IsHintEnabled() const { return enabled_ != 0; }
  u32 GetRefreshMask() const { return refreshMask_; }
  void SetRefreshMask(u32 mask) { refreshMask_ = mask; }
  u32 GetPendingRefresh() const { return pendingRefresh_; }
  void AddPendingRefresh(u32 bits) { pendingRefresh_ |= bits; }

 protected:
  friend class HintWindow;  // a hint window made for an owner becomes its window
  u32 refreshMask_ = 0;
  u32 pendingRefresh_ = 0;
  HintWindow* hintWindow_ = nullptr;
  u32 enabled_ = 1;
};

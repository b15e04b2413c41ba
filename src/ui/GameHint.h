// GameHint - the hover-hint part of every button and of every screen sprite
// that takes the mouse: the control's hint window (none: the control has no
// hint), its refresh flags and whether the hint may show. The window
// manager keeps the one current hint owner, the delay and its start, and
// steps the owner once per frame (UpdateHint).
//
// A hint owner that goes away releases the hint first, so the manager never
// keeps a gone owner.
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
  virtual ~GameHint();
  // Becomes the hint owner with the delay starting now (nothing without a
  // hint window, or when it is the owner already).
  virtual void ShowHint();
  // Rebuilds the hint window's content for the pending bits and clears them.
  virtual void RefreshHint();

  // When this is the owner: no owner any more and the window hidden.
  void ReleaseHint();
  void SetHintEnabled(bool enabled);
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
  u32 refreshMask_ = 0;
  u32 pendingRefresh_ = 0;
  HintWindow* hintWindow_ = nullptr;
  u32 enabled_ = 1;
};

// TutorialHooks - what the interface and the level ask of the running
// tutorial: whether it lets the player act, and what has happened. The
// tutorials library will implement it; whoever runs a tutorial puts it into
// the game services (GameServices::tutorial) while it runs. It is optional:
// without one every action is allowed and events go nowhere.
//
// Action codes asked by the window toolkit: 1 a title action of a window
// (parameter: the window's id, object: the window), 2 a mouse event for a
// button (the id of its window, the button), 3 a key for a window (the key,
// the window), 100 hovering a screen sprite.
#pragma once

#include <cstdint>

#include "base/Types.h"

constexpr u32 kTutorialActionTitle = 1;
constexpr u32 kTutorialActionButton = 2;
constexpr u32 kTutorialActionKey = 3;
constexpr u32 kTutorialActionHover = 100;

// Events told to the tutorial.
constexpr u32 kTutorialEventClick = 1;  // a button was clicked (its window's id, the button)

class TutorialHooks {
 public:
  virtual ~TutorialHooks() = default;
  // True when the tutorial lets the action happen (also while it is ending).
  virtual bool AllowAction(u32 action, uintptr_t parameter, const void* object) = 0;
  virtual void Notify(u32 event, uintptr_t parameter, const void* object) = 0;
};

// The running tutorial's answer; true when none runs.
bool TutorialAllowAction(u32 action, uintptr_t parameter, const void* object);
// Tells the running tutorial, if any.
void TutorialNotify(u32 event, uintptr_t parameter, const void* object);

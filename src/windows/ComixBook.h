// ComixBook - the comics read from "COMX" (content/ComixSection.h) and the
// one comic window on screen. A comic is started by number: the book keeps
// the number and the caller's callback and fades the game into the comic
// state (GEffect_Regime to state 7, 250 ms each way); the state machine,
// on entering state 7, asks the book for the comic's window
// (CreateComixWindow). Closing the comic fades back to the level map
// (state 5) and runs the callback once that fade has ended (the map is in).
//
// The game world's window-manager stage makes the one book and stores it in
// the window services (WindowServices::comixBook); the stage deletes it as
// it goes down.
#pragma once

#include <functional>

#include "base/Types.h"
#include "resources/GameEffect.h"
#include "windows/WindowServices.h"

class ComixList;
class ComixWindow;
struct ComixPage;

constexpr u32 kComixFadeTime = 250;     // ms of each half of the screen changes
constexpr u32 kMapFlagComixSeen = 0x20;  // set in the level map's state flags when a comic closes

class ComixBook {
 public:
  // Over these comics (null: the game's, GetComixList, looked up when used).
  explicit ComixBook(ComixList* comics = nullptr);
  ~ComixBook();  // deletes the comic window still open
  ComixBook(const ComixBook&) = delete;
  ComixBook& operator=(const ComixBook&) = delete;

  // False when n is not below the comic count (nothing changes); else
  // stores the callback (may be null), deletes the current window, stores n
  // and runs the fade to state 7.
  bool StartComix(u32 n, GameEffectCallback callback);
  // The current comic's window, made for the state machine's state 7
  // (replacing one still open); null when there is no such comic. The book
  // owns it until it closes with the state.
  ComixWindow* CreateComixWindow();
  // Deletes the window (leaving state 7).
  void DeleteComixWindow();

  // Called by the window as it closes: the level map's flag 0x20 and the
  // fade to state 5, handing it the callback to run when it has ended.
  void FinishComix();

  u32 GetCount() const;
  ComixPage* GetPage(u32 n) const;
  ComixWindow* GetWindow() const { return window_; }
  u32 GetCurrent() const { return current_; }
  GameEffectCallback GetCallback() const { return callback_; }
  // Where the level map takes its state flags (set by the map's screen;
  // none: the flag is dropped).
  void SetMapFlagsHook(std::function<void(u32)> hook) { mapFlags_ = std::move(hook); }

  // The window's registration (its constructor and destructor).
  void Register(ComixWindow* window);
  void Forget(const ComixWindow* window) {
    if (window_ == window) window_ = nullptr;
  }

 private:
  ComixList* Comics() const;

  ComixList* comics_;
  ComixWindow* window_ = nullptr;
  u32 current_ = 0;
  GameEffectCallback callback_ = nullptr;
  std::function<void(u32)> mapFlags_;
};

// The game's book, or null.
inline ComixBook* GetComixBook() { return GetWindowServices().comixBook; }
// Comic n through the game's book (the level's way to comics 1 to 3 after
// its chapters); false without a book or such a comic.
bool StartComix(u32 n, GameEffectCallback callback);

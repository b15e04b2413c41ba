// LevelMenuHandler - what the level's menu window's six commands do. The
// menu window hands each command to it; it answers as the window's command
// handler does (0 not handled or the menu closes itself, 2 handled). What
// the commands reach (the menu window, the game's end, the level window in
// its restart form, the level map, the options and awards windows) comes
// with the game windows and the application, through LevelMenuActions,
// which the application library (src/app) will implement.
#pragma once

#include "base/Types.h"
#include "ui/BaseDialogWindow.h"

constexpr u32 kMenuClose = 0x20000001u;
constexpr u32 kMenuQuit = 0x20000002u;
constexpr u32 kMenuRestart = 0x20000003u;
constexpr u32 kMenuToMap = 0x20000004u;
constexpr u32 kMenuOptions = 0x20000005u;
constexpr u32 kMenuAwards = 0x20000006u;

class LevelMenuActions {
 public:
  virtual ~LevelMenuActions() = default;
  virtual void CloseMenu() = 0;
  virtual void QuitGame() = 0;           // asks the main window to close
  virtual void OfferRestart() = 0;       // the level window in its restart form
  virtual void ExitToMap() = 0;
  virtual void OpenOptions() = 0;
  virtual void OpenAwards() = 0;
};

class LevelMenuHandler {
 public:
  // actions: optional; without them no command is handled.
  explicit LevelMenuHandler(LevelMenuActions* actions) : actions_(actions) {}
  u32 OnCommand(u32 command);
  BaseDialogWindow* GetQuitQuestion() const { return quit_.Get(); }  // while it is open

 private:
  static bool OnQuitAnswer(uintptr_t self, uintptr_t, u32 answer);

  LevelMenuActions* actions_;
  OpenedDialog quit_;  // the quit question
};

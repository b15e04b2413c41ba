#include "windows/LevelMenuHandler.h"

#include "engine/Require.h"
#include "ui/WindowManager.h"

u32 LevelMenuHandler::OnCommand(u32 command) {
  if (!actions_) return 0;
  switch (command) {
    case kMenuClose:
      actions_->CloseMenu();
      return 0;
    case kMenuQuit:
      if (Require(GetWindowManager(), "the window manager for the quit question"))
        quit_.Open(u"quit_c", u"quit", kAnswerYes, kAnswerNo, &LevelMenuHandler::OnQuitAnswer,
                   reinterpret_cast<uintptr_t>(this));
      return 2;
    case kMenuRestart:
      actions_->OfferRestart();
      return 2;
    case kMenuToMap:
      actions_->ExitToMap();
      return 2;
    case kMenuOptions:
      actions_->OpenOptions();
      return 2;
    case kMenuAwards:
      actions_->CloseMenu();
      actions_->OpenAwards();
      return 2;
    default:
      return 0;
  }
}

bool LevelMenuHandler::OnQuitAnswer(uintptr_t self, uintptr_t, u32 answer) {
  LevelMenuActions* actions = reinterpret_cast<LevelMenuHandler*>(self)->actions_;
  if ((answer == kAnswerOk || answer == kAnswerYes) && actions) actions->QuitGame();
  return true;
}

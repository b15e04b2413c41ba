#include "windows/LevelMenuHandler.h"

u32 LevelMenuHandler::OnCommand(u32 command) {
  if (!actions_) return 0;
  switch (command) {
    case kMenuClose:
      actions_->CloseMenu();
      return 0;
    case kMenuQuit:
      if (dialogs_) dialogs_->OpenDialog(u"quit_c", u"quit", kAnswerYes, kAnswerNo, this);
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

bool LevelMenuHandler::OnDialogAnswer(u32 answer) {
  if ((answer == kAnswerOk || answer == kAnswerYes) && actions_) actions_->QuitGame();
  return true;
}

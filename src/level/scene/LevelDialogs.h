// LevelDialogs - the message dialogs the level opens (the lose dialog): a
// caption and a message, both keys of the language section "dialogs", and
// two answer buttons. The window toolkit's dialog implements it; tests
// record the calls and answer by hand.
#pragma once

#include "base/Types.h"
#include "ui/DialogAnswers.h"

// Where a dialog's answer goes; true lets the dialog close.
class DialogAnswer {
 public:
  virtual ~DialogAnswer() = default;
  virtual bool OnDialogAnswer(u32 answer) = 0;
};

class LevelDialogs {
 public:
  virtual ~LevelDialogs() = default;
  virtual void OpenDialog(const wchar* captionKey, const wchar* messageKey, u32 answer1, u32 answer2,
                          DialogAnswer* answer) = 0;
};

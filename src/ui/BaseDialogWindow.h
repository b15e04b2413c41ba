// BaseDialogWindow - the game's modal message box ('Diag'): a sprite window
// with a caption, a message and one or two answer buttons described by a
// DIALOGDESC, which reports the chosen answer to its opener's callback. The
// callback may refuse an answer (the dialog then stays open); otherwise the
// dialog lifts out and the window manager deletes it. Escape chooses the
// negative answer (or the positive one when there is none), Enter the
// positive one. A dialog darkens the dialog below it.
//
// The window manager's current-dialog anchor points to the newest dialog,
// whose per-frame hook (OnFrame) it calls; a dialog that goes clears the
// anchor only when it points to that dialog.
//
// DialogWindow lays itself out and drops in as it is made; OpenedDialog
// opens one for an object that answers it and closes it when that object
// goes first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/DialogAnswers.h"
#include "ui/LifeGuard.h"
#include "ui/SpritesWindow.h"

class KGETextSpriteW;

constexpr u32 kDialogWindowId = MakeWindowId('D', 'i', 'a', 'g');
constexpr i32 kDialogCaptionSize = 64;  // characters of a caption field, terminator included

struct DIALOGDESC {
  u32 buttonIds[2];
  wchar captions[2][kDialogCaptionSize];
  u32 count;  // 1 or 2
};

// True lets the dialog close on that answer.
using DialogCallback = bool (*)(uintptr_t user1, uintptr_t user2, u32 answer);

// Button 1 (and button 2 unless its id is 0) with the caption given, or the
// answer's own caption for null; captions are cut to 63 characters.
DIALOGDESC MakeDialogDesc(u32 id1, u32 id2, const wchar* caption1, const wchar* caption2);
// The caption of an answer: "ok", "cancel", "yes" or "no" of the language's
// "buttons" section (cut to the field), "UNKNOWN" for any other id.
void GetAnswerCaption(u32 answer, wchar out[kDialogCaptionSize]);

class BaseDialogWindow : public SpritesWindow {
 public:
  static constexpr i32 kWidth = 371;
  static constexpr i32 kButtonWidth = 166;
  static constexpr i32 kButtonStep = 168;
  static constexpr i32 kButtonRise = 84;  // the buttons' tops above the window's bottom

  // caption and message are keys of the language's "dialogs" section when
  // flagged, else the texts themselves. The colour words reach the
  // message's mark-up.
  BaseDialogWindow(const wchar* caption, const wchar* message, bool captionIsKey, bool messageIsKey,
                   const DIALOGDESC& desc, DialogCallback callback, uintptr_t user1, uintptr_t user2,
                   uintptr_t colour1, uintptr_t colour2);
  ~BaseDialogWindow() override;

  bool OnKeyDown(u16 key, u32 extra) override;
  void Draw() override;  // only once laid out
  u32 OnCommand(GameButton* control) override;
  void DrawForeground() override;
  // The laid-out height of the message.
  virtual i32 GetTextHeight() const;
  // Per frame while this is the current dialog (nothing here).
  virtual void OnFrame() {}

  // Once: the body sized to the message, the message centred in it, the
  // buttons 168 pixels apart; then the drop-in.
  void Layout();

  // The callback's verdict on an answer (as its button gives it), then the
  // close; false when the dialog stays (or went away meanwhile).
  bool Answer(u32 answer);

  bool IsLaidOut() const { return laidOut_ != 0; }
  // The language keys it was made with (empty for a text given as such).
  const std::u16string& GetCaptionKey() const { return captionKey_; }
  const std::u16string& GetMessageKey() const { return messageKey_; }
  const DIALOGDESC& GetDesc() const { return desc_; }
  KGETextSpriteW* GetMessageText() const { return messageText_; }
  float GetTextX() const { return textX_; }
  float GetTextY() const { return textY_; }

 protected:
  DIALOGDESC desc_;
  std::u16string captionKey_;
  std::u16string messageKey_;
  u32 laidOut_ = 0;
  KGETextSpriteW* messageText_ = nullptr;  // owned
  float textX_ = 0.0f;
  float textY_ = 0.0f;
  uintptr_t user1_;
  uintptr_t user2_;
  DialogCallback callback_;
};

class DialogWindow : public BaseDialogWindow {
 public:
  DialogWindow(const wchar* caption, const wchar* message, bool captionIsKey, bool messageIsKey,
               const DIALOGDESC& desc, DialogCallback callback, uintptr_t user1, uintptr_t user2, uintptr_t colour1,
               uintptr_t colour2);
  ~DialogWindow() override = default;
};

// The one message dialog an object has open: its caption and message are
// keys of the language's "dialogs" section and each answer goes to the
// callback with the object's word. Opening replaces the dialog still open;
// the object's going (or Close) deletes a dialog the window manager still
// holds, so no answer reaches an object that is gone.
class OpenedDialog {
 public:
  OpenedDialog() = default;
  OpenedDialog(const OpenedDialog&) = delete;
  OpenedDialog& operator=(const OpenedDialog&) = delete;
  ~OpenedDialog() { Close(); }

  // Answers 1 and 2 (0: none); false when there is no window manager to
  // take the dialog.
  bool Open(const wchar* captionKey, const wchar* messageKey, u32 answer1, u32 answer2, DialogCallback callback,
            uintptr_t user);
  void Close();
  // The dialog while it lives; null before, and once it has gone.
  BaseDialogWindow* Get() const;

 private:
  BaseDialogWindow* dialog_ = nullptr;
  std::unique_ptr<LifeGuard> alive_;
};

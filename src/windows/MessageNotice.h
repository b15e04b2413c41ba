// MessageNoticeQueue and MessageWindow - the message notices: game events
// that need the player's attention (a full warehouse) slide in at the
// bottom left of the screen. A message id carries the screens it belongs
// to in its high bits (0x1000000 main screen, 0x2000000 level-selection
// map, 0x4000000 level); the same id reported while its notice is live
// restarts that notice with a pulse and its sound instead of making a
// second one. A click asks the running tutorial (action 4), then the
// notice's callback, which tells whether the click closes it.
#pragma once

#include <functional>

#include "ui/WindowQueues.h"
#include "windows/NoticeQueue.h"

class MessageWindow;

// (argument kind, argument, mouse button) -> the click closes the notice.
using MessageCallback = std::function<bool(u32 argKind, uintptr_t arg, u32 button)>;

constexpr u32 kMessageMainScreen = 0x1000000u;
constexpr u32 kMessageLevelMap = 0x2000000u;
constexpr u32 kMessageLevel = 0x4000000u;

class MessageNoticeQueue : public NoticeQueue<MessageWindowQueue, MessageWindow> {
 public:
  // A new notice (the two newest older live ones stay), or the live one of
  // the id restarted with a pulse (its text stays). Lifetime in ms
  // (NoticeWindow::kNoExpiry: until clicked or cleared); sound 0: none.
  void ShowMessage(u32 id, Sprite* icon, i32 frame, const wchar* text, u32 argKind, uintptr_t arg, u32 lifetime,
                   MessageCallback callback, u32 sound);
  // The newest live notice of the id; null when none.
  MessageWindow* Find(u32 id) const;
  // Deletes at once, newest first: mask 0 every notice, else those whose id
  // lacks a bit of the mask.
  void Clear(u32 mask);
  // Lets leave with their effect, newest first: mask 0 every notice, else
  // those whose id holds every bit of the mask; one arrangement at the end.
  void CloseMatching(u32 mask);
  // A screen's anchor and margin, after the messages of other screens went.
  void SetHost(GameWindow* anchor, i32 margin, u32 mask) {
    Clear(mask);
    NoticeQueue::SetHost(anchor, margin);
  }
};

class MessageWindow : public NoticeWindow {
 public:
  static constexpr u32 kId = 0x4D657367u;  // "Mesg"
  static constexpr u32 kSoundGroups = 0x41000000u;

  MessageWindow(MessageNoticeQueue* queue, u32 id, Sprite* icon, i32 frame, const wchar* text, u32 argKind,
                uintptr_t arg, u32 lifetime, MessageCallback callback, u32 sound);

  // Also plays the notice's sound, every time (also when 0 closes it).
  void SetLifetime(u32 ms, bool pulse) override;
  bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys) override;

  u32 GetMessageId() const { return messageId_; }
  u32 GetArgKind() const { return argKind_; }
  uintptr_t GetArg() const { return arg_; }

 protected:
  float PanelLeft() const override { return 4.0f; }

 private:
  u32 messageId_;
  u32 argKind_;
  uintptr_t arg_;
  MessageCallback callback_;
  u32 sound_;
};

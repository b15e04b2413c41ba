#include "windows/MessageNotice.h"

#include "resources/SoundSettings.h"
#include "resources/TutorialHooks.h"
#include "ui/LifeGuard.h"

namespace {

constexpr u32 kActionMessageClick = 4;  // the tutorial's say on a click on a notice

bool HasBits(u32 id, u32 mask) { return (id & mask) == mask; }

}  // namespace

void MessageNoticeQueue::ShowMessage(u32 id, Sprite* icon, i32 frame, const wchar* text, u32 argKind, uintptr_t arg,
                                     u32 lifetime, MessageCallback callback, u32 sound) {
  if (MessageWindow* live = Find(id)) {
    live->SetLifetime(lifetime, true);
    return;
  }
  LimitLive();
  new MessageWindow(this, id, icon, frame, text, argKind, arg, lifetime, std::move(callback), sound);
  Arrange();
}

MessageWindow* MessageNoticeQueue::Find(u32 id) const {
  for (i32 i = GetCount() - 1; i >= 0; --i) {
    MessageWindow* notice = Get(i);
    if (notice->IsLive() && notice->GetMessageId() == id) return notice;
  }
  return nullptr;
}

void MessageNoticeQueue::Clear(u32 mask) {
  for (i32 i = GetCount() - 1; i >= 0; --i) {
    if (i >= GetCount()) continue;
    MessageWindow* notice = Get(i);
    if (mask == 0 || !HasBits(notice->GetMessageId(), mask)) delete notice;
  }
}

void MessageNoticeQueue::CloseMatching(u32 mask) {
  Lock();
  for (i32 i = GetCount() - 1; i >= 0; --i) {
    MessageWindow* notice = Get(i);
    if (mask == 0 || HasBits(notice->GetMessageId(), mask)) notice->Close();
  }
  Unlock();
}

MessageWindow::MessageWindow(MessageNoticeQueue* queue, u32 id, Sprite* icon, i32 frame, const wchar* text,
                             u32 argKind, uintptr_t arg, u32 lifetime, MessageCallback callback, u32 sound)
    : NoticeWindow(kId, queue, icon, frame, text, argKind, arg),
      messageId_(id),
      argKind_(argKind),
      arg_(arg),
      callback_(std::move(callback)),
      sound_(sound) {
  Enter(lifetime);
}

void MessageWindow::SetLifetime(u32 ms, bool pulse) {
  if (!IsLive()) return;
  NoticeWindow::SetLifetime(ms, pulse);
  if (sound_ != 0) GetSoundSettings().PlaySound(sound_, kSoundGroups, 0);
}

// Any button counts; a callback answering false keeps the notice.
bool MessageWindow::OnMouseDown(i32 x, i32 y, u32 button, u32 keys) {
  LifeGuard guard(GetLifetime());
  NoticeWindow::OnMouseDown(x, y, button, keys);
  if (!guard.Alive()) return true;
  if (!TutorialAllowAction(kActionMessageClick, button, this)) return true;
  if (callback_) {
    const MessageCallback callback = callback_;  // the call may delete the notice
    if (!callback(argKind_, arg_, button) || !guard.Alive()) return true;
  }
  Close();
  return true;
}

#include "windows/GameWindowManager.h"

#include "ui/WindowManager.h"
#include "windows/AwardNotice.h"
#include "windows/MessageNotice.h"

WindowManager* CreateGameWindowManager() {
  auto* manager = new WindowManager;
  manager->SetQueues(new MessageNoticeQueue, new AwardNoticeQueue);
  return manager;
}

MessageNoticeQueue* GetMessageNotices() {
  const WindowManager* manager = GetWindowManager();
  return manager ? dynamic_cast<MessageNoticeQueue*>(manager->GetMessageQueue()) : nullptr;
}

AwardNoticeQueue* GetAwardNotices() {
  const WindowManager* manager = GetWindowManager();
  return manager ? dynamic_cast<AwardNoticeQueue*>(manager->GetAwardQueue()) : nullptr;
}

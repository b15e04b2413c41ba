#include "windows/AwardNotice.h"

#include "engine/DXLMouse.h"
#include "resources/ResourceServices.h"
#include "resources/StandardSounds.h"
#include "ui/ItemTagKinds.h"
#include "ui/LifeGuard.h"
#include "windows/PanelSkins.h"

namespace {

constexpr const wchar* kTierKeys[3] = {u"small_bronze_message", u"small_silver_message", u"small_gold_message"};

}  // namespace

// The award table gives the icon and the text's argument; a notice shows
// without them when there is no table.
void AwardNoticeQueue::ShowAward(i32 kind, u32 index, i32 tier) {
  LimitLive();
  const AwardTable* table = GetAwardTable();
  Sprite* icon = nullptr;
  const wchar* key = u"final_award_message";
  u32 argKind = kItemTagFinalAward;
  uintptr_t arg = 0;
  if (kind == 0) {
    key = kTierKeys[(tier >= 1 && tier <= 3 ? tier : 1) - 1];
    argKind = kItemTagSmallAward;
    if (table) {
      const TIEREDAWARD& award = table->GetTiered(index);
      icon = award.icon;
      arg = reinterpret_cast<uintptr_t>(&award);
    }
  } else if (kind == 1) {
    key = u"big_award_message";
    argKind = kItemTagBigAward;
    if (table) {
      const RECORDAWARD& award = table->GetRecord(index);
      icon = award.icon;
      arg = reinterpret_cast<uintptr_t>(&award);
    }
  } else if (table) {
    icon = table->GetTotalIcon();
  }
  new NewAwardWindow(this, kind, kind == 0 || kind == 1 ? index : 0, tier, icon, SectionText(u"awards", key),
                     argKind, arg);
  Arrange();
}

NewAwardWindow::NewAwardWindow(AwardNoticeQueue* queue, i32 kind, u32 index, i32 tier, Sprite* icon,
                               const wchar* text, u32 argKind, uintptr_t arg)
    : NoticeWindow(kId, queue, icon, tier, text, argKind, arg), kind_(kind), index_(index), tier_(tier) {
  GetSoundSettings().PlaySound(GetStandardSound(kSoundAwardNotice), kSoundGroupScreen, 0);
  Enter(AwardNoticeQueue::kLifetime);
}

float NewAwardWindow::PanelLeft() const {
  return static_cast<float>(GetResourceServices().screen.width - panel_.GetWidth() - 4);
}

bool NewAwardWindow::OnMouseDown(i32 x, i32 y, u32 button, u32 keys) {
  LifeGuard guard(GetLifetime());
  const bool taken = NoticeWindow::OnMouseDown(x, y, button, keys);
  if (!guard.Alive()) return taken;
  if (button == kMouseLeft) {
    static_cast<AwardNoticeQueue*>(queue_)->OpenAwards();
  } else if (button == kMouseRight) {
    Close();
  }
  return true;
}

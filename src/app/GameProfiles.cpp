#include "app/GameProfiles.h"

#include "app/Profile.h"
#include "app/ProfileStore.h"
#include "ui/WindowManager.h"
#include "windows/AwardNotice.h"
#include "windows/GameWindowManager.h"
#include "windows/MessageNotice.h"
#include "windows/PanelSkins.h"
#include "windows/ProfilesWindow.h"

u32 StoreRoster::GetCount() const { return store_.GetCount(); }

MapProfile* StoreRoster::GetProfile(u32 i) const {
  const u32 count = store_.GetCount();
  return i < count ? store_.GetRecent(count - 1 - i) : nullptr;
}

MapProfile* StoreRoster::GetCurrent() const { return store_.GetCurrent(); }

Profile* StoreRoster::Find(const MapProfile* profile) const {
  for (u32 i = 0; i < store_.GetCount(); ++i)
    if (static_cast<const MapProfile*>(store_.GetRecent(i)) == profile) return store_.GetRecent(i);
  return nullptr;
}

std::u16string StoreRoster::GetName(const MapProfile* profile) const {
  const Profile* p = Find(profile);
  return p ? std::u16string(p->GetName()) : std::u16string();
}

i32 StoreRoster::SelectProfile(MapProfile* profile) {
  Profile* p = Find(profile);
  return p ? store_.SelectProfile(p) : kProfileNone;
}

i32 StoreRoster::DeleteProfile(MapProfile* profile) {
  Profile* p = Find(profile);
  return p ? store_.DeleteProfile(p) : kProfileNone;
}

i32 StoreRoster::CreateProfile(const wchar* name, MapProfile** out) {
  Profile* p = nullptr;
  const i32 code = store_.CreateProfile(name, &p);
  if (out) *out = p;
  return code == kProfileNotWritten && p ? kProfileOk : code;
}

i32 StoreRoster::CheckName(const wchar* name) const {
  std::u16string cleaned;
  return store_.CheckName(name, &cleaned);
}

u32 StoreRoster::ListNameCharacters(wchar* buffer, u32 capacity) const {
  return store_.ListNameCharacters(buffer, capacity);
}

void StoreRoster::ShowError(i32 code) { store_.ShowError(code); }

void StoreRoster::LeaveOpenLevel() {
  if (leaveLevel_) leaveLevel_();
}

void GameProfileNotices::ClearQueues() {
  if (MessageNoticeQueue* messages = GetMessageNotices()) messages->Clear(0);
  if (AwardNoticeQueue* awards = GetAwardNotices()) awards->Clear();
}

void GameProfileNotices::ShowError(const wchar* captionKey, const wchar* textKey) {
  if (GetWindowManager()) new ProfileErrorDialog(captionKey, textKey);
}

void GameProfileNotices::ShowFileNotice(u32 id, const wchar* textKey, const std::vector<std::u16string>& args) {
  MessageNoticeQueue* messages = GetMessageNotices();
  if (!messages) return;
  const std::u16string text = FillNoticeText(SectionText(u"profile_errors", textKey), args);
  messages->ShowMessage(id, nullptr, 0, text.c_str(), 0, 0, NoticeWindow::kNoExpiry,
                        [](u32, uintptr_t, u32) { return true; }, 0);
}

namespace {

constexpr size_t kSlashBreakEvery = 8;

}  // namespace

std::u16string FillNoticeText(std::u16string_view text, const std::vector<std::u16string>& args) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t n = i + 1 < text.size() && text[i] == u'%' ? static_cast<size_t>(text[i + 1] - u'1') : args.size();
    if (n < args.size() && n < 9) {
      size_t since = 0;  // characters since the last break
      for (const char16_t c : args[n]) {
        out += c;
        if (++since >= kSlashBreakEvery && c == u'/') {
          out += u"<space=0>";
          since = 0;
        }
      }
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

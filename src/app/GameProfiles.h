// GameProfiles - the profile store as the game's windows reach it: the
// profile windows' roster over the store (StoreRoster), and the store's
// notices answered by the game's notice queues and an error dialog
// (GameProfileNotices).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ProfileSeams.h"
#include "windows/ProfileRoster.h"

class Profile;
class ProfileStore;

// The store's profiles in its order (oldest use first); `leaveLevel`
// leaves and deletes a level still open (none: nothing to leave). A
// profile made whose file could not be written (31) is made all the same:
// the window takes it as made, and the store has told why it was not saved.
class StoreRoster : public ProfileRoster {
 public:
  StoreRoster(ProfileStore& store, std::function<void()> leaveLevel)
      : store_(store), leaveLevel_(std::move(leaveLevel)) {}

  u32 GetCount() const override;
  MapProfile* GetProfile(u32 i) const override;
  MapProfile* GetCurrent() const override;
  std::u16string GetName(const MapProfile* profile) const override;
  i32 SelectProfile(MapProfile* profile) override;
  i32 DeleteProfile(MapProfile* profile) override;
  i32 CreateProfile(const wchar* name, MapProfile** out) override;
  i32 CheckName(const wchar* name) const override;
  u32 ListNameCharacters(wchar* buffer, u32 capacity) const override;
  void ShowError(i32 code) override;
  void LeaveOpenLevel() override;

 private:
  Profile* Find(const MapProfile* profile) const;  // one of the store's, or null

  ProfileStore& store_;
  std::function<void()> leaveLevel_;
};

// Another profile chosen: the message and award queues of the game's window
// manager are emptied at once. An error: the profile error dialog.
class GameProfileNotices : public ProfileNotices {
 public:
  void ClearQueues() override;
  void ShowError(const wchar* captionKey, const wchar* textKey) override;
  // A message notice on every screen, until clicked.
  void ShowFileNotice(u32 id, const wchar* textKey, const std::vector<std::u16string>& args) override;
};

// The text with each "%1" .. "%9" replaced by the argument of that number
// (none given: left as it is). An argument may end a line after a "/" (a
// blank of no width is put there, no more often than every 8 characters):
// a long path breaks between its folders' names, never inside one, and a
// deep one stays well within the notice's 1,024 characters.
std::u16string FillNoticeText(std::u16string_view text, const std::vector<std::u16string>& args);

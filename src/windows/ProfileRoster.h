// ProfileRoster - the player profiles as the profile windows see them: the
// application's profile store (ProfileStore) implements it over its
// profiles, which the windows know as MapProfile; tests install a fake.
// Operations answer the store's codes (0 success, 10 store full, 11 no
// profile, 20 empty name, 21 too long, 22 character not allowed, 23 name
// used, 31 to 33 file errors).
#pragma once

#include <string>

#include "base/Types.h"

class MapProfile;

constexpr i32 kRosterNameUsed = 23;

class ProfileRoster {
 public:
  virtual ~ProfileRoster() = default;

  virtual u32 GetCount() const = 0;
  virtual MapProfile* GetProfile(u32 i) const = 0;  // in the store's order; null out of range
  virtual MapProfile* GetCurrent() const = 0;
  virtual std::u16string GetName(const MapProfile* profile) const = 0;
  // The player's choice: the profile made current (an error is shown).
  virtual i32 SelectProfile(MapProfile* profile) = 0;
  // Deselected when current, its files removed, deleted.
  virtual i32 DeleteProfile(MapProfile* profile) = 0;
  virtual i32 CreateProfile(const wchar* name, MapProfile** out) = 0;
  // 0 when the name (blanks cleaned) may be a new profile's.
  virtual i32 CheckName(const wchar* name) const = 0;
  // The characters names may hold and a terminator; their count.
  virtual u32 ListNameCharacters(wchar* buffer, u32 capacity) const = 0;
  // The error dialog of a code ("profile_errors").
  virtual void ShowError(i32 code) = 0;
  // A level still open is left (saved in the current profile's file) and
  // deleted, before another profile is chosen.
  virtual void LeaveOpenLevel() = 0;
};

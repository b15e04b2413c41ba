// The profile windows' roster as the tests set it up: profiles of the
// names given (fakes of the map's profile), the first current; a choice
// makes its profile current, a deletion of the current one leaves none;
// making a profile is refused (store full).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "FakeMapProfile.h"
#include "windows/ProfileRoster.h"

namespace windowstest {

struct FakeRoster : ProfileRoster {
  explicit FakeRoster(std::vector<std::u16string> n) : names(std::move(n)), profiles(names.size()) {
    current = profiles.empty() ? nullptr : &profiles[0];
  }
  u32 GetCount() const override { return static_cast<u32>(names.size()); }
  MapProfile* GetProfile(u32 i) const override {
    return i < profiles.size() ? const_cast<FakeMapProfile*>(&profiles[i]) : nullptr;
  }
  MapProfile* GetCurrent() const override { return current; }
  std::u16string GetName(const MapProfile* p) const override {
    for (size_t i = 0; i < profiles.size(); ++i)
      if (p == &profiles[i]) return names[i];
    return {};
  }
  i32 SelectProfile(MapProfile* profile) override {
    current = profile;
    return 0;
  }
  i32 DeleteProfile(MapProfile* profile) override {
    if (profile == current) current = nullptr;
    return 0;
  }
  i32 CreateProfile(const wchar*, MapProfile**) override { return 10; }
  i32 CheckName(const wchar*) const override { return 0; }
  u32 ListNameCharacters(wchar* buffer, u32) const override {
    buffer[0] = 0;
    return 0;
  }
  void ShowError(i32) override {}
  void LeaveOpenLevel() override {}

  std::vector<std::u16string> names;
  std::vector<FakeMapProfile> profiles;
  MapProfile* current = nullptr;
};

}  // namespace windowstest

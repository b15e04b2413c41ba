// The profile windows and the options window drawn over the sample level
// with the sample language, for a person to look at: the profiles window
// with five farmers, the current one ticked and one row hovered
// (profiles_window.png), the new-profile window over it with a name typed
// (new_profile_window.png), the options window with the music at 70 and
// the sounds off (options_window.png).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "../FakeMapProfile.h"
#include "engine/DXLViewer.h"
#include "level/scene/GameLevel.h"
#include "resources/ResourceServices.h"
#include "testsupport/LevelHarness.h"
#include "ui/GameEdit.h"
#include "ui/WindowManager.h"
#include "windows/OptionsWindow.h"
#include "windows/ProfileRoster.h"
#include "windows/ProfilesWindow.h"
#include "windows/WindowServices.h"

namespace windowstest {
namespace {

// Five farmers of fixed names; the third is current.
struct ShownRoster : ProfileRoster {
  ShownRoster() {
    for (const char16_t* n : {u"Ann", u"Bartholomew", u"Cid", u"Dora", u"Eve"}) names.emplace_back(n);
  }
  u32 GetCount() const override { return static_cast<u32>(names.size()); }
  MapProfile* GetProfile(u32 i) const override {
    return i < names.size() ? const_cast<FakeMapProfile*>(&profiles[i]) : nullptr;
  }
  MapProfile* GetCurrent() const override { return const_cast<FakeMapProfile*>(&profiles[2]); }
  std::u16string GetName(const MapProfile* p) const override {
    for (size_t i = 0; i < names.size(); ++i)
      if (p == &profiles[i]) return names[i];
    return {};
  }
  i32 SelectProfile(MapProfile*) override { return 0; }
  i32 DeleteProfile(MapProfile*) override { return 0; }
  i32 CreateProfile(const wchar*, MapProfile**) override { return 10; }
  i32 CheckName(const wchar* name) const override { return name && *name ? 0 : 20; }
  u32 ListNameCharacters(wchar* buffer, u32 capacity) const override {
    const std::u16string allowed = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz ";
    const u32 n = std::min<u32>(static_cast<u32>(allowed.size()), capacity - 1);
    std::copy(allowed.begin(), allowed.begin() + n, buffer);
    buffer[n] = 0;
    return n;
  }
  void ShowError(i32) override {}
  void LeaveOpenLevel() override {}

  std::vector<std::u16string> names;
  FakeMapProfile profiles[5];
};

class WindowShots : public ::testing::Test {
 protected:
  WindowShots() : h(leveltest::SampleDataFolder(), 800, 600, true) {
    GameLevelHooks hooks;
    hooks.rules.profile = &h.profile;
    level = h.world.OpenLevel(0, LevelSetup{}, hooks);
    h.LoadAll();
    h.Enter();
  }
  // Frames of the level and the windows over it (their drop-in plays), then
  // the picture (none for a null name).
  void Shoot(const char* name) {
    DXLViewer* viewer = GetGameViewer();
    for (i32 i = 0; i < 20; ++i) {
      h.Step(20);
      ASSERT_EQ(viewer->BeginFrame(), 0);
      viewer->Clear(0xFF000000u);
      h.world.Draw();
      ASSERT_EQ(viewer->Present(), 0);
    }
    if (name) {
      EXPECT_TRUE(h.WritePng(name));
    }
  }

  leveltest::LevelHarness h;
  GameLevel* level = nullptr;
};

TEST_F(WindowShots, ProfilesAndNewProfileWindows) {
  ASSERT_TRUE(h.loaded);
  ShownRoster roster;
  auto* w = new ProfilesWindow(&roster, nullptr, nullptr);
  EXPECT_EQ(w->GetSelected(), 2);
  Shoot(nullptr);  // dropped in: it takes the pointer now
  const DXLRECT& r = w->GetRect();
  const i32 y = w->GetListTop() + ProfilesWindow::kRowsTop + 1 * ProfilesWindow::kRowStep + 24 - w->GetScroll();
  GetWindowManager()->OnMouseMove(r.left + 150, r.top + y, 0, 0);
  EXPECT_EQ(w->GetHovered(), 1);
  Shoot("profiles_window.png");
  EXPECT_EQ(w->GetRow(1)->State().GetEnableBits(), kStateHover);
  w->OnCommand(w->GetNewButton());
  ASSERT_NE(w->GetNewWindow(), nullptr);
  w->GetNewWindow()->GetEditBox()->SetText(u"Frida");
  EXPECT_TRUE(w->GetNewWindow()->IsNameAcceptable());
  Shoot("new_profile_window.png");
  delete w;
}

TEST_F(WindowShots, OptionsWindow) {
  ASSERT_TRUE(h.loaded);
  FakeMapProfile profile;
  profile.tutorials = true;
  GetWindowServices().mapProfile = &profile;
  SoundSettings& sound = GetSoundSettings();
  sound.musicOn = 1;
  sound.musicVolume = 70.0f;
  sound.soundsOn = 0;
  auto* w = new OptionsWindow(nullptr);
  EXPECT_EQ(w->GetBar(SoundSettings::kMusic)->GetFilled(), 112);
  EXPECT_EQ(w->GetBar(SoundSettings::kSounds)->GetFilled(), 0);
  Shoot("options_window.png");
  delete w;
  GetWindowServices().mapProfile = nullptr;
}

}  // namespace
}  // namespace windowstest

// The profile windows and the options window drawn over the sample level
// with the sample language, for a person to look at: the profiles window
// with five farmers, the current one ticked and one row hovered
// (profiles_window.png), the new-profile window over it with a name typed
// (new_profile_window.png), the options window with the music at 70 and
// the sounds off (options_window.png), its white title readable on the
// caption plate; the window titles' reflections measured in the sample
// language's title font.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "../FakeMapProfile.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "level/scene/GameLevel.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "testsupport/Contrast.h"
#include "testsupport/LevelHarness.h"
#include "ui/CaptionPlate.h"
#include "ui/GameEdit.h"
#include "ui/WindowManager.h"
#include "windows/OptionsWindow.h"
#include "windows/PanelSkins.h"
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
  // The white title reads on the caption plate at 4.5:1 and more, on every
  // row of the plate behind its letters.
  const CaptionPlate& plate = *w->GetCaptionPlate();
  const DXLQUAD& title = plate.GetTitleQuad();
  const DXLRECT& at = w->GetRect();
  const DXLRECT letters{at.left + static_cast<i32>(title.v[0].x), at.top + static_cast<i32>(title.v[0].y + 0.5f),
                        at.left + static_cast<i32>(title.v[1].x + 1), at.top + static_cast<i32>(title.v[3].y + 0.5f)};
  EXPECT_GE(testsupport::TextContrast(h.Frame(), 800, letters, 0xFFFFFFu), 4.5);
  delete w;
  GetWindowServices().mapProfile = nullptr;
}

// Every window title's reflection, drawn by the software renderer in game
// font 2 on a plate of flat black and then of flat white: a pixel's opacity
// is how little of the white shows through it. Row by row, the reflection's
// opacity over the letters' own (the row of the title it mirrors) is its
// fade; over the mirrored letters' rows, the lower half's mean fade is at
// most a third of the upper half's, so the reflection is gone by the top of
// the mirrored letters. (A fade straight from the letters' foot to nothing
// at their top gives exactly a third; the renderer's 8-bit alphas round
// that up by a few thousandths.)
TEST_F(WindowShots, TitleReflectionsFadeOutWithinTheLetters) {
  ASSERT_TRUE(h.loaded);
  DXLViewer* viewer = GetGameViewer();
  DXLTexture flat(viewer);
  flat.Create(1024, 1024, plat::gfx::D3DFMT_A8R8G8B8, true);
  ASSERT_TRUE(flat.IsReady());
  struct Swap {  // the plates are cut from the flat picture while the test runs
    DXLTexture* const art = GetResourceServices().interfaceImage;
    ~Swap() { GetResourceServices().interfaceImage = art; }
  } swap;
  GetResourceServices().interfaceImage = &flat;
  const std::pair<const wchar*, const wchar*> titles[] = {
      {u"options_window", u"caption"},      {u"awards_window", u"caption"},    {u"profiles_window", u"new_caption"},
      {u"level_result_window", u"caption"}, {u"warehouse_window", u"caption"}, {u"credits_window", u"caption"}};
  for (const auto& [section, key] : titles) {
    const std::u16string title = SectionText(section, key);
    SCOPED_TRACE(std::string(title.begin(), title.end()));
    CaptionPlate plate;
    plate.Build(100, 100, 500, 160, title.c_str(), nullptr);
    ASSERT_NE(plate.GetTextSprite(), nullptr);
    std::vector<u32> on[2];  // on black, on white
    for (i32 k = 0; k < 2; ++k) {
      const u32 colour = k == 0 ? 0xFF000000u : 0xFFFFFFFFu;
      u8* bits = flat.Lock(0);
      ASSERT_NE(bits, nullptr);
      for (i32 y = 0; y < flat.GetHeight(); ++y)
        std::fill_n(reinterpret_cast<u32*>(bits) + static_cast<size_t>(y) * (flat.GetLockPitch() / 4), flat.GetWidth(),
                    colour);
      flat.Unlock();
      ASSERT_EQ(viewer->BeginFrame(), 0);
      viewer->Clear(colour);
      plate.Draw();
      UnbindDrawTexture();
      ASSERT_EQ(viewer->Present(), 0);
      on[k] = h.Frame();
    }
    const DXLQUAD& mirror = plate.GetMirrorQuad();
    const i32 left = static_cast<i32>(mirror.v[0].x + 0.5f), right = static_cast<i32>(mirror.v[1].x + 0.5f);
    const i32 top = static_cast<i32>(mirror.v[0].y + 0.5f), rows = static_cast<i32>(mirror.v[3].y + 0.5f) - top;
    const i32 titleTop = static_cast<i32>(plate.GetTitleQuad().v[0].y + 0.5f);
    const auto opacity = [&](i32 y) {
      double sum = 0;
      for (i32 x = left; x < right; ++x) {
        const size_t i = static_cast<size_t>(y) * 800 + static_cast<size_t>(x);
        sum += 1.0 - static_cast<double>((on[1][i] >> 8 & 0xFF) - (on[0][i] >> 8 & 0xFF)) / 255.0;
      }
      return sum;
    };
    std::vector<double> fades;  // the mirrored letters' rows, from the title's foot down
    for (i32 y = 0; y < rows; ++y) {
      const double letters = opacity(titleTop + rows - 1 - y);
      if (letters > 0.5) fades.push_back(opacity(top + y) / letters);
    }
    ASSERT_GE(fades.size(), 8u);
    const size_t half = fades.size() / 2;
    double upper = 0, lower = 0;
    for (size_t i = 0; i < half; ++i) {
      upper += fades[i];
      lower += fades[fades.size() - 1 - i];
    }
    EXPECT_LE(lower / upper, 1.0 / 3 + 0.005);
  }
}

}  // namespace
}  // namespace windowstest

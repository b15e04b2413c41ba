// The options window: its sound rows driven through the toggles and the
// volume bars, what closing writes (settings, profile), the screen mode
// through the application's hooks, and the sounds bar's preview rate.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "FakeMapProfile.h"
#include "engine/DXLMouse.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "testsupport/SpriteRig.h"
#include "testsupport/WindowDoor.h"
#include "ui/CheckBox.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/OptionsWindow.h"
#include "windows/WindowServices.h"

namespace windowstest {
namespace {

struct FakeScreen : OptionsHooks {
  bool IsFullscreen() const override { return full; }
  bool SetFullscreen(bool on) override {
    if (!works) return false;
    full = on;
    return true;
  }
  void CloseGameWindow() override { ++closes; }
  void BuildScreenBorders() override { ++borders; }
  void SaveSettings() override { ++saves; }
  bool full = true;
  bool works = true;
  i32 closes = 0, borders = 0, saves = 0;
};

class Options : public ::testing::Test {
 protected:
  Options() {
    ResourceServices& s = GetResourceServices();
    s.screen.width = 800;
    s.screen.height = 600;
    s.screen.rect = DXLRECT{0, 0, 800, 600};
    manager = new WindowManager;
    GetUiServices().windowManager = manager;
    SpriteSet& set = art.Set(7);  // the bars find their picture by name in any set
    DXLTexture* t = set.GetTextures()->NewTexture();
    t->SetName(u"sound_bar");
    const std::vector<u8> file = spritetest::Picture(161, 60, 1);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    new Sprite(&set, u"sound_bar", t, SPRITEGRID{1, 161, 60, 0, 0, {0, 0, 0, 0}}, false, false, 0);
    GetWindowServices().mapProfile = &profile;
    sound = SoundSettings{};
    sound.soundsOn = 1;
    sound.soundsVolume = 0.0f;  // on at volume 0
    sound.musicVolume = 50.0f;
    GetResourceServices().sound = sound;
  }
  ~Options() override {
    GetWindowServices().mapProfile = nullptr;
    delete manager;
    GetUiServices().windowManager = nullptr;
  }
  SoundSettings& S() { return GetSoundSettings(); }
  static bool Ticked(const GameButton* b) { return (b->State().GetState() & kStateFlag) != 0; }
  // Opened, away from the screen's corner, its drop-in over: the mouse
  // reaches it through the window manager.
  OptionsWindow* Open(OptionsHooks* hooks) {
    auto* w = new OptionsWindow(hooks);
    testsupport::PlaceWindow(*w);
    testsupport::Settle(*w);
    return w;
  }
  void Click(GameButton* b) { testsupport::Click(*manager, *b); }
  // The pointer at window x over the bar: pressed there, moved there (with
  // the buttons held), released there.
  kis::IntPoint At(SoundBar* bar, i32 x) { return testsupport::OnScreen(*bar->GetParent(), x, bar->GetRect().top + 2); }
  void Press(SoundBar* bar, i32 x) {
    Move(bar, x, 0);
    manager->OnMouseDown(At(bar, x).x, At(bar, x).y, kMouseLeft, 0);
  }
  void Move(SoundBar* bar, i32 x, u32 held) { manager->OnMouseMove(At(bar, x).x, At(bar, x).y, held, 0); }
  void Release(SoundBar* bar, i32 x) { manager->OnMouseUp(At(bar, x).x, At(bar, x).y, kMouseLeft, 0); }

  spritetest::SpriteRig art;
  testsupport::InterfacePicture picture;
  WindowManager* manager;
  FakeMapProfile profile;
  FakeScreen screen;
  SoundSettings sound;
};

TEST_F(Options, TogglesAndBarsDriveTheSoundRows) {
  auto* w = Open(&screen);
  EXPECT_EQ(manager->GetAnchor(kAnchorOptions), w);
  // Opened: a channel on at volume 0 is switched off, which is no change.
  EXPECT_EQ(S().soundsOn, 0u);
  EXPECT_FALSE(w->IsChanged());
  EXPECT_TRUE(Ticked(w->GetFullscreenBox()));
  SoundBar* sounds = w->GetBar(SoundSettings::kSounds);
  SoundBar* music = w->GetBar(SoundSettings::kMusic);
  EXPECT_EQ(sounds->GetBarWidth(), 160);
  EXPECT_EQ(music->GetFilled(), 80);
  EXPECT_EQ(music->GetSoundId(), 0u);  // the music bar previews nothing
  // Switched on at volume 0: 33.
  Click(w->GetToggle(SoundSettings::kSounds));
  EXPECT_FLOAT_EQ(S().soundsVolume, 33.0f);
  EXPECT_TRUE(Ticked(w->GetToggle(SoundSettings::kSounds)));
  EXPECT_TRUE(w->IsChanged());
  // Dragged to the left end: 0, the toggle off, the channel still on.
  Press(sounds, sounds->GetRect().left);
  Release(sounds, sounds->GetRect().left);
  EXPECT_FLOAT_EQ(S().soundsVolume, 0.0f);
  EXPECT_EQ(S().soundsOn, 1u);
  EXPECT_FALSE(Ticked(w->GetToggle(SoundSettings::kSounds)));
  EXPECT_EQ(sounds->GetFilled(), 0);
  // A press switches its channel on before taking the volume.
  Click(w->GetToggle(SoundSettings::kMusic));
  EXPECT_EQ(S().musicOn, 0u);
  EXPECT_EQ(music->GetFilled(), 0);
  Press(music, music->GetRect().left + 159);
  EXPECT_EQ(S().musicOn, 1u);
  EXPECT_FLOAT_EQ(S().musicVolume, 100.0f);
  EXPECT_TRUE(Ticked(w->GetToggle(SoundSettings::kMusic)));
  // Released, the pointer moving over the bar sets nothing; pressed again,
  // a move does.
  Release(music, music->GetRect().left + 159);
  Move(music, music->GetRect().left + 80, 0);
  EXPECT_FLOAT_EQ(S().musicVolume, 100.0f);
  Press(music, music->GetRect().left + 150);
  Move(music, music->GetRect().left + 79, kMouseLeft);
  EXPECT_NEAR(S().musicVolume, 50.0f, 0.5f);
  delete w;
  EXPECT_EQ(manager->GetAnchor(kAnchorOptions), nullptr);
  EXPECT_EQ(screen.saves, 1);

  // A disabled bar takes no position: nothing set, nothing changed.
  w = Open(&screen);
  music = w->GetBar(SoundSettings::kMusic);
  music->SetState(kStateHidden, true, 0);
  music->SetFromX(music->GetRect().left);
  EXPECT_NEAR(S().musicVolume, 50.0f, 0.5f);
  EXPECT_FALSE(w->IsChanged());
  delete w;
}

TEST_F(Options, ClosingWritesSettingsAndProfileOnlyForChanges) {
  profile.tutorials = true;
  delete Open(&screen);  // nothing changed
  EXPECT_EQ(screen.saves, 0);
  EXPECT_EQ(profile.saves, 0);

  // A press that keeps the volume still counts.
  auto* w = Open(&screen);
  SoundBar* music = w->GetBar(SoundSettings::kMusic);
  const i32 at = music->GetRect().left + 159 / 2;
  Press(music, at);
  const float volume = S().musicVolume;
  delete w;
  EXPECT_EQ(screen.saves, 1);
  w = Open(&screen);
  Press(w->GetBar(SoundSettings::kMusic), at);
  EXPECT_FLOAT_EQ(S().musicVolume, volume);
  delete w;
  EXPECT_EQ(screen.saves, 2);

  // The tutorial flag: toggled and closed saves once; toggled back, nothing.
  w = Open(&screen);
  EXPECT_TRUE(Ticked(w->GetTutorialBox()));
  Click(w->GetTutorialBox());
  EXPECT_FALSE(profile.tutorials);
  EXPECT_TRUE(w->OnKeyDown(kKeyEscape, 0));
  EXPECT_EQ(profile.saves, 1);
  EXPECT_TRUE(w->IsClosing());
  delete w;
  w = Open(&screen);
  Click(w->GetTutorialBox());
  Click(w->GetTutorialBox());
  EXPECT_TRUE(w->OnKeyDown(kKeyEnter, 0));
  EXPECT_EQ(profile.saves, 1);
  EXPECT_EQ(screen.saves, 2);  // the tutorial flag is no setting
  delete w;

  // Full screen twice: the borders built each time, the settings written;
  // a mode that does not apply ends the game.
  w = Open(&screen);
  Click(w->GetFullscreenBox());
  EXPECT_FALSE(Ticked(w->GetFullscreenBox()));
  Click(w->GetFullscreenBox());
  EXPECT_TRUE(Ticked(w->GetFullscreenBox()));
  EXPECT_EQ(screen.borders, 2);
  screen.works = false;
  Click(w->GetFullscreenBox());
  EXPECT_EQ(screen.closes, 1);
  EXPECT_EQ(screen.borders, 2);
  delete w;
  EXPECT_EQ(screen.saves, 3);
}

TEST_F(Options, TheSoundsBarPreviewsAtMostEvery150Ms) {
  plat::FakeClock clock(1000);
  plat::PlatformServicesScope scope({.clock = &clock});
  auto* w = Open(nullptr);
  SoundBar* bar = w->GetBar(SoundSettings::kSounds);
  bar->SetSoundId(7);
  const i32 left = bar->GetRect().left;
  Press(bar, left + 40);
  EXPECT_EQ(bar->GetLastPreview(), 1000u);
  EXPECT_FALSE(bar->IsPreviewPending());
  for (const auto& [now, x, played] : {std::tuple<u32, i32, u32>{1100, 60, 1000}, {1149, 70, 1000},
                                       {1150, 80, 1150}, {1200, 90, 1150}}) {
    clock.Set(now);
    Move(bar, left + x, kMouseLeft);
    EXPECT_EQ(bar->GetLastPreview(), played) << now;
  }
  EXPECT_TRUE(bar->IsPreviewPending());
  clock.Set(1300);
  w->Update();  // the window's frame plays the waiting preview
  EXPECT_EQ(bar->GetLastPreview(), 1300u);
  EXPECT_FALSE(bar->IsPreviewPending());
  delete w;
}

}  // namespace
}  // namespace windowstest

// The map interface over a 1024 x 768 screen: the bands it takes from the
// map (the corners of the top and bottom bands, the greeting's strip, the
// medals area always), "welcom" for a fresh profile and "hello" after, the
// regime button locked (lock, chain, hint) and opened with its animation,
// the regime switch through its fade, "back" to the main screen (both
// fades 250 ms each way, neither started again while one runs), the
// greeting's profiles window with the map's callbacks and the options
// window, the awards window's test mode only with cheats and Shift alone,
// and every place again after the screen changes size.
#include <gtest/gtest.h>

#include "FakeAwardsProfile.h"
#include "FakeMapProfile.h"
#include "FakeRoster.h"
#include "PanelRig.h"
#include "level/scene/DeveloperOverlay.h"
#include "level/scene/LevelServices.h"
#include "engine/DXLFrameSeq.h"
#include "resources/GEffects.h"
#include "resources/GameEffect.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "ui/InvisibleButton.h"
#include "ui/WindowManager.h"
#include "windows/AwardsWindow.h"
#include "windows/MapInterface.h"
#include "windows/OptionsWindow.h"
#include "windows/ProfilesWindow.h"
#include "windows/WindowServices.h"
#include "testsupport/WindowDoor.h"

namespace windowstest {
namespace {

class MapHostRecord : public MapInterfaceHost {
 public:
  void OnProfileChosen() override { ++chosen; }
  void OnCurrentProfileDeleted() override { ++deleted; }
  void OnCurrentProfileReplaced() override { replaced += deleted; }  // after the deletion
  void OnRegimeSwitched() override { ++switched; }
  i32 chosen = 0, deleted = 0, replaced = 0, switched = 0;
};

class MapProfileRecord : public FakeMapProfile {
 public:
  void SetRegime(u32 r) override {
    regime = r;
    ++saves;
  }
  u32 GetOpenCount() const override { return opened; }
  bool IsHardUnlocked() const override { return hard; }
  u32 opened = 1;
  bool hard = false;
};

class MapInterfaceTest : public ::testing::Test {
 protected:
  MapInterfaceTest() {
    rig.AddPicture(1, u"map_lock_chain", 56, 64);
    // The lock opens in four frames; its sprite loops them on the frame
    // clock by itself, 50 ms a frame.
    DXLFRAMESEQ loop;
    DXLFrameSeqInit(&loop, kFrameSeqLoop, 0, 4, 50, 0, 0);
    rig.AddPicture(1, u"lock", 36, 44, 4)->SetDefaultAnimation(&loop);
    GetResourceServices().interfaceImage = rig.AddPicture(1, u"interface", 1024, 1024)->GetTexture();
    GetWindowServices().mapProfile = &profile;
    GetWindowServices().awardsProfile = &awards;
    GetResourceServices().clock = 5000;
  }
  ~MapInterfaceTest() override {
    ClearGameEffects();
    GetWindowServices().mapProfile = nullptr;
    GetWindowServices().awardsProfile = nullptr;
    GetLevelServices().developer = nullptr;
    GetResourceServices().interfaceImage = nullptr;
  }
  // Made and moved away from the screen's corner, where a point turned
  // into the window's own coordinates twice (or not at all) misses.
  MapInterface* Open() {
    auto* map = new MapInterface(&host);
    testsupport::PlaceWindow(*map);
    return map;
  }
  void Click(const GameButton* b, u32 keys = 0) {
    testsupport::ClickAt(*rig.manager, testsupport::MiddleOf(*b), kMouseLeft, keys);
  }

  PanelRig rig{1024, 768};
  MapProfileRecord profile;
  FakeAwardsProfile awards;
  MapHostRecord host;
};

TEST_F(MapInterfaceTest, TakesTheBandsCornersAndTheMedalsAreaAndFollowsTheScreen) {
  auto* map = new MapInterface(&host);
  EXPECT_EQ(rig.manager->GetAnchor(kAnchorMapInterface), map);
  struct Probe {
    i32 x, y;
    bool taken;
  };
  // W - 180 = 844, H - 70 = 698; the medals area (341, 720)-(683, 768).
  for (const Probe& p : {Probe{10, 10, true}, {500, 26, true}, {500, 27, false}, {179, 72, true}, {179, 73, false},
                         {179, 697, false}, {179, 699, true}, {180, 50, false}, {843, 50, false}, {844, 50, true},
                         {1023, 767, true}, {300, 740, false}, {341, 720, true}, {682, 767, true}, {683, 740, false},
                         {1024, 10, false}}) {
    SCOPED_TRACE(std::to_string(p.x) + ", " + std::to_string(p.y));
    EXPECT_EQ(map->HitTest(p.x, p.y), p.taken);
  }
  const auto at = [](const GameButton* b) { return std::pair{b->GetRect().left, b->GetRect().top}; };
  EXPECT_EQ(at(map->GetButton(kMapBackCommand)), (std::pair{4, 2}));
  EXPECT_EQ(at(map->GetButton(kMapOptionsCommand)), (std::pair{851, 2}));
  EXPECT_EQ(at(map->GetButton(kMapAwardsCommand)), (std::pair{4, 702}));
  EXPECT_EQ(at(map->GetRegimeButton()), (std::pair{849, 703}));
  EXPECT_TRUE(map->IsOverButtons(20, 20));
  EXPECT_TRUE(map->IsOverButtons(900, 20));
  EXPECT_FALSE(map->IsOverButtons(20, 720));  // "awards" is not one of them

  // A new screen size: the same controls moved (none made twice), the bands
  // measured from the new edges.
  const i32 controls = map->Controls().GetCount();
  GameButton* regime = map->GetRegimeButton();
  PanelRig::Screen(1280, 720);
  rig.manager->OnScreenResize();
  EXPECT_EQ(map->Controls().GetCount(), controls);
  EXPECT_EQ(map->GetRegimeButton(), regime);
  EXPECT_EQ(at(map->GetButton(kMapOptionsCommand)), (std::pair{1107, 2}));
  EXPECT_EQ(at(map->GetButton(kMapAwardsCommand)), (std::pair{4, 654}));
  EXPECT_EQ(at(regime), (std::pair{1105, 655}));
  EXPECT_EQ(map->GetMedalsArea()->GetX(), (1280 - 342) / 2);
  EXPECT_EQ(map->GetMedalsArea()->GetY(), 720 - 48);
  EXPECT_TRUE(map->HitTest(1100, 50));
  EXPECT_FALSE(map->HitTest(1099, 50));
  EXPECT_TRUE(map->HitTest(640, 700));  // the medals area, always
  const GameButton* greeting = map->GetProfileButton();
  EXPECT_NEAR((greeting->GetRect().left + greeting->GetRect().right) / 2.0, 640.0, 1.0);
  delete map;
  EXPECT_EQ(rig.manager->GetAnchor(kAnchorMapInterface), nullptr);
}

TEST_F(MapInterfaceTest, GreetsAFreshProfileWithWelcomeThenWithHello) {
  auto* map = new MapInterface(&host);
  ProfileButton* first = map->GetProfileButton();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->IsWelcome());
  EXPECT_EQ(first->GetProfile(), &profile);
  const DXLRECT& r = first->GetRect();
  EXPECT_NEAR((r.top + r.bottom) / 2.0, 12.0, 1.0);
  EXPECT_NEAR((r.left + r.right) / 2.0, 512.0, 1.0);
  profile.opened = 2;
  map->CreateProfileButton();
  EXPECT_FALSE(map->GetProfileButton()->IsWelcome());
  EXPECT_EQ(map->FindControl(kMapGreetingCommand, 0), map->GetProfileButton());  // the old one went
  delete map;
}

TEST_F(MapInterfaceTest, TheRegimeButtonIsLockedUntilHardOpensThenSwitchesThroughTheFade) {
  auto* map = Open();
  RegimeButton* regime = map->GetRegimeButton();
  // Locked: the lock, the chain and the hint; the indicator greyed.
  EXPECT_FALSE(regime->IsEnabled());
  EXPECT_EQ(regime->GetIndicatorFrame(), 0u);
  EXPECT_TRUE(regime->IsChainDrawn());
  EXPECT_TRUE(regime->IsLockDrawn());
  // The lock stays closed (frame 0) whatever the frame clock says.
  ImageSprite* lock = regime->GetLock();
  ASSERT_NE(lock, nullptr);
  for (u32 now : {0u, 75u, 160u}) {
    spritetest::g_frameNow = now;
    regime->Draw();
    EXPECT_EQ(lock->FrameState().animated, 0) << now;
    EXPECT_EQ(lock->FrameState().frame, 0) << now;
  }
  EXPECT_NE(regime->GetHintWindow(), nullptr);
  EXPECT_EQ(regime->GetCaptionColor(0), RegimeButton::kChosenColor);  // Easy is the regime
  EXPECT_EQ(regime->GetCaptionColor(1), RegimeButton::kEasyColor);
  Click(regime);
  EXPECT_EQ(profile.regime, 0u);  // a locked button switches nothing
  EXPECT_EQ(GetGameEffect(), nullptr);

  // Opened with the animation: the hint goes, the chain falls away and the
  // lock opens while they are animating.
  profile.hard = true;
  map->RefreshRegimeButton(true);
  EXPECT_TRUE(regime->IsEnabled());
  EXPECT_EQ(regime->GetHintWindow(), nullptr);
  EXPECT_TRUE(regime->IsChainAnimating());
  EXPECT_TRUE(regime->IsLockAnimating());
  EXPECT_EQ(regime->GetIndicatorFrame(), 1u);
  map->RefreshRegimeButton(true);  // no change: nothing starts again
  EXPECT_TRUE(regime->IsLockAnimating());
  // It opens once, a frame each 50 ms of the game clock (its sequence's
  // pace), and is gone at its last frame.
  for (const auto& [after, frame] : {std::pair{0u, 0}, {60u, 1}, {110u, 2}}) {
    GetResourceServices().clock = 5000 + after;
    regime->Draw();
    EXPECT_EQ(lock->FrameState().frame, frame) << after;
  }
  GetResourceServices().clock = 5150;
  regime->Draw();
  EXPECT_FALSE(regime->IsLockAnimating());
  EXPECT_FALSE(regime->IsLockDrawn());

  // The switch: saved at once, the map rebuilt only once the fade covers.
  Click(regime);
  EXPECT_EQ(profile.regime, 1u);
  EXPECT_EQ(profile.saves, 1);
  auto* fade = dynamic_cast<GEffect_ShowHide*>(GetGameEffect());
  ASSERT_NE(fade, nullptr);
  EXPECT_EQ(dynamic_cast<GEffect_Regime*>(fade), nullptr);
  EXPECT_EQ(fade->GetPhaseEnd(), 250u);  // 250 ms to cover, 250 to uncover
  EXPECT_EQ(fade->GetDuration(), 500u);
  EXPECT_EQ(host.switched, 0);
  Click(regime);  // a second click while the fade runs switches nothing
  EXPECT_EQ(profile.regime, 1u);
  fade->SetPhase(1);
  EXPECT_EQ(host.switched, 1);
  EXPECT_TRUE(regime->State().GetFlag());
  EXPECT_EQ(regime->GetIndicatorFrame(), 3u);
  EXPECT_EQ(regime->GetCaptionColor(0), RegimeButton::kEasyColor);
  EXPECT_EQ(regime->GetCaptionColor(1), RegimeButton::kChosenColor);
  ClearGameEffects();

  // Locked again (another profile): disabled at once, the hint back.
  profile.hard = false;
  map->RefreshRegimeButton(false);
  EXPECT_FALSE(regime->IsChainAnimating());
  EXPECT_NE(regime->GetHintWindow(), nullptr);

  // "back" fades to the main screen, 250 ms each way; a second click while
  // the fade runs starts no second one over it.
  Click(map->GetButton(kMapBackCommand));
  auto* back = dynamic_cast<GEffect_Regime*>(GetGameEffect());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetTarget(), kGameStateMainScreen);
  EXPECT_EQ(back->GetPhaseEnd(), 250u);
  EXPECT_EQ(back->GetDuration(), 500u);
  Click(map->GetButton(kMapBackCommand));
  EXPECT_EQ(GetGameEffect(), back);
  delete map;
}

TEST_F(MapInterfaceTest, TheGreetingOpensTheProfilesWithTheMapsCallbacksAndOptionsTheOptions) {
  auto* map = Open();
  FakeRoster roster({u"Ann", u"Bob", u"Cid"});
  GetWindowServices().profileRoster = &roster;
  Click(map->GetProfileButton());
  auto* profiles = static_cast<ProfilesWindow*>(rig.manager->GetAnchor(kAnchorProfiles));
  ASSERT_NE(profiles, nullptr);
  profiles->DeleteRow(profiles->GetRow(0));  // the current one: the row in its place becomes current
  EXPECT_EQ(host.deleted, 1);
  EXPECT_EQ(host.replaced, 1);
  EXPECT_EQ(roster.current, &roster.profiles[1]);
  EXPECT_TRUE(profiles->GetRow(0)->IsCurrent());
  EXPECT_TRUE(profiles->GetCancelButton()->IsEnabled());
  EXPECT_EQ(host.chosen, 0);
  profiles->SelectRow(1);
  profiles->Choose();
  EXPECT_EQ(host.chosen, 1);
  EXPECT_TRUE(profiles->IsClosing());
  delete profiles;
  GetWindowServices().profileRoster = nullptr;

  Click(map->GetButton(kMapOptionsCommand));
  GameWindow* options = rig.manager->GetAnchor(kAnchorOptions);
  ASSERT_NE(dynamic_cast<OptionsWindow*>(options), nullptr);
  delete options;
  delete map;
}

TEST_F(MapInterfaceTest, TheAwardsTestModeNeedsTheCheatsAndShiftAlone) {
  auto* map = Open();
  DeveloperOverlay overlay(false, false);
  GetLevelServices().developer = &overlay;
  // Each real opening saves the shown set; the test mode saves nothing.
  const auto open = [&](const GameButton* b, u32 keys) {
    Click(b, keys);
    EXPECT_NE(FindWindowOf<AwardsWindow>(), nullptr);
    delete FindWindowOf<AwardsWindow>();  // the modal window would take the next click
    return awards.saves;
  };
  EXPECT_EQ(open(map->GetButton(kMapAwardsCommand), 2), 1);
  DeveloperOverlay cheats(true, false);
  GetLevelServices().developer = &cheats;
  EXPECT_EQ(open(map->GetMedalsArea(), 0), 2);
  EXPECT_EQ(open(map->GetMedalsArea(), 3), 3);  // Shift with Control
  EXPECT_EQ(open(map->GetButton(kMapAwardsCommand), 2), 3);
  EXPECT_EQ(open(map->GetMedalsArea(), 2), 3);
  GetLevelServices().developer = nullptr;
  delete map;
}

}  // namespace
}  // namespace windowstest

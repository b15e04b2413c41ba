// The profile behind the level, on the headless level harness with the
// scenario data set's garbage yard: the game log hears the level entered;
// the level left mid-play is kept in the profile's file, read back by a
// store that opens the folder anew and entered again as it was.
#include <gtest/gtest.h>

#include "../ProfileRig.h"
#include "app/GameLog.h"
#include "app/GameProfiles.h"
#include "app/Profile.h"
#include "app/ProfileStore.h"
#include "base/DataBuffer.h"
#include "level/characters/Job.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapPlayer.h"
#include "level/map/EmptyLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/GameLevel.h"
#include "level/state/GameLevelSaves.h"
#include "testsupport/LevelHarness.h"
#include "testsupport/TempFolder.h"
#include "windows/ProfilesWindow.h"

namespace leveltest {
namespace {

MapPlayer* Player(LevelHarness& h) {
  const LevelCharacters* characters = h.Level() ? h.Level()->Map().GetCharacters() : nullptr;
  return characters ? characters->GetPlayer() : nullptr;
}
EmptyLevelPoint* Place(GameLevel& level, i32 i) { return dynamic_cast<EmptyLevelPoint*>(level.Map().GetPoint(i)); }

// The yard with the harness's fakes, the profile and its saves.
GameLevel& Make(LevelHarness& h, Profile& profile, LevelSaves& saves) {
  GameLevelHooks hooks;
  hooks.rules.profile = &profile;
  hooks.villains = &h.villains;
  hooks.saves = &saves;
  hooks.iface = &h.windows;
  GameLevel& level = *h.world.OpenLevel(0, LevelSetup{}, hooks);
  h.LoadAll();
  return level;
}

TEST(ProfileLevel, ALevelLeftMidPlayIsReadBackFromTheFileAndEnteredEqual) {
  LevelHarness h(ScenarioDataFolder(), 1280, 820);
  ASSERT_TRUE(h.loaded);
  TempFolder dir;
  const std::u16string folder = dir.Wide("profiles");
  auto store = std::make_unique<ProfileStore>();
  store->LoadProfiles(folder);
  Profile* ann = nullptr;
  ASSERT_EQ(store->CreateProfile(u"Ann", &ann), 0);
  ASSERT_EQ(store->SelectProfile(ann), 0);
  GameLevelSaves saves(ann, ann, nullptr);
  GameLevel& level = Make(h, *ann, saves);
  EXPECT_FALSE(store->GetGameLog()->IsEnabled());
  h.Enter();
  EXPECT_TRUE(store->GetGameLog()->IsEnabled());  // the level told the log it was entered
  h.Start();

  Place(level, 0)->StartClearing();
  for (i32 n = 0; n < 2000 && std::u16string(Player(h)->GetAnimationName()) != u"girl_build"; ++n) h.Step(20);
  h.Step(200);
  const u32 clock = level.Rules().Clock().GetTime();
  const i32 money = level.Rules().Money().Get();
  const float x = Player(h)->GetX(), y = Player(h)->GetY();
  level.Leave();
  ASSERT_TRUE(ann->HasSavedLevel(0));
  const u32 savedSize = ann->GetSavedLevel(0)->dataSize;

  // The game ends; a new one opens the folder and enters the level.
  h.world.CloseLevel();
  store.reset();
  ProfileStore again;
  EXPECT_EQ(again.LoadProfiles(folder), 0);
  Profile* read = again.GetCurrent();
  ASSERT_NE(read, nullptr);
  ASSERT_TRUE(read->HasSavedLevel(0));
  EXPECT_EQ(read->GetSavedLevel(0)->dataSize, savedSize);
  GameLevelSaves savesAgain(read, read, nullptr);
  GameLevel& entered = Make(h, *read, savesAgain);
  h.Enter();
  EXPECT_EQ(entered.Rules().Clock().GetTime(), clock);
  EXPECT_EQ(entered.Rules().Money().Get(), money);
  ASSERT_NE(Player(h), nullptr);
  EXPECT_EQ(Player(h)->GetX(), x);
  EXPECT_EQ(Player(h)->GetY(), y);
  ASSERT_EQ(Player(h)->GetJobs().GetCount(), 1);
  EXPECT_EQ(std::u16string(Player(h)->GetAnimationName()), u"girl_build");
  h.world.CloseLevel();
}

// The profiles window with a level open: choosing another profile leaves
// the level first, so it is saved in the old profile's file, not lost.
TEST(ProfileLevel, ChoosingAnotherProfileLeavesTheOpenLevelSavedInTheOldFile) {
  LevelHarness h(SampleDataFolder(), 1280, 820);
  ASSERT_TRUE(h.loaded);
  TempFolder dir;
  ProfileStore store;
  store.LoadProfiles(dir.Wide("profiles"));
  Profile* ann = nullptr;
  Profile* bob = nullptr;
  ASSERT_EQ(store.CreateProfile(u"Ann", &ann), 0);
  ASSERT_EQ(store.CreateProfile(u"Bob", &bob), 0);
  ASSERT_EQ(store.SelectProfile(ann), 0);
  GameLevelSaves saves(ann, ann, nullptr);
  Make(h, *ann, saves);
  h.Enter();
  h.Start();
  h.Step(2000);
  StoreRoster roster(store, [&] {
    if (!h.Level()) return;
    h.Level()->Leave();
    h.world.CloseLevel();
  });
  auto* window = new ProfilesWindow(&roster, nullptr, nullptr);
  for (i32 i = 0; i < window->GetRowCount(); ++i)
    if (window->GetRow(i)->GetProfile() == bob) window->OnCommand(window->GetRow(i));
  EXPECT_EQ(store.GetCurrent(), bob);
  EXPECT_EQ(h.Level(), nullptr);
  EXPECT_TRUE(window->IsClosing());
  delete window;
  const std::vector<u8> saved =
      profiletest::SectionBytes(store.GetFolder() + u"profile0.dat", kProfileFileSignature1, kProfileFileSignature2,
                                kProfileFileVersion, kSavedLevelSectionBase, 0x80000003u);
  EXPECT_FALSE(saved.empty());
}

}  // namespace
}  // namespace leveltest

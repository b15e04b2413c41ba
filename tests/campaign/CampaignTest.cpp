// The campaign played in the running game on the sample data set, headless
// on the fixed-step clock, by the campaign player (CampaignPlayer.h) through
// the input a player gives.
//
// CampaignRun: a first profile named in the new-profile window by typing, its
// hints on; "easy"; levels 1 to 41 each won to gold by its solution (the
// tutorials leading where they run, the warehouse's on level 29); the comics
// after levels 8, 30 and 41 (1, 2 and 3, each seen only when its level was
// played) and the regime tutorial after level 8 clicked through; then the
// hard regime, its levels 1, 20 and 41 won at least to bronze (the
// Shift-click cheat finishing the levels between). At the end the map shows
// 41 gold medals (campaign_map_end.png), "records.txt" lists them, the
// profile file reads back as the profile stands, and the log has no missed
// look-up. The last easy level played of each map group is drawn 40 s into
// its day (campaign_group_G.png).
//
// CampaignHardRun: the hard regime's levels 1 to 41 each won to gold by its
// solution (the cheat opening the regime).
//
// Both: every played level's gold limit lies between 1.15 and 1.6 times
// its solution's measured time, and from one map group to the next the
// quickest solution's time and the shortest one's action count never fall.
// Each play prints its time and action count (the figures the medal limits
// are set from).
//
// TM_CAMPAIGN_LEVELS (e.g. "1,8,20,41") plays only the levels it lists, the
// others finished by the cheat (the sanitizer build's short run); the
// end-of-campaign checks need all 41. TM_CAMPAIGN_LAST (e.g. 30) ends both
// runs at that level instead, so a level can be measured sooner; the hard
// regime of CampaignRun then plays its levels 1, 20 and that one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "CampaignPlayer.h"
#include "app/ProfileFiles.h"
#include "app/ProfileStore.h"
#include "content/LevelTable.h"
#include "platform/encoding/Utf.h"
#include "resources/ResourceServices.h"
#include "tutorials/TutorialMaker.h"

namespace campaign {
namespace {

constexpr i32 kCampaignLevels = 41;

i32 LastLevel() {
  const char* env = std::getenv("TM_CAMPAIGN_LAST");
  const i32 n = env ? std::atoi(env) : 0;
  return n >= 1 && n <= static_cast<i32>(kLevelCount) ? n : kCampaignLevels;
}

std::set<i32> PlayedLevels() {
  std::set<i32> levels;
  const char* env = std::getenv("TM_CAMPAIGN_LEVELS");
  if (!env || !*env) {
    for (i32 n = 0; n < LastLevel(); ++n) levels.insert(n);
    return levels;
  }
  std::stringstream list(env);
  for (std::string n; std::getline(list, n, ',');)
    if (std::atoi(n.c_str()) >= 1 && std::atoi(n.c_str()) <= LastLevel()) levels.insert(std::atoi(n.c_str()) - 1);
  return levels;
}

struct Measured {
  i32 level;
  u32 regime;
  LevelPlay play;
};

// The figures of a play, and the checks every played level passes.
void Report(const Measured& m, i32 least) {
  const LEVELREGIME& r = GetLevelTable()->Get(static_cast<u32>(m.level)).regimes[m.regime];
  std::printf("level %d %s: won %d at %.2f s, %zu actions, grade %d; medals now %d, %d, %d\n", m.level + 1,
              m.regime ? "hard" : "easy", m.play.won, m.play.ms / 1000.0, m.play.actions, m.play.medal,
              r.bronze / 1000, r.silver / 1000, r.gold / 1000);
  std::fflush(stdout);
  ASSERT_TRUE(m.play.failure.empty()) << "level " << m.level + 1 << " regime " << m.regime << ": " << m.play.failure;
  EXPECT_TRUE(m.play.won) << "level " << m.level + 1;
  EXPECT_GE(m.play.medal, least) << "level " << m.level + 1 << " regime " << m.regime;
  EXPECT_GE(r.gold, m.play.ms * 1.15) << "level " << m.level + 1 << " regime " << m.regime << ": gold too tight";
  EXPECT_LE(r.gold, m.play.ms * 1.6) << "level " << m.level + 1 << " regime " << m.regime << ": gold too loose";
}

// From one map group to the next the quickest solution's time and the
// shortest solution's action count never fall: a group's easiest level is
// never easier than the group's before. Level 1 is left out: it stands alone
// in the first group, and its time is mostly its tutorial's reading.
void ExpectRisingGroups(const std::vector<Measured>& plays) {
  std::map<i32, std::pair<u32, size_t>> least;
  for (const Measured& m : plays) {
    if (m.level == 0) continue;
    const i32 group = GetLevelTable()->Get(static_cast<u32>(m.level)).mapGroup;
    auto [it, added] = least.emplace(group, std::pair(m.play.ms, m.play.actions));
    it->second.first = std::min(it->second.first, m.play.ms);
    it->second.second = std::min(it->second.second, m.play.actions);
  }
  u32 time = 0;
  size_t actions = 0;
  for (const auto& [group, l] : least) {
    EXPECT_GE(l.first, time) << "group " << group << ": its quickest solution is quicker than the group's before";
    EXPECT_GE(l.second, actions) << "group " << group << ": its shortest solution is shorter than the group's before";
    time = l.first;
    actions = l.second;
  }
}

class CampaignRun : public ::testing::Test {
 protected:
  CampaignRun() : run(800, 600, false, true, nullptr, &maker), player(run, TM_LEVEL_SOURCES_DIR) {}

  // A first profile typed into the new-profile window, then "easy".
  void ToMap() {
    ASSERT_TRUE(run.ok);
    ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
    run.NameFirstProfile(u"Tester");
    Profile* profile = run.game.Profiles()->GetCurrent();
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(std::u16string(profile->GetName()), u"Tester");
    EXPECT_TRUE(profile->AreTutorialsOn());
    ASSERT_TRUE(player.ChooseOnMainScreen(false));
    ASSERT_TRUE(player.ToQuietMap()) << "the opening comic and the map's first tutorial";
    ASSERT_EQ(run.game.State(), kGameStateLevelMap);
  }
  // One level: played when listed (its figures checked), else finished by the cheat.
  void Level(i32 index, u32 regime, i32 least, std::vector<Measured>* plays) {
    if (!played.count(index)) {
      ASSERT_TRUE(player.CheatFinish(index)) << "level " << index + 1 << " finished by the cheat";
      return;
    }
    Measured m{index, regime, player.PlayLevel(index, [&](CampaignPlayer& p) { Shot(p, index); })};
    Report(m, least);
    plays->push_back(m);
  }
  // Each easy level played drawn 40 s into its day, over its map group's
  // picture: the group's last level played stays.
  void Shot(CampaignPlayer& p, i32 index) {
    GameLevel* level = p.Level();
    Profile* profile = run.game.Profiles()->GetCurrent();
    if (shotLevels.count(index) || !level || !profile || profile->GetRegime() != 0 ||
        level->Rules().Clock().GetTime() < 40000)
      return;
    shotLevels.insert(index);
    const i32 group = GetLevelTable()->Get(static_cast<u32>(index)).mapGroup;
    EXPECT_TRUE(run.Shot("campaign_group_" + std::to_string(group) + ".png"));
  }

  TutorialMaker maker;  // before the game, which is handed it
  RunningGame run;
  CampaignPlayer player;
  const i32 last = LastLevel();
  std::set<i32> played = PlayedLevels();
  std::set<i32> shotLevels;
};

TEST_F(CampaignRun, EasyToGoldThenHardFirstTwentiethAndLast) {
  ToMap();
  Profile* profile = run.game.Profiles()->GetCurrent();
  std::vector<Measured> plays;
  // The comic each of these levels is followed by, the first time it is won.
  const std::map<i32, u32> comicAfter = {{7, 1u}, {29, 2u}, {40, 3u}};
  for (i32 n = 0; n < last && !HasFatalFailure(); ++n) {
    const size_t comics = player.ComicsShown().size();
    Level(n, 0, kGradeGold, &plays);
    if (n == 7) {
      EXPECT_TRUE(player.ToQuietMap()) << "the regime tutorial after the eighth level";
    }
    if (auto c = comicAfter.find(n); c != comicAfter.end() && played.count(n)) {  // the cheat's result shows none
      ASSERT_EQ(player.ComicsShown().size(), comics + 1) << "a comic after level " << n + 1;
      EXPECT_EQ(player.ComicsShown().back(), c->second) << "the comic after level " << n + 1;
    } else {
      EXPECT_EQ(player.ComicsShown().size(), comics) << "a comic after level " << n + 1;
    }
    if (n == 7) {
      ASSERT_TRUE(player.MapRegime(0));
    }
  }
  ASSERT_FALSE(HasFatalFailure());
  if (played.size() == static_cast<size_t>(last)) ExpectRisingGroups(plays);
  // The hard regime: its first, twentieth and last levels.
  ASSERT_TRUE(player.MapRegime(1));
  std::vector<Measured> hard;
  for (i32 n = 0; n < last && !HasFatalFailure(); ++n)
    if (n == 0 || n == 19 || n == last - 1) Level(n, 1, kGradeBronze, &hard);
    else ASSERT_TRUE(player.CheatFinish(n)) << "hard level " << n + 1 << " finished by the cheat";
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_TRUE(player.MapRegime(0));
  ASSERT_TRUE(player.ToQuietMap());
  for (int i = 0; i < 30; ++i) run.Frame();
  EXPECT_TRUE(run.Shot("campaign_map_end.png"));
  if (played.size() < static_cast<size_t>(last)) return;  // the short run ends here

  u32 medals[3] = {};
  profile->CountMedals(0, medals);
  EXPECT_EQ(medals[kGradeGold - kGradeBronze], static_cast<u32>(last)) << "a gold medal a level";
  // "records.txt" in the profile's records folder: a line a level at least.
  std::ifstream records(run.Folder().File("Tester/records.txt"));
  u32 lines = 0;
  for (std::string line; std::getline(records, line);) lines += line.empty() ? 0 : 1;
  EXPECT_GE(lines, static_cast<u32>(last)) << "records.txt";
  // The profile's file reads back as the profile stands.
  PROFILEHEADER header{};
  PROFILEPROGRESS progress{};
  ASSERT_TRUE(ReadProfileFile(plat::Utf8ToUtf16(run.Folder().File("profile0.dat")), &header, &progress));
  EXPECT_EQ(std::memcmp(&progress.regimes, &profile->GetProgress().regimes, sizeof progress.regimes), 0);
  std::ifstream log(run.Folder().File("log.txt"));
  std::stringstream logText;
  logText << log.rdbuf();
  EXPECT_EQ(logText.str().find("look-up missed:"), std::string::npos) << "a name the data lacks";
}

// Its own suite: CTest runs it beside the campaign's.
class CampaignHardRun : public CampaignRun {};

TEST_F(CampaignHardRun, LevelsToGold) {
  ToMap();
  for (i32 n = 0; n < 8; ++n) ASSERT_TRUE(player.CheatFinish(n)) << n;  // the eighth opens the hard regime
  ASSERT_TRUE(player.ToQuietMap());
  ASSERT_TRUE(player.MapRegime(1));
  std::vector<Measured> plays;
  for (i32 n = 0; n < last && !HasFatalFailure(); ++n) Level(n, 1, kGradeGold, &plays);
  ASSERT_FALSE(HasFatalFailure());
  if (played.size() == static_cast<size_t>(last)) ExpectRisingGroups(plays);
}

// CampaignRecord (run when TM_CAMPAIGN_RECORD names a file): the last day
// won at 1024 x 768 from a first profile, the days before it finished by
// the map's Shift-click (the "Cheats" switch on), the input given through
// the window system and recorded by the game as the replay the file gets;
// a screenshot mark "loom_panel.png" once the loom stands and its panel is
// opened by a click on it. The release game plays it under an X server in
// full screen (tools/last_day_full_screen.sh).
TEST(CampaignRecord, LastDayAt1024x768) {
  const char* path = std::getenv("TM_CAMPAIGN_RECORD");
  if (!path || !*path) GTEST_SKIP() << "TM_CAMPAIGN_RECORD names no file";
  TutorialMaker maker;
  RunningGame run(1024, 768, true, true, nullptr, &maker);
  CampaignPlayer player(run, TM_LEVEL_SOURCES_DIR);
  player.throughWindows = true;
  ASSERT_TRUE(run.ok);
  plat::GetWindowSystem().PlacePointer(plat::Point{plat::DesktopSettings{}.width / 2, plat::DesktopSettings{}.height / 2});
  ReplayRun recording;
  std::string error;
  ASSERT_TRUE(recording.Open("", path, &error)) << error;
  recording.BeginRecording(static_cast<u32>(run.game.Screen().Area().clientWidth),
                           static_cast<u32>(run.game.Screen().Area().clientHeight));
  GetAppServices().recording = GetAppServices().replay = &recording;
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  recording.StartedUp();
  player.Frames(30);
  plat::GetWindowSystem().UserText(u"Tester");
  player.Frame();
  player.Key(plat::DIK_RETURN);
  player.Frames(30);
  ASSERT_TRUE(player.ChooseOnMainScreen(false));
  ASSERT_TRUE(player.ToQuietMap());
  if (GetCurrentTutorial()) {
    // The map's first lesson ends once the first day's window has opened.
    LevelSelectMap* map = run.game.Map();
    const DXLPOINT first = map->ToScreen(static_cast<i32>(map->GetNode(0)->GetX()), static_cast<i32>(map->GetNode(0)->GetY()));
    player.Press(first.x, first.y);
    player.Key(plat::DIK_ESCAPE);
    ASSERT_TRUE(player.ToQuietMap());
  }
  for (i32 n = 0; n < kCampaignLevels - 1; ++n) ASSERT_TRUE(player.CheatFinish(n)) << n;
  u32 loomSeen = 0;
  const LevelPlay play = player.PlayLevel(kCampaignLevels - 1, [&](CampaignPlayer& p) {
    auto* loom = dynamic_cast<LevelPoint*>(p.Level()->Map().GetPoint(8));
    if (!loom || loomSeen == ~0u || ++loomSeen < 1000) return;
    loomSeen = ~0u;
    i32 x = loom->GetX(), y = loom->GetY() - 40;
    p.Level()->Rules().View().MapToScreen(&x, &y);
    p.Click(x, y);
    p.Frames(25);
    ReplayStep shot;
    shot.kind = ReplayStep::kScreenshot;
    shot.text = "loom_panel.png";
    recording.Record(shot);
    EXPECT_TRUE(run.Shot("loom_panel_recorded.png"));
  });
  EXPECT_TRUE(play.won) << play.failure;
  std::printf("level 41 easy at 1024 x 768: won %d at %.2f s\n", play.won, play.ms / 1000.0);
  GetAppServices().recording = GetAppServices().replay = nullptr;
  GetAppServices().lastRecordedFrame.reset();
  EXPECT_EQ(recording.Finish(), "");
}

}  // namespace
}  // namespace campaign

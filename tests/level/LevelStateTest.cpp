// The saved level: a level in the middle of play saved into the profile's
// store and brought back equal (saving it again gives the same bytes), and
// a corruption sweep over the saved bytes that must always end in a clean
// new start.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "content/ProductList.h"
#include "level/characters/Job_GoTo.h"
#include "level/rules/LevelTasks.h"
#include "CareRig.h"

namespace leveltest {
namespace {

u32 Word(const std::vector<u8>& v, size_t at) { return kis::GetU32LE(v.data() + at); }
void SetWord(std::vector<u8>& v, size_t at, u32 value) { kis::PutU32LE(v.data() + at, value); }

// A level in the middle of play: three places (two heaps, the warehouse at
// storage level 3 holding 25 wheat, above the 10 of level 1), wrapped villain
// waves, the clock at 1,250 ms, a heap being cleared (mid-animation), a
// repair queued on the damaged warehouse, a walk queued last, and a tutorial.
class LevelState : public ::testing::Test {
 protected:
  void SetUp() override {
    LEVELINFO& info = rig.level.Info();
    info.waves = {{-1, 5, 100}, {-1, 5, 200}};
    info.firstRepeatWave = 1;
    info.repeatLength = 1;
    info.restoreCheck = 0x1234;
    rig.level.SetTasks(0, {{kTaskCleanPlaces, 0, 0, 3}});
    rig.Build({MapRig::Garbage(kJunk, 100, 300, 300), MapRig::Garbage(kJunk, 100, 900, 300),
               POINTDEF{1, 3, 0, 0, {0, 0}, 640, 200, 0}});
    rig.level.rules->StartPlay();
    rig.extras.tutorial = true;
    rig.extras.tutorialStep = 7;
    ASSERT_EQ(rig.level.rules->Stock()->Add(rig.level.Product(u"wheat"), 25, false), 25);
    rig.Click(rig.Place(0)->GetClearButton());
    AddDamage(*rig.map, 2, &rig.villains.source, false);
    rig.villains.source.damageTime = 20000;
    AddDamage(*rig.map, 2, &rig.villains.source, true);
    ASSERT_GT(rig.TickUntil([&] { return rig.player->GetCurrentJob() &&
                                         rig.player->GetCurrentJob()->GetState() == kJobAnimating &&
                                         Narrow(rig.player->GetAnimationName()) == "girl_build"; }),
              0);
    rig.Tick(25);
    StartRepair(rig.map->GetPoint(2));
    new Job_GoTo(rig.player, 1000, 600, 0.0f, true);
    ASSERT_EQ(rig.player->GetJobs().GetCount(), 3);
    ASSERT_EQ(rig.level.rules->Waves().GetCount(), 2u);  // wrapped: first 1 + length 1
  }

  // The level as saved: the data and record bytes of a fresh save.
  Saved SaveNow() {
    EXPECT_TRUE(SaveLevelState(rig));
    kis::DataBuffer* b = rig.store.slots[0][0];
    EXPECT_NE(b, nullptr);
    return b ? Copy(*b) : Saved{};
  }
  bool LoadFrom(const Saved& s) {
    delete rig.store.slots[0][0];
    rig.store.slots[0][0] = Make(s);
    return LoadLevelState(rig);
  }

  CareRig rig;
};

TEST_F(LevelState, RoundTripThroughTheProfileBlockIsEqual) {
  LevelRules& rules = *rig.level.rules;
  const Saved first = SaveNow();
  EXPECT_EQ(rig.profileSaves, 1);
  const i32 money = rules.Money().Get(), reserved = rig.characters->Paths().GetReserved();
  const u32 clock = rules.Clock().GetTime();
  const float x = rig.player->GetX(), y = rig.player->GetY();
  PointDamage* damage = GetPointDamage(rig.map->GetPoint(2));
  const u32 remaining = damage->GetRemaining(), puffs = damage->GetPuffCount();
  const i32 progress = rules.Tasks().GetProgress(0);

  rig.Tick(3);  // the level moves on; then it is left and entered again
  ASSERT_TRUE(LoadFrom(first));
  EXPECT_EQ(rules.Clock().GetTime(), clock);
  EXPECT_EQ(rules.Money().Get(), money);
  EXPECT_EQ(rig.characters->Paths().GetReserved(), reserved);
  EXPECT_EQ(rules.Tasks().GetProgress(0), progress);
  EXPECT_EQ(rules.Stock()->GetCount(rig.level.Product(u"wheat")), 25);
  EXPECT_EQ(rules.Waves().GetCount(), 2u);
  EXPECT_EQ(rig.player->GetX(), x);
  EXPECT_EQ(rig.player->GetY(), y);
  ASSERT_EQ(rig.player->GetJobs().GetCount(), 3);
  EXPECT_EQ(rig.player->GetJobs()[0]->GetJobId(), kJobClear);
  EXPECT_EQ(rig.player->GetJobs()[0]->GetState(), kJobAnimating);
  EXPECT_EQ(rig.player->GetJobs()[1]->GetJobId(), kJobRepair);
  EXPECT_EQ(rig.player->GetJobs()[2]->GetJobId(), kJobGoTo);
  EXPECT_EQ(Narrow(rig.player->GetAnimationName()), "girl_build");
  damage = GetPointDamage(rig.map->GetPoint(2));
  ASSERT_NE(damage, nullptr);
  EXPECT_EQ(damage->GetRemaining(), remaining);
  EXPECT_EQ(damage->GetPuffCount(), puffs);
  EXPECT_EQ(rig.extras.tutorialStep, 7u);
  EXPECT_EQ(rig.extras.restarts, 1);
  EXPECT_NE(rig.store.slots[0][0], nullptr);  // kept until the level is left again

  // Saved again, the bytes are the same.
  const Saved second = SaveNow();
  EXPECT_EQ(second.data, first.data);
  EXPECT_EQ(second.records, first.records);

  // Played on from the restore, the heap is cleared and counted.
  ASSERT_GT(rig.TickUntil([&] { return rig.Place(0)->GetGarbage() == nullptr; }), 0);
  EXPECT_EQ(rules.Tasks().GetProgress(0), 2);
}

// A point's second clear or repair job in a save takes the first one's
// place as a new order does: the first finishes (its money back) and the
// second is the point's.
TEST_F(LevelState, ASecondClearOrRepairOfAPointTakesTheFirstsPlace) {
  const Saved good = SaveNow();
  const i32 money = rig.level.rules->Money().Get(), reserved = rig.characters->Paths().GetReserved();
  Saved twice = good;
  twice.records.clear();
  for (size_t from : {0, 0, 44, 44})  // the clear and the repair records, each twice
    twice.records.insert(twice.records.end(), good.records.begin() + static_cast<std::ptrdiff_t>(from),
                         good.records.begin() + static_cast<std::ptrdiff_t>(from + 44));
  twice.records.insert(twice.records.end(), good.records.begin() + 88, good.records.end());
  SetWord(twice.data, 32 + 92, Word(good.data, 32 + 92) + 2);
  ASSERT_TRUE(LoadFrom(twice));
  const kis::list<Job*>& jobs = rig.player->GetJobs();
  ASSERT_EQ(jobs.GetCount(), 5);
  EXPECT_EQ(jobs[0]->GetState(), kJobFinished);
  EXPECT_EQ(dynamic_cast<Job*>(rig.Place(0)->GetClearJob()), jobs[1]);
  EXPECT_EQ(jobs[2]->GetState(), kJobFinished);
  EXPECT_EQ(dynamic_cast<Job*>(rig.map->GetPoint(2)->GetRepairJob()), jobs[3]);
  EXPECT_EQ(rig.level.rules->Money().Get(), money);
  EXPECT_EQ(rig.characters->Paths().GetReserved(), reserved);
}

TEST_F(LevelState, RestoreWithoutTutorialOrAwardAndAfterALeftLevel) {
  rig.extras.tutorial = false;
  const Saved saved = SaveNow();
  rig.extras.tutorial = true;  // the build starts one: it goes
  ASSERT_TRUE(LoadFrom(saved));
  EXPECT_FALSE(rig.extras.tutorial);
  EXPECT_EQ(rig.extras.restarts, 0);
  // Nothing stored: nothing to restore.
  delete rig.store.slots[0][0];
  rig.store.slots[0][0] = nullptr;
  EXPECT_FALSE(LoadLevelState(rig));
}

// Every corruption ends in a refused restore: the saved level dropped, the
// level cleared and started anew as if never saved, the profile's counters
// as they were.
TEST_F(LevelState, CorruptionSweepAlwaysGivesACleanNewStart) {
  const Saved good = SaveNow();
  const AWARDCOUNTERS counters = rig.level.profile.counters;
  i32 cases = 0;
  auto refused = [&](const Saved& bad, const std::string& what) {
    ++cases;
    rig.level.log.clear();
    EXPECT_FALSE(LoadFrom(bad)) << what;
    EXPECT_EQ(rig.store.slots[0][0], nullptr) << what;
    EXPECT_EQ(rig.level.profile.counters.tiered[kAwardGarbageCleared], counters.tiered[kAwardGarbageCleared]) << what;
    EXPECT_EQ(std::memcmp(&rig.level.profile.counters, &counters, sizeof counters), 0) << what;
    EXPECT_EQ(rig.map->GetPointCount(), 0) << what;
    EXPECT_EQ(rig.characters->GetCharacters().GetCount(), 0) << what;
    rig.StartNewLevel();
    EXPECT_EQ(rig.level.rules->Money().Get(), 300) << what;
    EXPECT_EQ(rig.characters->Paths().GetReserved(), 0) << what;
    EXPECT_EQ(rig.level.rules->Tasks().GetResult(), kResultNone) << what;
    EXPECT_NE(rig.Place(0)->GetGarbage(), nullptr) << what;
    EXPECT_EQ(rig.player->GetJobs().GetCount(), 0) << what;
    EXPECT_EQ(rig.player->GetX(), 640.0f) << what;
    EXPECT_FALSE(rig.map->GetPoint(2)->HasDamage()) << what;
  };

  // Truncated at every fourth byte, in either area.
  for (size_t n = 0; n < good.data.size(); n += 4) {
    Saved bad = good;
    bad.data.resize(n);
    refused(bad, "data cut at " + std::to_string(n));
  }
  for (size_t n = 0; n < good.records.size(); n += 4) {
    Saved bad = good;
    bad.records.resize(n);
    refused(bad, "records cut at " + std::to_string(n));
  }

  // Every mark changed.
  std::vector<size_t> marks;
  for (size_t at = 0; at + 4 <= good.data.size(); at += 4)
    if (Word(good.data, at) == at) marks.push_back(at);
  ASSERT_GE(marks.size(), 14u);
  for (size_t at : marks) {
    Saved bad = good;
    SetWord(bad.data, at, static_cast<u32>(at) ^ 0x10);
    refused(bad, "mark at " + std::to_string(at));
  }

  // Counts one beyond their limit. The layout: marks at 0, 8, 20, the player's
  // mark at 28 and her record at 32 (job count at +92).
  auto after = [&](size_t mark) { return mark + 4; };
  auto at = [&](u32 value, size_t from) {
    for (size_t i = from; i + 4 <= good.data.size(); i += 4)
      if (Word(good.data, i) == value) return i;
    return good.data.size();
  };
  const size_t pointCount = after(marks[4]);  // 0, 8, 20, 28, then the points
  ASSERT_EQ(Word(good.data, pointCount), 3u);
  auto tag = [&](u32 value) {  // a tag follows its mark
    for (size_t m : marks)
      if (m + 8 <= good.data.size() && Word(good.data, m + 4) == value) return m + 4;
    return good.data.size();
  };
  const size_t waveTag = tag(kWaveBlockTag);
  const size_t bonusTag = tag(kBonusBlockTag);
  const size_t damage = at(kDamageRecordSize, at(kVillain, pointCount) + 4);
  const size_t stockCount = damage + kDamageRecordSize + 4;  // the stock's mark follows the last point
  struct Change {
    size_t at;
    u32 value;
    const char* what;
  };
  const Change counts[] = {
      {12, 2, "task count"},
      {pointCount, 4, "point count"},
      {32 + 92, 4, "job count"},
      {damage + 8, kMaxPuffs + 1, "puff count"},
      {stockCount, kMaxSavedStock + 1, "stock count"},
      {waveTag, kWaveBlockTag + 1, "wave tag"},
      {waveTag + 4, 2, "wave flag"},
      {waveTag + 16, 3, "wave count"},
      {waveTag + 12, 2, "wave index"},
      {waveTag + 24, 1, "shot count"},
      {waveTag + 28, 1, "villain slots"},
      {bonusTag, kBonusBlockTag + 1, "bonus tag"},
      {bonusTag + 4, 2, "bonus availability"},
      {bonusTag + 8, 1, "an active bonus not available"},
      {bonusTag + 4 + 6 * 40, 0x1235, "the definition's check word"},
      {bonusTag + 8 + 6 * 40, 1, "an award object that is not there"},
      {bonusTag + 12 + 6 * 40, 0, "a mark-less tutorial flag"},
  };
  for (const Change& c : counts) {
    ASSERT_LT(c.at, good.data.size()) << c.what;
    Saved bad = good;
    SetWord(bad.data, c.at, c.value);
    refused(bad, c.what);
  }
  // The job records: sizes out of bounds, ids outside 1..12 or of the level
  // objects, a clear job whose cost is not the price, a bad point index.
  const Change jobs[] = {{0, 0, "size 0"},       {0, 15, "size 15"},          {0, 0xFFFFFFFFu, "size ~0"},
                         {4, 13, "id 13"},       {4, 0, "id 0"},              {4, 2, "id of planting"},
                         {12, 99, "cost"},       {40, 13, "point index"},     {40, 2, "a point without garbage"},
                         {8, 7, "step 7"}};
  for (const Change& c : jobs) {
    Saved bad = good;
    if (c.at == 4)
      kis::PutU16LE(bad.records.data() + 4, static_cast<u16>(c.value));
    else
      SetWord(bad.records, c.at, c.value);
    refused(bad, std::string("job ") + c.what);
  }
  Saved wrongCount = good;
  SetWord(wrongCount.data, 32 + 96, 44);  // the first job is not where the record says
  refused(wrongCount, "first job position");
  Saved noTerminator = good;
  for (size_t i = 0; i < 64; i += 2) kis::PutU16LE(noTerminator.data.data() + 32 + 4 + i, u'a');
  refused(noTerminator, "a name without terminator");

  // NaN in every float: the player's record, the clear job's motion, the
  // damage's puffs and countdown, the bonus slots.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<std::pair<bool, size_t>> floats = {{true, 32 + 72}, {true, 32 + 80}, {true, 32 + 104},
                                                 {false, 24},     {false, 28},     {true, damage + 132}};
  for (u32 i = 0; i < kMaxPuffs; ++i) floats.push_back({true, damage + 12 + 12 * i});
  for (u32 slot = 0; slot < kBonusCount; ++slot)
    for (u32 w = 3; w < 10; ++w) floats.push_back({true, bonusTag + 4 + 40 * slot + 4 * w});
  const u32 goToLimit = 44 + 44 + 24;  // clear and repair records, then the walk's limit
  floats.push_back({false, goToLimit});
  for (const auto& [inData, offset] : floats) {
    Saved bad = good;
    std::vector<u8>& area = inData ? bad.data : bad.records;
    ASSERT_LT(offset, area.size());
    kis::PutF32LE(area.data() + offset, nan);
    refused(bad, (inData ? "NaN in data at " : "NaN in records at ") + std::to_string(offset));
  }
  // Ten puffs, the most there may be, are taken.
  Saved tenPuffs = good;
  SetWord(tenPuffs.data, damage + 8, kMaxPuffs);
  EXPECT_TRUE(LoadFrom(tenPuffs));
  EXPECT_GT(cases, 300);
}

// A work streak restored at its largest stops there as play goes on instead
// of wrapping (the heap's clearing finishes a piece of work). Counters
// beyond what play can reach, a negative streak or a task progress past the
// largest count, are refused.
TEST_F(LevelState, CountersAtTheirLimitStopThereAndBeyondAreRefused) {
  const Saved good = SaveNow();
  const size_t streak = 32 + 100;  // the player's record starts at 32
  ASSERT_EQ(kis::GetI32LE(good.data.data() + streak), rig.player->GetWorkStreak());

  Saved bad = good;
  SetWord(bad.data, streak, 0xFFFFFFFFu);
  EXPECT_FALSE(LoadFrom(bad)) << "a negative streak";
  rig.StartNewLevel();
  bad = good;
  SetWord(bad.data, 16, 0x80000000u);  // the one task's progress, after its mark at 8 and count at 12
  EXPECT_FALSE(LoadFrom(bad)) << "a task progress past the largest count";
  rig.StartNewLevel();

  Saved top = good;
  SetWord(top.data, streak, 0x7FFFFFFFu);
  ASSERT_TRUE(LoadFrom(top));
  EXPECT_EQ(rig.player->GetWorkStreak(), INT32_MAX);
  ASSERT_GT(rig.TickUntil([&] { return rig.Place(0)->GetGarbage() == nullptr; }), 0);
  EXPECT_EQ(rig.player->GetWorkStreak(), INT32_MAX);
}

TEST_F(LevelState, AChangedDefinitionRefusesTheSave) {
  const Saved saved = SaveNow();
  rig.level.Info().restoreCheck = 0x9999;
  EXPECT_FALSE(LoadFrom(saved));
  rig.StartNewLevel();
  rig.level.Info().restoreCheck = 0x1234;
  rig.level.Info().waves.push_back({-1, 5, 100});  // three waves, repeating two: the saved 2 fits neither
  rig.level.Info().repeatLength = 2;
  EXPECT_FALSE(LoadFrom(saved));
  rig.StartNewLevel();
  rig.level.Info().waves.pop_back();
  rig.level.Info().repeatLength = 1;
  rig.level.SetTasks(0, {{kTaskCleanPlaces, 0, 0, 3}, {kTaskMoney, 0, 0, 1000}});
  EXPECT_FALSE(LoadFrom(saved));
}

// The saved point header gives a point back its last two words; the
// player's jobs of the level objects are loaded by the level's point
// classes, and one they refuse fails with its job's message.
TEST_F(LevelState, PointHeaderWordsAndObjectJobsGoThroughThePointClasses) {
  auto* warehouse = static_cast<FakePoint*>(rig.map->GetPoint(2));
  warehouse->extra[0] = 7;
  warehouse->extra[1] = 0xFFFFFFFFu;
  const Saved saved = SaveNow();
  ASSERT_TRUE(LoadFrom(saved));
  warehouse = static_cast<FakePoint*>(rig.map->GetPoint(2));
  EXPECT_EQ(warehouse->extra[0], 7u);
  EXPECT_EQ(warehouse->extra[1], 0xFFFFFFFFu);
  EXPECT_EQ(SaveNow().data, saved.data);

  std::vector<u8> record(44, 0);
  kis::PutU32LE(record.data(), 44);
  for (u16 id : {2, 4, 9}) {
    kis::PutU16LE(record.data() + 4, id);
    rig.level.log.clear();
    rig.classes.loadsJobs = true;
    EXPECT_TRUE(rig.player->LoadJob(record.data(), 44));
    ASSERT_FALSE(rig.level.log.empty());
    EXPECT_EQ(rig.level.log.back(), "load job " + std::to_string(id) + " of 44 bytes");
    rig.classes.loadsJobs = false;
    EXPECT_FALSE(rig.player->LoadJob(record.data(), 44));
  }
  const std::string error = Narrow(rig.characters->GetLoadError());
  EXPECT_EQ(error.substr(error.size() - 15), "JOBID_CUTSHEEPS");
  kis::PutU16LE(record.data() + 4, 10);  // the clearing's own loader, not the classes'
  kis::PutU32LE(record.data() + 40, 2);  // the warehouse: no place to clear
  rig.level.log.clear();
  EXPECT_FALSE(rig.player->LoadJob(record.data(), 44));
  for (const std::string& line : rig.level.log) EXPECT_EQ(line.find("load job"), std::string::npos);
}

}  // namespace
}  // namespace leveltest

// The characters' and jobs' saved records on their own: a character without
// jobs, an animation job saved while still turning (played at once on
// restore, at its saved time), the player's counters, and refused records.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "base/DataBuffer.h"
#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "CharacterRig.h"

namespace leveltest {
namespace {

kis::LevelSaveInfo Header() { return kis::LevelSaveInfo{0, 0, 0, {}}; }

TEST(CharacterRecord, NoJobsAnAnimationMidTurnAndThePlayersCounters) {
  CharacterRig rig;
  MapPlayer* p = rig.MakePlayer(300, 300, kUp);
  p->SetWorkStreak(4, false);
  p->SetWalked(12.5f, false);
  p->MarkWorking();

  // Without jobs: count and first position 0, nothing read back for jobs.
  kis::DataCursor w;
  ASSERT_TRUE(w.Begin(Header()));
  ASSERT_TRUE(p->Save(&w));
  const u8* r = w.GetBuffer()->Data() + 4;
  EXPECT_EQ(kis::GetU32LE(r + kCharacterJobCount), 0u);
  EXPECT_EQ(kis::GetU32LE(r + kCharacterFirstJob), 0u);
  EXPECT_EQ(kis::GetI32LE(r + 100), 4);
  EXPECT_EQ(kis::GetF32LE(r + 104), 12.5f);
  EXPECT_EQ(kis::GetU32LE(r + 108), 1u);
  EXPECT_EQ(w.GetRecordPosition(), 0u);

  // An animation job still turning toward its facing (down from up).
  auto* job = new Job_Animation(p, 50, u"girl_build", kDown, 300);
  rig.Tick(2);
  ASSERT_EQ(job->GetState(), kJobAnimating);
  ASSERT_NE(p->GetDirection(), kDown);
  p->MarkWorking();
  ASSERT_TRUE(w.Begin(Header()));
  ASSERT_TRUE(p->Save(&w));
  const u32 at = 4;
  const u8* rec = w.GetBuffer()->Data() + at;
  EXPECT_EQ(kis::GetU32LE(rec + kCharacterJobCount), 1u);
  const u8* jr = w.GetBuffer()->Records();
  EXPECT_EQ(kis::GetU32LE(jr), 112u);
  EXPECT_EQ(kis::GetU16LE(jr + 4), 50);
  EXPECT_EQ(kis::GetI32LE(jr + 8), 2);
  EXPECT_EQ(kis::GetI32LE(jr + 104), kDown);
  EXPECT_EQ(kis::GetU32LE(jr + 108), 300u);
  // Saved again over a record area full of old bytes: the same record, its
  // header's unused bytes 6 and 7 written as 0.
  const std::vector<u8> once(jr, jr + 112);
  ASSERT_TRUE(w.Begin(Header()));
  std::memset(w.GetBuffer()->Records(), 0xEE, w.GetBuffer()->RecordCapacity());
  ASSERT_TRUE(p->Save(&w));
  jr = w.GetBuffer()->Records();
  EXPECT_EQ(std::vector<u8>(jr, jr + 112), once);
  EXPECT_EQ(kis::GetU16LE(jr + 6), 0u);
  kis::DataBuffer* saved = w.GetBuffer();
  saved->dataSize = w.GetDataPosition();
  saved->recordSize = w.GetRecordPosition();

  // Read back into a new character: the job is there, its animation runs
  // at once (no turning), the counters come back.
  MapPlayer* q = rig.MakePlayer(0, 0, kUp);
  kis::DataCursor c;
  ASSERT_TRUE(c.BeginRead(saved));
  ASSERT_TRUE(q->Load(&c));
  EXPECT_EQ(q->GetX(), 300.0f);
  q->RestoreState();
  EXPECT_EQ(q->GetWorkStreak(), 4);
  EXPECT_EQ(q->GetWalked(), 12.5f);
  EXPECT_TRUE(q->HasWorked());
  ASSERT_TRUE(Job_Animation::Load(q, static_cast<const u8*>(c.ReadBlock()), 112));
  ASSERT_EQ(q->GetJobs().GetCount(), 1);
  EXPECT_EQ(q->GetJobs()[0]->GetState(), kJobAnimating);
  EXPECT_EQ(Narrow(q->GetAnimationName()), "girl_build");
  EXPECT_EQ(q->GetDirection(), kDown);

  // Refused: a size that is not 112, a name with no end, a step ahead of
  // the animation, a duration that is not the job's, a NaN time.
  std::vector<u8> base(jr, jr + 112);
  auto refused = [&](std::vector<u8> bad) {
    const i32 before = q->GetJobs().GetCount();
    EXPECT_FALSE(Job_Animation::Load(q, bad.data(), static_cast<u32>(bad.size())));
    const i32 after = q->GetJobs().GetCount();
    if (after > before) {
      EXPECT_EQ(q->GetJobs()[after - 1]->GetState(), kJobFinished);  // made, then refused
    }
  };
  std::vector<u8> bad = base;
  bad.push_back(0);
  refused(bad);
  bad = base;
  for (u32 i = 0; i < 64; i += 2) kis::PutU16LE(bad.data() + 40 + i, u'x');
  refused(bad);
  bad = base;
  kis::PutI32LE(bad.data() + 8, 5);
  refused(bad);
  bad = base;
  kis::PutU32LE(bad.data() + 20, 299);
  refused(bad);
  bad = base;
  kis::PutF32LE(bad.data() + 24, std::numeric_limits<float>::quiet_NaN());
  refused(bad);
  // Bytes 6 and 7 are read by nobody: whatever an older save left there loads.
  std::vector<u8> older = base;
  kis::PutU16LE(older.data() + 6, 0xBEEF);
  EXPECT_TRUE(Job_Animation::Load(q, older.data(), 112));
  // The player refuses ids outside 1..12 silently, and a job of the level
  // objects with its message.
  kis::PutU16LE(base.data() + 4, 13);
  EXPECT_FALSE(q->LoadJob(base.data(), 112));
  EXPECT_EQ(Narrow(rig.characters->GetLoadError()), "");
  kis::PutU16LE(base.data() + 4, 2);
  EXPECT_FALSE(q->LoadJob(base.data(), 112));
  EXPECT_EQ(rig.characters->GetLoadError()[0], u'О');
}

}  // namespace
}  // namespace leveltest

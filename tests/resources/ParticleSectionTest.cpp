// The "PART" reader on data archives written by our writers, read the way
// the start-up loader reads them, and the handle table behind the particle
// objects.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/Identifier.h"
#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "content/ContentArchive.h"
#include "content/ContentWriter.h"
#include "resources/GPSHandleTable.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/TempFolder.h"

namespace {

using Bytes = std::vector<u8>;

std::vector<float> g_particleProgress;
bool g_yield = true;
bool ParticleProgress(float f) {
  g_particleProgress.push_back(f);
  return g_yield;
}

struct Records {
  std::vector<GPSCURVE> curves;
  std::vector<GPSPARAMS> params;
  std::vector<GPSSYSTEM> systems;
};

Records Sample() {
  Records r;
  r.curves.push_back(GPSCURVE{7, {{100.0f, 0xFF0000FFu}, {-5.0f, 0xFF00FF00u}, {NAN, 0x00FFFFFFu}}, 0});
  r.curves.push_back(GPSCURVE{8, {}, 0});
  GPSPARAMS p = MakeEmitterParams(3);
  p.flags = kParticleGravity | kParticleScale | kParticleColorCurve;
  p.count[0] = 2;
  p.count[1] = 5;
  p.life[0] = 300;
  p.life[1] = 600;
  p.gravity[0] = p.gravity[1] = 0.25f;
  p.startScale[0] = 0.5f;
  p.endScale[1] = 2.0f;
  p.scaleCurve = 1;
  p.color = 0x80402010u;
  p.colorCurve = 7;
  p.direction[0] = -30.0f;
  p.direction[1] = 30.0f;
  p.speed[0] = 1.5f;
  r.params = {p, MakeEmitterParams(4)};
  GPSSYSTEM s = MakeParticleSystem(u"smoke", 3, u"spark");
  s.shape = kEmitRectangle;
  s.startDelay = 250;
  s.cyclePeriod = 1000;
  s.life = 5000;
  s.burstInterval[0] = 20;
  s.burstInterval[1] = 40;
  s.directionOffset = 90.0f;
  s.directionSpread = 10.0f;
  s.sizes[2] = 16.0f;
  s.sizes[3] = 8.0f;
  r.systems = {s, MakeParticleSystem(u"Sparks", 99, u"nothing")};
  return r;
}

Bytes Put(const GPSSYSTEM& s) {
  Bytes b(kParticleSystemRecordSize);
  PutParticleSystem(b.data(), s);
  return b;
}
Bytes Put(const GPSPARAMS& p) {
  Bytes b(kEmitterParamsRecordSize);
  PutEmitterParams(b.data(), p);
  return b;
}

class ParticleSectionTest : public ::testing::Test {
 protected:
  ParticleSectionTest() {
    ResetResourceServices();
    FreeParticleLibrary();
    g_particleProgress.clear();
    g_yield = true;
    GetResourceServices().loadingProgress = &ParticleProgress;
  }
  ~ParticleSectionTest() override {
    kis::CloseDataFile(file_);
    FreeParticleLibrary();
    ResetResourceServices();
  }

  // A data archive with the section and, behind it, one more section that
  // must still read afterwards.
  bool Open(const Bytes& body) {
    kis::CloseDataFile(file_);
    const std::u16string path = folder_.Wide("Data.dat");
    if (!WriteDataArchive(path.c_str(), {{kParticleSectionId, kParticleSectionSubId, body},
                                         {kConstantsSectionId, kConstantsSectionSubId, Bytes{1, 2, 3}}}))
      return false;
    file_ = kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2,
                                     kDataArchiveVersion);
    return file_ != nullptr;
  }
  // Calls the reader until it finishes; the number of calls.
  u32 Read(SectionCursor* cursor) {
    u32 calls = 1;
    while (LoadParticleSystems(file_, cursor) == 0 && calls < 1000) ++calls;
    return calls;
  }
  bool RestReads() {
    u8 raw[3];
    return file_->OpenSection(kConstantsSectionId, kConstantsSectionSubId) && file_->Read(raw, 3) && raw[2] == 3 &&
           file_->CloseSection();
  }

  TempFolder folder_;
  kis::DataFileReaderW* file_ = nullptr;
};

TEST_F(ParticleSectionTest, ReadsEveryRecordYieldingAfterEachAndKeepsTheArchiveReadable) {
  const Records r = Sample();
  ASSERT_TRUE(Open(ParticleSectionBody(r.curves, r.params, r.systems)));
  SectionCursor cursor;
  EXPECT_EQ(Read(&cursor), 7u);  // six records, each giving the frame back, then the close
  EXPECT_EQ(cursor.error, 0u);
  EXPECT_EQ(cursor.total, 6u);
  EXPECT_EQ(cursor.done, 15u << 28);
  EXPECT_EQ(g_particleProgress, (std::vector<float>{1 / 6.0f, 2 / 6.0f, 3 / 6.0f, 4 / 6.0f, 5 / 6.0f, 1.0f}));
  EXPECT_TRUE(RestReads());

  const GPSCURVE* curve = FindCurve(7);
  ASSERT_NE(curve, nullptr);
  ASSERT_EQ(curve->points.size(), 3u);
  EXPECT_EQ(curve->points[1].duration, 0.0f);  // below 0 and not a number count as 0
  EXPECT_EQ(curve->points[2].duration, 0.0f);
  EXPECT_EQ(curve->points[2].color, 0x00FFFFFFu);
  EXPECT_EQ(curve->total, 100.0f);
  ASSERT_NE(FindCurve(8), nullptr);
  EXPECT_TRUE(FindCurve(8)->points.empty());
  ASSERT_NE(FindEmitterParams(3), nullptr);
  EXPECT_EQ(Put(*FindEmitterParams(3)), Put(r.params[0]));
  const GPSSYSTEM* smoke = FindParticleSystem(kis::NameId(u"SMOKE"));
  ASSERT_NE(smoke, nullptr);
  EXPECT_EQ(Put(*smoke), Put(r.systems[0]));
  EXPECT_EQ(FindParticleSystem(kis::NameId(u"sparks"))->paramsId, 99u);
  EXPECT_EQ(FindParticleSystem(0), nullptr);
  EXPECT_EQ(FindEmitterParams(0), nullptr);
  EXPECT_EQ(FindCurve(0), nullptr);
  EXPECT_EQ(FindEmitterParams(99), nullptr);

  // In one call without yielding, a second read appends; the first of an id wins.
  g_yield = false;
  ASSERT_TRUE(Open(ParticleSectionBody({}, {MakeEmitterParams(3)}, {})));
  SectionCursor again;
  EXPECT_EQ(Read(&again), 1u);
  EXPECT_EQ(again.error, 0u);
  EXPECT_EQ(GetParticleLibrary().params.size(), 3u);
  EXPECT_EQ(FindEmitterParams(3)->flags, r.params[0].flags);
}

// The section laid out by hand: the total, then each group's count and its
// records (a curve: id, point count, points of duration and colour). The
// writer gives these bytes and the reader finds every record in them.
TEST_F(ParticleSectionTest, TheSectionLiesWhereItsTableSaysBothWays) {
  const Bytes params = testsupport::ByteLayout(116)
                           .u32_(0, 116)
                           .u32_(4, 9)
                           .u32_(8, kParticleGravity)
                           .u32_(28, u32(-1))  // life: unlimited
                           .u32_(32, u32(-1))
                           .v;
  const Bytes system = testsupport::ByteLayout(128)
                           .u32_(0, 128)
                           .u32_(12, kis::NameId(u"puff"))
                           .u32_(16, 9)
                           .u32_(28, u32(-1))
                           .wide(48, u"spark")
                           .v;
  const Bytes hand = testsupport::ByteBuilder{}
                         .u32_(3)  // records in all
                         .u32_(1)  // curves
                         .u32_(4)
                         .u32_(2)
                         .u32_(std::bit_cast<u32>(100.0f))
                         .u32_(0xFFFFFFFFu)
                         .u32_(std::bit_cast<u32>(250.0f))
                         .u32_(0x00FF0000u)
                         .u32_(1)  // parameter records
                         .raw(params)
                         .u32_(1)  // definitions
                         .raw(system)
                         .v;
  GPSPARAMS p = MakeEmitterParams(9);
  p.flags = kParticleGravity;
  const GPSCURVE curve{4, {{100.0f, 0xFFFFFFFFu}, {250.0f, 0x00FF0000u}}, 350.0f};
  const GPSSYSTEM puff = MakeParticleSystem(u"puff", 9, u"spark");
  EXPECT_TRUE(testsupport::SameBytes(ParticleSectionBody({curve}, {p}, {puff}), hand));

  g_yield = false;
  ASSERT_TRUE(Open(hand));
  SectionCursor cursor;
  Read(&cursor);
  EXPECT_EQ(cursor.error, 0u);
  EXPECT_EQ(cursor.total, 3u);
  const GPSCURVE* read = FindCurve(4);
  ASSERT_NE(read, nullptr);
  ASSERT_EQ(read->points.size(), 2u);
  EXPECT_EQ(read->points[1].duration, 250.0f);
  EXPECT_EQ(read->points[1].color, 0x00FF0000u);
  EXPECT_EQ(read->total, 350.0f);
  ASSERT_NE(FindEmitterParams(9), nullptr);
  EXPECT_EQ(FindEmitterParams(9)->flags, kParticleGravity);
  ASSERT_NE(FindParticleSystem(kis::NameId(u"puff")), nullptr);
  EXPECT_EQ(FindParticleSystem(kis::NameId(u"puff"))->paramsId, 9u);
  EXPECT_TRUE(RestReads());
}

TEST_F(ParticleSectionTest, DamageSetsTheErrorFlagAndATotalOfZeroNeverDivides) {
  const Records r = Sample();
  const Bytes good = ParticleSectionBody(r.curves, r.params, r.systems);
  // Byte offsets in the good body: total 0, curve count 4, curve 7 at 8 (its
  // point count at 12), curve 8 at 40, the parameter count at 48, records at
  // 52 and 168, the definition count at 284, definitions at 288 and 416.
  ASSERT_EQ(good.size(), 544u);
  auto with = [&](size_t at, u32 value) {
    Bytes b = good;
    kis::PutU32LE(&b[at], value);
    return b;
  };
  // A read past the section's end fails the whole archive; what is refused
  // before reading leaves the rest of it readable.
  struct Case {
    std::string what;
    Bytes body;
    bool restReadable;
  };
  const std::vector<Case> damaged = {
      {"17 curve points", with(12, 17), true},
      {"parameter size word", with(52, 115), true},
      {"definition size word", with(416, 127), true},
      {"parameter count past the end", with(48, 0x01000000), true},
      {"curve count past the end", with(4, 0x7FFFFFFF), true},
      {"cut short", Bytes(good.begin(), good.end() - 10), true},
      {"cut inside a curve", Bytes(good.begin(), good.begin() + 30), false},
      {"no count", Bytes(2, 0), false},
  };
  for (const auto& [what, body, restReadable] : damaged) {
    SCOPED_TRACE(what);
    FreeParticleLibrary();
    ASSERT_TRUE(Open(body));
    SectionCursor cursor;
    Read(&cursor);
    EXPECT_EQ(cursor.error, 1u);
    EXPECT_EQ(file_->GetOpenEntry(), nullptr);
    EXPECT_EQ(RestReads(), restReadable);
  }
  // The section missing, or no reader at all.
  ASSERT_TRUE(Open(good));
  SectionCursor cursor;
  EXPECT_EQ(LoadParticleSystems(nullptr, &cursor), 1);
  EXPECT_EQ(cursor.error, 1u);
  EXPECT_EQ(LoadParticleSystems(file_, nullptr), 1);

  FreeParticleLibrary();
  g_particleProgress.clear();
  ASSERT_TRUE(Open(with(0, 0)));
  SectionCursor zero;
  EXPECT_EQ(Read(&zero), 7u);
  EXPECT_EQ(zero.error, 0u);
  EXPECT_EQ(g_particleProgress, std::vector<float>(6, 1.0f));
  EXPECT_EQ(GetParticleLibrary().systems.size(), 2u);
}

TEST(GPSHandleTable, HandlesComeBackLastFreedFirstAndIterationKeepsTheOrderOfAdding) {
  GPSHandleTable<int> table;
  std::vector<int> items(200);
  EXPECT_EQ(table.First(), 0u);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(table.Add(&items[i]), static_cast<u32>(i + 1));
  EXPECT_EQ(table.GetCapacity(), 64u);
  EXPECT_EQ(table.Remove(5), &items[4]);
  EXPECT_EQ(table.Remove(1), &items[0]);
  EXPECT_EQ(table.Remove(1), nullptr);
  EXPECT_EQ(table.Get(5), nullptr);
  EXPECT_EQ(table.Remove(0), nullptr);
  EXPECT_EQ(table.Remove(1000), nullptr);
  EXPECT_EQ(table.Add(&items[100]), 1u);
  EXPECT_EQ(table.Add(&items[101]), 5u);
  EXPECT_EQ(table.GetCount(), 40u);
  std::vector<int*> order;
  table.ForEach([&](int* p) {
    order.push_back(p);
    if (p == &items[2]) table.Remove(3);  // the current one may go
  });
  ASSERT_EQ(order.size(), 40u);
  EXPECT_EQ(order[0], &items[1]);
  EXPECT_EQ(order[1], &items[2]);
  EXPECT_EQ(order[2], &items[3]);
  EXPECT_EQ(order[3], &items[5]);
  EXPECT_EQ(order[38], &items[100]);
  EXPECT_EQ(order[39], &items[101]);
  EXPECT_EQ(table.GetCount(), 39u);
  std::vector<u32> capacities;
  while (table.GetCount() < 200) {
    table.Add(&items[0]);
    if (capacities.empty() || capacities.back() != table.GetCapacity()) capacities.push_back(table.GetCapacity());
  }
  EXPECT_EQ(capacities, (std::vector<u32>{64, 96, 128, 160, 200}));
  for (u32 h = table.First(); h; h = table.First()) table.Remove(h);
  EXPECT_EQ(table.GetCount(), 0u);
  EXPECT_EQ(table.Next(1), 0u);
}

}  // namespace

// The level record against bytes laid out by hand from its tables: the fixed
// part (the level table's offsets, the task block of each regime at 84 and
// 88 + 64 x regime, the plant pairs at 240 and the building pairs at 268),
// then each array in its order. Every field holds a value of its own, so the
// writer must put each where the table says and the reader must take it from
// there: an offset that reader and writer got wrong together fails here.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "content/LevelRecord.h"
#include "testsupport/ByteBuilder.h"

namespace {

using Bytes = std::vector<u8>;
using testsupport::ByteLayout;

template <u32 N>
void SetText(wchar (&out)[N], std::u16string_view text) {
  for (u32 i = 0; i < N; ++i) out[i] = i < text.size() ? text[i] : 0;
}

// A level whose every stored field differs from the others.
LEVELINFO Level() {
  LEVELINFO l;
  for (u32 i = 0; i < 64; ++i) l.head[i] = static_cast<u8>(0x80 + i);
  l.mapCell = 17;
  l.mapGroup = 3;
  for (u32 r = 0; r < kLevelRegimes; ++r) {
    const i32 k = 1000 * static_cast<i32>(r + 1);
    l.regimes[r] = LEVELREGIME{k + 1, k + 2, k + 3, r + 2, {}};
    for (u32 t = 0; t < kMaxLevelTasks; ++t) {
      const i32 v = k + 10 * static_cast<i32>(t + 1);
      l.regimes[r].tasks[t] = LEVELTASK{static_cast<u32>(v + 1), static_cast<u32>(v + 2), v + 3, v + 4};
    }
  }
  l.startMoney = 350;
  l.bonusId = -1;
  l.restoreCheck = 0xC0DE0042u;
  for (u32 i = 0; i < 6; ++i) {
    l.baseRates[i] = 1.0f + 0.25f * static_cast<float>(i);
    l.chargeFactors[i] = 0.125f * static_cast<float>(i + 1);
  }
  l.plantCount = 3;
  for (u32 i = 0; i < kMaxLevelPlants; ++i) l.plants[i] = KINDPAIR{0x100u + i, 20 + static_cast<i32>(i)};
  l.buildingCount = 12;
  for (u32 i = 0; i < kMaxLevelBuildings; ++i) l.buildings[i] = KINDPAIR{0x200u + i, 40 + static_cast<i32>(i)};
  l.stockCount = 64;
  for (u32 i = 0; i < kMaxLevelStock; ++i) l.stock[i] = STOCKPAIR{0x300u + i, 60 + static_cast<i32>(i)};
  SetText(l.music, u"music_level7");
  l.playerX = 640;
  l.playerY = -12;
  SetText(l.emptyPlaceSprite, u"an_empty_place_with_a_long_name_3");  // 33 units and the end
  SetText(l.treeSpotSprite, u"tree_spot");
  l.villainSlotCount = 16;
  for (u32 i = 0; i < kMaxVillainSlots; ++i) {
    const i32 v = 100 * static_cast<i32>(i);
    l.villainSlots[i] = VILLAINSLOT{v + 1, v + 2, v + 3, v + 4, v + 5};
  }
  l.firstRepeatWave = 1;
  l.repeatLength = 2;
  l.ground = {GROUNDPLACEMENT{-8, 9, 5, 70000}};
  MAPOBJECTDEF heap{};
  SetText(heap.name, u"heap");
  heap.layer = 1;
  heap.x = 30;
  heap.y = 40;
  heap.kind = 0x10000002;
  heap.mirrored = 1;
  MAPOBJECTDEF smoke{};
  smoke.type = kMapObjectEmitter;
  smoke.layer = 2;
  smoke.x = -5;
  smoke.y = 6;
  smoke.systemId = 0xABCDu;
  smoke.sortX = -7;
  smoke.sortY = 9;
  smoke.spaceParam = 3;
  l.decorations = {heap, smoke};
  l.obstacles = {OBSTACLEDEF{0x11, 12, 13, 14, 15}};
  l.points = {POINTDEF{3, 2, 0x51, 250, {7, 8}, 700, 320, 1}};
  l.waves = {WAVEDEF{-1, 0x61, 30000}, WAVEDEF{1, 0x62, 5000}, WAVEDEF{0, 0x63, 7000}};
  l.emitters = {EMITTERDEF{0x71, 100, -100, 45.5f}};
  INFOENTRY info{1, 2, {}, {}, {}, {}, 4, -5, 6, 7};
  SetText(info.itemName, u"mill");
  SetText(info.textKey, u"intro_1");
  SetText(info.spriteName, u"ico_mill");
  SetText(info.imageName, u"intro_picture");
  l.intro = {info};
  return l;
}

// The fixed part, from the tables.
Bytes FixedBytes() {
  ByteLayout b(kLevelFixedSize);
  for (u32 i = 0; i < 64; ++i) b.u8_(i, 0x80 + i);
  b.u32_(64, 17).u32_(68, 3);
  for (u32 r = 0; r < 2; ++r) {
    const u32 k = 1000 * (r + 1);
    b.u32_(72 + 64 * r, k + 1).u32_(76 + 64 * r, k + 2).u32_(80 + 64 * r, k + 3);  // bronze, silver, gold
    b.u32_(84 + 64 * r, r + 2);                                                       // task count
    for (u32 t = 0; t < 3; ++t) {
      const u32 at = 88 + 64 * r + 16 * t, v = k + 10 * (t + 1);
      b.u32_(at, v + 1).u32_(at + 4, v + 2).u32_(at + 8, v + 3).u32_(at + 12, v + 4);
    }
  }
  b.u32_(200, 350).u32_(204, u32(-1)).u32_(208, 0xC0DE0042u);
  for (u32 i = 0; i < 6; ++i) {
    b.f32_(212 + 4 * i, 1.0f + 0.25f * static_cast<float>(i));
    b.f32_(880 + 4 * i, 0.125f * static_cast<float>(i + 1));
  }
  b.u32_(236, 3);
  for (u32 i = 0; i < 3; ++i) b.u32_(240 + 8 * i, 0x100 + i).u32_(244 + 8 * i, 20 + i);
  b.u32_(264, 12);
  for (u32 i = 0; i < 12; ++i) b.u32_(268 + 8 * i, 0x200 + i).u32_(272 + 8 * i, 40 + i);
  b.u32_(364, 64);
  for (u32 i = 0; i < 64; ++i) b.u32_(368 + 8 * i, 0x300 + i).u32_(372 + 8 * i, 60 + i);
  b.wide(904, u"music_level7");
  b.u32_(968, 1);  // count A: information entries
  b.u32_(972, 640).u32_(976, u32(-12));
  b.wide(980, u"an_empty_place_with_a_long_name_3");
  b.wide(1048, u"tree_spot");
  b.u32_(1112, 1).u32_(1116, 2).u32_(1120, 1).u32_(1124, 1);  // counts B, C, D, E
  b.u32_(1128, 16);
  for (u32 i = 0; i < 16; ++i) {
    const u32 at = 1132 + 20 * i, v = 100 * i;
    b.u32_(at, v + 1).u32_(at + 4, v + 2).u32_(at + 8, v + 3).u32_(at + 12, v + 4).u32_(at + 16, v + 5);
  }
  b.u32_(1452, 3).u32_(1456, 1).u32_(1460, 2);  // waves, first repeating, repeating length
  b.u32_(1464, 1);                               // count G
  return b.v;
}

// The arrays B to G and A, each record from its table.
std::vector<Bytes> ArrayBytes() {
  std::vector<Bytes> a(kLevelArrayCount);
  a[kLevelGround] = ByteLayout(16).u32_(0, u32(-8)).u32_(4, 9).u8_(8, 5).u32_(12, 70000).v;
  const Bytes heap =
      ByteLayout(92).wide(4, u"heap").u32_(68, 1).u32_(72, 30).u32_(76, 40).u32_(80, 0x10000002).u8_(84, 1).v;
  const Bytes smoke = ByteLayout(92)
                          .u32_(0, 1)
                          .u32_(68, 2)
                          .u32_(72, u32(-5))
                          .u32_(76, 6)
                          .u32_(80, 0xABCD)
                          .u16_(84, u16(-7))
                          .u16_(86, 9)
                          .u32_(88, 3)
                          .v;
  a[kLevelDecorations] = heap;
  a[kLevelDecorations].insert(a[kLevelDecorations].end(), smoke.begin(), smoke.end());
  a[kLevelObstacles] = ByteLayout(20).u32_(0, 0x11).u32_(4, 12).u32_(8, 13).u32_(12, 14).u32_(16, 15).v;
  a[kLevelPoints] = ByteLayout(36)
                        .u32_(0, 3)
                        .u32_(4, 2)
                        .u32_(8, 0x51)
                        .u32_(12, 250)
                        .u32_(16, 7)
                        .u32_(20, 8)
                        .u32_(24, 700)
                        .u32_(28, 320)
                        .u8_(32, 1)
                        .v;
  for (const auto& [slot, kind, delay] :
       {std::tuple{u32(-1), 0x61u, 30000u}, std::tuple{1u, 0x62u, 5000u}, std::tuple{0u, 0x63u, 7000u}}) {
    const Bytes w = ByteLayout(12).u32_(0, slot).u32_(4, kind).u32_(8, delay).v;
    a[kLevelWaves].insert(a[kLevelWaves].end(), w.begin(), w.end());
  }
  a[kLevelEmitters] = ByteLayout(16).u32_(0, 0x71).u32_(4, 100).u32_(8, u32(-100)).f32_(12, 45.5f).v;
  a[kLevelIntro] = ByteLayout(280)
                       .u32_(0, 1)
                       .u32_(4, 2)
                       .wide(8, u"mill")
                       .wide(72, u"intro_1")
                       .wide(136, u"ico_mill")
                       .wide(200, u"intro_picture")
                       .u32_(264, 4)
                       .u32_(268, u32(-5))
                       .u32_(272, 6)
                       .u32_(276, 7)
                       .v;
  return a;
}

Bytes Whole(const Bytes& fixed, const std::vector<Bytes>& arrays) {
  Bytes out = fixed;
  for (const Bytes& a : arrays) out.insert(out.end(), a.begin(), a.end());
  return out;
}

TEST(LevelRecordLayout, TheWriterPutsEveryFieldWhereTheTablesSay) {
  const LEVELINFO l = Level();
  ASSERT_TRUE(ValidateLevelInfo(l));
  Bytes fixed(kLevelFixedSize, 0xCC);  // every byte written, padding zero
  PutLevelFixed(fixed.data(), l);
  EXPECT_TRUE(testsupport::SameBytes(fixed, FixedBytes()));
  std::vector<u8> record;
  AppendLevelRecord(&record, l);
  const std::vector<Bytes> arrays = ArrayBytes();
  ASSERT_EQ(record.size(), Whole(FixedBytes(), arrays).size());
  size_t at = kLevelFixedSize;
  for (u32 a = 0; a < kLevelArrayCount; ++a) {
    SCOPED_TRACE("array " + std::to_string(a));
    const Bytes written(record.begin() + at, record.begin() + at + arrays[a].size());
    EXPECT_TRUE(testsupport::SameBytes(written, arrays[a]));
    at += arrays[a].size();
  }
}

TEST(LevelRecordLayout, TheReaderTakesEveryFieldFromWhereTheTablesSay) {
  const Bytes fixed = FixedBytes();
  const std::vector<Bytes> arrays = ArrayBytes();
  LEVELINFO l;
  LEVELCOUNTS counts{};
  ParseLevelFixed(fixed.data(), &l, &counts);
  EXPECT_EQ(std::vector<u32>(counts.of, counts.of + kLevelArrayCount), (std::vector<u32>{1, 2, 1, 1, 3, 1, 1}));
  ASSERT_TRUE(CheckLevelCounts(l, counts));
  for (u32 a = 0; a < kLevelArrayCount; ++a)
    ParseLevelArray(static_cast<LevelArray>(a), arrays[a].data(), counts.of[a], &l);
  // Read right, the record is the level it was made from: the writer, put
  // right by the test above, gives back every byte.
  std::vector<u8> record;
  AppendLevelRecord(&record, l);
  EXPECT_TRUE(testsupport::SameBytes(record, Whole(fixed, arrays)));
  EXPECT_EQ(l.regimes[1].tasks[2].target, 2034);
  EXPECT_EQ(l.buildings[11].value, 51);
  EXPECT_EQ(l.decorations[1].sortX, -7);
  EXPECT_EQ(l.decorations[0].systemId, 0u);  // a sprite object has no particle system
  EXPECT_EQ(l.intro[0].imageY, -5);
}

}  // namespace

// "MAPM": what our writer makes reads back field by field; bytes laid out by
// hand at the record tables' offsets read to the same fields and write back
// equal; damaged sections set the error flag without reading past the end,
// and particle items that would divide by 0 or overrun their slot, and
// pictures whose scale is no size, are refused.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

#include "ContentRig.h"
#include "base/LittleEndian.h"
#include "content/MapSection.h"

using namespace contenttest;

namespace {

std::unique_ptr<MapSectionData> SampleMap() {
  auto map = std::make_unique<MapSectionData>();
  map->waters = {{404, 520, 180}, {-3, 7, 1}};
  for (u32 n = 0; n < kLevelCount; ++n) {
    MAPNODE& node = map->nodes[n];
    node.itemCount = n % 6;
    for (u32 i = 0; i < node.itemCount; ++i) {
      MAPNODEITEM& item = node.items[i];
      item.kind = i == 4 ? kMapItemCharacters : i + 1;
      item.stateMask = (1u << (i % 5)) | kMapMaskAttack;
      if (item.kind <= kMapItemSpot) {
        item.x = static_cast<i32>(n) - 20;
        item.y = -static_cast<i32>(i) * 7;
      }
      if (item.kind == kMapItemSprite || item.kind == kMapItemSpot) {
        std::memcpy(item.sprite, u"map_farm_wheat", 15 * 2);
        item.imageFlag = 3;
        item.scale = 0.75f;
        item.frameTime = 120 + n;
        item.frameMode = 4;
      } else if (item.kind == kMapItemParticles) {
        item.emitterScale = 0.5f;
        item.emitterCount = n == 40 ? kMapNodeEmitterMax : 2;
        for (u32 e = 0; e < item.emitterCount; ++e) item.emitters[e] = {0xC0FFEE00u + e, static_cast<i32>(e), -5};
      } else if (item.kind == kMapItemCharacters) {
        for (u32 b = 0; b < kMapItemBodySize; ++b) item.body[b] = static_cast<u8>(b * 7 + n);
      }
    }
  }
  map->particles[0] = {0x12345678u, 230, 690, 0.0f};
  map->particles[15] = {0x9ABCDEF0u, -1, 2, 359.5f};
  return map;
}

i32 ReadMap(ContentRig& rig, const std::vector<u8>& body, MapSectionData* out, SectionCursor* cursor = nullptr) {
  EXPECT_TRUE(rig.WriteData({{kMapSectionId, kMapSectionSubId, body}}));
  const SectionCursor c = rig.Read([&](auto* r, SectionCursor* s) { return ReadMapSection(r, s, out); });
  if (cursor) *cursor = c;
  return static_cast<i32>(c.error);
}

std::vector<u8> ItemBytes(const MAPNODEITEM& item) {
  std::vector<u8> raw(kMapNodeItemSize, 0xEE);
  PutMapNodeItem(raw.data(), item);
  return raw;
}

}  // namespace

TEST(MapSection, OurWriterReadsBackFieldByField) {
  ContentRig rig;
  const std::unique_ptr<MapSectionData> made = SampleMap();
  const std::vector<u8> body = MapSection(*made);
  ASSERT_EQ(body.size(), 4 + 2 * 12 + 711268u + 256u);
  auto read = std::make_unique<MapSectionData>();
  ASSERT_EQ(ReadMap(rig, body, read.get()), 0);
  ASSERT_EQ(read->waters.size(), 2u);
  EXPECT_EQ(read->waters[1].x, -3);
  EXPECT_EQ(read->waters[0].frameTime, 180u);
  for (u32 n = 0; n < kLevelCount; ++n) {
    const MAPNODE& a = read->nodes[n];
    const MAPNODE& b = made->nodes[n];
    ASSERT_EQ(a.itemCount, b.itemCount) << n;
    for (u32 i = 0; i < a.itemCount; ++i) {
      const MAPNODEITEM& x = a.items[i];
      const MAPNODEITEM& y = b.items[i];
      EXPECT_EQ(x.kind, y.kind);
      EXPECT_EQ(x.stateMask, y.stateMask);
      EXPECT_EQ(x.x, y.x) << n << " " << i;
      EXPECT_EQ(x.y, y.y);
      EXPECT_EQ(std::u16string(x.sprite), std::u16string(y.sprite));
      EXPECT_EQ(x.imageFlag, y.imageFlag);
      EXPECT_EQ(x.scale, y.scale);
      EXPECT_EQ(x.frameTime, y.frameTime);
      EXPECT_EQ(x.frameMode, y.frameMode);
      EXPECT_EQ(x.emitterScale, y.emitterScale);
      EXPECT_EQ(x.emitterCount, y.emitterCount);
      EXPECT_EQ(std::memcmp(x.emitters, y.emitters, sizeof x.emitters), 0);
      EXPECT_TRUE(x.kind != kMapItemCharacters || std::memcmp(x.body, y.body, kMapItemBodySize) == 0);
    }
  }
  EXPECT_EQ(read->particles[0].systemId, 0x12345678u);
  EXPECT_EQ(read->particles[15].angle, 359.5f);
  EXPECT_EQ(read->particles[15].x, -1);
  EXPECT_EQ(MapSection(*read), body);  // and writes back the same bytes
}

TEST(MapSection, BytesLaidOutByHandReadToTheirFieldsAndWriteBackEqual) {
  // A centred sprite, a sign and particles, each at the offsets of its kind.
  std::vector<u8> spot(kMapNodeItemSize, 0), sign(kMapNodeItemSize, 0), fx(kMapNodeItemSize, 0);
  kis::PutU32LE(&spot[0], 3);
  kis::PutU32LE(&spot[4], 0x8);
  const char16_t name[] = u"map_plot";
  for (u32 i = 0; name[i]; ++i) kis::PutU16LE(&spot[8 + 2 * i], name[i]);
  kis::PutU32LE(&spot[72], static_cast<u32>(-12));
  kis::PutU32LE(&spot[76], 34);
  spot[80] = 1;
  kis::PutF32LE(&spot[84], 1.25f);
  kis::PutU32LE(&spot[88], 90);
  kis::PutU32LE(&spot[92], 2);
  kis::PutU32LE(&sign[0], 2);
  kis::PutU32LE(&sign[4], 0xE);
  kis::PutU32LE(&sign[8], 44);
  kis::PutU32LE(&sign[12], 30);
  kis::PutU32LE(&fx[0], 4);
  kis::PutU32LE(&fx[4], 0x10);
  kis::PutF32LE(&fx[8], 2.0f);
  kis::PutU32LE(&fx[12], 2);
  kis::PutU32LE(&fx[16], 0xAABBCCDDu);
  kis::PutU32LE(&fx[20], 5);
  kis::PutU32LE(&fx[24], static_cast<u32>(-6));
  kis::PutU32LE(&fx[28], 7);
  kis::PutU32LE(&fx[1072], 0x11111111u);  // the 89th emitter's slot, last bytes of the item
  kis::PutU32LE(&fx[1076], 8);
  kis::PutU32LE(&fx[1080], 9);

  MAPNODEITEM a, b, c;
  ParseMapNodeItem(spot.data(), &a);
  EXPECT_EQ(a.kind, kMapItemSpot);
  EXPECT_EQ(a.stateMask, kMapMaskFinished);
  EXPECT_EQ(std::u16string(a.sprite), u"map_plot");
  EXPECT_EQ(a.x, -12);
  EXPECT_EQ(a.y, 34);
  EXPECT_EQ(a.imageFlag, 1);
  EXPECT_EQ(a.scale, 1.25f);
  EXPECT_EQ(a.frameTime, 90u);
  EXPECT_EQ(a.frameMode, 2u);
  ParseMapNodeItem(sign.data(), &b);
  EXPECT_EQ(b.kind, kMapItemSign);
  EXPECT_EQ(b.x, 44);
  EXPECT_EQ(b.y, 30);
  ParseMapNodeItem(fx.data(), &c);
  EXPECT_EQ(c.kind, kMapItemParticles);
  EXPECT_EQ(c.emitterScale, 2.0f);
  ASSERT_EQ(c.emitterCount, 2u);
  EXPECT_EQ(c.emitters[0].systemId, 0xAABBCCDDu);
  EXPECT_EQ(c.emitters[0].y, -6);
  EXPECT_EQ(c.emitters[1].systemId, 7u);
  EXPECT_EQ(c.emitters[88].systemId, 0x11111111u);
  EXPECT_EQ(c.emitters[88].y, 9);
  EXPECT_EQ(ItemBytes(a), spot);
  EXPECT_EQ(ItemBytes(b), sign);
  EXPECT_EQ(ItemBytes(c), fx);

  // A node: its count, then its slots 1,084 bytes apart; unused slots ignored.
  std::vector<u8> node(kMapNodeSize, 0);
  kis::PutU32LE(&node[0], 2);
  std::memcpy(&node[4], sign.data(), kMapNodeItemSize);
  std::memcpy(&node[4 + kMapNodeItemSize], spot.data(), kMapNodeItemSize);
  auto parsed = std::make_unique<MAPNODE>();
  ASSERT_TRUE(ParseMapNode(node.data(), parsed.get()));
  EXPECT_EQ(parsed->items[1].y, 34);
  std::vector<u8> again(kMapNodeSize, 0xEE);
  PutMapNode(again.data(), *parsed);
  EXPECT_EQ(again, node);
}

TEST(MapSection, DamageSetsTheErrorFlagAndBadItemsAreRefused) {
  ContentRig rig;
  const std::unique_ptr<MapSectionData> made = SampleMap();
  const std::vector<u8> body = MapSection(*made);
  auto read = std::make_unique<MapSectionData>();
  // Water counts the section cannot hold: one too many, and one that would
  // size a huge list.
  for (u32 waters : {3u, 0xFFFFFFFFu, 0x15555556u}) {
    std::vector<u8> bad = body;
    kis::PutU32LE(bad.data(), waters);
    EXPECT_EQ(ReadMap(rig, bad, read.get()), 1) << waters;
  }
  // Short, one byte long, or no section at all.
  std::vector<u8> cut(body.begin(), body.end() - 1);
  EXPECT_EQ(ReadMap(rig, cut, read.get()), 1);
  std::vector<u8> longer = body;
  longer.push_back(0);
  EXPECT_EQ(ReadMap(rig, longer, read.get()), 1);
  EXPECT_EQ(ReadMap(rig, {}, read.get()), 1);
  // A node claiming 17 items.
  std::vector<u8> many = body;
  kis::PutU32LE(&many[4 + 2 * 12 + 3 * kMapNodeSize], 17);
  EXPECT_EQ(ReadMap(rig, many, read.get()), 1);
  for (const MAPNODE& node : read->nodes) EXPECT_LE(node.itemCount, kMapNodeItemSlots);
  // The section itself is fine.
  EXPECT_EQ(ReadMap(rig, body, read.get()), 0);

  // Scale 0, a scale that is not a number and 90 emitters: nothing is made.
  MAPNODEITEM fx;
  fx.kind = kMapItemParticles;
  fx.stateMask = kMapMaskOpen;
  fx.emitterCount = 1;
  for (float scale : {0.0f, -0.0f, std::numeric_limits<float>::quiet_NaN()}) {
    fx.emitterScale = scale;
    MAPNODEITEM out;
    ParseMapNodeItem(ItemBytes(fx).data(), &out);
    EXPECT_EQ(out.kind, 0u) << scale;
  }
  fx.emitterScale = 1.0f;
  std::vector<u8> raw = ItemBytes(fx);
  kis::PutU32LE(&raw[12], kMapNodeEmitterMax + 1);
  MAPNODEITEM out;
  ParseMapNodeItem(raw.data(), &out);
  EXPECT_EQ(out.kind, 0u);
  kis::PutU32LE(&raw[12], kMapNodeEmitterMax);
  ParseMapNodeItem(raw.data(), &out);
  EXPECT_EQ(out.kind, kMapItemParticles);

  // A picture's scale must be a size: 0, below 0 or not a number is refused.
  for (u32 kind : {kMapItemSprite, kMapItemSpot}) {
    MAPNODEITEM picture;
    picture.kind = kind;
    picture.stateMask = kMapMaskOpen;
    for (float scale : {0.0f, -0.5f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
      picture.scale = scale;
      ParseMapNodeItem(ItemBytes(picture).data(), &out);
      EXPECT_EQ(out.kind, 0u) << kind << " " << scale;
    }
    picture.scale = 0.01f;
    ParseMapNodeItem(ItemBytes(picture).data(), &out);
    EXPECT_EQ(out.kind, kind);
  }
}

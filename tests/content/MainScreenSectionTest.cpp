// "MNSC": layer records laid out by hand read to the fields by their kind
// and our writer makes the same bytes; what a record holds is made safe (an
// entry count past 16, a blend mode past 4, bounds given high before low, a
// name filling its field); counts the section cannot hold and cut or
// overlong sections fail without keeping anything.
#include <gtest/gtest.h>

#include "ContentRig.h"
#include "content/MainScreenSection.h"
#include "testsupport/ByteBuilder.h"

using namespace contenttest;

namespace {

SectionCursor ReadMainScreenBody(ContentRig& rig, const std::vector<u8>& body, MainScreenLayers* out) {
  EXPECT_TRUE(rig.WriteData({{kMainScreenSectionId, kMainScreenSectionSubId, body}}));
  return rig.Read([&](auto* r, SectionCursor* c) { return out->ReadSection(r, c); });
}

// A plain layer of two pictures, a light layer of one ray, a particle layer of one emitter.
std::vector<u8> HandLaidMainScreen() {
  testsupport::ByteBuilder b;
  b.u32_(3);
  testsupport::ByteLayout plain(kMainScreenLayerSize);
  plain.u32_(0, 7).f32_(4, 0.25f).f32_(8, 0.5f).u32_(12, 2);
  plain.wide(16, u"ms_sky").u32_(16 + 64, static_cast<u32>(-768)).u32_(16 + 68, static_cast<u32>(-480));
  plain.u32_(16 + 72, 768).u32_(16 + 76, 288).u32_(16 + 80, 0xFFFFFFFFu);
  plain.wide(100, u"ms_hills").u32_(100 + 80, 0x80FF0000u);
  testsupport::ByteLayout light(kMainScreenLayerSize);
  light.u32_(0, 2).f32_(4, 0.6f).f32_(8, 0.6f).u32_(12, 1).wide(16, u"ms_ray");
  light.f32_(1360, 28).f32_(1364, 4).f32_(1368, 260).u32_(1372, 5000).u32_(1376, 8000);
  light.u32_(1380, 1200).u32_(1384, 1500).u32_(1388, 1500).u32_(1392, 4000).u32_(1396, 3);
  testsupport::ByteLayout parts(kMainScreenLayerSize);
  parts.u32_(0, 3).f32_(4, 1.2f).u32_(1360, 0xABCD1234u).u32_(1364, static_cast<u32>(-200));
  parts.u32_(1368, static_cast<u32>(-480)).f32_(1372, 10.0f);
  b.raw(plain.v).raw(light.v).raw(parts.v);
  return b.v;
}

std::vector<MAINSCREENLAYERINFO> SampleMainScreen() {
  MAINSCREENLAYERINFO plain{};
  plain.kind = 7;
  plain.depth = 0.25f;
  plain.zoom = 0.5f;
  plain.count = 2;
  SetName(plain.entries[0].name, u"ms_sky");
  plain.entries[0] = MAINSCREENENTRY{{}, -768, -480, 768, 288, 0xFFFFFFFFu};
  SetName(plain.entries[0].name, u"ms_sky");
  SetName(plain.entries[1].name, u"ms_hills");
  plain.entries[1].colour = 0x80FF0000u;
  MAINSCREENLAYERINFO light{};
  light.kind = kMainScreenLight;
  light.depth = light.zoom = 0.6f;
  light.count = 1;
  SetName(light.entries[0].name, u"ms_ray");
  light.lights[0] = MAINSCREENLIGHTINFO{28, 4, 260, 5000, 8000, 1200, 1500, 1500, 4000, 3};
  MAINSCREENLAYERINFO parts{};
  parts.kind = kMainScreenParticles;
  parts.depth = 1.2f;
  parts.particles[0] = MAINSCREENPARTICLE{0xABCD1234u, -200, -480, 10.0f};
  return {plain, light, parts};
}

}  // namespace

TEST(MainScreenSection, HandLaidLayersReadByKindAndTheWriterMakesThem) {
  const std::vector<u8> bytes = HandLaidMainScreen();
  EXPECT_TRUE(testsupport::SameBytes(MainScreenSection(SampleMainScreen()), bytes));
  ContentRig rig;
  MainScreenLayers layers;
  EXPECT_EQ(ReadMainScreenBody(rig, bytes, &layers).error, 0u);
  ASSERT_EQ(layers.Layers().size(), 3u);
  const MAINSCREENLAYERINFO& plain = layers.Layers()[0];
  EXPECT_EQ(plain.kind, 7u);  // a kind above 3 is a plain layer's
  EXPECT_FLOAT_EQ(plain.zoom, 0.5f);
  EXPECT_EQ(std::u16string(plain.entries[1].name), u"ms_hills");
  EXPECT_EQ(plain.entries[0].x1, -768);
  EXPECT_EQ(plain.entries[0].y2, 288);
  EXPECT_EQ(plain.entries[1].colour, 0x80FF0000u);
  EXPECT_EQ(plain.lights[0].maxDuration, 0u);  // a plain layer's tail is not read
  const MAINSCREENLIGHTINFO& l = layers.Layers()[1].lights[0];
  EXPECT_FLOAT_EQ(l.startX, 4);
  EXPECT_EQ(l.maxPause, 4000u);
  EXPECT_EQ(l.blend, 3u);
  const MAINSCREENPARTICLE& p = layers.Layers()[2].particles[0];
  EXPECT_EQ(p.systemId, 0xABCD1234u);
  EXPECT_EQ(p.y, -480);
  EXPECT_FLOAT_EQ(p.angle, 10.0f);
  // The writer and the reader round the sample again.
  MainScreenLayers again;
  EXPECT_EQ(ReadMainScreenBody(rig, MainScreenSection(layers.Layers()), &again).error, 0u);
  EXPECT_TRUE(testsupport::SameBytes(MainScreenSection(again.Layers()), bytes));
}

TEST(MainScreenSection, RecordsMadeSafeAndBadCountsOrSizesFailWhole) {
  std::vector<u8> bytes = HandLaidMainScreen();
  kis::PutU32LE(bytes.data() + 4 + 12, 40);  // 40 sprite entries
  for (u32 i = 0; i < 32; ++i) kis::PutU16LE(bytes.data() + 4 + 16 + 2 * i, u'a');  // no terminator
  u8* light = bytes.data() + 4 + kMainScreenLayerSize + 1360;
  kis::PutU32LE(light + 12, 9000);  // minimum above maximum
  kis::PutU32LE(light + 36, 77);    // blend past the last
  ContentRig rig;
  MainScreenLayers layers;
  ASSERT_EQ(ReadMainScreenBody(rig, bytes, &layers).error, 0u);
  EXPECT_EQ(layers.Layers()[0].count, 16u);
  EXPECT_EQ(std::u16string(layers.Layers()[0].entries[0].name).size(), 31u);
  const MAINSCREENLIGHTINFO& l = layers.Layers()[1].lights[0];
  EXPECT_EQ(l.minDuration, 8000u);
  EXPECT_EQ(l.maxDuration, 9000u);
  EXPECT_EQ(l.blend, 4u);

  // Empty is fine; a count past the bytes, a cut record and a byte too many fail whole.
  EXPECT_EQ(ReadMainScreenBody(rig, {0, 0, 0, 0}, &layers).error, 0u);
  EXPECT_TRUE(layers.Layers().empty());
  std::vector<u8> huge = HandLaidMainScreen();
  kis::PutU32LE(huge.data(), 0x7FFFFFFFu);
  std::vector<u8> cut = HandLaidMainScreen();
  cut.resize(cut.size() - 1);
  std::vector<u8> longer = HandLaidMainScreen();
  longer.push_back(0);
  for (const std::vector<u8>* bad : {&huge, &cut, &longer}) {
    ASSERT_EQ(ReadMainScreenBody(rig, HandLaidMainScreen(), &layers).error, 0u);
    EXPECT_NE(ReadMainScreenBody(rig, *bad, &layers).error, 0u);
    EXPECT_TRUE(layers.Layers().empty());
  }
  EXPECT_NE(ReadMainScreenBody(rig, {1, 0}, &layers).error, 0u);
}

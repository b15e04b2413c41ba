// "COMX": a section laid out by hand reads to the fields and our writer
// makes the same bytes; sizes that match only after wrapping 32 bits, counts
// the bytes cannot hold and cut sections fail without keeping anything.
#include <gtest/gtest.h>

#include "ContentRig.h"
#include "base/LittleEndian.h"
#include "content/ComixSection.h"
#include "testsupport/ByteBuilder.h"

using namespace contenttest;

namespace {

COMIXENTRY Entry(const char16_t* name, i32 x, i32 y) {
  COMIXENTRY e;
  SetName(e.name, name);
  e.x = x;
  e.y = y;
  return e;
}

std::vector<ComixPage> SamplePages() {
  ComixPage p0;
  p0.x = -490;
  p0.y = -340;
  COMIXPART a;
  a.x = 20;
  a.y = 40;
  a.centerX = 170;
  a.centerY = -5;
  a.pictures = {Entry(u"comix0_farm", 0, 0), Entry(u"comix0_sun", 200, -7)};
  a.overlays = {Entry(u"comix0_seal", 1, 2)};
  a.texts = {Entry(u"intro", 3, 4)};
  COMIXPART b;
  b.x = 660;
  b.texts = {Entry(u"boots", 0, 0)};
  p0.parts = {a, b};
  ComixPage p1;  // a page without parts
  p1.x = 7;
  return {p0, p1};
}

SectionCursor ReadComix(ContentRig& rig, const std::vector<u8>& body, ComixList* out) {
  EXPECT_TRUE(rig.WriteData({{kComixSectionId, kComixSectionSubId, body}}));
  return rig.Read([&](auto* r, SectionCursor* c) { return out->ReadSection(r, c); });
}

std::vector<u8> Entry72(std::u16string_view name, i32 x, i32 y) {
  testsupport::ByteLayout e(kComixEntrySize);
  e.wide(0, name).u32_(64, static_cast<u32>(x)).u32_(68, static_cast<u32>(y));
  return e.v;
}

}  // namespace

TEST(ComixSection, HandLaidBytesReadToTheFieldsAndTheWriterMakesThem) {
  testsupport::ByteBuilder b;
  b.u32_(2).u32_(static_cast<u32>(-490)).u32_(static_cast<u32>(-340)).u32_(2);
  testsupport::ByteLayout head(kComixPartHeaderSize);
  head.u32_(0, 44 + 72 * 4).u32_(4, 20).u32_(8, 40).u32_(12, 170).u32_(16, static_cast<u32>(-5));
  head.u32_(20, 2).u32_(24, 1).u32_(28, 1);
  b.raw(head.v).raw(Entry72(u"comix0_farm", 0, 0)).raw(Entry72(u"comix0_sun", 200, -7));
  b.raw(Entry72(u"comix0_seal", 1, 2)).raw(Entry72(u"intro", 3, 4));
  testsupport::ByteLayout head2(kComixPartHeaderSize);
  head2.u32_(0, 44 + 72).u32_(4, 660).u32_(28, 1);
  b.raw(head2.v).raw(Entry72(u"boots", 0, 0));
  b.u32_(7).u32_(0).u32_(0);
  EXPECT_TRUE(testsupport::SameBytes(ComixSection(SamplePages()), b.v));

  ContentRig rig;
  ComixList list;
  EXPECT_EQ(ReadComix(rig, b.v, &list).error, 0u);
  ASSERT_EQ(list.GetCount(), 2u);
  const ComixPage* p = list.Get(0);
  EXPECT_EQ(p->x, -490);
  EXPECT_EQ(p->y, -340);
  ASSERT_EQ(p->parts.size(), 2u);
  const COMIXPART& a = p->parts[0];
  EXPECT_EQ(a.centerY, -5);
  ASSERT_EQ(a.pictures.size(), 2u);
  EXPECT_EQ(std::u16string(a.pictures[1].name), u"comix0_sun");
  EXPECT_EQ(a.pictures[1].y, -7);
  EXPECT_EQ(std::u16string(a.overlays[0].name), u"comix0_seal");
  EXPECT_EQ(a.texts[0].x, 3);
  EXPECT_EQ(p->parts[1].x, 660);
  EXPECT_TRUE(list.Get(1)->parts.empty());
  EXPECT_EQ(list.Get(2), nullptr);
  EXPECT_FALSE(p->acquired);
  // Read again over the same list: the pages are replaced, not added to.
  EXPECT_EQ(ReadComix(rig, b.v, &list).error, 0u);
  EXPECT_EQ(list.GetCount(), 2u);
}

TEST(ComixSection, WrappedSizesHugeCountsAndCutSectionsFailAndKeepNothing) {
  ContentRig rig;
  const std::vector<u8> good = ComixSection(SamplePages());
  const size_t part0 = 16;  // the first part's header
  const auto damaged = [&](auto change) {
    std::vector<u8> body = good;
    change(body);
    ComixList list;
    const SectionCursor c = ReadComix(rig, body, &list);
    EXPECT_EQ(list.GetCount(), 0u);
    return c.error != 0;
  };
  // a + b + c with 72 x (a + b + c) wrapping to the stored 44 + 72 x 4.
  EXPECT_TRUE(damaged([&](std::vector<u8>& v) {
    kis::PutU32LE(v.data() + part0 + 20, 2 + 0x38E38E39u);  // 72 x 0x38E38E39 = 2^32 + 8
    kis::PutU32LE(v.data() + part0, static_cast<u32>(44 + 72 * 4 + 72u * 0x38E38E39u));
  }));
  EXPECT_TRUE(damaged([&](std::vector<u8>& v) { kis::PutU32LE(v.data() + part0 + 24, 0xFFFFFFFFu); }));
  EXPECT_TRUE(damaged([&](std::vector<u8>& v) { kis::PutU32LE(v.data() + part0, 44 + 72 * 3); }));
  EXPECT_TRUE(damaged([&](std::vector<u8>& v) { kis::PutU32LE(v.data(), 0x40000000u); }));  // pages
  EXPECT_TRUE(damaged([&](std::vector<u8>& v) { kis::PutU32LE(v.data() + 12, 0x10000000u); }));  // parts
  EXPECT_TRUE(damaged([&](std::vector<u8>& v) { v.push_back(0); }));  // a byte left over
  for (size_t cut : {size_t{0}, size_t{3}, part0 + 10, good.size() - 1}) {
    std::vector<u8> body(good.begin(), good.begin() + static_cast<long>(cut));
    ComixList list;
    EXPECT_NE(ReadComix(rig, body, &list).error, 0u) << cut;
    EXPECT_EQ(list.GetCount(), 0u);
  }
  // No section at all.
  ASSERT_TRUE(rig.WriteData({}));
  ComixList none;
  EXPECT_NE(rig.Read([&](auto* r, SectionCursor* c) { return none.ReadSection(r, c); }).error, 0u);
}

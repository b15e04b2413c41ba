#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <vector>

#include "FontTestUtil.h"
#include "platform/font/FontKernTable.h"
#include "testsupport/ByteBuilder.h"

namespace {

using fonttest::Request;
using fonttest::TestResolver;

// Builds a Windows 'kern' table, big-endian, subtable by subtable.
class KernBuilder {
 public:
  explicit KernBuilder(uint16_t tables, uint16_t version = 0) {
    bytes_.be16(version).be16(tables);
  }
  // A format-0 subtable; `lengthField` < 0 writes the true length.
  KernBuilder& Subtable(uint16_t coverage, const std::vector<std::array<int, 3>>& pairs, int lengthField = -1,
                        int countField = -1) {
    const size_t length = 14 + 6 * pairs.size();
    bytes_.be16(0).be16(static_cast<uint16_t>(lengthField < 0 ? length : lengthField)).be16(coverage);
    bytes_.be16(static_cast<uint16_t>(countField < 0 ? pairs.size() : countField)).be16(0).be16(0).be16(0);
    for (const auto& p : pairs)
      bytes_.be16(static_cast<uint16_t>(p[0])).be16(static_cast<uint16_t>(p[1])).be16(static_cast<uint16_t>(p[2]));
    return *this;
  }
  KernBuilder& Raw(std::vector<uint8_t> bytes) {
    bytes_.raw(bytes);
    return *this;
  }
  const std::vector<uint8_t>& Bytes() const { return bytes_.v; }

 private:
  testsupport::ByteBuilder bytes_;
};

using Pairs = std::vector<std::array<int, 3>>;

Pairs Parsed(const std::vector<uint8_t>& bytes, bool* ok = nullptr) {
  plat::FontKernTable table;
  const bool parsed = table.Parse(bytes.data(), bytes.size());
  if (ok != nullptr) *ok = parsed;
  Pairs out;
  for (const auto& p : table.Pairs()) out.push_back({p.left, p.right, p.value});
  return out;
}

constexpr uint16_t kHorizontal = 0x0001;

TEST(FontKernTable, ReadsHorizontalFormatZeroPairsSorted) {
  KernBuilder b(1);
  b.Subtable(kHorizontal, {{5, 9, -120}, {2, 3, 40}, {5, 1, 7}});
  EXPECT_EQ(Parsed(b.Bytes()), (Pairs{{2, 3, 40}, {5, 1, 7}, {5, 9, -120}}));
}

TEST(FontKernTable, SubtablesAddUpUnlessOverriding) {
  KernBuilder sum(2);
  sum.Subtable(kHorizontal, {{1, 2, -50}, {3, 4, 10}}).Subtable(kHorizontal, {{1, 2, -25}});
  EXPECT_EQ(Parsed(sum.Bytes()), (Pairs{{1, 2, -75}, {3, 4, 10}}));
  KernBuilder over(3);
  over.Subtable(kHorizontal, {{1, 2, -50}})
      .Subtable(kHorizontal | 0x0008, {{1, 2, -30}})
      .Subtable(kHorizontal, {{1, 2, -5}});
  EXPECT_EQ(Parsed(over.Bytes()), (Pairs{{1, 2, -35}}));
}

TEST(FontKernTable, SkipsSubtablesThatDoNotKernHorizontally) {
  KernBuilder b(5);
  b.Subtable(0, {{1, 1, 1}})                             // vertical
      .Subtable(kHorizontal | 0x0002, {{2, 2, 2}})       // minimum values
      .Subtable(kHorizontal | 0x0004, {{3, 3, 3}})       // cross-stream
      .Subtable(kHorizontal | 0x0200, {{4, 4, 4}})       // format 2, skipped by its length
      .Subtable(kHorizontal, {{5, 5, 5}});
  EXPECT_EQ(Parsed(b.Bytes()), (Pairs{{5, 5, 5}}));
}

TEST(FontKernTable, RefusesOtherHeadersAndShortTables) {
  bool ok = true;
  KernBuilder apple(1, 1);  // version 1.0 of the Apple form begins 0x0001
  apple.Subtable(kHorizontal, {{1, 2, 3}});
  EXPECT_TRUE(Parsed(apple.Bytes(), &ok).empty());
  EXPECT_FALSE(ok);
  EXPECT_TRUE(Parsed({0, 0, 0}, &ok).empty());
  EXPECT_FALSE(ok);
  plat::FontKernTable table;
  EXPECT_FALSE(table.Parse(nullptr, 10));
  // A header alone is a table without pairs.
  EXPECT_TRUE(Parsed({0, 0, 0, 0}, &ok).empty());
  EXPECT_TRUE(ok);
}

TEST(FontKernTable, TruncatedOrLyingCountsReadOnlyWholePairs) {
  KernBuilder b(3);
  b.Subtable(kHorizontal, {{1, 2, -3}, {4, 5, -6}}, -1, 1000);  // claims 1000 pairs
  b.Raw({0, 7, 0});                                              // half a pair
  EXPECT_EQ(Parsed(b.Bytes()), (Pairs{{1, 2, -3}, {4, 5, -6}}));
  // Cut in the middle of the second pair's value.
  KernBuilder c(1);
  c.Subtable(kHorizontal, {{1, 2, -3}, {4, 5, -6}});
  std::vector<uint8_t> cut = c.Bytes();
  cut.resize(cut.size() - 1);
  EXPECT_EQ(Parsed(cut), (Pairs{{1, 2, -3}}));
  // A subtable length below its own header stops the walk after it.
  KernBuilder d(2);
  d.Subtable(kHorizontal | 0x0100, {{1, 2, 3}}, 4).Subtable(kHorizontal, {{9, 9, 9}});
  EXPECT_EQ(Parsed(d.Bytes()), (Pairs{}));
}

TEST(FontKernTable, WrappedLengthOfALargeSubtableFollowsItsPairCount) {
  // 11,000 pairs need 66,014 bytes: the 16-bit length field wraps to 478.
  Pairs many;
  for (int i = 0; i < 11000; ++i) many.push_back({i / 100, i % 100, -1});
  KernBuilder b(2);
  b.Subtable(kHorizontal, many, static_cast<int>((14 + 6 * many.size()) & 0xFFFF));
  b.Subtable(kHorizontal, {{60000, 1, -9}});
  const Pairs out = Parsed(b.Bytes());
  ASSERT_EQ(out.size(), 11001u);
  EXPECT_EQ(out.back(), (std::array<int, 3>{60000, 1, -9}));
}

TEST(FontKerning, DejaVuSansKernsAThenVCloser) {
  const plat::FontResolver r = TestResolver();
  plat::Font font;
  ASSERT_TRUE(font.Create(Request(u"DejaVu Sans", -16), r));
  std::vector<plat::KernPair> pairs;
  ASSERT_TRUE(font.GetKerningPairs(pairs));
  ASSERT_FALSE(pairs.empty());
  const plat::KernPair* av = nullptr;
  for (const plat::KernPair& p : pairs) {
    if (p.first == u'A' && p.second == u'V') av = &p;
  }
  ASSERT_NE(av, nullptr);
  EXPECT_LT(av->amount, 0);
  for (size_t i = 1; i < pairs.size(); ++i) {
    const bool ordered = pairs[i - 1].first < pairs[i].first ||
                         (pairs[i - 1].first == pairs[i].first && pairs[i - 1].second < pairs[i].second);
    ASSERT_TRUE(ordered) << i;
  }
}

TEST(FontKerning, AmountsAreTheTableValuesScaledAndRounded) {
  const plat::FontResolver r = TestResolver();
  plat::Font font;
  const int em = 37;
  ASSERT_TRUE(font.Create(Request(u"DejaVu Sans", -em), r));
  std::vector<plat::KernPair> pairs;
  ASSERT_TRUE(font.GetKerningPairs(pairs));
  ASSERT_GT(pairs.size(), 1000u);

  // FreeType's own reader of the same table gives the unscaled values.
  FT_Library lib = nullptr;
  FT_Face face = nullptr;
  ASSERT_EQ(FT_Init_FreeType(&lib), 0);
  ASSERT_EQ(FT_New_Face(lib, (fonttest::FontDir() + "/DejaVuSans.ttf").c_str(), 0, &face), 0);
  for (const plat::KernPair& p : pairs) {
    FT_Vector v{0, 0};
    ASSERT_EQ(FT_Get_Kerning(face, FT_Get_Char_Index(face, p.first), FT_Get_Char_Index(face, p.second),
                             FT_KERNING_UNSCALED, &v),
              0);
    const long scaled = v.x * em;
    const long upem = face->units_per_EM;
    const long rounded = scaled >= 0 ? (2 * scaled + upem) / (2 * upem) : -((-2 * scaled + upem) / (2 * upem));
    ASSERT_EQ(p.amount, rounded) << int(p.first) << " " << int(p.second);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
}

TEST(FontKerning, FontWithoutAKernTableHasNoPairs) {
  // A font built from the DejaVu file with its 'kern' table renamed, so only
  // GPOS kerning is left: like the Windows text services, no pairs.
  std::vector<uint8_t> bytes = testsupport::ReadFileBytes(fonttest::FontDir() + "/DejaVuSans.ttf");
  ASSERT_FALSE(bytes.empty());
  const uint16_t tables = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
  bool renamed = false;
  for (size_t i = 0; i < tables; ++i) {
    uint8_t* tag = &bytes[12 + 16 * i];
    if (std::equal(tag, tag + 4, "kern")) {
      std::copy_n("kerx", 4, tag);  // FreeType finds tables in any order
      renamed = true;
    }
  }
  ASSERT_TRUE(renamed);
  plat::Font font;
  ASSERT_TRUE(font.CreateFromMemory(bytes.data(), bytes.size(), Request(u"", -16)));
  std::vector<plat::KernPair> pairs{{u'x', u'y', 1}};
  ASSERT_TRUE(font.GetKerningPairs(pairs));
  EXPECT_TRUE(pairs.empty());
}

}  // namespace

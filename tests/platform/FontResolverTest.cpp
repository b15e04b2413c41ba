#include <gtest/gtest.h>

#include "FontTestUtil.h"

namespace {

using fonttest::FontDir;
using fonttest::TestResolver;

std::string FileName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

TEST(FontResolver, WindowsFaceNamesFindTheirMetricCompatibleStandIns) {
  const plat::FontResolver r = TestResolver();
  plat::FontFileChoice c;
  ASSERT_TRUE(r.Resolve(u"Arial", 400, false, c));
  EXPECT_EQ(FileName(c.path), "LiberationSans-Regular.ttf");
  EXPECT_EQ(c.family, "Liberation Sans");
  ASSERT_TRUE(r.Resolve(u"ARIAL", 0, false, c));  // any case, weight 0 is normal
  EXPECT_EQ(FileName(c.path), "LiberationSans-Regular.ttf");
  EXPECT_EQ(plat::FontResolver::Alias("courier new"), "Liberation Mono");
  EXPECT_TRUE(plat::FontResolver::Alias("Verdana").empty());
}

TEST(FontResolver, BoldPicksTheRealBoldFaceFromSixHundredOn) {
  const plat::FontResolver r = TestResolver();
  plat::FontFileChoice c;
  ASSERT_TRUE(r.Resolve(u"Liberation Sans", 700, false, c));
  EXPECT_EQ(FileName(c.path), "LiberationSans-Bold.ttf");
  EXPECT_EQ(c.weight, 700);
  ASSERT_TRUE(r.Resolve(u"Liberation Sans", 600, false, c));
  EXPECT_EQ(FileName(c.path), "LiberationSans-Bold.ttf");
  ASSERT_TRUE(r.Resolve(u"Liberation Sans", 599, false, c));
  EXPECT_EQ(FileName(c.path), "LiberationSans-Regular.ttf");
}

TEST(FontResolver, MissingStyleTakesTheSameFamilyInAnotherStyle) {
  const plat::FontResolver r = TestResolver();
  plat::FontFileChoice c;
  // No italic and no bold DejaVu Sans in the folder: the regular face, which
  // the font then slants and emboldens itself.
  ASSERT_TRUE(r.Resolve(u"DejaVu Sans", 700, true, c));
  EXPECT_EQ(FileName(c.path), "DejaVuSans.ttf");
  EXPECT_FALSE(c.italic);
  // An italic Liberation Sans is missing too: the family wins over the style,
  // and of its faces the one of the nearer weight.
  ASSERT_TRUE(r.Resolve(u"Arial", 800, true, c));
  EXPECT_EQ(FileName(c.path), "LiberationSans-Bold.ttf");
}

TEST(FontResolver, UnknownFacesFallBackToDejaVuSans) {
  const plat::FontResolver r = TestResolver();
  plat::FontFileChoice c;
  ASSERT_TRUE(r.Resolve(u"No Such Face", 400, false, c));
  EXPECT_EQ(c.family, "DejaVu Sans");
  ASSERT_TRUE(r.Resolve(u"", 400, false, c));
  EXPECT_EQ(c.family, "DejaVu Sans");
}

TEST(FontResolver, NothingFoundWithoutFolderOrSystem) {
  plat::FontResolver r;
  r.SetUseSystemFonts(false);
  plat::FontFileChoice c;
  EXPECT_FALSE(r.Resolve(u"Arial", 400, false, c));
  r.SetFolder(u"/no/such/folder");
  EXPECT_FALSE(r.Resolve(u"Arial", 400, false, c));
  // A folder without font files (the fonts' licences are text files).
  r.SetFolder(plat::Utf8ToUtf16(std::string(TM_TEST_DATA_DIR) + "/datafile"));
  EXPECT_FALSE(r.Resolve(u"Arial", 400, false, c));
}

TEST(FontResolver, SystemFontsResolveArialToLiberationSans) {
  // The test packages install fonts-liberation2 and fonts-dejavu-core.
  plat::FontResolver r;
  plat::FontFileChoice c;
  ASSERT_TRUE(r.Resolve(u"Arial", 400, false, c));
  EXPECT_EQ(c.family, "Liberation Sans");
  ASSERT_TRUE(r.Resolve(u"Arial", 700, false, c));
  EXPECT_EQ(c.family, "Liberation Sans");
  EXPECT_GE(c.weight, 600);
}

}  // namespace

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/FileStream.h"
#include "base/MemoryStream.h"
#include "base/StringList.h"
#include "platform/encoding/Utf.h"
#include "testsupport/TempFolder.h"

namespace {

namespace fs = std::filesystem;

class FileStreamTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(root_ / "sub"); }

  std::u16string Wide(const std::string& rel) const { return plat::Utf8ToUtf16(root_.string() + rel); }
  std::string Narrow(const std::string& rel) const { return root_.string() + rel; }
  void Put(const std::string& rel, const std::string& bytes) const {
    std::ofstream(root_.string() + rel, std::ios::binary) << bytes;
  }
  std::string Get(const std::string& rel) const {
    std::ifstream in(root_.string() + rel, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  TempFolder temp_;
  fs::path root_ = temp_.Path();
};

TEST_F(FileStreamTest, OpensLooselySpelledNames) {
  Put("/sub/file.txt", "hello");
  kis::FileStreamW f(Wide("\\Sub\\File.TXT").c_str(), kis::kStreamRead | kis::kStreamShareRead);
  ASSERT_TRUE(f.IsOpen());
  EXPECT_EQ(f.Seek(2, 0), 2u);
  EXPECT_EQ(f.GetSize(), 5u);
  EXPECT_EQ(f.GetPosition(), 2u);  // GetSize keeps the position
  char buf[8] = {};
  EXPECT_EQ(f.Read(buf, 8), 3u);
  EXPECT_STREQ(buf, "llo");
  EXPECT_EQ(f.Write("x", 1), kis::kStreamError);  // opened for reading only
}

TEST_F(FileStreamTest, MissingFileFailsThroughResults) {
  kis::FileStreamA f(Narrow("/nothing.bin").c_str(), kis::kStreamRead);
  EXPECT_FALSE(f.IsOpen());
  char buf[4];
  EXPECT_EQ(f.Read(buf, 4), kis::kStreamError);
  EXPECT_EQ(f.Write(buf, 4), kis::kStreamError);
  EXPECT_EQ(f.Seek(1, 0), 0u);
  EXPECT_FALSE(f.SetSize(1));
  kis::FileStreamW folder(Wide("/sub").c_str(), kis::kStreamRead);
  EXPECT_FALSE(folder.IsOpen());
  kis::FileStreamW none(nullptr, kis::kStreamRead);
  EXPECT_FALSE(none.IsOpen());
}

TEST_F(FileStreamTest, CreateTruncatesAndSetSizeCuts) {
  Put("/out.bin", "old contents");
  {
    kis::FileStreamA f(Narrow("/out.bin").c_str(), kis::kStreamCreate);
    ASSERT_TRUE(f.IsOpen());
    EXPECT_EQ(f.GetSize(), 0u);
    EXPECT_EQ(f.Write("0123456789", 10), 10u);
    EXPECT_TRUE(f.SetSize(4));
    EXPECT_EQ(f.GetPosition(), 4u);
    EXPECT_EQ(f.Seek(-2, 2), 2u);
    EXPECT_EQ(f.Seek(-10, 1), 0u);  // before the start: failure value
    EXPECT_TRUE(f.SetSize(6));      // extending pads with zeros
  }
  EXPECT_EQ(Get("/out.bin"), std::string("0123\0\0", 6));
  {
    kis::FileStreamW f(Wide("/OUT.bin").c_str(), kis::kStreamRead | kis::kStreamWrite);
    ASSERT_TRUE(f.IsOpen());
    f.Seek(0, 2);
    EXPECT_TRUE(f.WriteBlock("ab", 2));
  }
  EXPECT_EQ(Get("/out.bin").size(), 8u);
}

// A line list with a surrogate pair and Cyrillic, stored as UTF-16LE.
const std::u16string kLines[] = {u"\u041F\u0440\u0438\u0432\u0435\u0442", u"", u"smile \U0001F600 ok"};

std::string Utf16Le(const std::u16string& text) {
  std::string out = "\xFF\xFE";
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

TEST_F(FileStreamTest, StringListFileRoundTripsByteExact) {
  const std::u16string joined = kLines[0] + u"\r\n" + kLines[1] + u"\r\n" + kLines[2];
  const std::string bytes = Utf16Le(joined);
  Put("/sub/times.txt", bytes);

  kis::WideStrings l;
  EXPECT_TRUE(l.LoadFromFile(Wide("/SUB/Times.txt").c_str()));
  ASSERT_EQ(l.GetCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(std::u16string(l.GetString(i)), kLines[i]);
  EXPECT_EQ(std::u16string(l.GetSeparator()), u"\r\n");

  EXPECT_TRUE(l.SaveToFile(Wide("/sub/copy.txt").c_str()));
  EXPECT_EQ(Get("/sub/copy.txt"), bytes);
  EXPECT_FALSE(fs::exists(root_ / "sub" / "copy.txt.bak"));
  // Saving over an existing file replaces it whole.
  l.Delete(2);
  EXPECT_TRUE(l.SaveToFile(Wide("/sub/copy.txt").c_str()));
  EXPECT_EQ(Get("/sub/copy.txt"), Utf16Le(kLines[0] + u"\r\n"));
  // A save into a missing folder fails and reports it.
  EXPECT_FALSE(l.SaveToFile(Wide("/none/x.txt").c_str()));
}

TEST_F(FileStreamTest, OnlyMarkedUtf16FilesLoad) {
  const std::pair<const char*, std::string> files[] = {
      {"/plain.txt", "a\r\nb\r\n"},
      {"/utf8.txt", "\xEF\xBB\xBF\xD0\x9F\r\n"},
      {"/cp1251.txt", "\xCF\xF0\xE8"},
      {"/one.txt", "\xFF"},
      {"/big-endian.txt", std::string("\xFE\xFF\0a", 4)},
  };
  for (const auto& [name, bytes] : files) {
    Put(name, bytes);
    kis::WideStrings l;
    l.AddString(u"stale");
    EXPECT_FALSE(l.LoadFromFile(Wide(name).c_str())) << name;
    EXPECT_EQ(l.GetCount(), 0) << name;
  }
  kis::WideStrings l;
  EXPECT_FALSE(l.LoadFromFile(Wide("/missing.txt").c_str()));
  Put("/mark.txt", "\xFF\xFE");
  EXPECT_TRUE(l.LoadFromFile(Wide("/mark.txt").c_str()));
  EXPECT_EQ(l.GetCount(), 0);
  // An odd trailing byte is ignored.
  Put("/odd.txt", std::string("\xFF\xFEx\0y", 5));
  EXPECT_TRUE(l.LoadFromFile(Wide("/odd.txt").c_str()));
  EXPECT_EQ(l.GetCount(), 1);
  EXPECT_EQ(std::u16string(l.GetString(0)), u"x");
}

TEST(StringListStream, SavesOnlyTheMarkForAnEmptyList) {
  kis::WideStrings l;
  kis::MemoryStream s;
  EXPECT_FALSE(l.SaveToStream(&s));  // a new memory stream has no block yet
  s.Write("zz", 2);
  s.SetPosition(0);
  EXPECT_TRUE(l.SaveToStream(&s));
  EXPECT_EQ(s.GetSize(), 2u);
  EXPECT_EQ(s.GetMemory()[0], 0xFF);
  EXPECT_EQ(s.GetMemory()[1], 0xFE);
}

TEST(StringListStream, LoadsFromTheCurrentPosition) {
  kis::MemoryStream s;
  const std::string bytes = "hdr" + Utf16Le(u"a\rb");
  s.Write(bytes.data(), bytes.size());
  s.SetPosition(3);
  kis::WideStrings l;
  EXPECT_TRUE(l.LoadFromStream(&s));
  EXPECT_EQ(l.GetCount(), 2);
  EXPECT_EQ(std::u16string(l.GetSeparator()), u"\r");
  EXPECT_EQ(s.GetPosition(), s.GetSize());
  s.SetPosition(s.GetSize() - 1);  // one byte left
  l.AddString(u"x");
  EXPECT_FALSE(l.LoadFromStream(&s));
  EXPECT_EQ(l.GetCount(), 0);
  EXPECT_FALSE(l.LoadFromStream(nullptr));
}

}  // namespace

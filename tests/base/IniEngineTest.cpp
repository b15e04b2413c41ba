// The ini engine under the typed ini classes: parsing rules, byte-exact
// rewriting in every encoding, and writes that never lose the old file.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/encoding/Utf.h"
#include "platform/os/IniFile.h"
#include "testsupport/TempFolder.h"

namespace {

namespace fs = std::filesystem;

class IniEngine : public ::testing::Test {
 protected:
  std::u16string Path(const std::string& name = "test.ini") const { return plat::Utf8ToUtf16((dir_ / name).string()); }
  void Put(const std::string& bytes, const std::string& name = "test.ini") const {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  std::string Get(const std::string& name = "test.ini") const {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::u16string Read(const char16_t* section, const char16_t* key) const {
    std::u16string v = u"<none>";
    plat::ReadIniString(Path(), section, key, v);
    return v;
  }
  size_t FileCount() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }
  TempFolder temp_;
  fs::path dir_ = temp_.Path();
};

std::string IniUtf16Le(std::u16string_view text) {
  std::string out = "\xFF\xFE";
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

TEST_F(IniEngine, ParsingRules) {
  Put("orphan=1\r\n"
      "; [Video] would be a comment\r\n"
      "[Video]\r\n"
      "  Fullscreen = 1 \r\n"
      ";Window=9\r\n"
      "WINDOW=\"  spaced  \"\r\n"
      "Quote='x'\r\n"
      "Half=\"x\r\n"
      "Inner=a\"b\"\r\n"
      "no equals sign\r\n"
      "fullscreen=2\r\n"
      "[ video ]\r\n"
      "Extra=3\r\n"
      "[Empty]\r\n");
  EXPECT_EQ(Read(u"VIDEO", u"fullSCREEN"), u"1");  // first key wins, case ignored
  EXPECT_EQ(Read(u"video", u"window"), u"  spaced  ");
  EXPECT_EQ(Read(u"video", u"quote"), u"x");
  EXPECT_EQ(Read(u"video", u"half"), u"\"x");
  EXPECT_EQ(Read(u"video", u"inner"), u"a\"b\"");
  EXPECT_EQ(Read(u"video", u"extra"), u"<none>");  // the second [video] is hidden by the first
  EXPECT_EQ(Read(u"video", u"orphan"), u"<none>");
  EXPECT_EQ(Read(u"video", u";Window"), u"<none>");
  EXPECT_EQ(plat::ReadIniKeys(Path(), u"Video"),
            (std::vector<std::u16string>{u"Fullscreen", u"WINDOW", u"Quote", u"Half", u"Inner"}));
  EXPECT_EQ(plat::ReadIniSections(Path()), (std::vector<std::u16string>{u"Video", u"Empty"}));
  EXPECT_TRUE(plat::ReadIniKeys(Path(), u"empty").empty());
}

TEST_F(IniEngine, MissingFileReadsEmpty) {
  EXPECT_EQ(Read(u"a", u"b"), u"<none>");
  EXPECT_TRUE(plat::ReadIniSections(Path("nothing/here.ini")).empty());
  EXPECT_TRUE(plat::WriteIniString(Path(), u"a", u"b", nullptr));  // deleting from nothing changes nothing
  EXPECT_FALSE(fs::exists(dir_ / "test.ini"));
}

TEST_F(IniEngine, ParseSerializeKeepsAnyBytes) {
  const std::string samples[] = {
      "a\r\n\r\n[s]\rk=v\n\n;c\r\r\nx",
      "\xEF\xBB\xBF[s]\nk=\xC3\xA9\xFF\n",                    // UTF-8 with an invalid byte
      IniUtf16Le(u"[s]\r\nk=v\r\n") + "\x41",                     // odd trailing byte
      std::string("\xFF\xFE[\0s\0]\0\r\0", 10) + "\n",         // a unit half made of a line feed byte
      std::string("[s]\0=\0\r\nk=v", 11),
  };
  for (const std::string& bytes : samples) {
    plat::IniFile f;
    f.Parse(bytes);
    EXPECT_EQ(f.Serialize(), bytes);
  }
}

TEST_F(IniEngine, WritesKeepOtherLinesByteExact) {
  // CR LF file: a replaced key, an added key after the last key line (not
  // after the trailing comment), and a new section.
  const std::string crlf = "; top\r\n[A]\r\nk1 = old \r\n\r\n  k2=keep  \r\n;tail\r\n[B]\r\nx=1\r\n";
  Put(crlf);
  ASSERT_TRUE(plat::WriteIniString(Path(), u"a", u"K1", u"new"));
  ASSERT_TRUE(plat::WriteIniString(Path(), u"A", u"k3", u"3"));
  ASSERT_TRUE(plat::WriteIniString(Path(), u"C", u"y", u"2"));
  EXPECT_EQ(Get(), "; top\r\n[A]\r\nK1=new\r\n\r\n  k2=keep  \r\nk3=3\r\n;tail\r\n[B]\r\nx=1\r\n[C]\r\ny=2\r\n");

  // LF file, no line end after the last line: new lines take the file's own line end.
  Put("[A]\nk1=1\n[B]\nx=1");
  ASSERT_TRUE(plat::WriteIniString(Path(), u"B", u"y", u"2"));
  ASSERT_TRUE(plat::WriteIniString(Path(), u"A", u"k1", u"one"));
  EXPECT_EQ(Get(), "[A]\nk1=one\n[B]\nx=1\ny=2\n");

  // A new file is 8-bit in code page 1252 with CR LF.
  fs::remove(dir_ / "test.ini");
  ASSERT_TRUE(plat::WriteIniString(Path(), u"S\u00E9", u"k", u"\u20AC5 \u4E2D"));
  EXPECT_EQ(Get(), "[S\xE9]\r\nk=\x80" "5 ?\r\n");
  EXPECT_EQ(Read(u"s\u00C9", u"K"), u"\u20AC5 ?");
  // Rewriting the same value does not touch the file.
  const auto stamp = fs::last_write_time(dir_ / "test.ini");
  fs::last_write_time(dir_ / "test.ini", stamp - std::chrono::hours(1));
  ASSERT_TRUE(plat::WriteIniString(Path(), u"s\u00E9", u"k", u"\u20AC5 ?"));
  EXPECT_NE(Get(), "");
  EXPECT_EQ(fs::last_write_time(dir_ / "test.ini"), stamp - std::chrono::hours(1));
}

TEST_F(IniEngine, WritesBackInTheFileEncoding) {
  Put(IniUtf16Le(u"[\u0412\u0438\u0434]\r\nk=\u044F\r\nother=\U0001F600\r\n"));
  EXPECT_EQ(Read(u"\u0432\u0418\u0414", u"K"), u"\u044F");
  ASSERT_TRUE(plat::WriteIniString(Path(), u"\u0412\u0438\u0434", u"k", u"\u0436\u0436"));
  ASSERT_TRUE(plat::WriteIniString(Path(), u"new", u"n", u"1"));
  EXPECT_EQ(Get(), IniUtf16Le(u"[\u0412\u0438\u0434]\r\nk=\u0436\u0436\r\nother=\U0001F600\r\n[new]\r\nn=1\r\n"));

  Put("\xEF\xBB\xBF[S]\nk=\xC3\xA9\nbad=\xFF\n");
  EXPECT_EQ(Read(u"s", u"k"), u"\u00E9");
  ASSERT_TRUE(plat::WriteIniString(Path(), u"S", u"k", u"\u4E2D"));
  EXPECT_EQ(Get(), "\xEF\xBB\xBF[S]\nk=\xE4\xB8\xAD\nbad=\xFF\n");
}

TEST_F(IniEngine, DeletingKeysAndSections) {
  Put("[A]\r\nk=1\r\n;note\r\nK=2\r\nj=3\r\n[b]\r\nx=1\r\n[a]\r\nk=4\r\n");
  ASSERT_TRUE(plat::WriteIniString(Path(), u"a", u"k", nullptr));
  EXPECT_EQ(Get(), "[A]\r\n;note\r\nj=3\r\n[b]\r\nx=1\r\n[a]\r\nk=4\r\n");
  ASSERT_TRUE(plat::WriteIniString(Path(), u"A", nullptr, nullptr));  // every [A] goes, with its lines
  EXPECT_EQ(Get(), "[b]\r\nx=1\r\n");
  ASSERT_TRUE(plat::WriteIniString(Path(), nullptr, nullptr, nullptr));
  EXPECT_FALSE(plat::WriteIniString(Path(), nullptr, u"k", u"v"));
  EXPECT_EQ(Get(), "[b]\r\nx=1\r\n");
}

TEST_F(IniEngine, ManyDuplicatesAndLongRunsOfOtherLines) {
  // Every duplicate of a section goes in one write, with the comments and
  // blank lines inside it; the rest stays byte for byte.
  std::string text = "; head\r\n\r\n", kept = text;
  for (int i = 0; i < 2000; ++i) {
    text += "[D]\r\nk=" + std::to_string(i) + "\r\n; c\r\n\r\n[E]\r\nx=" + std::to_string(i) + "\r\n";
    kept += "[E]\r\nx=" + std::to_string(i) + "\r\n";
  }
  Put(text);
  ASSERT_TRUE(plat::WriteIniString(Path(), u"d", nullptr, nullptr));
  EXPECT_TRUE(Get() == kept);
  ASSERT_TRUE(plat::WriteIniString(Path(), u"E", u"X", nullptr));  // the first [E] only
  EXPECT_TRUE(Get() == kept.substr(0, 10) + "[E]\r\n" + kept.substr(10 + 10));

  // Each key once, in its first spelling with its first value.
  Put("[S]\nA=1\n;x\na = 2\nB=\"3\"\n[s]\nC=4\n");
  using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;
  EXPECT_EQ(plat::ReadIniSectionValues(Path(), u"s"), (Pairs{{u"A", u"1"}, {u"B", u"3"}}));
  EXPECT_EQ(plat::ReadIniKeys(Path(), u"S"), (std::vector<std::u16string>{u"A", u"B"}));
  EXPECT_TRUE(plat::ReadIniSectionValues(Path(), u"none").empty());

  // A last line without a line end that earlier changes left behind in the
  // text still gets one before a new section follows it.
  plat::IniFile f;
  f.Parse("[A]\nk=1\n;tail\n\n;more");
  ASSERT_TRUE(f.SetValue(u"A", u"k", u"2"));
  ASSERT_TRUE(f.SetValue(u"A", u"j", u"3"));
  ASSERT_TRUE(f.SetValue(u"B", u"x", u"1"));
  EXPECT_EQ(f.Serialize(), "[A]\nk=2\nj=3\n;tail\n\n;more\n[B]\nx=1\n");
  EXPECT_TRUE(f.DeleteSections({u"b", u"A"}));
  EXPECT_EQ(f.Serialize(), "");
}

TEST_F(IniEngine, RefusesTextThatWouldBreakLines) {
  Put("[A]\r\nk=1\r\n");
  EXPECT_FALSE(plat::WriteIniString(Path(), u"A", u"k", u"1\r\n[Evil]\r\nx=1"));
  EXPECT_FALSE(plat::WriteIniString(Path(), u"A]", u"k", u"1"));
  EXPECT_FALSE(plat::WriteIniString(Path(), u"A", u"k=j", u"1"));
  EXPECT_FALSE(plat::WriteIniString(Path(), u"A", u" ", u"1"));
  EXPECT_FALSE(plat::WriteIniString(Path(), u"A", u";k", u"1"));
  EXPECT_EQ(Get(), "[A]\r\nk=1\r\n");
}

TEST_F(IniEngine, FailedWriteLeavesTheOldFile) {
  Put("[A]\r\nk=1\r\n");
  // A file-size limit makes the write of the new content fail, even for root.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit tight = old;
  tight.rlim_cur = 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
  const bool wrote = plat::WriteIniString(Path(), u"A", u"k", u"a much longer value than before");
  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(wrote);
  EXPECT_EQ(Get(), "[A]\r\nk=1\r\n");
  EXPECT_EQ(FileCount(), 1u);  // no temporary file left behind

  // A folder without write permission (not a barrier for root).
  if (::geteuid() != 0) {
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(plat::WriteIniString(Path(), u"A", u"k", u"2"));
    fs::permissions(dir_, fs::perms::owner_all);
    EXPECT_EQ(Get(), "[A]\r\nk=1\r\n");
  }
  // A file that cannot be read is never replaced.
  fs::create_directory(dir_ / "dir.ini");
  EXPECT_FALSE(plat::WriteIniString(Path("dir.ini"), u"A", u"k", u"2"));
  EXPECT_FALSE(plat::WriteIniString(Path("no/such/folder.ini"), u"A", u"k", u"2"));
}

TEST_F(IniEngine, CodePage1252RoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string wide = plat::IniAnsiToWide(all);
  EXPECT_EQ(wide[0x80], u'\u20AC');
  EXPECT_EQ(wide[0x81], u'\u0081');
  EXPECT_EQ(wide[0x9F], u'\u0178');
  EXPECT_EQ(plat::IniWideToAnsi(wide), all);
  // Unmappable characters become "?", one per character (a surrogate pair is one).
  EXPECT_EQ(plat::IniWideToAnsi(u"\u0100\u0080\U0001F600"), "???");
}

}  // namespace

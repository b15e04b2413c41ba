// The typed ini classes over real files: the path rule, lookups ignoring
// case, numbers, existence tests, enumerations, deletions and value lists.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/IniFile.h"
#include "platform/encoding/Utf.h"
#include "platform/os/FileSystem.h"
#include "testsupport/TempFolder.h"

namespace {

namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override { path_ = plat::Utf8ToUtf16((dir_ / "config.ini").string()); }
  void Put(const std::string& bytes) const { std::ofstream(dir_ / "config.ini", std::ios::binary) << bytes; }
  std::string Get() const {
    std::ifstream in(dir_ / "config.ini", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::vector<std::u16string> Items(const kis::WideStrings& list) const {
    std::vector<std::u16string> out;
    for (i32 i = 0; i < list.GetCount(); ++i) out.emplace_back(list.GetString(i));
    return out;
  }
  TempFolder temp_;
  fs::path dir_ = temp_.Path();
  std::u16string path_;
};

TEST_F(IniFileTest, RelativeNamesGoUnderTheCurrentFolder) {
  const std::u16string cwd = plat::GetCurrentDirectory();
  ASSERT_NE(cwd, u"/");
  EXPECT_EQ(std::u16string(kis::IniFileW(u"config.ini").GetPath()), cwd + u"\\config.ini");
  EXPECT_EQ(std::u16string(kis::IniFileW(u"\\config.ini").GetPath()), cwd + u"\\config.ini");
  EXPECT_EQ(std::u16string(kis::IniFileW(u"\\\\server\\share\\a.ini").GetPath()), u"\\\\server\\share\\a.ini");
  EXPECT_EQ(std::u16string(kis::IniFileW(u"C:\\Game\\config.ini").GetPath()), u"C:\\Game\\config.ini");
  EXPECT_EQ(std::u16string(kis::IniFileW(u"/etc/x.ini").GetPath()), u"/etc/x.ini");
  EXPECT_EQ(std::string(kis::IniFileA("sub\\a.ini").GetPath()), plat::Utf16ToUtf8(cwd) + "\\sub\\a.ini");
  EXPECT_STREQ(kis::IniFileA(nullptr).GetPath(), "");

  // A name that cannot fit is not cut to another file's name: nothing is read or written.
  const std::u16string tooLong = path_.substr(0, path_.size() - 4) + std::u16string(260, u'x') + u".ini";
  kis::IniFileW ini(tooLong.c_str());
  EXPECT_EQ(ini.GetPath()[0], 0);
  EXPECT_FALSE(ini.WriteString(u"A", u"k", u"1"));
  EXPECT_EQ(ini.ReadInt(u"A", u"k", 7), 7);
  EXPECT_EQ(fs::directory_iterator(dir_), fs::directory_iterator());

  // Relative names really reach the file in the current folder.
  const fs::path old = fs::current_path();
  fs::current_path(dir_);
  EXPECT_TRUE(kis::IniFileW(u"rel.ini").WriteInt(u"S", u"k", 4));
  EXPECT_EQ(kis::IniFileW(u"\\REL.INI").ReadInt(u"s", u"K", 0), 4);
  fs::current_path(old);
}

TEST_F(IniFileTest, LookupsIgnoreCaseAndTheFirstSectionWins) {
  Put("top=0\r\n[Video]\r\nScreen = \"800, 600\"\r\n;Hidden=1\r\nVSync=1\r\n[Empty]\r\n; nothing\r\n"
      "[VIDEO]\r\nRefreshRate=75\r\n");
  kis::IniFileW ini(path_.c_str());
  char16_t buf[32];
  EXPECT_EQ(ini.ReadString(u"video", u"SCREEN", u"none", buf, 32), 8);
  EXPECT_EQ(std::u16string(buf), u"800, 600");
  EXPECT_EQ(ini.ReadString(u"video", u"screen", nullptr, buf, 4), 3);  // cut to the buffer
  EXPECT_EQ(std::u16string(buf), u"800");
  EXPECT_EQ(ini.ReadString(u"Video", u"RefreshRate", u"60  \t", buf, 32), 2);  // hidden by the first [Video]
  EXPECT_EQ(std::u16string(buf), u"60");
  EXPECT_EQ(ini.ReadString(u"Video", u";Hidden", nullptr, buf, 32), 0);
  EXPECT_EQ(ini.ReadString(nullptr, u"top", nullptr, buf, 32), 0);
  EXPECT_EQ(ini.ReadString(u"video", u"vsync", nullptr, buf, 1), 0);

  EXPECT_TRUE(ini.KeyExists(u"VIDEO", u"vSYNC"));
  EXPECT_FALSE(ini.KeyExists(u"Video", u"Hidden"));
  EXPECT_TRUE(ini.SectionExists(u"video"));
  EXPECT_FALSE(ini.SectionExists(u"Empty"));  // no keys: counts as absent
  EXPECT_FALSE(ini.SectionExists(u"Nowhere"));

  kis::WideStrings list;
  list.AddString(u"stale");
  ini.ReadSections(list);
  EXPECT_EQ(Items(list), (std::vector<std::u16string>{u"Video", u"Empty"}));
  ini.ReadSectionKeys(u"VIDEO", list);
  EXPECT_EQ(Items(list), (std::vector<std::u16string>{u"Screen", u"VSync"}));
  ini.ReadSectionValues(u"video", list);
  EXPECT_EQ(Items(list), (std::vector<std::u16string>{u"Screen=800, 600", u"VSync=1"}));
}

TEST_F(IniFileTest, Numbers) {
  Put("[N]\nhex1=$1F\nhex2=#1f\nhex3=0x1F\nletters=12ab\nword=abc\nbig=2147483648\nmin=-2147483648\n"
      "allbits=$FFFFFFFF\nhexbig=0x100000000\nneg=-5\nzero=0\nempty=\n");
  kis::IniFileW ini(path_.c_str());
  EXPECT_EQ(ini.ReadInt(u"n", u"hex1", 0), 31);
  EXPECT_EQ(ini.ReadInt(u"n", u"hex2", 0), 31);
  EXPECT_EQ(ini.ReadInt(u"n", u"hex3", 0), 31);
  EXPECT_EQ(ini.ReadInt(u"n", u"letters", -1), -1);
  EXPECT_EQ(ini.ReadInt(u"n", u"word", -1), -1);
  EXPECT_EQ(ini.ReadInt(u"n", u"missing", -1), -1);
  EXPECT_EQ(ini.ReadInt(u"n", u"big", -1), -1);  // does not wrap around
  EXPECT_EQ(ini.ReadInt(u"n", u"min", 0), INT32_MIN);
  EXPECT_EQ(ini.ReadInt(u"n", u"allbits", 0), -1);
  EXPECT_EQ(ini.ReadInt(u"n", u"hexbig", 3), 3);
  EXPECT_EQ(ini.ReadInt(u"n", u"neg", 0), -5);
  EXPECT_EQ(ini.ReadInt(u"n", u"empty", 9), 9);
  EXPECT_TRUE(ini.ReadBool(u"n", u"neg", false));
  EXPECT_FALSE(ini.ReadBool(u"n", u"zero", true));
  EXPECT_TRUE(ini.ReadBool(u"n", u"missing", true));

  EXPECT_TRUE(ini.WriteInt(u"N", u"zero", INT32_MIN));
  EXPECT_EQ(ini.ReadInt(u"n", u"zero", 0), INT32_MIN);
}

TEST_F(IniFileTest, DeletingKeysSectionsAndEverything) {
  Put("; settings\r\n[A]\r\nk=1\r\nj=2\r\n[B]\r\nx=1\r\n[C]\r\ny=1\r\n");
  kis::IniFileW ini(path_.c_str());
  EXPECT_TRUE(ini.DeleteKey(u"a", u"K"));
  EXPECT_FALSE(ini.KeyExists(u"A", u"k"));
  EXPECT_TRUE(ini.KeyExists(u"A", u"j"));
  EXPECT_TRUE(ini.EraseSection(u"b"));
  EXPECT_EQ(Get(), "; settings\r\n[A]\r\nj=2\r\n[C]\r\ny=1\r\n");
  EXPECT_TRUE(ini.Flush());
  EXPECT_TRUE(ini.EraseAll());
  EXPECT_EQ(Get(), "; settings\r\n");
  kis::WideStrings list;
  ini.ReadSections(list);
  EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(IniFileTest, ValueListsFromTheFile) {
  {
    kis::IniFileW ini(path_.c_str());
    ASSERT_TRUE(ini.WriteString(u"Video", u"Screen", u"800, 600"));
    ASSERT_TRUE(ini.WriteString(u"Video", u"Spaced", u"800 , 600"));
    ASSERT_TRUE(ini.WriteString(u"Video", u"Single", u"1024"));
  }
  EXPECT_EQ(Get(), "[Video]\r\nScreen=800, 600\r\nSpaced=800 , 600\r\nSingle=1024\r\n");
  kis::IniFileW ini(path_.c_str());
  i32 w = 0, h = 0;
  EXPECT_EQ(ini.ReadValues(u"video", u"screen", u"i4,i4", 0, 1, &w, &h), 2);
  EXPECT_EQ(w * 1000 + h, 800600);
  w = h = 0;
  EXPECT_EQ(ini.ReadValues(u"video", u"spaced", u"i4,i4", 0, 1, &w, &h), 2);
  EXPECT_EQ(w * 1000 + h, 800600);
  EXPECT_EQ(ini.ReadValues(u"video", u"single", u"i4,i4", 0, 1, &w, &h), 1);
  EXPECT_EQ(w * 1000 + h, 1024600);
  EXPECT_EQ(ini.ReadValues(u"video", u"missing", u"i4,i4", 0, 1, &w, &h), 0);
  EXPECT_EQ(ini.ReadValues(u"video", u"screen", u"i2,i4", 0, 1, &w, &h), -1);
}

TEST_F(IniFileTest, EightBitTwinUsesTheAnsiCodePage) {
  kis::IniFileA ini(plat::Utf16ToUtf8(path_).c_str());
  ASSERT_TRUE(ini.WriteString("Caf\xE9", "Name", "\x80 5"));
  EXPECT_EQ(Get(), "[Caf\xE9]\r\nName=\x80 5\r\n");
  char buf[16];
  EXPECT_EQ(ini.ReadString("CAF\xC9", "name", "", buf, 16), 3);
  EXPECT_STREQ(buf, "\x80 5");
  ASSERT_TRUE(ini.WriteString("Caf\xE9", "Size", "$10,#20"));
  u8 a = 0, b = 0;
  EXPECT_EQ(ini.ReadValues("caf\xE9", "size", "x1,x1", 0, -1, &a, &b), 2);
  EXPECT_EQ(a + b, 0x30);
  kis::AnsiStrings list;
  ini.ReadSectionValues("Caf\xE9", list);
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_STREQ(list.GetString(1), "Size=$10,#20");
  EXPECT_TRUE(ini.KeyExists("caf\xE9", "SIZE"));
}

}  // namespace

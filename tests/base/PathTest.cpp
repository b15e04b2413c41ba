#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/Path.h"
#include "platform/encoding/Utf.h"

namespace {

using std::u16string;

u16string Combine(const char16_t* base, const char16_t* path, bool drop, u32 size = 260) {
  wchar buf[260];
  if (!kis::CombinePathW(buf, size, base, path, drop)) return u"<fail>";
  return u16string(buf);
}

TEST(PathParts, FolderNameAndExtension) {
  wchar buf[64];
  EXPECT_EQ(u16string(kis::ExtractFilePathW(buf, 64, u"C:\\dir\\file.txt")), u"C:\\dir\\");
  EXPECT_EQ(u16string(kis::ExtractFilePathW(buf, 64, u"C:file.txt")), u"C:");
  EXPECT_EQ(u16string(kis::ExtractFilePathW(buf, 64, u"/home/u/x.ini")), u"/home/u/");
  EXPECT_EQ(u16string(kis::ExtractFilePathW(buf, 64, u"file.txt")), u"");
  EXPECT_EQ(u16string(kis::ExtractFilePathW(buf, 5, u"C:\\dir\\file.txt")), u"C:\\d");

  EXPECT_EQ(u16string(kis::ExtractFileNameW(buf, 64, u"C:\\dir\\file.tar.gz", false)), u"file.tar");
  EXPECT_EQ(u16string(kis::ExtractFileNameW(buf, 64, u"C:\\dir\\file.tar.gz", true)), u"file.tar.gz");
  EXPECT_EQ(u16string(kis::ExtractFileNameW(buf, 64, u"Logos/logo.tga", false)), u"logo");
  EXPECT_EQ(u16string(kis::ExtractFileNameW(buf, 64, u"plain", false)), u"plain");

  wchar all[] = u"C:\\dir.d\\file.tar.gz";
  EXPECT_EQ(u16string(kis::RemoveExtW(all, true)), u"C:\\dir.d\\file");
  wchar noExt[] = u"C:\\dir.d\\file";
  EXPECT_EQ(u16string(kis::RemoveExtW(noExt, true)), u"C:\\dir.d\\file");  // the folder's dot stays

  const char16_t* p = u"a\\b.c\\name.ext";
  EXPECT_EQ(kis::FindFileExtW(p, true), p + 10);
  EXPECT_EQ(kis::FindFileExtW(p, false), p + 11);
  EXPECT_EQ(kis::FindFileExtW(u"a\\b.c\\name", true), nullptr);
  EXPECT_EQ(kis::FindFileExtW(u"a/b.c/name", true), nullptr);

  char a[64];
  EXPECT_STREQ(kis::ExtractFilePathA(a, 64, "Data\\Logos\\Logos.txt"), "Data\\Logos\\");
}

TEST(PathParts, TrailingSeparators) {
  wchar buf[8] = u"dir";
  kis::AddBackslashW(buf, 8);
  EXPECT_EQ(u16string(buf), u"dir\\");
  kis::AddBackslashW(buf, 8);  // already there
  EXPECT_EQ(u16string(buf), u"dir\\");
  wchar slash[8] = u"/usr/";
  EXPECT_EQ(u16string(kis::AddBackslashW(slash, 8)), u"/usr/");
  wchar empty[4] = u"";
  EXPECT_EQ(u16string(kis::AddBackslashW(empty, 4)), u"\\");
  wchar full[4] = u"abc";
  EXPECT_EQ(u16string(kis::AddBackslashW(full, 4)), u"abc");  // no room

  EXPECT_EQ(u16string(kis::RemoveTrailingBackslashW(buf)), u"dir");
  EXPECT_EQ(u16string(kis::RemoveTrailingBackslashW(buf)), u"dir");
  char a[] = "x/";
  EXPECT_STREQ(kis::RemoveTrailingBackslashA(a), "x");
}

TEST(PathParts, FindLastOf) {
  EXPECT_EQ(kis::StrFindLastOfW(u"a.b.c", u".", 100), 3);
  EXPECT_EQ(kis::StrFindLastOfW(u"a.b.c", u".", 2), 1);
  EXPECT_EQ(kis::StrFindLastOfW(u"a.b.c", u"xyz", 4), -1);
  EXPECT_EQ(kis::StrFindLastOfW(u"a.b.c", u".", -1), -1);
  EXPECT_EQ(kis::StrFindLastOfA("C:\\x/y", "\\/:", 100), 4);
}

TEST(MakeAbsolute, RelativePathsGoUnderTheBaseFolder) {
  wchar buf[64];
  EXPECT_EQ(u16string(kis::MakeAbsolutePathW(buf, 64, u"img\\a", u"C:\\game\\ui.ini", u".tga")),
            u"C:\\game\\img\\a.tga");
  // A leading backslash does not double the separator.
  EXPECT_EQ(u16string(kis::MakeAbsolutePathW(buf, 64, u"\\img", u"C:\\game\\ui.ini", nullptr)), u"C:\\game\\img");
  EXPECT_EQ(u16string(kis::MakeAbsolutePathW(buf, 64, u"img", u"/home/u/ui.ini", nullptr)), u"/home/u/img");
  // Rooted paths and network paths stay as they are, without the suffix.
  EXPECT_EQ(u16string(kis::MakeAbsolutePathW(buf, 64, u"D:\\x", u"C:\\game\\ui.ini", u".tga")), u"D:\\x");
  EXPECT_EQ(u16string(kis::MakeAbsolutePathW(buf, 64, u"/opt/x", u"/home/u/ui.ini", u".tga")), u"/opt/x");
  EXPECT_EQ(u16string(kis::MakeAbsolutePathW(buf, 64, u"\\\\srv\\s\\x", u"C:\\g\\a", nullptr)), u"\\\\srv\\s\\x");
  EXPECT_EQ(u16string(kis::MakeAbsolutePathW(buf, 64, u"img", u"", u".tga")), u"img");
  EXPECT_EQ(u16string(kis::MakeAbsolutePathW(buf, 8, u"img\\a", u"C:\\game\\ui.ini", u".tga")), u"C:\\game");

  // The buffer may be the path itself.
  wchar same[64] = u"img";
  EXPECT_EQ(u16string(kis::MakeAbsolutePathW(same, 64, same, u"C:\\g\\x", nullptr)), u"C:\\g\\img");
  char a[64];
  EXPECT_STREQ(kis::MakeAbsolutePathA(a, 64, "f.txt", "Data\\x.dat", nullptr), "Data\\f.txt");
}

TEST(CombinePath, WindowsStyleRoots) {
  EXPECT_EQ(Combine(u"C:\\a\\b\\c.txt", u"..\\d\\.\\e", true), u"C:\\a\\d\\e");
  EXPECT_EQ(Combine(u"C:\\a\\b\\c.txt", u"..\\d\\.\\e", false), u"C:\\a\\b\\d\\e");
  EXPECT_EQ(Combine(u"C:\\a\\b\\", u"x", true), u"C:\\a\\b\\x");
  EXPECT_EQ(Combine(u"C:\\a", u"..\\..\\..\\x", false), u"C:\\x");  // never above the root
  EXPECT_EQ(Combine(u"C:\\a\\b", u"D:\\y\\\\z", false), u"D:\\y\\z");  // a rooted path wins
  EXPECT_EQ(Combine(u"C:\\a", u"..", false), u"C:\\");
  EXPECT_EQ(Combine(u"\\\\srv\\share\\dir\\f", u"..\\..\\..\\x", true), u"\\\\srv\\share\\x");
  EXPECT_EQ(Combine(u"C:\\a", u"\\\\srv\\share", false), u"\\\\srv\\share\\");
  EXPECT_EQ(Combine(u"data\\f.txt", u"..\\..\\x", true), u"x");
}

TEST(CombinePath, LinuxStyleRoots) {
  EXPECT_EQ(Combine(u"/home/u/game/lang.dat", u"img/a.tga", true), u"/home/u/game/img/a.tga");
  EXPECT_EQ(Combine(u"/home/u/game/lang.dat", u"..\\shared\\a.tga", true), u"/home/u/shared/a.tga");
  EXPECT_EQ(Combine(u"/a", u"../../..", false), u"/");
  EXPECT_EQ(Combine(u"C:\\game\\x", u"/opt/data//f", true), u"/opt/data/f");  // never glued under the base
  EXPECT_EQ(Combine(u"/game/x", u"C:\\f", true), u"C:\\f");
}

TEST(CombinePath, FailuresLeaveATerminatedBuffer) {
  EXPECT_EQ(Combine(u"C:\\a", u"\\\\\\share\\x", false), u"<fail>");  // empty server name
  EXPECT_EQ(Combine(u"\\\\\\share\\x", u"y", false), u"<fail>");
  EXPECT_EQ(Combine(u"C:\\a", u"\\\\srv", false), u"<fail>");  // no share name
  EXPECT_EQ(Combine(u"C:\\a", u"\\\\srv\\\\x", false), u"<fail>");

  // The result "C:\a\b" needs 7 characters: size 6 fails without writing past it.
  wchar buf[10];
  for (auto& c : buf) c = u'#';
  EXPECT_FALSE(kis::CombinePathW(buf, 6, u"C:\\a\\", u"b", false));
  EXPECT_EQ(buf[0], 0);
  for (int i = 6; i < 10; ++i) EXPECT_EQ(buf[i], u'#');
  EXPECT_TRUE(kis::CombinePathW(buf, 7, u"C:\\a\\", u"b", false));
  EXPECT_EQ(u16string(buf), u"C:\\a\\b");
  EXPECT_FALSE(kis::CombinePathW(nullptr, 7, u"C:\\a\\", u"b", false));
}

TEST(CombinePath, OutputMayBeTheBaseOrThePath) {
  wchar buf[64] = u"C:\\game\\lang\\en.dat";
  ASSERT_TRUE(kis::CombinePathW(buf, 64, buf, u"..\\img\\a.tga", true));
  EXPECT_EQ(u16string(buf), u"C:\\game\\img\\a.tga");
  wchar rel[64] = u"sub\\.\\f";
  ASSERT_TRUE(kis::CombinePathW(rel, 64, u"/srv/base/", rel, false));
  EXPECT_EQ(u16string(rel), u"/srv/base/sub/f");
}

TEST(ProgramFolder, EndsWithASeparatorAndHoldsThisTest) {
  wchar buf[4096];
  const u16string dir = kis::GetAppDirW(buf, 4096);
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), u'/');
  char a[4096];
  EXPECT_EQ(plat::Utf8ToUtf16(kis::GetAppDirA(a, 4096)), dir);
  EXPECT_TRUE(std::filesystem::is_directory(plat::Utf16ToUtf8(dir)));
  wchar small[3];
  EXPECT_EQ(u16string(kis::GetAppDirW(small, 3)).size(), 2u);
}

TEST(ProgramFolder, ExistingFilesAreNeitherFoldersNorDevices) {
  const std::string file = std::filesystem::temp_directory_path() / ("tm_path_" + std::to_string(::getpid()));
  std::FILE* f = std::fopen(file.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_TRUE(kis::IsExistingFileW(plat::Utf8ToUtf16(file).c_str()));
  std::remove(file.c_str());
  EXPECT_FALSE(kis::IsExistingFileW(plat::Utf8ToUtf16(file).c_str()));
  EXPECT_FALSE(kis::IsExistingFileW(u"/tmp"));
  EXPECT_FALSE(kis::IsExistingFileW(u"/dev/null"));
  EXPECT_FALSE(kis::IsExistingFileW(nullptr));
}

}  // namespace

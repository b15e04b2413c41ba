#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/encoding/Utf.h"
#include "platform/os/FileSystem.h"
#include "testsupport/TempFolder.h"

namespace {

namespace fs = std::filesystem;

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root_ / "sub");
    std::FILE* f = std::fopen((root_ / "sub" / "file.txt").c_str(), "wb");
    std::fputs("x", f);
    std::fclose(f);
  }
  std::u16string Wide(const std::string& rel) { return plat::Utf8ToUtf16(root_.string() + rel); }
  TempFolder temp_;
  fs::path root_ = temp_.Path();
};

TEST_F(FileSystemTest, ResolvesLooselySpelledComponents) {
  EXPECT_EQ(plat::NativePath(Wide("\\Sub\\File.TXT")), (root_ / "sub" / "file.txt").string());
  // A missing tail is kept as spelled, below the resolved folder.
  EXPECT_EQ(plat::NativePath(Wide("/SUB/new.bin")), (root_ / "sub" / "new.bin").string());
}

TEST_F(FileSystemTest, AttributesTellFilesFromFolders) {
  EXPECT_EQ(plat::GetFileAttributes(Wide("/sub")), plat::kAttrDirectory);
  EXPECT_TRUE(plat::GetFileAttributes(Wide("/sub/file.txt")) & plat::kAttrNormal);
  EXPECT_EQ(plat::GetFileAttributes(Wide("/nothing")), plat::kInvalidAttributes);
  EXPECT_EQ(plat::GetFileAttributes(u"/dev/null"), plat::kAttrDevice);
}

TEST_F(FileSystemTest, RenameReplacesAndDeleteRemoves) {
  std::FILE* f = std::fopen((root_ / "other").c_str(), "wb");
  std::fclose(f);
  EXPECT_TRUE(plat::RenameFile(Wide("/other"), Wide("/sub/file.txt")));
  EXPECT_EQ(fs::file_size(root_ / "sub" / "file.txt"), 0u);
  EXPECT_TRUE(plat::DeleteFile(Wide("/sub/file.txt")));
  EXPECT_FALSE(plat::DeleteFile(Wide("/sub/file.txt")));
  EXPECT_TRUE(plat::CreateDirectory(Wide("/sub/deeper")));
  EXPECT_TRUE(plat::CreateDirectory(Wide("/sub/deeper")));
}

// Every entry is listed, and what is not a plain file is named for what it
// is, a named pipe included, without opening it (which would wait for a
// writer).
TEST_F(FileSystemTest, ListsEveryEntrySaysWhatIsNoFileAndRemovesOnlyEmptyFolders) {
  temp_.Put("Profile1.dat", "a");
  temp_.Put("profile2.dat", "b");
  fs::create_symlink(root_ / "profile2.dat", root_ / "link.dat");
  fs::create_symlink(root_ / "gone", root_ / "dangling.dat");
  fs::create_symlink("/dev/zero", root_ / "device.dat");
  ASSERT_EQ(::mkfifo((root_ / "pipe.dat").c_str(), 0600), 0);
  std::vector<std::u16string> names = plat::ListEntries(Wide(""));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Profile1.dat", u"dangling.dat", u"device.dat", u"link.dat",
                                                u"pipe.dat", u"profile2.dat", u"sub"}));
  EXPECT_TRUE(plat::ListEntries(Wide("/nothing")).empty());
  const std::pair<const char*, const char*> kinds[] = {
      {"/Profile1.dat", ""},      {"/link.dat", ""},         {"/nothing", ""},  {"/sub", "a folder"},
      {"/pipe.dat", "a named pipe"}, {"/device.dat", "a device"}, {"/dangling.dat", "a link to nothing"}};
  for (auto [path, kind] : kinds) EXPECT_EQ(plat::NonFileKind(Wide(path)), kind) << path;
  EXPECT_FALSE(plat::RemoveDirectory(Wide("/sub")));  // not empty
  EXPECT_FALSE(plat::RemoveDirectory(Wide("/Profile1.dat")));
  EXPECT_TRUE(plat::DeleteFile(Wide("/sub/file.txt")));
  EXPECT_TRUE(plat::RemoveDirectory(Wide("/sub")));
  EXPECT_FALSE(fs::exists(root_ / "sub"));
}

TEST(ProgramPath, NamesThisTestProgram) {
  const std::string p = plat::Utf16ToUtf8(plat::GetProgramPath());
  EXPECT_NE(p.find("platform_tests"), std::string::npos);
}

}  // namespace

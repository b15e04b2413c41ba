// What stands in place of a data container, an ini file or any file the
// game opens by handle may be a named pipe, a device or a folder: each is
// refused at once, without a wait on a writer
// and without reading a byte, while a regular file beside them still reads.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "platform/encoding/Utf.h"
#include "platform/os/File.h"
#include "platform/os/FileSystem.h"
#include "platform/os/IniFile.h"
#include "testsupport/TempFolder.h"

namespace {

constexpr u32 kSig1 = 0x0BADF00Du;
constexpr u32 kSig2 = 0x0000F1F0u;

bool Opens(const std::u16string& path) {
  kis::DataFileReaderW* r = kis::OpenDataFileReaderW(path.c_str(), kSig1, kSig2, 0xFFFFFFFFu);
  if (!r) return false;
  kis::CloseDataFile(r);
  return true;
}

// Runs `body` in a child that an alarm ends if it blocks; true when the body
// ran to the end and returned true (a blocked open never returns).
template <class F>
bool InGuardedChild(F body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(60);
    ::_exit(body() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(NonRegularFiles, PipesDevicesAndFoldersAreRefusedWithoutWaiting) {
  TempFolder dir;
  ASSERT_EQ(::mkfifo(dir.File("Data.dat").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(dir.File("game.ini").c_str(), 0600), 0);
  ASSERT_EQ(::mkdir(dir.File("folder.dat").c_str(), 0700), 0);
  const std::u16string pipe = dir.Wide("Data.dat"), iniPipe = dir.Wide("game.ini"), folder = dir.Wide("folder.dat");

  // A regular container and ini file beside them still read.
  kis::DataFileWriterW* w = kis::CreateDataFileWriterW(dir.Wide("real.dat").c_str(), kSig1, kSig2, 1, false);
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(kis::CloseDataFile(w));
  dir.Put("real.ini", "[S]\nk=v\n");

  EXPECT_TRUE(InGuardedChild([&] {
    plat::IniFile ini;
    std::u16string value;
    return Opens(dir.Wide("real.dat")) && ini.Load(dir.Wide("real.ini")) && ini.GetValue(u"S", u"k", value) &&
           value == u"v" && !Opens(pipe) && !Opens(iniPipe) && !Opens(folder) && !Opens(u"/dev/zero") &&
           !Opens(u"/dev/null");
  })) << "the data container waited on, or took, what is not a regular file";

  EXPECT_TRUE(InGuardedChild([&] {
    plat::IniFile ini;
    std::u16string value;
    // Refused, not taken as an empty file (a missing file is the empty one).
    return !ini.Load(iniPipe) && !ini.Load(folder) && !ini.Load(u"/dev/zero") && !ini.Load(u"/dev/null") &&
           ini.Load(dir.Wide("missing.ini")) && !plat::ReadIniString(iniPipe, u"S", u"k", value) &&
           plat::ReadIniSections(iniPipe).empty();
  })) << "the ini engine waited on, or took, what is not a regular file";

  // Nor do the plain file handles (the sound files, the language's sources,
  // the streams) open or create one; a pipe counts as no regular file.
  EXPECT_TRUE(InGuardedChild([&] {
    const plat::FileHandle real = plat::OpenFile(dir.Wide("real.ini"), plat::kFileRead);
    plat::CloseFile(real);
    return real != plat::kInvalidFile && plat::OpenFile(pipe, plat::kFileRead) == plat::kInvalidFile &&
           plat::OpenFile(dir.File("Data.dat"), plat::kFileRead | plat::kFileWrite) == plat::kInvalidFile &&
           plat::OpenFile(u"/dev/zero", plat::kFileRead) == plat::kInvalidFile &&
           plat::OpenFile(folder, plat::kFileRead) == plat::kInvalidFile &&
           plat::CreateFile(pipe) == plat::kInvalidFile && plat::CreateFile(folder) == plat::kInvalidFile &&
           plat::GetFileAttributes(pipe) == plat::kAttrDevice;
  })) << "a file handle waited on, or took, what is not a regular file";

  // A container is not written into a pipe or a device either: the write
  // fails at once and the pipe stays a pipe.
  EXPECT_TRUE(InGuardedChild([&] {
    return kis::CreateDataFileWriterW(pipe.c_str(), kSig1, kSig2, 1, false) == nullptr &&
           kis::CreateDataFileWriterW(folder.c_str(), kSig1, kSig2, 1, false) == nullptr;
  }));
  struct stat st;
  ASSERT_EQ(::stat(dir.File("Data.dat").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

}  // namespace

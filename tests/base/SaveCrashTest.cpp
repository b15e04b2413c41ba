// Saves killed at random moments: a child process saves a data container and
// an ini file over and over, numbering each version, and is killed with
// SIGKILL after a seeded random delay; a few hundred times. After every kill
// each file must read back as exactly the last version the child reported
// saved, or the one after it (saved, not yet reported) - never torn, never
// lost - and the temporaries the dead saves left are cleared by the next save.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "platform/encoding/Utf.h"
#include "platform/os/IniFile.h"
#include "testsupport/SeededRandom.h"
#include "testsupport/TempFolder.h"

namespace {

constexpr u32 kSig1 = 0xC4A5C4A5u;
constexpr u32 kSig2 = 7;
constexpr int kRounds = 300;

// The container's content of version `v` (none for 0): 20 to 36 KB of bytes
// drawn from the version, so any mix of two versions shows.
std::string ContainerBody(u32 v) {
  std::string body(20000 + (v * 1237u) % 16000u, '\0');
  u32 x = v * 2654435761u + 1;
  for (char& c : body) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  return body;
}

std::u16string IniValue(u32 v) {
  return plat::Utf8ToUtf16(std::to_string(v) + ":" + std::string(200 + v % 300, static_cast<char>('a' + v % 26)));
}

// The ini file's bytes of version `v` (empty for 0: no file).
std::string IniBytes(u32 v) {
  return v == 0 ? std::string() : "[Save]\r\nData=" + plat::Utf16ToUtf8(IniValue(v)) + "\r\n";
}

bool SaveContainer(const std::u16string& path, u32 v) {
  kis::DataFileWriterW* w = kis::CreateDataFileWriterW(path.c_str(), kSig1, kSig2, 1, true);
  if (!w) return false;
  const std::string body = ContainerBody(v);
  u8 version[4];
  std::memcpy(version, &v, 4);
  w->BeginSection(1, 0);
  w->Write(version, 4);
  w->Write(body.data(), static_cast<u32>(body.size()));
  w->EndSection();
  return kis::CloseDataFile(w);
}

// The version the container holds: 0 when there is no file, -1 when the file
// is anything but exactly one complete version.
i64 ContainerVersion(const TempFolder& dir, const std::u16string& path) {
  if (!dir.Exists("save.dat")) return 0;
  kis::DataFileReaderW* r = kis::OpenDataFileReaderW(path.c_str(), kSig1, kSig2, 1);
  i64 version = -1;
  u32 v = 0;
  if (r && r->OpenSection(1, 0) && r->GetSectionSize() >= 4 && r->Read(&v, 4)) {
    std::string body(r->GetSectionSize() - 4, '\0');
    if (r->Read(body.data(), static_cast<u32>(body.size())) && body == ContainerBody(v)) version = v;
  }
  delete r;
  return version;
}

i64 IniVersion(const TempFolder& dir) {
  if (!dir.Exists("save.ini")) return 0;
  const std::string bytes = dir.Read("save.ini");
  const std::string head = "[Save]\r\nData=";
  if (bytes.compare(0, head.size(), head) != 0) return -1;
  u32 v = 0;
  for (size_t k = head.size(); k < bytes.size() && k < head.size() + 9 && bytes[k] != ':'; ++k) {
    if (bytes[k] < '0' || bytes[k] > '9') return -1;
    v = v * 10 + static_cast<u32>(bytes[k] - '0');
  }
  return bytes == IniBytes(v) ? static_cast<i64>(v) : -1;
}

// The child: saves version after version, reporting each one done on `out`
// as one byte ('c' or 'i') and the version.
[[noreturn]] void SaveForever(int out, const std::u16string& container, const std::u16string& ini, u32 c, u32 i) {
  for (;;) {
    if (SaveContainer(container, ++c)) {
      const u8 record[5] = {'c', static_cast<u8>(c), static_cast<u8>(c >> 8), static_cast<u8>(c >> 16),
                            static_cast<u8>(c >> 24)};
      if (::write(out, record, 5) != 5) ::_exit(3);
    }
    if (plat::WriteIniString(ini, u"Save", u"Data", IniValue(++i).c_str())) {
      const u8 record[5] = {'i', static_cast<u8>(i), static_cast<u8>(i >> 8), static_cast<u8>(i >> 16),
                            static_cast<u8>(i >> 24)};
      if (::write(out, record, 5) != 5) ::_exit(3);
    }
  }
}

TEST(SaveCrash, KilledSavesLeaveTheOldOrTheNewVersion) {
  TempFolder dir;
  const std::u16string container = dir.Wide("save.dat"), ini = dir.Wide("save.ini");
  testsupport::SeededRandom random(20240611u);
  u32 container_v = 0, ini_v = 0;
  int killedMidway = 0;
  double cycle = 2000.0;  // running estimate of one save's time, in microseconds

  for (int round = 0; round < kRounds; ++round) {
    // Every fifth round starts afresh, so that first saves are killed too.
    if (round % 5 == 0) {
      std::filesystem::remove(dir.File("save.dat"));
      std::filesystem::remove(dir.File("save.ini"));
      container_v = ini_v = 0;
    }
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(fds[0]);
      SaveForever(fds[1], container, ini, container_v, ini_v);
    }
    ::close(fds[1]);
    // Kill anywhere from before the first save to a few saves later.
    const auto started = std::chrono::steady_clock::now();
    const int delay = random.Range(0, static_cast<int>(4.0 * cycle));
    std::this_thread::sleep_for(std::chrono::microseconds(delay));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << round;
    const double ran = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started).count();

    u32 reportedC = container_v, reportedI = ini_v;
    int saves = 0;
    u8 record[5];
    while (::read(fds[0], record, 5) == 5) {
      const u32 v = record[1] | record[2] << 8 | record[3] << 16 | static_cast<u32>(record[4]) << 24;
      (record[0] == 'c' ? reportedC : reportedI) = v;
      ++saves;
    }
    ::close(fds[0]);
    if (saves > 0) cycle = 0.8 * cycle + 0.2 * (ran / (saves + 1));

    const i64 c = ContainerVersion(dir, container);
    const i64 i = IniVersion(dir);
    ASSERT_TRUE(c == reportedC || c == reportedC + 1) << "round " << round << ": container " << c << " after "
                                                     << reportedC;
    ASSERT_TRUE(i == reportedI || i == reportedI + 1) << "round " << round << ": ini " << i << " after "
                                                     << reportedI;
    if (dir.Entries() > 2) ++killedMidway;  // a temporary file shows the kill hit a save
    container_v = static_cast<u32>(c);
    ini_v = static_cast<u32>(i);
  }
  RecordProperty("RoundsKilledMidSave", killedMidway);

  // One more save of each clears what the killed ones left.
  ASSERT_TRUE(SaveContainer(container, ++container_v));
  ASSERT_TRUE(plat::WriteIniString(ini, u"Save", u"Data", IniValue(++ini_v).c_str()));
  EXPECT_EQ(ContainerVersion(dir, container), container_v);
  EXPECT_EQ(IniVersion(dir), ini_v);
  EXPECT_EQ(dir.Entries(), 2);
}

}  // namespace

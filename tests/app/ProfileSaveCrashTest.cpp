// Saves of a profile killed at seeded random moments: a child process adds a
// second of play time to the current profile and saves it, then writes its
// records summary, over and over, reporting each version saved; it is
// killed with SIGKILL after a seeded delay, a hundred times. After every
// kill the profile file must read back as the last version reported or the
// one after it, and the summary must be exactly one version's text.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "ProfileRig.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/SeededRandom.h"

namespace profiletest {
namespace {

constexpr int kRounds = 100;

// The child: the store read from the folder, then save after save.
[[noreturn]] void SaveForever(int out, const TempFolder& dir) {
  Store s(dir);
  ProfileStore& store = s.store;
  Profile* p = store.GetCurrent();
  if (!p) ::_exit(4);
  for (;;) {
    p->AddPlayTime(1000);
    const u32 v = p->GetProgress().playTime / 1000;
    u8 record[5] = {'p', static_cast<u8>(v), static_cast<u8>(v >> 8), static_cast<u8>(v >> 16),
                    static_cast<u8>(v >> 24)};
    if (store.SaveProfile() == 0 && ::write(out, record, 5) != 5) ::_exit(3);
    record[0] = 'r';
    if (store.GetGameLog()->WriteSummary() && ::write(out, record, 5) != 5) ::_exit(3);
  }
}

// The records text of the progress at version v.
std::vector<u8> Summary(PROFILEPROGRESS progress, u32 v) {
  progress.playTime = v * 1000;
  return TextFileBytes(gamelog::SummaryLines(progress));
}

TEST(ProfileSaveCrash, KilledSavesLeaveTheOldOrTheNewFileWhole) {
  TempFolder dir;
  GameLevels levels;
  {
    Store s(dir);
    s.store.SelectProfile(s.Create(u"Ann"));
    s.store.GetCurrent()->RecordLevelResult(0, 30000, nullptr);
  }
  testsupport::SeededRandom random(4711u);
  const std::string profilePath = dir.File("profiles/profile0.dat");
  const std::string records = "profiles/Ann/records.txt";
  u32 recordsVersion = 0;  // no summary yet
  double cycle = 3000.0;   // running estimate of one version's time, in microseconds
  int killedMidway = 0;

  for (int round = 0; round < kRounds; ++round) {
    PROFILEHEADER header;
    PROFILEPROGRESS base;
    ASSERT_TRUE(ReadProfileFile(plat::Utf8ToUtf16(profilePath), &header, &base));
    const u32 start = base.playTime / 1000;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(fds[0]);
      SaveForever(fds[1], dir);
    }
    ::close(fds[1]);
    const auto started = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::microseconds(random.Range(0, static_cast<int>(4.0 * cycle))));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << round;
    const double ran = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started).count();

    u32 profileReported = start, recordsReported = 0;
    bool recordsSaved = false;
    int saves = 0;
    u8 record[5];
    while (::read(fds[0], record, 5) == 5) {
      const u32 v = record[1] | record[2] << 8 | record[3] << 16 | static_cast<u32>(record[4]) << 24;
      if (record[0] == 'p') {
        profileReported = v;
        ++saves;
      } else {
        recordsReported = v;
        recordsSaved = true;
      }
    }
    ::close(fds[0]);
    if (saves > 0) cycle = 0.8 * cycle + 0.2 * (ran / (saves + 1));

    PROFILEPROGRESS read;
    ASSERT_TRUE(ReadProfileFile(plat::Utf8ToUtf16(profilePath), &header, &read)) << round;
    const u32 v = read.playTime / 1000;
    ASSERT_TRUE(v == profileReported || v == profileReported + 1) << round << ": " << v << " after " << profileReported;

    // The summary: the one before this round, or one the child wrote.
    const std::vector<u8> text = testsupport::ReadFileBytes(dir.File(records));
    const u32 low = recordsSaved ? recordsReported : recordsVersion;
    const u32 high = recordsSaved ? recordsReported + 1 : start + 1;
    bool whole = false;
    for (u32 w : {low, high})
      if (text == Summary(base, w)) {
        whole = true;
        recordsVersion = w;
      }
    ASSERT_TRUE(whole || (recordsVersion == 0 && !recordsSaved && text.empty())) << round;
    if (dir.Exists("profiles/profile0.dat.bak") || dir.Exists("profiles/Ann/records.txt.bak")) ++killedMidway;
  }
  RecordProperty("RoundsKilledMidSave", killedMidway);
}

}  // namespace
}  // namespace profiletest

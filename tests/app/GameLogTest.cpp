// The records files against golden text: the summary (times of two hours
// listed but not totalled, a finished level without a medal as bronze) and
// a level's history (a second hard run below the first, the easy column
// untouched), as UTF-16LE with its mark; an 8-bit history read back; no
// files without a current profile.
#include <gtest/gtest.h>

#include <filesystem>

#include "ProfileRig.h"
#include "platform/encoding/CodePage.h"
#include "testsupport/ByteBuilder.h"

namespace profiletest {
namespace {

std::u16string Pad(const std::u16string& s) { return s + std::u16string(28 - s.size(), u' '); }

struct Log : ::testing::Test {
  Log() : s(dir) {
    ann = s.Create(u"Ann Lee");
    s.store.SelectProfile(ann);
  }
  void Run(i32 level, u32 time) {
    ann->BeginLevel(level);
    LEVELRESULT r;
    ann->RecordLevelResult(level, time, &r);
    ann->LogLevelResult(r);
  }
  std::vector<u8> File(const std::string& name) {
    return testsupport::ReadFileBytes(dir.File("profiles/Ann Lee/" + name));
  }
  TempFolder dir;
  Store s;
  GameLevels levels;
  Profile* ann = nullptr;
};

TEST_F(Log, TheSummaryAndAHistoryAreTheGoldenText) {
  Run(0, 19000);
  Run(1, 7200000);  // bronze, two hours: listed, not totalled
  ann->SetRegime(1);
  Run(0, 60001);  // hard, above the bronze limit: finished, no medal
  ann->AddPlayTime(90061000);
  Run(0, 70000);  // slower: the record stays
  ASSERT_EQ(ann->GetLevelState(1, 0), static_cast<u32>(kGradeFinished));

  std::vector<std::u16string> summary = {
      u"level_01:  00:00:19  золото   00:01:00  бронза ",
      u"level_02:  02:00:00  бронза     ----      ---  ",
  };
  for (int i = 3; i <= 41; ++i)
    summary.push_back(u"level_" + plat::Utf8ToUtf16((i < 10 ? "0" : "") + std::to_string(i)) +
                      u":    ----      ---      ----      ---  ");
  summary.push_back(std::u16string(47, u'-'));
  summary.push_back(u"Всего   :  00:00:19           00:01:00");
  summary.push_back(std::u16string(47, u'-'));
  summary.push_back(u"В игре  :  25:01:01");
  EXPECT_EQ(File("records.txt"), TextFileBytes(summary));

  const std::vector<std::u16string> history = {
      Pad(u"Рекорд Easy: 00::00::19") + u"Рекорд Hard: 00::01::00",
      Pad(u"00::00::19") + u"00::01::00",
      Pad(u"") + u"00::01::10",
  };
  EXPECT_EQ(File("level_01.txt"), TextFileBytes(history));
  EXPECT_EQ(File("level_02.txt"), TextFileBytes({Pad(u"Рекорд Easy: 02::00::00"), Pad(u"02::00::00")}));

  // Logged again without entering the level: nothing changes.
  LEVELRESULT again;
  ann->RecordLevelResult(0, 40000, &again);
  ann->LogLevelResult(again);
  EXPECT_EQ(File("level_01.txt"), TextFileBytes(history));
}

TEST_F(Log, AHistoryWithoutItsMarkIsReadInTheCodePage) {
  const std::u16string path = dir.Wide("profiles/Ann Lee/level_03.txt");
  dir.Put("profiles/Ann Lee/level_03.txt", "Caf\xE9 notes\r\n\r\nline three\n");
  EXPECT_EQ(gamelog::ReadHistory(path), (std::vector<std::u16string>{u"Café notes", u"", u"line three"}));
  Run(2, 25000);
  // The record replaces the note's column; the run goes below the last line.
  EXPECT_EQ(gamelog::ReadHistory(path),
            (std::vector<std::u16string>{Pad(u"Рекорд Easy: 00::00::25"), u"", u"line three", Pad(u"00::00::25")}));
  EXPECT_EQ(File("level_03.txt")[0], 0xFF);
  // A history too large to be one counts as empty.
  dir.Put("profiles/Ann Lee/level_04.txt", std::string(gamelog::kMaxHistoryBytes + 1, 'x'));
  EXPECT_TRUE(gamelog::ReadHistory(dir.Wide("profiles/Ann Lee/level_04.txt")).empty());
  EXPECT_TRUE(gamelog::ReadHistory(dir.Wide("profiles/Ann Lee/none.txt")).empty());
}

TEST_F(Log, NothingIsWrittenWithoutACurrentProfile) {
  Run(0, 19000);
  ASSERT_EQ(s.store.Select(nullptr), kProfileNone);
  std::filesystem::remove_all(dir.File("profiles/Ann Lee"));
  Run(1, 19000);
  EXPECT_FALSE(dir.Exists("profiles/Ann Lee"));
  EXPECT_EQ(ann->GetBestTime(0, 1), 19000u);  // recorded all the same

  // Lines of a history: a run goes below the last filled line of its column.
  std::vector<std::u16string> lines;
  gamelog::AddRun(&lines, 1, 1000, 2000);
  gamelog::AddRun(&lines, 0, 3000, 3000);
  gamelog::AddRun(&lines, 1, 1000, 4000);
  gamelog::AddRun(&lines, 5, 1, 1);  // no such regime
  EXPECT_EQ(lines, (std::vector<std::u16string>{Pad(u"Рекорд Easy: 00::00::03") + u"Рекорд Hard: 00::00::01",
                                                Pad(u"00::00::03") + u"00::00::02", Pad(u"") + u"00::00::04"}));
}

}  // namespace
}  // namespace profiletest

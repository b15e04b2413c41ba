#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/DXLLog.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "testsupport/TempFolder.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_.SetLocalTime({2024, 3, 2, 5, 9, 7, 3, 0});
    path_ = folder_.Path() + "/log.txt";
  }
  void TearDown() override { DXLCloseLog(); }

  plat::FakeClock clock_{1000};
  plat::PlatformServicesScope scope_{{.clock = &clock_}};
  TempFolder folder_;
  std::string path_;
};

TEST_F(LogTest, ScriptedSessionMatchesTheExpectedFile) {
  ASSERT_TRUE(DXLOpenLogA(path_.c_str()));
  EXPECT_TRUE(DXLOpenLogA("elsewhere.txt"));  // already open: nothing changes
  DXLLogValueA(-1, "System:", "Linux");
  clock_.Advance(12);
  DXLLogBeginBlock("Initialize DirectX", "Initialize successful.", false);
  DXLLogValueA(-1, "DirectX version:", "9.0c");
  DXLLogValueA(-1, "Label reaching column 28", "x");
  clock_.Advance(1000);
  DXLLogBeginBlock("Level 2", "End 2", true);
  DXLLogBeginBlock("Level 3", "End 3", true);
  DXLLogBeginBlock("Level 4", "End 4", true);
  DXLLogBeginBlock("Level 5", "End 5", true);
  DXLLogLine(-1, "deep");
  DXLLogEndBlock(false);
  DXLLogEndBlock(true);

  DXLLogLine(-1, "FPS:");
  DXLLogTabTo(-1);
  const i32 fps = DXLLogAddPlaceholder(8, "???");
  EXPECT_GE(fps, 0);
  DXLLogValueA(-1, "Short:", "");
  DXLLogTabTo(100);
  const i32 shortField = DXLLogAddPlaceholder(0, "abcd");
  EXPECT_GT(shortField, fps);
  EXPECT_EQ(DXLLogAddPlaceholder(0, ""), -1);
  DXLLogDXError(-1, "CreateDevice: ", static_cast<i32>(0x8876086Au));

  const size_t sizeBefore = ReadFile(path_).size();
  EXPECT_EQ(DXLLogFillPlaceholder(fps, true, "%.2f", 59.94), -1);
  EXPECT_EQ(DXLLogFillPlaceholder(shortField, false, "%s", "123456"), shortField);
  EXPECT_EQ(DXLLogFillPlaceholder(fps, false, "%d", 1), -1);  // already forgotten
  EXPECT_EQ(DXLLogFillPlaceholder(12345, false, "x"), -1);
  EXPECT_EQ(ReadFile(path_).size(), sizeBefore);

  DXLReportError(-1, u"Cannot open %s (%d) [%5s] 0x%X", u"file.txt", 3, u"ok", 42u);
  DXLReportErrorA(0, "Proc not found: %s", "D3DXCreateTexture");
  DXLLogBeginBlock("Change Display Mode", "Change successful.", false);
  DXLCloseLog();
  EXPECT_FALSE(DXLLogIsOpen());

  EXPECT_EQ(ReadFile(path_), ReadFile(TM_TEST_DATA_DIR "/engine/log_session.txt"));
}

TEST_F(LogTest, EveryEntryIsOnDiskAtOnceAndClosedLogIgnoresCalls) {
  DXLLogLine(-1, "before open");
  EXPECT_EQ(DXLLogAddPlaceholder(4, "x"), -1);
  ASSERT_TRUE(DXLOpenLogA(path_.c_str()));
  DXLLogLine(2, "one");
  EXPECT_EQ(ReadFile(path_), "LOG STARTED:                05.03.2024, 09:07:03\r\n\r\n  one");
  DXLLogValueW(40, u"W\u00e9:", u"\u00fcber");  // indentation capped at 16
  EXPECT_EQ(ReadFile(path_).substr(ReadFile(path_).rfind("\r\n")),
            "\r\n                W\xc3\xa9:        \xc3\xbc" "ber");  // columns count bytes
  DXLCloseLog();
  DXLLogLine(-1, "after close");
  EXPECT_EQ(ReadFile(path_).find("after close"), std::string::npos);
  const std::string text = ReadFile(path_);
  EXPECT_EQ(text.substr(text.size() - 15), "\r\nLOG FINISHED.");
}

TEST_F(LogTest, OverlongWideTextIsCutAtACharacterBoundary) {
  ASSERT_TRUE(DXLOpenLogA(path_.c_str()));
  std::u16string value(600, u'\u00e9');  // 1200 bytes as UTF-8
  DXLLogValueW(0, u"L", value.c_str());
  DXLCloseLog();
  const std::string text = ReadFile(path_);
  const size_t start = text.find("\r\nL") + 2 + kLogValueColumn;
  const size_t end = text.find("\r\n", start);
  EXPECT_EQ(end - start, 1022u);  // 511 whole characters, not 1023 bytes with half of one
  EXPECT_EQ(text.substr(start, 4), "\xc3\xa9\xc3\xa9");
}

TEST_F(LogTest, AFileThatCannotBeCreatedLeavesTheLogClosed) {
  const std::string bad = folder_.Path() + "/missing/folder/log.txt";
  EXPECT_FALSE(DXLOpenLogA(bad.c_str()));
  EXPECT_FALSE(DXLLogIsOpen());
  DXLLogBeginBlock("x", "y", false);
  DXLLogEndBlock(true);
  DXLCloseLog();
}

}  // namespace

#include "app/GameLog.h"

#include <cstdio>

#include "app/Profile.h"
#include "app/UserFiles.h"
#include "base/NumberText.h"
#include "base/TimeFormat.h"
#include "engine/DXLLog.h"
#include "platform/encoding/CodePage.h"
#include "platform/encoding/Utf.h"
#include "platform/os/FileSystem.h"
#include "platform/os/StdioFile.h"

namespace gamelog {
namespace {

constexpr u32 kColumnText = kHistoryColumn - 1;  // characters a column holds
constexpr u32 kRuleLength = 47;

std::u16string Format(const wchar* pattern, u32 ms) {
  kis::SystemTime t;
  kis::MsToSystemTime(ms, t);
  wchar buffer[32];
  kis::FormatTimeW(pattern, buffer, 32, t);
  return buffer;
}

const wchar* Medal(u32 state) {
  if (state == 6) return u"золото ";
  if (state == 5) return u"серебро";
  if (state >= 3) return u"бронза ";
  return u"  ---  ";
}

// A name that names a folder in the profiles folder and nothing else: no
// separators or characters a folder name should not hold, not "." or "..",
// not blanks alone, no half of a surrogate pair.
bool IsFolderName(const wchar* name) {
  bool dotsOnly = true, blanksOnly = true;
  if (!name[0]) return false;
  for (const wchar* c = name; *c; ++c) {
    if (*c < 32 || std::u16string_view(u"/\\:*?\"<>|").find(*c) != std::u16string_view::npos) return false;
    // Half a surrogate pair would be bytes that are no UTF-8.
    const bool high = *c >= 0xD800 && *c <= 0xDBFF, low = *c >= 0xDC00 && *c <= 0xDFFF;
    if ((high && !(c[1] >= 0xDC00 && c[1] <= 0xDFFF)) || (low && !(c > name && c[-1] >= 0xD800 && c[-1] <= 0xDBFF)))
      return false;
    dotsOnly = dotsOnly && *c == u'.';
    blanksOnly = blanksOnly && (*c == u' ' || *c == 0x00A0 || *c == 0x3000);
  }
  return !dotsOnly && !blanksOnly;
}

std::u16string Column(const std::u16string& line, u32 column) {
  if (column == 0) return line.substr(0, kHistoryColumn);
  return line.size() > kHistoryColumn ? line.substr(kHistoryColumn) : std::u16string();
}

// "level_NN", NN the level's number from 01.
std::u16string LevelName(u32 level) {
  wchar digits[16];
  kis::UIntToStrPad(digits, 16, level + 1, 2);
  return u"level_" + std::u16string(digits);
}

bool IsBlank(const std::u16string& text) { return text.find_first_not_of(u' ') == std::u16string::npos; }

void SetColumn(std::u16string* line, u32 column, const std::u16string& text) {
  std::u16string left = column == 0 ? text.substr(0, kColumnText) : Column(*line, 0);
  const std::u16string right = column == 1 ? text.substr(0, kColumnText) : Column(*line, 1);
  left.resize(kHistoryColumn, u' ');
  *line = left + right;
}

std::vector<std::u16string> SplitLines(const std::u16string& text) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace

GameLog::GameLog(const Profile* profile, const std::u16string& profilesFolder) : profile_(profile) {
  if (!profile_) return;
  folder_ = RecordsFolder(profilesFolder, profile_->GetName());
  if (!folder_.empty()) plat::CreateDirectory(folder_);
}

void GameLog::BeginLevel(i32 level) {
  enabled_ = true;
  level_ = level;
}

void GameLog::LogRun(const LEVELRESULT* record) {
  if (!enabled_) return;
  enabled_ = false;
  if (record && (record->regime == 0 || record->regime == 1) && level_ >= 0 && level_ < static_cast<i32>(kLevelCount) &&
      !folder_.empty()) {
    const std::u16string path = UserFilePath(folder_, HistoryFileName(static_cast<u32>(level_)));
    const u32 regime = static_cast<u32>(record->regime);
    std::vector<std::u16string> lines = ReadHistory(path);
    AddRun(&lines, regime, profile_->GetBestTime(regime, static_cast<u32>(level_)), record->time);
    Write(path, lines);
  }
  WriteSummary();
}

bool GameLog::WriteSummary() {
  if (folder_.empty() || !profile_) return false;
  return Write(UserFilePath(folder_, u"records.txt"), SummaryLines(profile_->GetProgress()));
}

bool GameLog::Write(const std::u16string& path, const std::vector<std::u16string>& lines) const {
  int error = 0;
  if (WriteTextFile(path, lines, &error)) return true;
  DXLLogValueFormat(0, "Records", "%s not saved: %s", plat::Utf16ToUtf8(path).c_str(),
                    SaveErrorText(error, path).c_str());
  return false;
}

std::u16string RecordsFolder(const std::u16string& profilesFolder, const wchar* name) {
  return name && IsFolderName(name) ? UserFilePath(profilesFolder, name) : std::u16string();
}

std::u16string HistoryFileName(u32 level) { return LevelName(level) + u".txt"; }

std::u16string FormatDuration(u32 ms) { return Format(u"hh:nn:ss", ms); }

std::vector<std::u16string> SummaryLines(const PROFILEPROGRESS& progress) {
  std::vector<std::u16string> lines;
  u32 totals[kProfileRegimes] = {};
  for (u32 i = 0; i < kLevelCount; ++i) {
    std::u16string line = LevelName(i) + u":";
    for (u32 r = 0; r < kProfileRegimes; ++r) {
      const LEVELPROGRESS& level = progress.regimes[r].levels[i];
      line += u"  " + (level.bestTime == 0 ? std::u16string(u"  ----  ") : FormatDuration(level.bestTime)) + u"  " +
              Medal(level.state);
      if (level.bestTime < kTwoHours) totals[r] += level.bestTime;
    }
    lines.push_back(line);
  }
  const std::u16string rule(kRuleLength, u'-');
  lines.push_back(rule);
  lines.push_back(u"Всего   :  " + FormatDuration(totals[0]) + u"  " + std::u16string(9, u' ') +
                  FormatDuration(totals[1]));
  lines.push_back(rule);
  lines.push_back(u"В игре  :  " + FormatDuration(progress.playTime));
  return lines;
}

std::vector<std::u16string> ReadHistory(const std::u16string& path) {
  std::FILE* f = plat::FileOpen(path, "rb");  // never a named pipe, which would wait for a writer
  if (!f) return {};
  std::string bytes;
  char chunk[65536];
  bool tooLarge = false;
  for (size_t n; !tooLarge && (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) {
    bytes.append(chunk, n);
    tooLarge = bytes.size() > kMaxHistoryBytes;
  }
  const bool failed = std::ferror(f) != 0;
  plat::FileClose(f);
  if (tooLarge || failed) return {};
  std::u16string text;
  if (bytes.size() >= 2 && static_cast<u8>(bytes[0]) == 0xFF && static_cast<u8>(bytes[1]) == 0xFE) {
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
      text += static_cast<char16_t>(static_cast<u8>(bytes[i]) | (static_cast<u8>(bytes[i + 1]) << 8));
  } else if (!plat::MultiByteToWide(plat::GetAnsiCodePage(), bytes, text)) {
    return {};
  }
  return SplitLines(text);
}

void AddRun(std::vector<std::u16string>* lines, u32 regime, u32 bestTime, u32 runTime) {
  if (regime >= kProfileRegimes) return;
  if (lines->empty()) lines->emplace_back();
  SetColumn(&(*lines)[0], regime,
            std::u16string(u"Рекорд ") + (regime == 0 ? u"Easy" : u"Hard") + u": " + Format(u"hh::nn::ss", bestTime));
  size_t target = 1;
  for (size_t k = lines->size() - 1; k >= 1; --k) {
    if (!IsBlank(Column((*lines)[k], regime))) {
      target = k + 1;
      break;
    }
  }
  if (target >= lines->size()) lines->resize(target + 1);
  SetColumn(&(*lines)[target], regime, Format(u"hh::nn::ss", runTime));
}

bool WriteTextFile(const std::u16string& path, const std::vector<std::u16string>& lines, int* error) {
  std::string bytes = "\xFF\xFE";
  auto put = [&bytes](char16_t c) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      put(u'\r');
      put(u'\n');
    }
    for (char16_t c : lines[i]) put(c);
  }
  return ReplaceFileBytes(path, bytes, error);
}

}  // namespace gamelog

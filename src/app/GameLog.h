// gamelog::GameLog - the records files of the current profile, in a folder
// named after the player (UTF-8) in the profiles folder:
//   "records.txt"   every level's best time and medal in both regimes, the
//                   totals of the times below two hours, the play time
//   "level_NN.txt"  (NN from 01) the level's record time and every run,
//                   one 28-character column per regime
// Both are UTF-16LE text with a byte-order mark, lines joined by "\r\n",
// written whole through plat::FileReplacement; a file not saved is said in
// the game's log with its reason. Only the history is read back (UTF-16
// with its mark, else the 8-bit code page); one that cannot be read (or is
// no plain file) counts as empty. Nothing in the game reads these files.
//
// The store makes one for the profile that becomes current and deletes it
// when another does.
#pragma once

#include <string>
#include <vector>

#include "base/Types.h"

class Profile;
struct LEVELRESULT;
struct PROFILEPROGRESS;

namespace gamelog {

constexpr u32 kHistoryColumn = 28;           // characters per column
constexpr u32 kTwoHours = 7200000;           // ms: longer best times are not totalled
constexpr u64 kMaxHistoryBytes = 16u << 20;  // a larger history counts as empty

class GameLog {
 public:
  // The folder "<profiles folder>/<name>" is made (an existing one is fine).
  GameLog(const Profile* profile, const std::u16string& profilesFolder);
  GameLog(const GameLog&) = delete;
  GameLog& operator=(const GameLog&) = delete;

  // A level was entered: its next run goes into its history.
  void BeginLevel(i32 level);
  // Once per entered level: the run of the record (its regime and time)
  // into the level's history under the regime's record line; then the
  // summary. Without a record, or with a regime other than 0 or 1, only
  // the summary.
  void LogRun(const LEVELRESULT* record);
  // False when it was not written, which the game's log says with the reason.
  bool WriteSummary();

  const Profile* GetProfile() const { return profile_; }
  const std::u16string& GetFolder() const { return folder_; }
  bool IsEnabled() const { return enabled_; }

 private:
  // One records file written; a failure is said in the game's log.
  bool Write(const std::u16string& path, const std::vector<std::u16string>& lines) const;

  const Profile* profile_;
  std::u16string folder_;  // empty when the player's name cannot name a folder
  bool enabled_ = false;
  i32 level_ = 0;
};

// "<profiles folder>/<name>"; empty when the name cannot name a folder
// there (a separator, a character no folder name holds, dots only) or the
// path is too long.
std::u16string RecordsFolder(const std::u16string& profilesFolder, const wchar* name);
// "level_NN.txt", NN the level's number from 01.
std::u16string HistoryFileName(u32 level);
// "hh:nn:ss" of a duration.
std::u16string FormatDuration(u32 ms);
// The summary's lines.
std::vector<std::u16string> SummaryLines(const PROFILEPROGRESS& progress);
// A history file's lines; none when it is missing, too large or unreadable.
std::vector<std::u16string> ReadHistory(const std::u16string& path);
// A run into a history's lines: the record line (line 0) of the regime's
// column, and the run below the last line whose column holds something.
void AddRun(std::vector<std::u16string>* lines, u32 regime, u32 bestTime, u32 runTime);
// Writes the lines as the game's text file; false when it was not written,
// with the system's error in `error` when given.
bool WriteTextFile(const std::u16string& path, const std::vector<std::u16string>& lines, int* error = nullptr);

}  // namespace gamelog

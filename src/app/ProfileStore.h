// ProfileStore - the players' profiles (at most 12, ordered by last use,
// oldest first), the current one, the best time of every level over all
// profiles, and their files in the profiles folder: "profiles.dat" (the
// current profile's key and the best times) and one "profile<N>.dat" per
// profile (ProfileFiles.h). The current profile keeps the records files
// (gamelog::GameLog) while it is current.
//
// Nothing is written until a profiles folder has been opened (LoadFolder);
// until then every save returns 1. Files are only ever replaced whole.
// Operations return 0 or one of the codes below.
//
// The player hears of the files (ProfileNotices::ShowFileNotice) and the
// log says why: a profile file that does not read is put aside under a
// name that says so ("profile<N>.dat.damaged") and never overwritten, and
// one that cannot be read at all (a folder, a named pipe or a device in its
// place) is left where it is, its number never given again; a whole ".bak"
// left by a save cut short stands in for a file that is missing or damaged;
// a damaged "profiles.dat" without a whole ".bak" costs the best times,
// which is told as a damaged profile is, and so is one that cannot be read
// at all (a link to nothing in its place); every save that fails is told,
// each time, with its reason (no space left, not allowed, what is in the
// file's place, the per-user folder moved or replaced while the game ran,
// which is one notice for every file).
//
// Seams: the map hears of results (LevelResultListener), the notice queues
// are cleared and errors shown through ProfileNotices; the clock (seconds
// since 1970) and the source of key words can be replaced for tests.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ProfileFiles.h"
#include "app/ProfileSeams.h"
#include "base/Types.h"
#include "resources/ResourceServices.h"

class Profile;

namespace gamelog {
class GameLog;
}
namespace kis {
class BaseDataFileReader;
}

constexpr i32 kProfileOk = 0;
constexpr i32 kProfileNothingDone = 1;  // no profiles folder open
constexpr i32 kProfileStoreFull = 10;
constexpr i32 kProfileNone = 11;
constexpr i32 kProfileNameEmpty = 20;
constexpr i32 kProfileNameLong = 21;
constexpr i32 kProfileNameCharacter = 22;
constexpr i32 kProfileNameUsed = 23;
constexpr i32 kProfileNotWritten = 31;
constexpr i32 kIndexNotWritten = 32;
constexpr i32 kIndexNotRead = 33;

constexpr u32 kMaxProfiles = 12;
constexpr size_t kMaxProfilesFolder = 247;  // characters

// The ids of the store's file notices: shown on every screen (the bits of
// the main screen, the map and the level), one id per kind and file (the
// profile's number, kIndexNoticeNumber for "profiles.dat"). The per-user
// folder moved or replaced while the game ran is one notice for every
// file; the game's own notices of the start (the lock, "config.dat") take
// the ids after them.
constexpr u32 kNoticeNotSaved = 0x7005000u;
constexpr u32 kNoticeDamaged = 0x7006000u;
constexpr u32 kNoticeFolderMoved = 0x7007000u;
constexpr u32 kNoticeNoLock = 0x7008000u;
constexpr u32 kNoticeSettings = 0x7009000u;
constexpr u32 kIndexNoticeNumber = 0xFFF;

class ProfileStore {
 public:
  ProfileStore();   // no folder yet: nothing is saved; the default name characters
  ~ProfileStore();  // deletes the profiles: the current one closes and is saved
  ProfileStore(const ProfileStore&) = delete;
  ProfileStore& operator=(const ProfileStore&) = delete;

  // --- Seams ----------------------------------------------------------------------
  void SetResultListener(LevelResultListener* listener) { listener_ = listener; }
  void SetNotices(ProfileNotices* notices) { notices_ = notices; }
  LevelResultListener* GetResultListener() const { return listener_; }
  // Seconds since 1970 (the installed clock's wall time by default).
  void SetClock(std::function<u64()> clock) { clock_ = std::move(clock); }
  // The words of new keys; by default a linear congruential generator
  // seeded from the clock at the first key.
  void SetKeySource(std::function<u32()> source) { keySource_ = std::move(source); }
  // The generator seeded with `seed` in place of the clock (a replay's).
  void SeedKeys(u32 seed) {
    keyState_ = seed;
    keySeeded_ = true;
  }
  u64 Now() const;

  // --- Defaults -----------------------------------------------------------------------
  // The "PROF" section into the default progress (always 1; a damaged
  // section sets the cursor's error and keeps the defaults).
  i32 ReadDefaults(kis::BaseDataFileReader* reader, SectionCursor* cursor);
  const PROFILEPROGRESS& GetDefaults() const { return defaults_; }
  void SetDefaults(const PROFILEPROGRESS& defaults);

  // --- Folder and files -----------------------------------------------------------------
  // Forgets every profile and best time, then opens the folder (made with
  // every missing parent) and loads each "profile<N>.dat" whose name is
  // exactly that, in lower case (or its whole ".bak", put in its place,
  // when the file is missing or damaged). A damaged file is put aside. Of
  // more than 12 the most recently used are kept, the others left out (the
  // log names them); a file with the key of one kept is a copy, left out.
  // 1 for an empty folder, one of 248 characters or more, or one that
  // cannot be made.
  i32 LoadFolder(const std::u16string& folder);
  // LoadFolder and ReadIndex; then, with no current profile, the most
  // recently used one is chosen and "profiles.dat" written (also when it
  // could not be read); last, the player is told of the files that did not
  // read (naming the farmer when "profiles.dat" knows the file's key). What
  // ReadIndex (or LoadFolder) returned.
  i32 LoadProfiles(const std::u16string& folder);
  // "profiles.dat" (or its whole ".bak" when it is missing or damaged, put
  // in its place; a damaged one is put aside first): the best times and the
  // current profile; 33 (best times empty) when neither reads, a damaged
  // one then kept for LoadProfiles to tell; 1 with no folder.
  i32 ReadIndex();
  i32 WriteIndex();                                            // 0, 32, or 1 with no folder
  // The notice of the per-user folder moved or replaced while the game ran
  // (a save of any of its files refused for it).
  void TellFolderMoved();
  const std::u16string& GetFolder() const { return folder_; }  // with a trailing "/"

  // --- Profiles ------------------------------------------------------------------------
  // A new profile, current progress the defaults, saved at once; 0 or 31
  // (not written, yet made), else nothing made: 10, or the name's code.
  i32 CreateProfile(const wchar* name, Profile** out);
  // Deselected when current, its file, records files and (then empty)
  // records folder removed, deleted. 11 for a profile not in the store.
  i32 DeleteProfile(Profile* profile);
  // Makes the profile current (null: none): the notice queues cleared, the
  // new one activated (its saved levels read, its records log made), the
  // old one deactivated, the new one saved. 11 when none is current after,
  // or (nothing changed) for a profile not in the store.
  i32 Select(Profile* profile);
  // Select as a player's choice: at once for the current one; an error is
  // shown, else "profiles.dat" written.
  i32 SelectProfile(Profile* profile);
  i32 SaveProfile();  // the current profile; 11 without one
  // Touches the profile and writes its file: 0, 31, 1 with no folder. A
  // profile that is not current keeps the saved levels of its file.
  i32 SaveProfileFile(Profile* profile);
  // The time of a level when it beats the best of all profiles (or none is
  // kept): stored with the current profile's key and name, and
  // "profiles.dat" written.
  bool RecordBestTime(u32 level, u32 time);
  // The all-profile record of a level; an empty one (no time) outside the table.
  const BESTTIME& GetBestTime(u32 level) const { return level < kLevelCount ? index_.best[level] : kNoBestTime; }

  Profile* GetCurrent() const { return current_; }
  u32 GetCount() const { return static_cast<u32>(profiles_.size()); }
  Profile* GetRecent(u32 i) const;               // 0: the most recently used; null out of range
  Profile* FindByName(const wchar* name) const;  // A-Z without case
  gamelog::GameLog* GetGameLog() const { return log_.get(); }

  // --- Names ---------------------------------------------------------------------------
  // Leading blanks skipped, one blank kept between words, trailing blanks
  // dropped: 21 when a 17th character would be taken (a 16-character name
  // followed by a blank too), 22 for a character not allowed or a name of
  // dots only, 20 when nothing is left, 23 when a profile has that name.
  i32 CheckName(const wchar* name, std::u16string* cleaned) const;
  // Exactly the characters of the text (null: the default set) are allowed,
  // less / \ : * ? " < > | and codes below 32.
  void SetNameCharacters(const wchar* text);
  // The allowed characters in code order and a terminator; at most
  // capacity - 1 of them. The count written.
  u32 ListNameCharacters(wchar* buffer, u32 capacity) const;
  // The language's "profile_errors" texts of a code: "err_empty" for 20,
  // "err_used" for 23, "err_unknown" for any other.
  void ShowError(i32 code);

 private:
  friend class Profile;

  // A profile file (or, numbered -1, "profiles.dat") that did not read,
  // kept for the notice LoadProfiles gives.
  struct UnreadFile {
    i32 number = 0;
    std::u16string file;
    std::u16string keptAs;  // its name now (empty: left where it was)
    std::string why;
    bool damaged = false;  // it opened, its content is wrong
    bool hasKey = false;   // what is left of its header names a key
    u8 key[kProfileKeySize] = {};
  };

  void Forget();
  // The profile of a file "profile<N>.dat" as listed (or of its ".bak"),
  // number N, not yet placed; null when neither reads.
  std::unique_ptr<Profile> ReadNumbered(const std::u16string& file, i32 number);
  void TellUnreadFiles();
  // A failed save in the log and a notice, with the reason.
  void ReportSaveFailure(const std::u16string& file, u32 number, int error);
  void Place(Profile* profile);  // among the others by last use
  void Activate(Profile* profile);
  void Deactivate(Profile* profile);
  void NewKey(u8* key);
  bool KeyInUse(const u8* key, const Profile* except) const;
  i32 FreeNumber() const;
  void RemoveRecords(const Profile& profile);
  std::u16string RecordsFolder(const Profile& profile) const;

  static constexpr BESTTIME kNoBestTime{};
  std::vector<Profile*> profiles_;  // owned; oldest use first
  std::vector<UnreadFile> unread_;   // since the last LoadFolder, until told
  bool noSave_ = true;
  std::u16string folder_;
  std::vector<bool> allowed_;
  PROFILEPROGRESS defaults_;
  PROFILEINDEX index_;
  Profile* current_ = nullptr;
  std::unique_ptr<gamelog::GameLog> log_;
  LevelResultListener* listener_ = nullptr;
  ProfileNotices* notices_ = nullptr;
  std::function<u64()> clock_;
  std::function<u32()> keySource_;
  u32 keyState_ = 0;
  bool keySeeded_ = false;
};

#include "app/ProfileStore.h"

#include <algorithm>
#include <cstring>

#include "app/GameLog.h"
#include "app/Profile.h"
#include "app/UserFiles.h"
#include "base/LittleEndian.h"
#include "base/NumberText.h"
#include "engine/DXLLog.h"
#include "platform/encoding/Utf.h"
#include "platform/os/FileSystem.h"
#include "platform/os/WallClock.h"
#include "resources/ResourceServices.h"
#include "windows/WindowServices.h"

namespace {

constexpr const wchar* kDefaultNameCharacters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 -";
constexpr std::u16string_view kNeverInNames = u"/\\:*?\"<>|";

wchar FoldAZ(wchar c) { return c >= u'a' && c <= u'z' ? static_cast<wchar>(c - u'a' + u'A') : c; }

bool SameName(const wchar* a, const wchar* b) {
  for (; *a && *b; ++a, ++b)
    if (FoldAZ(*a) != FoldAZ(*b)) return false;
  return *a == *b;
}

// The number N of a file named exactly "profile<N>.dat" (lower case, N in
// decimal fitting a signed 32-bit number); -1 for any other name.
i64 ProfileFileNumber(const std::u16string& name) {
  constexpr std::u16string_view head = u"profile", tail = u".dat";
  if (name.size() <= head.size() + tail.size() || name.compare(0, head.size(), head) != 0 ||
      name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
    return -1;
  i64 n = 0;
  for (size_t i = head.size(); i < name.size() - tail.size(); ++i) {
    if (name[i] < u'0' || name[i] > u'9') return -1;
    n = n * 10 + (name[i] - u'0');
    if (n > 0x7FFFFFFF) return -1;
  }
  return n;
}

std::u16string ProfileFileName(i32 number) {
  wchar digits[16];
  kis::IntToStr(digits, 16, number);
  return u"profile" + std::u16string(digits) + u".dat";
}

// The name of a profile's file, as it was listed or made.
std::u16string ListedFileName(const Profile& profile) {
  return profile.GetPath().substr(profile.GetPath().find_last_of(u"/\\") + 1);
}

// A line of the game's log about the profiles' files.
void LogProfileFile(const std::u16string& file, const std::string& what) {
  DXLLogValueA(0, "Profiles", (plat::Utf16ToUtf8(file) + " " + what).c_str());
}

// A ".bak" that does not read: one cut short is replaced by the next save;
// anything else in its way (a folder, a named pipe) stays, and so the saves
// fail and say why.
void LogUnreadBak(const std::u16string& bak, const FileFault& fault) {
  if (fault.damaged)
    LogProfileFile(bak, "is not whole (" + fault.why + "): the next save replaces it");
  else if (!fault.missing)
    LogProfileFile(bak, "does not read (" + fault.why + "): left where it is");
}

std::u16string StoreWide(const std::string& s) { return plat::Utf8ToUtf16(s); }

// Every blank a language may allow counts as one: a name of blanks alone is
// empty, whichever blanks they are.
bool IsNameBlank(wchar c) {
  return c == u' ' || c == 0x00A0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
         c == 0x202F || c == 0x205F || c == 0x3000;
}

bool IsNameHighSurrogate(wchar c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsNameLowSurrogate(wchar c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

ProfileStore::ProfileStore() : defaults_(EmptyProfileProgress()) { SetNameCharacters(nullptr); }

ProfileStore::~ProfileStore() {
  // The current profile first: it saves while the store is whole.
  delete current_;
  while (!profiles_.empty()) delete profiles_.back();
}

u64 ProfileStore::Now() const { return clock_ ? clock_() : plat::GetWallSeconds(); }

// --- Defaults ------------------------------------------------------------------------------------

i32 ProfileStore::ReadDefaults(kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  return ReadProfileDefaults(reader, cursor, &defaults_);
}

void ProfileStore::SetDefaults(const PROFILEPROGRESS& defaults) {
  defaults_ = defaults;
  defaults_.size = kProfileProgressSize;
  SanitizeProfileProgress(&defaults_);
}

// --- Folder and files ----------------------------------------------------------------------------

// Every profile goes without being saved: the folder it came from is left.
void ProfileStore::Forget() {
  log_.reset();
  if (GetMapProfile() == current_) GetWindowServices().mapProfile = nullptr;
  if (GetWindowServices().awardsProfile == current_) GetWindowServices().awardsProfile = nullptr;
  current_ = nullptr;
  while (!profiles_.empty()) delete profiles_.back();
  index_ = PROFILEINDEX{};
  unread_.clear();
  noSave_ = true;
}

i32 ProfileStore::LoadFolder(const std::u16string& folder) {
  Forget();
  folder_.clear();
  if (folder.empty() || folder.size() > kMaxProfilesFolder) return kProfileNothingDone;
  // Each missing level in turn.
  for (size_t i = 1; i <= folder.size(); ++i)
    if (i == folder.size() || folder[i] == u'/' || folder[i] == u'\\') plat::CreateDirectory(folder.substr(0, i));
  if (plat::GetFileAttributes(folder) != plat::kAttrDirectory) return kProfileNothingDone;
  folder_ = folder;
  if (folder_.back() != u'/' && folder_.back() != u'\\') folder_ += u'/';
  noSave_ = false;
  // Every file named as a profile's, or a ".bak" of one, by the name it is
  // listed under ("profile007.dat" is read as itself, number 7); whatever is
  // there under such a name (a folder, a named pipe, a link to a device) is
  // read or told.
  std::vector<std::pair<i64, std::u16string>> files;
  for (const std::u16string& name : plat::ListEntries(folder_)) {
    std::u16string file = name;
    if (ProfileFileNumber(file) < 0 && file.ends_with(u".bak")) file.resize(file.size() - 4);
    if (const i64 n = ProfileFileNumber(file); n >= 0) files.emplace_back(n, file);
  }
  std::sort(files.begin(), files.end());
  files.erase(std::unique(files.begin(), files.end()), files.end());
  std::vector<std::unique_ptr<Profile>> found;
  for (const auto& [n, file] : files)
    if (std::unique_ptr<Profile> p = ReadNumbered(file, static_cast<i32>(n))) found.push_back(std::move(p));
  // The most recently used first: those are kept when there are too many.
  // (Not the first twelve listed: the folder lists its files in no order a
  // player can see or choose, so which farms stayed out would be chance; the
  // ones played last are the ones a player looks for.)
  std::stable_sort(found.begin(), found.end(), [](const std::unique_ptr<Profile>& a, const std::unique_ptr<Profile>& b) {
    return a->header_.lastUsed > b->header_.lastUsed;
  });
  for (std::unique_ptr<Profile>& p : found) {
    const std::u16string file = ListedFileName(*p);
    if (KeyInUse(p->header_.key, nullptr))
      LogProfileFile(file, "left out: it holds the key of another profile (a copy of its file)");
    else if (profiles_.size() >= kMaxProfiles)
      LogProfileFile(file, "left out: 12 profiles are loaded, the most recently used ones");
    else
      Place(p.release());
  }
  return kProfileOk;
}

// A file that does not read is told of later; a damaged one is put aside
// first, so nothing ever writes over it, and only then may its ".bak"
// (complete when a save was cut off just before its rename) take its name.
std::unique_ptr<Profile> ProfileStore::ReadNumbered(const std::u16string& file, i32 number) {
  const std::u16string bak = file + u".bak";
  const std::u16string path = UserFilePath(folder_, file), bakPath = UserFilePath(folder_, bak);
  if (path.empty() || bakPath.empty()) return nullptr;
  auto profile = std::make_unique<Profile>(this);
  FileFault fault;
  bool read = ReadProfileFile(path, &profile->header_, &profile->progress_, &profile->shownAwards_, &fault);
  if (!read && !fault.missing) {
    UnreadFile unread;
    unread.number = number;
    unread.file = file;
    unread.why = fault.why;
    unread.damaged = fault.damaged;
    unread.hasKey = ReadProfileKey(path, unread.key);
    if (fault.damaged) unread.keptAs = PutFileAside(folder_, file);
    LogProfileFile(file, "does not read (" + fault.why + "): " +
                       (unread.keptAs.empty() ? std::string("left where it is")
                                              : "kept as " + plat::Utf16ToUtf8(unread.keptAs)));
    unread_.push_back(unread);
    if (unread.keptAs.empty()) return nullptr;
  }
  if (!read) {
    FileFault bakFault;
    if (!ReadProfileFile(bakPath, &profile->header_, &profile->progress_, &profile->shownAwards_, &bakFault)) {
      LogUnreadBak(bak, bakFault);
      return nullptr;
    }
    const bool moved = plat::RenameFileNoReplace(bakPath, path);
    LogProfileFile(file, "read from " + plat::Utf16ToUtf8(bak) + (moved ? ", which takes its place" : ""));
    // The farm is whole again: the damaged file put aside is for the log only.
    if (!unread_.empty() && unread_.back().number == number) unread_.pop_back();
  }
  profile->number_ = number;
  profile->path_ = path;
  return profile;
}

i32 ProfileStore::LoadProfiles(const std::u16string& folder) {
  if (LoadFolder(folder) != kProfileOk) return kProfileNothingDone;
  const i32 code = ReadIndex();
  if (!current_ && !profiles_.empty())
    SelectProfile(GetRecent(0));
  else if (code != kProfileOk)
    WriteIndex();
  TellUnreadFiles();  // after the choice, which empties the notice queues
  return code;
}

// The farmer of a file that did not read is the one "profiles.dat" names
// with the file's key: the key left in its header, or the current key when
// no profile, loaded or not, has it and this is the only file without a key.
void ProfileStore::TellUnreadFiles() {
  const bool currentMissing =
      std::any_of(std::begin(index_.currentKey), std::end(index_.currentKey), [](u8 b) { return b != 0; }) &&
      !KeyInUse(index_.currentKey, nullptr) && std::none_of(unread_.begin(), unread_.end(), [this](const UnreadFile& u) {
        return u.hasKey && std::memcmp(u.key, index_.currentKey, kProfileKeySize) == 0;
      });
  const auto keyless =
      std::count_if(unread_.begin(), unread_.end(), [](const UnreadFile& u) { return u.number >= 0 && !u.hasKey; });
  for (const UnreadFile& unread : unread_) {
    if (unread.number < 0) {
      if (notices_ && unread.damaged)
        notices_->ShowFileNotice(kNoticeDamaged + kIndexNoticeNumber, u"damaged_index",
                                 {unread.file, unread.keptAs.empty() ? unread.file : unread.keptAs});
      else if (notices_)
        notices_->ShowFileNotice(kNoticeDamaged + kIndexNoticeNumber, u"unreadable_index",
                                 {unread.file, StoreWide(unread.why)});
      continue;
    }
    const u8* key = unread.hasKey ? unread.key : currentMissing && keyless == 1 ? index_.currentKey : nullptr;
    std::u16string farmer;
    for (const BESTTIME& best : index_.best)
      if (key && best.name[0] && std::memcmp(best.key, key, kProfileKeySize) == 0) farmer = best.name;
    if (!farmer.empty()) LogProfileFile(unread.file, "is the farm of " + plat::Utf16ToUtf8(farmer));
    if (!notices_) continue;
    const u32 id = kNoticeDamaged + (static_cast<u32>(unread.number) & kIndexNoticeNumber);
    const std::u16string kept = unread.keptAs.empty() ? unread.file : unread.keptAs;
    if (!unread.damaged)
      notices_->ShowFileNotice(id, u"unreadable", {unread.file, StoreWide(unread.why)});
    else if (farmer.empty())
      notices_->ShowFileNotice(id, u"damaged", {unread.file, kept});
    else
      notices_->ShowFileNotice(id, u"damaged_farmer", {unread.file, kept, farmer});
  }
  unread_.clear();
}

void ProfileStore::ReportSaveFailure(const std::u16string& file, u32 number, int error) {
  const std::string reason = SaveErrorText(error, UserFilePath(folder_, file));
  LogProfileFile(file, "not saved: " + reason);
  if (!notices_) return;
  if (IsFolderMovedError(error)) {
    TellFolderMoved();
    return;
  }
  const wchar* key = IsNoSpaceError(error)       ? u"not_saved_space"
                     : IsNotAllowedError(error) ? u"not_saved_access"
                                                : u"not_saved";
  notices_->ShowFileNotice(kNoticeNotSaved + (number & kIndexNoticeNumber), key, {file, StoreWide(reason)});
}

void ProfileStore::TellFolderMoved() {
  if (notices_) notices_->ShowFileNotice(kNoticeFolderMoved, u"folder_moved", {folder_});
}

i32 ProfileStore::ReadIndex() {
  if (noSave_) return kProfileNothingDone;
  PROFILEINDEX index;
  FileFault fault;
  bool read = ReadIndexFile(UserFilePath(folder_, u"profiles.dat"), &index, &fault);
  std::u16string keptAs;
  if (!read && !fault.missing) {
    if (fault.damaged) keptAs = PutFileAside(folder_, u"profiles.dat");
    LogProfileFile(u"profiles.dat", "does not read (" + fault.why + "): " +
                                  (keptAs.empty() ? std::string("left where it is")
                                                  : "kept as " + plat::Utf16ToUtf8(keptAs)));
  }
  if (!read && (fault.missing || !keptAs.empty())) {
    FileFault bakFault;
    read = ReadIndexFile(UserFilePath(folder_, u"profiles.dat.bak"), &index, &bakFault);
    if (read) {
      const bool moved =
          plat::RenameFileNoReplace(UserFilePath(folder_, u"profiles.dat.bak"), UserFilePath(folder_, u"profiles.dat"));
      LogProfileFile(u"profiles.dat", std::string("read from profiles.dat.bak") + (moved ? ", which takes its place" : ""));
    } else {
      LogUnreadBak(u"profiles.dat.bak", bakFault);
    }
  }
  if (!read) {
    // Damaged with no whole ".bak", or not to be read at all (what stands in
    // its place is left there): the best times are lost, which the player
    // hears of with the profiles' files.
    if (!fault.missing) {
      UnreadFile unread;
      unread.number = -1;
      unread.file = u"profiles.dat";
      unread.keptAs = keptAs;
      unread.why = fault.why;
      unread.damaged = fault.damaged;
      unread_.push_back(unread);
    }
    index_ = PROFILEINDEX{};
    return kIndexNotRead;
  }
  index_ = index;
  for (Profile* p : profiles_)
    if (std::memcmp(p->header_.key, index.currentKey, kProfileKeySize) == 0) {
      Select(p);
      break;
    }
  return kProfileOk;
}

i32 ProfileStore::WriteIndex() {
  if (noSave_) return kProfileNothingDone;
  PROFILEINDEX index = index_;
  std::memset(index.currentKey, 0, kProfileKeySize);
  if (current_) std::memcpy(index.currentKey, current_->header_.key, kProfileKeySize);
  int error = 0;
  if (WriteIndexFile(UserFilePath(folder_, u"profiles.dat"), index, &error)) return kProfileOk;
  ReportSaveFailure(u"profiles.dat", kIndexNoticeNumber, error);
  return kIndexNotWritten;
}

// --- Profiles ------------------------------------------------------------------------------------

i32 ProfileStore::CreateProfile(const wchar* name, Profile** out) {
  if (out) *out = nullptr;
  if (profiles_.size() >= kMaxProfiles) return kProfileStoreFull;
  std::u16string cleaned;
  if (const i32 code = CheckName(name, &cleaned)) return code;
  auto* profile = new Profile(this);
  profile->SetName(cleaned);
  NewKey(profile->header_.key);
  profile->progress_ = defaults_;
  profile->shownAwards_ = defaults_.awards;
  if (!noSave_) {
    profile->number_ = FreeNumber();
    profile->path_ = UserFilePath(folder_, ProfileFileName(profile->number_));
  }
  profile->levelsRead_ = true;  // a new file has none
  profile->Touch();
  if (out) *out = profile;
  return SaveProfileFile(profile) == kProfileNotWritten ? kProfileNotWritten : kProfileOk;
}

i32 ProfileStore::DeleteProfile(Profile* profile) {
  if (!profile || std::find(profiles_.begin(), profiles_.end(), profile) == profiles_.end()) return kProfileNone;
  if (profile == current_) Select(nullptr);
  if (!profile->path_.empty()) plat::DeleteFile(profile->path_);
  RemoveRecords(*profile);
  delete profile;
  return kProfileOk;
}

i32 ProfileStore::Select(Profile* profile) {
  if (profile && std::find(profiles_.begin(), profiles_.end(), profile) == profiles_.end()) return kProfileNone;
  if (profile == current_) return current_ ? kProfileOk : kProfileNone;
  if (notices_) notices_->ClearQueues();
  Profile* old = current_;
  if (profile) Activate(profile);
  if (old) Deactivate(old);
  current_ = profile;
  GetWindowServices().mapProfile = profile;
  GetWindowServices().awardsProfile = profile;
  if (profile) SaveProfileFile(profile);
  return current_ ? kProfileOk : kProfileNone;
}

i32 ProfileStore::SelectProfile(Profile* profile) {
  if (profile && profile == current_) return kProfileOk;
  const i32 code = Select(profile);
  if (code != kProfileOk)
    ShowError(code);
  else
    WriteIndex();
  return code;
}

// Saved levels are read only while the file is the one that holds them.
void ProfileStore::Activate(Profile* profile) {
  if (!profile->levelsRead_ && !profile->path_.empty()) ReadSavedLevels(profile->path_, profile->saved_);
  profile->levelsRead_ = true;
  profile->Touch();
  ++profile->header_.openCount;
  log_ = std::make_unique<gamelog::GameLog>(profile, folder_);
}

void ProfileStore::Deactivate(Profile* profile) {
  FreeSavedLevels(profile->saved_);
  profile->levelsRead_ = profile->path_.empty();
  if (log_ && log_->GetProfile() == profile) log_.reset();
}

i32 ProfileStore::SaveProfile() { return current_ ? SaveProfileFile(current_) : kProfileNone; }

// A profile whose saved levels are still in its file (it is not current)
// takes them along into the new file, so they are not lost.
i32 ProfileStore::SaveProfileFile(Profile* profile) {
  if (!profile) return kProfileNone;
  profile->Touch();
  if (noSave_) return kProfileNothingDone;
  if (profile->path_.empty()) return kProfileNotWritten;
  const bool borrowed = !profile->levelsRead_;
  if (borrowed) ReadSavedLevels(profile->path_, profile->saved_);
  int error = 0;
  const bool written = WriteProfileFile(profile->path_, profile->header_, profile->progress_, profile->saved_,
                                        &profile->shownAwards_, &error);
  if (borrowed) FreeSavedLevels(profile->saved_);
  if (!written) ReportSaveFailure(ListedFileName(*profile), static_cast<u32>(profile->number_), error);
  return written ? kProfileOk : kProfileNotWritten;
}

bool ProfileStore::RecordBestTime(u32 level, u32 time) {
  if (level >= kLevelCount) return false;
  BESTTIME& best = index_.best[level];
  if (best.time != 0 && time >= best.time) return false;
  best = BESTTIME{};
  best.time = time;
  if (current_) {
    std::memcpy(best.key, current_->header_.key, kProfileKeySize);
    std::memcpy(best.name, current_->header_.name, sizeof best.name);
  }
  WriteIndex();
  return true;
}

Profile* ProfileStore::GetRecent(u32 i) const {
  return i < profiles_.size() ? profiles_[profiles_.size() - 1 - i] : nullptr;
}

Profile* ProfileStore::FindByName(const wchar* name) const {
  if (!name) return nullptr;
  for (Profile* p : profiles_)
    if (SameName(p->GetName(), name)) return p;
  return nullptr;
}

// Later among equal times: the profile just touched is the most recent.
void ProfileStore::Place(Profile* profile) {
  std::erase(profiles_, profile);
  const auto at = std::upper_bound(profiles_.begin(), profiles_.end(), profile->header_.lastUsed,
                                   [](u64 t, const Profile* p) { return t < p->header_.lastUsed; });
  profiles_.insert(at, profile);
}

// Four words of the generator; never all zero, never another profile's.
void ProfileStore::NewKey(u8* key) {
  do {
    for (u32 i = 0; i < 4; ++i) {
      u32 word;
      if (keySource_) {
        word = keySource_();
      } else {
        if (!keySeeded_) keyState_ = static_cast<u32>(Now());
        keySeeded_ = true;
        keyState_ = keyState_ * 2147001325u + 715136305u;
        word = keyState_;
      }
      kis::PutU32LE(key + 4 * i, word);
    }
  } while (std::all_of(key, key + kProfileKeySize, [](u8 b) { return b == 0; }) || KeyInUse(key, nullptr));
}

bool ProfileStore::KeyInUse(const u8* key, const Profile* except) const {
  for (const Profile* p : profiles_)
    if (p != except && std::memcmp(p->header_.key, key, kProfileKeySize) == 0) return true;
  return false;
}

// The lowest number no profile has and no file holds (a file that did not
// load may still be a player's, damaged: it is never overwritten; nor is
// what a link to nothing would make).
i32 ProfileStore::FreeNumber() const {
  for (i32 n = 0;; ++n) {
    const bool used =
        std::any_of(profiles_.begin(), profiles_.end(), [n](const Profile* p) { return p->number_ == n; });
    const std::u16string path = UserFilePath(folder_, ProfileFileName(n));
    if (!used && plat::GetFileAttributes(path) == plat::kInvalidAttributes && plat::NonFileKind(path).empty())
      return n;
  }
}

// Only the files the records log writes, then the folder if that left it
// empty: whatever else a player put there stays.
void ProfileStore::RemoveRecords(const Profile& profile) {
  if (noSave_) return;
  const std::u16string folder = gamelog::RecordsFolder(folder_, profile.GetName());
  if (folder.empty()) return;
  plat::DeleteFile(UserFilePath(folder, u"records.txt"));
  for (u32 level = 0; level < kLevelCount; ++level)
    plat::DeleteFile(UserFilePath(folder, gamelog::HistoryFileName(level)));
  plat::RemoveDirectory(folder);
}

// --- Names ---------------------------------------------------------------------------------------

i32 ProfileStore::CheckName(const wchar* name, std::u16string* cleaned) const {
  std::u16string result;
  const wchar* c = name ? name : u"";
  while (IsNameBlank(*c)) ++c;
  for (; *c; ++c) {
    if (result.size() >= kMaxProfileName) return kProfileNameLong;
    if (!allowed_[*c]) return kProfileNameCharacter;
    // Half a surrogate pair names no character (and no folder for the records).
    if ((IsNameHighSurrogate(*c) && !IsNameLowSurrogate(c[1])) ||
        (IsNameLowSurrogate(*c) && (result.empty() || !IsNameHighSurrogate(result.back()))))
      return kProfileNameCharacter;
    if (IsNameBlank(*c) && !result.empty() && IsNameBlank(result.back())) continue;
    result += *c;
  }
  while (!result.empty() && IsNameBlank(result.back())) result.pop_back();
  if (result.empty()) return kProfileNameEmpty;
  if (result.find_first_not_of(u'.') == std::u16string::npos) return kProfileNameCharacter;
  if (FindByName(result.c_str())) return kProfileNameUsed;
  if (cleaned) *cleaned = result;
  return kProfileOk;
}

void ProfileStore::SetNameCharacters(const wchar* text) {
  allowed_.assign(0x10000, false);
  for (const wchar* c = text ? text : kDefaultNameCharacters; *c; ++c) allowed_[*c] = true;
  for (wchar c : kNeverInNames) allowed_[c] = false;
  for (u32 c = 0; c < 32; ++c) allowed_[c] = false;
}

u32 ProfileStore::ListNameCharacters(wchar* buffer, u32 capacity) const {
  if (!buffer || capacity == 0) return 0;
  u32 n = 0;
  for (u32 c = 1; c < 0x10000 && n + 1 < capacity; ++c)
    if (allowed_[c]) buffer[n++] = static_cast<wchar>(c);
  buffer[n] = 0;
  return n;
}

void ProfileStore::ShowError(i32 code) {
  if (!notices_) return;
  notices_->ShowError(u"error", code == kProfileNameEmpty  ? u"err_empty"
                                : code == kProfileNameUsed ? u"err_used"
                                                           : u"err_unknown");
}

#include "platform/os/FileReplacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <set>

#include "platform/encoding/Utf.h"
#include "platform/os/FileFaults.h"
#include "platform/os/FileSystem.h"
#include "platform/os/HeldFolder.h"
#include "platform/os/PlatformServices.h"

namespace plat {

namespace {

constexpr size_t kNameMax = NAME_MAX;
constexpr int kMaxLinkHops = 40;  // as the system's own limit on nested links
constexpr int kUniqueAttempts = 16;

std::atomic<unsigned> gTempCounter{0};

// Temporaries this process has open right now: a leftover under our own
// process id that is not among them was left by an earlier process that had
// the same id.
std::mutex gLiveMutex;
std::set<std::string> gLive;

void MarkLive(const std::string& path, bool live) {
  std::lock_guard<std::mutex> lock(gLiveMutex);
  if (live)
    gLive.insert(path);
  else
    gLive.erase(path);
}

bool IsLive(const std::string& path) {
  std::lock_guard<std::mutex> lock(gLiveMutex);
  return gLive.count(path) != 0;
}

// Splits a path into its folder part (with its trailing "/", possibly empty)
// and its last component.
void SplitPath(const std::string& path, std::string* folder, std::string* name) {
  const size_t slash = path.rfind('/');
  *folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  *name = slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links to the path of the file they name (which need not
// exist yet). False for a loop of links or an unreadable link.
bool FollowLinks(std::string path, std::string* out) {
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      *out = path;
      return true;
    }
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof buf) return false;
    std::string link(buf, static_cast<size_t>(n));
    if (link[0] != '/') {
      std::string folder, name;
      SplitPath(path, &folder, &name);
      link = folder + link;
    }
    path = link;
  }
  return false;
}

std::string Hex8(uint32_t v) {
  char buf[9];
  std::snprintf(buf, sizeof buf, "%08X", v);
  return buf;
}

// FNV-1a: a short, stable stand-in for a name too long to extend.
uint32_t NameHash(std::string_view s) {
  uint32_t h = 2166136261u;
  for (unsigned char c : s) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

// The part of a temporary name that comes from the file's name: the name
// itself, or its hash when `suffixRoom` more bytes would make it too long.
std::string Stem(const std::string& name, size_t suffixRoom) {
  if (name.size() + suffixRoom <= kNameMax) return name;
  std::string stem = "~";
  stem += Hex8(NameHash(name));
  return stem;
}

// Reads "<digits>.<digits>" as a process id and a counter.
bool ParseUniqueTail(std::string_view tail, long* pid) {
  const size_t dot = tail.find('.');
  if (dot == 0 || dot == std::string_view::npos || dot + 1 == tail.size() || dot > 10) return false;
  long v = 0;
  for (size_t i = 0; i < tail.size(); ++i) {
    const char c = tail[i];
    if (i == dot) continue;
    if (c < '0' || c > '9') return false;
    if (i < dot) v = v * 10 + (c - '0');
  }
  *pid = v;
  return v > 0;
}

// Removes the unique temporaries ("<stem>.~PID.N") that saves of processes
// no longer running left in the folder.
void RemoveDeadTemporaries(int folderFd, const std::string& folder, const std::string& stem) {
  const int listing = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* d = listing < 0 ? nullptr : ::fdopendir(listing);
  if (!d) {
    if (listing >= 0) ::close(listing);
    return;
  }
  const std::string prefix = stem + ".~";
  const long self = static_cast<long>(::getpid());
  while (dirent* e = ::readdir(d)) {
    const std::string_view entry(e->d_name);
    long pid = 0;
    if (entry.size() <= prefix.size() || entry.substr(0, prefix.size()) != prefix ||
        !ParseUniqueTail(entry.substr(prefix.size()), &pid))
      continue;
    const std::string name(entry);
    const bool dead =
        pid == self ? !IsLive(folder + name) : (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
    struct stat st;
    if (dead && ::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
      ::unlinkat(folderFd, name.c_str(), 0);
  }
  ::closedir(d);
}

int CreateExclusive(int folderFd, const std::string& name, mode_t mode) {
  int fd;
  do {
    fd = ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// A file that may be replaced: a plain file we may write.
bool Replaceable(int folderFd, const std::string& name, const struct stat& st) {
  return S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) != 0 && ::faccessat(folderFd, name.c_str(), W_OK, 0) == 0;
}

// Why a file in the way is not replaced: a plain file we may not write, a
// folder, or something that is no file to save into (a named pipe, a device).
int RefusalError(const struct stat& st) {
  return S_ISREG(st.st_mode) ? EACCES : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
}

}  // namespace

bool FileReplacement::Failed(int error) {
  error_ = error != 0 ? error : EIO;
  return false;
}

// Everything from here on is done through the descriptor of the file's
// folder: the folder a path below the per-user folder leads to, one name at
// a time without following a link (a link in the file's place refused),
// else the folder of the file the links lead to.
bool FileReplacement::Begin(std::u16string_view path, Temp temp) {
  Abandon();
  error_ = 0;
  const HeldPath held(path, true);
  held_ = held.Below();
  std::string folder, name;
  if (held_) {
    if (!held.Ok()) return Failed(held.Error());
    target_ = Utf16ToUtf8(path);
    std::string last;
    SplitPath(target_, &folder, &last);
    name = held.Name();
    folderFd_ = ::fcntl(held.Folder(), F_DUPFD_CLOEXEC, 0);
  } else {
    const std::string native = NativePath(path);
    if (native.empty() || native.back() == '/') return Failed(EINVAL);
    if (!FollowLinks(native, &target_)) return Failed(ELOOP);
    SplitPath(target_, &folder, &name);
    if (name.empty()) return Failed(EINVAL);
    folderFd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  }
  if (folderFd_ < 0) return Failed(errno);
  name_ = name;

  struct stat old;
  const bool exists = ::fstatat(folderFd_, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
  if (!exists && errno != ENOENT) return CloseFolder(errno);
  if (exists && held_ && S_ISLNK(old.st_mode)) return CloseFolder(ELOOP);
  if (exists && !Replaceable(folderFd_, name, old)) return CloseFolder(RefusalError(old));

  if (const int fault = faults_ ? faults_->Fault(FileStep::Create, target_) : 0) return CloseFolder(fault);
  // Below the per-user folder a save is the player's alone: 0600 whatever
  // the umask or the old file's mode. Elsewhere the old file's mode stays.
  const mode_t mode = held_ ? 0600 : 0666;
  int fd = -1;
  std::string tempName;
  if (temp == Temp::Backup) {
    tempName = Stem(name, 4) + ".bak";
    // A ".bak" left by a dead save is replaced; a folder in its way is not.
    struct stat st;
    if (::fstatat(folderFd_, tempName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        (S_ISDIR(st.st_mode) || ::unlinkat(folderFd_, tempName.c_str(), 0) != 0))
      return CloseFolder(S_ISDIR(st.st_mode) ? EISDIR : errno);
    fd = CreateExclusive(folderFd_, tempName, mode);
  } else {
    // Room for ".~", a process id and a counter of up to ten digits each.
    const std::string stem = Stem(name, 2 + 10 + 1 + 10);
    RemoveDeadTemporaries(folderFd_, folder, stem);
    for (int attempt = 0; attempt < kUniqueAttempts && fd < 0; ++attempt) {
      tempName = stem + ".~" + std::to_string(::getpid()) + "." + std::to_string(gTempCounter++);
      fd = CreateExclusive(folderFd_, tempName, mode);
      if (fd < 0 && errno != EEXIST) break;
    }
  }
  if (fd < 0) return CloseFolder(errno);
  struct stat mine;
  const bool modeSet = held_ ? ::fchmod(fd, 0600) == 0 : !exists || ::fchmod(fd, old.st_mode & 07777) == 0;
  if (::fstat(fd, &mine) != 0 || !modeSet) {
    const int error = errno;
    ::close(fd);
    ::unlinkat(folderFd_, tempName.c_str(), 0);
    return CloseFolder(error);
  }
  active_ = true;
  fd_ = fd;
  dev_ = mine.st_dev;
  ino_ = mine.st_ino;
  tempName_ = tempName;
  temporary_ = folder + tempName;
  MarkLive(temporary_, true);
  return true;
}

void FileReplacement::CloseFolder() {
  if (folderFd_ >= 0) ::close(folderFd_);
  folderFd_ = -1;
}

bool FileReplacement::CloseFolder(int error) {
  CloseFolder();
  return Failed(error);
}

bool FileReplacement::Write(std::string_view bytes) {
  if (!active_ || fd_ < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Failed(n < 0 ? errno : ENOSPC);
    done += static_cast<size_t>(n);
  }
  return true;
}

int FileReplacement::TakeDescriptor() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

bool FileReplacement::Commit() {
  if (!active_) return false;
  if (const int fault = faults_ ? faults_->Fault(FileStep::Sync, target_) : 0) {
    Abandon();
    return Failed(fault);
  }
  if (fd_ >= 0) {
    const bool synced = ::fsync(fd_) == 0;
    const int syncError = errno;
    const bool closed = ::close(fd_) == 0;
    const int closeError = errno;
    fd_ = -1;
    if (!synced || !closed) {
      Abandon();
      return Failed(!synced ? syncError : closeError);
    }
  }
  // The temporary file must still be ours, and the file still one we may
  // replace (it may have changed while the new content was written); below
  // the per-user folder, the folder still the one the game holds.
  struct stat st;
  if (::fstatat(folderFd_, tempName_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || st.st_dev != dev_ ||
      st.st_ino != ino_) {
    MarkLive(temporary_, false);
    active_ = false;
    return CloseFolder(ENOENT);
  }
  const HeldFolder* held = GetPlatformServices().userFolder;
  int error = held_ && !(held && held->InPlace()) ? ESTALE : 0;
  const bool exists = !error && ::fstatat(folderFd_, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
  if (exists && held_ && S_ISLNK(st.st_mode))
    error = ELOOP;
  else if (exists && !Replaceable(folderFd_, name_, st))
    error = RefusalError(st);
  if (!error && faults_) error = faults_->Fault(FileStep::Rename, target_);
  if (!error && ::renameat(folderFd_, tempName_.c_str(), folderFd_, name_.c_str()) != 0) error = errno;
  if (error) {
    Abandon();
    return Failed(error);
  }
  ::fsync(folderFd_);  // the rename made durable; a failure changes nothing, the file is in place
  MarkLive(temporary_, false);
  active_ = false;
  CloseFolder();
  // The folder swapped between the check and the rename: the save went
  // into the folder moved away, not the one its path names now, and is
  // told as the refused ones are.
  return !held_ || (held && held->InPlace()) || Failed(ESTALE);
}

void FileReplacement::Abandon() {
  if (!active_) return;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  struct stat st;
  if (::fstatat(folderFd_, tempName_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && st.st_dev == dev_ &&
      st.st_ino == ino_)
    ::unlinkat(folderFd_, tempName_.c_str(), 0);
  MarkLive(temporary_, false);
  active_ = false;
  CloseFolder();
}

}  // namespace plat

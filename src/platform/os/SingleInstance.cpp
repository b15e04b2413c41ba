#include "platform/os/SingleInstance.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/encoding/Ascii.h"
#include "platform/encoding/Utf.h"
#include "platform/os/FileSystem.h"
#include "platform/os/PlatformServices.h"

namespace plat {

namespace {

constexpr size_t kMaxNameBytes = 64;  // keeps the socket's short address short (SocketAddress)
constexpr const char* kPrivateFolderName = "single-instance-lock";

std::string Reason(const std::string& what, int error) { return what + ": " + std::strerror(error); }

// Keeps letters, digits, "-", "_" and non-ASCII characters; anything else
// (separators, control characters, dots that could make "..") becomes "_".
// At most kMaxNameBytes bytes, cut between two characters.
std::string SafeFileName(std::u16string_view name) {
  std::string out;
  for (unsigned char c : Utf16ToUtf8(name)) {
    const bool plain = IsAsciiLetter(c) || IsAsciiDigit(c) || c == '-' || c == '_' || c >= 0x80;
    out.push_back(plain ? static_cast<char>(c) : '_');
  }
  if (out.size() > kMaxNameBytes) {
    size_t cut = kMaxNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
    out.resize(cut);
  }
  if (out.empty()) out = "instance";
  return out;
}

// The address of the socket `name` in the folder: its path when that fits
// an address (108 bytes with the closing NUL), else the same file reached
// through this process's descriptor of the folder, "/proc/self/fd/N/name",
// which is short whatever the folder's path (there is no bind or connect
// relative to a folder descriptor). False only without the descriptor.
bool SocketAddress(const std::string& folder, int folderFd, const std::string& name, sockaddr_un* address) {
  std::memset(address, 0, sizeof(*address));
  address->sun_family = AF_UNIX;
  std::string path = folder + (folder.back() == '/' ? "" : "/") + name;
  if (path.size() >= sizeof(address->sun_path)) {
    if (folderFd < 0) return false;
    path = "/proc/self/fd/" + std::to_string(folderFd) + "/" + name;
    if (path.size() >= sizeof(address->sun_path)) return false;
  }
  std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
  return true;
}

// What keeps the folder of `st` from being private; empty when nothing.
// `mend`: a folder of ours open to others is closed to them instead.
std::string FolderProblem(const std::string& folder, int statResult, const struct stat& st, bool mend) {
  if (statResult != 0) return Reason(folder, errno);
  if (!S_ISDIR(st.st_mode)) return folder + " is not a folder";
  if (st.st_uid != ::geteuid()) return folder + " belongs to another user";
  if ((st.st_mode & 077) == 0) return {};
  if (!mend) return folder + " is open to other users";
  return ::chmod(folder.c_str(), 0700) == 0 ? std::string() : Reason(folder, errno);
}

constexpr const char* kElsewhere = "point XDG_DATA_HOME to a folder of your own in your home";

std::string ModeText(mode_t mode) {
  char text[16];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

// An account's name, else its number ("user N" in words, "N" in a command).
std::string AccountName(uid_t uid, bool inCommand = false) {
  struct passwd entry {};
  struct passwd* found = nullptr;
  char buffer[1024];
  if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_name)
    return found->pw_name;
  return (inCommand ? "" : "user ") + std::to_string(uid);
}

// A path as one word of a command: in single quotes, a quote in it closed,
// escaped and opened again.
std::string Quoted(const std::string& path) {
  std::string out = "'";
  for (char c : path) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string WithoutSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Whose a folder is when it is another user's, in words its player can act
// on. Folders of root's below one of this user's (a start as root with this
// user's HOME, as "sudo -E" makes one, leaves every folder it made so) are
// named at the topmost, with the command that gives them back; any other
// stays its owner's: the farm goes elsewhere.
std::string OwnerWords(std::string folder, uid_t owner) {
  folder = WithoutSlash(folder);
  const std::string me = AccountName(::geteuid());
  struct stat st {};
  for (std::string top = folder; owner == 0 && top.size() > 1;) {
    const std::string parent = top.substr(0, std::max<size_t>(top.rfind('/'), 1));
    if (::stat(parent.c_str(), &st) != 0 || (st.st_uid != 0 && st.st_uid != ::geteuid())) break;
    if (st.st_uid == ::geteuid())
      return top + " belongs to root, not to " + me +
             " (a start as another user with this HOME, such as sudo -E, leaves it so); give it back with: sudo chown "
             "-R " + AccountName(::geteuid(), true) + ": " + Quoted(top);
    top = parent;
  }
  return folder + " belongs to " + AccountName(owner) + ", not to " + me +
         ": another user's folder, which the game leaves alone; " + kElsewhere;
}

// Whose the folder is, when `error` says it may not be entered and it is
// another user's; empty otherwise.
std::string ForeignOwner(const std::string& folder, int error) {
  struct stat st {};
  if (error != EACCES || ::stat(folder.c_str(), &st) != 0 || st.st_uid == ::geteuid()) return {};
  return OwnerWords(folder, st.st_uid);
}

// Why a folder does not open, in words its player can act on.
std::string OpenFailure(const std::string& folder, int error) {
  const std::string owner = ForeignOwner(folder, error);
  return owner.empty() ? Reason(folder, error) : owner;
}

// Why a folder cannot be made: whose the folder above is when that is why.
std::string MakeFailure(const std::string& folder, int error) {
  const std::string owner = ForeignOwner(folder.substr(0, std::max<size_t>(folder.rfind('/'), 1)), error);
  return "cannot make " + folder + ": " + (owner.empty() ? std::strerror(error) : owner);
}

// Whether users other than this one may write in a folder: anyone, or a
// group that is not this user's own (its primary group, listing nobody
// else: a private group, as umask 002 systems give every user).
bool OthersMayWrite(const struct stat& st) {
  if ((st.st_mode & S_IWOTH) != 0) return true;
  if ((st.st_mode & S_IWGRP) == 0) return false;
  struct passwd entry {};
  struct passwd* me = nullptr;
  struct group group {};
  struct group* found = nullptr;
  char buffer[1024], groupBuffer[8192];
  if (::getpwuid_r(::geteuid(), &entry, buffer, sizeof buffer, &me) != 0 || !me || me->pw_gid != st.st_gid ||
      ::getgrgid_r(st.st_gid, &group, groupBuffer, sizeof groupBuffer, &found) != 0 || !found)
    return true;
  for (char** member = found->gr_mem; member && *member; ++member)
    if (std::strcmp(*member, me->pw_name) != 0) return true;
  return false;
}

// The first folder from `path` (absolute, without a closing "/") up to "/"
// that others may write and that lacks the sticky bit (which keeps them
// from renaming or removing what is not theirs), in words; empty when none.
std::string OpenAbove(std::string path) {
  for (;;) {
    struct stat st {};
    const char* folder = path.empty() ? "/" : path.c_str();
    if (::stat(folder, &st) == 0 && S_ISDIR(st.st_mode) && OthersMayWrite(st) && (st.st_mode & S_ISVTX) == 0) {
      return std::string(folder) + " may be written by other users (" + ModeText(st.st_mode) +
             ") and has no sticky bit: another user could put a folder or a link of theirs in the game's way; " +
             kElsewhere;
    }
    if (path.empty()) return {};
    path.resize(path.rfind('/'));
  }
}

int LockCallOf(int fd, int operation) {
  const LockCall call = GetPlatformServices().lockCall;
  return call ? call(fd, operation) : ::flock(fd, operation);
}

}  // namespace

SingleInstance::SingleInstance(std::string folder, LockOn on, std::string given)
    : folder_(folder.empty() ? DefaultFolder() : std::move(folder)), given_(WithoutSlash(std::move(given))), on_(on) {}

SingleInstance::~SingleInstance() { Release(); }

bool SingleInstance::IsPrivateFolder(const std::string& folder, std::string* why) {
  struct stat st {};
  const std::string reason = folder.empty() || folder[0] != '/'
                                 ? "\"" + folder + "\" is not an absolute path"
                                 : FolderProblem(folder, ::stat(folder.c_str(), &st), st, false);
  if (why) *why = reason;
  return reason.empty();
}

// The runtime folder when it is private; else our own folder in the parent,
// made (or mended to) 0700 when it is a folder of ours and not a link.
std::string SingleInstance::PrivateFolder(const std::string& fallbackParent, std::string* why) {
  std::string runtimeWhy;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] != '\0') {
    if (IsPrivateFolder(runtime, &runtimeWhy)) return runtime;
  } else {
    runtimeWhy = "XDG_RUNTIME_DIR is not set";
  }
  std::string folder = fallbackParent;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.empty()) {
    if (why) *why = runtimeWhy;
    return {};
  }
  folder += std::string("/") + kPrivateFolderName;
  struct stat st {};
  const std::string reason = ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST
                                 ? Reason(folder, errno)
                                 : FolderProblem(folder, ::lstat(folder.c_str(), &st), st, true);
  if (reason.empty()) return folder;
  if (why) *why = runtimeWhy + "; " + reason;
  return {};
}

std::string SingleInstance::DefaultFolder() {
  const std::string program = Utf16ToUtf8(GetProgramPath());
  return PrivateFolder(program.substr(0, program.rfind('/') + 1), nullptr);
}

std::string SingleInstance::FilePath(const char* extension) const {
  std::string path = folder_;
  if (!path.empty() && path.back() != '/') path.push_back('/');
  return path + fileName_ + extension;
}

std::string SingleInstance::LockPath() const { return on_ == LockOn::Folder ? folder_ : FilePath(".lock"); }

int SingleInstance::LockTarget() {
  if (on_ == LockOn::Folder) return held_.Descriptor();
  const std::string lockName = fileName_ + ".lock";
  const int fd =
      ::openat(held_.Descriptor(), lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  struct stat st {};
  if (fd < 0) {
    why_ = Reason(FilePath(".lock"), errno);
  } else if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
    why_ = FilePath(".lock") + " is not a plain file of this user";
    ::close(fd);
    return -1;
  }
  return fd;
}

InstanceStatus SingleInstance::Acquire(std::u16string_view name) {
  Release();
  why_.clear();
  channelWhy_.clear();
  folderNote_.clear();
  lockError_ = 0;
  name_ = std::u16string(name);
  fileName_ = SafeFileName(name);
  if (folder_.empty() || folder_[0] != '/') {
    why_ = folder_.empty() ? "no private folder for the lock (XDG_RUNTIME_DIR is not usable)"
                           : "\"" + folder_ + "\" is not an absolute path";
    return InstanceStatus::Unavailable;
  }
  if (on_ == LockOn::Folder && !given_.empty() ? !OpenOwnFolder() : !held_.Open(folder_)) {
    if (why_.empty()) why_ = OpenFailure(folder_, errno);
    return InstanceStatus::Unavailable;
  }
  const int fd = LockTarget();
  if (fd < 0) {
    held_.Close();
    return InstanceStatus::Unavailable;
  }
  if (LockCallOf(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (fd != held_.Descriptor()) ::close(fd);
    if (error == EWOULDBLOCK) {
      held_.Close();
      return InstanceStatus::AlreadyRunning;
    }
    // A file system whose locks do not work (ENOLCK: one shared without its
    // lock service): the game runs without the guard rather than not at
    // all, and its caller says so, in the log and to the player; refusing
    // would leave a player whose files live there without the game.
    why_ = Reason(LockPath(), error);
    lockError_ = error;
    unguarded_ = true;
  } else {
    lockFd_ = fd == held_.Descriptor() ? -1 : fd;
    locked_ = true;
  }
  if (on_ == LockOn::Folder) CloseToOthers();
  if (locked_)
    Listen();
  else
    channelWhy_ = "none without the lock (another copy could be listening)";
  return locked_ ? InstanceStatus::First : InstanceStatus::Unguarded;
}

// As ssh's strict modes reach a user's files: what is above the given
// path may be the system's or a link (a home elsewhere); below it, each
// folder is opened from the one above without following a link, and is
// this user's, closed to others, or the start stops with words the player
// can act on. Nothing is made or changed below the given folder before
// the folders above pass, nor in a folder before it passes.
bool SingleInstance::OpenOwnFolder() {
  std::vector<std::string> names, notes;
  for (size_t at = given_.size(), end = 0; at < folder_.size(); at = end + 1) {
    end = std::min(folder_.find('/', at), folder_.size());
    if (end > at && folder_.compare(at, end - at, ".") != 0) names.push_back(folder_.substr(at, end - at));
  }
  if (names.empty() || folder_.compare(0, given_.size(), given_) != 0 ||
      (given_ != "/" && folder_[given_.size()] != '/')) {
    why_ = folder_ + " is not below " + given_;
    return false;
  }
  for (size_t at = 1; at <= given_.size(); ++at) {
    if (at < given_.size() && given_[at] != '/') continue;
    const std::string level = given_.substr(0, at);
    if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) {
      why_ = MakeFailure(level, errno);
      return false;
    }
  }
  int fd = ::open(given_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);  // (only entered)
  if (fd < 0) {
    why_ = OpenFailure(given_, errno);
    return false;
  }
  // Above it, as written and as the links lead.
  char* real = ::realpath(given_.c_str(), nullptr);
  why_ = OpenAbove(given_ == "/" ? "" : given_);
  if (why_.empty() && real) why_ = OpenAbove(std::strcmp(real, "/") == 0 ? "" : real);
  std::free(real);
  std::string path = given_ == "/" ? "" : given_;
  for (size_t i = 0; i < names.size() && why_.empty(); ++i) {
    const std::string& name = names[i];
    path += "/" + name;
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int next = ::openat(fd, name.c_str(), kFlags);
    if (next < 0 && errno == ENOENT && (::mkdirat(fd, name.c_str(), 0700) == 0 || errno == EEXIST))
      next = ::openat(fd, name.c_str(), kFlags);
    const int error = errno;
    struct stat st {};
    const bool seen = next >= 0 ? ::fstat(next, &st) == 0 : ::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (seen && S_ISLNK(st.st_mode))
      why_ = path + " is a link, which the game does not follow there (another user may have put it in its way): "
                    "remove it, or " + kElsewhere;
    else if (seen && !S_ISDIR(st.st_mode))
      why_ = path + " is not a folder";
    else if (seen && st.st_uid != ::geteuid())
      why_ = OwnerWords(path, st.st_uid);
    else if (next < 0)
      why_ = seen ? Reason(path, error) : MakeFailure(path, error);
    else if ((st.st_mode & 077) != 0 && ::fchmod(next, st.st_mode & 07700) != 0)
      why_ = Reason(path, errno);
    else if ((st.st_mode & 077) != 0)
      notes.push_back(name + " was open to other users (" + ModeText(st.st_mode) + "): closed to them");
    ::close(fd);
    fd = next;
  }
  if (!why_.empty()) {
    if (fd >= 0) ::close(fd);
    return false;
  }
  for (const std::string& note : notes) folderNote_ += (folderNote_.empty() ? "" : "; ") + note;
  held_.Hold(fd, folder_);
  return true;
}

// The per-user folder holds the player's files: others have no business in
// it, and one who may write there can put a link in a file's place. One of
// this user is closed to them; another user's is only reported.
void SingleInstance::CloseToOthers() {
  struct stat st {};
  if (::fstat(held_.Descriptor(), &st) != 0 || (st.st_mode & 077) == 0) return;
  const std::string modes = ModeText(st.st_mode);
  if (st.st_uid != ::geteuid())
    folderNote_ = "is open to other users (" + modes + ") and belongs to " + AccountName(st.st_uid) + ": left as it is";
  else if (::fchmod(held_.Descriptor(), st.st_mode & 07700) == 0)
    folderNote_ = "was open to other users (" + modes + "): closed to them";
  else
    folderNote_ = "is open to other users (" + modes + ") and could not be closed to them: " + std::strerror(errno);
}

// The forward channel is a convenience: without it the lock still holds
// (ChannelWhy says why there is none).
void SingleInstance::Listen() {
  const std::string socketName = fileName_ + ".sock";
  const std::string socketPath = FilePath(".sock");
  sockaddr_un address;
  const int folderFd = held_.Descriptor();
  if (!SocketAddress(folder_, folderFd, socketName, &address)) {
    channelWhy_ = socketPath + " has no address";
    return;
  }
  struct stat st {};
  if (::fstatat(folderFd, socketName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (!S_ISSOCK(st.st_mode)) {
      channelWhy_ = socketPath + " is in the way (not a socket)";
      return;
    }
    ::unlinkat(folderFd, socketName.c_str(), 0);  // left over from an instance that did not end cleanly
  }
  const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (s < 0) {
    channelWhy_ = Reason("a local socket", errno);
    return;
  }
  // Nobody can connect before listen, so the mode is set in between.
  const bool bound = ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  if (bound && ::fchmodat(folderFd, socketName.c_str(), 0600, 0) == 0 && ::listen(s, 8) == 0) {
    listenFd_ = s;
    return;
  }
  channelWhy_ = Reason(socketPath, errno);
  ::close(s);
  if (bound) ::unlinkat(folderFd, socketName.c_str(), 0);
}

void SingleInstance::Release() {
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    listenFd_ = -1;
    ::unlinkat(held_.Descriptor(), (fileName_ + ".sock").c_str(), 0);
  }
  if (lockFd_ >= 0) ::close(lockFd_);  // releases the file's lock
  lockFd_ = -1;
  held_.Close();  // releases the folder's
  locked_ = false;
  unguarded_ = false;
}

bool SingleInstance::SignalFirstInstance() const {
  if (fileName_.empty() || folder_.empty()) return false;
  const int folder = ::open(folder_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return false;
  sockaddr_un address;
  bool ok = false;
  if (SocketAddress(folder_, folder, fileName_ + ".sock", &address)) {
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s >= 0) {
      ok = ::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
      ::close(s);
    }
  }
  ::close(folder);
  return ok;
}

int SingleInstance::TakeForwardRequests() {
  if (listenFd_ < 0) return 0;
  int count = 0;
  for (;;) {
    const int c = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (c < 0) break;
    ::close(c);
    ++count;
  }
  return count;
}

}  // namespace plat

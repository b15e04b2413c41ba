#include "platform/os/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/encoding/Ascii.h"
#include "platform/encoding/Utf.h"
#include "platform/os/FileSystem.h"

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

}  // namespace

SingleInstance::SingleInstance(std::string folder) : folder_(folder.empty() ? DefaultFolder() : std::move(folder)) {}

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

std::string SingleInstance::LockPath() const { return folderLocked_ ? folder_ : FilePath(".lock"); }

InstanceStatus SingleInstance::Acquire(std::u16string_view name) {
  Release();
  why_.clear();
  channelWhy_.clear();
  name_ = std::u16string(name);
  fileName_ = SafeFileName(name);
  if (folder_.empty() || folder_[0] != '/') {
    why_ = folder_.empty() ? "no private folder for the lock (XDG_RUNTIME_DIR is not usable)"
                           : "\"" + folder_ + "\" is not an absolute path";
    return InstanceStatus::Unavailable;
  }
  const int folder = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) {
    why_ = Reason(folder_, errno);
    return InstanceStatus::Unavailable;
  }
  const std::string lockName = fileName_ + ".lock";
  bool folderLocked = false;
  int fd = ::openat(folder, lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
    // A folder this process may not write into: the lock file an earlier
    // start made, for reading; without one, the folder itself.
    fd = ::openat(folder, lockName.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT) {
      fd = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
      folderLocked = true;
    }
  }
  const int openError = errno;
  struct stat st {};
  if (fd < 0) {
    why_ = Reason(FilePath(".lock"), openError);
  } else if (!folderLocked && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())) {
    why_ = FilePath(".lock") + " is not a plain file of this user";
  } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error != EWOULDBLOCK) why_ = Reason(folderLocked ? folder_ : FilePath(".lock"), error);
  } else {
    lockFd_ = fd;
    folderFd_ = folder;
    folderLocked_ = folderLocked;
    Listen();
    return InstanceStatus::First;
  }
  if (fd >= 0) ::close(fd);
  ::close(folder);
  return why_.empty() ? InstanceStatus::AlreadyRunning : InstanceStatus::Unavailable;
}

// The forward channel is a convenience: without it the lock still holds
// (ChannelWhy says why there is none).
void SingleInstance::Listen() {
  const std::string socketName = fileName_ + ".sock";
  const std::string socketPath = FilePath(".sock");
  sockaddr_un address;
  if (!SocketAddress(folder_, folderFd_, socketName, &address)) {
    channelWhy_ = socketPath + " has no address";
    return;
  }
  struct stat st {};
  if (::fstatat(folderFd_, socketName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (!S_ISSOCK(st.st_mode)) {
      channelWhy_ = socketPath + " is in the way (not a socket)";
      return;
    }
    ::unlinkat(folderFd_, socketName.c_str(), 0);  // left over from an instance that did not end cleanly
  }
  const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (s < 0) {
    channelWhy_ = Reason("a local socket", errno);
    return;
  }
  // Nobody can connect before listen, so the mode is set in between.
  const bool bound = ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  if (bound && ::fchmodat(folderFd_, socketName.c_str(), 0600, 0) == 0 && ::listen(s, 8) == 0) {
    listenFd_ = s;
    return;
  }
  channelWhy_ = Reason(socketPath, errno);
  ::close(s);
  if (bound) ::unlinkat(folderFd_, socketName.c_str(), 0);
}

void SingleInstance::Release() {
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    listenFd_ = -1;
    ::unlinkat(folderFd_, (fileName_ + ".sock").c_str(), 0);
  }
  if (lockFd_ >= 0) {
    ::close(lockFd_);  // releases the lock
    lockFd_ = -1;
  }
  if (folderFd_ >= 0) {
    ::close(folderFd_);
    folderFd_ = -1;
  }
  folderLocked_ = false;
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

#include "platform/os/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/encoding/Ascii.h"
#include "platform/encoding/Utf.h"
#include "platform/os/FileSystem.h"

namespace plat {

namespace {

constexpr size_t kMaxNameUnits = 64;  // at most 192 bytes of UTF-8, well inside a file name
constexpr const char* kPrivateFolderName = "single-instance-lock";

// FNV-1a over 64 bits, in hexadecimal: a key of any length as a short,
// stable part of a file name.
std::string KeyHash(const std::string& key) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : key) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
  return buf;
}

std::string Reason(const std::string& what, int error) { return what + ": " + std::strerror(error); }

// Keeps letters, digits, "-", "_" and non-ASCII characters; anything else
// (separators, control characters, dots that could make "..") becomes "_".
std::string SafeFileName(std::u16string_view name) {
  std::u16string_view cut = name.substr(0, kMaxNameUnits);
  if (!cut.empty() && cut.back() >= 0xD800 && cut.back() <= 0xDBFF) cut.remove_suffix(1);  // half a pair
  std::string out;
  for (unsigned char c : Utf16ToUtf8(cut)) {
    const bool plain = IsAsciiLetter(c) || IsAsciiDigit(c) || c == '-' || c == '_' || c >= 0x80;
    out.push_back(plain ? static_cast<char>(c) : '_');
  }
  if (out.empty()) out = "instance";
  return out;
}

bool MakeSocketAddress(const std::string& path, sockaddr_un* address) {
  std::memset(address, 0, sizeof(*address));
  address->sun_family = AF_UNIX;
  if (path.size() >= sizeof(address->sun_path)) return false;
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

SingleInstance::SingleInstance(std::string folder, std::string key)
    : folder_(folder.empty() ? DefaultFolder() : std::move(folder)), key_(std::move(key)) {}

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
  path += fileName_;
  if (!key_.empty()) {
    path.push_back('-');
    path += KeyHash(key_);
  }
  return path + extension;
}

InstanceStatus SingleInstance::Acquire(std::u16string_view name) {
  Release();
  why_.clear();
  name_ = std::u16string(name);
  fileName_ = SafeFileName(name);
  if (!IsPrivateFolder(folder_, &why_)) {
    if (folder_.empty()) why_ = "no private folder for the lock (XDG_RUNTIME_DIR is not usable)";
    return InstanceStatus::Unavailable;
  }
  const std::string lockPath = FilePath(".lock");
  const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  if (fd < 0) {
    why_ = Reason(lockPath, errno);
    return InstanceStatus::Unavailable;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
    ::close(fd);
    why_ = lockPath + " is not a plain file of this user";
    return InstanceStatus::Unavailable;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK) return InstanceStatus::AlreadyRunning;
    why_ = Reason(lockPath, error);
    return InstanceStatus::Unavailable;
  }
  lockFd_ = fd;

  // The forward channel is a convenience: without it the lock still holds.
  sockaddr_un address;
  const std::string socketPath = FilePath(".sock");
  if (MakeSocketAddress(socketPath, &address)) {
    ::unlink(socketPath.c_str());  // left over from an instance that did not end cleanly
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s >= 0) {
      // Nobody can connect before listen, so the mode is set in between.
      const bool bound = ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
      if (bound && ::chmod(socketPath.c_str(), 0600) == 0 && ::listen(s, 8) == 0) {
        listenFd_ = s;
      } else {
        ::close(s);
        if (bound) ::unlink(socketPath.c_str());
      }
    }
  }
  return InstanceStatus::First;
}

void SingleInstance::Release() {
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    listenFd_ = -1;
    ::unlink(FilePath(".sock").c_str());
  }
  if (lockFd_ >= 0) {
    ::close(lockFd_);  // releases the lock
    lockFd_ = -1;
  }
}

bool SingleInstance::SignalFirstInstance() const {
  if (fileName_.empty()) return false;
  sockaddr_un address;
  if (!MakeSocketAddress(FilePath(".sock"), &address)) return false;
  const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (s < 0) return false;
  const bool ok = ::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  ::close(s);
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

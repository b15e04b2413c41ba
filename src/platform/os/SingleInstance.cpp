#include "platform/os/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/encoding/Ascii.h"
#include "platform/encoding/Utf.h"

namespace plat {

namespace {

constexpr size_t kMaxNameUnits = 64;  // at most 192 bytes of UTF-8, well inside a file name

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

}  // namespace

SingleInstance::SingleInstance(std::string folder) : folder_(folder.empty() ? DefaultFolder() : std::move(folder)) {}

SingleInstance::~SingleInstance() { Release(); }

std::string SingleInstance::DefaultFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return runtime;
  const char* temp = std::getenv("TMPDIR");
  if (temp != nullptr && temp[0] == '/') return temp;
  return "/tmp";
}

std::string SingleInstance::FilePath(const char* extension) const {
  std::string path = folder_;
  if (!path.empty() && path.back() != '/') path.push_back('/');
  // Outside the per-user runtime folder the user id keeps users apart.
  path += fileName_ + "-" + std::to_string(static_cast<unsigned long>(::getuid())) + extension;
  return path;
}

InstanceStatus SingleInstance::Acquire(std::u16string_view name) {
  Release();
  name_ = std::u16string(name);
  fileName_ = SafeFileName(name);
  const std::string lockPath = FilePath(".lock");
  const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return InstanceStatus::Unavailable;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? InstanceStatus::AlreadyRunning : InstanceStatus::Unavailable;
  }
  lockFd_ = fd;

  // The forward channel is a convenience: without it the lock still holds.
  sockaddr_un address;
  const std::string socketPath = FilePath(".sock");
  if (MakeSocketAddress(socketPath, &address)) {
    ::unlink(socketPath.c_str());  // left over from an instance that did not end cleanly
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s >= 0) {
      if (::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 && ::listen(s, 8) == 0) {
        listenFd_ = s;
      } else {
        ::close(s);
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

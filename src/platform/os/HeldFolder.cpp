#include "platform/os/HeldFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/encoding/Utf.h"
#include "platform/os/PlatformServices.h"

namespace plat {

namespace {

// The names of a path, "" and "." left out: "/a//b/./c" and "/a/b/c" are
// the same path ("\\" separates as "/" does, as everywhere in the game).
std::vector<std::string_view> PathNames(std::string_view path) {
  std::vector<std::string_view> names;
  size_t at = 0;
  while (at < path.size()) {
    size_t end = at;
    while (end < path.size() && path[end] != '/' && path[end] != '\\') ++end;
    const std::string_view name = path.substr(at, end - at);
    if (!name.empty() && name != ".") names.push_back(name);
    at = end + 1;
  }
  return names;
}

}  // namespace

bool HeldFolder::Open(const std::string& path) {
  Close();
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) Hold(fd, path);
  return fd >= 0;
}

void HeldFolder::Hold(int fd, const std::string& path) {
  Close();
  fd_ = fd;
  path_ = path;
}

void HeldFolder::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  path_.clear();
}

bool HeldFolder::InPlace() const {
  struct stat held {}, named {};
  return fd_ >= 0 && ::fstat(fd_, &held) == 0 && ::stat(path_.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

HeldPath::HeldPath(std::u16string_view path, bool inPlace) : HeldPath(std::string_view(Utf16ToUtf8(path)), inPlace) {}

HeldPath::HeldPath(std::string_view path, bool inPlace) {
  const HeldFolder* held = GetPlatformServices().userFolder;
  if (!held || !held->IsOpen() || path.empty() || (path[0] != '/' && path[0] != '\\')) return;
  const std::vector<std::string_view> base = PathNames(held->Path()), names = PathNames(path);
  if (names.size() <= base.size()) return;
  for (size_t i = 0; i < base.size(); ++i)
    if (names[i] != base[i]) return;
  below_ = true;
  if (inPlace && !held->InPlace()) {
    error_ = ESTALE;
    return;
  }
  int folder = held->Descriptor();
  for (size_t i = base.size(); i < names.size(); ++i) {
    if (names[i] == "..") {
      error_ = EINVAL;
      break;
    }
    if (i + 1 == names.size()) {
      folder_ = folder;
      name_ = std::string(names[i]);
      return;
    }
    const std::string name(names[i]);
    const int next = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    error_ = next < 0 ? errno : 0;
    struct stat st {};
    if (next < 0 && ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
      error_ = ELOOP;  // (O_DIRECTORY may say ENOTDIR first)
    if (own_) ::close(folder);
    own_ = next >= 0;
    folder = next;
    if (next < 0) break;
  }
  if (own_ && folder >= 0) ::close(folder);
  own_ = false;
}

HeldPath::~HeldPath() {
  if (own_ && folder_ >= 0) ::close(folder_);
}

bool HeldPath::Fail() const {
  errno = error_ != 0 ? error_ : EINVAL;
  return false;
}

}  // namespace plat

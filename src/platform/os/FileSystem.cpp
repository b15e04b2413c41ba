#include "platform/os/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

#include "platform/encoding/Ascii.h"
#include "platform/encoding/Utf.h"
#include "platform/os/HeldFolder.h"

namespace plat {

namespace {

bool Exists(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}

// Finds the entry of `dir` whose name matches `name` ignoring case; empty when
// none does. An exact match is preferred by the caller before we get here.
std::string FindInsensitive(const std::string& dir, std::string_view name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string found;
  while (dirent* e = ::readdir(d)) {
    if (AsciiEqualNoCase(e->d_name, name)) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

}  // namespace

std::string NativePath(std::string_view utf8Path) {
  std::string p(utf8Path);
  for (char& c : p)
    if (c == '\\') c = '/';
  if (p.empty() || Exists(p)) return p;

  // Walk the components; once one is missing even ignoring case, the rest is
  // kept as spelled (the caller may be about to create it).
  std::vector<std::string_view> parts;
  size_t i = 0;
  const bool absolute = p[0] == '/';
  while (i < p.size()) {
    while (i < p.size() && p[i] == '/') ++i;
    size_t j = i;
    while (j < p.size() && p[j] != '/') ++j;
    if (j > i) parts.emplace_back(p.data() + i, j - i);
    i = j;
  }
  const bool trailingSlash = p.back() == '/';
  std::string out = absolute ? "/" : "";
  bool resolving = true;
  for (size_t k = 0; k < parts.size(); ++k) {
    std::string_view part = parts[k];
    std::string next = out + std::string(part);
    if (resolving && part != "." && part != ".." && !Exists(next)) {
      std::string dir = out.empty() ? "." : out;
      std::string match = FindInsensitive(dir, part);
      if (!match.empty())
        next = out + match;
      else
        resolving = false;
    }
    out = next;
    if (k + 1 < parts.size() || trailingSlash) out += '/';
  }
  return out;
}

std::string NativePath(std::u16string_view path) { return NativePath(Utf16ToUtf8(path)); }

uint32_t GetFileAttributes(std::u16string_view path) {
  struct stat st;
  if (::stat(NativePath(path).c_str(), &st) != 0) return kInvalidAttributes;
  if (S_ISDIR(st.st_mode)) return kAttrDirectory;
  if (!S_ISREG(st.st_mode)) return kAttrDevice;  // a device, a named pipe or a socket
  uint32_t a = kAttrNormal;
  if ((st.st_mode & S_IWUSR) == 0) a |= kAttrReadOnly;
  return a;
}

// Below the per-user folder the changes go through its descriptor, one name
// at a time, following no link (HeldFolder.h); elsewhere the path as it
// stands.
bool DeleteFile(std::u16string_view path) {
  const HeldPath held(path, true);
  if (held.Below()) return held.Ok() ? ::unlinkat(held.Folder(), held.Name().c_str(), 0) == 0 : held.Fail();
  return ::unlink(NativePath(path).c_str()) == 0;
}

bool RenameFile(std::u16string_view from, std::u16string_view to) {
  const HeldPath a(from, true), b(to, true);
  if (a.Below() || b.Below()) {
    if (!a.Ok() || !b.Ok()) return a.Ok() ? b.Fail() : a.Fail();
    return ::renameat(a.Folder(), a.Name().c_str(), b.Folder(), b.Name().c_str()) == 0;
  }
  return std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

// renameat2's no-replace flag; where the file system lacks it, a hard link
// (which never replaces either) and the old name removed.
bool RenameFileNoReplace(std::u16string_view from, std::u16string_view to) {
  const HeldPath a(from, true), b(to, true);
  std::string native[2];
  int folder[2] = {AT_FDCWD, AT_FDCWD};
  if (a.Below() || b.Below()) {
    if (!a.Ok() || !b.Ok()) return a.Ok() ? b.Fail() : a.Fail();
    native[0] = a.Name(), native[1] = b.Name();
    folder[0] = a.Folder(), folder[1] = b.Folder();
  } else {
    native[0] = NativePath(from), native[1] = NativePath(to);
  }
  const char* x = native[0].c_str();
  const char* y = native[1].c_str();
  if (::renameat2(folder[0], x, folder[1], y, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  return ::linkat(folder[0], x, folder[1], y, 0) == 0 && ::unlinkat(folder[0], x, 0) == 0;
}

// Below the per-user folder a folder is made 0700 whatever the umask, and
// one of this user that others may enter is closed to them (as the
// per-user folder is).
bool CreateDirectory(std::u16string_view path) {
  const HeldPath held(path, true);
  if (held.Below()) {
    if (!held.Ok()) return held.Fail();
    const bool made = ::mkdirat(held.Folder(), held.Name().c_str(), 0700) == 0;
    if (!made && errno != EEXIST) return false;
    const int fd = ::openat(held.Folder(), held.Name().c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid()) {
      const mode_t mode = made ? 0700 : st.st_mode & 07700;
      if ((st.st_mode & 07777) != mode) ::fchmod(fd, mode);
    }
    ::close(fd);
    return true;
  }
  const std::string p = NativePath(path);
  if (::mkdir(p.c_str(), 0777) == 0) return true;
  struct stat st;
  return errno == EEXIST && ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveDirectory(std::u16string_view path) {
  const HeldPath held(path, true);
  if (held.Below()) return held.Ok() ? ::unlinkat(held.Folder(), held.Name().c_str(), AT_REMOVEDIR) == 0 : held.Fail();
  return ::rmdir(NativePath(path).c_str()) == 0;
}

std::vector<std::u16string> ListEntries(std::u16string_view folder) {
  std::vector<std::u16string> names;
  // Chosen whole rather than assigned after: GCC 12 at -O3 takes the
  // assignment of "." for an overlapping copy (-Wrestrict).
  const std::string native = NativePath(folder);
  const std::string dir = native.empty() ? std::string(".") : native;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return names;
  while (dirent* e = ::readdir(d)) {
    const std::string_view name = e->d_name;
    if (name != "." && name != "..") names.push_back(Utf8ToUtf16(name));
  }
  ::closedir(d);
  return names;
}

bool IsLink(std::u16string_view path) {
  struct stat st;
  return ::lstat(NativePath(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string NonFileKind(std::u16string_view path) {
  const std::string native = NativePath(path);
  struct stat st;
  if (::stat(native.c_str(), &st) != 0) return ::lstat(native.c_str(), &st) == 0 ? "a link to nothing" : "";
  if (S_ISREG(st.st_mode)) return {};
  if (S_ISDIR(st.st_mode)) return "a folder";
  if (S_ISFIFO(st.st_mode)) return "a named pipe";
  if (S_ISSOCK(st.st_mode)) return "a socket";
  return "a device";
}

std::u16string GetCurrentDirectory() {
  std::vector<char> buf(PATH_MAX + 1);
  if (!::getcwd(buf.data(), buf.size())) return u".";
  return Utf8ToUtf16(buf.data());
}

bool SetCurrentDirectory(std::u16string_view path) {
  if (path.empty()) return false;
  return ::chdir(NativePath(path).c_str()) == 0;
}

std::u16string GetProgramPath() {
  std::vector<char> buf(PATH_MAX + 1);
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return {};
  return Utf8ToUtf16(std::string_view(buf.data(), static_cast<size_t>(n)));
}

}  // namespace plat

#include "platform/os/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/os/FileSystem.h"
#include "platform/os/HeldFolder.h"

namespace plat {

namespace {

// Largest single read/write request; the loops below carry on past it.
constexpr uint64_t kChunk = uint64_t{1} << 30;

// Regular files only: a named pipe in a file's place would block the open
// (or the first read) for ever.
FileHandle OpenNative(const std::string& path, int flags) {
  const int fd = OpenRegularFile(path, flags);
  return fd < 0 ? kInvalidFile : fd;
}

int AccessFlags(uint32_t access) {
  const bool read = (access & kFileRead) != 0;
  const bool write = (access & kFileWrite) != 0;
  if (write && read) return O_RDWR;
  if (write) return O_WRONLY;
  return O_RDONLY;
}

// Below the per-user folder, a file opened for writing is reached from the
// held folder's descriptor without following a link (the game's log stays
// in its folder whatever becomes of the folder's path), and is the
// player's: another user's is refused (EACCES) before it is cut; one made
// there is 0600 whatever the umask.
template <class Path>
FileHandle OpenForWriting(Path path, int flags) {
  const HeldPath held(path, false);
  if (!held.Below()) return OpenNative(NativePath(path), flags);
  if (!held.Ok()) {
    held.Fail();
    return kInvalidFile;
  }
  const int fd = OpenRegularFileAt(held.Folder(), held.Name(), (flags & ~O_TRUNC) | O_NOFOLLOW);
  struct stat st {};
  const bool mine = fd >= 0 && ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid();
  if (fd >= 0 && (!mine || ((flags & O_TRUNC) != 0 && ::ftruncate(fd, 0) != 0))) {
    const int error = mine ? errno : EACCES;
    ::close(fd);
    errno = error;
    return kInvalidFile;
  }
  if (fd >= 0 && (flags & O_CREAT) != 0) ::fchmod(fd, 0600);
  return fd < 0 ? kInvalidFile : fd;
}

}  // namespace

FileHandle OpenFile(std::u16string_view path, uint32_t access) {
  const int flags = AccessFlags(access);
  return flags == O_RDONLY ? OpenNative(NativePath(path), flags) : OpenForWriting(path, flags);
}

FileHandle OpenFile(std::string_view utf8Path, uint32_t access) {
  const int flags = AccessFlags(access);
  return flags == O_RDONLY ? OpenNative(NativePath(utf8Path), flags) : OpenForWriting(utf8Path, flags);
}

FileHandle CreateFile(std::u16string_view path) { return OpenForWriting(path, O_RDWR | O_CREAT | O_TRUNC); }

FileHandle CreateFile(std::string_view utf8Path) { return OpenForWriting(utf8Path, O_RDWR | O_CREAT | O_TRUNC); }

uint64_t ReadFile(FileHandle file, void* buffer, uint64_t size) {
  if (file < 0 || (!buffer && size)) return kFileError;
  auto* p = static_cast<char*>(buffer);
  uint64_t done = 0;
  while (done < size) {
    const uint64_t want = size - done < kChunk ? size - done : kChunk;
    const ssize_t got = ::read(file, p + done, static_cast<size_t>(want));
    if (got < 0) {
      if (errno == EINTR) continue;
      return kFileError;
    }
    if (got == 0) break;  // end of file
    done += static_cast<uint64_t>(got);
  }
  return done;
}

uint64_t WriteFile(FileHandle file, const void* buffer, uint64_t size) {
  if (file < 0 || (!buffer && size)) return kFileError;
  const auto* p = static_cast<const char*>(buffer);
  uint64_t done = 0;
  while (done < size) {
    const uint64_t want = size - done < kChunk ? size - done : kChunk;
    const ssize_t put = ::write(file, p + done, static_cast<size_t>(want));
    if (put < 0) {
      if (errno == EINTR) continue;
      return kFileError;
    }
    if (put == 0) return kFileError;  // no progress: disk full or similar
    done += static_cast<uint64_t>(put);
  }
  return done;
}

bool SeekFile(FileHandle file, int64_t offset, uint32_t origin, uint64_t* newPosition) {
  if (file < 0 || origin > 2) return false;
  static constexpr int kWhence[3] = {SEEK_SET, SEEK_CUR, SEEK_END};
  const off_t at = ::lseek(file, static_cast<off_t>(offset), kWhence[origin]);
  if (at < 0) return false;
  if (newPosition) *newPosition = static_cast<uint64_t>(at);
  return true;
}

bool TruncateFile(FileHandle file) {
  if (file < 0) return false;
  const off_t at = ::lseek(file, 0, SEEK_CUR);
  if (at < 0) return false;
  int rc;
  do {
    rc = ::ftruncate(file, at);
  } while (rc != 0 && errno == EINTR);
  return rc == 0;
}

bool FlushFile(FileHandle file) { return file >= 0 && ::fsync(file) == 0; }

void CloseFile(FileHandle file) {
  if (file >= 0) ::close(file);
}

// O_NONBLOCK keeps the open of a pipe without a writer (or for writing,
// without a reader) from waiting; a regular file ignores it, and it is
// cleared again before the descriptor is handed out.
int OpenRegularFile(const std::string& nativePath, int flags, bool* notRegular) {
  return OpenRegularFileAt(AT_FDCWD, nativePath, flags, notRegular);
}

int OpenRegularFileAt(int folder, const std::string& path, int flags, bool* notRegular) {
  if (notRegular) *notRegular = false;
  if (path.empty()) {
    errno = ENOENT;
    return -1;
  }
  int fd;
  do {
    fd = ::openat(folder, path.c_str(), (flags & ~O_TRUNC) | O_NONBLOCK | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    // A folder opened for writing, or a pipe for writing with nobody reading.
    if (errno == EISDIR || errno == ENXIO) {
      if (notRegular) *notRegular = true;
      errno = EINVAL;
    }
    return -1;
  }
  struct stat st;
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  const int status = regular ? ::fcntl(fd, F_GETFL) : -1;
  if (!regular || status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0 ||
      ((flags & O_TRUNC) != 0 && ::ftruncate(fd, 0) != 0)) {
    const int why = regular ? errno : EINVAL;
    if (!regular && notRegular) *notRegular = true;
    ::close(fd);
    errno = why;
    return -1;
  }
  return fd;
}

}  // namespace plat

#include "platform/os/StdioFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/os/File.h"
#include "platform/os/FileSystem.h"

namespace plat {
namespace {

std::atomic<int64_t> g_writeBudget{-1};
std::atomic<bool> g_faultAtFlush{false};
std::atomic<std::FILE*> g_unflushed{nullptr};

// The planted flush fault of `f`, taken once: true (errno no space left)
// when its buffer holds bytes the write fault kept from the disk.
bool FlushFaulted(std::FILE* f) {
  std::FILE* expected = f;
  if (!f || !g_unflushed.compare_exchange_strong(expected, nullptr)) return false;
  errno = ENOSPC;
  return true;
}

}  // namespace

std::FILE* FileOpen(std::u16string_view path, const char* mode) {
  const bool write = mode && mode[0] == 'w';
  if (!write && !(mode && mode[0] == 'r')) return nullptr;
  const int fd = OpenRegularFile(NativePath(path), write ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY);
  return fd < 0 ? nullptr : FileFromDescriptor(fd, write ? "wb" : "rb");
}

std::FILE* FileFromDescriptor(int fd, const char* mode) {
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, mode);
  if (!f) ::close(fd);
  return f;
}

bool FileClose(std::FILE* f) {
  if (!f) return false;
  const bool faulted = FlushFaulted(f);
  const bool closed = std::fclose(f) == 0;
  if (faulted) errno = ENOSPC;
  return closed && !faulted;
}

size_t FileRead(std::FILE* f, void* buffer, size_t count) {
  if (!f || count == 0) return 0;
  return std::fread(buffer, 1, count, f);
}

size_t FileWrite(std::FILE* f, const void* buffer, size_t count) {
  if (!f || count == 0) return 0;
  int64_t budget = g_writeBudget.load();
  if (budget >= 0) {
    const size_t allowed = static_cast<uint64_t>(budget) < count ? static_cast<size_t>(budget) : count;
    const size_t done = allowed ? std::fwrite(buffer, 1, allowed, f) : 0;
    g_writeBudget.store(budget - static_cast<int64_t>(done));
    if (done == count) return done;
    if (done == allowed && g_faultAtFlush.load()) {
      g_unflushed.store(f);
      return count;  // taken into the buffer; its flush fails
    }
    errno = ENOSPC;  // as a full disk says it
    return done;
  }
  return std::fwrite(buffer, 1, count, f);
}

bool FileSeek(std::FILE* f, uint64_t position) {
  if (!f || position > static_cast<uint64_t>(INT64_MAX) || FlushFaulted(f)) return false;
  return ::fseeko(f, static_cast<off_t>(position), SEEK_SET) == 0;
}

bool FileTell(std::FILE* f, uint64_t* position) {
  if (!f || !position) return false;
  const off_t p = ::ftello(f);
  if (p < 0) return false;
  *position = static_cast<uint64_t>(p);
  return true;
}

bool FileSize(std::FILE* f, uint64_t* size) {
  if (!f || !size) return false;
  struct stat st;
  if (::fstat(::fileno(f), &st) != 0 || st.st_size < 0) return false;
  *size = static_cast<uint64_t>(st.st_size);
  return true;
}

bool FileSync(std::FILE* f) {
  if (!f || FlushFaulted(f) || std::fflush(f) != 0) return false;
  return ::fsync(::fileno(f)) == 0;
}

void SetWriteFaultAfter(int64_t bytes, WriteFault where) {
  g_writeBudget.store(bytes < 0 ? -1 : bytes);
  g_faultAtFlush.store(bytes >= 0 && where == WriteFault::AtFlush);
  g_unflushed.store(nullptr);
}

}  // namespace plat

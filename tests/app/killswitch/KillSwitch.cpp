// Preloaded (LD_PRELOAD) into the game by the kill test (GameKill.sh): ends
// the process with SIGKILL at a moment named by the environment, counted in
// the program's own steps, so that a replay killed at the same moment is
// killed at the same point run after run, whatever the machine's speed:
//
//   TM_KILL_AT=log:TEXT:N     just after the N-th entry (from 1) appended to
//                             "log.txt" that holds TEXT;
//   TM_KILL_AT=before:TEXT:N  at the N-th rename whose target's name holds
//                             TEXT, before it: a save's new content is
//                             written and on the disk, not yet in its place;
//   TM_KILL_AT=after:TEXT:N   the same rename, just after it;
//   TM_KILL_AT=write:TEXT:N   in the N-th write (write or fwrite) to a save's
//                             temporary file (a name ending ".bak") whose
//                             name holds TEXT, after half of its bytes: a
//                             torn temporary file;
//   TM_KILL_AT=pause:TEXT:N   just after the N-th log entry that holds TEXT,
//                             the process stops (SIGSTOP) instead of dying,
//                             until a test lets it go on (SIGCONT): a copy
//                             held at a known step while others act on its
//                             files.
//
// A log entry's line breaks count as spaces. TM_KILL_TRACE=FILE appends one
// line for each of those steps ("log TEXT", "rename NAME", "write NAME") to
// FILE, so a test can choose its moments from a run that is not killed.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct KillPoint {
  char kind[8] = {};
  char text[256] = {};
  long count = 0;  // 0: no moment
  long seen = 0;
};

KillPoint& Point() {
  static KillPoint point = [] {
    KillPoint p;
    const char* at = std::getenv("TM_KILL_AT");
    if (!at) return p;
    const char* first = std::strchr(at, ':');
    const char* last = std::strrchr(at, ':');
    if (!first || last == first || static_cast<size_t>(first - at) >= sizeof p.kind ||
        static_cast<size_t>(last - first - 1) >= sizeof p.text)
      return p;
    std::memcpy(p.kind, at, static_cast<size_t>(first - at));
    std::memcpy(p.text, first + 1, static_cast<size_t>(last - first - 1));
    p.count = std::atol(last + 1);
    return p;
  }();
  return point;
}

using WriteFunction = ssize_t (*)(int, const void*, size_t);
using FwriteFunction = size_t (*)(const void*, size_t, size_t, FILE*);
using RenameFunction = int (*)(const char*, const char*);
using RenameAtFunction = int (*)(int, const char*, int, const char*);

WriteFunction RealWrite() {
  static WriteFunction f = reinterpret_cast<WriteFunction>(dlsym(RTLD_NEXT, "write"));
  return f;
}

// The file a descriptor has open ("" for none that has a name).
void DescriptorPath(int fd, char* out, size_t size) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = ::readlink(link, out, size - 1);
  out[n > 0 ? n : 0] = '\0';
}

bool EndsWith(const char* s, const char* tail) {
  const size_t a = std::strlen(s), b = std::strlen(tail);
  return a >= b && std::strcmp(s + a - b, tail) == 0;
}

const char* BaseName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

// A step's text on one line (line breaks as spaces, at most 1000 bytes).
struct FlatText {
  char text[1001];
  size_t size = 0;
  FlatText(const char* from, size_t count) {
    for (; size < count && size < sizeof text - 1; ++size)
      text[size] = from[size] == '\r' || from[size] == '\n' ? ' ' : from[size];
    text[size] = '\0';
  }
};

void Trace(const char* what, const FlatText& flat) {
  const char* file = std::getenv("TM_KILL_TRACE");
  if (!file) return;
  const int fd = ::open(file, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return;
  char line[1100];
  const int n = std::snprintf(line, sizeof line, "%s %s\n", what, flat.text);
  RealWrite()(fd, line, static_cast<size_t>(n));
  ::close(fd);
}

// True when this step is the moment: a step of `kind` whose text holds the
// moment's text, counted.
bool IsMoment(const char* kind, const FlatText& flat) {
  KillPoint& p = Point();
  if (p.count <= 0 || std::strcmp(p.kind, kind) != 0) return false;
  if (!std::strstr(flat.text, p.text)) return false;
  return ++p.seen == p.count;
}

[[noreturn]] void Die() {
  ::kill(::getpid(), SIGKILL);
  for (;;) ::pause();
}

}  // namespace

// The save's temporary file a descriptor writes ("" for any other file).
void TemporaryName(int fd, char* out, size_t size) {
  char path[512];
  DescriptorPath(fd, path, sizeof path);
  const char* name = BaseName(path);
  if (path[0] != '/' || !EndsWith(name, ".bak")) name = "";
  std::snprintf(out, size, "%s", name);
}

extern "C" ssize_t write(int fd, const void* buffer, size_t size) {
  if (fd <= 2) return RealWrite()(fd, buffer, size);
  char path[512];
  DescriptorPath(fd, path, sizeof path);
  if (std::strcmp(BaseName(path), "log.txt") == 0) {
    const FlatText flat(static_cast<const char*>(buffer), size);
    Trace("log", flat);
    const ssize_t written = RealWrite()(fd, buffer, size);
    if (IsMoment("log", flat)) Die();
    if (IsMoment("pause", flat)) ::raise(SIGSTOP);
    return written;
  }
  char name[256];
  TemporaryName(fd, name, sizeof name);
  if (name[0]) {
    const FlatText flat(name, std::strlen(name));
    Trace("write", flat);
    if (IsMoment("write", flat)) {
      RealWrite()(fd, buffer, size / 2);
      Die();
    }
  }
  return RealWrite()(fd, buffer, size);
}

extern "C" size_t fwrite(const void* buffer, size_t size, size_t count, FILE* file) {
  static FwriteFunction real = reinterpret_cast<FwriteFunction>(dlsym(RTLD_NEXT, "fwrite"));
  const int fd = ::fileno(file);
  char name[256] = "";
  if (fd > 2) TemporaryName(fd, name, sizeof name);
  if (name[0]) {
    const FlatText flat(name, std::strlen(name));
    Trace("write", flat);
    if (IsMoment("write", flat)) {
      real(buffer, 1, size * count / 2, file);
      std::fflush(file);
      Die();
    }
  }
  return real(buffer, size, count, file);
}

// A rename's moment (its target's name traced and counted); `rename` does
// it when it is not the moment to die before it.
template <class Rename>
int RenameStep(const char* to, Rename rename) {
  const char* name = BaseName(to);
  const FlatText flat(name, std::strlen(name));
  Trace("rename", flat);
  KillPoint& p = Point();
  const bool before = std::strcmp(p.kind, "before") == 0;
  if ((before || std::strcmp(p.kind, "after") == 0) && IsMoment(p.kind, flat)) {
    if (before) Die();
    rename();
    Die();
  }
  return rename();
}

extern "C" int rename(const char* from, const char* to) {
  static RenameFunction real = reinterpret_cast<RenameFunction>(dlsym(RTLD_NEXT, "rename"));
  return RenameStep(to, [&] { return real(from, to); });
}

// The saves below the per-user folder rename through its descriptor.
extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
  static RenameAtFunction real = reinterpret_cast<RenameAtFunction>(dlsym(RTLD_NEXT, "renameat"));
  return RenameStep(to, [&] { return real(fromFolder, from, toFolder, to); });
}

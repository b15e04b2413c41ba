// Leaks on purpose, in our own code, and ends normally: run under the test
// command's LeakSanitizer settings (its suppressions of system libraries'
// leaks included) the sanitizer must still report it and fail the process.
// The suppressions are meant for what system libraries keep, never for ours.
#include <cstdio>
#include <cstring>

namespace {

#ifdef __SANITIZE_ADDRESS__

// The pointer is dropped so nothing can reach the block at exit.
__attribute__((noinline)) void LeakOnPurpose() {
  char* volatile block = new char[192];
  std::memset(block, 1, 192);
  block = nullptr;
}
#endif

}  // namespace

int main() {
#ifdef __SANITIZE_ADDRESS__
  LeakOnPurpose();
  std::puts("leaked 192 bytes on purpose");
#else
  std::puts("skipped: no LeakSanitizer in this build");
#endif
  return 0;
}

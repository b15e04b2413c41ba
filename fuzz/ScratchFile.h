// ScratchFile - the temporary file a fuzz target writes its input to before
// handing the reader its name: "/tmp/tm_fuzz_<tag>_<process id><ending>".
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace fuzzscratch {

inline std::string Path(const char* tag, const char* ending) {
  return "/tmp/tm_fuzz_" + std::string(tag) + "_" + std::to_string(::getpid()) + ending;
}

// Writes the bytes as the whole file; false when it cannot be made or not all
// of them were written.
inline bool Write(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && written;
}

}  // namespace fuzzscratch

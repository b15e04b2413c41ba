// "play.url": whatever the bytes, the decoder ends cleanly and what it
// gives is empty or a web address the opener accepts: an http:// or
// https:// address of printable ASCII, never a file, a script or a second
// line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/PlayUrl.h"
#include "platform/os/UrlOpener.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string url = DecodePlayUrl(data, size);
  if (url.empty()) return 0;
  if (!plat::IsWebAddress(url) || url.size() > size) __builtin_trap();
  for (char c : url)
    if (c == '\n' || c == '\r' || c == ' ' || c == '\0') __builtin_trap();
  return 0;
}

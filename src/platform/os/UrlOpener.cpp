#include "platform/os/UrlOpener.h"

#include <spawn.h>

#include "platform/encoding/Ascii.h"
#include "platform/os/PlatformServices.h"

extern char** environ;

namespace plat {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && AsciiEqualNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

bool IsWebAddress(std::string_view url) {
  size_t scheme = 0;
  if (StartsWithNoCase(url, "http://"))
    scheme = 7;
  else if (StartsWithNoCase(url, "https://"))
    scheme = 8;
  else
    return false;
  if (url.size() == scheme) return false;
  for (char c : url) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7F) return false;
  }
  return true;
}

// The opener is started as its own process with an argument vector: the
// address never reaches a shell. Its end is not waited for: the game opens
// the address as it exits.
bool OpenWebAddress(std::string_view url) {
  if (!IsWebAddress(url)) return false;
  const std::string address(url);
  if (UrlOpenHook hook = GetPlatformServices().urlOpenHook) return hook(address);
  char program[] = "xdg-open";
  char* argv[] = {program, const_cast<char*>(address.c_str()), nullptr};
  pid_t pid = 0;
  return posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) == 0;
}

}  // namespace plat

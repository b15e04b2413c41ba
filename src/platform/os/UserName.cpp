#include "platform/os/UserName.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/encoding/Utf.h"

namespace plat {

std::u16string GetUserName() {
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_name && *entry->pw_name)
    return Utf8ToUtf16(entry->pw_name);
  const char* user = std::getenv("USER");
  return user ? Utf8ToUtf16(user) : std::u16string();
}

}  // namespace plat

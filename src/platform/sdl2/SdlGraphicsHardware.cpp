#include "platform/sdl2/SdlGraphicsHardware.h"

#include <dirent.h>
#include <strings.h>
#include <unistd.h>

#include <cstring>

namespace plat::sdl2 {

namespace {

// A node named `prefix` followed by a digit (or exactly `prefix` when
// `whole`) in `folder` that this user may read and write.
bool UsableNode(const std::string& folder, const char* prefix, bool whole) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return false;
  const size_t length = std::strlen(prefix);
  bool found = false;
  while (dirent* entry = readdir(dir)) {
    const char* name = entry->d_name;
    if (std::strncmp(name, prefix, length) != 0) continue;
    const char next = name[length];
    if (whole ? next != '\0' : !(next >= '0' && next <= '9')) continue;
    if (access((folder + "/" + name).c_str(), R_OK | W_OK) == 0) {
      found = true;
      break;
    }
  }
  closedir(dir);
  return found;
}

}  // namespace

bool GraphicsHardwareSeen(const std::string& devices, const char* alwaysSoftware) {
  if (alwaysSoftware != nullptr && *alwaysSoftware != '\0' && std::strcmp(alwaysSoftware, "0") != 0 &&
      strcasecmp(alwaysSoftware, "false") != 0)
    return false;
  const std::string dri = devices + "/dri";
  return UsableNode(dri, "renderD", false) || UsableNode(dri, "card", false) ||
         UsableNode(devices, "nvidia", false) || UsableNode(devices, "nvidiactl", true);
}

}  // namespace plat::sdl2

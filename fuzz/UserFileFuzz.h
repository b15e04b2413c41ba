// Shared by the fuzz targets of the per-user files ("config.dat",
// "profiles.dat", the profile files, a level's history): a scratch folder
// of the process's own, the input written as one of its files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "ScratchFile.h"
#include "platform/encoding/Utf.h"

namespace userfuzz {

struct Scratch {
  std::string folder;
  explicit Scratch(const char* tag) : folder(fuzzscratch::Path(tag, "")) {}
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  // Empties the folder and writes the bytes as `name` in it.
  void Put(const std::string& name, const uint8_t* data, size_t size) const {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder, ignored);
    std::FILE* f = std::fopen((folder + "/" + name).c_str(), "wb");
    if (!f) return;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  std::u16string Wide(const std::string& name = "") const {
    return plat::Utf8ToUtf16(name.empty() ? folder : folder + "/" + name);
  }
};

}  // namespace userfuzz

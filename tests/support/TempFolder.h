// A fresh folder of its own under the system's temporary folder for one test
// (or fixture), removed with everything in it when the object goes away; with
// helpers to name, write and read the files in it.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/encoding/Utf.h"

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tm-test-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) {
      // A test may have taken the write permission away.
      std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
      std::filesystem::remove_all(path_, ignored);
    }
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }  // empty when the folder could not be made
  // The path of `name` (a relative path, "/" between parts) in the folder.
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::u16string Wide(const std::string& name) const { return plat::Utf8ToUtf16(File(name)); }
  std::u16string Wide() const { return plat::Utf8ToUtf16(path_); }

  // Writes the bytes as the whole file.
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
  }
  // The whole file; empty when it is missing.
  std::string Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(File(name)); }
  // The number of entries in the folder.
  int Entries() const {
    int n = 0;
    std::error_code ignored;
    for (auto it = std::filesystem::directory_iterator(path_, ignored); it != std::filesystem::directory_iterator();
         it.increment(ignored))
      ++n;
    return n;
  }

 private:
  std::string path_;
};

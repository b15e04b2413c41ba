// Scratch folders and whole-file helpers shared by the data-file tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/Types.h"
#include "platform/encoding/Utf.h"

namespace testutil {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = fs::temp_directory_path() /
            ("tm_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" + std::to_string(::getpid()));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  fs::path Path(const std::string& name) const { return path_ / name; }
  std::u16string Wide(const std::string& name) const { return plat::Utf8ToUtf16((path_ / name).string()); }
  const fs::path& Root() const { return path_; }

 private:
  fs::path path_;
};

inline std::vector<u8> ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<u8>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const fs::path& p, const std::vector<u8>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace testutil

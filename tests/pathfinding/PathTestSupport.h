// Helpers shared by the path-search tests: a recording failure sink, a
// scratch folder, a clock that moves on every reading, and access to the
// search steps for feeding them handcrafted data.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "pathfinding/PathFinder.h"
#include "platform/encoding/Utf.h"
#include "platform/os/Clock.h"

namespace shpf {

class PathFinderTestAccess {
 public:
  static bool Detour(PathFinder& pf, _PATHDATA* data) { return pf.Detour(data); }
  static bool Broken(const PathFinder& pf) { return pf.searchBroken_; }
  static void SetLimits(PathFinder& pf, u32 points, u32 tests) {
    pf.maxPathPoints_ = points;
    pf.maxSegmentTests_ = tests;
  }
  static void ClearCollisions(PathFinder& pf, _PATHDATA* data) { pf.ClearCollisions(data); }
};

}  // namespace shpf

namespace shpf_test {

class RecordingSink : public shpf::PathFailureSink {
 public:
  void Report(const std::u16string& caption, const std::u16string& message) override {
    captions.push_back(plat::Utf16ToUtf8(caption));
    messages.push_back(plat::Utf16ToUtf8(message));
  }
  std::vector<std::string> captions, messages;
};

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "shpf-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data()) ? tmpl : std::string();
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::u16string Wide() const { return plat::Utf8ToUtf16(path_); }
  std::string Read(const std::string& name) const {
    std::string out;
    std::FILE* f = std::fopen((path_ + "/" + name).c_str(), "rb");
    if (!f) return "<missing>";
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    std::fclose(f);
    return out;
  }

 private:
  std::string path_;
};

// A clock that moves on by a step every time it is read.
class SteppingClock : public plat::Clock {
 public:
  SteppingClock(uint32_t start, uint32_t step) : now_(start), step_(step) {}
  uint32_t NowMs() override {
    const uint32_t t = now_;
    now_ += step_;
    ++reads_;
    return t;
  }
  void SleepMs(uint32_t ms) override { now_ += ms; }
  uint32_t Reads() const { return reads_; }

 private:
  uint32_t now_, step_;
  uint32_t reads_ = 0;
};

inline std::vector<float> Points(const shpf::_PATHREQUEST& r) {
  return std::vector<float>(r.points, r.points + 2 * r.pointCount);
}

}  // namespace shpf_test

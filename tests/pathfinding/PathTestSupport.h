// Helpers shared by the path-search tests: a recording failure sink, a clock
// that moves on every reading, and access to the search steps for feeding them
// handcrafted data.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "pathfinding/PathFinder.h"
#include "platform/encoding/Utf.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"

namespace shpf {

class PathFinderTestAccess {
 public:
  static bool Detour(PathFinder& pf, _PATHDATA* data) { return pf.Detour(data); }
  static bool TestSegment(PathFinder& pf, _PATHDATA* data, i32 k) { return pf.TestSegment(data, k); }
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

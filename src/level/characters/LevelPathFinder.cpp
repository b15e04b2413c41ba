#include "level/characters/LevelPathFinder.h"

#include <algorithm>
#include <cstdio>

#include "base/Strings.h"
#include "engine/DXLLog.h"
#include "level/characters/Job.h"

LevelPathFinder::LevelPathFinder(i32 width, i32 height)
    : finder_(static_cast<u16>(std::clamp(width, 0, 0xFFFF)), static_cast<u16>(std::clamp(height, 0, 0xFFFF)),
              kCellSize, kCellSize) {
  finder_.SetFailureSink(&sink_);
}

LevelPathFinder::~LevelPathFinder() = default;

void LevelPathFinder::LogSink::Report(const std::u16string& caption, const std::u16string& message) {
  DXLLogValueW(-1, caption.c_str(), message.c_str());
}

void LevelPathFinder::LogWalkFailure(const char* why, float x, float y, float targetX, float targetY) {
  char text[160];
  std::snprintf(text, sizeof text, "%s: from %.0f, %.0f to %.0f, %.0f", why, static_cast<double>(x),
                static_cast<double>(y), static_cast<double>(targetX), static_cast<double>(targetY));
  DXLLogValueA(-1, "Walk failed", text);
}

bool LevelPathFinder::TakeSearch() {
  if (searches_ >= kSearchesPerUpdate) return false;
  ++searches_;
  return true;
}

// A head job that neither takes a slice nor leaves the queue is dropped from
// it, so the loop always ends.
void LevelPathFinder::Update() {
  searches_ = 0;
  while (queue_.GetCount() > 0 && searches_ < kSearchesPerUpdate) {
    Job* head = queue_[0];
    const i32 before = searches_;
    head->RequestPath();
    if (searches_ == before && queue_.GetCount() > 0 && queue_[0] == head) queue_.Delete(0);
  }
}

shpf::_SHAPEGRID* LevelPathFinder::GetGrid(const i16 (&foot)[4], u32 gridId) {
  if (shpf::_SHAPEGRID* g = finder_.FindGrid(std::max<i16>(0, foot[0]), std::max<i16>(0, foot[1]), std::max<i16>(0, foot[2]),
                                       std::max<i16>(0, foot[3]), gridId))
    return g;
  u32 id = gridId;
  while (finder_.GetGrid(id)) ++id;  // another footprint of the same mask holds the id
  return finder_.CreateGrid(id, shpf::PackPair(foot[0], foot[1]), shpf::PackPair(foot[2], foot[3]), gridId);
}

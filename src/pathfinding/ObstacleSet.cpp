#include "pathfinding/ObstacleSet.h"

#include <algorithm>

#include "pathfinding/PathFinder.h"

namespace {

constexpr u32 kRegisterBits = 0xE0000000u;  // bits 29, 30 and 31

i32 To16(i64 v) { return static_cast<i32>(std::clamp<i64>(v, -32768, 32767)); }

}  // namespace

// Values beyond 16 bits are clamped: the portion of the rectangle inside any
// level stays as it is, where truncation would have moved it elsewhere.
shpf::_SHAPE* AddGridRect(shpf::PathFinder* finder, i32 left, i32 top, i32 right, i32 bottom, u32 mask) {
  if (!finder) return nullptr;
  return finder->AddShape(shpf::PackPair(To16(left), To16(top)), shpf::PackPair(To16(right), To16(bottom)), mask);
}

void ObstacleSet::Create(const OBSTACLEDESC* descs, u32 count, i32 offsetX, i32 offsetY, u32 flags) {
  Clear();
  finder_ = host_ ? host_->GetPathFinder() : nullptr;
  if (count == 0 || !descs) return;
  entries_ = new OBSTACLE[count];
  bool bracket = false;
  for (u32 i = 0; i < count; ++i) {
    const OBSTACLEDESC& d = descs[i];
    if (d.mask == 0 || d.width < 1 || d.height <= 0) continue;
    i64 x = d.x;
    if (flags & OBSTACLE_MIRROR) x = -x - d.width + 1;
    x += offsetX;
    const i64 y = static_cast<i64>(d.y) + offsetY;
    const i64 right = x + d.width, bottom = y + d.height;
    if (x < INT32_MIN || y < INT32_MIN || right > INT32_MAX || bottom > INT32_MAX) continue;
    OBSTACLE& e = entries_[count_++];
    e.mask = d.mask;
    e.x = static_cast<i32>(x);
    e.y = static_cast<i32>(y);
    e.width = d.width;
    e.height = d.height;
    e.left = e.x;
    e.top = e.y;
    e.right = static_cast<i32>(right);
    e.bottom = static_cast<i32>(bottom);
    e.shape = nullptr;
    if ((flags & OBSTACLE_NO_REGISTER) || (d.mask & kRegisterBits) == 0 || !finder_) continue;
    if (!bracket) {
      finder_->BeginUpdate();
      bracket = true;
    }
    const u32 mask = (flags & OBSTACLE_CLEAR_BIT31) ? (d.mask & 0x7FFFFFFFu) : d.mask;
    e.shape = AddGridRect(finder_, e.left, e.top, e.right, e.bottom, mask);
  }
  if (bracket) finder_->EndUpdate();
}

void ObstacleSet::Clear() {
  bool bracket = false;
  for (u32 i = count_; i-- > 0;) {
    if (!entries_[i].shape) continue;
    if (!bracket) {
      finder_->BeginUpdate();
      bracket = true;
    }
    finder_->RemoveShape(entries_[i].shape);
    entries_[i].shape = nullptr;
  }
  if (bracket) finder_->EndUpdate();
  delete[] entries_;
  entries_ = nullptr;
  count_ = 0;
}

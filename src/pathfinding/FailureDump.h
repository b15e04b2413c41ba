// Reading back the path-finding failure dump: "$crash.shpf", the byte image of
// the shape world (little-endian, no header), and "$crash.log", the ini file
// naming the request ([CRASH] GridID, Interval, Start, Finish). Together they
// let a failed search be replayed. Writing is shpf::PathFinder's
// (DumpShapes, WriteFailureDump).
#pragma once

#include <memory>
#include <string_view>

#include "base/Types.h"
#include "pathfinding/PathFinder.h"

namespace shpf {

struct CrashRequest {
  u32 gridId;
  u32 interval;
  float startX, startY, finishX, finishY;
};

// Rebuilds the finder: its grids with footprint, mask and bounds, then its
// shapes. Null unless the bytes are exactly one complete, usable image, and
// for an image whose grids, cells, shapes or merging work would cost more
// memory or time than any level needs (weighed before anything is built).
std::unique_ptr<PathFinder> ReadShapeDump(const u8* data, size_t size);

// Reads the four keys of section [CRASH]; false when one is missing or bad.
bool ReadCrashLog(std::string_view text, CrashRequest* out);

}  // namespace shpf

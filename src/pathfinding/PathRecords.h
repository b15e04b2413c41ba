// Records of a path search: the request a walker embeds and the working data
// the finder keeps while the request runs. The request's point array is
// allocated by the finder with new[]; the caller takes it over and frees it
// with delete[] (or leaves it to the next start of the same request).
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "pathfinding/ShapeRecords.h"

namespace shpf {

enum PFS_STATE : u32 {
  PFS_NEW = 0,
  PFS_SEARCHING = 1,
  PFS_FAILED = 2,
  PFS_FOUND = 3,
};

struct _PATHDATA;

struct _PATHREQUEST {
  u32 prState;
  float startX, startY, finishX, finishY;
  u32 gridId;
  u32 interval;          // ms of work per call; 0 or 0xFFFFFFFF: finish in one call
  _PATHDATA* data;       // owned by the finder while the request runs
  u32 gridVersion;       // the grid's version when the path was found
  u32 pointCount;
  float* points;         // pointCount (x, y) pairs, start to finish
};

// A vertex of the polyline under refinement.
struct _PATHPOINT {
  float x, y;
  u8 checked;        // the segment ending here is free
  float segLength;   // from the previous point
  float fullDist;    // along the path from the start
};

// Where the segment under test meets an obstacle.
struct _COLLISPOINT {
  float x, y;              // the free pixel next to the obstacle
  u16 flags;               // direction of motion: 1 right, 4 left, 2 down, 8 up
  i16 ring;                // outline ring it lies on, 0 when none
  i16 pair;
  _MULTISHAPE* multiShape;
  float approach;          // |x - segment start x| + |y - segment start y|
  float dist[2];           // along the ring to the first vertex, per walking direction
  _MSPOINT* vertex[2];
  u8 nearest;              // placed on the nearest ring edge it sees, not on a ring through it
  float offset;            // then its distance from that edge (counted in both dist values)
};

struct _IOIN {
  _COLLISPOINT* point;
  u16 index;
  float fullDist;                     // best way from the segment start; -1 until computed
  float walked[2];
  kis::list<_MSPOINT*> waypoints[2];  // corner vertices passed, per walking direction
};

struct _IOOUT {
  _COLLISPOINT* point;
  u16 index;
  i16 dir;                 // walking direction of the best way here
  i16 opPrevPointIndex;    // waypoints of the in entry on that way, less one
  _IOIN* in;               // in entry the best way comes from
  float outlineDist;
  float opFullDist;        // best way from the segment start; -1 until reached
};

struct _PATHDATA {
  _SHAPEGRID* grid;
  float startX, startY, finishX, finishY;
  u32 reserved;
  kis::list<_COLLISPOINT*> pdInPoints;
  kis::list<_COLLISPOINT*> pdOutPoints;
  kis::list<_PATHPOINT*> path;
  _PATHPOINT* segStart;
  _PATHPOINT* segEnd;
  i16 segIndex;
  u16 ioCount;
  _IOIN* pdIOIns;
  _IOOUT* pdIOOuts;
  i16 pass;
  i16 sweepIndex;
  u32 gridVersion;
  u8 sweepClean;
  u32 sliceStart;
  bool sliceLimited;   // a slice start of 0 is a time like any other
  u32 segmentTests;    // bounded, so that a search that cannot settle ends
  u32 sliceWork;       // work done in the call under way (PathFinder::SetSliceWork)
};

}  // namespace shpf

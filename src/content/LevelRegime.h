// A level's regime as LEVELINFO (LevelInfo.h) keeps it: the medal limits
// and the tasks to meet.
#pragma once

#include "base/Types.h"

constexpr u32 kLevelRegimes = 2;
constexpr u32 kMaxLevelTasks = 3;

struct LEVELTASK {
  u32 kind;   // 0 money, 1 products, 2 plant beds, 3 buildings, 4 clean places
  u32 item;   // product, plant or building id; 0 for kinds 0 and 4
  i32 minLevel;
  i32 target;
};

struct LEVELREGIME {
  i32 bronze;  // medal limits, ms
  i32 silver;
  i32 gold;
  u32 taskCount;
  LEVELTASK tasks[kMaxLevelTasks];
};

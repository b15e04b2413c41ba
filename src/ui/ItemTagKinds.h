// ItemTagKind - what the two context words of a marked-up text name for the
// item-description mark-up: the first word is one of these kinds, the second
// the object (a record or a point) the bracketed names of the text describe.
#pragma once

#include "base/Types.h"

enum ItemTagKind : u32 {
  kItemTagBuildingPoint = 0x1000001,  // a building point (its record and level)
  kItemTagPlant = 0x1000002,          // a PLANT record
  kItemTagProduct = 0x1000003,        // a PRODUCT record
  kItemTagRecipe = 0x1000004,         // a PRODUCT record seen as a factory's recipe
  kItemTagProfile = 0x1000005,        // a profile (none: the current one)
  kItemTagSmallAward = 0x1000006,     // a three-tier award record
  kItemTagBigAward = 0x1000007,       // a record award
  kItemTagFinalAward = 0x1000008,     // the final award (no object)
  kItemTagTask = 0x1000009,           // a level task record
  kItemTagPlantPoint = 0x100000A,     // a plant point (its record and level)
};

// What a level's map is made of, as LEVELINFO (LevelInfo.h) keeps it: the
// ground placements, the decorations (sprite objects and particle
// emitters), the obstacles, the point definitions and the level's own
// particle emitters. Their stored layouts are in LevelRecord.h.
#pragma once

#include "base/Types.h"

class MapSprite;

struct GROUNDPLACEMENT {
  i32 x;
  i32 y;
  u8 layer;
  u32 groundId;
};

struct MAPOBJECTDEF {
  u32 type;  // kMapObjectEmitter or a sprite object
  wchar name[32];
  u32 layer;
  i32 x;
  i32 y;
  u32 kind;        // sprite: object kind code
  u8 mirrored;     // sprite
  u32 systemId;    // emitter: particle-system name id
  i16 sortX;       // emitter
  i16 sortY;
  u32 spaceParam;  // emitter
  MapSprite* mapSprite = nullptr;  // found by name while the level loads
};
constexpr u32 kMapObjectEmitter = 1;

struct OBSTACLEDEF {
  u32 mask;
  i32 x;
  i32 y;
  i32 width;
  i32 height;
};

// The playfield's rectangle the farmer walks in, its right and bottom edges
// outside it: a click outside goes nowhere, and every place of a level
// stands inside it (a 4:3 screen shows little more of the width).
constexpr i32 kPlayLeft = 144, kPlayTop = 16, kPlayRight = 1136, kPlayBottom = 664;

struct POINTDEF {
  u32 kind;
  i32 level;
  u32 id;
  u32 price;
  u32 extra[2];
  i32 x;
  i32 y;
  u8 mark;
};

struct EMITTERDEF {
  u32 systemId;
  i32 x;
  i32 y;
  float angle;  // added to the system's direction
};

// StoryFigures - the game's characters and a few shared pieces drawn at any
// place and size for the comics' panels: the farm girl (GirlArt.cpp), the
// hooded raiders and their catapult (VillainArt.cpp). Each draws into the
// current cairo target in its coordinates; a figure stands with its feet
// on (footX, footY) and is `height` tall.
#pragma once

#include <cairo.h>

#include "ArtBook.h"
#include "ArtKit.h"

namespace art {

// A facing: 0 to the right, 90 towards the viewer, 180 to the left.
enum class GirlMood { kStand, kWave, kCheer };
void DrawFarmGirl(cairo_t* cr, double footX, double footY, double height, double facingDeg, GirlMood mood);

// Skin 0 the violet raider, 1 the big moss-green brute.
enum class RaiderMood { kStand, kAngry, kRun, kBees, kShoot };
void DrawRaider(cairo_t* cr, double footX, double footY, double height, int skin, double facingDeg, RaiderMood mood);
// The catapult about its middle (cx, cy), `width` wide.
void DrawRaiderCatapult(cairo_t* cr, double cx, double cy, double width, double facingDeg, bool broken);

}  // namespace art

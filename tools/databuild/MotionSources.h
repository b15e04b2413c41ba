// The animations of "ANIM" and the particle systems of "PART", as the
// builder reads them from tools/data/tables/animations.txt and
// particles.txt. Each reader fills its part of ContentSourceTables, asks the
// picture catalogue for the pictures its records name (an animation's
// sprite in the animation set, laid out a row of frames per direction; a
// particle system's sprite in the particle set), asks for the sounds its
// records name, and prints any fault of its source.
#pragma once

class DataSetBuild;
struct ContentSourceTables;

bool ReadAnimations(DataSetBuild& build, ContentSourceTables& tables);
bool ReadParticleSystems(DataSetBuild& build, ContentSourceTables& tables);

// SoundRecipes - the game's sound samples, synthesised: the standard sounds
// of the interface and the level (clicks, pops, coins, chimes, warnings,
// the villains' shots, the bonuses, the rain loop, the player character's
// steps and work), each a recipe of oscillators, envelopes, noise and
// filters. Mono at synth::kRate.
#pragma once

#include <string>

#include "Synth.h"

// (Not "SoundSample": the game's sound manager has a record of that name,
// and the data tests link both.)
struct SynthSample {
  synth::Mono samples;
  bool loop = false;  // played looping (its end runs into its start without a seam)
};

// The sound of that name; false when there is no recipe for it.
bool MakeSound(const std::string& name, SynthSample* out);
// What stands in for a sound with no recipe yet: a short soft blip whose
// two notes follow from the name.
SynthSample PlaceholderSound(const std::string& name);

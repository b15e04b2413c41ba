// MusicComposer - the game's music: short stereo loops composed in code
// from a score of notes for a few synthesised instruments (plucked strings,
// marimba, a soft flute, pads, bass and light percussion), with a small
// reverb. A loop's end runs into its start without a seam: notes and the
// reverb's tail that pass the end sound again at the start.
//
//   music_01  a bright morning tune in C major, 4/4 at 100 beats a minute
//   music_02  a waltz in F major, 3/4 at 132
//   music_03  a busy market-day tune in G major, 4/4 at 116
//   main_theme  the title's sunrise in D major, 4/4 at 84
#pragma once

#include <string>
#include <vector>

// Interleaved stereo floats at synth::kRate; false when there is no such
// music.
bool ComposeMusic(const std::string& name, std::vector<float>* stereo);
// What stands in for music not composed yet: four bars of soft chords.
std::vector<float> PlaceholderMusic();

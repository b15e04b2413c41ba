// Small synthesised sounds for tests, the demo and the sample data: tones,
// a click and a music loop, as float PCM (-1..1, frames interleaved).
// Deterministic: no randomness, the same call gives the same samples.
#pragma once

#include <cstdint>
#include <vector>

namespace tools {

// A sine of `hz` with 5 ms fades at both ends, the same in every channel.
std::vector<float> SineTone(double hz, double seconds, uint32_t rate, uint32_t channels, float amplitude);

// A short mono click: a decaying 2 kHz burst with a little body below it.
std::vector<float> Click(uint32_t rate);

// A stereo loop of `bars` bars at 120 beats per minute: a bass line, an
// arpeggio panned from side to side and a soft pad, ending where it began so
// it loops without a seam.
std::vector<float> MusicLoop(uint32_t rate, uint32_t bars);

}  // namespace tools

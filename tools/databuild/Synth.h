// Synth - the building blocks the data builder makes its sounds and music
// from: oscillators, envelopes, white noise, biquad filters, a plucked
// string, and buffers to mix them in. Everything is deterministic (the noise
// is a seeded generator of its own), so the same recipe gives the same
// samples on every run. Samples are floats in -1..1 at kRate.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <vector>

#include "base/Types.h"

namespace synth {

constexpr u32 kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

using Mono = std::vector<float>;

inline size_t Frames(double seconds) { return static_cast<size_t>(seconds * kRate + 0.5); }
// Equal temperament, A4 (MIDI note 69) = 440 Hz.
double NoteHz(double midi);

// White noise in -1..1 from a seeded generator of its own.
class Noise {
 public:
  explicit Noise(u32 seed) : state_(seed ? seed : 1) {}
  float Next();

 private:
  u32 state_;
};

enum class Wave { kSine, kTriangle, kSquare, kSaw };

// An oscillator whose frequency may change from sample to sample; square
// and saw are band-limited (polyBLEP) so high notes do not alias.
class Oscillator {
 public:
  explicit Oscillator(Wave wave, double phase = 0) : wave_(wave), phase_(phase) {}
  float Next(double hz);

 private:
  Wave wave_;
  double phase_;  // cycles, 0..1
};

// Attack, decay and release in seconds, sustain as a level; a note held for
// `held` seconds releases from wherever it is then.
struct Adsr {
  double attack = 0.005;
  double decay = 0.1;
  double sustain = 0.0;
  double release = 0.05;
  double At(double t, double held) const;
  double Length(double held) const { return held + release; }
};

// Robert Bristow-Johnson's biquads, direct form I.
class Biquad {
 public:
  static Biquad LowPass(double hz, double q = 0.7071);
  static Biquad HighPass(double hz, double q = 0.7071);
  static Biquad BandPass(double hz, double q);
  // Changes the corner keeping the state (for sweeps).
  void Retune(double hz);
  float Run(float x);

 private:
  enum class Kind { kLow, kHigh, kBand };
  Biquad(Kind kind, double hz, double q);
  void Design(double hz);
  Kind kind_;
  double q_;
  double b0_ = 0, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// A plucked string (Karplus-Strong): a burst of noise circulating in a delay
// line of one period, softened a little on every pass. `brightness` 0..1
// shapes the attack, `decay` is the time (s) to fall by 60 dB.
Mono Pluck(double hz, double seconds, double brightness, double decay, u32 seed);

// A tone gliding exponentially from hz0 to hz1 while held, under the
// envelope (its length: held plus the release).
Mono Tone(Wave wave, double hz0, double hz1, double held, Adsr env);
// White noise through a filter whose corner glides from f0 to f1 while held.
Mono NoiseBurst(Biquad filter, double f0, double f1, double held, Adsr env, u32 seed);
// A struck bar or bell: partials at these ratios to the fundamental, each
// weaker than the one before and dying sooner (decay: seconds to 1/e of the
// fundamental).
Mono Bell(double hz, double seconds, double decay, std::initializer_list<double> ratios = {1.0, 2.76, 5.4});

// Buffers.
void MixInto(Mono& into, const Mono& what, size_t at, float gain);
// The same, wrapping round the end of `into` (music loops).
void MixAround(Mono& into, const Mono& what, size_t at, float gain);
void ScaleToPeak(Mono& samples, float peak);  // nothing for silence
float Peak(const Mono& samples);
// Short fades at both ends so a sound starts and stops without a click.
void FadeEdges(Mono& samples, double inSeconds, double outSeconds);

}  // namespace synth

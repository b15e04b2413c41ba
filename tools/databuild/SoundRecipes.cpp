#include "SoundRecipes.h"

#include <cmath>
#include <functional>
#include <map>

#include "base/Identifier.h"

namespace {

using synth::Adsr;
using synth::Bell;
using synth::Biquad;
using synth::Frames;
using synth::kPi;
using synth::kRate;
using synth::Mono;
using synth::Noise;
using synth::NoteHz;
using synth::NoiseBurst;
using synth::Oscillator;
using synth::Tone;
using synth::Wave;

Adsr Env(double attack, double decay, double sustain = 0, double release = 0.02) {
  return Adsr{attack, decay, sustain, release};
}

Mono Silence(double seconds) { return Mono(Frames(seconds), 0.0f); }

void Add(Mono& into, const Mono& what, double at, float gain) { synth::MixInto(into, what, Frames(at), gain); }

Mono Finish(Mono s, float peak) {
  synth::FadeEdges(s, 0.0005, 0.01);
  synth::ScaleToPeak(s, peak);
  return s;
}

Mono Click() {
  Mono s = Silence(0.045);
  Add(s, NoiseBurst(Biquad::BandPass(3200, 2.0), 3200, 2400, 0.002, Env(0.0005, 0.012), 11), 0, 0.8f);
  Add(s, Tone(Wave::kSine, 1400, 900, 0.002, Env(0.0005, 0.02)), 0, 0.5f);
  return Finish(s, 0.6f);
}

Mono Whoosh(double from, double to, double seconds, u32 seed) {
  return NoiseBurst(Biquad::BandPass(from, 1.4), from, to, seconds * 0.6, Env(seconds * 0.3, seconds * 0.3, 0.7, seconds * 0.4), seed);
}

Mono Pop() {
  Mono s = Tone(Wave::kSine, 950, 280, 0.06, Env(0.002, 0.07));
  Add(s, NoiseBurst(Biquad::LowPass(2500), 2500, 2500, 0.003, Env(0.0005, 0.006), 21), 0, 0.3f);
  return Finish(s, 0.6f);
}

Mono Arpeggio(std::initializer_list<double> notes, double step, double ring, float peak) {
  Mono s = Silence(step * notes.size() + ring);
  double at = 0;
  for (const double n : notes) {
    Add(s, Bell(NoteHz(n), ring, ring / 4, {1.0, 3.93, 9.2}), at, 1.0f);
    at += step;
  }
  return Finish(s, peak);
}

// Two ticks of a wood block a second apart, a second long: loops evenly.
Mono TickTock() {
  Mono s = Silence(1.0);
  for (int k = 0; k < 2; ++k) {
    const double hz = k == 0 ? 1050 : 780;
    Add(s, NoiseBurst(Biquad::BandPass(hz * 2, 6.0), hz * 2, hz * 2, 0.002, Env(0.0005, 0.03), 31 + k), k * 0.5, 0.6f);
    Add(s, Tone(Wave::kSine, hz, hz * 0.97, 0.002, Env(0.0005, 0.05)), k * 0.5, 0.7f);
  }
  synth::ScaleToPeak(s, 0.55f);
  return s;
}

Mono Coins() {
  Mono s = Silence(0.7);
  const double times[] = {0.0, 0.055, 0.11, 0.19, 0.245};
  const double pitches[] = {2950, 3400, 3150, 3650, 3300};
  for (int k = 0; k < 5; ++k)
    Add(s, Bell(pitches[k], 0.45, 0.35, {1.0, 1.41, 2.03, 2.72}), times[k], k == 4 ? 0.9f : 0.7f);
  return Finish(s, 0.55f);
}

Mono PageTurn() {
  Mono s = Whoosh(1800, 600, 0.22, 41);
  Add(s, Pop(), 0.16, 0.25f);
  return Finish(s, 0.45f);
}

Mono Thump() {
  Mono s = Tone(Wave::kSine, 170, 55, 0.12, Env(0.001, 0.16));
  Add(s, NoiseBurst(Biquad::LowPass(1500), 1500, 400, 0.015, Env(0.001, 0.03), 51), 0, 0.5f);
  return Finish(s, 0.75f);
}

// A descending "wah" of a saw through a closing filter.
Mono DriveOff() {
  const double held = 0.55;
  Adsr env = Env(0.01, 0.1, 0.8, 0.15);
  Mono s(Frames(env.Length(held)));
  Oscillator osc(Wave::kSaw), wobble(Wave::kSine);
  Biquad lp = Biquad::LowPass(3000, 2.5);
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate, u = std::min(1.0, t / held);
    const double hz = 440 * std::pow(0.5, u) * (1 + 0.03 * wobble.Next(7));
    if (i % 32 == 0) lp.Retune(3000 * std::pow(0.12, u));
    s[i] = static_cast<float>(env.At(t, held)) * lp.Run(osc.Next(hz));
  }
  return Finish(s, 0.55f);
}

Mono Buzzer() {
  Mono s = Silence(0.42);
  for (int k = 0; k < 2; ++k) {
    Mono beep = Tone(Wave::kSquare, 330, 330, 0.13, Env(0.005, 0.02, 0.9, 0.02));
    Biquad lp = Biquad::LowPass(1400);
    for (float& v : beep) v = lp.Run(v);
    Add(s, beep, k * 0.21, 1.0f);
  }
  return Finish(s, 0.5f);
}

Mono Whistle() {
  Mono s = Tone(Wave::kSine, 700, 1500, 0.32, Env(0.02, 0.05, 0.8, 0.06));
  Add(s, Whoosh(900, 2500, 0.38, 61), 0, 0.35f);
  return Finish(s, 0.5f);
}

Mono Splat() {
  Mono s = NoiseBurst(Biquad::LowPass(1400, 1.2), 1400, 300, 0.05, Env(0.001, 0.15), 71);
  Add(s, Tone(Wave::kSine, 110, 60, 0.05, Env(0.001, 0.12)), 0, 0.8f);
  return Finish(s, 0.7f);
}

Mono Burst() {
  // A sharp burst, then a few crackles dying away.
  Mono s = Silence(0.4);
  Add(s, NoiseBurst(Biquad::HighPass(700), 700, 700, 0.01, Env(0.0005, 0.09), 81), 0, 1.0f);
  Noise when(83);
  for (int k = 0; k < 6; ++k) {
    const double at = 0.05 + 0.04 * k + 0.015 * when.Next();
    const double hz = 2500 + 400 * k;
    Add(s, NoiseBurst(Biquad::BandPass(hz, 3.0), hz, hz, 0.001, Env(0.0003, 0.012), 85 + k), at,
        0.5f / (1 + k * 0.3f));
  }
  return Finish(s, 0.6f);
}

Mono Bees() {
  const double held = 1.0;
  Adsr env = Env(0.25, 0.1, 1.0, 0.3);
  Mono s(Frames(env.Length(held)));
  Oscillator a(Wave::kSaw), b(Wave::kSaw), vib(Wave::kSine), trem(Wave::kSine);
  Biquad bp = Biquad::BandPass(900, 1.5);
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double v = vib.Next(11);
    const double x = a.Next(182 + 5 * v) + 0.8 * b.Next(197 - 4 * v);
    s[i] = static_cast<float>(env.At(t, held) * (0.75 + 0.25 * trem.Next(23))) * bp.Run(static_cast<float>(x));
  }
  return Finish(s, 0.5f);
}

// Rain: softly filtered noise with drops, `seconds` long; as a loop its end
// is faded into its start.
Mono Rain(double seconds, bool loop, u32 seed) {
  const double extra = loop ? 0.25 : 0.0;
  Mono s(Frames(seconds + extra));
  Noise noise(seed);
  Biquad lp = Biquad::LowPass(2600, 0.6), hp = Biquad::HighPass(250);
  for (float& v : s) v = 0.5f * hp.Run(lp.Run(noise.Next()));
  Noise drops(seed + 1);
  const int count = static_cast<int>(seconds * 14);
  for (int k = 0; k < count; ++k) {
    const double at = (0.5 + 0.5 * drops.Next()) * seconds;
    const double hz = 2200 + 1600 * (0.5 + 0.5 * drops.Next());
    const Mono drop = Tone(Wave::kSine, hz, hz * 0.7, 0.004, Env(0.0005, 0.025));
    synth::MixAround(s, drop, Frames(at), 0.18f);
  }
  if (loop) {
    const size_t n = Frames(seconds), fade = Frames(extra);
    for (size_t i = 0; i < fade; ++i) {
      const float w = static_cast<float>(i) / fade;
      s[i] = w * s[i] + (1 - w) * s[n + i];
    }
    s.resize(n);
    synth::ScaleToPeak(s, 0.45f);
    return s;
  }
  synth::FadeEdges(s, 0.3, 0.6);
  synth::ScaleToPeak(s, 0.5f);
  return s;
}

Mono SpeedUp() {
  Mono s = Whoosh(500, 4000, 0.45, 91);
  Add(s, Tone(Wave::kTriangle, 300, 1200, 0.35, Env(0.01, 0.05, 0.7, 0.1)), 0, 0.35f);
  return Finish(s, 0.55f);
}

Mono Factory() {
  Mono s = Silence(0.85);
  Mono hum = Tone(Wave::kSquare, 55, 55, 0.6, Env(0.05, 0.1, 0.8, 0.2));
  Biquad lp = Biquad::LowPass(300);
  for (float& v : hum) v = lp.Run(v);
  Add(s, hum, 0, 0.5f);
  for (int k = 0; k < 3; ++k) {
    Add(s, Bell(610 + 40 * k, 0.3, 0.12, {1.0, 2.31, 3.87, 5.1}), 0.05 + 0.2 * k, 0.6f);
    Add(s, NoiseBurst(Biquad::BandPass(2000, 5.0), 2000, 2000, 0.003, Env(0.0005, 0.02), 101 + k), 0.05 + 0.2 * k, 0.5f);
  }
  return Finish(s, 0.55f);
}

// A bouncy "boing" up a fourth, then a higher one.
Mono Boing() {
  Mono s = Silence(0.7);
  for (int k = 0; k < 2; ++k) {
    const double base = NoteHz(k == 0 ? 67 : 72), held = 0.18;
    Adsr env = Env(0.005, 0.12, 0.4, 0.12);
    Mono note(Frames(env.Length(held)));
    Oscillator osc(Wave::kTriangle), vib(Wave::kSine);
    for (size_t i = 0; i < note.size(); ++i) {
      const double t = static_cast<double>(i) / kRate;
      const double hz = base * (1 + 0.25 * std::exp(-t * 30)) * (1 + 0.02 * vib.Next(9));
      note[i] = static_cast<float>(env.At(t, held)) * osc.Next(hz);
    }
    Add(s, note, k * 0.22, 1.0f);
  }
  return Finish(s, 0.55f);
}

// A crate set down: a wooden knock with a dull thud under it.
Mono Store() {
  Mono s = Tone(Wave::kSine, 180, 90, 0.05, Env(0.001, 0.09));
  Add(s, NoiseBurst(Biquad::BandPass(900, 3.0), 900, 700, 0.004, Env(0.0005, 0.04), 111), 0, 0.7f);
  Add(s, Tone(Wave::kTriangle, 520, 470, 0.01, Env(0.0005, 0.05)), 0.002, 0.4f);
  return Finish(s, 0.6f);
}

Mono Chime(double a, double b, double gap) {
  Mono s = Silence(gap + 1.0);
  Add(s, Bell(NoteHz(a), 1.0, 0.35, {1.0, 2.0, 3.01, 4.2}), 0, 1.0f);
  Add(s, Bell(NoteHz(b), 1.0, 0.35, {1.0, 2.0, 3.01, 4.2}), gap, 0.9f);
  return Finish(s, 0.55f);
}

// The player character's work: a soft step, a hammer's knock, a shovel
// biting into earth, an axe in wood, a brush scrubbing.
Mono Step() {
  Mono s = NoiseBurst(Biquad::LowPass(900, 0.9), 900, 350, 0.02, Env(0.002, 0.06), 131);
  Add(s, Tone(Wave::kSine, 120, 70, 0.01, Env(0.001, 0.05)), 0, 0.6f);
  return Finish(s, 0.35f);
}

Mono Knock() {
  Mono s = Silence(0.3);
  Add(s, NoiseBurst(Biquad::BandPass(1900, 2.5), 1900, 1600, 0.004, Env(0.0005, 0.03), 141), 0, 0.9f);
  Add(s, Tone(Wave::kSine, 820, 560, 0.01, Env(0.001, 0.07)), 0, 0.7f);
  Add(s, Bell(2400, 0.25, 0.06, {1.0, 2.1, 3.7}), 0, 0.25f);
  return Finish(s, 0.55f);
}

Mono Shovel() {
  Mono s = NoiseBurst(Biquad::LowPass(2400, 0.8), 2400, 500, 0.09, Env(0.003, 0.12), 151);
  Add(s, Tone(Wave::kSine, 150, 70, 0.02, Env(0.002, 0.1)), 0, 0.7f);
  Add(s, NoiseBurst(Biquad::BandPass(3500, 3.0), 3500, 3500, 0.003, Env(0.0005, 0.02), 153), 0, 0.4f);
  return Finish(s, 0.5f);
}

Mono Chop() {
  Mono s = Silence(0.4);
  Add(s, NoiseBurst(Biquad::HighPass(1200), 1200, 1200, 0.003, Env(0.0003, 0.015), 161), 0, 1.0f);
  Add(s, Bell(330, 0.35, 0.07, {1.0, 2.3, 4.1}), 0.002, 0.8f);
  Add(s, NoiseBurst(Biquad::BandPass(700, 2.0), 700, 500, 0.02, Env(0.001, 0.06), 163), 0.004, 0.6f);
  return Finish(s, 0.6f);
}

// Two strokes of a brush, one run of the scrubbing (0.6 s).
Mono Scrub() {
  Mono s = Silence(0.6);
  for (int k = 0; k < 2; ++k)
    Add(s, NoiseBurst(Biquad::BandPass(3200, 1.2), 2600, 4200, 0.18, Env(0.05, 0.06, 0.6, 0.06), 171 + k), k * 0.3,
        0.8f);
  return Finish(s, 0.3f);
}

// A mill at work (loops, 1.2 s): the millstone's low rumble, the sails'
// wooden creak twice a turn.
Mono MillRunning() {
  Mono s = NoiseBurst(Biquad::LowPass(260, 0.8), 260, 260, 1.2, Env(0.01, 0.01, 1.0, 0.01), 181);
  Add(s, Tone(Wave::kTriangle, 62, 62, 1.18, Env(0.01, 0.01, 1.0, 0.01)), 0, 0.35f);
  for (int k = 0; k < 2; ++k)
    Add(s, NoiseBurst(Biquad::BandPass(900, 4.0), 700, 1100, 0.12, Env(0.02, 0.1), 183 + k), 0.2 + 0.6 * k, 0.5f);
  return Finish(s, 0.4f);
}

// The bakery's oven: a low roar of the fire with a few crackles.
Mono BakeryRunning() {
  Mono s = NoiseBurst(Biquad::LowPass(180, 0.7), 180, 180, 1.2, Env(0.01, 0.01, 1.0, 0.01), 191);
  for (int k = 0; k < 4; ++k)
    Add(s, NoiseBurst(Biquad::BandPass(2400, 3.0), 2000, 2800, 0.03, Env(0.002, 0.025), 193 + k), 0.13 + 0.27 * k,
        0.45f);
  return Finish(s, 0.35f);
}

// The dairy's churn (loops, 1.2 s): a soft bubbling under two wooden
// thumps of the dasher.
Mono DairyRunning() {
  Mono s = NoiseBurst(Biquad::BandPass(500, 1.5), 500, 500, 1.2, Env(0.01, 0.01, 1.0, 0.01), 201);
  for (int k = 0; k < 2; ++k) {
    Add(s, Tone(Wave::kSine, 140, 80, 0.03, Env(0.002, 0.09)), 0.1 + 0.6 * k, 0.9f);
    Add(s, NoiseBurst(Biquad::LowPass(900), 900, 500, 0.02, Env(0.001, 0.05), 203 + k), 0.1 + 0.6 * k, 0.5f);
  }
  return Finish(s, 0.35f);
}

// The loom at work (loops, 1.2 s): the flywheel's hum and the shuttle's
// clack at each end of its run.
Mono LoomRunning() {
  Mono s = Tone(Wave::kTriangle, 90, 90, 1.18, Env(0.01, 0.01, 1.0, 0.01));
  for (int k = 0; k < 3; ++k)
    Add(s, NoiseBurst(Biquad::BandPass(1800, 5.0), 1600, 2000, 0.015, Env(0.001, 0.04), 211 + k), 0.05 + 0.4 * k,
        0.8f);
  return Finish(s, 0.35f);
}

// Hens clucking over the feed: three short nasal clucks falling in pitch.
Mono Clucks() {
  Mono s = Silence(0.7);
  for (int k = 0; k < 3; ++k) {
    Mono c = Tone(Wave::kSquare, 620 - 60 * k, 420 - 40 * k, 0.05, Env(0.004, 0.05, 0.5, 0.04));
    Biquad bp = Biquad::BandPass(1100, 1.5);
    for (float& v : c) v = bp.Run(v);
    Add(s, c, 0.04 + k * 0.19, 1.0f);
  }
  return Finish(s, 0.5f);
}

// A cow's low moo: a saw rising a little then falling, its buzz muffled.
Mono Moo() {
  Mono s = Tone(Wave::kSaw, 118, 96, 0.75, Env(0.09, 0.2, 0.8, 0.3));
  Add(s, Tone(Wave::kSaw, 140, 112, 0.6, Env(0.05, 0.2, 0.6, 0.25)), 0.02, 0.5f);
  Biquad lp = Biquad::LowPass(700, 0.9);
  for (float& v : s) v = lp.Run(v);
  return Finish(s, 0.55f);
}

// A sheep's bleat: a nasal tone trembling at 9 Hz, "baa-a-a".
Mono Bleat() {
  Mono s = Silence(0.7);
  for (int k = 0; k < 6; ++k) {
    Mono c = Tone(Wave::kSquare, 380 - 8 * k, 370 - 8 * k, 0.07, Env(0.01, 0.03, 0.8, 0.03));
    Add(s, c, 0.04 + k * 0.105, k == 0 ? 1.0f : 0.8f - 0.1f * static_cast<float>(k));
  }
  Biquad bp = Biquad::BandPass(1200, 1.2);
  for (float& v : s) v = bp.Run(v);
  return Finish(s, 0.5f);
}

using Recipe = std::function<SynthSample()>;

SynthSample Once(Mono s) { return SynthSample{std::move(s), false}; }
SynthSample Looping(Mono s) { return SynthSample{std::move(s), true}; }

const std::map<std::string, Recipe>& Recipes() {
  static const std::map<std::string, Recipe> recipes = {
      {"click", [] { return Once(Click()); }},
      {"window", [] { return Once(Finish(Whoosh(400, 2500, 0.24, 3), 0.4f)); }},
      {"select", [] { return Once(Pop()); }},
      {"hens_feed", [] { return Once(Clucks()); }},
      {"cows_feed", [] { return Once(Moo()); }},
      {"sheep_feed", [] { return Once(Bleat()); }},
      {"task_done", [] { return Once(Arpeggio({72, 76, 79, 84}, 0.075, 0.6, 0.6f)); }},
      {"time_warning", [] { return Looping(TickTock()); }},
      {"sale", [] { return Once(Coins()); }},
      {"comic", [] { return Once(PageTurn()); }},
      {"award", [] { return Once(Chime(79, 84, 0.12)); }},
      {"villain_hit", [] { return Once(Thump()); }},
      {"villain_drive_off", [] { return Once(DriveOff()); }},
      {"warehouse_full", [] { return Once(Buzzer()); }},
      {"villain_shot", [] { return Once(Whistle()); }},
      {"villain_shot_hit", [] { return Once(Splat()); }},
      {"villain_shot_burst", [] { return Once(Burst()); }},
      {"bonus_bees", [] { return Once(Bees()); }},
      {"bonus_rain", [] { return Once(Rain(1.4, false, 111)); }},
      {"bonus_speed", [] { return Once(SpeedUp()); }},
      {"bonus_instant", [] { return Once(Arpeggio({84, 86, 88, 91, 93, 96, 98, 100}, 0.045, 0.4, 0.5f)); }},
      {"bonus_factories", [] { return Once(Factory()); }},
      {"bonus_animals", [] { return Once(Boing()); }},
      {"rain_loop", [] { return Looping(Rain(4.0, true, 121)); }},
      {"store", [] { return Once(Store()); }},
      {"level_won", [] { return Once(Arpeggio({60, 64, 67, 72, 76, 79, 84}, 0.09, 1.1, 0.6f)); }},
      {"level_lost", [] { return Once(Arpeggio({67, 63, 60, 55}, 0.24, 1.0, 0.5f)); }},
      {"award_notice", [] { return Once(Chime(76, 83, 0.09)); }},
      {"villain_arrives", [] { return Once(Arpeggio({43, 46, 50, 49, 43}, 0.14, 0.9, 0.55f)); }},
      {"girl_step", [] { return Once(Step()); }},
      {"hammer", [] { return Once(Knock()); }},
      {"shovel", [] { return Once(Shovel()); }},
      {"chop", [] { return Once(Chop()); }},
      {"scrub", [] { return Once(Scrub()); }},
      {"mill_running", [] { return Looping(MillRunning()); }},
      {"bakery_running", [] { return Looping(BakeryRunning()); }},
      {"dairy_running", [] { return Looping(DairyRunning()); }},
      {"loom_running", [] { return Looping(LoomRunning()); }},
  };
  return recipes;
}

}  // namespace

bool MakeSound(const std::string& name, SynthSample* out) {
  const auto it = Recipes().find(name);
  if (it == Recipes().end()) return false;
  *out = it->second();
  return true;
}

SynthSample PlaceholderSound(const std::string& name) {
  static const int kPentatonic[] = {0, 2, 4, 7, 9};
  const u32 id = kis::NameIdA(name.c_str());
  Mono s = Silence(0.2);
  for (int k = 0; k < 2; ++k) {
    const int step = static_cast<int>((id >> (8 * k)) % 10);
    const double note = 72 + 12 * (step / 5) + kPentatonic[step % 5];
    Add(s, Tone(Wave::kTriangle, NoteHz(note), NoteHz(note), 0.05, Env(0.003, 0.06)), k * 0.08, 1.0f);
  }
  return Once(Finish(s, 0.35f));
}

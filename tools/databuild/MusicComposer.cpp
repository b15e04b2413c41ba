#include "MusicComposer.h"

#include <algorithm>
#include <cmath>

#include "Synth.h"
#include "common/SynthSound.h"

namespace {

using namespace synth;

enum class Instrument { kPluck, kMarimba, kFlute, kPad, kBass, kKick, kShaker, kSnare };

struct Note {
  double beat;
  double length;  // beats
  double midi;
  float velocity = 1.0f;
};

struct Part {
  Instrument instrument;
  float gain;
  float pan;  // 0 left .. 1 right
  std::vector<Note> notes;
};

struct Song {
  double bpm;
  u32 beats;
  double reverb;  // send level
  std::vector<Part> parts;
};

// One note of an instrument, mono.
Mono Voice(Instrument instrument, double midi, double seconds, u32 seed) {
  const double hz = NoteHz(midi);
  switch (instrument) {
    case Instrument::kPluck: {
      Mono s = Pluck(hz, seconds + 0.8, 0.55, 1.6, seed);
      Biquad lp = Biquad::LowPass(std::min(9000.0, hz * 6));
      for (float& v : s) v = lp.Run(v);
      FadeEdges(s, 0.0, 0.05);
      return s;
    }
    case Instrument::kMarimba:
      return Bell(hz, seconds + 0.9, 0.35, {1.0, 3.93, 9.2});
    case Instrument::kFlute: {
      const Adsr env{0.06, 0.1, 0.85, 0.12};
      Mono s(Frames(env.Length(seconds)));
      Oscillator osc(Wave::kSine), vib(Wave::kSine);
      Noise breath(seed);
      Biquad bp = Biquad::BandPass(hz * 2, 2.0);
      double phase2 = 0;
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double depth = 0.004 * std::min(1.0, std::max(0.0, (t - 0.15) / 0.2));
        const double f = hz * (1 + depth * vib.Next(5.2));
        phase2 += 2 * f / kRate;
        const double tone = osc.Next(f) + 0.12 * std::sin(2 * kPi * phase2);
        s[i] = static_cast<float>(env.At(t, seconds) * (tone + 0.06 * bp.Run(breath.Next())));
      }
      return s;
    }
    case Instrument::kPad: {
      const Adsr env{0.35, 0.3, 0.8, 0.6};
      Mono s(Frames(env.Length(seconds)));
      Oscillator a(Wave::kSaw, 0.0), b(Wave::kSaw, 0.33), c(Wave::kSaw, 0.66);
      Biquad lp = Biquad::LowPass(1100, 0.6);
      const double detune = std::pow(2.0, 7.0 / 1200);
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const float x = (a.Next(hz) + b.Next(hz * detune) + c.Next(hz / detune)) / 3;
        s[i] = static_cast<float>(env.At(t, seconds)) * lp.Run(x);
      }
      return s;
    }
    case Instrument::kBass: {
      const Adsr env{0.005, 0.25, 0.45, 0.08};
      Mono s(Frames(env.Length(seconds)));
      Oscillator tri(Wave::kTriangle), sub(Wave::kSine);
      Biquad lp = Biquad::LowPass(700);
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        s[i] = static_cast<float>(env.At(t, seconds)) * lp.Run(0.7f * tri.Next(hz) + 0.5f * sub.Next(hz));
      }
      return s;
    }
    case Instrument::kKick: {
      Mono s = Tone(Wave::kSine, 110, 45, 0.09, Adsr{0.001, 0.22, 0.0, 0.02});
      MixInto(s, NoiseBurst(Biquad::LowPass(3000), 3000, 3000, 0.002, Adsr{0.0005, 0.005, 0, 0.002}, seed), 0,
              0.3f);
      return s;
    }
    case Instrument::kShaker:
      return NoiseBurst(Biquad::HighPass(6000), 6000, 6000, 0.005, Adsr{0.004, 0.045, 0, 0.01}, seed);
    case Instrument::kSnare: {
      Mono s = NoiseBurst(Biquad::BandPass(1800, 0.8), 1800, 1800, 0.005, Adsr{0.001, 0.12, 0, 0.02}, seed);
      MixInto(s, Tone(Wave::kSine, 200, 170, 0.01, Adsr{0.001, 0.06, 0, 0.01}), 0, 0.6f);
      return s;
    }
  }
  return {};
}

// Schroeder's reverb: four combs side by side, then two all-passes.
class Reverb {
 public:
  explicit Reverb(u32 spread) {
    for (u32 n : {1557u, 1617u, 1491u, 1422u}) combs_.emplace_back(n + spread);
    for (u32 n : {225u, 556u}) passes_.emplace_back(n + spread / 2);
  }
  float Run(float x) {
    float sum = 0;
    for (Delay& c : combs_) {
      const float y = c.buffer[c.at];
      c.low = 0.7f * y + 0.3f * c.low;  // damping
      c.buffer[c.at] = x + 0.8f * c.low;
      c.at = (c.at + 1) % c.buffer.size();
      sum += y;
    }
    float y = sum / 4;
    for (Delay& a : passes_) {
      const float d = a.buffer[a.at];
      const float in = y + 0.5f * d;
      a.buffer[a.at] = in;
      a.at = (a.at + 1) % a.buffer.size();
      y = d - 0.5f * in;
    }
    return y;
  }

 private:
  struct Delay {
    explicit Delay(u32 n) : buffer(n, 0.0f) {}
    std::vector<float> buffer;
    size_t at = 0;
    float low = 0;
  };
  std::vector<Delay> combs_;
  std::vector<Delay> passes_;
};

// The reverb of a loop as a loop: run over it twice, keep the second pass,
// which already carries the tail of the first pass's end into its start.
Mono LoopReverb(const Mono& send, u32 spread) {
  Reverb r(spread);
  Mono out(send.size());
  for (int pass = 0; pass < 2; ++pass)
    for (size_t i = 0; i < send.size(); ++i) out[i] = r.Run(send[i]);
  return out;
}

std::vector<float> Render(const Song& song) {
  const double beat = 60.0 / song.bpm;
  const size_t length = Frames(song.beats * beat);
  Mono left(length, 0.0f), right(length, 0.0f), send(length, 0.0f);
  u32 seed = 1;
  for (const Part& part : song.parts) {
    const float l = static_cast<float>(std::cos(part.pan * kPi / 2)), r = static_cast<float>(std::sin(part.pan * kPi / 2));
    for (const Note& n : part.notes) {
      const Mono v = Voice(part.instrument, n.midi, n.length * beat, seed++);
      const size_t at = Frames(n.beat * beat);
      const float g = part.gain * n.velocity;
      MixAround(left, v, at, g * l);
      MixAround(right, v, at, g * r);
      MixAround(send, v, at, g * static_cast<float>(song.reverb));
    }
  }
  const Mono wetL = LoopReverb(send, 0), wetR = LoopReverb(send, 23);
  std::vector<float> stereo(length * 2);
  for (size_t i = 0; i < length; ++i) {
    stereo[2 * i] = left[i] + wetL[i];
    stereo[2 * i + 1] = right[i] + wetR[i];
  }
  float peak = 0;
  for (const float s : stereo) peak = std::max(peak, std::fabs(s));
  if (peak > 0)
    for (float& s : stereo) s *= 0.8f / peak;
  return stereo;
}

// Chords, one a bar: their tones as MIDI notes (the lowest is the root).
using Chord = std::vector<int>;

// Sustained chords, one a bar.
Part PadPart(const std::vector<Chord>& chords, u32 beatsPerBar, float gain) {
  Part p{Instrument::kPad, gain, 0.5f, {}};
  for (size_t b = 0; b < chords.size(); ++b)
    for (const int n : chords[b]) p.notes.push_back({static_cast<double>(b * beatsPerBar), beatsPerBar - 0.1, static_cast<double>(n), 0.8f});
  return p;
}

// The chords' roots two octaves down on the given beats of each bar, every
// other one up a fifth.
Part BassPart(const std::vector<Chord>& chords, u32 beatsPerBar, std::vector<double> beats, double length, float gain,
              bool fifths) {
  Part p{Instrument::kBass, gain, 0.5f, {}};
  for (size_t b = 0; b < chords.size(); ++b)
    for (size_t k = 0; k < beats.size(); ++k) {
      const int root = chords[b][0] - 24 + (fifths && k % 2 == 1 ? 7 : 0);
      p.notes.push_back({b * beatsPerBar + beats[k], length, static_cast<double>(root), k == 0 ? 1.0f : 0.8f});
    }
  return p;
}

Part Drums(Instrument instrument, u32 bars, u32 beatsPerBar, std::vector<double> beats, std::vector<float> accents, float gain,
           float pan) {
  Part p{instrument, gain, pan, {}};
  for (u32 b = 0; b < bars; ++b)
    for (size_t k = 0; k < beats.size(); ++k)
      p.notes.push_back({b * beatsPerBar + beats[k], 0.1, 60, accents[k % accents.size()]});
  return p;
}

// A melody given bar by bar as (length in beats, MIDI note) pairs; note 0 rests.
Part Melody(Instrument instrument, float gain, float pan, u32 beatsPerBar,
            const std::vector<std::vector<std::pair<double, int>>>& bars) {
  Part p{instrument, gain, pan, {}};
  for (size_t b = 0; b < bars.size(); ++b) {
    double at = static_cast<double>(b * beatsPerBar);
    for (const auto& [length, midi] : bars[b]) {
      if (midi > 0) p.notes.push_back({at, length * 0.95, static_cast<double>(midi), 1.0f});
      at += length;
    }
  }
  return p;
}

// Broken chords: the chord's tones an octave up in the pattern, one note
// every `step` beats.
Part Arpeggio(Instrument instrument, const std::vector<Chord>& chords, u32 beatsPerBar, double step,
              std::vector<int> pattern, float gain, float pan) {
  Part p{instrument, gain, pan, {}};
  for (size_t b = 0; b < chords.size(); ++b) {
    const Chord& c = chords[b];
    const u32 steps = static_cast<u32>(beatsPerBar / step + 0.5);
    for (u32 s = 0; s < steps; ++s) {
      const int k = pattern[s % pattern.size()];
      const int note = c[k % c.size()] + 12 * (k / static_cast<int>(c.size()));
      p.notes.push_back({b * beatsPerBar + s * step, step, static_cast<double>(note), s == 0 ? 0.9f : 0.7f});
    }
  }
  return p;
}

Song Morning() {
  const std::vector<Chord> chords = {{60, 64, 67}, {57, 60, 64}, {53, 57, 60}, {55, 59, 62},
                                     {60, 64, 67}, {57, 60, 64}, {50, 53, 57}, {55, 59, 62}};
  Song s{100, 32, 0.25, {}};
  s.parts.push_back(PadPart(chords, 4, 0.10f));
  s.parts.push_back(BassPart(chords, 4, {0, 2}, 1.6, 0.30f, true));
  s.parts.push_back(Arpeggio(Instrument::kPluck, chords, 4, 0.5, {0, 1, 2, 1, 3, 2, 1, 2}, 0.16f, 0.3f));
  s.parts.push_back(Melody(Instrument::kMarimba, 0.30f, 0.65f, 4,
                           {{{1, 76}, {1, 79}, {0.5, 81}, {0.5, 79}, {1, 76}},
                            {{1.5, 72}, {0.5, 74}, {2, 76}},
                            {{1, 81}, {0.5, 79}, {0.5, 77}, {1, 72}, {1, 77}},
                            {{1.5, 79}, {0.5, 76}, {2, 74}},
                            {{1, 76}, {1, 79}, {1, 84}, {0.5, 83}, {0.5, 81}},
                            {{1.5, 81}, {0.5, 79}, {2, 76}},
                            {{1, 77}, {0.5, 76}, {0.5, 74}, {1, 72}, {1, 74}},
                            {{1, 71}, {1, 74}, {2, 79}}}));
  s.parts.push_back(Drums(Instrument::kKick, 8, 4, {0, 2}, {0.9f, 0.7f}, 0.30f, 0.5f));
  s.parts.push_back(Drums(Instrument::kShaker, 8, 4, {0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5}, {0.5f, 1.0f}, 0.10f, 0.7f));
  return s;
}

Song Waltz() {
  const std::vector<Chord> chords = {{65, 69, 72}, {60, 64, 67}, {62, 65, 69}, {58, 62, 65},
                                     {65, 69, 72}, {55, 58, 62}, {60, 64, 67}, {60, 64, 67},
                                     {65, 69, 72}, {60, 64, 67}, {62, 65, 69}, {58, 62, 65},
                                     {55, 58, 62}, {60, 64, 67}, {65, 69, 72}, {60, 64, 67}};
  Song s{132, 48, 0.3, {}};
  s.parts.push_back(BassPart(chords, 3, {0}, 1.2, 0.32f, false));
  // Oom-pah-pah: the chord plucked on the second and third beat.
  Part pah{Instrument::kPluck, 0.11f, 0.35f, {}};
  for (size_t b = 0; b < chords.size(); ++b)
    for (const double beat : {1.0, 2.0})
      for (const int n : chords[b]) pah.notes.push_back({b * 3 + beat, 0.6, static_cast<double>(n), beat == 1.0 ? 0.9f : 0.75f});
  s.parts.push_back(pah);
  s.parts.push_back(PadPart(chords, 3, 0.05f));
  s.parts.push_back(Melody(Instrument::kFlute, 0.26f, 0.6f, 3,
                           {{{2, 69}, {1, 72}},
                            {{2, 76}, {1, 74}},
                            {{1, 74}, {1, 77}, {1, 76}},
                            {{2, 74}, {1, 70}},
                            {{2, 72}, {1, 69}},
                            {{1, 70}, {1, 67}, {1, 70}},
                            {{1, 72}, {1, 76}, {1, 79}},
                            {{3, 76}},
                            {{2, 77}, {1, 76}},
                            {{2, 72}, {1, 67}},
                            {{1, 69}, {1, 74}, {1, 77}},
                            {{2, 74}, {1, 72}},
                            {{2, 70}, {1, 74}},
                            {{1, 72}, {1, 70}, {1, 67}},
                            {{3, 69}},
                            {{2, 67}, {1, 72}}}));
  return s;
}

Song Market() {
  const std::vector<Chord> chords = {{67, 71, 74}, {64, 67, 71}, {60, 64, 67}, {62, 66, 69},
                                     {67, 71, 74}, {64, 67, 71}, {57, 60, 64}, {62, 66, 69}};
  Song s{116, 32, 0.2, {}};
  s.parts.push_back(BassPart(chords, 4, {0, 1, 2, 3}, 0.45, 0.24f, true));
  // Marimba chords on the off-beats.
  Part skank{Instrument::kMarimba, 0.05f, 0.3f, {}};
  for (size_t b = 0; b < chords.size(); ++b)
    for (const double beat : {0.5, 1.5, 2.5, 3.5})
      for (const int n : chords[b]) skank.notes.push_back({b * 4 + beat, 0.4, static_cast<double>(n), 0.8f});
  s.parts.push_back(skank);
  s.parts.push_back(Melody(Instrument::kPluck, 0.60f, 0.62f, 4,
                           {{{0.5, 74}, {0.5, 79}, {0.5, 78}, {0.5, 79}, {1, 74}, {1, 71}},
                            {{0.5, 71}, {0.5, 76}, {0.5, 74}, {0.5, 76}, {1, 79}, {1, 76}},
                            {{0.5, 72}, {0.5, 76}, {0.5, 79}, {0.5, 76}, {1, 72}, {0.5, 74}, {0.5, 76}},
                            {{1, 78}, {0.5, 74}, {0.5, 78}, {1.5, 81}, {0.5, 78}},
                            {{0.5, 79}, {0.5, 78}, {0.5, 76}, {0.5, 74}, {1, 71}, {1, 74}},
                            {{1, 76}, {0.5, 79}, {0.5, 76}, {1, 71}, {1, 67}},
                            {{0.5, 69}, {0.5, 72}, {0.5, 76}, {0.5, 72}, {1, 69}, {1, 72}},
                            {{1, 74}, {1, 78}, {0.5, 81}, {0.5, 78}, {1, 74}}}));
  s.parts.push_back(Drums(Instrument::kKick, 8, 4, {0, 2}, {1.0f, 0.8f}, 0.32f, 0.5f));
  s.parts.push_back(Drums(Instrument::kSnare, 8, 4, {1, 3}, {0.8f}, 0.14f, 0.45f));
  s.parts.push_back(Drums(Instrument::kShaker, 8, 4, {0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5}, {0.6f, 1.0f}, 0.09f, 0.75f));
  return s;
}

// The title's tune: a slow, warm sunrise in D major, 4/4 at 84, a flute
// over harp-like arpeggios and pads.
Song Sunrise() {
  const std::vector<Chord> chords = {{62, 66, 69}, {59, 62, 66}, {55, 59, 62}, {57, 61, 64},
                                     {62, 66, 69}, {55, 59, 62}, {52, 55, 59}, {57, 61, 64}};
  Song s{84, 32, 0.35, {}};
  s.parts.push_back(PadPart(chords, 4, 0.12f));
  s.parts.push_back(BassPart(chords, 4, {0}, 3.5, 0.26f, false));
  s.parts.push_back(Arpeggio(Instrument::kPluck, chords, 4, 0.5, {0, 1, 2, 3, 4, 3, 2, 1}, 0.14f, 0.35f));
  s.parts.push_back(Melody(Instrument::kFlute, 0.24f, 0.6f, 4,
                           {{{1.5, 78}, {0.5, 76}, {2, 74}},
                            {{1, 71}, {1, 74}, {2, 78}},
                            {{1.5, 79}, {0.5, 78}, {1, 76}, {1, 74}},
                            {{3, 76}, {1, 0}},
                            {{1.5, 81}, {0.5, 78}, {2, 74}},
                            {{1, 79}, {1, 78}, {2, 76}},
                            {{1, 74}, {1, 71}, {1, 76}, {1, 73}},
                            {{3, 74}, {1, 0}}}));
  s.parts.push_back(Drums(Instrument::kShaker, 8, 4, {0, 1, 2, 3}, {0.6f, 0.9f}, 0.05f, 0.7f));
  return s;
}

}  // namespace

bool ComposeMusic(const std::string& name, std::vector<float>* stereo) {
  if (name == "music_01") *stereo = Render(Morning());
  else if (name == "music_02") *stereo = Render(Waltz());
  else if (name == "music_03") *stereo = Render(Market());
  else if (name == "main_theme") *stereo = Render(Sunrise());
  else return false;
  return true;
}

std::vector<float> PlaceholderMusic() {
  std::vector<float> loop = tools::MusicLoop(kRate, 4);
  for (float& s : loop) s *= 0.6f;
  return loop;
}

#include "common/SynthSound.h"

#include <algorithm>
#include <cmath>

namespace tools {

namespace {

constexpr double kTwoPi = 6.283185307179586;

double NoteHz(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

}  // namespace

std::vector<float> SineTone(double hz, double seconds, uint32_t rate, uint32_t channels, float amplitude) {
  const size_t frames = static_cast<size_t>(seconds * rate);
  const double fade = 0.005 * rate;
  std::vector<float> out(frames * channels);
  for (size_t i = 0; i < frames; ++i) {
    const double edge = std::min({1.0, i / fade, (frames - 1 - i) / fade});
    const float v = static_cast<float>(amplitude * edge * std::sin(kTwoPi * hz * i / rate));
    for (uint32_t c = 0; c < channels; ++c) out[i * channels + c] = v;
  }
  return out;
}

std::vector<float> Click(uint32_t rate) {
  const size_t frames = rate / 25;  // 40 ms
  std::vector<float> out(frames);
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double burst = std::exp(-t * 250.0) * std::sin(kTwoPi * 2000.0 * t);
    const double body = std::exp(-t * 60.0) * std::sin(kTwoPi * 180.0 * t);
    out[i] = static_cast<float>(0.6 * burst + 0.3 * body);
  }
  return out;
}

// Four chords (A minor, F, C, G), one per bar, each tone shaped by a short
// attack and an exponential decay; every voice fades to nothing before the
// end of its span.
std::vector<float> MusicLoop(uint32_t rate, uint32_t bars) {
  static const int kRoots[4] = {-12, -16, -21, -14};       // A3, F3, C3, G3
  static const int kChord[4][3] = {{0, 3, 7}, {0, 4, 7}, {0, 4, 7}, {0, 4, 7}};
  const size_t beat = rate / 2;  // 120 bpm
  const size_t frames = beat * 4 * bars;
  std::vector<float> out(frames * 2, 0.0f);
  auto addNote = [&](size_t start, size_t length, double hz, float gain, float pan, double decay) {
    for (size_t i = 0; i < length && start + i < frames; ++i) {
      const double t = static_cast<double>(i) / rate;
      const double attack = std::min(1.0, t / 0.01);
      const double release = std::min(1.0, static_cast<double>(length - 1 - i) / (0.01 * rate));
      const double v = gain * attack * release * std::exp(-t * decay) *
                       (std::sin(kTwoPi * hz * t) + 0.25 * std::sin(2 * kTwoPi * hz * t));
      out[(start + i) * 2] += static_cast<float>(v * (1.0f - pan));
      out[(start + i) * 2 + 1] += static_cast<float>(v * pan);
    }
  };
  for (uint32_t bar = 0; bar < bars; ++bar) {
    const int root = kRoots[bar % 4];
    const int* chord = kChord[bar % 4];
    const size_t barStart = bar * beat * 4;
    for (int b = 0; b < 4; ++b) addNote(barStart + b * beat, beat, NoteHz(root - 12), 0.30f, 0.5f, 3.0);
    for (int s = 0; s < 8; ++s) {
      const int note = root + chord[s % 3] + (s >= 6 ? 12 : 0);
      addNote(barStart + s * beat / 2, beat / 2, NoteHz(note), 0.12f, 0.2f + 0.6f * (s % 4) / 3.0f, 6.0);
    }
    for (int c = 0; c < 3; ++c) addNote(barStart, beat * 4, NoteHz(root + chord[c]), 0.05f, 0.5f, 0.5);
  }
  return out;
}

}  // namespace tools

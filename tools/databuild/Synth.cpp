#include "Synth.h"

#include <algorithm>
#include <cmath>

namespace synth {

double NoteHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

float Noise::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<float>(static_cast<double>(state_) / 2147483648.0 - 1.0);
}

namespace {

// The polyBLEP correction around a discontinuity at phase 0.
double Blep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

}  // namespace

float Oscillator::Next(double hz) {
  const double dt = std::min(0.5, std::max(0.0, hz / kRate));
  const double t = phase_;
  double v = 0;
  switch (wave_) {
    case Wave::kSine: v = std::sin(2 * kPi * t); break;
    case Wave::kTriangle: v = t < 0.5 ? 4 * t - 1 : 3 - 4 * t; break;
    case Wave::kSaw: v = 2 * t - 1 - Blep(t, dt); break;
    case Wave::kSquare: {
      v = t < 0.5 ? 1.0 : -1.0;
      v += Blep(t, dt);
      v -= Blep(std::fmod(t + 0.5, 1.0), dt);
      break;
    }
  }
  phase_ += dt;
  if (phase_ >= 1.0) phase_ -= 1.0;
  return static_cast<float>(v);
}

double Adsr::At(double t, double held) const {
  auto level = [&](double u) {
    if (u < attack) return attack > 0 ? u / attack : 1.0;
    u -= attack;
    if (u < decay) return 1.0 - (1.0 - sustain) * (u / decay);
    return sustain;
  };
  if (t < 0) return 0;
  if (t < held) return level(t);
  const double from = level(held), r = t - held;
  return r >= release ? 0.0 : from * (1.0 - r / release);
}

Biquad::Biquad(Kind kind, double hz, double q) : kind_(kind), q_(q) { Design(hz); }

Biquad Biquad::LowPass(double hz, double q) { return Biquad(Kind::kLow, hz, q); }
Biquad Biquad::HighPass(double hz, double q) { return Biquad(Kind::kHigh, hz, q); }
Biquad Biquad::BandPass(double hz, double q) { return Biquad(Kind::kBand, hz, q); }

void Biquad::Retune(double hz) { Design(hz); }

void Biquad::Design(double hz) {
  hz = std::clamp(hz, 10.0, kRate * 0.45);
  const double w = 2 * kPi * hz / kRate, c = std::cos(w), alpha = std::sin(w) / (2 * q_);
  double b0, b1, b2;
  switch (kind_) {
    case Kind::kLow: b0 = (1 - c) / 2, b1 = 1 - c, b2 = (1 - c) / 2; break;
    case Kind::kHigh: b0 = (1 + c) / 2, b1 = -(1 + c), b2 = (1 + c) / 2; break;
    default: b0 = alpha, b1 = 0, b2 = -alpha; break;
  }
  const double a0 = 1 + alpha;
  b0_ = b0 / a0, b1_ = b1 / a0, b2_ = b2 / a0;
  a1_ = -2 * c / a0, a2_ = (1 - alpha) / a0;
}

float Biquad::Run(float x) {
  const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
  x2_ = x1_, x1_ = x, y2_ = y1_, y1_ = y;
  return static_cast<float>(y);
}

Mono Pluck(double hz, double seconds, double brightness, double decay, u32 seed) {
  const size_t period = std::max<size_t>(2, static_cast<size_t>(kRate / hz + 0.5));
  std::vector<double> line(period);
  Noise noise(seed);
  // A softer pluck has its burst smoothed before it starts to ring.
  double smooth = 0;
  const double keep = 1.0 - std::clamp(brightness, 0.05, 1.0);
  for (double& v : line) {
    smooth = keep * smooth + (1 - keep) * noise.Next();
    v = smooth;
  }
  // The loss per pass that gives the asked decay.
  const double passes = decay * hz;
  const double loss = passes > 0 ? std::pow(0.001, 1.0 / passes) : 0.0;
  Mono out(Frames(seconds));
  size_t at = 0;
  for (float& s : out) {
    const size_t next = (at + 1) % period;
    const double v = line[at];
    line[at] = loss * 0.5 * (v + line[next]);
    s = static_cast<float>(v);
    at = next;
  }
  return out;
}

Mono Tone(Wave wave, double hz0, double hz1, double held, Adsr env) {
  Mono out(Frames(env.Length(held)));
  Oscillator osc(wave);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate, u = std::min(1.0, t / held);
    out[i] = static_cast<float>(env.At(t, held)) * osc.Next(hz0 * std::pow(hz1 / hz0, u));
  }
  return out;
}

Mono NoiseBurst(Biquad filter, double f0, double f1, double held, Adsr env, u32 seed) {
  Mono out(Frames(env.Length(held)));
  Noise noise(seed);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate, u = std::min(1.0, t / held);
    if (i % 32 == 0) filter.Retune(f0 * std::pow(f1 / f0, u));
    out[i] = static_cast<float>(env.At(t, held)) * filter.Run(noise.Next());
  }
  return out;
}

Mono Bell(double hz, double seconds, double decay, std::initializer_list<double> ratios) {
  Mono out(Frames(seconds));
  double level = 1.0;
  for (const double r : ratios) {
    const double f = hz * r, d = decay / r;
    if (f > kRate * 0.45) break;
    for (size_t i = 0; i < out.size(); ++i) {
      const double t = static_cast<double>(i) / kRate;
      const double attack = std::min(1.0, t / 0.002);
      out[i] += static_cast<float>(level * attack * std::exp(-t / d) * std::sin(2 * kPi * f * t));
    }
    level *= 0.45;
  }
  return out;
}

void MixInto(Mono& into, const Mono& what, size_t at, float gain) {
  for (size_t i = 0; i < what.size() && at + i < into.size(); ++i) into[at + i] += gain * what[i];
}

void MixAround(Mono& into, const Mono& what, size_t at, float gain) {
  if (into.empty()) return;
  for (size_t i = 0; i < what.size(); ++i) into[(at + i) % into.size()] += gain * what[i];
}

float Peak(const Mono& samples) {
  float peak = 0;
  for (const float s : samples) peak = std::max(peak, std::fabs(s));
  return peak;
}

void ScaleToPeak(Mono& samples, float peak) {
  const float now = Peak(samples);
  if (now <= 0) return;
  for (float& s : samples) s *= peak / now;
}

void FadeEdges(Mono& samples, double inSeconds, double outSeconds) {
  const size_t in = std::min(samples.size(), Frames(inSeconds)), out = std::min(samples.size(), Frames(outSeconds));
  for (size_t i = 0; i < in; ++i) samples[i] *= static_cast<float>(i) / in;
  for (size_t i = 0; i < out; ++i) samples[samples.size() - 1 - i] *= static_cast<float>(i) / out;
}

}  // namespace synth

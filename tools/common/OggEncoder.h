// Synthesised PCM to Ogg Vorbis bytes (libvorbisenc, variable bit rate).
// The stream serial number is fixed, so the same samples and settings give
// the same bytes on every run: test data and the sample data set stay
// reproducible.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tools {

constexpr int kOggStreamSerial = 0x7A11;

// samples: frames x channels values in -1..1, interleaved; channels 1 or 2;
// quality -0.1 (smallest) .. 1 (best). Empty when the encoder refuses the
// settings.
std::vector<uint8_t> EncodeOggVorbis(const float* samples, size_t frames, uint32_t channels, uint32_t rate,
                                     float quality = 0.4f, int serial = kOggStreamSerial);

inline std::vector<uint8_t> EncodeOggVorbis(const std::vector<float>& samples, uint32_t channels, uint32_t rate,
                                            float quality = 0.4f) {
  return EncodeOggVorbis(samples.data(), samples.size() / channels, channels, rate, quality);
}

}  // namespace tools

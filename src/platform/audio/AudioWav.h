// Writes 16-bit PCM as a RIFF WAVE file (little-endian, one "fmt " and one
// "data" chunk) so a mix can be listened to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plat::audio {

// samples: frames x channels values, interleaved. False when the file cannot
// be written completely or the data is too large for the format.
bool WriteWav(std::string_view utf8Path, const int16_t* samples, size_t frames, uint32_t channels, uint32_t rate);

}  // namespace plat::audio

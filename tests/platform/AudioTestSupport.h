// Test sounds for the audio tests: tones synthesised and encoded as Ogg
// Vorbis in-process, written into a temporary folder, and the PCM the decoder
// makes of them (what the mixer must reproduce sample for sample).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/OggEncoder.h"
#include "common/SynthSound.h"
#include "platform/audio/AudioMixer.h"
#include "platform/audio/AudioOggSource.h"
#include "platform/encoding/Utf.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/TempFolder.h"

namespace audiotest {

using Bytes = std::vector<uint8_t>;

inline Bytes Tone(double hz, double seconds, uint32_t rate = 44100, uint32_t channels = 1) {
  return tools::EncodeOggVorbis(tools::SineTone(hz, seconds, rate, channels, 0.5f), channels, rate);
}

// What the decoder makes of the bytes at the mix rate.
inline plat::audio::DecodedSound Decode(const Bytes& ogg) {
  plat::audio::DecodedSound sound;
  EXPECT_TRUE(plat::audio::DecodeOgg(std::make_unique<plat::audio::MemorySource>(ogg.data(), ogg.size()),
                                     plat::audio::kMixRate, uint64_t{1} << 24, &sound));
  return sound;
}

// Frame i of the sound (wrapping) as the mixer writes it at a given gain.
inline void ExpectFrame(const std::vector<int16_t>& mix, size_t at, const plat::audio::DecodedSound& sound,
                        uint64_t frame, float gain) {
  const uint32_t c = sound.channels;
  const uint64_t f = frame % sound.Frames();
  ASSERT_EQ(mix[2 * at], plat::audio::Mixer::ToPcm16(sound.samples[f * c] * gain)) << "frame " << at;
  ASSERT_EQ(mix[2 * at + 1], plat::audio::Mixer::ToPcm16(sound.samples[f * c + c - 1] * gain)) << "frame " << at;
}

// Writes the bytes to a file of the folder; its path as the game gives paths.
inline std::u16string WriteSound(const TempFolder& folder, const std::string& name, const Bytes& bytes) {
  EXPECT_TRUE(testsupport::WriteFileBytes(folder.File(name), bytes));
  return folder.Wide(name);
}

}  // namespace audiotest

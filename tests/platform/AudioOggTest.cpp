// The Ogg Vorbis side: the encoder's bytes are reproducible, the decoder
// gives back the tone, other rates are converted alike whether decoded whole
// or streamed in pieces, chained files must agree in their format, and
// damaged or foreign data fails cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "AudioTestSupport.h"
#include "platform/audio/AudioOfflineOutput.h"
#include "platform/audio/AudioSoftBackend.h"
#include "platform/audio/AudioStreamDecoder.h"

namespace {

using namespace plat::audio;
using audiotest::Bytes;

std::unique_ptr<ByteSource> Memory(const Bytes& bytes) {
  return std::make_unique<MemorySource>(bytes.data(), bytes.size());
}

bool Decodes(const Bytes& bytes, DecodedSound* sound) { return DecodeOgg(Memory(bytes), kMixRate, 1 << 22, sound); }

TEST(AudioOggTest, EncoderIsReproducibleAndDecoderGivesBackTheTone) {
  const std::vector<float> tone = tools::SineTone(441, 0.1, 44100, 2, 0.5f);
  const Bytes a = tools::EncodeOggVorbis(tone, 2, 44100);
  ASSERT_GT(a.size(), 100u);
  EXPECT_EQ(a, tools::EncodeOggVorbis(tone, 2, 44100));
  EXPECT_NE(a, tools::EncodeOggVorbis(tone.data(), tone.size() / 2, 2, 44100, 0.4f, tools::kOggStreamSerial + 1));
  EXPECT_TRUE(tools::EncodeOggVorbis(tone.data(), tone.size() / 3, 3, 44100).empty());

  DecodedSound sound;
  ASSERT_TRUE(Decodes(a, &sound));
  EXPECT_EQ(sound.channels, 2u);
  ASSERT_EQ(sound.Frames(), 4410u);
  float worst = 0;
  for (size_t i = 0; i < tone.size(); ++i) worst = std::max(worst, std::fabs(tone[i] - sound.samples[i]));
  EXPECT_LT(worst, 0.05f);
}

// A 22.05 kHz sound at the mix rate: every even frame is an input frame,
// every odd one the mean of its neighbours, and a stream read in odd pieces
// (looping) gives the same frames as the whole decode, again and again.
TEST(AudioOggTest, OtherRatesAreConvertedAlikeWholeAndStreamed) {
  const Bytes ogg = audiotest::Tone(300, 0.2, 22050, 1);
  DecodedSound native, converted;
  ASSERT_TRUE(DecodeOgg(Memory(ogg), 22050, 1 << 20, &native));
  ASSERT_TRUE(Decodes(ogg, &converted));
  const uint64_t n = native.Frames();
  ASSERT_EQ(converted.Frames(), 2 * n);
  for (uint64_t j = 0; j + 1 < n; ++j) {
    ASSERT_EQ(converted.samples[2 * j], native.samples[j]) << j;
    ASSERT_NEAR(converted.samples[2 * j + 1], (native.samples[j] + native.samples[j + 1]) / 2, 1e-6f) << j;
  }
  EXPECT_EQ(converted.samples[2 * n - 1], native.samples[n - 1]);  // the last frame is held

  std::unique_ptr<OggSource> source = OggSource::Open(Memory(ogg));
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(source->Rate(), 22050u);
  StreamDecoder stream(std::move(source), kMixRate);
  std::vector<float> streamed;
  std::vector<float> piece(333);
  while (streamed.size() < 3 * converted.samples.size()) {
    const size_t got = stream.Read(piece.data(), piece.size(), true);
    ASSERT_EQ(got, piece.size());
    streamed.insert(streamed.end(), piece.begin(), piece.end());
  }
  for (size_t i = 0; i < streamed.size(); ++i)
    ASSERT_EQ(streamed[i], converted.samples[i % converted.samples.size()]) << i;

  // Without looping it ends; Rewind starts it over.
  std::vector<float> all(converted.samples.size() + 100);
  ASSERT_TRUE(stream.Rewind());
  EXPECT_EQ(stream.Read(all.data(), all.size(), false), converted.samples.size());
  EXPECT_TRUE(stream.Ended());
  EXPECT_EQ(stream.Read(all.data(), 10, true), 0u);  // ended stays ended
  ASSERT_TRUE(stream.Rewind());
  EXPECT_EQ(stream.Read(all.data(), 10, false), 10u);
  EXPECT_EQ(all[5], converted.samples[5]);
}

// Links of a chained file play one after the other when they agree in
// channels and rate; a chain that changes either is refused.
TEST(AudioOggTest, ChainedLinksMustAgree) {
  const std::vector<float> low = tools::SineTone(200, 0.05, 44100, 1, 0.5f);
  const std::vector<float> high = tools::SineTone(800, 0.05, 44100, 1, 0.5f);
  Bytes chain = tools::EncodeOggVorbis(low, 1, 44100);
  const Bytes second = tools::EncodeOggVorbis(high.data(), high.size(), 1, 44100, 0.4f, tools::kOggStreamSerial + 1);
  chain.insert(chain.end(), second.begin(), second.end());
  DecodedSound sound;
  ASSERT_TRUE(Decodes(chain, &sound));
  EXPECT_EQ(sound.Frames(), low.size() + high.size());

  Bytes mixed = tools::EncodeOggVorbis(low, 1, 44100);
  const Bytes stereo =
      tools::EncodeOggVorbis(tools::SineTone(800, 0.05, 44100, 2, 0.5f).data(), high.size(), 2, 44100, 0.4f, 99);
  mixed.insert(mixed.end(), stereo.begin(), stereo.end());
  EXPECT_FALSE(Decodes(mixed, &sound));
  EXPECT_EQ(OggSource::Open(Memory(mixed)), nullptr);
}

// Foreign, cut and damaged data: opening fails, or decoding ends early; never
// a crash, a hang or a runaway allocation. The backend refuses such files.
TEST(AudioOggTest, HostileOggFailsCleanly) {
  const Bytes good = audiotest::Tone(441, 0.3, 44100, 2);
  DecodedSound sound;
  EXPECT_FALSE(Decodes(Bytes{}, &sound));
  EXPECT_FALSE(Decodes(Bytes(5000, 0), &sound));
  Bytes noise(5000);
  uint32_t seed = 12345;
  for (uint8_t& b : noise) b = static_cast<uint8_t>((seed = seed * 214013 + 2531011) >> 16);
  EXPECT_FALSE(Decodes(noise, &sound));
  EXPECT_FALSE(Decodes(Bytes(good.begin(), good.begin() + 200), &sound));  // headers cut short
  EXPECT_FALSE(DecodeOgg(Memory(good), kMixRate, 1000, &sound));          // longer than allowed
  EXPECT_FALSE(DecodeOgg(nullptr, kMixRate, 1 << 20, &sound));
  EXPECT_EQ(OggSource::Open(nullptr), nullptr);

  for (size_t cut = good.size() / 8; cut < good.size(); cut += good.size() / 8) {
    DecodedSound part;
    if (Decodes(Bytes(good.begin(), good.begin() + cut), &part)) {
      EXPECT_LT(part.Frames(), 13230u) << cut;
    }
  }
  for (size_t at = 0; at < good.size(); at += 37) {
    Bytes damaged = good;
    damaged[at] ^= 0x5D;
    damaged[(at * 7 + 11) % damaged.size()] ^= 0xFF;
    DecodedSound whatever;
    Decodes(damaged, &whatever);
    std::unique_ptr<OggSource> source = OggSource::Open(Memory(damaged));
    if (!source) continue;
    StreamDecoder stream(std::move(source), kMixRate);
    std::vector<float> block(2 * 4096);
    for (int i = 0; i < 8; ++i) stream.Read(block.data(), 4096, true);
  }

  TempFolder folder;
  auto output = std::make_unique<OfflineOutput>();
  SoftBackend audio(std::move(output));
  ASSERT_TRUE(audio.Init());
  const std::u16string noisePath = audiotest::WriteSound(folder, "noise.ogg", noise);
  EXPECT_EQ(audio.LoadSample(noisePath, 0, 0, 16, false), 0u);
  EXPECT_EQ(audio.CreateStream(noisePath, 0, 0, true), 0u);
  const std::u16string goodPath = audiotest::WriteSound(folder, "good.ogg", good);
  EXPECT_EQ(audio.LoadSample(goodPath, 0, 0, 0, false), 0u);  // no playbacks allowed
  EXPECT_EQ(audio.LoadSample(goodPath, 1, 0, 16, false), 0u);  // off by one byte
  EXPECT_NE(audio.LoadSample(goodPath, 0, good.size(), 16, false), 0u);
}

}  // namespace

// The Ogg Vorbis source must survive any bytes: decoded whole (as a sample,
// with a frame cap) and streamed with looping (as music) it either refuses
// the data or ends cleanly, and whatever it gives is within its bounds.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio/AudioByteSource.h"
#include "platform/audio/AudioMixer.h"
#include "platform/audio/AudioOggSource.h"
#include "platform/audio/AudioStreamDecoder.h"

using namespace plat::audio;

// libvorbisfile 1.3.7 keeps a few bytes (its list of stream serial numbers)
// when it gives up on damaged headers inside ov_open_callbacks; that leak is
// the library's. Our own use of it is leak-checked by the unit tests.
extern "C" const char* __lsan_default_suppressions() { return "leak:libvorbisfile.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr uint64_t kCap = 1 << 18;
  DecodedSound sound;
  if (DecodeOgg(std::make_unique<MemorySource>(data, size), kMixRate, kCap, &sound)) {
    if (sound.channels < 1 || sound.channels > 2 || sound.Frames() == 0 || sound.Frames() > kCap) __builtin_trap();
    Mixer mixer;
    const SampleHandle sample = mixer.AddSample(std::move(sound), 2, true);
    if (sample == 0 || !mixer.Play(mixer.SampleChannel(sample), false)) __builtin_trap();
    int16_t out[2 * 512];
    mixer.Mix(out, 512);
  }

  std::unique_ptr<OggSource> source = OggSource::Open(std::make_unique<MemorySource>(data, size));
  if (!source) return 0;
  if (source->Channels() < 1 || source->Channels() > 2) __builtin_trap();
  StreamDecoder stream(std::move(source), kMixRate);
  std::vector<float> block(2 * 2048);
  for (int i = 0; i < 6; ++i)
    if (stream.Read(block.data(), 2048, true) > 2048) __builtin_trap();
  if (stream.Rewind()) stream.Read(block.data(), 100, false);
  return 0;
}

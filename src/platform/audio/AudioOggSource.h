// Ogg Vorbis decoding over a byte source (libvorbisfile): block by block for
// streams, or whole for samples. Mono and stereo data at 1 kHz to 200 kHz is
// accepted, every link of a chained file alike; anything else, and any data
// that is not Ogg Vorbis, fails cleanly at Open. Damaged data met later ends
// the decoding early with an error, never with a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio/AudioByteSource.h"

struct OggVorbis_File;

namespace plat::audio {

// PCM as float frames, channels interleaved.
struct DecodedSound {
  uint32_t channels = 0;  // 1 or 2
  uint32_t rate = 0;
  std::vector<float> samples;
  uint64_t Frames() const { return channels == 0 ? 0 : samples.size() / channels; }
};

class OggSource {
 public:
  static constexpr uint32_t kMinRate = 1000;
  static constexpr uint32_t kMaxRate = 200000;

  // Null when the bytes are not Ogg Vorbis in a form this decoder takes.
  static std::unique_ptr<OggSource> Open(std::unique_ptr<ByteSource> bytes);
  ~OggSource();
  OggSource(const OggSource&) = delete;
  OggSource& operator=(const OggSource&) = delete;

  uint32_t Channels() const { return channels_; }
  uint32_t Rate() const { return rate_; }

  // Decodes up to `frames` frames into out (interleaved); the number decoded,
  // 0 at the end of the data, -1 when the data is damaged.
  int64_t Read(float* out, size_t frames);
  // Back to the first frame; false when the data does not allow it.
  bool Rewind();

 private:
  explicit OggSource(std::unique_ptr<ByteSource> bytes);
  static size_t ReadBytes(void* buffer, size_t size, size_t count, void* self);
  static int SeekBytes(void* self, int64_t offset, int origin);
  static long TellBytes(void* self);

  std::unique_ptr<ByteSource> bytes_;
  uint64_t position_ = 0;
  std::unique_ptr<OggVorbis_File> file_;
  bool open_ = false;
  uint32_t channels_ = 0;
  uint32_t rate_ = 0;
};

// Decodes the whole data, converted to outRate (the channel count kept).
// False when it cannot be opened or decoded, holds no frame, or would give
// more than maxFrames frames.
bool DecodeOgg(std::unique_ptr<ByteSource> bytes, uint32_t outRate, uint64_t maxFrames, DecodedSound* out);

}  // namespace plat::audio

#include "platform/audio/AudioOggSource.h"

// Without this the header gives every file that includes it its own copy of
// four stdio callback tables, mutable and unused here: our callbacks read
// from the file range.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <limits>

#include "platform/audio/AudioResampler.h"

namespace plat::audio {

namespace {

// Holes (lost pages) are skipped; this many in a row count as damage.
constexpr int kMaxHolesInARow = 16;
constexpr size_t kDecodeBlock = 4096;

}  // namespace

OggSource::OggSource(std::unique_ptr<ByteSource> bytes)
    : bytes_(std::move(bytes)), file_(std::make_unique<OggVorbis_File>()) {}

OggSource::~OggSource() {
  if (open_) ov_clear(file_.get());
}

size_t OggSource::ReadBytes(void* buffer, size_t size, size_t count, void* self) {
  auto* s = static_cast<OggSource*>(self);
  if (size == 0 || count == 0) return 0;
  const size_t want = count > std::numeric_limits<size_t>::max() / size ? std::numeric_limits<size_t>::max() : size * count;
  const size_t got = s->bytes_->ReadAt(s->position_, buffer, want);
  s->position_ += got;
  return got / size;
}

int OggSource::SeekBytes(void* self, int64_t offset, int origin) {
  auto* s = static_cast<OggSource*>(self);
  const int64_t size = static_cast<int64_t>(std::min<uint64_t>(s->bytes_->Size(), std::numeric_limits<int64_t>::max()));
  int64_t base = 0;
  if (origin == SEEK_CUR) base = static_cast<int64_t>(s->position_);
  else if (origin == SEEK_END) base = size;
  else if (origin != SEEK_SET) return -1;
  if ((offset < 0 && -offset > base) || (offset > 0 && offset > size - base)) return -1;
  s->position_ = static_cast<uint64_t>(base + offset);
  return 0;
}

long OggSource::TellBytes(void* self) {
  return static_cast<long>(static_cast<OggSource*>(self)->position_);
}

std::unique_ptr<OggSource> OggSource::Open(std::unique_ptr<ByteSource> bytes) {
  if (!bytes) return nullptr;
  std::unique_ptr<OggSource> source(new OggSource(std::move(bytes)));
  // No close callback: the byte source belongs to this object.
  const ov_callbacks callbacks{&OggSource::ReadBytes, &OggSource::SeekBytes, nullptr, &OggSource::TellBytes};
  if (ov_open_callbacks(source.get(), source->file_.get(), nullptr, 0, callbacks) != 0) return nullptr;
  source->open_ = true;
  const vorbis_info* first = ov_info(source->file_.get(), 0);
  if (!first || first->channels < 1 || first->channels > 2 || first->rate < static_cast<long>(kMinRate) ||
      first->rate > static_cast<long>(kMaxRate)) {
    return nullptr;
  }
  const long links = ov_streams(source->file_.get());
  for (long i = 1; i < links; ++i) {
    const vorbis_info* info = ov_info(source->file_.get(), static_cast<int>(i));
    if (!info || info->channels != first->channels || info->rate != first->rate) return nullptr;
  }
  source->channels_ = static_cast<uint32_t>(first->channels);
  source->rate_ = static_cast<uint32_t>(first->rate);
  // Opening a chained file can leave the decoder at the start of its second
  // link; seeking to the first frame starts every file where a rewind does.
  if (!source->Rewind()) return nullptr;
  return source;
}

int64_t OggSource::Read(float* out, size_t frames) {
  const int want = static_cast<int>(std::min<size_t>(frames, 1 << 20));
  for (int holes = 0; holes < kMaxHolesInARow; ++holes) {
    float** pcm = nullptr;
    int link = 0;
    const long n = ov_read_float(file_.get(), &pcm, want, &link);
    if (n == OV_HOLE) continue;
    if (n < 0) return -1;
    if (n == 0) return 0;
    const vorbis_info* info = ov_info(file_.get(), link);
    if (!info || static_cast<uint32_t>(info->channels) != channels_ || n > want) return -1;
    for (long i = 0; i < n; ++i)
      for (uint32_t c = 0; c < channels_; ++c) *out++ = pcm[c][i];
    return n;
  }
  return -1;
}

bool OggSource::Rewind() { return ov_pcm_seek(file_.get(), 0) == 0; }

bool DecodeOgg(std::unique_ptr<ByteSource> bytes, uint32_t outRate, uint64_t maxFrames, DecodedSound* out) {
  std::unique_ptr<OggSource> source = OggSource::Open(std::move(bytes));
  if (!source || outRate == 0) return false;
  const uint32_t channels = source->Channels();
  DecodedSound sound;
  sound.channels = channels;
  sound.rate = outRate;
  std::vector<float> block(kDecodeBlock * channels);
  const bool convert = source->Rate() != outRate;
  LinearResampler resampler(source->Rate(), outRate, channels);
  const uint64_t maxSamples = maxFrames * channels;
  for (;;) {
    const int64_t n = source->Read(block.data(), kDecodeBlock);
    if (n < 0) return false;
    if (n == 0) break;
    if (convert) {
      resampler.Push(block.data(), static_cast<size_t>(n), &sound.samples);
    } else {
      sound.samples.insert(sound.samples.end(), block.begin(), block.begin() + n * channels);
    }
    if (sound.samples.size() > maxSamples) return false;
  }
  if (convert) resampler.Finish(&sound.samples);
  if (sound.samples.empty() || sound.samples.size() > maxSamples) return false;
  *out = std::move(sound);
  return true;
}

}  // namespace plat::audio

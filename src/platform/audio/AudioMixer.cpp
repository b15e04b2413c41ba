#include "platform/audio/AudioMixer.h"

#include <algorithm>
#include <cmath>

namespace plat::audio {

namespace {

constexpr uint32_t kKindSample = 1;
constexpr uint32_t kKindChannel = 2;
constexpr uint32_t kKindStream = 3;

uint32_t KindOf(uint32_t handle) { return handle >> 30; }

float ClampVolume(float v) { return v > 0.0f ? std::min(v, 1.0f) : 0.0f; }  // NaN gives 0

}  // namespace

Mixer::Mixer() : acc_(kBlockFrames * kMixChannels), streamBlock_(kBlockFrames * kMixChannels) {}

Mixer::~Mixer() = default;

int16_t Mixer::ToPcm16(float value) {
  const float y = value * 32767.0f;
  if (y >= 32767.0f) return 32767;
  if (y <= -32768.0f) return -32768;
  if (y != y) return 0;
  return static_cast<int16_t>(std::lrintf(y));
}

SampleHandle Mixer::AddSample(DecodedSound sound, uint32_t maxPlaybacks, bool loop) {
  if ((sound.channels != 1 && sound.channels != 2) || sound.rate != kMixRate || sound.Frames() == 0 ||
      maxPlaybacks == 0) {
    return 0;
  }
  Sample s;
  s.frames = sound.Frames();
  s.sound = std::move(sound);
  s.maxPlaybacks = std::min<uint32_t>(maxPlaybacks, SlotTable<Voice>::kMaxSlots);
  s.loop = loop;
  std::lock_guard lock(mutex_);
  return samples_.Insert(std::move(s), kKindSample);
}

bool Mixer::RemoveSample(SampleHandle sample) {
  Sample gone;
  {
    std::lock_guard lock(mutex_);
    if (!samples_.Find(sample, kKindSample)) return false;
    const uint32_t index = sample & 0xFFFF;
    for (uint32_t i = 0; i < voices_.Size(); ++i)
      if (voices_.Used(i) && !voices_.At(i).stream && voices_.At(i).sample == index) FreeVoice(i);
    gone = samples_.Remove(index);
  }
  return true;  // the sound data goes here, outside the lock
}

uint32_t Mixer::SampleMaxPlaybacks(SampleHandle sample) {
  std::lock_guard lock(mutex_);
  const Sample* s = samples_.Find(sample, kKindSample);
  return s ? s->maxPlaybacks : 0;
}

ChannelHandle Mixer::SampleChannel(SampleHandle sample) {
  std::lock_guard lock(mutex_);
  Sample* s = samples_.Find(sample, kKindSample);
  if (!s || s->channelsInUse >= s->maxPlaybacks) return 0;
  Voice v;
  v.sample = sample & 0xFFFF;
  v.state = ChannelState::Paused;  // holds its place until played
  v.loop = s->loop;
  const ChannelHandle channel = voices_.Insert(std::move(v), kKindChannel);
  if (channel != 0) ++s->channelsInUse;
  return channel;
}

ChannelHandle Mixer::AddStream(std::unique_ptr<StreamDecoder> stream, bool loop) {
  if (!stream) return 0;
  Voice v;
  v.stream = std::move(stream);
  v.loop = loop;
  std::lock_guard lock(mutex_);
  return voices_.Insert(std::move(v), kKindStream);
}

bool Mixer::RemoveStream(ChannelHandle stream) {
  Voice gone;
  {
    std::lock_guard lock(mutex_);
    if (!voices_.Find(stream, kKindStream)) return false;
    gone = voices_.Remove(stream & 0xFFFF);
  }
  return true;  // the decoder and its file close here, outside the lock
}

Mixer::Voice* Mixer::FindVoice(ChannelHandle channel) {
  const uint32_t kind = KindOf(channel);
  if (kind != kKindChannel && kind != kKindStream) return nullptr;
  return voices_.Find(channel, kind);
}

// Only called for sample channels; their sound data stays with the sample.
void Mixer::FreeVoice(uint32_t index) {
  Voice& v = voices_.At(index);
  if (!v.stream) --samples_.At(v.sample).channelsInUse;
  voices_.Remove(index);
}

bool Mixer::Play(ChannelHandle channel, bool restart) {
  std::lock_guard lock(mutex_);
  Voice* v = FindVoice(channel);
  if (!v) return false;
  if (v->stream) {
    if ((restart || v->stream->Ended()) && !v->stream->Rewind()) return false;
  } else if (restart) {
    v->position = 0;
  }
  v->state = ChannelState::Playing;
  return true;
}

bool Mixer::Pause(ChannelHandle channel) {
  std::lock_guard lock(mutex_);
  Voice* v = FindVoice(channel);
  if (!v || v->state == ChannelState::Stopped) return false;
  v->state = ChannelState::Paused;
  return true;
}

bool Mixer::Stop(ChannelHandle channel) {
  std::lock_guard lock(mutex_);
  Voice* v = FindVoice(channel);
  if (!v) return false;
  if (v->stream) {
    v->state = ChannelState::Stopped;
  } else {
    FreeVoice(channel & 0xFFFF);
  }
  return true;
}

ChannelState Mixer::State(ChannelHandle channel) {
  std::lock_guard lock(mutex_);
  const Voice* v = FindVoice(channel);
  return v ? v->state : ChannelState::Stopped;
}

bool Mixer::Looping(ChannelHandle channel) {
  std::lock_guard lock(mutex_);
  const Voice* v = FindVoice(channel);
  return v && v->loop;
}

bool Mixer::SetLooping(ChannelHandle channel, bool loop) {
  std::lock_guard lock(mutex_);
  Voice* v = FindVoice(channel);
  if (!v) return false;
  v->loop = loop;
  return true;
}

bool Mixer::SetVolume(ChannelHandle channel, float volume) {
  std::lock_guard lock(mutex_);
  Voice* v = FindVoice(channel);
  if (!v) return false;
  v->volume = ClampVolume(volume);
  v->sliding = false;
  return true;
}

float Mixer::Volume(ChannelHandle channel) {
  std::lock_guard lock(mutex_);
  const Voice* v = FindVoice(channel);
  return v ? v->volume : 0.0f;
}

bool Mixer::SlideVolume(ChannelHandle channel, float target, uint32_t ms) {
  std::lock_guard lock(mutex_);
  Voice* v = FindVoice(channel);
  if (!v) return false;
  const uint64_t frames = static_cast<uint64_t>(ms) * kMixRate / 1000;
  v->sliding = frames != 0;
  if (!v->sliding) {
    v->volume = ClampVolume(target);
    return true;
  }
  v->slideFrom = v->volume;
  v->slideTo = ClampVolume(target);
  v->slideFrames = frames;
  v->slideDone = 0;
  return true;
}

bool Mixer::IsSliding(ChannelHandle channel) {
  std::lock_guard lock(mutex_);
  const Voice* v = FindVoice(channel);
  return v && v->sliding;
}

void Mixer::SetGlobalVolume(VolumeGroup group, uint32_t volume) {
  std::lock_guard lock(mutex_);
  globalGain_[group == VolumeGroup::Streams ? 1 : 0] =
      static_cast<float>(std::min(volume, kMaxGlobalVolume)) / static_cast<float>(kMaxGlobalVolume);
}

void Mixer::Clear() {
  // Declared before the lock, so the sound data is freed after its release.
  std::vector<Voice> voices;
  std::vector<Sample> samples;
  std::lock_guard lock(mutex_);
  voices_.Clear(&voices);
  samples_.Clear(&samples);
}

// The volume moves on by `frames` of output time; the last frame of a slide
// lands exactly on its target.
void Mixer::AdvanceSlide(Voice& v, uint64_t frames) {
  if (!v.sliding) return;
  v.slideDone = std::min(v.slideDone + frames, v.slideFrames);
  if (v.slideDone == v.slideFrames) {
    v.volume = v.slideTo;
    v.sliding = false;
  } else {
    const double t = static_cast<double>(v.slideDone) / static_cast<double>(v.slideFrames);
    v.volume = v.slideFrom + (v.slideTo - v.slideFrom) * static_cast<float>(t);
  }
}

// Adds frames of a mono or stereo source to the stereo block; during a slide
// the volume steps once per frame, before the frame is scaled.
void Mixer::Accumulate(Voice& v, const float* src, uint32_t channels, float* acc, size_t frames, float global) {
  size_t i = 0;
  while (i < frames && v.sliding) {
    AdvanceSlide(v, 1);
    const float g = v.volume * global;
    acc[2 * i] += src[i * channels] * g;
    acc[2 * i + 1] += src[i * channels + channels - 1] * g;
    ++i;
  }
  const float g = v.volume * global;
  if (i == frames || g == 0.0f) return;
  if (channels == 1) {
    for (; i < frames; ++i) {
      const float s = src[i] * g;
      acc[2 * i] += s;
      acc[2 * i + 1] += s;
    }
  } else {
    for (; i < frames; ++i) {
      acc[2 * i] += src[2 * i] * g;
      acc[2 * i + 1] += src[2 * i + 1] * g;
    }
  }
}

// Mixes one playing channel into the block. A sample channel that reaches its
// end without looping is freed; a stream that ends stops.
void Mixer::MixVoice(uint32_t index, size_t frames) {
  Voice& v = voices_.At(index);
  if (v.stream) {
    const size_t got = v.stream->Read(streamBlock_.data(), frames, v.loop);
    Accumulate(v, streamBlock_.data(), v.stream->Channels(), acc_.data(), got, globalGain_[1]);
    if (got < frames) {
      AdvanceSlide(v, frames - got);
      v.state = ChannelState::Stopped;
    }
    return;
  }
  const Sample& s = samples_.At(v.sample);
  const uint32_t channels = s.sound.channels;
  size_t done = 0;
  while (done < frames) {
    if (v.position >= s.frames) {
      if (!v.loop) break;
      v.position = 0;
    }
    const size_t take = static_cast<size_t>(std::min<uint64_t>(frames - done, s.frames - v.position));
    Accumulate(v, s.sound.samples.data() + v.position * channels, channels, acc_.data() + 2 * done, take,
               globalGain_[0]);
    v.position += take;
    done += take;
  }
  if (!v.loop && v.position >= s.frames) FreeVoice(index);
}

// The lock is taken block by block, so a control call never waits for more
// than one block's work however many frames the output asks for.
void Mixer::Mix(int16_t* out, size_t frames) {
  while (frames > 0) {
    const size_t n = std::min(frames, kBlockFrames);
    std::lock_guard lock(mutex_);
    std::fill(acc_.begin(), acc_.begin() + n * kMixChannels, 0.0f);
    for (uint32_t i = 0; i < voices_.Size(); ++i) {
      if (!voices_.Used(i)) continue;
      Voice& v = voices_.At(i);
      if (v.state == ChannelState::Playing) {
        MixVoice(i, n);
      } else {
        AdvanceSlide(v, n);
      }
    }
    for (size_t i = 0; i < n * kMixChannels; ++i) out[i] = ToPcm16(acc_[i]);
    out += n * kMixChannels;
    frames -= n;
    framesMixed_.fetch_add(n, std::memory_order_relaxed);
  }
}

}  // namespace plat::audio

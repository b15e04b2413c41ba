// The audio services the game's sound manager uses: samples decoded from an
// Ogg Vorbis file range and played on up to N channels each, music streamed
// from a file range, and per channel play, pause, stop, state, loop flag,
// volume and volume slides, with one global volume for samples and one for
// streams.
//
// Handles are 32-bit values, never 0; 0 means "none" or "failed". A channel
// handle stays valid while its channel lives: a sample channel from
// SampleGetChannel until it stops (by Stop or by reaching its end without
// looping), a stream until FreeStream. A stale handle finds nothing: queries
// answer Stopped or false and commands do nothing, even when its slot has
// been reused.
//
// A channel just handed out by SampleGetChannel holds its place and answers
// Paused until it is played or stopped, so a sound kept back while its group
// is paused is not taken for a finished one.
//
// Every call comes from the game's thread; an implementation may mix on a
// thread of its own, and no call blocks longer than one mix period.
#pragma once

#include <cstdint>
#include <string_view>

namespace plat::audio {

using SampleHandle = uint32_t;
using ChannelHandle = uint32_t;  // a sample channel or a stream

enum class ChannelState : uint32_t {
  Stopped = 0,  // ended, stopped, or no such channel
  Playing = 1,
  Paused = 2,   // paused, or handed out and not yet played
};

// The two global volumes: every sample channel is scaled by one, every
// stream by the other.
enum class VolumeGroup : uint32_t { Samples = 0, Streams = 1 };

constexpr uint32_t kMaxGlobalVolume = 10000;

class Backend {
 public:
  virtual ~Backend() = default;

  // Starts the output. False when there is no device: the backend then
  // stays unusable and every other call fails.
  virtual bool Init() = 0;
  // Stops the output and frees every sample, channel and stream.
  virtual void Free() = 0;
  // Called once per game frame; an output without a device mixes the time
  // that has passed on the platform clock since the last call.
  virtual void Update() = 0;

  // volume: 0 (silent) .. kMaxGlobalVolume (full); larger values count as full.
  virtual void SetGlobalVolume(VolumeGroup group, uint32_t volume) = 0;

  // Decodes the whole Ogg Vorbis data at [offset, offset + length) of the file
  // (length 0: to the end of the file). maxPlaybacks (at least 1) bounds the
  // channels the sample plays on at once; loop is the default loop flag of
  // its channels. 0 when the file or its data cannot be read or decoded.
  virtual SampleHandle LoadSample(std::u16string_view path, uint64_t offset, uint64_t length,
                                  uint32_t maxPlaybacks, bool loop) = 0;
  virtual uint32_t SampleMaxPlaybacks(SampleHandle sample) = 0;  // 0 for an unknown sample
  // Stops the sample's channels and frees it.
  virtual bool FreeSample(SampleHandle sample) = 0;
  // A new channel of the sample, at its start, volume 1, the sample's loop
  // flag, answering Paused; 0 when the sample's channels are all in use.
  virtual ChannelHandle SampleGetChannel(SampleHandle sample) = 0;

  // Opens the Ogg Vorbis data at [offset, offset + length) of the file
  // (length 0: to the end) as a stream decoded while it plays; it answers
  // Stopped until played. 0 when the data cannot be opened.
  virtual ChannelHandle CreateStream(std::u16string_view path, uint64_t offset, uint64_t length, bool loop) = 0;
  virtual bool FreeStream(ChannelHandle stream) = 0;

  // Plays a channel; restart begins it again from its start, else a paused
  // channel goes on where it was (a stream that ended starts again).
  virtual bool Play(ChannelHandle channel, bool restart) = 0;
  virtual bool Pause(ChannelHandle channel) = 0;  // false unless playing or paused
  // A sample channel stops for good (its handle goes stale); a stream stops
  // where it is and can be played again.
  virtual bool Stop(ChannelHandle channel) = 0;
  virtual ChannelState State(ChannelHandle channel) = 0;

  virtual bool Looping(ChannelHandle channel) = 0;
  virtual bool SetLooping(ChannelHandle channel, bool loop) = 0;

  // volume 0..1. Setting it cancels a running slide.
  virtual bool SetVolume(ChannelHandle channel, float volume) = 0;
  virtual float Volume(ChannelHandle channel) = 0;  // 0 for an unknown channel
  // Moves the volume linearly to the target over ms of output time (0 ms:
  // at once); the slide runs whether the channel plays or not.
  virtual bool SlideVolume(ChannelHandle channel, float target, uint32_t ms) = 0;
  virtual bool IsSliding(ChannelHandle channel) = 0;
};

}  // namespace plat::audio

// SoundManager - the one keeper of the game's sound, behind the methods of
// SoundSettings: loaded samples, the channels they play on and the music
// streams, each addressed by an opaque handle (SoundHandleTable), over an
// audio backend that it owns.
//
// A sample plays on at most its backend's number of channels at once; every
// playing channel carries group bits, and a group paused (pauses nest per
// bit) holds its channels, including those started while it is paused,
// until it is resumed. A channel faded out leaves the playing table for the
// fading one and is freed by Update once its slide has ended. Music streams
// are opened on first play; switching music fades the old one out and the
// new one in over 500 ms each. Only the game's thread calls it. Times come
// from the platform clock.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/Identifier.h"
#include "base/Types.h"
#include "platform/audio/AudioBackend.h"
#include "resources/SoundHandleTable.h"

struct SoundSettings;
struct SoundSample;

// A playing (or fading) channel of a sample.
struct SAMPLECHANNEL {
  plat::audio::ChannelHandle channel = 0;  // the backend's; 0 once lost
  u32 handle = 0;                          // in the playing or the fading table
  SoundSample* sample = nullptr;
  SAMPLECHANNEL* nextFree = nullptr;
  u32 index = 0;  // in the sample's channel array
  u32 groupMask = 0;
  u32 fading = 0;
  u32 fadeEnd = 0;  // ms of the platform clock
  u32 paused = 0;   // held by a paused group
};

struct SoundSample {
  u32 handle = 0;
  kis::Identifier name;
  u32 loop = 0;
  plat::audio::SampleHandle sample = 0;
  u32 maxPlaybacks = 0;
  std::vector<SAMPLECHANNEL*> channels;  // its records, at most maxPlaybacks
};

struct SoundStream {
  u32 handle = 0;
  kis::Identifier name;
  plat::audio::ChannelHandle stream = 0;  // 0 until first played
  u32 fromFile = 1;
  std::u16string path;
  u32 offset = 0;
  u32 length = 0;
};

class SoundManager {
 public:
  // Handle tags of the four tables.
  static constexpr u32 kSampleTag = 0x20000000u;
  static constexpr u32 kPlayingTag = 0x40000000u;
  static constexpr u32 kFadingTag = 0xC0000000u;
  static constexpr u32 kMusicTag = 0x60000000u;
  static constexpr u32 kMaxPlaybacks = 16;
  static constexpr u32 kMusicFadeMs = 500;
  static constexpr u32 kGroupFadeMs = 250;

  // settings: where the current and the fading music are kept.
  SoundManager(std::unique_ptr<plat::audio::Backend> backend, SoundSettings* settings);
  // Frees every channel, sample and stream, then the backend's output.
  ~SoundManager();
  SoundManager(const SoundManager&) = delete;
  SoundManager& operator=(const SoundManager&) = delete;

  bool Start();  // the backend's output; false without a device
  plat::audio::Backend& GetBackend() { return *backend_; }

  u32 LoadSample(const wchar* path, const wchar* name, u32 offset, u32 length, bool loop);
  u32 FindSound(const wchar* name);
  u32 PlaySound(u32 sample, u32 groupMask, i32 loop);  // loop: 1 on, 0 off, -1 as loaded
  void StopSound(u32 channel);
  void FadeOutSound(u32 channel, u32 ms);
  void PauseSounds(u32 groupMask);
  void ResumeSounds(u32 groupMask);
  void FadeOutSounds(u32 groupMask);

  u32 AddMusic(const wchar* path, const wchar* name, u32 offset, u32 length);
  bool PlayMusic(const wchar* name, bool loop);
  void StopMusic(u32 music);
  void FreeMusic(u32 music);
  bool IsMusicPlaying();
  void Update();

  // What tests look at.
  u32 GetPausedGroups() const { return pausedGroups_; }
  u32 GetPlayingCount() const { return playing_.GetCount(); }
  u32 GetFadingCount() const { return fading_.GetCount(); }
  // The backend channel of a playing or fading channel handle; 0 for none.
  plat::audio::ChannelHandle GetBackendChannel(u32 channel) const;
  plat::audio::ChannelHandle GetMusicStream(u32 music) const;

 private:
  SAMPLECHANNEL* FindChannel(u32 handle);  // frees and forgets a channel that has ended
  void FreeChannel(SAMPLECHANNEL* record);
  bool TakeFreeSlot(SoundSample* sample, plat::audio::ChannelHandle channel);
  SAMPLECHANNEL* NewRecord();
  SoundStream* FindMusic(const wchar* name);
  void RecomputePausedGroups();
  bool ChannelEnded(plat::audio::ChannelHandle channel);

  std::unique_ptr<plat::audio::Backend> backend_;
  SoundSettings* settings_;
  u32 pauseCounts_[32] = {};
  u32 pausedGroups_ = 0;
  std::vector<std::unique_ptr<SAMPLECHANNEL>> pool_;  // every channel record
  SAMPLECHANNEL* freeRecords_ = nullptr;
  SoundHandleTable<SoundSample> samples_{kSampleTag};
  SoundHandleTable<SAMPLECHANNEL> playing_{kPlayingTag};
  SoundHandleTable<SAMPLECHANNEL> fading_{kFadingTag};
  SoundHandleTable<SoundStream> music_{kMusicTag};
};

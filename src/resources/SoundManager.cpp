// Samples, their channels, the groups and the per-frame update of the sound
// manager (its music is in SoundManagerMusic.cpp).
#include "resources/SoundManager.h"

#include "base/Clock.h"
#include "resources/SoundSettings.h"

using plat::audio::ChannelHandle;
using plat::audio::ChannelState;

SoundManager::SoundManager(std::unique_ptr<plat::audio::Backend> backend, SoundSettings* settings)
    : backend_(std::move(backend)), settings_(settings) {}

SoundManager::~SoundManager() {
  for (u32 h = fading_.First(); h; h = fading_.First()) FreeChannel(fading_.Find(h));
  for (u32 h = playing_.First(); h; h = playing_.First()) FreeChannel(playing_.Find(h));
  for (u32 h = samples_.First(); h; h = samples_.First()) {
    SoundSample* s = samples_.Remove(h);
    backend_->FreeSample(s->sample);
    delete s;
  }
  for (u32 h = music_.First(); h; h = music_.First()) {
    SoundStream* s = music_.Remove(h);
    if (s->stream) backend_->FreeStream(s->stream);
    delete s;
  }
  backend_->Free();
}

bool SoundManager::Start() { return backend_->Init(); }

bool SoundManager::ChannelEnded(ChannelHandle channel) {
  return channel == 0 || backend_->State(channel) == ChannelState::Stopped;
}

// The record keeps its backend sample only when the backend could decode the
// data; otherwise nothing is kept and the result is 0.
u32 SoundManager::LoadSample(const wchar* path, const wchar* name, u32 offset, u32 length, bool loop) {
  if (!path) return 0;
  auto sample = std::make_unique<SoundSample>();
  sample->sample = backend_->LoadSample(path, offset, length, kMaxPlaybacks, loop);
  if (!sample->sample) return 0;
  sample->loop = loop ? 1 : 0;
  sample->maxPlaybacks = backend_->SampleMaxPlaybacks(sample->sample);
  if (sample->maxPlaybacks == 0) sample->maxPlaybacks = 1;
  if (name) sample->name.Parse(name, kis::kToTerminator, false, nullptr, nullptr);
  sample->handle = samples_.Insert(sample.get());
  if (!sample->handle) {
    backend_->FreeSample(sample->sample);
    return 0;
  }
  return sample.release()->handle;
}

u32 SoundManager::FindSound(const wchar* name) {
  kis::Identifier wanted;
  if (!name || !wanted.Parse(name, kis::kToTerminator, false, nullptr, nullptr)) return 0;
  for (u32 h = samples_.First(); h; h = samples_.Next(h))
    if (samples_.Find(h)->name.Equals(wanted)) return h;
  return 0;
}

SAMPLECHANNEL* SoundManager::NewRecord() {
  if (SAMPLECHANNEL* r = freeRecords_) {
    freeRecords_ = r->nextFree;
    *r = SAMPLECHANNEL{};
    return r;
  }
  pool_.push_back(std::make_unique<SAMPLECHANNEL>());
  return pool_.back().get();
}

// A sample with all its records in use makes room for a new channel: a record
// that still names that backend channel (the backend handed it out again) lets
// go of it, and the first record whose channel has ended is freed. A record
// held back by a paused group is not ended: the backend answers Paused for it.
bool SoundManager::TakeFreeSlot(SoundSample* sample, ChannelHandle channel) {
  for (SAMPLECHANNEL* r : sample->channels)
    if (r->channel == channel) r->channel = 0;
  for (SAMPLECHANNEL* r : sample->channels) {
    if (ChannelEnded(r->channel)) {
      FreeChannel(r);
      return true;
    }
  }
  return false;
}

u32 SoundManager::PlaySound(u32 sampleHandle, u32 groupMask, i32 loop) {
  SoundSample* sample = samples_.Find(sampleHandle);
  if (!sample) return 0;
  if (sample->channels.capacity() == 0) sample->channels.reserve(sample->maxPlaybacks);
  const ChannelHandle channel = backend_->SampleGetChannel(sample->sample);
  if (!channel) return 0;
  if (sample->channels.size() >= sample->maxPlaybacks && !TakeFreeSlot(sample, channel)) {
    backend_->Stop(channel);
    return 0;
  }
  SAMPLECHANNEL* r = NewRecord();
  r->handle = playing_.Insert(r);
  if (!r->handle) {
    backend_->Stop(channel);
    r->nextFree = freeRecords_;
    freeRecords_ = r;
    return 0;
  }
  r->channel = channel;
  r->sample = sample;
  r->index = static_cast<u32>(sample->channels.size());
  r->groupMask = groupMask;
  sample->channels.push_back(r);
  // The loop flag is set before the group test, so a looping sound started
  // in a paused group also loops once its group resumes.
  if (loop != -1 && backend_->Looping(channel) != (loop != 0)) backend_->SetLooping(channel, loop != 0);
  if (groupMask & pausedGroups_) {
    r->paused = 1;
  } else if (!backend_->Play(channel, true)) {
    FreeChannel(r);
    return 0;
  }
  return r->handle;
}

// Stops the backend channel, moves the sample's last record into the freed
// place, and takes the record out of its table onto the free list.
void SoundManager::FreeChannel(SAMPLECHANNEL* r) {
  if (!r) return;
  if (r->channel) backend_->Stop(r->channel);
  if (SoundSample* s = r->sample) {
    SAMPLECHANNEL* last = s->channels.back();
    s->channels[r->index] = last;
    last->index = r->index;
    s->channels.pop_back();
  }
  if (r->handle) (r->fading ? fading_ : playing_).Remove(r->handle);
  *r = SAMPLECHANNEL{};
  r->nextFree = freeRecords_;
  freeRecords_ = r;
}

SAMPLECHANNEL* SoundManager::FindChannel(u32 handle) {
  SAMPLECHANNEL* r = playing_.Find(handle);
  if (r && ChannelEnded(r->channel)) {
    FreeChannel(r);
    return nullptr;
  }
  return r;
}

void SoundManager::StopSound(u32 channel) { FreeChannel(FindChannel(channel)); }

// 0 ms, or a time of 0x80000000 ms and beyond, stops at once. A channel that
// does not play (held by a paused group) is freed rather than faded.
void SoundManager::FadeOutSound(u32 channel, u32 ms) {
  SAMPLECHANNEL* r = FindChannel(channel);
  if (!r) return;
  if (ms == 0 || ms >= 0x80000000u) {
    FreeChannel(r);
    return;
  }
  playing_.Remove(r->handle);
  r->handle = 0;
  if (backend_->State(r->channel) == ChannelState::Playing && backend_->SlideVolume(r->channel, 0.0f, ms)) {
    r->handle = fading_.Insert(r);
    if (r->handle) {
      r->fading = 1;
      r->fadeEnd = kis::GetTimeMs() + 100 + ms;
      return;
    }
  }
  FreeChannel(r);
}

void SoundManager::RecomputePausedGroups() {
  pausedGroups_ = 0;
  for (u32 bit = 0; bit < 32; ++bit)
    if (pauseCounts_[bit] > 0) pausedGroups_ |= 1u << bit;
}

// Acts only when a group's pause count rose from 0: its playing channels are
// paused and held, its fading channels stopped.
void SoundManager::PauseSounds(u32 groupMask) {
  bool rose = false;
  for (u32 bit = 0; bit < 32; ++bit)
    if ((groupMask >> bit & 1) && pauseCounts_[bit]++ == 0) rose = true;
  if (!rose) return;
  RecomputePausedGroups();
  for (u32 h = playing_.First(); h; h = playing_.Next(h)) {
    SAMPLECHANNEL* r = playing_.Find(h);
    if ((r->groupMask & pausedGroups_) && !r->paused) {
      backend_->Pause(r->channel);
      r->paused = 1;
    }
  }
  for (u32 h = fading_.First(), next; h; h = next) {
    next = fading_.Next(h);
    SAMPLECHANNEL* r = fading_.Find(h);
    if (r->groupMask & pausedGroups_) FreeChannel(r);
  }
}

// Acts only when a group's pause count reached 0: the held channels of the
// mask whose groups are all running again go on (or start, when they were
// started while held).
void SoundManager::ResumeSounds(u32 groupMask) {
  bool reached = false;
  for (u32 bit = 0; bit < 32; ++bit)
    if ((groupMask >> bit & 1) && pauseCounts_[bit] > 0 && --pauseCounts_[bit] == 0) reached = true;
  if (!reached) return;
  RecomputePausedGroups();
  for (u32 h = playing_.First(); h; h = playing_.Next(h)) {
    SAMPLECHANNEL* r = playing_.Find(h);
    if (r->paused && (r->groupMask & groupMask) && !(r->groupMask & pausedGroups_)) {
      r->paused = 0;
      backend_->Play(r->channel, false);
    }
  }
}

void SoundManager::FadeOutSounds(u32 groupMask) {
  for (u32 h = playing_.First(), next; h; h = next) {
    next = playing_.Next(h);
    if (playing_.Find(h)->groupMask & groupMask) FadeOutSound(h, kGroupFadeMs);
  }
}

// The backend mixes first (an output without a device catches up on the
// clock); then the music fading out and the fading channels are cleaned up,
// the channels in the order they began to fade, stopping at the first one
// whose end time is still ahead.
void SoundManager::Update() {
  backend_->Update();
  if (settings_->fadingMusic) {
    SoundStream* s = music_.Find(settings_->fadingMusic);
    if (!s || !s->stream || !backend_->IsSliding(s->stream) ||
        backend_->State(s->stream) != ChannelState::Playing) {
      if (s && s->stream) backend_->Stop(s->stream);
      settings_->fadingMusic = 0;
    }
  }
  const u32 now = kis::GetTimeMs();
  for (u32 h = fading_.First(), next; h; h = next) {
    next = fading_.Next(h);
    SAMPLECHANNEL* r = fading_.Find(h);
    if (ChannelEnded(r->channel)) {
      FreeChannel(r);
      continue;
    }
    if (static_cast<i32>(r->fadeEnd - now) > 0) break;
    if (!backend_->IsSliding(r->channel)) FreeChannel(r);
  }
}

ChannelHandle SoundManager::GetBackendChannel(u32 channel) const {
  const SAMPLECHANNEL* r = playing_.Find(channel);
  if (!r) r = fading_.Find(channel);
  return r ? r->channel : 0;
}

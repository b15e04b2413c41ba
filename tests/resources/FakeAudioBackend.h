// A scripted audio backend for the sound manager's tests: it keeps samples,
// channels and streams the way the real backend does (a channel handed out
// answers Paused until played, a sample's channels are bounded, a stopped
// sample channel is gone), mixes nothing, and lets the test end channels,
// finish slides, refuse loads and read every call back.
#pragma once

#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/audio/AudioBackend.h"
#include "platform/encoding/Utf.h"

namespace soundtest {

using plat::audio::ChannelHandle;
using plat::audio::ChannelState;
using plat::audio::SampleHandle;

struct FakeAudio {
  struct Load {
    std::u16string path;
    uint64_t offset, length;
    bool loop;
  };
  struct Sample {
    uint32_t max;
    bool loop;
  };
  struct Channel {
    SampleHandle sample = 0;  // 0 for a stream
    ChannelState state = ChannelState::Paused;
    bool loop = false;
    float volume = 1.0f;
    bool sliding = false;
    float target = 0;
    uint32_t slideMs = 0;
    bool started = false;
    uint32_t plays = 0;     // Play calls that started it from its start
    uint32_t resumes = 0;   // Play calls that went on where it was
  };

  bool device = true;
  uint32_t channelsPerSample = 16;  // how many channels a sample really has
  uint32_t reportedMax = 0;         // what SampleMaxPlaybacks says (0: the real number)
  bool reuseHandles = false;        // hand a gone channel's handle out again
  bool checkOgg = false;            // refuse data that does not begin with "OggS"
  std::set<std::u16string> badPaths;
  uint32_t updates = 0;
  uint32_t globalVolume[2] = {kUnset, kUnset};
  std::vector<Load> loads;
  std::vector<Load> streams;
  std::map<SampleHandle, Sample> samples;
  std::map<ChannelHandle, Channel> channels;
  std::vector<ChannelHandle> gone;  // handles to give out again
  uint32_t next = 1;
  std::function<void()> onPlay;  // called at every Play: a test looks at the game as the sound starts

  static constexpr uint32_t kUnset = 0xFFFFFFFFu;

  Channel* Find(ChannelHandle h) {
    auto it = channels.find(h);
    return it == channels.end() ? nullptr : &it->second;
  }
  ChannelState StateOf(ChannelHandle h) {
    Channel* c = Find(h);
    return c ? c->state : ChannelState::Stopped;
  }
  // A sample channel reaching its end.
  void End(ChannelHandle h) {
    if (Channel* c = Find(h)) Drop(h, c);
  }
  void Drop(ChannelHandle h, Channel* c) {
    if (c->sample) {
      channels.erase(h);
      if (reuseHandles) gone.push_back(h);
    } else {
      c->state = ChannelState::Stopped;
    }
  }
  void FinishSlides() {
    for (auto& [h, c] : channels)
      if (c.sliding) {
        c.volume = c.target;
        c.sliding = false;
      }
  }
  uint32_t InUse(SampleHandle s) {
    uint32_t n = 0;
    for (auto& [h, c] : channels) n += c.sample == s;
    return n;
  }
  static bool BeginsWithOgg(const std::u16string& path, uint64_t offset) {
    std::ifstream in(plat::Utf16ToUtf8(path), std::ios::binary);
    char magic[4] = {};
    in.seekg(static_cast<std::streamoff>(offset));
    return in.read(magic, 4) && std::string(magic, 4) == "OggS";
  }
};

class FakeBackend final : public plat::audio::Backend {
 public:
  explicit FakeBackend(FakeAudio* audio) : a_(*audio) {}

  bool Init() override { return a_.device; }
  void Free() override {
    a_.channels.clear();
    a_.samples.clear();
  }
  void Update() override { ++a_.updates; }
  void SetGlobalVolume(plat::audio::VolumeGroup group, uint32_t volume) override {
    a_.globalVolume[static_cast<uint32_t>(group)] = volume;
  }

  SampleHandle LoadSample(std::u16string_view path, uint64_t offset, uint64_t length, uint32_t maxPlaybacks,
                          bool loop) override {
    const std::u16string p(path);
    a_.loads.push_back({p, offset, length, loop});
    if (a_.badPaths.count(p) || (a_.checkOgg && !FakeAudio::BeginsWithOgg(p, offset))) return 0;
    const SampleHandle h = 0x10000 + a_.next++;
    a_.samples[h] = {std::min(maxPlaybacks, a_.channelsPerSample), loop};
    return h;
  }
  uint32_t SampleMaxPlaybacks(SampleHandle sample) override {
    auto it = a_.samples.find(sample);
    if (it == a_.samples.end()) return 0;
    return a_.reportedMax ? a_.reportedMax : it->second.max;
  }
  bool FreeSample(SampleHandle sample) override {
    for (auto it = a_.channels.begin(); it != a_.channels.end();)
      it = it->second.sample == sample ? a_.channels.erase(it) : std::next(it);
    return a_.samples.erase(sample) > 0;
  }
  ChannelHandle SampleGetChannel(SampleHandle sample) override {
    auto it = a_.samples.find(sample);
    if (it == a_.samples.end() || a_.InUse(sample) >= it->second.max) return 0;
    ChannelHandle h;
    if (!a_.gone.empty()) {
      h = a_.gone.back();
      a_.gone.pop_back();
    } else {
      h = 0x20000 + a_.next++;
    }
    FakeAudio::Channel c;
    c.sample = sample;
    c.loop = it->second.loop;
    a_.channels[h] = c;
    return h;
  }

  ChannelHandle CreateStream(std::u16string_view path, uint64_t offset, uint64_t length, bool loop) override {
    const std::u16string p(path);
    a_.streams.push_back({p, offset, length, loop});
    if (a_.badPaths.count(p)) return 0;
    const ChannelHandle h = 0x30000 + a_.next++;
    FakeAudio::Channel c;
    c.state = ChannelState::Stopped;
    c.loop = loop;
    a_.channels[h] = c;
    return h;
  }
  bool FreeStream(ChannelHandle stream) override { return a_.channels.erase(stream) > 0; }

  bool Play(ChannelHandle h, bool restart) override {
    FakeAudio::Channel* c = a_.Find(h);
    if (!c) return false;
    if (a_.onPlay) a_.onPlay();
    if (restart || !c->started || c->state == ChannelState::Stopped) ++c->plays;
    else ++c->resumes;
    c->started = true;
    c->state = ChannelState::Playing;
    return true;
  }
  bool Pause(ChannelHandle h) override {
    FakeAudio::Channel* c = a_.Find(h);
    if (!c || c->state == ChannelState::Stopped) return false;
    c->state = ChannelState::Paused;
    return true;
  }
  bool Stop(ChannelHandle h) override {
    FakeAudio::Channel* c = a_.Find(h);
    if (!c) return false;
    a_.Drop(h, c);
    return true;
  }
  ChannelState State(ChannelHandle h) override { return a_.StateOf(h); }
  bool Looping(ChannelHandle h) override { return a_.Find(h) && a_.Find(h)->loop; }
  bool SetLooping(ChannelHandle h, bool loop) override {
    FakeAudio::Channel* c = a_.Find(h);
    if (c) c->loop = loop;
    return c != nullptr;
  }
  bool SetVolume(ChannelHandle h, float volume) override {
    FakeAudio::Channel* c = a_.Find(h);
    if (!c) return false;
    c->volume = volume;
    c->sliding = false;
    return true;
  }
  float Volume(ChannelHandle h) override { return a_.Find(h) ? a_.Find(h)->volume : 0.0f; }
  bool SlideVolume(ChannelHandle h, float target, uint32_t ms) override {
    FakeAudio::Channel* c = a_.Find(h);
    if (!c) return false;
    c->target = target;
    c->slideMs = ms;
    c->sliding = ms > 0;
    if (ms == 0) c->volume = target;
    return true;
  }
  bool IsSliding(ChannelHandle h) override { return a_.Find(h) && a_.Find(h)->sliding; }

 private:
  FakeAudio& a_;
};

}  // namespace soundtest

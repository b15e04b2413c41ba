// The sound manager through SoundSettings on a scripted backend: handles,
// channel limits, groups, fades, music and the path without a manager.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeAudioBackend.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "resources/ResourceServices.h"
#include "resources/SoundHandleTable.h"
#include "resources/SoundManager.h"
#include "resources/SoundSettings.h"

namespace {

using soundtest::FakeAudio;
using soundtest::FakeBackend;
using plat::audio::ChannelState;
using plat::audio::VolumeGroup;

constexpr u32 kLevel = kSoundGroupLevel | kSoundGroupScreen;  // how level sounds are played

TEST(SoundHandleTable, HandlesGoStaleAndGenerationsWrap) {
  SoundHandleTable<int> table(SoundManager::kPlayingTag);
  int a = 1, b = 2, c = 3, d = 4;
  const u32 ha = table.Insert(&a), hb = table.Insert(&b), hc = table.Insert(&c);
  EXPECT_EQ(ha, 0x40010000u);
  EXPECT_EQ(hc, 0x40010002u);
  EXPECT_EQ(table.Insert(nullptr), 0u);
  EXPECT_EQ(table.Remove(hb), &b);
  const u32 hd = table.Insert(&d);
  EXPECT_EQ(hd, 0x40020001u);  // the freed slot, one generation on
  EXPECT_EQ(table.Find(hb), nullptr);
  EXPECT_EQ(table.Remove(hb), nullptr);
  EXPECT_EQ(table.Find(hd), &d);
  EXPECT_EQ(table.Find((hd & 0x1FFFFFFF) | SoundManager::kFadingTag), nullptr);
  EXPECT_EQ(table.Find(0), nullptr);
  EXPECT_EQ(table.Find(0x40010007u), nullptr);
  std::vector<int*> order;
  for (u32 h = table.First(); h; h = table.Next(h)) order.push_back(table.Find(h));
  EXPECT_EQ(order, (std::vector<int*>{&a, &c, &d}));  // insertion order, not slot order

  u32 h = hd;
  for (u32 generation = 2; generation < SoundHandleTable<int>::kMaxGeneration; ++generation) {
    table.Remove(h);
    h = table.Insert(&d);
  }
  EXPECT_EQ(h, 0x5FFF0001u);
  table.Remove(h);
  EXPECT_EQ(table.Insert(&d), 0x40010001u);  // wrapped to generation 1

  SoundHandleTable<int> full(SoundManager::kSampleTag);
  for (u32 i = 0; i < SoundHandleTable<int>::kMaxSlots; ++i) ASSERT_NE(full.Insert(&a), 0u);
  EXPECT_EQ(full.Insert(&b), 0u);
  full.Remove(full.First());
  EXPECT_EQ(full.Insert(&b), 0x20020000u);
  EXPECT_EQ(full.GetCount(), SoundHandleTable<int>::kMaxSlots);
}

class SoundManagerTest : public ::testing::Test {
 protected:
  SoundManagerTest() : scoped_({.clock = &clock_}) { ResetResourceServices(); }
  ~SoundManagerTest() override {
    sound().Shutdown();
    ResetResourceServices();
  }

  SoundSettings& sound() { return GetSoundSettings(); }
  bool Start() { return sound().Init(std::make_unique<FakeBackend>(&audio)); }
  u32 Load(const wchar* name, bool loop = false) { return sound().LoadSample(u"Sounds.dat", name, 100, 50, loop); }
  soundtest::ChannelHandle Ch(u32 channel) { return sound().manager->GetBackendChannel(channel); }
  ChannelState StateOf(u32 channel) { return audio.StateOf(Ch(channel)); }
  FakeAudio::Channel* Music(u32 music) { return audio.Find(sound().manager->GetMusicStream(music)); }

  FakeAudio audio;
  plat::FakeClock clock_{1000};
  plat::PlatformServicesScope scoped_;
};

TEST_F(SoundManagerTest, WithoutADeviceThereIsNoManagerAndEveryCallDoesNothing) {
  EXPECT_EQ(sound().PlaySound(0x20010000u, 0, -1), 0u);  // before Init
  audio.device = false;
  EXPECT_FALSE(Start());
  EXPECT_EQ(sound().manager, nullptr);
  EXPECT_EQ(Load(u"a"), 0u);
  EXPECT_EQ(sound().FindSound(u"a"), 0u);
  EXPECT_EQ(sound().LoadSound(u"a", false), 0u);
  EXPECT_EQ(sound().PlaySound(0x20010000u, 0, -1), 0u);
  EXPECT_EQ(sound().AddMusic(u"m.ogg", nullptr, 0, 0), 0u);
  EXPECT_FALSE(sound().PlayMusic(u"m", true));
  EXPECT_FALSE(sound().IsMusicPlaying());
  sound().StopSound(0x40010000u);
  sound().FadeOutSound(0x40010000u, 100);
  sound().PauseSounds(kLevel);
  sound().ResumeSounds(kLevel);
  sound().FadeOutSounds(kLevel);
  sound().StopMusic(0x60010000u);
  sound().FreeMusic(0x60010000u);
  sound().Mute();
  sound().ApplyVolumes();
  sound().Update();
  EXPECT_TRUE(audio.loads.empty());
  EXPECT_EQ(audio.updates, 0u);
  EXPECT_EQ(audio.globalVolume[0], FakeAudio::kUnset);
}

TEST_F(SoundManagerTest, GlobalVolumesFollowTheSettings) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(audio.globalVolume[static_cast<u32>(VolumeGroup::Streams)], 5000u);
  EXPECT_EQ(audio.globalVolume[static_cast<u32>(VolumeGroup::Samples)], 5000u);
  sound().musicVolume = 33.336f;
  sound().soundsOn = 0;
  sound().ApplyVolumes();
  EXPECT_EQ(audio.globalVolume[1], 3334u);
  EXPECT_EQ(audio.globalVolume[0], 0u);
  sound().Mute();
  EXPECT_EQ(audio.globalVolume[1], 0u);
  sound().musicVolume = 250.0f;
  sound().Unmute();
  EXPECT_EQ(audio.globalVolume[1], 10000u);
  sound().soundsOn = 1;
  sound().soundsVolume = -5.0f;
  sound().ApplyVolume(SoundSettings::kSounds);
  EXPECT_EQ(audio.globalVolume[0], 0u);
}

TEST_F(SoundManagerTest, SamplesAreFoundByNameAndLooseFilesLoadOnce) {
  ASSERT_TRUE(Start());
  audio.badPaths.insert(u"broken.dat");
  EXPECT_EQ(sound().LoadSample(u"broken.dat", u"gone", 0, 10, false), 0u);
  EXPECT_EQ(sound().FindSound(u"gone"), 0u);
  const u32 looped = Load(u"Rain_Loop", true);
  EXPECT_EQ(looped >> 29, 1u);
  EXPECT_EQ(sound().FindSound(u"rain_LOOP"), looped);
  const u32 door = sound().LoadSound(u"Door", false);
  ASSERT_NE(door, 0u);
  EXPECT_EQ(audio.loads.back().path, u"Sounds\\Door.ogg");
  EXPECT_EQ(audio.loads.back().length, 0u);
  EXPECT_EQ(sound().LoadSound(u"door", true), door);
  EXPECT_EQ(audio.loads.size(), 3u);
  EXPECT_EQ(sound().LoadSound(u"", false), 0u);
  EXPECT_EQ(sound().LoadSound(std::u16string(300, u'x').c_str(), false), 0u);
  EXPECT_EQ(audio.loads.size(), 3u);

  // The loop flag: as loaded, forced on, forced off.
  EXPECT_TRUE(audio.Find(Ch(sound().PlaySound(looped, 0, -1)))->loop);
  EXPECT_TRUE(audio.Find(Ch(sound().PlaySound(door, 0, 1)))->loop);
  EXPECT_FALSE(audio.Find(Ch(sound().PlaySound(looped, 0, 0)))->loop);
  EXPECT_EQ(sound().PlaySound(door | 0x1000, 0, -1), 0u);
  sound().Update();
  EXPECT_EQ(audio.updates, 1u);

  sound().Shutdown();
  EXPECT_TRUE(audio.channels.empty());
  EXPECT_EQ(sound().FindSound(u"door"), 0u);
}

TEST_F(SoundManagerTest, SeventeenthPlayGetsNothingUntilOneEnds) {
  ASSERT_TRUE(Start());
  const u32 click = Load(u"click");
  std::vector<u32> handles;
  for (int i = 0; i < 16; ++i) handles.push_back(sound().PlaySound(click, kSoundGroupClick, -1));
  for (u32 h : handles) ASSERT_EQ(StateOf(h), ChannelState::Playing);
  EXPECT_EQ(sound().PlaySound(click, kSoundGroupClick, -1), 0u);
  EXPECT_EQ(audio.channels.size(), 16u);

  const u32 ended = handles[4];
  audio.End(Ch(ended));
  const u32 again = sound().PlaySound(click, kSoundGroupClick, -1);
  ASSERT_NE(again, 0u);
  EXPECT_EQ(again & 0xFFFF, ended & 0xFFFF);  // the ended one's slot, a newer generation
  EXPECT_NE(again, ended);
  EXPECT_EQ(sound().manager->GetPlayingCount(), 16u);
  sound().StopSound(ended);
  sound().FadeOutSound(ended, 100);
  EXPECT_EQ(StateOf(again), ChannelState::Playing);
  EXPECT_EQ(sound().manager->GetFadingCount(), 0u);
  sound().StopSound(again);
  EXPECT_EQ(audio.channels.size(), 15u);
}

// The manager's own limit, below the backend's: a channel held back by a
// paused group is never taken for an ended one, and a record naming a
// channel the backend hands out again lets go of it without stopping it.
TEST_F(SoundManagerTest, AFullSampleMakesRoomOnlyFromEndedChannels) {
  audio.reportedMax = 2;
  ASSERT_TRUE(Start());
  const u32 step = Load(u"step");
  sound().PauseSounds(kSoundGroupLevel);
  const u32 a = sound().PlaySound(step, kLevel, -1);
  const u32 b = sound().PlaySound(step, kLevel, -1);
  ASSERT_NE(b, 0u);
  EXPECT_EQ(StateOf(a), ChannelState::Paused);
  EXPECT_EQ(audio.Find(Ch(a))->plays, 0u);
  EXPECT_EQ(sound().PlaySound(step, kLevel, -1), 0u);
  EXPECT_EQ(audio.channels.size(), 2u);  // the third channel went back
  sound().ResumeSounds(kSoundGroupLevel);
  EXPECT_EQ(audio.Find(Ch(a))->plays, 1u);
  EXPECT_EQ(StateOf(b), ChannelState::Playing);

  audio.reuseHandles = true;
  const soundtest::ChannelHandle old = Ch(a);
  audio.End(old);
  const u32 d = sound().PlaySound(step, 0, -1);
  ASSERT_NE(d, 0u);
  EXPECT_EQ(Ch(d), old);
  EXPECT_EQ(audio.StateOf(old), ChannelState::Playing);
  sound().StopSound(a);
  EXPECT_EQ(audio.StateOf(old), ChannelState::Playing);
}

TEST_F(SoundManagerTest, NestedPausesHoldTheGroupAndSoundsStartedMeanwhile) {
  ASSERT_TRUE(Start());
  const u32 step = Load(u"step"), rain = Load(u"rain");
  const u32 walking = sound().PlaySound(step, kLevel, -1);
  const u32 click = sound().PlaySound(step, kSoundGroupClick, -1);
  const u32 fading = sound().PlaySound(step, kLevel, -1);
  const u32 other = sound().PlaySound(step, kSoundGroupClick, -1);
  sound().FadeOutSound(fading, 300);
  sound().FadeOutSound(other, 300);
  sound().PauseSounds(kSoundGroupLevel);
  EXPECT_EQ(sound().manager->GetFadingCount(), 1u);  // the level's fade is cut
  sound().PauseSounds(kSoundGroupLevel);
  EXPECT_EQ(sound().manager->GetPausedGroups(), kSoundGroupLevel);
  EXPECT_EQ(StateOf(walking), ChannelState::Paused);
  EXPECT_EQ(StateOf(click), ChannelState::Playing);

  const u32 loop = sound().PlaySound(rain, kLevel, 1);
  ASSERT_NE(loop, 0u);
  EXPECT_EQ(StateOf(loop), ChannelState::Paused);
  EXPECT_TRUE(audio.Find(Ch(loop))->loop);
  const u32 dropped = sound().PlaySound(rain, kLevel, -1);
  sound().StopSound(dropped);
  EXPECT_EQ(Ch(dropped), 0u);
  sound().Update();

  sound().ResumeSounds(kSoundGroupLevel);
  EXPECT_EQ(StateOf(walking), ChannelState::Paused);
  EXPECT_EQ(audio.Find(Ch(loop))->plays, 0u);
  sound().ResumeSounds(kSoundGroupLevel | kSoundGroupClick);
  EXPECT_EQ(sound().manager->GetPausedGroups(), 0u);
  EXPECT_EQ(audio.Find(Ch(walking))->resumes, 1u);
  EXPECT_EQ(audio.Find(Ch(loop))->plays, 1u);
  EXPECT_EQ(StateOf(loop), ChannelState::Playing);

  sound().ResumeSounds(kSoundGroupLevel);  // one too many: no effect, the next pause acts
  sound().PauseSounds(kSoundGroupLevel);
  EXPECT_EQ(StateOf(loop), ChannelState::Paused);
  sound().FadeOutSound(loop, 500);  // a held channel is freed, not faded
  EXPECT_EQ(Ch(loop), 0u);
  EXPECT_EQ(sound().manager->GetFadingCount(), 1u);
}

TEST_F(SoundManagerTest, FadedChannelsAreFreedInTheOrderTheyBegan) {
  ASSERT_TRUE(Start());
  const u32 s = Load(u"s");
  const u32 now0 = sound().PlaySound(s, 0, -1), now1 = sound().PlaySound(s, 0, -1);
  const soundtest::ChannelHandle c0 = Ch(now0), c1 = Ch(now1);
  sound().FadeOutSound(now0, 0);
  sound().FadeOutSound(now1, 0x80000000u);
  EXPECT_EQ(audio.Find(c0), nullptr);
  EXPECT_EQ(audio.Find(c1), nullptr);

  const u32 x = sound().PlaySound(s, 0, -1), y = sound().PlaySound(s, 0, -1), z = sound().PlaySound(s, 0, -1);
  const soundtest::ChannelHandle cx = Ch(x), cy = Ch(y), cz = Ch(z);
  sound().FadeOutSound(x, 300);  // ends at 1400
  sound().FadeOutSound(y, 100);  // ends at 1200
  sound().FadeOutSound(z, 300);
  EXPECT_EQ(audio.Find(cx)->target, 0.0f);
  EXPECT_EQ(audio.Find(cx)->slideMs, 300u);
  EXPECT_EQ(Ch(x), 0u);  // the caller's handle is gone; the channel fades on
  sound().StopSound(x);
  audio.End(cz);
  clock_.Set(1250);
  audio.FinishSlides();
  sound().Update();
  EXPECT_EQ(sound().manager->GetFadingCount(), 3u);  // x is first and its end is ahead
  EXPECT_NE(audio.Find(cy), nullptr);
  clock_.Set(1400);
  sound().Update();
  EXPECT_EQ(sound().manager->GetFadingCount(), 0u);
  EXPECT_EQ(audio.Find(cx), nullptr);
  EXPECT_EQ(audio.Find(cy), nullptr);

  const u32 w = sound().PlaySound(s, 0, -1);
  const soundtest::ChannelHandle cw = Ch(w);
  sound().FadeOutSound(w, 100);
  clock_.Set(1700);
  sound().Update();
  EXPECT_NE(audio.Find(cw), nullptr);  // past its end, still sliding
  audio.FinishSlides();
  sound().Update();
  EXPECT_EQ(audio.Find(cw), nullptr);

  const u32 level = sound().PlaySound(s, kLevel, -1), click = sound().PlaySound(s, kSoundGroupClick, -1);
  const soundtest::ChannelHandle cl = Ch(level);
  sound().FadeOutSounds(kSoundGroupScreen);
  EXPECT_EQ(audio.Find(cl)->slideMs, 250u);
  EXPECT_EQ(sound().manager->GetFadingCount(), 1u);
  EXPECT_EQ(StateOf(click), ChannelState::Playing);
  EXPECT_FALSE(audio.Find(Ch(click))->sliding);
}

TEST_F(SoundManagerTest, MusicSwitchesWithHalfSecondFades) {
  ASSERT_TRUE(Start());
  const u32 a = sound().AddMusic(u"Music/Theme_A.ogg", nullptr, 0, 0);
  const u32 b = sound().AddMusic(u"Sounds.dat", u"b", 10, 20);
  EXPECT_EQ(a >> 29, 3u);
  EXPECT_TRUE(audio.streams.empty());  // opened on first play

  ASSERT_TRUE(sound().PlayMusic(u"THEME_A", true));
  EXPECT_EQ(audio.streams[0].path, u"Music/Theme_A.ogg");
  EXPECT_EQ(sound().currentMusic, a);
  EXPECT_TRUE(sound().IsMusicPlaying());
  FakeAudio::Channel* ma = Music(a);
  EXPECT_TRUE(ma->loop);
  EXPECT_TRUE(ma->sliding);
  EXPECT_EQ(ma->volume, 0.0f);  // from silence
  EXPECT_EQ(ma->target, 1.0f);
  EXPECT_EQ(ma->slideMs, 500u);
  EXPECT_TRUE(sound().PlayMusic(u"theme_a", true));
  EXPECT_EQ(ma->plays, 1u);  // not restarted

  ASSERT_TRUE(sound().PlayMusic(u"b", false));
  EXPECT_EQ(audio.streams[1].offset, 10u);
  EXPECT_EQ(audio.streams[1].length, 20u);
  EXPECT_EQ(sound().currentMusic, b);
  EXPECT_EQ(sound().fadingMusic, a);
  EXPECT_EQ(ma->target, 0.0f);
  EXPECT_EQ(ma->slideMs, 500u);
  EXPECT_EQ(Music(b)->target, 1.0f);

  // Back to a before its fade ended: a is cut and starts again; b fades out.
  ASSERT_TRUE(sound().PlayMusic(u"theme_a", true));
  EXPECT_EQ(ma->plays, 2u);
  EXPECT_EQ(sound().fadingMusic, b);
  EXPECT_EQ(Music(b)->target, 0.0f);
  sound().Update();
  EXPECT_EQ(sound().fadingMusic, b);
  audio.FinishSlides();
  sound().Update();
  EXPECT_EQ(sound().fadingMusic, 0u);
  EXPECT_EQ(Music(b)->state, ChannelState::Stopped);

  sound().StopMusic(b);  // not the current music
  EXPECT_EQ(sound().currentMusic, a);
  sound().StopMusic(a);
  EXPECT_EQ(sound().currentMusic, 0u);
  EXPECT_EQ(sound().fadingMusic, a);
  EXPECT_FALSE(sound().IsMusicPlaying());
  sound().StopMusic(a);
  EXPECT_EQ(sound().fadingMusic, a);
  EXPECT_EQ(ma->state, ChannelState::Playing);  // still fading out

  // Played again while fading out (no current music to stop): it takes over.
  ASSERT_TRUE(sound().PlayMusic(u"theme_a", true));
  EXPECT_EQ(sound().fadingMusic, 0u);
  EXPECT_FALSE(sound().PlayMusic(u"missing", true));
  EXPECT_EQ(sound().currentMusic, 0u);
  EXPECT_EQ(sound().fadingMusic, a);

  ASSERT_TRUE(sound().PlayMusic(u"b", true));
  sound().FreeMusic(b);
  EXPECT_EQ(sound().currentMusic, 0u);
  EXPECT_EQ(sound().manager->GetMusicStream(b), 0u);
  ASSERT_TRUE(sound().PlayMusic(u"b", true));
  EXPECT_EQ(audio.streams.size(), 3u);  // opened again

  audio.badPaths.insert(u"bad.ogg");
  sound().AddMusic(u"bad.ogg", u"bad", 0, 0);
  EXPECT_FALSE(sound().PlayMusic(u"bad", true));
  EXPECT_EQ(sound().currentMusic, 0u);
  EXPECT_EQ(sound().fadingMusic, b);
}

}  // namespace

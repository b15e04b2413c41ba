// Animations: the "ANIM" section read from a data archive written by our
// writers, frames in the five play modes, directions, drawing on the
// recording device, and the animation sounds on the scripted audio backend.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FakeAudioBackend.h"
#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "content/ContentArchive.h"
#include "content/ContentWriter.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/DXLViewer.h"
#include "resources/AnimationSection.h"
#include "resources/GameAnimation.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/StandardSounds.h"
#include "resources/Sprite.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/SpriteRig.h"

namespace {

using soundtest::FakeAudio;
using soundtest::FakeBackend;
using Bytes = std::vector<u8>;

std::vector<float> g_progress;
bool Progress(float f) {
  g_progress.push_back(f);
  return true;
}

// The animation set holds "walk" (four 8 x 8 frames) and "idle" (two); the
// sound manager runs on the scripted backend, where any sound loads.
class AnimationTest : public ::testing::Test {
 protected:
  AnimationTest() {
    FreeAnimations();
    g_progress.clear();
    EXPECT_TRUE(GetSoundSettings().Init(std::make_unique<FakeBackend>(&audio_)));
    walk_ = MakeSprite(u"walk", 32);
    idle_ = MakeSprite(u"idle", 16);
  }
  ~AnimationTest() override {
    kis::CloseDataFile(file_);
    FreeAnimations();
    GetSoundSettings().Shutdown();
  }

  Sprite* MakeSprite(const wchar* name, u32 width) {
    SpriteSet& set = rig_.Set(kAnimationSpriteSet);
    DXLTexture* t = set.GetTextures()->NewTexture();
    t->SetName(name);
    const Bytes file = spritetest::Picture(width, 8, 6);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    return new Sprite(&set, name, t, SPRITEGRID{0, 8, 8, 0, 0, {0, 0, 0, 0}}, false, false, 0);
  }
  bool Open(const Bytes& body) {
    kis::CloseDataFile(file_);
    const std::u16string path = plat::Utf8ToUtf16(rig_.rig.Folder() + "/Data.dat");
    if (!WriteDataArchive(path.c_str(), {{kAnimationSectionId, kAnimationSectionSubId, body}})) return false;
    file_ = kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2,
                                     kDataArchiveVersion);
    return file_ != nullptr;
  }
  u32 Read(SectionCursor* cursor) {
    u32 calls = 1;
    while (LoadAnimations(file_, cursor, 0.25f, 0.5f) == 0 && calls < 100) ++calls;
    return calls;
  }

  static std::vector<ANIMRECORD> Sample() {
    ANIMRECORD walk = MakeAnimationRecord(u"Walk", kAnimLoop, 100, 8);
    for (size_t i = 0; i < walk.directions.size(); ++i) {
      kis::StrCopy(walk.directions[i].sprite, kSpriteNameSize, u"WALK");
      walk.directions[i].offsetX = static_cast<i32>(i);
      walk.directions[i].offsetY = -4;
    }
    kis::StrCopy(walk.soundName, kSpriteNameSize, u"step");
    walk.soundDelay = 50;
    walk.soundRepeat = kAnimRepeatTotal;
    ANIMRECORD idle = MakeAnimationRecord(u"idle", kAnimPingPong, 50, 1);
    kis::StrCopy(idle.directions[0].sprite, kSpriteNameSize, u"idle");
    idle.directions[0].count = 2;
    idle.totalTime = 1000;
    ANIMRECORD ghost = MakeAnimationRecord(u"ghost", kAnimOnce, 10, 2);
    kis::StrCopy(ghost.directions[1].sprite, kSpriteNameSize, u"nobody");
    return {walk, idle, ghost};
  }

  // Play calls that started a channel from its start, on every channel.
  u32 Plays() const {
    u32 n = 0;
    for (const auto& [h, c] : audio_.channels) n += c.plays;
    return n;
  }

  spritetest::SpriteRig rig_;
  FakeAudio audio_;
  Sprite* walk_ = nullptr;
  Sprite* idle_ = nullptr;
  kis::DataFileReaderW* file_ = nullptr;
};

TEST_F(AnimationTest, ReadFromADataArchiveThenInitialisedAndReleased) {
  Bytes body = AnimationSectionBody(Sample());
  // The pointer slot of the first direction holds rubbish: it is ignored.
  kis::PutU32LE(&body[4 + 80 + 84], 0xDEADBEEFu);
  ASSERT_TRUE(Open(body));
  GetResourceServices().loadingProgress = &Progress;
  SectionCursor cursor;
  EXPECT_EQ(Read(&cursor), 4u);
  EXPECT_EQ(cursor.error, 0u);
  EXPECT_EQ(g_progress, (std::vector<float>{0.25f + 0.5f / 3, 0.25f + 1.0f / 3, 0.75f}));
  ASSERT_EQ(GetAnimations().GetCount(), 3);

  GameAnimation* walk = FindAnimation(GetAnimations(), u"WALK");
  ASSERT_NE(walk, nullptr);
  EXPECT_EQ(FindAnimation(GetAnimations(), u"run"), nullptr);
  EXPECT_EQ(walk->GetMode(), kAnimLoop);
  EXPECT_EQ(walk->GetFrameTime(), 100u);
  ASSERT_EQ(walk->GetDirectionCount(), 8);
  for (i32 i = 0; i < 8; ++i) {
    EXPECT_EQ(walk->GetDirection(i)->spritePtr, walk_);
    EXPECT_EQ(walk->GetDirection(i)->offsetX, i);
    EXPECT_EQ(walk->GetDirection(i)->count, 0);
  }
  EXPECT_FLOAT_EQ(walk->GetDirection(0)->angle, 270);
  EXPECT_FLOAT_EQ(walk->GetDirection(2)->angle, 0);
  EXPECT_FLOAT_EQ(walk->GetDirection(7)->angle, 225);
  // The sound was loaded by name, from its own file (the sample table has
  // no "step").
  EXPECT_NE(walk->GetSoundId(), 0u);
  ASSERT_EQ(audio_.loads.size(), 1u);
  EXPECT_EQ(audio_.loads[0].path, u"Sounds\\step.ogg");
  GameAnimation* ghost = FindAnimation(GetAnimations(), u"ghost");
  EXPECT_EQ(ghost->GetDirection(1)->spritePtr, nullptr);
  EXPECT_EQ(ghost->GetSoundId(), 0u);
  EXPECT_EQ(FindAnimation(GetAnimations(), u"idle")->GetTotalTime(), 1000u);

  // Init: every sprite once, all frames for a count of 0, the total time
  // raised to the longest run, the repeat interval of "the total" set.
  walk->Init();
  walk->Init();
  EXPECT_EQ(walk_->GetInitCount(), 1);
  EXPECT_EQ(walk->GetDirection(3)->count, 4);
  EXPECT_EQ(walk->GetTotalTime(), 400u);
  EXPECT_EQ(walk->GetSoundRepeat(), 400u);
  walk->Release(false);
  EXPECT_EQ(walk_->GetInitCount(), 1);
  walk->Release(false);
  EXPECT_EQ(walk_->GetInitCount(), 0);
  walk->Init();
  walk->Init();
  walk->Release(true);
  EXPECT_EQ(walk_->GetInitCount(), 0);
  EXPECT_FALSE(walk->IsLoaded());
  delete ghost;
  EXPECT_EQ(GetAnimations().GetCount(), 2);
  // Deleted while in use, an animation gives its sprites' uses back.
  walk->Init();
  EXPECT_EQ(walk_->GetInitCount(), 1);
  delete walk;
  EXPECT_EQ(walk_->GetInitCount(), 0);
  EXPECT_EQ(GetAnimations().GetCount(), 1);
}

TEST_F(AnimationTest, DamagedSectionsSetTheErrorFlagAndDropTheAnimationUnderWay) {
  const Bytes good = AnimationSectionBody(Sample());
  auto with = [&](size_t at, u32 value) {
    Bytes b = good;
    kis::PutU32LE(&b[at], value);
    return b;
  };
  const std::vector<std::pair<std::string, Bytes>> damaged = {
      {"count past the end", with(0, 1000)},
      {"direction count past the end", with(4 + 76, 0x40000000)},
      {"cut in the last sound block", Bytes(good.begin(), good.end() - 4)},
      {"no count", Bytes(3, 0)},
  };
  for (const auto& [what, body] : damaged) {
    SCOPED_TRACE(what);
    FreeAnimations();
    ASSERT_TRUE(Open(body));
    SectionCursor cursor;
    Read(&cursor);
    EXPECT_EQ(cursor.error, 1u);
    EXPECT_LT(GetAnimations().GetCount(), 3);
  }
  ASSERT_TRUE(Open(Bytes{0, 0, 0, 0}));
  SectionCursor empty;
  EXPECT_EQ(Read(&empty), 1u);
  EXPECT_EQ(empty.error, 0u);
  SectionCursor none;
  EXPECT_EQ(LoadAnimations(nullptr, &none, 0, 1), 1);
  EXPECT_EQ(none.error, 1u);
}

// One animation of two directions laid out by hand from the section's
// table: the writer gives these bytes, and the reader takes every field from
// where the table puts it.
TEST_F(AnimationTest, TheSectionLiesWhereItsTableSaysBothWays) {
  const Bytes hand = testsupport::ByteLayout(4 + 80 + 2 * 88 + 76)
                         .u32_(0, 1)
                         .wide(4, u"hop")
                         .u32_(4 + 64, kAnimLoopBack)
                         .u32_(4 + 68, 90)
                         .u32_(4 + 72, 700)
                         .u32_(4 + 76, 2)
                         .wide(84, u"walk")
                         .u32_(84 + 64, 1)
                         .u32_(84 + 68, 2)
                         .u32_(84 + 72, u32(-3))
                         .u32_(84 + 76, 4)
                         .f32_(84 + 80, 45.0f)
                         .wide(172, u"idle")
                         .u32_(172 + 64, 3)
                         .u32_(172 + 68, 1)
                         .u32_(172 + 72, 5)
                         .u32_(172 + 76, u32(-6))
                         .f32_(172 + 80, 225.0f)
                         .wide(260, u"step")
                         .u32_(260 + 64, 30)
                         .u32_(260 + 68, 1)
                         .u32_(260 + 72, 400)
                         .v;
  ANIMRECORD hop = MakeAnimationRecord(u"hop", kAnimLoopBack, 90, 2);
  hop.totalTime = 700;
  hop.directions[0] = ANIMDIRECTION{u"walk", 1, 2, -3, 4, 45.0f, walk_};  // the pointer is never stored
  hop.directions[1] = ANIMDIRECTION{u"idle", 3, 1, 5, -6, 225.0f, nullptr};
  kis::StrCopy(hop.soundName, kSpriteNameSize, u"step");
  hop.soundDelay = 30;
  hop.soundLoop = 1;
  hop.soundRepeat = 400;
  EXPECT_TRUE(testsupport::SameBytes(AnimationSectionBody({hop}), hand));

  ASSERT_TRUE(Open(hand));
  SectionCursor cursor;
  Read(&cursor);
  ASSERT_EQ(cursor.error, 0u);
  const GameAnimation* a = FindAnimation(GetAnimations(), u"hop");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->GetMode(), kAnimLoopBack);
  EXPECT_EQ(a->GetFrameTime(), 90u);
  EXPECT_EQ(a->GetTotalTime(), 700u);
  ASSERT_EQ(a->GetDirectionCount(), 2);
  const ANIMDIRECTION* d[2] = {a->GetDirection(0), a->GetDirection(1)};
  EXPECT_EQ(std::u16string(d[0]->sprite), u"walk");
  EXPECT_EQ((std::vector<i32>{d[0]->first, d[0]->count, d[0]->offsetX, d[0]->offsetY}),
            (std::vector<i32>{1, 2, -3, 4}));
  EXPECT_EQ(d[0]->angle, 45.0f);
  EXPECT_EQ(d[0]->spritePtr, walk_);
  EXPECT_EQ(std::u16string(d[1]->sprite), u"idle");
  EXPECT_EQ((std::vector<i32>{d[1]->first, d[1]->count, d[1]->offsetX, d[1]->offsetY}),
            (std::vector<i32>{3, 1, 5, -6}));
  EXPECT_EQ(d[1]->angle, 225.0f);
  EXPECT_EQ(std::u16string(a->GetSoundName()), u"step");
  EXPECT_EQ((std::vector<u32>{a->GetSoundDelay(), a->GetSoundLoop(), a->GetSoundRepeat()}),
            (std::vector<u32>{30, 1, 400}));
}

TEST_F(AnimationTest, FramesInTheFivePlayModes) {
  auto frame = [](u32 mode, i32 count, u32 frameTime, float elapsed) {
    ANIMFRAMEBLOCK b{mode, 10, count, frameTime, elapsed, -1};
    const i32 f = GameAnimation::GetFrame(&b);
    EXPECT_EQ(b.last, f);
    return f - 10;
  };
  auto run = [&](u32 mode) {
    std::vector<i32> out;
    for (int t = 0; t <= 900; t += 100) out.push_back(frame(mode, 4, 100, static_cast<float>(t) + 50 * (t > 0)));
    return out;
  };
  EXPECT_EQ(run(kAnimOnce), (std::vector<i32>{0, 1, 2, 3, 3, 3, 3, 3, 3, 3}));
  EXPECT_EQ(run(kAnimOnceBack), (std::vector<i32>{3, 2, 1, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(run(kAnimLoop), (std::vector<i32>{0, 1, 2, 3, 0, 1, 2, 3, 0, 1}));
  EXPECT_EQ(run(kAnimLoopBack), (std::vector<i32>{3, 2, 1, 0, 3, 2, 1, 0, 3, 2}));
  EXPECT_EQ(run(kAnimPingPong), (std::vector<i32>{0, 1, 2, 3, 2, 1, 0, 1, 2, 3}));
  // A single frame, no frame time, less than a whole ms, an unknown mode.
  EXPECT_EQ(frame(kAnimLoopBack, 1, 100, 500), 0);
  EXPECT_EQ(frame(kAnimLoopBack, 4, 0, 500), 3);
  EXPECT_EQ(frame(kAnimOnceBack, 4, 100, 0.9f), 3);
  EXPECT_EQ(frame(9, 4, 100, 250), 0);
  EXPECT_EQ(frame(kAnimLoop, 4, 100, -250), 0);
  EXPECT_EQ(frame(kAnimOnce, 4, 1, 1e12f), 3);
}

TEST_F(AnimationTest, DirectionsAreFoundByAngleAndClampedAndTimeIsKeptOnlyOnTheSameAnimation) {
  GameAnimation four(u"four", 4);
  const float angles[4] = {0, 90, 180, 270};
  for (i32 i = 0; i < 4; ++i) four.GetDirection(i)->angle = angles[i];
  EXPECT_EQ(four.FindDirection(359), 0);
  EXPECT_EQ(four.FindDirection(-91), 3);
  EXPECT_EQ(four.FindDirection(45), 0);  // a tie keeps the earlier
  EXPECT_EQ(four.FindDirection(135.5f), 2);
  GameAnimation none(u"none", 0);
  EXPECT_EQ(none.FindDirection(10), -1);
  // Angles stored outside 0..360 are taken round as well: -90 is 270, so
  // 340 lies 70 from it and 20 from 0 (not "-70", which would win).
  GameAnimation turned(u"turned", 2);
  turned.GetDirection(0)->angle = 0;
  turned.GetDirection(1)->angle = -90;
  EXPECT_EQ(turned.FindDirection(300), 1);
  EXPECT_EQ(turned.FindDirection(340), 0);

  AnimationState state;
  state.angle = 100;
  EXPECT_FLOAT_EQ(four.GetDirectionAngle(&state, -1), 90);
  EXPECT_FLOAT_EQ(four.GetDirectionAngle(&state, 7), 0);
  four.GetDirection(1)->offsetX = 5;
  four.GetDirection(1)->count = 3;
  four.Start(&state, -1, false);
  EXPECT_EQ(state.animation, &four);
  EXPECT_EQ(state.direction, 1);
  EXPECT_EQ(state.offsetX, 5);
  EXPECT_EQ(state.frames.count, 3);
  four.Update(&state, 120);
  four.Start(&state, -1, true);  // the same direction, the time kept
  EXPECT_EQ(state.direction, 1);
  EXPECT_FLOAT_EQ(state.frames.elapsed, 120);
  four.Start(&state, 9, true);
  EXPECT_EQ(state.direction, 3);
  EXPECT_FLOAT_EQ(state.frames.elapsed, 120);
  EXPECT_FLOAT_EQ(state.angle, 270);
  four.Start(&state, -5, false);
  EXPECT_EQ(state.direction, 0);
  EXPECT_FLOAT_EQ(state.frames.elapsed, 0);

  // Another animation takes the state over; keeping time is only for the
  // same one. Updates called on the old one reach the new one.
  GameAnimation eight(u"eight", 8);
  four.Update(&state, 30);
  eight.Start(&state, -1, true);
  EXPECT_EQ(state.animation, &eight);
  EXPECT_EQ(state.direction, 2);  // nearest to 0: the third of 270, 315, 0, ...
  EXPECT_FLOAT_EQ(state.frames.elapsed, 0);
  four.Update(&state, 70);
  EXPECT_FLOAT_EQ(state.frames.elapsed, 70);
  none.Start(&state, 3, false);
  EXPECT_EQ(state.frames.count, 0);
  EXPECT_FLOAT_EQ(state.angle, 0);
  EXPECT_EQ(state.direction, 0);
}

TEST_F(AnimationTest, DrawsTheFrameAtTheOffsetDarkenedOnHighlightAndForwardsToTheOwner) {
  GameAnimation walk(u"walk", 2);
  walk.SetTiming(kAnimLoop, 100, 0);
  walk.GetDirection(0)->spritePtr = walk_;
  walk.GetDirection(0)->offsetX = 3;
  walk.GetDirection(0)->offsetY = -4;
  walk.Init();
  GameAnimation other(u"other", 1);
  AnimationState state;
  walk.Start(&state, 0, false);
  state.color = 0x80FFFFFFu;
  other.Update(&state, 150);  // passed on to "walk"

  DXLViewer& viewer = *rig_.rig.viewer;
  ASSERT_EQ(viewer.BeginFrame(), 0);
  DXLMATRIX at;
  viewer.LoadIdentity(&at);
  at.m[3][0] = 100;
  at.m[3][1] = 50;
  viewer.SetTransform(&at);
  rig_.calls.Clear();
  other.Draw(&state, true, false);
  viewer.SetTransform(&at);
  walk.Draw(&state, false, true);
  const auto& p = rig_.calls.Primitives();
  ASSERT_EQ(p.size(), 2u);
  EXPECT_FLOAT_EQ(p[0].world.m[3][0], 97);
  EXPECT_FLOAT_EQ(p[0].world.m[3][1], 54);
  EXPECT_FLOAT_EQ(p[0].vertices[0].u, 0.25f);  // frame 1 of 4
  EXPECT_EQ(p[0].vertices[0].color, 0x80FFFFFFu);
  EXPECT_FLOAT_EQ(p[1].world.m[3][0], 100);
  EXPECT_EQ(p[1].vertices[0].color, 0x80202020u);
  EXPECT_EQ(state.frames.last, 1);

  // Frames out of the sprite's range are clamped into it; a direction
  // without a sprite, or no frames, draws nothing.
  state.frames.first = 9;
  rig_.calls.Clear();
  walk.Draw(&state, false, false);
  ASSERT_EQ(rig_.calls.Primitives().size(), 1u);
  EXPECT_FLOAT_EQ(rig_.calls.Primitives()[0].vertices[0].u, 0.75f);
  walk.Start(&state, 1, false);
  walk.Draw(&state, false, false);
  state.frames.count = 0;
  state.direction = 0;
  walk.Draw(&state, false, false);
  EXPECT_EQ(rig_.calls.Primitives().size(), 1u);
  walk.Release(true);
  viewer.Present();
}

TEST_F(AnimationTest, SoundsWaitTheirDelayRepeatKeepTwoHundredMillisecondsApartAndJoinTheLevelAndScreen) {
  const u32 step = GetSoundSettings().LoadSound(u"step", false);
  ASSERT_NE(step, 0u);
  GameAnimation a(u"a", 1);
  a.SetTiming(kAnimLoop, 100, 400);
  a.SetSound(u"step", 50, 0, 0, step);
  AnimationState state;
  auto run = [&](int ms) {
    for (int t = 0; t < ms; t += 10) a.Update(&state, 10);
  };
  a.Start(&state, 0, false);
  EXPECT_EQ(state.soundState, kAnimSoundWaiting);
  run(40);
  EXPECT_EQ(Plays(), 0u);
  run(10);
  EXPECT_EQ(Plays(), 1u);
  EXPECT_EQ(state.soundState, kAnimSoundNone);
  EXPECT_EQ(state.soundChannel, 0u);  // not a loop: not kept
  // Started again 100 ms later: its play comes within the cool-down.
  run(50);
  a.Start(&state, 0, false);
  run(50);
  EXPECT_EQ(Plays(), 1u);
  run(200);
  a.Start(&state, 0, false);
  run(50);
  EXPECT_EQ(Plays(), 2u);

  // Repeating every 300 ms: at 50, 350, 650 and 950.
  a.SetSound(u"step", 50, 0, 300, step);
  run(300);
  const u32 before = Plays();
  a.Start(&state, 0, false);
  run(1000);
  EXPECT_EQ(Plays(), before + 4);
  EXPECT_EQ(state.soundState, kAnimSoundRepeating);
  // More than half an interval late, a repeat is skipped; the next one
  // keeps to the beat.
  a.Start(&state, 0, false);
  a.Update(&state, 1000);
  EXPECT_EQ(Plays(), before + 4);
  EXPECT_FLOAT_EQ(state.soundDelay, 250);
  a.Update(&state, 250);
  EXPECT_EQ(Plays(), before + 5);

  // The sound belongs to the level and to the screen: pausing either group
  // holds it back until the group resumes; a pause of the clicks does not.
  a.SetSound(u"step", 0, 0, 0, step);
  for (const auto& [group, held] : {std::pair{kSoundGroupLevel, true}, std::pair{kSoundGroupScreen, true},
                                    std::pair{kSoundGroupClick, false}}) {
    const u32 first = Plays();
    GetSoundSettings().PauseSounds(group);
    AnimationState fresh;
    a.Start(&fresh, 0, false);
    a.Update(&fresh, 10);
    EXPECT_EQ(Plays() - first, held ? 0u : 1u) << std::hex << group;
    GetSoundSettings().ResumeSounds(group);
    EXPECT_EQ(Plays() - first, 1u) << std::hex << group;
  }
}

TEST_F(AnimationTest, ALoopingSoundStartsOnceSurvivesARestartInTheCoolDownAndEndsWithItsState) {
  const u32 hum = GetSoundSettings().LoadSound(u"hum", true);
  GameAnimation a(u"a", 1);
  a.SetTiming(kAnimLoop, 100, 400);
  a.SetSound(u"hum", 0, 1, 0, hum);
  auto playing = [&] {
    u32 n = 0;
    for (auto& [h, c] : audio_.channels) n += c.state == plat::audio::ChannelState::Playing;
    return n;
  };
  {
    AnimationState state;
    a.Start(&state, 0, false);
    a.Update(&state, 10);
    EXPECT_EQ(state.soundState, kAnimSoundLooping);
    ASSERT_NE(state.soundChannel, 0u);
    const u32 channel = state.soundChannel;
    for (int i = 0; i < 50; ++i) a.Update(&state, 10);
    a.Start(&state, 0, true);  // time kept: the loop goes on
    a.Update(&state, 10);
    EXPECT_EQ(state.soundChannel, channel);
    EXPECT_EQ(playing(), 1u);

    // Restarted 20 ms after a play, the loop stops; its next play waits for
    // the cool-down instead of being lost.
    a.Start(&state, 0, false);
    a.Update(&state, 10);
    const u32 second = state.soundChannel;
    EXPECT_EQ(playing(), 1u);
    a.Start(&state, 0, false);
    EXPECT_EQ(playing(), 0u);
    EXPECT_EQ(state.soundChannel, 0u);
    a.Update(&state, 20);
    EXPECT_EQ(state.soundState, kAnimSoundWaiting);
    EXPECT_EQ(playing(), 0u);
    for (int i = 0; i < 20; ++i) a.Update(&state, 10);
    EXPECT_EQ(state.soundState, kAnimSoundLooping);
    EXPECT_NE(state.soundChannel, 0u);
    EXPECT_NE(state.soundChannel, second);
    EXPECT_EQ(playing(), 1u);

    GameAnimation::StopSound(&state);
    EXPECT_EQ(state.soundState, kAnimSoundNone);
    EXPECT_EQ(playing(), 0u);
    a.Start(&state, 0, false);
    for (int i = 0; i < 30; ++i) a.Update(&state, 10);
    EXPECT_EQ(playing(), 1u);
  }
  // The state went with its user: so did its loop.
  EXPECT_EQ(playing(), 0u);

  // An animation without a sound leaves the state silent.
  GameAnimation quiet(u"quiet", 1);
  AnimationState state;
  quiet.Start(&state, 0, false);
  EXPECT_EQ(state.soundState, kAnimSoundNone);
}

}  // namespace

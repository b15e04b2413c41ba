// The whole of the game's resources at start-up: three archives written by
// our writers ("Sprites.dat", "Sounds.dat", "Data.dat") are read section by
// section in the start-up loader's order, each reader giving the frame back
// every other record; then one frame is drawn (an interface sprite, a map
// sprite with its sub-sprites and shadow, particles, an animation, a fade
// over them) on the software device and compared with the stored picture
// tests/data/resources/startup_frame.png, and a second of the music is mixed
// offline. TM_UPDATE_IMAGES=1 writes the picture afresh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/Identifier.h"
#include "base/datafile/DataFileReader.h"
#include "common/OggEncoder.h"
#include "common/SynthSound.h"
#include "content/ContentArchive.h"
#include "content/ContentWriter.h"
#include "engine/DXLApp.h"
#include "engine/DXLViewer.h"
#include "platform/audio/AudioMixer.h"
#include "platform/audio/AudioOfflineOutput.h"
#include "platform/audio/AudioSoftBackend.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/PngFile.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "resources/AnimationSection.h"
#include "resources/GEffects.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSSpace.h"
#include "resources/GameAnimation.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/MapShadow.h"
#include "resources/MapSprite.h"
#include "resources/MapSpriteUser.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
#include "resources/SoundArchiveWriter.h"
#include "resources/SoundSections.h"
#include "testsupport/SpriteRig.h"

namespace {

using Bytes = std::vector<u8>;
constexpr u32 kSize = 256;  // the frame, square

// --- Pictures drawn by code -------------------------------------------------------------------

struct Canvas {
  u32 w, h;
  std::vector<u32> px;
  Canvas(u32 width, u32 height) : w(width), h(height), px(width * height, 0) {}
  void Fill(i32 l, i32 t, i32 r, i32 b, u32 argb) {
    for (i32 y = std::max(t, 0); y < std::min<i32>(b, h); ++y)
      for (i32 x = std::max(l, 0); x < std::min<i32>(r, w); ++x) px[y * w + x] = argb;
  }
  // A disc with a soft edge, its colour's alpha scaled by the coverage.
  void Disc(float cx, float cy, float r, u32 rgb) {
    for (u32 y = 0; y < h; ++y)
      for (u32 x = 0; x < w; ++x) {
        const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
        const float a = std::clamp(r - d, 0.0f, 1.0f);
        if (a > 0) px[y * w + x] = static_cast<u32>(a * 255) << 24 | rgb;
      }
  }
  Bytes Targa() const { return imagefiles::Targa32(w, h, px); }
};

Bytes Panel() {
  Canvas c(64, 32);
  c.Fill(0, 0, 64, 32, 0xFF604020u);
  c.Fill(2, 2, 62, 30, 0xFFC09050u);
  for (i32 x = 8; x < 56; x += 12) c.Fill(x, 10, x + 6, 22, 0xFF805030u);
  return c.Targa();
}

// The house (48 x 48), then a two-frame flag and the shadow blob side by side.
Bytes House() {
  Canvas c(48, 48);
  c.Fill(6, 20, 42, 48, 0xFFD8C8A0u);
  for (i32 y = 0; y < 20; ++y) c.Fill(24 - y - 4, y + 4, 24 + y + 4, y + 5, 0xFFA03020u);
  c.Fill(20, 32, 28, 48, 0xFF603010u);
  c.Fill(10, 26, 16, 32, 0xFF80C0F0u);
  return c.Targa();
}
Bytes Bits() {
  Canvas c(48, 16);
  c.Fill(0, 0, 2, 16, 0xFF404040u);
  c.Fill(2, 1, 14, 8, 0xFF2060E0u);
  c.Fill(16, 0, 18, 16, 0xFF404040u);
  c.Fill(18, 2, 30, 9, 0xFF2060E0u);
  c.Disc(40, 8, 7.5f, 0x000000u);
  return c.Targa();
}
// Four frames of a ball that bounces.
Bytes Walker() {
  Canvas c(64, 16);
  const float heights[4] = {11, 7, 5, 7};
  for (u32 f = 0; f < 4; ++f) c.Disc(16 * f + 8, heights[f], 4.5f, 0x40E040u);
  return c.Targa();
}
Bytes Spark() {
  Canvas c(8, 8);
  c.Disc(4, 4, 4, 0xFFFFFFu);
  return c.Targa();
}

SpriteEntry Grid(const wchar* name, const wchar* texture, i32 count, i32 w, i32 h, DXLRECT area = {0, 0, 0, 0}) {
  SpriteEntry e = MakeSpriteEntry(name, texture);
  e.record.frameCount = count;
  e.record.frameWidth = w;
  e.record.frameHeight = h;
  e.record.area = area;
  return e;
}

SpriteArchiveWriter Sprites() {
  SpriteArchiveWriter w;
  w.Images(1) = {MakeSpriteImageEntry(u"panel", Panel())};
  w.Sprites(1) = {Grid(u"panel", u"panel", 1, 64, 32)};
  w.Images(kShadowSpriteSet) = {MakeSpriteImageEntry(u"house", House()), MakeSpriteImageEntry(u"bits", Bits())};
  w.Sprites(kShadowSpriteSet) = {Grid(u"house", u"house", 1, 48, 48), Grid(u"flag", u"bits", 2, 16, 16, {0, 0, 32, 16}),
                                 Grid(u"blob", u"bits", 1, 16, 16, {32, 0, 48, 16})};
  MapSpriteEntry farm = MakeMapSpriteEntry(u"farmhouse", u"house");
  farm.record.hotX = 24;
  farm.record.hotY = 46;
  farm.shadow = MakeShadowRecord(u"blob", 0.6f);
  farm.shadow->width = 64;
  farm.shadow->height = 20;
  farm.behind = {MakeSubSprite(u"flag", -6, -38)};  // from the object: over the roof
  SSDATA front = MakeSubSprite(u"flag", 52, 48);  // from the frame: beside the door
  front.scaleX = front.scaleY = 0.75f;
  farm.front = {front};
  w.MapSprites(kShadowSpriteSet) = {farm};
  w.Images(kAnimationSpriteSet) = {MakeSpriteImageEntry(u"walker", Walker())};
  w.Sprites(kAnimationSpriteSet) = {Grid(u"walker", u"walker", 4, 16, 16)};
  w.Images(kParticleSpriteSet) = {MakeSpriteImageEntry(u"spark", Spark())};
  w.Sprites(kParticleSpriteSet) = {Grid(u"spark", u"spark", 1, 8, 8)};
  return w;
}

std::vector<DataSection> DataSections() {
  GPSCURVE fade{1, {{0, 0xFFFFF080u}, {400, 0xC0FF8020u}, {400, 0x00C02010u}}, 0};
  GPSPARAMS p = MakeEmitterParams(1);
  p.flags = kParticleGravity | kParticleScale | kParticleColorCurve | kParticleRotation | kParticleSpin;
  p.count[0] = 1;
  p.count[1] = 3;
  p.life[0] = 500;
  p.life[1] = 800;
  p.gravity[0] = p.gravity[1] = 0.04f;
  p.spin[0] = -8;
  p.spin[1] = 8;
  p.angle[1] = 90;
  p.startScale[0] = 1.5f;
  p.startScale[1] = 2.5f;
  p.endScale[0] = p.endScale[1] = 0.5f;
  p.colorCurve = 1;
  p.direction[0] = p.direction[1] = 270;
  p.speed[0] = 0.8f;
  p.speed[1] = 1.6f;
  GPSSYSTEM s = MakeParticleSystem(u"sparkle", 1, u"spark");
  s.shape = kEmitDisc;
  s.sizes[0] = 10;
  s.burstInterval[0] = 20;
  s.burstInterval[1] = 40;
  s.directionSpread = 25;
  ANIMRECORD walk = MakeAnimationRecord(u"walk", kAnimPingPong, 100, 2);
  for (ANIMDIRECTION& d : walk.directions) {
    kis::StrCopy(d.sprite, kSpriteNameSize, u"walker");
    d.offsetX = 8;
    d.offsetY = 16;
  }
  kis::StrCopy(walk.soundName, kSpriteNameSize, u"step");
  return {{kConstantsSectionId, kConstantsSectionSubId, Bytes(4, 0)},
          {kParticleSectionId, kParticleSectionSubId, ParticleSectionBody({fade}, {p}, {s})},
          {kAnimationSectionId, kAnimationSectionSubId, AnimationSectionBody({walk})}};
}

// --- The scene ------------------------------------------------------------------------------

struct Scene {
  ImageSprite* panel = nullptr;
  MapSprite* farm = nullptr;
  std::unique_ptr<MapSpriteUser> user;
  std::unique_ptr<MapShadow> shadow;
  std::unique_ptr<GPSSpace> space;
  GameAnimation* walk = nullptr;
  AnimationState state;
};
Scene* g_scene = nullptr;

DXLMATRIX At(float x, float y) {
  DXLMATRIX m;
  GetGameViewer()->LoadIdentity(&m);
  m.m[3][0] = x;
  m.m[3][1] = y;
  return m;
}

// The screen under the fade: the render callback of the frame.
void DrawScene() {
  Scene& s = *g_scene;
  DXLViewer* v = GetGameViewer();
  v->Clear(0xFF305028u);
  DXLMATRIX m = At(12, 12);
  v->SetTransform(&m);
  s.panel->Draw();
  m = At(0, 0);
  v->SetTransform(&m);
  s.shadow->Draw();
  const DXLMATRIX object = At(150, 190), sprite = At(150 + s.user->GetHotSpotX(), 190 + s.user->GetHotSpotY());
  v->SetTransform(&object);
  s.user->DrawBackSubSprites(sprite, false);
  s.user->DrawSprite(sprite, 0xFFFFFFFFu);
  s.user->DrawFrontSubSprites(sprite, false);
  m = At(0, 0);
  v->SetTransform(&m);
  s.space->Draw();
  m = At(200, 90);
  v->SetTransform(&m);
  s.walk->Draw(&s.state, true, false);
  UnbindDrawTexture();
}

u32 g_progressCalls = 0;
bool YieldEveryOther(float) { return (++g_progressCalls & 1) != 0; }

class StartupSmokeTest : public ::testing::Test {
 protected:
  StartupSmokeTest() {
    DXLShutdown();
    FreeAnimations();
    FreeParticleLibrary();
    SoundSettings& s = GetSoundSettings();
    s.musicVolume = s.soundsVolume = 100.0f;
    auto output = std::make_unique<plat::audio::OfflineOutput>(true);
    out_ = output.get();
    EXPECT_TRUE(s.Init(std::make_unique<plat::audio::SoftBackend>(std::move(output))));
    GetResourceServices().loadingProgress = &YieldEveryOther;
    GetResourceServices().screen.rect = DXLRECT{0, 0, static_cast<i32>(kSize), static_cast<i32>(kSize)};
  }
  ~StartupSmokeTest() override {
    ClearGameEffects();
    DXLShutdown();
    for (kis::DataFileReaderW* f : {data_, sounds_}) kis::CloseDataFile(f);
    FreeAnimations();
    FreeParticleLibrary();
    GetSoundSettings().Shutdown();
  }

  std::u16string Path(const char* name) { return plat::Utf8ToUtf16(rig_.rig.Folder() + "/" + name); }

  void WriteArchives() {
    const u32 rate = plat::audio::kMixRate;
    SoundArchiveWriter sounds;
    sounds.samples = {{u"click", 0, tools::EncodeOggVorbis(tools::Click(rate), 1, rate)},
                      {u"step", 0, tools::EncodeOggVorbis(tools::SineTone(300, 0.05, rate, 1, 0.3f), 1, rate)}};
    sounds.music = {{u"theme", tools::EncodeOggVorbis(tools::MusicLoop(rate, 1), 2, rate)}};
    ASSERT_TRUE(sounds.Write(Path("Sounds.dat").c_str()));
    ASSERT_TRUE(rig_.WriteAndOpen(Sprites()));
    ASSERT_TRUE(WriteDataArchive(Path("Data.dat").c_str(), DataSections()));
    data_ = kis::OpenDataFileReaderW(Path("Data.dat").c_str(), kDataArchiveSignature1, kDataArchiveSignature2,
                                     kDataArchiveVersion);
    sounds_ = kis::OpenDataFileReaderW(Path("Sounds.dat").c_str(), kSoundArchiveSignature1, kSoundArchiveSignature2,
                                       kSoundArchiveVersion);
    ASSERT_NE(data_, nullptr);
    ASSERT_NE(sounds_, nullptr);
  }

  // One reader to the end, as the loader calls it frame after frame.
  template <class Read>
  bool Section(const char* name, Read read) {
    SectionCursor cursor;
    u32 calls = 1;
    while (read(&cursor) == 0 && calls < 10000) ++calls;
    order_.push_back(name);
    return cursor.error == 0;
  }
  bool SpriteSets(const char* name, i32 (SpriteSet::*read)(kis::BaseDataFileReader*, SectionCursor*, float, float)) {
    for (u32 set = 0; set < kSpriteSetCount; ++set) {
      const float base = static_cast<float>(set) / kSpriteSetCount, span = 1.0f / kSpriteSetCount;
      SectionCursor cursor;
      while ((rig_.Set(set).*read)(rig_.reader, &cursor, base, span) == 0) {
      }
      if (cursor.error) return false;
    }
    order_.push_back(name);
    return true;
  }
  bool Directory(u32 id, u32 subId) {
    kis::DataFileReaderW* r = rig_.reader;
    return r->LeaveDirectory() && r->EnterDirectory(id, subId);
  }

  spritetest::SpriteRig rig_;
  plat::FakeClock clock_{10000};
  plat::PlatformServicesScope scoped_{{.clock = &clock_}};
  plat::audio::OfflineOutput* out_ = nullptr;
  kis::DataFileReaderW* data_ = nullptr;
  kis::DataFileReaderW* sounds_ = nullptr;
  std::vector<std::string> order_;
};

TEST_F(StartupSmokeTest, EverySectionReadsInLoaderOrderAndTheFrameAndTheMusicComeOut) {
  WriteArchives();
  kis::DataFileReaderW* sprites = rig_.reader;
  // Step 1: the constants are there; the sprite archive goes into IMG.
  ASSERT_TRUE(data_->OpenSection(kConstantsSectionId, kConstantsSectionSubId) && data_->CloseSection());
  ASSERT_TRUE(sprites->EnterDirectory(kSpriteImagesId, kSpriteImagesSubId));
  ASSERT_TRUE(Section("MUSC", [&](SectionCursor* c) { return LoadMusic(sounds_, c); }));
  ASSERT_TRUE(Section("SAMP", [&](SectionCursor* c) { return LoadSounds(sounds_, c); }));
  ASSERT_TRUE(SpriteSets("IMG", &SpriteSet::ReadImages));
  ASSERT_TRUE(Directory(kSpritesId, kSpritesSubId));
  ASSERT_TRUE(SpriteSets("SPR", &SpriteSet::ReadSprites));
  ASSERT_TRUE(Directory(kMapSpritesId, kMapSpritesSubId));
  ASSERT_TRUE(Section("PART", [&](SectionCursor* c) { return LoadParticleSystems(data_, c); }));
  ASSERT_TRUE(SpriteSets("MSP", &SpriteSet::ReadMapSprites));
  ASSERT_TRUE(Directory(kSpriteImagesId, kSpriteImagesSubId));  // back in IMG for the textures still to load
  ASSERT_TRUE(Section("ANIM", [&](SectionCursor* c) { return LoadAnimations(data_, c, 0.0f, 0.5f); }));
  EXPECT_EQ(order_, (std::vector<std::string>{"MUSC", "SAMP", "IMG", "SPR", "PART", "MSP", "ANIM"}));
  EXPECT_GT(g_progressCalls, 10u);
  // The texture steps: every sprite of sets 2, 1, 12, 13, 8 and 14 acquired.
  for (u32 set : {2u, 1u, 12u, 13u, kParticleSpriteSet, 14u})
    for (i32 i = 0; i < rig_.Set(set).GetSprites().GetCount(); ++i) rig_.Set(set).GetSprites().Get(i)->Init();
  SetParticleMaxStep(static_cast<float>(GameTimeStep()));

  // What the screen shows.
  kis::srand(1);
  Scene scene;
  g_scene = &scene;
  scene.panel = rig_.Set(1).CreateImageSpriteByName(u"panel", false);
  ASSERT_NE(scene.panel, nullptr);
  scene.farm = rig_.Set(kShadowSpriteSet).FindMapSprite(u"farmhouse");
  ASSERT_NE(scene.farm, nullptr);
  scene.farm->Init();
  scene.user = std::make_unique<MapSpriteUser>();
  scene.user->SetMapSprite(scene.farm, false);
  scene.shadow = std::make_unique<MapShadow>(scene.farm->GetShadow(), 150, 190);
  ASSERT_TRUE(scene.shadow->HasSprite());
  scene.space = std::make_unique<GPSSpace>(0);
  const GPSSYSTEM* sparkle = FindParticleSystem(kis::NameId(u"sparkle"));
  ASSERT_NE(sparkle, nullptr);
  new GPSEmiter(scene.space.get(), sparkle, nullptr, 60, 200);  // the space's
  GPSEmiter* right = new GPSEmiter(scene.space.get(), sparkle, nullptr, 220, 220);
  scene.space->StartEmitters();
  for (int i = 0; i < 40; ++i) scene.space->Update(16.5f);
  EXPECT_GT(scene.space->GetParticleCount(), 30u);
  delete right;  // its particles stay
  scene.walk = FindAnimation(GetAnimations(), u"walk");
  ASSERT_NE(scene.walk, nullptr);
  scene.walk->Init();
  EXPECT_NE(scene.walk->GetSoundId(), 0u);
  scene.walk->Start(&scene.state, -1, false);
  scene.walk->Update(&scene.state, 250);

  // A fade 30 % of the way to black over the scene, the scene drawn by the
  // render callback the fade holds.
  DXLCALLBACKS callbacks{};
  callbacks.render = &DrawScene;
  DXLSetCallbacks(kCallbackAll, &callbacks);
  auto* fade = new GEffect_ShowHide(nullptr, 1000, 1000, 0, 0, 0);
  RunGameEffect(fade);
  clock_.Advance(300);
  fade->Update();
  EXPECT_EQ(fade->GetAlpha(), 77u);
  DXLViewer& viewer = *rig_.rig.viewer;
  ASSERT_EQ(viewer.BeginFrame(), 0);
  {
    GameEffectCall call;
    DXLCALLBACKS installed{};
    DXLGetCallbacks(kCallbackAll, &installed);
    ASSERT_NE(installed.render, nullptr);
    installed.render();
  }
  ASSERT_EQ(viewer.Present(), 0);
  std::vector<u32> frame(kSize * kSize);
  for (u32 y = 0; y < kSize; ++y)
    for (u32 x = 0; x < kSize; ++x) frame[y * kSize + x] = rig_.rig.Soft()->FramePixel(x, y);

  const std::string stored = std::string(TM_TEST_DATA_DIR) + "/resources/startup_frame.png";
  if (const char* update = std::getenv("TM_UPDATE_IMAGES"); update && std::string(update) == "1") {
    ASSERT_TRUE(plat::WritePng(stored, frame, kSize, kSize, nullptr));
  }
  std::vector<u32> want;
  u32 w = 0, h = 0;
  std::string error;
  ASSERT_TRUE(plat::ReadPng(stored, &want, &w, &h, &error)) << error << " (TM_UPDATE_IMAGES=1 writes it)";
  ASSERT_EQ(w, kSize);
  ASSERT_EQ(h, kSize);
  u32 differing = 0;
  for (size_t i = 0; i < frame.size(); ++i) {
    for (u32 shift = 0; shift < 24; shift += 8) {
      const int a = static_cast<int>((frame[i] >> shift) & 0xFF), b = static_cast<int>((want[i] >> shift) & 0xFF);
      if (std::abs(a - b) > 2) {
        ++differing;
        break;
      }
    }
  }
  if (differing) plat::WritePng("startup_frame_actual.png", frame, kSize, kSize, nullptr);
  EXPECT_EQ(differing, 0u) << "see startup_frame_actual.png in the test folder";

  // One second of the theme mixed offline, at full volume once faded in.
  GetSoundSettings().Update();  // what the time so far has mixed
  out_->ClearCaptured();
  ASSERT_TRUE(GetSoundSettings().PlayMusic(u"theme", true));
  clock_.Advance(1000);
  GetSoundSettings().Update();
  const std::vector<int16_t>& mix = out_->Captured();
  ASSERT_EQ(mix.size(), 2u * plat::audio::kMixRate);
  int peak = 0;
  double energy = 0;
  for (size_t i = mix.size() / 2; i < mix.size(); ++i) {
    peak = std::max(peak, std::abs(static_cast<int>(mix[i])));
    energy += static_cast<double>(mix[i]) * mix[i];
  }
  EXPECT_GT(peak, 4000);
  EXPECT_GT(std::sqrt(energy / (mix.size() / 2)), 500.0);

  ClearGameEffects();
  scene.walk->Release(true);
  scene.farm->Release(true);
  g_scene = nullptr;
}

}  // namespace

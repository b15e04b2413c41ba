#include "PlayerWorld.h"

#include "base/Random.h"
#include "base/datafile/DataFileReader.h"
#include "common/LevelData.h"
#include "common/SpriteArchive.h"
#include "content/CharacterSection.h"
#include "content/ContentArchive.h"
#include "content/GameCharacter.h"
#include "engine/DXLViewer.h"
#include "gametext/DXLLanguage.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "level/scene/GameLevel.h"
#include "level/rules/LevelClock.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "platform/encoding/Utf.h"
#include "resources/AnimationSection.h"
#include "resources/GameDraw.h"
#include "resources/GameServices.h"
#include "resources/ParticleLibrary.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "ui/WindowManager.h"
#include "windows/LevelPanelHost.h"

namespace player {

namespace {

u32 g_clock = 0;
u32 FrameClock() { return g_clock; }

kis::DataFileReaderW* Open(const std::string& path, u32 sig1, u32 sig2, u32 version) {
  const std::u16string wide = plat::Utf8ToUtf16(path);
  return kis::OpenDataFileReaderW(wide.c_str(), sig1, sig2, version);
}

}  // namespace

void PlayerProfile::RecordLevelResult(i32 level, u32 time, LEVELRESULT* out) {
  out->level = level;
  out->time = time;
  result_ = *out;
  recorded_ = true;
}

World::World() = default;
World::~World() { Unload(); }

bool World::Load(DXLViewer* viewer, const std::string& folder, i32 width, i32 height, std::string* error) {
  kis::srand(7);
  g_clock = 0;
  SetGameViewer(viewer);
  GameServices& s = GetGameServices();
  s.frameClock = &FrameClock;
  s.screen.width = width;
  s.screen.height = height;
  s.screen.rect = DXLRECT{0, 0, width, height};
  s.garbage = &garbage_;
  SetParticleMaxStep(static_cast<float>(GameTimeStep()));
  loaded_ = true;

  sprites_ = Open(folder + "/Sprites.dat", kSpriteArchiveSignature1, kSpriteArchiveSignature2, kSpriteArchiveVersion);
  if (!sprites_) {
    *error = folder + "/Sprites.dat does not open";
    return false;
  }
  const std::string sets = tools::ReadSpriteSets(sprites_, &sets_);
  if (!sets.empty()) {
    *error = sets;
    return false;
  }
  // The window manager first: the digit fonts are read into it.
  windows_ = new WindowManager;
  s.windowManager = windows_;
  data_ = Open(folder + "/Data.dat", kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
  if (!data_ || !ReadData(error)) {
    if (error->empty()) *error = folder + "/Data.dat does not open";
    return false;
  }
  DXLSetLanguageViewer(viewer);
  const std::u16string cache = plat::Utf8ToUtf16(folder + "/language.dat");
  language_ = std::make_unique<GameLanguage>(cache.c_str());
  SetGameLanguage(language_.get());

  host_ = std::make_unique<LevelPanelHost>();
  GAMELEVELHOOKS hooks;
  hooks.rules.profile = &profile_;
  hooks.iface = host_.get();
  level_ = std::make_unique<GameLevel>(0, LEVELSETUP{}, hooks);
  s.level = &level_->Screen();  // the running level
  for (u32 calls = 0; !level_->IsLoaded() && calls < 100000; ++calls) level_->Load();
  if (!level_->IsLoaded() || !level_->GetInfo()) {
    *error = "the data set's first level does not load";
    return false;
  }
  level_->Enter();
  return true;
}

bool World::ReadData(std::string* error) {
  if (tools::ReadLevelData(data_, {products_, bonuses_, awards_, grounds_, levels_, garbage_}, sets_, windows_)) return true;
  *error = "Data.dat: a section does not read";
  return false;
}

void World::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  level_.reset();
  GetGameServices().level = nullptr;
  host_.reset();
  delete windows_;
  windows_ = nullptr;
  GetGameServices().windowManager = nullptr;
  SetGameLanguage(nullptr);
  language_.reset();
  FreeCharacters();
  FreeAnimations();
  FreeParticleLibrary();
  UnbindDrawTexture();
  sets_.clear();
  kis::CloseDataFile(data_);
  kis::CloseDataFile(sprites_);
  data_ = sprites_ = nullptr;
  DXLSetLanguageViewer(nullptr);
  ResetGameServices();
}

void World::Update(u32 ms) {
  if (!level_) return;
  clock_ += ms;
  g_clock = clock_;
  GameServices& s = GetGameServices();
  s.clock = clock_;
  s.frameElapsed = ms;
  if (windows_) windows_->Update();
  level_->Update(ms);
  host_->Update(ms);
}

void World::Draw() {
  if (!level_) return;
  level_->Draw();
  DXLViewer* viewer = GetGameViewer();
  if (viewer) {
    viewer->LoadIdentity(nullptr);
    viewer->ResetWorldTransform();
  }
  if (windows_) windows_->Draw();
}

void World::MouseMove(i32 x, i32 y, u32 buttons) {
  if (level_) level_->Input().OnMouseMove(x, y, buttons, 0);
}
void World::MouseDown(i32 x, i32 y, u32 button) {
  if (level_) level_->Input().OnMouseDown(x, y, button, 0);
}
void World::MouseUp(i32 x, i32 y, u32 button) {
  if (level_) level_->Input().OnMouseUp(x, y, button, 0);
}
void World::Key(u16 virtualKey) {
  if (level_) level_->Input().OnKeyDown(virtualKey, 0);
}

i32 World::Result() const {
  if (!level_) return 0;
  const i32 shown = level_->Rules().Tasks().GetResultShown();
  return shown == kResultWon ? 1 : shown == kResultLost ? -1 : 0;
}

i32 World::Medal() const { return level_ ? level_->Rules().Clock().GetMedal() : 0; }

}  // namespace player

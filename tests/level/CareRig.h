// The world of the damage, point-job and saved-level tests: the level map of
// MapRig with the real point care (LevelPointCare), the level's characters
// with the player "girl" (idle, walk and the work animations "girl_build"
// (600 ms), "girl_repair", "girl_dig" and "girl_rubit", eight directions,
// 2 units a tick), the gas sprite (4 frames of 100 ms: puffs live 400 ms)
// and the puddle, a villain of damage time 2,000 ms, a profile store of
// saved levels, and fakes of what others keep in a saved level.
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "base/DataBuffer.h"
#include "base/DataCursor.h"
#include "base/SavedStateStore.h"
#include "content/ContentServices.h"
#include "content/GameCharacter.h"
#include "level/characters/Job.h"
#include "level/characters/Job_Clear.h"
#include "level/characters/Job_Repair.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelPointCare.h"
#include "level/state/LevelState.h"
#include "level/characters/MapPlayer.h"
#include "level/map/PointDamage.h"
#include "engine/DXLMouse.h"
#include "resources/GameAnimation.h"
#include "resources/ResourceServices.h"
#include "resources/TutorialHooks.h"
#include "hud/ASSArrowButton.h"
#include "hud/ASSPriceButton.h"
#include "CharacterRig.h"
#include "MapRig.h"

namespace leveltest {

// A saved level's bytes, kept apart from the store (a failed restore drops
// the store's copy), and a fresh buffer of them.
struct Saved {
  u32 playMode = 0, levelIndex = 0, levelTime = 0;
  u8 block[16] = {};
  std::vector<u8> data, records;
};

inline Saved Copy(const kis::DataBuffer& b) {
  Saved s;
  s.playMode = b.playMode;
  s.levelIndex = b.levelIndex;
  s.levelTime = b.levelTime;
  std::memcpy(s.block, b.levelBlock, sizeof s.block);
  s.data.assign(b.Data(), b.Data() + b.dataSize);
  s.records.assign(b.Records(), b.Records() + b.recordSize);
  return s;
}

inline kis::DataBuffer* Make(const Saved& s) {
  auto* b = new kis::DataBuffer;
  b->headerSize = kis::kDataBufferHeaderSize;
  b->playMode = s.playMode;
  b->levelIndex = s.levelIndex;
  b->levelTime = s.levelTime;
  std::memcpy(b->levelBlock, s.block, sizeof b->levelBlock);
  b->GrowData(s.data.size() + 16);
  b->GrowRecords(s.records.size() + 16);
  if (!s.data.empty()) std::memcpy(b->Data(), s.data.data(), s.data.size());
  if (!s.records.empty()) std::memcpy(b->Records(), s.records.data(), s.records.size());
  b->dataSize = static_cast<u32>(s.data.size());
  b->recordSize = static_cast<u32>(s.records.size());
  return b;
}


constexpr u32 kVillain = 77;

struct FakeVillains : DamageSources {
  const DAMAGESOURCE* FindDamageSource(u32 id) const override { return id == kVillain ? &source : nullptr; }
  DAMAGESOURCE source{kVillain, 2000};
};

struct FakeStore : kis::SavedStateStore {
  ~FakeStore() override {
    for (auto& mode : slots)
      for (kis::DataBuffer* b : mode) delete b;
  }
  kis::DataBuffer** Slot(u32 mode, u32 level) override {
    return kis::IsSavedStateSlot(mode, level) ? &slots[mode][level] : nullptr;
  }
  kis::DataBuffer* slots[kis::kSavedPlayModes][kis::kSavedLevels] = {};
};

// No shots and no villains; a tutorial that may be running (installed as
// the game's while `tutorial` holds, by GetParts) and is saved as one word.
struct FakeExtras : LevelStateVillains, TutorialHooks {
  bool SaveShots(kis::DataCursor* w) override { return Word(w, 0); }
  bool LoadShots(kis::DataCursor* r) override { return Read(r) == 0; }
  bool SaveVillain(u32, kis::DataCursor* w) override { return Word(w, 0); }
  bool LoadVillain(u32, u32, kis::DataCursor*) override { return false; }
  bool AllowAction(u32, uintptr_t, const void*) override { return true; }
  void Notify(u32, uintptr_t, const void*) override {}
  bool IsSaved() const override { return tutorial; }
  bool Save(kis::DataCursor* w) override { return Word(w, tutorialStep); }
  bool Load(kis::DataCursor* r) override {
    tutorialStep = Read(r);
    return tutorialStep < 100;
  }
  void Discard() override {
    tutorial = false;
    Install();
  }
  void StartFirstStep() override { ++restarts; }
  void Install() {
    TutorialHooks*& slot = GetResourceServices().tutorial;
    if (tutorial)
      slot = this;
    else if (slot == this)
      slot = nullptr;
  }

  static bool Word(kis::DataCursor* w, u32 v) {
    u8 b[4];
    kis::PutU32LE(b, v);
    return w->Write(b, 4);
  }
  static u32 Read(kis::DataCursor* r) {
    u8 b[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    r->Read(b, 4);
    return kis::GetU32LE(b);
  }
  bool tutorial = false;
  u32 tutorialStep = 0;
  i32 restarts = 0;
};

class CareRig : public MapRig, public LevelStateHost {
 public:
  CareRig() : care(&villains) {
    careHook = &care;
    GetContentServices().characters = &descriptions;
    MakeDescription();
    gas = MakeSprite(kEffectSpriteSet, u"gas", 4);
    DXLFRAMESEQ seq;
    DXLFrameSeqInit(&seq, 0, 0, 4, 100, 0, 0);
    gas->SetDefaultAnimation(&seq);
    puddle = MakeMapSprite(u"toxic_puddle", 80, 40, 1, false);
  }
  ~CareRig() override {
    extras.tutorial = false;
    extras.Install();
    DeleteCharacters();
    map->DeletePoints();
    map->DeleteAllObjects();  // their obstacles leave the characters' path finder
    characters.reset();
    map.reset();
    GetContentServices().characters = nullptr;
    descriptions.Clear();
    FreeAnimations();
  }

  // The level of these points with the player at (x, y), started anew.
  void Build(std::vector<POINTDEF> points, i32 x = 640, i32 y = 560) {
    level.Info().playerX = x;
    level.Info().playerY = y;
    level.Make();
    MakeMap(std::move(points), false);
    characters = std::make_unique<LevelCharacters>(*map, level.rules.get(), &level.hudList, kLevelWidth, kLevelHeight);
    pathFinder = characters->Paths().GetPathFinder();
    map->SetPathFinder(pathFinder);
    MakeDefinedPoints();
    player = new MapPlayer(*characters, static_cast<float>(x), static_cast<float>(y));
  }
  // A new start after a failed restore: the level built again, its points
  // made as defined and the level started anew.
  void StartNewLevel() {
    RebuildLevel();
    MakeDefinedPoints();
    level.rules->StartNew();
  }

  // One tick of the scene: the rules' frame, the points, then the characters.
  void Tick(i32 n = 1) {
    for (i32 i = 0; i < n; ++i) {
      level.Frame(10);
      for (i32 k = 0; k < map->GetPointCount(); ++k)
        if (BaseLevelPoint* p = map->GetPoint(k)) p->Update(10);
      characters->Update();
      map->PurgeDisposed(0);
      map->PurgeDisposed(1);
    }
  }
  // Ticks until the test holds; how many it took (-1: not within the limit).
  template <class F>
  i32 TickUntil(F done, i32 limit = 3000) {
    for (i32 n = 1; n <= limit; ++n) {
      Tick();
      if (done()) return n;
    }
    return -1;
  }
  EmptyLevelPoint* Place(i32 i) const { return static_cast<EmptyLevelPoint*>(map->GetPoint(i)); }
  // Clicks the point's clear button (or its repair arrow) as the toolkit
  // does, greyed or not; its callback's answer.
  static u32 Click(ActiveScreenSprite* button) {
    return button->GetClickHandler()(button, button->GetHandlerOwner(), kMouseLeft);
  }

  // --- LevelStateHost ---------------------------------------------------------------------------
  LevelStateParts GetParts() override {
    extras.Install();
    return {level.rules.get(), map.get(), characters.get(), &extras};
  }
  void RebuildLevel() override {
    DeleteCharacters();
    map->DeletePoints();
    level.rules->Build(CHOSENBONUSES{});
    player = new MapPlayer(*characters, static_cast<float>(level.Info().playerX),
                           static_cast<float>(level.Info().playerY));
  }
  void ClearLevel() override {
    DeleteCharacters();
    map->DeletePoints();
    level.rules->Clear();
  }
  kis::SavedStateStore* GetStore() override { return &store; }
  // The level saved: its data, then its records.
  std::vector<u8> SavedBytes() {
    EXPECT_TRUE(SaveLevelState(*this));
    const kis::DataBuffer* b = store.slots[0][0];
    if (!b) return {};
    std::vector<u8> v(b->Data(), b->Data() + b->dataSize);
    v.insert(v.end(), b->Records(), b->Records() + b->recordSize);
    return v;
  }
  // The level loaded from a saved level's bytes (the store's copy replaced).
  bool LoadFrom(const Saved& s) {
    delete store.slots[0][0];
    store.slots[0][0] = leveltest::Make(s);
    return LoadLevelState(*this);
  }
  // Saved and loaded back: the records saved; none when either failed.
  std::vector<u8> SaveAndReload() {
    if (!SaveLevelState(*this)) return {};
    std::vector<u8> records = SavedRecords();
    return LoadLevelState(*this) ? records : std::vector<u8>{};
  }
  // The records of the level saved last (none: empty).
  std::vector<u8> SavedRecords() const {
    const kis::DataBuffer* b = store.slots[0][0];
    return b ? std::vector<u8>(b->Records(), b->Records() + b->recordSize) : std::vector<u8>{};
  }
  void SaveProfile() override { ++profileSaves; }

  FakeVillains villains;
  LevelPointCare care;
  FakeExtras extras;
  FakeStore store;
  std::unique_ptr<LevelCharacters> characters;
  CharacterList descriptions;  // the game's, in the services
  MapPlayer* player = nullptr;
  GameCharacter* girl = nullptr;
  Sprite* gas = nullptr;
  MapSprite* puddle = nullptr;
  i32 profileSaves = 0;

 private:
  void DeleteCharacters() {
    player = nullptr;
    if (!characters) return;
    while (characters->GetCharacters().GetCount() > 0) delete characters->GetCharacters()[0];
  }
  Sprite* MakeSprite(u32 setNumber, const wchar* name, i32 frames) {
    SpriteSet& set = art.Set(setNumber);
    DXLTexture* t = set.GetTextures()->NewTexture();
    t->SetName(name);
    const std::vector<u8> file = spritetest::Picture(16 * static_cast<u32>(frames), 16, 3);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    return new Sprite(&set, name, t, SPRITEGRID{frames, 16, 16, 0, 0, {0, 0, 0, 0}}, false, false, 0);
  }
  void MakeDescription() {
    girl = MakeGirl(descriptions, {{u"girl_idle", kAnimPingPong, 220, 880}, {u"girl_walk", kAnimLoop, 85, 680},
                     {u"girl_build", kAnimOnce, 100, 600}, {u"girl_repair", kAnimLoop, 100, 400},
                     {u"girl_dig", kAnimOnce, 100, 600}, {u"girl_rubit", kAnimOnce, 100, 600},
                     {u"girl_water", kAnimOnce, 100, 600}});
  }
};

}  // namespace leveltest

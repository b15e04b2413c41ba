#include "app/DataSet.h"

#include "base/datafile/DataFileReader.h"
#include "content/CharacterSection.h"
#include "engine/DXLTexture.h"
#include "engine/text/DigitalFont.h"
#include "gametext/KGEFont.h"
#include "platform/encoding/Utf.h"
#include "platform/os/FileSystem.h"
#include "platform/os/StdioFile.h"
#include "resources/AnimationSection.h"
#include "resources/GameAnimation.h"
#include "resources/ParticleLibrary.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "ui/DigitFontSection.h"
#include "ui/GameFontSection.h"
#include "ui/WindowManager.h"

kis::DataFileReaderW* OpenDataSetFile(const std::string& folder, const char* file, u32 signature1, u32 signature2,
                                      u32 version) {
  const std::u16string path = plat::Utf8ToUtf16(folder + "/" + file);
  return kis::OpenDataFileReaderW(path.c_str(), signature1, signature2, version);
}

std::string DataSetFileFault(const std::string& folder, const char* file, bool* missing) {
  const std::string path = folder + "/" + file;
  const std::u16string wide = plat::Utf8ToUtf16(path);
  const u32 attributes = plat::GetFileAttributes(wide);
  if (missing) *missing = attributes == plat::kInvalidAttributes;
  if (attributes == plat::kInvalidAttributes) return path + " is missing";
  if ((attributes & (plat::kAttrDirectory | plat::kAttrDevice)) != 0) return path + " is not a regular file";
  std::FILE* f = plat::FileOpen(wide, "rb");
  if (!f) return path + " cannot be read";
  plat::FileClose(f);
  return path + " is damaged or not of this version";
}

std::string ReadSpriteSets(kis::BaseDataFileReader* reader, std::vector<std::unique_ptr<SpriteSet>>* sets) {
  for (u32 i = 0; i < kSpriteSetCount; ++i) sets->push_back(std::make_unique<SpriteSet>(i));
  using Reader = i32 (SpriteSet::*)(kis::BaseDataFileReader*, SectionCursor*, float, float);
  const struct {
    u32 id, subId;
    Reader read;
  } kinds[] = {{kSpriteImagesId, kSpriteImagesSubId, &SpriteSet::ReadImages},
               {kSpritesId, kSpritesSubId, &SpriteSet::ReadSprites},
               {kMapSpritesId, kMapSpritesSubId, &SpriteSet::ReadMapSprites}};
  for (const auto& kind : kinds) {
    if (!reader->EnterDirectory(kind.id, kind.subId)) return "Sprites.dat lacks a directory";
    for (auto& set : *sets)
      if (!ReadWholeSection([&](SectionCursor* c) { return (set.get()->*kind.read)(reader, c, 0.0f, 1.0f); }))
        return "Sprites.dat: a sprite set does not read";
    if (!reader->LeaveDirectory()) return "Sprites.dat: a directory does not close";
  }
  if (!reader->EnterDirectory(kSpriteImagesId, kSpriteImagesSubId)) return "Sprites.dat: no images";
  return {};
}

void ContentTables::Install() {
  GameServices& s = GetGameServices();
  s.products = &products;
  s.bonuses = &bonuses;
  s.awards = &awards;
  s.grounds = &grounds;
  s.levels = &levels;
  s.characters = &characters;
  s.garbage = &garbage;
  s.plants = &plants;
  s.buildings = &buildings;
  s.villains = &villains;
}

void ContentTables::Uninstall() {
  GameServices& s = GetGameServices();
  if (s.products == &products) s.products = nullptr;
  if (s.bonuses == &bonuses) s.bonuses = nullptr;
  if (s.awards == &awards) s.awards = nullptr;
  if (s.grounds == &grounds) s.grounds = nullptr;
  if (s.levels == &levels) s.levels = nullptr;
  if (s.characters == &characters) s.characters = nullptr;
  if (s.garbage == &garbage) s.garbage = nullptr;
  if (s.plants == &plants) s.plants = nullptr;
  if (s.buildings == &buildings) s.buildings = nullptr;
  if (s.villains == &villains) s.villains = nullptr;
}

bool ReadContentTables(kis::BaseDataFileReader* data, ContentTables* tables,
                       const std::vector<std::unique_ptr<SpriteSet>>& sets) {
  ContentTables& t = *tables;
  const bool read =
      ReadWholeSection([&](SectionCursor* c) { return LoadParticleSystems(data, c); }) &&
      ReadWholeSection([&](SectionCursor* c) { return t.products.ReadSection(data, c); }) &&
      (t.products.ResolveIngredients(), true) &&
      ReadWholeSection([&](SectionCursor* c) { return t.plants.ReadSection(data, c); }) &&
      ReadWholeSection([&](SectionCursor* c) { return t.bonuses.ReadSection(data, c); }) &&
      ReadWholeSection([&](SectionCursor* c) { return t.awards.ReadSection(data, c); }) &&
      ReadWholeSection([&](SectionCursor* c) { return t.grounds.ReadSection(data, c); }) &&
      ReadWholeSection([&](SectionCursor* c) { return LoadGarbageDefinitions(&t.garbage, data, c); }) &&
      ReadWholeSection([&](SectionCursor* c) { return LoadAnimations(data, c, 0.0f, 1.0f); }) &&
      ReadWholeSection([&](SectionCursor* c) { return LoadCharacters(&t.characters, data, c, 0.0f, 1.0f); }) &&
      ReadWholeSection([&](SectionCursor* c) { return t.buildings.ReadSection(data, c); }) &&
      ReadWholeSection([&](SectionCursor* c) { return t.villains.ReadSection(data, c); }) &&
      ReadWholeSection([&](SectionCursor* c) { return t.levels.ReadChunk(data, c); });
  if (!read) return false;
  t.bonuses.LoadIcons();
  for (u32 set : {kParticleSpriteSet, 1u, kIconSpriteSet}) {
    if (set >= sets.size()) continue;
    const kis::list<Sprite*>& all = sets[set]->GetSprites();
    for (i32 i = 0; i < all.GetCount(); ++i) all.Get(i)->Init();
  }
  return true;
}

void FreeContentData(ContentTables* tables) {
  tables->garbage.Clear();
  tables->villains.Clear();
  tables->buildings.Clear();  // before the characters they name
  tables->plants.Clear();
  tables->characters.Clear();  // they release their animations
  FreeAnimations();
  FreeParticleLibrary();
}

bool ReadDigitFonts(kis::BaseDataFileReader* data, WindowManager* manager) {
  if (!ReadWholeSection([&](SectionCursor* c) { return LoadDigitFonts(data, c, manager); })) return false;
  for (i32 i = 0; i < manager->Fonts().GetCount(); ++i) {
    DigitalFont* font = manager->Fonts().Get(i);
    if (font->GetTexture() && !font->GetTexture()->IsReady()) font->GetTexture()->Load();
    font->RebuildModes();
  }
  return true;
}

bool ReadGameFonts(kis::BaseDataFileReader* data) {
  if (!ReadWholeSection([&](SectionCursor* c) { return LoadGameFonts(data, c); })) return false;
  for (KGEFont* font : GetGameServices().fonts) {
    if (!font) return false;
    DXLTexture* picture = font->GetTexture();
    if (picture && !picture->IsReady()) picture->Load();
    if (font->Acquire() != KGE_S_OK) return false;
  }
  return true;
}

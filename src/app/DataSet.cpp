#include "app/DataSet.h"

#include "base/datafile/DataFileReader.h"
#include "content/ContentServices.h"
#include "platform/encoding/Utf.h"
#include "platform/os/FileSystem.h"
#include "platform/os/StdioFile.h"
#include "resources/GameAnimation.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"

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

void ContentTables::Install() {
  ContentServices& s = GetContentServices();
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
  s.comics = &comics;
}

void ContentTables::Uninstall() {
  ContentServices& s = GetContentServices();
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
  if (s.comics == &comics) s.comics = nullptr;
}

// In the shutdown's order: the level table's records, the ground's garbage
// kinds, buildings, plants, villains, the characters (which release their
// animations) and the animations, then the particle library. The comics
// go with the tables.
void FreeContentData(ContentTables* tables) {
  tables->levels.Clear();
  tables->garbage.Clear();
  tables->buildings.Clear();  // before the characters they name
  tables->plants.Clear();
  tables->villains.Clear();
  tables->characters.Clear();
  FreeAnimations();
  tables->comics.Clear();
  FreeParticleLibrary();
}

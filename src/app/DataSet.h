// Reading a built data set the way the start-up loader reads it: each
// resumable section reader called until it finishes, the 17 sprite sets of
// "Sprites.dat" read kind by kind (every set's images, then sprites, then
// map sprites), the content tables of "Data.dat" with the particle systems
// and the animations they stand on, and the digit fonts made
// ready to draw. The game's world (GameWorld.h) reads through these, and so
// does a tool that only needs one section.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/Types.h"
#include "content/AwardTable.h"
#include "content/BuildingTable.h"
#include "content/GameBonuses.h"
#include "content/GameCharacter.h"
#include "content/GarbageList.h"
#include "content/GroundList.h"
#include "content/LevelTable.h"
#include "content/PlantTable.h"
#include "content/ProductList.h"
#include "content/VillainList.h"
#include "resources/GameServices.h"

class SpriteSet;
class WindowManager;

namespace kis {
class BaseDataFileReader;
class DataFileReaderW;
}  // namespace kis

// Calls a resumable reader until it finishes (at most a million calls);
// false on its error flag.
template <class Read>
bool ReadWholeSection(Read read) {
  SectionCursor cursor;
  for (u32 calls = 0; read(&cursor) == 0 && calls < 1000000; ++calls) {
  }
  return cursor.error == 0;
}

// `file` of the data set in `folder` opened with the archive's signatures
// and version; null when it does not open. Closed with kis::CloseDataFile.
kis::DataFileReaderW* OpenDataSetFile(const std::string& folder, const char* file, u32 signature1, u32 signature2,
                                      u32 version);
// Why `file` of the data set in `folder` does not open, named with its
// path: "<folder>/<file> is missing", "... is not a regular file", "... cannot
// be read" or "... is damaged or not of this version"; `missing` says
// whether it is the first.
std::string DataSetFileFault(const std::string& folder, const char* file, bool* missing = nullptr);

// The 17 sets made into `sets` and read, the reader left in the image
// directory (the textures load from there as they are needed). Empty on
// success, else what failed.
std::string ReadSpriteSets(kis::BaseDataFileReader* reader, std::vector<std::unique_ptr<SpriteSet>>* sets);

// The content tables a level reads, made together; installed in the game
// services by whoever holds them (Install), and taken out again before they
// go (Uninstall; the destructor does not).
struct ContentTables {
  ProductList products;
  GameBonuses bonuses;
  AwardTable awards;
  GroundList grounds;
  LevelTable levels;
  CharacterList characters;
  GarbageList garbage;  // the empty places' garbage kinds
  PlantTable plants;
  BuildingTable buildings;
  VillainList villains;

  void Install();
  void Uninstall();  // only the fields that still hold these tables are cleared
};

// The particle systems, products (their recipes linked), plants, bonuses,
// awards, ground, garbage, animations, characters, buildings, villains and
// levels of "Data.dat" into the tables (installed first: a plant finds its
// product, a building its products and animal, a level its kinds); then the
// bonuses' icons and the pictures the start-up loads for good (the
// particles', the interface's and the icons of `sets`).
// The characters' animations are found in the animation list, so the
// tables need not be installed to be read. False when a section does not
// read; what was read stays, for the caller to free.
bool ReadContentTables(kis::BaseDataFileReader* data, ContentTables* tables,
                       const std::vector<std::unique_ptr<SpriteSet>>& sets);
// What ReadContentTables read outside the tables, the animations and the
// particle systems, and the tables' garbage, characters, plants, buildings
// and villains.
void FreeContentData(ContentTables* tables);

// The digit fonts into the window manager (sprite set 1 read first, the
// sprite archive in its image directory), each font's picture loaded and
// its modes built on it, as the start-up does before the first screen;
// false when the section does not read.
bool ReadDigitFonts(kis::BaseDataFileReader* data, WindowManager* manager);
// The game fonts 5 to 9 (sprite set 1 read first), each bitmap font's
// picture loaded and every font acquired; false when the section does not
// read. FreeGameFonts (ui/GameFontSection.h) deletes them.
bool ReadGameFonts(kis::BaseDataFileReader* data);

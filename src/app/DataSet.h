// A built data set's files and the tables read from them: opening an
// archive of the data folder and saying why one does not open, the content
// tables the start-up loader (StartupLoader.h) reads into, and a resumable
// reader driven to its end for a tool that only needs one section.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/Types.h"
#include "content/AwardTable.h"
#include "content/BuildingTable.h"
#include "content/ComixSection.h"
#include "content/GameBonuses.h"
#include "content/GameCharacter.h"
#include "content/GarbageList.h"
#include "content/GroundList.h"
#include "content/LevelTable.h"
#include "content/MainScreenSection.h"
#include "content/PlantTable.h"
#include "content/ProductList.h"
#include "content/VillainList.h"
#include "resources/ResourceServices.h"

namespace kis {
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

// The content tables a level reads, made together; installed in the content
// services (ContentServices.h) by whoever holds them (Install), and taken out again before they
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
  ComixList comics;  // "COMX"
  MainScreenLayers mainScreen;  // "MNSC", the main screen's scene

  void Install();
  void Uninstall();  // only the fields that still hold these tables are cleared
};

// What the start-up loader (StartupLoader.h) read outside the tables, the animations and the
// particle systems, and the tables' garbage, characters, plants, buildings
// and villains.
void FreeContentData(ContentTables* tables);

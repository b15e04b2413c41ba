// The game's tables of "Data.dat" as the builder reads them from their
// text-tree sources under tools/data/tables (products, bonuses, awards,
// ground, garbage) and tools/data/levels (one file per level). Each reader
// fills its table in ContentSourceTables, asks the picture catalogue for every
// picture its records name, and prints any fault of its source; later
// tables may look names up in earlier ones (a level's bonus, its ground).
//
// Pictures the records name, and their sizes (a source may not choose):
//   product icons "ico_NAME" 48x48 and "ico2_NAME" 24x24 (set 2), its map
//   sprite "NAME_map" 64x64 (set 3); bonus icons NAME 48x48 and "big_NAME"
//   96x96 (set 2); award icons 64x64 (set 2); a ground sprite as large as
//   the largest rectangle that shows it and kGroundMargin more each way
//   (set 4: a filtered tile at the sprite's edge samples that margin, where
//   the art repeats the tile's edge, never what lies past the picture);
//   garbage map sprites 128x96
//   (set 3); a level's two map sprites 128x64 (set 5).
#pragma once

#include <string>
#include <vector>

#include "PictureCatalog.h"
#include "base/Types.h"
#include "content/AwardTable.h"
#include "content/BuildingTable.h"
#include "content/CharacterSection.h"
#include "content/ComixSection.h"
#include "content/MainScreenSection.h"
#include "content/GameBonuses.h"
#include "content/GarbageList.h"
#include "content/GroundList.h"
#include "content/LevelInfo.h"
#include "content/LevelTable.h"
#include "content/MapSection.h"
#include "content/PlantTable.h"
#include "content/ProfileProgress.h"
#include "content/ProductList.h"
#include "content/VillainList.h"
#include "resources/AnimationSection.h"
#include "resources/ParticleRecords.h"

class DataSetBuild;
class SourceTree;

constexpr u32 kIconSide = 48;
constexpr u32 kSmallIconSide = 24;
constexpr u32 kBigIconSide = 96;
constexpr u32 kAwardIconSide = 64;
constexpr u32 kProductMapSide = 64;
constexpr u32 kGarbageWidth = 128, kGarbageHeight = 96;
constexpr u32 kLevelSpriteWidth = 128, kLevelSpriteHeight = 64;
constexpr u32 kGroundMargin = 2;

struct ContentSourceTables {
  std::vector<PRODUCT> products;
  BONUS bonuses[kBonusCount] = {};
  TIEREDAWARD tiered[kTieredAwardCount] = {};
  RECORDAWARD records[kRecordAwardCount] = {};
  std::vector<GROUND> grounds;
  std::vector<GARBAGEINFO> garbage;
  i32 grid[kMapGridCells];
  std::vector<LEVELINFO> levels;
  std::vector<ANIMRECORD> animations;
  std::vector<GPSCURVE> curves;
  std::vector<GPSPARAMS> particleParams;
  std::vector<GPSSYSTEM> particleSystems;
  std::vector<CHARACTERRECORD> characters;
  PROFILEPROGRESS newProfile = EmptyProfileProgress();
  BEDSTAGE bedStages[kBedStageCount] = {};
  u32 plantTiming[kPlantTimingWords] = {};
  std::vector<GAMEBEDS> bedLooks;
  std::vector<PLANT> plants;
  std::vector<BUILDING> buildings;
  std::vector<VILLAININFO> villains;
  std::vector<ComixPage> comics;
  std::vector<MAINSCREENLAYERINFO> mainScreen;
  MapSectionData map;

  ContentSourceTables() {
    for (i32& c : grid) c = -1;
  }
};

// Each reads its source; false when it has a fault (printed).
bool ReadProducts(DataSetBuild& build, ContentSourceTables& tables);
bool ReadBonuses(DataSetBuild& build, ContentSourceTables& tables);
bool ReadAwards(DataSetBuild& build, ContentSourceTables& tables);
bool ReadGround(DataSetBuild& build, ContentSourceTables& tables);
bool ReadGarbage(DataSetBuild& build, ContentSourceTables& tables);
// The character descriptions; their animations must have been read.
bool ReadCharacters(DataSetBuild& build, ContentSourceTables& tables);
// The level objects' kinds (KindSources.cpp): the plants with the beds'
// stages, timings and looks (their products read before), the buildings
// (their products, characters and particle systems read before; every
// building the manifest names must be one) and the villains. Their
// pictures: a plant's picture "pic_NAME" 48x48 and job icon "job_NAME"
// 32x32 (set 2), its crop "NAME_crop" 64x64 (set 3; a tree's "NAME_tree"
// 128x128 and "NAME_fruit" 16x16), a bed look's grounds 96x64 (set 3); a
// building's site "NAME_site" 128x96 and level N "NAME_N" 128x128 (set 3),
// its level icons "pic_NAME_N" 48x48 and construction icon "job_NAME" 32x32
// (set 2), an animal house's trough "NAME_trough" 64x32 (set 3).
bool ReadPlants(DataSetBuild& build, ContentSourceTables& tables);
bool ReadBuildings(DataSetBuild& build, ContentSourceTables& tables);
bool ReadVillains(DataSetBuild& build, ContentSourceTables& tables);
// The comics of "COMX" (ComixSources.cpp) from "tables/comics.txt"; their
// pictures are set 16's, 300 x 300.
bool ReadComics(DataSetBuild& build, ContentSourceTables& tables);
// The 41 levels from "level_NN.txt" (NN from 01) of the level folder
// (DataSetBuild::LevelsDir), each with its map cell and group from
// "tables/campaign_map.txt"; a level without a file is a record with only
// those (no task: not loaded). The folder must hold level files and nothing
// else. Fills the map grid.
bool ReadLevels(DataSetBuild& build, ContentSourceTables& tables);
// The level-selection map's "MAPM" (MapSources.cpp) from "tables/map.txt";
// the particle systems read before. Its item pictures are set 12's.
bool ReadMapNodes(DataSetBuild& build, ContentSourceTables& tables);
// The main screen's scene "MNSC" (MainScreenSources.cpp) from
// "tables/main_screen.txt"; the particle systems read before.
bool ReadMainScreen(DataSetBuild& build, ContentSourceTables& tables);
// A new profile's progress from "tables/profile.txt".
bool ReadNewProfile(DataSetBuild& build, ContentSourceTables& tables);

// Shared by the readers: a table's source, loaded (false, printed, when it
// cannot be read); a picture the records name, asked of the catalogue.
bool OpenSource(DataSetBuild& build, SourceTree& tree, const std::string& relative);
bool RequirePicture(DataSetBuild& build, SourceTree& tree, u32 set, const std::string& name, PictureKind kind,
                    u32 width, u32 height);
// A name field of a record, from a scanned or built name.
template <u32 n>
void SetName(wchar (&field)[n], const std::string& text) {
  for (u32 i = 0; i < n; ++i) field[i] = i < text.size() ? static_cast<wchar>(static_cast<u8>(text[i])) : 0;
  field[n - 1] = 0;
}

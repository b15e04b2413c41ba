#include "DataArchiveModule.h"

#include <cstdio>

#include "ContentSources.h"
#include "DataSetBuild.h"
#include "DigitFontArt.h"
#include "GameFontArt.h"
#include "MotionSources.h"
#include "content/ContentArchive.h"
#include "content/ContentWriter.h"
#include "platform/encoding/Utf.h"
#include "ui/DigitFontSection.h"
#include "ui/GameFontSection.h"

namespace {

// One section: the reader of its source (none for a section made from
// nothing), which fills the tables and prints any fault, and the writer of
// its body from them.
struct SectionRecipe {
  u32 id;
  u32 subId;
  const char* what;
  bool (*read)(DataSetBuild& build, ContentSourceTables& tables);
  std::vector<u8> (*body)(const ContentSourceTables& tables);
};

// In the loader's order. A section whose source names another table's
// entries comes after that table (levels name bonuses, products, ground,
// garbage, plants, buildings and villains; plants name products; buildings
// products, characters and particle systems; garbage may name particle
// systems). "CNST" is empty: the start-up loader only checks it is there.
constexpr SectionRecipe kSections[] = {
    {kConstantsSectionId, kConstantsSectionSubId, "CNST", nullptr,
     [](const ContentSourceTables&) { return std::vector<u8>(); }},
    {kDigitFontSectionId, kDigitFontSectionSubId, "FGID", RequireDigitFontPicture,
     [](const ContentSourceTables&) { return DigitFontSection(); }},
    {kGameFontSectionId, kGameFontSectionSubId, "FONT", BakeGameFonts,
     [](const ContentSourceTables&) { return GameFontSection(); }},
    {kBonusSectionId, kBonusSectionSubId, "BONS", ReadBonuses,
     [](const ContentSourceTables& t) { return BonusSection(t.bonuses); }},
    {kParticleSectionId, kParticleSectionSubId, "PART", ReadParticleSystems,
     [](const ContentSourceTables& t) { return ParticleSectionBody(t.curves, t.particleParams, t.particleSystems); }},
    {kGroundSectionId, kGroundSectionSubId, "GRND", ReadGround,
     [](const ContentSourceTables& t) { return GroundSection(t.grounds); }},
    {kGarbageSectionId, kGarbageSectionSubId, "LPNT", ReadGarbage,
     [](const ContentSourceTables& t) { return GarbageSection(t.garbage); }},
    {kProductSectionId, kProductSectionSubId, "PROD", ReadProducts,
     [](const ContentSourceTables& t) { return ProductSection(t.products); }},
    {kPlantSectionId, kPlantSectionSubId, "PLNT", ReadPlants,
     [](const ContentSourceTables& t) { return PlantSection(t.bedStages, t.plantTiming, t.bedLooks, t.plants); }},
    {kAnimationSectionId, kAnimationSectionSubId, "ANIM", ReadAnimations,
     [](const ContentSourceTables& t) { return AnimationSectionBody(t.animations); }},
    {kCharacterSectionId, kCharacterSectionSubId, "CHQR", ReadCharacters,
     [](const ContentSourceTables& t) { return CharacterSectionBody(t.characters); }},
    {kBuildingSectionId, kBuildingSectionSubId, "BLDN", ReadBuildings,
     [](const ContentSourceTables& t) { return BuildingSection(t.buildings); }},
    {kVillainSectionId, kVillainSectionSubId, "VLNS", ReadVillains,
     [](const ContentSourceTables& t) { return VillainSection(t.villains); }},
    {kComixSectionId, kComixSectionSubId, "COMX", ReadComics,
     [](const ContentSourceTables& t) { return ComixSection(t.comics); }},
    {kLevelSectionId, kLevelSectionSubId, "LVLS", ReadLevels,
     [](const ContentSourceTables& t) { return LevelSection(t.grid, t.levels); }},
    {kAwardSectionId, kAwardSectionSubId, "awards", ReadAwards,
     [](const ContentSourceTables& t) { return AwardSection(t.tiered, t.records); }},
    {kMainScreenSectionId, kMainScreenSectionSubId, "MNSC", ReadMainScreen,
     [](const ContentSourceTables& t) { return MainScreenSection(t.mainScreen); }},
    {kMapSectionId, kMapSectionSubId, "MAPM", ReadMapNodes,
     [](const ContentSourceTables& t) { return MapSection(t.map); }},
    {kProfileSectionId, kProfileSectionSubId, "PROF", ReadNewProfile,
     [](const ContentSourceTables& t) { return ProfileDefaultsSection(t.newProfile); }},
};

}  // namespace

bool ReadContentTables(DataSetBuild& build, ContentSourceTables& tables) {
  bool ok = true;
  for (const SectionRecipe& recipe : kSections) {
    if (recipe.read && !recipe.read(build, tables)) {
      std::fprintf(stderr, "databuild: section %s of Data.dat not made\n", recipe.what);
      ok = false;
    }
  }
  return ok;
}

bool DataArchiveModule::Build(DataSetBuild& build) {
  ContentSourceTables tables;
  if (!ReadContentTables(build, tables)) return false;
  if (ContactSheet* sheet = build.Sheet()) {
    i32 cells[kLevelCount];
    for (u32 i = 0; i < kLevelCount; ++i) cells[i] = tables.levels[i].mapCell;
    sheet->SetMap(tables.map, cells);
  }
  std::vector<DataSection> sections;
  for (const SectionRecipe& recipe : kSections) sections.push_back(DataSection{recipe.id, recipe.subId, recipe.body(tables)});
  const std::u16string path = plat::Utf8ToUtf16(build.DataPath(FileName()));
  if (!WriteDataArchive(path.c_str(), sections)) {
    std::fprintf(stderr, "databuild: cannot write %s\n", build.DataPath(FileName()).c_str());
    return false;
  }
  std::printf("Data.dat: %zu sections, %zu products, %zu plants, %zu ground kinds, %zu garbage kinds, "
              "%zu particle systems, %zu animations, %zu characters, %zu buildings, %zu villains, %u levels\n",
              sections.size(), tables.products.size(), tables.plants.size(), tables.grounds.size(),
              tables.garbage.size(), tables.particleSystems.size(), tables.animations.size(),
              tables.characters.size(), tables.buildings.size(), tables.villains.size(), kLevelCount);
  return true;
}

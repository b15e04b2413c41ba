#include "DataArchiveModule.h"

#include <cstdio>

#include "ContentSources.h"
#include "content/ContentArchive.h"
#include "content/ContentWriter.h"
#include "platform/encoding/Utf.h"

namespace {

// One section: reads what it needs (false on a fault of its source, which
// has been printed) and writes its body.
struct SectionRecipe {
  u32 id;
  u32 subId;
  const char* what;
  bool (*make)(DataSetBuild& build, ContentTables& tables, std::vector<u8>* body);
};

// The start-up loader only checks that this section is there.
bool MakeConstants(DataSetBuild&, ContentTables&, std::vector<u8>* body) {
  body->clear();
  return true;
}

bool MakeBonuses(DataSetBuild& build, ContentTables& tables, std::vector<u8>* body) {
  if (!ReadBonuses(build, tables)) return false;
  *body = BonusSection(tables.bonuses);
  return true;
}

bool MakeGround(DataSetBuild& build, ContentTables& tables, std::vector<u8>* body) {
  if (!ReadGround(build, tables)) return false;
  *body = GroundSection(tables.grounds);
  return true;
}

bool MakeGarbage(DataSetBuild& build, ContentTables& tables, std::vector<u8>* body) {
  if (!ReadGarbage(build, tables)) return false;
  *body = GarbageSection(tables.garbage);
  return true;
}

bool MakeProducts(DataSetBuild& build, ContentTables& tables, std::vector<u8>* body) {
  if (!ReadProducts(build, tables)) return false;
  *body = ProductSection(tables.products);
  return true;
}

bool MakeLevels(DataSetBuild& build, ContentTables& tables, std::vector<u8>* body) {
  if (!ReadLevels(build, tables)) return false;
  *body = LevelSection(tables.grid, tables.levels);
  return true;
}

bool MakeAwards(DataSetBuild& build, ContentTables& tables, std::vector<u8>* body) {
  if (!ReadAwards(build, tables)) return false;
  *body = AwardSection(tables.tiered, tables.records);
  return true;
}

// In the loader's order. A section whose source names another table's
// entries comes after that table (levels name bonuses, products, ground and
// garbage).
constexpr SectionRecipe kSections[] = {
    {kConstantsSectionId, kConstantsSectionSubId, "CNST", MakeConstants},
    {kBonusSectionId, kBonusSectionSubId, "BONS", MakeBonuses},
    {kGroundSectionId, kGroundSectionSubId, "GRND", MakeGround},
    {kGarbageSectionId, kGarbageSectionSubId, "LPNT", MakeGarbage},
    {kProductSectionId, kProductSectionSubId, "PROD", MakeProducts},
    {kLevelSectionId, kLevelSectionSubId, "LVLS", MakeLevels},
    {kAwardSectionId, kAwardSectionSubId, "awards", MakeAwards},
};

}  // namespace

bool DataArchiveModule::Build(DataSetBuild& build) {
  ContentTables tables;
  std::vector<DataSection> sections;
  bool ok = true;
  for (const SectionRecipe& recipe : kSections) {
    DataSection section{recipe.id, recipe.subId, {}};
    if (!recipe.make(build, tables, &section.body)) {
      std::fprintf(stderr, "databuild: section %s of Data.dat not made\n", recipe.what);
      ok = false;
      continue;
    }
    sections.push_back(std::move(section));
  }
  if (!ok) return false;
  const std::u16string path = plat::Utf8ToUtf16(build.DataPath(FileName()));
  if (!WriteDataArchive(path.c_str(), sections)) {
    std::fprintf(stderr, "databuild: cannot write %s\n", build.DataPath(FileName()).c_str());
    return false;
  }
  std::printf("Data.dat: %zu sections, %zu products, %zu ground kinds, %zu garbage kinds, %u levels\n",
              sections.size(), tables.products.size(), tables.grounds.size(), tables.garbage.size(), kLevelCount);
  return true;
}

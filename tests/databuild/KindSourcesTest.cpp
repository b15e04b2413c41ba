// The builder's plant, building and villain sources: a small valid set
// reads, and each kind of fault is refused (a duplicate or unknown name, a
// product, animation or picture the data set lacks in that form, a building
// the game names that the list lacks).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ContentSources.h"
#include "DataSetBuild.h"
#include "SourceTree.h"
#include "base/Identifier.h"
#include "base/Strings.h"
#include "testsupport/TempFolder.h"

namespace {

const char* kPlants =
    "stage {\n\tcrop = 0, 0\n}\nstage {\n}\nstage {\n}\nstage {\n}\ntiming {\n\tpulldown_ms = 900\n}\n"
    "beds {\n\tground = bed_1\n\tground = bed_2\n\tground = bed_3\n\tground = bed_4\n}\n";
const char* kWheat = "plant {\n\tname = wheat\n\tproduct = wheat\n\tgrowth_ms = 1000\n\twater = 1, 2\n\tharvest = girl_dig\n}\n";
const char* kWarehouse = "building {\n\tname = warehouse\n\tlevel {\n\t\tcapacity = 10\n\t}\n}\n";
const char* kVillain = "villain {\n\tname = raider\n\tshots = 2\n\thealth = 3\n\tshot_speed = 5\n}\n";

struct Sources {
  explicit Sources(const std::string& plants = std::string(kPlants) + kWheat, const std::string& buildings = kWarehouse,
                   const std::string& villains = kVillain, const std::string& manifest = "building warehouse\n") {
    std::filesystem::create_directories(folder.Path() + "/tables");
    folder.Put("tables/plants.txt", plants);
    folder.Put("tables/buildings.txt", buildings);
    folder.Put("tables/villains.txt", villains);
    BuildOptions options;
    options.sourceDir = folder.Path();
    options.dataDir = folder.Path() + "/out";
    build = std::make_unique<DataSetBuild>(options);
    std::string error;
    EXPECT_TRUE(build->GetManifest().Parse(manifest, "names", &error)) << error;
    PRODUCT wheat{};
    SetName(wheat.name, "wheat");
    wheat.id = kis::NameIdA("wheat");
    tables.products.push_back(wheat);
    ANIMRECORD dig{};
    kis::StrCopy(dig.name, kAnimationNameSize, u"girl_dig");
    tables.animations.push_back(dig);
  }
  // Plants, then (as the archive's order has it) buildings and villains.
  bool Read() {
    const bool plants = ReadPlants(*build, tables);
    const bool buildings = ReadBuildings(*build, tables);
    return ReadVillains(*build, tables) && plants && buildings;
  }
  TempFolder folder;
  std::unique_ptr<DataSetBuild> build;
  ContentSourceTables tables;
};

}  // namespace

TEST(KindSources, ASmallSetReadsAndEveryFaultIsRefused) {
  {
    Sources s;
    ASSERT_TRUE(s.Read());
    ASSERT_EQ(s.tables.plants.size(), 1u);
    const PLANT& wheat = s.tables.plants[0];
    EXPECT_EQ(wheat.id, kis::NameIdA("wheat"));
    EXPECT_EQ(NarrowName(wheat.pictureName), "pic_wheat");
    EXPECT_EQ(NarrowName(wheat.iconName), "job_wheat");
    EXPECT_EQ(s.tables.plantTiming[kTimingPulldown], 900u);
    EXPECT_EQ(s.tables.bedStages[0].cropCount, 1u);
    ASSERT_EQ(s.tables.buildings.size(), 1u);
    EXPECT_EQ(s.tables.buildings[0].levels[0].capacity, 10u);
    EXPECT_EQ(NarrowName(s.tables.buildings[0].levels[0].iconName), "pic_warehouse_1");
    EXPECT_EQ(NarrowName(s.tables.buildings[0].levels[0].buildIconName), "job_warehouse");
    ASSERT_EQ(s.tables.villains.size(), 1u);
    EXPECT_EQ(s.tables.villains[0].health, 3);
  }
  const std::string plants = kPlants;
  const struct {
    const char* what;
    std::string plants, buildings, villains, manifest;
  } faults[] = {
      {"a second wheat", plants + kWheat + kWheat, kWarehouse, kVillain, "building warehouse\n"},
      {"an unknown product", plants + "plant {\n\tname = rye\n\tproduct = rye\n}\n", kWarehouse, kVillain, ""},
      {"a missing animation",
       plants + "plant {\n\tname = oat\n\tproduct = wheat\n\tharvest = girl_fly\n}\n", kWarehouse, kVillain, ""},
      {"a picture asked for at another size: a bed's ground as a building's site", plants + kWheat,
       "building {\n\tname = shed\n\tsite = bed_1\n\tlevel {\n\t}\n}\n", kVillain, ""},
      {"a building the game names missing", plants + kWheat, kWarehouse, kVillain, "building henhouse\n"},
      {"a second villain", plants + kWheat, kWarehouse, std::string(kVillain) + kVillain, ""},
      {"a villain that never shoots", plants + kWheat, kWarehouse,
       "villain {\n\tname = idle\n\tshots = 0\n\thealth = 1\n\tshot_speed = 1\n}\n", ""},
      {"a name that is no name", plants + "plant {\n\tname = ware-house\n\tproduct = wheat\n}\n", kWarehouse, kVillain,
       ""},
      {"five levels", plants + kWheat,
       "building {\n\tname = tower\n\tlevel {\n\t}\n\tlevel {\n\t}\n\tlevel {\n\t}\n\tlevel {\n\t}\n\tlevel {\n\t}\n}\n",
       kVillain, ""},
  };
  for (const auto& f : faults) {
    Sources s(f.plants, f.buildings, f.villains, f.manifest);
    EXPECT_FALSE(s.Read()) << f.what;
  }
}

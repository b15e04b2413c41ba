// The item-description mark-up (ExpandItemTag) on the level rig: colour
// words, names, prices, capacities, quotients, award blocks, tasks and the
// recipe lines, inside and outside a running level; declined tags; and
// every output room from 1 up cutting cleanly.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../level/MapRig.h"
#include "FakeMapProfile.h"
#include "gametext/KGEHandleRegistry.h"
#include "gametext/TextServices.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/PointBuilding.h"
#include "level/scene/LevelScreen.h"
#include "platform/encoding/Utf.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "ui/ItemTagKinds.h"
#include "windows/ItemTag.h"
#include "windows/WindowServices.h"

namespace windowstest {
namespace {

using leveltest::MapRig;

constexpr const char* kDeclined = "(declined)";

struct TestPlant : BasePointPlant {
  using BasePointPlant::BasePointPlant;
  i32 GetYield() const override { return 1; }
  void GetWorkOffset(POINTPOS* out) const override { out->x = out->y = 0; }
};

class ItemTagTest : public ::testing::Test {
 protected:
  ItemTagTest() {
    rig.level.LoadKinds({{u"wheat", 4, true}}, {{u"hens", 4, true, kBuildingAnimalHouse}, {u"mill", 4, true, kBuildingFactory}});
    BUILDING* hens = rig.level.kinds.Building(u"hens");
    for (i32 i = 0; i < 4; ++i) hens->levels[i].price = 100 * (i + 1);
    hens->house.producedProduct = kis::NameId(u"egg");
    plant = rig.level.kinds.Plant(u"wheat");
    for (i32 i = 0; i < 4; ++i) plant->prices[i] = 10 * (i + 1);
    coin = rig.level.MakeIcon(u"small_coin", 2, 1);
    check = rig.level.MakeIcon(u"awards_check", 1, 2);
    rig.level.SetTasks(0, {LEVELTASK{kTaskProducts, kis::NameId(u"egg"), 2, 5}, LEVELTASK{kTaskMoney, 0, 0, 900}});
    rig.Make({});
    screen = std::make_unique<LevelScreen>(*rig.level.rules, rig.level.hudList);
    GetWindowServices().mapProfile = &profile;
  }
  ~ItemTagTest() override {
    Leave();
    GetWindowServices().mapProfile = nullptr;
  }
  void Enter() { GetResourceServices().level = screen.get(); }
  void Leave() { GetResourceServices().level = &rig.level.host; }
  LevelRules& Rules() { return *rig.level.rules; }

  // The expansion as UTF-8, or kDeclined.
  static std::string Tag(const std::u16string& tag, u32 kind = kItemTagProduct, const void* object = nullptr,
                         u32 room = 2000) {
    std::u16string out(room + 1, u'#');
    u32 written = 0;
    if (!ExpandItemTag(tag.data(), static_cast<u32>(tag.size()), out.data(), room, &written, kind,
                       reinterpret_cast<uintptr_t>(object)))
      return kDeclined;
    EXPECT_EQ(out[written], 0) << "terminated";
    return plat::Utf16ToUtf8(out.substr(0, written));
  }
  std::string P(const std::u16string& tag, const PRODUCT* p) { return Tag(tag, kItemTagProduct, p); }

  // "<image=@HANDLE rect=l, t, w, h" of a 16 x 16 frame of the rig's icons.
  static std::string Image(Sprite* s, i32 frame) {
    char b[96];
    std::snprintf(b, sizeof b, "<image=@%08X rect=%d, 0, 16, 16", GetTextServices().handles.RegisterTexture(s->GetTexture()),
                  16 * frame);
    return b;
  }
  std::string Coin() const { return Image(coin, 0) + " w=18 offset=-2,0 color=ffffffff>"; }
  static std::string Icon(Sprite* s, i32 frame) { return Image(s, frame) + " w=24 h=22 offset=-5,-5 color=FFFFFFFF>"; }
  std::string Check(bool set) const { return Image(check, set ? 1 : 0) + " w=30 color=ffffffff>"; }

  MapRig rig;
  std::unique_ptr<LevelScreen> screen;
  FakeMapProfile profile;
  PLANT* plant = nullptr;
  Sprite* coin = nullptr;
  Sprite* check = nullptr;
};

TEST_F(ItemTagTest, WordsColoursNamesAndWhatIsDeclined) {
  PRODUCT* wheat = rig.level.Product(u"wheat");
  EXPECT_EQ(Tag(u"color r"), "</color>");
  EXPECT_EQ(Tag(u"color 00ff00", kItemTagTask), "<color=00ff00>") << "any kind";
  EXPECT_EQ(P(u"product N 0 zz", wheat), "wheat") << "no colour: the name bare";
  EXPECT_EQ(P(u"PRODUCT N 0 ff00ff00", wheat), "<c=FF00FF00>wheat</c>") << "words in any case";
  EXPECT_EQ(P(u"product N", nullptr), kDeclined);
  EXPECT_EQ(Tag(u"product N", kItemTagPlant, plant), kDeclined) << "the wrong kind";
  EXPECT_EQ(P(u"product Q", wheat), kDeclined);
  EXPECT_EQ(P(u"product NN", wheat), kDeclined) << "a letter is one character";
  EXPECT_EQ(P(u"products N", wheat), kDeclined);
  EXPECT_EQ(P(u"", wheat), kDeclined);
  EXPECT_EQ(P(u"product I", wheat), Icon(wheat->icon, 1));
  EXPECT_EQ(Tag(u"icon Wheat 3 80ffffff"), Image(wheat->icon, 3) + " w=24 h=22 offset=-5,-5 color=80FFFFFF>");
  EXPECT_EQ(Tag(u"icon wheat 4"), "") << "a frame out of range: nothing, still expanded";
  EXPECT_EQ(Tag(u"icon no_such"), kDeclined);
  new Sprite(&rig.level.art.Set(kIconSpriteSet), u"bare", nullptr, SPRITEGRID{1, 16, 16, 0, 0, {0, 0, 0, 0}}, false,
             false, 0);
  EXPECT_EQ(Tag(u"icon bare"), "") << "a sprite without a picture: nothing, still expanded";

  EXPECT_EQ(Tag(u"money"), kDeclined) << "outside a level";
  Enter();
  EXPECT_EQ(Tag(u"money ff0000ff"), Coin() + "<c=FF0000FF>300</c>");
  EXPECT_EQ(Tag(u"profile N", kItemTagProfile), "Mira") << "none given: the current profile";
  FakeMapProfile other;
  other.name = u"Tom";
  EXPECT_EQ(Tag(u"profile N 7f00ff00", kItemTagProfile, &other), "<c=7F00FF00>Tom</c>");
  EXPECT_EQ(Tag(u"FAWARD N 0 ff00ff00", kItemTagFinalAward), "<c=FF00FF00>final</c>");
}

TEST_F(ItemTagTest, PricesByLevelAndMoneyAndCapacitiesByStorageLevel) {
  Enter();
  const std::string green = "<c=FF008000>", red = "<c=FFFF0000>";
  EXPECT_EQ(Tag(u"plant P 0", kItemTagPlant, plant), Coin() + green + "0</c>") << "level 0: price 0";
  EXPECT_EQ(Tag(u"plant P", kItemTagPlant, plant), Coin() + green + "10</c>") << "the record's level 1";
  EXPECT_EQ(Tag(u"plant P U", kItemTagPlant, plant), Coin() + green + "20</c>");
  Rules().Money().Set(15);
  EXPECT_EQ(Tag(u"plant P U 0000ff00 00ff0000", kItemTagPlant, plant), Coin() + "<c=00FF0000>20</c>") << "short";
  TestPlant bed(*rig.map, plant);
  ASSERT_TRUE(bed.SetLevel(2, false, 0));
  EXPECT_EQ(Tag(u"MPLANT P U", kItemTagPlantPoint, &bed), Coin() + red + "30</c>") << "the point's level + 1";
  EXPECT_EQ(Tag(u"plant N", kItemTagPlantPoint, &bed), kDeclined);

  BUILDING* hens = rig.level.kinds.Building(u"hens");
  PointBuilding house(*rig.map, hens);
  ASSERT_TRUE(house.SetLevel(2, false, 0));
  Rules().Money().Set(1000);
  EXPECT_EQ(Tag(u"MBLDNG P 5", kItemTagBuildingPoint, &house), Coin() + green + "0</c>") << "level 5: price 0";
  EXPECT_EQ(Tag(u"MBLDNG P U", kItemTagBuildingPoint, &house), Coin() + green + "300</c>");
  EXPECT_EQ(Tag(u"MBLDNG F C", kItemTagBuildingPoint, &house), green + "2</c>");
  EXPECT_EQ(Tag(u"MBLDNG F N 0", kItemTagBuildingPoint, &house), "egg");
  PointBuilding mill(*rig.map, rig.level.kinds.Building(u"mill"));
  EXPECT_EQ(Tag(u"MBLDNG F C", kItemTagBuildingPoint, &mill), kDeclined) << "only the animal houses";
  EXPECT_EQ(Tag(u"MBLDNG N", kItemTagBuildingPoint, &mill), "mill");

  PRODUCT* egg = rig.level.Product(u"egg");
  EXPECT_EQ(P(u"product P", egg), Coin() + green + "5</c>");
  EXPECT_EQ(P(u"product W U", egg), "20") << "not entered: from storage level 1";
  Rules().SetEntered(true);
  Rules().Stock()->SetLevel(2);
  EXPECT_EQ(P(u"product W U", egg), "30") << "storage level 2, the next";
  EXPECT_EQ(P(u"product W 1", egg), "10");
  EXPECT_EQ(P(u"product W", egg), "20");
}

TEST_F(ItemTagTest, QuotientsAwardsAndTheirBlocks) {
  const auto Q = [](double v, double d) { return plat::Utf16ToUtf8(FormatItemQuotient(v, d)); };
  EXPECT_EQ(Q(2.9996, 1), "3");
  EXPECT_EQ(Q(29, 4), "7.250");
  EXPECT_EQ(Q(750, 1), "750");
  EXPECT_EQ(Q(1, 10), "0.100");
  EXPECT_EQ(Q(2.96, 1), "3") << "above .950 rounds up";
  EXPECT_EQ(Q(25, 2), "12.50");
  EXPECT_EQ(Q(1204, 10), "120.4");
  EXPECT_EQ(Q(100, 1), "100") << "no decimals of 0";
  EXPECT_EQ(Q(7, 0), "7") << "a divisor of 0 counts as 1";

  const AwardTable& table = rig.level.awards;
  const TIEREDAWARD* small = &table.GetTiered(2);
  EXPECT_EQ(Tag(u"SAWARD C 9", kItemTagSmallAward, small), "<color=D0831F>");
  EXPECT_EQ(Tag(u"SAWARD C 0", kItemTagSmallAward, small), "<color=7C4230>");
  EXPECT_EQ(Tag(u"SAWARD C 2", kItemTagSmallAward, small), "<color=6A685D>");
  profile.awards.tiered[2] = 25;  // tiers at 10, 20 and 1000: silver
  EXPECT_EQ(Tag(u"SAWARD D", kItemTagSmallAward, small),
            "_desc\n<color=007e21>current: 25</color>\n<color=d0831f>" + Check(false) + "gold: 1000</color>\n"
            "<color=6a685d>" + Check(true) + "silver: 20</color>\n<color=7c4230>" + Check(true) + "bronze: 10</color>");

  // Big awards: the record kind is the index (thresholds 100).
  const RECORDAWARD* walked = &table.GetRecord(kAwardRecordWalked);
  const RECORDAWARD* streak = &table.GetRecord(kAwardRecordWorkStreak);
  const RECORDAWARD* money = &table.GetRecord(kAwardRecordMoney);
  profile.awards.records[kAwardRecordWalked] = 1234;
  profile.awards.records[kAwardRecordWorkStreak] = 17;
  profile.awards.records[kAwardRecordMoney] = 5000;
  EXPECT_EQ(Tag(u"BAWARD C 3", kItemTagBigAward, walked), "33.33") << "thousandths 334, two decimals";
  EXPECT_EQ(Tag(u"BAWARD C ff000000", kItemTagBigAward, money), "<c=FF000000>100</c>");
  EXPECT_EQ(Tag(u"BAWARD R 10 km: ", kItemTagBigAward, walked), "km: 123.4");
  EXPECT_EQ(Tag(u"BAWARD R ff00ff00 best ", kItemTagBigAward, streak), "ff00ff00 best <c=FF00FF00>17</c>");
  EXPECT_EQ(Tag(u"BAWARD R", kItemTagBigAward, money), kDeclined);
  for (u32 k = 3; k <= 6; ++k)
    EXPECT_EQ(Tag(u"BAWARD V 1 now ", kItemTagBigAward, &table.GetRecord(k)), "") << "outside a level: " << k;
  EXPECT_EQ(Tag(u"BAWARD V 00ff0000", kItemTagBigAward, money), "<c=00FF0000>5000</c>");
  Enter();
  GetResourceServices().appState = kGameStateLevel;
  Rules().NoteBuildingLevel(3, false);
  EXPECT_EQ(Tag(u"BAWARD V now ", kItemTagBigAward, &table.GetRecord(kAwardRecordBuildingLevel)), "now 3");
  // In the level: villains in a row as the profile counts them now, the
  // level's own streak and walk (no player walked here), not the records.
  profile.awards.records[kAwardRecordVillainsInRow] = 99;
  rig.level.profile.villainsInRow = 2;
  EXPECT_EQ(Tag(u"BAWARD V in a row ", kItemTagBigAward, &table.GetRecord(kAwardRecordVillainsInRow)), "in a row 2");
  EXPECT_EQ(Tag(u"BAWARD V now ", kItemTagBigAward, streak), "now 0");
  EXPECT_EQ(Tag(u"BAWARD V 10 km ", kItemTagBigAward, walked), "km 0") << "the divisor first, then the label";
  GetResourceServices().appState = kGameStateNone;
}

TEST_F(ItemTagTest, TasksAndRecipeLinesFollowTheLevel) {
  const LEVELTASK* eggs = Rules().Tasks().GetTask(0);
  const LEVELTASK copy = *eggs;
  EXPECT_EQ(Tag(u"task N 0 ff000000", kItemTagTask, eggs), "<c=FF000000>egg</c>");
  EXPECT_EQ(Tag(u"task L", kItemTagTask, eggs), "2");
  EXPECT_EQ(Tag(u"task V", kItemTagTask, eggs), "5");
  EXPECT_EQ(Tag(u"task R", kItemTagTask, eggs), kDeclined) << "outside a level";
  const LEVELTASK beds{kTaskPlantBeds, kis::NameId(u"wheat"), 2, 3};
  const LEVELTASK houses{kTaskBuildings, kis::NameId(u"hens"), 3, 1};
  const LEVELTASK money{kTaskMoney, 0, 0, 900};
  EXPECT_EQ(Tag(u"task N 0 ff00ff00", kItemTagTask, &beds), "<c=FF00FF00>wheat</c>") << "a plant's name";
  EXPECT_EQ(Tag(u"task N", kItemTagTask, &houses), "hens") << "a building's name";
  EXPECT_EQ(Tag(u"task N", kItemTagTask, &money), "") << "no name for money";
  Enter();
  Rules().StoreProduct(rig.level.Product(u"egg"), 2, -1, 0, 0, 0, nullptr);
  EXPECT_EQ(Tag(u"task R", kItemTagTask, eggs), "3");
  EXPECT_EQ(Tag(u"task R", kItemTagTask, &copy), kDeclined) << "not one of the level's tasks";

  PRODUCT* cake = rig.level.Product(u"cake");  // two wheat and one egg
  PRODUCT* wheat = rig.level.Product(u"wheat");
  const std::string egg = Icon(rig.level.Product(u"egg")->icon, 1) + "<c=FF008000>egg</c>";
  EXPECT_EQ(Tag(u"PRDCTN I 0", kItemTagRecipe, cake), Icon(wheat->icon, 0) + "<c=FFFF0000>wheat</c>");
  EXPECT_EQ(Tag(u"PRDCTN I 1", kItemTagRecipe, cake), egg) << "two eggs in stock, one needed";
  Rules().StoreProduct(wheat, 2, -1, 0, 0, 0, nullptr);
  EXPECT_EQ(Tag(u"PRDCTN I", kItemTagRecipe, cake), Icon(wheat->icon, 1) + "<c=FF008000>wheat</c>");
  EXPECT_EQ(Tag(u"PRDCTN I 2", kItemTagRecipe, cake), kDeclined) << "past the ingredients";
  EXPECT_EQ(Tag(u"PRDCTN I 0", kItemTagRecipe, wheat), "<c=FF808080>None</c>");
  EXPECT_EQ(Tag(u"PRDCTN N", kItemTagRecipe, cake), "cake");
}

TEST_F(ItemTagTest, EveryRoomCutsTheExpansionCleanly) {
  Enter();
  const TIEREDAWARD* small = &rig.level.awards.GetTiered(0);
  const std::u16string tag = u"SAWARD D";
  const std::string whole = Tag(tag, kItemTagSmallAward, small);
  ASSERT_GT(whole.size(), 100u);
  for (u32 room = 0; room <= whole.size() + 2; ++room) {
    std::u16string out(room + 4, u'#');
    u32 written = 99999;
    ASSERT_TRUE(ExpandItemTag(tag.data(), static_cast<u32>(tag.size()), out.data(), room, &written,
                              kItemTagSmallAward, reinterpret_cast<uintptr_t>(small)));
    const u32 expect = room == 0 ? 0 : std::min<u32>(room - 1, static_cast<u32>(whole.size()));
    ASSERT_EQ(written, expect) << room;
    EXPECT_EQ(plat::Utf16ToUtf8(out.substr(0, written)), whole.substr(0, expect));
    if (room > 0) {
      EXPECT_EQ(out[written], u'\0') << room;
    }
    for (u32 i = room == 0 ? 0 : written + 1; i < out.size(); ++i) ASSERT_EQ(out[i], u'#') << room << " " << i;
  }
}

}  // namespace
}  // namespace windowstest

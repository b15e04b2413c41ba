// Trees made by the level objects' point classes: the crown as the tree's
// picture under the pointer, their fruits by level, hidden until a tenth of
// the growth and all at their last frame when ripe, the harvest of the
// tree's level (the picked fruits fading out), upgrades that keep the tree
// and add fruits in the point's own order, and the planting spot while dug.
#include <gtest/gtest.h>

#include "../CareRig.h"
#include "content/PlantTable.h"
#include "level/objects/LevelObjectClasses.h"
#include "level/objects/PlantJobs.h"
#include "level/objects/PointTree.h"
#include "level/rules/WarehouseStock.h"
#include "resources/SubSprite.h"

using namespace leveltest;

namespace {

struct TreeRig : CareRig {
  using MapRig::MakeMapSprite;
};

struct Trees : ::testing::Test {
  Trees() {
    rig.level.LoadKinds({{u"apple_tree", 4, true, 0, true}}, {});
    apple = rig.level.kinds.Plant(u"apple_tree");
    apple->growthTime = 20000;
    apple->waterMin = apple->waterMax = 2;
    apple->product = rig.level.Product(u"wheat");
    const u32 counts[4] = {3, 6, 9, 12};
    for (u32 i = 0; i < 4; ++i) {
      apple->fruitCounts[i] = counts[i];
      apple->digTimes[i] = 300;
    }
    for (u32 i = 0; i < 12; ++i) apple->fruits[i] = TREEFRUIT{-44 + 8 * static_cast<i32>(i), -60, 0xFFE5483Bu};
    apple->fruitScale[0] = 0.8f;
    apple->fruitScale[1] = 1.2f;
    apple->treeWorkSpot[1] = 40;
    apple->treeButtonAnchor[1] = -130;
    apple->tree = rig.MakeMapSprite(u"apple_tree_tree", 128, 128, 1, false);
    apple->crop = rig.MakeMapSprite(u"apple_tree_crop", 128, 128, 1, true);
    apple->fruit = rig.MakeMapSprite(u"apple_tree_fruit", 80, 16, 5, false);
    rig.level.Info().treeSpot = rig.MakeMapSprite(u"tree_spot", 64, 32, 1, false);
    rig.level.MakeIcon(u"small_ico_hand", kIconSpriteSet, 1);
    rig.classes.make = [this](LevelMap& map, PointClass c, void* record) { return objects.CreatePoint(map, c, record); };
  }
  POINTDEF Tree(i32 level, i32 x) const { return POINTDEF{2, level, apple->id, 0, {0, 0}, x, 300, 0}; }
  PointTree* Point(i32 i) { return dynamic_cast<PointTree*>(rig.map->GetPoint(i)); }
  // The frames of the tree's fruits below n, -2 for one not placed.
  std::vector<i32> Frames(const PointTree& p, u32 n) {
    std::vector<i32> f;
    for (u32 i = 0; i < n; ++i) f.push_back(p.GetTree()->GetFruit(i) ? p.GetTree()->GetFruitFrame(i) : -2);
    return f;
  }

  TreeRig rig;
  LevelObjectClasses objects;
  PLANT* apple = nullptr;
};

TEST_F(Trees, FruitsOfTheLevelGrowTogetherAndTheHarvestGivesTheLevel) {
  rig.Build({Tree(2, 400), Tree(2, 900)});
  PointTree* p = Point(0);
  ASSERT_NE(p, nullptr);
  ASSERT_NE(p->GetTree(), nullptr);
  ASSERT_NE(p->GetTree()->GetCrown(), nullptr);
  EXPECT_EQ(p->GetTree()->GetCrown()->GetKind(), kObjectTreeCrown);
  // The crown takes the pointer: it is the tree's own picture under it, the
  // trunk and the other tree's crown are not; the highlight lights both.
  rig.map->SetHoveredObject(p->GetTree()->GetCrown());
  EXPECT_TRUE(p->IsHovered());
  EXPECT_FALSE(Point(1)->IsHovered());
  rig.map->SetHoveredObject(p->GetTree());
  EXPECT_FALSE(p->IsHovered());
  rig.map->SetHoveredObject(nullptr);
  p->HighlightCrop();
  EXPECT_TRUE(p->GetTree()->IsHighlighted());
  EXPECT_TRUE(p->GetTree()->GetCrown()->IsHighlighted());
  EXPECT_EQ(p->GetSpot(), nullptr);
  EXPECT_EQ(p->GetFruitCount(), 6u);
  EXPECT_EQ(p->GetYield(), 2);
  EXPECT_EQ(Frames(*p, 7), (std::vector<i32>{-1, -1, -1, -1, -1, -1, -2}));
  ASSERT_EQ(p->GetFruitOrder().size(), 12u);
  EXPECT_NE(p->GetFruitOrder(), Point(1)->GetFruitOrder()) << "each tree its own order";

  rig.Tick(199);
  EXPECT_EQ(Frames(*p, 6), std::vector<i32>(6, -1)) << "hidden before a tenth of the growth";
  rig.Tick(1);
  EXPECT_EQ(Frames(*p, 6), std::vector<i32>(6, 0));
  rig.Tick(1200);
  EXPECT_EQ(Frames(*p, 6), std::vector<i32>(6, 2));
  EXPECT_EQ(rig.TickUntil([&] { return p->Growth().IsRipe(); }), 600);
  EXPECT_EQ(Frames(*p, 6), std::vector<i32>(6, 4)) << "all at the last frame together";
  EXPECT_NE(p->GetHarvestButton(), nullptr);

  WarehouseStock& stock = *rig.level.rules->Stock();
  const i32 before = stock.GetCount(apple->product);
  ASSERT_TRUE(p->CollectProducts(nullptr));
  EXPECT_EQ(stock.GetCount(apple->product), before + 2);
  EXPECT_EQ(Frames(*p, 6), std::vector<i32>(6, -1)) << "hidden again";
  // Picked, each fruit leaves a copy of its last frame fading out over it.
  const SubSpriteList* list = p->GetTree()->FrontSubSprites();
  ASSERT_NE(list, nullptr);
  i32 fading = 0;
  for (i32 i = 0; i < list->GetCount(); ++i) {
    const auto* copy = dynamic_cast<const SubSpriteImage*>((*list)[i]);
    if (copy && copy->GetHideWhenEffectsEnd() && copy->GetImage()->FrameState().frame == 4) ++fading;
  }
  EXPECT_EQ(fading, 6);

  // The upgrade keeps the tree and its fruits, adding the next in the point's order.
  MapTree* tree = p->GetTree();
  const SubSpriteImage* first = tree->GetFruit(0);
  ASSERT_TRUE(p->ChangeLevel(3, true, 0));
  EXPECT_EQ(p->GetTree(), tree);
  EXPECT_EQ(tree->GetFruit(0), first);
  EXPECT_EQ(p->GetFruitCount(), 9u);
  for (u32 i = 0; i < 9; ++i) {
    ASSERT_NE(tree->GetFruit(i), nullptr);
    const TREEFRUIT& at = apple->fruits[p->GetFruitOrder()[i]];
    EXPECT_EQ(tree->GetFruit(i)->GetX(), static_cast<float>(at.x) - tree->GetHotSpotX()) << i;
  }
  EXPECT_EQ(tree->GetFruit(9), nullptr);
  EXPECT_EQ(p->GetYield(), 3);
}

TEST_F(Trees, ADugTreeShowsItsSpotAndAFruitCountPastTheOrderIsCut) {
  apple->fruitCounts[0] = 5;
  apple->fruitCounts[3] = 2;  // two positions, yet five fruits asked of level 1
  rig.Build({Tree(0, 400), Tree(1, 900)});
  rig.MakeDefinedPoints();  // again, now that the player is there to dig
  PointTree* cut = Point(1);
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut->GetFruitOrder().size(), 2u);
  EXPECT_EQ(cut->GetFruitCount(), 2u);

  PointTree* p = Point(0);
  ASSERT_NE(p, nullptr);
  ASSERT_NE(p->GetSpot(), nullptr);
  EXPECT_EQ(p->GetSpot()->GetKind(), kObjectTreeSpot);
  EXPECT_EQ(p->GetTree(), nullptr);
  ASSERT_NE(p->GetPlantJob(), nullptr);
  ASSERT_GT(rig.TickUntil([&] { return p->GetLevel() == 1; }), 0);
  EXPECT_EQ(p->GetSpot(), nullptr);
  ASSERT_NE(p->GetTree(), nullptr);
  EXPECT_EQ(p->GetFruitCount(), 2u);
}

}  // namespace

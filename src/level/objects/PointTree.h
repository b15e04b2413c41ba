// PointTree - a tree: the plant point whose kind is a tree. It grows, is
// watered and harvested as a bed is (BasePointPlant), but its look is one
// tree (MapTree) with a crown laid over it and the fruits of its level
// growing on it, and a planting spot while it is dug (level 0). Its anchors
// come from its kind; a harvest gives as many units as the tree's level.
//
// Each tree draws its own order of the kind's fruit positions when it is
// made; fruit i sits at position order[i], so an upgrade adds fruits at
// the next places of the same order. A fruit shows from a tenth of the
// growth time and reaches its last frame at 100 percent.
#pragma once

#include <vector>

#include "level/map/SpriteObject.h"
#include "level/objects/BasePointPlant.h"

class MapTree;
class SubSpriteImage;

constexpr u32 kObjectTree = 0x10000800u;       // the tree
constexpr u32 kObjectTreeCrown = 0x10000801u;  // its crown, laid over it
constexpr u32 kObjectTreeSpot = 0x10000802u;   // the planting spot of a tree being dug
constexpr u32 kFruitEffectTime = 150;          // ms of a fruit's frame effects

class PointTree : public BasePointPlant {
 public:
  PointTree(LevelMap& map, PLANT* plant);
  ~PointTree() override;

  void GetWorkOffset(POINTPOS* out) const override;
  void GetStarsAnchor(POINTPOS* out) const override;
  void GetProgressAnchor(POINTPOS* out) const override;
  void GetButtonAnchor(POINTPOS* out) const override;
  i32 GetYield() const override { return level_ > 0 ? level_ : 0; }
  void HighlightCrop() override;  // the tree (and so its crown)

  MapTree* GetTree() const { return tree_; }
  SpriteObject* GetSpot() const { return spot_; }
  u32 GetFruitCount() const { return fruitCount_; }
  const std::vector<u32>& GetFruitOrder() const { return order_; }
  void ForgetTree() { tree_ = nullptr; }  // the tree is being released

 protected:
  u32 BuildVisual(bool animate, u32 delay) override;
  void UpdateVisual(bool animate) override;
  // The spot goes; the tree only when the point goes (an upgrade keeps it).
  u32 DoShutdown(bool fade, bool final, u32 delay) override;
  bool IsOwnPicture(u32 kind) const override { return kind == kObjectTreeCrown; }  // the crown takes the mouse

 private:
  SpriteObject* spot_ = nullptr;
  MapTree* tree_ = nullptr;
  u32 fruitCount_ = 0;
  std::vector<u32> order_;
};

class MapTree : public SpriteObject {
 public:
  explicit MapTree(PointTree& point);
  ~MapTree() override;  // the crown too

  void Release() override;  // the crown goes and the point forgets the tree
  u32 StartRemoval(u32 delay) override;  // shrinks away
  void AddEffect(SpriteEffect* effect) override;  // on the crown too
  void ClearEffects() override;
  bool Highlight() override;
  void AttachToLevel(u32 flags) override;  // the crown as a clickable overlay

  // Fruit i at the point's position order[i], shown from `start` for
  // `duration` ms of growth; a placed fruit keeps its place.
  void PlaceFruit(u32 i, u32 position, float start, float duration);
  // The fruits below `count` take the frame of the grown time.
  void UpdateFruits(u32 count, float grown, bool animate);

  SpriteObject* GetCrown() const { return crown_; }
  i32 GetFruitFrame(u32 i) const { return i < kFruits ? fruits_[i].frame : -1; }
  const SubSpriteImage* GetFruit(u32 i) const { return i < kFruits ? fruits_[i].sprite : nullptr; }

 private:
  static constexpr u32 kFruits = 24;
  struct Fruit {
    float start = 0.0f;
    float duration = 0.0f;
    SubSpriteImage* sprite = nullptr;
    i32 frame = -1;
  };

  PointTree* point_;
  SpriteObject* crown_ = nullptr;
  Fruit fruits_[kFruits];
};

#include "level/objects/PointTree.h"

#include <algorithm>
#include <utility>

#include "base/Random.h"
#include "content/LevelInfo.h"
#include "content/PlantTable.h"
#include "level/map/LevelMap.h"
#include "level/objects/PlantGrowth.h"
#include "resources/ImageSprite.h"
#include "resources/MapSprite.h"
#include "resources/SEffects.h"
#include "resources/SubSprite.h"

namespace {

constexpr u32 kTreeEffectTime = 200;  // ms of the tree's build effect and the spot's fade out
constexpr u32 kSpotFadeIn = 100;
constexpr u32 kTreeRemovalTime = 150;
constexpr u32 kOverlayTime = 100, kOverlayWait = 120;  // the old frame laid over a fruit fades

Sprite* FruitSprite(const PLANT* plant) { return plant && plant->fruit ? plant->fruit->GetSprite() : nullptr; }

}  // namespace

// --- PointTree -------------------------------------------------------------------------------------------

// The order covers the kind's positions of level 4, at most the 24 a tree has.
PointTree::PointTree(LevelMap& map, PLANT* plant) : BasePointPlant(map, plant) {
  if (plant) order_ = DrawFruitOrder(std::min(plant->fruitCounts[3], kMaxTreeFruits));
}

PointTree::~PointTree() { Shutdown(false, true, 0); }

void PointTree::GetWorkOffset(POINTPOS* out) const {
  out->x = GetPlant()->treeWorkSpot[0];
  out->y = GetPlant()->treeWorkSpot[1];
}

void PointTree::GetStarsAnchor(POINTPOS* out) const {
  out->x = GetX() + GetPlant()->treeStarsAnchor[0];
  out->y = GetY() + GetPlant()->treeStarsAnchor[1];
}

void PointTree::GetProgressAnchor(POINTPOS* out) const {
  out->x = GetX() + GetPlant()->treeProgressAnchor[0];
  out->y = GetY() + GetPlant()->treeProgressAnchor[1];
}

void PointTree::GetButtonAnchor(POINTPOS* out) const {
  out->x = GetX() + GetPlant()->treeButtonAnchor[0];
  out->y = GetY() + GetPlant()->treeButtonAnchor[1];
}

// Planted: the tree (built up when it first appears) and the fruits of the
// level, each growing over the last nine tenths of the growth time. Being
// dug: the planting spot. A level's fruit count beyond the positions of the
// point's order is cut to them.
u32 PointTree::BuildVisual(bool animate, u32 delay) {
  if (level_ >= 1) {
    if (!tree_ && GetPlant()->tree) {
      tree_ = new MapTree(*this);
      tree_->AttachToLevel(0);
      tree_->ClearEffects();
      if (animate && level_ < 2) {
        tree_->AddEffect(new SEffect_Build(kTreeEffectTime, delay));
        delay += kTreeEffectTime;
      }
    }
    const float full = Growth().GetFullTime(), start = full / 10.0f;
    fruitCount_ = std::min(GetPlant()->fruitCounts[std::min(level_, 4) - 1], static_cast<u32>(order_.size()));
    if (tree_)
      for (u32 i = 0; i < fruitCount_; ++i) tree_->PlaceFruit(i, order_[i], start, full - start);
  } else if (const LEVELINFO* info = GetMap().GetInfo()) {
    spot_ = SpriteObject::Create(GetMap(), info->treeSpot, kLayerGround, GetX(), GetY(), kObjectTreeSpot, this, 0);
    if (spot_) {
      spot_->AttachToLevel(0);
      if (animate) {
        spot_->AddEffect(new SEffect_Alpha(0.0f, 1.0f, kSpotFadeIn, true, delay));
        delay += kSpotFadeIn;
      }
    }
  }
  showDelay_ = static_cast<i32>(delay > GetPendingDelay() ? delay - GetPendingDelay() : 0);
  return delay;
}

void PointTree::UpdateVisual(bool animate) {
  BasePointPlant::UpdateVisual(animate);
  if (tree_) tree_->UpdateFruits(fruitCount_, Growth().GetTime(), animate);
}

void PointTree::HighlightCrop() {
  if (tree_) tree_->Highlight();
}

u32 PointTree::DoShutdown(bool fade, bool final, u32 delay) {
  delay = BasePointPlant::DoShutdown(fade, final, delay);
  if (SpriteObject* spot = std::exchange(spot_, nullptr)) {
    if (fade) {
      spot->DisposeWithEffect(delay, new SEffect_Alpha(1.0f, 0.0f, kTreeEffectTime, true, delay));
      if (final) delay += kTreeEffectTime;
    } else {
      delete spot;
    }
  }
  if (final) {
    if (MapTree* tree = std::exchange(tree_, nullptr)) {
      if (fade)
        delay = tree->DisposeWithEffect(delay, nullptr);
      else
        delete tree;
    }
  }
  return delay;
}

// --- MapTree ---------------------------------------------------------------------------------------------

MapTree::MapTree(PointTree& point)
    : SpriteObject(point.GetMap(), kLayerStanding, point.GetPlant()->tree, 0, point.GetX(), point.GetY(), &point),
      point_(&point) {
  kind_ = kObjectTree;
  frameState_.frame = 0;
  frameState_.animated = 0;
  crown_ = SpriteObject::Create(point.GetMap(), point.GetPlant()->crop, kLayerStanding, x_, y_, kObjectTreeCrown,
                                &point, 0);
}

MapTree::~MapTree() { delete std::exchange(crown_, nullptr); }

void MapTree::Release() {
  SpriteObject::Release();
  if (SpriteObject* crown = std::exchange(crown_, nullptr)) crown->Dispose();
  if (point_) point_->ForgetTree();
  point_ = nullptr;
}

u32 MapTree::StartRemoval(u32 delay) {
  SpriteObject::AddEffect(new SEffect_Scale(1.0f, 0.0f, kTreeRemovalTime, true, delay));
  return delay + kTreeRemovalTime;
}

void MapTree::AddEffect(SpriteEffect* effect) {
  if (crown_) crown_->AddEffect(effect->Clone());
  SpriteObject::AddEffect(effect);
}

void MapTree::ClearEffects() {
  SpriteObject::ClearEffects();
  if (crown_) crown_->ClearEffects();
}

bool MapTree::Highlight() {
  const bool lit = SpriteObject::Highlight();
  if (crown_) crown_->Highlight();
  return lit;
}

void MapTree::AttachToLevel(u32 flags) {
  SpriteObject::AttachToLevel(flags);
  if (crown_) crown_->AttachToLevel(kAttachObstacles | kAttachClickShapes);
}

// The fruit hangs from a quarter of its height, at a random size and tilt
// of the kind's, in its position's colour, hidden until it grows. It goes
// under the tree's last sub-sprite, which stays on top.
void MapTree::PlaceFruit(u32 i, u32 position, float start, float duration) {
  if (i >= kFruits || fruits_[i].sprite || position >= kFruits) return;
  const PLANT* plant = point_ ? point_->GetPlant() : nullptr;
  Sprite* sprite = FruitSprite(plant);
  if (!sprite) return;
  const TREEFRUIT& at = plant->fruits[position];
  ImageSprite* image = sprite->CreateImageSprite(false);
  if (!image) return;
  const float scale = kis::RandomRange(plant->fruitScale[0], plant->fruitScale[1]);
  auto* fruit = new SubSpriteImage(image, static_cast<float>(at.x) - GetHotSpotX(),
                                   static_cast<float>(at.y) - GetHotSpotY(), 0.5f, 0.25f, scale, scale);
  image->SetAngle(kis::RandomRange(plant->fruitRotation[0], plant->fruitRotation[1]));
  image->SetColor(at.colour);
  image->SetFrame(-1);
  SubSpriteList*& list = FrontSubSprites();
  if (list && list->GetCount() > 0)
    list->Insert(list->GetCount() - 1, fruit);
  else
    AddSubSprite(&list, fruit);
  fruits_[i] = Fruit{start, duration, fruit, -1};
}

void MapTree::UpdateFruits(u32 count, float grown, bool animate) {
  const Sprite* sprite = FruitSprite(point_ ? point_->GetPlant() : nullptr);
  const u32 frames = sprite ? static_cast<u32>(sprite->GetFrameCount()) : 0;
  for (u32 i = 0; i < count && i < kFruits; ++i) {
    Fruit& fruit = fruits_[i];
    if (!fruit.sprite) continue;
    const i32 frame = FruitFrame(grown, fruit.start, fruit.duration, frames);
    if (frame == fruit.frame) continue;
    if (animate && frame == 0) {
      fruit.sprite->AttachEffect(new SEffect_Scale(0.2f, 1.0f, kFruitEffectTime, true, 0));
    } else if (animate) {  // grown on, or picked: the old frame fades out over the new
      fruit.sprite->AttachEffect(new SEffect_Alpha(0.2f, 1.0f, kFruitEffectTime, true, 0));
      if (SubSpriteCustom* copy = fruit.sprite->Clone()) {
        static_cast<SubSpriteImage*>(copy)->GetImage()->SetFrame(fruit.frame);
        copy->AttachEffect(new SEffect_Alpha(1.0f, 0.0f, kOverlayTime, true, kOverlayWait));
        copy->SetHideWhenEffectsEnd(true);
        AddSubSprite(&FrontSubSprites(), copy);
      }
    }
    fruit.frame = frame;
    fruit.sprite->GetImage()->SetFrame(frame);
  }
}

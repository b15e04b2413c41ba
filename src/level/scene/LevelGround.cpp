#include "level/scene/LevelGround.h"

#include "content/LevelInfo.h"
#include "engine/DXLViewer.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteEffect.h"

LevelGround::~LevelGround() { Clear(); }

void LevelGround::Place(const LEVELINFO& info) {
  GroundList* grounds = GetGroundList();
  if (!grounds) return;
  for (const GROUNDPLACEMENT& g : info.ground) Add(g.x, g.y, g.layer, grounds->Find(g.groundId), false);
}

MAPTILE* LevelGround::Add(i32 x, i32 y, u32 layer, const GROUND* record, bool flag) {
  GroundList* grounds = GetGroundList();
  if (!grounds) return nullptr;
  std::unique_ptr<MAPTILE> made = grounds->MakeTile(x, y, layer, record, flag);
  if (!made) return nullptr;
  MAPTILE* tile = made.get();
  tiles_.push_back(std::move(made));
  std::vector<MAPTILE*>& list = layers_[tile->layer];
  if (tile->layer < 2) {
    list.push_back(tile);
  } else {
    size_t at = list.size();
    while (at > 0 && list[at - 1]->sequence > tile->sequence) --at;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), tile);
  }
  return tile;
}

void LevelGround::Remove(MAPTILE* tile) {
  if (!tile) return;
  std::vector<MAPTILE*>& list = layers_[tile->layer % kGroundLayers];
  for (auto it = list.begin(); it != list.end(); ++it)
    if (*it == tile) {
      list.erase(it);
      break;
    }
  for (auto it = tiles_.begin(); it != tiles_.end(); ++it)
    if (it->get() == tile) {
      DeleteSpriteEffects(&tile->effects);
      tiles_.erase(it);
      break;
    }
}

void LevelGround::Clear() {
  for (auto& layer : layers_) layer.clear();
  while (!tiles_.empty()) Remove(tiles_.back().get());
}

void LevelGround::Draw(const DXLMATRIX& transform) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  viewer->SetTransform(&transform);
  viewer->ApplyTransform(nullptr);
  for (const std::vector<MAPTILE*>& layer : layers_)
    for (MAPTILE* tile : layer) {
      BindDrawTexture(tile->texture);
      if (tile->effects) {
        const u32 colour = UpdateSpriteEffects(&tile->effects) ? GetEffectColor(tile->effects, 0xFFFFFFFFu) : 0xFFFFFFFFu;
        for (DXLVERTEX& v : tile->quad.v) v.color = colour;
      }
      DrawQuad(&tile->quad);
    }
  UnbindDrawTexture();
}

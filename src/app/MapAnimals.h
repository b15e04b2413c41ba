// MapAnimals - the animals of the level-selection map: chickens wandering
// inside a drawn yard, cows and sheep calling and turning their heads, each
// group standing on a level node as the node's decoration of item kind 256
// (MLSChars). The characters and their jobs are MapLevelCharacter.h's.
#pragma once

#include "app/MapLevelCharacter.h"
#include "app/MapNodes.h"
#include "base/List.h"
#include "base/Types.h"
#include "content/MapSection.h"
#include "engine/DXLDrawTypes.h"

constexpr u32 kMapCharsPerGroup = 4;

class MLCChicken : public MapLevelCharacter {
 public:
  explicit MLCChicken(MLSChars* group);
  void Init(const MAPCHARENTRY* entry) override;

 protected:
  void OnIdle() override;
};

class MLCCow : public MapLevelCharacter {
 public:
  explicit MLCCow(MLSChars* group);
  void Init(const MAPCHARENTRY* entry) override;

 protected:
  void OnIdle() override;
};

class MLCSheep : public MapLevelCharacter {
 public:
  explicit MLCSheep(MLSChars* group);
  void Init(const MAPCHARENTRY* entry) override;

 protected:
  void OnIdle() override;
};

// Kind 256: a node's group of at most 4 characters.
class MLSChars : public BaseMLS {
 public:
  explicit MLSChars(const MAPNODEITEM& item);
  ~MLSChars() override;
  void Update(u32 ms) override;
  void Draw(u32 color, bool hovered) override;

  // The lists (creation order and drawing order).
  const kis::list<MapLevelCharacter*>& Characters() const { return characters_; }
  const kis::list<MapLevelCharacter*>& DrawOrder() const { return order_; }
  void Add(MapLevelCharacter* c);
  void Remove(MapLevelCharacter* c);
  void Reorder(MapLevelCharacter* c);

 private:
  kis::list<MapLevelCharacter*> characters_;
  kis::list<MapLevelCharacter*> order_;
  DXLMATRIX saved_{};
};

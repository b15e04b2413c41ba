// ProductList - every product of the game (crops, animal products, factory
// goods) as read from the "PROD" section: name, icons, map sprite, price, the
// tiered award it counts for, a recipe of up to four ingredients and the time
// a factory takes to make one unit.
//
// The section reader is resumable (see SectionReading.h); the ingredient
// links are resolved afterwards, packing the known ingredients to the front.
// Products are acquired by reference count (LoadProduct) and marked used per
// level. Availability follows the recipes through any depth and ends on a
// recipe that names itself, directly or through others, instead of running
// for ever. The warehouse capacity of a product is that of the building kind
// "warehouse" at the storage level (BUILDING::GetCapacity); without that
// building it is 0.
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "content/ContentServices.h"
#include "content/GameTable.h"
#include "resources/ResourceServices.h"

class MapSprite;
class Sprite;
class BuildingTable;
struct BUILDING;

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kProductRecordSize = 312;
constexpr u32 kMaxIngredients = 4;
constexpr u32 kProductNameSize = 32;  // characters of a name field, with the terminator

struct INGREDIENT {
  u32 id;      // the ingredient product's id
  i32 amount;  // units per unit of the product
};

struct PRODUCT {
  // --- Stored ---------------------------------------------------------------
  wchar name[kProductNameSize];  // also the name of the product's tiered award
  wchar iconName[kProductNameSize];
  wchar icon2Name[kProductNameSize];
  wchar mapSpriteName[kProductNameSize];
  u32 id;      // the name id of the name
  u32 number;  // forms per-product message ids
  i32 price;   // money per unit sold
  i32 awardIndex;  // -1 until looked up
  u32 ingredientCount;  // recomputed by ResolveIngredients
  INGREDIENT ingredients[kMaxIngredients];
  u32 productionTime;  // ms a factory takes for one unit

  // --- In memory --------------------------------------------------------------
  i32 useCount = 0;
  Sprite* icon = nullptr;   // icon sprite set
  Sprite* icon2 = nullptr;
  MapSprite* mapSprite = nullptr;  // map-sprite set
  PRODUCT* ingredientProducts[kMaxIngredients] = {};
  bool used = false;  // used on the current level
  u32 index = 0;      // position in the list
};

void ParseProductRecord(const u8* raw, PRODUCT* out);  // memory fields untouched
void PutProductRecord(u8* raw, const PRODUCT& product);

class ProductList : public GameTable {
 public:
  // Resumable reader of "PROD": 1 when finished, 0 to be called again.
  i32 ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor);
  // For every product: the ingredient slots naming a known product with an
  // amount of at least 1 move to the front in their order, with their
  // product; the count becomes theirs.
  void ResolveIngredients();

  PRODUCT* FindById(u32 id) const;  // null for 0 or when absent
  PRODUCT* FindByName(const wchar* name) const;

  void ClearUsedFlags();
  // Marks the product used on the level and acquires it on its first use
  // there (unless it is loaded already).
  void UseProduct(PRODUCT* product);
  void UseProductById(u32 id) { UseProduct(FindById(id)); }
  // On the first acquire: loads both icons and the map sprite (found by name
  // once) and looks up the product's tiered award by name once.
  void LoadProduct(PRODUCT* product);

  // Used on the level, and every ingredient available in turn.
  bool IsAvailable(const PRODUCT* product) const;
  bool IsAvailableById(u32 id) const { return IsAvailable(FindById(id)); }
  // The warehouse capacity at a storage level (BUILDING::GetCapacity of
  // the game's "warehouse"); 0 for null.
  i32 GetCapacity(const PRODUCT* product, i32 level) const;

  u32 GetCount() const { return static_cast<u32>(products_.size()); }
  PRODUCT* Get(u32 i) const { return i < products_.size() ? products_[i].get() : nullptr; }

 private:
  // 0 unknown, 1 being judged, 2 available, 3 not (one entry per product).
  bool Judge(const PRODUCT* product, std::vector<u8>& state) const;

  std::vector<std::unique_ptr<PRODUCT>> products_;
  // The "warehouse" building kind, found once per installed table.
  mutable BUILDING* warehouse_ = nullptr;
  mutable const BuildingTable* warehouseTable_ = nullptr;
};

// The game's table (installed in the content services), or null.
inline ProductList* GetProductList() { return GetContentServices().products; }

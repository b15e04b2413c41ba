#include "content/ProductList.h"

#include "base/Identifier.h"
#include "content/AwardTable.h"
#include "content/ContentArchive.h"
#include "content/BuildingTable.h"
#include "content/ContentSections.h"
#include "resources/MapSprite.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

using kis::GetU32LE;
using kis::PutU32LE;

namespace {

MapSprite* ProductMapSprite(u32 set, const wchar* name) {
  SpriteSet* s = GetSpriteSet(set);
  return s ? s->FindMapSprite(name) : nullptr;
}

}  // namespace

void ParseProductRecord(const u8* raw, PRODUCT* out) {
  ParseWideField(raw, out->name);
  ParseWideField(raw + 64, out->iconName);
  ParseWideField(raw + 128, out->icon2Name);
  ParseWideField(raw + 192, out->mapSpriteName);
  out->id = GetU32LE(raw + 256);
  out->number = GetU32LE(raw + 260);
  out->price = static_cast<i32>(GetU32LE(raw + 264));
  out->awardIndex = static_cast<i32>(GetU32LE(raw + 268));
  out->ingredientCount = GetU32LE(raw + 272);
  for (u32 i = 0; i < kMaxIngredients; ++i) {
    out->ingredients[i].id = GetU32LE(raw + 276 + 8 * i);
    out->ingredients[i].amount = static_cast<i32>(GetU32LE(raw + 280 + 8 * i));
  }
  out->productionTime = GetU32LE(raw + 308);
}

void PutProductRecord(u8* raw, const PRODUCT& p) {
  PutWideField(raw, p.name);
  PutWideField(raw + 64, p.iconName);
  PutWideField(raw + 128, p.icon2Name);
  PutWideField(raw + 192, p.mapSpriteName);
  PutU32LE(raw + 256, p.id);
  PutU32LE(raw + 260, p.number);
  PutU32LE(raw + 264, static_cast<u32>(p.price));
  PutU32LE(raw + 268, static_cast<u32>(p.awardIndex));
  PutU32LE(raw + 272, p.ingredientCount);
  for (u32 i = 0; i < kMaxIngredients; ++i) {
    PutU32LE(raw + 276 + 8 * i, p.ingredients[i].id);
    PutU32LE(raw + 280 + 8 * i, static_cast<u32>(p.ingredients[i].amount));
  }
  PutU32LE(raw + 308, p.productionTime);
}

i32 ProductList::ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  return ReadCountedRecords(reader, cursor, kProductSectionId, kProductSectionSubId, kProductRecordSize,
                            [this](const u8* raw) {
                              auto p = std::make_unique<PRODUCT>();
                              ParseProductRecord(raw, p.get());
                              p->icon = GetSpriteByName(kIconSpriteSet, p->iconName);
                              p->icon2 = GetSpriteByName(kIconSpriteSet, p->icon2Name);
                              p->mapSprite = ProductMapSprite(kMapSpriteSet, p->mapSpriteName);
                              p->index = static_cast<u32>(products_.size());
                              products_.push_back(std::move(p));
                              return true;
                            });
}

void ProductList::ResolveIngredients() {
  for (auto& p : products_) {
    u32 count = 0;
    for (u32 slot = 0; slot < kMaxIngredients; ++slot) {
      const INGREDIENT ing = p->ingredients[slot];
      PRODUCT* found = ing.amount >= 1 ? FindById(ing.id) : nullptr;
      if (!found) continue;
      if (slot != count) {
        p->ingredients[count] = ing;
        p->ingredients[slot] = INGREDIENT{0, 0};
      }
      p->ingredientProducts[count++] = found;
    }
    for (u32 slot = count; slot < kMaxIngredients; ++slot) p->ingredientProducts[slot] = nullptr;
    p->ingredientCount = count;
  }
}

PRODUCT* ProductList::FindById(u32 id) const { return FindFirstById(products_, id); }

PRODUCT* ProductList::FindByName(const wchar* name) const { return FindById(kis::NameId(name)); }

void ProductList::ClearUsedFlags() {
  for (auto& p : products_) p->used = false;
}

void ProductList::UseProduct(PRODUCT* product) {
  if (!product || product->used) return;
  product->used = true;
  if (product->useCount == 0) LoadProduct(product);
}

void ProductList::LoadProduct(PRODUCT* product) {
  if (!product) return;
  if (product->useCount == 0) {
    if (product->icon) product->icon->Init();
    if (product->icon2) product->icon2->Init();
    if (!product->mapSprite) product->mapSprite = ProductMapSprite(kMapSpriteSet, product->mapSpriteName);
    if (product->mapSprite) product->mapSprite->Init();
    const AwardTable* awards = GetAwardTable();
    if (product->awardIndex == -1 && awards) product->awardIndex = awards->FindTieredByName(product->name);
  }
  ++product->useCount;
}

bool ProductList::IsAvailable(const PRODUCT* product) const {
  std::vector<u8> state(products_.size(), 0);
  return Judge(product, state);
}

// A product met again while it is being judged counts as available: it is
// used (that was checked on the way in) and the rest of its recipe is judged
// where it was met first.
bool ProductList::Judge(const PRODUCT* product, std::vector<u8>& state) const {
  if (!product || !product->used) return false;
  if (product->index >= state.size() || products_[product->index].get() != product) return false;
  u8& s = state[product->index];
  if (s != 0) return s != 3;
  s = 1;
  bool ok = true;
  for (u32 i = 0; ok && i < product->ingredientCount && i < kMaxIngredients; ++i)
    ok = Judge(product->ingredientProducts[i], state);
  s = ok ? 2 : 3;
  return ok;
}

i32 ProductList::GetCapacity(const PRODUCT* product, i32 level) const {
  if (!product) return 0;
  const BuildingTable* buildings = GetBuildingTable();
  if (!buildings) return 0;
  if (!warehouse_ || warehouseTable_ != buildings) {
    warehouse_ = buildings->FindBuildingByName(u"warehouse");
    warehouseTable_ = buildings;
  }
  return warehouse_ ? warehouse_->GetCapacity(level) : 0;
}

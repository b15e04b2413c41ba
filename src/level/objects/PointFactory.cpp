#include "level/objects/PointFactory.h"

#include <cmath>

#include "base/LittleEndian.h"
#include "base/DataCursor.h"
#include "content/BuildingTable.h"
#include "content/LevelRates.h"
#include "content/ProductList.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "level/map/LevelMap.h"
#include "level/objects/ProductionHint.h"
#include "level/rules/LevelRules.h"
#include "level/scene/LevelInterface.h"
#include "resources/SoundSettings.h"
#include "resources/StandardSounds.h"
#include "resources/TutorialHooks.h"
#include "hud/ASSProductionButton.h"
#include "hud/ASSProductionSlot.h"

namespace {

constexpr u32 kSoundFade = 250;  // ms the running sound fades out when production stops
constexpr u32 kButtonHide = kShowFade | kShowScale;

// The product's finished fraction: 1 for a product that takes no time.
float Fraction(const PointFactory::Slot& s) {
  if (!(s.duration > 0.0f)) return 1.0f;
  const float f = s.progress / s.duration;
  return f < 1.0f ? f : 1.0f;
}

// A text of the language's "buttons" section; null without a language.
const wchar* ButtonText(const wchar* key) {
  const GameLanguage* language = GetGameLanguage();
  return language ? language->GetTextByName(u"buttons", key, true) : nullptr;
}

}  // namespace

PointFactory::PointFactory(LevelMap& map, BUILDING* building) : PointBuilding(map, building) {
  const ProductList* products = GetProductList();
  if (!building_ || !products) return;
  const u32 n = building_->factory.productCount < kMaxFactoryProducts ? building_->factory.productCount
                                                                      : kMaxFactoryProducts;
  for (u32 i = 0; i < n; ++i) {
    PRODUCT* product = products->FindById(building_->factory.products[i]);
    if (!product || !products->IsAvailable(product)) continue;
    Recipe& r = recipes_[recipeCount_++];
    r.index = i;
    r.product = product;
  }
}

PointFactory::~PointFactory() { Shutdown(false, true, 0); }

PointFactory::Recipe* PointFactory::FindRecipe(u32 productId) {
  for (i32 i = 0; i < recipeCount_; ++i)
    if (recipes_[i].product->id == productId) return &recipes_[i];
  return nullptr;
}

void PointFactory::GetSlotAnchor(i32 slot, POINTPOS* out) const {
  const ASSProductionSlot* s = slot >= 0 && slot < slotCount_ ? slots_[slot].indicator : nullptr;
  if (!s) {
    out->x = mapX_;
    out->y = mapY_;
    return;
  }
  const DXLRECT& r = s->GetRect();
  out->x = (r.left + r.right) / 2;
  out->y = r.top - 8;
}

// --- Production -------------------------------------------------------------------------------------------

bool PointFactory::StartProduction(i32 recipe, i32 slot, bool take) {
  if (recipe < 0 || recipe >= recipeCount_) return false;
  if (slot < 0) {
    for (i32 i = 0; i < slotCount_ && slot < 0; ++i)
      if (!slots_[i].recipe) slot = i;
    if (slot < 0) {
      busy_ = slotCount_;
      return false;
    }
  } else if (slot >= slotCount_ || slots_[slot].recipe) {
    return false;
  }
  Recipe& r = recipes_[recipe];
  LevelRules* rules = GetMap().GetRules();
  Slot& s = slots_[slot];
  if (take) {
    // The button's disabled test keeps a click from here; a tutorial's or
    // a panel's call is held to the same stock.
    if (!rules || !rules->HasIngredients(r.product)) return false;
    rules->TakeIngredients(r.product);
    POINTPOS at;
    GetSlotAnchor(slot, &at);
    rules->AnimateIngredients(r.product, static_cast<float>(at.x), static_cast<float>(at.y), true);
  }
  s.recipe = &r;
  s.duration = static_cast<float>(r.product->productionTime);
  s.progress = 0.0f;
  ++busy_;
  if (s.indicator) {
    s.indicator->SetSlot(r.product);
    s.indicator->SetFill(0.0f);
  }
  if (state_ <= 1) state_ = 1;
  TutorialNotify(kTutorialEventProducing, r.product->id, this);
  RefreshIngredients();
  return true;
}

void PointFactory::FreeSlot(i32 slot, bool refund) {
  if (slot < 0 || slot >= static_cast<i32>(kMaxFactorySlots) || !slots_[slot].recipe) return;
  Slot& s = slots_[slot];
  const PRODUCT* product = s.recipe->product;
  if (busy_ > 0) --busy_;
  if (refund) {
    if (LevelRules* rules = GetMap().GetRules()) {
      rules->AddIngredientsToStock(product, 1);
      POINTPOS at;
      GetSlotAnchor(slot, &at);
      rules->AnimateIngredients(product, static_cast<float>(at.x), static_cast<float>(at.y), false);
    }
  } else {
    TutorialNotify(kTutorialEventDelivered, product->id, this);
  }
  s.recipe = nullptr;
  s.progress = s.duration = 0.0f;
  if (s.indicator) {
    s.indicator->SetSlot(nullptr);
    s.indicator->SetFill(0.0f);
  }
  if (busy_ == 0) {
    if (mapBuilding_) mapBuilding_->StopAnimations();
    // The running sound loops: it goes with the work.
    if (channel_) GetSoundSettings().FadeOutSound(channel_, kSoundFade);
    channel_ = 0;
    state_ = 0;
    run_ = 0;
  }
  RefreshIngredients();
}

void PointFactory::Produce(u32 ms) {
  LevelRules* rules = GetMap().GetRules();
  const float increment = (rules ? rules->GetRate(kRateFactories) : 1.0f) * static_cast<float>(ms) * speed_;
  if (!std::isfinite(increment) || increment < 0.0f) return;
  for (i32 i = 0; i < slotCount_; ++i) {
    Slot& s = slots_[i];
    if (!s.recipe || !TutorialAllowAction(kTutorialActionProduce, s.recipe->product->id, this)) continue;
    if (s.progress < s.duration) {
      s.progress += increment;
      if (s.indicator) s.indicator->SetFill(Fraction(s));
    }
    if (s.progress < s.duration || !rules) continue;
    POINTPOS at;
    GetSlotAnchor(i, &at);
    const PRODUCT* product = s.recipe->product;
    if (rules->StoreProduct(product, 1, product->awardIndex, static_cast<float>(at.x), static_cast<float>(at.y), 0.0f,
                            &messager_) <= 0)
      continue;  // no room: offered again next tick
    rules->NoteBuildingLevel(static_cast<i32>(++run_), true);
    FreeSlot(i, false);
  }
}

u32 PointFactory::Update(u32 ms) {
  ms = PointBuilding::Update(ms);
  if (ms == 0) return 0;
  if (state_ == 1) {
    state_ = 2;
    if (mapBuilding_) mapBuilding_->StartAnimations(GetRates().GetRate());
    if (building_->sound && !channel_)
      channel_ = GetSoundSettings().PlaySound(building_->sound, kSoundGroupLevel | kSoundGroupScreen, 1);
  }
  if (mapBuilding_) mapBuilding_->AdvanceAnimations(ms);
  if (busy_ > 0 && !IsBeingBuilt() && !IsSuspended() && !HasDamage()) Produce(ms);
  return ms;
}

void PointFactory::RefreshIngredients() {
  LevelRules* rules = GetMap().GetRules();
  for (i32 i = 0; i < recipeCount_; ++i) {
    Recipe& r = recipes_[i];
    r.hasIngredients = rules && rules->HasIngredients(r.product);
    if (!r.button) continue;
    r.button->RefreshEnabled();
    r.button->AddPendingRefresh(kHintRefreshGlobal);  // a shown hint's ingredient lines follow the stock
  }
  for (i32 i = 0; i < slotCount_; ++i)
    if (slots_[i].indicator) slots_[i].indicator->RefreshEnabled();
}

// --- Buttons -------------------------------------------------------------------------------------------------

void PointFactory::ShowButtons(bool fade, i32 delay) {
  if (IsShutDown() || HasDamage() || level_ <= 0 || !GetMap().Hooks().hud) return;
  RemoveButtons(false, 0);
  const FACTORYPART& part = building_->factory;
  const i32 bx = mapX_ + Mirror(part.buttonOrigin[0]), by = mapY_ + part.buttonOrigin[1];
  for (i32 i = 0; i < recipeCount_; ++i) {
    Recipe& r = recipes_[i];
    r.button = new ASSProductionButton(r.product, bx, by, i, recipeCount_, r.product->icon);
    new ProductionHint(r.button, ButtonText(u"production"), r.product);
    r.button->SetHandler(this, &PointFactory::OnProductClicked, &PointFactory::IsProductDisabled);
    FadeSprite(r.button, fade, delay, kShowPop, kPointSpriteShowTime);
  }
  const i32 sx = mapX_ + Mirror(part.slotOrigin[0]), sy = mapY_ + part.slotOrigin[1];
  for (i32 i = 0; i < slotCount_; ++i) {
    Slot& s = slots_[i];
    s.indicator = new ASSProductionSlot(sx, sy, i, slotCount_);
    s.indicator->SetHandler(this, &PointFactory::OnSlotClicked, &PointFactory::IsSlotDisabled);
    FadeSprite(s.indicator, fade, delay, kShowPop, kPointSpriteShowTime);
    s.indicator->SetSlot(s.recipe ? s.recipe->product : nullptr);
    s.indicator->SetFill(s.recipe ? Fraction(s) : 0.0f);
  }
  RefreshIngredients();
  if (busy_ > 0 && state_ <= 1) state_ = 1;
}

// Buttons that are there only refresh their flags, so a stock change does
// not make them pop in again; a factory being built up or suspended waits
// for its BuildEnded or Resume.
void PointFactory::Refresh() {
  if (level_ > 0 && recipeCount_ > 0 && !recipes_[0].button && !IsBeingBuilt() && !IsSuspended())
    ShowButtons(true, 0);
  else
    RefreshIngredients();
}

void PointFactory::RemoveButtons(bool fade, u32 delay) {
  auto drop = [&](ActiveScreenSprite* sprite) {
    if (!sprite) return;
    if (fade) {
      sprite->SetHandler(nullptr, nullptr, nullptr);
      sprite->Hide(true, false, delay, kButtonHide, kPointSpriteShowTime);
    } else {
      delete sprite;
    }
  };
  for (i32 i = 0; i < recipeCount_; ++i) {
    drop(recipes_[i].button);
    recipes_[i].button = nullptr;
  }
  for (Slot& s : slots_) {
    drop(s.indicator);
    s.indicator = nullptr;
  }
}

void PointFactory::StopProduction(bool fade, bool refund, u32 delay) {
  state_ = 0;
  if (mapBuilding_) mapBuilding_->StopAnimations();
  if (channel_) GetSoundSettings().FadeOutSound(channel_, kSoundFade);
  channel_ = 0;
  RemoveButtons(fade, delay);
  if (!refund || !fade) return;
  for (i32 i = 0; i < static_cast<i32>(kMaxFactorySlots); ++i) FreeSlot(i, true);
  busy_ = 0;
}

u32 PointFactory::OnProductClicked(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner, u32) {
  auto* factory = static_cast<PointFactory*>(owner);
  if (!factory || sprite->GetState() == 0 || IsProductDisabled(sprite, owner)) return 0;
  for (i32 i = 0; i < factory->recipeCount_; ++i) {
    if (factory->recipes_[i].button != sprite) continue;
    factory->GetMap().ClosePanelExcept(factory);
    factory->StartProduction(i, -1, true);
    return kScreenClickSound;
  }
  return 0;
}

u8 PointFactory::IsProductDisabled(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner) {
  const auto* factory = static_cast<const PointFactory*>(owner);
  if (!factory || factory->busy_ >= factory->slotCount_) return 1;
  for (i32 i = 0; i < factory->recipeCount_; ++i)
    if (factory->recipes_[i].button == sprite) return factory->recipes_[i].hasIngredients ? 0 : 1;
  return 1;
}

u32 PointFactory::OnSlotClicked(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner, u32) {
  auto* factory = static_cast<PointFactory*>(owner);
  if (!factory || IsSlotDisabled(sprite, owner)) return 0;
  for (i32 i = 0; i < factory->slotCount_; ++i) {
    if (factory->slots_[i].indicator != sprite) continue;
    factory->GetMap().ClosePanelExcept(factory);
    factory->FreeSlot(i, true);
    return kScreenClickSound;
  }
  return 0;
}

u8 PointFactory::IsSlotDisabled(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner) {
  const auto* factory = static_cast<const PointFactory*>(owner);
  if (!factory) return 1;
  for (i32 i = 0; i < factory->slotCount_; ++i)
    if (factory->slots_[i].indicator == sprite) return factory->slots_[i].recipe ? 0 : 1;
  return 1;
}

// --- The point's life ------------------------------------------------------------------------------------------

u32 PointFactory::ShowBuilding(bool fade, u32 delay) {
  delay = PointBuilding::ShowBuilding(fade, delay);
  LevelRules* rules = GetMap().GetRules();
  if (level_ == 0 && rules) {
    const RateModifiers& bonuses = rules->Bonuses().GetRateRecord(kRateFactories);
    for (u32 i = 0; i < bonuses.GetCount(true); ++i)
      SetRateModifier(bonuses.Get(true, i).id, true, bonuses.Get(true, i).value);
  } else if (level_ > 0) {
    slotCount_ = level_ < static_cast<i32>(kMaxFactorySlots) ? level_ : static_cast<i32>(kMaxFactorySlots);
    ShowButtons(fade, -1);
  }
  return delay;
}

u32 PointFactory::DoShutdown(bool fade, bool final, u32 delay) {
  StopProduction(fade, final, delay);
  return PointBuilding::DoShutdown(fade, final, delay);
}

void PointFactory::StopJobs(bool fade) {
  PointBuilding::StopJobs(fade);
  if (level_ > 0) StopProduction(fade, false, 0);
}

void PointFactory::SetRateModifier(u32 id, bool additive, float value) {
  PointBuilding::SetRateModifier(id, additive, value);
  if (mapBuilding_) mapBuilding_->SetAnimationScale(GetRates().GetRate());
}

void PointFactory::Suspend() {
  PointBuilding::Suspend();
  StopProduction(true, false, 0);
}

void PointFactory::Resume() {
  if (IsSuspended()) ShowButtons(true, 0);
  PointBuilding::Resume();
}

// At once rather than at the next stock change (Refresh); a factory being
// built up or suspended waits for its BuildEnded or Resume.
void PointFactory::CancelRepair() {
  PointBuilding::CancelRepair();
  if (level_ > 0 && !IsBeingBuilt() && !IsSuspended()) ShowButtons(true, 0);
}

void PointFactory::OnSelect() {
  if (LevelInterface* panels = GetMap().Hooks().panels) panels->ShowPointPanel(kPanelFactory, this);
}

void PointFactory::BuildStarted() {
  if (level_ > 0) StopProduction(true, false, 0);
  if (LevelInterface* panels = GetMap().Hooks().panels) panels->RefreshPointPanel(this);
}

void PointFactory::BuildEnded() {
  if (LevelInterface* panels = GetMap().Hooks().panels) panels->RefreshPointPanel(this);
  if (level_ > 0) ShowButtons(true, 0);
}

// --- Saved state -----------------------------------------------------------------------------------------------

bool PointFactory::SaveState(kis::DataCursor* w) {
  if (!PointBuilding::SaveState(w)) return false;
  u8* r = static_cast<u8*>(w->Reserve(kFactoryRecordSize, true));
  if (!r) return false;
  kis::PutU32LE(r, kFactoryRecordSize);
  kis::PutU32LE(r + 4, run_);
  kis::PutU32LE(r + 8, static_cast<u32>(recipeCount_));
  for (i32 i = 0; i < recipeCount_; ++i) kis::PutU32LE(r + 12 + 4 * i, recipes_[i].product->id);
  kis::PutU32LE(r + 32, static_cast<u32>(slotCount_));
  kis::PutU32LE(r + 36, static_cast<u32>(busy_));
  for (i32 i = 0; i < slotCount_; ++i) {
    const Slot& s = slots_[i];
    if (!s.recipe) continue;
    kis::PutU32LE(r + 40 + 8 * i, s.recipe->product->id);
    kis::PutF32LE(r + 44 + 8 * i, Fraction(s));
  }
  return true;
}

// Progress outside 0..1 is cut to it; one that is not a number fails.
bool PointFactory::LoadState(kis::DataCursor* reader) {
  if (!PointBuilding::LoadState(reader)) return false;
  const u8* r = static_cast<const u8*>(reader->ReadSized());
  if (!r || kis::GetU32LE(r) != kFactoryRecordSize) return false;
  if (kis::GetU32LE(r + 8) != static_cast<u32>(recipeCount_)) return false;
  for (i32 i = 0; i < recipeCount_; ++i)
    if (kis::GetU32LE(r + 12 + 4 * i) != recipes_[i].product->id) return false;
  if (kis::GetU32LE(r + 32) != static_cast<u32>(slotCount_)) return false;
  for (i32 i = 0; i < static_cast<i32>(kMaxFactorySlots); ++i) {
    const u32 id = kis::GetU32LE(r + 40 + 8 * i);
    if (id == 0) continue;
    Recipe* recipe = i < slotCount_ ? FindRecipe(id) : nullptr;
    float fraction = kis::GetF32LE(r + 44 + 8 * i);
    if (!recipe || std::isnan(fraction) || !StartProduction(static_cast<i32>(recipe - recipes_), i, false))
      return false;
    fraction = fraction < 0.0f ? 0.0f : fraction > 1.0f ? 1.0f : fraction;
    Slot& s = slots_[i];
    s.progress = fraction * s.duration;
    if (s.indicator) s.indicator->SetFill(Fraction(s));
  }
  if (kis::GetU32LE(r + 36) != static_cast<u32>(busy_)) return false;
  run_ = kis::GetU32LE(r + 4);
  return true;
}

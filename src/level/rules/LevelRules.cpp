#include "level/rules/LevelRules.h"

#include "content/AwardTable.h"
#include "content/LevelInfo.h"
#include "content/ProductList.h"
#include "gametext/GameMessager.h"
#include "level/rules/LevelProfile.h"
#include "hud/ScreenSpriteList.h"
#include "level/rules/LevelScene.h"
#include "resources/SoundSettings.h"

namespace {

constexpr i32 kWarehouseFullShort = 5000;  // ms the message stays once it has been seen
constexpr i32 kWarehouseFullLong = 15000;  // the first time
constexpr float kCoinsBelow = 20.0f;       // the sale's coins stand below the goods
constexpr u32 kCoinsDelay = 100;

i32 Clamp32(i64 v) { return static_cast<i32>(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v); }

}  // namespace

LevelRules::LevelRules(i32 level, i32 regime, const LEVELINFO* info, const LevelHooks& hooks)
    : level_(level), regime_(regime), info_(info), hooks_(hooks), tasks_(*this), bonuses_(*this) {}

LevelRules::~LevelRules() { money_.RemoveListener(this); }

// --- Life ---------------------------------------------------------------------------------------

void LevelRules::Build(const CHOSENBONUSES& chosen) {
  locks_.Reset();
  clock_.Reset();
  tasks_.Reset();
  bonuses_.Reset();
  bestBuildingLevel_ = 0;
  entered_ = started_ = cleared_ = false;

  money_.RemoveListener(this);
  bool countsMoney = false;
  for (u32 i = 0; i < tasks_.GetTaskCount(); ++i) countsMoney = countsMoney || tasks_.GetTask(i)->kind == kTaskMoney;
  if (countsMoney) money_.AddListener(this);
  // Money left as it was (a restart) would not tell the listener: the money
  // task is counted here instead.
  const i32 start = info_ ? info_->startMoney : 0;
  if (countsMoney && money_.Get() == start) tasks_.UpdateTask(kTaskMoney, 0, start, false);
  money_.Set(start);

  stock_ = std::make_unique<WarehouseStock>(GetProductList(), info_ ? info_->buildings[0].value : 0, &tasks_);
  waves_.Start(info_);
  chosen_ = chosen;
  locks_.Lock(kLockStart);
}

void LevelRules::StartNew() {
  const ProductList* products = GetProductList();
  if (info_ && products && stock_) {
    const u32 n = info_->stockCount < kMaxLevelStock ? info_->stockCount : kMaxLevelStock;
    for (u32 i = 0; i < n; ++i) stock_->Add(products->FindById(info_->stock[i].product), info_->stock[i].count, false);
  }
  static const float kNoFactors[kLevelRateCount] = {};
  bonuses_.Charge(chosen_, info_ ? info_->chargeFactors : kNoFactors);
  clock_.SetTime(0);
}

bool LevelRules::StartPlay() {
  if (started_) return false;
  started_ = true;
  locks_.Unlock(kLockStart);
  return true;
}

void LevelRules::Clear() {
  if (cleared_) return;
  cleared_ = true;
  money_.RemoveListener(this);
  SoundSettings& sound = GetSoundSettings();
  sound.FadeOutSounds(kSoundGroupLevel);
  if (locks_.AreSoundsPaused()) sound.ResumeSounds(kSoundGroupLevel);
  tasks_.ForgetResultSound();
  bonuses_.Stop();
  stock_.reset();
}

// --- Frame and tick ----------------------------------------------------------------------------------

// The clock takes the whole of d even when the ticks are capped, so a
// frame that stalls still counts against the medal time.
u32 LevelRules::AdvanceFrame(u32 d, bool effectRunning) {
  if (d == 0) return 0;
  if (!locks_.IsLockedExcept(0) && tasks_.GetResultFlags() == 0 && !effectRunning) clock_.Advance(d);
  clock_.UpdateMedal(regime_, level_);
  return clock_.TakeTicks(d);
}

void LevelRules::RunWaves(u32 t, VillainSlots& slots) { waves_.Run(t, bonuses_.IsActive(kBonusBees), slots); }

void LevelRules::Tick(u32 t) {
  tasks_.TickResult(t);
  if (tasks_.GetResultFlags() == 0) bonuses_.Tick(t);
  bonuses_.GetRain().Advance(t);
}

// --- Money and goods -----------------------------------------------------------------------------------

i32 LevelRules::CheckStoreSpace(const PRODUCT* product, i32 n, GameMessager* messager) {
  if (!product || !stock_) return 0;
  const i32 fit = stock_->GetFree(product, n);
  if (fit < n && (!messager || messager->CanSend(kMessageWarehouseFull + product->number))) ShowWarehouseFull(product);
  return fit;
}

void LevelRules::ShowWarehouseFull(const PRODUCT* product) {
  const wchar* key = u"warehouse_full";
  i32 duration = kWarehouseFullShort;
  bool tutorial = false;
  if (hooks_.profile && !hooks_.profile->HasFlags(kProfileFlagWarehouseFull)) {
    hooks_.profile->MarkShown(kProfileFlagWarehouseFull);
    key = u"warehouse_full_ex";
    tutorial = hooks_.profile->AreTutorialsOn();
    duration = tutorial ? -1 : kWarehouseFullLong;
  }
  if (hooks_.windows)
    hooks_.windows->ShowMessage(kMessageWarehouseFull + product->number, key, kMessageFlagsWarehouse, product, duration,
                                this);
  if (tutorial && hooks_.scene) hooks_.scene->StartWarehouseTutorial(product);
}

void LevelRules::OnMessageAnswer(u32 answer, const PRODUCT* subject) {
  if (answer == 1 && tasks_.GetResult() == kResultNone && hooks_.windows) hooks_.windows->OpenWarehouseWindow(subject);
}

i32 LevelRules::StoreProduct(const PRODUCT* product, i32 n, i32 awardKind, float x, float y, float yOffset,
                             GameMessager* messager) {
  const i32 fit = CheckStoreSpace(product, n, messager);
  if (fit < 1) return fit;
  const i32 stored = stock_->Add(product, n, true);
  if (hooks_.hud) hooks_.hud->ShowFlyingIcon(product, stored, x, y, yOffset, 0, 0.0f);
  if (stored < n) {
    const i32 money = Clamp32(static_cast<i64>(n - stored) * product->price);
    if (money > 0) {
      money_.Add(money);
      if (hooks_.hud) hooks_.hud->ShowFlyingCoins(money, x, y, yOffset + kCoinsBelow, kCoinsDelay);
      RaiseAwardRecord(kAwardRecordMoney, money, true, true);
    }
  }
  if (awardKind != -1) AddAwardProgress(static_cast<u32>(awardKind), n);
  GetSoundSettings().PlaySound(GetStandardSound(kSoundStore), kSoundGroupLevel | kSoundGroupScreen, 0);
  return stored;
}

void LevelRules::ChangeMoney(i32 amount, float x, float y, float yOffset) {
  if (amount == 0) return;
  money_.Change(amount);
  if (hooks_.hud) hooks_.hud->ShowFlyingCoins(amount, x, y, yOffset, 0);
  if (amount > 0) RaiseAwardRecord(kAwardRecordMoney, amount, true, true);
}

bool LevelRules::HasIngredients(const PRODUCT* product) const {
  if (!product || !stock_) return false;
  for (u32 i = 0; i < product->ingredientCount && i < kMaxIngredients; ++i)
    if (stock_->GetCount(product->ingredientProducts[i]) < product->ingredients[i].amount) return false;
  return true;
}

void LevelRules::TakeIngredients(const PRODUCT* product) {
  if (!product || !stock_) return;
  for (u32 i = 0; i < product->ingredientCount && i < kMaxIngredients; ++i)
    stock_->Take(product->ingredientProducts[i], product->ingredients[i].amount);
}

void LevelRules::GiveBack(const PRODUCT* product, i32 n) {
  if (!product || n < 1) return;
  const i32 stored = stock_ ? stock_->Add(product, n, false) : 0;
  const i32 money = Clamp32(static_cast<i64>(n - stored) * product->price);
  if (money > 0) money_.Add(money);
}

void LevelRules::AddIngredientsToStock(const PRODUCT* product, i32 factor) {
  if (!product) return;
  for (u32 i = 0; i < product->ingredientCount && i < kMaxIngredients; ++i)
    GiveBack(product->ingredientProducts[i], Clamp32(static_cast<i64>(product->ingredients[i].amount) * factor));
}

// Going in, the icons stack upwards and follow one another 100 ms apart;
// going out they leave 200 ms apart from one place, each ending a little
// higher than the one before. The ingredients fly with their second icon.
void LevelRules::AnimateIngredients(const PRODUCT* product, float x, float y, bool inwards) {
  if (!product || !hooks_.hud) return;
  const u32 n = product->ingredientCount < kMaxIngredients ? product->ingredientCount : kMaxIngredients;
  for (u32 i = 0; i < n; ++i) {
    const i32 amount = product->ingredients[i].amount;
    const i32 k = static_cast<i32>(i);
    if (inwards)
      hooks_.hud->ShowFlyingIcon(product->ingredientProducts[i], amount, x, y,
                                 static_cast<float>(-20 * (static_cast<i32>(n) - 1 - k)), 100 * i, 0.0f, true);
    else
      hooks_.hud->ShowFlyingIcon(product->ingredientProducts[i], -amount, x, y, 0.0f, 200 * i,
                                 static_cast<float>(-10 * k), true);
  }
}

// --- Awards -------------------------------------------------------------------------------------------------

namespace {

AwardProgress Awards(const LevelHooks& hooks) {
  return AwardProgress(GetAwardTable(), hooks.profile ? hooks.profile->GetAwardCounters() : nullptr, hooks.awards);
}

}  // namespace

void LevelRules::RaiseAwardRecord(u32 record, i32 value, bool add, bool notify) {
  Awards(hooks_).RaiseRecord(record, value, add, notify);
}

void LevelRules::AddAwardProgress(u32 award, i32 n) { Awards(hooks_).AddProgress(award, n); }

void LevelRules::CheckFinalAward(bool notify) { Awards(hooks_).CheckFinal(notify); }

void LevelRules::SetVillainsInRow(i32 n, bool notify) {
  if (!hooks_.profile) return;
  const i32 before = hooks_.profile->GetVillainsInRow();
  hooks_.profile->SetVillainsInRow(n);
  if (n > before) RaiseAwardRecord(kAwardRecordVillainsInRow, n, false, notify);
}

void LevelRules::IncVillainsInRow(bool notify) {
  const i32 now = hooks_.profile ? hooks_.profile->GetVillainsInRow() : 0;
  SetVillainsInRow(now < INT32_MAX ? now + 1 : now, notify);
}

void LevelRules::NoteBuildingLevel(i32 level, bool notify) {
  if (level <= bestBuildingLevel_) return;
  bestBuildingLevel_ = level;
  RaiseAwardRecord(kAwardRecordBuildingLevel, level, false, notify);
}

// --- Listeners ---------------------------------------------------------------------------------------------------

void LevelRules::OnMoneyChanged() { tasks_.UpdateTask(kTaskMoney, 0, money_.Get(), true); }

#include "windows/WarehouseWindow.h"

#include <algorithm>
#include <string>

#include "content/AwardTable.h"
#include "content/BuildingTable.h"
#include "content/ProductList.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseTextSprite.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPoint.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelScene.h"
#include "level/rules/LevelWindows.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "resources/StandardSounds.h"
#include "ui/CaptionHintWindow.h"
#include "ui/GameDigitalText.h"
#include "ui/HintTextParams.h"
#include "hud/HudPieces.h"
#include "ui/InfoWindowSources.h"
#include "ui/ItemTagKinds.h"
#include "ui/SkinTable.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/CLPLevelBlock.h"
#include "windows/GameWindowManager.h"
#include "windows/MessageNotice.h"
#include "windows/PanelSkins.h"

namespace {

constexpr i32 kRowX = 12;
constexpr i32 kSelectionHeight = 140;  // the two sell buttons one above the other inside it
constexpr i32 kSellButtonX = 460;      // their right edge inside the plate's frame
constexpr i32 kSellButtonTop = 6, kSellButtonStep = 65;
constexpr i32 kNameWidth = 200;   // wider names are scaled down to it
constexpr i32 kPriceMiddle = 403;  // the price and its coin stand centred here
constexpr float kPictureRoom = 64.0f;  // the chosen product's picture's square, left of its name
constexpr i32 kUpgradeX = 16;
constexpr i32 kDigits = 5;
constexpr u32 kDigitFont = 1;  // the money window's digits
constexpr u32 kTextFont = 3;
constexpr u32 kSaleGroup = kSoundGroupClick;
constexpr u32 kPlateTextColour = 0xFFFFF1CCu;  // cream: the selection plate is dark walnut

// A text on the selection plate: the chosen product's name, price and count.
KGETextSpriteW* PlateText(const wchar* text) {
  return MakePanelText(text, kTextFont, nullptr, kKGEFixedColor, kPlateTextColour);
}

// "warehouse" of the interface set: three product-button frames of 80 x 78
// one below the other at (0, 0), the selection plate at (96, 0), 160 x 96.
Sprite* Sheet(const wchar* name) {
  WindowManager* manager = GetWindowManager();
  Sprite* s = manager ? manager->GetInterfaceSprite(name) : nullptr;
  return s && s->IsLoaded() ? s : nullptr;
}
DXLTexture* SheetTexture(const wchar* name) {
  Sprite* s = Sheet(name);
  return s ? s->GetTexture() : nullptr;
}

const wchar* WindowText(const wchar* key) { return SectionText(u"warehouse_window", key); }

std::u16string AmountText(i32 amount, i32 limit) {
  std::string s = std::to_string(amount) + "/" + std::to_string(limit);
  return std::u16string(s.begin(), s.end());
}

std::u16string Number(i32 n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

// The "warehouse" building kind: its records give the upgrade prices.
const BUILDING* WarehouseKind() { return FindBuildingByName(u"warehouse"); }

}  // namespace

// --- WarehouseWindowButton ------------------------------------------------------------------

WarehouseWindowButton::WarehouseWindowButton(GameWindow* window, const PRODUCT* product, i32 x, i32 y, i32 width,
                                             u32 flags)
    : ImageButton(window, &window->Controls(), kWarehouseProduct,
                  SKINRECT::InitSliced(0, 0, 80, 3 * kHeight, 10, 10, 0, 0, 0, 0, SheetTexture(u"warehouse")), width,
                  true, 3, 0, x, y, product ? product->icon : nullptr),
      product_(product),
      flags_(flags) {
  SetStateFrames(0, {0, 0, 1, 2, 2, 2, 2, 2});
  SetIconFrames(0, {1, 1, 1, 1, 1, 1, 1, 1});
  state_.EnableFlag(true);
  EnableDoubleClick(true);
  SetData(reinterpret_cast<uintptr_t>(product));
  auto* hint = new CaptionHintWindow(this);
  KGETEXTPARAMS params;
  InitCaptionTextParams(&params, kKGEMarkup, 0, kItemTagProduct, reinterpret_cast<uintptr_t>(product));
  hint->SetCaption(&params, u"[product N]", false);
}

void WarehouseWindowButton::SetAmount(i32 amount, i32 limit) {
  if (!product_ || !product_->id) return;
  if (amount == amount_ && limit == limit_) return;
  amount_ = amount;
  limit_ = limit;
  const std::u16string text = AmountText(amount, limit);
  if (GetCaption())
    SetCaptionText(text.c_str());
  else
    SetCaptionPlain(text.c_str(), kTextFont, 2);
}

void WarehouseWindowButton::LayoutContent() {
  ImageButton::LayoutContent();
  iconX_ = static_cast<float>(width_ / 2);
  iconY_ = 30.0f;
  if (!caption_) return;
  shrunk_ = 0;
  captionScale_ = 1.0f;
  captionX_ = static_cast<float>((width_ - static_cast<i32>(caption_->GetWidth())) / 2);
  captionY_ = static_cast<float>(height_ - static_cast<i32>(caption_->GetHeight()) - 5);
}

void WarehouseWindowButton::Place(i32 x, i32 y, i32 width, u32 flags) {
  // The cells of a row differ by a pixel at most: the face keeps its width.
  (void)width;
  flags_ = flags;
  SetPosition(x, y);
}

// --- WarehouseUpgradeButton -------------------------------------------------------------------

WarehouseUpgradeButton::WarehouseUpgradeButton(GameWindow* window, i32 x, i32 y)
    : ImageButton(window, &window->Controls(), kWarehouseUpgrade,
                  SKINRECT::InitSliced(0, 0, 150, 3 * 44, 14, 14, 0, 0, 0, 0, SheetTexture(u"warehouse_upgr_but")), -1,
                  true, 3, 0, x, y, nullptr) {
  SetStateFrames(0, {0, 0, 1, 2, 0, 0, 1, 2});
  SetIconFrames(0, {0, 0, 0, 0, 0, 0, 0, 0});
}

void WarehouseUpgradeButton::SetPrice(i32 price) {
  if (price == price_) return;
  price_ = price;
  if (price < 0) {
    SetIcon(nullptr);
    SetCaptionPlain(nullptr, kTextFont, 2);
    return;
  }
  SetIcon(FindPanelIcon(u"small_coin"));
  const std::u16string text = Number(price);
  SetCaptionPlain(text.c_str(), kTextFont, 2);
}

bool WarehouseUpgradeButton::BeginDraw() {
  if ((state_.GetState() & kStateBaseMask) == kStateHidden && !state_.IsFading()) return false;
  return ImageButton::BeginDraw();
}

// --- WarehouseWindow ------------------------------------------------------------------------------

float WarehouseNameScale(float width) { return width > kNameWidth ? kNameWidth / width : 1.0f; }

WarehouseWindow* FindOpenWarehouse() {
  WarehouseWindow* window = FindWindowOf<WarehouseWindow>();
  return window && !window->IsClosing() ? window : nullptr;
}

WarehouseWindow::WarehouseWindow(LevelRules& rules, LevelMap* map, const PRODUCT* selected)
    : SpritesWindow(kId, false, false), rules_(rules), map_(map) {
  saleSound_ = GetStandardSound(kSoundSale);
  AddTopRow(kWidth);
  i32 w = 0;
  GetSize(&w, &top_);
  top_ -= 2;
  SplitRowIntoCells(&row_, kWidth - 27, kPerRow);
  const WarehouseStock* stock = rules_.Stock();
  const i32 n = stock ? stock->GetEntryCount() : 0;
  // More than fourteen products add rows of seven.
  rows_ = std::max(2, (n + kPerRow - 1) / kPerRow);
  selectionTop_ = top_ + 8 + rows_ * kRowHeight;
  const i32 contentHeight = selectionTop_ + kSelectionHeight + 8 - top_;
  AddStretchedFrame(0, top_, kWidth, contentHeight, SkinOf(skins::kDialogMessage, kInterfaceImage), &pieces_);
  if (DXLTexture* sheet = SheetTexture(u"warehouse"))
    AddStretchedFrame(kRowX - 4, selectionTop_, kWidth - 2 * (kRowX - 4), kSelectionHeight,
                      SKINRECT::InitSliced(96, 0, 160, 96, 16, 16, 16, 16, 0, 0, sheet), &pieces_);
  AddBodyFrame(1);

  // The money mirror: the coin and five digits on the selection plate's left.
  mirror_.SetTarget(rules_.Money().Get(), 0, GameFrameTime(), 0);
  if (Sprite* coin = Sheet(u"refl_coin")) moneyCoin_ = MakeImage(coin, 0.0f, 0.5f);
  digits_ = std::make_unique<GameDigitalText>(manager_ ? manager_->FindFont(kDigitFont) : nullptr, 0, kDigits, false, 0);
  digits_->SetNumber(rules_.Money().Get());

  // The sell buttons one above the other at the plate's right.
  sellOne_ = CreateButton(this, &Controls(), kWarehouseSellOne, kSellButtonX, selectionTop_ + kSellButtonTop, nullptr,
                          90, WindowText(u"sell_one"));
  sellFive_ = CreateButton(this, &Controls(), kWarehouseSellFive, kSellButtonX,
                           selectionTop_ + kSellButtonTop + kSellButtonStep, nullptr, 90, WindowText(u"sell_five"));
  for (ImageButton* b : {sellOne_, sellFive_}) b->Show(false, true, 0);
  upgrade_ = new WarehouseUpgradeButton(this, kUpgradeX, selectionTop_ + kSelectionHeight - 52);

  empty_.reset(MakePanelText(WindowText(u"empty"), kTextFont));
  LayoutButtons();
  RefreshUpgrade(true);
  showEmpty_ = buttons_.empty();
  SetCaption(WindowText(u"caption"));
  AddButton(kWarehouseClose, WindowText(u"close"), 1, 1, 0);
  Show(0, true);
  if (selected) SelectProduct(selected);
  // The warehouse-full messages have said what they had to.
  if (MessageNoticeQueue* messages = GetMessageNotices()) messages->CloseMatching(kMessageWarehouseFull);
}

WarehouseWindow::~WarehouseWindow() {
  Unregister();  // no longer found by its id while its parts go
}

void WarehouseWindow::LayoutButtons() {
  const WarehouseStock* stock = rules_.Stock();
  const i32 n = stock ? stock->GetEntryCount() : 0;
  for (i32 i = 0; i < n; ++i) {
    const i32 row = i / kPerRow, column = i % kPerRow;
    const ButtonRowLayout::Cell& cell = row_.cells[column];
    const i32 x = kRowX + cell.start, y = top_ + 4 + row * kRowHeight;
    u32 flags = 0;
    // The row skin's end pieces go to the row layout's first and last
    // cells; a row filled only in part ends on an inner cell.
    if (column == 0) flags |= kButtonFirstCell;
    if (column == kPerRow - 1) flags |= kButtonLastCell;
    const STOCKENTRY& entry = stock->GetEntry(i);
    if (static_cast<size_t>(i) < buttons_.size()) {
      buttons_[static_cast<size_t>(i)]->Place(x, y, cell.width, flags);
      continue;
    }
    auto* b = new WarehouseWindowButton(this, entry.product, x, y, cell.width, flags);
    b->SetAmount(stock->GetCount(entry.product), entry.capacity);
    buttons_.push_back(b);
  }
}

const STOCKENTRY* WarehouseWindow::SelectedEntry() const {
  const WarehouseStock* stock = rules_.Stock();
  const i32 i = stock && selectedProduct_ ? stock->FindEntry(selectedProduct_) : -1;
  return i >= 0 ? &stock->GetEntry(i) : nullptr;
}

void WarehouseWindow::SelectProduct(const PRODUCT* product) {
  for (WarehouseWindowButton* b : buttons_)
    if (b->GetProduct() == product) return Choose(b);
}

// The chosen product's picture, name and price centred with the coin.
void WarehouseWindow::Choose(WarehouseWindowButton* button) {
  if (!button || button == selected_) return;
  if (selected_) selected_->SetFlag(false, false, 100);
  selected_ = button;
  selected_->SetFlag(true, false, 100);
  const PRODUCT* product = button->GetProduct();
  const bool had = SelectedEntry() != nullptr;
  selectedProduct_ = product;
  const bool has = SelectedEntry() != nullptr;
  if (had != has || !had) {
    sellOne_->Show(has, true, 0);
    sellFive_->Show(false, true, 0);
  }
  picture_.reset();
  SpriteSet* icons = product && product->icon ? GetSpriteSet(2) : nullptr;
  if (icons) picture_.reset(icons->CreateImageSprite(product->icon, false));
  if (picture_) {
    picture_->SetPivot(0.5f, 0.5f);
    // At half its size the picture was lost in the plate, too small to
    // tell at a glance: it is drawn as large as its room lets it be, up to
    // its own size (sharp), as the task cards draw theirs. Larger pictures
    // would not do: the level panel's product buttons draw the same ones
    // at half their size, centred 13 pixels above their 76-pixel foot.
    const float scale = PictureScale(product->icon, kPictureRoom);
    picture_->SetScale(scale, scale);
    // The icon's normal frame (its first is the faded, disabled one).
    picture_->SetFrame(std::min(product->icon->GetFrameCount() - 1, 1));
  }
  name_.reset(product ? PlateText(SectionText(u"products", product->name)) : nullptr);
  nameScale_ = WarehouseNameScale(name_ ? name_->GetWidth() : 0.0f);
  price_.reset(product ? PlateText(Number(product->price).c_str()) : nullptr);
  coin_.reset();
  if (Sprite* coin = FindPanelIcon(u"small_coin")) coin_ = MakeImage(coin, 0.0f, 0.5f);
  const float textWidth = price_ ? price_->GetWidth() : 0.0f;
  priceX_ = static_cast<float>(kPriceMiddle) - (CoinWidth() + textWidth + 1.0f) / 2.0f;
  RefreshSellButtons();
}

float WarehouseWindow::CoinWidth() const {
  return coin_ ? static_cast<float>(coin_->GetSprite()->GetFrameWidth()) : 0.0f;
}

float WarehouseWindow::GetNameWidth() const { return name_ ? name_->GetWidth() * nameScale_ : 0.0f; }

float WarehouseWindow::GetPriceRight() const {
  return priceX_ + CoinWidth() + 1.0f + (price_ ? price_->GetWidth() : 0.0f);
}

void WarehouseWindow::RefreshSellButtons() {
  const STOCKENTRY* entry = SelectedEntry();
  const WarehouseStock* stock = rules_.Stock();
  const i32 count = entry && stock ? stock->GetCount(entry->product) : 0;
  count_.reset(PlateText(Number(count).c_str()));
  if (selected_) selected_->SetFirstAmount(count);
  sellFive_->Show(entry && count >= 1, true, 0);
}

// The next level's record within the kind's records and the level's limit.
void WarehouseWindow::RefreshUpgrade(bool withButton) {
  const WarehouseStock* stock = rules_.Stock();
  const BUILDING* kind = WarehouseKind();
  const i32 level = stock ? stock->GetLevel() : 0;
  i32 top = kind ? std::clamp(kind->levelCount, 0, static_cast<i32>(kMaxBuildingLevels)) : 0;
  if (kind && kind->levelLimit > 0) top = std::min(top, kind->levelLimit);
  upgradePrice_ = kind && level >= 1 && level < top ? kind->levels[level].price : -1;
  if (withButton) upgrade_->SetPrice(upgradePrice_);
  upgrade_->Show(upgradePrice_ >= 0 && rules_.Money().HasAtLeast(upgradePrice_), true, 0);
}

void WarehouseWindow::CountMoney() { mirror_.SetTarget(rules_.Money().Get(), kCountTime, GameFrameTime(), 0); }

i32 WarehouseWindow::Sell(i32 n) {
  const STOCKENTRY* entry = SelectedEntry();
  WarehouseStock* stock = rules_.Stock();
  if (!entry || !stock || n < 1) return 0;
  const PRODUCT* product = entry->product;
  // The units held: under the developer's "warehouse without limits" the
  // stock answers GetCount with the capacity, and a sale would pay for
  // units that are not there.
  const i32 count = entry->count;
  const i32 sold = std::min(n, count);
  const bool all = sold == count;
  const i32 amount = sold * std::max(product->price, 0);
  // Money above 99,999 is lost: the counter stops there.
  rules_.Money().Add(amount);
  CountMoney();
  stock->Take(product, sold);
  if (all) {
    auto it = std::find(buttons_.begin(), buttons_.end(), selected_);
    WarehouseWindowButton* gone = selected_;
    selected_ = nullptr;
    selectedProduct_ = nullptr;
    if (it != buttons_.end()) buttons_.erase(it);
    delete gone;
    LayoutButtons();
    picture_.reset();
    name_.reset();
    price_.reset();
    coin_.reset();
    count_.reset();
    sellOne_->Show(false, true, 0);
    sellFive_->Show(false, true, 0);
    showEmpty_ = buttons_.empty();
  } else {
    RefreshSellButtons();
  }
  RefreshUpgrade(false);
  rules_.RaiseAwardRecord(kAwardRecordMoney, amount, true, true);
  return sold;
}

bool WarehouseWindow::Upgrade() {
  if (upgradePrice_ < 0 || !rules_.Money().HasAtLeast(upgradePrice_)) return false;
  rules_.Money().Subtract(upgradePrice_);
  CountMoney();
  if (map_) {
    for (i32 i = 0; i < map_->GetPointCount(); ++i) {
      BaseLevelPoint* p = map_->GetPoint(i);
      if (p && p->GetKind() == kPointKindWarehouse) {
        static_cast<LevelPoint*>(p)->Upgrade();
        break;
      }
    }
  }
  if (WarehouseStock* stock = rules_.Stock())
    for (WarehouseWindowButton* b : buttons_) b->SetSecondAmount(stock->GetCapacity(b->GetProduct()));
  RefreshUpgrade(true);
  if (rules_.Hooks().scene) rules_.Hooks().scene->StartPlay();
  return true;
}

bool WarehouseWindow::OnKeyDown(u16 key, u32 extra) {
  if (key == 13) {
    if (!closing_) Close();
    return true;
  }
  return SpritesWindow::OnKeyDown(key, extra);
}

bool WarehouseWindow::HitTest(i32 x, i32 y) const {
  if (SpritesWindow::HitTest(x, y)) return true;
  const LevelPanelArea* panel = GetUiServices().levelPanel;
  return !(panel && panel->IsPointOver(x, y));
}

u32 WarehouseWindow::OnCommand(GameButton* control) {
  switch (control ? control->GetId() : 0) {
    case kWarehouseClose:
      Close();
      return 2;
    case kWarehouseSellOne:
      Sell(1);
      return 1;
    case kWarehouseSellFive:
      Sell(5);
      return 1;
    case kWarehouseProduct:
      Choose(static_cast<WarehouseWindowButton*>(control));
      return 1;
    case kWarehouseUpgrade:
      Upgrade();
      return 1;
  }
  return SpritesWindow::OnCommand(control);
}

// A double click on a product sells all of it with the sale sound.
void WarehouseWindow::OnControlDoubleClick(GameButton* control) {
  if (!control || control->GetId() != kWarehouseProduct) return;
  Choose(static_cast<WarehouseWindowButton*>(control));
  if (Sell(0x7FFFFFFF) > 0) GetSoundSettings().PlaySound(saleSound_, kSaleGroup, -1);
}

// The point is in the window's own coordinates already, as for every
// window's double click.
bool WarehouseWindow::OnDoubleClick(i32 x, i32 y, u32 button) {
  for (WarehouseWindowButton* b : buttons_) {
    if (b->IsEnabled() && b->HitTest(x, y)) {
      OnControlDoubleClick(b);
      return true;
    }
  }
  return SpritesWindow::OnDoubleClick(x, y, button);
}

void WarehouseWindow::DrawText(KGETextSpriteW* text, float x, float y) const {
  DXLViewer* viewer = GetGameViewer();
  if (!text || !viewer) return;
  viewer->SetTransform(&transform_);
  viewer->Translate(x, y);
  viewer->ApplyTransform(nullptr);
  text->Draw();
}

void WarehouseWindow::DrawForeground() {
  DXLViewer* viewer = DrawOwnPieces(&pieces_);
  SpritesWindow::DrawForeground();
  if (!viewer) return;
  if (mirror_.GetShown() != mirror_.GetTarget()) {
    mirror_.Update(GameFrameTime());
    digits_->SetNumber(mirror_.GetShown());
  }
  const float plateMiddle = static_cast<float>(selectionTop_ + kSelectionHeight / 2);
  const float moneyY = static_cast<float>(selectionTop_ + 26);  // the coin clear of the plate's frame
  if (moneyCoin_) DrawImageAt(moneyCoin_.get(), static_cast<float>(kUpgradeX), moneyY, transform_);
  viewer->SetTransform(&transform_);
  viewer->Translate(static_cast<float>(kUpgradeX + 30), moneyY - 10.0f);
  viewer->ApplyTransform(nullptr);
  digits_->Draw();
  if (showEmpty_ && empty_)
    DrawText(empty_.get(), (kWidth - empty_->GetWidth()) / 2.0f, static_cast<float>(top_ + kRowHeight - 10));
  if (picture_) DrawImageAt(picture_.get(), 290.0f, plateMiddle, transform_);
  if (name_) {
    viewer->SetTransform(&transform_);
    viewer->Translate(kPriceMiddle - name_->GetWidth() * nameScale_ / 2.0f, plateMiddle - 34.0f);
    viewer->Scale(nameScale_);
    viewer->ApplyTransform(nullptr);
    name_->Draw();
  }
  if (coin_) DrawImageAt(coin_.get(), priceX_, plateMiddle, transform_);
  if (price_)
    DrawText(price_.get(), priceX_ + CoinWidth() + 1.0f, plateMiddle - price_->GetHeight() / 2.0f);
  if (count_ && selectedProduct_)
    DrawText(count_.get(), kPriceMiddle - count_->GetWidth() / 2.0f, plateMiddle + 14.0f);
}

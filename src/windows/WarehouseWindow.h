// WarehouseWindow - the level's storage screen ('Wrhs'): one button per
// product of the running level's warehouse stock, in the stock's order and
// rows of seven, each showing "amount/capacity"; the product chosen can be
// sold one, five or all (a double click on its button) for its price, and
// the warehouse can be raised to the next storage level for money.
//
// Sales go into the level's money, which stops at 99,999: whatever a sale
// would bring above it is lost, as the money counter allows no more. Every
// sale counts as money earned (award record 7). A product sold out leaves
// the stock and its button goes; "empty" shows when no product is left.
//
// The upgrade's price is the "warehouse" building's record of the next
// level, read only while such a record exists within the level's limit;
// its button shows only while the money covers it.
//
// One at a time: FindOpenWarehouse finds it until it begins to close.
// It takes every click outside the level panel; Enter closes it. The level's
// rules and map must outlive it.
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "level/rules/MoneyCounter.h"
#include "ui/ImageButton.h"
#include "ui/SpritesWindow.h"
#include "windows/LevelPanelButton.h"

class GameDigitalText;
class ImageSprite;
class KGETextSpriteW;
class LevelMap;
class LevelRules;
struct PRODUCT;
struct STOCKENTRY;

constexpr u32 kWarehouseClose = 0x3A5E4080u;
constexpr u32 kWarehouseSellOne = 0x3A5E4081u;
constexpr u32 kWarehouseSellFive = 0x3A5E4082u;
constexpr u32 kWarehouseProduct = 0x3A5E4083u;
constexpr u32 kWarehouseUpgrade = 0x3A5E4084u;

// A product's button: its icon and "amount/limit".
class WarehouseWindowButton : public ImageButton {
 public:
  static constexpr i32 kHeight = 78;
  WarehouseWindowButton(GameWindow* window, const PRODUCT* product, i32 x, i32 y, i32 width, u32 flags);
  // Nothing for a product without an id or when both are shown already.
  void SetAmount(i32 amount, i32 limit);
  void SetFirstAmount(i32 amount) { SetAmount(amount, limit_); }
  void SetSecondAmount(i32 limit) { SetAmount(amount_, limit); }
  // Into a cell of a row; the end flags (kButtonFirstCell, kButtonLastCell).
  void Place(i32 x, i32 y, i32 width, u32 flags);
  void LayoutContent() override;  // the icon on top, the amount under it

  const PRODUCT* GetProduct() const { return product_; }
  i32 GetAmount() const { return amount_; }
  i32 GetLimit() const { return limit_; }
  u32 GetCellFlags() const { return flags_; }

 private:
  const PRODUCT* product_;
  i32 amount_ = -1;
  i32 limit_ = -1;
  u32 flags_ = 0;
};

// The upgrade: its price beside a coin; no caption and no icon for a
// negative price.
class WarehouseUpgradeButton : public ImageButton {
 public:
  WarehouseUpgradeButton(GameWindow* window, i32 x, i32 y);
  void SetPrice(i32 price);
  i32 GetPrice() const { return price_; }
  // Hidden (no upgrade, or not affordable) it draws nothing: its picture
  // has no disabled frame, and state 0 would show the normal one.
  bool BeginDraw() override;

 private:
  i32 price_ = -2;  // none set yet
};

class WarehouseWindow : public SpritesWindow {
 public:
  static constexpr u32 kId = 0x57726873u;  // 'Wrhs'
  static constexpr i32 kWidth = 574;
  static constexpr i32 kPerRow = 7;
  static constexpr i32 kRowHeight = 82;
  static constexpr i32 kCountTime = 300;  // ms the money mirror counts

  // For the running level's rules and map; `selected` (may be null) is
  // chosen at once when it is in stock.
  WarehouseWindow(LevelRules& rules, LevelMap* map, const PRODUCT* selected);
  ~WarehouseWindow() override;

  bool OnKeyDown(u16 key, u32 extra) override;
  bool HitTest(i32 x, i32 y) const override;
  u32 OnCommand(GameButton* control) override;
  void OnControlDoubleClick(GameButton* control);
  bool OnDoubleClick(i32 x, i32 y, u32 button) override;
  void DrawForeground() override;

  // Chooses the button of a product (nothing when it has none).
  void SelectProduct(const PRODUCT* product);
  // Sells up to n of the chosen product; the units sold.
  i32 Sell(i32 n);
  // The next storage level for its price; false when none or too dear.
  bool Upgrade();

  const std::vector<WarehouseWindowButton*>& Buttons() const { return buttons_; }
  WarehouseWindowButton* GetSelected() const { return selected_; }
  ImageButton* GetSellOne() const { return sellOne_; }
  ImageButton* GetSellFive() const { return sellFive_; }
  WarehouseUpgradeButton* GetUpgradeButton() const { return upgrade_; }
  const ImageSprite* GetPicture() const { return picture_.get(); }  // the chosen product's
  i32 GetUpgradePrice() const { return upgradePrice_; }
  bool ShowsEmpty() const { return showEmpty_; }
  i32 GetShownMoney() const { return mirror_.GetShown(); }
  i32 GetSelectionTop() const { return selectionTop_; }
  // The selection plate as drawn, in window pixels: the chosen product's
  // name (its width once scaled), and the price pair's edges (the coin,
  // then the price one pixel right of it).
  float GetNameWidth() const;
  float GetPriceLeft() const { return priceX_; }
  float GetPriceRight() const;

 private:
  void LayoutButtons();
  void Choose(WarehouseWindowButton* button);
  void RefreshSellButtons();
  void RefreshUpgrade(bool withButton);
  const STOCKENTRY* SelectedEntry() const;
  void CountMoney();
  void DrawText(KGETextSpriteW* text, float x, float y) const;
  float CoinWidth() const;  // 0 without the coin

  LevelRules& rules_;
  LevelMap* map_;
  ButtonRowLayout row_;
  std::vector<WarehouseWindowButton*> buttons_;  // owned by the control list
  WarehouseWindowButton* selected_ = nullptr;
  const PRODUCT* selectedProduct_ = nullptr;
  std::unique_ptr<ImageSprite> picture_;
  std::unique_ptr<KGETextSpriteW> name_;
  float nameScale_ = 1.0f;
  std::unique_ptr<KGETextSpriteW> price_;
  std::unique_ptr<ImageSprite> coin_;
  float priceX_ = 0.0f;
  std::unique_ptr<KGETextSpriteW> count_;
  std::unique_ptr<KGETextSpriteW> empty_;
  bool showEmpty_ = false;
  ImageButton* sellOne_ = nullptr;
  ImageButton* sellFive_ = nullptr;
  WarehouseUpgradeButton* upgrade_ = nullptr;
  i32 upgradePrice_ = -1;
  MoneyCounter mirror_;
  std::unique_ptr<ImageSprite> moneyCoin_;
  std::unique_ptr<GameDigitalText> digits_;
  u32 saleSound_ = 0;
  i32 rows_ = 2;
  i32 top_ = 0;
  i32 selectionTop_ = 0;
  QuadBlockList pieces_;
};

// The scale the chosen product's name is drawn at, for its width in
// pixels: a name wider than 200 pixels is scaled down to them.
float WarehouseNameScale(float width);

// The warehouse window open in the game's window manager: the topmost one
// found by its id, until it begins to close; null otherwise.
WarehouseWindow* FindOpenWarehouse();

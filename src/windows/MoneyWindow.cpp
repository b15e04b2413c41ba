#include "windows/MoneyWindow.h"

#include "content/LevelTable.h"
#include "engine/DXLViewer.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/KGEBaseTextSprite.h"
#include "level/rules/LevelRules.h"
#include "resources/ResourceServices.h"
#include "ui/GameDigitalText.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"
#include "windows/PanelSkins.h"

namespace {

constexpr i32 kMiddleWidth = MoneyWindow::kWidth - 2 * MoneyWindow::kSideWidth;  // 170
constexpr i32 kDigitsX = MoneyWindow::kSideWidth + 46;
constexpr i32 kDigitsY = 8;
constexpr i32 kDigits = 5;
constexpr u32 kDigitFont = 1;
constexpr u32 kTextFont = 3;
constexpr float kTextMiddle = 14.0f;  // the texts stand centred on this line

const wchar* RegimeText(i32 regime) {
  const wchar* key = regime == 1 ? u"Hard" : u"Easy";
  const GameLanguage* language = GetGameLanguage();
  const wchar* text = language ? language->GetTextByName(u"regimes", key, true) : nullptr;
  return text ? text : key;
}

}  // namespace

MoneyWindow::MoneyWindow(LevelRules* rules) : GameWindow(kMoneyWindowId, false), rules_(rules) {
  const SKINRECT skin = SkinOf(skins::kMoneyFrame, kInterfaceImage);
  const i32 h = skins::kMoneyFrame.frameHeight;
  frame_.AddRow(0, 0, kSideWidth, h, skin);
  frame_.AddRow(kSideWidth, 0, kMiddleWidth, h, skin);
  frame_.AddRow(kSideWidth + kMiddleWidth, 0, kSideWidth, h, skin);
  rect_ = DXLRECT{0, 0, kWidth, h};

  const i32 money = rules_ ? rules_->Money().Get() : 0;
  counter_.SetTarget(money, 0, GameFrameTime(), 0);
  WindowManager* manager = GetWindowManager();
  digits_ = std::make_unique<GameDigitalText>(manager ? manager->FindFont(kDigitFont) : nullptr, 0, kDigits, false, 0);
  digits_->SetNumber(money);

  if (rules_) {
    const std::u16string name = GetLevelName(rules_->GetLevel());
    name_.reset(MakePanelText(name.c_str(), kTextFont));
    regime_.reset(MakePanelText(RegimeText(rules_->GetRegime()), kTextFont));
  }
  if (name_) {
    const i32 w = static_cast<i32>(name_->GetWidth()), th = static_cast<i32>(name_->GetHeight());
    nameX_ = static_cast<float>((kSideWidth - w - 5) / 2 + 5);
    nameY_ = kTextMiddle - static_cast<float>(th) / 2.0f;
  }
  if (regime_) {
    const i32 w = static_cast<i32>(regime_->GetWidth()), th = static_cast<i32>(regime_->GetHeight());
    regimeX_ = static_cast<float>(kWidth - (kSideWidth - 6 + w) / 2 - 7);
    regimeY_ = kTextMiddle - static_cast<float>(th) / 2.0f;
  }
  if (rules_) rules_->Money().AddListener(this);
  OnScreenResize();
}

MoneyWindow::~MoneyWindow() {
  Unregister();
  if (rules_) rules_->Money().RemoveListener(this);
}

i32 MoneyWindow::GetDigitsValue() const { return digits_ ? digits_->GetNumber() : 0; }

void MoneyWindow::SetMoney(i32 value, bool atOnce) {
  counter_.SetTarget(value, atOnce ? 0 : kCountTime, GameFrameTime(), 0);
  if (atOnce && digits_) digits_->SetNumber(value);
}

void MoneyWindow::OnMoneyChanged() {
  if (rules_) SetMoney(rules_->Money().Get(), !rules_->IsEntered());
}

void MoneyWindow::OnScreenResize() {
  const i32 x = (GetResourceServices().screen.width - kWidth) / 2;
  rect_ = DXLRECT{x, 0, x + kWidth, skins::kMoneyFrame.frameHeight};
}

void MoneyWindow::Step() {
  if (counter_.GetShown() == counter_.GetTarget()) return;
  counter_.Update(GameFrameTime());
  if (digits_ && digits_->GetNumber() != counter_.GetShown()) digits_->SetNumber(counter_.GetShown());
}

// The count goes on while the window is hidden; only the drawing stops.
void MoneyWindow::Draw() {
  Step();
  if (state_.GetEnableBits() == kStateHidden) return;
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  viewer->Translate(static_cast<float>(rect_.left), static_cast<float>(rect_.top));
  viewer->GetTransform(&transform_);
  viewer->ApplyTransform(nullptr);
  frame_.DrawPieces();
  const auto text = [&](KGETextSpriteW* sprite, float x, float y) {
    if (!sprite) return;
    viewer->SetTransform(&transform_);
    viewer->Translate(x, y);
    viewer->ApplyTransform(nullptr);
    sprite->Draw();
  };
  text(name_.get(), nameX_, nameY_);
  text(regime_.get(), regimeX_, regimeY_);
  viewer->SetTransform(&transform_);
  viewer->Translate(static_cast<float>(kDigitsX), static_cast<float>(kDigitsY));
  viewer->ApplyTransform(nullptr);
  if (digits_) digits_->Draw();
  viewer->SetTransform(&transform_);
  viewer->ApplyTransform(nullptr);
}

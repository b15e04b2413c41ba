// MoneyWindow - the strip at the top centre of the level screen ('Mony',
// not modal): the level's name on the left, the player's money as a
// counting five-digit number in the middle and the difficulty on the right,
// on three wooden boards (200, 170 and 200 pixels) cut from the money
// frame of the "interface" image.
//
// The level panel makes and owns it. It hears the level's money: before
// the level is entered a change shows at once, afterwards the figure counts
// to the new value over 300 ms of the frame clock. It re-centres itself on
// a change of the screen's width. The level's rules must outlive it.
#pragma once

#include <memory>

#include "base/Types.h"
#include "level/rules/LevelMoney.h"
#include "level/rules/MoneyCounter.h"
#include "ui/GameWindow.h"
#include "ui/WindowSprites.h"
#include "windows/LevelPanelParts.h"

class GameDigitalText;
class KGETextSpriteW;
class LevelRules;

constexpr u32 kMoneyWindowId = MakeWindowId('M', 'o', 'n', 'y');

class MoneyWindow : public GameWindow, public MoneyWindowPart, private MoneyListener {
 public:
  static constexpr i32 kWidth = 570;
  static constexpr i32 kSideWidth = 200;  // the name's and the difficulty's boards
  static constexpr i32 kCountTime = 300;  // ms of a count after the level is entered

  // For the level of these rules (null: no level, the figure stays 0).
  explicit MoneyWindow(LevelRules* rules);
  ~MoneyWindow() override;

  // The figure goes to `value`: at once, or counted over 300 ms from now.
  void SetMoney(i32 value, bool atOnce);

  void OnScreenResize() override;  // x = (screen width - 570) / 2, y 0
  i32 GetX() const override { return rect_.left; }
  void Draw() override;

  i32 GetShownMoney() const { return counter_.GetShown(); }
  i32 GetDigitsValue() const;
  KGETextSpriteW* GetNameText() const { return name_.get(); }
  KGETextSpriteW* GetRegimeText() const { return regime_.get(); }
  float GetNameX() const { return nameX_; }
  float GetRegimeX() const { return regimeX_; }
  const WindowSprites& Frame() const { return frame_; }

 private:
  void OnMoneyChanged() override;
  void Step();  // the figure at the frame clock's now

  LevelRules* rules_;
  WindowSprites frame_;
  MoneyCounter counter_;
  std::unique_ptr<GameDigitalText> digits_;
  std::unique_ptr<KGETextSpriteW> name_;
  std::unique_ptr<KGETextSpriteW> regime_;
  float nameX_ = 0.0f, nameY_ = 0.0f;
  float regimeX_ = 0.0f, regimeY_ = 0.0f;
};

// BonusButton - one bonus slot's button above the level panel's strip
// (command 0x4c500002, the slot's bonus record as its data): ready (state
// 1), active (state 3: raised 12 pixels, with a line of the effect's time
// left) or recharging (state 2: over the frame of its visual state, the
// face and the icon fill up from the top as the slot charges; nothing
// fills at a charge of 0). It follows the slot's record as the level refreshes it,
// animating between the states: rising when used, sinking when the effect
// runs out, one flash when charged again. The hand cursor shows only while
// it is ready; the panel uses the slot only then.
//
// It sits among the panel's controls and in the panel's bonus slot, which
// it takes when made and clears when deleted (the panel owns it there). Its face is the "level" sheet's bonus
// piece (frames 1 to 3 the visual states, 4 active, 0 and 5 the charged and
// empty faces a recharge fills between), its icon the bonus's own.
#pragma once

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "ui/ActiveButton.h"
#include "windows/LevelPanelParts.h"

class LevelPanel;
class Sprite;
class SpriteEffectList;

constexpr i32 kBonusButtonWidth = 54;
constexpr i32 kBonusButtonHeight = 48;

// Bonus button states.
constexpr u32 kBonusNew = 0;
constexpr u32 kBonusReady = 1;
constexpr u32 kBonusRecharging = 2;
constexpr u32 kBonusActive = 3;

class BonusButton : public ActiveButton, public BonusButtonPart {
 public:
  BonusButton(LevelPanel& panel, u32 slot);
  ~BonusButton() override;
  BonusButton(const BonusButton&) = delete;
  BonusButton& operator=(const BonusButton&) = delete;

  // BonusButtonPart
  i32 GetWidth() const override { return kBonusButtonWidth; }
  void PlaceAt(i32 x, i32 y) override { SetPosition(x, y); }
  void UpdateState(const BONUSSLOT& slot, bool animate) override;
  bool IsReady() const override { return bonusState_ == kBonusReady; }
  bool Contains(i32 x, i32 y) const override { return HitTest(x, y); }

  // The base position; active, the button stands 12 pixels higher and its
  // rectangle reaches 12 further down, to the strip.
  void SetPosition(i32 x, i32 y);
  void Draw() override;
  u32 GetCursorId() const override { return bonusState_ == kBonusReady ? kCursorHand : kCursorArrow; }

  u32 GetSlot() const { return slot_; }
  u32 GetBonusState() const { return bonusState_; }
  i32 GetOffset() const { return offset_; }
  float GetLineValue() const { return line_; }
  float GetFillValue() const { return fill_; }
  // The recharge fill's edge: exact = 42 x value + 3 and its ceiling (0
  // when no fill is built: at 0 and at 1).
  float GetFillExact() const { return fillExact_; }
  i32 GetFillRows() const { return fillRows_; }
  bool IsMoving() const { return move_ != nullptr; }
  bool IsFlashing() const { return flash_ != nullptr; }
  bool IsLinePopping() const { return pop_ != nullptr; }

 private:
  void SetFill(float value);
  void DrawFace(i32 frame, i32 iconFrame, u32 colour);  // iconFrame -1: no icon
  void DrawFill(u32 colour);
  void DrawLine();

  LevelPanel& panel_;
  u32 slot_;
  Sprite* icon_ = nullptr;
  i32 baseX_ = 0, baseY_ = 0;
  i32 offset_ = 0;
  u32 bonusState_ = kBonusNew;
  float line_ = 0.0f;
  float fill_ = 0.0f;
  float fillExact_ = 0.0f;
  i32 fillRows_ = 0;
  SpriteEffectList* move_ = nullptr;
  SpriteEffectList* pop_ = nullptr;
  SpriteEffectList* flash_ = nullptr;
  DXLDRAWSTATE flashState_{};
};

// BonusesWindow - the choice of up to three bonuses before a level ('Bonu',
// modal): a wide panel for every bonus the current profile owns, and the
// three chosen ones in three slots in the order of choosing. Clicking a
// panel chooses its bonus (a fourth replaces the third) or lets it go;
// clicking a filled slot lets its bonus go and the later ones move one slot
// to the left. "ok", Escape and Enter hand the choice back to the caller's
// record and close the window; the open level window then shows it. The
// window is cut from the sheet "bonuses_wnd" (windows/BonusesSheet.h): its
// frame, the slot plate, the slots and the panels' faces, a face's state
// frame chosen by the panel's state and check and tinted by the state.
//
// The caller's record is taken as it stands but checked first: a count
// above three, an index outside 0..5 and a repeated index are dropped.
// The record must outlive the window.
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "content/ProfileProgress.h"
#include "ui/ImageButton.h"
#include "ui/SpritesWindow.h"

class ImageSprite;
class KGETextSpriteW;
class MapProfile;
struct LEVELINFO;

constexpr u32 kBonusesOk = 0xB3D00000u;
constexpr u32 kBonusesPanel = 0xB3D00001u;
constexpr u32 kBonusesSlot = 0xB3D00002u;

// A bonus the profile owns: its icon, name, description and a check mark
// while it is chosen; the face is tinted by the state.
class BonusWindowPanel : public ImageButton {
 public:
  static constexpr i32 kWidth = 637;
  static constexpr i32 kHeight = 45;
  BonusWindowPanel(GameWindow* window, i32 bonus, i32 x, i32 y, bool checked);
  void SetChecked(bool on) { checked_ = on; }
  bool IsChecked() const { return checked_; }
  i32 GetBonus() const { return bonus_; }
  // 0xFF808080 normal, 0xFFA0A0A0 hover, 0xFFC0C0C0 pressed, faded between.
  u32 FrameColour() const;
  // The face frame of the state and the check (windows/BonusesSheet.h).
  i32 FaceFrame() const;
  void DrawFrames() override;
  void LayoutContent() override;  // the icon at the left, the name after it

 private:
  i32 bonus_;
  bool checked_;
  std::unique_ptr<KGETextSpriteW> description_;
  float descriptionY_ = 0.0f;
  std::unique_ptr<ImageSprite> check_;
};

// One of the three slots: the chosen bonus's icon, hidden while empty.
class BonusWindowSlot : public ImageButton {
 public:
  static constexpr i32 kWidth = 63;
  BonusWindowSlot(GameWindow* window, i32 position, i32 x, i32 y);
  // -1 empties and hides it; the same bonus again changes nothing.
  void SetBonus(i32 bonus);
  i32 GetBonus() const { return bonus_; }
  i32 GetPosition() const { return position_; }

 private:
  i32 position_;
  i32 bonus_ = -2;  // none set yet
};

class BonusesWindow : public SpritesWindow {
 public:
  static constexpr u32 kId = 0x426F6E75u;  // 'Bonu'
  static constexpr i32 kWidth = 720;
  static constexpr i32 kPanelStep = 47;

  // For the level of that index; `choice` is read now and written on apply.
  BonusesWindow(i32 level, BONUSSELECTION* choice);

  bool OnKeyDown(u16 key, u32 extra) override;
  u32 OnCommand(GameButton* control) override;
  void DrawForeground() override;

  void Choose(i32 bonus);
  void Remove(i32 bonus);
  // The working choice into the caller's record; the level window shows it.
  void Apply();

  const BONUSSELECTION& GetWorking() const { return working_; }
  const std::vector<BonusWindowPanel*>& Panels() const { return panels_; }
  BonusWindowSlot* GetSlot(i32 i) const { return slots_[i]; }
  bool HasClosingPiece() const { return closingPiece_; }
  i32 GetLevel() const { return level_; }
  const LEVELINFO* GetLevelInfo() const { return info_; }  // null without a level table
  MapProfile* GetProfile() const { return profile_; }

 private:
  void RefreshSlots(u32 from);
  BonusWindowPanel* PanelOf(i32 bonus) const;

  i32 level_;
  const LEVELINFO* info_;
  MapProfile* profile_;  // the current profile when opened
  BONUSSELECTION* choice_;
  BONUSSELECTION working_{};
  bool chosen_[6] = {};
  std::vector<BonusWindowPanel*> panels_;  // owned by the control list
  BonusWindowSlot* slots_[kBonusSelectionSlots] = {};
  bool closingPiece_ = false;
  QuadBlockList pieces_;
};

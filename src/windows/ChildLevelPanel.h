// ChildLevelPanel - the base of every panel shown in the middle of the level
// panel (the empty panel, the empty place's panels, the panels of the level
// objects). The level panel owns every child panel ever made for its level
// and shows one at a time; a panel is made once per kind and found again
// (LevelPanel::FindChildPanel).
//
// Show: the shown panel (if another) hides, this one becomes current, its
// button group joins the level panel's input and drawing, it takes the
// child area (re-arranged when the panel's layout generation moved since
// it last saw it), refreshes its buttons and calls OnShown. Hide reverses
// it; a hidden panel stays alive until the level panel goes.
//
// Buttons are made by the factories below and kept in two lists: list 0
// the buttons without a product requirement, list 1 those with one (the
// stock's changes re-evaluate list 1, the money's list 0). The group owns
// them.
#pragma once

#include <vector>

#include "base/Types.h"
#include "ui/GameControls.h"
#include "ui/WindowSprites.h"
#include "windows/LevelPanelButton.h"

struct PRODUCT;

class BaseLevelPoint;
class CLPLevelBlock;
class LevelPanel;

// Kinds of child panels.
using ChildPanelKind = i32;
constexpr ChildPanelKind kPanelKindUnset = -1;
constexpr ChildPanelKind kPanelKindEmpty = -2;

// Commands of the child panels (top byte 0xc9: routed to the shown panel).
enum PanelCommand : u32 {
  kPanelLevelBlock = 0xc9000001u,
  kPanelRemove = 0xc9000002u,
  kPanelUpgrade = 0xc9000003u,
  kPanelClear = 0xc9000006u,
  kPanelBack = 0xc9000007u,
  kPanelEmptyCell = 0xc9000008u,
};
constexpr u32 kPanelCommandMask = 0xFF000000u;
constexpr u32 kPanelCommandTop = 0xc9000000u;

// The central area the panels lay their content in.
constexpr i32 kPanelCentralWidth = 420;
constexpr i32 kBackCellWidth = 49;

class ChildLevelPanel : public WindowSprites {
 public:
  explicit ChildLevelPanel(LevelPanel& owner);  // joins the panel's list
  ~ChildLevelPanel() override;

  void GetSize(i32* width, i32* height) const override;
  void SetSize(i32 /*width*/, i32 /*height*/) override {}
  virtual void OnShown() {}
  virtual void OnHidden() {}
  // Builds the background and places the buttons for the current size.
  virtual void Arrange() {}
  virtual void Draw();
  virtual void RefreshButtons();                    // list 0, buttons with a count
  virtual void RefreshProductButtons(u32 product);  // list 1 (0: every product)
  virtual void Refresh() {}
  // A button's command; 0 when not handled. The base handles the remove
  // command and answers 0 for it too (the button stays as the click left
  // it); derived panels call it last.
  virtual u32 OnCommand(GameButton* button);

  void Show();
  void Hide();
  // Takes the child area of the level panel, re-arranging on a new layout
  // generation (or always with force).
  void TakeArea(bool force);

  i32 GetLeftMargin() const { return (width_ - kPanelCentralWidth) / 2; }
  i32 GetRightMargin() const { return width_ - kPanelCentralWidth - GetLeftMargin(); }
  // The background from "level" sheet pieces, with a notch between `from`
  // and `to` when from < to.
  void BuildBackground(i32 from, i32 to);

  // Factories; a null return leaves the cell empty.
  LevelPanelButton* CreateBackButton(const ButtonRowLayout& layout);
  LevelPanelButton* CreateEmptyButton(const ButtonRowLayout& layout, i32 cell, u32 command);
  LevelPanelButton* CreateButton(const ButtonRowLayout& layout, i32 cell, u32 command, const wchar* icon, i32 count,
                                 const PRODUCT* product);
  // Once per panel: a one-cell 64-pixel row with the remove command about `point`.
  LevelPanelButton* CreateRemoveButton(BaseLevelPoint* point);
  LevelPanelButton* CreateUpgradeButton(const ButtonRowLayout& layout, i32 cell);
  // Enabled only while its point is idle (BaseLevelPoint::IsBusy) and not damaged.
  void RefreshRemoveButton();
  // A new level block (the old one goes).
  CLPLevelBlock* CreateLevelBlock();
  CLPLevelBlock* GetLevelBlock() const { return levelBlock_; }

  // Kept by the buttons.
  void ForgetButton(LevelPanelButton* button);
  void MoveButton(LevelPanelButton* button, i32 list);
  void DeleteButtons();  // every button of both lists (the remove button too)

  LevelPanel* GetOwner() const { return owner_; }
  ChildPanelKind GetKind() const { return kind_; }
  bool IsShown() const { return shown_; }
  i32 GetX() const { return x_; }
  i32 GetY() const { return y_; }
  i32 GetWidth() const { return width_; }
  i32 GetHeight() const { return height_; }
  u32 GetGeneration() const { return generation_; }
  GameControls& Group() { return group_; }
  const std::vector<LevelPanelButton*>& Buttons(i32 list) const { return lists_[list & 1]; }
  LevelPanelButton* GetRemoveButton() const { return removeButton_; }

 protected:
  LevelPanel* owner_;
  ChildPanelKind kind_ = kPanelKindUnset;
  bool shown_ = false;
  i32 x_ = 0, y_ = 0, width_ = 0, height_ = 0;
  GameControls group_;
  u32 generation_ = 0;
  bool arranged_ = false;
  LevelPanelButton* removeButton_ = nullptr;
  CLPLevelBlock* levelBlock_ = nullptr;  // in the group
  std::vector<LevelPanelButton*> lists_[2];
};

// ProfilesWindow and NewProfileWindow - the player profiles: the profiles
// window lists them in a scrolling list (rows 47 pixels apart, 48 high,
// below a new-profile button), lets the player choose one, delete one after
// a confirmation or make one in the new-profile window, which asks for a
// name and whether tutorials are wanted. Texts: the "profiles_window"
// section. The window manager knows the profiles window as its profiles
// window while it lives; it owns a new-profile window opened from it.
//
// Choosing another profile leaves a level still open first (saved in the
// old profile's file), also when the choice then fails. Without a current
// profile the cancel button is hidden and Escape does nothing: the window
// can only be left by choosing or making a profile.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/ActiveButton.h"
#include "ui/BaseDialogWindow.h"
#include "ui/LifeGuard.h"
#include "ui/SpritesWindow.h"

class CheckBox;
class ImageButton;
class KGETextSpriteW;
class MapProfile;
class NewProfileWindow;
class ProfileRoster;
class ProfilesWindow;
class Sprite;

class ProfilePanelCross;

// One row: its profile, its index, its delete cross and its name. Row and
// cross are both among the window's controls; whichever goes first, the
// other forgets it (a row deletes its cross).
class ProfilePanel : public ActiveButton {
 public:
  static constexpr u32 kCommand = 0x79000100;
  static constexpr i32 kWidth = 371;
  static constexpr i32 kHeight = 48;

  ProfilePanel(ProfilesWindow* window, MapProfile* profile, i32 row, const std::u16string& name, bool current);
  ~ProfilePanel() override;

  bool HitTest(i32 x, i32 y) const override;  // the window's hovered row
  void Draw() override;                       // only in the window's list pass
  void SetRow(i32 row);                       // the rectangles follow

  MapProfile* GetProfile() const { return profile_; }
  i32 GetRow() const { return row_; }
  bool IsCurrent() const { return current_; }
  void SetCurrent(bool current) { current_ = current; }  // its check mark
  ProfilePanelCross* GetCross() const { return cross_; }
  void ForgetCross() { cross_ = nullptr; }
  KGETextSpriteW* GetNameText() const { return name_.get(); }  // on its line, 32 high
  float GetNameScale() const { return nameScale_; }             // below 1 when wider than its box

 private:
  ProfilesWindow* window_;
  MapProfile* profile_;
  i32 row_;
  bool current_;
  ProfilePanelCross* cross_;
  std::unique_ptr<KGETextSpriteW> name_;
  float nameScale_ = 1.0f;
};

class ProfilePanelCross : public ActiveButton {
 public:
  static constexpr u32 kCommand = 0x79000004;
  ProfilePanelCross(ProfilesWindow* window, ProfilePanel* panel);
  ~ProfilePanelCross() override;  // its panel forgets it
  bool HitTest(i32 x, i32 y) const override;  // the window's hovered cross row
  void Draw() override;
  ProfilePanel* GetPanel() const { return panel_; }
  void ForgetPanel() { panel_ = nullptr; }

 private:
  ProfilesWindow* window_;
  ProfilePanel* panel_;
};

class NewProfileButton : public ActiveButton {
 public:
  static constexpr u32 kCommand = 0x79000003;
  NewProfileButton(ProfilesWindow* window, i32 x, i32 y, i32 width);
  bool HitTest(i32 x, i32 y) const override;  // in the viewport, scrolled
  void Draw() override;

 private:
  ProfilesWindow* window_;
  std::unique_ptr<KGETextSpriteW> caption_;
};

class ProfilesWindow : public SpritesWindow {
 public:
  static constexpr u32 kId = 0x50726F66u;  // "Prof"
  static constexpr i32 kWidth = 488;
  static constexpr u32 kCancel = 0x79000001;
  static constexpr i32 kRowStep = 47;
  static constexpr i32 kRowsTop = 78;
  static constexpr i32 kViewHeight = 236;

  // chosen: after another profile became current; currentDeleted: before
  // the current profile is deleted; currentReplaced: after that deletion,
  // once the row that took its place is current (or none is left). Each
  // may be null.
  ProfilesWindow(ProfileRoster* roster, std::function<void()> chosen, std::function<void()> currentDeleted,
                 std::function<void()> currentReplaced = nullptr);
  ~ProfilesWindow() override;  // deletes an open new-profile window

  void SelectRow(i32 row);  // scrolled into view
  void Choose();
  void DeleteRow(ProfilePanel* panel);
  void AddProfile(MapProfile* profile);  // the new-profile window's answer
  void UpdateVisibleRows();
  void UpdateCancelButton();
  void TrackPointer(i32 x, i32 y);  // window coordinates

  bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys) override;
  void OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys) override;
  void OnMouseUp(i32 x, i32 y, u32 button, u32 keys) override;
  bool OnKeyDown(u16 key, u32 extra) override;
  u32 OnCommand(GameButton* control) override;
  void OnScroll() override { UpdateVisibleRows(); }
  void DrawBackground() override;

  i32 GetRowCount() const { return static_cast<i32>(rows_.size()); }
  ProfilePanel* GetRow(i32 i) const { return i >= 0 && i < GetRowCount() ? rows_[static_cast<size_t>(i)] : nullptr; }
  i32 GetFirstVisible() const { return first_; }
  i32 GetLastVisible() const { return last_; }
  i32 GetSelected() const { return selected_; }
  MapProfile* GetSelectedProfile() const { return selectedProfile_; }
  i32 GetHovered() const { return hovered_; }
  i32 GetHoveredCross() const { return hoveredCross_; }
  i32 GetScroll() const;
  const DXLRECT& GetViewport() const { return viewport_; }
  i32 GetListTop() const { return contentTop_; }
  ImageButton* GetCancelButton() const { return cancel_; }
  NewProfileButton* GetNewButton() const { return newButton_; }
  NewProfileWindow* GetNewWindow() const { return newWindow_; }
  void SetNewWindow(NewProfileWindow* window) { newWindow_ = window; }
  ProfileRoster* GetRoster() const { return roster_; }
  Sprite* GetSkin() const { return skin_; }
  bool IsDrawingList() const { return drawingList_; }

 private:
  void UpdateScrollRange();
  static bool OnDeleteAnswer(uintptr_t window, uintptr_t panel, u32 answer);

  ProfileRoster* roster_;
  std::function<void()> chosen_;
  std::function<void()> currentDeleted_;
  std::function<void()> currentReplaced_;
  i32 contentTop_ = 0;
  DXLRECT viewport_{0, 0, 0, 0};
  ImageButton* cancel_ = nullptr;
  NewProfileButton* newButton_ = nullptr;
  std::vector<ProfilePanel*> rows_;
  i32 first_ = 0;
  i32 last_ = -1;
  i32 hovered_ = -1;
  i32 hoveredCross_ = -1;
  i32 selected_ = -1;
  MapProfile* selectedProfile_ = nullptr;
  NewProfileWindow* newWindow_ = nullptr;
  Sprite* back_ = nullptr;
  Sprite* skin_ = nullptr;
  bool drawingList_ = false;
  BaseDialogWindow* confirm_ = nullptr;  // the delete confirmation while open
  std::unique_ptr<LifeGuard> confirmAlive_;
};

class NewProfileWindow : public SpritesWindow {
 public:
  static constexpr u32 kId = 0x4E657750u;  // "NewP"
  static constexpr i32 kWidth = 488;
  static constexpr u32 kOk = 0x79000001;
  static constexpr u32 kCancel = 0x79000002;
  static constexpr u32 kTutorial = 0x787061a1;

  // callback: the new profile (its tutorial flag set from the box).
  NewProfileWindow(ProfileRoster* roster, const wchar* name, bool cancelAllowed,
                   std::function<void(MapProfile*)> callback, u32 showDelay);
  ~NewProfileWindow() override;

  // The name test: OK shows only for an acceptable name.
  void OnNameChanged();
  void OnEditChanged(GameEdit* /*edit*/) override { OnNameChanged(); }
  // Makes the profile: false (the error shown, the window open) on failure.
  bool Create();

  bool OnKeyDown(u16 key, u32 extra) override;
  u32 OnCommand(GameButton* control) override;
  void DrawForeground() override;

  bool IsNameAcceptable() const { return acceptable_; }
  ImageButton* GetOkButton() const { return ok_; }
  ImageButton* GetCancelButton() const { return cancel_; }
  CheckBox* GetTutorialBox() const { return tutorial_; }

 private:
  ProfileRoster* roster_;
  bool cancelAllowed_;
  std::function<void(MapProfile*)> callback_;
  ImageButton* ok_ = nullptr;
  ImageButton* cancel_ = nullptr;
  CheckBox* tutorial_ = nullptr;
  std::unique_ptr<KGETextSpriteW> label_;
  float labelX_ = 0.0f;
  float labelY_ = 0.0f;
  bool acceptable_ = false;
};

// The store's error dialog: the caption and the text of their keys in the
// "profile_errors" section, with an OK button.
class ProfileErrorDialog : public DialogWindow {
 public:
  ProfileErrorDialog(const wchar* captionKey, const wchar* textKey);
  const std::u16string& GetTextKey() const { return textKey_; }

 private:
  std::u16string textKey_;
};

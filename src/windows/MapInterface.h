// MapInterface - the window ('MapI', not modal) that frames the
// level-selection map while the map screen lives: the greeting with the
// current profile's name (opens the profiles window), "back" to the main
// screen, "options", "awards", the medals panel with its click area, and
// the regime button that switches the profile between Easy and Hard.
// Between its top and bottom bands the pointer goes through to the map.
// It registers itself as the window manager's map interface.
//
// The map is its host: the profiles window's two callbacks and the moment
// the regime fade covers the screen are passed on to it.
#pragma once

#include <memory>

#include "base/Types.h"
#include "engine/DXLRect.h"
#include "resources/ImageSprite.h"
#include "ui/ActiveButton.h"
#include "ui/GameWindow.h"
#include "ui/WindowSprites.h"

class ImageButton;
class InvisibleButton;
class KGETextSpriteW;
class MapMedalsPanel;
class MapProfile;
class SpriteEffectList;

constexpr u32 kMapInterfaceId = MakeWindowId('M', 'a', 'p', 'I');
constexpr u32 kMapOptionsCommand = 0x24FE0201u;
constexpr u32 kMapRegimeCommand = 0x24FE0202u;
constexpr u32 kMapAwardsCommand = 0x24FE0203u;
constexpr u32 kMapGreetingCommand = 0x24FE0204u;
constexpr u32 kMapBackCommand = 0x24FE0205u;
constexpr u32 kMapMedalsCommand = 0x24FE0206u;

// What the interface asks of the level-selection map (LevelSelectMap).
class MapInterfaceHost {
 public:
  virtual ~MapInterfaceHost() = default;
  // The profiles window made another profile current.
  virtual void OnProfileChosen() = 0;
  // The profiles window deletes the current profile (it is still there).
  virtual void OnCurrentProfileDeleted() = 0;
  // After that deletion: the profile that took its place is current, or
  // none is left.
  virtual void OnCurrentProfileReplaced() = 0;
  // The regime changed and the fade has covered the screen: rebuild the map.
  virtual void OnRegimeSwitched() = 0;
};

// The greeting at the top centre: "welcom" while the profile has been
// opened fewer than twice, else "hello", in game font 3 with the profile
// as the item-description object, so the text can name the player;
// without a profile it shows nothing.
class ProfileButton : public ActiveButton {
 public:
  // Centred on a window `windowWidth` wide, its middle at y 12, wrapped to
  // `width` + 1 and 24 high; the rectangle grown by 2 on every side.
  ProfileButton(GameWindow* parent, ButtonList* list, u32 id, MapProfile* profile, i32 width, i32 windowWidth);
  ~ProfileButton() override;
  void Draw() override;

  MapProfile* GetProfile() const { return profile_; }
  KGETextSpriteW* GetText() const { return text_.get(); }
  bool IsWelcome() const { return welcome_; }

 private:
  MapProfile* profile_;
  std::unique_ptr<KGETextSpriteW> text_;
  bool welcome_ = false;
};

// The regime button: an indicator of five frames, the captions "Easy" and
// "Hard", and while the Hard regime is locked a chain and a lock over it
// and a hint. Its flag is the Hard regime. Unlocking with the animation lets
// the chain fall away (its effect list) and plays the lock's opening.
class RegimeButton : public ActiveButton, public WindowSprites {
 public:
  static constexpr i32 kWidth = 171;
  static constexpr i32 kHeight = 60;
  static constexpr u32 kEasyColor = 0xFFFFD8ABu;  // the caption of the regime not chosen
  static constexpr u32 kChosenColor = 0xFFFFFFFFu;

  RegimeButton(GameWindow* parent, ButtonList* list, u32 id);
  ~RegimeButton() override;

  void SetFlag(bool flag, bool instant, u32 time) override;
  // Enabled or disabled, only on a change: the base's state, the lock's
  // animation from its start, the hint made (disabled) or dropped, the
  // captions' colours. Enabling with a fade (not instant) animates the
  // chain and the lock away.
  void Show(bool on, bool instant, u32 time) override;
  void SetPosition(i32 x, i32 y);
  void Draw() override;

  // The indicator frame drawn now: 0 disabled, else 1, +2 Hard, +1 hovered or pressed.
  u32 GetIndicatorFrame() const;
  u32 GetCaptionColor(u32 regime) const { return captionColor_[regime & 1]; }
  bool IsChainAnimating() const { return chainFlag_; }
  bool IsLockAnimating() const { return lockFlag_; }
  // The opening was played (its chain effects run), with or without pictures.
  bool IsOpening() const { return chainEffects_ != nullptr; }
  bool IsChainDrawn() const;
  bool IsLockDrawn() const;
  ImageSprite* GetChain() const { return chain_.get(); }
  ImageSprite* GetLock() const { return lock_.get(); }

 private:
  void SetCaptionColors();

  QuadBlockList frames_[5];
  std::unique_ptr<KGETextSpriteW> captions_[2];
  u32 captionColor_[2] = {kChosenColor, kEasyColor};
  std::unique_ptr<ImageSprite> chain_;
  std::unique_ptr<ImageSprite> lock_;
  SpriteEffectList* chainEffects_ = nullptr;
  u32 lockStart_ = 0;
  u32 lockFrameMs_;  // ms a frame of the lock's opening
  bool chainFlag_ = false;
  bool lockFlag_ = false;
  bool enabled_ = true;
};

class MapInterface : public GameWindow, public WindowSprites {
 public:
  static constexpr i32 kMedalsWidth = 342;
  static constexpr i32 kMedalsHeight = 48;
  static constexpr i32 kButtonWidth = 169;
  static constexpr i32 kSideBand = 180;  // the top and bottom bands' corners
  static constexpr i32 kTopBand = 72;
  static constexpr i32 kBottomBand = 70;
  static constexpr i32 kGreetingBand = 27;

  // A null host: the callbacks do nothing.
  explicit MapInterface(MapInterfaceHost* host);
  ~MapInterface() override;

  // What the interface covers along the edges of a w x h screen: at the
  // bottom the awards' band with its stud, the medals' plate and the
  // regime's band with its stud; at the top the bands of "back" and
  // "options" with their studs and the greeting's plate. The map keeps its
  // nodes' signs and medals clear of them.
  static constexpr u32 kBottomPanels = 3;  // the first ones
  static constexpr u32 kEdgePanels = 6;
  static void GetEdgePanels(i32 w, i32 h, DXLRECT (&out)[kEdgePanels]);

  // Frame, greeting, medals area and buttons for the screen's size.
  void Layout();
  void OnScreenResize() override { Layout(); }
  // A new greeting for the current profile.
  void CreateProfileButton();
  // The regime button's flag and lock for the current profile; the
  // unlocking animates only when asked.
  void RefreshRegimeButton(bool animate);
  // The point (screen) lies on "back", "options" or the greeting.
  bool IsOverButtons(i32 x, i32 y) const;
  MapMedalsPanel* GetMedalsPanel() const { return medals_.get(); }

  void Draw() override;
  bool HitTest(i32 x, i32 y) const override;
  u32 OnCommand(GameButton* control) override;
  // The modifier word of the release that clicks (Shift alone: 2) is kept
  // for the awards window's test mode.
  void OnMouseUp(i32 x, i32 y, u32 button, u32 keys) override;

  MapInterfaceHost* GetHost() const { return host_; }
  ProfileButton* GetProfileButton() const { return greeting_; }
  RegimeButton* GetRegimeButton() const { return regime_; }
  InvisibleButton* GetMedalsArea() const { return medalsArea_; }
  GameButton* GetButton(u32 command) const;  // "back", "options", "awards"

 private:
  // A control with the command is moved, else one made.
  void AddOrMoveButton(u32 command, const wchar* key, i32 x, i32 y);
  void BuildFrame(i32 w, i32 h);

  MapInterfaceHost* host_;
  std::unique_ptr<MapMedalsPanel> medals_;
  ProfileButton* greeting_ = nullptr;
  RegimeButton* regime_ = nullptr;
  InvisibleButton* medalsArea_ = nullptr;
  u32 lastKeys_ = 0;
};

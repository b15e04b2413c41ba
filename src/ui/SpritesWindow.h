// SpritesWindow - the skinned dialog-style window: its frame and background
// are WindowSprites quads cut from the "interface" image (its content size
// is its own size), it has a caption plate on its title, drops in from above
// the screen when shown and lifts out when closed, and may darken the dialog
// below it while it is open.
//
// The window manager keeps the open sprite windows in the order they were
// opened. A window made with dimsPrevious darkens the last one over 200 ms
// (to black at alpha 96 over its opaque pixels, through the sprite batch's
// stencil) and lightens it again when it closes, from the darkening reached.
// The darkening runs on the millisecond clock.
#pragma once

#include <memory>

#include "ui/CaptionPlate.h"
#include "ui/DragWindow.h"
#include "ui/WindowSprites.h"

class CheckBox;
class DXLViewer;
class ImageButton;
class Sprite;

class SpritesWindow : public DragWindow, public WindowSprites {
 public:
  static constexpr u32 kShowTime = 200;
  static constexpr u32 kShowDelay = 50;  // added to every show's delay
  static constexpr u32 kDimTime = 200;   // ms of a full darkening
  static constexpr u32 kDimAlpha = 96;   // the darkest

  SpritesWindow(u32 id, bool dimsPrevious, bool modal);
  ~SpritesWindow() override;

  void Draw() override;
  void Close() override;
  // Places the window at its default position; with the effect it drops in
  // after `delay` ms (and 50 more).
  virtual void Show(u32 delay, bool withEffect);
  virtual void DrawBackground();  // the skin quads
  virtual void DrawForeground();  // the caption plate and the controls

  void GetSize(i32* width, i32* height) const override;
  void SetSize(i32 width, i32 height) override;

  void Dim();
  void Undim();
  // The top skin row at (0, 0), `width` wide.
  void AddTopRow(i32 width);
  // The body frame below the content, `units` middle heights tall.
  void AddBodyFrame(i32 units);
  // The title rectangle across the top and a caption plate with the text.
  void SetCaption(const wchar* text);
  // A button of the standard skin, 178 wide, into the own controls: in a
  // row of `perRow` buttons (centred on the window) among `rows` rows ending
  // 17 pixels above the window's bottom, at place `index` counted row by row.
  ImageButton* AddButton(u32 id, const wchar* caption, i32 perRow, i32 rows, i32 index);

  // The standard window button (skin frames of 128 x 63, caps of 32; width
  // -1: 128) with an icon and a caption in game font 1 that brightens over
  // its states. The list (may be null) owns it.
  static ImageButton* CreateButton(GameWindow* parent, ButtonList* buttonList, u32 id, i32 x, i32 y, Sprite* icon,
                                   i32 width, const wchar* text);
  // The standard check box with its caption in game font 3 (the caption
  // outline), 4 pixels after the box, 4 pixels of padding after it.
  static CheckBox* CreateCheckBox(GameWindow* parent, ButtonList* buttonList, u32 id, i32 x, i32 y,
                                  const wchar* text);

  CaptionPlate* GetCaptionPlate() const { return captionPlate_.get(); }
  bool IsDimmed() const { return dimmed_ != 0; }
  bool IsDimmable() const { return dimmable_ != 0; }
  void SetDimmable(bool on) { dimmable_ = on ? 1 : 0; }
  u32 GetDimAmount() const { return dimAmount_; }
  // The alpha of the darkening drawn now: round(amount / 200 x 96).
  u32 GetDimAlpha() const;

 protected:
  // A window's own skin pieces beyond its frame (drawn before its caption
  // and controls) at its transform, which stays applied; the game's viewer,
  // or null when there is none and nothing was drawn.
  DXLViewer* DrawOwnPieces(QuadBlockList* pieces);

  std::unique_ptr<CaptionPlate> captionPlate_;
  u8 dimsPrevious_;
  u8 dimmable_ = 1;
  u8 dimmed_ = 0;
  u32 dimTime_ = 0;
  u32 dimAmount_ = 0;

  // Leaves the open-dialog list; the dialog now last lightens when this one
  // darkened it.
  void LeaveDialogs();
};

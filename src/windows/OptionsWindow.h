// OptionsWindow and SoundBar - the options: music and sounds on or off with
// their volume bars, full screen or a window, and the current profile's
// tutorials. Every change takes effect at once and is not undone on
// closing; the settings file is written when the window goes if anything
// in it changed, the profile saved on closing when its tutorial flag
// changed. Its texts are the "options_window" section's. The window
// manager knows it as its options window while it lives.
//
// The screen mode, the game's end and the screen borders belong to the
// application: they are reached through OptionsHooks (none: the screen
// cannot be switched and no settings are written).
#pragma once

#include <memory>

#include "engine/DXLDrawTypes.h"
#include "ui/ActiveButton.h"
#include "ui/SpritesWindow.h"

class CheckBox;
class KGETextSpriteW;
class OptionsWindow;
class Sprite;

// What the options window asks of the application: the game screen's mode
// (GameScreen), the game's end (CloseGameWindow), the borders round the
// game area (BuildScreenBorders) and the settings file (SaveSettings).
class OptionsHooks {
 public:
  virtual ~OptionsHooks() = default;
  virtual bool IsFullscreen() const = 0;
  // Switches the mode and applies it; false when it could not be applied.
  virtual bool SetFullscreen(bool on) = 0;
  virtual void CloseGameWindow() = 0;
  virtual void BuildScreenBorders() = 0;
  virtual void SaveSettings() = 0;
};

// A volume bar of one channel over the interface picture "sound_bar", four
// bands high: normal filled, normal empty, highlighted filled, highlighted
// empty. A press switches the channel on and takes the volume from the
// pointer, dragging goes on taking it; the sounds bar previews the volume
// with its click at most every 150 ms, the music bar has no sound.
class SoundBar : public ActiveButton {
 public:
  static constexpr u32 kPreviewGap = 150;

  SoundBar(OptionsWindow* window, i32 x, i32 y, u32 command, u32 channel);

  void PlayClickSound() override;  // the preview
  void Draw() override;
  bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys) override;
  bool OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys) override;

  // The filled part follows the channel's volume while it is on.
  void UpdateQuads();
  // The volume from a window x (only while the bar is enabled).
  void SetFromX(i32 x);
  void SetToggle(CheckBox* toggle) { toggle_ = toggle; }

  u32 GetChannel() const { return channel_; }
  i32 GetFilled() const { return filled_; }
  i32 GetBarWidth() const { return width_; }
  u32 GetLastPreview() const { return lastPreview_; }
  bool IsPreviewPending() const { return previewPending_; }

 private:
  OptionsWindow* window_;
  u32 channel_;
  Sprite* picture_;
  i32 width_ = 0;
  i32 height_ = 0;
  i32 filled_ = 0;
  DXLQUAD quads_[2][2] = {};  // [look][filled, empty]
  bool previewPending_ = false;
  bool previewed_ = false;
  u32 lastPreview_ = 0;
  CheckBox* toggle_ = nullptr;
};

class OptionsWindow : public SpritesWindow {
 public:
  static constexpr u32 kId = 0x4F707473u;  // "Opts"
  static constexpr u32 kWidth = 520;
  static constexpr u32 kClose = 0x1c8c0002;
  static constexpr u32 kFullscreen = 0x1c8c0003;
  static constexpr u32 kMusicToggle = 0x1c8c0004;
  static constexpr u32 kSoundToggle = 0x1c8c0005;
  static constexpr u32 kMusicBar = 0x1c8c0006;
  static constexpr u32 kSoundBar = 0x1c8c0007;
  static constexpr u32 kTutorial = 0x1c8c0008;
  static constexpr float kSwitchOnVolume = 33.0f;

  explicit OptionsWindow(OptionsHooks* hooks = nullptr);
  ~OptionsWindow() override;  // the settings written when something changed

  bool OnKeyDown(u16 key, u32 extra) override;
  bool Update() override;
  u32 OnCommand(GameButton* control) override;
  void DrawForeground() override;

  // Switches a row's channel (to 33 first when its volume is 0); the toggle
  // follows whether the channel sounds.
  void SetChannelEnabled(u32 channel, bool on);
  // Saves the profile when its tutorial flag is not the one remembered.
  void SaveProfileIfChanged();
  void MarkChanged() { changed_ = 1; }

  bool IsChanged() const { return changed_ != 0; }
  CheckBox* GetFullscreenBox() const { return fullscreen_; }
  CheckBox* GetTutorialBox() const { return tutorial_; }
  CheckBox* GetToggle(u32 channel) const { return rows_[channel & 1].toggle; }
  SoundBar* GetBar(u32 channel) const { return rows_[channel & 1].bar; }
  // A row's label (224 x 32 box) and its box's top left.
  KGETextSpriteW* GetLabel(u32 channel) const { return rows_[channel & 1].label.get(); }
  float GetLabelX(u32 channel) const { return rows_[channel & 1].labelX; }
  float GetLabelY(u32 channel) const { return rows_[channel & 1].labelY; }

 private:
  struct SoundRow {
    std::unique_ptr<KGETextSpriteW> label;
    float labelX = 0.0f;
    float labelY = 0.0f;
    CheckBox* toggle = nullptr;
    SoundBar* bar = nullptr;
  };
  void AddSoundRow(i32 x, i32 y, const wchar* caption, u32 channel, u32 toggleId, u32 barId);
  void CloseWindow();

  OptionsHooks* hooks_;
  CheckBox* fullscreen_ = nullptr;
  CheckBox* tutorial_ = nullptr;
  bool tutorialsWere_ = false;
  SoundRow rows_[2];
  u32 changed_ = 0;
};

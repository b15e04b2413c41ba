#include "windows/OptionsWindow.h"

#include <algorithm>
#include <cmath>

#include "base/Clock.h"
#include "engine/DXLLog.h"
#include "engine/DXLMouse.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseTextSprite.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "ui/CheckBox.h"
#include "hud/HudPieces.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"
#include "windows/MapProfile.h"
#include "windows/PanelSkins.h"

namespace {

constexpr u32 kLabelFont = 3;
constexpr i32 kLabelWidth = 224, kLabelHeight = 32;  // a row label's box
constexpr i32 kRowHeight = 59;
constexpr i32 kCheckX = 26;
constexpr i32 kCheckBelowRow = 15;

const wchar* OptionsText(const wchar* key) { return SectionText(u"options_window", key); }

SKINRECT RowSkin(i32 height, i32 bottom) { return SKINRECT::InitSliced(971, 590, 52, height, 22, 26, 16, bottom, 0, 0, kInterfaceImage); }

// The bars' picture, wherever a sprite set has one of that name (the first
// set that does); the sets without it are no miss, only all of them.
Sprite* FindSoundBarPicture() {
  for (u32 set = 0; set < kSpriteSetCount; ++set)
    if (const SpriteSet* s = GetSpriteSet(set))
      if (Sprite* sprite = s->ProbeSprite(u"sound_bar")) return sprite;
  DXLLogLookupMissA("sprite", "sound_bar");
  return nullptr;
}

}  // namespace

// --- The volume bar --------------------------------------------------------------------------

SoundBar::SoundBar(OptionsWindow* window, i32 x, i32 y, u32 command, u32 channel)
    : ActiveButton(window, &window->Controls(), command), window_(window), channel_(channel),
      picture_(FindSoundBarPicture()) {
  if (picture_) picture_->Init();
  width_ = PictureWidth(picture_) - 1;
  height_ = PictureHeight(picture_) / 4 - 1;
  rect_ = DXLRECT{x, y, x + std::max(width_, 0), y + std::max(height_, 0)};
  if (channel_ == SoundSettings::kMusic) soundId_ = 0;
  UpdateQuads();
}

void SoundBar::UpdateQuads() {
  const SoundSettings& sound = GetSoundSettings();
  const float w = static_cast<float>(std::max(width_, 0));
  filled_ = sound.IsEnabled(channel_)
                ? static_cast<i32>(std::floor(sound.GetVolume(channel_) * w / 100.0f + 0.5f))
                : 0;
  const i32 band = PictureHeight(picture_) / 4;
  const float h = static_cast<float>(std::max(height_, 0)), f = static_cast<float>(filled_);
  for (i32 look = 0; look < 2; ++look) {
    const i32 filledTop = band * look * 2, emptyTop = filledTop + band;
    MakePieceQuad(picture_, &quads_[look][0], 0.0f, 0.0f, f, h, DXLRECT{0, filledTop, filled_, filledTop + height_},
                  0xFFFFFFFFu);
    MakePieceQuad(picture_, &quads_[look][1], f, 0.0f, w, h, DXLRECT{filled_, emptyTop, width_, emptyTop + height_},
                  0xFFFFFFFFu);
  }
}

void SoundBar::SetFromX(i32 x) {
  if (state_.GetEnableBits() == kStateHidden) return;
  SoundSettings& sound = GetSoundSettings();
  const float span = static_cast<float>(std::max(width_ - 1, 1));
  const float value = static_cast<float>(x - rect_.left) / span * 100.0f;
  if (value != sound.GetVolume(channel_)) {
    if (sound.SetVolume(channel_, value)) previewPending_ = true;
    UpdateQuads();
    if (toggle_) toggle_->SetFlag(sound.IsEnabled(channel_), true, 0);
  }
  window_->MarkChanged();
  PlayClickSound();
}

bool SoundBar::OnMouseDown(i32 x, i32 y, u32 button, u32 keys) {
  if (!ActiveButton::OnMouseDown(x, y, button, keys)) return false;
  previewPending_ = true;
  GetSoundSettings().SetEnabled(channel_, true);
  SetFromX(x);
  return true;
}

bool SoundBar::OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys) {
  if (!ActiveButton::OnMouseMove(x, y, buttons, keys)) return false;
  if (state_.GetEnableBits() == kStatePressed) SetFromX(x);
  return true;
}

void SoundBar::PlayClickSound() {
  if (!previewPending_ || soundId_ == 0) return;
  const u32 now = kis::GetTimeMs();
  if (previewed_ && now - lastPreview_ < kPreviewGap) return;
  ActiveButton::PlayClickSound();
  previewPending_ = false;
  previewed_ = true;
  lastPreview_ = now;
}

// The highlighted look for hover and press; a fade draws the old look and
// the new one over it at half the fade's alpha.
void SoundBar::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || !picture_ || !picture_->IsLoaded()) return;
  viewer->Translate(static_cast<float>(rect_.left), static_cast<float>(rect_.top));
  const auto look = [](u32 state) { return (state & kStateBaseMask) >= kStateHover ? 1 : 0; };
  const i32 now = look(state_.GetState());
  const i32 before = look(state_.GetPrevious().state);
  if (state_.GetFade() != 0 && before != now) {
    DrawPieceQuads(picture_, quads_[before], 2);
    DXLQUAD over[2] = {quads_[now][0], quads_[now][1]};
    const u32 alpha = static_cast<u32>(state_.GetProgress() * 127.5f) << 24;
    for (DXLQUAD& q : over) SetQuadAlpha(&q, alpha);
    DrawPieceQuads(picture_, over, 2);
  } else {
    DrawPieceQuads(picture_, quads_[now], 2);
  }
}

// --- The window --------------------------------------------------------------------------------

OptionsWindow::OptionsWindow(OptionsHooks* hooks) : SpritesWindow(kId, true, true), hooks_(hooks) {
  AddTopRow(kWidth);
  i32 w = 0, top = 0;
  GetSize(&w, &top);
  const i32 soundTop = top;
  const SKINRECT area = SkinOf(skins::kOptionsSoundArea, kInterfaceImage);
  AddRowEx(0, soundTop, kWidth / 2 - 1, kWidth / 2 + 1, skins::kOptionsSoundArea.frameHeight, area, 0);
  const i32 firstRow = soundTop + skins::kOptionsSoundArea.frameHeight;
  AddStretchedFrame(0, firstRow, kWidth, kRowHeight, RowSkin(94, 16));
  const i32 secondRow = firstRow + kRowHeight;
  AddStretchedFrame(0, secondRow, kWidth, kRowHeight, RowSkin(93, 15));
  AddBodyFrame(1);
  Show(0, true);
  SetCaption(OptionsText(u"caption"));
  AddButton(kClose, OptionsText(u"close"), 1, 1, 0);
  if (manager_) manager_->SetAnchor(kAnchorOptions, this);

  fullscreen_ = CreateCheckBox(this, &Controls(), kFullscreen, kCheckX, firstRow + kCheckBelowRow,
                               OptionsText(u"fullscreen"));
  fullscreen_->SetFlag(hooks_ && hooks_->IsFullscreen(), true, 0);
  tutorial_ = CreateCheckBox(this, &Controls(), kTutorial, kCheckX, secondRow + kCheckBelowRow,
                             OptionsText(u"tutorial"));
  const MapProfile* profile = GetMapProfile();
  tutorialsWere_ = profile && profile->AreTutorialsOn();
  tutorial_->SetFlag(tutorialsWere_, true, 0);
  AddSoundRow(13, soundTop + 3, OptionsText(u"music"), SoundSettings::kMusic, kMusicToggle, kMusicBar);
  AddSoundRow(263, soundTop + 3, OptionsText(u"sound"), SoundSettings::kSounds, kSoundToggle, kSoundBar);
  changed_ = 0;
}

OptionsWindow::~OptionsWindow() {
  Unregister();
  if (manager_ && manager_->GetAnchor(kAnchorOptions) == this) manager_->SetAnchor(kAnchorOptions, nullptr);
  if (changed_ && hooks_) hooks_->SaveSettings();
}

void OptionsWindow::AddSoundRow(i32 x, i32 y, const wchar* caption, u32 channel, u32 toggleId, u32 barId) {
  SoundRow& row = rows_[channel & 1];
  // The label in its box, the box centred on (x + 120, y + 11).
  row.label.reset(MakeBoxText(caption, kLabelFont, kLabelWidth, kLabelHeight, kKGEAlignCenter | kKGEVAlignCenter));
  row.labelX = static_cast<float>(x + 120 - kLabelWidth / 2);
  row.labelY = static_cast<float>(y + 11 - kLabelHeight / 2);
  row.bar = new SoundBar(this, x + 71, y + 26, barId, channel);
  row.toggle = CreateCheckBox(this, &Controls(), toggleId, x + 15, y + 26, u"");
  row.bar->SetToggle(row.toggle);
  SetChannelEnabled(channel, GetSoundSettings().IsEnabled(channel));
}

void OptionsWindow::SetChannelEnabled(u32 channel, bool on) {
  SoundSettings& sound = GetSoundSettings();
  if (on && sound.IsSilent(channel)) sound.SetVolume(channel, kSwitchOnVolume);
  sound.SetEnabled(channel, on);
  SoundRow& row = rows_[channel & 1];
  if (row.toggle) row.toggle->SetFlag(sound.IsEnabled(channel), true, 0);
  if (row.bar) row.bar->UpdateQuads();
  changed_ = 1;
}

void OptionsWindow::SaveProfileIfChanged() {
  MapProfile* profile = GetMapProfile();
  if (!profile || profile->AreTutorialsOn() == tutorialsWere_) return;
  profile->SaveProfile();
  tutorialsWere_ = profile->AreTutorialsOn();
}

void OptionsWindow::CloseWindow() {
  SaveProfileIfChanged();
  Close();
}

bool OptionsWindow::OnKeyDown(u16 key, u32 extra) {
  if (key == kKeyEscape || key == kKeyEnter) {
    CloseWindow();
    return true;
  }
  return SpritesWindow::OnKeyDown(key, extra);
}

bool OptionsWindow::Update() {
  const bool modal = SpritesWindow::Update();
  if (modal && rows_[SoundSettings::kSounds].bar) rows_[SoundSettings::kSounds].bar->PlayClickSound();
  return modal;
}

// A screen mode that cannot be applied ends the game.
u32 OptionsWindow::OnCommand(GameButton* control) {
  switch (control->GetId()) {
    case kClose:
      CloseWindow();
      return 2;
    case kFullscreen: {
      const bool on = !(hooks_ && hooks_->IsFullscreen());
      bool applied = true;
      if (hooks_) applied = hooks_->SetFullscreen(on);
      fullscreen_->SetFlag(hooks_ ? hooks_->IsFullscreen() : on, true, 0);
      if (!applied) {
        hooks_->CloseGameWindow();
      } else if (hooks_) {
        hooks_->BuildScreenBorders();
      }
      changed_ = 1;
      return 1;
    }
    case kMusicToggle:
    case kSoundToggle: {
      const u32 channel = control->GetId() == kMusicToggle ? SoundSettings::kMusic : SoundSettings::kSounds;
      SetChannelEnabled(channel, !GetSoundSettings().IsEnabled(channel));
      return 1;
    }
    case kTutorial:
      if (MapProfile* profile = GetMapProfile()) {
        profile->SetTutorials(!profile->AreTutorialsOn());
        tutorial_->SetFlag(profile->AreTutorialsOn(), true, 0);
      }
      return 1;
    default:
      return 0;
  }
}

void OptionsWindow::DrawForeground() {
  SpritesWindow::DrawForeground();
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  for (SoundRow& row : rows_) {
    if (!row.label) continue;
    viewer->SetTransform(&transform_);
    viewer->Translate(row.labelX, row.labelY);
    UnbindDrawTexture();
    row.label->Draw();
  }
}

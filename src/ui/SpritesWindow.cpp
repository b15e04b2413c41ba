#include "ui/SpritesWindow.h"

#include <algorithm>
#include <cmath>

#include "base/Clock.h"
#include "engine/DXLViewer.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteBatch.h"
#include "ui/CheckBox.h"
#include "ui/ImageButton.h"
#include "ui/SkinTable.h"
#include "ui/WindowEffects.h"
#include "ui/WindowManager.h"

namespace {

constexpr u32 kButtonFont = 1;
constexpr u32 kCheckBoxFont = 3;
constexpr i32 kAddedButtonWidth = 178;
constexpr i32 kAddedButtonStep = 181;
constexpr i32 kAddedRowStep = 67;

// The batch marks the opaque pixels of the background; the darkening then
// covers each of them once.
constexpr u32 kDimStencilRef = 0xFE;
constexpr u32 kDimAlphaRef = 0x80;

}  // namespace

SpritesWindow::SpritesWindow(u32 id, bool dimsPrevious, bool modal)
    : DragWindow(id, modal), dimsPrevious_(dimsPrevious ? 1 : 0) {
  WindowManager* manager = manager_;
  if (!manager) return;
  kis::list<SpritesWindow*>& dialogs = manager->OpenDialogs();
  if (dimsPrevious_ && dialogs.GetCount() > 0) dialogs.Last()->Dim();
  dialogs.Add(this);
}

SpritesWindow::~SpritesWindow() {
  Unregister();
  captionPlate_.reset();
  LeaveDialogs();
}

void SpritesWindow::LeaveDialogs() {
  if (!manager_ || !manager_->OpenDialogs().Remove(this)) return;
  kis::list<SpritesWindow*>& dialogs = manager_->OpenDialogs();
  if (dimsPrevious_ && dialogs.GetCount() > 0) dialogs.Last()->Undim();
}

void SpritesWindow::GetSize(i32* width, i32* height) const {
  if (width) *width = width_;
  if (height) *height = height_;
}

void SpritesWindow::SetSize(i32 width, i32 height) {
  width_ = width;
  height_ = height;
}

void SpritesWindow::Dim() {
  if (dimmed_ || !dimmable_) return;
  dimmed_ = 1;
  dimTime_ = kis::GetTimeMs() - dimAmount_;
}

void SpritesWindow::Undim() {
  if (!dimmed_) return;
  dimmed_ = 0;
  dimTime_ = kis::GetTimeMs() - (kDimTime - dimAmount_);
}

u32 SpritesWindow::GetDimAlpha() const {
  return static_cast<u32>(std::floor(static_cast<float>(dimAmount_) / kDimTime * kDimAlpha + 0.5f));
}

void SpritesWindow::Close() {
  if (closing_) return;
  DragWindow::Close();
  LeaveDialogs();
}

void SpritesWindow::Show(u32 delay, bool withEffect) {
  GetDefaultPos(&x_, &y_);
  rect_ = DXLRECT{x_, y_, x_ + width_, y_ + height_};
  if (withEffect) AddEffect(new SEffect_ShowWindow(-static_cast<float>(y_ + height_), kShowTime, delay + kShowDelay));
}

void SpritesWindow::AddTopRow(i32 width) { AddRow(0, 0, width, -1, SkinOf(skins::kWindowTop, kInterfaceImage)); }

void SpritesWindow::AddBodyFrame(i32 units) {
  AddFrameEx(0, kBelow, -1, units, SkinOf(skins::kWindowBody, kInterfaceImage));
}

void SpritesWindow::SetCaption(const wchar* text) {
  titleRect_ = DXLRECT{10, 9, 10 + width_ - 23, 9 + skins::kCaptionPlate.frameHeight};
  if (!captionPlate_) captionPlate_ = std::make_unique<CaptionPlate>();
  captionPlate_->Build(titleRect_.left, titleRect_.top, titleRect_.right, titleRect_.bottom, text, &titleState_);
}

// The effects move the window from its bottom centre (the drop-in is a
// vertical offset); its content is drawn from its top-left corner so moved.
void SpritesWindow::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  if (dimmed_ || dimAmount_ != 0) {
    const u32 t = kis::GetTimeMs() - dimTime_;
    if (dimmed_) {
      dimAmount_ = std::min(t, kDimTime);
    } else {
      dimAmount_ = t >= kDimTime ? 0 : kDimTime - t;
    }
  }
  viewer->Translate(static_cast<float>(x_ + width_ / 2), static_cast<float>(y_ + height_));
  UpdateEffects();
  if (closing_ && !effects_) return;
  viewer->Translate(-static_cast<float>(width_ / 2), -static_cast<float>(height_));
  viewer->GetTransform(&transform_);
  const bool dim = dimAmount_ != 0;
  SpriteBatch& batch = GetSpriteBatch();
  if (dim) batch.Begin(true, kDimStencilRef, kDimAlphaRef);
  DrawBackground();
  if (dim) batch.End();
  DrawForeground();
  if (dim) batch.Flush(GetDimAlpha() << 24, kBlendAlpha);
}

void SpritesWindow::DrawBackground() {
  titleState_.Update();
  if (DXLViewer* viewer = GetGameViewer()) {
    viewer->SetTransform(&transform_);
    viewer->ApplyTransform(nullptr);
  }
  DrawPieces();
}

DXLViewer* SpritesWindow::DrawOwnPieces(QuadBlockList* pieces) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return nullptr;
  viewer->SetTransform(&transform_);
  viewer->ApplyTransform(nullptr);
  DrawPieces(pieces);
  UnbindDrawTexture();
  return viewer;
}

void SpritesWindow::DrawForeground() {
  if (captionPlate_) {
    if (DXLViewer* viewer = GetGameViewer()) {
      viewer->SetTransform(&transform_);
      viewer->ApplyTransform(nullptr);
    }
    captionPlate_->Draw();
  }
  DrawControls();
}

// --- Buttons ------------------------------------------------------------------------------------

ImageButton* SpritesWindow::AddButton(u32 id, const wchar* caption, i32 perRow, i32 rows, i32 index) {
  i32 offset = -90;
  if (perRow == 2) {
    offset = index % perRow * kAddedButtonStep - kAddedButtonStep;
  } else if (perRow >= 3) {
    offset = index % perRow * kAddedButtonStep - 271;
  }
  const i32 row = perRow > 0 ? index / perRow : index;
  const i32 x = width_ / 2 + offset;
  const i32 y = height_ - 17 - (rows - row) * kAddedRowStep;
  return CreateButton(this, &Controls(), id, x, y, nullptr, kAddedButtonWidth, caption);
}

ImageButton* SpritesWindow::CreateButton(GameWindow* parent, ButtonList* buttonList, u32 id, i32 x, i32 y,
                                         Sprite* icon, i32 width, const wchar* text) {
  const SkinPiece& skin = skins::kButton;
  auto* button = new ImageButton(parent, buttonList, id, SkinOf(skin, kInterfaceImage), width, skin.Vertical(),
                                 static_cast<i32>(skin.frames), skin.Gap(), x, y, icon);
  button->SetCrossfadePercent(100);
  button->SetCaptionPlain(text, kButtonFont, 2, {0xFF808080u, 0x00FFFFFFu, 0x60FFFFFFu, 0xC0FFFFFFu});
  button->SetTextLayout(button->GetGap(), 0, 1, true, 0, 0);
  return button;
}

CheckBox* SpritesWindow::CreateCheckBox(GameWindow* parent, ButtonList* buttonList, u32 id, i32 x, i32 y,
                                        const wchar* text) {
  auto* box = new CheckBox(parent, buttonList, id, x, y, 0);
  DXLOUTLINE outline;
  GetCaptionOutline(0, &outline);
  box->SetCaption(text, kCheckBoxFont, nullptr, &outline, 2);
  box->SetTextLayout(4, 0, 0, false, 0, 4);
  return box;
}

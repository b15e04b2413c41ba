#include "ui/GameComboBox.h"

#include <algorithm>

#include "base/Maths.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseText.h"
#include "gametext/KGEBaseTextSprite.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "ui/GameComboBoxList.h"
#include "ui/GameWindow.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"

namespace {

constexpr u32 kColours[ImageButton::kStateCount] = {0xFFC0C0C0u, 0xFFFFFFFFu, 0xFF00FFFFu, 0xFF00FF00u,
                                                    0xFF00FF00u, 0xFF00FF00u, 0xFF00FF00u, 0xFF00FF00u};
constexpr u32 kTextFlags = kKGESingleLine;
constexpr u32 kTextMaxChars = 32;
constexpr i32 kLabelGap = 212;
constexpr i32 kListOffsetX = -6;
constexpr i32 kListOffsetY = -5;
constexpr i32 kListExtraWidth = 17;

}  // namespace

KGETEXTPARAMS GameComboBox::TextParams() {
  KGETEXTPARAMS p{};
  p.flags = kTextFlags;
  p.maxChars = kTextMaxChars;
  return p;
}

GameComboBox::GameComboBox(GameWindow* parent, u32 id, i32 x, i32 y, i32 width)
    : ImageButton(parent, parent ? &parent->Controls() : nullptr, id, SkinOf(skins::kComboBox, kInterfaceImage), width,
                  skins::kComboBox.Vertical(), static_cast<i32>(skins::kComboBox.frames), skins::kComboBox.Gap(), x,
                  y, nullptr),
      originX_(x),
      originY_(y) {
  SetFadeTimes(kFade, kFade);
  crossfadePercent_ = 100;
  state_.EnableFlag(true);
  std::copy(std::begin(kColours), std::end(kColours), stateColours_);
  const KGETEXTPARAMS params = TextParams();
  KGETextW* text = nullptr;
  if (KGEFont* font = GetGameFont(fontNo_)) KGECreateTextW(GetGameViewer(), font, &params, u"", kKGEWholeText, nullptr, &text);
  selectedText_.reset(text);
}

GameComboBox::~GameComboBox() { delete list_; }

GameComboBox* CreateComboBox(GameWindow* parent, u32 id, i32 x, i32 y, i32 width, const wchar* labelText) {
  auto* box = new GameComboBox(parent, id, x, y, width);
  box->SetStateFrames(0, {0, 1, 2, 3, 3, 3, 3, 3});
  box->SetLabel(GameComboBox::kFontNo, labelText, kLabelGap, true);
  return box;
}

void GameComboBox::SetLabel(u32 fontNo, const wchar* text, i32 gap, bool absolute) {
  label_.reset();
  i32 labelWidth = 0;
  if (text) {
    const KGETEXTPARAMS params = TextParams();
    KGESPRITEPARAMS box{};
    KGETextSpriteW* sprite = nullptr;
    KGECreateTextSpriteW(GetGameViewer(), GetGameFont(fontNo), &params, &box, text, kKGEWholeText, nullptr, &sprite);
    label_.reset(sprite);
  }
  if (label_) {
    labelWidth = label_->GetWidth();
    labelX_ = static_cast<float>(originX_);
    labelY_ = static_cast<float>(originY_ + (height_ - label_->GetHeight()) / 2);
  }
  SetPosition(absolute ? originX_ + gap : originX_ + labelWidth + gap, originY_);
}

void GameComboBox::AddItem(const wchar* text, uintptr_t value, bool enabled) {
  items_.push_back(Item{text ? std::u16string(text) : std::u16string(), value, static_cast<u8>(enabled ? 1 : 0)});
}

uintptr_t GameComboBox::GetItemValue(i32 index) const {
  return index >= 0 && index < GetItemCount() ? items_[static_cast<size_t>(index)].value : 0;
}

void GameComboBox::SetSelection(i32 index, bool notify) {
  index = items_.empty() ? -1 : std::min(std::max(index, 0), GetItemCount() - 1);
  if (index != selected_) {
    selected_ = index;
    if (selectedText_) {
      const std::u16string& text = index >= 0 ? items_[static_cast<size_t>(index)].text : std::u16string();
      selectedText_->SetText(text.c_str(), static_cast<u32>(text.size()));
    }
    textX_ = kTextX;
    textY_ = static_cast<float>((height_ - (selectedText_ ? selectedText_->GetHeight() : 0)) / 2);
    lastCaptionColour_ = ~0u;
  }
  if (notify && parent_) parent_->OnControlChange(this);
}

void GameComboBox::Clear() {
  CloseList();
  items_.clear();
  SetSelection(-1, false);
}

bool GameComboBox::IsOpen() const { return list_ && !list_->IsClosing(); }

void GameComboBox::Click() { OpenList(); }

void GameComboBox::OpenList() {
  delete list_;
  if (GetItemCount() < 2) return;
  kis::IntPoint at{x_, y_ + height_};
  if (parent_) parent_->ClientToScreen(&at, x_, y_ + height_);
  list_ = new GameComboBoxList(this, at.x + kListOffsetX, at.y + kListOffsetY, width_ + kListExtraWidth,
                               minRowHeight_);
  SetFlag(true, false, fadeInTime_);
  SetState(kStateNormal, false, fadeInTime_);
}

void GameComboBox::CloseList() {
  if (!IsOpen()) return;
  list_->Close();
  SetFlag(false, false, fadeInTime_);
  WindowManager* manager = GetWindowManager();
  kis::IntPoint pointer{manager ? manager->GetLastPointerX() : -1, manager ? manager->GetLastPointerY() : -1};
  if (parent_) parent_->ScreenToClient(&pointer, pointer.x, pointer.y);
  if (!HitTest(pointer.x, pointer.y)) SetState(kStateNormal, false, fadeInTime_);
}

u32 GameComboBox::FadedColour(const ControlState& state) const {
  const u32 colour = GetStateColour(state.GetState());
  if (!state.IsFading()) return colour;
  return kis::LerpColor(GetStateColour(state.GetPrevious().state), colour, state.GetProgress());
}

void GameComboBox::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX windowTransform;
  viewer->GetTransform(&windowTransform);
  if (label_) {
    viewer->Translate(labelX_, labelY_);
    label_->Draw();
    viewer->SetTransform(&windowTransform);
    // The label binds its glyph texture behind the draw cache's back.
    UnbindDrawTexture();
  }
  ImageButton::Draw();
  if (!selectedText_ || selected_ < 0) return;
  UnbindDrawTexture();
  const u32 colour = FadedColour(state_);
  if (colour != lastCaptionColour_) {
    selectedText_->SetColor(colour);
    lastCaptionColour_ = colour;
  }
  viewer->SetTransform(&savedTransform_);
  viewer->Translate(textX_, textY_);
  selectedText_->Draw();
}

#include "ui/GameEdit.h"

#include <algorithm>

#include "engine/DXLViewer.h"
#include "gametext/KGEBaseText.h"
#include "gametext/KGEFont.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "ui/GameWindow.h"
#include "ui/WindowManager.h"

namespace {

// The text object: one line, its own copy, at most 17 characters, white.
constexpr u32 kEditTextFlags = 0x21200;
constexpr u32 kEditTextMaxChars = 17;

void FillQuad(DXLCOLORVERTEX* quad, float x, float y, float w, float h) {
  DXLRECTF r{};
  DXLSetRectF(&r, x, y, w, h);
  DXLFillRectVertices(&quad->x, r, false, true);
}

u32 ClampIndex(i32 index, u32 length) { return index < 0 ? 0u : std::min(static_cast<u32>(index), length); }

}  // namespace

GameEdit::GameEdit(GameWindow* owner, const wchar* allowed, i32 left, i32 top, i32 right, i32 bottom)
    : DXLEditW(allowed), owner_(owner), font_(GetGameFont(kFontNo)) {
  box_ = DXLRECT{left, top, right, bottom};
  lineHeight_ = font_ ? font_->GetHeight() : 0;
  for (DXLCOLORVERTEX& v : caretQuad_) v.color = kCaretColour;
  for (DXLCOLORVERTEX& v : selectionQuad_) v.color = kSelectionColour;
  KGETEXTPARAMS params{};
  params.flags = kEditTextFlags;
  params.maxChars = kEditTextMaxChars;
  params.color = 0xFFFFFFFFu;
  KGETextW* text = nullptr;
  if (font_) KGECreateTextW(GetGameViewer(), font_, &params, u"", kKGEWholeText, nullptr, &text);
  textObject_.reset(text);
  if (owner_) owner_->SetEditBox(this);
  NotifyTextChanged();
  if (WindowManager* manager = GetWindowManager()) manager->EditBoxes().Insert(0, this);
}

GameEdit::~GameEdit() {
  textObject_.reset();
  if (WindowManager* manager = GetWindowManager()) manager->EditBoxes().Remove(this);
  if (owner_) owner_->DropEditBox(this);
}

void GameEdit::TakeFocus() {
  WindowManager* manager = GetWindowManager();
  if (!manager) return;
  kis::list<GameEdit*>& boxes = manager->EditBoxes();
  for (i32 i = 0; i < boxes.GetCount(); ++i)
    if (boxes.Get(i) != this) boxes.Get(i)->SetActive(false);
  if (boxes.IndexOf(this) > 0) {
    boxes.Remove(this);
    boxes.Insert(0, this);
  }
}

bool GameEdit::OnMouseDown(i32 x, i32 y, u32 button, u32 modifiers) {
  const bool taken = DXLEditW::OnMouseDown(x, y, button, modifiers);
  if (taken && IsActive()) TakeFocus();
  return taken;
}

bool GameEdit::OnDoubleClick(i32 x, i32 y, u32 modifiers) {
  const bool taken = DXLEditW::OnDoubleClick(x, y, modifiers);
  if (taken) TakeFocus();
  return taken;
}

// --- Measuring -------------------------------------------------------------------------------

u32 GameEdit::GetTextWidth(u32 first, u32 count) {
  if (!font_ || first >= GetLength() || count == 0) return 0;
  count = std::min(count, GetLength() - first);
  KGESIZE size{0, 0};
  font_->MeasureText(&size, GetText() + first, count);
  return static_cast<u32>(std::max(size.cx, 0));
}

u32 GameEdit::GetCharIndexAtMouse() {
  if (!font_) return 0;
  return ClampIndex(font_->GetCharIndexAt(mouseX_ - box_.left - textOffset_, GetText(), GetLength()),
                             GetLength());
}

// --- Text, caret, selection ---------------------------------------------------------------------

void GameEdit::SetText(const wchar* text) {
  SetTextFrom(0, text, kEditCountAll);
  caret_ = GetLength();
  NotifyTextChanged();
}

void GameEdit::OnTextChanged() {
  if (textObject_) textObject_->SetText(GetText(), GetLength());
  const i32 width = static_cast<i32>(GetTextWidth(0, GetLength()));
  textOffset_ = (box_.right - box_.left - width) / 2;
  textX_ = static_cast<float>(box_.left + textOffset_);
  textY_ = static_cast<float>((box_.bottom + box_.top - lineHeight_) / 2);
  if (owner_) owner_->OnEditChanged(this);
}

void GameEdit::SetSelection(u32 anchor, u32 caret) {
  DXLEditW::SetSelection(anchor, caret);
  const float h = static_cast<float>(lineHeight_);
  FillQuad(caretQuad_, static_cast<float>(GetCaretX()) + textX_, textY_, 2.0f, h);
  if (GetAnchor() != GetCaret())
    FillQuad(selectionQuad_, static_cast<float>(GetSelectionStartX()) + textX_, textY_,
             static_cast<float>(GetSelectionWidth()), h);
}

// --- Drawing ------------------------------------------------------------------------------------

void GameEdit::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  UnbindDrawTexture();
  viewer->GetTransform(&savedTransform_);
  viewer->ApplyTransform(nullptr);
  if (GetAnchor() != GetCaret()) {
    viewer->SetTexture(nullptr);
    viewer->SetBlendMode(kBlendInvert);
    viewer->DrawColorQuad(selectionQuad_);
    viewer->SetBlendMode(kBlendNone);
  }
  if (font_ && textObject_) {
    viewer->SetTransform(&savedTransform_);
    viewer->Translate(textX_ + 2.0f, textY_ + 2.0f);
    textObject_->SetColor(kShadowColour);
    textObject_->Draw();
    textObject_->SetColor(0xFFFFFFFFu);
    viewer->SetTransform(&savedTransform_);
    viewer->Translate(textX_, textY_);
    textObject_->Draw();
    viewer->SetTexture(nullptr);
  }
  if (IsCaretVisible()) {
    viewer->SetTransform(&savedTransform_);
    viewer->ApplyTransform(nullptr);
    viewer->SetTexture(nullptr);
    viewer->DrawColorQuad(caretQuad_);
    viewer->SetBlendMode(kBlendNone);
  }
  viewer->SetTransform(&savedTransform_);
}

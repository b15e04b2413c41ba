#include "ui/GameComboBoxList.h"

#include <algorithm>

#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseText.h"
#include "gametext/KGEFont.h"
#include "platform/gfx/GfxTypes.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "ui/GameComboBox.h"
#include "ui/GameScrollbar.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"

namespace {

constexpr i32 kRowsLeft = 12;
constexpr i32 kRowsTop = 11;
constexpr i32 kRowsNarrower = 68;  // the rows' width is the list's less this
constexpr i32 kFrameExtra = 27;    // frame height over the rows
constexpr i32 kNoFontRowHeight = 16;
constexpr i32 kTextLeft = 20;
constexpr i32 kTextTop = 12;
constexpr i32 kBackInset = 7;

}  // namespace

GameComboBoxList::GameComboBoxList(GameComboBox* combo, i32 x, i32 y, i32 width, i32 minRowHeight)
    : SpritesWindow(kId, false, true), combo_(combo) {
  KGEFont* font = GetGameFont(combo->GetFontNo());
  const i32 lineHeight = font ? font->GetHeight() : 0;
  rowHeight_ = std::max(font ? lineHeight + 2 : kNoFontRowHeight, minRowHeight);
  const i32 count = combo->GetItemCount();
  rowCount_ = std::min(count, kMaxRows);
  rows_.resize(static_cast<size_t>(rowCount_));
  const KGETEXTPARAMS params = GameComboBox::TextParams();
  for (GAMECBLISTITEM& row : rows_) {
    KGETextW* text = nullptr;
    if (font) KGECreateTextW(GetGameViewer(), font, &params, u"", kKGEWholeText, nullptr, &text);
    row.text.reset(text);
    row.state.EnableFlag(true);
  }
  AddFrame(0, 0, width, rowCount_ * rowHeight_ + kFrameExtra, SkinOf(skins::kComboList, kInterfaceImage));
  x_ = x;
  y_ = y;
  rect_ = DXLRECT{x, y, x + width_, y + height_};
  auto* bar = new GameScrollbar(this, width_ - 48, 8, height_ - 22);
  bar->SetSteps(1, 1);
  bar->SetRange(0, count, rowCount_, 0);
  if (count == 0) delete bar;
  if (WindowManager* manager = GetWindowManager()) {
    Sprite* back = manager->GetInterfaceSprite(u"profiles_back");
    background_ = back ? back->GetTexture() : nullptr;
    if (background_) background_->SetAddressMode(plat::gfx::D3DTADDRESS_WRAP);
  }
  textX_ = static_cast<float>(kTextLeft);
  textY_ = static_cast<float>((rowHeight_ - lineHeight) / 2 + kTextTop);
  if (scrollBar_ && rowCount_ > 0) scrollBar_->ScrollTo(combo->GetSelection() - rowCount_ + 1);
  RefreshRows();
  BuildBackground();
}

GameComboBoxList::~GameComboBoxList() {
  Unregister();
  if (combo_ && combo_->list_ == this) combo_->list_ = nullptr;
}

const GAMECBLISTITEM* GameComboBoxList::GetRow(i32 slot) const {
  return slot >= 0 && slot < static_cast<i32>(order_.size()) ? order_[static_cast<size_t>(slot)] : nullptr;
}

GAMECBLISTITEM* GameComboBoxList::RowOfIndex(i32 index) {
  for (GAMECBLISTITEM* row : order_)
    if (row->index == index) return row;
  return nullptr;
}

// Rows that stay in view keep their texts; the rows that scrolled out take
// the items that scrolled in, above or below the ones kept.
void GameComboBoxList::RefreshRows() {
  const i32 position = scrollBar_ ? scrollBar_->GetPosition() : 0;
  if (position == firstIndex_) return;
  firstIndex_ = position;
  order_.clear();
  for (GAMECBLISTITEM& row : rows_) {
    if (row.index < firstIndex_ || row.index > firstIndex_ + rowCount_ - 1) {
      row.index = -1;
    } else {
      order_.push_back(&row);
    }
  }
  std::sort(order_.begin(), order_.end(), [](const auto* a, const auto* b) { return a->index < b->index; });
  for (GAMECBLISTITEM& row : rows_) {
    if (static_cast<i32>(order_.size()) >= rowCount_) break;
    if (row.index != -1) continue;
    if (order_.empty() || order_.front()->index <= firstIndex_) {
      row.index = static_cast<i32>(order_.size()) + firstIndex_;
      order_.push_back(&row);
    } else {
      row.index = order_.front()->index - 1;
      order_.insert(order_.begin(), &row);
    }
    const GameComboBox::Item& item = combo_->GetItem(row.index);
    if (row.text) row.text->SetText(item.text.c_str(), static_cast<u32>(item.text.size()));
    row.lastColour = ~0u;
    row.state.SetFlag(row.index == combo_->GetSelection(), true, 0);
    row.state.SetState(row.index == pressedIndex_ ? kStatePressed : item.enabled ? kStateNormal : kStateHidden, true, 0);
  }
}

// The background scrolls with the rows: its source starts a row height
// lower for every item scrolled past, wrapping round the picture.
void GameComboBoxList::BuildBackground() {
  if (!background_ || background_->GetImageHeight() <= 0) return;
  const i32 h = height_ - 20;
  const i32 sourceY = firstIndex_ * rowHeight_ % background_->GetImageHeight();
  background_->MakeQuadPartScaledInt(&backQuad_, kBackInset, kBackInset, width_ - 59, h, 0, sourceY,
                                     background_->GetImageWidth(), h, 0xFFFFFFFFu);
}

void GameComboBoxList::OnScroll() {
  RefreshRows();
  BuildBackground();
}

i32 GameComboBoxList::RowAt(i32 x, i32 y) const {
  if (x < kRowsLeft || x >= kRowsLeft + width_ - kRowsNarrower || y < kRowsTop || rowHeight_ <= 0) return -1;
  const i32 row = (y - kRowsTop) / rowHeight_;
  return row < std::min(rowCount_, combo_->GetItemCount()) ? row : -1;
}

// --- Mouse ---------------------------------------------------------------------------------------

bool GameComboBoxList::OnMouseDown(i32 x, i32 y, u32 button, u32 keys) {
  if (!kis::PointInRectXY(x, y, 0, 0, width_, height_)) {
    combo_->CloseList();
    return true;
  }
  if (button == kMouseLeft) {
    const i32 slot = RowAt(x, y);
    GAMECBLISTITEM* row = slot >= 0 ? order_[static_cast<size_t>(slot)] : nullptr;
    if (row && row->state.GetEnableBits() != kStateHidden) {
      pressedIndex_ = firstIndex_ + slot;
      row->state.SetState(kStatePressed, true, 0);
    }
  }
  return SpritesWindow::OnMouseDown(x, y, button, keys);
}

void GameComboBoxList::OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys) {
  const i32 slot = RowAt(x, y);
  for (i32 i = 0; i < static_cast<i32>(order_.size()); ++i) {
    ControlState& state = order_[static_cast<size_t>(i)]->state;
    if (i == slot && state.GetEnableBits() == kStateNormal) {
      state.SetState(kStateHover, true, 0);
    } else if (i != slot && state.GetEnableBits() == kStateHover) {
      state.SetState(kStateNormal, true, 0);
    }
  }
  SpritesWindow::OnMouseMove(x, y, buttons, keys);
}

// The choice reaches the box's window, which may do anything; the list
// stops when it went away meanwhile.
void GameComboBoxList::OnMouseUp(i32 x, i32 y, u32 button, u32 keys) {
  if (button == kMouseLeft && pressedIndex_ >= 0) {
    const i32 slot = RowAt(x, y);
    if (slot >= 0 && firstIndex_ + slot == pressedIndex_) {
      LifeGuard guard(lifetime_);
      const i32 chosen = pressedIndex_;
      pressedIndex_ = -1;
      combo_->SetSelection(chosen, true);
      if (!guard.Alive()) return;
      combo_->CloseList();
      if (!guard.Alive()) return;
    } else {
      if (GAMECBLISTITEM* row = RowOfIndex(pressedIndex_)) row->state.SetState(kStateNormal, true, 0);
      pressedIndex_ = -1;
      return;
    }
  }
  SpritesWindow::OnMouseUp(x, y, button, keys);
}

void GameComboBoxList::Close() {
  if (closing_) return;
  closing_ = 1;
  LeaveDialogs();
}

// --- Drawing -----------------------------------------------------------------------------------

void GameComboBoxList::DrawBackground() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  viewer->SetTransform(&transform_);
  viewer->ApplyTransform(nullptr);
  if (background_) {
    BindDrawTexture(background_);
    DrawQuad(&backQuad_);
  }
  UnbindDrawTexture();
  for (size_t i = 0; i < order_.size(); ++i) {
    GAMECBLISTITEM* row = order_[i];
    row->state.Update();
    const u32 colour = combo_->FadedColour(row->state);
    if (!row->text) continue;
    if (colour != row->lastColour) {
      row->text->SetColor(colour);
      row->lastColour = colour;
    }
    viewer->SetTransform(&transform_);
    viewer->Translate(textX_, textY_ + static_cast<float>(static_cast<i32>(i) * rowHeight_));
    row->text->Draw();
  }
  SpritesWindow::DrawBackground();
}

#include "ui/GameScrollbar.h"

#include "engine/DXLViewer.h"
#include "resources/ResourceServices.h"
#include "ui/GameScrollbarTrack.h"
#include "ui/GameWindow.h"
#include "ui/SkinTable.h"

GameScrollbar::GameScrollbar(GameWindow* owner, i32 x, i32 y, i32 height) : BaseScrollbar(true), owner_(owner) {
  if (owner_) owner_->SetScrollbar(this);
  SetPartRect(kFirstArrow, DXLRECT{x, y, x + kWidth, y + kArrowHeight});
  SetPartRect(kSecondArrow, DXLRECT{x, y + height - kArrowHeight, x + kWidth, y + height});
  SetPartRect(kTrack, DXLRECT{x, y + kArrowHeight, x + kWidth, y + height - kArrowHeight});
  thumbWidth_ = kWidth;
  thumbHeight_ = kMinThumb;
  Layout();
  const DXLRECT& a = GetPart(kFirstArrow).rect;
  const DXLRECT& b = GetPart(kSecondArrow).rect;
  const DXLRECT& t = GetPart(kTrack).rect;
  const SkinPiece& up = skins::kScrollUpArrow;
  const SkinPiece& down = skins::kScrollDownArrow;
  first_ = std::make_unique<GameScrollbarButton>(owner, nullptr, kFirstArrowId, SkinOf(up, kInterfaceImage), -1,
                                                 up.Vertical(), static_cast<i32>(up.frames), up.Gap(), a.left, a.top,
                                                 nullptr);
  second_ = std::make_unique<GameScrollbarButton>(owner, nullptr, kSecondArrowId, SkinOf(down, kInterfaceImage), -1,
                                                  down.Vertical(), static_cast<i32>(down.frames), down.Gap(), b.left,
                                                  b.top - 1, nullptr);
  thumb_ = std::make_unique<GameScrollbarTrack>(owner, kThumbId, t.left, t.top, GetTrackLength());
  first_->Show(false, true, 0);
  second_->Show(false, true, 0);
  thumb_->Show(false, true, 0);
}

GameScrollbar::~GameScrollbar() {
  if (owner_) owner_->DropScrollbar(this);
}

ImageButton* GameScrollbar::GetArrow(i32 part) const {
  return part == kFirstArrow ? first_.get() : part == kSecondArrow ? second_.get() : nullptr;
}

void GameScrollbar::SetThumb(i32 offset, i32 length) {
  BaseScrollbar::SetThumb(offset, length);
  if (!thumb_) return;
  const DXLRECT& r = GetPart(kThumb).rect;
  thumb_->SetPosition(r.left, r.top);
  thumb_->SetLength(GetThumbLength());
}

void GameScrollbar::OnPositionChanged() {
  if (owner_) owner_->OnScroll();
}

void GameScrollbar::SetPartState(i32 part, i32 state) {
  BaseScrollbar::SetPartState(part, state);
  ImageButton* button = part == kThumb ? thumb_.get() : GetArrow(part);
  if (button) button->SetState(static_cast<u32>(state), state == 3, kStateFade);
}

void GameScrollbar::ClampThumbLength(i32* length) {
  BaseScrollbar::ClampThumbLength(length);
  if (*length > thumbHeight_) *length -= (*length - thumbHeight_) % 2;
}

void GameScrollbar::Draw(const DXLMATRIX& transform) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  ImageButton* buttons[3] = {first_.get(), second_.get(), IsThumbShown() ? thumb_.get() : nullptr};
  for (ImageButton* b : buttons) {
    if (!b) continue;
    viewer->SetTransform(&transform);
    b->Draw();
  }
}

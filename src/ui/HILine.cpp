#include "ui/HILine.h"

#include <algorithm>

#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "ui/BaseHintWindow.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"

HILine::HILine(BaseHintWindow* window, i32 y, i32 leftInset, i32 second)
    : HintItem(window), leftInset_(leftInset), second_(second) {
  SetRect(0, y, 0, -1);
}

void HILine::SetRect(i32 x, i32 y, i32 width, i32 height) {
  if (height == -1) height = kDefaultHeight;
  const i32 oldWidth = width_, oldHeight = height_;
  HintItem::SetRect(x, y, width, height);
  if (width_ == oldWidth && height_ == oldHeight) return;
  pieces_.ClearQuads();
  if (width_ <= 0) return;
  WindowManager* manager = GetWindowManager();
  Sprite* sprite = manager ? manager->GetInterfaceSprite(u"hint_line") : nullptr;
  DXLTexture* image = sprite ? sprite->GetTexture() : nullptr;
  if (!image) return;
  const SkinPiece& line = skins::kHintLine;  // the whole picture, with the table's caps
  const SKINRECT skin = SKINRECT::InitSliced(line.x, line.y, -1, -1, line.left, line.right, 0, 0, 0, 0, image);
  pieces_.AddRow(leftInset_, std::max((height_ - skin.height) / 2 - 1, 0), width_, skin.height, skin);
  if (owner_) pieces_.SetAlpha(owner_->GetColor());
}

void HILine::SetAlpha(u32 alpha) { pieces_.SetAlpha(alpha); }

void HILine::Draw() {
  if (pieces_.GetBlocks().GetCount() == 0) return;
  MoveToPlace();
  if (DXLViewer* viewer = GetGameViewer()) viewer->ApplyTransform(nullptr);
  pieces_.DrawPieces();
}

#include "ui/GameDigitalText.h"

#include "engine/DXLViewer.h"
#include "engine/text/DigitalFont.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"

void GameDigitalText::Draw() {
  if (!font_) return;
  if (DXLViewer* viewer = GetGameViewer()) viewer->ApplyTransform(nullptr);
  BindDrawTexture(font_->GetTexture());
  for (i32 i = 0; i < glyphCount_; ++i) DrawQuad(&quads_[i]);
  UnbindDrawTexture();
}
